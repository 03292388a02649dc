// A small installation program on the engine, without pages: the setup
// script is the form file "script.form" beside the program, the command line
// is the engine's, and every ask is answered as a headless run must (errors
// go to stderr and are confirmed, a disk prompt is cancelled). Exits 0 after
// a good end, 1 after a bad one.
#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <memory>

#include "installer/engine/InstallPrompts.h"
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
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
    const bool ok = request.id == TPromptId::ShowError || request.id == TPromptId::RebootFailed;
    return {ok ? TPromptButton::Ok : TPromptButton::Cancel, request.path};
  }
  bool Failed() const { return failed_; }

 private:
  bool failed_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  int rc = 0;
  auto prompter = std::make_unique<THeadlessPrompter>();
  const THeadlessPrompter* asked = prompter.get();
  SetInstallPrompter(std::move(prompter));
  try {
    RegisterInstallClasses();
    RegisterInstallFileClasses();
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    SetInstallCommandLine(arguments);
    TOndxCompress compressor(nullptr);
    auto root = std::make_unique<TDataModule>(nullptr);
    const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    ReadRootComponentFile(root.get(), QFileInfo(self).absolutePath() + QStringLiteral("/script.form"));
    CurrentInstall()->Run();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    rc = 1;
  }
  if (asked->Failed())
    rc = 1;
  ResetProcessState();
  SetInstallPrompter(nullptr);
  return rc;
}
