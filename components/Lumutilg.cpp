#include "components/Lumutilg.h"

const TEnumInfo kBevelEdgeIdents{"beLeft", "beTop", "beRight", "beBottom"};

namespace {

void To(TCanvas* canvas, bool draw, int x, int y) {
  if (draw)
    canvas->LineTo(x, y);
  else
    canvas->MoveTo(x, y);
}

}  // namespace

void Frame3DEdges(TCanvas* canvas, TRect& rect, TColor topLeft, TBevelEdges edges, int width,
                  TColor bottomRight) {
  TPen* pen = canvas->Pen();
  pen->SetWidth(1);
  pen->SetStyle(psSolid);
  --rect.Right;
  --rect.Bottom;
  for (; width > 0; --width) {
    canvas->MoveTo(rect.Left, rect.Bottom);
    pen->SetColor(topLeft);
    To(canvas, edges.Contains(beLeft), rect.Left, rect.Top);
    To(canvas, edges.Contains(beTop), rect.Right, rect.Top);
    pen->SetColor(bottomRight);
    To(canvas, edges.Contains(beRight), rect.Right, rect.Bottom);
    To(canvas, edges.Contains(beBottom), rect.Left - 1, rect.Bottom);
    InflateRect(rect, -1, -1);
  }
  ++rect.Right;
  ++rect.Bottom;
}
