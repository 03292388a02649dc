// Published properties of the grids, the stored column widths and row
// heights, and the registration of the grid classes.
//
// Form-file data beside the published properties:
//   ColWidths   list of integers, one per column from 0 (written only when
//               some width differs from DefaultColWidth)
//   RowHeights  the same for the rows and DefaultRowHeight
// Reading applies the items to columns (rows) 0, 1, ...; items past the
// current count are read and ignored, a negative size is a read error.
#include "platform/controls/Grids.h"

#include "platform/classes/ClassRegistry.h"

#include <algorithm>

const TEnumInfo kGridOptionIdents{
    "goFixedVertLine", "goFixedHorzLine",    "goVertLine",     "goHorzLine",
    "goRangeSelect",   "goDrawFocusSelected", "goRowSizing",   "goColSizing",
    "goRowMoving",     "goColMoving",        "goEditing",      "goTabs",
    "goRowSelect",     "goAlwaysShowEditor", "goThumbTracking"};

namespace {

const TGridOptions kDefaultGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine,
                                       goRangeSelect};

// Reads a list of sizes and hands each to apply(index, size).
template <class Apply>
void ReadSizes(TReader& reader, const char* what, Apply apply) {
  reader.ReadListBegin();
  for (int i = 0; !reader.EndOfList(); ++i) {
    const int v = reader.ReadInteger();
    if (v < 0) throw EReadError(QStringLiteral("Invalid %1: %2").arg(QLatin1String(what)).arg(v));
    apply(i, v);
  }
  reader.ReadListEnd();
}

}  // namespace

void TCustomGrid::DeclareProperties(TClassBuilder<TCustomGrid, TCustomControl>& b) {
  // The counts come before the fixed counts: a fixed count is checked
  // against its count when it is read.
  b.Property("ColCount", &TCustomGrid::ColCount, &TCustomGrid::SetColCount).Default(5);
  b.Property("RowCount", &TCustomGrid::RowCount, &TCustomGrid::SetRowCount).Default(5);
  b.Property("FixedCols", &TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols).Default(1);
  b.Property("FixedRows", &TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows).Default(1);
  b.Property("DefaultColWidth", &TCustomGrid::DefaultColWidth, &TCustomGrid::SetDefaultColWidth)
      .Default(64);
  b.Property("DefaultRowHeight", &TCustomGrid::DefaultRowHeight,
             &TCustomGrid::SetDefaultRowHeight)
      .Default(24);
  b.Property("DefaultDrawing", &TCustomGrid::DefaultDrawing, &TCustomGrid::SetDefaultDrawing)
      .Default(true);
  b.Property("FixedColor", &TCustomGrid::FixedColor, &TCustomGrid::SetFixedColor, kColorIdents)
      .Default(clBtnFace);
  b.Property("GridLineWidth", &TCustomGrid::GridLineWidth, &TCustomGrid::SetGridLineWidth)
      .Default(1);
  b.Property("Options", &TCustomGrid::Options, &TCustomGrid::SetOptions, kGridOptionIdents)
      .Default(kDefaultGridOptions);
  b.Property("ScrollBars", &TCustomGrid::ScrollBars, &TCustomGrid::SetScrollBars,
             kScrollStyleIdents)
      .Default(ssBoth);
  b.Event("OnDrawCell", &TCustomGrid::OnDrawCell);
  b.Event("OnSelectCell", &TCustomGrid::OnSelectCell);
  b.Event("OnGetEditText", &TCustomGrid::OnGetEditText);
  b.Event("OnSetEditText", &TCustomGrid::OnSetEditText);
  b.Event("OnTopLeftChanged", &TCustomGrid::OnTopLeftChanged);
  b.Event("OnColumnMoved", &TCustomGrid::OnColumnMoved);
  b.Event("OnRowMoved", &TCustomGrid::OnRowMoved);
}

void TStringGrid::DeclareProperties(TClassBuilder<TStringGrid, TDrawGrid>&) {}

void TCustomGrid::DefineProperties(TFiler* filer) {
  TCustomControl::DefineProperties(filer);
  filer->DefineProperty(
      QStringLiteral("ColWidths"), [this](TReader& r) { ReadColWidths(r); },
      [this](TWriter& w) { WriteColWidths(w); }, ColWidthsStored());
  filer->DefineProperty(
      QStringLiteral("RowHeights"), [this](TReader& r) { ReadRowHeights(r); },
      [this](TWriter& w) { WriteRowHeights(w); }, RowHeightsStored());
}

bool TCustomGrid::ColWidthsStored() const {
  return std::any_of(colWidths_.begin(), colWidths_.end(),
                     [this](int w) { return w != defaultColWidth_; });
}

bool TCustomGrid::RowHeightsStored() const {
  return std::any_of(rowHeights_.begin(), rowHeights_.end(),
                     [this](int h) { return h != defaultRowHeight_; });
}

void TCustomGrid::ReadColWidths(TReader& reader) {
  ReadSizes(reader, "column width", [this](int i, int v) {
    if (i < colCount_) SetColWidths(i, v);
  });
}

void TCustomGrid::ReadRowHeights(TReader& reader) {
  ReadSizes(reader, "row height", [this](int i, int v) {
    if (i < rowCount_) SetRowHeights(i, v);
  });
}

void TCustomGrid::WriteColWidths(TWriter& writer) const {
  writer.WriteListBegin();
  for (int i = 0; i < colCount_; ++i) writer.WriteInteger(ColWidths(i));
  writer.WriteListEnd();
}

void TCustomGrid::WriteRowHeights(TWriter& writer) const {
  writer.WriteListBegin();
  for (int i = 0; i < rowCount_; ++i) writer.WriteInteger(RowHeights(i));
  writer.WriteListEnd();
}

void TCustomGrid::Loaded() {
  TCustomControl::Loaded();
  UpdateScrollBars();
}

void RegisterGridClasses() {
  if (GetClass(QStringLiteral("TDrawGrid")) == nullptr) RegisterClass<TDrawGrid>();
  if (GetClass(QStringLiteral("TStringGrid")) == nullptr) RegisterClass<TStringGrid>();
}
