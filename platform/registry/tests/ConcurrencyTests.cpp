// Several processes on one hive or INI file, and a writer killed mid-loop.
#include "platform/registry/IniFile.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/ProcessState.h"
#include "tests/support/TestSupport.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

constexpr int kWaitMs = 120000;

std::unique_ptr<QProcess> StartChild(const QStringList& args) {
  auto child = std::make_unique<QProcess>();
  child->setProgram(QStringLiteral(QX_REGISTRY_CHILD));
  child->setArguments(args);
  child->setProcessChannelMode(QProcess::SeparateChannels);
  child->start();
  EXPECT_TRUE(child->waitForStarted(kWaitMs));
  return child;
}

void ExpectFinishedCleanly(QProcess& child) {
  ASSERT_TRUE(child.waitForFinished(kWaitMs));
  EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
}

std::set<int> Reported(const QByteArray& output) {
  std::set<int> seen;
  for (const QByteArray& line : output.split('\n'))
    if (!line.isEmpty())
      seen.insert(line.toInt());
  return seen;
}

TEST(RegistryConcurrency, TwoProcessesWritingOneHiveLoseNothing) {
  constexpr int kCount = 200;
  auto a = StartChild({QStringLiteral("reg"), QStringLiteral("a"), QString::number(kCount)});
  auto b = StartChild({QStringLiteral("reg"), QStringLiteral("b"), QString::number(kCount)});
  ExpectFinishedCleanly(*a);
  ExpectFinishedCleanly(*b);
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly(QStringLiteral("\\Software\\QxConcurrency")));
  TRegKeyInfo info;
  ASSERT_TRUE(reg.GetKeyInfo(info));
  EXPECT_EQ(info.NumValues, 2 * kCount);
  for (int i = 0; i < kCount; ++i) {
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("a%1").arg(i)), i);
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("b%1").arg(i)), i);
  }
}

TEST(RegistryConcurrency, KilledWriterLosesNothingItCommitted) {
  // Open the hive here first, so the child and this process share it.
  {
    TRegistry warm;
    ASSERT_TRUE(warm.OpenKey(QStringLiteral("\\Software"), true));
  }
  auto child = StartChild({QStringLiteral("reg"), QStringLiteral("k"), QStringLiteral("0")});
  QByteArray output;
  while (Reported(output).size() < 150 && child->state() == QProcess::Running) {
    child->waitForReadyRead(kWaitMs);
    output += child->readAllStandardOutput();
  }
  child->kill();  // SIGKILL
  ASSERT_TRUE(child->waitForFinished(kWaitMs));
  output += child->readAllStandardOutput();
  // Only whole lines were reported as committed.
  output.truncate(output.lastIndexOf('\n') + 1);
  const std::set<int> reported = Reported(output);
  ASSERT_GE(reported.size(), 150u);

  ResetProcessState();
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\QxConcurrency"), false));
  for (int i : reported)
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("k%1").arg(i)), i);
  // The hive still takes writes.
  reg.WriteInteger(QStringLiteral("after"), 1);
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("after")), 1);
}

TEST(IniConcurrency, TwoProcessesWritingOneFileLoseNothing) {
  constexpr int kCount = 100;
  const QString path = qxtest::TempPath(QStringLiteral("shared.ini"));
  auto a = StartChild({QStringLiteral("ini"), path, QStringLiteral("a"), QString::number(kCount)});
  auto b = StartChild({QStringLiteral("ini"), path, QStringLiteral("b"), QString::number(kCount)});
  ExpectFinishedCleanly(*a);
  ExpectFinishedCleanly(*b);
  TIniFile ini(path);
  for (int i = 0; i < kCount; ++i) {
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("a%1").arg(i), -1), i);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("b%1").arg(i), -1), i);
  }
}

}  // namespace
