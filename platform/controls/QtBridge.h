#pragma once
// The bridge between a control and Qt: a QWidget that belongs to one control
// and turns every Qt event it gets into messages for that control. Each
// translation runs inside Guard, so nothing raised by our code reaches Qt.
//
// Translations: paint -> WM_ERASEBKGND (windowed controls) + WM_PAINT;
// mouse press/release/double-click/move -> WM_xBUTTONDOWN/UP/DBLCLK and
// WM_MOUSEMOVE; enter/leave -> CM_MOUSEENTER/CM_MOUSELEAVE; key press ->
// WM_KEYDOWN + WM_CHAR (Windows-1252), key release -> WM_KEYUP (Tab moves
// the focus unless a handler used it up); focus ->
// WM_SETFOCUS/WM_KILLFOCUS; close -> WM_CLOSE; activation -> WM_ACTIVATE;
// a move or resize by the window manager -> the control's geometry check.

#include "platform/system/WinTypes.h"

#include <QWidget>

#include <cstdint>

class TControl;
class QKeyEvent;
class QMouseEvent;

class TBridgeWidget : public QWidget {
 public:
  TBridgeWidget(TControl* control, QWidget* parent, Qt::WindowFlags flags = {});
  ~TBridgeWidget() override;

  TControl* Control() const { return control_; }
  // The control goes away first: the widget forgets it.
  void Detach() { control_ = nullptr; }
  // True while the widget is inside one of its own event handlers (then it
  // must be deleted later, not now).
  bool InEvent() const { return eventDepth_ > 0; }

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  bool Translate(QEvent* e);
  void Mouse(QMouseEvent* e);
  std::intptr_t ClientPos(const QPointF& p) const;  // as LPARAM, in client coordinates
  void Key(QKeyEvent* e, bool down);
  static bool IsTabKey(QKeyEvent* e);
  // True when Qt should move the focus.
  bool TabKey(QKeyEvent* e);

  TControl* control_;
  int eventDepth_ = 0;
};

// The mouse message of a Qt mouse event: WM_xBUTTONDOWN/UP/DBLCLK for the
// left, right and middle buttons, WM_MOUSEMOVE for a move, WM_NULL else.
UINT MouseMessageOf(const QMouseEvent* e);
// The MK_ key state of a mouse event: buttons held, Shift and Ctrl.
WPARAM MouseKeyState(const QMouseEvent* e);

// The class library's virtual-key code of a Qt key (0 when none).
std::uint16_t VirtualKeyOf(int qtKey);

// False on the offscreen and minimal platforms, which cannot raise,
// activate or grab (and warn when asked).
bool WindowSystemPresent();
// Raises and activates a top-level widget where the platform can.
void RaiseWindow(QWidget* window);
