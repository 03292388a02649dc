#include "platform/controls/ListView.h"

#include "platform/controls/Guard.h"
#include "platform/rtl/UpdateScope.h"
#include "platform/controls/TreeView.h"
#include "platform/rtl/Exceptions.h"

#include <QHeaderView>
#include <QTreeWidget>

const TEnumInfo kViewStyleIdents{"vsIcon", "vsSmallIcon", "vsList", "vsReport"};

namespace {

constexpr int kCheckedRole = Qt::UserRole + 2;

Qt::Alignment QtAlignment(TAlignment a) {
  const Qt::Alignment h = a == taCenter ? Qt::AlignHCenter : a == taRightJustify ? Qt::AlignRight : Qt::AlignLeft;
  return h | Qt::AlignVCenter;
}

}  // namespace

// Columns.

TListColumn::TListColumn(TCollection* collection) : TCollectionItem(collection) {}

void TListColumn::SetCaption(const QString& v) {
  caption_ = v;
  Changed(false);
}

void TListColumn::SetWidth(int v) {
  width_ = v < 0 ? 0 : v;
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment v) {
  alignment_ = v;
  Changed(false);
}

void TListColumn::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TListColumn*>(source)) {
    caption_ = other->caption_;
    width_ = other->width_;
    alignment_ = other->alignment_;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(source);
}

void TListColumn::DeclareProperties(TClassBuilder<TListColumn, TCollectionItem>& b) {
  b.Property("Alignment", &TListColumn::Alignment, &TListColumn::SetAlignment, kAlignmentIdents)
      .Default(taLeftJustify);
  b.Property("Caption", &TListColumn::Caption, &TListColumn::SetCaption);
  b.Property("Width", &TListColumn::Width, &TListColumn::SetWidth).Default(50);
}

TListColumns::TListColumns(TCustomListView* view)
    : TCollection(view, MetaClassOf<TListColumn>()), view_(view) {}

void TListColumns::Update(TCollectionItem*) { view_->ColumnsChanged(); }

// Sub-items tell their item of every change.
class TListItem::TSubItems : public TStringList {
 public:
  explicit TSubItems(TListItem* item) : item_(item) {}

 protected:
  void Changed() override {
    TStringList::Changed();
    if (UpdateCount() == 0) item_->SubItemsChanged();
  }

 private:
  TListItem* item_;
};

// Items.

TListItem::TListItem(TListItems* owner, QTreeWidgetItem* item)
    : owner_(owner), item_(item), subItems_(std::make_unique<TSubItems>(this)) {}

TListItem::~TListItem() = default;

TCustomListView* TListItem::ListView() const { return owner_->Owner(); }
QString TListItem::Caption() const { return item_->text(0); }

void TListItem::SetCaption(const QString& v) {
  if (v == Caption()) return;
  {
    TUpdateScope scope(ListView()->fromCode_);
    item_->setText(0, v);
  }
  ListView()->Change(this, ctText);
}

void TListItem::SubItemsChanged() {
  ListView()->ApplyItem(this);
  ListView()->Change(this, ctText);
}

void TListItem::SetImageIndex(int v) {
  if (v == imageIndex_) return;
  imageIndex_ = v;
  ListView()->UpdateIcon(this);
  ListView()->Change(this, ctImage);
}

void TListItem::SetStateIndex(int v) {
  if (v == stateIndex_) return;
  stateIndex_ = v;
  ListView()->UpdateIcon(this);
  ListView()->Change(this, ctState);
}

bool TListItem::Checked() const { return item_->data(0, kCheckedRole).toBool(); }

void TListItem::SetChecked(bool v) {
  if (v == Checked()) return;
  {
    TUpdateScope scope(ListView()->fromCode_);
    item_->setData(0, kCheckedRole, v);
    if (ListView()->checkboxes_) item_->setCheckState(0, v ? Qt::Checked : Qt::Unchecked);
  }
  ListView()->Change(this, ctState);
}

bool TListItem::Selected() const { return item_->isSelected(); }

void TListItem::SetSelected(bool v) {
  if (v && !ListView()->multiSelect_) ListView()->Tree()->clearSelection();
  item_->setSelected(v);
  if (v) ListView()->Tree()->setCurrentItem(item_, 0, QItemSelectionModel::NoUpdate);
}

int TListItem::Index() const { return owner_->IndexOf(this); }
void TListItem::Delete() { owner_->Delete(Index()); }

TListItems::~TListItems() = default;

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return items_[static_cast<std::size_t>(index)].get();
}

int TListItems::IndexOf(const TListItem* item) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<std::size_t>(i)].get() == item) return i;
  return -1;
}

TListItem* TListItems::ItemOf(const QTreeWidgetItem* item) const {
  if (item == nullptr) return nullptr;
  const int index = owner_->Tree()->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item));
  return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)].get() : nullptr;
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index) {
  if (index < 0 || index > Count())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  TUpdateScope scope(owner_->fromCode_);
  auto* qitem = new QTreeWidgetItem();
  owner_->Tree()->insertTopLevelItem(index, qitem);
  auto item = std::unique_ptr<TListItem>(new TListItem(this, qitem));
  TListItem* result = item.get();
  items_.insert(items_.begin() + index, std::move(item));
  owner_->ApplyItem(result);
  return result;
}

