// Progress bar and gauge: the filled share of the inside, empty for an
// empty range, StepIt wrapping, and the gauge kinds.

#include "platform/controls/Progress.h"

#include "platform/controls/tests/ControlsTestSupport.h"

#include <QImage>

namespace {

class ProgressTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    RegisterProgressClasses();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 240, 140);
    form->SetColor(clWhite);
  }
  void TearDown() override {
    form.reset();
    ControlsTest::TearDown();
  }
  TProgressBar* Bar() {
    auto* bar = new TProgressBar(form.get());
    bar->SetParent(form.get());
    bar->SetBounds(10, 10, 202, 16);  // inside: 200 px
    bar->SetSmooth(true);
    return bar;
  }
  // Pixels of colour along row y between x0 and x1.
  int Count(TColor colour, int y, int x0, int x1) {
    form->Show();
    const QImage image = form->PaintToImage();
    int n = 0;
    for (int x = x0; x < x1; ++x)
      if (QRgbToColor(image.pixel(x, y)) == ColorToRGB(colour)) ++n;
    return n;
  }

  std::unique_ptr<TForm> form;
};

struct FillCase {
  int min;
  int max;
  int position;
  int filled;
};

class ProgressFillTest : public ProgressTest, public testing::WithParamInterface<FillCase> {};

TEST_P(ProgressFillTest, FillsItsShare) {
  TProgressBar* bar = Bar();
  bar->SetMin(GetParam().min);
  bar->SetMax(GetParam().max);
  bar->SetPosition(GetParam().position);
  EXPECT_EQ(bar->FilledWidth(), GetParam().filled);
  EXPECT_EQ(Count(clHighlight, 18, 10, 212), GetParam().filled);
}

INSTANTIATE_TEST_SUITE_P(Shares, ProgressFillTest,
                         testing::Values(FillCase{0, 100, 0, 0}, FillCase{0, 100, 50, 100},
                                         FillCase{0, 100, 100, 200}, FillCase{0, 100, 25, 50},
                                         FillCase{10, 20, 15, 100},
                                         FillCase{0, 0, 0, 0},      // Max 0: empty
                                         FillCase{0, 0, 5, 0},
                                         FillCase{50, 10, 30, 0},   // reversed: empty
                                         FillCase{0, 100, 500, 200}));

TEST_F(ProgressTest, MaxZeroShowsAnEmptyBarNotABusyOne) {
  TProgressBar* bar = Bar();
  bar->SetSmooth(false);
  bar->SetMax(0);
  bar->SetPosition(7);
  EXPECT_EQ(bar->Position(), 0);
  EXPECT_EQ(Count(clHighlight, 18, 10, 212), 0);
  bar->StepIt();
  EXPECT_EQ(Count(clHighlight, 18, 10, 212), 0);
}

TEST_F(ProgressTest, BlocksCoverTheFilledPart) {
  TProgressBar* bar = Bar();
  bar->SetSmooth(false);
  bar->SetPosition(50);
  const int lit = Count(clHighlight, 18, 10, 212);
  EXPECT_GT(lit, 70);
  EXPECT_LE(lit, 110);
  EXPECT_EQ(Count(clHighlight, 18, 140, 212), 0);
}

TEST_F(ProgressTest, StepItAddsStepAndWrapsPastMax) {
  TProgressBar* bar = Bar();
  bar->SetStep(30);
  bar->StepIt();
  bar->StepIt();
  bar->StepIt();
  EXPECT_EQ(bar->Position(), 90);
  bar->StepIt();
  EXPECT_EQ(bar->Position(), 20);
  bar->StepBy(-500);
  EXPECT_EQ(bar->Position(), 0);
}

TEST_F(ProgressTest, LoweringMaxPullsThePositionIn) {
  TProgressBar* bar = Bar();
  bar->SetPosition(80);
  bar->SetMax(40);
  EXPECT_EQ(bar->Position(), 40);
}

