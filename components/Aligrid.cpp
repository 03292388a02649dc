// TStringAlignGrid: construction, published properties, attribute look-ups
// and the accessors that make a cell's font or brush on demand.
#include "components/Aligrid.h"

#include "platform/rtl/Codec1252.h"

namespace {

// Identifies the grid's handler in the hint chain.
const char kCellHintRoutine = 0;

}  // namespace

TStringAlignGrid::TStringAlignGrid(TComponent* owner)
    : TStringGrid(owner),
      fixedBrush_(NewBrush()),
      ownBrush_(std::make_unique<TBrush>()) {
  fixedBrush_->SetColor(FixedColor());
  fixedBrush_->SetIsChanged(false);
  OnCompareCol = [this](TObject*, int colrow, int c1, int c2) {
    return CompareTexts(Cells(colrow, c1), Cells(colrow, c2));
  };
  OnCompareRow = [this](TObject*, int colrow, int c1, int c2) {
    return CompareTexts(Cells(c1, colrow), Cells(c2, colrow));
  };
  JoinHintChain(this, &kCellHintRoutine,
                [this](QString& text, bool& canShow, THintInfo& info) {
                  ShowCellHint(text, canShow, info);
                });
}

TStringAlignGrid::~TStringAlignGrid() { LeaveHintChain(this, &kCellHintRoutine); }

// Properties.

void TStringAlignGrid::SetAlignment(TMyAlign v) {
  alignment_ = v;
  RepaintGrid();
}

void TStringAlignGrid::SetFixedColor(TColor v) {
  TStringGrid::SetFixedColor(v);
  fixedBrush_->SetColor(v);
  RepaintGrid();
}

void TStringAlignGrid::SetSelectedCellColor(TColor v) {
  selectedCellColor_ = v;
  RepaintGrid();
}

void TStringAlignGrid::SetSelectedFontColor(TColor v) {
  selectedFontColor_ = v;
  RepaintGrid();
}

void TStringAlignGrid::SetDrawSelection(bool v) {
  drawSelection_ = v;
  RepaintGrid();
}

void TStringAlignGrid::RepaintGrid() { InvalidateGrid(); }

// Look-ups.

bool TStringAlignGrid::IsFixedCell(int col, int row) const {
  return col < FixedCols() || row < FixedRows();
}

TMyAlign TStringAlignGrid::GetCellAlignment(int col, int row) const {
  const auto* a = align_.Resolve(col, row, IsFixedCell(col, row), true);
  return a != nullptr ? **a : alignment_;
}

bool TStringAlignGrid::GetCellEditable(int col, int row) const {
  const auto* e = edit_.Resolve(col, row, false, false);
  return e != nullptr ? **e : editable_;
}

TFont* TStringAlignGrid::ResolveCellFont(int col, int row) const {
  const auto* f = font_.Resolve(col, row, IsFixedCell(col, row), true);
  return f != nullptr ? f->get() : Font();
}

TBrush* TStringAlignGrid::ResolveCellBrush(int col, int row) const {
  const bool fixed = IsFixedCell(col, row);
  const auto* b = brush_.Resolve(col, row, fixed, true);
  if (b != nullptr) return b->get();
  return fixed ? static_cast<TBrush*>(fixedBrush_.get()) : OwnBrush();
}

TColor TStringAlignGrid::GetCellColor(int col, int row) const {
  return ResolveCellBrush(col, row)->Color();
}

TColor TStringAlignGrid::ResolveSelectedCellColor(int col, int row) const {
  const auto* c = selCellColor_.Resolve(col, row, false, false);
  return c != nullptr ? **c : selectedCellColor_;
}

TColor TStringAlignGrid::ResolveSelectedFontColor(int col, int row) const {
  const auto* c = selFontColor_.Resolve(col, row, false, false);
  return c != nullptr ? **c : selectedFontColor_;
}

// The grid's own brush is a solid brush of its Color; it has no change
// handler, so keeping it in step repaints nothing.
TBrush* TStringAlignGrid::OwnBrush() const {
  if (ownBrush_->Color() != Color() || ownBrush_->Style() != bsSolid) {
    ownBrush_->SetColor(Color());
    ownBrush_->SetStyle(bsSolid);
  }
  return ownBrush_.get();
}

// Fonts and brushes made on demand.

std::unique_ptr<TMyFont> TStringAlignGrid::NewFont() {
  auto font = std::make_unique<TMyFont>();
  font->OnChange = [this](TObject*) { RepaintGrid(); };
  return font;
}

std::unique_ptr<TMyBrush> TStringAlignGrid::NewBrush() {
  auto brush = std::make_unique<TMyBrush>();
  brush->OnChange = [this](TObject*) { RepaintGrid(); };
  return brush;
}

// A cell font copies the grid's Font, not a column or row font; copying a
// font that differs from a new one notifies a change, so such a copy is
// stored with the form.
TMyFont* TStringAlignGrid::GetCellFont(int col, int row) {
  TFontSlot& slot = font_.cell.At(col, row);
  if (!slot) {
    auto font = NewFont();
    font->Assign(Font());
    slot = std::move(font);
  }
  return slot.get();
}

TMyBrush* TStringAlignGrid::BrushAt(TBrushSlot& slot) {
  if (!slot) {
    auto brush = NewBrush();
    brush->Assign(OwnBrush());
    slot = std::move(brush);
  }
  return slot.get();
}

TMyBrush* TStringAlignGrid::GetCellBrush(int col, int row) {
  return BrushAt(brush_.cell.At(col, row));
}
TMyBrush* TStringAlignGrid::GetColBrush(int index) { return BrushAt(brush_.col.At(index)); }
TMyBrush* TStringAlignGrid::GetFixedColBrush(int index) {
  return BrushAt(brush_.fixedCol.At(index));
}
TMyBrush* TStringAlignGrid::GetRowBrush(int index) { return BrushAt(brush_.row.At(index)); }
TMyBrush* TStringAlignGrid::GetFixedRowBrush(int index) {
  return BrushAt(brush_.fixedRow.At(index));
}

void TStringAlignGrid::SetCellColor(int col, int row, TColor color) {
  GetCellBrush(col, row)->SetColor(color);
  RepaintGrid();
}

void TStringAlignGrid::SetCellHint(int col, int row, const QString& text) {
  hint_.stored.cell = true;
  hint_.cell.At(col, row) = text;
}

QString TStringAlignGrid::GetCellHint(int col, int row) const {
  const auto* h = hint_.cell.Find(col, row);
  return h != nullptr ? **h : QString();
}

// Built-in comparisons: the texts' Windows-1252 bytes, as unsigned values.
t_relation TStringAlignGrid::CompareTexts(const QString& a, const QString& b) const {
  const int c = EncodeWin1252(a).compare(EncodeWin1252(b));
  return c == 0 ? rel_equal : (c > 0 ? rel_greater : rel_less);
}

// After the form is read: stored texts replace every cell's text; the
// editor starts hidden, to be shown again on focus when it always shows.
void TStringAlignGrid::Loaded() {
  TStringGrid::Loaded();
  if (storedTexts_) {
    for (int c = 0; c < ColCount(); ++c) {
      for (int r = 0; r < RowCount(); ++r) {
        const auto* text = storedTexts_->Find(c, r);
        SetCells(c, r, text != nullptr ? **text : QString());
      }
    }
    storedTexts_.reset();
  }
  reshowEditor_ = Options().Contains(goAlwaysShowEditor);
  HideEditor();
}
