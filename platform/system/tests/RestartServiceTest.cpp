// Replacement at restart: registering pending work, and the runner that
// carries it out at the next login (run here directly).
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryApi.h"
#include "platform/system/FilesInUse.h"
#include "platform/system/LastError.h"
#include "platform/system/RestartService.h"
#include "platform/system/FileOperation.h"
#include "platform/system/WininitRename.h"
#include "platform/registry/IniFile.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

namespace {

QString Temp(const char* relative) {
  return qxtest::TempPath(QString::fromUtf8(relative));
}

void Write(const QString& path, const QByteArray& bytes) {
  qxtest::WriteBytes(path, bytes);
}

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

QString Quoted(const QString& path) {
  return QLatin1Char('"') + path + QLatin1Char('"');
}

struct TRunnerResult {
  int exitCode = -1;
  QString errors;
};

// The runner the autostart entry starts once work placed it, else the one
// carried beside the tests.
QString Runner() {
  return QFileInfo(RestartRunnerPath()).isExecutable() ? RestartRunnerPath()
                                                       : CarriedRestartRunnerPath();
}

// The runner program, as the autostart entry starts it.
TRunnerResult RunRunner() {
  QProcess runner;
  runner.start(Runner(), {});
  if (!runner.waitForFinished(qxtest::WaitMs(qxtest::PeerWaitBoundMs))) {
    runner.kill();
    runner.waitForFinished();
  }
  return {runner.exitStatus() == QProcess::NormalExit ? runner.exitCode() : -1,
          QString::fromUtf8(runner.readAllStandardError())};
}

// Whether dir is a folder on another file system than the test's own.
bool OnOtherFileSystem(const QTemporaryDir& dir) {
  struct stat here {};
  struct stat there {};
  return dir.isValid() && ::stat(QFile::encodeName(qxtest::TempRoot()).constData(), &here) == 0 &&
         ::stat(QFile::encodeName(dir.path()).constData(), &there) == 0 &&
         here.st_dev != there.st_dev;
}

// Steps not done, the skipped ones included.
int FailedSteps(const TRestartReport& report) {
  int failed = 0;
  for (const TRestartStep& step : report.steps)
    failed += step.done ? 0 : 1;
  return failed;
}

// A program in use is replaced at the next login: the move waits in the
// registry while the old program runs, then the runner moves the new file
// over it, runs the RunOnce command and removes its autostart entry. The
// command is the replaced program, so only the new one (the marker
// program) leaves the marker: the move came first.
TEST(RestartRunner, ReplacesAFileInUseAndRunsTheRunOnceCommand) {
  ASSERT_FALSE(CarriedRestartRunnerPath().isEmpty());
  ASSERT_FALSE(QFile::exists(RestartRunnerPath()));
  const QString target = Temp("app/holder");
  Write(target, qxtest::ReadBytes(QStringLiteral(QX_FILE_HOLDER)));
  QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QByteArray old = qxtest::ReadBytes(target);
  qxtest::TPeerProcess running(target, {QStringLiteral("run")});
  ASSERT_EQ(running.ReadLine(), QStringLiteral("ready"));
  ASSERT_TRUE(IsFileInUse(target));

  const QString fresh = Temp("app/holder.1");
  const QByteArray replacement = qxtest::ReadBytes(QStringLiteral(QX_MARKER_PROGRAM));
  Write(fresh, replacement);
  QFile::setPermissions(fresh, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  ASSERT_TRUE(MoveFileEx(fresh, target, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING));
  const std::vector<TPendingMove> pending = PendingMoves();
  ASSERT_EQ(pending.size(), 1u);
  EXPECT_EQ(pending[0].source, fresh);
  EXPECT_EQ(pending[0].target, target);
  EXPECT_EQ(qxtest::ReadBytes(target), old);

  // The entry starts the copy of the runner placed in the user's data
  // folder, quoted as desktop entries want it.
  EXPECT_TRUE(RestartRunnerPath().startsWith(qEnvironmentVariable("XDG_DATA_HOME") + "/qx/"))
      << RestartRunnerPath().toStdString();
  EXPECT_TRUE(QFileInfo(RestartRunnerPath()).isExecutable());
  EXPECT_EQ(qxtest::ReadBytes(RestartRunnerPath()), qxtest::ReadBytes(CarriedRestartRunnerPath()));
  const QByteArray entry = qxtest::ReadBytes(RestartRunnerAutostartPath());
  EXPECT_TRUE(entry.contains("Exec=\"" + RestartRunnerPath().toUtf8() + "\"\n")) << entry.data();
  QProcess validate;
  validate.start(QStringLiteral("desktop-file-validate"), {RestartRunnerAutostartPath()});
  ASSERT_TRUE(validate.waitForFinished(qxtest::WaitMs(qxtest::PeerWaitBoundMs)));
  EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().data();

  const QString marker = Temp("ran");
  AddRunOnceValue(QStringLiteral("OndrixUnfinished"),
                  Quoted(target) + QLatin1Char(' ') + Quoted(marker) +
                      QStringLiteral(" -r \"-s/some dir\""));

  const TRunnerResult result = RunRunner();
  EXPECT_EQ(result.exitCode, 0) << result.errors.toStdString();
  EXPECT_EQ(qxtest::ReadBytes(target), replacement);
  EXPECT_FALSE(QFile::exists(fresh));
  EXPECT_TRUE(PendingMoves().empty());
  // The command ran in its own folder with its arguments.
  EXPECT_EQ(qxtest::ReadBytes(marker),
            QFileInfo(target).absolutePath().toUtf8() + "\n-r\n-s/some dir\n");
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
  EXPECT_TRUE(again.errors.contains(QStringLiteral("already exists")))
      << again.errors.toStdString();
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

  // Lines written by hand: unquoted, one whose source is gone (nothing to
  // do) and one whose target's folder is missing (it stays).
  const QString plainTarget = Temp("plain.txt");
  const QString plainSource = Temp("plain.new");
  Write(plainSource, "plain");
  const QString stuck = Temp("stuck.new");
  Write(stuck, "stuck");
  const QByteArray stuckLine = Quoted(Temp("no folder/x.txt")).toUtf8() + "=\"" + stuck.toUtf8() + "\"";
  QByteArray ini = qxtest::ReadBytes(WininitPath());
  ini = "[boot]\r\nshell=keep\r\n" + ini + plainTarget.toUtf8() + "=" + plainSource.toUtf8() +
        "\r\n; a comment\r\n" + Quoted(Temp("y.txt")).toUtf8() + "=" +
        Quoted(Temp("missing.new")).toUtf8() + "\r\n" + stuckLine + "\r\n[Other]\r\nk=v\r\n";
  Write(WininitPath(), ini);
  EXPECT_TRUE(ini.contains(Quoted(target).toUtf8() + "=" + Quoted(source).toUtf8()));
  EXPECT_TRUE(ini.contains("NUL=" + Quoted(gone1).toUtf8() + "\nNUL=" + Quoted(gone2).toUtf8()));

  const TRestartReport report = RunRestartWork();
  ASSERT_EQ(report.steps.size(), 6u);
  EXPECT_EQ(FailedSteps(report), 2);
  EXPECT_TRUE(report.steps[4].skipped);
  EXPECT_FALSE(report.steps[5].done || report.steps[5].skipped);
  EXPECT_TRUE(report.steps[5].error.contains(QStringLiteral("WININIT.INI line")))
      << report.steps[5].error.toStdString();
  EXPECT_FALSE(report.AllDone());
  EXPECT_EQ(qxtest::ReadBytes(target), QByteArray("new"));
  EXPECT_FALSE(QFile::exists(source));
  EXPECT_FALSE(QFile::exists(gone1));
  EXPECT_FALSE(QFile::exists(gone2));
  EXPECT_EQ(qxtest::ReadBytes(plainTarget), QByteArray("plain"));
  EXPECT_FALSE(QFile::exists(Temp("y.txt")));
  EXPECT_EQ(qxtest::ReadBytes(stuck), QByteArray("stuck"));
  EXPECT_EQ(qxtest::ReadBytes(WininitPath()), "[boot]\r\nshell=keep\r\n[Rename]\n; a comment\r\n" +
                                                   stuckLine + "\r\n[Other]\r\nk=v\r\n");
  EXPECT_TRUE(QFile::exists(RestartRunnerAutostartPath()));
}

// Lines of the rename section as written and as read back.
TEST(WininitLines, ReadBackWhatIsWrittenAndRefuseWhatCannotBeSaid) {
  const QString paths[] = {QStringLiteral("/a b/c"), QStringLiteral("/x=y/z"),
                           QStringLiteral("/;semi"), QStringLiteral("/[br]"),
                           QStringLiteral("/\u00c5\u00c4\u00d6/\u00e9 =")};
  for (const QString& path : paths) {
    const auto entry = ParseWininitLine(WininitLine(path, path + QStringLiteral(".1")));
    ASSERT_TRUE(entry) << path.toStdString();
    EXPECT_EQ(entry->target, path);
    EXPECT_EQ(entry->source, path + QStringLiteral(".1"));
  }
  struct TRow {
    const char* line;
    const char* target;  // nullptr: not an entry
    const char* source;
  };
  const TRow rows[] = {
      {"  \"/a=b\" = \"/c d\"  ", "/a=b", "/c d"},
      {"/p=/q", "/p", "/q"},
      {"NUL=\"/gone\"", "NUL", "/gone"},
      {"; a comment", nullptr, nullptr},
      {"[Rename]", nullptr, nullptr},
      {"\"/unclosed=/x", nullptr, nullptr},
      {"\"/a\" x=/b", nullptr, nullptr},
      {"=/x", nullptr, nullptr},
      {"/x=", nullptr, nullptr},
      {"no separator", nullptr, nullptr},
  };
  for (const TRow& row : rows) {
    const auto entry = ParseWininitLine(QString::fromUtf8(row.line));
    ASSERT_EQ(entry.has_value(), row.target != nullptr) << row.line;
    if (entry) {
      EXPECT_EQ(entry->target, QString::fromUtf8(row.target)) << row.line;
      EXPECT_EQ(entry->source, QString::fromUtf8(row.source)) << row.line;
    }
  }
  AddWininitRename(Temp("kept"), Temp("kept.1"));
  const QByteArray before = qxtest::ReadBytes(WininitPath());
  for (const QString& bad : {Temp("quote\"d"), Temp("line\nbreak"), QStringLiteral(" ")})
    EXPECT_THROW(AddWininitRename(Temp("t"), bad), EIniFileException) << bad.toStdString();
  EXPECT_EQ(qxtest::ReadBytes(WininitPath()), before);
}

// Across file systems a move copies beside the target and renames; the
// source goes only after that.
TEST(RestartRunner, MovesAcrossFileSystems) {
  QTemporaryDir other(QStringLiteral("/dev/shm/qxtest-XXXXXX"));
  if (!OnOtherFileSystem(other))
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

// A runner killed at any point loses nothing: every target is its old or
// its whole new self, every new file is somewhere whole, and the next run
// finishes the work without leaving temporaries.
TEST(RestartRunner, AKilledRunnerLosesNothing) {
  QTemporaryDir other(QStringLiteral("/dev/shm/qxtest-XXXXXX"));
  if (!OnOtherFileSystem(other))
    GTEST_SKIP() << "no second file system at /dev/shm";
  constexpr int kFiles = 6;
  const auto fresh = [](int i) { return QByteArray(1 << 20, char('a' + i)); };
  const auto source = [&](int i) { return other.path() + QStringLiteral("/new%1").arg(i); };
  const auto target = [](int i) { return qxtest::TempPath(QStringLiteral("app/file%1").arg(i)); };
  std::srand(17);
  for (int round = 0; round < 8; ++round) {
    for (int i = 0; i < kFiles; ++i) {
      Write(source(i), fresh(i));
      Write(target(i), "old");
      ASSERT_TRUE(MoveFileEx(source(i), target(i),
                             MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING));
    }
    QProcess runner;
    runner.start(Runner(), {});
    ASSERT_TRUE(runner.waitForStarted());
    // The kill point: anywhere from before the first move to after the last.
    QThread::usleep(unsigned(std::rand() % 150000));
    runner.kill();
    runner.waitForFinished();
    for (int i = 0; i < kFiles; ++i) {
      const QByteArray now = qxtest::ReadBytes(target(i));
      EXPECT_TRUE(now == "old" || now == fresh(i)) << round << " " << i;
      if (QFile::exists(source(i))) {
        EXPECT_EQ(qxtest::ReadBytes(source(i)), fresh(i)) << round << " " << i;
      } else {
        EXPECT_EQ(now, fresh(i)) << round << " " << i;
      }
    }
    const TRunnerResult rest = RunRunner();
    EXPECT_EQ(rest.exitCode, 0) << rest.errors.toStdString();
    for (int i = 0; i < kFiles; ++i) {
      EXPECT_EQ(qxtest::ReadBytes(target(i)), fresh(i)) << round << " " << i;
      EXPECT_FALSE(QFile::exists(source(i)));
    }
    EXPECT_TRUE(PendingMoves().empty());
    EXPECT_EQ(QDir(qxtest::TempPath(QStringLiteral("app")))
                  .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot)
                  .size(),
              kFiles);
  }
}

// The replacement batch: the erase of a file that the next line moves a
// file onto is left to that move, so a move that has nothing to move loses
// nothing; a batch that fails stays.
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
  const QString gone = Temp("tmp/bat2.bat");
  Write(gone, "ERASE " + Quoted(other).toUtf8() + "\r\nMOVE " +
                  Quoted(Temp("dir one/missing")).toUtf8() + " " + Quoted(other).toUtf8() + "\r\n");
  AddRunOnceValue(QStringLiteral("OndrixBatFile1"), gone);
  const QString stuck = Temp("dir one/stuck");
  Write(stuck, "stuck");
  const QString failing = Temp("tmp/bat3.bat");
  Write(failing, "move " + Quoted(stuck).toUtf8() + " " + Quoted(Temp("no dir/stuck")).toUtf8());
  AddRunOnceValue(QStringLiteral("OndrixBatFile2"), failing);

  const TRestartReport report = RunRestartWork();
  ASSERT_EQ(report.steps.size(), 3u);
  EXPECT_TRUE(report.steps[0].done) << report.steps[0].error.toStdString();
  EXPECT_TRUE(report.steps[1].done) << report.steps[1].error.toStdString();
  EXPECT_FALSE(report.steps[2].done);
  EXPECT_EQ(qxtest::ReadBytes(target), QByteArray("new"));
  EXPECT_FALSE(QFile::exists(fresh));
  EXPECT_EQ(qxtest::ReadBytes(other), QByteArray("old lib"));
  EXPECT_EQ(qxtest::ReadBytes(stuck), QByteArray("stuck"));
  EXPECT_FALSE(RunOnceValueExists(QStringLiteral("OndrixBatFile")));
  EXPECT_FALSE(RunOnceValueExists(QStringLiteral("OndrixBatFile1")));
  EXPECT_TRUE(RunOnceValueExists(QStringLiteral("OndrixBatFile2")));
}

// A move whose source is gone (moved before the runner was killed, say)
// leaves nothing to do: it is skipped and no longer pending.
TEST(RestartRunner, SkipsAMoveWhoseSourceIsGone) {
  const QString source = Temp("gone.new");
  Write(source, "new");
  const QString target = Temp("kept.txt");
  Write(target, "kept");
  ASSERT_TRUE(MoveFileEx(source, target, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING));
  ASSERT_TRUE(QFile::remove(source));
  const TRestartReport report = RunRestartWork();
  ASSERT_EQ(report.steps.size(), 1u);
  EXPECT_TRUE(report.steps[0].skipped);
  EXPECT_TRUE(report.AllDone());
  EXPECT_EQ(qxtest::ReadBytes(target), QByteArray("kept"));
  EXPECT_TRUE(PendingMoves().empty());
  EXPECT_FALSE(QFile::exists(RestartRunnerAutostartPath()));
}

// Two runners at once (two logins, say): the second waits for the first
// and finds nothing left, so no command runs twice.
TEST(RestartRunner, TwoRunnersDoEachStepOnce) {
  const QString log = Temp("log.txt");
  for (int i = 0; i < 5; ++i)
    AddRunOnceValue(QStringLiteral("Step%1").arg(i),
                    QStringLiteral("/bin/sh -c \"echo %1 >> '%2'\"").arg(i).arg(log));
  QProcess first, second;
  first.start(Runner(), {});
  second.start(Runner(), {});
  for (QProcess* runner : {&first, &second}) {
    ASSERT_TRUE(runner->waitForFinished(qxtest::WaitMs(qxtest::PeerWaitBoundMs)));
    EXPECT_EQ(runner->exitCode(), 0) << runner->readAllStandardError().data();
  }
  EXPECT_EQ(qxtest::ReadBytes(log), QByteArray("0\n1\n2\n3\n4\n"));
  EXPECT_FALSE(QFile::exists(RestartRunnerAutostartPath()));
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
