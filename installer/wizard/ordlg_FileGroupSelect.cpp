#include "installer/wizard/ordlg_FileGroupSelect.h"

#include "installer/engine/cmp_TInstall.h"
#include "installer/engine/routines_Exceptions.h"
#include "installer/wizard/cmp_TOpenFolderDialog.h"
#include "installer/wizard/ordlg_DriveSpace.h"
#include "platform/controls/Application.h"
#include "platform/controls/Edit.h"
#include "platform/controls/FileDialogs.h"
#include "platform/controls/ImageList.h"
#include "platform/controls/Memo.h"
#include "platform/controls/Panel.h"
#include "platform/rtl/GuardedEntry.h"
#include "platform/rtl/StrUtils.h"

#include <QScrollBar>
#include <QTreeWidget>

namespace {

constexpr char kBlankContainer[] = "Cannot show the install file groups dialog for blank container property";
constexpr char kNotFileContainer[] = "Container is not a TFileContainer for %s";

TFileContainer* GroupOf(const TTreeNode* node) {
  return node != nullptr ? static_cast<TFileContainer*>(node->Data()) : nullptr;
}

}  // namespace

QString GroupSizeText(TFileContainer* group) {
  return BytesText(static_cast<double>(group->GetSize(false, true)));
}

TFileGroupSelectForm::TFileGroupSelectForm(TComponent* owner) : TWizardPageForm(owner) {
  SetPageDefaults(50, dmBeforeInstall);
  SetContainer(CurrentInstall());
  ReadForm(this, QStringLiteral(":/forms/ordlg_FileGroupSelect.form"));
}

TFormBinding TFileGroupSelectForm::Binding() {
  using F = TFileGroupSelectForm;
  return {
      QX_WIZARD_PAGE_BINDING,
      Field("Text1", &F::Text1),
      Field("GroupDescLabel", &F::GroupDescLabel),
      Field("DirectoryGroup", &F::DirectoryGroup),
      Field("DirectoryLabel", &F::DirectoryLabel),
      Field("BrowseBtn", &F::BrowseBtn),
      Field("pnlDriveSpace", &F::pnlDriveSpace),
      Field("pnlGroups", &F::pnlGroups),
      Field("pnlInclude", &F::pnlInclude),
      Field("IncludeDivider", &F::IncludeDivider),
      Field("IncludeSpacer", &F::IncludeSpacer),
      Field("pnlSize", &F::pnlSize),
      Field("SizeDivider", &F::SizeDivider),
      Field("SizeSpacer", &F::SizeSpacer),
      Field("pnlDescriptionMemo", &F::pnlDescriptionMemo),
      Field("DescriptionMemo", &F::DescriptionMemo),
      Field("ilDriveSpace", &F::ilDriveSpace),
      Field("OpenDialog", &F::OpenDialog),
      Handler("BrowseBtnClick", &F::BrowseBtnClick),
  };
}

void TFileGroupSelectForm::PageCreated() {
  tree_ = new TGroupTreeView(this);
  tree_->SetParent(pnlGroups);
  tree_->SetAlign(alClient);
  tree_->SetReadOnly(true);
  tree_->SetShowLines(true);
  QTreeWidget* widget = tree_->Tree();
  widget->setFrameShape(QFrame::NoFrame);
  widget->setHeaderHidden(true);
  widget->setUniformRowHeights(true);
  tree_->OnExpanded = [this](TObject*, TTreeNode*) { RebuildColumns(); };
  tree_->OnCollapsed = [this](TObject*, TTreeNode*) { RebuildColumns(); };
  tree_->OnChange = [this](TObject*, TTreeNode*) { ShowDetails(); };
  GuardedConnect(this, widget->verticalScrollBar(), &QScrollBar::valueChanged, widget,
                 [this](int) { RebuildColumns(); });
  GuardedConnect(this, widget->horizontalScrollBar(), &QScrollBar::rangeChanged, widget,
                 [this](int, int) { UpdateSpacers(); });

  drives_ = new TDriveSpaceListView(this);
  drives_->SetParent(pnlDriveSpace);
  drives_->SetAlign(alClient);
  drives_->SetViewStyle(vsReport);
  drives_->SetReadOnly(true);
  drives_->SetSmallImages(ilDriveSpace);
  drives_->SetStateImages(ilDriveSpace);
  const struct {
    const char* caption;
    int width;
  } columns[] = {{"", 50}, {"Space Required:", 120}, {"Space Available:", 120}};
  for (const auto& c : columns) {
    TListColumn* column = drives_->Columns()->Add();
    column->SetCaption(c.caption[0] != '\0' ? TranslateText(QString::fromLatin1(c.caption)) : QString());
    column->SetWidth(c.width);
  }
}

