#include "platform/controls/Application.h"

#include "platform/controls/Dialogs.h"
#include "platform/controls/Form.h"
#include "platform/controls/Guard.h"
#include "platform/controls/HelpViewer.h"
#include "platform/controls/HintWindow.h"
#include "platform/controls/QtBridge.h"
#include "platform/controls/Screen.h"
#include "platform/controls/Thread.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ProcessState.h"
#include "platform/system/WindowDirectory.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>

#include <cstdio>

TApplication* Application = nullptr;

namespace {

// The message as the box shows it: a "." is appended when the last
// character sorts after ".".
QString BoxText(const QString& msg) {
  if (!msg.isEmpty() && msg.back() > QLatin1Char('.')) return msg + QLatin1Char('.');
  return msg;
}

}  // namespace

TApplication::TApplication(TComponent* owner)
    : TComponent(owner),
      hintTimer_(std::make_unique<QTimer>()),
      hintHideTimer_(std::make_unique<QTimer>()),
      context_(std::make_unique<QObject>()) {
  if (QApplication::instance() == nullptr)
    throw EInvalidOperation(QStringLiteral("The application object needs a QApplication"));
  Application = this;
  SetExceptionSink(&HandleCurrentException);  // entries from Qt report here
  new TScreen;  // Screen; freed in the destructor
  title_ = QFileInfo(ExeName()).completeBaseName();
  hintTimer_->setSingleShot(true);
  hintHideTimer_->setSingleShot(true);
  GuardedConnect(this, hintTimer_.get(), &QTimer::timeout, context_.get(), [this] { HintTimerExpired(); });
  GuardedConnect(this, hintHideTimer_.get(), &QTimer::timeout, context_.get(), [this] { HideHint(); });
  GuardedConnect(this, qApp, &QGuiApplication::applicationStateChanged, context_.get(),
                 [this](Qt::ApplicationState s) { ApplicationStateChanged(s == Qt::ApplicationActive); });
  try {
    directory_ = std::make_unique<TWindowDirectory>();
    directory_->OnMessage = [this](std::uint32_t id, UINT msg, WPARAM w, LPARAM l) {
      Guard(this, [&] { DirectoryMessage(id, msg, w, l); });
    };
    PublishApplicationWindow();
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s: messages from other programs are off: %s\n",
                 qPrintable(title_), qPrintable(e.Message()));
  }
}

TApplication::~TApplication() {
  context_.reset();  // no Qt signal reaches a half-destroyed object
  hintTimer_->stop();
  hintHideTimer_->stop();
  helpViewer_.reset();
  for (int i = ComponentCount() - 1; i >= 0; --i) {
    if (i >= ComponentCount()) continue;
    if (auto* form = dynamic_cast<TForm*>(Components(i))) form->Free();
  }
  DestroyComponents();
  hintWindow_ = nullptr;
  directory_.reset();
  delete Screen;
  if (Application == this) {
    Application = nullptr;
    SetExceptionSink(nullptr);
    ShutdownProcessObjects();  // they live as long as the application object
  }
}

QString TApplication::ExeName() const { return QCoreApplication::applicationFilePath(); }

void TApplication::FormCreated(TForm* form) {
  if (mainForm_ == nullptr) mainForm_ = form;
}

void TApplication::ControlDestroying(TControl* control) {
  if (control == hintControl_) {
    hintControl_ = nullptr;
    HideHint();
  }
  if (control == mainForm_) mainForm_ = nullptr;
}

// The loop.

void TApplication::Run() {
  if (mainForm_ != nullptr && showMainForm_) mainForm_->Show();
  while (!terminated_) {
    runLoop_ = std::make_unique<QEventLoop>();
    runLoop_->exec();
    runLoop_.reset();
    if (mainForm_ == nullptr) terminated_ = true;
  }
}

