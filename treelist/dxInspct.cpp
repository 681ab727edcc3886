#include "dxInspct.h"

#include <windowsx.h>

#include <algorithm>

#include "Application.h"
#include "ClassRegistry.h"
#include "Forms.h"
#include "LocaleFormats.h"
#include "Registry.h"
#include "WindowClasses.h"
#include "XPDXEdits.h"
#include "dxInsCus.h"
#include "dxEditor.h"

namespace tvk {

namespace {

std::unique_ptr<TBitmap> gInspectorDragBitmap;
int gInspectorStartCount = 0;

struct TInspectorCursorRow {
  TCursor Id;
  const wchar_t* Resource;
};
constexpr TInspectorCursorRow kInspectorCursors[] = {
    {crdxInspectorInsert, L"DXINSP_INSERT"}, {crdxInspectorAddChild, L"DXINSP_ADDCHILD"},
    {crdxInspectorAdd, L"DXINSP_ADD"},       {crdxInspectorHide, L"DXINSP_HIDE"},
    {crdxInspectorNoDrag, L"DXINSP_NODRAG"},
};

int InspRectWidth(const RECT& r) { return r.right - r.left; }
int InspRectHeight(const RECT& r) { return r.bottom - r.top; }
bool InspRectEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
bool InspPtIn(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// Releases an update lock on every path.
struct TInspectorUpdateGuard {
  TCustomdxInspector& Inspector;
  explicit TInspectorUpdateGuard(TCustomdxInspector& inspector) : Inspector(inspector) { Inspector.BeginUpdate(); }
  ~TInspectorUpdateGuard() { Inspector.EndUpdate(); }
  TInspectorUpdateGuard(const TInspectorUpdateGuard&) = delete;
  TInspectorUpdateGuard& operator=(const TInspectorUpdateGuard&) = delete;
};

// A brush made for one paint, deleted on every path.
struct TInspectorBrush {
  HBRUSH& Handle;
  TInspectorBrush(HBRUSH& handle, TColor color) : Handle(handle) { Handle = CreateSolidBrush(ColorToRGB(color)); }
  ~TInspectorBrush() {
    DeleteObject(Handle);
    Handle = nullptr;
  }
  TInspectorBrush(const TInspectorBrush&) = delete;
  TInspectorBrush& operator=(const TInspectorBrush&) = delete;
};

void FillSolid(HDC dc, const RECT& r, HBRUSH brush) {
  if (!InspRectEmpty(r)) FillRect(dc, &r, brush);
}

// A dotted horizontal line: the halftone brush with Line as the dots and Gap between them.
void FillDotted(HDC dc, const RECT& r, TColor line, TColor gap) {
  const COLORREF oldBk = SetBkColor(dc, ColorToRGB(line));
  const COLORREF oldText = SetTextColor(dc, ColorToRGB(gap));
  FillRect(dc, &r, GetHalftoneBrush());
  SetBkColor(dc, oldBk);
  SetTextColor(dc, oldText);
}

}  // namespace

// ---- nodes

TdxInspectorNode::~TdxInspectorNode() {
  FDeleting = true;
  DeleteChildren();
  TCustomdxInspector* owner = FOwner;
  TdxInspectorNode* priorParent = GetPriorParentNode();
  TdxInspectorNode* next = nullptr;
  // The next visible node after this one and its (now gone) children.
  for (const TdxInspectorNode* n = this; n && !next; n = n->FParent) {
    const TdxInspectorNodeList& list = n->SiblingList();
    const int i = n->Index();
    if (i + 1 < int(list.size())) next = list[std::size_t(i) + 1];
  }
  const bool wasLast = IsLast();
  const bool wasVisible = IsVisible();
  Detach();
  owner->NodeDeleted(this, priorParent, next, wasLast, wasVisible);
}

TdxInspectorNodeList& TdxInspectorNode::SiblingList() const { return FParent ? *FParent->FList : FOwner->FNodeList; }

void TdxInspectorNode::Detach() {
  TdxInspectorNodeList& list = SiblingList();
  list.erase(std::find(list.begin(), list.end(), this));
  if (FParent && FParent->FList->empty()) {
    FParent->FList.reset();
    FParent->FExpanded = false;
  }
  FParent = nullptr;
}

TdxInspectorNode* TdxInspectorNode::InsertChild(TdxInspectorNode* beforeNode) {
  TdxInspectorNode* node = FOwner->CreateNode();
  node->FParent = this;
  if (!FList) FList = std::make_unique<TdxInspectorNodeList>();
  auto at = beforeNode && beforeNode->FParent == this ? FList->begin() + beforeNode->Index() : FList->end();
  FList->insert(at, node);
  FOwner->NodeAdded(node);
  return node;
}

void TdxInspectorNode::Expand(bool recurse) {
  if (!HasChildren()) return;
  TInspectorUpdateGuard lock(*FOwner);
  SetExpanded(true);
  if (recurse)
    for (TdxInspectorNode* child : TdxInspectorNodeList(*FList)) child->Expand(true);
}

void TdxInspectorNode::Collapse(bool recurse) {
  if (!HasChildren()) return;
  TInspectorUpdateGuard lock(*FOwner);
  SetExpanded(false);
  if (recurse)
    for (TdxInspectorNode* child : TdxInspectorNodeList(*FList)) child->Collapse(true);
}

void TdxInspectorNode::DeleteChildren() {
  while (FList && !FList->empty()) delete FList->front();
}

TdxInspectorNode* TdxInspectorNode::GetLastNode() {
  TdxInspectorNode* node = this;
  while (node->HasChildren() && node->FExpanded) node = node->FList->back();
  return node;
}

TdxInspectorNode* TdxInspectorNode::GetNextNode() const { return FOwner->GetNextVisible(this); }

TdxInspectorNode* TdxInspectorNode::GetPriorNode() const {
  const int i = Index();
  if (i == 0) return FParent;
  return SiblingList()[std::size_t(i) - 1]->GetLastNode();
}

TdxInspectorNode* TdxInspectorNode::GetPriorParentNode() const {
  const int i = Index();
  if (i > 0) return SiblingList()[std::size_t(i) - 1];
  return FParent;
}

bool TdxInspectorNode::HasAsParent(const TdxInspectorNode* value) const {
  for (const TdxInspectorNode* p = FParent; p; p = p->FParent)
    if (p == value) return true;
  return false;
}

int TdxInspectorNode::IndexOf(const TdxInspectorNode* value) const {
  if (!FList) return -1;
  auto it = std::find(FList->begin(), FList->end(), value);
  return it == FList->end() ? -1 : int(it - FList->begin());
}

void TdxInspectorNode::MakeVisible() { FOwner->MakeNodeVisible(this); }

int TdxInspectorNode::AbsoluteIndex() const { return FOwner->GetVisibleIndex(this); }

bool TdxInspectorNode::Focused() const { return FOwner->FocusedNode() == this; }

void TdxInspectorNode::SetFocused(bool value) {
  if (value == Focused()) return;
  FOwner->SetFocusedNode(value ? this : nullptr);
}

int TdxInspectorNode::Index() const {
  const TdxInspectorNodeList& list = SiblingList();
  return int(std::find(list.begin(), list.end(), this) - list.begin());
}

bool TdxInspectorNode::IsLast() const { return Index() + 1 == int(SiblingList().size()); }

bool TdxInspectorNode::IsVisible() const {
  for (const TdxInspectorNode* p = FParent; p; p = p->FParent)
    if (!p->FExpanded) return false;
  return true;
}

int TdxInspectorNode::Level() const {
  int level = 0;
  for (const TdxInspectorNode* p = FParent; p; p = p->FParent) ++level;
  return level;
}

TdxInspectorNode* TdxInspectorNode::Items(int index) const {
  return index >= 0 && index < Count() ? (*FList)[std::size_t(index)] : nullptr;
}

void TdxInspectorNode::SetExpanded(bool value) {
  if (!HasChildren() || value == FExpanded) return;
  FExpanded = value;
  // A top row that collapsing hides gives its place to this node.
  if (!value && FOwner->FTopVisibleNode && FOwner->FTopVisibleNode->HasAsParent(this)) FOwner->FTopVisibleNode = this;
  FOwner->NodeChanged(this, true);
  if (!value && FOwner->FFocused && FOwner->FFocused->HasAsParent(this)) FOwner->SetFocusedNode(this);
  // Without a designer there is nobody to tell of the modification.
}

void TdxInspectorNode::MoveTo(TdxInspectorNode* destination, TdxInspectorNodeAttachMode mode) {
  if (!destination || destination->HasAsParent(this)) return;
  if (destination == this && mode != inaAdd) return;
  {
    TInspectorUpdateGuard lock(*FOwner);
    // The destination's parent before this node leaves (it may be the destination).
    TdxInspectorNode* destinationParent = destination->FParent;
    Detach();
    if (destinationParent && mode != inaAddChild) {
      TdxInspectorNode* parent = destinationParent;
      if (!parent->FList) parent->FList = std::make_unique<TdxInspectorNodeList>();
      TdxInspectorNodeList& list = *parent->FList;
      if (mode == inaAdd)
        list.push_back(this);
      else
        list.insert(list.begin() + destination->Index(), this);
      FParent = parent;
    } else if (mode == inaAddChild) {
      if (!destination->FList) destination->FList = std::make_unique<TdxInspectorNodeList>();
      destination->FList->push_back(this);
      FParent = destination;
    } else {
      TdxInspectorNodeList& list = FOwner->FNodeList;
      if (mode == inaAdd)
        list.push_back(this);
      else
        list.insert(list.begin() + destination->Index(), this);
    }
    FOwner->FFocused = this;
  }
  MakeVisible();
}

// ---- the drag object

TCursor TdxInspectorDragControlObject::DragCursorFor(bool accepted, int x, int y) {
  auto* inspector = static_cast<TCustomdxInspector*>(Control());
  if (inspector->PtInCustomizeForm(DragPos())) return crdxInspectorHide;
  return accepted ? TDragControlObject::DragCursorFor(accepted, x, y) : crdxInspectorNoDrag;
}

// ---- construction

TCustomdxInspector::TCustomdxInspector(TComponent* owner) : TCustomdxContainer(owner) {
  SetBounds(Left(), Top(), 150, 250);
  TControlStyle style = ControlStyle() | csCaptureMouse | csOpaque | csDoubleClicks | csDisplayDragImage;
  SetControlStyle(style);
  SetTabStop(true);
  SetColor(clBtnFace);
  SetParentColor(false);
  FImageChangeLink = std::make_unique<TChangeLink>();
  FImageChangeLink->OnChange = [this](TObject*) { LayoutChanged(); };
}

TCustomdxInspector::~TCustomdxInspector() {
  delete std::exchange(FCustomizeForm, nullptr);
  DestroyNodes();
  HideRowHint();
  FHintWindow.reset();
  FDragImageNode.reset();
}

void TCustomdxInspector::DestroyNodes() {
  if (FDestroyingNodes) return;
  FDestroyingNodes = true;
  Destroying();
  while (!FNodeList.empty()) delete FNodeList.front();
}

// ---- tree

TdxInspectorNode* TCustomdxInspector::Insert(TdxInspectorNode* beforeNode) {
  TdxInspectorNode* node = CreateNode();
  auto at = beforeNode && !beforeNode->Parent() ? FNodeList.begin() + beforeNode->Index() : FNodeList.end();
  FNodeList.insert(at, node);
  NodeAdded(node);
  return node;
}

void TCustomdxInspector::ClearNodes() {
  if (FDestroyingNodes) {
    while (!FNodeList.empty()) delete FNodeList.front();
    return;
  }
  TInspectorUpdateGuard lock(*this);
  while (!FNodeList.empty()) delete FNodeList.front();
}

void TCustomdxInspector::FullExpand() {
  if (FNodeList.empty()) return;
  TInspectorUpdateGuard lock(*this);
  for (TdxInspectorNode* node : TdxInspectorNodeList(FNodeList)) node->Expand(true);
}

void TCustomdxInspector::FullCollapse() {
  if (FNodeList.empty()) return;
  TInspectorUpdateGuard lock(*this);
  for (TdxInspectorNode* node : TdxInspectorNodeList(FNodeList)) node->Collapse(true);
}

TdxInspectorNode* TCustomdxInspector::GetNextVisible(const TdxInspectorNode* node) const {
  if (!node) return nullptr;
  if (node->FExpanded && node->HasChildren()) return node->FList->front();
  for (const TdxInspectorNode* n = node; n; n = n->FParent) {
    const TdxInspectorNodeList& list = n->SiblingList();
    const int i = n->Index();
    if (i + 1 < int(list.size())) return list[std::size_t(i) + 1];
  }
  return nullptr;
}

TdxInspectorNode* TCustomdxInspector::GetTopParentNode(TdxInspectorNode* node) {
  while (node && node->Parent()) node = node->Parent();
  return node;
}

int TCustomdxInspector::IndexOf(const TdxInspectorNode* value) const {
  auto it = std::find(FNodeList.begin(), FNodeList.end(), value);
  return it == FNodeList.end() ? -1 : int(it - FNodeList.begin());
}

bool TCustomdxInspector::IsNodeVisible(const TdxInspectorNode* node) const { return node && node->IsVisible(); }

int TCustomdxInspector::GetVisibleCount() const {
  int count = 0;
  for (TdxInspectorNode* node = GetNode(0); node; node = GetNextVisible(node)) ++count;
  return count;
}

int TCustomdxInspector::GetVisibleIndex(const TdxInspectorNode* node) const {
  if (!node || !node->IsVisible()) return -1;
  int index = 0;
  for (TdxInspectorNode* n = GetNode(0); n; n = GetNextVisible(n), ++index)
    if (n == node) return index;
  return -1;
}

TdxInspectorNode* TCustomdxInspector::GetNodeByVisibleIndex(int index) const {
  if (index < 0) return nullptr;
  TdxInspectorNode* node = GetNode(0);
  for (; node && index > 0; --index) node = GetNextVisible(node);
  return node;
}

TdxInspectorNode* TCustomdxInspector::GetNode(int index) const {
  return index >= 0 && index < Count() ? FNodeList[std::size_t(index)] : nullptr;
}

int TCustomdxInspector::FocusedNumber() const { return FFocused ? GetVisibleIndex(FFocused) : 0; }

TdxInspectorNode* TCustomdxInspector::LastNode() const {
  return FNodeList.empty() ? nullptr : FNodeList.back()->GetLastNode();
}

int TCustomdxInspector::TopIndex() const { return FTopVisibleNode ? GetVisibleIndex(FTopVisibleNode) : -1; }

void TCustomdxInspector::NodeAdded(TdxInspectorNode* node) {
  HideEditor();
  if (!FTopVisibleNode) FTopVisibleNode = node;
  if (!FFocused) FFocused = FTopVisibleNode;
  TdxInspectorNode* prior = node->GetPriorParentNode();
  NodeChanged(prior ? prior : node, true);
}

void TCustomdxInspector::NodeDeleted(TdxInspectorNode* node, TdxInspectorNode* priorParentNode,
                                     TdxInspectorNode* nextNode, bool wasLast, bool wasVisible) {
  (void)wasLast;
  if (FNodeList.empty()) {
    FTopVisibleNode = FFocused = FInplaceNode = FSizingNode = FHotTrackNode = FDragNode = nullptr;
    FInplaceNodePushed = nullptr;
    ClearHintMemory();
    if (FLockUpdate == 0 && !FDestroyingNodes) {
      HideEditor();
      UpdateScrollBars();
      Invalidate();
    }
    return;
  }
  TdxInspectorNode* refresh = nullptr;
  TdxInspectorNode* replacement = priorParentNode ? priorParentNode : nextNode;
  if (node == FTopVisibleNode) {
    FTopVisibleNode = replacement;
    refresh = replacement;
  }
  if (node == FFocused) {
    FFocused = replacement;
    if (!refresh) refresh = replacement;
  }
  if (node == FSizingNode) FSizingNode = nullptr;
  if (node == FHotTrackNode) FHotTrackNode = nullptr;
  if (node == FDragNode) FDragNode = nullptr;
  if (node == FInplaceNodePushed) FInplaceNodePushed = nullptr;
  if (node == FPrevHintNode) ClearHintMemory();
  if (node == FInplaceNode) FInplaceNode = nullptr;
  if (!FDestroyingNodes) HideEditor();
  if (wasVisible) {
    TdxInspectorNode* changed = refresh ? refresh : replacement;
    if (changed) NodeChanged(changed, true);
  }
}

void TCustomdxInspector::NodeChanged(TdxInspectorNode* node, bool structural) {
  if (!node || node->Deleting() || FLockUpdate != 0 || FDestroyingNodes || !node->IsVisible()) return;
  if (structural) {
    UpdateScrollBars();
    CorrectTopIndex();
  }
  InvalidateNode(node, structural);
}

void TCustomdxInspector::MakeNodeVisible(TdxInspectorNode* node) {
  if (!node) return;
  bool locked = false;
  if (!node->IsVisible()) {
    BeginUpdate();
    locked = true;
    for (TdxInspectorNode* p = node->Parent(); p; p = p->Parent())
      if (!p->Expanded()) p->SetExpanded(true);
  }
  struct TRelease {
    TCustomdxInspector* Self;
    bool Locked;
    ~TRelease() {
      if (Locked) Self->EndUpdate();
    }
  } release{this, locked};
  const int number = GetVisibleIndex(node);
  const int top = TopIndex();
  if (number < top || number > top + FRowCount - 1 || locked) {
    if (IsBanded()) {
      const int band = BandOfNode(node);
      if (band < LeftBandIndex())
        SetLeftBandIndex(band);
      else if (band > LeftBandIndex() + VisibleBandCount() - 1)
        SetLeftBandIndex(band - VisibleBandCount() + 1);
    } else if (number < top) {
      SetTopIndex(number);
    } else if (number > top + FRowCount - 1) {
      SetTopIndex(number - FRowCount + 1);
    }
  }
}

void TCustomdxInspector::SetFocusedNode(TdxInspectorNode* node) {
  if (FLockUpdate != 0) {
    FFocused = node;
    return;
  }
  TdxInspectorNode* old = FFocused;
  if (node) node->MakeVisible();
  if (node != FFocused) {
    FFocused = node;
    InvalidateNode(old, false);
    InvalidateNode(node, false);
  }
  if (old != FFocused) {
    HideEditor();
    UpdateComplexRowIndex();
    DoChangeNode(old, FFocused);
  }
}

void TCustomdxInspector::SetFocusedNumber(int index) {
  if (FNodeList.empty() || index == FocusedNumber()) return;
  index = std::clamp(index, 0, GetVisibleCount() - 1);
  if (index != FocusedNumber()) SetFocusedNode(GetNodeByVisibleIndex(index));
  Click();
}

void TCustomdxInspector::DoChangeNode(TdxInspectorNode* oldNode, TdxInspectorNode* node) {
  if (OnChangeNode) OnChangeNode(this, oldNode, node);
}

void TCustomdxInspector::UpdateComplexRowIndex() {
  int index = FComplexRowIndex < 0 ? 0 : FComplexRowIndex;
  ValidateComplexRowIndex(index);
  FComplexRowIndex = index;
}

// ---- update lock

void TCustomdxInspector::EndUpdate() {
  if (FLockUpdate > 0) --FLockUpdate;
  LayoutChanged();
}

void TCustomdxInspector::LayoutChanged() {
  if (FLockUpdate != 0 || Loading() || FDestroyingNodes) return;
  // Held without EndUpdate, which would lay out again.
  ++FLockUpdate;
  struct TLower {
    int& Lock;
    ~TLower() { --Lock; }
  } lower{FLockUpdate};
  CalcLayout();
}

void TCustomdxInspector::Loaded() {
  TCustomdxContainer::Loaded();
  LayoutChanged();
}

void TCustomdxInspector::Notification(TComponent* component, TOperation operation) {
  TCustomdxContainer::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FImages) {
    FImages = nullptr;
    LayoutChanged();
  }
  if (operation == TOperation::opRemove && component == FInplaceEdit) {
    FInplaceEdit = nullptr;
    FInplaceNode = nullptr;
  }
}

// ---- layout

int TCustomdxInspector::CalcTextHeight(TCanvas& canvas) { return canvas.TextHeight(L"Wg") + 3; }

int TCustomdxInspector::GetNodeRowHeight(TdxInspectorNode* node) {
  return FPaintStyle == ipsCategorized && IsCategoryNode(node) ? FRowHeight - 2 : FRowHeight;
}

bool TCustomdxInspector::HasNodeImage(TdxInspectorNode* node) {
  return GetNodeImageIndex(node) != -1 && !(FPaintStyle == ipsCategorized && IsCategoryNode(node));
}

void TCustomdxInspector::CalcLayout() {
  // Measured on the screen's context: the window's may not exist yet.
  struct TScreenCanvas {
    TCanvas Canvas;
    HDC DC = GetDC(nullptr);
    TScreenCanvas() { Canvas.SetHandle(DC); }
    ~TScreenCanvas() {
      Canvas.SetHandle(nullptr);
      ReleaseDC(nullptr, DC);
    }
  } screen;
  TCanvas& canvas = screen.Canvas;
  canvas.Font().Assign(Font());
  FToolboxButtonWidth = 10;
  switch (FPaintStyle) {
    case ipsStandard: FIndent = canvas.TextWidth(L"+"); break;
    case ipsSimple: case ipsNET: FIndent = 15; break;
    case ipsExtended: case ipsCategorized: FIndent = 14; break;
  }
  FCaptionComplexRowSeparatorWidth = canvas.TextWidth(FComplexRowSeparator + L"_");
  FComplexRowSeparatorWidth = FPaintStyle == ipsCategorized ? 4 : FCaptionComplexRowSeparatorWidth;
  const bool categorized = FPaintStyle == ipsCategorized;
  FGridSize = categorized ? 0 : 1;
  FRowFrameSize = categorized ? 2 : 0;
  FTextHeight = CalcTextHeight(canvas);
  FMinRowHeight = CalcMinRowContentHeight(canvas) + FGridSize + 2 * FRowFrameSize;
  if (!FRowHeightAssigned) FRowHeight = FMinRowHeight;
  if (FRowHeight < FMinRowHeight) FRowHeight = FMinRowHeight;
  if (FRowHeight == FMinRowHeight) FRowHeightAssigned = false;
  FImageWidth = FImages ? FImages->Width() : 0;
  FImageHeight = FImages ? FImages->Height() : 0;
  if (FRowHeight - FGridSize - 2 * FRowFrameSize < FImageHeight) FRowHeight = FGridSize + FImageHeight + 2 * FRowFrameSize;
  RefreshCustomizeForm();
  CorrectTopIndex();
  FInternalLayout = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FInternalLayout};
  UpdateScrollBars();
  Invalidate();
}

