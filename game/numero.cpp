#include "game/numero.h"

#include "components/Aligrid.h"
#include "platform/rtl/Random.h"

namespace {

constexpr int kCodedLetters = 29;
// Rejected draws before the rest of the table is taken in order; a uniform
// generator never gets near this, a broken one cannot hang the game.
constexpr int kMaxRejections = 1000;

bool CodeInUse(const TGameState& state, const QString& code) {
  for (int k = 1; k <= kCodedLetters; ++k)
    if (state.Numbers[k] == code) return true;
  return false;
}

QString FirstFreeCode(const TGameState& state) {
  for (int r = 1; r <= kCodedLetters; ++r)
    if (!CodeInUse(state, QString::number(r))) return QString::number(r);
  return QStringLiteral("0");
}

// A code of 1..29 that no letter holds yet.
QString DrawFreeCode(const TGameState& state) {
  for (int attempt = 0; attempt < kMaxRejections; ++attempt) {
    const QString code = QString::number(Random(kCodedLetters) + 1);
    if (!CodeInUse(state, code)) return code;
  }
  return FirstFreeCode(state);
}

// Every cell whose text is from[k] becomes to[k] (k = 1..29). The codes and
// letters never overlap, so a replaced cell matches no later k.
template <class From, class To>
void ReplaceCells(TStringAlignGrid& grid, const From& from, const To& to) {
  for (int col = 0; col < grid.ColCount(); ++col)
    for (int row = 0; row < grid.RowCount(); ++row)
      for (int k = 1; k <= kCodedLetters; ++k)
        if (!from[k].isEmpty() && grid.Cells(col, row) == from[k]) grid.SetCells(col, row, to[k]);
}

void ClearHints(TStringAlignGrid& grid) {
  for (int col = 0; col < grid.ColCount(); ++col)
    for (int row = 0; row < grid.RowCount(); ++row) {
      grid.SetCellColor(col, row, clWhite);
      grid.SetCellHint(col, row, QString());
    }
}

void KeepHint(TGameState& state, const QString& hint) {
  for (int slot = FirstHintSlot; slot <= LastHintSlot; ++slot)
    if (state.Letters[slot].isEmpty()) {
      state.Letters[slot] = hint;
      return;
    }
}

}  // namespace

QString CodeLetter(int k) {
  if (k >= 1 && k <= 26) return QString(QChar(u'A' + (k - 1)));
  switch (k) {
    case 27: return QStringLiteral("\u00D6");
    case 28: return QStringLiteral("\u00C4");
    case 29: return QStringLiteral("\u00C5");
    default: return {};
  }
}

void ToggleNumbersMode(TGameBoard& board) {
  TGameState& state = board.State();
  state.NumbersMode = !state.NumbersMode;
  board.ShowNumbersMode();
  if (!state.NumbersMode) {
    ClearHintSlots(state);
    ClearHints(board.Grid());
  }
  if (state.NumbersMode)
    LettersToNumbers(board);
  else
    NumbersToLetters(board);
  if (state.NumbersMode) state.HintCount = 0;
}

void LettersToNumbers(TGameBoard& board) {
  TGameState& state = board.State();
  Randomize();
  for (int k = 1; k <= kCodedLetters; ++k) {
    state.Numbers[k] = QStringLiteral("0");
    state.Letters[k] = CodeLetter(k);
  }
  // The last letter, Å, keeps "0"; one code of 1..29 stays unused.
  for (int k = 1; k < kCodedLetters; ++k) state.Numbers[k] = DrawFreeCode(state);
  ReplaceCells(board.Grid(), state.Letters, state.Numbers);
}

void NumbersToLetters(TGameBoard& board) {
  TGameState& state = board.State();
  ReplaceCells(board.Grid(), state.Numbers, state.Letters);
}

void vihjeet_esiin(TGameBoard& board) {
  TGameState& state = board.State();
  if (++state.HintCount >= 4) return;
  TStringAlignGrid& grid = board.Grid();
  const int col = state.DownCol;
  const int row = state.DownRow;
  // Outside the cells counts as an empty cell: the hint is used, nothing shown.
  if (col < 0 || row < 0 || col >= grid.ColCount() || row >= grid.RowCount()) return;
  const QString text = grid.Cells(col, row);
  for (int k = 1; k <= kCodedLetters; ++k) {
    if (text != state.Numbers[k]) continue;
    const QString hint = state.Numbers[k] + QStringLiteral(" = ") + state.Letters[k];
    grid.SetCellHint(col, row, hint);
    grid.SetCellColor(col, row, clSilver);
    KeepHint(state, hint);
  }
}

void ClearHintSlots(TGameState& state) {
  for (int slot = FirstHintSlot; slot <= LastHintSlot; ++slot) state.Letters[slot].clear();
}
