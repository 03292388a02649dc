// The INI readers fill a list in one batch: a change handler that raises at
// its end reaches the caller, and the list's batch is closed.
#include "platform/registry/IniFile.h"
#include "platform/registry/RegIniFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct IniBatch {
  const char* name;
  std::function<void(TStrings*)> read;
};

const QString kSection = QStringLiteral("Asetukset");

void WriteIni() {
  qxtest::WriteBytes(qxtest::TempPath("batch.ini"), "[Asetukset]\nKoko=2\nVari=3\n[Muut]\n");
}

void WriteReg() {
  TRegIniFile ini(QStringLiteral("Software\\QXBatch"));
  ini.WriteString(kSection, QStringLiteral("Koko"), QStringLiteral("2"));
}

const IniBatch kIniBatches[] = {
    {"IniReadSection", [](TStrings* s) { TIniFile(qxtest::TempPath("batch.ini")).ReadSection(kSection, s); }},
    {"IniReadSections", [](TStrings* s) { TIniFile(qxtest::TempPath("batch.ini")).ReadSections(s); }},
    {"IniReadSectionValues",
     [](TStrings* s) { TIniFile(qxtest::TempPath("batch.ini")).ReadSectionValues(kSection, s); }},
    {"RegIniReadSectionValues",
     [](TStrings* s) { TRegIniFile(QStringLiteral("Software\\QXBatch")).ReadSectionValues(kSection, s); }},
};

class IniBatchTest : public testing::TestWithParam<IniBatch> {};

TEST_P(IniBatchTest, ARaisingChangeHandlerReachesTheCallerAndTheBatchCloses) {
  WriteIni();
  WriteReg();
  TStringList list;
  list.Add(QStringLiteral("old"));
  int changes = 0;
  list.OnChange = [&](TStrings*) {
    ++changes;
    throw EStringListError(QStringLiteral("refused"));
  };
  EXPECT_THROW(GetParam().read(&list), EStringListError);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(list.UpdateCount(), 0);
  EXPECT_FALSE(list.Text().contains(QStringLiteral("old")));  // the read went through
  list.OnChange = nullptr;
  GetParam().read(&list);
  EXPECT_GT(list.Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryReader, IniBatchTest, testing::ValuesIn(kIniBatches),
                         [](const testing::TestParamInfo<IniBatch>& row) {
                           return std::string(row.param.name);
                         });

}  // namespace
