// TMemo and TRichEdit: Lines kept in step with the box both ways, the
// one-step undo of an edit control, clipboard edits, keys and options.

#include "platform/controls/Memo.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/tests/NativeControlsTestSupport.h"
#include "platform/rtl/Exceptions.h"

#include <QPlainTextEdit>
#include <QTextCursor>

namespace {

class MemoTest : public NativeControlsTest {};

TEST_F(MemoTest, LinesChangeTheBox) {
  auto* memo = Make<TMemo>();
  TStrings* lines = memo->Lines();
  EXPECT_EQ(lines->Count(), 0);
  lines->Add(QStringLiteral("kissa"));
  lines->Add(QStringLiteral("koira"));
  lines->Insert(1, QStringLiteral("hiiri"));
  EXPECT_EQ(memo->Editor()->toPlainText(), QStringLiteral("kissa\nhiiri\nkoira"));
  EXPECT_EQ(memo->Text(), QStringLiteral("kissa\r\nhiiri\r\nkoira"));
  lines->SetStrings(0, QStringLiteral("KISSA"));
  lines->Delete(2);
  EXPECT_EQ(memo->Editor()->toPlainText(), QStringLiteral("KISSA\nhiiri"));
  EXPECT_EQ(lines->Text(), QStringLiteral("KISSA\r\nhiiri\r\n"));
  lines->Clear();
  EXPECT_TRUE(memo->Editor()->toPlainText().isEmpty());
}

TEST_F(MemoTest, TheBoxChangesLines) {
  auto* memo = Make<TMemo>();
  memo->Editor()->setPlainText(QStringLiteral("yksi\nkaksi\n"));
  EXPECT_EQ(memo->Lines()->Count(), 2);  // a last empty line does not count
  EXPECT_EQ(memo->Lines()->Get(1), QStringLiteral("kaksi"));
  memo->SetSelStart(static_cast<int>(memo->Editor()->toPlainText().size()));
  Type(memo, QStringLiteral("kolme"));
  EXPECT_EQ(memo->Lines()->Count(), 3);
  EXPECT_EQ(memo->Lines()->Get(2), QStringLiteral("kolme"));
  memo->SetText(QStringLiteral("a\r\nb\rc\nd"));
  EXPECT_EQ(memo->Lines()->Count(), 4);
}

TEST_F(MemoTest, LineIndexOutOfRangeRaises) {
  auto* memo = Make<TMemo>();
  memo->Lines()->Add(QStringLiteral("x"));
  EXPECT_THROW(memo->Lines()->Get(1), EStringListError);
  EXPECT_THROW(memo->Lines()->Get(-1), EStringListError);
  EXPECT_THROW(memo->Lines()->Delete(5), EStringListError);
  EXPECT_THROW(memo->Lines()->Insert(3, QStringLiteral("y")), EStringListError);
  EXPECT_EQ(memo->Lines()->Count(), 1);
}

TEST_F(MemoTest, UndoSwapsBetweenTheLastTwoStates) {
  auto* memo = Make<TRichEdit>();
  memo->Lines()->Add(QStringLiteral("sana"));
  EXPECT_FALSE(memo->CanUndo());  // text set by code cannot be undone
  memo->SetSelStart(4);
  Type(memo, QStringLiteral("t ja"));  // one typing run is one step
  EXPECT_EQ(memo->Text(), QStringLiteral("sanat ja"));
  EXPECT_TRUE(memo->CanUndo());
  memo->Undo();
  EXPECT_EQ(memo->Text(), QStringLiteral("sana"));
  memo->Undo();  // the second undo redoes
  EXPECT_EQ(memo->Text(), QStringLiteral("sanat ja"));
  EXPECT_EQ(memo->Perform(EM_UNDO, 0, 0), 1);
  EXPECT_EQ(memo->Text(), QStringLiteral("sana"));
  memo->ClearUndo();
  EXPECT_FALSE(memo->CanUndo());
  EXPECT_EQ(memo->Perform(EM_CANUNDO, 0, 0), 0);
  memo->Undo();
  EXPECT_EQ(memo->Text(), QStringLiteral("sana"));
}

TEST_F(MemoTest, OnlyTheLastEditIsUndone) {
  auto* memo = Make<TMemo>();
  Type(memo, QStringLiteral("abc"));
  memo->SetSelStart(0);
  Type(memo, QStringLiteral("X"));  // typing elsewhere starts a new step
  EXPECT_EQ(memo->Text(), QStringLiteral("Xabc"));
  memo->Undo();
  EXPECT_EQ(memo->Text(), QStringLiteral("abc"));
}

TEST_F(MemoTest, ClipboardEditsAreUndoable) {
  auto* memo = Make<TMemo>();
  memo->SetText(QStringLiteral("alpha beta"));
  memo->SetSelStart(0);
  memo->SetSelLength(6);
  memo->CutToClipboard();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("alpha "));
  EXPECT_EQ(memo->Text(), QStringLiteral("beta"));
  EXPECT_TRUE(memo->Modified());
  memo->SetSelStart(4);
  memo->PasteFromClipboard();
  EXPECT_EQ(memo->Text(), QStringLiteral("betaalpha "));
  memo->Undo();
  EXPECT_EQ(memo->Text(), QStringLiteral("beta"));
  memo->SelectAll();
  memo->CopyToClipboard();
  EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("beta"));
  memo->ClearSelection();
  EXPECT_TRUE(memo->Text().isEmpty());
  memo->Undo();
  EXPECT_EQ(memo->Text(), QStringLiteral("beta"));
}

