#pragma once
// Window hooks: any number of TKvWindowHook components watch the messages of
// one windowed control. Every watched control gets one shared TControlHook,
// put in front of the control's window procedure; it offers each message to
// its hooks (the last attached first) before and after the control sees it.
// The process-wide THookList owns the control hooks; a control hook left
// without hooks is freed, and one whose window was re-created hooks again,
// both later, through messages posted to the list's own window.

#include "components/WndProcLink.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/controls/Messages.h"

#include <functional>
#include <memory>
#include <vector>

class TControlHook;
class TWinControl;

// Posted to the hook list's window (LParam = the control hook): hook the
// control's new window; free the control hook.
inline constexpr UINT CM_HOOKAGAIN = 0xB03E;
inline constexpr UINT CM_FREEHOOK = 0xB03F;

using THookMessageEvent = std::function<void(TObject* sender, TMessage& msg, bool& handled)>;

class TKvWindowHook : public TComponent {
 public:
  explicit TKvWindowHook(TComponent* owner);
  ~TKvWindowHook() override;

  bool Active() const { return active_; }
  void SetActive(bool value);
  TWinControl* WinControl() const;
  void SetWinControl(TWinControl* value);
  THookMessageEvent BeforeMessage;
  THookMessageEvent AfterMessage;

  // The control hook this one is attached to; nullptr when detached.
  TControlHook* ControlHook() const { return controlHook_; }

  void DefineProperties(TFiler* filer) override;
  void Notification(TComponent* component, TOperation operation) override;
  static void DeclareProperties(TClassBuilder<TKvWindowHook, TComponent>& b);

 protected:
  virtual void DoBeforeMessage(TMessage& msg, bool& handled);
  virtual void DoAfterMessage(TMessage& msg, bool& handled);

 private:
  friend class TControlHook;
  bool WinControlStored() const;
  bool IsForm() const;
  void Attach();

  bool active_ = false;
  TControlHook* controlHook_ = nullptr;
  TWinControl* control_ = nullptr;
};

class TControlHook {
 public:
  TControlHook();
  ~TControlHook();
  TControlHook(const TControlHook&) = delete;
  TControlHook& operator=(const TControlHook&) = delete;

  TWinControl* Control() const { return control_; }
  void SetControl(TWinControl* value);
  int HookCount() const { return static_cast<int>(hooks_.size()); }
  void Attach(TKvWindowHook* hook);
  void Detach(TKvWindowHook* hook);
  void Install();
  void Uninstall();
  bool Installed() const { return link_.Installed(); }

 private:
  void HookWndProc(TMessage& msg);
  void CallHooks(bool before, TMessage& msg, bool& handled);

  TWinControl* control_ = nullptr;
  std::vector<TKvWindowHook*> hooks_;
  bool destroying_ = false;
  TWndProcLink link_;
};

class THookList {
 public:
  THookList();
  ~THookList();
  THookList(const THookList&) = delete;
  THookList& operator=(const THookList&) = delete;

  // The first control hook of control; nullptr for none or a nil control.
  TControlHook* FindHook(const TWinControl* control) const;
  // Finds it, else makes one for control.
  TControlHook* GetHook(TWinControl* control);
  bool Contains(const TControlHook* hook) const;
  int Count() const { return static_cast<int>(hooks_.size()); }
  // Frees hook when it is in the list.
  void Free(const TControlHook* hook);
  TWinControl* Window() const { return window_.get(); }

 private:
  void WndProc(TMessage& msg);

  std::vector<std::unique_ptr<TControlHook>> hooks_;
  std::unique_ptr<TWinControl> window_;
};

// The process's hook list, made on first use.
THookList& HookList();
// The hook list when it exists; nullptr otherwise.
THookList* FindHookList();

void RegisterKvHookClasses();
