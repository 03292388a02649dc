#include "components/Lumtimag.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/controls/WinControl.h"
#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/Icon.h"

#include <cstdint>

const TEnumInfo kPicHorzAlignIdents{"bhLeft", "bhCenter", "bhRight"};
const TEnumInfo kPicVertAlignIdents{"bvTop", "bvCenter", "bvBottom"};
const TEnumInfo kPicDrawStyleIdents{"dsAlign",   "dsCenter", "dsFit", "dsHeight",
                                    "dsStretch", "dsTile",   "dsWidth"};

namespace {

// The bevels a form file may name.
const TEnumInfo kTransBevelIdents{
    {bvNone, "bvNone"}, {bvLowered, "bvLowered"}, {bvRaised, "bvRaised"}};

// a * b / c without overflow; c > 0.
int Scale(int a, int b, int c) {
  return static_cast<int>(static_cast<std::int64_t>(a) * b / c);
}

}  // namespace

// ---- TPicAlign

void TPicAlign::Changed() {
  if (OnChange) OnChange(this);
}

void TPicAlign::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TPicAlign*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  SetHorz(other->horz_);
  SetHOffset(other->hOffset_);
  SetVert(other->vert_);
  SetVOffset(other->vOffset_);
}

void TPicAlign::SetHorz(TPicHorzAlign value) {
  if (value == horz_) return;
  horz_ = value;
  Changed();
}

void TPicAlign::SetHOffset(int value) {
  if (value == hOffset_) return;
  hOffset_ = value;
  Changed();
}

void TPicAlign::SetVert(TPicVertAlign value) {
  if (value == vert_) return;
  vert_ = value;
  Changed();
}

void TPicAlign::SetVOffset(int value) {
  if (value == vOffset_) return;
  vOffset_ = value;
  Changed();
}

void TPicAlign::DeclareProperties(TClassBuilder<TPicAlign, TPersistent>& b) {
  b.Property("Horz", &TPicAlign::Horz, &TPicAlign::SetHorz, kPicHorzAlignIdents).Default(bhCenter);
  b.Property("HOffset", &TPicAlign::HOffset, &TPicAlign::SetHOffset).Default(0);
  b.Property("Vert", &TPicAlign::Vert, &TPicAlign::SetVert, kPicVertAlignIdents).Default(bvCenter);
  b.Property("VOffset", &TPicAlign::VOffset, &TPicAlign::SetVOffset).Default(0);
}

// ---- TMaskedBitmap

void TMaskedBitmap::Build(TGraphic* picture, TColor transparentColor) {
  masked_ = false;
  if (picture == nullptr || picture->Empty()) {
    image_.Assign(nullptr);
    mask_.Assign(nullptr);
    return;
  }
  // Both copies start in colour and opaque, whatever the picture was, so
  // the monochrome step below always maps by the transparent colour.
  mask_.Assign(picture);
  mask_.SetTransparent(false);
  mask_.SetMonochrome(false);
  mask_.Canvas()->Brush()->SetColor(transparentColor);
  mask_.SetMonochrome(true);
  image_.Assign(picture);
  image_.SetTransparent(false);
  image_.SetMonochrome(false);
  TCanvas* canvas = image_.Canvas();
  canvas->Brush()->SetColor(clBlack);
  canvas->Font()->SetColor(clWhite);
  canvas->SetCopyMode(SRCAND);
  canvas->Draw(0, 0, &mask_);
  canvas->SetCopyMode(SRCCOPY);
  masked_ = true;
}

void TMaskedBitmap::Draw(TCanvas* canvas, const TRect& rect) {
  if (!masked_) {
    canvas->StretchDraw(rect, &image_);
    return;
  }
  const TCopyMode mode = canvas->CopyMode();
  const TColor text = canvas->TextColor(), back = canvas->BkColor();
  canvas->SetTextColor(clBlack);
  canvas->SetBkColor(clWhite);
  canvas->SetCopyMode(SRCAND);
  canvas->StretchDraw(rect, &mask_);
  canvas->SetCopyMode(SRCINVERT);
  canvas->StretchDraw(rect, &image_);
  canvas->SetCopyMode(mode);
  canvas->SetTextColor(text);
  canvas->SetBkColor(back);
}

// ---- TTransImage