int TCustomdxInspector::ContentWidth() { return IsBanded() ? FBandWidth - FBandSeparatorWidth : Width(); }

void TCustomdxInspector::FillBand(TdxInspectorBandInfo* band, TdxInspectorNode*& node, RECT bandRect, bool stored) {
  RECT content = bandRect;
  if (stored) {
    band->BandRect = bandRect;
    if (IsBanded()) {
      band->BandSeparatorRect = RECT{bandRect.right - FBandSeparatorWidth, bandRect.top, bandRect.right, bandRect.bottom};
      content.right = band->BandSeparatorRect.left;
    }
    band->BandContentRect = content;
  }
  const int height = InspRectHeight(content);
  int sum = 0;
  int rows = 0;
  while (node) {
    const int rowHeight = GetNodeRowHeight(node);
    if (IsBanded() && rows > 0 && sum + rowHeight > height) break;
    sum += rowHeight;
    ++rows;
    ++Stats.RowsVisited;
    if (stored) band->RowsInfo.push_back(TdxInspectorRowInfo{node, rowHeight});
    node = GetNextVisible(node);
    if (sum >= height) break;
  }
  if (!stored) return;
  band->RowCount = rows;
  band->PartRowVisible = sum > height;
  if (sum < height) band->EmptyRect = RECT{content.left, content.top + sum, content.right, content.bottom};
}

void TCustomdxInspector::CalcContentDrawInfo(TdxInspectorContentDrawInfo& drawInfo) {
  drawInfo = {};
  drawInfo.CRect = ClientRect();
  drawInfo.BandCount = PartVisibleBandCount();
  drawInfo.BandsInfo.resize(std::size_t(drawInfo.BandCount));
  if (!IsBanded()) {
    TdxInspectorNode* node = FTopVisibleNode;
    drawInfo.BandsInfo[0].BandIndex = 0;
    FillBand(&drawInfo.BandsInfo[0], node, drawInfo.CRect, true);
    return;
  }
  TdxInspectorNode* node = GetNode(0);
  RECT bandRect{drawInfo.CRect.left, drawInfo.CRect.top, drawInfo.CRect.left + FBandWidth, drawInfo.CRect.bottom};
  const int left = LeftBandIndex();
  for (int b = 0; b < left + drawInfo.BandCount; ++b) {
    if (b < left) {
      FillBand(nullptr, node, bandRect, false);
      continue;
    }
    TdxInspectorBandInfo& band = drawInfo.BandsInfo[std::size_t(b - left)];
    band.BandIndex = b;
    FillBand(&band, node, bandRect, true);
    OffsetRect(&bandRect, FBandWidth, 0);
  }
  if (drawInfo.BandCount * FBandWidth < InspRectWidth(drawInfo.CRect)) {
    drawInfo.EmptyRect = drawInfo.CRect;
    drawInfo.EmptyRect.left += drawInfo.BandCount * FBandWidth;
  }
}

namespace {
// Walks the visible nodes band by band as the distribution does; Visit(node,
// band) answers true to stop.
template <class F>
void WalkInspectorBands(TCustomdxInspector& inspector, int height, F&& visit) {
  int band = 0, sum = 0, rows = 0;
  for (TdxInspectorNode* node = inspector.GetNode(0); node; node = inspector.GetNextVisible(node)) {
    const int rowHeight = inspector.GetNodeRowHeight(node);
    if (rows > 0 && sum + rowHeight > height) {
      ++band;
      sum = rows = 0;
    }
    sum += rowHeight;
    ++rows;
    if (visit(node, band)) return;
    if (sum >= height) {
      ++band;
      sum = rows = 0;
    }
  }
}
}  // namespace

int TCustomdxInspector::BandOfNode(TdxInspectorNode* node) {
  int result = 0;
  WalkInspectorBands(*this, ClientHeight(), [&](TdxInspectorNode* n, int band) {
    result = band;
    return n == node;
  });
  return result;
}

TdxInspectorNode* TCustomdxInspector::FirstNodeOfBand(int band) {
  if (!IsBanded()) return FTopVisibleNode;
  TdxInspectorNode* result = nullptr;
  WalkInspectorBands(*this, ClientHeight(), [&](TdxInspectorNode* n, int b) {
    if (b == band) result = n;
    return b >= band;
  });
  return result;
}

int TCustomdxInspector::FocusedBandIndex() {
  return IsBanded() && HandleAllocated() && FFocused ? BandOfNode(FFocused) : 0;
}

void TCustomdxInspector::CalcBandCounts() {
  const int width = ClientWidth(), height = ClientHeight();
  FVisibleBandCount = FPartVisibleBandCount = width / FBandWidth;
  if (width % FBandWidth != 0 && LeftBandIndex() != BandCount() - 1) ++FPartVisibleBandCount;
  FBandCount = 1;
  int sum = 0, rows = 0;
  for (TdxInspectorNode* node = GetNode(0); node; node = GetNextVisible(node)) {
    const int rowHeight = GetNodeRowHeight(node);
    sum += rowHeight;
    ++rows;
    if (sum >= height) {
      ++FBandCount;
      if (rows > 1 && sum > height) {
        sum = rowHeight;
        rows = 1;
      } else {
        sum = rows = 0;
      }
    }
  }
  FPartVisibleBandCount = std::max(1, std::min(FPartVisibleBandCount, FBandCount));
  FBandCount = std::max({1, FBandCount, FVisibleBandCount});
  FVisibleBandCount = std::max(1, FVisibleBandCount);
}

void TCustomdxInspector::CalcRowCount() {
  TdxInspectorContentDrawInfo drawInfo;
  CalcContentDrawInfo(drawInfo);
  if (IsBanded()) {
    FRowCount = FVisibleRowCount = 0;
    for (int b = 0; b < drawInfo.BandCount; ++b) {
      if (b < VisibleBandCount()) FRowCount += drawInfo.BandsInfo[std::size_t(b)].RowCount;
      FVisibleRowCount += drawInfo.BandsInfo[std::size_t(b)].RowCount;
    }
  } else {
    const TdxInspectorBandInfo& band = drawInfo.BandsInfo[0];
    FRowCount = FVisibleRowCount = band.RowCount;
    if (band.PartRowVisible) --FRowCount;
  }
  FRowCount = std::max(1, FRowCount);
  FVisibleRowCount = std::max(1, FVisibleRowCount);
}

void TCustomdxInspector::UpdateScrollBars() {
  if (!HandleAllocated() || (FLockUpdate != 0 && !FInternalLayout)) return;
  if (IsBanded()) CalcBandCounts();
  CalcRowCount();
  SCROLLINFO active{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
  SCROLLINFO none = active;
  // Only a change is set: setting a bar may resize the window.
  auto set = [this](int bar, const SCROLLINFO& info) {
    SCROLLINFO current{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    GetFlatScrollInfo(bar, current);
    if (current.nMin == info.nMin && current.nMax == info.nMax && current.nPage == info.nPage &&
        current.nPos == info.nPos)
      return;
    SetFlatScrollInfo(bar, info, true);
  };
  if (IsBanded()) {
    active.nPage = UINT(VisibleBandCount());
    active.nMax = VisibleBandCount() >= BandCount() ? 0 : BandCount() - 1;
    active.nPos = LeftBandIndex();
    set(SB_HORZ, active);
    set(SB_VERT, none);
  } else {
    const int count = GetVisibleCount();
    active.nPage = UINT(FRowCount);
    active.nMax = FRowCount >= count ? 0 : count - 1;
    active.nPos = std::max(0, TopIndex());
    set(SB_VERT, active);
    set(SB_HORZ, none);
  }
}

void TCustomdxInspector::SetTopIndex(int index) {
  if (FNodeList.empty()) return;
  const int count = GetVisibleCount();
  index = std::clamp(index, 0, count - 1);
  if (IsBanded()) {
    const int band = BandOfNode(GetNodeByVisibleIndex(index));
    if (GetVisibleIndex(FirstNodeOfBand(band)) != TopIndex()) SetLeftBandIndex(band);
    return;
  }
  if (index == TopIndex()) return;
  if (index + FRowCount > count) index = std::max(0, count - FRowCount);
  if (index == TopIndex()) return;
  FTopVisibleNode = GetNodeByVisibleIndex(index);
  UpdateScrollBars();
  if (FLockUpdate == 0) Invalidate();
}

void TCustomdxInspector::SetLeftBandIndex(int band) {
  if (BandCount() == 0) return;
  band = std::clamp(band, 0, std::max(0, BandCount() - VisibleBandCount()));
  TdxInspectorNode* first = FirstNodeOfBand(band);
  if (band == FLeftBandIndex && first == FTopVisibleNode) return;
  FLeftBandIndex = band;
  FTopVisibleNode = first;
  UpdateScrollBars();
  CorrectTopIndex();
  Invalidate();
}

void TCustomdxInspector::CorrectTopIndex() {
  if (IsBanded()) {
    int left = LeftBandIndex();
    if (left + VisibleBandCount() > BandCount()) left = BandCount() - VisibleBandCount();
    SetLeftBandIndex(std::max(0, left));
    return;
  }
  const int top = TopIndex();
  if (top < 0) return;
  const int count = GetVisibleCount();
  const int height = ClientHeight();
  int fit = 0, sum = 0;
  TdxInspectorNode* node = GetNodeByVisibleIndex(std::min(top + FRowCount - 1, count - 1));
  for (; node; node = node->GetPriorNode()) {
    sum += GetNodeRowHeight(node);
    if (sum > height) break;
    ++fit;
  }
  if (top + fit > count) {
    FTopVisibleNode = GetNodeByVisibleIndex(std::max(0, count - fit));
    UpdateScrollBars();
    if (FLockUpdate == 0) Invalidate();
  }
}

RECT TCustomdxInspector::GetNodeRect(TdxInspectorNode* node, bool toBottom) {
  if (!node) return RECT{};
  TdxInspectorContentDrawInfo drawInfo;
  CalcContentDrawInfo(drawInfo);
  for (const TdxInspectorBandInfo& band : drawInfo.BandsInfo) {
    int top = band.BandContentRect.top;
    for (const TdxInspectorRowInfo& row : band.RowsInfo) {
      if (row.Node == node)
        return RECT{band.BandContentRect.left, top, band.BandContentRect.right,
                    toBottom ? drawInfo.CRect.bottom : top + row.RowHeight};
      top += row.RowHeight;
    }
  }
  return RECT{};
}

TdxInspectorRowParts TCustomdxInspector::CalcRowParts(TdxInspectorNode* node, RECT r) {
  TdxInspectorRowParts parts;
  const bool category = IsCategoryNode(node);
  const bool categorized = FPaintStyle == ipsCategorized;
  const int level = node->Level();
  if (!categorized) {
    parts.Indent = RECT{r.left, r.top, r.left + (level + 1) * FIndent, r.bottom};
    if (FPaintStyle == ipsStandard) parts.Indent.right += 2;
  } else if (category) {
    parts.Indent = RECT{r.left, r.top, r.left + level * FIndent, r.bottom};
    InflateRect(&r, -1, -1);
  } else {
    InflateRect(&r, -FRowFrameSize, -FRowFrameSize);
    parts.Indent = RECT{r.left, r.top, r.left + (level + 1) * FIndent, r.bottom};
    TdxInspectorNode* top = GetTopParentNode(node);
    if (top != node && IsCategoryNode(top)) parts.Indent.right -= FIndent;
  }
  if (node->HasChildren()) {
    parts.ButtonKind = node->Expanded() ? 2 : 1;
    if (!(categorized && category))
      parts.Button = RECT{parts.Indent.right - FIndent, parts.Indent.top, parts.Indent.right, parts.Indent.bottom};
  }
  if (HasNodeImage(node)) {
    parts.Image = RECT{parts.Indent.right, r.top, parts.Indent.right + FImageWidth, r.bottom};
    parts.Indent.right = parts.Image.right;
  }
  parts.Caption = RECT{parts.Indent.right, r.top, r.left + FDividerPos, r.bottom};
  if (categorized && category) --parts.Caption.left;
  parts.Value = RECT{r.left + FDividerPos + 1, r.top, r.right, r.bottom};
  if (FPaintStyle == ipsStandard || FPaintStyle == ipsExtended || categorized) ++parts.Value.left;
  if (category) {
    parts.Caption.right = parts.Value.right;
    if (categorized && parts.ButtonKind != 0) {
      parts.Button = RECT{parts.Caption.right - FToolboxButtonWidth, parts.Caption.top, parts.Caption.right,
                          parts.Caption.bottom};
      parts.Caption.right = parts.Button.left;
    }
  }
  return parts;
}

RECT TCustomdxInspector::GetNodeEditRect(TdxInspectorNode* node) {
  const RECT row = GetNodeRect(node);
  if (InspRectEmpty(row)) return RECT{};
  RECT value = CalcRowParts(node, row).Value;
  value.bottom -= FGridSize;
  return value;
}

int TCustomdxInspector::ClampDivider(int value) {
  return std::max(FMinColumnWidth, std::min(value, ContentWidth() - FMinColumnWidth));
}

void TCustomdxInspector::SetDividerPos(int value) {
  if (HandleAllocated()) value = ClampDivider(value);
  if (value != FDividerPos) {
    FDividerPos = value;
    Invalidate();
  }
  if (!FSizing) FDividerPosSave = POINT{FDividerPos, ContentWidth()};
}

int TCustomdxInspector::ProportionalDividerPos() {
  const int width = ContentWidth();
  if (FDividerPosSave.y == -1) FDividerPosSave.y = width;
  if (FDividerPosSave.y != 0) return MulDiv(width, FDividerPosSave.x, FDividerPosSave.y);
  FDividerPosSave.y = -1;
  return 0;
}

void TCustomdxInspector::SetBandWidth(int value) {
  value = std::max(value, FMinBandWidth);
  if (value == FBandWidth) return;
  FBandWidth = value;
  LayoutChanged();
  if (HandleAllocated()) SendMessageW(Handle(), WM_SIZE, 0, MAKELPARAM(ClientWidth(), ClientHeight()));
}

void TCustomdxInspector::WMSize(TMessage& message) {
  TVK_INHERITED(message);
  // The scroll bars this resize shows or hides resize the window again.
  if (FSizing) return;
  const bool saved = FSizing;
  FSizing = true;
  struct TRestore {
    bool& Flag;
    bool Value;
    ~TRestore() { Flag = Value; }
  } restore{FSizing, saved};
  UpdateScrollBars();
  if (!HasOption(ioAutoWidth) || Loading())
    SetDividerPos(FDividerPos);
  else
    SetDividerPos(ProportionalDividerPos());
  CorrectTopIndex();
  FSizing = saved;
  UpdateEditor(false, false);
}

void TCustomdxInspector::DoScroll(bool vertical, int code) {
  const int count = vertical ? GetVisibleCount() : BandCount();
  const int position = vertical ? TopIndex() : LeftBandIndex();
  const int page = vertical ? FRowCount : VisibleBandCount();
  int target;
  switch (code) {
    case SB_LINEUP: target = position - 1; break;
    case SB_LINEDOWN: target = position + 1; break;
    case SB_PAGEUP: target = position - page; break;
    case SB_PAGEDOWN: target = position + page; break;
    case SB_THUMBTRACK: {
      SCROLLINFO info{sizeof(SCROLLINFO), SIF_TRACKPOS, 0, 0, 0, 0, 0};
      GetFlatScrollInfo(vertical ? SB_VERT : SB_HORZ, info);
      target = info.nTrackPos < 1 ? 0 : info.nTrackPos < count ? info.nTrackPos : count;
      break;
    }
    default: return;
  }
  if (vertical)
    SetTopIndex(target);
  else
    SetLeftBandIndex(target);
}

void TCustomdxInspector::WMScroll(TMessage& message) {
  message.Result = 0;
  if (!CanScroll()) return;
  WriteBackEditor();
  DoScroll(message.Msg == WM_VSCROLL, LOWORD(message.WParam));
}

void TCustomdxInspector::SetOptions(TdxInspectorOptions value) {
  if (value == FOptions) return;
  const bool bandedChanged = ((value ^ FOptions) & InspectorOptionBit(ioAutoBandCount)) != 0;
  FOptions = value;
  if (bandedChanged) {
    FLeftBandIndex = 0;
    FTopVisibleNode = IsBanded() ? GetNode(0) : FTopVisibleNode;
  }
  LayoutChanged();
}

void TCustomdxInspector::SetPaintStyle(TdxInspectorPaintStyle value) {
  if (value == FPaintStyle) return;
  FPaintStyle = value;
  LayoutChanged();
}

void TCustomdxInspector::SetRowHeight(int value) {
  if (value == FRowHeight && FRowHeightAssigned) return;
  FRowHeight = value;
  FRowHeightAssigned = true;
  LayoutChanged();
}

void TCustomdxInspector::SetImages(TCustomImageList* value) {
  if (value == FImages) return;
  TInspectorUpdateGuard lock(*this);
  if (FImages) {
    FImages->UnRegisterChanges(FImageChangeLink.get());
    RemoveFreeNotification(FImages);
  }
  FImages = value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink.get());
    FreeNotification(FImages);
  }
}

void TCustomdxInspector::SetBorderStyle(TdxInspectorBorderStyle value) {
  if (value == FBorderStyle) return;
  FBorderStyle = value;
  if (HandleAllocated()) RecreateWnd();
}

void TCustomdxInspector::SetFlat(bool value) {
  if (value == FFlat) return;
  FFlat = value;
  if (HandleAllocated()) RecreateWnd();
}

// ---- painting

TColor TCustomdxInspector::GetValueFontColor() {
  if (ColorToRGB(clBtnFace) == 0) return TColor(~ColorToRGB(FValueFontColor) & 0xFFFFFF);
  return FValueFontColor;
}

void TCustomdxInspector::CalcCellViewBounds(const RECT& rect, RECT& bounds) {
  bounds = rect;
  InflateRect(&bounds, 2, 2);
}

void TCustomdxInspector::WMEraseBkgnd(TMessage& message) { message.Result = 1; }

void TCustomdxInspector::Paint() {
  UpdateEditor(false, false);
  // The row drag's picture would be painted over: hidden for the pass.
  struct TDragImageHider {
    TDragImageList* List;
    explicit TDragImageHider(TDragImageList* list) : List(list) {
      if (List) List->HideDragImage();
    }
    ~TDragImageHider() {
      if (List) List->ShowDragImage();
    }
    TDragImageHider(const TDragImageHider&) = delete;
    TDragImageHider& operator=(const TDragImageHider&) = delete;
  } hider(FState == isNodeDragging && FDragImageNode && FDragImageNode->Dragging() ? FDragImageNode.get() : nullptr);
  TdxInspectorContentDrawInfo drawInfo;
  CalcContentDrawInfo(drawInfo);
  TInspectorBrush grid(FGridBrush, FGridColor), groupGrid(FGroupGridBrush, FGroupGridColor), back(FBkBrush, Color()),
      groupBack(FGroupBkBrush, FGroupColor);
  TCanvas& canvas = Canvas();
  HDC dc = canvas.Handle();
  if (FPaintStyle == ipsStandard || FPaintStyle == ipsExtended) DrawFocusFrame(dc);
  FillSolid(dc, drawInfo.EmptyRect, FBkBrush);
  for (const TdxInspectorBandInfo& band : drawInfo.BandsInfo) PaintBand(canvas, band);
}

void TCustomdxInspector::DrawFocusFrame(HDC dc) {
  const RECT row = GetNodeRect(FFocused);
  if (InspRectEmpty(row)) return;
  RECT frame{row.left - 1, row.top - 2, row.right + 1, row.bottom};
  DrawEdge(dc, &frame, BDR_SUNKENOUTER | BDR_SUNKENINNER, BF_LEFT | BF_TOP);
  DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM);
  const RECT inner{frame.left + 2, frame.top + 2, frame.right - 1, frame.bottom - 1};
  HRGN clip = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(dc, clip) != 1) {
    const RECT client = ClientRect();
    SetRectRgn(clip, client.left, client.top, client.right, client.bottom);
  }
  HRGN ring = CreateRectRgnIndirect(&frame);
  HRGN hole = CreateRectRgnIndirect(&inner);
  CombineRgn(ring, ring, hole, RGN_DIFF);
  CombineRgn(clip, clip, ring, RGN_DIFF);
  SelectClipRgn(dc, clip);
  DeleteObject(hole);
  DeleteObject(ring);
  DeleteObject(clip);
}

