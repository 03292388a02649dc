#include "platform/rtl/Streams.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FileUtils.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

// ---- TStream

std::int64_t TStream::Position() { return Seek(0, soCurrent); }

void TStream::SetPosition(std::int64_t pos) { Seek(pos, soBeginning); }

std::int64_t TStream::Size() {
  const std::int64_t pos = Seek(0, soCurrent);
  const std::int64_t size = Seek(0, soEnd);
  Seek(pos, soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, std::int64_t count) {
  if (count != 0 && Read(buffer, count) != count)
    throw EReadError(QStringLiteral("Stream read error"));
}

void TStream::WriteBuffer(const void* buffer, std::int64_t count) {
  if (count != 0 && Write(buffer, count) != count)
    throw EWriteError(QStringLiteral("Stream write error"));
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  constexpr std::int64_t kBlock = 64 * 1024;
  std::vector<char> buffer(static_cast<size_t>(std::min(std::max<std::int64_t>(count, 1), kBlock)));
  std::int64_t left = count;
  while (left > 0) {
    const std::int64_t n = std::min<std::int64_t>(left, static_cast<std::int64_t>(buffer.size()));
    source.ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.data(), n);
    left -= n;
  }
  return count;
}

// ---- THandleStream

std::int64_t ReadDescriptor(int handle, void* buffer, std::int64_t count) {
  auto* p = static_cast<char*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(handle, p + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      break;  // end of file or error: the caller sees a short count
    done += n;
  }
  return done;
}

std::int64_t WriteDescriptor(int handle, const void* buffer, std::int64_t count) {
  const auto* p = static_cast<const char*>(buffer);
  std::int64_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(handle, p + done, static_cast<size_t>(count - done));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      break;
    done += n;
  }
  return done;
}

std::int64_t THandleStream::Read(void* buffer, std::int64_t count) {
  return ReadDescriptor(handle_, buffer, count);
}

std::int64_t THandleStream::Write(const void* buffer, std::int64_t count) {
  return WriteDescriptor(handle_, buffer, count);
}

std::int64_t THandleStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  return ::lseek(handle_, static_cast<off_t>(offset), kWhence[origin]);
}

void THandleStream::SetSize(std::int64_t newSize) {
  if (::ftruncate(handle_, static_cast<off_t>(newSize)) != 0)
    RaiseLastOSError();
  if (Position() > newSize)
    Seek(0, soEnd);
}

// ---- TFileStream

namespace {

QString LockedText() { return QStringLiteral("The file is in use by another process."); }

int LockFor(unsigned mode) {
  if (mode == fmCreate)
    return LOCK_EX;
  const unsigned share = mode & 0xF0;
  return share == fmShareExclusive || share == fmShareDenyRead ? LOCK_EX : LOCK_SH;
}

// Opens and locks; returns the descriptor or -1 with the failure's text.
int OpenLocked(const QByteArray& path, unsigned mode, QString& why) {
  int flags = O_CLOEXEC;
  if (mode == fmCreate) {
    flags |= O_RDWR | O_CREAT;  // truncated only once the lock is held
  } else {
    static constexpr int kAccess[] = {O_RDONLY, O_WRONLY, O_RDWR};
    if ((mode & 3) == 3) {
      why = QString::fromLocal8Bit(std::strerror(EINVAL));
      return -1;
    }
    flags |= kAccess[mode & 3];
  }
  const int fd = ::open(path.constData(), flags, 0666);
  if (fd < 0) {
    why = QString::fromLocal8Bit(std::strerror(errno));
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    why = QString::fromLocal8Bit(std::strerror(EISDIR));
    return -1;
  }
  if (::flock(fd, LockFor(mode) | LOCK_NB) != 0) {
    why = errno == EWOULDBLOCK ? LockedText() : QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return -1;
  }
  if (mode == fmCreate && ::ftruncate(fd, 0) != 0) {
    why = QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

TFileStream::TFileStream(const QString& fileName, unsigned mode)
    : THandleStream(-1), fileName_(fileName) {
  QString why;
  handle_ = OpenLocked(QFile::encodeName(fileName), mode, why);
  if (handle_ >= 0)
    return;
  if (mode == fmCreate)
    throw EFCreateError(QStringLiteral("Cannot create file \"%s\". %s"), {fileName, why});
  throw EFOpenError(QStringLiteral("Cannot open file \"%s\". %s"), {fileName, why});
}

TFileStream::~TFileStream() {
  if (handle_ >= 0)
    ::close(handle_);  // releases the share lock as well
}

// ---- TMemoryStream

std::int64_t TMemoryStream::Read(void* buffer, std::int64_t count) {
  if (position_ < 0 || count <= 0 || position_ >= data_.size())
    return 0;
  const std::int64_t n = std::min<std::int64_t>(count, data_.size() - position_);
  std::memcpy(buffer, data_.constData() + position_, static_cast<size_t>(n));
  position_ += n;
  return n;
}

std::int64_t TMemoryStream::Write(const void* buffer, std::int64_t count) {
  if (position_ < 0 || count <= 0)
    return 0;
  const std::int64_t end = position_ + count;
  if (end > data_.size())
    data_.resize(static_cast<qsizetype>(end), '\0');
  std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
  position_ = end;
  return count;
}

std::int64_t TMemoryStream::Seek(std::int64_t offset, TSeekOrigin origin) {
  switch (origin) {
    case soBeginning:
      position_ = offset;
      break;
    case soCurrent:
      position_ += offset;
      break;
    case soEnd:
      position_ = data_.size() + offset;
      break;
  }
  return position_;
}

void TMemoryStream::SetSize(std::int64_t newSize) {
  data_.resize(static_cast<qsizetype>(std::max<std::int64_t>(newSize, 0)), '\0');
  if (position_ > data_.size())
    position_ = data_.size();
}

void TMemoryStream::Clear() {
  data_.clear();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream& stream) {
  stream.SetPosition(0);
  const std::int64_t count = stream.Size();
  SetSize(count);
  stream.ReadBuffer(data_.data(), count);
}

void TMemoryStream::SaveToStream(TStream& stream) const {
  stream.WriteBuffer(data_.constData(), data_.size());
}

void TMemoryStream::LoadFromFile(const QString& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(file);
}

void TMemoryStream::SaveToFile(const QString& fileName) const {
  ReplaceFileContents(fileName, data_);
}

// ---- TStringStream

TStringStream::TStringStream(const QByteArray& data) { data_ = data; }

QByteArray TStringStream::ReadString(std::int64_t count) {
  if (position_ < 0 || count <= 0 || position_ >= data_.size())
    return {};
  const std::int64_t n = std::min<std::int64_t>(count, data_.size() - position_);
  QByteArray result = data_.mid(static_cast<qsizetype>(position_), static_cast<qsizetype>(n));
  position_ += n;
  return result;
}

void TStringStream::WriteString(const QByteArray& s) { Write(s.constData(), s.size()); }
