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
// The log is checkpointed every few pages and cut back when it restarts, so it
// stays small beside the database; its file and the shared-memory index are
// kept when the last connection closes, so a reader can open the hive on a
// full disk. A new hive file is built whole under a temporary name and linked
// into place, so processes racing to create it all find the same finished
// database.
//
// Methods throw SqliteError; callers hold a transaction around them.

#include "platform/registry/Sqlite.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>
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
  ~Hive();
  Hive(const Hive&) = delete;
  Hive& operator=(const Hive&) = delete;

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
  // Enumeration by index. Asking for index + 1 after index (with nothing
  // written in between) continues from the last row instead of counting
  // from the first, so a whole enumeration is linear.
  std::optional<QString> ChildAt(KeyId parent, std::int64_t index);

  std::optional<HiveValue> Value(KeyId key, const QString& name);
  std::optional<HiveValue> ValueAt(KeyId key, std::int64_t index);
  void SetValue(KeyId key, const QString& name, std::uint32_t type, const QByteArray& data);
  // False when the value did not exist.
  bool DeleteValue(KeyId key, const QString& name);
  HiveKeyInfo Info(KeyId key);

  void Checkpoint();

  // The read cache of this process. It answers only while the header of the
  // write-ahead log's index (in the shared memory of every connection,
  // rewritten by each commit of any process) is the one that was current
  // before its answers were read; so its answers are the database's.
  //
  // RefreshCache compares the header and empties the cache when it moved;
  // false when there is no header to compare (no cache then). It must run
  // before the reads whose answers the cache keeps. Every change drops the
  // cache. With CacheOnly set, KeyAlive, FindChild, Value, ValueAt and
  // ChildAt answer from the cache and everything else, and every miss,
  // raises CacheMiss without touching the file.
  struct CacheMiss {};
  bool RefreshCache();
  void DropCache();
  void SetCacheOnly(bool value) { cacheOnly_ = value; }

  // Room for deletes on a full disk: a file of kReserveBytes beside the
  // hive, taken while the disk has room. Room on the disk is shared with
  // other processes and programs, so the reserve is handed over under a lock
  // on that file, held shared by every change (ChangeScope) and exclusive by
  // a delete that found the disk full (BorrowScope): no change of another
  // process runs while the reserve is lent. The reserve is lent to the log
  // as room allocated past its end, where the delete's pages go and no other
  // program can take it, also when the delete is killed; afterwards the log
  // is cut back and the reserve taken again. A reserve found short (its
  // borrower was killed, or the disk had no room) is made whole before the
  // next change, after the log gave its room back; the room of a reserve is
  // free for others only between cutting the log and taking it again.
  static constexpr std::int64_t kReserveBytes = 128 * 1024;
  QString ReservePath() const { return path_ + QStringLiteral("-reserve"); }

  // The room lock held shared around a change, outside its transaction;
  // within a BorrowScope it takes nothing. Waits at most the busy timeout,
  // then raises SqliteError (SQLITE_BUSY).
  class ChangeScope {
   public:
    explicit ChangeScope(Hive& hive);
    ~ChangeScope();
    ChangeScope(const ChangeScope&) = delete;
    ChangeScope& operator=(const ChangeScope&) = delete;

   private:
    Hive& hive_;
    bool held_ = false;
  };
  // The room lock exclusive and the reserve lent to the log, for a delete run
  // again on a full disk; the end takes the reserve back.
  class BorrowScope {
   public:
    explicit BorrowScope(Hive& hive);
    ~BorrowScope();
    BorrowScope(const BorrowScope&) = delete;
    BorrowScope& operator=(const BorrowScope&) = delete;

   private:
    Hive& hive_;
  };

 private:
  // Where the last enumeration step of one key stopped.
  struct Cursor {
    KeyId key = 0;
    std::int64_t index = -1;
    std::int64_t version = -1;
    std::int64_t changes = -1;
    QString folded;       // sub-keys: the last name's folded form
    std::int64_t id = 0;  // values: the last value's id
  };

  Hive(QString path, std::unique_ptr<SqliteDb> db) : path_(std::move(path)), db_(std::move(db)) {}
  void Prepare();
  void SetWriteAheadLog();
  // Whether cursor stands just before index of key with nothing written since.
  bool Continues(const Cursor& cursor, KeyId key, std::int64_t index);
  void Advance(Cursor& cursor, KeyId key, std::int64_t index);

  using LogHeader = std::array<std::uint32_t, 12>;
  struct ReadCache {
    QHash<KeyId, bool> alive;
    QHash<KeyId, QHash<QString, std::optional<KeyId>>> children;  // by folded name
    QHash<KeyId, QHash<QString, std::optional<HiveValue>>> values;  // by folded name
    QHash<KeyId, QList<HiveValue>> valueLists;                     // in value order
    QHash<KeyId, QStringList> childLists;                          // in name order
    std::int64_t entries = 0;
  };
  // The log index header now; false when it cannot be read whole.
  bool ReadLogHeader(LogHeader& out);
  // Raises CacheMiss in cache-only mode.
  void NeedFile() const {
    if (cacheOnly_)
      throw CacheMiss{};
  }
  // Counts an entry put in the cache; a cache grown too large starts again.
  void Cached(std::int64_t entries);

  enum class RoomLock { None, Shared, Exclusive };
  // Takes the room lock as kind (None lets it go).
  void LockRoom(RoomLock kind);
  static int OpenReserve(const QString& path);
  // Whether the reserve holds kReserveBytes (true without a reserve file).
  bool ReserveWhole();
  // Takes the room lock exclusive and makes the reserve whole.
  void HoldWholeReserve();
  // Under the exclusive lock: a short reserve is taken again as far as the
  // disk allows, after the log gave back its room.
  void MakeReserveWhole();
  void LendReserve();
  // Checkpoints the whole log and cuts it to nothing; errors are dropped.
  void ShrinkLog();

  QString path_;
  std::unique_ptr<SqliteDb> db_;
  Cursor children_;
  Cursor values_;
  ReadCache cache_;
  bool cacheUsable_ = false;
  bool cacheOnly_ = false;
  LogHeader stamp_{};
  const volatile std::uint32_t* logIndex_ = nullptr;
  int reserve_ = -1;  // the reserve file, -1 when it cannot be opened
  RoomLock roomLock_ = RoomLock::None;
};

// Seams for the full-disk tests, set by a test and put back by it (a test's
// disk goes on over resets of the process state).
struct HiveDiskHooks {
  // In place of fallocate(2) (mode 0: posix_fallocate) on the reserve and the
  // log: a disk of a test's own size. Returns 0 or an errno value.
  int (*allocate)(int fd, int mode, std::int64_t offset, std::int64_t length) = nullptr;
  // Called at each step of a lent reserve: "lent" (the delete runs next),
  // "returning" (the delete has run; the reserve is taken back next).
  void (*step)(const char* name) = nullptr;
};
void SetHiveDiskHooks(const HiveDiskHooks& hooks);

// Splits a key path at '\', dropping empty parts.
QStringList SplitKeyPath(const QString& path);

// The comparison form of a key or value name.
QString FoldName(const QString& name);
