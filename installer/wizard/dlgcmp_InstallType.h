#pragma once
// TInstallTypeDlg: the setup-type page's component.

#include "installer/wizard/dlgcmp_PageDlg.h"
#include "installer/wizard/ordlg_InstallType.h"

class TInstallTypeDlg : public TPageDlg<TInstallTypeForm> {
 public:
  explicit TInstallTypeDlg(TComponent* owner) : TPageDlg(owner, 40, scStartProcessing) {}
  bool ShowDialog() override {
    RequirePageContainer(this);
    return TPageDlg::ShowDialog();
  }

 protected:
  bool FillsPage() const override { return true; }
};
