#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Format.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <limits>
#include <vector>

namespace {

struct Case {
  const char* fmt;
  std::vector<TVarRec> args;
  const char* expected;
};

QString FormatCase(const Case& c) {
  return Format(QString::fromUtf8(c.fmt), c.args.data(), static_cast<int>(c.args.size()));
}

void ExpectAll(const std::vector<Case>& cases) {
  for (const Case& c : cases)
    EXPECT_EQ(FormatCase(c), QString::fromUtf8(c.expected)) << "format " << c.fmt;
}

TEST(FormatIntegers, DecimalUnsignedAndHex) {
  ExpectAll({
      {"%d", {42}, "42"},
      {"%d", {-42}, "-42"},
      {"%D", {7}, "7"},
      {"%.5d", {-12}, "-00012"},
      {"%.2d", {12345}, "12345"},
      {"%5d", {42}, "   42"},
      {"%-5d|", {42}, "42   |"},
      {"%8.3d", {5}, "     005"},
      {"%d", {-9223372036854775807LL - 1}, "-9223372036854775808"},
      {"%u", {42u}, "42"},
      {"%u", {-1}, "4294967295"},
      {"%x", {255}, "FF"},
      {"%X", {48879}, "BEEF"},
      {"%.4x", {255}, "00FF"},
      {"%x", {-1}, "FFFFFFFF"},
      {"%x", {-4294967297LL}, "FFFFFFFEFFFFFFFF"},
  });
}

TEST(FormatFloats, FixedAndNumber) {
  ExpectAll({
      {"%f", {1.5}, "1.50"},
      {"%.0f", {2.5}, "3"},
      {"%.2f", {1.005}, "1.01"},
      {"%.2f", {0.125}, "0.13"},
      {"%.2f", {-0.001}, "0.00"},
      {"%.3f", {-2.5}, "-2.500"},
      {"%8.2f|", {3.14159}, "    3.14|"},
      {"%f", {0.0}, "0.00"},
      {"%.1f", {99.96}, "100.0"},
      {"%0.0n", {1234567.0}, "1,234,567"},
      {"%n", {1234.5}, "1,234.50"},
      {"%n", {-1234567.891}, "-1,234,567.89"},
      {"%.0n", {999.6}, "1,000"},
      {"%n", {12.0}, "12.00"},
      {"%m", {1234.5}, "$1,234.50"},
      {"%m", {-2.0}, "($2.00)"},
  });
}

TEST(FormatFloats, ScientificAndGeneral) {
  ExpectAll({
      {"%e", {1000.0}, "1.00000000000000E+003"},
      {"%e", {-0.000123}, "-1.23000000000000E-004"},
      {"%.3e", {1234.5}, "1.23E+003"},
      {"%.3e", {9999.0}, "1.00E+004"},
      {"%.1e", {0.0}, "0E+000"},
      {"%g", {0.1}, "0.1"},
      {"%g", {100.0}, "100"},
      {"%g", {1.0 / 3.0}, "0.333333333333333"},
      {"%g", {1e20}, "1E20"},
      {"%g", {123456789012345.0}, "123456789012345"},
      {"%g", {1234567890123456.0}, "1.23456789012346E15"},
      {"%g", {0.00001}, "0.00001"},
      {"%g", {0.0000012}, "1.2E-6"},
      {"%g", {-2.5}, "-2.5"},
      {"%g", {0.0}, "0"},
      {"%.3g", {3.14159}, "3.14"},
  });
}

TEST(FormatFloats, NonFiniteValues) {
  const double inf = std::numeric_limits<double>::infinity();
  ExpectAll({
      {"%f", {inf}, "INF"},
      {"%g", {-inf}, "-INF"},
      {"%e", {std::numeric_limits<double>::quiet_NaN()}, "NAN"},
  });
}

TEST(FormatStrings, PrecisionTruncatesWidthPads) {
  ExpectAll({
      {"%s", {"abc"}, "abc"},
      {"%.2s", {"abc"}, "ab"},
      {"%5s|", {"ab"}, "   ab|"},
      {"%-5s|", {"ab"}, "ab   |"},
      {"%-*s|", {4, "x"}, "x   |"},
      {"%.*s", {1, "xyz"}, "x"},
      {"%s", {QChar(0x00C4)}, "\xC3\x84"},
      {"[%s]", {QString()}, "[]"},
      {"100%%", {}, "100%"},
      {"%s%%%s", {"a", "b"}, "a%b"},
  });
}

TEST(FormatIndexes, IndexSetsTheNextArgument) {
  ExpectAll({
      {"%1:s %0:s", {"a", "b"}, "b a"},
      {"%0:s %s %0:s %s", {"a", "b"}, "a b a b"},
      {"%1:5d|", {1, 2}, "    2|"},
      {"%0:-3d|", {7}, "7  |"},
  });
}

TEST(FormatPointers, FixedWidthUpperHex) {
  const int x = 0;
  const QString text = Format(QStringLiteral("%p"), {static_cast<const void*>(&x)});
  EXPECT_EQ(text.size(), static_cast<int>(sizeof(void*) * 2));
  EXPECT_EQ(text, text.toUpper());
  EXPECT_EQ(Format(QStringLiteral("%p"), {static_cast<const void*>(nullptr)}),
            QString(sizeof(void*) * 2, QLatin1Char('0')));
}

TEST(FormatErrors, MismatchMissingAndInvalid) {
  const std::vector<Case> bad = {
      {"%d", {1.5}, ""},     {"%d", {"1"}, ""},  {"%f", {1}, ""},   {"%s", {1}, ""},
      {"%p", {1}, ""},       {"%d", {}, ""},     {"%d %d", {1}, ""}, {"%*d", {"x", 1}, ""},
      {"%2:s", {"a"}, ""},   {"%", {}, ""},      {"%5", {1}, ""},   {"%k", {1}, ""},
  };
  for (const Case& c : bad)
    EXPECT_THROW(FormatCase(c), EConvertError) << "format " << c.fmt;
}

TEST(FormatErrors, MessageNamesTheFormat) {
  try {
    Format(QStringLiteral("x%dy"), {"no"});
    FAIL() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Format 'x%dy' invalid or incompatible with argument"));
  }
}

TEST(FormatPlainText, PassesThrough) {
  EXPECT_EQ(Format(QStringLiteral("Ääkköset ja € ilman muuttujia"), {}),
            QStringLiteral("Ääkköset ja € ilman muuttujia"));
  EXPECT_EQ(Format(QString(), {}), QString());
}

}  // namespace

