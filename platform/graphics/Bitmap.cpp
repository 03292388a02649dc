#include "platform/graphics/Bitmap.h"

#include "platform/graphics/BmpFormat.h"
#include "platform/rtl/Streams.h"

#include <QFile>

namespace {

constexpr std::int64_t kMaxBmpStream = std::int64_t{1} << 30;

int BitsOf(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf32bit: return 32;
    default: return 24;
  }
}

TPixelFormat FormatOf(const TBmpImage& bmp) {
  switch (bmp.bitCount) {
    case 1: return bmp.monochrome ? pf1bit : pf4bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf16bit;
    case 32: return pf32bit;
    default: return pf24bit;
  }
}

QImage NewImage(int width, int height) {
  if (width > kBmpMaxDimension || height > kBmpMaxDimension ||
      static_cast<long long>(width) * height > kBmpMaxPixels)
    throw EOutOfResources(QStringLiteral("Out of system resources"));
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull())
    throw EOutOfResources(QStringLiteral("Out of system resources"));
  image.fill(0xFFFFFFFFu);
  return image;
}

}  // namespace

// TBitmapCanvas ------------------------------------------------------------

bool TBitmapCanvas::Monochrome() const {
  return bitmap_->Monochrome();
}

QPainter* TBitmapCanvas::CreateHandle() {
  if (bitmap_->Empty())
    return nullptr;
  SetDevice(&bitmap_->image_);
  return TCanvas::CreateHandle();
}

const QImage* TBitmapCanvas::PixelSource(QPoint& offset) {
  offset = QPoint();
  return bitmap_->Empty() ? nullptr : &bitmap_->image_;
}

QSize TBitmapCanvas::SurfaceSize() {
  return bitmap_->image_.size();
}

void TBitmapCanvas::Changed() {
  bitmap_->CanvasChanged();
  TCanvas::Changed();
}

// TBitmap ------------------------------------------------------------------

TBitmap::TBitmap() : canvas_(std::make_unique<TBitmapCanvas>(this)) {}

TBitmap::~TBitmap() {
  canvas_->FreeHandle();
}

bool TBitmap::Empty() const {
  return image_.isNull() || image_.width() == 0 || image_.height() == 0;
}

void TBitmap::SetSize(int width, int height) {
  width = std::max(0, width);
  height = std::max(0, height);
  if (width == Width() && height == Height())
    return;
  canvas_->FreeHandle();
  emptySize_ = QSize();
  if (width == 0 || height == 0) {
    image_ = QImage();
    emptySize_ = QSize(width, height);
  } else {
    QImage image = NewImage(width, height);
    if (!image_.isNull()) {
      QPainter p(&image);
      p.setCompositionMode(QPainter::CompositionMode_Source);
      p.drawImage(0, 0, image_);
    }
    image_ = image;
  }
  Changed();
}

const QImage& TBitmap::Image() {
  canvas_->FreeHandle();
  if (monoDirty_) {
    // Whatever was drawn on a monochrome bitmap lands as black or white.
    for (int y = 0; y < image_.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
      for (int x = 0; x < image_.width(); ++x)
        line[x] = qGray(line[x]) >= 128 ? 0xFFFFFFFFu : 0xFF000000u;
    }
    monoDirty_ = false;
  }
  return image_;
}

void TBitmap::SetImage(const QImage& image) {
  canvas_->FreeHandle();
  if (!image.isNull() && (image.width() > kBmpMaxDimension || image.height() > kBmpMaxDimension))
    throw EOutOfResources(QStringLiteral("Out of system resources"));
  pixelFormat_ = image.hasAlphaChannel() ? pf32bit : pf24bit;
  emptySize_ = QSize();
  image_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
  Changed();
}

void TBitmap::SetMonochrome(bool monochrome) {
  if (monochrome == Monochrome())
    return;
  canvas_->FreeHandle();
  if (!monochrome) {
    pixelFormat_ = pf24bit;
    Changed();
    return;
  }
  const QRgb back = ColorToQRgb(canvas_->BkColor()) & 0xFFFFFFu;
  for (int y = 0; y < image_.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    for (int x = 0; x < image_.width(); ++x)
      line[x] = (line[x] & 0xFFFFFFu) == back ? 0xFFFFFFFFu : 0xFF000000u;
  }
  pixelFormat_ = pf1bit;
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == pixelFormat_)
    return;
  if (format == pf1bit) {
    SetMonochrome(true);
    return;
  }
  pixelFormat_ = format;
  Reduce();
  Changed();
}

void TBitmap::Reduce() {
  if (Empty())
    return;
  canvas_->FreeHandle();
  if (pixelFormat_ == pf4bit || pixelFormat_ == pf8bit) {
    image_ = ReadBmp(WriteBmp(image_, BitsOf(pixelFormat_))).image;
  } else if (pixelFormat_ == pf15bit || pixelFormat_ == pf16bit) {
    const QRgb keep = pixelFormat_ == pf15bit ? 0xFFF8F8F8u : 0xFFF8FCF8u;
    for (int y = 0; y < image_.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
      for (int x = 0; x < image_.width(); ++x)
        line[x] &= keep;
    }
  }
}

