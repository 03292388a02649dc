#include "platform/system/WindowDirectory.h"
#include "platform/system/WindowMessages.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ProcessState.h"
#include "platform/system/RuntimeFolder.h"
#include "platform/system/WindowScan.h"
#include "tests/support/TestSupport.h"

#include "FakeEntries.h"
#include "SystemTestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using systest::DeadPid;
using systest::WriteFakeEntry;

TEST(WindowDirectory, RefusesAnUntrustedFolder) {
  const QString folder = qxtest::TempPath(QStringLiteral("runtime/qx"));
  ASSERT_TRUE(QDir().mkpath(folder));
  ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0770), 0);
  EXPECT_THROW(TWindowDirectory(), EOSError);
  EXPECT_EQ(TWindowDirectory::Current(), nullptr);
  ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0700), 0);
  TWindowDirectory dir;  // the failed one left nothing behind
  EXPECT_EQ(TWindowDirectory::Current(), &dir);
}

TEST(WindowDirectory, AFailedStartLeavesNoSocketBehind) {
  const QString folder = WindowDirectoryFolder();
  const auto own = std::uint32_t(::getpid());
  ASSERT_TRUE(QDir().mkpath(folder + QLatin1Char('/') + WindowEntryFileName(own)));
  EXPECT_THROW(TWindowDirectory(), EFCreateError);
  EXPECT_FALSE(QFile::exists(folder + QLatin1Char('/') + WindowSocketName(own)));
  EXPECT_EQ(TWindowDirectory::Current(), nullptr);
}

TEST(WindowDirectory, RemovesEntriesOfProcessesThatAreGone) {
  auto live = std::make_unique<TWindowDirectory>();
  const QString folder = live->Folder();
  const std::uint32_t dead = DeadPid();
  const auto parent = std::uint32_t(::getppid());
  WriteFakeEntry(folder, dead, QStringLiteral("Gone"));
  WriteFakeEntry(folder, parent, QStringLiteral("Not listening"));
  const auto own = std::uint32_t(::getpid());
  live.reset();
  TWindowDirectory dir;
  EXPECT_FALSE(QFile::exists(folder + QLatin1Char('/') + WindowEntryFileName(dead)));
  EXPECT_FALSE(QFile::exists(folder + QLatin1Char('/') + WindowSocketName(dead)));
  EXPECT_FALSE(QFile::exists(folder + QLatin1Char('/') + WindowEntryFileName(parent)));
  EXPECT_FALSE(QFile::exists(folder + QLatin1Char('/') + WindowSocketName(parent)));
  EXPECT_TRUE(QFile::exists(folder + QLatin1Char('/') + WindowEntryFileName(own)));
}

// Entries are replaced by rename, so nothing under an entry's name is half
// written: what is not a valid entry goes, even when its process runs.
TEST(WindowDirectory, RemovesEntriesThatAreNotValidEvenOfALiveProcess) {
  const QString folder = WindowDirectoryFolder();
  const auto live = std::uint32_t(::getppid());
  const QString entryPath = folder + QLatin1Char('/') + WindowEntryFileName(live);
  const QString writersTemporary = entryPath + QStringLiteral(".Ab12Cd");
  const QByteArray valid = EncodeWindowEntry({live, WindowSocketName(live), {{1, "A", true}}});
  const QByteArray others = EncodeWindowEntry({live + 1, WindowSocketName(live), {}});
  for (const QByteArray& bad : {QByteArray(), QByteArray("{not json"), valid.left(valid.size() / 2),
                                others, QByteArray(MaxWindowEntrySize + 1, ' ')}) {
    qxtest::WriteBytes(entryPath, bad);
    qxtest::WriteBytes(writersTemporary, valid.left(10));
    TWindowDirectory dir;
    EXPECT_FALSE(QFile::exists(entryPath)) << bad.left(40).toStdString();
    EXPECT_TRUE(QFile::exists(writersTemporary));  // not an entry's name
  }
}

TEST(WindowDirectory, AFullFileSystemIsAnErrorAndLeavesNoEmptyEntry) {
  const QString runtime = qxtest::TempPath(QStringLiteral("small"));
  const systest::TSmallFileSystem fs(runtime, 16);
  if (!fs.Mounted())
    GTEST_SKIP() << qxtest::SkipBecause(qxtest::TCapability::SmallTmpfsMount,
                                        QStringLiteral("a tmpfs cannot be mounted here (%1); the test needs "
                                                       "the right to mount, as in CI")
                                            .arg(QString::fromLocal8Bit(std::strerror(fs.Error()))));
  qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
  auto dir = std::make_unique<TWindowDirectory>();
  dir->PublishWindow(1, QStringLiteral("Ennen"), true);
  const std::vector<TPublishedWindow> before = dir->Windows();
  const QByteArray entryBefore = qxtest::ReadBytes(dir->EntryPath());
  const QString filler = runtime + QStringLiteral("/filler");
  ASSERT_TRUE(fs.Fill(filler));

  EXPECT_THROW(dir->PublishWindow(2, QString(3000, QLatin1Char('x')), true), EFCreateError);
  EXPECT_EQ(dir->Windows(), before);
  // The old entry, or none while there is no room for it; never an empty one.
  if (QFile::exists(dir->EntryPath())) {
    EXPECT_EQ(qxtest::ReadBytes(dir->EntryPath()), entryBefore);
  }
  const QString entryPath = dir->EntryPath();
  dir.reset();
  ASSERT_TRUE(fs.Fill(filler + QLatin1Char('2')));  // the removed entry's room
  EXPECT_THROW(TWindowDirectory(), EFCreateError);  // a new one cannot publish either
  EXPECT_FALSE(QFile::exists(entryPath));

  ASSERT_TRUE(QFile::remove(filler));
  TWindowDirectory again;
  again.PublishWindow(2, QStringLiteral("Taas"), true);
  EXPECT_EQ(ReadWindowEntry(again.EntryPath())->windows, again.Windows());
}

