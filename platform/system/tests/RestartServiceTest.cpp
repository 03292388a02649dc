// Replacement at restart: registering pending work, and the runner that
// carries it out at the next login (run here directly).
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryApi.h"
#include "platform/system/FilesInUse.h"
#include "platform/system/LastError.h"
#include "platform/system/RestartService.h"
#include "platform/system/FileOperation.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QString Temp(const char* relative) { return qxtest::TempPath(QString::fromUtf8(relative)); }

void Write(const QString& path, const QByteArray& bytes) { qxtest::WriteBytes(path, bytes); }

void AddRunOnceValue(const QString& name, const QString& command) {
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(registry.OpenKey(QString::fromLatin1(kRunOnceKeyPath), true));
  registry.WriteString(name, command);
}

bool RunOnceValueExists(const QString& name) {
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  return registry.OpenKey(QString::fromLatin1(kRunOnceKeyPath), false) &&
         registry.ValueExists(name);
}

QString Quoted(const QString& path) { return QLatin1Char('"') + path + QLatin1Char('"'); }

struct TRunnerResult {
  int exitCode = -1;
  QString errors;
};

// The runner program, as the autostart entry starts it.
TRunnerResult RunRunner() {
  QProcess runner;
  runner.start(RestartRunnerPath(), {});
  if (!runner.waitForFinished(qxtest::PeerWaitBoundMs)) {
    runner.kill();
    runner.waitForFinished();
  }
  return {runner.exitStatus() == QProcess::NormalExit ? runner.exitCode() : -1,
          QString::fromUtf8(runner.readAllStandardError())};
}

int FailedSteps(const TRestartReport& report) {
  int failed = 0;
  for (const TRestartStep& step : report.steps)
    failed += step.done ? 0 : 1;
  return failed;
}

// A program in use is replaced at the next login: the move waits in the
// registry while the old program runs, then the runner moves the new file
// over it, runs the RunOnce command and removes its autostart entry.
TEST(RestartRunner, ReplacesAFileInUseAndRunsTheRunOnceCommand) {
  ASSERT_TRUE(QFileInfo(RestartRunnerPath()).isExecutable()) << RestartRunnerPath().toStdString();
  const QString target = Temp("app/holder");
  Write(target, qxtest::ReadBytes(QStringLiteral(QX_FILE_HOLDER)));
  QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QByteArray old = qxtest::ReadBytes(target);
  qxtest::TPeerProcess running(target, {QStringLiteral("run")});
  ASSERT_EQ(running.ReadLine(), QStringLiteral("ready"));
  ASSERT_TRUE(IsFileInUse(target));

  const QString fresh = Temp("app/holder.1");
  Write(fresh, "the new program");
  ASSERT_TRUE(MoveFileEx(fresh, target, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING));
  const std::vector<TPendingMove> pending = PendingMoves();
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_EQ(pending[0].source, fresh);
  EXPECT_EQ(pending[0].target, target);
  EXPECT_EQ(qxtest::ReadBytes(target), old);

  // The entry starts the runner, quoted as desktop entries want it.
  const QByteArray entry = qxtest::ReadBytes(RestartRunnerAutostartPath());
  EXPECT_TRUE(entry.contains("Exec=\"" + RestartRunnerPath().toUtf8() + "\"\n")) << entry.data();
  QProcess validate;
  validate.start(QStringLiteral("desktop-file-validate"), {RestartRunnerAutostartPath()});
  ASSERT_TRUE(validate.waitForFinished(qxtest::PeerWaitBoundMs));
  EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().data();

  const QString marker = Temp("ran");
  AddRunOnceValue(QStringLiteral("OndrixUnfinished"),
                  Quoted(QStringLiteral(QX_MARKER_PROGRAM)) + QLatin1Char(' ') + Quoted(marker) +
                      QStringLiteral(" -r \"-s/some dir\""));

  const TRunnerResult result = RunRunner();
  EXPECT_EQ(result.exitCode, 0) << result.errors.toStdString();
  EXPECT_EQ(qxtest::ReadBytes(target), QByteArray("the new program"));
  EXPECT_FALSE(QFile::exists(fresh));
  EXPECT_TRUE(PendingMoves().empty());
  // The command ran in its own folder with its arguments.
  EXPECT_EQ(qxtest::ReadBytes(marker),
            QFileInfo(QStringLiteral(QX_MARKER_PROGRAM)).absolutePath().toUtf8() +
                "\n-r\n-s/some dir\n");
  EXPECT_FALSE(RunOnceValueExists(QStringLiteral("OndrixUnfinished")));
  EXPECT_FALSE(QFile::exists(RestartRunnerAutostartPath()));
  running.Stop();
}

