// The transparent image: where each drawing style puts the picture, the
// border and bevels around it, the colour that lets the parent show, empty
// pictures, and its properties in a form file.
#include "components/Lumtimag.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/Form.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/Icon.h"
#include "platform/rtl/Streams.h"
#include "platform/graphics/tests/PixelTestUtil.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr TColor kParent = clYellow;
constexpr TColor kFill = clRed;

TRect InkOf(const QImage& image, TColor background) {
  return gfxtest::BoundsOfNot(image, background);
}

TRect Clipped(const TRect& r, const TRect& bounds) {
  return {std::max(r.Left, bounds.Left), std::max(r.Top, bounds.Top),
          std::min(r.Right, bounds.Right), std::min(r.Bottom, bounds.Bottom)};
}

class TransImage : public testing::Test {
 protected:
  void SetUp() override {
    RegisterTransImageClasses();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 200, 160);
    form->SetColor(kParent);
    image = new TTransImage(form.get());
    image->SetName(QStringLiteral("TransImage1"));
    image->SetParent(form.get());
    image->SetBounds(10, 10, 100, 80);
    image->SetColor(kFill);
    form->Show();
  }
  void TearDown() override { form.reset(); }

  // A w x h blue picture, lime in its top-left pixel, white in the 2 x 2
  // block at (4, 4).
  void LoadPicture(int w, int h) {
    TBitmap bmp;
    bmp.SetSize(w, h);
    bmp.Canvas()->Brush()->SetColor(clBlue);
    bmp.Canvas()->FillRect(Rect(0, 0, w, h));
    bmp.Canvas()->SetPixel(0, 0, clLime);
    bmp.Canvas()->Brush()->SetColor(clWhite);
    bmp.Canvas()->FillRect(Rect(4, 4, 6, 6));
    image->Picture()->SetGraphic(&bmp);
  }
  // The image's area as the form shows it.
  QImage Shown() { return form->PaintToImage().copy(10, 10, image->Width(), image->Height()); }
  static TColor At(const QImage& shown, int x, int y) { return QRgbToColor(shown.pixel(x, y)); }

  std::unique_ptr<TForm> form;
  TTransImage* image = nullptr;
};

TEST_F(TransImage, EachDrawStylePlacesThePicture) {
  LoadPicture(30, 20);
  image->PicAlign()->SetHorz(bhLeft);
  image->PicAlign()->SetVert(bvBottom);
  struct Row {
    TPicDrawStyle style;
    TRect rect;
  };
  const Row rows[] = {
      {dsAlign, Rect(0, 60, 30, 80)},   {dsCenter, Rect(35, 30, 65, 50)},
      {dsFit, Rect(0, 0, 100, 66)},     {dsHeight, Rect(0, 0, 120, 80)},
      {dsWidth, Rect(0, 0, 100, 66)},   {dsStretch, Rect(0, 0, 100, 80)},
      {dsTile, Rect(0, 0, 30, 20)},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(kPicDrawStyleIdents.Name(row.style).toStdString());
    image->SetPicDrawStyle(row.style);
    EXPECT_EQ(image->PictureRect(), row.rect);
    const QImage shown = Shown();
    EXPECT_EQ(At(shown, row.rect.Left, row.rect.Top), clLime);
    if (row.style == dsTile) {
      // Column by column to the far edges, the last tiles cut off.
      EXPECT_EQ(InkOf(shown, kFill), Rect(0, 0, 100, 80));
      for (const auto& [x, y] : {std::pair{30, 0}, {90, 0}, {0, 20}, {60, 60}})
        EXPECT_EQ(At(shown, x, y), clLime) << x << "," << y;
    } else {
      EXPECT_EQ(InkOf(shown, kFill), Clipped(row.rect, Rect(0, 0, 100, 80)));
    }
  }
}

TEST_F(TransImage, RightAlignedWithNegativeOffsetInsideTheFrame) {
  LoadPicture(30, 20);
  image->SetPicDrawStyle(dsStretch);
  image->SetBorderStyle(bsSingle);
  image->SetBevelOuter(bvLowered);
  image->SetBevelInner(bvRaised);
  image->SetBevelWidth(2);
  image->SetBorderWidth(1);
  EXPECT_EQ(image->InnerRect(), Rect(6, 6, 94, 74));  // 1 + 2 + 1 + 2 a side
  image->PicAlign()->SetHorz(bhRight);
  image->PicAlign()->SetHOffset(-10);
  EXPECT_EQ(image->PicDrawStyle(), dsAlign);  // a field's change switches the style
  const TRect at = image->PictureRect();
  EXPECT_EQ(at.Right, 94 - 10);
  EXPECT_EQ(at, Rect(54, 30, 84, 50));
  const QImage shown = Shown();
  EXPECT_EQ(At(shown, 83, 40), clBlue);
  EXPECT_EQ(At(shown, 84, 40), kFill);
  EXPECT_EQ(At(shown, 54, 30), clLime);
  // Black border, lowered outer bevel, a frame in Color, raised inner bevel.
  const TColor light = ColorToRGB(clBtnHighlight), dark = ColorToRGB(clBtnShadow);
  const TColor left[] = {clBlack, dark, dark, kFill, light, light, kFill};
  for (int x = 0; x < 7; ++x) EXPECT_EQ(At(shown, x, 40), left[x]) << x;
  const TColor right[] = {clBlack, light, light, kFill, dark, dark, kFill};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(At(shown, 99 - i, 40), right[i]) << i;
  // Frames that leave no room: the picture takes the whole client area.
  image->SetBorderWidth(40);
  EXPECT_EQ(image->InnerRect(), Rect(0, 0, 100, 80));
  // Setting the whole alignment switches the style as well.
  image->SetPicDrawStyle(dsTile);
  TPicAlign align;
  align.SetVert(bvTop);
  image->SetPicAlign(&align);
  EXPECT_EQ(image->PicDrawStyle(), dsAlign);
  EXPECT_EQ(image->PicAlign()->Horz(), bhCenter);
  EXPECT_EQ(image->PicAlign()->Vert(), bvTop);
}

