// The backdrop's bands, the translated label and button on their pixels, and
// all three (with a translator's tables) read from a form file.
#include "installer/wizard/cmp_Backdrop.h"
#include "installer/wizard/cmp_TTranslator.h"
#include "installer/wizard/cmp_TranslateControls.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/Form.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/tests/PixelTestUtil.h"
#include "platform/rtl/Exceptions.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>

namespace {

struct TChannels {
  int r, g, b;
};
TChannels ChannelsOf(TColor c) { return {c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF}; }
// Within a few steps of 255 per channel: the first band of a short control
// is empty, so its edge shows the next band's colour.
bool Near(TColor a, TColor b) {
  const TChannels x = ChannelsOf(a), y = ChannelsOf(b);
  return std::abs(x.r - y.r) <= 6 && std::abs(x.g - y.g) <= 6 && std::abs(x.b - y.b) <= 6;
}

class Backdrop : public testing::Test {
 protected:
  void SetUp() override {
    RegisterFormClasses();
    RegisterBackdropClasses();
    form = std::make_unique<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetColor(clSilver);
    form->SetClientWidth(64);
    form->SetClientHeight(64);
    backdrop = new TBackdrop(form.get());
    backdrop->SetParent(form.get());
  }
  QImage Paint() {
    form->Show();
    return backdrop->PaintToImage();
  }
  static TColor At(const QImage& image, int x, int y) { return QRgbToColor(image.pixel(x, y)); }

