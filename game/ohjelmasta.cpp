#include "game/ohjelmasta.h"

#include "game/GameResources.h"
#include "game/main.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Image.h"
#include "platform/controls/Label.h"
#include "platform/controls/Panel.h"
#include "platform/controls/Timer.h"

#include <QStringList>

TAboutBox* AboutBox = nullptr;

QString CreditText() {
  const QStringList lines = {
      QStringLiteral("Trovaly 1.0"),
      QString(),
      QStringLiteral("Sanaristikkopeli"),
      QString(),
      QStringLiteral("Ohjelmointi:"),
      QStringLiteral("  Trovalyn tekijät"),
      QString(),
      QStringLiteral("Ristikot ja kuvat:"),
      QStringLiteral("  Trovalyn tekijät"),
      QString(),
      QStringLiteral("Muokkaimella teet"),
      QStringLiteral("omia ristikoita."),
      QString(),
      QStringLiteral("Hauskoja hetkiä!"),
  };
  return lines.join(QLatin1Char('\n'));
}

TAboutBox::TAboutBox(TComponent* owner) : TForm(owner) {
  InitGameResources();
  AboutBox = this;
  ReadForm(this);
  Credits->SetCaption(CreditText());
  Image1->Picture()->LoadFromResourceName(QStringLiteral("about"));
  if (Form1 != nullptr) SetLeft(Form1->Left() + Width() / 2);
}

TAboutBox::~TAboutBox() {
  if (AboutBox == this) AboutBox = nullptr;
}

TFormBinding TAboutBox::Binding() {
  return {
      Field("KvLabel1", &TAboutBox::KvLabel1),
      Field("SecretPanel1", &TAboutBox::SecretPanel1),
      Field("Credits", &TAboutBox::Credits),
      Field("Image1", &TAboutBox::Image1),
      Field("OKButton", &TAboutBox::OKButton),
      Field("CreditsTimer", &TAboutBox::CreditsTimer),
      Handler("CreditsTimerTimer", &TAboutBox::CreditsTimerTimer),
  };
}

void TAboutBox::CreditsTimerTimer(TObject*) {
  int top = Credits->Top() - 1;
  if (top + Credits->Height() < 0) top = SecretPanel1->ClientHeight();
  Credits->SetTop(top);
}
