#include "platform/controls/ImageList.h"

#include "platform/classes/Filer.h"
#include "platform/graphics/Bitmap.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

#include <QtEndian>

namespace {

constexpr char kMagic[4] = {'Q', 'X', 'I', 'L'};
constexpr int kHeaderSize = 14;
constexpr int kMaxSide = 1024;
constexpr std::uint32_t kMaxCount = 65535;

[[noreturn]] void BadData(const QString& why) {
  throw EReadError(QStringLiteral("Invalid image list data: %1").arg(why));
}

}  // namespace

TImageList::TImageList(TComponent* owner) : TComponent(owner) {}

TImageList::~TImageList() = default;

void TImageList::SetWidth(int v) {
  if (v < 1 || v == width_) return;
  width_ = v;
  images_.clear();
  Changed();
}

void TImageList::SetHeight(int v) {
  if (v < 1 || v == height_) return;
  height_ = v;
  images_.clear();
  Changed();
}

void TImageList::Changed() {
  // A listener may unregister (or register) while being told: walk a copy.
  const auto listeners = listeners_;
  for (const auto& entry : listeners) entry.second();
  if (OnChange) OnChange(this);
}

void TImageList::RegisterChanges(const void* key, std::function<void()> changed) {
  listeners_[key] = std::move(changed);
}

void TImageList::UnRegisterChanges(const void* key) { listeners_.erase(key); }

int TImageList::AddImages(const QImage& colour, const std::function<bool(int, int)>& transparent) {
  const int pieces = colour.width() / width_;
  if (pieces < 1 || colour.height() < 1)
    throw EInvalidOperation(QStringLiteral("Unable to insert an image"));
  const int first = Count();
  for (int p = 0; p < pieces; ++p) {
    QImage image(width_, height_, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < qMin(height_, static_cast<int>(colour.height())); ++y) {
      for (int x = 0; x < width_; ++x) {
        const int sx = p * width_ + x;
        if (transparent(sx, y)) continue;
        image.setPixel(x, y, colour.pixel(sx, y) | 0xFF000000u);
      }
    }
    images_.push_back(image);
  }
  Changed();
  return first;
}

int TImageList::Add(TBitmap* image, TBitmap* mask) {
  if (image == nullptr) throw EInvalidOperation(QStringLiteral("Unable to insert an image"));
  const QImage colour = image->Image().convertToFormat(QImage::Format_RGB32);
  QImage maskImage;
  if (mask != nullptr) maskImage = mask->Image().convertToFormat(QImage::Format_RGB32);
  return AddImages(colour, [&maskImage](int x, int y) {
    if (maskImage.isNull() || x >= maskImage.width() || y >= maskImage.height()) return false;
    return qGray(maskImage.pixel(x, y)) > 127;
  });
}

int TImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (image == nullptr) throw EInvalidOperation(QStringLiteral("Unable to insert an image"));
  const QImage colour = image->Image().convertToFormat(QImage::Format_RGB32);
  const QRgb key = ColorToQColor(maskColor).rgb() & 0xFFFFFFu;
  return AddImages(colour, [&colour, key](int x, int y) {
    return (colour.pixel(x, y) & 0xFFFFFFu) == key;
  });
}

QImage TImageList::ImageAt(int index) const {
  if (index < 0 || index >= Count()) return {};
  return images_.at(static_cast<std::size_t>(index));
}

// A disabled image: its shape in the highlight colour, one pixel down and
// right, under the same shape in the shadow colour.
static QImage Silhouette(const QImage& image, TColor color) {
  QImage out(image.size(), QImage::Format_ARGB32);
  out.fill(Qt::transparent);
  const QRgb rgb = ColorToQColor(color).rgb() | 0xFF000000u;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (qAlpha(image.pixel(x, y)) != 0) out.setPixel(x, y, rgb);
  return out;
}

void TImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) const {
  if (canvas == nullptr || index < 0 || index >= Count()) return;
  const QImage& image = images_.at(static_cast<std::size_t>(index));
  if (enabled) {
    canvas->DrawImage(Bounds(x, y, width_, height_), image);
    return;
  }
  canvas->DrawImage(Bounds(x + 1, y + 1, width_, height_), Silhouette(image, clBtnHighlight));
  canvas->DrawImage(Bounds(x, y, width_, height_), Silhouette(image, clBtnShadow));
}

