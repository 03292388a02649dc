#include "components/Lumbtn.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Application.h"
#include "platform/controls/Label.h"

const TEnumInfo kLumButtonLayoutIdents{"lblGlyphLeft",   "lblGlyphRight",  "lblGlyphTop",
                                       "lblGlyphBottom", "lblGlyphCenter", "lblGlyphTiled"};
const TEnumInfo kLumButtonStyleIdents{"lbsAutoDetect", "lbsNew", "lbsWin31", "lbsThin",
                                      "lbsThinBlack"};
const TEnumInfo kTextStyleIdents{"tsNormal", "tsRaised", "tsLowered"};

// TCustomPicSpeedBtn.

TCustomPicSpeedBtn::TCustomPicSpeedBtn(TComponent* owner)
    : TGraphicControl(owner), glyph_(std::make_unique<TlumButtonGlyph>()) {
  SetBounds(0, 0, 25, 25);
  // The button fires its click itself, after Down has changed.
  SetControlStyle(TControlStyle{csCaptureMouse, csOpaque, csDoubleClicks});
  glyph_->SetButtonColor(clBtnFace);
  glyph_->OnChange = [this](TObject*) { Invalidate(); };
  SetParentFont(true);
  SetColor(clBtnFace);
}

TCustomPicSpeedBtn::~TCustomPicSpeedBtn() {
  ReleasePattern();
  glyph_.reset();
}

void TCustomPicSpeedBtn::ReleasePattern() {
  if (pattern_ == nullptr) return;
  if (PicButtonStoresAllocated()) PicButtonStores().ReleasePattern(pattern_);
  pattern_.reset();
}

void TCustomPicSpeedBtn::RebuildImages() {
  ReleasePattern();
  glyph_->ReleaseImages();
  glyph_->MakeStateImage(state_);
}

void TCustomPicSpeedBtn::Loaded() {
  TGraphicControl::Loaded();
  glyph_->MakeStateImage(Enabled() ? bsUp : bsDisabled);
  if (down_) NotifyGroup();
}

void TCustomPicSpeedBtn::SetAllowAllUp(bool v) {
  if (v == allowAllUp_) return;
  allowAllUp_ = v;
  NotifyGroup();
}

void TCustomPicSpeedBtn::SetGroupIndex(int v) {
  if (v == groupIndex_) return;
  groupIndex_ = v;
  NotifyGroup();
}

void TCustomPicSpeedBtn::SetDown(bool v) {
  if (groupIndex_ == 0) v = false;
  if (v == down_) return;
  // The one down button of a group without AllowAllUp stays down.
  if (down_ && !allowAllUp_) return;
  down_ = v;
  if (v) {
    state_ = bsExclusive;
    Invalidate();
    NotifyGroup();
  } else {
    state_ = bsUp;
    Invalidate();
  }
}

void TCustomPicSpeedBtn::NotifyGroup() {
  if (groupIndex_ == 0 || Parent() == nullptr) return;
  TWinControl* parent = Parent();
  for (int i = 0; i < parent->ControlCount(); ++i)
    parent->Controls(i)->Perform(CM_BUTTONPRESSED, static_cast<WPARAM>(groupIndex_),
                                 reinterpret_cast<LPARAM>(this));
}

void TCustomPicSpeedBtn::ButtonPressed(TCustomPicSpeedBtn* sender) {
  if (sender == this) return;
  if (sender->down_ && down_) {
    down_ = false;
    state_ = bsUp;
    Invalidate();
  }
  allowAllUp_ = sender->allowAllUp_;
}

void TCustomPicSpeedBtn::SetDisabledShadow(bool v) {
  if (v == disabledShadow_) return;
  disabledShadow_ = v;
  if (!Enabled()) Invalidate();
}

void TCustomPicSpeedBtn::SetLayout(TlumButtonLayout v) {
  layout_ = v;
  Invalidate();
}

void TCustomPicSpeedBtn::SetMargin(int v) {
  if (v < -1 || v == margin_) return;
  margin_ = v;
  Invalidate();
}

void TCustomPicSpeedBtn::SetSpacing(int v) {
  spacing_ = v;
  Invalidate();
}

void TCustomPicSpeedBtn::SetPopup(bool v) {
  popup_ = v;
  Invalidate();
}

void TCustomPicSpeedBtn::SetStyle(TlumButtonStyle v) {
  style_ = v;
  Invalidate();
}

void TCustomPicSpeedBtn::SetTextStyle(TTextStyle v) {
  textStyle_ = v;
  Invalidate();
}

void TCustomPicSpeedBtn::SetNumGlyphs(int v) { glyph_->SetNumGlyphs(v); }

void TCustomPicSpeedBtn::SetMouseInside(bool v) {
  mouseInside_ = v;
  if (popup_ && Enabled()) Invalidate();
}

