// TEdit: text both ways with OnChange and Modified, keys through OnKeyPress
// (Windows-1252), limits, case conversion, selection (kept while the focus
// is away) and the form file.

#include "platform/controls/Edit.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/Memo.h"
#include "platform/controls/tests/NativeControlsTestSupport.h"

#include <QLineEdit>

#include <functional>
#include <string>

namespace {

class EditTest : public NativeControlsTest {};

TEST_F(EditTest, SettingTextFiresOnChangeAndClearsModified) {
  auto* edit = Make<TEdit>();
  QStringList seen;
  edit->OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, edit);
    seen.append(edit->Text());
  };
  Type(edit, QStringLiteral("ab"));
  EXPECT_TRUE(edit->Modified());
  edit->SetText(QStringLiteral("xyz"));
  EXPECT_FALSE(edit->Modified());
  EXPECT_EQ(edit->Editor()->text(), QStringLiteral("xyz"));
  EXPECT_EQ(seen, (QStringList{QStringLiteral("a"), QStringLiteral("ab"), QStringLiteral("xyz")}));
  edit->SetText(QStringLiteral("xyz"));
  EXPECT_EQ(seen.size(), 3);
}

TEST_F(EditTest, OnKeyPressSeesWindows1252AndCanChangeOrSwallow) {
  auto* edit = Make<TEdit>();
  QList<int> codes;
  edit->OnKeyPress = [&](TObject*, char& key) {
    codes.append(static_cast<unsigned char>(key));
    if (key == 'x') key = 0;
    if (key == 'a') key = static_cast<char>(0xC4);  // 'Ä'
  };
  Type(edit, QStringLiteral("äxa€"));
  EXPECT_EQ(codes, (QList<int>{0xE4, 'x', 'a', 0x80}));
  EXPECT_EQ(edit->Text(), QStringLiteral("äÄ€"));
}

TEST_F(EditTest, CharSentAsMessageIsTyped) {
  auto* edit = Make<TEdit>();
  edit->Perform(WM_CHAR, 'q', 0);
  edit->Perform(WM_CHAR, 0xF6, 0);  // 'ö'
  EXPECT_EQ(edit->Text(), QStringLiteral("qö"));
  edit->Perform(WM_CHAR, 8, 0);  // backspace
  EXPECT_EQ(edit->Text(), QStringLiteral("q"));
}

TEST_F(EditTest, MaxLengthAndReadOnlyStopTyping) {
  auto* edit = Make<TEdit>();
  edit->SetMaxLength(3);
  Type(edit, QStringLiteral("abcdef"));
  EXPECT_EQ(edit->Text(), QStringLiteral("abc"));
  edit->SetReadOnly(true);
  edit->SetSelStart(3);
  Type(edit, QStringLiteral("z"));
  EXPECT_EQ(edit->Text(), QStringLiteral("abc"));
  edit->SetMaxLength(0);
  edit->SetReadOnly(false);
  Type(edit, QStringLiteral("def"));
  EXPECT_EQ(edit->Text(), QStringLiteral("abcdef"));
}

struct CaseRow {
  TEditCharCase charCase;
  const char* expected;
};

class EditCharCaseTest : public EditTest, public testing::WithParamInterface<CaseRow> {};

