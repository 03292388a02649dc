#include "components/MyV3Registry.h"

namespace MyV3Registry {

namespace {

// Runs a data access with the platform's registry errors raised as ours.
template <class F>
auto Translated(F&& access) {
  try {
    return access();
  } catch (const ERegistryException&) {
    throw;
  } catch (const ::ERegistryException& e) {
    throw ERegistryException(e.Message(), e.ErrorCode());
  }
}

}  // namespace

TRegistry::TRegistry() : ::TRegistry(KEY_ALL_ACCESS) {}

bool TRegistry::OpenKey(const QString& key, bool canCreate) {
  SetAccess(canCreate && !key.isEmpty() ? KEY_ALL_ACCESS : accessMask_);
  return ::TRegistry::OpenKey(key, canCreate && !key.isEmpty());
}

void TRegistry::WriteString(const QString& name, const QString& value) {
  Translated([&] { PutData(name, value.toUtf8(), rdString); });
}

bool TRegistry::GetDataInfo(const QString& valueName, TRegDataInfo& value) {
  return Translated([&] { return ::TRegistry::GetDataInfo(valueName, value); });
}

QString TRegistry::ReadString(const QString& name) {
  return Translated([&] { return ::TRegistry::ReadString(name); });
}

int TRegistry::ReadInteger(const QString& name) {
  return Translated([&] { return ::TRegistry::ReadInteger(name); });
}

void TRegistry::WriteInteger(const QString& name, int value) {
  Translated([&] { ::TRegistry::WriteInteger(name, value); });
}

int TRegistry::ReadBinaryData(const QString& name, void* buffer, int bufSize) {
  return Translated([&] { return ::TRegistry::ReadBinaryData(name, buffer, bufSize); });
}

void TRegistry::WriteBinaryData(const QString& name, const void* buffer, int bufSize) {
  Translated([&] { ::TRegistry::WriteBinaryData(name, buffer, bufSize); });
}

}  // namespace MyV3Registry
