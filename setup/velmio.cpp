// The setup program velmio: its main window is the installation script.
// "velmio -b" builds setup.exe, setup.1 and files.1 into the folder that
// BUILD.INF beside the program names; started by setup.exe it installs.
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_Ondrix.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/routines_Registry.h"
#include "installer/wizard/WizardHost.h"
#include "installer/wizard/cmp_TWizardPrompter.h"
#include "platform/controls/Application.h"
#include "platform/controls/Platform.h"
#include "platform/controls/QtBridge.h"
#include "setup/velmioform.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

#include <cstdio>

namespace {

constexpr char kLibraryMarker[] = "Q32V31.TXT";

// A build tree keeps the installer library (the loader and its marker) in
// "library" beside the program. When the library search path names no
// folder that holds the library (the first build, or the tree it named was
// moved or removed), this one is put first on it.
void NameLibraryBeside() {
  const QString library = QCoreApplication::applicationDirPath() + QStringLiteral("/library");
  if (!QFileInfo::exists(library + u'/' + QLatin1String(kLibraryMarker))) return;
  const QString key = QString::fromLatin1(kLibrarySearchKey);
  const QString searchPath = ReadRegString(hkCurrentUser, key, QStringLiteral("SearchPath"), {});
  for (const QString& folder : searchPath.split(u';', Qt::SkipEmptyParts))
    if (QFileInfo::exists(folder + u'/' + QLatin1String(kLibraryMarker))) return;
  WriteRegString(hkCurrentUser, key, QStringLiteral("SearchPath"),
                 searchPath.trimmed().isEmpty() ? library : library + u';' + searchPath);
}

// The build (-b) runs without a display too: a script or a terminal reads
// its errors on stderr.
bool BuildSwitch(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (qstricmp(argv[i], "-b") == 0) return true;
  return false;
}

// The wizard's boxes; an error also goes to stderr, where a build run
// from a terminal or a script is read. Without a window system nobody
// could answer a box: an error is only printed, a question is cancelled.
class TSetupPrompter : public TWizardPrompter {
 public:
  TPromptAnswer Ask(const TPromptRequest& request) override {
    if (request.id == TPromptId::ShowError) std::fprintf(stderr, "velmio: %s\n", qPrintable(request.text));
    if (WindowSystemPresent()) return TWizardPrompter::Ask(request);
    if (request.id != TPromptId::ShowError) std::fprintf(stderr, "velmio: %s\n", qPrintable(request.text));
    return UnansweredPrompt(request);
  }
};

// The program's host. A test watches a copy by slowing it down: with
// QX_TEST_COPY_PACE_MS set, the engine's long loops wait that many
// milliseconds after each block before the messages are handled.
class TSetupHost : public TApplicationInstallHost {
 public:
  TSetupHost() : pace_(qEnvironmentVariableIntValue("QX_TEST_COPY_PACE_MS")) {}
  void ProcessMessages() override {
    if (pace_ > 0) QThread::msleep(static_cast<unsigned long>(pace_));
    TApplicationInstallHost::ProcessMessages();
  }

 private:
  int pace_;
};

}  // namespace

int main(int argc, char** argv) {
  const bool build = BuildSwitch(argc, argv);
  auto session = InitPlatformOrExit(argc, argv, !build || !qEnvironmentVariableIsEmpty("DISPLAY"));
  QStringList arguments = QCoreApplication::arguments();
  arguments.removeFirst();
  if (build) NameLibraryBeside();
  SetInstallCommandLine(arguments);
  auto hostObject = std::make_unique<TSetupHost>();
  const TApplicationInstallHost* host = hostObject.get();
  SetInstallHost(std::move(hostObject));
  SetInstallPrompter(std::make_unique<TSetupPrompter>());
  RegisterSetupClasses();
  int exitCode = 0;
  {
    TOndxCompress compressor(nullptr);
    Application->Initialize();
    Application->SetTitle(QStringLiteral("Velmio"));
    try {
      Application->CreateForm(Form1);
      Application->Run();
      exitCode = host->ExitCode();
    } catch (const Exception& e) {
      std::fprintf(stderr, "velmio: %s\n", qPrintable(e.Message()));
      if (WindowSystemPresent()) Application->ShowException(e);
      exitCode = 1;
    }
  }
  SetInstallPrompter(nullptr);
  SetInstallHost(nullptr);
  return exitCode;
}
