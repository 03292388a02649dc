#pragma once
// Picture speed buttons: flat graphic buttons whose face shows a picture and
// a caption.
//
// TCustomPicSpeedBtn holds the behaviour, TPicSpeedBtn publishes it and
// TRepSpeedBtn fires OnTimer again and again while it is held down (first
// after RepeatInitialPause, then every RepeatPause milliseconds).
//
// The picture holds NumGlyphs columns side by side: up, disabled, down,
// exclusive; a missing column falls back to the first. TlumButtonGlyph makes
// each state's image once, into a per-size TGlyphList shared by every glyph
// of that size. The exclusive (stays down) face is filled with a dither
// pattern shared by colour. Both stores live in one process-wide object
// (PicButtonStores), freed when nothing uses it, by ResetProcessState and
// with the Qt application object.

#include "platform/controls/Buttons.h"
#include "platform/controls/Timer.h"
#include "platform/graphics/Picture.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

enum TlumButtonLayout {
  lblGlyphLeft,
  lblGlyphRight,
  lblGlyphTop,
  lblGlyphBottom,
  lblGlyphCenter,
  lblGlyphTiled
};
enum TlumButtonStyle { lbsAutoDetect, lbsNew, lbsWin31, lbsThin, lbsThinBlack };
enum TTextStyle { tsNormal, tsRaised, tsLowered };

extern const TEnumInfo kLumButtonLayoutIdents;
extern const TEnumInfo kLumButtonStyleIdents;
extern const TEnumInfo kTextStyleIdents;

using TCancelEvent = std::function<void(TObject* sender, bool& cancel)>;
using TMouseCancelEvent = std::function<void(TObject* sender, TMouseButton button,
                                             TShiftState shift, int x, int y, bool& cancel)>;

// Images of one size in slots; a released slot is reused by the next image.
class TGlyphList {
 public:
  TGlyphList(int width, int height) : width_(width), height_(height) {}
  int Width() const { return width_; }
  int Height() const { return height_; }
  int Count() const { return count_; }
  // Stores image (Width x Height, alpha 0 where transparent) in the first free slot.
  int Add(const QImage& image);
  void Release(int index);
  // Null for a free or unknown slot.
  QImage Image(int index) const;

 private:
  int width_;
  int height_;
  std::vector<QImage> images_;
  std::vector<bool> used_;
  int count_ = 0;
};

// An 8 x 8 dither of a colour with clBtnHighlight.
class TBrushPattern {
 public:
  explicit TBrushPattern(TColor color);
  TColor Color() const { return color_; }
  TBitmap* Bitmap() const { return bitmap_.get(); }
  int RefCount() const { return refs_; }

 private:
  friend class TPicButtonStores;
  TColor color_;
  std::unique_ptr<TBitmap> bitmap_;
  int refs_ = 0;
};

// The process-wide glyph lists and dither patterns.
class TPicButtonStores {
 public:
  // The list for glyphs of that size (searched from the last; made when none).
  std::shared_ptr<TGlyphList> AcquireGlyphList(int width, int height);
  // Drops the list from the cache once its last image is released.
  void ReleaseGlyphList(const std::shared_ptr<TGlyphList>& list);
  std::shared_ptr<TBrushPattern> AcquirePattern(TColor color);
  void ReleasePattern(const std::shared_ptr<TBrushPattern>& pattern);
  int GlyphListCount() const { return static_cast<int>(glyphLists_.size()); }
  int PatternCount() const { return static_cast<int>(patterns_.size()); }
  bool Empty() const { return glyphLists_.empty() && patterns_.empty(); }

 private:
  std::vector<std::shared_ptr<TGlyphList>> glyphLists_;
  std::vector<std::shared_ptr<TBrushPattern>> patterns_;
};

// The stores, made on first use.
TPicButtonStores& PicButtonStores();
// Whether the stores exist now (they go when empty).
bool PicButtonStoresAllocated();
// Frees the stores; glyphs and buttons still alive keep what they hold.
void FreePicButtonStores();

class TlumButtonGlyph : public TObject {
 public:
  TlumButtonGlyph();
  ~TlumButtonGlyph() override;

  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* v) { picture_->Assign(v); }
  TColor ButtonColor() const { return buttonColor_; }
  void SetButtonColor(TColor v) { buttonColor_ = v; }
  TColor TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(TColor v);
  bool TransparentColorSet() const { return transparentSet_; }
  int NumGlyphs() const { return numGlyphs_; }
  // Capped at 4; 0 and below are ignored.
  void SetNumGlyphs(int v);
  // Picture width div NumGlyphs by picture height.
  TSize GlyphSize() const;

  // The image index of state (-1 when there is nothing to show).
  int MakeStateImage(TButtonState state);
  void ReleaseImages();
  // The state's image as made (null when none).
  QImage StateImage(TButtonState state);
  void Draw(TCanvas* canvas, TPoint at, TButtonState state);

  TNotifyEvent OnChange;

 private:
  void PictureChanged();
  void Changed();
  QImage Column(const QImage& work, int column) const;
  QImage DisabledImage(const QImage& work) const;

  std::unique_ptr<TPicture> picture_;
  std::shared_ptr<TGlyphList> list_;
  int indexes_[4] = {-1, -1, -1, -1};
  TColor buttonColor_ = clBtnFace;
  TColor transparentColor_ = ColorOf(0xFF00FF);
  int numGlyphs_ = 1;
  bool transparentSet_ = false;
};

