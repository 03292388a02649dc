// Block transfers of TCanvas: pictures, copies between canvases, raster
// codes, transparent and brush-replacing copies.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

namespace {

TRect Normalized(const TRect& r) {
  return {std::min(r.Left, r.Right), std::min(r.Top, r.Bottom), std::max(r.Left, r.Right),
          std::max(r.Top, r.Bottom)};
}

// The source part of image, stretched to the size of dest (mirrored where
// dest runs backwards).
QImage ScaledPart(const QImage& image, const TRect& source, const TRect& dest) {
  const QImage part =
      image.convertToFormat(QImage::Format_RGB32).copy(ToQRect(Normalized(source)));
  return StretchNearest(part, dest.Width(), dest.Height());
}

constexpr std::uint32_t Rgb24(std::uint32_t pixel) { return pixel & 0x00FFFFFFu; }

}  // namespace

QImage TCanvas::ToDeviceColors(const QImage& src, bool monochromeSource, TColor sourceBack) {
  if (monochromeSource == Monochrome())
    return src;
  QImage out = src.convertToFormat(QImage::Format_RGB32);
  const unsigned fore = ColorToQRgb(TextColor()), back = ColorToQRgb(BkColor());
  const unsigned key = Rgb24(ColorToQRgb(sourceBack));
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      const bool white = monochromeSource ? Rgb24(line[x]) == 0xFFFFFFu : Rgb24(line[x]) == key;
      if (monochromeSource)
        line[x] = white ? back : fore;  // mono to colour: 0 text colour, 1 background
      else
        line[x] = white ? 0xFFFFFFFFu : 0xFF000000u;  // colour to mono by background
    }
  }
  return out;
}

void TCanvas::StretchBlt(const TRect& dest, const QImage& image, const TRect& source,
                         TCopyMode rop, bool monochromeSource, TColor sourceBack) {
  if (dest.Width() == 0 || dest.Height() == 0)
    return;
  CanvasChange change(*this);
  const TRect r = Normalized(dest);
  QImage src;
  if (RopUsesSource(rop))
    src = ToDeviceColors(ScaledPart(image, source, dest), monochromeSource, sourceBack);
  if (rop == SRCCOPY) {
    WriteArea(r, src);
    return;
  }
  QImage d = RopUsesDest(rop) ? ReadArea(r) : QImage(r.Width(), r.Height(), QImage::Format_RGB32);
  if (!RopUsesDest(rop))
    d.fill(0xFF000000u);
  const QImage pattern = RopUsesPattern(rop) ? PatternArea(r) : QImage();
  WriteArea(r, ApplyRop(rop, d, src.isNull() ? nullptr : &src,
                        pattern.isNull() ? nullptr : &pattern));
}

void TCanvas::TransparentBlt(const TRect& dest, const QImage& image, const TRect& source,
                             TColor color) {
  if (dest.Width() == 0 || dest.Height() == 0)
    return;
  CanvasChange change(*this);
  QImage masked = ScaledPart(image, source, dest).convertToFormat(QImage::Format_ARGB32);
  const std::uint32_t key = Rgb24(ColorToQRgb(color));
  for (int y = 0; y < masked.height(); ++y) {
    auto* line = reinterpret_cast<std::uint32_t*>(masked.scanLine(y));
    for (int x = 0; x < masked.width(); ++x)
      if (Rgb24(line[x]) == key)
        line[x] = 0;
  }
  QPainter* p = Begin();
  if (!p)
    return;
  const TRect r = Normalized(dest);
  p->drawImage(QPoint(r.Left, r.Top), masked);
}

void TCanvas::DrawImage(const TRect& dest, const QImage& image) {
  if (dest.Width() == 0 || dest.Height() == 0 || image.isNull())
    return;
  CanvasChange change(*this);
  QPainter* p = Begin();
  if (!p)
    return;
  const int w = std::abs(dest.Width()), h = std::abs(dest.Height());
  const QImage scaled =
      w == image.width() && h == image.height() ? image : image.scaled(w, h);
  const TRect r = Normalized(dest);
  p->drawImage(QPoint(r.Left, r.Top), scaled);
}

void TCanvas::BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor color) {
  if (!bitmap || bitmap->Empty() || dest.Width() == 0 || dest.Height() == 0)
    return;
  CanvasChange change(*this);
  const TRect r = Normalized(dest);
  QImage out = ScaledPart(bitmap->Image(), source, dest);
  const QImage pattern = PatternArea(r);
  const std::uint32_t key = Rgb24(ColorToQRgb(color));
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
    const auto* pl = reinterpret_cast<const std::uint32_t*>(pattern.constScanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if (Rgb24(line[x]) == key)
        line[x] = pl[x];
  }
  WriteArea(r, out);
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source) {
  if (!canvas)
    return;
  const QImage src = canvas->ReadArea(Normalized(source));
  StretchBlt(dest, src, Rect(0, 0, src.width(), src.height()), copyMode_, canvas->Monochrome(),
             canvas->BkColor());
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (graphic && !graphic->Empty())
    graphic->Draw(this, Bounds(x, y, graphic->Width(), graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
  if (graphic && !graphic->Empty())
    graphic->Draw(this, r);
}
