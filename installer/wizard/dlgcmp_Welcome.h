#pragma once
// TWelcomeDlg: the welcome page's component (alone on the welcome code).

#include "installer/wizard/dlgcmp_PageDlg.h"
#include "installer/wizard/ordlg_Welcome.h"

class TWelcomeDlg : public TPageDlg<TWelcomeForm> {
 public:
  explicit TWelcomeDlg(TComponent* owner) : TPageDlg(owner, 10, scWelcome) {}
};
