#include "platform/controls/QtBridge.h"

#include "platform/controls/Control.h"
#include "platform/controls/Guard.h"
#include "platform/rtl/Codec1252.h"
#include "platform/rtl/UpdateScope.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {

LPARAM PosParam(const QPointF& p) { return MAKELPARAM(qRound(p.x()), qRound(p.y())); }

}  // namespace

UINT MouseMessageOf(const QMouseEvent* e) {
  if (e->type() == QEvent::MouseMove) return WM_MOUSEMOVE;
  const bool dbl = e->type() == QEvent::MouseButtonDblClick;
  const bool down = e->type() != QEvent::MouseButtonRelease;
  switch (e->button()) {
    case Qt::LeftButton: return dbl ? WM_LBUTTONDBLCLK : down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case Qt::RightButton: return dbl ? WM_RBUTTONDBLCLK : down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case Qt::MiddleButton: return dbl ? WM_MBUTTONDBLCLK : down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default: return WM_NULL;
  }
}

WPARAM MouseKeyState(const QMouseEvent* e) {
  WPARAM k = 0;
  if (e->buttons() & Qt::LeftButton) k |= MK_LBUTTON;
  if (e->buttons() & Qt::RightButton) k |= MK_RBUTTON;
  if (e->buttons() & Qt::MiddleButton) k |= MK_MBUTTON;
  if (e->modifiers() & Qt::ShiftModifier) k |= MK_SHIFT;
  if (e->modifiers() & Qt::ControlModifier) k |= MK_CONTROL;
  return k;
}

std::uint16_t VirtualKeyOf(int k) {
  if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9))
    return static_cast<std::uint16_t>(k);
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return static_cast<std::uint16_t>(0x70 + k - Qt::Key_F1);
  switch (k) {
    case Qt::Key_Backspace: return 0x08;
    case Qt::Key_Tab: case Qt::Key_Backtab: return 0x09;
    case Qt::Key_Clear: return 0x0C;
    case Qt::Key_Return: case Qt::Key_Enter: return 0x0D;
    case Qt::Key_Shift: return 0x10;
    case Qt::Key_Control: return 0x11;
    case Qt::Key_Alt: return 0x12;
    case Qt::Key_Pause: return 0x13;
    case Qt::Key_CapsLock: return 0x14;
    case Qt::Key_Escape: return 0x1B;
    case Qt::Key_Space: return 0x20;
    case Qt::Key_PageUp: return 0x21;
    case Qt::Key_PageDown: return 0x22;
    case Qt::Key_End: return 0x23;
    case Qt::Key_Home: return 0x24;
    case Qt::Key_Left: return 0x25;
    case Qt::Key_Up: return 0x26;
    case Qt::Key_Right: return 0x27;
    case Qt::Key_Down: return 0x28;
    case Qt::Key_Print: return 0x2C;
    case Qt::Key_Insert: return 0x2D;
    case Qt::Key_Delete: return 0x2E;
    case Qt::Key_Help: return 0x2F;
    case Qt::Key_Asterisk: return 0x6A;
    case Qt::Key_Plus: return 0xBB;
    case Qt::Key_Comma: return 0xBC;
    case Qt::Key_Minus: return 0xBD;
    case Qt::Key_Period: return 0xBE;
    case Qt::Key_NumLock: return 0x90;
    case Qt::Key_ScrollLock: return 0x91;
    // Finnish layout: the keys of Ä, Ö and Å.
    case Qt::Key_Adiaeresis: return 0xDE;
    case Qt::Key_Odiaeresis: return 0xC0;
    case Qt::Key_Aring: return 0xDD;
    default: return 0;
  }
}

TBridgeWidget::TBridgeWidget(TControl* control, QWidget* parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), control_(control) {
  setMouseTracking(true);
}

TBridgeWidget::~TBridgeWidget() = default;

bool TBridgeWidget::event(QEvent* e) {
  TUpdateScope depth(eventDepth_);
  if (control_ != nullptr && Translate(e)) return true;
  return QWidget::event(e);
}

void TBridgeWidget::paintEvent(QPaintEvent*) {
  if (control_ == nullptr) return;
  QPainter painter(this);
  Guard(control_, [&] { control_->PaintFromQt(painter); });
}

