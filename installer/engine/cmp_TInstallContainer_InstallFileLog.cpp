#include "installer/engine/cmp_TInstallContainer_InstallFileLog.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <limits>
#include <optional>

#include "installer/engine/routines_Exceptions.h"
#include "installer/engine/routines_Registry.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/ProcessState.h"
#include "platform/rtl/StrUtils.h"

namespace {

const QString kEntries = QStringLiteral("Entries");

// The count of a log key, when the key may take another record.
std::optional<int> LogCount(const QString& key) {
  bool ok = false;
  const int n =
      ReadRegString(hkLocalMachine, key, kEntries, QStringLiteral("0")).trimmed().toInt(&ok);
  if (!ok || n < 0 || n >= kLogEntriesPerKey - 1)
    return std::nullopt;
  return n;
}

void RaiseFull(const QString& key, const QString& value) {
  throw EIRCannotWriteValue(QString::fromLatin1(kTextCannotWriteRegValue), {key, kEntries, value});
}

// The record first, then the count that makes it part of the log.
void AppendRecord(const QString& key, int count, const QString& value) {
  const QString n = QString::number(count + 1);
  WriteRegString(hkLocalMachine, key, QStringLiteral("File") + n, value);
  WriteRegString(hkLocalMachine, key, kEntries, n);
}

// The number of the counted record of key that names path as
// "path;<kind digit>", or 0.
int LoggedRecord(const QString& key, const QString& path) {
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  try {
    if (!registry.OpenKeyReadOnly(key) || !registry.ValueExists(kEntries)) return 0;
    bool ok = false;
    const int count = registry.ReadString(kEntries).trimmed().toInt(&ok);
    // The records are File1 onwards, one value each beside the count: a
    // count beyond the values there names nothing more.
    TRegKeyInfo info;
    const int records = registry.GetKeyInfo(info) ? std::min(count, info.NumValues) : 0;
    for (int i = 1; ok && i <= records; ++i) {
      const QString name = QStringLiteral("File") + QString::number(i);
      if (!registry.ValueExists(name)) continue;
      const QString value = registry.ReadString(name);
      if (value.size() == path.size() + 2 && value.startsWith(path) &&
          value[path.size()] == QLatin1Char(';'))
        return i;
    }
  } catch (const Exception&) {
    // A record that cannot be read names nothing: the path is logged anew.
  }
  return 0;
}

QString FilesKey(const QString& uninstallKey, int i) {
  return uninstallKey + QStringLiteral("\\Files") + (i == 0 ? QString() : QString::number(i));
}

// The paths a log key names, as last read: a run logs a file after another,
// and reading the whole key for each would grow with the square of the
// files. The key's count and last record tell whether it is still so.
struct TLoggedKey {
  QString count;
  QString last;
  QSet<QString> paths;
};

struct TLogCache {
  QHash<QString, TLoggedKey> keys;
};

TLoggedKey& LoggedKey(const QString& key) {
  TLoggedKey& logged = ProcessObject<TLogCache>().keys[key];
  const QString count = ReadRegString(hkLocalMachine, key, kEntries, QString());
  const QString last = ReadRegString(hkLocalMachine, key, QStringLiteral("File") + count, QString());
  if (count == logged.count && last == logged.last && !count.isEmpty()) return logged;
  logged = TLoggedKey{count, last, {}};
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  try {
    bool ok = false;
    const int n = count.trimmed().toInt(&ok);
    TRegKeyInfo info;
    if (!ok || !registry.OpenKeyReadOnly(key) || !registry.GetKeyInfo(info)) return logged;
    // The records are File1 onwards, one value each beside the count: a
    // count beyond the values there names nothing more.
    for (int i = 1; i <= std::min(n, info.NumValues); ++i) {
      const QString name = QStringLiteral("File") + QString::number(i);
      if (registry.ValueExists(name)) logged.paths.insert(registry.ReadString(name));
    }
  } catch (const Exception&) {
    // A record that cannot be read names nothing: its path is logged anew.
  }
  return logged;
}

}  // namespace

