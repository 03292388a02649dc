#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpFormat.h"
#include "platform/rtl/Streams.h"
#include "tests/support/TestSupport.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cstring>

namespace {

QImage Pattern(int w, int h, unsigned seed) {
  QImage image(w, h, QImage::Format_RGB32);
  QRandomGenerator rng(seed);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.setPixel(x, y, 0xFF000000u | (rng.generate() & 0xFFFFFFu));
  return image;
}

bool SamePixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size())
    return false;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if ((a.pixel(x, y) & 0xFFFFFF) != (b.pixel(x, y) & 0xFFFFFF))
        return false;
  return true;
}

QByteArray Saved(TBitmap& bitmap) {
  TMemoryStream stream;
  bitmap.SaveToStream(stream);
  return stream.Bytes();
}

void Load(TBitmap& bitmap, const QByteArray& bytes) {
  TMemoryStream stream;
  stream.WriteBuffer(bytes.constData(), bytes.size());
  stream.SetPosition(0);
  bitmap.LoadFromStream(stream);
}

void Put32(QByteArray& b, int at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i)
    b[at + i] = char((v >> (8 * i)) & 0xFF);
}
void Put16(QByteArray& b, int at, std::uint16_t v) {
  b[at] = char(v & 0xFF);
  b[at + 1] = char(v >> 8);
}

// A BMP of the given bits with a 40-byte header, palette and pixel bytes.
QByteArray MakeBmp(int w, int h, int bits, std::uint32_t compression,
                   const QList<QRgb>& palette, const QByteArray& pixels) {
  QByteArray b(54, '\0');
  b[0] = 'B';
  b[1] = 'M';
  const int offBits = 54 + 4 * static_cast<int>(palette.size());
  Put32(b, 2, offBits + pixels.size());
  Put32(b, 10, offBits);
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<std::uint32_t>(w));
  Put32(b, 22, static_cast<std::uint32_t>(h));
  Put16(b, 26, 1);
  Put16(b, 28, static_cast<std::uint16_t>(bits));
  Put32(b, 30, compression);
  Put32(b, 46, static_cast<std::uint32_t>(palette.size()));
  for (QRgb c : palette) {
    b.append(char(qBlue(c)));
    b.append(char(qGreen(c)));
    b.append(char(qRed(c)));
    b.append('\0');
  }
  b.append(pixels);
  return b;
}

struct DepthCase {
  TPixelFormat format;
  int bits;
  int colours;  // distinct colours in the test image (0: random)
};

