// An uninstall run again after a run that could not finish, or that was
// killed: no step is taken twice, the shared-library counts above all.
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileLog.h"
#include "installer/engine/routines_Registry.h"
#include "platform/registry/Registry.h"
#include "platform/system/SelfRegister.h"
#include "setup/uninstall/tests/UninstallTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

namespace {

const QString kProduct = QStringLiteral("Trovaly 1.0");

// The product, with a library that another product put in its folder
// first and counts on (count 1): the install makes the count 2, and an
// uninstall must leave it at 1, with the file.
class UninstallRepeat : public ::testing::Test {
 protected:
  void SetUp() override {
    // The runs here start the build's uninstaller, naming the product.
    setup_ = qxtest::PrepareProduct(false);
    folder_ = qxtest::ProductFolder() + QStringLiteral("/Trovaly 1.0");
    library_ = folder_ + QStringLiteral("/libjaettu.so");
    qxtest::WriteBytes(library_, "shared");
    WriteRegInteger(hkLocalMachine, QString::fromLatin1(kSharedDLLsKey), library_, 1);
    treeBefore_ = qxtest::TreeState();
    registryBefore_ = Sorted(qxtest::RegistryLines());
  }

  static QStringList Sorted(QStringList lines) {
    lines.sort();
    return lines;
  }

  void Install() {
    qxtest::InstallProduct(setup_);
    ASSERT_EQ(Count(), 2);
    ASSERT_TRUE(LogExists());
  }

  int Count() const {
    return ReadRegInteger(hkLocalMachine, QString::fromLatin1(kSharedDLLsKey), library_, -1);
  }

  static bool LogExists() {
    TRegistry registry;
    registry.SetRootKey(HKEY_LOCAL_MACHINE);
    return registry.KeyExists(QString::fromLatin1(kUninstallKeyBase) + kProduct);
  }

  static qxtest::TRun Uninstall() {
    return qxtest::RunProgram(QStringLiteral(QX_UNINSTALL), {QStringLiteral("-y"), kProduct});
  }

  // The home as before the first install: the other product's library
  // with its count 1, and nothing of ours.
  void ExpectAsBefore() const {
    EXPECT_EQ(qxtest::TreeState().join(QLatin1Char('\n')).toStdString(),
              treeBefore_.join(QLatin1Char('\n')).toStdString());
    EXPECT_EQ(Sorted(qxtest::RegistryLines()).join(QLatin1Char('\n')).toStdString(),
              registryBefore_.join(QLatin1Char('\n')).toStdString());
  }

