#include "platform/registry/IniFile.h"

#include "platform/registry/IniDocument.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/UpdateScope.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <optional>
#include <utility>

namespace {

QString SysText(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

[[noreturn]] void WriteFailed(const QString& path) {
  throw EIniFileException(QStringLiteral("Unable to write to %s"), {path});
}

[[noreturn]] void WriteFailed(const QString& path, const QString& why) {
  throw EIniFileException(QStringLiteral("Unable to write to %s: %s"), {path, why});
}

[[noreturn]] void ReadFailed(const QString& path, int code) {
  throw EIniFileException(QStringLiteral("Unable to read %s: %s"), {path, SysText(code)});
}

// The whole file; nullopt when it does not exist. Opened without asking
// first, so a rename by a writer can never make it look missing.
std::optional<QByteArray> ReadWhole(const QString& path) {
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT)
      return std::nullopt;
    ReadFailed(path, errno);
  }
  QByteArray bytes;
  char buffer[16 * 1024];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR)
      continue;
    if (n < 0) {
      const int err = errno;
      ::close(fd);
      ReadFailed(path, err);
    }
    if (n == 0)
      break;
    bytes.append(buffer, n);
  }
  ::close(fd);
  return bytes;
}

// An exclusive flock on "<path>.lock", held for one read-modify-write.
class FileLock {
 public:
  explicit FileLock(const QString& path) {
    const QByteArray lockName = QFile::encodeName(path + QStringLiteral(".lock"));
    fd_ = ::open(lockName.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
      WriteFailed(path, SysText(errno));
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        const int err = errno;
        ::close(fd_);
        WriteFailed(path, SysText(err));
      }
    }
  }
  ~FileLock() { ::close(fd_); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

 private:
  int fd_ = -1;
};

bool ValidName(const QString& text, const QString& forbidden) {
  for (QChar c : text)
    if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || forbidden.contains(c))
      return false;
  return true;
}

// Refuses texts that would change the file's structure: a line break
// anywhere, ']' in a section, '=' in a key, a key that reads as a comment or
// header.
void CheckEntry(const QString& path, const QString& section, const QString& ident,
                const QString& value) {
  const QString key = ident.trimmed();
  if (!ValidName(section, QStringLiteral("]")) || key.isEmpty() ||
      !ValidName(ident, QStringLiteral("=")) || key.startsWith(QLatin1Char(';')) ||
      key.startsWith(QLatin1Char('[')) || !ValidName(value, QString()))
    throw EIniFileException(QStringLiteral("Unable to write to %s: the entry [%s] %s is not valid"),
                            {path, section, ident});
}

}  // namespace

QString IniWindowsFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
         QStringLiteral("/qx/windows");
}

TIniFile::TIniFile(const QString& fileName) : fileName_(fileName) {
  path_ =
      QDir::isAbsolutePath(fileName) ? fileName : IniWindowsFolder() + QLatin1Char('/') + fileName;
  RemoveStaleTemporaries(path_);
}

TIniFile::~TIniFile() = default;

IniDocument TIniFile::LoadFile() const {
  return IniDocument::FromBytes(ReadWhole(path_).value_or(QByteArray()));
}

IniDocument TIniFile::Load() const {
  IniDocument doc = LoadFile();
  for (const Change& change : pending_)
    change(doc);
  return doc;
}

void TIniFile::Modify(Change change) {
  if (batchDepth_ > 0)
    pending_.push_back(std::move(change));
  else
    Rewrite({std::move(change)});
}

void TIniFile::Rewrite(const std::vector<Change>& changes) {
  if (!QDir::isAbsolutePath(fileName_))
    QDir().mkpath(IniWindowsFolder());
  if (!QFileInfo(path_).absoluteDir().exists())
    WriteFailed(path_);
  FileLock lock(path_);
  IniDocument doc = LoadFile();
  bool changed = false;
  for (const Change& change : changes)
    changed = change(doc) || changed;
  if (!changed)
    return;
  try {
    WriteFileAtomically(path_, doc.ToBytes());
  } catch (const EAtomicFileError& e) {
    WriteFailed(path_, e.SystemText());
  }
}

TIniFileBatch::TIniFileBatch(TIniFile* ini) : ini_(ini) {
  if (ini_ == nullptr)
    return;
  start_ = ini_->pending_.size();
  ++ini_->batchDepth_;
}

TIniFileBatch::~TIniFileBatch() {
  if (ini_ == nullptr)
    return;
  ini_->pending_.resize(start_);
  --ini_->batchDepth_;
}

void TIniFileBatch::Commit() {
  if (ini_ == nullptr)
    return;
  TIniFile* ini = std::exchange(ini_, nullptr);
  if (--ini->batchDepth_ > 0)
    return;
  // Taken out first: a failing rewrite drops the batch like an abandoned one.
  const std::vector<TIniFile::Change> changes = std::move(ini->pending_);
  ini->pending_.clear();
  ini->Rewrite(changes);
}

QString TIniFile::ReadString(const QString& section, const QString& ident,
                             const QString& def) const {
  const auto value = Load().Value(section, ident);
  return value ? StripIniQuotes(*value) : def;
}

void TIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
  CheckEntry(path_, section, ident, value);
  Modify([section, key = ident.trimmed(), value](IniDocument& doc) {
    return doc.SetValue(section, key, value);
  });
}

int TIniFile::ReadInteger(const QString& section, const QString& ident, int def) const {
  return ParseIniInteger(ReadString(section, ident, QString())).value_or(def);
}

void TIniFile::WriteInteger(const QString& section, const QString& ident, int value) {
  WriteString(section, ident, QString::number(value));
}

bool TIniFile::ReadBool(const QString& section, const QString& ident, bool def) const {
  return ReadInteger(section, ident, def ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const QString& section, const QString& ident, bool value) {
  WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::ReadSection(const QString& section, TStrings* strings) const {
  TUpdateScope batch(*strings);
  strings->Clear();
  for (const QString& key : Load().Keys(section))
    strings->Add(key);
  batch.Close();
}

void TIniFile::ReadSections(TStrings* strings) const {
  TUpdateScope batch(*strings);
  strings->Clear();
  for (const QString& name : Load().Sections())
    strings->Add(name);
  batch.Close();
}

void TIniFile::ReadSectionValues(const QString& section, TStrings* strings) const {
  const IniDocument doc = Load();
  TUpdateScope batch(*strings);
  strings->Clear();
  for (const QString& key : doc.Keys(section))
    strings->Add(key + QLatin1Char('=') +
                 StripIniQuotes(doc.Value(section, key).value_or(QString())));
  batch.Close();
}

void TIniFile::EraseSection(const QString& section) {
  Modify([section](IniDocument& doc) { return doc.EraseSection(section); });
}

void TIniFile::DeleteKey(const QString& section, const QString& ident) {
  Modify([section, ident](IniDocument& doc) { return doc.DeleteKey(section, ident); });
}

bool TIniFile::SectionExists(const QString& section) const {
  return !Load().Keys(section).isEmpty();
}

bool TIniFile::ValueExists(const QString& section, const QString& ident) const {
  return Load().Value(section, ident).has_value();
}

void TIniFile::UpdateFile() {}
