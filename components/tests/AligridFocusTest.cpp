// The focus really leaving the aligned grid while its editor is open (to
// another control of the form) and coming back: the edit is accepted on the
// way out, and with goAlwaysShowEditor the editor reopens with the selection
// it had.
#include "components/tests/AligridTestSupport.h"

#include "platform/controls/Edit.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QStringList>

namespace {

class AligridFocus : public AligridTest {
 protected:
  void SetUp() override {
    AligridTest::SetUp();
    UseSmallGrid();
    grid->SetCells(1, 1, QStringLiteral("abcdef"));
    grid->OnAfterEdit = [this](TObject*, int c, int r) {
      log.append(QStringLiteral("after %1,%2").arg(c).arg(r));
    };
    other = new TEdit(form);
    other->SetParent(form);
    other->SetBounds(0, 150, 80, 21);
  }

  // Shows the form as the active window; false when the platform has no
  // focus to give.
  bool ActivateForm() {
    form->Show();
    Pump();
    form->Widget()->activateWindow();
    Pump();
    return form->Widget()->isActiveWindow();
  }

  // Focuses the grid with editing on; the editor opens over (1, 1).
  TInplaceEdit* OpenEditor(TGridOptions extra) {
    grid->SetOptions(grid->Options() + TGridOptions{goEditing} + extra);
    grid->SetFocus();
    Pump();
    grid->SetEditorMode(true);
    Pump();
    TInplaceEdit* editor = grid->InplaceEditor();
    return editor != nullptr && editor->Visible() && editor->Focused() ? editor : nullptr;
  }

  static void Key(TInplaceEdit* editor, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent e(QEvent::KeyPress, key, mods);
    QCoreApplication::sendEvent(editor->NativeWidget(), &e);
  }

  TEdit* other = nullptr;
  QStringList log;
};

TEST_F(AligridFocus, SelectionSurvivesTheFocusLeavingAndComingBack) {
  if (!ActivateForm()) GTEST_SKIP() << "the platform gives no focus";
  TInplaceEdit* editor = OpenEditor(TGridOptions{goAlwaysShowEditor});
  ASSERT_NE(editor, nullptr);
  // Caret after "abcd", then "bcd" selected backwards with the keyboard.
  Key(editor, Qt::Key_Home);
  for (int i = 0; i < 4; ++i) Key(editor, Qt::Key_Right);
  for (int i = 0; i < 3; ++i) Key(editor, Qt::Key_Left, Qt::ShiftModifier);
  ASSERT_EQ(editor->SelText(), QStringLiteral("bcd"));

  other->SetFocus();
  Pump();
  ASSERT_TRUE(other->Focused());
  EXPECT_FALSE(editor->Visible());
  EXPECT_EQ(log, QStringList{QStringLiteral("after 1,1")});
  // The hidden editor still has it, as a native edit would.
  EXPECT_EQ(editor->SelText(), QStringLiteral("bcd"));

  grid->SetFocus();
  Pump();
  ASSERT_TRUE(editor->Visible());
  EXPECT_TRUE(editor->Focused());
  EXPECT_EQ(editor->SelStart(), 1);
  EXPECT_EQ(editor->SelLength(), 3);
  EXPECT_EQ(editor->Editor()->selectedText(), QStringLiteral("bcd"));  // shown again
  EXPECT_EQ(grid->Cells(1, 1), QStringLiteral("abcdef"));
}

// Without goAlwaysShowEditor the editor stays shut when the focus returns.
TEST_F(AligridFocus, WithoutAlwaysShowTheEditorStaysShut) {
  if (!ActivateForm()) GTEST_SKIP() << "the platform gives no focus";
  TInplaceEdit* editor = OpenEditor({});
  ASSERT_NE(editor, nullptr);
  other->SetFocus();
  Pump();
  grid->SetFocus();
  Pump();
  EXPECT_FALSE(editor->Visible());
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_TRUE(grid->Focused());
}

}  // namespace
