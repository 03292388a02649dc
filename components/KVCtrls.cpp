#include "components/KVCtrls.h"

#include "components/KvUtils.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/DrawText.h"
#include "platform/rtl/StringList.h"

#include <algorithm>

const TEnumInfo kShadowPositionIdents{"spLeftTop", "spLeftBottom", "spRightBottom", "spRightTop"};
const TEnumInfo kGlyphLayoutIdents{"glGlyphLeft", "glGlyphRight", "glGlyphTop", "glGlyphBottom"};

int DrawShadowText(TCanvas* canvas, const QString& text, TRect& rect, unsigned format,
                   TColor shadowColor, int size, TShadowPosition position) {
  TRect shadow = rect;
  switch (position) {
    case spLeftTop: OffsetRect(shadow, -size, -size); break;
    case spLeftBottom: OffsetRect(shadow, -size, size); break;
    case spRightBottom: OffsetRect(shadow, size, size); break;
    case spRightTop: OffsetRect(shadow, size, -size); break;
  }
  const TColor textColor = canvas->Font()->Color();
  canvas->Font()->SetColor(shadowColor);
  DrawText(canvas, text, shadow, format);
  canvas->Font()->SetColor(textColor);
  const int height = DrawText(canvas, text, rect, format);
  rect = UnionRect(rect, shadow);
  return height > 0 ? height + size : height;
}

// Shadow label.

TKvCustomLabel::TKvCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csOpaque);
  style.Include(csReplicatable);
  SetControlStyle(style);
  SetBounds(0, 0, 65, 17);
  SetParentColor(true);
}

void TKvCustomLabel::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  Invalidate();
}

void TKvCustomLabel::SetAutoSize(bool v) {
  if (v == autoSize_) return;
  autoSize_ = v;
  AdjustBounds();
}

void TKvCustomLabel::SetLayout(TTextLayout v) {
  if (v == layout_) return;
  layout_ = v;
  Invalidate();
}

void TKvCustomLabel::SetShadowColor(TColor v) {
  if (v == shadowColor_) return;
  shadowColor_ = v;
  Invalidate();
}

void TKvCustomLabel::SetShadowSize(std::uint8_t v) {
  if (v == shadowSize_) return;
  shadowSize_ = v;
  AdjustBounds();
  Invalidate();
}

void TKvCustomLabel::SetShadowPos(TShadowPosition v) {
  if (v == shadowPos_) return;
  shadowPos_ = v;
  Invalidate();
}

void TKvCustomLabel::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  AdjustBounds();
}

void TKvCustomLabel::SetShowAccelChar(bool v) {
  if (v == showAccelChar_) return;
  showAccelChar_ = v;
  Invalidate();
}

void TKvCustomLabel::SetShowFocus(bool v) {
  if (v == showFocus_) return;
  showFocus_ = v;
  Invalidate();
}

void TKvCustomLabel::SetTransparent(bool v) {
  TControlStyle style = ControlStyle();
  if (v)
    style.Exclude(csOpaque);
  else
    style.Include(csOpaque);
  SetControlStyle(style);
  Invalidate();
}

void TKvCustomLabel::SetFocusControl(TWinControl* v) {
  if (focusControl_ != nullptr && focusControl_ != v) focusControl_->RemoveFreeNotification(this);
  focusControl_ = v;
  if (v != nullptr) v->FreeNotification(this);
  if (showFocus_) Invalidate();
}

void TKvCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TKvCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

unsigned TKvCustomLabel::TextFormat() const {
  unsigned format = AlignmentFlag(alignment_);
  if (wordWrap_) format |= DT_WORDBREAK;
  return format;
}

void TKvCustomLabel::DoDrawText(TRect& rect, unsigned flags) {
  QString text = Caption();
  // An empty caption still measures one line.
  if ((flags & DT_CALCRECT) && (text.isEmpty() || (showAccelChar_ && text == u"&")))
    text += u' ';
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  TColor shadow = shadowColor_;
  int size = shadowSize_;
  TShadowPosition position = shadowPos_;
  if (!Enabled()) {
    canvas->Font()->SetColor(clGrayText);
    shadow = clBtnHighlight;
    if (size == 0) {
      size = 1;
      position = spRightBottom;
    }
  }
  DrawShadowText(canvas, text, rect, flags, shadow, size, position);
}

