#include "platform/registry/ShellFolders.h"

#include "platform/registry/Hive.h"
#include "platform/registry/RegistryApi.h"

#include <QDir>
#include <QStandardPaths>

#include <sqlite3.h>

#include <unistd.h>

namespace {

struct SeedValue {
  const char* key;
  const char* name;
  DWORD type;
  QString data;
};

const char* const kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char* const kCurrentVersion = "Software\\Microsoft\\Windows\\CurrentVersion";

QString Location(QStandardPaths::StandardLocation location) {
  return QStandardPaths::writableLocation(location);
}

QString ProgramFilesDir() {
  // A relocated root (a test's, a staged install's) names its own folder.
  const QString relocated = qEnvironmentVariable("QX_PROGRAM_FILES_DIR");
  if (!relocated.isEmpty()) return relocated;
  return geteuid() == 0 ? QStringLiteral("/opt") : QDir::homePath() + QStringLiteral("/.local/opt");
}

QList<SeedValue> CurrentUserValues() {
  const QString applications =
      Location(QStandardPaths::GenericDataLocation) + QStringLiteral("/applications");
  const QString desktop = Location(QStandardPaths::DesktopLocation);
  const QString startup =
      Location(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
  QList<SeedValue> list;
  for (const auto& [key, type] :
       {std::pair{kShellFolders, REG_SZ}, std::pair{kUserShellFolders, REG_EXPAND_SZ}}) {
    list.append({key, "Programs", type, applications});
    list.append({key, "Start Menu", type, applications});
    list.append({key, "Desktop", type, desktop});
    list.append({key, "Startup", type, startup});
  }
  return list;
}

QList<SeedValue> LocalMachineValues() {
  const QString programFiles = ProgramFilesDir();
  return {
      {kCurrentVersion, "ProgramFilesDir", REG_SZ, programFiles},
      {kCurrentVersion, "CommonFilesDir", REG_SZ, programFiles + QStringLiteral("/Common Files")}};
}

KeyId EnsurePath(Hive& hive, const QString& path) {
  KeyId key = Hive::kRoot;
  for (const QString& part : SplitKeyPath(path)) {
    const auto child = hive.FindChild(key, part);
    key = child ? *child : hive.AddChild(key, part);
  }
  return key;
}

}  // namespace

void SeedHive(Hive& hive, HiveKind kind) {
  QList<SeedValue> values;
  if (kind == HiveKind::CurrentUser)
    values = CurrentUserValues();
  else if (kind == HiveKind::LocalMachine)
    values = LocalMachineValues();
  if (values.isEmpty())
    return;
  try {
    const Hive::ChangeScope change(hive);
    SqliteTransaction tx(hive.Db(), SqliteTransaction::Write);
    for (const SeedValue& v : values) {
      const KeyId key = EnsurePath(hive, QString::fromLatin1(v.key));
      const QString name = QString::fromLatin1(v.name);
      if (!hive.Value(key, name))
        hive.SetValue(key, name, v.type, v.data.toUtf8() + '\0');
    }
    tx.Commit();
  } catch (const SqliteError& e) {
    // A full disk must not keep readers out; the next process seeds again.
    if (e.code != SQLITE_FULL)
      throw;
  }
}
