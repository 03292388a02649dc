#pragma once
// TKvLabel: a label that draws its caption with a one-colour drop shadow.
// TSecretPanel: a panel that, while Active, hides its children and scrolls
// its Lines upwards one pixel per tick of its own TKvTimer.

#include "components/KvTimer.h"
#include "platform/classes/ClassBuilder.h"
#include "platform/controls/Panel.h"

#include <cstdint>
#include <memory>
#include <vector>

class TBitmap;
class TStringList;
class TStrings;

enum TShadowPosition { spLeftTop, spLeftBottom, spRightBottom, spRightTop };
enum TGlyphLayout { glGlyphLeft, glGlyphRight, glGlyphTop, glGlyphBottom };
using TPanelBevel = TBevelCut;

extern const TEnumInfo kShadowPositionIdents;
extern const TEnumInfo kGlyphLayoutIdents;

// Draws text into rect offset by size towards position in shadowColor, then
// into rect in the font colour. rect becomes the union of both (so measuring
// with DT_CALCRECT includes the shadow); gives the text height plus size.
int DrawShadowText(TCanvas* canvas, const QString& text, TRect& rect, unsigned format,
                   TColor shadowColor, int size, TShadowPosition position);

class TKvCustomLabel : public TGraphicControl {
 public:
  explicit TKvCustomLabel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout v);
  TColor ShadowColor() const { return shadowColor_; }
  void SetShadowColor(TColor v);
  std::uint8_t ShadowSize() const { return shadowSize_; }
  void SetShadowSize(std::uint8_t v);
  TShadowPosition ShadowPos() const { return shadowPos_; }
  void SetShadowPos(TShadowPosition v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool v);
  bool ShowFocus() const { return showFocus_; }
  void SetShowFocus(bool v);
  bool Transparent() const { return !ControlStyle().Contains(csOpaque); }
  void SetTransparent(bool v);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* v);
  bool MouseInside() const { return mouseInside_; }

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

 protected:
  void Paint() override;
  void WndProc(TMessage& message) override;
  void AdjustBounds();

 private:
  unsigned TextFormat() const;
  // Hovered: enabled, shown, the control under the cursor, and our window
  // in front; a change fires OnMouseEnter or OnMouseLeave.
  void CheckMouseInside();
  void DoDrawText(TRect& rect, unsigned flags);

  TWinControl* focusControl_ = nullptr;
  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
  TTextLayout layout_ = tlTop;
  TColor shadowColor_ = clBtnHighlight;
  std::uint8_t shadowSize_ = 1;
  TShadowPosition shadowPos_ = spLeftTop;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  bool showFocus_ = false;
  bool focused_ = false;
  bool mouseInside_ = false;
  bool pressed_ = false;
};

class TKvLabel : public TKvCustomLabel {
 public:
  explicit TKvLabel(TComponent* owner) : TKvCustomLabel(owner) {}
  static void DeclareProperties(TClassBuilder<TKvLabel, TKvCustomLabel>& b);
};

class TSecretPanel : public TCustomPanel {
 public:
  explicit TSecretPanel(TComponent* owner);
  ~TSecretPanel() override;

  bool Active() const { return active_; }
  void SetActive(bool v);
  bool Cycled() const { return cycled_; }
  void SetCycled(bool v) { cycled_ = v; }
  TStrings* Lines() const;
  void SetLines(TStrings* v);
  TBitmap* Glyph() const { return glyph_.get(); }
  void SetGlyph(TBitmap* v);
  TGlyphLayout GlyphLayout() const { return glyphLayout_; }
  void SetGlyphLayout(TGlyphLayout v);
  TPanelBevel TextStyle() const { return textStyle_; }
  void SetTextStyle(TPanelBevel v);
  unsigned Interval() const;
  void SetInterval(unsigned v);
  bool Ctl3D() const { return ctl3D_; }
  void SetCtl3D(bool v);
  bool ParentCtl3D() const { return parentCtl3D_; }
  void SetParentCtl3D(bool v) { parentCtl3D_ = v; }

  TNotifyEvent OnStartPlay;
  TNotifyEvent OnStopPlay;

  // The panel's own timer, its position in pixels, one line's height and
  // where the text and the glyph go (client coordinates).
  TKvTimer* ScrollTimer() const { return timer_; }
  int ScrollPos() const { return scrollPos_; }
  int LineHeight() const { return lineHeight_; }
  TRect TextRect() const { return textRect_; }
  TPoint GlyphPos() const { return glyphPos_; }

  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;
  void BeforeDestruction() override;

  static void DeclareProperties(TClassBuilder<TSecretPanel, TCustomPanel>& b);

 protected:
  void Paint() override;
  void WndProc(TMessage& message) override;

 private:
  void Tick(TObject* sender);
  void PaintText();
  // Line height, text rectangle and glyph position.
  void ComputeLayout();
  // Layout plus the memory bitmap sized to the text.
  void RecalcGeometry();
  void ShowChildren(bool activating);

  bool active_ = false;
  std::unique_ptr<TStringList> lines_;
  int scrollPos_ = 0;
  bool cycled_ = false;
  std::uint8_t lineHeight_ = 1;
  TKvTimer* timer_ = nullptr;
  TRect textRect_{};
  TPoint glyphPos_{};
  std::unique_ptr<TBitmap> memory_;
  std::unique_ptr<TBitmap> glyph_;
  std::vector<TControl*> hidden_;
  TPanelBevel textStyle_ = bvNone;
  TGlyphLayout glyphLayout_ = glGlyphLeft;
  bool ctl3D_ = true;
  bool parentCtl3D_ = true;
  bool destroying_ = false;
};

void RegisterKvCtrlsClasses();
