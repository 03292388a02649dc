#pragma once
// Process-wide state, in two kinds.
//
// Objects that hold resources for the whole process (open registry hives,
// the version cache, the clipboard, the printer, ...) live in the holder:
// one object per type, made on its first use and destroyed, in reverse order
// of creation, by ShutdownProcessObjects. The application object's
// destructor calls it; so does the Qt application object when it goes (for
// programs without an application object) and the test reset. None is ever
// destroyed by a static destructor: what is left at exit is left alone.
//
//   TVersionResource& reader = ProcessObject<TVersionResource>(
//       [] { return std::make_unique<TVersionResource>(nullptr); });
//
// Settings that tests change (clock and timer hooks, seeds, the current
// window directory, ...) own nothing; they are put back by a reset hook,
// declared once at namespace scope in the unit that keeps the setting:
//
//   const TResetHook kResetClocks(ResetClocks);

#include <functional>
#include <memory>
#include <typeinfo>
#include <utility>

namespace rtl_detail {
using TDestroy = void (*)(void*);
void* FindProcessObject(const std::type_info& type) noexcept;
// Keeps object (freed by destroy) unless one of the type came first; returns
// the one kept.
void* AdoptProcessObject(const std::type_info& type, void* object, TDestroy destroy);
// Puts object (nullptr: none) in the type's place; returns the one before,
// no longer held.
void* ExchangeProcessObject(const std::type_info& type, void* object, TDestroy destroy);

template <class T>
void Destroy(void* object) {
  delete static_cast<T*>(object);
}
}  // namespace rtl_detail

// The held object of type T; nullptr while there is none.
template <class T>
T* FindProcessObject() noexcept {
  return static_cast<T*>(rtl_detail::FindProcessObject(typeid(T)));
}

// The held object of type T, made by make() (a std::unique_ptr<T>) on first use.
template <class T, class Make>
T& ProcessObject(Make&& make) {
  if (T* held = FindProcessObject<T>()) return *held;
  std::unique_ptr<T> made = std::forward<Make>(make)();
  return *static_cast<T*>(
      rtl_detail::AdoptProcessObject(typeid(T), made.release(), &rtl_detail::Destroy<T>));
}

// The held object of type T, default-constructed on first use.
template <class T>
T& ProcessObject() {
  return ProcessObject<T>([] { return std::make_unique<T>(); });
}

// Holds now (nullptr: nothing) in place of the object of type T, which is
// handed back and no longer held.
template <class T>
std::unique_ptr<T> ReplaceProcessObject(std::unique_ptr<T> now) {
  return std::unique_ptr<T>(static_cast<T*>(
      rtl_detail::ExchangeProcessObject(typeid(T), now.release(), &rtl_detail::Destroy<T>)));
}

// Destroys the object of type T now (the next ProcessObject makes a new one).
template <class T>
void FreeProcessObject() {
  ReplaceProcessObject<T>(nullptr);
}

// Destroys every held object, the newest first. Objects made meanwhile (by a
// destructor) go too.
void ShutdownProcessObjects() noexcept;

// A reset step for a setting; steps run in the order they were declared.
class TResetHook {
 public:
  explicit TResetHook(std::function<void()> reset);
};

// For tests: destroys the held objects, then runs every reset step.
void ResetProcessState();
