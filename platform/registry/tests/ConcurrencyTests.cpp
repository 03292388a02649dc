// Several processes on one hive or INI file, and a writer killed mid-loop.
#include "platform/registry/IniFile.h"
#include "platform/registry/Registry.h"
#include "platform/registry/tests/Children.h"
#include "platform/rtl/ProcessState.h"
#include "platform/rtl/StringList.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>
#include <vector>

namespace {

using regtest::ExpectFinishedCleanly;
using regtest::Race;
using regtest::StartChild;
constexpr int kWaitMs = regtest::kChildWaitMs;

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

// Points the registry at a folder of its own, so the next use creates a hive.
QString FreshRegistry(const QString& name) {
  const QString root = qxtest::TempPath(name);
  qputenv("XDG_DATA_HOME", QFile::encodeName(root));
  ResetProcessState();
  return RegistryFolder();
}

QStringList NewFiles() {
  return QDir(RegistryFolder()).entryList({QStringLiteral("*.new-*")}, QDir::Files);
}

TEST(RegistryConcurrency, KilledWriterLosesNothingItCommitted) {
  // Each round a new hive: a kill may come while the child still creates it.
  constexpr int kRounds = 20;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE(round);
    FreshRegistry(QStringLiteral("round%1").arg(round));
    const std::size_t wanted = static_cast<std::size_t>(round % 4) * 10;
    auto child = StartChild({QStringLiteral("reg"), QStringLiteral("k"), QStringLiteral("0")});
    QByteArray output;
    while (Reported(output).size() < wanted && child->state() == QProcess::Running) {
      child->waitForReadyRead(kWaitMs);
      output += child->readAllStandardOutput();
    }
    child->kill();  // SIGKILL
    ASSERT_TRUE(child->waitForFinished(kWaitMs));
    output += child->readAllStandardOutput();
    // Only whole lines were reported as committed.
    output.truncate(output.lastIndexOf('\n') + 1);
    const std::set<int> reported = Reported(output);
    ASSERT_GE(reported.size(), wanted);

    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\QxConcurrency"), true));
    for (int i : reported)
      EXPECT_EQ(reg.ReadInteger(QStringLiteral("k%1").arg(i)), i);
    // The hive still takes writes, and nothing half-made is left beside it.
    reg.WriteInteger(QStringLiteral("after"), 1);
    EXPECT_EQ(reg.ReadInteger(QStringLiteral("after")), 1);
    EXPECT_EQ(NewFiles(), QStringList());
  }
}

TEST(RegistryConcurrency, EightProcessesCreatingOneHiveAtOnce) {
  constexpr int kProcesses = 8;
  constexpr int kCount = 10;
  for (int round = 0; round < 8; ++round) {
    SCOPED_TRACE(round);
    FreshRegistry(QStringLiteral("round%1").arg(round));
    Race race(qxtest::TempPath(QStringLiteral("go%1").arg(round)));
    for (int p = 0; p < kProcesses; ++p)
      race.Add({QStringLiteral("race"), QStringLiteral("p%1_").arg(p), QString::number(kCount)});
    race.Go();
    race.ExpectAllFinishedCleanly();
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKeyReadOnly(QStringLiteral("\\Software\\QxConcurrency")));
    for (int p = 0; p < kProcesses; ++p)
      for (int i = 0; i < kCount; ++i)
        EXPECT_EQ(reg.ReadInteger(QStringLiteral("p%1_%2").arg(p).arg(i)), i);
    EXPECT_EQ(NewFiles(), QStringList());
  }
}

TEST(RegistryConcurrency, FourWritersAndTwoReadersOnOneKey) {
  constexpr int kCount = 100;
  const QStringList writers{QStringLiteral("w0"), QStringLiteral("w1"), QStringLiteral("w2"),
                            QStringLiteral("w3")};
  Race race(qxtest::TempPath(QStringLiteral("go")));
  for (const QString& w : writers)
    race.Add({QStringLiteral("race"), w, QString::number(kCount)});
  for (int r = 0; r < 2; ++r)
    race.Add(QStringList{QStringLiteral("watch"), QString::number(kCount)} + writers);
  race.Go();
  race.ExpectAllFinishedCleanly();
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly(QStringLiteral("\\Software\\QxConcurrency")));
  TRegKeyInfo info;
  ASSERT_TRUE(reg.GetKeyInfo(info));
  EXPECT_EQ(info.NumValues, 4 * kCount);
  for (const QString& w : writers)
    for (int i = 0; i < kCount; ++i)
      EXPECT_EQ(reg.ReadInteger(w + QString::number(i)), i);
}

