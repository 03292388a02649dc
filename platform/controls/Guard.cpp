#include "platform/controls/Guard.h"

#include "platform/controls/Application.h"

void HandleCurrentException(TObject* sender) noexcept {
  if (Application == nullptr) {
    ReportCurrentException();
    return;
  }
  try {
    Application->HandleException(sender);
  } catch (...) {
    ReportCurrentException();
  }
}

void Guard(TObject* sender, const std::function<void()>& fn) noexcept { GuardedCall(sender, fn); }
