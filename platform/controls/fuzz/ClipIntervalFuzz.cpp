// Fuzzes the animation clip's interval file reader (see ClipIntervalCheck.h).
// Seeds: corpus/. Run: controls_clip_interval_fuzz -max_len=64 platform/controls/fuzz/corpus
#include "platform/controls/fuzz/ClipIntervalCheck.h"
#include "tests/support/FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return qxfuzz::Verdict(CheckClipInterval(qxfuzz::Bytes(data, size)));
}
