#pragma once
// Check boxes, radio buttons and radio groups, painted on their canvas.
//
// TCheckBox: a click (or Space) steps State unchecked -> checked ->
// (grayed, with AllowGrayed) -> unchecked. Every change of State, by the
// user or by code, fires OnClick (not while a form file is read).
// TRadioButton: checking one unchecks the radio buttons of the same parent;
// OnClick fires when it becomes checked.
// TRadioGroup: a group box with one radio button per line of Items, laid
// out in Columns; OnClick fires when ItemIndex changes.

#include "platform/controls/Label.h"
#include "platform/controls/Panel.h"
#include "platform/rtl/StringList.h"

#include <memory>
#include <vector>

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

extern const TEnumInfo kCheckBoxStateIdents;

// A windowed control with a mark box (13 x 13) and a caption beside it.
class TButtonControl : public TCustomControl {
 public:
  explicit TButtonControl(TComponent* owner);

  // taRightJustify: the caption right of the box; taLeftJustify: left of it.
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);

  static void DeclareProperties(TClassBuilder<TButtonControl, TCustomControl>& b);

 protected:
  void Paint() override;
  // Draws the mark box in r.
  virtual void DrawMark(TCanvas* canvas, const TRect& r) = 0;
  // The user's click or Space.
  virtual void Toggle() = 0;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyPress(char& key) override;
  // The caption's accelerator (CM_DIALOGCHAR) focuses and toggles it.
  void WndProc(TMessage& message) override;
  // Whether OnClick may fire now (not while loading).
  bool ClicksEnabled() const;
  TRect MarkRect() const;

 private:
  TAlignment alignment_ = taRightJustify;
  bool pressed_ = false;
};

class TCheckBox : public TButtonControl {
 public:
  explicit TCheckBox(TComponent* owner);

  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState v);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool v) { allowGrayed_ = v; }

  static void DeclareProperties(TClassBuilder<TCheckBox, TButtonControl>& b);

 protected:
  void DrawMark(TCanvas* canvas, const TRect& r) override;
  void Toggle() override;

 private:
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
};

class TRadioButton : public TButtonControl {
 public:
  explicit TRadioButton(TComponent* owner);

  bool Checked() const { return checked_; }
  void SetChecked(bool v);

  static void DeclareProperties(TClassBuilder<TRadioButton, TButtonControl>& b);

 protected:
  void DrawMark(TCanvas* canvas, const TRect& r) override;
  void Toggle() override { SetChecked(true); }

 private:
  bool checked_ = false;
};

class TRadioGroup : public TCustomGroupBox {
 public:
  explicit TRadioGroup(TComponent* owner);
  ~TRadioGroup() override;

  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* v) { items_->Assign(*v); }
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int v);
  int Columns() const { return columns_; }
  void SetColumns(int v);
  // The radio button of line index.
  TRadioButton* Buttons(int index) const { return buttons_.at(static_cast<std::size_t>(index)); }
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  static void DeclareProperties(TClassBuilder<TRadioGroup, TCustomGroupBox>& b);

 protected:
  void Resize() override;
  void WndProc(TMessage& message) override;

 private:
  void RebuildButtons();
  void ArrangeButtons();
  void ButtonClicked(TRadioButton* button);
  void SyncChecks();

  std::unique_ptr<TStringList> items_;
  std::vector<TRadioButton*> buttons_;
  int itemIndex_ = -1;
  int columns_ = 1;
  bool updating_ = false;
};

void RegisterCheckRadioClasses();
