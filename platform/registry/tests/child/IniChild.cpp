// A second process for the INI file tests. Modes:
//   write <file> <prefix> <count>  writes [S] <prefix><i> = i, count times
//   loop <file>                    round r: [S] k<r> = r, then [R] rewritten in
//                                  one batch as Item_0..Item_4 = r; no end
//   read <file> <count>            reads [S] fixed count times; prints how
//                                  often it was not 1
// The writers print each committed index on its own line.

#include "platform/registry/IniFile.h"

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

void Report(long i) {
  std::printf("%ld\n", i);
  std::fflush(stdout);
}

int Write(const QString& file, const QString& prefix, long count) {
  TIniFile ini(file);
  for (long i = 0; i < count; ++i) {
    ini.WriteInteger(QStringLiteral("S"), prefix + QString::number(i), int(i));
    Report(i);
  }
  return 0;
}

int Loop(const QString& file) {
  TIniFile ini(file);
  for (int r = 0;; ++r) {
    ini.WriteInteger(QStringLiteral("S"), QStringLiteral("k%1").arg(r), r);
    TIniFileBatch batch(&ini);
    ini.EraseSection(QStringLiteral("R"));
    for (int j = 0; j < 5; ++j)
      ini.WriteInteger(QStringLiteral("R"), QStringLiteral("Item_%1").arg(j), r);
    batch.Commit();
    Report(r);
  }
}

int Read(const QString& file, long count) {
  long misses = 0;
  for (long i = 0; i < count; ++i)
    if (TIniFile(file).ReadInteger(QStringLiteral("S"), QStringLiteral("fixed"), -1) != 1)
      ++misses;
  Report(misses);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString file = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    if (mode == QLatin1String("write") && argc == 5)
      return Write(file, QString::fromLocal8Bit(argv[3]), std::atol(argv[4]));
    if (mode == QLatin1String("loop") && argc == 3)
      return Loop(file);
    if (mode == QLatin1String("read") && argc == 4)
      return Read(file, std::atol(argv[3]));
    std::fprintf(stderr, "usage: write <file> <prefix> <count> | loop <file> | read <file> <count>\n");
    return 64;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
