#include "platform/classes/FormParser.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

namespace {

TFormValue ValueOf(const char* text) {
  QByteArray form = QByteArray("object X: T\n  P = ") + text + "\nend\n";
  TFormObject o = ParseFormText(form, QStringLiteral("t.form"));
  EXPECT_EQ(o.properties.size(), 1u);
  return o.properties.at(0).value;
}

QString ErrorOf(const QByteArray& form) {
  try {
    ParseFormText(form, QStringLiteral("t.form"));
  } catch (const EReadError& e) {
    return e.Message();
  }
  return QStringLiteral("no error");
}

TEST(FormParserNumbers, IntegerForms) {
  struct Case {
    const char* text;
    std::int64_t value;
  };
  const Case cases[] = {{"0", 0},
                        {"-5", -5},
                        {"$FF", 255},
                        {"$ff", 255},
                        {"-$10", -16},
                        {"9223372036854775807", INT64_MAX},
                        {"-9223372036854775808", INT64_MIN},
                        {"$7FFFFFFFFFFFFFFF", INT64_MAX}};
  for (const Case& c : cases) {
    TFormValue v = ValueOf(c.text);
    EXPECT_EQ(v.kind, TFormValueKind::Integer) << c.text;
    EXPECT_EQ(v.integer, c.value) << c.text;
  }
}

TEST(FormParserNumbers, FloatForms) {
  struct Case {
    const char* text;
    double value;
  };
  const Case cases[] = {{"1.5", 1.5}, {"-2.5e3", -2500}, {"1E-2", 0.01}, {"3e+2", 300}, {"0.1", 0.1}};
  for (const Case& c : cases) {
    TFormValue v = ValueOf(c.text);
    EXPECT_EQ(v.kind, TFormValueKind::Float) << c.text;
    EXPECT_DOUBLE_EQ(v.real, c.value) << c.text;
  }
}

TEST(FormParserNumbers, OverflowAndMalformedNumbersFail) {
  struct Case {
    const char* text;
    const char* message;
  };
  const Case cases[] = {{"9223372036854775808", "t.form(2): Number too large"},
                        {"-9223372036854775809", "t.form(2): Number too large"},
                        {"$10000000000000000", "t.form(2): Number too large"},
                        {"1e400", "t.form(2): Number out of range"},
                        {"12abc", "t.form(2): Invalid number"},
                        {"-x", "t.form(2): Invalid number"},
                        {"$", "t.form(2): Invalid number"}};
  for (const Case& c : cases) {
    QByteArray form = QByteArray("object X: T\n  P = ") + c.text + "\nend\n";
    EXPECT_EQ(ErrorOf(form), QString::fromLatin1(c.message)) << c.text;
  }
}

TEST(FormParserStrings, QuotesCodesAndContinuation) {
  struct Case {
    const char* text;
    QString value;
  };
  const Case cases[] = {
      {"'it''s'", QStringLiteral("it's")},
      {"''", QString()},
      {"'a'#13#10'b'", QStringLiteral("a\r\nb")},
      {"#65#66", QStringLiteral("AB")},
      {"#228'iti'", QStringLiteral("äiti")},
      {"#128512", QString::fromUtf8("\xF0\x9F\x98\x80")},
      {"#55296", QString(QChar(0xD800))},
      {"'one' +\n    'two' + 'three'", QStringLiteral("onetwothree")},
      {"'Pelejä.'", QStringLiteral("Pelejä.")},
  };
  for (const Case& c : cases) {
    TFormValue v = ValueOf(c.text);
    EXPECT_EQ(v.kind, TFormValueKind::String) << c.text;
    EXPECT_EQ(v.text, c.value) << c.text;
  }
}

TEST(FormParserStrings, BadStringsFail) {
  struct Case {
    const char* form;
    const char* message;
  };
  const Case cases[] = {
      {"object X: T\n  P = 'abc\nend\n", "t.form(2): Unterminated string"},
      {"object X: T\n  P = #\nend\n", "t.form(2): Invalid character code"},
      {"object X: T\n  P = #1114112\nend\n", "t.form(2): Invalid character code"},
      {"object X: T\n  P = #99999999999999999999\nend\n", "t.form(2): Invalid character code"},
      {"object X: T\n  P = 'a' +\nend\n", "t.form(3): String expected"},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.form), QString::fromLatin1(c.message)) << c.form;
}

