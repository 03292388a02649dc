#include "installer/wizard/dlgcmp_PageDlg.h"

#include "installer/wizard/cmp_TTranslator.h"
#include "installer/wizard/ordlg_Page.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"

void TWizardPageDlg::HandleMessage(TInstallContainer* sender, int code, TObject* param) {
  TBaseInstallDlg::HandleMessage(sender, code, param);
  if (code == code_ && StandsAlone()) Execute();
}

void TWizardPageDlg::AssignDialogProperties() {
  TBaseInstallDlg::AssignDialogProperties();
  auto* page = dynamic_cast<TWizardPageForm*>(Dialog());
  if (page == nullptr) return;
  page->BackBtn->SetVisible(false);
  page->ProceedBtn->SetModalResult(mrOk);
  if (TTranslateBitBtn* finish = page->FinishButton()) finish->SetModalResult(mrOk);
  if (ThemeBitmap()->Empty())
    page->ThemeBitmap->Picture()->LoadFromResourceName(QStringLiteral("INSTALLTHEME1"));
  else
    page->ThemeBitmap->Picture()->Bitmap()->Assign(ThemeBitmap());
  if (!FillsPage()) return;
  page->InitializeForm();
  page->BackBtn->SetVisible(false);
}

void RequirePageContainer(TCustomBaseInstallDlg* dialog) {
  if (dialog->Container() != nullptr) return;
  throw Exception(TranslateText(QStringLiteral("Cannot run this dialog %s with a blank Container property")),
                  {dialog->Name()});
}

#include "installer/wizard/dlgcmp_FileGroups.h"
#include "installer/wizard/dlgcmp_InstallType.h"
#include "installer/wizard/dlgcmp_Readme.h"
#include "installer/wizard/dlgcmp_SelectFolder.h"
#include "installer/wizard/dlgcmp_Welcome.h"
#include "platform/classes/ClassRegistry.h"

namespace {

template <class T>
void RegisterOnce(const char* name) {
  if (GetClass(QString::fromLatin1(name)) == nullptr) RegisterClass<T>();
}

}  // namespace

void RegisterBeforeInstallPageClasses() {
  RegisterInstallDialogClasses();
  RegisterOnce<TWelcomeDlg>("TWelcomeDlg");
  RegisterOnce<TReadmeDlg>("TReadmeDlg");
  RegisterOnce<TInstallTypeDlg>("TInstallTypeDlg");
  RegisterOnce<TInstallFileGroupsDlg>("TInstallFileGroupsDlg");
  RegisterOnce<TSelectFolderDlg>("TSelectFolderDlg");
}
