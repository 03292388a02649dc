#include "platform/rtl/Exceptions.h"
#include "platform/rtl/StrUtils.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(StrToIntTest, ValidTexts) {
  struct Row {
    const char* text;
    int value;
  };
  const Row rows[] = {
      {"0", 0},          {"42", 42},          {"-42", -42},         {"+7", 7},
      {"007", 7},        {"$FF", 255},        {"$ff", 255},         {"0x1A", 26},
      {"-$10", -16},     {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
      {"$FFFFFFFF", -1}, {"$80000000", -2147483647 - 1},
  };
  for (const Row& r : rows)
    EXPECT_EQ(StrToInt(QString::fromLatin1(r.text)), r.value) << r.text;
}

TEST(StrToIntTest, InvalidTextsRaise) {
  const char* bad[] = {"", " 1", "1 ", "-", "+", "$", "0x", "1.0", "1e3", "12a",
                       "2147483648", "-2147483649", "$100000000", "--1", "٣"};
  for (const char* text : bad) {
    EXPECT_THROW(StrToInt(QString::fromUtf8(text)), EConvertError) << text;
    EXPECT_EQ(StrToIntDef(QString::fromUtf8(text), -5), -5) << text;
  }
}

TEST(StrToIntTest, MessageQuotesTheText) {
  try {
    StrToInt(QStringLiteral("abc"));
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("'abc' is not a valid integer value"));
  }
}

TEST(StrToInt64Test, FullRange) {
  EXPECT_EQ(StrToInt64(QStringLiteral("9223372036854775807")), INT64_MAX);
  EXPECT_EQ(StrToInt64(QStringLiteral("-9223372036854775808")), INT64_MIN);
  EXPECT_EQ(StrToInt64(QStringLiteral("$FFFFFFFFFFFFFFFF")), -1);
  EXPECT_THROW(StrToInt64(QStringLiteral("9223372036854775808")), EConvertError);
  EXPECT_EQ(StrToInt64Def(QStringLiteral("x"), 9), 9);
}

TEST(IntToStrTest, IntAndInt64) {
  EXPECT_EQ(IntToStr(-12), QStringLiteral("-12"));
  EXPECT_EQ(IntToStr(std::int64_t{10000000000}), QStringLiteral("10000000000"));
  EXPECT_EQ(IntToStr(qint64{-10000000000}), QStringLiteral("-10000000000"));
  EXPECT_EQ(IntToHex(255, 4), QStringLiteral("00FF"));
  EXPECT_EQ(IntToHex(0x12345, 2), QStringLiteral("12345"));
  EXPECT_EQ(IntToHex(-1, 2), QStringLiteral("FFFFFFFF"));
}

TEST(FloatTextTest, FloatToStr) {
  EXPECT_EQ(FloatToStr(0.1), QStringLiteral("0.1"));
  EXPECT_EQ(FloatToStr(-3.0), QStringLiteral("-3"));
  EXPECT_EQ(FloatToStr(1e20), QStringLiteral("1E20"));
  EXPECT_EQ(FloatToStr(1.5e-7), QStringLiteral("1.5E-7"));
  EXPECT_EQ(FloatToStr(0.1 + 0.2), QStringLiteral("0.3"));
}

TEST(FloatTextTest, StrToFloat) {
  EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("1.5")), 1.5);
  EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral(" -2.25e2 ")), -225.0);
  EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral(".5")), 0.5);
  EXPECT_DOUBLE_EQ(StrToFloat(QStringLiteral("7.")), 7.0);
  for (const char* text : {"", "1,5", "abc", "1e", "inf", "nan", "1e999", "0x10", "."}) {
    EXPECT_THROW(StrToFloat(QString::fromLatin1(text)), EConvertError) << text;
    EXPECT_DOUBLE_EQ(StrToFloatDef(QString::fromLatin1(text), 4.0), 4.0) << text;
  }
  EXPECT_DOUBLE_EQ(StrToFloat(FloatToStr(1.0 / 7.0)), 0.142857142857143);
}

TEST(BoolToStrTest, NumbersOrWords) {
  EXPECT_EQ(BoolToStr(true), QStringLiteral("-1"));
  EXPECT_EQ(BoolToStr(false), QStringLiteral("0"));
  EXPECT_EQ(BoolToStr(true, true), QStringLiteral("True"));
  EXPECT_EQ(BoolToStr(false, true), QStringLiteral("False"));
}

TEST(TrimTest, RemovesControlsAndBlanks) {
  const QString s = QStringLiteral("\t\r\n a b \x01\n");
  EXPECT_EQ(Trim(s), QStringLiteral("a b"));
  EXPECT_EQ(TrimLeft(s), QStringLiteral("a b \x01\n"));
  EXPECT_EQ(TrimRight(s), QStringLiteral("\t\r\n a b"));
  EXPECT_EQ(Trim(QStringLiteral("   ")), QString());
  EXPECT_EQ(Trim(QStringLiteral("\u00A0x\u00A0")), QStringLiteral("\u00A0x\u00A0"));
}

TEST(CaseTest, AsciiOnlyAgainstUnicode) {
  EXPECT_EQ(UpperCase(QStringLiteral("abz ä")), QStringLiteral("ABZ ä"));
  EXPECT_EQ(LowerCase(QStringLiteral("ABZ Ä")), QStringLiteral("abz Ä"));
  EXPECT_EQ(AnsiUpperCase(QStringLiteral("åäö")), QStringLiteral("ÅÄÖ"));
  EXPECT_EQ(AnsiLowerCase(QStringLiteral("ÅÄÖ")), QStringLiteral("åäö"));
}

