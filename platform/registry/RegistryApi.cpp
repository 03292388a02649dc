#include "platform/registry/RegistryApi.h"

#include "platform/registry/OpenKeys.h"
#include "platform/registry/RegistryChanges.h"
#include "platform/rtl/ChangeRecorder.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <optional>

namespace {

LONG CodeOf(const SqliteError& e) {
  // A shared-memory index that cannot grow fails as an I/O error. (The
  // system errno stays from the last failed call, so only for I/O errors.)
  if (e.code == SQLITE_IOERR && e.systemErrno == ENOSPC)
    return ERROR_DISK_FULL;
  switch (e.code) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return ERROR_REGISTRY_CORRUPT;
    case SQLITE_FULL:
      return ERROR_DISK_FULL;
    case SQLITE_CANTOPEN:
      return ERROR_CANTOPEN;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return ERROR_ACCESS_DENIED;
    default:
      return ERROR_REGISTRY_IO_FAILED;
  }
}

// A change the recorder refused fails as the change would have.
LONG CodeOf(const EChangeRefused& e) {
  switch (e.ErrorCode()) {
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case EACCES:
    case EPERM:
    case EROFS:
      return ERROR_ACCESS_DENIED;
    default:
      return ERROR_REGISTRY_IO_FAILED;
  }
}

bool Allows(const KeyRef& ref, REGSAM needed) {
  if (ref.access & MAXIMUM_ALLOWED)
    return true;
  return (ref.access & needed) == needed;
}

// Finds HKEY_CLASSES_ROOT's key for target, in the call's transaction (or
// from the cache just checked); a write makes it when it is missing. False
// when it is missing.
bool PlaceClassesRoot(KeyTarget& target, bool write) {
  if (!target.classesRoot)
    return true;
  const std::optional<KeyId> key = FindClassesRoot(*target.hive, target.ref.hive, write);
  if (!key)
    return false;
  target.ref.key = *key;
  return true;
}

// A read answered from the hive's cache alone; nullopt when the cache lacks
// something it needs (nothing was read from the file then).
template <typename Body>
std::optional<LONG> FromCache(KeyTarget target, Body& body) {
  Hive& hive = *target.hive;
  struct CacheOnly {
    Hive& hive;
    explicit CacheOnly(Hive& h) : hive(h) { hive.SetCacheOnly(true); }
    ~CacheOnly() { hive.SetCacheOnly(false); }
  } scope(hive);
  try {
    if (!PlaceClassesRoot(target, false))
      return std::nullopt;
    if (!hive.KeyAlive(target.ref.key))
      return ERROR_KEY_DELETED;
    return body(hive, target.ref);
  } catch (const Hive::CacheMiss&) {
    return std::nullopt;
  }
}

// Runs body in a transaction of the given kind, after checking that the key
// still exists; commits only on ERROR_SUCCESS. nullopt for a read that finds
// no HKEY_CLASSES_ROOT key: a write makes it.
template <typename Body>
std::optional<LONG> InTransaction(KeyTarget target, SqliteTransaction::Kind kind, Body& body) {
  Hive& hive = *target.hive;
  SqliteTransaction tx(hive.Db(), kind);
  if (!PlaceClassesRoot(target, kind == SqliteTransaction::Write))
    return std::nullopt;
  if (!hive.KeyAlive(target.ref.key))
    return ERROR_KEY_DELETED;
  const LONG rc = body(hive, target.ref);
  if (rc == ERROR_SUCCESS)
    tx.Commit();
  return rc;
}

// Runs body on the resolved key under the process lock, inside a transaction
// of the given kind, after checking the handle's rights and that its key
// still exists. body returns a result code; the transaction commits only on
// ERROR_SUCCESS. A read is answered from the hive's cache when it holds the
// answers; the cache is checked before anything of the hive is read (the
// key of HKEY_CLASSES_ROOT too), so what is read is no older than the
// cache's stamp. A change holds the hive's room lock (Hive::ChangeScope).
template <typename Body>
LONG WithKey(HKEY key, REGSAM needed, SqliteTransaction::Kind kind, Body body) {
  std::lock_guard guard(RegistryLock());
  try {
    KeyTarget target{};
    if (const LONG rc = ResolveKey(key, &target); rc != ERROR_SUCCESS)
      return rc;
    if (!Allows(target.ref, needed))
      return ERROR_ACCESS_DENIED;
    Hive& hive = *target.hive;
    if (kind == SqliteTransaction::Read) {
      if (hive.RefreshCache()) {
        if (const std::optional<LONG> rc = FromCache(target, body))
          return *rc;
      }
      if (const std::optional<LONG> rc = InTransaction(target, kind, body))
        return *rc;
    }
    Hive::ChangeScope change(hive);
    hive.DropCache();
    return *InTransaction(target, SqliteTransaction::Write, body);
  } catch (const SqliteError& e) {
    return CodeOf(e);
  } catch (const EChangeRefused& e) {
    return CodeOf(e);
  }
}

