#include "components/KvHook.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Filer.h"
#include "platform/controls/Form.h"
#include "platform/rtl/ExceptionSink.h"
#include "platform/rtl/ProcessState.h"

#include <algorithm>

namespace {

LPARAM AsParam(const TControlHook* hook) { return reinterpret_cast<LPARAM>(hook); }

void PostToList(UINT msg, const TControlHook* hook) {
  if (THookList* list = FindHookList()) PostMessage(list->Window(), msg, 0, AsParam(hook));
}

bool BeingDestroyed(const TComponent* c) {
  return c != nullptr && c->ComponentState().Contains(csDestroying);
}

}  // namespace

THookList& HookList() { return ProcessObject<THookList>(); }

THookList* FindHookList() { return FindProcessObject<THookList>(); }

// TKvWindowHook ---------------------------------------------------------------

TKvWindowHook::TKvWindowHook(TComponent* owner) : TComponent(owner) { SetActive(true); }

// The control hook left without hooks goes too, not only at shutdown.
TKvWindowHook::~TKvWindowHook() {
  TControlHook* left = controlHook_;
  SetActive(false);
  SetWinControl(nullptr);
  if (left != nullptr && FindHookList() != nullptr && FindHookList()->Contains(left) &&
      left->HookCount() == 0)
    PostToList(CM_FREEHOOK, left);
}

void TKvWindowHook::SetActive(bool value) {
  if (value == active_) return;
  if (value) {
    if (control_ != nullptr && !BeingDestroyed(this)) Attach();
    active_ = true;
  } else {
    if (controlHook_ != nullptr) controlHook_->Detach(this);
    active_ = false;
  }
}

void TKvWindowHook::Attach() { HookList().GetHook(control_)->Attach(this); }

TWinControl* TKvWindowHook::WinControl() const {
  return controlHook_ != nullptr ? controlHook_->Control() : control_;
}

void TKvWindowHook::SetWinControl(TWinControl* value) {
  if (value == WinControl()) return;
  const bool wasActive = active_;
  TControlHook* left = controlHook_;
  if (left != nullptr) left->Detach(this);
  if (control_ != nullptr) control_->RemoveFreeNotification(this);
  control_ = value;
  if (value != nullptr) value->FreeNotification(this);
  if (left != nullptr && left->HookCount() == 0) PostToList(CM_FREEHOOK, left);
  if (wasActive && value != nullptr && !BeingDestroyed(this)) Attach();
}

bool TKvWindowHook::IsForm() const {
  return WinControl() != nullptr && WinControl() == Owner() &&
         dynamic_cast<TForm*>(Owner()) != nullptr;
}

bool TKvWindowHook::WinControlStored() const { return dynamic_cast<TForm*>(WinControl()) == nullptr; }

void TKvWindowHook::DefineProperties(TFiler* filer) {
  TComponent::DefineProperties(filer);
  // There is no ancestor to compare with: the value is always written.
  filer->DefineProperty(
      QStringLiteral("IsForm"),
      [this](TReader& r) {
        if (r.ReadBoolean()) {
          if (auto* form = dynamic_cast<TForm*>(Owner())) SetWinControl(form);
        }
      },
      [this](TWriter& w) { w.WriteBoolean(IsForm()); }, true);
}

void TKvWindowHook::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == control_ || component == Owner() || Owner() == nullptr) SetWinControl(nullptr);
}

void TKvWindowHook::DoBeforeMessage(TMessage& msg, bool& handled) {
  if (BeforeMessage) BeforeMessage(this, msg, handled);
}

void TKvWindowHook::DoAfterMessage(TMessage& msg, bool& handled) {
  if (AfterMessage) AfterMessage(this, msg, handled);
}

void TKvWindowHook::DeclareProperties(TClassBuilder<TKvWindowHook, TComponent>& b) {
  b.Property("Active", &TKvWindowHook::Active, &TKvWindowHook::SetActive).Default(true);
  b.Property("WinControl", &TKvWindowHook::WinControl, &TKvWindowHook::SetWinControl)
      .Stored(&TKvWindowHook::WinControlStored);
  b.Event("BeforeMessage", &TKvWindowHook::BeforeMessage);
  b.Event("AfterMessage", &TKvWindowHook::AfterMessage);
}

// TControlHook ----------------------------------------------------------------

TControlHook::TControlHook() : link_([this](TMessage& msg) { HookWndProc(msg); }) {}

TControlHook::~TControlHook() {
  destroying_ = true;
  while (!hooks_.empty()) Detach(hooks_.back());
  SetControl(nullptr);
}

