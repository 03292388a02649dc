// Fuzzes the INI reader (see IniCheck.h). Seeds: corpus/.
// Run: registry_ini_fuzz -max_len=4096 platform/registry/fuzz/corpus
#include "platform/registry/fuzz/IniCheck.h"
#include "tests/support/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return qxfuzz::Verdict(CheckIni(qxfuzz::Bytes(data, size)));
}
