#pragma once
// The word list reader's fuzz check (TStrings::LoadFromStream, as the game
// reads a puzzle's ".lst" file), shared by the fuzz target and the tests.

#include <QByteArray>
#include <QString>

// Reads bytes as a word list. The list must save and read back to the same
// words; a file whose every line ends with CR LF must save to its own bytes.
// Returns what went wrong, empty when nothing did.
QString CheckWordList(const QByteArray& bytes);
