// An install is one transaction: a product's setup.exe (the loader and a
// headless installation program on the engine, run as programs of their
// own) killed or failing at a change spread over its run. A killed run is
// taken back by the next run of the same setup.exe, which then installs
// whole; a failing run ends with status 1 and takes itself back at once.
// Either way an uninstall afterwards leaves the home as it was before the
// first run: its files, the registry value for value, the menu, the
// autostart folder and the cache.

#include "BuiltSetupTestSupport.h"
#include "HomeSnapshotTestSupport.h"
#include "installer/engine/InstallUndo.h"
#include "installer/engine/cmp_TInstall_SelfExtract.h"
#include "installer/engine/routines_Registry.h"
#include "platform/registry/Registry.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using qxtest::ReadBytes;

const QString kSettings = QStringLiteral("\\Software\\QXTrovaly\\Ruudukko");
const QString kShared = QStringLiteral("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs");

// Where a run is stopped: killed when a change is about to be recorded
// ("kill"), killed once its record is on disk but before it is made
// ("kill+"), or that change failing with a full disk or a refused
// permission; at percent of the run's changes.
struct TPoint {
  const char* how;
  int percent;
};

std::ostream& operator<<(std::ostream& out, const TPoint& p) { return out << p.how << '@' << p.percent; }

class InstallTransactionTest : public qxtest::TBuiltSetup, public testing::WithParamInterface<TPoint> {
 protected:
  void SetUp() override {
    TBuiltSetup::SetUp();
    if (HasFatalFailure()) return;
    BuildProduct();
    SeedTheMachine();
  }

  // What the machine has before: an older copy of one of the files, the
  // shared file of another product (the same build: the uninstall leaves
  // it to that product), a setting of the user's.
  void SeedTheMachine() {
    QDir().mkpath(dest_);
    qxtest::WriteBytes(dest_ + QStringLiteral("/f1.bin"), "the old f1");
    qxtest::WriteBytes(dest_ + QStringLiteral("/f2.bin"), contents_[2]);
    WriteRegInteger(hkLocalMachine, kShared, dest_ + QStringLiteral("/f2.bin"), 1);
    WriteRegInteger(hkCurrentUser, kSettings, QStringLiteral("fon_koko"), 99);
  }

  // The run's changes, counted by a good run (then uninstalled again).
  int CountChanges() {
    const QString log = qxtest::TempPath(QStringLiteral("changes.txt"));
    const qxtest::TSetupRun good = RunSetup(Exe(), {}, {{"QX_TEST_CHANGE_LOG", log}});
    EXPECT_EQ(good.exitCode, 0) << good.errors.toStdString();
    const int n = static_cast<int>(ReadBytes(log).count('\n'));
    QFile::remove(log);
    Uninstall();
    return n;
  }

  void Uninstall() {
    const qxtest::TSetupRun r = RunProgram(QStringLiteral(QX_UNINSTALL_PROGRAM), {"-y", "Trovaly"});
    EXPECT_EQ(r.exitCode, 0) << r.errors.toStdString();
  }

  void ExpectInstalledWhole() {
    for (int i = 0; i < names_.size(); ++i)
      EXPECT_EQ(ReadBytes(dest_ + QLatin1Char('/') + names_[i]), contents_[i]) << i;
    EXPECT_EQ(ReadRegInteger(hkCurrentUser, kSettings, QStringLiteral("fon_koko"), 0), 11);
    EXPECT_EQ(ReadRegInteger(hkLocalMachine, kShared, dest_ + QStringLiteral("/f2.bin"), 0), 2);
    EXPECT_TRUE(QDir(qxtest::TempPath(QStringLiteral("cache/qx"))).entryList({"setup-*"}, QDir::Dirs).isEmpty());
    EXPECT_TRUE(QDir(InstallUndoFolder()).entryList(QDir::Files).isEmpty());
  }
};

TEST_P(InstallTransactionTest, TheNextRunOrTheBadEndLeavesTheHomeAsItWasOrFinished) {
  const qxtest::THomeState before = qxtest::HomeState(qxtest::TempRoot());
  const int changes = CountChanges();
  ASSERT_GT(changes, 20);
  // What a good run and its uninstall leave (the uninstall takes the older
  // file and the setting that the install replaced with its own).
  const qxtest::THomeState uninstalled = qxtest::HomeState(qxtest::TempRoot());
  SeedTheMachine();
  ASSERT_EQ(qxtest::HomeDifferences(before, qxtest::HomeState(qxtest::TempRoot())).toStdString(), "");

  const TPoint point = GetParam();
  const int at = std::max(1, static_cast<int>(std::lround(changes * point.percent / 100.0)));
  const QString how = QString::fromLatin1(point.how);
  const bool kill = how.startsWith(QStringLiteral("kill"));
  const QString where = QStringLiteral("at change %1 of %2").arg(at).arg(changes);
  const qxtest::TSetupRun stopped =
      kill ? RunSetup(Exe(), {}, {{"QX_TEST_KILL_AT_CHANGE", QString::number(at) + (how.endsWith(u'+') ? "+" : "")}})
           : RunSetup(Exe(), {}, {{"QX_TEST_FAIL_AT_CHANGE", QStringLiteral("%1:%2").arg(at).arg(how)}});
  if (kill) {
    ASSERT_EQ(stopped.exitCode, -2) << "not killed " << where.toStdString();
    // The next run takes the killed one back first: one that fails at its
    // own first change shows what that left.
    const qxtest::TSetupRun recovering = RunSetup(Exe(), {}, {{"QX_TEST_FAIL_AT_CHANGE", "1:EACCES"}});
    EXPECT_EQ(recovering.exitCode, 1) << recovering.errors.toStdString();
  } else {
    // A bad end: its status and its message.
    EXPECT_EQ(stopped.exitCode, 1) << stopped.errors.toStdString();
    EXPECT_TRUE(stopped.errors.contains(how == QStringLiteral("EACCES") ? QStringLiteral("Permission denied")
                                                                        : QStringLiteral("No space left on device")))
        << stopped.errors.toStdString();
  }
  EXPECT_EQ(qxtest::HomeDifferences(before, qxtest::HomeState(qxtest::TempRoot())).toStdString(), "")
      << "taken back " << where.toStdString();

  // The cause gone, the next run of the same setup.exe installs whole.
  const qxtest::TSetupRun next = RunSetup(Exe());
  EXPECT_EQ(next.exitCode, 0) << next.errors.toStdString();
  ExpectInstalledWhole();
  Uninstall();
  EXPECT_EQ(qxtest::HomeDifferences(uninstalled, qxtest::HomeState(qxtest::TempRoot())).toStdString(), "")
      << "installed again after the stop " << where.toStdString() << " and uninstalled";
}

