#pragma once
// TWndProcLink: a procedure put in front of a control's WindowProc. It gives
// the previous procedure back only while the control's WindowProc is still
// this link's own, so a procedure put there later keeps working; such a
// later procedure still calls through this link, which then passes every
// message straight on to the previous one. Once released (or destroyed),
// the link never calls its handler again.

#include "platform/controls/Messages.h"

#include <functional>
#include <memory>

class TControl;

class TWndProcLink {
 public:
  // handler sees every message while the link is installed; it calls
  // CallPrevious itself when the message should go on.
  explicit TWndProcLink(std::function<void(TMessage&)> handler);
  ~TWndProcLink();
  TWndProcLink(const TWndProcLink&) = delete;
  TWndProcLink& operator=(const TWndProcLink&) = delete;

  // Puts the link in front of control's current procedure; nothing when it
  // is already the current one.
  void Install(TControl* control);
  // Gives the previous procedure back when the link is still the current
  // one; otherwise leaves it in the chain, passing messages on.
  void Uninstall();
  bool Installed() const;
  // The control's procedure before the link (its own WndProc when none was
  // saved); nothing once the control is gone.
  void CallPrevious(TMessage& message) const;
  // True when control's current WindowProc is this link's.
  bool IsCurrent(const TControl* control) const;

 private:
  struct TState;
  // Shared with the installed procedure, which may outlive the link.
  std::shared_ptr<TState> state_;
  TWndMethod own_;
  std::function<void(TMessage&)> handler_;
};
