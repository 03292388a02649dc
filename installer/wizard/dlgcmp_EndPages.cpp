#include "installer/wizard/dlgcmp_EndPages.h"

#include "installer/wizard/cmp_TranslateControls.h"
#include "installer/wizard/ordlg_EndPages.h"
#include "platform/classes/ClassRegistry.h"
#include "platform/controls/Image.h"
#include "platform/graphics/Bitmap.h"

TEndPageDlg::TEndPageDlg(TComponent* owner, int code) : TBaseInstallDlg(owner), code_(code) {}

void TEndPageDlg::AssignDialogProperties() {
  TBaseInstallDlg::AssignDialogProperties();
  auto* page = static_cast<TEndPageForm*>(Dialog());
  page->BackBtn->SetVisible(false);
  page->ProceedBtn->SetModalResult(mrOk);
  page->FinishBtn->SetModalResult(mrOk);
  if (ThemeBitmap() != nullptr && !ThemeBitmap()->Empty())
    page->ThemeImage->Picture()->Bitmap()->Assign(ThemeBitmap());
}

void TEndPageDlg::HandleMessage(TInstallContainer* sender, int code, TObject* param) {
  TBaseInstallDlg::HandleMessage(sender, code, param);
  if (code == code_ && StandsAlone()) Execute();
}

TGoodInstallationDlg::TGoodInstallationDlg(TComponent* owner)
    : TEndPageDlg(owner, scGoodEndPage) {
  RegisterPage(10, dmAfterGoodInstall);
}

TFormClass TGoodInstallationDlg::FormClass() const {
  return &FormClassOf<TGoodInstallForm>;
}

TBadInstallationDlg::TBadInstallationDlg(TComponent* owner)
    : TEndPageDlg(owner, scBadEndPage) {
  RegisterPage(10, dmAfterBadInstall);
}

TFormClass TBadInstallationDlg::FormClass() const {
  return &FormClassOf<TBadInstallForm>;
}

TRebootDlg::TRebootDlg(TComponent* owner) : TEndPageDlg(owner, scRestart) {
  RegisterPage(10, dmReboot);
}

TFormClass TRebootDlg::FormClass() const {
  return &FormClassOf<TRebootForm>;
}

void TRebootDlg::AssignDialogProperties() {
  TEndPageDlg::AssignDialogProperties();
  auto* page = static_cast<TRebootForm*>(Dialog());
  page->InitializeForm();
  page->BackBtn->SetVisible(false);
}

void RegisterEndPageClasses() {
  if (GetClass(QStringLiteral("TGoodInstallForm")) == nullptr) RegisterClass<TGoodInstallForm>();
  if (GetClass(QStringLiteral("TBadInstallForm")) == nullptr) RegisterClass<TBadInstallForm>();
  if (GetClass(QStringLiteral("TRebootForm")) == nullptr) RegisterClass<TRebootForm>();
  if (GetClass(QStringLiteral("TGoodInstallationDlg")) == nullptr)
    RegisterClass<TGoodInstallationDlg>();
  if (GetClass(QStringLiteral("TBadInstallationDlg")) == nullptr)
    RegisterClass<TBadInstallationDlg>();
  if (GetClass(QStringLiteral("TRebootDlg")) == nullptr) RegisterClass<TRebootDlg>();
}
