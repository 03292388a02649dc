#pragma once
// Helpers of the printing tests: a printer on page images, and pixel scans.

#include "platform/graphics/Colors.h"
#include "platform/graphics/Geometry.h"
#include "platform/printing/ImagePrintBackend.h"
#include "platform/printing/Printer.h"

#include <QImage>

#include <algorithm>
#include <memory>

namespace prntest {

constexpr double kMillimetresPerInch = 25.4;

// A printer whose pages are images of inchesWide x inchesHigh at the given
// resolutions; backend stays readable while the printer lives.
struct ImagePrinter {
  ImagePrinter(int dpiX, int dpiY, double inchesWide = 2.0, double inchesHigh = 2.0) {
    auto owned = std::make_unique<TImagePrintBackend>(
        dpiX, dpiY, QSizeF(inchesWide * kMillimetresPerInch, inchesHigh * kMillimetresPerInch));
    backend = owned.get();
    printer = std::make_unique<TPrinter>(std::move(owned));
  }
  TImagePrintBackend* backend;
  std::unique_ptr<TPrinter> printer;
};

// The smallest rectangle of the pixels that are not white (empty if none).
inline TRect InkBounds(const QImage& image) {
  TRect r{image.width(), image.height(), 0, 0};
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
      if ((line[x] & 0xFFFFFFu) != 0xFFFFFFu) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  }
  return r.IsEmpty() ? TRect{} : r;
}

// Number of pixels of color in the whole image.
inline int CountOf(const QImage& image, TColor color) {
  const QRgb key = ColorToQRgb(color) & 0xFFFFFFu;
  int n = 0;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
      n += (line[x] & 0xFFFFFFu) == key;
  }
  return n;
}

inline TColor At(const QImage& image, int x, int y) {
  return QRgbToColor(image.pixel(x, y));
}

}  // namespace prntest
