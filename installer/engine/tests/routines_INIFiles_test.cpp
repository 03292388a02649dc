#include "installer/engine/routines_INIFiles.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StringList.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(ReadIniSections, ListsEveryBracketLineWithoutItsEnds) {
  const QString file = qxtest::TempPath(QStringLiteral("setup.ini"));
  qxtest::WriteBytes(file,
                     "[First]\r\nkey=value\r\n  [Second]  \n[x\n[\n[]\r; [comment]\nname=[not]\r"
                     "[Äänet]\n[Last]");
  TStringList list;
  list.Add(QStringLiteral("old"));
  ReadIniSections(file, &list);
  const QStringList expected = {QStringLiteral("First"), QStringLiteral("Second"), QString(),
                                QString(), QStringLiteral("Äänet"), QStringLiteral("Last")};
  ASSERT_EQ(list.Count(), expected.size());
  for (int i = 0; i < list.Count(); ++i)
    EXPECT_EQ(list[i], expected[i]) << i;
}

TEST(ReadIniSections, MissingFileRaisesTheFileErrorAndKeepsTheList) {
  TStringList list;
  list.Add(QStringLiteral("kept"));
  EXPECT_THROW(ReadIniSections(qxtest::TempPath(QStringLiteral("missing.ini")), &list), EFOpenError);
  EXPECT_EQ(list.Count(), 1);
  EXPECT_THROW(ReadIniSections(qxtest::TempRoot(), &list), EFOpenError);
}

TEST(ReadIniSections, WithoutAListNothingIsRead) {
  ReadIniSections(qxtest::TempPath(QStringLiteral("missing.ini")), nullptr);
  SUCCEED();
}

TEST(ReadIniSections, EmptyFileGivesAnEmptyList) {
  const QString file = qxtest::TempPath(QStringLiteral("empty.ini"));
  qxtest::WriteBytes(file, QByteArray());
  TStringList list;
  list.Add(QStringLiteral("old"));
  ReadIniSections(file, &list);
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
