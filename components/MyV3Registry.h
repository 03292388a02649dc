#pragma once
// MyV3Registry::TRegistry: the registry object of the registry component.
// It differs from the class library's ::TRegistry in two points:
//   - OpenKey without creating (or with an empty path) asks for AccessMask;
//     creating always asks for KEY_ALL_ACCESS;
//   - WriteString stores REG_SZ without a terminating zero byte (readers cut
//     at the first zero, so the value reads back whole).
// Failed reads and writes of data raise MyV3Registry::ERegistryException.

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryException.h"

#include <QString>

namespace MyV3Registry {

class ERegistryException : public ::ERegistryException {
 public:
  using ::ERegistryException::ERegistryException;
};

class TRegistry : public ::TRegistry {
 public:
  TRegistry();

  REGSAM AccessMask() const { return accessMask_; }
  void SetAccessMask(REGSAM value) { accessMask_ = value; }

  bool OpenKey(const QString& key, bool canCreate) override;
  void WriteString(const QString& name, const QString& value) override;

  // The typed accesses, raising this unit's exception.
  bool GetDataInfo(const QString& valueName, TRegDataInfo& value);
  QString ReadString(const QString& name);
  int ReadInteger(const QString& name);
  void WriteInteger(const QString& name, int value);
  int ReadBinaryData(const QString& name, void* buffer, int bufSize);
  void WriteBinaryData(const QString& name, const void* buffer, int bufSize);

 private:
  REGSAM accessMask_ = KEY_ALL_ACCESS;
};

}  // namespace MyV3Registry
