// Fuzzes the command line splitter (see CommandLineCheck.h). Seeds: corpus/.
// Run: system_command_line_fuzz -max_len=1024 platform/system/fuzz/corpus
#include "platform/system/fuzz/CommandLineCheck.h"
#include "tests/support/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return qxfuzz::Verdict(CheckCommandLine(qxfuzz::Bytes(data, size)));
}
