#pragma once
// TWinControl: a control with a window of its own (a QWidget made on demand:
// HandleNeeded), child controls (Controls), focus, keyboard and the Align
// layout; TCustomControl adds a canvas and a virtual Paint.

#include "platform/controls/Control.h"

#include <QList>

class TWinControl : public TControl {
 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  // Children in z-order (the last is on top).
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  TControl* Controls(int index) const { return controls_.at(index); }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(const TControl* control) const;

  // The handle: this control's widget, made (with its parents') on first use.
  QWidget* Handle();
  bool HandleAllocated() const { return HasWidget(); }
  void HandleNeeded() { Handle(); }
  // Destroys the widget (WM_DESTROY first) and makes a new one when one existed.
  void RecreateWnd();

  // Focus.
  bool CanFocus() const;
  bool Focused() const;
  virtual void SetFocus();
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool v);
  int TabOrder() const;
  void SetTabOrder(int v);

  // Lays out the children by their Align.
  void Realign();
  void DisableAlign() { ++alignDisabled_; }
  void EnableAlign();

  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;
  void Repaint() override;
  void GetChildren(const TGetChildProc& proc, TComponent* root) override;
  // Lays out the children read with it.
  void Loaded() override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  static void DeclareProperties(TClassBuilder<TWinControl, TControl>& b);

 protected:
  bool IsWindowed() const override { return true; }
  void CreateWidget(QWidget* parent) override;
  // Flags of a top-level widget (forms, hint windows).
  virtual Qt::WindowFlags TopLevelFlags() const { return Qt::Window; }
  virtual void CreateWnd() {}
  // A form with KeyPreview sees its controls' keys first.
  virtual bool KeyPreviewActive() const { return false; }
  virtual void DoEnter();
  virtual void DoExit();
  virtual void KeyDown(std::uint16_t& key, TShiftState shift);
  virtual void KeyUp(std::uint16_t& key, TShiftState shift);
  virtual void KeyPress(char& key);
  // True when the key was used up (KeyPreview of the form comes first).
  bool DoKeyDown(TMessage& message);
  bool DoKeyUp(TMessage& message);
  bool DoKeyPress(TMessage& message);
  // Enter/Escape the control does not claim (CM_WANTSPECIALKEY answered 0)
  // go to the form as CM_DIALOGKEY; true when a control there used the key.
  bool RouteDialogKey(TMessage& message);
  // Alt+letter or Alt+digit goes to the form as CM_DIALOGCHAR (WParam = the
  // character); true when a control there took it as its accelerator.
  bool RouteDialogChar(TMessage& message);
  virtual void AlignControls(TControl* control, TRect& rect);
  void CreateChildWidgets();
  // Puts every child's widget where the child is (after ClientOffset changed).
  void PlaceChildWidgets();
  void ApplyTabOrder();

 private:
  friend class TControl;
  void DefaultWindowPosChanging(TMessage& message);

  QList<TControl*> controls_;
  bool tabStop_ = false;
  int tabOrder_ = -1;
  int alignDisabled_ = 0;
  bool aligning_ = false;
};

class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner);
  TCanvas* Canvas() { return ControlCanvas(); }
};

// Window timers: WM_TIMER (WParam = id) through the control's WindowProc
// every interval milliseconds until KillTimer. Setting an id again restarts
// it. Returns id (0 for a null control or id 0: no timer was set).
UINT SetTimer(TWinControl* control, UINT id, UINT intervalMs);
void KillTimer(TWinControl* control, UINT id);

// A window of its own for messages only (no widget): posted messages and
// window timers reach method.
std::unique_ptr<TWinControl> AllocateHWnd(TWndMethod method);

// Queues a message for a control of this process; messages arrive in the
// order they were posted, through Application's message handlers and then
// the control's WindowProc. A control destroyed before then gets nothing.
bool PostMessage(TWinControl* control, UINT msg, WPARAM wParam, LPARAM lParam);
// Sends a message now (Perform).
LRESULT SendMessage(TWinControl* control, UINT msg, WPARAM wParam, LPARAM lParam);
