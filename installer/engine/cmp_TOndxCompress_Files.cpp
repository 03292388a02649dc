#include "installer/engine/cmp_TOndxCompress_Files.h"

#include "installer/engine/cmp_TOndxCompress_Texts.h"
#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

[[noreturn]] void CannotCreate(const QString& path) {
  throw EocCannotWrite(QString::fromLatin1(kOcCannotCreate), {path});
}

unsigned CurrentUmask() {
  const mode_t mask = ::umask(0);  // main thread only: read and restore at once
  ::umask(mask);
  return mask;
}

QString NewTempFile(const QString& dir, const QString& prefix, const QString& reportedName) {
  try {
    return CreateTempFile(dir, prefix);
  } catch (const Exception&) {
    CannotCreate(reportedName);
  }
}

}  // namespace

bool OcIsProgram(const QByteArray& head) {
  return head.startsWith("\x7f" "ELF") || head.startsWith("#!");
}

unsigned OcNewFileMode(bool program) {
  return (program ? 0777u : 0666u) & ~CurrentUmask();
}

std::optional<unsigned> OcFileMode(const QString& path) {
  struct stat st {};
  if (::stat(QFile::encodeName(path).constData(), &st) != 0)
    return std::nullopt;
  return static_cast<unsigned>(st.st_mode & 07777);
}

namespace {

// Temporary names carry the writer's process id: ".~oc<pid>-XXXX.tmp".
const QString kTempPrefix = QStringLiteral(".~oc");

QString TempPrefix() {
  return kTempPrefix + QString::number(::getpid()) + QLatin1Char('-');
}

// The writer of a temporary name; 0 for a name of another form.
pid_t TempWriter(const QString& name) {
  if (!name.startsWith(kTempPrefix))
    return 0;
  const qsizetype dash = name.indexOf(QLatin1Char('-'), kTempPrefix.size());
  bool ok = false;
  const qint64 pid = name.mid(kTempPrefix.size(), dash - kTempPrefix.size()).toLongLong(&ok);
  return dash > 0 && ok && pid > 0 ? static_cast<pid_t>(pid) : 0;
}

bool ProcessGone(pid_t pid) {
  return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// A descriptor of a regular file or folder, opened without blocking.
int OpenForSync(const QString& path, bool folder) {
  const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (folder ? O_DIRECTORY : O_NOFOLLOW);
  const int fd = ::open(QFile::encodeName(path).constData(), flags);
  struct stat st {};
  if (fd >= 0 && (::fstat(fd, &st) != 0 || (!folder && !S_ISREG(st.st_mode)))) {
    ::close(fd);
    errno = EINVAL;
    return -1;
  }
  return fd;
}

// fsyncs path; true also when it is gone.
bool SyncPath(const QString& path, bool folder, int& error) {
  const int fd = OpenForSync(path, folder);
  if (fd < 0) {
    error = errno;
    return error == ENOENT;
  }
  const bool synced = ::fsync(fd) == 0;
  error = errno;
  ::close(fd);
  return synced;
}

}  // namespace

void TOcSyncBatch::AddFile(const QString& path) {
  files_.insert(path);
}

bool TOcSyncBatch::AddFolder(const QString& path) {
  return folders_.insert(path.isEmpty() ? QStringLiteral(".") : path).second;
}

void TOcSyncBatch::AddNewFolders(const QString& path) {
  QString dir = path;
  while (!dir.isEmpty() && !DirectoryExists(dir)) {
    AddFolder(dir);
    const QString parent = ExtractFileDir(ExcludeTrailingPathDelimiter(dir));
    if (parent == dir)
      break;
    dir = parent;
  }
  AddFolder(dir);
}

bool TOcSyncBatch::Sync(QString& failedPath, int& error) {
  std::set<QString> files;
  std::set<QString> folders;
  files.swap(files_);
  folders.swap(folders_);
  for (const QString& f : files)
    if (!SyncPath(f, false, error)) {
      failedPath = f;
      return false;
    }
  for (const QString& d : folders)
    if (!SyncPath(d, true, error)) {
      failedPath = d;
      return false;
    }
  return true;
}

TOcReplacingFile::TOcReplacingFile(const QString& target) : target_(target) {
  const QString dir = ExtractFileDir(target);
  tempName_ = NewTempFile(dir.isEmpty() ? QStringLiteral(".") : dir, TempPrefix(), target);
  // The lock tells a cleaner in another process namespace that the writer lives.
  if (!file_.Open(tempName_, TOndxFile::omReadWrite) ||
      ::flock(file_.Stream().Handle(), LOCK_EX | LOCK_NB) != 0) {
    file_.Close();
    DeleteFile(tempName_);
    CannotCreate(target);
  }
}

TOcReplacingFile::~TOcReplacingFile() {
  if (committed_)
    return;
  file_.Close();
  DeleteFile(tempName_);
}

void TOcReplacingFile::Commit(std::optional<unsigned> mode, TOcSyncBatch* batch) {
  const int fd = file_.Stream().Handle();
  if (!mode) {
    QByteArray head(4, '\0');
    const std::int64_t n = ::pread(fd, head.data(), 4, 0);
    head.truncate(n > 0 ? static_cast<int>(n) : 0);
    mode = OcNewFileMode(OcIsProgram(head));
  }
  struct stat st {};
  const bool replaces = ::lstat(QFile::encodeName(target_).constData(), &st) == 0;
  if (::fchmod(fd, *mode) != 0)
    CannotCreate(target_);
  if (batch == nullptr || replaces) {
    if (!file_.Sync())
      CannotCreate(target_);
  } else {
    // Starts the write-back now, so the batch's sync finds little left.
    file_.StartWriteBack(0, 0);
  }
  if (!file_.Close())
    CannotCreate(target_);
  if (std::rename(QFile::encodeName(tempName_).constData(), QFile::encodeName(target_).constData()) != 0)
    CannotCreate(target_);
  committed_ = true;
  if (batch != nullptr) {
    if (!replaces)
      batch->AddFile(target_);
    batch->AddFolder(ExtractFileDir(target_));
  }
}

void OcRemoveStaleTemporaries(const QString& folder) {
  const QDir dir(folder.isEmpty() ? QStringLiteral(".") : folder);
  const QStringList names =
      dir.entryList({kTempPrefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
  for (const QString& name : names) {
    const pid_t writer = TempWriter(name);
    if (writer == 0 || writer == ::getpid() || !ProcessGone(writer))
      continue;
    const QString path = dir.filePath(name);
    const int fd = OpenForSync(path, false);
    if (fd < 0)
      continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
      ::unlink(QFile::encodeName(path).constData());
    ::close(fd);
  }
}
