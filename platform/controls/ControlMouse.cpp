// Mouse messages of TControl: buttons, moves, clicks and the capture.
#include "platform/controls/Control.h"

#include "platform/controls/Application.h"
#include "platform/controls/QtBridge.h"
#include "platform/controls/WinControl.h"
#include "platform/rtl/ProcessState.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QWidget>

namespace {

TControl* g_capture = nullptr;

const TResetHook kResetCapture([] { g_capture = nullptr; });

TShiftState ShiftOfKeys(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  return s;
}

}  // namespace

void TControl::MouseMessage(TMessage& m) {
  const int x = LoWordSigned(m.LParam);
  const int y = HiWordSigned(m.LParam);
  TShiftState shift = ShiftOfKeys(m.WParam);
  const bool captures = controlStyle_.Contains(csCaptureMouse);
  switch (m.Msg) {
    case WM_MOUSEMOVE:
      if (Application != nullptr) Application->HintMouseMessage(this, {x, y});
      MouseMove(shift, x, y);
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (captures) SetMouseCapture(true);
      if (controlStyle_.Contains(csClickEvents)) controlState_.Include(csClicked);
      if (m.Msg == WM_LBUTTONDBLCLK) {
        if (controlStyle_.Contains(csDoubleClicks)) DblClick();
        shift.Include(ssDouble);
      }
      if (Application != nullptr) Application->CancelHint();
      MouseDown(mbLeft, shift, x, y);
      break;
    case WM_LBUTTONUP:
      if (captures) SetMouseCapture(false);
      if (controlState_.Contains(csClicked)) {
        controlState_.Exclude(csClicked);
        if (ClientRect().Contains({x, y})) Click();
      }
      MouseUp(mbLeft, shift, x, y);
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: {
      if (m.Msg == WM_RBUTTONDBLCLK || m.Msg == WM_MBUTTONDBLCLK) shift.Include(ssDouble);
      const bool right = m.Msg == WM_RBUTTONDOWN || m.Msg == WM_RBUTTONDBLCLK;
      MouseDown(right ? mbRight : mbMiddle, shift, x, y);
      break;
    }
    case WM_RBUTTONUP:
      MouseUp(mbRight, shift, x, y);
      break;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle, shift, x, y);
      break;
    default:
      break;
  }
}

// Mouse.

bool TControl::MouseCapture() const { return g_capture == this; }

TControl* TControl::CaptureControl() { return g_capture; }

void TControl::SetMouseCapture(bool v) {
  if (v) {
    g_capture = this;
    if (widget_ != nullptr && widget_->isVisible() && WindowSystemPresent() &&
        QWidget::mouseGrabber() == nullptr &&
        QGuiApplication::mouseButtons() == Qt::NoButton)
      widget_->grabMouse();
  } else if (g_capture == this) {
    g_capture = nullptr;
    if (widget_ != nullptr && QWidget::mouseGrabber() == widget_) widget_->releaseMouse();
  }
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}
void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}
void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TControl::Resize() {
  if (OnResize) OnResize(this);
}

TPoint GetCursorPos() {
  const QPoint p = QCursor::pos();
  return {p.x(), p.y()};
}

TControl* FindDragTarget(TPoint pos, bool allowDisabled) {
  for (QWidget* w = QApplication::widgetAt(pos.X, pos.Y); w != nullptr; w = w->parentWidget()) {
    const auto* bridge = dynamic_cast<const TBridgeWidget*>(w);
    TControl* control = bridge != nullptr ? bridge->Control() : nullptr;
    if (control == nullptr) continue;
    if (allowDisabled || control->Enabled() || dynamic_cast<TWinControl*>(control) != nullptr)
      return control;
  }
  return nullptr;
}
