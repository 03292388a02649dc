#include "installer/wizard/ordlg_InstallType.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/wizard/cmp_TOpenFolderDialog.h"
#include "platform/controls/FileDialogs.h"
#include "platform/controls/Label.h"
#include "platform/controls/PageControl.h"
#include "platform/controls/Panel.h"
#include "platform/rtl/StrUtils.h"

TInstallTypeForm::TInstallTypeForm(TComponent* owner) : TWizardPageForm(owner) {
  SetPageDefaults(40, dmBeforeInstall);
  SetContainer(CurrentInstall());
  ReadForm(this, QStringLiteral(":/forms/ordlg_InstallType.form"));
}

TFormBinding TInstallTypeForm::Binding() {
  return {
      QX_WIZARD_PAGE_BINDING,
      Field("Text1", &TInstallTypeForm::Text1),
      Field("PageControl", &TInstallTypeForm::PageControl),
      Field("TypicalTab", &TInstallTypeForm::TypicalTab),
      Field("CompactTab", &TInstallTypeForm::CompactTab),
      Field("FullTab", &TInstallTypeForm::FullTab),
      Field("CustomTab", &TInstallTypeForm::CustomTab),
      Field("DirectoryGroup", &TInstallTypeForm::DirectoryGroup),
      Field("InstallDirectory", &TInstallTypeForm::InstallDirectory),
      Field("BrowseBtn", &TInstallTypeForm::BrowseBtn),
      Field("OpenDialog", &TInstallTypeForm::OpenDialog),
      Handler("PageControlChange", &TInstallTypeForm::PageControlChange),
      Handler("BrowseBtnClick", &TInstallTypeForm::BrowseBtnClick),
  };
}

TInstallContainer* TInstallTypeForm::Install() const { return Container(); }

bool TInstallTypeForm::SkipPage() {
  return Install() == nullptr || Install()->InstallTypes() == TInstallTypeSet{itAlways};
}

void TInstallTypeForm::InitializePage() {
  TInstallContainer* install = Install();
  if (install == nullptr) return;
  const TInstallTypeSet types = install->InstallTypes();
  TypicalTab->SetTabVisible(types.Contains(itDefault));
  CompactTab->SetTabVisible(types.Contains(itCompact));
  CustomTab->SetTabVisible(types.Contains(itCustom));
  FullTab->SetTabVisible(types.Contains(itFull));
  const QString dir = install->GetExpandedDestDir();
  DirectoryGroup->SetVisible(!dir.isEmpty());
  InstallDirectory->SetCaption(dir);
  TTabSheet* active = CustomTab;
  switch (install->CurrentInstallType()) {
    case itFull: active = FullTab; break;
    case itDefault: active = TypicalTab; break;
    case itCompact: active = CompactTab; break;
    default: break;
  }
  suppressChange_ = true;
  PageControl->SetActivePage(active);
  suppressChange_ = false;
}

void TInstallTypeForm::PageControlChange(TObject*) {
  auto* install = dynamic_cast<TInstallObject*>(Install());
  if (suppressChange_ || install == nullptr) return;
  TTabSheet* page = PageControl->ActivePage();
  install->SetInstallType(page == CompactTab ? itCompact
                          : page == FullTab  ? itFull
                          : page == CustomTab ? itCustom
                                              : itDefault);
}

void TInstallTypeForm::BrowseBtnClick(TObject*) {
  TInstallContainer* target = DC() != nullptr ? DC()->Container() : Install();
  if (target == nullptr) return;
  // The form's file dialog stands for a folder dialog here.
  TOpenFolderDialog dialog(nullptr);
  dialog.SetInitialDir(target->GetExpandedDestDir());
  if (!dialog.Execute()) return;
  target->SetDestDirType(nullptr);
  target->SetDestDir(dialog.Folder());
  InstallDirectory->SetCaption(target->DestDir());
}
