// A canvas borrowing a widget's painter during its paint event can read the
// pixels it drew, so raster codes work on windows as on images.

#include "platform/graphics/tests/PixelTestUtil.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

class PaintProbe : public QWidget {
 public:
  TColor seen = clNone;
  TColor inverted = clNone;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.translate(2, 3);  // a control drawn on its parent at (2, 3)
    TCanvas canvas;
    canvas.SetPainter(&painter);
    canvas.Brush()->SetColor(clRed);
    canvas.FillRect(Rect(0, 0, 4, 4));
    seen = canvas.Pixel(1, 1);
    canvas.SetCopyMode(DSTINVERT);
    canvas.CopyRect(Rect(0, 0, 1, 1), &canvas, Rect(0, 0, 1, 1));
    inverted = canvas.Pixel(0, 0);
  }
};

TEST(WidgetCanvas, ReadsBackWhatItDrewThroughTheWidgetPainter) {
  PaintProbe probe;
  probe.resize(10, 10);
  const QImage shot = probe.grab().toImage();
  EXPECT_EQ(probe.seen, clRed);
  EXPECT_EQ(probe.inverted, ColorOf(0xFFFF00));
  EXPECT_EQ(QRgbToColor(shot.pixel(3, 4)), clRed);
  EXPECT_EQ(QRgbToColor(shot.pixel(2, 3)), ColorOf(0xFFFF00));
}

}  // namespace