void TKvCustomLabel::Paint() {
  if (!Enabled()) pressed_ = false;
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();
  if (!Transparent()) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(client);
  }
  canvas->Brush()->SetStyle(bsClear);
  TRect rect = client;
  rect.Left += 1;
  rect.Right -= 1;
  const unsigned format = TextFormat() | DT_EXPANDTABS;
  if (layout_ != tlTop) {
    DoDrawText(rect, format | DT_CALCRECT);
    rect.Left = client.Left;
    rect.Right = client.Right;
    const int down = Height() - rect.Bottom;
    OffsetRect(rect, 0, layout_ == tlBottom ? down : down / 2);
  }
  DoDrawText(rect, format);
  if (showFocus_ && focusControl_ != nullptr && focused_) {
    TRect focus = rect;
    InflateRect(focus, 1, 1);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->DrawFocusRect(focus);
  }
}

void TKvCustomLabel::AdjustBounds() {
  if (!autoSize_ || ComponentState().Contains(csLoading)) return;
  TRect rect = ClientRect();
  rect.Left += 1;
  rect.Right -= 1;
  DoDrawText(rect, (wordWrap_ ? DT_WORDBREAK : 0u) | DT_EXPANDTABS | DT_CALCRECT);
  InflateRect(rect, 1, 0);
  int left = Left();
  if (alignment_ == taRightJustify) left += Width() - rect.Right;
  SetBounds(left, Top(), rect.Right, rect.Bottom);
}

void TKvCustomLabel::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED:
      Invalidate();
      AdjustBounds();
      break;
    case CM_FONTCHANGED:
      AdjustBounds();
      break;
    case CM_DIALOGCHAR:
      if (focusControl_ != nullptr && Enabled() && showAccelChar_ &&
          IsAccelOf(m.WParam, Caption()) && focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        m.Result = 1;
        return;
      }
      break;
    case CM_FOCUSCHANGED: {
      const bool focused = focusControl_ != nullptr &&
                           reinterpret_cast<TControl*>(m.LParam) == focusControl_;
      if (focused != focused_) {
        focused_ = focused;
        if (showFocus_) Invalidate();
      }
      break;
    }
    case CM_MOUSEENTER: {
      const bool wasInside = mouseInside_;
      mouseInside_ = true;
      if (!wasInside && Enabled() && IsForegroundThread() && OnMouseEnter) OnMouseEnter(this);
      break;
    }
    case CM_MOUSELEAVE: {
      const bool wasInside = mouseInside_;
      mouseInside_ = false;
      if (wasInside && Enabled() && !pressed_ && OnMouseLeave) OnMouseLeave(this);
      break;
    }
    case WM_LBUTTONDOWN:
      if (Enabled()) pressed_ = true;
      break;
    case WM_LBUTTONUP:
      pressed_ = false;
      TGraphicControl::WndProc(m);
      CheckMouseInside();
      return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case CM_ENABLEDCHANGED:
    case CM_VISIBLECHANGED:
      // The control under a still cursor may have changed: no mouse message
      // tells a label that was disabled or hidden under it.
      TGraphicControl::WndProc(m);
      CheckMouseInside();
      return;
    default:
      break;
  }
  TGraphicControl::WndProc(m);
}

void TKvCustomLabel::CheckMouseInside() {
  if (ComponentState().Contains(csDesigning)) return;
  const bool inside = Enabled() && Visible() && FindDragTarget(GetCursorPos(), false) == this &&
                      IsForegroundThread();
  if (inside == mouseInside_) return;
  mouseInside_ = inside;
  if (inside && OnMouseEnter) OnMouseEnter(this);
  if (!inside && OnMouseLeave) OnMouseLeave(this);
}

