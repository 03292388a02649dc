#pragma once
// TKvTimer: fires OnTimer every Interval milliseconds, either from a worker
// thread of its own (Threaded) or from a window timer. With SyncEvent the
// worker hands each tick to the GUI thread and waits until it has run.
//
// The worker sits idle on a condition variable unless Interval, Enabled and
// OnTimer are all set. The timer owns it and joins it when it goes; a tick
// already handed over when the timer goes finds it gone and does nothing.
//
// Tests replace the worker's clock: with a hook set (SetTickHook), no
// worker thread starts; the hook hears every start and stop, and FireTick
// hands one tick over exactly as the worker does after its sleep.

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/controls/Thread.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class TKvTimer;
class TTimer;

extern const TEnumInfo kThreadPriorityIdents;

// The way back from the worker (and from a queued tick) to the timer; the
// timer clears it under the lock before it goes.
struct TKvTimerLink {
  std::mutex mutex;
  TKvTimer* timer = nullptr;
};

class TTimerThread : public TThread {
 public:
  explicit TTimerThread(std::shared_ptr<TKvTimerLink> link);
  ~TTimerThread() override;

  // Idle, or ticking every interval milliseconds; a change starts the
  // interval afresh.
  void SetRunning(bool running, unsigned interval);
  bool Running() const;
  unsigned Interval() const;
  // Ends the loop and joins the thread (GUI thread: pending hand-overs run).
  void Stop();

 protected:
  void Execute() override;

 private:
  std::shared_ptr<TKvTimerLink> link_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool running_ = false;
  bool changed_ = false;
  bool stop_ = false;
  unsigned interval_ = 1000;
};

class TKvTimer : public TComponent {
 public:
  explicit TKvTimer(TComponent* owner);
  ~TKvTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned v);
  bool SyncEvent() const { return syncEvent_; }
  void SetSyncEvent(bool v) { syncEvent_ = v; }
  bool Threaded() const { return threaded_; }
  void SetThreaded(bool v);
  TThreadPriority ThreadPriority() const { return threadPriority_; }
  void SetThreadPriority(TThreadPriority v);
  // OnTimer may also be assigned directly; a change between assigned and
  // unassigned then takes effect at the next setter (or Loaded).
  TNotifyEvent OnTimer;
  void SetOnTimer(TNotifyEvent v);

  // Whether ticks come now (from the worker or the window timer).
  bool Running() const;
  // The worker, for its state.
  const TTimerThread* Worker() const { return worker_.get(); }
  // The window timer while not Threaded; nullptr otherwise.
  TTimer* WindowTimer() const { return window_.get(); }

  // One tick handed to the GUI thread (SyncEvent) or run here, as the
  // worker does; callable from any thread.
  void FireTick() { HandOver(link_); }

  using THook = std::function<void(TKvTimer* timer, bool running, unsigned interval)>;
  static void SetTickHook(THook hook);

  void Loaded() override;

  static void DeclareProperties(TClassBuilder<TKvTimer, TComponent>& b);

 protected:
  virtual void Timer();

 private:
  friend class TTimerThread;
  static void HandOver(const std::shared_ptr<TKvTimerLink>& link);
  void UpdateTimer();
  bool WantsTicks() const;

  std::atomic<bool> enabled_{true};
  unsigned interval_ = 1000;
  std::atomic<bool> syncEvent_{true};
  bool threaded_ = true;
  TThreadPriority threadPriority_ = tpNormal;
  bool hookRunning_ = false;
  std::unique_ptr<TTimer> window_;
  std::shared_ptr<TKvTimerLink> link_;
  std::unique_ptr<TTimerThread> worker_;
};

void RegisterKvTimerClasses();
