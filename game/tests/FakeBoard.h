#pragma once
// A game board without the main window: a real 12 x 12 aligned string grid,
// a string list as the word list, a registry component, and counters of what
// the word, number and settings units asked of the window.

#include "components/Aligrid.h"
#include "components/RegistryEnhanced.h"
#include "game/GameState.h"
#include "platform/controls/Application.h"
#include "platform/rtl/StringList.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

struct FreeComponent {
  void operator()(TComponent* c) const { c->Free(); }
};
template <class T>
using ComponentPtr = std::unique_ptr<T, FreeComponent>;

using Cell = std::pair<int, int>;  // (col, row)

class TFakeBoard : public TGameBoard {
 public:
  TFakeBoard()
      : grid_(new TStringAlignGrid(nullptr)), rekisteri_(new TRegistryEnhanced(nullptr)) {
    grid_->SetFixedCols(0);
    grid_->SetFixedRows(0);
    grid_->SetColCount(GridSize);
    grid_->SetRowCount(GridSize);
  }

  TGameState& State() override { return state; }
  TStringAlignGrid& Grid() override { return *grid_; }
  TStrings& WordList() override { return words; }
  void SetWordsLeft(const QString& text) override { wordsLeft.append(text); }
  void ShowAnimation() override { ++animations; }
  void EndOfGame() override { ++endsOfGame; }
  TRegistryEnhanced& Rekisteri() override { return *rekisteri_; }
  void ShowAnimationChoice() override { ++animationChoiceShown; }
  void ShowNumbersMode() override { ++numbersModeShown; }

  // Rows of cell texts, one character a cell; '.' is an empty cell.
  void SetRows(const QStringList& rows) {
    for (int row = 0; row < rows.size(); ++row)
      for (int col = 0; col < rows[row].size(); ++col) {
        const QChar ch = rows[row][col];
        grid_->SetCells(col, row, ch == u'.' ? QString() : QString(ch));
      }
  }

  QStringList Rows() const {
    QStringList rows;
    for (int row = 0; row < grid_->RowCount(); ++row) {
      QString line;
      for (int col = 0; col < grid_->ColCount(); ++col) {
        const QString text = grid_->Cells(col, row);
        line += text.isEmpty() ? QStringLiteral(".") : text;
      }
      rows.append(line);
    }
    return rows;
  }

  void SetWords(const QStringList& list) {
    words.Clear();
    for (const QString& w : list) words.Add(w);
  }

  QStringList Words() const {
    QStringList list;
    for (int i = 0; i < words.Count(); ++i) list.append(words.Strings(i));
    return list;
  }

  // Cells whose drawing font has the colour.
  std::vector<Cell> CellsInFontColor(TColor color) const {
    std::vector<Cell> cells;
    for (int row = 0; row < grid_->RowCount(); ++row)
      for (int col = 0; col < grid_->ColCount(); ++col)
        if (grid_->ResolveCellFont(col, row)->Color() == color) cells.emplace_back(col, row);
    return cells;
  }

  TGameState state;
  TStringList words;
  QStringList wordsLeft;
  int animations = 0;
  int endsOfGame = 0;
  int animationChoiceShown = 0;
  int numbersModeShown = 0;

 private:
  ComponentPtr<TStringAlignGrid> grid_;
  ComponentPtr<TRegistryEnhanced> rekisteri_;
};

// The test puzzle: nine words, one in each direction and a one-letter word;
// X fills, (11, 6) is empty.
inline QStringList PuzzleRows() {
  return {
      QStringLiteral("KISSAXXX\u00D6XXH"),  // KISSA right, Ö, HIIRI down from (11, 0)
      QStringLiteral("XXARIOKXXXXI"),       // KOIRA left from (6, 1)
      QStringLiteral("XXXXXXXXXXXI"),
      QStringLiteral("AXXXXXXXXXXR"),       // AASI down-right from (0, 3)
      QStringLiteral("XAXXXXXXXX\u00C4I"),  // LEHMÄ up from (10, 8)
      QStringLiteral("XXSXXNXXXXMX"),
      QStringLiteral("XXXIXXEXXSH."),       // SIKA down-left from (9, 6)
      QStringLiteral("XXXXXXXNIXEX"),
      QStringLiteral("XXXAXXXKOXLX"),
      QStringLiteral("XXNXXXAXXVXX"),
      QStringLiteral("XAXXXXXXXXEX"),
      // KANA up-right from (0, 11), HEVONEN up-left from (11, 11)
      QStringLiteral("KXXXXXXXXXXH"),
  };
}

// A fixture with an application object and a board holding the puzzle.
class GameBoardTest : public testing::Test {
 protected:
  GameBoardTest() : app_(std::make_unique<TApplication>()), board(std::make_unique<TFakeBoard>()) {
    board->SetRows(PuzzleRows());
  }
  ~GameBoardTest() override {
    board.reset();
    app_.reset();
  }

  TGameState& state() { return board->state; }
  TStringAlignGrid& grid() { return board->Grid(); }

 private:
  std::unique_ptr<TApplication> app_;

 protected:
  std::unique_ptr<TFakeBoard> board;
};
