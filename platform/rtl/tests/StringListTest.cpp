#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

QStringList Items(const TStrings& s) {
  QStringList out;
  for (int i = 0; i < s.Count(); ++i)
    out << s[i];
  return out;
}

// Fixtures sit in data/ beside this file (__FILE__ may be relative to the build).
QString Fixture(const QString& name) { return qxtest::DataPath(name); }

void Fill(TStrings& s, const QStringList& items) {
  for (const QString& item : items)
    s.Add(item);
}

// ---- Text

TEST(StringListText, JoinsEveryLineWithCrLf) {
  TStringList list;
  EXPECT_EQ(list.Text(), QString());
  Fill(list, {"a", "", "b"});
  EXPECT_EQ(list.Text(), QStringLiteral("a\r\n\r\nb\r\n"));
}

TEST(StringListText, SplitsAtCrLfLfAndCr) {
  struct Row {
    const char* text;
    QStringList lines;
  };
  const Row rows[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},
      {"a\r\nb", {"a", "b"}},
      {"a\nb\n", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"a\n\nb", {"a", "", "b"}},
      {"\r\n", {""}},
      {"a\n\r\nb", {"a", "", "b"}},
      {"x\r\ry", {"x", "", "y"}},
  };
  for (const Row& r : rows) {
    TStringList list;
    list.Add(QStringLiteral("old"));
    list.SetText(QString::fromLatin1(r.text));
    EXPECT_EQ(Items(list), r.lines) << QByteArray(r.text).toPercentEncoding().constData();
  }
}

// ---- sorted lists, duplicates, case

TEST(StringListSorted, AddKeepsOrderAndReturnsPosition) {
  TStringList list;
  list.SetSorted(true);
  EXPECT_EQ(list.Add(QStringLiteral("m")), 0);
  EXPECT_EQ(list.Add(QStringLiteral("c")), 0);
  EXPECT_EQ(list.Add(QStringLiteral("x")), 2);
  EXPECT_EQ(list.Add(QStringLiteral("e")), 1);
  EXPECT_EQ(Items(list), QStringList({"c", "e", "m", "x"}));
}

TEST(StringListSorted, SettingSortedSortsExistingItems) {
  TStringList list;
  Fill(list, {"pear", "Apple", "fig", "banana"});
  list.SetSorted(true);
  EXPECT_EQ(Items(list), QStringList({"Apple", "banana", "fig", "pear"}));
}

TEST(StringListSorted, InsertAndPutAreRefused) {
  TStringList list;
  list.SetSorted(true);
  list.Add(QStringLiteral("a"));
  try {
    list.Insert(0, QStringLiteral("b"));
    FAIL() << "Insert on a sorted list";
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Operation not allowed on sorted list"));
  }
  EXPECT_THROW(list.Put(0, QStringLiteral("z")), EStringListError);
  EXPECT_EQ(Items(list), QStringList({"a"}));
}

TEST(StringListDuplicates, EachRuleOnASortedList) {
  TStringList ignore;
  ignore.SetSorted(true);
  Fill(ignore, {"b", "a"});
  EXPECT_EQ(ignore.Add(QStringLiteral("B")), 1);  // the index of the listed one
  EXPECT_EQ(Items(ignore), QStringList({"a", "b"}));

  TStringList accept;
  accept.SetSorted(true);
  accept.SetDuplicates(dupAccept);
  Fill(accept, {"b", "a", "b"});
  EXPECT_EQ(accept.Count(), 3);

  TStringList error;
  error.SetSorted(true);
  error.SetDuplicates(dupError);
  error.Add(QStringLiteral("b"));
  try {
    error.Add(QStringLiteral("b"));
    FAIL() << "duplicate accepted";
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("String list does not allow duplicates"));
  }
  EXPECT_EQ(error.Count(), 1);
}

TEST(StringListDuplicates, UnsortedListAcceptsAll) {
  TStringList list;
  list.SetDuplicates(dupError);
  Fill(list, {"a", "a"});
  EXPECT_EQ(list.Count(), 2);
}

