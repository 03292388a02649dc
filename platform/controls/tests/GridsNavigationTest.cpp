// Moving the current cell: keys, Tab with tab stops, OnSelectCell, the mouse
// (press, drag, release outside) and scrolling that follows the current cell.
#include "platform/controls/tests/GridsTestSupport.h"

namespace {

class GridsNavigationTest : public GridsTest {};

struct KeyCase {
  const char* name;
  TGridCoord start;
  std::uint16_t key;
  TShiftState shift;
  TGridCoord expected;
};

TEST_F(GridsNavigationTest, KeysMoveTheCurrentCellWithinTheScrollableCells) {
  const KeyCase cases[] = {
      {"right", {1, 1}, kKeyRight, {}, {2, 1}},
      {"right at the end", {4, 1}, kKeyRight, {}, {4, 1}},
      {"left stops before fixed", {1, 1}, kKeyLeft, {}, {1, 1}},
      {"left", {3, 2}, kKeyLeft, {}, {2, 2}},
      {"up", {2, 2}, kKeyUp, {}, {2, 1}},
      {"up stops before fixed", {2, 1}, kKeyUp, {}, {2, 1}},
      {"down", {2, 2}, kKeyDown, {}, {2, 3}},
      {"down at the end", {2, 4}, kKeyDown, {}, {2, 4}},
      {"home", {3, 2}, kKeyHome, {}, {1, 2}},
      {"end", {2, 2}, kKeyEnd, {}, {4, 2}},
      {"ctrl home", {3, 3}, kKeyHome, {ssCtrl}, {1, 1}},
      {"ctrl end", {1, 1}, kKeyEnd, {ssCtrl}, {4, 4}},
      {"page down", {2, 1}, kKeyNext, {}, {2, 4}},
      {"page up", {2, 4}, kKeyPrior, {}, {2, 1}},
      {"ctrl arrow scrolls only", {2, 2}, kKeyDown, {ssCtrl}, {2, 2}},
      {"tab without goTabs", {2, 2}, kKeyTab, {}, {2, 2}},
  };
  for (const KeyCase& c : cases) {
    grid->FocusCell(c.start.X, c.start.Y, true);
    std::uint16_t key = c.key;
    grid->KeyDown(key, c.shift);
    EXPECT_EQ(Current(), c.expected) << c.name;
  }
}

TEST_F(GridsNavigationTest, TabMovesAlongRowsAndSkipsColumnsWithoutTabStop) {
  grid->SetOptions(grid->Options() + TGridOptions{goTabs});
  const KeyCase cases[] = {
      {"tab", {1, 1}, kKeyTab, {}, {2, 1}},
      {"tab wraps to the next row", {4, 1}, kKeyTab, {}, {1, 2}},
      {"tab wraps to the first cell", {4, 4}, kKeyTab, {}, {1, 1}},
      {"shift tab", {2, 2}, kKeyTab, {ssShift}, {1, 2}},
      {"shift tab wraps to the row above", {1, 2}, kKeyTab, {ssShift}, {4, 1}},
      {"shift tab wraps to the last cell", {1, 1}, kKeyTab, {ssShift}, {4, 4}},
  };
  for (const KeyCase& c : cases) {
    grid->FocusCell(c.start.X, c.start.Y, true);
    std::uint16_t key = c.key;
    grid->KeyDown(key, c.shift);
    EXPECT_EQ(Current(), c.expected) << c.name;
    EXPECT_EQ(key, 0) << c.name << ": Tab is used up";
  }
  grid->SetTabStops(2, false);
  grid->SetTabStops(3, false);
  grid->FocusCell(1, 1, true);
  Key(kKeyTab);
  EXPECT_EQ(Current(), (TGridCoord{4, 1}));
  Key(kKeyTab, {ssShift});
  EXPECT_EQ(Current(), (TGridCoord{1, 1}));
  EXPECT_FALSE(grid->TabStops(2));
  EXPECT_TRUE(grid->TabStops(4));
}

TEST_F(GridsNavigationTest, TabThroughTheMessageIsUsedUpOnlyWithGoTabs) {
  ShowForm();
  EXPECT_EQ(grid->Perform(WM_KEYDOWN, kKeyTab, 1), 0);
  EXPECT_EQ(Current(), (TGridCoord{1, 1}));
  grid->SetOptions(grid->Options() + TGridOptions{goTabs});
  EXPECT_EQ(grid->Perform(WM_KEYDOWN, kKeyTab, 1), 1);
  EXPECT_EQ(Current(), (TGridCoord{2, 1}));
}

TEST_F(GridsNavigationTest, ShiftArrowsExtendTheSelectionOnlyWithRangeSelect) {
  Key(kKeyRight, {ssShift});
  Key(kKeyDown, {ssShift});
  EXPECT_EQ(Current(), (TGridCoord{2, 2}));
  EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 2, 2}));
  Key(kKeyDown);
  EXPECT_EQ(grid->Selection(), (TGridRect{2, 3, 2, 3}));
  grid->SetOptions(grid->Options() - TGridOptions{goRangeSelect});
  Key(kKeyRight, {ssShift});
  EXPECT_EQ(grid->Selection(), (TGridRect{3, 3, 3, 3}));
}

