// "velmio -b" as a developer runs it, without a display: from a copy of the
// build's setup folder and its programs' folder at a path of 200 characters,
// one file of it changed, in a fresh home, then again after the copy was
// moved (the library the first run named is gone); every member unpacked
// holds the copy's file, and names no tree. A build that fails ends by
// itself, with no box to wait on.
#include "installer/engine/cmp_TInstallContainer_Ondrix.h"
#include "installer/engine/cmp_TOndxCompress.h"
#include "installer/engine/routines_Registry.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TreeGuard.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <cstdio>
#include <map>

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
  // The load average lags a load that has just come: the wait is long
  // from the start, and the test's own time-out bounds it.
  if (!process.waitForStarted() || !process.waitForFinished(qxtest::WaitMs(280000))) {
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

// The programs' folder of the copy below root.
QString CopiedPrograms(const QString& root) {
  const QString setup = QFileInfo(QStringLiteral(QX_VELMIO)).absolutePath();
  return QDir::cleanPath(root + u'/' +
                         QDir(QFileInfo(setup).absolutePath()).relativeFilePath(QStringLiteral(QX_PROGRAM_DIR)));
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

// Each member of an archive unpacked alone into a folder of its own below
// out, by the member's name (its last part when the name is a path): the
// bytes of the one file it gave.
std::map<QString, QByteArray> Unpacked(const QString& archive, const QString& out) {
  std::map<QString, QByteArray> files;
  const QStringList members = Members(archive);
  for (int i = 0; i < members.size(); ++i) {
    const QString own = out + QStringLiteral("/%1").arg(i);
    TOndxCompress reader(nullptr);
    reader.SetCompressedFile(archive);
    // Deep enough that a name starting with ".." still lands below own.
    reader.SetExtractDirectory(own + QStringLiteral("/a/b"));
    reader.FilesToProcess()->Add(members[i]);
    reader.Extract();
    QStringList written;
    QDirIterator it(own, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) written << it.next();
    EXPECT_EQ(written.size(), 1) << members[i].toStdString() << " gave " << written.join(u' ').toStdString();
    files[QFileInfo(members[i]).fileName()] = qxtest::ReadBytes(written.value(0));
  }
  return files;
}

QString SearchPath() {
  return ReadRegString(hkCurrentUser, QString::fromLatin1(kLibrarySearchKey), QStringLiteral("SearchPath"), {});
}

TEST(VelmioBuild, BuildsFromACopyAtAnyDepthAndAgainAfterItMoved) {
  const QString first = DeepFolder(200);
  ASSERT_EQ(first.size(), 200);
  CopySetupTree(first);
  if (HasFatalFailure()) return;
  // A puzzle changed in the copy: the build takes the copy's.
  const QString changed = QStringLiteral("LINNUT1.lst");
  const QByteArray own = qxtest::ReadBytes(CopiedPrograms(first) + u'/' + changed) + "KOPION OMA SANA\r\n";
  qxtest::WriteBytes(CopiedPrograms(first) + u'/' + changed, own);

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

  // files.1 holds the copy's programs' folder, byte for byte, the changed
  // puzzle among them, each file under its path from the setup folder; the
  // programs carry no debug information, and nothing built, unpacked,
  // names a tree or the copy.
  const QString dist = moved + QStringLiteral("/setup/dist");
  const QStringList members = Members(dist + QStringLiteral("/files.1"));
  EXPECT_EQ(members.size(), 50);
  const QString keyFolder = QDir(QFileInfo(QStringLiteral(QX_VELMIO)).absolutePath())
                                .relativeFilePath(QStringLiteral(QX_PROGRAM_DIR));
  for (const QString& member : members) {
    EXPECT_EQ(member, keyFolder + u'/' + QFileInfo(member).fileName());
  }
  const QString out = qxtest::TempPath(QStringLiteral("purettu"));
  const std::map<QString, QByteArray> files = Unpacked(dist + QStringLiteral("/files.1"), out + QStringLiteral("/files"));
  const QString programs = CopiedPrograms(moved);
  EXPECT_EQ(files.size(), 50u);
  for (const auto& [name, bytes] : files)
    EXPECT_EQ(bytes, qxtest::ReadBytes(programs + u'/' + name)) << name.toStdString();
  ASSERT_EQ(files.count(changed), 1u);
  EXPECT_EQ(files.at(changed), own);
  const std::map<QString, QByteArray> setup1 = Unpacked(dist + QStringLiteral("/setup.1"), out + QStringLiteral("/setup"));
  EXPECT_EQ(Members(dist + QStringLiteral("/setup.1")), (QStringList{QStringLiteral("velmio"), QStringLiteral("qxrunonce")}));
  EXPECT_EQ(setup1.size(), 2u);
  EXPECT_EQ(qxtest::TreeMentions(out, {first, moved}).join(u'\n').toStdString(), "");
  EXPECT_EQ(qxtest::TreeMentions(dist, {first, moved}).join(u'\n').toStdString(), "");
  for (const char* program : {"trovaly", "muokkain", "uninstall"}) {
    EXPECT_TRUE(files.count(QLatin1String(program)) == 1 && files.at(QLatin1String(program)).startsWith("\x7f" "ELF"))
        << program;
    EXPECT_FALSE(files.count(QLatin1String(program)) == 1 && files.at(QLatin1String(program)).contains(".debug_info"))
        << program;
  }
  for (const auto& [name, bytes] : setup1) EXPECT_FALSE(bytes.contains(".debug_info")) << name.toStdString();
  EXPECT_FALSE(qxtest::ReadBytes(dist + QStringLiteral("/setup.exe")).contains(".debug_info"));
}

// The registered library is gone and none lies beside the program: the
// build says so on stderr and fails, ending by itself with no box to wait
// on (BuildWith's bound).
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
}

}  // namespace
