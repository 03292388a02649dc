#include "platform/registry/Sqlite.h"

#include <QFile>

#include <sqlite3.h>

std::unique_ptr<SqliteDb> SqliteDb::Open(const QString& path, bool create) {
  sqlite3* raw = nullptr;
  int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
  if (create)
    flags |= SQLITE_OPEN_CREATE;
  const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
  if (rc != SQLITE_OK) {
    SqliteError error{rc, raw ? QString::fromUtf8(sqlite3_errmsg(raw)) : QString()};
    sqlite3_close(raw);
    throw error;
  }
  std::unique_ptr<SqliteDb> db(new SqliteDb(raw));
  sqlite3_extended_result_codes(raw, 0);
  sqlite3_busy_timeout(raw, kSqliteBusyTimeoutMs);
  return db;
}

SqliteDb::~SqliteDb() {
  for (const auto& [sql, stmt] : idle_)
    sqlite3_finalize(stmt);
  sqlite3_close(db_);
}

sqlite3_stmt* SqliteDb::Acquire(const char* sql) {
  // Taken out while in use, so a statement nested in another's use of the
  // same text gets its own.
  if (const auto it = idle_.find(std::string_view(sql)); it != idle_.end()) {
    sqlite3_stmt* stmt = it->second;
    idle_.erase(it);
    return stmt;
  }
  sqlite3_stmt* stmt = nullptr;
  const int rc = sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
  if (rc != SQLITE_OK)
    Fail(rc);
  return stmt;
}

void SqliteDb::Release(sqlite3_stmt* stmt) {
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
  if (!idle_.emplace(std::string_view(sqlite3_sql(stmt)), stmt).second)
    sqlite3_finalize(stmt);
}

void SqliteDb::Fail(int code) const {
  throw SqliteError{code, QString::fromUtf8(sqlite3_errmsg(db_)), sqlite3_system_errno(db_)};
}

void SqliteDb::Exec(const char* sql) {
  char* message = nullptr;
  const int rc = sqlite3_exec(db_, sql, nullptr, nullptr, &message);
  if (rc != SQLITE_OK) {
    SqliteError error{rc, QString::fromUtf8(message ? message : sqlite3_errstr(rc)),
                      sqlite3_system_errno(db_)};
    sqlite3_free(message);
    throw error;
  }
}

int SqliteDb::Changes() const { return sqlite3_changes(db_); }

SqliteStatement::SqliteStatement(SqliteDb& db, const char* sql)
    : db_(db), stmt_(db.Acquire(sql)) {}

SqliteStatement::~SqliteStatement() { db_.Release(stmt_); }

SqliteStatement& SqliteStatement::Bind(int index, std::int64_t value) {
  const int rc = sqlite3_bind_int64(stmt_, index, value);
  if (rc != SQLITE_OK)
    db_.Fail(rc);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, const QString& value) {
  const QByteArray utf8 = value.toUtf8();
  const int rc = sqlite3_bind_text(stmt_, index, utf8.constData(), static_cast<int>(utf8.size()),
                                   SQLITE_TRANSIENT);
  if (rc != SQLITE_OK)
    db_.Fail(rc);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, const QByteArray& value) {
  // A null pointer would bind SQL NULL; an empty value must stay an empty blob.
  static const char empty = 0;
  const char* data = value.isEmpty() ? &empty : value.constData();
  const int rc =
      sqlite3_bind_blob(stmt_, index, data, static_cast<int>(value.size()), SQLITE_TRANSIENT);
  if (rc != SQLITE_OK)
    db_.Fail(rc);
  return *this;
}

SqliteStatement& SqliteStatement::BindNull(int index) {
  const int rc = sqlite3_bind_null(stmt_, index);
  if (rc != SQLITE_OK)
    db_.Fail(rc);
  return *this;
}

bool SqliteStatement::Step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW)
    return true;
  if (rc == SQLITE_DONE)
    return false;
  db_.Fail(rc);
}

std::int64_t SqliteStatement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

QString SqliteStatement::Text(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  return QString::fromUtf8(text, sqlite3_column_bytes(stmt_, column));
}

QByteArray SqliteStatement::Blob(int column) const {
  const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
  const int size = sqlite3_column_bytes(stmt_, column);
  return data ? QByteArray(data, size) : QByteArray();
}

bool SqliteStatement::IsNull(int column) const {
  return sqlite3_column_type(stmt_, column) == SQLITE_NULL;
}

SqliteTransaction::SqliteTransaction(SqliteDb& db, Kind kind)
    : db_(db), nested_(db.transactions_ > 0) {
  if (nested_ && sqlite3_get_autocommit(db.Handle()) != 0)
    throw SqliteError{SQLITE_ABORT, QStringLiteral("the enclosing transaction was rolled back")};
  db.Exec(nested_ ? "SAVEPOINT nested" : kind == Write ? "BEGIN IMMEDIATE" : "BEGIN");
  ++db.transactions_;
}

SqliteTransaction::~SqliteTransaction() {
  if (!open_)
    return;
  sqlite3* handle = db_.Handle();
  if (nested_) {
    sqlite3_exec(handle, "ROLLBACK TO nested", nullptr, nullptr, nullptr);
    sqlite3_exec(handle, "RELEASE nested", nullptr, nullptr, nullptr);
  } else {
    sqlite3_exec(handle, "ROLLBACK", nullptr, nullptr, nullptr);
  }
  Close();
}

void SqliteTransaction::Commit() {
  db_.Exec(nested_ ? "RELEASE nested" : "COMMIT");
  Close();
}

void SqliteTransaction::Close() {
  open_ = false;
  --db_.transactions_;
}
