// Fuzzes the grid file reader (see GridFileCheck.h). Seeds: corpus/.
// Run: puzzle_grid_fuzz -max_len=4096 puzzle/fuzz/corpus
#include "puzzle/fuzz/GridFileCheck.h"
#include "tests/support/FuzzCheck.h"

#include <QTemporaryDir>

#include <algorithm>

namespace {

// A few bytes may ask for a million cells, each of which the reader reads:
// the target takes only inputs that ask for at most this many, so that it
// runs quickly. (The tests replay every kept input at any size.)
constexpr long long kMaxCells = 10000;

// A count as the reader reads it: blanks and line ends skipped, an optional
// sign, digits; then the rest of the line. 0 when there is no number.
long long ReadCount(const QByteArray& bytes, qsizetype& at) {
  while (at < bytes.size() && static_cast<unsigned char>(bytes[at]) <= ' ')
    ++at;
  bool negative = false;
  if (at < bytes.size() && (bytes[at] == '+' || bytes[at] == '-'))
    negative = bytes[at++] == '-';
  long long value = 0;
  while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9')
    value = std::min(value * 10 + (bytes[at++] - '0'), 1LL << 31);
  while (at < bytes.size() && bytes[at++] != '\n') {
  }
  return negative ? 0 : value;
}

long long AskedCells(const QByteArray& bytes) {
  qsizetype at = 0;
  const long long columns = ReadCount(bytes, at);
  return columns * ReadCount(bytes, at);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const QTemporaryDir scratch;
  const QByteArray bytes = qxfuzz::Bytes(data, size);
  if (AskedCells(bytes) > kMaxCells)
    return -1;  // not added to the corpus
  return qxfuzz::Verdict(CheckGridFile(bytes, scratch.path()));
}
