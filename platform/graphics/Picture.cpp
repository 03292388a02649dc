#include "platform/graphics/Picture.h"

#include "platform/classes/Filer.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/BmpFormat.h"
#include "platform/graphics/Icon.h"
#include "platform/rtl/Streams.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

std::unique_ptr<TGraphic> NewGraphicOfClass(const QString& className) {
  if (className == QLatin1String("TBitmap"))
    return std::make_unique<TBitmap>();
  if (className == QLatin1String("TIcon"))
    return std::make_unique<TIcon>();
  throw EInvalidGraphic(QStringLiteral("Unsupported picture format %1").arg(className));
}

std::unique_ptr<TGraphic> CopyOf(TGraphic* graphic) {
  std::unique_ptr<TGraphic> copy = NewGraphicOfClass(dynamic_cast<TIcon*>(graphic)
                                                         ? QStringLiteral("TIcon")
                                                         : QStringLiteral("TBitmap"));
  copy->Assign(graphic);
  return copy;
}

std::unique_ptr<TGraphic> ImageFile(const QString& fileName) {
  QImageReader reader(fileName);
  const QSize size = reader.size();
  if (size.isValid() && (size.width() > kBmpMaxDimension || size.height() > kBmpMaxDimension ||
                         static_cast<long long>(size.width()) * size.height() > kBmpMaxPixels))
    throw EInvalidGraphic(QStringLiteral("Picture image is not valid (too large)"));
  QImage image;
  if (!reader.read(&image))
    throw EInvalidGraphic(QStringLiteral("Picture image is not valid (%1)").arg(reader.errorString()));
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetImage(image);
  return bitmap;
}

}  // namespace

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed() {
  if (OnChange)
    OnChange(this);
}

void TPicture::Take(std::unique_ptr<TGraphic> graphic) {
  graphic_ = std::move(graphic);
  if (graphic_)
    graphic_->OnChange = [this](TObject*) { Changed(); };
  Changed();
}

void TPicture::SetGraphic(TGraphic* graphic) {
  Take(graphic ? CopyOf(graphic) : nullptr);
}

TBitmap* TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(graphic_.get()))
    Take(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(graphic_.get());
}

TIcon* TPicture::Icon() {
  if (!dynamic_cast<TIcon*>(graphic_.get()))
    Take(std::make_unique<TIcon>());
  return static_cast<TIcon*>(graphic_.get());
}

int TPicture::Width() const {
  return graphic_ ? graphic_->Width() : 0;
}

int TPicture::Height() const {
  return graphic_ ? graphic_->Height() : 0;
}

void TPicture::LoadFromFile(const QString& fileName) {
  const QString ext = QFileInfo(fileName).suffix().toLower();
  std::unique_ptr<TGraphic> graphic;
  if (ext == QLatin1String("bmp") || ext == QLatin1String("ico")) {
    graphic = ext == QLatin1String("bmp") ? NewGraphicOfClass(QStringLiteral("TBitmap"))
                                          : NewGraphicOfClass(QStringLiteral("TIcon"));
    graphic->LoadFromFile(fileName);
  } else if (ext == QLatin1String("png") || ext == QLatin1String("jpg") ||
             ext == QLatin1String("jpeg") || ext == QLatin1String("gif")) {
    if (!QFileInfo::exists(fileName))
      throw EFOpenError(QStringLiteral("Cannot open file \"%1\". No such file or directory")
                            .arg(fileName));
    graphic = ImageFile(fileName);
  } else {
    throw EInvalidGraphic(QStringLiteral("Unknown picture file extension (.%1)").arg(ext));
  }
  Take(std::move(graphic));
}

void TPicture::SaveToFile(const QString& fileName) {
  if (!graphic_ || graphic_->Empty())
    throw EInvalidGraphic(QStringLiteral("Cannot save an empty picture"));
  graphic_->SaveToFile(fileName);
}

void TPicture::LoadFromResourceName(const QString& name) {
  const QString base = QStringLiteral(":/res/") + name;
  std::unique_ptr<TGraphic> graphic;
  if (QFile::exists(base + QLatin1String(".ico"))) {
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromResourceName(name);
    graphic = std::move(icon);
  } else {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->LoadFromResourceName(name);
    graphic = std::move(bitmap);
  }
  Take(std::move(graphic));
}

void TPicture::Assign(TPersistent* source) {
  if (!source) {
    Take(nullptr);
    return;
  }
  if (auto* other = dynamic_cast<TPicture*>(source)) {
    if (other != this)
      SetGraphic(other->Graphic());
    return;
  }
  if (auto* graphic = dynamic_cast<TGraphic*>(source)) {
    SetGraphic(graphic);
    return;
  }
  TPersistent::Assign(source);
}

void TPicture::AssignTo(TPersistent* dest) {
  if (auto* graphic = dynamic_cast<TGraphic*>(dest); graphic && graphic_) {
    graphic->Assign(graphic_.get());
    return;
  }
  TPersistent::AssignTo(dest);
}

void TPicture::DefineProperties(TFiler* filer) {
  TPersistent::DefineProperties(filer);
  filer->DefineBinaryProperty(
      QStringLiteral("Data"), [this](TStream& s) { ReadData(s); },
      [this](TStream& s) { WriteData(s); }, graphic_ && !graphic_->Empty());
}

void TPicture::ReadData(TStream& stream) {
  std::uint8_t length = 0;
  stream.ReadBuffer(&length, 1);
  QByteArray name(length, '\0');
  stream.ReadBuffer(name.data(), length);
  if (name.isEmpty()) {
    Take(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> graphic = NewGraphicOfClass(QString::fromLatin1(name));
  graphic->ReadData(stream);
  Take(std::move(graphic));
}

void TPicture::WriteData(TStream& stream) {
  QByteArray name;
  if (graphic_)
    name = dynamic_cast<TIcon*>(graphic_.get()) ? "TIcon" : "TBitmap";
  const auto length = static_cast<std::uint8_t>(name.size());
  stream.WriteBuffer(&length, 1);
  stream.WriteBuffer(name.constData(), name.size());
  if (graphic_)
    graphic_->WriteData(stream);
}