void TControlHook::Attach(TKvWindowHook* hook) {
  if (std::find(hooks_.begin(), hooks_.end(), hook) == hooks_.end()) {
    hooks_.push_back(hook);
    hook->controlHook_ = this;
    SetControl(hook->control_);
  }
  Install();
}

void TControlHook::Detach(TKvWindowHook* hook) {
  hook->controlHook_ = nullptr;
  hooks_.erase(std::remove(hooks_.begin(), hooks_.end(), hook), hooks_.end());
  if (hooks_.empty()) Uninstall();
}

void TControlHook::SetControl(TWinControl* value) {
  if (value == control_) return;
  Uninstall();
  control_ = value;
  if (!hooks_.empty()) Install();
}

void TControlHook::Install() {
  if (control_ == nullptr || destroying_ || BeingDestroyed(control_)) return;
  control_->HandleNeeded();
  link_.Install(control_);
}

// The link gives the previous procedure back only while ours is current.
void TControlHook::Uninstall() { link_.Uninstall(); }

void TControlHook::HookWndProc(TMessage& msg) {
  bool handled = false;
  if (control_ == nullptr) return;
  if (msg.Msg != WM_QUIT) CallHooks(true, msg, handled);
  if (!handled || msg.Msg == WM_DESTROY) {
    try {
      link_.CallPrevious(msg);
    } catch (...) {
      CallHooks(false, msg, handled);
      throw;
    }
    CallHooks(false, msg, handled);
  }
  if (msg.Msg == WM_DESTROY) {
    Uninstall();
    if (FindHookList() != nullptr && !destroying_ && !BeingDestroyed(control_))
      PostToList(CM_HOOKAGAIN, this);
  }
}

void TControlHook::CallHooks(bool before, TMessage& msg, bool& handled) {
  if (hooks_.empty() || control_ == nullptr || destroying_ || BeingDestroyed(control_)) return;
  // A handler may detach hooks: walk a copy, skipping those gone meanwhile.
  const std::vector<TKvWindowHook*> hooks = hooks_;
  for (auto it = hooks.rbegin(); it != hooks.rend(); ++it) {
    if (std::find(hooks_.begin(), hooks_.end(), *it) == hooks_.end()) continue;
    try {
      if (before)
        (*it)->DoBeforeMessage(msg, handled);
      else
        (*it)->DoAfterMessage(msg, handled);
    } catch (...) {
      HandOverCurrentException(*it);
    }
    if (handled) return;
  }
}

// THookList -------------------------------------------------------------------

THookList::THookList()
    : window_(AllocateHWnd(TWndMethod([this](TMessage& msg) { WndProc(msg); }))) {}

THookList::~THookList() {
  while (!hooks_.empty()) {
    std::unique_ptr<TControlHook> last = std::move(hooks_.back());
    hooks_.pop_back();
  }
  window_.reset();
}

TControlHook* THookList::FindHook(const TWinControl* control) const {
  if (control == nullptr) return nullptr;
  for (const auto& hook : hooks_)
    if (hook->Control() == control) return hook.get();
  return nullptr;
}

TControlHook* THookList::GetHook(TWinControl* control) {
  if (TControlHook* found = FindHook(control)) return found;
  auto hook = std::make_unique<TControlHook>();
  hook->SetControl(control);
  hooks_.push_back(std::move(hook));
  return hooks_.back().get();
}

bool THookList::Contains(const TControlHook* hook) const {
  return std::any_of(hooks_.begin(), hooks_.end(),
                     [hook](const auto& h) { return h.get() == hook; });
}

void THookList::Free(const TControlHook* hook) {
  auto it = std::find_if(hooks_.begin(), hooks_.end(),
                         [hook](const auto& h) { return h.get() == hook; });
  if (it == hooks_.end()) return;
  std::unique_ptr<TControlHook> gone = std::move(*it);
  hooks_.erase(it);
}

void THookList::WndProc(TMessage& msg) {
  try {
    auto* hook = reinterpret_cast<TControlHook*>(msg.LParam);
    if (msg.Msg == CM_HOOKAGAIN) {
      if (Contains(hook) && hook->HookCount() > 0) hook->Install();
    } else if (msg.Msg == CM_FREEHOOK) {
      // Freed only when no hook came back to it meanwhile.
      if (Contains(hook) && hook->HookCount() == 0) Free(hook);
    }
  } catch (...) {
    HandOverCurrentException(nullptr);
  }
}

void RegisterKvHookClasses() {
  if (GetClass(QStringLiteral("TKvWindowHook")) == nullptr) RegisterClass<TKvWindowHook>();
}
