// The word-search layout: deterministic, every word readable on a straight
// line, every direction used.
#include "tools/puzzles/PuzzleMaker.h"

#include <gtest/gtest.h>

#include <tuple>

#include <QSet>

namespace {

QStringList Split(const char16_t* words) {
  return QString::fromUtf16(words).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

QString Dump(const IGridCells& grid) {
  QString out;
  for (int r = 0; r < grid.RowCount(); ++r)
    for (int c = 0; c < grid.ColCount(); ++c)
      out += grid.Cell(c, r);
  return out;
}

int DirectionIndex(TDirection d) {
  const QList<TDirection>& all = AllDirections();
  for (qsizetype i = 0; i < all.size(); ++i)
    if (all[i].dx == d.dx && all[i].dy == d.dy)
      return static_cast<int>(i);
  return -1;
}

const QStringList Animals = Split(u"KISSA KOIRA HEVONEN LEHMÄ KETTU KARHU SUSI ILVES JÄNIS ORAVA");

TEST(PuzzleRandom, GivesTheKnownSequenceForASeed) {
  // splitmix64 from 0: the published first outputs.
  TPuzzleRandom rnd(0);
  EXPECT_EQ(rnd.Next(), 0xE220A8397B1DCDAFULL);
  EXPECT_EQ(rnd.Next(), 0x6E789E6AA1B965F4ULL);
  EXPECT_EQ(rnd.Next(), 0x06C45D188009454FULL);
}

TEST(PuzzleRandom, BelowStaysInRangeAndReachesBothEnds) {
  TPuzzleRandom rnd(42);
  QSet<int> seen;
  for (int i = 0; i < 2000; ++i) {
    const int v = rnd.Below(7);
    ASSERT_GE(v, 0);
    ASSERT_LT(v, 7);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 7);
  EXPECT_EQ(TPuzzleRandom(1).Below(1), 0);
}

TEST(MakePuzzle, SameSeedGivesTheSameGridAndAnotherSeedAnotherGrid) {
  const QString a = Dump(MakePuzzle(Animals, 12, 12, 7).cells);
  EXPECT_EQ(a, Dump(MakePuzzle(Animals, 12, 12, 7).cells));
  EXPECT_NE(a, Dump(MakePuzzle(Animals, 12, 12, 8).cells));
}

TEST(MakePuzzle, EveryWordReadsAtItsPlacement) {
  for (std::uint64_t seed = 1; seed <= 20; ++seed) {
    const TMadePuzzle made = MakePuzzle(Animals, 12, 12, seed);
    ASSERT_EQ(made.placements.size(), Animals.size());
    for (qsizetype i = 0; i < Animals.size(); ++i) {
      const TPlacement& p = made.placements[i];
      EXPECT_EQ(p.word, Animals[i]);
      QString read;
      for (qsizetype k = 0; k < p.word.size(); ++k)
        read += made.cells.Cell(p.col + p.dir.dx * static_cast<int>(k),
                                p.row + p.dir.dy * static_cast<int>(k));
      EXPECT_EQ(read, p.word) << "seed " << seed;
    }
  }
}

TEST(MakePuzzle, UsesAllEightDirections) {
  for (std::uint64_t seed = 1; seed <= 20; ++seed) {
    QSet<int> dirs;
    for (const TPlacement& p : MakePuzzle(Animals, 12, 12, seed).placements)
      dirs.insert(DirectionIndex(p.dir));
    EXPECT_EQ(dirs.size(), 8) << "seed " << seed;
  }
}

TEST(MakePuzzle, FillsEveryCellWithOneGridLetter) {
  const TMadePuzzle made = MakePuzzle(Animals, 12, 12, 3);
  ASSERT_EQ(made.cells.ColCount(), 12);
  ASSERT_EQ(made.cells.RowCount(), 12);
  for (int c = 0; c < 12; ++c)
    for (int r = 0; r < 12; ++r) {
      const QString cell = made.cells.Cell(c, r);
      ASSERT_EQ(cell.size(), 1);
      EXPECT_TRUE(GridAlphabet().contains(cell[0])) << qPrintable(cell);
    }
}

TEST(MakePuzzle, RefusesWordsTheGridCannotHold) {
  const QList<QStringList> rows{{QStringLiteral("KISSA"), QStringLiteral("ABCDEFGHIJKLM")},
                                {QStringLiteral("kissa")},
                                {QStringLiteral("KISSA2")},
                                {QStringLiteral("KI SSA")},
                                {QString::fromUtf16(u"ÉLAN")},
                                {QString()}};
  for (const QStringList& words : rows)
    EXPECT_THROW(MakePuzzle(words, 12, 12, 1), EPuzzleLayout) << qPrintable(words.join(' '));
}

TEST(MakePuzzle, ReportsAGridTooSmallForTheWords) {
  EXPECT_THROW(MakePuzzle(Split(u"ABC DEF GHI JKL"), 3, 3, 1), EPuzzleLayout);
}

// Rows of a 4 x 4 grid, top to bottom.
TPlainCells Grid(const QStringList& rows) {
  TPlainCells grid(static_cast<int>(rows[0].size()), static_cast<int>(rows.size()));
  for (qsizetype r = 0; r < rows.size(); ++r)
    for (qsizetype c = 0; c < rows[r].size(); ++c)
      grid.SetCell(static_cast<int>(c), static_cast<int>(r), QString(rows[r][c]));
  return grid;
}

TEST(FindWord, FindsWordsInEachDirectionAndNothingElse) {
  const TPlainCells grid = Grid({QStringLiteral("KALA"), QStringLiteral("ÄSUO"),
                                 QStringLiteral("ÖIKT"), QStringLiteral("ÅVUI")});
  const struct {
    const char16_t* word;
    bool found;
    int col, row, dx, dy;
  } rows[] = {
      {u"KALA", true, 0, 0, 1, 0},   {u"ALAK", true, 3, 0, -1, 0}, {u"KÄÖÅ", true, 0, 0, 0, 1},
      {u"ÅÖÄK", true, 0, 3, 0, -1},  {u"KSKI", true, 0, 0, 1, 1},  {u"IKSK", true, 3, 3, -1, -1},
      {u"ÅIUA", true, 0, 3, 1, -1},  {u"AUIÅ", true, 3, 0, -1, 1}, {u"SUO", true, 1, 1, 1, 0},
      {u"KALAS", false, 0, 0, 0, 0}, {u"KAK", false, 0, 0, 0, 0},  {u"", false, 0, 0, 0, 0},
      {u"kala", false, 0, 0, 0, 0},
  };
  for (const auto& row : rows) {
    const QString word = QString::fromUtf16(row.word);
    TPlacement where;
    ASSERT_EQ(FindWord(grid, word, where), row.found) << qPrintable(word);
    if (!row.found)
      continue;
    EXPECT_EQ(where.col, row.col) << qPrintable(word);
    EXPECT_EQ(where.row, row.row) << qPrintable(word);
    EXPECT_EQ(where.dir.dx, row.dx) << qPrintable(word);
    EXPECT_EQ(where.dir.dy, row.dy) << qPrintable(word);
  }
}

TEST(FindWord, EverywhereGivesEveryLineThatReadsTheWord) {
  // "ALA" reads both ways in the top row; "A" is one cell in every direction.
  const TPlainCells grid = Grid({QStringLiteral("KALA"), QStringLiteral("ÄSUO"),
                                 QStringLiteral("ÖIKT"), QStringLiteral("ÅVUI")});
  const QList<TPlacement> ala = FindWordEverywhere(grid, QStringLiteral("ALA"));
  ASSERT_EQ(ala.size(), 2);
  EXPECT_EQ(std::make_tuple(ala[0].col, ala[0].dir.dx), std::make_tuple(1, 1));
  EXPECT_EQ(std::make_tuple(ala[1].col, ala[1].dir.dx), std::make_tuple(3, -1));
  EXPECT_EQ(FindWordEverywhere(grid, QStringLiteral("A")).size(), 2 * 8);
  EXPECT_TRUE(FindWordEverywhere(grid, QStringLiteral("KAK")).isEmpty());
}

}  // namespace