class TCustomPicSpeedBtn : public TGraphicControl {
 public:
  explicit TCustomPicSpeedBtn(TComponent* owner);
  ~TCustomPicSpeedBtn() override;

  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v);
  bool Down() const { return down_; }
  void SetDown(bool v);
  bool DisabledShadow() const { return disabledShadow_; }
  void SetDisabledShadow(bool v);
  TlumButtonLayout Layout() const { return layout_; }
  void SetLayout(TlumButtonLayout v);
  int Margin() const { return margin_; }
  void SetMargin(int v);
  int Spacing() const { return spacing_; }
  void SetSpacing(int v);
  bool Popup() const { return popup_; }
  void SetPopup(bool v);
  TlumButtonStyle Style() const { return style_; }
  void SetStyle(TlumButtonStyle v);
  TTextStyle TextStyle() const { return textStyle_; }
  void SetTextStyle(TTextStyle v);
  TPicture* Picture() const { return glyph_->Picture(); }
  void SetPicture(TPicture* v) { glyph_->SetPicture(v); }
  int NumGlyphs() const { return glyph_->NumGlyphs(); }
  void SetNumGlyphs(int v);
  TColor TransparentColor() const { return glyph_->TransparentColor(); }
  void SetTransparentColor(TColor v) { glyph_->SetTransparentColor(v); }
  TlumButtonGlyph* Glyph() const { return glyph_.get(); }
  // What the button shows now.
  TButtonState State() const { return state_; }
  // Whether the button holds a dither pattern now.
  bool HoldsPattern() const { return pattern_ != nullptr; }

  void Click() override;
  void Loaded() override;

  TCancelEvent BeforeClick;
  TMouseCancelEvent BeforeMouseDown;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

 protected:
  void Paint() override;
  void WndProc(TMessage& message) override;
  void DblClick() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Runs after BeforeClick and before OnClick.
  virtual void BeforeClickHook() {}

 protected:
  bool TransparentColorStored() const { return glyph_->TransparentColorSet(); }

 private:
  bool InsideForMove(int x, int y) const;
  // The control under the mouse cursor is this (enabled) button.
  bool UnderCursor() const;
  bool CancelledMouseDown(TMessage& m);
  void NotifyGroup();
  void ButtonPressed(TCustomPicSpeedBtn* sender);
  void ReleasePattern();
  void RebuildImages();
  void PaintFace(TCanvas* canvas, TRect& rect, bool down, bool hovered);
  void DrawCaption(TCanvas* canvas, const TRect& rect);
  void SetMouseInside(bool v);

  bool allowAllUp_ = false;
  std::shared_ptr<TBrushPattern> pattern_;
  bool disabledShadow_ = false;
  bool down_ = false;
  bool dragging_ = false;
  std::unique_ptr<TlumButtonGlyph> glyph_;
  int groupIndex_ = 0;
  TlumButtonLayout layout_ = lblGlyphLeft;
  int margin_ = -1;
  bool cancelled_ = false;
  bool mouseInside_ = false;
  bool popup_ = true;
  int spacing_ = 4;
  TlumButtonStyle style_ = lbsThin;
  TTextStyle textStyle_ = tsNormal;
  TButtonState state_ = bsUp;
  bool dblClickAllowed_ = false;
};

class TPicSpeedBtn : public TCustomPicSpeedBtn {
 public:
  explicit TPicSpeedBtn(TComponent* owner) : TCustomPicSpeedBtn(owner) {}
  static void DeclareProperties(TClassBuilder<TPicSpeedBtn, TCustomPicSpeedBtn>& b);
};

class TRepSpeedBtn : public TPicSpeedBtn {
 public:
  explicit TRepSpeedBtn(TComponent* owner);
  ~TRepSpeedBtn() override;

  bool RepeatEnabled() const { return repeatEnabled_; }
  void SetRepeatEnabled(bool v) { repeatEnabled_ = v; }
  std::uint16_t RepeatInitialPause() const { return repeatInitialPause_; }
  void SetRepeatInitialPause(std::uint16_t v) { repeatInitialPause_ = v; }
  std::uint16_t RepeatPause() const { return repeatPause_; }
  void SetRepeatPause(std::uint16_t v) { repeatPause_ = v; }
  // The repeat timer; nullptr until the first repeat starts.
  TTimer* RepeatTimer() const { return timer_.get(); }

  TNotifyEvent OnTimer;

  static void DeclareProperties(TClassBuilder<TRepSpeedBtn, TPicSpeedBtn>& b);

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

 private:
  void TimerExpired();

  std::uint16_t repeatInitialPause_ = 400;
  bool repeatEnabled_ = true;
  std::uint16_t repeatPause_ = 100;
  std::unique_ptr<TTimer> timer_;
};

void RegisterPicSpeedBtnClasses();
