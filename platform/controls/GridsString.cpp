// TStringGrid: a text and an object per cell, kept sparse (a column list
// exists once one of its cells was set; it is as long as its last set row).
// Cells outside ColCount/RowCount keep their data until overwritten.
#include "platform/controls/Grids.h"

#include <algorithm>

namespace {

template <class T>
void MoveEntry(std::vector<T>& v, int from, int to) {
  const auto need = static_cast<std::size_t>(std::max(from, to)) + 1;
  if (v.size() <= static_cast<std::size_t>(std::min(from, to))) return;  // both empty
  if (v.size() < need) v.resize(need);
  const auto b = v.begin();
  if (from < to)
    std::rotate(b + from, b + from + 1, b + to + 1);
  else
    std::rotate(b + to, b + from, b + from + 1);
}

}  // namespace

TStringGrid::TStringGrid(TComponent* owner) : TDrawGrid(owner) {}

TStringGrid::~TStringGrid() = default;

const TStringGrid::TCellData* TStringGrid::Find(int aCol, int aRow) const {
  if (aCol < 0 || aRow < 0 || static_cast<std::size_t>(aCol) >= cells_.size()) return nullptr;
  const auto& col = cells_[aCol];
  return static_cast<std::size_t>(aRow) < col.size() ? &col[aRow] : nullptr;
}

TStringGrid::TCellData& TStringGrid::Ensure(int aCol, int aRow) {
  if (aCol < 0 || aRow < 0) throw EInvalidGridOperation(QStringLiteral("Grid index out of range"));
  if (static_cast<std::size_t>(aCol) >= cells_.size()) cells_.resize(aCol + 1);
  auto& col = cells_[aCol];
  if (static_cast<std::size_t>(aRow) >= col.size()) col.resize(aRow + 1);
  return col[aRow];
}

QString TStringGrid::Cells(int aCol, int aRow) const {
  const TCellData* d = Find(aCol, aRow);
  return d != nullptr ? d->text : QString();
}

void TStringGrid::SetCells(int aCol, int aRow, const QString& v) {
  if (Find(aCol, aRow) == nullptr && v.isEmpty()) {
    if (aCol < 0 || aRow < 0) Ensure(aCol, aRow);  // raises
    return;
  }
  TCellData& d = Ensure(aCol, aRow);
  if (d.text == v) return;
  d.text = v;
  InvalidateCell(aCol, aRow);
  // A cell changed by code under the open editor shows its new text.
  TInplaceEdit* editor = InplaceEditor();
  if (editor != nullptr && editor->Visible() && InplaceCell() == (TGridCoord{aCol, aRow}) &&
      !EditUpdating())
    editor->UpdateContents();
}

TObject* TStringGrid::Objects(int aCol, int aRow) const {
  const TCellData* d = Find(aCol, aRow);
  return d != nullptr ? d->object : nullptr;
}

void TStringGrid::SetObjects(int aCol, int aRow, TObject* v) {
  if (Find(aCol, aRow) == nullptr && v == nullptr) {
    if (aCol < 0 || aRow < 0) Ensure(aCol, aRow);
    return;
  }
  Ensure(aCol, aRow).object = v;
}

QStringList TStringGrid::Cols(int index) const {
  QStringList out;
  for (int r = 0; r < RowCount(); ++r) out << Cells(index, r);
  return out;
}

void TStringGrid::SetCols(int index, const QStringList& v) {
  for (int r = 0; r < RowCount(); ++r) SetCells(index, r, r < v.size() ? v.at(r) : QString());
}

QStringList TStringGrid::Rows(int index) const {
  QStringList out;
  for (int c = 0; c < ColCount(); ++c) out << Cells(c, index);
  return out;
}

void TStringGrid::SetRows(int index, const QStringList& v) {
  for (int c = 0; c < ColCount(); ++c) SetCells(c, index, c < v.size() ? v.at(c) : QString());
}

void TStringGrid::DrawCell(int aCol, int aRow, TRect aRect, TGridDrawState aState) {
  if (DefaultDrawing()) Canvas()->TextRect(aRect, aRect.Left + 2, aRect.Top + 2, Cells(aCol, aRow));
  TDrawGrid::DrawCell(aCol, aRow, aRect, aState);
}

QString TStringGrid::GetEditText(int aCol, int aRow) {
  QString text = Cells(aCol, aRow);
  if (OnGetEditText) OnGetEditText(this, aCol, aRow, text);
  return text;
}

void TStringGrid::SetEditText(int aCol, int aRow, const QString& value) {
  SetCells(aCol, aRow, value);
  TDrawGrid::SetEditText(aCol, aRow, value);
}

void TStringGrid::ColumnMoved(int fromIndex, int toIndex) {
  if (fromIndex != toIndex && fromIndex >= 0 && toIndex >= 0) {
    MoveEntry(cells_, fromIndex, toIndex);
    InvalidateGrid();
  }
  TDrawGrid::ColumnMoved(fromIndex, toIndex);
}

void TStringGrid::RowMoved(int fromIndex, int toIndex) {
  if (fromIndex != toIndex && fromIndex >= 0 && toIndex >= 0) {
    for (auto& col : cells_) MoveEntry(col, fromIndex, toIndex);
    InvalidateGrid();
  }
  TDrawGrid::RowMoved(fromIndex, toIndex);
}
