// The drawing the print layouts do (bars, lines, clipped and wrapped text,
// turned text, pictures) on a PDF page and on an image page alike.

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DrawText.h"
#include "platform/printing/Printer.h"
#include "platform/printing/QtPrintBackend.h"
#include "platform/printing/tests/PrintTestUtil.h"
#include "tests/support/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

void DrawLayoutPage(TCanvas* canvas) {
  canvas->Pen()->SetColor(clBlack);
  canvas->Brush()->SetColor(clBlack);
  canvas->Rectangle(20, 20, 200, 26);  // a solid border bar
  canvas->Pen()->SetStyle(psDash);
  canvas->MoveTo(20, 40);
  canvas->LineTo(200, 40);
  canvas->Brush()->SetStyle(bsClear);
  canvas->Font()->SetName(QStringLiteral("Arial"));
  canvas->Font()->SetHeight(-20);
  TRect box = Rect(20, 60, 200, 120);
  canvas->IntersectClipRect(box);
  DrawText(canvas, QStringLiteral("sanoja rivi toisensa perään ruudukon alle"), box,
           DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS | DT_CENTER);
  canvas->RemoveClip();
  canvas->Font()->SetOrientation(900);
  canvas->TextOut(230, 200, QStringLiteral("pysty"));
  canvas->Font()->SetOrientation(0);
  TBitmap picture;
  picture.SetSize(4, 4);
  picture.Canvas()->Brush()->SetColor(clRed);
  picture.Canvas()->FillRect(Rect(0, 0, 4, 4));
  canvas->StretchDraw(Rect(20, 220, 60, 260), &picture);
}

TEST(PrinterCanvas, LayoutDrawingWorksOnAPdfPage) {
  const QString folder = qxtest::TempPath(QStringLiteral("out"));
  ASSERT_TRUE(QDir().mkpath(folder));
  TQtPrintOptions options;
  options.SystemPrinters = false;
  options.FileFolder = folder;
  TPrinter printer(std::make_unique<TQtPrintBackend>(options));
  printer.SetTitle(QStringLiteral("koe"));
  printer.BeginDoc();
  DrawLayoutPage(printer.Canvas());
  printer.EndDoc();
  EXPECT_TRUE(qxtest::ReadBytes(QDir(folder).filePath(QStringLiteral("koe.pdf"))).startsWith("%PDF"));
}

TEST(PrinterCanvas, LayoutDrawingLandsOnAnImagePage) {
  prntest::ImagePrinter p(100, 100, 3.0, 3.0);
  p.printer->BeginDoc();
  DrawLayoutPage(p.printer->Canvas());
  p.printer->EndDoc();
  const QImage& page = p.backend->Page(0);
  EXPECT_EQ(prntest::CountOf(page, clRed), 40 * 40);
  EXPECT_EQ(prntest::At(page, 20, 20), clBlack);
  const TRect ink = prntest::InkBounds(page);
  EXPECT_EQ(ink.Left, 20);
  EXPECT_EQ(ink.Top, 20);
  EXPECT_LE(ink.Bottom, 260);
}

}  // namespace
