// The in-place editor: opening (F2, Enter, typing, a click on the current
// cell), accepting, cancelling with Esc, keys handed back to the grid, and
// an editor that always shows.
#include "platform/controls/tests/GridsTestSupport.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

class GridsEditTest : public GridsTest {
 protected:
  void SetUp() override {
    GridsTest::SetUp();
    grid->SetOptions(grid->Options() + TGridOptions{goEditing});
    grid->SetCells(1, 1, QStringLiteral("abc"));
    grid->SetCells(2, 1, QStringLiteral("def"));
  }

  // Types a character into the editor as the keyboard would.
  void Type(char ch) { grid->InplaceEditor()->Perform(WM_CHAR, static_cast<unsigned char>(ch), 0); }
  void EditorKey(std::uint16_t key) { grid->InplaceEditor()->Perform(WM_KEYDOWN, key, 1); }
  bool EditorShown() const {
    return grid->InplaceEditor() != nullptr && grid->InplaceEditor()->Visible();
  }
};

TEST_F(GridsEditTest, F2OpensTheEditorOverTheCellAndEnterAccepts) {
  if (!FocusGrid()) GTEST_SKIP() << "the platform gives no focus";
  Key(kKeyF2);
  ASSERT_TRUE(EditorShown());
  EXPECT_TRUE(grid->EditorMode());
  EXPECT_EQ(grid->InplaceEditor()->Text(), "abc");
  EXPECT_EQ(grid->InplaceEditor()->BoundsRect(), grid->CellRect(1, 1));
  EXPECT_EQ(grid->InplaceEditor()->Parent(), grid);
  Type('X');
  EXPECT_EQ(grid->Cells(1, 1), "abcX");  // F2 puts the caret at the end
  Type('\r');
  EXPECT_FALSE(EditorShown());
  EXPECT_FALSE(grid->EditorMode());
  EXPECT_EQ(grid->Cells(1, 1), "abcX");
}

TEST_F(GridsEditTest, TypingIntoTheGridReplacesTheText) {
  if (!FocusGrid()) GTEST_SKIP() << "the platform gives no focus";
  grid->Perform(WM_CHAR, 'Q', 0);
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(grid->Cells(1, 1), "Q");
  Type('R');
  EXPECT_EQ(grid->Cells(1, 1), "QR");
}

TEST_F(GridsEditTest, EscapePutsBackTheTextTheEditorOpenedWith) {
  if (!FocusGrid()) GTEST_SKIP() << "the platform gives no focus";
  Key(kKeyF2);
  Type('Z');
  Type('\b');
  Type('Y');
  EXPECT_EQ(grid->Cells(1, 1), "abcY");
  Type('\x1b');
  EXPECT_EQ(grid->Cells(1, 1), "abc");
  EXPECT_FALSE(EditorShown());
  EXPECT_TRUE(grid->Focused());
}

TEST_F(GridsEditTest, EnterOnTheGridOpensAndClosesTheEditor) {
  if (!FocusGrid()) GTEST_SKIP() << "the platform gives no focus";
  grid->Perform(WM_CHAR, '\r', 0);
  EXPECT_TRUE(EditorShown());
  Type('\r');
  EXPECT_FALSE(EditorShown());
  grid->Perform(WM_CHAR, '\r', 0);
  EXPECT_TRUE(EditorShown());
}

TEST_F(GridsEditTest, ArrowsInTheEditorMoveTheGridAndCloseTheEditor) {
  grid->SetCells(1, 2, QStringLiteral("xy"));
  if (!FocusGrid()) GTEST_SKIP() << "the platform gives no focus";
  Key(kKeyF2);
  EditorKey(kKeyDown);
  EXPECT_EQ(Current(), (TGridCoord{1, 2}));
  EXPECT_FALSE(EditorShown());
  Key(kKeyF2);
  ASSERT_TRUE(EditorShown());
  grid->SetCells(1, 2, QStringLiteral("xyz"));
  EXPECT_EQ(grid->InplaceEditor()->Text(), "xyz");  // code changes show in the editor
  grid->InplaceEditor()->SetSelStart(1);
  EditorKey(kKeyRight);  // inside the text: stays in the editor
  EditorKey(kKeyLeft);
  EXPECT_EQ(Current(), (TGridCoord{1, 2}));
  grid->InplaceEditor()->SetSelStart(3);
  EditorKey(kKeyRight);  // at the end: goes to the grid
  EXPECT_EQ(Current(), (TGridCoord{2, 2}));
  EXPECT_EQ(grid->Cells(1, 2), "xyz");
}

