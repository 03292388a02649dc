#pragma once
// TControlItems: the rows of a list-like control seen as TStrings. It keeps
// what list and combo boxes share: index checks, the place a sorted control
// gives a new string, the case-insensitive look-up, and the role that
// carries each row's object. Subclasses reach the rows of their widget.

#include "platform/rtl/StringList.h"
#include "platform/rtl/UpdateScope.h"

#include <Qt>

class TControlItems : public TStrings {
 public:
  // The item data role holding a row's object pointer.
  static constexpr int ObjectRole = Qt::UserRole + 1;

  // At the end, or at its case-insensitive place when the control sorts.
  int Add(const QString& s) override;
  int IndexOf(const QString& s) const override;

 protected:
  virtual bool SortedItems() const = 0;
  // EStringListError "List index out of bounds (%d)" unless 0 <= index < Count
  // (or <= Count when inserting).
  void CheckIndex(int index) const;
  void CheckInsertIndex(int index) const;
};