TEST_F(TransImage, TransparentColourShowsTheParent) {
  LoadPicture(30, 20);
  image->SetPicDrawStyle(dsCenter);  // at (35, 30)
  QImage shown = Shown();
  EXPECT_EQ(At(shown, 35 + 4, 30 + 4), clWhite);
  EXPECT_EQ(At(shown, 2, 2), kFill);

  image->SetTransparentColor(clWhite);
  image->SetTransparent(true);
  shown = Shown();
  EXPECT_EQ(At(shown, 35 + 4, 30 + 5), kParent);  // the white block
  EXPECT_EQ(At(shown, 35 + 6, 30 + 6), clBlue);
  EXPECT_EQ(At(shown, 35, 30), clLime);
  EXPECT_EQ(At(shown, 2, 2), kParent);  // no fill around the picture
  EXPECT_EQ(InkOf(shown, kParent), Rect(35, 30, 65, 50));

  // The mask is white and the image black where the colour was.
  TMaskedBitmap* masked = image->MaskedBitmap();
  ASSERT_TRUE(masked->Masked());
  EXPECT_TRUE(masked->Mask()->Monochrome());
  EXPECT_EQ(masked->Mask()->Canvas()->Pixel(4, 4), clWhite);
  EXPECT_EQ(masked->Mask()->Canvas()->Pixel(10, 10), clBlack);
  EXPECT_EQ(masked->Image()->Canvas()->Pixel(4, 4), clBlack);
  EXPECT_EQ(masked->Image()->Canvas()->Pixel(10, 10), clBlue);

  // Another colour rebuilds the mask; stretched, the mask stretches along.
  image->SetTransparentColor(clBlue);
  image->SetPicDrawStyle(dsStretch);
  shown = Shown();
  EXPECT_EQ(At(shown, 50, 50), kParent);
  EXPECT_EQ(At(shown, 0, 0), clLime);
  EXPECT_EQ(At(shown, 4 * 100 / 30 + 1, 4 * 80 / 20 + 1), clWhite);
}

// An icon keeps its own transparency at its own size; stretched, it goes
// through its rendering on a white bitmap.
TEST_F(TransImage, StretchedIconIsDrawnThroughItsBitmap) {
  QImage art(10, 10, QImage::Format_ARGB32);
  art.fill(0xFF0000FFu);  // blue
  for (int x = 0; x < 10; ++x) art.setPixel(x, 0, 0x00000000u);  // top row clear
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  ASSERT_TRUE(art.save(&buffer, "png"));
  TMemoryStream stream;
  stream.WriteBuffer(png.constData(), png.size());
  stream.SetPosition(0);
  TIcon icon;
  icon.LoadFromStream(stream);
  image->Picture()->SetGraphic(&icon);
  image->SetPicDrawStyle(dsCenter);  // at (45, 35)
  QImage shown = Shown();
  EXPECT_EQ(At(shown, 45, 35), kFill);
  EXPECT_EQ(At(shown, 45, 36), clBlue);
  image->SetPicDrawStyle(dsStretch);
  shown = Shown();
  EXPECT_EQ(At(shown, 50, 4), clWhite);  // the clear row, 8 pixels high
  EXPECT_EQ(At(shown, 50, 9), clBlue);
}

TEST_F(TransImage, ZeroSizePictureDrawsNothing) {
  image->SetAutoSize(true);
  for (const QSize size : {QSize(0, 20), QSize(30, 0), QSize(0, 0)}) {
    TBitmap bmp;
    bmp.SetSize(size.width(), size.height());
    image->Picture()->SetGraphic(&bmp);
    EXPECT_EQ(image->Width(), 100);  // AutoSize keeps the size
    EXPECT_FALSE(image->MaskedBitmap()->Masked());
    for (bool transparent : {false, true}) {
      image->SetTransparent(transparent);
      for (int style = dsAlign; style <= dsWidth; ++style) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height() << " "
                                        << kPicDrawStyleIdents.Name(style).toStdString()
                                        << (transparent ? " transparent" : ""));
        image->SetPicDrawStyle(static_cast<TPicDrawStyle>(style));
        EXPECT_TRUE(image->PictureRect().IsEmpty());
        EXPECT_TRUE(InkOf(Shown(), transparent ? kParent : kFill).IsEmpty());
      }
    }
  }
}

