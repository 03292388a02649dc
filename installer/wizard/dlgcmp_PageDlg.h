#pragma once
// The common part of the before-install page components: the page's form
// class, its default Order and the stage code it answers while it stands
// alone.

#include "installer/wizard/cmp_TBaseFormContainer.h"

template <class Form>
class TPageDlg : public TBaseInstallDlg {
 public:
  TPageDlg(TComponent* owner, int defaultOrder, int standAloneCode)
      : TBaseInstallDlg(owner), pageOrder_(defaultOrder), code_(standAloneCode) {
    RegisterPage(defaultOrder, dmBeforeInstall);
  }
  TFormClass FormClass() const override { return &FormClassOf<Form>; }
  void HandleMessage(TInstallContainer* sender, int code, TObject* param) override {
    TBaseInstallDlg::HandleMessage(sender, code, param);
    if (code == code_ && StandsAlone()) Execute();
  }
  Form* Page() const { return static_cast<Form*>(Dialog()); }
  // The container renumbers its helpers' Order as their processing rank,
  // and a link group's helpers count apart from the install's: the page
  // keeps its place in the wizard by its default order.
  void AssignDialogProperties() override {
    TBaseInstallDlg::AssignDialogProperties();
    if (auto* page = dynamic_cast<TBaseInstallForm*>(Dialog())) page->SetOrder(pageOrder_);
  }

 private:
  int pageOrder_;
  int code_;
};

// Exception "Cannot run this dialog %s with a blank Container property"
// (translated) when dialog has no Container.
void RequirePageContainer(TCustomBaseInstallDlg* dialog);

// The before-install page components, for setup scripts to name.
void RegisterBeforeInstallPageClasses();
