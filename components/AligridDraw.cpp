// Cell painting with each cell's own font, brush and alignment, multi-line
// cell texts, and the per-cell hints.
#include "components/Aligrid.h"

void TStringAlignGrid::DrawCell(int aCol, int aRow, TRect aRect, TGridDrawState aState) {
  if (!DefaultDrawing()) {
    TStringGrid::DrawCell(aCol, aRow, aRect, aState);
    return;
  }
  PaintCell(aCol, aRow, aRect, aState);
  if (OnDrawCell) OnDrawCell(this, aCol, aRow, aRect, aState);
}

void TStringAlignGrid::PaintCell(int col, int row, const TRect& rect, TGridDrawState state) {
  TCanvas* canvas = Canvas();
  canvas->SetFont(ResolveCellFont(col, row));
  canvas->SetBrush(ResolveCellBrush(col, row));
  const TGridOptions options = Options();
  const bool showsSelected =
      !state.Contains(gdFocused) || options.Contains(goDrawFocusSelected) ||
      options.Contains(goRowSelect);
  if (drawSelection_ && state.Contains(gdSelected) && showsSelected) {
    canvas->Brush()->SetColor(ResolveSelectedCellColor(col, row));
    canvas->Font()->SetColor(ResolveSelectedFontColor(col, row));
  }
  canvas->FillRect(rect);
  canvas->Brush()->SetStyle(bsClear);  // text leaves the cell's fill alone
  DrawCellText(col, row, rect);
}

// Lines end at CR; a LF right after a CR belongs to the line break, any other
// LF is drawn as part of its line. Each line is clipped to the cell.
void TStringAlignGrid::DrawCellText(int col, int row, const TRect& rect) {
  TCanvas* canvas = Canvas();
  const TMyAlign align = GetCellAlignment(col, row);
  QString text = Cells(col, row) + QChar(13);
  int top = rect.Top + 2;
  for (qsizetype cr = text.indexOf(QChar(13)); cr >= 0; cr = text.indexOf(QChar(13))) {
    const QString line = text.left(cr);
    const TSize extent = canvas->TextExtent(line);
    int x = rect.Left + 2;
    if (align == TMyAlign::alRight) {
      x = rect.Right - extent.cx - 2;
    } else if (align == TMyAlign::alCenter) {
      x = rect.Left + (rect.Right - rect.Left - extent.cx) / 2;
    }
    canvas->TextRect(rect, x, top, line);
    text.remove(0, cr + 1);
    if (text.startsWith(QChar(10))) text.remove(0, 1);
    top += extent.cy;
  }
}

// Through the application's hint chain: for this grid, the hint shows
// 6 pixels below the cell under the cursor, with that cell's own hint text
// (none when it has none).
void TStringAlignGrid::ShowCellHint(QString& hintStr, bool&, THintInfo& info) {
  if (info.HintControl != this || !showCellHints_) return;
  int col = -1, row = -1;
  MouseToCell(info.CursorPos.X, info.CursorPos.Y, col, row);
  hintCol_ = col;
  hintRow_ = row;
  const TRect cell = CellRect(col, row);
  info.HintPos = ClientToScreen({cell.Left, cell.Bottom + 6});
  hintStr = GetCellHint(col, row);
}

// A move onto another cell closes the old cell's hint before the base
// handling, so the application starts over with the new cell.
void TStringAlignGrid::CancelHintOnMove(const TMessage& message) {
  if (hintCol_ < 0 || hintRow_ < 0) return;
  int col = -1, row = -1;
  MouseToCell(LoWordSigned(message.LParam), HiWordSigned(message.LParam), col, row);
  if (col == hintCol_ && row == hintRow_) return;
  if (Application != nullptr) Application->CancelHint();
  hintCol_ = hintRow_ = -1;
}
