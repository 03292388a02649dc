// TComboBox: styles, Items and ItemIndex rules, Text, and which events the
// user's picks and typing fire.

#include "platform/controls/ComboBox.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/tests/NativeControlsTestSupport.h"
#include "platform/rtl/Exceptions.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

class ComboBoxTest : public NativeControlsTest {
 protected:
  TComboBox* Filled(TComboBoxStyle style) {
    auto* box = Make<TComboBox>();
    box->SetStyle(style);
    for (const char* s : {"Compact", "Full", "Custom"}) box->Items()->Add(QString::fromUtf8(s));
    return box;
  }
};

TEST_F(ComboBoxTest, ItemIndexRules) {
  auto* box = Make<TComboBox>();
  EXPECT_EQ(box->ItemIndex(), -1);
  box->Items()->Add(QStringLiteral("a"));
  EXPECT_EQ(box->ItemIndex(), -1);  // adding does not pick
  box->Items()->Add(QStringLiteral("b"));
  box->SetItemIndex(1);
  EXPECT_EQ(box->ItemIndex(), 1);
  EXPECT_EQ(box->Text(), QStringLiteral("b"));
  box->SetItemIndex(5);
  EXPECT_EQ(box->ItemIndex(), -1);
  EXPECT_THROW(box->Items()->Get(2), EStringListError);
}

TEST_F(ComboBoxTest, DropDownListTextPicksAMatchingItem) {
  auto* box = Filled(csDropDownList);
  EXPECT_FALSE(box->Combo()->isEditable());
  box->SetText(QStringLiteral("full"));
  EXPECT_EQ(box->ItemIndex(), 1);
  EXPECT_EQ(box->Text(), QStringLiteral("Full"));
  box->SetText(QStringLiteral("none"));
  EXPECT_EQ(box->ItemIndex(), -1);
  EXPECT_TRUE(box->Text().isEmpty());
}

TEST_F(ComboBoxTest, DropDownTakesAnyText) {
  auto* box = Filled(csDropDown);
  EXPECT_TRUE(box->Combo()->isEditable());
  box->SetText(QStringLiteral("Oma"));
  EXPECT_EQ(box->Text(), QStringLiteral("Oma"));
  EXPECT_EQ(box->ItemIndex(), -1);
  box->SetText(QStringLiteral("Custom"));
  EXPECT_EQ(box->ItemIndex(), 2);
}

TEST_F(ComboBoxTest, UserPickFiresClickThenChangeAndCodeFiresNothing) {
  auto* box = Filled(csDropDownList);
  QStringList events;
  box->OnClick = [&](TObject*) { events.append(QStringLiteral("click:") + box->Text()); };
  box->OnChange = [&](TObject*) { events.append(QStringLiteral("change:") + box->Text()); };
  box->SetItemIndex(0);
  box->SetText(QStringLiteral("Full"));
  EXPECT_TRUE(events.isEmpty());
  box->Combo()->setCurrentIndex(2);
  emit box->Combo()->activated(2);
  EXPECT_EQ(events, (QStringList{QStringLiteral("click:Custom"), QStringLiteral("change:Custom")}));
}

TEST_F(ComboBoxTest, TypingFiresOnChange) {
  auto* box = Filled(csDropDown);
  int changes = 0;
  box->OnChange = [&](TObject*) { ++changes; };
  QLineEdit* edit = box->Combo()->lineEdit();
  ASSERT_NE(edit, nullptr);
  QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
  QCoreApplication::sendEvent(edit, &key);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(box->Text(), QStringLiteral("x"));
}

TEST_F(ComboBoxTest, TypedKeysPassOnKeyPress) {
  auto* box = Filled(csDropDown);
  QList<int> codes;
  box->OnKeyPress = [&](TObject*, char& key) {
    codes.append(static_cast<unsigned char>(key));
    if (key == 'q') key = 0;
  };
  QLineEdit* edit = box->Combo()->lineEdit();
  for (const QString& s : {QStringLiteral("å"), QStringLiteral("q"), QStringLiteral("k")}) {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, s);
    QCoreApplication::sendEvent(edit, &key);
  }
  EXPECT_EQ(codes, (QList<int>{0xE5, 'q', 'k'}));
  EXPECT_EQ(box->Text(), QStringLiteral("åk"));
}

TEST_F(ComboBoxTest, SortedAndDropDownCount) {
  auto* box = Filled(csDropDown);
  box->SetSorted(true);
  EXPECT_EQ(box->Items()->CommaText(), QStringLiteral("Compact,Custom,Full"));
  EXPECT_EQ(box->Items()->Add(QStringLiteral("default")), 2);
  box->SetDropDownCount(3);
  EXPECT_EQ(box->Combo()->maxVisibleItems(), 3);
}

TEST_F(ComboBoxTest, SwitchingStyleKeepsThePick) {
  auto* box = Filled(csDropDown);
  box->SetItemIndex(1);
  box->SetStyle(csDropDownList);
  EXPECT_EQ(box->ItemIndex(), 1);
  box->SetStyle(csSimple);
  EXPECT_EQ(box->Text(), QStringLiteral("Full"));
}

TEST_F(ComboBoxTest, FormFileRoundTrip) {
  auto* box = Filled(csDropDownList);
  box->SetName(QStringLiteral("TypeCombo"));
  box->SetItemIndex(2);
  box->SetDropDownCount(12);
  form->SetName(QStringLiteral("Form1"));
  const QByteArray text = WriteComponentText(form.get());
  TForm copy(nullptr);
  ReadRootComponent(&copy, text, QStringLiteral("copy.form"));
  auto* read = dynamic_cast<TComboBox*>(copy.FindComponent(QStringLiteral("TypeCombo")));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Style(), csDropDownList);
  EXPECT_EQ(read->Items()->Count(), 3);
  EXPECT_EQ(read->ItemIndex(), 2);
  EXPECT_EQ(read->DropDownCount(), 12);
}

}  // namespace
