#include "installer/engine/routines_API.h"

#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/FileUtils.h"
#include "tests/support/TestSupport.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

TEST(GetShortPath, ReturnsThePathUnchanged) {
  const QString path = QStringLiteral("/a very long folder name/with spaces/file name.text");
  EXPECT_EQ(GetShortPath(path), path);
}

TEST(GetWindowsVersionKind, ReportsTheNtFamily) {
  EXPECT_EQ(GetWindowsVersionKind(), 2);
}

TEST(CreateTempFileName, KeptFileExistsInTheTemporaryFolderWithPrefixBat) {
  const QString name = CreateTempFileName(true);
  const QFileInfo info(name);
  EXPECT_TRUE(info.isFile());
  EXPECT_TRUE(info.fileName().startsWith(QStringLiteral("bat")));
  EXPECT_EQ(info.absolutePath() + QLatin1Char('/'), GetTempDir());
  EXPECT_EQ(info.size(), 0);
}

TEST(CreateTempFileName, NamesAreUniqueAndUnkeptFilesAreGone) {
  const QString kept = CreateTempFileName(true);
  const QString dropped = CreateTempFileName(false);
  EXPECT_NE(kept, dropped);
  EXPECT_FALSE(QFileInfo::exists(dropped));
  EXPECT_NE(CreateTempFileName(true), kept);
}

TEST(CreateTempFileName, UnwritableFolderRaisesEAPIRoutines) {
  const QString blocked = qxtest::TempPath(QStringLiteral("not-a-folder"));
  qxtest::WriteBytes(blocked, "file, not folder");
  qputenv("TMPDIR", QFile::encodeName(blocked));
  try {
    CreateTempFileName(true);
    FAIL() << "no exception";
  } catch (const EAPIRoutines& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Cannot create a temporary file"));
  }
}

TEST(WindowsDir, LivesUnderTheDataHomeAndIsCreated) {
  const QString expected = qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/qx/windows");
  EXPECT_EQ(GetWindowsDir(), expected);
  EXPECT_TRUE(DirectoryExists(expected));
  EXPECT_EQ(GetSystemDir(), expected + QStringLiteral("/system"));
  EXPECT_TRUE(DirectoryExists(expected + QStringLiteral("/system")));
}

TEST(WindowsDir, FallsBackToHomeWithoutDataHome) {
  qunsetenv("XDG_DATA_HOME");
  EXPECT_EQ(GetWindowsDir(), qEnvironmentVariable("HOME") + QStringLiteral("/.local/share/qx/windows"));
}

TEST(WindowsDir, FailuresRaiseTheirOwnTexts) {
  const QString blocked = qxtest::TempPath(QStringLiteral("blocked"));
  qxtest::WriteBytes(blocked, "x");
  qputenv("XDG_DATA_HOME", QFile::encodeName(blocked));
  try {
    GetWindowsDir();
    FAIL() << "no exception";
  } catch (const EAPIRoutines& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Could not retrieve the windows directory from windows"));
  }
  try {
    GetSystemDir();
    FAIL() << "no exception";
  } catch (const EAPIRoutines& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Could not retrieve the system directroy from windows"));
  }
}

}  // namespace
