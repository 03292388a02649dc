#pragma once
// Helpers of the graphics tests: a canvas over an image of one colour, pixel
// reads as TColor, and the bounding box of the pixels that changed.

#include "platform/graphics/Canvas.h"

#include <QImage>

#include <memory>

namespace gfxtest {

// An image filled with back, and a canvas that paints on it.
struct Surface {
  Surface(int width, int height, TColor back = clSilver)
      : image(width, height, QImage::Format_RGB32), canvas(std::make_unique<TCanvas>()) {
    image.fill(ColorToQRgb(back));
    canvas->SetDevice(&image);
  }
  // The pixel at (x, y), after the canvas's painter is closed.
  TColor At(int x, int y) {
    canvas->FreeHandle();
    return QRgbToColor(image.pixel(x, y));
  }
  const QImage& Done() {
    canvas->FreeHandle();
    return image;
  }

  QImage image;
  std::unique_ptr<TCanvas> canvas;
};

// The smallest rectangle holding every pixel that is not back (empty when
// there is none).
inline TRect BoundsOfNot(const QImage& image, TColor back) {
  const QRgb key = ColorToQRgb(back) & 0xFFFFFFu;
  TRect r{image.width(), image.height(), 0, 0};
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if ((image.pixel(x, y) & 0xFFFFFFu) != key) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r.IsEmpty() ? TRect{} : r;
}

// Number of pixels of color inside r.
inline int CountOf(const QImage& image, TColor color, const TRect& r) {
  const QRgb key = ColorToQRgb(color) & 0xFFFFFFu;
  int n = 0;
  for (int y = std::max(0, r.Top); y < std::min(image.height(), r.Bottom); ++y)
    for (int x = std::max(0, r.Left); x < std::min(image.width(), r.Right); ++x)
      n += (image.pixel(x, y) & 0xFFFFFFu) == key;
  return n;
}

}  // namespace gfxtest
