#include "platform/controls/ControlItems.h"

int TControlItems::Add(const QString& s) {
  int index = Count();
  if (SortedItems()) {
    index = 0;
    while (index < Count() && Get(index).compare(s, Qt::CaseInsensitive) <= 0) ++index;
  }
  Insert(index, s);
  return index;
}

int TControlItems::IndexOf(const QString& s) const {
  for (int i = 0; i < Count(); ++i)
    if (Get(i).compare(s, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

void TControlItems::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) Error(QStringLiteral("List index out of bounds (%d)"), index);
}

void TControlItems::CheckInsertIndex(int index) const {
  if (index < 0 || index > Count()) Error(QStringLiteral("List index out of bounds (%d)"), index);
}