TEST_F(TransImage, AutoSizeTakesThePictureAndCentres) {
  LoadPicture(30, 20);
  image->SetPicDrawStyle(dsTile);
  image->SetAutoSize(true);
  EXPECT_EQ(image->Width(), 30);
  EXPECT_EQ(image->Height(), 20);
  EXPECT_EQ(image->PicDrawStyle(), dsCenter);
  LoadPicture(40, 24);
  EXPECT_EQ(image->Width(), 40);
  EXPECT_EQ(image->Height(), 24);
}

TEST_F(TransImage, PropertiesSurviveAFormFile) {
  LoadPicture(30, 20);
  image->PicAlign()->SetHorz(bhRight);
  image->PicAlign()->SetHOffset(-10);
  image->PicAlign()->SetVert(bvTop);
  image->PicAlign()->SetVOffset(3);
  image->SetPicDrawStyle(dsWidth);  // read after PicAlign, so it stays
  image->SetTransparent(true);
  image->SetTransparentColor(clWhite);
  image->SetBevelInner(bvRaised);
  image->SetBevelOuter(bvLowered);
  image->SetBevelWidth(3);
  image->SetBorderWidth(2);
  image->SetBorderStyle(bsSingle);
  const QByteArray text = WriteComponentText(form.get());
  for (const char* line : {"PicAlign.Horz = bhRight", "PicAlign.HOffset = -10",
                           "PicAlign.Vert = bvTop", "PicAlign.VOffset = 3",
                           "PicDrawStyle = dsWidth", "Transparent = True",
                           "TransparentColor = clWhite", "BevelInner = bvRaised",
                           "BevelOuter = bvLowered", "BevelWidth = 3", "BorderWidth = 2",
                           "BorderStyle = bsSingle", "Picture.Data = {"})
    EXPECT_TRUE(text.contains(line)) << line << "\n" << text.constData();

  TForm again(nullptr);
  ReadRootComponent(&again, text, QStringLiteral("again.form"));
  auto* read = dynamic_cast<TTransImage*>(again.FindComponent(QStringLiteral("TransImage1")));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->PicAlign()->Horz(), bhRight);
  EXPECT_EQ(read->PicAlign()->HOffset(), -10);
  EXPECT_EQ(read->PicAlign()->Vert(), bvTop);
  EXPECT_EQ(read->PicAlign()->VOffset(), 3);
  EXPECT_EQ(read->PicDrawStyle(), dsWidth);
  EXPECT_TRUE(read->Transparent());
  EXPECT_EQ(read->TransparentColor(), clWhite);
  EXPECT_EQ(read->BevelInner(), bvRaised);
  EXPECT_EQ(read->BevelOuter(), bvLowered);
  EXPECT_EQ(read->BevelWidth(), 3);
  EXPECT_EQ(read->BorderWidth(), 2);
  EXPECT_EQ(read->BorderStyle(), bsSingle);
  EXPECT_TRUE(read->MaskedBitmap()->Masked());
  again.Show();
  EXPECT_EQ(again.PaintToImage().copy(10, 10, 100, 80), Shown());
  EXPECT_EQ(WriteComponentText(&again), text);

  // Defaults are left out; AutoSize read last sizes and centres.
  TForm plain(nullptr);
  auto* fresh = new TTransImage(&plain);
  fresh->SetName(QStringLiteral("Fresh"));
  const QByteArray defaults = WriteComponentText(&plain);
  for (const char* name : {"PicAlign.", "Transparent =", "AutoSize", "Bevel", "Border"})
    EXPECT_FALSE(defaults.contains(name)) << name << "\n" << defaults.constData();
  EXPECT_EQ(fresh->Width(), 105);
  EXPECT_EQ(fresh->Height(), 105);
  image->SetAutoSize(true);
  TForm sized(nullptr);
  ReadRootComponent(&sized, WriteComponentText(form.get()), QStringLiteral("sized.form"));
  auto* auto1 = dynamic_cast<TTransImage*>(sized.FindComponent(QStringLiteral("TransImage1")));
  ASSERT_NE(auto1, nullptr);
  EXPECT_TRUE(auto1->AutoSize());
  EXPECT_EQ(auto1->PicDrawStyle(), dsCenter);
  EXPECT_EQ(auto1->Width(), 30);
}

TEST_F(TransImage, BevelsOutsideTheirNamesAreRefused) {
  const QByteArray bad =
      "object Form1: TForm\n"
      "  object T1: TTransImage\n"
      "    BevelOuter = bvSpace\n"
      "  end\n"
      "end\n";
  TForm target(nullptr);
  EXPECT_THROW(ReadRootComponent(&target, bad, QStringLiteral("bad.form")), EReadError);
}

}  // namespace
