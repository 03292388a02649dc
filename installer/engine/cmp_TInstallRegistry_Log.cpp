#include "installer/engine/cmp_TInstallRegistry_Log.h"

#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "platform/rtl/StrUtils.h"

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
