// The time limit, the end animation and the picture nudges.
#include "game/kuvapas.h"
#include "game/main.h"
#include "platform/controls/Animate.h"
#include "platform/controls/Buttons.h"
#include "platform/controls/Dialogs.h"
#include "platform/controls/Memo.h"
#include "platform/controls/Menus.h"
#include "platform/controls/Progress.h"
#include "platform/controls/Timer.h"
#include "platform/rtl/DateTime.h"

#include <algorithm>
#include <climits>

// Time limit -----------------------------------------------------------------

std::uint32_t TForm1::TimeLimitFor(int words, std::uint32_t secondsPerWord) {
  // Computed wide, so a long list cannot wrap the limit round to a short one.
  const std::uint64_t limit = static_cast<std::uint64_t>(std::max(words, 0)) * secondsPerWord;
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(limit, UINT32_MAX));
}

void TForm1::SpeedButton2MouseUp(TObject*, TMouseButton button, TShiftState, int, int) {
  if (button == mbRight) {
    PopupMenu1->Popup(Left() + 50, Top() + 70);
    return;
  }
  if (button != mbLeft) return;
  // The button has already toggled: timing follows its state.
  if (SpeedButton2->Down() == Timer2->Enabled()) return;
  if (SpeedButton2->Down())
    aloita_ajanotto();
  else
    lopeta_ajanotto();
}

void TForm1::AikaClick(TObject* sender) {
  if (auto* item = dynamic_cast<TMenuItem*>(sender))
    state_.TimeLimitSeconds = static_cast<std::uint32_t>(std::max(item->Tag(), 0));
}

void TForm1::aloita_ajanotto() {
  state_.TimeLimitSeconds = TimeLimitFor(WordList().Count(), state_.TimeLimitSeconds);
  bar->SetMax(static_cast<int>(std::min<std::uint32_t>(state_.TimeLimitSeconds, INT_MAX)));
  Timer2->SetEnabled(true);
  state_.TimingStartMs = static_cast<std::int64_t>(GetTickCount());
}

void TForm1::lopeta_ajanotto() {
  state_.TimeLimitSeconds = 0;
  bar->SetPosition(0);
  Timer2->SetEnabled(false);
}

void TForm1::Timer2Timer(TObject*) {
  const std::uint64_t now = GetTickCount();
  const auto start = static_cast<std::uint64_t>(state_.TimingStartMs);
  const std::uint64_t elapsed = now >= start ? (now - start) / 1000 : 0;
  bar->StepIt();
  if (state_.TimeLimitSeconds < elapsed) {
    Timer2->SetEnabled(false);
    SpeedButton2->SetDown(false);
    lopeta_ajanotto();
    ShowMessage(QStringLiteral("AIKA LOPPUI !"));
  }
}

// End animation --------------------------------------------------------------

void TForm1::SelectAnimation(bool cow, bool jester, bool none) {
  state_.AnimCow = cow;
  state_.AnimJester = jester;
  state_.AnimNone = none;
  ShowAnimationChoice();
}

void TForm1::Tanssivalehm1Click(TObject*) { SelectAnimation(true, false, false); }

void TForm1::Vieteriukko1Click(TObject*) { SelectAnimation(false, true, false); }

void TForm1::Eimitn1Click(TObject*) { SelectAnimation(false, false, true); }

void TForm1::ShowAnimation() {
  if (state_.AnimNone) return;
  if (state_.AnimCow) {
    Animate1->SetColor(clWhite);
    Animate1->SetResName(QStringLiteral("lehma"));
  } else if (state_.AnimJester) {
    Animate1->SetColor(clBlack);
    Animate1->SetResName(QStringLiteral("jester"));
  } else {
    return;  // no choice made: nothing to play
  }
  Animate1->SetVisible(true);
  Animate1->SetActive(true);
  Timer3->SetEnabled(true);
}

void TForm1::HideAnimation() {
  Animate1->SetVisible(false);
  Animate1->SetActive(false);
  Animate1->SetColor(clWhite);
}

void TForm1::Timer3Timer(TObject*) {
  Animate1->SetActive(false);
  Timer3->SetEnabled(false);
}

// Picture nudges -------------------------------------------------------------

void TForm1::esiinnappiTimer(TObject*) { NudgePictureRight(); }

void TForm1::esiinalasTimer(TObject*) { NudgePictureDown(); }

void TForm1::NudgePictureRight() {
  if (Form3 == nullptr) return;
  Form3->SetLeft(state_.PictureLeft + 1);
  state_.PictureLeft = Form3->Left();
}

void TForm1::NudgePictureDown() {
  if (Form3 == nullptr) return;
  Form3->SetTop(state_.PictureTop + 1);
  state_.PictureTop = Form3->Top();
}
