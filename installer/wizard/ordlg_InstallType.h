#pragma once
// The setup-type page: one tab per install type the install offers; the
// chosen tab is the install's type.

#include "installer/wizard/ordlg_Page.h"

class TGroupBox;
class TLabel;
class TOpenDialog;
class TPageControl;
class TTabSheet;

class TInstallTypeForm : public TWizardPageForm {
 public:
  explicit TInstallTypeForm(TComponent* owner);
  static TFormBinding Binding();

  TTranslateLabel* Text1 = nullptr;
  TPageControl* PageControl = nullptr;
  TTabSheet* TypicalTab = nullptr;
  TTabSheet* CompactTab = nullptr;
  TTabSheet* FullTab = nullptr;
  TTabSheet* CustomTab = nullptr;
  TGroupBox* DirectoryGroup = nullptr;
  TLabel* InstallDirectory = nullptr;
  TTranslateBitBtn* BrowseBtn = nullptr;
  TOpenDialog* OpenDialog = nullptr;

  bool SkipPage() override;
  void PageControlChange(TObject* sender);
  void BrowseBtnClick(TObject* sender);

 protected:
  void InitializePage() override;

 private:
  TInstallContainer* Install() const;
  bool suppressChange_ = false;
};
