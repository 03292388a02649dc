#include "platform/graphics/fuzz/BmpCheck.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(BmpFuzzInputs, EachIsReadAndWrittenBackOrRefused) {
  qxtest::ReplayFuzzInputs(CheckBmp);
}
