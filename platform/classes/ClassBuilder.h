#pragma once
// Declaring property tables.
//
// A class with published properties declares, publicly,
//
//   static void DeclareProperties(TClassBuilder<TLabel, TCustomLabel>& b);
//
// naming itself and its parent class; the parent's table is inherited. In
// the definition, each property is one line:
//
//   b.Property("Caption", &TLabel::Caption, &TLabel::SetCaption);
//   b.Property("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize).Default(true);
//   b.Property("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, kAlignmentIdents)
//       .Default(taLeftJustify);
//   b.Property("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
//   b.Object("Font", &TLabel::Font);          // sub-object, list or collection
//   b.Event("OnClick", &TLabel::OnClick);     // std::function member
//
// The kind follows the C++ type: bool, integers (Integer up to 32 bits, else
// Int64; the type's range is enforced on reading), double, QString,
// pointers to components (references), enumerations and TSet<E> (with their
// TEnumInfo), getters returning TStrings*, TCollection* or TPersistent*.
// A class without DeclareProperties of its own inherits its parent's table.
// MetaClassOf<T>() builds a class's metadata on first use.

#include "platform/classes/Collection.h"
#include "platform/classes/Component.h"
#include "platform/classes/Properties.h"
#include "platform/classes/Set.h"
#include "platform/rtl/StringList.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <type_traits>
#include <typeindex>
#include <typeinfo>

template <class T>
const TMetaClass& MetaClassOf();

namespace classes_detail {

// The C++ name of a type without namespaces ("TLabel").
QString ClassNameOf(const std::type_info& type);
// Keeps a built metaclass for the rest of the process and indexes it by type.
const TMetaClass& AdoptMetaClass(std::unique_ptr<TMetaClass> meta);

template <class V>
struct IsTSet : std::false_type {};
template <class E>
struct IsTSet<TSet<E>> : std::true_type {};

template <class V>
std::int64_t ToOrdinal(const V& value) {
  if constexpr (IsTSet<V>::value) {
    return static_cast<std::int64_t>(value.Bits());
  } else {
    return static_cast<std::int64_t>(value);
  }
}

template <class V>
V FromOrdinal(std::int64_t ordinal) {
  if constexpr (IsTSet<V>::value) {
    return V::FromBits(static_cast<std::uint64_t>(ordinal));
  } else if constexpr (std::is_same_v<V, bool>) {
    return ordinal != 0;
  } else {
    return static_cast<V>(ordinal);
  }
}

template <class F>
struct DeclTraits;
template <class O, class P>
struct DeclTraits<void (*)(TClassBuilder<O, P>&)> {
  using Owner = O;
  using Parent = P;
};

template <class T>
const T* Self(const TObject* object) {
  return static_cast<const T*>(object);
}
template <class T>
T* Self(TObject* object) {
  return static_cast<T*>(object);
}

}  // namespace classes_detail

// Refines the property just declared.
template <class T>
class TPropertyRef {
 public:
  explicit TPropertyRef(TPropInfo& info) : info_(info) {}

  // The value that is not written (ordinal kinds, Float and String).
  // Ordinal properties without a default are always written; a String
  // whose new object's text is not empty declares that text, so an empty
  // text is written and reads back as itself.
  template <class V>
  TPropertyRef& Default(const V& value) {
    if constexpr (!std::is_arithmetic_v<V> && !std::is_enum_v<V> &&
                  std::is_convertible_v<const V&, QString>) {
      info_.stringDefault = QString(value);
    } else {
      if constexpr (std::is_arithmetic_v<V>) {
        if (info_.kind == TPropKind::Float) {
          info_.floatDefault = static_cast<double>(value);
          return *this;
        }
      }
      info_.ordDefault = classes_detail::ToOrdinal(value);
    }
    return *this;
  }
  TPropertyRef& Stored(bool value) {
    info_.stored = [value](const TObject*) { return value; };
    return *this;
  }
  template <class C>
  TPropertyRef& Stored(bool (C::*predicate)() const) {
    static_assert(std::is_base_of_v<C, T>);
    info_.stored = [predicate](const TObject* o) {
      return (classes_detail::Self<T>(o)->*predicate)();
    };
    return *this;
  }

 private:
  TPropInfo& info_;
};

template <class T, class P>
class TClassBuilder {
  static_assert(std::is_void_v<P> || (std::is_base_of_v<P, T> && !std::is_same_v<P, T>),
                "the second argument of TClassBuilder is the parent class");

 public:
  explicit TClassBuilder(TMetaClass& meta) : meta_(meta) {}