void TCustomdxInspector::PaintBand(TCanvas& canvas, const TdxInspectorBandInfo& band) {
  HDC dc = canvas.Handle();
  const RECT& sep = band.BandSeparatorRect;
  if (!InspRectEmpty(sep)) {
    const HBRUSH columns[] = {FGridBrush, FBkBrush, FGridBrush};
    for (int i = 0; i < 3; ++i) FillSolid(dc, RECT{sep.left + i, sep.top, sep.left + i + 1, sep.bottom}, columns[i]);
  }
  FillSolid(dc, band.EmptyRect, FBkBrush);
  const RECT& content = band.BandContentRect;
  if ((ComponentState() & csDesigning) && band.RowsInfo.empty())
    FillSolid(dc, RECT{content.left + FDividerPos, content.top, content.left + FDividerPos + 1, content.bottom},
              FGridBrush);
  canvas.Brush().SetColor(Color());
  canvas.Font().Assign(Font());
  bool dividerDrawn = false;
  int top = content.top;
  for (const TdxInspectorRowInfo& row : band.RowsInfo) {
    RECT r{content.left, top, content.right, top + row.RowHeight};
    top += row.RowHeight;
    if (FPaintStyle != ipsCategorized) {
      PaintGridLine(canvas, row.Node, r);
      r.bottom -= FGridSize;
    }
    PaintRow(canvas, row.Node, r, dividerDrawn);
    ++Stats.RowsPainted;
  }
}

bool TCustomdxInspector::UnderTopCategory(TdxInspectorNode* node) {
  TdxInspectorNode* top = GetTopParentNode(node);
  return top && top != node && IsCategoryNode(top);
}

void TCustomdxInspector::PaintGridLine(TCanvas& canvas, TdxInspectorNode* node, const RECT& rowRect) {
  HDC dc = canvas.Handle();
  RECT line{rowRect.left, rowRect.bottom - 1, rowRect.right, rowRect.bottom};
  switch (FPaintStyle) {
    case ipsStandard: case ipsExtended: FillDotted(dc, line, FGridColor, Color()); return;
    case ipsSimple: FillSolid(dc, line, FGridBrush); return;
    case ipsCategorized: return;
    case ipsNET: break;
  }
  int boundary = line.left + FIndent;
  HBRUSH left = FGridBrush, right = FGridBrush;
  if (IsTopCategory(node)) {
    left = right = FGroupGridBrush;
    if (node->Expanded()) {
      left = FGroupBkBrush;
      --boundary;
    }
  } else {
    left = node == LastNode() ? FGridBrush : FBkBrush;
    if (IsTopCategory(GetNextVisible(node))) {
      left = right = FGroupGridBrush;
    } else if (UnderTopCategory(node)) {
      if (GetTopParentNode(node)->GetLastNode() == node)
        left = right = FGroupGridBrush;
      else
        left = FGroupBkBrush;
    }
  }
  FillSolid(dc, RECT{line.left, line.top, boundary, line.bottom}, left);
  FillSolid(dc, RECT{boundary, line.top, line.right, line.bottom}, right);
}

void TCustomdxInspector::PaintRow(TCanvas& canvas, TdxInspectorNode* node, RECT rect, bool& dividerDrawn) {
  HDC dc = canvas.Handle();
  TdxInspectorRowParts parts = CalcRowParts(node, rect);
  WideString caption, value;
  GetNodeTexts(node, caption, value);
  canvas.Brush().SetColor(Color());
  canvas.Font().Assign(Font());
  const bool category = IsCategoryNode(node);
  const bool focused = node == FFocused;
  if (FPaintStyle == ipsCategorized) {
    if (category) canvas.Brush().SetColor(clBtnShadow);
    PaintRowFrame(canvas, node, rect, parts);
  }
  if (FPaintStyle == ipsSimple || FPaintStyle == ipsNET || FPaintStyle == ipsCategorized) {
    if (FPaintStyle == ipsNET && IsTopCategory(node)) canvas.Brush().SetColor(FGroupColor);
    if (focused && FPaintStyle != ipsCategorized) {
      canvas.Brush().SetColor(clHighlight);
      canvas.Font().SetColor(clHighlightText);
    }
    bool bold = node->HasChildren();
    if (FPaintStyle != ipsSimple && !category) bold = false;
    canvas.Font().SetStyle(bold ? TFontStyles(fsBold) : TFontStyles(0));
  }
  // A divider inside the indentation cuts the caption there.
  const bool clipCaption = !category && parts.Caption.right < parts.Indent.right;
  int saved = 0;
  if (clipCaption) {
    saved = SaveDC(dc);
    IntersectClipRect(dc, rect.left, rect.top, parts.Caption.right, rect.bottom);
  }
  if (category) canvas.Font().SetStyle(TFontStyles(fsBold));
  DrawCaption(canvas, node, caption, parts.Caption, parts.ButtonKind, parts.Image, parts.Button, parts.Indent);
  if (clipCaption) RestoreDC(dc, saved);
  if (FPaintStyle == ipsCategorized && focused && !category && IsActive()) {
    const RECT focusRect{parts.Caption.left - 1, parts.Caption.top, parts.Caption.right - 1, parts.Caption.bottom};
    const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF oldBk = SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &focusRect);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBk);
  }
  if (category) {
    dividerDrawn = false;
    return;
  }
  if (FPaintStyle == ipsCategorized) {
    FillSolid(dc, RECT{parts.Caption.right, rect.top, parts.Caption.right + 2, rect.bottom}, FBkBrush);
  } else {
    const int x = rect.left + FDividerPos;
    RECT line{x, rect.top - (dividerDrawn ? 1 : 0), x + 1, rect.bottom};
    if (FPaintStyle == ipsStandard || FPaintStyle == ipsExtended) {
      line.right = x + 2;
      DrawEdge(dc, &line, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_LEFT);
    } else {
      FillSolid(dc, line, FGridBrush);
    }
    dividerDrawn = true;
  }
  canvas.Brush().SetColor(Color());
  canvas.Font().Assign(Font());
  canvas.Font().SetColor(GetValueFontColor());
  if (FPaintStyle == ipsCategorized) {
    canvas.Brush().SetColor(clWindow);
    canvas.Font().SetColor(Font().Color());
  } else if (focused && (FPaintStyle == ipsStandard || FPaintStyle == ipsExtended)) {
    canvas.Brush().SetColor(GetInplaceEditColor());
    canvas.Font().SetColor(Font().Color());
  }
  DrawValue(canvas, parts.Value, TAlignment::taLeftJustify, value, node);
}

void TCustomdxInspector::PaintBoxButton(TCanvas& canvas, const RECT& rect, bool collapsed, HBRUSH fill,
                                        TColor outline) {
  HDC dc = canvas.Handle();
  const int left = (rect.left + rect.right - 9) / 2, top = (rect.top + rect.bottom - 9) / 2;
  const RECT box{left, top, left + 9, top + 9};
  if (fill) FillRect(dc, &box, fill);
  HBRUSH pen = CreateSolidBrush(ColorToRGB(outline));
  FrameRect(dc, &box, pen);
  const RECT minus{left + 2, top + 4, left + 7, top + 5};
  FillRect(dc, &minus, pen);
  if (collapsed) {
    const RECT upright{left + 4, top + 2, left + 5, top + 7};
    FillRect(dc, &upright, pen);
  }
  DeleteObject(pen);
}

void TCustomdxInspector::PaintIndentAndButton(TCanvas& canvas, TdxInspectorNode* node,
                                              const TdxInspectorRowParts& parts) {
  HDC dc = canvas.Handle();
  const RECT& indent = parts.Indent;
  if (FPaintStyle == ipsNET) {
    canvas.FillRect(RECT{indent.left + FIndent, indent.top, indent.right, indent.bottom});
    const bool topCategory = IsTopCategory(node), under = UnderTopCategory(node);
    FillSolid(dc, RECT{indent.left, indent.top, indent.left + FIndent - 1, indent.bottom},
              topCategory || under ? FGroupBkBrush : FBkBrush);
    const bool lower = !topCategory && !IsTopCategory(GetNextVisible(node));
    FillSolid(dc, RECT{indent.left + FIndent - 1, indent.top, indent.left + FIndent, indent.bottom + (lower ? 1 : 0)},
              under && !topCategory ? FGroupGridBrush : FGridBrush);
  } else {
    canvas.FillRect(indent);
  }
  if (parts.ButtonKind == 0) return;
  const RECT& b = parts.Button;
  const bool collapsed = parts.ButtonKind == 1;
  switch (FPaintStyle) {
    case ipsStandard: {
      RECT r = b;
      const int mode = SetBkMode(canvas.StateHandle(), TRANSPARENT);
      canvas.DrawText(r, collapsed ? L"+" : L"-", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      SetBkMode(canvas.StateHandle(), mode);
      break;
    }
    case ipsExtended: {
      RECT s{(b.left + b.right - 10) / 2, (b.top + b.bottom - 10) / 2, 0, 0};
      s.right = s.left + 10;
      s.bottom = s.top + 10;
      DrawEdge(dc, &s, BDR_RAISEDINNER, BF_LEFT | BF_TOP);
      DrawEdge(dc, &s, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
      InflateRect(&s, -1, -1);
      DrawEdge(dc, &s, BDR_RAISEDINNER, BF_RIGHT | BF_BOTTOM);
      --s.right;
      --s.bottom;
      HBRUSH text = GetSysColorBrush(COLOR_BTNTEXT);
      const RECT minus{s.left + 1, s.top + 3, s.left + 6, s.top + 4};
      FillRect(dc, &minus, text);
      if (collapsed) {
        const RECT upright{s.left + 3, s.top + 1, s.left + 4, s.top + 6};
        FillRect(dc, &upright, text);
      }
      break;
    }
    case ipsSimple: PaintBoxButton(canvas, b, collapsed, nullptr, canvas.Font().Color()); break;
    case ipsNET:
      PaintBoxButton(canvas, b, collapsed, IsCategoryNode(node) ? FGroupBkBrush : FBkBrush, Font().Color());
      break;
    case ipsCategorized: break;
  }
}

void TCustomdxInspector::PaintRowFrame(TCanvas& canvas, TdxInspectorNode* node, RECT& rect,
                                       const TdxInspectorRowParts& parts) {
  HDC dc = canvas.Handle();
  if (!IsCategoryNode(node)) {
    for (int i = 0; i < FRowFrameSize; ++i) {
      FrameRect(dc, &rect, FBkBrush);
      InflateRect(&rect, -1, -1);
    }
    FillSolid(dc, parts.Indent, FBkBrush);
    if (parts.ButtonKind != 0) PaintBoxButton(canvas, parts.Button, parts.ButtonKind == 1, FBkBrush, Font().Color());
    return;
  }
  FillSolid(dc, parts.Indent, FBkBrush);
  rect.left = parts.Indent.right;
  RECT frame = rect;
  if (node == FFocused || IsHotTrackNode(node)) {
    if (FState == isNodeDown && FDragNode == node) {
      DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM | BF_ADJUST);
      DrawEdge(dc, &frame, BDR_SUNKENINNER, BF_LEFT | BF_TOP);
    } else {
      DrawEdge(dc, &frame, BDR_RAISEDOUTER, BF_RECT | BF_ADJUST);
      DrawEdge(dc, &frame, BDR_RAISEDINNER, BF_RECT);
    }
  } else {
    FrameRect(dc, &frame, FBkBrush);
  }
  if (parts.ButtonKind == 0) return;
  canvas.FillRect(parts.Button);
  const bool collapsed = parts.ButtonKind == 1;
  const int width = collapsed ? 6 : 5, height = collapsed ? 5 : 6;
  const int gx = (parts.Button.left + parts.Button.right - width) / 2;
  const int gy = (parts.Button.top + parts.Button.bottom - height) / 2;
  static constexpr POINT kChevron[] = {{0, 0}, {2, 2}, {0, 4}, {0, 3}, {2, 2}, {0, 1}, {0, 0}};
  canvas.Pen().SetColor(Font().Color());
  for (int second = 0; second < 2; ++second) {
    POINT points[std::size(kChevron)];
    for (std::size_t i = 0; i < std::size(kChevron); ++i) {
      const POINT p = kChevron[i];
      points[i] = collapsed ? POINT{gx + p.x + 3 * second, gy + p.y} : POINT{gx + p.y, gy + p.x + 3 * second};
    }
    canvas.Polyline(points);
  }
}

void TCustomdxInspector::DrawCaption(TCanvas& canvas, TdxInspectorNode* node, const WideString& caption,
                                     const RECT& captionRect, int buttonKind, const RECT& imageRect,
                                     const RECT& buttonRect, const RECT& indentRect) {
  if (FPaintStyle != ipsCategorized) {
    TdxInspectorRowParts parts;
    parts.Indent = indentRect;
    parts.Button = buttonRect;
    parts.ButtonKind = buttonKind;
    PaintIndentAndButton(canvas, node, parts);
  }
  if (!InspRectEmpty(imageRect) && FImages) {
    const int index = GetNodeImageIndex(node);
    if (index >= 0 && index < FImages->Count())
      FImages->Draw(canvas, (imageRect.left + imageRect.right - FImageWidth + 1) / 2,
                    (imageRect.top + imageRect.bottom - FImageHeight + 1) / 2, index);
  }
  DrawCaptionText(canvas, node, caption, captionRect);
}

void TCustomdxInspector::DrawCaptionText(TCanvas& canvas, TdxInspectorNode* node, const WideString& text,
                                         const RECT& rect) {
  (void)node;
  DrawCellText(canvas, rect, TAlignment::taLeftJustify, text);
}

void TCustomdxInspector::DrawCellText(TCanvas& canvas, const RECT& rect, TAlignment alignment,
                                      const WideString& text) {
  if (InspRectEmpty(rect)) return;
  const TdxInplaceEditClass& editClass = TdxInplaceTextEditClass::Instance();
  std::unique_ptr<TdxEditViewData> viewData = editClass.CreateViewDataObject();
  TdxEditViewData& data = *viewData;
  data.Enabled = true;
  data.BorderColor = clNone;
  data.BorderStyle = xbsNone;
  data.ButtonStyle = GetEditButtonStyle();
  data.Edges = kAllEdges;
  CalcCellViewBounds(rect, data.ViewBounds);
  data.DrawAlignment = FTextHeight < InspRectHeight(rect) ? daMultiLine : daSingleLine;
  data.Font = canvas.Font().Handle();
  data.Brush = canvas.Brush().Handle();
  data.BkColor = ColorToRGB(canvas.Brush().Color());
  data.TextColor = ColorToRGB(canvas.Font().Color());
  data.Alignment = alignment;
  data.Data = Variant(text);
  if (auto* textData = dynamic_cast<TdxTextEditViewData*>(&data)) textData->EndEllipsis = HasOption(ioDrawEndEllipsis);
  editClass.Draw(canvas.Handle(), rect, data, nullptr);
}

void TCustomdxInspector::DrawValue(TCanvas& canvas, const RECT& valueRect, TAlignment alignment,
                                   const WideString& text, TdxInspectorNode* node) {
  TdxInspectorCellViewData& cell = FCellViewData;
  cell.Cell_Brush = canvas.Brush().Handle();
  cell.Cell_Font = canvas.Font().Handle();
  cell.Cell_BkColor = ColorToRGB(canvas.Brush().Color());
  cell.Cell_TextColor = ColorToRGB(canvas.Font().Color());
  cell.Cell_Alignment = alignment;
  cell.Cell_Text = text;
  cell.Cell_TextLength = 0;
  cell.Cell_Selected = false;
  cell.Cell_DrawEndEllipsis = HasOption(ioDrawEndEllipsis);
  cell.Cell_Node = node;
  cell.Cell_HotTrackNode = IsHotTrackNode(node);
  cell.Cell_Rect = RECT{0, 0, InspRectWidth(valueRect) + 4, InspRectHeight(valueRect) + 4};
  DrawCellValue(canvas, valueRect, cell);
}

void TCustomdxInspector::DrawComplexRowSeparator(TCanvas& canvas, const RECT& rect, bool force) {
  if (FPaintStyle != ipsCategorized || force) {
    canvas.FillRect(rect);
    const int x = (rect.left + rect.right) / 2;
    RECT line{x, rect.top + 2, x + 2, rect.bottom - 2};
    DrawEdge(canvas.Handle(), &line, BDR_SUNKENOUTER | BDR_RAISEDINNER, BF_LEFT);
  } else {
    HBRUSH back = CreateSolidBrush(ColorToRGB(Color()));
    FillRect(canvas.Handle(), &rect, back);
    DeleteObject(back);
  }
}

void TCustomdxInspector::InvalidateNode(TdxInspectorNode* node, bool structural) {
  if (!node || node->Deleting() || !HandleAllocated()) return;
  if (structural && IsBanded()) {
    Invalidate();
    return;
  }
  RECT r = GetNodeRect(node, structural);
  if (InspRectEmpty(r)) return;
  if (FPaintStyle == ipsStandard || FPaintStyle == ipsExtended) r.top -= 2;
  if (IsBanded()) InflateRect(&r, 2, 0);
  InvalidateRect(Handle(), &r, FALSE);
}

void TCustomdxInspector::CreateParams(TCreateParams& params) {
  TCustomdxContainer::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN | WS_TABSTOP | WS_VSCROLL;
  params.WindowClassStyle |= CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  if (FBorderStyle == TdxInspectorBorderStyle::bsSingle && !FFlat) {
    if (Ctl3D()) {
      params.ExStyle |= WS_EX_CLIENTEDGE;
      params.Style &= ~DWORD(WS_BORDER);
    } else {
      params.Style |= WS_BORDER;
    }
  }
}

void TCustomdxInspector::WMNCCalcSize(TMessage& message) {
  TVK_INHERITED(message);
  if (!FFlat || FBorderStyle == TdxInspectorBorderStyle::bsNone) return;
  auto* rect = reinterpret_cast<RECT*>(message.LParam);
  InflateRect(rect, -1, -1);
}

void TCustomdxInspector::WMNCPaint(TMessage& message) {
  TVK_INHERITED(message);
  if (!FFlat || FBorderStyle == TdxInspectorBorderStyle::bsNone) return;
  HDC dc = GetWindowDC(Handle());
  RECT r{};
  GetWindowRect(Handle(), &r);
  OffsetRect(&r, -r.left, -r.top);
  DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  ReleaseDC(Handle(), dc);
}

void TCustomdxInspector::CMCtl3DChanged(TMessage& message) {
  if (FBorderStyle == TdxInspectorBorderStyle::bsSingle && !FFlat && HandleAllocated()) RecreateWnd();
  TVK_INHERITED(message);
}

void TCustomdxInspector::CMColorChanged(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
}

void TCustomdxInspector::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  LayoutChanged();
}

// ---- in-place editing

bool TCustomdxInspector::IsActive() {
  if (!HandleAllocated()) return false;
  HWND focus = GetFocus();
  if (focus && (focus == Handle() || IsChild(Handle(), focus))) return true;
  return FInplaceEdit && FInplaceEdit->IsFocused();
}

bool TCustomdxInspector::CanShowEditor() {
  return HasOption(ioEditing) && FFocused && !IsCategoryNode(FFocused) && !(ComponentState() & csDesigning) &&
         FLockUpdate == 0 && HandleAllocated() && FState != isNodeDragging && !IsCustomizing();
}

TdxInplaceEdit* TCustomdxInspector::CreateDefaultEditor() {
  // Forgotten once the focus moves on, and freed then (see WMFreeEditors).
  FOwnEditors.push_back(CreateComponent<TdxInplaceTextEdit>(this));
  return FOwnEditors.back();
}

void TCustomdxInspector::SetComplexRowIndex(int index) {
  ValidateComplexRowIndex(index);
  if (index == FComplexRowIndex) return;
  FComplexRowIndex = index;
  InvalidateNode(FFocused, false);
  if (IsEditorShown()) {
    HideEditor();
    ShowEditor();
  }
}

void TCustomdxInspector::SetComplexRowSeparator(const WideString& value) {
  if (value == FComplexRowSeparator) return;
  FComplexRowSeparator = value;
  LayoutChanged();
}

void TCustomdxInspector::AssignEditProperties(TdxInplaceEdit* editor) {
  HDC screen = GetDC(nullptr);
  editor->SetColor(TColor(GetNearestColor(screen, ColorToRGB(GetInplaceEditColor()))));
  ReleaseDC(nullptr, screen);
  editor->Font().Assign(GetInplaceEditFont());
  editor->SetOffsetSize(RECT{1, 0, 0, 0});
}

void TCustomdxInspector::UpdateEditor(bool force, bool reload) {
  if (!CanShowEditor()) {
    if (FInplaceEdit && FInplaceEdit->HandleAllocated() && IsWindowVisible(FInplaceEdit->Handle())) HideEditor();
    return;
  }
  const HWND focus = GetFocus();
  const bool focused = focus == Handle() || (FInplaceEdit && FInplaceEdit->HandleAllocated() &&
                                             (focus == FInplaceEdit->Handle() || IsChild(FInplaceEdit->Handle(), focus)));
  if (!force && !focused) {
    if (reload && FInplaceEdit && !FInplaceEdit->IsFocused()) LoadEditor();
    return;
  }
  const RECT r = GetNodeEditRect(FFocused);
  TdxInplaceEdit* editor = GetNodeEditor(FFocused);
  if (editor && editor == FInplaceEdit && FInplaceNode == FFocused && FInplaceComplexRowIndex == FComplexRowIndex) {
    RECT current = FInplaceEdit->BoundsRect();
    InflateRect(&current, -2, -2);
    if (!force && EqualRect(&current, &r) && FInplaceEdit->IsVisible()) return;
    FInplaceNode = FFocused;
    FInplaceEdit->Hide();
    if (InspRectEmpty(r)) return;  // the row is scrolled away: the editor waits hidden
    FInplaceEdit->Move(r);
    FInplaceEdit->Deselect();
    return;
  }
  if (editor != FInplaceEdit || !editor) {
    FInplaceNode = nullptr;
    CloseEditor(false);
    if (editor) {
      FInplaceEdit = editor;
    } else {
      FInplaceEdit = CreateDefaultEditor();
      FInplaceEdit->SetParent(this);
    }
  }
  LoadEditor();
  if (!InspRectEmpty(r)) FInplaceEdit->Move(r);
}

