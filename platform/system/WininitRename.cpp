#include "platform/system/WininitRename.h"

#include "platform/registry/IniFile.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/ChangeRecorder.h"
#include "platform/rtl/FileUtils.h"
#include "platform/system/RestartService.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

[[noreturn]] void Failed(const QString& path, int code) {
  throw EIniFileException(QStringLiteral("Unable to write to %s: %s"),
                          {path, QString::fromLocal8Bit(std::strerror(code))});
}

// The exclusive flock on "<path>.lock" that TIniFile's writers take too.
class TWininitLock {
 public:
  explicit TWininitLock(const QString& path) {
    try {
      RecordFileToWrite(path + QStringLiteral(".lock"));
    } catch (const EChangeRefused& e) {
      Failed(path, e.ErrorCode());
    }
    fd_ = ::open(QFile::encodeName(path + QStringLiteral(".lock")).constData(),
                 O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
      Failed(path, errno);
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        const int code = errno;
        ::close(fd_);
        Failed(path, code);
      }
    }
  }
  ~TWininitLock() { ::close(fd_); }
  TWininitLock(const TWininitLock&) = delete;
  TWininitLock& operator=(const TWininitLock&) = delete;

 private:
  int fd_ = -1;
};

// The file's lines, each with its line end; none for a missing file.
QList<QByteArray> ReadLines(const QString& path) {
  QFile file(path);
  if (!file.exists())
    return {};
  if (!file.open(QIODevice::ReadOnly))
    throw EIniFileException(QStringLiteral("Unable to read %s: %s"), {path, file.errorString()});
  QList<QByteArray> lines;
  while (!file.atEnd())
    lines.append(file.readLine());
  return lines;
}

QString Text(const QByteArray& line) {
  return QString::fromUtf8(line).trimmed();
}

bool IsHeader(const QString& text) {
  return text.startsWith(QLatin1Char('['));
}

bool IsRenameHeader(const QString& text) {
  return IsHeader(text) &&
         text.compare(QStringLiteral("[%1]").arg(QLatin1String(kWininitRenameSection)),
                      Qt::CaseInsensitive) == 0;
}

// Calls visit(index, entry) for every entry line of the rename sections.
template <typename Visit>
void ForEachEntry(const QList<QByteArray>& lines, Visit visit) {
  bool inRename = false;
  for (int i = 0; i < lines.size(); ++i) {
    const QString text = Text(lines[i]);
    if (IsHeader(text)) {
      inRename = IsRenameHeader(text);
      continue;
    }
    if (!inRename)
      continue;
    if (auto entry = ParseWininitLine(text)) {
      entry->line = i + 1;
      visit(i, *entry);
    }
  }
}

QString Unquoted(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.size() >= 2 && trimmed.startsWith(QLatin1Char('"')) &&
      trimmed.endsWith(QLatin1Char('"')))
    return trimmed.mid(1, trimmed.size() - 2);
  return trimmed;
}

void Rewrite(const QString& path, const QList<QByteArray>& lines) {
  ForceDirectories(QFileInfo(path).absolutePath());
  WriteFileAtomically(path, lines.join());
}

}  // namespace

std::optional<TWininitEntry> ParseWininitLine(const QString& line) {
  const QString text = line.trimmed();
  if (text.isEmpty() || text.startsWith(QLatin1Char(';')) || IsHeader(text))
    return std::nullopt;
  // A quoted target may hold "="; the separator follows its closing quote.
  qsizetype separator = -1;
  if (text.startsWith(QLatin1Char('"'))) {
    const qsizetype close = text.indexOf(QLatin1Char('"'), 1);
    if (close < 0)
      return std::nullopt;
    separator = text.indexOf(QLatin1Char('='), close + 1);
    if (separator < 0 || !text.mid(close + 1, separator - close - 1).trimmed().isEmpty())
      return std::nullopt;
  } else {
    separator = text.indexOf(QLatin1Char('='));
  }
  if (separator < 0)
    return std::nullopt;
  TWininitEntry entry;
  entry.target = Unquoted(text.left(separator));
  entry.source = Unquoted(text.mid(separator + 1));
  if (entry.target.isEmpty() || entry.source.isEmpty())
    return std::nullopt;
  return entry;
}

QString WininitLine(const QString& target, const QString& source) {
  const auto quote = [](const QString& path) {
    return path.compare(QLatin1String("NUL"), Qt::CaseInsensitive) == 0
               ? path
               : QLatin1Char('"') + path + QLatin1Char('"');
  };
  return quote(target) + QLatin1Char('=') + quote(source);
}

void AppendWininitLine(const QString& line) {
  const QString path = WininitPath();
  ForceDirectories(QFileInfo(path).absolutePath());
  const TWininitLock lock(path);
  QList<QByteArray> lines = ReadLines(path);
  if (!lines.isEmpty() && !lines.last().endsWith('\n'))
    lines.last() += '\n';
  // After the last entry (or the header) of the first rename section.
  qsizetype at = -1;
  bool inRename = false;
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const QString text = Text(lines[i]);
    if (IsHeader(text)) {
      if (inRename)
        break;
      inRename = IsRenameHeader(text);
      if (inRename)
        at = i + 1;
    } else if (inRename && !text.isEmpty()) {
      at = i + 1;
    }
  }
  if (at < 0) {
    lines.append(QStringLiteral("[%1]\n").arg(QLatin1String(kWininitRenameSection)).toUtf8());
    at = lines.size();
  }
  lines.insert(at, line.toUtf8() + '\n');
  Rewrite(path, lines);
}

void CarryOutWininitEntries(const std::function<bool(const TWininitEntry&)>& carry) {
  const QString path = WininitPath();
  if (!QFileInfo::exists(path))
    return;
  const TWininitLock lock(path);
  QList<QByteArray> lines = ReadLines(path);
  QList<qsizetype> done;
  ForEachEntry(lines, [&](int index, const TWininitEntry& entry) {
    if (carry(entry))
      done.append(index);
  });
  if (done.isEmpty())
    return;
  for (qsizetype i = done.size() - 1; i >= 0; --i)
    lines.removeAt(done[i]);
  Rewrite(path, lines);
}

bool HasWininitEntries() {
  bool any = false;
  try {
    ForEachEntry(ReadLines(WininitPath()), [&](int, const TWininitEntry&) { any = true; });
  } catch (const Exception&) {
    // An unreadable file is left for the next runner to report.
    return true;
  }
  return any;
}

QString WininitPath() {
  return IniWindowsFolder() + QLatin1Char('/') + QLatin1String(kWininitFileName);
}

void AddWininitRename(const QString& target, const QString& source) {
  // A quote or line break would change what the line says.
  for (const QString& path : {target, source}) {
    if (path.trimmed().isEmpty() || path.contains(QLatin1Char('"')) ||
        path.contains(QLatin1Char('\n')) || path.contains(QLatin1Char('\r')))
      throw EIniFileException(
          QStringLiteral("Unable to write to %s: the path \"%s\" cannot be written as a rename"),
          {WininitPath(), path});
  }
  AppendWininitLine(WininitLine(target, source));
  ScheduleRestartRunner();
}
