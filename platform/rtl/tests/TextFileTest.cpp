#include "platform/rtl/Exceptions.h"
#include "platform/rtl/TextFile.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>

#include <functional>

#include <sys/stat.h>
#include <unistd.h>

namespace {

int CodeOf(const std::function<void()>& op) {
  try {
    op();
  } catch (const EInOutError& e) {
    return e.ErrorCode();
  }
  return 0;
}

QString Temp(const char* name) { return qxtest::TempPath(QString::fromLatin1(name)); }

// ---- I/O result codes

TEST(TextFileCodes, OpenAndUseFailures) {
  const QString existing = Temp("exists.txt");
  qxtest::WriteBytes(existing, "1\r\n");
  struct Row {
    const char* what;
    int code;
    std::function<void()> op;
  };
  const Row rows[] = {
      {"Reset of a missing file", 2, [] { TextFile f; AssignFile(f, Temp("none.txt")); Reset(f); }},
      {"Append to a missing file", 2, [] { TextFile f; AssignFile(f, Temp("none.txt")); Append(f); }},
      {"Reset in a missing folder", 3, [] { TextFile f; AssignFile(f, Temp("no/none.txt")); Reset(f); }},
      {"Rewrite in a missing folder", 3, [] { TextFile f; AssignFile(f, Temp("no/x.txt")); Rewrite(f); }},
      {"path through a file", 3,
       [&] { TextFile f; AssignFile(f, existing + QStringLiteral("/x")); Reset(f); }},
      {"Reset of a folder", 5, [] { TextFile f; AssignFile(f, qxtest::TempRoot()); Reset(f); }},
      {"Rewrite of a folder", 5, [] { TextFile f; AssignFile(f, qxtest::TempRoot()); Rewrite(f); }},
      {"read failure", 100,
       [] { TextFile f; AssignFile(f, QStringLiteral("/proc/self/mem")); Reset(f); ReadLn(f); }},
      {"write failure at close", 101,
       [] { TextFile f; AssignFile(f, QStringLiteral("/dev/full")); Rewrite(f); WriteLn(f, 1); CloseFile(f); }},
      {"write failure of a long line", 101,
       [] {
         TextFile f;
         AssignFile(f, QStringLiteral("/dev/full"));
         Rewrite(f);
         WriteLn(f, QString(200000, QLatin1Char('x')));
       }},
      {"Reset without a name", 102, [] { TextFile f; Reset(f); }},
      {"Rewrite without a name", 102, [] { TextFile f; Rewrite(f); }},
      {"ReadLn of a closed file", 103, [&] { TextFile f; AssignFile(f, existing); ReadLn(f); }},
      {"WriteLn to a closed file", 103, [&] { TextFile f; AssignFile(f, existing); WriteLn(f); }},
      {"Eof of a closed file", 103, [&] { TextFile f; AssignFile(f, existing); Eof(f); }},
      {"CloseFile twice", 103, [&] { TextFile f; AssignFile(f, existing); Reset(f); CloseFile(f); CloseFile(f); }},
      {"ReadLn of an output file", 104,
       [] { TextFile f; AssignFile(f, Temp("o.txt")); Rewrite(f); QString s; ReadLn(f, s); }},
      {"WriteLn to an input file", 105,
       [&] { TextFile f; AssignFile(f, existing); Reset(f); WriteLn(f, QStringLiteral("x")); }},
  };
  for (const Row& r : rows)
    EXPECT_EQ(CodeOf(r.op), r.code) << r.what;
}

TEST(TextFileCodes, NoPermissionToRead) {
  if (::geteuid() == 0)
    GTEST_SKIP() << "permissions do not bind root";
  const QString path = Temp("secret.txt");
  qxtest::WriteBytes(path, "x\r\n");
  ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0), 0);
  EXPECT_EQ(CodeOf([&] { TextFile f; AssignFile(f, path); Reset(f); }), 5);
}

TEST(TextFileCodes, NumbersThatAreNotNumbers) {
  struct Row {
    const char* text;
    int code;
    int value;
  };
  const Row rows[] = {
      {"12\r\n", 0, 12},          {"  \t\r\n -7 rest\r\n", 0, -7}, {"+5", 0, 5},
      {"", 0, 0},                 {" \r\n \r\n", 0, 0},            {"2147483647", 0, 2147483647},
      {"-2147483648", 0, -2147483647 - 1},
      {"abc\r\n", 106, 0},        {"12x\r\n", 106, 0},             {"-\r\n", 106, 0},
      {"2147483648", 106, 0},     {"99999999999999999999", 106, 0}, {"1.5", 106, 0},
  };
  for (const Row& r : rows) {
    const QString path = Temp("n.txt");
    qxtest::WriteBytes(path, r.text);
    TextFile f;
    AssignFile(f, path);
    Reset(f);
    int value = -99;
    EXPECT_EQ(CodeOf([&] { Read(f, value); }), r.code) << r.text;
    if (r.code == 0) {
      EXPECT_EQ(value, r.value) << r.text;
    }
  }
}

// ---- reading

