#include "platform/controls/CheckRadio.h"

#include "platform/classes/ClassRegistry.h"
#include "platform/graphics/DrawEdge.h"
#include "platform/graphics/DrawText.h"
#include "platform/rtl/UpdateScope.h"

#include <algorithm>

namespace {

constexpr int kMarkSize = 13;
constexpr int kCaptionGap = 4;

}  // namespace

const TEnumInfo kCheckBoxStateIdents{"cbUnchecked", "cbChecked", "cbGrayed"};

// TButtonControl.

TButtonControl::TButtonControl(TComponent* owner) : TCustomControl(owner) {
  TControlStyle style = ControlStyle();
  style.Include(csSetCaption);
  // A click toggles in MouseUp; Click is the change notice.
  style.Exclude(csClickEvents);
  style.Exclude(csDoubleClicks);
  SetControlStyle(style);
  SetColor(clBtnFace);
  SetTabStop(true);
}

void TButtonControl::SetAlignment(TAlignment v) {
  if (v == taCenter) v = taRightJustify;
  if (v == alignment_) return;
  alignment_ = v;
  Invalidate();
}

bool TButtonControl::ClicksEnabled() const { return !ComponentState().Contains(csLoading); }

TRect TButtonControl::MarkRect() const {
  const TRect client = ClientRect();
  const int top = (client.Height() - kMarkSize) / 2;
  const int left = alignment_ == taLeftJustify ? client.Width() - kMarkSize : 0;
  return Rect(left, top, left + kMarkSize, top + kMarkSize);
}

void TButtonControl::Paint() {
  TCanvas* canvas = Canvas();
  const TRect client = ClientRect();
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Color());
  canvas->FillRect(client);
  const TRect mark = MarkRect();
  DrawMark(canvas, mark);
  TRect text = alignment_ == taLeftJustify
                   ? Rect(0, 0, mark.Left - kCaptionGap, client.Height())
                   : Rect(mark.Right + kCaptionGap, 0, client.Width(), client.Height());
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(bsClear);
  if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  DrawText(canvas, Caption(), text, DT_SINGLELINE | DT_VCENTER);
  if (Focused() && !Caption().isEmpty()) {
    TRect focus = text;
    DrawText(canvas, Caption(), focus, DT_SINGLELINE | DT_VCENTER | DT_CALCRECT);
    const int h = focus.Height();
    focus.Top = (client.Height() - h) / 2;
    focus.Bottom = focus.Top + h;
    InflateRect(focus, 1, 1);
    canvas->DrawFocusRect(focus);
  }
}

void TButtonControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && Enabled()) {
    pressed_ = true;
    if (CanFocus()) SetFocus();
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TButtonControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft && pressed_) {
    pressed_ = false;
    if (ClientRect().Contains({x, y})) Toggle();
  }
  TCustomControl::MouseUp(button, shift, x, y);
}

void TButtonControl::KeyPress(char& key) {
  TCustomControl::KeyPress(key);
  if (key == ' ') {
    key = 0;
    Toggle();
  }
}

void TButtonControl::WndProc(TMessage& m) {
  if (m.Msg == CM_DIALOGCHAR && IsAccelOf(m.WParam, Caption()) && Enabled() && Visible()) {
    if (CanFocus()) SetFocus();
    Toggle();
    m.Result = 1;
    return;
  }
  TCustomControl::WndProc(m);
}

void TButtonControl::DeclareProperties(TClassBuilder<TButtonControl, TCustomControl>& b) {
  b.Property("Alignment", &TButtonControl::Alignment, &TButtonControl::SetAlignment,
             kAlignmentIdents)
      .Default(taRightJustify);
}

// TCheckBox.

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) { SetBounds(0, 0, 97, 17); }

void TCheckBox::SetState(TCheckBoxState v) {
  if (v == state_) return;
  state_ = v;
  Invalidate();
  if (ClicksEnabled()) Click();
}

void TCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked: SetState(cbChecked); break;
    case cbChecked: SetState(allowGrayed_ ? cbGrayed : cbUnchecked); break;
    case cbGrayed: SetState(cbUnchecked); break;
  }
}

