// The program's run: "uninstall [-y] [<product name>]". The product's menu
// entry starts it with no words and no terminal: it then finds its product
// by its own path and asks in a message box.
#include "platform/controls/Platform.h"
#include "setup/uninstall/Uninstaller.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

#include <memory>

#include <unistd.h>

int UninstallMain(int argc, char** argv, const std::function<void()>& onStep) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  TUninstallRequest request = ParseUninstallArguments(arguments);
  request.OnStep = onStep;
  const bool display = !qEnvironmentVariableIsEmpty("DISPLAY") ||
                       !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
                       !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
  const TAsking asking = ChooseAsking(request.yes, isatty(STDIN_FILENO) == 1, display);
  // Only a box needs the windows; a script's run stays off the display.
  std::unique_ptr<TPlatformSession> session;
  std::unique_ptr<QCoreApplication> core;
  if (asking == akBox)
    session = InitPlatformOrExit(argc, argv, true);
  else
    core = std::make_unique<QCoreApplication>(argc, argv);
  QTextStream out(stdout);
  QTextStream err(stderr);
  const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
  return RunUninstall(request, asking, self, out, err);
}
