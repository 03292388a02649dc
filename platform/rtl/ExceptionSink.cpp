#include "platform/rtl/ExceptionSink.h"

#include <atomic>
#include <cstdio>
#include <exception>

namespace {

std::atomic<TExceptionSink> g_sink{nullptr};  // a plain pointer: nothing to destroy

void Report(const char* text) { std::fprintf(stderr, "unhandled exception: %s\n", text); }

}  // namespace

void ReportCurrentException() noexcept {
  try {
    throw;
  } catch (const std::exception& e) {
    Report(e.what());
  } catch (...) {
    Report("unknown exception");
  }
}

TExceptionSink SetExceptionSink(TExceptionSink sink) noexcept { return g_sink.exchange(sink); }

void HandOverCurrentException(TObject* sender) noexcept {
  const TExceptionSink sink = g_sink.load();
  if (sink == nullptr) {
    ReportCurrentException();
    return;
  }
  try {
    sink(sender);
  } catch (...) {
    ReportCurrentException();
  }
}
