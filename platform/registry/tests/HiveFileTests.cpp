// Hive files: files that cannot be opened, and the values a hive starts with.
#include "platform/registry/Registry.h"
#include "platform/rtl/ProcessState.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QScopeGuard>
#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

QString HivePath(const char* file) {
  return RegistryFolder() + QLatin1Char('/') + QLatin1String(file);
}

// Opening HKCU must raise ERegistryException naming the file.
void ExpectOpenFails(const QString& path) {
  try {
    TRegistry reg;
    reg.OpenKey(QStringLiteral("\\Software"), true);
    ADD_FAILURE() << "no exception";
  } catch (const ERegistryException& e) {
    EXPECT_TRUE(e.Message().contains(path)) << e.Message().toStdString();
  }
}

TEST(HiveFiles, GarbageFileRaisesAndStaysUntouched) {
  const QByteArray garbage[] = {
      QByteArray("not a database"),
      QByteArray(8192, '\x7f'),
      QByteArray("SQLite format 3") + QByteArray(4000, '\x01'),
  };
  for (const QByteArray& bytes : garbage) {
    const QString path = HivePath("HKCU.sqlite");
    qxtest::WriteBytes(path, bytes);
    ExpectOpenFails(path);
    // A second attempt fails the same way and still writes nothing.
    ExpectOpenFails(path);
    EXPECT_EQ(qxtest::ReadBytes(path), bytes);
    ResetProcessState();
  }
}

TEST(HiveFiles, UnreadableFileRaises) {
  if (geteuid() == 0)
    GTEST_SKIP() << "root reads any file";
  const QString path = HivePath("HKCU.sqlite");
  {
    TRegistry make;
    ASSERT_TRUE(make.OpenKey(QStringLiteral("\\Software\\X"), true));
  }
  ResetProcessState();
  const QByteArray before = qxtest::ReadBytes(path);
  ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions()));
  ExpectOpenFails(path);
  QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
  EXPECT_EQ(qxtest::ReadBytes(path), before);
}

TEST(HiveFiles, OtherHivesStillWorkBesideABrokenOne) {
  qxtest::WriteBytes(HivePath("HKCU.sqlite"), QByteArray("junk"));
  TRegistry reg;
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\Ok"), true));
  reg.WriteInteger(QStringLiteral("v"), 3);
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("v")), 3);
}

const char* const kShell =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const kUserShell =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

QString ReadValue(HKEY root, const char* key, const char* name) {
  TRegistry reg;
  reg.SetRootKey(root);
  if (!reg.OpenKeyReadOnly(QString::fromLatin1(key)))
    return QStringLiteral("<no key>");
  return reg.ReadString(QString::fromLatin1(name));
}

TEST(HiveSeeding, ShellFoldersPointAtTheXdgFolders) {
  // The program-files folder as a user's machine has it, not the test's.
  const QByteArray relocated = qgetenv("QX_PROGRAM_FILES_DIR");
  qunsetenv("QX_PROGRAM_FILES_DIR");
  const auto restore = qScopeGuard([&] { qputenv("QX_PROGRAM_FILES_DIR", relocated); });
  const QString data = qEnvironmentVariable("XDG_DATA_HOME");
  const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  const QString home = QDir::homePath();
  for (const char* key : {kShell, kUserShell}) {
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, key, "Programs"),
              data + QStringLiteral("/applications"));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, key, "Start Menu"),
              data + QStringLiteral("/applications"));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, key, "Startup"), config + QStringLiteral("/autostart"));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, key, "Desktop"), home + QStringLiteral("/Desktop"));
  }
  const QString programFiles =
      geteuid() == 0 ? QStringLiteral("/opt") : home + QStringLiteral("/.local/opt");
  const char* const current = "\\Software\\Microsoft\\Windows\\CurrentVersion";
  EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, current, "ProgramFilesDir"), programFiles);
  EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, current, "CommonFilesDir"),
            programFiles + QStringLiteral("/Common Files"));
}

TEST(HiveSeeding, ExistingValuesAreKept) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(QString::fromLatin1(kShell), true));
    reg.WriteString(QStringLiteral("Desktop"), QString());
    reg.WriteString(QStringLiteral("Programs"), QStringLiteral("/somewhere"));
    ASSERT_TRUE(reg.DeleteValue(QStringLiteral("Startup")));
  }
  ResetProcessState();  // the next use is a new "first use"
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kShell, "Desktop"), QString());
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kShell, "Programs"), QStringLiteral("/somewhere"));
  EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kShell, "Startup"),
            qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/autostart"));
}

TEST(HiveSeeding, UserShellFoldersAreExpandStrings) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly(QString::fromLatin1(kUserShell)));
  EXPECT_EQ(reg.GetDataType(QStringLiteral("Desktop")), rdExpandString);
  ASSERT_TRUE(reg.OpenKeyReadOnly(QString::fromLatin1(kShell)));
  EXPECT_EQ(reg.GetDataType(QStringLiteral("Desktop")), rdString);
}

}  // namespace
