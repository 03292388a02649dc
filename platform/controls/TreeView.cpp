#include "platform/controls/TreeView.h"

#include "platform/controls/Guard.h"
#include "platform/rtl/UpdateScope.h"
#include "platform/rtl/Exceptions.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace {

[[noreturn]] void IndexError(int index) {
  throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

}  // namespace

// Nodes.

TCustomTreeView* TTreeNode::TreeView() const { return owner_->Owner(); }
QString TTreeNode::Text() const { return item_->text(0); }
void TTreeNode::SetText(const QString& v) { item_->setText(0, v); }
TTreeNode* TTreeNode::Parent() const { return owner_->NodeOf(item_->parent()); }
int TTreeNode::Count() const { return item_->childCount(); }

TTreeNode* TTreeNode::Item(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  return owner_->NodeOf(item_->child(index));
}

bool TTreeNode::Expanded() const { return item_->isExpanded(); }
void TTreeNode::SetExpanded(bool v) { TreeView()->ExpandNode(this, v); }

void TTreeNode::Expand(bool recurse) {
  SetExpanded(true);
  if (recurse)
    for (int i = 0; i < Count(); ++i) Item(i)->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  SetExpanded(false);
  if (recurse)
    for (int i = 0; i < Count(); ++i) Item(i)->Collapse(true);
}

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::SetSelected(bool v) {
  if (v) {
    TreeView()->SetSelected(this);
  } else if (Selected()) {
    TreeView()->SetSelected(nullptr);
  }
}

bool TTreeNode::Focused() const { return TreeView()->Tree()->currentItem() == item_; }

void TTreeNode::SetFocused(bool v) {
  QTreeWidget* tree = TreeView()->Tree();
  TUpdateScope scope(TreeView()->fromCode_);
  if (v) {
    tree->setCurrentItem(item_, 0, QItemSelectionModel::NoUpdate);
  } else if (Focused()) {
    tree->setCurrentItem(nullptr, 0, QItemSelectionModel::NoUpdate);
  }
}

void TTreeNode::SetImageIndex(int v) {
  imageIndex_ = v;
  TreeView()->UpdateIcon(this);
}

void TTreeNode::SetSelectedIndex(int v) {
  selectedIndex_ = v;
  TreeView()->UpdateIcon(this);
}

void TTreeNode::SetStateIndex(int v) {
  stateIndex_ = v;
  TreeView()->UpdateIcon(this);
}

bool TTreeNode::HasChildren() const { return hasChildren_ || Count() > 0; }

