// A window built from a form file, shown offscreen and checked pixel by pixel.
#include "platform/controls/tests/ControlsTestSupport.h"

#include "platform/controls/Screen.h"

#include <QImage>

namespace {

TColor PixelAt(const QImage& image, int x, int y) { return QRgbToColor(image.pixel(x, y)); }

class FormFileTest : public ControlsTest {};

TEST_F(FormFileTest, ReadsPropertiesAndLaysOutAlignedChildren) {
  auto* form = new TPanelsForm(app.get());
  EXPECT_EQ(form->Name(), "PanelsForm");
  EXPECT_EQ(form->Caption(), "Panels");
  EXPECT_EQ(form->Left(), 40);
  EXPECT_EQ(form->Top(), 30);
  EXPECT_EQ(form->ClientWidth(), 200);
  EXPECT_EQ(form->ClientHeight(), 120);
  auto* top = FindComponentAs<TTestPanel>(form, "TopBar");
  auto* side = FindComponentAs<TTestPanel>(form, "Side");
  auto* body = FindComponentAs<TTestPanel>(form, "Body");
  auto* mark = FindComponentAs<TTestMark>(form, "Mark");
  EXPECT_EQ(top->BoundsRect(), Rect(0, 0, 200, 20));
  EXPECT_EQ(side->BoundsRect(), Rect(0, 20, 50, 120));
  EXPECT_EQ(body->BoundsRect(), Rect(50, 20, 200, 120));
  EXPECT_EQ(mark->Parent(), body);
  EXPECT_EQ(mark->Owner(), form);
  EXPECT_FALSE(form->Visible());
}

TEST_F(FormFileTest, RendersPanelsAndGraphicControl) {
  auto* form = new TPanelsForm(app.get());
  form->Show();
  Pump();
  const QImage image = form->PaintToImage();
  ASSERT_EQ(image.size(), QSize(200, 120));
  EXPECT_EQ(PixelAt(image, 100, 5), clRed);       // TopBar
  EXPECT_EQ(PixelAt(image, 10, 60), clBlue);      // Side
  EXPECT_EQ(PixelAt(image, 150, 90), clLime);     // Body
  EXPECT_EQ(PixelAt(image, 65, 35), clBlack);     // Mark at (10, 10) in Body
  EXPECT_EQ(PixelAt(image, 50 + 30, 20 + 30), clLime);  // just past Mark's right/bottom
}

TEST_F(FormFileTest, ResizingRealignsAndRepaints) {
  auto* form = new TPanelsForm(app.get());
  form->Show();
  form->SetBorderStyle(bsSizeable);
  form->SetClientWidth(300);
  auto* body = FindComponentAs<TTestPanel>(form, "Body");
  EXPECT_EQ(body->BoundsRect(), Rect(50, 20, 300, 120));
  body->SetColor(clYellow);
  const QImage image = form->PaintToImage();
  EXPECT_EQ(PixelAt(image, 250, 100), clYellow);
}

TEST_F(FormFileTest, ClickOnAControlFiresTheHandlerBoundByName) {
  auto* form = new TPanelsForm(app.get());
  form->Show();
  auto* body = FindComponentAs<TTestPanel>(form, "Body");
  Click(body, 100, 50);
  EXPECT_EQ(form->bodyClicks, 1);
  // Released outside the control: no click.
  SendMouse(body, QEvent::MouseButtonPress, 10, 10);
  SendMouse(body, QEvent::MouseButtonRelease, 500, 10);
  EXPECT_EQ(form->bodyClicks, 1);
}

TEST_F(FormFileTest, ColorAndFontFollowTheParentUntilSetOwn) {
  TForm form(nullptr);
  auto* panel = new TTestPanel(&form);
  panel->SetParent(&form);
  panel->SetParentColor(true);
  form.SetColor(clNavy);
  EXPECT_EQ(panel->Color(), clNavy);
  form.Font()->SetName(QStringLiteral("Courier New"));
  EXPECT_EQ(panel->Font()->Name(), "Courier New");
  panel->Font()->SetName(QStringLiteral("Arial"));
  EXPECT_FALSE(panel->ParentFont());
  form.Font()->SetName(QStringLiteral("Times New Roman"));
  EXPECT_EQ(panel->Font()->Name(), "Arial");
}

TEST_F(FormFileTest, PositionCentresOnTheScreen) {
  Screen->OverrideSize(1000, 800);
  TForm form(nullptr);
  form.SetBounds(0, 0, 400, 200);
  form.SetPosition(poScreenCenter);
  form.Show();
  EXPECT_EQ(form.Left(), 300);
  EXPECT_EQ(form.Top(), 300);
}

TEST_F(FormFileTest, ScreenListsForms) {
  const int before = Screen->FormCount();
  {
    TForm form(nullptr);
    EXPECT_EQ(Screen->FormCount(), before + 1);
    EXPECT_EQ(Screen->Forms(before), &form);
  }
  EXPECT_EQ(Screen->FormCount(), before);
  EXPECT_EQ(Screen->PixelsPerInch(), 96);
}

}  // namespace
