#include "platform/printing/tests/PrintTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using prntest::At;
using prntest::CountOf;
using prntest::ImagePrinter;
using prntest::InkBounds;

TEST(ImagePrinterMetrics, A4At300DpiIsTheUsualSheet) {
  TPrinter printer(std::make_unique<TImagePrintBackend>(300));
  EXPECT_EQ(printer.PageWidth(), 2480);
  EXPECT_EQ(printer.PageHeight(), 3508);
  EXPECT_EQ(GetDeviceCaps(printer, HORZSIZE), 210);
  EXPECT_EQ(GetDeviceCaps(printer, VERTSIZE), 297);
  EXPECT_EQ(GetDeviceCaps(printer, PHYSICALOFFSETX), 0);
  EXPECT_EQ(GetDeviceCaps(printer, PHYSICALOFFSETY), 0);
  EXPECT_EQ(GetDeviceCaps(printer, PHYSICALWIDTH), 2480);
  EXPECT_EQ(GetDeviceCaps(printer, 12345), 0);
}

struct Resolution {
  int dpiX;
  int dpiY;
};

class PerResolution : public testing::TestWithParam<Resolution> {};

TEST_P(PerResolution, PageAndLogPixelsFollowTheResolution) {
  const auto [dpiX, dpiY] = GetParam();
  ImagePrinter p(dpiX, dpiY, 2.0, 3.0);
  EXPECT_EQ(GetDeviceCaps(*p.printer, LOGPIXELSX), dpiX);
  EXPECT_EQ(GetDeviceCaps(*p.printer, LOGPIXELSY), dpiY);
  EXPECT_EQ(p.printer->PageWidth(), 2 * dpiX);
  EXPECT_EQ(p.printer->PageHeight(), 3 * dpiY);
  EXPECT_EQ(GetDeviceCaps(*p.printer, HORZRES), 2 * dpiX);
  EXPECT_EQ(GetDeviceCaps(*p.printer, VERTRES), 3 * dpiY);

  p.printer->SetOrientation(poLandscape);
  EXPECT_EQ(p.printer->PageWidth(), 3 * dpiX);
  EXPECT_EQ(p.printer->PageHeight(), 2 * dpiY);
}

TEST_P(PerResolution, FilledRectangleLandsOnItsDevicePixels) {
  const auto [dpiX, dpiY] = GetParam();
  ImagePrinter p(dpiX, dpiY);
  p.printer->BeginDoc();
  TCanvas* canvas = p.printer->Canvas();
  canvas->Brush()->SetColor(clRed);
  // Half an inch in from the corner, half an inch square.
  const TRect r = Rect(dpiX / 2, dpiY / 2, dpiX, dpiY);
  canvas->FillRect(r);
  p.printer->EndDoc();

  ASSERT_EQ(p.backend->PageCount(), 1);
  const QImage& page = p.backend->Page(0);
  EXPECT_EQ(page.width(), 2 * dpiX);
  EXPECT_EQ(page.height(), 2 * dpiY);
  EXPECT_EQ(InkBounds(page), r);
  EXPECT_EQ(CountOf(page, clRed), r.Width() * r.Height());
  EXPECT_EQ(At(page, r.Left, r.Top), clRed);
  EXPECT_EQ(At(page, r.Right - 1, r.Bottom - 1), clRed);
  EXPECT_EQ(At(page, r.Right, r.Bottom), clWhite);
}

TEST_P(PerResolution, TextDrawnStaysInsideItsExtent) {
  const auto [dpiX, dpiY] = GetParam();
  ImagePrinter p(dpiX, dpiY);
  p.printer->BeginDoc();
  TCanvas* canvas = p.printer->Canvas();
  canvas->Font()->SetName(QStringLiteral("Arial"));
  canvas->Font()->SetSize(12);
  canvas->Font()->SetColor(clBlack);
  canvas->Brush()->SetStyle(bsClear);
  const QString text = QStringLiteral("Sanahaku");
  const TSize extent = canvas->TextExtent(text);
  canvas->TextOut(10, 20, text);
  p.printer->EndDoc();

  const TRect ink = InkBounds(p.backend->Page(0));
  ASSERT_FALSE(ink.IsEmpty());
  EXPECT_GE(ink.Left, 10);
  EXPECT_GE(ink.Top, 20);
  EXPECT_LE(ink.Right, 10 + extent.cx + 1);
  EXPECT_LE(ink.Bottom, 20 + extent.cy);
}

INSTANTIATE_TEST_SUITE_P(ImagePrinter, PerResolution,
                         testing::Values(Resolution{100, 100}, Resolution{200, 200},
                                         Resolution{150, 300}));

