#include "installer/engine/cmp_TInstallContainer_Ondrix.h"

#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "installer/engine/routines_Strings.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/StringList.h"

QString FindOndrixDirectory(bool raise) {
  const QString searchPath = ReadRegString(hkCurrentUser, QString::fromLatin1(kLibrarySearchKey),
                                           QString::fromLatin1(kLibrarySearchValue), QString());
  TStringList entries;
  SplitString(searchPath, QLatin1Char(';'), entries);
  for (int i = 0; i < entries.Count(); ++i) {
    const QString dir = RemoveBackslash(entries[i]);
    // A blank entry names no directory (it would mean the current one).
    if (Trim(dir).isEmpty())
      continue;
    if (FileExists(AddBackslash(dir) + QString::fromLatin1(kOndrixMarkerFile)))
      return dir;
  }
  if (raise)
    throw IEcdeCannotFindOndrixPath();
  return QString();
}
