#include "platform/rtl/Codec1252.h"

#include <array>

namespace {
// Characters of bytes 0x80-0x9F. The unassigned bytes keep their own C1 value.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool InHighBlock(unsigned char b) { return b >= 0x80 && b <= 0x9F; }
}  // namespace

QChar Win1252ToChar(unsigned char b) {
  if (InHighBlock(b))
    return QChar(kHigh[b - 0x80]);
  return QChar(static_cast<char16_t>(b));
}

int CharToWin1252(QChar c) {
  const char16_t u = c.unicode();
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
    return u;
  for (int i = 0; i < static_cast<int>(kHigh.size()); ++i) {
    if (kHigh[i] == u)
      return 0x80 + i;
  }
  return -1;
}

QString DecodeWin1252(const QByteArray& bytes) {
  QString out;
  out.resize(bytes.size());
  QChar* dst = out.data();
  for (qsizetype i = 0; i < bytes.size(); ++i)
    dst[i] = Win1252ToChar(static_cast<unsigned char>(bytes[i]));
  return out;
}

QByteArray EncodeWin1252(const QString& text) {
  QByteArray out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    // A surrogate pair is one character outside 1252: one '?'.
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
      ++i;
    const int b = CharToWin1252(c);
    out.append(b < 0 ? '?' : static_cast<char>(b));
  }
  return out;
}
