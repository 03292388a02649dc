// Fuzzes the word list reader (see WordListCheck.h). Seeds: corpus/.
// Run: rtl_word_list_fuzz -max_len=4096 platform/rtl/fuzz/corpus
#include "platform/rtl/fuzz/WordListCheck.h"
#include "tests/support/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return qxfuzz::Verdict(CheckWordList(qxfuzz::Bytes(data, size)));
}
