#include "platform/controls/ListBox.h"

#include "platform/controls/Guard.h"
#include "platform/rtl/Exceptions.h"

#include <QListWidget>
#include <QPainter>
#include <QStyledItemDelegate>

const TEnumInfo kListBoxStyleIdents{"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable"};

// Paints owner-drawn rows through the control's DrawItem.
class TListBoxDelegate : public QStyledItemDelegate {
 public:
  TListBoxDelegate(TCustomListBox* box, QObject* parent) : QStyledItemDelegate(parent), box_(box) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    if (box_->style_ == lbStandard) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    TOwnerDrawState state;
    if (option.state & QStyle::State_Selected) state.Include(odSelected);
    if (option.state & QStyle::State_HasFocus) state.Include(odFocused);
    if (!box_->Enabled()) state.Include(odDisabled);
    TCanvas* canvas = box_->Canvas();
    canvas->SetPainter(painter);
    canvas->SetFont(box_->Font());
    canvas->Brush()->SetColor(state.Contains(odSelected) ? clHighlight : box_->Color());
    if (state.Contains(odSelected)) canvas->Font()->SetColor(clHighlightText);
    box_->DrawItem(index.row(), FromQRect(option.rect), state);
    canvas->SetPainter(nullptr);
  }

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    if (box_->style_ == lbStandard) return QStyledItemDelegate::sizeHint(option, index);
    return {option.rect.width(), box_->itemHeight_};
  }

 private:
  TCustomListBox* box_;
};

// Items.

int TListBoxStrings::Count() const { return box_->List()->count(); }

QString TListBoxStrings::Get(int index) const {
  CheckIndex(index);
  return box_->List()->item(index)->text();
}

// In place, as the list control's own insert does (a sorted list is not resorted).
void TListBoxStrings::Put(int index, const QString& s) {
  CheckIndex(index);
  box_->List()->item(index)->setText(s);
}

void* TListBoxStrings::GetObject(int index) const {
  CheckIndex(index);
  return reinterpret_cast<void*>(box_->List()->item(index)->data(ObjectRole).value<quintptr>());
}

void TListBoxStrings::PutObject(int index, void* obj) {
  CheckIndex(index);
  box_->List()->item(index)->setData(ObjectRole, QVariant::fromValue(reinterpret_cast<quintptr>(obj)));
}

bool TListBoxStrings::SortedItems() const { return box_->sorted_; }

void TListBoxStrings::Insert(int index, const QString& s) {
  CheckInsertIndex(index);
  TUpdateScope scope(box_->fromCode_);
  box_->List()->insertItem(index, s);
}

void TListBoxStrings::Delete(int index) {
  CheckIndex(index);
  TUpdateScope scope(box_->fromCode_);
  delete box_->List()->takeItem(index);
}

void TListBoxStrings::Clear() {
  TUpdateScope scope(box_->fromCode_);
  box_->List()->clear();
}

// The list box.

TCustomListBox::TCustomListBox(TComponent* owner)
    : TNativeControl(owner, std::make_unique<QListWidget>()),
      items_(std::make_unique<TListBoxStrings>(this)) {
  SetBounds(0, 0, 121, 97);
  SetMouseWidget(List()->viewport());
  List()->setItemDelegate(new TListBoxDelegate(this, List()));  // a child of the list
  List()->setUniformItemSizes(true);
  GuardedConnect(this, List(), &QListWidget::itemSelectionChanged, List(), [this] { SelectionChangedByQt(); });
  ApplySelectionMode();
}

TCustomListBox::~TCustomListBox() { QObject::disconnect(List(), nullptr, nullptr, nullptr); }

QListWidget* TCustomListBox::List() const { return static_cast<QListWidget*>(NativeWidget()); }

void TCustomListBox::SelectionChangedByQt() {
  if (fromCode_ == 0) Click();
}

int TCustomListBox::ItemIndex() const {
  if (multiSelect_) return List()->currentRow();
  const QList<QListWidgetItem*> sel = List()->selectedItems();
  return sel.isEmpty() ? -1 : List()->row(sel.first());
}

void TCustomListBox::SetItemIndex(int v) {
  TUpdateScope scope(fromCode_);
  const bool valid = v >= 0 && v < List()->count();
  if (multiSelect_) {
    List()->setCurrentRow(valid ? v : -1, QItemSelectionModel::NoUpdate);
    return;
  }
  if (!valid) {
    List()->clearSelection();
    List()->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
    return;
  }
  List()->setCurrentRow(v, QItemSelectionModel::ClearAndSelect);
}

