#include "components/core/_4passtr.h"
#include "components/core/_4pchar.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Row {
  const char* source;
  const char* pattern;
  const char* replacement;
  const char* expected;
};

TEST(ReplaceAllTest, Cases) {
  const Row rows[] = {
      {"kuva.vrb", ".vrb", ".lst", "kuva.lst"},
      {"kuva.vrb", ".vrb", "", "kuva"},
      {"a.vrb", ".vrb", ".vrbx", "a.vrb"},     // cut to the source's length
      {"a", "a", "b", "a"},                    // one character: never changed
      {"", "a", "b", ""},
      {"aaaa", "aa", "b", "bb"},
      {"aaa", "aa", "b", "ba"},                // left to right, no overlap
      {"KUVA.VRB", ".vrb", ".lst", "KUVA.VRB"}, // case-sensitive
      {"ab", "ab", "abab", "ab"},              // replaced text is not searched again
      {"xaxa", "a", "ab", "xabx"},
      {"abc", "", "x", "abc"},                 // empty pattern never matches
      {"abc", "abcd", "x", "abc"},             // pattern past the end
      {"a.vrb.vrb", ".vrb", "", "a"},
      {"äö.vrb", ".vrb", ".lst", "äö.lst"},
      {"Ä.vrbÄ", "Ä", "ö", "ö.vrbö"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ReplaceAll(QString::fromUtf8(r.source), QString::fromUtf8(r.pattern), QString::fromUtf8(r.replacement)),
              QString::fromUtf8(r.expected))
        << r.source << " / " << r.pattern << " / " << r.replacement;
  }
}

TEST(ReplaceAllTest, LongTextsHaveNoFixedLimit) {
  const QString source = QString(40000, QLatin1Char('a')) + QStringLiteral(".vrb");
  const QString expected = QString(40000, QLatin1Char('a')) + QStringLiteral(".lst");
  EXPECT_EQ(ReplaceAll(source, QStringLiteral(".vrb"), QStringLiteral(".lst")), expected);
  // Growth beyond 32767 characters before the cut stays within the buffer.
  const QString many = QString(20000, QLatin1Char('x'));
  EXPECT_EQ(ReplaceAll(many, QStringLiteral("x"), QStringLiteral("yz")), QString(10000, QLatin1Char('y')).replace(QStringLiteral("y"), QStringLiteral("yz")));
}

TEST(PCharReplaceAllTest, RewritesInPlaceAndReturnsSource) {
  std::vector<QChar> buffer;
  for (QChar c : QStringLiteral("kuva.vrb"))
    buffer.push_back(c);
  buffer.push_back(QChar());
  buffer.push_back(QLatin1Char('#'));  // beyond the terminator: must stay untouched
  const QString pattern = QStringLiteral(".vrb");
  const QString replacement = QStringLiteral("");
  QChar* result = PCharReplaceAll(buffer.data(), pattern.constData(), replacement.constData());
  EXPECT_EQ(result, buffer.data());
  EXPECT_EQ(QString(result), QStringLiteral("kuva"));
  EXPECT_EQ(buffer.back(), QLatin1Char('#'));
}

TEST(PCharReplaceAllTest, LongerResultNeverOverrunsTheBuffer) {
  std::vector<QChar> buffer = {QLatin1Char('a'), QLatin1Char('b'), QChar(), QLatin1Char('#')};
  const QString pattern = QStringLiteral("a");
  const QString replacement = QStringLiteral("xyz");
  PCharReplaceAll(buffer.data(), pattern.constData(), replacement.constData());
  EXPECT_EQ(QString(buffer.data()), QStringLiteral("xy"));
  EXPECT_EQ(buffer[3], QLatin1Char('#'));
}

TEST(PCharReplaceAllTest, NullPointers) {
  EXPECT_EQ(PCharReplaceAll(nullptr, nullptr, nullptr), nullptr);
  std::vector<QChar> buffer = {QLatin1Char('a'), QLatin1Char('b'), QChar()};
  PCharReplaceAll(buffer.data(), nullptr, nullptr);
  EXPECT_EQ(QString(buffer.data()), QStringLiteral("ab"));
  const QString pattern = QStringLiteral("a");
  PCharReplaceAll(buffer.data(), pattern.constData(), nullptr);
  EXPECT_EQ(QString(buffer.data()), QStringLiteral("b"));
}

}  // namespace
