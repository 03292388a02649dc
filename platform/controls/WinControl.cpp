#include "platform/controls/WinControl.h"

#include "platform/controls/Application.h"
#include "platform/controls/Guard.h"
#include "platform/controls/QtBridge.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ProcessState.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <algorithm>
#include <map>
#include <utility>

namespace {

constexpr WPARAM kVkReturn = 0x0D;
constexpr WPARAM kVkEscape = 0x1B;

TShiftState KeyboardShift() {
  const Qt::KeyboardModifiers mods = QGuiApplication::keyboardModifiers();
  TShiftState s;
  if (mods & Qt::ShiftModifier) s.Include(ssShift);
  if (mods & Qt::ControlModifier) s.Include(ssCtrl);
  if (mods & Qt::AltModifier) s.Include(ssAlt);
  return s;
}

using TimerKey = std::pair<TWinControl*, UINT>;

std::map<TimerKey, QTimer*>& Timers() {
  static std::map<TimerKey, QTimer*> timers;
  return timers;
}

void StopTimer(QTimer* timer) {
  timer->stop();
  timer->deleteLater();  // may be inside its own timeout
}

void KillAllTimers(TWinControl* control) {
  auto& timers = Timers();
  for (auto it = timers.begin(); it != timers.end();) {
    if (control == nullptr || it->first.first == control) {
      StopTimer(it->second);
      it = timers.erase(it);
    } else {
      ++it;
    }
  }
}

const TResetHook kResetTimers([] { KillAllTimers(nullptr); });

}  // namespace

UINT SetTimer(TWinControl* control, UINT id, UINT intervalMs) {
  if (control == nullptr || id == 0) return 0;
  KillTimer(control, id);
  auto* timer = new QTimer(QCoreApplication::instance());
  timer->setInterval(static_cast<int>(intervalMs));
  GuardedConnect(control, timer, &QTimer::timeout, timer,
                 [control, id] { control->Perform(WM_TIMER, id, 0); });
  Timers()[{control, id}] = timer;
  timer->start();
  return id;
}

void KillTimer(TWinControl* control, UINT id) {
  auto& timers = Timers();
  auto it = timers.find({control, id});
  if (it == timers.end()) return;
  StopTimer(it->second);
  timers.erase(it);
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  KillAllTimers(this);
  while (!controls_.isEmpty()) {
    TControl* child = controls_.last();
    RemoveControl(child);
    child->Free();
  }
  DestroyWidget();
}

void TWinControl::InsertControl(TControl* control) {
  controls_.append(control);
  control->parent_ = this;
  if (auto* wc = dynamic_cast<TWinControl*>(control); wc != nullptr && wc->tabOrder_ < 0) {
    int n = 0;
    for (TControl* c : controls_)
      if (c != control && dynamic_cast<TWinControl*>(c) != nullptr) ++n;
    wc->tabOrder_ = n;
  }
  control->ParentColorChanged();
  control->ParentFontChanged();
  if (HasWidget()) {
    control->CreateWidget(Widget());
    ApplyTabOrder();
  }
  if (control->Align() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* control) {
  if (!controls_.removeOne(control)) return;
  control->DestroyWidget();
  control->parent_ = nullptr;
  if (control->Align() != alNone) Realign();
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c != nullptr; c = c->Parent())
    if (c == this) return true;
  return false;
}

QWidget* TWinControl::Handle() {
  if (!HasWidget()) {
    if (Parent() != nullptr)
      Parent()->Handle();  // creates this control's widget with the parent's
    if (!HasWidget()) CreateWidget(Parent() != nullptr ? Parent()->Widget() : nullptr);
  }
  return Widget();
}

void TWinControl::CreateWidget(QWidget* parent) {
  auto* w = new TBridgeWidget(this, parent, parent != nullptr ? Qt::WindowFlags() : TopLevelFlags());
  w->setAutoFillBackground(false);
  w->setFocusPolicy(tabStop_ ? Qt::StrongFocus : Qt::NoFocus);
  AttachWidget(w);
  CreateWnd();
  CreateChildWidgets();
}

void TWinControl::CreateChildWidgets() {
  for (TControl* c : controls_)
    if (!c->HasWidget()) c->CreateWidget(Widget());
  ApplyTabOrder();
}

void TWinControl::RecreateWnd() {
  if (!HasWidget()) return;
  DestroyWidget();
  Handle();
}

// Focus.

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c != nullptr; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

bool TWinControl::Focused() const { return HasWidget() && Widget()->hasFocus(); }

void TWinControl::SetFocus() {
  if (!CanFocus())
    throw EInvalidOperation(QStringLiteral("Cannot focus a disabled or invisible window"));
  Handle()->setFocus(Qt::OtherFocusReason);
}

void TWinControl::SetTabStop(bool v) {
  tabStop_ = v;
  if (HasWidget()) Widget()->setFocusPolicy(v ? Qt::StrongFocus : Qt::NoFocus);
}

