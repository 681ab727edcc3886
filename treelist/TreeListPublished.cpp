#include "TreeListPublished.h"

#include <algorithm>

#include "Convert.h"

namespace tvk {

namespace {

template <class W>
void WithinUpdate(TCustomdxTreeList& tree, W&& work) {
  tree.BeginUpdate();
  try {
    work();
  } catch (...) {
    tree.EndUpdate();
    throw;
  }
  tree.EndUpdate();
}

template <class W>
void WithinSelection(TCustomdxTreeList& tree, W&& work) {
  tree.BeginSelection();
  try {
    WithinUpdate(tree, work);
  } catch (...) {
    tree.EndSelection();
    throw;
  }
  tree.EndSelection();
}

bool AddressLess(const TdxTreeListNode* a, const TdxTreeListNode* b) { return ComparePointers(a, b) < 0; }

int64_t BytesLeft(TStream& stream) { return stream.Size() - stream.Position(); }

[[noreturn]] void RaiseBadStream(const wchar_t* what) {
  throw EReadError(WideString(L"Invalid node stream: ") + what);
}

}  // namespace

TdxTreeList::TdxTreeList(TComponent* owner) : TCustomdxTreeListControl(owner) {}

TdxTreeList::~TdxTreeList() {
  SaveLayoutBeforeDestruction();
  ClearSelection();
  PrepareDestroy();
}

// ---- selection

std::size_t TdxTreeList::SelectionPosition(const TdxTreeListNode* node) const {
  return std::size_t(std::lower_bound(FSelectedNodes.begin(), FSelectedNodes.end(), node, AddressLess) -
                     FSelectedNodes.begin());
}

bool TdxTreeList::IsNodeSelected(const TdxTreeListNode* node) {
  std::size_t at = SelectionPosition(node);
  return at < FSelectedNodes.size() && FSelectedNodes[at] == node;
}

TdxTreeListNode* TdxTreeList::SelectedNodes(int index) const {
  return index >= 0 && index < int(FSelectedNodes.size()) ? FSelectedNodes[std::size_t(index)] : nullptr;
}

void TdxTreeList::SelectNode(TdxTreeListNode* node, bool value) {
  if (!node || !IsMultiSelect()) return;
  std::size_t at = SelectionPosition(node);
  bool present = at < FSelectedNodes.size() && FSelectedNodes[at] == node;
  if (value == present) return;
  if (value) {
    if (!CanNodeSelected(node)) return;
    FSelectedNodes.insert(FSelectedNodes.begin() + std::ptrdiff_t(at), node);
  } else {
    FSelectedNodes.erase(FSelectedNodes.begin() + std::ptrdiff_t(at));
  }
  RECT r;
  GetNodeRowRect(node, r);
  InvalidateRows(r, false);
  NodeSelectionChanged(node);
}

void TdxTreeList::ClearSelection() {
  if (FSelectedNodes.empty()) return;
  if (!IsDestroying() && !ClearingNodes()) InvalidateSelection();
  if (OnSelectionChanged) {
    while (!FSelectedNodes.empty()) {
      TdxTreeListNode* node = FSelectedNodes.back();
      FSelectedNodes.pop_back();
      OnSelectionChanged(this, node);
    }
  }
  FSelectedNodes.clear();
  TCustomdxTreeListControl::ClearSelection();
}

void TdxTreeList::DeleteSelection() {
  TCustomdxTreeListControl::DeleteSelection();
  WithinUpdate(*this, [&] {
    while (!FSelectedNodes.empty()) delete FSelectedNodes.front();  // a freed node leaves the selection
  });
  FSelectedNodes.clear();
}

void TdxTreeList::SelectAll() {
  if (!IsMultiSelect() || Count() == 0) return;
  WithinSelection(*this, [&] {
    ClearSelection();
    if (IsExtMultiSelect()) {
      FullExpand();
      TdxTreeListNode* last = GetItem(Count() - 1);
      while (last->Count() > 0) last = last->GetLastChild();
      SelectRange(GetItem(0), last);
    } else if (TdxTreeListNode* parent = FocusedNode() ? FocusedNode()->Parent() : nullptr) {
      SelectRange(parent->GetFirstChild(), parent->GetLastChild());
    } else {
      SelectRange(GetItem(0), GetItem(Count() - 1));
    }
  });
}

void TdxTreeList::SelectRange(TdxTreeListNode* node1, TdxTreeListNode* node2) {
  if (!node1 || !node2) return;
  WithinSelection(*this, [&] {
    if (CompareNodePositions(node1, node2) > 0) std::swap(node1, node2);
    MakeListNodes();
    int b = GetAbsoluteIndex(node1), c = GetAbsoluteIndex(node2);
    if (b < 0 || c < 0) return;
    TdxTreeListNode* savedFirst = FFirstSelectedNode;
    FFirstSelectedNode = GetAbsoluteNode(b);
    std::vector<TdxTreeListNode*> range;
    try {
      for (int i = b; i <= c; ++i)
        if (TdxTreeListNode* node = GetAbsoluteNode(i); node && CanNodeSelected(node)) range.push_back(node);
    } catch (...) {
      FFirstSelectedNode = savedFirst;
      throw;
    }
    FFirstSelectedNode = savedFirst;
    std::sort(range.begin(), range.end(), AddressLess);
    std::vector<TdxTreeListNode*> merged;
    merged.reserve(range.size() + FSelectedNodes.size());
    std::set_union(range.begin(), range.end(), FSelectedNodes.begin(), FSelectedNodes.end(),
                   std::back_inserter(merged), AddressLess);
    FSelectedNodes = std::move(merged);
    if (OnSelectionChanged)
      for (auto it = FSelectedNodes.rbegin(); it != FSelectedNodes.rend(); ++it) OnSelectionChanged(this, *it);
  });
}

void TdxTreeList::NodeDeleted(TdxTreeListNode* node, TdxTreeListNode* priorParent, bool wasVisible, bool wasLast,
                              TdxTreeListNode* nextVisible) {
  // A freed node leaves the selection whatever the options say now.
  std::size_t at = SelectionPosition(node);
  if (at < FSelectedNodes.size() && FSelectedNodes[at] == node) {
    FSelectedNodes.erase(FSelectedNodes.begin() + std::ptrdiff_t(at));
    if (!ClearingNodes()) NodeSelectionChanged(node);
  }
  if (FFirstSelectedNode == node) FFirstSelectedNode = nullptr;
  TCustomdxTreeListControl::NodeDeleted(node, priorParent, wasVisible, wasLast, nextVisible);
  RequestSortRefresh();
}

// ---- values and row questions

void TdxTreeList::GetNodeSortValue(TdxTreeListNode* node, int column, Variant& value) {
  WideString text = GetNodeString(node, column);
  if (IsCaseInsensitive() && !text.empty()) CharUpperBuffW(text.data(), DWORD(text.size()));
  value = Variant(text);
}

void TdxTreeList::ClearColumnsSorted() { ResetColumnSorts(); }

TdxTreeListColumn* TdxTreeList::SortedColumn() {
  if (IsMultiSort() && SortedColumnCount() > 0) return SortedColumns(0);
  TdxTreeListColumn* found = nullptr;
  for (int i = 0; i < ColumnCount() && !found; ++i)
    if (Columns(i)->Sorted() != csNone) found = Columns(i);
  if (found && IsMultiSort()) AddSortedColumn(found);
  return found;
}

void TdxTreeList::RefreshSorting() {
  if (!IsAutoSort()) return;
  WithinUpdate(*this, [&] {
    TdxTreeListColumn* column = SortedColumn();
    if (column && column->Sorted() != csNone) SortNodes(-1, column->Index(), column->Sorted() == csDown);
  });
}

void TdxTreeList::BeforeColumnSorted(TdxTreeListColumn* column) {
  (void)column;
  // A plain click sorts by one column only.
  if (IsAutoSort() && !FlagMultiSort && LockSorting() == 0) ClearColumnsSorted();
}

void TdxTreeList::AfterColumnSorted(TdxTreeListColumn* column) {
  if (IsMultiSort()) SortedColumn();
  if (column->Sorted() != csNone) AddSortedColumn(column);
  if (IsAutoSort() && LockSorting() == 0) SortNodes(-1, column->Index(), column->Sorted() == csDown);
}

void TdxTreeList::RequestSortRefresh() {
  if (ClearingNodes() || IsDestroying() || !IsAutoSortRefresh()) return;
  if (LockUpdate() != 0)
    NeededSortRefresh = true;
  else
    RefreshSorting();
}

void TdxTreeList::SetNodeString(TdxTreeListNode* node, int column, const WideString& value) {
  TCustomdxTreeListControl::SetNodeString(node, column, value);
  RequestSortRefresh();
}

void TdxTreeList::NodeInserted(TdxTreeListNode* node) {
  TCustomdxTreeListControl::NodeInserted(node);
  RequestSortRefresh();
}

void TdxTreeList::LayoutRefreshing() {
  TCustomdxTreeListControl::LayoutRefreshing();
  HideEditor();
  if (NeededSortRefresh && IsAutoSortRefresh() && !IsDestroying()) RefreshSorting();
  NeededSortRefresh = false;
}

void TdxTreeList::SaveEditValue(TdxTreeListNode* node, int column, Variant& value, TdxInplaceEdit* editor) {
  TdxTreeListColumn* focused = Columns(GetFocusedAbsoluteIndex(column));  // Column is the editor's visible column
  if (!focused) {
    value = Variant(WideString());
    return;
  }
  focused->AssignEditValue(node, editor, value);
  if (!OneEditUpdateIsEnough) SetNodeString(node, focused->Index(), focused->GetNodeText(node));
  if (IsRowAutoHeight() || (IsPreview() && IsAutoCalcPreviewLines()))
    WithinUpdate(*this, [&] { node->FRowHeight = 0; });
  if (IsAutoSortRefresh() && !IsDestroying() && LockUpdate() == 0) {
    RefreshSorting();
    node->MakeVisible();
  }
}

TdxGridIndicatorKind TdxTreeList::GetRowIndicatorKind(TdxTreeListNode* node, bool selected) {
  if (node && node->Focused()) return selected && IsMultiSelect() ? ikMultiArrow : ikArrow;
  return selected ? ikMultiDot : ikNone;
}

void TdxTreeList::GetPreviewText(TdxTreeListNode* node, WideString& text) {
  TCustomdxTreeListControl::GetPreviewText(node, text);
  if (OnGetPreviewText) OnGetPreviewText(this, node, text);
}

int TdxTreeList::GetRowLineCount(TdxTreeListNode* node, int& lineHeight) {
  int count = TCustomdxTreeListControl::GetRowLineCount(node, lineHeight);
  if (OnGetRowLineCount) OnGetRowLineCount(this, node, count);
  return count;
}

int TdxTreeList::GetPreviewLineCount(TdxTreeListNode* node) {
  int count = TCustomdxTreeListControl::GetPreviewLineCount(node);
  if (OnGetPreviewLineCount) OnGetPreviewLineCount(this, node, count);
  return count;
}

void TdxTreeList::GetFooterCellText(TdxTreeListNode* node, int column, int level, WideString& text) {
  text.clear();
  if (OnGetFooterCellText) OnGetFooterCellText(this, node, Columns(column), level, text);
}

bool TdxTreeList::IsExistRowFooterCell(TdxTreeListNode* node, int column, int level) {
  bool exist = false;
  if (OnIsExistRowFooterCell) OnIsExistRowFooterCell(this, node, Columns(column), level, exist);
  return exist;
}

bool TdxTreeList::IsLevelFooter(int level) {
  bool exist = false;
  if (OnIsLevelFooter) OnIsLevelFooter(this, level, exist);
  return exist;
}

// ---- the node stream

void TdxTreeList::WriteNodeRecord(TStream& stream, TdxTreeListNode* node) {
  auto* text = node->Is<TdxTreeListTextNode>() ? static_cast<TdxTreeListTextNode*>(node) : nullptr;
  int32_t strings = text ? text->Strings.Count() : 0;
  const int32_t record[7] = {24,
                             node->ImageIndex(),
                             node->SelectedIndex(),
                             node->StateIndex(),
                             int32_t(uint32_t(reinterpret_cast<uintptr_t>(node->Data()))),
                             node->Count(),
                             strings};
  stream.WriteBuffer(record, sizeof record);
  for (int32_t i = 0; i < strings; ++i) {
    std::string bytes = WideToAnsi(text->Strings.Get(i));
    stream.WriteValue(int32_t(bytes.size()));
    if (!bytes.empty()) stream.WriteBuffer(bytes.data(), bytes.size());
  }
}

void TdxTreeList::SaveNodes(TStream& stream) {
  stream.WriteValue(int32_t(-1));
  stream.WriteValue(int32_t(Count()));
  // Depth first, parents before their children, without recursion.
  std::vector<TdxTreeListNode*> pending;
  for (int i = Count() - 1; i >= 0; --i) pending.push_back(GetItem(i));
  while (!pending.empty()) {
    TdxTreeListNode* node = pending.back();
    pending.pop_back();
    WriteNodeRecord(stream, node);
    for (int i = node->Count() - 1; i >= 0; --i) pending.push_back(node->GetItem(i));
  }
}

int32_t TdxTreeList::ReadNodeRecord(TStream& stream, TdxTreeListNode* node) {
  int32_t length = stream.ReadValue<int32_t>();
  if (length < 24) RaiseBadStream(L"record length below 24");
  if (length > BytesLeft(stream)) RaiseBadStream(L"record past the end of the stream");
  int32_t fields[6];
  stream.ReadBuffer(fields, sizeof fields);
  if (length > 24) stream.Seek(length - 24, TSeekOrigin::soCurrent);
  int32_t children = fields[4], strings = fields[5];
  int lengthWidth = FStreamVersion != 0 ? 4 : 1;
  // Every child needs a whole record and every string its length: counts beyond the bytes left are false.
  if (children < 0 || int64_t(children) * kNodeRecordSize > BytesLeft(stream)) RaiseBadStream(L"child count");
  if (strings < 0 || int64_t(strings) * lengthWidth > BytesLeft(stream)) RaiseBadStream(L"string count");
  node->SetImageIndex(fields[0]);
  node->SetSelectedIndex(fields[1]);
  node->SetStateIndex(fields[2]);
  node->SetData(reinterpret_cast<void*>(uintptr_t(uint32_t(fields[3]))));
  std::string bytes;
  for (int32_t i = 0; i < strings; ++i) {
    int64_t size = lengthWidth == 4 ? int64_t(stream.ReadValue<int32_t>()) : int64_t(stream.ReadValue<uint8_t>());
    if (size < 0 || size > BytesLeft(stream)) RaiseBadStream(L"string length");
    bytes.resize(std::size_t(size));
    if (size > 0) stream.ReadBuffer(bytes.data(), std::size_t(size));
    SetNodeString(node, i, AnsiToWide(bytes));
  }
  return children;
}

void TdxTreeList::LoadNodeTree(TStream& stream, TdxTreeListNode* top) {
  struct TFrame {
    TdxTreeListNode* Node;
    int32_t ChildrenLeft;
  };
  std::vector<TFrame> frames;
  if (int32_t children = ReadNodeRecord(stream, top); children > 0) frames.push_back({top, children});
  while (!frames.empty()) {
    TFrame& frame = frames.back();
    if (frame.ChildrenLeft == 0) {
      frames.pop_back();
      continue;
    }
    --frame.ChildrenLeft;
    TdxTreeListNode* child = frame.Node->AddChild();
    int32_t children = ReadNodeRecord(stream, child);
    if (children == 0) continue;
    if (int(frames.size()) >= kMaxNodeStreamDepth) RaiseBadStream(L"nodes nested too deep");
    frames.push_back({child, children});
  }
}

void TdxTreeList::LoadNodes(TStream& stream) {
  WithinUpdate(*this, [&] {
    ClearNodes();
    int32_t first = stream.ReadValue<int32_t>();
    int32_t count = first;
    FStreamVersion = 0;
    if (first < 0) {
      FStreamVersion = first;
      count = stream.ReadValue<int32_t>();
    }
    if (count < 0 || int64_t(count) * kNodeRecordSize > BytesLeft(stream)) RaiseBadStream(L"node count");
    for (int32_t i = 0; i < count; ++i) LoadNodeTree(stream, Add());
  });
}

void TdxTreeList::LoadFromStream(TStream& stream) {
  WithinUpdate(*this, [&] {
    ClearNodes();
    LoadNodes(stream);
  });
}

void TdxTreeList::SaveToFile(const WideString& fileName) {
  TFileStream file(fileName, fmCreate);
  SaveToStream(file);
}

void TdxTreeList::LoadFromFile(const WideString& fileName) {
  TFileStream file(fileName, fmOpenRead);
  LoadFromStream(file);
}

void TdxTreeList::AssignNodes(const TPersistent& source) {
  if (!source.Is<TdxTreeList>()) return TCustomdxTreeListControl::Assign(source);
  auto& from = const_cast<TdxTreeList&>(static_cast<const TdxTreeList&>(source));
  if (&from == this) return;
  WithinUpdate(*this, [&] {
    ClearNodes();
    TMemoryStream buffer;
    from.SaveNodes(buffer);
    buffer.SetPosition(0);
    LoadNodes(buffer);
  });
}

void TdxTreeList::DefineProperties(TFiler& filer) {
  TCustomdxTreeListControl::DefineProperties(filer);
  filer.DefineBinaryProperty(
      L"Data", [this](TStream& stream) { LoadNodes(stream); }, [this](TStream& stream) { SaveNodes(stream); },
      Count() > 0);
}

}  // namespace tvk