void TTreeNode::SetHasChildren(bool v) {
  hasChildren_ = v;
  item_->setChildIndicatorPolicy(v ? QTreeWidgetItem::ShowIndicator
                                   : QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

int TTreeNode::Level() const {
  int level = 0;
  for (QTreeWidgetItem* p = item_->parent(); p != nullptr; p = p->parent()) ++level;
  return level;
}

int TTreeNode::Index() const {
  QTreeWidgetItem* parent = item_->parent();
  return parent != nullptr ? parent->indexOfChild(item_)
                           : TreeView()->Tree()->indexOfTopLevelItem(item_);
}

bool TTreeNode::IsVisible() const {
  for (QTreeWidgetItem* p = item_->parent(); p != nullptr; p = p->parent())
    if (!p->isExpanded()) return false;
  return true;
}

TTreeNode* TTreeNode::getFirstChild() const { return Count() > 0 ? Item(0) : nullptr; }
TTreeNode* TTreeNode::GetLastChild() const { return Count() > 0 ? Item(Count() - 1) : nullptr; }

TTreeNode* TTreeNode::GetNextSibling() const {
  const int next = Index() + 1;
  QTreeWidgetItem* parent = item_->parent();
  QTreeWidget* tree = TreeView()->Tree();
  const int count = parent != nullptr ? parent->childCount() : tree->topLevelItemCount();
  if (next >= count) return nullptr;
  return owner_->NodeOf(parent != nullptr ? parent->child(next) : tree->topLevelItem(next));
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  const int prev = Index() - 1;
  if (prev < 0) return nullptr;
  QTreeWidgetItem* parent = item_->parent();
  return owner_->NodeOf(parent != nullptr ? parent->child(prev) : TreeView()->Tree()->topLevelItem(prev));
}

TTreeNode* TTreeNode::GetNext() const {
  if (Count() > 0) return Item(0);
  for (const TTreeNode* n = this; n != nullptr; n = n->Parent())
    if (TTreeNode* sibling = n->GetNextSibling()) return sibling;
  return nullptr;
}

void TTreeNode::Delete() { owner_->Delete(this); }

void TTreeNode::DeleteChildren() {
  while (Count() > 0) Item(Count() - 1)->Delete();
}

// Node lists.

TTreeNodes::~TTreeNodes() = default;

TTreeNode* TTreeNodes::NodeOf(const QTreeWidgetItem* item) const {
  if (item == nullptr) return nullptr;
  const auto it = nodes_.find(item);
  return it != nodes_.end() ? it->second.get() : nullptr;
}

TTreeNode* TTreeNodes::GetFirstNode() const {
  QTreeWidget* tree = owner_->Tree();
  return tree->topLevelItemCount() > 0 ? NodeOf(tree->topLevelItem(0)) : nullptr;
}

TTreeNode* TTreeNodes::Item(int index) const {
  if (index < 0 || index >= Count()) IndexError(index);
  TTreeNode* node = GetFirstNode();
  for (int i = 0; i < index && node != nullptr; ++i) node = node->GetNext();
  return node;
}

TTreeNode* TTreeNodes::Attach(QTreeWidgetItem* parent, int index, const QString& text, void* data) {
  auto* item = new QTreeWidgetItem(QStringList{text});
  Qt::ItemFlags flags = item->flags();
  flags.setFlag(Qt::ItemIsEditable, !owner_->readOnly_);
  item->setFlags(flags);
  QTreeWidget* tree = owner_->Tree();
  {
    TUpdateScope scope(owner_->fromCode_);
    if (parent != nullptr) {
      parent->insertChild(index < 0 ? parent->childCount() : index, item);
    } else {
      tree->insertTopLevelItem(index < 0 ? tree->topLevelItemCount() : index, item);
    }
  }
  auto node = std::unique_ptr<TTreeNode>(new TTreeNode(this, item));
  node->data_ = data;
  TTreeNode* result = node.get();
  nodes_[item] = std::move(node);
  return result;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const QString& text) { return AddObject(sibling, text, nullptr); }

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const QString& text, void* data) {
  QTreeWidgetItem* parent = sibling != nullptr ? sibling->item_->parent() : nullptr;
  return Attach(parent, -1, text, data);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const QString& text) {
  QTreeWidgetItem* parent = sibling != nullptr ? sibling->item_->parent() : nullptr;
  return Attach(parent, 0, text, nullptr);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const QString& text) {
  return AddChildObject(parent, text, nullptr);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const QString& text, void* data) {
  return Attach(parent != nullptr ? parent->item_ : nullptr, -1, text, data);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const QString& text) {
  return InsertObject(sibling, text, nullptr);
}

TTreeNode* TTreeNodes::InsertObject(TTreeNode* sibling, const QString& text, void* data) {
  if (sibling == nullptr) return Attach(nullptr, -1, text, data);
  return Attach(sibling->item_->parent(), sibling->Index(), text, data);
}

void TTreeNodes::Forget(QTreeWidgetItem* item) {
  for (int i = 0; i < item->childCount(); ++i) Forget(item->child(i));
  nodes_.erase(item);
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (node == nullptr || NodeOf(node->item_) != node) return;
  QTreeWidgetItem* item = node->item_;
  TUpdateScope scope(owner_->fromCode_);
  if (node->Selected() || node->Focused()) {
    owner_->Tree()->clearSelection();
    owner_->Tree()->setCurrentItem(nullptr);
  }
  Forget(item);  // frees the nodes of the subtree (node too)
  delete item;   // Qt takes the children along
}

void TTreeNodes::Clear() {
  {
    TUpdateScope scope(owner_->fromCode_);
    owner_->Tree()->clear();
  }
  nodes_.clear();
}

void TTreeNodes::BeginUpdate() { owner_->Tree()->setUpdatesEnabled(false); }
void TTreeNodes::EndUpdate() { owner_->Tree()->setUpdatesEnabled(true); }

// The view.

TCustomTreeView::TCustomTreeView(TComponent* owner)
    : TNativeControl(owner, std::make_unique<QTreeWidget>()),
      items_(std::make_unique<TTreeNodes>(this)) {
  SetBounds(0, 0, 121, 97);
  SetControlStyle(ControlStyle() + TControlStyle{csClickEvents, csCaptureMouse});
  QTreeWidget* tree = Tree();
  SetMouseWidget(tree->viewport());
  tree->setHeaderHidden(true);
  tree->setColumnCount(1);
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  SetReadOnly(false);
  GuardedConnect(this, tree, &QTreeWidget::itemExpanded, tree,
                 [this](QTreeWidgetItem* i) { QtExpanded(i, true); });
  GuardedConnect(this, tree, &QTreeWidget::itemCollapsed, tree,
                 [this](QTreeWidgetItem* i) { QtExpanded(i, false); });
  GuardedConnect(this, tree, &QTreeWidget::currentItemChanged, tree,
                 [this](QTreeWidgetItem* c, QTreeWidgetItem* p) { QtCurrentChanged(c, p); });
}

TCustomTreeView::~TCustomTreeView() {
  QObject::disconnect(Tree(), nullptr, nullptr, nullptr);
  items_->Clear();
}

QTreeWidget* TCustomTreeView::Tree() const { return static_cast<QTreeWidget*>(NativeWidget()); }

TTreeNode* TCustomTreeView::Selected() const {
  QTreeWidgetItem* item = Tree()->currentItem();
  if (item == nullptr || !item->isSelected()) return nullptr;
  return items_->NodeOf(item);
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  if (node == Selected()) return;
  if (!CanChange(node)) return;
  {
    TUpdateScope scope(fromCode_);
    if (node != nullptr) {
      Tree()->setCurrentItem(node->item_, 0, QItemSelectionModel::ClearAndSelect);
    } else {
      Tree()->clearSelection();
      Tree()->setCurrentItem(nullptr);
    }
  }
  UpdateAllIcons();
  Change(node);
}

// The user moved the selection: it is asked for after the fact and undone
// when refused.
void TCustomTreeView::QtCurrentChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous) {
  if (fromCode_ != 0) return;
  TTreeNode* node = items_->NodeOf(current);
  if (!CanChange(node)) {
    TUpdateScope scope(fromCode_);
    Tree()->setCurrentItem(previous, 0, QItemSelectionModel::ClearAndSelect);
    return;
  }
  UpdateAllIcons();
  Change(node);
}

