#include "platform/registry/Hive.h"

#include "platform/registry/RegistryException.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kSchemaVersion = 1;

// A checkpoint runs once the log holds this many pages; a log restarting
// after one is cut back to twice that, so on a full disk the next writes
// reuse the log's space instead of needing more.
constexpr int kCheckpointPages = 64;
constexpr std::int64_t kLogLimitBytes = 2 * kCheckpointPages * (4096 + 24);

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

std::int64_t QueryInt(SqliteDb& db, const char* sql) {
  SqliteStatement st(db, sql);
  return st.Step() ? st.Int(0) : 0;
}

bool IsWriteAheadLog(SqliteDb& db) {
  SqliteStatement mode(db, "PRAGMA journal_mode=WAL");
  return mode.Step() && mode.Text(0).compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0;
}

[[noreturn]] void FailErrno(const char* what) {
  throw SqliteError{errno == ENOSPC ? SQLITE_FULL : SQLITE_CANTOPEN,
                    QString::fromLatin1(what) + QStringLiteral(": ") +
                        QString::fromLocal8Bit(std::strerror(errno))};
}

// A hive under construction: <file>.new-<pid>, with SQLite's side files.
QString NewFileName(const QString& path, qint64 pid) {
  return path + QStringLiteral(".new-") + QString::number(pid);
}

void RemoveWithSideFiles(const QString& file) {
  for (const char* suffix : {"", "-journal", "-wal", "-shm"})
    QFile::remove(file + QLatin1String(suffix));
}

// Removes what creators that died before finishing left behind.
void RemoveStaleNewFiles(const QString& path) {
  const QFileInfo info(path);
  const QDir dir(info.absolutePath());
  const QString prefix = info.fileName() + QStringLiteral(".new-");
  for (const QString& name : dir.entryList({prefix + QLatin1Char('*')}, QDir::Files)) {
    bool ok = false;
    const qint64 pid = name.mid(prefix.size()).section(QLatin1Char('-'), 0, 0).toLongLong(&ok);
    const bool dead = ok && pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH;
    if (dead || (ok && pid == getpid()))
      QFile::remove(dir.filePath(name));
  }
}

// Builds the hive with its schema under a temporary name, already in WAL
// mode, and moves it into place unless another process got there first.
// Switching a shared file to WAL would race: that lock upgrade calls no
// busy handler, so a second process gets SQLITE_BUSY at once.
void CreateHiveFile(const QString& path) {
  const QString temp = NewFileName(path, getpid());
  RemoveWithSideFiles(temp);
  struct Cleanup {
    const QString& file;
    ~Cleanup() { RemoveWithSideFiles(file); }
  } cleanup{temp};
  {
    const auto db = SqliteDb::Open(temp, true);
    db->Exec("PRAGMA synchronous=FULL");
    SqliteTransaction tx(*db, SqliteTransaction::Write);
    db->Exec(kSchema);
    tx.Commit();
    if (!IsWriteAheadLog(*db))
      throw SqliteError{SQLITE_CANTOPEN, QStringLiteral("write-ahead logging is not available")};
  }
  const QByteArray from = QFile::encodeName(temp);
  const QByteArray to = QFile::encodeName(path);
  if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0 ||
      errno == EEXIST)
    return;
  // File systems without the no-replace rename still make hard links.
  if (errno != EINVAL && errno != ENOSYS)
    FailErrno("the new file cannot be moved into place");
  if (link(from.constData(), to.constData()) != 0 && errno != EEXIST)
    FailErrno("the new file cannot be linked into place");
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
    RemoveStaleNewFiles(path);
    if (!info.exists())
      CreateHiveFile(path);
    hive.reset(new Hive(path, SqliteDb::Open(path, false)));
    hive->Prepare();
  } catch (const SqliteError& e) {
    CannotOpen(path, e.message);
  }
  hive->reserve_ = OpenReserve(hive->ReservePath());
  try {
    hive->HoldWholeReserve();
    hive->LockRoom(RoomLock::None);
  } catch (const SqliteError&) {
    // Locked for longer than the busy timeout: the next change tries again.
  }
  return hive;
}

Hive::~Hive() {
  if (reserve_ >= 0)
    ::close(reserve_);
}

