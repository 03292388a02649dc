// Panel, bevel and group box painting: bevel colours at the edges, border
// width, caption placement, and the client area left to aligned children.

#include "platform/controls/Panel.h"

#include "platform/controls/tests/ControlsTestSupport.h"

#include <QImage>
#include <QRect>

namespace {

class PanelTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    RegisterPanelClasses();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 200, 120);
    form->SetColor(clWhite);
  }
  void TearDown() override {
    form.reset();
    ControlsTest::TearDown();
  }
  TColor At(int x, int y) {
    form->Show();
    return QRgbToColor(form->PaintToImage().pixel(x, y));
  }
  TPanel* NewPanel() {
    auto* p = new TPanel(form.get());
    p->SetParent(form.get());
    p->SetBounds(10, 10, 100, 60);
    p->SetColor(clYellow);
    return p;
  }

  std::unique_ptr<TForm> form;
};

const TColor kLight = ColorToRGB(clBtnHighlight);
const TColor kDark = ColorToRGB(clBtnShadow);

TEST_F(PanelTest, RaisedOuterBevelIsLightTopLeftDarkBottomRight) {
  NewPanel();
  EXPECT_EQ(At(10, 40), kLight);   // left edge
  EXPECT_EQ(At(50, 10), kLight);   // top edge
  EXPECT_EQ(At(109, 40), kDark);   // right edge
  EXPECT_EQ(At(50, 69), kDark);    // bottom edge
  EXPECT_EQ(At(11, 40), clYellow); // inside
}

TEST_F(PanelTest, LoweredBevelSwapsTheColours) {
  TPanel* p = NewPanel();
  p->SetBevelOuter(bvLowered);
  EXPECT_EQ(At(10, 40), kDark);
  EXPECT_EQ(At(109, 40), kLight);
}

TEST_F(PanelTest, NoBevelLeavesTheColourToTheEdge) {
  TPanel* p = NewPanel();
  p->SetBevelOuter(bvNone);
  EXPECT_EQ(At(10, 40), clYellow);
  EXPECT_EQ(At(109, 69), clYellow);
}

TEST_F(PanelTest, BorderWidthSeparatesOuterAndInnerBevels) {
  TPanel* p = NewPanel();
  p->SetBevelWidth(2);
  p->SetBorderWidth(3);
  p->SetBevelInner(bvLowered);
  // Outer raised 2 px, border 3 px of Color, inner lowered 2 px.
  EXPECT_EQ(At(10, 40), kLight);
  EXPECT_EQ(At(11, 40), kLight);
  EXPECT_EQ(At(12, 40), clYellow);
  EXPECT_EQ(At(14, 40), clYellow);
  EXPECT_EQ(At(15, 40), kDark);
  EXPECT_EQ(At(16, 40), kDark);
  EXPECT_EQ(At(17, 40), clYellow);
  EXPECT_EQ(At(109 - 5, 40), kLight);  // inner lowered: light on the right
}

TEST_F(PanelTest, SpaceBevelIsDrawnInTheFaceColour) {
  TPanel* p = NewPanel();
  p->SetBevelOuter(bvSpace);
  EXPECT_EQ(At(10, 40), clYellow);
}

TEST_F(PanelTest, SingleBorderDrawsAFrameOutside) {
  TPanel* p = NewPanel();
  p->SetBorderStyle(bsSingle);
  EXPECT_EQ(At(10, 40), ColorToRGB(clWindowFrame));
  EXPECT_EQ(At(11, 40), kLight);
}

TEST_F(PanelTest, AlignedChildrenStayInsideTheFrame) {
  TPanel* p = NewPanel();
  p->SetBorderWidth(4);
  auto* child = new TTestPanel(form.get());
  child->SetParent(p);
  child->SetAlign(alClient);
  EXPECT_EQ(child->BoundsRect(), Rect(5, 5, 95, 55));
  p->SetBevelInner(bvRaised);
  EXPECT_EQ(child->BoundsRect(), Rect(6, 6, 94, 54));
}

TEST_F(PanelTest, CaptionIsCentredAndFollowsAlignment) {
  TPanel* p = NewPanel();
  p->Font()->SetColor(clBlack);
  p->SetCaption(QStringLiteral("Keskellä"));
  form->Show();
  auto box = [&] {
    const QImage image = form->PaintToImage();
    QRect b;
    for (int y = 12; y < 68; ++y)
      for (int x = 12; x < 108; ++x)
        if (QRgbToColor(image.pixel(x, y)) != clYellow) b |= QRect(x, y, 1, 1);
    return b;
  };
  const QRect centred = box();
  ASSERT_FALSE(centred.isEmpty());
  EXPECT_LE(std::abs((centred.left() - 11) - (108 - centred.right())), 3);
  EXPECT_LE(std::abs((centred.top() - 11) - (68 - centred.bottom())), 6);
  p->SetAlignment(taLeftJustify);
  EXPECT_LT(box().left(), centred.left());
}

