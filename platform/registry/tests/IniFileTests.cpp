// TIniFile: the profile rules for reading, and locked atomic writes.
#include "platform/registry/IniFile.h"
#include "platform/registry/tests/ListLines.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

struct ReadCase {
  const char* what;
  QByteArray file;
  const char* section;
  const char* key;
  const char* expected;  // "<def>" when the default comes back
};

const ReadCase kReadCases[] = {
    {"plain", "[S]\nk=v\n", "S", "k", "v"},
    {"section case", "[Asetukset]\nk=v\n", "ASETUKSET", "k", "v"},
    {"key case, nordic", "[S]\nVäri=1\n", "S", "VÄRI", "1"},
    {"blanks trimmed", "  [ S ]  \n   k  =   v w   \n", "S", "k", "v w"},
    {"double quotes stripped", "[S]\nk=\"  spaced \"\n", "S", "k", "  spaced "},
    {"single quotes stripped", "[S]\nk='x'\n", "S", "k", "x"},
    {"unmatched quotes kept", "[S]\nk=\"x'\n", "S", "k", "\"x'"},
    {"one quote kept", "[S]\nk=\"\n", "S", "k", "\""},
    {"first duplicate key wins", "[S]\nk=1\nk=2\n", "S", "k", "1"},
    {"first duplicate section wins", "[S]\na=1\n[T]\n[s]\nb=2\n", "S", "b", "<def>"},
    {"comment ignored", "[S]\n;k=1\nk=2\n", "S", "k", "2"},
    {"indented comment ignored", "[S]\n   ; k=1\n", "S", "k", "<def>"},
    {"line without = is no key", "[S]\nk\n", "S", "k", "<def>"},
    {"empty value", "[S]\nk=\n", "S", "k", ""},
    {"value keeps later =", "[S]\nk=a=b\n", "S", "k", "a=b"},
    {"key before any section", "k=1\n[S]\n", "S", "k", "<def>"},
    {"missing section", "[S]\nk=1\n", "T", "k", "<def>"},
    {"CR LF lines", "[S]\r\nk=v\r\n", "S", "k", "v"},
    {"no final newline", "[S]\nk=v", "S", "k", "v"},
    {"header without ]", "[S\nk=v\n", "S", "k", "v"},
    {"UTF-8 with BOM", "\xEF\xBB\xBF[S]\nk=\xC3\xA4\n", "S", "k", "ä"},
    {"Windows-1252 fallback", "[S]\nk=\xE4\x80\n", "S", "k", "ä€"},
    {"empty file", "", "S", "k", "<def>"},
};

class IniRead : public testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, FindsWhatTheProfileRulesFind) {
  const ReadCase& c = GetParam();
  const QString path = qxtest::TempPath(QStringLiteral("case.ini"));
  qxtest::WriteBytes(path, c.file);
  TIniFile ini(path);
  const QString value = ini.ReadString(QString::fromUtf8(c.section), QString::fromUtf8(c.key),
                                       QStringLiteral("<def>"));
  EXPECT_EQ(value, QString::fromUtf8(c.expected)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Table, IniRead, testing::ValuesIn(kReadCases));

TEST(IniFile, MissingFileReadsAsEmpty) {
  TIniFile ini(qxtest::TempPath(QStringLiteral("none.ini")));
  EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("d")),
            QStringLiteral("d"));
  TStringList list;
  list.Add(QStringLiteral("old"));
  ini.ReadSections(&list);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(ini.SectionExists(QStringLiteral("S")));
}

TEST(IniFile, NumbersAndBooleans) {
  const QString path = qxtest::TempPath(QStringLiteral("n.ini"));
  qxtest::WriteBytes(path,
                     "[N]\ndec=-42\nhex=0x1F\nHEX=0XFF\ndollar=$10\nbad=12a\nbig=9999999999\n"
                     "t=1\nf=0\nword=true\nspace= 7 \n");
  TIniFile ini(path);
  const auto n = [&](const char* key) {
    return ini.ReadInteger(QStringLiteral("N"), QString::fromLatin1(key), -1);
  };
  EXPECT_EQ(n("dec"), -42);
  EXPECT_EQ(n("hex"), 31);
  EXPECT_EQ(n("HEX"), 31);  // first of the two spellings
  EXPECT_EQ(n("dollar"), 16);
  EXPECT_EQ(n("bad"), -1);
  EXPECT_EQ(n("big"), -1);
  EXPECT_EQ(n("space"), 7);
  EXPECT_TRUE(ini.ReadBool(QStringLiteral("N"), QStringLiteral("t"), false));
  EXPECT_FALSE(ini.ReadBool(QStringLiteral("N"), QStringLiteral("f"), true));
  EXPECT_TRUE(ini.ReadBool(QStringLiteral("N"), QStringLiteral("word"), true));
  EXPECT_FALSE(ini.ReadBool(QStringLiteral("N"), QStringLiteral("word"), false));
}