void TCustomdxInspector::LoadEditor() {
  FInplaceComplexRowIndex = FComplexRowIndex;
  FInplaceNode = FFocused;
  BeginInitEdit();
  struct TEndInit {
    TCustomdxInspector* Self;
    ~TEndInit() { Self->EndInitEdit(); }
  } endInit{this};
  AssignEditProperties(FInplaceEdit);
  Variant value;
  InitEditValue(FInplaceNode, FInplaceEdit, value);
  FInplaceEdit->SetEditValue(value);
  FInplaceEdit->SetEditModified(false);
  if (IsHostReadOnly()) FInplaceEdit->SetReadOnly(true);
  FInplaceEdit->SetActive(true);
}

void TCustomdxInspector::CloseEditor(bool backFocus) {
  if (!FInplaceEdit) return;
  try {
    if (!FInplaceEdit->IsDestroying() && FInplaceNode) {
      Variant value;
      SaveEditValue(FInplaceNode, FInplaceEdit, value);
    }
  } catch (...) {
    if (backFocus && FInplaceNode) {
      FInplaceNode->MakeVisible();
      Update();
    }
    StopScrollTimer();
    FState = isNormal;
    if (backFocus && Showing() && CanFocus()) SetFocus();
    throw;
  }
  // The write-back may have laid the control out again and let the editor go.
  if (!FInplaceEdit) {
    if (backFocus && HandleAllocated() && IsWindowVisible(Handle()) && CanFocus()) SetFocus();
    return;
  }
  const bool editorFocused = FInplaceEdit->HandleAllocated() && GetFocus() == FInplaceEdit->Handle();
  if (!backFocus) {
    FInplaceNode = nullptr;
    FInplaceEdit->Hide();
  }
  if ((backFocus || editorFocused) && HandleAllocated() && IsWindowVisible(Handle()) && CanFocus()) SetFocus();
}

void TCustomdxInspector::WriteBackEditor() {
  if (!FInplaceNode || !FInplaceEdit) return;
  Variant value;
  SaveEditValue(FInplaceNode, FInplaceEdit, value);
}

void TCustomdxInspector::ShowEditor() {
  if (HasOption(ioEditing) && FFocused) UpdateEditor(true, false);
}

void TCustomdxInspector::ShowEditorChar(wchar_t ch) {
  ShowEditor();
  if (FInplaceEdit) PostMessageW(FInplaceEdit->Handle(), WM_CHAR, ch, 0);
}

void TCustomdxInspector::ShowEditorMouse(int x, int y) {
  ShowEditor();
  if (HasOption(ioEditing) && FInplaceEdit) FInplaceEdit->MouseClick(x, y);
}

void TCustomdxInspector::HideEditor() {
  FInplaceNode = nullptr;
  CloseEditor(false);
  if (FInplaceEdit && std::find(FOwnEditors.begin(), FOwnEditors.end(), FInplaceEdit) != FOwnEditors.end() &&
      HandleAllocated())
    PostMessageW(Handle(), kFreeEditorsMessage, 0, 0);
  FInplaceEdit = nullptr;
}

void TCustomdxInspector::WMFreeEditors(TMessage& message) {
  message.Result = 0;
  // A default editor the inspector forgot is freed once no message of its own is running.
  for (auto it = FOwnEditors.begin(); it != FOwnEditors.end();) {
    TdxInplaceEdit* editor = *it;
    if (editor == FInplaceEdit || editor == FInplaceEditPushed) {
      ++it;
      continue;
    }
    it = FOwnEditors.erase(it);
    delete editor;
  }
}

void TCustomdxInspector::PostEditor(bool backFocus) {
  if (FInplaceEdit && FInplaceEdit->IsVisible() && FInplaceNode) FInplaceEdit->ValidateEdit();
  CloseEditor(backFocus);
}

void TCustomdxInspector::InvalidateEditor() {
  FInplaceNode = nullptr;
  UpdateEditor(false, true);
}

WideString TCustomdxInspector::GetEditingText() {
  return HasOption(ioEditing) && FInplaceEdit ? FInplaceEdit->GetEditingText() : WideString();
}

void TCustomdxInspector::SetEditingText(const WideString& text) {
  if (HasOption(ioEditing) && FInplaceEdit) FInplaceEdit->SetEditingText(text);
}

void TCustomdxInspector::InplaceEditKillFocus(HWND focusedWnd) {
  if (HandleAllocated() && focusedWnd != Handle() && ValidateEditorOnKillFocus) PostEditor(false);
}

bool TCustomdxInspector::InplaceEditWantTabs() { return HasOption(ioTabs) && GetKeyState(VK_CONTROL) >= 0; }

void TCustomdxInspector::WMSetFocus(TMessage& message) {
  TVK_INHERITED(message);
  if (FInplaceEdit && FInplaceEdit->HandleAllocated() && HWND(message.WParam) == FInplaceEdit->Handle()) return;
  InvalidateNode(FFocused, false);
  UpdateEditor(true, false);
}

void TCustomdxInspector::WMKillFocus(TMessage& message) {
  TVK_INHERITED(message);
  if (FInplaceEdit && FInplaceEdit->HandleAllocated() && HWND(message.WParam) == FInplaceEdit->Handle()) return;
  InvalidateNode(FFocused, false);
  if (FState == isNodeDown) FState = isNormal;
}

void TCustomdxInspector::CMExit(TMessage& message) {
  TVK_INHERITED(message);
  HideEditor();
}

void TCustomdxInspector::WMGetDlgCode(TMessage& message) {
  message.Result = DLGC_WANTARROWS;
  if (InplaceEditWantTabs()) message.Result |= DLGC_WANTTAB;
  if (HasOption(ioEditing)) message.Result |= DLGC_WANTCHARS;
}

// ---- keyboard

void TCustomdxInspector::KeyDown(WORD& key, TShiftState shift) {
  TWinControl::KeyDown(key, shift);
  if (key == 0) return;
  if (FState == isColumnSizing || FState == isBandSizing || FState == isRowSizing) {
    if (key == VK_ESCAPE) CancelMode();
    return;
  }
  if (key == VK_ESCAPE && FState == isNodeDragging && IsDraggingAllowed()) EndDrag(false);
  if (FNodeList.empty()) return;
  const bool moveKey = key == VK_TAB || key == VK_RETURN || key == VK_PRIOR || key == VK_NEXT || key == VK_UP ||
                       key == VK_DOWN;
  const bool editing = HasOption(ioEditing);
  const bool tabThrough = HasOption(ioTabThrough);
  const bool shifted = (shift & ssShift) != 0;
  if (moveKey && editing) {
    const bool atTop = (key == VK_PRIOR || key == VK_UP || (key == VK_TAB && shifted)) && FFocused == GetNode(0) &&
                       !tabThrough && (key != VK_TAB || !CanTabInComplexRow(false));
    const bool atBottom = (key == VK_NEXT || key == VK_DOWN || (key == VK_TAB && !shifted)) &&
                          FFocused == LastNode() && !tabThrough && (key != VK_TAB || !CanTabInComplexRow(true));
    if (atTop || atBottom) {
      if (FInplaceEdit && FInplaceEdit->GetEditModified()) {
        PostEditor(true);
        InvalidateEditor();
      }
      return;
    }
    if (key == VK_RETURN && CanEditModify() && FInplaceEdit) FInplaceEdit->SetEditModified(true);
    PostEditor(true);
  }
  switch (key) {
    case VK_TAB:
      if (!(shift & ssAlt)) MoveForward(!shifted);
      break;
    case VK_RETURN:
      if (HasOption(ioEnterThrough)) MoveForward(true);
      break;
    case VK_ESCAPE:
      InvalidateEditor();
      if (FInplaceEdit) FInplaceEdit->Deselect();
      break;
    case VK_PRIOR: SetFocusedNumber(shift & ssCtrl ? 0 : FocusedNumber() - FRowCount); break;
    case VK_NEXT: SetFocusedNumber(shift & ssCtrl ? GetVisibleCount() - 1 : FocusedNumber() + FRowCount); break;
    case VK_UP: SetFocusedNumber(FocusedNumber() - 1); break;
    case VK_DOWN: SetFocusedNumber(FocusedNumber() + 1); break;
    default: break;
  }
  ExpandCollapseKeys(key, shift);
  if (moveKey && editing) InvalidateEditor();
}

void TCustomdxInspector::MoveForward(bool forward) {
  if (TabInComplexRow(forward)) return;
  const bool tabThrough = HasOption(ioTabThrough);
  const bool atEnd = forward ? FFocused == LastNode() : FFocused == GetNode(0);
  if (!(tabThrough && atEnd)) {
    SetFocusedNumber(FocusedNumber() + (forward ? 1 : -1));
    return;
  }
  if (TabCyclesInsideInspector) {
    SetFocusedNumber(forward ? 0 : GetVisibleCount() - 1);
    return;
  }
  TWinControl* form = GetParentForm(this);
  if (!form) form = dynamic_cast<TWinControl*>(TopParent());
  if (form && form != this) form->SelectNext(this, forward, true);
}

void TCustomdxInspector::ExpandCollapseKeys(WORD key, TShiftState shift) {
  if (key == 0 || !FFocused) return;
  TdxInspectorNode* node = FFocused;
  node->MakeVisible();
  const bool category = IsCategoryNode(node);
  if (category && key == VK_LEFT) node->SetExpanded(false);
  if (category && key == VK_RIGHT) node->SetExpanded(true);
  if (!category && !(shift & ssCtrl)) return;
  if (key == VK_ADD) node->SetExpanded(true);
  if (key == VK_SUBTRACT) node->SetExpanded(false);
  if (key == VK_MULTIPLY && node->HasChildren()) node->Expand(true);
}

void TCustomdxInspector::InplaceEditKeyDown(WORD& key, TShiftState shift) {
  TCustomdxContainer::InplaceEditKeyDown(key, shift);
  ExpandCollapseKeys(key, shift);
}

// ---- row hints

void TCustomdxInspector::SetShowRowHint(bool value) {
  if (value == FShowRowHint) return;
  FShowRowHint = value;
  if (value) SetShowHint(false);
}

void TCustomdxInspector::CMShowHintChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (ShowHint()) FShowRowHint = false;
}

void TCustomdxInspector::ClearHintMemory() {
  FPrevHintNode = nullptr;
  FPrevHintTest = ihtOutside;
  FPrevHintComplexRowIndex = -1;
}

void TCustomdxInspector::HideRowHint() {
  if (HandleAllocated()) {
    if (FShowHintTimerId) KillTimer(Handle(), FShowHintTimerId);
    if (FHideHintTimerId) KillTimer(Handle(), FHideHintTimerId);
  }
  FShowHintTimerId = FHideHintTimerId = 0;
  if (FHintWindow) FHintWindow->HideHint();
}

void TCustomdxInspector::ShowRowHintAt(POINT p, bool mayDelay) {
  HideRowHint();
  const TdxInspectorHitInfo hit = GetHitInfo(p);
  if (!hit.Node || (hit.hitType != ihtDisplayLabel && hit.hitType != ihtLabel)) return;
  const TdxInspectorRowParts parts = CalcRowParts(hit.Node, hit.NodeRect);
  const bool isValue = hit.hitType == ihtLabel;
  const RECT cell = isValue ? parts.Value : parts.Caption;
  POINT origin{isValue ? cell.left - 1 : cell.left - 2, hit.NodeRect.top + FRowFrameSize - 2};
  bool delay = false;
  WideString text;
  if (!GetHintText(hit.Node, hit.ComplexRowIndex, delay, origin, text, cell, isValue, hit.ComplexRowRect)) text.clear();
  if (!isValue && delay && mayDelay) {
    FShowHintTimerId = SetTimer(Handle(), kInspectorShowHintTimer, 1000, nullptr);
    return;
  }
  if (text.empty()) return;
  if (!FHintWindow) FHintWindow = std::make_unique<TdxContainerHintWindow>(nullptr);
  FHintWindow->ActivateHintEx(ClientToScreen(origin), 0, text, Font(), false);
  FHideHintTimerId = SetTimer(Handle(), kInspectorHideHintTimer, 5000, nullptr);
}

// ---- hit test

TdxInspectorHitInfo TCustomdxInspector::GetHitInfo(POINT p) {
  TdxInspectorHitInfo hit;
  TdxInspectorContentDrawInfo drawInfo;
  CalcContentDrawInfo(drawInfo);
  if (!InspPtIn(drawInfo.CRect, p)) return hit;
  hit.hitType = ihtNowhere;
  for (const TdxInspectorBandInfo& band : drawInfo.BandsInfo) {
    if (!InspPtIn(band.BandRect, p)) continue;
    hit.BandIndex = band.BandIndex;
    if (InspPtIn(band.BandSeparatorRect, p) ||
        (IsBanded() && drawInfo.BandCount == 1 && p.x >= drawInfo.CRect.right - FBandSeparatorWidth)) {
      hit.hitType = ihtBandSeparator;
      break;
    }
    const RECT& content = band.BandContentRect;
    int top = content.top;
    for (const TdxInspectorRowInfo& row : band.RowsInfo) {
      hit.NodeRect = RECT{content.left, top, content.right, top + row.RowHeight};
      if (p.y >= top && p.y < top + row.RowHeight) {
        hit.Node = row.Node;
        hit.Row = GetVisibleIndex(row.Node);
        break;
      }
      top += row.RowHeight;
    }
    TdxInspectorNode* node = hit.Node;
    const RECT edge{content.left + FDividerPos - 2, content.top, content.left + FDividerPos + 2, content.bottom};
    const RECT rowEdge{hit.NodeRect.left, hit.NodeRect.bottom - 2, hit.NodeRect.right, hit.NodeRect.bottom};
    if (InspPtIn(edge, p) && !(node && IsCategoryNode(node))) {
      hit.hitType = ihtColumnEdge;
    } else if (HasOption(ioRowSizing) && node && InspPtIn(rowEdge, p)) {
      hit.hitType = ihtRowEdge;
    } else if (node) {
      const RECT& r = hit.NodeRect;
      const TdxInspectorRowParts parts = CalcRowParts(node, r);
      RECT indent = parts.Indent;
      const bool categorized = FPaintStyle == ipsCategorized;
      if (categorized && IsTopCategory(node)) indent.right += FIndent;
      if (InspPtIn(indent, p)) {
        hit.hitType = ihtIndent;
        if (parts.ButtonKind != 0 && InspPtIn(parts.Button, p)) hit.hitType = ihtButton;
        if (InspPtIn(parts.Image, p)) hit.hitType = ihtImage;
      } else if (categorized && IsCategoryNode(node) && InspPtIn(parts.Button, p)) {
        hit.hitType = ihtButton;
      } else {
        const bool isValue = p.x > r.left + FDividerPos && !IsCategoryNode(node);
        hit.hitType = isValue ? ihtLabel : ihtDisplayLabel;
        GetComplexRowHitInfo(node, p, isValue ? parts.Value : parts.Caption, isValue, hit.ComplexRowIndex,
                             hit.ComplexRowRect);
        if (!InspRectEmpty(hit.ComplexRowRect) && hit.ComplexRowIndex == -1) hit.hitType = ihtComplexRowSeparator;
      }
    }
    break;
  }
  return hit;
}

bool TCustomdxInspector::DesignHitTest(POINT p) {
  if (FState != isNormal && FState != isNodeDown && FState != isNodeDragging) return true;
  switch (GetHitInfo(p).hitType) {
    case ihtColumnEdge: case ihtBandSeparator: case ihtRowEdge: case ihtButton: return true;
    default: return false;
  }
}

// ---- mouse

int TCustomdxInspector::MinRowHeightOf(TdxInspectorNode* node) {
  return FPaintStyle == ipsCategorized && IsCategoryNode(node) ? FMinRowHeight - 2 : FMinRowHeight;
}

void TCustomdxInspector::SetHotTrackNode(TdxInspectorNode* node) {
  if (FPaintStyle != ipsCategorized || FState != isNormal || (ComponentState() & csDesigning)) return;
  if (node == FHotTrackNode) return;
  TdxInspectorNode* old = FHotTrackNode;
  FHotTrackNode = node;
  InvalidateNode(node, false);
  InvalidateNode(old, false);
}

void TCustomdxInspector::StartScrollTimer() {
  if (!HandleAllocated()) return;
  SetTimer(Handle(), kInspectorScrollTimer, 60, nullptr);
  FScrollTimerRunning = true;
}

void TCustomdxInspector::StopScrollTimer() {
  if (FScrollTimerRunning && HandleAllocated()) KillTimer(Handle(), kInspectorScrollTimer);
  FScrollTimerRunning = false;
}

void TCustomdxInspector::DrawSizingLine() {
  if (!HandleAllocated() || FState == isBandSizing || (FState == isColumnSizing && IsDynamicColumnSizing())) return;
  if (FState != isColumnSizing && FState != isRowSizing) return;
  HDC dc = GetDC(Handle());
  HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  const int oldRop = SetROP2(dc, R2_NOTXORPEN);
  if (FState == isRowSizing) {
    const RECT r = GetNodeRect(FSizingNode);
    MoveToEx(dc, r.left, FSizingPos, nullptr);
    LineTo(dc, r.right, FSizingPos);
  } else {
    MoveToEx(dc, FSizingPos, 0, nullptr);
    LineTo(dc, FSizingPos, ClientHeight());
  }
  SetROP2(dc, oldRop);
  SelectObject(dc, oldPen);
  ReleaseDC(Handle(), dc);
}

void TCustomdxInspector::CancelMode() {
  if (FState == isColumnSizing || FState == isBandSizing || FState == isRowSizing) {
    DrawSizingLine();
    if (HCURSOR cursor = CursorHandle(Cursor())) ::SetCursor(cursor);
    const bool live = FState == isBandSizing || (FState == isColumnSizing && HasOption(ioDynamicColumnSizing));
    if (live) {
      if (FState == isBandSizing)
        SetBandWidth(FSaveSizingPos);
      else
        SetDividerPos(FSaveSizingPos);
      Invalidate();
      Update();
    }
    FState = isNormal;
  }
  HideRowHint();
}

void TCustomdxInspector::EndPress(bool toggle) {
  FState = isNormal;
  TdxInspectorNode* node = FDragNode;
  FDragNode = nullptr;
  InvalidateNode(node, false);
  if (FPaintStyle == ipsCategorized && toggle && node && IsCategoryNode(node)) node->SetExpanded(!node->Expanded());
}

void TCustomdxInspector::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (Focused() || (FInplaceEdit && FInplaceEdit->IsVisible())) PostEditor(true);
  if (!(ComponentState() & csDesigning)) {
    if (CanFocus() || !GetParentForm(this)) SetFocus();
    const HWND focus = GetFocus();
    if (!HandleAllocated() || (focus != Handle() && !IsChild(Handle(), focus))) {
      SetMouseCapture(false);
      return;
    }
  }
  FHitInfo = GetHitInfo(POINT{x, y});
  FComplexRowIndex = FHitInfo.ComplexRowIndex;
  if (button == TMouseButton::mbRight && FState != isNormal) CancelMode();
  const TdxInspectorHitTest hit = FHitInfo.hitType;
  TdxInspectorNode* node = FHitInfo.Node;
  const bool left = button == TMouseButton::mbLeft;
  const bool dbl = (shift & ssDouble) != 0;
  if (left && FState == isNormal && GetCapture() == Handle()) {
    if ((hit == ihtColumnEdge && HasOption(ioColumnSizing)) || (hit == ihtBandSeparator && HasOption(ioBandSizing))) {
      FState = hit == ihtColumnEdge ? isColumnSizing : isBandSizing;
      FSaveSizingPos = hit == ihtColumnEdge ? FDividerPos : FBandWidth;
      FSizingBandIndex = FHitInfo.BandIndex;
      FSizingPos = x;
      Update();
      DrawSizingLine();
      return;
    }
    if (hit == ihtRowEdge && node) {
      FState = isRowSizing;
      FSaveSizingPos = GetNodeRowHeight(node);
      FSizingNode = node;
      FSizingPos = y;
      Update();
      DrawSizingLine();
      return;
    }
    if ((hit >= ihtIndent && hit <= ihtLabel) || hit == ihtComplexRowSeparator) {
      FState = isNodeDown;
      FDragNode = node;
      if (FPaintStyle == ipsCategorized) InvalidateNode(node, false);
      FPointDragging = POINT{x, y};
      SetFocusedNode(node);
      if (hit == ihtButton || ((hit == ihtImage || hit == ihtDisplayLabel) && dbl)) {
        node->SetExpanded(!node->Expanded());
        if (dbl) DblClick();
        FState = isNormal;
        return;
      }
      try {
        ShowEditor();
      } catch (...) {
        FState = isNormal;
        throw;
      }
      if (x > FDividerPos) {
        FInplaceComplexRowIndexPushed = FComplexRowIndex;
        FInplaceEditPushed = FInplaceEdit;
        FInplaceNodePushed = FInplaceNode;
      }
      Click();
      StartScrollTimer();
    }
  }
  if (left && hit == ihtNowhere) {
    if (dbl) DblClick();
    TdxInspectorNode* target = nullptr;
    if (!IsBanded()) {
      target = LastNode();
    } else if (FHitInfo.BandIndex >= 0) {
      TdxInspectorContentDrawInfo drawInfo;
      CalcContentDrawInfo(drawInfo);
      for (const TdxInspectorBandInfo& band : drawInfo.BandsInfo)
        if (band.BandIndex == FHitInfo.BandIndex && !band.RowsInfo.empty()) target = band.RowsInfo.back().Node;
    }
    if (target) {
      SetFocusedNode(target);
      target->MakeVisible();
      ShowEditor();
    }
  }
  TCustomdxContainer::MouseDown(button, shift, x, y);
}