TTransImage::TTransImage(TComponent* owner)
    : TGraphicControl(owner),
      picture_(std::make_unique<TPicture>()),
      picAlign_(std::make_unique<TPicAlign>()) {
  // Not opaque: the parent paints beneath it.
  SetControlStyle(TControlStyle{csCaptureMouse, csClickEvents, csDoubleClicks});
  SetBounds(Left(), Top(), 105, 105);
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
  picAlign_->OnChange = [this](TObject*) { PicAlignChanged(); };
}

TTransImage::~TTransImage() {
  picture_->OnChange = nullptr;
  picAlign_->OnChange = nullptr;
}

bool TTransImage::HasPicture() const {
  const TGraphic* graphic = picture_->Graphic();
  return graphic != nullptr && !graphic->Empty() && graphic->Width() > 0 && graphic->Height() > 0;
}

void TTransImage::PictureChanged() {
  if (auto* icon = dynamic_cast<TIcon*>(picture_->Graphic())) {
    // Cleared first: a new icon of the old size would blend over the old one.
    iconBitmap_.SetSize(icon->Width(), icon->Height());
    iconBitmap_.Canvas()->Brush()->SetColor(clWhite);
    iconBitmap_.Canvas()->FillRect(Rect(0, 0, icon->Width(), icon->Height()));
    iconBitmap_.Canvas()->Draw(0, 0, icon);
  }
  if (autoSize_ && HasPicture())
    SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
  masked_.Build(picture_->Graphic(), transparentColor_);
  Invalidate();
}

void TTransImage::PicAlignChanged() {
  drawStyle_ = dsAlign;
  Invalidate();
}

void TTransImage::Changed() { Invalidate(); }

void TTransImage::SetPicAlign(TPicAlign* value) {
  if (value != nullptr && value != picAlign_.get()) picAlign_->Assign(value);
  PicAlignChanged();
}

void TTransImage::SetPicDrawStyle(TPicDrawStyle value) {
  if (value == drawStyle_) return;
  drawStyle_ = value;
  Changed();
}

void TTransImage::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  // The image no longer covers its area: the parent paints it again.
  if (value && Parent() != nullptr) Parent()->Invalidate();
  Changed();
}

void TTransImage::SetTransparentColor(TColor value) {
  if (value == transparentColor_) return;
  transparentColor_ = value;
  masked_.Build(picture_->Graphic(), transparentColor_);
  Changed();
}

void TTransImage::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  if (value && HasPicture()) {
    SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
    drawStyle_ = dsCenter;
  }
  Changed();
}

void TTransImage::SetBevelInner(TBevelCut value) {
  if (value == bevelInner_) return;
  bevelInner_ = value;
  Changed();
}

void TTransImage::SetBevelOuter(TBevelCut value) {
  if (value == bevelOuter_) return;
  bevelOuter_ = value;
  Changed();
}

void TTransImage::SetBevelWidth(int value) {
  value = std::max(value, 1);
  if (value == bevelWidth_) return;
  bevelWidth_ = value;
  Changed();
}

void TTransImage::SetBorderWidth(int value) {
  value = std::max(value, 0);
  if (value == borderWidth_) return;
  borderWidth_ = value;
  Changed();
}

void TTransImage::SetBorderStyle(TBorderStyle value) {
  if (value != bsSingle) value = bsNone;
  if (value == borderStyle_) return;
  borderStyle_ = value;
  Changed();
}

TRect TTransImage::InnerRect() const {
  const TRect client = ClientRect();
  int inset = borderWidth_ + (borderStyle_ == bsSingle ? 1 : 0);
  if (bevelOuter_ != bvNone) inset += bevelWidth_;
  if (bevelInner_ != bvNone) inset += bevelWidth_;
  TRect r = client;
  InflateRect(r, -inset, -inset);
  return r.Width() <= 0 || r.Height() <= 0 ? client : r;
}

