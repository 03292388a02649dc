#pragma once
// TCommonDialog: the base of the common dialogs (open, save, font, colour,
// printer setup). Execute shows the dialog modally and returns true when
// the user confirmed it. While the dialog shows, the application's
// ModalDriver is called with the dialog component, which can reach the Qt
// dialog through ActiveDialog() (or the typed accessor of each class) and
// answer it, as tests do.

#include "platform/classes/ClassBuilder.h"
#include "platform/classes/Component.h"

class QDialog;

class TCommonDialog : public TComponent {
 public:
  explicit TCommonDialog(TComponent* owner);
  ~TCommonDialog() override;

  virtual bool Execute() = 0;
  // The Qt dialog while Execute runs; nullptr otherwise.
  QDialog* ActiveDialog() const { return active_; }
  int HelpContext() const { return helpContext_; }
  void SetHelpContext(int v) { helpContext_ = v; }

  static void DeclareProperties(TClassBuilder<TCommonDialog, TComponent>& b);

 protected:
  // Shows dialog modally, calls the modal driver, and waits until it is
  // closed; true when it was accepted.
  bool RunModal(QDialog& dialog);

 private:
  QDialog* active_ = nullptr;
  int helpContext_ = 0;
};

// Registers the common dialog classes for form files.
void RegisterDialogClasses();
