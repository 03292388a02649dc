#pragma once
// TChangeDiskForm: the prompt for the next installation disk, whose Path
// the user may edit or browse for.

#include "installer/wizard/cmp_TBaseInstallDlg.h"

class TEdit;
class TImage;
class TTranslateBitBtn;
class TTranslateLabel;

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
