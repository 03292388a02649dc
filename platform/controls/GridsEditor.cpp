// The in-place editor and the grid's side of editing and focus.
#include "platform/controls/Grids.h"

#include "platform/controls/GridsInternal.h"
#include "platform/rtl/UpdateScope.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

using namespace grid_keys;

namespace {

bool IsInside(const QWidget* outer, const QWidget* w) {
  return outer != nullptr && w != nullptr && (w == outer || outer->isAncestorOf(w));
}

}  // namespace

// TInplaceEdit.

TInplaceEdit::TInplaceEdit(TComponent* owner) : TCustomEdit(owner) {
  SetVisible(false);
  SetTabStop(false);
  SetParentColor(true);
  SetAutoSelect(false);
  Editor()->setFrame(false);
  ApplyAlignment();
}

void TInplaceEdit::SetAlignment(TAlignment v) {
  if (v == alignment_) return;
  alignment_ = v;
  ApplyAlignment();
}

void TInplaceEdit::ApplyAlignment() {
  Qt::Alignment a = Qt::AlignLeft;
  if (alignment_ == taRightJustify) a = Qt::AlignRight;
  if (alignment_ == taCenter) a = Qt::AlignHCenter;
  Editor()->setAlignment(a | Qt::AlignVCenter);
}

void TInplaceEdit::Move(const TRect& rect) {
  if (rect.Width() <= 0 || rect.Height() <= 0) {
    HideEditor();
    return;
  }
  SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height());
  Show();
  if (grid_ != nullptr && grid_->IsActiveControl() && CanFocus() && !Focused()) SetFocus();
}

void TInplaceEdit::UpdateContents() {
  if (grid_ == nullptr) return;
  const QString text = grid_->GetEditText(grid_->Col(), grid_->Row());
  originalText_ = text;
  TUpdateScope filling(filling_);
  SetText(text);
}

void TInplaceEdit::HideEditor() {
  if (!Visible()) return;
  // The focus goes to the grid before the window hides, so that it does not
  // wander to the next control of the form.
  if (grid_ != nullptr && HasWidget() && IsInside(Widget(), QApplication::focusWidget()) &&
      grid_->CanFocus())
    grid_->SetFocus();
  Hide();
}

void TInplaceEdit::Deselect() { SetSelStart(static_cast<int>(Text().size())); }

void TInplaceEdit::Change() {
  TCustomEdit::Change();
  if (!filling_ && grid_ != nullptr) grid_->UpdateText();
}

void TInplaceEdit::SendToParent(std::uint16_t& key, TShiftState shift) {
  if (grid_ != nullptr) grid_->KeyDown(key, shift);
  key = 0;
}

// Without goTabs, Tab is the form's: the focus moves on from the grid, whose
// part the editor is, as a Tab pressed on the grid itself moves it.
void TInplaceEdit::TabOutOfGrid(std::uint16_t& key, TShiftState shift) {
  key = 0;
  QWidget* gridWidget = grid_->Widget();
  if (gridWidget == nullptr) return;
  gridWidget->setFocus(Qt::TabFocusReason);
  const bool back = shift.Contains(ssShift);
  QKeyEvent tab(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab,
                back ? Qt::ShiftModifier : Qt::NoModifier);
  QCoreApplication::sendEvent(gridWidget, &tab);
}

void TInplaceEdit::ParentEvent(std::uint16_t& key, TShiftState shift) {
  if (grid_ != nullptr && grid_->OnKeyDown) grid_->OnKeyDown(grid_, key, shift);
}

// Keys the text has no use for go to the grid: up, down and page keys, Tab,
// and left/right/Home/End at the end of the text they lead out of.
void TInplaceEdit::KeyDown(std::uint16_t& key, TShiftState shift) {
  const int len = static_cast<int>(Text().size());
  const bool whole = SelLength() == len;
  const bool leftSide = SelStart() == 0 && (SelLength() == 0 || whole);
  const bool rightSide = (SelStart() == len && SelLength() == 0) || (SelStart() == 0 && whole);
  const bool ctrl = shift.Contains(ssCtrl);
  switch (key) {
    case kUp:
    case kDown:
    case kPrior:
    case kNext:
      SendToParent(key, shift);
      return;
    case kTab:
      if (shift.Contains(ssAlt) || grid_ == nullptr) return;
      if (grid_->Options().Contains(goTabs))
        SendToParent(key, shift);
      else
        TabOutOfGrid(key, shift);
      return;
    case kLeft:
    case kHome:
      if (ctrl || (leftSide && !shift.Contains(ssShift))) SendToParent(key, shift);
      break;
    case kRight:
    case kEnd:
      if (ctrl || (rightSide && !shift.Contains(ssShift))) SendToParent(key, shift);
      break;
    case kF2:
      ParentEvent(key, shift);
      if (key == kF2) Deselect();
      key = 0;
      return;
    case kDelete:
      if (grid_ != nullptr && !grid_->CanEditModify()) key = 0;
      break;
    default:
      break;
  }
  if (key == 0) return;
  ParentEvent(key, shift);
  if (key != 0) TCustomEdit::KeyDown(key, shift);
}

