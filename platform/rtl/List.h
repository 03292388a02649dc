#pragma once
// TList: a list of untyped pointers. It owns only its slots, never the
// objects pointed to. An index out of range raises
// EListError "List index out of bounds (%d)".

#include <QList>

#include <functional>

// Negative, zero or positive as item1 sorts before, with or after item2.
using TListSortCompare = std::function<int(void* item1, void* item2)>;

class TList {
 public:
  TList() = default;
  TList(const TList&) = delete;
  TList& operator=(const TList&) = delete;
  virtual ~TList() = default;

  int Count() const { return static_cast<int>(items_.size()); }
  // Growing the count adds nil slots; shrinking drops the last ones.
  void SetCount(int newCount);
  int Capacity() const { return static_cast<int>(items_.capacity()); }
  // Reserves room; a capacity below the count raises EListError.
  void SetCapacity(int newCapacity);

  void* Items(int index) const;
  void SetItems(int index, void* item);
  void* operator[](int index) const { return Items(index); }

  int Add(void* item);
  void Insert(int index, void* item);
  void Delete(int index);
  // Deletes the first slot holding item; returns its index or -1.
  int Remove(void* item);
  // Removes the first slot holding item and returns item, or nullptr.
  void* Extract(void* item);
  int IndexOf(const void* item) const;
  void Clear();
  void Exchange(int index1, int index2);
  void Move(int curIndex, int newIndex);
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }
  // Drops the nil slots.
  void Pack();
  void Sort(const TListSortCompare& compare);

 private:
  void CheckIndex(int index) const;
  [[noreturn]] void Error(int index) const;

  QList<void*> items_;
};