TEST_F(MemoTest, ReadOnlyRefusesEdits) {
  auto* memo = Make<TMemo>();
  memo->SetText(QStringLiteral("lukittu"));
  memo->SetReadOnly(true);
  memo->SelectAll();
  memo->CutToClipboard();
  memo->ClearSelection();
  Type(memo, QStringLiteral("x"));
  EXPECT_EQ(memo->Text(), QStringLiteral("lukittu"));
  EXPECT_FALSE(memo->Modified());
}

TEST_F(MemoTest, OnChangeAndModified) {
  auto* memo = Make<TMemo>();
  int changes = 0;
  memo->OnChange = [&](TObject*) { ++changes; };
  memo->Lines()->Add(QStringLiteral("a"));
  EXPECT_EQ(changes, 1);
  EXPECT_FALSE(memo->Modified());
  Type(memo, QStringLiteral("b"));
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(memo->Modified());
  memo->SetModified(false);
  EXPECT_FALSE(memo->Modified());
}

TEST_F(MemoTest, WantReturnsDecidesWhetherEnterBreaksTheLine) {
  auto* memo = Make<TMemo>();
  Type(memo, QStringLiteral("a"));
  Press(memo, Qt::Key_Return, QStringLiteral("\r"));
  Type(memo, QStringLiteral("b"));
  EXPECT_EQ(memo->Lines()->Count(), 2);
  memo->SetWantReturns(false);
  Press(memo, Qt::Key_Return, QStringLiteral("\r"));
  EXPECT_EQ(memo->Lines()->Count(), 2);
}

TEST_F(MemoTest, KeyPressCanSwallowCharacters) {
  auto* memo = Make<TMemo>();
  memo->OnKeyPress = [](TObject*, char& key) {
    if (key == ' ') key = 0;
  };
  Type(memo, QStringLiteral("a b"));
  EXPECT_EQ(memo->Text(), QStringLiteral("ab"));
}

struct ScrollRow {
  TScrollStyle style;
  Qt::ScrollBarPolicy horizontal;
  Qt::ScrollBarPolicy vertical;
  QPlainTextEdit::LineWrapMode wrap;
};

class MemoScrollTest : public MemoTest, public testing::WithParamInterface<ScrollRow> {};

TEST_P(MemoScrollTest, ScrollBarsAndWrapping) {
  auto* memo = Make<TMemo>();
  memo->SetScrollBars(GetParam().style);
  EXPECT_EQ(memo->Editor()->horizontalScrollBarPolicy(), GetParam().horizontal);
  EXPECT_EQ(memo->Editor()->verticalScrollBarPolicy(), GetParam().vertical);
  EXPECT_EQ(memo->Editor()->lineWrapMode(), GetParam().wrap);
  memo->SetWordWrap(false);
  EXPECT_EQ(memo->Editor()->lineWrapMode(), QPlainTextEdit::NoWrap);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, MemoScrollTest,
    testing::Values(
        ScrollRow{ssNone, Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOff, QPlainTextEdit::WidgetWidth},
        ScrollRow{ssVertical, Qt::ScrollBarAlwaysOff, Qt::ScrollBarAlwaysOn, QPlainTextEdit::WidgetWidth},
        ScrollRow{ssHorizontal, Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOff, QPlainTextEdit::NoWrap},
        ScrollRow{ssBoth, Qt::ScrollBarAlwaysOn, Qt::ScrollBarAlwaysOn, QPlainTextEdit::NoWrap}));

TEST_F(MemoTest, SelectionCountsALineBreakAsOne) {
  auto* memo = Make<TMemo>();
  memo->SetText(QStringLiteral("ab\r\ncd"));
  memo->SetSelStart(1);
  memo->SetSelLength(3);
  EXPECT_EQ(memo->SelText(), QStringLiteral("b\r\nc"));
  memo->SetSelText(QStringLiteral("-"));
  EXPECT_EQ(memo->Text(), QStringLiteral("a-d"));
}

TEST_F(MemoTest, FormFileKeepsLinesAndOptions) {
  auto* memo = Make<TRichEdit>();
  memo->SetName(QStringLiteral("Agreement"));
  memo->Lines()->Add(QStringLiteral("Put the license in the Agreement property."));
  memo->Lines()->Add(QStringLiteral("Toinen rivi"));
  memo->SetReadOnly(true);
  memo->SetScrollBars(ssVertical);
  memo->SetAlignment(taCenter);
  form->SetName(QStringLiteral("Form1"));
  const QByteArray text = WriteComponentText(form.get());
  TForm copy(nullptr);
  ReadRootComponent(&copy, text, QStringLiteral("copy.form"));
  auto* read = dynamic_cast<TRichEdit*>(copy.FindComponent(QStringLiteral("Agreement")));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Lines()->Count(), 2);
  EXPECT_EQ(read->Lines()->Get(1), QStringLiteral("Toinen rivi"));
  EXPECT_TRUE(read->ReadOnly());
  EXPECT_EQ(read->ScrollBars(), ssVertical);
  EXPECT_EQ(read->Alignment(), taCenter);
}

}  // namespace
