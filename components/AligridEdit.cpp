// In-place editing: which cells may be edited, the editor's alignment, font
// and colour, the edit events through messages the grid posts to itself,
// Enter and Esc in the editor, typed characters, Tab and the focus.
//
// Event order: OnBeforeEdit when the editor opens on a cell; OnAfterEdit
// when the edit is accepted (Enter, moving to another cell, losing the
// focus); OnCancelEdit instead on Esc, after the start text is restored.
#include "components/Aligrid.h"

namespace {

TAlignment EditAlignment(TMyAlign align) {
  switch (align) {
    case TMyAlign::alRight: return taRightJustify;
    case TMyAlign::alCenter: return taCenter;
    default: return taLeftJustify;
  }
}

bool Valid(int col, int row) { return col >= 0 && row >= 0; }

}  // namespace

// The editor.

TNewInplaceEdit::TNewInplaceEdit(TComponent* owner) : TInplaceEdit(owner) {}

void TNewInplaceEdit::SetCellAlignment(TMyAlign v) {
  if (v == cellAlignment_) return;
  cellAlignment_ = v;
  SetAlignment(EditAlignment(v));
  SelectAll();
}

void TNewInplaceEdit::KeyPress(char& key) {
  if (editCol_ == -1 || editRow_ == -1) {
    key = 0;
    return;
  }
  auto* grid = dynamic_cast<TStringAlignGrid*>(Grid());
  if (key == 13 && grid != nullptr) {
    PostMessage(grid, AM_ACCEPTEDIT, static_cast<WPARAM>(editCol_), editRow_);
  } else if (key == 27) {
    SetText(startText_);
    if (grid != nullptr) PostMessage(grid, AM_CANCELEDIT, static_cast<WPARAM>(editCol_), editRow_);
    key = 13;
  }
  TInplaceEdit::KeyPress(key);
}

// The grid's side.

std::unique_ptr<TInplaceEdit> TStringAlignGrid::CreateEditor() {
  auto editor = std::make_unique<TNewInplaceEdit>(this);
  editor->SetEditCell(-1, -1);
  return editor;
}

TNewInplaceEdit* TStringAlignGrid::NewEditor() const {
  return dynamic_cast<TNewInplaceEdit*>(InplaceEditor());
}

// Leaving an edited cell posts its OnAfterEdit; the new cell's OnBeforeEdit
// is posted behind it then, so the two always come in that order. Opening
// the editor where no edit was under way sends OnBeforeEdit at once.
bool TStringAlignGrid::CanEditShow() {
  bool result = TStringGrid::CanEditShow();
  TNewInplaceEdit* editor = NewEditor();
  if (editor == nullptr) return result;
  bool leftCell = false;
  if (editor->EditCol() != Col() || editor->EditRow() != Row()) {
    if (Valid(editor->EditCol(), editor->EditRow())) {
      PostMessage(this, AM_LEAVECELL, static_cast<WPARAM>(editor->EditCol()), editor->EditRow());
      leftCell = true;
    }
    editor->SetEditStarted(false);
  }
  result = result && GetCellEditable(Col(), Row());
  if (!result) {
    editor->SetEditCell(-1, -1);
    SetEditorMode(false);
    return false;
  }
  editor->SetCellAlignment(GetCellAlignment(Col(), Row()));
  editor->SetFont(ResolveCellFont(Col(), Row()));
  editor->SetColor(GetCellColor(Col(), Row()));
  editor->SetEditCell(Col(), Row());
  if (!editor->EditStarted()) {
    editor->SetEditStarted(true);
    editor->SetStartText(Cells(Col(), Row()));
    if (leftCell) {
      PostMessage(this, AM_BEGINEDIT, static_cast<WPARAM>(Col()), Row());
    } else {
      SendMessage(this, AM_BEGINEDIT, static_cast<WPARAM>(Col()), Row());
    }
  }
  return true;
}

