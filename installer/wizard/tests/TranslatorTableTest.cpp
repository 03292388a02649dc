// Reading language tables: strings, comments, memo blocks and each error.
#include "installer/wizard/cmp_TTranslator.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

struct TStringRow {
  int id;
  int line;
  const char* text;
};
struct TMemoRow {
  int id;
  int line;
  QStringList lines;
};
struct TTableCase {
  const char* name;
  QStringList lines;
  std::vector<TStringRow> strings;
  std::vector<TMemoRow> memos;
  QString error;  // empty: the table reads
};

QString Lines(std::initializer_list<const char*> lines) {
  QString text;
  for (const char* line : lines) text += QString::fromUtf8(line) + u'\n';
  return text;
}

const std::vector<TTableCase>& Cases() {
  static const std::vector<TTableCase> cases = {
      {"StringsTrimmedAndBlankLinesSkipped",
       {"  3;Hello  ", "", "4; < Previous ;ignored", "\t5;Next >"},
       {{3, 0, "Hello"}, {4, 2, "< Previous"}, {5, 3, "Next >"}},
       {},
       {}},
      {"CommentsOutsideAndInsideBlocks",
       {"* TWelcomeDlg/TWelcomeForm", "9;Welcome", "#12;", "*not a line", "Line", "#"},
       {{9, 1, "Welcome"}},
       {{12, 2, {"Line"}}},
       {}},
      {"MemoOfTheSixLines",
       {"#12;", "Line one", "* a comment", "", "Line two", "#"},
       {},
       {{12, 0, {"Line one", "Line two"}}},
       {}},
      {"MemoMarkerWithoutSemicolonAndHashLinesInside",
       {"#7", "#8;kept as a line", "3;x;y", "#", "7;after"},
       {{7, 4, "after"}},
       {{7, 0, {"#8;kept as a line", "3;x;y"}}},
       {}},
      {"RepeatedIdsKeptInOrder",
       {"3;first", "3;second"},
       {{3, 0, "first"}, {3, 1, "second"}},
       {},
       {}},
      {"OpenBlockAtTheEndIsDropped",
       {"1;one", "#2;", "dangling"},
       {{1, 0, "one"}},
       {},
       {}},
      {"NegativeAndHexIds", {"-4;minus", "$10;hex"}, {{-4, 0, "minus"}, {16, 1, "hex"}}, {}, {}},
      {"EndMarkerOutsideABlock",
       {"#"},
       {},
       {},
       "Found the end of memo marker # at line 0. Was not in a memo however"},
      {"EndMarkerAfterAClosedBlock",
       {"#1;", "a", "#", "", "  #  "},
       {},
       {},
       "Found the end of memo marker # at line 4. Was not in a memo however"},
      {"IdNotANumber",
       {"1;one", "x1;text"},
       {},
       {},
       "The 1'th string (x1;text) does not have the proper format of GLID;Text or .GLID;"},
      {"StringWithoutText",
       {"5;"},
       {},
       {},
       "The 0'th string (5;) does not have the proper format of GLID;Text"},
      {"StringWithBlankText",
       {"5;   ;more"},
       {},
       {},
       "The 0'th string (5;   ;more) does not have the proper format of GLID;Text"},
      {"StringWithoutId",
       {";text"},
       {},
       {},
       "The 0'th string (;text) does not have the proper format of GLID;Text"},
      {"MemoWithoutId",
       {"#;"},
       {},
       {},
       "The 0'th string (#;) does not have the proper format of GLID;Text"},
      {"MemoIdNotANumber",
       {"", "#a1;"},
       {},
       {},
       "The 1'th string (#a1;) does not have the proper format of GLID;Text or .GLID;"},
      {"IdWithBlanksIsNoNumber",
       {"3 ;x"},
       {},
       {},
       "The 0'th string (3 ;x) does not have the proper format of GLID;Text or .GLID;"},
  };
  return cases;
}

class LanguageTable : public testing::TestWithParam<TTableCase> {};

