#pragma once
// TLabel: a graphic control that shows its caption with DrawText.
//
// AutoSize fits the bounds to the text (keeping the width with WordWrap,
// and the right edge with taRightJustify); Layout places the text
// vertically; Transparent leaves the parent showing through. With
// ShowAccelChar, "&x" underlines x and CM_DIALOGCHAR with that character
// focuses FocusControl.

#include "platform/controls/WinControl.h"

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

extern const TEnumInfo kAlignmentIdents;
extern const TEnumInfo kTextLayoutIdents;

// The DrawText flag of an alignment.
unsigned AlignmentFlag(TAlignment alignment);
// The accelerator character of a caption ("&x" -> x, "&&" is none); 0 when none.
QChar AccelCharOf(const QString& caption);
// Whether the character ch (a CM_DIALOGCHAR WParam) is caption's accelerator,
// compared without regard to case.
bool IsAccelOf(WPARAM ch, const QString& caption);

class TCustomLabel : public TGraphicControl {
 public:
  explicit TCustomLabel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool v);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool v);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* v);

  void Notification(TComponent* component, TOperation operation) override;
  void Loaded() override;

  static void DeclareProperties(TClassBuilder<TCustomLabel, TGraphicControl>& b);

 protected:
  void Paint() override;
  void WndProc(TMessage& message) override;
  // Fits the bounds to the text when AutoSize is on.
  void AdjustBounds();
  unsigned TextFlags() const;

 private:
  // Draws the caption into rect with flags (DT_CALCRECT measures only).
  void DoDrawText(TRect& rect, unsigned flags);

  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool transparent_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
 public:
  explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
};

void RegisterLabelClasses();
