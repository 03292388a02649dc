#include "platform/controls/Form.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Application.h"
#include "platform/controls/Guard.h"
#include "platform/controls/Menus.h"
#include "platform/controls/QtBridge.h"
#include "platform/controls/Screen.h"
#include "platform/controls/Timer.h"
#include "platform/controls/TopMost.h"
#include "platform/system/WindowDirectory.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <atomic>
#include <functional>
#include <utility>

namespace {

const TEnumInfo kBorderStyleIdents{"bsNone", "bsSingle", "bsSizeable", "bsDialog",
                                   "bsToolWindow", "bsSizeToolWin"};
const TEnumInfo kBorderIconIdents{"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
const TEnumInfo kPositionIdents{"poDesigned", "poDefault", "poDefaultPosOnly",
                                "poDefaultSizeOnly", "poScreenCenter", "poDesktopCenter",
                                "poMainFormCenter", "poOwnerFormCenter"};
const TEnumInfo kFormStyleIdents{"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"};
const TEnumInfo kWindowStateIdents{"wsNormal", "wsMinimized", "wsMaximized"};

std::uint32_t NextWindowId() {
  static std::atomic<std::uint32_t> next{1};
  return next++;
}

// Runs its action once, when the window it watches is first exposed.
class TExposeWatcher : public QObject {
 public:
  explicit TExposeWatcher(std::function<void()> exposed) : exposed_(std::move(exposed)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const auto* window = qobject_cast<QWindow*>(watched);
    if (event->type() == QEvent::Expose && window != nullptr && window->isExposed() && exposed_) {
      watched->removeEventFilter(this);
      Guard(nullptr, std::exchange(exposed_, nullptr));  // an entry from Qt
    }
    return false;
  }

 private:
  std::function<void()> exposed_;
};

}  // namespace

TForm::TForm(TComponent* owner) : TWinControl(owner) {
  SetVisible(false);
  SetColor(clBtnFace);
  SetParentFont(false);  // a form's font is its own
  SetBounds(0, 0, 320, 240);
  if (Screen != nullptr) Screen->AddForm(this);
}

TForm::TForm(TComponent* owner, const QString& path) : TForm(owner) {
  MetaClassOf<TForm>();
  ReadFormFile(path);
}

TForm::~TForm() {
  if (Screen != nullptr) Screen->RemoveForm(this);
  if (modalLoop_ != nullptr) modalLoop_->exit();
  DestroyWidget();
}

void TForm::Free() {
  DoDestroy();
  TComponent::Free();
}

void TForm::Release() { PostMessage(this, CM_RELEASE, 0, 0); }

void TForm::ReadFormFile(const QString& path, const TFormBinding* binding) {
  ReadRootComponentFile(static_cast<TComponent*>(this), path, binding);
  DoCreate();
}

void TForm::DoCreate() {
  if (OnCreate) Guard(this, [this] { OnCreate(this); });
}
void TForm::DoShow() {
  if (OnShow) OnShow(this);
}
void TForm::DoHide() {
  if (OnHide) OnHide(this);
}
void TForm::DoClose(TCloseAction& action) {
  if (OnClose) OnClose(this, action);
}
void TForm::DoDestroy() {
  if (destroyDone_) return;
  destroyDone_ = true;
  if (OnDestroy) Guard(this, [this] { OnDestroy(this); });
}

void TForm::Activate() {
  if (OnActivate) OnActivate(this);
}
void TForm::Deactivate() {
  if (OnDeactivate) OnDeactivate(this);
}

void TForm::Paint() {
  if (OnPaint) OnPaint(this);
}

void TForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == activeControl_) activeControl_ = nullptr;
}

void TForm::Loaded() {
  if (loadedClientHeight_ >= 0) {
    const int height = loadedClientHeight_;
    loadedClientHeight_ = -1;
    TWinControl::SetClientHeight(height);
  }
  TWinControl::Loaded();
  if (Visible()) UpdateWidgetVisibility();
}

// Window flags.

