#include "Collections.h"

#include <algorithm>

namespace tvk {

// ---- TCollectionItem

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* collection) {
  if (collection == FCollection) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (collection) collection->InsertItem(this);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  const auto& items = FCollection->FItems;
  return int(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int index) {
  if (!FCollection) return;
  auto& items = FCollection->FItems;
  const int current = Index();
  index = std::clamp(index, 0, int(items.size()) - 1);
  if (index == current) return;
  items.erase(items.begin() + current);
  items.insert(items.begin() + index, this);
}

void TCollectionItem::Changed(bool allItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(allItems ? nullptr : this);
}

// ---- TCollection

TCollection::~TCollection() { Clear(); }

void TCollection::Assign(const TPersistent& source) {
  const auto* other = dynamic_cast<const TCollection*>(&source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  BeginUpdate();
  struct TEnd {
    TCollection& Collection;
    ~TEnd() { Collection.EndUpdate(); }
  } end{*this};
  Clear();
  for (TCollectionItem* item : other->FItems) Add()->Assign(*item);
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
  return FItems[std::size_t(index)];
}

// Told once the item is whole: an item is inserted while its constructor runs.
TCollectionItem* TCollection::Add() {
  TCollectionItem* item = FItemClass.Create(this);
  Changed();
  return item;
}

void TCollection::Delete(int index) { delete Items(index); }

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  while (!FItems.empty()) delete FItems.back();  // the item's destructor takes it out
  EndUpdate();
}

void TCollection::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* item : FItems)
    if (item->FID == id) return item;
  return nullptr;
}

void TCollection::InsertItem(TCollectionItem* item) {
  FItems.push_back(item);
  item->FCollection = this;
  item->FID = FNextID++;
}

void TCollection::RemoveItem(TCollectionItem* item) {
  std::erase(FItems, item);
  item->FCollection = nullptr;
  Changed();
}

}  // namespace tvk