int TWinControl::TabOrder() const { return tabOrder_; }

void TWinControl::SetTabOrder(int v) {
  tabOrder_ = v;
  if (Parent() != nullptr) Parent()->ApplyTabOrder();
}

void TWinControl::ApplyTabOrder() {
  if (!HasWidget()) return;
  QList<TWinControl*> order;
  for (TControl* c : controls_)
    if (auto* wc = dynamic_cast<TWinControl*>(c); wc != nullptr && wc->HasWidget()) order.append(wc);
  std::stable_sort(order.begin(), order.end(),
                   [](TWinControl* a, TWinControl* b) { return a->tabOrder_ < b->tabOrder_; });
  for (int i = 1; i < order.size(); ++i)
    QWidget::setTabOrder(order[i - 1]->Widget(), order[i]->Widget());
}

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}
void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}
void TWinControl::KeyDown(std::uint16_t& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}
void TWinControl::KeyUp(std::uint16_t& key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}
void TWinControl::KeyPress(char& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

bool TWinControl::DoKeyDown(TMessage& m) {
  TWinControl* form = ParentForm();
  if (form != nullptr && form != this && form->KeyPreviewActive() && form->DoKeyDown(m))
    return true;
  auto key = static_cast<std::uint16_t>(m.WParam);
  KeyDown(key, KeyboardShift());
  m.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyUp(TMessage& m) {
  TWinControl* form = ParentForm();
  if (form != nullptr && form != this && form->KeyPreviewActive() && form->DoKeyUp(m))
    return true;
  auto key = static_cast<std::uint16_t>(m.WParam);
  KeyUp(key, KeyboardShift());
  m.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyPress(TMessage& m) {
  TWinControl* form = ParentForm();
  if (form != nullptr && form != this && form->KeyPreviewActive() && form->DoKeyPress(m))
    return true;
  char key = static_cast<char>(static_cast<unsigned char>(m.WParam));
  KeyPress(key);
  m.WParam = static_cast<unsigned char>(key);
  return key == 0;
}

// Layout.

void TWinControl::EnableAlign() {
  if (alignDisabled_ > 0 && --alignDisabled_ == 0) Realign();
}

void TWinControl::Realign() {
  const TComponentState state = ComponentState();
  if (aligning_ || alignDisabled_ > 0 || state.Contains(csLoading) ||
      state.Contains(csDestroying))
    return;
  aligning_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{aligning_};
  TRect r = ClientRect();
  AlignControls(nullptr, r);
}

void TWinControl::AlignControls(TControl*, TRect& r) {
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    QList<TControl*> list;
    for (TControl* c : controls_)
      if (c->Align() == align && c->Visible()) list.append(c);
    auto key = [align](TControl* c) {
      switch (align) {
        case alTop: return c->Top();
        case alBottom: return -(c->Top() + c->Height());
        case alLeft: return c->Left();
        case alRight: return -(c->Left() + c->Width());
        default: return 0;
      }
    };
    std::stable_sort(list.begin(), list.end(),
                     [&key](TControl* a, TControl* b) { return key(a) < key(b); });
    for (TControl* c : list) {
      switch (align) {
        case alTop:
          c->SetBounds(r.Left, r.Top, r.Width(), c->Height());
          r.Top += c->Height();
          break;
        case alBottom:
          c->SetBounds(r.Left, r.Bottom - c->Height(), r.Width(), c->Height());
          r.Bottom -= c->Height();
          break;
        case alLeft:
          c->SetBounds(r.Left, r.Top, c->Width(), r.Height());
          r.Left += c->Width();
          break;
        case alRight:
          c->SetBounds(r.Right - c->Width(), r.Top, c->Width(), r.Height());
          r.Right -= c->Width();
          break;
        default:
          c->SetBounds(r.Left, r.Top, r.Width(), r.Height());
          break;
      }
    }
  }
}

// Messages.

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (DoKeyDown(m) || (m.Msg == WM_KEYDOWN ? RouteDialogKey(m) : RouteDialogChar(m))) {
        m.Result = 1;  // used up: no dialog-key handling follows
        return;
      }
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (DoKeyUp(m)) return;
      break;
    case WM_CHAR:
      if (DoKeyPress(m)) return;
      break;
    case WM_SETFOCUS:
      DoEnter();
      break;
    case WM_KILLFOCUS:
      DoExit();
      break;
    default:
      break;
  }
  TControl::WndProc(m);
}

void TWinControl::PlaceChildWidgets() {
  for (TControl* c : controls_) c->UpdateWidgetGeometry();
}

// Enter and Escape the control does not want go to its form as CM_DIALOGKEY
// (the Default or Cancel button answers); true when one used the key.
bool TWinControl::RouteDialogKey(TMessage& m) {
  if (m.WParam != kVkReturn && m.WParam != kVkEscape) return false;
  if (Perform(CM_WANTSPECIALKEY, m.WParam, m.LParam) != 0) return false;
  TWinControl* form = ParentForm();
  return form != nullptr && form->Perform(CM_DIALOGKEY, m.WParam, m.LParam) != 0;
}

