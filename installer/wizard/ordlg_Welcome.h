#pragma once
// The welcome page: three texts and the buttons.

#include "installer/wizard/ordlg_Page.h"

class TWelcomeForm : public TWizardPageForm {
 public:
  explicit TWelcomeForm(TComponent* owner);
  static TFormBinding Binding();

  TTranslateLabel* Text1 = nullptr;
  TTranslateLabel* Text2 = nullptr;
  TTranslateLabel* Text3 = nullptr;
};
