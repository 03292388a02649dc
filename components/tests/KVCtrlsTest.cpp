// The shadow label's pixels and size, and the scrolling panel's lines, its
// end and its geometry, with the panel's timer driven by hand.
#include "components/KVCtrls.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/Form.h"
#include "platform/graphics/Colors.h"
#include "platform/rtl/StringList.h"

#include <QCoreApplication>
#include <QCursor>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

TColor At(const QImage& image, int x, int y) { return QRgbToColor(image.pixel(x, y)); }

// The form in front and the mouse cursor still over the middle of control.
void CursorStillOver(TForm& form, TControl& control) {
  form.Widget()->activateWindow();
  const TPoint p = control.ClientToScreen({control.Width() / 2, control.Height() / 2});
  QCursor::setPos(p.X, p.Y);
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

TRect InkOf(const QImage& image, TColor color, int top = 0, int bottom = -1) {
  if (bottom < 0) bottom = image.height();
  TRect r{image.width(), image.height(), 0, 0};
  for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (At(image, x, y) == color) {
        r.Left = std::min(r.Left, x);
        r.Top = std::min(r.Top, y);
        r.Right = std::max(r.Right, x + 1);
        r.Bottom = std::max(r.Bottom, y + 1);
      }
  return r.IsEmpty() ? TRect{} : r;
}

class KvControls : public testing::Test {
 protected:
  void SetUp() override {
    RegisterKvCtrlsClasses();
    TKvTimer::SetTickHook([this](TKvTimer*, bool running, unsigned) { ticking = running; });
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 320, 240);
    form->SetColor(clWhite);
    form->Show();
  }
  void TearDown() override {
    form.reset();
    TKvTimer::SetTickHook(nullptr);
  }

  TKvLabel* NewLabel(const QString& caption) {
    auto* label = new TKvLabel(form.get());
    label->SetParent(form.get());
    label->Font()->SetName(QStringLiteral("Courier New"));
    label->Font()->SetHeight(-21);
    label->Font()->SetStyle(TFontStyles{fsBold});
    label->Font()->SetColor(clBlue);
    label->SetColor(clWhite);
    label->SetCaption(caption);
    return label;
  }

  TSecretPanel* NewPanel(const QStringList& lines) {
    auto* panel = new TSecretPanel(form.get());
    panel->SetParent(form.get());
    panel->SetBounds(8, 8, 200, 100);
    panel->SetColor(clWhite);
    panel->Font()->SetName(QStringLiteral("Courier New"));
    panel->Font()->SetHeight(-12);
    panel->Font()->SetColor(clRed);
    for (const QString& line : lines) panel->Lines()->Add(line);
    return panel;
  }

  bool ticking = false;
  std::unique_ptr<TForm> form;
};

TEST_F(KvControls, ShadowFollowsTheTextAtItsSizeAndPosition) {
  struct Case {
    TShadowPosition pos;
    int dx, dy;
  };
  for (const Case c : {Case{spLeftTop, -3, -3}, Case{spLeftBottom, -3, 3},
                       Case{spRightBottom, 3, 3}, Case{spRightTop, 3, -3}}) {
    TKvLabel* label = NewLabel(QStringLiteral("Tv"));
    label->SetAutoSize(false);
    label->SetBounds(10, 10, 80, 40);
    label->SetAlignment(taCenter);
    label->SetLayout(tlCenter);
    label->SetShadowColor(clRed);
    label->SetShadowSize(3);
    label->SetShadowPos(c.pos);
    const QImage image = label->PaintToImage();
    const TRect text = InkOf(image, ColorToRGB(clBlue));
    const TRect shadow = InkOf(image, ColorToRGB(clRed));
    ASSERT_FALSE(text.IsEmpty());
    ASSERT_FALSE(shadow.IsEmpty());
    // Every text pixel has its shadow pixel (or text) at the offset.
    int missing = 0;
    for (int y = text.Top; y < text.Bottom; ++y)
      for (int x = text.Left; x < text.Right; ++x)
        if (At(image, x, y) == ColorToRGB(clBlue)) {
          const TColor s = At(image, x + c.dx, y + c.dy);
          missing += s != ColorToRGB(clRed) && s != ColorToRGB(clBlue);
        }
    EXPECT_EQ(missing, 0) << c.pos;
    // The edge on the shadow's side lies exactly the offset away.
    EXPECT_EQ(c.dx > 0 ? shadow.Right - text.Right : shadow.Left - text.Left, c.dx) << c.pos;
    EXPECT_EQ(c.dy > 0 ? shadow.Bottom - text.Bottom : shadow.Top - text.Top, c.dy) << c.pos;
    // Opaque: the background in Color.
    EXPECT_EQ(At(image, 0, 0), ColorToRGB(clWhite));
  }
}

