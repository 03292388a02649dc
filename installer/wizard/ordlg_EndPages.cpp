#include "installer/wizard/ordlg_EndPages.h"

#include "installer/engine/cmp_TInstall.h"
#include "platform/controls/CheckRadio.h"

void TEndPageForm::InitializePage() {
  ProceedBtn->SetVisible(!IsLastPage());
  FinishBtn->SetVisible(!ProceedBtn->Visible());
}

TGoodInstallForm::TGoodInstallForm(TComponent* owner) : TEndPageForm(owner) {
  SetPageDefaults(10, dmAfterGoodInstall);
  ReadForm(this, QStringLiteral(":/forms/GoodInstallForm.form"));
}

TBadInstallForm::TBadInstallForm(TComponent* owner) : TEndPageForm(owner) {
  SetPageDefaults(10, dmAfterBadInstall);
  ReadForm(this, QStringLiteral(":/forms/BadInstallForm.form"));
}

TRebootForm::TRebootForm(TComponent* owner) : TEndPageForm(owner) {
  SetPageDefaults(10, dmReboot);
  ReadForm(this, QStringLiteral(":/forms/RebootForm.form"));
}

TFormBinding TRebootForm::Binding() {
  return {QX_END_PAGE_BINDING(TRebootForm), Field("RG", &TRebootForm::RG),
          Handler("RGClick", &TRebootForm::RGClick)};
}

void TRebootForm::InitializePage() {
  TEndPageForm::InitializePage();
  RG->SetItemIndex(RebootNeeded() ? 0 : 1);
}

void TRebootForm::RGClick(TObject*) {
  SetRebootNeeded(RG->ItemIndex() == 0);
}