  // bool, integer, floating point, QString and component-reference properties.
  template <class C, class G, class C2, class S>
  TPropertyRef<T> Property(const char* name, G (C::*get)() const, void (C2::*set)(S)) {
    static_assert(std::is_base_of_v<C, T> && std::is_base_of_v<C2, T>);
    using V = std::remove_cvref_t<G>;
    using SV = std::remove_cvref_t<S>;
    TPropInfo info;
    info.name = QString::fromUtf8(name);
    if constexpr (std::is_pointer_v<V>) {
      SetComponentAccess<SV>(info, get, set);
    } else {
      static_assert(std::is_same_v<V, SV>, "getter and setter types differ");
      static_assert(!std::is_enum_v<V> && !classes_detail::IsTSet<V>::value,
                    "enumerations and sets need their TEnumInfo");
      SetValueAccess<V>(info, get, set);
    }
    return TPropertyRef<T>(meta_.AddProperty(std::move(info)));
  }

  // Enumeration, set and integer-with-named-constants properties. idents
  // must outlive the process's use of the class (a static table).
  template <class C, class G, class C2, class S>
  TPropertyRef<T> Property(const char* name, G (C::*get)() const, void (C2::*set)(S),
                           const TEnumInfo& idents) {
    static_assert(std::is_base_of_v<C, T> && std::is_base_of_v<C2, T>);
    using V = std::remove_cvref_t<G>;
    static_assert(std::is_same_v<V, std::remove_cvref_t<S>>, "getter and setter types differ");
    TPropInfo info;
    info.name = QString::fromUtf8(name);
    info.idents = &idents;
    if constexpr (std::is_enum_v<V>) {
      info.kind = TPropKind::Enumeration;
      SetOrdinalAccess<V>(info, get, set);
    } else if constexpr (classes_detail::IsTSet<V>::value) {
      info.kind = TPropKind::Set;
      SetOrdinalAccess<V>(info, get, set);
    } else {
      static_assert(std::is_integral_v<V> && !std::is_same_v<V, bool>);
      SetValueAccess<V>(info, get, set);
    }
    return TPropertyRef<T>(meta_.AddProperty(std::move(info)));
  }

  // Read-only properties: published (so they can be listed and read by
  // code) but never stored; a form file that sets one is refused.
  template <class C, class G>
  TPropertyRef<T> Property(const char* name, G (C::*get)() const) {
    using V = std::remove_cvref_t<G>;
    return ReadOnly(Property(name, get, static_cast<void (C::*)(V)>(nullptr)));
  }
  template <class C, class G>
  TPropertyRef<T> Property(const char* name, G (C::*get)() const, const TEnumInfo& idents) {
    using V = std::remove_cvref_t<G>;
    return ReadOnly(Property(name, get, static_cast<void (C::*)(V)>(nullptr), idents));
  }

  // A sub-object the component owns: a TStrings (stored as a list), a
  // TCollection (stored as items) or any other TPersistent (its properties
  // stored as "Name.Prop").
  template <class C, class R>
  TPropertyRef<T> Object(const char* name, R* (C::*get)() const) {
    static_assert(std::is_base_of_v<C, T>);
    TPropInfo info;
    info.name = QString::fromUtf8(name);
    if constexpr (std::is_base_of_v<TStrings, R>) {
      info.kind = TPropKind::Strings;
      info.getStrings = [get](const TObject* o) -> TStrings* {
        return (classes_detail::Self<T>(o)->*get)();
      };
    } else {
      static_assert(std::is_base_of_v<TPersistent, R>, "sub-objects are TPersistent");
      info.kind = std::is_base_of_v<TCollection, R> ? TPropKind::Collection : TPropKind::Object;
      info.objectClass = &MetaClassOf<R>;
      info.getObject = [get](const TObject* o) -> TPersistent* {
        return (classes_detail::Self<T>(o)->*get)();
      };
    }
    return TPropertyRef<T>(meta_.AddProperty(std::move(info)));
  }

  // The same with a getter that is not const.
  template <class C, class R>
  TPropertyRef<T> Object(const char* name, R* (C::*get)()) {
    static_assert(std::is_base_of_v<C, T>);
    TPropertyRef<T> ref = Object(name, static_cast<R* (C::*)() const>(nullptr));
    TPropInfo& info = meta_.LastProperty();
    auto call = [get](const TObject* o) { return (const_cast<T*>(classes_detail::Self<T>(o))->*get)(); };
    if constexpr (std::is_base_of_v<TStrings, R>) {
      info.getStrings = [call](const TObject* o) -> TStrings* { return call(o); };
    } else {
      info.getObject = [call](const TObject* o) -> TPersistent* { return call(o); };
    }
    return ref;
  }

  // An event: a std::function data member, bound by method name.
  template <class C, class Sig>
  TPropertyRef<T> Event(const char* name, std::function<Sig> C::*member) {
    static_assert(std::is_base_of_v<C, T>);
    TPropInfo info;
    info.name = QString::fromUtf8(name);
    info.kind = TPropKind::Event;
    info.eventAssigned = [member](const TObject* o) {
      return static_cast<bool>(classes_detail::Self<T>(o)->*member);
    };
    info.setEvent = [member](TObject* o, const std::any& method) {
      const auto* fn = std::any_cast<std::function<Sig>>(&method);
      if (fn == nullptr) return false;
      classes_detail::Self<T>(o)->*member = *fn;
      return true;
    };
    return TPropertyRef<T>(meta_.AddProperty(std::move(info)));
  }

