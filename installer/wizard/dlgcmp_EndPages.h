#pragma once
// The end pages' components: each shows its page on its stand-alone code
// (good end -995, bad end -994, restart -987) while no manager holds it.

#include "installer/wizard/dlgcmp_PageDlg.h"
#include "installer/wizard/ordlg_EndPages.h"

class TGoodInstallationDlg : public TPageDlg<TGoodInstallForm> {
 public:
  explicit TGoodInstallationDlg(TComponent* owner)
      : TPageDlg(owner, 10, scGoodEndPage, dmAfterGoodInstall) {}
};

class TBadInstallationDlg : public TPageDlg<TBadInstallForm> {
 public:
  explicit TBadInstallationDlg(TComponent* owner)
      : TPageDlg(owner, 10, scBadEndPage, dmAfterBadInstall) {}
};

// Its page shows the reboot flag's choice when the component gives it.
class TRebootDlg : public TPageDlg<TRebootForm> {
 public:
  explicit TRebootDlg(TComponent* owner) : TPageDlg(owner, 10, scRestart, dmReboot) {}

 protected:
  bool FillsPage() const override { return true; }
};

void RegisterEndPageClasses();
