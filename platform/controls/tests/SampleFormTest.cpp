// A form file naming every standard control, menu and dialog: it reads,
// shows and renders, and the writer gives back the file unchanged.
#include "platform/classes/FormReader.h"
#include "platform/classes/FormWriter.h"
#include "platform/controls/Panel.h"
#include "platform/controls/tests/ControlsTestSupport.h"
#include "tests/support/TestSupport.h"

#include <QImage>

namespace {

class SampleFormTest : public ControlsTest {
 protected:
  std::unique_ptr<TForm> ReadSample() {
    auto form = std::make_unique<TForm>(nullptr);
    const QByteArray text = qxtest::ReadBytes(qxtest::DataPath(QStringLiteral("every_control.form")));
    EXPECT_FALSE(text.isEmpty());
    ReadRootComponent(form.get(), text, QStringLiteral("every_control.form"));
    return form;
  }
};

// The fixture is the writer's own text; QX_WRITE_GOLDEN=1 renews it after a
// deliberate change of what is stored.
TEST_F(SampleFormTest, WritesBackUnchanged) {
  const QString path = qxtest::DataPath(QStringLiteral("every_control.form"));
  const QByteArray original = qxtest::ReadBytes(path);
  auto form = ReadSample();
  const QByteArray written = WriteComponentText(form.get());
  if (qEnvironmentVariableIsSet("QX_WRITE_GOLDEN"))
    qxtest::WriteBytes(path, written);
  EXPECT_EQ(written.toStdString(), original.toStdString());
}

TEST_F(SampleFormTest, WrittenTextReadsBackToTheSameText) {
  auto form = ReadSample();
  const QByteArray written = WriteComponentText(form.get());
  TForm copy(nullptr);
  ReadRootComponent(&copy, written, QStringLiteral("copy.form"));
  EXPECT_EQ(WriteComponentText(&copy).toStdString(), written.toStdString());
}

TEST_F(SampleFormTest, EveryComponentIsCreatedWithItsOwnClass) {
  auto form = ReadSample();
  const char* expected[][2] = {
      {"Otsikko", "TLabel"},        {"Nimi", "TEdit"},
      {"Paneeli", "TPanel"},        {"Viiva", "TBevel"},
      {"Ok", "TButton"},            {"Peruuta", "TBitBtn"},
      {"Lihavoi", "TSpeedButton"},  {"Valinta", "TCheckBox"},
      {"Radio", "TRadioButton"},    {"Hahmo", "TRadioGroup"},
      {"Ryhma", "TGroupBox"},       {"Sanat", "TListBox"},
      {"Kirjain", "TComboBox"},     {"Muistio", "TMemo"},
      {"Rikas", "TRichEdit"},       {"Kuva", "TImage"},
      {"Edistys", "TProgressBar"},  {"Mittari", "TGauge"},
      {"Animaatio", "TAnimate"},    {"Sivut", "TPageControl"},
      {"Sivu2", "TTabSheet"},       {"Valilehdet", "TTabControl"},
      {"Puu", "TTreeView"},         {"Lista", "TListView"},
      {"Kuvat", "TImageList"},      {"PaaValikko", "TMainMenu"},
      {"Avaa1", "TMenuItem"},       {"Ponnahdus", "TPopupMenu"},
      {"Avaus", "TOpenDialog"},     {"Tallennus", "TSaveDialog"},
      {"KuvanAvaus", "TOpenPictureDialog"}, {"Fontti", "TFontDialog"},
      {"Vari", "TColorDialog"},     {"Kirjoitin", "TPrinterSetupDialog"},
  };
  for (const auto& [name, cls] : expected) {
    TComponent* c = form->FindComponent(QString::fromLatin1(name));
    ASSERT_NE(c, nullptr) << name;
    EXPECT_EQ(c->ClassName(), QString::fromLatin1(cls)) << name;
    EXPECT_EQ(c->Owner(), form.get()) << name;
  }
  EXPECT_EQ(FindComponentAs<TBevel>(form.get(), QStringLiteral("Viiva"))->Parent(),
            FindComponentAs<TPanel>(form.get(), QStringLiteral("Paneeli")));
}

TEST_F(SampleFormTest, ShowsAndRenders) {
  auto form = ReadSample();
  form->Show();
  Pump();
  const QImage image = form->PaintToImage();
  ASSERT_EQ(image.width(), form->ClientWidth());
  ASSERT_EQ(image.height(), form->ClientHeight());
  // The panel's own colour shows inside its bevels, away from its caption.
  auto* panel = FindComponentAs<TPanel>(form.get(), QStringLiteral("Paneeli"));
  const TPoint inside = panel->ClientToScreen(TPoint{6, 50});
  const TPoint at = form->ScreenToClient(inside);
  EXPECT_EQ(QRgbToColor(image.pixel(at.X, at.Y)), clYellow);
}

}  // namespace
