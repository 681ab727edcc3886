#include "TreeListBands.h"

#include <algorithm>

#include "TreeListControl.h"

namespace tvk {

// ---- TdxTreeListBand

TdxTreeListBand::TdxTreeListBand(TCollection* collection) : TCollectionItem(collection) {}

TdxTreeListBand::~TdxTreeListBand() {
  TCustomdxTreeListControl* tree = TreeList();
  if (!tree || tree->IsDestroying() || (tree->ComponentState() & csUpdating) != 0) return;
  int index = Index();
  for (TdxTreeListColumn* column : tree->FColumns) {
    if (column->FBandIndex == index)
      column->FBandIndex = -1;
    else if (column->FBandIndex > index)
      --column->FBandIndex;
  }
}

TdxTreeListBands* TdxTreeListBand::Bands() const { return static_cast<TdxTreeListBands*>(Collection()); }

TCustomdxTreeListControl* TdxTreeListBand::TreeList() const { return Bands() ? Bands()->TreeList() : nullptr; }

void TdxTreeListBand::Assign(const TPersistent& source) {
  const auto* band = source.Is<TdxTreeListBand>() ? static_cast<const TdxTreeListBand*>(&source) : nullptr;
  if (!band) return TCollectionItem::Assign(source);
  TdxTreeListBands* bands = Bands();
  if (bands) bands->BeginUpdate();
  try {
    RestoreDefaults();
    SetAlignment(band->FAlignment);
    SetCaption(band->FCaption);
    SetFixed(band->FFixed);
    SetMinWidth(band->FMinWidth);
    SetOnlyOwnColumns(band->FOnlyOwnColumns);
    SetSizing(band->FSizing);
    SetVisible(band->FVisible);
    SetWidth(band->FWidth);
  } catch (...) {
    if (bands) bands->EndUpdate();
    throw;
  }
  if (bands) bands->EndUpdate();
}

void TdxTreeListBand::RestoreDefaults() {
  FAlignment = TAlignment::taCenter;
  FFixed = bfNone;
  FMinWidth = kDefaultBandMinWidth;
  FOnlyOwnColumns = false;
  FSizing = true;
  FWidth = kDefaultBandWidth;
}

void TdxTreeListBand::SetIndex(int value) {
  TdxTreeListBands* bands = Bands();
  if (!bands) return;
  value = std::clamp(value, 0, bands->Count() - 1);
  int old = Index();
  if (FFixed != bfNone || value == old) return;
  if (TCustomdxTreeListControl* tree = TreeList()) {
    // The moving band's columns wait at -2 while the bands between shift.
    for (TdxTreeListColumn* column : tree->FColumns) {
      int& b = column->FBandIndex;
      if (b == old)
        b = -2;
      else if (value < old && b >= value && b < old)
        ++b;
      else if (value > old && b > old && b <= value)
        --b;
    }
    for (TdxTreeListColumn* column : tree->FColumns)
      if (column->FBandIndex == -2) column->FBandIndex = value;
  }
  TCollectionItem::SetIndex(value);
  Changed(true);
}

void TdxTreeListBand::SetAlignment(TAlignment value) {
  FAlignment = value;
  Changed(false);
}

void TdxTreeListBand::SetCaption(const WideString& value) {
  if (FCaption == value) return;
  FCaption = value;
  Changed(false);
}

void TdxTreeListBand::SetDisableCustomizing(bool value) {
  FDisableCustomizing = value;
  Changed(false);
}

void TdxTreeListBand::SetFixed(TdxGridBandFixed value) {
  if (value == FFixed) return;
  FFixed = bfNone;
  if (value != bfNone) {
    TdxTreeListBands* bands = Bands();
    if (bands) {
      for (int i = 0; i < bands->Count(); ++i)
        if (TdxTreeListBand* other = bands->GetItem(i); other != this && other->FFixed == value) other->FFixed = bfNone;
      SetIndex(value == bfLeft ? 0 : bands->Count() - 1);
    }
    if (FVisible) FFixed = value;
  }
  Changed(false);
}

void TdxTreeListBand::SetMinWidth(int value) {
  FMinWidth = std::max(value, 0);
  SetWidth(FWidth);
}

void TdxTreeListBand::SetSizing(bool value) {
  FSizing = value;
  Changed(false);
}

void TdxTreeListBand::SetVisible(bool value) {
  FVisible = value;
  if (!value) FFixed = bfNone;
  Changed(true);
}

void TdxTreeListBand::SetWidth(int value) {
  value = std::max(value, FMinWidth);
  TCustomdxTreeListControl* tree = TreeList();
  // Under the default layout the band's width follows its columns: a repeat still tells the control.
  bool always = tree && tree->IsBandHeaderWidth();
  if (value == FWidth && !always) return;
  FWidth = value;
  Changed(true);
}

int TdxTreeListBand::HeaderRowCount() const {
  TCustomdxTreeListControl* tree = TreeList();
  return tree ? tree->GetHeaderRowCount(VisibleIndex()) : 0;
}

int TdxTreeListBand::VisibleIndex() const { return Bands() ? Bands()->GetVisibleIndex(Index()) : -1; }

// ---- TdxTreeListBands

TdxTreeListBands::TdxTreeListBands(TCustomdxTreeListControl* treeList, TCollectionItemClass bandClass)
    : TCollection(bandClass), FTreeList(treeList) {}

TPersistent* TdxTreeListBands::GetOwner() const { return FTreeList; }

void TdxTreeListBands::Assign(const TPersistent& source) {
  const auto* bands = source.Is<TdxTreeListBands>() ? static_cast<const TdxTreeListBands*>(&source) : nullptr;
  if (!bands) return TCollection::Assign(source);
  if (bands == this) return;
  BeginUpdate();
  try {
    Clear();
    for (int i = 0; i < bands->Count(); ++i) Add()->Assign(*bands->GetItem(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TdxTreeListBands::RestoreDefaults() {
  BeginUpdate();
  for (int i = 0; i < Count(); ++i) GetItem(i)->RestoreDefaults();
  EndUpdate();
}

TdxTreeListBand* TdxTreeListBands::GetItem(int index) const {
  return index >= 0 && index < Count() ? static_cast<TdxTreeListBand*>(Items(index)) : nullptr;
}

TdxTreeListBand* TdxTreeListBands::GetVisibleItem(int visibleIndex) const {
  return GetItem(GetAbsoluteIndex(visibleIndex));
}

int TdxTreeListBands::VisibleCount() const {
  if (FTreeList && FTreeList->HeaderCachesFilled() && !FTreeList->FBandListLoading)
    return int(FTreeList->FBandList.size());
  int count = 0;
  for (int i = 0; i < Count(); ++i)
    if (GetItem(i)->Visible()) ++count;
  return count;
}

int TdxTreeListBands::GetAbsoluteIndex(int visibleIndex) const {
  if (visibleIndex < 0) return -1;
  if (FTreeList && FTreeList->HeaderCachesFilled() && !FTreeList->FBandListLoading) {
    const auto& list = FTreeList->FBandList;
    return visibleIndex < int(list.size()) ? list[std::size_t(visibleIndex)] : -1;
  }
  for (int i = 0; i < Count(); ++i)
    if (GetItem(i)->Visible() && visibleIndex-- == 0) return i;
  return -1;
}

int TdxTreeListBands::GetVisibleIndex(int absoluteIndex) const {
  if (absoluteIndex < 0) return -1;
  if (FTreeList && FTreeList->HeaderCachesFilled() && !FTreeList->FBandListLoading) {
    const auto& list = FTreeList->FBandVisibleList;
    return absoluteIndex < int(list.size()) ? list[std::size_t(absoluteIndex)] : -1;
  }
  if (absoluteIndex >= Count() || !GetItem(absoluteIndex)->Visible()) return -1;
  int visible = 0;
  for (int i = 0; i < absoluteIndex; ++i)
    if (GetItem(i)->Visible()) ++visible;
  return visible;
}

void TdxTreeListBands::CheckFixedBands() {
  TdxTreeListBand* left = nullptr;
  TdxTreeListBand* right = nullptr;
  bool sound = true;
  for (int i = 0; i < Count(); ++i) {
    TdxTreeListBand* band = GetItem(i);
    if (band->Fixed() == bfLeft) {
      if (left) sound = false;
      else left = band;
    } else if (band->Fixed() == bfRight) {
      if (right) sound = false;
      else right = band;
    }
  }
  int visible = VisibleCount();
  if (left && left->VisibleIndex() != 0) sound = false;
  if (right && right->VisibleIndex() != visible - 1) sound = false;
  if (sound) return;
  for (int i = 0; i < Count(); ++i) GetItem(i)->FFixed = bfNone;
  BeginUpdate();
  try {
    if (left) left->SetFixed(bfLeft);
    if (right) right->SetFixed(bfRight);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TdxTreeListBands::Update(TCollectionItem* item) {
  (void)item;
  if (!FTreeList) return;
  if (Count() != 1) FTreeList->StoreDefaultLayout(false);
  if (FTreeList->Loading()) return;
  FTreeList->ClearListNodes();
  CheckFixedBands();
  FTreeList->BandsChanged();
}

}  // namespace tvk
