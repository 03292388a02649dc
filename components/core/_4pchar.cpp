#include "components/core/_4pchar.h"

#include <QString>

#include <algorithm>

namespace {

qsizetype Length(const QChar* s) {
  qsizetype n = 0;
  if (s)
    while (!s[n].isNull())
      ++n;
  return n;
}

// The pattern (non-empty) starts at text; the text's terminator stops a mismatch.
bool MatchesAt(const QChar* text, const QChar* pattern, qsizetype patternLength) {
  for (qsizetype i = 0; i < patternLength; ++i) {
    if (text[i] != pattern[i])
      return false;
  }
  return true;
}

}  // namespace

QChar* PCharReplaceAll(QChar* source, const QChar* pattern, const QChar* replacement) {
  const qsizetype sourceLength = Length(source);
  if (sourceLength <= 1)
    return source;
  const qsizetype patternLength = Length(pattern);
  const qsizetype replacementLength = Length(replacement);
  QString work;  // grows as needed: no fixed limit on the replaced form
  work.reserve(sourceLength);
  for (qsizetype i = 0; i < sourceLength;) {
    if (patternLength > 0 && source[i] == pattern[0] && MatchesAt(source + i, pattern, patternLength)) {
      work.append(replacement, replacementLength);
      i += patternLength;
    } else {
      work.append(source[i++]);
    }
  }
  const qsizetype kept = std::min(work.size(), sourceLength);
  std::copy_n(work.constData(), kept, source);
  source[kept] = QChar();
  return source;
}
