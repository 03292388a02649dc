#include "platform/system/ShellLinkUrl.h"

#include "platform/rtl/AtomicFile.h"
#include "platform/system/ShellLinkEntry.h"

#include <QFile>
#include <QList>

#include <cerrno>

namespace {

const QByteArray kSection = QByteArrayLiteral("InternetShortcut");
const QByteArray kKey = QByteArrayLiteral("URL");

bool IsSectionLine(const QByteArray& line) {
  return line.trimmed().startsWith('[');
}

bool IsOurSection(const QByteArray& line) {
  const QByteArray t = line.trimmed();
  return t.size() >= 2 && t.startsWith('[') && t.endsWith(']') &&
         t.mid(1, t.size() - 2).trimmed().compare(kSection, Qt::CaseInsensitive) == 0;
}

bool IsOurKey(const QByteArray& line) {
  const qsizetype eq = line.indexOf('=');
  return eq > 0 && line.left(eq).trimmed().compare(kKey, Qt::CaseInsensitive) == 0;
}

// The file's lines without their LF; a CR before it stays with the line.
QList<QByteArray> LinesOf(const QByteArray& text) {
  QList<QByteArray> lines = text.split('\n');
  if (!lines.isEmpty() && lines.last().isEmpty())
    lines.removeLast();
  return lines;
}

}  // namespace

QByteArray URLShortcutText(const QByteArray& old, const QString& url) {
  const QByteArray entry = kKey + '=' + url.toUtf8();
  QList<QByteArray> lines = LinesOf(old);
  qsizetype section = -1;
  for (qsizetype i = 0; i < lines.size() && section < 0; ++i)
    if (IsOurSection(lines[i]))
      section = i;
  if (section < 0) {
    lines << '[' + kSection + "]\r" << entry + '\r';
  } else {
    qsizetype lastKey = section;
    qsizetype found = -1;
    for (qsizetype i = section + 1; i < lines.size() && !IsSectionLine(lines[i]); ++i) {
      if (!lines[i].trimmed().isEmpty())
        lastKey = i;
      if (found < 0 && IsOurKey(lines[i]))
        found = i;
    }
    if (found >= 0)
      lines[found] = entry + (lines[found].endsWith('\r') ? "\r" : "");
    else
      lines.insert(lastKey + 1, entry + '\r');
  }
  QByteArray text;
  for (const QByteArray& line : lines)
    text += line + '\n';
  return text;
}

void WriteURLShortcut(const QString& fileName, const QString& url) {
  for (QChar c : url)
    if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c.isNull())
      throw EDesktopEntryError(
          QStringLiteral("An internet shortcut cannot hold a line break in its URL: \"%1\"")
              .arg(fileName));
  QByteArray old;
  QFile file(fileName);
  if (file.exists()) {
    if (!file.open(QIODevice::ReadOnly))
      throw EAtomicFileError(fileName, EACCES);
    old = file.readAll();
  }
  WriteFileAtomically(fileName, URLShortcutText(old, url));
}

std::optional<QString> ReadURLShortcut(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly))
    return std::nullopt;
  bool inSection = false;
  for (QByteArray line : LinesOf(file.readAll())) {
    if (line.endsWith('\r'))
      line.chop(1);
    if (IsSectionLine(line))
      inSection = IsOurSection(line);
    else if (inSection && IsOurKey(line))
      return QString::fromUtf8(line.mid(line.indexOf('=') + 1).trimmed());
  }
  return std::nullopt;
}
