// A second process for the concurrency tests. Modes:
//   reg <prefix> <count>   writes count REG_DWORD values <prefix><i> = i
//   reg <prefix> 0         the same without end (until killed)
//   ini <file> <prefix> <count>   writes count keys to section [S]
// Values go to HKCU\Software\QxConcurrency. After each committed write the
// index is printed on its own line.

#include "platform/registry/IniFile.h"
#include "platform/registry/Registry.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

void Report(long i) {
  std::printf("%ld\n", i);
  std::fflush(stdout);
}

int WriteRegistry(const QString& prefix, long count) {
  TRegistry reg;
  if (!reg.OpenKey(QStringLiteral("\\Software\\QxConcurrency"), true))
    return 2;
  for (long i = 0; count == 0 || i < count; ++i) {
    reg.WriteInteger(prefix + QString::number(i), static_cast<int>(i));
    Report(i);
  }
  return 0;
}

int WriteIni(const QString& file, const QString& prefix, long count) {
  TIniFile ini(file);
  for (long i = 0; i < count; ++i) {
    ini.WriteInteger(QStringLiteral("S"), prefix + QString::number(i), static_cast<int>(i));
    Report(i);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("reg") && argc == 4)
      return WriteRegistry(QString::fromLocal8Bit(argv[2]), std::atol(argv[3]));
    if (mode == QLatin1String("ini") && argc == 5)
      return WriteIni(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                      std::atol(argv[4]));
    std::fprintf(stderr, "usage: reg <prefix> <count> | ini <file> <prefix> <count>\n");
    return 64;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
