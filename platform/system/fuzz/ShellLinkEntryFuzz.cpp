// Fuzzes the desktop-entry value escapes and Exec quoting (see
// ShellLinkEntryCheck.h). Seeds: corpus/.
// Run: system_shell_entry_fuzz -max_len=1024 platform/system/fuzz/corpus
#include "platform/system/fuzz/ShellLinkEntryCheck.h"
#include "tests/support/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return qxfuzz::Verdict(CheckShellLinkEntry(qxfuzz::Bytes(data, size)));
}
