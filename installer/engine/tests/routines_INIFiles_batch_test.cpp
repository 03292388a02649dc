// ReadIniSections fills the list in one batch: a change handler that raises
// at its end reaches the caller and the batch is closed.
#include "installer/engine/routines_INIFiles.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(ReadIniSectionsBatch, ARaisingChangeHandlerReachesTheCallerAndTheBatchCloses) {
  const QString file = qxtest::TempPath(QStringLiteral("setup.ini"));
  qxtest::WriteBytes(file, "[First]\n[Second]\n");
  TStringList list;
  int changes = 0;
  list.OnChange = [&](TStrings*) {
    ++changes;
    throw EStringListError(QStringLiteral("refused"));
  };
  EXPECT_THROW(ReadIniSections(file, &list), EStringListError);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(list.UpdateCount(), 0);
  EXPECT_EQ(list.CommaText(), QStringLiteral("First,Second"));
}

}  // namespace
