#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/Picture.h"
#include "platform/graphics/tests/PixelTestUtil.h"
#include "platform/rtl/Streams.h"
#include "tests/support/TestSupport.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

using gfxtest::Surface;

QImage Checker(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      image.setPixel(x, y, (x + y) % 2 ? 0xFFFF0000u : 0xFF0000FFu);
  return image;
}

TEST(PictureFiles, ExtensionChoosesTheGraphic) {
  const QString bmp = qxtest::TempPath(QStringLiteral("a.bmp"));
  const QString png = qxtest::TempPath(QStringLiteral("b.png"));
  const QString ico = qxtest::TempPath(QStringLiteral("c.ico"));
  TBitmap source;
  source.SetImage(Checker(6, 4));
  source.SaveToFile(bmp);
  ASSERT_TRUE(Checker(5, 3).save(png));
  QImage icon(16, 16, QImage::Format_ARGB32);
  icon.fill(0x8000FF00u);
  ASSERT_TRUE(icon.save(ico, "ico"));

  TPicture picture;
  picture.LoadFromFile(bmp);
  EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 6);
  picture.LoadFromFile(png);
  EXPECT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Height(), 3);
  picture.LoadFromFile(ico);
  EXPECT_NE(dynamic_cast<TIcon*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 16);
}

TEST(PictureFiles, UnknownOrBadFilesKeepThePicture) {
  TPicture picture;
  picture.Bitmap()->SetSize(2, 2);
  const QString odd = qxtest::TempPath(QStringLiteral("x.xyz"));
  qxtest::WriteBytes(odd, "data");
  EXPECT_THROW(picture.LoadFromFile(odd), EInvalidGraphic);
  const QString bad = qxtest::TempPath(QStringLiteral("bad.bmp"));
  qxtest::WriteBytes(bad, "BMnot really");
  EXPECT_THROW(picture.LoadFromFile(bad), EInvalidGraphic);
  EXPECT_THROW(picture.LoadFromFile(qxtest::TempPath(QStringLiteral("none.bmp"))), EFOpenError);
  EXPECT_EQ(picture.Width(), 2);
  TPicture empty;
  EXPECT_THROW(empty.SaveToFile(qxtest::TempPath(QStringLiteral("e.bmp"))), EInvalidGraphic);
}

TEST(PictureData, FormDataRoundTripKeepsKindAndPixels) {
  TPicture out;
  out.Bitmap()->SetImage(Checker(3, 2));
  TMemoryStream stream;
  out.WriteData(stream);
  EXPECT_EQ(stream.Bytes().mid(0, 8), QByteArray("\x07TBitmap", 8));
  stream.SetPosition(0);
  TPicture in;
  in.ReadData(stream);
  ASSERT_NE(dynamic_cast<TBitmap*>(in.Graphic()), nullptr);
  EXPECT_EQ(in.Bitmap()->Image().pixel(1, 0), Checker(3, 2).pixel(1, 0));
  TMemoryStream unknown;
  unknown.WriteBuffer("\x09TMetafile", 10);
  unknown.SetPosition(0);
  EXPECT_THROW(in.ReadData(unknown), EInvalidGraphic);
  EXPECT_EQ(in.Width(), 3);
}

TEST(PictureChange, ChangesOfTheGraphicReachOnChange) {
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&changes](TObject*) { ++changes; };
  TBitmap* bitmap = picture.Bitmap();
  const int afterCreate = changes;
  EXPECT_GE(afterCreate, 1);
  bitmap->SetSize(4, 4);
  bitmap->Canvas()->FillRect(Rect(0, 0, 2, 2));
  EXPECT_EQ(changes, afterCreate + 2);
}

TEST(PictureAssign, CopiesTheGraphic) {
  TPicture a, b;
  a.Bitmap()->SetImage(Checker(4, 4));
  b.Assign(&a);
  ASSERT_NE(b.Graphic(), a.Graphic());
  EXPECT_EQ(b.Width(), 4);
  a.Bitmap()->SetSize(1, 1);
  EXPECT_EQ(b.Width(), 4);
  TBitmap target;
  target.Assign(&b);
  EXPECT_EQ(target.Width(), 4);
  b.Assign(nullptr);
  EXPECT_EQ(b.Graphic(), nullptr);
}

TEST(PictureResources, LoadsByNameAndMissingOnesRaise) {
  TPicture picture;
  picture.LoadFromResourceName(QStringLiteral("TESTPIC"));
  ASSERT_NE(dynamic_cast<TBitmap*>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 4);
  EXPECT_EQ(picture.Height(), 2);
  EXPECT_THROW(picture.LoadFromResourceName(QStringLiteral("NO_SUCH_PICTURE")), EInvalidGraphic);
}

TEST(IconDraw, AlphaBlendsOverTheCanvas) {
  QImage image(2, 1, QImage::Format_ARGB32);
  image.setPixel(0, 0, 0xFFFF0000u);
  image.setPixel(1, 0, 0x00000000u);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(image.save(&buffer, "png"));
  TMemoryStream stream;
  stream.WriteBuffer(png.constData(), png.size());
  stream.SetPosition(0);
  TIcon icon;
  icon.LoadFromStream(stream);
  EXPECT_TRUE(icon.Transparent());
  Surface s(2, 1, clLime);
  s.canvas->Draw(0, 0, &icon);
  EXPECT_EQ(s.At(0, 0), clRed);
  EXPECT_EQ(s.At(1, 0), clLime);
  EXPECT_THROW(icon.SetWidth(4), EInvalidGraphicOperation);
  TMemoryStream junk;
  junk.WriteBuffer("nonsense", 8);
  junk.SetPosition(0);
  EXPECT_THROW(icon.LoadFromStream(junk), EInvalidGraphic);
  EXPECT_EQ(icon.Width(), 2);
}

TEST(BitmapSize, ResizeKeepsPixelsAndWhitensTheRest) {
  TBitmap b;
  EXPECT_TRUE(b.Empty());
  EXPECT_EQ(b.TransparentColor(), clDefault);
  b.SetSize(2, 2);
  b.Canvas()->SetPixel(0, 0, clRed);
  b.SetSize(3, 3);
  EXPECT_EQ(QRgbToColor(b.Image().pixel(0, 0)), clRed);
  EXPECT_EQ(QRgbToColor(b.Image().pixel(2, 2)), clWhite);
  b.SetSize(0, 5);
  EXPECT_TRUE(b.Empty());
  b.Canvas()->FillRect(Rect(0, 0, 1, 1));  // drawing on an empty bitmap does nothing
}

TEST(BitmapSize, WidthThenHeightMakesTheBitmap) {
  TBitmap bitmap;
  bitmap.SetWidth(4);
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.Width(), 4);
  bitmap.SetHeight(3);
  EXPECT_FALSE(bitmap.Empty());
  EXPECT_EQ(bitmap.Image().size(), QSize(4, 3));
  bitmap.SetWidth(0);
  EXPECT_TRUE(bitmap.Empty());
  EXPECT_EQ(bitmap.Height(), 3);
}

}  // namespace
