#include "platform/system/FileOperation.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/system/SafeMove.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString& path) {
  return QFile::encodeName(path);
}

QString SystemText(int code) {
  return QString::fromLocal8Bit(std::strerror(code));
}

bool Exists(const QString& path) {
  struct stat st {};
  return ::lstat(Native(path).constData(), &st) == 0;
}

bool IsFolder(const QString& path) {
  struct stat st {};
  return ::lstat(Native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool HasWildcard(const QString& name) {
  return name.contains(QLatin1Char('*')) || name.contains(QLatin1Char('?'));
}

// "name (n).ext"; the name itself for n 1. A folder or a name whose only
// dot leads it has no extension.
QString NumberedName(const QString& name, int n, bool folder) {
  if (n == 1)
    return name;
  qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  if (dot <= 0 || folder)
    dot = name.size();
  return QStringLiteral("%1 (%2)%3").arg(name.left(dot)).arg(n).arg(name.mid(dot));
}

// A failure that ends the run.
struct TStop {
  LONG code;
  QString message;
};

class TRun {
 public:
  TRun(const TFileOpRequest& request, IFileOpUi& ui) : request_(request), ui_(ui) {}

  TFileOpResult Execute();

 private:
  bool Flag(FILEOP_FLAGS f) const { return (request_.flags & f) != 0; }
  // Yes unless the user said no; Cancel stops the run.
  bool Ask(TFileOpPrompt prompt, const QString& path, bool& toAll);
  QStringList Expand(const QString& source) const;
  QString TargetFor(int index, const QString& source, int sourceCount);
  void EnsureFolder(const QString& folder);
  void Transfer(const QString& source, QString target, bool move);
  void CopyTree(const QString& source, const QString& target);
  void CopyFile(const QString& source, const QString& target, bool replace);
  void Delete(const QString& path);
  void RemoveTree(const QString& path);
  [[noreturn]] void FailSystem(const QString& what, const QString& path, int code);

  const TFileOpRequest& request_;
  IFileOpUi& ui_;
  bool overwriteAll_ = false;
  bool mkdirAll_ = false;
  bool deleteAll_ = false;
  bool aborted_ = false;
};

struct TCancelled {};

bool TRun::Ask(TFileOpPrompt prompt, const QString& path, bool& toAll) {
  if (toAll || Flag(FOF_NOCONFIRMATION))
    return true;
  switch (ui_.Confirm(prompt, path)) {
    case TFileOpAnswer::YesToAll:
      toAll = true;
      return true;
    case TFileOpAnswer::Yes:
      return true;
    case TFileOpAnswer::No:
      aborted_ = true;
      return false;
    case TFileOpAnswer::Cancel:
      break;
  }
  aborted_ = true;
  throw TCancelled{};
}

void TRun::FailSystem(const QString& what, const QString& path, int code) {
  const LONG win = code == ENOENT ? ERROR_FILE_NOT_FOUND
                   : code == EACCES || code == EPERM ? ERROR_ACCESS_DENIED
                   : code == ENOSPC ? ERROR_DISK_FULL
                   : code == EEXIST ? ERROR_ALREADY_EXISTS
                                    : ERROR_CANTOPEN;
  throw TStop{win, QStringLiteral("Cannot %1 \"%2\". %3").arg(what, path, SystemText(code))};
}

QStringList TRun::Expand(const QString& source) const {
  const QFileInfo info(source);
  if (!HasWildcard(info.fileName())) {
    if (!Exists(source))
      throw TStop{ERROR_FILE_NOT_FOUND,
                  QStringLiteral("Cannot find \"%1\". %2").arg(source, SystemText(ENOENT))};
    return {source};
  }
  QDir::Filters filters = QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
  if (!Flag(FOF_FILESONLY))
    filters |= QDir::Dirs;
  QStringList paths;
  const QDir dir(info.path());
  for (const QString& name : dir.entryList({info.fileName()}, filters, QDir::Name))
    paths << dir.filePath(name);
  return paths;
}

QString TRun::TargetFor(int index, const QString& source, int sourceCount) {
  if (request_.function == FO_RENAME || Flag(FOF_MULTIDESTFILES)) {
    if (index >= request_.to.size())
      throw TStop{ERROR_INVALID_PARAMETER,
                  QStringLiteral("No destination for \"%1\".").arg(source)};
    return request_.to.at(index);
  }
  if (request_.to.size() != 1)
    throw TStop{ERROR_INVALID_PARAMETER,
                QStringLiteral("One destination is needed for \"%1\".").arg(source)};
  const QString& to = request_.to.first();
  // Several sources, or a folder that is there, take the sources inside.
  if (sourceCount > 1 || IsFolder(to)) {
    EnsureFolder(to);
    return QDir(to).filePath(QFileInfo(source).fileName());
  }
  return to;
}

void TRun::EnsureFolder(const QString& folder) {
  if (IsFolder(folder))
    return;
  if (!Flag(FOF_NOCONFIRMMKDIR) && !Ask(TFileOpPrompt::ConfirmMakeFolder, folder, mkdirAll_))
    throw TCancelled{};
  if (!QDir().mkpath(folder))
    FailSystem(QStringLiteral("create folder"), folder, errno ? errno : EACCES);
}

void TRun::CopyFile(const QString& source, const QString& target, bool replace) {
  const TCopyResult copied = CopyFileAtomically(source, target, replace);
  if (copied.code)
    FailSystem(copied.reading ? QStringLiteral("read") : QStringLiteral("write"),
               copied.reading ? source : target, copied.code);
}

void TRun::CopyTree(const QString& source, const QString& target) {
  if (!IsFolder(source)) {
    const bool exists = Exists(target);
    if (exists && !Ask(TFileOpPrompt::ConfirmOverwrite, target, overwriteAll_))
      return;
    CopyFile(source, target, exists);
    return;
  }
  if (!IsFolder(target) && ::mkdir(Native(target).constData(), 0777) != 0)
    FailSystem(QStringLiteral("create folder"), target, errno);
  const QDir dir(source);
  for (const QString& name :
       dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                     QDir::Name))
    CopyTree(dir.filePath(name), QDir(target).filePath(name));
}

void TRun::RemoveTree(const QString& path) {
  if (IsFolder(path)) {
    const QDir dir(path);
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
      RemoveTree(dir.filePath(name));
    if (::rmdir(Native(path).constData()) != 0)
      FailSystem(QStringLiteral("remove"), path, errno);
  } else if (::unlink(Native(path).constData()) != 0) {
    FailSystem(QStringLiteral("remove"), path, errno);
  }
}

void TRun::Transfer(const QString& source, QString target, bool move) {
  if (QFileInfo(source).absoluteFilePath() == QFileInfo(target).absoluteFilePath()) {
    if (!Flag(FOF_RENAMEONCOLLISION))
      throw TStop{ERROR_ALREADY_EXISTS,
                  QStringLiteral("\"%1\" cannot be its own destination.").arg(source)};
    if (move)
      return;
  }
  if (Exists(target) && Flag(FOF_RENAMEONCOLLISION))
    target = CollisionFreeName(target);
  const QString folder = QFileInfo(target).absolutePath();
  EnsureFolder(folder);
  if (IsFolder(source) && (QFileInfo(target).absoluteFilePath() + QLatin1Char('/'))
                              .startsWith(QFileInfo(source).absoluteFilePath() + QLatin1Char('/')))
    throw TStop{ERROR_INVALID_PARAMETER,
                QStringLiteral("\"%1\" cannot go inside itself.").arg(source)};
  if (move) {
    const bool exists = Exists(target);
    if (exists) {
      if (IsFolder(source) || IsFolder(target))
        throw TStop{ERROR_ALREADY_EXISTS, QStringLiteral("\"%1\" already exists.").arg(target)};
      if (!Ask(TFileOpPrompt::ConfirmOverwrite, target, overwriteAll_))
        return;
    }
    // rename replaces the old file atomically; across file systems the
    // source goes only after its copy is complete.
    if (::rename(Native(source).constData(), Native(target).constData()) == 0)
      return;
    if (errno != EXDEV)
      FailSystem(QStringLiteral("move"), source, errno);
    // The target was confirmed above; a folder goes to a fresh one.
    if (IsFolder(source))
      CopyTree(source, target);
    else
      CopyFile(source, target, exists);
    RemoveTree(source);
    return;
  }
  CopyTree(source, target);
}

void TRun::Delete(const QString& path) {
  if (!Flag(FOF_ALLOWUNDO)) {
    if (!Ask(TFileOpPrompt::ConfirmDelete, path, deleteAll_))
      return;
    RemoveTree(path);
    return;
  }
  const QString trash = HomeTrashFolder();
  const QString files = trash + QStringLiteral("/files");
  const QString infos = trash + QStringLiteral("/info");
  for (const QString& folder : {trash, files, infos})
    if (!IsFolder(folder) && ::mkdir(Native(folder).constData(), 0700) != 0 && errno != EEXIST)
      FailSystem(QStringLiteral("move to the trash"), path, errno);
  const QString absolute = QFileInfo(path).absoluteFilePath();
  QString name = QFileInfo(absolute).fileName();
  // The info file is made first and exclusively: it reserves the name.
  int fd = -1;
  QString info;
  for (int n = 1; fd < 0; ++n) {
    name = NumberedName(QFileInfo(absolute).fileName(), n, IsFolder(absolute));
    if (Exists(QDir(files).filePath(name)))
      continue;
    info = QDir(infos).filePath(name + QStringLiteral(".trashinfo"));
    fd = ::open(Native(info).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && (errno != EEXIST || n > 100000))
      FailSystem(QStringLiteral("move to the trash"), path, errno);
  }
  const QByteArray text =
      "[Trash Info]\nPath=" + QUrl::toPercentEncoding(QString::fromLocal8Bit(Native(absolute)), "/") +
      "\nDeletionDate=" +
      QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1() +
      "\n";
  int code = 0;
  if (::write(fd, text.constData(), size_t(text.size())) != text.size())
    code = errno ? errno : EIO;
  if (::fsync(fd) != 0 && !code)
    code = errno;
  if (::close(fd) != 0 && !code)
    code = errno;
  if (!code && ::rename(Native(absolute).constData(),
                        Native(QDir(files).filePath(name)).constData()) != 0)
    code = errno;
  if (code) {
    ::unlink(Native(info).constData());
    FailSystem(QStringLiteral("move to the trash"), path, code);
  }
}

TFileOpResult TRun::Execute() {
  TFileOpResult result;
  const UINT f = request_.function;
  try {
    if (f != FO_MOVE && f != FO_COPY && f != FO_DELETE && f != FO_RENAME)
      throw TStop{ERROR_INVALID_PARAMETER, QStringLiteral("Unknown file operation %1.").arg(f)};
    QStringList sources;
    for (const QString& s : request_.from)
      if (!s.isEmpty())
        sources << s;
    if (sources.isEmpty())
      throw TStop{ERROR_INVALID_PARAMETER, QStringLiteral("No files given.")};
    // Every named source must be there before anything is done.
    QList<QStringList> expanded;
    int count = 0;
    for (const QString& s : sources) {
      expanded << Expand(s);
      count += expanded.last().size();
    }
    const bool wildcard = count != sources.size() ||
                          std::any_of(sources.begin(), sources.end(), [](const QString& s) {
                            return HasWildcard(QFileInfo(s).fileName());
                          });
    int done = 0;
    for (int i = 0; i < expanded.size(); ++i) {
      for (const QString& path : expanded.at(i)) {
        if (!Flag(FOF_SILENT))
          ui_.Progress(request_.progressTitle, done, count,
                       Flag(FOF_SIMPLEPROGRESS) ? QString() : path);
        if (f == FO_DELETE)
          Delete(path);
        else
          Transfer(path, TargetFor(i, path, wildcard ? count + 1 : count), f != FO_COPY);
        ++done;
      }
    }
  } catch (const TStop& stop) {
    result.code = stop.code;
    result.message = stop.message;
    if (!(Flag(FOF_SILENT) && Flag(FOF_NOCONFIRMATION)))
      ui_.ShowError(stop.message);
  } catch (const TCancelled&) {
    result.code = ERROR_CANCELLED;
  }
  result.anyOperationsAborted = aborted_;
  return result;
}

}  // namespace

TFileOpResult RunFileOperation(const TFileOpRequest& request, IFileOpUi& ui) {
  return TRun(request, ui).Execute();
}

QString CollisionFreeName(const QString& path) {
  const QFileInfo info(path);
  const bool folder = IsFolder(path);
  for (int n = 2;; ++n) {
    const QString candidate = info.dir().filePath(NumberedName(info.fileName(), n, folder));
    if (!Exists(candidate))
      return candidate;
  }
}

QString HomeTrashFolder() {
  QString data = qEnvironmentVariable("XDG_DATA_HOME");
  if (data.isEmpty())
    data = QDir::homePath() + QStringLiteral("/.local/share");
  return data + QStringLiteral("/Trash");
}
