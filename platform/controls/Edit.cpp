#include "platform/controls/Edit.h"

#include "platform/controls/Guard.h"
#include "platform/rtl/Codec1252.h"
#include "platform/rtl/UpdateScope.h"

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QLineEdit>
#include <QRegularExpression>

#include <optional>

const TEnumInfo kEditCharCaseIdents{"ecNormal", "ecUpperCase", "ecLowerCase"};

namespace controls_detail {

// The Qt box of a one-line edit. A Qt line edit drops its selection when it
// loses the focus; this one puts the selection aside instead and gives it
// back when the focus returns. Invariant: while a selection is kept, the box
// itself has none (so none is drawn); any change of the box's text, caret or
// selection meanwhile makes the kept one void.
class TEditBox : public QLineEdit {
 public:
  struct TSelection {
    int start = 0;
    int length = 0;
    bool caretAtStart = false;
  };

  TEditBox();
  const std::optional<TSelection>& Kept() const { return kept_; }
  void Forget() { kept_.reset(); }
  // Selects length characters from start; without the focus they are kept.
  void Select(int start, int length);
  // Puts a kept selection back into the box.
  void Restore();
  // Without the focus, moves the box's selection aside.
  void Keep();

 protected:
  void focusInEvent(QFocusEvent* e) override;
  void focusOutEvent(QFocusEvent* e) override;

 private:
  std::optional<TSelection> kept_;
  bool moving_ = false;  // our own moves keep kept_
};

TEditBox::TEditBox() {
  auto forget = [this] {
    if (!moving_) Forget();
  };
  GuardedConnect(nullptr, this, &QLineEdit::textChanged, this, forget);
  GuardedConnect(nullptr, this, &QLineEdit::cursorPositionChanged, this, forget);
  GuardedConnect(nullptr, this, &QLineEdit::selectionChanged, this, forget);
}

void TEditBox::Select(int start, int length) {
  Forget();
  if (length <= 0) {
    deselect();
    setCursorPosition(start);
    return;
  }
  setSelection(start, length);
  Keep();
}

void TEditBox::Restore() {
  if (!kept_) return;
  const TSelection s = *kept_;
  kept_.reset();
  TUpdateScope moving(moving_);
  // A negative length leaves the caret at the start, as it was.
  if (s.caretAtStart)
    setSelection(s.start + s.length, -s.length);
  else
    setSelection(s.start, s.length);
}

void TEditBox::Keep() {
  if (hasFocus() || !hasSelectedText()) return;
  const TSelection s{selectionStart(), selectionLength(), cursorPosition() == selectionStart()};
  TUpdateScope moving(moving_);
  deselect();  // the caret stays where it was
  kept_ = s;
}

void TEditBox::focusInEvent(QFocusEvent* e) {
  Restore();
  QLineEdit::focusInEvent(e);
}

void TEditBox::focusOutEvent(QFocusEvent* e) {
  // A popup (the box's own context menu) works on the selection in the box.
  if (e->reason() != Qt::PopupFocusReason) Keep();
  QLineEdit::focusOutEvent(e);
}

}  // namespace controls_detail

using controls_detail::TEditBox;

TCustomEdit::TCustomEdit(TComponent* owner) : TNativeControl(owner, std::make_unique<TEditBox>()) {
  SetBounds(0, 0, 121, 21);
  GuardedConnect(this, Editor(), &QLineEdit::textChanged, Editor(),
                 [this](const QString& text) { TextChangedInBox(text); });
}

QLineEdit* TCustomEdit::Editor() const { return static_cast<QLineEdit*>(NativeWidget()); }

TEditBox* TCustomEdit::Box() const { return static_cast<TEditBox*>(NativeWidget()); }

QString TCustomEdit::Cased(const QString& s) const {
  switch (charCase_) {
    case ecUpperCase: return s.toUpper();
    case ecLowerCase: return s.toLower();
    default: return s;
  }
}

void TCustomEdit::SetText(const QString& v) {
  Box()->Forget();  // even when the text stays the same
  Editor()->setText(Cased(v));
  Editor()->setModified(false);
}

// Every change of the box's text, typed or set, arrives here first.
void TCustomEdit::TextChangedInBox(const QString& text) {
  if (recasing_) return;
  const QString cased = Cased(text);
  if (cased != text) {
    TUpdateScope recasing(recasing_);
    const int pos = Editor()->cursorPosition();
    const bool modified = Editor()->isModified();
    Editor()->setText(cased);
    Editor()->setCursorPosition(pos);
    Editor()->setModified(modified);
  }
  TNativeControl::SetText(cased);
  Change();
}

void TCustomEdit::Change() {
  if (!ComponentState().Contains(csLoading) && OnChange) OnChange(this);
}