TEST_F(KvControls, DisabledLabelWithoutShadowGetsAOnePixelHighlightShadow) {
  TKvLabel* label = NewLabel(QStringLiteral("Tv"));
  label->SetAutoSize(false);
  label->SetBounds(10, 10, 80, 40);
  label->SetShadowSize(0);
  label->SetColor(clBlack);
  label->SetEnabled(false);
  const QImage image = label->PaintToImage();
  const TRect text = InkOf(image, ColorToRGB(clGrayText));
  const TRect shadow = InkOf(image, ColorToRGB(clBtnHighlight));
  ASSERT_FALSE(text.IsEmpty());
  EXPECT_TRUE(InkOf(image, ColorToRGB(clBlue)).IsEmpty());
  EXPECT_EQ(shadow.Right, text.Right + 1);
  EXPECT_EQ(shadow.Bottom, text.Bottom + 1);
}

TEST_F(KvControls, AutoSizeKeepsOneLineAndTheRightEdge) {
  TKvLabel* full = NewLabel(QStringLiteral("Trovaly 1.0"));
  TKvLabel* empty = NewLabel(QString());
  EXPECT_EQ(empty->Height(), full->Height());  // one line's height
  EXPECT_GT(full->Width(), empty->Width());

  TKvLabel* right = NewLabel(QStringLiteral("ab"));
  right->SetAlignment(taRightJustify);
  right->SetBounds(50, 5, right->Width(), right->Height());
  const int edge = right->Left() + right->Width();
  right->SetCaption(QStringLiteral("abcdef"));
  EXPECT_EQ(right->Left() + right->Width(), edge);
  EXPECT_LT(right->Left(), 50);

  // The shadow is part of the measured size.
  const int height = full->Height();
  full->SetShadowSize(5);
  EXPECT_GT(full->Height() + full->Width(), height);
}

TEST_F(KvControls, DisabledOrHiddenUnderAStillCursorLeavesAndComesBack) {
  TKvLabel* label = NewLabel(QStringLiteral("Trovaly 1.0"));
  label->SetBounds(40, 40, label->Width(), label->Height());
  int enters = 0;
  int leaves = 0;
  label->OnMouseEnter = [&](TObject*) { ++enters; };
  label->OnMouseLeave = [&](TObject*) { ++leaves; };
  CursorStillOver(*form, *label);
  ASSERT_EQ(FindDragTarget(GetCursorPos(), false), label);
  label->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(label));
  ASSERT_TRUE(label->MouseInside());
  ASSERT_EQ(enters, 1);

  label->SetEnabled(false);
  EXPECT_FALSE(label->MouseInside());
  EXPECT_EQ(leaves, 1);
  label->SetEnabled(true);
  EXPECT_TRUE(label->MouseInside());
  EXPECT_EQ(enters, 2);

  label->SetVisible(false);
  EXPECT_FALSE(label->MouseInside());
  EXPECT_EQ(leaves, 2);
  label->SetVisible(true);
  EXPECT_TRUE(label->MouseInside());
  EXPECT_EQ(enters, 3);
  EXPECT_EQ(leaves, 2);
}

