// Fuzzes the BMP reader (see BmpCheck.h). Seeds: corpus/.
// Run: graphics_bmp_fuzz -max_len=4096 platform/graphics/fuzz/corpus
#include "platform/graphics/fuzz/BmpCheck.h"
#include "tests/support/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return qxfuzz::Verdict(CheckBmp(qxfuzz::Bytes(data, size)));
}