// Returns true when the event is used up here.
bool TBridgeWidget::Translate(QEvent* e) {
  TControl* c = control_;
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      Mouse(static_cast<QMouseEvent*>(e));
      return true;
    case QEvent::KeyPress:
      if (IsTabKey(static_cast<QKeyEvent*>(e))) return !TabKey(static_cast<QKeyEvent*>(e));
      Key(static_cast<QKeyEvent*>(e), true);
      return true;
    case QEvent::KeyRelease:
      Key(static_cast<QKeyEvent*>(e), false);
      return true;
    case QEvent::Enter:
      Guard(c, [c] { c->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(c)); });
      return false;
    case QEvent::Leave:
      Guard(c, [c] { c->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(c)); });
      return false;
    case QEvent::FocusIn:
      Guard(c, [c] { c->Perform(WM_SETFOCUS, 0, 0); });
      return false;
    case QEvent::FocusOut:
      Guard(c, [c] { c->Perform(WM_KILLFOCUS, 0, 0); });
      return false;
    case QEvent::Close:
      e->ignore();  // the control decides what closing does
      Guard(c, [c] { c->Perform(WM_CLOSE, 0, 0); });
      return true;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate: {
      const WPARAM state = e->type() == QEvent::WindowActivate ? WA_ACTIVE : WA_INACTIVE;
      Guard(c, [c, state] { c->Perform(WM_ACTIVATE, state, 0); });
      return false;
    }
    case QEvent::Move:
    case QEvent::Resize:
      if (isWindow()) Guard(c, [c] { c->WidgetGeometryChanged(); });
      return false;
    case QEvent::WindowStateChange:
      if (isWindow()) Guard(c, [c] { c->WidgetGeometryChanged(); });
      return false;
    default:
      return false;
  }
}

bool TBridgeWidget::IsTabKey(QKeyEvent* e) {
  return (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab) &&
         !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

// Tab gives WM_KEYDOWN; unless a handler used the key up (Result 1), the
// focus then moves to the next control, as the dialog keys do.
bool TBridgeWidget::TabKey(QKeyEvent* e) {
  TControl* c = control_;
  LRESULT used = 0;
  Guard(c, [c, &used] { used = c->Perform(WM_KEYDOWN, 0x09, 1); });
  return used != 1;
}

// A widget position in the control's client coordinates.
LPARAM TBridgeWidget::ClientPos(const QPointF& p) const {
  const TPoint offset = control_->ClientOffset();
  return PosParam(p - QPointF(offset.X, offset.Y));
}

void TBridgeWidget::Mouse(QMouseEvent* e) {
  const UINT msg = MouseMessageOf(e);
  if (msg == WM_NULL) return;
  const WPARAM keys = MouseKeyState(e);
  const LPARAM pos = ClientPos(e->position());
  TControl* c = control_;
  Guard(c, [c, msg, keys, pos] { c->Perform(msg, keys, pos); });
}

// A key press gives WM_KEYDOWN and, when it types a character that
// Windows-1252 can hold, WM_CHAR; a release gives WM_KEYUP.
void TBridgeWidget::Key(QKeyEvent* e, bool down) {
  const WPARAM vk = VirtualKeyOf(e->key());
  const bool alt = e->modifiers() & Qt::AltModifier;
  const LPARAM flags = e->isAutoRepeat() ? (LPARAM(1) << 30) | 1 : 1;
  TControl* c = control_;
  const QString text = e->text();
  Guard(c, [c, vk, alt, flags, down, text] {
    if (!down) {
      if (vk != 0) c->Perform(alt ? WM_SYSKEYUP : WM_KEYUP, vk, flags);
      return;
    }
    if (vk != 0) c->Perform(alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, flags);
    for (QChar ch : text) {
      const int code = CharToWin1252(ch);
      if (code > 0) c->Perform(WM_CHAR, static_cast<WPARAM>(code), flags);
    }
  });
}

bool WindowSystemPresent() {
  const QString name = QGuiApplication::platformName();
  return name != QLatin1String("offscreen") && name != QLatin1String("minimal");
}

void RaiseWindow(QWidget* window) {
  if (window == nullptr || !WindowSystemPresent()) return;
  window->raise();
  window->activateWindow();
}
