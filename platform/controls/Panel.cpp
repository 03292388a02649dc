#include "platform/controls/Panel.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/DrawText.h"

const TEnumInfo kBevelCutIdents{"bvNone", "bvLowered", "bvRaised", "bvSpace"};
const TEnumInfo kBevelShapeIdents{"bsBox",       "bsFrame",     "bsTopLine", "bsBottomLine",
                                  "bsLeftLine",  "bsRightLine", "bsSpacer"};
const TEnumInfo kBevelStyleIdents{"bsLowered", "bsRaised"};
const TEnumInfo kPanelBorderStyleIdents{{bsNone, "bsNone"}, {bsSingle, "bsSingle"}};

void DrawPanelBevels(TCanvas* canvas, TRect& rect, TBevelCut outer, TBevelCut inner,
                     int bevelWidth, int borderWidth, TColor face) {
  auto bevel = [&](TBevelCut cut) {
    switch (cut) {
      case bvNone: return;
      case bvLowered: Frame3D(canvas, rect, clBtnShadow, clBtnHighlight, bevelWidth); return;
      case bvRaised: Frame3D(canvas, rect, clBtnHighlight, clBtnShadow, bevelWidth); return;
      case bvSpace: Frame3D(canvas, rect, face, face, bevelWidth); return;
    }
  };
  bevel(outer);
  Frame3D(canvas, rect, face, face, borderWidth);
  bevel(inner);
}

void DrawBevelRect(TCanvas* canvas, const TRect& r, TColor topLeft, TColor bottomRight) {
  const int right = r.Right - 1;
  const int bottom = r.Bottom - 1;
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetColor(topLeft);
  canvas->Polyline({{r.Left, bottom}, {r.Left, r.Top}, {right, r.Top}});
  canvas->Pen()->SetColor(bottomRight);
  canvas->Polyline({{right, r.Top}, {right, bottom}, {r.Left - 1, bottom}});
}

// Panel.

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csAcceptsControls);
  style.Include(csOpaque);
  style.Exclude(csSetCaption);
  SetControlStyle(style);
  SetBounds(0, 0, 185, 41);
  SetColor(clBtnFace);
}

void TCustomPanel::Changed() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut v) {
  if (v == bevelInner_) return;
  bevelInner_ = v;
  Changed();
}

void TCustomPanel::SetBevelOuter(TBevelCut v) {
  if (v == bevelOuter_) return;
  bevelOuter_ = v;
  Changed();
}

void TCustomPanel::SetBevelWidth(int v) {
  v = std::max(v, 1);
  if (v == bevelWidth_) return;
  bevelWidth_ = v;
  Changed();
}

void TCustomPanel::SetBorderWidth(int v) {
  v = std::max(v, 0);
  if (v == borderWidth_) return;
  borderWidth_ = v;
  Changed();
}

void TCustomPanel::SetBorderStyle(TBorderStyle v) {
  if (v != bsSingle) v = bsNone;
  if (v == borderStyle_) return;
  borderStyle_ = v;
  Changed();
}

void TCustomPanel::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  Invalidate();
}

int TCustomPanel::FrameSize() const {
  int size = borderWidth_ + (borderStyle_ == bsSingle ? 1 : 0);
  if (bevelOuter_ != bvNone) size += bevelWidth_;
  if (bevelInner_ != bvNone) size += bevelWidth_;
  return size;
}

void TCustomPanel::AlignControls(TControl* control, TRect& rect) {
  const int size = FrameSize();
  InflateRect(rect, -size, -size);
  TCustomControl::AlignControls(control, rect);
}

void TCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  TRect rect = ClientRect();
  if (borderStyle_ == bsSingle) Frame3D(canvas, rect, clWindowFrame, clWindowFrame, 1);
  DrawPanelBevels(canvas, rect, bevelOuter_, bevelInner_, bevelWidth_, borderWidth_, Color());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(rect);
  canvas->Brush()->SetStyle(bsClear);
  canvas->SetFont(Font());
  const int textHeight = canvas->TextHeight(QStringLiteral("W"));
  rect.Top = (rect.Top + rect.Bottom - textHeight) / 2;
  rect.Bottom = rect.Top + textHeight;
  DrawText(canvas, Caption(), rect, DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER |
                                        AlignmentFlag(alignment_));
}

