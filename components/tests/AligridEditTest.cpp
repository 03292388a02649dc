// In-place editing of the aligned grid: which cells open the editor, the
// order of the edit events, Enter and Esc, the advance after Enter, typed
// characters on read-only cells, and the focus leaving and coming back.
#include "components/tests/AligridTestSupport.h"


#include <QStringList>

namespace {

// 4 x 3 with one fixed column and row; editing on; every event logged.
class AligridEdit : public AligridTest {
 protected:
  void SetUp() override {
    AligridTest::SetUp();
    UseSmallGrid();
    grid->OnBeforeEdit = [this](TObject*, int c, int r) { Log("before", c, r); };
    grid->OnAfterEdit = [this](TObject*, int c, int r) { Log("after", c, r); };
    grid->OnCancelEdit = [this](TObject*, int c, int r) { Log("cancel", c, r); };
    form->Show();
  }
  void Log(const char* what, int c, int r) {
    log.append(QStringLiteral("%1 %2,%3").arg(QLatin1String(what)).arg(c).arg(r));
  }
  // Opens the editor on a cell; nullptr when it did not open. Editing is
  // switched on only once the cell is current, so no other cell was edited.
  TNewInplaceEdit* EditAt(int c, int r) {
    grid->FocusCell(c, r, true);
    TGridOptions o = grid->Options();
    o.Include(goEditing);
    o.Include(goAlwaysShowEditor);
    grid->SetOptions(o);
    grid->SetEditorMode(true);
    grid->ShowEditor();
    auto* editor = dynamic_cast<TNewInplaceEdit*>(grid->InplaceEditor());
    return grid->EditorMode() ? editor : nullptr;
  }
  static void Type(TControl* c, char ch) {
    c->Perform(WM_CHAR, static_cast<unsigned char>(ch), 1);
  }

  QStringList log;
};

TEST_F(AligridEdit, EnterAcceptsAndFiresAfterEdit) {
  TNewInplaceEdit* editor = EditAt(1, 1);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(log, QStringList({"before 1,1"}));
  EXPECT_EQ(editor->EditCol(), 1);
  EXPECT_EQ(editor->EditRow(), 1);
  editor->SetText(QStringLiteral("KISSA"));
  Type(editor, 13);
  Pump();
  EXPECT_EQ(log, QStringList({"before 1,1", "after 1,1"}));
  EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("KISSA"));
}

TEST_F(AligridEdit, EscRestoresTheStartTextAndCancels) {
  grid->SetCells(2, 1, QStringLiteral("alku"));
  TNewInplaceEdit* editor = EditAt(2, 1);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->StartText(), QStringLiteral("alku"));
  editor->SetText(QStringLiteral("muutettu"));
  EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("muutettu"));
  Type(editor, 27);
  EXPECT_EQ(editor->Text(), QStringLiteral("alku"));
  Pump();
  EXPECT_EQ(grid->Cells(2, 1), QStringLiteral("alku"));
  EXPECT_EQ(log, QStringList({"before 2,1", "cancel 2,1"}));
}

TEST_F(AligridEdit, MovingToAnotherCellFiresAfterForTheOldThenBeforeForTheNew) {
  ASSERT_NE(EditAt(1, 1), nullptr);
  grid->FocusCell(2, 2, true);
  Pump();
  EXPECT_EQ(log, QStringList({"before 1,1", "after 1,1", "before 2,2"}));
}

TEST_F(AligridEdit, ReadOnlyCellOpensNoEditorAndTypedCharactersReachOnKeyPress) {
  LoadProps("  EditCell = { 0200010000 }\n");
  EXPECT_EQ(EditAt(2, 1), nullptr);
  EXPECT_TRUE(log.isEmpty());
  QString pressed;
  grid->OnKeyPress = [&pressed](TObject*, char& key) { pressed += QLatin1Char(key); };
  Type(grid, 'a');
  EXPECT_EQ(pressed, QStringLiteral("a"));
  EXPECT_FALSE(grid->EditorMode());
}

TEST_F(AligridEdit, EditorTakesTheCellsAlignmentFontAndColour) {
  LoadProps("  AlignCol = { 020000 }\n  FontCell = ( 2 1 255 -20 'Arial' 0 1 )\n");
  grid->SetCellColor(2, 1, clYellow);
  TNewInplaceEdit* editor = EditAt(2, 1);
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->CellAlignment(), TMyAlign::alRight);
  EXPECT_EQ(editor->Alignment(), taRightJustify);
  EXPECT_EQ(editor->Font()->Color(), 255);
  EXPECT_EQ(editor->Font()->Height(), -20);
  EXPECT_EQ(editor->Color(), clYellow);
  grid->FocusCell(1, 1, true);
  Pump();
  EXPECT_EQ(editor->CellAlignment(), TMyAlign::alLeft);
}

TEST_F(AligridEdit, AutoEditAppendsARowAfterTheLastCell) {
  grid->SetAutoEditNextCell(true);
  TNewInplaceEdit* editor = EditAt(3, 2);
  ASSERT_NE(editor, nullptr);
  Type(editor, 13);
  Pump();
  EXPECT_EQ(grid->RowCount(), 4);
  EXPECT_EQ(grid->Col(), 1);
  EXPECT_EQ(grid->Row(), 3);
  EXPECT_TRUE(grid->EditorMode());
  EXPECT_EQ(log, QStringList({"before 3,2", "after 3,2", "before 1,3"}));
}

TEST_F(AligridEdit, AutoEditSkipsReadOnlyCells) {
  grid->SetAutoEditNextCell(true);
  LoadProps("  EditCol = { 020000 }\n");
  TNewInplaceEdit* editor = EditAt(1, 1);
  ASSERT_NE(editor, nullptr);
  Type(editor, 13);
  Pump();
  EXPECT_EQ(grid->Col(), 3);
  EXPECT_EQ(grid->Row(), 1);
}

TEST_F(AligridEdit, AutoEditWithStopRuleStaysInTheLastCell) {
  grid->SetAutoEditNextCell(true);
  grid->SetAfterLastCellEdit(lc_stop);
  TNewInplaceEdit* editor = EditAt(3, 2);
  ASSERT_NE(editor, nullptr);
  Type(editor, 13);
  Pump();
  EXPECT_EQ(log, QStringList({"before 3,2", "after 3,2"}));
  EXPECT_EQ(grid->Col(), 3);
  EXPECT_EQ(grid->Row(), 2);
  EXPECT_EQ(grid->RowCount(), 3);
}

TEST_F(AligridEdit, LosingTheFocusAcceptsAndComingBackReopens) {
  TNewInplaceEdit* editor = EditAt(1, 1);
  ASSERT_NE(editor, nullptr);
  editor->SetText(QStringLiteral("abcdef"));
  editor->SetSelStart(2);
  editor->SetSelLength(3);
  grid->DoExit();
  EXPECT_EQ(log, QStringList({"before 1,1", "after 1,1"}));
  EXPECT_FALSE(editor->Visible());
  grid->DoEnter();
  Pump();
  EXPECT_TRUE(grid->EditorMode());
  EXPECT_EQ(editor->SelStart(), 2);
  EXPECT_EQ(editor->SelLength(), 3);
}

TEST_F(AligridEdit, EditorIgnoresKeysWhileNoCellIsRemembered) {
  TNewInplaceEdit* editor = EditAt(1, 1);
  ASSERT_NE(editor, nullptr);
  editor->SetEditCell(-1, -1);
  Type(editor, 13);
  Pump();
  EXPECT_FALSE(log.contains(QStringLiteral("after 1,1")));
}

}  // namespace
