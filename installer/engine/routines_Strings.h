#pragma once
// String and path routines of the installer engine.
//
// File paths use the platform delimiter '/': AddBackslash and RemoveBackslash
// keep their names but work on '/'. Registry key paths are not file paths and
// keep '\': use AddKeyBackslash and RemoveKeyBackslash for them.

#include <QChar>
#include <QString>

class TStrings;

// Clears list, then adds fields 1 to CountFields(text, delimiter).
void SplitString(const QString& text, QChar delimiter, TStrings& list);

// Appends the path delimiter unless path is empty or already ends with it.
QString AddBackslash(const QString& path);
// Removes one trailing path delimiter.
QString RemoveBackslash(const QString& path);

// The same two rules for registry key paths, with '\'.
QString AddKeyBackslash(const QString& key);
QString RemoveKeyBackslash(const QString& key);

// The delimiters in text, plus 1 unless text is empty or ends with delimiter.
int CountFields(const QString& text, QChar delimiter);
// Field n (from 1); empty when there are fewer fields.
QString GetField(const QString& text, int n, QChar delimiter);

// The text after the first ':'; empty when there is none.
QString TextAfterColon(const QString& text);

// A text usable as one file name: '/' becomes '-'; the characters
// " * : ; < > ? \ | are dropped; everything else is kept.
QString CleanFileName(const QString& text);
