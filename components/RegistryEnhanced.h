#pragma once
// TRegistryEnhanced: reads and writes single registry values addressed by one
// path "Sub\Key\Value" below Key. Values travel as Variants and are stored
// by their type:
//   varInteger             REG_DWORD
//   varBoolean             REG_DWORD 0 or 1
//   varDouble, varDate     REG_BINARY, the 8-byte double
//   varCurrency            REG_BINARY, the 8-byte amount times 10000
//   varString              REG_SZ without a terminating zero
// Other types are not written. Reading gives a string Variant for REG_SZ and
// REG_EXPAND_SZ, an integer Variant for REG_DWORD and, for REG_BINARY, an
// integer Variant with the number of bytes, which are then in Buffer().
// Keys that cannot be opened are passed over silently; failed data reads and
// writes raise MyV3Registry::ERegistryException.

#include "components/Brkapart.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/registry/RegistryApi.h"
#include "platform/rtl/Variant.h"

#include <QByteArray>
#include <QString>

enum TAccess { kRead, kWrite, kExecute, kAllAccess };
enum TRootKey { hkClassesRoot, hkCurrentConfig, hkCurrentUser, hkDynData, hkLocalMachine, hkUsers };

REGSAM AccessMaskOf(TAccess access);
HKEY RootKeyOf(TRootKey rootKey);

class TRegistryEnhanced : public TComponent {
 public:
  // The size of the binary read buffer.
  static constexpr int BufferSize = 2048;

  explicit TRegistryEnhanced(TComponent* owner);

  TAccess Access() const { return access_; }
  void SetAccess(TAccess value) { access_ = value; }
  TRootKey RootKey() const { return rootKey_; }
  void SetRootKey(TRootKey value) { rootKey_ = value; }
  QString Key() const { return key_; }
  void SetKey(const QString& value) { key_ = value; }

  void WriteValue(const QString& path, const Variant& value);
  void ReadValue(const QString& path, Variant& value);

  // The bytes of the last binary value read (BufferSize bytes).
  const QByteArray& Buffer() const { return buffer_; }

  // The absolute key a path addresses ("\" + Key + sub-keys) and its value name.
  QString FullKey(const QString& path);
  QString ValueName(const QString& path);

  static void DeclareProperties(TClassBuilder<TRegistryEnhanced, TComponent>& b);

 private:
  const TStringList& Parts(const QString& path);
  QString NormalisedKey() const;

  TAccess access_ = kAllAccess;
  TRootKey rootKey_ = hkCurrentUser;
  QString key_;
  TBrkApart* splitter_;  // owned as a component
  QByteArray buffer_;
};

extern const TEnumInfo kAccessIdents;
extern const TEnumInfo kRootKeyIdents;
