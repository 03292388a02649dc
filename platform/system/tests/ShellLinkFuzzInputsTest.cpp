#include "platform/system/fuzz/ProgramGroupsProgmanCheck.h"
#include "platform/system/fuzz/ShellLinkEntryCheck.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

TEST(ShellLinkFuzzInputs, ExecValuesQuoteBackAndStringsUnescape) {
  qxtest::ReplayFuzzInputs(CheckShellLinkEntry);
}

TEST(ShellLinkFuzzInputs, ProgmanCommandsWriteBackAndParseTheSame) {
  qxtest::ReplayFuzzInputs(CheckProgmanCommands);
}
