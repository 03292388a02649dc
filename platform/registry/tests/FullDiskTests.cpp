// Hives on a small, really full disk (TestDisk.h).
#include "platform/registry/Hive.h"
#include "platform/registry/Registry.h"
#include "platform/registry/tests/Children.h"
#include "platform/registry/tests/TestDisk.h"
#include "platform/rtl/ProcessState.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>

namespace {

const QString kKey = QStringLiteral("\\Software\\QxConcurrency");
const QString kFull = QStringLiteral(": There is not enough space on the disk.");

using regtest::DiskKind;
using regtest::TestDisk;

const char* KindName(DiskKind kind) { return kind == DiskKind::Mounted ? "Mounted" : "Hooked"; }

// Each case runs on a mounted tmpfs where this process may mount one, and on
// a hooked disk everywhere.
class RegistryFullDisk : public testing::TestWithParam<DiskKind> {};

INSTANTIATE_TEST_SUITE_P(Disks, RegistryFullDisk,
                         testing::Values(DiskKind::Mounted, DiskKind::Hooked),
                         [](const testing::TestParamInfo<DiskKind>& row) {
                           return std::string(KindName(row.param));
                         });

// A disk of the given kind and size that the registry lives on; a tmpfs that
// cannot be mounted skips (the hooked twin of the case runs).
#define QX_TEST_DISK(name, kind, bytes)                                                   \
  TestDisk name(kind, bytes);                                                             \
  if (!name.Ready())                                                                      \
    GTEST_SKIP() << qxtest::SkipBecause(qxtest::TCapability::SmallTmpfsMount,              \
                                        QStringLiteral("cannot mount a tmpfs here (") +      \
                                            name.Error() + QStringLiteral(")"));

QString ReservePath() { return RegistryFolder() + QStringLiteral("/HKCU.sqlite-reserve"); }

// Another process reading the values c0 .. c<count-1>; its exit code.
int CheckFromAnotherProcess(int count) {
  QProcess child;
  child.start(QStringLiteral(QX_REGISTRY_CHILD),
              {QStringLiteral("check"), QStringLiteral("c"), QString::number(count)});
  if (!child.waitForFinished(60000))
    return -1;
  if (child.exitCode() != 0)
    ADD_FAILURE() << child.readAllStandardError().toStdString();
  return child.exitStatus() == QProcess::NormalExit ? child.exitCode() : -1;
}

void WriteValues(TRegistry& reg, int count) {
  for (int i = 0; i < count; ++i)
    reg.WriteInteger(QStringLiteral("c%1").arg(i), i);
}

void ExpectValues(TRegistry& reg, int count) {
  for (int i = 0; i < count; ++i)
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("c%1").arg(i)), i);
}

// The registry error a call raises; fails the test when it raises none.
ERegistryException RaisedBy(const std::function<void()>& call) {
  try {
    call();
  } catch (const ERegistryException& e) {
    return e;
  }
  ADD_FAILURE() << "no exception";
  return ERegistryException(QString());
}

TEST_P(RegistryFullDisk, LogStaysSmallBesideTheDatabase) {
  QX_TEST_DISK(disk, GetParam(), 1024 * 1024);
  // Each commit adds pages to the log; unbounded, 600 of them fill 1 MB.
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  WriteValues(reg, 600);
  ExpectValues(reg, 600);
  const QString log = RegistryFolder() + QStringLiteral("/HKCU.sqlite-wal");
  EXPECT_LT(QFileInfo(log).size(), 600 * 1024);
}

TEST_P(RegistryFullDisk, OnlyTheWriteThatDoesNotFitFails) {
  constexpr int kCount = 50;
  QX_TEST_DISK(disk, GetParam(), 2 * 1024 * 1024);
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  WriteValues(reg, kCount);
  disk.Fill();

  const QByteArray big(1024 * 1024, 'b');
  const ERegistryException e =
      RaisedBy([&] { reg.WriteBinaryData(QStringLiteral("big"), big.constData(), big.size()); });
  EXPECT_EQ(e.ErrorCode(), ERROR_DISK_FULL);
  EXPECT_EQ(e.Message(), QStringLiteral("Failed to set data for 'big'") + kFull);
  EXPECT_FALSE(reg.ValueExists(QStringLiteral("big")));
  // A small write still fits in the log's room, and nothing else is lost.
  reg.WriteInteger(QStringLiteral("after"), 1);
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("after")), 1);
  ExpectValues(reg, kCount);
  EXPECT_EQ(CheckFromAnotherProcess(kCount), 0);
}

