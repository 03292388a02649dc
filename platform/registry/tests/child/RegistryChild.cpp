// A second process for the concurrency tests. Modes:
//   reg <prefix> <count>   writes count REG_DWORD values <prefix><i> = i
//   reg <prefix> 0         the same without end (until killed)
//   race <go> <prefix> <count>   waits for the file go, then writes as reg
//   check <prefix> <count>       reads <prefix>0 .. <prefix><count-1> and
//                                fails unless each holds its index
//   watch <go> <count> <prefix>...   waits for go, then lists the key over
//                                    and over until every (two-character)
//                                    prefix has count values, failing when a
//                                    value seen before is gone, a later one
//                                    shows before an earlier one or a value
//                                    reads wrong
//   step <prefix> <count>   count commits, each after a line on standard
//                           input: commit i writes <prefix>1 = i when i % 3
//                           is 0, adds <prefix>n<i> = i when it is 1, and
//                           deletes <prefix>n<i-1> when it is 2
//   ini <file> <prefix> <count>   writes count keys to section [S]
//   delete <go> <prefix> <count>  waits for go, then deletes the values
//                                 <prefix>0 .. <prefix><count-1>, failing
//                                 unless each delete goes through
//   stop <step> <prefix> <count>  deletes as delete, but stops for good at
//                                 the step of a lent reserve (Hive.h),
//                                 printing "stopped <step>"
//   classes recreate|create <n>   deletes HKLM\Software\Classes (recreate)
//                                 and creates Classes\Gen with v = n
// Values go to HKCU\Software\QxConcurrency. After each committed write the
// index is printed on its own line. A hooked disk named by the environment
// is used (HookedDisk.h).

#include "platform/registry/IniFile.h"
#include "platform/registry/Registry.h"
#include "platform/registry/tests/HookedDisk.h"
#include "platform/rtl/StringList.h"

#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QThread>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>
#include <set>

#include <unistd.h>

