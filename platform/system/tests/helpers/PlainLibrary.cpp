// Test library that exports no registration entry.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) std::int32_t PlainLibraryAnswer() {
  return 7;
}
