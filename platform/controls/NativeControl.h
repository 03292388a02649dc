#pragma once
// TNativeControl: a windowed control whose face is a Qt widget (a line edit,
// a text edit, a list...). The Qt widget lives as long as the control, so
// its state (text, items, selection) is there with or without a handle; while
// the control has a handle, the Qt widget sits inside the bridge widget and
// fills it.
//
// Keys typed into the Qt widget pass the control's messages first: a key
// press becomes WM_KEYDOWN and WM_CHAR (Windows-1252) through WindowProc;
// only what reaches DefaultHandler goes on to the Qt widget, so an OnKeyPress
// that clears or changes the key is obeyed. WM_CHAR sent by code types the
// character in the same way.

#include "platform/controls/WinControl.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <memory>

class QKeyEvent;
class TNativeControl;

namespace controls_detail {

// Routes the Qt widget's keyboard, focus and mouse events to the control.
class TNativeFilter : public QObject {
 public:
  explicit TNativeFilter(TNativeControl* control) : control_(control) {}
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TNativeControl* control_;
};

}  // namespace controls_detail

class TNativeControl : public TWinControl {
 public:
  ~TNativeControl() override;

  QWidget* NativeWidget() const { return native_.get(); }
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

 protected:
  // Takes the Qt widget; the control keeps it until it is destroyed.
  TNativeControl(TComponent* owner, std::unique_ptr<QWidget> native);
  void CreateWidget(QWidget* parent) override;
  void UpdateWidgetGeometry() override;
  // The widget that gets the mouse (a scroll area's viewport); the Qt widget
  // itself unless set.
  QWidget* MouseWidget() const { return mouseWidget_ != nullptr ? mouseWidget_ : native_.get(); }
  void SetMouseWidget(QWidget* w);
  // The widget that gets the keys (a combo box's line edit); the Qt widget
  // itself unless set.
  QWidget* KeyWidget() const { return keyWidget_ != nullptr ? keyWidget_.data() : native_.get(); }
  void SetKeyWidget(QWidget* w);
  // Gives the Qt widget the control's font and colour.
  virtual void ApplyAppearance();
  // Gives a key event to the Qt widget past the filter.
  void SendNativeKey(int qtKey, Qt::KeyboardModifiers mods, const QString& text);
  // A key the Qt widget should not see (after the messages ran); false by default.
  virtual bool SwallowKey(const QKeyEvent& e) const;

 private:
  friend class controls_detail::TNativeFilter;
  bool NativeKey(QKeyEvent* e);
  bool NativeKeyUp(QKeyEvent* e);
  void NativeMouse(QEvent* e);

  std::unique_ptr<QWidget> native_;
  QWidget* mouseWidget_ = nullptr;
  QPointer<QWidget> keyWidget_;
  controls_detail::TNativeFilter filter_{this};
  // Set while the filter runs the messages of a Qt key event: DefaultHandler
  // then only records what passed instead of typing it.
  bool inFilter_ = false;
  bool bypass_ = false;
  bool keyDownPassed_ = false;
  int charPassed_ = -1;
};