TEST_F(KvControls, MouseLeaveWaitsForTheButtonAndThePartnerIsForgotten) {
  TKvLabel* label = NewLabel(QStringLiteral("&Nimi"));
  int leaves = 0;
  label->OnMouseLeave = [&](TObject*) { ++leaves; };
  const auto self = reinterpret_cast<LPARAM>(label);
  label->Perform(CM_MOUSEENTER, 0, self);
  EXPECT_TRUE(label->MouseInside());
  label->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  label->Perform(CM_MOUSELEAVE, 0, self);
  EXPECT_FALSE(label->MouseInside());
  EXPECT_EQ(leaves, 0);  // pressed on the label
  label->Perform(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  label->Perform(CM_MOUSEENTER, 0, self);
  label->Perform(CM_MOUSELEAVE, 0, self);
  EXPECT_EQ(leaves, 1);
  label->Perform(CM_MOUSELEAVE, 0, self);
  EXPECT_EQ(leaves, 1);  // only on leaving

  auto* partner = new TPanel(form.get());
  partner->SetParent(form.get());
  label->SetFocusControl(partner);
  partner->Free();
  EXPECT_EQ(label->FocusControl(), nullptr);
  EXPECT_EQ(label->Perform(CM_DIALOGCHAR, 'n', 0), 0);
}

TEST_F(KvControls, PanelScrollsItsLinesAndStopsOrCycles) {
  for (const bool cycled : {true, false}) {
    TSecretPanel* panel = NewPanel({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
    panel->SetCycled(cycled);
    panel->SetActive(true);
    ASSERT_TRUE(ticking);
    EXPECT_EQ(panel->ScrollTimer()->Interval(), 30u);
    const int h = panel->LineHeight();
    ASSERT_GT(h, 1);
    for (int i = 0; i < 2 * h; ++i) panel->ScrollTimer()->FireTick();
    EXPECT_EQ(panel->ScrollPos(), 2 * h);  // the last line at the top
    panel->ScrollTimer()->FireTick();
    EXPECT_EQ(panel->Active(), cycled);
    EXPECT_EQ(panel->ScrollPos(), 0);
    EXPECT_EQ(ticking, cycled);
    panel->SetActive(false);
  }
}

TEST_F(KvControls, PanelDrawsTheLineAtItsPositionAndNothingPastTheLast) {
  TSecretPanel* panel = NewPanel({QString(), QStringLiteral("XX")});
  auto* child = new TKvLabel(form.get());
  child->SetParent(panel);
  panel->SetActive(true);
  EXPECT_FALSE(child->Visible());  // hidden while scrolling
  const int h = panel->LineHeight();
  const TRect area = panel->TextRect();
  // No glyph, glyph left: the inset (border 3 + outer bevel 1) plus 3.
  EXPECT_EQ(area.Left, panel->ClientRect().Left + 7);
  EXPECT_EQ(area.Top, panel->ClientRect().Top + 4);

  const TColor red = ColorToRGB(clRed);
  panel->ScrollTimer()->FireTick();  // position 1: the blank first line at the top
  QImage image = panel->PaintToImage();
  EXPECT_TRUE(InkOf(image, red, area.Top, area.Top + h - 1).IsEmpty());
  EXPECT_FALSE(InkOf(image, red, area.Top + h - 1, area.Top + 2 * h).IsEmpty());
  for (int i = 1; i < h; ++i) panel->ScrollTimer()->FireTick();
  image = panel->PaintToImage();
  const TRect top = InkOf(image, red, area.Top, area.Top + h);
  EXPECT_FALSE(top.IsEmpty());  // "XX" at the top now
  EXPECT_TRUE(InkOf(image, red, area.Top + h, area.Bottom).IsEmpty());  // the blank after it
  EXPECT_EQ(InkOf(image, red), top);

  // A smaller font puts the position past the last line: nothing is read.
  panel->Font()->SetHeight(-6);
  EXPECT_LT(panel->LineHeight(), h);
  image = panel->PaintToImage();
  EXPECT_TRUE(InkOf(image, red).IsEmpty());

  panel->SetActive(false);
  EXPECT_TRUE(child->Visible());
}

// A line is as high as the font's cell and the external leading it asks
// for (one pixel more with a text style): Times New Roman at 12 pixels
// asks for a pixel of leading, Courier New for none. The lines are drawn
// that far apart.
TEST_F(KvControls, LineHeightIsTheFontsCellAndItsExternalLeading) {
  const struct {
    const char* face;
    TPanelBevel style;
    int height;
  } rows[] = {{"Times New Roman", bvNone, 15}, {"Times New Roman", bvLowered, 16}, {"Courier New", bvNone, 14}};
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.face) + (row.style == bvNone ? "" : " with a text style"));
    TSecretPanel* panel = NewPanel({QStringLiteral("X"), QStringLiteral("X")});
    panel->Font()->SetName(QString::fromLatin1(row.face));
    panel->SetTextStyle(row.style);
    panel->SetActive(true);
    EXPECT_EQ(panel->LineHeight(), row.height);
    panel->ScrollTimer()->FireTick();
    const QImage image = panel->PaintToImage();
    const TRect area = panel->TextRect();
    const TColor red = ColorToRGB(clRed);
    const TRect first = InkOf(image, red, area.Top, area.Top + row.height);
    const TRect second = InkOf(image, red, area.Top + row.height, area.Top + 2 * row.height);
    ASSERT_FALSE(first.IsEmpty());
    ASSERT_FALSE(second.IsEmpty());
    EXPECT_EQ(second.Top - first.Top, row.height);
    panel->SetActive(false);
    panel->Free();
  }
}

