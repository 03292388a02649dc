#pragma once
// TPanel: a container with an outer bevel, a border of BorderWidth pixels
// in its Color, an inner bevel and its caption centred vertically.
// TBevel: a graphic control that draws a 3D box, frame or line.
// TGroupBox: a container framed by an etched line with its caption on top.

#include "platform/controls/Form.h"
#include "platform/controls/Label.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };
// A panel's border: bsNone or bsSingle of the form border styles.
using TBorderStyle = TFormBorderStyle;

extern const TEnumInfo kBevelCutIdents;
extern const TEnumInfo kBevelShapeIdents;
extern const TEnumInfo kBevelStyleIdents;
extern const TEnumInfo kPanelBorderStyleIdents;

// A panel's frame inside rect: the outer bevel, BorderWidth pixels of face,
// the inner bevel, each bevel bevelWidth wide; rect shrinks past them.
void DrawPanelBevels(TCanvas* canvas, TRect& rect, TBevelCut outer, TBevelCut inner,
                     int bevelWidth, int borderWidth, TColor face);

class TCustomPanel : public TCustomControl {
 public:
  explicit TCustomPanel(TComponent* owner);

  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut v);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut v);
  int BevelWidth() const { return bevelWidth_; }
  void SetBevelWidth(int v);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int v);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);

  static void DeclareProperties(TClassBuilder<TCustomPanel, TCustomControl>& b);

 protected:
  void Paint() override;
  void AlignControls(TControl* control, TRect& rect) override;

 private:
  void Changed();
  // Pixels taken from each side by the border, the bevels and BorderWidth.
  int FrameSize() const;

  TBevelCut bevelInner_ = bvNone;
  TBevelCut bevelOuter_ = bvRaised;
  int bevelWidth_ = 1;
  int borderWidth_ = 0;
  TBorderStyle borderStyle_ = bsNone;
  TAlignment alignment_ = taCenter;
};

class TPanel : public TCustomPanel {
 public:
  explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* owner);

  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape v);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle v);

  static void DeclareProperties(TClassBuilder<TBevel, TGraphicControl>& b);

 protected:
  void Paint() override;

 private:
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

class TCustomGroupBox : public TCustomControl {
 public:
  explicit TCustomGroupBox(TComponent* owner);

 protected:
  void Paint() override;
  void AlignControls(TControl* control, TRect& rect) override;
  // The height of the caption's line.
  int CaptionHeight();
};

class TGroupBox : public TCustomGroupBox {
 public:
  explicit TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}
};

// Draws the two-colour box of a bevel into r (right and bottom exclusive).
void DrawBevelRect(TCanvas* canvas, const TRect& r, TColor topLeft, TColor bottomRight);

void RegisterPanelClasses();