TEST_F(GridsNavigationTest, RowSelectCoversTheWholeRow) {
  grid->SetOptions(grid->Options() + TGridOptions{goRowSelect});
  Key(kKeyDown);
  EXPECT_EQ(grid->Selection(), (TGridRect{1, 2, 4, 2}));
  Key(kKeyRight);
  EXPECT_EQ(Current(), (TGridCoord{1, 2}));
}

TEST_F(GridsNavigationTest, SelectCellCanRefuseKeysMouseAndCode) {
  std::vector<TGridCoord> asked;
  grid->OnSelectCell = [&](TObject* sender, int c, int r, bool& canSelect) {
    EXPECT_EQ(sender, grid);
    asked.push_back({c, r});
    canSelect = c != 3;
  };
  grid->FocusCell(2, 1, true);
  Key(kKeyRight);
  EXPECT_EQ(Current(), (TGridCoord{2, 1}));
  Press(70, 30);  // cell (3, 2)
  Release(70, 30);
  EXPECT_EQ(Current(), (TGridCoord{2, 1}));
  grid->SetCol(3);
  EXPECT_EQ(Current(), (TGridCoord{2, 1}));
  Press(90, 30);  // cell (4, 2)
  Release(90, 30);
  EXPECT_EQ(Current(), (TGridCoord{4, 2}));
  // The release asks again for the cell it ends on.
  EXPECT_EQ(asked,
            (std::vector<TGridCoord>{{2, 1}, {3, 1}, {3, 2}, {3, 2}, {3, 1}, {4, 2}}));
  grid->OnSelectCell = nullptr;
}

TEST_F(GridsNavigationTest, ScrollingFollowsTheCurrentCell) {
  grid->SetColCount(20);
  grid->SetRowCount(20);
  grid->SetBounds(0, 0, 110, 60);  // 4 columns and 4 rows after the fixed ones
  for (int i = 0; i < 10; ++i) Key(kKeyRight);
  EXPECT_EQ(grid->Col(), 11);
  EXPECT_EQ(grid->LeftCol(), 8);
  EXPECT_LE(grid->CellRect(11, 1).Right, grid->ClientWidth());
  Key(kKeyHome);
  EXPECT_EQ(grid->LeftCol(), 1);
  Key(kKeyNext);
  EXPECT_EQ(grid->Row(), 5);
  EXPECT_EQ(grid->TopRow(), 5);
  Key(kKeyEnd, {ssCtrl});
  EXPECT_EQ(Current(), (TGridCoord{19, 19}));
  EXPECT_EQ(grid->TopRow(), 16);
  EXPECT_EQ(grid->LeftCol(), 16);
  Key(kKeyUp, {ssCtrl});
  EXPECT_EQ(grid->TopRow(), 15);
  EXPECT_EQ(Current(), (TGridCoord{19, 19}));
}

