#pragma once
// TImage: a graphic control that shows a picture, at its own size (from the
// top-left corner, or centred with Center) or stretched over the control.
// With Transparent, the graphic's transparent colour lets the parent show.
// Canvas draws into the picture's bitmap (made at the control's size when
// the picture is empty); a picture holding an icon cannot be drawn on.

#include "platform/controls/Control.h"
#include "platform/graphics/Picture.h"

#include <memory>

class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  ~TImage() override;

  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* v) { picture_->Assign(v); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v);
  bool Center() const { return center_; }
  void SetCenter(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  // The canvas of the picture's bitmap; EInvalidOperation when the picture
  // holds something other than a bitmap.
  TCanvas* Canvas();
  // Where the picture goes in the control.
  TRect DestRect() const;

  static void DeclareProperties(TClassBuilder<TImage, TGraphicControl>& b);

 protected:
  void Paint() override;

 private:
  void PictureChanged();

  std::unique_ptr<TPicture> picture_;
  bool stretch_ = false;
  bool center_ = false;
  bool transparent_ = false;
  bool autoSize_ = false;
  bool drawing_ = false;
};

void RegisterImageClasses();
