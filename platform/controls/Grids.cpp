// TCustomGrid: size, geometry, scrolling, current cell and selection.
#include "platform/controls/Grids.h"

#include "platform/controls/GridsInternal.h"

#include <algorithm>

namespace {

[[noreturn]] void IndexError() {
  throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
}

// Moves the entry at from to to, shifting those between; pads v with fill
// so that both indices exist.
template <class T>
void MoveEntry(std::vector<T>& v, int from, int to, const T& fill) {
  const auto need = static_cast<std::size_t>(std::max(from, to)) + 1;
  if (v.size() < need) v.resize(need, fill);
  const auto b = v.begin();
  if (from < to)
    std::rotate(b + from, b + from + 1, b + to + 1);
  else
    std::rotate(b + to, b + from, b + from + 1);
}

// Where index i goes when the entry at from moves to to.
int MovedIndex(int i, int from, int to) {
  if (i == from) return to;
  if (from < to && i > from && i <= to) return i - 1;
  if (to < from && i >= to && i < from) return i + 1;
  return i;
}

}  // namespace

// Construction.

TCustomGrid::TCustomGrid(TComponent* owner) : TCustomControl(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csOpaque);
  style.Include(csCaptureMouse);
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  SetTabStop(true);
  SetColor(clWindow);
  SetBounds(0, 0, 320, 120);
}

TCustomGrid::~TCustomGrid() {
  // The editor is a child control: it leaves before the grid goes, and the
  // focus it may give back must not make a new one.
  destroying_ = true;
  editor_.reset();
}

// Size.

void TCustomGrid::SetColCount(int v) {
  if (v == colCount_) return;
  if (v < 1) v = 1;
  if (v <= fixedCols_) fixedCols_ = v - 1;
  ChangeSize(v, rowCount_);
}

void TCustomGrid::SetRowCount(int v) {
  if (v == rowCount_) return;
  if (v < 1) v = 1;
  if (v <= fixedRows_) fixedRows_ = v - 1;
  ChangeSize(colCount_, v);
}

// A new fixed count puts the current cell and the scrolling back to the
// first scrollable column (row).
void TCustomGrid::SetFixedCols(int v) {
  if (v < 0 || v >= colCount_)
    throw EInvalidGridOperation(QStringLiteral("Fixed column count must be less than column count"));
  if (v == fixedCols_) return;
  fixedCols_ = v;
  current_.X = anchor_.X = topLeft_.X = v;
  ChangeSize(colCount_, rowCount_);
}

void TCustomGrid::SetFixedRows(int v) {
  if (v < 0 || v >= rowCount_)
    throw EInvalidGridOperation(QStringLiteral("Fixed row count must be less than row count"));
  if (v == fixedRows_) return;
  fixedRows_ = v;
  current_.Y = anchor_.Y = topLeft_.Y = v;
  ChangeSize(colCount_, rowCount_);
}

// Keeps every per-index list, the current cell, the anchor and the top-left
// cell inside the new size and outside the fixed cells.
void TCustomGrid::ChangeSize(int cols, int rows) {
  HideEdit();
  colCount_ = cols;
  rowCount_ = rows;
  if (!colWidths_.empty()) colWidths_.resize(cols, defaultColWidth_);
  if (!rowHeights_.empty()) rowHeights_.resize(rows, defaultRowHeight_);
  if (!tabStops_.empty()) tabStops_.resize(cols, true);
  auto clampCoord = [this](TGridCoord& c) {
    c.X = std::clamp(c.X, fixedCols_, colCount_ - 1);
    c.Y = std::clamp(c.Y, fixedRows_, rowCount_ - 1);
  };
  clampCoord(current_);
  clampCoord(anchor_);
  if (options_.Contains(goRowSelect)) anchor_ = {colCount_ - 1, current_.Y};
  const TGridCoord oldTopLeft = topLeft_;
  clampCoord(topLeft_);
  InvalidateGrid();
  UpdateScrollBars();
  if (!(oldTopLeft == topLeft_)) TopLeftChanged();
  UpdateEdit();
}

