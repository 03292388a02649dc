#include "platform/controls/fuzz/ClipIntervalCheck.h"

#include "platform/controls/Animate.h"
#include "tests/support/FuzzCheck.h"

#include <limits>

namespace {

// Digits only, no leading zero, within unsigned and above 0.
bool PlainNumber(const QByteArray& text, unsigned& value) {
  if (text.isEmpty() || text.size() > 10 || text[0] == '0')
    return false;
  unsigned long long v = 0;
  for (const char c : text) {
    if (c < '0' || c > '9')
      return false;
    v = v * 10 + static_cast<unsigned>(c - '0');
  }
  if (v > std::numeric_limits<unsigned>::max())
    return false;
  value = static_cast<unsigned>(v);
  return true;
}

QString Check(const QByteArray& bytes) {
  const unsigned ms = ClipIntervalOf(bytes);
  if (ms == 0)
    return QStringLiteral("an interval of 0");
  if (ClipIntervalOf(QByteArray::number(ms)) != ms)
    return QStringLiteral("interval %1 does not read back from its text").arg(ms);
  unsigned plain = 0;
  if (PlainNumber(bytes.trimmed(), plain) && ms != plain)
    return QStringLiteral("the number %1 read as %2").arg(plain).arg(ms);
  return {};
}

}  // namespace

QString CheckClipInterval(const QByteArray& bytes) {
  return qxfuzz::Guarded([&] { return Check(bytes); });
}
