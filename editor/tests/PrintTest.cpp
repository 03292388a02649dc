// The editor's printout on a 300 dpi page image: the words in their rows
// right of the letter block, one frame around the block, no inner lines.
#include "components/PrnCells.h"
#include "editor/tests/EditorWindowSupport.h"
#include "platform/printing/ImagePrintBackend.h"
#include "platform/printing/Printer.h"

#include <QImage>

#include <cmath>

namespace {

constexpr int kDpi = 300;

int Px(double centimetres) { return static_cast<int>(std::lround(centimetres / 2.54 * kDpi)); }

bool Inked(const QImage& page, int left, int top, int right, int bottom) {
  for (int y = std::max(top, 0); y < std::min(bottom, page.height()); ++y)
    for (int x = std::max(left, 0); x < std::min(right, page.width()); ++x)
      if ((page.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu) return true;
  return false;
}

class EditorPrintout : public EditorWindowTest {
 protected:
  void SetUp() override {
    EditorWindowTest::SetUp();
    auto backend = std::make_unique<TImagePrintBackend>(kDpi);
    backend_ = backend.get();
    SetPrinter(std::make_unique<TPrinter>(std::move(backend)));
  }
  void TearDown() override {
    SetPrinter(nullptr);
    EditorWindowTest::TearDown();
  }
  TImagePrintBackend* backend_ = nullptr;
};

TEST_F(EditorPrintout, WordRowsAndOneFrameAroundTheLetters) {
  SetLines({"KISSA", "KOIRA", "HIIRI", "LEHMA", "ORAVA"});
  Place(10, 0, {{0, 0}, {11, 11}});  // K
  Run(&TForm1::SpeedButton15Click);
  ASSERT_EQ(backend_->PageCount(), 1);
  EXPECT_EQ(backend_->JobTitle(), QStringLiteral("koe"));
  const QImage page = backend_->Page(0);
  QString rows;
  for (int n = 1; n <= 13; ++n) {
    const double top = 2.0 + 0.5 * (n - 1);
    rows += Inked(page, Px(12.0), Px(top) + 2, page.width(), Px(top + 0.5) - 2) ? u'#' : u'.';
  }
  EXPECT_EQ(rows, QStringLiteral("#####........"));
  // The frame at 2 cm and 11.6 cm; no line between the letters.
  const int mid = Px(6.8);
  for (int edge : {Px(2.0), Px(11.6)}) {
    EXPECT_EQ(page.pixel(edge, mid) & 0xFFFFFFu, 0u) << edge;
    EXPECT_EQ(page.pixel(mid, edge) & 0xFFFFFFu, 0u) << edge;
  }
  for (int k = 1; k < 12; ++k) {
    const int line = Px(2.0 + 0.8 * k);
    EXPECT_FALSE(Inked(page, line - 1, Px(6.0), line + 2, Px(6.3))) << k;
  }
  // The letters of the first and the last cell, and an empty one between.
  EXPECT_TRUE(Inked(page, Px(2.1), Px(2.1), Px(2.7), Px(2.7)));
  EXPECT_TRUE(Inked(page, Px(10.9), Px(10.9), Px(11.5), Px(11.5)));
  EXPECT_FALSE(Inked(page, Px(5.3), Px(5.3), Px(5.9), Px(5.9)));
}

TEST_F(EditorPrintout, ALongListPrintsItsFirst13Words) {
  QStringList many;
  for (int i = 0; i < 16; ++i) many << QStringLiteral("SANA%1").arg(i);
  SetLines(many);
  Run(&TForm1::SpeedButton15Click);
  ASSERT_EQ(backend_->PageCount(), 1);
  const QImage page = backend_->Page(0);
  EXPECT_TRUE(Inked(page, Px(12.0), Px(8.0) + 2, page.width(), Px(8.5) - 2));
  EXPECT_FALSE(Inked(page, Px(12.0), Px(8.5) + 2, page.width(), Px(10.0)));
}

}  // namespace