bool TWinControl::RouteDialogChar(TMessage& m) {
  const WPARAM vk = m.WParam;
  const bool accelKey = (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9');
  if (!accelKey) return false;
  TWinControl* form = ParentForm();
  return form != nullptr && form->Perform(CM_DIALOGCHAR, vk, 0) != 0;
}

void TWinControl::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
      // Offered to each shown, enabled child in turn until one answers.
      for (TControl* c : QList<TControl*>(controls_)) {
        if (!c->Visible() || !c->Enabled()) continue;
        if (c->Perform(m.Msg, m.WParam, m.LParam) != 0) {
          m.Result = 1;
          return;
        }
      }
      break;
    case WM_ERASEBKGND:
      EraseBackground(reinterpret_cast<TCanvas*>(m.WParam));
      m.Result = 1;
      return;
    case WM_WINDOWPOSCHANGING:
      if (Parent() == nullptr) DefaultWindowPosChanging(m);
      return;
    case CM_COLORCHANGED:
      TControl::DefaultHandler(m);
      for (TControl* c : QList<TControl*>(controls_)) c->Perform(CM_PARENTCOLORCHANGED, 0, 0);
      return;
    case CM_FONTCHANGED:
      TControl::DefaultHandler(m);
      for (TControl* c : QList<TControl*>(controls_)) c->Perform(CM_PARENTFONTCHANGED, 0, 0);
      return;
    default:
      TControl::DefaultHandler(m);
  }
}

// A top-level window asks WM_GETMINMAXINFO before it moves or changes size
// and keeps its size inside the tracking limits.
void TWinControl::DefaultWindowPosChanging(TMessage& m) {
  auto* pos = reinterpret_cast<TWindowPos*>(m.LParam);
  if (pos == nullptr || (pos->flags & (SWP_NOSIZE | SWP_NOMOVE)) == (SWP_NOSIZE | SWP_NOMOVE))
    return;
  TMinMaxInfo info;
  QSize screen(800, 600);
  if (QScreen* s = QGuiApplication::primaryScreen()) screen = s->geometry().size();
  info.ptMaxSize = {screen.width(), screen.height()};
  info.ptMaxTrackSize = {32767, 32767};
  Perform(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  if (pos->flags & SWP_NOSIZE) return;
  pos->cx = std::clamp(pos->cx, info.ptMinTrackSize.x,
                       std::max(info.ptMinTrackSize.x, info.ptMaxTrackSize.x));
  pos->cy = std::clamp(pos->cy, info.ptMinTrackSize.y,
                       std::max(info.ptMinTrackSize.y, info.ptMaxTrackSize.y));
}

void TWinControl::Repaint() { TControl::Repaint(); }

void TWinControl::Loaded() {
  TControl::Loaded();
  Realign();
}

void TWinControl::GetChildren(const TGetChildProc& proc, TComponent* root) {
  if (root == this) {
    for (int i = 0; i < ComponentCount(); ++i)
      if (!Components(i)->HasParent()) proc(Components(i));
  }
  for (TControl* c : controls_)
    if (c->Owner() == root) proc(c);
}

void TWinControl::DeclareProperties(TClassBuilder<TWinControl, TControl>& b) {
  b.Property("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(false);
  b.Property("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder);
  b.Event("OnEnter", &TWinControl::OnEnter);
  b.Event("OnExit", &TWinControl::OnExit);
  b.Event("OnKeyDown", &TWinControl::OnKeyDown);
  b.Event("OnKeyPress", &TWinControl::OnKeyPress);
  b.Event("OnKeyUp", &TWinControl::OnKeyUp);
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}

std::unique_ptr<TWinControl> AllocateHWnd(TWndMethod method) {
  auto window = std::make_unique<TWinControl>(nullptr);
  window->WindowProc = std::move(method);
  return window;
}

LRESULT SendMessage(TWinControl* control, UINT msg, WPARAM wParam, LPARAM lParam) {
  return control != nullptr ? control->Perform(msg, wParam, lParam) : 0;
}

bool PostMessage(TWinControl* control, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (control == nullptr || QCoreApplication::instance() == nullptr) return false;
  std::weak_ptr<TControl*> target = control->WeakSelf();
  GuardedPost(nullptr, QCoreApplication::instance(), [target, msg, wParam, lParam] {
    auto alive = target.lock();
    if (!alive) return;
    auto* c = static_cast<TWinControl*>(*alive);
    GuardedCall(c, [c, msg, wParam, lParam] {
      TMsg m{c, 0, msg, wParam, lParam};
      if (Application != nullptr)
        Application->DeliverMessage(m);
      else
        c->Perform(msg, wParam, lParam);
    });
  });
  return true;
}
