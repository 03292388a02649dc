#pragma once
// TSelectFolderDlg: the program-folder page's component; it works on a
// link group (the main one unless the script names another).

#include "installer/wizard/dlgcmp_PageDlg.h"
#include "installer/wizard/ordlg_SelectFolder.h"

class TSelectFolderDlg : public TPageDlg<TSelectFolderForm> {
 public:
  explicit TSelectFolderDlg(TComponent* owner);
  // Exception "The container for %s must be a TCustomShellLinkGroup" for
  // another kind of container.
  void SetContainer(TInstallContainer* value) override;
  bool ShowDialog() override;

 protected:
  bool FillsPage() const override { return true; }
};
