#pragma once
// The sparse attribute tables of TStringAlignGrid.
//
// A table is a list of slots indexed by column or row; a slot is empty
// (std::optional without a value, a null std::unique_ptr, an empty row list)
// or holds one entry. A negative index or one beyond the end reads as empty,
// so a grid with few styled cells keeps few slots, and a lookup is one index
// access per level. Storing beyond the end first pads with empty slots;
// replacing an entry releases the old one.

#include "platform/rtl/Exceptions.h"

#include <QString>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace aligrid {

template <class V>
bool SlotFilled(const std::optional<V>& slot) {
  return slot.has_value();
}
template <class V>
bool SlotFilled(const std::unique_ptr<V>& slot) {
  return slot != nullptr;
}

template <class E>
class TSparseList {
 public:
  int Count() const { return static_cast<int>(slots_.size()); }

  // The slot at index, or nullptr beyond the ends.
  const E* Slot(int index) const {
    return index >= 0 && index < Count() ? &slots_[static_cast<std::size_t>(index)] : nullptr;
  }
  E* Slot(int index) {
    return index >= 0 && index < Count() ? &slots_[static_cast<std::size_t>(index)] : nullptr;
  }
  // The slot at index, padding the list to reach it; a negative index
  // raises EListError.
  E& At(int index) {
    if (index < 0) throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    Reach(index + 1);
    return slots_[static_cast<std::size_t>(index)];
  }

  // Takes the entry at from out (padding to reach it), removes its slot,
  // pads to `to` entries and inserts the entry at to.
  void Move(int from, int to) {
    if (from < 0 || to < 0) return;
    Reach(from + 1);
    E entry = std::move(slots_[static_cast<std::size_t>(from)]);
    slots_.erase(slots_.begin() + from);
    Reach(to);
    slots_.insert(slots_.begin() + to, std::move(entry));
  }

  // An empty slot at index when the list holds at least index entries; a
  // shorter list is empty from there on anyway.
  void InsertEmpty(int index) {
    if (index < 0 || index > Count()) return;
    slots_.insert(slots_.begin() + index, E{});
  }

  void Clear() { slots_.clear(); }

  template <class F>
  void ForEachSlot(F&& f) {
    for (E& e : slots_) f(e);
  }

 private:
  void Reach(int count) {
    if (count > Count()) slots_.resize(static_cast<std::size_t>(count));
  }

  std::vector<E> slots_;
};

// A list of row lists indexed by column.
template <class S>
class TCellTable {
 public:
  // The filled slot of a cell, or nullptr.
  const S* Find(int col, int row) const {
    const TSparseList<S>* rows = cols_.Slot(col);
    if (rows == nullptr) return nullptr;
    const S* slot = rows->Slot(row);
    return slot != nullptr && SlotFilled(*slot) ? slot : nullptr;
  }
  S* Find(int col, int row) {
    return const_cast<S*>(static_cast<const TCellTable*>(this)->Find(col, row));
  }
  S& At(int col, int row) { return cols_.At(col).At(row); }

  void MoveCol(int from, int to) { cols_.Move(from, to); }
  void MoveRow(int from, int to) {
    cols_.ForEachSlot([from, to](TSparseList<S>& rows) { rows.Move(from, to); });
  }
  void InsertCol(int at) { cols_.InsertEmpty(at); }
  void InsertRow(int at) {
    cols_.ForEachSlot([at](TSparseList<S>& rows) { rows.InsertEmpty(at); });
  }
  void Clear() { cols_.Clear(); }

 private:
  TSparseList<TSparseList<S>> cols_;
};

// The filled slot of a list, or nullptr.
template <class S>
const S* FindSlot(const TSparseList<S>& list, int index) {
  const S* slot = list.Slot(index);
  return slot != nullptr && SlotFilled(*slot) ? slot : nullptr;
}

// Whether each table of one attribute is written when the form is stored.
struct TLevelFlags {
  bool cell = false;
  bool col = false;
  bool fixedCol = false;
  bool row = false;
  bool fixedRow = false;
};

// All levels of one attribute. Attributes without fixed levels (edit
// permission, selected colours) or with only a cell level (hints) leave the
// other tables empty.
template <class S>
struct TAttrTables {
  TCellTable<S> cell;
  TSparseList<S> col;
  TSparseList<S> fixedCol;
  TSparseList<S> row;
  TSparseList<S> fixedRow;
  TLevelFlags stored;

  void MoveCol(int from, int to) {
    col.Move(from, to);
    fixedCol.Move(from, to);
    cell.MoveCol(from, to);
  }
  void MoveRow(int from, int to) {
    row.Move(from, to);
    fixedRow.Move(from, to);
    cell.MoveRow(from, to);
  }
  void InsertCol(int at) {
    col.InsertEmpty(at);
    fixedCol.InsertEmpty(at);
    cell.InsertCol(at);
  }
  void InsertRow(int at) {
    row.InsertEmpty(at);
    fixedRow.InsertEmpty(at);
    cell.InsertRow(at);
  }
  // The effective entry: cell, then column, then row (the fixed tables for a
  // fixed cell when withFixed); nullptr when no level has one.
  const S* Resolve(int c, int r, bool fixed, bool withFixed) const {
    if (const S* s = cell.Find(c, r)) return s;
    const bool useFixed = withFixed && fixed;
    if (const S* s = FindSlot(useFixed ? fixedCol : col, c)) return s;
    return FindSlot(useFixed ? fixedRow : row, r);
  }
};

}  // namespace aligrid
