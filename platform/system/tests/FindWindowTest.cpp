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

TEST(FindWindow, IgnoresCaseOfTheTitle) {
  TWindowDirectory dir;
  dir.PublishWindow(3, QStringLiteral("Muokkain"), true);
  dir.PublishWindow(4, QStringLiteral("Öljyvärit"), true);
  for (const char* title : {"Muokkain", "muokkain", "MUOKKAIN", "mUOKKAIn"})
    EXPECT_EQ(FindWindow(QString(), QString::fromUtf8(title)), dir.HandleOf(3)) << title;
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("ÖLJYVÄRIT")), dir.HandleOf(4));
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("öljyvärit")), dir.HandleOf(4));
  EXPECT_NE(dir.HandleOf(3), HWND(0));
}

TEST(FindWindow, NeedsTheWholeTitle) {
  TWindowDirectory dir;
  dir.PublishWindow(1, QStringLiteral("Muokkain - puzzle.vrb"), true);
  dir.PublishWindow(2, QStringLiteral("Muok"), true);
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("muokkain")), HWND(0));
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("Muokkain ")), HWND(0));
  EXPECT_EQ(FindWindow(QString(), QString()), HWND(0));
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("MUOK")), dir.HandleOf(2));
}

TEST(FindWindow, FindsHiddenWindowsAndIgnoresTheClassName) {
  TWindowDirectory dir;
  dir.PublishWindow(9, QStringLiteral("Trovaly 1.0"), false);
  EXPECT_EQ(FindWindow(QStringLiteral("TForm1"), QStringLiteral("trovaly 1.0")), dir.HandleOf(9));
}

TEST(FindWindow, FollowsTitleChangesAndUnpublishing) {
  TWindowDirectory dir;
  dir.PublishWindow(1, QStringLiteral("Old"), true);
  dir.UpdateTitle(1, QStringLiteral("New"));
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("old")), HWND(0));
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("new")), dir.HandleOf(1));
  dir.UnpublishWindow(1);
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("new")), HWND(0));
  EXPECT_EQ(dir.HandleOf(1), HWND(0));
}

TEST(FindWindow, ReadsAnotherDirectoryThroughItsEntry) {
  TWindowDirectory other;
  other.PublishWindow(5, QStringLiteral("Muokkain"), false);
  ResetProcessState();  // now only the entry file and socket tell of it
  ASSERT_EQ(TWindowDirectory::Current(), nullptr);
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("MUOKKAIN")),
            MakeWindowHandle(std::uint32_t(::getpid()), 5));
  other.UpdateTitle(5, QStringLiteral("Renamed"));
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("muokkain")), HWND(0));
  EXPECT_NE(FindWindow(QString(), QStringLiteral("renamed")), HWND(0));
}

TEST(FindWindow, NothingPublishedNothingFound) {
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("Muokkain")), HWND(0));
}

TEST(FindWindow, IgnoresEntriesOfProcessesThatAreGone) {
  const QString folder = TWindowDirectory().Folder();
  WriteFakeEntry(folder, DeadPid(), QStringLiteral("Muokkain"));
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("Muokkain")), HWND(0));
}

TEST(FindWindow, IgnoresEntriesWhoseSocketRefuses) {
  const QString folder = TWindowDirectory().Folder();
  const auto parent = std::uint32_t(::getppid());  // runs, but listens nowhere
  WriteFakeEntry(folder, parent, QStringLiteral("Muokkain"));
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("Muokkain")), HWND(0));
  EXPECT_FALSE(PostMessage(MakeWindowHandle(parent, 1), 1426, 0, 0));
}

TEST(FindWindow, IgnoresAnEntryFiledUnderAnotherProcess) {
  TWindowDirectory live;
  live.PublishWindow(1, QStringLiteral("Real"), true);
  const auto own = std::uint32_t(::getpid());
  const auto parent = std::uint32_t(::getppid());
  // Claims to be this process but lies in the parent's file.
  WriteWindowEntry(live.Folder() + QLatin1Char('/') + WindowEntryFileName(parent),
                   {own, WindowSocketName(own), {{7, QStringLiteral("Forged"), true}}});
  ResetProcessState();
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("Forged")), HWND(0));
  EXPECT_NE(FindWindow(QString(), QStringLiteral("Real")), HWND(0));
}

TEST(FindWindow, UntrustedFolderFindsNothing) {
  TWindowDirectory dir;
  const HWND wnd = dir.PublishWindow(1, QStringLiteral("Muokkain"), true);
  ResetProcessState();
  ASSERT_EQ(::chmod(QFile::encodeName(dir.Folder()).constData(), 0755), 0);
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("Muokkain")), HWND(0));
  EXPECT_FALSE(PostMessage(wnd, 1426, 0, 0));
  ASSERT_EQ(::chmod(QFile::encodeName(dir.Folder()).constData(), 0700), 0);
  EXPECT_EQ(FindWindow(QString(), QStringLiteral("Muokkain")), wnd);
}

}  // namespace
