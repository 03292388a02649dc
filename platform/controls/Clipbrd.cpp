#include "platform/controls/Clipbrd.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/ProcessState.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>

namespace {

QClipboard* System() {
  QClipboard* c = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
                      ? QGuiApplication::clipboard()
                      : nullptr;
  if (c == nullptr) throw EClipboardException(QStringLiteral("Cannot open clipboard"));
  return c;
}

}  // namespace

TClipboard::TClipboard() = default;
TClipboard::~TClipboard() = default;

void TClipboard::Open() {
  if (openCount_++ == 0) written_ = false;
}

void TClipboard::Close() {
  if (openCount_ > 0) --openCount_;
}

void TClipboard::Clear() {
  text_.clear();
  hasText_ = false;
  image_ = QImage();
  written_ = openCount_ > 0;
  System()->clear();
}

void TClipboard::BeginWrite() {
  if (openCount_ > 0 && written_) return;
  text_.clear();
  hasText_ = false;
  image_ = QImage();
  written_ = openCount_ > 0;
}

void TClipboard::Publish() {
  auto data = std::make_unique<QMimeData>();
  if (hasText_) data->setText(text_);
  if (!image_.isNull()) data->setImageData(image_);
  System()->setMimeData(data.release());  // the clipboard takes it
}

QString TClipboard::AsText() const { return System()->text(); }

void TClipboard::SetAsText(const QString& text) {
  BeginWrite();
  text_ = text;
  hasText_ = true;
  Publish();
}

bool TClipboard::HasFormat(UINT format) const {
  const QMimeData* data = System()->mimeData();
  if (data == nullptr) return false;
  switch (format) {
    case CF_TEXT:
    case CF_OEMTEXT:
    case CF_UNICODETEXT:
      return data->hasText();
    case CF_BITMAP:
    case CF_DIB:
    case CF_PICTURE:
      return data->hasImage();
    default:
      return false;
  }
}

void TClipboard::SetImage(const QImage& image) {
  BeginWrite();
  image_ = image;
  Publish();
}

void TClipboard::Assign(TPersistent* source) {
  if (auto* picture = dynamic_cast<TPicture*>(source)) {
    TGraphic* graphic = picture->Graphic();
    if (auto* bitmap = dynamic_cast<TBitmap*>(graphic)) return SetImage(bitmap->Image());
    if (auto* icon = dynamic_cast<TIcon*>(graphic)) return SetImage(icon->Image());
  } else if (auto* bitmap = dynamic_cast<TBitmap*>(source)) {
    return SetImage(bitmap->Image());
  } else if (auto* icon = dynamic_cast<TIcon*>(source)) {
    return SetImage(icon->Image());
  }
  TPersistent::Assign(source);
}

void TClipboard::AssignTo(TPersistent* dest) {
  const QMimeData* data = System()->mimeData();
  QImage image;
  if (data != nullptr && data->hasImage()) image = qvariant_cast<QImage>(data->imageData());
  auto* picture = dynamic_cast<TPicture*>(dest);
  auto* bitmap = picture != nullptr ? nullptr : dynamic_cast<TBitmap*>(dest);
  if (picture == nullptr && bitmap == nullptr) return TPersistent::AssignTo(dest);
  if (image.isNull()) throw EClipboardException(QStringLiteral("Unsupported clipboard format"));
  if (picture != nullptr) bitmap = picture->Bitmap();
  bitmap->SetImage(image.convertToFormat(QImage::Format_RGB32));
}

// The process-wide object lives in the process-wide holder.
TClipboard* Clipboard() { return &ProcessObject<TClipboard>(); }

std::unique_ptr<TClipboard> SetClipboard(std::unique_ptr<TClipboard> clipboard) {
  return ReplaceProcessObject<TClipboard>(std::move(clipboard));
}
