// Fuzzes the BMP reader (see BmpCheck.h). Seeds: corpus/.
// Run: graphics_bmp_fuzz -max_len=4096 platform/graphics/fuzz/corpus
#include "platform/graphics/fuzz/BmpCheck.h"
#include "tests/support/FuzzCheck.h"

#include <QtEndian>

#include <cstdlib>

namespace {

// A few bytes of a compressed file may ask for a huge image, which the
// reader allocates and fills: the target takes only inputs whose header asks
// for at most this many pixels, so that it runs quickly. (The tests replay
// every kept input at any size.)
constexpr long long kMaxPixels = 1 << 16;

// The pixels the header asks for, read as the reader reads them (a 12-byte
// header has 16-bit sizes); 0 when the header is too short to say.
long long AskedPixels(const QByteArray& bytes) {
  if (bytes.size() < 26)
    return 0;
  const char* p = bytes.constData();
  if (qFromLittleEndian<quint32>(p + 14) == 12)
    return static_cast<long long>(qFromLittleEndian<quint16>(p + 18)) * qFromLittleEndian<quint16>(p + 20);
  return std::llabs(static_cast<long long>(qFromLittleEndian<qint32>(p + 18))) *
         std::llabs(static_cast<long long>(qFromLittleEndian<qint32>(p + 22)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const QByteArray bytes = qxfuzz::Bytes(data, size);
  if (AskedPixels(bytes) > kMaxPixels)
    return -1;  // not added to the corpus
  return qxfuzz::Verdict(CheckBmp(bytes));
}
