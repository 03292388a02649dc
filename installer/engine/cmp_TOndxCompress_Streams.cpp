#include "installer/engine/cmp_TOndxCompress_Streams.h"

#include "platform/rtl/Exceptions.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::int64_t TOndxStream::Size() {
  const std::int64_t pos = Seek(0, soCurrent);
  const std::int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

std::int64_t TOndxNormalHandleStream::Read(void* buffer, std::int64_t count) {
  return ReadDescriptor(handle_, buffer, count);
}

std::int64_t TOndxNormalHandleStream::Write(const void* buffer, std::int64_t count) {
  return WriteDescriptor(handle_, buffer, count);
}

std::int64_t TOndxNormalHandleStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  const int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
  return ::lseek(handle_, offset, whence);
}

void TOndxNormalHandleStream::SetSize(std::int64_t newSize) {
  Seek(newSize, soBeginning);
  if (::ftruncate(handle_, newSize) != 0)
    RaiseLastOSError();
}

bool TOndxFile::Open(const QString& path, TMode mode) {
  Close();
  int flags = O_RDONLY;
  if (mode == omReadWrite)
    flags = O_RDWR;
  else if (mode == omCreate)
    flags = O_RDWR | O_CREAT | O_TRUNC;
  // Without O_NONBLOCK a FIFO or a device could block the open itself; the
  // flag is dropped again once the file is known to be a regular one.
  const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC | O_NONBLOCK, 0666);
  if (fd < 0)
    return false;
  struct stat st {};
  const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  const int status = regular ? ::fcntl(fd, F_GETFL) : -1;
  if (status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
    ::close(fd);
    errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    return false;
  }
  handle_ = fd;
  path_ = path;
  stream_.SetHandle(fd);
  return true;
}

bool TOndxFile::Close() {
  const bool closed = handle_ < 0 || ::close(handle_) == 0;
  handle_ = -1;
  stream_.SetHandle(-1);
  return closed;
}

bool TOndxFile::Sync() {
  return handle_ >= 0 && ::fsync(handle_) == 0;
}

void TOndxFile::StartWriteBack(std::int64_t offset, std::int64_t count) {
  if (handle_ >= 0)
    ::sync_file_range(handle_, offset, count, SYNC_FILE_RANGE_WRITE);
}
