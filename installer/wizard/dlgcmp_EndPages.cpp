#include "installer/wizard/dlgcmp_EndPages.h"

#include "platform/classes/ClassRegistry.h"

void RegisterEndPageClasses() {
  if (GetClass(QStringLiteral("TGoodInstallForm")) == nullptr) RegisterClass<TGoodInstallForm>();
  if (GetClass(QStringLiteral("TBadInstallForm")) == nullptr) RegisterClass<TBadInstallForm>();
  if (GetClass(QStringLiteral("TRebootForm")) == nullptr) RegisterClass<TRebootForm>();
  if (GetClass(QStringLiteral("TGoodInstallationDlg")) == nullptr)
    RegisterClass<TGoodInstallationDlg>();
  if (GetClass(QStringLiteral("TBadInstallationDlg")) == nullptr)
    RegisterClass<TBadInstallationDlg>();
  if (GetClass(QStringLiteral("TRebootDlg")) == nullptr) RegisterClass<TRebootDlg>();
}