// Spread over the run: its first change (the install record), the copy,
// the registry entries and the menu at its end.
INSTANTIATE_TEST_SUITE_P(Kills, InstallTransactionTest,
                         testing::Values(TPoint{"kill", 1}, TPoint{"kill+", 3}, TPoint{"kill", 8},
                                         TPoint{"kill+", 14}, TPoint{"kill", 20}, TPoint{"kill+", 27},
                                         TPoint{"kill", 33}, TPoint{"kill+", 40}, TPoint{"kill", 47},
                                         TPoint{"kill+", 53}, TPoint{"kill", 60}, TPoint{"kill+", 67},
                                         TPoint{"kill", 73}, TPoint{"kill+", 80}, TPoint{"kill", 87},
                                         TPoint{"kill+", 93}, TPoint{"kill", 100}, TPoint{"kill+", 100}));
INSTANTIATE_TEST_SUITE_P(Errors, InstallTransactionTest,
                         testing::Values(TPoint{"ENOSPC", 1}, TPoint{"ENOSPC", 25}, TPoint{"ENOSPC", 50},
                                         TPoint{"ENOSPC", 75}, TPoint{"ENOSPC", 100}, TPoint{"EACCES", 10},
                                         TPoint{"EACCES", 40}, TPoint{"EACCES", 70}, TPoint{"EACCES", 100}));

}  // namespace

namespace {

class InstallTransactionRoadTest : public qxtest::TBuiltSetup {};

// An upgrade keeps every old file until its end (for a cancel or an error
// to bring back), so it needs room for the whole new build, not for the
// difference: refused before any change when that room is missing, whole
// once it is there.
TEST_F(InstallTransactionRoadTest, AnUpgradeWithoutRoomForTheWholeNewBuildIsRefusedBeforeAnyChange) {
  BuildProduct();
  ASSERT_EQ(RunSetup(Exe()).exitCode, 0);
  for (int i = 0; i < names_.size(); ++i) {
    contents_[i] = octest::Content(static_cast<int>(contents_[i].size()), 90 + static_cast<std::uint32_t>(i));
    qxtest::WriteBytes(src_ + QLatin1Char('/') + names_[i], contents_[i]);
  }
  BuildProduct();
  const qxtest::THomeState installed = qxtest::HomeState(qxtest::TempRoot());
  // Room for the largest file twice over, as the old check asked for; not
  // for the three.
  const qxtest::TSetupRun full = RunSetup(Exe(), {}, {{"QX_TEST_FREE_BYTES", QString::number(300000)}});
  EXPECT_EQ(full.exitCode, 1) << full.errors.toStdString();
  EXPECT_TRUE(full.errors.contains(QStringLiteral("The disk is full: ")) &&
              full.errors.contains(QStringLiteral("more bytes of free space")))
      << full.errors.toStdString();
  EXPECT_EQ(qxtest::HomeDifferences(installed, qxtest::HomeState(qxtest::TempRoot())).toStdString(), "");

  const qxtest::TSetupRun room = RunSetup(Exe());
  EXPECT_EQ(room.exitCode, 0) << room.errors.toStdString();
  for (int i = 0; i < names_.size(); ++i)
    EXPECT_EQ(ReadBytes(dest_ + QLatin1Char('/') + names_[i]), contents_[i]) << i;
}

// A member damaged in the archive ends the run at that file: status 1, and
// the files copied before it, their log and the registry go again.
TEST_F(InstallTransactionRoadTest, ADamagedMemberEndsTheRunWithTheHomeAsItWas) {
  BuildProduct();
  const QByteArray good = ReadBytes(Exe());
  const TSelfExtractInfo info = ReadSelfExtractInfo(Exe());
  QByteArray bad = good;
  // A byte of the last member's deflated data.
  const int at = info.Files1End - 200;
  bad[at] = static_cast<char>(bad[at] ^ 0x5a);
  const QString exe = qxtest::TempPath(QStringLiteral("dl/setup.exe"));
  qxtest::WriteBytes(exe, bad);
  QFile::setPermissions(exe, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const qxtest::THomeState before = qxtest::HomeState(qxtest::TempRoot());
  const qxtest::TSetupRun r = RunSetup(exe);
  EXPECT_EQ(r.exitCode, 1) << r.errors.toStdString();
  EXPECT_FALSE(r.errors.isEmpty());
  EXPECT_EQ(qxtest::HomeDifferences(before, qxtest::HomeState(qxtest::TempRoot())).toStdString(), "");
}

}  // namespace
