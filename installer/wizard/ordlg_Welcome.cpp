#include "installer/wizard/ordlg_Welcome.h"

TWelcomeForm::TWelcomeForm(TComponent* owner) : TWizardPageForm(owner) {
  SetPageDefaults(5, dmBeforeInstall);
  ReadForm(this, QStringLiteral(":/forms/ordlg_Welcome.form"));
}

TFormBinding TWelcomeForm::Binding() {
  return {
      QX_WIZARD_PAGE_BINDING,
      Field("Text1", &TWelcomeForm::Text1),
      Field("Text2", &TWelcomeForm::Text2),
      Field("Text3", &TWelcomeForm::Text3),
  };
}
