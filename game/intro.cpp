#include "game/intro.h"

#include "components/Lumtimag.h"
#include "game/GameResources.h"
#include "platform/controls/Application.h"
#include "platform/controls/Panel.h"
#include "platform/rtl/DateTime.h"

#include <QThread>

#include <cstdint>

TForm2* Form2 = nullptr;

void WaitMs(int ms) {
  const std::uint64_t start = GetTickCount();
  for (;;) {
    const auto passed = static_cast<std::int32_t>(static_cast<std::uint32_t>(GetTickCount() - start));
    if (passed >= ms) return;
    if (Application != nullptr) Application->ProcessMessages();
    QThread::msleep(1);  // keeps the wait from spinning a core
  }
}

TForm2::TForm2(TComponent* owner) : TForm(owner) {
  InitGameResources();
  Form2 = this;
  ReadForm(this);
  Image1->Picture()->LoadFromResourceName(QStringLiteral("splash"));
}

TForm2::~TForm2() {
  if (Form2 == this) Form2 = nullptr;
}

TFormBinding TForm2::Binding() {
  return {
      Field("Panel1", &TForm2::Panel1),
      Field("Image1", &TForm2::Image1),
      Handler("FormActivate", &TForm2::FormActivate),
  };
}

void TForm2::Pause() {
  if (paused_) return;
  paused_ = true;
  WaitMs(pauseMs_);
}

void TForm2::FormActivate(TObject*) {
  Canvas()->Brush()->SetStyle(bsClear);
  Pause();
}
