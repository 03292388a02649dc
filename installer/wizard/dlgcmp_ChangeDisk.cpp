#include "installer/wizard/dlgcmp_ChangeDisk.h"

#include "installer/wizard/ordlg_ChangeDisk.h"
#include "platform/classes/ClassRegistry.h"

TChangeDiskDlg::TChangeDiskDlg(TComponent* owner) : TBaseInstallDlg(owner) {
  RegisterChangeDisk(dmChangeDisk);
}

TFormClass TChangeDiskDlg::FormClass() const {
  return &FormClassOf<TChangeDiskForm>;
}

void TChangeDiskDlg::DeclareProperties(TClassBuilder<TChangeDiskDlg, TBaseInstallDlg>& b) {
  (void)b;  // it publishes what every page component does
}

void RegisterChangeDiskDlgClasses() {
  if (GetClass(QStringLiteral("TChangeDiskForm")) == nullptr) RegisterClass<TChangeDiskForm>();
  if (GetClass(QStringLiteral("TChangeDiskDlg")) == nullptr) RegisterClass<TChangeDiskDlg>();
}
