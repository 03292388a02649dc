// Writing BMP files (format in BmpFormat.h): a 40-byte info header, no
// compression, rows bottom-up.

#include "platform/graphics/BmpFormat.h"

#include "platform/graphics/Graphic.h"

#include <QHash>
#include <QList>
#include <QRgb>

#include <cstdint>

namespace {

void Put16(QByteArray& out, std::uint32_t v) {
  out.append(char(v & 0xFF));
  out.append(char((v >> 8) & 0xFF));
}

void Put32(QByteArray& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// The 16 classic colours, then a 6 x 6 x 6 cube and greys: the fixed palette
// for images with more colours than their format holds.
QList<QRgb> FixedPalette(int size) {
  static const QRgb kClassic[16] = {
      0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
      0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  QList<QRgb> palette;
  for (QRgb c : kClassic)
    palette << (c | 0xFF000000u);
  if (size <= 16)
    return palette;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        palette << qRgb(r * 51, g * 51, b * 51);
  for (int i = 1; palette.size() < size; ++i)
    palette << qRgb(i * 6, i * 6, i * 6);
  return palette;
}

int Nearest(const QList<QRgb>& palette, QRgb c) {
  int best = 0;
  long bestDistance = -1;
  for (int i = 0; i < palette.size(); ++i) {
    const long dr = qRed(c) - qRed(palette[i]), dg = qGreen(c) - qGreen(palette[i]),
               db = qBlue(c) - qBlue(palette[i]);
    const long d = dr * dr + dg * dg + db * db;
    if (bestDistance < 0 || d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

// Palette and pixel indexes of an image for 1, 4 or 8 bits.
struct Indexed {
  QList<QRgb> palette;
  std::vector<std::uint8_t> pixels;
};

Indexed ToIndexed(const QImage& image, int bits) {
  Indexed out;
  const int size = 1 << bits;
  QHash<QRgb, int> index;
  bool fits = bits > 1;
  for (int y = 0; y < image.height() && fits; ++y)
    for (int x = 0; x < image.width() && fits; ++x) {
      const QRgb c = image.pixel(x, y) | 0xFF000000u;
      if (!index.contains(c)) {
        if (index.size() == size)
          fits = false;
        else
          index.insert(c, static_cast<int>(out.palette.size())), out.palette << c;
      }
    }
  if (!fits)
    out.palette = bits == 1 ? QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)} : FixedPalette(size);
  for (int y = image.height() - 1; y >= 0; --y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb c = image.pixel(x, y) | 0xFF000000u;
      if (fits)
        out.pixels.push_back(static_cast<std::uint8_t>(index.value(c)));
      else if (bits == 1)
        out.pixels.push_back(qGray(c) >= 128 ? 1 : 0);
      else
        out.pixels.push_back(static_cast<std::uint8_t>(Nearest(out.palette, c)));
    }
  return out;
}

void WriteIndexedRows(QByteArray& out, const Indexed& ix, int width, int height, int bits,
                      int stride) {
  for (int row = 0; row < height; ++row) {
    QByteArray line(stride, '\0');
    for (int x = 0; x < width; ++x) {
      const std::uint8_t v = ix.pixels[static_cast<std::size_t>(row) * width + x];
      const int bit = x * bits;
      line[bit / 8] = char(line[bit / 8] | (v << (8 - bits - bit % 8)));
    }
    out.append(line);
  }
}

void WriteDirectRows(QByteArray& out, const QImage& image, int bits, int stride) {
  for (int y = image.height() - 1; y >= 0; --y) {
    QByteArray line(stride, '\0');
    const auto* src = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    const int step = bits / 8;
    for (int x = 0; x < image.width(); ++x) {
      line[x * step] = char(qBlue(src[x]));
      line[x * step + 1] = char(qGreen(src[x]));
      line[x * step + 2] = char(qRed(src[x]));
    }
    out.append(line);
  }
}

}  // namespace

QByteArray WriteBmp(const QImage& source, int bits) {
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)
    bits = 24;
  if (source.isNull())
    throw EInvalidGraphic(QStringLiteral("Cannot save an empty bitmap"));
  const QImage image = source.convertToFormat(QImage::Format_RGB32);
  const int w = image.width(), h = image.height();
  const int stride = (w * bits + 31) / 32 * 4;
  Indexed ix;
  if (bits <= 8)
    ix = ToIndexed(image, bits);
  const int paletteBytes = static_cast<int>(ix.palette.size()) * 4;
  const std::uint32_t offBits = 14 + 40 + paletteBytes;
  QByteArray out;
  out.reserve(static_cast<qsizetype>(offBits) + stride * h);
  out.append("BM");
  Put32(out, offBits + stride * h);
  Put32(out, 0);
  Put32(out, offBits);
  Put32(out, 40);
  Put32(out, w);
  Put32(out, h);
  Put16(out, 1);
  Put16(out, bits);
  Put32(out, 0);  // no compression
  Put32(out, stride * h);
  Put32(out, 3780);  // 96 dots per inch
  Put32(out, 3780);
  Put32(out, static_cast<std::uint32_t>(ix.palette.size()));
  Put32(out, 0);
  for (QRgb c : ix.palette) {
    out.append(char(qBlue(c)));
    out.append(char(qGreen(c)));
    out.append(char(qRed(c)));
    out.append('\0');
  }
  if (bits <= 8)
    WriteIndexedRows(out, ix, w, h, bits, stride);
  else
    WriteDirectRows(out, image, bits, stride);
  return out;
}