// A delete: on a full disk it runs again with the hive's reserve lent to it.
template <typename Body>
LONG Deleting(HKEY key, REGSAM needed, Body body) {
  std::lock_guard guard(RegistryLock());
  const LONG rc = WithKey(key, needed, SqliteTransaction::Write, body);
  if (rc != ERROR_DISK_FULL)
    return rc;
  KeyTarget target{};
  if (ResolveKey(key, &target) != ERROR_SUCCESS)
    return rc;
  try {
    Hive::BorrowScope borrow(*target.hive);
    return WithKey(key, needed, SqliteTransaction::Write, body);
  } catch (const SqliteError& e) {
    return CodeOf(e);
  }
}

// Walks a path below key; nullopt when a part is missing.
std::optional<KeyId> Walk(Hive& hive, KeyId key, const QString& path) {
  for (const QString& part : SplitKeyPath(path)) {
    const auto child = hive.FindChild(key, part);
    if (!child)
      return std::nullopt;
    key = *child;
  }
  return key;
}

// The key a delete names: not a hive's root or a predefined key itself.
LONG DeleteTarget(Hive& hive, const KeyRef& ref, const QString& subKey, KeyId* out) {
  const auto target = Walk(hive, ref.key, subKey);
  if (!target)
    return ERROR_FILE_NOT_FOUND;
  if (*target == Hive::kRoot || (ref.predefined && *target == ref.key))
    return ERROR_ACCESS_DENIED;
  *out = *target;
  return ERROR_SUCCESS;
}

}  // namespace

LONG RegOpenKeyEx(HKEY key, const QString& subKey, REGSAM desired, HKEY* result) {
  *result = HKEY{};
  return WithKey(key, 0, SqliteTransaction::Read, [&](Hive& hive, const KeyRef& ref) {
    const auto target = Walk(hive, ref.key, subKey);
    if (!target)
      return ERROR_FILE_NOT_FOUND;
    *result = NewKeyHandle(ref.hive, *target, desired);
    return ERROR_SUCCESS;
  });
}

LONG RegCreateKeyEx(HKEY key, const QString& subKey, REGSAM desired, HKEY* result,
                    DWORD* disposition) {
  *result = HKEY{};
  return WithKey(key, KEY_CREATE_SUB_KEY, SqliteTransaction::Write,
                 [&](Hive& hive, const KeyRef& ref) {
                   KeyId id = ref.key;
                   DWORD how = REG_OPENED_EXISTING_KEY;
                   QStringList parts = SplitKeyPath(subKey);
                   while (!parts.isEmpty()) {
                     const auto child = hive.FindChild(id, parts.first());
                     if (!child)
                       break;
                     id = *child;
                     parts.removeFirst();
                   }
                   registry_detail::RecordKeysToMake(hive, ref.hive, id, parts);
                   for (const QString& part : parts) {
                     id = hive.AddChild(id, part);
                     how = REG_CREATED_NEW_KEY;
                   }
                   if (disposition)
                     *disposition = how;
                   *result = NewKeyHandle(ref.hive, id, desired);
                   return ERROR_SUCCESS;
                 });
}