TEST(FormParserValues, SetsListsCollectionsAndBinary) {
  TFormValue set = ValueOf("[a, B.c]");
  EXPECT_EQ(set.kind, TFormValueKind::Set);
  EXPECT_EQ(set.idents, QStringList({"a", "B.c"}));
  EXPECT_TRUE(ValueOf("[]").idents.isEmpty());

  TFormValue list = ValueOf("(\n 1 'x' (2 3) ident\n )");
  ASSERT_EQ(list.kind, TFormValueKind::List);
  ASSERT_EQ(list.list.size(), 4u);
  EXPECT_EQ(list.list[2].list.size(), 2u);
  EXPECT_EQ(list.list[3].kind, TFormValueKind::Ident);

  TFormValue items = ValueOf("<\n item\n A = 1\n B = 'x'\n end\n ITEM END>");
  ASSERT_EQ(items.kind, TFormValueKind::Collection);
  ASSERT_EQ(items.items.size(), 2u);
  EXPECT_EQ(items.items[0].properties.size(), 2u);
  EXPECT_EQ(items.items[0].properties[1].line, 5);

  TFormValue binary = ValueOf("{ 0a 0B\n  ff\n}");
  ASSERT_EQ(binary.kind, TFormValueKind::Binary);
  EXPECT_EQ(binary.binary, QByteArray("\x0a\x0b\xff", 3));
}

TEST(FormParserObjects, NamesNestingAndLines) {
  QByteArray text =
      "\xEF\xBB\xBFobject Form1: TForm1\r\n"
      "  A = 1\r\n"
      "  object TUnnamed\r\n"
      "    object Inner: TInner\r\n"
      "    end\r\n"
      "  end\r\n"
      "  B = 2\r\n"
      "end\r\n";
  TFormObject o = ParseFormText(text, QStringLiteral("t.form"));
  EXPECT_EQ(o.name, QStringLiteral("Form1"));
  EXPECT_EQ(o.className, QStringLiteral("TForm1"));
  ASSERT_EQ(o.properties.size(), 2u);
  EXPECT_EQ(o.properties[1].line, 7);
  ASSERT_EQ(o.children.size(), 1u);
  EXPECT_TRUE(o.children[0].name.isEmpty());
  EXPECT_EQ(o.children[0].className, QStringLiteral("TUnnamed"));
  EXPECT_EQ(o.children[0].children[0].line, 4);
}

TEST(FormParserObjects, StructureErrorsNameTheLine) {
  struct Case {
    const char* form;
    const char* message;
  };
  const Case cases[] = {
      {"", "t.form(1): 'object' expected"},
      {"object X: T\n  A = 1\n", "t.form(3): 'end' expected"},
      {"object X: T\nend\nend\n", "t.form(3): End of file expected"},
      {"object X: T\n  A 1\nend\n", "t.form(2): '=' expected"},
      {"object X: T\n  A = \nend\n", "t.form(3): Value expected"},
      {"object X: T\n  A = @\nend\n", "t.form(2): Invalid character '@'"},
      {"object X: T\n  A = [a,]\nend\n", "t.form(2): Set element expected"},
      {"object X: T\n  A = (1 2\nend\n", "t.form(3): ')' expected"},
      {"object X: T\n  A = < 5 >\nend\n", "t.form(2): 'item' expected"},
      {"object X: T\n  A = {0A\n", "t.form(2): Unterminated binary value"},
      {"object X: T\n  A = {0AB}\nend\n", "t.form(2): Invalid binary value: odd number of digits"},
      {"object X: T\n  A = {0X}\nend\n", "t.form(2): Invalid binary value"},
      {"object X:\nend\n", "t.form(2): Class name expected"},
  };
  for (const Case& c : cases) EXPECT_EQ(ErrorOf(c.form), QString::fromLatin1(c.message)) << c.form;
}

TEST(FormParserObjects, InvalidUtf8NamesItsLine) {
  EXPECT_EQ(ErrorOf("object X: T\n  A = 'ok'\n  B = '\xff'\nend\n"),
            QStringLiteral("t.form(3): Invalid UTF-8 text"));
}

TEST(FormParserLimits, NestingIsLimited) {
  auto nested = [](int depth) {
    QByteArray text;
    for (int i = 0; i < depth; ++i) text += "object TX\n";
    for (int i = 0; i < depth; ++i) text += "end\n";
    return text;
  };
  EXPECT_NO_THROW(ParseFormText(nested(kMaxFormNesting), QStringLiteral("t.form")));
  EXPECT_EQ(ErrorOf(nested(kMaxFormNesting + 1)),
            QStringLiteral("t.form(201): Nesting deeper than 200 levels"));
  QByteArray lists = "object X: T\n  A = " + QByteArray(100000, '(') + "\nend\n";
  EXPECT_EQ(ErrorOf(lists), QStringLiteral("t.form(2): Nesting deeper than 200 levels"));
}

TEST(FormParserLimits, LargeStringsAndBinaryHaveNoFixedSize) {
  QByteArray big(1 << 20, 'x');
  TFormValue s = ValueOf(("'" + big + "'").constData());
  EXPECT_EQ(s.text.size(), big.size());
  QByteArray hex = QByteArray(1 << 16, 'A').toHex();
  TFormValue b = ValueOf(("{" + hex + "}").constData());
  EXPECT_EQ(b.binary.size(), 1 << 16);
}

}  // namespace
