#pragma once
// One hive: a SQLite database of keys and values.
//
// Tables (schema version 1, kept in PRAGMA user_version):
//   keys(id INTEGER PRIMARY KEY AUTOINCREMENT, parent, name, folded)
//     id 1 is the hive's root (parent NULL). AUTOINCREMENT keeps ids of deleted
//     keys from coming back, so a stale handle never reaches a newer key.
//     (parent, folded) is unique; folded is the case-folded name.
//   vals(id INTEGER PRIMARY KEY, key, name, folded, type, data BLOB)
//     id orders values by creation; (key, folded) is unique.
// The database runs in WAL mode with synchronous=NORMAL: a committed change
// survives the process being killed; RegFlushKey checkpoints for durability.
//
// Methods throw SqliteError; callers hold a transaction around them.

#include "platform/registry/Sqlite.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>

using KeyId = std::int64_t;

struct HiveValue {
  QString name;
  std::uint32_t type = 0;
  QByteArray data;
};

struct HiveKeyInfo {
  std::uint32_t subKeys = 0;
  std::uint32_t maxSubKeyLen = 0;
  std::uint32_t values = 0;
  std::uint32_t maxValueNameLen = 0;
  std::uint32_t maxValueLen = 0;
};

class Hive {
 public:
  static constexpr KeyId kRoot = 1;

  // Opens (or creates) the hive file; raises ERegistryException naming the
  // file when it cannot be opened. An existing file is never created over.
  static std::unique_ptr<Hive> Open(const QString& path);

  const QString& Path() const { return path_; }
  SqliteDb& Db() { return *db_; }

  bool KeyAlive(KeyId key);
  // The child named name; nullopt when absent.
  std::optional<KeyId> FindChild(KeyId parent, const QString& name);
  KeyId AddChild(KeyId parent, const QString& name);
  bool HasChildren(KeyId key);
  // Deletes a key and its values (not its children).
  void DeleteKey(KeyId key);
  // Deletes the keys and values below key, keeping key.
  void DeleteContents(KeyId key);
  std::optional<QString> ChildAt(KeyId parent, std::int64_t index);

  std::optional<HiveValue> Value(KeyId key, const QString& name);
  std::optional<HiveValue> ValueAt(KeyId key, std::int64_t index);
  void SetValue(KeyId key, const QString& name, std::uint32_t type, const QByteArray& data);
  // False when the value did not exist.
  bool DeleteValue(KeyId key, const QString& name);
  HiveKeyInfo Info(KeyId key);

  void Checkpoint();

 private:
  Hive(QString path, std::unique_ptr<SqliteDb> db) : path_(std::move(path)), db_(std::move(db)) {}
  void Prepare();

  QString path_;
  std::unique_ptr<SqliteDb> db_;
};

// Splits a key path at '\', dropping empty parts.
QStringList SplitKeyPath(const QString& path);

// The comparison form of a key or value name.
QString FoldName(const QString& name);
