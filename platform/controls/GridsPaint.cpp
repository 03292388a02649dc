// Painting of the grid: cell backgrounds, DrawCell, raised fixed cells,
// grid lines, the focus rectangle and the area beyond the cells.
#include "platform/controls/Grids.h"

#include "platform/controls/GridsInternal.h"
#include "platform/graphics/DrawEdge.h"

#include <utility>
#include <vector>

namespace {

// The indices shown along an axis with their start pixels.
std::vector<std::pair<int, int>> Shown(const TCustomGrid::Axis& a) {
  std::vector<std::pair<int, int>> out;
  int p = 0;
  auto add = [&](int i) {
    if (p >= a.extent) return false;
    out.emplace_back(i, p);
    p += a.Step(i);
    return true;
  };
  for (int i = 0; i < a.fixed && i < a.count; ++i)
    if (!add(i)) return out;
  for (int i = std::max(a.first, a.fixed); i < a.count; ++i)
    if (!add(i)) return out;
  return out;
}

// Lines between fixed cells are black, between the other cells silver.
constexpr TColor kFixedLineColor = clBlack;
constexpr TColor kCellLineColor = clSilver;

void FillArea(TCanvas* canvas, const TRect& r, TColor color) {
  if (r.Width() <= 0 || r.Height() <= 0) return;
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(color);
  canvas->FillRect(r);
}

}  // namespace

void TCustomGrid::Paint() {
  TCanvas* canvas = Canvas();
  const Axis cols = ColAxis();
  const Axis rows = RowAxis();
  const auto shownCols = Shown(cols);
  const auto shownRows = Shown(rows);
  const TGridRect sel = Selection();
  const bool focused = IsActiveControl();
  const bool editing = editor_ != nullptr && editor_->Visible();
  int right = 0;
  int bottom = 0;
  for (const auto& [r, y] : shownRows) {
    const int h = rows.size(r);
    for (const auto& [c, x] : shownCols) {
      const int w = cols.size(c);
      const TRect rect = Rect(x, y, x + w, y + h);
      const bool fixed = c < fixedCols_ || r < fixedRows_;
      TGridDrawState state;
      if (fixed) {
        state.Include(gdFixed);
      } else {
        if (c >= sel.Left && c <= sel.Right && r >= sel.Top && r <= sel.Bottom)
          state.Include(gdSelected);
        if (focused && c == current_.X && r == current_.Y) state.Include(gdFocused);
      }
      if (defaultDrawing_) {
        canvas->SetFont(Font());
        TColor back = fixed ? fixedColor_ : Color();
        const bool highlight = state.Contains(gdSelected) &&
                               (!state.Contains(gdFocused) ||
                                options_.Contains(goDrawFocusSelected) ||
                                options_.Contains(goRowSelect));
        if (highlight) {
          back = clHighlight;
          canvas->Font()->SetColor(clHighlightText);
        }
        FillArea(canvas, rect, back);
      }
      DrawCell(c, r, rect, state);
      if (defaultDrawing_ && fixed && options_.Contains(goFixedVertLine) &&
          options_.Contains(goFixedHorzLine)) {
        TRect edge = rect;
        DrawEdge(canvas, edge, BDR_RAISEDINNER, BF_RECT);
      }
      if (defaultDrawing_ && state.Contains(gdFocused) && !editing &&
          !options_.Contains(goRowSelect))
        canvas->DrawFocusRect(rect);
      const int vLine = cols.Line(c);
      const int hLine = rows.Line(r);
      const TColor lineColor = fixed ? kFixedLineColor : kCellLineColor;
      FillArea(canvas, Rect(rect.Right, rect.Top, rect.Right + vLine, rect.Bottom + hLine),
               lineColor);
      FillArea(canvas, Rect(rect.Left, rect.Bottom, rect.Right, rect.Bottom + hLine), lineColor);
      right = std::max(right, rect.Right + vLine);
      bottom = std::max(bottom, rect.Bottom + hLine);
    }
  }
  const TRect client = ClientRect();
  FillArea(canvas, Rect(right, 0, client.Right, client.Bottom), Color());
  FillArea(canvas, Rect(0, bottom, right, client.Bottom), Color());
}
