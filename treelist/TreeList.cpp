#include "TreeList.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "Clipbrd.h"
#include "Files.h"
#include "ResStrings.h"
#include "TreeListRoutines.h"
#include "TreeListResources.h"
#include "XPTypes.h"
#include "dxUtils.h"

namespace tvk {

namespace {

WideString LoadTreeListText(UINT identifier) {
  TResStringRec rec(identifier);
  return LoadResString(&rec);
}

// Runs Work and always Finally, also when Work raises.
template <class W, class F>
void TryFinally(W&& work, F&& finally) {
  try {
    work();
  } catch (...) {
    finally();
    throw;
  }
  finally();
}

int AddressOrder(const void* a, const void* b) {
  auto x = reinterpret_cast<std::uintptr_t>(a), y = reinterpret_cast<std::uintptr_t>(b);
  return x < y ? -1 : (x > y ? 1 : 0);
}

// ASCII letters folded, nothing else.
int CompareAsciiCaseless(const WideString& a, const WideString& b) {
  auto fold = [](wchar_t c) { return (c >= L'a' && c <= L'z') ? wchar_t(c - 32) : c; };
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    wchar_t x = fold(a[i]), y = fold(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool VariantsEqual(const Variant& a, const Variant& b) {
  bool na = VarIsNull(a), nb = VarIsNull(b);
  if (na || nb) return na == nb;
  return VarCmp(const_cast<VARIANT*>(a.Ptr()), const_cast<VARIANT*>(b.Ptr()), LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
}

}  // namespace

void RaiseInvalidOperation(const WideString& message) { throw EInvaliddxTreeListOperation(message); }

WideString InvalidOwnerText() { return LoadTreeListText(IDS_dxTreeListInvalidOwner); }

// ---- TdxTreeListNode

TdxTreeListNode::TdxTreeListNode(TCustomdxTreeList* owner) : FOwner(owner) {
  if (!owner) RaiseInvalidOperation(InvalidOwnerText());
}

TdxTreeListNode::~TdxTreeListNode() {
  if (!FOwner) return;
  TCustomdxTreeList& owner = *FOwner;
  FDeleting = true;
  if (FData) owner.MoveNodeData(this, nullptr);  // leaves the owner's node-by-data map
  DeleteChildren();
  TdxTreeListNode* priorParent = nullptr;
  TdxTreeListNode* nextVisible = nullptr;
  bool wasLast = false, wasVisible = false;
  if (owner.FClearNodes) {
    owner.FMakeListNodeVisible = false;
  } else {
    priorParent = GetPriorParentNode();
    nextVisible = owner.GetNextVisible(this);
    wasLast = IsLast();
    wasVisible = IsVisible();
    owner.FMakeListNodeVisible = wasVisible;
    if (FParent && FParent->FDeleting) wasVisible = false;
  }
  if (FParent) {
    Detach();
  } else if (!owner.FClearNodes) {
    Detach();
  }
  FList.reset();
  owner.NodeDeleted(this, priorParent, wasVisible, wasLast, nextVisible);
}

TdxTreeListNodeList& TdxTreeListNode::SiblingList() const {
  return FParent ? *FParent->FList : FOwner->FNodeList;
}

void TdxTreeListNode::ChildListEmptied() {
  FList.reset();
  FHasChildren = FOwner->GetNodeHasChildren(this);
  FExpanded = false;
}

void TdxTreeListNode::Detach() {
  TdxTreeListNodeList& list = SiblingList();
  auto it = std::find(list.begin(), list.end(), this);
  if (it != list.end()) list.erase(it);
  if (FParent && FParent->FList && FParent->FList->empty()) FParent->ChildListEmptied();
}

TdxTreeListNode* TdxTreeListNode::AddChildFirst() {
  TdxTreeListNode* node = FOwner->CreateNode();
  node->FParent = this;
  if (!FList) FList = std::make_unique<TdxTreeListNodeList>();
  FList->insert(FList->begin(), node);
  SetHasChildren(true);
  FOwner->NodeInserted(node);
  return node;
}

TdxTreeListNode* TdxTreeListNode::InsertChild(TdxTreeListNode* beforeNode) {
  TdxTreeListNode* node = FOwner->CreateNode();
  node->FParent = this;
  if (!FList) {
    FList = std::make_unique<TdxTreeListNodeList>(1, node);
  } else if (beforeNode) {
    int index = IndexOf(beforeNode);
    FList->insert(index < 0 ? FList->end() : FList->begin() + index, node);
  } else {
    FList->push_back(node);
  }
  SetHasChildren(true);
  FOwner->NodeInserted(node);
  return node;
}

void TdxTreeListNode::DeleteChildren() {
  if (!FList) return;
  if (FOwner->FClearNodes) {
    std::unique_ptr<TdxTreeListNodeList> list = std::move(FList);
    for (TdxTreeListNode* child : *list) {
      child->FParent = nullptr;  // nothing left to leave
      delete child;
    }
    return;
  }
  while (Count() > 0) delete (*FList)[0];
}

void TdxTreeListNode::AddNodesToList(TdxTreeListNodeList& list) const {
  if (FList) list.insert(list.end(), FList->begin(), FList->end());
}

bool TdxTreeListNode::CanMove(TdxTreeListNode* destination, TdxTreeListNodeAttachMode mode) const {
  if (!destination) return false;
  if (destination == this && (mode == natlAddChild || mode == natlAddChildFirst || mode == natlInsert)) return false;
  return !destination->HasAsParent(this);
}

void TdxTreeListNode::MoveTo(TdxTreeListNode* destination, TdxTreeListNodeAttachMode mode) {
  if (!CanMove(destination, mode)) return;
  TCustomdxTreeList& owner = *FOwner;
  owner.BeginUpdate();
  TryFinally(
      [&] {
        Detach();
        FParent = nullptr;
        switch (mode) {
          case natlAdd:
          case natlAddFirst:
          case natlInsert: {
            TdxTreeListNode* parent = destination->FParent;
            if (parent && !parent->FList) parent->FList = std::make_unique<TdxTreeListNodeList>();
            TdxTreeListNodeList& list = parent ? *parent->FList : owner.FNodeList;
            int index = mode == natlAdd ? int(list.size()) : mode == natlAddFirst ? 0 : destination->Index();
            list.insert(list.begin() + index, this);
            FParent = parent;
            break;
          }
          case natlAddChild:
          case natlAddChildFirst:
            if (!destination->FList) destination->FList = std::make_unique<TdxTreeListNodeList>();
            destination->FList->insert(mode == natlAddChild ? destination->FList->end() : destination->FList->begin(),
                                       this);
            FParent = destination;
            destination->FHasChildren = true;
            break;
        }
        owner.FFocused = this;
        owner.MakeListNodes();
        MakeVisible();
      },
      [&] { owner.EndUpdate(); });
}

void TdxTreeListNode::SetExpanded(bool value) {
  if (!FHasChildren || value == FExpanded) return;
  TCustomdxTreeList& owner = *FOwner;
  bool allow = true;
  if (value)
    owner.DoExpanding(this, allow);
  else
    owner.DoCollapsing(this, allow);
  if (!allow) return;
  if (!value) {
    if (owner.FTopVisibleNode && owner.FTopVisibleNode->HasAsParent(this)) owner.SetTopVisibleNode(this);
    if (owner.FFocused && owner.FFocused->HasAsParent(this) && !owner.FocusCollapsingNode(this)) return;
  }
  FExpanded = value;
  if (owner.FLockUpdate == 0 && !owner.IsDestroying()) owner.MakeListNodes();
  owner.NodeChanged(this, true);
  if (value)
    owner.DoExpanded(this);
  else
    owner.DoCollapsed(this);
}

namespace {
void ExpandOrCollapse(TdxTreeListNode& node, bool expand, bool recurse) {
  node.SetExpanded(expand);
  if (!recurse) return;
  int count = node.Count();
  for (int i = 0; i < count; ++i)
    if (TdxTreeListNode* child = node.GetItem(i)) {
      if (child->HasChildren()) ExpandOrCollapse(*child, expand, true);
    }
}
}  // namespace

void TdxTreeListNode::Expand(bool recurse) {
  if (!FHasChildren) return;
  TCustomdxTreeList& owner = *FOwner;
  if (owner.FLockUpdate != 0) return ExpandOrCollapse(*this, true, recurse);
  owner.BeginUpdate();
  TryFinally([&] { ExpandOrCollapse(*this, true, recurse); }, [&] { owner.EndUpdate(); });
}

void TdxTreeListNode::Collapse(bool recurse) {
  if (!FHasChildren) return;
  TCustomdxTreeList& owner = *FOwner;
  if (owner.FLockUpdate != 0) return ExpandOrCollapse(*this, false, recurse);
  owner.BeginUpdate();
  TryFinally([&] { ExpandOrCollapse(*this, false, recurse); }, [&] { owner.EndUpdate(); });
}

void TdxTreeListNode::MakeVisible() { FOwner->MakeNodeVisible(this); }

TdxTreeListNode* TdxTreeListNode::GetItem(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return (*FList)[std::size_t(index)];
}

TdxTreeListNode* TdxTreeListNode::GetNextSibling() const {
  const TdxTreeListNodeList& list = SiblingList();
  auto it = std::find(list.begin(), list.end(), this);
  return (it == list.end() || it + 1 == list.end()) ? nullptr : *(it + 1);
}

TdxTreeListNode* TdxTreeListNode::GetPrevSibling() const {
  const TdxTreeListNodeList& list = SiblingList();
  auto it = std::find(list.begin(), list.end(), this);
  return (it == list.end() || it == list.begin()) ? nullptr : *(it - 1);
}

TdxTreeListNode* TdxTreeListNode::GetNext() const {
  if (Count() > 0) return GetItem(0);
  for (const TdxTreeListNode* node = this; node; node = node->FParent)
    if (TdxTreeListNode* next = node->GetNextSibling()) return next;
  return nullptr;
}

TdxTreeListNode* TdxTreeListNode::GetPrev() const {
  TdxTreeListNode* node = GetPrevSibling();
  if (!node) return FParent;
  while (node->Count() > 0) node = node->GetLastChild();
  return node;
}

TdxTreeListNode* TdxTreeListNode::GetNextNode() const { return FOwner->GetNextVisible(this); }

TdxTreeListNode* TdxTreeListNode::GetPriorNode() const {
  TCustomdxTreeList& owner = *FOwner;
  if (owner.IsFlatListValid()) {
    int index = owner.GetAbsoluteIndex(this);
    return index > 0 ? owner.FListRealNodes[std::size_t(index - 1)] : nullptr;
  }
  TdxTreeListNode* node = GetPrevSibling();
  if (!node) return FParent;
  while (node->FExpanded && node->Count() > 0) node = node->GetLastChild();
  return node;
}

TdxTreeListNode* TdxTreeListNode::GetPriorParentNode() const {
  TdxTreeListNode* prev = GetPrevSibling();
  return prev ? prev : FParent;
}

bool TdxTreeListNode::HasAsParent(const TdxTreeListNode* value) const {
  if (!value) return false;
  for (const TdxTreeListNode* node = FParent; node; node = node->FParent)
    if (node == value) return true;
  return false;
}

int TdxTreeListNode::IndexOf(const TdxTreeListNode* value) const {
  if (!FList) return -1;
  auto it = std::find(FList->begin(), FList->end(), value);
  return it == FList->end() ? -1 : int(it - FList->begin());
}

int TdxTreeListNode::AbsoluteIndex() const { return FOwner->GetAbsoluteIndex(this); }
int TdxTreeListNode::CountValues() const { return FOwner->GetValueCount(); }

void TdxTreeListNode::SetData(void* value) {
  if (!FOwner->CanSetNodeData()) return;
  if (value != FData) FOwner->MoveNodeData(this, value);
  FData = value;
}

bool TdxTreeListNode::Focused() const { return FOwner->FFocused == this; }

void TdxTreeListNode::SetFocused(bool value) {
  if (value == Focused()) return;
  FOwner->ChangeFocus(value ? this : nullptr, FOwner->FFocusedColumn, true);
}

void TdxTreeListNode::SetHasChildren(bool value) {
  if (value == FHasChildren) return;
  FHasChildren = value || Count() > 0;
  FOwner->NodeChanged(this, false);
}

int TdxTreeListNode::ImageIndex() const { return FOwner->GetNodeImageIndex(this); }
void TdxTreeListNode::SetImageIndex(int value) { FOwner->SetNodeImageIndex(this, value); }
int TdxTreeListNode::SelectedIndex() const { return FOwner->GetNodeSelectedIndex(this); }
void TdxTreeListNode::SetSelectedIndex(int value) { FOwner->SetNodeSelectedIndex(this, value); }
int TdxTreeListNode::StateIndex() const { return FOwner->GetNodeStateIndex(this); }
void TdxTreeListNode::SetStateIndex(int value) { FOwner->SetNodeStateIndex(this, value); }

int TdxTreeListNode::Index() const {
  const TdxTreeListNodeList& list = SiblingList();
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

bool TdxTreeListNode::IsLast() const {
  const TdxTreeListNodeList& list = SiblingList();
  return !list.empty() && list.back() == this;
}

bool TdxTreeListNode::IsVisible() const { return FOwner->IsNodeVisible(this); }

int TdxTreeListNode::Level() const {
  int level = 0;
  for (const TdxTreeListNode* node = FParent; node; node = node->FParent) ++level;
  return level;
}

bool TdxTreeListNode::Selected() const {
  return FOwner->IsMultiSelect() ? FOwner->IsNodeSelected(this) : Focused();
}
void TdxTreeListNode::SetSelected(bool value) { FOwner->SelectNode(this, value); }
WideString TdxTreeListNode::GetString(int column) const { return FOwner->GetNodeString(this, column); }
void TdxTreeListNode::SetString(int column, const WideString& text) { FOwner->SetNodeString(this, column, text); }
Variant TdxTreeListNode::GetValue(int column) const { return FOwner->GetNodeVariant(this, column); }
void TdxTreeListNode::SetValue(int column, const Variant& value) { FOwner->SetNodeVariant(this, column, value); }

// ---- comparisons

int ComparePointers(const void* p1, const void* p2) { return AddressOrder(p1, p2); }

int CompareFirstPointers(const void* r1, const void* r2) {
  const void* a = nullptr;
  const void* b = nullptr;
  std::memcpy(&a, r1, sizeof a);
  std::memcpy(&b, r2, sizeof b);
  return AddressOrder(a, b);
}

int CompareNodePositions(const TdxTreeListNode* a, const TdxTreeListNode* b) {
  if (!a && !b) return 0;
  if (!a) return 1;
  if (!b) return -1;
  if (a == b) return 0;
  if (a->HasAsParent(b)) return 1;
  if (b->HasAsParent(a)) return -1;
  int la = a->Level(), lb = b->Level();
  for (; la > lb; --la) a = a->Parent();
  for (; lb > la; --lb) b = b->Parent();
  while (a->Parent() != b->Parent()) {
    a = a->Parent();
    b = b->Parent();
  }
  return a->Index() - b->Index();
}

int CompareNodeTexts(const TdxTreeListNode* node1, const TdxTreeListNode* node2) {
  int count = node1->CountValues();
  for (int i = 0; i < count; ++i)
    if (int r = CompareAsciiCaseless(node1->GetString(i), node2->GetString(i))) return r;
  return AddressOrder(node1, node2);
}

int CompareSortKeys(const TNodeVariant* k1, const TNodeVariant* k2) {
  if (!k1 || !k2) return 0;
  if (VariantsEqual(k1->Value, k2->Value)) return CompareSortKeys(k1->PNext, k2->PNext);
  int result;
  bool n1 = VarIsNull(k1->Value), n2 = VarIsNull(k2->Value);
  if (n1 && !n2)
    result = -1;
  else if (!n1 && n2)
    result = 1;
  else
    result = AlphaNumericCompareText(VarToStr(k1->Value), VarToStr(k2->Value));
  if (result == 0) return CompareSortKeys(k1->PNext, k2->PNext);
  return k1->Desc ? -result : result;
}

int CompareSortItems(const TNodeVariant* i1, const TNodeVariant* i2) {
  if (i1 == i2) return 0;
  int result = CompareSortKeys(i1, i2);
  return result != 0 ? result : CompareNodeTexts(i1->Node, i2->Node);
}

namespace {
// The first key's order under the ANSI rule (values known to differ).
int AnsiKeyOrder(const TNodeVariant* k1, const TNodeVariant* k2) {
  int result;
  if (k1->Node->Owner()->IsAnsiSort() && VarIsStr(k1->Value)) {
    WideString a = VarToStr(k1->Value), b = VarToStr(k2->Value);
    result = CompareStringW(LOCALE_USER_DEFAULT, 0, a.c_str(), int(a.size()), b.c_str(), int(b.size())) - CSTR_EQUAL;
  } else {
    HRESULT order = VarCmp(const_cast<VARIANT*>(k1->Value.Ptr()), const_cast<VARIANT*>(k2->Value.Ptr()),
                           LOCALE_USER_DEFAULT, 0);
    result = order == VARCMP_LT ? -1 : 1;
  }
  return k1->Desc ? -result : result;
}
}  // namespace

int CompareAnsiSortKeys(const TNodeVariant* k1, const TNodeVariant* k2) {
  if (!k1 || !k2) return 0;
  if (VariantsEqual(k1->Value, k2->Value)) return CompareAnsiSortKeys(k1->PNext, k2->PNext);
  return AnsiKeyOrder(k1, k2);
}

int CompareAnsiSortItems(const TNodeVariant* i1, const TNodeVariant* i2) {
  if (!VariantsEqual(i1->Value, i2->Value)) return AnsiKeyOrder(i1, i2);
  int result = CompareAnsiSortKeys(i1->PNext, i2->PNext);
  return result != 0 ? result : AddressOrder(i1->Node, i2->Node);
}

int CompareByOnCompare(const TNodeVariant* i1, const TNodeVariant* i2) {
  int compare = 0;
  TCustomdxTreeList* owner = i1->Node->Owner();
  if (owner->OnCompare) owner->OnCompare(owner, i1->Node, i2->Node, compare);
  return compare;
}

// ---- TCustomdxTreeList

TCustomdxTreeList::TCustomdxTreeList(TComponent* owner) : TCustomdxContainer(owner) {
  SetBounds(Left(), Top(), 250, 150);
  SetColor(clWindow);
  SetParentColor(false);
  SetTabStop(true);
  // Clicks and double clicks are the mouse handlers' to decide.
  SetControlStyle(ControlStyle() & ~csClickEvents);
  FPreviewFont.SetColor(clBlue);
  FImageChangeLink->OnChange = [this](TObject* sender) { ImageListChange(sender); };
  FStateChangeLink->OnChange = [this](TObject* sender) { ImageListChange(sender); };
  // The title fonts follow the control's font until one is set on its own.
  FBandFont.Assign(Font());
  FHeaderFont.Assign(Font());
  for (TFont* font : {&FBandFont, &FHeaderFont, &FPreviewFont})
    font->OnChange = [this](TObject*) { TitleFontChanged(); };
}

TCustomdxTreeList::~TCustomdxTreeList() { PrepareDestroy(); }

void TCustomdxTreeList::PrepareDestroy() {
  if (FDestroyPrepared) return;
  FDestroyPrepared = true;
  Destroying();
  DestroyCustomizingForm();
  if (HandleAllocated()) DestroyHandle();
  SetParent(nullptr);
  CancelEditor();
  FTrackNodeData = false;
  FNodesByData.reset();
  ClearListNodesNow();
  FClearNodes = true;
  ClearNodes();
}

void TCustomdxTreeList::Loaded() {
  TCustomdxContainer::Loaded();
  LayoutChanged();
}

// --- locks

void TCustomdxTreeList::BeginUpdate() {
  ++FLockUpdate;
  if (FState == tsNodeDown) FlagEditor = true;
  // An open editor posts its value and leaves without taking the focus back.
  bool editing = FState == tsEditing;
  SetState(tsNormal);
  if (editing) {
    try {
      HideInplaceEditor(false);
    } catch (...) {
      --FLockUpdate;
      throw;
    }
  }
  FInplaceColumn = -1;
  FInplaceNode = nullptr;
  ClearListNodes();
  BeginSelection();
}

void TCustomdxTreeList::EndUpdate() {
  --FLockUpdate;
  LayoutChanged();
  EndSelection();
}

void TCustomdxTreeList::CancelUpdate() {
  --FLockUpdate;
  EndSelection();
}

void TCustomdxTreeList::EndPaintUpdate() {
  if (--FLockPaintUpdate == 0) Invalidate();
}

void TCustomdxTreeList::BeginSelection() {
  if (FLockSelection++ == 0) FPrevSelectedCount = SelectedCount();
}

void TCustomdxTreeList::EndSelection() {
  if (--FLockSelection == 0 && !IsDestroying() && SelectedCount() != FPrevSelectedCount) SelectedCountChanged();
}

void TCustomdxTreeList::SelectedCountChanged() {
  if (FLockSelection == 0 && !IsDestroying() && OnSelectedCountChange) OnSelectedCountChange(this);
}

// --- top-level nodes

TdxTreeListNode* TCustomdxTreeList::GetItem(int index) const {
  return index < 0 || index >= Count() ? nullptr : FNodeList[std::size_t(index)];
}

int TCustomdxTreeList::IndexOf(const TdxTreeListNode* node) const {
  auto it = std::find(FNodeList.begin(), FNodeList.end(), node);
  return it == FNodeList.end() ? -1 : int(it - FNodeList.begin());
}

void TCustomdxTreeList::NodeListInsert(TdxTreeListNodeList& list, int index, TdxTreeListNode* node) {
  list.insert(list.begin() + index, node);
}

TdxTreeListNode* TCustomdxTreeList::Add() { return Insert(nullptr); }

TdxTreeListNode* TCustomdxTreeList::AddFirst() {
  TdxTreeListNode* node = CreateNode();
  NodeListInsert(FNodeList, 0, node);
  NodeInserted(node);
  return node;
}

TdxTreeListNode* TCustomdxTreeList::Insert(TdxTreeListNode* beforeNode) {
  TdxTreeListNode* node = CreateNode();
  int index = IndexOf(beforeNode);  // a node of another level appends
  NodeListInsert(FNodeList, index < 0 ? Count() : index, node);
  NodeInserted(node);
  return node;
}

void TCustomdxTreeList::ClearNodes() {
  bool destroying = IsDestroying();
  if (!destroying) BeginUpdate();
  bool oldClearListNodesFlag = FClearListNodesFlag;
  TryFinally(
      [&] {
        FClearNodes = true;
        ClearListNodes();
        FClearListNodesFlag = true;
        ClearSelection();
        SetTopVisibleNode(nullptr);
        FFocused = nullptr;
        FInplaceColumn = -1;
        FInplaceNode = nullptr;
        FSelectionAnchor = nullptr;
        FSelecting = false;
        OldFocusedNode = nullptr;
        FDragNode = nullptr;
        ForgetMouseNode(nullptr);
        // Each node frees its subtree without per-node repair; the list is emptied after.
        TdxTreeListNodeList nodes = FNodeList;
        for (TdxTreeListNode* node : nodes) delete node;
        FNodeList.clear();
        TdxTreeListNodeList hidden = std::move(FHiddenList);
        FHiddenList.clear();
        for (TdxTreeListNode* node : hidden) delete node;
      },
      [&] {
        FClearListNodesFlag = oldClearListNodesFlag;
        FClearNodes = false;
        if (!destroying) EndUpdate();
      });
}

void TCustomdxTreeList::FullExpand() {
  if (FNodeList.empty()) return;
  BeginUpdate();
  TryFinally(
      [&] {
        TdxTreeListNodeList nodes = FNodeList;
        for (TdxTreeListNode* node : nodes) node->Expand(true);
      },
      [&] { EndUpdate(); });
}

void TCustomdxTreeList::FullCollapse() {
  if (FNodeList.empty()) return;
  BeginUpdate();
  TryFinally(
      [&] {
        TdxTreeListNodeList nodes = FNodeList;
        for (TdxTreeListNode* node : nodes) node->Collapse(true);
      },
      [&] { EndUpdate(); });
}

void TCustomdxTreeList::AdjustColumnsWidth() {
  if (IsAutoWidth()) return;
  BeginUpdate();
  TryFinally(
      [&] {
        TryFinally(
            [&] {
              FOptions |= OptionBit(aoAutoWidth);
              MakeBandHeaderList();
              StabilizeAutoWidth();
            },
            [&] { FOptions &= ~OptionBit(aoAutoWidth); });
      },
      [&] { EndUpdate(); });
}

void TCustomdxTreeList::StabilizeAutoWidth() {
  // Sizing of bands and headers (SetHeaderWidthAuto, SetBandWidthAuto) arrives
  // with the band and header sizing; the widths fitted above are kept by
  // MakeBandHeaderList.
}

// --- overridable operations

bool TCustomdxTreeList::IsClickEdit(int column, TdxTreeListNode* node, int x, int y) {
  (void)column; (void)node; (void)x; (void)y;
  return false;
}

void TCustomdxTreeList::DoCollapsed(TdxTreeListNode* node) { if (OnCollapsed) OnCollapsed(this, node); }
void TCustomdxTreeList::DoEdited(TdxTreeListNode* node) { if (OnEdited) OnEdited(this, node); }
void TCustomdxTreeList::DoExpanded(TdxTreeListNode* node) { if (OnExpanded) OnExpanded(this, node); }
void TCustomdxTreeList::DoCollapsing(TdxTreeListNode* node, bool& allow) {
  if (OnCollapsing) OnCollapsing(this, node, allow);
}
void TCustomdxTreeList::DoEditing(TdxTreeListNode* node, bool& allow) { if (OnEditing) OnEditing(this, node, allow); }
void TCustomdxTreeList::DoExpanding(TdxTreeListNode* node, bool& allow) {
  if (OnExpanding) OnExpanding(this, node, allow);
}
void TCustomdxTreeList::DoChangeColumn(TdxTreeListNode* node, int column) {
  if (OnChangeColumn) OnChangeColumn(this, node, column);
}
void TCustomdxTreeList::DoChangeLeftCoord() { if (OnChangeLeftCoord) OnChangeLeftCoord(this); }
void TCustomdxTreeList::DoChangeNode(TdxTreeListNode* oldNode, TdxTreeListNode* node) {
  if (OnChangeNode) OnChangeNode(this, oldNode, node);
}
void TCustomdxTreeList::DoEditChange(TObject* editor) { if (OnEditChange) OnEditChange(editor); }
void TCustomdxTreeList::DoEditValidate(TObject* editor, WideString& errorText, bool& accept) {
  if (OnEditValidate) OnEditValidate(editor, errorText, accept);
}
void TCustomdxTreeList::DoBeginDragNode(TdxTreeListNode* node) { if (OnBeginDragNode) OnBeginDragNode(this, node); }

void TCustomdxTreeList::SetTopVisibleNode(TdxTreeListNode* node) {
  FTopVisibleNode = node;
  if (OnChangeTopVisibleNode) OnChangeTopVisibleNode(this);
}

bool TCustomdxTreeList::FocusCollapsingNode(TdxTreeListNode* node) {
  ChangeFocus(node, FFocusedColumn, false);
  return true;
}

bool TCustomdxTreeList::IsEditButtonHit(TdxTreeListNode* node, int column, bool focused) {
  (void)node; (void)column; (void)focused;
  return IsShowButtonAlways();
}

int TCustomdxTreeList::GetHeaderDropDownState(int column) {
  (void)column;
  return IsHeaderDropDownButtons() ? 1 : 0;
}

WideString TCustomdxTreeList::GetNodeDragText(TdxTreeListNode* node, int column) {
  WideString text;
  GetCellText(node, column, text);
  return text;
}

void TCustomdxTreeList::GetNodeSortValue(TdxTreeListNode* node, int column, Variant& value) {
  (void)node; (void)column;
  value = Variant();
}

// The node data lives in descendants.
TdxTreeListNode* TCustomdxTreeList::CreateNode() { AbstractError(); }
int TCustomdxTreeList::GetNodeImageIndex(const TdxTreeListNode*) { AbstractError(); }
int TCustomdxTreeList::GetNodeSelectedIndex(const TdxTreeListNode*) { AbstractError(); }
int TCustomdxTreeList::GetNodeStateIndex(const TdxTreeListNode*) { AbstractError(); }
Variant TCustomdxTreeList::GetNodeVariant(const TdxTreeListNode*, int) { AbstractError(); }
WideString TCustomdxTreeList::GetNodeString(const TdxTreeListNode*, int) { AbstractError(); }
void TCustomdxTreeList::SetNodeImageIndex(TdxTreeListNode*, int) { AbstractError(); }
void TCustomdxTreeList::SetNodeSelectedIndex(TdxTreeListNode*, int) { AbstractError(); }
void TCustomdxTreeList::SetNodeStateIndex(TdxTreeListNode*, int) { AbstractError(); }
void TCustomdxTreeList::SetNodeString(TdxTreeListNode*, int, const WideString&) { AbstractError(); }
void TCustomdxTreeList::SetNodeVariant(TdxTreeListNode*, int, const Variant&) { AbstractError(); }

bool TCustomdxTreeList::IsImmediateEditor(int column) {
  bool immediate = Op(aoImmediateEditor);
  if (column >= 0 && OnImmediateEdit) OnImmediateEdit(this, column, immediate);
  return immediate;
}

bool TCustomdxTreeList::InplaceEditWantTabs() { return Op(aoTabs) && GetAsyncKeyState(VK_CONTROL) >= 0; }

TdxPopupBorderStyle TCustomdxTreeList::GetDefaultPopupBorderStyle(TdxEditBorderStyle) {
  return FLookAndFeel != lfStandard ? pbSingle : pbFrame3D;
}

void TCustomdxTreeList::SetDefaultRowHeight(int value) {
  if (value == FRowHeight) return;
  FRowHeight = value;
  FRowHeightAssigned = true;
  LayoutChanged();
}

int TCustomdxTreeList::GetVisibleHeaderCount() {
  int count = 0;
  for (int i = 0, n = GetValueCount(); i < n; ++i)
    if (IsHeaderVisible(i)) ++count;
  return count;
}

// ---- the flat list of visible nodes

bool TCustomdxTreeList::IsFlatListValid() const { return !FListNodes.empty() && !IsDestroying(); }

bool TCustomdxTreeList::IsNodeVisible(const TdxTreeListNode* node) const {
  if (!node) return false;
  for (const TdxTreeListNode* p = node->Parent(); p; p = p->Parent())
    if (!p->Expanded()) return false;
  return true;
}

TdxTreeListNode* TCustomdxTreeList::GetNextVisible(const TdxTreeListNode* node) const {
  if (!node) return nullptr;
  if (IsFlatListValid()) {
    int index = GetAbsoluteIndex(node);
    if (index >= 0) return GetAbsoluteNode(index + 1);
  }
  if (node->Expanded() && node->Count() > 0) return node->GetItem(0);
  for (; node; node = node->Parent())
    if (TdxTreeListNode* next = node->GetNextSibling()) return next;
  return nullptr;
}

int TCustomdxTreeList::FindListEntry(const TdxTreeListNode* node) const {
  std::size_t low = 0, high = FListNodes.size();
  while (low < high) {
    std::size_t mid = (low + high) / 2;
    ++FListStats.Comparisons;
    int order = ComparePointers(FListNodes[mid], node);
    if (order == 0) return int(mid);
    if (order < 0)
      low = mid + 1;
    else
      high = mid;
  }
  return -1;
}

void TCustomdxTreeList::MakeListNodes() {
  if (FMakeListNode == nullptr) {
    ++FListStats.FullRebuilds;
    FListRealNodes.clear();
    struct TPair {
      TdxTreeListNode* Node;
      int Index;
    };
    std::vector<TPair> pairs;
    std::vector<TdxTreeListNode*> stack(FNodeList.rbegin(), FNodeList.rend());
    while (!stack.empty()) {
      TdxTreeListNode* node = stack.back();
      stack.pop_back();
      pairs.push_back({node, int(FListRealNodes.size())});
      FListRealNodes.push_back(node);
      if (node->Expanded() && node->FList) stack.insert(stack.end(), node->FList->rbegin(), node->FList->rend());
    }
    std::sort(pairs.begin(), pairs.end(),
              [](const TPair& a, const TPair& b) { return CompareFirstPointers(&a, &b) < 0; });
    FListNodes.resize(pairs.size());
    FListIndexes.resize(pairs.size());
    for (std::size_t i = 0; i < pairs.size(); ++i) {
      FListNodes[i] = pairs[i].Node;
      FListIndexes[i] = pairs[i].Index;
    }
  } else if (FMakeListNodeVisible && IsFlatListValid()) {
    TdxTreeListNode* node = FMakeListNode;
    if (FNodeDeleteing) {
      int entry = FindListEntry(node);
      if (entry < 0) return;
      int index = FListIndexes[std::size_t(entry)];
      for (int& i : FListIndexes)
        if (i >= index) --i;
      FListIndexes.erase(FListIndexes.begin() + entry);
      FListNodes.erase(FListNodes.begin() + entry);
      FListRealNodes.erase(FListRealNodes.begin() + index);
      if (TdxTreeListNode* parent = node->Parent(); parent && parent->Count() > 0)
        parent->GetLastChild()->FRowHeight = 0;
    } else {
      const TdxTreeListNode* follower = nullptr;
      for (const TdxTreeListNode* n = node; n && !follower; n = n->Parent()) follower = n->GetNextSibling();
      int index = follower ? GetAbsoluteIndex(follower) : int(FListRealNodes.size());
      if (index < 0) index = int(FListRealNodes.size());
      for (int& i : FListIndexes)
        if (i >= index) ++i;
      auto at = std::lower_bound(FListNodes.begin(), FListNodes.end(), node, [this](TdxTreeListNode* a, TdxTreeListNode* b) {
        ++FListStats.Comparisons;
        return ComparePointers(a, b) < 0;
      });
      std::size_t position = std::size_t(at - FListNodes.begin());
      FListNodes.insert(at, node);
      FListIndexes.insert(FListIndexes.begin() + std::ptrdiff_t(position), index);
      FListRealNodes.insert(FListRealNodes.begin() + index, node);
      if (TdxTreeListNode* parent = node->Parent(); parent && node->IsLast() && parent->Count() > 1)
        parent->GetItem(parent->Count() - 2)->FRowHeight = 0;
    }
  } else {
    return;
  }
  if (!FClearListNodesFlag && IsRowAutoHeight()) ResetNodeRowHeights();
  FMakeListNodesFlag = true;
}

void TCustomdxTreeList::MakeListNode(TdxTreeListNode* node, bool deleting) {
  FMakeListNode = node;
  FMakeListNodeVisible = FMakeListNodeVisible || IsNodeVisible(node);
  FNodeDeleteing = deleting;
  TryFinally([&] { MakeListNodes(); },
             [&] {
               FMakeListNode = nullptr;
               FMakeListNodeVisible = false;
             });
}

void TCustomdxTreeList::ClearListNodesNow() {
  FMakeListNodesFlag = false;
  FListRealNodes.clear();
  FListNodes.clear();
  FListIndexes.clear();
  FFocusedAbsoluteIndex = -1;
}

void TCustomdxTreeList::ClearListNodes() {
  if (FClearListNodesFlag) return;
  ClearListNodesNow();
  ResetNodeRowHeights();
}

void TCustomdxTreeList::ResetNodeRowHeights() {
  if (FClearNodes || IsDestroying()) return;
  for (TdxTreeListNode* node = TopNode(); node; node = node->GetNext()) node->FRowHeight = 0;
}

int TCustomdxTreeList::AbsoluteCount() const {
  if (IsFlatListValid()) return int(FListRealNodes.size());
  int count = 0;
  std::vector<const TdxTreeListNode*> stack(FNodeList.begin(), FNodeList.end());
  while (!stack.empty()) {
    const TdxTreeListNode* node = stack.back();
    stack.pop_back();
    ++count;
    if (node->Expanded() && node->FList) stack.insert(stack.end(), node->FList->begin(), node->FList->end());
  }
  return count;
}

int TCustomdxTreeList::WalkAbsoluteIndex(const TdxTreeListNode* node) const {
  int index = 0;
  for (const TdxTreeListNode* n = TopNode(); n; n = GetNextVisible(n), ++index)
    if (n == node) return index;
  return -1;
}

TdxTreeListNode* TCustomdxTreeList::WalkAbsoluteNode(int index) const {
  if (index < 0) return nullptr;
  TdxTreeListNode* n = TopNode();
  for (; n && index > 0; --index) n = GetNextVisible(n);
  return n;
}

int TCustomdxTreeList::GetAbsoluteIndex(const TdxTreeListNode* node) const {
  if (!node || FNodeList.empty()) return -1;
  if (IsFlatListValid()) {
    int entry = FindListEntry(node);
    return entry < 0 ? -1 : FListIndexes[std::size_t(entry)];
  }
  return WalkAbsoluteIndex(node);
}

TdxTreeListNode* TCustomdxTreeList::GetAbsoluteNode(int index) const {
  if (IsFlatListValid())
    return index >= 0 && index < int(FListRealNodes.size()) ? FListRealNodes[std::size_t(index)] : nullptr;
  return WalkAbsoluteNode(index);
}

void TCustomdxTreeList::LayoutChanged() {
  if (FLockUpdate != 0) return;
  ++FLockUpdate;
  TryFinally(
      [&] {
        ++FListStats.LayoutRefreshes;
        CalcLayoutMetrics();
      },
      [&] { --FLockUpdate; });
}

// --- node notifications

void TCustomdxTreeList::NodeInserted(TdxTreeListNode* node) {
  // A refused editor value is raised once the node is in the visible list and painted.
  std::exception_ptr refused;
  try {
    CancelEditor();
  } catch (...) {
    refused = std::current_exception();
  }
  if (!FTopVisibleNode) SetTopVisibleNode(node);
  if (!FFocused) FFocused = FTopVisibleNode;
  if (FLockUpdate == 0) {
    TdxTreeListNode* prior = node->GetPriorParentNode();
    if (!Loading() && !IsDestroying()) MakeListNode(node, false);
    NodeChanged(prior ? prior : node, true);
  }
  if (refused) std::rethrow_exception(refused);
}

void TCustomdxTreeList::NodeDeleted(TdxTreeListNode* node, TdxTreeListNode* priorParent, bool wasVisible,
                                    bool wasLast, TdxTreeListNode* nextVisible) {
  (void)wasLast;
  if (OnDeletion) OnDeletion(this, node);
  if (FClearNodes) return;
  if (FInplaceNode == node) FInplaceNode = nullptr;
  if (IsNodeSelected(node)) SelectNode(node, false);
  bool destroying = IsDestroying();
  if (FNodeList.empty()) {
    if (!destroying && !FClearListNodesFlag) ClearListNodes();
    ResetNodeReferences();
    if (FLockUpdate == 0 && !destroying) {
      UpdateScrollBars();
      Invalidate();
    }
    return;
  }
  TdxTreeListNode* n = nullptr;
  if (FTopVisibleNode == node) {
    SetTopVisibleNode(priorParent);
    if (!FTopVisibleNode) SetTopVisibleNode(nextVisible);
    n = FTopVisibleNode;
  }
  if (FFocused == node) {
    FFocused = priorParent ? priorParent : nextVisible;
    if (!n) n = FFocused;
  }
  if (OldFocusedNode == node) OldFocusedNode = nullptr;
  if (FSelectionAnchor == node) FSelectionAnchor = priorParent ? priorParent : nextVisible;
  if (FDragNode == node) FDragNode = nullptr;
  ForgetMouseNode(node);
  DiscardEditor();  // a node's destruction must not raise
  if (FMakeListNodeVisible && FLockUpdate == 0 && !destroying) MakeListNode(node, true);
  if (wasVisible) {
    TdxTreeListNode* changed = n ? n : priorParent ? priorParent : nextVisible;
    if (changed) NodeChanged(changed, true);
  }
}

void TCustomdxTreeList::ResetNodeReferences() {
  SetTopVisibleNode(nullptr);
  FFocused = nullptr;
  FInplaceNode = nullptr;
  FSelectionAnchor = nullptr;
  OldFocusedNode = nullptr;
  FDragNode = nullptr;
  ForgetMouseNode(nullptr);
  FInplaceColumn = -1;
  FSelecting = false;
}

void TCustomdxTreeList::NodeChanged(TdxTreeListNode* node, bool structural) {
  if (!node || node->Deleting() || FLockUpdate != 0 || IsDestroying() || !node->IsVisible()) return;
  RECT r;
  if (structural) {
    UpdateScrollBars();
    CorrectPositions();
    GetNodeRowRectToBottom(node, r);
    InvalidateRows(r, true);
  } else {
    GetNodeRowRect(node, r);
    InvalidateRows(r, false);
  }
}

void TCustomdxTreeList::InvalidateRows(const RECT& r, bool erase) {
  if (HandleAllocated() && r.left >= 0) InvalidateRect(Handle(), &r, erase);
}

RECT TCustomdxTreeList::CellsRect() {
  RECT r;
  GetClientAreaRect(r);
  r.top += FGroupPanelHeight + (FShowBands ? FBandHeight : 0) + (FShowHeaders ? FHeaderHeight : 0);
  return r;
}

void TCustomdxTreeList::GetCellsArea(RECT& rect) {
  rect = CellsRect();
  if (FShowIndicator) rect.left -= FIndicatorWidth;
}

void TCustomdxTreeList::GetNodeRowRect(TdxTreeListNode* node, RECT& rect) {
  rect = RECT{-1, -1, -1, -1};
  if (!HandleAllocated()) return;
  RECT cells = CellsRect();
  int top = cells.top;
  for (TdxTreeListNode* n = FTopVisibleNode; n && top < cells.bottom; n = GetNextVisible(n)) {
    int height = GetRowHeight(n, FRowHeight, false);
    if (n == node) {
      rect = RECT{FShowIndicator ? cells.left - FIndicatorWidth : cells.left, top, cells.right, top + height};
      return;
    }
    top += height;
  }
}

void TCustomdxTreeList::GetNodeRowRectToBottom(TdxTreeListNode* node, RECT& rect) {
  GetNodeRowRect(node, rect);
  if (rect.top >= 0) rect.bottom = CellsRect().bottom;
}

// --- focus

void TCustomdxTreeList::ChangeFocus(TdxTreeListNode* node, int column, bool makeVisible) {
  if (!node) return;
  HideEditor();
  FFocusedAbsoluteIndex = -1;
  TdxTreeListNode* oldNode = FFocused;
  int oldColumn = FFocusedColumn;
  auto finish = [&] {
    if (makeVisible && FFocused) FFocused->MakeVisible();
    bool nodeChanged = FFocused != oldNode, columnChanged = FFocusedColumn != oldColumn;
    if ((nodeChanged && FLockSearching == 0) || columnChanged) EndSearch();
    if (nodeChanged) DoChangeNode(oldNode, FFocused);
    if (columnChanged) DoChangeColumn(FFocused, FFocusedColumn);
  };
  if (FLockUpdate != 0) {
    FFocused = node;
    FFocusedColumn = column;
    finish();
    return;
  }
  TryFinally(
      [&] {
        bool rowSelect = IsRowSelect();
        if (node != oldNode || (column != oldColumn && !rowSelect)) {
          RECT r;
          if (node != oldNode || rowSelect) {
            if (!rowSelect) {
              FFocusedColumn = column;
              MakeColumnVisible(GetFocusedAbsoluteIndex(column));
            }
            GetNodeRowRect(oldNode, r);
            InvalidateRows(r, false);
            FFocused = node;
            GetNodeRowRect(node, r);
            InvalidateRows(r, false);
            if (IsShowNewItemRow() && FNewItemRowActive) {
              FNewItemRowActive = false;
              Invalidate();
            }
          } else {
            MakeColumnVisible(GetFocusedAbsoluteIndex(column));
            GetNodeRowRect(node, r);  // the cells of the row
            InvalidateRows(r, false);
            FFocusedColumn = column;
          }
        }
      },
      finish);
}

void TCustomdxTreeList::SetFocusedNumber(int value) {
  if (FNodeList.empty() || value == FocusedNumber()) return;
  value = std::max(0, std::min(value, AbsoluteCount() - 1));
  if (value != FocusedNumber()) ChangeFocus(GetAbsoluteNode(value), FFocusedColumn, true);
}

void TCustomdxTreeList::SetState(TdxTreeListState value) {
  TdxTreeListState old = FState;
  FState = value;
  if (value == tsEditing) {
    if (FInplaceEdit) FInplaceEdit->Deselect();
    EndSearch();
  }
  if (value != tsNormal || !(ComponentState() & csDesigning)) return;
  switch (old) {
    case tsColumnSizing: case tsColumnDragging: case tsColumnDown: case tsBandSizing: case tsBandDragging:
    case tsBandPanelSizing: case tsHeaderPanelSizing: case tsRowSizing:
      // A sized or moved band or column changed the form being designed.
      if (TCustomForm* form = GetParentForm(this); form && form->Designer()) form->Designer()->Modified();
      break;
    default:
      break;
  }
}

void TCustomdxTreeList::GetHeaderLine(WideString& text) {
  text.clear();
  for (int i = 0, n = GetVisibleColumnCount(); i < n; ++i) {
    WideString caption;
    GetHeaderCaption(GetFocusedAbsoluteIndex(i), caption);
    if (i > 0) text += L'\t';
    text += caption;
  }
  text += L"\r\n";
}

void TCustomdxTreeList::GetNodeLine(TdxTreeListNode* node, WideString& text) {
  text.clear();
  if (IsGroupNode(node)) {
    text = GetNodeString(node, 0);
    return;
  }
  for (int i = 0, n = GetVisibleColumnCount(); i < n; ++i) {
    if (i > 0) text += L'\t';
    text += GetNodeString(node, GetFocusedAbsoluteIndex(i));
  }
}

void TCustomdxTreeList::UpdateNow() { UpdateWindow(Handle()); }

// ---- measures

bool TCustomdxTreeList::IsRowAutoHeightActive() {
  return !IsPreview() && GetHeaderPanelRowCount() == 1 && IsRowAutoHeight();
}

int TCustomdxTreeList::GetNodeImageIndent(TdxTreeListNode* node) {
  if (!node) return 0;
  // Tree lines and buttons take one indent per level (and one for the root).
  return (node->Level() + (FShowRoot ? 1 : 0)) * FIndent;
}

int TCustomdxTreeList::GetRowHeight(TdxTreeListNode* node, int lineHeight, bool noCache) {
  if (UseRowHeightCache() && !noCache && node && node->FRowHeight != 0) return node->FRowHeight;
  if (node) node->FRowLineCount = 0;
  bool preview = IsPreview();
  int p = preview ? GetPreviewLineCount(node) : 0;
  int h = FShowGrid ? GetRowSeparatorLineWidth() : 0;
  int lines = 0;
  if (node && IsRowAutoHeightActive()) {
    int l = lineHeight;
    lines = GetRowLineCount(node, l);
    if (lines > 1 && l == lineHeight) lineHeight += (lines - 1) * FTextHeight;
    lineHeight = std::max(lineHeight, l);
  }
  bool bothGrids = FShowGrid && FShowPreviewGrid;
  bool group = node && IsGroupNode(node);
  if (group) {
    h = lineHeight + h;
  } else {
    h += GetHeaderPanelRowCount() * lineHeight + p * FDescTextHeight + ((p > 0 && bothGrids) ? 1 : 0);
  }
  if (!FShowGrid && node && node->Count() > 0 && FPaintStyle == psOutlook) h += 1;
  if (p > 0 && !group) h += 2;
  if (bothGrids) h -= 1;
  h += FFooterRowNodeHeight * GetNodeFooterCount(node);
  if (TImageList* images = GetNodeImages(node)) h = std::max(h, images->Height());
  if (!noCache && node) {
    node->FRowHeight = h;
    node->FRowLineCount = lines;
  }
  return h;
}

int TCustomdxTreeList::GetRowLineCount(TdxTreeListNode* node, int& lineHeight) {
  if (node->FRowHeight != 0 && node->FRowLineCount != 0) return node->FRowLineCount;
  if (IsGroupNode(node)) return 1;
  bool bothGrids = FShowGrid && FShowPreviewGrid;
  bool invert = IsInvertSelect();
  int result = -1;
  int largest = lineHeight;
  std::vector<int> headers;
  for (int i = 0, n = GetValueCount(); i < n; ++i)
    if (IsHeaderVisible(i)) headers.push_back(i);
  for (std::size_t k = 0; k < headers.size(); ++k) {
    int a = headers[k];
    WideString text;
    GetCellText(node, a, text);
    int w = GetHeaderWidth(a);
    if (k == 0) w -= GetNodeImageIndent(node);
    if (invert && (k == 0 || k + 1 == headers.size())) w -= 1;
    if (bothGrids) w -= 1;
    int h = lineHeight, count = 0;
    if (ColumnCalcLineCount(node, a, h, count, bothGrids, invert, FMaxRowLineCount, FTextHeight, w, text)) {
      if (bothGrids) h += 1;
      if (invert) h += 2;
    }
    largest = std::max(largest, h);
    result = std::max(result, count);
  }
  lineHeight = largest;
  return result;
}

bool TCustomdxTreeList::ColumnCalcLineCount(TdxTreeListNode*, int, int&, int&, bool, bool, int, int, int,
                                            const WideString&) {
  return false;
}

int TCustomdxTreeList::GetLineHeightForRowHeight(TdxTreeListNode* node, int height) {
  if (!node || height < FMinRowHeight) return FRowHeight;
  int result = FMinRowHeight;
  for (int h = FMinRowHeight, tries = height - FMinRowHeight + 1; tries > 0; ++h, --tries) {
    if (GetRowHeight(node, h, true) > height) break;
    result = h;
  }
  return result;
}

int TCustomdxTreeList::GetColumnLineHeight(TCanvas& canvas, int column) {
  if (!IsColumnFontAssigned(column)) return 0;
  canvas.Font().Assign(GetColumnFont(column));
  return canvas.TextHeight(L"Wg") + 3;
}

int TCustomdxTreeList::GetRowLineHeight(TCanvas& canvas) {
  int result = 0;
  for (int i = 0, n = GetValueCount(); i < n; ++i)
    if (IsHeaderVisible(i)) result = std::max(result, GetColumnLineHeight(canvas, i));
  return result;
}

int TCustomdxTreeList::GetPreviewLineCount(TdxTreeListNode* node) {
  if (!node) return FPreviewLines;
  if (!IsAutoCalcPreviewLines()) return std::max(0, FPreviewLines);
  WideString text;
  GetPreviewText(node, text);
  if (text.empty()) return 0;
  int height = 0;
  int lines = CalcTextLines(text, GetPreviewWidth(node) - FIndentDesc, FDescTextHeight, height, 0, false,
                            FPreviewFont, FPreviewLines);
  return std::max(0, lines);
}

int TCustomdxTreeList::GetNodeFooterCount(TdxTreeListNode* node) {
  if (!node || !IsRowFooter() || node->Count() > 0) return 0;
  int count = 0;
  for (TdxTreeListNode* n = node; n->Parent() && n->IsLast(); n = n->Parent())
    if (IsLevelFooter(n->Parent()->Level())) ++count;
  return count;
}

int TCustomdxTreeList::GetNodeFooterLevel(TdxTreeListNode* node, int k) {
  if (!node || !IsRowFooter() || node->Count() > 0) return -1;
  for (TdxTreeListNode* n = node; n->Parent() && n->IsLast(); n = n->Parent()) {
    int level = n->Parent()->Level();
    if (IsLevelFooter(level) && k-- == 0) return level;
  }
  return -1;
}

int TCustomdxTreeList::GetNodeFooterCountBelow(TdxTreeListNode* node, int level) {
  if (!node || node->Count() > 0 || !node->IsLast()) return -1;
  int result = 0;
  for (int k = 0, n = GetNodeFooterCount(node); k < n; ++k)
    if (GetNodeFooterLevel(node, k) < level) ++result;
  return result;
}

int TCustomdxTreeList::GetBandMinWidth(int band) {
  int width = IsBandSizing(band) ? GetBandMinWidthStored(band) : GetBandWidthStored(band);
  for (int row = 0, rows = GetHeaderRowCount(band); row < rows; ++row) {
    int sum = 0;
    for (int col = 0, cols = GetHeaderColCount(band, row); col < cols; ++col)
      sum += GetColumnMinWidth(GetHeaderAbsoluteIndex(band, row, col));
    width = std::max(width, sum);
  }
  return width;
}

int TCustomdxTreeList::GetBandNaturalWidth(int band) {
  int width = 0;
  if (IsBandHeaderWidth()) {
    for (int row = 0, rows = GetHeaderRowCount(band); row < rows; ++row) {
      int sum = 0;
      for (int col = 0, cols = GetHeaderColCount(band, row); col < cols; ++col)
        sum += GetColumnWidth(GetHeaderAbsoluteIndex(band, row, col));
      width = std::max(width, sum);
    }
  }
  if (width == 0) width = GetBandWidthStored(band);
  return std::max(width, GetBandMinWidth(band));
}

int TCustomdxTreeList::GetBandWidth(int band) {
  if (!IsAutoWidth()) return GetBandNaturalWidth(band);
  int count = GetVisibleBandCount();
  int e = GetBandsExtraWidth();
  if (band == count - 1) {
    int rest = GetBandsWidth() - e;
    for (int i = 0; i < count - 1; ++i) rest -= GetBandWidth(i);
    return rest;
  }
  int t = GetBandsWidth() - e;
  int n = 0, m = 0;
  for (int i = 0; i < count; ++i) {
    n += GetBandNaturalWidth(i);
    m += GetBandMinWidth(i);
  }
  int natural = GetBandNaturalWidth(band);
  if (!IsBandSizing(band)) return natural;
  int d2 = 0;
  for (int i = 0; i < count; ++i)
    if (IsBandSizing(i) && MulDiv(t, GetBandNaturalWidth(i), n) > GetBandMinWidth(i)) d2 += GetBandNaturalWidth(i);
  int share = MulDiv(t, natural, n);
  if (d2 == n) return share;
  int minimum = GetBandMinWidth(band);
  if (share <= minimum) return minimum;
  return minimum + MulDiv(t - m, natural, d2);
}

int TCustomdxTreeList::GetBandsWidth() {
  int count = GetVisibleBandCount();
  if (count <= 0) return 0;
  int e = GetBandsExtraWidth();
  if (!IsAutoWidth()) {
    int sum = e;
    for (int i = 0; i < count; ++i) sum += GetBandWidth(i);
    return sum;
  }
  int minimum = e;
  bool anySizable = false;
  for (int i = 0; i < count; ++i) {
    minimum += GetBandMinWidth(i);
    anySizable = anySizable || IsBandSizing(i);
  }
  RECT r;
  GetClientAreaRect(r);
  int client = r.right - r.left;
  return (client < minimum || !anySizable) ? minimum : client;
}

void TCustomdxTreeList::GetClientAreaRect(RECT& rect) {
  rect = ClientRect();
  if (FShowIndicator) rect.left += GetIndicatorWidth();
  rect.bottom -= FStatusHeight;
}

int TCustomdxTreeList::GetHeaderWidth(int column) {
  int band = GetVisibleBandIndex(GetColumnBandIndex(column));
  int row = GetColumnRowIndex(column);
  int cols = GetHeaderColCount(band, row);
  int t = GetBandWidth(band);
  std::vector<int> headers(std::size_t(std::max(cols, 0)));
  int s = 0, smin = 0;
  for (int col = 0; col < cols; ++col) {
    headers[std::size_t(col)] = GetHeaderAbsoluteIndex(band, row, col);
    s += GetColumnWidth(headers[std::size_t(col)]);
    smin += GetColumnMinWidth(headers[std::size_t(col)]);
  }
  int d2 = 0;
  bool c = false;
  for (int h : headers) {
    if (!GetColumnSizing(h)) continue;
    int share = MulDiv(t, GetColumnWidth(h), s);
    if (share >= GetColumnMinWidth(h))
      d2 += GetColumnWidth(h);
    else
      c = true;
  }
  int given = 0, result = 0;
  for (int col = 0; col < cols; ++col) {
    int h = headers[std::size_t(col)];
    int width = GetColumnWidth(h), minimum = GetColumnMinWidth(h);
    if (col == cols - 1) {
      result = t - given;
    } else if (!GetColumnSizing(h)) {
      result = width;
      t -= width;
      s -= width;
      smin -= minimum;
    } else {
      int share = MulDiv(t, width, s);
      if (d2 == s)
        result = share;
      else if (share <= minimum)
        result = minimum;
      else if (c)
        result = minimum + MulDiv(t - smin, width, d2);
      else
        result = share;
      given += result;
    }
    if (h == column) break;
  }
  if (band == 0 && cols > 0 && headers[0] == column) result += GetBandsExtraWidth();
  return result;
}

int TCustomdxTreeList::GetHeaderLineCount(int band, int row, int col) {
  int panelRows = GetHeaderPanelRowCount();
  if (row != GetHeaderRowCount(band) - 1) return 1;
  int lines = GetHeaderMaxLineCount(GetHeaderAbsoluteIndex(band, row, col));
  if (lines == 0) lines = panelRows;
  return row + lines > panelRows ? panelRows - row : lines;
}

int TCustomdxTreeList::GetBandLeft(int band) {
  int count = GetVisibleBandCount();
  if (count < 2 || band < 0 || band >= count || band == GetFixedLeftBandIndex() || band == GetFixedRightBandIndex())
    return 0;
  int start = GetFixedLeftBandIndex() >= 0 ? GetFixedLeftBandIndex() + 1 : 0;
  int left = 0;
  for (int i = start; i < band; ++i) left += GetBandWidth(i);
  if (start == 0 && band > 0) left += GetBandsExtraWidth();
  return left;
}

int TCustomdxTreeList::GetScrollingWidth() {
  int width = GetBandsWidth();
  if (int left = GetFixedLeftBandIndex(); left >= 0) width -= GetBandWidth(left) + GetBandsExtraWidth();
  if (int right = GetFixedRightBandIndex(); right >= 0) width -= GetBandWidth(right);
  return width;
}

void TCustomdxTreeList::GetScrollingArea(RECT& rect) {
  GetClientAreaRect(rect);
  rect.top += FGroupPanelHeight;
  if (IsAutoWidth()) return;
  if (int left = GetFixedLeftBandIndex(); left >= 0) rect.left += GetBandWidth(left) + GetBandsExtraWidth();
  if (int right = GetFixedRightBandIndex(); right >= 0) rect.right -= GetBandWidth(right);
}

int TCustomdxTreeList::GetPreviewWidth(TdxTreeListNode* node) {
  return GetBandsWidth() - (FShowGrid ? 1 : 0) - GetNodeImageIndent(node);
}

void TCustomdxTreeList::ScrollHorz(int dx) {
  if (!HandleAllocated()) return;
  RECT area;
  GetScrollingArea(area);
  ScrollWindowEx(Handle(), dx, 0, &area, &area, nullptr, nullptr, SW_INVALIDATE);
}

void TCustomdxTreeList::ScrollVert(int dy) {
  if (!HandleAllocated()) return;
  RECT area;
  GetCellsArea(area);
  ScrollWindowEx(Handle(), 0, dy, &area, &area, nullptr, nullptr, SW_INVALIDATE);
  if (FPaintStyle == psStandard && FTreeLineStyle == tlDot && GetVisibleBandCount() > 0) {
    RECT tree = area;
    tree.right = tree.left + GetBandWidth(0) + GetBandsExtraWidth();
    if (GetFixedLeftBandIndex() < 0) OffsetRect(&tree, -FLeftCoord, 0);
    InvalidateRect(Handle(), &tree, FALSE);
  }
}

// ---- draw info and cell geometry

bool SpansOverlap(int a1, int a2, int b1, int b2) {
  return (a1 >= b1 && a1 <= b2) || (a2 >= b1 && a2 <= b2) || (a1 < b1 && a2 > b2);
}

bool IsZeroRect(const RECT& r) { return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0; }

namespace {

bool IsEmptyArea(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// R cut to the horizontal span [Left, Right).
RECT CutToSpan(RECT r, int left, int right) {
  r.left = std::max(r.left, LONG(left));
  r.right = std::min(r.right, LONG(right));
  return r;
}

}  // namespace

void TCustomdxTreeList::CalcRectInfo(TdxGridDrawInfo& info, bool includeAll) {
  FreeDrawInfo(info);
  info = TdxGridDrawInfo{};
  info.CRect = HandleAllocated() ? ClientRect() : RECT{0, 0, Width(), Height()};
  if (includeAll) info.CRect.right = GetBandsWidth();
  const RECT& c = info.CRect;
  // Without ShowIndicator there is no indicator column, whatever its stored width.
  int w = FShowIndicator ? GetIndicatorWidth() : 0;
  int g = FGroupPanelHeight, b = FBandHeight, h = FHeaderHeight, n = FNewItemRowHeight;
  int f = FFooterHeight, s = FStatusHeight;
  if (g > 0) info.GroupPanelRect = RECT{c.left, c.top, c.right, c.top + g};
  info.BandRect = RECT{c.left + w, c.top + g, c.right, c.top + g + b};
  if (w > 0) info.BandButtonRect = RECT{info.BandRect.left - w, info.BandRect.top, info.BandRect.left, info.BandRect.bottom};
  info.HeaderRect = RECT{c.left + w, c.top + g + b, c.right, c.top + g + b + h};
  if (w > 0)
    info.HeaderButtonRect =
        RECT{info.HeaderRect.left - w, info.HeaderRect.top, info.HeaderRect.left, info.HeaderRect.bottom};
  if (n > 0) info.NewItemRowRect = RECT{c.left, c.top + g + b + h, c.right, c.top + g + b + h + n};
  info.CellsRect = RECT{c.left + w, c.top + g + b + h + n, c.right, c.bottom - f - s};
  if (info.CellsRect.bottom < info.CellsRect.top) info.CellsRect.bottom = info.CellsRect.top;
  info.IndicatorRect = RECT{c.left, info.CellsRect.top, info.CellsRect.left, info.CellsRect.bottom};
  info.FooterRect = RECT{c.left, info.CellsRect.bottom, c.right, info.CellsRect.bottom + f};
  info.StatusRect = RECT{c.left, info.FooterRect.bottom, c.right, info.FooterRect.bottom + s};
}

void TCustomdxTreeList::FreeDrawInfo(TdxGridDrawInfo& info) {
  info.RowsInfo = {};
  info.EmptyRectsInfo = {};
  info.HeadersInfo = {};
  info.BandsInfo = {};
}

// Steps shared by the screen and the export: bands, headers and empty header areas.
void TCustomdxTreeList::LayoutBandsAndHeaders(TdxGridDrawInfo& info) {
  int visibleBands = GetVisibleBandCount();
  info.BandsInfo.reserve(std::size_t(std::max(visibleBands, 0)));
  info.FixedBandLeftIndex = info.FixedBandRightIndex = info.FixedBandPrevRightIndex = -1;
  int total = GetBandsWidth();
  int extra = GetBandsExtraWidth();
  int scrollLeft = info.BandRect.left, scrollRight = info.BandRect.right;
  int last = visibleBands - 1, first = 0;
  int separator = FNewItemRowHeight > 0 ? FNewItemRowSeparatorHeight : 0;
  if (visibleBands > 0 && GetFixedLeftBandIndex() != -1) {
    int w = GetBandWidth(0) + extra;
    scrollLeft += w;
    info.FixedBandLeftRect =
        RECT{info.BandRect.left, info.BandRect.top, info.BandRect.left + w, info.CellsRect.top - separator};
    RECT band{info.BandRect.left, info.BandRect.top, info.FixedBandLeftRect.right - FFixedBandLineWidth,
              info.BandRect.bottom};
    info.BandsInfo.push_back({0, band, band});
    info.FixedBandLeftIndex = 0;
    first = 1;
  }
  if (total < info.BandRect.right - info.BandRect.left) {
    info.BandRect.right = info.HeaderRect.right = info.BandRect.left + total;
    info.EmptyRectRight = RECT{info.BandRect.right, info.BandRect.top, info.CRect.right, info.CellsRect.bottom};
    if (!IsEmptyArea(info.NewItemRowRect)) info.NewItemRowRect.right = info.EmptyRectRight.left;
    scrollRight = info.BandRect.right;
  }
  int fixedRight = visibleBands > 0 ? GetFixedRightBandIndex() : -1;
  if (fixedRight != -1) {
    int w = GetBandWidth(fixedRight);
    info.FixedBandRightRect =
        RECT{info.BandRect.right - w, info.BandRect.top, info.BandRect.right, info.CellsRect.top - separator};
    LONG floor = std::max(info.FixedBandLeftRect.right, info.IndicatorRect.right);
    if (info.FixedBandRightRect.left < floor) {
      info.FixedBandRightRect.left = floor;
      info.FixedBandRightRect.right = floor + w;
    }
    info.FixedBandRightIndex = fixedRight;
    last = fixedRight - 1;
    scrollRight = info.FixedBandRightRect.left;
  }
  // Scrolling bands; the loop compares the band offset with the client
  // coordinate of the right end, so it may visit bands past the visible span.
  int x = -FLeftCoord;
  for (int i = first; i <= last && x <= scrollRight; ++i) {
    int w = GetBandWidth(i) + (i == 0 ? extra : 0);
    if (SpansOverlap(x, x + w, 0, scrollRight - scrollLeft)) {
      RECT band{scrollLeft + x, info.BandRect.top, scrollLeft + x + w, info.BandRect.bottom};
      info.BandsInfo.push_back({i, band, CutToSpan(band, scrollLeft, scrollRight)});
    }
    x += w;
    if (fixedRight != -1) info.FixedBandPrevRightIndex = i;
  }
  if (fixedRight != -1) {
    RECT band{info.FixedBandRightRect.left + FFixedBandLineWidth, info.BandRect.top, info.FixedBandRightRect.right,
              info.BandRect.bottom};
    RECT clip = band;
    clip.right = info.BandRect.right;
    info.BandsInfo.push_back({fixedRight, band, clip});
  }

  // Headers: the tables get their exact sizes first.
  std::size_t headerCount = 0, emptyCount = 0;
  for (const TdxGridBandDrawInfo& band : info.BandsInfo) {
    int rows = GetHeaderRowCount(band.Index);
    if (rows == 0) ++emptyCount;
    for (int r = 0; r < rows; ++r) headerCount += std::size_t(std::max(GetHeaderColCount(band.Index, r), 0));
  }
  info.HeadersInfo.reserve(headerCount);
  info.EmptyRectsInfo.reserve(emptyCount);
  int panelRows = GetHeaderPanelRowCount();
  int h = FHeaderRowHeight;
  for (const TdxGridBandDrawInfo& band : info.BandsInfo) {
    int v = band.Index;
    const RECT& br = band.BandRect;
    const RECT& clip = band.BandClipRect;
    int rows = GetHeaderRowCount(v);
    if (rows == 0) {
      RECT r{br.left, br.bottom, br.right, br.bottom + h * panelRows};
      if (SpansOverlap(r.left, r.right, clip.left, clip.right))
        info.EmptyRectsInfo.push_back({v, CutToSpan(r, clip.left, clip.right), clip.right < br.right});
      continue;
    }
    for (int r = 0; r < rows; ++r) {
      int n = GetHeaderColCount(v, r);
      int width = br.right - br.left;
      int avail = width - (v == 0 ? extra : 0);
      int sumW = 0, sumMin = 0;
      for (int c = 0; c < n; ++c) {
        int a = GetHeaderAbsoluteIndex(v, r, c);
        sumW += GetColumnWidth(a);
        sumMin += GetColumnMinWidth(a);
      }
      int freeW = 0;
      bool squeezed = false;
      for (int c = 0; c < n; ++c) {
        int a = GetHeaderAbsoluteIndex(v, r, c);
        if (!GetColumnSizing(a)) continue;
        if (MulDiv(avail, GetColumnWidth(a), sumW) >= GetColumnMinWidth(a))
          freeW += GetColumnWidth(a);
        else
          squeezed = true;
      }
      int cx = 0;
      for (int c = 0; c < n; ++c) {
        int a = GetHeaderAbsoluteIndex(v, r, c);
        int cw = GetColumnWidth(a), minimum = GetColumnMinWidth(a);
        int w;
        if (c == n - 1) {
          w = width - cx;
        } else if (!GetColumnSizing(a)) {
          w = cw;
          avail -= w;
          sumW -= w;
          sumMin -= w;
        } else {
          int share = MulDiv(avail, cw, sumW);
          if (freeW == sumW)
            w = share;
          else if (share > minimum)
            w = squeezed ? MulDiv(avail - sumMin, cw, freeW) + minimum : share;
          else
            w = minimum;
        }
        if (v == 0 && c == 0 && n > 1) w += extra;
        int lines = GetHeaderLineCount(v, r, c);
        RECT rect{br.left + cx, br.bottom + h * r, br.left + cx + w, br.bottom + h * r + h * lines};
        cx += w;
        if (!SpansOverlap(rect.left, rect.right, clip.left, clip.right)) continue;
        TdxGridHeaderDrawInfo header;
        header.AbsoluteIndex = a;
        header.BandIndex = v;
        header.RowIndex = r;
        header.ColIndex = c;
        header.LineCount = lines;
        header.MultiLine = GetHeaderMultiLine(a);
        header.FirstColumn = c == 0;
        header.LastColumn = c == n - 1;
        header.LeftEdgeColumn = c == 0 && v == 0;
        header.RightEdgeColumn = c == n - 1 && v == last;
        header.HeaderRect = rect;
        header.HeaderClipRect = CutToSpan(rect, clip.left, clip.right);
        if (r == rows - 1 && r + lines < panelRows)
          header.HeaderEmptyRect = RECT{header.HeaderClipRect.left, br.bottom + h * (r + lines),
                                        header.HeaderClipRect.right, br.bottom + h * panelRows};
        info.HeadersInfo.push_back(header);
      }
    }
  }
}

namespace {

TdxGridRowDrawInfo MakeRowInfo(TCustomdxTreeList& tree, TdxTreeListNode* node, bool selected) {
  TdxGridRowDrawInfo row;
  row.Node = node;
  row.IsSelected = selected;
  row.RowHeight = tree.GetRowHeight(node, tree.RowHeight(), false);
  row.RowFooterCount = tree.GetNodeFooterCount(node);
  row.RowFooterHeight = row.RowFooterCount * tree.FFooterRowNodeHeight;
  row.IndicatorKind = tree.GetRowIndicatorKind(node, node->Selected());
  row.PreviewLineCount = tree.IsPreview() ? tree.GetPreviewLineCount(node) : 0;
  int lineHeight = tree.RowHeight();
  row.RowLineCount = tree.IsRowAutoHeightActive() ? tree.GetRowLineCount(node, lineHeight) : -1;
  return row;
}

}  // namespace

// Steps 10 to 14 of the layout, once the rows are known (Y is the bottom of the last row).
void TCustomdxTreeList::FinishDrawInfo(TdxGridDrawInfo& info) {
  int total = GetBandsWidth();
  bool fixedLeft = info.FixedBandLeftIndex != -1, fixedRight = info.FixedBandRightIndex != -1;
  info.EdgeX = total + info.CellsRect.left - 1 - (fixedLeft ? 0 : FLeftCoord);
  if (fixedRight) info.EdgeX = std::min(info.EdgeX, int(info.CellsRect.right) - 1);
  if (GetVisibleBandCount() > 0) {
    info.IndentLimit = GetBandWidth(0) + GetBandsExtraWidth();
    if (fixedLeft)
      info.IndentLimit = std::min(info.IndentLimit, int(info.FixedBandLeftRect.right - FFixedBandLineWidth -
                                                        info.CellsRect.left));
    if (fixedRight) {
      int k = fixedLeft ? 0 : FLeftCoord;
      info.IndentLimit = std::min(info.IndentLimit, int(k + info.FixedBandRightRect.left - info.CellsRect.left));
    }
  }
  info.RowSeparatorLineWidth = FShowGrid ? GetRowSeparatorLineWidth() : 0;
  auto emptyIfFlat = [](RECT& r) {
    if (r.bottom - r.top == 0) r = RECT{};
  };
  emptyIfFlat(info.BandRect);
  emptyIfFlat(info.BandButtonRect);
  emptyIfFlat(info.HeaderRect);
  emptyIfFlat(info.HeaderButtonRect);
}

void TCustomdxTreeList::CalcDrawInfo(TdxGridDrawInfo& info) {
  CalcRectInfo(info, false);
  LayoutBandsAndHeaders(info);
  int height = info.CellsRect.bottom - info.CellsRect.top;
  std::size_t capacity = std::size_t(height / std::max(FRowHeight, 1) + 1);
  info.RowsInfo.reserve(capacity);
  int y = info.CellsRect.top;
  for (TdxTreeListNode* node = FTopVisibleNode; node && y < info.CellsRect.bottom && info.RowsInfo.size() < capacity;
       node = GetNextVisible(node)) {
    info.RowsInfo.push_back(MakeRowInfo(*this, node, node->Selected()));
    y += info.RowsInfo.back().RowHeight;
  }
  FinishDrawInfo(info);
  info.EdgeY = -1;
  if (y < info.CellsRect.bottom) {
    info.EdgeY = y - 1;
    info.EmptyRectBottom = RECT{info.CRect.left, y, info.EdgeX + 1, info.CellsRect.bottom};
    info.IndicatorRect.bottom = y;
  }
}

void TCustomdxTreeList::CalcFullDrawInfo(TdxGridDrawInfo& info, bool selectedOnly) {
  constexpr std::size_t kMaxExportRows = 500;
  CalcRectInfo(info, true);
  LayoutBandsAndHeaders(info);
  TdxTreeListNodeList nodes;
  if (selectedOnly) {
    GetSelectedNodes(nodes);
    std::sort(nodes.begin(), nodes.end(),
              [](TdxTreeListNode* a, TdxTreeListNode* b) { return CompareNodePositions(a, b) < 0; });
  }
  std::size_t capacity = std::min(selectedOnly ? nodes.size() : std::size_t(GetVisibleNodeCount()), kMaxExportRows);
  info.RowsInfo.reserve(capacity);
  int y = info.CellsRect.top;
  auto add = [&](TdxTreeListNode* node) {
    info.RowsInfo.push_back(MakeRowInfo(*this, node, false));
    y += info.RowsInfo.back().RowHeight;
  };
  if (selectedOnly) {
    for (TdxTreeListNode* node : nodes)
      if (node && info.RowsInfo.size() < capacity) add(node);
  } else {
    for (TdxTreeListNode* node = TopNode(); node && info.RowsInfo.size() < capacity; node = GetNextVisible(node))
      add(node);
  }
  info.CellsRect.bottom = y;
  info.IndicatorRect.bottom = y;
  info.StatusRect = RECT{};
  FinishDrawInfo(info);
  info.EdgeY = -1;
}

RECT TCustomdxTreeList::CellRect(TdxTreeListNode* node, int column) {
  RECT result{-1, -1, -1, -1};
  int a = GetFocusedAbsoluteIndex(column);
  if (a < 0 || !node) return result;
  TdxGridDrawInfo info;
  CalcDrawInfo(info);
  RECT row;
  GetNodeRowRect(node, row);
  if (row.top < 0) return result;
  auto header = std::find_if(info.HeadersInfo.begin(), info.HeadersInfo.end(),
                             [a](const TdxGridHeaderDrawInfo& h) { return h.AbsoluteIndex == a; });
  if (header == info.HeadersInfo.end()) return result;
  int indent = 0, imageIndent = 0;
  GetNodeIndent(node, indent, imageIndent);
  int x = header->HeaderRect.left + (info.FixedBandLeftIndex == -1 ? FLeftCoord : 0);
  int cellIndent = 0;
  if (header->BandIndex == 0 && x - info.CellsRect.left < indent) cellIndent = indent + info.CellsRect.left - x;
  int g = !FShowGrid && node->HasChildren() && FPaintStyle == psOutlook ? 1 : 0;
  int t = row.top + FRowHeight * header->RowIndex;
  result = RECT{header->HeaderRect.left + cellIndent, t + g, header->HeaderRect.right,
                t + FRowHeight * header->LineCount + g - (FShowGrid && FShowPreviewGrid ? 1 : 0)};
  if (IsRowAutoHeightActive()) {
    auto entry = std::find_if(info.RowsInfo.begin(), info.RowsInfo.end(),
                              [node](const TdxGridRowDrawInfo& r) { return r.Node == node; });
    if (entry != info.RowsInfo.end())
      result.bottom = result.top + entry->RowHeight - info.RowSeparatorLineWidth - entry->RowFooterHeight;
  }
  return result;
}

RECT TCustomdxTreeList::GetEditRect(TdxTreeListNode* node, int column) {
  RECT r = CellRect(node, column);
  int a = GetFocusedAbsoluteIndex(column);
  if (a < 0) return r;
  int v = GetVisibleBandIndex(GetColumnBandIndex(a));
  int row = GetColumnRowIndex(a);
  int n = GetHeaderColCount(v, row);
  int c = GetColumnColIndex(a);
  int lastBand = GetVisibleBandCount() - 1;
  bool lastInRow = c == n - 1;
  if (FShowGrid && FShowPreviewGrid) {
    bool fixedEdge = lastInRow && ((v == 0 && GetFixedLeftBandIndex() == 0) ||
                                   (GetFixedRightBandIndex() != -1 && v == GetFixedRightBandIndex() - 1));
    if (!fixedEdge) r.right -= 1;
  } else if (v == lastBand && lastInRow && (!IsInvertSelect() || FShowGrid)) {
    r.right -= 1;
  }
  int indent = 0, imageIndent = 0;
  GetNodeIndent(node, indent, imageIndent);
  TdxGridDrawInfo panels;
  CalcRectInfo(panels, false);
  bool firstCell = v == 0 && c == 0;
  if (firstCell) r.left = std::max(r.left, panels.CellsRect.left + imageIndent);
  if (IsNewItemRowActive()) {
    if (firstCell) r.left -= imageIndent;
    r.top = panels.NewItemRowRect.top;
    r.bottom = panels.NewItemRowRect.top + FRowHeight - (FShowGrid && FShowPreviewGrid ? 1 : 0);
  }
  if (IsInvertSelect()) {
    r.top += 1;
    r.bottom -= 1;
    if (firstCell) r.left += 1;
    if (v == lastBand && lastInRow) r.right -= 1;
  }
  return r;
}

void TCustomdxTreeList::GetNodeIndent(TdxTreeListNode* node, int& indent, int& imageIndent) {
  indent = imageIndent = 0;
  if (!node) return;
  int level = node->Level();
  if (node->HasChildren())
    indent = FIndent * (level + 1);
  else
    indent = FIndent * (level + (FPaintStyle == psStandard ? 1 : 0));
  if (!FShowRoot) indent -= FIndent;
  imageIndent = indent;
  if (node->StateIndex() != -1) imageIndent += FImageStateW;
  imageIndent += GetNodeImageWidth(node);
}

int TCustomdxTreeList::GetNodeImageWidth(TdxTreeListNode* node) {
  TImageList* images = GetNodeImages(node);
  return images ? images->Width() : 0;
}

int TCustomdxTreeList::GetNodeImageHeight(TdxTreeListNode* node) {
  TImageList* images = GetNodeImages(node);
  return images ? images->Height() : 0;
}

// ---- navigation and text export

TdxTreeListNode* TCustomdxTreeList::LastNode() const {
  TdxTreeListNode* node = FNodeList.empty() ? nullptr : FNodeList.back();
  while (node && node->Count() > 0 && node->Expanded()) node = node->GetLastChild();
  return node;
}

namespace {

// Walks the visible column order: header rows of the panel, then the bands
// that have that row, then the row's columns. Visit answers true to stop.
template <class F>
void ForEachVisibleColumn(TCustomdxTreeList& tree, F&& visit) {
  int panelRows = tree.GetHeaderPanelRowCount();
  int bands = tree.GetVisibleBandCount();
  for (int r = 0; r < panelRows; ++r)
    for (int b = 0; b < bands; ++b) {
      if (tree.GetHeaderRowCount(b) <= r) continue;
      for (int c = 0, n = tree.GetHeaderColCount(b, r); c < n; ++c)
        if (visit(tree.GetHeaderAbsoluteIndex(b, r, c))) return;
    }
}

}  // namespace

int TCustomdxTreeList::GetFocusedAbsoluteIndex(int focusedIndex) {
  int result = -1, index = 0;
  ForEachVisibleColumn(*this, [&](int a) {
    if (index++ != focusedIndex) return false;
    result = a;
    return true;
  });
  return result;
}

int TCustomdxTreeList::GetFocusedVisibleIndex(int absoluteIndex) {
  int result = 0, index = 0;
  ForEachVisibleColumn(*this, [&](int a) {
    if (a == absoluteIndex) {
      result = index;
      return true;
    }
    ++index;
    return false;
  });
  return result;
}

int TCustomdxTreeList::GetVisibleColumnCount() { return GetVisibleHeaderCount(); }

int TCustomdxTreeList::FocusedColumnAbsoluteIndex() {
  if (FFocusedAbsoluteIndex == -1) FFocusedAbsoluteIndex = GetFocusedAbsoluteIndex(FFocusedColumn);
  return FFocusedAbsoluteIndex;
}

TdxTreeListNode* TCustomdxTreeList::GetNavigationNode(TdxTreeListNode* node, int kind, bool gotoHidden) {
  if (!node) return nullptr;
  switch (kind) {
    case 0:
      return TopNode();
    case 1:
      return node->GetPriorNode();
    case 2:
      return gotoHidden ? node->GetNext() : node->GetNextNode();
    case 3: {
      TdxTreeListNode* last = LastNode();
      if (gotoHidden)
        while (last && last->Count() > 0) last = last->GetLastChild();
      return last;
    }
    default:
      return nullptr;
  }
}

TdxTreeListNode* TCustomdxTreeList::GotoNode(int kind, bool gotoHidden) {
  if (!FFocused) return nullptr;
  bool keepSingle = IsMultiSelect() && SelectedCount() == 1 && FFocused->Selected();
  TdxTreeListNode* node = GetNavigationNode(FFocused, kind, gotoHidden);
  if (!node) return nullptr;
  node->SetFocused(true);
  if (keepSingle) {
    ClearSelection();
    node->SetSelected(true);
  }
  return node;
}

bool TCustomdxTreeList::IsBOF() const { return FNodeList.empty() || FFocused == TopNode(); }
bool TCustomdxTreeList::IsEOF() const { return FNodeList.empty() || FFocused == LastNode(); }

int TCustomdxTreeList::GetVisibleRowCapacity() {
  RECT cells = CellsRect();
  int height = cells.bottom - cells.top, used = 0, rows = 0;
  for (TdxTreeListNode* n = FTopVisibleNode; n; n = GetNextVisible(n)) {
    used += GetRowHeight(n, FRowHeight, false);
    if (used > height) break;
    ++rows;
  }
  return std::max(rows, 1);
}

int TCustomdxTreeList::GetTopIndexForLastRow(int index) {
  TdxTreeListNode* node = GetAbsoluteNode(index);
  if (!node) return index;
  RECT cells = CellsRect();
  int height = cells.bottom - cells.top;
  int used = GetRowHeight(node, FRowHeight, false);
  int top = index;
  for (TdxTreeListNode* prior = node->GetPriorNode(); prior; prior = prior->GetPriorNode()) {
    int h = GetRowHeight(prior, FRowHeight, false);
    if (used + h > height) break;
    used += h;
    --top;
  }
  return top;
}

void TCustomdxTreeList::MakeNodeVisible(TdxTreeListNode* node) {
  if (!node) return;
  bool expanded = false;
  if (!IsNodeVisible(node)) {
    BeginUpdate();
    TryFinally(
        [&] {
          std::vector<TdxTreeListNode*> ancestors;
          for (TdxTreeListNode* p = node->Parent(); p; p = p->Parent()) ancestors.push_back(p);
          for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
            if (!(*it)->Expanded()) (*it)->SetExpanded(true);
          expanded = true;
        },
        [&] { EndUpdate(); });
  }
  int t = GetAbsoluteIndex(FTopVisibleNode), i = GetAbsoluteIndex(node);
  if (i < 0) return;  // an ancestor refused to expand
  int rows = GetVisibleRowCapacity();
  if (t <= i && i <= t + rows - 1 && !expanded) return;
  if (i < t)
    SetTopIndex(i);
  else if (i > t + rows - 1)
    SetTopIndex(GetTopIndexForLastRow(i));
}

void TCustomdxTreeList::MakeBandVisible(int visibleIndex) {
  int count = GetVisibleBandCount();
  if (count < 2 || visibleIndex < 0 || visibleIndex >= count || visibleIndex == GetFixedLeftBandIndex() ||
      visibleIndex == GetFixedRightBandIndex())
    return;
  int l = GetBandLeft(visibleIndex), w = GetBandWidth(visibleIndex);
  RECT area;
  GetScrollingArea(area);
  int v = area.right - area.left, c = FLeftCoord;
  if (l >= c) {
    if (l + w > c + v) SetLeftCoord(std::min(l, l + w - v));
  } else {
    SetLeftCoord(l);
  }
}

void TCustomdxTreeList::MakeColumnVisible(int column) {
  if (column < 0 || column >= GetValueCount()) return;
  int band = GetVisibleBandIndex(GetColumnBandIndex(column));
  if (band < 0 || band >= GetVisibleBandCount() || band == GetFixedLeftBandIndex() ||
      band == GetFixedRightBandIndex())
    return;
  int row = GetColumnRowIndex(column);
  int start = GetBandLeft(band);
  for (int c = 0, n = GetHeaderColCount(band, row); c < n; ++c) {
    int a = GetHeaderAbsoluteIndex(band, row, c);
    if (a == column) break;
    start += GetHeaderWidth(a);
  }
  int end = start + GetHeaderWidth(column);
  RECT area;
  GetScrollingArea(area);
  int v = area.right - area.left, c = FLeftCoord;
  if (start >= c) {
    if (end > c + v) SetLeftCoord(std::min(start, end - v));
  } else {
    SetLeftCoord(start);
  }
}

void TCustomdxTreeList::SaveAllToStrings(TStrings& list) {
  WideString line;
  GetHeaderLine(line);
  list.Add(line);
  for (TdxTreeListNode* node = TopNode(); node; node = node->GetNextNode()) {
    GetNodeLine(node, line);
    list.Add(line);
  }
}

void TCustomdxTreeList::SaveSelectedToStrings(TStrings& list) {
  WideString line;
  GetHeaderLine(line);
  list.Add(line);
  if (IsMultiSelect()) {
    TdxTreeListNodeList nodes;
    GetSelectedNodes(nodes);
    std::sort(nodes.begin(), nodes.end(),
              [](TdxTreeListNode* a, TdxTreeListNode* b) { return CompareNodePositions(a, b) < 0; });
    for (TdxTreeListNode* node : nodes) {
      GetNodeLine(node, line);
      list.Add(line);
    }
  } else if (FFocused) {
    GetNodeLine(FFocused, line);
    list.Add(line);
  }
}

void TCustomdxTreeList::SaveAllToTextFile(const WideString& fileName) {
  TStringList list;
  SaveAllToStrings(list);
  list.SaveToFile(fileName);
}

void TCustomdxTreeList::SaveSelectedToTextFile(const WideString& fileName) {
  TStringList list;
  SaveSelectedToStrings(list);
  list.SaveToFile(fileName);
}

void TCustomdxTreeList::CopyAllToClipboard() {
  TStringList list;
  SaveAllToStrings(list);
  Clipboard().SetAsText(list.Text());
}

void TCustomdxTreeList::CopySelectedToClipboard() {
  TStringList list;
  SaveSelectedToStrings(list);
  Clipboard().SetAsText(list.Text());
}

namespace {

// A font made for metafile output: the old bitmap face under its TrueType
// name, any other one asked for in TrueType only.
void PrepareMetafileFont(TFont& font) {
  if (SameTextIgnoringCase(font.Name(), L"MS Sans Serif")) {
    font.SetName(L"Microsoft Sans Serif");
    return;
  }
  if (SameTextIgnoringCase(font.Name(), L"Default")) font.SetName(kDefaultFontName);
  font.SetOutputPrecision(OUT_TT_ONLY_PRECIS);
}

}  // namespace

void TCustomdxTreeList::DrawTreeListToMetaFile(TMetafile& metafile, bool onlySelection) {
  TFont* fonts[] = {&Font(), &FHeaderFont, &FBandFont};
  TFont saved[std::size(fonts)];
  for (std::size_t i = 0; i < std::size(fonts); ++i) saved[i].Assign(*fonts[i]);
  const bool parentFont = ParentFont();
  const bool showRoot = FShowRoot;
  const TdxLookAndFeel look = FLookAndFeel;
  const TdxTreeListOptions options = FOptions;
  TdxGridDrawInfo info;
  // The fields are written directly: no layout refresh, repaint or new window follows.
  FSelfChangingTitleFont = true;
  TryFinally(
      [&] {
        for (TFont* font : fonts) PrepareMetafileFont(*font);
        FShowRoot = false;
        FDrawNonVisibleParts = true;
        FLookAndFeel = lfUltraFlat;
        FOptions |= OptionBit(aoHideFocusRect);
        FDisableHeaderImages = true;
        CalcFullDrawInfo(info, onlySelection);
        metafile.SetEnhanced(true);
        metafile.SetWidth(info.CellsRect.right - info.CellsRect.left);
        metafile.SetHeight(info.CellsRect.bottom);
        TMetafileCanvas canvas(metafile, nullptr);
        PaintArea(info, canvas);
      },
      [&] {
        FDrawNonVisibleParts = false;
        FLookAndFeel = look;
        FreeDrawInfo(info);
        FOptions = options;
        FShowRoot = showRoot;
        FDisableHeaderImages = false;
        for (std::size_t i = 0; i < std::size(fonts); ++i) fonts[i]->Assign(saved[i]);
        FSelfChangingTitleFont = false;
        if (parentFont) SetParentFont(true);
      });
}

void TCustomdxTreeList::CopyTreeListToClipboardAsMetafile(bool onlySelection) {
  TMetafile metafile;
  const int leftCoord = FLeftCoord;
  SetLeftCoord(0);
  TryFinally(
      [&] {
        DrawTreeListToMetaFile(metafile, onlySelection);
        Clipboard().Assign(metafile);
      },
      [&] { SetLeftCoord(leftCoord); });
}

void TCustomdxTreeList::CopyTreeListToClipboard(bool onlySelection) {
  Clipboard().Open();
  TryFinally(
      [&] {
        if (onlySelection)
          CopySelectedToClipboard();
        else
          CopyAllToClipboard();
        CopyTreeListToClipboardAsMetafile(onlySelection);
      },
      [&] { Clipboard().Close(); });
}

// ---- layout metrics

void TCustomdxTreeList::CalcLayoutMetrics() {
  if (Loading() || IsDestroying()) return;
  TCanvas& canvas = Canvas();
  // A paint may be under way: its context comes back afterwards.
  HDC previous = canvas.HandleAllocated() ? canvas.Handle() : nullptr;
  HDC screen = GetDC(nullptr);
  TFont savedFont;
  savedFont.Assign(canvas.Font());
  TryFinally(
      [&] {
        canvas.SetHandle(screen);
        auto textHeight = [&](TFont& font) {
          canvas.Font().Assign(font);
          return canvas.TextHeight(L"Wg");
        };
        FBandRowCount = GetBandRowCount();
        FHeaderRowCount = GetHeaderPanelRowCount();
        FHeaderLineCount = GetMinHeaderPanelRowCount();
        FFlat = FLookAndFeel != lfStandard;
        FPaintStandard = FPaintStyle == psStandard;
        int notFlat = FFlat ? 0 : 1;
        FBandTextHeight = textHeight(FBandFont);
        FBandHeight = FShowBands ? FBandRowCount * FBandTextHeight + 5 + notFlat : 0;
        FHeaderRowHeight = textHeight(FHeaderFont) * FHeaderLineCount + 5 + notFlat;
        FHeaderHeight = FShowHeaders ? FHeaderRowHeight * FHeaderRowCount : 0;
        FArrowsRect = RECT{0, 0, 11, FHeaderRowHeight + 18};
        FGroupPanelHeight = GetGroupPanelHeight();
        FTextHeight = textHeight(Font());
        int g = FShowGrid && FShowPreviewGrid ? 1 : 0;
        FFooterRowHeight = FTextHeight + 7;
        FFooterHeight = FShowFooter ? (FTextHeight + 7) * FHeaderRowCount + 3 + notFlat : 0;
        FFooterRowNodeHeight = (FTextHeight + 7) * FHeaderRowCount + g + 2;
        FStatusHeight = IsStatusPanel() ? std::max(FTextHeight + 5, 17) : 0;
        FMinRowHeight = FTextHeight + 3;
        FDeltaHScroll = canvas.TextWidth(L"0");
        FImageButtonW = FImageButtonH = 16;
        FImageStateW = FStateImages ? FStateImages->Width() : 0;
        FImageStateH = FStateImages ? FStateImages->Height() : 0;
        FMinRowHeight = std::max(FMinRowHeight, FImageButtonH);
        if ((g + FMinRowHeight) * FHeaderRowCount < FImageStateH) FMinRowHeight = FImageStateH;
        int lineHeight = GetRowLineHeight(canvas);
        if ((g + FMinRowHeight) * FHeaderRowCount < lineHeight) FMinRowHeight = lineHeight;
        FMinRowHeight += g;
        if (IsInvertSelect()) FMinRowHeight += 2;
        if (!FRowHeightAssigned || FRowHeight < FMinRowHeight) FRowHeight = FMinRowHeight;
        if (FRowHeight == FMinRowHeight) FRowHeightAssigned = false;
        FNewItemRowSeparatorHeight = FFlat ? 5 : 6;
        FNewItemRowHeight = FHeaderRowCount == 1 ? FRowHeight + FNewItemRowSeparatorHeight : 0;
        if (!IsShowNewItemRow() || GetVisibleBandCount() == 0) FNewItemRowHeight = 0;
        FDescTextHeight = textHeight(FPreviewFont);
      },
      [&] {
        canvas.SetHandle(previous);
        canvas.Font().Assign(savedFont);
        ReleaseDC(nullptr, screen);
      });
  RefreshCustomizingListBoxes();
  ClearListNodes();
  LayoutRefreshing();
  RemoveSuperfluousScrollBars();
  UpdateScrollBars();
  CorrectPositions();
  MakeListNodes();
  LayoutRefreshed();
  if (!FMakeListNodesFlag) MakeListNodes();
  Invalidate();
}

void TCustomdxTreeList::GetRowFooterRect(TdxTreeListNode* node, int footerIndex, RECT& rect,
                                         const TdxGridDrawInfo& info, int gridWidth, int top) {
  int level = GetNodeFooterLevel(node, footerIndex);
  int d = level == -1 ? 0 : (level + 1) * FIndent;
  const RECT& cells = info.CellsRect;
  rect = RECT{cells.left + d, top + footerIndex * FFooterRowNodeHeight, cells.left + GetBandsWidth() - gridWidth,
              top + (footerIndex + 1) * FFooterRowNodeHeight};
  if (!FShowRoot) rect.left -= FIndent;
  if (IsZeroRect(info.FixedBandLeftRect)) {
    OffsetRect(&rect, -FLeftCoord, 0);
  } else {
    rect.right -= FLeftCoord;
  }
  if (!IsZeroRect(info.FixedBandRightRect)) {
    if (rect.right >= cells.right) rect.right = cells.right - gridWidth;
    if (rect.left > info.FixedBandRightRect.left) rect.left = info.FixedBandRightRect.left;
  }
  rect.left = std::max(rect.left, cells.left);
}

void TCustomdxTreeList::InvalidatePanel(RECT TdxGridDrawInfo::*part, bool updateNow) {
  if (!HandleAllocated()) return;
  TdxGridDrawInfo info;
  CalcRectInfo(info, false);
  InvalidateRect(Handle(), &(info.*part), FALSE);
  if (updateNow) UpdateWindow(Handle());
}

void TCustomdxTreeList::InvalidateBandPanel() { InvalidatePanel(&TdxGridDrawInfo::BandRect, true); }
void TCustomdxTreeList::InvalidateBandButton() { InvalidatePanel(&TdxGridDrawInfo::BandButtonRect, true); }
void TCustomdxTreeList::InvalidateHeaderPanel() { InvalidatePanel(&TdxGridDrawInfo::HeaderRect, true); }
void TCustomdxTreeList::InvalidateHeaderButton() { InvalidatePanel(&TdxGridDrawInfo::HeaderButtonRect, true); }
void TCustomdxTreeList::InvalidateNewItemRow() { InvalidatePanel(&TdxGridDrawInfo::NewItemRowRect, false); }

void TCustomdxTreeList::SetNewItemRowActive(bool value) {
  if (!IsShowNewItemRow() || value == FNewItemRowActive) return;
  FNewItemRowActive = value;
  if (FFocused) {
    RECT r;
    GetNodeRowRect(FFocused, r);
    InvalidateRows(r, false);
  }
  InvalidateNewItemRow();
}

void TCustomdxTreeList::SetImageList(TImageList*& field, TChangeLink& link, TImageList* value) {
  BeginUpdate();
  TryFinally(
      [&] {
        if (field) field->UnRegisterChanges(&link);
        field = value;
        if (value) {
          value->RegisterChanges(&link);
          value->FreeNotification(this);
        }
      },
      [&] { EndUpdate(); });
}

void TCustomdxTreeList::SetImages(TImageList* value) { SetImageList(FImages, *FImageChangeLink, value); }
void TCustomdxTreeList::SetStateImages(TImageList* value) { SetImageList(FStateImages, *FStateChangeLink, value); }

void TCustomdxTreeList::ImageListChange(TObject* sender) {
  if (HandleAllocated() && sender && (sender == FImages || sender == FStateImages)) LayoutChanged();
}

void TCustomdxTreeList::SetLookAndFeel(TdxLookAndFeel value) {
  if (value == FLookAndFeel) return;
  CancelEditor();
  FLookAndFeel = value;
  SetScrollBarStyle(value == lfUltraFlat ? TScrollBarStyle::ssHotTrack : TScrollBarStyle::ssRegular);
  if (HandleAllocated()) RecreateWnd();
  LayoutChanged();
}

void TCustomdxTreeList::SetOptions(TdxTreeListOptions value) {
  if (value == FOptions) return;
  HideEditor();
  BeginUpdate();
  TryFinally(
      [&] {
        if (value & OptionBit(aoRowSelect)) SetOptionsEx(FOptionsEx & ~OptionBit(aoInvertSelect));
        if ((value & OptionBit(aoAutoSort)) && !Op(aoAutoSort)) ClearColumnsSorted();
        if (Ex(aoKeepColumnWidth) && Op(aoAutoWidth) && !(value & OptionBit(aoAutoWidth))) StabilizeAutoWidth();
        FOptions = value;
        if (Loading()) return;
        ClearSelection();
        if (FFocused) FFocused->SetSelected(true);
        if (!IsRowSelect() && FFocusedColumn < 0 && GetVisibleColumnCount() > 0) FFocusedColumn = 0;
      },
      [&] { EndUpdate(); });
}

void TCustomdxTreeList::SetOptionsEx(TdxTreeListOptionsEx value) {
  if (value == FOptionsEx) return;
  HideEditor();
  BeginUpdate();
  TryFinally(
      [&] {
        if (value & OptionBit(aoInvertSelect)) SetOptions(FOptions & ~OptionBit(aoRowSelect));
        const TdxTreeListOptionsEx changed = value ^ FOptionsEx;
        if ((Ex(aoMultiSort) && !(value & OptionBit(aoMultiSort))) || (changed & OptionBit(aoAnsiSort)))
          ClearColumnsSorted();
        const bool autoHeaderOn = (value & OptionBit(aoAutoHeaderPanelHeight)) && !Ex(aoAutoHeaderPanelHeight);
        FOptionsEx = value;
        if (autoHeaderOn) HeaderPanelBestFit();
        if (FSearching && !Ex(aoAutoSearch)) EndSearch();
      },
      [&] { EndUpdate(); });
}

void TCustomdxTreeList::SetPaintStyle(TdxTreeListPaintStyle value) {
  if (value == FPaintStyle) return;
  FPaintStyle = value;
  LayoutChanged();
}

// ---- the node-by-data map

void TCustomdxTreeList::SetTrackNodeData(bool value) {
  if (value == FTrackNodeData) return;
  FTrackNodeData = value;
  FNodesByData.reset();
  if (!value) return;
  // The nodes that already carry data join the map.
  for (TdxTreeListNode* node = TopNode(); node; node = node->GetNext())
    if (node->Data()) MoveNodeData(node, node->Data());
}

void TCustomdxTreeList::MoveNodeData(TdxTreeListNode* node, void* newData) {
  if (!FTrackNodeData) return;
  if (!FNodesByData) FNodesByData = std::make_unique<std::map<void*, TdxTreeListNodeList>>();
  auto& map = *FNodesByData;
  if (auto it = map.find(node->Data()); it != map.end()) {
    auto& list = it->second;
    list.erase(std::remove(list.begin(), list.end(), node), list.end());
    if (list.empty()) map.erase(it);
  }
  if (!newData || node->Deleting()) return;
  auto& list = map[newData];
  if (std::find(list.begin(), list.end(), node) == list.end()) list.push_back(node);
}

void TCustomdxTreeList::RemoveTreeNodeDataReference(void* data) {
  if (FTrackNodeData) {
    TdxTreeListNodeList nodes = NodesByData(data);
    for (auto it = nodes.rbegin(); it != nodes.rend(); ++it) (*it)->SetData(nullptr);
    return;
  }
  for (TdxTreeListNode* node = TopNode(); node; node = node->GetNext())
    if (node->Data() == data) node->SetData(nullptr);
}

TdxTreeListNodeList TCustomdxTreeList::NodesByData(void* data) const {
  if (!FNodesByData) return {};
  auto it = FNodesByData->find(data);
  return it == FNodesByData->end() ? TdxTreeListNodeList{} : it->second;
}

// ---- window, fonts and messages

void TCustomdxTreeList::CreateParams(TCreateParams& params) {
  TCustomdxContainer::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN | WS_TABSTOP;
  params.WindowClassStyle |= CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  params.Style &= ~WS_BORDER;
  params.ExStyle &= ~WS_EX_CLIENTEDGE;
  if (FBorderStyle == TdxBorderStyle::bsSingle && FLookAndFeel == lfStandard) {
    if (Ctl3D())
      params.ExStyle |= WS_EX_CLIENTEDGE;
    else
      params.Style |= WS_BORDER;
  }
}

void TCustomdxTreeList::CreateWnd() {
  TCustomdxContainer::CreateWnd();
  UpdateScrollBars();
}

TVK_MESSAGE_MAP(TCustomdxTreeList, {WM_MOUSEWHEEL, &TCustomdxTreeList::WMMouseWheel},
                {WM_MBUTTONDOWN, &TCustomdxTreeList::WMMButtonDown},
                {CM_FONTCHANGED, &TCustomdxTreeList::CMFontChanged},
                {CM_COLORCHANGED, &TCustomdxTreeList::CMColorChanged},
                {CM_PARENTFONTCHANGED, &TCustomdxTreeList::CMParentFontChanged},
                {WM_DESTROY, &TCustomdxTreeList::WMDestroy}, {WM_SIZE, &TCustomdxTreeList::WMSize},
                {WM_SETFOCUS, &TCustomdxTreeList::WMSetFocus}, {WM_KILLFOCUS, &TCustomdxTreeList::WMKillFocus},
                {WM_ERASEBKGND, &TCustomdxTreeList::WMEraseBkgnd}, {WM_CANCELMODE, &TCustomdxTreeList::WMCancelMode},
                {WM_SETCURSOR, &TCustomdxTreeList::WMSetCursor}, {WM_NCCALCSIZE, &TCustomdxTreeList::WMNCCalcSize},
                {WM_NCHITTEST, &TCustomdxTreeList::WMNCHitTest}, {WM_NCPAINT, &TCustomdxTreeList::WMNCPaint},
                {WM_GETDLGCODE, &TCustomdxTreeList::WMGetDlgCode},
                {WM_IME_STARTCOMPOSITION, &TCustomdxTreeList::WMIMEStartComposition},
                {WM_TIMER, &TCustomdxTreeList::WMTimer}, {WM_HSCROLL, &TCustomdxTreeList::WMHScroll},
                {WM_VSCROLL, &TCustomdxTreeList::WMVScroll}, {WM_LBUTTONDOWN, &TCustomdxTreeList::WMLButtonDown},
                {CM_CANCELMODE, &TCustomdxTreeList::CMCancelMode}, {CM_CTL3DCHANGED, &TCustomdxTreeList::CMCtl3DChanged},
                {CM_MOUSEENTER, &TCustomdxTreeList::CMMouseEnter}, {CM_MOUSELEAVE, &TCustomdxTreeList::CMMouseLeave},
                {CM_EXIT, &TCustomdxTreeList::CMExit})

void TCustomdxTreeList::WMMouseWheel(TMessage& message) {
  if (OnMouseWheelScroll) {
    const short delta = static_cast<short>(HIWORD(message.WParam));
    OnMouseWheelScroll(this, delta > 0, Mouse().WheelScrollLines());
  }
  TCustomdxContainer::WMMouseWheel(message);
}

void TCustomdxTreeList::CMFontChanged(TMessage& message) {
  TCustomdxContainer::CMFontChanged(message);
  LayoutChanged();
}

void TCustomdxTreeList::CMColorChanged(TMessage& message) {
  TCustomdxContainer::CMColorChanged(message);
  LayoutChanged();
}

void TCustomdxTreeList::CMParentFontChanged(TMessage& message) {
  TCustomdxContainer::CMParentFontChanged(message);
  if (!ParentFont()) return;
  FSelfChangingTitleFont = true;
  TryFinally(
      [&] {
        FBandFont.Assign(Font());
        FHeaderFont.Assign(Font());
        FPreviewFont.SetName(Font().Name());
        FPreviewFont.SetHeight(Font().Height());
        FPreviewFont.SetStyle(Font().Style());
        FPreviewFont.SetColor(TColor(0xFF0000));
      },
      [&] { FSelfChangingTitleFont = false; });
  LayoutChanged();
}

void TCustomdxTreeList::TitleFontChanged() {
  if (!FSelfChangingTitleFont && !Loading()) SetParentFont(false);
  LayoutChanged();
}

// ---- cell painters

namespace {

bool SameRGB(TColor a, TColor b) { return ColorToRGB(a) == ColorToRGB(b); }

// The font's colour, and the canvas's colour for text, for the next drawing.
HDC SelectCanvas(TCanvas& canvas) {
  HDC dc = canvas.StateHandle();
  SetTextColor(dc, ColorToRGB(canvas.Font().Color()));
  return dc;
}

// Runs Work between BeginDrawNode and EndDrawNode (also when Work raises).
template <class W>
void WithDrawNode(TCustomdxTreeList& tree, TdxTreeListNode* node, W&& work) {
  if (node) tree.BeginDrawNode(node);
  try {
    work();
  } catch (...) {
    if (node) tree.EndDrawNode(node);
    throw;
  }
  if (node) tree.EndDrawNode(node);
}

TColor InvertedRGB(TColor color) { return TColor(ColorToRGB(color) ^ 0xFFFFFF); }

}  // namespace

void TCustomdxTreeList::DrawCell(TCanvas& canvas, const RECT& rect, HBRUSH cellBrush, TColor cellColor,
                                 bool rightEdge, bool leftEdge, int kind, bool multiLine, HBRUSH brush,
                                 TColor textColor, TColor bkColor, bool focused, bool selected, int column,
                                 TdxTreeListNode* node, TBitmap* drawBitmap) {
  (void)drawBitmap;
  ++FPaintStats.CellsDrawn;
  WithDrawNode(*this, node, [&] {
    WideString text;
    if (kind == 1 || kind == 2)
      GetNewItemRowText(column, text);
    else
      GetCellText(node, column, text);
    TAlignment alignment = GetColumnAlignment(node, column);
    bool fontAssigned = (kind == 0 || kind == 2) && IsColumnFontAssigned(column);
    bool customDraw = IsCustomDrawCell(node, column);
    bool swapFont = customDraw || fontAssigned;
    if (swapFont) {
      if (!fontAssigned) canvas.Font().SetColor(textColor);
      FSaveFont.Assign(canvas.Font());
      if (fontAssigned) {
        canvas.Font().Assign(GetColumnFont(column));
        if (selected)
          canvas.Font().SetColor(textColor);
        else
          textColor = canvas.Font().Color();
      }
    }
    TColor fontColor = canvas.Font().Color();
    TColor color = bkColor;
    TryFinally(
        [&] {
          bool done = false;
          DoCustomDrawCell(canvas, rect, done, alignment, canvas.Font(), color, text, brush, rightEdge, leftEdge,
                           kind == 2, focused, selected, column, node);
          if (done) return;
          if (customDraw) {
            if (!SameRGB(color, bkColor)) {
              canvas.Brush().SetColor(color);
              brush = canvas.Brush().Handle();
            }
            if (!SameRGB(canvas.Font().Color(), fontColor)) textColor = canvas.Font().Color();
          }
          auto fill = [&](TColor back, TColor fore, int length, bool invertText) {
            TdxTreeListCellViewData& cell = FCellViewData;
            cell.Cell_Brush = brush;
            cell.Cell_Font = canvas.Font().Handle();
            cell.Cell_BkColor = back;
            cell.Cell_TextColor = fore;
            cell.Cell_Alignment = alignment;
            cell.Cell_Text = text;
            cell.Cell_TextLength = length;
            cell.Cell_Selected = selected;
            cell.Cell_InvertSelect = IsInvertSelect();
            cell.Cell_LeftEdge = leftEdge;
            cell.Cell_RightEdge = rightEdge;
            cell.Cell_MultiLine = multiLine;
            cell.Cell_InvertText = invertText;
            cell.Cell_DrawEndEllipsis = IsDrawEndEllipsis();
            cell.Cell_DrawPathEllipsis = IsDrawPathEllipsis();
            cell.Cell_Node = node;
            cell.Cell_IsNullNode = kind == 2 && !HasNewItemRowValue();
            cell.Cell_SelectionColor = focused ? FHighlightColor : FHideSelectionColor;
            cell.Cell_CellBrush = cellBrush;
            cell.Cell_CellColor = cellColor;
            cell.Cell_HotTrackNode = IsHotTrackedCell(node, column);
            cell.Cell_Rect = RECT{-2, -2, rect.right - rect.left + 2, rect.bottom - rect.top + 2};
            DrawCellValue(canvas.Handle(), rect, cell, column);
          };
          fill(color, textColor, 0, false);
          if (FSearching && focused && kind == 0 && column == FSearchColumnIndex) {
            if (!FSearchText.empty()) {
              TColor back = FAutoSearchColor == clNone ? InvertedRGB(color) : FAutoSearchColor;
              canvas.Brush().SetColor(back);
              brush = canvas.Brush().Handle();
              TColor fore = FAutoSearchTextColor == clNone ? InvertedRGB(textColor) : FAutoSearchTextColor;
              fill(back, fore, int(FSearchText.size()), true);
            }
            RECT frame = rect;
            InflateRect(&frame, -1, -1);
            if (IsRowSelect() || IsInvertSelect()) {
              if (!leftEdge) frame.left -= 1;
              if (!rightEdge) frame.right += 1;
            }
            DrawFocusFrame(canvas.Handle(), frame);
          }
        },
        [&] {
          if (swapFont) canvas.Font().Assign(FSaveFont);
        });
  });
}

void TCustomdxTreeList::DrawPanelCell(TCanvas& canvas, const RECT& rect, bool rightEdge, bool leftEdge, int kind,
                                      bool multiLine, HBRUSH brush, TColor color, bool focused, bool selected,
                                      int footerIndex, int column, TdxTreeListNode* node, TBitmap* drawBitmap) {
  WithDrawNode(*this, node, [&] {
    WideString text;
    TAlignment alignment = GetColumnAlignment(node, column);
    if (kind == 1) {
      GetFooterCellText(node, column, footerIndex, text);
      alignment = GetFooterCellAlignment(node, column);
    } else if (kind == 2) {
      GetNewItemRowText(column, text);
    } else {
      GetCellText(node, column, text);
    }
    bool fontAssigned = (kind == 0 || kind == 2) && IsColumnFontAssigned(column);
    bool customDraw = kind == 1 ? IsCustomDrawFooter(node, column, footerIndex) : IsCustomDrawCell(node, column);
    HDC dc = canvas.Handle();
    bool restoreFont = customDraw || fontAssigned;
    if (restoreFont) {
      canvas.Font().SetColor(TColor(GetTextColor(dc)));
      FSaveFont.Assign(canvas.Font());
      if (fontAssigned) {
        canvas.Font().Assign(GetColumnFont(column));
        if (selected) canvas.Font().SetColor(FSaveFont.Color());
      }
    }
    COLORREF savedBack = GetBkColor(dc);
    TColor colorNow = color;
    TryFinally(
        [&] {
          bool done = false;
          if (kind == 1)
            DoCustomDrawFooter(canvas, rect, done, alignment, canvas.Font(), colorNow, text, footerIndex, column,
                               node);
          else
            DoCustomDrawCell(canvas, rect, done, alignment, canvas.Font(), colorNow, text, brush, rightEdge,
                             leftEdge, kind == 2, focused, selected, column, node);
          if (done) return;
          if (!SameRGB(colorNow, color)) {
            canvas.Brush().SetColor(colorNow);
            brush = canvas.Brush().Handle();
            SetBkColor(canvas.Handle(), ColorToRGB(colorNow));
          }
          TdxPanelCellTextParams params;
          params.Brush = brush;
          params.Opaque = false;
          params.InvertSelect = kind != 1 && IsInvertSelect();
          params.UseBitmap = IsUseBitmap();
          params.Alignment = alignment;
          params.PathEllipsis = IsDrawPathEllipsis();
          params.EndEllipsis = IsDrawEndEllipsis();
          params.MultiLine = multiLine;
          params.Text = text;
          params.TextLength = int(text.size());
          params.DrawBitmap = drawBitmap;
          params.Color = colorNow;
          dc = SelectCanvas(canvas);
          DrawPanelCellText(dc, rect, params);
          if (focused && FSearching && kind == 0 && column == FSearchColumnIndex) {
            if (!FSearchText.empty()) {
              colorNow = FAutoSearchColor == clNone ? InvertedRGB(colorNow) : FAutoSearchColor;
              canvas.Brush().SetColor(colorNow);
              if (!restoreFont) {
                canvas.Font().SetColor(TColor(GetTextColor(canvas.Handle())));
                FSaveFont.Assign(canvas.Font());
                restoreFont = true;
              }
              TColor fore = FAutoSearchTextColor == clNone ? InvertedRGB(canvas.Font().Color()) : FAutoSearchTextColor;
              canvas.Font().SetColor(fore);
              dc = SelectCanvas(canvas);
              SetBkColor(dc, ColorToRGB(colorNow));
              params.Brush = canvas.Brush().Handle();
              params.Opaque = true;
              params.Color = colorNow;
              params.TextLength = int(FSearchText.size());
              DrawPanelCellText(dc, rect, params);
            }
            RECT frame = rect;
            InflateRect(&frame, -1, -1);
            if (IsRowSelect() || IsInvertSelect()) {
              if (!leftEdge) frame.left -= 1;
              if (!rightEdge) frame.right += 1;
            }
            DrawFocusFrame(dc, frame);
          }
        },
        [&] {
          if (restoreFont) canvas.Font().Assign(FSaveFont);
          if (!SameRGB(colorNow, color)) SetBkColor(canvas.Handle(), savedBack);
        });
  });
}

void TCustomdxTreeList::DrawPreview(TCanvas& canvas, const RECT& rect, bool selected, HBRUSH brush,
                                    TColor textColor, TColor bkColor, TdxTreeListNode* node, TBitmap* drawBitmap) {
  WideString text;
  GetPreviewText(node, text);
  if (!SameRGB(bkColor, FHighlightColor)) textColor = FPreviewFont.Color();
  TColor color = bkColor;
  FSaveFont.Assign(canvas.Font());
  canvas.Font().Assign(FPreviewFont);
  COLORREF savedBack = GetBkColor(canvas.Handle());
  TryFinally(
      [&] {
        bool done = false;
        DoCustomDrawPreview(canvas, rect, done, canvas.Font(), textColor, color, text, selected, node);
        if (done) return;
        if (!SameRGB(color, bkColor)) {
          canvas.Brush().SetColor(color);
          brush = canvas.Brush().Handle();
          SetBkColor(canvas.Handle(), ColorToRGB(color));
        }
        TdxPreviewTextParams params;
        params.Brush = brush;
        params.Indent = FIndentDesc;
        params.Text = text;
        params.TextColor = textColor;
        params.Font = canvas.Font().Handle();
        DrawPreviewTextBuffered(canvas.Handle(), rect, params, IsUseBitmap() ? drawBitmap : nullptr);
      },
      [&] {
        canvas.Font().Assign(FSaveFont);
        if (!SameRGB(color, bkColor)) SetBkColor(canvas.Handle(), savedBack);
      });
}

void TCustomdxTreeList::DrawIndicator(HDC dc, const RECT& rect, TdxLookAndFeel look, TdxGridIndicatorKind kind,
                                      TBitmap* drawBitmap, HBRUSH brush, TdxTreeListNode* node, const RECT& clip) {
  // Outside a paint the cell gets a bitmap of its own.
  std::unique_ptr<TBitmap> own;
  if (!drawBitmap) {
    own = std::make_unique<TBitmap>();
    drawBitmap = own.get();
  }
  RECT local{0, 0, rect.right - rect.left, rect.bottom - rect.top};
  EnsureBitmapSize(*drawBitmap, local.right, local.bottom);
  bool done = false;
  DoCustomDrawIndicator(dc, local, done, look, kind, *drawBitmap, brush, node, clip);
  if (!done) {
    TCanvas& canvas = drawBitmap->Canvas();
    HDC bitmapDC = canvas.Handle();
    RECT frame = local;
    if (look == lfUltraFlat)
      DrawFooterCellFrame(bitmapDC, frame, brush);
    else
      DrawHeaderFrame(bitmapDC, frame, brush, look, 0, false);
    TImageList* images = GetIndicatorImages();
    if (kind != ikNone && images && int(kind) - 1 < images->Count()) {
      int x = (local.left + local.right - images->Width()) / 2;
      int y = (local.top + local.bottom - images->Height()) / 2;
      images->Draw(canvas, x, y, int(kind) - 1, true);
    }
  }
  BitBlt(dc, clip.left, clip.top, clip.right - clip.left, clip.bottom - clip.top, drawBitmap->Canvas().Handle(),
         clip.left - rect.left, clip.top - rect.top, SRCCOPY);
}

void TCustomdxTreeList::DrawBorder(HDC dc, const RECT& rect) {
  RECT r = rect;
  if (FLookAndFeel == lfUltraFlat)
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
  else
    DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
}

// ---- painting: frame and panels

namespace {

// A solid brush owned by one paint.
class TPaintBrush {
public:
  TPaintBrush() = default;
  explicit TPaintBrush(TColor color) : FHandle(CreateSolidBrush(ColorToRGB(color))) {}
  TPaintBrush(TPaintBrush&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
  TPaintBrush& operator=(TPaintBrush&& other) noexcept {
    if (this != &other) {
      Reset();
      FHandle = std::exchange(other.FHandle, nullptr);
    }
    return *this;
  }
  TPaintBrush(const TPaintBrush&) = delete;
  TPaintBrush& operator=(const TPaintBrush&) = delete;
  ~TPaintBrush() { Reset(); }
  HBRUSH Get() const { return FHandle; }
  void Reset() {
    if (FHandle) DeleteObject(FHandle);
    FHandle = nullptr;
  }

private:
  HBRUSH FHandle = nullptr;
};

constexpr TColor kUltraFlatShadow = TColor(0xA0A0A0);

}  // namespace

// What one paint uses: the geometry (a copy whose rows the first pass
// annotates), the canvas, the brushes and the column colour table. Every
// brush goes with it, whatever happens in between.
struct TCustomdxTreeList::TPaintContext {
  TPaintContext(TCustomdxTreeList& tree, const TdxGridDrawInfo& info, TCanvas& canvas)
      : Info(info),
        Canvas(canvas),
        ShadowColor(tree.FLookAndFeel == lfUltraFlat ? kUltraFlatShadow : clBtnShadow),
        Band(tree.FBandColor),
        Header(tree.FHeaderColor),
        Group(tree.FGroupColor),
        Window(tree.Color()),
        Shadow(ShadowColor),
        Highlight(tree.FHighlightColor),
        TreeLine(tree.FTreeLineColor),
        HideSelection(tree.FHideSelectionColor),
        Footer(tree.FFooterColor),
        FixedBandLine(tree.FFixedBandLineColor),
        PlusMinus(tree.FPlusMinusColor) {
    Columns.reserve(Info.HeadersInfo.size());
    for (const TdxGridHeaderDrawInfo& header : Info.HeadersInfo) {
      TColor color = tree.GetColumnColor(header.AbsoluteIndex);
      Columns.push_back({SameRGB(color, tree.Color()) ? TPaintBrush() : TPaintBrush(color), color});
    }
    Focused = tree.IsPaintFocused();
  }
  struct TColumnColor {
    TPaintBrush Brush;
    TColor Color;
  };
  TdxGridDrawInfo Info;
  TCanvas& Canvas;
  TColor ShadowColor;
  TPaintBrush Band, Header, Group, Window, Shadow, Highlight, TreeLine, HideSelection, Footer, FixedBandLine,
      PlusMinus, Level;
  std::vector<TColumnColor> Columns;
  bool Focused = false;
  HDC DC() { return Canvas.Handle(); }
};

bool TCustomdxTreeList::IsRectVisible(HDC dc, const RECT& rect) const {
  if (FDrawNonVisibleParts) return !IsEmptyArea(rect);
  return RectVisible(dc, &rect) != FALSE;
}

bool TCustomdxTreeList::IsPaintFocused() {
  if (!HandleAllocated()) return false;
  HWND focus = GetFocus();
  return focus && (focus == Handle() || IsChild(Handle(), focus));
}

void TCustomdxTreeList::GetStatusCloseButtonRect(RECT& rect) {
  TdxGridDrawInfo info;
  CalcRectInfo(info, false);
  const RECT& s = info.StatusRect;
  if (IsEmptyArea(s)) return;
  int top = s.top + (s.bottom - s.top - 11) / 2;
  rect = RECT{s.left + 3, top, s.left + 3 + 12, top + 11};
}

void TCustomdxTreeList::HideDragImages() {
  if (FLockHideDragImages == 0) {
    switch (FState) {
      case tsColumnSizing: case tsBandSizing: case tsBandPanelSizing: case tsHeaderPanelSizing: case tsRowSizing:
        DrawSizingLine();
        break;
      case tsColumnDragging: case tsBandDragging:
        DrawArrows(false);
        break;
      default:
        break;
    }
  }
  ++FLockHideDragImages;
}

void TCustomdxTreeList::ShowDragImages() {
  if (--FLockHideDragImages != 0) return;
  switch (FState) {
    case tsColumnSizing: case tsBandSizing: case tsBandPanelSizing: case tsHeaderPanelSizing: case tsRowSizing:
      DrawSizingLine();
      break;
    case tsColumnDragging: case tsBandDragging:
      DrawArrows(false);
      break;
    default:
      break;
  }
}

void TCustomdxTreeList::Paint() {
  TdxGridDrawInfo info;
  CalcDrawInfo(info);
  PaintArea(info, Canvas());
}

void TCustomdxTreeList::PaintArea(const TdxGridDrawInfo& info, TCanvas& canvas) {
  if (FLockPaintUpdate > 0) return;
  HideDragImages();
  TryFinally(
      [&] {
        FDrawBitmap = std::make_unique<TBitmap>();
        TryFinally(
            [&] {
              TPaintContext pc(*this, info, canvas);
              ++FPaintStats.Paints;
              FPaintStats.RowsLaidOut += info.RowCount();
              if (IsRectVisible(pc.DC(), info.GroupPanelRect))
                DrawGroupPanel(canvas, info.GroupPanelRect, pc.Shadow.Get(), pc.Header.Get());
              PaintBandPanel(pc);
              PaintHeaderPanel(pc);
              PaintNewItemRow(pc);
              PaintIndicatorColumn(pc);
              PaintFooterPanel(pc);
              PaintStatusPanel(pc);
              PaintNodeRows(pc);
            },
            [&] { FDrawBitmap.reset(); });
      },
      [&] { ShowDragImages(); });
}

namespace {

void PaintPanelButton(HDC dc, RECT rect, HBRUSH brush, TdxLookAndFeel look, bool pushed) {
  if (look == lfUltraFlat) {
    RECT cell = rect;
    DrawEdge(dc, &cell, BDR_SUNKENOUTER, BF_TOP | BF_RIGHT | BF_BOTTOM | BF_FLAT | BF_ADJUST);
    FillRect(dc, &cell, brush);
    if (pushed) BitBlt(dc, cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top, nullptr, 0, 0, DSTINVERT);
  } else {
    DrawHeaderButton(dc, rect, brush, look, 0, pushed);
  }
}

// Position of a header in its row for the frame: 0 alone, 2 first, 1 last, 3 between.
int HeaderPosition(const TdxGridHeaderDrawInfo& header) {
  if (header.FirstColumn && header.LastColumn) return 0;
  if (header.FirstColumn) return 2;
  if (header.LastColumn) return 1;
  return 3;
}

}  // namespace

void TCustomdxTreeList::PaintBandPanel(TPaintContext& pc) {
  const TdxGridDrawInfo& info = pc.Info;
  TCanvas& canvas = pc.Canvas;
  if (IsRectVisible(pc.DC(), info.BandButtonRect))
    PaintPanelButton(pc.DC(), info.BandButtonRect, pc.Band.Get(), FLookAndFeel, FBandButtonPushed);
  if (IsRectVisible(pc.DC(), info.BandRect) && !info.BandsInfo.empty()) {
    canvas.Font().Assign(FBandFont);
    for (const TdxGridBandDrawInfo& band : info.BandsInfo) {
      WideString caption;
      GetBandCaption(band.Index, caption);
      TAlignment alignment = GetBandAlignment(band.Index);
      HBRUSH brush = pc.Band.Get();
      bool custom = IsCustomDrawBand(band.Index);
      bool done = false;
      if (custom) FSaveFont.Assign(canvas.Font());
      TryFinally(
          [&] {
            if (custom) {
              TColor color = FBandColor;
              TClipRect clip(pc.DC(), band.BandClipRect, !EqualRect(&band.BandRect, &band.BandClipRect));
              DoCustomDrawBand(band.Index, canvas, done, alignment, canvas.Font(), color, caption, band.BandClipRect,
                               band.BandRect);
              if (!done && !SameRGB(color, FBandColor)) {
                canvas.Brush().SetColor(color);
                brush = canvas.Brush().Handle();
              }
            }
            if (done) return;
            HDC dc = SelectCanvas(canvas);
            DrawHeaderCellBuffered(dc, band.BandRect, band.BandClipRect, *FDrawBitmap, brush, 0, FLookAndFeel, 0,
                                   nullptr, csNone, alignment, FBandRowCount > 1,
                                   FDownBandPushed && band.Index == FDownBandIndex, caption);
          },
          [&] {
            if (custom) canvas.Font().Assign(FSaveFont);
          });
    }
  }
  if (!IsEmptyArea(info.FixedBandLeftRect) && IsRectVisible(pc.DC(), info.FixedBandLeftRect)) {
    RECT strip = info.FixedBandLeftRect;
    strip.left = strip.right - FFixedBandLineWidth;
    FillRect(pc.DC(), &strip, pc.FixedBandLine.Get());
  }
  if (!IsEmptyArea(info.FixedBandRightRect) && IsRectVisible(pc.DC(), info.FixedBandRightRect)) {
    RECT strip = info.FixedBandRightRect;
    strip.right = strip.left + FFixedBandLineWidth;
    FillRect(pc.DC(), &strip, pc.FixedBandLine.Get());
  }
}

void TCustomdxTreeList::PaintHeaderPanel(TPaintContext& pc) {
  const TdxGridDrawInfo& info = pc.Info;
  TCanvas& canvas = pc.Canvas;
  if (IsRectVisible(pc.DC(), info.HeaderButtonRect))
    PaintPanelButton(pc.DC(), info.HeaderButtonRect, pc.Header.Get(), FLookAndFeel, FHeaderButtonPushed);
  if (IsRectVisible(pc.DC(), info.HeaderRect)) {
    canvas.Font().Assign(FHeaderFont);
    for (const TdxGridHeaderDrawInfo& header : info.HeadersInfo) {
      int a = header.AbsoluteIndex;
      TAlignment alignment = GetHeaderAlignment(a);
      TBitmap* glyph = IsHeaderGlyphAssigned(a) ? GetHeaderGlyph(a) : nullptr;
      WideString caption;
      GetHeaderCaption(a, caption);
      TdxTreeListColumnSort sorted = GetHeaderSorted(a);
      int dropDown = GetHeaderDropDownState(a);
      HBRUSH brush = pc.Header.Get();
      bool custom = IsCustomDrawHeader(a);
      bool done = false;
      if (custom) FSaveFont.Assign(canvas.Font());
      TryFinally(
          [&] {
            if (custom) {
              TColor color = FHeaderColor;
              TClipRect clip(pc.DC(), header.HeaderClipRect,
                             !EqualRect(&header.HeaderRect, &header.HeaderClipRect));
              DoCustomDrawHeader(a, canvas, done, sorted, alignment, canvas.Font(), color, caption,
                                 header.HeaderClipRect, header.HeaderRect);
              if (!done && !SameRGB(color, FHeaderColor)) {
                canvas.Brush().SetColor(color);
                brush = canvas.Brush().Handle();
              }
            }
            if (done) return;
            HDC dc = SelectCanvas(canvas);
            int position = HeaderPosition(header);
            bool multiLine = header.LineCount > 1 || FHeaderLineCount > 1;
            if (FDisableHeaderImages) {
              TClipRect clip(dc, header.HeaderClipRect);
              DrawHeaderCell(dc, header.HeaderRect, brush, 0, FLookAndFeel, position, nullptr, csNone, alignment,
                             multiLine, false, caption);
            } else {
              DrawHeaderCellBuffered(dc, header.HeaderRect, header.HeaderClipRect, *FDrawBitmap, brush, dropDown,
                                     FLookAndFeel, position, glyph, sorted, alignment, multiLine,
                                     FDownColumnPushed && a == FDownColumnIndex, caption);
            }
            if (!IsEmptyArea(header.HeaderEmptyRect)) FillRect(dc, &header.HeaderEmptyRect, pc.Shadow.Get());
          },
          [&] {
            if (custom) canvas.Font().Assign(FSaveFont);
          });
    }
    for (const TdxGridEmptyRectDrawInfo& empty : info.EmptyRectsInfo)
      if (!IsEmptyArea(empty.EmptyRect)) FillRect(pc.DC(), &empty.EmptyRect, pc.Shadow.Get());
  }
}

// The horizontal clip of scrolling bands: switched on before the first
// header of a scrolling band and off before the next header of a fixed one.
class TCustomdxTreeList::TScrollingClip {
public:
  TScrollingClip(TCustomdxTreeList& tree, const TdxGridDrawInfo& info, HDC dc, int top, int bottom) : FDC(dc) {
    const RECT& cells = info.CellsRect;
    int total = tree.GetBandsWidth();
    bool fixed = info.FixedBandLeftIndex != -1 || info.FixedBandRightIndex != -1;
    FEnabled = (fixed || tree.FLeftCoord != 0) && cells.right - cells.left < total;
    FLeftIndex = info.FixedBandLeftIndex;
    FRightIndex = info.FixedBandRightIndex;
    int left = info.FixedBandLeftIndex != -1 ? int(info.FixedBandLeftRect.right) : int(cells.left);
    int right = info.FixedBandRightIndex != -1 ? int(info.FixedBandRightRect.left) : int(cells.right);
    FRect = RECT{left, top, right, bottom};
  }
  TScrollingClip(const TScrollingClip&) = delete;
  TScrollingClip& operator=(const TScrollingClip&) = delete;
  ~TScrollingClip() { Off(); }
  void Before(int band) {
    if (!FEnabled) return;
    bool scrolling = band != FLeftIndex && band != FRightIndex;
    if (scrolling && !FOn) {
      BeginClipRect(FDC, FRect, FSaved, false);
      FOn = true;
    } else if (!scrolling) {
      Off();
    }
  }
  void Off() {
    if (FOn) EndClipRect(FDC, FSaved);
    FOn = false;
    FSaved = nullptr;
  }

private:
  HDC FDC;
  bool FEnabled = false;
  bool FOn = false;
  int FLeftIndex = -1, FRightIndex = -1;
  RECT FRect{};
  HRGN FSaved = nullptr;
};

void TCustomdxTreeList::PaintNewItemRow(TPaintContext& pc) {
  const TdxGridDrawInfo& info = pc.Info;
  if (!IsRectVisible(pc.DC(), info.NewItemRowRect)) return;
  TCanvas& canvas = pc.Canvas;
  const RECT& row = info.NewItemRowRect;
  const RECT& cells = info.CellsRect;
  bool fixedLeft = info.FixedBandLeftIndex != -1, fixedRight = info.FixedBandRightIndex != -1;
  int shift = fixedLeft ? 0 : FLeftCoord;
  int total = GetBandsWidth();
  int g = FShowGrid ? 1 : 0;
  bool bothGrids = FShowGrid && FShowPreviewGrid;
  {
    RECT separator{cells.left - shift, row.bottom - FNewItemRowSeparatorHeight, cells.left + total - shift,
                   row.bottom};
    if (fixedLeft) separator.left = cells.left;
    if (fixedRight) separator.right = std::min(separator.right, cells.right);
    TClipRect clip(pc.DC(), RECT{cells.left, separator.top, cells.right, separator.bottom});
    DrawHeaderFrame(pc.DC(), separator, pc.Header.Get(), FLookAndFeel == lfStandard ? lfStandard : lfFlat, 0, false);
  }
  int indicator = FShowIndicator ? GetIndicatorWidth() : 0;
  if (indicator > 0) {
    RECT cell{row.left, row.top, row.left + indicator, row.bottom};
    DrawIndicator(pc.DC(), cell, FLookAndFeel, ikInsert, FDrawBitmap.get(), pc.Header.Get(), nullptr, cell);
  }
  canvas.Font().Assign(Font());
  TdxGridRowDrawInfo newRow;
  newRow.Node = FFocused;
  newRow.IsSelected = IsNewItemRowActive();
  std::vector<POINT> segments;
  {
    TScrollingClip clip(*this, info, pc.DC(), row.top, row.top + FRowHeight);
    for (std::size_t k = 0; k < info.HeadersInfo.size(); ++k) {
      const TdxGridHeaderDrawInfo& header = info.HeadersInfo[k];
      clip.Before(header.BandIndex);
      RECT cell{header.HeaderRect.left, row.top, header.HeaderRect.right, row.top + FRowHeight - (bothGrids ? 1 : 0)};
      if (bothGrids) {
        cell.right -= 1;
        segments.push_back({cell.right, cell.top});
        segments.push_back({cell.right, cell.bottom + 1});
      }
      bool selected = IsCellSelected(newRow, header.AbsoluteIndex);
      HBRUSH brush;
      TColor textColor, bkColor;
      GetCellColors(pc, FFocused, selected, int(k), 0, false, false, brush, textColor, bkColor);
      HBRUSH columnBrush = pc.Columns[k].Brush.Get() ? pc.Columns[k].Brush.Get() : pc.Window.Get();
      TColor columnColor = pc.Columns[k].Brush.Get() ? pc.Columns[k].Color : Color();
      SelectCanvas(canvas);
      DrawCell(canvas, cell, columnBrush, columnColor, header.RightEdgeColumn, header.LeftEdgeColumn, 2,
               header.MultiLine, brush, textColor, bkColor, false, selected, header.AbsoluteIndex, FFocused,
               FDrawBitmap.get());
      if (selected && header.AbsoluteIndex == FocusedColumnAbsoluteIndex() && !IsRowSelect() && !IsInvertSelect())
        DrawFocusRectangle(pc, cell);
    }
  }
  if (IsNewItemRowActive() && (IsRowSelect() || IsInvertSelect())) {
    RECT frame{cells.left - shift, row.top, cells.left + total - g - shift,
               row.top + FRowHeight - (bothGrids ? 1 : 0)};
    if (fixedLeft) OffsetRect(&frame, shift, 0);
    if (fixedRight) frame.right = std::min(frame.right, LONG(cells.right - g));
    DrawFocusRectangle(pc, frame);
  }
  if (!IsEmptyArea(info.EmptyRectRight)) {
    RECT empty{info.EmptyRectRight.left, row.top, info.EmptyRectRight.right, row.top + FRowHeight};
    FillRect(pc.DC(), &empty, pc.Window.Get());
  }
  if (!segments.empty()) {
    TPaintBrush unused;
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(FShowGrid ? GetGridLineColor() : Color()));
    HGDIOBJ old = SelectObject(pc.DC(), pen);
    std::vector<DWORD> counts(segments.size() / 2, 2);
    PolyPolyline(pc.DC(), segments.data(), counts.data(), DWORD(counts.size()));
    SelectObject(pc.DC(), old);
    DeleteObject(pen);
  }
}

void TCustomdxTreeList::PaintIndicatorColumn(TPaintContext& pc) {
  const TdxGridDrawInfo& info = pc.Info;
  if (!IsRectVisible(pc.DC(), info.IndicatorRect) || info.RowsInfo.empty()) return;
  int y = info.CellsRect.top;
  for (const TdxGridRowDrawInfo& row : info.RowsInfo) {
    RECT cell{info.IndicatorRect.left, y, info.IndicatorRect.right, y + row.RowHeight};
    RECT clip = cell;
    if (!IsEmptyArea(info.FooterRect)) clip.bottom = std::min(clip.bottom, info.FooterRect.top);
    clip.bottom = std::min(clip.bottom, info.CellsRect.bottom);
    if (clip.bottom > clip.top && IsRectVisible(pc.DC(), clip))
      DrawIndicator(pc.DC(), cell, FLookAndFeel, row.IndicatorKind, FDrawBitmap.get(), pc.Header.Get(), row.Node,
                    clip);
    y += row.RowHeight;
  }
  ExcludeClipRect(pc.DC(), info.IndicatorRect.left, info.IndicatorRect.top, info.IndicatorRect.right,
                  info.IndicatorRect.bottom);
}

void TCustomdxTreeList::PaintFooterPanel(TPaintContext& pc) {
  const TdxGridDrawInfo& info = pc.Info;
  if (!IsRectVisible(pc.DC(), info.FooterRect)) return;
  TCanvas& canvas = pc.Canvas;
  HDC dc = pc.DC();
  const RECT& cells = info.CellsRect;
  bool fixedLeft = info.FixedBandLeftIndex != -1, fixedRight = info.FixedBandRightIndex != -1;
  int total = GetBandsWidth();
  int widen = FFlat ? 1 : 2;
  RECT panel = info.FooterRect;
  if (!fixedLeft && FLeftCoord != 0) panel.left -= widen;
  if (!fixedRight && panel.right < cells.left + total - FLeftCoord) panel.right += widen;
  if (FFlat) {
    DrawEdge(dc, &panel, BDR_SUNKENOUTER, BF_TOP);
    panel.top += 1;
    if (FLookAndFeel == lfUltraFlat)
      FillRect(dc, &panel, pc.Header.Get());
    else
      DrawEdge(dc, &panel, BDR_RAISEDINNER, BF_RECT);
  } else {
    FrameRect(dc, &panel, GetSysColorBrush(COLOR_WINDOWFRAME));
    InflateRect(&panel, -1, -1);
    panel.left -= 1;
    DrawEdge(dc, &panel, BDR_RAISEDINNER, BF_RECT);
  }
  InflateRect(&panel, -1, -1);
  FillRect(dc, &panel, pc.Header.Get());
  canvas.Font().Assign(Font());
  {
    TScrollingClip clip(*this, info, dc, info.FooterRect.top, info.FooterRect.bottom);
    int lastBand = GetVisibleBandCount() - 1;
    for (const TdxGridHeaderDrawInfo& header : info.HeadersInfo) {
      clip.Before(header.BandIndex);
      int a = header.AbsoluteIndex;
      int left = header.HeaderRect.left;
      if (header.BandIndex == 0) {
        int unscrolled = left + (fixedLeft ? 0 : FLeftCoord);
        if (unscrolled < cells.left) left += cells.left - unscrolled;
      }
      int top = info.FooterRect.top + header.RowIndex * FFooterRowHeight;
      RECT cell{left, top, header.HeaderRect.right, top + header.LineCount * FFooterRowHeight};
      InflateRect(&cell, -1, -1);
      if (header.LeftEdgeColumn) cell.left += 1;
      if (header.LastColumn && header.BandIndex == lastBand) cell.right -= 2;
      if (!IsExistFooterCell(a) || IsEmptyArea(cell)) continue;
      if (FLookAndFeel == lfUltraFlat) {
        FrameRect(dc, &cell, GetSysColorBrush(COLOR_BTNSHADOW));
      } else {
        DrawEdge(dc, &cell, BDR_SUNKENOUTER, BF_RECT);
      }
      InflateRect(&cell, -1, -1);
      SetBkColor(dc, ColorToRGB(FHeaderColor));
      SetTextColor(dc, ColorToRGB(Font().Color()));
      DrawPanelCell(canvas, cell, false, false, 1, header.LineCount > 1, pc.Header.Get(), FHeaderColor, false, false,
                    -1, a, nullptr, FDrawBitmap.get());
    }
  }
  ExcludeClipRect(dc, info.FooterRect.left, info.FooterRect.top, info.FooterRect.right, info.FooterRect.bottom);
}

void TCustomdxTreeList::PaintStatusPanel(TPaintContext& pc) {
  const TdxGridDrawInfo& info = pc.Info;
  if (!IsRectVisible(pc.DC(), info.StatusRect)) return;
  HDC dc = pc.DC();
  bool close = IsStatusCloseButton();
  WideString text;
  GetStatusText(text);
  pc.Canvas.Font().Assign(Font());
  RECT textRect = info.StatusRect;
  InflateRect(&textRect, -2, -2);
  if (close) textRect.left += 18;
  DrawAlignedText(dc, text, int(text.size()), info.StatusRect, textRect, daVCenter, pc.Shadow.Get(),
                  pc.Canvas.Font().Handle(), ColorToRGB(pc.ShadowColor), ColorToRGB(clBtnHighlight), nullptr);
  if (close) {
    const RECT& s = info.StatusRect;
    int top = s.top + (s.bottom - s.top - 11) / 2;
    RECT button{s.left + 3, top, s.left + 15, top + 11};
    int face;
    TColor cross;
    if (FStatusCloseButtonActive && FStatusCloseButtonPressed) {
      face = COLOR_WINDOWFRAME;
      cross = clWindow;
    } else if (FStatusCloseButtonActive) {
      face = COLOR_WINDOW;
      cross = clWindowFrame;
    } else {
      face = COLOR_BTNFACE;
      cross = clBtnText;
    }
    FillRect(dc, &button, GetSysColorBrush(face));
    RECT inner = button;
    InflateRect(&inner, -2, -2);
    LONG l = inner.left, t = inner.top, r = inner.right, b = inner.bottom;
    const POINT first[] = {{l, t}, {r - 2, b - 1}, {r - 1, b - 1}, {l + 1, t}, {l, t}};
    const POINT second[] = {{r - 1, t}, {l + 1, b - 1}, {l, b - 1}, {r - 2, t}, {r, t}};
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(cross));
    HGDIOBJ old = SelectObject(dc, pen);
    Polyline(dc, first, 5);
    Polyline(dc, second, 5);
    SelectObject(dc, old);
    DeleteObject(pen);
  }
  ExcludeClipRect(dc, info.StatusRect.left, info.StatusRect.top, info.StatusRect.right, info.StatusRect.bottom);
}

void TCustomdxTreeList::DrawFocusRectangle(TPaintContext& pc, const RECT& rect) {
  if (pc.Focused) {
    if (!HideDrawFocusRect()) DrawFocusFrame(pc.DC(), rect);
  } else if (!FHideFocusRect && !FDragObject) {
    InvertFrame(pc.DC(), rect);
  }
}

void TCustomdxTreeList::GetCellColors(TPaintContext& pc, TdxTreeListNode* node, bool selected, int header, int level,
                                      bool hasChildren, bool isGroup, HBRUSH& brush, TColor& textColor,
                                      TColor& bkColor) {
  if (!pc.Focused && FDragObject && node && node == FFocused) {
    brush = pc.Highlight.Get();
    textColor = FHighlightTextColor;
    bkColor = FHighlightColor;
  } else if (selected && (pc.Focused || !FHideSelection)) {
    if (pc.Focused) {
      brush = pc.Highlight.Get();
      textColor = FHighlightTextColor;
      bkColor = FHighlightColor;
    } else {
      brush = pc.HideSelection.Get();
      textColor = FHideSelectionTextColor;
      bkColor = FHideSelectionColor;
    }
  } else if (FPaintStyle == psOutlook && (hasChildren || isGroup)) {
    bkColor = FGroupColor;
    textColor = FGroupTextColor == clNone ? Font().Color() : FGroupTextColor;
    brush = GetLevelBrush(pc, level, bkColor);
  } else {
    bool hasHeader = header >= 0 && header < int(pc.Columns.size());
    int a = hasHeader ? pc.Info.HeadersInfo[std::size_t(header)].AbsoluteIndex : -1;
    textColor = hasHeader && IsColumnFontAssigned(a) ? GetColumnFont(a).Color() : Font().Color();
    if (hasHeader && pc.Columns[std::size_t(header)].Brush.Get()) {
      brush = pc.Columns[std::size_t(header)].Brush.Get();
      bkColor = pc.Columns[std::size_t(header)].Color;
    } else {
      brush = pc.Window.Get();
      bkColor = Color();
    }
  }
}

HBRUSH TCustomdxTreeList::GetLevelBrush(TPaintContext& pc, int level, TColor& color) {
  if (!IsLevelColor()) return pc.Group.Get();
  color = FGroupColor;
  GetLevelColor(level, color);
  if (color == FGroupColor) return pc.Group.Get();
  pc.Level = TPaintBrush(color);
  return pc.Level.Get();
}

bool TCustomdxTreeList::IsCellSelected(const TdxGridRowDrawInfo& row, int column) {
  if (!row.IsSelected || (IsNewItemRowActive() && !IsMultiSelect())) return false;
  bool multi = IsMultiSelect(), invert = IsInvertSelect();
  bool focusedColumn = column == FocusedColumnAbsoluteIndex();
  return IsRowSelect() || (multi && !invert) || (multi && invert && IsNewItemRowActive()) ||
         (multi && invert && row.Node != FFocused) || (focusedColumn && !invert) || (!focusedColumn && invert);
}

bool TCustomdxTreeList::IsRowWideSelected(const TdxGridRowDrawInfo& row) {
  return row.IsSelected && !(IsNewItemRowActive() && !IsMultiSelect()) &&
         (IsRowSelect() || IsInvertSelect() || IsMultiSelect());
}

// ---- painting: node rows

namespace {

bool NodeHasChildren(const TdxTreeListNode* node) { return node->Count() > 0 || node->HasChildren(); }

void AddSegment(std::vector<POINT>& segments, int x1, int y1, int x2, int y2) {
  segments.push_back({x1, y1});
  segments.push_back({x2, y2});
}

void FillArea(HDC dc, int left, int top, int right, int bottom, HBRUSH brush) {
  if (right <= left || bottom <= top) return;
  RECT r{left, top, right, bottom};
  FillRect(dc, &r, brush);
}

}  // namespace

// Where the line under a row starts, as an offset from the cells' left.
int TCustomdxTreeList::RowSeparatorStart(const TdxGridDrawInfo& info, std::size_t k, TdxTreeListNode* lastNode) {
  TdxTreeListNode* node = info.RowsInfo[k].Node;
  int level = node->Level();
  bool children = NodeHasChildren(node);
  int start = level * FIndent;
  if (node->Expanded() && children)
    start += FIndent - 1;
  else if (!children && node->IsLast())
    start -= FIndent;
  if (k + 1 < info.RowsInfo.size() && info.RowsInfo[k + 1].Node->Level() < level)
    start = info.RowsInfo[k + 1].Node->Level() * FIndent;
  if (node == lastNode) start = 0;
  if (!FShowRoot) start -= FIndent;
  return start;
}

void TCustomdxTreeList::PaintNodeRows(TPaintContext& pc) {
  TdxGridDrawInfo& info = pc.Info;
  HDC dc = pc.DC();
  if (!FDrawTransparent) {
    if (!IsEmptyArea(info.EmptyRectRight) && IsRectVisible(dc, info.EmptyRectRight))
      FillRect(dc, &info.EmptyRectRight, pc.Window.Get());
    if (!IsEmptyArea(info.EmptyRectBottom) && IsRectVisible(dc, info.EmptyRectBottom))
      FillRect(dc, &info.EmptyRectBottom, pc.Window.Get());
  }
  if (!IsRectVisible(dc, info.CellsRect) || info.BandCount() < 1 || info.RowsInfo.empty()) return;
  // Grid segments, two points each; the list grows as rows need.
  std::vector<POINT> segments;
  int fixedBands = (info.FixedBandLeftIndex != -1 ? 1 : 0) + (info.FixedBandRightIndex != -1 ? 1 : 0);
  segments.reserve(std::size_t(2 * (info.RowSeparatorLineWidth * info.RowCount() * (1 + fixedBands) + 1)));
  PaintTreeArea(pc, segments);
  PaintRowCells(pc, segments);
  if (FShowGrid) {
    int bottom = info.EdgeY != -1 ? info.EdgeY + 1 : int(info.CellsRect.bottom);
    AddSegment(segments, info.EdgeX, info.CellsRect.top, info.EdgeX, bottom);
  }
  FPaintStats.GridSegments = int64_t(segments.size() / 2);
  if (segments.empty()) return;
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(FShowGrid ? GetGridLineColor() : Color()));
  HGDIOBJ old = SelectObject(dc, pen);
  std::vector<DWORD> counts(segments.size() / 2, 2);
  PolyPolyline(dc, segments.data(), counts.data(), DWORD(counts.size()));
  SelectObject(dc, old);
  DeleteObject(pen);
}

void TCustomdxTreeList::PaintTreeArea(TPaintContext& pc, std::vector<POINT>& segments) {
  (void)segments;
  TdxGridDrawInfo& info = pc.Info;
  HDC dc = pc.DC();
  const RECT& cells = info.CellsRect;
  bool fixedLeft = info.FixedBandLeftIndex != -1;
  int shift = fixedLeft ? 0 : FLeftCoord;
  int s = info.RowSeparatorLineWidth;
  int x0 = cells.left - shift - (FShowRoot ? 0 : FIndent);
  bool standard = FPaintStyle == psStandard;
  TClipRect clip(dc, RECT{cells.left, cells.top, cells.left + std::max(0, info.IndentLimit - shift), cells.bottom});
  // Dotted lines: the pattern's colours follow the parity of the cells'
  // origin, so the dots stay on their pixels when the origin moves.
  bool dotted = standard && FShowLines && FTreeLineStyle == tlDot;
  HBRUSH lineBrush = dotted ? GetHalftoneBrush() : pc.TreeLine.Get();
  COLORREF oldBack = GetBkColor(dc), oldText = GetTextColor(dc);
  if (dotted) {
    bool differ = ((cells.left ^ cells.top) & 1) != 0;
    SetBkColor(dc, ColorToRGB(differ ? Color() : FTreeLineColor));
    SetTextColor(dc, ColorToRGB(differ ? FTreeLineColor : Color()));
  }
  TdxTreeListNode* lastNode = LastNode();
  TdxTreeListNode* topNode = TopNode();
  int y = cells.top;
  for (std::size_t k = 0; k < info.RowsInfo.size(); ++k) {
    TdxGridRowDrawInfo& row = info.RowsInfo[k];
    TdxTreeListNode* node = row.Node;
    WithDrawNode(*this, node, [&] {
      int level = node->Level();
      bool children = NodeHasChildren(node);
      int d = !FShowGrid && children && !standard ? 1 : 0;
      HBRUSH brush = standard ? pc.Window.Get() : pc.Group.Get();
      int indent = 0, imageIndent = 0;
      GetNodeIndent(node, indent, imageIndent);
      row.Indent = imageIndent;
      int sepStart = RowSeparatorStart(info, k, lastNode);
      auto footersBelow = [&](int i) {
        int count = 0;
        for (int j = 0; j < row.RowFooterCount; ++j)
          if (GetNodeFooterLevel(node, j) < i) ++count;
        return count;
      };
      int bottom = y + row.RowHeight;
      if (imageIndent > 0) {
        int n = children || standard ? level + 1 : level;
        for (int i = 0; i < n; ++i) {
          int left = x0 + i * FIndent, right = left + FIndent;
          int top = y + (i == n - 1 ? d : 0), cellBottom = bottom;
          if (standard && !FShowGrid)
            right += 1;
          else if ((i + 1) * FIndent - 1 > sepStart)
            cellBottom -= s;
          cellBottom -= FFooterRowNodeHeight * footersBelow(i);
          if (!standard) {
            TColor color = FGroupColor;
            brush = i > (children ? level : level - 1) ? pc.Group.Get() : GetLevelBrush(pc, i, color);
          }
          if (!FDrawTransparent) FillArea(dc, left, top, right, cellBottom, brush);
        }
        int x = x0 + level * FIndent;
        int c = x + FIndent / 2 - 1, m = y + row.RowHeight / 2;
        bool button = FShowButtons && children;
        if (standard && FShowLines) {
          FillArea(dc, button ? c + 5 : c, m, x + FIndent, m + 1, lineBrush);
          int upper = y;
          if (node->Parent() && node->Index() == 0 && k > 0)
            if (int imageHeight = GetNodeImageHeight(node); imageHeight > 0)
              upper -= (info.RowsInfo[k - 1].RowHeight - imageHeight) / 2;
          bool first = node == topNode, last = node->IsLast();
          if (button) {
            if (!first) FillArea(dc, c, upper, c + 1, m - 4, lineBrush);
            if (!last) FillArea(dc, c, m + 5, c + 1, bottom, lineBrush);
          } else {
            FillArea(dc, c, first ? m : upper, c + 1, last ? m + 1 : bottom, lineBrush);
          }
          int cc = c;
          for (TdxTreeListNode* p = node->Parent(); p; p = p->Parent()) {
            cc -= FIndent;
            if (!p->IsLast()) FillArea(dc, cc, y, cc + 1, bottom, lineBrush);
          }
        }
        if (children && (!standard || !FShowGrid)) {
          int right = x0 + n * FIndent;
          FillArea(dc, right, y, right + 1, bottom - s, brush);
        }
        if (button) {
          RECT cell{x, y, x + FIndent, standard ? bottom : bottom - s};
          if (standard)
            DrawTreeButton(pc.Canvas, cell, m, pc.PlusMinus.Get(), !node->Expanded());
          else
            DrawFlatTreeButton(dc, cell, !node->Expanded());
        }
        HBRUSH imageBrush = pc.Window.Get();
        if (!standard) {
          TColor color = FGroupColor;
          imageBrush = !children ? pc.Window.Get() : GetLevelBrush(pc, level, color);
        }
        int ix = cells.left - shift + indent;
        int imageBottom = bottom - s - row.RowFooterHeight;
        int state = node->StateIndex();
        if (state != -1 && FImageStateW > 0) {
          RECT slot{ix, y + d, ix + FImageStateW, imageBottom};
          if (!FDrawTransparent) FillRect(dc, &slot, imageBrush);
          DrawImageCentered(pc.Canvas, slot, FStateImages, state);
          ix += FImageStateW;
        }
        if (TImageList* images = GetNodeImages(node)) {
          RECT slot{ix, y + d, ix + images->Width(), imageBottom};
          if (!FDrawTransparent) FillRect(dc, &slot, imageBrush);
          int index = row.IsSelected ? node->SelectedIndex() : node->ImageIndex();
          if (index != -1) {
            DrawImageCentered(pc.Canvas, slot, images, index);
            if (OnPostDrawImage) OnPostDrawImage(this, slot, node, index);
          }
        }
      }
      row.Indent = std::min(row.Indent, info.IndentLimit);
    });
    y += row.RowHeight;
  }
  if (dotted) {
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
  }
}

void TCustomdxTreeList::PaintRowCells(TPaintContext& pc, std::vector<POINT>& segments) {
  TdxGridDrawInfo& info = pc.Info;
  TCanvas& canvas = pc.Canvas;
  const RECT& cells = info.CellsRect;
  bool fixedLeft = info.FixedBandLeftIndex != -1, fixedRight = info.FixedBandRightIndex != -1;
  int shift = fixedLeft ? 0 : FLeftCoord;
  int s = info.RowSeparatorLineWidth;
  bool standard = FPaintStyle == psStandard;
  bool bothGrids = FShowGrid && FShowPreviewGrid;
  int total = GetBandsWidth();
  int panelRows = GetHeaderPanelRowCount();
  int lastBand = GetVisibleBandCount() - 1;
  int focusedColumn = FocusedColumnAbsoluteIndex();
  int treeRight = cells.left + std::max(0, info.IndentLimit - shift);
  int bandsEnd = cells.left + total - shift;
  int scrollLeft = fixedLeft ? int(info.FixedBandLeftRect.right) : int(cells.left);
  int scrollRight = fixedRight ? int(info.FixedBandRightRect.left) : int(cells.right);
  auto fixedEdge = [&](int band) {
    return band == info.FixedBandLeftIndex || (fixedRight && band == info.FixedBandRightIndex - 1);
  };
  canvas.Font().Assign(Font());
  TdxTreeListNode* lastNode = LastNode();
  int y = cells.top;
  for (std::size_t k = 0; k < info.RowsInfo.size(); ++k) {
    TdxGridRowDrawInfo& row = info.RowsInfo[k];
    TdxTreeListNode* node = row.Node;
    int level = node->Level();
    bool children = NodeHasChildren(node);
    int d = !FShowGrid && children && !standard ? 1 : 0;
    int preview = row.PreviewLineCount;
    WithDrawNode(*this, node, [&] {
      HDC dc = SelectCanvas(canvas);
      int limit = y + row.RowHeight - preview * FDescTextHeight - row.RowFooterHeight;
      if (preview > 0) limit -= 2 + s + (bothGrids ? 1 : 0);
      if (!IsEmptyArea(info.FooterRect)) limit = std::min(limit, int(info.FooterRect.top));
      if (fixedLeft)
        FillArea(dc, info.FixedBandLeftRect.right - FFixedBandLineWidth, y, info.FixedBandLeftRect.right, limit,
                 pc.FixedBandLine.Get());
      if (fixedRight)
        FillArea(dc, info.FixedBandRightRect.left, y, info.FixedBandRightRect.left + FFixedBandLineWidth, limit,
                 pc.FixedBandLine.Get());
      bool rowFocused = pc.Focused && node == FFocused;
      bool rowWide = IsRowWideSelected(row) && !(FHideSelection && !pc.Focused);
      HBRUSH rowBrush;
      TColor rowText, rowBack;
      GetCellColors(pc, node, rowWide, -1, level, children, false, rowBrush, rowText, rowBack);
      {
        TScrollingClip clip(*this, info, dc, y, y + row.RowHeight);
        for (std::size_t h = 0; h < info.HeadersInfo.size(); ++h) {
          const TdxGridHeaderDrawInfo& header = info.HeadersInfo[h];
          clip.Before(header.BandIndex);
          int a = header.AbsoluteIndex;
          int left = header.HeaderRect.left;
          if (header.BandIndex == 0)
            left += std::max(0, row.Indent - (int(header.HeaderRect.left) + shift - int(cells.left)));
          if (left >= header.HeaderRect.right) continue;
          int top = y + d + header.RowIndex * FRowHeight;
          RECT cell{left, top, header.HeaderRect.right, top + header.LineCount * FRowHeight - (bothGrids ? 1 : 0)};
          if (FHeaderRowCount == 1) {
            cell.bottom = y + row.RowHeight - preview * FDescTextHeight - s - row.RowFooterHeight;
            if (preview > 0) cell.bottom -= 2 + (bothGrids ? 1 : 0);
          }
          if (bothGrids) {
            if (!(header.LastColumn && fixedEdge(header.BandIndex))) {
              cell.right -= 1;
              AddSegment(segments, cell.right, y + d, cell.right, cell.bottom + 1);
            }
            if (header.RowIndex + header.LineCount < panelRows)
              AddSegment(segments, cell.left, cell.bottom, header.HeaderRect.right, cell.bottom);
          } else if (FShowGrid && header.LastColumn && header.BandIndex == lastBand) {
            cell.right -= 1;
          }
          if (!IsRectVisible(dc, cell)) continue;
          bool selected = IsCellSelected(row, a) && !(FHideSelection && !pc.Focused);
          HBRUSH brush;
          TColor textColor, bkColor;
          GetCellColors(pc, node, selected, int(h), level, children, false, brush, textColor, bkColor);
          HBRUSH columnBrush = pc.Columns[h].Brush.Get() ? pc.Columns[h].Brush.Get() : pc.Window.Get();
          TColor columnColor = pc.Columns[h].Brush.Get() ? pc.Columns[h].Color : Color();
          bool focusedCell = rowFocused && (IsInvertSelect() || IsRowSelect() || a == focusedColumn);
          SetBkColor(dc, ColorToRGB(bkColor));
          SetTextColor(dc, ColorToRGB(textColor));
          DrawCell(canvas, cell, columnBrush, columnColor, header.RightEdgeColumn, header.LeftEdgeColumn, 0,
                   header.LineCount > 1 || row.RowLineCount > 1 || header.MultiLine, brush, textColor, bkColor,
                   focusedCell, selected, a, node, FDrawBitmap.get());
          dc = SelectCanvas(canvas);
          if (node == FFocused && a == focusedColumn && !IsNewItemRowActive() && !IsRowSelect() && !IsInvertSelect())
            DrawFocusRectangle(pc, cell);
          if (!IsEmptyArea(header.HeaderEmptyRect))
            FillArea(dc, cell.left, cell.bottom, cell.right, y + d + panelRows * FRowHeight, rowBrush);
        }
        for (const TdxGridEmptyRectDrawInfo& empty : info.EmptyRectsInfo) {
          clip.Before(empty.BandIndex);
          int top = y + d;
          int bottom = top + panelRows * FRowHeight - (bothGrids ? 1 : 0);
          if (FHeaderRowCount == 1) {
            bottom = y + row.RowHeight - preview * FDescTextHeight - s - row.RowFooterHeight;
            if (preview > 0) bottom -= 2 + (bothGrids ? 1 : 0);
          }
          int left = empty.EmptyRect.left, right = empty.EmptyRect.right;
          if (empty.BandIndex == 0) left = std::max(left, int(cells.left) + row.Indent - shift);
          if (bothGrids && !fixedEdge(empty.BandIndex) && right <= scrollRight && right > scrollLeft &&
              !empty.ClippingFlag) {
            right -= 1;
            AddSegment(segments, right, top, right, bottom + 1);
          }
          FillArea(dc, left, top, right, bottom, rowBrush);
        }
      }
      if (preview > 0) {
        int top = y + row.RowHeight - preview * FDescTextHeight - s - row.RowFooterHeight - 2;
        RECT strip{int(cells.left) + row.Indent - shift, top, bandsEnd - (FShowGrid ? 1 : 0),
                   y + row.RowHeight - s - row.RowFooterHeight};
        strip.left = std::max(strip.left, cells.left);
        if (fixedRight) strip.right = std::min(strip.right, cells.right);
        if (bothGrids) AddSegment(segments, strip.left, strip.top - 1, strip.right, strip.top - 1);
        if (IsRectVisible(dc, strip)) {
          SetBkColor(dc, ColorToRGB(rowBack));
          DrawPreview(canvas, strip, row.IsSelected, rowBrush, rowText, rowBack, node, FDrawBitmap.get());
          dc = SelectCanvas(canvas);
        }
      }
      int footerTop = y + row.RowHeight - s - row.RowFooterHeight;
      int gridWidth = FShowGrid ? 1 : 0;
      for (int j = 0; j < row.RowFooterCount; ++j) {
        RECT band;
        GetRowFooterRect(node, j, band, info, gridWidth, footerTop);
        if (bothGrids) {
          AddSegment(segments, band.left, band.top, band.right, band.top);
          if (band.right < cells.right) AddSegment(segments, band.right, band.top, band.right, band.bottom);
          band.top += 1;
        }
        int footerLevel = GetNodeFooterLevel(node, j);
        HBRUSH brush = pc.Footer.Get();
        if (IsLevelColor()) {
          TColor color = FGroupColor;
          brush = GetLevelBrush(pc, footerLevel, color);
        }
        FillRect(dc, &band, brush);
        TScrollingClip clip(*this, info, dc, band.top, band.bottom);
        for (const TdxGridHeaderDrawInfo& header : info.HeadersInfo) {
          clip.Before(header.BandIndex);
          int a = header.AbsoluteIndex;
          int top = band.top + header.RowIndex * FFooterRowHeight;
          RECT cell{header.HeaderRect.left, top, header.HeaderRect.right, top + header.LineCount * FFooterRowHeight};
          cell.left = std::max(cell.left, band.left);
          InflateRect(&cell, -1, -1);
          if (header.LeftEdgeColumn) cell.left = std::max(cell.left + 1, band.left + 1);
          if (header.LastColumn && header.BandIndex == lastBand) cell.right -= 2;
          if (!IsExistRowFooterCell(node, a, j) || IsEmptyArea(cell)) continue;
          DrawEdge(dc, &cell, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
          SetBkColor(dc, ColorToRGB(FFooterColor));
          SetTextColor(dc, ColorToRGB(FFooterTextColor));
          DrawPanelCell(canvas, cell, false, false, 1, header.LineCount > 1, brush, FFooterColor, false, false, j, a,
                        node, FDrawBitmap.get());
          dc = SelectCanvas(canvas);
        }
      }
      if (!IsNewItemRowActive() && (IsRowSelect() || IsInvertSelect()) && node == FFocused) {
        RECT frame{int(cells.left) + row.Indent - shift, y, bandsEnd, y + row.RowHeight - s - row.RowFooterHeight};
        frame.left = std::max(frame.left, cells.left);
        if (!standard && !FShowGrid && children) frame.top += 1;
        DrawFocusRectangle(pc, frame);
      }
    });
    // Level separators inside the tree column.
    int levels = standard ? (FShowGrid ? level + 1 : 0) : level;
    for (int i = 0; i < levels; ++i) {
      int x = cells.left + (i + 1) * FIndent - 1 - (FShowRoot ? 0 : FIndent) - shift;
      if (x < cells.left || x >= treeRight) continue;
      int count = 0;
      for (int j = 0; j < row.RowFooterCount; ++j)
        if (GetNodeFooterLevel(node, j) < i) ++count;
      int bottom = y + row.RowHeight - (count > 0 ? FFooterRowNodeHeight * count + s : 0);
      AddSegment(segments, x, y, x, bottom);
    }
    y += row.RowHeight;
    bool outlookGroup = children && !standard;
    if (FShowGrid || outlookGroup) {
      int sepStart = RowSeparatorStart(info, k, lastNode);
      if (outlookGroup && !FShowGrid) sepStart = level * FIndent - (FShowRoot ? 0 : FIndent);
      int start = std::max(int(cells.left), int(cells.left) + std::min(sepStart, info.IndentLimit) - shift);
      int end = FShowGrid ? info.EdgeX : info.EdgeX + 1;
      bool split = preview == 0 && row.RowFooterCount == 0;
      int lines = FShowGrid ? s : 1;
      for (int l = 0; l < lines; ++l) {
        int ly = outlookGroup && !FShowGrid ? y - row.RowHeight : y - 1 - l;
        int x = start;
        if (split && fixedLeft) {
          int strip = info.FixedBandLeftRect.right - FFixedBandLineWidth;
          if (x < strip) AddSegment(segments, x, ly, strip, ly);
          x = std::max(x, int(info.FixedBandLeftRect.right));
        }
        if (split && fixedRight) {
          int strip = info.FixedBandRightRect.left;
          if (x < strip) AddSegment(segments, x, ly, strip, ly);
          x = std::max(x, strip + FFixedBandLineWidth);
        }
        if (x < end) AddSegment(segments, x, ly, end, ly);
      }
    }
  }
}


// ---- unit routines

int CalcTextLines(const WideString& text, int width, int lineHeight, int& height, int inset, bool exact,
                  TFont& font, int maxLines) {
  if (text.empty() || maxLines == 0) return 0;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  if (lineHeight == 0) {
    SIZE size{};
    GetTextExtentPoint32W(dc, L"Wg", 2, &size);
    lineHeight = size.cy;
  }
  int vertical = exact ? 2 : 1;
  RECT r{2, vertical, width - inset - 2, lineHeight - vertical};
  DrawTextW(dc, text.c_str(), int(text.size()), &r, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  int measured = r.bottom - r.top;
  int lines = lineHeight > 0 ? measured / lineHeight : 0;
  if (maxLines != -1 && maxLines < lines) {
    measured = maxLines * lineHeight;
    lines = maxLines;
  }
  height = measured + 3;
  return lines;
}

WideString NormalizeRegistryPath(const WideString& path) {
  if (path.empty()) return path;
  WideString result = path[0] == L'\\' ? path : L"\\" + path;
  while (!result.empty() && result.back() == L'\\') result.pop_back();
  return result;
}

}  // namespace tvk
