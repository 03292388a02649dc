#include "installer/wizard/ordlg_License.h"

#include "platform/controls/Memo.h"

TLicenseForm::TLicenseForm(TComponent* owner) : TWizardPageForm(owner) {
  SetPageDefaults(20, dmBeforeInstall);
  ReadForm(this, QStringLiteral(":/forms/ordlg_License.form"));
}

TFormBinding TLicenseForm::Binding() {
  return {
      QX_WIZARD_PAGE_BINDING,
      Field("Text1", &TLicenseForm::Text1),
      Field("Text2", &TLicenseForm::Text2),
      Field("Agreement", &TLicenseForm::Agreement),
  };
}
