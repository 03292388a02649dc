#include "platform/registry/IniFile.h"

#include "platform/registry/IniDocument.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/UpdateScope.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

[[noreturn]] void WriteFailed(const QString& path) {
  throw EIniFileException(QStringLiteral("Unable to write to %s"), {path});
}

// An exclusive flock on "<path>.lock", held for one read-modify-write.
class FileLock {
 public:
  explicit FileLock(const QString& path) {
    const QByteArray lockName = QFile::encodeName(path + QStringLiteral(".lock"));
    fd_ = ::open(lockName.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
      WriteFailed(path);
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(fd_);
        WriteFailed(path);
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
}

TIniFile::~TIniFile() = default;

IniDocument TIniFile::Load() const {
  QFile file(path_);
  if (!file.exists())
    return IniDocument::FromBytes(QByteArray());
  if (!file.open(QIODevice::ReadOnly))
    throw EIniFileException(QStringLiteral("Unable to read %s"), {path_});
  return IniDocument::FromBytes(file.readAll());
}

template <typename Change>
void TIniFile::Modify(Change change) {
  if (!QDir::isAbsolutePath(fileName_))
    QDir().mkpath(IniWindowsFolder());
  if (!QFileInfo(path_).absoluteDir().exists())
    WriteFailed(path_);
  FileLock lock(path_);
  IniDocument doc = Load();
  if (!change(doc))
    return;
  QSaveFile out(path_);
  if (!out.open(QIODevice::WriteOnly))
    WriteFailed(path_);
  const QByteArray bytes = doc.ToBytes();
  if (out.write(bytes) != bytes.size() || !out.commit())
    WriteFailed(path_);
}

QString TIniFile::ReadString(const QString& section, const QString& ident,
                             const QString& def) const {
  const auto value = Load().Value(section, ident);
  return value ? StripIniQuotes(*value) : def;
}

void TIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
  CheckEntry(path_, section, ident, value);
  Modify([&](IniDocument& doc) { return doc.SetValue(section, ident.trimmed(), value); });
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
  Modify([&](IniDocument& doc) { return doc.EraseSection(section); });
}

void TIniFile::DeleteKey(const QString& section, const QString& ident) {
  Modify([&](IniDocument& doc) { return doc.DeleteKey(section, ident); });
}

bool TIniFile::SectionExists(const QString& section) const {
  return !Load().Keys(section).isEmpty();
}

bool TIniFile::ValueExists(const QString& section, const QString& ident) const {
  return Load().Value(section, ident).has_value();
}

void TIniFile::UpdateFile() {}
