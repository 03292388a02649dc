#pragma once
// A string grid as the grid-file reader and writer see it (both programs).

#include "puzzle/IO.h"

class TStringGrid;

class TGridCells : public IGridCells {
 public:
  explicit TGridCells(TStringGrid& grid) : grid_(grid) {}

  int ColCount() const override;
  int RowCount() const override;
  QString Cell(int col, int row) const override;
  void SetCell(int col, int row, const QString& text) override;
  // Sets both counts and empties every cell.
  void SetSize(int cols, int rows) override;

 private:
  TStringGrid& grid_;
};