  std::unique_ptr<TForm> form;
  TBackdrop* backdrop = nullptr;
};

TEST_F(Backdrop, DefaultsFillTheParentBlueToBlackFromTheTop) {
  EXPECT_EQ(backdrop->Direction(), bdUp);
  EXPECT_EQ(backdrop->StartColor(), clBlue);
  EXPECT_EQ(backdrop->EndColor(), clBlack);
  EXPECT_EQ(backdrop->Align(), alClient);
  EXPECT_EQ(backdrop->Width(), form->ClientWidth());
  EXPECT_EQ(backdrop->Height(), form->ClientHeight());
}

// 100 rows of bdUp: band n covers MulDiv(n, 100, 256) up to MulDiv(n + 1,
// 100, 256), so most bands are empty and the last one ends at 100.
TEST_F(Backdrop, BandsOfAHundredRows) {
  form->SetClientHeight(100);
  const QImage image = Paint();
  ASSERT_EQ(image.height(), 100);
  auto boundary = [](int n) { return static_cast<int>(std::floor(n * 100.0 / 256.0 + 0.5)); };
  std::set<TColor> colours;
  for (int n = 0; n < 256; ++n) {
    for (int y = boundary(n); y < boundary(n + 1); ++y) {
      const TColor expected = static_cast<TColor>((255 - n) << 16);
      for (int x : {0, 31, 63}) ASSERT_EQ(At(image, x, y), expected) << "row " << y << " band " << n;
      colours.insert(expected);
    }
  }
  EXPECT_EQ(boundary(256), 100);
  EXPECT_EQ(colours.size(), 100u);  // one band per row: the other 156 are empty
  // Band 0 is empty too: the top row is band 1, the bottom row band 254.
  EXPECT_EQ(At(image, 0, 0), static_cast<TColor>(254 << 16));
  EXPECT_EQ(At(image, 0, 99), static_cast<TColor>(1 << 16));
}

TEST_F(Backdrop, EveryDirectionFromItsEdges) {
  constexpr TColor kStart = 0x0000FF;  // red
  constexpr TColor kEnd = 0x00FF00;    // green
  struct Row {
    TDirection direction;
    bool vertical;  // bands run top to bottom
    bool mirrored;
    TColor edge;    // at the start edge (and the far edge when mirrored)
    TColor other;   // at the far edge or in the middle
  };
  const Row rows[] = {
      {bdUp, true, false, kStart, kEnd},        {bdDown, true, false, kEnd, kStart},
      {bdLeft, false, false, kStart, kEnd},     {bdRight, false, false, kEnd, kStart},
      {bdHorzIn, true, true, kStart, kEnd},     {bdHorzOut, true, true, kEnd, kStart},
      {bdVertIn, false, true, kStart, kEnd},    {bdVertOut, false, true, kEnd, kStart},
  };
  backdrop->SetStartColor(kStart);
  backdrop->SetEndColor(kEnd);
  for (const Row& row : rows) {
    backdrop->SetDirection(row.direction);
    const QImage image = Paint();
    auto along = [&](int i, int across) {
      return row.vertical ? At(image, across, i) : At(image, i, across);
    };
    for (int across : {0, 40, 63}) {
      EXPECT_TRUE(Near(along(0, across), row.edge)) << row.direction;
      // Each band spans the whole other dimension.
      EXPECT_EQ(along(20, across), along(20, 0)) << row.direction;
    }
    EXPECT_TRUE(Near(along(row.mirrored ? 32 : 63, 0), row.other)) << row.direction;
    if (row.mirrored) {
      EXPECT_TRUE(Near(along(63, 0), row.edge)) << row.direction;
      // Rounding shifts the mirrored half by at most a band.
      for (int i = 0; i < 32; ++i) EXPECT_TRUE(Near(along(i, 0), along(63 - i, 0))) << row.direction << i;
    }
  }
}

TEST_F(Backdrop, HorzInWithTheDefaultsIsBlueAtTheEdgesBlackInTheMiddle) {
  backdrop->SetDirection(bdHorzIn);
  const QImage image = Paint();
  EXPECT_TRUE(Near(At(image, 10, 0), clBlue));
  EXPECT_TRUE(Near(At(image, 10, 63), clBlue));
  EXPECT_TRUE(Near(At(image, 10, 32), clBlack));
}

TEST_F(Backdrop, EqualColoursFillInOneColourWhateverTheDirection) {
  // A system colour paints as its current value.
  for (TColor colour : {clTeal, clBtnFace}) {
    backdrop->SetStartColor(colour);
    backdrop->SetEndColor(colour);
    for (int d = bdUp; d <= bdVertOut; ++d) {
      backdrop->SetDirection(static_cast<TDirection>(d));
      const QImage image = Paint();
      EXPECT_EQ(gfxtest::CountOf(image, ColorToRGB(colour), TRect{0, 0, 64, 64}), 64 * 64) << d;
    }
  }
}

// ---- translated label and button

class TranslatedControls : public testing::Test {
 protected:
  void SetUp() override {
    RegisterFormClasses();
    RegisterTranslateControlClasses();
    translator = std::make_unique<TTranslator>(nullptr);
    translator->lgEnglish()->Strings()->SetText(QStringLiteral("5;Next >\r\n6;Cancel\r\n"));
    translator->lgSpanish()->Strings()->SetText(
        QStringLiteral("5;Seuraava pidempi teksti >\r\n6;Peruuta nyt\r\n"));
    translator->SetTranslateIntoLanguage(olSpanish);
    form = std::make_unique<TForm>(nullptr);
    form->SetColor(clSilver);
    form->SetBounds(0, 0, 300, 120);
    label = new TTranslateLabel(form.get());
    label->SetParent(form.get());
    label->SetColor(clSilver);
    label->SetBounds(10, 10, 10, 10);
    label->Font()->SetColor(clBlack);
    label->Font()->SetHeight(-16);
    label->SetGLID(5);
    label->SetCaption(QStringLiteral("Next >"));
    button = new TTranslateBitBtn(form.get());
    button->SetParent(form.get());
    button->SetBounds(10, 50, 200, 33);
    button->Font()->SetColor(clBlack);
    button->Font()->SetHeight(-14);
    button->SetGLID(6);
    button->SetCaption(QStringLiteral("Cancel"));
    form->Show();
  }
  TSize Extent(TControl* control) {
    TBitmap bitmap;
    bitmap.SetSize(1, 1);
    bitmap.Canvas()->SetFont(control->Font());
    return bitmap.Canvas()->TextExtent(control->Caption());
  }
  // The text's ink inside the button's face (bevels left out).
  TRect ButtonInk() {
    const QImage image = button->PaintToImage();
    const QImage face = image.copy(3, 3, image.width() - 6, image.height() - 6);
    TRect ink{face.width(), face.height(), 0, 0};
    for (int y = 0; y < face.height(); ++y)
      for (int x = 0; x < face.width(); ++x)
        if (QRgbToColor(face.pixel(x, y)) == clBlack) {
          ink.Left = std::min(ink.Left, x + 3);
          ink.Right = std::max(ink.Right, x + 4);
        }
    return ink;
  }

