#include "platform/registry/Hive.h"

#include "platform/registry/RegistryException.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <vector>

namespace {

constexpr int kSchemaVersion = 1;

const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS keys("
    " id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER,"
    " name TEXT NOT NULL, folded TEXT NOT NULL);"
    "CREATE UNIQUE INDEX IF NOT EXISTS keys_by_name ON keys(parent, folded);"
    "CREATE TABLE IF NOT EXISTS vals("
    " id INTEGER PRIMARY KEY, key INTEGER NOT NULL, name TEXT NOT NULL,"
    " folded TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL);"
    "CREATE UNIQUE INDEX IF NOT EXISTS vals_by_name ON vals(key, folded);"
    "CREATE INDEX IF NOT EXISTS vals_by_order ON vals(key, id);"
    "INSERT OR IGNORE INTO keys(id, parent, name, folded) VALUES(1, NULL, '', '');"
    "PRAGMA user_version = 1;";

[[noreturn]] void CannotOpen(const QString& path, const QString& reason) {
  throw ERegistryException(QStringLiteral("Cannot open the registry file %s: %s"),
                           {QDir::toNativeSeparators(path), reason});
}

int QueryInt(SqliteDb& db, const char* sql) {
  SqliteStatement st(db, sql);
  return st.Step() ? static_cast<int>(st.Int(0)) : 0;
}

}  // namespace

QStringList SplitKeyPath(const QString& path) {
  return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

QString FoldName(const QString& name) { return name.toCaseFolded(); }

std::unique_ptr<Hive> Hive::Open(const QString& path) {
  const QFileInfo info(path);
  if (!QDir().mkpath(info.absolutePath()))
    CannotOpen(path, QStringLiteral("its folder cannot be created"));
  std::unique_ptr<Hive> hive;
  try {
    hive.reset(new Hive(path, SqliteDb::Open(path, !info.exists())));
    hive->Prepare();
  } catch (const SqliteError& e) {
    CannotOpen(path, e.message);
  }
  return hive;
}

void Hive::Prepare() {
  // The first statement reads the header: a file that is no database fails
  // here, before anything is written.
  const int version = QueryInt(*db_, "PRAGMA user_version");
  if (version > kSchemaVersion)
    throw SqliteError{SQLITE_NOTADB, QStringLiteral("written by a newer program")};
  {
    SqliteStatement mode(*db_, "PRAGMA journal_mode=WAL");
    if (!mode.Step() || mode.Text(0).compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
      throw SqliteError{SQLITE_CANTOPEN, QStringLiteral("write-ahead logging is not available")};
  }
  db_->Exec("PRAGMA synchronous=NORMAL");
  if (version == kSchemaVersion)
    return;
  SqliteTransaction tx(*db_, SqliteTransaction::Write);
  db_->Exec(kSchema);
  tx.Commit();
}

bool Hive::KeyAlive(KeyId key) {
  SqliteStatement st(*db_, "SELECT 1 FROM keys WHERE id = ?");
  st.Bind(1, key);
  return st.Step();
}

std::optional<KeyId> Hive::FindChild(KeyId parent, const QString& name) {
  SqliteStatement st(*db_, "SELECT id FROM keys WHERE parent = ? AND folded = ?");
  st.Bind(1, parent).Bind(2, FoldName(name));
  if (!st.Step())
    return std::nullopt;
  return st.Int(0);
}

KeyId Hive::AddChild(KeyId parent, const QString& name) {
  SqliteStatement st(*db_, "INSERT INTO keys(parent, name, folded) VALUES(?, ?, ?)");
  st.Bind(1, parent).Bind(2, name).Bind(3, FoldName(name));
  st.Step();
  return sqlite3_last_insert_rowid(db_->Handle());
}

bool Hive::HasChildren(KeyId key) {
  SqliteStatement st(*db_, "SELECT 1 FROM keys WHERE parent = ? LIMIT 1");
  st.Bind(1, key);
  return st.Step();
}

void Hive::DeleteKey(KeyId key) {
  SqliteStatement values(*db_, "DELETE FROM vals WHERE key = ?");
  values.Bind(1, key).Step();
  SqliteStatement self(*db_, "DELETE FROM keys WHERE id = ?");
  self.Bind(1, key).Step();
}

void Hive::DeleteContents(KeyId key) {
  std::vector<KeyId> children;
  {
    SqliteStatement st(*db_, "SELECT id FROM keys WHERE parent = ?");
    st.Bind(1, key);
    while (st.Step())
      children.push_back(st.Int(0));
  }
  for (KeyId child : children) {
    DeleteContents(child);
    DeleteKey(child);
  }
  SqliteStatement values(*db_, "DELETE FROM vals WHERE key = ?");
  values.Bind(1, key).Step();
}

std::optional<QString> Hive::ChildAt(KeyId parent, std::int64_t index) {
  SqliteStatement st(*db_,
                     "SELECT name FROM keys WHERE parent = ? ORDER BY folded LIMIT 1 OFFSET ?");
  st.Bind(1, parent).Bind(2, index);
  if (!st.Step())
    return std::nullopt;
  return st.Text(0);
}

std::optional<HiveValue> Hive::Value(KeyId key, const QString& name) {
  SqliteStatement st(*db_, "SELECT name, type, data FROM vals WHERE key = ? AND folded = ?");
  st.Bind(1, key).Bind(2, FoldName(name));
  if (!st.Step())
    return std::nullopt;
  return HiveValue{st.Text(0), static_cast<std::uint32_t>(st.Int(1)), st.Blob(2)};
}

std::optional<HiveValue> Hive::ValueAt(KeyId key, std::int64_t index) {
  SqliteStatement st(
      *db_, "SELECT name, type, data FROM vals WHERE key = ? ORDER BY id LIMIT 1 OFFSET ?");
  st.Bind(1, key).Bind(2, index);
  if (!st.Step())
    return std::nullopt;
  return HiveValue{st.Text(0), static_cast<std::uint32_t>(st.Int(1)), st.Blob(2)};
}

void Hive::SetValue(KeyId key, const QString& name, std::uint32_t type, const QByteArray& data) {
  // An existing value keeps its name's spelling and its place in the order.
  SqliteStatement update(*db_, "UPDATE vals SET type = ?, data = ? WHERE key = ? AND folded = ?");
  update.Bind(1, static_cast<std::int64_t>(type))
      .Bind(2, data)
      .Bind(3, key)
      .Bind(4, FoldName(name));
  update.Step();
  if (db_->Changes() > 0)
    return;
  SqliteStatement insert(*db_,
                         "INSERT INTO vals(key, name, folded, type, data) VALUES(?, ?, ?, ?, ?)");
  insert.Bind(1, key).Bind(2, name).Bind(3, FoldName(name));
  insert.Bind(4, static_cast<std::int64_t>(type)).Bind(5, data);
  insert.Step();
}

bool Hive::DeleteValue(KeyId key, const QString& name) {
  SqliteStatement st(*db_, "DELETE FROM vals WHERE key = ? AND folded = ?");
  st.Bind(1, key).Bind(2, FoldName(name));
  st.Step();
  return db_->Changes() > 0;
}

HiveKeyInfo Hive::Info(KeyId key) {
  HiveKeyInfo info;
  {
    SqliteStatement st(*db_, "SELECT count(*), max(length(name)) FROM keys WHERE parent = ?");
    st.Bind(1, key);
    if (st.Step()) {
      info.subKeys = static_cast<std::uint32_t>(st.Int(0));
      info.maxSubKeyLen = static_cast<std::uint32_t>(st.Int(1));
    }
  }
  SqliteStatement st(
      *db_, "SELECT count(*), max(length(name)), max(length(data)) FROM vals WHERE key = ?");
  st.Bind(1, key);
  if (st.Step()) {
    info.values = static_cast<std::uint32_t>(st.Int(0));
    info.maxValueNameLen = static_cast<std::uint32_t>(st.Int(1));
    info.maxValueLen = static_cast<std::uint32_t>(st.Int(2));
  }
  return info;
}

void Hive::Checkpoint() {
  int logFrames = 0;
  int done = 0;
  const int rc = sqlite3_wal_checkpoint_v2(db_->Handle(), nullptr, SQLITE_CHECKPOINT_PASSIVE,
                                           &logFrames, &done);
  if (rc != SQLITE_OK && rc != SQLITE_BUSY)
    db_->Fail(rc);
}
