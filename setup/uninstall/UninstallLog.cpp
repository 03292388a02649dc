#include "setup/uninstall/UninstallLog.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileLog.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {

const QString kFileValuePrefix = QStringLiteral("File");
const QString kJournalKey = QStringLiteral("\\Uninstalled");
const QString kUnregistered = QStringLiteral("unregistered");
const QString kRemoved = QStringLiteral("removed");
const QString kShared = QStringLiteral("shared");

QStringList Names(TRootKeys root, const QString& key, bool keys) {
  TRegistry registry;
  SetRegistryRoot(registry, root);
  QStringList names;
  if (!registry.OpenKeyReadOnly(key)) return names;
  TStringList list;
  if (keys)
    registry.GetKeyNames(&list);
  else
    registry.GetValueNames(&list);
  for (int i = 0; i < list.Count(); ++i) names << list.Strings(i);
  return names;
}

QStringList ValueNames(TRootKeys root, const QString& key) { return Names(root, key, false); }

// The "File<n>" values of key, whatever its count says: a run killed after
// a record but before its count still installed that file.
QStringList FileRecordNames(const QString& key) {
  QStringList records;
  for (const QString& name : ValueNames(hkLocalMachine, key)) {
    bool ok = false;
    if (name.startsWith(kFileValuePrefix)) name.mid(kFileValuePrefix.size()).toInt(&ok);
    if (ok) records << name;
  }
  return records;
}

// "state;path" split at its first ';'.
QPair<QString, QString> JournalEntry(const QString& data) {
  const auto split = data.indexOf(QLatin1Char(';'));
  return split < 0 ? QPair<QString, QString>() : qMakePair(data.left(split), data.mid(split + 1));
}

// A record of K\ActiveX.
bool IsRegistrationRecord(const QPair<QString, QString>& record) {
  return record.first.endsWith(QStringLiteral("\\ActiveX"));
}

// The path a record's data names: a K\ActiveX record's ends with ";1"
// (a program) or ";0".
QString RecordPath(const QString& data, bool registration) {
  const auto split = data.lastIndexOf(QLatin1Char(';'));
  return registration && split >= 0 ? data.left(split) : data;
}

// Builds the log's lists, each file once in the order first named.
class TLogReader {
 public:
  explicit TLogReader(TUninstallLog& log) : log_(log) {}

  void ReadFiles(const QString& sub, bool selfRegistered) {
    const QString key = log_.key + QStringLiteral("\\") + sub;
    for (const QString& name : FileRecordNames(key)) {
      const QString data = ReadRegString(hkLocalMachine, key, name, QString());
      const QString path = RecordPath(data, selfRegistered);
      if (path.isEmpty()) continue;
      TLoggedFile& file = FileFor(path, sub + QStringLiteral("\\") + name);
      file.records << qMakePair(key, name);
      file.selfRegistered = file.selfRegistered || selfRegistered;
      file.program = file.program || (selfRegistered && data.endsWith(QStringLiteral(";1")));
    }
  }

  void ReadJournal() {
    const QString key = log_.key + kJournalKey;
    QHash<QString, TJournaledFile> done;
    QStringList order;
    for (const QString& name : ValueNames(hkLocalMachine, key)) {
      const auto [state, path] = JournalEntry(ReadRegString(hkLocalMachine, key, name, QString()));
      if (path.isEmpty()) continue;
      if (const auto it = index_.find(path); it != index_.end()) {
        TLoggedFile& file = log_.files[*it];
        if (name != file.journalName) file.journalValues << name;
        // A file logged again as self-registering was registered again.
        const bool loggedAgain =
            std::any_of(file.records.begin(), file.records.end(), IsRegistrationRecord);
        if (state == kUnregistered && !loggedAgain) file.unregistered = file.selfRegistered = true;
      } else if (state == kUnregistered) {
        TLoggedFile& file = FileFor(path, name);
        file.unregistered = file.selfRegistered = true;
      } else if (state == kRemoved || state == kShared) {
        if (!done.contains(path)) order << path;
        done[path] = TJournaledFile{path, state == kShared};
      }
    }
    for (const QString& path : order)
      if (!index_.contains(path)) log_.done << done.value(path);
  }

 private:
  TLoggedFile& FileFor(const QString& path, const QString& journalName) {
    auto it = index_.find(path);
    if (it == index_.end()) {
      TLoggedFile file;
      file.path = path;
      file.journalName = journalName;
      log_.files << file;
      it = index_.insert(path, log_.files.size() - 1);
    }
    return log_.files[*it];
  }

  TUninstallLog& log_;
  QHash<QString, int> index_;
};

