#include "platform/classes/ClassRegistry.h"

#include "platform/rtl/Exceptions.h"

#include <QHash>

#include <mutex>

namespace {

struct NameRegistry {
  std::mutex mutex;
  QHash<QString, const TMetaClass*> byName;  // case-folded name
};

NameRegistry& Names() {
  static auto* names = new NameRegistry;  // never destroyed: outlives static objects
  return *names;
}

}  // namespace

void RegisterClass(const TMetaClass& meta) {
  NameRegistry& names = Names();
  std::lock_guard lock(names.mutex);
  QString key = meta.ClassName().toCaseFolded();
  const TMetaClass* existing = names.byName.value(key);
  if (existing == &meta) return;
  if (existing != nullptr) {
    throw EFilerError(QStringLiteral("A class named %s already exists"), {meta.ClassName()});
  }
  names.byName.insert(key, &meta);
}

void UnRegisterClass(const TMetaClass& meta) {
  NameRegistry& names = Names();
  std::lock_guard lock(names.mutex);
  QString key = meta.ClassName().toCaseFolded();
  if (names.byName.value(key) == &meta) names.byName.remove(key);
}

const TMetaClass* GetClass(const QString& name) {
  NameRegistry& names = Names();
  std::lock_guard lock(names.mutex);
  return names.byName.value(name.toCaseFolded());
}

const TMetaClass& FindClass(const QString& name) {
  const TMetaClass* meta = GetClass(name);
  if (meta == nullptr) throw EClassNotFound(QStringLiteral("Class %s not found"), {name});
  return *meta;
}

TComponent* CreateComponent(const QString& className, TComponent* owner) {
  return FindClass(className).CreateComponent(owner);
}