TEST_P(RegistryFullDisk, WritesFailDeletesGoThroughAndReadersKeepReading) {
  constexpr int kCount = 50;
  QX_TEST_DISK(disk, GetParam(), 2 * 1024 * 1024);
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    WriteValues(reg, kCount);
    for (int i = 0; i < 4; ++i)
      reg.WriteString(QStringLiteral("d%1").arg(i), QString(300, QLatin1Char('d')));
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("Gone\\Deeper"), true));
    reg.WriteInteger(QStringLiteral("x"), 1);
  }
  // Closed: everything is in the database and the log is empty.
  ResetProcessState();
  disk.Fill();

  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  ExpectValues(reg, kCount);
  const ERegistryException set = RaisedBy([&] { reg.WriteInteger(QStringLiteral("c1"), -1); });
  EXPECT_EQ(set.ErrorCode(), ERROR_DISK_FULL);
  EXPECT_EQ(set.Message(), QStringLiteral("Failed to set data for 'c1'") + kFull);
  // Deleting needs no more of the disk: values and keys go, again and again,
  // and a write still does not fit afterwards.
  EXPECT_TRUE(reg.DeleteValue(QStringLiteral("d0")));
  EXPECT_FALSE(reg.ValueExists(QStringLiteral("d0")));
  EXPECT_FALSE(reg.DeleteValue(QStringLiteral("missing")));
  EXPECT_EQ(RegDeleteValue(reg.CurrentKey(), QStringLiteral("d1")), ERROR_SUCCESS);
  EXPECT_TRUE(reg.DeleteKey(QStringLiteral("Gone")));
  EXPECT_FALSE(reg.KeyExists(kKey + QStringLiteral("\\Gone")));
  EXPECT_TRUE(reg.DeleteValue(QStringLiteral("d2")));
  EXPECT_EQ(RaisedBy([&] { reg.WriteInteger(QStringLiteral("c1"), -1); }).ErrorCode(),
            ERROR_DISK_FULL);
  ExpectValues(reg, kCount);
  EXPECT_TRUE(reg.ValueExists(QStringLiteral("d3")));

  // Another process reads beside this one, and alone once this one is gone.
  EXPECT_EQ(CheckFromAnotherProcess(kCount), 0);
  reg.CloseKey();
  ResetProcessState();
  EXPECT_EQ(CheckFromAnotherProcess(kCount), 0);
  // A process that opens the hive on the full disk deletes too.
  ASSERT_TRUE(reg.OpenKey(kKey, false));
  EXPECT_TRUE(reg.DeleteValue(QStringLiteral("d3")));

  // With room again, the hive takes changes.
  disk.Free();
  reg.WriteInteger(QStringLiteral("c1"), -1);
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("c1")), -1);
  EXPECT_TRUE(reg.DeleteValue(QStringLiteral("c0")));
  EXPECT_FALSE(reg.ValueExists(QStringLiteral("c0")));
}

// Two to four processes deleting at once on a full disk, each its own values:
// every delete goes through, and the reserve is whole afterwards.
class RegistryFullDiskDeleters : public testing::TestWithParam<std::tuple<DiskKind, int>> {};

INSTANTIATE_TEST_SUITE_P(
    Disks, RegistryFullDiskDeleters,
    testing::Combine(testing::Values(DiskKind::Mounted, DiskKind::Hooked), testing::Values(2, 3, 4)),
    [](const testing::TestParamInfo<std::tuple<DiskKind, int>>& row) {
      return std::string(KindName(std::get<0>(row.param))) + "_" +
             std::to_string(std::get<1>(row.param)) + "Processes";
    });

