#include "platform/controls/Buttons.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/classes/Filer.h"
#include "platform/controls/KindGlyphs.h"
#include "platform/controls/Label.h"
#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/DrawText.h"

#include <array>

namespace {

constexpr std::uint16_t kReturn = 0x0D;
constexpr std::uint16_t kEscape = 0x1B;
constexpr std::uint16_t kSpace = 0x20;

struct TKindInfo {
  const char* caption;
  TModalResult result;
};

constexpr std::array<TKindInfo, 11> kKinds{{{"", mrNone},
                                            {"OK", mrOk},
                                            {"Cancel", mrCancel},
                                            {"&Help", mrNone},
                                            {"&Yes", mrYes},
                                            {"&No", mrNo},
                                            {"&Close", mrNone},
                                            {"Abort", mrAbort},
                                            {"&Retry", mrRetry},
                                            {"&Ignore", mrIgnore},
                                            {"&All", mrAll}}};

int GlyphIndexFor(TButtonState state, int numGlyphs) {
  const int index = static_cast<int>(state);
  return index < numGlyphs ? index : 0;
}

TSize GlyphSize(TBitmap* glyph, int numGlyphs) {
  if (glyph->Empty()) return {0, 0};
  return {glyph->Width() / std::max(numGlyphs, 1), glyph->Height()};
}

TSize CaptionSize(TCanvas* canvas, const QString& caption) {
  if (caption.isEmpty()) return {0, 0};
  TRect r = Rect(0, 0, 0, 0);
  DrawText(canvas, caption, r, DT_SINGLELINE | DT_CALCRECT);
  return {r.Width(), r.Height()};
}

// Draws glyph and caption of a button inside rect.
void DrawGlyphAndCaption(TCanvas* canvas, const TRect& rect, TBitmap* glyph, int numGlyphs,
                         int index, const QString& caption, TButtonLayout layout, int margin,
                         int spacing, bool enabled) {
  const TSize glyphSize = GlyphSize(glyph, numGlyphs);
  const TSize textSize = CaptionSize(canvas, caption);
  const TGlyphPlacement place = PlaceGlyph(rect, glyphSize, textSize, layout, margin, spacing);
  if (glyphSize.cx > 0) DrawGlyph(canvas, glyph, numGlyphs, index, place.glyph);
  if (caption.isEmpty()) return;
  canvas->Brush()->SetStyle(bsClear);
  TRect text = place.text;
  if (!enabled) {
    TRect shifted = text;
    OffsetRect(shifted, 1, 1);
    canvas->Font()->SetColor(clBtnHighlight);
    DrawText(canvas, caption, shifted, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    canvas->Font()->SetColor(clBtnShadow);
  }
  DrawText(canvas, caption, text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

}  // namespace

const TEnumInfo kButtonLayoutIdents{"blGlyphLeft", "blGlyphRight", "blGlyphTop",
                                    "blGlyphBottom"};

namespace {

// The glyph's published properties, the same on every button that has one.
template <class T, class Base>
void DeclareGlyphProperties(TClassBuilder<T, Base>& b) {
  using G = TButtonGlyph;
  b.Object("Glyph", &G::Glyph);
  b.Property("NumGlyphs", &G::NumGlyphs, &G::SetNumGlyphs).Default(1);
  b.Property("Layout", &G::Layout, &G::SetLayout, kButtonLayoutIdents).Default(blGlyphLeft);
  b.Property("Margin", &G::Margin, &G::SetMargin).Default(-1);
  b.Property("Spacing", &G::Spacing, &G::SetSpacing).Default(4);
}

}  // namespace

// TButtonGlyph.

TButtonGlyph::TButtonGlyph(std::function<void()> changed)
    : changed_(std::move(changed)), glyph_(std::make_unique<TGlyphBitmap>()) {
  glyph_->OnChange = [this](TObject*) { changed_(); };
}

TButtonGlyph::~TButtonGlyph() = default;

void TButtonGlyph::SetNumGlyphs(int v) {
  v = std::clamp(v, 1, 4);
  if (v == numGlyphs_) return;
  numGlyphs_ = v;
  changed_();
}

void TButtonGlyph::SetLayout(TButtonLayout v) {
  layout_ = v;
  changed_();
}

void TButtonGlyph::SetMargin(int v) {
  margin_ = std::max(v, -1);
  changed_();
}

void TButtonGlyph::SetSpacing(int v) {
  spacing_ = std::max(v, -1);
  changed_();
}

void TButtonGlyph::PaintGlyph(TCanvas* canvas, const TRect& rect, TButtonState state,
                              const QString& caption, bool enabled, TBitmap* shownInstead) const {
  if (glyph_->Empty() && shownInstead != nullptr) {
    DrawGlyphAndCaption(canvas, rect, shownInstead, 1, 0, caption, layout_, margin_, spacing_,
                        enabled);
    return;
  }
  DrawGlyphAndCaption(canvas, rect, glyph_.get(), numGlyphs_, GlyphIndexFor(state, numGlyphs_),
                      caption, layout_, margin_, spacing_, enabled);
}

const TEnumInfo kBitBtnKindIdents{"bkCustom", "bkOK",    "bkCancel", "bkHelp",
                                  "bkYes",    "bkNo",    "bkClose",  "bkAbort",
                                  "bkRetry",  "bkIgnore", "bkAll"};
const TEnumInfo kModalResultIdents{
    {mrNone, "mrNone"},   {mrOk, "mrOk"},         {mrCancel, "mrCancel"},
    {mrAbort, "mrAbort"}, {mrRetry, "mrRetry"},   {mrIgnore, "mrIgnore"},
    {mrYes, "mrYes"},     {mrNo, "mrNo"},         {mrAll, "mrAll"},
    {mrNoToAll, "mrNoToAll"}, {mrYesToAll, "mrYesToAll"}};

void TGlyphBitmap::DefineProperties(TFiler* filer) {
  TBitmap::DefineProperties(filer);
  filer->DefineBinaryProperty(
      QStringLiteral("Data"), [this](TStream& s) { ReadData(s); },
      [this](TStream& s) { WriteData(s); }, !Empty());
}

TGlyphPlacement PlaceGlyph(const TRect& client, TSize glyph, TSize text, TButtonLayout layout,
                           int margin, int spacing) {
  const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  const int avail = horizontal ? client.Width() : client.Height();
  const int glyphLen = horizontal ? glyph.cx : glyph.cy;
  const int textLen = horizontal ? text.cx : text.cy;
  if (glyphLen == 0 || textLen == 0) spacing = 0;
  if (margin < 0) {
    if (spacing < 0) {
      spacing = (avail - glyphLen - textLen) / 3;
      margin = spacing;
    } else {
      margin = (avail - glyphLen - spacing - textLen + 1) / 2;
    }
  } else if (spacing < 0) {
    spacing = (avail - margin - glyphLen - textLen) / 2;
  }
  if (glyphLen == 0 || textLen == 0) spacing = 0;
  // Positions along the layout's axis, from the client's start.
  int glyphAt = margin;
  int textAt = margin + glyphLen + spacing;
  if (layout == blGlyphRight || layout == blGlyphBottom) {
    glyphAt = avail - margin - glyphLen;
    textAt = glyphAt - spacing - textLen;
  }
  TGlyphPlacement p;
  if (horizontal) {
    p.glyph = {client.Left + glyphAt, client.Top + (client.Height() - glyph.cy + 1) / 2};
    const int top = client.Top + (client.Height() - text.cy + 1) / 2;
    p.text = Rect(client.Left + textAt, top, client.Left + textAt + text.cx, top + text.cy);
  } else {
    p.glyph = {client.Left + (client.Width() - glyph.cx + 1) / 2, client.Top + glyphAt};
    const int left = client.Left + (client.Width() - text.cx + 1) / 2;
    p.text = Rect(left, client.Top + textAt, left + text.cx, client.Top + textAt + text.cy);
  }
  return p;
}

void DrawGlyph(TCanvas* canvas, TBitmap* glyph, int numGlyphs, int index, TPoint p) {
  if (glyph == nullptr || glyph->Empty()) return;
  const TSize size = GlyphSize(glyph, numGlyphs);
  const TRect source = Rect(index * size.cx, 0, (index + 1) * size.cx, size.cy);
  canvas->TransparentBlt(Rect(p.X, p.Y, p.X + size.cx, p.Y + size.cy), glyph->Image(), source,
                         glyph->TransparentColor());
}

// TButton.

TButton::TButton(TComponent* owner) : TCustomControl(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csSetCaption);
  style.Exclude(csDoubleClicks);
  SetControlStyle(style);
  SetBounds(0, 0, 75, 25);
  SetColor(clBtnFace);
  SetTabStop(true);
}

TButton::~TButton() = default;

void TButton::SetDefault(bool v) {
  if (v == default_) return;
  default_ = v;
  Invalidate();
}

void TButton::SetCancel(bool v) { cancel_ = v; }

void TButton::Click() {
  if (modalResult_ != mrNone) {
    if (auto* form = dynamic_cast<TForm*>(ParentForm())) form->SetModalResult(modalResult_);
  }
  TCustomControl::Click();
}

void TButton::SetPressed(bool v) {
  if (v == pressed_) return;
  pressed_ = v;
  Invalidate();
}

void TButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && Enabled()) {
    if (CanFocus()) SetFocus();
    SetPressed(true);
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TButton::MouseMove(TShiftState shift, int x, int y) {
  if (MouseCapture()) SetPressed(ClientRect().Contains({x, y}));
  TCustomControl::MouseMove(shift, x, y);
}

void TButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) SetPressed(false);
  TCustomControl::MouseUp(button, shift, x, y);
}

