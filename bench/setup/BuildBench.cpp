// The build of the product's setup: "velmio -b" run once from a copy of the
// build's setup folder and programs' folder (in a fresh home, without a
// display), against "tar -czf" (gzip -9) of the same files: the files that
// files.1 holds, the installation program and the loader. Prints both
// times, both sizes (the setup.exe made and the tarball) and their ratios.
#include "bench/setup/TimedRun.h"
#include "installer/engine/cmp_TOndxCompress.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

bool CopyFiles(const QString& from, const QString& to) {
  if (!QDir().mkpath(to)) return false;
  for (const QFileInfo& f : QDir(from).entryInfoList(QDir::Files))
    if (!QFile::copy(f.filePath(), to + QLatin1Char('/') + f.fileName())) return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir temp;
  if (!temp.isValid()) return 1;
  const QString root = temp.path();
  const QString setup = QFileInfo(QStringLiteral(QX_BENCH_VELMIO)).absolutePath();
  const QString games = QStringLiteral(QX_PROGRAM_DIR);
  const QString rel = QDir(QFileInfo(setup).absolutePath()).relativeFilePath(games);
  if (!CopyFiles(setup, root + QStringLiteral("/tree/setup")) ||
      !CopyFiles(setup + QStringLiteral("/library"), root + QStringLiteral("/tree/setup/library")) ||
      !CopyFiles(games, root + QStringLiteral("/tree/") + rel)) {
    std::fprintf(stderr, "cannot copy the setup folder\n");
    return 1;
  }
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  const QString home = root + QStringLiteral("/home");
  for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
    env.insert(QString::fromLatin1(name), home + QLatin1Char('/') + QString::fromLatin1(name));
  env.insert(QStringLiteral("HOME"), home);
  env.remove(QStringLiteral("DISPLAY"));
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  QDir().mkpath(home);

  const qint64 buildMs = Timed(root + QStringLiteral("/tree/setup/velmio"), {QStringLiteral("-b")}, env, root,
                               QProcess::ForwardedChannels);
  const QString exe = root + QStringLiteral("/tree/setup/dist/setup.exe");
  if (buildMs < 0 || !QFileInfo::exists(exe)) {
    std::fprintf(stderr, "velmio -b failed\n");
    return 1;
  }
  const qint64 exeBytes = QFileInfo(exe).size();

  // What the setup carries, by the keys files.1 holds.
  QStringList carried{QStringLiteral("setup/velmio"), QStringLiteral("setup/library/OndrixLoadProgram")};
  try {
    TOndxCompress files(nullptr);
    files.SetCompressedFile(root + QStringLiteral("/tree/setup/dist/files.1"));
    for (int i = 0; i < files.FileCount(); ++i) {
      TlzhFileStats stats;
      files.GetFileStats(i, stats);
      // A member's key is its path from the setup folder.
      carried << QDir::cleanPath(QStringLiteral("setup/") + stats.FileName);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "files.1: %s\n", e.what());
    return 1;
  }
  const QString tarball = root + QStringLiteral("/peer.tar.gz");
  QProcessEnvironment gzip = env;
  gzip.insert(QStringLiteral("GZIP"), QStringLiteral("-9"));
  const qint64 peerMs = Timed(QStringLiteral("tar"),
                              QStringList{QStringLiteral("-czf"), tarball, QStringLiteral("-C"),
                                          root + QStringLiteral("/tree")} +
                                  carried,
                              gzip, root, QProcess::ForwardedChannels);
  if (peerMs < 0) {
    std::fprintf(stderr, "tar -czf failed\n");
    return 1;
  }
  const qint64 peerBytes = QFileInfo(tarball).size();
  std::printf("velmio -b: %lld ms (target 5000)\ntar -czf of the same files: %lld ms\nbuild_time_ratio %.2f\n",
              static_cast<long long>(buildMs), static_cast<long long>(peerMs),
              static_cast<double>(buildMs) / static_cast<double>(std::max<qint64>(peerMs, 1)));
  std::printf("setup.exe: %lld bytes (target 10485760)\ntarball: %lld bytes\nsetup_size_ratio %.2f\n",
              static_cast<long long>(exeBytes), static_cast<long long>(peerBytes),
              static_cast<double>(exeBytes) / static_cast<double>(std::max<qint64>(peerBytes, 1)));
  return 0;
}
