#include "game/sana.h"

#include "components/Aligrid.h"
#include "game/numero.h"
#include "platform/rtl/StringList.h"

#include <array>
#include <algorithm>

namespace {

struct TLineTest {
  TLine line;
  bool (*holds)(int dc, int dr, int uc, int ur);
};

// The eight tests in the order they are tried; the first that holds wins, so
// a press and release on one cell is a one-cell line to the right.
constexpr std::array<TLineTest, 8> kLineTests{{
    {TLine::Right, [](int dc, int dr, int uc, int ur) { return ur == dr && uc >= dc; }},
    {TLine::Left, [](int dc, int dr, int uc, int ur) { return ur == dr && uc < dc; }},
    {TLine::Up, [](int dc, int dr, int uc, int ur) { return uc == dc && ur <= dr; }},
    {TLine::Down, [](int dc, int dr, int uc, int ur) { return uc == dc && ur > dr; }},
    {TLine::UpRight, [](int dc, int dr, int uc, int ur) { return uc - dc == dr - ur && dc <= uc; }},
    {TLine::DownRight,
     [](int dc, int dr, int uc, int ur) { return uc - dc == ur - dr && dc <= uc; }},
    {TLine::UpLeft, [](int dc, int dr, int uc, int ur) { return dc - uc == dr - ur && dc > uc; }},
    {TLine::DownLeft, [](int dc, int dr, int uc, int ur) { return dc - uc == ur - dr && dc > uc; }},
}};

bool Inside(int col, int row, int colCount, int rowCount) {
  return col >= 0 && row >= 0 && col < colCount && row < rowCount;
}

bool Inside(TStringAlignGrid& grid, int col, int row) {
  return Inside(col, row, grid.ColCount(), grid.RowCount());
}

bool Horizontal(TLine line) { return line == TLine::Right || line == TLine::Left; }
bool Vertical(TLine line) { return line == TLine::Up || line == TLine::Down; }

// Cells of a line from the press cell, counted along the column (rows for a
// vertical line) or along the row; 0 or less when the end lies behind.
int CellsAlongCols(TLine line, int downCol, int upCol) {
  return (upCol - downCol) * ColStep(line) + 1;
}
int CellsAlongRows(TLine line, int downRow, int upRow) {
  return (upRow - downRow) * RowStep(line) + 1;
}

void FillSelectionSlots(TGameState& state, const QString& text) {
  for (int slot = FirstSelectionSlot; slot <= LastSelectionSlot; ++slot)
    state.Letters[slot] = text;
}

// The first set direction flag, in the order the painter tests them.
TLine FlaggedLine(const TGameState& s) {
  if (s.Right) return TLine::Right;
  if (s.Down) return TLine::Down;
  if (s.Left) return TLine::Left;
  if (s.Up) return TLine::Up;
  if (s.DownRight) return TLine::DownRight;
  if (s.UpRight) return TLine::UpRight;
  if (s.DownLeft) return TLine::DownLeft;
  if (s.UpLeft) return TLine::UpLeft;
  return TLine::None;
}

}  // namespace

TLine ChooseLine(int downCol, int downRow, int upCol, int upRow, int colCount, int rowCount) {
  if (!Inside(downCol, downRow, colCount, rowCount) || !Inside(upCol, upRow, colCount, rowCount))
    return TLine::None;
  for (const TLineTest& test : kLineTests)
    if (test.holds(downCol, downRow, upCol, upRow)) return test.line;
  return TLine::None;
}

int ColStep(TLine line) {
  switch (line) {
    case TLine::Right:
    case TLine::UpRight:
    case TLine::DownRight:
      return 1;
    case TLine::Left:
    case TLine::UpLeft:
    case TLine::DownLeft:
      return -1;
    default:
      return 0;
  }
}

int RowStep(TLine line) {
  switch (line) {
    case TLine::Down:
    case TLine::DownRight:
    case TLine::DownLeft:
      return 1;
    case TLine::Up:
    case TLine::UpRight:
    case TLine::UpLeft:
      return -1;
    default:
      return 0;
  }
}

