#include "platform/registry/fuzz/IniCheck.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(IniFuzzInputs, EachWritesBackToTheSameEntries) {
  qxtest::ReplayFuzzInputs(CheckIni);
}
