#include "installer/wizard/ordlg_Readme.h"

#include "platform/controls/Memo.h"

TReadmeForm::TReadmeForm(TComponent* owner) : TWizardPageForm(owner) {
  SetPageDefaults(30, dmBeforeInstall);
  ReadForm(this, QStringLiteral(":/forms/ordlg_Readme.form"));
}

TFormBinding TReadmeForm::Binding() {
  return {
      QX_WIZARD_PAGE_BINDING,
      Field("Text1", &TReadmeForm::Text1),
      Field("Information", &TReadmeForm::Information),
  };
}
