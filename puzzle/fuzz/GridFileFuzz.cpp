// Fuzzes the grid file reader (see GridFileCheck.h). Seeds: corpus/.
// Run: puzzle_grid_fuzz -max_len=4096 puzzle/fuzz/corpus
#include "puzzle/fuzz/GridFileCheck.h"
#include "tests/support/FuzzCheck.h"

#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const QTemporaryDir scratch;
  return qxfuzz::Verdict(CheckGridFile(qxfuzz::Bytes(data, size), scratch.path()));
}
