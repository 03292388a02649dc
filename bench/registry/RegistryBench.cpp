// Registry throughput against QSettings with an INI file, on the same keys.
// Runs in a temporary XDG tree; prints, after the table, how many times
// slower (>1) or faster (<1) the registry is than each QSettings variant.
//   registry_bench [--benchmark_filter=...]

#include "platform/registry/Registry.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kKeys = 100;

QString& IniPath() {
  static QString path;
  return path;
}

QString KeyName(int i) { return QStringLiteral("k%1").arg(i); }

void OpenBenchKey(TRegistry& reg) {
  if (!reg.OpenKey(QStringLiteral("\\Software\\QxBench"), true))
    std::abort();
}

void RegistryWrite(benchmark::State& state) {
  TRegistry reg;
  OpenBenchKey(reg);
  int i = 0;
  for (auto _ : state) {
    reg.WriteInteger(KeyName(i % kKeys), i);
    ++i;
  }
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

// Each write reaches the file, as each registry write is committed.
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

// Writes kept in memory until the object goes away.
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

BENCHMARK(RegistryWrite);
BENCHMARK(SettingsWriteSync);
BENCHMARK(SettingsWriteBuffered);
BENCHMARK(RegistryRead);
BENCHMARK(SettingsRead);

// The console table, remembering each benchmark's time per iteration.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration && !run.error_occurred)
        times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }

  void PrintRatios() const {
    Ratio("write", "RegistryWrite", "SettingsWriteSync");
    Ratio("write", "RegistryWrite", "SettingsWriteBuffered");
    Ratio("read", "RegistryRead", "SettingsRead");
  }

 private:
  void Ratio(const char* what, const std::string& ours, const std::string& theirs) const {
    const auto a = times_.find(ours);
    const auto b = times_.find(theirs);
    if (a == times_.end() || b == times_.end() || b->second <= 0)
      return;
    std::printf("%s: registry / %s time ratio = %.2f\n", what, theirs.c_str(),
                a->second / b->second);
  }

  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
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
  benchmark::Shutdown();
  return 0;
}
