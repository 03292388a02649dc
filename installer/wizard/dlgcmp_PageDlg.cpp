#include "installer/wizard/dlgcmp_PageDlg.h"

#include "installer/wizard/cmp_TTranslator.h"

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