void TListItems::Delete(int index) {
  TListItem* item = Item(index);
  {
    TUpdateScope scope(owner_->fromCode_);
    delete item->item_;
    owner_->lastSelection_.removeAll(item->item_);
  }
  items_.erase(items_.begin() + index);
}

void TListItems::Clear() {
  {
    TUpdateScope scope(owner_->fromCode_);
    owner_->Tree()->clear();
    owner_->lastSelection_.clear();
  }
  items_.clear();
}

void TListItems::BeginUpdate() { owner_->Tree()->setUpdatesEnabled(false); }
void TListItems::EndUpdate() { owner_->Tree()->setUpdatesEnabled(true); }

// The view.

TCustomListView::TCustomListView(TComponent* owner)
    : TNativeControl(owner, std::make_unique<QTreeWidget>()),
      columns_(std::make_unique<TListColumns>(this)),
      items_(std::make_unique<TListItems>(this)) {
  SetBounds(0, 0, 250, 150);
  SetControlStyle(ControlStyle() + TControlStyle{csClickEvents, csCaptureMouse});
  QTreeWidget* tree = Tree();
  SetMouseWidget(tree->viewport());
  tree->setRootIsDecorated(false);
  tree->setItemsExpandable(false);
  tree->setUniformRowHeights(true);
  tree->header()->setStretchLastSection(false);
  tree->header()->setSectionsMovable(false);
  SetReadOnly(false);
  SetMultiSelect(false);
  ColumnsChanged();
  GuardedConnect(this, tree, &QTreeWidget::itemChanged, tree,
                 [this](QTreeWidgetItem* item, int column) { QtItemChanged(item, column); });
  GuardedConnect(this, tree, &QTreeWidget::itemSelectionChanged, tree, [this] { QtSelectionChanged(); });
  GuardedConnect(this, tree->header(), &QHeaderView::sectionResized, tree, [this](int section, int, int size) {
    const QList<TListColumn*> columns = ReadyColumns();
    if (fromCode_ == 0 && section < columns.size()) columns[section]->width_ = size;
  });
}

TCustomListView::~TCustomListView() {
  QObject::disconnect(Tree(), nullptr, nullptr, nullptr);
  QObject::disconnect(Tree()->header(), nullptr, nullptr, nullptr);
  items_->Clear();
}

QTreeWidget* TCustomListView::Tree() const { return static_cast<QTreeWidget*>(NativeWidget()); }

// Also runs while a new column is still being constructed (the collection
// reports it from the item's base constructor): such an item is skipped.
QList<TListColumn*> TCustomListView::ReadyColumns() const {
  QList<TListColumn*> ready;
  for (int i = 0; i < columns_->Count(); ++i)
    if (auto* column = dynamic_cast<TListColumn*>(columns_->TCollection::Items(i))) ready.append(column);
  return ready;
}

void TCustomListView::ColumnsChanged() {
  TUpdateScope scope(fromCode_);
  QTreeWidget* tree = Tree();
  const QList<TListColumn*> columns = ReadyColumns();
  tree->setColumnCount(qMax(1, static_cast<int>(columns.size())));
  QStringList captions;
  for (const TListColumn* column : columns) captions.append(column->Caption());
  tree->setHeaderLabels(captions);
  for (int i = 0; i < columns.size(); ++i) {
    tree->header()->resizeSection(i, columns[i]->Width());
    tree->headerItem()->setTextAlignment(i, QtAlignment(columns[i]->Alignment()));
  }
  for (int i = 0; i < items_->Count(); ++i) ApplyItem(items_->Item(i));
}

void TCustomListView::ApplyItem(TListItem* item) {
  TUpdateScope scope(fromCode_);
  QTreeWidgetItem* q = item->item_;
  Qt::ItemFlags flags = q->flags();
  flags.setFlag(Qt::ItemIsEditable, !readOnly_);
  flags.setFlag(Qt::ItemIsUserCheckable, checkboxes_);
  q->setFlags(flags);
  if (checkboxes_) {
    q->setCheckState(0, item->Checked() ? Qt::Checked : Qt::Unchecked);
  } else {
    q->setData(0, Qt::CheckStateRole, QVariant());
  }
  for (int c = 1; c < Tree()->columnCount(); ++c)
    q->setText(c, c - 1 < item->subItems_->Count() ? item->subItems_->Get(c - 1) : QString());
  const QList<TListColumn*> columns = ReadyColumns();
  for (int c = 0; c < columns.size(); ++c) q->setTextAlignment(c, QtAlignment(columns[c]->Alignment()));
  UpdateIcon(item);
}

void TCustomListView::Change(TListItem* item, TItemChange change) {
  if (OnChange) OnChange(this, item, change);
}

