#include "components/GridCells.h"

#include "platform/controls/Grids.h"

int TGridCells::ColCount() const { return grid_.ColCount(); }

int TGridCells::RowCount() const { return grid_.RowCount(); }

QString TGridCells::Cell(int col, int row) const { return grid_.Cells(col, row); }

void TGridCells::SetCell(int col, int row, const QString& text) { grid_.SetCells(col, row, text); }

void TGridCells::SetSize(int cols, int rows) {
  grid_.SetColCount(cols);
  grid_.SetRowCount(rows);
  // The grid keeps at least one column and row: those are emptied too.
  for (int c = 0; c < grid_.ColCount(); ++c)
    for (int r = 0; r < grid_.RowCount(); ++r) grid_.SetCells(c, r, QString());
}