void TKvLabel::DeclareProperties(TClassBuilder<TKvLabel, TKvCustomLabel>& b) {
  b.Property("Alignment", &TKvLabel::Alignment, &TKvLabel::SetAlignment, kAlignmentIdents)
      .Default(taLeftJustify);
  b.Property("AutoSize", &TKvLabel::AutoSize, &TKvLabel::SetAutoSize).Default(true);
  b.Property("FocusControl", &TKvLabel::FocusControl, &TKvLabel::SetFocusControl);
  b.Property("Layout", &TKvLabel::Layout, &TKvLabel::SetLayout, kTextLayoutIdents).Default(tlTop);
  b.Property("ShadowColor", &TKvLabel::ShadowColor, &TKvLabel::SetShadowColor, kColorIdents)
      .Default(clBtnHighlight);
  b.Property("ShadowSize", &TKvLabel::ShadowSize, &TKvLabel::SetShadowSize)
      .Default(std::uint8_t{1});
  b.Property("ShadowPos", &TKvLabel::ShadowPos, &TKvLabel::SetShadowPos, kShadowPositionIdents)
      .Default(spLeftTop);
  b.Property("ShowAccelChar", &TKvLabel::ShowAccelChar, &TKvLabel::SetShowAccelChar)
      .Default(true);
  b.Property("ShowFocus", &TKvLabel::ShowFocus, &TKvLabel::SetShowFocus).Default(false);
  b.Property("Transparent", &TKvLabel::Transparent, &TKvLabel::SetTransparent).Default(false);
  b.Property("WordWrap", &TKvLabel::WordWrap, &TKvLabel::SetWordWrap).Default(false);
  b.Event("OnMouseEnter", &TKvLabel::OnMouseEnter);
  b.Event("OnMouseLeave", &TKvLabel::OnMouseLeave);
}

// Scrolling panel.

TSecretPanel::TSecretPanel(TComponent* owner)
    : TCustomPanel(owner),
      lines_(std::make_unique<TStringList>()),
      glyph_(std::make_unique<TBitmap>()) {
  TControlStyle style = ControlStyle();
  style.Exclude(csSetCaption);
  SetControlStyle(style);
  SetCaption(QString());
  SetBevelOuter(bvLowered);
  lines_->OnChange = [this](TStrings*) {
    if (!active_) return;
    scrollPos_ = 0;
    PaintText();
  };
  glyph_->OnChange = [this](TObject*) {
    if (!active_) return;
    RecalcGeometry();
    Invalidate();
  };
  timer_ = new TKvTimer(this);
  timer_->SetEnabled(false);
  timer_->SetOnTimer([this](TObject* sender) { Tick(sender); });
  timer_->SetInterval(30);
}

TSecretPanel::~TSecretPanel() {
  destroying_ = true;
  SetActive(false);
  // Deleted directly, the timer goes with the components, after this part.
  if (timer_ != nullptr) timer_->SetOnTimer(nullptr);
  glyph_->OnChange = nullptr;
  lines_->OnChange = nullptr;
}

void TSecretPanel::BeforeDestruction() {
  // Stopped while the timer still exists.
  destroying_ = true;
  SetActive(false);
  TCustomPanel::BeforeDestruction();
}

TStrings* TSecretPanel::Lines() const { return lines_.get(); }

void TSecretPanel::SetLines(TStrings* v) {
  if (v != nullptr) lines_->Assign(*v);
}

void TSecretPanel::SetGlyph(TBitmap* v) { glyph_->Assign(v); }

void TSecretPanel::SetGlyphLayout(TGlyphLayout v) {
  if (v == glyphLayout_) return;
  glyphLayout_ = v;
  if (!active_) return;
  RecalcGeometry();
  Invalidate();
}

void TSecretPanel::SetTextStyle(TPanelBevel v) {
  if (v == textStyle_) return;
  textStyle_ = v;
  Invalidate();
}

unsigned TSecretPanel::Interval() const { return timer_ != nullptr ? timer_->Interval() : 0; }

void TSecretPanel::SetInterval(unsigned v) {
  if (timer_ != nullptr) timer_->SetInterval(v);
}

void TSecretPanel::SetCtl3D(bool v) {
  ctl3D_ = v;
  parentCtl3D_ = false;
}

