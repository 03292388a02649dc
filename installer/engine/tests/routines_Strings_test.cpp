#include "installer/engine/routines_Strings.h"

#include "platform/rtl/StringList.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

const QChar kSemi = QLatin1Char(';');

struct FieldCountCase {
  const char* text;
  int count;
};
void PrintTo(const FieldCountCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class CountFieldsTable : public testing::TestWithParam<FieldCountCase> {};

TEST_P(CountFieldsTable, CountsDelimitersPlusOneUnlessEmptyOrTrailing) {
  EXPECT_EQ(CountFields(QString::fromUtf8(GetParam().text), kSemi), GetParam().count)
      << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Fields, CountFieldsTable,
                         testing::Values(FieldCountCase{"a;b;", 2}, FieldCountCase{"a;b", 2},
                                         FieldCountCase{"", 0}, FieldCountCase{"a", 1},
                                         FieldCountCase{";", 1}, FieldCountCase{";;a", 3},
                                         FieldCountCase{"a;;", 2}));

struct GetFieldCase {
  const char* text;
  int n;
  const char* field;
};
void PrintTo(const GetFieldCase& c, std::ostream* os) { *os << '"' << c.text << "\" " << c.n; }

class GetFieldTable : public testing::TestWithParam<GetFieldCase> {};

TEST_P(GetFieldTable, ReturnsTheNthField) {
  const GetFieldCase& c = GetParam();
  EXPECT_EQ(GetField(QString::fromUtf8(c.text), c.n, kSemi), QString::fromUtf8(c.field))
      << c.text << " field " << c.n;
}

INSTANTIATE_TEST_SUITE_P(Fields, GetFieldTable,
                         testing::Values(GetFieldCase{"a;b;c", 3, "c"}, GetFieldCase{"a;b;c", 1, "a"},
                                         GetFieldCase{"a;b;c", 2, "b"}, GetFieldCase{"a", 2, ""},
                                         GetFieldCase{"a;b;", 3, ""}, GetFieldCase{"a;;c", 2, ""},
                                         GetFieldCase{"a;;c", 3, "c"}, GetFieldCase{"a;b", 9, ""},
                                         GetFieldCase{"", 1, ""}, GetFieldCase{"ab", 1, "ab"}));

TEST(SplitString, ClearsTheListAndAddsEveryField) {
  TStringList list;
  list.Add(QStringLiteral("old"));
  SplitString(QStringLiteral("x;;z;"), kSemi, list);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list[0], QStringLiteral("x"));
  EXPECT_EQ(list[1], QString());
  EXPECT_EQ(list[2], QStringLiteral("z"));
}

TEST(SplitString, EmptyTextLeavesAnEmptyList) {
  TStringList list;
  list.Add(QStringLiteral("old"));
  SplitString(QString(), kSemi, list);
  EXPECT_EQ(list.Count(), 0);
}

struct PathCase {
  const char* in;
  const char* out;
};
void PrintTo(const PathCase& c, std::ostream* os) { *os << '"' << c.in << '"'; }

class AddBackslashTable : public testing::TestWithParam<PathCase> {};
TEST_P(AddBackslashTable, AppendsThePathDelimiterOnce) {
  EXPECT_EQ(AddBackslash(QString::fromUtf8(GetParam().in)), QString::fromUtf8(GetParam().out));
}
INSTANTIATE_TEST_SUITE_P(Paths, AddBackslashTable,
                         testing::Values(PathCase{"", ""}, PathCase{"/opt", "/opt/"},
                                         PathCase{"/opt/", "/opt/"}, PathCase{"/", "/"},
                                         PathCase{"dir\\", "dir\\/"}));

class RemoveBackslashTable : public testing::TestWithParam<PathCase> {};
TEST_P(RemoveBackslashTable, RemovesOneTrailingDelimiter) {
  EXPECT_EQ(RemoveBackslash(QString::fromUtf8(GetParam().in)), QString::fromUtf8(GetParam().out));
}
INSTANTIATE_TEST_SUITE_P(Paths, RemoveBackslashTable,
                         testing::Values(PathCase{"", ""}, PathCase{"/opt/", "/opt"},
                                         PathCase{"/opt//", "/opt/"}, PathCase{"/opt", "/opt"},
                                         PathCase{"a\\", "a\\"}));

class KeyBackslashTable : public testing::TestWithParam<PathCase> {};
TEST_P(KeyBackslashTable, RegistryKeysKeepTheBackslash) {
  const QString in = QString::fromUtf8(GetParam().in);
  EXPECT_EQ(AddKeyBackslash(RemoveKeyBackslash(in)), QString::fromUtf8(GetParam().out));
}
INSTANTIATE_TEST_SUITE_P(Keys, KeyBackslashTable,
                         testing::Values(PathCase{"", ""}, PathCase{"\\Software", "\\Software\\"},
                                         PathCase{"\\Software\\", "\\Software\\"},
                                         PathCase{"a\\\\", "a\\"}, PathCase{"a/", "a/\\"}));

TEST(KeyBackslash, RemovesOnlyOneBackslash) {
  EXPECT_EQ(RemoveKeyBackslash(QStringLiteral("\\SOFTWARE\\x\\\\")), QStringLiteral("\\SOFTWARE\\x\\"));
  EXPECT_EQ(AddKeyBackslash(QString()), QString());
}

class TextAfterColonTable : public testing::TestWithParam<PathCase> {};
TEST_P(TextAfterColonTable, TakesTheTextAfterTheFirstColon) {
  EXPECT_EQ(TextAfterColon(QString::fromUtf8(GetParam().in)), QString::fromUtf8(GetParam().out));
}
INSTANTIATE_TEST_SUITE_P(Texts, TextAfterColonTable,
                         testing::Values(PathCase{"c:\\dir", "\\dir"}, PathCase{"none", ""},
                                         PathCase{"a:b:c", "b:c"}, PathCase{":", ""},
                                         PathCase{"", ""}));

class CleanFileNameTable : public testing::TestWithParam<PathCase> {};
TEST_P(CleanFileNameTable, DropsReservedCharacters) {
  EXPECT_EQ(CleanFileName(QString::fromUtf8(GetParam().in)), QString::fromUtf8(GetParam().out));
}
INSTANTIATE_TEST_SUITE_P(
    Texts, CleanFileNameTable,
    testing::Values(PathCase{"ftp.host/dir", "ftp.host-dir"}, PathCase{"a\"b*c:d;e<f>g?h\\i|j", "abcdefghij"},
                    PathCase{"//", "--"}, PathCase{"plain name.txt", "plain name.txt"},
                    PathCase{"\xc3\x85\xc3\x84\xc3\x96 \t", "\xc3\x85\xc3\x84\xc3\x96 \t"},
                    PathCase{"", ""}));

}  // namespace
