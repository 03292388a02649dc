#pragma once
// TMemo and TRichEdit (used for plain text): a multi-line edit box on a Qt
// plain-text editor.
//
// Lines is a TStrings view of the box: reading it reads the box, changing it
// changes the box. A line break ends every line but the last; a last empty
// line is not counted. Text uses CR LF between lines.
//
// Undo is that of an edit control: one step. The last user change (a run of
// typed characters counts as one) can be undone; a second Undo redoes it.
// Setting Text, Lines or Clear empty the undo buffer.

#include "platform/controls/Label.h"
#include "platform/controls/NativeControl.h"
#include "platform/rtl/StringList.h"

class QPlainTextEdit;
class TCustomMemo;

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
extern const TEnumInfo kScrollStyleIdents;

// Edit-control messages a memo answers.
inline constexpr UINT EM_CANUNDO = 0x00C6;
inline constexpr UINT EM_UNDO = 0x00C7;
inline constexpr UINT EM_EMPTYUNDOBUFFER = 0x00CD;
inline constexpr UINT WM_CUT = 0x0300;
inline constexpr UINT WM_COPY = 0x0301;
inline constexpr UINT WM_PASTE = 0x0302;
inline constexpr UINT WM_CLEAR = 0x0303;
inline constexpr UINT WM_UNDO = 0x0304;

class TMemoStrings : public TStrings {
 public:
  explicit TMemoStrings(TCustomMemo* memo) : memo_(memo) {}
  int Count() const override;
  QString Get(int index) const override;
  void Put(int index, const QString& s) override;
  void Insert(int index, const QString& s) override;
  void Delete(int index) override;
  void Clear() override;
  void SetText(const QString& text) override;

 private:
  QStringList All() const;
  void Store(const QStringList& lines);
  void Check(int index, int count) const;
  TCustomMemo* memo_;
};

class TCustomMemo : public TNativeControl {
 public:
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;

  void SetText(const QString& v) override;
  TStrings* Lines() const { return lines_.get(); }
  void SetLines(TStrings* v) { lines_->Assign(*v); }
  bool ReadOnly() const;
  void SetReadOnly(bool v);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool v) { wantReturns_ = v; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  // 0: no limit.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v) { maxLength_ = v < 0 ? 0 : v; }
  bool Modified() const { return modified_; }
  void SetModified(bool v) { modified_ = v; }

  // Selection, in characters from the start (a line break counts as one).
  int SelStart() const;
  void SetSelStart(int v);
  int SelLength() const;
  void SetSelLength(int v);
  QString SelText() const;
  // Replaces the selection; not undoable (as EM_REPLACESEL from code).
  void SetSelText(const QString& v);
  void SelectAll();

  // Undoable edits, as the user's.
  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();
  void ClearSelection();
  void Cut() { CutToClipboard(); }
  void Copy() { CopyToClipboard(); }
  void Paste() { PasteFromClipboard(); }
  void Clear() { SetText(QString()); }
  void Undo();
  bool CanUndo() const { return canUndo_; }
  void ClearUndo() { canUndo_ = false; undoText_.clear(); }

  QPlainTextEdit* Editor() const;
  void WndProc(TMessage& message) override;

  TNotifyEvent OnChange;

  static void DeclareProperties(TClassBuilder<TCustomMemo, TNativeControl>& b);

 protected:
  virtual void Change();
  bool SwallowKey(const QKeyEvent& e) const override;

 private:
  friend class TMemoStrings;
  void ContentsChanged(int position, int removed, int added);
  // Replaces the whole text; undoable or as from code.
  void ReplaceAll(const QString& plain, bool undoable);
  void ReplaceSelection(const QString& text, bool undoable);
  void ApplyWrap();

  std::unique_ptr<TMemoStrings> lines_;
  TScrollStyle scrollBars_ = ssNone;
  bool wordWrap_ = true;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  TAlignment alignment_ = taLeftJustify;
  int maxLength_ = 0;
  bool modified_ = false;
  // The one-step undo: the text before the last user change.
  QString lastText_;
  QString undoText_;
  bool canUndo_ = false;
  // A typing run: single characters typed one after another merge into one step.
  int typingEnd_ = -1;
  // Set while code (not the user) changes the text.
  bool fromCode_ = false;
  bool undoStep_ = false;
};

class TMemo : public TCustomMemo {
 public:
  explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
};

// Holds plain text only: PlainText is kept for form files (loading and
// saving are always plain).
class TRichEdit : public TCustomMemo {
 public:
  explicit TRichEdit(TComponent* owner) : TCustomMemo(owner) {}
  bool PlainText() const { return plainText_; }
  void SetPlainText(bool v) { plainText_ = v; }

  static void DeclareProperties(TClassBuilder<TRichEdit, TCustomMemo>& b);

 private:
  bool plainText_ = false;
};
