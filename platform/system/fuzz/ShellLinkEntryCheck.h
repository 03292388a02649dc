#pragma once
// The check of the desktop-entry text routines on any input (one fuzz
// target and the replay of its kept inputs): the input read as an Exec
// value either splits into arguments that quote back to a value splitting
// the same, or is refused; a string value escapes and unescapes back to
// itself.

#include <QByteArray>
#include <QString>

// "" when the input passes, else what went wrong.
QString CheckShellLinkEntry(const QByteArray& bytes);