// A move that cannot be done stays pending and is reported; the others go
// on, and the autostart entry stays for the next login.
TEST(RestartRunner, AFailedMoveStaysPendingAndTheRestGoOn) {
  const QString kept = Temp("kept.txt");
  Write(kept, "existing");
  const QString blocked = Temp("blocked.new");
  Write(blocked, "not allowed to replace");
  // Without MOVEFILE_REPLACE_EXISTING an existing target stays.
  ASSERT_TRUE(MoveFileEx(blocked, kept, MOVEFILE_DELAY_UNTIL_REBOOT));
  const QString moved = Temp("moved.new");
  Write(moved, "moved");
  ASSERT_TRUE(MoveFileEx(moved, Temp("sub/moved.txt"), MOVEFILE_DELAY_UNTIL_REBOOT));
  ASSERT_TRUE(QDir().mkpath(Temp("sub")));
  const QString doomed = Temp("doomed.txt");
  Write(doomed, "x");
  ASSERT_TRUE(MoveFileEx(doomed, QString(), MOVEFILE_DELAY_UNTIL_REBOOT));
  // A program that cannot be found: its value stays too.
  AddRunOnceValue(QStringLiteral("Missing"), Quoted(Temp("no/such/program")));

  const TRestartReport report = RunRestartWork();
  ASSERT_EQ(report.steps.size(), 4u);
  EXPECT_EQ(FailedSteps(report), 2);
  EXPECT_FALSE(report.steps[0].done);
  EXPECT_TRUE(report.steps[0].error.contains(QStringLiteral("already exists")))
      << report.steps[0].error.toStdString();
  EXPECT_TRUE(report.steps[1].done);
  EXPECT_EQ(report.steps[2].kind, TRestartStepKind::Delete);
  EXPECT_TRUE(report.steps[2].done);
  EXPECT_EQ(report.steps[3].kind, TRestartStepKind::RunOnce);
  EXPECT_FALSE(report.steps[3].done);

  EXPECT_EQ(qxtest::ReadBytes(kept), QByteArray("existing"));
  EXPECT_EQ(qxtest::ReadBytes(blocked), QByteArray("not allowed to replace"));
  EXPECT_EQ(qxtest::ReadBytes(Temp("sub/moved.txt")), QByteArray("moved"));
  EXPECT_FALSE(QFile::exists(doomed));
  const std::vector<TPendingMove> left = PendingMoves();
  ASSERT_EQ(left.size(), 1u);
  EXPECT_EQ(left[0].source, blocked);
  EXPECT_TRUE(RunOnceValueExists(QStringLiteral("Missing")));
  EXPECT_TRUE(QFile::exists(RestartRunnerAutostartPath()));

  // The runner program reports the same and fails.
  const TRunnerResult again = RunRunner();
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_TRUE(again.errors.contains(QStringLiteral("already exists"))) << again.errors.toStdString();
}

// WININIT.INI: quoted paths (blanks and "=" in them), "NUL=" deletes, every
// line kept when added, other sections and failed lines left as they were.
TEST(RestartRunner, CarriesOutWininitRenameLines) {
  const QString target = Temp("Program Files/a=b/game");
  Write(target, "old");
  const QString source = Temp("Program Files/a=b/game.1");
  Write(source, "new");
  const QString gone1 = Temp("gone one.txt");
  const QString gone2 = Temp("gone two.txt");
  Write(gone1, "1");
  Write(gone2, "2");
  AddWininitRename(target, source);
  AddWininitRename(QStringLiteral("NUL"), gone1);
  AddWininitRename(QStringLiteral("NUL"), gone2);
  EXPECT_TRUE(QFile::exists(RestartRunnerAutostartPath()));

  // Lines written by hand: unquoted, and one whose source is missing.
  const QString plainTarget = Temp("plain.txt");
  const QString plainSource = Temp("plain.new");
  Write(plainSource, "plain");
  QByteArray ini = qxtest::ReadBytes(WininitPath());
  ini = "[boot]\r\nshell=keep\r\n" + ini + plainTarget.toUtf8() + "=" + plainSource.toUtf8() +
        "\r\n; a comment\r\n" + Quoted(Temp("x.txt")).toUtf8() + "=\"" +
        Temp("missing.new").toUtf8() + "\"\r\n[Other]\r\nk=v\r\n";
  Write(WininitPath(), ini);
  EXPECT_TRUE(ini.contains(Quoted(target).toUtf8() + "=" + Quoted(source).toUtf8()));
  EXPECT_TRUE(ini.contains("NUL=" + Quoted(gone1).toUtf8() + "\nNUL=" + Quoted(gone2).toUtf8()));

  const TRestartReport report = RunRestartWork();
  ASSERT_EQ(report.steps.size(), 5u);
  EXPECT_EQ(FailedSteps(report), 1);
  EXPECT_TRUE(report.steps[4].error.contains(QStringLiteral("WININIT.INI line")))
      << report.steps[4].error.toStdString();
  EXPECT_EQ(qxtest::ReadBytes(target), QByteArray("new"));
  EXPECT_FALSE(QFile::exists(source));
  EXPECT_FALSE(QFile::exists(gone1));
  EXPECT_FALSE(QFile::exists(gone2));
  EXPECT_EQ(qxtest::ReadBytes(plainTarget), QByteArray("plain"));
  EXPECT_EQ(qxtest::ReadBytes(WininitPath()),
            "[boot]\r\nshell=keep\r\n[Rename]\n; a comment\r\n" + Quoted(Temp("x.txt")).toUtf8() +
                "=\"" + Temp("missing.new").toUtf8() + "\"\r\n[Other]\r\nk=v\r\n");
  EXPECT_TRUE(QFile::exists(RestartRunnerAutostartPath()));
}

