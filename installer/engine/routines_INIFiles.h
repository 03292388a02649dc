#pragma once
// INI-file section listing of the installer engine.

#include <QString>

class TStrings;

// With a list: clears it and adds every section name of the file, that is
// every line that, trimmed, is longer than one character and begins with
// '[', without its first and last characters. The file is read as UTF-8.
// A missing or unreadable file raises EFOpenError. Without a list nothing
// is read.
void ReadIniSections(const QString& fileName, TStrings* list);
