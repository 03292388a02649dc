#include "platform/registry/Registry.h"

#include "platform/rtl/StringList.h"

#include <QtEndian>

#include <cmath>
#include <cstring>

namespace {

QString Quoted(const char* fmt, const QString& name) {
  return Format(QString::fromLatin1(fmt), {name});
}

// Raises the failure of a registry call; a failing store adds its cause.
[[noreturn]] void RaiseCall(const char* fmt, const QString& name, LONG rc) {
  QString message = Quoted(fmt, name);
  if (IsStoreFailure(rc))
    message += QStringLiteral(": ") + RegErrorText(rc);
  throw ERegistryException(message, rc);
}

QByteArray DoubleBytes(double value) {
  QByteArray bytes(sizeof value, '\0');
  std::memcpy(bytes.data(), &value, sizeof value);
  return bytes;
}

double BytesDouble(const QByteArray& bytes) {
  double value = 0;
  std::memcpy(&value, bytes.constData(), sizeof value);
  return value;
}

}  // namespace

TRegDataType DataTypeOf(DWORD regType) {
  switch (regType) {
    case REG_SZ:
      return rdString;
    case REG_EXPAND_SZ:
      return rdExpandString;
    case REG_DWORD:
      return rdInteger;
    case REG_BINARY:
      return rdBinary;
    default:
      return rdUnknown;
  }
}

DWORD RegTypeOf(TRegDataType dataType) {
  switch (dataType) {
    case rdString:
      return REG_SZ;
    case rdExpandString:
      return REG_EXPAND_SZ;
    case rdInteger:
      return REG_DWORD;
    case rdBinary:
      return REG_BINARY;
    case rdUnknown:
      break;
  }
  return REG_NONE;
}

TRegistry::TRegistry() = default;

TRegistry::TRegistry(REGSAM access) : access_(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY value) {
  if (value == rootKey_)
    return;
  rootKey_ = value;
  CloseKey();
}

bool TRegistry::IsRelative(const QString& key) { return !key.startsWith(QLatin1Char('\\')); }

HKEY TRegistry::GetBaseKey(bool relative) const {
  return (currentKey_ == HKEY{} || !relative) ? rootKey_ : currentKey_;
}

void TRegistry::KeyPath(const QString& key, QString* path, bool* relative) const {
  *relative = IsRelative(key);
  *path = *relative ? key : key.mid(1);
}

void TRegistry::ChangeKey(HKEY value, const QString& path) {
  CloseKey();
  currentKey_ = value;
  currentPath_ = path;
}

void TRegistry::CloseKey() {
  if (currentKey_ == HKEY{})
    return;
  if (!lazyWrite_)
    RegFlushKey(currentKey_);
  RegCloseKey(currentKey_);
  currentKey_ = HKEY{};
  currentPath_.clear();
}

bool TRegistry::OpenKey(const QString& key, bool canCreate) {
  bool relative = true;
  QString path;
  KeyPath(key, &path, &relative);
  HKEY temp{};
  const LONG rc = canCreate ? RegCreateKeyEx(GetBaseKey(relative), path, access_, &temp)
                            : RegOpenKeyEx(GetBaseKey(relative), path, access_, &temp);
  if (rc != ERROR_SUCCESS)
    return false;
  if (currentKey_ != HKEY{} && relative && !path.isEmpty())
    path = currentPath_ + QLatin1Char('\\') + path;
  else if (currentKey_ != HKEY{} && relative)
    path = currentPath_;
  ChangeKey(temp, path);
  return true;
}

bool TRegistry::OpenKeyReadOnly(const QString& key) {
  const REGSAM saved = access_;
  access_ = KEY_READ;
  const bool ok = OpenKey(key, false);
  access_ = saved;
  return ok;
}

HKEY TRegistry::GetKey(const QString& key) {
  bool relative = true;
  QString path;
  KeyPath(key, &path, &relative);
  HKEY result{};
  if (RegOpenKeyEx(GetBaseKey(relative), path, access_, &result) != ERROR_SUCCESS)
    return HKEY{};
  return result;
}

