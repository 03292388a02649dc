#pragma once
// What the install component needs of the program it runs in: the
// application's exception handler, its main form and that form's activation
// handler, the end of the program and a place to queue work until the form
// read under way is done. The engine never touches a widget: the setup
// program puts a host in place that speaks to its application object; tests
// put their own.
//
// Without a host the engine runs as a library: there is no form to hook and
// no application to end, queued work is dropped and the program's path is
// the running program's.

#include "platform/classes/Component.h"

#include <QString>

#include <functional>
#include <memory>

class Exception;

inline constexpr int kExitFailed = 1;
inline constexpr int kExitCancelled = 2;

using TInstallExceptionHandler = std::function<void(TObject* sender, const Exception& e)>;

class TInstallHost {
 public:
  TInstallHost() = default;
  TInstallHost(const TInstallHost&) = delete;
  TInstallHost& operator=(const TInstallHost&) = delete;
  virtual ~TInstallHost() = default;

  // Puts handler in place as the application's exception handler and hands
  // back the one before (empty: the application shows the error itself).
  virtual TInstallExceptionHandler ExchangeExceptionHandler(TInstallExceptionHandler handler) = 0;
  // Application.MainForm; nullptr when none.
  virtual TComponent* MainForm() = 0;
  // True when form is a form whose activation handler can be hooked.
  virtual bool IsHookableForm(TComponent* form) = 0;
  virtual TNotifyEvent ActivateHandler(TComponent* form) = 0;
  virtual void SetActivateHandler(TComponent* form, TNotifyEvent handler) = 0;
  virtual void Maximize(TComponent* form) = 0;
  virtual void SetBusyCursor(bool busy) = 0;
  virtual void Terminate() = 0;
  // The exit code of the program once it terminates: 0 after a good end
  // or a restart end, kExitFailed after a bad end (a failed build too),
  // kExitCancelled after a cancel.
  virtual void SetExitCode(int code) { (void)code; }
  // Application.ExeName.
  virtual QString ExeName() = 0;
  // Runs work once the form read under way has ended (from the message loop).
  virtual void Queue(std::function<void()> work) = 0;
  // The main translator's language (a TOndxLanguage ordinal); false when
  // there is no translator.
  virtual bool TranslatorLanguage(int& language) {
    (void)language;
    return false;
  }
  virtual void SetTranslatorLanguage(int language) { (void)language; }
  // Handles the window messages that are waiting. The engine's long loops
  // (extraction, copy, download) call it after every block, so that the
  // program's windows paint and a Cancel is heard while they run.
  virtual void ProcessMessages() {}
};

// Puts host in place (nullptr: none) and hands back the one before.
std::unique_ptr<TInstallHost> SetInstallHost(std::unique_ptr<TInstallHost> host);
// The current host; nullptr when none.
TInstallHost* CurrentInstallHost();

// The current host's ProcessMessages; nothing without a host.
void ProcessInstallMessages();

// The host's program path, or the running program's without a host.
QString InstallExeName();
