#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpFormat.h"
#include "platform/rtl/Streams.h"
#include "tests/support/TestSupport.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace {

TColor PixelOf(TBitmap& b, int x, int y) {
  return QRgbToColor(b.Image().pixel(x, y));
}

TEST(BmpFixtures, CompressedAndCoreHeaderFiles) {
  TBitmap rle8;
  rle8.LoadFromFile(qxtest::DataPath(QStringLiteral("rle8_4x2.bmp")));
  EXPECT_EQ(rle8.Width(), 4);
  EXPECT_EQ(rle8.PixelFormat(), pf8bit);
  EXPECT_EQ(PixelOf(rle8, 0, 1), clRed);
  EXPECT_EQ(PixelOf(rle8, 3, 1), clRed);
  EXPECT_EQ(PixelOf(rle8, 1, 0), clLime);
  EXPECT_EQ(PixelOf(rle8, 2, 0), clBlue);
  EXPECT_EQ(PixelOf(rle8, 3, 0), clLime);

  TBitmap rle4;
  rle4.LoadFromFile(qxtest::DataPath(QStringLiteral("rle4_delta_3x3.bmp")));
  EXPECT_EQ(PixelOf(rle4, 0, 2), clBlue);
  EXPECT_EQ(PixelOf(rle4, 2, 2), clBlue);
  EXPECT_EQ(PixelOf(rle4, 1, 0), clLime);  // after the delta to (1, 2) from the bottom
  EXPECT_EQ(PixelOf(rle4, 0, 0), clBlack);  // skipped pixels take palette entry 0

  TBitmap core;
  core.LoadFromFile(qxtest::DataPath(QStringLiteral("core_2x1.bmp")));
  EXPECT_EQ(PixelOf(core, 0, 0), clRed);
  EXPECT_EQ(PixelOf(core, 1, 0), clBlue);
}

TEST(BmpFixtures, HostileFilesRaiseInvalidGraphic) {
  for (const char* name : {"huge_rle8.bmp", "truncated_24.bmp"}) {
    TBitmap b;
    EXPECT_THROW(b.LoadFromFile(qxtest::DataPath(QString::fromLatin1(name))), EInvalidGraphic)
        << name;
    EXPECT_TRUE(b.Empty());
  }
}

// Seeded random damage to valid files: every result is a picture or
// EInvalidGraphic, never a crash or a read outside the data.
TEST(BmpFixtures, RandomDamageNeverEscapesTheChecks) {
  QList<QByteArray> seeds;
  for (const char* name : {"rle8_4x2.bmp", "rle4_delta_3x3.bmp", "core_2x1.bmp"})
    seeds << qxtest::ReadBytes(qxtest::DataPath(QString::fromLatin1(name)));
  TBitmap big;
  big.SetSize(5, 3);
  for (TPixelFormat f : {pf1bit, pf4bit, pf24bit, pf32bit}) {
    big.SetPixelFormat(f);
    TMemoryStream s;
    big.SaveToStream(s);
    seeds << s.Bytes();
  }
  QRandomGenerator rng(20261209);
  int loaded = 0, rejected = 0;
  for (int round = 0; round < 2000; ++round) {
    QByteArray bytes = seeds[static_cast<qsizetype>(rng.bounded(seeds.size()))];
    const int edits = 1 + static_cast<int>(rng.bounded(4));
    for (int e = 0; e < edits && !bytes.isEmpty(); ++e) {
      const auto at = static_cast<qsizetype>(rng.bounded(static_cast<int>(bytes.size())));
      switch (rng.bounded(3)) {
        case 0: bytes[at] = char(rng.bounded(256)); break;
        case 1: bytes.truncate(at); break;
        default: bytes[at] = char(bytes[at] ^ (1 << rng.bounded(8)));
      }
    }
    try {
      const TBmpImage image = ReadBmp(bytes);
      EXPECT_FALSE(image.image.isNull());
      ++loaded;
    } catch (const EInvalidGraphic&) {
      ++rejected;
    }
  }
  EXPECT_GT(loaded, 0);
  EXPECT_GT(rejected, 0);
}

}  // namespace
