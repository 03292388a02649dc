#pragma once
// The command line splitter's fuzz check, shared by the fuzz target and the
// tests.

#include <QByteArray>
#include <QString>

// Splits bytes (UTF-8) as a command line. Quoting the program name and the
// arguments back into a line by the classic rules must split to the same
// words again. Returns what went wrong, empty when nothing did.
QString CheckCommandLine(const QByteArray& bytes);
