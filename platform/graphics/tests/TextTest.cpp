#include "platform/graphics/DrawText.h"
#include "platform/graphics/tests/PixelTestUtil.h"

#include <gtest/gtest.h>

namespace {

using gfxtest::BoundsOfNot;
using gfxtest::CountOf;
using gfxtest::Surface;

void UseArial(TCanvas& canvas, int height = -14) {
  canvas.Font()->SetName(QStringLiteral("Arial"));
  canvas.Font()->SetHeight(height);
  canvas.Font()->SetColor(clBlack);
}

TEST(TextOut, OpaqueBackgroundFillsTheTextExtent) {
  Surface s(120, 40);
  UseArial(*s.canvas);
  s.canvas->Brush()->SetColor(clYellow);
  const TSize extent = s.canvas->TextExtent(QStringLiteral("Hello"));
  s.canvas->TextOut(10, 5, QStringLiteral("Hello"));
  const TRect box = Bounds(10, 5, extent.cx, extent.cy);
  EXPECT_EQ(BoundsOfNot(s.Done(), clSilver), box);
  const int area = extent.cx * extent.cy;
  EXPECT_EQ(CountOf(s.image, clYellow, box) + CountOf(s.image, clBlack, box), area);
  EXPECT_GT(CountOf(s.image, clBlack, box), 0);
  EXPECT_EQ(s.canvas->PenPos(), Point(10 + extent.cx, 5));
}

TEST(TextOut, TransparentBackgroundLeavesTheCell) {
  Surface s(120, 40);
  UseArial(*s.canvas);
  s.canvas->Brush()->SetStyle(bsClear);
  const TSize extent = s.canvas->TextExtent(QStringLiteral("Hello"));
  s.canvas->TextOut(10, 5, QStringLiteral("Hello"));
  const TRect ink = BoundsOfNot(s.Done(), clSilver);
  EXPECT_FALSE(ink.IsEmpty());
  EXPECT_EQ(IntersectRect(ink, Bounds(10, 5, extent.cx, extent.cy)), ink);
  EXPECT_LT(ink.Width() * ink.Height(), extent.cx * extent.cy);
  EXPECT_EQ(CountOf(s.image, clSilver, Bounds(10, 5, extent.cx, extent.cy)) +
                CountOf(s.image, clBlack, Bounds(10, 5, extent.cx, extent.cy)),
            extent.cx * extent.cy);
}

TEST(TextExtent, GrowsWithTextAndFont) {
  TCanvas canvas;  // measuring needs no surface
  UseArial(canvas);
  const TSize a = canvas.TextExtent(QStringLiteral("W"));
  const TSize b = canvas.TextExtent(QStringLiteral("WW"));
  EXPECT_EQ(b.cx, 2 * a.cx);
  EXPECT_EQ(a.cy, b.cy);
  canvas.Font()->SetHeight(-28);
  EXPECT_GT(canvas.TextHeight(QStringLiteral("W")), a.cy);
  EXPECT_EQ(canvas.TextWidth(QString()), 0);
}

TEST(TextRect, ClipsToTheRectangleAndFillsIt) {
  Surface s(120, 40);
  UseArial(*s.canvas);
  s.canvas->Brush()->SetColor(clWhite);
  const TRect r = Rect(10, 10, 30, 25);
  s.canvas->TextRect(r, 12, 8, QStringLiteral("A long piece of text"));
  EXPECT_EQ(BoundsOfNot(s.Done(), clSilver), r);
  EXPECT_GT(CountOf(s.image, clBlack, r), 0);
}

TEST(TextOut, OrientationTurnsTheTextCounterClockwise) {
  Surface s(80, 120);
  UseArial(*s.canvas);
  s.canvas->Brush()->SetStyle(bsClear);
  s.canvas->Font()->SetOrientation(900);
  const TSize extent = s.canvas->TextExtent(QStringLiteral("Rotated"));
  s.canvas->TextOut(20, 100, QStringLiteral("Rotated"));
  const TRect ink = BoundsOfNot(s.Done(), clSilver);
  EXPECT_GT(ink.Height(), ink.Width());
  EXPECT_GE(ink.Left, 19);
  EXPECT_LE(ink.Right, 20 + extent.cy + 1);
  EXPECT_LE(ink.Bottom, 101);
  EXPECT_GE(ink.Top, 100 - extent.cx - 1);
}

// DrawText ----------------------------------------------------------------

TEST(DrawTextCalc, SingleLineMeasuresTheText) {
  TCanvas canvas;
  UseArial(canvas);
  TRect r = Rect(5, 5, 500, 5);
  const int h = DrawText(&canvas, QStringLiteral("Hello world"), r, DT_CALCRECT | DT_SINGLELINE);
  EXPECT_EQ(h, canvas.TextHeight(QStringLiteral("H")));
  EXPECT_EQ(r, Rect(5, 5, 5 + canvas.TextWidth(QStringLiteral("Hello world")), 5 + h));
}

TEST(DrawTextCalc, WrappedHeightGrowsWithLines) {
  TCanvas canvas;
  UseArial(canvas);
  const QString text = QStringLiteral("one two three four five six seven eight");
  const int line = canvas.TextHeight(text);
  int previous = 0;
  for (int width : {1000, 200, 120, 60}) {
    TRect r = Rect(0, 0, width, 0);
    const int h = DrawText(&canvas, text, r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(h % line, 0);
    EXPECT_GE(h, previous);
    EXPECT_LE(r.Width(), std::max(width, canvas.TextWidth(QStringLiteral("three"))));
    previous = h;
  }
  EXPECT_GE(previous, 4 * line);
  TRect one = Rect(0, 0, 1000, 0);
  EXPECT_EQ(DrawText(&canvas, text, one, DT_CALCRECT | DT_WORDBREAK), line);
}

TEST(DrawTextCalc, LineBreaksAndTabsAndPrefixes) {
  TCanvas canvas;
  UseArial(canvas);
  const int line = canvas.TextHeight(QStringLiteral("x"));
  TRect r = Rect(0, 0, 100, 0);
  EXPECT_EQ(DrawText(&canvas, QStringLiteral("a\nb\r\nc"), r, DT_CALCRECT), 3 * line);
  r = Rect(0, 0, 100, 0);
  EXPECT_EQ(DrawText(&canvas, QStringLiteral("a\nb"), r, DT_CALCRECT | DT_SINGLELINE), line);
  const int tab = 8 * QFontMetrics(canvas.Font()->ToQFont()).averageCharWidth();
  r = Rect(0, 0, 1000, 0);
  DrawText(&canvas, QStringLiteral("a\tb"), r, DT_CALCRECT | DT_EXPANDTABS);
  EXPECT_EQ(r.Width(), tab + canvas.TextWidth(QStringLiteral("b")));
  r = Rect(0, 0, 1000, 0);
  DrawText(&canvas, QStringLiteral("&File"), r, DT_CALCRECT);
  EXPECT_EQ(r.Width(), canvas.TextWidth(QStringLiteral("File")));
  r = Rect(0, 0, 1000, 0);
  DrawText(&canvas, QStringLiteral("&File"), r, DT_CALCRECT | DT_NOPREFIX);
  EXPECT_EQ(r.Width(), canvas.TextWidth(QStringLiteral("&File")));
  r = Rect(0, 0, 1000, 0);
  DrawText(&canvas, QStringLiteral("A&&B"), r, DT_CALCRECT);
  EXPECT_EQ(r.Width(), canvas.TextWidth(QStringLiteral("A&B")));
  r = Rect(3, 3, 1000, 3);
  EXPECT_EQ(DrawText(&canvas, QString(), r, DT_CALCRECT), 0);
  EXPECT_EQ(r, Rect(3, 3, 3, 3));
}

// Draws text with format into a 200 x 60 rectangle at (10, 10); returns the ink.
TRect InkOf(const QString& text, unsigned format) {
  Surface s(220, 80);
  UseArial(*s.canvas);
  s.canvas->Brush()->SetStyle(bsClear);
  TRect r = Rect(10, 10, 210, 70);
  DrawText(s.canvas.get(), text, r, format);
  return BoundsOfNot(s.Done(), clSilver);
}

TEST(DrawTextPlace, AlignmentMovesTheTextBox) {
  TCanvas canvas;
  UseArial(canvas);
  const QString text = QStringLiteral("Placed");
  const int w = canvas.TextWidth(text), h = canvas.TextHeight(text);
  const TRect top = InkOf(text, DT_SINGLELINE);
  ASSERT_FALSE(top.IsEmpty());
  const struct {
    unsigned format;
    int dx, dy;
  } cases[] = {{DT_SINGLELINE | DT_RIGHT, 200 - w, 0},
               {DT_SINGLELINE | DT_CENTER, (200 - w) / 2, 0},
               {DT_SINGLELINE | DT_VCENTER, 0, (10 + 70 - h) / 2 - 10},
               {DT_SINGLELINE | DT_BOTTOM, 0, 60 - h},
               {DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, 200 - w, 60 - h}};
  for (const auto& c : cases) {
    TRect want = top;
    OffsetRect(want, c.dx, c.dy);
    EXPECT_EQ(InkOf(text, c.format), want) << std::hex << c.format;
  }
}

TEST(DrawTextPlace, VerticalPlacementNeedsSingleLine) {
  const TRect top = InkOf(QStringLiteral("Placed"), 0);
  EXPECT_EQ(InkOf(QStringLiteral("Placed"), DT_VCENTER), top);
  EXPECT_EQ(InkOf(QStringLiteral("Placed"), DT_BOTTOM), top);
}

TEST(DrawTextPlace, ResultIsTheBottomOffsetWhenPlaced) {
  TCanvas canvas;
  UseArial(canvas);
  QImage image(10, 10, QImage::Format_RGB32);
  canvas.SetDevice(&image);
  const int h = canvas.TextHeight(QStringLiteral("x"));
  TRect r = Rect(0, 0, 100, 60);
  EXPECT_EQ(DrawText(&canvas, QStringLiteral("x"), r, DT_SINGLELINE), h);
  EXPECT_EQ(DrawText(&canvas, QStringLiteral("x"), r, DT_SINGLELINE | DT_BOTTOM), 60);
  canvas.FreeHandle();
}

TEST(DrawTextDraw, ClipsUnlessNoClip) {
  Surface s(200, 40);
  UseArial(*s.canvas);
  s.canvas->Brush()->SetStyle(bsClear);
  TRect r = Rect(10, 10, 30, 30);
  DrawText(s.canvas.get(), QStringLiteral("Wide text here"), r, DT_SINGLELINE);
  const TRect clipped = BoundsOfNot(s.Done(), clSilver);
  EXPECT_EQ(IntersectRect(clipped, r), clipped);
  EXPECT_FALSE(s.canvas->HasClip());
  DrawText(s.canvas.get(), QStringLiteral("Wide text here"), r, DT_SINGLELINE | DT_NOCLIP);
  EXPECT_GT(BoundsOfNot(s.Done(), clSilver).Right, 30);
}

TEST(DrawTextDraw, AcceleratorIsUnderlined) {
  const TRect plain = InkOf(QStringLiteral("File"), DT_SINGLELINE);
  const TRect accel = InkOf(QStringLiteral("&File"), DT_SINGLELINE);
  EXPECT_LE(accel.Left, plain.Left);  // the underline spans the whole cell of "F"
  EXPECT_GE(accel.Left, 10);
  EXPECT_EQ(accel.Right, plain.Right);
  EXPECT_GT(accel.Bottom, plain.Bottom);  // and lies below the letters
  const TRect literal = InkOf(QStringLiteral("&File"), DT_SINGLELINE | DT_NOPREFIX);
  EXPECT_GT(literal.Right, plain.Right);  // the "&" is shown and takes room
  EXPECT_EQ(literal.Bottom, plain.Bottom);
}

TEST(DrawTextDraw, WrappedLinesStackDownwards) {
  Surface s(220, 120);
  UseArial(*s.canvas);
  s.canvas->Brush()->SetStyle(bsClear);
  const QString text = QStringLiteral("alpha beta gamma delta");
  TRect measure = Rect(10, 10, 80, 10);
  const int h = DrawText(s.canvas.get(), text, measure, DT_CALCRECT | DT_WORDBREAK);
  TRect r = Rect(10, 10, 80, 110);
  EXPECT_EQ(DrawText(s.canvas.get(), text, r, DT_WORDBREAK), h);
  const TRect ink = BoundsOfNot(s.Done(), clSilver);
  EXPECT_GE(ink.Top, 10);
  EXPECT_LE(ink.Bottom, 10 + h);
  EXPECT_GT(ink.Height(), h / 2);
}

}  // namespace
