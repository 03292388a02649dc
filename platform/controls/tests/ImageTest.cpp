// Image: where the picture goes (top-left, centred, stretched), transparency,
// AutoSize and drawing on its canvas.

#include "platform/controls/Image.h"

#include "platform/controls/tests/ControlsTestSupport.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Icon.h"

#include <QImage>

namespace {

class ImageTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    RegisterImageClasses();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 160, 120);
    form->SetColor(clWhite);
    image = new TImage(form.get());
    image->SetParent(form.get());
    image->SetBounds(10, 10, 100, 80);
  }
  void TearDown() override {
    form.reset();
    ControlsTest::TearDown();
  }
  // A 20 x 10 blue bitmap with a fuchsia bottom-left pixel.
  void LoadBlue() {
    TBitmap bmp;
    bmp.SetSize(20, 10);
    bmp.Canvas()->Brush()->SetColor(clBlue);
    bmp.Canvas()->FillRect(Rect(0, 0, 20, 10));
    bmp.Canvas()->SetPixel(0, 9, clFuchsia);
    image->Picture()->SetGraphic(&bmp);
  }
  TColor At(int x, int y) {
    form->Show();
    return QRgbToColor(form->PaintToImage().pixel(x, y));
  }

  std::unique_ptr<TForm> form;
  TImage* image = nullptr;
};

TEST_F(ImageTest, PictureSitsTopLeftAtItsOwnSize) {
  LoadBlue();
  EXPECT_EQ(At(10 + 5, 10 + 5), clBlue);
  EXPECT_EQ(At(10 + 25, 10 + 5), clWhite);
  EXPECT_EQ(image->DestRect(), Rect(0, 0, 20, 10));
}

TEST_F(ImageTest, CenterPutsItInTheMiddle) {
  LoadBlue();
  image->SetCenter(true);
  EXPECT_EQ(image->DestRect(), Rect(40, 35, 60, 45));
  EXPECT_EQ(At(10 + 50, 10 + 40), clBlue);
  EXPECT_EQ(At(10 + 5, 10 + 5), clWhite);
}

TEST_F(ImageTest, StretchFillsTheControl) {
  LoadBlue();
  image->SetStretch(true);
  EXPECT_EQ(At(10 + 95, 10 + 5), clBlue);
  EXPECT_EQ(At(10 + 50, 10 + 40), clBlue);
}

TEST_F(ImageTest, TransparentLeavesTheParentShowing) {
  LoadBlue();
  EXPECT_EQ(At(10, 10 + 9), clFuchsia);
  image->SetTransparent(true);
  EXPECT_EQ(At(10, 10 + 9), clWhite);
  EXPECT_EQ(At(10 + 1, 10 + 9), clBlue);
}

TEST_F(ImageTest, AutoSizeTakesThePictureSize) {
  image->SetAutoSize(true);
  LoadBlue();
  EXPECT_EQ(image->Width(), 20);
  EXPECT_EQ(image->Height(), 10);
}

TEST_F(ImageTest, CanvasOfAnEmptyImageMakesABitmapOfTheControlSize) {
  TCanvas* canvas = image->Canvas();
  canvas->Brush()->SetColor(clRed);
  canvas->FillRect(Rect(0, 0, 100, 80));
  ASSERT_NE(dynamic_cast<TBitmap*>(image->Picture()->Graphic()), nullptr);
  EXPECT_EQ(image->Picture()->Width(), 100);
  EXPECT_EQ(At(10 + 99, 10 + 79), clRed);
  canvas->Brush()->SetColor(clLime);
  canvas->FillRect(Rect(0, 0, 10, 10));
  EXPECT_EQ(At(10 + 5, 10 + 5), clLime);  // drawing shows on the next paint
}

TEST_F(ImageTest, CanvasOfAnIconIsRefused) {
  TIcon icon;
  image->Picture()->SetGraphic(&icon);
  EXPECT_THROW(image->Canvas(), EInvalidOperation);
}

TEST_F(ImageTest, EmptyPicturePaintsNothing) {
  EXPECT_EQ(At(10 + 50, 10 + 40), clWhite);
}

}  // namespace
