#include "installer/wizard/ordlg_Page.h"

#include "installer/wizard/ordlg_Common.h"
#include "platform/controls/Image.h"
#include "platform/graphics/Picture.h"
#include "platform/rtl/Format.h"

#include <QRegularExpression>

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

namespace {

// The thousands separator of the wizard's language: whatever parts one
// thousand as its table writes it ("1,000" in English, "1 000" in Finnish).
QString ThousandSeparator() {
  QString sample = TranslateText(QStringLiteral("1,000"));
  sample.remove(QRegularExpression(QStringLiteral("\\d")));
  return sample;
}

}  // namespace

QString BytesText(double bytes) {
  // "%0.0n" parts the thousands with a comma.
  const QString number = Format(QStringLiteral("%0.0n"), {bytes});
  return QString(number).replace(QLatin1Char(','), ThousandSeparator()) + QLatin1Char(' ') +
         TranslateText(QStringLiteral("Bytes"));
}