// Extents at 200 dpi are twice those at 100 dpi, give or take hinting.
TEST(ImagePrinterText, ExtentsScaleWithTheResolution) {
  const QString text = QStringLiteral("Löydä sanat ruudukosta");
  TSize extents[2];
  const int dpis[2] = {100, 200};
  for (int i = 0; i < 2; ++i) {
    ImagePrinter p(dpis[i], dpis[i]);
    p.printer->Canvas()->Font()->SetName(QStringLiteral("Arial"));
    p.printer->Canvas()->Font()->SetSize(12);
    p.printer->BeginDoc();
    EXPECT_EQ(p.printer->Canvas()->Font()->Size(), 12);
    EXPECT_EQ(p.printer->Canvas()->Font()->Height(), -MulDiv(12, dpis[i], 72));
    extents[i] = p.printer->Canvas()->TextExtent(text);
    p.printer->EndDoc();
  }
  ASSERT_GT(extents[0].cx, 0);
  EXPECT_NEAR(extents[1].cx, 2 * extents[0].cx, extents[0].cx / 20 + 2);
  EXPECT_NEAR(extents[1].cy, 2 * extents[0].cy, 3);
}

TEST(ImagePrinterPages, NewPageStartsAFreshNumberedPage) {
  ImagePrinter p(100, 100);
  p.printer->SetTitle(QStringLiteral("koe"));
  p.printer->BeginDoc();
  EXPECT_EQ(p.printer->PageNumber(), 1);
  const TColor marks[3] = {clRed, clGreen, clBlue};
  for (int i = 0; i < 3; ++i) {
    if (i > 0)
      p.printer->NewPage();
    EXPECT_EQ(p.printer->PageNumber(), i + 1);
    p.printer->Canvas()->Brush()->SetColor(marks[i]);
    p.printer->Canvas()->FillRect(Rect(10 * i, 0, 10 * i + 10, 10));
  }
  p.printer->EndDoc();

  EXPECT_EQ(p.printer->PageNumber(), 3);
  EXPECT_EQ(p.backend->JobTitle(), QStringLiteral("koe"));
  ASSERT_EQ(p.backend->PageCount(), 3);
  for (int i = 0; i < 3; ++i) {
    const QImage& page = p.backend->Page(i);
    EXPECT_EQ(InkBounds(page), Rect(10 * i, 0, 10 * i + 10, 10)) << "page " << i;
    EXPECT_EQ(CountOf(page, marks[i]), 100) << "page " << i;
  }
}

TEST(ImagePrinterPages, AnotherJobReplacesThePages) {
  ImagePrinter p(100, 100);
  p.printer->BeginDoc();
  p.printer->NewPage();
  p.printer->EndDoc();
  p.printer->BeginDoc();
  EXPECT_EQ(p.printer->PageNumber(), 1);
  p.printer->EndDoc();
  EXPECT_EQ(p.backend->PageCount(), 1);
}

TEST(ImagePrinterAbort, DiscardsThePagesAndEndsTheJob) {
  ImagePrinter p(100, 100);
  p.printer->BeginDoc();
  p.printer->Canvas()->FillRect(Rect(0, 0, 5, 5));
  p.printer->NewPage();
  p.printer->Abort();
  EXPECT_FALSE(p.printer->Printing());
  EXPECT_TRUE(p.printer->Aborted());
  EXPECT_EQ(p.backend->PageCount(), 0);

  p.printer->BeginDoc();
  EXPECT_FALSE(p.printer->Aborted());
  EXPECT_TRUE(p.printer->Printing());
  p.printer->EndDoc();
  EXPECT_EQ(p.backend->PageCount(), 1);
}

TEST(ImagePrinterState, PrinterListHasOneEntryThatIsTheDefault) {
  ImagePrinter p(100, 100);
  EXPECT_EQ(p.printer->Printers()->Count(), 1);
  EXPECT_EQ(p.printer->PrinterIndex(), 0);
  p.printer->SetPrinterIndex(-1);
  EXPECT_EQ(p.printer->PrinterIndex(), 0);
  p.printer->SetPrinterIndex(0);
  EXPECT_EQ(p.printer->PrinterIndex(), 0);
}

TEST(ImagePrinterState, CopiesBelowOneCountAsOne) {
  ImagePrinter p(100, 100);
  p.printer->SetCopies(3);
  EXPECT_EQ(p.printer->Copies(), 3);
  p.printer->SetCopies(0);
  EXPECT_EQ(p.printer->Copies(), 1);
}

}  // namespace
