// Archive compressor benchmarks. Ratios are medians of per-iteration ratios
// (the peers run in the same iteration, in rotating order, so a busy moment
// of the machine hits both sides alike).
//
//   AddVsZlib/<level>      Add of a file set into a new archive vs. raw zlib
//                          deflate of the same files at the same level (file
//                          to file, one stream per file). Add syncs the
//                          archive before it is renamed into place:
//                          zlib_time_ratio is against deflate without any
//                          sync, zlib_synced_time_ratio against deflate with
//                          an fsync of each output at the end (matched).
//   ExtractVsZlib/<level>  Extract into an empty folder vs. raw inflate-and-
//                          write of the same streams into another. Extract
//                          syncs its new files and their folder once at the
//                          end: zlib_time_ratio is against inflate without
//                          any sync, zlib_synced_time_ratio against inflate
//                          with an fsync of each file and the folder at the
//                          end (matched).
//   ReplaceVsZlib          Extract over existing files (each synced before
//                          it replaces the old one) vs. raw inflate into new
//                          files with an fsync of each at the end and without.
//   VsTarGzip              Add and Extract at level 9 vs. "tar -c | gzip -9"
//                          and "tar -xzf"; time and size ratios.
//   PeakMemory256MiB       peak resident memory (ru_maxrss) of a fresh process
//                          (this program run again in one mode) that adds or
//                          extracts one 256 MiB member, against one that
//                          deflates or inflates the same data with raw zlib,
//                          and one that only starts (baseline).
#include "installer/engine/cmp_TOndxCompress.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFiles = 8;
constexpr int kFileSize = 2 << 20;  // 16 MiB in all
constexpr int kBlock = 65536;

// Text-like runs mixed with noise, as installed programs and data mix.
QByteArray Content(int size, std::uint32_t seed) {
  QByteArray out(size, '\0');
  std::uint32_t x = seed * 2654435761u + 1;
  for (int i = 0; i < size; ++i) {
    x = x * 1103515245u + 12345u;
    out[i] = ((i / 512) % 3) == 0 ? static_cast<char>(x >> 24) : "sanaristikko "[(i / 7) % 13];
  }
  return out;
}

struct Fixture {
  QTemporaryDir dir;
  QStringList files;
  std::int64_t bytes = 0;

  Fixture() {
    QDir().mkpath(dir.filePath(QStringLiteral("src")));
    for (int i = 0; i < kFiles; ++i) {
      const QString path = dir.filePath(QStringLiteral("src/file%1.bin").arg(i));
      QFile f(path);
      f.open(QIODevice::WriteOnly);
      f.write(Content(kFileSize, static_cast<std::uint32_t>(i + 1)));
      files << path;
      bytes += kFileSize;
    }
  }
  QString Path(const QString& name) const { return dir.filePath(name); }
};

Fixture& Files() {
  static Fixture fixture;
  return fixture;
}

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double Time(const std::function<void()>& f) {
  const auto t = Clock::now();
  f();
  return Seconds(t);
}