TEST_P(LanguageTable, ReadsOrFailsWithItsText) {
  const TTableCase& c = GetParam();
  TStringList lines;
  for (const QString& line : c.lines) lines.Add(line);
  if (!c.error.isEmpty()) {
    try {
      ParseLanguageTable(lines, nullptr);
      FAIL() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), c.error);
    }
    return;
  }
  const TLanguageTable table = ParseLanguageTable(lines, nullptr);
  ASSERT_EQ(table.strings.size(), c.strings.size());
  for (std::size_t i = 0; i < c.strings.size(); ++i) {
    EXPECT_EQ(table.strings[i].id, c.strings[i].id) << i;
    EXPECT_EQ(table.strings[i].line, c.strings[i].line) << i;
    EXPECT_EQ(table.strings[i].text, QString::fromUtf8(c.strings[i].text)) << i;
  }
  ASSERT_EQ(table.memos.size(), c.memos.size());
  for (std::size_t i = 0; i < c.memos.size(); ++i) {
    EXPECT_EQ(table.memos[i].id, c.memos[i].id) << i;
    EXPECT_EQ(table.memos[i].line, c.memos[i].line) << i;
    EXPECT_EQ(table.memos[i].lines, c.memos[i].lines) << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Rows, LanguageTable, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<TTableCase>& row) {
                           return std::string(row.param.name);
                         });

TEST(LanguageTableText, LongTextsAreCutTo255) {
  TStringList lines;
  lines.Add(QStringLiteral("1;") + QString(300, u'x'));
  EXPECT_EQ(ParseLanguageTable(lines, nullptr).strings.at(0).text, QString(255, u'x'));
}

class LanguageStrings : public testing::Test {
 protected:
  void SetUp() override {
    translator = std::make_unique<TTranslator>(nullptr);
    language = translator->lgEnglish();
    language->Strings()->SetText(Lines({"3;Hello", "#12;", "memo", "#", "4;Bye"}));
  }
  std::vector<int> Ids() const {
    std::vector<int> ids;
    for (const TLanguageString& s : language->Table().strings) ids.push_back(s.id);
    return ids;
  }

  std::unique_ptr<TTranslator> translator;
  TLanguage* language = nullptr;
};

// Each way of changing the lines re-reads them, and a change that breaks
// the table is refused whole: lines and texts stay as they were.
TEST_F(LanguageStrings, EveryChangeRereadsAndABadOneChangesNothing) {
  TLangFormatStrings* strings = language->Strings();
  ASSERT_EQ(Ids(), (std::vector<int>{3, 4}));
  ASSERT_EQ(language->Table().memos.size(), 1u);
  const QString before = strings->Text();

  struct TBadChange {
    const char* name;
    std::function<void()> change;
  };
  const std::vector<TBadChange> bad = {
      {"Add", [&] { strings->Add(QStringLiteral("#")); }},
      {"Insert", [&] { strings->Insert(0, QStringLiteral("x;y")); }},
      {"Put", [&] { strings->Put(0, QStringLiteral("3;")); }},
      {"Delete opening marker", [&] { strings->Delete(1); }},
      {"Move", [&] { strings->Move(3, 0); }},
      {"SetText", [&] { strings->SetText(Lines({"1;a", "b;c"})); }},
      {"Assign", [&] {
         TStringList other;
         other.Add(QStringLiteral("#"));
         strings->Assign(other);
       }},
  };
  for (const TBadChange& row : bad) {
    EXPECT_THROW(row.change(), Exception) << row.name;
    EXPECT_EQ(strings->Text(), before) << row.name;
    EXPECT_EQ(Ids(), (std::vector<int>{3, 4})) << row.name;
    EXPECT_EQ(language->Table().memos.size(), 1u) << row.name;
  }

  strings->Add(QStringLiteral("5;More"));
  EXPECT_EQ(Ids(), (std::vector<int>{3, 4, 5}));
  strings->Delete(0);
  EXPECT_EQ(Ids(), (std::vector<int>{4, 5}));
  EXPECT_EQ(language->FindString(4)->line, 3);
  strings->Exchange(3, 4);
  EXPECT_EQ(language->FindString(4)->line, 4);
  strings->Clear();
  EXPECT_TRUE(language->Table().strings.empty());
  EXPECT_TRUE(language->Table().memos.empty());
}

TEST_F(LanguageStrings, AutoParseOffDefersUntilAssign) {
  language->SetAutoParse(false);
  language->Strings()->Add(QStringLiteral("9;Later"));
  EXPECT_EQ(language->FindString(9), nullptr);
  TStringList table;
  table.Add(QStringLiteral("9;Now"));
  language->Strings()->Assign(table);
  EXPECT_TRUE(language->AutoParse());
  ASSERT_NE(language->FindString(9), nullptr);
  EXPECT_EQ(language->FindString(9)->text, QStringLiteral("Now"));
  EXPECT_EQ(language->FindString(9)->language, language);
}

}  // namespace
