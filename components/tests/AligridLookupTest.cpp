// The attribute look-up order of the aligned grid and the accessors that
// make a cell's font or brush on demand.
#include "components/tests/AligridTestSupport.h"


namespace {

// Reads stored grid properties into the grid (the grid is the form's root).
class AligridLookup : public AligridTest {
 protected:
  void SetUp() override {
    AligridTest::SetUp();
    grid->SetColCount(5);
    grid->SetRowCount(5);
    grid->SetFixedCols(1);
    grid->SetFixedRows(1);
  }
};

struct AlignCase {
  int col;
  int row;
  TMyAlign expected;
  const char* why;
};

class AligridAlignOrder : public AligridLookup, public testing::WithParamInterface<AlignCase> {};

// cell (3,3) centre; column 3 right, fixed column 3 centre; row 2 centre,
// fixed row 2 right; the grid-wide value is alLeft.
TEST_P(AligridAlignOrder, FirstPresentLevelWins) {
  LoadProps("  AlignCell = { 0300030002 }\n"
            "  AlignCol = { 030000 }\n"
            "  FixedAlignCol = { 030002 }\n"
            "  AlignRow = { 020002 }\n"
            "  FixedAlignRow = { 020000 }\n");
  const AlignCase& c = GetParam();
  EXPECT_EQ(grid->GetCellAlignment(c.col, c.row), c.expected) << c.why;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AligridAlignOrder,
    testing::Values(AlignCase{3, 3, TMyAlign::alCenter, "cell before column"},
                    AlignCase{3, 2, TMyAlign::alRight, "column before row"},
                    AlignCase{3, 0, TMyAlign::alCenter, "fixed cell: fixed column table"},
                    AlignCase{1, 2, TMyAlign::alCenter, "row when no column entry"},
                    AlignCase{0, 2, TMyAlign::alRight, "fixed cell: fixed row table"},
                    AlignCase{4, 4, TMyAlign::alLeft, "grid-wide value"},
                    AlignCase{-1, -1, TMyAlign::alLeft, "negative falls through"},
                    AlignCase{99, 99, TMyAlign::alLeft, "beyond every table"}));

TEST_F(AligridLookup, GridWideAlignmentFollowsTheProperty) {
  grid->SetAlignment(TMyAlign::alCenter);
  EXPECT_EQ(grid->GetCellAlignment(2, 2), TMyAlign::alCenter);
}

struct EditCase {
  int col;
  int row;
  bool expected;
};

class AligridEditOrder : public AligridLookup, public testing::WithParamInterface<EditCase> {};

// cell (2,2) no, cell (3,4) yes, column 3 no, row 4 no; grid-wide yes.
TEST_P(AligridEditOrder, CellThenColumnThenRowThenGrid) {
  LoadProps("  EditCell = { 0200020000 0300040001 }\n"
            "  EditCol = { 030000 }\n"
            "  EditRow = { 040000 }\n");
  EXPECT_EQ(grid->GetCellEditable(GetParam().col, GetParam().row), GetParam().expected)
      << GetParam().col << "," << GetParam().row;
}

INSTANTIATE_TEST_SUITE_P(Cases, AligridEditOrder,
                         testing::Values(EditCase{2, 2, false}, EditCase{3, 4, true},
                                         EditCase{3, 1, false}, EditCase{1, 4, false},
                                         EditCase{0, 4, false}, EditCase{2, 3, true},
                                         EditCase{-5, 2, true}));

TEST_F(AligridLookup, EditableOffMakesUnmarkedCellsReadOnly) {
  grid->SetEditable(false);
  EXPECT_FALSE(grid->GetCellEditable(2, 2));
}

TEST_F(AligridLookup, FontLevelsAndGridFont) {
  LoadProps("  FontCol = ( 2 255 -13 'Arial' 0 0 )\n"
            "  FontFixedRow = ( 3 65280 -13 'Arial' 0 1 )\n");
  EXPECT_EQ(grid->ResolveCellFont(2, 3)->Color(), 255);   // column before row
  EXPECT_EQ(grid->ResolveCellFont(0, 3)->Color(), 65280); // fixed: fixed row table
  EXPECT_EQ(grid->ResolveCellFont(1, 3), grid->Font());   // row 3 has no plain entry
  EXPECT_EQ(grid->ResolveCellFont(2, 0), grid->Font());   // fixed: no fixed column 2
}

TEST_F(AligridLookup, CellFontCopiesTheGridFontNotTheColumnFont) {
  LoadProps("  FontCol = ( 2 255 -20 'Courier New' 0 0 )\n");
  grid->Font()->SetColor(clGreen);
  TMyFont* font = grid->GetCellFont(2, 2);
  EXPECT_EQ(font->Color(), clGreen);
  EXPECT_EQ(font->Height(), grid->Font()->Height());
  EXPECT_EQ(grid->ResolveCellFont(2, 2), font);
  EXPECT_EQ(grid->GetCellFont(2, 2), font);  // made once
  font->SetColor(clRed);
  EXPECT_EQ(grid->ResolveCellFont(2, 2)->Color(), clRed);
  EXPECT_EQ(grid->ResolveCellFont(2, 3)->Color(), 255);
}

TEST_F(AligridLookup, CellColourChangesOnlyThatCell) {
  const TColor before = grid->GetCellColor(3, 3);
  EXPECT_EQ(before, grid->Color());
  grid->SetCellColor(2, 2, clRed);
  EXPECT_EQ(grid->GetCellColor(2, 2), clRed);
  EXPECT_EQ(grid->GetCellColor(3, 3), before);
  EXPECT_EQ(grid->GetCellColor(2, 3), before);
  grid->SetColor(clYellow);
  EXPECT_EQ(grid->GetCellColor(3, 3), clYellow);
  EXPECT_EQ(grid->GetCellColor(2, 2), clRed);
}

TEST_F(AligridLookup, FixedCellBrushIsCopiedFromTheGridsOwnBrush) {
  grid->SetColor(clYellow);
  EXPECT_EQ(grid->GetCellColor(0, 1), clBtnFace);
  EXPECT_EQ(grid->GetCellBrush(0, 1)->Color(), clYellow);
  EXPECT_EQ(grid->GetCellColor(0, 1), clYellow);
}

TEST_F(AligridLookup, FixedColorRecoloursFixedCellsWithoutTheirOwnBrush) {
  LoadProps("  BrushFixedCol = ( 0 255 0 )\n");
  grid->SetFixedColor(clAqua);
  EXPECT_EQ(grid->FixedColor(), clAqua);
  EXPECT_EQ(grid->FixedBrush()->Color(), clAqua);
  EXPECT_EQ(grid->GetCellColor(2, 0), clAqua);
  EXPECT_EQ(grid->GetCellColor(0, 2), 255);  // fixed column 0 has a brush
  EXPECT_EQ(grid->GetCellColor(2, 2), grid->Color());
}

TEST_F(AligridLookup, SelectedColoursByLevel) {
  LoadProps("  SelectedColorCell = ( 1 1 255 )\n"
            "  SelectedColorCol = ( 2 65280 )\n"
            "  SelectedColorRow = ( 3 16711680 )\n");
  EXPECT_EQ(grid->ResolveSelectedCellColor(1, 1), 255);
  EXPECT_EQ(grid->ResolveSelectedCellColor(2, 3), 65280);
  EXPECT_EQ(grid->ResolveSelectedCellColor(1, 3), 16711680);
  EXPECT_EQ(grid->ResolveSelectedCellColor(4, 4), clActiveCaption);
  EXPECT_EQ(grid->ResolveSelectedFontColor(1, 1), clWhite);
  grid->SetSelectedFontColor(clBlack);
  EXPECT_EQ(grid->ResolveSelectedFontColor(1, 1), clBlack);
}

TEST_F(AligridLookup, HintsAreCellOnlyAndEmptyByDefault) {
  EXPECT_EQ(grid->GetCellHint(1, 1), QString());
  grid->SetCellHint(1, 1, QStringLiteral("Äiti"));
  EXPECT_EQ(grid->GetCellHint(1, 1), QStringLiteral("Äiti"));
  grid->SetCellHint(1, 1, QStringLiteral("Isä"));
  EXPECT_EQ(grid->GetCellHint(1, 1), QStringLiteral("Isä"));
  EXPECT_EQ(grid->GetCellHint(1, 2), QString());
  EXPECT_EQ(grid->GetCellHint(-1, 1), QString());
}

TEST_F(AligridLookup, NegativeCellForAnAccessorIsAListError) {
  EXPECT_THROW(grid->GetCellFont(-1, 0), EListError);
  EXPECT_THROW(grid->SetCellColor(0, -1, clRed), EListError);
}

TEST_F(AligridLookup, FixedCellTest) {
  EXPECT_TRUE(grid->IsFixedCell(0, 3));
  EXPECT_TRUE(grid->IsFixedCell(3, 0));
  EXPECT_FALSE(grid->IsFixedCell(1, 1));
  grid->SetFixedCols(0);
  EXPECT_FALSE(grid->IsFixedCell(0, 3));
}

TEST_F(AligridLookup, BuiltInComparisonsAreByteWise) {
  grid->SetCells(1, 1, QStringLiteral("a"));
  grid->SetCells(1, 2, QStringLiteral("B"));
  grid->SetCells(2, 1, QStringLiteral("Ä"));
  grid->SetCells(2, 2, QStringLiteral("a"));
  ASSERT_TRUE(grid->OnCompareCol);
  EXPECT_EQ(grid->OnCompareCol(grid, 1, 1, 2), rel_greater);  // 'a' > 'B'
  EXPECT_EQ(grid->OnCompareCol(grid, 1, 2, 1), rel_less);
  EXPECT_EQ(grid->OnCompareCol(grid, 1, 1, 1), rel_equal);
  EXPECT_EQ(grid->OnCompareRow(grid, 1, 2, 1), rel_greater);  // 0xC4 > 'a'
  EXPECT_EQ(grid->OnCompareRow(grid, 2, 1, 2), rel_less);     // 'B' < 'a'
}

}  // namespace