double Median(std::vector<double> v) {
  if (v.empty())
    return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

int ZlibLevel(int level) {
  return level == 2 ? Z_DEFAULT_COMPRESSION : level == 3 ? 9 : level;
}

// fsync of a file or folder by name.
void SyncPath(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

// Raw zlib, file to file, with the same block sizes as the archive.
void DeflateFile(const QString& from, const QString& to, int level) {
  QFile in(from), out(to);
  in.open(QIODevice::ReadOnly);
  out.open(QIODevice::WriteOnly | QIODevice::Truncate);
  z_stream s{};
  deflateInit(&s, level);
  std::vector<char> ib(kBlock), ob(kBlock);
  int flush = Z_NO_FLUSH;
  do {
    const qint64 n = in.read(ib.data(), kBlock);
    flush = n < kBlock ? Z_FINISH : Z_NO_FLUSH;
    s.next_in = reinterpret_cast<Bytef*>(ib.data());
    s.avail_in = static_cast<uInt>(std::max<qint64>(n, 0));
    do {
      s.next_out = reinterpret_cast<Bytef*>(ob.data());
      s.avail_out = kBlock;
      deflate(&s, flush);
      out.write(ob.data(), kBlock - s.avail_out);
    } while (s.avail_out == 0);
  } while (flush != Z_FINISH);
  deflateEnd(&s);
}

void InflateFile(const QString& from, const QString& to) {
  QFile in(from), out(to);
  in.open(QIODevice::ReadOnly);
  out.open(QIODevice::WriteOnly | QIODevice::Truncate);
  z_stream s{};
  inflateInit(&s);
  std::vector<char> ib(kBlock), ob(4096);
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    const qint64 n = in.read(ib.data(), kBlock);
    if (n <= 0)
      break;
    s.next_in = reinterpret_cast<Bytef*>(ib.data());
    s.avail_in = static_cast<uInt>(n);
    do {
      s.next_out = reinterpret_cast<Bytef*>(ob.data());
      s.avail_out = 4096;
      rc = inflate(&s, Z_NO_FLUSH);
      out.write(ob.data(), 4096 - s.avail_out);
    } while (s.avail_out == 0 && rc == Z_OK);
  }
  inflateEnd(&s);
}

void AddAll(const QString& archive, TCompressionLevel level, const QStringList& files) {
  TOndxCompress c(nullptr);
  c.SetCompressionLevel(level);
  c.SetCompressedFile(archive);
  for (const QString& f : files)
    c.FilesToProcess()->Add(f);
  c.Add(false);
}

void ExtractAll(const QString& archive, const QString& dir, const QStringList& files) {
  TOndxCompress c(nullptr);
  c.SetCompressedFile(archive);
  c.SetExtractDirectory(dir);
  for (const QString& f : files)
    c.FilesToProcess()->Add(f);
  c.Extract();
}

QString RawName(int i) {
  return QStringLiteral("raw%1.z").arg(i);
}

// Raw deflate of every file; with sync, each output is synced at the end.
void DeflateAll(const Fixture& fx, const QString& dir, int level, bool sync) {
  for (int i = 0; i < fx.files.size(); ++i)
    DeflateFile(fx.files[i], dir + QLatin1Char('/') + RawName(i), level);
  if (sync) {
    for (int i = 0; i < fx.files.size(); ++i)
      SyncPath(dir + QLatin1Char('/') + RawName(i));
    SyncPath(dir);
  }
}

// Raw inflate of every stream into dir; with sync, each file and the folder
// are synced at the end.
void InflateAll(const Fixture& fx, const QString& dir, bool sync) {
  for (int i = 0; i < fx.files.size(); ++i)
    InflateFile(fx.Path(RawName(i)), dir + QStringLiteral("/raw%1").arg(i));
  if (sync) {
    for (int i = 0; i < fx.files.size(); ++i)
      SyncPath(dir + QStringLiteral("/raw%1").arg(i));
    SyncPath(dir);
  }
}

// Runs the phases in an order that rotates with the iteration; returns
// their times in the phases' own order.
std::vector<double> Rotated(std::int64_t iteration, const std::vector<std::function<void()>>& phases) {
  std::vector<double> times(phases.size());
  for (size_t k = 0; k < phases.size(); ++k) {
    const size_t i = (k + static_cast<size_t>(iteration)) % phases.size();
    times[i] = Time(phases[i]);
  }
  return times;
}

QString FreshDir(const QString& path) {
  QDir(path).removeRecursively();
  QDir().mkpath(path);
  return path;
}

// Per iteration: prepare (not timed), then the archive's side, the raw
// peer without a sync and the raw peer with one. Ratio counters of the
// archive's time to each peer's.
void Compare(benchmark::State& state, const std::function<void()>& prepare,
             const std::vector<std::function<void()>>& sides, std::int64_t bytes) {
  std::vector<double> plain, synced;
  double archiveSec = 0;
  std::int64_t iteration = 0;
  for (auto _ : state) {
    prepare();
    const std::vector<double> t = Rotated(iteration++, sides);
    archiveSec += t[0];
    plain.push_back(t[0] / t[1]);
    synced.push_back(t[0] / t[2]);
    state.SetIterationTime(t[0]);  // the archive's time is the one reported
  }
  const double mb = static_cast<double>(bytes) * static_cast<double>(state.iterations()) / 1e6;
  state.counters["archive_MBps"] = mb / archiveSec;
  state.counters["zlib_time_ratio"] = Median(plain);
  state.counters["zlib_synced_time_ratio"] = Median(synced);
}

void AddVsZlib(benchmark::State& state) {
  Fixture& fx = Files();
  const auto level = static_cast<TCompressionLevel>(state.range(0));
  const QString archive = fx.Path(QStringLiteral("add/bench.1"));
  const QString r = fx.Path(QStringLiteral("add/raw"));
  const QString s = fx.Path(QStringLiteral("add/synced"));
  // Every side writes new files (a truncated file being rewritten is
  // flushed early by some file systems).
  const auto prepare = [&] {
    FreshDir(fx.Path(QStringLiteral("add")));
    FreshDir(r);
    FreshDir(s);
  };
  Compare(state, prepare,
          {[&] { AddAll(archive, level, fx.files); },
           [&] { DeflateAll(fx, r, ZlibLevel(level), false); },
           [&] { DeflateAll(fx, s, ZlibLevel(level), true); }},
          fx.bytes);
  QDir(fx.Path(QStringLiteral("add"))).removeRecursively();
}

void PrepareStreams(Fixture& fx, TCompressionLevel level, const QString& archive) {
  AddAll(archive, level, fx.files);
  for (int i = 0; i < fx.files.size(); ++i)
    DeflateFile(fx.files[i], fx.Path(RawName(i)), ZlibLevel(level));
}

// Extract against raw inflate; with replace, every extraction after a
// first one replaces the files it wrote before (the raw peers always write
// new files).
void ExtractCompare(benchmark::State& state, TCompressionLevel level, bool replace) {
  Fixture& fx = Files();
  const QString archive = fx.Path(QStringLiteral("bench.1"));
  PrepareStreams(fx, level, archive);
  const QString a = FreshDir(fx.Path(QStringLiteral("out/archive")));
  const QString r = fx.Path(QStringLiteral("out/raw"));
  const QString s = fx.Path(QStringLiteral("out/synced"));
  if (replace)
    ExtractAll(archive, a, fx.files);
  const auto prepare = [&] {
    if (!replace)
      FreshDir(a);
    FreshDir(r);
    FreshDir(s);
  };
  Compare(state, prepare,
          {[&] { ExtractAll(archive, a, fx.files); }, [&] { InflateAll(fx, r, false); },
           [&] { InflateAll(fx, s, true); }},
          fx.bytes);
  QDir(fx.Path(QStringLiteral("out"))).removeRecursively();
}

void ExtractVsZlib(benchmark::State& state) {
  ExtractCompare(state, static_cast<TCompressionLevel>(state.range(0)), false);
}

void ReplaceVsZlib(benchmark::State& state) {
  ExtractCompare(state, colMax, true);
}

bool Run(const QString& shellCommand) {
  return QProcess::execute(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), shellCommand}) == 0;
}

