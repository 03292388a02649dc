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
  DefineMethod("CreditsTimerTimer", this, &TAboutBox::CreditsTimerTimer);
  ReadForm(this);
  KvLabel1 = FindComponentAs<TLabel>(this, QStringLiteral("KvLabel1"));
  SecretPanel1 = FindComponentAs<TPanel>(this, QStringLiteral("SecretPanel1"));
  Credits = FindComponentAs<TLabel>(this, QStringLiteral("Credits"));
  Image1 = FindComponentAs<TImage>(this, QStringLiteral("Image1"));
  OKButton = FindComponentAs<TButton>(this, QStringLiteral("OKButton"));
  CreditsTimer = FindComponentAs<TTimer>(this, QStringLiteral("CreditsTimer"));
  Credits->SetCaption(CreditText());
  Image1->Picture()->LoadFromResourceName(QStringLiteral("about"));
  if (Form1 != nullptr) SetLeft(Form1->Left() + Width() / 2);
}

TAboutBox::~TAboutBox() {
  if (AboutBox == this) AboutBox = nullptr;
}

void TAboutBox::CreditsTimerTimer(TObject*) {
  int top = Credits->Top() - 1;
  if (top + Credits->Height() < 0) top = SecretPanel1->ClientHeight();
  Credits->SetTop(top);
}