void TImageList::GetBitmap(int index, TBitmap* image) const {
  if (image == nullptr || index < 0 || index >= Count()) return;
  image->SetSize(width_, height_);
  image->Canvas()->Brush()->SetColor(clWhite);
  image->Canvas()->FillRect(Rect(0, 0, width_, height_));
  Draw(image->Canvas(), 0, 0, index);
}

void TImageList::Clear() {
  if (images_.empty()) return;
  images_.clear();
  Changed();
}

void TImageList::Delete(int index) {
  if (index < 0 || index >= Count())
    throw EInvalidOperation(QStringLiteral("Invalid ImageList Index"));
  images_.erase(images_.begin() + index);
  Changed();
}

QByteArray TImageList::SaveImageData() const {
  QByteArray out(kHeaderSize, '\0');
  auto* p = reinterpret_cast<uchar*>(out.data());
  memcpy(p, kMagic, 4);
  qToLittleEndian<quint16>(1, p + 4);
  qToLittleEndian<quint16>(static_cast<quint16>(width_), p + 6);
  qToLittleEndian<quint16>(static_cast<quint16>(height_), p + 8);
  qToLittleEndian<quint32>(static_cast<quint32>(Count()), p + 10);
  const int stripWidth = width_ * Count();
  QByteArray pixels(static_cast<qsizetype>(stripWidth) * height_ * 4, '\0');
  auto* q = reinterpret_cast<uchar*>(pixels.data());
  for (int y = 0; y < height_; ++y)
    for (int i = 0; i < Count(); ++i)
      for (int x = 0; x < width_; ++x) {
        const qsizetype at = (static_cast<qsizetype>(y) * stripWidth + i * width_ + x) * 4;
        qToLittleEndian<quint32>(images_[static_cast<std::size_t>(i)].pixel(x, y), q + at);
      }
  return out + pixels;
}

// Checks everything before anything changes.
void TImageList::LoadImageData(const QByteArray& data) {
  if (data.size() < kHeaderSize) BadData(QStringLiteral("too short"));
  const auto* p = reinterpret_cast<const uchar*>(data.constData());
  if (memcmp(p, kMagic, 4) != 0) BadData(QStringLiteral("not an image list"));
  if (qFromLittleEndian<quint16>(p + 4) != 1) BadData(QStringLiteral("unknown version"));
  const int w = qFromLittleEndian<quint16>(p + 6);
  const int h = qFromLittleEndian<quint16>(p + 8);
  const quint32 count = qFromLittleEndian<quint32>(p + 10);
  if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide || count > kMaxCount)
    BadData(QStringLiteral("bad size"));
  const qint64 expected = kHeaderSize + static_cast<qint64>(w) * h * 4 * count;
  if (data.size() != expected) BadData(QStringLiteral("wrong length"));
  std::vector<QImage> images;
  const int stripWidth = w * static_cast<int>(count);
  for (int i = 0; i < static_cast<int>(count); ++i) {
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const qint64 at = kHeaderSize + (static_cast<qint64>(y) * stripWidth + i * w + x) * 4;
        QRgb px = qFromLittleEndian<quint32>(p + at);
        // Alpha is all or nothing.
        px = qAlpha(px) >= 128 ? (px | 0xFF000000u) : 0u;
        image.setPixel(x, y, px);
      }
    images.push_back(image);
  }
  width_ = w;
  height_ = h;
  images_ = std::move(images);
  Changed();
}

void TImageList::DefineProperties(TFiler* filer) {
  TComponent::DefineProperties(filer);
  filer->DefineBinaryProperty(
      QStringLiteral("Bitmap"),
      [this](TStream& stream) {
        QByteArray bytes(static_cast<qsizetype>(stream.Size() - stream.Position()), '\0');
        stream.ReadBuffer(bytes.data(), bytes.size());
        LoadImageData(bytes);
      },
      [this](TStream& stream) {
        const QByteArray bytes = SaveImageData();
        stream.WriteBuffer(bytes.constData(), bytes.size());
      },
      Count() > 0);
}

void TImageList::DeclareProperties(TClassBuilder<TImageList, TComponent>& b) {
  b.Property("Height", &TImageList::Height, &TImageList::SetHeight).Default(16);
  b.Property("Width", &TImageList::Width, &TImageList::SetWidth).Default(16);
}
