#pragma once
// The BMP file format, read and written without the image libraries so that
// every field of an untrusted file is checked before it is used.
//
// File header, 14 bytes, little-endian:
//   0  2  "BM"
//   2  4  file size (not trusted; the data's real size counts)
//   6  4  reserved
//  10  4  offset of the pixel data from the start of the file
// Info header at 14, its first 4 bytes its size:
//   12          core header: width u16, height u16, planes u16, bits u16;
//               palette entries of 3 bytes (B, G, R)
//   40/52/56/108/124  width i32, height i32 (negative: rows top-down),
//               planes u16 (1), bits u16, compression u32, image size u32,
//               x/y pixels per metre i32, colours used u32, important u32;
//               52 and up hold the red, green, blue masks at 40; palette
//               entries of 4 bytes (B, G, R, 0)
// With compression 3 (bit fields) and a 40-byte header the three masks follow
// the header. The palette follows the header (and masks); it has "colours
// used" entries, or 2^bits when that is 0 (bits 1, 4, 8 only).
// Pixel rows start at the data offset, bottom row first unless the height is
// negative; each row is padded to a multiple of 4 bytes.
// Compression: 0 none (1, 4, 8, 16, 24, 32 bits), 1 RLE8 (8 bits), 2 RLE4
// (4 bits), 3 bit fields (16, 32 bits). RLE streams are pairs: a count > 0
// repeats the next byte's index (RLE4: its two nibbles alternately); a count
// of 0 escapes: 0 end of line, 1 end of bitmap, 2 a delta (dx, dy bytes),
// n >= 3 n literal indexes padded to a 16-bit boundary. Pixels an RLE stream
// skips take palette entry 0.
//
// Every failure raises EInvalidGraphic "Bitmap image is not valid (...)"
// naming the fault: a short or wrong signature, an unknown header size, zero
// or oversized dimensions, planes other than 1, an unsupported bit count or
// compression, a palette or pixel data outside the file, a bad RLE stream.

#include <QByteArray>
#include <QImage>

struct TBmpImage {
  QImage image;        // Format_RGB32
  int bitCount = 24;   // bits per pixel in the file
  bool monochrome = false;  // 1 bit with a black and white palette
};

// Largest width or height, and largest pixel count, accepted.
inline constexpr int kBmpMaxDimension = 32768;
inline constexpr long long kBmpMaxPixels = 1LL << 25;

TBmpImage ReadBmp(const QByteArray& data);

// Writes image at 1, 4, 8, 24 or 32 bits per pixel. Palettes of 4 and 8 bits
// hold the image's own colours when they fit, else a fixed palette the
// colours are mapped to; 1 bit is black and white.
QByteArray WriteBmp(const QImage& image, int bitCount);