TFileContainer* TFileGroupSelectForm::Groups() const {
  if (Container() == nullptr) throw IEFileGroupSelectForm(QString::fromLatin1(kBlankContainer));
  TFileContainer* groups = Container()->AsFileContainer();
  if (groups == nullptr)
    throw IEFileGroupSelectForm(QString::fromLatin1(kNotFileContainer), {Container()->Name()});
  return groups;
}

bool TFileGroupSelectForm::SkipPage() {
  if (Container() == nullptr) return true;
  const TInstallType type = Container()->CurrentInstallType();
  return type != itAlways && type != itCustom;
}

void TFileGroupSelectForm::InitializePage() {
  FillTree();
  RebuildColumns();
  UpdateDriveSpace();
  ShowDetails();
}

void TFileGroupSelectForm::AddNodes(TTreeNode* parent, TFileContainer* group) {
  for (int i = 0; i < group->FileContainerCount(); ++i) {
    TFileContainer* sub = group->GetFileContainer(i);
    AddNodes(tree_->Items()->AddChildObject(parent, TranslateText(sub->GroupName()), sub), sub);
  }
}

void TFileGroupSelectForm::FillTree() {
  TFileContainer* groups = Groups();
  TTreeNodes* items = tree_->Items();
  items->BeginUpdate();
  items->Clear();
  TTreeNode* root = items->AddObject(nullptr, TranslateText(groups->GroupName()), groups);
  AddNodes(root, groups);
  items->EndUpdate();
  tree_->SetSelected(root);
  root->SetExpanded(true);
  UpdateSpacers();
}

void TFileGroupSelectForm::UpdateSpacers() {
  QScrollBar* bar = tree_->Tree()->horizontalScrollBar();
  const bool shown = bar->maximum() > bar->minimum() && bar->isVisible();
  const int height = bar->sizeHint().height();
  for (TPanel* spacer : {IncludeSpacer, SizeSpacer}) {
    spacer->SetHeight(height);
    spacer->SetVisible(shown);
  }
}

void TFileGroupSelectForm::RebuildColumns() {
  if (tree_ == nullptr) return;
  QTreeWidget* widget = tree_->Tree();
  const int offset = widget->viewport()->mapTo(widget, QPoint(0, 0)).y();
  int used = 0;
  TTreeNodes* items = tree_->Items();
  for (int i = 0; i < items->Count(); ++i) {
    TTreeNode* node = items->Item(i);
    if (!node->IsVisible()) continue;
    const QRect row = widget->visualItemRect(node->WidgetItem());
    if (row.top() < 0) continue;
    if (row.top() + offset > tree_->Height()) break;
    TFileContainer* group = GroupOf(node);
    if (used == includes_.Count()) {
      auto* box = new TIncludeCheckBox(this);
      box->SetParent(pnlInclude);
      box->OnClick = [this](TObject* sender) { IncludeClick(sender); };
      includes_.Append(box);
      auto* label = new TSizeLabel(this);
      label->SetParent(pnlSize);
      label->SetAutoSize(false);
      label->SetAlignment(taRightJustify);
      label->SetLayout(tlCenter);
      sizes_.Append(label);
    }
    TIncludeCheckBox* box = includes_.Item(used);
    box->SetBounds(3, row.top() + offset, pnlInclude->Width() - IncludeDivider->Width() - 3, row.height());
    box->FileGroup = group;
    box->Updating = true;
    box->SetChecked(IsGroupSelected(group));
    box->Updating = false;
    box->SetEnabled(group->AllowChoice());
    box->SetVisible(true);
    TSizeLabel* label = sizes_.Item(used);
    label->SetBounds(1, row.top() + offset, pnlSize->Width() - SizeDivider->Width() - 3, row.height());
    label->SetFileContainer(group);
    label->SetCaption(GroupSizeText(group));
    label->SetVisible(true);
    ++used;
  }
  for (int i = used; i < includes_.Count(); ++i) {
    includes_.Item(i)->SetVisible(false);
    sizes_.Item(i)->SetVisible(false);
  }
}

