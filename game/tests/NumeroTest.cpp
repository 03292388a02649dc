#include "game/numero.h"

#include "game/sana.h"
#include "game/tests/FakeBoard.h"
#include "platform/rtl/DateTime.h"
#include "platform/rtl/Random.h"

#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

const QString kAring = QStringLiteral("\u00C5");

// The generator value that Random(29) maps to code - 1.
std::uint32_t DrawFor(int code) {
  const std::uint64_t wanted = static_cast<std::uint64_t>(code - 1) << 32;
  return static_cast<std::uint32_t>((wanted + 28) / 29);
}

// The codes of letters 1..29, joined with blanks.
std::string TableOf(const TGameState& s) {
  QStringList codes;
  for (int k = 1; k <= 29; ++k) codes.append(s.Numbers[k]);
  return codes.join(u' ').toStdString();
}

QStringList Split(const char* text) { return QString::fromUtf8(text).split(u' '); }

class NumbersMode : public GameBoardTest {
 protected:
  NumbersMode() { grid().SetCells(5, 0, kAring); }

  // The generator yields the given codes (1..29) in turn.
  static void Script(std::vector<int> codes) {
    auto next = std::make_shared<std::size_t>(0);
    SetRandomHook([codes = std::move(codes), next]() {
      const int code = codes.at(std::min(*next, codes.size() - 1));
      ++*next;
      return DrawFor(code);
    });
  }

  // A table with K = 10, Ö = 26, Ä = 27; "5" and "29" are each drawn twice.
  static void ScriptGoldenTable() {
    std::vector<int> codes = {5, 5, 29, 1, 29, 2, 3, 4};
    for (int c = 6; c <= 27; ++c) codes.push_back(c);
    Script(codes);
  }

  static void SetClock(double now) {
    SetNowHook([now] { return TDateTime(now); });
  }

  void RightClick(int col, int row) { HintReleased(*board, col, row); }
  void Drag(Cell down, Cell up) {
    PressCell(*board, down.first, down.second);
    SelectionReleased(*board, up.first, up.second);
  }
};

// The code table -------------------------------------------------------------

TEST_F(NumbersMode, ScriptedDrawsGiveTheirTableAndRejectRepeats) {
  ScriptGoldenTable();
  ToggleNumbersMode(*board);
  EXPECT_TRUE(state().NumbersMode);
  EXPECT_EQ(board->numbersModeShown, 1);
  EXPECT_EQ(TableOf(state()),
            "5 29 1 2 3 4 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 0");
}

