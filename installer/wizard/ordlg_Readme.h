#pragma once
// The readme page: a text and the read-only readme box.

#include "installer/wizard/ordlg_Page.h"

class TRichEdit;

class TReadmeForm : public TWizardPageForm {
 public:
  explicit TReadmeForm(TComponent* owner);
  static TFormBinding Binding();

  TTranslateLabel* Text1 = nullptr;
  TRichEdit* Information = nullptr;
};