// A key path without empty parts, for comparing.
QString KeyPath(const QString& key) {
  return key.split(QLatin1Char('\\'), Qt::SkipEmptyParts).join(QLatin1Char('\\'));
}

// The logged keys, a key logged by several records once with all their
// values (an install run twice logs its keys twice).
QList<TLoggedKey> ReadLoggedKeys(const QString& logKey) {
  const QString listKey = logKey + QStringLiteral("\\RegistryKeys");
  QList<TLoggedKey> keys;
  for (const QString& name : Names(hkLocalMachine, listKey, true)) {
    const QString record = listKey + QStringLiteral("\\") + name;
    TLoggedKey logged;
    logged.key = ReadRegString(hkLocalMachine, record, QStringLiteral("Key"), QString());
    const int root = ReadRegInteger(hkLocalMachine, record, QStringLiteral("Root"), hkLocalMachine);
    if (root >= hkClassesRoot && root <= hkUsers) logged.root = static_cast<TRootKeys>(root);
    logged.values = ValueNames(hkLocalMachine, record + QStringLiteral("\\Entries"));
    if (KeyPath(logged.key).isEmpty()) continue;
    const auto same = std::find_if(keys.begin(), keys.end(), [&](const TLoggedKey& k) {
      return k.root == logged.root &&
             KeyPath(k.key).toCaseFolded() == KeyPath(logged.key).toCaseFolded();
    });
    if (same == keys.end())
      keys << logged;
    else
      same->values << logged.values;
  }
  return keys;
}

QString RootName(TRootKeys root) {
  switch (root) {
    case hkClassesRoot: return QStringLiteral("HKEY_CLASSES_ROOT");
    case hkCurrentConfig: return QStringLiteral("HKEY_CURRENT_CONFIG");
    case hkCurrentUser: return QStringLiteral("HKEY_CURRENT_USER");
    case hkDynData: return QStringLiteral("HKEY_DYN_DATA");
    case hkLocalMachine: return QStringLiteral("HKEY_LOCAL_MACHINE");
    case hkUsers: return QStringLiteral("HKEY_USERS");
  }
  return QString();
}

// The help registration of the file at path: the value of its upper-cased
// name, when it names the file's folder.
void RemoveHelpRegistration(const QString& path) {
  const QFileInfo info(path);
  const QString name = info.fileName().toUpper();
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!registry.OpenKey(QString::fromLatin1(kHelpKey), false) || !registry.ValueExists(name))
    return;
  bool ours = false;
  try {
    ours = QDir::cleanPath(registry.ReadString(name)) == QDir::cleanPath(info.absolutePath());
  } catch (const ERegistryException&) {
    // Somebody else's value of another type is not ours.
  }
  if (ours) registry.DeleteValue(name);
}

// Gives up the file's records and journals state, inside the caller's
// transaction.
void JournalStep(const TUninstallLog& log, const TLoggedFile& file, const QString& state) {
  for (const auto& [key, name] : file.records) WriteRegString(hkLocalMachine, key, name, QString());
  const QString journal = log.key + kJournalKey;
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  if (registry.OpenKey(journal, false))
    for (const QString& stale : file.journalValues) registry.DeleteValue(stale);
  WriteRegString(hkLocalMachine, journal, file.journalName, state + QStringLiteral(";") + file.path);
}

// Whether the file's step is still to take: a record still names it, or
// (named by the journal alone) its journal value still waits. Another run
// at the same time may have taken it since the log was read.
bool StillPending(const TUninstallLog& log, const TLoggedFile& file) {
  if (file.records.isEmpty())
    return ReadRegString(hkLocalMachine, log.key + kJournalKey, file.journalName, QString()) ==
           kUnregistered + QStringLiteral(";") + file.path;
  return std::any_of(file.records.begin(), file.records.end(), [&](const auto& record) {
    return RecordPath(ReadRegString(hkLocalMachine, record.first, record.second, QString()),
                      IsRegistrationRecord(record)) == file.path;
  });
}

[[noreturn]] void RaiseRegistryError(LONG code) {
  throw ERegistryException(
      QStringLiteral("The uninstall information cannot be written: %1").arg(RegErrorText(code)),
      code);
}

}  // namespace

QString UninstallLogKey(const QString& product) {
  return QString::fromLatin1(kUninstallKeyBase) + product;
}

QString UninstallProgramOf(const QString& command, const QString& product) {
  const QString tail = QStringLiteral(" ") + product;
  return command.endsWith(tail) ? command.left(command.size() - tail.size()) : QString();
}