bool TCustomTreeView::CanChange(TTreeNode* node) {
  bool allow = true;
  if (OnChanging) OnChanging(this, node, allow);
  return allow;
}

void TCustomTreeView::Change(TTreeNode* node) {
  if (OnChange) OnChange(this, node);
}

bool TCustomTreeView::CanExpand(TTreeNode* node) {
  bool allow = true;
  if (OnExpanding) OnExpanding(this, node, allow);
  return allow;
}

bool TCustomTreeView::CanCollapse(TTreeNode* node) {
  bool allow = true;
  if (OnCollapsing) OnCollapsing(this, node, allow);
  return allow;
}

void TCustomTreeView::ExpandNode(TTreeNode* node, bool expand) {
  if (node->Expanded() == expand || !node->HasChildren()) return;
  if (expand ? !CanExpand(node) : !CanCollapse(node)) return;
  {
    TUpdateScope scope(fromCode_);
    node->item_->setExpanded(expand);
  }
  if (expand && OnExpanded) OnExpanded(this, node);
  if (!expand && OnCollapsed) OnCollapsed(this, node);
}

void TCustomTreeView::QtExpanded(QTreeWidgetItem* item, bool expanded) {
  if (fromCode_ != 0) return;
  TTreeNode* node = items_->NodeOf(item);
  if (node == nullptr) return;
  if (expanded ? !CanExpand(node) : !CanCollapse(node)) {
    TUpdateScope scope(fromCode_);
    item->setExpanded(!expanded);
    return;
  }
  if (expanded && OnExpanded) OnExpanded(this, node);
  if (!expanded && OnCollapsed) OnCollapsed(this, node);
}