void TSecretPanel::SetActive(bool v) {
  if (v == active_) return;
  active_ = v;
  scrollPos_ = 0;
  // A streamed panel starts once its properties are all read.
  if (ComponentState().Contains(csLoading)) return;
  if (v) {
    try {
      RecalcGeometry();
      timer_->SetEnabled(true);
      if (OnStartPlay) OnStartPlay(this);
    } catch (...) {
      active_ = false;
      timer_->SetEnabled(false);
      throw;
    }
  } else {
    if (timer_ != nullptr) timer_->SetEnabled(false);
    memory_.reset();
    // Not into a form that is going away.
    if (OnStopPlay && !destroying_) OnStopPlay(this);
  }
  if (!destroying_) ShowChildren(v);
  if (!destroying_) Invalidate();
}

void TSecretPanel::ShowChildren(bool activating) {
  if (activating) {
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* child = Controls(i);
      if (!child->Visible()) continue;
      hidden_.push_back(child);
      child->FreeNotification(this);
      child->SetVisible(false);
    }
    return;
  }
  std::vector<TControl*> hidden;
  hidden.swap(hidden_);
  for (TControl* child : hidden) {
    child->RemoveFreeNotification(this);
    child->SetVisible(true);
    child->Invalidate();
  }
}

void TSecretPanel::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation == opRemove && component == timer_) timer_ = nullptr;
  if (operation == opRemove)
    std::erase_if(hidden_, [component](TControl* c) { return c == component; });
}

void TSecretPanel::Loaded() {
  TCustomPanel::Loaded();
  if (!active_) return;
  active_ = false;
  SetActive(true);
}

void TSecretPanel::ComputeLayout() {
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  const TTextMetric metrics = canvas->TextMetrics();
  int height = metrics.tmHeight + metrics.tmExternalLeading;
  if (textStyle_ != bvNone) ++height;
  // One byte holds it; a taller font is held at 255 and none is ever 0.
  lineHeight_ = static_cast<std::uint8_t>(std::clamp(height, 1, 255));

  TRect r = ClientRect();
  int inset = BorderWidth() + 3;
  if (BevelOuter() != bvNone) inset += BevelWidth();
  if (BevelInner() != bvNone) inset += BevelWidth();
  InflateRect(r, -inset, -inset);
  const int gw = glyph_->Empty() ? 0 : glyph_->Width();
  const int gh = glyph_->Empty() ? 0 : glyph_->Height();
  switch (glyphLayout_) {
    case glGlyphLeft:
    case glGlyphRight:
      glyphPos_.X = glyphLayout_ == glGlyphLeft ? r.Left + 3 : std::max(r.Right - gw - 3, r.Left);
      glyphPos_.Y = std::max((r.Top + r.Bottom - gh) / 2, r.Top);
      if (glyphLayout_ == glGlyphLeft)
        r.Left = glyphPos_.X + gw;
      else
        r.Right = glyphPos_.X;
      break;
    case glGlyphTop:
    case glGlyphBottom:
      glyphPos_.Y = glyphLayout_ == glGlyphTop ? r.Top + 2 : std::max(r.Bottom - gh - 2, r.Top);
      glyphPos_.X = std::max((r.Left + r.Right - gw) / 2, r.Left);
      if (glyphLayout_ == glGlyphTop)
        r.Top = glyphPos_.Y + gh;
      else
        r.Bottom = glyphPos_.Y;
      break;
  }
  if (r.Right <= r.Left || r.Bottom <= r.Top) r = TRect{};
  textRect_ = r;
}

void TSecretPanel::RecalcGeometry() {
  ComputeLayout();
  if (!memory_) memory_ = std::make_unique<TBitmap>();
  memory_->SetSize(textRect_.Width(), textRect_.Height());
  TCanvas* canvas = memory_->Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  if (!textRect_.IsEmpty()) canvas->FillRect(TRect{0, 0, textRect_.Width(), textRect_.Height()});
}

void TSecretPanel::Tick(TObject*) {
  if (scrollPos_ < (lines_->Count() - 1) * lineHeight_)
    ++scrollPos_;
  else if (cycled_)
    scrollPos_ = 0;
  else {
    SetActive(false);
    return;
  }
  PaintText();
}

