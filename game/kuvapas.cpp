#include "game/kuvapas.h"

#include "game/GameResources.h"
#include "game/main.h"
#include "platform/controls/Image.h"
#include "components/Lumcompf.h"
#include "components/Lumpanel.h"

TForm3* Form3 = nullptr;

TForm3::TForm3(TComponent* owner) : TForm(owner) {
  InitGameResources();
  Form3 = this;
  ReadForm(this);
  if (Form1 != nullptr) {
    FormSizer1->SetLeftMax(Form1->Left() + Form1->Width() - 20);
    FormSizer1->SetTopMax(Form1->Top() + Form1->Height() - 20);
  }
}

TForm3::~TForm3() {
  if (Form3 == this) Form3 = nullptr;
}

TFormBinding TForm3::Binding() {
  return {
      Field("EdgePanel1", &TForm3::EdgePanel1),
      Field("Image1", &TForm3::Image1),
      Field("FormSizer1", &TForm3::FormSizer1),
      Handler("FormActivate", &TForm3::FormActivate),
  };
}

void TForm3::FormActivate(TObject*) {
  if (Form1 == nullptr) return;
  TGameState& state = Form1->State();
  SetBounds(state.PictureHomeLeft, state.PictureHomeTop, Width(), Height());
  state.PictureLeft = state.PictureHomeLeft;
  state.PictureTop = state.PictureHomeTop;
}