TEST_F(GridsNavigationTest, PressSelectsAndDragExtendsWithRangeSelect) {
  Press(25, 15);  // (1, 1)
  MoveTo(70, 40);  // (3, 3)
  Release(70, 40);
  EXPECT_EQ(Current(), (TGridCoord{3, 3}));
  EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 3, 3}));
  grid->SetOptions(grid->Options() - TGridOptions{goRangeSelect});
  Press(25, 15);
  MoveTo(70, 40);
  Release(70, 40);
  EXPECT_EQ(grid->Selection(), (TGridRect{3, 3, 3, 3}));
}

TEST_F(GridsNavigationTest, ShiftPressExtendsFromTheAnchor) {
  Press(25, 15);
  Release(25, 15);
  Press(90, 50, MK_LBUTTON | MK_SHIFT);  // (4, 4)
  Release(90, 50);
  EXPECT_EQ(grid->Selection(), (TGridRect{1, 1, 4, 4}));
}

TEST_F(GridsNavigationTest, PressesOnFixedCellsOrOutsideMoveNothing) {
  Press(5, 30);
  Release(5, 30);
  Press(150, 80);
  Release(150, 80);
  EXPECT_EQ(Current(), (TGridCoord{1, 1}));
}

// The game takes both cells from its mouse handlers: a release far outside
// still reaches the grid, which held the mouse since the press.
TEST_F(GridsNavigationTest, ReleaseOutsideReachesTheGridAsNoCell) {
  ShowForm();
  std::vector<TGridCoord> downs;
  std::vector<TGridCoord> ups;
  bool capturedWhileDown = false;
  grid->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
    int c = 0;
    int r = 0;
    grid->MouseToCell(x, y, c, r);
    downs.push_back({c, r});
    capturedWhileDown = grid->MouseCapture();
  };
  grid->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
    int c = 0;
    int r = 0;
    grid->MouseToCell(x, y, c, r);
    ups.push_back({c, r});
  };
  SendMouse(grid, QEvent::MouseButtonPress, 50, 25);     // (2, 2)
  SendMouse(grid, QEvent::MouseButtonRelease, 400, -30);  // outside the grid
  SendMouse(grid, QEvent::MouseButtonPress, 50, 25);
  SendMouse(grid, QEvent::MouseButtonRelease, 60, 300);  // below column 2
  EXPECT_EQ(downs, (std::vector<TGridCoord>{{2, 2}, {2, 2}}));
  EXPECT_EQ(ups, (std::vector<TGridCoord>{{-1, -1}, {-1, -1}}));
  EXPECT_TRUE(capturedWhileDown);
  EXPECT_FALSE(grid->MouseCapture());
  grid->OnMouseDown = nullptr;
  grid->OnMouseUp = nullptr;
}

TEST_F(GridsNavigationTest, SizingColumnsAndRowsByMouse) {
  grid->SetOptions(grid->Options() + TGridOptions{goColSizing, goRowSizing});
  Press(41, 5);  // the line after column 1, in the fixed row
  MoveTo(60, 5);
  Release(70, 5);
  EXPECT_EQ(grid->ColWidths(1), 49);
  EXPECT_EQ(Current(), (TGridCoord{1, 1}));
  Press(5, 21);  // the line after row 1, in the fixed column
  Release(5, 40);
  EXPECT_EQ(grid->RowHeights(1), 29);
}

TEST_F(GridsNavigationTest, MovingColumnsAndRowsByMouse) {
  grid->SetOptions(grid->Options() + TGridOptions{goColMoving, goRowMoving});
  std::vector<std::pair<int, int>> moves;
  grid->OnColumnMoved = [&](TObject*, int f, int t) { moves.push_back({f, t}); };
  grid->OnRowMoved = [&](TObject*, int f, int t) { moves.push_back({-f, -t}); };
  grid->SetCells(1, 0, QStringLiteral("A"));
  Press(30, 5);   // fixed cell over column 1
  MoveTo(70, 5);  // over column 3
  Release(70, 5);
  EXPECT_EQ(grid->Cells(3, 0), "A");
  Press(5, 15);  // fixed cell before row 1
  Release(5, 50);
  EXPECT_EQ(moves, (std::vector<std::pair<int, int>>{{1, 3}, {-1, -4}}));
  grid->OnColumnMoved = nullptr;
  grid->OnRowMoved = nullptr;
}

}  // namespace
