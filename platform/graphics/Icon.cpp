#include "platform/graphics/Icon.h"

#include "platform/graphics/Canvas.h"
#include "platform/rtl/Streams.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace {
constexpr std::int64_t kMaxIconBytes = std::int64_t{16} << 20;
constexpr int kMaxIconSide = 1024;
}  // namespace

TIcon::TIcon() {
  TGraphic::SetTransparent(true);
}

void TIcon::SetWidth(int) {
  throw EInvalidGraphicOperation(QStringLiteral("Cannot change the size of an icon"));
}

void TIcon::SetHeight(int) {
  throw EInvalidGraphicOperation(QStringLiteral("Cannot change the size of an icon"));
}

void TIcon::LoadBytes(const QByteArray& bytes) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QByteArray format = reader.format();
  if (format != "ico" && format != "png")
    throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
  const QSize size = reader.size();
  if (size.isValid() && (size.width() > kMaxIconSide || size.height() > kMaxIconSide))
    throw EInvalidGraphic(QStringLiteral("Icon image is not valid (too large)"));
  QImage image;
  if (!reader.read(&image) || image.isNull())
    throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
  image_ = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  data_ = bytes;
  Changed();
}

void TIcon::LoadFromStream(TStream& stream) {
  const std::int64_t size = stream.Size() - stream.Position();
  if (size <= 0 || size > kMaxIconBytes)
    throw EInvalidGraphic(QStringLiteral("Icon image is not valid"));
  QByteArray bytes(static_cast<qsizetype>(size), '\0');
  stream.ReadBuffer(bytes.data(), size);
  LoadBytes(bytes);
}

void TIcon::SaveToStream(TStream& stream) {
  QByteArray bytes = data_;
  if (bytes.isEmpty() && !image_.isNull()) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image_.save(&buffer, "ico");
  }
  stream.WriteBuffer(bytes.constData(), bytes.size());
}

void TIcon::LoadFromResourceName(const QString& name) {
  for (const char* ext : {"ico", "png"}) {
    QFile file(QStringLiteral(":/res/%1.%2").arg(name, QLatin1String(ext)));
    if (file.open(QIODevice::ReadOnly)) {
      LoadBytes(file.readAll());
      return;
    }
  }
  throw EInvalidGraphic(QStringLiteral("Resource %1 not found").arg(name));
}

void TIcon::Assign(TPersistent* source) {
  if (!source) {
    image_ = QImage();
    data_.clear();
    Changed();
    return;
  }
  if (auto* other = dynamic_cast<TIcon*>(source)) {
    if (other == this)
      return;
    image_ = other->image_;
    data_ = other->data_;
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

void TIcon::Draw(TCanvas* canvas, const TRect& r) {
  if (!Empty() && canvas)
    canvas->DrawImage(r, image_);
}