TRect TTransImage::PictureRect() const {
  if (!HasPicture()) return {};
  const TRect r = InnerRect();
  const int w = picture_->Width(), h = picture_->Height();
  const int rw = r.Width(), rh = r.Height();
  switch (drawStyle_) {
    case dsAlign: {
      int x = r.Left, y = r.Top;
      if (picAlign_->Horz() == bhCenter) x = (r.Left + r.Right - w) / 2;
      if (picAlign_->Horz() == bhRight) x = r.Right - w;
      if (picAlign_->Vert() == bvCenter) y = (r.Top + r.Bottom - h) / 2;
      if (picAlign_->Vert() == bvBottom) y = r.Bottom - h;
      return Bounds(x + picAlign_->HOffset(), y + picAlign_->VOffset(), w, h);
    }
    case dsCenter: return Bounds((r.Left + r.Right - w) / 2, (r.Top + r.Bottom - h) / 2, w, h);
    case dsFit:
      // The side that reaches the rectangle first sets the scale.
      if (static_cast<std::int64_t>(rw) * h <= static_cast<std::int64_t>(rh) * w)
        return Bounds(r.Left, r.Top, rw, Scale(h, rw, w));
      return Bounds(r.Left, r.Top, Scale(w, rh, h), rh);
    case dsHeight: return Bounds(r.Left, r.Top, Scale(w, rh, h), rh);
    case dsWidth: return Bounds(r.Left, r.Top, rw, Scale(h, rw, w));
    case dsStretch: return r;
    case dsTile: return Bounds(r.Left, r.Top, w, h);
  }
  return {};
}

void TTransImage::DrawPicture(const TRect& r) {
  TCanvas* canvas = Canvas();
  if (transparent_) {
    masked_.Draw(canvas, r);
  } else if (drawStyle_ == dsStretch && dynamic_cast<TIcon*>(picture_->Graphic()) != nullptr) {
    canvas->StretchDraw(r, &iconBitmap_);
  } else {
    canvas->StretchDraw(r, picture_->Graphic());
  }
}

void TTransImage::Paint() {
  TCanvas* canvas = Canvas();
  const TRect inner = InnerRect();
  if (!transparent_) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(inner);
  }
  const TRect at = PictureRect();
  if (drawStyle_ == dsTile && !at.IsEmpty()) {
    for (int x = inner.Left; x < inner.Right; x += at.Width())
      for (int y = inner.Top; y < inner.Bottom; y += at.Height())
        DrawPicture(Bounds(x, y, at.Width(), at.Height()));
  } else if (!at.IsEmpty()) {
    DrawPicture(at);
  }
  DrawFrame();
}

void TTransImage::DrawFrame() {
  TCanvas* canvas = Canvas();
  TRect rect = ClientRect();
  if (borderStyle_ == bsSingle) {
    Frame3D(canvas, rect, clBlack, clBlack, 1);
  } else if (ComponentState().Contains(csDesigning)) {
    canvas->Pen()->SetStyle(psDash);
    canvas->Pen()->SetColor(clBlack);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Rectangle(rect);
  }
  DrawPanelBevels(canvas, rect, bevelOuter_, bevelInner_, bevelWidth_, borderWidth_, Color());
}

void TTransImage::DeclareProperties(TClassBuilder<TTransImage, TGraphicControl>& b) {
  using T = TTransImage;
  b.Object("Picture", &T::Picture);
  b.Object("PicAlign", &T::PicAlign);
  b.Property("PicDrawStyle", &T::PicDrawStyle, &T::SetPicDrawStyle, kPicDrawStyleIdents);
  b.Property("Transparent", &T::Transparent, &T::SetTransparent).Default(false);
  b.Property("TransparentColor", &T::TransparentColor, &T::SetTransparentColor, kColorIdents);
  b.Property("AutoSize", &T::AutoSize, &T::SetAutoSize).Default(false);
  b.Property("BevelInner", &T::BevelInner, &T::SetBevelInner, kTransBevelIdents).Default(bvNone);
  b.Property("BevelOuter", &T::BevelOuter, &T::SetBevelOuter, kTransBevelIdents).Default(bvNone);
  b.Property("BevelWidth", &T::BevelWidth, &T::SetBevelWidth).Default(1);
  b.Property("BorderWidth", &T::BorderWidth, &T::SetBorderWidth).Default(0);
  b.Property("BorderStyle", &T::BorderStyle, &T::SetBorderStyle, kPanelBorderStyleIdents)
      .Default(bsNone);
}

void RegisterTransImageClasses() {
  if (GetClass(QStringLiteral("TTransImage")) == nullptr) RegisterClass<TTransImage>();
}
