#include "platform/controls/NativeControl.h"

#include "platform/controls/Guard.h"
#include "platform/controls/QtBridge.h"
#include "platform/rtl/Codec1252.h"
#include "platform/rtl/UpdateScope.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

namespace {

int QtKeyOfChar(char c) {
  switch (static_cast<unsigned char>(c)) {
    case 8: return Qt::Key_Backspace;
    case 9: return Qt::Key_Tab;
    case 13: return Qt::Key_Return;
    case 27: return Qt::Key_Escape;
    default: return Qt::Key_unknown;
  }
}

}  // namespace

namespace controls_detail {

bool TNativeFilter::eventFilter(QObject* watched, QEvent* event) {
  TNativeControl* c = control_;
  if (c->bypass_) return false;
  bool eaten = false;
  switch (event->type()) {
    case QEvent::KeyPress:
      if (watched != c->KeyWidget()) return false;
      Guard(c, [&] { eaten = c->NativeKey(static_cast<QKeyEvent*>(event)); });
      return eaten;
    case QEvent::KeyRelease:
      if (watched != c->KeyWidget()) return false;
      Guard(c, [&] { eaten = c->NativeKeyUp(static_cast<QKeyEvent*>(event)); });
      return eaten;
    case QEvent::FocusIn:
      if (watched == c->native_.get()) Guard(c, [c] { c->Perform(WM_SETFOCUS, 0, 0); });
      return false;
    case QEvent::FocusOut:
      if (watched == c->native_.get()) Guard(c, [c] { c->Perform(WM_KILLFOCUS, 0, 0); });
      return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      if (watched == c->MouseWidget()) Guard(c, [c, event] { c->NativeMouse(event); });
      return false;
    default:
      return false;
  }
}

}  // namespace controls_detail

TNativeControl::TNativeControl(TComponent* owner, std::unique_ptr<QWidget> native)
    : TWinControl(owner), native_(std::move(native)) {
  SetControlStyle(TControlStyle{csSetCaption, csDoubleClicks});
  SetTabStop(true);
  native_->installEventFilter(&filter_);
}

void TNativeControl::SetKeyWidget(QWidget* w) {
  if (w == KeyWidget()) return;
  if (keyWidget_ != nullptr) keyWidget_->removeEventFilter(&filter_);
  keyWidget_ = w;
  if (w != nullptr && w != native_.get()) w->installEventFilter(&filter_);
}

void TNativeControl::SetMouseWidget(QWidget* w) {
  mouseWidget_ = w;
  w->installEventFilter(&filter_);
}

TNativeControl::~TNativeControl() {
  // The Qt widget goes before the bridge widget it may sit in.
  native_->removeEventFilter(&filter_);
  if (keyWidget_ != nullptr) keyWidget_->removeEventFilter(&filter_);
  native_.reset();
}

void TNativeControl::CreateWidget(QWidget* parent) {
  TWinControl::CreateWidget(parent);
  native_->setParent(Widget());
  native_->setGeometry(0, 0, Width(), Height());
  native_->setFocusPolicy(TabStop() ? Qt::StrongFocus : Qt::ClickFocus);
  Widget()->setFocusProxy(native_.get());
  ApplyAppearance();
  native_->show();
}

void TNativeControl::UpdateWidgetGeometry() {
  TWinControl::UpdateWidgetGeometry();
  if (HasWidget()) native_->setGeometry(0, 0, Width(), Height());
}

void TNativeControl::ApplyAppearance() {
  native_->setFont(Font()->ToQFont());
  QPalette pal = native_->palette();
  pal.setColor(QPalette::Base, ColorToQColor(Color()));
  pal.setColor(QPalette::Text, ColorToQColor(Font()->Color()));
  native_->setPalette(pal);
}

void TNativeControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_DESTROY:
      // The bridge widget is about to go: the Qt widget stays with the control.
      if (Widget() != nullptr) Widget()->setFocusProxy(nullptr);
      native_->hide();
      native_->setParent(nullptr);
      break;
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
      ApplyAppearance();
      break;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

void TNativeControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      keyDownPassed_ = true;
      break;
    case WM_CHAR:
      if (inFilter_) {
        charPassed_ = static_cast<int>(m.WParam & 0xFF);
      } else {
        const char ch = static_cast<char>(m.WParam & 0xFF);
        const int qtKey = QtKeyOfChar(ch);
        const QString text = qtKey == Qt::Key_unknown ? QString(Win1252ToChar(static_cast<unsigned char>(ch)))
                                                      : QString();
        SendNativeKey(qtKey, Qt::NoModifier, text);
      }
      break;
    default:
      break;
  }
  TWinControl::DefaultHandler(m);
}

void TNativeControl::SendNativeKey(int qtKey, Qt::KeyboardModifiers mods, const QString& text) {
  TUpdateScope scope(bypass_);
  QKeyEvent press(QEvent::KeyPress, qtKey, mods, text);
  QCoreApplication::sendEvent(KeyWidget(), &press);
}

bool TNativeControl::SwallowKey(const QKeyEvent&) const { return false; }

// Runs the messages of a Qt key press; true when the Qt widget must not see it.
bool TNativeControl::NativeKey(QKeyEvent* e) {
  TUpdateScope scope(inFilter_);
  const WPARAM vk = VirtualKeyOf(e->key());
  const bool alt = e->modifiers() & Qt::AltModifier;
  if (vk != 0) {
    keyDownPassed_ = false;
    Perform(alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, 1);
    if (!keyDownPassed_) return true;
  }
  if (SwallowKey(*e)) return true;
  const QString text = e->text();
  if (text.isEmpty()) return false;
  QString typed;
  for (QChar ch : text) {
    const int code = CharToWin1252(ch);
    if (code <= 0) continue;
    charPassed_ = -1;
    Perform(WM_CHAR, static_cast<WPARAM>(code), 1);
    if (charPassed_ > 0) typed += Win1252ToChar(static_cast<unsigned char>(charPassed_));
  }
  if (typed == text) return false;
  if (typed.size() == 1 && QtKeyOfChar(static_cast<char>(CharToWin1252(typed.at(0)))) != Qt::Key_unknown)
    SendNativeKey(QtKeyOfChar(static_cast<char>(CharToWin1252(typed.at(0)))), e->modifiers(), {});
  else if (!typed.isEmpty())
    SendNativeKey(Qt::Key_unknown, e->modifiers(), typed);
  return true;
}

bool TNativeControl::NativeKeyUp(QKeyEvent* e) {
  const WPARAM vk = VirtualKeyOf(e->key());
  if (vk == 0) return false;
  keyDownPassed_ = false;
  TUpdateScope scope(inFilter_);
  Perform((e->modifiers() & Qt::AltModifier) ? WM_SYSKEYUP : WM_KEYUP, vk, 1);
  return false;
}

void TNativeControl::NativeMouse(QEvent* event) {
  auto* e = static_cast<QMouseEvent*>(event);
  const UINT msg = MouseMessageOf(e);
  if (msg == WM_NULL) return;
  QPoint p = e->position().toPoint();
  if (Widget() != nullptr) p = MouseWidget()->mapTo(Widget(), p);
  Perform(msg, MouseKeyState(e), MAKELPARAM(p.x(), p.y()));
}
