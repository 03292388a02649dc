#include "platform/system/RuntimeFolder.h"

#include "platform/rtl/Exceptions.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void Refuse(int code, const QString& folder, const QString& why) {
  throw EOSError(code, QStringLiteral("Window directory folder %1 %2").arg(folder, why));
}

// Checks with lstat, so a symbolic link planted in place of the folder is
// refused rather than followed.
void CheckPrivate(const QString& folder) {
  struct stat st {};
  if (::lstat(QFile::encodeName(folder).constData(), &st) != 0)
    Refuse(errno, folder, QStringLiteral("cannot be examined"));
  if (!S_ISDIR(st.st_mode))
    Refuse(ENOTDIR, folder, QStringLiteral("is not a folder"));
  if (st.st_uid != ::geteuid())
    Refuse(EACCES, folder, QStringLiteral("belongs to another user"));
  if ((st.st_mode & 077) != 0)
    Refuse(EACCES, folder, QStringLiteral("is open to other users"));
}

void CreateIfMissing(const QString& folder) {
  const QByteArray name = QFile::encodeName(folder);
  if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
    Refuse(errno, folder, QStringLiteral("cannot be created"));
}

}  // namespace

QString EnsurePrivateFolder(const QString& xdgRuntimeDir, const QString& tmpBase) {
  QString folder;
  if (!xdgRuntimeDir.isEmpty() && QDir::isAbsolutePath(xdgRuntimeDir))
    folder = QDir::cleanPath(xdgRuntimeDir) + QStringLiteral("/qx");
  else
    folder = QDir::cleanPath(tmpBase) + QStringLiteral("/qx-") + QString::number(::geteuid());
  CreateIfMissing(folder);
  CheckPrivate(folder);
  return folder;
}

QString WindowDirectoryFolder() {
  return EnsurePrivateFolder(qEnvironmentVariable("XDG_RUNTIME_DIR"), QStringLiteral("/tmp"));
}