void Hive::Prepare() {
  // The first statement reads the header: a file that is no database fails
  // here, before anything is written.
  const std::int64_t version = QueryInt(*db_, "PRAGMA user_version");
  if (version > kSchemaVersion)
    throw SqliteError{SQLITE_NOTADB, QStringLiteral("written by a newer program")};
  SetWriteAheadLog();
  db_->Exec("PRAGMA synchronous=NORMAL");
  const QByteArray limits = "PRAGMA wal_autocheckpoint=" + QByteArray::number(kCheckpointPages) +
                            ";PRAGMA journal_size_limit=" + QByteArray::number(kLogLimitBytes);
  db_->Exec(limits.constData());
  int persist = 1;
  sqlite3_file_control(db_->Handle(), "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
  if (version == kSchemaVersion)
    return;
  SqliteTransaction tx(*db_, SqliteTransaction::Write);
  db_->Exec(kSchema);
  tx.Commit();
}

void Hive::SetWriteAheadLog() {
  // Only a file this program did not create can still be in another journal
  // mode. Its switch takes a lock for which SQLite calls no busy handler, so
  // wait here for a racing process, as long as the busy timeout.
  QElapsedTimer timer;
  timer.start();
  for (;;) {
    try {
      if (!IsWriteAheadLog(*db_))
        throw SqliteError{SQLITE_CANTOPEN, QStringLiteral("write-ahead logging is not available")};
      return;
    } catch (const SqliteError& e) {
      if (e.code != SQLITE_BUSY || timer.elapsed() > kSqliteBusyTimeoutMs)
        throw;
    }
    sqlite3_sleep(5);
  }
}

bool Hive::Continues(const Cursor& cursor, KeyId key, std::int64_t index) {
  if (cursor.key != key || cursor.index + 1 != index)
    return false;
  // data_version moves with other connections' commits, total_changes with ours.
  return cursor.version == QueryInt(*db_, "PRAGMA data_version") &&
         cursor.changes == sqlite3_total_changes64(db_->Handle());
}

void Hive::Advance(Cursor& cursor, KeyId key, std::int64_t index) {
  cursor.key = key;
  cursor.index = index;
  cursor.version = QueryInt(*db_, "PRAGMA data_version");
  cursor.changes = sqlite3_total_changes64(db_->Handle());
}

bool Hive::KeyAlive(KeyId key) {
  if (cacheUsable_) {
    if (const auto it = cache_.alive.constFind(key); it != cache_.alive.cend())
      return *it;
  }
  NeedFile();
  SqliteStatement st(*db_, "SELECT 1 FROM keys WHERE id = ?");
  st.Bind(1, key);
  const bool alive = st.Step();
  if (cacheUsable_) {
    cache_.alive.insert(key, alive);
    Cached(1);
  }
  return alive;
}

std::optional<KeyId> Hive::FindChild(KeyId parent, const QString& name) {
  const QString folded = FoldName(name);
  if (cacheUsable_) {
    const auto keys = cache_.children.constFind(parent);
    if (keys != cache_.children.cend()) {
      if (const auto it = keys->constFind(folded); it != keys->cend())
        return *it;
    }
  }
  NeedFile();
  SqliteStatement st(*db_, "SELECT id FROM keys WHERE parent = ? AND folded = ?");
  st.Bind(1, parent).Bind(2, folded);
  const std::optional<KeyId> child = st.Step() ? std::optional<KeyId>(st.Int(0)) : std::nullopt;
  if (cacheUsable_) {
    cache_.children[parent].insert(folded, child);
    Cached(1);
  }
  return child;
}

KeyId Hive::AddChild(KeyId parent, const QString& name) {
  DropCache();
  SqliteStatement st(*db_, "INSERT INTO keys(parent, name, folded) VALUES(?, ?, ?)");
  st.Bind(1, parent).Bind(2, name).Bind(3, FoldName(name));
  st.Step();
  return sqlite3_last_insert_rowid(db_->Handle());
}

bool Hive::HasChildren(KeyId key) {
  NeedFile();
  SqliteStatement st(*db_, "SELECT 1 FROM keys WHERE parent = ? LIMIT 1");
  st.Bind(1, key);
  return st.Step();
}

void Hive::DeleteKey(KeyId key) {
  DropCache();
  SqliteStatement values(*db_, "DELETE FROM vals WHERE key = ?");
  values.Bind(1, key).Step();
  SqliteStatement self(*db_, "DELETE FROM keys WHERE id = ?");
  self.Bind(1, key).Step();
}

void Hive::DeleteContents(KeyId key) {
  DropCache();
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
  if (cacheUsable_) {
    // The whole list at once: the enumeration then reads only the cache.
    auto it = cache_.childLists.constFind(parent);
    if (it == cache_.childLists.cend()) {
      NeedFile();
      QStringList names;
      SqliteStatement st(*db_, "SELECT name FROM keys WHERE parent = ? ORDER BY folded");
      st.Bind(1, parent);
      while (st.Step())
        names.append(st.Text(0));
      Cached(names.size() + 1);
      it = cache_.childLists.insert(parent, names);
    }
    if (index < 0 || index >= it->size())
      return std::nullopt;
    return it->at(index);
  }
  NeedFile();
  const bool next = Continues(children_, parent, index);
  SqliteStatement st(*db_, next ? "SELECT name, folded FROM keys WHERE parent = ? AND folded > ?"
                                  " ORDER BY folded LIMIT 1"
                                : "SELECT name, folded FROM keys WHERE parent = ?"
                                  " ORDER BY folded LIMIT 1 OFFSET ?");
  st.Bind(1, parent);
  if (next)
    st.Bind(2, children_.folded);
  else
    st.Bind(2, index);
  if (!st.Step()) {
    children_ = Cursor{};
    return std::nullopt;
  }
  children_.folded = st.Text(1);
  Advance(children_, parent, index);
  return st.Text(0);
}

std::optional<HiveValue> Hive::Value(KeyId key, const QString& name) {
  const QString folded = FoldName(name);
  if (cacheUsable_) {
    const auto values = cache_.values.constFind(key);
    if (values != cache_.values.cend()) {
      if (const auto it = values->constFind(folded); it != values->cend())
        return *it;
    }
  }
  NeedFile();
  SqliteStatement st(*db_, "SELECT name, type, data FROM vals WHERE key = ? AND folded = ?");
  st.Bind(1, key).Bind(2, folded);
  std::optional<HiveValue> value;
  if (st.Step())
    value = HiveValue{st.Text(0), static_cast<std::uint32_t>(st.Int(1)), st.Blob(2)};
  if (cacheUsable_) {
    cache_.values[key].insert(folded, value);
    Cached(1);
  }
  return value;
}

std::optional<HiveValue> Hive::ValueAt(KeyId key, std::int64_t index) {
  if (cacheUsable_) {
    auto it = cache_.valueLists.constFind(key);
    if (it == cache_.valueLists.cend()) {
      NeedFile();
      QList<HiveValue> values;
      SqliteStatement st(*db_, "SELECT name, type, data FROM vals WHERE key = ? ORDER BY id");
      st.Bind(1, key);
      while (st.Step())
        values.append(HiveValue{st.Text(0), static_cast<std::uint32_t>(st.Int(1)), st.Blob(2)});
      Cached(values.size() + 1);
      it = cache_.valueLists.insert(key, values);
    }
    if (index < 0 || index >= it->size())
      return std::nullopt;
    return it->at(index);
  }
  NeedFile();
  const bool next = Continues(values_, key, index);
  SqliteStatement st(*db_, next ? "SELECT name, type, data, id FROM vals WHERE key = ? AND id > ?"
                                  " ORDER BY id LIMIT 1"
                                : "SELECT name, type, data, id FROM vals WHERE key = ?"
                                  " ORDER BY id LIMIT 1 OFFSET ?");
  st.Bind(1, key).Bind(2, next ? values_.id : index);
  if (!st.Step()) {
    values_ = Cursor{};
    return std::nullopt;
  }
  values_.id = st.Int(3);
  Advance(values_, key, index);
  return HiveValue{st.Text(0), static_cast<std::uint32_t>(st.Int(1)), st.Blob(2)};
}

void Hive::SetValue(KeyId key, const QString& name, std::uint32_t type, const QByteArray& data) {
  DropCache();
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
  DropCache();
  SqliteStatement st(*db_, "DELETE FROM vals WHERE key = ? AND folded = ?");
  st.Bind(1, key).Bind(2, FoldName(name));
  st.Step();
  return db_->Changes() > 0;
}

HiveKeyInfo Hive::Info(KeyId key) {
  NeedFile();
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
  NeedFile();
  int logFrames = 0;
  int done = 0;
  const int rc = sqlite3_wal_checkpoint_v2(db_->Handle(), nullptr, SQLITE_CHECKPOINT_PASSIVE,
                                           &logFrames, &done);
  if (rc != SQLITE_OK && rc != SQLITE_BUSY)
    db_->Fail(rc);
}

// The reserve ------------------------------------------------------------------

namespace {

HiveDiskHooks& DiskHooks() {
  static HiveDiskHooks hooks;
  return hooks;
}

int Allocate(int fd, int mode, off_t offset, off_t length) {
  if (DiskHooks().allocate)
    return DiskHooks().allocate(fd, mode, offset, length);
  if (mode == 0)
    return posix_fallocate(fd, offset, length);
  return ::fallocate(fd, mode, offset, length) == 0 ? 0 : errno;
}

void Step(const char* name) {
  if (DiskHooks().step)
    DiskHooks().step(name);
}

// The room lock is on two bytes of the reserve file, per open file, so that
// it also parts two hives of one process: byte 1 is the lock, byte 0 a gate
// that a waiting exclusive taker holds, so that new sharers queue behind it
// (a sharer takes both bytes at once and lets the gate go).
constexpr off_t kGateByte = 0;
constexpr off_t kLockByte = 1;

// 0, or errno (EAGAIN: held by another).
int TryLock(int fd, short type, off_t start, off_t length) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = start;
  lock.l_len = length;
  return fcntl(fd, F_OFD_SETLK, &lock) == 0 ? 0 : errno;
}

// Waits at most the busy timeout. A file system without such locks has no
// room lock: changes go ahead.
void Lock(int fd, short type, off_t start, off_t length, const QElapsedTimer& timer) {
  useconds_t pause = 50;
  for (;;) {
    const int error = TryLock(fd, type, start, length);
    if (error != EAGAIN && error != EACCES && error != EINTR)
      return;
    if (timer.elapsed() > kSqliteBusyTimeoutMs)
      throw SqliteError{SQLITE_BUSY, QStringLiteral("the reserve of the hive stays locked")};
    usleep(pause);
    pause = std::min<useconds_t>(pause * 2, 500);
  }
}

}  // namespace

