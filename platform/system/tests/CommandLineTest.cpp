#include "platform/system/CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
  const char* line;
  QStringList args;
};

class CommandLineToArgsTable : public testing::TestWithParam<SplitCase> {};

TEST_P(CommandLineToArgsTable, SplitsAsWindowsDoes) {
  EXPECT_EQ(CommandLineToArgs(QString::fromUtf8(GetParam().line)), GetParam().args)
      << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, CommandLineToArgsTable,
    testing::Values(
        SplitCase{"", {}},
        SplitCase{"   ", {}},
        SplitCase{"prog", {"prog"}},
        SplitCase{"  prog  a  b ", {"prog", "a", "b"}},
        SplitCase{"prog\ta\tb", {"prog", "a", "b"}},
        // The program name keeps its backslashes and ends at its closing quote.
        SplitCase{"\"/opt/My Apps/prog\" x", {"/opt/My Apps/prog", "x"}},
        SplitCase{"C:\\dir\\prog.exe x", {"C:\\dir\\prog.exe", "x"}},
        SplitCase{"\"\" x", {"", "x"}},
        SplitCase{"\"unterminated name", {"unterminated name"}},
        // Quotes group blanks and are dropped.
        SplitCase{"p \"a b\" c", {"p", "a b", "c"}},
        SplitCase{"p a\"b c\"d", {"p", "ab cd"}},
        SplitCase{"p \"\"", {"p", ""}},
        SplitCase{"p \"open ended", {"p", "open ended"}},
        // Backslashes: literal unless before a quote.
        SplitCase{"p a\\b c\\\\d", {"p", "a\\b", "c\\\\d"}},
        SplitCase{"p a\\\"b", {"p", "a\"b"}},
        SplitCase{"p a\\\\\"b c\"", {"p", "a\\b c"}},
        SplitCase{"p a\\\\\\\"b", {"p", "a\\\"b"}},
        SplitCase{"p \"c:\\path\\\\\" next", {"p", "c:\\path\\", "next"}},
        SplitCase{"p trailing\\\\", {"p", "trailing\\\\"}},
        // Two quotes inside quotes: one literal quote, and the quoting ends.
        SplitCase{"p \"a\"\"b\"", {"p", "a\"b"}},
        SplitCase{"p \"a\"\"b c\"", {"p", "a\"b", "c"}}));

TEST(SplitCommandArguments, HasNoProgramName) {
  EXPECT_EQ(SplitCommandArguments(QStringLiteral(" \"x y\" z")), QStringList({"x y", "z"}));
  EXPECT_TRUE(SplitCommandArguments(QStringLiteral("   ")).isEmpty());
}

TEST(ProgramPartOf, TellsWhereTheArgumentsBegin) {
  const QString line = QStringLiteral("\"a b\"  c");
  const TProgramPart part = ProgramPartOf(line);
  EXPECT_EQ(part.program, QStringLiteral("a b"));
  EXPECT_TRUE(part.quoted);
  EXPECT_EQ(line.mid(part.rest), QStringLiteral("  c"));
}

}  // namespace

// What is quoted comes back whole through the rules that split it, beside
// other arguments and after a quoted program.
TEST(QuoteCommandArgument, SplitsBackToTheSameArguments) {
  const QStringList awkward = {
      QString(), QStringLiteral("plain"), QStringLiteral("two words"), QStringLiteral("tab\there"),
      QStringLiteral("line\nfeed"), QStringLiteral("say \"hi\""), QStringLiteral("\""),
      QStringLiteral("ends\\"), QStringLiteral("ends\\\\"), QStringLiteral("-s/home/u/lataus\\"),
      QStringLiteral("a\\\"b"), QStringLiteral("a\\\\\"b"), QStringLiteral("\\\\server\\share"),
      QStringLiteral("\"\""), QStringLiteral("-e\"x\\\" \n\\"), QStringLiteral("ä ö \\ \" ")};
  QString line = QuoteCommandProgram(QStringLiteral("/opt/My Apps\\prog"));
  for (const QString& argument : awkward) {
    EXPECT_EQ(SplitCommandArguments(QuoteCommandArgument(argument)), QStringList{argument})
        << argument.toStdString();
    line += QLatin1Char(' ') + QuoteCommandArgument(argument);
  }
  EXPECT_EQ(CommandLineToArgs(line), QStringList{QStringLiteral("/opt/My Apps\\prog")} + awkward);
  EXPECT_EQ(QuoteCommandArgument(QStringLiteral("-sC:\\My Build")), QStringLiteral("\"-sC:\\My Build\""));
  // A program name cannot hold a quote: nothing would read it back.
  EXPECT_EQ(QuoteCommandProgram(QStringLiteral("/a\"b/prog")), QString());
}
