#pragma once
// Published properties: the per-class property tables that form files are
// read into and written from.
//
// Every class with metadata has one TMetaClass: its name, its parent's
// metaclass, its own properties after the inherited ones, and factories for
// components and collection items. Tables are declared with TClassBuilder
// (ClassBuilder.h); a descendant that declares a property of the same name
// replaces the inherited entry in place (a new default, for instance).
//
// Stored values by kind:
//   Integer, Int64  number (or an identifier of the property's ident table)
//   Boolean         True / False
//   Enumeration     identifier of the enumeration table
//   Set             [a, b] of identifiers of the enumeration table
//   Float           number with '.' or exponent (integers accepted)
//   String          quoted text
//   Strings         ( 'x' 'y' ) into the TStrings the getter returns
//   Object          no value of its own: its properties are "Prop.Sub"
//   Collection      < item ... end > into the TCollection the getter returns
//   Component       the name of a component of the same form
//   Event           the name of a method of the form's method table

#include <QList>
#include <QString>

#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <typeindex>
#include <vector>

class TObject;
class TPersistent;
class TComponent;
class TCollection;
class TCollectionItem;
class TStrings;

enum class TPropKind {
  Integer,
  Int64,
  Boolean,
  Enumeration,
  Set,
  Float,
  String,
  Strings,
  Object,
  Collection,
  Component,
  Event
};

// A table of identifiers and their values: the names of an enumeration (in
// ordinal order), or named constants of an integer property.
class TEnumInfo {
 public:
  struct Entry {
    std::int64_t value;
    const char* name;
  };
  // Names of ordinals 0, 1, 2, ...
  TEnumInfo(std::initializer_list<const char*> names);
  TEnumInfo(std::initializer_list<Entry> entries);

  int Count() const { return static_cast<int>(names_.size()); }
  QString Name(int index) const { return names_[index]; }
  std::int64_t Value(int index) const { return values_[index]; }
  // Identifier to value, without regard to case; false when unknown.
  bool ToValue(const QString& ident, std::int64_t& value) const;
  // Value to its first identifier; false when it has none.
  bool ToIdent(std::int64_t value, QString& ident) const;

 private:
  QList<QString> names_;
  QList<std::int64_t> values_;
};

// One published property: its name, kind, accessors, default and stored
// predicate. Accessors take the object whose table holds the property.
struct TPropInfo {
  QString name;
  TPropKind kind = TPropKind::Integer;
  const TEnumInfo* idents = nullptr;  // Enumeration, Set; optional for Integer
  std::int64_t minValue = 0;          // ordinal range of the C++ type
  std::int64_t maxValue = 0;
  double maxFloat = 0;                // Float: largest magnitude
  std::optional<std::int64_t> ordDefault;  // ordinal kinds; none: always written
  double floatDefault = 0;
  // String: the text that is not written (a new object's text); without
  // one the empty text is not written.
  std::optional<QString> stringDefault;
  std::function<bool(const TObject*)> stored;  // empty: always stored

  std::function<std::int64_t(const TObject*)> getOrd;
  std::function<void(TObject*, std::int64_t)> setOrd;
  std::function<double(const TObject*)> getFloat;
  std::function<void(TObject*, double)> setFloat;
  std::function<QString(const TObject*)> getString;
  std::function<void(TObject*, const QString&)> setString;
  std::function<TStrings*(const TObject*)> getStrings;
  std::function<TPersistent*(const TObject*)> getObject;  // Object, Collection
  // Static class of the sub-object (built on first use, so classes may
  // refer to each other).
  const class TMetaClass& (*objectClass)() = nullptr;
  std::function<TComponent*(const TObject*)> getComponent;
  // False when the component is not of the class the setter takes.
  std::function<bool(TObject*, TComponent*)> setComponent;
  std::function<bool(const TObject*)> eventAssigned;
  // False when the method's type is not the event's type.
  std::function<bool(TObject*, const std::any&)> setEvent;

  bool IsOrdinal() const;
  // False for a read-only property (and for sub-objects, which are read
  // into, never replaced).
  bool IsWritable() const;
  bool IsStored(const TObject* object) const { return !stored || stored(object); }
};

class TMetaClass {
 public:
  TMetaClass(std::type_index type, QString name);
  TMetaClass(const TMetaClass&) = delete;
  TMetaClass& operator=(const TMetaClass&) = delete;

  QString ClassName() const { return name_; }
  const TMetaClass* ClassParent() const { return parent_; }
  std::type_index Type() const { return type_; }
  bool InheritsFrom(const TMetaClass& other) const;

  // All published properties, ancestors' first.
  const QList<const TPropInfo*>& Properties() const { return properties_; }
  // By name, without regard to case; nullptr when absent.
  const TPropInfo* FindProperty(const QString& name) const;

  bool CanCreateComponent() const { return static_cast<bool>(componentFactory_); }
  // A new component of this class, owned by owner (EComponentError when the
  // class cannot be created by name).
  TComponent* CreateComponent(TComponent* owner) const;
  bool CanCreateItem() const { return static_cast<bool>(itemFactory_); }
  // A new item of this class, added to collection (EComponentError when the
  // class is no creatable collection item).
  TCollectionItem* CreateItem(TCollection* collection) const;

  // Building (used by TClassBuilder and MetaClassOf).
  void SetParent(const TMetaClass* parent);
  TPropInfo& AddProperty(TPropInfo info);
  TPropInfo& LastProperty() { return *own_.back(); }
  void SetComponentFactory(std::function<TComponent*(TComponent*)> factory);
  void SetItemFactory(std::function<TCollectionItem*(TCollection*)> factory);

 private:
  std::type_index type_;
  QString name_;
  const TMetaClass* parent_ = nullptr;
  std::vector<std::unique_ptr<TPropInfo>> own_;
  QList<const TPropInfo*> properties_;
  std::function<TComponent*(TComponent*)> componentFactory_;
  std::function<TCollectionItem*(TCollection*)> itemFactory_;
};

// Metadata of an object's dynamic class; nullptr when that class never had
// its metaclass built (then the caller falls back on a static class).
const TMetaClass* FindMetaClass(const TObject& object);
