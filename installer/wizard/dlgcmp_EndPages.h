#pragma once
// The end pages' components: each shows its page on its stand-alone code
// (good end -995, bad end -994, restart -987) while no manager holds it.

#include "installer/wizard/cmp_TBaseInstallDlg.h"

class TEndPageDlg : public TBaseInstallDlg {
 public:
  TEndPageDlg(TComponent* owner, int code);
  // Back hidden, Next and Finish end the page, the theme picture set.
  void AssignDialogProperties() override;
  void HandleMessage(TInstallContainer* sender, int code, TObject* param) override;

 private:
  int code_;
};

class TGoodInstallationDlg : public TEndPageDlg {
 public:
  explicit TGoodInstallationDlg(TComponent* owner);
  TFormClass FormClass() const override;
};

class TBadInstallationDlg : public TEndPageDlg {
 public:
  explicit TBadInstallationDlg(TComponent* owner);
  TFormClass FormClass() const override;
};

class TRebootDlg : public TEndPageDlg {
 public:
  explicit TRebootDlg(TComponent* owner);
  TFormClass FormClass() const override;
  void AssignDialogProperties() override;
};

void RegisterEndPageClasses();
