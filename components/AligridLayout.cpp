// Moving and inserting columns and rows: the attribute tables move with the
// cell texts.
#include "components/Aligrid.h"

#include <algorithm>

void TStringAlignGrid::MoveTablesCol(int from, int to) {
  align_.MoveCol(from, to);
  edit_.MoveCol(from, to);
  selCellColor_.MoveCol(from, to);
  selFontColor_.MoveCol(from, to);
  font_.MoveCol(from, to);
  brush_.MoveCol(from, to);
  hint_.MoveCol(from, to);
}

void TStringAlignGrid::MoveTablesRow(int from, int to) {
  align_.MoveRow(from, to);
  edit_.MoveRow(from, to);
  selCellColor_.MoveRow(from, to);
  selFontColor_.MoveRow(from, to);
  font_.MoveRow(from, to);
  brush_.MoveRow(from, to);
  hint_.MoveRow(from, to);
}

void TStringAlignGrid::ColumnMoved(int fromIndex, int toIndex) {
  if (fromIndex == toIndex) return;
  MoveTablesCol(fromIndex, toIndex);
  TStringGrid::ColumnMoved(fromIndex, toIndex);
}

void TStringAlignGrid::RowMoved(int fromIndex, int toIndex) {
  if (fromIndex == toIndex) return;
  MoveTablesRow(fromIndex, toIndex);
  TStringGrid::RowMoved(fromIndex, toIndex);
}

void TStringAlignGrid::ColWidthsChanged() {
  TStringGrid::ColWidthsChanged();
  if (OnColWidthsChanged) OnColWidthsChanged(this);
}

void TStringAlignGrid::RowHeightsChanged() {
  TStringGrid::RowHeightsChanged();
  if (OnRowHeightsChanged) OnRowHeightsChanged(this);
}

// The tables get an empty slot at `at`; the cell texts are moved by the base
// grid's own column move (which leaves the tables alone), one step at a
// time, so the empty last column ends at `at`.
void TStringAlignGrid::InsertColumn(int at) {
  at = std::max(at, FixedCols());
  SetColCount(ColCount() + 1);
  align_.InsertCol(at);
  edit_.InsertCol(at);
  selCellColor_.InsertCol(at);
  selFontColor_.InsertCol(at);
  font_.InsertCol(at);
  brush_.InsertCol(at);
  hint_.InsertCol(at);
  const int last = ColCount() - 1;
  for (int r = 0; r < RowCount(); ++r) SetCells(last, r, QString());
  for (int u = last; u > at; --u) TStringGrid::ColumnMoved(u, u - 1);
  RepaintGrid();
}

void TStringAlignGrid::InsertRow(int at) {
  at = std::max(at, FixedRows());
  SetRowCount(RowCount() + 1);
  align_.InsertRow(at);
  edit_.InsertRow(at);
  selCellColor_.InsertRow(at);
  selFontColor_.InsertRow(at);
  font_.InsertRow(at);
  brush_.InsertRow(at);
  hint_.InsertRow(at);
  const int last = RowCount() - 1;
  for (int c = 0; c < ColCount(); ++c) SetCells(c, last, QString());
  for (int u = last; u > at; --u) TStringGrid::RowMoved(u, u - 1);
  RepaintGrid();
}
