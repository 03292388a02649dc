#include "puzzle/IO.h"

#include "platform/rtl/Exceptions.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using qxtest::ReadBytes;
using qxtest::TempPath;
using qxtest::WriteBytes;

// The runtime code a call fails with; 0 when it does not fail.
template <class F>
int IoCode(F&& call) {
  try {
    call();
  } catch (const EInOutError& e) {
    return e.ErrorCode();
  }
  return 0;
}

TPlainCells Letters(int cols, int rows) {
  TPlainCells cells(cols, rows);
  for (int col = 0; col < cols; ++col)
    for (int row = 0; row < rows; ++row)
      cells.SetCell(col, row, QString(QChar('A' + (col * rows + row) % 26)));
  return cells;
}

bool SameCells(const IGridCells& a, const IGridCells& b) {
  if (a.ColCount() != b.ColCount() || a.RowCount() != b.RowCount())
    return false;
  for (int col = 0; col < a.ColCount(); ++col)
    for (int row = 0; row < a.RowCount(); ++row)
      if (a.Cell(col, row) != b.Cell(col, row))
        return false;
  return true;
}

// Writing ------------------------------------------------------------------

TEST(SaveGridTest, EmptyTwelveByTwelveIs146Lines) {
  const QString file = TempPath("kuva.vrb");
  SaveGrid(TPlainCells(12, 12), file);
  QByteArray expected = "12\r\n12\r\n";
  for (int i = 0; i < 144; ++i)
    expected += "\r\n";
  const QByteArray bytes = ReadBytes(file);
  EXPECT_EQ(bytes, expected);
  EXPECT_EQ(bytes.count("\r\n"), 146);
}

TEST(SaveGridTest, ColumnMajorOrder) {
  TPlainCells cells(3, 2);
  cells.SetCell(0, 0, "a");
  cells.SetCell(0, 1, "b");
  cells.SetCell(1, 0, "c");
  cells.SetCell(1, 1, "d");
  cells.SetCell(2, 0, "e");
  cells.SetCell(2, 1, "f");
  const QString file = TempPath("g.vrb");
  SaveGrid(cells, file);
  EXPECT_EQ(ReadBytes(file), QByteArray("3\r\n2\r\na\r\nb\r\nc\r\nd\r\ne\r\nf\r\n"));
}

TEST(SaveGridTest, ScandinavianLettersAreWindows1252) {
  TPlainCells cells(1, 4);
  cells.SetCell(0, 0, QStringLiteral("Å"));
  cells.SetCell(0, 1, QStringLiteral("Ä"));
  cells.SetCell(0, 2, QStringLiteral("Ö"));
  cells.SetCell(0, 3, QStringLiteral("AB"));
  const QString file = TempPath("s.vrb");
  SaveGrid(cells, file);
  EXPECT_EQ(ReadBytes(file), QByteArray("1\r\n4\r\n\xC5\r\n\xC4\r\n\xD6\r\nAB\r\n"));
}

TEST(SaveGridTest, ReplacesExistingFileAndLeavesNoTemporary) {
  const QString file = TempPath("p/r.vrb");
  WriteBytes(file, QByteArray(5000, 'x'));
  SaveGrid(TPlainCells(1, 1), file);
  EXPECT_EQ(ReadBytes(file), QByteArray("1\r\n1\r\n\r\n"));
  EXPECT_EQ(QDir(TempPath("p")).entryList(QDir::Files | QDir::Hidden), QStringList{"r.vrb"});
}

TEST(SaveGridTest, FailuresCarryRuntimeCodes) {
  EXPECT_EQ(IoCode([] { SaveGrid(TPlainCells(1, 1), TempPath("missing/x.vrb")); }), 3);
  QDir().mkpath(TempPath("isdir.vrb"));
  EXPECT_EQ(IoCode([] { SaveGrid(TPlainCells(1, 1), TempPath("isdir.vrb")); }), 5);
}

TEST(SaveGridTest, CellWithLineBreakIsRefusedAndOldFileKept) {
  const QString file = TempPath("b.vrb");
  WriteBytes(file, "old");
  TPlainCells cells(1, 1);
  cells.SetCell(0, 0, "A\r\nB");
  EXPECT_EQ(IoCode([&] { SaveGrid(cells, file); }), 101);
  EXPECT_EQ(ReadBytes(file), QByteArray("old"));
}

// A file size limit makes every write past it fail as a full disk does.
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

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

