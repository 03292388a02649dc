#pragma once
// The animation clip's interval file reader's fuzz check, shared by the fuzz
// target and the tests.

#include <QByteArray>
#include <QString>

// Reads bytes as an interval file. The interval must be above 0, read back
// from its own decimal text, and be the file's number when the file holds
// nothing but a plain decimal number above 0 (blanks around it). Returns
// what went wrong, empty when nothing did.
QString CheckClipInterval(const QByteArray& bytes);