TEST(BmpRoundTrip, EveryWrittenDepthReadsBackTheSamePixels) {
  const DepthCase cases[] = {{pf24bit, 24, 0}, {pf32bit, 32, 0}, {pf8bit, 8, 200},
                             {pf4bit, 4, 16}, {pf1bit, 1, 2}};
  for (const DepthCase& c : cases) {
    QImage image = Pattern(7, 5, 42);  // odd width: rows need padding
    if (c.colours) {
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
          image.setPixel(x, y, c.bits == 1 ? ((x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u)
                                           : 0xFF000000u | ((x * 5 + y * 3) % c.colours) * 0x010203u);
    }
    TBitmap out;
    out.SetImage(image);
    out.SetPixelFormat(c.format);
    const QByteArray bytes = Saved(out);
    EXPECT_EQ(static_cast<unsigned char>(bytes[28]), c.bits);
    TBitmap in;
    Load(in, bytes);
    EXPECT_EQ(in.PixelFormat(), c.format) << c.bits;
    EXPECT_TRUE(SamePixels(in.Image(), image)) << c.bits;
  }
}

TEST(BmpRoundTrip, FilesThroughSaveAndLoad) {
  TBitmap out;
  out.SetImage(Pattern(13, 9, 7));
  const QString path = qxtest::TempPath(QStringLiteral("pic.bmp"));
  out.SaveToFile(path);
  TBitmap in;
  in.LoadFromFile(path);
  EXPECT_TRUE(SamePixels(in.Image(), out.Image()));
  EXPECT_THROW(in.LoadFromFile(qxtest::TempPath(QStringLiteral("missing.bmp"))), EFOpenError);
}

TEST(BmpRead, TopDownRowsAndSixteenBits) {
  // 2 x 2, 24 bits, top-down: first row in the file is the top row.
  QByteArray px;
  for (QRgb c : {qRgb(255, 0, 0), qRgb(0, 255, 0)}) {
    px.append(char(qBlue(c)));
    px.append(char(qGreen(c)));
    px.append(char(qRed(c)));
  }
  px.append(2, '\0');
  for (QRgb c : {qRgb(0, 0, 255), qRgb(255, 255, 255)}) {
    px.append(char(qBlue(c)));
    px.append(char(qGreen(c)));
    px.append(char(qRed(c)));
  }
  px.append(2, '\0');
  QByteArray file = MakeBmp(2, 2, 24, 0, {}, px);
  Put32(file, 22, static_cast<std::uint32_t>(-2));
  const TBmpImage top = ReadBmp(file);
  EXPECT_EQ(top.image.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(top.image.pixel(1, 1) & 0xFFFFFF, 0xFFFFFFu);
  // 1 x 1, 16 bits 5-5-5: pure red 0x7C00.
  QByteArray p16;
  p16.append(char(0x00));
  p16.append(char(0x7C));
  p16.append(2, '\0');
  EXPECT_EQ(ReadBmp(MakeBmp(1, 1, 16, 0, {}, p16)).image.pixel(0, 0) & 0xFFFFFF, 0xFF0000u);
}

TEST(BmpRead, Rle8AndRle4) {
  const QList<QRgb> pal = {qRgb(0, 0, 0), qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
  // Bottom row: 4 x index 1. Top row: literal 1 2 3, then 1 x index 2.
  const char rle8[] = {4, 1, 0, 0, 0, 3, 1, 2, 3, 0, 1, 2, 0, 1};
  const TBmpImage a = ReadBmp(MakeBmp(4, 2, 8, 1, pal, QByteArray(rle8, sizeof rle8)));
  const QRgb wantTop[] = {pal[1], pal[2], pal[3], pal[2]};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(a.image.pixel(x, 1) & 0xFFFFFF, pal[1] & 0xFFFFFF) << x;
    EXPECT_EQ(a.image.pixel(x, 0) & 0xFFFFFF, wantTop[x] & 0xFFFFFF) << x;
  }
  // RLE4: bottom row 4 pixels alternating 1, 2; top row a delta skips it.
  const char rle4[] = {4, 0x12, 0, 0, 0, 1};
  const TBmpImage b = ReadBmp(MakeBmp(4, 2, 4, 2, pal, QByteArray(rle4, sizeof rle4)));
  EXPECT_EQ(b.image.pixel(0, 1) & 0xFFFFFF, pal[1] & 0xFFFFFF);
  EXPECT_EQ(b.image.pixel(1, 1) & 0xFFFFFF, pal[2] & 0xFFFFFF);
  EXPECT_EQ(b.image.pixel(0, 0) & 0xFFFFFF, pal[0] & 0xFFFFFF);
}

struct HostileCase {
  const char* name;
  std::function<void(QByteArray&)> spoil;
};

QByteArray GoodFile() {
  TBitmap b;
  b.SetImage(Pattern(4, 4, 1));
  b.SetPixelFormat(pf8bit);
  return Saved(b);
}

TEST(BmpHostile, BadFilesRaiseInvalidGraphicAndKeepThePicture) {
  const HostileCase cases[] = {
      {"empty", [](QByteArray& b) { b.clear(); }},
      {"signature", [](QByteArray& b) { b[0] = 'X'; }},
      {"truncated header", [](QByteArray& b) { b.truncate(30); }},
      {"header size", [](QByteArray& b) { Put32(b, 14, 99); }},
      {"zero width", [](QByteArray& b) { Put32(b, 18, 0); }},
      {"negative width", [](QByteArray& b) { Put32(b, 18, static_cast<std::uint32_t>(-4)); }},
      {"zero height", [](QByteArray& b) { Put32(b, 22, 0); }},
      {"huge width", [](QByteArray& b) { Put32(b, 18, 100000); }},
      {"huge area", [](QByteArray& b) { Put32(b, 18, 30000), Put32(b, 22, 30000); }},
      {"planes", [](QByteArray& b) { Put16(b, 26, 2); }},
      {"bit count", [](QByteArray& b) { Put16(b, 28, 7); }},
      {"compression", [](QByteArray& b) { Put32(b, 30, 9); }},
      {"too many colours", [](QByteArray& b) { Put32(b, 46, 300); }},
      {"palette past end", [](QByteArray& b) { b.truncate(54 + 20); }},
      {"offset past end", [](QByteArray& b) { Put32(b, 10, 0x7FFFFFF0); }},
      {"offset inside header", [](QByteArray& b) { Put32(b, 10, 20); }},
      {"truncated pixels", [](QByteArray& b) { b.chop(3); }},
  };
  for (const HostileCase& c : cases) {
    QByteArray bytes = GoodFile();
    c.spoil(bytes);
    TBitmap bitmap;
    bitmap.SetSize(3, 3);
    try {
      Load(bitmap, bytes);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const EInvalidGraphic& e) {
      EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Bitmap image is not valid")))
          << c.name << ": " << e.what();
    }
    EXPECT_EQ(bitmap.Width(), 3) << c.name;
  }
}

TEST(BmpHostile, BadRleStreams) {
  const QList<QRgb> pal = {qRgb(0, 0, 0), qRgb(255, 0, 0)};
  const struct {
    const char* name;
    QByteArray data;
    int height;
  } cases[] = {
      {"no end mark", QByteArray("\x04\x01\x00\x00", 4), 2},
      {"literal past end", QByteArray("\x00\x09\x01\x01", 4), 2},
      {"rows past the bitmap", QByteArray("\x00\x02\x00\x09\x00\x00\x00\x00\x00\x01", 10), 2},
      {"top-down", QByteArray("\x00\x01", 2), -2},
  };
  for (const auto& c : cases) {
    QByteArray file = MakeBmp(4, 2, 8, 1, pal, c.data);
    Put32(file, 22, static_cast<std::uint32_t>(c.height));
    EXPECT_THROW(ReadBmp(file), EInvalidGraphic) << c.name;
  }
}

TEST(BitmapData, FormDataRoundTrip) {
  TBitmap out;
  out.SetImage(Pattern(5, 3, 9));
  TMemoryStream stream;
  out.WriteData(stream);
  std::int32_t size = 0;
  std::memcpy(&size, stream.Bytes().constData(), 4);
  EXPECT_EQ(size, stream.Size() - 4);
  stream.SetPosition(0);
  TBitmap in;
  in.ReadData(stream);
  EXPECT_TRUE(SamePixels(in.Image(), out.Image()));
  TMemoryStream bad;
  const std::int32_t huge = 1 << 30;
  bad.WriteBuffer(&huge, 4);
  bad.SetPosition(0);
  EXPECT_THROW(in.ReadData(bad), EInvalidGraphic);
}

}  // namespace
