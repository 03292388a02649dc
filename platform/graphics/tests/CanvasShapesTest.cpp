#include "platform/graphics/tests/PixelTestUtil.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

namespace {

using gfxtest::BoundsOfNot;
using gfxtest::CountOf;
using gfxtest::Surface;

TEST(FillRect, ExcludesRightAndBottom) {
  Surface s(12, 12);
  s.canvas->Brush()->SetColor(clRed);
  s.canvas->FillRect(Rect(2, 3, 7, 9));
  EXPECT_EQ(BoundsOfNot(s.Done(), clSilver), Rect(2, 3, 7, 9));
  EXPECT_EQ(CountOf(s.image, clRed, Rect(0, 0, 12, 12)), 5 * 6);
}

TEST(FillRect, ClearBrushPaintsNothing) {
  Surface s(8, 8);
  s.canvas->Brush()->SetStyle(bsClear);
  s.canvas->FillRect(Rect(0, 0, 8, 8));
  EXPECT_TRUE(BoundsOfNot(s.Done(), clSilver).IsEmpty());
}

TEST(Rectangle, OutlineInsideFillWithinRightBottomExcluded) {
  Surface s(12, 12);
  s.canvas->Pen()->SetColor(clBlue);
  s.canvas->Brush()->SetColor(clYellow);
  s.canvas->Rectangle(2, 2, 8, 6);
  EXPECT_EQ(BoundsOfNot(s.Done(), clSilver), Rect(2, 2, 8, 6));
  for (int x = 2; x < 8; ++x) {
    EXPECT_EQ(s.At(x, 2), clBlue);
    EXPECT_EQ(s.At(x, 5), clBlue);
  }
  for (int y = 2; y < 6; ++y) {
    EXPECT_EQ(s.At(2, y), clBlue);
    EXPECT_EQ(s.At(7, y), clBlue);
  }
  EXPECT_EQ(CountOf(s.image, clYellow, Rect(3, 3, 7, 5)), 8);
}

TEST(Rectangle, WithoutPenTheFillIsOnePixelSmaller) {
  Surface s(12, 12);
  s.canvas->Pen()->SetStyle(psClear);
  s.canvas->Brush()->SetColor(clYellow);
  s.canvas->Rectangle(2, 2, 8, 6);
  EXPECT_EQ(BoundsOfNot(s.Done(), clSilver), Rect(2, 2, 7, 5));
}

TEST(Rectangle, WidePenStaysInside) {
  Surface s(12, 12);
  s.canvas->Pen()->SetWidth(2);
  s.canvas->Pen()->SetColor(clBlack);
  s.canvas->Brush()->SetColor(clWhite);
  s.canvas->Rectangle(1, 1, 9, 9);
  EXPECT_EQ(BoundsOfNot(s.Done(), clSilver), Rect(1, 1, 9, 9));
  EXPECT_EQ(CountOf(s.image, clWhite, Rect(0, 0, 12, 12)), 4 * 4);
  EXPECT_EQ(CountOf(s.image, clBlack, Rect(0, 0, 12, 12)), 64 - 16);
}

struct LineCase {
  TPoint from, to;
  int pixels;
};

TEST(LineTo, ExcludesTheEndPoint) {
  const LineCase cases[] = {{{1, 1}, {6, 1}, 5}, {{6, 1}, {1, 1}, 5}, {{2, 0}, {2, 7}, 7},
                            {{0, 0}, {4, 4}, 4}, {{7, 7}, {3, 3}, 4}, {{0, 0}, {8, 3}, 8}};
  for (const LineCase& c : cases) {
    Surface s(10, 10);
    s.canvas->MoveTo(c.from.X, c.from.Y);
    s.canvas->LineTo(c.to.X, c.to.Y);
    EXPECT_EQ(s.At(c.from.X, c.from.Y), clBlack);
    EXPECT_EQ(s.At(c.to.X, c.to.Y), clSilver);
    EXPECT_EQ(CountOf(s.Done(), clBlack, Rect(0, 0, 10, 10)), c.pixels);
    EXPECT_EQ(s.canvas->PenPos(), c.to);
  }
}

TEST(Polyline, SharedCornersDrawnOnceLastPointExcluded) {
  Surface s(10, 10, clBlack);
  s.canvas->Pen()->SetMode(pmXor);
  s.canvas->Pen()->SetColor(clWhite);
  s.canvas->Polyline({{1, 1}, {5, 1}, {5, 5}});
  EXPECT_EQ(s.At(5, 1), clWhite);  // a double XOR would have cleared it
  EXPECT_EQ(s.At(5, 5), clBlack);
  EXPECT_EQ(CountOf(s.Done(), clWhite, Rect(0, 0, 10, 10)), 8);
}

TEST(PenMode, XorTwiceRestoresAndNotInverts) {
  Surface s(10, 4, ColorOf(0x00336699));
  s.canvas->Pen()->SetMode(pmXor);
  s.canvas->Pen()->SetColor(ColorOf(0x00FF00FF));
  s.canvas->MoveTo(0, 1);
  s.canvas->LineTo(10, 1);
  EXPECT_EQ(s.At(3, 1), ColorOf(0x00336699 ^ 0x00FF00FF));
  s.canvas->MoveTo(0, 1);
  s.canvas->LineTo(10, 1);
  EXPECT_EQ(s.At(3, 1), ColorOf(0x00336699));
  s.canvas->Pen()->SetMode(pmNot);
  s.canvas->MoveTo(0, 2);
  s.canvas->LineTo(10, 2);
  EXPECT_EQ(s.At(3, 2), ColorOf(~0x00336699 & 0xFFFFFF));
}

TEST(PenStyle, DotsAlternateAndFillGapsOnlyWithASolidBrush) {
  Surface s(12, 3);
  s.canvas->Pen()->SetStyle(psDot);
  s.canvas->Brush()->SetStyle(bsClear);
  s.canvas->MoveTo(0, 1);
  s.canvas->LineTo(12, 1);
  const TColor row1[] = {clBlack, clBlack, clBlack, clSilver, clSilver, clSilver, clBlack};
  for (int x = 0; x < 7; ++x)
    EXPECT_EQ(s.At(x, 1), row1[x]) << x;
  s.canvas->Brush()->SetColor(clRed);
  s.canvas->MoveTo(0, 2);
  s.canvas->LineTo(12, 2);
  EXPECT_EQ(s.At(4, 2), clRed);
  EXPECT_EQ(s.At(1, 2), clBlack);
}

TEST(FrameRect, OnePixelBorderInTheBrush) {
  Surface s(10, 10);
  s.canvas->Brush()->SetColor(clGreen);
  s.canvas->FrameRect(Rect(1, 1, 6, 5));
  EXPECT_EQ(BoundsOfNot(s.Done(), clSilver), Rect(1, 1, 6, 5));
  EXPECT_EQ(CountOf(s.image, clGreen, Rect(0, 0, 10, 10)), 2 * 5 + 2 * 2);
  EXPECT_EQ(s.At(3, 3), clSilver);
}

TEST(DrawFocusRect, InvertsEveryOtherBorderPixelTwiceRestores) {
  Surface s(10, 10, clWhite);
  s.canvas->DrawFocusRect(Rect(0, 0, 10, 10));
  EXPECT_EQ(s.At(0, 0), clBlack);
  EXPECT_EQ(s.At(1, 0), clWhite);
  EXPECT_EQ(s.At(2, 0), clBlack);
  EXPECT_EQ(s.At(5, 5), clWhite);
  s.canvas->DrawFocusRect(Rect(0, 0, 10, 10));
  EXPECT_TRUE(BoundsOfNot(s.Done(), clWhite).IsEmpty());
}

TEST(Ellipse, StaysInsideItsRectangle) {
  Surface s(20, 20);
  s.canvas->Brush()->SetColor(clRed);
  s.canvas->Ellipse(2, 3, 15, 12);
  EXPECT_EQ(BoundsOfNot(s.Done(), clSilver), Rect(2, 3, 15, 12));
  EXPECT_EQ(s.At(8, 7), clRed);
  EXPECT_EQ(s.At(2, 3), clSilver);
}

TEST(Polygon, FillsInsideAndOutlines) {
  Surface s(20, 20);
  s.canvas->Brush()->SetColor(clYellow);
  s.canvas->Polygon({{2, 2}, {16, 2}, {16, 16}, {2, 16}});
  EXPECT_EQ(BoundsOfNot(s.Done(), clSilver), Rect(2, 2, 17, 17));
  EXPECT_EQ(s.At(9, 9), clYellow);
  EXPECT_EQ(s.At(16, 16), clBlack);
}

TEST(Pixels, ReadWriteAndOutside) {
  Surface s(4, 4);
  s.canvas->SetPixel(1, 2, clFuchsia);
  EXPECT_EQ(s.canvas->Pixel(1, 2), clFuchsia);
  EXPECT_EQ(s.canvas->Pixel(0, 0), clSilver);
  EXPECT_EQ(s.canvas->Pixel(4, 0), clNone);
  EXPECT_EQ(s.canvas->Pixel(-1, 0), clNone);
  s.canvas->SetPixel(1, 1, clBtnShadow);
  EXPECT_EQ(s.At(1, 1), ColorOf(0x808080));
}

TEST(Clipping, ClipRectLimitsDrawing) {
  Surface s(12, 12);
  EXPECT_EQ(s.canvas->ClipRect(), Rect(0, 0, 12, 12));
  s.canvas->SetClipRect(Rect(2, 2, 6, 6));
  EXPECT_EQ(s.canvas->ClipRect(), Rect(2, 2, 6, 6));
  s.canvas->Brush()->SetColor(clRed);
  s.canvas->FillRect(Rect(0, 0, 12, 12));
  EXPECT_EQ(BoundsOfNot(s.Done(), clSilver), Rect(2, 2, 6, 6));
}

TEST(Clipping, IntersectExcludeAndTheStack) {
  Surface s(12, 12);
  s.canvas->Brush()->SetColor(clRed);
  s.canvas->IntersectClipRect(Rect(0, 0, 8, 8));
  s.canvas->PushClip();
  s.canvas->IntersectClipRect(Rect(4, 4, 12, 12));
  EXPECT_EQ(s.canvas->ClipRect(), Rect(4, 4, 8, 8));
  s.canvas->ExcludeClipRect(Rect(4, 4, 6, 6));
  s.canvas->FillRect(Rect(0, 0, 12, 12));
  EXPECT_EQ(CountOf(s.Done(), clRed, Rect(0, 0, 12, 12)), 16 - 4);
  s.canvas->PopClip();
  EXPECT_EQ(s.canvas->ClipRect(), Rect(0, 0, 8, 8));
  s.canvas->RemoveClip();
  EXPECT_FALSE(s.canvas->HasClip());
  s.canvas->FillRect(Rect(0, 0, 12, 12));
  EXPECT_EQ(CountOf(s.Done(), clRed, Rect(0, 0, 12, 12)), 144);
}

TEST(CanvasBinding, DrawingWithoutASurfaceRaises) {
  TCanvas canvas;
  EXPECT_THROW(canvas.FillRect(Rect(0, 0, 1, 1)), EInvalidOperation);
  EXPECT_THROW(canvas.Handle(), EInvalidOperation);
}

TEST(CanvasBinding, BorrowedPainterIsUsedAndLeftOpen) {
  QImage image(6, 6, QImage::Format_RGB32);
  image.fill(0xFFFFFFFFu);
  QPainter painter(&image);
  TCanvas canvas;
  canvas.SetPainter(&painter);
  canvas.Brush()->SetColor(clBlue);
  canvas.FillRect(Rect(1, 1, 3, 3));
  EXPECT_EQ(canvas.Pixel(1, 1), clBlue);
  canvas.FreeHandle();
  EXPECT_TRUE(painter.isActive());
  painter.end();
  EXPECT_EQ(QRgbToColor(image.pixel(2, 2)), clBlue);
}

TEST(CanvasBinding, BorrowedPainterClipBoundsTheCanvas) {
  QImage image(8, 8, QImage::Format_RGB32);
  image.fill(0xFFFFFFFFu);
  QPainter painter(&image);
  painter.setClipRect(QRect(0, 0, 4, 4));
  TCanvas canvas;
  canvas.SetPainter(&painter);
  EXPECT_EQ(canvas.ClipRect(), Rect(0, 0, 4, 4));
  canvas.Brush()->SetColor(clRed);
  canvas.SetClipRect(Rect(2, 2, 8, 8));
  EXPECT_EQ(canvas.ClipRect(), Rect(2, 2, 4, 4));
  canvas.FillRect(Rect(0, 0, 8, 8));
  canvas.RemoveClip();
  canvas.Brush()->SetColor(clBlue);
  canvas.FillRect(Rect(0, 0, 1, 8));
  canvas.FreeHandle();
  painter.end();
  EXPECT_EQ(gfxtest::BoundsOfNot(image, clWhite), Rect(0, 0, 4, 4));
  EXPECT_EQ(gfxtest::CountOf(image, clRed, Rect(0, 0, 8, 8)), 4);
  EXPECT_EQ(gfxtest::CountOf(image, clBlue, Rect(0, 0, 8, 8)), 4);
}

TEST(CanvasEvents, ChangeFiresAroundDrawing) {
  Surface s(4, 4);
  int changing = 0, changed = 0;
  s.canvas->OnChanging = [&changing](TObject*) { ++changing; };
  s.canvas->OnChange = [&changed](TObject*) { ++changed; };
  s.canvas->FillRect(Rect(0, 0, 2, 2));
  s.canvas->MoveTo(0, 0);
  s.canvas->LineTo(3, 3);
  EXPECT_EQ(changing, 2);
  EXPECT_EQ(changed, 2);
}

}  // namespace