// This process's reads (kept in its read cache) never outlive another
// process's commit: between every two commits of the other process, a
// value read again and again, the list of names and each name's presence
// show exactly what was committed last.
TEST(RegistryConcurrency, ReadsSeeEveryCommitOfAnotherProcess) {
  constexpr int kCommits = 30;
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\QxConcurrency"), true));
  reg.WriteInteger(QStringLiteral("c1"), 100);
  // What the other process has committed so far, by name.
  std::map<QString, int> committed{{QStringLiteral("c1"), 100}};
  std::set<QString> gone;
  auto expectCommitted = [&](int step) {
    SCOPED_TRACE(step);
    TStringList names;
    reg.GetValueNames(&names);
    std::set<QString> listed;
    for (int i = 0; i < names.Count(); ++i) listed.insert(names.Get(i));
    std::set<QString> expected;
    for (const auto& [name, value] : committed) {
      expected.insert(name);
      EXPECT_EQ(reg.ReadInteger(name), value) << name.toStdString();
      EXPECT_TRUE(reg.ValueExists(name)) << name.toStdString();
    }
    EXPECT_EQ(listed, expected);
    for (const QString& name : gone) EXPECT_FALSE(reg.ValueExists(name)) << name.toStdString();
  };
  auto child = StartChild({QStringLiteral("step"), QStringLiteral("c"), QString::number(kCommits)});
  for (int i = 0; i < kCommits; ++i) {
    // Read twice before the commit: the cache holds it all.
    expectCommitted(i);
    expectCommitted(i);
    ASSERT_EQ(child->write("go\n"), 3);
    QByteArray line;
    while (!line.endsWith('\n') && child->state() == QProcess::Running) {
      child->waitForReadyRead(qxtest::WaitMs(10000));
      line += child->readLine();
    }
    ASSERT_EQ(line.trimmed(), QByteArray::number(i)) << child->readAllStandardError().toStdString();
    if (i % 3 == 0) {
      committed[QStringLiteral("c1")] = i;
    } else if (i % 3 == 1) {
      committed[QStringLiteral("cn%1").arg(i)] = i;
    } else {
      committed.erase(QStringLiteral("cn%1").arg(i - 1));
      gone.insert(QStringLiteral("cn%1").arg(i - 1));
    }
    expectCommitted(i + 1);
    if (HasFatalFailure()) return;
  }
  ExpectFinishedCleanly(*child);
  // And this process's own writes at once.
  reg.WriteInteger(QStringLiteral("c1"), 7);
  EXPECT_EQ(reg.ReadInteger(QStringLiteral("c1")), 7);
  EXPECT_TRUE(reg.DeleteValue(QStringLiteral("c1")));
  EXPECT_FALSE(reg.ValueExists(QStringLiteral("c1")));
  TStringList names;
  reg.GetValueNames(&names);
  EXPECT_EQ(names.Count(), 0);
}

// A read or a create through HKEY_CLASSES_ROOT (HKLM\Software\Classes)
// finds that key as it is at the call, after another process deleted and
// made it again, or made it where this process had found none.
TEST(RegistryConcurrency, ClassesRootIsFoundAgainAfterAnotherProcessChangedIt) {
  struct Case {
    const char* known;  // what this process read before: "Gen" or "nothing"
    const char* other;  // what the other process does: "recreate" or "create"
    bool create;        // this process's call: RegCreateKeyEx, else RegOpenKeyEx
  };
  const Case cases[] = {{"Gen", "recreate", false},
                        {"Gen", "recreate", true},
                        {"nothing", "create", false},
                        {"nothing", "create", true}};
  const auto lookUp = [](bool create, HKEY* key) {
    return create ? RegCreateKeyEx(HKEY_CLASSES_ROOT, QStringLiteral("Gen"), KEY_ALL_ACCESS, key)
                  : RegOpenKeyEx(HKEY_CLASSES_ROOT, QStringLiteral("Gen"), KEY_READ, key);
  };
  const auto valueOf = [](HKEY key) {
    QByteArray data;
    EXPECT_EQ(RegQueryValueEx(key, QStringLiteral("v"), nullptr, &data), ERROR_SUCCESS);
    RegCloseKey(key);
    return data.size() == 4 ? int(data[0]) : -1;
  };
  int serial = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.known) + " " + c.other + (c.create ? " create" : " open"));
    FreshRegistry(QStringLiteral("classes%1").arg(++serial));
    HKEY key{};
    if (QLatin1String(c.known) == QLatin1String("Gen")) {
      regtest::RunChild({QStringLiteral("classes"), QStringLiteral("create"), QStringLiteral("0")});
      ASSERT_EQ(lookUp(false, &key), ERROR_SUCCESS);
      EXPECT_EQ(valueOf(key), 0);
    } else {
      ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, QStringLiteral("Software\\Classes"), KEY_READ,
                             &key),
                ERROR_FILE_NOT_FOUND);
    }
    for (int round = 1; round <= 2; ++round) {
      regtest::RunChild(
          {QStringLiteral("classes"), QLatin1String(c.other), QString::number(round)});
      ASSERT_EQ(lookUp(c.create, &key), ERROR_SUCCESS) << "round " << round;
      EXPECT_EQ(valueOf(key), round);
    }
  }
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