void TBitmap::CanvasChanged() {
  if (Monochrome())
    monoDirty_ = true;
  TGraphic::Changed();
}

TColor TBitmap::TransparentColor() {
  if (transparentMode_ == tmFixed)
    return transparentColor_;
  if (Empty())
    return clDefault;
  const QImage& image = Image();
  return QRgbToColor(image.pixel(0, image.height() - 1));
}

void TBitmap::SetTransparentColor(TColor color) {
  if (color == clDefault) {
    SetTransparentMode(tmAuto);
    return;
  }
  if (transparentMode_ == tmFixed && transparentColor_ == color)
    return;
  transparentMode_ = tmFixed;
  transparentColor_ = color;
  Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode mode) {
  if (mode == transparentMode_)
    return;
  transparentMode_ = mode;
  if (mode == tmAuto)
    transparentColor_ = clDefault;
  else
    transparentColor_ = TransparentColor();
  Changed();
}

void TBitmap::LoadBmpBytes(const QByteArray& bytes) {
  TBmpImage bmp = ReadBmp(bytes);  // raises before anything changes
  canvas_->FreeHandle();
  emptySize_ = QSize();
  image_ = bmp.image;
  pixelFormat_ = FormatOf(bmp);
  monoDirty_ = false;
  Changed();
}

void TBitmap::LoadFromStream(TStream& stream) {
  const std::int64_t size = stream.Size() - stream.Position();
  if (size <= 0 || size > kMaxBmpStream)
    throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid (%1)")
                              .arg(size <= 0 ? QStringLiteral("no data")
                                             : QStringLiteral("file too large")));
  QByteArray bytes(static_cast<qsizetype>(size), '\0');
  stream.ReadBuffer(bytes.data(), size);
  LoadBmpBytes(bytes);
}

void TBitmap::SaveToStream(TStream& stream) {
  const QByteArray bytes = WriteBmp(Image(), BitsOf(pixelFormat_));
  stream.WriteBuffer(bytes.constData(), bytes.size());
}

void TBitmap::ReadData(TStream& stream) {
  std::int32_t size = 0;
  stream.ReadBuffer(&size, sizeof size);
  if (size <= 0 || size > stream.Size() - stream.Position())
    throw EInvalidGraphic(QStringLiteral("Bitmap image is not valid (bad data size)"));
  QByteArray bytes(size, '\0');
  stream.ReadBuffer(bytes.data(), size);
  LoadBmpBytes(bytes);
}

void TBitmap::WriteData(TStream& stream) {
  const QByteArray bytes = Empty() ? QByteArray() : WriteBmp(Image(), BitsOf(pixelFormat_));
  const auto size = static_cast<std::int32_t>(bytes.size());
  stream.WriteBuffer(&size, sizeof size);
  stream.WriteBuffer(bytes.constData(), bytes.size());
}

void TBitmap::LoadFromResourceName(const QString& name) {
  QFile bmp(QStringLiteral(":/res/%1.bmp").arg(name));
  if (bmp.open(QIODevice::ReadOnly)) {
    LoadBmpBytes(bmp.readAll());
    return;
  }
  QImage png;
  if (!png.load(QStringLiteral(":/res/%1.png").arg(name)))
    throw EInvalidGraphic(QStringLiteral("Resource %1 not found").arg(name));
  SetImage(png);
}

void TBitmap::Assign(TPersistent* source) {
  if (!source) {
    SetSize(0, 0);
    return;
  }
  if (auto* other = dynamic_cast<TBitmap*>(source)) {
    if (other == this)
      return;
    const QImage& image = other->Image();
    canvas_->FreeHandle();
    emptySize_ = QSize();
    image_ = image;
    pixelFormat_ = other->pixelFormat_;
    transparentMode_ = other->transparentMode_;
    transparentColor_ = other->transparentColor_;
    monoDirty_ = false;
    TGraphic::SetTransparent(other->Transparent());
    Changed();
    return;
  }
  if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
    canvas_->FreeHandle();
    emptySize_ = QSize();
    image_ = graphic->Empty() ? QImage() : NewImage(graphic->Width(), graphic->Height());
    pixelFormat_ = pf24bit;
    if (!graphic->Empty())
      graphic->Draw(canvas_.get(), Rect(0, 0, graphic->Width(), graphic->Height()));
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r) {
  if (Empty() || !canvas)
    return;
  const QImage image = Image();
  const TRect all = Rect(0, 0, image.width(), image.height());
  if (Transparent())
    canvas->TransparentBlt(r, image, all, TransparentColor());
  else
    canvas->StretchBlt(r, image, all, canvas->CopyMode(), Monochrome(), canvas_->BkColor());
}
