#include "platform/rtl/FileUtils.h"

#include "platform/rtl/ChangeRecorder.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/ProcessState.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString& name) { return QFile::encodeName(name); }

QString SysText(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

bool StatOf(const QString& name, struct stat& st) {
  return !name.isEmpty() && ::stat(Native(name).constData(), &st) == 0;
}

QString FolderOf(const QString& fileName) {
  const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
  if (slash < 0)
    return QStringLiteral(".");
  return slash == 0 ? QStringLiteral("/") : fileName.left(slash);
}

QString NamePart(const QString& fileName) {
  return fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
}

QString Join(const QString& dir, const QString& name) {
  return dir.endsWith(QLatin1Char('/')) ? dir + name : dir + QLatin1Char('/') + name;
}

// Creates dir/prefixXXXX.tmp exclusively; returns its descriptor, or -1 with
// errno set.
int CreateTempFd(const QString& dir, const QString& prefix, QString& name) {
  constexpr int kAttempts = 1000;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const unsigned unique = QRandomGenerator::global()->bounded(0x10000u);
    const QString hex = QStringLiteral("%1").arg(unique, 4, 16, QLatin1Char('0')).toUpper();
    name = Join(dir, prefix + hex + QStringLiteral(".tmp"));
    const int fd = ::open(Native(name).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST)
      return fd;
  }
  errno = EEXIST;
  return -1;
}

// Copies what is left of from into out; false with errno set when a read
// fails (a failing write raises).
bool CopyContents(int from, TAtomicFile& out) {
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(from, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0)
      return false;
    if (n == 0)
      return true;
    out.Write(buffer, n);
  }
}

}  // namespace

// ---- existence and folders

