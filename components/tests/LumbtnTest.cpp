// Picture speed buttons: their faces on the pixel, pressing and grouping,
// the auto-repeat through the timer hook, the shared stores and form files.
#include "components/Lumbtn.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Colors.h"

#include <QCoreApplication>
#include <QCursor>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

TColor At(const QImage& image, int x, int y) { return QRgbToColor(image.pixel(x, y)); }
TColor Rgb(TColor c) { return ColorToRGB(c); }

// The form in front and the mouse cursor still over the middle of control.
void CursorStillOver(TForm& form, TControl& control) {
  form.Widget()->activateWindow();
  const TPoint p = control.ClientToScreen({control.Width() / 2, control.Height() / 2});
  QCursor::setPos(p.X, p.Y);
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// columns side by side, each 10 x 10: fuchsia with a 4 x 4 square in the
// middle, red in the first column, blue in the second.
std::unique_ptr<TBitmap> Strip(int columns, int size = 10) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(columns * size, size);
  bitmap->Canvas()->Brush()->SetColor(clFuchsia);
  bitmap->Canvas()->FillRect(Rect(0, 0, columns * size, size));
  for (int c = 0; c < columns; ++c) {
    bitmap->Canvas()->Brush()->SetColor(c == 0 ? clRed : clBlue);
    bitmap->Canvas()->FillRect(Rect(c * size + 3, 3, c * size + 7, 7));
  }
  return bitmap;
}

class PicButtons : public testing::Test {
 protected:
  void SetUp() override {
    RegisterPicSpeedBtnClasses();
    TTimer::SetTimerHook([this](TTimer* timer, bool running, unsigned interval) {
      if (running)
        running_[timer] = interval;
      else
        running_.erase(timer);
    });
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 200, 100);
    form->Show();
  }
  void TearDown() override {
    form.reset();
    TTimer::SetTimerHook(nullptr);
  }
  template <class T>
  T* Add(int left, int columns = 2) {
    auto* b = new T(form.get());
    b->SetParent(form.get());
    b->SetBounds(left, 10, 25, 25);
    b->SetPopup(false);
    auto strip = Strip(columns);
    b->Picture()->SetGraphic(strip.get());
    return b;
  }
  static void Press(TControl* c, int x = 5, int y = 5) {
    c->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  }
  static void Release(TControl* c, int x = 5, int y = 5) {
    c->Perform(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
  }
  bool Running(TTimer* t) const { return t != nullptr && running_.count(t) != 0; }
  unsigned Interval(TTimer* t) const { return running_.at(t); }

  std::unique_ptr<TForm> form;
  std::map<TTimer*, unsigned> running_;
};

TEST_F(PicButtons, ReenabledUnderAStillCursorShowsItsHoverFace) {
  auto* b = Add<TPicSpeedBtn>(40);
  b->SetPopup(true);
  const QImage plain = b->PaintToImage();
  CursorStillOver(*form, *b);
  ASSERT_EQ(FindDragTarget(GetCursorPos(), false), b);
  int enters = 0;
  b->OnMouseEnter = [&](TObject*) { ++enters; };
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  const QImage hovered = b->PaintToImage();
  ASSERT_NE(hovered, plain);  // the popup button shows its edge
  EXPECT_EQ(At(hovered, 0, 12), Rgb(clBtnHighlight));

  b->SetEnabled(false);
  b->SetEnabled(true);
  EXPECT_EQ(b->PaintToImage(), hovered);
  EXPECT_EQ(enters, 2);

  // Away from the cursor it comes back plain.
  b->SetEnabled(false);
  b->SetLeft(120);
  b->SetEnabled(true);
  EXPECT_EQ(b->PaintToImage(), plain);
}

