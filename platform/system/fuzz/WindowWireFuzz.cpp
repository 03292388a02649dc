// Fuzzes what other processes hand us: window-directory entries and message
// datagrams. A decoded value must encode and decode to itself.
// Run: system_wire_fuzz -max_len=4096
#include "platform/system/MessageWire.h"
#include "platform/system/WindowEntry.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  if (const auto entry = DecodeWindowEntry(bytes)) {
    if (DecodeWindowEntry(EncodeWindowEntry(*entry)) != entry)
      std::abort();
  }
  if (const auto message = DecodeWireMessage(bytes)) {
    if (DecodeWireMessage(EncodeWireMessage(*message)) != message)
      std::abort();
  }
  return 0;
}