void TCustomdxInspector::MouseMove(TShiftState shift, int x, int y) {
  FLastMousePos = POINT{x, y};
  FHitInfo = GetHitInfo(POINT{x, y});
  const int offset = (FSizingBandIndex - LeftBandIndex()) * FBandWidth;
  switch (FState) {
    case isColumnSizing: {
      const int relative = ClampDivider(RelativeSizingX(x));
      const int position = relative + offset;
      if (position != FSizingPos) {
        DrawSizingLine();
        FSizingPos = position;
        DrawSizingLine();
        if (IsDynamicColumnSizing()) SetDividerPos(relative);
      }
      break;
    }
    case isBandSizing: {
      const int position = std::min(std::max(RelativeSizingX(x), FMinBandWidth) + offset, ClientWidth());
      if (position != FSizingPos) {
        FSizingPos = position;
        SetBandWidth(position / (FSizingBandIndex - LeftBandIndex() + 1));
      }
      break;
    }
    case isRowSizing: {
      const RECT row = GetNodeRect(FSizingNode);
      const int position = std::min(std::max(y, int(row.top) + MinRowHeightOf(FSizingNode) - 1), ClientHeight() - 1);
      if (position != FSizingPos) {
        DrawSizingLine();
        FSizingPos = position;
        DrawSizingLine();
      }
      break;
    }
    case isNodeDown:
      HideRowHint();
      if (!(shift & ssLeft)) {
        EndPress(true);
      } else if (IsDraggingAllowed()) {
        if (std::abs(x - FPointDragging.x) > 5 || std::abs(y - FPointDragging.y) > 5) {
          TdxInspectorNode* node = FDragNode ? FDragNode : FHitInfo.Node;
          if (node && !node->Focused()) SetFocusedNode(node);
          EndPress(false);
          FDragNode = node;
          BeginDrag(false);
        }
      } else {
        if (FHitInfo.Node) SetFocusedNode(FHitInfo.Node);
        if (FFocused != FInplaceNodePushed) {
          FInplaceNodePushed = nullptr;
          FInplaceEditPushed = nullptr;
          FInplaceComplexRowIndexPushed = -1;
        }
      }
      break;
    default: break;
  }
  if (FShowRowHint) {
    const TdxInspectorHitTest hit = FHitInfo.hitType;
    if (FState != isNormal || (hit != ihtDisplayLabel && hit != ihtLabel)) {
      ClearHintMemory();
    } else if (FHitInfo.Node != FPrevHintNode || hit != FPrevHintTest ||
               FHitInfo.ComplexRowIndex != FPrevHintComplexRowIndex) {
      ShowRowHintAt(POINT{x, y}, true);
      FPrevHintNode = FHitInfo.Node;
      FPrevHintTest = hit;
      FPrevHintComplexRowIndex = FHitInfo.ComplexRowIndex;
    }
  }
  SetHotTrackNode(FHitInfo.Node);
  TCustomdxContainer::MouseMove(shift, x, y);
}

void TCustomdxInspector::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  FHitInfo = GetHitInfo(POINT{x, y});
  switch (FState) {
    case isNodeDown: EndPress(FHitInfo.Node == FDragNode); break;
    case isColumnSizing:
      DrawSizingLine();
      SetDividerPos(RelativeSizingX(FSizingPos));
      FState = isNormal;
      break;
    case isBandSizing:
      SetBandWidth(FSizingPos / (FSizingBandIndex - LeftBandIndex() + 1));
      FState = isNormal;
      break;
    case isRowSizing: {
      DrawSizingLine();
      TdxInspectorNode* node = FSizingNode;
      const RECT row = GetNodeRect(node);
      const int height = std::max(std::min(FSizingPos, ClientHeight() - 1) - int(row.top) + 1, MinRowHeightOf(node));
      FState = isNormal;
      SetNodeRowHeight(node, height);
      break;
    }
    default: break;
  }
  if (FInplaceEdit && FInplaceNode && FInplaceEdit == FInplaceEditPushed && FInplaceNode == FInplaceNodePushed &&
      FInplaceComplexRowIndex == FInplaceComplexRowIndexPushed && FHitInfo.hitType == ihtLabel) {
    FInplaceEditPushed = nullptr;
    FInplaceNodePushed = nullptr;
    FInplaceComplexRowIndexPushed = -1;
    POINT p{x, y};
    MapWindowPoints(Handle(), FInplaceEdit->Handle(), &p, 1);
    FInplaceEdit->MouseClick(p.x, p.y);
    FInplaceEdit->Invalidate();
  }
  TCustomdxContainer::MouseUp(button, shift, x, y);
}

void TCustomdxInspector::AutoScroll() {
  if (FState != isNodeDown && FState != isNodeDragging) return;
  POINT p{};
  GetCursorPos(&p);
  p = ScreenToClient(p);
  p.x = std::clamp(int(p.x), 0, std::max(0, ClientWidth() - 1));
  TdxInspectorContentDrawInfo drawInfo;
  CalcContentDrawInfo(drawInfo);
  RECT rows{};
  for (const TdxInspectorBandInfo& band : drawInfo.BandsInfo) {
    if (p.x < band.BandRect.left || p.x >= band.BandRect.right) continue;
    int bottom = band.BandRect.top;
    for (const TdxInspectorRowInfo& row : band.RowsInfo) bottom += row.RowHeight;
    rows = RECT{band.BandRect.left, band.BandRect.top, band.BandRect.right, bottom};
    break;
  }
  if (InspRectEmpty(rows)) return;
  if (p.y < rows.top) {
    if (!IsBanded() && FFocused != FTopVisibleNode) SetFocusedNode(FTopVisibleNode);
    SetFocusedNumber(FocusedNumber() - 1);
  } else if (p.y >= rows.bottom) {
    if (!IsBanded()) {
      TdxInspectorNode* last = GetNodeByVisibleIndex(TopIndex() + FRowCount - 1);
      if (last && FFocused != last) SetFocusedNode(last);
    }
    SetFocusedNumber(FocusedNumber() + 1);
  }
}

void TCustomdxInspector::WMTimer(TMessage& message) {
  message.Result = 0;
  switch (message.WParam) {
    case kInspectorScrollTimer: AutoScroll(); break;
    case kInspectorShowHintTimer:
      KillTimer(Handle(), kInspectorShowHintTimer);
      FShowHintTimerId = 0;
      ShowRowHintAt(FLastMousePos, false);
      break;
    case kInspectorHideHintTimer: HideRowHint(); break;
    default: TVK_INHERITED(message); break;
  }
}

void TCustomdxInspector::WMCaptureChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (FState == isNodeDown) StopScrollTimer();
}

void TCustomdxInspector::WMCancelMode(TMessage& message) {
  CancelMode();
  TVK_INHERITED(message);
}

void TCustomdxInspector::CMCancelMode(TMessage& message) {
  CancelMode();
  if (FInplaceEdit && FInplaceEdit->HandleAllocated()) FInplaceEdit->Perform(message.Msg, message.WParam, message.LParam);
  TVK_INHERITED(message);
}

void TCustomdxInspector::WMNCHitTest(TMessage& message) {
  TVK_INHERITED(message);
  FHitTest = POINT{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
}

void TCustomdxInspector::WMSetCursor(TMessage& message) {
  if (LOWORD(message.LParam) == HTCLIENT) {
    TdxInspectorState state = FState;
    if (state == isNormal) {
      switch (GetHitInfo(ScreenToClient(FHitTest)).hitType) {
        case ihtColumnEdge: if (HasOption(ioColumnSizing)) state = isColumnSizing; break;
        case ihtBandSeparator: if (HasOption(ioBandSizing)) state = isBandSizing; break;
        case ihtRowEdge: if (HasOption(ioRowSizing)) state = isRowSizing; break;
        default: break;
      }
    }
    if (state == isColumnSizing || state == isBandSizing || state == isRowSizing) {
      ::SetCursor(CursorHandle(state == isRowSizing ? crVSplit : crHSplit));
      message.Result = 1;
      return;
    }
  }
  TVK_INHERITED(message);
}

void TCustomdxInspector::CMMouseEnter(TMessage& message) {
  TVK_INHERITED(message);
  POINT p{};
  GetCursorPos(&p);
  SetHotTrackNode(GetHitInfo(ScreenToClient(p)).Node);
}

void TCustomdxInspector::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  SetHotTrackNode(nullptr);
  HideRowHint();
  ClearHintMemory();
}

void TCustomdxInspector::WMDestroy(TMessage& message) {
  HideRowHint();
  StopScrollTimer();
  TVK_INHERITED(message);
}

void TCustomdxInspector::WMLButtonDown(TMessage& message) {
  TVK_INHERITED(message);
  if (FInplaceEdit) FInplaceEdit->SetClickTime(int(GetMessageTime()));
}

void TCustomdxInspector::WndProc(TMessage& message) {
  const bool designing = (ComponentState() & csDesigning) != 0;
  if (message.Msg == WM_KEYDOWN && message.WParam == VK_ESCAPE && FState == isNodeDragging && IsDraggingAllowed())
    EndDrag(false);
  if (!designing && (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) && !Dragging() &&
      IsDraggingAllowed()) {
    const POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    if (!ControlAtPos(p, false)) {
      // The press handler decides whether a drag begins, not the library.
      SetControlState(ControlState() | csLButtonDown);
      Dispatch(message);
      return;
    }
  }
  TCustomdxContainer::WndProc(message);
}

// ---- row dragging

TBitmap* TCustomdxInspector::DragBitmap() { return gInspectorDragBitmap.get(); }

void TCustomdxInspector::BuildDragImage() {
  TBitmap* bitmap = DragBitmap();
  if (!bitmap || !FDragNode) return;
  bitmap->SetSize(FDividerPos + 32, FTextHeight);
  TCanvas& canvas = bitmap->Canvas();
  HDC dc = canvas.Handle();
  const RECT all{0, 0, bitmap->Width(), bitmap->Height()};
  FillDotted(dc, all, clBtnShadow, Color());
  WideString caption;
  GetNodeCaption(FDragNode, caption);
  canvas.Font().Assign(Font());
  canvas.Font().SetStyle(TFontStyles(fsBold));
  RECT text = all;
  InflateRect(&text, -1, -1);
  text.left += 30;
  const int mode = SetBkMode(canvas.StateHandle(), TRANSPARENT);
  canvas.DrawText(text, caption, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS);
  SetBkMode(canvas.StateHandle(), mode);
  InvertRect(canvas.StateHandle(), &all);
  if (!FDragImageNode) {
    FDragImageNode = std::make_unique<TDragImageList>(nullptr);
    FDragImageNode->SetSize(bitmap->Width(), bitmap->Height());
  }
  FDragImageNode->Clear();
  FDragImageNode->AddMasked(*bitmap, canvas.Pixel(1, 0));
}

void TCustomdxInspector::DragOverStep(POINT p) {
  FHitInfo = GetHitInfo(p);
  const TdxInspectorHitTest hit = FHitInfo.hitType;
  if (FHitInfo.Node && ((hit >= ihtColumnEdge && hit <= ihtLabel) || hit == ihtComplexRowSeparator))
    SetFocusedNode(FHitInfo.Node);
  else if (hit == ihtOutside)
    StartScrollTimer();
}

void TCustomdxInspector::HandleDragStart(TDragObject*& dragObject) {
  if (IsCustomizing())
    FPrevDragCursor = DragCursor();
  else
    TCustomdxContainer::HandleDragStart(dragObject);
  BuildDragImage();
  if (FCustomizeForm && FCustomizeForm->HandleAllocated())
    SendMessageW(FCustomizeForm->Handle(), WM_DXINSPECTOR_SELECTPAGE, FDragNode && IsCategoryNode(FDragNode) ? 1 : 0, 0);
  FState = isNodeDragging;
  HideEditor();
  if (CanFocus()) SetFocus();
  POINT p{};
  GetCursorPos(&p);
  DragOverStep(ScreenToClient(p));
  if (IsCustomizing()) {
    FDragObject = std::make_unique<TdxInspectorDragControlObject>(this);
    dragObject = FDragObject.get();
  }
}

void TCustomdxInspector::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  if (!IsCustomizing()) {
    TCustomdxContainer::DragOver(source, x, y, state, accept);
    return;
  }
  accept = true;
  switch (GetHitInfo(POINT{x, y}).hitType) {
    case ihtNowhere: SetDragCursor(crdxInspectorAdd); break;
    case ihtIndent: case ihtButton: case ihtImage: SetDragCursor(crdxInspectorInsert); break;
    case ihtDisplayLabel: case ihtLabel: case ihtComplexRowSeparator: SetDragCursor(crdxInspectorAddChild); break;
    default: accept = false; break;
  }
  if (FState == isNodeDragging) DragOverStep(POINT{x, y});
}

void TCustomdxInspector::DropNode(POINT p) {
  const TdxInspectorHitInfo hit = GetHitInfo(p);
  TdxInspectorNode* destination = nullptr;
  TdxInspectorNodeAttachMode mode = inaAdd;
  switch (hit.hitType) {
    case ihtNowhere: destination = GetNode(0); mode = inaAdd; break;
    case ihtIndent: case ihtButton: case ihtImage: destination = hit.Node; mode = inaInsert; break;
    case ihtColumnEdge: case ihtDisplayLabel: case ihtLabel: case ihtComplexRowSeparator:
      destination = hit.Node;
      mode = inaAddChild;
      break;
    default:
      if (FDragNode && PtInCustomizeForm(ClientToScreen(p)))
        if (auto* rowNode = dynamic_cast<TdxInspectorRowNode*>(FDragNode)) HideDroppedRow(rowNode);
      return;
  }
  TdxInspectorNode* node = FDragNode;
  DoDragNode(node, destination, mode);
  if (node && destination) node->MoveTo(destination, mode);
}

void TCustomdxInspector::DragDrop(TObject* source, int x, int y) {
  if (!IsCustomizing()) {
    TCustomdxContainer::DragDrop(source, x, y);
    return;
  }
  DropNode(POINT{x, y});
}

void TCustomdxInspector::DoEndDrag(TObject* target, int x, int y) {
  if (IsCustomizing())
    SetDragCursor(FPrevDragCursor);
  else
    TCustomdxContainer::DoEndDrag(target, x, y);
  FDragNode = nullptr;
  FState = isNormal;
  StopScrollTimer();
  UpdateEditor(true, false);
  FDragImageNode.reset();
  FDragObject.reset();
}

// ---- registry

WideString TCustomdxInspector::NormalizeRegistryPath(const WideString& path) {
  WideString result = path;
  while (!result.empty() && result.back() == L'\\') result.pop_back();
  if (!result.empty() && result.front() != L'\\') result.insert(result.begin(), L'\\');
  return result;
}

void TCustomdxInspector::LoadFromRegIni(TdxRegIniWrapper& wrapper, const WideString& section) {
  SetBandWidth(wrapper.ReadInteger(section, L"BandWidth", FBandWidth));
  SetDividerPos(wrapper.ReadInteger(section, L"DividerPos", FDividerPos));
}

void TCustomdxInspector::SaveToRegIni(TdxRegIniWrapper& wrapper, const WideString& section) {
  wrapper.WriteInteger(section, L"BandWidth", FBandWidth);
  wrapper.WriteInteger(section, L"DividerPos", FDividerPos);
}

void TCustomdxInspector::LoadFromRegistry(const WideString& regPath) {
  const WideString path = NormalizeRegistryPath(regPath);
  {
    TRegistry probe;
    if (!probe.OpenKey(path, false)) return;
  }
  TRegIniFile store(L"");
  TdxRegIniWrapper wrapper;
  wrapper.SetRegIniObject(&store);
  TInspectorUpdateGuard lock(*this);
  LoadFromRegIni(wrapper, path);
}

void TCustomdxInspector::SaveToRegistry(const WideString& regPath) {
  const WideString path = NormalizeRegistryPath(regPath);
  TRegIniFile store(L"");
  TdxRegIniWrapper wrapper;
  wrapper.SetRegIniObject(&store);
  wrapper.Erase(path);
  SaveToRegIni(wrapper, path);
}

void TCustomdxInspector::GetNodeCaption(TdxInspectorNode* node, WideString& caption) {
  caption.clear();
  if (!node) return;
  WideString value;
  GetNodeTexts(node, caption, value);
}

// ---- messages

TVK_MESSAGE_MAP(TCustomdxInspector, {WM_ERASEBKGND, &TCustomdxInspector::WMEraseBkgnd},
                {WM_SIZE, &TCustomdxInspector::WMSize}, {WM_VSCROLL, &TCustomdxInspector::WMScroll},
                {WM_HSCROLL, &TCustomdxInspector::WMScroll}, {WM_SETFOCUS, &TCustomdxInspector::WMSetFocus},
                {WM_KILLFOCUS, &TCustomdxInspector::WMKillFocus}, {WM_GETDLGCODE, &TCustomdxInspector::WMGetDlgCode},
                {WM_TIMER, &TCustomdxInspector::WMTimer}, {WM_CAPTURECHANGED, &TCustomdxInspector::WMCaptureChanged},
                {WM_CANCELMODE, &TCustomdxInspector::WMCancelMode}, {WM_NCHITTEST, &TCustomdxInspector::WMNCHitTest},
                {WM_SETCURSOR, &TCustomdxInspector::WMSetCursor}, {WM_NCCALCSIZE, &TCustomdxInspector::WMNCCalcSize},
                {WM_NCPAINT, &TCustomdxInspector::WMNCPaint}, {WM_DESTROY, &TCustomdxInspector::WMDestroy},
                {WM_LBUTTONDOWN, &TCustomdxInspector::WMLButtonDown}, {CM_CANCELMODE, &TCustomdxInspector::CMCancelMode},
                {CM_EXIT, &TCustomdxInspector::CMExit}, {CM_MOUSEENTER, &TCustomdxInspector::CMMouseEnter},
                {CM_MOUSELEAVE, &TCustomdxInspector::CMMouseLeave}, {CM_COLORCHANGED, &TCustomdxInspector::CMColorChanged},
                {CM_FONTCHANGED, &TCustomdxInspector::CMFontChanged},
                {CM_PARENTFONTCHANGED, &TCustomdxInspector::CMFontChanged},
                {CM_SHOWHINTCHANGED, &TCustomdxInspector::CMShowHintChanged},
                {CM_CTL3DCHANGED, &TCustomdxInspector::CMCtl3DChanged},
                {kFreeEditorsMessage, &TCustomdxInspector::WMFreeEditors})

// ---- the customizing window

void TCustomdxInspector::ShowCustomizeForm() {
  HideCustomizeForm();
  auto* control = dynamic_cast<TCustomdxInspectorControl*>(this);
  if (!control) return;
  auto* form = CreateComponent<TdxInspectorCustomizeForm>(nullptr);
  FCustomizeForm = form;
  form->SetInspector(control);
  form->Show();
}

void TCustomdxInspector::HideCustomizeForm() {
  if (TForm* form = FCustomizeForm) {
    form->Close();
    Application().ProcessMessages();
  }
}

void TCustomdxInspector::SetCustomization(bool value) {
  if (value == Customization()) return;
  if (value)
    ShowCustomizeForm();
  else
    HideCustomizeForm();
}

bool TCustomdxInspector::PtInCustomizeForm(POINT p) {
  if (!FCustomizeForm || !FCustomizeForm->HandleAllocated()) return false;
  RECT r{};
  GetWindowRect(FCustomizeForm->Handle(), &r);
  return PtInRect(&r, p) != FALSE;
}

void TCustomdxInspector::DoShowCustomizeForm() {
  if (FCustomizeForm) {
    TForm& form = *FCustomizeForm;
    if (FCustomizeFormSize.x != -10000 || FCustomizeFormSize.y != -10000)
      form.SetBounds(form.Left(), form.Top(), FCustomizeFormSize.x, FCustomizeFormSize.y);
    if (FCustomizeFormPos.x != -10000 || FCustomizeFormPos.y != -10000)
      form.SetBounds(FCustomizeFormPos.x, FCustomizeFormPos.y, form.Width(), form.Height());
  }
  if (OnShowCustomizeForm) OnShowCustomizeForm(this);
}

void TCustomdxInspector::DoHideCustomizeForm() {
  if (FCustomizeForm) {
    FCustomizeFormPos = POINT{FCustomizeForm->Left(), FCustomizeForm->Top()};
    FCustomizeFormSize = POINT{FCustomizeForm->Width(), FCustomizeForm->Height()};
  }
  if (OnHideCustomizeForm) OnHideCustomizeForm(this);
}

void TCustomdxInspector::RefreshCustomizeForm() {
  if (IsDestroying() || !FCustomizeForm || !FCustomizeForm->HandleAllocated()) return;
  // At most one rebuild waits.
  MSG waiting;
  const HWND wnd = FCustomizeForm->Handle();
  if (PeekMessageW(&waiting, wnd, WM_DXINSPECTOR_REBUILDLISTS, WM_DXINSPECTOR_REBUILDLISTS, PM_NOREMOVE)) return;
  PostMessageW(wnd, WM_DXINSPECTOR_REBUILDLISTS, 0, 0);
}