TEST_P(EditCharCaseTest, ConvertsSetAndTypedText) {
  auto* edit = Make<TEdit>();
  edit->SetCharCase(GetParam().charCase);
  edit->SetText(QStringLiteral("Äb"));
  Type(edit, QStringLiteral("cD"));
  EXPECT_EQ(edit->Text(), QString::fromUtf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(Cases, EditCharCaseTest,
                         testing::Values(CaseRow{ecNormal, "ÄbcD"}, CaseRow{ecUpperCase, "ÄBCD"},
                                         CaseRow{ecLowerCase, "äbcd"}));

TEST_F(EditTest, SelectionReadsAndReplaces) {
  auto* edit = Make<TEdit>();
  edit->SetText(QStringLiteral("Hello world"));
  edit->SetSelStart(6);
  edit->SetSelLength(5);
  EXPECT_EQ(edit->SelStart(), 6);
  EXPECT_EQ(edit->SelLength(), 5);
  EXPECT_EQ(edit->SelText(), QStringLiteral("world"));
  edit->SetSelText(QStringLiteral("there"));
  EXPECT_EQ(edit->Text(), QStringLiteral("Hello there"));
  EXPECT_EQ(edit->SelLength(), 0);
  edit->SelectAll();
  EXPECT_EQ(edit->SelLength(), 11);
  edit->SetSelLength(100);  // clipped at the end of the text
  EXPECT_EQ(edit->SelLength(), 11);
  edit->ClearSelection();
  EXPECT_TRUE(edit->Text().isEmpty());
}

// Two edits on the active form; the first holds "Hello world" with "world"
// selected while it has the focus.
class EditFocusTest : public EditTest {
 protected:
  void SetUp() override {
    EditTest::SetUp();
    first = Make<TEdit>();
    first->SetBounds(5, 5, 100, 21);
    first->SetAutoSelect(false);
    first->SetText(QStringLiteral("Hello world"));
    second = Make<TEdit>();
    second->SetBounds(5, 35, 100, 21);
  }

  // False when the platform has no focus to give.
  bool FocusFirstWithSelection() {
    form->Show();
    Pump();
    form->Widget()->activateWindow();
    Pump();
    if (!form->Widget()->isActiveWindow()) return false;
    first->SetFocus();
    Pump();
    first->SetSelStart(6);
    first->SetSelLength(5);
    return first->Focused() && first->Editor()->selectedText() == QStringLiteral("world");
  }

  void FocusSecond() {
    second->SetFocus();
    Pump();
    ASSERT_TRUE(second->Focused());
  }

  static void ShiftTab(TEdit* from) {
    Press(from, Qt::Key_Backtab, {}, Qt::ShiftModifier);
    Pump();
  }

  TEdit* first = nullptr;
  TEdit* second = nullptr;
};

template <class Row>
std::string RowName(const testing::TestParamInfo<Row>& row) {
  return row.param.name;
}

struct ReturnRow {
  const char* name;
  bool autoSelect;
  bool byShiftTab;
  int start;
  int length;
};

class EditFocusReturnTest : public EditFocusTest, public testing::WithParamInterface<ReturnRow> {};

// While the focus is away the selection reads as it was and is not shown;
// coming back shows it again, unless AutoSelect selects all.
TEST_P(EditFocusReturnTest, SelectionIsKeptWhileTheFocusIsAway) {
  if (!FocusFirstWithSelection()) GTEST_SKIP() << "the platform gives no focus";
  first->SetAutoSelect(GetParam().autoSelect);
  FocusSecond();
  EXPECT_EQ(first->SelStart(), 6);
  EXPECT_EQ(first->SelLength(), 5);
  EXPECT_EQ(first->SelText(), QStringLiteral("world"));
  EXPECT_FALSE(first->Editor()->hasSelectedText());  // unseen meanwhile
  if (GetParam().byShiftTab)
    ShiftTab(second);
  else
    first->SetFocus();
  Pump();
  ASSERT_TRUE(first->Focused());
  EXPECT_EQ(first->SelStart(), GetParam().start);
  EXPECT_EQ(first->SelLength(), GetParam().length);
  EXPECT_EQ(first->Editor()->selectionStart(), GetParam().start);
  EXPECT_EQ(first->Editor()->selectionLength(), GetParam().length);
}

INSTANTIATE_TEST_SUITE_P(Entries, EditFocusReturnTest,
                         testing::Values(ReturnRow{"SetFocus", false, false, 6, 5},
                                         ReturnRow{"ShiftTab", false, true, 6, 5},
                                         ReturnRow{"AutoSelectSetFocus", true, false, 0, 11},
                                         ReturnRow{"AutoSelectShiftTab", true, true, 0, 11}),
                         RowName<ReturnRow>);

// The caret stays at the end it was on: a selection made leftwards goes on
// growing leftwards.
TEST_F(EditFocusTest, CaretKeepsItsEndOfTheSelection) {
  if (!FocusFirstWithSelection()) GTEST_SKIP() << "the platform gives no focus";
  first->SetSelStart(7);
  for (int i = 0; i < 3; ++i) Press(first, Qt::Key_Left, {}, Qt::ShiftModifier);
  ASSERT_EQ(first->SelText(), QStringLiteral("o w"));
  FocusSecond();
  first->SetFocus();
  Pump();
  Press(first, Qt::Key_Left, {}, Qt::ShiftModifier);
  EXPECT_EQ(first->SelStart(), 3);
  EXPECT_EQ(first->SelText(), QStringLiteral("lo w"));
}

struct KeptOpRow {
  const char* name;
  std::function<void(TEdit*)> op;
  const char* text;
  const char* clipboard;
};

class EditKeptOpTest : public EditFocusTest, public testing::WithParamInterface<KeptOpRow> {};

// Operations on the selection work on the kept one while the focus is away.
TEST_P(EditKeptOpTest, WorksOnTheKeptSelection) {
  if (!FocusFirstWithSelection()) GTEST_SKIP() << "the platform gives no focus";
  FocusSecond();
  QApplication::clipboard()->setText(QStringLiteral("maa"));
  GetParam().op(first);
  EXPECT_EQ(first->Text(), QString::fromUtf8(GetParam().text));
  EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8(GetParam().clipboard));
  EXPECT_FALSE(first->Editor()->hasSelectedText());  // still unseen
}

INSTANTIATE_TEST_SUITE_P(
    Operations, EditKeptOpTest,
    testing::Values(
        KeptOpRow{"Copy", [](TEdit* e) { e->CopyToClipboard(); }, "Hello world", "world"},
        KeptOpRow{"Cut", [](TEdit* e) { e->CutToClipboard(); }, "Hello ", "world"},
        KeptOpRow{"Paste", [](TEdit* e) { e->PasteFromClipboard(); }, "Hello maa", "maa"},
        KeptOpRow{"SelText", [](TEdit* e) { e->SetSelText(QStringLiteral("there")); }, "Hello there", "maa"},
        KeptOpRow{"Clear", [](TEdit* e) { e->ClearSelection(); }, "Hello ", "maa"},
        KeptOpRow{"TypedChar", [](TEdit* e) { e->Perform(WM_CHAR, 0xE4, 0); }, "Hello ä", "maa"},
        KeptOpRow{"ReadOnlyCut",
                  [](TEdit* e) {
                    e->SetReadOnly(true);
                    e->CutToClipboard();
                  },
                  "Hello world", "world"}),
    RowName<KeptOpRow>);

struct ForgetRow {
  const char* name;
  std::function<void(TEdit*)> change;
  int start;
};

class EditForgetTest : public EditFocusTest, public testing::WithParamInterface<ForgetRow> {};

// A change of the text, caret or selection while the focus is away replaces
// the kept selection; it does not come back with the focus.
TEST_P(EditForgetTest, ChangeReplacesTheKeptSelection) {
  if (!FocusFirstWithSelection()) GTEST_SKIP() << "the platform gives no focus";
  FocusSecond();
  GetParam().change(first);
  EXPECT_EQ(first->SelStart(), GetParam().start);
  EXPECT_EQ(first->SelLength(), 0);
  first->SetFocus();
  Pump();
  EXPECT_EQ(first->SelStart(), GetParam().start);
  EXPECT_EQ(first->SelLength(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, EditForgetTest,
    testing::Values(
        ForgetRow{"SetText", [](TEdit* e) { e->SetText(QStringLiteral("Hei")); }, 3},
        ForgetRow{"SameText", [](TEdit* e) { e->SetText(e->Text()); }, 11},
        ForgetRow{"SelStart", [](TEdit* e) { e->SetSelStart(2); }, 2},
        ForgetRow{"BoxCaret", [](TEdit* e) { e->Editor()->setCursorPosition(1); }, 1},
        ForgetRow{"BoxText", [](TEdit* e) { e->Editor()->setText(QStringLiteral("abc")); }, 3}),
    RowName<ForgetRow>);

// A selection set while the edit has no focus waits unseen for the focus.
TEST_F(EditFocusTest, SelectionSetWithoutTheFocusShowsWhenItComes) {
  if (!FocusFirstWithSelection()) GTEST_SKIP() << "the platform gives no focus";
  FocusSecond();
  first->SetSelStart(0);
  first->SetSelLength(5);
  EXPECT_EQ(first->SelText(), QStringLiteral("Hello"));
  EXPECT_FALSE(first->Editor()->hasSelectedText());
  first->SelectAll();
  EXPECT_EQ(first->SelLength(), 11);
  EXPECT_FALSE(first->Editor()->hasSelectedText());
  first->SetFocus();
  Pump();
  EXPECT_EQ(first->Editor()->selectedText(), QStringLiteral("Hello world"));
}

TEST_F(EditTest, PasswordBoxHidesTextAndGivesNothingToTheClipboard) {
  auto* edit = Make<TEdit>();
  edit->SetPasswordChar('*');
  EXPECT_EQ(edit->Editor()->echoMode(), QLineEdit::Password);
  edit->SetText(QStringLiteral("secret"));
  QApplication::clipboard()->setText(QStringLiteral("before"));
  edit->SelectAll();
  edit->CopyToClipboard();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before"));
}

TEST_F(EditTest, PasteKeepsTheFirstLineOnly) {
  auto* edit = Make<TEdit>();
  QApplication::clipboard()->setText(QStringLiteral("one\r\ntwo"));
  edit->PasteFromClipboard();
  EXPECT_EQ(edit->Text(), QStringLiteral("one"));
  EXPECT_TRUE(edit->Modified());
}

TEST_F(EditTest, TheBoxOutlivesItsWindow) {
  auto* edit = Make<TEdit>();
  edit->SetBounds(5, 5, 100, 20);
  edit->SetText(QStringLiteral("pysyy"));
  form->Show();
  edit->RecreateWnd();
  EXPECT_EQ(edit->Editor()->parentWidget(), edit->Widget());
  EXPECT_EQ(edit->Editor()->geometry(), QRect(0, 0, 100, 20));
  edit->SetParent(nullptr);  // no window at all now
  EXPECT_EQ(edit->Text(), QStringLiteral("pysyy"));
  edit->SetText(QStringLiteral("yhä"));
  edit->SetParent(form.get());
  edit->HandleNeeded();
  EXPECT_EQ(edit->Editor()->parentWidget(), edit->Widget());
  EXPECT_EQ(edit->Editor()->text(), QStringLiteral("yhä"));
}

TEST_F(EditTest, FormFileRoundTrip) {
  auto* edit = Make<TEdit>();
  edit->SetName(QStringLiteral("FolderEdit"));
  edit->SetText(QStringLiteral("Ohjelmat"));
  edit->SetMaxLength(40);
  edit->SetPasswordChar('#');
  edit->SetCharCase(ecUpperCase);
  form->SetName(QStringLiteral("Form1"));
  const QByteArray text = WriteComponentText(form.get());
  TForm copy(nullptr);
  ReadRootComponent(&copy, text, QStringLiteral("copy.form"));
  auto* read = dynamic_cast<TEdit*>(copy.FindComponent(QStringLiteral("FolderEdit")));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Text(), QStringLiteral("OHJELMAT"));
  EXPECT_EQ(read->MaxLength(), 40);
  EXPECT_EQ(read->PasswordChar(), '#');
  EXPECT_EQ(read->CharCase(), ecUpperCase);
}

TEST_F(EditTest, TextControlsStoreTheirTextButNoCaption) {
  auto* edit = Make<TEdit>();
  edit->SetName(QStringLiteral("Edit1"));
  edit->SetText(QStringLiteral("Sana"));
  auto* memo = Make<TMemo>();
  memo->SetName(QStringLiteral("Memo1"));
  memo->Lines()->Add(QStringLiteral("Rivi"));
  auto* rich = Make<TRichEdit>();
  rich->SetName(QStringLiteral("Rich1"));
  rich->Lines()->Add(QStringLiteral("Teksti"));
  auto* list = Make<TListBox>();
  list->SetName(QStringLiteral("List1"));
  list->Items()->Add(QStringLiteral("Yksi"));
  auto* combo = Make<TComboBox>();
  combo->SetName(QStringLiteral("Combo1"));
  combo->SetText(QStringLiteral("Kaksi"));
  form->SetName(QStringLiteral("Form1"));
  const QByteArray text = WriteComponentText(form.get());
  EXPECT_FALSE(text.contains("    Caption ="));  // only the form's own line
  EXPECT_TRUE(text.contains("    Text = 'Sana'"));
  EXPECT_TRUE(text.contains("    Text = 'Kaksi'"));
  TForm copy(nullptr);
  ReadRootComponent(&copy, text, QStringLiteral("copy.form"));
  EXPECT_EQ(FindComponentAs<TEdit>(&copy, "Edit1")->Text(), QStringLiteral("Sana"));
  EXPECT_EQ(FindComponentAs<TMemo>(&copy, "Memo1")->Lines()->Get(0), QStringLiteral("Rivi"));
  EXPECT_EQ(FindComponentAs<TRichEdit>(&copy, "Rich1")->Lines()->Get(0), QStringLiteral("Teksti"));
  EXPECT_EQ(FindComponentAs<TComboBox>(&copy, "Combo1")->Text(), QStringLiteral("Kaksi"));
  EXPECT_EQ(WriteComponentText(&copy), text);
}

TEST_F(EditTest, ShowHintRoundTripsWithoutTurningParentShowHintOff) {
  form->SetName(QStringLiteral("Form1"));
  form->SetShowHint(true);
  auto* own = Make<TEdit>();
  own->SetName(QStringLiteral("Own"));
  own->SetShowHint(false);
  auto* inherited = Make<TEdit>();
  inherited->SetName(QStringLiteral("Inherited"));
  EXPECT_TRUE(inherited->ShowHint());
  const QByteArray text = WriteComponentText(form.get());
  EXPECT_EQ(text.count("ParentShowHint = False"), 2);  // the form and Own
  TForm copy(nullptr);
  ReadRootComponent(&copy, text, QStringLiteral("copy.form"));
  auto* readInherited = FindComponentAs<TEdit>(&copy, "Inherited");
  EXPECT_TRUE(readInherited->ParentShowHint());
  EXPECT_TRUE(readInherited->ShowHint());
  EXPECT_FALSE(FindComponentAs<TEdit>(&copy, "Own")->ShowHint());
  EXPECT_EQ(WriteComponentText(&copy), text);
}

}  // namespace
