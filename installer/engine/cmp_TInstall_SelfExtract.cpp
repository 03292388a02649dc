#include "installer/engine/cmp_TInstall_SelfExtract.h"

#include "installer/engine/routines_Exceptions.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/ChangeRecorder.h"
#include "platform/system/SafeMove.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <cerrno>
#include <climits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kCopyBlock = 65536;

// Copies the whole of source into out; false when it cannot be read whole.
bool AppendFile(const QString& source, TAtomicFile& out) {
  QFile in(source);
  if (!in.open(QIODevice::ReadOnly))
    return false;
  const qint64 size = in.size();
  qint64 copied = 0;
  while (copied < size) {
    const QByteArray block = in.read(std::min(kCopyBlock, size - copied));
    if (block.isEmpty())
      return false;
    out.Write(block);
    copied += block.size();
  }
  return true;
}

}  // namespace

void WriteSelfExtractingProgram(const QString& setupExe, const QString& setup1,
                                const QString& files1) {
  const auto fail = [&setupExe](const QString& part) {
    return IEInstall(QString::fromLatin1(kTextCannotCreateSelfExtract), {part, setupExe});
  };
  const qint64 loader = QFileInfo(setupExe).size();
  const qint64 setupSize = QFileInfo(setup1).size();
  const bool withFiles = QFileInfo(files1).isFile();
  const qint64 filesSize = withFiles ? QFileInfo(files1).size() : 0;
  if (!QFileInfo(setupExe).isFile() || setupSize < 1)
    throw fail(setup1);
  if (loader + setupSize + filesSize + selfextract::kTrailerSize > INT32_MAX)
    throw fail(withFiles ? files1 : setup1);

  TAtomicFile out(setupExe);
  if (!AppendFile(setupExe, out) || QFileInfo(setupExe).size() != loader)
    throw fail(setupExe);
  TSelfExtractInfo info;
  info.Setup1Start = static_cast<std::int32_t>(loader);
  if (!AppendFile(setup1, out))
    throw fail(setup1);
  info.Setup1End = static_cast<std::int32_t>(loader + setupSize - 1);
  if (withFiles) {
    info.Files1Start = info.Setup1End + 1;
    if (!AppendFile(files1, out))
      throw fail(files1);
    info.Files1End = static_cast<std::int32_t>(info.Files1Start + filesSize - 1);
  }
  const selfextract::TTrailer trailer = selfextract::EncodeTrailer(info);
  out.Write(reinterpret_cast<const char*>(trailer.data()), static_cast<qint64>(trailer.size()));
  out.Commit();
}

TSelfExtractInfo ReadSelfExtractInfo(const QString& path) {
  QFile file(path);
  selfextract::TTrailer trailer{};
  TSelfExtractInfo info;
  const qint64 size = file.open(QIODevice::ReadOnly) ? file.size() : -1;
  const bool read = size >= selfextract::kTrailerSize && file.seek(size - selfextract::kTrailerSize) &&
                    file.read(reinterpret_cast<char*>(trailer.data()), selfextract::kTrailerSize) ==
                        selfextract::kTrailerSize;
  if (!read || !selfextract::DecodeTrailer(trailer, size, info))
    throw IEInstall(QString::fromLatin1(selfextract::kTextNoExtractionInfo), {path});
  return info;
}

QString ResumeRoot() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/qx/resume");
}

namespace {

QString Canonical(const QString& folder) {
  return folder.isEmpty() ? QString() : QDir(folder).canonicalPath();
}

// The marker's name of its folder; empty when it cannot be read.
QString MarkerName(const QString& folder) {
  const QFileInfo marker(folder + QLatin1Char('/') + QLatin1String(selfextract::kMarkerName));
  if (marker.isSymLink() || !marker.isFile() || marker.size() > 4096)
    return QString();
  QFile file(marker.filePath());
  if (!file.open(QIODevice::ReadOnly))
    return QString();
  const QByteArray content = file.readAll();
  if (!content.endsWith('\n'))
    return QString();
  return QFileInfo(QFile::decodeName(content.chopped(1))).canonicalFilePath();
}

QByteArray Native(const QString& path) {
  return QFile::encodeName(path);
}

// The folders of path that are missing, made private to the user.
bool MakePrivatePath(const QString& path) {
  const QByteArray native = Native(path);
  for (qsizetype at = native.indexOf('/', 1);; at = native.indexOf('/', at + 1)) {
    const QByteArray part = at < 0 ? native : native.left(at);
    if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
      return false;
    if (at < 0)
      break;
  }
  return QFileInfo(path).isDir();
}

bool SyncFolder(const QString& folder) {
  const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const bool synced = fd >= 0 && ::fsync(fd) == 0;
  if (fd >= 0)
    ::close(fd);
  return synced;
}

// Writes the marker of folder naming place: beside it, synced, renamed
// over it. The errno value, or 0.
int WriteMarker(const QString& folder, const QString& place) {
  const QString marker = folder + QLatin1Char('/') + QLatin1String(selfextract::kMarkerName);
  const QByteArray temporary = Native(marker + QStringLiteral(".new"));
  const QByteArray content = Native(place) + '\n';
  const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0)
    return errno;
  const bool written = ::write(fd, content.constData(), static_cast<size_t>(content.size())) == content.size() &&
                       ::fsync(fd) == 0;
  const int code = errno;
  ::close(fd);
  if (!written || ::rename(temporary.constData(), Native(marker).constData()) != 0) {
    const int failed = written ? errno : code;
    ::unlink(temporary.constData());
    return failed;
  }
  return 0;
}

