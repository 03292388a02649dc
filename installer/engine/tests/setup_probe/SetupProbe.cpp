// Stands in for the installation program of a self-extracting setup: writes
// how it was started to $QX_PROBE_OUT, then, with -c, removes its folder as
// the engine's clean-up does, and ends with $QX_PROBE_EXIT.

#include "installer/engine/cmp_TInstall_SelfExtract.h"

#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

int main(int argc, char** argv) {
  const char* out = std::getenv("QX_PROBE_OUT");
  std::FILE* report = out != nullptr ? std::fopen(out, "w") : nullptr;
  if (report == nullptr)
    return 90;
  char cwd[4096] = {};
  const QString self = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
  std::fprintf(report, "program=%s\n", argv[0]);
  std::fprintf(report, "self=%s\n", qPrintable(self));
  std::fprintf(report, "cwd=%s\n", getcwd(cwd, sizeof cwd) != nullptr ? cwd : "");
  const QString notes = QFileInfo(self).absolutePath() + QStringLiteral("/notes.txt");
  std::fprintf(report, "presetup=%s\n", QFile::exists(notes) ? "yes" : "no");
  bool cleanUp = false;
  for (int i = 1; i < argc; ++i) {
    std::fprintf(report, "arg=%s\n", argv[i]);
    cleanUp = cleanUp || std::strcmp(argv[i], "-c") == 0;
  }
  if (cleanUp)
    std::fprintf(report, "removed=%s\n", RemoveLoaderFolder(self) ? "yes" : "no");
  std::fclose(report);
  const char* code = std::getenv("QX_PROBE_EXIT");
  return code != nullptr ? std::atoi(code) : 0;
}