void TCheckBox::DrawMark(TCanvas* canvas, const TRect& r) {
  TRect box = r;
  DrawEdge(canvas, box, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(state_ == cbGrayed || !Enabled() ? clBtnFace : clWindow);
  canvas->FillRect(box);
  if (state_ == cbUnchecked) return;
  // A tick three pixels thick.
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetColor(state_ == cbGrayed || !Enabled() ? clBtnShadow : clWindowText);
  const int x = box.Left + 1;
  const int y = box.Top + 3;
  for (int i = 0; i < 3; ++i) {
    canvas->MoveTo(x, y + 2 + i);
    canvas->LineTo(x + 2, y + 4 + i);
    canvas->LineTo(x + 7, y - 1 + i);
  }
}

void TCheckBox::DeclareProperties(TClassBuilder<TCheckBox, TButtonControl>& b) {
  b.Property("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
  b.Property("State", &TCheckBox::State, &TCheckBox::SetState, kCheckBoxStateIdents)
      .Default(cbUnchecked);
  b.Property("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Stored(false);
}

// TRadioButton.

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  SetTabStop(v);
  Invalidate();
  if (!v) return;
  if (Parent() != nullptr) {
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
      auto* other = dynamic_cast<TRadioButton*>(Parent()->Controls(i));
      if (other != nullptr && other != this) other->SetChecked(false);
    }
  }
  if (ClicksEnabled()) Click();
}

void TRadioButton::DrawMark(TCanvas* canvas, const TRect& r) {
  canvas->Pen()->SetStyle(psSolid);
  canvas->Pen()->SetWidth(1);
  canvas->Pen()->SetColor(clBtnShadow);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(Enabled() ? clWindow : clBtnFace);
  canvas->Ellipse(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
  if (!checked_) return;
  canvas->Pen()->SetColor(Enabled() ? clWindowText : clBtnShadow);
  canvas->Brush()->SetColor(Enabled() ? clWindowText : clBtnShadow);
  canvas->Ellipse(r.Left + 4, r.Top + 4, r.Right - 4, r.Bottom - 4);
}

void TRadioButton::DeclareProperties(TClassBuilder<TRadioButton, TButtonControl>& b) {
  b.Property("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
}

// TRadioGroup.

TRadioGroup::TRadioGroup(TComponent* owner)
    : TCustomGroupBox(owner), items_(std::make_unique<TStringList>()) {
  items_->OnChange = [this](TStrings*) { RebuildButtons(); };
}

TRadioGroup::~TRadioGroup() { items_->OnChange = nullptr; }

void TRadioGroup::Notification(TComponent* component, TOperation operation) {
  TCustomGroupBox::Notification(component, operation);
  if (operation != opRemove) return;
  // The buttons are owned by the group and may go before it does.
  const auto it = std::find(buttons_.begin(), buttons_.end(), component);
  if (it != buttons_.end()) buttons_.erase(it);
}

void TRadioGroup::SetItemIndex(int v) {
  if (ComponentState().Contains(csLoading)) {
    itemIndex_ = v;  // checked against Items once loaded
    return;
  }
  if (v < -1 || v >= items_->Count()) v = -1;
  if (v == itemIndex_) return;
  itemIndex_ = v;
  SyncChecks();
  Click();
}

void TRadioGroup::SetColumns(int v) {
  v = std::clamp(v, 1, 16);
  if (v == columns_) return;
  columns_ = v;
  ArrangeButtons();
}

void TRadioGroup::Loaded() {
  TCustomGroupBox::Loaded();
  if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
  RebuildButtons();
}

void TRadioGroup::SyncChecks() {
  TUpdateScope updating(updating_);
  for (std::size_t i = 0; i < buttons_.size(); ++i)
    buttons_[i]->SetChecked(static_cast<int>(i) == itemIndex_);
}

void TRadioGroup::RebuildButtons() {
  if (ComponentState().Contains(csLoading)) return;
  const int count = items_->Count();
  while (static_cast<int>(buttons_.size()) > count) {
    buttons_.back()->Free();  // Notification drops it from buttons_
  }
  while (static_cast<int>(buttons_.size()) < count) {
    auto* button = new TRadioButton(this);  // owned by the group
    button->OnClick = [this, button](TObject*) { ButtonClicked(button); };
    button->SetParent(this);
    buttons_.push_back(button);
  }
  for (int i = 0; i < count; ++i) buttons_[static_cast<std::size_t>(i)]->SetCaption(items_->Strings(i));
  if (itemIndex_ >= count) itemIndex_ = -1;
  SyncChecks();
  ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
  if (buttons_.empty()) return;
  const int captionHeight = CaptionHeight();
  const int count = static_cast<int>(buttons_.size());
  const int rows = (count + columns_ - 1) / columns_;
  const int width = (Width() - 10) / columns_;
  const int height = std::max(Height() - captionHeight - 5, 0);
  const int rowHeight = height / rows;
  const int top = captionHeight + (height - rowHeight * rows) / 2;
  for (int i = 0; i < count; ++i) {
    TRadioButton* b = buttons_[static_cast<std::size_t>(i)];
    const int column = i / rows;
    const int row = i % rows;
    b->SetBounds(8 + column * width, top + row * rowHeight, width, rowHeight);
  }
}

void TRadioGroup::ButtonClicked(TRadioButton* button) {
  if (updating_ || !button->Checked()) return;
  const auto it = std::find(buttons_.begin(), buttons_.end(), button);
  if (it == buttons_.end()) return;
  const int index = static_cast<int>(it - buttons_.begin());
  if (index == itemIndex_) return;
  itemIndex_ = index;
  Click();
}

void TRadioGroup::Resize() {
  ArrangeButtons();
  TCustomGroupBox::Resize();
}

void TRadioGroup::WndProc(TMessage& m) {
  TCustomGroupBox::WndProc(m);
  if (m.Msg == CM_FONTCHANGED) ArrangeButtons();
}

void TRadioGroup::DeclareProperties(TClassBuilder<TRadioGroup, TCustomGroupBox>& b) {
  b.Object("Items", &TRadioGroup::Items);
  b.Property("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex).Default(-1);
  b.Property("Columns", &TRadioGroup::Columns, &TRadioGroup::SetColumns).Default(1);
}

void RegisterCheckRadioClasses() {
  if (GetClass(QStringLiteral("TCheckBox")) == nullptr) RegisterClass<TCheckBox>();
  if (GetClass(QStringLiteral("TRadioButton")) == nullptr) RegisterClass<TRadioButton>();
  if (GetClass(QStringLiteral("TRadioGroup")) == nullptr) RegisterClass<TRadioGroup>();
}
