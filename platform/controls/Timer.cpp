#include "platform/controls/Timer.h"

#include "platform/controls/Guard.h"
#include "platform/rtl/ProcessState.h"

#include <QTimer>

namespace {

TTimer::THook& Hook() {
  static TTimer::THook hook;
  return hook;
}

const TResetHook kResetTimerHook([] { Hook() = nullptr; });

}  // namespace

void TTimer::SetTimerHook(THook hook) { Hook() = std::move(hook); }

TTimer::TTimer(TComponent* owner) : TComponent(owner) { UpdateTimer(); }

TTimer::~TTimer() {
  enabled_ = false;
  UpdateTimer();
}

void TTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned v) {
  if (v == interval_) return;
  interval_ = v;
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

// Restarts the clock from zero whenever a setting changes, as the window
// timer it stands for does.
void TTimer::UpdateTimer() {
  const bool run = enabled_ && interval_ > 0 && !ComponentState().Contains(csDestroying);
  if (timer_) timer_->stop();
  const bool wasRunning = running_;
  running_ = run;
  if (Hook()) {
    if (run || wasRunning) Hook()(this, run, interval_);
    return;
  }
  if (!run) return;
  if (!timer_) {
    timer_ = std::make_unique<QTimer>();
    GuardedConnect(this, timer_.get(), &QTimer::timeout, timer_.get(), [this] { Timer(); });
  }
  timer_->start(static_cast<int>(std::min<unsigned>(interval_, 0x7FFFFFFF)));
}

void TTimer::Tick() {
  Guard(this, [this] { Timer(); });
}

void TTimer::Timer() {
  if (enabled_ && OnTimer && !ComponentState().Contains(csDestroying)) OnTimer(this);
}

void TTimer::DeclareProperties(TClassBuilder<TTimer, TComponent>& b) {
  b.Property("Enabled", &TTimer::Enabled, &TTimer::SetEnabled).Default(true);
  b.Property("Interval", &TTimer::Interval, &TTimer::SetInterval).Default(1000u);
  b.Event("OnTimer", &TTimer::OnTimer);
}
