#include "platform/rtl/ProcessState.h"

#include <mutex>
#include <vector>

namespace {
struct Hooks {
  std::mutex lock;
  std::vector<std::function<void()>> list;
};
Hooks& TheHooks() {
  static Hooks hooks;  // trivially reset; holds no resources of its own
  return hooks;
}
}  // namespace

void RegisterResetHook(std::function<void()> hook) {
  Hooks& h = TheHooks();
  std::lock_guard guard(h.lock);
  h.list.push_back(std::move(hook));
}

void ResetProcessState() {
  std::vector<std::function<void()>> copy;
  {
    Hooks& h = TheHooks();
    std::lock_guard guard(h.lock);
    copy = h.list;
  }
  for (auto& hook : copy)
    hook();
}
