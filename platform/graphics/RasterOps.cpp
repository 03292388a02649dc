#include "platform/graphics/RasterOps.h"

#include <cstdlib>

namespace {

// The table does not change when the named input is toggled.
bool Independent(unsigned table, int bit) {
  for (unsigned i = 0; i < 8; ++i)
    if (((table >> i) & 1) != ((table >> (i ^ (1u << bit))) & 1))
      return false;
  return true;
}

}  // namespace

bool RopUsesSource(TCopyMode rop) { return !Independent(RopTable(rop), 1); }
bool RopUsesPattern(TCopyMode rop) { return !Independent(RopTable(rop), 2); }
bool RopUsesDest(TCopyMode rop) { return !Independent(RopTable(rop), 0); }

std::uint32_t ApplyRop(unsigned table, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t result = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!((table >> i) & 1))
      continue;
    const std::uint32_t tp = (i & 4) ? p : ~p;
    const std::uint32_t ts = (i & 2) ? s : ~s;
    const std::uint32_t td = (i & 1) ? d : ~d;
    result |= tp & ts & td;
  }
  return 0xFF000000u | (result & 0x00FFFFFFu);
}

QImage ApplyRop(TCopyMode rop, const QImage& dest, const QImage* src, const QImage* pattern) {
  const unsigned table = RopTable(rop);
  QImage out(dest.size(), QImage::Format_RGB32);
  for (int y = 0; y < out.height(); ++y) {
    const auto* dl = reinterpret_cast<const std::uint32_t*>(dest.constScanLine(y));
    const auto* sl = src ? reinterpret_cast<const std::uint32_t*>(src->constScanLine(y)) : nullptr;
    const auto* pl =
        pattern ? reinterpret_cast<const std::uint32_t*>(pattern->constScanLine(y)) : nullptr;
    auto* ol = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      ol[x] = ApplyRop(table, pl ? pl[x] : 0, sl ? sl[x] : 0, dl[x]);
  }
  return out;
}

QImage StretchNearest(const QImage& src, int width, int height) {
  const int w = std::abs(width), h = std::abs(height);
  const QImage in = src.convertToFormat(QImage::Format_RGB32);
  QImage out(w, h, QImage::Format_RGB32);
  if (w == 0 || h == 0 || in.isNull())
    return out;
  const std::int64_t sw = in.width(), sh = in.height();
  for (int y = 0; y < h; ++y) {
    const int ty = height < 0 ? h - 1 - y : y;
    const int sy = static_cast<int>((2 * std::int64_t{ty} + 1) * sh / (2 * std::int64_t{h}));
    const auto* sl = reinterpret_cast<const std::uint32_t*>(in.constScanLine(sy));
    auto* ol = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const int tx = width < 0 ? w - 1 - x : x;
      ol[x] = sl[(2 * std::int64_t{tx} + 1) * sw / (2 * std::int64_t{w})];
    }
  }
  return out;
}
