#pragma once
// The image lists a list or tree view shows: its images and its state
// images. Both are watched for changes and for being freed; either event,
// and every change of a list, calls the view back to redraw its icons.

#include "platform/controls/ImageList.h"

#include <QIcon>

#include <functional>

class TViewImages {
 public:
  // view: gets the free notifications; changed: redraws the view's icons.
  TViewImages(TComponent* view, std::function<void()> changed);
  ~TViewImages();
  TViewImages(const TViewImages&) = delete;
  TViewImages& operator=(const TViewImages&) = delete;

  TImageList* Images() const { return images_; }
  void SetImages(TImageList* v) { Replace(images_, v); }
  TImageList* StateImages() const { return stateImages_; }
  void SetStateImages(TImageList* v) { Replace(stateImages_, v); }

  // From the view's Notification: a list being freed is forgotten.
  void Forget(TComponent* component);

  // The image beside its state image, state first (either index may be -1).
  QIcon Icon(int imageIndex, int stateIndex) const;

 private:
  void Replace(TImageList*& slot, TImageList* v);
  void Unwatch(TImageList* list);

  TComponent* view_;
  std::function<void()> changed_;
  TImageList* images_ = nullptr;
  TImageList* stateImages_ = nullptr;
};