TUninstallLog ReadUninstallLog(const QString& key, const QString& product) {
  TUninstallLog log;
  log.key = key;
  TLogReader reader(log);
  reader.ReadFiles(QStringLiteral("Files"), false);
  for (int i = 1; i < kLogFileKeys; ++i)
    reader.ReadFiles(QStringLiteral("Files") + QString::number(i), false);
  reader.ReadFiles(QStringLiteral("ActiveX"), true);
  reader.ReadJournal();
  log.registry = ReadLoggedKeys(key);
  log.uninstaller = UninstallProgramOf(
      ReadRegString(hkLocalMachine, key, QStringLiteral("UninstallString"), QString()), product);
  return log;
}

std::optional<int> SharedCount(const QString& path) {
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  try {
    if (registry.OpenKeyReadOnly(QString::fromLatin1(kSharedDLLsKey)) &&
        registry.ValueExists(path))
      return registry.ReadInteger(path);
  } catch (const ERegistryException&) {
    // A count that is not a number counts nobody.
  }
  return std::nullopt;
}

void JournalUnregistered(const TUninstallLog& log, TLoggedFile& file) {
  // Only its self-registration records are given up: a file record still
  // holds the install's count.
  TLoggedFile registration = file;
  const auto files = std::stable_partition(registration.records.begin(), registration.records.end(),
                                           IsRegistrationRecord);
  registration.records.erase(files, registration.records.end());
  RegTransaction transaction;
  if (const LONG rc = transaction.Begin(HKEY_LOCAL_MACHINE); rc != ERROR_SUCCESS)
    RaiseRegistryError(rc);
  JournalStep(log, registration, kUnregistered);
  if (const LONG rc = transaction.Commit(); rc != ERROR_SUCCESS) RaiseRegistryError(rc);
  file.records.removeIf(IsRegistrationRecord);
  file.journalValues.clear();
  file.unregistered = true;
}

TFileStep RemoveLoggedFile(const TUninstallLog& log, const TLoggedFile& file,
                           const std::function<void()>& beforeCommit, QString* why) {
  // Held from the count's reading to its change, so that no other
  // program's count can come in between.
  RegTransaction transaction;
  if (const LONG rc = transaction.Begin(HKEY_LOCAL_MACHINE); rc != ERROR_SUCCESS) {
    *why = RegErrorText(rc);
    return TFileStep::NotRemoved;
  }
  if (!StillPending(log, file)) return TFileStep::Taken;
  const std::optional<int> count = SharedCount(file.path);
  TFileStep step = TFileStep::Removed;
  TRegistry shared;
  shared.SetRootKey(HKEY_LOCAL_MACHINE);
  if (count && *count > 1) {
    shared.OpenKey(QString::fromLatin1(kSharedDLLsKey), false);
    shared.WriteInteger(file.path, *count - 1);
    step = TFileStep::Shared;
  } else {
    const QFileInfo info(file.path);
    QFile existing(file.path);
    if ((info.exists() || info.isSymLink()) && !existing.remove()) {
      *why = existing.errorString();
      return TFileStep::NotRemoved;
    }
    if (count && shared.OpenKey(QString::fromLatin1(kSharedDLLsKey), false))
      shared.DeleteValue(file.path);
    RemoveHelpRegistration(file.path);
  }
  JournalStep(log, file, step == TFileStep::Shared ? kShared : kRemoved);
  if (beforeCommit) beforeCommit();
  if (const LONG rc = transaction.Commit(); rc != ERROR_SUCCESS) {
    *why = QStringLiteral("the uninstall information cannot be written: %1").arg(RegErrorText(rc));
    return TFileStep::NotRemoved;
  }
  return step;
}

std::optional<TKeptKey> RemoveLoggedKey(const TLoggedKey& logged) {
  TRegistry registry;
  SetRegistryRoot(registry, logged.root);
  if (!registry.OpenKey(logged.key, false)) return std::nullopt;
  for (const QString& name : logged.values) registry.DeleteValue(name);
  TRegKeyInfo info;
  const bool empty = registry.GetKeyInfo(info) && info.NumSubKeys == 0 && info.NumValues == 0;
  if (empty) {
    registry.CloseKey();
    registry.DeleteKey(logged.key);
    return std::nullopt;
  }
  TKeptKey kept;
  kept.name = RootName(logged.root) + QStringLiteral("\\") + KeyPath(logged.key);
  TStringList names;
  registry.GetKeyNames(&names);
  for (int i = 0; i < names.Count(); ++i) kept.keys << names.Strings(i);
  names.Clear();
  registry.GetValueNames(&names);
  for (int i = 0; i < names.Count(); ++i) kept.values << names.Strings(i);
  return kept;
}