void TForm::SetBorderStyle(TFormBorderStyle v) {
  borderStyle_ = v;
  ApplyFlags();
}
void TForm::SetBorderIcons(TBorderIcons v) {
  borderIcons_ = v;
  ApplyFlags();
}
void TForm::SetFormStyle(TFormStyle v) {
  formStyle_ = v;
  ApplyFlags();
}

Qt::WindowFlags TForm::TopLevelFlags() const {
  Qt::WindowFlags f = Qt::Window;
  switch (borderStyle_) {
    case bsNone: f |= Qt::FramelessWindowHint; break;
    case bsDialog: f = Qt::Dialog; break;
    case bsToolWindow:
    case bsSizeToolWin: f = Qt::Tool; break;
    default: break;
  }
  if (borderStyle_ != bsNone) {
    f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (borderIcons_.Contains(biSystemMenu)) f |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    const bool iconsAllowed = borderStyle_ == bsSingle || borderStyle_ == bsSizeable;
    if (iconsAllowed && borderIcons_.Contains(biMinimize)) f |= Qt::WindowMinimizeButtonHint;
    if (iconsAllowed && borderIcons_.Contains(biMaximize)) f |= Qt::WindowMaximizeButtonHint;
    if (borderIcons_.Contains(biHelp)) f |= Qt::WindowContextHelpButtonHint;
  }
  if (formStyle_ == fsStayOnTop) f |= Qt::WindowStaysOnTopHint;
  return f;
}

void TForm::ApplyFlags() {
  if (!HasWidget()) return;
  const bool shown = Widget()->isVisible();
  Widget()->setWindowFlags(TopLevelFlags());
  UpdateWidgetGeometry();
  if (shown) Widget()->show();
}

// Geometry.

TRect TForm::ClientRect() const {
  return Rect(0, 0, std::max(Width() - frameWidth_, 0),
              std::max(Height() - frameHeight_ - menuBarHeight_, 0));
}

TPoint TForm::ClientOrigin() const {
  if (HasWidget() && Widget()->isVisible()) return TWinControl::ClientOrigin();
  return {Left() + frameWidth_ / 2, Top() + frameHeight_ - frameWidth_ / 2 + menuBarHeight_};
}

void TForm::SetClientHeight(int v) {
  if (ComponentState().Contains(csLoading)) loadedClientHeight_ = v;
  TWinControl::SetClientHeight(v);
}

void TForm::SetMenuBarHeight(int v) {
  v = std::max(v, 0);
  if (v == menuBarHeight_) return;
  menuBarHeight_ = v;
  UpdateWidgetGeometry();
  PlaceChildWidgets();
  Realign();
}

bool TForm::Showing() const { return HasWidget() && Widget()->isVisible(); }

