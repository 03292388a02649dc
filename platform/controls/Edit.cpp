#include "platform/controls/Edit.h"

#include "platform/rtl/Codec1252.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QRegularExpression>

const TEnumInfo kEditCharCaseIdents{"ecNormal", "ecUpperCase", "ecLowerCase"};

TCustomEdit::TCustomEdit(TComponent* owner) : TNativeControl(owner, std::make_unique<QLineEdit>()) {
  SetBounds(0, 0, 121, 21);
  QObject::connect(Editor(), &QLineEdit::textChanged,
                   [this](const QString& text) { TextChangedInBox(text); });
}

QLineEdit* TCustomEdit::Editor() const { return static_cast<QLineEdit*>(NativeWidget()); }

QString TCustomEdit::Cased(const QString& s) const {
  switch (charCase_) {
    case ecUpperCase: return s.toUpper();
    case ecLowerCase: return s.toLower();
    default: return s;
  }
}

void TCustomEdit::SetText(const QString& v) {
  Editor()->setText(Cased(v));
  Editor()->setModified(false);
}

// Every change of the box's text, typed or set, arrives here first.
void TCustomEdit::TextChangedInBox(const QString& text) {
  if (recasing_) return;
  const QString cased = Cased(text);
  if (cased != text) {
    recasing_ = true;
    const int pos = Editor()->cursorPosition();
    const bool modified = Editor()->isModified();
    Editor()->setText(cased);
    Editor()->setCursorPosition(pos);
    Editor()->setModified(modified);
    recasing_ = false;
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
  return Editor()->hasSelectedText() ? Editor()->selectionStart() : Editor()->cursorPosition();
}

void TCustomEdit::SetSelStart(int v) {
  Editor()->deselect();
  Editor()->setCursorPosition(qBound(0, v, static_cast<int>(Editor()->text().size())));
}

int TCustomEdit::SelLength() const { return Editor()->selectionLength(); }

void TCustomEdit::SetSelLength(int v) {
  const int start = SelStart();
  const int len = qBound(0, v, static_cast<int>(Editor()->text().size()) - start);
  if (len == 0) {
    SetSelStart(start);
  } else {
    Editor()->setSelection(start, len);
  }
}

QString TCustomEdit::SelText() const { return Editor()->selectedText(); }

void TCustomEdit::SetSelText(const QString& v) { Editor()->insert(Cased(v)); }

void TCustomEdit::SelectAll() { Editor()->selectAll(); }

void TCustomEdit::ClearSelection() {
  if (Editor()->hasSelectedText()) Editor()->del();
}

void TCustomEdit::CutToClipboard() {
  if (!Editor()->hasSelectedText()) return;
  CopyToClipboard();
  if (!ReadOnly()) Editor()->del();
}

void TCustomEdit::CopyToClipboard() {
  // A password box gives nothing away.
  if (Editor()->hasSelectedText() && passwordChar_ == 0)
    QApplication::clipboard()->setText(Editor()->selectedText());
}

void TCustomEdit::PasteFromClipboard() {
  if (ReadOnly()) return;
  QString text = QApplication::clipboard()->text();
  // A one-line box keeps the first line only.
  const auto cut = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
  if (cut >= 0) text.truncate(cut);
  Editor()->insert(Cased(text));
  Editor()->setModified(true);
}

void TCustomEdit::WndProc(TMessage& m) {
  if (m.Msg == WM_SETFOCUS && autoSelect_) Editor()->selectAll();
  TNativeControl::WndProc(m);
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
