#pragma once
// A thin RAII layer over the SQLite C API for the hive store. Failures throw
// SqliteError carrying SQLite's result code; the hive layer turns them into
// registry result codes.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <map>
#include <memory>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// How long a statement waits for another connection's lock.
inline constexpr int kSqliteBusyTimeoutMs = 10000;

struct SqliteError {
  int code;
  QString message;
  int systemErrno = 0;  // errno of the failing system call, when known
};

// An open database connection; closes on destruction.
class SqliteDb {
 public:
  // Opens an existing file (create false) or creates a new one.
  static std::unique_ptr<SqliteDb> Open(const QString& path, bool create);
  ~SqliteDb();
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  void Exec(const char* sql);
  // Rows changed by the last statement.
  int Changes() const;
  sqlite3* Handle() const { return db_; }
  [[noreturn]] void Fail(int code) const;

  // A prepared statement for sql: an idle one kept from an earlier use, or a
  // new one. Give it back (reset) with Release; parsing each time costs more
  // than most of the registry's statements take to run.
  sqlite3_stmt* Acquire(const char* sql);
  void Release(sqlite3_stmt* stmt);

 private:
  friend class SqliteTransaction;
  explicit SqliteDb(sqlite3* db) : db_(db) {}
  sqlite3* db_;
  // SqliteTransaction objects open on this connection.
  int transactions_ = 0;
  // Idle statements by their text (the statement's own copy).
  std::map<std::string_view, sqlite3_stmt*> idle_;
};

// One prepared statement; parameters are 1-based, columns 0-based.
class SqliteStatement {
 public:
  SqliteStatement(SqliteDb& db, const char* sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  SqliteStatement& Bind(int index, std::int64_t value);
  SqliteStatement& Bind(int index, const QString& value);
  SqliteStatement& Bind(int index, const QByteArray& value);
  SqliteStatement& BindNull(int index);
  // True while a row is available.
  bool Step();
  std::int64_t Int(int column) const;
  QString Text(int column) const;
  QByteArray Blob(int column) const;
  bool IsNull(int column) const;

 private:
  SqliteDb& db_;
  sqlite3_stmt* stmt_ = nullptr;
};

// BEGIN IMMEDIATE (write) or BEGIN (read); rolled back unless committed.
// Inside another transaction of the connection it is a savepoint of that
// one: its rollback takes back its own changes only, its commit leaves them
// to the enclosing transaction. SQLite ends a transaction by itself on some
// errors (a full disk among them); a nested one is then refused (SQLITE_ABORT),
// so no change meant to go with others is ever committed alone.
class SqliteTransaction {
 public:
  enum Kind { Read, Write };
  SqliteTransaction(SqliteDb& db, Kind kind);
  ~SqliteTransaction();
  SqliteTransaction(const SqliteTransaction&) = delete;
  SqliteTransaction& operator=(const SqliteTransaction&) = delete;
  void Commit();

 private:
  void Close();

  SqliteDb& db_;
  bool nested_;
  bool open_ = true;
};
