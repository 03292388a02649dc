#include "puzzle/IO.h"

#include "components/core/_4passtr.h"
#include "platform/rtl/AtomicFile.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/ProcessState.h"
#include "platform/rtl/TextFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <mutex>

#include <unistd.h>

namespace {

const QString kGridExt = QStringLiteral(".vrb");
const QString kListExt = QStringLiteral(".lst");
const QString kPictureExt = QStringLiteral(".bmp");

TMainGridProvider& MainGrid() {
  static TMainGridProvider provider;
  return provider;
}

const TResetHook kResetMainGrid([] { MainGrid() = nullptr; });

IGridCells& MainGridOrFail() {
  IGridCells* grid = MainGrid() ? MainGrid()() : nullptr;
  if (grid == nullptr)
    throw EInvalidOperation(QStringLiteral("No puzzle grid"));
  return *grid;
}

QString NamePart(const QString& fileName) {
  return fileName.mid(fileName.lastIndexOf(QLatin1Char('/')) + 1);
}

// A count line: its number must be one the format can mean.
int ReadCount(TextFile& f) {
  int count = 0;
  ReadLn(f, count);
  if (count < 0 || count > MaxGridCount)
    throw EInOutError(EInOutError::InvalidNumericFormat);
  return count;
}

void ReadCells(const QString& fileName, IGridCells& cells) {
  TextFile f;
  AssignFile(f, fileName);
  Reset(f);
  const int cols = ReadCount(f);
  const int rows = ReadCount(f);
  cells.SetSize(cols, rows);
  QString line;
  for (int col = 0; col < cols; ++col)
    for (int row = 0; row < rows; ++row) {
      ReadLn(f, line);
      cells.SetCell(col, row, line);
    }
  CloseFile(f);
}

// A cell line cannot hold a line end: it would shift every later cell.
void CheckCells(const IGridCells& grid) {
  for (int col = 0; col < grid.ColCount(); ++col)
    for (int row = 0; row < grid.RowCount(); ++row) {
      const QString text = grid.Cell(col, row);
      if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
        throw EInOutError(EInOutError::DiskWriteError,
                          QStringLiteral("Cell %1,%2 holds a line break").arg(col).arg(row));
    }
}

void WriteCells(const IGridCells& grid, const QString& fileName) {
  TextFile f;
  AssignFile(f, fileName);
  Rewrite(f);
  WriteLn(f, grid.ColCount());
  WriteLn(f, grid.RowCount());
  for (int col = 0; col < grid.ColCount(); ++col)
    for (int row = 0; row < grid.RowCount(); ++row)
      WriteLn(f, grid.Cell(col, row));
  CloseFile(f);
}

// The file a save replaces: the target of a symbolic link, else the name.
QString SaveTarget(const QString& fileName) {
  const QFileInfo info(fileName);
  return info.isSymLink() ? info.symLinkTarget() : fileName;
}

// A file we may not write is not replaced either (as a rewrite would fail).
bool MayReplace(const QString& target) {
  return !FileExists(target) || ::access(target.toLocal8Bit().constData(), W_OK) == 0;
}

// The folder must exist and the target be a file we may replace.
void CheckReplaceable(const QString& target) {
  if (!DirectoryExists(QFileInfo(target).path()))
    throw EInOutError(EInOutError::PathNotFound);
  if (DirectoryExists(target) || !MayReplace(target))
    throw EInOutError(EInOutError::AccessDenied);
}

// The runtime's code for a failed replacement.
int InOutCode(int sysError) {
  switch (sysError) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
    case EIO:
      return EInOutError::DiskWriteError;
    case EMFILE:
    case ENFILE:
      return EInOutError::TooManyOpenFiles;
    default:
      return EInOutError::AccessDenied;
  }
}

}  // namespace

qsizetype TPlainCells::IndexOf(int col, int row) const {
  if (col < 0 || col >= cols_ || row < 0 || row >= rows_)
    throw EInvalidOperation(QStringLiteral("Cell %1,%2 out of range").arg(col).arg(row));
  return qsizetype(col) * rows_ + row;
}

QString TPlainCells::Cell(int col, int row) const { return cells_[IndexOf(col, row)]; }

void TPlainCells::SetCell(int col, int row, const QString& text) {
  cells_[IndexOf(col, row)] = text;
}

void TPlainCells::SetSize(int cols, int rows) {
  if (cols < 0 || rows < 0)
    throw EInvalidOperation(QStringLiteral("Negative grid size"));
  cells_ = QList<QString>(qsizetype(cols) * rows);
  cols_ = cols;
  rows_ = rows;
}

void CopyCells(const IGridCells& source, IGridCells& dest) {
  dest.SetSize(source.ColCount(), source.RowCount());
  for (int col = 0; col < source.ColCount(); ++col)
    for (int row = 0; row < source.RowCount(); ++row)
      dest.SetCell(col, row, source.Cell(col, row));
}

void SaveGrid(const IGridCells& grid, const QString& fileName) {
  CheckCells(grid);
  const QString target = SaveTarget(fileName);
  CheckReplaceable(target);
  try {
    TAtomicFile file(target);
    WriteCells(grid, file.TempName());
    file.Commit();
  } catch (const EAtomicFileError& e) {
    throw EInOutError(InOutCode(e.ErrorCode()));
  }
}

void LoadGrid(IGridCells& grid, const QString& fileName) {
  TPlainCells read;
  ReadCells(fileName, read);
  CopyCells(read, grid);
}

void SetMainGrid(TMainGridProvider provider) {
  MainGrid() = std::move(provider);
}

void SaveGrid(const QString& fileName) { SaveGrid(MainGridOrFail(), fileName); }

void LoadGrid(const QString& fileName) { LoadGrid(MainGridOrFail(), fileName); }

QString GridFolder(const QString& gridFileName) {
  return gridFileName.left(gridFileName.lastIndexOf(QLatin1Char('/')) + 1);
}

QString WordListFileName(const QString& gridFileName) {
  const QString name = NamePart(gridFileName);
  QString list = ReplaceAll(name, kGridExt, kListExt);
  if (list == name)
    list += kListExt;
  return GridFolder(gridFileName) + list;
}

QString PuzzleBaseName(const QString& gridFileName) {
  return ReplaceAll(NamePart(gridFileName), kGridExt, QString());
}

QString PictureFileName(const QString& gridFileName) {
  return GridFolder(gridFileName) + PuzzleBaseName(gridFileName) + kPictureExt;
}
