#pragma once
// The licence-agreement page. This setup places no component for it, so
// no wizard shows it; the form stands ready all the same.

#include "installer/wizard/ordlg_Page.h"

class TRichEdit;

class TLicenseForm : public TWizardPageForm {
 public:
  explicit TLicenseForm(TComponent* owner);
  static TFormBinding Binding();

  TTranslateLabel* Text1 = nullptr;
  TTranslateLabel* Text2 = nullptr;
  TRichEdit* Agreement = nullptr;
};