// Copies the entries of folder into target (a link as a link), each file
// synced, then target itself. The errno value, or 0.
int CopyEntries(const QString& folder, const QString& target, const QStringList& entries) {
  for (const QString& entry : entries) {
    const QString from = folder + QLatin1Char('/') + entry;
    const QString to = target + QLatin1Char('/') + entry;
    struct stat st {};
    if (::lstat(Native(from).constData(), &st) != 0)
      return errno;
    if (S_ISLNK(st.st_mode)) {
      QByteArray link(static_cast<qsizetype>(st.st_size) + 1, '\0');
      const ssize_t got = ::readlink(Native(from).constData(), link.data(), static_cast<size_t>(link.size()));
      if (got < 0 || got >= link.size())
        return got < 0 ? errno : ENAMETOOLONG;
      link.truncate(got);
      if (::symlink(link.constData(), Native(to).constData()) != 0)
        return errno;
    } else if (S_ISREG(st.st_mode)) {
      const TCopyResult copied = CopyFileAtomically(from, to, false);
      if (copied.code != 0)
        return copied.code;
    } else {
      return EINVAL;
    }
  }
  return SyncFolder(target) ? 0 : errno;
}

}  // namespace

QString LoaderFolderOf(const QString& programPath) {
  const QString folder = QFileInfo(programPath).absoluteDir().canonicalPath();
  if (folder.isEmpty() || !QFileInfo(folder).fileName().startsWith(QLatin1String(selfextract::kFolderPrefix)))
    return QString();
  const QString parent = QFileInfo(folder).dir().canonicalPath();
  const QString cache = Canonical(QString::fromStdString(selfextract::CacheRoot()));
  const QString resume = Canonical(ResumeRoot());
  if (parent.isEmpty() || (parent != cache && parent != resume))
    return QString();
  return MarkerName(folder) == folder ? folder : QString();
}

bool RemoveLoaderFolder(const QString& programPath) {
  const QString folder = LoaderFolderOf(programPath);
  if (folder.isEmpty() || !QDir(folder).removeRecursively())
    return false;
  // The last folder left for a next login takes the folder of them along.
  const QString parent = QFileInfo(folder).absolutePath();
  if (parent == Canonical(ResumeRoot()))
    QDir().rmdir(parent);
  return true;
}

QString StartedSetupOf(const QString& programPath) {
  const QString folder = LoaderFolderOf(programPath);
  if (folder.isEmpty())
    return QString();
  const QString link = folder + QLatin1Char('/') + QLatin1String(selfextract::kStartedLinkName);
  return QFileInfo(link).isSymLink() && QFileInfo(link).isFile() ? link : QString();
}

QString MoveToResumeRoot(const QString& folder) {
  const QString root = ResumeRoot();
  QString target;
  do {
    target = root + QStringLiteral("/") + QLatin1String(selfextract::kFolderPrefix) +
             QString::number(QRandomGenerator::global()->generate(), 36);
  } while (QFileInfo::exists(target));
  const QStringList entries =
      QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  RecordFoldersToMake(target);
  for (const QString& entry : entries)
    RecordFileToWrite(target + QLatin1Char('/') + entry);
  if (!MakePrivatePath(target))
    throw EAtomicFileError(target, errno);
  // The marker names the new place before the move: the folder is the
  // loader's again only once it is there.
  int code = WriteMarker(folder, target);
  if (code == 0) {
    // Onto the new folder, which is empty: a rename replaces it.
    if (::rename(Native(folder).constData(), Native(target).constData()) == 0) {
      if (!SyncFolder(root))
        throw EAtomicFileError(target, errno);
      return target;
    }
    code = errno;
  }
  if (code == EXDEV)
    code = CopyEntries(folder, target, entries);
  if (code == 0) {
    QDir(folder).removeRecursively();
    return target;
  }
  WriteMarker(folder, folder);
  QDir(target).removeRecursively();
  throw EAtomicFileError(target, code);
}
