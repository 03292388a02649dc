// The picture buttons' glyph: per-state images made from one picture, kept in
// shared per-size lists; and the process-wide stores.
#include "components/Lumbtn.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Icon.h"
#include "platform/rtl/ProcessState.h"


#include <algorithm>

// TGlyphList.

int TGlyphList::Add(const QImage& image) {
  auto free = std::find(used_.begin(), used_.end(), false);
  const auto index = static_cast<std::size_t>(free - used_.begin());
  if (free == used_.end()) {
    images_.emplace_back();
    used_.push_back(false);
  }
  images_[index] = image;
  used_[index] = true;
  ++count_;
  return static_cast<int>(index);
}

void TGlyphList::Release(int index) {
  if (index < 0 || index >= static_cast<int>(used_.size())) return;
  const auto slot = static_cast<std::size_t>(index);
  if (!used_[slot]) return;
  used_[slot] = false;
  images_[slot] = QImage();
  --count_;
}

QImage TGlyphList::Image(int index) const {
  if (index < 0 || index >= static_cast<int>(used_.size())) return {};
  return images_[static_cast<std::size_t>(index)];
}

// TBrushPattern.

TBrushPattern::TBrushPattern(TColor color) : color_(color), bitmap_(std::make_unique<TBitmap>()) {
  QImage image(8, 8, QImage::Format_RGB32);
  const unsigned fill = ColorToQRgb(color);
  const unsigned light = ColorToQRgb(clBtnHighlight);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) image.setPixel(x, y, (x % 2) == (y % 2) ? light : fill);
  bitmap_->SetImage(image);
}

// The stores live in the process-wide holder: freed with the application
// object, by the test reset, or once both are empty.

namespace {

void FreeStoresWhenEmpty() {
  if (const TPicButtonStores* stores = FindProcessObject<TPicButtonStores>();
      stores != nullptr && stores->Empty())
    FreePicButtonStores();
}

}  // namespace

TPicButtonStores& PicButtonStores() { return ProcessObject<TPicButtonStores>(); }

bool PicButtonStoresAllocated() { return FindProcessObject<TPicButtonStores>() != nullptr; }

void FreePicButtonStores() { FreeProcessObject<TPicButtonStores>(); }

std::shared_ptr<TGlyphList> TPicButtonStores::AcquireGlyphList(int width, int height) {
  for (auto it = glyphLists_.rbegin(); it != glyphLists_.rend(); ++it)
    if ((*it)->Width() == width && (*it)->Height() == height) return *it;
  glyphLists_.push_back(std::make_shared<TGlyphList>(width, height));
  return glyphLists_.back();
}

void TPicButtonStores::ReleaseGlyphList(const std::shared_ptr<TGlyphList>& list) {
  if (list == nullptr || list->Count() != 0) return;
  std::erase(glyphLists_, list);
}

std::shared_ptr<TBrushPattern> TPicButtonStores::AcquirePattern(TColor color) {
  auto it = std::find_if(patterns_.begin(), patterns_.end(),
                         [color](const auto& p) { return p->Color() == color; });
  if (it == patterns_.end())
    it = patterns_.insert(patterns_.end(), std::make_shared<TBrushPattern>(color));
  ++(*it)->refs_;
  return *it;
}

void TPicButtonStores::ReleasePattern(const std::shared_ptr<TBrushPattern>& pattern) {
  if (pattern == nullptr || --pattern->refs_ > 0) return;
  std::erase(patterns_, pattern);
}

// TlumButtonGlyph.

namespace {

// Pixels of image that have colour (compared as RGB).
std::vector<bool> MaskOf(const QImage& image, TColor color) {
  const unsigned rgb = ColorToQRgb(color) & 0xFFFFFFu;
  std::vector<bool> mask(static_cast<std::size_t>(image.width() * image.height()));
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      mask[static_cast<std::size_t>(y * image.width() + x)] =
          (image.pixel(x, y) & 0xFFFFFFu) == rgb;
  return mask;
}

}  // namespace

TlumButtonGlyph::TlumButtonGlyph() : picture_(std::make_unique<TPicture>()) {
  picture_->OnChange = [this](TObject*) { PictureChanged(); };
}

TlumButtonGlyph::~TlumButtonGlyph() { ReleaseImages(); }

void TlumButtonGlyph::Changed() {
  if (OnChange) OnChange(this);
}

void TlumButtonGlyph::PictureChanged() {
  TGraphic* graphic = picture_->Graphic();
  auto* bitmap = dynamic_cast<TBitmap*>(graphic);
  transparentColor_ = bitmap != nullptr && !bitmap->Empty() ? bitmap->TransparentColor()
                                                             : ColorOf(0xFF00FF);
  transparentSet_ = false;
  const int w = picture_->Width(), h = picture_->Height();
  const int n = graphic != nullptr && h > 0 ? w / h : 1;
  numGlyphs_ = n >= 1 && n <= 4 ? n : 1;
  ReleaseImages();
  Changed();
}

void TlumButtonGlyph::SetTransparentColor(TColor v) {
  if (v == transparentColor_) return;
  transparentColor_ = v;
  transparentSet_ = true;
  ReleaseImages();
  Changed();
}

void TlumButtonGlyph::SetNumGlyphs(int v) {
  if (v <= 0) return;
  v = std::min(v, 4);
  if (v == numGlyphs_) return;
  numGlyphs_ = v;
  ReleaseImages();
  Changed();
}

