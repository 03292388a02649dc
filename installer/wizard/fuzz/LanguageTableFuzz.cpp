// Fuzzes the language-table reader (see LanguageTableCheck.h). Seeds: corpus/.
// Run: wizard_language_table_fuzz -max_len=4096 installer/wizard/fuzz/corpus
#include "installer/wizard/fuzz/LanguageTableCheck.h"
#include "tests/support/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return qxfuzz::Verdict(CheckLanguageTable(qxfuzz::Bytes(data, size)));
}
