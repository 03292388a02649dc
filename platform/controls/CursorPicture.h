#pragma once
// Cursors drawn as text pictures, for components that bring their own shapes.

#include <QCursor>

#include <span>

// A two-colour cursor from rows of characters: 'X' black, 'o' white, any
// other character transparent. Every row is as wide as the first.
QCursor CursorFromPicture(std::span<const char* const> rows, int hotX, int hotY);
