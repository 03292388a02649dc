#include "installer/wizard/ordlg_Page.h"

#include "installer/wizard/ordlg_Common.h"
#include "platform/controls/Image.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Format.h"

TWizardPageForm::TWizardPageForm(TComponent* owner) : TBaseInstallForm(owner) {
  InitWizardFormResources();
}

void TWizardPageForm::InitializeForm() {
  TBaseInstallForm::InitializeForm();
  BackBtn->SetVisible(!IsFirstPage());
  InitializePage();
  if (ProceedBtn->Visible() && Visible()) ProceedBtn->SetFocus();
  TTranslateBitBtn* finish = FinishButton();
  if (finish != nullptr && finish->Visible() && Visible()) finish->SetFocus();
}

void TWizardPageForm::FormCreate(TObject*) {
  ThemeBitmap->Picture()->LoadFromResourceName(QStringLiteral("INSTALLTHEME1"));
  PageCreated();
}

void TWizardPageForm::BackBtnClick(TObject*) { PreviousPage(); }
void TWizardPageForm::ProceedBtnClick(TObject*) {
  // A page standing alone has no frame to step: Next ends it.
  if (FormContainer() == nullptr)
    SetModalResult(mrOk);
  else
    NextPage();
}
void TWizardPageForm::CancelBtnClick(TObject*) { CancelWizard(); }

QString BytesText(double bytes) {
  return Format(QStringLiteral("%0.0n %s"), {bytes, TranslateText(QStringLiteral("Bytes"))});
}
