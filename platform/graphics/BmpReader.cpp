// Reading BMP files (format in BmpFormat.h).

#include "platform/graphics/BmpFormat.h"

#include "platform/graphics/Graphic.h"

#include <QList>
#include <QRgb>

#include <bit>
#include <cstdint>

namespace {

[[noreturn]] void Bad(const char* why) {
  throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid (%1)").arg(QLatin1String(why)));
}

// Bounds-checked little-endian access to the file bytes.
class Bytes {
 public:
  explicit Bytes(const QByteArray& data) : data_(data) {}
  std::int64_t Size() const { return data_.size(); }
  bool Has(std::int64_t offset, std::int64_t count) const {
    return offset >= 0 && count >= 0 && offset <= Size() && count <= Size() - offset;
  }
  std::uint8_t U8(std::int64_t at) const {
    if (!Has(at, 1))
      Bad("truncated file");
    return static_cast<std::uint8_t>(data_[static_cast<qsizetype>(at)]);
  }
  std::uint16_t U16(std::int64_t at) const { return std::uint16_t(U8(at) | U8(at + 1) << 8); }
  std::uint32_t U32(std::int64_t at) const {
    return std::uint32_t(U16(at)) | std::uint32_t(U16(at + 2)) << 16;
  }
  std::int32_t I32(std::int64_t at) const { return static_cast<std::int32_t>(U32(at)); }

 private:
  const QByteArray& data_;
};

struct Header {
  std::int64_t offBits = 0;
  std::uint32_t headerSize = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // positive
  bool topDown = false;
  int bits = 0;
  std::uint32_t compression = 0;
  std::uint32_t colorsUsed = 0;
  std::uint32_t masks[3] = {0, 0, 0};
};

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;

Header ReadHeader(const Bytes& b) {
  if (!b.Has(0, 18) || b.U8(0) != 'B' || b.U8(1) != 'M')
    Bad("not a bitmap file");
  Header h;
  h.offBits = b.U32(10);
  h.headerSize = b.U32(14);
  const auto size = h.headerSize;
  if (size != 12 && size != 40 && size != 52 && size != 56 && size != 108 && size != 124)
    Bad("unknown header size");
  if (!b.Has(14, size))
    Bad("truncated header");
  std::int64_t height = 0;
  int planes = 0;
  if (size == 12) {
    h.width = b.U16(18);
    height = b.U16(20);
    planes = b.U16(22);
    h.bits = b.U16(24);
  } else {
    h.width = b.I32(18);
    height = b.I32(22);
    planes = b.U16(26);
    h.bits = b.U16(28);
    h.compression = b.U32(30);
    h.colorsUsed = b.U32(46);
    if (size >= 52)
      for (int i = 0; i < 3; ++i)
        h.masks[i] = b.U32(54 + 4 * i);
  }
  h.topDown = height < 0;
  h.height = height < 0 ? -height : height;
  if (planes != 1)
    Bad("planes other than 1");
  if (h.width <= 0 || h.height <= 0)
    Bad("empty or negative size");
  if (h.width > kBmpMaxDimension || h.height > kBmpMaxDimension ||
      h.width * h.height > kBmpMaxPixels)
    Bad("image too large");
  return h;
}

void CheckFormat(const Header& h) {
  switch (h.bits) {
    case 1:
    case 24:
      if (h.compression != kRgb)
        Bad("unsupported compression");
      break;
    case 4:
    case 8:
      if (h.compression != kRgb && h.compression != (h.bits == 8 ? kRle8 : kRle4))
        Bad("unsupported compression");
      if (h.compression != kRgb && h.topDown)
        Bad("compressed rows cannot run top-down");
      break;
    case 16:
    case 32:
      if (h.compression != kRgb && h.compression != kBitFields)
        Bad("unsupported compression");
      break;
    default: Bad("unsupported bit count");
  }
  if (h.bits <= 8 && h.colorsUsed > (1u << h.bits))
    Bad("too many palette colours");
}

QList<QRgb> ReadPalette(const Bytes& b, Header& h) {
  QList<QRgb> palette;
  std::int64_t at = 14 + h.headerSize;
  if (h.compression == kBitFields && h.headerSize == 40) {
    for (int i = 0; i < 3; ++i)
      h.masks[i] = b.U32(at + 4 * i);
    at += 12;
  }
  if (h.bits > 8)
    return palette;
  const int entry = h.headerSize == 12 ? 3 : 4;
  std::int64_t count = h.colorsUsed ? h.colorsUsed : (1 << h.bits);
  // Some writers give 2^bits entries less room than that before the pixels.
  if (h.offBits > at && at + count * entry > h.offBits)
    count = (h.offBits - at) / entry;
  if (count < 1 || !b.Has(at, count * entry))
    Bad("palette outside the file");
  for (std::int64_t i = 0; i < count; ++i)
    palette << qRgb(b.U8(at + i * entry + 2), b.U8(at + i * entry + 1), b.U8(at + i * entry));
  return palette;
}

// Extracts one channel by its mask, scaled to 8 bits.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int width = 0;
  explicit Channel(std::uint32_t m) : mask(m) {
    if (!m)
      Bad("empty colour mask");
    shift = std::countr_zero(m);
    width = std::popcount(m);
    const std::uint32_t full = width >= 32 ? ~0u : (1u << width) - 1;
    if ((m >> shift) != full)
      Bad("colour mask not contiguous");
  }
  int Of(std::uint32_t pixel) const {
    const std::uint32_t v = (pixel & mask) >> shift;
    if (width >= 8)
      return static_cast<int>(v >> (width - 8));
    return static_cast<int>(v * 255 / ((1u << width) - 1));
  }
};

