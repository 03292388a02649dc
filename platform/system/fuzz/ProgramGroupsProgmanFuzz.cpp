// Fuzzes the program manager's command parser (see
// ProgramGroupsProgmanCheck.h). Seeds: corpus/.
// Run: system_progman_fuzz -max_len=1024 platform/system/fuzz/corpus
#include "platform/system/fuzz/ProgramGroupsProgmanCheck.h"
#include "tests/support/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return qxfuzz::Verdict(CheckProgmanCommands(qxfuzz::Bytes(data, size)));
}