TEST(StringListCase, InsensitiveByDefaultWithUnicodeFolding) {
  TStringList list;
  Fill(list, {QStringLiteral("kissa"), QStringLiteral("äiti")});
  EXPECT_FALSE(list.CaseSensitive());
  EXPECT_EQ(list.IndexOf(QStringLiteral("KISSA")), 0);
  EXPECT_EQ(list.IndexOf(QStringLiteral("ÄITI")), 1);
  list.SetCaseSensitive(true);
  EXPECT_EQ(list.IndexOf(QStringLiteral("KISSA")), -1);
  EXPECT_EQ(list.IndexOf(QStringLiteral("kissa")), 0);
}

TEST(StringListCase, ChangingTheRuleResortsASortedList) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  Fill(list, {"b", "B", "a", "A"});
  list.SetCaseSensitive(true);
  EXPECT_EQ(Items(list), QStringList({"A", "B", "a", "b"}));
  int index = -1;
  EXPECT_TRUE(list.Find(QStringLiteral("a"), index));
  EXPECT_EQ(index, 2);
}

TEST(StringListFind, FoundIndexOrInsertionPoint) {
  TStringList list;
  list.SetSorted(true);
  Fill(list, {"b", "d", "f"});
  struct Row {
    const char* s;
    bool found;
    int index;
  };
  const Row rows[] = {{"a", false, 0}, {"b", true, 0}, {"C", false, 1},
                      {"D", true, 1},  {"e", false, 2}, {"g", false, 3}};
  for (const Row& r : rows) {
    int index = -1;
    EXPECT_EQ(list.Find(QString::fromLatin1(r.s), index), r.found) << r.s;
    EXPECT_EQ(index, r.index) << r.s;
  }
  EXPECT_EQ(list.IndexOf(QStringLiteral("F")), 2);
  EXPECT_EQ(list.IndexOf(QStringLiteral("c")), -1);
}

TEST(StringListFind, DuplicatesFindTheFirst) {
  TStringList list;
  list.SetSorted(true);
  list.SetDuplicates(dupAccept);
  Fill(list, {"a", "b", "b", "b", "b", "c"});
  int index = -1;
  EXPECT_TRUE(list.Find(QStringLiteral("b"), index));
  EXPECT_EQ(index, 1);
}

TEST(StringListSort, SortAndCustomSortKeepObjects) {
  TStringList list;
  int one = 1, two = 2, three = 3;
  list.AddObject(QStringLiteral("c"), &three);
  list.AddObject(QStringLiteral("a"), &one);
  list.AddObject(QStringLiteral("b"), &two);
  list.Sort();
  EXPECT_EQ(Items(list), QStringList({"a", "b", "c"}));
  EXPECT_EQ(list.Objects(0), &one);
  EXPECT_EQ(list.Objects(2), &three);
  list.CustomSort([](TStringList& l, int i1, int i2) {
    return QString::compare(l[i2], l[i1]);  // descending
  });
  EXPECT_EQ(Items(list), QStringList({"c", "b", "a"}));
  EXPECT_EQ(list.Objects(0), &three);
}

TEST(StringListSort, InconsistentCompareStaysInsideTheList) {
  TStringList list;
  for (int i = 0; i < 200; ++i)
    list.Add(QString::number(i));
  list.CustomSort([](TStringList&, int, int) { return -1; });
  EXPECT_EQ(list.Count(), 200);
}

// ---- index errors, edits

TEST(StringListIndex, OutOfRangeRaisesWithTheIndex) {
  TStringList list;
  Fill(list, {"a", "b"});
  const auto message = [&](auto op) {
    try {
      op();
    } catch (const EStringListError& e) {
      return e.Message();
    }
    return QStringLiteral("no error");
  };
  EXPECT_EQ(message([&] { list.Get(2); }), QStringLiteral("List index out of bounds (2)"));
  EXPECT_EQ(message([&] { list.Get(-1); }), QStringLiteral("List index out of bounds (-1)"));
  EXPECT_EQ(message([&] { list.Delete(5); }), QStringLiteral("List index out of bounds (5)"));
  EXPECT_EQ(message([&] { list.Insert(3, QString()); }), QStringLiteral("List index out of bounds (3)"));
  EXPECT_EQ(message([&] { list.Objects(2); }), QStringLiteral("List index out of bounds (2)"));
  list.Insert(2, QStringLiteral("c"));  // the end is a valid insertion point
  EXPECT_EQ(Items(list), QStringList({"a", "b", "c"}));
}

