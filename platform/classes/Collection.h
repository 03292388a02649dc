#pragma once
// TCollection and TCollectionItem: an owned, ordered list of items of one
// item class, stored in form files as `< item ... end >`.
//
// A collection owns its items: an item created with `new TX(collection)`
// adds itself, and deleting an item removes it. Changes call Update(item)
// (nullptr: the whole collection) unless an update is pending
// (BeginUpdate/EndUpdate); EndUpdate of the outermost pair calls Update(nullptr).

#include "platform/classes/Persistent.h"

#include <QList>
#include <QString>

class TCollection;
class TMetaClass;

class TCollectionItem : public TPersistent {
 public:
  explicit TCollectionItem(TCollection* collection);
  ~TCollectionItem() override;

  TCollection* Collection() const { return collection_; }
  // Moves the item into another collection (nullptr: none).
  void SetCollection(TCollection* value);
  // Position in the collection; -1 when in none.
  int Index() const;
  void SetIndex(int value);
  // A number unique within the collection, kept when the item moves.
  int ID() const { return id_; }
  virtual QString DisplayName() const;
  TPersistent* GetOwner() const override;

 protected:
  // Tells the collection this item (allItems: every item) changed.
  void Changed(bool allItems);

 private:
  friend class TCollection;
  TCollection* collection_ = nullptr;
  int id_ = 0;
};

class TCollection : public TPersistent {
 public:
  // itemClass must be a creatable item class (MetaClassOf<TMyItem>()).
  TCollection(TPersistent* owner, const TMetaClass& itemClass);
  explicit TCollection(const TMetaClass& itemClass) : TCollection(nullptr, itemClass) {}
  ~TCollection() override;

  const TMetaClass& ItemClass() const { return *itemClass_; }
  // The object that owns the collection (nullptr: none).
  TPersistent* Owner() const { return owner_; }
  TPersistent* GetOwner() const override { return owner_; }

  int Count() const { return static_cast<int>(items_.size()); }
  // Index out of range: EListError.
  TCollectionItem* Items(int index) const;
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  TCollectionItem* FindItemID(int id) const;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  // Copies the items of another collection item by item (Assign of each).
  void Assign(TPersistent* source) override;

 protected:
  // Called after a change; item nullptr means the whole collection.
  virtual void Update(TCollectionItem* item);
  void Changed();

 private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);
  void MoveItem(int from, int to);
  void CheckIndex(int index) const;
  void NotifyChange(TCollectionItem* item);

  TPersistent* owner_;
  const TMetaClass* itemClass_;
  QList<TCollectionItem*> items_;
  int nextId_ = 0;
  int updateCount_ = 0;
};
