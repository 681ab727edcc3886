#pragma once
// Collections: an ordered list that owns items of one item class. An item
// joins its collection when it is made and leaves it when it is freed, so
// freeing an item directly is as safe as deleting it through the collection.
#include "Classes.h"

#include <vector>

namespace tvk {

class TCollection;

class TCollectionItem : public TPersistent {
public:
  TVK_CLASS(TCollectionItem, TPersistent)
  // Appended to Collection (may be null: an item of no collection).
  explicit TCollectionItem(TCollection* collection);
  // Leaves its collection.
  ~TCollectionItem() override;

  TCollection* Collection() const { return FCollection; }
  // Moves the item to the end of another collection (or out of any).
  void SetCollection(TCollection* collection);
  // Position in its collection (-1 without one).
  int Index() const;
  // Moves the item to Index within its collection (clamped to the collection).
  void SetIndex(int index);
  // A number unique within its collection, never reused.
  int ID() const { return FID; }

protected:
  // Tells the collection of a change of this item (AllItems: of every item).
  void Changed(bool allItems);

private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

// How a collection makes its items: their class and a maker.
struct TCollectionItemClass {
  TClass Class;
  TCollectionItem* (*Create)(TCollection* collection);
};

template <class Item>
TCollectionItemClass CollectionItemClassOf() {
  return {&Item::StaticClassInfo(), [](TCollection* c) -> TCollectionItem* { return new Item(c); }};
}

class TCollection : public TPersistent {
public:
  TVK_CLASS(TCollection, TPersistent)
  explicit TCollection(TCollectionItemClass itemClass) : FItemClass(itemClass) {}
  // Frees the items, last first.
  ~TCollection() override;

  TClass ItemClass() const { return FItemClass.Class; }
  int Count() const { return int(FItems.size()); }
  // Raises EListError "List index out of bounds (%d)" outside the collection.
  TCollectionItem* Items(int index) const;
  // A new item of the item class, appended.
  TCollectionItem* Add();
  // Frees the item at Index.
  void Delete(int index);
  // Frees every item, last first.
  void Clear();
  TCollectionItem* FindItemID(int id) const;
  // The owner the collection belongs to (a component's property); null here.
  TPersistent* GetOwner() const override { return nullptr; }
  // From another collection, in one update: cleared, then one new item
  // assigned from each of the source's items.
  void Assign(const TPersistent& source) override;

  // Changes are told through Update once the outermost EndUpdate comes.
  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }
  // Update(null) unless an update is open; Add and an item leaving call it too.
  void Changed();

protected:
  // Item changed (null: the items as a whole); nothing here.
  virtual void Update(TCollectionItem* item) { (void)item; }

private:
  friend class TCollectionItem;
  void InsertItem(TCollectionItem* item);
  void RemoveItem(TCollectionItem* item);

  TCollectionItemClass FItemClass;
  std::vector<TCollectionItem*> FItems;  // owned
  int FNextID = 0;
  int FUpdateCount = 0;
};

}  // namespace tvk
