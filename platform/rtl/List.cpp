#include "platform/rtl/List.h"

#include "platform/rtl/Exceptions.h"

#include <algorithm>

void TList::Error(int index) const {
  throw EListError(QStringLiteral("List index out of bounds (%d)"), {index});
}

void TList::CheckIndex(int index) const {
  if (index < 0 || index >= Count())
    Error(index);
}

void TList::SetCount(int newCount) {
  if (newCount < 0)
    throw EListError(QStringLiteral("List count out of bounds (%d)"), {newCount});
  items_.resize(newCount, nullptr);
}

void TList::SetCapacity(int newCapacity) {
  if (newCapacity < Count())
    throw EListError(QStringLiteral("List capacity out of bounds (%d)"), {newCapacity});
  items_.reserve(newCapacity);
}

void* TList::Items(int index) const {
  CheckIndex(index);
  return items_[index];
}

void TList::SetItems(int index, void* item) {
  CheckIndex(index);
  items_[index] = item;
}

int TList::Add(void* item) {
  items_.append(item);
  return Count() - 1;
}

void TList::Insert(int index, void* item) {
  if (index < 0 || index > Count())
    Error(index);
  items_.insert(index, item);
}

void TList::Delete(int index) {
  CheckIndex(index);
  items_.removeAt(index);
}

int TList::Remove(void* item) {
  const int index = IndexOf(item);
  if (index >= 0)
    Delete(index);
  return index;
}

void* TList::Extract(void* item) {
  return Remove(item) >= 0 ? item : nullptr;
}

int TList::IndexOf(const void* item) const {
  return static_cast<int>(items_.indexOf(const_cast<void*>(item)));
}

void TList::Clear() {
  items_.clear();
  items_.squeeze();
}

void TList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(items_[index1], items_[index2]);
}

void TList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex)
    return;
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  items_.move(curIndex, newIndex);
}

void TList::Pack() { items_.removeAll(nullptr); }

void TList::Sort(const TListSortCompare& compare) {
  // Stable, and safe with any compare function.
  std::stable_sort(items_.begin(), items_.end(),
                   [&](void* a, void* b) { return compare(a, b) < 0; });
}