void SetHiveDiskHooks(const HiveDiskHooks& hooks) { DiskHooks() = hooks; }

int Hive::OpenReserve(const QString& path) {
  return ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

void Hive::LockRoom(RoomLock kind) {
  if (reserve_ < 0 || kind == roomLock_)
    return;
  if (roomLock_ != RoomLock::None) {
    TryLock(reserve_, F_UNLCK, kLockByte, 1);
    roomLock_ = RoomLock::None;
  }
  if (kind == RoomLock::None)
    return;
  QElapsedTimer timer;
  timer.start();
  if (kind == RoomLock::Shared) {
    Lock(reserve_, F_RDLCK, kGateByte, 2, timer);
    TryLock(reserve_, F_UNLCK, kGateByte, 1);
  } else {
    Lock(reserve_, F_WRLCK, kGateByte, 1, timer);
    struct Gate {
      int fd;
      ~Gate() { TryLock(fd, F_UNLCK, kGateByte, 1); }
    } gate{reserve_};
    Lock(reserve_, F_WRLCK, kLockByte, 1, timer);
  }
  roomLock_ = kind;
}

bool Hive::ReserveWhole() {
  struct stat st {};
  return reserve_ < 0 ||
         (fstat(reserve_, &st) == 0 && st.st_nlink > 0 && st.st_size >= kReserveBytes);
}

void Hive::HoldWholeReserve() {
  // A reserve file removed by someone else is made again; only while
  // unlocked, as closing the file lets its locks go.
  struct stat st {};
  if (roomLock_ == RoomLock::None && reserve_ >= 0 && fstat(reserve_, &st) == 0 &&
      st.st_nlink == 0) {
    ::close(reserve_);
    reserve_ = OpenReserve(ReservePath());
  }
  LockRoom(RoomLock::Exclusive);
  MakeReserveWhole();
}

void Hive::MakeReserveWhole() {
  if (ReserveWhole())
    return;
  ShrinkLog();
  if (reserve_ < 0)
    return;
  // All of it, else as much as fits, in steps: a part of the room is better
  // than none.
  if (Allocate(reserve_, 0, 0, kReserveBytes) == 0)
    return;
  constexpr std::int64_t kStep = 16 * 1024;
  for (std::int64_t size = kStep; size < kReserveBytes; size += kStep) {
    if (Allocate(reserve_, 0, 0, static_cast<off_t>(size)) != 0)
      break;
  }
}

void Hive::LendReserve() {
  struct stat reserve {};
  if (reserve_ < 0 || fstat(reserve_, &reserve) != 0 || reserve.st_size == 0)
    return;
  const QByteArray log = QFile::encodeName(path_ + QStringLiteral("-wal"));
  const int fd = ::open(log.constData(), O_WRONLY | O_CLOEXEC);
  struct stat end {};
  const bool lend = fd >= 0 && fstat(fd, &end) == 0;
  // Next to each other: between the two calls the room is free. Where the log
  // cannot take it, the room stays free for the delete.
  if (::ftruncate(reserve_, 0) == 0 && lend)
    Allocate(fd, FALLOC_FL_KEEP_SIZE, end.st_size, reserve.st_size);
  if (fd >= 0)
    ::close(fd);
}

Hive::ChangeScope::ChangeScope(Hive& hive) : hive_(hive) {
  if (hive.roomLock_ != RoomLock::None)
    return;
  for (bool restored = false;; restored = true) {
    hive.LockRoom(RoomLock::Shared);
    held_ = true;
    if (restored || hive.ReserveWhole())
      return;
    hive.LockRoom(RoomLock::None);
    held_ = false;
    hive.HoldWholeReserve();
    hive.LockRoom(RoomLock::None);
  }
}

Hive::ChangeScope::~ChangeScope() {
  if (held_)
    hive_.LockRoom(RoomLock::None);
}

Hive::BorrowScope::BorrowScope(Hive& hive) : hive_(hive) {
  hive.HoldWholeReserve();
  hive.LendReserve();
  Step("lent");
}

Hive::BorrowScope::~BorrowScope() {
  Step("returning");
  hive_.MakeReserveWhole();
  hive_.LockRoom(RoomLock::None);
}

void Hive::ShrinkLog() {
  int logFrames = 0;
  int done = 0;
  sqlite3_wal_checkpoint_v2(db_->Handle(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, &logFrames, &done);
}

// The cache -------------------------------------------------------------------

namespace {

// Entries (values, names, answers) the cache holds before it starts again.
constexpr std::int64_t kCacheEntries = 1 << 20;
// The log index header: two copies of 48 bytes at the start of the shared
// memory; a commit writes the second, then the first. The low byte of the
// fourth word is isInit.
constexpr int kHeaderWords = 12;
constexpr int kShmRegion = 32768;

}  // namespace

bool Hive::ReadLogHeader(LogHeader& out) {
  if (logIndex_ == nullptr) {
    sqlite3_file* file = nullptr;
    if (sqlite3_file_control(db_->Handle(), "main", SQLITE_FCNTL_FILE_POINTER, &file) != SQLITE_OK ||
        file == nullptr || file->pMethods == nullptr || file->pMethods->iVersion < 2 ||
        file->pMethods->xShmMap == nullptr)
      return false;
    void volatile* region = nullptr;
    // Region 0 is mapped once the connection has read in WAL mode; this asks
    // for SQLite's own mapping and never makes the file larger.
    if (file->pMethods->xShmMap(file, 0, kShmRegion, 0, &region) != SQLITE_OK || region == nullptr)
      return false;
    logIndex_ = static_cast<const volatile std::uint32_t*>(region);
  }
  LogHeader second{};
  for (int i = 0; i < kHeaderWords; ++i)
    out[static_cast<std::size_t>(i)] = __atomic_load_n(&logIndex_[i], __ATOMIC_ACQUIRE);
  for (int i = 0; i < kHeaderWords; ++i)
    second[static_cast<std::size_t>(i)] = __atomic_load_n(&logIndex_[kHeaderWords + i], __ATOMIC_ACQUIRE);
  // A header being written shows two different copies.
  return out == second && (out[3] & 0xff) != 0;
}

bool Hive::RefreshCache() {
  LogHeader now{};
  if (!ReadLogHeader(now)) {
    DropCache();
    return false;
  }
  if (!cacheUsable_ || now != stamp_) {
    cache_ = ReadCache();
    stamp_ = now;
    cacheUsable_ = true;
  }
  return true;
}

void Hive::DropCache() {
  if (!cacheUsable_ && cache_.entries == 0)
    return;
  cache_ = ReadCache();
  cacheUsable_ = false;
}

void Hive::Cached(std::int64_t entries) {
  cache_.entries += entries;
  if (cache_.entries > kCacheEntries)
    cache_ = ReadCache();
}
