// What the grid paints: fixed and normal cell colours, grid lines by their
// options, the selection, the string grid's text and drawing left to
// OnDrawCell.
#include "platform/controls/tests/GridsTestSupport.h"

#include <map>

namespace {

class GridsPaintTest : public GridsTest {
 protected:
  void SetUp() override {
    GridsTest::SetUp();
    grid->SetColor(clWhite);
    grid->SetFixedColor(clYellow);
    grid->Font()->SetColor(clBlack);
    other = new TEdit(form.get());  // owned by the form; takes the focus
    other->SetParent(form.get());
    other->SetBounds(0, 150, 50, 20);
  }
  // Shows the form with the focus away from the grid.
  QImage PaintUnfocused() {
    ShowForm();
    other->SetFocus();
    Pump();
    return grid->PaintToImage();
  }
  TEdit* other = nullptr;
};

TColor Rgb(TColor c) { return ColorToRGB(c); }

TEST_F(GridsPaintTest, FixedCellsCellsLinesAndBackground) {
  const QImage image = PaintUnfocused();
  ASSERT_EQ(image.size(), QSize(200, 100));
  struct Probe {
    const char* what;
    int x, y;
    TColor color;
  } probes[] = {
      {"fixed corner", 10, 5, clYellow},
      {"fixed column", 10, 30, clYellow},
      {"fixed row", 70, 5, clYellow},
      {"line after the fixed column", 20, 30, clBlack},
      {"line under the fixed row", 70, 10, clBlack},
      {"cell", 70, 38, clWhite},
      {"vertical cell line", 62, 38, clSilver},
      {"horizontal cell line", 70, 43, clSilver},
      {"right of the grid", 150, 30, clWhite},
      {"below the grid", 30, 80, clWhite},
  };
  for (const Probe& p : probes) EXPECT_EQ(GridPixel(image, p.x, p.y), Rgb(p.color)) << p.what;
}

TEST_F(GridsPaintTest, FixedCellsLookRaised) {
  const QImage image = PaintUnfocused();
  EXPECT_EQ(GridPixel(image, 10, 0), Rgb(clBtnHighlight));   // top edge
  EXPECT_EQ(GridPixel(image, 0, 5), Rgb(clBtnHighlight));    // left edge
  EXPECT_EQ(GridPixel(image, 10, 9), Rgb(clBtnShadow));      // bottom edge
  EXPECT_EQ(GridPixel(image, 19, 5), Rgb(clBtnShadow));      // right edge
}

TEST_F(GridsPaintTest, SelectedCellsUseTheHighlightColour) {
  grid->SetSelection(TGridRect{1, 1, 2, 2});
  const QImage image = PaintUnfocused();
  EXPECT_EQ(GridPixel(image, 30, 15), Rgb(clHighlight));
  EXPECT_EQ(GridPixel(image, 50, 25), Rgb(clHighlight));
  EXPECT_EQ(GridPixel(image, 70, 25), Rgb(clWhite));
  EXPECT_EQ(GridPixel(image, 50, 38), Rgb(clWhite));
}

TEST_F(GridsPaintTest, TheFocusedCurrentCellIsNotHighlightedUnlessAsked) {
  if (!FocusGrid()) GTEST_SKIP() << "the platform gives no focus";
  QImage image = grid->PaintToImage();
  EXPECT_EQ(GridPixel(image, 30, 15), Rgb(clWhite));
  grid->SetOptions(grid->Options() + TGridOptions{goDrawFocusSelected});
  image = grid->PaintToImage();
  EXPECT_EQ(GridPixel(image, 30, 15), Rgb(clHighlight));
}

TEST_F(GridsPaintTest, LineOptionsAndWidth) {
  grid->SetOptions(TGridOptions{goFixedVertLine, goFixedHorzLine});
  QImage image = PaintUnfocused();
  EXPECT_EQ(GridPixel(image, 41, 38), Rgb(clWhite));  // no cell lines: cells touch
  grid->SetOptions(TGridOptions{goVertLine, goHorzLine});
  grid->SetGridLineWidth(3);
  image = grid->PaintToImage();
  // Fixed column [0,20) without its line, then column 1 at [20,40), its
  // 3-pixel line at [40,43).
  EXPECT_EQ(GridPixel(image, 41, 30), Rgb(clSilver));
  EXPECT_EQ(GridPixel(image, 44, 30), Rgb(clWhite));
}

TEST_F(GridsPaintTest, StringGridTextStartsTwoPixelsIn) {
  grid->SetDefaultColWidth(60);
  grid->SetDefaultRowHeight(20);
  grid->SetCells(1, 1, QStringLiteral("MMM"));
  grid->FocusCell(2, 2, true);
  const QImage image = PaintUnfocused();
  const TRect cell = grid->CellRect(1, 1);
  int firstInk = -1;
  for (int x = cell.Left; x < cell.Right && firstInk < 0; ++x)
    for (int y = cell.Top; y < cell.Bottom; ++y)
      if (GridPixel(image, x, y) != Rgb(clWhite)) {
        firstInk = x;
        break;
      }
  ASSERT_GE(firstInk, 0) << "no text drawn";
  EXPECT_GE(firstInk, cell.Left + 2);
  EXPECT_LE(firstInk, cell.Left + 4);
}

TEST_F(GridsPaintTest, WithoutDefaultDrawingCellsAreLeftToOnDrawCell) {
  grid->SetDefaultDrawing(false);
  grid->SetCells(3, 3, QStringLiteral("MMM"));
  std::map<std::pair<int, int>, TGridDrawState> states;
  grid->OnDrawCell = [&](TObject*, int c, int r, TRect rect, TGridDrawState state) {
    states[{c, r}] = state;
    if (c == 3 && r == 3) {
      grid->Canvas()->Brush()->SetColor(clRed);
      grid->Canvas()->FillRect(rect);
    }
  };
  const QImage image = PaintUnfocused();
  EXPECT_EQ(GridPixel(image, 70, 38), Rgb(clRed));
  EXPECT_EQ(GridPixel(image, 64, 34), Rgb(clRed));  // no text over it
  EXPECT_EQ(states.size(), 25u);
  EXPECT_EQ(states[std::make_pair(0, 0)], TGridDrawState{gdFixed});
  EXPECT_EQ(states[std::make_pair(1, 1)], TGridDrawState{gdSelected});
  EXPECT_EQ(states[std::make_pair(2, 2)], TGridDrawState{});
  grid->OnDrawCell = nullptr;
}

TEST_F(GridsPaintTest, BoardWithoutLinesIsCellsOnly) {
  grid->SetColCount(12);
  grid->SetRowCount(12);
  grid->SetFixedCols(0);
  grid->SetFixedRows(0);
  grid->SetDefaultColWidth(20);
  grid->SetDefaultRowHeight(20);
  grid->SetGridLineWidth(0);
  grid->SetBounds(0, 0, 240, 240);
  const QImage image = PaintUnfocused();
  EXPECT_EQ(GridPixel(image, 20, 25), Rgb(clWhite));
  EXPECT_EQ(GridPixel(image, 239, 239), Rgb(clWhite));
  EXPECT_EQ(GridPixel(image, 5, 5), Rgb(clHighlight));  // the selected current cell
}

}  // namespace
