#pragma once
// TApplication: the application object. One exists per program (Application
// points at it while it lives; it is created by the program, never static).
// It owns the forms made with CreateForm, runs the message loop, shows
// uncaught exceptions, keeps the hint machinery, opens help, delivers posted
// messages (also those from other processes, through the window directory)
// and answers modal loops in tests through ModalDriver.

#include "platform/classes/Component.h"
#include "platform/controls/Control.h"
#include "platform/controls/Messages.h"

#include <QList>
#include <QString>

#include <exception>
#include <functional>
#include <memory>

class QEventLoop;
class QTimer;
class TForm;
class THintWindow;
class THelpViewer;
class TWindowDirectory;
class TWinControl;
class Exception;

// What the hint machinery knows about the hint about to show.
struct THintInfo {
  TControl* HintControl = nullptr;
  TPoint HintPos;          // screen position of the hint window's top-left corner
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect;        // client coordinates of HintControl
  TPoint CursorPos;        // client coordinates of HintControl
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  QString HintStr;
};

using TShowHintEvent = std::function<void(QString& hintStr, bool& canShow, THintInfo& hintInfo)>;
using TExceptionEvent = std::function<void(TObject* sender, const Exception& e)>;

// A message as the message loop takes it from the queue.
struct TMsg {
  TWinControl* Control = nullptr;  // receiver in this process; nullptr: none
  HWND hwnd = 0;                   // its directory handle when it has one
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};
using TMessageHandler = std::function<void(TMsg& msg, bool& handled)>;

// Help commands.
inline constexpr UINT HELP_CONTEXT = 0x0001;
inline constexpr UINT HELP_QUIT = 0x0002;
inline constexpr UINT HELP_CONTENTS = 0x0003;

class TApplication : public TComponent {
 public:
  // Needs a QApplication. Creates the window directory for cross-process
  // messages (when the runtime folder is usable) and the Screen object.
  explicit TApplication(TComponent* owner = nullptr);
  ~TApplication() override;

  void Initialize() {}
  QString Title() const { return title_; }
  // The application's own hidden window carries the title in the window
  // directory, so other programs find the program by it whatever its forms'
  // captions say; messages to that window reach the message handlers.
  void SetTitle(const QString& v);
  // The application window's handle; 0 without a window directory.
  HWND Handle() const;
  QString ExeName() const;

  // Creates a form owned by the application; the first becomes MainForm.
  template <class T>
  void CreateForm(T*& reference) {
    reference = new T(this);
    FormCreated(reference);
  }
  TForm* MainForm() const { return mainForm_; }
  bool ShowMainForm() const { return showMainForm_; }
  void SetShowMainForm(bool v) { showMainForm_ = v; }

  // Shows the main form and processes messages until Terminate.
  void Run();
  void ProcessMessages();
  // Waits for one message and processes it.
  void HandleMessage();
  void Terminate();
  bool Terminated() const { return terminated_; }

  // Exceptions: call HandleException from a catch block.
  void HandleException(TObject* sender);
  void ShowException(const Exception& e);
  TExceptionEvent OnException;

  // OnMessage, as a chain: messages posted to windows of this program (also
  // from other programs) go to every handler that joined, the last joined
  // first, until one sets handled; an unhandled one goes to the target
  // control's WindowProc. AddMessageHandler returns the id that
  // RemoveMessageHandler takes.
  int AddMessageHandler(TMessageHandler handler);
  void RemoveMessageHandler(int id);
  void DeliverMessage(TMsg& msg);

  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  bool Active() const { return active_; }

  // Hints.
  QString Hint() const { return hint_; }
  void SetHint(const QString& v);
  TNotifyEvent OnHint;
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool v);
  int HintPause() const { return hintPause_; }
  void SetHintPause(int ms) { hintPause_ = ms; }
  int HintHidePause() const { return hintHidePause_; }
  void SetHintHidePause(int ms) { hintHidePause_ = ms; }
  TColor HintColor() const { return hintColor_; }
  void SetHintColor(TColor v) { hintColor_ = v; }
  TShowHintEvent OnShowHint;
  void CancelHint();
  // Shows the hint of the control under the mouse now (what the hint timer
  // does when it expires); cursorPos in screen coordinates.
  void ActivateHint(TPoint cursorPos);
  THintWindow* HintWindow() const { return hintWindow_; }
  TControl* HintControl() const { return hintControl_; }
  // Called by controls on mouse moves and when the mouse leaves.
  void HintMouseMessage(TControl* control, TPoint clientPos);
  void HintMouseLeave(TControl* control);

  // Help: an HTML file beside HelpFile (same base name, ".html"), shown at
  // the anchor "context-N".
  QString HelpFile() const { return helpFile_; }
  void SetHelpFile(const QString& v) { helpFile_ = v; }
  bool HelpContext(int context);
  bool HelpCommand(UINT command, std::intptr_t data);
  THelpViewer* HelpViewer() const { return helpViewer_.get(); }

  // Windows of the program.
  void Minimize();
  void Restore();
  void BringToFront();

  // Called when a modal loop starts, with the form or box it runs; it may
  // set ModalResult or click controls. Tests answer dialogs through it.
  std::function<void(TObject* modal)> ModalDriver;

  // Internal: forms, controls and the window directory.
  void FormCreated(TForm* form);
  void ControlDestroying(TControl* control);
  TWindowDirectory* Directory() const { return directory_.get(); }
  // The application window's id in the directory; forms count from 1.
  static constexpr std::uint32_t kWindowId = 0xFFFFFFF0u;

 private:
  void Deactivate();
  void HideHint();
  void StartHintTimer(int ms);
  void HintTimerExpired();
  void DirectoryMessage(std::uint32_t localId, UINT msg, WPARAM wParam, LPARAM lParam);
  void ApplicationStateChanged(bool active);
  void PublishApplicationWindow();

  QString title_;
  TForm* mainForm_ = nullptr;
  bool showMainForm_ = true;
  bool terminated_ = false;
  bool active_ = false;
  std::unique_ptr<QEventLoop> runLoop_;
  QList<QPair<int, TMessageHandler>> handlers_;
  int nextHandlerId_ = 1;

  QString hint_;
  bool showHint_ = true;
  int hintPause_ = 500;
  int hintHidePause_ = 2500;
  TColor hintColor_ = clInfoBk;
  TControl* hintControl_ = nullptr;
  bool hintActive_ = false;
  THintWindow* hintWindow_ = nullptr;  // owned by the application (component)
  std::unique_ptr<QTimer> hintTimer_;
  std::unique_ptr<QTimer> hintHideTimer_;

  QString helpFile_;
  std::unique_ptr<THelpViewer> helpViewer_;
  std::unique_ptr<TWindowDirectory> directory_;
  std::unique_ptr<QObject> context_;  // receiver of Qt signals, dies first
};

// The application object while it lives; nullptr otherwise.
extern TApplication* Application;
