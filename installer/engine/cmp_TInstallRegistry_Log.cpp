#include "installer/engine/cmp_TInstallRegistry_Log.h"

#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "platform/rtl/StrUtils.h"

#include <QStringList>

#include <climits>

namespace {

const QString kEntries = QStringLiteral("Entries");

}  // namespace

int ReadLogEntries(const QString& key) {
  const QString text = ReadRegString(hkLocalMachine, key, kEntries, QStringLiteral("0"));
  const int count = StrToInt(text);
  // The next record is count + 1, which must still be a number.
  if (count < 0 || count == INT_MAX)
    throw EConvertError(QStringLiteral("'%1' is not a valid uninstall log count").arg(text));
  return count;
}

int FindLoggedRegistryKey(const QString& listKey, int count, const QString& key, TRootKeys root) {
  // Paths are compared as the registry takes them: empty parts skipped.
  const auto parts = [](const QString& path) {
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts).join(QLatin1Char('\\'));
  };
  const QString wanted = parts(key);
  for (int i = 1; i <= count; ++i) {
    const QString record = listKey + QStringLiteral("\\RegistryKey") + QString::number(i);
    const QString logged = ReadRegString(hkLocalMachine, record, QStringLiteral("Key"), QString());
    if (!logged.isEmpty() &&
        ReadRegInteger(hkLocalMachine, record, QStringLiteral("Root"), -1) == root &&
        parts(logged).compare(wanted, Qt::CaseInsensitive) == 0)
      return i;
  }
  return 0;
}
