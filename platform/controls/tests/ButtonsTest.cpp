// Push buttons (modal results, Enter and Escape), bitmap buttons (kinds,
// glyphs) and speed buttons (groups, down state, glyph images).

#include "platform/controls/Buttons.h"

#include "platform/classes/FormWriter.h"
#include "platform/controls/CheckRadio.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Memo.h"
#include "platform/controls/tests/ControlsTestSupport.h"

#include <QImage>
#include <QKeyEvent>
#include <QPlainTextEdit>

namespace {

class ButtonsTest : public ControlsTest {
 protected:
  void SetUp() override {
    ControlsTest::SetUp();
    RegisterButtonClasses();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 240, 120);
    form->SetColor(clWhite);
  }
  void TearDown() override {
    form.reset();
    ControlsTest::TearDown();
  }
  template <class T>
  T* Add(int left, int top, int width = 75, int height = 25) {
    auto* c = new T(form.get());
    c->SetParent(form.get());
    c->SetBounds(left, top, width, height);
    return c;
  }
  static void Key(TControl* c, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QCoreApplication::sendEvent(c->Widget(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods);
    QCoreApplication::sendEvent(c->Widget(), &release);
  }
  TColor At(int x, int y) { return QRgbToColor(form->PaintToImage().pixel(x, y)); }

  std::unique_ptr<TForm> form;
};

// A glyph strip of n images, each a solid colour with a transparent
// (fuchsia) one-pixel rim.
std::unique_ptr<TBitmap> Strip(const std::vector<TColor>& colours, int size = 8) {
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetSize(size * static_cast<int>(colours.size()), size);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(Rect(0, 0, bmp->Width(), size));
  for (std::size_t i = 0; i < colours.size(); ++i) {
    c->Brush()->SetColor(colours[i]);
    const int x = static_cast<int>(i) * size;
    c->FillRect(Rect(x + 1, 1, x + size - 1, size - 1));
  }
  return bmp;
}

TEST_F(ButtonsTest, ClickWithModalResultEndsTheModalForm) {
  auto* ok = Add<TButton>(10, 10);
  ok->SetModalResult(mrOk);
  int clicks = 0;
  ok->OnClick = [&clicks](TObject*) { ++clicks; };
  app->ModalDriver = [&](TObject* modal) {
    if (modal == form.get()) Click(ok, 5, 5);
  };
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonsTest, ClickWithoutModalResultLeavesTheFormOpen) {
  auto* plain = Add<TButton>(10, 10);
  auto* cancel = Add<TButton>(100, 10);
  cancel->SetModalResult(mrCancel);
  app->ModalDriver = [&](TObject* modal) {
    if (modal != form.get()) return;
    Click(plain, 5, 5);
    EXPECT_EQ(form->ModalResult(), mrNone);
    Click(cancel, 5, 5);
  };
  EXPECT_EQ(form->ShowModal(), mrCancel);
}

TEST_F(ButtonsTest, PressOutsideAndReleaseOutsideDoesNotClick) {
  auto* b = Add<TButton>(10, 10);
  int clicks = 0;
  b->OnClick = [&clicks](TObject*) { ++clicks; };
  form->Show();
  SendMouse(b, QEvent::MouseButtonPress, 5, 5);
  EXPECT_TRUE(b->Pressed());
  SendMouse(b, QEvent::MouseButtonRelease, 200, 5);
  EXPECT_FALSE(b->Pressed());
  EXPECT_EQ(clicks, 0);
}

TEST_F(ButtonsTest, EnterAndEscapeReachDefaultAndCancelButtons) {
  auto* edit = Add<TTestPanel>(10, 60);
  auto* ok = Add<TButton>(10, 10);
  auto* cancel = Add<TButton>(100, 10);
  ok->SetDefault(true);
  cancel->SetCancel(true);
  QStringList log;
  ok->OnClick = [&log](TObject*) { log << "ok"; };
  cancel->OnClick = [&log](TObject*) { log << "cancel"; };
  form->Show();
  Key(edit, Qt::Key_Return);
  Key(edit, Qt::Key_Escape);
  Key(edit, Qt::Key_Enter);
  Key(edit, Qt::Key_A);
  EXPECT_EQ(log, (QStringList{"ok", "cancel", "ok"}));
}

TEST_F(ButtonsTest, EnterInABoxClicksTheDefaultButtonOnceUnlessTheBoxWantsIt) {
  auto* edit = Add<TEdit>(10, 40, 100, 21);
  auto* memo = Add<TMemo>(120, 40, 100, 60);
  auto* ok = Add<TButton>(10, 10);
  ok->SetDefault(true);
  int clicks = 0;
  ok->OnClick = [&clicks](TObject*) { ++clicks; };
  form->Show();
  auto enter = [](TNativeControl* c) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(c->NativeWidget(), &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QCoreApplication::sendEvent(c->NativeWidget(), &release);
  };
  edit->SetFocus();
  enter(edit);
  EXPECT_EQ(clicks, 1);

  memo->SetFocus();
  enter(memo);  // WantReturns: a new line
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(memo->Editor()->blockCount(), 2);

  memo->SetWantReturns(false);
  enter(memo);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(memo->Editor()->blockCount(), 2);
}

TEST_F(ButtonsTest, EnterOnAModalFormReturnsTheDefaultResult) {
  auto* edit = Add<TTestPanel>(10, 60);
  auto* ok = Add<TButton>(10, 10);
  ok->SetDefault(true);
  ok->SetModalResult(mrYes);
  app->ModalDriver = [&](TObject* modal) {
    if (modal == form.get()) Key(edit, Qt::Key_Return);
  };
  EXPECT_EQ(form->ShowModal(), mrYes);
}

TEST_F(ButtonsTest, AFocusedButtonAnswersEnterItself) {
  auto* ok = Add<TButton>(10, 10);
  auto* other = Add<TButton>(100, 10);
  ok->SetDefault(true);
  QStringList log;
  ok->OnClick = [&log](TObject*) { log << "ok"; };
  other->OnClick = [&log](TObject*) { log << "other"; };
  form->Show();
  Key(other, Qt::Key_Return);
  Key(other, Qt::Key_Space);
  EXPECT_EQ(log, (QStringList{"other", "other"}));
}

TEST_F(ButtonsTest, DisabledOrHiddenDefaultButtonIgnoresEnter) {
  auto* edit = Add<TTestPanel>(10, 60);
  auto* ok = Add<TButton>(10, 10);
  ok->SetDefault(true);
  int clicks = 0;
  ok->OnClick = [&clicks](TObject*) { ++clicks; };
  form->Show();
  ok->SetEnabled(false);
  Key(edit, Qt::Key_Return);
  ok->SetEnabled(true);
  ok->SetVisible(false);
  Key(edit, Qt::Key_Return);
  EXPECT_EQ(clicks, 0);
}

TEST_F(ButtonsTest, AltAndTheAcceleratorClicksTheButtonOrTogglesTheCheckBox) {
  auto* edit = Add<TTestPanel>(10, 60);
  auto* ok = Add<TButton>(10, 10);
  ok->SetCaption(QStringLiteral("&OK"));
  auto* done = Add<TCheckBox>(100, 10);
  done->SetCaption(QStringLiteral("&Valmis"));
  auto* hidden = Add<TButton>(100, 40);
  hidden->SetCaption(QStringLiteral("&Piilo"));
  hidden->SetVisible(false);
  QStringList log;
  ok->OnClick = [&log](TObject*) { log << "ok"; };
  hidden->OnClick = [&log](TObject*) { log << "piilo"; };
  form->Show();
  Key(edit, Qt::Key_O, Qt::AltModifier);
  Key(edit, Qt::Key_O);  // without Alt the letter is the control's own
  Key(edit, Qt::Key_P, Qt::AltModifier);
  Key(edit, Qt::Key_V, Qt::AltModifier);
  EXPECT_EQ(log, QStringList{"ok"});
  EXPECT_TRUE(done->Checked());
  Key(edit, Qt::Key_V, Qt::AltModifier);
  EXPECT_FALSE(done->Checked());
}

TEST_F(ButtonsTest, KeysOfAnotherWindowDoNotReachTheButton) {
  auto* ok = Add<TButton>(10, 10);
  ok->SetDefault(true);
  int clicks = 0;
  ok->OnClick = [&clicks](TObject*) { ++clicks; };
  form->Show();
  TForm other(nullptr);
  auto* edit = new TTestPanel(&other);
  edit->SetParent(&other);
  other.Show();
  Key(edit, Qt::Key_Return);
  EXPECT_EQ(clicks, 0);
}

TEST_F(ButtonsTest, DefaultButtonHasADarkFrame) {
  auto* ok = Add<TButton>(10, 10);
  form->Show();
  const TColor plain = At(10, 20);
  ok->SetDefault(true);
  EXPECT_EQ(At(10, 20), ColorToRGB(clWindowFrame));
  EXPECT_NE(plain, ColorToRGB(clWindowFrame));
}

struct KindCase {
  TBitBtnKind kind;
  const char* caption;
  TModalResult result;
  bool isDefault;
  bool isCancel;
};

class BitBtnKindTest : public ButtonsTest, public testing::WithParamInterface<KindCase> {};

TEST_P(BitBtnKindTest, KindPresetsCaptionAndResult) {
  auto* b = Add<TBitBtn>(10, 10);
  b->SetKind(GetParam().kind);
  EXPECT_EQ(b->Caption(), QString::fromLatin1(GetParam().caption));
  EXPECT_EQ(b->ModalResult(), GetParam().result);
  EXPECT_EQ(b->Default(), GetParam().isDefault);
  EXPECT_EQ(b->Cancel(), GetParam().isCancel);
}

INSTANTIATE_TEST_SUITE_P(Kinds, BitBtnKindTest,
                         testing::Values(KindCase{bkOK, "OK", mrOk, true, false},
                                         KindCase{bkCancel, "Cancel", mrCancel, false, true},
                                         KindCase{bkHelp, "&Help", mrNone, false, false},
                                         KindCase{bkYes, "&Yes", mrYes, true, false},
                                         KindCase{bkNo, "&No", mrNo, false, true},
                                         KindCase{bkClose, "&Close", mrNone, false, false},
                                         KindCase{bkAbort, "Abort", mrAbort, false, false},
                                         KindCase{bkRetry, "&Retry", mrRetry, false, false},
                                         KindCase{bkIgnore, "&Ignore", mrIgnore, false, false},
                                         KindCase{bkAll, "&All", mrAll, false, false}));

TEST_F(ButtonsTest, CloseKindClosesTheForm) {
  auto* b = Add<TBitBtn>(10, 10);
  b->SetKind(bkClose);
  form->Show();
  Click(b, 5, 5);
  Pump();
  EXPECT_FALSE(form->Visible());
}

TEST_F(ButtonsTest, FormFileCaptionSurvivesTheKind) {
  const QByteArray text =
      "object Sivu: TForm\n"
      "  object CancelBtn: TBitBtn\n"
      "    Caption = 'Peruuta'\n    Kind = bkCancel\n"
      "  end\n"
      "  object OkBtn: TBitBtn\n"
      "    Kind = bkOK\n"
      "  end\n"
      "end\n";
  ReadRootComponent(form.get(), text, QStringLiteral("sivu.form"));
  auto* cancel = FindComponentAs<TBitBtn>(form.get(), QStringLiteral("CancelBtn"));
  auto* ok = FindComponentAs<TBitBtn>(form.get(), QStringLiteral("OkBtn"));
  EXPECT_EQ(cancel->Caption(), QStringLiteral("Peruuta"));
  EXPECT_EQ(cancel->ModalResult(), mrCancel);
  EXPECT_TRUE(cancel->Cancel());
  EXPECT_EQ(ok->Caption(), QStringLiteral("OK"));
  // After loading, a kind sets the caption again.
  cancel->SetKind(bkNo);
  EXPECT_EQ(cancel->Caption(), QStringLiteral("&No"));
}

// Whether the form image has a pixel of roughly colour c in the button's
// left part, before its caption starts.
bool HasColourLeftOfCaption(const QImage& image, const TButton* b, QRgb c) {
  const TRect r = b->BoundsRect();
  for (int y = r.Top + 2; y < r.Bottom - 2; ++y)
    for (int x = r.Left + 2; x < r.Left + 24; ++x) {
      const QRgb p = image.pixel(x, y);
      if (qAbs(qRed(p) - qRed(c)) < 40 && qAbs(qGreen(p) - qGreen(c)) < 40 &&
          qAbs(qBlue(p) - qBlue(c)) < 40)
        return true;
    }
  return false;
}

TEST_F(ButtonsTest, KindsWithoutAGlyphShowTheirOwnPicture) {
  auto* ok = Add<TBitBtn>(10, 10, 90, 25);
  ok->SetKind(bkOK);
  auto* cancel = Add<TBitBtn>(110, 10, 90, 25);
  cancel->SetKind(bkCancel);
  auto* plain = Add<TBitBtn>(10, 50, 90, 25);
  plain->SetCaption(QStringLiteral("Tavallinen"));
  for (TBitBtn* b : {ok, cancel, plain}) b->SetMargin(2);  // glyph at the left edge
  form->Show();
  const QImage image = form->PaintToImage();
  EXPECT_TRUE(HasColourLeftOfCaption(image, ok, qRgb(0, 128, 0)));
  EXPECT_FALSE(HasColourLeftOfCaption(image, ok, qRgb(255, 0, 0)));
  EXPECT_TRUE(HasColourLeftOfCaption(image, cancel, qRgb(255, 0, 0)));
  EXPECT_FALSE(HasColourLeftOfCaption(image, cancel, qRgb(0, 128, 0)));
  EXPECT_FALSE(HasColourLeftOfCaption(image, plain, qRgb(0, 128, 0)));
  // A glyph of its own replaces the kind's picture.
  ok->SetGlyph(Strip({clBlue}, 12).get());
  const QImage withGlyph = form->PaintToImage();
  EXPECT_FALSE(HasColourLeftOfCaption(withGlyph, ok, qRgb(0, 128, 0)));
  EXPECT_TRUE(HasColourLeftOfCaption(withGlyph, ok, qRgb(0, 0, 255)));
}

TEST_F(ButtonsTest, GlyphIsDrawnWithItsTransparentColourLeftOut) {
  auto* b = Add<TBitBtn>(10, 10, 40, 40);
  b->SetGlyph(Strip({clRed}, 12).get());
  form->Show();
  const QImage image = form->PaintToImage();
  // No caption: the glyph is centred (14..26 inside the button).
  EXPECT_EQ(QRgbToColor(image.pixel(10 + 20, 10 + 20)), clRed);
  EXPECT_EQ(QRgbToColor(image.pixel(10 + 14, 10 + 14)), ColorToRGB(clBtnFace));
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      ASSERT_NE(QRgbToColor(image.pixel(x, y)), clFuchsia) << x << "," << y;
}

TEST_F(ButtonsTest, DisabledButtonShowsTheDisabledGlyph) {
  auto* b = Add<TBitBtn>(10, 10, 40, 40);
  b->SetGlyph(Strip({clRed, clBlue}, 12).get());
  b->SetNumGlyphs(2);
  form->Show();
  EXPECT_EQ(At(30, 30), clRed);
  b->SetEnabled(false);
  EXPECT_EQ(At(30, 30), clBlue);
}

struct PlaceCase {
  TButtonLayout layout;
  int margin;
  int spacing;
  TPoint glyph;
  int textLeft;
  int textTop;
};

class PlaceGlyphTest : public testing::TestWithParam<PlaceCase> {};

TEST_P(PlaceGlyphTest, PutsGlyphAndCaption) {
  const PlaceCase& c = GetParam();
  // Client 100 x 40, glyph 16 x 16, text 30 x 10.
  const TGlyphPlacement p =
      PlaceGlyph(Rect(0, 0, 100, 40), {16, 16}, {30, 10}, c.layout, c.margin, c.spacing);
  EXPECT_EQ(p.glyph.X, c.glyph.X);
  EXPECT_EQ(p.glyph.Y, c.glyph.Y);
  EXPECT_EQ(p.text.Left, c.textLeft);
  EXPECT_EQ(p.text.Top, c.textTop);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PlaceGlyphTest,
    testing::Values(PlaceCase{blGlyphLeft, -1, 4, {25, 12}, 45, 15},
                    PlaceCase{blGlyphLeft, 5, 4, {5, 12}, 25, 15},
                    PlaceCase{blGlyphRight, 5, 4, {79, 12}, 45, 15},
                    PlaceCase{blGlyphLeft, -1, -1, {18, 12}, 52, 15},
                    PlaceCase{blGlyphTop, 2, 2, {42, 2}, 35, 20},
                    PlaceCase{blGlyphBottom, 2, 2, {42, 22}, 35, 10}));

// Speed buttons.

class SpeedButtonTest : public ButtonsTest {
 protected:
  TSpeedButton* Tool(int left, int group, bool allowAllUp = false) {
    auto* b = Add<TSpeedButton>(left, 10, 23, 22);
    b->SetGroupIndex(group);
    b->SetAllowAllUp(allowAllUp);
    return b;
  }
};

TEST_F(SpeedButtonTest, GroupedButtonsReleaseEachOther) {
  auto* a = Tool(0, 1);
  auto* b = Tool(30, 1);
  auto* other = Tool(60, 2);
  form->Show();
  Click(a, 5, 5);
  other->SetDown(true);
  EXPECT_TRUE(a->Down());
  Click(b, 5, 5);
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(b->Down());
  EXPECT_TRUE(other->Down());  // another group
  a->SetDown(true);
  EXPECT_FALSE(b->Down());
}

TEST_F(SpeedButtonTest, WithoutAllowAllUpTheDownButtonStaysDown) {
  auto* a = Tool(0, 1);
  form->Show();
  Click(a, 5, 5);
  Click(a, 5, 5);
  EXPECT_TRUE(a->Down());
  a->SetDown(false);
  EXPECT_TRUE(a->Down());
}

TEST_F(SpeedButtonTest, AllowAllUpLetsTheButtonComeUp) {
  auto* a = Tool(0, 1, true);
  form->Show();
  QList<bool> seen;
  a->OnClick = [&seen, a](TObject*) { seen << a->Down(); };
  Click(a, 5, 5);
  Click(a, 5, 5);
  EXPECT_FALSE(a->Down());
  EXPECT_EQ(seen, (QList<bool>{true, false}));  // Down is current in OnClick
  a->SetDown(true);
  a->SetDown(false);
  EXPECT_FALSE(a->Down());
}

TEST_F(SpeedButtonTest, AllowAllUpIsSharedByTheGroup) {
  auto* a = Tool(0, 1);
  auto* b = Tool(30, 1);
  a->SetAllowAllUp(true);
  EXPECT_TRUE(b->AllowAllUp());
}

TEST_F(SpeedButtonTest, UngroupedButtonNeverStaysDown) {
  auto* a = Tool(0, 0);
  int clicks = 0;
  a->OnClick = [&clicks](TObject*) { ++clicks; };
  form->Show();
  a->SetDown(true);
  EXPECT_FALSE(a->Down());
  Click(a, 5, 5);
  EXPECT_FALSE(a->Down());
  EXPECT_EQ(clicks, 1);
}

TEST_F(SpeedButtonTest, DownButtonIsSunkenAndUpButtonRaised) {
  auto* a = Tool(10, 1, true);
  form->Show();
  const TColor upCorner = At(10, 10);
  EXPECT_NE(upCorner, ColorToRGB(clBtnShadow));
  a->SetDown(true);
  EXPECT_EQ(At(10, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(At(10 + 22, 10 + 21), ColorToRGB(clBtnHighlight));
  SendMouse(a, QEvent::MouseButtonPress, 5, 5);  // a pressed up button sinks too
  a->SetDown(false);
  EXPECT_EQ(a->State(), bsUp);
}

TEST_F(SpeedButtonTest, NumGlyphsPicksTheImageOfTheState) {
  auto* a = Add<TSpeedButton>(10, 10, 30, 30);
  a->SetGroupIndex(1);
  a->SetAllowAllUp(true);
  a->SetGlyph(Strip({clRed, clGreen, clBlue, clYellow}, 10).get());
  a->SetNumGlyphs(4);
  form->Show();
  EXPECT_EQ(At(25, 25), clRed);
  SendMouse(a, QEvent::MouseButtonPress, 5, 5);
  EXPECT_EQ(At(26, 26), clBlue);  // clicked, shifted by one
  SendMouse(a, QEvent::MouseButtonRelease, 5, 5);
  EXPECT_TRUE(a->Down());
  EXPECT_EQ(At(26, 26), clYellow);
  a->SetDown(false);
  a->SetEnabled(false);
  EXPECT_EQ(At(25, 25), clGreen);
}

TEST_F(SpeedButtonTest, FlatButtonShowsNoEdgeUntilTheMouseIsOver) {
  auto* a = Tool(10, 0);
  a->SetFlat(true);
  form->Show();
  EXPECT_EQ(At(10, 10), ColorToRGB(clBtnFace));
  a->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(a));
  EXPECT_NE(At(10, 10), ColorToRGB(clBtnFace));
  a->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(a));
  EXPECT_EQ(At(10, 10), ColorToRGB(clBtnFace));
}

TEST_F(SpeedButtonTest, FormFileDownButtonReleasesItsGroup) {
  const QByteArray text =
      "object Sivu: TForm\n"
      "  object Eka: TSpeedButton\n    GroupIndex = 1\n    Down = True\n  end\n"
      "  object Toka: TSpeedButton\n    GroupIndex = 1\n    AllowAllUp = True\n"
      "    Down = True\n  end\n"
      "end\n";
  ReadRootComponent(form.get(), text, QStringLiteral("sivu.form"));
  auto* first = FindComponentAs<TSpeedButton>(form.get(), QStringLiteral("Eka"));
  auto* second = FindComponentAs<TSpeedButton>(form.get(), QStringLiteral("Toka"));
  EXPECT_FALSE(first->Down());
  EXPECT_TRUE(second->Down());
  EXPECT_TRUE(first->AllowAllUp());
}

}  // namespace

namespace {

TEST_F(ButtonsTest, GlyphSurvivesAFormFileRoundTrip) {
  auto* b = Add<TBitBtn>(10, 10, 40, 40);
  b->SetName(QStringLiteral("Nappi"));
  b->SetGlyph(Strip({clRed, clBlue}, 6).get());
  b->SetNumGlyphs(2);
  form->SetName(QStringLiteral("Sivu"));
  const QByteArray text = WriteComponentText(form.get());
  EXPECT_TRUE(text.contains("Glyph.Data"));
  TForm copy(nullptr);
  ReadRootComponent(&copy, text, QStringLiteral("sivu.form"));
  auto* read = FindComponentAs<TBitBtn>(&copy, QStringLiteral("Nappi"));
  ASSERT_EQ(read->Glyph()->Width(), 12);
  EXPECT_EQ(read->NumGlyphs(), 2);
  EXPECT_EQ(read->Glyph()->Canvas()->Pixel(8, 3), clBlue);
}

}  // namespace
