// TAtomicFile: the old file or the whole new one, on a full disk too, and no
// temporaries left by writers that died.
#include "platform/rtl/AtomicFile.h"

#include "tests/support/SmallDisk.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QStringList Names(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

// The pid of a process that has ended and been reaped.
pid_t DeadPid() {
  const pid_t pid = ::fork();
  if (pid == 0)
    ::_exit(0);
  ::waitpid(pid, nullptr, 0);
  return pid;
}

TEST(AtomicFile, ReplacesKeepingModeAndLinkAndLeavesNoTemporary) {
  const QString folder = qxtest::TempPath(QStringLiteral("f"));
  const QString real = folder + QStringLiteral("/real.ini");
  qxtest::WriteBytes(real, "old");
  ASSERT_EQ(::chmod(QFile::encodeName(real).constData(), 0640), 0);
  const QString link = folder + QStringLiteral("/link.ini");
  ASSERT_TRUE(QFile::link(real, link));

  TAtomicFile file(link);
  const QString pattern = QStringLiteral("/\\.real\\.ini\\.%1\\.[0-9A-F]{6}\\.tmp$").arg(::getpid());
  EXPECT_TRUE(QRegularExpression(pattern).match(file.TempName()).hasMatch()) << qPrintable(file.TempName());
  file.Write(QByteArray("new "));
  file.Write("content", 7);
  EXPECT_EQ(qxtest::ReadBytes(real), QByteArray("old"));  // nothing before the commit
  file.Commit();

  EXPECT_EQ(qxtest::ReadBytes(real), QByteArray("new content"));
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(real).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Names(folder), (QStringList{"link.ini", "real.ini"}));
}

TEST(AtomicFile, AbandonedOrRefusedWriteLeavesTheOldFile) {
  const QString path = qxtest::TempPath(QStringLiteral("a.txt"));
  qxtest::WriteBytes(path, "old");
  {
    TAtomicFile file(path);
    file.Write(QByteArray("half"));
  }
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("old"));
  TAtomicFile file(path);
  file.Write(QByteArray("new"));
  try {
    file.Commit(false);
    ADD_FAILURE() << "an existing file was replaced";
  } catch (const EAtomicFileError& e) {
    EXPECT_EQ(e.ErrorCode(), EEXIST);
  }
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("old"));
  EXPECT_EQ(Names(qxtest::TempRoot()).filter(QStringLiteral(".tmp")), QStringList());
  EXPECT_THROW(WriteFileAtomically(qxtest::TempPath(QStringLiteral("no/dir/x")), "x"),
               EFCreateError);
}

TEST(AtomicFile, FullDiskRaisesAndKeepsTheOldFileByteIdentical) {
  qxtest::TSmallDisk disk(64 * 1024);
  if (!disk.Mounted())
    GTEST_SKIP() << disk.SkipReason().toStdString();
  const QString path = disk.FilePath(QStringLiteral("data.bin"));
  QByteArray old(9700, 'o');
  old[100] = '\n';
  qxtest::WriteBytes(path, old);
  const QByteArray bigger(9800, 'n');
  const QString full = QStringLiteral("Cannot create file \"%1\". No space left on device").arg(path);
  EXPECT_EQ(qxtest::MessagesWhenFull<EAtomicFileError>(disk, [&] { WriteFileAtomically(path, bigger); }),
            (QStringList{full, full}));
  EXPECT_EQ(qxtest::ReadBytes(path), old);
  EXPECT_EQ(Names(disk.Path()), (QStringList{"data.bin", "filler.bin"}));
  try {
    WriteFileAtomically(path, bigger);
    ADD_FAILURE() << "no error";
  } catch (const EAtomicFileError& e) {
    EXPECT_EQ(e.ErrorCode(), ENOSPC);
  }
  disk.Unfill();
  WriteFileAtomically(path, bigger);
  EXPECT_EQ(qxtest::ReadBytes(path), bigger);
}

TEST(AtomicFile, TemporariesOfDeadWritersAreRemoved) {
  const QString folder = qxtest::TempPath(QStringLiteral("t"));
  const QString path = folder + QStringLiteral("/x.ini");
  const QString dead = QStringLiteral(".x.ini.%1.00AB12.tmp").arg(DeadPid());
  const QString parent = QStringLiteral(".x.ini.%1.00AB12.tmp").arg(::getppid());
  const QString own = QStringLiteral(".x.ini.%1.FFFFFF.tmp").arg(::getpid());
  const QStringList kept{".x.ini.12x.00AB12.tmp", ".x.ini.5.00ab12.tmp", ".y.ini.1.000000.tmp"};
  for (const QString& name : QStringList{dead, parent, own} + kept)
    qxtest::WriteBytes(folder + QLatin1Char('/') + name, "t");

  RemoveStaleTemporaries(path);
  QStringList expected = QStringList{parent, own} + kept;
  expected.sort();
  EXPECT_EQ(Names(folder), expected);

  // A writer sweeps too.
  qxtest::WriteBytes(folder + QLatin1Char('/') + dead, "t");
  WriteFileAtomically(path, "v");
  expected.append(QStringLiteral("x.ini"));
  expected.sort();
  EXPECT_EQ(Names(folder), expected);
}

}  // namespace