TSize TlumButtonGlyph::GlyphSize() const {
  if (picture_->Graphic() == nullptr) return {0, 0};
  return {picture_->Width() / numGlyphs_, picture_->Height()};
}

void TlumButtonGlyph::ReleaseImages() {
  for (int& index : indexes_) {
    if (index != -1 && list_ != nullptr) list_->Release(index);
    index = -1;
  }
  if (list_ != nullptr && PicButtonStoresAllocated()) {
    PicButtonStores().ReleaseGlyphList(list_);
    FreeStoresWhenEmpty();
  }
  list_.reset();
}

QImage TlumButtonGlyph::Column(const QImage& work, int column) const {
  const TSize size = GlyphSize();
  return work.copy(column * size.cx, 0, size.cx, size.cy);
}

QImage TlumButtonGlyph::DisabledImage(const QImage& work) const {
  const TSize size = GlyphSize();
  const unsigned face = ColorToQRgb(buttonColor_);
  const unsigned light = ColorToQRgb(clBtnHighlight);
  const unsigned shadow = ColorToQRgb(clBtnShadow);
  if (numGlyphs_ >= 2) {
    // The picture's own disabled column, in the current system colours.
    QImage image = Column(work, 1);
    const std::vector<bool> white = MaskOf(image, ColorOf(0xFFFFFF));
    const std::vector<bool> grey = MaskOf(image, ColorOf(0x808080));
    const std::vector<bool> clear = MaskOf(image, transparentColor_);
    for (int y = 0; y < size.cy; ++y)
      for (int x = 0; x < size.cx; ++x) {
        const auto i = static_cast<std::size_t>(y * size.cx + x);
        if (white[i]) image.setPixel(x, y, light);
        else if (grey[i]) image.setPixel(x, y, shadow);
        else if (clear[i]) image.setPixel(x, y, face);
      }
    return image;
  }
  // Embossed: the shape (every pixel that is neither the transparent colour
  // nor white, as a monochrome copy takes it) in highlight at (1, 1), then in
  // shadow at (0, 0).
  const QImage column = Column(work, 0);
  const std::vector<bool> clear = MaskOf(column, transparentColor_);
  const std::vector<bool> white = MaskOf(column, ColorOf(0xFFFFFF));
  auto ink = [&](int x, int y) {
    const auto i = static_cast<std::size_t>(y * size.cx + x);
    return !clear[i] && !white[i];
  };
  QImage image(size.cx, size.cy, QImage::Format_RGB32);
  image.fill(face);
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x)
      if (ink(x, y) && x + 1 < size.cx && y + 1 < size.cy) image.setPixel(x + 1, y + 1, light);
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x)
      if (ink(x, y)) image.setPixel(x, y, shadow);
  return image;
}

int TlumButtonGlyph::MakeStateImage(TButtonState state) {
  if (state == bsDown && numGlyphs_ < 3) state = bsUp;
  int& index = indexes_[state];
  if (index != -1) return index;
  const int w = picture_->Width(), h = picture_->Height();
  const TSize size = GlyphSize();
  if (w == 0 || h == 0 || size.cx == 0) return -1;

  TBitmap work;
  work.SetSize(w, h);
  work.Canvas()->Brush()->SetColor(transparentColor_);
  work.Canvas()->FillRect(Rect(0, 0, w, h));
  work.Canvas()->Draw(0, 0, picture_->Graphic());
  if (!transparentSet_ && dynamic_cast<TBitmap*>(picture_->Graphic()) != nullptr)
    transparentColor_ = work.TransparentColor();
  const QImage pixels = work.Image().convertToFormat(QImage::Format_RGB32);

  if (list_ == nullptr) list_ = PicButtonStores().AcquireGlyphList(size.cx, size.cy);
  const int column = state < numGlyphs_ ? state : 0;
  QImage image;
  switch (state) {
    case bsUp:
    case bsDown: {
      image = Column(pixels, column);
      const std::vector<bool> clear = MaskOf(image, transparentColor_);
      const unsigned face = ColorToQRgb(buttonColor_);
      for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
          if (clear[static_cast<std::size_t>(y * size.cx + x)]) image.setPixel(x, y, face);
      break;
    }
    case bsExclusive: {
      image = Column(pixels, column).convertToFormat(QImage::Format_ARGB32);
      const std::vector<bool> clear = MaskOf(image, transparentColor_);
      for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
          if (clear[static_cast<std::size_t>(y * size.cx + x)]) image.setPixel(x, y, 0u);
      break;
    }
    case bsDisabled:
      image = DisabledImage(pixels);
      break;
  }
  index = list_->Add(image);
  return index;
}

QImage TlumButtonGlyph::StateImage(TButtonState state) {
  const int index = MakeStateImage(state);
  return index < 0 || list_ == nullptr ? QImage() : list_->Image(index);
}

void TlumButtonGlyph::Draw(TCanvas* canvas, TPoint at, TButtonState state) {
  const TSize size = GlyphSize();
  if (size.cx == 0 || size.cy == 0) return;
  const QImage image = StateImage(state);
  if (image.isNull()) return;
  canvas->DrawImage(Rect(at.X, at.Y, at.X + size.cx, at.Y + size.cy), image);
}
