// Archive compressor benchmarks.
//
//   AddVsZlib/<level>      Add of a file set vs. raw zlib deflate of the same
//                          files at the same level (file to file, one stream
//                          per file); counter zlib_time_ratio = archive / zlib.
//   ExtractVsZlib/<level>  Extract vs. raw inflate of the same streams.
//   VsTarGzip              Add and Extract at level 9 vs. "tar -c | gzip -9"
//                          and "tar -xzf"; time and size ratios.
//   PeakMemory256MiB       peak resident memory (VmHWM, reset through
//                          /proc/self/clear_refs) while adding and extracting
//                          one 256 MiB member; it must stay flat.
#include "installer/engine/cmp_TOndxCompress.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

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

int ZlibLevel(int level) {
  return level == 2 ? Z_DEFAULT_COMPRESSION : level == 3 ? 9 : level;
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

void AddVsZlib(benchmark::State& state) {
  Fixture& fx = Files();
  const auto level = static_cast<TCompressionLevel>(state.range(0));
  double archiveSec = 0, zlibSec = 0;
  for (auto _ : state) {
    auto t = Clock::now();
    AddAll(fx.Path(QStringLiteral("bench.1")), level, fx.files);
    const double archive = Seconds(t);
    archiveSec += archive;
    t = Clock::now();
    for (int i = 0; i < fx.files.size(); ++i)
      DeflateFile(fx.files[i], fx.Path(QStringLiteral("raw%1.z").arg(i)), ZlibLevel(level));
    zlibSec += Seconds(t);
    state.SetIterationTime(archive);  // the archive's time is the one reported
  }
  const double mb = static_cast<double>(fx.bytes) * static_cast<double>(state.iterations()) / 1e6;
  state.counters["archive_MBps"] = mb / archiveSec;
  state.counters["zlib_MBps"] = mb / zlibSec;
  state.counters["zlib_time_ratio"] = archiveSec / zlibSec;
}

void ExtractVsZlib(benchmark::State& state) {
  Fixture& fx = Files();
  const auto level = static_cast<TCompressionLevel>(state.range(0));
  const QString archive = fx.Path(QStringLiteral("bench.1"));
  AddAll(archive, level, fx.files);
  for (int i = 0; i < fx.files.size(); ++i)
    DeflateFile(fx.files[i], fx.Path(QStringLiteral("raw%1.z").arg(i)), ZlibLevel(level));
  const QString out = fx.Path(QStringLiteral("out"));
  QDir().mkpath(out);
  double archiveSec = 0, zlibSec = 0;
  for (auto _ : state) {
    auto t = Clock::now();
    ExtractAll(archive, out, fx.files);
    const double took = Seconds(t);
    archiveSec += took;
    t = Clock::now();
    for (int i = 0; i < fx.files.size(); ++i)
      InflateFile(fx.Path(QStringLiteral("raw%1.z").arg(i)), fx.Path(QStringLiteral("out/raw%1").arg(i)));
    zlibSec += Seconds(t);
    state.SetIterationTime(took);
  }
  const double mb = static_cast<double>(fx.bytes) * static_cast<double>(state.iterations()) / 1e6;
  state.counters["archive_MBps"] = mb / archiveSec;
  state.counters["zlib_MBps"] = mb / zlibSec;
  state.counters["zlib_time_ratio"] = archiveSec / zlibSec;
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

std::int64_t PeakKb() {
  QFile f(QStringLiteral("/proc/self/status"));
  f.open(QIODevice::ReadOnly);
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("VmHWM:"))
      return line.mid(6).trimmed().split(' ').value(0).toLongLong();
  return 0;
}

// Resets the peak to the current resident size.
void ResetPeak() {
  QFile f(QStringLiteral("/proc/self/clear_refs"));
  if (f.open(QIODevice::WriteOnly))
    f.write("5");
}

std::int64_t RssKb() {
  QFile f(QStringLiteral("/proc/self/status"));
  f.open(QIODevice::ReadOnly);
  for (const QByteArray& line : f.readAll().split('\n'))
    if (line.startsWith("VmRSS:"))
      return line.mid(6).trimmed().split(' ').value(0).toLongLong();
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
  const QString out = fx.Path(QStringLiteral("bigout"));
  QDir().mkpath(out);
  for (auto _ : state) {
    const std::int64_t base = RssKb();
    ResetPeak();
    AddAll(archive, colMax, {big});
    state.counters["add_peak_over_rss_kb"] = static_cast<double>(PeakKb() - base);
    ResetPeak();
    ExtractAll(archive, out, {big});
    state.counters["extract_peak_over_rss_kb"] = static_cast<double>(PeakKb() - base);
  }
  QFile::remove(big);
  QFile::remove(archive);
  QDir(out).removeRecursively();
}

}  // namespace

BENCHMARK(AddVsZlib)->DenseRange(0, 3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(ExtractVsZlib)->DenseRange(0, 3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(VsTarGzip)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(PeakMemory256MiB)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
