#pragma once
// What a person has in the home, to compare before and after: every file
// below a folder with its contents' hash (the registry's databases left
// out) and every registry value of every hive, value for value.

#include "platform/registry/RegistryApi.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <map>
#include <utility>

namespace qxtest {

using THomeState = std::map<QString, QByteArray>;

// "<root>\<key>\"<name>" -> type and data, below key of root.
inline void AddRegistryValues(HKEY root, const QString& rootName, const QString& path, THomeState& out) {
  HKEY key{};
  if (RegOpenKeyEx(root, path, KEY_READ, &key) != ERROR_SUCCESS) return;
  QString name;
  DWORD type = 0;
  QByteArray data;
  for (DWORD i = 0; RegEnumValue(key, i, &name, &type, &data) == ERROR_SUCCESS; ++i)
    out[rootName + u'\\' + path + QStringLiteral(" \"") + name + u'"'] = QByteArray::number(type) + ':' + data;
  QStringList children;
  for (DWORD i = 0; RegEnumKeyEx(key, i, &name) == ERROR_SUCCESS; ++i) children << name;
  RegCloseKey(key);
  for (const QString& child : children)
    AddRegistryValues(root, rootName, path.isEmpty() ? child : path + u'\\' + child, out);
}

inline THomeState RegistryState() {
  THomeState state;
  for (const auto& [root, name] : {std::pair{HKEY_CURRENT_USER, "HKCU"}, std::pair{HKEY_LOCAL_MACHINE, "HKLM"},
                                   std::pair{HKEY_USERS, "HKU"}, std::pair{HKEY_CURRENT_CONFIG, "HKCC"}})
    AddRegistryValues(root, QString::fromLatin1(name), QString(), state);
  return state;
}

// Every file below folder (links included) with its hash, and the registry.
inline THomeState HomeState(const QString& folder) {
  THomeState state = RegistryState();
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR") + u'/';
  QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString file = it.next();
    if (file.contains(QStringLiteral("/qx/registry/")) || file.startsWith(runtime)) continue;
    QFile f(file);
    state[file] = f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha1)
                                              : QByteArray("<unreadable>");
  }
  return state;
}

// The differences, one line each: "+ added", "- gone", "* changed".
inline QString HomeDifferences(const THomeState& before, const THomeState& after) {
  QStringList lines;
  for (const auto& [what, value] : before) {
    const auto it = after.find(what);
    if (it == after.end())
      lines << QStringLiteral("- ") + what;
    else if (it->second != value)
      lines << QStringLiteral("* ") + what;
  }
  for (const auto& [what, value] : after)
    if (!before.count(what)) lines << QStringLiteral("+ ") + what;
  return lines.join(u'\n');
}

}  // namespace qxtest
