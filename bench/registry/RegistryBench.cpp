// Registry throughput against QSettings with an INI file, on the same keys,
// in one run. Runs in a temporary XDG tree (on the disk of TMPDIR).
//
// What each write survives:
//   RegistryWrite/normal   one committed transaction at the hive's own
//                          synchronous=NORMAL: in the system's cache; survives
//                          the process being killed, not a power loss.
//   RegistryWrite/full     synchronous=FULL: the log is synced at each commit;
//                          survives a power loss.
//   SettingsWriteSync      setValue + sync(): the file rewritten, fdatasync'ed
//                          and renamed (QSaveFile); survives a power loss.
//   SettingsWriteBuffered  setValue only: in the process's memory.
// Enumeration: every value (or sub-key) name of a key of N names, against
// QSettings::childKeys of a group of N keys; ns_per_name staying flat from
// 1,000 to 40,000 names shows it linear.
// Peak memory: each case in a fresh process (this program with --peak) as
// VmHWM, beside a process that only starts.
//
// After the table it prints the time ratios registry / QSettings (>1:
// the registry is slower), each with the durability of both sides.
//   registry_bench [--benchmark_filter=...]

#include "platform/registry/OpenKeys.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/StringList.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace {

constexpr int kKeys = 100;
constexpr int kPeakNames = 40000;
constexpr int kPeakWrites = 2000;

QString& IniPath() {
  static QString path;
  return path;
}

QString KeyName(int i) { return QStringLiteral("k%1").arg(i); }
QString EnumKey(int n) { return QStringLiteral("\\Software\\QxEnum%1").arg(n); }
QString EnumGroup(int n) { return QStringLiteral("E%1").arg(n); }

void OpenBenchKey(TRegistry& reg) {
  if (!reg.OpenKey(QStringLiteral("\\Software\\QxBench"), true))
    std::abort();
}

// Runs body on the hive of an open key inside one write transaction.
template <typename Body>
void InHive(HKEY key, Body body) {
  std::lock_guard guard(RegistryLock());
  KeyTarget target{};
  if (ResolveKey(key, &target) != ERROR_SUCCESS)
    std::abort();
  body(*target.hive, target.ref.key);
}

void SetSynchronous(const char* pragma) {
  InHive(HKEY_CURRENT_USER, [&](Hive& hive, KeyId) { hive.Db().Exec(pragma); });
}

// A key of n values and n sub-keys, and an INI group of n keys, made once.
void PrepareNames(int n) {
  static std::set<int> done;
  if (!done.insert(n).second)
    return;
  TRegistry reg;
  if (!reg.OpenKey(EnumKey(n), true))
    std::abort();
  InHive(reg.CurrentKey(), [&](Hive& hive, KeyId key) {
    SqliteTransaction tx(hive.Db(), SqliteTransaction::Write);
    const QByteArray data(4, '\0');
    for (int i = 0; i < n; ++i) {
      hive.SetValue(key, KeyName(i), REG_DWORD, data);
      hive.AddChild(key, KeyName(i));
    }
    tx.Commit();
  });
  QSettings settings(IniPath(), QSettings::IniFormat);
  settings.beginGroup(EnumGroup(n));
  for (int i = 0; i < n; ++i)
    settings.setValue(KeyName(i), i);
  settings.endGroup();
  settings.sync();
}

void RegistryWrite(benchmark::State& state, const char* pragma) {
  TRegistry reg;
  OpenBenchKey(reg);
  SetSynchronous(pragma);
  int i = 0;
  for (auto _ : state) {
    reg.WriteInteger(KeyName(i % kKeys), i);
    ++i;
  }
  SetSynchronous("PRAGMA synchronous=NORMAL");
  state.SetItemsProcessed(state.iterations());
}

void RegistryRead(benchmark::State& state) {
  TRegistry reg;
  OpenBenchKey(reg);
  for (int k = 0; k < kKeys; ++k)
    reg.WriteInteger(KeyName(k), k);
  int i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(reg.ReadInteger(KeyName(i++ % kKeys)));
  state.SetItemsProcessed(state.iterations());
}