 private:
  TPropertyRef<T> ReadOnly(TPropertyRef<T> ref) {
    TPropInfo& info = meta_.LastProperty();
    info.setOrd = nullptr;
    info.setFloat = nullptr;
    info.setString = nullptr;
    info.setComponent = nullptr;
    ref.Stored(false);
    return ref;
  }

  template <class V, class Get, class Set>
  static void SetOrdinalAccess(TPropInfo& info, Get get, Set set) {
    info.getOrd = [get](const TObject* o) {
      return classes_detail::ToOrdinal<V>((classes_detail::Self<T>(o)->*get)());
    };
    info.setOrd = [set](TObject* o, std::int64_t v) {
      (classes_detail::Self<T>(o)->*set)(classes_detail::FromOrdinal<V>(v));
    };
  }

  template <class V, class Get, class Set>
  static void SetValueAccess(TPropInfo& info, Get get, Set set) {
    if constexpr (std::is_same_v<V, bool>) {
      info.kind = TPropKind::Boolean;
      info.maxValue = 1;
      SetOrdinalAccess<V>(info, get, set);
    } else if constexpr (std::is_integral_v<V>) {
      info.kind = sizeof(V) <= 4 ? TPropKind::Integer : TPropKind::Int64;
      info.minValue = static_cast<std::int64_t>(std::numeric_limits<V>::min());
      info.maxValue = std::numeric_limits<V>::max() > std::numeric_limits<std::int64_t>::max()
                          ? std::numeric_limits<std::int64_t>::max()
                          : static_cast<std::int64_t>(std::numeric_limits<V>::max());
      SetOrdinalAccess<V>(info, get, set);
    } else if constexpr (std::is_floating_point_v<V>) {
      info.kind = TPropKind::Float;
      info.maxFloat = static_cast<double>(std::numeric_limits<V>::max());
      info.getFloat = [get](const TObject* o) {
        return static_cast<double>((classes_detail::Self<T>(o)->*get)());
      };
      info.setFloat = [set](TObject* o, double v) {
        (classes_detail::Self<T>(o)->*set)(static_cast<V>(v));
      };
    } else {
      static_assert(std::is_same_v<V, QString>, "unsupported property type");
      info.kind = TPropKind::String;
      info.getString = [get](const TObject* o) {
        return QString((classes_detail::Self<T>(o)->*get)());
      };
      info.setString = [set](TObject* o, const QString& v) {
        (classes_detail::Self<T>(o)->*set)(v);
      };
    }
  }

  template <class SV, class Get, class Set>
  static void SetComponentAccess(TPropInfo& info, Get get, Set set) {
    using Target = std::remove_pointer_t<SV>;
    static_assert(std::is_pointer_v<SV> && std::is_base_of_v<TComponent, Target>,
                  "reference properties take a pointer to a component class");
    info.kind = TPropKind::Component;
    info.getComponent = [get](const TObject* o) -> TComponent* {
      return (classes_detail::Self<T>(o)->*get)();
    };
    info.setComponent = [set](TObject* o, TComponent* c) {
      auto* typed = dynamic_cast<Target*>(c);
      if (c != nullptr && typed == nullptr) return false;
      (classes_detail::Self<T>(o)->*set)(typed);
      return true;
    };
  }

  TMetaClass& meta_;
};

namespace classes_detail {

template <class T>
void AddFactories(TMetaClass& meta) {
  if constexpr (std::is_base_of_v<TComponent, T> && !std::is_abstract_v<T> &&
                std::is_constructible_v<T, TComponent*>) {
    meta.SetComponentFactory([](TComponent* owner) -> TComponent* { return new T(owner); });
  }
  if constexpr (std::is_base_of_v<TCollectionItem, T> && !std::is_abstract_v<T> &&
                std::is_constructible_v<T, TCollection*>) {
    meta.SetItemFactory(
        [](TCollection* collection) -> TCollectionItem* { return new T(collection); });
  }
}

template <class T>
const TMetaClass& BuildMetaClass() {
  auto meta = std::make_unique<TMetaClass>(std::type_index(typeid(T)), ClassNameOf(typeid(T)));
  using Decl = DeclTraits<decltype(&T::DeclareProperties)>;
  if constexpr (std::is_same_v<typename Decl::Owner, T>) {
    if constexpr (!std::is_void_v<typename Decl::Parent>) {
      meta->SetParent(&MetaClassOf<typename Decl::Parent>());
    }
    TClassBuilder<T, typename Decl::Parent> builder(*meta);
    T::DeclareProperties(builder);
  } else {
    // T declares nothing itself: its table is that of the nearest ancestor
    // that does.
    meta->SetParent(&MetaClassOf<typename Decl::Owner>());
  }
  AddFactories<T>(*meta);
  return AdoptMetaClass(std::move(meta));
}

}  // namespace classes_detail

template <class T>
const TMetaClass& MetaClassOf() {
  static const TMetaClass& meta = classes_detail::BuildMetaClass<T>();
  return meta;
}
