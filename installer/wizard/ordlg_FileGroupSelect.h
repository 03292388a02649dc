#pragma once
// The components page: the file groups as a tree with a column of include
// boxes and a column of sizes kept level with its rows, the selected
// group's destination and description, and the space each drive needs.

#include "installer/wizard/ordlg_Page.h"
#include "platform/controls/CheckRadio.h"
#include "platform/controls/Label.h"
#include "platform/controls/ListView.h"
#include "platform/controls/TreeView.h"

#include <QList>

class TEdit;
class TFileContainer;
class TGroupBox;
class TImageList;
class TMemo;
class TOpenDialog;
class TPanel;
class TTreeNode;

class TGroupTreeView : public TTreeView {
 public:
  using TTreeView::TTreeView;
};

class TDriveSpaceListView : public TListView {
 public:
  using TListView::TListView;
};

class TIncludeCheckBox : public TCheckBox {
 public:
  using TCheckBox::TCheckBox;
  TFileContainer* FileGroup = nullptr;
  bool Updating = false;
};

class TSizeLabel : public TLabel {
 public:
  using TLabel::TLabel;
  TFileContainer* FileContainer() const { return fileContainer_; }
  void SetFileContainer(TFileContainer* v) { fileContainer_ = v; }

 private:
  TFileContainer* fileContainer_ = nullptr;
};

// The controls of one column, reused from the top as rows are laid out.
template <class T>
class TFGSFList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  T* Item(int index) const { return items_.at(index); }
  void Append(T* control) { items_.append(control); }

 private:
  QList<T*> items_;
};
using TIncludeList = TFGSFList<TIncludeCheckBox>;
using TSizeList = TFGSFList<TSizeLabel>;

class TFileGroupSelectForm : public TWizardPageForm {
 public:
  explicit TFileGroupSelectForm(TComponent* owner);
  static TFormBinding Binding();

  TTranslateLabel* Text1 = nullptr;
  TTranslateLabel* GroupDescLabel = nullptr;
  TGroupBox* DirectoryGroup = nullptr;
  TEdit* DirectoryLabel = nullptr;
  TTranslateBitBtn* BrowseBtn = nullptr;
  TPanel* pnlDriveSpace = nullptr;
  TPanel* pnlGroups = nullptr;
  TPanel* pnlInclude = nullptr;
  TPanel* IncludeDivider = nullptr;
  TPanel* IncludeSpacer = nullptr;
  TPanel* pnlSize = nullptr;
  TPanel* SizeDivider = nullptr;
  TPanel* SizeSpacer = nullptr;
  TPanel* pnlDescriptionMemo = nullptr;
  TMemo* DescriptionMemo = nullptr;
  TImageList* ilDriveSpace = nullptr;
  TOpenDialog* OpenDialog = nullptr;

  TGroupTreeView* GroupTree() const { return tree_; }
  TDriveSpaceListView* DriveList() const { return drives_; }
  const TIncludeList& IncludeList() const { return includes_; }
  const TSizeList& SizeList() const { return sizes_; }
  // The include box and size label of group's row; nullptr when its row is
  // not shown.
  TIncludeCheckBox* IncludeBoxOf(TFileContainer* group) const;
  TSizeLabel* SizeLabelOf(TFileContainer* group) const;
  TTreeNode* NodeOf(TFileContainer* group) const;

  bool SkipPage() override;
  void BrowseBtnClick(TObject* sender);
  void UpdateDriveSpace();
  void RebuildColumns();
  void ShowDetails();

 protected:
  void InitializePage() override;
  void PageCreated() override;

 private:
  TFileContainer* Groups() const;
  // The size column as wide as the largest size a group can have.
  void FitSizeColumn();
  void FillTree();
  void AddNodes(TTreeNode* parent, TFileContainer* group);
  void UpdateSpacers();
  void IncludeClick(TObject* sender);
  TFileContainer* SelectedGroup() const;

  TGroupTreeView* tree_ = nullptr;
  TDriveSpaceListView* drives_ = nullptr;
  TIncludeList includes_;
  TSizeList sizes_;
};

// "<size> Bytes" of a group with its selected sub-groups.
QString GroupSizeText(TFileContainer* group);
