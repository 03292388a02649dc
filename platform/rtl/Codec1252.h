#pragma once
// Windows-1252, the single-byte code page of the puzzle files and word lists.
// Our own table: bytes 0x80-0x9F map to their 1252 characters; the five bytes
// 1252 leaves unassigned (0x81 0x8D 0x8F 0x90 0x9D) map to the C1 controls of
// the same value, so every byte value round-trips.

#include <QByteArray>
#include <QChar>
#include <QString>

// Decodes single-byte text.
QString DecodeWin1252(const QByteArray& bytes);

// Encodes text; a character 1252 cannot hold becomes '?'.
QByteArray EncodeWin1252(const QString& text);

// One character; -1 when 1252 cannot hold it.
int CharToWin1252(QChar c);
QChar Win1252ToChar(unsigned char b);
