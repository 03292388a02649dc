#include "setup/velmioform.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/cmp_TInstallContainer_InstallFile.h"
#include "installer/engine/cmp_TInstallRegistry.h"
#include "installer/engine/cmp_TInstallShellLink.h"
#include "installer/wizard/cmp_Backdrop.h"
#include "installer/wizard/cmp_Rotate3DLabel.h"
#include "installer/wizard/cmp_TBaseFormContainer.h"
#include "installer/wizard/cmp_TTranslator.h"
#include "installer/wizard/cmp_TranslateControls.h"
#include "installer/wizard/dlgcmp_PageDlg.h"
#include "installer/wizard/ordlg_Common.h"

TForm1* Form1 = nullptr;

TForm1::TForm1(TComponent* owner) : TForm(owner) {
  Form1 = this;
  ReadForm(this);
}

TFormBinding TForm1::Binding() {
  return {
      Field("BackDrop1", &TForm1::BackDrop1),
      Field("productlabel1", &TForm1::productlabel1),
      Field("Install1", &TForm1::Install1),
      Field("MainTranslator", &TForm1::MainTranslator),
  };
}

void RegisterSetupClasses() {
  RegisterControlClasses();
  RegisterWizardFormClasses();
  RegisterTranslateControlClasses();
  RegisterInstallClasses();
  RegisterInstallFileClasses();
  RegisterInstallRegistryClasses();
  RegisterInstallShellLinkClasses();
  RegisterBackdropClasses();
  RegisterRotate3DLabelClasses();
  RegisterTranslatorClasses();
  RegisterBeforeInstallPageClasses();
  RegisterRunWindowClasses();
}
