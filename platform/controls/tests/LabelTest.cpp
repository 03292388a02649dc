// Label: auto-sizing, alignment and layout of its text (checked by the
// bounding box of text pixels), transparency and accelerator focus.

#include "platform/controls/Label.h"

#include "platform/controls/Edit.h"
#include "platform/controls/tests/ControlsTestSupport.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QRect>

namespace {

class LabelTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    RegisterLabelClasses();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 200, 80);
    form->SetColor(clWhite);
    label = new TLabel(form.get());
    label->SetParent(form.get());
    label->Font()->SetColor(clBlack);
  }
  void TearDown() override {
    form.reset();
    ControlsTest::TearDown();
  }

  // The box of pixels that are not background inside the label's bounds.
  QRect TextBox() {
    form->Show();
    const QImage image = form->PaintToImage();
    const TColor back = ColorToRGB(label->Transparent() ? form->Color() : label->Color());
    QRect box;
    const TRect r = label->BoundsRect();
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (QRgbToColor(image.pixel(x, y)) != back) box |= QRect(x, y, 1, 1);
    return box;
  }

  std::unique_ptr<TForm> form;
  TLabel* label = nullptr;
};

TEST_F(LabelTest, AutoSizeFitsTheCaption) {
  label->SetCaption(QStringLiteral("Sana"));
  const int shortWidth = label->Width();
  label->SetCaption(QStringLiteral("Pitkä sana listassa"));
  EXPECT_GT(label->Width(), shortWidth);
  EXPECT_GT(label->Height(), 0);
  EXPECT_EQ(label->Width(), label->Canvas()->TextWidth(QStringLiteral("Pitkä sana listassa")));
}

TEST_F(LabelTest, AutoSizeWithRightJustifyKeepsTheRightEdge) {
  label->SetBounds(150, 0, 40, 17);
  label->SetAlignment(taRightJustify);
  label->SetCaption(QStringLiteral("Oikea"));
  EXPECT_EQ(label->Left() + label->Width(), 190);
}

TEST_F(LabelTest, WordWrapKeepsTheWidthAndGrowsDown) {
  label->SetWordWrap(true);
  label->SetBounds(0, 0, 60, 17);
  label->SetCaption(QStringLiteral("yksi kaksi kolme neljä viisi"));
  EXPECT_EQ(label->Width(), 60);
  EXPECT_GT(label->Height(), 2 * label->Canvas()->TextHeight(QStringLiteral("W")) - 1);
}

TEST_F(LabelTest, EmptyCaptionKeepsALineHigh) {
  label->SetCaption(QStringLiteral("x"));
  const int height = label->Height();
  label->SetCaption(QString());
  EXPECT_EQ(label->Height(), height);
}

struct AlignCase {
  TAlignment alignment;
  int expectedSide;  // -1 left, 0 centre, 1 right
};

class LabelAlignmentTest : public LabelTest, public testing::WithParamInterface<AlignCase> {};

TEST_P(LabelAlignmentTest, TextSitsOnItsSide) {
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 160, 30);
  label->SetColor(clYellow);
  label->SetAlignment(GetParam().alignment);
  label->SetCaption(QStringLiteral("Ab"));
  const QRect box = TextBox();
  ASSERT_FALSE(box.isEmpty());
  const int leftGap = box.left() - 10;
  const int rightGap = 170 - (box.right() + 1);
  switch (GetParam().expectedSide) {
    case -1: EXPECT_LT(leftGap, 3); EXPECT_GT(rightGap, 100); break;
    case 1: EXPECT_LT(rightGap, 3); EXPECT_GT(leftGap, 100); break;
    default: EXPECT_LE(std::abs(leftGap - rightGap), 3); break;
  }
}

INSTANTIATE_TEST_SUITE_P(Sides, LabelAlignmentTest,
                         testing::Values(AlignCase{taLeftJustify, -1},
                                         AlignCase{taRightJustify, 1}, AlignCase{taCenter, 0}));