  std::unique_ptr<TTranslator> translator;
  std::unique_ptr<TForm> form;
  TTranslateLabel* label = nullptr;
  TTranslateBitBtn* button = nullptr;
};

TEST_F(TranslatedControls, TextsByIdShowWithTheirExtents) {
  const TRect englishLabel = gfxtest::BoundsOfNot(label->PaintToImage(), clSilver);
  const TRect englishButton = ButtonInk();
  const TSize englishExtent = Extent(label);
  EXPECT_NEAR(englishLabel.Width(), englishExtent.cx, 3);

  EXPECT_EQ(TranslateForm(olEnglish, form.get()), olSpanish);
  ASSERT_EQ(label->Caption(), QStringLiteral("Seuraava pidempi teksti >"));
  ASSERT_EQ(button->Caption(), QStringLiteral("Peruuta nyt"));

  // The auto-sized label took the new text's size and shows all of it.
  const TSize finnish = Extent(label);
  EXPECT_EQ(label->Width(), finnish.cx);
  const TRect finnishLabel = gfxtest::BoundsOfNot(label->PaintToImage(), clSilver);
  EXPECT_NEAR(finnishLabel.Width(), finnish.cx, 3);
  EXPECT_GT(finnishLabel.Width(), englishLabel.Width());
  // The button's caption is centred on its face and as wide as its text.
  const TRect finnishButton = ButtonInk();
  EXPECT_NEAR(finnishButton.Width(), Extent(button).cx, 3);
  EXPECT_GT(finnishButton.Width(), englishButton.Width());
  EXPECT_NEAR((finnishButton.Left + finnishButton.Right) / 2, 100, 3);
}

TEST(WizardFormFile, TranslatorTablesBackdropAndTranslatedControls) {
  RegisterFormClasses();
  RegisterBackdropClasses();
  RegisterTranslateControlClasses();
  RegisterTranslatorClasses();
  const QByteArray text = R"(object Setup: TForm
  Caption = 'Hello'
  object MainTranslator: TTranslator
    lgEnglish.FontOverride = True
    lgEnglish.Strings = (
      '* Common strings for standard dialogs'
      '3;Hello'
      '5;Next >')
    lgSpanish.Strings = (
      '3;Hei'
      '5;Seuraava >')
    TranslateIntoLanguage = olSpanish
  end
  object BackDrop1: TBackdrop
    Direction = bdVertOut
    StartColor = clRed
  end
  object NextLabel: TTranslateLabel
    Caption = 'Next >'
    GLID = 5
  end
  object PlainButton: TTranslateBitBtn
    Caption = 'Hello'
    GLID = 0
  end
end
)";
  TForm form(nullptr);
  ReadRootComponent(&form, text, QStringLiteral("Setup.form"));
  auto* translator = static_cast<TTranslator*>(form.FindComponent(QStringLiteral("MainTranslator")));
  ASSERT_EQ(GlobalTranslator(), translator);
  EXPECT_TRUE(translator->lgEnglish()->FontOverride());
  EXPECT_EQ(translator->TranslateIntoLanguage(), olSpanish);
  auto* backdrop = static_cast<TBackdrop*>(form.FindComponent(QStringLiteral("BackDrop1")));
  EXPECT_EQ(backdrop->Direction(), bdVertOut);
  EXPECT_EQ(backdrop->StartColor(), clRed);
  EXPECT_EQ(backdrop->EndColor(), clBlack);
  TranslateForm(olEnglish, &form);
  EXPECT_EQ(form.Caption(), QStringLiteral("Hei"));
  EXPECT_EQ(static_cast<TControl*>(form.FindComponent(QStringLiteral("NextLabel")))->Caption(),
            QStringLiteral("Seuraava >"));
  EXPECT_EQ(static_cast<TControl*>(form.FindComponent(QStringLiteral("PlainButton")))->Caption(),
            QStringLiteral("Hei"));

  // GLID is written even when 0; the tables come back as they were read.
  const QString written = QString::fromUtf8(WriteComponentText(&form));
  EXPECT_TRUE(written.contains(QStringLiteral("GLID = 0"))) << written.toStdString();
  EXPECT_TRUE(written.contains(QStringLiteral("'5;Seuraava >'"))) << written.toStdString();
  EXPECT_FALSE(written.contains(QStringLiteral("LanguageIdent"))) << written.toStdString();
}

TEST(WizardFormFile, ACorruptTableFailsTheReadWithItsLine) {
  RegisterFormClasses();
  RegisterTranslatorClasses();
  const QByteArray text = R"(object Setup: TForm
  object MainTranslator: TTranslator
    lgEnglish.Strings = (
      '3;Hello'
      'x;broken')
  end
end
)";
  TForm form(nullptr);
  try {
    ReadRootComponent(&form, text, QStringLiteral("Setup.form"));
    FAIL() << "read";
  } catch (const Exception& e) {
    EXPECT_TRUE(e.Message().contains(QStringLiteral(
        "The 1'th string (x;broken) does not have the proper format of GLID;Text or .GLID;")))
        << e.Message().toStdString();
  }
  EXPECT_EQ(form.ComponentCount(), 0);
  EXPECT_EQ(GlobalTranslator(), nullptr);
}

}  // namespace