// Column widths and row heights.

void TCustomGrid::SetDefaultColWidth(int v) {
  if (v < 0) throw EInvalidGridOperation(QStringLiteral("Grid size out of range"));
  defaultColWidth_ = v;
  colWidths_.clear();
  ColWidthsChanged();
}

void TCustomGrid::SetDefaultRowHeight(int v) {
  if (v < 0) throw EInvalidGridOperation(QStringLiteral("Grid size out of range"));
  defaultRowHeight_ = v;
  rowHeights_.clear();
  RowHeightsChanged();
}

int TCustomGrid::ColWidths(int index) const {
  if (index < 0 || index >= colCount_) IndexError();
  return colWidths_.empty() ? defaultColWidth_ : colWidths_[index];
}

void TCustomGrid::SetColWidths(int index, int v) {
  CheckCol(index);
  if (v < 0) throw EInvalidGridOperation(QStringLiteral("Grid size out of range"));
  if (ColWidths(index) == v) return;
  if (colWidths_.empty()) colWidths_.assign(colCount_, defaultColWidth_);
  colWidths_[index] = v;
  ColWidthsChanged();
}

int TCustomGrid::RowHeights(int index) const {
  if (index < 0 || index >= rowCount_) IndexError();
  return rowHeights_.empty() ? defaultRowHeight_ : rowHeights_[index];
}

void TCustomGrid::SetRowHeights(int index, int v) {
  CheckRow(index);
  if (v < 0) throw EInvalidGridOperation(QStringLiteral("Grid size out of range"));
  if (RowHeights(index) == v) return;
  if (rowHeights_.empty()) rowHeights_.assign(rowCount_, defaultRowHeight_);
  rowHeights_[index] = v;
  RowHeightsChanged();
}

void TCustomGrid::SetGridLineWidth(int v) {
  if (v < 0) throw EInvalidGridOperation(QStringLiteral("Grid size out of range"));
  if (v == gridLineWidth_) return;
  gridLineWidth_ = v;
  InvalidateGrid();
  UpdateScrollBars();
  UpdateEdit();
}

int TCustomGrid::GridWidth() const {
  const Axis a = ColAxis();
  int w = 0;
  for (int i = 0; i < colCount_; ++i) w += a.Step(i);
  return w;
}

int TCustomGrid::GridHeight() const {
  const Axis a = RowAxis();
  int h = 0;
  for (int i = 0; i < rowCount_; ++i) h += a.Step(i);
  return h;
}

void TCustomGrid::CheckCol(int aCol) const {
  if (aCol < 0 || aCol >= colCount_) IndexError();
}

void TCustomGrid::CheckRow(int aRow) const {
  if (aRow < 0 || aRow >= rowCount_) IndexError();
}

// Appearance.

void TCustomGrid::SetScrollBars(TScrollStyle v) {
  if (v == scrollBars_) return;
  scrollBars_ = v;
  UpdateScrollBars();
  InvalidateGrid();
}

void TCustomGrid::SetOptions(TGridOptions v) {
  if (v == options_) return;
  if (v.Contains(goRowSelect)) v.Exclude(goAlwaysShowEditor);
  options_ = v;
  if (!options_.Contains(goEditing)) HideEditor();
  if (options_.Contains(goRowSelect)) {
    HideEditor();
    anchor_ = {colCount_ - 1, current_.Y};
  }
  if (options_.Contains(goAlwaysShowEditor) && !editorMode_) ShowEditor();
  UpdateScrollBars();
  InvalidateGrid();
  UpdateEdit();
}

void TCustomGrid::SetFixedColor(TColor v) {
  if (v == fixedColor_) return;
  fixedColor_ = v;
  InvalidateGrid();
}

void TCustomGrid::SetDefaultDrawing(bool v) {
  if (v == defaultDrawing_) return;
  defaultDrawing_ = v;
  InvalidateGrid();
}

bool TCustomGrid::TabStops(int index) const {
  if (index < 0 || index >= colCount_) IndexError();
  return tabStops_.empty() || tabStops_[index];
}