struct BevelCase {
  TBevelShape shape;
  TBevelStyle style;
  TPoint at;
  TColor expected;
};

class BevelShapeTest : public PanelTest, public testing::WithParamInterface<BevelCase> {};

TEST_P(BevelShapeTest, DrawsItsLines) {
  auto* bevel = new TBevel(form.get());
  bevel->SetParent(form.get());
  bevel->SetBounds(20, 20, 40, 30);
  bevel->SetShape(GetParam().shape);
  bevel->SetStyle(GetParam().style);
  EXPECT_EQ(At(20 + GetParam().at.X, 20 + GetParam().at.Y), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, BevelShapeTest,
    testing::Values(BevelCase{bsBox, bsLowered, {0, 10}, kDark},
                    BevelCase{bsBox, bsLowered, {39, 10}, kLight},
                    BevelCase{bsBox, bsRaised, {0, 10}, kLight},
                    BevelCase{bsBox, bsRaised, {10, 29}, kDark},
                    BevelCase{bsFrame, bsLowered, {0, 10}, kDark},
                    BevelCase{bsFrame, bsLowered, {1, 10}, kLight},
                    BevelCase{bsTopLine, bsLowered, {10, 0}, kDark},
                    BevelCase{bsTopLine, bsLowered, {10, 1}, kLight},
                    BevelCase{bsTopLine, bsLowered, {10, 29}, clWhite},
                    BevelCase{bsBottomLine, bsRaised, {10, 28}, kLight},
                    BevelCase{bsBottomLine, bsRaised, {10, 29}, kDark},
                    BevelCase{bsLeftLine, bsLowered, {0, 15}, kDark},
                    BevelCase{bsRightLine, bsLowered, {39, 15}, kLight},
                    BevelCase{bsSpacer, bsLowered, {0, 0}, clWhite}));

TEST_F(PanelTest, GroupBoxFramesBelowTheCaptionLine) {
  auto* group = new TGroupBox(form.get());
  group->SetParent(form.get());
  group->SetBounds(10, 10, 120, 80);
  group->SetColor(clYellow);
  group->SetCaption(QStringLiteral("Ryhmä"));
  EXPECT_EQ(At(10, 50), kDark);
  EXPECT_EQ(At(11, 50), kLight);
  EXPECT_EQ(At(10, 11), clYellow);  // above the frame line
  auto* child = new TTestPanel(form.get());
  child->SetParent(group);
  child->SetAlign(alClient);
  EXPECT_GT(child->Top(), 5);
}

TEST_F(PanelTest, ReadsItsPropertiesFromAFormFile) {
  const QByteArray text =
      "object Sivu: TForm\n"
      "  object Alapaneeli: TPanel\n"
      "    Left = 0\n    Top = 60\n    Width = 200\n    Height = 52\n"
      "    BevelOuter = bvLowered\n    BevelInner = bvRaised\n"
      "    BorderWidth = 5\n    Alignment = taLeftJustify\n"
      "    object Viiva: TBevel\n"
      "      Left = 0\n      Top = 0\n      Width = 200\n      Height = 2\n"
      "      Shape = bsTopLine\n      Style = bsRaised\n"
      "    end\n"
      "  end\n"
      "end\n";
  ReadRootComponent(form.get(), text, QStringLiteral("sivu.form"));
  auto* panel = FindComponentAs<TPanel>(form.get(), QStringLiteral("Alapaneeli"));
  auto* bevel = FindComponentAs<TBevel>(form.get(), QStringLiteral("Viiva"));
  EXPECT_EQ(panel->BevelOuter(), bvLowered);
  EXPECT_EQ(panel->BevelInner(), bvRaised);
  EXPECT_EQ(panel->BorderWidth(), 5);
  EXPECT_EQ(panel->Alignment(), taLeftJustify);
  EXPECT_EQ(bevel->Parent(), panel);
  EXPECT_EQ(bevel->Shape(), bsTopLine);
  EXPECT_EQ(bevel->Style(), bsRaised);
}

}  // namespace
