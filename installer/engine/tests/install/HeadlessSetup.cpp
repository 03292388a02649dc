// A small installation program on the engine, without pages: the setup
// script is the form file "script.form" beside the program (with
// RunAutomatic off: there is no form to activate), the command line is the
// engine's (a mode it chooses runs once the read is done, else the install
// runs), and every ask is answered as a headless run must (errors go to
// stderr and are confirmed, a disk prompt is cancelled, or answered with
// the folder $QX_HEADLESS_DISK_FOLDER names). Exits 0 after a good end or a
// restart, 1 after a bad end. With $QX_HEADLESS_KILL_AFTER
// naming an install file, the run kills itself once that file is in place
// (a run killed in the middle of the copy).
#include <QCoreApplication>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "installer/engine/InstallHost.h"
#include "installer/engine/InstallPrompts.h"
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TInstallRegistry.h"
#include "installer/engine/cmp_TInstallShellLink.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "platform/classes/DataModule.h"
#include "platform/classes/FormReader.h"
#include "platform/rtl/ProcessState.h"

namespace {

class THeadlessPrompter : public TInstallPrompter {
 public:
  TPromptAnswer Ask(const TPromptRequest& request) override {
    std::fprintf(stderr, "%s\n", qPrintable(request.text));
    failed_ = failed_ || request.id == TPromptId::ShowError;
    const QString disk = qEnvironmentVariable("QX_HEADLESS_DISK_FOLDER");
    if (request.id == TPromptId::InsertDisk && !disk.isEmpty()) return {TPromptButton::Ok, disk};
    const bool ok = request.id == TPromptId::ShowError || request.id == TPromptId::RebootFailed;
    return {ok ? TPromptButton::Ok : TPromptButton::Cancel, request.path};
  }
  bool Failed() const { return failed_; }

 private:
  bool failed_ = false;
};

class THeadlessHost : public TInstallHost {
 public:
  TInstallExceptionHandler ExchangeExceptionHandler(TInstallExceptionHandler handler) override {
    std::swap(handler, handler_);
    return handler;
  }
  TComponent* MainForm() override { return nullptr; }
  bool IsHookableForm(TComponent*) override { return false; }
  TNotifyEvent ActivateHandler(TComponent*) override { return {}; }
  void SetActivateHandler(TComponent*, TNotifyEvent) override {}
  void Maximize(TComponent*) override {}
  void SetBusyCursor(bool) override {}
  void Terminate() override {}
  void SetExitCode(int code) override { exitCode = code; }
  QString ExeName() override { return QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget(); }
  void Queue(std::function<void()> work) override { queued.push_back(std::move(work)); }
  // As the application's loop: an exception out of the program's work goes
  // to the handler in place (the install's, which ends the run).
  void Handle(const Exception& e) {
    if (!handler_) throw;
    handler_(nullptr, e);
  }

  int exitCode = 0;
  std::vector<std::function<void()>> queued;

 private:
  TInstallExceptionHandler handler_;
};

// $QX_HEADLESS_KILL_AFTER: the file after which the run is killed.
void ArmKill(const TComponent& root) {
  const QString name = qEnvironmentVariable("QX_HEADLESS_KILL_AFTER");
  if (auto* file = dynamic_cast<TCustomInstallFile*>(root.FindComponent(name)))
    file->OnAfterInstall = [](TCustomInstallFile*) { ::raise(SIGKILL); };
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int rc = 0;
  auto prompter = std::make_unique<THeadlessPrompter>();
  const THeadlessPrompter* asked = prompter.get();
  SetInstallPrompter(std::move(prompter));
  auto hostObject = std::make_unique<THeadlessHost>();
  THeadlessHost* host = hostObject.get();
  SetInstallHost(std::move(hostObject));
  try {
    RegisterInstallClasses();
    RegisterInstallFileClasses();
    RegisterInstallRegistryClasses();
    RegisterInstallShellLinkClasses();
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    SetInstallCommandLine(arguments);
    TOndxCompress compressor(nullptr);
    auto root = std::make_unique<TDataModule>(nullptr);
    ReadRootComponentFile(root.get(),
                          QFileInfo(host->ExeName()).absolutePath() + QStringLiteral("/script.form"));
    ArmKill(*root);
    try {
      if (host->queued.empty()) {
        CurrentInstall()->Run();
      } else {
        for (const std::function<void()>& work : host->queued) work();
      }
    } catch (const Exception& e) {
      host->Handle(e);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    rc = 1;
  }
  if (asked->Failed() || host->exitCode != 0)
    rc = 1;
  ResetProcessState();
  SetInstallHost(nullptr);
  SetInstallPrompter(nullptr);
  return rc;
}