TEST(SaveGridTest, FailedWriteLeavesOldFileIntact) {
  const QString file = TempPath("full/old.vrb");
  const QByteArray old = "2\r\n1\r\nA\r\nB\r\n";
  WriteBytes(file, old);
  {
    FileSizeLimit limit(64);
    EXPECT_EQ(IoCode([&] { SaveGrid(Letters(12, 12), file); }), 101);
  }
  EXPECT_EQ(ReadBytes(file), old);
  EXPECT_EQ(QDir(TempPath("full")).entryList(QDir::Files | QDir::Hidden),
            QStringList{"old.vrb"});
}

// Reading ------------------------------------------------------------------

TEST(LoadGridTest, RoundTrip) {
  const QString file = TempPath("rt.vrb");
  TPlainCells cells = Letters(12, 12);
  cells.SetCell(3, 4, QStringLiteral("ÅÄÖ"));
  cells.SetCell(5, 5, QString());
  SaveGrid(cells, file);
  TPlainCells back;
  LoadGrid(back, file);
  EXPECT_TRUE(SameCells(cells, back));
}

TEST(LoadGridTest, ReadsColumnMajorAndTakesSizeFromFile) {
  const QString file = TempPath("o.vrb");
  WriteBytes(file, "3\r\n2\r\na\r\nb\r\nc\r\nd\r\ne\r\nf\r\n");
  TPlainCells cells(12, 12);
  LoadGrid(cells, file);
  ASSERT_EQ(cells.ColCount(), 3);
  ASSERT_EQ(cells.RowCount(), 2);
  const char* expected[3][2] = {{"a", "b"}, {"c", "d"}, {"e", "f"}};
  for (int col = 0; col < 3; ++col)
    for (int row = 0; row < 2; ++row)
      EXPECT_EQ(cells.Cell(col, row), expected[col][row]) << col << "," << row;
}

TEST(LoadGridTest, DecodesWindows1252) {
  const QString file = TempPath("w.vrb");
  WriteBytes(file, "1\r\n3\r\n\xC5\r\n\xC4\r\n\xD6\r\n");
  TPlainCells cells;
  LoadGrid(cells, file);
  EXPECT_EQ(cells.Cell(0, 0), QStringLiteral("Å"));
  EXPECT_EQ(cells.Cell(0, 1), QStringLiteral("Ä"));
  EXPECT_EQ(cells.Cell(0, 2), QStringLiteral("Ö"));
}

TEST(LoadGridTest, ShortFileGivesEmptyCells) {
  const QString file = TempPath("short.vrb");
  WriteBytes(file, "2\r\n2\r\nA\r\nB");
  TPlainCells cells = Letters(2, 2);
  LoadGrid(cells, file);
  EXPECT_EQ(cells.Cell(0, 0), "A");
  EXPECT_EQ(cells.Cell(0, 1), "B");
  EXPECT_EQ(cells.Cell(1, 0), "");
  EXPECT_EQ(cells.Cell(1, 1), "");
}

TEST(LoadGridTest, CountLineRestIsSkipped) {
  const QString file = TempPath("c.vrb");
  WriteBytes(file, "  1 trailing\r\n1\r\nX\r\n");
  TPlainCells cells;
  LoadGrid(cells, file);
  EXPECT_EQ(cells.Cell(0, 0), "X");
}

struct BadFile {
  const char* name;
  QByteArray bytes;
  int code;
};

class LoadGridFailure : public testing::TestWithParam<BadFile> {};

TEST_P(LoadGridFailure, RaisesCodeAndLeavesTargetUntouched) {
  const QString file = TempPath("bad.vrb");
  WriteBytes(file, GetParam().bytes);
  TPlainCells cells = Letters(4, 4);
  const TPlainCells before = cells;
  EXPECT_EQ(IoCode([&] { LoadGrid(cells, file); }), GetParam().code);
  EXPECT_TRUE(SameCells(cells, before));
}

