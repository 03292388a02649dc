#include "components/Lumexctl.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/graphics/DrawText.h"

#include <algorithm>

const TEnumInfo kVAlignmentIdents{"vaTop", "vaBottom", "vaCenter"};

namespace {

constexpr int kMaxCaption = 255;

void FrameIn(TCanvas* canvas, const TRect& r, TColor color) {
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(color);
  canvas->FrameRect(r);
}

}  // namespace

TSuperLabel::TSuperLabel(TComponent* owner) : TCustomLabel(owner) {
  SetAutoSize(false);
  SetBounds(Left(), Top(), 100, 25);
}

template <class T>
void TSuperLabel::Set(T& field, T value) {
  if (field == value)
    return;
  field = value;
  Invalidate();
}

void TSuperLabel::SetBorderColor(TColor value) { Set(borderColor_, value); }
void TSuperLabel::SetBorderStyle(TBorderStyle value) { Set(borderStyle_, value); }
void TSuperLabel::SetCtl3D(bool value) { Set(ctl3D_, value); }
void TSuperLabel::SetBottomMargin(std::uint8_t value) { Set(bottomMargin_, value); }
void TSuperLabel::SetLeftMargin(std::uint8_t value) { Set(leftMargin_, value); }
void TSuperLabel::SetRightMargin(std::uint8_t value) { Set(rightMargin_, value); }
void TSuperLabel::SetTopMargin(std::uint8_t value) { Set(topMargin_, value); }
void TSuperLabel::SetVerticalAlignment(TVAlignment value) { Set(verticalAlignment_, value); }

int TSuperLabel::BorderInset() const {
  if (borderStyle_ != bsSingle)
    return 0;
  return ctl3D_ ? 2 : 1;
}

TRect TSuperLabel::TextRect() const {
  const TRect client = ClientRect();
  const int inset = BorderInset();
  const int bordered = inset > 0 ? 1 : 0;
  TRect r;
  r.Top = client.Top + inset + topMargin_;
  r.Left = client.Left + inset + leftMargin_;
  r.Right = std::max(client.Right - rightMargin_ - bordered, r.Left);
  r.Bottom = std::max(client.Bottom - bottomMargin_ - bordered, r.Top);
  return r;
}

int TSuperLabel::DrawCaption(TRect rect, unsigned format) {
  QString text = Caption().left(kMaxCaption);
  if ((format & DT_CALCRECT) &&
      (text.isEmpty() || (ShowAccelChar() && text == QStringLiteral("&"))))
    text = QStringLiteral(" ");
  TCanvas* canvas = Canvas();
  canvas->SetFont(Font());
  if (!Enabled())
    canvas->Font()->SetColor(clGrayText);
  if (!ShowAccelChar())
    format |= DT_NOPREFIX;
  DrawText(canvas, text, rect, format);
  return rect.Height() + 1;
}

void TSuperLabel::Paint() {
  TCanvas* canvas = Canvas();
  TRect r = ClientRect();
  const TColor rightTop = canvas->Pixel(r.Right, 0);
  const TColor leftBottom = canvas->Pixel(0, r.Bottom);
  if (!Transparent()) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
  }
  if (borderStyle_ == bsSingle && ctl3D_) {
    r.Left += 1;
    r.Top += 1;
    FrameIn(canvas, r, clBtnHighlight);
    r = Rect(r.Left - 1, r.Top - 1, r.Right - 1, r.Bottom - 1);
    FrameIn(canvas, r, clBtnShadow);
    // Cut corners: the pixels beyond the shadow frame keep what was there.
    if (rightTop != clNone)
      canvas->SetPixel(r.Right, 0, rightTop);
    if (leftBottom != clNone)
      canvas->SetPixel(0, r.Bottom, leftBottom);
  } else if (borderStyle_ == bsSingle) {
    FrameIn(canvas, r, borderColor_);
  }
  TRect text = TextRect();
  if (text.IsEmpty())
    return;
  const unsigned wrap = WordWrap() ? DT_WORDBREAK : 0U;
  canvas->PushClip();
  struct PopClip {
    TCanvas* c;
    ~PopClip() { c->PopClip(); }
  } pop{canvas};
  canvas->IntersectClipRect(text);
  if (verticalAlignment_ != vaTop) {
    const int height = DrawCaption(text, wrap | DT_EXPANDTABS | DT_CALCRECT);
    const int measuredBottom = text.Top + height - 1;
    int offset = text.Bottom - measuredBottom;
    if (verticalAlignment_ == vaCenter)
      offset /= 2;
    text.Bottom = measuredBottom;
    text.Top += offset;
    text.Bottom += offset;
  }
  canvas->Brush()->SetStyle(bsClear);
  DrawCaption(text, wrap | DT_EXPANDTABS | AlignmentFlag(Alignment()));
}

void TSuperLabel::DeclareProperties(TClassBuilder<TSuperLabel, TCustomLabel>& b) {
  using L = TSuperLabel;
  b.Property("BorderColor", &L::BorderColor, &L::SetBorderColor, kColorIdents)
      .Default(clWindowFrame);
  b.Property("BorderStyle", &L::BorderStyle, &L::SetBorderStyle, kPanelBorderStyleIdents)
      .Default(bsNone);
  b.Property("BottomMargin", &L::BottomMargin, &L::SetBottomMargin).Default(std::uint8_t{0});
  b.Property("Ctl3D", &L::Ctl3D, &L::SetCtl3D).Default(true);
  b.Property("LeftMargin", &L::LeftMargin, &L::SetLeftMargin).Default(std::uint8_t{0});
  b.Property("RightMargin", &L::RightMargin, &L::SetRightMargin).Default(std::uint8_t{0});
  b.Property("TopMargin", &L::TopMargin, &L::SetTopMargin).Default(std::uint8_t{0});
  b.Property("VerticalAlignment", &L::VerticalAlignment, &L::SetVerticalAlignment,
             kVAlignmentIdents)
      .Default(vaTop);
}

void RegisterSuperLabelClasses() {
  if (GetClass(QStringLiteral("TSuperLabel")) == nullptr)
    RegisterClass<TSuperLabel>();
}