bool FileExists(const QString& fileName) {
  struct stat st {};
  return StatOf(fileName, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const QString& dir) {
  struct stat st {};
  return StatOf(dir, st) && S_ISDIR(st.st_mode);
}

bool ForceDirectories(const QString& dir) {
  QString d = dir;
  while (d.size() > 1 && d.endsWith(QLatin1Char('/')))
    d.chop(1);
  if (d.isEmpty()) {
    errno = ENOENT;
    return false;
  }
  if (DirectoryExists(d))
    return true;
  const qsizetype slash = d.lastIndexOf(QLatin1Char('/'));
  if (slash > 0 && !ForceDirectories(d.left(slash)))
    return false;
  return CreateDir(d) || (errno == EEXIST && DirectoryExists(d));
}

bool CreateDir(const QString& dir) {
  if (!DirectoryExists(dir)) {
    try {
      RecordFoldersToMake(dir);
    } catch (const EChangeRefused& e) {
      errno = e.ErrorCode();
      return false;
    }
  }
  return ::mkdir(Native(dir).constData(), 0777) == 0;
}

bool RemoveDir(const QString& dir) { return ::rmdir(Native(dir).constData()) == 0; }

bool DeleteFile(const QString& fileName) { return ::unlink(Native(fileName).constData()) == 0; }

bool RenameFile(const QString& oldName, const QString& newName) {
  const QByteArray from = Native(oldName);
  const QByteArray to = Native(newName);
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
    return true;
  if (errno != EINVAL && errno != ENOSYS)
    return false;
  // The file system cannot refuse to replace; check first instead.
  struct stat st {};
  if (::lstat(to.constData(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return ::rename(from.constData(), to.constData()) == 0;
}

bool CopyFile(const QString& src, const QString& dst, bool failIfExists) {
  struct stat from {};
  if (!StatOf(src, from))
    return false;
  if (S_ISDIR(from.st_mode)) {
    errno = EISDIR;
    return false;
  }
  struct stat to {};
  if (StatOf(dst, to)) {
    if (to.st_dev == from.st_dev && to.st_ino == from.st_ino) {
      errno = EINVAL;  // onto itself: the copy would destroy its source
      return false;
    }
    if (failIfExists) {
      errno = EEXIST;
      return false;
    }
  }
  const int in = ::open(Native(src).constData(), O_RDONLY | O_CLOEXEC);
  if (in < 0)
    return false;
  int err = 0;
  try {
    TAtomicFile out(dst);
    const struct timespec times[2] = {from.st_atim, from.st_mtim};
    if (!CopyContents(in, out) || ::futimens(out.Handle(), times) != 0) {
      err = errno;
    } else {
      out.SetMode(from.st_mode & 07777);
      out.Commit(!failIfExists);
    }
  } catch (const EAtomicFileError& e) {
    err = e.ErrorCode();
  }
  ::close(in);
  errno = err;
  return err == 0;
}

// ---- dates and attributes

TDateTime FileAge(const QString& fileName) {
  struct stat st {};
  if (!StatOf(fileName, st))
    return -1;
  return FileDateToDateTime(static_cast<std::int64_t>(st.st_mtime));
}

int FileSetDate(const QString& fileName, TDateTime age) {
  struct timespec times[2] {};
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(DateTimeToFileDate(age));
  if (::utimensat(AT_FDCWD, Native(fileName).constData(), times, 0) != 0)
    return errno;
  return 0;
}

int FileGetAttr(const QString& fileName) {
  struct stat st {};
  if (!StatOf(fileName, st))
    return -1;
  int attr = 0;
  if (S_ISDIR(st.st_mode))
    attr |= faDirectory;
  else if (!S_ISREG(st.st_mode))
    attr |= faSysFile;  // devices, pipes, sockets
  const QString name = NamePart(fileName);
  if (name.startsWith(QLatin1Char('.')) && name != QLatin1String(".") && name != QLatin1String(".."))
    attr |= faHidden;
  if (::access(Native(fileName).constData(), W_OK) != 0 && (errno == EACCES || errno == EROFS))
    attr |= faReadOnly;
  return attr;
}

// ---- searches

bool MatchesMask(const QString& name, const QString& mask) {
  if (mask == QLatin1String("*.*"))
    return true;
  // Greedy match with one backtrack point at the last '*'.
  qsizetype n = 0, m = 0, starM = -1, starN = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == QLatin1Char('*')) {
      starM = m++;
      starN = n;
    } else if (m < mask.size() && (mask[m] == QLatin1Char('?') ||
                                   mask[m].toCaseFolded() == name[n].toCaseFolded())) {
      ++m;
      ++n;
    } else if (starM >= 0) {
      m = starM + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == QLatin1Char('*'))
    ++m;
  return m == mask.size();
}

int FindFirst(const QString& path, int attr, TSearchRec& rec) {
  FindClose(rec);
  const QString folder = path.contains(QLatin1Char('/')) ? FolderOf(path) : QStringLiteral(".");
  const QString mask = NamePart(path);
  DIR* dir = ::opendir(Native(folder).constData());
  if (dir == nullptr)
    return 3;
  QStringList names;
  while (const dirent* entry = ::readdir(dir)) {
    const QString name = QFile::decodeName(entry->d_name);
    if (name != QLatin1String(".") && name != QLatin1String("..") && MatchesMask(name, mask))
      names.append(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
  });
  rec.Pending = names;
  rec.Folder = path.contains(QLatin1Char('/')) ? folder : QString();
  rec.ExcludeAttr = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
  return FindNext(rec) == 0 ? 0 : 2;
}

int FindNext(TSearchRec& rec) {
  while (!rec.Pending.isEmpty()) {
    const QString name = rec.Pending.takeFirst();
    const QString full = rec.Folder.isEmpty() ? name : Join(rec.Folder, name);
    const int attr = FileGetAttr(full);
    if (attr < 0 || (attr & rec.ExcludeAttr) != 0)
      continue;  // gone since the listing, or not asked for
    struct stat st {};
    StatOf(full, st);
    rec.Name = name;
    rec.Attr = attr;
    rec.Size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::int64_t>(st.st_size);
    rec.Time = FileDateToDateTime(static_cast<std::int64_t>(st.st_mtime));
    return 0;
  }
  return 18;
}

void FindClose(TSearchRec& rec) {
  rec.Pending.clear();
  rec.Folder.clear();
  rec.ExcludeAttr = 0;
}

// ---- folders and names

QString GetCurrentDir() { return QDir::currentPath(); }

bool SetCurrentDir(const QString& dir) { return ::chdir(Native(dir).constData()) == 0; }

QString GetTempDir() {
  QString dir = qEnvironmentVariable("TMPDIR");
  if (dir.isEmpty())
    dir = QStringLiteral("/tmp");
  if (!dir.endsWith(QLatin1Char('/')))
    dir += QLatin1Char('/');
  return dir;
}

QString CreateTempFile(const QString& dir, const QString& prefix) {
  const QString folder = dir.isEmpty() ? GetTempDir() : dir;
  QString name;
  const int fd = CreateTempFd(folder, prefix, name);
  if (fd < 0)
    throw EFCreateError(QStringLiteral("Cannot create file \"%s\". %s"),
                        {Join(folder, prefix), SysText(errno)});
  ::close(fd);
  return name;
}

QString ExpandFileName(const QString& fileName) {
  if (fileName.isEmpty())
    return {};
  const QString absolute = fileName.startsWith(QLatin1Char('/'))
                               ? fileName
                               : Join(GetCurrentDir(), fileName);
  QStringList parts;
  for (const QString& part : absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    if (part == QLatin1String("..")) {
      if (!parts.isEmpty())  // ".." above the root stays at the root
        parts.removeLast();
    } else if (part != QLatin1String("."))
      parts.append(part);
  }
  QString result = QLatin1Char('/') + parts.join(QLatin1Char('/'));
  if (fileName.endsWith(QLatin1Char('/')) && !result.endsWith(QLatin1Char('/')))
    result += QLatin1Char('/');
  return result;
}

namespace {

struct DiskFreeHook {
  std::mutex lock;
  std::function<std::int64_t(const QString&)> hook;
};

DiskFreeHook& TheDiskFreeHook() {
  static DiskFreeHook hook;
  return hook;
}

const TResetHook kResetDiskFreeHook([] { SetDiskFreeHook(nullptr); });

}  // namespace

void SetDiskFreeHook(std::function<std::int64_t(const QString&)> hook) {
  DiskFreeHook& h = TheDiskFreeHook();
  std::lock_guard guard(h.lock);
  h.hook = std::move(hook);
}

std::int64_t DiskFree(const QString& path) {
  std::function<std::int64_t(const QString&)> hook;
  {
    DiskFreeHook& h = TheDiskFreeHook();
    std::lock_guard guard(h.lock);
    hook = h.hook;
  }
  if (hook) {
    const std::int64_t hooked = hook(path);
    if (hooked > -2) return hooked;
  }
  struct statvfs vfs {};
  if (::statvfs(Native(path).constData(), &vfs) != 0)
    return -1;
  return static_cast<std::int64_t>(vfs.f_bavail) * static_cast<std::int64_t>(vfs.f_frsize);
}

void ReplaceFileContents(const QString& fileName, const QByteArray& data) {
  WriteFileAtomically(fileName, data);
}