// ---- rows

namespace {

// Raises the stored update lock of a row's inspector on every path (none without one).
struct TRowUpdateGuard {
  TCustomdxInspector* Inspector;
  explicit TRowUpdateGuard(TCustomdxInspector* inspector) : Inspector(inspector) {
    if (Inspector) Inspector->BeginUpdate();
  }
  ~TRowUpdateGuard() {
    if (Inspector) Inspector->EndUpdate();
  }
  TRowUpdateGuard(const TRowUpdateGuard&) = delete;
  TRowUpdateGuard& operator=(const TRowUpdateGuard&) = delete;
};

// Sets a flag for a scope and puts the old value back on every path.
struct TFlagScope {
  bool& Flag;
  bool Saved;
  explicit TFlagScope(bool& flag) : Flag(flag), Saved(flag) { Flag = true; }
  ~TFlagScope() { Flag = Saved; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;
};

// Puts a control's default row class back on every path.
struct TDefaultRowClassScope {
  TCustomdxInspectorControl& Control;
  TdxInspectorRowClass Saved;
  TDefaultRowClassScope(TCustomdxInspectorControl& control, TdxInspectorRowClass rowClass)
      : Control(control), Saved(control.DefaultRowClass()) {
    Control.SetDefaultRowClass(rowClass);
  }
  ~TDefaultRowClassScope() { Control.SetDefaultRowClass(Saved); }
  TDefaultRowClassScope(const TDefaultRowClassScope&) = delete;
  TDefaultRowClassScope& operator=(const TDefaultRowClassScope&) = delete;
};

TdxInspectorRowNode* RowNodeOf(TdxInspectorNode* node) { return dynamic_cast<TdxInspectorRowNode*>(node); }
TdxInspectorRow* RowOf(TdxInspectorNode* node) {
  TdxInspectorRowNode* rowNode = RowNodeOf(node);
  return rowNode ? rowNode->Row() : nullptr;
}

}  // namespace

TdxInspectorRowNode::~TdxInspectorRowNode() {
  if (TdxInspectorRow* row = FRow) {
    FRow = nullptr;
    row->FNode = nullptr;
    delete row;
  }
}

TdxInspectorNode* TdxInspectorRowNode::InsertChildEx(TdxInspectorNode* beforeNode, TComponentClass rowClass) {
  auto* control = dynamic_cast<TCustomdxInspectorControl*>(Owner());
  if (!control) return InsertChild(beforeNode);
  TDefaultRowClassScope scope(*control, rowClass);
  return InsertChild(beforeNode);
}

TdxInspectorRow::TdxInspectorRow(TComponent* owner) : TComponent(owner) {}

TdxInspectorRow::~TdxInspectorRow() {
  if (FInspector) FInspector->RemoveRow(this);
}

void TdxInspectorRow::AfterConstruction() {
  TComponent::AfterConstruction();
  if (!FViewData) FViewData = GetEditorClass()->CreateViewDataObject();
}

void TdxInspectorRow::Assign(const TPersistent& source) {
  const auto* row = dynamic_cast<const TdxInspectorRow*>(&source);
  if (!row) {
    TComponent::Assign(source);
    return;
  }
  TRowUpdateGuard lock(FInspector);
  RestoreDefaults();
  FAlignment = row->FAlignment;
  if (row->FAssignedValues & RowValueBit(rvCaption)) SetCaption(row->Caption());
  if (row->FAssignedValues & RowValueBit(rvReadOnly)) SetReadOnly(row->ReadOnly());
  if (row->FAssignedValues & RowValueBit(rvMaxLength)) SetMaxLength(row->MaxLength());
  if (row->FAssignedValues & RowValueBit(rvRowHeight)) SetRowHeight(row->RowHeight());
  FHint = row->FHint;
  FShowHint = row->FShowHint;
  SetIsCategory(row->FIsCategory);
  SetCharCase(row->FCharCase);
  SetVisible(row->FVisible);
}

TComponent* TdxInspectorRow::GetParentComponent() const { return FInspector; }

void TdxInspectorRow::SetParentComponent(TComponent* value) {
  if (value && !value->Is<TCustomdxInspectorControl>()) InvalidCastError();
  // A design has no separate reader: the row joins at once, as a reader joins it once the row's state is read.
  SetInspector(static_cast<TCustomdxInspectorControl*>(value));
}

void TdxInspectorRow::SetInspector(TCustomdxInspectorControl* value) {
  if (value == FInspector) return;
  if (FInspector) FInspector->RemoveRow(this);
  if (value) value->AddRow(this);
}

void TdxInspectorRow::ChangeName(const WideString& name) {
  TComponent::ChangeName(name);
  if (OnChangeName) OnChangeName(this);
  if (FInspector) FInspector->DoRowsChanged();
}

void TdxInspectorRow::Changed() {
  if (FInspector) FInspector->UpdateRow(nullptr);
}

bool TdxInspectorRow::IsInitializingEditor() const { return FInspector && FInspector->InitEdit(); }

void TdxInspectorRow::EditChange(TObject* sender) {
  (void)sender;
  if (!FInspector || IsInitializingEditor()) return;
  FInspector->DoRowChange(this);
  if (OnChange) OnChange(this);
}

void TdxInspectorRow::DoDrawCaption(TCanvas& canvas, const RECT& rect, WideString& text, bool& done) {
  if (!OnDrawCaption) return;
  TColor color = canvas.Brush().Color();
  WideString copy = text;
  OnDrawCaption(this, canvas, rect, copy, canvas.Font(), color, done);
  text = copy;
  canvas.Brush().SetColor(color);
}

void TdxInspectorRow::DoDrawValue(TCanvas& canvas, const RECT& rect, WideString& text, bool& done) {
  if (!OnDrawValue) return;
  TColor color = canvas.Brush().Color();
  WideString copy = text;
  OnDrawValue(this, canvas, rect, copy, canvas.Font(), color, done);
  text = copy;
  canvas.Brush().SetColor(color);
}

void TdxInspectorRow::DoEdited() {
  if (FInspector && FInspector->OnEdited) FInspector->OnEdited(FInspector, FNode, this);
}

void TdxInspectorRow::EditValidate(TObject* sender, WideString& errorText, bool& accept) {
  (void)sender;
  if (!FInspector || IsInitializingEditor()) return;
  FInspector->DoRowValidate(this, errorText, accept);
  if (OnValidate) OnValidate(this, errorText, accept);
}

WideString TdxInspectorRow::GetDisplayText() { AbstractError(); }
WideString TdxInspectorRow::GetEditText() { AbstractError(); }
void TdxInspectorRow::SetEditText(const WideString& value) {
  (void)value;
  AbstractError();
}

int TdxInspectorRow::CalcMinHeight(TCanvas& canvas) { return canvas.TextHeight(L"Wg") + 3; }

void TdxInspectorRow::ReadEditorValue(TdxInplaceEdit* editor, Variant& value) {
  if (editor->Is<TdxInplaceTextEdit>() || editor->Is<TCustomXPDXEdit>())
    SetEditText(editor->GetEditingText());
  else
    value = Variant(EditText());
}

TdxInplaceEditClassType TdxInspectorRow::GetEditorClass() const { return EditorClassOf<TdxInplaceTextEdit>(); }

void TdxInspectorRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  editor->SetReadOnly(ReadOnly());
  editor->OnChange = [this](TObject* sender) { EditChange(sender); };
  editor->OnValidate = [this](TObject* sender, WideString& errorText, bool& accept) {
    EditValidate(sender, errorText, accept);
  };
  if (auto* text = dynamic_cast<TdxInplaceTextEdit*>(editor)) {
    text->SetCharCase(FCharCase);
    text->SetMaxLength(MaxLength());
    text->SetPasswordChar(FPasswordChar);
    if (text->HandleAllocated()) text->ClearUndo();
  }
}

void TdxInspectorRow::WriteEditorValue(TdxInplaceEdit* editor, Variant& value) {
  editor->SetEditingText(EditText());
  value = Variant(editor->GetEditingText());
}

Variant TdxInspectorRow::GetInspectorValue(int key) {
  return FInspector ? FInspector->GetRowValue(key, this) : Variant(0);
}

bool TdxInspectorRow::IsTextCut(bool forValue, const RECT& rect, WideString& text) {
  if (!FInspector || !FInspector->HandleAllocated()) return false;
  if (forValue)
    text = FInspector->IsEditorShown() && FInspector->FocusedNode() && FInspector->FocusedNode() == FNode
               ? WideString()
               : EditText();
  else
    text = Caption();
  TCanvas& canvas = FInspector->Canvas();
  canvas.Font().Assign(FInspector->Font());
  if (FIsCategory) canvas.Font().SetStyle(TFontStyles(fsBold));
  return canvas.TextWidth(text) > rect.right - rect.left;
}

void TdxInspectorRow::PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) {
  viewData.Enabled = true;
  viewData.Focused = false;
  viewData.Selected = cell.Cell_Selected;
  viewData.BorderColor = clNone;
  const bool categorized = FInspector && FInspector->PaintStyle() == ipsCategorized;
  viewData.BorderStyle =
      categorized && (cell.Cell_Selected || (FNode && FNode->Focused())) ? xbsFlat : xbsNone;
  viewData.ButtonStyle = FInspector ? FInspector->GetEditButtonStyle() : bts3D;
  viewData.ButtonTransparence = false;
  viewData.Edges = kAllEdges;
  viewData.Shadow = false;
  viewData.Transparent = false;
  viewData.OffsetSize = RECT{1, 0, 0, 0};
  viewData.ViewBounds = cell.Cell_Rect;
  viewData.DrawAlignment = daSingleLine;
  viewData.Font = cell.Cell_Font;
  viewData.Brush = cell.Cell_Brush;
  viewData.BkColor = ColorToRGB(TColor(cell.Cell_BkColor));
  viewData.TextColor = ColorToRGB(TColor(cell.Cell_TextColor));
  viewData.Alignment = cell.Cell_Alignment;
  viewData.IsEditClass = false;
  viewData.Data = Variant(cell.Cell_Text);
  viewData.DataLength = cell.Cell_TextLength;
  viewData.CalcHeight = false;
  if (auto* text = dynamic_cast<TdxTextEditViewData*>(&viewData)) {
    text->CharCase = FCharCase;
    text->PasswordChar = FPasswordChar;
    text->EndEllipsis = cell.Cell_DrawEndEllipsis;
  }
}

int TdxInspectorRow::DefaultRowHeight() const {
  if (!FInspector) return 0;
  const bool categoryNode = FNode && FInspector->IsCategoryNode(FNode);
  return FInspector->PaintStyle() == ipsCategorized && categoryNode ? FInspector->RowHeight() - 2
                                                                      : FInspector->RowHeight();
}

void TdxInspectorRow::RestoreDefaults() {
  FAssignedValues = 0;
  FAlignment = TAlignment::taLeftJustify;
  FShowHint = false;
  FIsCategory = false;
  FCharCase = TEditCharCase::ecNormal;
  FRowHeight = 0;
}

void TdxInspectorRow::SetAlignment(TAlignment value) {
  if (value == FAlignment) return;
  FAlignment = value;
  Changed();
}

WideString TdxInspectorRow::Caption() const {
  return (FAssignedValues & RowValueBit(rvCaption)) ? FCaption : DefaultCaption();
}

void TdxInspectorRow::SetCaption(const WideString& value) {
  if ((FAssignedValues & RowValueBit(rvCaption)) && value == FCaption) return;
  FCaption = value;
  FAssignedValues |= RowValueBit(rvCaption);
  Changed();
}

void TdxInspectorRow::SetCharCase(TEditCharCase value) {
  if (value == FCharCase) return;
  FCharCase = value;
  Changed();
}

void TdxInspectorRow::SetImageIndex(int value) {
  if (value == FImageIndex) return;
  FImageIndex = value;
  Changed();
}

void TdxInspectorRow::SetIsCategory(bool value) {
  if (value == FIsCategory) return;
  FIsCategory = value;
  Changed();
}

int TdxInspectorRow::MaxLength() const {
  return (FAssignedValues & RowValueBit(rvMaxLength)) ? FMaxLength : DefaultMaxLength();
}

void TdxInspectorRow::SetMaxLength(int value) {
  if ((FAssignedValues & RowValueBit(rvMaxLength)) && value == FMaxLength) return;
  FMaxLength = value;
  FAssignedValues |= RowValueBit(rvMaxLength);
  Changed();
}

void TdxInspectorRow::SetPasswordChar(wchar_t value) {
  if (value == FPasswordChar) return;
  FPasswordChar = value;
  Changed();
}

bool TdxInspectorRow::ReadOnly() const {
  const bool own = (FAssignedValues & RowValueBit(rvReadOnly)) ? FReadonly : DefaultReadOnly();
  if (!own && FInspector) return FInspector->IsHostReadOnly();
  return own;
}

void TdxInspectorRow::SetReadOnly(bool value) {
  if ((FAssignedValues & RowValueBit(rvReadOnly)) && value == FReadonly) return;
  FReadonly = value;
  FAssignedValues |= RowValueBit(rvReadOnly);
  Changed();
}

int TdxInspectorRow::RowHeight() const {
  const int byDefault = DefaultRowHeight();
  return (FAssignedValues & RowValueBit(rvRowHeight)) && FRowHeight >= byDefault ? FRowHeight : byDefault;
}

void TdxInspectorRow::SetRowHeight(int value) {
  FRowHeight = value;
  const int byDefault = DefaultRowHeight();
  if (byDefault < value) {
    FAssignedValues |= RowValueBit(rvRowHeight);
  } else {
    FRowHeight = byDefault;
    FAssignedValues &= ~RowValueBit(rvRowHeight);
  }
  Changed();
}

void TdxInspectorRow::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  if (value) {
    if (FInspector) {
      FInspector->ReleaseComplexRowItems(this);
      if (!FInspector->FAddFlag && !FNode) FInspector->LinkNewNode(this);
    }
  } else if (FInspector && FNode) {
    TRowUpdateGuard lock(FInspector);
    for (int i = FNode->Count() - 1; i >= 0; --i)
      if (TdxInspectorRow* child = RowOf(FNode->Items(i))) child->SetVisible(false);
    TdxInspectorRowNode* node = FNode;
    FNode = nullptr;
    node->SetRow(nullptr);
    delete node;
  }
  if (FInspector) {
    FInspector->RefreshCustomizeForm();
    FInspector->DoRowsChanged();
  }
}

void TdxInspectorTextRow::SetEditText(const WideString& value) {
  if (value == FText) return;
  FText = value;
  Changed();
}

void TdxInspectorTextRow::SetText(const WideString& value) {
  FText = value;
  Changed();
}

TdxEditBorderStyle TdxInspectorEditStyle::DefaultBorderStyle() const {
  return FInspector && FInspector->PaintStyle() == ipsCategorized ? xbsFlat : xbsNone;
}

TdxEditButtonViewStyle TdxInspectorEditStyle::DefaultButtonStyle() const {
  return FInspector ? FInspector->GetEditButtonStyle() : bts3D;
}

TdxInspectorDesigner::TdxInspectorDesigner(TCustomdxInspectorControl* inspector) : FInspector(inspector) {
  if (FInspector) FInspector->FDesigner = this;
}

TdxInspectorDesigner::~TdxInspectorDesigner() {
  if (FInspector && FInspector->FDesigner == this) FInspector->FDesigner = nullptr;
}

// ---- the row-based inspector

std::unique_ptr<TdxEditStyle> TCustomdxInspector::CreateEditStyle(TdxInplaceEdit* edit) {
  return std::make_unique<TdxInspectorEditStyle>(edit, this);
}

TCustomdxInspectorControl::TCustomdxInspectorControl(TComponent* owner) : TCustomdxInspector(owner) {
  FEditValue = Null();
}

TCustomdxInspectorControl::~TCustomdxInspectorControl() {
  try {
    SaveStoredLayout();
  } catch (...) {
    Application().HandleException(this);
  }
  Destroying();
  FStreamData.reset();
  delete FDesigner;
  while (!FRows.empty()) {
    TdxInspectorRow* row = FRows.back();
    RemoveRow(row);
    delete row;
  }
  FEditFont.reset();
  DestroyNodes();
}

TdxInspectorRow* TCustomdxInspectorControl::Rows(int index) const {
  if (index < 0 || index >= TotalRowCount())
    throw EListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
  return FRows[std::size_t(index)];
}

int TCustomdxInspectorControl::VisibleTotalRowCount() const {
  return int(std::count_if(FRows.begin(), FRows.end(), [](const TdxInspectorRow* row) { return row->Visible(); }));
}

TdxInspectorRow* TCustomdxInspectorControl::CreateRow(TdxInspectorRowClass rowClass) {
  std::unique_ptr<TComponent> made(rowClass->Create(Owner()));
  auto* row = dynamic_cast<TdxInspectorRow*>(made.get());
  if (!row) InvalidCastError();
  for (int number = TotalRowCount() + 1;; ++number) {
    try {
      row->SetName(Name() + L"Row" + std::to_wstring(number));
      break;
    } catch (const EComponentError&) {
      // Taken: the next number.
    }
  }
  made.release();
  AddRow(row);
  return row;
}

TdxInspectorRow* TCustomdxInspectorControl::CreateDefaultRow(TdxInspectorRowClass rowClass) {
  std::unique_ptr<TComponent> made(rowClass->Create(this));
  auto* row = dynamic_cast<TdxInspectorRow*>(made.get());
  if (!row) InvalidCastError();
  made.release();
  AddRow(row);
  return row;
}

TdxInspectorNode* TCustomdxInspectorControl::InsertEx(TdxInspectorNode* beforeNode, TdxInspectorRowClass rowClass) {
  TDefaultRowClassScope scope(*this, rowClass);
  return Insert(beforeNode);
}

void TCustomdxInspectorControl::LinkNewNode(TdxInspectorRow* row) {
  TFlagScope adding(FAddFlag);
  auto* node = static_cast<TdxInspectorRowNode*>(Add());
  node->SetRow(row);
  row->FNode = node;
}

void TCustomdxInspectorControl::AddRow(TdxInspectorRow* row) {
  if (!FAddFlag && !row->FNode) LinkNewNode(row);
  FRows.push_back(row);
  row->FInspector = this;
  UpdateRow(nullptr);
  RefreshCustomizeForm();
}

void TCustomdxInspectorControl::RemoveRow(TdxInspectorRow* row) {
  row->FInspector = nullptr;
  bool freed = false;
  if (TdxInspectorRowNode* node = row->FNode) {
    row->FNode = nullptr;
    node->SetRow(nullptr);
    if (!IsDestroying()) {
      delete node;
      freed = true;
    }
  }
  auto it = std::find(FRows.begin(), FRows.end(), row);
  if (it != FRows.end()) FRows.erase(it);
  if (row == FDragRow) FDragRow = nullptr;
  ReleaseComplexRowItems(row);
  if (freed && !IsDestroying()) {
    UpdateRow(nullptr);
    RefreshCustomizeForm();
  }
}

void TCustomdxInspectorControl::ClearRows() {
  TInspectorUpdateGuard lock(*this);
  while (!FRows.empty()) {
    TdxInspectorRow* row = FRows.back();
    RemoveRow(row);
    delete row;
  }
}

TVK_MESSAGE_MAP(TCustomdxInspectorControl, {CM_WININICHANGE, &TCustomdxInspectorControl::CMWinIniChange})

void TCustomdxInspectorControl::CMWinIniChange(TMessage& message) {
  TVK_INHERITED(message);
  ReadLocaleFormatSettings();
  for (TdxInspectorRow* row : std::vector<TdxInspectorRow*>(FRows)) row->SettingsChanged();
  Invalidate();
}

void TCustomdxInspectorControl::RestoreRowsDefaults() {
  TInspectorUpdateGuard lock(*this);
  for (TdxInspectorRow* row : std::vector<TdxInspectorRow*>(FRows)) row->RestoreDefaults();
}

TdxInspectorRow* TCustomdxInspectorControl::RowByName(std::wstring_view name) const {
  for (TdxInspectorRow* row : FRows)
    if (row->Name().size() == name.size() &&
        CompareStringOrdinal(row->Name().c_str(), int(name.size()), name.data(), int(name.size()), TRUE) == CSTR_EQUAL)
      return row;
  return nullptr;
}

int TCustomdxInspectorControl::IndexOfRow(const TdxInspectorRow* row) const {
  auto it = std::find(FRows.begin(), FRows.end(), row);
  return it == FRows.end() ? -1 : int(it - FRows.begin());
}

void TCustomdxInspectorControl::AssignRows(TCustomdxInspectorControl* source) {
  if (!source) return;
  TInspectorUpdateGuard lock(*this);
  while (!FRows.empty()) {
    TdxInspectorRow* row = FRows.back();
    RemoveRow(row);
    delete row;
  }
  for (TdxInspectorRow* sourceRow : std::vector<TdxInspectorRow*>(source->FRows)) {
    TdxInspectorRow* row = CreateRow(sourceRow->RowClass());
    row->SetName(sourceRow->Name());
    row->Assign(*sourceRow);
  }
  // The node order by name, level by level without recursion.
  struct TStep {
    TdxInspectorNode* From;
    TdxInspectorNode* To;  // null: the top level
  };
  std::vector<TStep> pending;
  auto place = [&](TdxInspectorNode* from, TdxInspectorNode* parent) {
    TdxInspectorRow* namesake = RowByName(RowOf(from) ? RowOf(from)->Name() : WideString());
    if (!RowOf(from) || !namesake || !namesake->Node()) return;
    TdxInspectorNode* node = namesake->Node();
    if (parent)
      node->MoveTo(parent, inaAddChild);
    else
      node->MoveTo(GetNode(0), inaAdd);  // a top-level destination: the end of the top level
    pending.push_back({from, node});
  };
  for (int i = 0; i < source->Count(); ++i) place(source->GetNode(i), nullptr);
  while (!pending.empty()) {
    const TStep step = pending.front();
    pending.erase(pending.begin());
    for (int i = 0; i < step.From->Count(); ++i) place(step.From->Items(i), step.To);
  }
}