namespace {

constexpr int kBoundMs = 60000;
const QString kKey = QStringLiteral("\\Software\\QxConcurrency");

void Report(long i) {
  std::printf("%ld\n", i);
  std::fflush(stdout);
}

int Fail(const QString& why) {
  std::fprintf(stderr, "%s\n", qPrintable(why));
  return 3;
}

bool WaitForGo(const QString& go) {
  QElapsedTimer timer;
  timer.start();
  while (!QFile::exists(go)) {
    if (timer.elapsed() > kBoundMs)
      return false;
    QThread::usleep(200);
  }
  return true;
}

int WriteRegistry(const QString& prefix, long count) {
  TRegistry reg;
  if (!reg.OpenKey(kKey, true))
    return 2;
  for (long i = 0; count == 0 || i < count; ++i) {
    reg.WriteInteger(prefix + QString::number(i), static_cast<int>(i));
    Report(i);
  }
  return 0;
}

int Check(const QString& prefix, long count) {
  TRegistry reg;
  if (!reg.OpenKeyReadOnly(kKey))
    return Fail(QStringLiteral("no key"));
  for (long i = 0; i < count; ++i)
    if (reg.ReadInteger(prefix + QString::number(i)) != i)
      return Fail(QStringLiteral("%1%2 reads wrong").arg(prefix).arg(i));
  return 0;
}

int Watch(long count, const QStringList& prefixes) {
  std::map<QString, long> seen;  // per prefix: values 0 .. seen-1 were read
  QElapsedTimer timer;
  timer.start();
  TRegistry reg;
  for (;;) {
    bool done = true;
    for (const QString& p : prefixes)
      done = done && seen[p] >= count;
    if (done)
      return 0;
    if (timer.elapsed() > kBoundMs)
      return Fail(QStringLiteral("the writers did not finish in time"));
    if (!reg.OpenKeyReadOnly(kKey))
      continue;  // no writer has created the key yet
    TStringList names;
    reg.GetValueNames(&names);
    std::map<QString, std::set<long>> listed;
    for (int i = 0; i < names.Count(); ++i) {
      const QString name = names.Get(i);
      const QString prefix = name.left(2);
      listed[prefix].insert(name.mid(2).toLong());
    }
    for (const QString& p : prefixes) {
      const std::set<long>& indices = listed[p];
      const long shown = static_cast<long>(indices.size());
      if (shown < seen[p])
        return Fail(
            QStringLiteral("%1: %2 values were seen, now %3").arg(p).arg(seen[p]).arg(shown));
      if (shown > 0 && *indices.rbegin() != shown - 1)
        return Fail(QStringLiteral("%1: a later value shows before an earlier one").arg(p));
      for (long i = seen[p]; i < shown; ++i)
        if (reg.ReadInteger(p + QString::number(i)) != i)
          return Fail(QStringLiteral("%1%2 reads wrong").arg(p).arg(i));
      seen[p] = shown;
    }
  }
}

int Step(const QString& prefix, long count) {
  TRegistry reg;
  if (!reg.OpenKey(kKey, true))
    return 2;
  char line[64];
  for (long i = 0; i < count; ++i) {
    if (std::fgets(line, sizeof line, stdin) == nullptr)
      return Fail(QStringLiteral("no go for commit %1").arg(i));
    if (i % 3 == 0)
      reg.WriteInteger(prefix + QStringLiteral("1"), static_cast<int>(i));
    else if (i % 3 == 1)
      reg.WriteInteger(prefix + QStringLiteral("n") + QString::number(i), static_cast<int>(i));
    else if (!reg.DeleteValue(prefix + QStringLiteral("n") + QString::number(i - 1)))
      return Fail(QStringLiteral("cannot delete at commit %1").arg(i));
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

int DeleteValues(const QString& prefix, long count) {
  HKEY key{};
  if (RegOpenKeyEx(HKEY_CURRENT_USER, kKey.mid(1), KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return Fail(QStringLiteral("no key"));
  long failed = 0;
  QString codes;
  for (long i = 0; i < count; ++i) {
    const LONG rc = RegDeleteValue(key, prefix + QString::number(i));
    if (rc != ERROR_SUCCESS && ++failed <= 5)
      codes += QStringLiteral(" %1%2: %3").arg(prefix).arg(i).arg(rc);
  }
  RegCloseKey(key);
  if (failed > 0)
    return Fail(QStringLiteral("%1 of %2 deletes failed:%3").arg(failed).arg(count).arg(codes));
  return 0;
}

// The step a stop run waits at.
QByteArray& StopStep() {
  static QByteArray step;
  return step;
}

void StopAt(const char* name) {
  if (StopStep() != name)
    return;
  std::printf("stopped %s\n", name);
  std::fflush(stdout);
  for (;;)
    pause();
}

int Classes(const QString& how, int n) {
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  if (how == QLatin1String("recreate"))
    reg.DeleteKey(QStringLiteral("\\Software\\Classes"));
  if (!reg.OpenKey(QStringLiteral("\\Software\\Classes\\Gen"), true))
    return Fail(QStringLiteral("no Gen"));
  reg.WriteInteger(QStringLiteral("v"), n);
  return 0;
}

QString Arg(char** argv, int i) { return QString::fromLocal8Bit(argv[i]); }

}  // namespace

int main(int argc, char** argv) {
  try {
    const QString mode = argc > 1 ? Arg(argv, 1) : QString();
    if (mode == QLatin1String("stop") && argc == 5)
      StopStep() = argv[2];
    regtest::UseDiskOfEnvironment(StopStep().isEmpty() ? nullptr : StopAt);
    if (mode == QLatin1String("reg") && argc == 4)
      return WriteRegistry(Arg(argv, 2), std::atol(argv[3]));
    if (mode == QLatin1String("race") && argc == 5)
      return WaitForGo(Arg(argv, 2)) ? WriteRegistry(Arg(argv, 3), std::atol(argv[4]))
                                     : Fail(QStringLiteral("no go"));
    if (mode == QLatin1String("check") && argc == 4)
      return Check(Arg(argv, 2), std::atol(argv[3]));
    if (mode == QLatin1String("watch") && argc >= 5) {
      QStringList prefixes;
      for (int i = 4; i < argc; ++i)
        prefixes.append(Arg(argv, i));
      return WaitForGo(Arg(argv, 2)) ? Watch(std::atol(argv[3]), prefixes)
                                     : Fail(QStringLiteral("no go"));
    }
    if (mode == QLatin1String("step") && argc == 4)
      return Step(Arg(argv, 2), std::atol(argv[3]));
    if (mode == QLatin1String("ini") && argc == 5)
      return WriteIni(Arg(argv, 2), Arg(argv, 3), std::atol(argv[4]));
    if (mode == QLatin1String("delete") && argc == 5)
      return WaitForGo(Arg(argv, 2)) ? DeleteValues(Arg(argv, 3), std::atol(argv[4]))
                                     : Fail(QStringLiteral("no go"));
    if (mode == QLatin1String("stop") && argc == 5) {
      DeleteValues(Arg(argv, 3), std::atol(argv[4]));
      return Fail(QStringLiteral("the deletes never reached ") + Arg(argv, 2));
    }
    if (mode == QLatin1String("classes") && argc == 4)
      return Classes(Arg(argv, 2), std::atoi(argv[3]));
    std::fprintf(stderr,
                 "usage: reg <prefix> <count> | race <go> <prefix> <count> | check <prefix> "
                 "<count> | watch <go> <count> <prefix>... | step <prefix> <count> | ini <file> <prefix> <count> | delete "
                 "<go> <prefix> <count> | stop <step> <prefix> <count> | classes recreate|create "
                 "<n>\n");
    return 64;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
