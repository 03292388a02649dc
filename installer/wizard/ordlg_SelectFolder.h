#pragma once
// The program-folder page: the folder of the applications menu that the
// main link group puts its links in, typed or picked from the folders the
// menu has.

#include "installer/wizard/ordlg_Page.h"

class TEdit;
class TListBox;
class TStrings;

class TSelectFolderForm : public TWizardPageForm {
 public:
  explicit TSelectFolderForm(TComponent* owner);
  static TFormBinding Binding();

  TTranslateLabel* Text1 = nullptr;
  TTranslateLabel* Text2 = nullptr;
  TTranslateLabel* Text3 = nullptr;
  TEdit* FolderEdit = nullptr;
  TListBox* FolderListBox = nullptr;

  bool SkipPage() override { return Container() == nullptr; }
  void ListExistingFolders(TStrings& folders);
  void FolderEditChange(TObject* sender);
  void FolderListBoxClick(TObject* sender);

 protected:
  void InitializePage() override;
};

