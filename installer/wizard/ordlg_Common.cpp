#include "installer/wizard/ordlg_Common.h"

#include "installer/wizard/dlgcmp_ChangeDisk.h"
#include "installer/wizard/dlgcmp_CopyFile.h"
#include "installer/wizard/dlgcmp_EndPages.h"
#include "installer/wizard/dlgcmp_InstallStatus.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterWizardForms() { Q_INIT_RESOURCE(wizard); }

void InitWizardFormResources() {
  static const bool done = (RegisterWizardForms(), true);
  (void)done;
}

void RegisterRunWindowClasses() {
  RegisterCopyFileDlgClasses();
  RegisterInstallStatusDlgClasses();
  RegisterChangeDiskDlgClasses();
  RegisterEndPageClasses();
}
