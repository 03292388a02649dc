// The uninstaller as the tests build it: QX_TEST_KILL_AT=k kills it with
// SIGKILL at its k-th step.
#include "setup/uninstall/Uninstaller.h"

#include <QtGlobal>

#include <csignal>

int main(int argc, char** argv) {
  const int killAt = qEnvironmentVariableIntValue("QX_TEST_KILL_AT");
  return UninstallMain(argc, argv, [killAt, steps = 0]() mutable {
    if (++steps == killAt) std::raise(SIGKILL);
  });
}
