#include "platform/system/WindowDirectory.h"
#include "platform/system/WindowMessages.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ProcessState.h"
#include "platform/system/RuntimeFolder.h"
#include "platform/system/WindowScan.h"
#include "tests/support/TestSupport.h"

#include "FakeEntries.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

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
