// Navigation of the aligned grid: one step in eight directions with the
// three past-the-end rules, the next editable cell, Tab and Shift+Tab, and
// inserting and moving columns and rows with their attributes.
#include "components/tests/AligridTestSupport.h"


namespace {

// 4 columns, 3 rows, one fixed of each: the cells are columns 1..3, rows 1..2.
class AligridNavigate : public AligridTest {
 protected:
  void SetUp() override {
    AligridTest::SetUp();
    UseSmallGrid();
  }
};

struct StepCase {
  T_nextcell direction;
  t_lastcell rule;
  int col0, row0;
  int col, row;
  int cols, rows;  // counts afterwards
};

class AligridStep : public AligridNavigate, public testing::WithParamInterface<StepCase> {};

TEST_P(AligridStep, MovesOneCell) {
  const StepCase& c = GetParam();
  int col = c.col0, row = c.row0;
  grid->NextCell(c.direction, c.rule, col, row);
  EXPECT_EQ(col, c.col);
  EXPECT_EQ(row, c.row);
  EXPECT_EQ(grid->ColCount(), c.cols);
  EXPECT_EQ(grid->RowCount(), c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, AligridStep,
    testing::Values(
        // Plain steps and wraps.
        StepCase{nc_rightdown, lc_stop, 1, 1, 2, 1, 4, 3},
        StepCase{nc_rightdown, lc_stop, 3, 1, 1, 2, 4, 3},
        StepCase{nc_downright, lc_stop, 1, 2, 2, 1, 4, 3},
        StepCase{nc_leftdown, lc_stop, 1, 1, 3, 2, 4, 3},
        StepCase{nc_downleft, lc_stop, 3, 2, 2, 1, 4, 3},
        StepCase{nc_leftup, lc_stop, 1, 2, 3, 1, 4, 3},
        StepCase{nc_upleft, lc_stop, 3, 1, 2, 2, 4, 3},
        StepCase{nc_rightup, lc_stop, 3, 2, 1, 1, 4, 3},
        StepCase{nc_upright, lc_stop, 1, 1, 2, 2, 4, 3}));

INSTANTIATE_TEST_SUITE_P(
    PastTheEnd, AligridStep,
    testing::Values(
        StepCase{nc_rightdown, lc_stop, 3, 2, -1, -1, 4, 3},
        StepCase{nc_rightdown, lc_first, 3, 2, 1, 1, 4, 3},
        StepCase{nc_rightdown, lc_newcolrow, 3, 2, 1, 3, 4, 4},
        StepCase{nc_downright, lc_stop, 3, 2, -1, -1, 4, 3},
        StepCase{nc_downright, lc_first, 3, 2, 1, 1, 4, 3},
        StepCase{nc_downright, lc_newcolrow, 3, 2, 4, 1, 5, 3},
        StepCase{nc_leftdown, lc_stop, 1, 2, -1, -1, 4, 3},
        StepCase{nc_leftdown, lc_first, 1, 2, 3, 1, 4, 3},
        StepCase{nc_leftdown, lc_newcolrow, 1, 2, 3, 3, 4, 4},
        StepCase{nc_downleft, lc_stop, 1, 2, -1, -1, 4, 3},
        StepCase{nc_downleft, lc_first, 1, 2, 3, 1, 4, 3},
        StepCase{nc_downleft, lc_newcolrow, 1, 2, 1, 1, 5, 3},
        StepCase{nc_leftup, lc_stop, 1, 1, -1, -1, 4, 3},
        StepCase{nc_leftup, lc_first, 1, 1, 3, 2, 4, 3},
        StepCase{nc_leftup, lc_newcolrow, 1, 1, 3, 1, 4, 4},
        StepCase{nc_upleft, lc_stop, 1, 1, -1, -1, 4, 3},
        StepCase{nc_upleft, lc_first, 1, 1, 3, 2, 4, 3},
        StepCase{nc_upleft, lc_newcolrow, 1, 1, 1, 2, 5, 3},
        StepCase{nc_rightup, lc_stop, 3, 1, -1, -1, 4, 3},
        StepCase{nc_rightup, lc_first, 3, 1, 1, 2, 4, 3},
        StepCase{nc_rightup, lc_newcolrow, 3, 1, 1, 1, 4, 4},
        StepCase{nc_upright, lc_stop, 3, 1, -1, -1, 4, 3},
        StepCase{nc_upright, lc_first, 3, 1, 1, 2, 4, 3},
        StepCase{nc_upright, lc_newcolrow, 3, 1, 4, 2, 5, 3}));

TEST_F(AligridNavigate, NewRowAtTheTopMovesTheTextsDown) {
  grid->SetCells(2, 1, QStringLiteral("x"));
  int col = 1, row = 1;
  grid->NextCell(nc_leftup, lc_newcolrow, col, row);
  EXPECT_EQ(grid->Cells(2, 1), QString());
  EXPECT_EQ(grid->Cells(2, 2), QStringLiteral("x"));
}

// The next editable cell.

TEST_F(AligridNavigate, OnlyEditableCellIsFoundFromAnywhereAndFromItself) {
  grid->SetEditable(false);
  LoadProps("  EditCell = { 0200010001 }\n");
  grid->SetAfterLastCellEdit(lc_first);
  int col = 3, row = 2;
  grid->NextEditableCell(col, row);
  EXPECT_EQ(col, 2);
  EXPECT_EQ(row, 1);
  grid->NextEditableCell(col, row);  // all the way round
  EXPECT_EQ(col, 2);
  EXPECT_EQ(row, 1);
}

TEST_F(AligridNavigate, SkipsReadOnlyCellsInTheEditDirection) {
  LoadProps("  EditCol = { 020000 }\n");
  grid->SetNextCellEdit(nc_rightdown);
  int col = 1, row = 1;
  grid->NextEditableCell(col, row);
  EXPECT_EQ(col, 3);
  EXPECT_EQ(row, 1);
}

TEST_F(AligridNavigate, StopRuleEndsWithoutANextCell) {
  grid->SetAfterLastCellEdit(lc_stop);
  int col = 3, row = 2;
  grid->NextEditableCell(col, row);
  EXPECT_EQ(col, -1);
  EXPECT_EQ(row, -1);
}

TEST_F(AligridNavigate, NewRowWithAnEditableCellIsTheResult) {
  int col = 3, row = 2;
  grid->NextEditableCell(col, row);
  EXPECT_EQ(col, 1);
  EXPECT_EQ(row, 3);
  EXPECT_EQ(grid->RowCount(), 4);
}

// Nothing editable and new rows on: the search adds one row or column, finds
// nothing there and stops instead of adding rows for ever. It ends at
// (-1, -1), or at the start's coordinates when a row added at the top
// brought the search back there.
struct EndlessCase {
  T_nextcell direction;
  int col, row;
  int cols, rows;
};

class AligridEndless : public AligridNavigate, public testing::WithParamInterface<EndlessCase> {};

TEST_P(AligridEndless, SearchWithoutAnyEditableCellEndsAfterOneAddition) {
  grid->SetEditable(false);
  grid->SetNextCellEdit(GetParam().direction);
  int col = 2, row = 1;
  grid->NextEditableCell(col, row);
  EXPECT_EQ(col, GetParam().col);
  EXPECT_EQ(row, GetParam().row);
  EXPECT_EQ(grid->ColCount(), GetParam().cols);
  EXPECT_EQ(grid->RowCount(), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AligridEndless,
    testing::Values(EndlessCase{nc_rightdown, -1, -1, 4, 4}, EndlessCase{nc_downright, -1, -1, 5, 3},
                    EndlessCase{nc_leftdown, -1, -1, 4, 4}, EndlessCase{nc_downleft, -1, -1, 5, 3},
                    EndlessCase{nc_leftup, 2, 1, 4, 4}, EndlessCase{nc_upleft, -1, -1, 5, 3},
                    EndlessCase{nc_rightup, 2, 1, 4, 4}, EndlessCase{nc_upright, -1, -1, 5, 3}));

// Tab and Shift+Tab.

class AligridTab : public AligridNavigate {
 protected:
  void SetUp() override {
    AligridNavigate::SetUp();
    TGridOptions o = grid->Options();
    o.Include(goTabs);
    grid->SetOptions(o);
    grid->FocusCell(1, 1, true);
  }
  void Tab(bool shift) {
    std::uint16_t key = 9;
    grid->KeyDown(key, shift ? TShiftState{ssShift} : TShiftState{});
    EXPECT_EQ(key, 0);
  }
  void ExpectAt(int col, int row) {
    EXPECT_EQ(grid->Col(), col);
    EXPECT_EQ(grid->Row(), row);
  }
};

TEST_F(AligridTab, TabGoesRightAndWrapsDown) {
  Tab(false);
  ExpectAt(2, 1);
  Tab(false);
  Tab(false);
  ExpectAt(1, 2);
}

TEST_F(AligridTab, ShiftTabGoesTheOppositeWayAndStartsOverAtTheEnd) {
  grid->FocusCell(1, 2, true);
  Tab(true);
  ExpectAt(3, 1);  // left of the first column: last column of the row above
  grid->FocusCell(1, 1, true);
  Tab(true);
  ExpectAt(3, 2);  // lc_first of nc_leftup: the bottom-right cell
  EXPECT_EQ(grid->RowCount(), 3);
}

TEST_F(AligridTab, SkipsColumnsWithoutTabStop) {
  grid->SetTabStops(2, false);
  Tab(false);
  ExpectAt(3, 1);
  Tab(true);
  ExpectAt(1, 1);
}

TEST_F(AligridTab, TabInTheLastCellWithNewRowsAddsARow) {
  grid->SetAfterLastCellTab(lc_newcolrow);
  grid->FocusCell(3, 2, true);
  Tab(false);
  ExpectAt(1, 3);
  EXPECT_EQ(grid->RowCount(), 4);
}

TEST_F(AligridTab, NoTabStopAnywhereLeavesTheCellAfterOneNewRow) {
  grid->SetAfterLastCellTab(lc_newcolrow);
  for (int c = 0; c < 4; ++c) grid->SetTabStops(c, false);
  grid->FocusCell(2, 1, true);
  Tab(false);
  ExpectAt(2, 1);
  EXPECT_EQ(grid->RowCount(), 4);
}

TEST_F(AligridTab, WithoutTheTabsOptionTheKeyIsLeftAlone) {
  TGridOptions o = grid->Options();
  o.Exclude(goTabs);
  grid->SetOptions(o);
  std::uint16_t key = 9;
  grid->KeyDown(key, {});
  EXPECT_EQ(key, 9);
  ExpectAt(1, 1);
}

// Inserting and moving columns and rows.

TEST_F(AligridNavigate, InsertColumnBeforeTheFixedOnesInsertsAfterThem) {
  LoadProps("  AlignCol = { 010000 }\n"
            "  AlignCell = { 0100010002 }\n");
  grid->SetCells(1, 1, QStringLiteral("a"));
  grid->SetCells(2, 1, QStringLiteral("b"));
  grid->SetCellHint(1, 2, QStringLiteral("vihje"));
  grid->SetCellColor(1, 2, clRed);
  grid->InsertColumn(0);
  EXPECT_EQ(grid->ColCount(), 5);
  EXPECT_EQ(grid->GetCellAlignment(1, 2), TMyAlign::alLeft);
  EXPECT_EQ(grid->GetCellAlignment(2, 2), TMyAlign::alRight);
  EXPECT_EQ(grid->GetCellAlignment(2, 1), TMyAlign::alCenter);
  EXPECT_EQ(grid->GetCellHint(2, 2), QStringLiteral("vihje"));
  EXPECT_EQ(grid->GetCellColor(2, 2), clRed);
  EXPECT_EQ(grid->GetCellColor(1, 2), grid->Color());
  EXPECT_EQ(grid->Cells(1, 1), QString());
  EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("a"));
  EXPECT_EQ(grid->Cells(3, 1), QStringLiteral("b"));
}

TEST_F(AligridNavigate, InsertRowShiftsRowsAndTheirAttributes) {
  LoadProps("  EditRow = { 020000 }\n");
  grid->SetCells(1, 2, QStringLiteral("z"));
  grid->SetCellHint(1, 2, QStringLiteral("h"));
  grid->InsertRow(2);
  EXPECT_EQ(grid->RowCount(), 4);
  EXPECT_TRUE(grid->GetCellEditable(1, 2));
  EXPECT_FALSE(grid->GetCellEditable(1, 3));
  EXPECT_EQ(grid->GetCellHint(1, 3), QStringLiteral("h"));
  EXPECT_EQ(grid->GetCellHint(1, 2), QString());
  EXPECT_EQ(grid->Cells(1, 3), QStringLiteral("z"));
  EXPECT_EQ(grid->Cells(1, 2), QString());
}

TEST_F(AligridNavigate, InsertAtTheEndClearsStaleTexts) {
  grid->SetCells(1, 2, QStringLiteral("vanha"));
  grid->SetRowCount(2);
  grid->InsertRow(2);
  EXPECT_EQ(grid->Cells(1, 2), QString());
}

TEST_F(AligridNavigate, ColumnMovedCarriesEveryAttribute) {
  LoadProps("  AlignCol = { 010000 }\n"
            "  EditCol = { 010000 }\n"
            "  FontCol = ( 1 255 -13 'Arial' 0 0 )\n"
            "  SelectedColorCol = ( 1 65280 )\n");
  grid->SetCellHint(1, 1, QStringLiteral("h"));
  grid->SetCellColor(1, 1, clRed);
  grid->ColumnMoved(1, 3);
  EXPECT_EQ(grid->GetCellAlignment(3, 2), TMyAlign::alRight);
  EXPECT_FALSE(grid->GetCellEditable(3, 2));
  EXPECT_EQ(grid->ResolveCellFont(3, 2)->Color(), 255);
  EXPECT_EQ(grid->ResolveSelectedCellColor(3, 2), 65280);
  EXPECT_EQ(grid->GetCellHint(3, 1), QStringLiteral("h"));
  EXPECT_EQ(grid->GetCellColor(3, 1), clRed);
  EXPECT_EQ(grid->GetCellAlignment(1, 2), TMyAlign::alLeft);
  EXPECT_TRUE(grid->GetCellEditable(1, 2));
  EXPECT_EQ(grid->GetCellHint(1, 1), QString());
}

TEST_F(AligridNavigate, RowMovedCarriesAttributesAndPadsShortTables) {
  LoadProps("  AlignRow = { 010002 }\n");
  grid->SetCellHint(2, 1, QStringLiteral("h"));
  grid->RowMoved(1, 2);
  EXPECT_EQ(grid->GetCellAlignment(2, 2), TMyAlign::alCenter);
  EXPECT_EQ(grid->GetCellAlignment(2, 1), TMyAlign::alLeft);
  EXPECT_EQ(grid->GetCellHint(2, 2), QStringLiteral("h"));
  grid->RowMoved(2, 1);
  EXPECT_EQ(grid->GetCellHint(2, 1), QStringLiteral("h"));
  EXPECT_EQ(grid->GetCellAlignment(2, 1), TMyAlign::alCenter);
}

TEST_F(AligridNavigate, MoveToTheSameIndexDoesNothing) {
  int moves = 0;
  grid->OnColumnMoved = [&moves](TObject*, int, int) { ++moves; };
  grid->ColumnMoved(2, 2);
  EXPECT_EQ(moves, 0);
}

}  // namespace