void TCustomPicSpeedBtn::MouseEnter() {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TCustomPicSpeedBtn::MouseLeave() {
  if (OnMouseLeave) OnMouseLeave(this);
}

void TCustomPicSpeedBtn::Click() {
  bool cancel = false;
  if (BeforeClick) BeforeClick(this, cancel);
  if (cancel) return;
  BeforeClickHook();
  TGraphicControl::Click();
}

void TCustomPicSpeedBtn::DblClick() {
  if (dblClickAllowed_) TGraphicControl::DblClick();
}

bool TCustomPicSpeedBtn::UnderCursor() const {
  return FindDragTarget(GetCursorPos(), false) == this;
}

bool TCustomPicSpeedBtn::InsideForMove(int x, int y) const {
  return x >= 0 && x < ClientWidth() && y >= 0 && y <= ClientHeight();
}

void TCustomPicSpeedBtn::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TGraphicControl::MouseDown(button, shift, x, y);
  if (button != mbLeft || !Enabled()) return;
  if (!down_) {
    state_ = bsDown;
    Repaint();
  }
  dragging_ = true;
}

void TCustomPicSpeedBtn::MouseMove(TShiftState shift, int x, int y) {
  TGraphicControl::MouseMove(shift, x, y);
  if (!dragging_) return;
  TButtonState next = down_ ? bsExclusive : bsUp;
  if (InsideForMove(x, y)) next = down_ ? bsExclusive : bsDown;
  if (next == state_) return;
  state_ = next;
  Repaint();
}

void TCustomPicSpeedBtn::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (cancelled_) {
    cancelled_ = false;
    return;
  }
  TGraphicControl::MouseUp(button, shift, x, y);
  if (!dragging_) return;
  dragging_ = false;
  const bool inside = InsideForMove(x, y);
  if (groupIndex_ == 0) {
    state_ = bsUp;
    mouseInside_ = false;
    Invalidate();
  } else if (inside) {
    SetDown(!down_);
  } else {
    if (down_) state_ = bsExclusive;
    Invalidate();
  }
  if (inside) Click();
  if (UnderCursor())
    mouseInside_ = true;
  else
    Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
  Invalidate();
}

bool TCustomPicSpeedBtn::CancelledMouseDown(TMessage& m) {
  TMouseButton button = mbLeft;
  TShiftState shift;
  if (m.WParam & MK_SHIFT) shift.Include(ssShift);
  if (m.WParam & MK_CONTROL) shift.Include(ssCtrl);
  switch (m.Msg) {
    case WM_LBUTTONDBLCLK:
      shift.Include(ssDouble);
      [[fallthrough]];
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
      shift.Include(ssLeft);
      break;
    case WM_MBUTTONDOWN:
      button = mbMiddle;
      shift.Include(ssMiddle);
      break;
    default:
      button = mbRight;
      shift.Include(ssRight);
      break;
  }
  bool cancel = false;
  BeforeMouseDown(this, button, shift, LoWordSigned(m.LParam), HiWordSigned(m.LParam), cancel);
  if (!cancel) return false;
  cancelled_ = true;
  if (TWinControl* form = ParentForm()) form->Perform(CM_CANCELMODE, 0, 0);
  return true;
}

void TCustomPicSpeedBtn::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
      if (BeforeMouseDown && CancelledMouseDown(m)) return;
      if (m.Msg == WM_LBUTTONDBLCLK) {
        TGraphicControl::WndProc(m);
        if (down_) {
          dblClickAllowed_ = true;
          DblClick();
          dblClickAllowed_ = false;
        }
        return;
      }
      break;
    case CM_BUTTONPRESSED:
      if (static_cast<int>(m.WParam) == groupIndex_)
        if (auto* sender = dynamic_cast<TCustomPicSpeedBtn*>(
                reinterpret_cast<TControl*>(m.LParam)))
          ButtonPressed(sender);
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      TGraphicControl::WndProc(m);
      if (m.LParam != reinterpret_cast<LPARAM>(this)) return;
      if (m.Msg == CM_MOUSELEAVE) {
        SetMouseInside(false);
        MouseLeave();
      } else if (Application == nullptr || Application->Active()) {
        SetMouseInside(true);
        MouseEnter();
      }
      return;
    case CM_ENABLEDCHANGED:
      TGraphicControl::WndProc(m);
      glyph_->MakeStateImage(Enabled() ? bsUp : bsDisabled);
      // Under a still cursor no mouse message tells the button it is hovered again.
      if (popup_)
        Perform(UnderCursor() ? CM_MOUSEENTER : CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
      Invalidate();
      return;
    case CM_DIALOGCHAR:
      if (IsAccelOf(m.WParam, Caption()) && Enabled()) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    case CM_COLORCHANGED:
      glyph_->SetButtonColor(Color());
      RebuildImages();
      break;
    case CM_SYSCOLORCHANGE:
      RebuildImages();
      break;
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      Invalidate();
      break;
    default:
      break;
  }
  TGraphicControl::WndProc(m);
}

