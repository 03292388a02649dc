// Check boxes (state cycle, OnClick on every change), radio buttons
// (siblings uncheck) and radio groups (Items, ItemIndex, Columns).

#include "platform/controls/CheckRadio.h"

#include "platform/controls/tests/ControlsTestSupport.h"

#include <QImage>
#include <QKeyEvent>

namespace {

class CheckRadioTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    RegisterCheckRadioClasses();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 260, 160);
    form->SetColor(clWhite);
  }
  void TearDown() override {
    form.reset();
    ControlsTest::TearDown();
  }
  template <class T>
  T* Add(TWinControl* parent, int left, int top) {
    auto* c = new T(form.get());
    c->SetParent(parent);
    c->SetLeft(left);
    c->SetTop(top);
    return c;
  }
  TColor At(int x, int y) { return QRgbToColor(form->PaintToImage().pixel(x, y)); }

  std::unique_ptr<TForm> form;
};

struct ToggleCase {
  bool allowGrayed;
  TCheckBoxState from;
  TCheckBoxState to;
};

class CheckBoxToggleTest : public CheckRadioTest, public testing::WithParamInterface<ToggleCase> {};

TEST_P(CheckBoxToggleTest, ClickStepsTheState) {
  auto* box = Add<TCheckBox>(form.get(), 10, 10);
  box->SetAllowGrayed(GetParam().allowGrayed);
  box->SetState(GetParam().from);
  form->Show();
  Click(box, 5, 8);
  EXPECT_EQ(box->State(), GetParam().to);
}

INSTANTIATE_TEST_SUITE_P(Cycle, CheckBoxToggleTest,
                         testing::Values(ToggleCase{false, cbUnchecked, cbChecked},
                                         ToggleCase{false, cbChecked, cbUnchecked},
                                         ToggleCase{true, cbChecked, cbGrayed},
                                         ToggleCase{true, cbGrayed, cbUnchecked},
                                         ToggleCase{false, cbGrayed, cbUnchecked}));

TEST_F(CheckRadioTest, CheckBoxClickFiresOnClickOnceAndOnlyOnChange) {
  auto* box = Add<TCheckBox>(form.get(), 10, 10);
  int clicks = 0;
  box->OnClick = [&clicks](TObject*) { ++clicks; };
  form->Show();
  Click(box, 5, 8);
  EXPECT_EQ(clicks, 1);
  box->SetChecked(true);  // no change
  EXPECT_EQ(clicks, 1);
  box->SetChecked(false);  // a change by code
  EXPECT_EQ(clicks, 2);
  EXPECT_FALSE(box->Checked());
}

TEST_F(CheckRadioTest, SpaceTogglesTheCheckBox) {
  auto* box = Add<TCheckBox>(form.get(), 10, 10);
  form->Show();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
  QCoreApplication::sendEvent(box->Widget(), &press);
  EXPECT_TRUE(box->Checked());
}

TEST_F(CheckRadioTest, DisabledCheckBoxIgnoresClicks) {
  auto* box = Add<TCheckBox>(form.get(), 10, 10);
  box->SetEnabled(false);
  form->Show();
  Click(box, 5, 8);
  EXPECT_FALSE(box->Checked());
}

TEST_F(CheckRadioTest, CheckMarkIsDrawnOnlyWhenChecked) {
  auto* box = Add<TCheckBox>(form.get(), 10, 10);
  form->Show();
  auto darkInBox = [&] {
    const QImage image = form->PaintToImage();
    int dark = 0;
    // Inside the box's two-pixel sunken edge.
    for (int y = 15; y < 23; ++y)
      for (int x = 13; x < 21; ++x)
        if (QRgbToColor(image.pixel(x, y)) == ColorToRGB(clWindowText)) ++dark;
    return dark;
  };
  EXPECT_EQ(darkInBox(), 0);
  box->SetChecked(true);
  EXPECT_GT(darkInBox(), 10);
}

TEST_F(CheckRadioTest, AlignmentPutsTheBoxOnTheOtherSide) {
  auto* box = Add<TCheckBox>(form.get(), 10, 10);
  box->SetWidth(100);
  box->SetColor(clYellow);
  form->Show();
  EXPECT_NE(At(10, 18), clYellow);   // box at the left
  EXPECT_EQ(At(109, 18), clYellow);
  box->SetAlignment(taLeftJustify);
  EXPECT_EQ(At(10, 18), clYellow);
  EXPECT_NE(At(109, 18), clYellow);  // box at the right
}

