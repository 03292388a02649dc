#include "installer/wizard/ordlg_ChangeDisk.h"

#include "installer/wizard/cmp_TranslateControls.h"
#include "installer/wizard/ordlg_Common.h"
#include "platform/controls/Application.h"
#include "platform/controls/Edit.h"
#include "platform/controls/Guard.h"
#include "platform/controls/QtBridge.h"
#include "platform/controls/TopMost.h"
#include "platform/rtl/GuardedEntry.h"
#include "platform/controls/Image.h"
#include "platform/controls/Messages.h"
#include "platform/rtl/Format.h"

#include <QEventLoop>
#include <QFileDialog>
#include <QLayout>

bool TOpenFolderDialog::Execute() {
  folder_.clear();
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setFileMode(QFileDialog::Directory);
  if (!initialDir_.isEmpty()) dialog.setDirectory(initialDir_);
  dialog_ = &dialog;
  struct TClear {
    QFileDialog*& slot;
    ~TClear() { slot = nullptr; }
  } clear{dialog_};
  QEventLoop loop;
  GuardedConnect(this, &dialog, &QDialog::finished, &loop, [&loop] { loop.quit(); });
  dialog.setWindowModality(Qt::ApplicationModal);
  dialog.setResult(QDialog::Rejected);
  // Platforms without a window system cannot take size hints (and warn).
  if (!WindowSystemPresent() && dialog.layout() != nullptr)
    dialog.layout()->setSizeConstraint(QLayout::SetNoConstraint);
  {
    const TModalTopMostScope topMosts(&dialog);
    dialog.show();
    if (Application != nullptr && Application->ModalDriver)
      Guard(this, [this] { Application->ModalDriver(this); });
    if (dialog.isVisible()) loop.exec();
    dialog.hide();
  }
  if (dialog.result() != QDialog::Accepted) return false;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return false;
  folder_ = chosen.first();
  return true;
}

void TOpenFolderDialog::ChooseFolder(const QString& folder) {
  if (dialog_ == nullptr) return;
  dialog_->setDirectory(folder);
  dialog_->selectFile(folder);
  static_cast<QDialog*>(dialog_)->accept();
}

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
