// A whole headless install from setup.exe (the loader extracting the
// installation program, which installs a 50 MB payload from the archive
// appended to setup.exe into a fresh XDG tree) against makeself's extract
// of the same files, each timed once in the same run. Prints both times and
// the ratio; without makeself the peer is skipped with a message.
#include "bench/setup/TimedRun.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TInstall_SelfExtract.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/tests/install/ScriptForm.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdint>

namespace {

constexpr int kFiles = 10;
constexpr int kFileSize = 5 << 20;  // 50 MiB in all

// Half text-like, half noise: an archive that compresses as a program's
// files do.
QByteArray Payload(int seed) {
  QByteArray bytes(kFileSize, '\0');
  std::uint32_t x = 2463534242u + static_cast<std::uint32_t>(seed);
  for (int i = 0; i < kFileSize; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    bytes[i] = (i / 4096) % 2 == 0 ? static_cast<char>('a' + (x % 8)) : static_cast<char>(x);
  }
  return bytes;
}

bool Write(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray Form(const QString& src, const QStringList& names) {
  QString text = qxtest::ScriptFormHead(QStringLiteral("    RunAutomatic = False\n"));
  for (int i = 0; i < names.size(); ++i)
    text += qxtest::ScriptFormFile(QStringLiteral("File%1").arg(i), QStringLiteral("Game"), src, names[i]);
  return (text + QStringLiteral("end\n")).toUtf8();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir temp;
  if (!temp.isValid())
    return 1;
  const QString root = temp.path();
  const QString src = root + QStringLiteral("/src");
  const QString build = root + QStringLiteral("/build");
  QDir().mkpath(src);
  QDir().mkpath(build);
  QStringList names;
  for (int i = 0; i < kFiles; ++i) {
    names << QStringLiteral("part%1.bin").arg(i);
    if (!Write(src + QLatin1Char('/') + names.back(), Payload(i)))
      return 1;
  }
  // The distribution as -b writes it: setup.1 with the program and its
  // script, files.1 with the payload, both behind the loader.
  const QString program = build + QStringLiteral("/velmio");
  const QString form = build + QStringLiteral("/script.form");
  if (!QFile::copy(QStringLiteral(QX_BENCH_SETUP_PROGRAM), program) ||
      !Write(form, Form(src, names)))
    return 1;
  const QString exe = build + QStringLiteral("/setup.exe");
  try {
    TOndxCompress setup(nullptr);
    setup.SetCompressionLevel(colFastest);
    // Members are stored under the keys -b gives them: setup.1's by their
    // file names, files.1's by the script's folder and name.
    setup.FilesToProcess()->Add(program + QStringLiteral(";velmio"));
    setup.FilesToProcess()->Add(form + QStringLiteral(";script.form"));
    setup.SetCompressedFile(build + QStringLiteral("/setup.1"));
    setup.Add(false);
    TOndxCompress files(nullptr);
    files.SetCompressionLevel(colDefault);
    for (const QString& name : names)
      files.FilesToProcess()->Add(src + QLatin1Char('/') + name + QLatin1Char(';') + ArchiveKeyOf(src, name));
    files.SetCompressedFile(build + QStringLiteral("/files.1"));
    files.Add(false);
    if (!QFile::copy(QStringLiteral(QX_BENCH_LOADER), exe))
      return 1;
    WriteSelfExtractingProgram(exe, build + QStringLiteral("/setup.1"),
                               build + QStringLiteral("/files.1"));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "build: %s\n", e.what());
    return 1;
  }

  // A fresh XDG tree for the install.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  const QString home = root + QStringLiteral("/home");
  for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"})
    env.insert(QString::fromLatin1(name), home + QLatin1Char('/') + QString::fromLatin1(name));
  env.insert(QStringLiteral("HOME"), home);
  env.insert(QStringLiteral("QX_PROGRAM_FILES_DIR"), home + QStringLiteral("/programfiles"));
  QDir().mkpath(home);
  const qint64 setupMs = Timed(exe, {}, env);
  if (setupMs < 0 || !QFile::exists(home + QStringLiteral("/programfiles/Trovaly/Game/") + names.back())) {
    std::fprintf(stderr, "setup.exe failed\n");
    return 1;
  }
  std::printf("setup.exe install of %d MiB: %lld ms\n", kFiles * kFileSize >> 20,
              static_cast<long long>(setupMs));

  const QString makeself = QStandardPaths::findExecutable(QStringLiteral("makeself"));
  if (makeself.isEmpty()) {
    std::printf("makeself not found: peer skipped (apt-get install makeself)\n");
    return 0;
  }
  const QString run = root + QStringLiteral("/payload.run");
  if (QProcess::execute(makeself, {QStringLiteral("--quiet"), src, run, QStringLiteral("payload"),
                                   QStringLiteral("true")}) != 0) {
    std::fprintf(stderr, "makeself failed\n");
    return 1;
  }
  const qint64 peerMs = Timed(run, {QStringLiteral("--quiet"), QStringLiteral("--noexec"),
                                    QStringLiteral("--nox11"), QStringLiteral("--target"),
                                    root + QStringLiteral("/peer")},
                              env);
  if (peerMs < 0) {
    std::fprintf(stderr, "makeself extract failed\n");
    return 1;
  }
  std::printf("makeself extract: %lld ms\nsetup_time_ratio %.2f\n", static_cast<long long>(peerMs),
              static_cast<double>(setupMs) / static_cast<double>(std::max<qint64>(peerMs, 1)));
  return 0;
}
