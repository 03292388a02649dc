#include "platform/printing/PrintFile.h"

#include "platform/printing/Printer.h"
#include "platform/rtl/ProcessState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <memory>

namespace {

// Bytes of a base name: with " (nnnnn).pdf" it stays within a file name's 255.
constexpr int kMaxBaseBytes = 200;
constexpr int kMaxTries = 10000;

// The notice, a process-wide object while one is set.
struct NoticeSlot {
  TPrintFileNotice notice;
};

bool IsFolder(const QString& path) {
  return !path.isEmpty() && QFileInfo(path).isDir();
}

QString BaseName(const QString& title) {
  QString base;
  for (QChar c : title)
    base += (c == QLatin1Char('/') || c.category() == QChar::Other_Control) ? QLatin1Char('_') : c;
  base = base.trimmed();
  while (QFile::encodeName(base).size() > kMaxBaseBytes)
    base.chop(base.size() > 1 && base.back().isLowSurrogate() ? 2 : 1);
  base = base.trimmed();
  if (base.isEmpty() || base == QLatin1String(".") || base == QLatin1String(".."))
    return QStringLiteral("document");
  return base;
}

QString Candidate(const QString& folder, const QString& base, int n) {
  const QString name = n == 1 ? base : QStringLiteral("%1 (%2)").arg(base).arg(n);
  return QDir(folder).filePath(name + QStringLiteral(".pdf"));
}

}  // namespace

QString PrintFileFolder() {
  const QString fromEnv = QFile::decodeName(qgetenv("XDG_DOCUMENTS_DIR"));
  if (IsFolder(fromEnv))
    return fromEnv;
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (IsFolder(documents))
    return documents;
  return QDir::homePath();
}

QString ReservePrintFile(const QString& folder, const QString& title) {
  const QString base = BaseName(title);
  for (int n = 1; n <= kMaxTries; ++n) {
    const QString path = Candidate(folder, base, n);
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
      continue;
    QFile file(path);
    // NewOnly fails on a name taken since the check, so the loop moves on.
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
      return path;
    if (!QFileInfo::exists(path))
      break;  // not a name taken meanwhile: the folder refuses new files
  }
  throw EPrinter(QStringLiteral("Cannot create a print file in \"%1\"").arg(folder));
}

void SetPrintFileNotice(TPrintFileNotice notice) {
  if (!notice) {
    FreeProcessObject<NoticeSlot>();
    return;
  }
  ProcessObject<NoticeSlot>().notice = std::move(notice);
}

void NotifyPrintFile(const QString& path) {
  // A copy: the notice may set another one.
  NoticeSlot* slot = FindProcessObject<NoticeSlot>();
  const TPrintFileNotice notice = slot != nullptr ? slot->notice : TPrintFileNotice();
  if (notice) notice(path);
}
