#pragma once
// Pattern replacement for strings (see PCharReplaceAll for the rules).

#include <QString>

// Every occurrence of `pattern` replaced, exact comparison, left to right; the
// result is at most as long as `source` ("a.vrb" with ".vrb" -> ".vrbx" stays
// "a.vrb"). Text after an embedded zero character is not part of the source.
QString ReplaceAll(const QString& source, const QString& pattern, const QString& replacement);
