#include "components/RegistryEnhanced.h"

#include "components/MyV3Registry.h"

#include <QtEndian>

#include <cstdint>
#include <cstring>

const TEnumInfo kAccessIdents{"kRead", "kWrite", "kExecute", "kAllAccess"};
const TEnumInfo kRootKeyIdents{"hkClassesRoot", "hkCurrentConfig", "hkCurrentUser",
                               "hkDynData",     "hkLocalMachine",  "hkUsers"};

namespace {

void WriteEightBytes(MyV3Registry::TRegistry& reg, const QString& name, std::uint64_t bits) {
  unsigned char data[8];
  qToLittleEndian(bits, data);
  reg.WriteBinaryData(name, data, sizeof data);
}

std::uint64_t BitsOf(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

}  // namespace

REGSAM AccessMaskOf(TAccess access) {
  switch (access) {
    case kRead: return KEY_READ;
    case kWrite: return KEY_WRITE;
    case kExecute: return KEY_EXECUTE;
    case kAllAccess: break;
  }
  return KEY_ALL_ACCESS;
}

HKEY RootKeyOf(TRootKey rootKey) {
  switch (rootKey) {
    case hkClassesRoot: return HKEY_CLASSES_ROOT;
    case hkCurrentConfig: return HKEY_CURRENT_CONFIG;
    case hkCurrentUser: break;
    case hkDynData: return HKEY_DYN_DATA;
    case hkLocalMachine: return HKEY_LOCAL_MACHINE;
    case hkUsers: return HKEY_USERS;
  }
  return HKEY_CURRENT_USER;
}

TRegistryEnhanced::TRegistryEnhanced(TComponent* owner)
    : TComponent(owner), splitter_(new TBrkApart(this)), buffer_(BufferSize, '\0') {
  splitter_->SetBreakString(QStringLiteral("\\"));
  splitter_->SetAllowEmptyString(false);
}

const TStringList& TRegistryEnhanced::Parts(const QString& path) {
  splitter_->SetBaseString(path);
  splitter_->BreakApart();
  return *splitter_->StringList();
}

QString TRegistryEnhanced::NormalisedKey() const {
  QString key = key_;
  if (key.endsWith(QLatin1Char('\\')))
    key.chop(1);
  if (key.size() > 1 && key.startsWith(QLatin1Char('\\')))
    key.remove(0, 1);
  return key;
}

QString TRegistryEnhanced::FullKey(const QString& path) {
  const TStringList& parts = Parts(path);
  QString subKey;
  for (int i = 0; i + 1 < parts.Count(); ++i)
    subKey += QLatin1Char('\\') + parts[i];
  return QLatin1Char('\\') + NormalisedKey() + subKey;
}

QString TRegistryEnhanced::ValueName(const QString& path) {
  const TStringList& parts = Parts(path);
  return parts.Count() >= 2 ? parts[parts.Count() - 1] : path;
}

void TRegistryEnhanced::WriteValue(const QString& path, const Variant& value) {
  if (key_.isEmpty())
    return;
  MyV3Registry::TRegistry reg;
  reg.SetAccessMask(AccessMaskOf(access_));
  reg.SetRootKey(RootKeyOf(rootKey_));
  if (!reg.OpenKey(FullKey(path), true))
    return;
  const QString name = ValueName(path);
  switch (value.Type()) {
    case varInteger: reg.WriteInteger(name, value.AsInteger()); break;
    case varBoolean: reg.WriteInteger(name, value.AsBoolean() ? 1 : 0); break;
    case varDouble: WriteEightBytes(reg, name, BitsOf(value.AsDouble())); break;
    case varCurrency:
      WriteEightBytes(reg, name, static_cast<std::uint64_t>(value.AsCurrency()));
      break;
    case varDate: WriteEightBytes(reg, name, BitsOf(value.AsDateTime())); break;
    case varString: reg.WriteString(name, value.AsString()); break;
    default: break;
  }
}

void TRegistryEnhanced::ReadValue(const QString& path, Variant& value) {
  if (key_.isEmpty())
    return;
  MyV3Registry::TRegistry reg;
  reg.SetAccessMask(AccessMaskOf(access_));
  reg.SetRootKey(RootKeyOf(rootKey_));
  if (!reg.OpenKey(FullKey(path), false))
    return;
  const QString name = ValueName(path);
  Variant result;
  TRegDataInfo info;
  if (reg.GetDataInfo(name, info)) {
    switch (info.RegData) {
      case rdString:
      case rdExpandString: result = Variant(reg.ReadString(name)); break;
      case rdInteger: result = Variant(reg.ReadInteger(name)); break;
      case rdBinary:
        if (info.DataSize > BufferSize)
          throw MyV3Registry::ERegistryException(
              QStringLiteral("Failed to get data for '%1'").arg(name));
        result = Variant(reg.ReadBinaryData(name, buffer_.data(), BufferSize));
        break;
      case rdUnknown: break;
    }
  }
  value = result;
}

void TRegistryEnhanced::DeclareProperties(TClassBuilder<TRegistryEnhanced, TComponent>& b) {
  b.Property("Access", &TRegistryEnhanced::Access, &TRegistryEnhanced::SetAccess, kAccessIdents)
      .Default(kAllAccess);
  b.Property("RootKey", &TRegistryEnhanced::RootKey, &TRegistryEnhanced::SetRootKey,
             kRootKeyIdents)
      .Default(hkCurrentUser);
  b.Property("Key", &TRegistryEnhanced::Key, &TRegistryEnhanced::SetKey);
}
