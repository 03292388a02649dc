#include "components/AppUtils.h"

#include "platform/registry/IniFile.h"
#include "platform/registry/RegIniFile.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

const QString kSection = QStringLiteral("MenunViimeiset");

// Both kinds of storage behind one interface, so every case runs on each.
struct StorageKind {
  const char* name;
  std::function<std::shared_ptr<void>(TIniStorage&)> open;
};

std::shared_ptr<void> OpenRegistry(TIniStorage& storage) {
  auto reg = std::make_shared<TRegIniFile>(QStringLiteral("Software\\QXTrovaly"));
  storage = TIniStorage(reg.get());
  return reg;
}

std::shared_ptr<void> OpenIniFile(TIniStorage& storage) {
  auto ini = std::make_shared<TIniFile>(qxtest::TempPath("trovaly.ini"));
  storage = TIniStorage(ini.get());
  return ini;
}

class StorageRoutines : public testing::TestWithParam<StorageKind> {
 protected:
  void SetUp() override { keep_ = GetParam().open(storage_); }
  TIniStorage storage_;
  std::shared_ptr<void> keep_;
};

TEST_P(StorageRoutines, TextRoundTrip) {
  EXPECT_EQ(ReadIniText(storage_, kSection, "Item_0", "def"), "def");
  WriteIniText(storage_, kSection, "Item_0", QStringLiteral("/pelit/kuva.vrb"));
  WriteIniText(storage_, kSection, "Item_1", QStringLiteral("/pelit/ÅÄÖ.vrb"));
  EXPECT_EQ(ReadIniText(storage_, kSection, "Item_0", "def"), "/pelit/kuva.vrb");
  EXPECT_EQ(ReadIniText(storage_, kSection, "Item_1", "def"), QStringLiteral("/pelit/ÅÄÖ.vrb"));
  WriteIniText(storage_, kSection, "Item_0", QStringLiteral("uusi"));
  EXPECT_EQ(ReadIniText(storage_, kSection, "Item_0", "def"), "uusi");
}

TEST_P(StorageRoutines, NumberRoundTrip) {
  EXPECT_EQ(ReadIniNumber(storage_, kSection, "n", 7), 7);
  WriteIniNumber(storage_, kSection, "n", -42);
  EXPECT_EQ(ReadIniNumber(storage_, kSection, "n", 7), -42);
}

TEST_P(StorageRoutines, ClearRemovesOnlyThatSection) {
  WriteIniText(storage_, kSection, "Item_0", "a");
  WriteIniText(storage_, kSection, "Item_2", "c");
  WriteIniText(storage_, "Muut", "x", "keep");
  ClearIniSection(storage_, kSection);
  EXPECT_EQ(ReadIniText(storage_, kSection, "Item_0", "none"), "none");
  EXPECT_EQ(ReadIniText(storage_, kSection, "Item_2", "none"), "none");
  EXPECT_EQ(ReadIniText(storage_, "Muut", "x", "none"), "keep");
  ClearIniSection(storage_, kSection);  // clearing a missing section is fine
  WriteIniText(storage_, kSection, "Item_0", "again");
  EXPECT_EQ(ReadIniText(storage_, kSection, "Item_0", "none"), "again");
}

INSTANTIATE_TEST_SUITE_P(Kinds, StorageRoutines,
                         testing::Values(StorageKind{"Registry", OpenRegistry},
                                         StorageKind{"IniFile", OpenIniFile}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(StorageRoutinesTest, RegistrySectionIsSubKey) {
  TRegIniFile reg(QStringLiteral("Software\\QXTrovaly"));
  WriteIniText(&reg, kSection, "Item_0", "x");
  TRegistry plain;
  ASSERT_TRUE(plain.OpenKey(QStringLiteral("\\Software\\QXTrovaly\\MenunViimeiset"), false));
  EXPECT_EQ(plain.ReadString("Item_0"), "x");
}

TEST(StorageRoutinesTest, NoStorageGivesDefaultAndWritesNothing) {
  TIniStorage none;
  EXPECT_EQ(ReadIniText(none, kSection, "Item_0", "def"), "def");
  EXPECT_EQ(ReadIniNumber(none, kSection, "n", 3), 3);
  EXPECT_NO_THROW(WriteIniText(none, kSection, "Item_0", "x"));
  EXPECT_NO_THROW(WriteIniNumber(none, kSection, "n", 1));
  EXPECT_NO_THROW(ClearIniSection(nullptr, kSection));
}

}  // namespace