TEST_F(LabelTest, LayoutPlacesTheTextVertically) {
  label->SetAutoSize(false);
  label->SetBounds(10, 0, 100, 70);
  label->SetColor(clYellow);
  label->SetCaption(QStringLiteral("Hg"));
  label->SetLayout(tlTop);
  const QRect top = TextBox();
  label->SetLayout(tlCenter);
  const QRect centre = TextBox();
  label->SetLayout(tlBottom);
  const QRect bottom = TextBox();
  EXPECT_LT(top.top(), 8);
  EXPECT_GT(bottom.bottom(), 60);
  EXPECT_LE(std::abs((centre.top() - 0) - (69 - centre.bottom())), 4);
}

TEST_F(LabelTest, OpaqueLabelFillsItsColourTransparentDoesNot) {
  label->SetAutoSize(false);
  label->SetBounds(0, 0, 50, 20);
  label->SetColor(clRed);
  form->Show();
  EXPECT_EQ(QRgbToColor(form->PaintToImage().pixel(45, 10)), clRed);
  label->SetTransparent(true);
  EXPECT_EQ(QRgbToColor(form->PaintToImage().pixel(45, 10)), clWhite);
}

TEST_F(LabelTest, ParentColorFollowsTheForm) {
  EXPECT_EQ(label->Color(), clWhite);
  form->SetColor(clAqua);
  label->Perform(CM_PARENTCOLORCHANGED, 0, 0);
  EXPECT_EQ(label->Color(), clAqua);
}

TEST_F(LabelTest, AcceleratorCharFocusesTheFocusControl) {
  auto* target = new TTestPanel(form.get());
  target->SetParent(form.get());
  target->SetTabStop(true);
  label->SetCaption(QStringLiteral("&Nimi"));
  label->SetFocusControl(target);
  form->Show();
  form->Widget()->activateWindow();
  Pump();
  if (!form->Widget()->isActiveWindow()) GTEST_SKIP() << "the platform gives no focus";
  EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'x', 0), 0);
  EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'n', 0), 1);
  Pump();
  EXPECT_TRUE(target->Focused());
  label->SetShowAccelChar(false);
  EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'n', 0), 0);
}

TEST_F(LabelTest, AltLetterInAnEditFocusesTheLabelsFocusControl) {
  auto* name = new TEdit(form.get());
  name->SetParent(form.get());
  name->SetBounds(60, 0, 100, 21);
  auto* other = new TEdit(form.get());
  other->SetParent(form.get());
  other->SetBounds(60, 30, 100, 21);
  label->SetCaption(QStringLiteral("&Nimi:"));
  label->SetFocusControl(name);
  form->Show();
  form->Widget()->activateWindow();
  other->SetFocus();
  Pump();
  if (!other->Focused()) GTEST_SKIP() << "the platform gives no focus";
  QKeyEvent press(QEvent::KeyPress, Qt::Key_N, Qt::AltModifier, QStringLiteral("n"));
  ASSERT_NE(QApplication::focusWidget(), nullptr);
  QCoreApplication::sendEvent(QApplication::focusWidget(), &press);
  Pump();
  EXPECT_TRUE(name->Focused());
  EXPECT_EQ(other->Text(), QString());  // the accelerator types nothing
}

TEST_F(LabelTest, FocusControlIsClearedWhenItIsFreed) {
  auto* target = new TTestPanel(form.get());
  target->SetParent(form.get());
  label->SetFocusControl(target);
  target->Free();
  EXPECT_EQ(label->FocusControl(), nullptr);
}

TEST(LabelAccel, AccelCharOfSkipsDoubledAmpersands) {
  EXPECT_EQ(AccelCharOf(QStringLiteral("&Tiedosto")), QChar(u'T'));
  EXPECT_EQ(AccelCharOf(QStringLiteral("A && B &c")), QChar(u'c'));
  EXPECT_TRUE(AccelCharOf(QStringLiteral("A && B")).isNull());
  EXPECT_TRUE(AccelCharOf(QStringLiteral("loppu&")).isNull());
}

}  // namespace
