#include "components/core/_4passtr.h"

#include "components/core/_4pchar.h"

#include <vector>

namespace {

// The text in a zero-terminated buffer of its length + 1.
std::vector<QChar> Terminated(const QString& s) {
  std::vector<QChar> buffer(s.constBegin(), s.constEnd());
  buffer.push_back(QChar());
  return buffer;
}

}  // namespace

QString ReplaceAll(const QString& source, const QString& pattern, const QString& replacement) {
  std::vector<QChar> s = Terminated(source);
  const std::vector<QChar> p = Terminated(pattern);
  const std::vector<QChar> r = Terminated(replacement);
  const QChar* result = PCharReplaceAll(s.data(), p.data(), r.data());
  qsizetype n = 0;
  while (!result[n].isNull())
    ++n;
  return QString(result, n);
}
