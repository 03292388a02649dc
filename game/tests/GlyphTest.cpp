// The tool bar's buttons show glyphs read from the main form, not captions.
#include "components/Lumbtn.h"
#include "game/tests/GameWindowSupport.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Panel.h"

#include <QImage>

namespace {

class ToolBarGlyphs : public GameWindowTest {
 protected:
  QList<TSpeedButton*> Buttons() const {
    return {Form1->SpeedButton1, Form1->SpeedButton4, Form1->SpeedButton3, Form1->SpeedButton2};
  }
  QList<TRepSpeedBtn*> PictureButtons() const { return {Form1->esiinnappi, Form1->esiinalas}; }
};

// Whether every pixel of the glyph other than its transparent colour shows
// in image at some offset inside the button's rectangle.
bool GlyphShowsIn(const QImage& image, const TRect& button, TBitmap* glyph) {
  const QImage& pixels = glyph->Image();
  const QRgb clear = ColorToQColor(glyph->TransparentColor()).rgb() & 0xFFFFFF;
  for (int oy = button.Top; oy + pixels.height() <= button.Bottom; ++oy)
    for (int ox = button.Left; ox + pixels.width() <= button.Right; ++ox) {
      bool all = true;
      for (int y = 0; y < pixels.height() && all; ++y)
        for (int x = 0; x < pixels.width() && all; ++x) {
          const QRgb p = pixels.pixel(x, y) & 0xFFFFFF;
          all = p == clear || (image.pixel(ox + x, oy + y) & 0xFFFFFF) == p;
        }
      if (all) return true;
    }
  return false;
}

TEST_F(ToolBarGlyphs, EveryToolButtonHasAGlyphAndNoCaption) {
  Start();
  QSet<QByteArray> distinct;
  for (TSpeedButton* button : Buttons()) {
    SCOPED_TRACE(button->Name().toStdString());
    EXPECT_TRUE(button->Caption().isEmpty());
    ASSERT_FALSE(button->Glyph()->Empty());
    EXPECT_EQ(button->NumGlyphs(), 1);
    // Fits inside the button's raised edge.
    EXPECT_LE(button->Glyph()->Width(), button->Width() - 4);
    EXPECT_LE(button->Glyph()->Height(), button->Height() - 4);
    EXPECT_EQ(button->Glyph()->TransparentColor(), ColorToRGB(clBtnFace));
    const QImage& image = button->Glyph()->Image();
    distinct.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
  }
  EXPECT_EQ(distinct.size(), Buttons().size());
}

TEST_F(ToolBarGlyphs, NudgeButtonsHaveTwoColumnPicturesAndNoCaption) {
  Start();
  for (TRepSpeedBtn* button : PictureButtons()) {
    SCOPED_TRACE(button->Name().toStdString());
    EXPECT_TRUE(button->Caption().isEmpty());
    EXPECT_FALSE(button->Hint().isEmpty());
    EXPECT_FALSE(button->Visible());
    EXPECT_EQ(button->Width(), 25);
    EXPECT_EQ(button->Height(), 25);
    ASSERT_NE(button->Picture()->Graphic(), nullptr);
    EXPECT_EQ(button->NumGlyphs(), 2);
    EXPECT_EQ(button->Glyph()->GlyphSize(), (TSize{20, 20}));
    EXPECT_EQ(button->TransparentColor(), ColorToRGB(clBtnFace));
    // The disabled column differs from the up one.
    EXPECT_NE(button->Glyph()->StateImage(bsUp), button->Glyph()->StateImage(bsDisabled));
  }
}

TEST_F(ToolBarGlyphs, MainWindowDrawsTheNudgePicturesFirstColumn) {
  Start();
  for (TRepSpeedBtn* button : PictureButtons()) button->Show();
  const QImage image = Form1->PaintToImage();
  for (TRepSpeedBtn* button : PictureButtons()) {
    SCOPED_TRACE(button->Name().toStdString());
    TBitmap* picture = button->Picture()->Bitmap();
    TBitmap column;
    column.SetImage(picture->Image().copy(0, 0, 20, 20));
    EXPECT_TRUE(GlyphShowsIn(image, button->BoundsRect(), &column));
  }
}

TEST_F(ToolBarGlyphs, MainWindowDrawsTheGlyphsOnTheToolBar) {
  Start();
  Form1->esiinnappi->Show();
  Form1->esiinalas->Show();
  const QImage image = Form1->PaintToImage();
  for (TSpeedButton* button : Buttons()) {
    SCOPED_TRACE(button->Name().toStdString());
    // The panel sits at the top left of the client area.
    const TRect bounds = button->BoundsRect();
    EXPECT_TRUE(GlyphShowsIn(image, bounds, button->Glyph()));
    // The face around the glyph, not the glyph's background, fills the corner.
    EXPECT_EQ(image.pixel(bounds.Left + 3, bounds.Bottom - 4) & 0xFFFFFF,
              ColorToQColor(clBtnFace).rgb() & 0xFFFFFF);
  }
}

TEST_F(ToolBarGlyphs, PressedButtonShowsItsGlyphWithTheBackgroundLeftOut) {
  Start();
  TSpeedButton* button = Form1->SpeedButton2;
  button->SetDown(true);
  const QImage image = Form1->PaintToImage();
  const TRect bounds = button->BoundsRect();
  EXPECT_TRUE(GlyphShowsIn(image, bounds, button->Glyph()));
  // A held-down button has a lighter face; the glyph's own background (the
  // normal face colour) must not show over it.
  const QRgb face = ColorToQColor(clBtnFace).rgb() & 0xFFFFFF;
  const QRgb light = ColorToQColor(cl3DLight).rgb() & 0xFFFFFF;
  ASSERT_NE(face, light);
  int faces = 0;
  int lit = 0;
  for (int y = bounds.Top; y < bounds.Bottom; ++y)
    for (int x = bounds.Left; x < bounds.Right; ++x) {
      const QRgb p = image.pixel(x, y) & 0xFFFFFF;
      faces += p == face;
      lit += p == light;
    }
  EXPECT_EQ(faces, 0);
  EXPECT_GT(lit, 100);
  button->SetDown(false);
}

}  // namespace