bool IfFileLogged(const QString& uninstallKey, const QString& path) {
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  // The numbered keys follow one another: the first missing one ends them.
  for (int i = 0; i < kLogFileKeys && registry.KeyExists(FilesKey(uninstallKey, i)); ++i) {
    if (LoggedKey(FilesKey(uninstallKey, i)).paths.contains(path)) return true;
  }
  return false;
}

void IfLogInstalledFile(const QString& uninstallKey, const QString& path) {
  // Installing again over an installed product names each file once.
  if (IfFileLogged(uninstallKey, path)) return;
  QString key;
  for (int i = 0; i < kLogFileKeys; ++i) {
    key = FilesKey(uninstallKey, i);
    const std::optional<int> count = LogCount(key);
    if (!count)
      continue;
    try {
      AppendRecord(key, *count, path);
      TLoggedKey& logged = ProcessObject<TLogCache>().keys[key];
      if (logged.count == QString::number(*count)) {
        logged.count = QString::number(*count + 1);
        logged.last = path;
        logged.paths.insert(path);
      }
      return;
    } catch (const EIRCannotWriteValue&) {
      if (i == kLogFileKeys - 1)
        throw;
    }
  }
  RaiseFull(key, path);
}

void IfLogSelfRegisteringFile(const QString& uninstallKey, const QString& path, bool program) {
  const QString key = uninstallKey + QStringLiteral("\\ActiveX");
  const QString value = path + (program ? QStringLiteral(";1") : QStringLiteral(";0"));
  // Installed again: the file's record is brought up to date in its place.
  if (const int logged = LoggedRecord(key, path); logged > 0) {
    WriteRegString(hkLocalMachine, key, QStringLiteral("File") + QString::number(logged), value);
    return;
  }
  const std::optional<int> count = LogCount(key);
  if (!count)
    RaiseFull(key, value);
  AppendRecord(key, *count, value);
}

bool IfIncrementSharedCount(const QString& shortPath, const QString& longPath) {
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  try {
    if (!registry.OpenKey(QString::fromLatin1(kSharedDLLsKey), true))
      return false;
  } catch (const Exception&) {
    return false;
  }
  const auto plusOne = [](int n) { return n == std::numeric_limits<int>::max() ? n : n + 1; };
  const auto write = [&](const QString& name, int n) {
    try {
      registry.WriteInteger(name, n);
    } catch (const Exception& e) {
      throw EIRCannotWriteValue(QString::fromLatin1(kSharedDLLsKey) + u'\n' + RegistryFailureText(e));
    }
  };
  try {
    if (registry.ValueExists(shortPath)) {
      const int n = registry.ReadInteger(shortPath);
      write(shortPath, plusOne(n));
      return true;
    }
  } catch (const ERegistryException&) {
    // A count that is not a number is passed over for the long name.
  }
  int n = 0;
  try {
    if (registry.ValueExists(longPath))
      n = registry.ReadInteger(longPath);
  } catch (const ERegistryException&) {
    n = 0;
  }
  write(longPath, plusOne(n));
  return true;
}

void IfRegisterHelpFile(const QString& destName, const QString& folder) {
  WriteRegString(hkLocalMachine, QString::fromLatin1(kHelpKey), UpperCase(destName), folder);
}

QString IfInUseName(const QString& folder, const QString& destName) {
  const int dot = destName.lastIndexOf(QLatin1Char('.'));
  const QString base = dot > 0 ? destName.left(dot) : destName;
  for (int i = 1; i <= kInUseNames; ++i) {
    const QString name = base + QLatin1Char('.') + QString::number(i);
    const QString path = folder + PathDelim + name;
    if (!FileExists(path) && !DirectoryExists(path))
      return name;
  }
  return {};
}

QString IfQuotedPath(const QString& path) {
  return QLatin1Char('"') + path + QLatin1Char('"');
}

QStringList IfReplaceBatchLines(const QString& inUse, const QString& replacement) {
  return {
      QStringLiteral("erase ") + IfQuotedPath(inUse),
      QStringLiteral("move ") + IfQuotedPath(replacement) + QLatin1Char(' ') + IfQuotedPath(inUse)};
}
