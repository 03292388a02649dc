#pragma once
// TEdit: a one-line edit box on a Qt line edit.
//
// Text follows the box both ways: typing changes Text and fires OnChange,
// and setting Text replaces the box's text (OnChange fires too, Modified is
// cleared, as WM_SETTEXT does). Modified is set by the user's edits only.
// CharCase converts every change, typed or set. PasswordChar other than #0
// hides the text (the style's mask character is shown).
//
// The selection outlives a loss of the focus: while the edit has no focus
// its selection is kept but not shown, SelStart/SelLength/SelText and the
// clipboard and replace operations work on it, and it shows again when the
// focus comes back (AutoSelect then selects all instead).

#include "platform/controls/NativeControl.h"

#include <functional>

class QLineEdit;

namespace controls_detail {
class TEditBox;
}  // namespace controls_detail

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
extern const TEnumInfo kEditCharCaseIdents;

class TCustomEdit : public TNativeControl {
 public:
  explicit TCustomEdit(TComponent* owner);

  void SetText(const QString& v) override;
  // 0: no limit.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v);
  bool ReadOnly() const;
  void SetReadOnly(bool v);
  // A Windows-1252 character; #0 shows the text.
  char PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char v);
  QString PasswordCharString() const;
  void SetPasswordCharString(const QString& v);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase v);
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool v) { autoSelect_ = v; }
  bool Modified() const;
  void SetModified(bool v);

  // Selection, in characters from the start of the text.
  int SelStart() const;
  void SetSelStart(int v);
  int SelLength() const;
  void SetSelLength(int v);
  QString SelText() const;
  // Replaces the selection (or inserts at the caret).
  void SetSelText(const QString& v);
  void SelectAll();
  void ClearSelection();
  void Clear() { SetText(QString()); }
  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();

  QLineEdit* Editor() const;
  void WndProc(TMessage& message) override;
  void DefaultHandler(TMessage& message) override;

  TNotifyEvent OnChange;

  static void DeclareProperties(TClassBuilder<TCustomEdit, TNativeControl>& b);

 protected:
  virtual void Change();

 private:
  controls_detail::TEditBox* Box() const;
  // Runs an operation of the box on the selection the edit has, shown or
  // kept; without the focus it stays unseen afterwards.
  void WithSelection(const std::function<void()>& operation);
  void TextChangedInBox(const QString& text);
  QString Cased(const QString& s) const;

  int maxLength_ = 0;
  char passwordChar_ = 0;
  TEditCharCase charCase_ = ecNormal;
  bool autoSelect_ = true;
  bool recasing_ = false;
};

class TEdit : public TCustomEdit {
 public:
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

// Registers the native-widget controls (edits, memos, lists, pages, trees,
// list views, image lists) for form files. Idempotent.
void RegisterStdControlClasses();
