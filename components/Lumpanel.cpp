#include "components/Lumpanel.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/DrawText.h"

namespace {

void EdgeBevel(TCanvas* canvas, TRect& rect, TBevelCut cut, TBevelEdges edges, int width,
               TColor face) {
  switch (cut) {
    case bvNone: return;
    case bvLowered: Frame3DEdges(canvas, rect, clBtnShadow, edges, width, clBtnHighlight); return;
    case bvRaised: Frame3DEdges(canvas, rect, clBtnHighlight, edges, width, clBtnShadow); return;
    case bvSpace: Frame3DEdges(canvas, rect, face, edges, width, face); return;
  }
}

}  // namespace

TCustomEdgePanel::TCustomEdgePanel(TComponent* owner) : TCustomPanel(owner) {
  TControlStyle style = ControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
}

void TCustomEdgePanel::SetBevelEdges(TBevelEdges value) {
  if (value == bevelEdges_)
    return;
  bevelEdges_ = value;
  Invalidate();
}

void TCustomEdgePanel::Paint() {
  if (bevelEdges_ == kAllBevelEdges) {
    TCustomPanel::Paint();
    return;
  }
  TCanvas* canvas = Canvas();
  TRect rect = ClientRect();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(rect);
  EdgeBevel(canvas, rect, BevelOuter(), bevelEdges_, BevelWidth(), Color());
  Frame3D(canvas, rect, Color(), Color(), BorderWidth());
  EdgeBevel(canvas, rect, BevelInner(), bevelEdges_, BevelWidth(), Color());
  canvas->Brush()->SetStyle(bsClear);
  canvas->SetFont(Font());
  const int textHeight = canvas->TextHeight(QStringLiteral("W"));
  rect.Top = (rect.Top + rect.Bottom - textHeight) / 2;
  rect.Bottom = rect.Top + textHeight;
  DrawText(canvas, Caption(), rect,
           DT_EXPANDTABS | DT_SINGLELINE | DT_VCENTER | AlignmentFlag(Alignment()));
}

void TEdgePanel::DeclareProperties(TClassBuilder<TEdgePanel, TCustomEdgePanel>& b) {
  b.Property("BevelEdges", &TEdgePanel::BevelEdges, &TEdgePanel::SetBevelEdges, kBevelEdgeIdents)
      .Default(kAllBevelEdges);
}

void RegisterEdgePanelClasses() {
  if (GetClass(QStringLiteral("TEdgePanel")) == nullptr)
    RegisterClass<TEdgePanel>();
}
