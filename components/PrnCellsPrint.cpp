// Splitting cells and printing the page.
#include "components/PrnCells.h"

#include "platform/controls/Application.h"
#include "platform/controls/Memo.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/Picture.h"
#include "platform/printing/Printer.h"

namespace {

float Scaled(TMeasurement m, float size, float whole) {
  return m == mtPercentage ? size * whole : size;
}

TGraphic* PictureOf(TObject* content) {
  if (auto* graphic = dynamic_cast<TGraphic*>(content))
    return graphic;
  if (auto* picture = dynamic_cast<TPicture*>(content))
    return picture->Graphic();
  return nullptr;
}

}  // namespace

void TPrnCells::SplitCellRows(const QString& name, const TSizeList& rows) {
  const TCell* base = Selected(0);
  if (base == nullptr)
    throw ECellError(QStringLiteral("Invalid cell"));
  const float width = measurement_ == mtPercentage ? 1.0F : base->Width();
  SplitCell(name, TSizeList{width}, rows);
}

void TPrnCells::SplitCellGrid(const QString& name, const TSizeList& columns,
                              const TSizeList& rows) {
  SplitCell(name, columns, rows);
}

void TPrnCells::SplitCell(const QString& name, const TSizeList& columns, const TSizeList& rows) {
  TCell* base = Selected(0);
  if (base == nullptr)
    throw ECellError(QStringLiteral("Invalid cell"));
  const int rowCount = CountSizes(rows);
  const int columnCount = CountSizes(columns);
  if (rowCount == 0 || columnCount == 0)
    return;
  const std::vector<TCell*> before = selection_;
  selection_.clear();
  try {
    TSizeCursor rowCursor;
    float y = base->Top();
    for (int r = 1; r <= rowCount; ++r) {
      float h = 0.0F;
      NextSize(rows, rowCursor, h);
      h = Scaled(measurement_, h, base->Height());
      float x = base->Left();
      TCell* last = nullptr;
      TSizeCursor columnCursor;
      for (int c = 1; c <= columnCount; ++c) {
        QString cellName = name;
        if (rowCount > 1)
          cellName += QStringLiteral("R%1").arg(r);
        if (columnCount > 1)
          cellName += QStringLiteral("C%1").arg(c);
        float w = 0.0F;
        NextSize(columns, columnCursor, w);
        w = Scaled(measurement_, w, base->Width());
        last = CreateCell(cellName, x, y, w, h);
        selection_.push_back(last);
        if (last->Bottom() > base->Bottom())
          last->SetBottom(base->Bottom());
        x = last->Right();
        if (x >= base->Right()) {
          last->SetRight(base->Right());
          break;
        }
      }
      y = last->Bottom();
      if (y == base->Bottom())
        break;
    }
  } catch (...) {
    const std::vector<TCell*> made = selection_;
    for (TCell* cell : made)
      Remove(cell);
    selection_ = before;
    throw;
  }
  Remove(base);
}

void TPrnCells::Notify(const TNotifyEvent& event) {
  if (!event)
    return;
  try {
    event(this);
  } catch (...) {
    if (Application == nullptr)
      throw;
    Application->HandleException(this);
  }
}

TRect TPrnCells::PixelRect(const TCell& cell) const {
  auto x = [&](float v) {
    return RoundPixels(ConvertUnits(measurement_, mtPixels, dpiX_, extentX_, v));
  };
  auto y = [&](float v) {
    return RoundPixels(ConvertUnits(measurement_, mtPixels, dpiY_, extentY_, v));
  };
  return Rect(x(cell.Left()), y(cell.Top()), x(cell.Right()), y(cell.Bottom()));
}

void TPrnCells::DrawCell(TCanvas* canvas, const TCell& cell) const {
  const TRect r = PixelRect(cell);
  const float size = Scaled(measurement_, cell.Font.Size, cell.Height());
  const int height = RoundPixels(ConvertUnits(measurement_, mtPixels, dpiY_, extentY_, size));
  if (cell.Brush.Style != bsClear) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(clWhite);
    canvas->FillRect(r);
  }
  ApplyCellBrush(canvas, cell.Brush);
  if (cell.Brush.Style != bsClear)
    canvas->FillRect(r);
  canvas->Brush()->SetStyle(bsClear);
  ApplyCellFont(canvas, cell.Font, height);
  switch (cell.ContentKind) {
    case 0:
      if (cell.VerticalText)
        DrawTurnedText(canvas, cell.Text(), r, cell.ShrinkToFit, cell.VertAlign, cell.HorzAlign);
      else
        DrawCellText(canvas, cell.Text(), r, cell.ShrinkToFit, cell.WordWrap, cell.VertAlign,
                     cell.HorzAlign);
      break;
    case 1:
      DrawCellPicture(canvas, PictureOf(cell.Content.get()), r, cell.VertAlign, cell.HorzAlign,
                      cell.Stretch);
      break;
    case 2:
      DrawCellRichText(canvas, dynamic_cast<TRichEdit*>(cell.Content.get()), r, dpiX_);
      break;
    default:
      break;
  }
  if (!borderPass_)
    DrawBorders(canvas, cell);
}

void TPrnCells::DrawBorders(TCanvas* canvas, const TCell& cell) const {
  const TRect r = PixelRect(cell);
  const auto& b = cell.Borders;
  ApplyBorderPen(canvas, b[csLeft]);
  TBorderSpan s = VertBorderSpan(b[csLeft], b[csTop], b[csBottom], r);
  VertBorderLine(canvas, r.Left, s.Start, s.Length);
  ApplyBorderPen(canvas, b[csTop]);
  s = HorzBorderSpan(b[csTop], b[csLeft], b[csRight], r);
  HorzBorderLine(canvas, s.Start, r.Top, s.Length);
  ApplyBorderPen(canvas, b[csRight]);
  s = VertBorderSpan(b[csRight], b[csTop], b[csBottom], r);
  VertBorderLine(canvas, r.Right, s.Start, s.Length);
  ApplyBorderPen(canvas, b[csBottom]);
  s = HorzBorderSpan(b[csBottom], b[csLeft], b[csRight], r);
  HorzBorderLine(canvas, s.Start, r.Bottom, s.Length);
}

void TPrnCells::Print(const QString& title) {
  Notify(BeforePrint);
  TPrinter* printer = Printer();
  printer->SetTitle(title);
  printer->BeginDoc();
  try {
    const TPageMetrics m = printer->Metrics();
    dpiX_ = m.DpiX;
    dpiY_ = m.DpiY;
    extentX_ = m.Width - 1;
    extentY_ = m.Height - 1;
    TCanvas* canvas = printer->Canvas();
    for (const Entry& e : cells_)
      if (e.second->Visible)
        DrawCell(canvas, *e.second);
    if (borderPass_)
      for (const Entry& e : cells_)
        if (e.second->Visible)
          DrawBorders(canvas, *e.second);
  } catch (...) {
    // An unfinished page is never sent: the printer is free for the next job.
    if (printer->Printing())
      printer->Abort();
    throw;
  }
  Notify(DuringPrint);
  printer->EndDoc();
  Notify(AfterPrint);
}
