#include "installer/wizard/ordlg_EndPages.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/wizard/cmp_Backdrop.h"
#include "installer/wizard/cmp_TranslateControls.h"
#include "platform/graphics/Bitmap.h"
#include "installer/wizard/ordlg_Common.h"
#include "platform/controls/CheckRadio.h"
#include "platform/controls/Image.h"
#include "platform/controls/Panel.h"

void TEndPageForm::LoadWizardForms() {
  InitWizardFormResources();
}

void TEndPageForm::PaintDefaultTheme() {
  TBitmap* picture = ThemeImage->Picture()->Bitmap();
  picture->SetSize(ThemeImage->Width(), ThemeImage->Height());
  GradientFill(picture->Canvas(), TRect{0, 0, ThemeImage->Width(), ThemeImage->Height()}, clBlue,
               clBlack, TGradientOrientation::TopToBottom, false);
}

void TEndPageForm::InitializeForm() {
  TBaseInstallForm::InitializeForm();
  BackBtn->SetVisible(!IsFirstPage());
  ProceedBtn->SetVisible(!IsLastPage());
  FinishBtn->SetVisible(!ProceedBtn->Visible());
  if (ProceedBtn->Visible() && Visible() && ProceedBtn->CanFocus()) ProceedBtn->SetFocus();
  if (FinishBtn->Visible() && Visible() && FinishBtn->CanFocus()) FinishBtn->SetFocus();
}

void TEndPageForm::BackBtnClick(TObject*) {
  PreviousPage();
}

void TEndPageForm::ProceedBtnClick(TObject*) {
  NextPage();
}

TGoodInstallForm::TGoodInstallForm(TComponent* owner) : TEndPageForm(owner) {
  ReadPage(this, QStringLiteral(":/forms/GoodInstallForm.form"), dmAfterGoodInstall);
}

TBadInstallForm::TBadInstallForm(TComponent* owner) : TEndPageForm(owner) {
  ReadPage(this, QStringLiteral(":/forms/BadInstallForm.form"), dmAfterBadInstall);
}

TRebootForm::TRebootForm(TComponent* owner) : TEndPageForm(owner) {
  ReadPage(this, QStringLiteral(":/forms/RebootForm.form"), dmReboot);
}

TFormBinding TRebootForm::Binding() {
  return {QX_END_PAGE_BINDING(TRebootForm), Field("RG", &TRebootForm::RG),
          Handler("RGClick", &TRebootForm::RGClick)};
}

void TRebootForm::InitializeForm() {
  TEndPageForm::InitializeForm();
  RG->SetItemIndex(RebootNeeded() ? 0 : 1);
}

void TRebootForm::RGClick(TObject*) {
  SetRebootNeeded(RG->ItemIndex() == 0);
}
