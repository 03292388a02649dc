#include "platform/registry/tests/TestDisk.h"

#include "platform/registry/tests/HookedDisk.h"
#include "platform/rtl/ProcessState.h"
#include "tests/support/TestSupport.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace regtest {

namespace {

bool MountTmpfs(const QString& folder, std::int64_t bytes, QString* error) {
  const QByteArray options = "size=" + QByteArray::number(bytes);
  if (mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
            options.constData()) == 0)
    return true;
  *error = QString::fromLocal8Bit(std::strerror(errno));
  return false;
}

}  // namespace

TestDisk::TestDisk(DiskKind kind, std::int64_t bytes) : kind_(kind) {
  static int serial = 0;
  path_ = qxtest::TempPath(QStringLiteral("disk%1").arg(++serial));
  QDir().mkpath(path_);
  ResetProcessState();
  if (kind == DiskKind::Mounted) {
    if (!MountTmpfs(path_, bytes, &error_))
      return;
  } else {
    StartHookedDisk(path_, bytes, nullptr);
    SetHookedDiskEnvironment(true);
  }
  qputenv("XDG_DATA_HOME", QFile::encodeName(path_));
  ready_ = true;
}

TestDisk::~TestDisk() {
  ResetProcessState();  // no hive stays open on the disk
  if (!ready_)
    return;
  if (kind_ == DiskKind::Mounted) {
    umount2(QFile::encodeName(path_).constData(), MNT_DETACH);
    return;
  }
  SetHookedDiskEnvironment(false);
  EndHookedDisk();
}

void TestDisk::Fill() {
  const int fd = ::open(QFile::encodeName(Filler()).constData(),
                        O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0)
    return;
  if (kind_ == DiskKind::Hooked) {
    FillHookedDisk(fd);
  } else {
    static const char block[65536] = {};
    for (std::size_t chunk = sizeof block; chunk > 0; chunk /= 2)
      while (::write(fd, block, chunk) == static_cast<ssize_t>(chunk)) {
      }
  }
  ::close(fd);
}

void TestDisk::Free() { QFile::remove(Filler()); }

}  // namespace regtest
