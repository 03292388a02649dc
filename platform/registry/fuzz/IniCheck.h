#pragma once
// The INI reader's fuzz check, shared by the fuzz target and the tests.

#include <QByteArray>
#include <QString>

// Reads bytes as an INI file and writes the document back. The copy must
// read to the same sections, keys and values and write to the same bytes;
// a valid UTF-8 file whose lines all end alike (CR LF, or LF without any CR)
// must write to its own bytes. Returns what went wrong, empty when nothing
// did.
QString CheckIni(const QByteArray& bytes);
