#include "game/mainprint.h"

#include "components/Aligrid.h"
#include "components/PrnCells.h"
#include "game/GameState.h"
#include "platform/controls/Dialogs.h"
#include "platform/printing/PrintFile.h"
#include "platform/rtl/StringList.h"

namespace {

constexpr int kRows = 50;
// Rows 15 to 17 carry the three hint slots in numbers mode.
constexpr int kFirstHintRow = 14;

QString RowText(TGameBoard& board, int i) {
  TStrings& words = board.WordList();
  const TGameState& state = board.State();
  if (words.Count() > i)
    return words[i];
  if (state.NumbersMode && i >= kFirstHintRow && i < kFirstHintRow + 3)
    return state.Letters[static_cast<size_t>(i - kFirstHintRow + FirstHintSlot)];
  if (i == kRows - 1)
    return state.PrintTitle;
  return {};
}

}  // namespace

void PrintPuzzle(TGameBoard& board, TPrnCells& cells) {
  cells.Clear();
  cells.SetFont(QStringLiteral("Arial"), 0, -0.4F, {});
  cells.SetAlignment(2);
  cells.AddCell(QStringLiteral("temp2"), 2, 2, 27, 25);
  cells.SplitCellRows(QStringLiteral("rivit"), {-50.0F, 0.5F});
  for (int i = 0; i < kRows; ++i) {
    TCell* row = cells.Select(QStringLiteral("rivitR%1").arg(i + 1));
    const QString text = RowText(board, i);
    if (row != nullptr && !text.isEmpty())
      row->SetText(text);
  }
  cells.AddCell(QStringLiteral("temp"), 2, 2, 13, 13);
  cells.SplitCellGrid(QStringLiteral("ruudukko"), {-12.0F, 0.8F}, {-12.0F, 0.8F});
  cells.SetBorders(kSideOutline, 0, 0, 1);
  TStringAlignGrid& grid = board.Grid();
  for (int c = 1; c <= GridSize; ++c) {
    for (int r = 1; r <= GridSize; ++r) {
      cells.Select(QStringLiteral("ruudukkoR%1C%2").arg(r).arg(c));
      cells.SetText({grid.Cells(c - 1, r - 1)});
    }
  }
  cells.Print(QStringLiteral("koe"));
}

void AnnouncePrintFiles() {
  SetPrintFileNotice([](const QString& path) {
    ShowMessage(QStringLiteral("Tulostettu tiedostoon %1").arg(path));
  });
}
