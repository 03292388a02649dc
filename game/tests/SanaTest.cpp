#include "game/sana.h"

#include "game/tests/FakeBoard.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <vector>

// Found by argument lookup, so the test messages name the line.
static std::ostream& operator<<(std::ostream& os, TLine line) {
  static const char* const names[] = {"None",    "Right",     "Left",   "Up",      "Down",
                                      "UpRight", "DownRight", "UpLeft", "DownLeft"};
  return os << names[static_cast<int>(line)];
}

namespace {

// Line choice --------------------------------------------------------------

struct LineRow {
  const char* name;
  int downCol, downRow, upCol, upRow;
  TLine expected;
};

class LineChoice : public testing::TestWithParam<LineRow> {};

TEST_P(LineChoice, FirstTestThatHoldsWins) {
  const LineRow& r = GetParam();
  EXPECT_EQ(ChooseLine(r.downCol, r.downRow, r.upCol, r.upRow), r.expected) << r.name;
}

INSTANTIATE_TEST_SUITE_P(
    Directions, LineChoice,
    testing::Values(LineRow{"SameCellIsRight", 5, 5, 5, 5, TLine::Right},
                    LineRow{"Right", 2, 5, 6, 5, TLine::Right},
                    LineRow{"Left", 6, 5, 2, 5, TLine::Left},
                    LineRow{"Up", 3, 7, 3, 2, TLine::Up},
                    LineRow{"Down", 3, 2, 3, 7, TLine::Down},
                    LineRow{"UpRight", 2, 5, 6, 1, TLine::UpRight},
                    LineRow{"DownRight", 2, 1, 6, 5, TLine::DownRight},
                    LineRow{"UpLeft", 6, 5, 2, 1, TLine::UpLeft},
                    LineRow{"DownLeft", 6, 1, 2, 5, TLine::DownLeft},
                    LineRow{"LongUpRight", 0, 11, 11, 0, TLine::UpRight},
                    LineRow{"LongUpLeft", 11, 11, 0, 0, TLine::UpLeft},
                    LineRow{"OneStepDownLeft", 1, 0, 0, 1, TLine::DownLeft},
                    LineRow{"KnightMoveIsNoLine", 2, 5, 6, 2, TLine::None},
                    LineRow{"OffDiagonal", 0, 0, 5, 3, TLine::None}),
    [](const testing::TestParamInfo<LineRow>& p) { return std::string(p.param.name); });

INSTANTIATE_TEST_SUITE_P(
    OutsideTheCells, LineChoice,
    testing::Values(LineRow{"ReleaseOutsideAfterDiagonalPress", 3, 3, -1, -1, TLine::None},
                    LineRow{"ReleaseOutsideAfterCornerPress", 0, 0, -1, -1, TLine::None},
                    LineRow{"ReleaseOutsideAfterOtherPress", 4, 7, -1, -1, TLine::None},
                    LineRow{"PressOutside", -1, -1, 0, 0, TLine::None},
                    LineRow{"BeyondLastCell", 11, 11, 12, 12, TLine::None},
                    LineRow{"BeyondLastColumn", 10, 3, 12, 3, TLine::None}),
    [](const testing::TestParamInfo<LineRow>& p) { return std::string(p.param.name); });

// Finding the planted words --------------------------------------------------

const QStringList kAllWords = {
    QStringLiteral("KISSA"),   QStringLiteral("KOIRA"), QStringLiteral("HIIRI"),
    QStringLiteral("LEHM\u00C4"), QStringLiteral("AASI"),  QStringLiteral("KANA"),
    QStringLiteral("SIKA"),    QStringLiteral("HEVONEN"), QStringLiteral("\u00D6")};

struct DragRow {
  const char* word;
  Cell down, up;
  bool TGameState::*flag;
  std::vector<Cell> painted;
};

std::vector<DragRow> Drags() {
  return {
      {"KISSA", {0, 0}, {4, 0}, &TGameState::Right, {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}},
      {"KOIRA", {6, 1}, {2, 1}, &TGameState::Left, {{2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}}},
      {"HIIRI", {11, 0}, {11, 4}, &TGameState::Down, {{11, 0}, {11, 1}, {11, 2}, {11, 3}, {11, 4}}},
      {"LEHM\u00C4", {10, 8}, {10, 4}, &TGameState::Up,
       {{10, 4}, {10, 5}, {10, 6}, {10, 7}, {10, 8}}},
      {"AASI", {0, 3}, {3, 6}, &TGameState::DownRight, {{0, 3}, {1, 4}, {2, 5}, {3, 6}}},
      {"KANA", {0, 11}, {3, 8}, &TGameState::UpRight, {{3, 8}, {2, 9}, {1, 10}, {0, 11}}},
      {"SIKA", {9, 6}, {6, 9}, &TGameState::DownLeft, {{9, 6}, {8, 7}, {7, 8}, {6, 9}}},
      {"HEVONEN", {11, 11}, {5, 5}, &TGameState::UpLeft,
       {{5, 5}, {6, 6}, {7, 7}, {8, 8}, {9, 9}, {10, 10}, {11, 11}}},
      {"\u00D6", {8, 0}, {8, 0}, &TGameState::Right, {{8, 0}}},
  };
}

std::vector<Cell> Sorted(std::vector<Cell> cells) {
  // Row by row, as CellsInFontColor lists them.
  std::sort(cells.begin(), cells.end(), [](const Cell& a, const Cell& b) {
    return std::pair(a.second, a.first) < std::pair(b.second, b.first);
  });
  return cells;
}

int SetFlags(const TGameState& s) {
  return s.Right + s.Down + s.Left + s.Up + s.DownRight + s.UpRight + s.DownLeft + s.UpLeft;
}

class Selecting : public GameBoardTest {
 protected:
  void Drag(Cell down, Cell up) {
    PressCell(*board, down.first, down.second);
    SelectionReleased(*board, up.first, up.second);
  }
};

TEST_F(Selecting, EachDirectionReadsFindsAndPaintsItsWord) {
  for (const DragRow& r : Drags()) {
    SCOPED_TRACE(r.word);
    auto fresh = std::make_unique<TFakeBoard>();
    fresh->SetRows(PuzzleRows());
    fresh->SetWords(kAllWords);
    fresh->state.FoundColor = clRed;
    PressCell(*fresh, r.down.first, r.down.second);
    SelectionReleased(*fresh, r.up.first, r.up.second);

    EXPECT_EQ(fresh->state.Selection, QString::fromUtf8(r.word));
    EXPECT_TRUE(fresh->state.*(r.flag));
    EXPECT_EQ(SetFlags(fresh->state), 1);
    QStringList left = kAllWords;
    left.removeOne(QString::fromUtf8(r.word));
    EXPECT_EQ(fresh->Words(), left);
    EXPECT_EQ(fresh->wordsLeft, QStringList{QStringLiteral("8")});
    EXPECT_EQ(fresh->CellsInFontColor(clRed), Sorted(r.painted));
  }
}

TEST_F(Selecting, FindingEveryWordEndsTheGameOnce) {
  board->SetWords(kAllWords);
  for (const DragRow& r : Drags()) Drag(r.down, r.up);
  EXPECT_EQ(board->words.Count(), 0);
  EXPECT_EQ(board->wordsLeft.last(), QStringLiteral("0"));
  EXPECT_EQ(board->animations, 1);
  EXPECT_EQ(board->endsOfGame, 1);
}

TEST_F(Selecting, BackwardsDragReadsTheReversedWordAndFindsNothing) {
  board->SetWords({QStringLiteral("KISSA")});
  Drag({4, 0}, {0, 0});
  EXPECT_EQ(state().Selection, QStringLiteral("ASSIK"));
  EXPECT_TRUE(state().Left);
  EXPECT_EQ(board->Words(), QStringList{QStringLiteral("KISSA")});
  EXPECT_TRUE(board->wordsLeft.isEmpty());
  EXPECT_TRUE(board->CellsInFontColor(state().FoundColor).empty());
}

TEST_F(Selecting, UpRightDragReadsFromPressToRelease) {
  Drag({2, 5}, {6, 1});
  EXPECT_EQ(state().Selection, QStringLiteral("SXXXK"));
  EXPECT_TRUE(state().UpRight);
}

TEST_F(Selecting, EmptyCellsAddNothingToTheSelection) {
  Drag({9, 6}, {11, 6});
  EXPECT_EQ(state().Selection, QStringLiteral("SH"));
}

TEST_F(Selecting, ReleaseOffAnyLineIsIgnored) {
  board->SetWords({QStringLiteral("KISSA")});
  Drag({0, 0}, {4, 0});
  ASSERT_EQ(board->animations, 1);
  Drag({2, 5}, {6, 2});
  EXPECT_EQ(state().Selection, QStringLiteral("KISSA"));
  EXPECT_TRUE(state().Right);
  EXPECT_EQ(board->animations, 1);  // nothing compared, so no replay
}

TEST_F(Selecting, ReleaseOutsideTheCellsSelectsNothing) {
  board->SetWords({QStringLiteral("X")});
  state().Selection = QStringLiteral("before");
  state().Down = true;
  Drag({3, 3}, {-1, -1});
  EXPECT_EQ(state().Selection, QStringLiteral("before"));
  EXPECT_TRUE(state().Down);
  EXPECT_EQ(board->Words(), QStringList{QStringLiteral("X")});
  EXPECT_EQ(board->animations, 0);
}

TEST_F(Selecting, RightReleaseOutsideNumbersModeChangesNothing) {
  PressCell(*board, 7, 2);
  HintReleased(*board, 1, 1);
  EXPECT_EQ(state().DownCol, 7);
  EXPECT_EQ(state().DownRow, 2);
  EXPECT_EQ(state().HintCount, 0);
}

// Checking words -----------------------------------------------------------

TEST_F(Selecting, OneLetterWordIsFoundByASingleClick) {
  board->SetWords({QStringLiteral("KISSA"), QStringLiteral("\u00D6")});
  Drag({8, 0}, {8, 0});
  EXPECT_EQ(board->Words(), QStringList{QStringLiteral("KISSA")});
  EXPECT_EQ(board->wordsLeft, QStringList{QStringLiteral("1")});
}

TEST_F(Selecting, DuplicateWordGoesOneLineAtATime) {
  board->SetWords({QStringLiteral("KISSA"), QStringLiteral("KOIRA"), QStringLiteral("KISSA")});
  Drag({0, 0}, {4, 0});
  EXPECT_EQ(board->Words(), (QStringList{QStringLiteral("KOIRA"), QStringLiteral("KISSA")}));
  Drag({0, 0}, {4, 0});
  EXPECT_EQ(board->Words(), QStringList{QStringLiteral("KOIRA")});
  EXPECT_EQ(board->wordsLeft, (QStringList{QStringLiteral("2"), QStringLiteral("1")}));
}

TEST_F(Selecting, ComparisonIsExact) {
  board->SetWords({QStringLiteral("kissa"), QStringLiteral("KISSA "), QStringLiteral("KISS")});
  Drag({0, 0}, {4, 0});
  EXPECT_EQ(board->words.Count(), 3);
  EXPECT_TRUE(board->CellsInFontColor(state().FoundColor).empty());
}

TEST_F(Selecting, InOrderTakesOnlyTheFirstListedWord) {
  board->SetWords({QStringLiteral("KISSA"), QStringLiteral("KOIRA")});
  state().InOrder = true;
  Drag({6, 1}, {2, 1});
  EXPECT_EQ(board->words.Count(), 2);
  Drag({0, 0}, {4, 0});
  EXPECT_EQ(board->Words(), QStringList{QStringLiteral("KOIRA")});
  Drag({6, 1}, {2, 1});
  EXPECT_EQ(board->words.Count(), 0);
  EXPECT_EQ(board->animations, 1);
}

TEST_F(Selecting, InOrderOnEmptyListFindsNothingButEndsAgain) {
  state().InOrder = true;
  EXPECT_FALSE(CheckWord(*board, QStringLiteral("KISSA")));
  EXPECT_EQ(board->animations, 1);
  EXPECT_EQ(board->endsOfGame, 1);
}

TEST_F(Selecting, MissLeavesListAndCounterAlone) {
  board->SetWords({QStringLiteral("KISSA")});
  EXPECT_FALSE(CheckWord(*board, QStringLiteral("KOIRA")));
  EXPECT_EQ(board->words.Count(), 1);
  EXPECT_TRUE(board->wordsLeft.isEmpty());
  EXPECT_EQ(board->animations, 0);
  EXPECT_EQ(board->endsOfGame, 0);
}

TEST_F(Selecting, EmptyListReplaysTheEndOnEveryComparedSelection) {
  board->SetWords({QStringLiteral("KISSA")});
  Drag({0, 0}, {4, 0});
  EXPECT_EQ(board->animations, 1);
  EXPECT_EQ(board->endsOfGame, 1);
  Drag({6, 1}, {2, 1});
  Drag({5, 5}, {5, 5});
  EXPECT_EQ(board->animations, 3);
  EXPECT_EQ(board->endsOfGame, 3);
  EXPECT_EQ(board->wordsLeft, QStringList{QStringLiteral("0")});
}

TEST_F(Selecting, GameOverOnlyWithAnEmptyList) {
  board->SetWords({QStringLiteral("KISSA")});
  EXPECT_FALSE(CheckGameOver(*board));
  EXPECT_EQ(board->animations, 0);
  board->words.Clear();
  EXPECT_TRUE(CheckGameOver(*board));
  EXPECT_EQ(board->animations, 1);
  EXPECT_EQ(board->endsOfGame, 0);  // the end steps belong to CheckWord
}

// Painting found words -------------------------------------------------------

TEST_F(Selecting, SharedLetterKeepsTheFoundColour) {
  // KOIRA (left, row 1) and a vertical "IX" through its I at (4, 1).
  board->SetWords({QStringLiteral("KOIRA"), QStringLiteral("IX")});
  state().FoundColor = clBlue;
  Drag({6, 1}, {2, 1});
  Drag({4, 1}, {4, 2});
  const std::vector<Cell> expected = {{2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {4, 2}};
  EXPECT_EQ(board->CellsInFontColor(clBlue), Sorted(expected));
}

TEST_F(Selecting, FoundColourChangeDoesNotRecolourEarlierWords) {
  board->SetWords({QStringLiteral("KISSA"), QStringLiteral("AASI")});
  state().FoundColor = clRed;
  Drag({0, 0}, {4, 0});
  state().FoundColor = clGreen;
  Drag({0, 3}, {3, 6});
  EXPECT_EQ(board->CellsInFontColor(clRed).size(), 5u);
  EXPECT_EQ(board->CellsInFontColor(clGreen), Sorted({{0, 3}, {1, 4}, {2, 5}, {3, 6}}));
}

struct MarkRow {
  const char* name;
  bool TGameState::*flag;
  Cell down, up;
  std::vector<Cell> painted;
};

class Marking : public GameBoardTest, public testing::WithParamInterface<MarkRow> {};

TEST_P(Marking, PaintsTheFlaggedLineFromThePressCell) {
  const MarkRow& r = GetParam();
  state().FoundColor = clFuchsia;
  state().*(r.flag) = true;
  MarkFoundWord(*board, r.down.first, r.down.second, r.up.first, r.up.second);
  EXPECT_EQ(board->CellsInFontColor(clFuchsia), Sorted(r.painted));
}

INSTANTIATE_TEST_SUITE_P(
    Flags, Marking,
    testing::Values(
        MarkRow{"Right", &TGameState::Right, {1, 2}, {3, 2}, {{1, 2}, {2, 2}, {3, 2}}},
        MarkRow{"RightBackwardsPaintsNothing", &TGameState::Right, {3, 2}, {1, 2}, {}},
        MarkRow{"Down", &TGameState::Down, {4, 1}, {4, 3}, {{4, 1}, {4, 2}, {4, 3}}},
        MarkRow{"Left", &TGameState::Left, {3, 2}, {1, 2}, {{1, 2}, {2, 2}, {3, 2}}},
        MarkRow{"Up", &TGameState::Up, {4, 3}, {4, 1}, {{4, 1}, {4, 2}, {4, 3}}},
        MarkRow{"DownRight", &TGameState::DownRight, {1, 1}, {3, 3}, {{1, 1}, {2, 2}, {3, 3}}},
        MarkRow{"UpRight", &TGameState::UpRight, {1, 3}, {3, 1}, {{3, 1}, {2, 2}, {1, 3}}},
        MarkRow{"DownLeft", &TGameState::DownLeft, {3, 1}, {1, 3}, {{3, 1}, {2, 2}, {1, 3}}},
        MarkRow{"UpLeft", &TGameState::UpLeft, {3, 3}, {1, 1}, {{1, 1}, {2, 2}, {3, 3}}},
        MarkRow{"SingleCell", &TGameState::UpLeft, {7, 7}, {7, 7}, {{7, 7}}}),
    [](const testing::TestParamInfo<MarkRow>& p) { return std::string(p.param.name); });

TEST_F(Selecting, NoFlagPaintsNothing) {
  state().ClearDirections();
  MarkFoundWord(*board, 0, 0, 4, 0);
  EXPECT_TRUE(board->CellsInFontColor(state().FoundColor).empty());
}

TEST_F(Selecting, ClearDirectionsClearsAllEight) {
  TGameState& s = state();
  s.Right = s.Down = s.Left = s.Up = s.DownRight = s.UpRight = s.DownLeft = s.UpLeft = true;
  s.ClearDirections();
  EXPECT_EQ(SetFlags(s), 0);
}

}  // namespace
