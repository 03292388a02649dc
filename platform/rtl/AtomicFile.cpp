#include "platform/rtl/AtomicFile.h"

#include "platform/rtl/ChangeRecorder.h"

#include "platform/rtl/FileUtils.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString& name) { return QFile::encodeName(name); }

// Leaves room in NAME_MAX for the pid, the unique part and ".tmp".
constexpr qsizetype kMaxNameInTemp = 200;

// ".<name>." with the name shortened to fit; a shortened prefix may match
// another file's temporaries, which only matters for dead writers' files.
QString TempPrefix(const QString& target) {
  QString name = QFileInfo(target).fileName();
  while (Native(name).size() > kMaxNameInTemp)
    name.chop(1);
  return QLatin1Char('.') + name + QLatin1Char('.');
}

QString Folder(const QString& target) { return QFileInfo(target).path(); }

// The process id of a temporary's name after the prefix ("<pid>.<6 hex>.tmp");
// 0 when the rest is not in that form.
pid_t WriterOf(const QString& rest) {
  const qsizetype dot = rest.indexOf(QLatin1Char('.'));
  if (dot <= 0 || rest.size() != dot + 11 || !rest.endsWith(QLatin1String(".tmp")))
    return 0;
  for (QChar c : rest.mid(dot + 1, 6))
    if (!c.isDigit() && !(c >= QLatin1Char('A') && c <= QLatin1Char('F')))
      return 0;
  bool ok = false;
  const int pid = rest.left(dot).toInt(&ok, 10);
  return ok && pid > 0 && rest.front().isDigit() ? pid : 0;
}

// A zombie has died already; only its parent has not reaped it yet.
bool Zombie(pid_t pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly))
    return false;
  const QByteArray line = stat.readAll();
  const qsizetype close = line.lastIndexOf(')');
  return close > 0 && line.mid(close + 1).trimmed().startsWith('Z');
}

bool Alive(pid_t pid) {
  if (pid == ::getpid())
    return true;
  if (::kill(pid, 0) != 0)
    return errno == EPERM;
  return !Zombie(pid);
}

void RemoveStaleIn(const QString& folder, const QString& prefix) {
  DIR* dir = ::opendir(Native(folder).constData());
  if (dir == nullptr)
    return;
  const QByteArray prefixBytes = Native(prefix);
  while (const dirent* entry = ::readdir(dir)) {
    if (std::strncmp(entry->d_name, prefixBytes.constData(), size_t(prefixBytes.size())) != 0)
      continue;
    const pid_t pid = WriterOf(QFile::decodeName(entry->d_name + prefixBytes.size()));
    if (pid != 0 && !Alive(pid))
      ::unlinkat(::dirfd(dir), entry->d_name, 0);
  }
  ::closedir(dir);
}

// A symbolic link is replaced through its target.
QString ReplaceTarget(const QString& fileName) {
  const QFileInfo info(fileName);
  if (info.isSymLink()) {
    const QString target = info.canonicalFilePath();
    if (!target.isEmpty())
      return target;
  }
  return fileName;
}

bool SyncFolder(const QString& folder) {
  const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return false;
  // Some file systems cannot sync a folder; their renames are as durable as
  // they get.
  const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
  const int err = errno;
  ::close(fd);
  errno = err;
  return ok;
}

}  // namespace

EAtomicFileError::EAtomicFileError(const QString& fileName, int code)
    : EFCreateError(QStringLiteral("Cannot create file \"%s\". %s"),
                    {fileName, QString::fromLocal8Bit(std::strerror(code))}),
      fileName_(fileName),
      code_(code) {}

QString EAtomicFileError::SystemText() const {
  return QString::fromLocal8Bit(std::strerror(code_));
}

TAtomicFile::TAtomicFile(const QString& fileName)
    : fileName_(fileName), target_(ReplaceTarget(fileName)) {
  try {
    RecordFileToWrite(target_);
  } catch (const EChangeRefused& e) {
    Fail(e.ErrorCode());
  }
  const QString folder = Folder(target_);
  const QString prefix = TempPrefix(target_);
  RemoveStaleIn(folder, prefix);
  const QString stem = folder + QLatin1Char('/') + prefix + QString::number(::getpid()) +
                       QLatin1Char('.');
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts && fd_ < 0; ++attempt) {
    const unsigned unique = QRandomGenerator::global()->bounded(0x1000000u);
    tempName_ = stem + QStringLiteral("%1").arg(unique, 6, 16, QLatin1Char('0')).toUpper() +
                QStringLiteral(".tmp");
    fd_ = ::open(Native(tempName_).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ < 0 && errno != EEXIST)
      break;
  }
  if (fd_ < 0) {
    const int err = errno;
    tempName_.clear();
    Fail(err);
  }
}

TAtomicFile::~TAtomicFile() {
  if (fd_ >= 0)
    ::close(fd_);
  if (!committed_ && !tempName_.isEmpty())
    ::unlink(Native(tempName_).constData());
}

void TAtomicFile::Fail(int code) {
  if (!committed_) {
    if (fd_ >= 0)
      ::close(fd_);
    fd_ = -1;
    if (!tempName_.isEmpty())
      ::unlink(Native(tempName_).constData());
    tempName_.clear();
  }
  throw EAtomicFileError(fileName_, code);
}

void TAtomicFile::Write(const char* data, qint64 size) {
  if (fd_ < 0)
    Fail(EBADF);
  while (size > 0) {
    const ssize_t n = ::write(fd_, data, size_t(size));
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      Fail(n == 0 ? ENOSPC : errno);
    data += n;
    size -= n;
  }
}

void TAtomicFile::Commit(bool replaceExisting) {
  if (fd_ < 0)
    Fail(EBADF);
  struct stat old {};
  const bool hadOld = ::stat(Native(target_).constData(), &old) == 0;
  if (mode_ || hadOld) {
    if (::fchmod(fd_, mode_ ? *mode_ : old.st_mode & 07777) != 0)
      Fail(errno);
  }
  if (::fsync(fd_) != 0)
    Fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0)
    Fail(errno);
  const bool renamed =
      replaceExisting
          ? ::rename(Native(tempName_).constData(), Native(target_).constData()) == 0
          : RenameFile(tempName_, target_);
  if (!renamed)
    Fail(errno);
  committed_ = true;
  if (!SyncFolder(Folder(target_)))
    Fail(errno);
}

void WriteFileAtomically(const QString& fileName, const QByteArray& data) {
  TAtomicFile file(fileName);
  file.Write(data);
  file.Commit();
}

void RemoveStaleTemporaries(const QString& fileName) {
  const QString target = ReplaceTarget(fileName);
  RemoveStaleIn(Folder(target), TempPrefix(target));
}
