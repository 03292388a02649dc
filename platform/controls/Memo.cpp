#include "platform/controls/Memo.h"

#include "platform/controls/Guard.h"
#include "platform/rtl/UpdateScope.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

const TEnumInfo kScrollStyleIdents{"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};

namespace {

// The box's text (LF) from text with CR LF, LF or CR line ends.
QString ToPlain(QString s) {
  s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return s;
}

QString ToCrLf(QString s) { return s.replace(QLatin1Char('\n'), QLatin1String("\r\n")); }

}  // namespace

// Lines.

QStringList TMemoStrings::All() const {
  const QString text = memo_->Editor()->toPlainText();
  if (text.isEmpty()) return {};
  QStringList lines = text.split(QLatin1Char('\n'));
  if (lines.last().isEmpty()) lines.removeLast();
  return lines;
}

void TMemoStrings::Store(const QStringList& lines) { memo_->ReplaceAll(lines.join(QLatin1Char('\n')), false); }

void TMemoStrings::Check(int index, int count) const {
  if (index < 0 || index >= count) Error(QStringLiteral("List index out of bounds (%d)"), index);
}

int TMemoStrings::Count() const { return static_cast<int>(All().size()); }

QString TMemoStrings::Get(int index) const {
  const QStringList lines = All();
  Check(index, static_cast<int>(lines.size()));
  return lines.at(index);
}

void TMemoStrings::Put(int index, const QString& s) {
  QStringList lines = All();
  Check(index, static_cast<int>(lines.size()));
  lines[index] = ToPlain(s);
  Store(lines);
}

void TMemoStrings::Insert(int index, const QString& s) {
  QStringList lines = All();
  if (index < 0 || index > lines.size()) Error(QStringLiteral("List index out of bounds (%d)"), index);
  lines.insert(index, ToPlain(s));
  Store(lines);
}

void TMemoStrings::Delete(int index) {
  QStringList lines = All();
  Check(index, static_cast<int>(lines.size()));
  lines.removeAt(index);
  Store(lines);
}

void TMemoStrings::Clear() { memo_->ReplaceAll(QString(), false); }

void TMemoStrings::SetText(const QString& text) {
  QString plain = ToPlain(text);
  if (plain.endsWith(QLatin1Char('\n'))) plain.chop(1);
  memo_->ReplaceAll(plain, false);
}

// The memo.

TCustomMemo::TCustomMemo(TComponent* owner)
    : TNativeControl(owner, std::make_unique<QPlainTextEdit>()),
      lines_(std::make_unique<TMemoStrings>(this)) {
  SetBounds(0, 0, 185, 89);
  SetMouseWidget(Editor()->viewport());
  Editor()->document()->setUndoRedoEnabled(false);
  Editor()->setTabChangesFocus(true);
  GuardedConnect(this, Editor()->document(), &QTextDocument::contentsChange, Editor(),
                 [this](int pos, int removed, int added) { ContentsChanged(pos, removed, added); });
  ApplyWrap();
}

TCustomMemo::~TCustomMemo() {
  QObject::disconnect(Editor()->document(), nullptr, nullptr, nullptr);
}

QPlainTextEdit* TCustomMemo::Editor() const { return static_cast<QPlainTextEdit*>(NativeWidget()); }

void TCustomMemo::SetText(const QString& v) { ReplaceAll(ToPlain(v), false); }

void TCustomMemo::ReplaceAll(const QString& plain, bool undoable) {
  if (plain == Editor()->toPlainText()) return;
  TUpdateScope scope(undoable ? undoStep_ : fromCode_);
  QTextCursor cursor(Editor()->document());
  cursor.select(QTextCursor::Document);
  cursor.insertText(plain);
  if (!undoable) {
    ClearUndo();
    modified_ = false;
  }
}

// Every change of the box's contents comes here, from the user or from code.
void TCustomMemo::ContentsChanged(int position, int removed, int added) {
  const QString now = Editor()->toPlainText();
  if (fromCode_) {
    typingEnd_ = -1;
  } else if (undoStep_) {
    undoText_ = lastText_;
    canUndo_ = true;
    modified_ = true;
    typingEnd_ = -1;
  } else {
    const bool typed = added == 1 && removed == 0;
    if (!(typed && position == typingEnd_)) {
      undoText_ = lastText_;
      canUndo_ = true;
    }
    typingEnd_ = typed || (added == 1) ? position + added : -1;
    modified_ = true;
  }
  lastText_ = now;
  TNativeControl::SetText(ToCrLf(now));
  Change();
}

void TCustomMemo::Change() {
  if (!ComponentState().Contains(csLoading) && OnChange) OnChange(this);
}

void TCustomMemo::Undo() {
  if (!canUndo_) return;
  const QString restore = undoText_;
  ReplaceAll(restore, true);
  Editor()->moveCursor(QTextCursor::End);
}

bool TCustomMemo::ReadOnly() const { return Editor()->isReadOnly(); }
void TCustomMemo::SetReadOnly(bool v) { Editor()->setReadOnly(v); }

void TCustomMemo::SetScrollBars(TScrollStyle v) {
  scrollBars_ = v;
  const bool h = v == ssHorizontal || v == ssBoth;
  const bool vert = v == ssVertical || v == ssBoth;
  Editor()->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  Editor()->setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  ApplyWrap();
}

void TCustomMemo::SetWordWrap(bool v) {
  wordWrap_ = v;
  ApplyWrap();
}

// A horizontal scroll bar turns wrapping off, as in an edit control.
void TCustomMemo::ApplyWrap() {
  const bool wrap = wordWrap_ && scrollBars_ != ssHorizontal && scrollBars_ != ssBoth;
  Editor()->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TCustomMemo::SetWantTabs(bool v) {
  wantTabs_ = v;
  Editor()->setTabChangesFocus(!v);
}

void TCustomMemo::SetAlignment(TAlignment v) {
  alignment_ = v;
  QTextOption option = Editor()->document()->defaultTextOption();
  option.setAlignment(v == taCenter ? Qt::AlignHCenter : v == taRightJustify ? Qt::AlignRight : Qt::AlignLeft);
  Editor()->document()->setDefaultTextOption(option);
}

int TCustomMemo::SelStart() const { return Editor()->textCursor().selectionStart(); }

void TCustomMemo::SetSelStart(int v) {
  QTextCursor c = Editor()->textCursor();
  c.setPosition(qBound(0, v, static_cast<int>(Editor()->toPlainText().size())));
  Editor()->setTextCursor(c);
}

int TCustomMemo::SelLength() const {
  const QTextCursor c = Editor()->textCursor();
  return c.selectionEnd() - c.selectionStart();
}

void TCustomMemo::SetSelLength(int v) {
  QTextCursor c = Editor()->textCursor();
  const int start = c.selectionStart();
  const int end = qBound(start, start + v, static_cast<int>(Editor()->toPlainText().size()));
  c.setPosition(start);
  c.setPosition(end, QTextCursor::KeepAnchor);
  Editor()->setTextCursor(c);
}

QString TCustomMemo::SelText() const {
  QString s = Editor()->textCursor().selectedText();
  s.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return ToCrLf(s);
}

void TCustomMemo::ReplaceSelection(const QString& text, bool undoable) {
  TUpdateScope scope(undoable ? undoStep_ : fromCode_);
  Editor()->textCursor().insertText(ToPlain(text));
  if (!undoable) ClearUndo();
}

void TCustomMemo::SetSelText(const QString& v) { ReplaceSelection(v, false); }

void TCustomMemo::SelectAll() { Editor()->selectAll(); }

void TCustomMemo::CopyToClipboard() {
  if (SelLength() > 0) QApplication::clipboard()->setText(SelText());
}

void TCustomMemo::CutToClipboard() {
  if (SelLength() == 0 || ReadOnly()) return;
  CopyToClipboard();
  ReplaceSelection(QString(), true);
}

void TCustomMemo::PasteFromClipboard() {
  if (ReadOnly()) return;
  const QString text = QApplication::clipboard()->text();
  if (!text.isEmpty() || SelLength() > 0) ReplaceSelection(text, true);
}

void TCustomMemo::ClearSelection() {
  if (SelLength() > 0 && !ReadOnly()) ReplaceSelection(QString(), true);
}

bool TCustomMemo::SwallowKey(const QKeyEvent& e) const {
  const bool enter = e.key() == Qt::Key_Return || e.key() == Qt::Key_Enter;
  if (enter && !wantReturns_ && !(e.modifiers() & Qt::ControlModifier)) return true;
  const bool typing = !e.text().isEmpty() && e.text().at(0).isPrint();
  return typing && maxLength_ > 0 && SelLength() == 0 &&
         Editor()->toPlainText().size() >= maxLength_;
}

void TCustomMemo::WndProc(TMessage& m) {
  switch (m.Msg) {
    case EM_UNDO:
    case WM_UNDO:
      m.Result = canUndo_ ? 1 : 0;
      Undo();
      return;
    case EM_CANUNDO: m.Result = canUndo_ ? 1 : 0; return;
    case EM_EMPTYUNDOBUFFER: ClearUndo(); return;
    case WM_CUT: CutToClipboard(); return;
    case WM_COPY: CopyToClipboard(); return;
    case WM_PASTE: PasteFromClipboard(); return;
    case WM_CLEAR: ClearSelection(); return;
    case CM_WANTSPECIALKEY:
      // Enter makes a new line with WantReturns (Ctrl+Enter always does).
      m.Result = m.WParam == 0x0D &&
                 (wantReturns_ || (QGuiApplication::keyboardModifiers() & Qt::ControlModifier));
      return;
    default: TNativeControl::WndProc(m);
  }
}

void TCustomMemo::DeclareProperties(TClassBuilder<TCustomMemo, TNativeControl>& b) {
  b.Object("Lines", &TCustomMemo::Lines);
  // The text is stored as Lines.
  b.Property("Caption", &TControl::Caption, &TControl::SetCaption).Stored(false);
  b.Property("ReadOnly", &TCustomMemo::ReadOnly, &TCustomMemo::SetReadOnly).Default(false);
  b.Property("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars, kScrollStyleIdents)
      .Default(ssNone);
  b.Property("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).Default(true);
  b.Property("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns).Default(true);
  b.Property("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs).Default(false);
  b.Property("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment, kAlignmentIdents)
      .Default(taLeftJustify);
  b.Property("MaxLength", &TCustomMemo::MaxLength, &TCustomMemo::SetMaxLength).Default(0);
  b.Event("OnChange", &TCustomMemo::OnChange);
}

void TRichEdit::DeclareProperties(TClassBuilder<TRichEdit, TCustomMemo>& b) {
  b.Property("PlainText", &TRichEdit::PlainText, &TRichEdit::SetPlainText).Default(false);
}
