#pragma once
// TTimer: fires OnTimer every Interval milliseconds while Enabled, on the
// GUI thread, through the exception guard. The clock runs while Enabled and
// Interval is not 0; a tick without OnTimer does nothing.
//
// Tests replace the clock: with a hook set (SetTimerHook), no Qt timer
// runs; the hook hears every start and stop and the test calls Tick().

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"

#include <functional>
#include <memory>

class QTimer;

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned v);
  TNotifyEvent OnTimer;

  // Whether the clock runs now.
  bool Running() const { return running_; }
  // One expiry: OnTimer inside the guard.
  void Tick();

  using THook = std::function<void(TTimer* timer, bool running, unsigned interval)>;
  static void SetTimerHook(THook hook);

  void Loaded() override;

  static void DeclareProperties(TClassBuilder<TTimer, TComponent>& b);

 protected:
  virtual void Timer();

 private:
  void UpdateTimer();

  bool enabled_ = true;
  unsigned interval_ = 1000;
  bool running_ = false;
  std::unique_ptr<QTimer> timer_;
};
