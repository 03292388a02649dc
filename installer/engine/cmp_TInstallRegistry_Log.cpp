#include "installer/engine/cmp_TInstallRegistry_Log.h"

#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "platform/rtl/StrUtils.h"

#include <climits>

namespace {

const QString kEntries = QStringLiteral("Entries");

// K\Files, then K\Files1, K\Files2, ...
QString FileListKey(const QString& uninstallKey, int n) {
  QString key = uninstallKey + QStringLiteral("\\Files");
  if (n > 0) key += QString::number(n);
  return key;
}

}  // namespace

int ReadLogEntries(const QString& key) {
  const QString text = ReadRegString(hkLocalMachine, key, kEntries, QStringLiteral("0"));
  const int count = StrToInt(text);
  // The next record is count + 1, which must still be a number.
  if (count < 0 || count == INT_MAX)
    throw EConvertError(QStringLiteral("'%1' is not a valid uninstall log count").arg(text));
  return count;
}

QString AppendUninstallFile(const QString& uninstallKey, const QString& fileName) {
  for (int n = 0;; ++n) {
    const QString key = FileListKey(uninstallKey, n);
    int index = 0;
    try {
      index = ReadLogEntries(key) + 1;
      WriteRegString(hkLocalMachine, key, QStringLiteral("File") + QString::number(index),
                     fileName);
    } catch (const Exception&) {
      // This list is full or damaged: the next one takes the record, up to
      // the last list, whose error is the one reported.
      if (n + 1 >= kMaxFileLogKeys) throw;
      continue;
    }
    WriteRegString(hkLocalMachine, key, kEntries, QString::number(index));
    return key;
  }
}