void TCustomGrid::SetTabStops(int index, bool v) {
  CheckCol(index);
  if (tabStops_.empty()) {
    if (v) return;
    tabStops_.assign(colCount_, true);
  }
  tabStops_[index] = v;
}

// Geometry.

TRect TCustomGrid::CellRect(int aCol, int aRow) const {
  const Axis cols = ColAxis();
  const Axis rows = RowAxis();
  const int x = cols.Pos(aCol);
  const int y = rows.Pos(aRow);
  if (x < 0 || y < 0) return {};
  return Rect(x, y, x + cols.size(aCol), y + rows.size(aRow));
}

TGridCoord TCustomGrid::MouseCoord(int x, int y) const {
  const int c = ColAxis().At(x);
  const int r = RowAxis().At(y);
  if (c < 0 || r < 0) return {-1, -1};
  return {c, r};
}

void TCustomGrid::MouseToCell(int x, int y, int& aCol, int& aRow) const {
  const TGridCoord c = MouseCoord(x, y);
  aCol = c.X;
  aRow = c.Y;
}

int TCustomGrid::VisibleColCount() const { return ColAxis().VisibleCount(); }

int TCustomGrid::VisibleRowCount() const { return RowAxis().VisibleCount(); }

// Scrolling.

void TCustomGrid::SetTopRow(int v) { SetTopLeft({topLeft_.X, v}); }

void TCustomGrid::SetLeftCol(int v) { SetTopLeft({v, topLeft_.Y}); }

void TCustomGrid::SetTopLeft(TGridCoord v) {
  v.X = std::clamp(v.X, fixedCols_, std::max(fixedCols_, ColAxis().MaxFirst()));
  v.Y = std::clamp(v.Y, fixedRows_, std::max(fixedRows_, RowAxis().MaxFirst()));
  if (v == topLeft_) return;
  topLeft_ = v;
  InvalidateGrid();
  UpdateScrollBars();
  TopLeftChanged();
  UpdateEdit();
}

void TCustomGrid::ClampTopLeft() { SetTopLeft(topLeft_); }

// Scrolls as little as needed to show the current cell wholly.
void TCustomGrid::ScrollToCurrent() {
  SetTopLeft({ColAxis().FirstShowing(current_.X), RowAxis().FirstShowing(current_.Y)});
}

// Current cell and selection.

void TCustomGrid::SetCol(int v) {
  if (v == current_.X) return;
  FocusCell(v, current_.Y, true);
}

void TCustomGrid::SetRow(int v) {
  if (v == current_.Y) return;
  FocusCell(current_.X, v, true);
}

void TCustomGrid::FocusCell(int aCol, int aRow, bool moveAnchor) {
  if (aCol < fixedCols_ || aCol >= colCount_ || aRow < fixedRows_ || aRow >= rowCount_)
    IndexError();
  MoveCurrent(aCol, aRow, moveAnchor, true);
  UpdateEdit();
}

// The current cell moves only when SelectCell agrees.
void TCustomGrid::MoveCurrent(int aCol, int aRow, bool moveAnchor, bool show) {
  if (!SelectCell(aCol, aRow)) return;
  const TGridRect oldSel = Selection();
  current_ = {aCol, aRow};
  if (!options_.Contains(goAlwaysShowEditor)) HideEditor();
  if (moveAnchor || !options_.Contains(goRangeSelect)) anchor_ = current_;
  if (options_.Contains(goRowSelect)) anchor_.X = colCount_ - 1;
  if (show) ScrollToCurrent();
  if (!(oldSel == Selection())) InvalidateGrid();
  InvalidateCell(aCol, aRow);
}

TGridRect TCustomGrid::Selection() const {
  TGridRect r{std::min(anchor_.X, current_.X), std::min(anchor_.Y, current_.Y),
              std::max(anchor_.X, current_.X), std::max(anchor_.Y, current_.Y)};
  if (options_.Contains(goRowSelect)) {
    r.Left = fixedCols_;
    r.Right = colCount_ - 1;
  }
  return r;
}