void TApplication::ProcessMessages() {
  TThread::CheckSynchronize();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::HandleMessage() {
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

// Ends the message loop; modal loops end too (with mrCancel).
void TApplication::Terminate() {
  terminated_ = true;
  if (runLoop_) runLoop_->exit();
  for (int i = 0; Screen != nullptr && i < Screen->FormCount(); ++i)
    if (Screen->Forms(i)->Modal()) Screen->Forms(i)->SetModalResult(mrCancel);
}

// Exceptions.

void TApplication::HandleException(TObject* sender) {
  std::exception_ptr current = std::current_exception();
  if (!current) return;
  try {
    std::rethrow_exception(current);
  } catch (const EAbort&) {
    return;
  } catch (const Exception& e) {
    if (OnException)
      OnException(sender, e);
    else
      ShowException(e);
  } catch (const std::exception& e) {
    const Exception wrapped(QString::fromUtf8(e.what()));
    if (OnException)
      OnException(sender, wrapped);
    else
      ShowException(wrapped);
  } catch (...) {
    ShowException(Exception(QStringLiteral("Unknown exception")));
  }
}

void TApplication::ShowException(const Exception& e) {
  MessageBox(BoxText(e.Message()), title_, MB_OK | MB_ICONERROR);
}

// Posted messages.

int TApplication::AddMessageHandler(TMessageHandler handler) {
  const int id = nextHandlerId_++;
  handlers_.append({id, std::move(handler)});
  return id;
}

void TApplication::RemoveMessageHandler(int id) {
  for (int i = static_cast<int>(handlers_.size()) - 1; i >= 0; --i)
    if (handlers_[i].first == id) handlers_.removeAt(i);
}

void TApplication::DeliverMessage(TMsg& msg) {
  bool handled = false;
  const auto handlers = handlers_;  // a handler may leave the chain
  for (int i = static_cast<int>(handlers.size()) - 1; i >= 0 && !handled; --i)
    handlers[i].second(msg, handled);
  if (!handled && msg.Control != nullptr) msg.Control->Perform(msg.message, msg.wParam, msg.lParam);
}

void TApplication::DirectoryMessage(std::uint32_t localId, UINT msg, WPARAM wParam, LPARAM lParam) {
  TMsg m{nullptr, directory_ ? directory_->HandleOf(localId) : 0, msg, wParam, lParam};
  for (int i = 0; Screen != nullptr && i < Screen->FormCount(); ++i)
    if (Screen->Forms(i)->WindowId() == localId) m.Control = Screen->Forms(i);
  DeliverMessage(m);
}

void TApplication::SetTitle(const QString& v) {
  if (v == title_) return;
  title_ = v;
  try {
    PublishApplicationWindow();
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s: the new title is not published: %s\n", qPrintable(title_),
                 qPrintable(e.Message()));
  }
}

HWND TApplication::Handle() const { return directory_ ? directory_->HandleOf(kWindowId) : 0; }

void TApplication::PublishApplicationWindow() {
  if (directory_) directory_->PublishWindow(kWindowId, title_, false);
}

void TApplication::ApplicationStateChanged(bool active) {
  if (active == active_) return;
  active_ = active;
  if (active && OnActivate) OnActivate(this);
  if (!active) {
    CancelHint();
    if (OnDeactivate) OnDeactivate(this);
  }
}

// Hints.

void TApplication::SetHint(const QString& v) {
  if (v == hint_) return;
  hint_ = v;
  if (OnHint) OnHint(this);
}

void TApplication::SetShowHint(bool v) {
  showHint_ = v;
  if (!v) CancelHint();
}

void TApplication::HintMouseMessage(TControl* control, TPoint) {
  if (!showHint_ || control == nullptr) return;
  if (control != hintControl_) {
    const bool wasActive = hintActive_;
    CancelHint();
    if (!control->ShowHint()) return;
    hintControl_ = control;
    StartHintTimer(wasActive ? 50 : hintPause_);
  } else if (!hintActive_ && !hintTimer_->isActive()) {
    StartHintTimer(hintPause_);
  }
}

void TApplication::HintMouseLeave(TControl* control) {
  if (control == hintControl_) CancelHint();
}

void TApplication::StartHintTimer(int ms) { hintTimer_->start(ms); }

void TApplication::HintTimerExpired() { ActivateHint(TPoint{QCursor::pos().x(), QCursor::pos().y()}); }

void TApplication::CancelHint() {
  hintTimer_->stop();
  HideHint();
  hintControl_ = nullptr;
}

void TApplication::HideHint() {
  hintHideTimer_->stop();
  hintActive_ = false;
  if (hintWindow_ != nullptr) hintWindow_->ReleaseHandle();
}

// The control under cursorPos gets CM_HINTSHOW and OnShowHint may change the
// text and the place; the window shows at exactly HintPos.
void TApplication::ActivateHint(TPoint cursorPos) {
  TControl* control = hintControl_;
  if (control == nullptr || !showHint_) return;
  THintInfo info;
  info.HintControl = control;
  info.CursorPos = control->ScreenToClient(cursorPos);
  info.CursorRect = control->ClientRect();
  info.HintPos = {cursorPos.X, cursorPos.Y + 20};
  info.HintMaxWidth = Screen != nullptr ? Screen->Width() : 800;
  info.HintColor = hintColor_;
  info.HideTimeout = hintHidePause_;
  QString text = control->Hint().section(QLatin1Char('|'), 0, 0);
  info.HintStr = text;
  bool canShow = control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) == 0;
  text = info.HintStr;
  if (canShow && OnShowHint) OnShowHint(text, canShow, info);
  hintActive_ = canShow && !text.isEmpty();
  if (!hintActive_) {
    HideHint();
    return;
  }
  if (hintWindow_ == nullptr) hintWindow_ = new THintWindow(this);
  hintWindow_->SetColor(info.HintColor);
  TRect r = hintWindow_->CalcHintRect(info.HintMaxWidth, text);
  OffsetRect(r, info.HintPos.X, info.HintPos.Y);
  hintWindow_->ActivateHint(r, text);
  if (info.HideTimeout > 0) hintHideTimer_->start(info.HideTimeout);
}