TEST(WindowDirectory, KeepsAnotherListeningProcessesEntry) {
  TWindowDirectory first;
  first.PublishWindow(1, QStringLiteral("Live"), true);
  ResetProcessState();
  const QString folder = first.Folder();
  RemoveStaleEntries(folder);
  EXPECT_TRUE(QFile::exists(first.EntryPath()));
  EXPECT_TRUE(QFile::exists(first.SocketPath()));
}

TEST(WindowDirectory, OnlyOnePerProcess) {
  TWindowDirectory first;
  EXPECT_THROW(TWindowDirectory(), EInvalidOperation);
  ResetProcessState();  // forgetting the current one does not make room
  EXPECT_THROW(TWindowDirectory(), EInvalidOperation);
  EXPECT_TRUE(QFile::exists(first.SocketPath()));
}

TEST(WindowDirectory, KeepsItsEntryFileCurrent) {
  auto dir = std::make_unique<TWindowDirectory>();
  const QString entryPath = dir->EntryPath();
  const QString socketPath = dir->SocketPath();
  const auto own = std::uint32_t(::getpid());
  EXPECT_EQ(ReadWindowEntry(entryPath), TWindowEntry({own, WindowSocketName(own), {}}));
  dir->PublishWindow(2, QStringLiteral("A"), false);
  dir->PublishWindow(1, QStringLiteral("B"), true);
  dir->PublishWindow(2, QStringLiteral("C"), true);  // updates in place
  const std::vector<TPublishedWindow> expected{{2, QStringLiteral("C"), true},
                                               {1, QStringLiteral("B"), true}};
  EXPECT_EQ(ReadWindowEntry(entryPath)->windows, expected);
  EXPECT_EQ(dir->Windows(), expected);
  EXPECT_TRUE(QFile::exists(socketPath));
  dir.reset();
  EXPECT_FALSE(QFile::exists(entryPath));
  EXPECT_FALSE(QFile::exists(socketPath));
}

TEST(WindowDirectory, FailedEntryWriteKeepsThePublishedState) {
  TWindowDirectory dir;
  dir.PublishWindow(1, QStringLiteral("Kept"), true);
  // A folder in the entry's place makes the replacing rename fail.
  ASSERT_TRUE(QFile::remove(dir.EntryPath()));
  ASSERT_TRUE(QDir().mkdir(dir.EntryPath()));
  EXPECT_THROW(dir.UpdateTitle(1, QStringLiteral("Lost")), EFCreateError);
  EXPECT_THROW(dir.PublishWindow(2, QStringLiteral("Other"), true), EFCreateError);
  const std::vector<TPublishedWindow> kept{{1, QStringLiteral("Kept"), true}};
  EXPECT_EQ(dir.Windows(), kept);
  EXPECT_EQ(dir.FindOwnWindow(QStringLiteral("lost")), 0u);

  ASSERT_TRUE(QDir().rmdir(dir.EntryPath()));
  dir.PublishWindow(3, QStringLiteral("Third"), false);
  EXPECT_EQ(ReadWindowEntry(dir.EntryPath())->windows, dir.Windows());
  EXPECT_EQ(dir.Windows().size(), 2u);
}

TEST(WindowDirectory, RejectsBadWindowIds) {
  TWindowDirectory dir;
  EXPECT_THROW(dir.PublishWindow(0, QStringLiteral("x"), true), EInvalidOperation);
  EXPECT_THROW(dir.UpdateTitle(5, QStringLiteral("x")), EInvalidOperation);
  dir.UnpublishWindow(5);  // unknown: nothing happens
  EXPECT_TRUE(dir.Windows().empty());
}

TEST(WindowDirectory, IsCurrentWhileItLives) {
  EXPECT_EQ(TWindowDirectory::Current(), nullptr);
  {
    TWindowDirectory dir;
    EXPECT_EQ(TWindowDirectory::Current(), &dir);
    ResetProcessState();
    EXPECT_EQ(TWindowDirectory::Current(), nullptr);
  }
  auto first = std::make_unique<TWindowDirectory>();
  first.reset();
  EXPECT_EQ(TWindowDirectory::Current(), nullptr);
}

}  // namespace