class GaugeTest : public ProgressTest {
 protected:
  TGauge* Gauge(TGaugeKind kind) {
    auto* g = new TGauge(form.get());
    g->SetParent(form.get());
    g->SetBounds(10, 10, 102, 102);  // inside the border: 100 x 100
    g->SetKind(kind);
    g->SetShowText(false);
    g->SetForeColor(clNavy);
    g->SetBackColor(clYellow);
    return g;
  }
};

TEST_F(GaugeTest, HorizontalBarFillsFromTheLeft) {
  TGauge* g = Gauge(gkHorizontalBar);
  g->SetProgress(30);
  EXPECT_EQ(Count(clNavy, 60, 11, 111), 30);
  EXPECT_EQ(Count(clYellow, 60, 11, 111), 70);
  EXPECT_EQ(Count(clBlack, 60, 10, 11), 1);  // the single border
}

TEST_F(GaugeTest, VerticalBarFillsFromTheBottom) {
  TGauge* g = Gauge(gkVerticalBar);
  g->SetProgress(25);
  form->Show();
  const QImage image = form->PaintToImage();
  int navy = 0;
  for (int y = 11; y < 111; ++y)
    if (QRgbToColor(image.pixel(60, y)) == clNavy) ++navy;
  EXPECT_EQ(navy, 25);
  EXPECT_EQ(QRgbToColor(image.pixel(60, 110)), clNavy);
  EXPECT_EQ(QRgbToColor(image.pixel(60, 11)), clYellow);
}

TEST_F(GaugeTest, ProgressStaysInRangeAndAddProgressAdds) {
  TGauge* g = Gauge(gkHorizontalBar);
  g->SetMinValue(10);
  g->SetMaxValue(30);
  g->SetProgress(15);
  EXPECT_EQ(g->PercentDone(), 25);
  g->AddProgress(100);
  EXPECT_EQ(g->Progress(), 30);
  EXPECT_EQ(g->PercentDone(), 100);
  g->AddProgress(-100);
  EXPECT_EQ(g->Progress(), 10);
}

TEST_F(GaugeTest, EmptyRangeShowsNothingDone) {
  TGauge* g = Gauge(gkHorizontalBar);
  g->SetMaxValue(0);
  g->SetProgress(5);
  EXPECT_EQ(g->PercentDone(), 0);
  EXPECT_EQ(Count(clNavy, 60, 11, 111), 0);
}

TEST_F(GaugeTest, PieFillsClockwiseFromTwelve) {
  TGauge* g = Gauge(gkPie);
  g->SetProgress(25);
  form->Show();
  const QImage image = form->PaintToImage();
  // Centre (61, 61): the upper-right quarter is done, the rest is not.
  EXPECT_EQ(QRgbToColor(image.pixel(61 + 20, 61 - 20)), clNavy);
  EXPECT_EQ(QRgbToColor(image.pixel(61 - 20, 61 - 20)), clYellow);
  EXPECT_EQ(QRgbToColor(image.pixel(61 + 20, 61 + 20)), clYellow);
}

TEST_F(GaugeTest, TextShowsThePercentage) {
  TGauge* g = Gauge(gkText);
  g->SetProgress(40);
  g->SetShowText(true);
  EXPECT_GT(Count(clNavy, 61, 11, 111), 0);
  g->SetShowText(false);
  EXPECT_EQ(Count(clNavy, 61, 11, 111), 0);
}

}  // namespace

namespace {

TEST_F(GaugeTest, NeedlePointsLeftAtZeroAndRightWhenDone) {
  TGauge* g = Gauge(gkNeedle);
  form->Show();
  auto navyLeftRight = [&] {
    const QImage image = form->PaintToImage();
    int left = 0;
    int right = 0;
    const int y = 110;  // the needle's pivot row
    for (int x = 12; x < 110; ++x) {
      if (QRgbToColor(image.pixel(x, y)) != clNavy) continue;
      if (x < 55) ++left;
      if (x > 67) ++right;
    }
    return std::pair{left, right};
  };
  EXPECT_GT(navyLeftRight().first, 20);
  EXPECT_LT(navyLeftRight().second, 10);
  g->SetProgress(100);
  EXPECT_GT(navyLeftRight().second, 20);
  EXPECT_LT(navyLeftRight().first, 10);
}

}  // namespace
