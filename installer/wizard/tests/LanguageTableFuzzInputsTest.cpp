#include "installer/wizard/fuzz/LanguageTableCheck.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(LanguageTableFuzzInputs, EachReadsByTheRulesOrFailsChangingNothing) {
  qxtest::ReplayFuzzInputs(CheckLanguageTable);
}
