#include "platform/controls/Label.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/graphics/DrawText.h"

const TEnumInfo kAlignmentIdents{"taLeftJustify", "taRightJustify", "taCenter"};
const TEnumInfo kTextLayoutIdents{"tlTop", "tlCenter", "tlBottom"};

unsigned AlignmentFlag(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify: return DT_RIGHT;
    case taCenter: return DT_CENTER;
    default: return DT_LEFT;
  }
}

QChar AccelCharOf(const QString& caption) {
  for (int i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != u'&') continue;
    if (caption[i + 1] != u'&') return caption[i + 1];
    ++i;  // "&&" is a literal ampersand
  }
  return {};
}

bool IsAccelOf(WPARAM ch, const QString& caption) {
  const QChar accel = AccelCharOf(caption);
  const QChar typed(static_cast<char16_t>(ch));
  return !accel.isNull() && accel.toCaseFolded() == typed.toCaseFolded();
}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csOpaque);
  style.Include(csReplicatable);
  SetControlStyle(style);
  SetBounds(0, 0, 65, 17);
  SetColor(clBtnFace);
  SetParentColor(true);
}

void TCustomLabel::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool v) {
  if (v == autoSize_) return;
  autoSize_ = v;
  AdjustBounds();
}

void TCustomLabel::SetLayout(TTextLayout v) {
  if (v == layout_) return;
  layout_ = v;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  TControlStyle style = ControlStyle();
  if (v)
    style.Exclude(csOpaque);
  else
    style.Include(csOpaque);
  SetControlStyle(style);
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
  if (v == showAccelChar_) return;
  showAccelChar_ = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* v) {
  if (v == focusControl_) return;
  if (focusControl_ != nullptr) focusControl_->RemoveFreeNotification(this);
  focusControl_ = v;
  if (v != nullptr) v->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TCustomLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

unsigned TCustomLabel::TextFlags() const {
  unsigned flags = DT_EXPANDTABS | AlignmentFlag(alignment_);
  if (wordWrap_) flags |= DT_WORDBREAK;
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  return flags;
}

void TCustomLabel::DoDrawText(TRect& rect, unsigned flags) {
  QString text = Caption();
  // An empty line still has a height to measure.
  if ((flags & DT_CALCRECT) && (text.isEmpty() || (showAccelChar_ && text == u"&")))
    text += u' ';
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  if (!Enabled() && !(flags & DT_CALCRECT)) {
    TRect shifted = rect;
    OffsetRect(shifted, 1, 1);
    canvas->Font()->SetColor(clBtnHighlight);
    DrawText(canvas, text, shifted, flags);
    canvas->Font()->SetColor(clBtnShadow);
  }
  DrawText(canvas, text, rect, flags);
}

void TCustomLabel::Paint() {
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();
  if (!transparent_) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(client);
  }
  canvas->Brush()->SetStyle(bsClear);
  TRect rect = client;
  const unsigned flags = TextFlags();
  if (layout_ != tlTop) {
    TRect measured = rect;
    DoDrawText(measured, flags | DT_CALCRECT);
    const int free = client.Height() - measured.Height();
    OffsetRect(rect, 0, layout_ == tlBottom ? free : free / 2);
  }
  DoDrawText(rect, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || ComponentState().Contains(csLoading)) return;
  TRect rect = ClientRect();
  DoDrawText(rect, TextFlags() | DT_CALCRECT);
  int left = Left();
  if (!wordWrap_ && alignment_ == taRightJustify) left += Width() - rect.Width();
  const int width = wordWrap_ ? Width() : rect.Width();
  SetBounds(left, Top(), width, rect.Height());
}

void TCustomLabel::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      AdjustBounds();
      Invalidate();
      break;
    case CM_DIALOGCHAR: {
      if (showAccelChar_ && focusControl_ != nullptr && IsAccelOf(m.WParam, Caption()) &&
          focusControl_->CanFocus()) {
        focusControl_->SetFocus();
        m.Result = 1;
        return;
      }
      break;
    }
    default:
      break;
  }
  TGraphicControl::WndProc(m);
}

void TCustomLabel::DeclareProperties(TClassBuilder<TCustomLabel, TGraphicControl>& b) {
  b.Property("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment,
             kAlignmentIdents)
      .Default(taLeftJustify);
  b.Property("AutoSize", &TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize).Default(true);
  b.Property("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout, kTextLayoutIdents)
      .Default(tlTop);
  b.Property("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).Default(false);
  b.Property("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent)
      .Default(false);
  b.Property("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar)
      .Default(true);
  b.Property("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
}

void RegisterLabelClasses() {
  if (GetClass(QStringLiteral("TLabel")) == nullptr) RegisterClass<TLabel>();
}