void SetDirection(TGameState& state, TLine line) {
  state.ClearDirections();
  switch (line) {
    case TLine::Right: state.Right = true; break;
    case TLine::Left: state.Left = true; break;
    case TLine::Up: state.Up = true; break;
    case TLine::Down: state.Down = true; break;
    case TLine::UpRight: state.UpRight = true; break;
    case TLine::DownRight: state.DownRight = true; break;
    case TLine::UpLeft: state.UpLeft = true; break;
    case TLine::DownLeft: state.DownLeft = true; break;
    case TLine::None: break;
  }
}

QString ExtractLine(TGameBoard& board, TLine line, int downCol, int downRow, int upCol,
                    int upRow) {
  TGameState& state = board.State();
  TStringAlignGrid& grid = board.Grid();
  const bool numbers = state.NumbersMode;
  if (numbers) FillSelectionSlots(state, QStringLiteral("?"));
  if (line == TLine::None) return {};
  // Diagonals and vertical lines end at the release row, horizontal ones at
  // its column.
  const int count = Horizontal(line) ? CellsAlongCols(line, downCol, upCol)
                                     : CellsAlongRows(line, downRow, upRow);
  QString text;
  for (int i = 0; i < count; ++i) {
    const int col = downCol + i * ColStep(line);
    const int row = downRow + i * RowStep(line);
    if (!Inside(grid, col, row)) break;
    if (!numbers)
      text += grid.Cells(col, row);
    else if (FirstSelectionSlot + i <= LastSelectionSlot)
      state.Letters[FirstSelectionSlot + i] = grid.Cells(col, row);
  }
  return text;
}

QString DecodeSelection(TGameState& state) {
  QString word;
  for (int slot = FirstSelectionSlot; slot <= LastSelectionSlot; ++slot)
    for (int k = 1; k <= 29; ++k)
      if (state.Letters[slot] == state.Numbers[k]) word += state.Letters[k];
  FillSelectionSlots(state, QStringLiteral("?"));
  return word;
}

bool CheckWord(TGameBoard& board, const QString& word) {
  TGameState& state = board.State();
  TStrings& list = board.WordList();
  const QString wanted = state.NumbersMode ? DecodeSelection(state) : word;
  bool found = false;
  // With InOrder only the first listed word may be taken.
  const int candidates = state.InOrder ? std::min(list.Count(), 1) : list.Count();
  for (int i = 0; i < candidates; ++i) {
    if (list.Strings(i) != wanted) continue;
    list.Delete(i);
    found = true;
    board.SetWordsLeft(QString::number(list.Count()));
    break;
  }
  if (CheckGameOver(board)) board.EndOfGame();
  return found;
}

void MarkFoundWord(TGameBoard& board, int downCol, int downRow, int upCol, int upRow) {
  TGameState& state = board.State();
  TStringAlignGrid& grid = board.Grid();
  const TLine line = FlaggedLine(state);
  if (line == TLine::None) return;
  // The painter counts diagonals along the columns.
  const int count = Vertical(line) ? CellsAlongRows(line, downRow, upRow)
                                   : CellsAlongCols(line, downCol, upCol);
  for (int i = 0; i < count; ++i) {
    const int col = downCol + i * ColStep(line);
    const int row = downRow + i * RowStep(line);
    if (!Inside(grid, col, row)) break;
    grid.GetCellFont(col, row)->SetColor(state.FoundColor);
  }
}

bool CheckGameOver(TGameBoard& board) {
  if (board.WordList().Count() != 0) return false;
  board.ShowAnimation();
  return true;
}

void PressCell(TGameBoard& board, int col, int row) {
  board.State().DownCol = col;
  board.State().DownRow = row;
}

void SelectionReleased(TGameBoard& board, int upCol, int upRow) {
  TGameState& state = board.State();
  TStringAlignGrid& grid = board.Grid();
  const int downCol = state.DownCol;
  const int downRow = state.DownRow;
  const TLine line = ChooseLine(downCol, downRow, upCol, upRow, grid.ColCount(), grid.RowCount());
  if (line == TLine::None) return;
  state.Selection = ExtractLine(board, line, downCol, downRow, upCol, upRow);
  SetDirection(state, line);
  if (CheckWord(board, state.Selection)) MarkFoundWord(board, downCol, downRow, upCol, upRow);
}

void HintReleased(TGameBoard& board, int col, int row) {
  if (!board.State().NumbersMode) return;
  board.State().DownCol = col;
  board.State().DownRow = row;
  vihjeet_esiin(board);
}