TEST_P(RegistryFullDiskDeleters, EveryDeleteGoesThrough) {
  constexpr int kDeletes = 1500;
  const auto [kind, processes] = GetParam();
  QX_TEST_DISK(disk, kind, 2 * 1024 * 1024);
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    for (int p = 0; p < processes; ++p)
      for (int i = 0; i < kDeletes; ++i)
        reg.WriteInteger(QStringLiteral("p%1_%2").arg(p).arg(i), i);
  }
  ResetProcessState();
  disk.Fill();

  regtest::Race race(qxtest::TempPath(QStringLiteral("go")));
  for (int p = 0; p < processes; ++p)
    race.Add({QStringLiteral("delete"), QStringLiteral("p%1_").arg(p), QString::number(kDeletes)});
  race.Go();
  race.ExpectAllFinishedCleanly();

  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly(kKey));
  TRegKeyInfo info;
  ASSERT_TRUE(reg.GetKeyInfo(info));
  EXPECT_EQ(info.NumValues, 0);
  EXPECT_EQ(QFileInfo(ReservePath()).size(), Hive::kReserveBytes);
}

// A deleter killed at a step of a lent reserve on a full disk, whose free
// room another program then takes: the reserve is whole again before the
// next delete needs it, whether the next process had the hive open (its
// change makes the reserve whole first, and a write still finds the disk
// full) or opens it then; its deletes go through and nothing else is lost.
class RegistryFullDiskKilled
    : public testing::TestWithParam<std::tuple<DiskKind, const char*, bool>> {};

INSTANTIATE_TEST_SUITE_P(
    Disks, RegistryFullDiskKilled,
    testing::Combine(testing::Values(DiskKind::Mounted, DiskKind::Hooked),
                     testing::Values("lent", "returning"), testing::Bool()),
    [](const testing::TestParamInfo<std::tuple<DiskKind, const char*, bool>>& row) {
      return std::string(KindName(std::get<0>(row.param))) + "_" + std::get<1>(row.param) +
             (std::get<2>(row.param) ? "_NextHadItOpen" : "_NextOpensIt");
    });

TEST_P(RegistryFullDiskKilled, TheReserveIsWholeForTheNextDeletes) {
  constexpr int kCount = 20;
  const auto [kind, step, hadItOpen] = GetParam();
  QX_TEST_DISK(disk, kind, 1024 * 1024);
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kKey, true));
    for (int i = 0; i < kCount; ++i) {
      reg.WriteInteger(QStringLiteral("k%1").arg(i), i);
      reg.WriteInteger(QStringLiteral("j%1").arg(i), i);
    }
  }
  ResetProcessState();
  TRegistry reg;
  if (hadItOpen) {
    ASSERT_TRUE(reg.OpenKey(kKey, false));
  }
  disk.Fill();

  // The first delete finds the disk full and borrows the reserve; its process
  // stops at the step and is killed there.
  auto killed =
      regtest::StartChild({QStringLiteral("stop"), QLatin1String(step), QStringLiteral("k"),
                           QString::number(kCount)});
  const QByteArray stopped = QByteArray("stopped ") + step;
  QByteArray output;
  while (!output.contains(stopped) && killed->waitForReadyRead(regtest::kChildWaitMs))
    output += killed->readAllStandardOutput();
  ASSERT_TRUE(output.contains(stopped)) << killed->readAllStandardError().toStdString();
  killed->kill();
  ASSERT_TRUE(killed->waitForFinished(regtest::kChildWaitMs));
  disk.Fill();

  if (hadItOpen) {
    EXPECT_EQ(RaisedBy([&] { reg.WriteInteger(QStringLiteral("new"), 1); }).ErrorCode(),
              ERROR_DISK_FULL);
    for (int i = 0; i < kCount; ++i)
      EXPECT_EQ(RegDeleteValue(reg.CurrentKey(), QStringLiteral("j%1").arg(i)), ERROR_SUCCESS);
  } else {
    const QString go = qxtest::TempPath(QStringLiteral("go"));
    qxtest::WriteBytes(go, QByteArray());
    regtest::RunChild(
        {QStringLiteral("delete"), go, QStringLiteral("j"), QString::number(kCount)});
    ASSERT_TRUE(reg.OpenKeyReadOnly(kKey));
  }
  EXPECT_EQ(QFileInfo(ReservePath()).size(), Hive::kReserveBytes);
  for (int i = 1; i < kCount; ++i) {
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("k%1").arg(i)), i);
    EXPECT_FALSE(reg.ValueExists(QStringLiteral("j%1").arg(i)));
  }
  EXPECT_FALSE(reg.ValueExists(QStringLiteral("new")));
}

}  // namespace