void TStringAlignGrid::HandleGridMessage(TMessage& m) {
  const int col = static_cast<int>(m.WParam);
  const int row = static_cast<int>(m.LParam);
  switch (m.Msg) {
    case AM_CANCELEDIT:
      editing_ = false;
      if (OnCancelEdit && Valid(col, row)) OnCancelEdit(this, col, row);
      break;
    case AM_ACCEPTEDIT:
      editing_ = false;
      if (OnAfterEdit && Valid(col, row)) OnAfterEdit(this, col, row);
      AdvanceAfterEnter(col, row);
      break;
    case AM_LEAVECELL:
      editing_ = false;
      if (OnAfterEdit && Valid(col, row)) OnAfterEdit(this, col, row);
      break;
    case AM_BEGINEDIT:
      if (OnBeforeEdit && Valid(col, row)) OnBeforeEdit(this, col, row);
      editing_ = true;
      break;
    default:  // AM_RESHOWEDITOR
      ShowEditor();
      if (TInplaceEdit* editor = InplaceEditor()) {
        editor->SetSelStart(savedSelStart_);
        editor->SetSelLength(savedSelLength_);
      }
      break;
  }
}

void TStringAlignGrid::AdvanceAfterEnter(int col, int row) {
  if (!autoEditNextCell_ || !Valid(col, row)) return;
  int c = Col(), r = Row();
  NextEditableCell(c, r);
  if (!Valid(c, r)) return;
  if (TNewInplaceEdit* editor = NewEditor()) editor->SetEditCell(-1, -1);
  FocusCell(c, r, true);
  ShowEditor();
  editing_ = true;
}

void TStringAlignGrid::WndProc(TMessage& message) {
  switch (message.Msg) {
    case AM_CANCELEDIT:
    case AM_ACCEPTEDIT:
    case AM_LEAVECELL:
    case AM_BEGINEDIT:
    case AM_RESHOWEDITOR:
      HandleGridMessage(message);
      return;
    case WM_MOUSEMOVE:
      CancelHintOnMove(message);
      break;
    case WM_CHAR:
      if (CharOpensEditor(message)) return;
      break;
    default:
      break;
  }
  TStringGrid::WndProc(message);
}

// With editing on, Backspace and 32..255 open the editor (the base grid
// passes the character on); on a cell that may not be edited the editor
// stays shut and the character goes to the grid's OnKeyPress.
bool TStringAlignGrid::CharOpensEditor(TMessage& message) {
  const int ch = static_cast<int>(message.WParam & 0xFF);
  if (!Options().Contains(goEditing) || !(ch == 8 || ch >= 32)) return false;
  TStringGrid::WndProc(message);
  if (!EditorMode() && OnKeyPress) {
    char key = static_cast<char>(ch);
    OnKeyPress(this, key);
  }
  return true;
}

void TStringAlignGrid::KeyDown(std::uint16_t& key, TShiftState shift) {
  if (key == 9 && Options().Contains(goTabs)) {
    TabMoveCell(shift.Contains(ssShift));
    key = 0;
  }
  TStringGrid::KeyDown(key, shift);
}

// Losing the focus to another control accepts a running edit. The grid's
// own editor taking the focus is no exit.
void TStringAlignGrid::DoExit() {
  TInplaceEdit* editor = InplaceEditor();
  if (editor != nullptr && editor->Focused()) return;
  if (editor != nullptr && editor->Visible() && EditorMode()) {
    reshowEditor_ = true;
    savedSelStart_ = editor->SelStart();
    savedSelLength_ = editor->SelLength();
    editing_ = false;
    HideEditor();
    if (OnAfterEdit) OnAfterEdit(this, Col(), Row());
  }
  if (editing_) {
    SetFocus();
    return;
  }
  TStringGrid::DoExit();
  SetEditorMode(false);
}

void TStringAlignGrid::DoEnter() {
  TStringGrid::DoEnter();
  if (reshowEditor_ && Options().Contains(goAlwaysShowEditor))
    PostMessage(this, AM_RESHOWEDITOR, 0, 0);
}