  qxtest::TProductSetup setup_;
  QString folder_;
  QString library_;
  QStringList treeBefore_;
  QStringList registryBefore_;
};

// What the self-registering program was called with, n installs each
// followed by its uninstall: every server unregistered once.
QByteArray Registered(int n) {
  return QByteArray(kRegServerSwitch).append('\n').append(kUnregServerSwitch).append('\n').repeated(n);
}

// A folder where the log names a file: it cannot go, even for root.
void Block(const QString& path) {
  ASSERT_TRUE(QFile::remove(path));
  qxtest::WriteBytes(path + QStringLiteral("/oma.vrb"), "oma");
}

TEST_F(UninstallRepeat, AFailingPathKeepsTheLogAndNoRunCountsTwice) {
  const QString puzzle = folder_ + QStringLiteral("/LINNUT1.vrb");
  const QString uninstaller = qxtest::ProductFolder() + QStringLiteral("/uninstall");
  const QString shared = QStringLiteral("Kept, other programs use it: ") + library_;
  // Run, run again, then run once the path can go.
  ASSERT_NO_FATAL_FAILURE(Install());
  ASSERT_NO_FATAL_FAILURE(Block(puzzle));
  for (int run = 1; run <= 2; ++run) {
    SCOPED_TRACE(run);
    const qxtest::TRun failed = Uninstall();
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(failed.err.contains(QStringLiteral("Cannot remove ") + puzzle)) << failed.err.toStdString();
    EXPECT_TRUE(failed.err.contains(QStringLiteral("run the uninstaller again: ") + uninstaller +
                                    QStringLiteral(" Trovaly 1.0")))
        << failed.err.toStdString();
    EXPECT_TRUE(failed.out.contains(shared)) << failed.out.toStdString();
    EXPECT_EQ(Count(), 1);
    EXPECT_TRUE(QFileInfo::exists(library_));
    EXPECT_TRUE(QFileInfo(uninstaller).isExecutable());
    EXPECT_TRUE(LogExists());
  }
  ASSERT_TRUE(QDir(puzzle).removeRecursively());
  qxtest::TRun done = Uninstall();
  EXPECT_EQ(done.exitCode, 0) << done.out.toStdString() << done.err.toStdString();
  EXPECT_TRUE(done.out.contains(shared)) << done.out.toStdString();
  EXPECT_EQ(Count(), 1);
  EXPECT_FALSE(LogExists());
  EXPECT_EQ(qxtest::ReadBytes(qxtest::Registrations()), Registered(1));
  ExpectAsBefore();

  // Installed again over a partly removed product: the files it put back
  // are logged anew, so their counts go down once more.
  ASSERT_NO_FATAL_FAILURE(Install());
  ASSERT_NO_FATAL_FAILURE(Block(puzzle));
  EXPECT_EQ(Uninstall().exitCode, 1);
  EXPECT_EQ(Count(), 1);
  ASSERT_TRUE(QDir(puzzle).removeRecursively());
  ASSERT_NO_FATAL_FAILURE(Install());
  done = Uninstall();
  EXPECT_EQ(done.exitCode, 0) << done.out.toStdString() << done.err.toStdString();
  EXPECT_EQ(Count(), 1);
  EXPECT_EQ(qxtest::ReadBytes(qxtest::Registrations()), Registered(3));
  ExpectAsBefore();
}

// The tests' build of the uninstaller killed with SIGKILL at each of its
// steps in turn (inside a step's registry transaction as well as between
// steps); each time the next run finishes the uninstall. The steps go in
// groups, each group a test of its own; the last group goes on to the run
// that the hook no longer ends.
constexpr int kGroup = 6;
constexpr int kGroups = 4;

class UninstallKilled : public UninstallRepeat, public ::testing::WithParamInterface<int> {
 protected:
  // Installs, kills the run at step k and runs again; false when the run
  // ended before step k.
  bool KillAt(int k) {
    SCOPED_TRACE(k);
    Install();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QX_TEST_KILL_AT"), QString::number(k));
    const qxtest::TRun killed = qxtest::RunProgram(QStringLiteral(QX_UNINSTALL_KILLABLE),
                                                   {QStringLiteral("-y"), kProduct}, environment);
    if (killed.killed) {
      EXPECT_GE(Count(), 1);
      const qxtest::TRun again = Uninstall();
      EXPECT_EQ(again.exitCode, 0) << again.out.toStdString() << again.err.toStdString();
      EXPECT_EQ(again.err.toStdString(), "");
      EXPECT_TRUE(again.out.contains(QStringLiteral("Kept, other programs use it: ") + library_))
          << again.out.toStdString();
    } else {
      EXPECT_EQ(killed.exitCode, 0) << killed.out.toStdString() << killed.err.toStdString();
    }
    EXPECT_EQ(Count(), 1);
    EXPECT_FALSE(LogExists());
    EXPECT_EQ(qxtest::ReadBytes(qxtest::Registrations()), Registered(1));
    EXPECT_TRUE(QFile::remove(qxtest::Registrations()));
    ExpectAsBefore();
    return killed.killed;
  }
};

TEST_P(UninstallKilled, AtEachStepTheNextRunFinishesAndCountsOnce) {
  const int first = GetParam() * kGroup + 1;
  if (GetParam() < kGroups - 1) {
    for (int k = first; k < first + kGroup && !HasFailure(); ++k)
      EXPECT_TRUE(KillAt(k)) << "the run has fewer steps than " << k;
    return;
  }
  int k = first;
  while (k <= 100 && !HasFailure() && KillAt(k)) ++k;
  // Each file's step has two points (in its transaction, after it), an
  // undone self-registration one.
  EXPECT_GE(k - 1, 19) << "steps";
}

INSTANTIATE_TEST_SUITE_P(Groups, UninstallKilled, ::testing::Range(0, kGroups));

}  // namespace
