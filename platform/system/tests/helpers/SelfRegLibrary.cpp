// Test library that registers itself: each entry writes its name to the
// file $QX_SELFREG_MARKER and returns $QX_SELFREG_RESULT (0 when unset).
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

std::int32_t Answer(const char* name) {
  if (const char* marker = std::getenv("QX_SELFREG_MARKER")) {
    if (std::FILE* out = std::fopen(marker, "w")) {
      std::fputs(name, out);
      std::fclose(out);
    }
  }
  const char* result = std::getenv("QX_SELFREG_RESULT");
  return result ? std::int32_t(std::strtol(result, nullptr, 0)) : 0;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) std::int32_t DllRegisterServer() {
  return Answer("DllRegisterServer");
}

extern "C" __attribute__((visibility("default"))) std::int32_t DllUnregisterServer() {
  return Answer("DllUnregisterServer");
}