void TForm::UpdateWidgetGeometry() {
  QWidget* w = Widget();
  if (w == nullptr) return;
  applyingGeometry_ = true;
  const TRect client = ClientRect();
  // The widget holds the menu bar above the client area.
  const int height = client.Height() + menuBarHeight_;
  w->move(Left(), Top());
  w->resize(client.Width(), height);
  const bool fixed = sizeFixed_ || borderStyle_ == bsSingle || borderStyle_ == bsDialog ||
                     borderStyle_ == bsToolWindow || borderStyle_ == bsNone;
  if (!WindowSystemPresent()) {
    // nothing to tell a window manager
  } else if (fixed) {
    w->setFixedSize(client.Width(), height);
  } else {
    w->setMinimumSize(0, 0);
    w->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
  applyingGeometry_ = false;
}

// The window manager moved or resized the window (or changed its state):
// the change passes WM_WINDOWPOSCHANGING, and a hook's correction is applied.
void TForm::WidgetGeometryChanged() {
  QWidget* w = Widget();
  if (w == nullptr || applyingGeometry_ || !w->isVisible()) return;
  const Qt::WindowStates st = w->windowState();
  const TWindowState from = windowState_;
  windowState_ = (st & Qt::WindowMinimized) ? wsMinimized
                 : (st & Qt::WindowMaximized) ? wsMaximized : wsNormal;
  const QRect frame = w->frameGeometry();
  if (from != windowState_) StateChanged(from, frame);
  frameWidth_ = frame.width() - w->width();
  frameHeight_ = frame.height() - w->height();
  TWindowPos pos{frame.x(), frame.y(), frame.width(), frame.height(), 0};
  if (pos.x == Left() && pos.y == Top() && pos.cx == Width() && pos.cy == Height()) return;
  const TWindowPos proposed = pos;
  WindowPosChanging(pos);
  SetBoundsDirect(pos.x, pos.y, pos.cx, pos.cy);
  if (pos.x != proposed.x || pos.y != proposed.y || pos.cx != proposed.cx || pos.cy != proposed.cy)
    UpdateWidgetGeometry();
}

void TForm::SetSizeFixed(bool v) {
  if (v == sizeFixed_) return;
  sizeFixed_ = v;
  UpdateWidgetGeometry();
}

void TForm::NoteNormalBounds() {
  const TRect now = Rect(Left(), Top(), Left() + Width(), Top() + Height());
  if (normalKnown_ && now == normalBounds_) return;
  previousNormal_ = normalKnown_ ? normalBounds_ : now;
  normalBounds_ = now;
  normalKnown_ = true;
}

// A window manager may resize a window it maximises before it reports the
// new state: then the last "normal" bounds noted are the maximised ones,
// and the ones before them are the form's own.
void TForm::StateChanged(TWindowState from, const QRect& frame) {
  minimizeFromMaximized_ = false;
  if (from != wsNormal || windowState_ != wsMaximized || !normalKnown_) return;
  const QScreen* screen = Widget()->screen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : QRect();
  const TRect now = Rect(frame.x(), frame.y(), frame.x() + frame.width(), frame.y() + frame.height());
  if (normalBounds_ == now && frame.width() >= area.width() && frame.height() >= area.height())
    normalBounds_ = previousNormal_;
}

TRect TForm::NormalBounds() const {
  if (windowState_ == wsNormal || !normalKnown_)
    return Rect(Left(), Top(), Left() + Width(), Top() + Height());
  return normalBounds_;
}

bool TForm::RestoresMaximized() const {
  if (windowState_ != wsMinimized) return false;
  if (!HasWidget() || !Widget()->isVisible()) return minimizeFromMaximized_;
  return (Widget()->windowState() & Qt::WindowMaximized) != 0;
}

void TForm::MinimizeFromMaximized() {
  windowState_ = wsMinimized;
  minimizeFromMaximized_ = true;
  if (HasWidget() && Widget()->isVisible())
    Widget()->setWindowState(Qt::WindowMinimized | Qt::WindowMaximized);
}

void TForm::ApplyPosition() {
  if (positioned_) return;
  positioned_ = true;
  QRect area(0, 0, 800, 600);
  if (Screen != nullptr) area = QRect(0, 0, Screen->Width(), Screen->Height());
  const TForm* around = nullptr;
  if (position_ == poMainFormCenter && Application != nullptr) around = Application->MainForm();
  if (position_ == poOwnerFormCenter) around = dynamic_cast<const TForm*>(Owner());
  if (around == this) around = nullptr;
  if (around != nullptr) area = QRect(around->Left(), around->Top(), around->Width(), around->Height());
  const bool center = position_ == poScreenCenter || position_ == poDesktopCenter ||
                      position_ == poMainFormCenter || position_ == poOwnerFormCenter;
  if (center)
    SetBounds(area.x() + (area.width() - Width()) / 2, area.y() + (area.height() - Height()) / 2,
              Width(), Height());
}

// Visibility.

void TForm::Show() {
  SetVisible(true);
  if (HasWidget()) RaiseWindow(Widget());
}

void TForm::UpdateWidgetVisibility() {
  if (ComponentState().Contains(csLoading)) return;
  if (Visible()) {
    Handle();
    ApplyPosition();
    if (Widget()->isVisible()) return;
    Perform(CM_SHOWINGCHANGED, 1, 0);
    if (windowState_ == wsMinimized && minimizeFromMaximized_)
      Widget()->setWindowState(Qt::WindowMinimized | Qt::WindowMaximized);
    switch (windowState_) {
      case wsMinimized: Widget()->showMinimized(); break;
      case wsMaximized: Widget()->showMaximized(); break;
      default: Widget()->show(); break;
    }
    Publish();
  } else if (HasWidget() && Widget()->isVisible()) {
    Widget()->hide();
    Perform(CM_SHOWINGCHANGED, 0, 0);
    Publish();
  }
}

void TForm::SetWindowState(TWindowState v) {
  if (v == windowState_) return;
  if (windowState_ == wsNormal) NoteNormalBounds();
  minimizeFromMaximized_ = false;
  windowState_ = v;
  if (!HasWidget() || !Widget()->isVisible()) return;
  switch (v) {
    case wsMinimized: Widget()->showMinimized(); break;
    case wsMaximized: Widget()->showMaximized(); break;
    default: Widget()->showNormal(); break;
  }
}

void TForm::MinimizeWindow() {
  if (!HasWidget()) return;
  QWidget* w = Widget();
  QWindow* window = w->windowHandle();
  if (WindowSystemPresent() && w->isVisible() && window != nullptr && !window->isExposed()) {
    // Qt activates a new window once the window manager has mapped it, and
    // the activation would restore a window minimised before that.
    exposeWatcher_ = std::make_unique<TExposeWatcher>([this] {
      if (HasWidget() && Widget()->isVisible()) Widget()->showMinimized();
    });
    window->installEventFilter(exposeWatcher_.get());
    return;
  }
  w->showMinimized();
}

void TForm::SetActiveControl(TWinControl* v) {
  if (v == activeControl_) return;
  if (v != nullptr && (v == this || !ContainsControl(v)))
    throw EInvalidOperation(QStringLiteral("Invalid active control"));
  activeControl_ = v;
  if (v != nullptr) v->FreeNotification(this);
  if (v != nullptr && Active() && !ComponentState().Contains(csLoading) && v->CanFocus())
    v->SetFocus();
}

HWND TForm::WindowHandle() const {
  if (Application == nullptr || Application->Directory() == nullptr || windowId_ == 0) return 0;
  return Application->Directory()->HandleOf(windowId_);
}

void TForm::CreateWnd() {
  windowId_ = NextWindowId();
  Widget()->setWindowTitle(Caption());
  Publish();
}

// The window directory lists every form that has a window, with its title.
void TForm::Publish() {
  if (Application == nullptr || Application->Directory() == nullptr || windowId_ == 0) return;
  Application->Directory()->PublishWindow(windowId_, Caption(), Showing());
}

// Closing.

bool TForm::CloseQuery() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  return canClose;
}

