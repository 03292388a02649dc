#include "platform/classes/Properties.h"

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/rtl/Exceptions.h"

#include <cxxabi.h>

#include <cstdlib>
#include <mutex>
#include <unordered_map>

namespace {

// Every metaclass ever built, by C++ type. Metaclasses live for the rest of
// the process (they are type information, not state).
struct TypeIndex {
  std::mutex mutex;
  std::unordered_map<std::type_index, std::unique_ptr<TMetaClass>> byType;
};

TypeIndex& Types() {
  static auto* types = new TypeIndex;  // never destroyed: outlives static objects
  return *types;
}

// Drops namespaces: the part after the last "::" outside template arguments.
QString StripNamespaces(const QString& name) {
  int depth = 0;
  int start = 0;
  for (int i = 0; i < name.size(); ++i) {
    QChar c = name[i];
    if (c == u'<') ++depth;
    if (c == u'>') --depth;
    if (depth == 0 && c == u':' && i + 1 < name.size() && name[i + 1] == u':') start = i + 2;
  }
  return name.mid(start);
}

}  // namespace

namespace classes_detail {

QString ClassNameOf(const std::type_info& type) {
  int status = 0;
  char* demangled = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
  QString name = QString::fromUtf8(status == 0 && demangled != nullptr ? demangled : type.name());
  std::free(demangled);
  return StripNamespaces(name);
}

const TMetaClass& AdoptMetaClass(std::unique_ptr<TMetaClass> meta) {
  TypeIndex& types = Types();
  std::lock_guard lock(types.mutex);
  auto [it, inserted] = types.byType.try_emplace(meta->Type(), std::move(meta));
  return *it->second;
}

}  // namespace classes_detail

const TMetaClass* FindMetaClass(const TObject& object) {
  TypeIndex& types = Types();
  std::lock_guard lock(types.mutex);
  auto it = types.byType.find(std::type_index(typeid(object)));
  return it == types.byType.end() ? nullptr : it->second.get();
}

TEnumInfo::TEnumInfo(std::initializer_list<const char*> names) {
  std::int64_t ordinal = 0;
  for (const char* name : names) {
    names_.append(QString::fromUtf8(name));
    values_.append(ordinal++);
  }
}

TEnumInfo::TEnumInfo(std::initializer_list<Entry> entries) {
  for (const Entry& e : entries) {
    names_.append(QString::fromUtf8(e.name));
    values_.append(e.value);
  }
}

bool TEnumInfo::ToValue(const QString& ident, std::int64_t& value) const {
  for (int i = 0; i < names_.size(); ++i) {
    if (names_[i].compare(ident, Qt::CaseInsensitive) == 0) {
      value = values_[i];
      return true;
    }
  }
  return false;
}

bool TEnumInfo::ToIdent(std::int64_t value, QString& ident) const {
  int i = values_.indexOf(value);
  if (i < 0) return false;
  ident = names_[i];
  return true;
}

bool TPropInfo::IsOrdinal() const {
  switch (kind) {
    case TPropKind::Integer:
    case TPropKind::Int64:
    case TPropKind::Boolean:
    case TPropKind::Enumeration:
    case TPropKind::Set:
      return true;
    default:
      return false;
  }
}

bool TPropInfo::IsWritable() const {
  switch (kind) {
    case TPropKind::Float:
      return static_cast<bool>(setFloat);
    case TPropKind::String:
      return static_cast<bool>(setString);
    case TPropKind::Component:
      return static_cast<bool>(setComponent);
    case TPropKind::Event:
      return static_cast<bool>(setEvent);
    case TPropKind::Strings:
    case TPropKind::Object:
    case TPropKind::Collection:
      return false;
    default:
      return static_cast<bool>(setOrd);
  }
}

TMetaClass::TMetaClass(std::type_index type, QString name) : type_(type), name_(std::move(name)) {}

bool TMetaClass::InheritsFrom(const TMetaClass& other) const {
  for (const TMetaClass* m = this; m != nullptr; m = m->parent_) {
    if (m == &other) return true;
  }
  return false;
}

const TPropInfo* TMetaClass::FindProperty(const QString& name) const {
  for (const TPropInfo* p : properties_) {
    if (p->name.compare(name, Qt::CaseInsensitive) == 0) return p;
  }
  return nullptr;
}

void TMetaClass::SetParent(const TMetaClass* parent) {
  parent_ = parent;
  properties_ = parent != nullptr ? parent->properties_ : QList<const TPropInfo*>();
}

TPropInfo& TMetaClass::AddProperty(TPropInfo info) {
  own_.push_back(std::make_unique<TPropInfo>(std::move(info)));
  TPropInfo* added = own_.back().get();
  for (const TPropInfo*& p : properties_) {
    if (p->name.compare(added->name, Qt::CaseInsensitive) == 0) {
      p = added;  // a redeclaration keeps the inherited position
      return *added;
    }
  }
  properties_.append(added);
  return *added;
}

void TMetaClass::SetComponentFactory(std::function<TComponent*(TComponent*)> factory) {
  componentFactory_ = std::move(factory);
}

void TMetaClass::SetItemFactory(std::function<TCollectionItem*(TCollection*)> factory) {
  itemFactory_ = std::move(factory);
}

TComponent* TMetaClass::CreateComponent(TComponent* owner) const {
  if (!componentFactory_) {
    throw EComponentError(QStringLiteral("Cannot create a component of class %s"), {name_});
  }
  return componentFactory_(owner);
}

TCollectionItem* TMetaClass::CreateItem(TCollection* collection) const {
  if (!itemFactory_) {
    throw EComponentError(QStringLiteral("Cannot create a collection item of class %s"), {name_});
  }
  return itemFactory_(collection);
}
