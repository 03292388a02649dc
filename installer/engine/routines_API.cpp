#include "installer/engine/routines_API.h"

#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/FileUtils.h"

#include <QDir>

namespace {

QString DataHome() {
  const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
  // Relative values are invalid by the XDG rules and are ignored.
  if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
    return QDir::cleanPath(xdg);
  return QDir::homePath() + QStringLiteral("/.local/share");
}

QString EnsureDir(const QString& dir, const char* failure) {
  if (!DirectoryExists(dir) && !ForceDirectories(dir))
    throw EAPIRoutines(QString::fromLatin1(failure));
  return dir;
}

}  // namespace

QString GetShortPath(const QString& longPath) { return longPath; }

int GetWindowsVersionKind() { return 2; }

QString CreateTempFileName(bool keep) {
  QString name;
  try {
    name = CreateTempFile(GetTempDir(), QStringLiteral("bat"));
  } catch (const Exception&) {
    throw EAPIRoutines(QString::fromLatin1(kTextNoTempFile));
  }
  if (!keep)
    DeleteFile(name);
  return name;
}

QString GetWindowsDir() {
  return EnsureDir(DataHome() + QStringLiteral("/qx/windows"), kTextNoWindowsDir);
}

QString GetSystemDir() {
  QString windows;
  try {
    windows = GetWindowsDir();
  } catch (const EAPIRoutines&) {
    throw EAPIRoutines(QString::fromLatin1(kTextNoSystemDir));
  }
  return EnsureDir(windows + QStringLiteral("/system"), kTextNoSystemDir);
}
