// The product's uninstaller: started as "uninstall <product name>" (the
// name unquoted, so every argument is part of it), it reads the uninstall
// log the install wrote and, once the user agrees, removes exactly what the
// log names: files and links, self-registered files (unregistered first),
// registry values, then the folders they leave empty and the log itself.
#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFileLog.h"
#include "installer/engine/routines_Registry.h"
#include "platform/registry/Registry.h"
#include "platform/rtl/StringList.h"
#include "platform/system/SelfRegister.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <set>

namespace {

const QString kFileValuePrefix = QStringLiteral("File");

QTextStream& Out() {
  static QTextStream out(stdout);
  return out;
}

QTextStream& Err() {
  static QTextStream err(stderr);
  return err;
}

// Every value name of key under root; empty when the key cannot be opened.
QStringList ValueNames(TRootKeys root, const QString& key) {
  TRegistry registry;
  SetRegistryRoot(registry, root);
  QStringList names;
  if (!registry.OpenKeyReadOnly(key)) return names;
  TStringList list;
  registry.GetValueNames(&list);
  for (int i = 0; i < list.Count(); ++i) names << list.Strings(i);
  return names;
}

// The "File<n>" records of a log key, whatever its count says: a run killed
// after a record but before its count still installed that file.
QStringList FileRecords(const QString& key) {
  QStringList records;
  for (const QString& name : ValueNames(hkLocalMachine, key)) {
    if (!name.startsWith(kFileValuePrefix)) continue;
    bool ok = false;
    name.mid(kFileValuePrefix.size()).toInt(&ok);
    if (ok) records << ReadRegString(hkLocalMachine, key, name, QString());
  }
  records.removeAll(QString());
  return records;
}

struct TRegistryRecord {
  TRootKeys root = hkLocalMachine;
  QString key;
  QStringList values;
};

struct TLog {
  QStringList files;
  QStringList selfRegistered;  // "path;1" (a program) or "path;0"
  QList<TRegistryRecord> registry;
  QString uninstaller;
};

TLog ReadLog(const QString& key, const QString& product) {
  TLog log;
  log.files = FileRecords(key + QStringLiteral("\\Files"));
  for (int i = 1; i < kLogFileKeys; ++i)
    log.files << FileRecords(key + QStringLiteral("\\Files") + QString::number(i));
  log.selfRegistered = FileRecords(key + QStringLiteral("\\ActiveX"));
  const QString listKey = key + QStringLiteral("\\RegistryKeys");
  TRegistry registry;
  registry.SetRootKey(HKEY_LOCAL_MACHINE);
  if (registry.OpenKeyReadOnly(listKey)) {
    TStringList names;
    registry.GetKeyNames(&names);
    registry.CloseKey();
    for (int i = 0; i < names.Count(); ++i) {
      const QString record = listKey + QStringLiteral("\\") + names.Strings(i);
      TRegistryRecord r;
      r.key = ReadRegString(hkLocalMachine, record, QStringLiteral("Key"), QString());
      const int root = ReadRegInteger(hkLocalMachine, record, QStringLiteral("Root"), hkLocalMachine);
      if (root >= hkClassesRoot && root <= hkUsers) r.root = static_cast<TRootKeys>(root);
      r.values = ValueNames(hkLocalMachine, record + QStringLiteral("\\Entries"));
      if (!r.key.isEmpty()) log.registry << r;
    }
  }
  // "UninstallString" is the program's path, a blank and the product name.
  const QString command = ReadRegString(hkLocalMachine, key, QStringLiteral("UninstallString"), {});
  const QString tail = QStringLiteral(" ") + product;
  if (command.endsWith(tail)) log.uninstaller = command.left(command.size() - tail.size());
  return log;
}

void Unregister(const QString& record) {
  const int split = record.lastIndexOf(QLatin1Char(';'));
  const QString path = split < 0 ? record : record.left(split);
  const bool program = split >= 0 && record.mid(split + 1) == QStringLiteral("1");
  if (!QFileInfo::exists(path)) return;
  const TSelfRegisterResult result =
      program ? RegisterProgramServer(path, true) : RegisterLibraryServer(path, true);
  if (!result.Succeeded()) Err() << result.message << Qt::endl;
}

void RemoveRegistryRecord(const TRegistryRecord& record) {
  TRegistry registry;
  SetRegistryRoot(registry, record.root);
  if (!registry.OpenKey(record.key, false)) return;
  for (const QString& name : record.values) registry.DeleteValue(name);
  TRegKeyInfo info;
  const bool empty = registry.GetKeyInfo(info) && info.NumSubKeys == 0 && info.NumValues == 0;
  registry.CloseKey();
  // The key goes only when the install's values were all it held.
  if (empty) registry.DeleteKey(record.key);
}

bool Confirmed(const QString& product) {
  Out() << "Remove " << product << " and all of its components? [y/N] " << Qt::flush;
  QTextStream in(stdin);
  const QString answer = in.readLine().trimmed().toLower();
  return answer == QStringLiteral("y") || answer == QStringLiteral("yes");
}

int Run(const QStringList& arguments) {
  bool yes = false;
  QStringList words;
  for (const QString& a : arguments) {
    if (a == QStringLiteral("-y") || a == QStringLiteral("--yes"))
      yes = true;
    else
      words << a;
  }
  const QString product = words.join(QLatin1Char(' '));
  if (product.isEmpty()) {
    Err() << "Usage: uninstall [-y] <product name>" << Qt::endl;
    return 2;
  }
  const QString key = QString::fromLatin1(kUninstallKeyBase) + product;
  TRegistry probe;
  probe.SetRootKey(HKEY_LOCAL_MACHINE);
  if (!probe.KeyExists(key)) {
    Err() << "No uninstall information for \"" << product << "\" was found." << Qt::endl;
    return 1;
  }
  const TLog log = ReadLog(key, product);
  if (!yes && !Confirmed(product)) {
    Out() << "Nothing was removed." << Qt::endl;
    return 1;
  }
  for (const QString& record : log.selfRegistered) Unregister(record);

  QStringList paths = log.files;
  for (const QString& record : log.selfRegistered)
    paths << record.left(record.lastIndexOf(QLatin1Char(';')));
  if (!log.uninstaller.isEmpty()) paths << log.uninstaller;
  std::set<QString> folders;
  int failures = 0;
  for (const QString& path : paths) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) continue;
    folders.insert(info.absolutePath());
    if (!QFile::remove(path)) {
      Err() << "Cannot remove " << path << Qt::endl;
      ++failures;
    }
  }
  for (const TRegistryRecord& record : log.registry) RemoveRegistryRecord(record);

  // Deepest first, so a folder that held only removed folders goes too.
  std::vector<QString> order(folders.begin(), folders.end());
  std::sort(order.begin(), order.end(),
            [](const QString& a, const QString& b) { return a.size() > b.size(); });
  for (const QString& folder : order) {
    QDir dir(folder);
    const QStringList left = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                           QDir::NoDotAndDotDot);
    if (left.isEmpty()) {
      QDir().rmdir(folder);
      continue;
    }
    for (const QString& name : left) Out() << "Left in place: " << dir.filePath(name) << Qt::endl;
  }
  // A file that could not go keeps the log, so that a second run finishes.
  if (failures != 0) {
    Err() << "The uninstall information was kept; run the uninstaller again." << Qt::endl;
    return 1;
  }
  DeleteRegKeyTree(hkLocalMachine, key);
  Out() << product << " was removed." << Qt::endl;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  try {
    return Run(app.arguments().mid(1));
  } catch (const std::exception& e) {
    Err() << "uninstall: " << e.what() << Qt::endl;
    return 1;
  }
}
