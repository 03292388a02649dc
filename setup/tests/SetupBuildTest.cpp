// "velmio -b" as a developer runs it, without a display: from a copy of the
// build's setup folder and its programs' folder at a path of 200 characters,
// in a fresh home, then again after the copy was moved (the library the
// first run named is gone); and a build that fails ends at once.
#include "installer/engine/cmp_TInstallContainer_Ondrix.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/routines_Registry.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

struct TRun {
  int exitCode = -1;
  QString errors;
  qint64 ms = 0;
};

// Runs program -b as from a terminal without a display.
TRun BuildWith(const QString& program) {
  QProcess process;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove(QStringLiteral("DISPLAY"));
  env.remove(QStringLiteral("WAYLAND_DISPLAY"));
  env.remove(QStringLiteral("QT_QPA_PLATFORM"));
  process.setProcessEnvironment(env);
  process.setWorkingDirectory(qxtest::TempRoot());
  QElapsedTimer clock;
  clock.start();
  process.start(program, {QStringLiteral("-b")});
  TRun run;
  if (!process.waitForStarted() || !process.waitForFinished(10 * 60 * 1000)) {
    process.kill();
    process.waitForFinished();
    run.errors = QStringLiteral("velmio -b did not end: ") + QString::fromLocal8Bit(process.readAllStandardError());
    return run;
  }
  run.ms = clock.elapsed();
  run.errors = QString::fromLocal8Bit(process.readAllStandardError());
  run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
  return run;
}

// The files directly in from, copied into to with their permissions.
void CopyFiles(const QString& from, const QString& to) {
  ASSERT_TRUE(QDir().mkpath(to));
  for (const QFileInfo& f : QDir(from).entryInfoList(QDir::Files)) {
    const QString target = to + u'/' + f.fileName();
    ASSERT_TRUE(QFile::copy(f.filePath(), target)) << f.filePath().toStdString();
  }
}

// The build's setup folder (program, BUILD.INF, library) and its programs'
// folder, laid out below root as in the build tree.
void CopySetupTree(const QString& root) {
  const QString setup = QFileInfo(QStringLiteral(QX_VELMIO)).absolutePath();
  const QString rel = QDir(QFileInfo(setup).absolutePath()).relativeFilePath(QStringLiteral(QX_PROGRAM_DIR));
  CopyFiles(setup, root + QStringLiteral("/setup"));
  CopyFiles(setup + QStringLiteral("/library"), root + QStringLiteral("/setup/library"));
  CopyFiles(QStringLiteral(QX_PROGRAM_DIR), root + u'/' + rel);
}

// A folder whose path is exactly length characters.
QString DeepFolder(int length) {
  QString path = qxtest::TempPath(QStringLiteral("tarkistus"));
  while (path.size() + 1 + 20 < length) path += QStringLiteral("/hyvin-pitka-kansio-");
  path += u'/' + QString(length - path.size() - 1, u'k');
  return path;
}

QStringList Members(const QString& archive) {
  TOndxCompress reader(nullptr);
  reader.SetCompressedFile(archive);
  QStringList names;
  for (int i = 0; i < reader.FileCount(); ++i) {
    TlzhFileStats stats;
    reader.GetFileStats(i, stats);
    names << stats.FileName;
  }
  return names;
}

QString SearchPath() {
  return ReadRegString(hkCurrentUser, QString::fromLatin1(kLibrarySearchKey), QStringLiteral("SearchPath"), {});
}