void TFileGroupSelectForm::IncludeClick(TObject* sender) {
  auto* box = static_cast<TIncludeCheckBox*>(sender);
  if (box->Updating || box->FileGroup == nullptr) return;
  box->FileGroup->SetInclude(box->Checked());
  RebuildColumns();
  ShowDetails();
  UpdateDriveSpace();
}

TFileContainer* TFileGroupSelectForm::SelectedGroup() const {
  return tree_ != nullptr ? GroupOf(tree_->Selected()) : nullptr;
}

void TFileGroupSelectForm::ShowDetails() {
  TFileContainer* group = SelectedGroup();
  if (group == nullptr) return;
  DirectoryLabel->SetText(group->GetExpandedDestDir());
  BrowseBtn->SetEnabled(group->AllowChangeDir());
  if (TStrings* description = group->Description()) {
    const bool shown = description->Count() > 0;
    DescriptionMemo->SetVisible(shown);
    pnlDescriptionMemo->SetVisible(shown);
    GroupDescLabel->SetVisible(shown);
    if (TTranslator* translator = GlobalTranslator()) {
      translator->TranslateMemo(olEnglish, *description, *DescriptionMemo->Lines());
    } else {
      DescriptionMemo->Lines()->Assign(*description);
    }
  }
  if (Application != nullptr) Application->ProcessMessages();
  tree_->Invalidate();
}

void TFileGroupSelectForm::BrowseBtnClick(TObject*) {
  TFileContainer* group = SelectedGroup();
  if (group == nullptr) return;
  // The form's file dialog stands for a folder dialog here.
  TOpenFolderDialog dialog(nullptr);
  dialog.SetInitialDir(group->GetExpandedDestDir());
  if (dialog.Execute()) {
    group->SetDestDirType(nullptr);
    group->SetDestDir(dialog.Folder());
  }
  ShowDetails();
  UpdateDriveSpace();
}

void TFileGroupSelectForm::UpdateDriveSpace() {
  TDriveSpaceTable table;
  AddGroupSpace(Groups(), table);
  TListItems* items = drives_->Items();
  items->BeginUpdate();
  items->Clear();
  for (const TDriveRow& row : table.Rows()) {
    TListItem* item = items->Add();
    item->SetCaption(row.mountPoint);
    item->SubItems()->Add(BytesText(static_cast<double>(row.required)));
    item->SubItems()->Add(BytesText(static_cast<double>(row.available)));
    item->SetImageIndex(0);
    item->SetStateIndex(row.required < row.available ? -1 : 1);
  }
  items->EndUpdate();
  pnlDriveSpace->SetHeight(DrivePanelHeight(static_cast<int>(table.Rows().size())));
}

TTreeNode* TFileGroupSelectForm::NodeOf(TFileContainer* group) const {
  for (int i = 0; i < tree_->Items()->Count(); ++i)
    if (GroupOf(tree_->Items()->Item(i)) == group) return tree_->Items()->Item(i);
  return nullptr;
}

TIncludeCheckBox* TFileGroupSelectForm::IncludeBoxOf(TFileContainer* group) const {
  for (int i = 0; i < includes_.Count(); ++i)
    if (includes_.Item(i)->Visible() && includes_.Item(i)->FileGroup == group) return includes_.Item(i);
  return nullptr;
}

TSizeLabel* TFileGroupSelectForm::SizeLabelOf(TFileContainer* group) const {
  for (int i = 0; i < sizes_.Count(); ++i)
    if (sizes_.Item(i)->Visible() && sizes_.Item(i)->FileContainer() == group) return sizes_.Item(i);
  return nullptr;
}
