#include "platform/system/fuzz/CommandLineCheck.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(CommandLineFuzzInputs, EachSplitsAgainWhenQuotedBack) {
  qxtest::ReplayFuzzInputs(CheckCommandLine);
}