namespace {

TEST(ExceptionTexts, FormattedMessage) {
  const EConvertError e(QStringLiteral("Value %d of %s"), {3, "x"});
  EXPECT_EQ(e.Message(), QStringLiteral("Value 3 of x"));
  EXPECT_STREQ(e.what(), "Value 3 of x");
}

TEST(ExceptionTexts, InOutErrorCodes) {
  struct Row {
    int code;
    const char* text;
  };
  const Row rows[] = {
      {2, "File not found"},    {3, "Path not found"},   {4, "Too many open files"},
      {5, "Access denied"},     {100, "Disk read error"}, {101, "Disk write error"},
      {102, "File not assigned"}, {103, "File not open"}, {104, "File not open for input"},
      {105, "File not open for output"}, {106, "Invalid numeric input"}, {999, "I/O error 999"},
  };
  for (const Row& r : rows) {
    const EInOutError e(r.code);
    EXPECT_EQ(e.ErrorCode(), r.code);
    EXPECT_EQ(e.Message(), QString::fromLatin1(r.text));
  }
}

TEST(ExceptionTexts, RaiseLastOSErrorCarriesErrno) {
  errno = ENOENT;
  try {
    RaiseLastOSError();
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), ENOENT);
    EXPECT_TRUE(e.Message().contains(QStringLiteral("Code: 2.")));
  }
}

}  // namespace