TEST(CompareTest, TextAndStr) {
  EXPECT_TRUE(SameText(QStringLiteral("Kuva.VRB"), QStringLiteral("kuva.vrb")));
  EXPECT_FALSE(SameText(QStringLiteral("Ä"), QStringLiteral("ä")));
  EXPECT_TRUE(AnsiSameText(QStringLiteral("ÅÄÖ"), QStringLiteral("åäö")));
  EXPECT_FALSE(AnsiSameText(QStringLiteral("a"), QStringLiteral("ab")));
  EXPECT_LT(CompareText(QStringLiteral("abc"), QStringLiteral("ABD")), 0);
  EXPECT_GT(CompareText(QStringLiteral("abc"), QStringLiteral("AB")), 0);
  EXPECT_EQ(CompareText(QStringLiteral("abc"), QStringLiteral("ABC")), 0);
  EXPECT_LT(CompareStr(QStringLiteral("B"), QStringLiteral("a")), 0);
  EXPECT_GT(CompareStr(QStringLiteral("a"), QStringLiteral("B")), 0);
  EXPECT_EQ(CompareStr(QStringLiteral("x"), QStringLiteral("x")), 0);
  EXPECT_LT(AnsiCompareText(QStringLiteral("ä"), QStringLiteral("Ö")), 0);
}

TEST(QuoteTest, DoublesTheQuote) {
  EXPECT_EQ(QuotedStr(QStringLiteral("it's")), QStringLiteral("'it''s'"));
  EXPECT_EQ(QuotedStr(QString()), QStringLiteral("''"));
  EXPECT_EQ(AnsiQuotedStr(QStringLiteral("a\"b"), QLatin1Char('"')), QStringLiteral("\"a\"\"b\""));
  EXPECT_EQ(StringOfChar(QLatin1Char('-'), 3), QStringLiteral("---"));
  EXPECT_EQ(StringOfChar(QLatin1Char('-'), -1), QString());
}

TEST(PosCopyTest, OneBased) {
  EXPECT_EQ(Pos(QStringLiteral("b"), QStringLiteral("abcb")), 2);
  EXPECT_EQ(Pos(QStringLiteral("x"), QStringLiteral("abc")), 0);
  EXPECT_EQ(Pos(QString(), QStringLiteral("abc")), 0);
  EXPECT_EQ(Copy(QStringLiteral("abcdef"), 2, 3), QStringLiteral("bcd"));
  EXPECT_EQ(Copy(QStringLiteral("abcdef"), 5, 100), QStringLiteral("ef"));
  EXPECT_EQ(Copy(QStringLiteral("abcdef"), 0, 2), QStringLiteral("ab"));
  EXPECT_EQ(Copy(QStringLiteral("abcdef"), 7, 1), QString());
  EXPECT_EQ(Copy(QStringLiteral("abcdef"), 2, -1), QString());
  EXPECT_EQ(Copy(QStringLiteral("abcdef"), 2, 0x7FFFFFFF), QStringLiteral("bcdef"));
}

TEST(FileNameTest, Parts) {
  struct Row {
    const char* name;
    const char* path;
    const char* dir;
    const char* file;
    const char* ext;
  };
  const Row rows[] = {
      {"/home/u/kuva.vrb", "/home/u/", "/home/u", "kuva.vrb", ".vrb"},
      {"kuva.vrb", "", "", "kuva.vrb", ".vrb"},
      {"/kuva", "/", "/", "kuva", ""},
      {"/a.b/kuva", "/a.b/", "/a.b", "kuva", ""},
      {"dir/", "dir/", "dir", "", ""},
      {"a.tar.gz", "", "", "a.tar.gz", ".gz"},
      {".profile", "", "", ".profile", ".profile"},
      {"", "", "", "", ""},
  };
  for (const Row& r : rows) {
    const QString n = QString::fromUtf8(r.name);
    EXPECT_EQ(ExtractFilePath(n), QString::fromUtf8(r.path)) << r.name;
    EXPECT_EQ(ExtractFileDir(n), QString::fromUtf8(r.dir)) << r.name;
    EXPECT_EQ(ExtractFileName(n), QString::fromUtf8(r.file)) << r.name;
    EXPECT_EQ(ExtractFileExt(n), QString::fromUtf8(r.ext)) << r.name;
  }
}

TEST(FileNameTest, ChangeExtAndDelimiters) {
  EXPECT_EQ(ChangeFileExt(QStringLiteral("/x/kuva.vrb"), QStringLiteral(".lst")), QStringLiteral("/x/kuva.lst"));
  EXPECT_EQ(ChangeFileExt(QStringLiteral("/x.d/kuva"), QStringLiteral(".lst")), QStringLiteral("/x.d/kuva.lst"));
  EXPECT_EQ(ChangeFileExt(QStringLiteral("kuva.vrb"), QString()), QStringLiteral("kuva"));
  EXPECT_EQ(IncludeTrailingPathDelimiter(QStringLiteral("/a")), QStringLiteral("/a/"));
  EXPECT_EQ(IncludeTrailingPathDelimiter(QStringLiteral("/a/")), QStringLiteral("/a/"));
  EXPECT_EQ(ExcludeTrailingPathDelimiter(QStringLiteral("/a/")), QStringLiteral("/a"));
  EXPECT_EQ(ExcludeTrailingPathDelimiter(QStringLiteral("/a")), QStringLiteral("/a"));
  EXPECT_EQ(PathDelim, QLatin1Char('/'));
}

}  // namespace