void SettingsWriteSync(benchmark::State& state) {
  QSettings settings(IniPath(), QSettings::IniFormat);
  int i = 0;
  for (auto _ : state) {
    settings.setValue(QStringLiteral("QxBench/") + KeyName(i % kKeys), i);
    settings.sync();
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}

void SettingsWriteBuffered(benchmark::State& state) {
  QSettings settings(IniPath(), QSettings::IniFormat);
  int i = 0;
  for (auto _ : state) {
    settings.setValue(QStringLiteral("QxBench/") + KeyName(i % kKeys), i);
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}

void SettingsRead(benchmark::State& state) {
  QSettings settings(IniPath(), QSettings::IniFormat);
  for (int k = 0; k < kKeys; ++k)
    settings.setValue(QStringLiteral("QxBench/") + KeyName(k), k);
  settings.sync();
  int i = 0;
  for (auto _ : state)
    benchmark::DoNotOptimize(
        settings.value(QStringLiteral("QxBench/") + KeyName(i++ % kKeys)).toInt());
  state.SetItemsProcessed(state.iterations());
}

using Clock = std::chrono::steady_clock;

void PerName(benchmark::State& state, int n, Clock::duration spent) {
  const double names = static_cast<double>(n) * static_cast<double>(state.iterations());
  state.counters["ns_per_name"] =
      names > 0 ? std::chrono::duration<double, std::nano>(spent).count() / names : 0;
}

void RegistryEnum(benchmark::State& state, void (TRegistry::*list)(TStrings*)) {
  const int n = static_cast<int>(state.range(0));
  PrepareNames(n);
  TRegistry reg;
  if (!reg.OpenKeyReadOnly(EnumKey(n)))
    std::abort();
  TStringList names;
  const Clock::time_point start = Clock::now();
  for (auto _ : state) {
    (reg.*list)(&names);
    if (names.Count() != n)
      state.SkipWithError("names missing");
  }
  PerName(state, n, Clock::now() - start);
}

void RegistryEnumValues(benchmark::State& state) { RegistryEnum(state, &TRegistry::GetValueNames); }
void RegistryEnumKeys(benchmark::State& state) { RegistryEnum(state, &TRegistry::GetKeyNames); }

void SettingsChildKeys(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  PrepareNames(n);
  QSettings settings(IniPath(), QSettings::IniFormat);
  settings.beginGroup(EnumGroup(n));
  const Clock::time_point start = Clock::now();
  for (auto _ : state) {
    const QStringList names = settings.childKeys();
    if (names.size() != n)
      state.SkipWithError("names missing");
  }
  PerName(state, n, Clock::now() - start);
}

BENCHMARK_CAPTURE(RegistryWrite, normal, "PRAGMA synchronous=NORMAL");
BENCHMARK_CAPTURE(RegistryWrite, full, "PRAGMA synchronous=FULL");
BENCHMARK(SettingsWriteSync);
BENCHMARK(SettingsWriteBuffered);
BENCHMARK(RegistryRead);
BENCHMARK(SettingsRead);
BENCHMARK(RegistryEnumValues)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);
BENCHMARK(RegistryEnumKeys)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);
BENCHMARK(SettingsChildKeys)->Arg(1000)->Arg(10000)->Arg(40000)->Unit(benchmark::kMillisecond);

