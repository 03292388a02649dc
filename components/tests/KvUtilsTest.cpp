#include "components/KvUtils.h"

#include "platform/controls/Screen.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Canvas.h"

#include <QApplication>
#include <QBitmap>
#include <QWidget>

#include <gtest/gtest.h>

#include <thread>

namespace {

// ---- numbers ------------------------------------------------------------------

TEST(KvNumbers, MaxMinAndRectSizes) {
  EXPECT_EQ(MaxOf(3, -7), 3);
  EXPECT_EQ(MaxOf(-7, 3), 3);
  EXPECT_EQ(MinOf(3, -7), -7);
  EXPECT_EQ(MinOf(-7, 3), -7);
  EXPECT_EQ(RectWidth(Rect(10, 20, 15, 50)), 5);
  EXPECT_EQ(RectHeight(Rect(10, 20, 15, 50)), 30);
  EXPECT_EQ(RectWidth(Rect(15, 0, 10, 0)), -5);
}

TEST(KvNumbers, ClampToBounds) {
  struct Row {
    int value, lower, upper, expected;
  };
  const Row rows[] = {
      {5, -1, -1, 5},   {5, 10, -1, 10},  {50, 10, 40, 40}, {20, 10, 40, 20},
      {5, 10, 3, 10},   // the lower bound is tested first and wins
      {-5, -1, 40, -5}, {41, -1, 40, 40}, {10, 10, 40, 10}, {40, 10, 40, 40},
  };
  for (const Row& r : rows)
    EXPECT_EQ(ClampToBounds(r.value, r.lower, r.upper, -1), r.expected)
        << r.value << " " << r.lower << " " << r.upper;
  EXPECT_EQ(ClampToBounds(5, 0, 3, 0), 3);  // 0 as the marker leaves lower open
}

TEST(KvNumbers, PaletteColorMarksRgbValue) {
  EXPECT_EQ(PaletteColor(clRed), ColorOf(0x020000FF));
  EXPECT_EQ(PaletteColor(ColorOf(0x00123456)), ColorOf(0x02123456));
  EXPECT_EQ(PaletteColor(clBtnFace), ColorToRGB(clBtnFace) | 0x02000000);
}

TEST(KvNumbers, AssignTextCopies) {
  QString dest = "vanha";
  AssignText(dest, QStringLiteral("uusi"));
  EXPECT_EQ(dest, "uusi");
}

// ---- words --------------------------------------------------------------------

TEST(KvWords, FindAndExtract) {
  struct Row {
    int n;
    QString text;
    TCharSet delimiters;
    int position;
    QString word;
  };
  const TCharSet comma{','};
  const Row rows[] = {
      {1, ",12,,7,9", comma, 2, "12"},
      {2, ",12,,7,9", comma, 6, "7"},
      {3, ",12,,7,9", comma, 8, "9"},
      {4, ",12,,7,9", comma, 0, ""},
      {0, ",12,,7,9", comma, 0, ""},
      {-1, "a", comma, 0, ""},
      {1, ",,,", comma, 0, ""},
      {1, "", comma, 0, ""},
      {1, "kokonainen teksti", comma, 1, "kokonainen teksti"},
      {2, "  a;b  c", TCharSet{' ', ';'}, 5, "b"},
      {3, "  a;b  c", TCharSet{' ', ';'}, 8, "c"},
      {2, QStringLiteral("Äiti,Isä,"), comma, 6, QStringLiteral("Isä")},
      {2, QStringLiteral("1€2"), TCharSet{0x80}, 3, "2"},  // the euro sign is byte 0x80
      {1, QStringLiteral("\u4e00,x"), comma, 1, QStringLiteral("\u4e00")},
      {1, "abc", TCharSet{}, 1, "abc"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text.toStdString() + " n=" + std::to_string(r.n));
    EXPECT_EQ(FindWord(r.n, r.text, r.delimiters), r.position);
    EXPECT_EQ(ExtractWordAt(r.n, r.text, r.delimiters), r.word);
  }
}

// ---- transparent drawing ------------------------------------------------------------

constexpr TColor kBack = ColorOf(0x0000FFFF);  // yellow destination

// A 3 x 2 picture: row 0 red, blue, red; row 1 green, red, blue.
std::unique_ptr<TBitmap> Picture() {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetSize(3, 2);
  const TColor px[2][3] = {{clRed, clBlue, clRed}, {clLime, clRed, clBlue}};
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      bmp->Canvas()->SetPixel(x, y, px[y][x]);
  return bmp;
}

std::unique_ptr<TBitmap> Destination() {
  auto dest = std::make_unique<TBitmap>();
  dest->SetSize(10, 6);
  dest->Canvas()->Brush()->SetColor(kBack);
  dest->Canvas()->FillRect(Rect(0, 0, 10, 6));
  return dest;
}

// The destination's pixels of a rectangle, row by row.
std::vector<TColor> Area(TBitmap& bmp, const TRect& r) {
  std::vector<TColor> out;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      out.push_back(bmp.Canvas()->Pixel(x, y));
  return out;
}

TEST(KvTransparent, DrawLeavesTransparentColourOut) {
  auto bmp = Picture();
  auto dest = Destination();
  DrawBitmapTransparent(dest->Canvas(), 2, 1, bmp.get(), clRed);
  EXPECT_EQ(Area(*dest, Rect(1, 0, 6, 4)),
            std::vector<TColor>({kBack, kBack, kBack, kBack, kBack,  //
                                 kBack, kBack, clBlue, kBack, kBack,  //
                                 kBack, clLime, kBack, clBlue, kBack,  //
                                 kBack, kBack, kBack, kBack, kBack}));
}

TEST(KvTransparent, StretchDoublesEachPixel) {
  auto bmp = Picture();
  auto dest = Destination();
  StretchBitmapTransparent(dest->Canvas(), bmp.get(), clRed, 0, 0, 3, 2, 0, 0, 6, 4);
  const TColor b = kBack;
  EXPECT_EQ(Area(*dest, Rect(0, 0, 6, 4)),
            std::vector<TColor>({b, b, clBlue, clBlue, b, b,              //
                                 b, b, clBlue, clBlue, b, b,              //
                                 clLime, clLime, b, b, clBlue, clBlue,    //
                                 clLime, clLime, b, b, clBlue, clBlue}));
}

TEST(KvTransparent, SourcePartOnly) {
  auto bmp = Picture();
  auto dest = Destination();
  StretchBitmapTransparent(dest->Canvas(), bmp.get(), clRed, 1, 0, 2, 2, 0, 0, 2, 2);
  EXPECT_EQ(Area(*dest, Rect(0, 0, 3, 2)),
            std::vector<TColor>({clBlue, kBack, kBack, kBack, clBlue, kBack}));
}

TEST(KvTransparent, ZeroSizesTakeTheBitmapsSize) {
  struct Row {
    int srcW, srcH, dstW, dstH;
  };
  const Row rows[] = {{3, 2, 0, 0}, {3, 2, 0, 2}, {3, 2, 3, -4}, {0, 2, 3, 2}, {3, 0, 0, 0}};
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.srcW << "x" << r.srcH << " " << r.dstW << "x" << r.dstH);
    auto bmp = Picture();
    auto dest = Destination();
    // A source of width or height 0 is the whole bitmap, wherever it starts.
    const int srcX = r.srcW < 1 || r.srcH < 1 ? 2 : 0;
    StretchBitmapTransparent(dest->Canvas(), bmp.get(), clRed, srcX, 0, r.srcW, r.srcH, 4, 2,
                             r.dstW, r.dstH);
    EXPECT_EQ(Area(*dest, Rect(4, 2, 8, 5)),
              std::vector<TColor>({kBack, clBlue, kBack, kBack,   //
                                   clLime, kBack, clBlue, kBack,  //
                                   kBack, kBack, kBack, kBack}));
  }
}

