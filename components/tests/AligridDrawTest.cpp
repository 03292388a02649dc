// Painting of the aligned grid, checked pixel by pixel: cell colours, the
// selected-cell colours, per-cell alignment and multi-line texts clipped to
// their cells. Text is checked by where its ink lies, never by glyphs.
#include "components/tests/AligridTestSupport.h"


#include <QImage>

namespace {

QRgb Rgb(TColor c) {
  const TColor rgb = ColorToRGB(c);
  return qRgb(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

// Horizontal extent of the pixels in r that differ from the background;
// {-1, -1} when there are none.
std::pair<int, int> InkSpan(const QImage& image, const TRect& r, QRgb background) {
  int lo = -1, hi = -1;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF)) {
        if (lo < 0 || x < lo) lo = x;
        if (x > hi) hi = x;
      }
  return {lo, hi};
}

int InkRows(const QImage& image, const TRect& r, QRgb background) {
  int rows = 0;
  for (int y = r.Top; y < r.Bottom; ++y)
    for (int x = r.Left; x < r.Right; ++x)
      if ((image.pixel(x, y) & 0xFFFFFF) != (background & 0xFFFFFF)) {
        ++rows;
        break;
      }
  return rows;
}

// 3 x 2 cells of 60 x 30 without fixed cells; the current cell is (2, 1).
class AligridDraw : public AligridTest {
 protected:
  void SetUp() override {
    AligridTest::SetUp();
    grid->SetFixedCols(0);
    grid->SetFixedRows(0);
    grid->SetColCount(3);
    grid->SetRowCount(2);
    grid->SetDefaultColWidth(60);
    grid->SetDefaultRowHeight(30);
    grid->SetScrollBars(ssNone);
    grid->SetColor(clWhite);
    grid->Font()->SetColor(clBlack);
    grid->FocusCell(2, 1, true);
    form->Show();
  }
  QRgb At(const QImage& image, int col, int row) {
    const TRect r = grid->CellRect(col, row);
    return image.pixel(r.Left + r.Width() / 2, r.Top + r.Height() / 2) | 0xFF000000;
  }
  // The cell without its outer 1-pixel ring.
  TRect Inside(int col, int row) {
    TRect r = grid->CellRect(col, row);
    InflateRect(r, -1, -1);
    return r;
  }
};

TEST_F(AligridDraw, CellColourPaintsOnlyItsCellAndStays) {
  grid->SetCellColor(1, 0, clRed);
  QImage image = grid->PaintToImage();
  EXPECT_EQ(At(image, 1, 0), Rgb(clRed));
  EXPECT_EQ(At(image, 0, 0), Rgb(clWhite));
  EXPECT_EQ(At(image, 1, 1), Rgb(clWhite));
  grid->Invalidate();
  image = grid->PaintToImage();
  EXPECT_EQ(At(image, 1, 0), Rgb(clRed));
}

TEST_F(AligridDraw, ColumnAndRowBrushesFillTheirCells) {
  LoadProps("  BrushCol = ( 0 65280 0 )\n  BrushRow = ( 1 16711680 0 )\n");
  const QImage image = grid->PaintToImage();
  EXPECT_EQ(At(image, 0, 1), Rgb(65280));      // column before row
  EXPECT_EQ(At(image, 1, 1), Rgb(16711680));
  EXPECT_EQ(At(image, 1, 0), Rgb(clWhite));
}

TEST_F(AligridDraw, SelectedCellOfAnUnfocusedGridTakesTheSelectedColours) {
  ASSERT_FALSE(grid->Focused());
  QImage image = grid->PaintToImage();
  EXPECT_EQ(At(image, 2, 1), Rgb(clActiveCaption));
  EXPECT_EQ(At(image, 1, 1), Rgb(clWhite));
  LoadProps("  SelectedColorCell = ( 2 1 65280 )\n");
  image = grid->PaintToImage();
  EXPECT_EQ(At(image, 2, 1), Rgb(65280));
}

TEST_F(AligridDraw, SelectedTextTakesTheSelectedFontColour) {
  grid->SetCells(2, 1, QStringLiteral("MMM"));
  grid->SetSelectedCellColor(clBlack);
  grid->SetSelectedFontColor(clWhite);
  const QImage image = grid->PaintToImage();
  const auto [lo, hi] = InkSpan(image, Inside(2, 1), Rgb(clBlack));
  EXPECT_GE(lo, 0) << "white text on the black selection";
}

TEST_F(AligridDraw, WithoutDrawSelectionTheSelectionChangesNothing) {
  grid->SetDrawSelection(false);
  grid->SetCellColor(2, 1, clYellow);
  const QImage image = grid->PaintToImage();
  EXPECT_EQ(At(image, 2, 1), Rgb(clYellow));
}

struct AlignCase {
  const char* props;
  TMyAlign expected;
};

class AligridDrawAlign : public AligridDraw, public testing::WithParamInterface<AlignCase> {};

TEST_P(AligridDrawAlign, TextSitsWhereTheCellsAlignmentSays) {
  LoadProps(GetParam().props);
  grid->SetCells(1, 0, QStringLiteral("MMM"));
  const QImage image = grid->PaintToImage();
  const TRect r = grid->CellRect(1, 0);
  grid->Canvas()->Font()->Assign(grid->ResolveCellFont(1, 0));
  const int w = grid->Canvas()->TextWidth(QStringLiteral("MMM"));
  int x = r.Left + 2;
  if (GetParam().expected == TMyAlign::alRight) x = r.Right - w - 2;
  if (GetParam().expected == TMyAlign::alCenter) x = r.Left + (r.Width() - w) / 2;
  const auto [lo, hi] = InkSpan(image, r, Rgb(clWhite));
  ASSERT_GE(lo, 0);
  EXPECT_GE(lo, x - 1);
  EXPECT_LE(lo, x + 3);
  EXPECT_LE(hi, x + w);
  EXPECT_GE(hi, x + w - 4);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AligridDrawAlign,
    testing::Values(AlignCase{"", TMyAlign::alLeft},
                    AlignCase{"  Alignment = alRight\n", TMyAlign::alRight},
                    AlignCase{"  AlignCol = { 010002 }\n", TMyAlign::alCenter},
                    AlignCase{"  AlignRow = { 000000 }\n", TMyAlign::alRight},
                    // the cell's own alLeft beats its column's alRight
                    AlignCase{"  AlignCol = { 010000 }\n  AlignCell = { 0100000001 }\n",
                              TMyAlign::alLeft}));

TEST_F(AligridDraw, CarriageReturnsSplitLinesAndTallTextIsCutAtTheCell) {
  grid->SetCells(0, 0, QStringLiteral("M"));
  QImage image = grid->PaintToImage();
  const int oneLine = InkRows(image, grid->CellRect(0, 0), Rgb(clWhite));
  ASSERT_GT(oneLine, 0);
  grid->SetCells(0, 0, QStringLiteral("M\r\nM"));
  image = grid->PaintToImage();
  EXPECT_GT(InkRows(image, grid->CellRect(0, 0), Rgb(clWhite)), oneLine + 2);
  grid->SetCells(0, 0, QStringLiteral("M\rM\rM\rM\rM\rM\rM\rM"));
  image = grid->PaintToImage();
  const TRect below = grid->CellRect(0, 1);
  EXPECT_EQ(InkSpan(image, below, Rgb(clWhite)).first, -1);
}

TEST_F(AligridDraw, DefaultDrawingOffLeavesTheCellToOnDrawCell) {
  grid->SetCellColor(0, 0, clRed);
  grid->SetDefaultDrawing(false);
  int calls = 0;
  grid->OnDrawCell = [&calls](TObject*, int, int, TRect, TGridDrawState) { ++calls; };
  const QImage image = grid->PaintToImage();
  EXPECT_GT(calls, 0);
  EXPECT_NE(At(image, 0, 0), Rgb(clRed));
}

TEST_F(AligridDraw, OnDrawCellRunsAfterTheCellIsPainted) {
  QList<int> cells;
  grid->OnDrawCell = [&cells](TObject*, int c, int r, TRect, TGridDrawState) {
    cells.append(r * 10 + c);
  };
  grid->PaintToImage();
  EXPECT_TRUE(cells.contains(11));
  EXPECT_TRUE(cells.contains(2));
}

}  // namespace
