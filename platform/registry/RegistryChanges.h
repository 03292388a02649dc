#pragma once
// What this process is about to change in the registry, told before the
// change is made (inside its transaction, so the old state is the one the
// change replaces) to the one recorder in place: an install run's undo
// journal. Without a recorder nothing is told. A recorder that raises
// EChangeRefused (platform/rtl/ChangeRecorder.h) stops the change: the call
// fails with ERROR_DISK_FULL for ENOSPC, ERROR_ACCESS_DENIED for EACCES and
// EPERM, and ERROR_REGISTRY_IO_FAILED otherwise. The hives' own seeding of
// shell folders is not told.

#include "platform/registry/Hive.h"
#include "platform/registry/ShellFolders.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A key as it stood before a delete: its path and its values.
struct TRegistryKeySnapshot {
  QString path;
  QList<HiveValue> values;
};

class TRegistryChangeRecorder {
 public:
  TRegistryChangeRecorder() = default;
  TRegistryChangeRecorder(const TRegistryChangeRecorder&) = delete;
  TRegistryChangeRecorder& operator=(const TRegistryChangeRecorder&) = delete;
  virtual ~TRegistryChangeRecorder() = default;

  // The value name of key (a path from the hive's root, parts joined by
  // '\') is about to be written or deleted; old is what it holds now.
  virtual void ValueToChange(HiveKind hive, const QString& key, const QString& name,
                             const std::optional<HiveValue>& old) = 0;
  // The keys are about to be made, the outermost first.
  virtual void KeysToMake(HiveKind hive, const QStringList& keys) = 0;
  // The keys are about to be deleted with their values, the outermost first.
  virtual void KeysToDelete(HiveKind hive, const QList<TRegistryKeySnapshot>& keys) = 0;
};

// Puts recorder in place (nullptr: none); returns the one before. Not owned.
TRegistryChangeRecorder* SetRegistryChangeRecorder(TRegistryChangeRecorder* recorder);
TRegistryChangeRecorder* CurrentRegistryChangeRecorder();

// The names hive kinds go by in key paths that people read.
QString HiveRootName(HiveKind hive);

// For the call layer, inside a write transaction: tell the recorder in place.
namespace registry_detail {
void RecordValueChange(Hive& hive, HiveKind kind, KeyId key, const QString& name);
void RecordKeysToMake(Hive& hive, HiveKind kind, KeyId parent, const QStringList& parts);
void RecordKeysToDelete(Hive& hive, HiveKind kind, KeyId key);
}  // namespace registry_detail
