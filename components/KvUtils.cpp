#include "components/KvUtils.h"

#include "platform/rtl/Codec1252.h"

#include <algorithm>

int MaxOf(int a, int b) { return std::max(a, b); }
int MinOf(int a, int b) { return std::min(a, b); }

int RectWidth(const TRect& r) { return r.Right - r.Left; }
int RectHeight(const TRect& r) { return r.Bottom - r.Top; }

TColor PaletteColor(TColor color) { return ColorToRGB(color) | 0x02000000; }

int ClampToBounds(int value, int lower, int upper, int none) {
  if (value < lower && lower != none)
    return lower;
  if (value > upper && upper != none)
    return upper;
  return value;
}

void AssignText(QString& dest, const QString& source) { dest = source; }

// ---- words

TCharSet::TCharSet(std::initializer_list<unsigned char> bytes) {
  for (unsigned char b : bytes)
    bits_.set(b);
}

bool TCharSet::Contains(QChar c) const {
  const int byte = CharToWin1252(c);
  return byte >= 0 && bits_.test(static_cast<std::size_t>(byte));
}

int FindWord(int n, const QString& text, const TCharSet& delimiters) {
  const qsizetype size = text.size();
  qsizetype i = 0;
  int count = 0;
  while (i < size) {
    while (i < size && delimiters.Contains(text[i]))
      ++i;
    if (i >= size)
      break;
    if (++count == n)
      return static_cast<int>(i) + 1;
    while (i < size && !delimiters.Contains(text[i]))
      ++i;
  }
  return 0;
}

QString ExtractWordAt(int n, const QString& text, const TCharSet& delimiters) {
  const int pos = FindWord(n, text, delimiters);
  if (pos == 0)
    return QString();
  qsizetype end = pos - 1;
  while (end < text.size() && !delimiters.Contains(text[end]))
    ++end;
  return text.mid(pos - 1, end - (pos - 1));
}
