// The runner of pending restart work (RestartService.h), started from its
// XDG autostart entry at login. Prints each step that failed or was skipped
// and exits with 1 when any failed, 0 otherwise.
#include "platform/system/RestartService.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const TRestartReport report = RunRestartWork();
  for (const TRestartStep& step : report.steps) {
    if (!step.done)
      std::fprintf(stderr, "%s: %s%s\n", kRestartRunnerName, step.skipped ? "skipped: " : "",
                   qPrintable(step.error));
  }
  return report.AllDone() ? 0 : 1;
}
