// The install file's records: uninstall log keys and their bounds, shared
// counts, help registration, in-use names and batch lines.
#include "installer/engine/cmp_TInstallContainer_InstallFileLog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "platform/registry/Registry.h"
#include "platform/system/RestartService.h"
#include "tests/support/TestSupport.h"

namespace {

const QString kKey =
    QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Prod");

QString Log(const QString& sub, const QString& name) {
  return ReadRegString(hkLocalMachine, kKey + QLatin1Char('\\') + sub, name,
                       QStringLiteral("<none>"));
}

TEST(InstallFileLogTest, FilesGoToTheFirstKeyThatTakesThemAndTheKeysAreBounded) {
  IfLogInstalledFile(kKey, QStringLiteral("/a/one"));
  IfLogInstalledFile(kKey, QStringLiteral("/a/two"));
  EXPECT_EQ(Log(QStringLiteral("Files"), QStringLiteral("Entries")), QStringLiteral("2"));
  EXPECT_EQ(Log(QStringLiteral("Files"), QStringLiteral("File1")), QStringLiteral("/a/one"));
  EXPECT_EQ(Log(QStringLiteral("Files"), QStringLiteral("File2")), QStringLiteral("/a/two"));

  // A key whose count is no usable number takes no more: the next one does.
  WriteRegString(hkLocalMachine, kKey + QStringLiteral("\\Files"), QStringLiteral("Entries"),
                 QStringLiteral("many"));
  IfLogInstalledFile(kKey, QStringLiteral("/a/three"));
  EXPECT_EQ(Log(QStringLiteral("Files1"), QStringLiteral("File1")), QStringLiteral("/a/three"));
  EXPECT_EQ(Log(QStringLiteral("Files1"), QStringLiteral("Entries")), QStringLiteral("1"));

  // Every key full: an error, and nothing written anywhere.
  for (int i = 0; i < kLogFileKeys; ++i) {
    const QString key =
        kKey + QStringLiteral("\\Files") + (i == 0 ? QString() : QString::number(i));
    WriteRegString(hkLocalMachine, key, QStringLiteral("Entries"),
                   QString::number(kLogEntriesPerKey));
  }
  EXPECT_THROW(IfLogInstalledFile(kKey, QStringLiteral("/a/four")), EIRCannotWriteValue);
  EXPECT_EQ(Log(QStringLiteral("Files1"), QStringLiteral("File2")), QStringLiteral("<none>"));
}

TEST(InstallFileLogTest, SelfRegisteringFilesAreMarkedAsProgramOrLibrary) {
  IfLogSelfRegisteringFile(kKey, QStringLiteral("/s/lib.ocx"), false);
  IfLogSelfRegisteringFile(kKey, QStringLiteral("/s/tool.exe"), true);
  EXPECT_EQ(Log(QStringLiteral("ActiveX"), QStringLiteral("File1")),
            QStringLiteral("/s/lib.ocx;0"));
  EXPECT_EQ(Log(QStringLiteral("ActiveX"), QStringLiteral("File2")),
            QStringLiteral("/s/tool.exe;1"));
  EXPECT_EQ(Log(QStringLiteral("ActiveX"), QStringLiteral("Entries")), QStringLiteral("2"));
  WriteRegString(hkLocalMachine, kKey + QStringLiteral("\\ActiveX"), QStringLiteral("Entries"),
                 QStringLiteral("-3"));
  EXPECT_THROW(IfLogSelfRegisteringFile(kKey, QStringLiteral("/s/x"), false), EIRCannotWriteValue);
}

TEST(InstallFileLogTest, SharedCountsAndHelpRegistration) {
  const QString key = QString::fromLatin1(kSharedDLLsKey);
  WriteRegInteger(hkLocalMachine, key, QStringLiteral("/sys/a.dll"), 4);
  EXPECT_TRUE(IfIncrementSharedCount(QStringLiteral("/sys/a.dll"), QStringLiteral("/sys/a.dll")));
  EXPECT_EQ(ReadRegInteger(hkLocalMachine, key, QStringLiteral("/sys/a.dll"), -1), 5);
  EXPECT_TRUE(IfIncrementSharedCount(QStringLiteral("/S/B~1.DLL"), QStringLiteral("/sys/b.dll")));
  EXPECT_EQ(ReadRegInteger(hkLocalMachine, key, QStringLiteral("/sys/b.dll"), -1), 1);
  // A count that is no integer starts again under the long name.
  WriteRegString(hkLocalMachine, key, QStringLiteral("/sys/c.dll"), QStringLiteral("x"));
  EXPECT_TRUE(IfIncrementSharedCount(QStringLiteral("/sys/c.dll"), QStringLiteral("/sys/c.dll")));
  EXPECT_EQ(ReadRegInteger(hkLocalMachine, key, QStringLiteral("/sys/c.dll"), -1), 1);

  IfRegisterHelpFile(QStringLiteral("trovaly10.hlp"), QStringLiteral("/opt/t"));
  EXPECT_EQ(ReadRegString(hkLocalMachine, QString::fromLatin1(kHelpKey),
                          QStringLiteral("TROVALY10.HLP"), {}),
            QStringLiteral("/opt/t"));
}

TEST(InstallFileLogTest, InUseNamesSkipTakenNamesAndBatchLinesQuotePaths) {
  const QString dir = qxtest::TempPath(QStringLiteral("d"));
  qxtest::WriteBytes(dir + QStringLiteral("/game.1"), "x");
  QDir().mkpath(dir + QStringLiteral("/game.2"));
  EXPECT_EQ(IfInUseName(dir, QStringLiteral("game.exe")), QStringLiteral("game.3"));
  EXPECT_EQ(IfInUseName(dir, QStringLiteral("noext")), QStringLiteral("noext.1"));
  for (int i = 1; i <= kInUseNames; ++i)
    qxtest::WriteBytes(dir + QStringLiteral("/full.") + QString::number(i), "");
  EXPECT_EQ(IfInUseName(dir, QStringLiteral("full.bin")), QString());

  EXPECT_EQ(IfReplaceBatchLines(QStringLiteral("/my dir/a.exe"), QStringLiteral("/my dir/a.1")),
            QStringList({QStringLiteral("erase \"/my dir/a.exe\""),
                         QStringLiteral("move \"/my dir/a.1\" \"/my dir/a.exe\"")}));
}

// The batch's quoted lines, with blanks in the paths, carried out by the
// runner at the next login: the new file takes the old one's place.
TEST(InstallFileLogTest, TheReplacementBatchRunsAtTheNextLogin) {
  const QString dir = qxtest::TempPath(QStringLiteral("Program Files/My Game"));
  const QString inUse = dir + QStringLiteral("/my game.exe");
  const QString replacement = dir + QStringLiteral("/my game.1");
  qxtest::WriteBytes(inUse, "old program");
  qxtest::WriteBytes(replacement, "new program");
  const QString batch = qxtest::TempPath(QStringLiteral("tmp/bat 1.bat"));
  qxtest::WriteBytes(batch,
                     IfReplaceBatchLines(inUse, replacement).join(QStringLiteral("\r\n")).toUtf8());
  ASSERT_TRUE(AddRunOnce(QStringLiteral("OndrixBatFile"), IfQuotedPath(batch), true));
  ScheduleRestartRunner();
  const TRestartReport report = RunRestartWork();
  EXPECT_TRUE(report.AllDone());
  EXPECT_EQ(qxtest::ReadBytes(inUse), QByteArray("new program"));
  EXPECT_FALSE(QFile::exists(replacement));
}

}  // namespace
