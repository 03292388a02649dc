#include "components/WndProcLink.h"

#include "platform/controls/Control.h"

struct TWndProcLink::TState {
  // nullptr once the link lets go: the procedure then only passes on.
  const std::function<void(TMessage&)>* handler = nullptr;
  TWndMethod previous;
  std::weak_ptr<TControl*> control;

  void Pass(TMessage& message) const {
    auto alive = control.lock();
    if (!alive) return;
    if (previous)
      previous(message);
    else
      (*alive)->WndProc(message);
  }
};

TWndProcLink::TWndProcLink(std::function<void(TMessage&)> handler)
    : handler_(std::move(handler)) {}

TWndProcLink::~TWndProcLink() { Uninstall(); }

bool TWndProcLink::Installed() const { return state_ != nullptr; }

bool TWndProcLink::IsCurrent(const TControl* control) const {
  return control != nullptr && own_ && control->WindowProc == own_;
}

void TWndProcLink::Install(TControl* control) {
  if (control == nullptr || IsCurrent(control)) return;
  Uninstall();
  auto state = std::make_shared<TState>();
  state->handler = &handler_;
  state->previous = control->WindowProc;
  state->control = control->WeakSelf();
  own_ = TWndMethod([state](TMessage& message) {
    if (state->handler != nullptr && *state->handler)
      (*state->handler)(message);
    else
      state->Pass(message);
  });
  control->WindowProc = own_;
  state_ = std::move(state);
}

void TWndProcLink::Uninstall() {
  if (!state_) return;
  auto alive = state_->control.lock();
  if (alive && (*alive)->WindowProc == own_) (*alive)->WindowProc = state_->previous;
  // A later procedure may still call ours: it now passes straight on.
  state_->handler = nullptr;
  state_.reset();
  own_ = TWndMethod();
}

void TWndProcLink::CallPrevious(TMessage& message) const {
  if (state_) state_->Pass(message);
}
