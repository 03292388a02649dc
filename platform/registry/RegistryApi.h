#pragma once
// The registry's call layer, named after the Win32 registry calls with our own
// signatures. Every call returns a Win32 error code (ERROR_SUCCESS on success).
//
// Storage: one SQLite database per hive in $XDG_DATA_HOME/qx/registry/
// (HKCU.sqlite, HKLM.sqlite, HKU.sqlite, HKCC.sqlite); HKEY_CLASSES_ROOT is
// HKLM\Software\Classes; HKEY_DYN_DATA and HKEY_PERFORMANCE_DATA are refused
// (ERROR_INVALID_HANDLE). Every change is one transaction, so several processes
// may use a hive at once and a killed process loses nothing it had committed.
//
// Names: key and value names compare by Unicode case folding and keep the
// spelling they were created with. A path is split at '\'; empty parts
// (a leading, doubled or trailing '\') are skipped. Sub-keys enumerate in
// case-insensitive name order, values in creation order (overwriting a value
// keeps its place). Enumerating indexes 0, 1, 2, ... in turn costs time in
// proportion to the count; an index is always the position in the list as it
// is at that call.
//
// Data is stored as the bytes written. Strings are UTF-8: REG_SZ and
// REG_EXPAND_SZ hold the UTF-8 bytes, with or without a terminating zero byte
// as the writer gave them; readers cut at the first zero byte.
//
// Access: a handle only allows what its mask grants: KEY_QUERY_VALUE for
// reading values and key information, KEY_SET_VALUE for writing and deleting
// values, KEY_CREATE_SUB_KEY for RegCreateKeyEx, KEY_ENUMERATE_SUB_KEYS for
// RegEnumKeyEx. As on NT, the handle's rights do not affect RegDeleteKey.
//
// A hive file that cannot be opened (unreadable, not a database) raises
// ERegistryException naming the file; the file is left exactly as it was.
// A change the disk has no room for fails with ERROR_DISK_FULL and leaves the
// hive as it was; other processes keep reading it.

#include "platform/rtl/WinError.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

using REGSAM = std::uint32_t;

// An open key; HKEY{} is no key.
enum class HKEY : std::uintptr_t {};

inline constexpr HKEY HKEY_CLASSES_ROOT{0x80000000u};
inline constexpr HKEY HKEY_CURRENT_USER{0x80000001u};
inline constexpr HKEY HKEY_LOCAL_MACHINE{0x80000002u};
inline constexpr HKEY HKEY_USERS{0x80000003u};
inline constexpr HKEY HKEY_PERFORMANCE_DATA{0x80000004u};
inline constexpr HKEY HKEY_CURRENT_CONFIG{0x80000005u};
inline constexpr HKEY HKEY_DYN_DATA{0x80000006u};

// Result codes: ERROR_* of platform/rtl/WinError.h.

// Value types.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;

// Access rights.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM STANDARD_RIGHTS_READ = 0x00020000;
inline constexpr REGSAM STANDARD_RIGHTS_WRITE = 0x00020000;
inline constexpr REGSAM KEY_READ = 0x00020019;
inline constexpr REGSAM KEY_WRITE = 0x00020006;
inline constexpr REGSAM KEY_EXECUTE = 0x00020019;
inline constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;
inline constexpr REGSAM MAXIMUM_ALLOWED = 0x02000000;

// RegCreateKeyEx dispositions.
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Opens key\subKey (an empty subKey opens key again).
LONG RegOpenKeyEx(HKEY key, const QString& subKey, REGSAM desired, HKEY* result);

// Opens key\subKey, creating it and any missing parents.
LONG RegCreateKeyEx(HKEY key, const QString& subKey, REGSAM desired, HKEY* result,
                    DWORD* disposition = nullptr);

LONG RegCloseKey(HKEY key);

// Copies a value into data (of *size bytes); *size becomes the value's size.
// data null: only the size and type. Too small: ERROR_MORE_DATA.
LONG RegQueryValueEx(HKEY key, const QString& valueName, DWORD* type, void* data, DWORD* size);
// The whole value.
LONG RegQueryValueEx(HKEY key, const QString& valueName, DWORD* type, QByteArray* data);

LONG RegSetValueEx(HKEY key, const QString& valueName, DWORD type, const void* data, DWORD size);
LONG RegSetValueEx(HKEY key, const QString& valueName, DWORD type, const QByteArray& data);

LONG RegDeleteValue(HKEY key, const QString& valueName);

// Deletes key\subKey and its values; a key that has sub-keys is refused
// (ERROR_ACCESS_DENIED), as is a hive's root.
LONG RegDeleteKey(HKEY key, const QString& subKey);

// Deletes key\subKey with everything below it, in one transaction. An empty
// subKey empties key (its sub-keys and values) and keeps it.
LONG RegDeleteTree(HKEY key, const QString& subKey);

// The index-th sub-key in name order; ERROR_NO_MORE_ITEMS past the end.
LONG RegEnumKeyEx(HKEY key, DWORD index, QString* name);

// The index-th value in creation order.
LONG RegEnumValue(HKEY key, DWORD index, QString* name, DWORD* type = nullptr,
                  QByteArray* data = nullptr);

// Counts and longest lengths (names in characters, data in bytes); any
// pointer may be null.
LONG RegQueryInfoKey(HKEY key, DWORD* subKeys, DWORD* maxSubKeyLen, DWORD* values,
                     DWORD* maxValueNameLen, DWORD* maxValueLen);

// Makes everything written through this hive durable on disk.
LONG RegFlushKey(HKEY key);

// The text of a result code ("There is not enough space on the disk.").
QString RegErrorText(LONG code);

// Whether a result code is a failure of the store itself (a full disk, an I/O
// error, a damaged or unopenable file) rather than of the call's arguments.
bool IsStoreFailure(LONG code);

// The folder of the hive files ($XDG_DATA_HOME/qx/registry).
QString RegistryFolder();

// Several changes of one hive made as one. From Begin to Commit, the calls
// of this process on the hive of the key given to Begin join one
// transaction (other threads of the process wait for it, other processes
// wait to change the hive); calls on other hives do not. Commit keeps them
// all; without it (the object goes first, an exception, the process is
// killed) none of them is kept. A call that fails inside keeps none of its
// own changes and leaves the others to the caller; a failure that ends the
// whole transaction (a full disk) makes every later call and Commit fail.
class RegTransaction {
 public:
  RegTransaction();
  ~RegTransaction();
  RegTransaction(const RegTransaction&) = delete;
  RegTransaction& operator=(const RegTransaction&) = delete;

  // ERROR_SUCCESS, or the code of the handle or store; once per object.
  LONG Begin(HKEY key);
  LONG Commit();

 private:
  struct State;
  std::unique_ptr<State> state_;
};