// Help.

bool TApplication::HelpContext(int context) { return HelpCommand(HELP_CONTEXT, context); }

bool TApplication::HelpCommand(UINT command, std::intptr_t data) {
  if (command == HELP_QUIT) {
    if (helpViewer_) helpViewer_->Close();
    return true;
  }
  QString file = THelpViewer::HtmlFileFor(helpFile_);
  if (QFileInfo(file).isRelative())
    file = QFileInfo(ExeName()).absolutePath() + QLatin1Char('/') + file;
  if (!helpViewer_) helpViewer_ = std::make_unique<THelpViewer>();
  const QString anchor =
      command == HELP_CONTEXT ? QStringLiteral("context-%1").arg(static_cast<qint64>(data)) : QString();
  helpViewer_->Open(file, anchor);
  return true;
}

// Windows.

void TApplication::Minimize() {
  for (int i = 0; Screen != nullptr && i < Screen->FormCount(); ++i) {
    TForm* f = Screen->Forms(i);
    if (f->Showing()) f->MinimizeWindow();
  }
}

void TApplication::Restore() {
  for (int i = 0; Screen != nullptr && i < Screen->FormCount(); ++i) {
    TForm* f = Screen->Forms(i);
    if (f->HasWidget() && f->Widget()->isMinimized()) f->Widget()->showNormal();
  }
}

void TApplication::BringToFront() {
  TForm* f = Screen != nullptr ? Screen->ActiveForm() : nullptr;
  if (f == nullptr) f = mainForm_;
  if (f == nullptr || !f->HasWidget()) return;
  RaiseWindow(f->Widget());
}
