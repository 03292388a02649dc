#include "game/ohjelmasta.h"

#include "components/KVCtrls.h"
#include "game/GameResources.h"
#include "game/main.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Image.h"

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox(TComponent* owner) : TForm(owner) {
  InitGameResources();
  AboutBox = this;
  ReadForm(this);
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
      Field("Image1", &TAboutBox::Image1),
      Field("OKButton", &TAboutBox::OKButton),
  };
}
