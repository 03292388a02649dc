// TRegIniFile: a registry key used as an INI file.
#include "platform/registry/RegIniFile.h"
#include "platform/registry/tests/ListLines.h"

#include <gtest/gtest.h>

namespace {

TEST(RegIniFile, StringsGoIntoSectionSubKeys) {
  TRegIniFile ini(QStringLiteral("Software\\QXTrovaly"));
  ini.WriteString(QStringLiteral("MenunViimeiset"), QStringLiteral("Item_0"),
                  QStringLiteral("/puzzles/a.vrb"));
  EXPECT_EQ(ini.ReadString(QStringLiteral("menunviimeiset"), QStringLiteral("item_0"), QString()),
            QStringLiteral("/puzzles/a.vrb"));
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly(QStringLiteral("\\Software\\QXTrovaly\\MenunViimeiset")));
  EXPECT_EQ(reg.ReadString(QStringLiteral("Item_0")), QStringLiteral("/puzzles/a.vrb"));
  EXPECT_EQ(ini.CurrentPath(), QStringLiteral("Software\\QXTrovaly"));
}

TEST(RegIniFile, MissingSectionOrIdentGivesDefault) {
  TRegIniFile ini(QStringLiteral("Software\\QxIni"));
  EXPECT_EQ(ini.ReadString(QStringLiteral("None"), QStringLiteral("x"), QStringLiteral("d")),
            QStringLiteral("d"));
  ini.WriteString(QStringLiteral("S"), QStringLiteral("a"), QStringLiteral("1"));
  EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("b"), QStringLiteral("d")),
            QStringLiteral("d"));
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("S"), QStringLiteral("b"), 42), 42);
  EXPECT_TRUE(ini.ReadBool(QStringLiteral("S"), QStringLiteral("b"), true));
}

TEST(RegIniFile, IntegersAreStoredAsTextAndReadEitherWay) {
  TRegIniFile ini(QStringLiteral("Software\\QxIni"));
  ini.WriteInteger(QStringLiteral("Form"), QStringLiteral("Flags"), -5);
  ini.WriteBool(QStringLiteral("Form"), QStringLiteral("Visible"), true);
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(QStringLiteral("\\Software\\QxIni\\Form"), false));
  EXPECT_EQ(reg.GetDataType(QStringLiteral("Flags")), rdString);
  EXPECT_EQ(reg.ReadString(QStringLiteral("Flags")), QStringLiteral("-5"));
  EXPECT_EQ(reg.ReadString(QStringLiteral("Visible")), QStringLiteral("1"));
  reg.WriteInteger(QStringLiteral("Dword"), 77);
  reg.WriteString(QStringLiteral("Hex"), QStringLiteral("0x10"));
  reg.WriteString(QStringLiteral("Junk"), QStringLiteral("12abc"));
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Form"), QStringLiteral("Flags"), 0), -5);
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Form"), QStringLiteral("Dword"), 0), 77);
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Form"), QStringLiteral("Hex"), 0), 16);
  EXPECT_EQ(ini.ReadInteger(QStringLiteral("Form"), QStringLiteral("Junk"), 9), 9);
  EXPECT_TRUE(ini.ReadBool(QStringLiteral("Form"), QStringLiteral("Visible"), false));
}

TEST(RegIniFile, SectionsListsAndErase) {
  TRegIniFile ini(QStringLiteral("Software\\QxIni"));
  ini.WriteString(QStringLiteral("B"), QStringLiteral("z"), QStringLiteral("1"));
  ini.WriteString(QStringLiteral("B"), QStringLiteral("y"), QStringLiteral("2"));
  ini.WriteString(QStringLiteral("a"), QStringLiteral("k"), QStringLiteral("3"));
  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(Lines(list), (QStringList{"a", "B"}));
  ini.ReadSection(QStringLiteral("B"), &list);
  EXPECT_EQ(Lines(list), (QStringList{"z", "y"}));
  ini.ReadSectionValues(QStringLiteral("B"), &list);
  EXPECT_EQ(Lines(list), (QStringList{"z=1", "y=2"}));
  ini.DeleteKey(QStringLiteral("B"), QStringLiteral("z"));
  ini.ReadSection(QStringLiteral("B"), &list);
  EXPECT_EQ(Lines(list), (QStringList{"y"}));
  ini.EraseSection(QStringLiteral("B"));
  ini.ReadSections(&list);
  EXPECT_EQ(Lines(list), (QStringList{"a"}));
  ini.ReadSection(QStringLiteral("B"), &list);
  EXPECT_EQ(list.Count(), 0);
}

TEST(RegIniFile, ErasedSectionCanBeWrittenAgainEmpty) {
  TRegIniFile ini(QStringLiteral("Software\\QxIni"));
  ini.WriteString(QStringLiteral("M"), QStringLiteral("Item_0"), QStringLiteral("x"));
  ini.EraseSection(QStringLiteral("M"));
  EXPECT_EQ(ini.ReadString(QStringLiteral("M"), QStringLiteral("Item_0"), QStringLiteral("-")),
            QStringLiteral("-"));
  EXPECT_EQ(ini.CurrentPath(), QStringLiteral("Software\\QxIni"));
}

TEST(RegIniFile, ReadOnlyAccessCannotWrite) {
  { TRegIniFile make(QStringLiteral("Software\\QxIni")); }
  TRegIniFile ini(QStringLiteral("Software\\QxIni"), KEY_READ);
  EXPECT_THROW(ini.WriteString(QStringLiteral("S"), QStringLiteral("a"), QStringLiteral("1")),
               ERegistryException);
}

}  // namespace
