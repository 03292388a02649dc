#pragma once
// TRegistry: the class library's registry object over one current key.
//
// Paths: a key beginning with '\' is absolute (from RootKey), any other is
// relative to the current key when one is open. Typed data:
//   strings      REG_SZ / REG_EXPAND_SZ, UTF-8 with a terminating zero byte
//   integers     REG_DWORD, 4 bytes little-endian; Booleans as 0 or 1
//   floats, date-times (TDateTime)   REG_BINARY, the 8-byte double
//   currency     REG_BINARY, the 8-byte integer of the amount times 10000
// Reading a value of another type (or size) raises ERegistryException
// "Invalid data type for '%s'"; reading a missing value raises "Failed to get
// data for '%s'", except ReadString (empty text) and ReadBinaryData (0).
// Each raised error carries the registry call's result code (ErrorCode());
// when the store failed (a full disk, an I/O error) the message ends with its
// text, as in "Failed to set data for 'v': There is not enough space on the
// disk.". DeleteValue and DeleteKey return false for what is not there and
// raise when the store fails.

#include "platform/registry/RegistryApi.h"
#include "platform/registry/RegistryException.h"
#include "platform/rtl/DateTime.h"

#include <QByteArray>
#include <QString>

class TStrings;

enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegDataInfo {
  TRegDataType RegData = rdUnknown;
  int DataSize = 0;
};

struct TRegKeyInfo {
  int NumSubKeys = 0;
  int MaxSubKeyLen = 0;
  int NumValues = 0;
  int MaxValueLen = 0;
  int MaxDataLen = 0;
};

class TRegistry {
 public:
  // RootKey HKEY_CURRENT_USER, Access KEY_ALL_ACCESS, LazyWrite on.
  TRegistry();
  explicit TRegistry(REGSAM access);
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;
  virtual ~TRegistry();

  HKEY RootKey() const { return rootKey_; }
  // Changing the root closes the current key.
  void SetRootKey(HKEY value);
  REGSAM Access() const { return access_; }
  void SetAccess(REGSAM value) { access_ = value; }
  HKEY CurrentKey() const { return currentKey_; }
  QString CurrentPath() const { return currentPath_; }
  // Off: closing a key flushes its hive to disk.
  bool LazyWrite() const { return lazyWrite_; }
  void SetLazyWrite(bool value) { lazyWrite_ = value; }

  // Keys.
  virtual bool OpenKey(const QString& key, bool canCreate);
  bool OpenKeyReadOnly(const QString& key);
  void CloseKey();
  // Creates the key without opening it; failure raises "Failed to create key %s".
  bool CreateKey(const QString& key);
  // Deletes the key with everything below it; false when it is not there,
  // raises "Failed to delete key %s" when the store fails.
  bool DeleteKey(const QString& key);
  bool KeyExists(const QString& key);
  bool HasSubKeys();
  bool GetKeyInfo(TRegKeyInfo& value);
  void GetKeyNames(TStrings* strings);

  // Values of the current key. DeleteValue raises "Failed to delete value
  // '%s'" when the store fails.
  bool DeleteValue(const QString& name);
  bool ValueExists(const QString& name);
  void GetValueNames(TStrings* strings);
  bool GetDataInfo(const QString& valueName, TRegDataInfo& value);
  // -1 when the value is missing.
  int GetDataSize(const QString& valueName);
  TRegDataType GetDataType(const QString& valueName);

  QString ReadString(const QString& name);
  virtual void WriteString(const QString& name, const QString& value);
  void WriteExpandString(const QString& name, const QString& value);
  int ReadInteger(const QString& name);
  void WriteInteger(const QString& name, int value);
  bool ReadBool(const QString& name);
  void WriteBool(const QString& name, bool value);
  double ReadFloat(const QString& name);
  void WriteFloat(const QString& name, double value);
  double ReadCurrency(const QString& name);
  void WriteCurrency(const QString& name, double value);
  TDateTime ReadDateTime(const QString& name);
  void WriteDateTime(const QString& name, TDateTime value);
  TDateTime ReadDate(const QString& name);
  void WriteDate(const QString& name, TDateTime value);
  TDateTime ReadTime(const QString& name);
  void WriteTime(const QString& name, TDateTime value);
  // Copies a binary (or untyped) value into buffer and returns its size; 0
  // when missing; a larger value or another type raises.
  int ReadBinaryData(const QString& name, void* buffer, int bufSize);
  void WriteBinaryData(const QString& name, const void* buffer, int bufSize);

 protected:
  // Makes value the current key (closing the previous one).
  void ChangeKey(HKEY value, const QString& path);
  HKEY GetBaseKey(bool relative) const;
  // Opens key (relative or absolute) with Access; HKEY{} when it fails.
  HKEY GetKey(const QString& key);
  // Switches the current key without closing either (for section access).
  void SetCurrentKey(HKEY value) { currentKey_ = value; }
  // The whole value; raises "Failed to get data for '%s'" when it cannot be read.
  QByteArray GetData(const QString& name, TRegDataType& regData);
  // Raises "Failed to set data for '%s'" when it cannot be written.
  void PutData(const QString& name, const QByteArray& data, TRegDataType regData);
  [[noreturn]] void ReadError(const QString& name) const;

  static bool IsRelative(const QString& key);

 private:
  QByteArray GetFixed(const QString& name, TRegDataType type, int size);
  void KeyPath(const QString& key, QString* path, bool* relative) const;

  HKEY rootKey_ = HKEY_CURRENT_USER;
  HKEY currentKey_{};
  QString currentPath_;
  REGSAM access_ = KEY_ALL_ACCESS;
  bool lazyWrite_ = true;
};

// The data type of a registry value type code, and back.
TRegDataType DataTypeOf(DWORD regType);
DWORD RegTypeOf(TRegDataType dataType);
