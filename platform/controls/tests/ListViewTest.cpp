// TListView in report style: columns through a form file, items with
// sub-items, change events, check boxes, selection and images.

#include "platform/controls/ListView.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/tests/NativeControlsTestSupport.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace {

class ListViewTest : public NativeControlsTest {
 protected:
  void SetUp() override {
    NativeControlsTest::SetUp();
    view = Make<TListView>();
    view->SetViewStyle(vsReport);
    for (const char* caption : {"Asema", "Tarvitaan", "Vapaana"}) view->Columns()->Add()->SetCaption(QString::fromUtf8(caption));
  }

  TListItem* AddRow(const QString& caption, const QStringList& subItems) {
    TListItem* item = view->Items()->Add();
    item->SetCaption(caption);
    for (const QString& s : subItems) item->SubItems()->Add(s);
    return item;
  }

  TListView* view = nullptr;
};

TEST_F(ListViewTest, ColumnsRoundTripThroughAFormFile) {
  view->SetName(QStringLiteral("DriveSpace"));
  view->Columns()->Items(0)->SetWidth(120);
  view->Columns()->Items(2)->SetAlignment(taRightJustify);
  view->SetRowSelect(true);
  view->SetCheckboxes(true);
  form->SetName(QStringLiteral("Form1"));
  const QByteArray text = WriteComponentText(form.get());
  TForm copy(nullptr);
  ReadRootComponent(&copy, text, QStringLiteral("copy.form"));
  auto* read = dynamic_cast<TListView*>(copy.FindComponent(QStringLiteral("DriveSpace")));
  ASSERT_NE(read, nullptr);
  ASSERT_EQ(read->Columns()->Count(), 3);
  EXPECT_EQ(read->Columns()->Items(1)->Caption(), QStringLiteral("Tarvitaan"));
  EXPECT_EQ(read->Columns()->Items(0)->Width(), 120);
  EXPECT_EQ(read->Columns()->Items(1)->Width(), 50);
  EXPECT_EQ(read->Columns()->Items(2)->Alignment(), taRightJustify);
  EXPECT_EQ(read->ViewStyle(), vsReport);
  EXPECT_TRUE(read->RowSelect());
  EXPECT_TRUE(read->Checkboxes());
  EXPECT_EQ(read->Tree()->headerItem()->text(2), QStringLiteral("Vapaana"));
  EXPECT_EQ(read->Tree()->header()->sectionSize(0), 120);
}

TEST_F(ListViewTest, CaptionIsNotStored) {
  view->SetName(QStringLiteral("DriveSpace"));
  view->SetCaption(QStringLiteral("Levytila"));
  const QByteArray text = WriteComponentText(form.get());
  EXPECT_FALSE(text.contains("Levytila"));
  EXPECT_TRUE(text.contains("'Tarvitaan'"));  // column captions still are
}

TEST_F(ListViewTest, SubItemsFillTheColumnsAfterTheFirst) {
  TListItem* item = AddRow(QStringLiteral("/home"), {QStringLiteral("12 MB"), QStringLiteral("3 GB")});
  EXPECT_EQ(item->WidgetItem()->text(0), QStringLiteral("/home"));
  EXPECT_EQ(item->WidgetItem()->text(2), QStringLiteral("3 GB"));
  item->SubItems()->SetStrings(0, QStringLiteral("13 MB"));
  EXPECT_EQ(item->WidgetItem()->text(1), QStringLiteral("13 MB"));
  item->SubItems()->Delete(1);
  EXPECT_TRUE(item->WidgetItem()->text(2).isEmpty());
}

TEST_F(ListViewTest, ItemsIndexAndDelete) {
  int data = 7;
  AddRow(QStringLiteral("a"), {});
  TListItem* b = AddRow(QStringLiteral("b"), {});
  b->SetData(&data);
  AddRow(QStringLiteral("c"), {});
  EXPECT_EQ(view->Items()->Count(), 3);
  EXPECT_EQ(view->Items()->Item(1)->Data(), &data);
  EXPECT_EQ(b->Index(), 1);
  EXPECT_THROW(view->Items()->Item(3), EListError);
  view->Items()->Delete(0);
  EXPECT_EQ(b->Index(), 0);
  b->Delete();
  EXPECT_EQ(view->Items()->Item(0)->Caption(), QStringLiteral("c"));
  view->Items()->Clear();
  EXPECT_EQ(view->Items()->Count(), 0);
}

TEST_F(ListViewTest, ChangesAreReportedByKind) {
  TListItem* item = AddRow(QStringLiteral("x"), {});
  QList<TItemChange> changes;
  view->OnChange = [&](TObject*, TListItem* changed, TItemChange change) {
    EXPECT_EQ(changed, item);
    changes.append(change);
  };
  item->SetCaption(QStringLiteral("y"));
  item->SubItems()->Add(QStringLiteral("z"));
  item->SetImageIndex(2);
  item->SetChecked(true);
  item->SetSelected(true);
  EXPECT_EQ(changes, (QList<TItemChange>{ctText, ctText, ctImage, ctState, ctState}));
}

TEST_F(ListViewTest, CheckboxesFollowTheUser) {
  view->SetCheckboxes(true);
  TListItem* item = AddRow(QStringLiteral("x"), {});
  EXPECT_EQ(item->WidgetItem()->checkState(0), Qt::Unchecked);
  int states = 0;
  view->OnChange = [&](TObject*, TListItem*, TItemChange change) { states += change == ctState; };
  item->WidgetItem()->setCheckState(0, Qt::Checked);  // as a click on the box does
  EXPECT_TRUE(item->Checked());
  EXPECT_EQ(states, 1);
}

TEST_F(ListViewTest, SelectedIsTheFirstSelectedItem) {
  AddRow(QStringLiteral("a"), {});
  TListItem* b = AddRow(QStringLiteral("b"), {});
  EXPECT_EQ(view->Selected(), nullptr);
  view->SetSelected(b);
  EXPECT_EQ(view->Selected(), b);
  EXPECT_TRUE(b->Selected());
  view->SetSelected(nullptr);
  EXPECT_EQ(view->Selected(), nullptr);
}

TEST_F(ListViewTest, ClickFiresOnClick) {
  AddRow(QStringLiteral("a"), {});
  int clicks = 0;
  view->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  QWidget* viewport = view->Tree()->viewport();
  const QRect r = view->Tree()->visualItemRect(view->Items()->Item(0)->WidgetItem());
  const QPoint p = r.center();
  QMouseEvent press(QEvent::MouseButtonPress, p, viewport->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, p, viewport->mapToGlobal(p), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(viewport, &release);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(view->Selected(), view->Items()->Item(0));
}

TEST_F(ListViewTest, SmallImagesGiveTheIcon) {
  auto* images = new TImageList(form.get());
  images->SetWidth(2);
  images->SetHeight(2);
  TBitmap bmp;
  bmp.SetSize(2, 2);
  bmp.Canvas()->Brush()->SetColor(clLime);
  bmp.Canvas()->FillRect(Rect(0, 0, 2, 2));
  images->Add(&bmp, nullptr);
  view->SetSmallImages(images);
  TListItem* item = AddRow(QStringLiteral("a"), {});
  item->SetImageIndex(0);
  EXPECT_EQ(QRgbToColor(item->WidgetItem()->icon(0).pixmap(2, 2).toImage().pixel(0, 0)), clLime);
  images->Clear();  // the view follows the list's changes
  EXPECT_TRUE(item->WidgetItem()->icon(0).isNull());
}

}  // namespace
