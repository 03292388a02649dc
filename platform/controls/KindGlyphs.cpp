#include "platform/controls/KindGlyphs.h"

#include "platform/graphics/Canvas.h"

#include <vector>

namespace {

void UsePen(TCanvas* c, TColor color, int width) {
  c->Pen()->SetColor(color);
  c->Pen()->SetWidth(width);
}

void Arrowhead(TCanvas* c, TColor color, const std::vector<TPoint>& points) {
  UsePen(c, color, 1);
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(color);
  c->Polygon(points);
}

void CheckMark(TCanvas* c, int dx) {
  UsePen(c, clGreen, 3);
  c->Polyline({{2 + dx, 9}, {6 + dx, 13}, {14 + dx, 4}});
}

void Cross(TCanvas* c) {
  UsePen(c, clRed, 3);
  c->MoveTo(4, 4);
  c->LineTo(14, 14);
  c->MoveTo(14, 4);
  c->LineTo(4, 14);
}

void StopSign(TCanvas* c) {
  UsePen(c, clRed, 1);
  c->Brush()->SetStyle(bsClear);
  c->Ellipse(1, 1, 17, 17);
  Cross(c);
}

void Door(TCanvas* c) {
  UsePen(c, clMaroon, 1);
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clOlive);
  c->Rectangle(2, 1, 11, 17);
  c->SetPixel(9, 9, clYellow);
  UsePen(c, clNavy, 2);
  c->MoveTo(11, 9);
  c->LineTo(15, 9);
  Arrowhead(c, clNavy, {{14, 5}, {17, 9}, {14, 13}});
}

void QuestionMark(TCanvas* c) {
  UsePen(c, clNavy, 2);
  c->Polyline({{5, 6}, {6, 3}, {9, 2}, {12, 3}, {13, 6}, {11, 8}, {9, 10}, {9, 12}});
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clNavy);
  c->FillRect(Rect(8, 14, 11, 17));
}

void CircularArrow(TCanvas* c) {
  UsePen(c, clNavy, 2);
  c->Brush()->SetStyle(bsClear);
  c->Ellipse(3, 3, 15, 15);
  // A gap at the top right where the arrow ends.
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(Rect(9, 1, 17, 7));
  Arrowhead(c, clNavy, {{11, 6}, {17, 6}, {14, 10}});
}

void ArrowPastBar(TCanvas* c) {
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clMaroon);
  c->FillRect(Rect(8, 9, 10, 17));
  UsePen(c, clNavy, 2);
  c->Polyline({{2, 14}, {4, 6}, {9, 3}, {13, 6}, {15, 11}});
  Arrowhead(c, clNavy, {{12, 11}, {17, 11}, {15, 15}});
}

void DrawKind(TCanvas* c, TBitBtnKind kind) {
  switch (kind) {
    case bkOK:
    case bkYes: CheckMark(c, 0); break;
    case bkAll:
      CheckMark(c, -1);
      CheckMark(c, 3);
      break;
    case bkCancel:
    case bkNo: Cross(c); break;
    case bkAbort: StopSign(c); break;
    case bkClose: Door(c); break;
    case bkHelp: QuestionMark(c); break;
    case bkRetry: CircularArrow(c); break;
    case bkIgnore: ArrowPastBar(c); break;
    case bkCustom: break;
  }
}

}  // namespace

std::unique_ptr<TBitmap> MakeKindGlyph(TBitBtnKind kind) {
  if (kind == bkCustom) return nullptr;
  auto bmp = std::make_unique<TBitmap>();
  bmp->SetSize(kKindGlyphSize, kKindGlyphSize);
  TCanvas* c = bmp->Canvas();
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(clFuchsia);
  c->FillRect(Rect(0, 0, kKindGlyphSize, kKindGlyphSize));
  DrawKind(c, kind);
  bmp->SetTransparentColor(clFuchsia);
  return bmp;
}