TEST(KvTransparent, DefaultColourTakesBottomLeftPixel) {
  auto bmp = Picture();  // bottom-left is lime
  auto dest = Destination();
  DrawBitmapTransparent(dest->Canvas(), 0, 0, bmp.get(), clDefault);
  EXPECT_EQ(Area(*dest, Rect(0, 0, 3, 2)),
            std::vector<TColor>({clRed, clBlue, clRed, kBack, clRed, clBlue}));
}

TEST(KvTransparent, NoColourCopiesWithCanvasCopyMode) {
  auto bmp = Picture();
  auto dest = Destination();
  DrawBitmapTransparent(dest->Canvas(), 0, 0, bmp.get(), clNone);
  EXPECT_EQ(Area(*dest, Rect(0, 0, 3, 2)),
            std::vector<TColor>({clRed, clBlue, clRed, clLime, clRed, clBlue}));
  dest->Canvas()->SetCopyMode(SRCAND);  // yellow & colour
  DrawBitmapTransparent(dest->Canvas(), 3, 0, bmp.get(), clNone);
  EXPECT_EQ(Area(*dest, Rect(3, 0, 6, 2)),
            std::vector<TColor>({clRed, clBlack, clRed, clLime, clRed, clBlack}));
}

TEST(KvTransparent, MonochromeBitmapLeavesWhiteOut) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetMonochrome(true);
  bmp->SetSize(2, 1);  // white
  bmp->Canvas()->SetPixel(1, 0, clBlack);
  auto dest = Destination();
  DrawBitmapTransparent(dest->Canvas(), 0, 0, bmp.get(), clBlack);  // taken as white
  EXPECT_EQ(Area(*dest, Rect(0, 0, 2, 1)), std::vector<TColor>({kBack, clBlack}));
}

