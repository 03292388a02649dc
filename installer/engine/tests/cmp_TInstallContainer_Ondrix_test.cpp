#include "installer/engine/cmp_TInstallContainer_Ondrix.h"

#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "tests/support/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

void SetSearchPath(const QString& path) {
  WriteRegString(hkCurrentUser, QString::fromLatin1(kLibrarySearchKey),
                 QString::fromLatin1(kLibrarySearchValue), path);
}

QString MarkedDir(const char* name) {
  const QString dir = qxtest::TempPath(QLatin1String(name));
  qxtest::WriteBytes(dir + QStringLiteral("/Q32V31.TXT"), "marker");
  return dir;
}

TEST(FindOndrixDirectory, FirstEntryHoldingTheMarkerWins) {
  const QString plain = qxtest::TempPath(QStringLiteral("plain"));
  qxtest::WriteBytes(plain + QStringLiteral("/other.txt"), "x");
  const QString first = MarkedDir("first");
  const QString second = MarkedDir("second");
  SetSearchPath(plain + QStringLiteral(";") + first + QStringLiteral("/;") + second);
  EXPECT_EQ(FindOndrixDirectory(false), first);
  EXPECT_EQ(FindOndrixDirectory(true), first);
}

TEST(FindOndrixDirectory, NothingFoundGivesEmptyOrRaises) {
  SetSearchPath(qxtest::TempPath(QStringLiteral("none")) + QStringLiteral(";;"));
  EXPECT_EQ(FindOndrixDirectory(false), QString());
  try {
    FindOndrixDirectory(true);
    FAIL() << "no exception";
  } catch (const IEcdeCannotFindOndrixPath& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Cannot find the the Ondrix directory on the ZPK library search path"));
  }
}

TEST(FindOndrixDirectory, MissingOrBlankValueFindsNothing) {
  EXPECT_EQ(FindOndrixDirectory(false), QString());
  EXPECT_THROW(FindOndrixDirectory(true), IEcdeCannotFindOndrixPath);
  SetSearchPath(QStringLiteral("   "));
  EXPECT_EQ(FindOndrixDirectory(false), QString());
}

TEST(FindOndrixDirectory, BlankEntriesDoNotMeanTheCurrentFolder) {
  const QString cwd = MarkedDir("cwd");
  const QString saved = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(cwd));
  SetSearchPath(QStringLiteral(";/"));
  EXPECT_EQ(FindOndrixDirectory(false), QString());
  QDir::setCurrent(saved);
}

}  // namespace