void TSecretPanel::PaintText() {
  const int count = lines_->Count();
  if (count == 0 || !memory_ || textRect_.IsEmpty()) return;
  const int width = textRect_.Width();
  const int height = textRect_.Height();
  TCanvas* canvas = memory_->Canvas();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(TRect{0, 0, width, height});
  canvas->Brush()->SetStyle(bsClear);
  const unsigned format = AlignmentFlag(Alignment()) | DT_SINGLELINE | DT_EXPANDTABS;
  const TColor textColor = Font()->Color();
  int y = -(scrollPos_ % lineHeight_);
  // Index count is the blank line after the last; nothing beyond it is read.
  for (int i = scrollPos_ / lineHeight_; i <= count && y < height; ++i, y += lineHeight_) {
    const QString line = i < count ? lines_->Strings(i).left(255) : QString();
    if (textStyle_ == bvLowered || textStyle_ == bvRaised) {
      const int d = textStyle_ == bvLowered ? 1 : -1;
      TRect shifted{d, y + d, width + d, y + d + lineHeight_};
      canvas->Font()->SetColor(clBtnHighlight);
      DrawText(canvas, line, shifted, format);
    }
    canvas->Font()->SetColor(textColor);
    TRect r{0, y, width, y + lineHeight_};
    DrawText(canvas, line, r, format);
  }
  // The panel shows the bitmap when it paints.
  Invalidate();
}

void TSecretPanel::Paint() {
  TCustomPanel::Paint();
  if (!active_) return;
  if (memory_ && !textRect_.IsEmpty()) Canvas()->Draw(textRect_.Left, textRect_.Top, memory_.get());
  if (!glyph_->Empty()) {
    ComputeLayout();
    DrawBitmapTransparent(Canvas(), glyphPos_.X, glyphPos_.Y, glyph_.get(),
                          glyph_->TransparentColor());
  }
}

void TSecretPanel::WndProc(TMessage& m) {
  TCustomPanel::WndProc(m);
  if (!active_) return;
  switch (m.Msg) {
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
    case WM_SIZE:
      RecalcGeometry();
      PaintText();
      break;
    default:
      break;
  }
}

void TSecretPanel::DeclareProperties(TClassBuilder<TSecretPanel, TCustomPanel>& b) {
  b.Property("Active", &TSecretPanel::Active, &TSecretPanel::SetActive).Default(false);
  b.Property("BevelOuter", &TSecretPanel::BevelOuter, &TSecretPanel::SetBevelOuter,
             kBevelCutIdents)
      .Default(bvLowered);
  b.Property("Ctl3D", &TSecretPanel::Ctl3D, &TSecretPanel::SetCtl3D).Default(true);
  b.Property("ParentCtl3D", &TSecretPanel::ParentCtl3D, &TSecretPanel::SetParentCtl3D)
      .Default(true);
  b.Property("Cycled", &TSecretPanel::Cycled, &TSecretPanel::SetCycled).Default(false);
  b.Object("Glyph", &TSecretPanel::Glyph);
  b.Property("GlyphLayout", &TSecretPanel::GlyphLayout, &TSecretPanel::SetGlyphLayout,
             kGlyphLayoutIdents)
      .Default(glGlyphLeft);
  b.Property("Interval", &TSecretPanel::Interval, &TSecretPanel::SetInterval).Default(30u);
  b.Object("Lines", &TSecretPanel::Lines);
  b.Property("TextStyle", &TSecretPanel::TextStyle, &TSecretPanel::SetTextStyle, kBevelCutIdents)
      .Default(bvNone);
  b.Event("OnStartPlay", &TSecretPanel::OnStartPlay);
  b.Event("OnStopPlay", &TSecretPanel::OnStopPlay);
}

void RegisterKvCtrlsClasses() {
  RegisterKvTimerClasses();
  if (GetClass(QStringLiteral("TKvLabel")) == nullptr) RegisterClass<TKvLabel>();
  if (GetClass(QStringLiteral("TSecretPanel")) == nullptr) RegisterClass<TSecretPanel>();
}
