#include "platform/rtl/Codec1252.h"

#include <gtest/gtest.h>

namespace {

QByteArray AllBytes() {
  QByteArray bytes;
  for (int b = 0; b < 256; ++b)
    bytes.append(static_cast<char>(b));
  return bytes;
}

TEST(Codec1252RoundTrip, EveryByteValue) {
  const QByteArray bytes = AllBytes();
  const QString text = DecodeWin1252(bytes);
  ASSERT_EQ(text.size(), 256);
  EXPECT_EQ(EncodeWin1252(text), bytes);
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(CharToWin1252(Win1252ToChar(static_cast<unsigned char>(b))), b) << b;
}

TEST(Codec1252RoundTrip, DecodedCharactersAreDistinct) {
  const QString text = DecodeWin1252(AllBytes());
  for (int i = 0; i < text.size(); ++i)
    EXPECT_EQ(text.indexOf(text[i]), i) << i;
}

TEST(Codec1252Table, FinnishLetters) {
  EXPECT_EQ(EncodeWin1252(QStringLiteral("ÅÄÖåäö")), QByteArray("\xC5\xC4\xD6\xE5\xE4\xF6"));
  EXPECT_EQ(DecodeWin1252(QByteArray("\xC5\xC4\xD6")), QStringLiteral("ÅÄÖ"));
}

TEST(Codec1252Table, HighBlock) {
  struct Row {
    unsigned char byte;
    char16_t ch;
  };
  const Row rows[] = {{0x80, 0x20AC}, {0x82, 0x201A}, {0x8A, 0x0160}, {0x8E, 0x017D}, {0x92, 0x2019},
                      {0x96, 0x2013}, {0x99, 0x2122}, {0x9F, 0x0178}, {0x81, 0x0081}, {0x8D, 0x008D},
                      {0x8F, 0x008F}, {0x90, 0x0090}, {0x9D, 0x009D}, {0xA0, 0x00A0}, {0xFF, 0x00FF}};
  for (const Row& r : rows) {
    EXPECT_EQ(Win1252ToChar(r.byte).unicode(), r.ch) << int(r.byte);
    EXPECT_EQ(CharToWin1252(QChar(r.ch)), r.byte) << int(r.byte);
  }
}

TEST(Codec1252Unmappable, BecomesQuestionMark) {
  // C1 controls that 1252 uses for printable characters, and text outside it.
  EXPECT_EQ(CharToWin1252(QChar(0x0080)), -1);
  EXPECT_EQ(CharToWin1252(QChar(0x009F)), -1);
  EXPECT_EQ(CharToWin1252(QChar(0x0100)), -1);
  EXPECT_EQ(EncodeWin1252(QStringLiteral("a\u0100b\u4E2Dc")), QByteArray("a?b?c"));
  EXPECT_EQ(EncodeWin1252(QString::fromUcs4(U"x\U0001F600y")), QByteArray("x?y"));
  EXPECT_EQ(EncodeWin1252(QString(QChar(0xD800))), QByteArray("?"));
}

TEST(Codec1252Empty, EmptyInEmptyOut) {
  EXPECT_TRUE(DecodeWin1252(QByteArray()).isEmpty());
  EXPECT_TRUE(EncodeWin1252(QString()).isEmpty());
}

}  // namespace