TEST(TextFileRead, LinesEndAtCrLfLfOrCr) {
  const QString path = Temp("lines.txt");
  qxtest::WriteBytes(path, "a\r\nb\nc\rd\r\n\r\nlast");
  TextFile f;
  AssignFile(f, path);
  Reset(f);
  QStringList lines;
  while (!Eof(f)) {
    QString s;
    ReadLn(f, s);
    lines << s;
  }
  EXPECT_EQ(lines, QStringList({"a", "b", "c", "d", "", "last"}));
  CloseFile(f);
}

TEST(TextFileRead, AtTheEndLinesAreEmptyAndNumbersZero) {
  const QString path = Temp("short.txt");
  qxtest::WriteBytes(path, "3\r\n2\r\nA\r\n");
  TextFile f;
  AssignFile(f, path);
  Reset(f);
  int cols = 0, rows = 0;
  ReadLn(f, cols);
  ReadLn(f, rows);
  QStringList cells;
  for (int i = 0; i < cols * rows; ++i) {
    QString s = QStringLiteral("unset");
    ReadLn(f, s);
    cells << s;
  }
  EXPECT_EQ(cells, QStringList({"A", "", "", "", "", ""}));
  EXPECT_TRUE(Eof(f));
  EXPECT_TRUE(Eoln(f));
  int n = -1;
  Read(f, n);
  EXPECT_EQ(n, 0);
  CloseFile(f);
}

TEST(TextFileRead, NumberThenRestOfLine) {
  const QString path = Temp("num.txt");
  qxtest::WriteBytes(path, "\r\n  12 trailing words\r\nnext\r\n");
  TextFile f;
  AssignFile(f, path);
  Reset(f);
  int n = 0;
  Read(f, n);
  EXPECT_EQ(n, 12);
  EXPECT_FALSE(Eoln(f));
  ReadLn(f);
  QString s;
  ReadLn(f, s);
  EXPECT_EQ(s, QStringLiteral("next"));
  EXPECT_TRUE(Eof(f));
}

TEST(TextFileRead, DecodesWindows1252AndLongLines) {
  const QString path = Temp("long.txt");
  QByteArray bytes("\xC5\xC4\xD6\x80\r\n");
  bytes += QByteArray(300000, 'z');
  qxtest::WriteBytes(path, bytes);
  TextFile f;
  AssignFile(f, path);
  Reset(f);
  QString s;
  ReadLn(f, s);
  EXPECT_EQ(s, QStringLiteral("ÅÄÖ€"));
  ReadLn(f, s);
  EXPECT_EQ(s, QString(300000, QLatin1Char('z')));
}

// ---- writing

TEST(TextFileWrite, CrLfLinesInWindows1252) {
  const QString path = Temp("grid.vrb");
  TextFile f;
  AssignFile(f, path);
  Rewrite(f);
  WriteLn(f, 12);
  Write(f, QStringLiteral("Å"));
  Write(f, -3);
  WriteLn(f);
  WriteLn(f, QStringLiteral("AB"));
  WriteLn(f, QStringLiteral("€日"));
  CloseFile(f);
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("12\r\n\xC5-3\r\nAB\r\n\x80?\r\n"));
}

TEST(TextFileWrite, RewriteTruncatesAndAppendAdds) {
  const QString path = Temp("log.txt");
  qxtest::WriteBytes(path, "old old old\r\n");
  TextFile f;
  AssignFile(f, path);
  Rewrite(f);
  WriteLn(f, QStringLiteral("one"));
  CloseFile(f);
  Append(f);
  WriteLn(f, QStringLiteral("two"));
  CloseFile(f);
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("one\r\ntwo\r\n"));
}

TEST(TextFileWrite, ReopeningClosesAndAssigningAnOpenFileFlushes) {
  const QString a = Temp("a.txt");
  const QString b = Temp("b.txt");
  TextFile f;
  AssignFile(f, a);
  Rewrite(f);
  WriteLn(f, QStringLiteral("first"));
  Reset(f);  // closes the output (writing it) and reads from the start
  QString s;
  ReadLn(f, s);
  EXPECT_EQ(s, QStringLiteral("first"));
  Rewrite(f);
  WriteLn(f, QStringLiteral("second"));
  AssignFile(f, b);
  EXPECT_EQ(qxtest::ReadBytes(a), QByteArray("second\r\n"));
  EXPECT_EQ(f.FileName(), b);
}

TEST(TextFileWrite, DestroyingAnOpenFileKeepsWhatWasWritten) {
  const QString path = Temp("d.txt");
  {
    TextFile f;
    AssignFile(f, path);
    Rewrite(f);
    WriteLn(f, QStringLiteral("kept"));
  }
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("kept\r\n"));
}

TEST(TextFileWrite, LargeOutputRoundTrips) {
  const QString path = Temp("big.txt");
  TextFile f;
  AssignFile(f, path);
  Rewrite(f);
  for (int i = 0; i < 20000; ++i)
    WriteLn(f, i);
  CloseFile(f);
  Reset(f);
  for (int i = 0; i < 20000; ++i) {
    int n = -1;
    ReadLn(f, n);
    ASSERT_EQ(n, i);
  }
  EXPECT_TRUE(Eof(f));
}

}  // namespace