void VsTarGzip(benchmark::State& state) {
  Fixture& fx = Files();
  const QString archive = fx.Path(QStringLiteral("bench.1"));
  const QString tgz = fx.Path(QStringLiteral("bench.tar.gz"));
  const QString out = fx.Path(QStringLiteral("tarout"));
  QDir().mkpath(out);
  const QString pack = QStringLiteral("tar -C '%1' -cf - src | gzip -9 > '%2'").arg(fx.dir.path(), tgz);
  const QString unpack = QStringLiteral("tar -C '%1' -xzf '%2'").arg(out, tgz);
  double addSec = 0, tarSec = 0, extractSec = 0, untarSec = 0;
  for (auto _ : state) {
    auto t = Clock::now();
    AddAll(archive, colMax, fx.files);
    const double took = Seconds(t);
    addSec += took;
    t = Clock::now();
    if (!Run(pack))
      state.SkipWithError("tar | gzip failed");
    tarSec += Seconds(t);
    t = Clock::now();
    ExtractAll(archive, out, fx.files);
    extractSec += Seconds(t);
    t = Clock::now();
    if (!Run(unpack))
      state.SkipWithError("tar -xzf failed");
    untarSec += Seconds(t);
    state.SetIterationTime(took);
  }
  state.counters["add_vs_tar_time_ratio"] = addSec / tarSec;
  state.counters["extract_vs_untar_time_ratio"] = extractSec / untarSec;
  state.counters["size_vs_tgz_ratio"] =
      static_cast<double>(QFileInfo(archive).size()) / static_cast<double>(QFileInfo(tgz).size());
}

