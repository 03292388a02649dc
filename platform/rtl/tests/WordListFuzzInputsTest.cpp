#include "platform/rtl/fuzz/WordListCheck.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(WordListFuzzInputs, EachSavesAndReadsBackToItsWords) {
  qxtest::ReplayFuzzInputs(CheckWordList);
}
