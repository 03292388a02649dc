#pragma once
// The install component's host in a program with an application object:
// the application's exception handler and main form, the form's activation
// event, the message loop for queued work and the main translator's
// language.

#include "installer/engine/InstallHost.h"

class TForm;

class TApplicationInstallHost : public TInstallHost {
 public:
  TInstallExceptionHandler ExchangeExceptionHandler(TInstallExceptionHandler handler) override;
  TComponent* MainForm() override;
  bool IsHookableForm(TComponent* form) override;
  TNotifyEvent ActivateHandler(TComponent* form) override;
  void SetActivateHandler(TComponent* form, TNotifyEvent handler) override;
  void Maximize(TComponent* form) override;
  void SetBusyCursor(bool busy) override;
  void Terminate() override;
  void SetExitCode(int code) override { exitCode_ = code; }
  QString ExeName() override;
  void Queue(std::function<void()> work) override;
  bool TranslatorLanguage(int& language) override;
  void SetTranslatorLanguage(int language) override;
  void ProcessMessages() override;

  // What the program returns once the message loop has ended.
  int ExitCode() const { return exitCode_; }

 private:
  int exitCode_ = 0;
};