// ---- peak memory in a fresh process

constexpr char kModeOption[] = "--peak-mode";

// Runs this program again as "--peak-mode mode args..." and returns the
// child's peak resident size in KB (-1 when it failed).
long ChildPeakKb(const QStringList& modeAndArgs) {
  std::vector<QByteArray> args{QByteArray("/proc/self/exe"), QByteArray(kModeOption)};
  for (const QString& a : modeAndArgs)
    args.push_back(QFile::encodeName(a));
  std::vector<char*> argv;
  for (QByteArray& a : args)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
      WEXITSTATUS(status) != 0)
    return -1;
  return usage.ru_maxrss;
}

// The child's side: one operation, then exit.
int RunPeakMode(const QStringList& args) {
  const QString mode = args.value(0);
  if (mode == QLatin1String("baseline"))
    return 0;
  if (mode == QLatin1String("add"))
    AddAll(args.value(1), colMax, {args.value(2)});
  else if (mode == QLatin1String("extract"))
    ExtractAll(args.value(1), args.value(2), {args.value(3)});
  else if (mode == QLatin1String("deflate"))
    DeflateFile(args.value(1), args.value(2), 9);
  else if (mode == QLatin1String("inflate"))
    InflateFile(args.value(1), args.value(2));
  else
    return 2;
  return 0;
}

void PeakMemory256MiB(benchmark::State& state) {
  Fixture& fx = Files();
  const QString big = fx.Path(QStringLiteral("big.bin"));
  {
    QFile f(big);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    const QByteArray block = Content(1 << 20, 77);
    for (int i = 0; i < 256; ++i)
      f.write(block);
  }
  const QString archive = fx.Path(QStringLiteral("big.1"));
  const QString raw = fx.Path(QStringLiteral("big.z"));
  const QString out = fx.Path(QStringLiteral("bigout"));
  QDir().mkpath(out);
  for (auto _ : state) {
    const long base = ChildPeakKb({QStringLiteral("baseline")});
    const long add = ChildPeakKb({QStringLiteral("add"), archive, big});
    const long deflate = ChildPeakKb({QStringLiteral("deflate"), big, raw});
    const long extract = ChildPeakKb({QStringLiteral("extract"), archive, out, big});
    const long inflate = ChildPeakKb({QStringLiteral("inflate"), raw, out + QStringLiteral("/raw")});
    if (base < 0 || add < 0 || deflate < 0 || extract < 0 || inflate < 0)
      state.SkipWithError("a measuring process failed");
    state.counters["baseline_peak_kb"] = static_cast<double>(base);
    state.counters["add_peak_kb"] = static_cast<double>(add);
    state.counters["deflate_peak_kb"] = static_cast<double>(deflate);
    state.counters["extract_peak_kb"] = static_cast<double>(extract);
    state.counters["inflate_peak_kb"] = static_cast<double>(inflate);
    state.counters["add_over_deflate_kb"] = static_cast<double>(add - deflate);
    state.counters["extract_over_inflate_kb"] = static_cast<double>(extract - inflate);
  }
  QFile::remove(big);
  QFile::remove(archive);
  QFile::remove(raw);
  QDir(out).removeRecursively();
}

}  // namespace

BENCHMARK(AddVsZlib)->DenseRange(0, 3)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);
BENCHMARK(ExtractVsZlib)->DenseRange(0, 3)->UseManualTime()->Iterations(9)->Unit(benchmark::kMillisecond);
BENCHMARK(ReplaceVsZlib)->UseManualTime()->Iterations(9)->Unit(benchmark::kMillisecond);
BENCHMARK(VsTarGzip)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(PeakMemory256MiB)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], kModeOption) == 0)
    return RunPeakMode(QCoreApplication::arguments().mid(2));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