void TPicSpeedBtn::DeclareProperties(TClassBuilder<TPicSpeedBtn, TCustomPicSpeedBtn>& b) {
  b.Property("AllowAllUp", &TPicSpeedBtn::AllowAllUp, &TPicSpeedBtn::SetAllowAllUp)
      .Default(false);
  b.Property("GroupIndex", &TPicSpeedBtn::GroupIndex, &TPicSpeedBtn::SetGroupIndex).Default(0);
  b.Property("Down", &TPicSpeedBtn::Down, &TPicSpeedBtn::SetDown).Default(false);
  b.Property("Color", &TControl::Color, &TControl::SetColor, kColorIdents).Default(clBtnFace);
  b.Property("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(false);
  b.Property("DisabledShadow", &TPicSpeedBtn::DisabledShadow, &TPicSpeedBtn::SetDisabledShadow)
      .Default(false);
  b.Property("Layout", &TPicSpeedBtn::Layout, &TPicSpeedBtn::SetLayout, kLumButtonLayoutIdents)
      .Default(lblGlyphLeft);
  b.Property("Margin", &TPicSpeedBtn::Margin, &TPicSpeedBtn::SetMargin).Default(-1);
  b.Object("Picture", &TPicSpeedBtn::Picture);
  b.Property("NumGlyphs", &TPicSpeedBtn::NumGlyphs, &TPicSpeedBtn::SetNumGlyphs).Default(1);
  b.Property("Popup", &TPicSpeedBtn::Popup, &TPicSpeedBtn::SetPopup).Default(true);
  b.Property("Spacing", &TPicSpeedBtn::Spacing, &TPicSpeedBtn::SetSpacing).Default(4);
  b.Property("Style", &TPicSpeedBtn::Style, &TPicSpeedBtn::SetStyle, kLumButtonStyleIdents)
      .Default(lbsThin);
  b.Property("TextStyle", &TPicSpeedBtn::TextStyle, &TPicSpeedBtn::SetTextStyle,
             kTextStyleIdents)
      .Default(tsNormal);
  b.Property("TransparentColor", &TPicSpeedBtn::TransparentColor,
             &TPicSpeedBtn::SetTransparentColor, kColorIdents)
      .Stored(&TPicSpeedBtn::TransparentColorStored);
  b.Event("BeforeClick", &TPicSpeedBtn::BeforeClick);
  b.Event("BeforeMouseDown", &TPicSpeedBtn::BeforeMouseDown);
  b.Event("OnMouseEnter", &TPicSpeedBtn::OnMouseEnter);
  b.Event("OnMouseLeave", &TPicSpeedBtn::OnMouseLeave);
}

// TRepSpeedBtn.

TRepSpeedBtn::TRepSpeedBtn(TComponent* owner) : TPicSpeedBtn(owner) {}

TRepSpeedBtn::~TRepSpeedBtn() { timer_.reset(); }

void TRepSpeedBtn::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TPicSpeedBtn::MouseDown(button, shift, x, y);
  if (!repeatEnabled_ || !OnTimer) return;
  if (timer_ == nullptr) {
    timer_ = std::make_unique<TTimer>(nullptr);
    timer_->SetEnabled(false);
    timer_->OnTimer = [this](TObject*) { TimerExpired(); };
  }
  timer_->SetInterval(repeatInitialPause_);
  timer_->SetEnabled(true);
}

void TRepSpeedBtn::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TPicSpeedBtn::MouseUp(button, shift, x, y);
  if (timer_ != nullptr) timer_->SetEnabled(false);
}

void TRepSpeedBtn::TimerExpired() {
  timer_->SetEnabled(false);
  if (State() != bsDown || !MouseCapture()) return;
  if (OnTimer) OnTimer(this);
  if (repeatPause_ != 0) {
    timer_->SetInterval(repeatPause_);
    timer_->SetEnabled(true);
  }
}

void TRepSpeedBtn::DeclareProperties(TClassBuilder<TRepSpeedBtn, TPicSpeedBtn>& b) {
  b.Property("RepeatEnabled", &TRepSpeedBtn::RepeatEnabled, &TRepSpeedBtn::SetRepeatEnabled)
      .Default(true);
  b.Property("RepeatInitialPause", &TRepSpeedBtn::RepeatInitialPause,
             &TRepSpeedBtn::SetRepeatInitialPause)
      .Default(400);
  b.Property("RepeatPause", &TRepSpeedBtn::RepeatPause, &TRepSpeedBtn::SetRepeatPause)
      .Default(100);
  b.Event("OnTimer", &TRepSpeedBtn::OnTimer);
}

void RegisterPicSpeedBtnClasses() {
  if (GetClass(QStringLiteral("TPicSpeedBtn")) == nullptr) RegisterClass<TPicSpeedBtn>();
  if (GetClass(QStringLiteral("TRepSpeedBtn")) == nullptr) RegisterClass<TRepSpeedBtn>();
}
