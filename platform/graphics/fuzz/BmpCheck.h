#pragma once
// The BMP reader's fuzz check, shared by the fuzz target and the tests.

#include <QByteArray>
#include <QString>

// Reads bytes as a BMP file. A file must either be refused with
// EInvalidGraphic or give an image within the reader's limits that writes
// at 24 and 32 bits and reads back to the same pixels. Returns what went
// wrong, empty when nothing did.
QString CheckBmp(const QByteArray& bytes);
