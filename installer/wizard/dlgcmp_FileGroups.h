#pragma once
// TInstallFileGroupsDlg: the components page's component.

#include "installer/wizard/dlgcmp_PageDlg.h"
#include "installer/wizard/ordlg_FileGroupSelect.h"

class TInstallFileGroupsDlg : public TPageDlg<TFileGroupSelectForm> {
 public:
  explicit TInstallFileGroupsDlg(TComponent* owner) : TPageDlg(owner, 50, scGroupInstall) {}
  bool ShowDialog() override {
    RequirePageContainer(this);
    return TPageDlg::ShowDialog();
  }

 protected:
  bool FillsPage() const override { return true; }
};