void TCustomdxInspectorControl::UpdateRow(TdxInspectorRow* row) {
  (void)row;
  if (!Loading()) LayoutChanged();
}

void TCustomdxInspectorControl::LoadStoredLayout() {
  if (HasOption(ioStoreToRegistry) && !(ComponentState() & csDesigning) && !FRegistryPath.empty())
    LoadFromRegistry(FRegistryPath);
}

void TCustomdxInspectorControl::SaveStoredLayout() {
  if (HasOption(ioStoreToRegistry) && !(ComponentState() & csDesigning) && !FRegistryPath.empty())
    SaveToRegistry(FRegistryPath);
}

void TCustomdxInspectorControl::NodeAdded(TdxInspectorNode* node) {
  if (!FAddFlag) {
    TFlagScope adding(FAddFlag);
    TdxInspectorRow* row = CreateRow(FDefaultRowClass ? FDefaultRowClass : GetDefaultRowClass());
    auto* rowNode = static_cast<TdxInspectorRowNode*>(node);
    rowNode->SetRow(row);
    row->FNode = rowNode;
  }
  TCustomdxInspector::NodeAdded(node);
}

int TCustomdxInspectorControl::CalcMinRowContentHeight(TCanvas& canvas) {
  int height = TCustomdxInspector::CalcMinRowContentHeight(canvas);
  for (TdxInspectorRow* row : FRows)
    if (row->Visible()) height = std::max(height, row->CalcMinHeight(canvas));
  return height;
}

void TCustomdxInspectorControl::DoDragNode(TdxInspectorNode*& dragNode, TdxInspectorNode* destination,
                                           TdxInspectorNodeAttachMode mode) {
  (void)destination;
  (void)mode;
  if (!FDragRow) return;
  FDragRow->SetVisible(true);
  dragNode = FDragRow->Node();
}

void TCustomdxInspectorControl::DoEndDrag(TObject* target, int x, int y) {
  TCustomdxInspector::DoEndDrag(target, x, y);
  FDragRow = nullptr;
}

void TCustomdxInspectorControl::HideDroppedRow(TdxInspectorRowNode* node) {
  if (TdxInspectorRow* row = node->Row()) row->SetVisible(false);
}

void TCustomdxInspectorControl::DrawCaption(TCanvas& canvas, TdxInspectorNode* node, const WideString& caption,
                                            const RECT& captionRect, int buttonKind, const RECT& imageRect,
                                            const RECT& buttonRect, const RECT& indentRect) {
  bool done = false;
  WideString text = caption;
  if (TdxInspectorRow* row = RowOf(node)) {
    if (OnDrawCaption) {
      TColor color = canvas.Brush().Color();
      WideString copy = text;
      OnDrawCaption(row, canvas, captionRect, copy, canvas.Font(), color, done);
      text = copy;
      canvas.Brush().SetColor(color);
    }
    if (!done) row->DoDrawCaption(canvas, captionRect, text, done);
  }
  if (!done)
    TCustomdxInspector::DrawCaption(canvas, node, text, captionRect, buttonKind, imageRect, buttonRect, indentRect);
}

void TCustomdxInspectorControl::DrawValue(TCanvas& canvas, const RECT& valueRect, TAlignment alignment,
                                          const WideString& text, TdxInspectorNode* node) {
  bool done = false;
  WideString value = text;
  if (TdxInspectorRow* row = RowOf(node)) {
    alignment = row->Alignment();
    if (OnDrawValue) {
      TColor color = canvas.Brush().Color();
      WideString copy = value;
      OnDrawValue(row, canvas, valueRect, copy, canvas.Font(), color, done);
      value = copy;
      canvas.Brush().SetColor(color);
    }
    if (!done) row->DoDrawValue(canvas, valueRect, value, done);
  }
  if (!done) TCustomdxInspector::DrawValue(canvas, valueRect, alignment, value, node);
}

void TCustomdxInspectorControl::PaintSingleRow(TdxInspectorRow* row, TCanvas& canvas, const RECT& rect,
                                               TdxInspectorCellViewData& cell) {
  TdxEditViewData& data = row->ViewData();
  row->PrepareViewData(data, cell);
  CalcCellViewBounds(rect, data.ViewBounds);
  row->GetEditorClass()->Functions().Draw(canvas.Handle(), rect, data, nullptr);
}

void TCustomdxInspectorControl::DrawCellValue(TCanvas& canvas, const RECT& rect, TdxInspectorCellViewData& cell) {
  TdxInspectorRow* row = RowOf(cell.Cell_Node);
  if (!row) return;
  auto* complex = dynamic_cast<TdxInspectorComplexRow*>(row);
  if (!complex) {
    PaintSingleRow(row, canvas, rect, cell);
    return;
  }
  TdxInspectorComplexRowViewInfo viewInfo(complex, ComplexRowSeparatorWidth());
  viewInfo.Calculate(rect);
  if (viewInfo.Empty()) {
    DrawCellText(canvas, rect, TAlignment::taLeftJustify, WideString());
    return;
  }
  for (int i = 0; i < viewInfo.Count(); ++i) {
    const TdxInspectorComplexRowViewInfoItem& item = viewInfo.Items(i);
    if (item.Separator()) {
      if (!ComplexRowSeparator().empty())
        DrawCellText(canvas, item.Bounds(), TAlignment::taCenter, ComplexRowSeparator());
      else
        DrawComplexRowSeparator(canvas, item.Bounds(), false);
    } else if (item.Row()) {
      TdxInspectorCellViewData itemCell;
      itemCell.Cell_Brush = cell.Cell_Brush;
      itemCell.Cell_Font = cell.Cell_Font;
      itemCell.Cell_BkColor = cell.Cell_BkColor;
      itemCell.Cell_TextColor = cell.Cell_TextColor;
      itemCell.Cell_Alignment = item.Row()->Alignment();
      itemCell.Cell_Text = item.Row()->DisplayText();
      itemCell.Cell_Selected = cell.Cell_Selected;
      itemCell.Cell_DrawEndEllipsis = cell.Cell_DrawEndEllipsis;
      itemCell.Cell_Node = cell.Cell_Node;
      itemCell.Cell_HotTrackNode = cell.Cell_HotTrackNode;
      const RECT& b = item.Bounds();
      itemCell.Cell_Rect = RECT{0, 0, b.right - b.left + 4, b.bottom - b.top + 4};
      PaintSingleRow(item.Row(), canvas, b, itemCell);
    } else {
      DrawCellText(canvas, item.Bounds(), TAlignment::taLeftJustify, WideString());
    }
  }
}

void TCustomdxInspectorControl::RefreshCustomizeForm() {
  TCustomdxInspector::RefreshCustomizeForm();
  InvalidateEditor();
  if (FDesigner) FDesigner->LayoutChanged();
}

WideString TCustomdxInspectorControl::RowDisplayCaption(TdxInspectorRow* row) const {
  if (!row) return {};
  WideString caption = row->Caption();
  auto* complex = dynamic_cast<TdxInspectorComplexRow*>(row);
  if (!caption.empty() || !complex) return caption;
  const WideString separator = ComplexRowSeparator().empty() ? WideString(L"-") : ComplexRowSeparator();
  for (int i = 0; i < complex->Items().Count(); ++i) {
    TdxInspectorRow* itemRow = complex->Items().Item(i)->Row();
    if (!itemRow) continue;
    if (i > 0) caption += separator;
    caption += itemRow->Caption();
  }
  return caption;
}

void TCustomdxInspectorControl::GetNodeCaption(TdxInspectorNode* node, WideString& caption) {
  if (!node && FDragRow) {
    caption = RowDisplayCaption(FDragRow);
    return;
  }
  if (IsComplexRowNode(node)) {
    caption = RowDisplayCaption(RowOf(node));
    return;
  }
  TCustomdxInspector::GetNodeCaption(node, caption);
}

int TCustomdxInspectorControl::GetNodeImageIndex(TdxInspectorNode* node) {
  TdxInspectorRow* row = RowOf(node);
  return row ? row->ImageIndex() : -1;
}

void TCustomdxInspectorControl::GetNodeTexts(TdxInspectorNode* node, WideString& caption, WideString& value) {
  caption.clear();
  value.clear();
  if (TdxInspectorRow* row = RowOf(node)) {
    caption = row->Caption();
    value = row->DisplayText();
  }
}

bool TCustomdxInspectorControl::IsCategoryNode(TdxInspectorNode* node) {
  TdxInspectorRow* row = RowOf(node);
  return row ? row->IsCategory() : TCustomdxInspector::IsCategoryNode(node);
}

bool TCustomdxInspectorControl::IsComplexRowNode(TdxInspectorNode* node) {
  return dynamic_cast<TdxInspectorComplexRow*>(RowOf(node)) != nullptr;
}

void TCustomdxInspectorControl::DoRowsChanged() {
  if (FDesigner) FDesigner->LayoutChanged();
}

void TCustomdxInspectorControl::SetNodeRowHeight(TdxInspectorNode* node, int height) {
  if (TdxInspectorRow* row = RowOf(node)) row->SetRowHeight(height);
}

int TCustomdxInspectorControl::MeasureRow(TdxInspectorRow* row, TdxInspectorNode* node, const RECT& cellRect) {
  int answer = RowHeight();
  TdxEditViewData& data = row->ViewData();
  TdxInspectorCellViewData& cell = CellViewData();
  cell.Cell_Rect = cellRect;
  row->PrepareViewData(data, cell);
  CalcCellViewBounds(cellRect, data.ViewBounds);
  const TdxInplaceEditClass& functions = row->GetEditorClass()->Functions();
  TdxEditViewInfo viewInfo;
  functions.CalcViewInfo(data, false, viewInfo);
  data.CalcHeight = true;
  data.LineCount = 0;
  struct TClearCalc {
    TdxEditViewData& Data;
    ~TClearCalc() { Data.CalcHeight = false; }
  } clear{data};
  HDC dc = GetDC(nullptr);
  functions.DrawClientArea(dc, viewInfo.ClientBounds, data, false);
  ReleaseDC(nullptr, dc);
  // The class measured when it filled the line counts.
  if (data.LineCount > 0 || data.LineHeight > 0) {
    int h = data.LineHeight;
    if (MaxRowTextLineCount() > 0 && MaxRowTextLineCount() < data.LineCount)
      h = MaxRowTextLineCount() * data.LineTextHeight;
    answer = h + 3 + GridSize();
    if (!IsCategoryNode(node)) answer += 2 * RowFrameSize();
    answer = std::max(answer, row->RowHeight());
  }
  return answer;
}

int TCustomdxInspectorControl::GetNodeRowHeight(TdxInspectorNode* node) {
  TdxInspectorRow* row = RowOf(node);
  if (!row) return TCustomdxInspector::GetNodeRowHeight(node);
  if (!HasOption(ioRowAutoHeight) || (row->AssignedValues() & RowValueBit(rvRowHeight))) return row->RowHeight();
  const int width = IsBanded() ? BandWidth() - BandSeparatorWidth() : ClientWidth();
  const RECT rowRect{0, 0, width, TextHeight()};
  const RECT value = CalcRowParts(node, rowRect).Value;
  WideString caption, text;
  GetNodeTexts(node, caption, text);
  TdxInspectorCellViewData& cell = CellViewData();
  cell.Cell_Brush = Canvas().Brush().Handle();
  cell.Cell_Font = Canvas().Font().Handle();
  cell.Cell_BkColor = ColorToRGB(Canvas().Brush().Color());
  cell.Cell_TextColor = ColorToRGB(Canvas().Font().Color());
  cell.Cell_Alignment = TAlignment::taLeftJustify;
  cell.Cell_Text = text;
  cell.Cell_TextLength = 0;
  cell.Cell_Selected = false;
  cell.Cell_DrawEndEllipsis = HasOption(ioDrawEndEllipsis);
  cell.Cell_Node = node;
  cell.Cell_HotTrackNode = IsHotTrackNode(node);
  RECT cellRect{0, 0, value.right - value.left, value.bottom - value.top};
  InflateRect(&cellRect, 2, 2);
  auto* complex = dynamic_cast<TdxInspectorComplexRow*>(row);
  if (!complex) return MeasureRow(row, node, cellRect);
  TdxInspectorComplexRowViewInfo viewInfo(complex, ComplexRowSeparatorWidth());
  viewInfo.Calculate(cellRect);
  if (viewInfo.Empty()) return RowHeight();
  int height = 0;
  for (int i = 0; i < viewInfo.Count(); ++i) {
    const TdxInspectorComplexRowViewInfoItem& item = viewInfo.Items(i);
    if (item.Separator() || !item.Row()) continue;
    cell.Cell_Text = item.Row()->DisplayText();
    height = std::max(height, MeasureRow(item.Row(), node, item.Bounds()));
  }
  return height > 0 ? height : RowHeight();
}

bool TCustomdxInspectorControl::GetHintText(TdxInspectorNode* node, int complexRowIndex, bool& delay, POINT& origin,
                                            WideString& text, const RECT& cellRect, bool isValue,
                                            const RECT& complexRowRect) {
  if (!node) return false;
  TdxInspectorRow* row = RowOf(node);
  RECT rect = cellRect;
  if (auto* complex = dynamic_cast<TdxInspectorComplexRow*>(row)) {
    row = complexRowIndex >= 0 && complexRowIndex < complex->Items().Count()
              ? complex->Items().Item(complexRowIndex)->Row()
              : nullptr;
    rect = complexRowRect;
  }
  if (!row || InspRectEmpty(rect)) return false;
  origin.x = rect.left - (isValue ? 1 : 2);
  rect.left += 2;
  if (!isValue && row->ShowHint() && !row->Hint().empty()) {
    text = row->Hint();
    delay = true;
    return true;
  }
  if (isValue) rect.right -= 1;
  if (!row->IsTextCut(isValue, rect, text)) return false;
  delay = !isValue;
  return !text.empty();
}

bool TCustomdxInspectorControl::CanShowEditor() {
  if (!TCustomdxInspector::CanShowEditor()) return false;
  TdxInspectorNode* node = FocusedNode();
  if (!node) return true;
  TdxInspectorRow* row = EditRowOf(node);
  if (IsComplexRowNode(node) && !row) return false;
  bool allow = true;
  if (OnEditing) OnEditing(this, node, row, allow);
  return allow;
}

TdxInspectorRow* TCustomdxInspectorControl::EditRowOf(TdxInspectorNode* node) const {
  TdxInspectorRow* row = RowOf(node);
  auto* complex = dynamic_cast<TdxInspectorComplexRow*>(row);
  if (!complex) return row;
  const int index = ComplexRowIndex() < 0 ? 0 : ComplexRowIndex();
  return index < complex->Items().Count() ? complex->Items().Item(index)->Row() : nullptr;
}

TdxInplaceEdit* TCustomdxInspectorControl::CreateDefaultEditor() {
  TdxInspectorRow* row = EditRowOf(FocusedNode());
  TdxInplaceEditClassType editorClass = row ? row->GetEditorClass() : EditorClassOf<TdxInplaceTextEdit>();
  TdxInplaceEdit* editor = editorClass->Create(this);
  FEditors.push_back(editor);
  return editor;
}

TdxInplaceEdit* TCustomdxInspectorControl::GetNodeEditor(TdxInspectorNode* node) {
  TdxInspectorRow* row = EditRowOf(node);
  if (!row) return nullptr;
  const TClass wanted = row->GetEditorClass()->Info;
  for (TdxInplaceEdit* editor : FEditors)
    if (editor->ClassType() == wanted) return editor;
  return nullptr;
}

void TCustomdxInspectorControl::Notification(TComponent* component, TOperation operation) {
  TCustomdxInspector::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  auto it = std::find(FEditors.begin(), FEditors.end(), component);
  if (it != FEditors.end()) FEditors.erase(it);
}

void TCustomdxInspectorControl::DoRowChange(TdxInspectorRow* row) {
  if (OnEditChange) OnEditChange(row);
}

void TCustomdxInspectorControl::DoRowValidate(TdxInspectorRow* row, WideString& errorText, bool& accept) {
  if (OnEditValidate) OnEditValidate(row, errorText, accept);
}

void TCustomdxInspectorControl::AssignEditProperties(TdxInplaceEdit* editor) {
  TCustomdxInspector::AssignEditProperties(editor);
  if (TdxInspectorNode* node = FocusedNode())
    if (TdxInspectorRow* row = EditRowOf(node)) row->AssignEditorProperties(editor);
}

void TCustomdxInspectorControl::InitEditValue(TdxInspectorNode* node, TdxInplaceEdit* editor, Variant& value) {
  TdxInspectorRow* row = FocusedNode() ? EditRowOf(FocusedNode()) : nullptr;
  if (row)
    row->WriteEditorValue(editor, value);
  else
    TCustomdxInspector::InitEditValue(node, editor, value);
  FEditValue = value;
}

void TCustomdxInspectorControl::SaveEditValue(TdxInspectorNode* node, TdxInplaceEdit* editor, Variant& value) {
  if (!Modified() && !editor->GetEditModified()) return;
  TdxInspectorRow* row = EditRowOf(node);
  Variant taken;
  if (row) row->ReadEditorValue(editor, taken);
  FEditValue = taken;
  value = FEditValue;
  if (OnEdited) OnEdited(this, FocusedNode(), row);
  SetModified(false);
}

void TCustomdxInspectorControl::InvalidateEditor() {
  TCustomdxInspector::InvalidateEditor();
  SetModified(false);
}

TColor TCustomdxInspectorControl::GetInplaceEditColor() {
  TColor color = TCustomdxInspector::GetInplaceEditColor();
  if (FocusedNode() && OnGetEditColor) OnGetEditColor(RowOf(FocusedNode()), color);
  return color;
}

TFont& TCustomdxInspectorControl::GetInplaceEditFont() {
  TFont& base = TCustomdxInspector::GetInplaceEditFont();
  if (!FocusedNode() || !OnGetEditFont) return base;
  if (!FEditFont) FEditFont = std::make_unique<TFont>();
  FEditFont->Assign(base);
  TFont* font = FEditFont.get();
  OnGetEditFont(RowOf(FocusedNode()), font);
  return font ? *font : *FEditFont;
}

void TCustomdxInspectorControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  for (TdxInspectorRow* row : FRows)
    if (row->Owner() == root) proc(row);
}

void TCustomdxInspectorControl::Loaded() {
  TInspectorUpdateGuard lock(*this);
  struct TEndLoading {
    bool& Flag;
    ~TEndLoading() { Flag = false; }
  } endLoading{FRowsLoading};
  FRowsLoading = true;
  TCustomdxInspector::Loaded();
  RestoreNodeOrder();
  LoadStoredLayout();
  FStreamData.reset();
  for (TdxInspectorRow* row : std::vector<TdxInspectorRow*>(FRows))
    if (!row->Visible() && row->Node()) {
      row->FVisible = true;
      row->SetVisible(false);
    }
  if (TdxInspectorNode* top = GetNode(0)) {
    SetFocusedNode(top);
    top->MakeVisible();
  }
}

void TCustomdxInspectorControl::ChangeName(const WideString& name) {
  const WideString old = Name();
  TCustomdxInspector::ChangeName(name);
  if (!(ComponentState() & csDesigning) || old == name) return;
  for (TdxInspectorRow* row : std::vector<TdxInspectorRow*>(FRows)) {
    if (row->Owner() != Owner() || row->Name().size() <= old.size()) continue;
    if (CompareStringOrdinal(row->Name().c_str(), int(old.size()), old.c_str(), int(old.size()), TRUE) != CSTR_EQUAL)
      continue;
    TNotifyEvent saved = std::move(row->OnChangeName);
    row->OnChangeName = nullptr;
    try {
      row->SetName(name + row->Name().substr(old.size()));
    } catch (const EComponentError&) {
      // The new name is taken: the row keeps its own.
    } catch (...) {
      row->OnChangeName = std::move(saved);
      throw;
    }
    row->OnChangeName = std::move(saved);
  }
  DoRowsChanged();
}

// ---- complex rows

TdxInspectorComplexRowItem::TdxInspectorComplexRowItem(TCollection* collection) : TCollectionItem(collection) {}

TdxInspectorComplexRowItems* TdxInspectorComplexRowItem::Items() const {
  return static_cast<TdxInspectorComplexRowItems*>(Collection());
}

void TdxInspectorComplexRowItem::Assign(const TPersistent& source) {
  const auto* item = dynamic_cast<const TdxInspectorComplexRowItem*>(&source);
  if (!item) {
    TCollectionItem::Assign(source);
    return;
  }
  TCollection* collection = Collection();
  if (collection) collection->BeginUpdate();
  struct TEnd {
    TCollection* C;
    ~TEnd() {
      if (C) C->EndUpdate();
    }
  } end{collection};
  RestoreDefaults();
  SetFixed(item->FFixed);
  SetMinWidth(item->FMinWidth);
  SetRow(item->FRow);
  SetWidth(item->FWidth);
}

void TdxInspectorComplexRowItem::RestoreDefaults() {
  FMinWidth = 20;
  FWidth = 50;
}

