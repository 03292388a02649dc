// TEdit: text both ways with OnChange and Modified, keys through OnKeyPress
// (Windows-1252), limits, case conversion, selection and the form file.

#include "platform/controls/Edit.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/ComboBox.h"
#include "platform/controls/ListBox.h"
#include "platform/controls/Memo.h"
#include "platform/controls/tests/NativeControlsTestSupport.h"

#include <QLineEdit>

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
