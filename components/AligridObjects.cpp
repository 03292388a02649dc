// TMyFont, TMyBrush and TObjectList of unit Aligrid.
#include "components/Aligrid.h"

void TMyFont::Changed() {
  changed_ = true;
  TFont::Changed();
}

void TMyBrush::Changed() {
  changed_ = true;
  TBrush::Changed();
}

TObjectList::~TObjectList() { Clear(); }

int TObjectList::Add(TObject* object) { return TList::Add(object); }

TObject* TObjectList::Items(int index) const { return static_cast<TObject*>(TList::Items(index)); }

void TObjectList::Delete(int index) {
  // The slot goes first, so the list never holds a freed object.
  std::unique_ptr<TObject> object(Items(index));
  TList::Delete(index);
}

int TObjectList::Remove(TObject* object) {
  const int index = IndexOf(object);
  if (index >= 0) Delete(index);
  return index;
}

void TObjectList::Clear() {
  for (int i = Count() - 1; i >= 0; --i) Delete(i);
}
