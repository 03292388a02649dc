#pragma once
// What the desktop roads of the setup share: the tests' setup.exe (built
// once by "velmio -b" from the tests' copy of the script), the files below
// a folder and what a person has in the home.
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>

#include <map>

namespace setuptest {

inline QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The tests' setup.exe, built again when the program or anything it
// installs changed; an empty path and error when the build failed.
inline QString TestSetupExe(QString& error) {
  const QString program = QStringLiteral(QX_VELMIO_TESTSCRIPT);
  const QString dist = QFileInfo(program).absolutePath() + QStringLiteral("/dist");
  QByteArray stamp;
  QFileInfoList inputs = QDir(QStringLiteral(QX_PROGRAM_DIR)).entryInfoList(QDir::Files, QDir::Name);
  inputs << QFileInfo(program);
  for (const QFileInfo& input : inputs)
    stamp += input.fileName().toUtf8() + ' ' + QByteArray::number(input.size()) + ' ' +
             QByteArray::number(input.lastModified().toMSecsSinceEpoch()) + '\n';
  QLockFile lock(QFileInfo(program).absolutePath() + QStringLiteral("/dist.lock"));
  lock.setStaleLockTime(0);
  if (!lock.lock()) {
    error = QStringLiteral("cannot lock the build of the tests' setup");
    return {};
  }
  const QString exe = dist + QStringLiteral("/setup.exe");
  if (ReadAll(dist + QStringLiteral("/built")) == stamp && QFileInfo::exists(exe)) return exe;
  QDir(dist).removeRecursively();
  QProcess build;
  build.setProcessChannelMode(QProcess::MergedChannels);
  build.start(program, {QStringLiteral("-b")});
  if (!build.waitForFinished(15 * 60 * 1000) || build.exitCode() != 0 || !QFileInfo::exists(exe)) {
    build.kill();
    error = QStringLiteral("velmio -b failed: ") + QString::fromLocal8Bit(build.readAll());
    return {};
  }
  QFile mark(dist + QStringLiteral("/built"));
  if (mark.open(QIODevice::WriteOnly)) mark.write(stamp);
  return exe;
}

// Every file below folder (links included), by path.
inline QStringList FilesBelow(const QString& folder) {
  QStringList files;
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) files << it.next();
  files.sort();
  return files;
}

// What a person has below root: every file with its contents' hash,
// outside the registry's database and the runtime folder.
inline std::map<QString, QByteArray> HomeState(const QString& root) {
  std::map<QString, QByteArray> state;
  for (const QString& file : FilesBelow(root)) {
    if (file.contains(QStringLiteral("/qx/registry/")) || file.contains(QStringLiteral("/runtime/")))
      continue;
    state[file] = QCryptographicHash::hash(ReadAll(file), QCryptographicHash::Sha1);
  }
  return state;
}

// The files that differ between two home states: changed, gone, or new
// outside the desktop's caches (the cache folder, but for our own "qx").
inline QStringList HomeChanges(const std::map<QString, QByteArray>& before,
                               const std::map<QString, QByteArray>& after, const QString& cacheFolder) {
  QStringList changed;
  for (const auto& [file, hash] : before)
    if (after.count(file) == 0 || after.at(file) != hash) changed << file;
  for (const auto& [file, hash] : after)
    if (before.count(file) == 0 && (!file.startsWith(cacheFolder + u'/') || file.contains(QStringLiteral("/qx/"))))
      changed << file;
  return changed;
}

}  // namespace setuptest
