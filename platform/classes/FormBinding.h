#pragma once
// A form class's binding: one table naming the fields its form file fills
// and the handlers the file's events name.
//
//   TFormBinding TForm1::Binding() {
//     return {
//         Field("Grid1", &TForm1::Grid1),
//         Handler("Avaa1Click", &TForm1::Avaa1Click),
//     };
//   }
//
// The form reader takes a class's static Binding() (ReadRootComponent<T>,
// TForm::ReadForm) and checks it against the file: a field whose component
// the file lacks or makes of an incompatible class, or an event naming a
// handler the table lacks, fails the load with EFormBindingError naming the
// form and the name. Fields are set once every component exists, before
// any Loaded runs; a failed load sets them back to nullptr. With a binding,
// the table is the only source of handlers (the method table of
// DefineMethod is not consulted).

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"
#include "platform/rtl/Exceptions.h"

#include <QString>

#include <any>
#include <functional>
#include <initializer_list>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

QX_EXCEPTION(EFormBindingError, EReadError);

// One line of a binding; made by Field and Handler.
struct TBindingEntry {
  enum Kind { kField, kHandler };
  Kind kind;
  QString name;
  // Field: the class its component must be (or derive from).
  QString fieldClass;
  // Field: sets root's field to component (nullptr clears it); false when
  // component is not of the field's class.
  std::function<bool(TComponent& root, TComponent* component)> set;
  // Field: the field's value now.
  std::function<TComponent*(TComponent& root)> get;
  // Handler: the method bound to root, as the std::function an event takes.
  std::function<std::any(TComponent& root)> bind;
};

class TFormBinding {
 public:
  TFormBinding() = default;
  TFormBinding(std::initializer_list<TBindingEntry> entries) : entries_(entries) {}

  const std::vector<TBindingEntry>& Entries() const& { return entries_; }
  // Keeps a loop over a temporary table from reading freed entries.
  void Entries() && = delete;
  // The entry of that kind and name (case-insensitive); nullptr if none.
  const TBindingEntry* Find(TBindingEntry::Kind kind, const QString& name) const;
  // Raises EFormBindingError when a name is bound twice.
  void CheckUnique(const QString& formClass) const;

 private:
  std::vector<TBindingEntry> entries_;
};

namespace classes_detail {

template <class C>
C& BoundRoot(TComponent& root) {
  auto* self = dynamic_cast<C*>(&root);
  if (self == nullptr) {
    throw EFormBindingError(QStringLiteral("Form %1: the binding of %2 read into another class")
                                .arg(root.ClassName(), ClassNameOf(typeid(C))));
  }
  return *self;
}

}  // namespace classes_detail

// The field member of C that holds the file's component of that name.
template <class C, class T>
TBindingEntry Field(const char* name, T* C::*member) {
  static_assert(std::is_base_of_v<TComponent, T>, "a bound field points to a component");
  return TBindingEntry{
      TBindingEntry::kField, QString::fromLatin1(name), classes_detail::ClassNameOf(typeid(T)),
      [member](TComponent& root, TComponent* component) {
        T* typed = dynamic_cast<T*>(component);
        if (component != nullptr && typed == nullptr) return false;
        classes_detail::BoundRoot<C>(root).*member = typed;
        return true;
      },
      [member](TComponent& root) -> TComponent* {
        return classes_detail::BoundRoot<C>(root).*member;
      },
      {}};
}

// The method of C that the file's events name by name.
template <class C, class R, class... A>
TBindingEntry Handler(const char* name, R (C::*method)(A...)) {
  return TBindingEntry{
      TBindingEntry::kHandler, QString::fromLatin1(name), {}, {}, {},
      [method](TComponent& root) {
        C* self = &classes_detail::BoundRoot<C>(root);
        return std::any(std::function<R(A...)>(
            [self, method](A... args) { return (self->*method)(std::forward<A>(args)...); }));
      }};
}

// The binding of T when it declares one; nullptr otherwise. Keeps the table
// in holder for as long as the read needs it.
template <class T>
const TFormBinding* BindingOf(TFormBinding& holder) {
  if constexpr (requires { { T::Binding() } -> std::convertible_to<TFormBinding>; }) {
    holder = T::Binding();
    return &holder;
  } else {
    return nullptr;
  }
}