void TCustomTreeView::SetReadOnly(bool v) {
  readOnly_ = v;
  Tree()->setEditTriggers(v ? QAbstractItemView::NoEditTriggers
                            : QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
  for (TTreeNode* n = items_->GetFirstNode(); n != nullptr; n = n->GetNext()) {
    Qt::ItemFlags flags = n->item_->flags();
    flags.setFlag(Qt::ItemIsEditable, !v);
    n->item_->setFlags(flags);
  }
}

bool TCustomTreeView::ShowRoot() const { return Tree()->rootIsDecorated(); }
void TCustomTreeView::SetShowRoot(bool v) { Tree()->setRootIsDecorated(v); }

void TCustomTreeView::SetImages(TImageList* v) { images_.SetImages(v); }

void TCustomTreeView::SetStateImages(TImageList* v) { images_.SetStateImages(v); }

void TCustomTreeView::Notification(TComponent* component, TOperation operation) {
  TNativeControl::Notification(component, operation);
  if (operation != opRemove) return;
  images_.Forget(component);
}

void TCustomTreeView::UpdateIcon(TTreeNode* node) {
  const int index = node->Selected() && node->selectedIndex_ >= 0 ? node->selectedIndex_ : node->imageIndex_;
  node->item_->setIcon(0, images_.Icon(index, node->stateIndex_));
}

void TCustomTreeView::UpdateAllIcons() {
  for (TTreeNode* n = items_->GetFirstNode(); n != nullptr; n = n->GetNext()) UpdateIcon(n);
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) const {
  const QPoint p = Tree()->viewport()->mapFrom(Tree(), QPoint(x, y));
  return items_->NodeOf(Tree()->itemAt(p));
}

void TCustomTreeView::FullExpand() {
  for (TTreeNode* n = items_->GetFirstNode(); n != nullptr; n = n->GetNext()) n->Expand(false);
}

void TCustomTreeView::FullCollapse() {
  for (TTreeNode* n = items_->GetFirstNode(); n != nullptr; n = n->GetNext()) n->Collapse(false);
}

void TCustomTreeView::DeclareProperties(TClassBuilder<TCustomTreeView, TNativeControl>& b) {
  // A view shows no caption; it is not stored.
  b.Property("Caption", &TControl::Caption, &TControl::SetCaption).Stored(false);
  b.Property("Images", &TCustomTreeView::Images, &TCustomTreeView::SetImages);
  b.Property("StateImages", &TCustomTreeView::StateImages, &TCustomTreeView::SetStateImages);
  b.Property("ReadOnly", &TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly).Default(false);
  b.Property("ShowLines", &TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines).Default(true);
  b.Property("ShowRoot", &TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot).Default(true);
  b.Event("OnChange", &TCustomTreeView::OnChange);
  b.Event("OnChanging", &TCustomTreeView::OnChanging);
  b.Event("OnExpanding", &TCustomTreeView::OnExpanding);
  b.Event("OnExpanded", &TCustomTreeView::OnExpanded);
  b.Event("OnCollapsing", &TCustomTreeView::OnCollapsing);
  b.Event("OnCollapsed", &TCustomTreeView::OnCollapsed);
}