TEST_F(CheckRadioTest, CheckingARadioButtonUnchecksItsSiblings) {
  auto* a = Add<TRadioButton>(form.get(), 10, 10);
  auto* b = Add<TRadioButton>(form.get(), 10, 30);
  auto* panel = Add<TTestPanel>(form.get(), 130, 10);
  auto* elsewhere = Add<TRadioButton>(panel, 0, 0);
  QStringList log;
  a->OnClick = [&log](TObject*) { log << "a"; };
  b->OnClick = [&log](TObject*) { log << "b"; };
  elsewhere->SetChecked(true);
  a->SetChecked(true);
  form->Show();
  Click(b, 5, 8);
  EXPECT_FALSE(a->Checked());
  EXPECT_TRUE(b->Checked());
  EXPECT_TRUE(elsewhere->Checked());
  Click(b, 5, 8);  // already checked: nothing new
  a->SetChecked(false);
  EXPECT_EQ(log, (QStringList{"a", "b"}));
}

class RadioGroupTest : public CheckRadioTest {
 protected:
  TRadioGroup* Group(const QStringList& items, int columns = 1) {
    auto* g = Add<TRadioGroup>(form.get(), 10, 10);
    g->SetBounds(10, 10, 200, 120);
    g->SetColumns(columns);
    for (const QString& s : items) g->Items()->Add(s);
    return g;
  }
};

TEST_F(RadioGroupTest, ItemsMakeOneButtonEach) {
  TRadioGroup* g = Group({"Lehmä", "Narri", "Ei mitään"});
  ASSERT_EQ(g->ButtonCount(), 3);
  EXPECT_EQ(g->Buttons(1)->Caption(), QStringLiteral("Narri"));
  EXPECT_EQ(g->ItemIndex(), -1);
  g->Items()->Delete(2);
  EXPECT_EQ(g->ButtonCount(), 2);
}

TEST_F(RadioGroupTest, ItemIndexChecksItsButtonAndFiresOnClick) {
  TRadioGroup* g = Group({"a", "b", "c"});
  int clicks = 0;
  g->OnClick = [&clicks](TObject*) { ++clicks; };
  g->SetItemIndex(2);
  EXPECT_TRUE(g->Buttons(2)->Checked());
  EXPECT_EQ(clicks, 1);
  g->SetItemIndex(2);
  EXPECT_EQ(clicks, 1);
  g->SetItemIndex(7);  // out of range: none
  EXPECT_EQ(g->ItemIndex(), -1);
  EXPECT_FALSE(g->Buttons(2)->Checked());
}

TEST_F(RadioGroupTest, ClickingAButtonSetsItemIndex) {
  TRadioGroup* g = Group({"a", "b", "c"});
  int clicks = 0;
  g->OnClick = [&clicks](TObject*) { ++clicks; };
  form->Show();
  Click(g->Buttons(1), 5, 5);
  EXPECT_EQ(g->ItemIndex(), 1);
  EXPECT_EQ(clicks, 1);
}

TEST_F(RadioGroupTest, RemovingTheCheckedItemClearsItemIndex) {
  TRadioGroup* g = Group({"a", "b", "c"});
  g->SetItemIndex(2);
  g->Items()->Delete(2);
  EXPECT_EQ(g->ItemIndex(), -1);
}

TEST_F(RadioGroupTest, ColumnsSpreadTheButtons) {
  TRadioGroup* g = Group({"a", "b", "c", "d"}, 2);
  EXPECT_EQ(g->Buttons(0)->Left(), g->Buttons(1)->Left());
  EXPECT_GT(g->Buttons(2)->Left(), g->Buttons(0)->Left());
  EXPECT_EQ(g->Buttons(2)->Top(), g->Buttons(0)->Top());
  EXPECT_GT(g->Buttons(1)->Top(), g->Buttons(0)->Top());
}

TEST_F(RadioGroupTest, FormFileSetsItemsAndItemIndexWithoutClicks) {
  const QByteArray text =
      "object Sivu: TForm\n"
      "  object Valinta: TRadioGroup\n"
      "    Width = 200\n    Height = 100\n"
      "    ItemIndex = 1\n"
      "    Items = (\n      'Suomi'\n      'English')\n"
      "    OnClick = ValintaClick\n"
      "  end\n"
      "  object Tarkista: TCheckBox\n"
      "    State = cbGrayed\n    AllowGrayed = True\n    OnClick = ValintaClick\n"
      "  end\n"
      "end\n";
  int clicks = 0;
  form->DefineMethod("ValintaClick", std::function<void(TObject*)>([&clicks](TObject*) {
                       ++clicks;
                     }));
  ReadRootComponent(form.get(), text, QStringLiteral("sivu.form"));
  auto* g = FindComponentAs<TRadioGroup>(form.get(), QStringLiteral("Valinta"));
  auto* box = FindComponentAs<TCheckBox>(form.get(), QStringLiteral("Tarkista"));
  EXPECT_EQ(g->ButtonCount(), 2);
  EXPECT_EQ(g->ItemIndex(), 1);
  EXPECT_TRUE(g->Buttons(1)->Checked());
  EXPECT_EQ(box->State(), cbGrayed);
  EXPECT_EQ(clicks, 0);
}

}  // namespace
