#pragma once
// The common part of the page components: the page's form class, its
// default Order and manager type, the stage code it answers while it
// stands alone, and what every page takes from its component.

#include "installer/wizard/cmp_TBaseFormContainer.h"

class TWizardPageDlg : public TBaseInstallDlg {
 public:
  TWizardPageDlg(TComponent* owner, int standAloneCode)
      : TBaseInstallDlg(owner), code_(standAloneCode) {}
  void HandleMessage(TInstallContainer* sender, int code, TObject* param) override;
  // After the inherited steps: Back hidden, Next (and Finish) end the page
  // with mrOk, the theme picture this component's or the setup's own; a
  // page that fills itself from its container is filled (Back hidden again).
  void AssignDialogProperties() override;

 protected:
  // The setup-type, components, folder and restart pages.
  virtual bool FillsPage() const { return false; }

 private:
  int code_;
};

template <class Form>
class TPageDlg : public TWizardPageDlg {
 public:
  TPageDlg(TComponent* owner, int defaultOrder, int standAloneCode,
           TManagerType type = dmBeforeInstall)
      : TWizardPageDlg(owner, standAloneCode) {
    RegisterPage(defaultOrder, type);
  }
  TFormClass FormClass() const override { return &FormClassOf<Form>; }
  Form* Page() const { return static_cast<Form*>(Dialog()); }
};

// Exception "Cannot run this dialog %s with a blank Container property"
// (translated) when dialog has no Container.
void RequirePageContainer(TCustomBaseInstallDlg* dialog);

// The before-install page components, for setup scripts to name.
void RegisterBeforeInstallPageClasses();
