#include "platform/system/SafeMove.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/system/FileOperation.h"
#include "platform/system/LastError.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

QByteArray Native(const QString& path) {
  return QFile::encodeName(path);
}

DWORD Fail(int code, const QString& what, QString* why) {
  if (why)
    *why = QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(code)));
  return ErrorFromErrno(code);
}

void SyncFolder(const QString& path) {
  const int fd = ::open(Native(QFileInfo(path).absolutePath()).constData(),
                        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

// rename, refusing an existing target unless replace; 0 or the errno.
int RenameOnto(const QByteArray& source, const QByteArray& target, bool replace) {
  if (replace)
    return ::rename(source.constData(), target.constData()) == 0 ? 0 : errno;
  if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) ==
      0)
    return 0;
  if (errno != EINVAL)
    return errno;
  // A file system without RENAME_NOREPLACE: a hard link never replaces.
  if (::link(source.constData(), target.constData()) != 0)
    return errno;
  ::unlink(source.constData());
  return 0;
}

DWORD CopyOnto(const QString& source, const QString& target, bool replace, QString* why) {
  const TCopyResult copied = CopyFileAtomically(source, target, replace);
  if (copied.code == 0)
    return ERROR_SUCCESS;
  return copied.reading ? Fail(copied.code, QStringLiteral("cannot read \"%1\"").arg(source), why)
                        : Fail(copied.code, QStringLiteral("cannot write \"%1\"").arg(target), why);
}

}  // namespace

TCopyResult CopyFileAtomically(const QString& source, const QString& target, bool replace) {
  QFile in(source);
  if (!in.open(QIODevice::ReadOnly))
    return {errno ? errno : EACCES, true};
  try {
    TAtomicFile out(target);
    struct stat st {};
    if (::fstat(in.handle(), &st) == 0)
      out.SetMode(unsigned(st.st_mode & 07777));
    QByteArray chunk;
    while (!(chunk = in.read(1 << 20)).isEmpty())
      out.Write(chunk);
    if (in.error() != QFileDevice::NoError)
      return {EIO, true};
    out.Commit(replace);
  } catch (const EAtomicFileError& e) {
    return {e.ErrorCode(), false};
  }
  return {};
}

DWORD SafeMove(const QString& source, const QString& target, bool replace, bool copyAllowed,
               QString* why) {
  const QByteArray from = Native(source);
  const QByteArray to = Native(target);
  struct stat st {};
  if (::lstat(from.constData(), &st) != 0)
    return Fail(errno, QStringLiteral("cannot move \"%1\"").arg(source), why);
  if (!replace && ::access(to.constData(), F_OK) == 0) {
    if (why)
      *why = QStringLiteral("cannot move \"%1\": \"%2\" already exists").arg(source, target);
    return ERROR_ALREADY_EXISTS;
  }
  const int renamed = RenameOnto(from, to, replace);
  if (renamed == 0) {
    SyncFolder(target);
    return ERROR_SUCCESS;
  }
  if (renamed != EXDEV || !copyAllowed || !S_ISREG(st.st_mode)) {
    const DWORD code =
        Fail(renamed, QStringLiteral("cannot move \"%1\" to \"%2\"").arg(source, target), why);
    // The source was there: what is missing is the target's folder.
    return code == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : code;
  }
  if (const DWORD copied = CopyOnto(source, target, replace, why))
    return copied;
  // The copy is complete and in place; only now may the source go.
  if (::unlink(from.constData()) != 0)
    return Fail(errno, QStringLiteral("moved \"%1\" but cannot remove it").arg(source), why);
  return ERROR_SUCCESS;
}

DWORD SafeDelete(const QString& path, QString* why) {
  const QByteArray name = Native(path);
  struct stat st {};
  if (::lstat(name.constData(), &st) != 0)
    return errno == ENOENT ? ERROR_SUCCESS
                           : Fail(errno, QStringLiteral("cannot delete \"%1\"").arg(path), why);
  const int result = S_ISDIR(st.st_mode) ? ::rmdir(name.constData()) : ::unlink(name.constData());
  if (result != 0)
    return Fail(errno, QStringLiteral("cannot delete \"%1\"").arg(path), why);
  SyncFolder(path);
  return ERROR_SUCCESS;
}
