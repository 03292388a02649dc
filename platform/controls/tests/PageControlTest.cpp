// TPageControl, TTabSheet and TTabControl: pages and tabs, hidden tabs,
// which changes ask OnChanging, clicks on the drawn tabs, pixels and the
// form file.

#include "platform/controls/PageControl.h"

#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/tests/NativeControlsTestSupport.h"
#include "platform/rtl/Exceptions.h"

namespace {

class PageControlTest : public NativeControlsTest {
 protected:
  void SetUp() override {
    NativeControlsTest::SetUp();
    pages = Make<TPageControl>();
    pages->SetBounds(0, 0, 300, 200);
    for (const char* caption : {"Compact", "Full", "Custom"}) {
      auto* sheet = new TTabSheet(form.get());
      sheet->SetPageControl(pages);
      sheet->SetCaption(QString::fromUtf8(caption));
      sheets.append(sheet);
    }
    pages->SetActivePage(sheets[0]);
  }

  void ClickTab(TCustomTabControl* c, int tab) {
    const TRect r = c->TabRect(tab);
    Click(c, r.Left + 4, r.Top + 5);
  }

  TPageControl* pages = nullptr;
  QList<TTabSheet*> sheets;
};

TEST_F(PageControlTest, PagesKeepTheirOrderAndIndexes) {
  EXPECT_EQ(pages->PageCount(), 3);
  EXPECT_EQ(pages->Pages(1), sheets[1]);
  EXPECT_EQ(sheets[2]->PageIndex(), 2);
  EXPECT_EQ(sheets[0]->PageControl(), pages);
  EXPECT_THROW(pages->Pages(3), EListError);
  sheets[2]->SetPageIndex(0);
  EXPECT_EQ(pages->Pages(0), sheets[2]);
  EXPECT_EQ(sheets[0]->PageIndex(), 1);
  delete sheets[1];
  EXPECT_EQ(pages->PageCount(), 2);
}

TEST_F(PageControlTest, CodeChangesFireNoEvents) {
  int changing = 0, changed = 0;
  pages->OnChanging = [&](TObject*, bool&) { ++changing; };
  pages->OnChange = [&](TObject*) { ++changed; };
  pages->SetActivePageIndex(2);
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  pages->SetActivePageIndex(9);
  EXPECT_EQ(pages->ActivePage(), nullptr);
  EXPECT_EQ(pages->ActivePageIndex(), -1);
  EXPECT_EQ(changing + changed, 0);
}

TEST_F(PageControlTest, OnChangingCanRefuseSelectNextPage) {
  bool allow = false;
  int changed = 0;
  pages->OnChanging = [&](TObject*, bool& allowChange) { allowChange = allow; };
  pages->OnChange = [&](TObject*) { ++changed; };
  pages->SelectNextPage(true);
  EXPECT_EQ(pages->ActivePage(), sheets[0]);
  EXPECT_EQ(changed, 0);
  allow = true;
  pages->SelectNextPage(true);
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  pages->SelectNextPage(false);
  pages->SelectNextPage(false);  // wraps around
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  EXPECT_EQ(changed, 3);
}

TEST_F(PageControlTest, HiddenTabsAreSkippedAndHidingTheActiveOneMovesOn) {
  sheets[1]->SetTabVisible(false);
  EXPECT_EQ(sheets[1]->TabIndex(), -1);
  EXPECT_EQ(sheets[2]->TabIndex(), 1);
  pages->SelectNextPage(true);
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  EXPECT_EQ(pages->FindNextPage(sheets[0], true, false), sheets[1]);
  sheets[2]->SetTabVisible(false);  // the last tab: the one before takes over
  EXPECT_EQ(pages->ActivePage(), sheets[0]);
  sheets[0]->SetTabVisible(false);
  EXPECT_EQ(pages->ActivePage(), nullptr);
  EXPECT_EQ(pages->TabIndex(), -1);
}

TEST_F(PageControlTest, ClickingATabChangesThePageAndShowsOnlyIt) {
  form->Show();
  QList<int> order;
  pages->OnChanging = [&](TObject*, bool&) { order.append(pages->ActivePageIndex()); };
  pages->OnChange = [&](TObject*) { order.append(pages->ActivePageIndex()); };
  ClickTab(pages, 2);
  EXPECT_EQ(pages->ActivePage(), sheets[2]);
  EXPECT_EQ(order, (QList<int>{0, 2}));
  EXPECT_TRUE(sheets[2]->Widget()->isVisible());
  EXPECT_FALSE(sheets[0]->Widget()->isVisible());
  const TRect d = pages->DisplayRect();
  EXPECT_EQ(sheets[2]->BoundsRect().Left, d.Left);
  EXPECT_EQ(sheets[2]->Width(), d.Width());
}

TEST_F(PageControlTest, PaintsTheActivePageOverTheControl) {
  sheets[1]->SetColor(clRed);
  sheets[0]->SetColor(clBlue);
  pages->SetActivePage(sheets[1]);
  form->Show();
  const QImage image = form->PaintToImage();
  const TRect d = pages->DisplayRect();
  EXPECT_EQ(QRgbToColor(image.pixel(d.Left + 20, d.Top + 20)), clRed);
  // The tab row has the face colour between the tabs' edges and the tabs' text.
  const TRect tab = pages->TabRect(2);
  EXPECT_EQ(QRgbToColor(image.pixel(tab.Right + 10, tab.Top + 5)), ColorToRGB(clBtnFace));
}

TEST_F(PageControlTest, FormFileKeepsPagesAndTheActiveOne) {
  pages->SetName(QStringLiteral("PageControl"));
  for (int i = 0; i < sheets.size(); ++i) sheets[i]->SetName(QStringLiteral("Sheet%1").arg(i));
  sheets[1]->SetTabVisible(false);
  pages->SetActivePage(sheets[2]);
  form->SetName(QStringLiteral("Form1"));
  const QByteArray text = WriteComponentText(form.get());
  EXPECT_TRUE(text.contains("TabVisible = False")) << text.constData();
  TForm copy(nullptr);
  ReadRootComponent(&copy, text, QStringLiteral("copy.form"));
  auto* read = dynamic_cast<TPageControl*>(copy.FindComponent(QStringLiteral("PageControl")));
  ASSERT_NE(read, nullptr);
  ASSERT_EQ(read->PageCount(), 3);
  EXPECT_EQ(read->Pages(2)->Caption(), QStringLiteral("Custom"));
  EXPECT_FALSE(read->Pages(1)->TabVisible());
  EXPECT_EQ(read->ActivePage(), read->Pages(2));
}

TEST_F(PageControlTest, TabControlTabsAndIndex) {
  auto* tabs = Make<TTabControl>();
  tabs->SetBounds(0, 0, 200, 100);
  EXPECT_EQ(tabs->TabIndex(), -1);
  tabs->Tabs()->Add(QStringLiteral("Yksi"));
  tabs->Tabs()->Add(QStringLiteral("Kaksi"));
  tabs->SetTabIndex(1);
  EXPECT_EQ(tabs->TabIndex(), 1);
  tabs->SetTabIndex(4);
  EXPECT_EQ(tabs->TabIndex(), -1);
  tabs->SetTabIndex(1);
  tabs->Tabs()->Delete(1);
  EXPECT_EQ(tabs->TabIndex(), 0);
  bool allow = false;
  int changed = 0;
  tabs->Tabs()->Add(QStringLiteral("Kolme"));
  tabs->OnChanging = [&](TObject*, bool& a) { a = allow; };
  tabs->OnChange = [&](TObject*) { ++changed; };
  form->Show();
  ClickTab(tabs, 1);
  EXPECT_EQ(tabs->TabIndex(), 0);
  allow = true;
  ClickTab(tabs, 1);
  EXPECT_EQ(tabs->TabIndex(), 1);
  EXPECT_EQ(changed, 1);
}

}  // namespace