TEST_F(NumbersMode, LettersAreInCodeOrder) {
  ToggleNumbersMode(*board);
  QStringList letters;
  for (int k = 1; k <= 29; ++k) letters.append(state().Letters[k]);
  EXPECT_EQ(letters.join(QString()).toStdString(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ\u00D6\u00C4\u00C5");
}

TEST_F(NumbersMode, ClockSeedGivesAGoldenTable) {
  SetClock(45000.25);
  ToggleNumbersMode(*board);
  const std::string first = TableOf(state());
  EXPECT_EQ(first, "9 3 15 21 13 27 1 11 6 8 7 16 4 29 28 20 26 23 2 14 5 12 10 25 17 18 22 24 0");
  ToggleNumbersMode(*board);
  ToggleNumbersMode(*board);
  EXPECT_EQ(TableOf(state()), first);  // the same clock seeds the same table
}

TEST_F(NumbersMode, EveryClockGives28DistinctCodesAndAringZero) {
  for (int i = 0; i < 40; ++i) {
    SetClock(45000.0 + i * 0.0137);
    auto fresh = std::make_unique<TFakeBoard>();
    LettersToNumbers(*fresh);
    const TGameState& s = fresh->state;
    QSet<int> codes;
    for (int k = 1; k <= 28; ++k) {
      bool ok = false;
      const int code = s.Numbers[k].toInt(&ok);
      ASSERT_TRUE(ok) << s.Numbers[k].toStdString();
      EXPECT_GE(code, 1);
      EXPECT_LE(code, 29);
      codes.insert(code);
    }
    EXPECT_EQ(codes.size(), 28);
    EXPECT_EQ(s.Numbers[29], QStringLiteral("0"));
  }
}

TEST_F(NumbersMode, StuckGeneratorStillEndsWithDistinctCodes) {
  SetRandomHook([] { return std::uint32_t{0}; });
  ToggleNumbersMode(*board);
  EXPECT_EQ(TableOf(state()),
            "1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20 21 22 23 24 25 26 27 28 0");
}

// The grid -----------------------------------------------------------------

TEST_F(NumbersMode, EveryLetterShowsItsCodeAndAringShowsZero) {
  ScriptGoldenTable();
  const QStringList before = board->Rows();
  ToggleNumbersMode(*board);
  for (int row = 0; row < GridSize; ++row)
    for (int col = 0; col < GridSize; ++col) {
      const QString letter = before[row].mid(col, 1);
      const QString shown = grid().Cells(col, row);
      if (letter == QStringLiteral(".")) {
        EXPECT_TRUE(shown.isEmpty());
        continue;
      }
      int k = 1;
      while (state().Letters[k] != letter) ++k;
      EXPECT_EQ(shown, state().Numbers[k]) << col << "," << row;
      EXPECT_EQ(shown == QStringLiteral("0"), letter == kAring) << col << "," << row;
    }
  EXPECT_EQ(grid().Cells(0, 0), QStringLiteral("10"));        // K
  EXPECT_EQ(grid().Cells(8, 0), QStringLiteral("26"));        // Ö
  EXPECT_EQ(grid().Cells(10, 4), QStringLiteral("27"));       // Ä
  EXPECT_EQ(grid().Cells(5, 0), QStringLiteral("0"));         // Å
}

TEST_F(NumbersMode, OtherTextsKeepTheirText) {
  grid().SetCells(1, 1, QStringLiteral("?"));
  grid().SetCells(2, 2, QStringLiteral("a"));
  ToggleNumbersMode(*board);
  EXPECT_EQ(grid().Cells(1, 1), QStringLiteral("?"));
  EXPECT_EQ(grid().Cells(2, 2), QStringLiteral("a"));
  EXPECT_TRUE(grid().Cells(11, 6).isEmpty());
}

TEST_F(NumbersMode, SwitchingOffRestoresTheLetters) {
  const QStringList before = board->Rows();
  ToggleNumbersMode(*board);
  ASSERT_NE(board->Rows(), before);
  ToggleNumbersMode(*board);
  EXPECT_FALSE(state().NumbersMode);
  EXPECT_EQ(board->numbersModeShown, 2);
  EXPECT_EQ(board->Rows(), before);
}

TEST_F(NumbersMode, SwitchingOnAgainDrawsANewTable) {
  SetClock(45000.25);
  ToggleNumbersMode(*board);
  const std::string first = TableOf(state());
  ToggleNumbersMode(*board);
  SetClock(45000.75);
  ToggleNumbersMode(*board);
  EXPECT_NE(TableOf(state()), first);
  EXPECT_EQ(grid().Cells(0, 0), state().Numbers[11]);  // K shows its new code
}

// Selecting codes ------------------------------------------------------------

TEST_F(NumbersMode, LineOfCodesFillsTheSelectionSlots) {
  ScriptGoldenTable();
  ToggleNumbersMode(*board);
  EXPECT_TRUE(ExtractLine(*board, TLine::Right, 0, 0, 4, 0).isEmpty());
  QStringList texts;
  for (int s = FirstSelectionSlot; s <= LastSelectionSlot; ++s) texts.append(state().Letters[s]);
  // K I S S A with K = 10, I = 8, S = 18, A = 5.
  EXPECT_EQ(texts, Split("10 8 18 18 5 ? ? ? ? ? ? ?"));
}

TEST_F(NumbersMode, FullRowFillsAllTwelveSlots) {
  ToggleNumbersMode(*board);
  ExtractLine(*board, TLine::Left, 11, 2, 0, 2);
  for (int s = FirstSelectionSlot; s <= LastSelectionSlot; ++s)
    EXPECT_NE(state().Letters[s], QStringLiteral("?")) << s;
}

TEST_F(NumbersMode, DecodingSkipsUnknownSlotsAndResetsThem) {
  ScriptGoldenTable();
  ToggleNumbersMode(*board);
  const QStringList texts = Split("10 ? 8 x 0 30 ? ? ? ? ? 5");
  for (int i = 0; i < texts.size(); ++i) state().Letters[FirstSelectionSlot + i] = texts[i];
  EXPECT_EQ(DecodeSelection(state()), QStringLiteral("KI\u00C5A"));
  for (int s = FirstSelectionSlot; s <= LastSelectionSlot; ++s)
    EXPECT_EQ(state().Letters[s], QStringLiteral("?"));
}

TEST_F(NumbersMode, EveryPlantedWordIsFoundThroughItsCodes) {
  board->SetWords({QStringLiteral("KISSA"), QStringLiteral("KOIRA"), QStringLiteral("HIIRI"),
                   QStringLiteral("LEHM\u00C4"), QStringLiteral("AASI"), QStringLiteral("KANA"),
                   QStringLiteral("SIKA"), QStringLiteral("HEVONEN"), QStringLiteral("\u00D6")});
  ToggleNumbersMode(*board);
  const std::vector<std::pair<Cell, Cell>> drags = {
      {{0, 0}, {4, 0}},  {{6, 1}, {2, 1}}, {{11, 0}, {11, 4}}, {{10, 8}, {10, 4}}, {{0, 3}, {3, 6}},
      {{0, 11}, {3, 8}}, {{9, 6}, {6, 9}}, {{11, 11}, {5, 5}}, {{8, 0}, {8, 0}}};
  for (const auto& [down, up] : drags) {
    const int before = board->words.Count();
    Drag(down, up);
    EXPECT_EQ(board->words.Count(), before - 1) << down.first << "," << down.second;
    EXPECT_TRUE(state().Selection.isEmpty());
  }
  EXPECT_EQ(board->animations, 1);
  EXPECT_EQ(board->CellsInFontColor(state().FoundColor).size(), 40u);
}

// Hints ----------------------------------------------------------------------

QStringList HintSlots(const TGameState& s) {
  return {s.Letters[42], s.Letters[43], s.Letters[44]};
}

TEST_F(NumbersMode, ThreeHintsPerSwitchOn) {
  ScriptGoldenTable();
  ToggleNumbersMode(*board);
  RightClick(0, 0);   // K
  RightClick(1, 0);   // I
  RightClick(5, 0);   // Å
  RightClick(4, 0);   // A: the fourth asks in vain
  EXPECT_EQ(state().HintCount, 4);
  EXPECT_EQ(grid().GetCellHint(0, 0), QStringLiteral("10 = K"));
  EXPECT_EQ(grid().GetCellHint(1, 0), QStringLiteral("8 = I"));
  EXPECT_EQ(grid().GetCellHint(5, 0), QStringLiteral("0 = \u00C5"));
  EXPECT_TRUE(grid().GetCellHint(4, 0).isEmpty());
  EXPECT_EQ(grid().GetCellColor(0, 0), clSilver);
  EXPECT_NE(grid().GetCellColor(4, 0), clSilver);
  EXPECT_EQ(HintSlots(state()), (QStringList{QStringLiteral("10 = K"), QStringLiteral("8 = I"),
                                             QStringLiteral("0 = \u00C5")}));
  EXPECT_EQ(state().DownCol, 4);
  EXPECT_EQ(state().DownRow, 0);
}

TEST_F(NumbersMode, EmptyCellUsesUpAHint) {
  ToggleNumbersMode(*board);
  RightClick(11, 6);
  EXPECT_EQ(state().HintCount, 1);
  EXPECT_TRUE(grid().GetCellHint(11, 6).isEmpty());
  EXPECT_NE(grid().GetCellColor(11, 6), clSilver);
  EXPECT_EQ(HintSlots(state()), QStringList(3, QString()));
  RightClick(0, 0);
  RightClick(1, 0);
  RightClick(2, 0);
  EXPECT_FALSE(grid().GetCellHint(1, 0).isEmpty());
  EXPECT_TRUE(grid().GetCellHint(2, 0).isEmpty());
}

TEST_F(NumbersMode, ClickOutsideTheCellsUsesUpAHint) {
  ToggleNumbersMode(*board);
  RightClick(-1, -1);
  EXPECT_EQ(state().HintCount, 1);
  EXPECT_EQ(HintSlots(state()), QStringList(3, QString()));
}

TEST_F(NumbersMode, SameCellTwiceFillsTwoSlots) {
  ScriptGoldenTable();
  ToggleNumbersMode(*board);
  RightClick(0, 0);
  RightClick(0, 0);
  EXPECT_EQ(HintSlots(state()),
            (QStringList{QStringLiteral("10 = K"), QStringLiteral("10 = K"), QString()}));
}

TEST_F(NumbersMode, SlotsLeftByAnEarlierGameLimitNewOnes) {
  state().Letters[42] = QStringLiteral("3 = B");
  state().Letters[44] = QStringLiteral("4 = C");
  ScriptGoldenTable();
  ToggleNumbersMode(*board);
  RightClick(0, 0);
  RightClick(1, 0);
  EXPECT_EQ(HintSlots(state()), (QStringList{QStringLiteral("3 = B"), QStringLiteral("10 = K"),
                                             QStringLiteral("4 = C")}));
  EXPECT_EQ(grid().GetCellHint(1, 0), QStringLiteral("8 = I"));  // shown, not kept
}

TEST_F(NumbersMode, SwitchingOffClearsHintsColoursAndSlots) {
  ToggleNumbersMode(*board);
  RightClick(0, 0);
  RightClick(3, 6);
  ToggleNumbersMode(*board);
  for (const Cell& c : {Cell{0, 0}, Cell{3, 6}}) {
    EXPECT_TRUE(grid().GetCellHint(c.first, c.second).isEmpty());
    EXPECT_EQ(grid().GetCellColor(c.first, c.second), clWhite);
  }
  EXPECT_EQ(HintSlots(state()), QStringList(3, QString()));
}

TEST_F(NumbersMode, SwitchingOnAgainGivesThreeNewHints) {
  ToggleNumbersMode(*board);
  for (int i = 0; i < 4; ++i) RightClick(i, 0);
  ToggleNumbersMode(*board);
  ToggleNumbersMode(*board);
  EXPECT_EQ(state().HintCount, 0);
  RightClick(0, 0);
  EXPECT_EQ(grid().GetCellHint(0, 0), state().Numbers[11] + QStringLiteral(" = K"));
}

TEST_F(NumbersMode, ClearHintSlotsLeavesTheSelectionSlots) {
  for (int s = FirstSelectionSlot; s <= LastHintSlot; ++s)
    state().Letters[s] = QStringLiteral("7 = G");
  ClearHintSlots(state());
  EXPECT_EQ(HintSlots(state()), QStringList(3, QString()));
  EXPECT_EQ(state().Letters[LastSelectionSlot], QStringLiteral("7 = G"));
}

}  // namespace