// The current cell becomes the bottom-right corner, the anchor the top-left.
void TCustomGrid::SetSelection(TGridRect v) {
  auto inside = [this](int c, int r) {
    return c >= fixedCols_ && c < colCount_ && r >= fixedRows_ && r < rowCount_;
  };
  if (!inside(v.Left, v.Top) || !inside(v.Right, v.Bottom) || v.Left > v.Right ||
      v.Top > v.Bottom)
    IndexError();
  HideEdit();
  anchor_ = {v.Left, v.Top};
  current_ = {v.Right, v.Bottom};
  if (options_.Contains(goRowSelect)) anchor_.X = colCount_ - 1;
  ScrollToCurrent();
  InvalidateGrid();
  UpdateEdit();
}

// Moving columns and rows.

void TCustomGrid::MoveColumn(int fromIndex, int toIndex) {
  CheckCol(fromIndex);
  CheckCol(toIndex);
  if (fromIndex == toIndex) return;
  HideEdit();
  if (!colWidths_.empty()) MoveEntry(colWidths_, fromIndex, toIndex, defaultColWidth_);
  if (!tabStops_.empty()) MoveEntry(tabStops_, fromIndex, toIndex, true);
  current_.X = std::max(MovedIndex(current_.X, fromIndex, toIndex), fixedCols_);
  anchor_.X = std::max(MovedIndex(anchor_.X, fromIndex, toIndex), fixedCols_);
  if (options_.Contains(goRowSelect)) anchor_.X = colCount_ - 1;
  ColumnMoved(fromIndex, toIndex);
  InvalidateGrid();
  UpdateEdit();
}

void TCustomGrid::MoveRow(int fromIndex, int toIndex) {
  CheckRow(fromIndex);
  CheckRow(toIndex);
  if (fromIndex == toIndex) return;
  HideEdit();
  if (!rowHeights_.empty()) MoveEntry(rowHeights_, fromIndex, toIndex, defaultRowHeight_);
  current_.Y = std::max(MovedIndex(current_.Y, fromIndex, toIndex), fixedRows_);
  anchor_.Y = std::max(MovedIndex(anchor_.Y, fromIndex, toIndex), fixedRows_);
  RowMoved(fromIndex, toIndex);
  InvalidateGrid();
  UpdateEdit();
}

// Repainting.

void TCustomGrid::InvalidateCell(int aCol, int aRow) {
  if (CellRect(aCol, aRow).Width() > 0) Invalidate();
}

void TCustomGrid::InvalidateCol(int aCol) { InvalidateGrid(); }

void TCustomGrid::InvalidateRow(int aRow) { InvalidateGrid(); }

void TCustomGrid::InvalidateGrid() { Invalidate(); }

// Notifications a derived grid extends.

bool TCustomGrid::SelectCell(int aCol, int aRow) {
  bool canSelect = true;
  if (OnSelectCell) OnSelectCell(this, aCol, aRow, canSelect);
  return canSelect;
}

void TCustomGrid::ColumnMoved(int fromIndex, int toIndex) {
  if (OnColumnMoved) OnColumnMoved(this, fromIndex, toIndex);
}

void TCustomGrid::RowMoved(int fromIndex, int toIndex) {
  if (OnRowMoved) OnRowMoved(this, fromIndex, toIndex);
}

void TCustomGrid::ColWidthsChanged() {
  UpdateScrollBars();
  ClampTopLeft();
  InvalidateGrid();
  UpdateEdit();
}

void TCustomGrid::RowHeightsChanged() {
  UpdateScrollBars();
  ClampTopLeft();
  InvalidateGrid();
  UpdateEdit();
}

void TCustomGrid::TopLeftChanged() {
  if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomGrid::Resize() {
  UpdateScrollBars();
  TCustomControl::Resize();
  UpdateEdit();
}

void TCustomGrid::DrawCell(int aCol, int aRow, TRect aRect, TGridDrawState aState) {
  if (OnDrawCell) OnDrawCell(this, aCol, aRow, aRect, aState);
}