void TButton::KeyDown(std::uint16_t& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == kReturn) {
    key = 0;
    Click();
  } else if (key == kSpace) {
    SetPressed(true);
  }
}

void TButton::KeyUp(std::uint16_t& key, TShiftState shift) {
  TCustomControl::KeyUp(key, shift);
  if (key == kSpace && pressed_) {
    SetPressed(false);
    Click();
  }
}

void TButton::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGKEY) {
    const bool mine = (m.WParam == kReturn && default_) || (m.WParam == kEscape && cancel_);
    if (mine && Enabled() && Visible()) {
      Click();
      m.Result = 1;
      return;
    }
  }
  if (m.Msg == CM_DIALOGCHAR && IsAccelOf(m.WParam, Caption()) && Enabled() && Visible()) {
    if (CanFocus()) SetFocus();
    Click();
    m.Result = 1;
    return;
  }
  TCustomControl::WndProc(m);
}

void TButton::Paint() {
  TCanvas* canvas = Canvas();
  TRect rect = ClientRect();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(rect);
  if (default_ || Focused()) {
    canvas->Brush()->SetColor(clWindowFrame);
    canvas->FrameRect(rect);
    InflateRect(rect, -1, -1);
  }
  DrawEdge(canvas, rect, pressed_ ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
  if (pressed_) OffsetRect(rect, 1, 1);
  canvas->SetFont(Font());
  PaintContent(canvas, rect);
  if (Focused()) {
    TRect focus = ClientRect();
    InflateRect(focus, -4, -4);
    canvas->DrawFocusRect(focus);
  }
}

void TButton::PaintContent(TCanvas* canvas, const TRect& rect) {
  canvas->Brush()->SetStyle(bsClear);
  TRect text = rect;
  if (!Enabled()) {
    TRect shifted = text;
    OffsetRect(shifted, 1, 1);
    canvas->Font()->SetColor(clBtnHighlight);
    DrawText(canvas, Caption(), shifted, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    canvas->Font()->SetColor(clBtnShadow);
  }
  DrawText(canvas, Caption(), text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
}

void TButton::DeclareProperties(TClassBuilder<TButton, TCustomControl>& b) {
  b.Property("Default", &TButton::Default, &TButton::SetDefault).Default(false);
  b.Property("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
  b.Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult,
             kModalResultIdents)
      .Default(mrNone);
}

// TBitBtn.

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner), TButtonGlyph([this] { Invalidate(); }) {}

void TBitBtn::SetKind(TBitBtnKind v) {
  if (v == kind_) return;
  kind_ = v;
  kindGlyph_ = MakeKindGlyph(v);
  if (v != bkCustom) {
    const TKindInfo& info = kKinds.at(static_cast<std::size_t>(v));
    if (v == bkOK || v == bkYes) SetDefault(true);
    if (v == bkCancel || v == bkNo) SetCancel(true);
    // A caption read from the form file before the kind stays.
    if (!captionRead_) SetCaption(QString::fromLatin1(info.caption));
    SetModalResult(info.result);
  }
  Invalidate();
}

void TBitBtn::Loaded() {
  TButton::Loaded();
  captionRead_ = false;
}

void TBitBtn::WndProc(TMessage& m) {
  if (m.Msg == CM_TEXTCHANGED && ComponentState().Contains(csLoading)) captionRead_ = true;
  TButton::WndProc(m);
}

void TBitBtn::Click() {
  if (kind_ == bkClose) {
    if (auto* form = dynamic_cast<TForm*>(ParentForm())) form->Close();
  }
  TButton::Click();
}

void TBitBtn::PaintContent(TCanvas* canvas, const TRect& rect) {
  const TButtonState state = !Enabled() ? bsDisabled : Pressed() ? bsDown : bsUp;
  PaintGlyph(canvas, rect, state, Caption(), Enabled(), kindGlyph_.get());
}

void TBitBtn::DeclareProperties(TClassBuilder<TBitBtn, TButton>& b) {
  b.Property("Kind", &TBitBtn::Kind, &TBitBtn::SetKind, kBitBtnKindIdents).Default(bkCustom);
  DeclareGlyphProperties(b);
}

// TSpeedButton.

TSpeedButton::TSpeedButton(TComponent* owner)
    : TGraphicControl(owner), TButtonGlyph([this] { Invalidate(); }) {
  TControlStyle style = ControlStyle();
  style.Include(csDoubleClicks);
  SetControlStyle(style);
  SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetState(TButtonState v) {
  if (v == state_) return;
  state_ = v;
  Invalidate();
}

void TSpeedButton::SetGroupIndex(int v) {
  if (v == groupIndex_) return;
  groupIndex_ = v;
  if (v == 0 && down_) SetDown(false);
  UpdateExclusive();
}

void TSpeedButton::SetAllowAllUp(bool v) {
  if (v == allowAllUp_) return;
  allowAllUp_ = v;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool v) {
  if (groupIndex_ == 0) v = false;
  if (v == down_) return;
  // The one down button of a group without AllowAllUp stays down.
  if (down_ && !allowAllUp_ && !ComponentState().Contains(csLoading)) return;
  down_ = v;
  SetState(v ? bsExclusive : bsUp);
  if (v) UpdateExclusive();
  Invalidate();
}

void TSpeedButton::UpdateExclusive() {
  if (groupIndex_ == 0 || Parent() == nullptr) return;
  TWinControl* parent = Parent();
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* other = dynamic_cast<TSpeedButton*>(parent->Controls(i));
    if (other == nullptr || other == this || other->groupIndex_ != groupIndex_) continue;
    if (down_ && other->down_) {
      other->down_ = false;
      other->SetState(bsUp);
    }
    other->allowAllUp_ = allowAllUp_;
  }
}

void TSpeedButton::Loaded() {
  TGraphicControl::Loaded();
  if (down_) UpdateExclusive();
}

void TSpeedButton::SetFlat(bool v) {
  flat_ = v;
  Invalidate();
}

void TSpeedButton::Click() { TGraphicControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (!down_) SetState(bsDown);
  dragging_ = true;
}

void TSpeedButton::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_) return;
  const bool inside = ClientRect().Contains({x, y});
  if (!down_) SetState(inside ? bsDown : bsUp);
}

