// The edge panel's partial bevels and the super label's margins, alignment
// and borders, checked on their pixels.
#include "components/Lumexctl.h"
#include "components/Lumpanel.h"
#include "platform/controls/Form.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/tests/PixelTestUtil.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace {

TRect InkOf(const QImage& image, TColor background) {
  return gfxtest::BoundsOfNot(image, background);
}

int Count(const QImage& image, TColor color) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += QRgbToColor(image.pixel(x, y)) == color;
  return n;
}

class LumControls : public testing::Test {
 protected:
  void SetUp() override {
    RegisterEdgePanelClasses();
    RegisterSuperLabelClasses();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 200, 200);
    form->SetColor(clWhite);
    form->Show();
  }
  void TearDown() override { form.reset(); }
  std::unique_ptr<TForm> form;
};

TEST_F(LumControls, EdgePanelBevelsOnlyItsChosenEdges) {
  auto* edge = new TEdgePanel(form.get());
  edge->SetParent(form.get());
  edge->SetBounds(10, 10, 60, 40);
  edge->SetBevelWidth(2);
  auto* plain = new TPanel(form.get());
  plain->SetParent(form.get());
  plain->SetBounds(100, 10, 60, 40);
  plain->SetBevelWidth(2);
  plain->SetCaption(QString());
  EXPECT_EQ(edge->Caption(), QString());  // no caption from the name
  EXPECT_EQ(edge->PaintToImage(), plain->PaintToImage());
  edge->SetBevelEdges(TBevelEdges{beLeft, beTop});
  const QImage image = edge->PaintToImage();
  const TColor light = ColorToRGB(clBtnHighlight), dark = ColorToRGB(clBtnShadow);
  EXPECT_EQ(Count(image, dark), 0);
  EXPECT_EQ(QRgbToColor(image.pixel(0, 20)), light);
  EXPECT_EQ(QRgbToColor(image.pixel(1, 20)), light);
  EXPECT_EQ(QRgbToColor(image.pixel(30, 0)), light);
  EXPECT_EQ(QRgbToColor(image.pixel(59, 20)), ColorToRGB(edge->Color()));
  EXPECT_EQ(QRgbToColor(image.pixel(30, 39)), ColorToRGB(edge->Color()));
}

TEST_F(LumControls, SuperLabelCentresInsideItsMargins) {
  auto* label = new TSuperLabel(form.get());
  label->SetParent(form.get());
  label->SetBounds(10, 10, 25, 25);
  label->SetColor(clWhite);
  label->Font()->SetName(QStringLiteral("Times New Roman"));
  label->Font()->SetHeight(-19);
  label->Font()->SetColor(clRed);
  label->SetAlignment(taCenter);
  label->SetVerticalAlignment(vaCenter);
  label->SetTopMargin(2);
  label->SetCaption(QStringLiteral("7"));
  const TRect ink = InkOf(label->PaintToImage(), clWhite);
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 12.5, 1.5);
  EXPECT_NEAR((ink.Top + ink.Bottom) / 2.0, 2 + 23 / 2.0, 2.5);
  // A caption taller than its room sits at the bottom, cut at the top.
  label->SetVerticalAlignment(vaBottom);
  label->SetTopMargin(10);
  label->Font()->SetHeight(-30);
  const TRect tall = InkOf(label->PaintToImage(), clWhite);
  EXPECT_GE(tall.Top, 10);
  // Margins past the size leave nothing to draw.
  label->SetLeftMargin(200);
  label->SetTopMargin(200);
  EXPECT_TRUE(InkOf(label->PaintToImage(), clWhite).IsEmpty());
}

TEST_F(LumControls, SuperLabelBordersAndDisabledText) {
  auto* label = new TSuperLabel(form.get());
  label->SetParent(form.get());
  label->SetBounds(10, 10, 40, 25);
  label->SetColor(clWhite);
  label->SetCaption(QStringLiteral("88"));
  label->SetBorderStyle(bsSingle);
  label->SetEnabled(false);
  QImage image = label->PaintToImage();
  EXPECT_EQ(QRgbToColor(image.pixel(0, 10)), ColorToRGB(clBtnShadow));
  EXPECT_EQ(QRgbToColor(image.pixel(1, 10)), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(QRgbToColor(image.pixel(39, 10)), ColorToRGB(clBtnHighlight));
  EXPECT_GT(Count(image, ColorToRGB(clGrayText)), 0);
  label->SetCtl3D(false);
  label->SetBorderColor(clBlue);
  image = label->PaintToImage();
  EXPECT_EQ(QRgbToColor(image.pixel(0, 10)), clBlue);
  EXPECT_EQ(QRgbToColor(image.pixel(39, 10)), clBlue);
  EXPECT_EQ(label->TextRect(), Rect(1, 1 + 2, 39, 24));  // inset 1, top margin 2
}

}  // namespace