TEST_F(GridsEditTest, EditorWaitsForFocusUnlessItAlwaysShows) {
  auto* other = new TEdit(form.get());
  other->SetParent(form.get());
  other->SetBounds(0, 150, 50, 20);
  ShowForm();
  other->SetFocus();
  Pump();
  grid->SetEditorMode(true);
  EXPECT_FALSE(EditorShown());  // the grid has no focus
  grid->SetOptions(grid->Options() + TGridOptions{goAlwaysShowEditor});
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(grid->InplaceEditor()->Text(), "abc");
  Key(kKeyRight);
  EXPECT_TRUE(EditorShown());
  EXPECT_EQ(grid->InplaceEditor()->Text(), "def");
  EXPECT_EQ(grid->InplaceEditor()->BoundsRect(), grid->CellRect(2, 1));
  EXPECT_EQ(grid->InplaceCell(), (TGridCoord{2, 1}));
}

TEST_F(GridsEditTest, EditTextEventsSeeEveryChange) {
  ShowForm();
  QStringList log;
  grid->OnGetEditText = [&](TObject*, int c, int r, QString& v) {
    log << QStringLiteral("get %1,%2 %3").arg(c).arg(r).arg(v);
    v = v.toUpper();
  };
  grid->OnSetEditText = [&](TObject*, int c, int r, const QString& v) {
    log << QStringLiteral("set %1,%2 %3").arg(c).arg(r).arg(v);
  };
  grid->SetOptions(grid->Options() + TGridOptions{goAlwaysShowEditor});
  ASSERT_TRUE(EditorShown());
  EXPECT_EQ(grid->InplaceEditor()->Text(), "ABC");
  grid->InplaceEditor()->Deselect();
  Type('d');
  EXPECT_EQ(log, (QStringList{"get 1,1 abc", "set 1,1 ABCd"}));
  EXPECT_EQ(grid->Cells(1, 1), "ABCd");
  grid->OnGetEditText = nullptr;
  grid->OnSetEditText = nullptr;
}

TEST_F(GridsEditTest, NoEditorWithoutEditingOrWithRowSelect) {
  ShowForm();
  grid->SetOptions(grid->Options() - TGridOptions{goEditing} + TGridOptions{goAlwaysShowEditor});
  grid->ShowEditor();
  EXPECT_FALSE(EditorShown());
  grid->Perform(WM_CHAR, 'Q', 0);
  EXPECT_EQ(grid->Cells(1, 1), "abc");
  grid->SetOptions(TGridOptions{goEditing, goRowSelect, goAlwaysShowEditor});
  grid->ShowEditor();
  EXPECT_FALSE(EditorShown());
  EXPECT_FALSE(grid->Options().Contains(goAlwaysShowEditor));
}

TEST_F(GridsEditTest, ClickOnTheCurrentCellOpensTheEditor) {
  if (!FocusGrid()) GTEST_SKIP() << "the platform gives no focus";
  Press(30, 15);
  Release(30, 15);
  EXPECT_TRUE(EditorShown());
  Press(50, 15);  // another cell: the edit ends there
  Release(50, 15);
  EXPECT_FALSE(EditorShown());
  EXPECT_EQ(Current(), (TGridCoord{2, 1}));
}

// Focus moving between the grid and its editor is neither an exit nor an
// entry of the grid.
TEST_F(GridsEditTest, FocusInTheEditorStillCountsAsTheGrid) {
  QStringList log;
  grid->OnEnter = [&](TObject*) { log << "enter"; };
  grid->OnExit = [&](TObject*) { log << "exit"; };
  if (!FocusGrid()) GTEST_SKIP() << "the platform gives no focus";
  Key(kKeyF2);
  Pump();
  EXPECT_TRUE(grid->InplaceEditor()->Focused());
  EXPECT_TRUE(grid->IsActiveControlForTest());
  Type('\r');
  Pump();
  EXPECT_TRUE(grid->Focused());
  EXPECT_EQ(log, QStringList{"enter"});
  grid->OnEnter = grid->OnExit = nullptr;
}

TEST_F(GridsEditTest, FreeingTheGridWhileEditingIsSafe) {
  if (!FocusGrid()) GTEST_SKIP() << "the platform gives no focus";
  grid->SetOptions(grid->Options() + TGridOptions{goAlwaysShowEditor});
  Key(kKeyF2);
  Pump();
  ASSERT_TRUE(grid->InplaceEditor()->Focused());
  grid->Free();
  grid = nullptr;
  Pump();
  EXPECT_EQ(form->ComponentCount(), 0);
}

}  // namespace

