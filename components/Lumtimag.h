#pragma once
// TTransImage: a graphic control that shows a picture inside an optional
// border and bevels, placed by one of seven drawing styles, and optionally
// drawn so that the pixels of one colour let the parent show through.
// TPicAlign holds the placement of dsAlign; TMaskedBitmap a picture with
// its transparency mask.

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Persistent.h"
#include "platform/controls/Control.h"
#include "platform/controls/Panel.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"

#include <memory>

enum TPicHorzAlign { bhLeft, bhCenter, bhRight };
enum TPicVertAlign { bvTop, bvCenter, bvBottom };
enum TPicDrawStyle { dsAlign, dsCenter, dsFit, dsHeight, dsStretch, dsTile, dsWidth };

extern const TEnumInfo kPicHorzAlignIdents;
extern const TEnumInfo kPicVertAlignIdents;
extern const TEnumInfo kPicDrawStyleIdents;

class TPicAlign : public TPersistent {
 public:
  TPicAlign() = default;
  void Assign(TPersistent* source) override;

  TPicHorzAlign Horz() const { return horz_; }
  void SetHorz(TPicHorzAlign value);
  int HOffset() const { return hOffset_; }
  void SetHOffset(int value);
  TPicVertAlign Vert() const { return vert_; }
  void SetVert(TPicVertAlign value);
  int VOffset() const { return vOffset_; }
  void SetVOffset(int value);

  // Fired by each setter that changes a value; the owner sets it.
  TNotifyEvent OnChange;

  static void DeclareProperties(TClassBuilder<TPicAlign, TPersistent>& b);

 private:
  void Changed();

  TPicHorzAlign horz_ = bhCenter;
  int hOffset_ = 0;
  TPicVertAlign vert_ = bvCenter;
  int vOffset_ = 0;
};

// A picture split for transparent drawing: the mask is white where the
// picture had the transparent colour and black elsewhere; the image is the
// picture with those pixels turned black, so AND with the mask and then XOR
// with the image leaves the background under them.
class TMaskedBitmap {
 public:
  TBitmap* Image() { return &image_; }
  TBitmap* Mask() { return &mask_; }
  // False until a mask is made.
  bool Masked() const { return masked_; }

  // Rebuilds image and mask from picture (drawn onto a bitmap of its size
  // when it is no bitmap); an empty picture leaves both empty, unmasked.
  void Build(TGraphic* picture, TColor transparentColor);
  // Draws into rect of canvas: through the mask when masked, else a copy.
  void Draw(TCanvas* canvas, const TRect& rect);

 private:
  TBitmap image_;
  TBitmap mask_;
  bool masked_ = false;
};

class TTransImage : public TGraphicControl {
 public:
  explicit TTransImage(TComponent* owner);
  ~TTransImage() override;

  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* value) { picture_->Assign(value); }
  TPicAlign* PicAlign() const { return picAlign_.get(); }
  // Also switches PicDrawStyle to dsAlign, as a change of any field does.
  void SetPicAlign(TPicAlign* value);
  TPicDrawStyle PicDrawStyle() const { return drawStyle_; }
  void SetPicDrawStyle(TPicDrawStyle value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  TColor TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(TColor value);
  // On with a picture: the control takes its size and PicDrawStyle dsCenter.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int value);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);

  TMaskedBitmap* MaskedBitmap() { return &masked_; }
  // The client area inside the border and bevels (all of it when they
  // leave nothing).
  TRect InnerRect() const;
  // Where the picture goes in the inner rectangle (dsTile: its first tile);
  // empty when the picture has no pixels.
  TRect PictureRect() const;

  static void DeclareProperties(TClassBuilder<TTransImage, TGraphicControl>& b);

 protected:
  void Paint() override;

 private:
  void PictureChanged();
  void PicAlignChanged();
  void Changed();
  bool HasPicture() const;
  // Draws the picture into r, opaquely or through the masked bitmap.
  void DrawPicture(const TRect& r);
  void DrawFrame();

  std::unique_ptr<TPicture> picture_;
  std::unique_ptr<TPicAlign> picAlign_;
  TMaskedBitmap masked_;
  // An icon rendered at its own size, for stretching.
  TBitmap iconBitmap_;
  TPicDrawStyle drawStyle_ = dsAlign;
  bool transparent_ = false;
  TColor transparentColor_ = clBlack;
  bool autoSize_ = false;
  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvNone;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
};

void RegisterTransImageClasses();