TEST(StringListEdit, MoveExchangeDeleteKeepObjects) {
  TStringList list;
  int x = 0, y = 0;
  list.AddObject(QStringLiteral("a"), &x);
  list.Add(QStringLiteral("b"));
  list.AddObject(QStringLiteral("c"), &y);
  list.Move(0, 2);
  EXPECT_EQ(Items(list), QStringList({"b", "c", "a"}));
  EXPECT_EQ(list.Objects(2), &x);
  list.Exchange(1, 2);
  EXPECT_EQ(Items(list), QStringList({"b", "a", "c"}));
  EXPECT_EQ(list.Objects(2), &y);
  EXPECT_EQ(list.IndexOfObject(&x), 1);
  list.Delete(0);
  EXPECT_EQ(Items(list), QStringList({"a", "c"}));
}

TEST(StringListEdit, RefusedMoveOnASortedListLosesNothing) {
  TStringList list;
  list.SetSorted(true);
  Fill(list, {"a", "b", "c"});
  EXPECT_THROW(list.Move(0, 2), EStringListError);
  EXPECT_EQ(Items(list), QStringList({"a", "b", "c"}));
  TStringList plain;
  Fill(plain, {"a", "b"});
  EXPECT_THROW(plain.Move(0, 2), EStringListError);
  EXPECT_EQ(Items(plain), QStringList({"a", "b"}));
}

// A list that keeps every added string in front, as a recent-names list does.
class FrontList : public TStringList {
 public:
  int Add(const QString& s) override {
    TStringList::Insert(0, s);
    return 0;
  }
};

TEST(StringListEdit, AddObjectAndAddStringsGoThroughAdd) {
  FrontList list;
  int obj = 0;
  EXPECT_EQ(list.AddObject(QStringLiteral("a"), &obj), 0);
  TStringList more;
  Fill(more, {"b", "c"});
  list.AddStrings(more);
  EXPECT_EQ(Items(list), QStringList({"c", "b", "a"}));
  EXPECT_EQ(list.Objects(2), &obj);
}

TEST(StringListEdit, AssignAddStringsEquals) {
  TStringList a;
  TStringList b;
  Fill(a, {"x", "y"});
  b.Add(QStringLiteral("old"));
  b.Assign(a);
  EXPECT_TRUE(b.Equals(a));
  b.AddStrings(b);  // adding itself doubles the list once
  EXPECT_EQ(Items(b), QStringList({"x", "y", "x", "y"}));
  EXPECT_FALSE(b.Equals(a));
  TStringList c;
  Fill(c, {"X", "y"});
  EXPECT_FALSE(c.Equals(a));  // Equals compares exactly
}

// ---- names and values

TEST(StringListValues, NamesAndValues) {
  TStringList list;
  Fill(list, {"Koko=12", "plain", "Nimi=a=b", "=empty"});
  EXPECT_EQ(list.Names(0), QStringLiteral("Koko"));
  EXPECT_EQ(list.Names(1), QString());
  EXPECT_EQ(list.Values(QStringLiteral("KOKO")), QStringLiteral("12"));
  EXPECT_EQ(list.Values(QStringLiteral("nimi")), QStringLiteral("a=b"));
  EXPECT_EQ(list.Values(QStringLiteral("plain")), QString());
  EXPECT_EQ(list.IndexOfName(QStringLiteral("")), 3);
}

TEST(StringListValues, SetValuesReplacesAddsAndDeletes) {
  TStringList list;
  Fill(list, {"a=1", "B=2"});
  list.SetValues(QStringLiteral("b"), QStringLiteral("3"));
  list.SetValues(QStringLiteral("c"), QStringLiteral("4"));
  EXPECT_EQ(Items(list), QStringList({"a=1", "b=3", "c=4"}));
  list.SetValues(QStringLiteral("A"), QString());
  list.SetValues(QStringLiteral("missing"), QString());
  EXPECT_EQ(Items(list), QStringList({"b=3", "c=4"}));
}