namespace {

// A derived editor that sees Enter and Esc first, made with the grid as
// its owner.
class TLoggingEdit : public TInplaceEdit {
 public:
  TLoggingEdit(TComponent* owner, QStringList& log) : TInplaceEdit(owner), log_(log) {}

 protected:
  void KeyPress(char& key) override {
    log_ << QStringLiteral("key %1").arg(static_cast<int>(key));
    TInplaceEdit::KeyPress(key);
  }

 private:
  QStringList& log_;
};

class TOwnEditorGrid : public TStringGrid {
 public:
  TOwnEditorGrid(TComponent* owner, QStringList& log) : TStringGrid(owner), log_(log) {}

 protected:
  std::unique_ptr<TInplaceEdit> CreateEditor() override {
    ++made;
    return std::make_unique<TLoggingEdit>(this, log_);
  }
  bool CanEditShow() override {
    const bool base = TStringGrid::CanEditShow();
    log_ << QStringLiteral("show? %1,%2 %3 made %4")
                .arg(Col())
                .arg(Row())
                .arg(base ? "true" : "false")
                .arg(made);
    return base;
  }

 public:
  int made = 0;

 private:
  QStringList& log_;
};

class GridsDerivedEditorTest : public ControlsTest {};

TEST_F(GridsDerivedEditorTest, ADerivedEditorIsMadeOnceAndFreedOnce) {
  QStringList log;
  TForm form(nullptr);
  auto* g = new TOwnEditorGrid(&form, log);  // owned by the form
  g->SetParent(&form);
  g->SetOptions(g->Options() + TGridOptions{goEditing, goAlwaysShowEditor});
  form.Show();
  Pump();
  ASSERT_NE(g->InplaceEditor(), nullptr);
  EXPECT_TRUE(g->InplaceEditor()->Visible());
  EXPECT_EQ(g->InplaceEditor()->Owner(), nullptr);
  EXPECT_EQ(g->ComponentCount(), 0);
  std::uint16_t right = kKeyRight;
  g->InplaceEditor()->Perform(WM_KEYDOWN, right, 1);  // empty text: at its end
  g->InplaceEditor()->Perform(WM_CHAR, 'a', 0);
  g->InplaceEditor()->Perform(WM_CHAR, 27, 0);
  EXPECT_EQ(g->Cells(2, 1), "");
  EXPECT_EQ(g->made, 1);
  EXPECT_TRUE(log.contains("key 97"));
  EXPECT_TRUE(log.contains("key 27"));
  // Asked before the editor exists and again once it does.
  EXPECT_TRUE(log.contains("show? 1,1 true made 0"));
  EXPECT_TRUE(log.contains("show? 1,1 true made 1"));
  EXPECT_TRUE(log.contains("show? 2,1 true made 1"));
  g->Free();
}

// Tab pressed in the open editor of a grid without goTabs leaves the grid
// for the next control (Shift+Tab for the one before), as it does from the
// grid itself; the edit is accepted on the way out.
TEST_F(GridsEditTest, TabInTheEditorWithoutGoTabsLeavesTheGrid) {
  auto* before = new TEdit(form.get());
  before->SetParent(form.get());
  before->SetBounds(0, 120, 100, 20);
  auto* after = new TEdit(form.get());
  after->SetParent(form.get());
  after->SetBounds(0, 150, 100, 20);
  before->SetTabOrder(0);
  grid->SetTabOrder(1);
  after->SetTabOrder(2);
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    TWinControl* expected;
  } cases[] = {{Qt::Key_Tab, Qt::NoModifier, after}, {Qt::Key_Backtab, Qt::ShiftModifier, before}};
  for (const auto& c : cases) {
    if (!FocusGrid()) GTEST_SKIP() << "the platform gives no focus";
    Key(kKeyF2);
    ASSERT_TRUE(EditorShown());
    Type('Q');
    QWidget* box = QApplication::focusWidget();
    ASSERT_NE(box, nullptr);
    QKeyEvent press(QEvent::KeyPress, c.key, c.mods);
    QCoreApplication::sendEvent(box, &press);
    // The application keeps the modifiers of the last key pressed: a plain
    // key puts them back (no Shift held) for what follows.
    QKeyEvent plain(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier);
    QCoreApplication::sendEvent(QApplication::focusWidget(), &plain);
    Pump();
    EXPECT_TRUE(c.expected->Focused()) << c.key;
    EXPECT_FALSE(EditorShown()) << c.key;
    EXPECT_EQ(grid->Cells(1, 1), c.key == Qt::Key_Tab ? "abcQ" : "abcQQ") << c.key;
  }
}

}  // namespace
