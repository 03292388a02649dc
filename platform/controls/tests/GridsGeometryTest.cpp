// Where cells are: MouseToCell, CellRect, scrolling limits, line options,
// and the checks on counts and sizes.
#include "platform/controls/tests/GridsTestSupport.h"

namespace {

class GridsGeometryTest : public GridsTest {};

// Columns: fixed 0 at [0,20) and its line at 20, then every 21 pixels.
// Rows: fixed 0 at [0,10) and its line at 10, then every 11 pixels.
TEST_F(GridsGeometryTest, MouseToCellCountsEachLineWithTheCellBeforeIt) {
  struct Row {
    int x, y, col, row;
  } rows[] = {
      {0, 0, 0, 0},     {19, 9, 0, 0},    {20, 10, 0, 0},  {21, 11, 1, 1},
      {41, 21, 1, 1},   {42, 22, 2, 2},   {103, 53, 4, 4}, {104, 54, 4, 4},
      {105, 5, -1, -1}, {5, 55, -1, -1},  {-1, 5, -1, -1}, {5, -1, -1, -1},
      {150, 5, -1, -1}, {5, 300, -1, -1}, {500, 500, -1, -1},
  };
  for (const Row& r : rows) {
    int c = 99;
    int w = 99;
    grid->MouseToCell(r.x, r.y, c, w);
    EXPECT_EQ((TGridCoord{c, w}), (TGridCoord{r.col, r.row})) << r.x << "," << r.y;
    EXPECT_EQ(grid->MouseCoord(r.x, r.y), (TGridCoord{r.col, r.row})) << r.x << "," << r.y;
  }
}

TEST_F(GridsGeometryTest, CellRectExcludesTheLineAndIsEmptyOutside) {
  EXPECT_EQ(grid->CellRect(0, 0), Rect(0, 0, 20, 10));
  EXPECT_EQ(grid->CellRect(1, 1), Rect(21, 11, 41, 21));
  EXPECT_EQ(grid->CellRect(4, 2), Rect(84, 22, 104, 32));
  EXPECT_EQ(grid->CellRect(5, 1), TRect{});
  EXPECT_EQ(grid->CellRect(1, -1), TRect{});
  EXPECT_EQ(grid->GridWidth(), 105);
  EXPECT_EQ(grid->GridHeight(), 55);
}

TEST_F(GridsGeometryTest, ScrolledCellsMoveAndHiddenOnesHaveNoRect) {
  grid->SetBounds(0, 0, 60, 30);
  EXPECT_EQ(grid->VisibleColCount(), 1);
  EXPECT_EQ(grid->VisibleRowCount(), 1);
  grid->SetLeftCol(3);
  grid->SetTopRow(2);
  EXPECT_EQ(grid->LeftCol(), 3);
  EXPECT_EQ(grid->TopRow(), 2);
  EXPECT_EQ(grid->CellRect(1, 1), TRect{});
  EXPECT_EQ(grid->CellRect(3, 2), Rect(21, 11, 41, 21));
  EXPECT_EQ(grid->CellRect(0, 2), Rect(0, 11, 20, 21));
  EXPECT_EQ(grid->CellRect(3, 0), Rect(21, 0, 41, 10));
  // Partly shown cells still have their whole rectangle.
  EXPECT_EQ(grid->CellRect(4, 3), Rect(42, 22, 62, 32));
  EXPECT_EQ(grid->MouseCoord(25, 15), (TGridCoord{3, 2}));
  EXPECT_EQ(grid->MouseCoord(5, 15), (TGridCoord{0, 2}));
}

TEST_F(GridsGeometryTest, TopLeftStaysWithinTheLastFullPage) {
  grid->SetBounds(0, 0, 60, 30);
  std::vector<TGridCoord> changes;
  grid->OnTopLeftChanged = [&](TObject*) { changes.push_back({grid->LeftCol(), grid->TopRow()}); };
  grid->SetLeftCol(99);
  grid->SetTopRow(-5);
  EXPECT_EQ(grid->LeftCol(), 4);
  EXPECT_EQ(grid->TopRow(), 1);
  grid->SetLeftCol(4);
  EXPECT_EQ(changes, (std::vector<TGridCoord>{{4, 1}}));
  grid->OnTopLeftChanged = nullptr;
}

TEST_F(GridsGeometryTest, LineOptionsOffLeaveNoGap) {
  grid->SetOptions(TGridOptions{goFixedVertLine, goFixedHorzLine});
  EXPECT_EQ(grid->CellRect(1, 1), Rect(21, 11, 41, 21));
  EXPECT_EQ(grid->CellRect(2, 2), Rect(41, 21, 61, 31));
  grid->SetOptions(TGridOptions{goVertLine, goHorzLine});
  EXPECT_EQ(grid->CellRect(1, 1), Rect(20, 10, 40, 20));
  EXPECT_EQ(grid->CellRect(2, 2), Rect(41, 21, 61, 31));
}

// The game's board: 12 x 12 cells of 20 pixels, no lines, no fixed cells.
TEST_F(GridsGeometryTest, BoardWithoutLinesMapsEveryPixelToItsCell) {
  grid->SetColCount(12);
  grid->SetRowCount(12);
  grid->SetFixedCols(0);
  grid->SetFixedRows(0);
  grid->SetDefaultColWidth(20);
  grid->SetDefaultRowHeight(20);
  grid->SetGridLineWidth(0);
  grid->SetBounds(0, 0, 240, 240);
  EXPECT_EQ(grid->MouseCoord(0, 0), (TGridCoord{0, 0}));
  EXPECT_EQ(grid->MouseCoord(19, 20), (TGridCoord{0, 1}));
  EXPECT_EQ(grid->MouseCoord(239, 239), (TGridCoord{11, 11}));
  EXPECT_EQ(grid->MouseCoord(240, 100), (TGridCoord{-1, -1}));
  EXPECT_EQ(grid->CellRect(11, 11), Rect(220, 220, 240, 240));
  EXPECT_EQ(grid->VisibleColCount(), 12);
}

TEST_F(GridsGeometryTest, SizesAndCountsAreChecked) {
  EXPECT_THROW(grid->SetFixedCols(5), EInvalidGridOperation);
  EXPECT_THROW(grid->SetFixedRows(-1), EInvalidGridOperation);
  EXPECT_THROW(grid->SetColWidths(5, 10), EInvalidGridOperation);
  EXPECT_THROW(grid->SetRowHeights(-1, 10), EInvalidGridOperation);
  EXPECT_THROW(grid->SetColWidths(1, -3), EInvalidGridOperation);
  EXPECT_THROW((void)grid->ColWidths(7), EInvalidGridOperation);
  EXPECT_THROW(grid->SetGridLineWidth(-1), EInvalidGridOperation);
  EXPECT_THROW(grid->SetCol(0), EInvalidGridOperation);
  EXPECT_THROW(grid->SetRow(5), EInvalidGridOperation);
  EXPECT_EQ(grid->ColCount(), 5);
  EXPECT_EQ(grid->FixedCols(), 1);
}

TEST_F(GridsGeometryTest, ShrinkingBelowTheFixedCountsLowersThemAndKeepsTheCurrentCell) {
  grid->SetCol(4);
  grid->SetRow(4);
  grid->SetColCount(3);
  EXPECT_EQ(grid->Col(), 2);
  grid->SetRowCount(1);
  EXPECT_EQ(grid->FixedRows(), 0);
  EXPECT_EQ(grid->Row(), 0);
  grid->SetColCount(0);
  EXPECT_EQ(grid->ColCount(), 1);
  EXPECT_EQ(grid->FixedCols(), 0);
}

TEST_F(GridsGeometryTest, WidthsFollowTheirColumnsAndDefaultsResetThem) {
  grid->SetColWidths(2, 40);
  EXPECT_EQ(grid->CellRect(3, 1), Rect(83, 11, 103, 21));
  grid->SetColCount(7);
  EXPECT_EQ(grid->ColWidths(6), 20);
  EXPECT_EQ(grid->ColWidths(2), 40);
  grid->SetDefaultColWidth(30);
  EXPECT_EQ(grid->ColWidths(2), 30);
}

}  // namespace
