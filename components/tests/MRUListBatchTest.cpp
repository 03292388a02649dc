// The recent list changes in batches: a change handler that raises at the
// end of one reaches the caller, the batch is closed and the mode kept.
#include "components/MRUList.h"

#include "platform/registry/IniFile.h"
#include "platform/rtl/Exceptions.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct MRUBatch {
  const char* name;
  std::function<void(TMRUManager&)> run;
  const char* after;
};

const MRUBatch kMRUBatches[] = {
    {"ManagerAdd", [](TMRUManager& m) { m.Add(QStringLiteral("/c.vrb"), 3); }, "/c.vrb,/b.vrb,/a.vrb"},
    {"StringsAdd", [](TMRUManager& m) { m.Strings()->Add(QStringLiteral("/c.vrb")); }, "/c.vrb,/b.vrb,/a.vrb"},
    {"Capacity", [](TMRUManager& m) { m.SetCapacity(1); }, "/b.vrb"},
    {"LoadFromIni",
     [](TMRUManager& m) {
       qxtest::WriteBytes(qxtest::TempPath("mru.ini"), "[Viimeiset]\nItem_0=/x.vrb\nItem_1=/y.vrb\n");
       TIniFile ini(qxtest::TempPath("mru.ini"));
       m.LoadFromIni(&ini, QStringLiteral("Viimeiset"));
     },
     "/x.vrb,/y.vrb"},
};

class MRUBatchTest : public testing::TestWithParam<MRUBatch> {};

TEST_P(MRUBatchTest, ARaisingChangeHandlerReachesTheCallerAndTheBatchCloses) {
  TMRUManager mru(nullptr);
  mru.SetMode(rmInsert);
  mru.Add(QStringLiteral("/a.vrb"), 1);
  mru.Add(QStringLiteral("/b.vrb"), 2);
  mru.SetMode(rmAppend);
  mru.SetMode(rmInsert);
  int changes = 0;
  mru.OnChange = [&](TObject*) {
    ++changes;
    throw EStringListError(QStringLiteral("refused"));
  };
  EXPECT_THROW(GetParam().run(mru), EStringListError);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(mru.Strings()->UpdateCount(), 0);
  EXPECT_EQ(mru.Mode(), rmInsert);
  EXPECT_EQ(mru.Strings()->CommaText(), QString::fromUtf8(GetParam().after));
}

INSTANTIATE_TEST_SUITE_P(EveryBatch, MRUBatchTest, testing::ValuesIn(kMRUBatches),
                         [](const testing::TestParamInfo<MRUBatch>& row) {
                           return std::string(row.param.name);
                         });

TEST(MRUBatch, LoadingKeepsTheAppendModeWhenTheHandlerRaises) {
  TMRUManager mru(nullptr);
  mru.SetMode(rmAppend);
  mru.OnChange = [](TObject*) { throw EStringListError(QStringLiteral("refused")); };
  qxtest::WriteBytes(qxtest::TempPath("mru.ini"), "[Viimeiset]\nItem_0=/x.vrb\n");
  TIniFile ini(qxtest::TempPath("mru.ini"));
  EXPECT_THROW(mru.LoadFromIni(&ini, QStringLiteral("Viimeiset")), EStringListError);
  EXPECT_EQ(mru.Mode(), rmAppend);
  EXPECT_EQ(mru.Strings()->UpdateCount(), 0);
}

}  // namespace
