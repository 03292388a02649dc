#include "platform/system/RuntimeFolder.h"

#include "platform/rtl/Exceptions.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

mode_t ModeOf(const QString& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
  return st.st_mode & 07777;
}

QString UidFolder(const QString& base) {
  return base + QStringLiteral("/qx-") + QString::number(::geteuid());
}

TEST(RuntimeFolder, IsQxUnderXdgRuntimeDirCreatedPrivate) {
  const QString runtime = qxtest::TempPath(QStringLiteral("runtime"));
  const QString folder = WindowDirectoryFolder();
  EXPECT_EQ(folder, runtime + QStringLiteral("/qx"));
  EXPECT_EQ(ModeOf(folder), mode_t(0700));
  EXPECT_EQ(WindowDirectoryFolder(), folder);  // found again as it is
}

TEST(RuntimeFolder, FallsBackToAPerUserFolderWithoutXdgRuntimeDir) {
  const QString base = qxtest::TempPath(QStringLiteral("tmp"));
  EXPECT_EQ(EnsurePrivateFolder(QString(), base), UidFolder(base));
  EXPECT_EQ(ModeOf(UidFolder(base)), mode_t(0700));
  // A relative runtime dir is not trusted either.
  EXPECT_EQ(EnsurePrivateFolder(QStringLiteral("relative/run"), base), UidFolder(base));
}

TEST(RuntimeFolder, RefusesAFolderOpenToOthers) {
  const QString base = qxtest::TempPath(QStringLiteral("tmp"));
  for (const mode_t mode : {0750, 0705, 0777}) {
    ASSERT_TRUE(QDir().mkpath(UidFolder(base)));
    ASSERT_EQ(::chmod(QFile::encodeName(UidFolder(base)).constData(), mode), 0);
    EXPECT_THROW(EnsurePrivateFolder(QString(), base), EOSError) << std::oct << mode;
    ASSERT_TRUE(QDir(UidFolder(base)).removeRecursively());
  }
}

TEST(RuntimeFolder, RefusesALinkOrAFileInItsPlace) {
  const QString base = qxtest::TempPath(QStringLiteral("tmp"));
  const QString target = qxtest::TempPath(QStringLiteral("elsewhere"));
  ASSERT_TRUE(QDir().mkpath(target));
  ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  ASSERT_TRUE(QFile::link(target, UidFolder(base)));
  EXPECT_THROW(EnsurePrivateFolder(QString(), base), EOSError);

  ASSERT_TRUE(QFile::remove(UidFolder(base)));
  qxtest::WriteBytes(UidFolder(base), "file");
  EXPECT_THROW(EnsurePrivateFolder(QString(), base), EOSError);
}

TEST(RuntimeFolder, MissingParentIsAnError) {
  EXPECT_THROW(EnsurePrivateFolder(qxtest::TempPath(QStringLiteral("no/such")), QString()),
               EOSError);
}

}  // namespace