QRgb Indexed(const QList<QRgb>& palette, unsigned index) {
  return index < static_cast<unsigned>(palette.size()) ? palette[index] : qRgb(0, 0, 0);
}

void ReadRows(const Bytes& b, const Header& h, const QList<QRgb>& palette, QImage& out) {
  const std::int64_t stride = (h.width * h.bits + 31) / 32 * 4;
  if (h.offBits < 14 + h.headerSize || !b.Has(h.offBits, stride * h.height))
    Bad("pixel data outside the file");
  std::uint32_t masks[3] = {h.masks[0], h.masks[1], h.masks[2]};
  if (h.compression == kRgb && h.bits == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  } else if (h.compression == kRgb && h.bits == 32) {
    masks[0] = 0xFF0000;
    masks[1] = 0x00FF00;
    masks[2] = 0x0000FF;
  }
  const bool direct = h.bits == 16 || h.bits == 32;
  const Channel r(direct ? masks[0] : 1), g(direct ? masks[1] : 1), bl(direct ? masks[2] : 1);
  for (std::int64_t row = 0; row < h.height; ++row) {
    const std::int64_t at = h.offBits + row * stride;
    const int y = static_cast<int>(h.topDown ? row : h.height - 1 - row);
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (std::int64_t x = 0; x < h.width; ++x) {
      QRgb c = 0;
      switch (h.bits) {
        case 1: c = Indexed(palette, (b.U8(at + x / 8) >> (7 - x % 8)) & 1); break;
        case 4: c = Indexed(palette, (b.U8(at + x / 2) >> (x % 2 ? 0 : 4)) & 0xF); break;
        case 8: c = Indexed(palette, b.U8(at + x)); break;
        case 16: {
          const std::uint32_t v = b.U16(at + 2 * x);
          c = qRgb(r.Of(v), g.Of(v), bl.Of(v));
          break;
        }
        case 24: c = qRgb(b.U8(at + 3 * x + 2), b.U8(at + 3 * x + 1), b.U8(at + 3 * x)); break;
        default: {
          const std::uint32_t v = b.U32(at + 4 * x);
          c = qRgb(r.Of(v), g.Of(v), bl.Of(v));
        }
      }
      line[x] = c | 0xFF000000u;
    }
  }
}

void ReadRle(const Bytes& b, const Header& h, const QList<QRgb>& palette, QImage& out) {
  if (h.offBits < 14 + h.headerSize || !b.Has(h.offBits, 0))
    Bad("pixel data outside the file");
  out.fill(Indexed(palette, 0));
  const bool four = h.bits == 4;
  std::int64_t at = h.offBits, x = 0, row = 0;
  const auto put = [&](unsigned index) {
    if (x < h.width && row < h.height)
      reinterpret_cast<QRgb*>(out.scanLine(static_cast<int>(h.height - 1 - row)))[x] =
          Indexed(palette, index);
    ++x;
  };
  for (;;) {
    if (!b.Has(at, 2))
      Bad("RLE data ends without an end-of-bitmap mark");
    const unsigned count = b.U8(at), value = b.U8(at + 1);
    at += 2;
    if (count > 0) {
      for (unsigned i = 0; i < count; ++i)
        put(four ? (i % 2 ? value & 0xF : value >> 4) : value);
    } else if (value == 0) {
      x = 0;
      ++row;
    } else if (value == 1) {
      return;
    } else if (value == 2) {
      x += b.U8(at);
      row += b.U8(at + 1);
      at += 2;
    } else {
      const std::int64_t bytes = four ? (value + 1) / 2 : value;
      if (!b.Has(at, bytes))
        Bad("RLE literal run outside the file");
      for (unsigned i = 0; i < value; ++i) {
        const unsigned byte = b.U8(at + (four ? i / 2 : i));
        put(four ? (i % 2 ? byte & 0xF : byte >> 4) : byte);
      }
      at += (bytes + 1) / 2 * 2;
    }
    if (row > h.height)
      Bad("RLE data runs past the last row");
  }
}

}  // namespace

TBmpImage ReadBmp(const QByteArray& data) {
  const Bytes b(data);
  Header h = ReadHeader(b);
  CheckFormat(h);
  const QList<QRgb> palette = ReadPalette(b, h);
  TBmpImage result;
  result.bitCount = h.bits;
  result.image = QImage(static_cast<int>(h.width), static_cast<int>(h.height),
                        QImage::Format_RGB32);
  if (result.image.isNull())
    Bad("out of memory for the image");
  if (h.compression == kRle8 || h.compression == kRle4)
    ReadRle(b, h, palette, result.image);
  else
    ReadRows(b, h, palette, result.image);
  result.monochrome = h.bits == 1 && palette.size() == 2 &&
                      (palette[0] & 0xFFFFFF) == 0 && (palette[1] & 0xFFFFFF) == 0xFFFFFF;
  return result;
}