// Enter hands the edit back to the grid (which hides the editor unless it
// always shows); Esc puts back the text the editor opened with.
void TInplaceEdit::KeyPress(char& key) {
  if (grid_ != nullptr) {
    grid_->KeyPress(key);
    const auto code = static_cast<unsigned char>(key);
    if (code >= 32 && !grid_->CanEditAcceptKey(key)) key = 0;
  }
  switch (static_cast<unsigned char>(key)) {
    case 0:
      return;
    case 9:
      key = 0;
      return;
    case 27:
      key = 0;
      if (Text() != originalText_) SetText(originalText_);
      SelectAll();
      if (grid_ != nullptr && !grid_->Options().Contains(goAlwaysShowEditor)) grid_->HideEditor();
      return;
    case 13:
      if (SelStart() == 0 && SelLength() == static_cast<int>(Text().size()))
        Deselect();
      else
        SelectAll();
      key = 0;
      return;
    default:
      break;
  }
  const auto code = static_cast<unsigned char>(key);
  const bool modifies = code == 8 || code == 22 || code == 24 || code >= 32;
  if (modifies && grid_ != nullptr && !grid_->CanEditModify()) key = 0;
  if (key != 0) TCustomEdit::KeyPress(key);
}

void TInplaceEdit::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CM_WANTSPECIALKEY:
      m.Result = m.WParam == kReturn || m.WParam == kEscape;
      return;
    case WM_SETFOCUS:
      if (grid_ != nullptr) grid_->FocusChanged(true, nullptr);
      break;
    case WM_KILLFOCUS:
      if (grid_ != nullptr) grid_->FocusChanged(false, QApplication::focusWidget());
      break;
    default:
      break;
  }
  TCustomEdit::WndProc(m);
}

// The grid's side.

bool TCustomGrid::IsActiveControl() const {
  if (!HasWidget()) return false;
  QWidget* w = Widget();
  return IsInside(w, w->window()->focusWidget());
}

// Entering and leaving count for the grid and its editor together: focus
// moving between the two is neither.
void TCustomGrid::FocusChanged(bool gained, QWidget* other) {
  if (destroying_) return;
  if (gained) {
    if (focusWithin_) return;
    focusWithin_ = true;
    InvalidateGrid();
    DoEnter();
    UpdateEdit();
    return;
  }
  if (IsInside(Widget(), other) || !focusWithin_) return;
  focusWithin_ = false;
  InvalidateGrid();
  DoExit();
}

void TCustomGrid::DoEnter() { TCustomControl::DoEnter(); }

void TCustomGrid::DoExit() {
  TCustomControl::DoExit();
  if (!options_.Contains(goAlwaysShowEditor)) HideEditor();
}

bool TCustomGrid::CanEditShow() {
  return options_.Contains(goEditing) && !options_.Contains(goRowSelect) && editorMode_ &&
         !ComponentState().Contains(csDesigning) && HasWidget() &&
         (options_.Contains(goAlwaysShowEditor) || IsActiveControl());
}

bool TCustomGrid::CanEditModify() { return options_.Contains(goEditing); }

bool TCustomGrid::CanEditAcceptKey(char) { return true; }

QString TCustomGrid::GetEditText(int, int) { return {}; }

void TCustomGrid::SetEditText(int aCol, int aRow, const QString& value) {
  if (OnSetEditText) OnSetEditText(this, aCol, aRow, value);
}

std::unique_ptr<TInplaceEdit> TCustomGrid::CreateEditor() {
  return std::make_unique<TInplaceEdit>(nullptr);
}

void TCustomGrid::SetEditorMode(bool v) {
  if (!v) {
    HideEditor();
    return;
  }
  ShowEditor();
  if (editor_ != nullptr && editor_->Visible()) editor_->Deselect();
}

void TCustomGrid::ShowEditor() {
  editorMode_ = true;
  UpdateEdit();
}

void TCustomGrid::HideEditor() {
  editorMode_ = false;
  HideEdit();
}

void TCustomGrid::HideEdit() {
  if (editor_ == nullptr || !editor_->Visible()) {
    inplace_ = {-1, -1};
    return;
  }
  UpdateText();
  inplace_ = {-1, -1};
  editor_->HideEditor();
  InvalidateGrid();
}

void TCustomGrid::UpdateText() {
  if (editor_ == nullptr || inplace_.X < 0 || inplace_.Y < 0) return;
  TUpdateScope scope(editUpdate_);
  SetEditText(inplace_.X, inplace_.Y, editor_->Text());
}

// Asks CanEditShow, makes the editor on first use (and asks again: a
// derived grid may answer only once its editor exists), fills it when the
// current cell changed and puts it over the cell.
void TCustomGrid::UpdateEdit() {
  if (destroying_ || !CanEditShow()) return;
  auto fill = [this] {
    inplace_ = current_;
    editor_->UpdateContents();
    editor_->SelectAll();
  };
  if (editor_ == nullptr) {
    editor_ = CreateEditor();
    // The grid alone frees the editor, whatever owner it was made with.
    if (editor_->Owner() != nullptr) editor_->Owner()->RemoveComponent(editor_.get());
    editor_->SetGrid(this);
    editor_->SetParent(this);
    fill();
  } else if (!(inplace_ == current_) || !editor_->Visible()) {
    HideEdit();
    fill();
  }
  if (CanEditShow()) editor_->Move(CellRect(current_.X, current_.Y));
}

void TCustomGrid::ShowEditorChar(char ch) {
  ShowEditor();
  if (editor_ != nullptr && editor_->Visible())
    editor_->Perform(WM_CHAR, static_cast<unsigned char>(ch), 0);
}
