#include "TreeList.h"

#include <algorithm>
#include <cstring>

#include "ResStrings.h"
#include "TreeListResources.h"
#include "XPTypes.h"

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
  if (FData) SetData(nullptr);  // leaves the owner's node-by-data map
  if (FData && owner.FNodesByData) owner.MoveNodeData(this, nullptr);  // also when data cannot be set
  FDeleting = true;
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
  if (FOwner->FTrackNodeData || FOwner->FNodesByData) FOwner->MoveNodeData(this, value);
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
  FPreviewFont.SetColor(clBlue);
}

TCustomdxTreeList::~TCustomdxTreeList() { PrepareDestroy(); }

void TCustomdxTreeList::PrepareDestroy() {
  if (FDestroyPrepared) return;
  FDestroyPrepared = true;
  Destroying();
  if (HandleAllocated()) DestroyHandle();
  SetParent(nullptr);
  CancelEditor();
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
  FInplaceColumn = -1;
  FInplaceNode = nullptr;
  SetState(tsNormal);
  HideEditor();
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
        FHotTrackNode = nullptr;
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

void TCustomdxTreeList::MakeNodeVisible(TdxTreeListNode* node) {
  // Expanding the ancestors and scrolling arrive with navigation; the parents open here.
  (void)node;
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
        // The list steps of the layout refresh; metrics arrive with the painters.
        ++FListStats.LayoutRefreshes;
        LayoutRefreshing();
        ClearListNodes();
        MakeListNodes();
        LayoutRefreshed();
      },
      [&] { --FLockUpdate; });
  Invalidate();
}

// --- node notifications

void TCustomdxTreeList::NodeInserted(TdxTreeListNode* node) {
  CancelEditor();
  if (!FTopVisibleNode) SetTopVisibleNode(node);
  if (!FFocused) FFocused = FTopVisibleNode;
  if (FLockUpdate != 0) return;
  TdxTreeListNode* prior = node->GetPriorParentNode();
  if (!Loading() && !IsDestroying()) MakeListNode(node, false);
  NodeChanged(prior ? prior : node, true);
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
  if (FHotTrackNode == node) FHotTrackNode = nullptr;
  CancelEditor();
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
  FHotTrackNode = nullptr;
  FInplaceColumn = -1;
  FSelecting = false;
}

void TCustomdxTreeList::NodeChanged(TdxTreeListNode* node, bool structural) {
  if (!node || node->Deleting() || FLockUpdate != 0 || IsDestroying() || !node->IsVisible()) return;
  RECT r;
  if (structural) {
    UpdateScrollBars();
    SetTopIndex(FTopIndex);
    SetLeftCoord(FLeftCoord);
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

void TCustomdxTreeList::SetTopIndex(int value) {
  int count = AbsoluteCount();
  FTopIndex = std::max(0, std::min(value, count - 1));
  if (HandleAllocated()) Invalidate();
}

void TCustomdxTreeList::SetLeftCoord(int value) {
  RECT cells = CellsRect();
  int limit = std::max(0, GetScrollingWidth() - int(cells.right - cells.left));
  FLeftCoord = std::max(0, std::min(value, limit));
  if (HandleAllocated()) Invalidate();
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
              MakeColumnVisible(column);
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
            MakeColumnVisible(column);
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
  FState = value;
  if (value == tsEditing) EndSearch();
}

void TCustomdxTreeList::GetHeaderLine(WideString& text) {
  text.clear();
  bool first = true;
  for (int i = 0, n = GetValueCount(); i < n; ++i) {
    if (!IsHeaderVisible(i)) continue;
    WideString caption;
    GetHeaderCaption(i, caption);
    if (!first) text += L'\t';
    text += caption;
    first = false;
  }
  text += L"\r\n";
}

void TCustomdxTreeList::GetNodeLine(TdxTreeListNode* node, WideString& text) {
  text.clear();
  if (IsGroupNode(node)) {
    text = GetNodeString(node, 0);
    return;
  }
  bool first = true;
  for (int i = 0, n = GetValueCount(); i < n; ++i) {
    if (!IsHeaderVisible(i)) continue;
    if (!first) text += L'\t';
    text += GetNodeString(node, i);
    first = false;
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
