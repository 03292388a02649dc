// TListBox: Items and ItemIndex rules, multiple selection, sorting, the
// owner-drawn style (checked by pixels) and the user's clicks.

#include "platform/controls/ListBox.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/tests/NativeControlsTestSupport.h"
#include "platform/rtl/Exceptions.h"

#include <QListWidget>

namespace {

class ListBoxTest : public NativeControlsTest {
 protected:
  TListBox* Filled() {
    auto* box = Make<TListBox>();
    for (const char* s : {"Aapo", "Eero", "Juhani"}) box->Items()->Add(QString::fromUtf8(s));
    return box;
  }
};

TEST_F(ListBoxTest, ItemIndexIsMinusOneWhenEmptyOrNothingSelected) {
  auto* box = Make<TListBox>();
  EXPECT_EQ(box->ItemIndex(), -1);
  box->Items()->Add(QStringLiteral("a"));
  EXPECT_EQ(box->ItemIndex(), -1);
  box->SetItemIndex(0);
  EXPECT_EQ(box->ItemIndex(), 0);
  box->Items()->Clear();
  EXPECT_EQ(box->ItemIndex(), -1);
}

TEST_F(ListBoxTest, ItemIndexOutOfRangeSelectsNothing) {
  auto* box = Filled();
  box->SetItemIndex(1);
  box->SetItemIndex(7);
  EXPECT_EQ(box->ItemIndex(), -1);
  box->SetItemIndex(2);
  box->SetItemIndex(-1);
  EXPECT_EQ(box->ItemIndex(), -1);
}

TEST_F(ListBoxTest, ItemsOutOfRangeRaise) {
  auto* box = Filled();
  EXPECT_THROW(box->Items()->Get(3), EStringListError);
  EXPECT_THROW(box->Items()->Delete(-1), EStringListError);
  EXPECT_THROW(box->Selected(3), EListError);
  EXPECT_THROW(box->SetSelected(-1, true), EListError);
  EXPECT_EQ(box->Items()->Count(), 3);
}

TEST_F(ListBoxTest, ObjectsTravelWithTheirStrings) {
  auto* box = Make<TListBox>();
  int a = 1, b = 2;
  box->Items()->AddObject(QStringLiteral("a"), &a);
  box->Items()->InsertObject(0, QStringLiteral("b"), &b);
  EXPECT_EQ(box->Items()->Objects(0), &b);
  EXPECT_EQ(box->Items()->Objects(1), &a);
  EXPECT_EQ(box->Items()->IndexOfObject(&a), 1);
}

TEST_F(ListBoxTest, MultiSelectCountsSelectedItems) {
  auto* box = Filled();
  EXPECT_EQ(box->SelCount(), -1);
  box->SetMultiSelect(true);
  box->SetSelected(0, true);
  box->SetSelected(2, true);
  EXPECT_EQ(box->SelCount(), 2);
  EXPECT_TRUE(box->Selected(0));
  EXPECT_FALSE(box->Selected(1));
  box->SetSelected(0, false);
  EXPECT_EQ(box->SelCount(), 1);
}

TEST_F(ListBoxTest, SortedKeepsCaseInsensitiveOrder) {
  auto* box = Make<TListBox>();
  box->Items()->Add(QStringLiteral("pera"));
  box->Items()->Add(QStringLiteral("Aatu"));
  box->SetSorted(true);
  EXPECT_EQ(box->Items()->Get(0), QStringLiteral("Aatu"));
  EXPECT_EQ(box->Items()->Add(QStringLiteral("kalle")), 1);
  EXPECT_EQ(box->Items()->Add(QStringLiteral("Zorro")), 3);
  EXPECT_EQ(box->Items()->CommaText(), QStringLiteral("Aatu,kalle,pera,Zorro"));
}

TEST_F(ListBoxTest, UserSelectionFiresOnClickButCodeDoesNot) {
  auto* box = Filled();
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  box->SetItemIndex(1);
  EXPECT_EQ(clicks, 0);
  form->Show();
  const TRect r = box->ItemRect(2);
  QWidget* viewport = box->List()->viewport();
  const QPoint p = viewport->mapFrom(box->List(), QPoint(r.Left + 3, r.Top + 2));
  QMouseEvent press(QEvent::MouseButtonPress, p, viewport->mapToGlobal(p), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, p, viewport->mapToGlobal(p), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &release);
  EXPECT_EQ(box->ItemIndex(), 2);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(box->ItemAtPos(Point(r.Left + 3, r.Top + 2), true), 2);
  EXPECT_EQ(box->ItemAtPos(Point(5, box->Height() - 3), true), -1);
  EXPECT_EQ(box->ItemAtPos(Point(5, box->Height() - 3), false), 3);
}

TEST_F(ListBoxTest, DoubleClickAndKeysReachTheEvents) {
  auto* box = Filled();
  int doubles = 0;
  QList<int> keys;
  box->OnDblClick = [&](TObject*) { ++doubles; };
  box->OnKeyDown = [&](TObject*, std::uint16_t& key, TShiftState) {
    keys.append(key);
    if (key == 0x28) key = 0;  // VK_DOWN is eaten
  };
  box->SetItemIndex(0);
  form->Show();
  QWidget* viewport = box->List()->viewport();
  const QPoint p(5, 5);
  QMouseEvent dbl(QEvent::MouseButtonDblClick, p, viewport->mapToGlobal(p), Qt::LeftButton,
                  Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &dbl);
  EXPECT_EQ(doubles, 1);
  Press(box, Qt::Key_Down);
  EXPECT_EQ(keys, QList<int>{0x28});
  EXPECT_EQ(box->ItemIndex(), 0);  // the list never saw the key
}

TEST_F(ListBoxTest, OwnerDrawnRowsArePaintedByOnDrawItem) {
  auto* box = Filled();
  box->SetStyle(lbOwnerDrawFixed);
  box->SetItemHeight(20);
  box->SetBounds(10, 10, 120, 100);
  box->SetItemIndex(1);
  QList<int> drawn;
  box->OnDrawItem = [&](TWinControl*, int index, TRect rect, TOwnerDrawState state) {
    drawn.append(index);
    TCanvas* c = box->Canvas();
    c->Brush()->SetColor(state.Contains(odSelected) ? clRed : index == 0 ? clLime : clBlue);
    c->FillRect(rect);
  };
  form->Show();
  const QImage image = form->PaintToImage();
  EXPECT_TRUE(drawn.contains(0));
  EXPECT_TRUE(drawn.contains(2));
  const TRect r0 = box->ItemRect(0);
  const TRect r1 = box->ItemRect(1);
  EXPECT_EQ(r0.Height(), 20);
  const auto at = [&](const TRect& r) {
    return QRgbToColor(image.pixel(box->Left() + r.Left + 30, box->Top() + r.Top + 10));
  };
  EXPECT_EQ(at(r0), clLime);
  EXPECT_EQ(at(r1), clRed);
  EXPECT_EQ(at(box->ItemRect(2)), clBlue);
}

TEST_F(ListBoxTest, TopIndexScrolls) {
  auto* box = Make<TListBox>();
  box->SetBounds(0, 0, 100, 60);
  for (int i = 0; i < 30; ++i) box->Items()->Add(QString::number(i));
  form->Show();
  EXPECT_EQ(box->TopIndex(), 0);
  box->SetTopIndex(10);
  EXPECT_EQ(box->TopIndex(), 10);
}

TEST_F(ListBoxTest, FormFileKeepsItemsAndStyle) {
  auto* box = Filled();
  box->SetName(QStringLiteral("FolderListBox"));
  box->SetSorted(true);
  box->SetMultiSelect(true);
  form->SetName(QStringLiteral("Form1"));
  const QByteArray text = WriteComponentText(form.get());
  TForm copy(nullptr);
  ReadRootComponent(&copy, text, QStringLiteral("copy.form"));
  auto* read = dynamic_cast<TListBox*>(copy.FindComponent(QStringLiteral("FolderListBox")));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Items()->CommaText(), QStringLiteral("Aapo,Eero,Juhani"));
  EXPECT_TRUE(read->Sorted());
  EXPECT_TRUE(read->MultiSelect());
}

}  // namespace