INSTANTIATE_TEST_SUITE_P(
    Counts, LoadGridFailure,
    testing::Values(BadFile{"Letters", "x\r\n2\r\n", 106},
                    BadFile{"RowsNotANumber", "2\r\nzz\r\nA\r\n", 106},
                    BadFile{"DigitsThenLetters", "12a\r\n12\r\n", 106},
                    BadFile{"Negative", "-1\r\n2\r\n", 106},
                    BadFile{"NegativeRows", "2\r\n-3\r\n", 106},
                    BadFile{"TooLarge", "1001\r\n1\r\n", 106},
                    BadFile{"Overflow", "99999999999\r\n1\r\n", 106}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(LoadGridTest, MissingFileAndFolder) {
  TPlainCells cells = Letters(2, 2);
  const TPlainCells before = cells;
  EXPECT_EQ(IoCode([&] { LoadGrid(cells, TempPath("nope.vrb")); }), 2);
  EXPECT_EQ(IoCode([&] { LoadGrid(cells, TempPath("nodir/nope.vrb")); }), 3);
  EXPECT_TRUE(SameCells(cells, before));
}

// The programs' form ---------------------------------------------------------

TEST(MainGridTest, RoutinesUseTheNamedGrid) {
  TPlainCells grid = Letters(12, 12);
  SetMainGrid([&grid] { return &grid; });
  const QString file = TempPath("main.vrb");
  SaveGrid(file);
  TPlainCells copy;
  LoadGrid(copy, file);
  EXPECT_TRUE(SameCells(copy, grid));
  grid.SetSize(1, 1);
  LoadGrid(file);
  EXPECT_TRUE(SameCells(copy, grid));
  SetMainGrid(nullptr);
  EXPECT_THROW(SaveGrid(file), EInvalidOperation);
}

// Names --------------------------------------------------------------------

struct NameRow {
  const char* grid;
  const char* list;
  const char* base;
  const char* picture;
};

TEST(PuzzleNamesTest, Table) {
  const NameRow rows[] = {
      {"/pelit/kuva.vrb", "/pelit/kuva.lst", "kuva", "/pelit/kuva.bmp"},
      {"kuva.vrb.vrb", "kuva.lst.lst", "kuva", "kuva.bmp"},
      // No ".vrb" in the name: the list must not be the grid file itself.
      {"/p/KUVA.VRB", "/p/KUVA.VRB.lst", "KUVA.VRB", "/p/KUVA.VRB.bmp"},
      {"/p/kuva", "/p/kuva.lst", "kuva", "/p/kuva.bmp"},
      {"/a.vrb/b.vrb", "/a.vrb/b.lst", "b", "/a.vrb/b.bmp"},  // folder untouched
  };
  for (const NameRow& r : rows) {
    EXPECT_EQ(WordListFileName(r.grid), r.list) << r.grid;
    EXPECT_EQ(PuzzleBaseName(r.grid), r.base) << r.grid;
    EXPECT_EQ(PictureFileName(r.grid), r.picture) << r.grid;
    EXPECT_NE(WordListFileName(r.grid), QString(r.grid)) << r.grid;
  }
}


TEST(SaveGridTest, ReadOnlyFileIsNotReplaced) {
  if (::geteuid() == 0)
    GTEST_SKIP() << "root may write any file";
  const QString file = TempPath("ro.vrb");
  WriteBytes(file, "old");
  QFile::setPermissions(file, QFileDevice::ReadOwner);
  EXPECT_EQ(IoCode([&] { SaveGrid(TPlainCells(1, 1), file); }), 5);
  EXPECT_EQ(ReadBytes(file), QByteArray("old"));
}

TEST(SaveGridTest, WritesThroughSymbolicLink) {
  const QString real = TempPath("real/kuva.vrb");
  WriteBytes(real, "old");
  const QString link = TempPath("link.vrb");
  ASSERT_TRUE(QFile::link(real, link));
  SaveGrid(TPlainCells(1, 1), link);
  EXPECT_TRUE(QFileInfo(link).isSymLink());
  EXPECT_EQ(ReadBytes(real), QByteArray("1\r\n1\r\n\r\n"));
}


TEST(SaveGridTest, FileModes) {
  auto modeOf = [](const QString& path) {
    struct stat st {};
    ::stat(path.toLocal8Bit().constData(), &st);
    return st.st_mode & 07777;
  };
  const QString fresh = TempPath("new.vrb");
  const mode_t mask = ::umask(022);
  SaveGrid(TPlainCells(1, 1), fresh);
  ::umask(mask);
  EXPECT_EQ(modeOf(fresh), 0644u);
  const QString kept = TempPath("kept.vrb");
  WriteBytes(kept, "old");
  ::chmod(kept.toLocal8Bit().constData(), 0600);
  SaveGrid(TPlainCells(1, 1), kept);
  EXPECT_EQ(modeOf(kept), 0600u);
}

}  // namespace
