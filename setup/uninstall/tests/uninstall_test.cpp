#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileLog.h"
#include "installer/engine/routines_Registry.h"
#include "platform/registry/Registry.h"
#include "platform/system/SelfRegister.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace {

const QString kProduct = QStringLiteral("Trovaly 1.0");
const QString kLogKey = QString::fromLatin1(kUninstallKeyBase) + kProduct;
const QString kSettingsKey = QStringLiteral("\\Software\\QXTrovaly");

struct TRun {
  int exitCode = -1;
  QString out;
  QString err;
};

// The product name goes unquoted, as the uninstall command passes it.
TRun RunUninstall(const QStringList& arguments) {
  QProcess process;
  process.start(QStringLiteral(QX_UNINSTALL), arguments);
  TRun run;
  if (!process.waitForFinished(30000)) return run;
  run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

bool KeyExists(HKEY root, const QString& key) {
  TRegistry registry;
  registry.SetRootKey(root);
  return registry.KeyExists(key);
}

TEST(Uninstall, RemovesExactlyWhatTheLogNames) {
  const QString program = qxtest::TempPath(QStringLiteral("Ohjelmat/Trovaly"));
  const QString menu = qxtest::TempPath(QStringLiteral("menu/Trovaly 1.0"));
  ASSERT_TRUE(QDir().mkpath(program + QStringLiteral("/puzzles")));
  ASSERT_TRUE(QDir().mkpath(menu));
  const QStringList logged = {program + QStringLiteral("/trovaly"),
                              program + QStringLiteral("/puzzles/LINNUT1.grd"),
                              menu + QStringLiteral("/trovaly.desktop")};
  for (const QString& path : logged) {
    qxtest::WriteBytes(path, "installed");
    IfLogInstalledFile(kLogKey, path);
  }
  // A self-registering program is asked to unregister before it goes.
  const QString server = program + QStringLiteral("/palvelin");
  const QString marker = qxtest::TempPath(QStringLiteral("unregistered"));
  qxtest::WriteBytes(server, QStringLiteral("#!/bin/sh\necho \"$1\" > '%1'\n").arg(marker).toUtf8());
  ASSERT_TRUE(QFile::setPermissions(server, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
  IfLogSelfRegisteringFile(kLogKey, server, true);
  const QString uninstaller = program + QStringLiteral("/uninstall.exe");
  qxtest::WriteBytes(uninstaller, "uninstaller");
  WriteRegString(hkLocalMachine, kLogKey, QStringLiteral("DisplayName"), kProduct);
  WriteRegString(hkLocalMachine, kLogKey, QStringLiteral("UninstallString"),
                 uninstaller + QStringLiteral(" ") + kProduct);
  const QString userFile = program + QStringLiteral("/oma.grd");
  qxtest::WriteBytes(userFile, "mine");

  // The install's value and one the user set later in the same key.
  WriteRegString(hkCurrentUser, kSettingsKey, QStringLiteral("Fontti"), QStringLiteral("Arial"));
  WriteRegString(hkCurrentUser, kSettingsKey, QStringLiteral("Oma"), QStringLiteral("1"));
  const QString record = kLogKey + QStringLiteral("\\RegistryKeys\\RegistryKey1");
  WriteRegString(hkLocalMachine, record, QStringLiteral("Key"), kSettingsKey);
  WriteRegInteger(hkLocalMachine, record, QStringLiteral("Root"), hkCurrentUser);
  WriteRegString(hkLocalMachine, record + QStringLiteral("\\Entries"), QStringLiteral("Fontti"),
                 QStringLiteral("Arial"));
  WriteRegString(hkLocalMachine, kLogKey + QStringLiteral("\\RegistryKeys"),
                 QStringLiteral("Entries"), QStringLiteral("1"));

  const TRun run = RunUninstall(QStringList{QStringLiteral("-y")} + kProduct.split(' '));
  ASSERT_EQ(run.exitCode, 0) << run.out.toStdString() << run.err.toStdString();

  for (const QString& path : logged) EXPECT_FALSE(QFileInfo::exists(path)) << path.toStdString();
  EXPECT_FALSE(QFileInfo::exists(uninstaller));
  EXPECT_FALSE(QFileInfo::exists(server));
  EXPECT_EQ(qxtest::ReadBytes(marker).trimmed(), QByteArray(kUnregServerSwitch));
  EXPECT_FALSE(QFileInfo::exists(program + QStringLiteral("/puzzles")));
  EXPECT_FALSE(QFileInfo::exists(menu));
  EXPECT_EQ(qxtest::ReadBytes(userFile), QByteArray("mine"));
  EXPECT_TRUE(run.out.contains(QStringLiteral("Left in place: ") + userFile)) << run.out.toStdString();
  EXPECT_TRUE(QFileInfo::exists(program));

  EXPECT_EQ(ReadRegString(hkCurrentUser, kSettingsKey, QStringLiteral("Fontti"), QStringLiteral("-")),
            QStringLiteral("-"));
  EXPECT_EQ(ReadRegString(hkCurrentUser, kSettingsKey, QStringLiteral("Oma"), QString()),
            QStringLiteral("1"));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kLogKey));
}

TEST(Uninstall, MissingLogIsAnErrorAndRemovesNothing) {
  const QString file = qxtest::TempPath(QStringLiteral("keep"));
  qxtest::WriteBytes(file, "x");
  const TRun run = RunUninstall({QStringLiteral("--yes"), QStringLiteral("Ei"), QStringLiteral("Ole")});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_TRUE(run.err.contains(QStringLiteral("No uninstall information for \"Ei Ole\"")))
      << run.err.toStdString();
  EXPECT_TRUE(QFileInfo::exists(file));
}

}  // namespace