LONG RegCloseKey(HKEY key) {
  std::lock_guard guard(RegistryLock());
  return CloseKeyHandle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LONG RegQueryValueEx(HKEY key, const QString& valueName, DWORD* type, QByteArray* data) {
  return WithKey(key, KEY_QUERY_VALUE, SqliteTransaction::Read, [&](Hive& hive, const KeyRef& ref) {
    const auto value = hive.Value(ref.key, valueName);
    if (!value)
      return ERROR_FILE_NOT_FOUND;
    if (type)
      *type = value->type;
    if (data)
      *data = value->data;
    return ERROR_SUCCESS;
  });
}

LONG RegQueryValueEx(HKEY key, const QString& valueName, DWORD* type, void* data, DWORD* size) {
  if (data && !size)
    return ERROR_INVALID_PARAMETER;
  QByteArray bytes;
  const LONG rc = RegQueryValueEx(key, valueName, type, &bytes);
  if (rc != ERROR_SUCCESS)
    return rc;
  const auto needed = static_cast<DWORD>(bytes.size());
  const DWORD room = size ? *size : 0;
  if (size)
    *size = needed;
  if (!data)
    return ERROR_SUCCESS;
  if (room < needed)
    return ERROR_MORE_DATA;
  if (needed > 0)
    std::memcpy(data, bytes.constData(), needed);
  return ERROR_SUCCESS;
}

LONG RegSetValueEx(HKEY key, const QString& valueName, DWORD type, const QByteArray& data) {
  return WithKey(key, KEY_SET_VALUE, SqliteTransaction::Write, [&](Hive& hive, const KeyRef& ref) {
    registry_detail::RecordValueChange(hive, ref.hive, ref.key, valueName);
    hive.SetValue(ref.key, valueName, type, data);
    return ERROR_SUCCESS;
  });
}

LONG RegSetValueEx(HKEY key, const QString& valueName, DWORD type, const void* data, DWORD size) {
  if (!data && size > 0)
    return ERROR_INVALID_PARAMETER;
  const QByteArray bytes =
      size > 0 ? QByteArray(static_cast<const char*>(data), static_cast<qsizetype>(size))
               : QByteArray();
  return RegSetValueEx(key, valueName, type, bytes);
}

LONG RegDeleteValue(HKEY key, const QString& valueName) {
  return Deleting(key, KEY_SET_VALUE, [&](Hive& hive, const KeyRef& ref) {
    if (!hive.Value(ref.key, valueName))
      return ERROR_FILE_NOT_FOUND;
    registry_detail::RecordValueChange(hive, ref.hive, ref.key, valueName);
    return hive.DeleteValue(ref.key, valueName) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
  });
}

LONG RegDeleteKey(HKEY key, const QString& subKey) {
  return Deleting(key, 0, [&](Hive& hive, const KeyRef& ref) {
    KeyId target = 0;
    if (const LONG rc = DeleteTarget(hive, ref, subKey, &target); rc != ERROR_SUCCESS)
      return rc;
    if (hive.HasChildren(target))
      return ERROR_ACCESS_DENIED;
    registry_detail::RecordKeysToDelete(hive, ref.hive, target);
    hive.DeleteKey(target);
    return ERROR_SUCCESS;
  });
}

LONG RegDeleteTree(HKEY key, const QString& subKey) {
  return Deleting(key, 0, [&](Hive& hive, const KeyRef& ref) {
    if (SplitKeyPath(subKey).isEmpty()) {
      registry_detail::RecordKeysToDelete(hive, ref.hive, ref.key);
      hive.DeleteContents(ref.key);
      return ERROR_SUCCESS;
    }
    KeyId target = 0;
    if (const LONG rc = DeleteTarget(hive, ref, subKey, &target); rc != ERROR_SUCCESS)
      return rc;
    registry_detail::RecordKeysToDelete(hive, ref.hive, target);
    hive.DeleteContents(target);
    hive.DeleteKey(target);
    return ERROR_SUCCESS;
  });
}

LONG RegEnumKeyEx(HKEY key, DWORD index, QString* name) {
  return WithKey(key, KEY_ENUMERATE_SUB_KEYS, SqliteTransaction::Read,
                 [&](Hive& hive, const KeyRef& ref) {
                   const auto child = hive.ChildAt(ref.key, index);
                   if (!child)
                     return ERROR_NO_MORE_ITEMS;
                   *name = *child;
                   return ERROR_SUCCESS;
                 });
}

LONG RegEnumValue(HKEY key, DWORD index, QString* name, DWORD* type, QByteArray* data) {
  return WithKey(key, KEY_QUERY_VALUE, SqliteTransaction::Read, [&](Hive& hive, const KeyRef& ref) {
    const auto value = hive.ValueAt(ref.key, index);
    if (!value)
      return ERROR_NO_MORE_ITEMS;
    *name = value->name;
    if (type)
      *type = value->type;
    if (data)
      *data = value->data;
    return ERROR_SUCCESS;
  });
}

LONG RegQueryInfoKey(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values,
                     DWORD* maxValueNameLen, DWORD* maxValueLen) {
  return WithKey(key, KEY_QUERY_VALUE, SqliteTransaction::Read, [&](Hive& hive, const KeyRef& ref) {
    const HiveKeyInfo info = hive.Info(ref.key);
    for (const auto& [out, v] :
         {std::pair{subKeys, info.subKeys}, std::pair{maxSubKeyLen, info.maxSubKeyLen},
          std::pair{values, info.values}, std::pair{maxValueNameLen, info.maxValueNameLen},
          std::pair{maxValueLen, info.maxValueLen}})
      if (out)
        *out = v;
    return ERROR_SUCCESS;
  });
}

QString RegErrorText(LONG code) {
  switch (code) {
    case ERROR_SUCCESS:
      return QStringLiteral("The operation completed successfully.");
    case ERROR_FILE_NOT_FOUND:
      return QStringLiteral("The system cannot find the file specified.");
    case ERROR_ACCESS_DENIED:
      return QStringLiteral("Access is denied.");
    case ERROR_INVALID_HANDLE:
      return QStringLiteral("The handle is invalid.");
    case ERROR_INVALID_PARAMETER:
      return QStringLiteral("The parameter is incorrect.");
    case ERROR_DISK_FULL:
      return QStringLiteral("There is not enough space on the disk.");
    case ERROR_MORE_DATA:
      return QStringLiteral("More data is available.");
    case ERROR_NO_MORE_ITEMS:
      return QStringLiteral("No more data is available.");
    case ERROR_CANTOPEN:
      return QStringLiteral("The configuration registry key could not be opened.");
    case ERROR_REGISTRY_CORRUPT:
      return QStringLiteral("The configuration registry database is corrupt.");
    case ERROR_REGISTRY_IO_FAILED:
      return QStringLiteral("An I/O operation initiated by the registry failed unrecoverably.");
    case ERROR_KEY_DELETED:
      return QStringLiteral(
          "Illegal operation attempted on a registry key that has been marked for deletion.");
    default:
      return QStringLiteral("Error %1.").arg(code);
  }
}

bool IsStoreFailure(LONG code) {
  return code == ERROR_DISK_FULL || code == ERROR_CANTOPEN || code == ERROR_REGISTRY_CORRUPT ||
         code == ERROR_REGISTRY_IO_FAILED;
}

LONG RegFlushKey(HKEY key) {
  std::lock_guard guard(RegistryLock());
  try {
    KeyTarget target{};
    if (const LONG rc = ResolveKey(key, &target); rc != ERROR_SUCCESS)
      return rc;
    target.hive->Checkpoint();
    return ERROR_SUCCESS;
  } catch (const SqliteError& e) {
    return CodeOf(e);
  }
}

struct RegTransaction::State {
  std::unique_lock<std::recursive_mutex> lock{RegistryLock()};
  Hive* hive = nullptr;
  std::optional<SqliteTransaction> tx;

  // What was read inside may be cached; a rollback makes it untrue.
  void RollBack() {
    tx.reset();
    hive->DropCache();
  }
};

RegTransaction::RegTransaction() = default;

RegTransaction::~RegTransaction() {
  if (state_ && state_->tx)
    state_->RollBack();
}

LONG RegTransaction::Begin(HKEY key) {
  if (state_)
    return ERROR_INVALID_PARAMETER;
  auto state = std::make_unique<State>();
  try {
    KeyTarget target{};
    if (const LONG rc = ResolveKey(key, &target); rc != ERROR_SUCCESS)
      return rc;
    target.hive->DropCache();
    state->hive = target.hive;
    state->tx.emplace(target.hive->Db(), SqliteTransaction::Write);
  } catch (const SqliteError& e) {
    return CodeOf(e);
  }
  state_ = std::move(state);
  return ERROR_SUCCESS;
}

LONG RegTransaction::Commit() {
  if (!state_ || !state_->tx)
    return ERROR_INVALID_PARAMETER;
  try {
    state_->tx->Commit();
  } catch (const SqliteError& e) {
    state_->RollBack();
    return CodeOf(e);
  }
  state_->tx.reset();
  state_->lock.unlock();
  return ERROR_SUCCESS;
}
