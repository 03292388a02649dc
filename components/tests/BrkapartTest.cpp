#include "components/Brkapart.h"

#include "platform/classes/ClassBuilder.h"

#include <gtest/gtest.h>

namespace {

QStringList Lines(const TStrings& list) {
  QStringList lines;
  for (int i = 0; i < list.Count(); ++i)
    lines << list[i];
  return lines;
}

struct BreakRow {
  const char* base;
  const char* breakString;
  bool allowEmpty;
  QStringList expected;
};

TEST(BrkApartTest, Table) {
  const BreakRow rows[] = {
      {"QXTrovaly\\Ruudukko\\fon_koko", "\\", false, {"QXTrovaly", "Ruudukko", "fon_koko"}},
      {"a\\\\b", "\\", false, {"a", "b"}},
      {"a\\\\b", "\\", true, {"a", "", "b"}},
      {"\\a\\", "\\", false, {"a"}},
      {"\\a\\", "\\", true, {"", "a", ""}},
      {"", "\\", false, {}},
      {"", "\\", true, {""}},
      {"abc", "\\", false, {"abc"}},
      {"a--b---c", "--", false, {"a", "b", "-c"}},
      {"a,b", "", false, {"a,b"}},  // an empty break string never matches
  };
  TBrkApart brk(nullptr);
  for (const BreakRow& r : rows) {
    brk.SetBaseString(r.base);
    brk.SetBreakString(r.breakString);
    brk.SetAllowEmptyString(r.allowEmpty);
    brk.BreakApart();
    EXPECT_EQ(Lines(*brk.StringList()), r.expected) << r.base << " allowEmpty " << r.allowEmpty;
  }
}

TEST(BrkApartTest, BreakingReplacesEarlierLines) {
  TBrkApart brk(nullptr);
  brk.SetBreakString(",");
  brk.SetBaseString("a,b,c");
  brk.BreakApart();
  brk.SetBaseString("d");
  brk.BreakApart();
  EXPECT_EQ(Lines(*brk.StringList()), QStringList{"d"});
}

TEST(BrkApartTest, AssigningStringListCopiesLines) {
  TBrkApart brk(nullptr);
  TStringList source;
  source.Add("x");
  source.Add("y");
  brk.SetStringList(&source);
  source.Clear();
  EXPECT_EQ(Lines(*brk.StringList()), (QStringList{"x", "y"}));
}

TEST(BrkApartTest, PublishedProperties) {
  const TMetaClass& meta = MetaClassOf<TBrkApart>();
  for (const char* name : {"BreakString", "BaseString", "AllowEmptyString", "StringList"})
    EXPECT_NE(meta.FindProperty(name), nullptr) << name;
  EXPECT_EQ(meta.FindProperty("StringList")->kind, TPropKind::Strings);
  EXPECT_EQ(meta.FindProperty("AllowEmptyString")->ordDefault, 0);
}

}  // namespace