TEST(IniFile, WritesCreateFileSectionAndKeys) {
  const QString path = qxtest::TempPath(QStringLiteral("w.ini"));
  TIniFile ini(path);
  ini.WriteString(QStringLiteral("Rename"), QStringLiteral("a"), QStringLiteral("b"));
  ini.WriteInteger(QStringLiteral("Other"), QStringLiteral("n"), 5);
  ini.WriteBool(QStringLiteral("Rename"), QStringLiteral("flag"), true);
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("[Rename]\na=b\nflag=1\n\n[Other]\nn=5\n"));
}

TEST(IniFile, WriteKeepsEverythingElse) {
  const QString path = qxtest::TempPath(QStringLiteral("keep.ini"));
  qxtest::WriteBytes(path,
                     "; top\r\n[A]\r\n  Key = old ; not a comment\r\nloose line\r\n\r\n"
                     "[B]\r\nx=1\r\n");
  TIniFile ini(path);
  ini.WriteString(QStringLiteral("a"), QStringLiteral("KEY"), QStringLiteral("new"));
  ini.WriteString(QStringLiteral("A"), QStringLiteral("added"), QStringLiteral("2"));
  EXPECT_EQ(qxtest::ReadBytes(path),
            QByteArray("; top\r\n[A]\r\nKey=new\r\nloose line\r\nadded=2\r\n\r\n[B]\r\nx=1\r\n"));
}

TEST(IniFile, EraseSectionAndDeleteKey) {
  const QString path = qxtest::TempPath(QStringLiteral("e.ini"));
  qxtest::WriteBytes(path, "[A]\nk=1\nk=2\nj=3\n[B]\nx=1\n[a]\nk=9\n");
  TIniFile ini(path);
  ini.DeleteKey(QStringLiteral("A"), QStringLiteral("K"));
  EXPECT_FALSE(ini.ValueExists(QStringLiteral("A"), QStringLiteral("k")));
  EXPECT_TRUE(ini.ValueExists(QStringLiteral("A"), QStringLiteral("j")));
  ini.EraseSection(QStringLiteral("a"));
  EXPECT_FALSE(ini.SectionExists(QStringLiteral("A")));
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("[B]\nx=1\n"));
  ini.EraseSection(QStringLiteral("none"));
  ini.DeleteKey(QStringLiteral("B"), QStringLiteral("none"));
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("[B]\nx=1\n"));
}

TEST(IniFile, ListsSectionsKeysAndValues) {
  const QString path = qxtest::TempPath(QStringLiteral("l.ini"));
  qxtest::WriteBytes(path, "[One]\nb=\"2\"\na=1\nB=3\nnoval\n[Two]\n[one]\nc=4\n");
  TIniFile ini(path);
  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(Lines(list), (QStringList{"One", "Two"}));
  ini.ReadSection(QStringLiteral("ONE"), &list);
  EXPECT_EQ(Lines(list), (QStringList{"b", "a"}));
  ini.ReadSectionValues(QStringLiteral("One"), &list);
  EXPECT_EQ(Lines(list), (QStringList{"b=2", "a=1"}));
  EXPECT_TRUE(ini.SectionExists(QStringLiteral("one")));
  EXPECT_FALSE(ini.SectionExists(QStringLiteral("Two")));  // holds no key
}

TEST(IniFile, Windows1252FileIsRewrittenAsUtf8) {
  const QString path = qxtest::TempPath(QStringLiteral("cp.ini"));
  qxtest::WriteBytes(path, "[S]\nnimi=P\xE4iv\xE4\n");
  TIniFile ini(path);
  ini.WriteString(QStringLiteral("S"), QStringLiteral("uusi"), QStringLiteral("ö"));
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("[S]\nnimi=P\xC3\xA4iv\xC3\xA4\nuusi=\xC3\xB6\n"));
}

TEST(IniFile, MissingFolderFailsWithTheFileName) {
  const QString path = qxtest::TempPath(QStringLiteral("no/such/dir/x.ini"));
  TIniFile ini(path);
  try {
    ini.WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"));
    ADD_FAILURE() << "no exception";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Unable to write to ") + path);
  }
  EXPECT_FALSE(QDir(qxtest::TempPath(QStringLiteral("no"))).exists());
}

TEST(IniFile, UnreadableFileIsNeverRewritten) {
  // A folder where the file should be cannot be read, even by root.
  const QString path = qxtest::TempPath(QStringLiteral("dir.ini"));
  ASSERT_TRUE(QDir().mkpath(path));
  TIniFile ini(path);
  EXPECT_THROW(ini.ReadString(QStringLiteral("S"), QStringLiteral("k"), QString()),
               EIniFileException);
  EXPECT_THROW(ini.WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v")),
               EIniFileException);
  EXPECT_TRUE(QFileInfo(path).isDir());
}

TEST(IniFile, EntriesThatWouldBreakTheFileAreRefused) {
  const QString path = qxtest::TempPath(QStringLiteral("bad.ini"));
  qxtest::WriteBytes(path, "[S]\nk=v\n");
  TIniFile ini(path);
  const struct {
    const char* section;
    const char* key;
    const char* value;
  } rows[] = {{"S", "k", "two\nlines"}, {"S", "a=b", "v"}, {"S]", "k", "v"}, {"S", "", "v"},
              {"S", ";k", "v"},         {"S", "k\r", "v"}, {"S", "[k]", "v"}};
  for (const auto& r : rows)
    EXPECT_THROW(ini.WriteString(QString::fromLatin1(r.section), QString::fromLatin1(r.key),
                                 QString::fromLatin1(r.value)),
                 EIniFileException)
        << r.key;
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("[S]\nk=v\n"));
}