// ---- comma text

TEST(StringListCommaText, QuotesWhatNeedsIt) {
  struct Row {
    QStringList items;
    const char* text;
  };
  const Row rows[] = {
      {{}, ""},
      {{""}, "\"\""},
      {{"a", "b"}, "a,b"},
      {{"a b", "c"}, "\"a b\",c"},
      {{"x,y"}, "\"x,y\""},
      {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
      {{"a", "", "b"}, "a,,b"},
      {{"a", ""}, "a,\"\""},
      {{"tab\there"}, "\"tab\there\""},
  };
  for (const Row& r : rows) {
    TStringList list;
    Fill(list, r.items);
    EXPECT_EQ(list.CommaText(), QString::fromLatin1(r.text));
  }
}

TEST(StringListCommaText, ParsesCommasBlanksAndQuotes) {
  struct Row {
    const char* text;
    QStringList items;
  };
  const Row rows[] = {
      {"", {}},
      {"  ", {}},
      {"a,b", {"a", "b"}},
      {"a b", {"a", "b"}},
      {" a , b ", {"a", "b"}},
      {"a,,b", {"a", "", "b"}},
      {"a,", {"a"}},
      {"\"a b\",c", {"a b", "c"}},
      {"\"x\"\"y\"", {"x\"y"}},
      {"\"open", {"open"}},
      {"\"q\"r", {"q", "r"}},
      {"a\r\nb", {"a", "b"}},
  };
  for (const Row& r : rows) {
    TStringList list;
    list.SetCommaText(QString::fromLatin1(r.text));
    EXPECT_EQ(Items(list), r.items) << r.text;
  }
}

TEST(StringListCommaText, RoundTrips) {
  const QStringList cases[] = {
      {"plain", "with space", "comma,inside", "\"quoted\"", "", "end"},
      {"", ""},
      {"a", ""},
      {" lead", "trail ", "\t"},
      {QStringLiteral("Åke"), QStringLiteral("Öljy ja €")},
  };
  for (const QStringList& items : cases) {
    TStringList a;
    Fill(a, items);
    TStringList b;
    b.SetCommaText(a.CommaText());
    EXPECT_EQ(Items(b), items) << a.CommaText().toStdString();
  }
}

// ---- change events

TEST(StringListEvents, EveryChangeFiresAroundIt) {
  TStringList list;
  QStringList log;
  list.OnChanging = [&](TStrings* sender) {
    EXPECT_EQ(sender, &list);
    log << QStringLiteral("changing:%1").arg(list.Count());
  };
  list.OnChange = [&](TStrings*) { log << QStringLiteral("change:%1").arg(list.Count()); };
  list.Add(QStringLiteral("a"));
  list.Delete(0);
  list.Clear();  // an empty list does not change
  EXPECT_EQ(log, QStringList({"changing:0", "change:1", "changing:1", "change:0"}));
}

TEST(StringListEvents, NestedUpdatesFireOnceAroundTheOutermost) {
  TStringList list;
  int changing = 0, changed = 0;
  list.OnChanging = [&](TStrings*) { ++changing; };
  list.OnChange = [&](TStrings*) { ++changed; };
  list.BeginUpdate();
  list.BeginUpdate();
  EXPECT_EQ(list.UpdateCount(), 2);
  list.SetText(QStringLiteral("a\nb\nc"));
  list.SetCommaText(QStringLiteral("x,y"));
  list.EndUpdate();
  EXPECT_EQ(changed, 0);
  list.EndUpdate();
  EXPECT_EQ(changing, 1);
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(StringListEvents, SetTextFiresOnce) {
  TStringList list;
  int changed = 0;
  list.OnChange = [&](TStrings*) { ++changed; };
  list.SetText(QStringLiteral("1\n2\n3\n4"));
  EXPECT_EQ(changed, 1);
}

TEST(StringListEvents, AHandlerThatRaisesAtTheEndOfABatchReachesTheCaller) {
  TStringList list;
  int changed = 0;
  list.OnChange = [&](TStrings*) {
    ++changed;
    throw EStringListError(QStringLiteral("refused"));
  };
  TStringList source;
  source.SetText(QStringLiteral("a\nb"));
  EXPECT_THROW(list.Assign(source), EStringListError);
  EXPECT_THROW(list.SetText(QStringLiteral("c")), EStringListError);
  EXPECT_EQ(changed, 2);
  EXPECT_EQ(list.UpdateCount(), 0);
  EXPECT_EQ(list.Text(), QStringLiteral("c\r\n"));
}

// ---- files and streams

TEST(StringListFile, LoadsWindows1252WithMixedLineEnds) {
  TStringList list;
  list.LoadFromFile(Fixture(QStringLiteral("lines-1252-mixed.txt")));
  EXPECT_EQ(Items(list), QStringList({QStringLiteral("SANÄ"), QStringLiteral("PÖYTÄ"),
                                      QStringLiteral("KUUSI"), QStringLiteral("€uro")}));
}

TEST(StringListFile, SavesWindows1252WithCrLf) {
  TStringList list;
  Fill(list, {QStringLiteral("ÅÄÖ"), QStringLiteral(""), QStringLiteral("€ 日")});
  const QString path = qxtest::TempPath(QStringLiteral("out.lst"));
  list.SaveToFile(path);
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("\xC5\xC4\xD6\r\n\r\n\x80 ?\r\n"));
  TStringList back;
  back.LoadFromFile(path);
  EXPECT_EQ(Items(back), QStringList({QStringLiteral("ÅÄÖ"), QString(), QStringLiteral("€ ?")}));
}

TEST(StringListFile, MissingFileRaisesOpenError) {
  const QString path = qxtest::TempPath(QStringLiteral("nothing.lst"));
  TStringList list;
  list.Add(QStringLiteral("kept"));
  try {
    list.LoadFromFile(path);
    FAIL() << "no error";
  } catch (const EFOpenError& e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(path)))
        << e.what();
    EXPECT_GT(e.Message().size(), path.size() + 22);  // the system's text follows
  }
  EXPECT_EQ(Items(list), QStringList({"kept"}));
}

