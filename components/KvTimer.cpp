#include "components/KvTimer.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Application.h"
#include "platform/controls/Guard.h"
#include "platform/controls/Timer.h"
#include "platform/rtl/ProcessState.h"

#include <chrono>

const TEnumInfo kThreadPriorityIdents{"tpIdle",   "tpLowest",  "tpLower",       "tpNormal",
                                      "tpHigher", "tpHighest", "tpTimeCritical"};

namespace {

TKvTimer::THook& Hook() {
  static TKvTimer::THook hook;
  return hook;
}

const TResetHook kResetTickHook([] { Hook() = nullptr; });

}  // namespace

// Worker.

TTimerThread::TTimerThread(std::shared_ptr<TKvTimerLink> link)
    : TThread(true), link_(std::move(link)) {}

TTimerThread::~TTimerThread() { Stop(); }

void TTimerThread::SetRunning(bool running, unsigned interval) {
  {
    std::lock_guard lock(mutex_);
    if (running_ == running && interval_ == interval) return;
    running_ = running;
    interval_ = interval;
    changed_ = true;
  }
  wake_.notify_all();
  if (running && Suspended()) Resume();
}

bool TTimerThread::Running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

unsigned TTimerThread::Interval() const {
  std::lock_guard lock(mutex_);
  return interval_;
}

void TTimerThread::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  Terminate();
  wake_.notify_all();
  if (!Suspended()) WaitFor();
}

void TTimerThread::Execute() {
  std::unique_lock lock(mutex_);
  while (!stop_) {
    if (!running_) {
      wake_.wait(lock, [this] { return stop_ || running_; });
      continue;
    }
    changed_ = false;
    const std::chrono::milliseconds interval(interval_);
    // A change of state or interval starts the wait afresh.
    if (wake_.wait_for(lock, interval, [this] { return stop_ || changed_ || !running_; }))
      continue;
    lock.unlock();
    TKvTimer::HandOver(link_);
    lock.lock();
  }
}

// Timer.

void TKvTimer::SetTickHook(THook hook) { Hook() = std::move(hook); }

TKvTimer::TKvTimer(TComponent* owner)
    : TComponent(owner), link_(std::make_shared<TKvTimerLink>()) {
  link_->timer = this;
  worker_ = std::make_unique<TTimerThread>(link_);
}

TKvTimer::~TKvTimer() {
  enabled_ = false;
  OnTimer = nullptr;
  {
    std::lock_guard lock(link_->mutex);
    link_->timer = nullptr;
  }
  if (hookRunning_ && Hook()) Hook()(this, false, interval_);
  hookRunning_ = false;
  // Joined here, not left to free itself: a tick it has queued runs (and
  // finds the link cleared) while the GUI thread waits for it.
  worker_->Stop();
  worker_.reset();
  window_.reset();
}

void TKvTimer::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  UpdateTimer();
}

void TKvTimer::SetInterval(unsigned v) {
  if (v == interval_) return;
  interval_ = v;
  UpdateTimer();
}

void TKvTimer::SetThreaded(bool v) {
  if (v == threaded_) return;
  threaded_ = v;
  UpdateTimer();
}

void TKvTimer::SetThreadPriority(TThreadPriority v) {
  if (v == threadPriority_) return;
  threadPriority_ = v;
  if (threaded_) UpdateTimer();
}

void TKvTimer::SetOnTimer(TNotifyEvent v) {
  const bool wasAssigned = static_cast<bool>(OnTimer);
  OnTimer = std::move(v);
  if (wasAssigned != static_cast<bool>(OnTimer)) UpdateTimer();
}

void TKvTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

bool TKvTimer::WantsTicks() const {
  return interval_ != 0 && enabled_ && OnTimer && !ComponentState().Contains(csDestroying);
}

bool TKvTimer::Running() const {
  if (!threaded_) return window_ && window_->Running();
  return Hook() ? hookRunning_ : worker_->Running();
}

void TKvTimer::UpdateTimer() {
  if (ComponentState().Contains(csLoading)) return;
  const bool want = WantsTicks();
  if (threaded_) {
    window_.reset();
    if (want) worker_->SetPriority(threadPriority_);
    if (Hook()) {
      if (want || hookRunning_) Hook()(this, want, interval_);
      hookRunning_ = want;
      return;
    }
    worker_->SetRunning(want, interval_);
    return;
  }
  worker_->SetRunning(false, worker_->Interval());
  if (hookRunning_ && Hook()) Hook()(this, false, interval_);
  hookRunning_ = false;
  if (!window_) {
    window_ = std::make_unique<TTimer>(nullptr);
    window_->OnTimer = [this](TObject*) { Timer(); };
  }
  window_->SetEnabled(false);
  window_->SetInterval(interval_);
  window_->SetEnabled(want);
}

void TKvTimer::HandOver(const std::shared_ptr<TKvTimerLink>& link) {
  {
    std::lock_guard lock(link->mutex);
    TKvTimer* timer = link->timer;
    if (timer == nullptr || !timer->enabled_) return;
    if (!timer->syncEvent_) {
      // On the worker; the timer cannot go while the lock is held.
      timer->Timer();
      return;
    }
  }
  TThread::Synchronize(nullptr, [link] {
    TKvTimer* timer = nullptr;
    {
      std::lock_guard lock(link->mutex);
      timer = link->timer;
    }
    if (timer == nullptr || (Application != nullptr && Application->Terminated())) return;
    Guard(timer, [timer] { timer->Timer(); });
  });
}

void TKvTimer::Timer() {
  if (enabled_ && OnTimer && !ComponentState().Contains(csDestroying)) OnTimer(this);
}

void TKvTimer::DeclareProperties(TClassBuilder<TKvTimer, TComponent>& b) {
  b.Property("Enabled", &TKvTimer::Enabled, &TKvTimer::SetEnabled).Default(true);
  b.Property("Interval", &TKvTimer::Interval, &TKvTimer::SetInterval).Default(1000u);
  b.Property("SyncEvent", &TKvTimer::SyncEvent, &TKvTimer::SetSyncEvent).Default(true);
  b.Property("Threaded", &TKvTimer::Threaded, &TKvTimer::SetThreaded).Default(true);
  b.Property("ThreadPriority", &TKvTimer::ThreadPriority, &TKvTimer::SetThreadPriority,
             kThreadPriorityIdents)
      .Default(tpNormal);
  b.Event("OnTimer", &TKvTimer::OnTimer);
}

void RegisterKvTimerClasses() {
  if (GetClass(QStringLiteral("TKvTimer")) == nullptr) RegisterClass<TKvTimer>();
}