void TForm::Close() {
  if (Modal()) {
    SetModalResult(mrCancel);
    return;
  }
  if (!CloseQuery()) return;
  TCloseAction action = formStyle_ == fsMDIChild ? caMinimize : caHide;
  DoClose(action);
  if (action == caNone) return;
  if (Application != nullptr && Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    default: Release(); break;
  }
}

void TForm::SetModalResult(TModalResult v) {
  modalResult_ = v;
  if (modalLoop_ != nullptr && v != mrNone) modalLoop_->exit();
}

TModalResult TForm::ShowModal() {
  if (Visible() || Modal())
    throw EInvalidOperation(QStringLiteral("Cannot make a visible window modal"));
  if (Application != nullptr) Application->CancelHint();
  modalResult_ = mrNone;
  Handle()->setWindowModality(Qt::ApplicationModal);
  QEventLoop loop;
  modalLoop_ = &loop;
  std::weak_ptr<TControl*> alive = WeakSelf();
  const TModalTopMostScope topMosts(Handle());
  Show();
  if (Application != nullptr && Application->ModalDriver)
    Guard(this, [this] { Application->ModalDriver(this); });
  while (!alive.expired()) {
    if (modalResult_ == mrNone) loop.exec();
    if (alive.expired()) break;
    if (Application != nullptr && Application->Terminated() && modalResult_ == mrNone)
      modalResult_ = mrCancel;
    if (modalResult_ != mrNone) CloseModal();
    if (modalResult_ != mrNone) break;
  }
  if (alive.expired()) return mrCancel;
  modalLoop_ = nullptr;
  Hide();
  if (HasWidget()) Widget()->setWindowModality(Qt::NonModal);
  return modalResult_;
}

