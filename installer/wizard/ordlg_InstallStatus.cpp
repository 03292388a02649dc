#include "installer/wizard/ordlg_InstallStatus.h"

#include "installer/wizard/ordlg_Common.h"
#include "platform/controls/Image.h"
#include "platform/controls/Label.h"
#include "platform/controls/Panel.h"

#include <cmath>

TInstallStatusForm::TInstallStatusForm(TComponent* owner) : TForm(owner) {
  InitWizardFormResources();
  ReadForm(this, QStringLiteral(":/forms/InstallStatusForm.form"));
}

TFormBinding TInstallStatusForm::Binding() {
  return {
      Field("pnlBack", &TInstallStatusForm::pnlBack),
      Field("Image1", &TInstallStatusForm::Image1),
      Field("pnlMessage", &TInstallStatusForm::pnlMessage),
      Field("lblMessage", &TInstallStatusForm::lblMessage),
  };
}

void TInstallStatusForm::FitMessage(const QString& message, int screenWidth) {
  lblMessage->SetAlignment(taLeftJustify);
  lblMessage->SetWordWrap(false);
  lblMessage->SetAutoSize(true);
  lblMessage->SetCaption(message);
  lblMessage->SetTop(static_cast<int>(std::nearbyint(ClientHeight() * 0.5 - lblMessage->Height() * 0.5)));
  const int labelLeft = pnlBack->Left() + pnlMessage->Left() + lblMessage->Left();
  SetWidth(labelLeft + Canvas()->TextWidth(message) + 25);
  pnlMessage->SetWidth(ClientWidth() - pnlMessage->Left() - pnlBack->Left() - 4);
  SetLeft(static_cast<int>(std::nearbyint(screenWidth * 0.5 - Width() * 0.5)));
}