void TCustomEdit::SetMaxLength(int v) {
  maxLength_ = v < 0 ? 0 : v;
  Editor()->setMaxLength(maxLength_ == 0 ? 32767 : maxLength_);
}

bool TCustomEdit::ReadOnly() const { return Editor()->isReadOnly(); }
void TCustomEdit::SetReadOnly(bool v) { Editor()->setReadOnly(v); }

void TCustomEdit::SetPasswordChar(char v) {
  passwordChar_ = v;
  Editor()->setEchoMode(v == 0 ? QLineEdit::Normal : QLineEdit::Password);
}

void TCustomEdit::SetCharCase(TEditCharCase v) {
  if (v == charCase_) return;
  charCase_ = v;
  TextChangedInBox(Editor()->text());
}

bool TCustomEdit::Modified() const { return Editor()->isModified(); }
void TCustomEdit::SetModified(bool v) { Editor()->setModified(v); }

int TCustomEdit::SelStart() const {
  if (const auto& kept = Box()->Kept()) return kept->start;
  return Editor()->hasSelectedText() ? Editor()->selectionStart() : Editor()->cursorPosition();
}

void TCustomEdit::SetSelStart(int v) {
  Box()->Select(qBound(0, v, static_cast<int>(Editor()->text().size())), 0);
}

int TCustomEdit::SelLength() const {
  if (const auto& kept = Box()->Kept()) return kept->length;
  return Editor()->selectionLength();
}

void TCustomEdit::SetSelLength(int v) {
  const int start = SelStart();
  Box()->Select(start, qBound(0, v, static_cast<int>(Editor()->text().size()) - start));
}

QString TCustomEdit::SelText() const {
  if (const auto& kept = Box()->Kept()) return Editor()->text().mid(kept->start, kept->length);
  return Editor()->selectedText();
}

void TCustomEdit::WithSelection(const std::function<void()>& operation) {
  Box()->Restore();
  operation();
  Box()->Keep();
}

void TCustomEdit::SetSelText(const QString& v) {
  WithSelection([&] { Editor()->insert(Cased(v)); });
}

void TCustomEdit::SelectAll() { Box()->Select(0, static_cast<int>(Editor()->text().size())); }

void TCustomEdit::ClearSelection() {
  WithSelection([this] {
    if (Editor()->hasSelectedText()) Editor()->del();
  });
}

void TCustomEdit::CutToClipboard() {
  if (SelLength() == 0) return;
  CopyToClipboard();
  if (!ReadOnly()) WithSelection([this] { Editor()->del(); });
}

void TCustomEdit::CopyToClipboard() {
  // A password box gives nothing away.
  if (SelLength() > 0 && passwordChar_ == 0) QApplication::clipboard()->setText(SelText());
}

void TCustomEdit::PasteFromClipboard() {
  if (ReadOnly()) return;
  QString text = QApplication::clipboard()->text();
  // A one-line box keeps the first line only.
  const auto cut = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
  if (cut >= 0) text.truncate(cut);
  WithSelection([&] { Editor()->insert(Cased(text)); });
  Editor()->setModified(true);
}

void TCustomEdit::WndProc(TMessage& m) {
  if (m.Msg == WM_SETFOCUS && autoSelect_) SelectAll();
  TNativeControl::WndProc(m);
}

// A character sent to an edit without the focus replaces the kept selection.
void TCustomEdit::DefaultHandler(TMessage& m) {
  if (m.Msg == WM_CHAR)
    WithSelection([&] { TNativeControl::DefaultHandler(m); });
  else
    TNativeControl::DefaultHandler(m);
}

// The form file keeps PasswordChar as a one-character string.
QString TCustomEdit::PasswordCharString() const {
  return passwordChar_ == 0 ? QString() : QString(Win1252ToChar(static_cast<unsigned char>(passwordChar_)));
}

void TCustomEdit::SetPasswordCharString(const QString& v) {
  SetPasswordChar(v.isEmpty() ? char(0) : static_cast<char>(CharToWin1252(v.at(0))));
}

void TCustomEdit::DeclareProperties(TClassBuilder<TCustomEdit, TNativeControl>& b) {
  b.Property("Text", &TCustomEdit::Text, &TCustomEdit::SetText);
  // The text is stored as Text.
  b.Property("Caption", &TControl::Caption, &TControl::SetCaption).Stored(false);
  b.Property("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
  b.Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(false);
  b.Property("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase, kEditCharCaseIdents)
      .Default(ecNormal);
  b.Property("PasswordChar", &TCustomEdit::PasswordCharString, &TCustomEdit::SetPasswordCharString);
  b.Property("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(true);
  b.Event("OnChange", &TCustomEdit::OnChange);
}
