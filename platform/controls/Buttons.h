#pragma once
// Push buttons and tool buttons.
//
// TButton: a windowed push button. A click sets its form's ModalResult (when
// its own is not mrNone), which ends a modal form. On a shown form, Enter
// clicks the Default button (unless another button has the focus, which then
// clicks itself) and Escape the Cancel button: a key the focused control
// does not want (CM_WANTSPECIALKEY) goes to the form's controls as
// CM_DIALOGKEY (WParam = the virtual key); the button answers with Result 1.
// TBitBtn: a button with a glyph and a Kind that presets caption and result.
// TSpeedButton: a graphic tool button; buttons of one parent with the same
// GroupIndex (not 0) stay down one at a time.
//
// Glyphs hold NumGlyphs images side by side: up, disabled, clicked, down.
// The bottom-left pixel's colour is transparent.

#include "platform/controls/Form.h"
#include "platform/graphics/Bitmap.h"

#include <functional>
#include <memory>

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
enum TBitBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose, bkAbort, bkRetry,
                   bkIgnore, bkAll };
enum TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };

extern const TEnumInfo kButtonLayoutIdents;
extern const TEnumInfo kBitBtnKindIdents;
extern const TEnumInfo kModalResultIdents;

// A glyph bitmap that a form file stores as binary "Data".
class TGlyphBitmap : public TBitmap {
 public:
  void DefineProperties(TFiler* filer) override;
};

// Where the glyph and the caption of a button go.
struct TGlyphPlacement {
  TPoint glyph;
  TRect text;
};
TGlyphPlacement PlaceGlyph(const TRect& client, TSize glyph, TSize text, TButtonLayout layout,
                           int margin, int spacing);

// The glyph of a button and where it goes beside the caption: the part
// TBitBtn and TSpeedButton share (both derive from it). Every change calls
// changed (the button redraws).
class TButtonGlyph {
 public:
  explicit TButtonGlyph(std::function<void()> changed);
  virtual ~TButtonGlyph();
  TButtonGlyph(const TButtonGlyph&) = delete;
  TButtonGlyph& operator=(const TButtonGlyph&) = delete;

  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* v) { glyph_->Assign(v); }
  int NumGlyphs() const { return numGlyphs_; }
  // 1..4.
  void SetNumGlyphs(int v);
  TButtonLayout Layout() const { return layout_; }
  void SetLayout(TButtonLayout v);
  int Margin() const { return margin_; }
  void SetMargin(int v);
  int Spacing() const { return spacing_; }
  void SetSpacing(int v);

  // Draws the glyph's image for state (or, with the glyph empty, shown
  // instead when given) and the caption inside rect.
  void PaintGlyph(TCanvas* canvas, const TRect& rect, TButtonState state, const QString& caption,
                  bool enabled, TBitmap* shownInstead = nullptr) const;

 private:
  std::function<void()> changed_;
  std::unique_ptr<TGlyphBitmap> glyph_;
  int numGlyphs_ = 1;
  TButtonLayout layout_ = blGlyphLeft;
  int margin_ = -1;
  int spacing_ = 4;
};

class TButton : public TCustomControl {
 public:
  explicit TButton(TComponent* owner);
  ~TButton() override;

  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v);
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult v) { modalResult_ = v; }
  // Whether the button is pressed in (mouse held over it).
  bool Pressed() const { return pressed_; }

  void Click() override;

  static void DeclareProperties(TClassBuilder<TButton, TCustomControl>& b);

 protected:
  void Paint() override;
  // Draws what is inside the button's edge.
  virtual void PaintContent(TCanvas* canvas, const TRect& rect);
  void WndProc(TMessage& message) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(std::uint16_t& key, TShiftState shift) override;
  void KeyUp(std::uint16_t& key, TShiftState shift) override;

 private:
  void SetPressed(bool v);

  bool default_ = false;
  bool cancel_ = false;
  bool pressed_ = false;
  TModalResult modalResult_ = mrNone;
};

class TBitBtn : public TButton, public TButtonGlyph {
 public:
  explicit TBitBtn(TComponent* owner);

  TBitBtnKind Kind() const { return kind_; }
  void SetKind(TBitBtnKind v);

  void Click() override;
  void Loaded() override;

  static void DeclareProperties(TClassBuilder<TBitBtn, TButton>& b);

 protected:
  void PaintContent(TCanvas* canvas, const TRect& rect) override;
  void WndProc(TMessage& message) override;

 private:
  TBitBtnKind kind_ = bkCustom;
  std::unique_ptr<TBitmap> kindGlyph_;  // shown while Glyph is empty
  bool captionRead_ = false;  // a form file gave the caption before the kind
};

class TSpeedButton : public TGraphicControl, public TButtonGlyph {
 public:
  explicit TSpeedButton(TComponent* owner);

  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int v);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool v);
  bool Down() const { return down_; }
  void SetDown(bool v);
  bool Flat() const { return flat_; }
  void SetFlat(bool v);
  // What the button shows now.
  TButtonState State() const { return state_; }

  void Click() override;
  void Loaded() override;

  static void DeclareProperties(TClassBuilder<TSpeedButton, TGraphicControl>& b);

 protected:
  void Paint() override;
  void WndProc(TMessage& message) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;

 private:
  // Ends a press at (x, y): a grouped button toggles when released inside.
  void FinishPress(int x, int y);
  // Releases the other buttons of the group (and hands them AllowAllUp).
  void UpdateExclusive();
  void SetState(TButtonState v);

  int groupIndex_ = 0;
  bool allowAllUp_ = false;
  bool down_ = false;
  bool flat_ = false;
  bool dragging_ = false;
  bool mouseInside_ = false;
  TButtonState state_ = bsUp;
};

// Draws image index of a glyph strip at p (transparent colour left out).
void DrawGlyph(TCanvas* canvas, TBitmap* glyph, int numGlyphs, int index, TPoint p);

void RegisterButtonClasses();
