#include "puzzle/fuzz/GridFileCheck.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(GridFileFuzzInputs, EachIsReadAndSavedBackOrRefused) {
  qxtest::ReplayFuzzInputs(
      [](const QByteArray& bytes) { return CheckGridFile(bytes, qxtest::TempRoot()); });
}