bool TRegistry::CreateKey(const QString& key) {
  bool relative = true;
  QString path;
  KeyPath(key, &path, &relative);
  HKEY temp{};
  if (const LONG rc = RegCreateKeyEx(GetBaseKey(relative), path, access_, &temp);
      rc != ERROR_SUCCESS)
    RaiseCall("Failed to create key %s", key, rc);
  RegCloseKey(temp);
  return true;
}

bool TRegistry::DeleteKey(const QString& key) {
  bool relative = true;
  QString path;
  KeyPath(key, &path, &relative);
  if (path.split(QLatin1Char('\\'), Qt::SkipEmptyParts).isEmpty())
    return false;
  const LONG rc = RegDeleteTree(GetBaseKey(relative), path);
  if (IsStoreFailure(rc))
    RaiseCall("Failed to delete key %s", key, rc);
  return rc == ERROR_SUCCESS;
}

bool TRegistry::KeyExists(const QString& key) {
  const REGSAM saved = access_;
  access_ = STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS;
  const HKEY temp = GetKey(key);
  access_ = saved;
  if (temp == HKEY{})
    return false;
  RegCloseKey(temp);
  return true;
}

bool TRegistry::GetKeyInfo(TRegKeyInfo& value) {
  DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueLen = 0, maxDataLen = 0;
  value = TRegKeyInfo{};
  if (RegQueryInfoKey(currentKey_, &subKeys, &maxSubKeyLen, &values, &maxValueLen, &maxDataLen) !=
      ERROR_SUCCESS)
    return false;
  value = TRegKeyInfo{static_cast<int>(subKeys), static_cast<int>(maxSubKeyLen),
                      static_cast<int>(values), static_cast<int>(maxValueLen),
                      static_cast<int>(maxDataLen)};
  return true;
}

bool TRegistry::HasSubKeys() {
  TRegKeyInfo info;
  return GetKeyInfo(info) && info.NumSubKeys > 0;
}

void TRegistry::GetKeyNames(TStrings* strings) {
  strings->Clear();
  QString name;
  for (DWORD i = 0; RegEnumKeyEx(currentKey_, i, &name) == ERROR_SUCCESS; ++i)
    strings->Add(name);
}

void TRegistry::GetValueNames(TStrings* strings) {
  strings->Clear();
  QString name;
  for (DWORD i = 0; RegEnumValue(currentKey_, i, &name) == ERROR_SUCCESS; ++i)
    strings->Add(name);
}

bool TRegistry::DeleteValue(const QString& name) {
  // False for a value that is not there (or may not be deleted through this
  // key); a store that failed to delete it must not look the same.
  const LONG rc = RegDeleteValue(currentKey_, name);
  if (IsStoreFailure(rc))
    RaiseCall("Failed to delete value '%s'", name, rc);
  return rc == ERROR_SUCCESS;
}

bool TRegistry::ValueExists(const QString& name) {
  TRegDataInfo info;
  return GetDataInfo(name, info);
}

bool TRegistry::GetDataInfo(const QString& valueName, TRegDataInfo& value) {
  DWORD type = 0;
  DWORD size = 0;
  value = TRegDataInfo{};
  if (RegQueryValueEx(currentKey_, valueName, &type, nullptr, &size) != ERROR_SUCCESS)
    return false;
  value.RegData = DataTypeOf(type);
  value.DataSize = static_cast<int>(size);
  return true;
}

int TRegistry::GetDataSize(const QString& valueName) {
  TRegDataInfo info;
  return GetDataInfo(valueName, info) ? info.DataSize : -1;
}

TRegDataType TRegistry::GetDataType(const QString& valueName) {
  TRegDataInfo info;
  return GetDataInfo(valueName, info) ? info.RegData : rdUnknown;
}

QByteArray TRegistry::GetData(const QString& name, TRegDataType& regData) {
  DWORD type = 0;
  QByteArray data;
  if (const LONG rc = RegQueryValueEx(currentKey_, name, &type, &data); rc != ERROR_SUCCESS)
    RaiseCall("Failed to get data for '%s'", name, rc);
  regData = DataTypeOf(type);
  return data;
}

