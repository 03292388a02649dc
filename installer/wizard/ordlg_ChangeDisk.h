#pragma once
// TChangeDiskForm: the prompt for the next installation disk, whose Path
// the user may edit or browse for; and TOpenFolderDialog, the folder
// chooser behind its Browse button.

#include "installer/wizard/cmp_TBaseInstallDlg.h"

class QFileDialog;
class TEdit;
class TImage;
class TTranslateBitBtn;
class TTranslateLabel;

// A folder dialog: Execute is true when a folder was chosen, which Folder
// then gives; a cancelled dialog leaves Folder empty. While it shows, the
// application's ModalDriver is called with it (ActiveDialog: the Qt dialog).
class TOpenFolderDialog : public TComponent {
 public:
  explicit TOpenFolderDialog(TComponent* owner) : TComponent(owner) {}
  bool Execute();
  QFileDialog* ActiveDialog() const { return dialog_; }
  QString Folder() const { return folder_; }
  // The folder the dialog opens in.
  void SetInitialDir(const QString& v) { initialDir_ = v; }
  // For modal drivers: chooses folder and accepts the dialog.
  void ChooseFolder(const QString& folder);

 private:
  QString folder_;
  QString initialDir_;
  QFileDialog* dialog_ = nullptr;
};

class TChangeDiskForm : public TBaseChangeDiskForm {
 public:
  explicit TChangeDiskForm(TComponent* owner);
  static TFormBinding Binding();

  TImage* ThemeBitmap = nullptr;
  TTranslateLabel* PromptDiskLabel = nullptr;
  TTranslateLabel* Label1 = nullptr;
  TTranslateLabel* Label2 = nullptr;
  TEdit* PathEdit = nullptr;
  TTranslateBitBtn* BrowseBtn = nullptr;
  TTranslateBitBtn* InstallBtn = nullptr;
  TTranslateBitBtn* CancelBtn = nullptr;

  // Asks the abort question; yes ends the prompt with mrAbort.
  virtual void CancelDisk();
  void FormShow(TObject* sender);
  void BrowseBtnClick(TObject* sender);
  void CancelBtnClick(TObject* sender);
  // Proceed hands the edited path back in the parameter.
  void InstallBtnClick(TObject* sender);

 protected:
  void DefaultHandler(TMessage& message) override;
};
