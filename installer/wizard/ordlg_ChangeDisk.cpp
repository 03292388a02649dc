#include "installer/wizard/ordlg_ChangeDisk.h"

#include "installer/wizard/cmp_TOpenFolderDialog.h"
#include "installer/wizard/cmp_TranslateControls.h"
#include "installer/wizard/ordlg_Common.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Image.h"
#include "platform/controls/Messages.h"
#include "platform/rtl/Format.h"

TChangeDiskForm::TChangeDiskForm(TComponent* owner) : TBaseChangeDiskForm(owner) {
  InitWizardFormResources();
  ReadForm(this, QStringLiteral(":/forms/ChangeDiskForm.form"));
}

TFormBinding TChangeDiskForm::Binding() {
  return {
      Field("ThemeBitmap", &TChangeDiskForm::ThemeBitmap),
      Field("PromptDiskLabel", &TChangeDiskForm::PromptDiskLabel),
      Field("Label1", &TChangeDiskForm::Label1),
      Field("Label2", &TChangeDiskForm::Label2),
      Field("PathEdit", &TChangeDiskForm::PathEdit),
      Field("BrowseBtn", &TChangeDiskForm::BrowseBtn),
      Field("InstallBtn", &TChangeDiskForm::InstallBtn),
      Field("CancelBtn", &TChangeDiskForm::CancelBtn),
      Handler("FormShow", &TChangeDiskForm::FormShow),
      Handler("BrowseBtnClick", &TChangeDiskForm::BrowseBtnClick),
      Handler("CancelBtnClick", &TChangeDiskForm::CancelBtnClick),
      Handler("InstallBtnClick", &TChangeDiskForm::InstallBtnClick),
  };
}

void TChangeDiskForm::FormShow(TObject*) {
  TDiskParameter* parameter = DiskParameter();
  if (parameter == nullptr) return;
  PromptDiskLabel->SetCaption(
      Format(TranslateText(QStringLiteral("Please insert disk number %d")), {parameter->Disk}));
  PathEdit->SetText(parameter->Path);
  if (InstallBtn->CanFocus()) InstallBtn->SetFocus();
}

void TChangeDiskForm::BrowseBtnClick(TObject*) {
  TDiskParameter* parameter = DiskParameter();
  if (parameter == nullptr) return;
  TOpenFolderDialog dialog(nullptr);
  dialog.SetInitialDir(parameter->Path);
  if (dialog.Execute()) parameter->Path = dialog.Folder();
  PathEdit->SetText(parameter->Path);
}

void TChangeDiskForm::InstallBtnClick(TObject*) {
  if (TDiskParameter* parameter = DiskParameter()) parameter->Path = PathEdit->Text();
  SetModalResult(mrOk);
}

void TChangeDiskForm::CancelDisk() {
  if (WizardAskUserAbort()) SetModalResult(mrAbort);
}

void TChangeDiskForm::CancelBtnClick(TObject*) {
  CancelDisk();
}

void TChangeDiskForm::DefaultHandler(TMessage& message) {
  if (message.Msg == WM_CLOSE && Modal()) {
    CancelDisk();
    return;
  }
  TBaseChangeDiskForm::DefaultHandler(message);
}
