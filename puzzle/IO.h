#pragma once
// The puzzle grid file (".vrb") and the names of a puzzle's three files.
//
// Grid file format: text lines of Windows-1252 bytes, each ended by CR LF.
//   line 1      column count, decimal
//   line 2      row count, decimal
//   then        one cell text per line, column-major: column 0 rows
//               0..rows-1, then column 1, ...; an empty cell is an empty line
// A file that ends before all cells are read gives empty cells. Counts must
// lie in 0..MaxGridCount; anything else is not a grid file.
//
// Errors (EInOutError and its runtime code):
//   2   the file does not exist          3   its folder does not exist
//   5   no permission, or a folder       100 the read itself failed
//   101 a write failed (disk full), or a cell holds a line break
//   106 a count is not a number, or is negative or above MaxGridCount
// Reading fills the target grid only when the whole file was read. Writing
// goes to a temporary file in the same folder, flushed to disk and renamed
// over the old file (through a symbolic link to its target, keeping the old
// file's mode), so a failure leaves the old file as it was. A file we may
// not write is not replaced (5).

#include <QList>
#include <QString>

#include <functional>

inline constexpr int MaxGridCount = 1000;

// The cells of a puzzle grid, as the reader and the writer see them.
class IGridCells {
 public:
  virtual ~IGridCells() = default;
  virtual int ColCount() const = 0;
  virtual int RowCount() const = 0;
  virtual QString Cell(int col, int row) const = 0;
  virtual void SetCell(int col, int row, const QString& text) = 0;
  // Sets both counts; every cell is empty afterwards.
  virtual void SetSize(int cols, int rows) = 0;
};

// Cells held in memory, column-major.
class TPlainCells : public IGridCells {
 public:
  TPlainCells() = default;
  TPlainCells(int cols, int rows) { SetSize(cols, rows); }

  int ColCount() const override { return cols_; }
  int RowCount() const override { return rows_; }
  QString Cell(int col, int row) const override;
  void SetCell(int col, int row, const QString& text) override;
  void SetSize(int cols, int rows) override;

 private:
  qsizetype IndexOf(int col, int row) const;

  int cols_ = 0;
  int rows_ = 0;
  QList<QString> cells_;
};

// Copies size and cells.
void CopyCells(const IGridCells& source, IGridCells& dest);

void SaveGrid(const IGridCells& grid, const QString& fileName);
void LoadGrid(IGridCells& grid, const QString& fileName);

// The programs' form: the grid of the main window, which the program names
// once its main window exists (nullptr when it goes away).
using TMainGridProvider = std::function<IGridCells*()>;
void SetMainGrid(TMainGridProvider provider);
// Raise EInvalidOperation when the program has named no grid.
void SaveGrid(const QString& fileName);
void LoadGrid(const QString& fileName);

// Names of the puzzle's other files. The folder part is kept as given.
// Word list: ".vrb" replaced by ".lst" in the name part; when the name holds
// no ".vrb" (so the replacement would name the grid file itself) ".lst" is
// appended instead.
QString WordListFileName(const QString& gridFileName);
// The name part with every ".vrb" removed.
QString PuzzleBaseName(const QString& gridFileName);
// Folder + base name + ".bmp".
QString PictureFileName(const QString& gridFileName);
// The folder part with its trailing delimiter ("" for a bare name).
QString GridFolder(const QString& gridFileName);
