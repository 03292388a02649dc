#pragma once
// A host for the install component in tests: the application with one main
// form, whose activation and queued work the test delivers as the message
// loop would (an escaping exception goes to the application's handler), and
// a program that keeps a file in use.

#include "installer/engine/InstallHost.h"
#include "platform/rtl/Exceptions.h"

#include <QString>

#include <functional>
#include <utility>
#include <vector>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace qxtest {

// The application as the engine sees it: one main form, an exception
// handler that the application calls for what its message loop catches.
class TTestHost : public TInstallHost {
 public:
  explicit TTestHost(QString exe) : exe_(std::move(exe)) {}
  TInstallExceptionHandler ExchangeExceptionHandler(TInstallExceptionHandler handler) override {
    std::swap(handler, handler_);
    return handler;
  }
  TComponent* MainForm() override { return noForm ? nullptr : &form_; }
  bool IsHookableForm(TComponent* form) override { return form == &form_; }
  TNotifyEvent ActivateHandler(TComponent*) override { return activate_; }
  void SetActivateHandler(TComponent*, TNotifyEvent handler) override { activate_ = std::move(handler); }
  void Maximize(TComponent*) override { ++maximized; }
  void SetBusyCursor(bool value) override {
    busy = value;
    ++cursorChanges;
  }
  void Terminate() override { ++terminated; }
  void SetExitCode(int code) override { exitCode = code; }
  QString ExeName() override { return exe_; }
  void Queue(std::function<void()> work) override { queued.push_back(std::move(work)); }
  void ProcessMessages() override {
    ++pumped;
    if (onPump) onPump();
  }

  // The form comes to the front; what escapes goes to the handler, as the
  // message loop does.
  void Activate() { Deliver([&] { if (activate_) activate_(&form_); }); }
  void RunQueued() {
    auto work = std::move(queued);
    queued.clear();
    for (auto& w : work) Deliver(w);
  }
  bool HasHandler() const { return static_cast<bool>(handler_); }
  bool HasActivateHandler() const { return static_cast<bool>(activate_); }
  TComponent* Form() { return &form_; }

  bool noForm = false;
  bool busy = false;
  int cursorChanges = 0;
  int maximized = 0;
  int terminated = 0;
  int exitCode = 0;
  // The message pumps of the engine's long loops; onPump runs in each.
  int pumped = 0;
  std::function<void()> onPump;
  std::vector<std::function<void()>> queued;

  void Deliver(const std::function<void()>& fn) {
    try {
      fn();
    } catch (const Exception& e) {
      if (handler_) handler_(nullptr, e);
    }
  }

 private:
  QString exe_;
  TComponent form_{nullptr};
  TNotifyEvent activate_;
  TInstallExceptionHandler handler_;
};

// A running program (a file in use), killed when the object goes.
class TRunningProgram {
 public:
  explicit TRunningProgram(const QString& path) {
    const QByteArray p = path.toLocal8Bit();
    char* argv[] = {const_cast<char*>(p.constData()), nullptr};
    if (::posix_spawn(&pid_, p.constData(), nullptr, nullptr, argv, environ) != 0) pid_ = 0;
  }
  ~TRunningProgram() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  bool Running() const { return pid_ > 0; }

 private:
  pid_t pid_ = 0;
};

}  // namespace qxtest
