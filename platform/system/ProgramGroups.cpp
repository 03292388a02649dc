#include "platform/system/ProgramGroups.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/FileUtils.h"
#include "platform/system/ShellLinkEntry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QXmlStreamWriter>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace {

QString SystemText(int code) {
  return QString::fromLocal8Bit(std::strerror(code));
}

[[noreturn]] void FailGroup(const QString& what, const QString& path, int code) {
  throw EProgramGroupError(
      QStringLiteral("Cannot %1 \"%2\". %3").arg(what, path, SystemText(code)));
}

QString BaseFolder(const char* variable, const char* fallback) {
  const QString value = qEnvironmentVariable(variable);
  if (!value.isEmpty() && QDir::isAbsolutePath(value))
    return QDir::cleanPath(value);
  return QDir::homePath() + QLatin1Char('/') + QLatin1String(fallback);
}

QString DataHome() {
  return BaseFolder("XDG_DATA_HOME", ".local/share");
}

QString CleanAbsolute(const QString& path) {
  return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// The names of path below root; inside tells whether it is below it.
QStringList PartsBelow(const QString& root, const QString& path, bool& inside) {
  const QString prefix = root + QLatin1Char('/');
  inside = path.startsWith(prefix);
  return inside ? path.mid(prefix.size()).split(QLatin1Char('/'), Qt::SkipEmptyParts)
                : QStringList();
}

QStringList MenuParts(const QString& folder) {
  bool inside = false;
  QStringList parts = PartsBelow(CleanAbsolute(ApplicationsMenuFolder()), CleanAbsolute(folder), inside);
  if (inside)
    return parts;
  // The same folder reached through a symbolic link.
  const QString root = QFileInfo(ApplicationsMenuFolder()).canonicalFilePath();
  const QString canonical = QFileInfo(folder).canonicalFilePath();
  if (root.isEmpty() || canonical.isEmpty())
    return {};
  return PartsBelow(root, canonical, inside);
}

QString EscapedPart(QString part) {
  return part.replace(QLatin1Char('%'), QStringLiteral("%25"))
      .replace(QLatin1Char('-'), QStringLiteral("%2D"));
}

QString GroupId(const QStringList& parts) {
  QStringList escaped;
  for (const QString& part : parts)
    escaped << EscapedPart(part);
  return QStringLiteral("qx-") + escaped.join(QLatin1Char('-'));
}

QString FolderOf(const QStringList& parts) {
  return CleanAbsolute(ApplicationsMenuFolder()) + QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

void MakeFolder(const QString& folder) {
  errno = 0;
  if (!ForceDirectories(folder))
    FailGroup(QStringLiteral("create the folder"), folder, errno ? errno : EACCES);
}

void WriteGroupFile(const QString& fileName, const QByteArray& text) {
  MakeFolder(QFileInfo(fileName).absolutePath());
  try {
    WriteFileAtomically(fileName, text);
  } catch (const EAtomicFileError& e) {
    throw EProgramGroupError(e.Message());
  }
}

QByteArray DirectoryText(const QString& name) {
  try {
    return "[Desktop Entry]\nType=Directory\nName=" + EscapeDesktopString(name).toUtf8() + '\n';
  } catch (const EDesktopEntryError& e) {
    throw EProgramGroupError(e.Message());
  }
}

QByteArray MenuText(const QStringList& parts, const QString& directoryFile,
                    const QStringList& entries) {
  QByteArray text;
  QXmlStreamWriter xml(&text);
  xml.setAutoFormatting(true);
  xml.writeStartElement(QStringLiteral("Menu"));
  xml.writeTextElement(QStringLiteral("Name"), QStringLiteral("Applications"));
  for (const QString& part : parts) {
    xml.writeStartElement(QStringLiteral("Menu"));
    xml.writeTextElement(QStringLiteral("Name"), part);
  }
  xml.writeTextElement(QStringLiteral("Directory"), QFileInfo(directoryFile).fileName());
  if (!entries.isEmpty()) {
    xml.writeStartElement(QStringLiteral("Include"));
    for (const QString& entry : entries)
      xml.writeTextElement(QStringLiteral("Filename"), DesktopFileId(entry));
    xml.writeEndElement();
  }
  for (qsizetype i = 0; i <= parts.size(); ++i)
    xml.writeEndElement();
  xml.writeEndDocument();
  return text;
}

// Writes the group files of one level that are missing (the menu file
// always when rewrite).
void EnsureGroupFiles(const QStringList& parts, bool rewriteMenu) {
  const TLinkGroupFiles files = LinkGroupFilesOf(FolderOf(parts));
  if (!QFileInfo::exists(files.directoryFile))
    WriteGroupFile(files.directoryFile, DirectoryText(parts.last()));
  if (rewriteMenu || !QFileInfo::exists(files.menuFile))
    WriteGroupFile(files.menuFile,
                   MenuText(parts, files.directoryFile, LinkGroupEntries(FolderOf(parts))));
}

void RemoveFile(const QString& fileName) {
  if (::unlink(QFile::encodeName(fileName).constData()) != 0 && errno != ENOENT)
    FailGroup(QStringLiteral("remove"), fileName, errno);
}

}  // namespace

QString ApplicationsMenuFolder() {
  return DataHome() + QStringLiteral("/applications");
}

QString DesktopDirectoriesFolder() {
  return DataHome() + QStringLiteral("/desktop-directories");
}

QString MergedMenusFolder() {
  return BaseFolder("XDG_CONFIG_HOME", ".config") + QStringLiteral("/menus/applications-merged");
}

TLinkGroupFiles LinkGroupFilesOf(const QString& folder) {
  TLinkGroupFiles files;
  files.parts = MenuParts(folder);
  if (files.parts.isEmpty())
    return files;
  const QString id = GroupId(files.parts);
  files.directoryFile = DesktopDirectoriesFolder() + QLatin1Char('/') + id + QStringLiteral(".directory");
  files.menuFile = MergedMenusFolder() + QLatin1Char('/') + id + QStringLiteral(".menu");
  return files;
}

bool LinkGroupExists(const QString& folder) {
  const TLinkGroupFiles files = LinkGroupFilesOf(folder);
  return !files.parts.isEmpty() && QFileInfo(folder).isDir() &&
         QFileInfo::exists(files.directoryFile) && QFileInfo::exists(files.menuFile);
}

void CreateLinkGroup(const QString& folder) {
  MakeFolder(folder);
  const QStringList parts = LinkGroupFilesOf(folder).parts;
  for (qsizetype n = 1; n <= parts.size(); ++n)
    EnsureGroupFiles(parts.first(n), false);
}

void RefreshLinkGroup(const QString& folder) {
  CreateLinkGroup(folder);
  const QStringList parts = LinkGroupFilesOf(folder).parts;
  if (!parts.isEmpty())
    EnsureGroupFiles(parts, true);
}

void RemoveLinkGroup(const QString& folder) {
  const TLinkGroupFiles files = LinkGroupFilesOf(folder);
  if (files.parts.isEmpty())
    throw EProgramGroupError(
        QStringLiteral("\"%1\" is no folder of the applications menu").arg(folder));
  const QDir dir(folder);
  if (!dir.exists()) {
    RemoveFile(files.menuFile);
    RemoveFile(files.directoryFile);
    return;
  }
  for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden))
    RemoveLinkGroup(dir.filePath(sub));
  for (const QString& entry : LinkGroupEntries(folder))
    RemoveFile(entry);
  RemoveFile(files.menuFile);
  RemoveFile(files.directoryFile);
  // A folder that still holds something of somebody else's stays.
  if (::rmdir(QFile::encodeName(folder).constData()) != 0 && errno != ENOTEMPTY &&
      errno != EEXIST && errno != ENOENT)
    FailGroup(QStringLiteral("remove the folder"), folder, errno);
}

QStringList LinkGroupEntries(const QString& folder) {
  const QDir dir(folder);
  QStringList entries;
  for (const QString& name :
       dir.entryList({QStringLiteral("*.desktop")}, QDir::Files | QDir::Hidden, QDir::Name))
    entries << dir.filePath(name);
  return entries;
}

QString DesktopFileId(const QString& entryFile) {
  const QFileInfo info(entryFile);
  const QStringList parts = MenuParts(info.absolutePath());
  if (parts.isEmpty())
    return info.fileName();
  return parts.join(QLatin1Char('-')) + QLatin1Char('-') + info.fileName();
}
