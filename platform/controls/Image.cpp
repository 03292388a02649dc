#include "platform/controls/Image.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Graphic.h"
#include "platform/rtl/Exceptions.h"

TImage::TImage(TComponent* owner)
    : TGraphicControl(owner), picture_(std::make_unique<TPicture>()) {
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
  SetBounds(0, 0, 105, 105);
}

TImage::~TImage() { picture_->OnChange = nullptr; }

void TImage::SetStretch(bool v) {
  if (v == stretch_) return;
  stretch_ = v;
  Invalidate();
}

void TImage::SetCenter(bool v) {
  if (v == center_) return;
  center_ = v;
  Invalidate();
}

void TImage::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  PictureChanged();
}

void TImage::SetAutoSize(bool v) {
  autoSize_ = v;
  PictureChanged();
}

void TImage::PictureChanged() {
  TGraphic* graphic = picture_->Graphic();
  if (graphic != nullptr && !drawing_) {
    drawing_ = true;  // SetTransparent reports a change of its own
    if (graphic->Transparent() != transparent_) graphic->SetTransparent(transparent_);
    drawing_ = false;
  }
  if (autoSize_ && picture_->Width() > 0 && picture_->Height() > 0)
    SetBounds(Left(), Top(), picture_->Width(), picture_->Height());
  Invalidate();
}

TCanvas* TImage::Canvas() {
  TGraphic* graphic = picture_->Graphic();
  if (graphic == nullptr) {
    TBitmap* bitmap = picture_->Bitmap();
    bitmap->SetSize(Width(), Height());
    return bitmap->Canvas();
  }
  auto* bitmap = dynamic_cast<TBitmap*>(graphic);
  if (bitmap == nullptr)
    throw EInvalidOperation(QStringLiteral("Can only modify an image if it contains a bitmap"));
  return bitmap->Canvas();
}

TRect TImage::DestRect() const {
  if (stretch_) return ClientRect();
  const int w = picture_->Width();
  const int h = picture_->Height();
  if (center_) {
    const int left = (Width() - w) / 2;
    const int top = (Height() - h) / 2;
    return Rect(left, top, left + w, top + h);
  }
  return Rect(0, 0, w, h);
}

void TImage::Paint() {
  TGraphic* graphic = picture_->Graphic();
  if (graphic == nullptr || graphic->Empty()) return;
  TGraphicControl::Canvas()->StretchDraw(DestRect(), graphic);
}

void TImage::DeclareProperties(TClassBuilder<TImage, TGraphicControl>& b) {
  b.Property("AutoSize", &TImage::AutoSize, &TImage::SetAutoSize).Default(false);
  b.Property("Center", &TImage::Center, &TImage::SetCenter).Default(false);
  b.Object("Picture", &TImage::Picture);
  b.Property("Stretch", &TImage::Stretch, &TImage::SetStretch).Default(false);
  b.Property("Transparent", &TImage::Transparent, &TImage::SetTransparent).Default(false);
}

void RegisterImageClasses() {
  if (GetClass(QStringLiteral("TImage")) == nullptr) RegisterClass<TImage>();
}
