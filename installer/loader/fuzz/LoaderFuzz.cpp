// Fuzzes the loader's reading of its own image: trailer, setup archive
// headers and member data. Seeds: corpus/.
// Run: loader_image_fuzz -max_len=20000 installer/loader/fuzz/corpus
#include "installer/loader/fuzz/LoaderCheck.h"
#include "tests/support/FuzzCheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return qxfuzz::Verdict(
      qxfuzz::Guarded([&] { return loadercheck::CheckSetupImage(qxfuzz::Bytes(data, size)); }));
}
