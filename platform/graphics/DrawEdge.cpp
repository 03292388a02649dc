#include "platform/graphics/DrawEdge.h"

namespace {

struct LineColors {
  TColor topLeft;
  TColor bottomRight;
};

// Colours of one line: bits 1 raised, 2 sunken; none when neither or both.
std::optional<LineColors> ColorsOf(unsigned bits, bool outer, unsigned flags) {
  if (bits != 1 && bits != 2)
    return std::nullopt;
  if (flags & BF_MONO)
    return outer ? LineColors{clWindowFrame, clWindowFrame} : LineColors{clWindow, clWindow};
  if (flags & BF_FLAT)
    return outer ? LineColors{clBtnShadow, clBtnShadow} : LineColors{clBtnFace, clBtnFace};
  const bool soft = flags & BF_SOFT;
  const bool raised = bits == 1;
  if (outer && raised)
    return LineColors{soft ? clBtnHighlight : cl3DLight, cl3DDkShadow};
  if (outer)
    return LineColors{soft ? cl3DDkShadow : clBtnShadow, clBtnHighlight};
  if (raised)
    return LineColors{soft ? cl3DLight : clBtnHighlight, clBtnShadow};
  return LineColors{soft ? clBtnShadow : cl3DDkShadow, cl3DLight};
}

void Strip(TCanvas* canvas, int left, int top, int right, int bottom, TColor color) {
  if (right <= left || bottom <= top)
    return;
  canvas->Brush()->SetColor(color);
  canvas->FillRect(Rect(left, top, right, bottom));
}

// One line on the flagged sides of r; then r shrinks on those sides.
void EdgeLine(TCanvas* canvas, TRect& r, const LineColors& c, unsigned flags) {
  if (flags & BF_TOP)
    Strip(canvas, r.Left, r.Top, r.Right - 1, r.Top + 1, c.topLeft);
  if (flags & BF_LEFT)
    Strip(canvas, r.Left, r.Top, r.Left + 1, r.Bottom - 1, c.topLeft);
  if (flags & BF_BOTTOM)
    Strip(canvas, r.Left, r.Bottom - 1, r.Right, r.Bottom, c.bottomRight);
  if (flags & BF_RIGHT)
    Strip(canvas, r.Right - 1, r.Top, r.Right, r.Bottom, c.bottomRight);
  if (flags & BF_LEFT)
    ++r.Left;
  if (flags & BF_TOP)
    ++r.Top;
  if (flags & BF_RIGHT)
    --r.Right;
  if (flags & BF_BOTTOM)
    --r.Bottom;
}

}  // namespace

bool DrawEdge(TCanvas* canvas, TRect& rect, unsigned edge, unsigned flags) {
  const unsigned outerBits = edge & BDR_OUTER, innerBits = (edge & BDR_INNER) >> 2;
  const auto outer = ColorsOf(outerBits, true, flags);
  const auto inner = ColorsOf(innerBits, false, flags);
  if (outerBits == 3 || innerBits == 3)
    return false;
  const TColor brushColor = canvas->Brush()->Color();
  const TBrushStyle brushStyle = canvas->Brush()->Style();
  TRect r = rect;
  if (outer)
    EdgeLine(canvas, r, *outer, flags);
  if (inner)
    EdgeLine(canvas, r, *inner, flags);
  if (flags & BF_MIDDLE)
    Strip(canvas, r.Left, r.Top, r.Right, r.Bottom, (flags & BF_MONO) ? clWindow : clBtnFace);
  canvas->Brush()->SetColor(brushColor);
  canvas->Brush()->SetStyle(brushStyle);
  if (flags & BF_ADJUST)
    rect = r;
  return true;
}

void Frame3D(TCanvas* canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
  TPen* pen = canvas->Pen();
  pen->SetWidth(1);
  --rect.Bottom;
  --rect.Right;
  for (; width > 0; --width) {
    pen->SetColor(topColor);
    canvas->Polyline({{rect.Left, rect.Bottom}, {rect.Left, rect.Top}, {rect.Right, rect.Top}});
    pen->SetColor(bottomColor);
    canvas->Polyline(
        {{rect.Right, rect.Top}, {rect.Right, rect.Bottom}, {rect.Left - 1, rect.Bottom}});
    InflateRect(rect, -1, -1);
  }
  ++rect.Bottom;
  ++rect.Right;
}