void TCustomPanel::DeclareProperties(TClassBuilder<TCustomPanel, TCustomControl>& b) {
  b.Property("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner,
             kBevelCutIdents)
      .Default(bvNone);
  b.Property("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter,
             kBevelCutIdents)
      .Default(bvRaised);
  b.Property("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth).Default(1);
  b.Property("BorderWidth", &TCustomPanel::BorderWidth, &TCustomPanel::SetBorderWidth)
      .Default(0);
  b.Property("BorderStyle", &TCustomPanel::BorderStyle, &TCustomPanel::SetBorderStyle,
             kPanelBorderStyleIdents)
      .Default(bsNone);
  b.Property("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment,
             kAlignmentIdents)
      .Default(taCenter);
}

// Bevel.

TBevel::TBevel(TComponent* owner) : TGraphicControl(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csReplicatable);
  SetControlStyle(style);
  SetBounds(0, 0, 50, 50);
}

void TBevel::SetShape(TBevelShape v) {
  if (v == shape_) return;
  shape_ = v;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle v) {
  if (v == style_) return;
  style_ = v;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* canvas = Canvas();
  const TColor dark = clBtnShadow;
  const TColor light = clBtnHighlight;
  const TColor first = style_ == bsLowered ? dark : light;
  const TColor second = style_ == bsLowered ? light : dark;
  const int w = Width();
  const int h = Height();
  auto line = [canvas](TColor color, int x1, int y1, int x2, int y2) {
    canvas->Pen()->SetWidth(1);
    canvas->Pen()->SetStyle(psSolid);
    canvas->Pen()->SetColor(color);
    canvas->MoveTo(x1, y1);
    canvas->LineTo(x2, y2);
  };
  switch (shape_) {
    case bsBox: DrawBevelRect(canvas, Rect(0, 0, w, h), first, second); break;
    case bsFrame:
      // Two boxes one pixel apart make the etched (or bumped) frame.
      DrawBevelRect(canvas, Rect(1, 1, w, h), second, second);
      DrawBevelRect(canvas, Rect(0, 0, w - 1, h - 1), first, first);
      break;
    case bsTopLine:
      line(first, 0, 0, w, 0);
      line(second, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(first, 0, h - 2, w, h - 2);
      line(second, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(first, 0, 0, 0, h);
      line(second, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(first, w - 2, 0, w - 2, h);
      line(second, w - 1, 0, w - 1, h);
      break;
    case bsSpacer: break;
  }
}

void TBevel::DeclareProperties(TClassBuilder<TBevel, TGraphicControl>& b) {
  b.Property("Shape", &TBevel::Shape, &TBevel::SetShape, kBevelShapeIdents).Default(bsBox);
  b.Property("Style", &TBevel::Style, &TBevel::SetStyle, kBevelStyleIdents).Default(bsLowered);
}

// Group box.

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csAcceptsControls);
  style.Include(csSetCaption);
  SetControlStyle(style);
  SetBounds(0, 0, 185, 105);
  SetColor(clBtnFace);
}

int TCustomGroupBox::CaptionHeight() {
  Canvas()->SetFont(Font());
  return Canvas()->TextHeight(QStringLiteral("0"));
}

void TCustomGroupBox::AlignControls(TControl* control, TRect& rect) {
  rect.Top += CaptionHeight();
  InflateRect(rect, -1, -1);
  TCustomControl::AlignControls(control, rect);
}

void TCustomGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  const int h = CaptionHeight();
  const TRect client = ClientRect();
  const TRect frame = Rect(client.Left, client.Top + h / 2, client.Right, client.Bottom);
  DrawBevelRect(canvas, Rect(frame.Left + 1, frame.Top + 1, frame.Right, frame.Bottom),
                clBtnHighlight, clBtnHighlight);
  DrawBevelRect(canvas, Rect(frame.Left, frame.Top, frame.Right - 1, frame.Bottom - 1),
                clBtnShadow, clBtnShadow);
  if (Caption().isEmpty()) return;
  TRect text = Rect(8, 0, 0, h);
  DrawText(canvas, Caption(), text, DT_SINGLELINE | DT_CALCRECT);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  DrawText(canvas, Caption(), text, DT_SINGLELINE);
}

void RegisterPanelClasses() {
  if (GetClass(QStringLiteral("TPanel")) == nullptr) RegisterClass<TPanel>();
  if (GetClass(QStringLiteral("TBevel")) == nullptr) RegisterClass<TBevel>();
  if (GetClass(QStringLiteral("TGroupBox")) == nullptr) RegisterClass<TGroupBox>();
}