void TCustomListBox::ApplySelectionMode() {
  TUpdateScope scope(fromCode_);
  List()->setSelectionMode(!multiSelect_     ? QAbstractItemView::SingleSelection
                           : extendedSelect_ ? QAbstractItemView::ExtendedSelection
                                             : QAbstractItemView::MultiSelection);
}

void TCustomListBox::SetMultiSelect(bool v) {
  multiSelect_ = v;
  ApplySelectionMode();
}

void TCustomListBox::SetExtendedSelect(bool v) {
  extendedSelect_ = v;
  ApplySelectionMode();
}

bool TCustomListBox::Selected(int index) const {
  if (index < 0 || index >= List()->count())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return List()->item(index)->isSelected();
}

void TCustomListBox::SetSelected(int index, bool v) {
  if (index < 0 || index >= List()->count())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  TUpdateScope scope(fromCode_);
  if (!multiSelect_ && v) List()->clearSelection();
  List()->item(index)->setSelected(v);
}

int TCustomListBox::SelCount() const {
  return multiSelect_ ? static_cast<int>(List()->selectedItems().size()) : -1;
}

void TCustomListBox::SetSorted(bool v) {
  if (v == sorted_) return;
  sorted_ = v;
  if (!v || List()->count() < 2) return;
  TUpdateScope scope(fromCode_);
  QList<QListWidgetItem*> taken;
  while (List()->count() > 0) taken.append(List()->takeItem(0));
  std::stable_sort(taken.begin(), taken.end(), [](QListWidgetItem* a, QListWidgetItem* b) {
    return a->text().compare(b->text(), Qt::CaseInsensitive) < 0;
  });
  for (QListWidgetItem* item : taken) List()->addItem(item);
}

void TCustomListBox::SetStyle(TListBoxStyle v) {
  style_ = v;
  List()->setUniformItemSizes(true);
  List()->doItemsLayout();
  List()->viewport()->update();
}

int TCustomListBox::ItemHeight() const {
  if (style_ != lbStandard || List()->count() == 0) return itemHeight_;
  return List()->sizeHintForRow(0);
}

void TCustomListBox::SetItemHeight(int v) {
  if (v <= 0) return;
  itemHeight_ = v;
  if (style_ != lbStandard) List()->doItemsLayout();
}

int TCustomListBox::TopIndex() const {
  const QModelIndex top = List()->indexAt(QPoint(1, 1));
  return top.isValid() ? top.row() : 0;
}

void TCustomListBox::SetTopIndex(int v) {
  if (v < 0 || v >= List()->count()) return;
  List()->scrollToItem(List()->item(v), QAbstractItemView::PositionAtTop);
}

int TCustomListBox::ItemAtPos(TPoint pos, bool existing) const {
  const QPoint p = List()->viewport()->mapFrom(List(), ToQPoint(pos));
  const QModelIndex index = List()->indexAt(p);
  if (index.isValid()) return index.row();
  return existing ? -1 : List()->count();
}

TRect TCustomListBox::ItemRect(int index) const {
  if (index < 0 || index >= List()->count()) return Rect(0, 0, 0, 0);
  QRect r = List()->visualItemRect(List()->item(index));
  r.translate(List()->viewport()->mapTo(List(), QPoint(0, 0)));
  return FromQRect(r);
}

void TCustomListBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  Canvas()->FillRect(rect);
  Canvas()->TextOut(rect.Left + 2, rect.Top, items_->Get(index));
}

void TCustomListBox::DeclareProperties(TClassBuilder<TCustomListBox, TNativeControl>& b) {
  b.Property("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle, kListBoxStyleIdents)
      .Default(lbStandard);
  b.Property("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect)
      .Default(true);
  b.Property("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect)
      .Default(false);
  b.Property("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight);
  b.Property("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted).Default(false);
  b.Object("Items", &TCustomListBox::Items);
  // A list box has no caption of its own.
  b.Property("Caption", &TControl::Caption, &TControl::SetCaption).Stored(false);
  b.Event("OnDrawItem", &TCustomListBox::OnDrawItem);
}
