// TIniFile on a full disk, under writers killed mid-write and with readers
// racing writers in other processes.
#include "platform/registry/IniFile.h"
#include "tests/support/PeerProcess.h"
#include "tests/support/SmallDisk.h"
#include "tests/support/TestSupport.h"

#include <QDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <csignal>

namespace {

QStringList Names(const QString& folder) {
  return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

std::unique_ptr<qxtest::TPeerProcess> StartChild(const QStringList& args) {
  return std::make_unique<qxtest::TPeerProcess>(QStringLiteral(QX_INI_CHILD), args);
}

// A 9.5 KB file of many sections, as the installer leaves behind.
QByteArray BigIni() {
  QByteArray bytes;
  for (int s = 0; bytes.size() < 9700; ++s) {
    bytes += "[Section" + QByteArray::number(s) + "]\r\n";
    for (int k = 0; k < 8; ++k)
      bytes += "Key" + QByteArray::number(k) + "=value of some length " + QByteArray::number(k) +
               "\r\n";
  }
  return bytes;
}

TEST(IniFileDurability, FullDiskRaisesAndKeepsTheOldFileByteIdentical) {
  qxtest::TSmallDisk disk(64 * 1024);
  if (!disk.Mounted())
    GTEST_SKIP() << disk.SkipReason().toStdString();
  const QString path = disk.FilePath(QStringLiteral("setup.ini"));
  const QByteArray old = BigIni();
  qxtest::WriteBytes(path, old);
  TIniFile ini(path);
  ini.WriteString(QStringLiteral("Section0"), QStringLiteral("Key0"), QStringLiteral("value of some length 0"));
  const QString full = QStringLiteral("Unable to write to %1: No space left on device").arg(path);
  EXPECT_EQ(qxtest::MessagesWhenFull<EIniFileException>(disk, [&] {
              ini.WriteString(QStringLiteral("Section0"), QStringLiteral("Added"), QStringLiteral("x"));
            }),
            (QStringList{full, full}));
  EXPECT_EQ(qxtest::ReadBytes(path), old);
  EXPECT_EQ(Names(disk.Path()), (QStringList{"filler.bin", "setup.ini", "setup.ini.lock"}));
  disk.Unfill();
  ini.WriteString(QStringLiteral("Section0"), QStringLiteral("Added"), QStringLiteral("x"));
  EXPECT_EQ(ini.ReadString(QStringLiteral("Section0"), QStringLiteral("Added"), QString()),
            QStringLiteral("x"));
}

TEST(IniFileDurability, KilledWritersLoseNothingCommittedAndLeaveNoTemporary) {
  constexpr int kRounds = 20;
  const QString folder = qxtest::TempPath(QStringLiteral("kill"));
  QDir().mkpath(folder);
  const QString path = folder + QStringLiteral("/mru.ini");
  std::vector<int> committed;  // every round any writer reported
  for (int round = 0; round < kRounds; ++round) {
    auto child = StartChild({QStringLiteral("loop"), path});
    // Killed at a different point of its loop in each round.
    int last = -1;
    for (int seen = 0; seen <= round % 3; ++seen) {
      const QString line = child->ReadLine();
      ASSERT_FALSE(line.isEmpty()) << "the writer reported nothing";
      last = line.toInt();
    }
    ASSERT_EQ(::kill(pid_t(child->Pid()), SIGKILL), 0);
    child->Stop();
    for (QString line = child->ReadLine(); !line.isEmpty(); line = child->ReadLine())
      last = line.toInt();

    TIniFile ini(path);
    EXPECT_EQ(Names(folder), (QStringList{"mru.ini", "mru.ini.lock"})) << "round " << round;
    for (int r = 0; r <= last; ++r)
      EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("k%1").arg(r), -1), r);
    // The section was rewritten whole or not at all.
    const int items = ini.ReadInteger(QStringLiteral("R"), QStringLiteral("Item_0"), -1);
    EXPECT_TRUE(items == last || items == last + 1) << items << " after " << last;
    for (int j = 1; j < 5; ++j)
      EXPECT_EQ(ini.ReadInteger(QStringLiteral("R"), QStringLiteral("Item_%1").arg(j), -1), items);
    committed.push_back(last);
    // The next writer starts on a file of its own rounds.
    QFile::remove(path);
  }
  EXPECT_EQ(committed.size(), std::size_t(kRounds));
}

TEST(IniFileDurability, ReadersRacingWritersNeverMissAKey) {
  const QString path = qxtest::TempPath(QStringLiteral("race.ini"));
  qxtest::WriteBytes(path, "[S]\nfixed=1\n");
  std::vector<std::unique_ptr<qxtest::TPeerProcess>> writers;
  std::vector<std::unique_ptr<qxtest::TPeerProcess>> readers;
  for (const char* prefix : {"a", "b"})
    writers.push_back(StartChild({QStringLiteral("write"), path, QLatin1String(prefix),
                                  QStringLiteral("60")}));
  // Readers start once the writers are writing.
  for (auto& writer : writers)
    ASSERT_FALSE(writer->ReadLine().isEmpty());
  for (int i = 0; i < 3; ++i)
    readers.push_back(StartChild({QStringLiteral("read"), path, QStringLiteral("800")}));
  for (auto& reader : readers) {
    const QString misses = reader->ReadLine();
    EXPECT_EQ(misses, QStringLiteral("0"));
    reader->Stop();
    EXPECT_EQ(reader->ExitCode(), 0);
  }
  for (auto& writer : writers) {
    writer->Stop();
    EXPECT_EQ(writer->ExitCode(), 0);
  }
  TIniFile ini(path);
  for (int i = 0; i < 60; ++i) {
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("a%1").arg(i), -1), i);
    EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("b%1").arg(i), -1), i);
  }
}

}  // namespace
