#include "platform/rtl/GuardedEntry.h"

void GuardedCall(TObject* sender, const std::function<void()>& fn) noexcept {
  try {
    fn();
  } catch (...) {
    HandOverCurrentException(sender);
  }
}
