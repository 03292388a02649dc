#include "tests/support/SmallDisk.h"

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace qxtest {

namespace {

const char kFiller[] = "filler.bin";

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

}  // namespace

TSmallDisk::TSmallDisk(std::int64_t bytes)
    : TSmallDisk(bytes, [] {
        static int serial = 0;
        const QString path = TempPath(QStringLiteral("smalldisk%1").arg(++serial));
        QDir().mkpath(path);
        return path;
      }()) {}

TSmallDisk::TSmallDisk(std::int64_t bytes, const QString& folder) : path_(folder) {
  const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
  if (::mount("tmpfs", Native(path_).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
              options.constData()) == 0) {
    mounted_ = true;
    return;
  }
  reason_ = QString::fromStdString(SkipBecause(
      TCapability::SmallTmpfsMount, QStringLiteral("a small tmpfs cannot be mounted here (%1); run as root to test "
                                                   "full disks")
                                        .arg(QString::fromLocal8Bit(std::strerror(errno)))));
}

TSmallDisk::~TSmallDisk() {
  if (mounted_)
    ::umount2(Native(path_).constData(), MNT_DETACH);
}

std::int64_t TSmallDisk::BytesFree() const {
  struct statvfs vfs {};
  if (::statvfs(Native(path_).constData(), &vfs) != 0)
    return -1;
  return std::int64_t(vfs.f_bavail) * std::int64_t(vfs.f_frsize);
}

std::int64_t TSmallDisk::FillLeaving(std::int64_t bytesFree) {
  const QByteArray filler = Native(FilePath(QString::fromLatin1(kFiller)));
  const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0)
    return BytesFree();
  // Writes until the disk is full, then gives back what should stay free.
  static const QByteArray block(4096, 'f');
  while (::write(fd, block.constData(), size_t(block.size())) > 0) {
  }
  struct stat st {};
  if (bytesFree > 0 && ::fstat(fd, &st) == 0)
    if (::ftruncate(fd, st.st_size > bytesFree ? st.st_size - bytesFree : 0) != 0)
      ADD_FAILURE() << "cannot shorten the filler";
  ::close(fd);
  return BytesFree();
}

void TSmallDisk::Unfill() { ::unlink(Native(FilePath(QString::fromLatin1(kFiller))).constData()); }

}  // namespace qxtest
