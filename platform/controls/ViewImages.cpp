#include "platform/controls/ViewImages.h"

#include <QPainter>
#include <QPixmap>

TViewImages::TViewImages(TComponent* view, std::function<void()> changed)
    : view_(view), changed_(std::move(changed)) {}

// The lists must not call back a view that is gone.
TViewImages::~TViewImages() {
  Unwatch(images_);
  if (stateImages_ != images_) Unwatch(stateImages_);
}

void TViewImages::Unwatch(TImageList* list) {
  if (list == nullptr) return;
  list->UnRegisterChanges(this);
  list->RemoveFreeNotification(view_);
}

void TViewImages::Replace(TImageList*& slot, TImageList* v) {
  TImageList* old = std::exchange(slot, v);
  if (old != nullptr && old != images_ && old != stateImages_) Unwatch(old);
  if (v != nullptr) {
    v->RegisterChanges(this, [this] { changed_(); });
    v->FreeNotification(view_);
  }
  changed_();
}

void TViewImages::Forget(TComponent* component) {
  const bool ours = component == images_ || component == stateImages_;
  if (component == images_) images_ = nullptr;
  if (component == stateImages_) stateImages_ = nullptr;
  if (ours) changed_();
}

QIcon TViewImages::Icon(int imageIndex, int stateIndex) const {
  const QImage image = images_ != nullptr ? images_->ImageAt(imageIndex) : QImage();
  const QImage state = stateImages_ != nullptr ? stateImages_->ImageAt(stateIndex) : QImage();
  if (image.isNull() && state.isNull()) return {};
  QImage both(state.width() + image.width(), qMax(state.height(), image.height()),
              QImage::Format_ARGB32);
  both.fill(Qt::transparent);
  QPainter painter(&both);
  if (!state.isNull()) painter.drawImage(0, 0, state);
  if (!image.isNull()) painter.drawImage(state.width(), 0, image);
  painter.end();
  return QIcon(QPixmap::fromImage(both));
}
