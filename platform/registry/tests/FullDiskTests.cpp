// Hives on a small, really full file system: a tmpfs mounted by the test.
#include "platform/registry/Registry.h"
#include "platform/rtl/ProcessState.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

const QString kKey = QStringLiteral("\\Software\\QxConcurrency");
const QString kFull = QStringLiteral(": There is not enough space on the disk.");

// A tmpfs of the given size, unmounted when it goes; the registry lives on it.
class SmallDisk {
 public:
  explicit SmallDisk(const char* size) : path_(qxtest::TempPath(QStringLiteral("small"))) {
    QDir().mkpath(path_);
    const QByteArray options = QByteArray("size=") + size;
    if (mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
              options.constData()) != 0) {
      error_ = QString::fromLocal8Bit(std::strerror(errno));
      return;
    }
    mounted_ = true;
    qputenv("XDG_DATA_HOME", QFile::encodeName(path_));
    ResetProcessState();
  }
  ~SmallDisk() {
    if (!mounted_)
      return;
    ResetProcessState();  // no open hive may keep the mount busy
    umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
  }
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  bool Mounted() const { return mounted_; }
  const QString& Error() const { return error_; }

  // Writes a filler file until the disk takes no byte more.
  void Fill() {
    const QByteArray filler = QFile::encodeName(Filler());
    const int fd = open(filler.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
    ASSERT_GE(fd, 0);
    static const char block[65536] = {};
    for (std::size_t chunk = sizeof block; chunk > 0; chunk /= 2)
      while (write(fd, block, chunk) == static_cast<ssize_t>(chunk)) {
      }
    close(fd);
  }
  void Free() { ASSERT_TRUE(QFile::remove(Filler())); }

 private:
  QString Filler() const { return path_ + QStringLiteral("/filler"); }

  QString path_;
  QString error_;
  bool mounted_ = false;
};

#define QX_SMALL_DISK(name, size)                                                   \
  SmallDisk name(size);                                                             \
  if (!name.Mounted())                                                              \
    GTEST_SKIP() << qxtest::SkipBecause(qxtest::TCapability::SmallTmpfsMount,        \
                                        QStringLiteral("cannot mount a tmpfs here (") + \
                                            name.Error() + QStringLiteral(")"));

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

TEST(RegistryFullDisk, LogStaysSmallBesideTheDatabase) {
  QX_SMALL_DISK(disk, "1m");
  // Each commit adds pages to the log; unbounded, 600 of them fill 1 MB.
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kKey, true));
  WriteValues(reg, 600);
  ExpectValues(reg, 600);
  const QString log = RegistryFolder() + QStringLiteral("/HKCU.sqlite-wal");
  EXPECT_LT(QFileInfo(log).size(), 600 * 1024);
}

TEST(RegistryFullDisk, OnlyTheWriteThatDoesNotFitFails) {
  constexpr int kCount = 50;
  QX_SMALL_DISK(disk, "2m");
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

TEST(RegistryFullDisk, WritesFailDeletesGoThroughAndReadersKeepReading) {
  constexpr int kCount = 50;
  QX_SMALL_DISK(disk, "2m");
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

}  // namespace