TEST_F(PicButtons, FacesOfTheFourStates) {
  auto* b = Add<TPicSpeedBtn>(10);
  const TColor face = Rgb(clBtnFace), light = Rgb(clBtnHighlight), shadow = Rgb(clBtnShadow);
  // The 10 x 10 glyph centred on the 23 x 23 face inside the thin edge.
  const int g = 1 + (23 - 10 + 1) / 2;

  QImage up = b->PaintToImage();
  EXPECT_EQ(b->State(), bsUp);
  EXPECT_EQ(At(up, 0, 0), light);
  EXPECT_EQ(At(up, 24, 24), shadow);
  EXPECT_EQ(At(up, g, g), face);  // the transparent colour became the face
  EXPECT_EQ(At(up, g + 3, g + 3), Rgb(clRed));

  Press(b);
  QImage down = b->PaintToImage();
  EXPECT_EQ(b->State(), bsDown);
  EXPECT_EQ(At(down, 0, 0), shadow);
  EXPECT_EQ(At(down, 24, 24), light);
  EXPECT_EQ(At(down, g + 3, g + 3), face);  // moved one pixel down and right
  EXPECT_EQ(At(down, g + 4, g + 4), Rgb(clRed));
  Release(b);
  EXPECT_EQ(b->State(), bsUp);

  b->SetEnabled(false);
  QImage disabled = b->PaintToImage();
  EXPECT_EQ(b->State(), bsDisabled);
  EXPECT_EQ(At(disabled, g + 3, g + 3), Rgb(clBlue));  // the second column
  EXPECT_EQ(At(disabled, g, g), face);
  b->SetEnabled(true);

  b->SetGroupIndex(1);
  b->SetDown(true);
  QImage grouped = b->PaintToImage();
  EXPECT_EQ(b->State(), bsExclusive);
  EXPECT_EQ(At(grouped, 0, 0), shadow);
  // The dither shows through the glyph's transparent pixels.
  EXPECT_NE(At(grouped, g + 1, g + 1), At(grouped, g + 2, g + 1));
  EXPECT_EQ(At(grouped, g + 1, g + 1), At(grouped, g + 2, g + 2));
  EXPECT_EQ(At(grouped, g + 4, g + 4), Rgb(clRed));
  EXPECT_TRUE(b->HoldsPattern());
  b->SetAllowAllUp(true);
  b->SetDown(false);
  b->PaintToImage();
  EXPECT_FALSE(b->HoldsPattern());
}

TEST_F(PicButtons, SingleGlyphDisabledIsEmbossedAndPopupHidesTheEdge) {
  auto* b = Add<TPicSpeedBtn>(10, 1);
  const TColor light = Rgb(clBtnHighlight), shadow = Rgb(clBtnShadow);
  b->SetEnabled(false);
  const QImage image = b->PaintToImage();
  const int g = 1 + (23 - 10 + 1) / 2;
  EXPECT_EQ(At(image, g + 3, g + 3), shadow);
  EXPECT_EQ(At(image, g + 7, g + 7), light);  // the highlight one pixel down right
  b->SetEnabled(true);
  b->SetPopup(true);
  const QImage flat = b->PaintToImage();
  EXPECT_EQ(At(flat, 0, 0), Rgb(clBtnFace));
  b->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(b));
  EXPECT_EQ(At(b->PaintToImage(), 0, 0), light);
}

TEST_F(PicButtons, LayoutsPlaceTheGlyph) {
  // The red square starts 3 pixels into the glyph; the face starts at (1, 1).
  const struct {
    TlumButtonLayout layout;
    int margin;
    TPoint glyph;
  } rows[] = {{lblGlyphLeft, 2, {3, 8}},    {lblGlyphRight, 2, {12, 8}},
              {lblGlyphTop, 2, {8, 3}},     {lblGlyphBottom, 2, {8, 12}},
              {lblGlyphCenter, 2, {8, 8}},  {lblGlyphLeft, -1, {8, 8}},
              {lblGlyphTiled, -1, {0, 0}}};
  auto* b = Add<TPicSpeedBtn>(10);
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.layout << " " << row.margin);
    b->SetLayout(row.layout);
    b->SetMargin(row.margin);
    const QImage image = b->PaintToImage();
    EXPECT_EQ(At(image, row.glyph.X + 3, row.glyph.Y + 3), Rgb(clRed));
    EXPECT_NE(At(image, row.glyph.X + 2, row.glyph.Y + 3), Rgb(clRed));
  }
  // Tiled repeats the glyph across the button.
  EXPECT_EQ(At(b->PaintToImage(), 13, 13), Rgb(clRed));
}

// Pixels of color inside the edges.
int Count(const QImage& image, TColor color) {
  int n = 0;
  for (int y = 2; y < image.height() - 2; ++y)
    for (int x = 2; x < image.width() - 2; ++x) n += At(image, x, y) == color;
  return n;
}