WideString TdxInspectorComplexRowItem::GetDisplayName() const {
  if (FRow && !FRow->Name().empty()) return FRow->Name();
  return ClassName();
}

void TdxInspectorComplexRowItem::SetFixed(bool value) {
  if (value == FFixed) return;
  FFixed = value;
  Changed(true);
}

void TdxInspectorComplexRowItem::SetWidth(int value) {
  value = std::max(value, int(FMinWidth));
  if (value == FWidth) return;
  FWidth = value;
  Changed(true);
}

void TdxInspectorComplexRowItem::SetMinWidth(int value) {
  FMinWidth = std::max(value, 0);
  SetWidth(FWidth);
}

void TdxInspectorComplexRowItem::SetRow(TdxInspectorRow* value) {
  TdxInspectorComplexRow* owner = Items() ? Items()->Row() : nullptr;
  TCustomdxInspectorControl* inspector = owner ? owner->Inspector() : nullptr;
  if (value && (value->Is<TdxInspectorComplexRow>() || !inspector || inspector->IndexOfRow(value) < 0)) return;
  if (value == FRow) return;
  TCollection* collection = Collection();
  collection->BeginUpdate();
  struct TEnd {
    TCollection* C;
    ~TEnd() { C->EndUpdate(); }
  } end{collection};
  if (value) {
    value->SetVisible(false);
    inspector->ReleaseComplexRowItems(value);
  }
  FRow = value;
}

TdxInspectorComplexRowItems::TdxInspectorComplexRowItems(TdxInspectorComplexRow* row)
    : TCollection(CollectionItemClassOf<TdxInspectorComplexRowItem>()), FRow(row) {}

void TdxInspectorComplexRowItems::AssignItems(const TdxInspectorComplexRowItems& source) {
  if (&source == this) return;
  BeginUpdate();
  struct TEnd {
    TCollection* C;
    ~TEnd() { C->EndUpdate(); }
  } end{this};
  Clear();
  for (int i = 0; i < source.Count(); ++i) Add()->Assign(*source.Item(i));
}

TPersistent* TdxInspectorComplexRowItems::GetOwner() const { return FRow; }

int TdxInspectorComplexRowItems::IndexOfRow(const TdxInspectorRow* row) const {
  for (int i = 0; i < Count(); ++i)
    if (Item(i)->Row() == row) return i;
  return -1;
}

void TdxInspectorComplexRowItems::RestoreDefaults() {
  BeginUpdate();
  for (int i = 0; i < Count(); ++i) Item(i)->RestoreDefaults();
  EndUpdate();
}

void TdxInspectorComplexRowItems::Update(TCollectionItem* item) {
  TCollection::Update(item);
  if (!FRow || FRow->Loading() || FRow->IsDestroying()) return;
  TCustomdxInspectorControl* inspector = FRow->Inspector();
  if (inspector && !inspector->IsDestroying()) inspector->LayoutChanged();
}

TdxInspectorComplexRow::TdxInspectorComplexRow(TComponent* owner)
    : TdxInspectorTextRow(owner), FItems(std::make_unique<TdxInspectorComplexRowItems>(this)) {}

TdxInspectorComplexRow::~TdxInspectorComplexRow() {
  // Leaves the inspector while whole, then lets its items go without a layout.
  if (FInspector) FInspector->RemoveRow(this);
  FItems.reset();
}

void TdxInspectorComplexRow::Assign(const TPersistent& source) {
  const auto* complex = dynamic_cast<const TdxInspectorComplexRow*>(&source);
  if (!complex) {
    TdxInspectorRow::Assign(source);
    return;
  }
  TRowUpdateGuard lock(FInspector);
  TdxInspectorRow::Assign(source);
  FItems->AssignItems(*complex->FItems);
}

void TdxInspectorComplexRowViewInfo::Calculate(const RECT& rect) {
  Clear();
  int free = rect.right - rect.left;
  if (!FRow || free <= 0) return;
  TdxInspectorComplexRowItems& items = FRow->Items();
  for (int i = 0; i < items.Count(); ++i) {
    TdxInspectorComplexRowItem* source = items.Item(i);
    auto item = std::make_unique<TdxInspectorComplexRowViewInfoItem>(source->Row());
    item->FFixed = source->Fixed();
    item->FMinWidth = source->MinWidth();
    item->FWidth = source->Width();
    if (item->FFixed) free -= item->FWidth;
    FItems.push_back(std::move(item));
    if (i + 1 < items.Count()) {
      auto separator = std::make_unique<TdxInspectorComplexRowViewInfoItem>(nullptr);
      separator->FFixed = true;
      separator->FSeparator = true;
      separator->FWidth = FSeparatorWidth;
      free -= FSeparatorWidth;
      FItems.push_back(std::move(separator));
    }
  }
  free = std::max(free, 0);
  // Pins the first item whose share falls below its minimum and starts again;
  // once none does, hands every proportional item its share.
  bool checking = true;
  for (;;) {
    int64_t sum = 0;
    int proportional = 0;
    for (const auto& item : FItems)
      if (!item->FFixed) {
        sum += item->FWidth;
        ++proportional;
      }
    if (proportional == 0) break;
    bool pinned = false;
    for (const auto& item : FItems) {
      if (item->FFixed) continue;
      // Widths that sum to 0 share equally.
      const int share = sum > 0 ? int(int64_t(item->FWidth) * free / sum) : free / proportional;
      if (!checking) {
        item->FWidth = share;
      } else if (share < item->FMinWidth) {
        item->FWidth = item->FMinWidth;
        item->FFixed = true;
        free -= item->FWidth;
        pinned = true;
        break;
      }
    }
    if (!checking) break;
    if (!pinned) checking = false;
  }
  int x = rect.left;
  for (const auto& item : FItems) {
    item->FBounds = RECT{x, rect.top, x + item->FWidth, rect.bottom};
    x += item->FWidth;
  }
  if (x < rect.right && !FItems.empty()) FItems.back()->FBounds.right = rect.right;
}

TdxInspectorComplexRow* TCustomdxInspectorControl::ComplexRowByRow(const TdxInspectorRow* row) const {
  for (TdxInspectorRow* candidate : FRows)
    if (auto* complex = dynamic_cast<TdxInspectorComplexRow*>(candidate))
      if (complex->Items().IndexOfRow(row) >= 0) return complex;
  return nullptr;
}

void TCustomdxInspectorControl::ReleaseComplexRowItems(const TdxInspectorRow* row) {
  if (!row) return;
  for (TdxInspectorRow* candidate : FRows)
    if (auto* complex = dynamic_cast<TdxInspectorComplexRow*>(candidate))
      for (int i = 0; i < complex->Items().Count(); ++i) {
        TdxInspectorComplexRowItem* item = complex->Items().Item(i);
        if (item->Row() == row) item->SetRow(nullptr);
      }
}

void TCustomdxInspectorControl::ValidateComplexRowIndex(int& index) {
  auto* complex = dynamic_cast<TdxInspectorComplexRow*>(RowOf(FocusedNode()));
  if (!complex) return;
  if (index < 0) index = 0;
  if (index >= complex->Items().Count()) index = complex->Items().Count() - 1;
}

bool TCustomdxInspectorControl::TabInComplexRow(bool forward) {
  auto* complex = dynamic_cast<TdxInspectorComplexRow*>(RowOf(FocusedNode()));
  if (!complex || complex->Items().Count() < 2) return false;
  const int current = ComplexRowIndex() < 0 ? 0 : ComplexRowIndex();
  SetComplexRowIndex(current + (forward ? 1 : -1));
  return ComplexRowIndex() != current;
}

bool TCustomdxInspectorControl::CanTabInComplexRow(bool forward) {
  auto* complex = dynamic_cast<TdxInspectorComplexRow*>(RowOf(FocusedNode()));
  if (!complex || complex->Items().Count() < 2) return false;
  const int current = ComplexRowIndex() < 0 ? 0 : ComplexRowIndex();
  int next = current + (forward ? 1 : -1);
  ValidateComplexRowIndex(next);
  return next != current;
}

RECT TCustomdxInspectorControl::GetNodeEditRect(TdxInspectorNode* node) {
  RECT rect = TCustomdxInspector::GetNodeEditRect(node);
  auto* complex = dynamic_cast<TdxInspectorComplexRow*>(RowOf(node));
  if (!complex) return rect;
  TdxInspectorRow* editRow = EditRowOf(node);
  TdxInspectorComplexRowViewInfo viewInfo(complex, ComplexRowSeparatorWidth());
  viewInfo.Calculate(rect);
  for (int i = 0; i < viewInfo.Count(); ++i)
    if (!viewInfo.Items(i).Separator() && editRow && viewInfo.Items(i).Row() == editRow) return viewInfo.Items(i).Bounds();
  return rect;
}

void TCustomdxInspectorControl::GetComplexRowHitInfo(TdxInspectorNode* node, POINT p, const RECT& cellRect,
                                                     bool isValue, int& index, RECT& itemRect) {
  TCustomdxInspector::GetComplexRowHitInfo(node, p, cellRect, isValue, index, itemRect);
  auto* complex = dynamic_cast<TdxInspectorComplexRow*>(RowOf(node));
  if (!complex || !isValue || !InspPtIn(cellRect, p)) return;
  TdxInspectorComplexRowViewInfo viewInfo(complex, ComplexRowSeparatorWidth());
  viewInfo.Calculate(cellRect);
  for (int i = 0; i < viewInfo.Count(); ++i) {
    if (!InspPtIn(viewInfo.Items(i).Bounds(), p)) continue;
    if (viewInfo.Items(i).Separator()) {
      itemRect = viewInfo.Items(i - 1).Bounds();
    } else {
      index = i / 2;
      itemRect = viewInfo.Items(i).Bounds();
    }
    return;
  }
}

// ---- node order and layout store

namespace {

constexpr int32_t kNodeRecordSize = 8;
constexpr int64_t kMinNodeRecordBytes = 12;  // the fixed part and an empty name

void WriteInt32(TStream& stream, int32_t value) {
  const uint8_t bytes[4] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(uint32_t(value) >> 24)};
  stream.WriteBuffer(bytes, 4);
}

int32_t ReadInt32(TStream& stream) {
  uint8_t bytes[4];
  stream.ReadBuffer(bytes, 4);
  return int32_t(uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24);
}

[[noreturn]] void NodeStreamError() { throw EReadError(L"Stream read error"); }

int64_t NodeBytesLeft(TStream& stream) { return stream.Size() - stream.Position(); }

// A count of records that follow, each at least the fixed part long.
int32_t ReadRecordCount(TStream& stream) {
  const int32_t count = ReadInt32(stream);
  if (count < 0 || int64_t(count) * kMinNodeRecordBytes > NodeBytesLeft(stream)) NodeStreamError();
  return count;
}

void WriteNodeRecord(TStream& stream, int32_t second, TdxInspectorNode* node) {
  TdxInspectorRow* row = RowOf(node);
  const WideString name = row ? row->Name() : WideString();
  WriteInt32(stream, kNodeRecordSize);
  WriteInt32(stream, second);
  WriteInt32(stream, int32_t(name.size()));
  for (wchar_t ch : name) {
    const uint8_t bytes[2] = {uint8_t(ch), uint8_t(uint16_t(ch) >> 8)};
    stream.WriteBuffer(bytes, 2);
  }
}

struct TNodeRecord {
  int32_t ChildCount = 0;
  WideString Name;
};

// One record, every length checked against the bytes left before it is used.
TNodeRecord ReadNodeRecord(TStream& stream) {
  const int32_t recordSize = ReadInt32(stream);
  if (recordSize < kNodeRecordSize) throw EFailureLoadOrderRows();  // its fields cannot be read
  if (int64_t(recordSize) - 4 > NodeBytesLeft(stream)) NodeStreamError();
  TNodeRecord record;
  record.ChildCount = ReadInt32(stream);
  const int32_t nameLength = ReadInt32(stream);
  if (recordSize > kNodeRecordSize) stream.Seek(recordSize - kNodeRecordSize, TSeekOrigin::soCurrent);
  if (nameLength < 0 || int64_t(nameLength) * 2 > NodeBytesLeft(stream)) NodeStreamError();
  record.Name.resize(std::size_t(nameLength));
  for (int32_t i = 0; i < nameLength; ++i) {
    uint8_t bytes[2];
    stream.ReadBuffer(bytes, 2);
    record.Name[std::size_t(i)] = wchar_t(uint16_t(bytes[0] | bytes[1] << 8));
  }
  return record;
}

}  // namespace

void TCustomdxInspectorControl::SaveNodesToStream(TStream& stream) {
  const int64_t start = stream.Position();
  WriteInt32(stream, 0);
  WriteInt32(stream, Count());
  // Depth first, parents before children, without recursion.
  std::vector<TdxInspectorNode*> stack;
  for (int i = Count() - 1; i >= 0; --i) stack.push_back(GetNode(i));
  std::vector<TdxInspectorNode*> order;
  while (!stack.empty()) {
    TdxInspectorNode* node = stack.back();
    stack.pop_back();
    order.push_back(node);
    for (int i = node->Count() - 1; i >= 0; --i) stack.push_back(node->Items(i));
  }
  for (TdxInspectorNode* node : order) WriteNodeRecord(stream, node->Count(), node);
  const int64_t countAt = stream.Position();
  WriteInt32(stream, 0);
  int32_t expanded = 0;
  for (TdxInspectorNode* node : order)
    if (node->Expanded()) {
      WriteNodeRecord(stream, 0, node);
      ++expanded;
    }
  const int64_t end = stream.Position();
  if (expanded > 0) {
    stream.SetPosition(countAt);
    WriteInt32(stream, expanded);
  }
  stream.SetPosition(start);
  WriteInt32(stream, int32_t(end - start - 4));
  stream.SetPosition(end);
}

void TCustomdxInspectorControl::ReadNodeData(TStream& stream) {
  const int32_t total = ReadInt32(stream);
  if (total < 0 || total > NodeBytesLeft(stream)) NodeStreamError();
  auto data = std::make_unique<TMemoryStream>();
  if (total > 0) data->CopyFrom(stream, total);
  FStreamData = std::move(data);
}

void TCustomdxInspectorControl::WriteNodeData(TStream& stream) { SaveNodesToStream(stream); }

void TCustomdxInspectorControl::DefineProperties(TFiler& filer) {
  TCustomdxInspector::DefineProperties(filer);
  filer.DefineBinaryProperty(
      L"Data", [this](TStream& stream) { ReadNodeData(stream); },
      [this](TStream& stream) { WriteNodeData(stream); }, Count() > 0 && IsNodeDataStored());
}

void TCustomdxInspectorControl::LoadNodesFromStream(TStream& stream) {
  {
    TInspectorUpdateGuard lock(*this);
    for (TdxInspectorRow* row : std::vector<TdxInspectorRow*>(FRows))
      if (!RowInComplexRow(row)) row->SetVisible(true);
  }
  struct TFree {
    std::unique_ptr<TMemoryStream>& Data;
    ~TFree() { Data.reset(); }
  } free{FStreamData};
  ReadNodeData(stream);
  RestoreNodeOrder();
}

void TCustomdxInspectorControl::RestoreNodeOrder() {
  if (!FStreamData || FStreamData->Size() == 0) return;
  TMemoryStream& stream = *FStreamData;
  stream.SetPosition(0);
  TInspectorUpdateGuard lock(*this);
  try {
    // Each level: the node its records go under (null with Skip: passed over) and the records left.
    struct TLevel {
      TdxInspectorNode* Parent;
      bool Skip;
      int32_t Left;
    };
    std::vector<TLevel> levels{{nullptr, false, ReadRecordCount(stream)}};
    while (!levels.empty()) {
      TLevel& level = levels.back();
      if (level.Left == 0) {
        levels.pop_back();
        continue;
      }
      --level.Left;
      const TdxInspectorNode* parent = level.Parent;
      const bool skip = level.Skip;
      const bool top = levels.size() == 1;
      const TNodeRecord record = ReadNodeRecord(stream);
      if (record.ChildCount < 0 || int64_t(record.ChildCount) * kMinNodeRecordBytes > NodeBytesLeft(stream))
        NodeStreamError();
      TdxInspectorRow* row = RowByName(record.Name);
      if (!row) throw EFailureLoadOrderRows();
      TdxInspectorNode* node = skip ? nullptr : row->Node();
      if (node) {
        if (top)
          node->MoveTo(GetNode(0), inaAdd);
        else
          node->MoveTo(const_cast<TdxInspectorNode*>(parent), inaAddChild);
      }
      if (record.ChildCount > 0) {
        if (int(levels.size()) >= kMaxNodeOrderDepth) NodeStreamError();
        levels.push_back({node, node == nullptr, record.ChildCount});
      }
    }
    if (NodeBytesLeft(stream) > 0) {
      FullCollapse();
      const int32_t expanded = ReadRecordCount(stream);
      for (int32_t i = 0; i < expanded; ++i) {
        const TNodeRecord record = ReadNodeRecord(stream);
        TdxInspectorRow* row = RowByName(record.Name);
        if (!row) throw EFailureLoadOrderRows();
        if (row->Node()) row->Node()->SetExpanded(true);
      }
    }
  } catch (const EFailureLoadOrderRows&) {
    // A record naming no row ends the restore; what was placed stays.
  }
}

void TCustomdxInspectorControl::ReadCategories(TdxRegIniWrapper& wrapper, const WideString& section) {
  const WideString key = section + L"\\Categories";
  TStringList names;
  wrapper.ReadSection(key, names);
  std::vector<bool> matched(std::size_t(names.Count()), false);
  std::vector<TdxInspectorRow*> listed;
  for (int i = 0; i < names.Count(); ++i) {
    TdxInspectorRow* row = RowByName(names.Get(i));
    matched[std::size_t(i)] = row != nullptr;
    if (row) listed.push_back(row);
  }
  for (int i = TotalRowCount() - 1; i >= 0; --i) {
    TdxInspectorRow* row = FRows[std::size_t(i)];
    if (!row->IsCategory() || std::find(listed.begin(), listed.end(), row) != listed.end()) continue;
    row->SetVisible(false);
    delete row;
  }
  for (int i = 0; i < names.Count(); ++i) {
    if (matched[std::size_t(i)]) continue;
    const WideString name = names.Get(i);
    TdxInspectorRow* row = CreateRow(GetDefaultRowClass());
    try {
      row->SetIsCategory(true);
      row->SetVisible(false);
      row->SetName(name);
    } catch (...) {
      delete row;
      throw;
    }
    row->SetCaption(wrapper.ReadString(key, name, name));
  }
}

void TCustomdxInspectorControl::LoadFromRegIni(TdxRegIniWrapper& wrapper, const WideString& section) {
  ReadCategories(wrapper, section);
  const int size = wrapper.ReadBinaryData(section, L"Nodes", nullptr, 0);
  if (size > 0) {
    std::vector<uint8_t> bytes(static_cast<std::size_t>(size));
    const int read = wrapper.ReadBinaryData(section, L"Nodes", bytes.data(), size);
    bytes.resize(std::size_t(std::max(read, 0)));
    if (!bytes.empty()) {
      TMemoryStream stream(std::move(bytes));
      LoadNodesFromStream(stream);
    }
  }
  for (TdxInspectorRow* row : std::vector<TdxInspectorRow*>(FRows)) {
    const WideString key = section + L"\\Rows\\" + row->Name();
    row->SetRowHeight(wrapper.ReadInteger(key, L"RowHeight", -1));
    row->SetVisible(wrapper.ReadBool(key, L"Visible", row->Visible()));
  }
  TCustomdxInspector::LoadFromRegIni(wrapper, section);
}

void TCustomdxInspectorControl::SaveToRegIni(TdxRegIniWrapper& wrapper, const WideString& section) {
  TCustomdxInspector::SaveToRegIni(wrapper, section);
  const WideString categories = section + L"\\Categories";
  wrapper.EraseSection(categories);
  for (TdxInspectorRow* row : FRows)
    if (row->IsCategory()) wrapper.WriteString(categories, row->Name(), row->Caption());
  TMemoryStream stream;
  SaveNodesToStream(stream);
  wrapper.WriteBinaryData(section, L"Nodes", stream.Memory(), int(stream.Size()));
  for (TdxInspectorRow* row : FRows) {
    const WideString key = section + L"\\Rows\\" + row->Name();
    wrapper.WriteInteger(key, L"RowHeight",
                         (row->AssignedValues() & RowValueBit(rvRowHeight)) ? row->RowHeight() : -1);
    wrapper.WriteBool(key, L"Visible", row->Visible());
  }
}

// ---- unit start-up and shut-down

bool InspectorUnitStartup() {
  if (gInspectorStartCount++ > 0) return true;
  gInspectorDragBitmap = std::make_unique<TBitmap>();
  for (const TInspectorCursorRow& row : kInspectorCursors)
    Screen().SetCursors(row.Id, LoadCursorFromData(ClassLibraryInstance(), row.Resource, L"TREELISTCURSOR"));
  RegisterClass(&TdxInspectorTextRow::StaticClassInfo());
  RegisterClass(&TdxInspectorComplexRow::StaticClassInfo());
  return true;
}

void InspectorUnitShutdown() {
  if (gInspectorStartCount == 0) return;
  gInspectorStartCount = 0;
  gInspectorDragBitmap.reset();
  for (const TInspectorCursorRow& row : kInspectorCursors) Screen().SetCursors(row.Id, nullptr);
  UnRegisterClass(&TdxInspectorComplexRow::StaticClassInfo());
  UnRegisterClass(&TdxInspectorTextRow::StaticClassInfo());
}

}  // namespace tvk