// The console table, remembering each benchmark's time per iteration and
// time per name.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred)
        continue;
      times_[run.benchmark_name()] = run.GetAdjustedRealTime();
      if (const auto it = run.counters.find("ns_per_name"); it != run.counters.end())
        perName_[run.benchmark_name()] = it->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatios() const {
    Ratio("write, both synced to disk", "RegistryWrite/full", "SettingsWriteSync");
    Ratio("write, registry in the system cache, QSettings synced", "RegistryWrite/normal",
          "SettingsWriteSync");
    Ratio("write, registry in the system cache, QSettings in memory", "RegistryWrite/normal",
          "SettingsWriteBuffered");
    Ratio("read, both from memory after the first", "RegistryRead", "SettingsRead");
    for (const char* what : {"RegistryEnumValues", "RegistryEnumKeys", "SettingsChildKeys"}) {
      const auto small = perName_.find(std::string(what) + "/1000");
      const auto large = perName_.find(std::string(what) + "/40000");
      if (small != perName_.end() && large != perName_.end() && small->second > 0)
        std::printf("%s: ns per name at 40000 / at 1000 = %.2f (1: linear)\n", what,
                    large->second / small->second);
    }
    Ratio("enumerate 40000 names", "RegistryEnumValues/40000", "SettingsChildKeys/40000");
  }

 private:
  void Ratio(const char* what, const std::string& ours, const std::string& theirs) const {
    const auto a = times_.find(ours);
    const auto b = times_.find(theirs);
    if (a == times_.end() || b == times_.end() || b->second <= 0)
      return;
    std::printf("%s: %s / %s time ratio = %.2f\n", what, ours.c_str(), theirs.c_str(),
                a->second / b->second);
  }

  std::map<std::string, double> times_;
  std::map<std::string, double> perName_;
};

// Peak memory -----------------------------------------------------------------

long PeakKib() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly))
    return -1;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmHWM:"))
      return line.mid(6).trimmed().split(' ').value(0).toLong();
  return -1;
}

// One case, in this fresh process; prints the peak.
int RunPeak(const QString& mode) {
  if (mode == QLatin1String("registry-enumerate")) {
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(EnumKey(kPeakNames)))
      return 2;
    TStringList names;
    reg.GetValueNames(&names);
  } else if (mode == QLatin1String("settings-enumerate")) {
    QSettings settings(IniPath(), QSettings::IniFormat);
    settings.beginGroup(EnumGroup(kPeakNames));
    benchmark::DoNotOptimize(settings.childKeys().size());
  } else if (mode == QLatin1String("registry-write")) {
    TRegistry reg;
    OpenBenchKey(reg);
    for (int i = 0; i < kPeakWrites; ++i)
      reg.WriteInteger(KeyName(i), i);
  } else if (mode == QLatin1String("settings-write")) {
    QSettings settings(IniPath(), QSettings::IniFormat);
    for (int i = 0; i < kPeakWrites; ++i)
      settings.setValue(QStringLiteral("QxPeak/") + KeyName(i), i);
    settings.sync();
  } else if (mode != QLatin1String("start")) {
    return 64;
  }
  std::printf("%ld\n", PeakKib());
  return 0;
}

void PrintPeaks(const QString& self) {
  PrepareNames(kPeakNames);
  const char* const modes[][2] = {
      {"start", "a process that only starts"},
      {"registry-enumerate", "registry: list 40000 value names"},
      {"settings-enumerate", "QSettings: list 40000 keys"},
      {"registry-write", "registry: 2000 writes"},
      {"settings-write", "QSettings: 2000 writes, one sync"},
  };
  long base = 0;
  std::printf("peak memory (VmHWM) of a fresh process:\n");
  for (const auto& [mode, what] : modes) {
    QProcess child;
    child.start(self, {QStringLiteral("--peak"), QString::fromLatin1(mode), IniPath()});
    if (!child.waitForFinished(600000) || child.exitCode() != 0) {
      std::printf("  %s: failed\n", what);
      continue;
    }
    const long kib = child.readAllStandardOutput().trimmed().toLong();
    if (base == 0)
      base = kib;
    std::printf("  %-40s %7ld KiB (+%ld KiB)\n", what, kib, kib - base);
  }
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc == 4 && QLatin1String(argv[1]) == QLatin1String("--peak")) {
    IniPath() = QString::fromLocal8Bit(argv[3]);
    return RunPeak(QString::fromLatin1(argv[2]));
  }
  QTemporaryDir root;
  if (!root.isValid())
    return 1;
  for (const char* var : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "HOME"})
    qputenv(var, QFile::encodeName(root.path()));
  IniPath() = root.filePath(QStringLiteral("bench.ini"));

  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  PrintPeaks(QCoreApplication::applicationFilePath());
  benchmark::Shutdown();
  return 0;
}