TEST_F(PicButtons, CaptionInks) {
  auto* b = new TPicSpeedBtn(form.get());
  b->SetParent(form.get());
  b->SetBounds(10, 10, 60, 25);
  b->SetPopup(false);
  b->SetCaption(QStringLiteral("WM"));
  b->Font()->SetColor(clBlack);
  b->SetColor(clSilver);
  const struct {
    bool enabled;
    bool shadow;
    TTextStyle style;
    TColor present;
    TColor absent;
  } rows[] = {{true, false, tsNormal, clBlack, clGray},
              {true, false, tsRaised, clGray, clNone},
              {false, false, tsNormal, Rgb(clBtnShadow), clBlack},
              {false, true, tsNormal, clWhite, clBlack}};
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << row.enabled << row.shadow << row.style);
    b->SetEnabled(row.enabled);
    b->SetDisabledShadow(row.shadow);
    b->SetTextStyle(row.style);
    const QImage image = b->PaintToImage();
    EXPECT_GT(Count(image, row.present), 5);
    if (row.absent != clNone) {
      EXPECT_EQ(Count(image, row.absent), 0);
    }
  }
}

TEST_F(PicButtons, PictureSetsNumGlyphs) {
  const struct {
    int columns;
    int size;
    int numGlyphs;
  } rows[] = {{1, 10, 1}, {2, 10, 2}, {4, 10, 4}, {5, 10, 1}};
  TlumButtonGlyph glyph;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.columns);
    auto strip = Strip(row.columns, row.size);
    glyph.Picture()->SetGraphic(strip.get());
    EXPECT_EQ(glyph.NumGlyphs(), row.numGlyphs);
    EXPECT_EQ(glyph.TransparentColor(), Rgb(clFuchsia));
    EXPECT_FALSE(glyph.TransparentColorSet());
  }
  glyph.SetNumGlyphs(7);
  EXPECT_EQ(glyph.NumGlyphs(), 4);
  glyph.SetNumGlyphs(0);
  EXPECT_EQ(glyph.NumGlyphs(), 4);
  glyph.Picture()->SetGraphic(nullptr);
  EXPECT_EQ(glyph.NumGlyphs(), 1);
  EXPECT_EQ(glyph.MakeStateImage(bsUp), -1);

  auto* b = Add<TPicSpeedBtn>(10);
  b->SetMargin(3);
  b->SetMargin(-2);
  EXPECT_EQ(b->Margin(), 3);
}

TEST_F(PicButtons, GroupsClicksAndCancels) {
  auto* a = Add<TPicSpeedBtn>(10);
  auto* b = Add<TPicSpeedBtn>(40);
  a->SetGroupIndex(1);
  b->SetGroupIndex(1);
  int clicks = 0;
  a->OnClick = [&](TObject*) { ++clicks; };
  Press(a);
  Release(a);
  EXPECT_TRUE(a->Down());
  EXPECT_EQ(clicks, 1);
  Press(a);
  Release(a);
  EXPECT_TRUE(a->Down());  // without AllowAllUp the down button stays down
  Press(b);
  Release(b);
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  EXPECT_EQ(a->State(), bsUp);

  Press(a);
  Release(a, 100, 5);  // released outside
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(a->Down());

  bool cancelClick = true;
  a->BeforeClick = [&](TObject*, bool& cancel) { cancel = cancelClick; };
  b->SetAllowAllUp(true);
  Press(a);
  Release(a);
  EXPECT_EQ(clicks, 2);
  EXPECT_TRUE(a->Down());  // Down changes before the click is offered

  int ups = 0;
  a->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++ups; };
  a->BeforeMouseDown = [](TObject*, TMouseButton, TShiftState shift, int, int, bool& cancel) {
    cancel = shift.Contains(ssLeft);
  };
  Press(a);
  EXPECT_EQ(a->State(), bsExclusive);  // no press
  Release(a);
  EXPECT_EQ(ups, 0);
  Release(a);
  EXPECT_EQ(ups, 1);
}

