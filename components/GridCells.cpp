#include "components/GridCells.h"

#include "platform/controls/Grids.h"

int TGridCells::ColCount() const { return grid_.ColCount(); }

int TGridCells::RowCount() const { return grid_.RowCount(); }

QString TGridCells::Cell(int col, int row) const { return grid_.Cells(col, row); }

void TGridCells::SetCell(int col, int row, const QString& text) { grid_.SetCells(col, row, text); }

void TGridCells::SetSize(int cols, int rows) {
  grid_.SetColCount(cols);
  grid_.SetRowCount(rows);
  for (int c = 0; c < cols; ++c)
    for (int r = 0; r < rows; ++r) grid_.SetCells(c, r, QString());
}
