#include "platform/controls/fuzz/ClipIntervalCheck.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(ClipIntervalFuzzInputs, EachGivesAnIntervalAboveZero) {
  qxtest::ReplayFuzzInputs(CheckClipInterval);
}