// Across file systems a move copies beside the target and renames; the
// source goes only after that.
TEST(RestartRunner, MovesAcrossFileSystems) {
  QTemporaryDir other(QStringLiteral("/dev/shm/qxtest-XXXXXX"));
  struct stat here {}, there {};
  if (!other.isValid() || ::stat(QFile::encodeName(qxtest::TempRoot()).constData(), &here) != 0 ||
      ::stat(QFile::encodeName(other.path()).constData(), &there) != 0 ||
      here.st_dev == there.st_dev)
    GTEST_SKIP() << "no second file system at /dev/shm";
  const QString source = other.path() + QStringLiteral("/new.bin");
  Write(source, QByteArray(100000, 'n'));
  QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QString target = Temp("old.bin");
  Write(target, "old");
  ASSERT_TRUE(MoveFileEx(source, target, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING));
  const TRestartReport report = RunRestartWork();
  EXPECT_TRUE(report.AllDone()) << report.steps.at(0).error.toStdString();
  EXPECT_EQ(qxtest::ReadBytes(target), QByteArray(100000, 'n'));
  EXPECT_TRUE(QFileInfo(target).isExecutable());
  EXPECT_FALSE(QFile::exists(source));
  EXPECT_EQ(QDir(qxtest::TempRoot()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// The replacement batch: the erase of a file that the next line moves a
// file onto is left to that move, so a failing move loses nothing.
TEST(RestartRunner, RunsAReplacementBatch) {
  const QString target = Temp("dir one/app");
  const QString fresh = Temp("dir one/app.1");
  Write(target, "old");
  Write(fresh, "new");
  const QString batch = Temp("tmp/bat1.bat");
  Write(batch, "erase " + Quoted(target).toUtf8() + "\r\nmove " + Quoted(fresh).toUtf8() + " " +
                   Quoted(target).toUtf8() + "\r\n");
  AddRunOnceValue(QStringLiteral("OndrixBatFile"), batch);
  const QString other = Temp("dir one/lib");
  Write(other, "old lib");
  const QString failing = Temp("tmp/bat2.bat");
  Write(failing, "ERASE " + Quoted(other).toUtf8() + "\r\nMOVE " +
                     Quoted(Temp("dir one/missing")).toUtf8() + " " + Quoted(other).toUtf8() +
                     "\r\n");
  AddRunOnceValue(QStringLiteral("OndrixBatFile1"), failing);

  const TRestartReport report = RunRestartWork();
  ASSERT_EQ(report.steps.size(), 2u);
  EXPECT_TRUE(report.steps[0].done) << report.steps[0].error.toStdString();
  EXPECT_FALSE(report.steps[1].done);
  EXPECT_EQ(qxtest::ReadBytes(target), QByteArray("new"));
  EXPECT_FALSE(QFile::exists(fresh));
  EXPECT_EQ(qxtest::ReadBytes(other), QByteArray("old lib"));
  EXPECT_FALSE(RunOnceValueExists(QStringLiteral("OndrixBatFile")));
  EXPECT_TRUE(RunOnceValueExists(QStringLiteral("OndrixBatFile1")));
}

// What MoveFileEx refuses at once, changing nothing.
TEST(MoveFileEx, RefusesWhatCannotBeDone) {
  const QString a = Temp("a.txt");
  const QString b = Temp("b.txt");
  Write(a, "a");
  Write(b, "b");
  struct TRow {
    QString from, to;
    DWORD flags;
    DWORD error;
  };
  const TRow rows[] = {
      {Temp("missing"), b, MOVEFILE_DELAY_UNTIL_REBOOT, ERROR_FILE_NOT_FOUND},
      {a, b, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_COPY_ALLOWED, ERROR_INVALID_PARAMETER},
      {a, b, 0, ERROR_ALREADY_EXISTS},
      {QString(), b, MOVEFILE_DELAY_UNTIL_REBOOT, ERROR_INVALID_PARAMETER},
  };
  for (const TRow& row : rows) {
    EXPECT_FALSE(MoveFileEx(row.from, row.to, row.flags)) << row.from.toStdString();
    EXPECT_EQ(GetLastError(), row.error) << row.from.toStdString();
  }
  EXPECT_EQ(qxtest::ReadBytes(a), QByteArray("a"));
  EXPECT_EQ(qxtest::ReadBytes(b), QByteArray("b"));
  EXPECT_TRUE(PendingMoves().empty());
  EXPECT_FALSE(QFile::exists(RestartRunnerAutostartPath()));

  // Now: a move with replace, and a delete.
  EXPECT_TRUE(MoveFileEx(a, b, MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(qxtest::ReadBytes(b), QByteArray("a"));
  EXPECT_TRUE(MoveFileEx(b, QString(), 0));
  EXPECT_FALSE(QFile::exists(b));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
}

}  // namespace
