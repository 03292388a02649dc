#include "platform/controls/Guard.h"

#include "platform/controls/Application.h"

#include <cstdio>
#include <exception>

namespace {

void Report(const char* text) {
  std::fprintf(stderr, "unhandled exception: %s\n", text);
}

// Last resort when no application object exists or its handler failed.
void ReportCurrent() noexcept {
  try {
    throw;
  } catch (const std::exception& e) {
    Report(e.what());
  } catch (...) {
    Report("unknown exception");
  }
}

}  // namespace

void HandleCurrentException(TObject* sender) noexcept {
  if (Application == nullptr) {
    ReportCurrent();
    return;
  }
  try {
    Application->HandleException(sender);
  } catch (...) {
    ReportCurrent();
  }
}

void Guard(TObject* sender, const std::function<void()>& fn) noexcept {
  try {
    fn();
  } catch (...) {
    HandleCurrentException(sender);
  }
}
