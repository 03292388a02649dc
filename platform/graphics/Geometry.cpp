#include "platform/graphics/Geometry.h"

#include <algorithm>

void InflateRect(TRect& r, int dx, int dy) {
  r.Left -= dx;
  r.Right += dx;
  r.Top -= dy;
  r.Bottom += dy;
}

void OffsetRect(TRect& r, int dx, int dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
}

TRect IntersectRect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  if (r.IsEmpty())
    return TRect{};
  return r;
}

TRect UnionRect(const TRect& a, const TRect& b) {
  if (a.IsEmpty())
    return b;
  if (b.IsEmpty())
    return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

int MulDiv(int a, int b, int c) {
  if (c == 0)
    return -1;
  const std::int64_t p = static_cast<std::int64_t>(a) * b;
  const bool negative = (p < 0) != (c < 0);
  const std::int64_t ap = p < 0 ? -p : p;
  const std::int64_t ac = c < 0 ? -static_cast<std::int64_t>(c) : c;
  const std::int64_t q = (ap + ac / 2) / ac;
  return static_cast<int>(negative ? -q : q);
}