TEST_F(KvControls, LineHeightBeyondAByteIsHeldAndNeverZero) {
  TSecretPanel* panel = NewPanel({QStringLiteral("a"), QStringLiteral("b")});
  panel->SetBounds(0, 0, 300, 200);
  panel->Font()->SetHeight(-300);
  panel->SetTextStyle(bvRaised);
  panel->SetActive(true);
  EXPECT_EQ(panel->LineHeight(), 255);
  for (int i = 0; i < 256; ++i) panel->ScrollTimer()->FireTick();
  EXPECT_EQ(panel->ScrollPos(), 0);  // 255 steps, then back to the start
  EXPECT_FALSE(panel->Active());
}

TEST_F(KvControls, FormFileRoundTrip) {
  const QByteArray text =
      "object Root: TForm\n"
      "  object KvLabel1: TKvLabel\n"
      "    Caption = 'Trovaly 1.0'\n"
      "    ShadowColor = clWhite\n"
      "    ShadowSize = 2\n"
      "    ShadowPos = spRightBottom\n"
      "    Layout = tlCenter\n"
      "    ShowFocus = True\n"
      "    Transparent = True\n"
      "  end\n"
      "  object SecretPanel1: TSecretPanel\n"
      "    Active = True\n"
      "    Alignment = taLeftJustify\n"
      "    Cycled = True\n"
      "    Ctl3D = False\n"
      "    GlyphLayout = glGlyphTop\n"
      "    Interval = 45\n"
      "    TextStyle = bvLowered\n"
      "    Lines = ( 'eka' 'toka' )\n"
      "  end\n"
      "end\n";
  QByteArray source = text;
  for (int round = 0; round < 2; ++round) {
    TForm root(nullptr);
    ReadRootComponent(&root, source, QStringLiteral("Root.form"));
    auto* label = dynamic_cast<TKvLabel*>(root.FindComponent("KvLabel1"));
    auto* panel = dynamic_cast<TSecretPanel*>(root.FindComponent("SecretPanel1"));
    ASSERT_NE(label, nullptr);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(label->Caption(), "Trovaly 1.0");
    EXPECT_EQ(label->ShadowColor(), clWhite);
    EXPECT_EQ(label->ShadowSize(), 2);
    EXPECT_EQ(label->ShadowPos(), spRightBottom);
    EXPECT_EQ(label->Layout(), tlCenter);
    EXPECT_TRUE(label->ShowFocus());
    EXPECT_TRUE(label->Transparent());
    EXPECT_TRUE(panel->Active());
    EXPECT_TRUE(ticking);  // started once read
    EXPECT_EQ(panel->Alignment(), taLeftJustify);
    EXPECT_TRUE(panel->Cycled());
    EXPECT_FALSE(panel->Ctl3D());
    EXPECT_EQ(panel->GlyphLayout(), glGlyphTop);
    EXPECT_EQ(panel->Interval(), 45u);
    EXPECT_EQ(panel->TextStyle(), bvLowered);
    ASSERT_EQ(panel->Lines()->Count(), 2);
    EXPECT_EQ(panel->Lines()->Strings(1), "toka");
    EXPECT_EQ(panel->BevelOuter(), bvLowered);
    source = WriteComponentText(&root);
    EXPECT_FALSE(source.contains("BevelOuter")) << source.constData();  // its default
  }
}

}  // namespace