TEST_F(PicButtons, HeldRepeatButtonFiresAfter400ThenEvery100Ms) {
  auto* b = Add<TRepSpeedBtn>(10);
  EXPECT_EQ(b->RepeatInitialPause(), 400);
  EXPECT_EQ(b->RepeatPause(), 100);
  Press(b);
  EXPECT_EQ(b->RepeatTimer(), nullptr);  // no handler, no timer
  Release(b);

  int ticks = 0;
  b->OnTimer = [&](TObject*) { ++ticks; };
  Press(b);
  TTimer* timer = b->RepeatTimer();
  ASSERT_TRUE(Running(timer));
  EXPECT_EQ(Interval(timer), 400u);
  EXPECT_EQ(ticks, 0);
  timer->Tick();
  EXPECT_EQ(ticks, 1);
  ASSERT_TRUE(Running(timer));
  EXPECT_EQ(Interval(timer), 100u);
  timer->Tick();
  timer->Tick();
  EXPECT_EQ(ticks, 3);
  // Sliding off ends the repeat; sliding back does not restart it.
  b->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 5));
  timer->Tick();
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(Running(timer));
  b->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_FALSE(Running(timer));
  Release(b);

  b->SetRepeatPause(0);
  Press(b);
  timer->Tick();
  EXPECT_EQ(ticks, 4);
  EXPECT_FALSE(Running(timer));
  Release(b);

  Press(b);
  Release(b);
  EXPECT_FALSE(Running(timer));
}

TEST_F(PicButtons, StoresAreSharedAndFreedWithTheirLastUser) {
  FreePicButtonStores();
  {
    auto* a = Add<TPicSpeedBtn>(10);
    auto* b = Add<TPicSpeedBtn>(40);
    a->PaintToImage();
    b->PaintToImage();
    EXPECT_EQ(PicButtonStores().GlyphListCount(), 1);
    a->SetGroupIndex(1);
    b->SetGroupIndex(2);
    a->SetDown(true);
    b->SetDown(true);
    a->PaintToImage();
    b->PaintToImage();
    EXPECT_EQ(PicButtonStores().PatternCount(), 1);
    // Freed under live buttons (as a test reset does): they keep what they hold.
    FreePicButtonStores();
    a->Perform(CM_COLORCHANGED, 0, 0);
    EXPECT_TRUE(PicButtonStoresAllocated());
    delete a;
    delete b;
  }
  EXPECT_FALSE(PicButtonStoresAllocated());
}

TEST_F(PicButtons, PublishedPropertiesGoThroughFormFiles) {
  auto* b = Add<TRepSpeedBtn>(10);
  b->SetName(QStringLiteral("Rep1"));
  b->SetCaption(QStringLiteral("&Go"));
  b->SetLayout(lblGlyphTop);
  b->SetStyle(lbsThinBlack);
  b->SetTextStyle(tsRaised);
  b->SetMargin(2);
  b->SetRepeatPause(50);
  b->SetPopup(false);
  b->SetTransparentColor(clBlue);
  const QByteArray text = WriteComponentText(form.get());
  EXPECT_TRUE(text.contains("object Rep1: TRepSpeedBtn")) << text.constData();
  EXPECT_TRUE(text.contains("Picture.Data")) << text.constData();
  EXPECT_FALSE(text.contains("RepeatInitialPause")) << text.constData();

  TForm again(nullptr);
  ReadRootComponent(&again, text, QStringLiteral("again.form"));
  auto* read = dynamic_cast<TRepSpeedBtn*>(again.FindComponent(QStringLiteral("Rep1")));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Caption(), QStringLiteral("&Go"));
  EXPECT_EQ(read->Layout(), lblGlyphTop);
  EXPECT_EQ(read->Style(), lbsThinBlack);
  EXPECT_EQ(read->TextStyle(), tsRaised);
  EXPECT_EQ(read->Margin(), 2);
  EXPECT_EQ(read->RepeatPause(), 50);
  EXPECT_EQ(read->RepeatInitialPause(), 400);
  EXPECT_FALSE(read->Popup());
  EXPECT_EQ(read->NumGlyphs(), 2);
  EXPECT_EQ(read->Color(), clBtnFace);
  EXPECT_EQ(read->TransparentColor(), clBlue);
  EXPECT_EQ(read->Glyph()->StateImage(bsUp), b->Glyph()->StateImage(bsUp));
}

}  // namespace