TEST(VelmioBuild, BuildsFromACopyAtAnyDepthAndAgainAfterItMoved) {
  const QString first = DeepFolder(200);
  ASSERT_EQ(first.size(), 200);
  CopySetupTree(first);
  if (HasFatalFailure()) return;

  TRun run = BuildWith(first + QStringLiteral("/setup/velmio"));
  ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
  std::printf("velmio -b took %lld ms\n", static_cast<long long>(run.ms));
  EXPECT_EQ(SearchPath(), first + QStringLiteral("/setup/library"));

  // The copy moves; the library the registry names goes with it.
  const QString moved = qxtest::TempPath(QStringLiteral("siirretty"));
  ASSERT_TRUE(QDir().rename(first, moved));
  run = BuildWith(moved + QStringLiteral("/setup/velmio"));
  ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
  EXPECT_TRUE(SearchPath().startsWith(moved + QStringLiteral("/setup/library;"))) << SearchPath().toStdString();

  // files.1 holds the programs' folder's files, byte for byte, each under
  // its path from the setup folder; the programs carry no debug
  // information and nothing built names a tree.
  const QString dist = moved + QStringLiteral("/setup/dist");
  const QStringList members = Members(dist + QStringLiteral("/files.1"));
  EXPECT_EQ(members.size(), 50);
  const QString out = qxtest::TempPath(QStringLiteral("purettu"));
  TOndxCompress reader(nullptr);
  reader.SetCompressedFile(dist + QStringLiteral("/files.1"));
  reader.SetExtractDirectory(out);
  const QString programs = QDir(QFileInfo(QStringLiteral(QX_VELMIO)).absolutePath())
                               .relativeFilePath(QStringLiteral(QX_PROGRAM_DIR));
  for (const QString& member : members) {
    EXPECT_EQ(member, programs + u'/' + QFileInfo(member).fileName());
    reader.FilesToProcess()->Add(member);
  }
  reader.Extract();
  for (const QString& member : members) {
    const QString name = QFileInfo(member).fileName();
    const QByteArray bytes = qxtest::ReadBytes(out + u'/' + name);
    EXPECT_EQ(bytes, qxtest::ReadBytes(QStringLiteral(QX_PROGRAM_DIR) + u'/' + name)) << member.toStdString();
  }
  EXPECT_EQ(Members(dist + QStringLiteral("/setup.1")), (QStringList{QStringLiteral("velmio"), QStringLiteral("qxrunonce")}));
  const QStringList trees{QStringLiteral(QX_SOURCE_DIR), QStringLiteral(QX_BUILD_DIR), first, moved};
  for (const char* name : {"setup.exe", "setup.1", "files.1"}) {
    SCOPED_TRACE(name);
    const QByteArray bytes = qxtest::ReadBytes(dist + u'/' + QLatin1String(name));
    ASSERT_FALSE(bytes.isEmpty());
    for (const QString& tree : trees) EXPECT_FALSE(bytes.contains(tree.toUtf8())) << tree.toStdString();
  }
  for (const QString& program : {out + QStringLiteral("/trovaly"), out + QStringLiteral("/muokkain"),
                                 out + QStringLiteral("/uninstall"), dist + QStringLiteral("/setup.exe")})
    EXPECT_FALSE(qxtest::ReadBytes(program).contains(".debug_info")) << program.toStdString();
}

// The registered library is gone and none lies beside the program: the
// build says so on stderr and fails at once, with no box to wait on.
TEST(VelmioBuild, AFailingBuildWithoutADisplayEndsAtOnce) {
  const QString root = qxtest::TempPath(QStringLiteral("puu"));
  CopySetupTree(root);
  if (HasFatalFailure()) return;
  ASSERT_TRUE(QDir(root + QStringLiteral("/setup/library")).removeRecursively());
  WriteRegString(hkCurrentUser, QString::fromLatin1(kLibrarySearchKey), QStringLiteral("SearchPath"),
                 qxtest::TempPath(QStringLiteral("poistettu/library")));
  const TRun run = BuildWith(root + QStringLiteral("/setup/velmio"));
  std::printf("the failing velmio -b took %lld ms\n", static_cast<long long>(run.ms));
  EXPECT_EQ(run.exitCode, 1) << run.errors.toStdString();
  EXPECT_TRUE(run.errors.contains(QStringLiteral("\\Software\\Orvanne\\Q32V31 key in the registry is either "
                                                 "missing or points to an invalid Ondrix directory")))
      << run.errors.toStdString();
  EXPECT_LT(run.ms, 20000);
}

}  // namespace
