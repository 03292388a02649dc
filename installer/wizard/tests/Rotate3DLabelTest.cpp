// The rotated label's looks, plate and angles, checked on its pixels.
#include "installer/wizard/cmp_Rotate3DLabel.h"
#include "platform/controls/Form.h"
#include "platform/graphics/Bitmap.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr TColor kGrey = 0x808080;

class Rotate3DLabel : public testing::Test {
 protected:
  void SetUp() override {
    RegisterRotate3DLabelClasses();
    form = std::make_unique<TForm>(nullptr);
    form->SetColor(clSilver);
    form->SetBounds(0, 0, 240, 240);
    label = new TRotate3DLabel(form.get());
    label->SetParent(form.get());
    label->SetBounds(20, 20, 200, 200);
    label->Font()->SetHeight(-48);
    label->Font()->SetColor(clBlack);
    label->SetCaption(QStringLiteral("MA"));
  }
  void TearDown() override { form.reset(); }

  QImage Paint() {
    form->Show();
    return label->PaintToImage();
  }
  // The bounds of the pixels of one colour.
  static TRect Bounds(const QImage& image, TColor color) {
    TRect r{image.width(), image.height(), 0, 0};
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (QRgbToColor(image.pixel(x, y)) == color) {
          r.Left = std::min(r.Left, x);
          r.Top = std::min(r.Top, y);
          r.Right = std::max(r.Right, x + 1);
          r.Bottom = std::max(r.Bottom, y + 1);
        }
    return r.IsEmpty() ? TRect{} : r;
  }
  TSize Extent() {
    TBitmap bitmap;
    bitmap.SetSize(1, 1);
    bitmap.Canvas()->SetFont(label->Font());
    return bitmap.Canvas()->TextExtent(label->Caption());
  }

  std::unique_ptr<TForm> form;
  TRotate3DLabel* label = nullptr;
};

TEST_F(Rotate3DLabel, RaisedByDefaultWithTwoShadedCopies) {
  const QImage image = Paint();
  const TRect text = Bounds(image, clBlack);
  const TRect light = Bounds(image, clWhite);
  const TRect dark = Bounds(image, kGrey);
  ASSERT_FALSE(text.IsEmpty());
  EXPECT_EQ(light.Left, text.Left - 1);
  EXPECT_EQ(light.Top, text.Top - 1);
  EXPECT_EQ(dark.Right, text.Right + 1);
  EXPECT_EQ(dark.Bottom, text.Bottom + 1);
  // Centred on the label's centre.
  EXPECT_NEAR((text.Left + text.Right) / 2, 100, 3);
}

TEST_F(Rotate3DLabel, ShadowedDrawsOneOffsetCopy) {
  label->LabelStyle()->SetAStyle3D(A3dShadowed);
  const QImage image = Paint();
  const TRect text = Bounds(image, clBlack);
  const TRect dark = Bounds(image, kGrey);
  EXPECT_TRUE(Bounds(image, clWhite).IsEmpty());
  EXPECT_EQ(dark.Right, text.Right + 5);
  EXPECT_EQ(dark.Top, text.Top - 5);
}

TEST_F(Rotate3DLabel, AnglesTurnTheTextAboutTheCentre) {
  TLabelStyle* style = label->LabelStyle();
  style->SetAStyle3D(A3dNormal);
  const TRect level = Bounds(Paint(), clBlack);
  EXPECT_GT(level.Width(), level.Height());
  style->SetAngle(90);
  const TRect up = Bounds(Paint(), clBlack);
  EXPECT_GT(up.Height(), up.Width());
  EXPECT_NEAR((up.Top + up.Bottom) / 2, 100, 3);
  EXPECT_NEAR((up.Left + up.Right) / 2, 100, 3);
  EXPECT_NEAR(up.Height(), level.Width(), 2);
  for (int bad : {360, -1, 1000}) {
    style->SetAngle(45);
    style->SetAngle(bad);
    EXPECT_EQ(style->Angle(), 0) << bad;
  }
}

TEST_F(Rotate3DLabel, PlateOfItsColourThenPlainLook) {
  label->SetColor(clYellow);
  label->SetMyTransparent(false);
  const QImage image = Paint();
  const TRect plate = Bounds(image, clYellow);
  const TSize text = Extent();
  EXPECT_NEAR(plate.Width(), text.cx + 10, 2);
  EXPECT_NEAR(plate.Height(), text.cy + 7, 2);
  EXPECT_EQ(label->LabelStyle()->AStyle3D(), A3dNormal);
  EXPECT_TRUE(Bounds(image, kGrey).IsEmpty());
}

TEST_F(Rotate3DLabel, ForcedWhiteLightShadeIgnoresChanges) {
  TLabelStyle* style = label->LabelStyle();
  int changes = 0;
  style->OnChange = [&](TObject*) { ++changes; };
  style->SetAShadeLeftTop(clAqua);
  EXPECT_EQ(changes, 1);
  style->SetAShadeLTSet(true);
  EXPECT_EQ(style->AShadeLeftTop(), clWhite);
  EXPECT_EQ(changes, 2);
  style->SetAShadeLeftTop(clRed);
  EXPECT_EQ(style->AShadeLeftTop(), clWhite);
  style->SetAShadeLTSet(false);
  EXPECT_EQ(style->AShadeLeftTop(), clAqua);
  // Offsets repaint only a shadowed look.
  const int before = changes;
  style->SetAHShadeOffSet(9);
  EXPECT_EQ(changes, before);
  EXPECT_EQ(style->AHShadeOffSet(), 9);
}

}  // namespace
