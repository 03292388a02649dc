#include "platform/graphics/fuzz/BmpCheck.h"

#include "platform/graphics/BmpFormat.h"
#include "platform/graphics/Graphic.h"
#include "tests/support/FuzzCheck.h"

namespace {

// A small compressed file may give a large image: reading one is fuzzed at
// any size, the write and read-back only up to this many pixels.
constexpr long long kRoundTripPixels = 1 << 16;

QString Check(const QByteArray& bytes) {
  TBmpImage read;
  try {
    read = ReadBmp(bytes);
  } catch (const EInvalidGraphic&) {
    return {};
  }
  const QImage& image = read.image;
  if (image.isNull() || image.format() != QImage::Format_RGB32)
    return QStringLiteral("a read image is null or not RGB32");
  if (image.width() > kBmpMaxDimension || image.height() > kBmpMaxDimension ||
      static_cast<long long>(image.width()) * image.height() > kBmpMaxPixels)
    return QStringLiteral("a read image is larger than the reader's limits");
  if (static_cast<long long>(image.width()) * image.height() > kRoundTripPixels)
    return {};
  for (const int bits : {24, 32}) {
    const TBmpImage back = ReadBmp(WriteBmp(image, bits));
    // Equality of RGB32 images ignores the unused alpha byte.
    if (back.bitCount != bits || back.image != image)
      return QStringLiteral("the %1-bit copy reads back changed").arg(bits);
  }
  return {};
}

}  // namespace

QString CheckBmp(const QByteArray& bytes) {
  return qxfuzz::Guarded([&] { return Check(bytes); });
}