void TCustomListView::QtItemChanged(QTreeWidgetItem* q, int column) {
  if (fromCode_ != 0) return;
  TListItem* item = items_->ItemOf(q);
  if (item == nullptr) return;
  if (column == 0 && checkboxes_) {
    const bool checked = q->checkState(0) == Qt::Checked;
    if (checked != item->Checked()) {
      {
        TUpdateScope scope(fromCode_);
        q->setData(0, kCheckedRole, checked);
      }
      Change(item, ctState);
      return;
    }
  }
  Change(item, ctText);
}

// Every item whose selection changed gets a ctState change.
void TCustomListView::QtSelectionChanged() {
  const QList<QTreeWidgetItem*> now = Tree()->selectedItems();
  QList<QTreeWidgetItem*> changed;
  for (QTreeWidgetItem* q : lastSelection_)
    if (!now.contains(q)) changed.append(q);
  for (QTreeWidgetItem* q : now)
    if (!lastSelection_.contains(q)) changed.append(q);
  lastSelection_ = now;
  if (fromCode_ != 0) return;
  for (QTreeWidgetItem* q : changed)
    if (TListItem* item = items_->ItemOf(q)) Change(item, ctState);
}

void TCustomListView::SetViewStyle(TViewStyle v) {
  viewStyle_ = v;
  Tree()->setHeaderHidden(v != vsReport || !showColumnHeaders_);
}

TListItem* TCustomListView::Selected() const {
  for (int i = 0; i < items_->Count(); ++i)
    if (items_->Item(i)->Selected()) return items_->Item(i);
  return nullptr;
}

void TCustomListView::SetSelected(TListItem* item) {
  Tree()->clearSelection();
  if (item != nullptr) item->SetSelected(true);
}

void TCustomListView::SetMultiSelect(bool v) {
  multiSelect_ = v;
  Tree()->setSelectionMode(v ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
}

int TCustomListView::SelCount() const { return static_cast<int>(Tree()->selectedItems().size()); }

void TCustomListView::SetReadOnly(bool v) {
  readOnly_ = v;
  Tree()->setEditTriggers(v ? QAbstractItemView::NoEditTriggers
                            : QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
  for (int i = 0; i < items_->Count(); ++i) ApplyItem(items_->Item(i));
}

void TCustomListView::SetRowSelect(bool v) {
  rowSelect_ = v;
  Tree()->setAllColumnsShowFocus(v);
}

void TCustomListView::SetCheckboxes(bool v) {
  checkboxes_ = v;
  for (int i = 0; i < items_->Count(); ++i) ApplyItem(items_->Item(i));
}

void TCustomListView::SetShowColumnHeaders(bool v) {
  showColumnHeaders_ = v;
  SetViewStyle(viewStyle_);
}

void TCustomListView::SetSmallImages(TImageList* v) { images_.SetImages(v); }

void TCustomListView::SetStateImages(TImageList* v) { images_.SetStateImages(v); }

void TCustomListView::Notification(TComponent* component, TOperation operation) {
  TNativeControl::Notification(component, operation);
  if (operation != opRemove) return;
  images_.Forget(component);
}

void TCustomListView::UpdateIcon(TListItem* item) {
  TUpdateScope scope(fromCode_);
  item->item_->setIcon(0, images_.Icon(item->imageIndex_, item->stateIndex_));
}

void TCustomListView::UpdateAllIcons() {
  for (int i = 0; i < items_->Count(); ++i) UpdateIcon(items_->Item(i));
}

TListItem* TCustomListView::GetItemAt(int x, int y) const {
  const QPoint p = Tree()->viewport()->mapFrom(Tree(), QPoint(x, y));
  return items_->ItemOf(Tree()->itemAt(p));
}

void TCustomListView::DeclareProperties(TClassBuilder<TCustomListView, TNativeControl>& b) {
  // A view shows no caption; it is not stored.
  b.Property("Caption", &TControl::Caption, &TControl::SetCaption).Stored(false);
  b.Property("Checkboxes", &TCustomListView::Checkboxes, &TCustomListView::SetCheckboxes).Default(false);
  b.Object("Columns", &TCustomListView::Columns);
  b.Property("MultiSelect", &TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect).Default(false);
  b.Property("ReadOnly", &TCustomListView::ReadOnly, &TCustomListView::SetReadOnly).Default(false);
  b.Property("RowSelect", &TCustomListView::RowSelect, &TCustomListView::SetRowSelect).Default(false);
  b.Property("ShowColumnHeaders", &TCustomListView::ShowColumnHeaders,
             &TCustomListView::SetShowColumnHeaders).Default(true);
  b.Property("SmallImages", &TCustomListView::SmallImages, &TCustomListView::SetSmallImages);
  b.Property("StateImages", &TCustomListView::StateImages, &TCustomListView::SetStateImages);
  b.Property("ViewStyle", &TCustomListView::ViewStyle, &TCustomListView::SetViewStyle, kViewStyleIdents)
      .Default(vsIcon);
  b.Event("OnChange", &TCustomListView::OnChange);
}
