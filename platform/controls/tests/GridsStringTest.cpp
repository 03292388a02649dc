// TStringGrid's cells: texts and objects, rows and columns as lists, and
// moving columns and rows (from code and through the protected moves a
// derived grid calls).
#include "platform/controls/tests/GridsTestSupport.h"

namespace {

class GridsStringTest : public GridsTest {
 protected:
  // Cell (c, r) holds "c,r" and object number 10 * c + r (as a fake pointer
  // it is never dereferenced).
  void Fill() {
    for (int c = 0; c < 5; ++c)
      for (int r = 0; r < 5; ++r) {
        grid->SetCells(c, r, QStringLiteral("%1,%2").arg(c).arg(r));
        grid->SetObjects(c, r, Obj(10 * c + r));
      }
  }
  static TObject* Obj(int n) { return reinterpret_cast<TObject*>(objects + n); }
  static char objects[64];
};

char GridsStringTest::objects[64];

TEST_F(GridsStringTest, CellsAndObjectsStartEmptyAndKeepWhatIsSet) {
  EXPECT_EQ(grid->Cells(3, 3), "");
  EXPECT_EQ(grid->Objects(3, 3), nullptr);
  EXPECT_EQ(grid->Cells(-1, 2), "");
  grid->SetCells(3, 3, QStringLiteral("x"));
  grid->SetObjects(2, 4, Obj(1));
  EXPECT_EQ(grid->Cells(3, 3), "x");
  EXPECT_EQ(grid->Objects(2, 4), Obj(1));
  EXPECT_EQ(grid->Objects(3, 3), nullptr);
  EXPECT_THROW(grid->SetCells(-1, 0, QStringLiteral("y")), EInvalidGridOperation);
  EXPECT_THROW(grid->SetCells(0, -1, QString()), EInvalidGridOperation);
}

TEST_F(GridsStringTest, TextsOutsideTheCountsSurviveShrinking) {
  grid->SetCells(4, 4, QStringLiteral("kept"));
  grid->SetColCount(2);
  grid->SetColCount(5);
  EXPECT_EQ(grid->Cells(4, 4), "kept");
}

TEST_F(GridsStringTest, ColsAndRowsAreTheTextsOfOneColumnOrRow) {
  Fill();
  EXPECT_EQ(grid->Cols(2), (QStringList{"2,0", "2,1", "2,2", "2,3", "2,4"}));
  EXPECT_EQ(grid->Rows(3), (QStringList{"0,3", "1,3", "2,3", "3,3", "4,3"}));
  grid->SetRows(1, {QStringLiteral("a"), QStringLiteral("b")});
  EXPECT_EQ(grid->Rows(1), (QStringList{"a", "b", "", "", ""}));
  grid->SetCols(4, {QStringLiteral("z")});
  EXPECT_EQ(grid->Cols(4), (QStringList{"z", "", "", "", ""}));
}

struct MoveCase {
  const char* name;
  int from;
  int to;
  const char* order;  // the old index now at 0..4
};

TEST_F(GridsStringTest, MoveColumnTakesTextsObjectsAndWidths) {
  const MoveCase cases[] = {
      {"forward", 1, 3, "02314"},
      {"backward", 4, 0, "40123"},
      {"neighbour", 2, 3, "01324"},
      {"same", 2, 2, "01234"},
  };
  for (const MoveCase& m : cases) {
    Fill();
    grid->SetDefaultColWidth(20);
    grid->SetColWidths(m.from, 33);
    std::vector<std::pair<int, int>> events;
    grid->OnColumnMoved = [&](TObject*, int f, int t) { events.push_back({f, t}); };
    grid->MoveColumn(m.from, m.to);
    for (int c = 0; c < 5; ++c) {
      const int old = m.order[c] - '0';
      EXPECT_EQ(grid->Cells(c, 2), QStringLiteral("%1,2").arg(old)) << m.name << " col " << c;
      EXPECT_EQ(grid->Objects(c, 3), Obj(10 * old + 3)) << m.name << " col " << c;
    }
    EXPECT_EQ(grid->ColWidths(m.to), 33) << m.name;
    const bool moved = m.from != m.to;
    EXPECT_EQ(events.size(), moved ? 1u : 0u) << m.name;
    grid->OnColumnMoved = nullptr;
  }
}

TEST_F(GridsStringTest, MoveRowTakesTextsObjectsAndHeights) {
  const MoveCase cases[] = {
      {"forward", 0, 4, "12340"},
      {"backward", 3, 1, "03124"},
  };
  for (const MoveCase& m : cases) {
    Fill();
    grid->SetDefaultRowHeight(10);
    grid->SetRowHeights(m.from, 17);
    grid->MoveRow(m.from, m.to);
    for (int r = 0; r < 5; ++r) {
      const int old = m.order[r] - '0';
      EXPECT_EQ(grid->Cells(4, r), QStringLiteral("4,%1").arg(old)) << m.name << " row " << r;
      EXPECT_EQ(grid->Objects(1, r), Obj(10 + old)) << m.name << " row " << r;
    }
    EXPECT_EQ(grid->RowHeights(m.to), 17) << m.name;
  }
}

TEST_F(GridsStringTest, MovesCheckTheirIndices) {
  EXPECT_THROW(grid->MoveColumn(0, 5), EInvalidGridOperation);
  EXPECT_THROW(grid->MoveRow(-1, 2), EInvalidGridOperation);
}

TEST_F(GridsStringTest, TheCurrentCellFollowsItsColumn) {
  grid->FocusCell(2, 3, true);
  grid->MoveColumn(2, 4);
  EXPECT_EQ(Current(), (TGridCoord{4, 3}));
  grid->MoveColumn(1, 4);
  EXPECT_EQ(Current(), (TGridCoord{3, 3}));
  grid->MoveRow(3, 1);
  EXPECT_EQ(Current(), (TGridCoord{3, 1}));
}

// What a derived grid relies on: the string grid's own moves shift only the
// cells, also past the last stored entry, one step at a time.
TEST_F(GridsStringTest, TheStringGridsMovesShiftCellsOnly) {
  grid->SetCells(1, 1, QStringLiteral("a"));
  grid->SetCells(2, 1, QStringLiteral("b"));
  grid->SetColWidths(1, 30);
  // Bubble an empty column from the end (4) into place at 1.
  for (int u = 4; u > 1; --u) grid->ColumnMoved(u, u - 1);
  EXPECT_EQ(grid->Rows(1), (QStringList{"", "", "a", "b", ""}));
  EXPECT_EQ(grid->ColWidths(1), 30);
  grid->SetCells(0, 4, QStringLiteral("low"));
  grid->RowMoved(4, 0);
  EXPECT_EQ(grid->Cols(0), (QStringList{"low", "", "", "", ""}));
  grid->RowMoved(7, 9);  // both beyond everything stored: nothing changes
  EXPECT_EQ(grid->Cols(0), (QStringList{"low", "", "", "", ""}));
}

}  // namespace
