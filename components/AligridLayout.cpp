// Moving and inserting columns and rows: the attribute tables move with the
// cell texts.
#include "components/Aligrid.h"

#include <algorithm>

void TStringAlignGrid::MoveTablesCol(int from, int to) {
  ForEachTable([&](auto& table) { table.MoveCol(from, to); });
}

void TStringAlignGrid::MoveTablesRow(int from, int to) {
  ForEachTable([&](auto& table) { table.MoveRow(from, to); });
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
  ForEachTable([&](auto& table) { table.InsertCol(at); });
  const int last = ColCount() - 1;
  for (int r = 0; r < RowCount(); ++r) SetCells(last, r, QString());
  for (int u = last; u > at; --u) TStringGrid::ColumnMoved(u, u - 1);
  RepaintGrid();
}

void TStringAlignGrid::InsertRow(int at) {
  at = std::max(at, FixedRows());
  SetRowCount(RowCount() + 1);
  ForEachTable([&](auto& table) { table.InsertRow(at); });
  const int last = RowCount() - 1;
  for (int c = 0; c < ColCount(); ++c) SetCells(c, last, QString());
  for (int u = last; u > at; --u) TStringGrid::RowMoved(u, u - 1);
  RepaintGrid();
}