// A modal result was set: the form may still refuse to close.
void TForm::CloseModal() {
  TCloseAction action = caNone;
  Guard(this, [this, &action] {
    if (CloseQuery()) {
      action = caHide;
      DoClose(action);
    }
  });
  if (action == caNone)
    modalResult_ = mrNone;
  else if (action == caFree)
    Release();
}

// Messages.

void TForm::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_DESTROY:
      if (Application != nullptr && Application->Directory() != nullptr && windowId_ != 0)
        Application->Directory()->UnpublishWindow(windowId_);
      windowId_ = 0;
      break;
    case WM_WINDOWPOSCHANGED:
      if (windowState_ == wsNormal) NoteNormalBounds();
      break;
    case WM_ACTIVATE:
      active_ = m.WParam != WA_INACTIVE;
      if (active_) {
        if (activeControl_ != nullptr && activeControl_->CanFocus()) activeControl_->SetFocus();
        Activate();
      } else {
        Deactivate();
      }
      break;
    default:
      break;
  }
  TWinControl::WndProc(m);
}

void TForm::DefaultHandler(TMessage& m) {
  switch (m.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case CM_RELEASE:
      Free();
      return;
    case WM_SYSCOMMAND:
      if ((m.WParam & 0xFFF0) == SC_MINIMIZE) {
        // The main form minimises the program as a whole.
        if (Application != nullptr && Application->MainForm() == this)
          Application->Minimize();
        else
          SetWindowState(wsMinimized);
        return;
      }
      break;
    case CM_SHOWINGCHANGED:
      if (m.WParam != 0)
        DoShow();
      else
        DoHide();
      return;
    case CM_TEXTCHANGED:
      if (HasWidget()) Widget()->setWindowTitle(Caption());
      Publish();
      break;
    default:
      break;
  }
  TWinControl::DefaultHandler(m);
}

void TForm::DeclareProperties(TClassBuilder<TForm, TWinControl>& b) {
  b.Property("BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle, kBorderStyleIdents)
      .Default(bsSizeable);
  b.Property("BorderIcons", &TForm::BorderIcons, &TForm::SetBorderIcons, kBorderIconIdents)
      .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize});
  b.Property("Position", &TForm::Position, &TForm::SetPosition, kPositionIdents)
      .Default(poDesigned);
  b.Property("FormStyle", &TForm::FormStyle, &TForm::SetFormStyle, kFormStyleIdents)
      .Default(fsNormal);
  b.Property("WindowState", &TForm::WindowState, &TForm::SetWindowState, kWindowStateIdents)
      .Default(wsNormal);
  b.Property("ActiveControl", &TForm::ActiveControl, &TForm::SetActiveControl);
  b.Property("ParentFont", &TForm::ParentFont, &TForm::SetParentFont).Default(false);
  b.Property("Menu", &TForm::Menu, &TForm::SetMenu);
  b.Property("KeyPreview", &TForm::KeyPreview, &TForm::SetKeyPreview).Default(false);
  b.Property("Visible", &TForm::Visible, &TForm::SetVisible).Default(false);
  b.Event("OnCreate", &TForm::OnCreate);
  b.Event("OnShow", &TForm::OnShow);
  b.Event("OnHide", &TForm::OnHide);
  b.Event("OnActivate", &TForm::OnActivate);
  b.Event("OnDeactivate", &TForm::OnDeactivate);
  b.Event("OnDestroy", &TForm::OnDestroy);
  b.Event("OnPaint", &TForm::OnPaint);
  b.Event("OnClose", &TForm::OnClose);
  b.Event("OnCloseQuery", &TForm::OnCloseQuery);
}

TMainMenu* TForm::Menu() const {
  return FormMainMenu(this);
}

void TForm::SetMenu(TMainMenu* menu) {
  AttachMainMenu(this, menu);
}

void RegisterFormClasses() {
  if (GetClass(QStringLiteral("TForm")) == nullptr) RegisterClass<TForm>();
  if (GetClass(QStringLiteral("TTimer")) == nullptr) RegisterClass<TTimer>();
}
