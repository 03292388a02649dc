#include "game/intro.h"

#include "game/GameResources.h"
#include "platform/controls/Application.h"
#include "platform/controls/Image.h"
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
  DefineMethod("FormActivate", this, &TForm2::FormActivate);
  ReadForm(this);
  Panel1 = FindComponentAs<TPanel>(this, QStringLiteral("Panel1"));
  Image1 = FindComponentAs<TImage>(this, QStringLiteral("Image1"));
  Image1->Picture()->LoadFromResourceName(QStringLiteral("splash"));
}

TForm2::~TForm2() {
  if (Form2 == this) Form2 = nullptr;
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
