#include "platform/classes/Collection.h"

#include "platform/classes/Properties.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/UpdateScope.h"

#include <algorithm>

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() {
  if (collection_ != nullptr) collection_->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* value) {
  if (value == collection_) return;
  if (collection_ != nullptr) collection_->RemoveItem(this);
  if (value != nullptr) value->InsertItem(this);
}

int TCollectionItem::Index() const {
  return collection_ != nullptr ? static_cast<int>(collection_->items_.indexOf(this)) : -1;
}

void TCollectionItem::SetIndex(int value) {
  int current = Index();
  if (current < 0 || value == current) return;
  collection_->MoveItem(current, value);
}

QString TCollectionItem::DisplayName() const { return ClassName(); }

TPersistent* TCollectionItem::GetOwner() const { return collection_; }

void TCollectionItem::Changed(bool allItems) {
  if (collection_ != nullptr) collection_->NotifyChange(allItems ? nullptr : this);
}

TCollection::TCollection(TPersistent* owner, const TMetaClass& itemClass)
    : owner_(owner), itemClass_(&itemClass) {}

TCollection::~TCollection() {
  ++updateCount_;  // no Update calls from a collection being destroyed
  while (!items_.isEmpty()) delete items_.last();
}

TCollectionItem* TCollection::Items(int index) const {
  CheckIndex(index);
  return items_[index];
}

void TCollection::CheckIndex(int index) const {
  if (index < 0 || index >= items_.size()) {
    throw EListError(QStringLiteral("List index out of bounds (%d)"), {index});
  }
}

TCollectionItem* TCollection::Add() {
  // The item's constructor adds it; the collection owns it from then on.
  return itemClass_->CreateItem(this);
}

TCollectionItem* TCollection::Insert(int index) {
  TCollectionItem* item = Add();
  item->SetIndex(index);
  return item;
}

void TCollection::Delete(int index) {
  CheckIndex(index);
  delete items_[index];
}

void TCollection::Clear() {
  if (items_.isEmpty()) return;
  TUpdateScope batch(*this);
  while (!items_.isEmpty()) delete items_.last();
  batch.Close();
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* item : items_) {
    if (item->id_ == id) return item;
  }
  return nullptr;
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) Changed();
}

void TCollection::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TCollection*>(source);
  if (other == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  TUpdateScope batch(*this);
  Clear();
  for (TCollectionItem* item : other->items_) Add()->Assign(item);
  batch.Close();
}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed() {
  if (updateCount_ == 0) Update(nullptr);
}

void TCollection::NotifyChange(TCollectionItem* item) {
  if (updateCount_ == 0) Update(item);
}

void TCollection::InsertItem(TCollectionItem* item) {
  items_.append(item);
  item->collection_ = this;
  item->id_ = nextId_++;
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  items_.removeAll(item);
  item->collection_ = nullptr;
  Changed();
}

void TCollection::MoveItem(int from, int to) {
  int target = std::clamp(to, 0, static_cast<int>(items_.size()) - 1);
  if (target == from) return;
  items_.move(from, target);
  Changed();
}