TEST(IniFile, NameWithoutFolderLivesInTheWindowsFolder) {
  TIniFile ini(QStringLiteral("WININIT.INI"));
  ini.WriteString(QStringLiteral("Rename"), QStringLiteral("/a/b.1"), QStringLiteral("/a/b"));
  const QString expected =
      qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/qx/windows/WININIT.INI");
  EXPECT_EQ(ini.Path(), expected);
  EXPECT_EQ(qxtest::ReadBytes(expected), QByteArray("[Rename]\n/a/b.1=/a/b\n"));
  EXPECT_EQ(ini.FileName(), QStringLiteral("WININIT.INI"));
}

struct LineEndCase {
  const char* what;
  QByteArray before;
  QByteArray after;  // after [S] k=new
};

const LineEndCase kLineEndCases[] = {
    {"two CRs at the end", "[S]\r\nk=v\r\r", "[S]\r\nk=new\r\r"},
    {"two CRs before LF", "[S]\r\r\nk=v\r\r\n", "[S]\r\r\nk=new\r\r\n"},
    {"mixed ends kept", "; a\n[S]\r\nk=v\nx=1\r\n", "; a\n[S]\r\nk=new\nx=1\r\n"},
    {"no final line end", "[S]\nx=1", "[S]\nx=1\nk=new\n"},
    {"new line takes CR LF", "[S]\nx=1\r\n", "[S]\nx=1\r\nk=new\r\n"},
    {"new section after bare CR", "[T]\r", "[T]\r\n\n[S]\nk=new\n"},
};

class IniLineEnds : public testing::TestWithParam<LineEndCase> {};

TEST_P(IniLineEnds, AreKeptAsTheyWere) {
  const LineEndCase& c = GetParam();
  const QString path = qxtest::TempPath(QStringLiteral("ends.ini"));
  qxtest::WriteBytes(path, c.before);
  TIniFile ini(path);
  ini.WriteString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("new"));
  EXPECT_EQ(qxtest::ReadBytes(path), c.after) << c.what;
  ini.DeleteKey(QStringLiteral("S"), QStringLiteral("none"));
  EXPECT_EQ(qxtest::ReadBytes(path), c.after) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Table, IniLineEnds, testing::ValuesIn(kLineEndCases));

ino_t InodeOf(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

TEST(IniFileBatch, RewritesTheFileOnceOnCommit) {
  const QString path = qxtest::TempPath(QStringLiteral("b.ini"));
  qxtest::WriteBytes(path, "[R]\nItem_0=old\nItem_1=older\n[T]\nx=1\n");
  TIniFile ini(path);
  TIniFile other(path);
  const ino_t before = InodeOf(path);
  {
    TIniFileBatch batch(&ini);
    ini.EraseSection(QStringLiteral("R"));
    ini.WriteString(QStringLiteral("R"), QStringLiteral("Item_0"), QStringLiteral("a"));
    {
      TIniFileBatch inner(&ini);
      ini.WriteString(QStringLiteral("R"), QStringLiteral("Item_1"), QStringLiteral("b"));
      inner.Commit();  // the outer batch writes
    }
    {
      TIniFileBatch dropped(&ini);
      ini.WriteString(QStringLiteral("R"), QStringLiteral("Item_2"), QStringLiteral("c"));
    }
    // Reads through the file see the batch; the file is untouched.
    EXPECT_EQ(ini.ReadString(QStringLiteral("R"), QStringLiteral("Item_1"), QString()),
              QStringLiteral("b"));
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("R"), QStringLiteral("Item_2")));
    EXPECT_EQ(InodeOf(path), before);
    // Another writer's change in the meantime is kept.
    other.WriteString(QStringLiteral("T"), QStringLiteral("y"), QStringLiteral("2"));
    batch.Commit();
  }
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("[T]\nx=1\ny=2\n\n[R]\nItem_0=a\nItem_1=b\n"));
}

TEST(IniFileBatch, ABatchLeftByAnExceptionChangesNothing) {
  const QString path = qxtest::TempPath(QStringLiteral("x.ini"));
  qxtest::WriteBytes(path, "[R]\nItem_0=old\n");
  TIniFile ini(path);
  try {
    TIniFileBatch batch(&ini);
    ini.EraseSection(QStringLiteral("R"));
    ini.WriteString(QStringLiteral("R"), QStringLiteral("bad=key"), QStringLiteral("v"));
    batch.Commit();
    ADD_FAILURE() << "no exception";
  } catch (const EIniFileException&) {
  }
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("[R]\nItem_0=old\n"));
  ini.WriteString(QStringLiteral("R"), QStringLiteral("Item_1"), QStringLiteral("x"));
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("[R]\nItem_0=old\nItem_1=x\n"));
  TIniFileBatch none(nullptr);
  none.Commit();
}

}  // namespace
