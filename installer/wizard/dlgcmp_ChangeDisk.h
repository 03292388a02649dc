#pragma once
// TChangeDiskDlg: puts the disk prompt in the change-disk list, for the
// change-disk manager to show; it answers no code itself.

#include "installer/wizard/cmp_TBaseInstallDlg.h"

class TChangeDiskDlg : public TBaseInstallDlg {
 public:
  explicit TChangeDiskDlg(TComponent* owner);
  TFormClass FormClass() const override;
  static void DeclareProperties(TClassBuilder<TChangeDiskDlg, TBaseInstallDlg>& b);
};

void RegisterChangeDiskDlgClasses();