void TRegistry::PutData(const QString& name, const QByteArray& data, TRegDataType regData) {
  if (const LONG rc = RegSetValueEx(currentKey_, name, RegTypeOf(regData), data);
      rc != ERROR_SUCCESS)
    RaiseCall("Failed to set data for '%s'", name, rc);
}

void TRegistry::ReadError(const QString& name) const {
  throw ERegistryException(Quoted("Invalid data type for '%s'", name));
}

QByteArray TRegistry::GetFixed(const QString& name, TRegDataType type, int size) {
  TRegDataType actual = rdUnknown;
  const QByteArray data = GetData(name, actual);
  if (actual != type || data.size() != size)
    ReadError(name);
  return data;
}

QString TRegistry::ReadString(const QString& name) {
  if (GetDataSize(name) <= 0)
    return QString();
  TRegDataType type = rdUnknown;
  const QByteArray data = GetData(name, type);
  if (type != rdString && type != rdExpandString)
    ReadError(name);
  const qsizetype end = data.indexOf('\0');
  return QString::fromUtf8(end < 0 ? data : data.left(end));
}

void TRegistry::WriteString(const QString& name, const QString& value) {
  PutData(name, value.toUtf8() + '\0', rdString);
}

void TRegistry::WriteExpandString(const QString& name, const QString& value) {
  PutData(name, value.toUtf8() + '\0', rdExpandString);
}

int TRegistry::ReadInteger(const QString& name) {
  const QByteArray data = GetFixed(name, rdInteger, 4);
  return qFromLittleEndian<qint32>(data.constData());
}

void TRegistry::WriteInteger(const QString& name, int value) {
  QByteArray data(4, '\0');
  qToLittleEndian<qint32>(value, data.data());
  PutData(name, data, rdInteger);
}

bool TRegistry::ReadBool(const QString& name) { return ReadInteger(name) != 0; }

void TRegistry::WriteBool(const QString& name, bool value) { WriteInteger(name, value ? 1 : 0); }

double TRegistry::ReadFloat(const QString& name) {
  return BytesDouble(GetFixed(name, rdBinary, 8));
}

void TRegistry::WriteFloat(const QString& name, double value) {
  PutData(name, DoubleBytes(value), rdBinary);
}

double TRegistry::ReadCurrency(const QString& name) {
  const QByteArray data = GetFixed(name, rdBinary, 8);
  return static_cast<double>(qFromLittleEndian<qint64>(data.constData())) / 10000.0;
}

void TRegistry::WriteCurrency(const QString& name, double value) {
  QByteArray data(8, '\0');
  qToLittleEndian<qint64>(static_cast<qint64>(std::llround(value * 10000.0)), data.data());
  PutData(name, data, rdBinary);
}

TDateTime TRegistry::ReadDateTime(const QString& name) { return ReadFloat(name); }

void TRegistry::WriteDateTime(const QString& name, TDateTime value) { WriteFloat(name, value); }

TDateTime TRegistry::ReadDate(const QString& name) { return ReadDateTime(name); }

void TRegistry::WriteDate(const QString& name, TDateTime value) { WriteDateTime(name, value); }

TDateTime TRegistry::ReadTime(const QString& name) { return ReadDateTime(name); }

void TRegistry::WriteTime(const QString& name, TDateTime value) { WriteDateTime(name, value); }

int TRegistry::ReadBinaryData(const QString& name, void* buffer, int bufSize) {
  TRegDataInfo info;
  if (!GetDataInfo(name, info))
    return 0;
  if ((info.RegData != rdBinary && info.RegData != rdUnknown) || info.DataSize > bufSize)
    ReadError(name);
  TRegDataType type = rdUnknown;
  const QByteArray data = GetData(name, type);
  if ((type != rdBinary && type != rdUnknown) || data.size() > bufSize)
    ReadError(name);
  if (!data.isEmpty())
    std::memcpy(buffer, data.constData(), static_cast<size_t>(data.size()));
  return static_cast<int>(data.size());
}

void TRegistry::WriteBinaryData(const QString& name, const void* buffer, int bufSize) {
  const QByteArray data =
      bufSize > 0 ? QByteArray(static_cast<const char*>(buffer), bufSize) : QByteArray();
  PutData(name, data, rdBinary);
}