TEST(KvTransparent, BitmapChangeNotificationSilencedAndRestored) {
  auto bmp = Picture();
  auto dest = Destination();
  int changes = 0;
  bmp->Canvas()->OnChange = [&](TObject*) { ++changes; };
  DrawBitmapTransparent(dest->Canvas(), 0, 0, bmp.get(), clDefault);
  EXPECT_EQ(changes, 0);
  ASSERT_TRUE(static_cast<bool>(bmp->Canvas()->OnChange));
  bmp->Canvas()->SetPixel(0, 0, clWhite);
  EXPECT_EQ(changes, 1);
}

TEST(KvTransparent, MaskedCopyBetweenCanvases) {
  auto bmp = Picture();
  auto dest = Destination();
  MaskedStretchCopy(dest->Canvas(), 1, 1, 3, 2, bmp->Canvas(), 0, 0, 3, 2, clBlue);
  EXPECT_EQ(Area(*dest, Rect(1, 1, 4, 3)),
            std::vector<TColor>({clRed, kBack, clRed, clLime, clRed, kBack}));
  MaskedStretchCopy(dest->Canvas(), 0, 0, 0, 2, bmp->Canvas(), 0, 0, 3, 2, clBlue);
  EXPECT_EQ(dest->Canvas()->Pixel(0, 0), kBack);
}

// ---- cursors and the active window ---------------------------------------------------

TEST(KvCursors, RegisteredWithTheirHotSpots) {
  RegisterCursors();  // without a screen object: nothing happens
  TScreen screen;
  RegisterCursors();
  struct Row {
    int number;
    QPoint hotSpot;
  };
  for (const Row& r : {Row{crKvHand, {6, 16}}, Row{crKvDrag, {15, 16}}}) {
    SCOPED_TRACE(r.number);
    const QCursor cursor = screen.Cursors(r.number);
    EXPECT_EQ(cursor.hotSpot(), r.hotSpot);
    const QImage bits = cursor.bitmap().toImage();
    const QImage mask = cursor.mask().toImage();
    ASSERT_EQ(bits.size(), QSize(32, 32));
    ASSERT_EQ(mask.size(), QSize(32, 32));
    EXPECT_EQ(qGray(mask.pixel(0, 0)), 255) << "corner shows";
    EXPECT_EQ(qGray(mask.pixel(r.hotSpot)), 0) << "hot spot hidden";
  }
  // The fingertip is the picture's black outline; the fist's hot spot lies inside (white).
  EXPECT_EQ(qGray(screen.Cursors(crKvHand).bitmap().toImage().pixel(6, 16)), 0);
  EXPECT_EQ(qGray(screen.Cursors(crKvDrag).bitmap().toImage().pixel(15, 16)), 255);
}

TEST(KvForeground, FollowsTheActiveWindowAndThread) {
  EXPECT_FALSE(IsForegroundThread());
  QWidget window;
  window.show();
  window.activateWindow();
  QApplication::processEvents();
  // Whatever the platform reports as the active window counts.
  EXPECT_EQ(IsForegroundThread(), QGuiApplication::focusWindow() != nullptr);
  bool fromWorker = true;
  std::thread worker([&] { fromWorker = IsForegroundThread(); });
  worker.join();
  EXPECT_FALSE(fromWorker);
  window.hide();
  QApplication::processEvents();
  EXPECT_FALSE(IsForegroundThread()) << "a hidden window is not the active one";
}

}  // namespace