void TSpeedButton::FinishPress(int x, int y) {
  dragging_ = false;
  const bool inside = ClientRect().Contains({x, y});
  if (groupIndex_ != 0 && inside) SetDown(!down_);
  SetState(down_ ? bsExclusive : bsUp);
}

void TSpeedButton::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONUP: {
      // Down changes before the base fires the click.
      if (dragging_) FinishPress(LoWordSigned(m.LParam), HiWordSigned(m.LParam));
      break;
    }
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (m.LParam == reinterpret_cast<LPARAM>(this)) {
        mouseInside_ = m.Msg == CM_MOUSEENTER;
        if (flat_) Invalidate();
      }
      break;
    case CM_ENABLEDCHANGED:
      SetState(!Enabled() ? bsDisabled : down_ ? bsExclusive : bsUp);
      break;
    default:
      break;
  }
  TGraphicControl::WndProc(m);
}

void TSpeedButton::Paint() {
  TCanvas* canvas = Canvas();
  TRect rect = ClientRect();
  const bool pushed = state_ == bsDown || state_ == bsExclusive;
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(state_ == bsExclusive ? cl3DLight : clBtnFace);
  canvas->FillRect(rect);
  if (!flat_) {
    DrawEdge(canvas, rect, pushed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT | BF_ADJUST);
  } else if (pushed) {
    DrawEdge(canvas, rect, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
  } else if (mouseInside_ && Enabled()) {
    DrawEdge(canvas, rect, BDR_RAISEDINNER, BF_RECT | BF_ADJUST);
  }
  if (pushed) OffsetRect(rect, 1, 1);
  canvas->SetFont(Font());
  PaintGlyph(canvas, rect, state_, Caption(), Enabled());
}

void TSpeedButton::DeclareProperties(TClassBuilder<TSpeedButton, TGraphicControl>& b) {
  b.Property("AllowAllUp", &TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp)
      .Default(false);
  b.Property("GroupIndex", &TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex).Default(0);
  b.Property("Down", &TSpeedButton::Down, &TSpeedButton::SetDown).Default(false);
  b.Property("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat).Default(false);
  DeclareGlyphProperties(b);
}

void RegisterButtonClasses() {
  if (GetClass(QStringLiteral("TButton")) == nullptr) RegisterClass<TButton>();
  if (GetClass(QStringLiteral("TBitBtn")) == nullptr) RegisterClass<TBitBtn>();
  if (GetClass(QStringLiteral("TSpeedButton")) == nullptr) RegisterClass<TSpeedButton>();
}