TEST(StringListFile, SaveReplacesKeepingModeAndLinks) {
  const QString path = qxtest::TempPath(QStringLiteral("words.lst"));
  const QString link = qxtest::TempPath(QStringLiteral("link.lst"));
  qxtest::WriteBytes(path, "old\r\n");
  ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0640), 0);
  ASSERT_TRUE(QFile::link(path, link));
  TStringList list;
  list.Add(QStringLiteral("new"));
  list.SaveToFile(link);
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("new\r\n"));
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  struct stat st {};
  ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(QDir(qxtest::TempRoot()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);
}

// Limits the size of files this process may write, for one test.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

TEST(StringListFile, FailedSaveKeepsTheOldFile) {
  const QString path = qxtest::TempPath(QStringLiteral("keep.lst"));
  qxtest::WriteBytes(path, "precious\r\n");
  TStringList list;
  list.Add(QString(1000, QLatin1Char('x')));
  {
    FileSizeLimit limit(100);
    EXPECT_THROW(list.SaveToFile(path), EFCreateError);
  }
  EXPECT_EQ(qxtest::ReadBytes(path), QByteArray("precious\r\n"));
  EXPECT_EQ(QDir(qxtest::TempRoot()).entryList(QDir::Files | QDir::Hidden | QDir::System),
            QStringList({"keep.lst"}));
}

TEST(StringListStream, LoadsFromThePositionAndSavesAtIt) {
  TStringStream stream(QByteArray("skip\r\nA\xC4\nB"));
  stream.SetPosition(6);
  TStringList list;
  list.LoadFromStream(stream);
  EXPECT_EQ(Items(list), QStringList({QStringLiteral("AÄ"), QStringLiteral("B")}));
  TStringStream out(QByteArray("head:"));
  out.Seek(0, soEnd);
  list.SaveToStream(out);
  EXPECT_EQ(out.DataString(), QByteArray("head:A\xC4\r\nB\r\n"));
}

}  // namespace
