#include "platform/rtl/ProcessState.h"

#include <QCoreApplication>

#include <mutex>
#include <typeindex>
#include <vector>

namespace {

struct Held {
  std::type_index type;
  void* object;
  rtl_detail::TDestroy destroy;
};

// The tables themselves own nothing: the objects in them are destroyed by
// ShutdownProcessObjects only, never at exit.
struct Tables {
  std::mutex lock;
  std::vector<Held> objects;  // in order of creation
  bool postRoutineAdded = false;
  std::vector<std::function<void()>> resets;
};

Tables& TheTables() {
  static Tables* tables = new Tables;  // never destroyed: outlives every static
  return *tables;
}

void ShutdownWithQt() {
  {
    Tables& t = TheTables();
    std::lock_guard guard(t.lock);
    t.postRoutineAdded = false;
  }
  ShutdownProcessObjects();
}

// Called with the lock held.
void WatchQtApplication(Tables& t) {
  if (t.postRoutineAdded || QCoreApplication::instance() == nullptr) return;
  qAddPostRoutine(ShutdownWithQt);
  t.postRoutineAdded = true;
}

Held* FindLocked(Tables& t, const std::type_info& type) {
  for (Held& h : t.objects)
    if (h.type == std::type_index(type)) return &h;
  return nullptr;
}

}  // namespace

namespace rtl_detail {

void* FindProcessObject(const std::type_info& type) noexcept {
  Tables& t = TheTables();
  std::lock_guard guard(t.lock);
  Held* h = FindLocked(t, type);
  return h != nullptr ? h->object : nullptr;
}

void* AdoptProcessObject(const std::type_info& type, void* object, TDestroy destroy) {
  Tables& t = TheTables();
  {
    std::lock_guard guard(t.lock);
    if (Held* h = FindLocked(t, type); h == nullptr) {
      t.objects.push_back({std::type_index(type), object, destroy});
      WatchQtApplication(t);
      return object;
    }
  }
  // Another thread made one first: that one stays.
  destroy(object);
  return FindProcessObject(type);
}

void* ExchangeProcessObject(const std::type_info& type, void* object, TDestroy destroy) {
  Tables& t = TheTables();
  std::lock_guard guard(t.lock);
  void* old = nullptr;
  for (auto it = t.objects.begin(); it != t.objects.end(); ++it) {
    if (it->type == std::type_index(type)) {
      old = it->object;
      t.objects.erase(it);
      break;
    }
  }
  if (object != nullptr) {
    t.objects.push_back({std::type_index(type), object, destroy});
    WatchQtApplication(t);
  }
  return old;
}

}  // namespace rtl_detail

void ShutdownProcessObjects() noexcept {
  Tables& t = TheTables();
  for (;;) {
    Held newest{typeid(void), nullptr, nullptr};
    {
      std::lock_guard guard(t.lock);
      if (t.objects.empty()) return;
      newest = t.objects.back();
      t.objects.pop_back();
    }
    newest.destroy(newest.object);  // outside the lock: it may use other held objects
  }
}

TResetHook::TResetHook(std::function<void()> reset) {
  Tables& t = TheTables();
  std::lock_guard guard(t.lock);
  t.resets.push_back(std::move(reset));
}

void ResetProcessState() {
  ShutdownProcessObjects();
  std::vector<std::function<void()>> resets;
  {
    Tables& t = TheTables();
    std::lock_guard guard(t.lock);
    resets = t.resets;
  }
  for (auto& reset : resets) reset();
}
