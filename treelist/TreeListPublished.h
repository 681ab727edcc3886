#pragma once
// The tree list that forms use: it keeps the list of selected nodes, stores
// edited values into its text nodes, answers the preview, footer and
// indicator questions through events, and saves and loads its nodes as a
// binary node stream (to a stream, a file, the form property "Data", or
// another tree list). Also the designer object of the unit.
#include <cstdint>
#include <vector>

#include "Streams.h"
#include "TreeListControl.h"

namespace tvk {

class TdxTreeList;

// Node records nest at most this deep in a node stream; deeper ones are refused.
constexpr int kMaxNodeStreamDepth = 1024;
// The size of a record without its strings: its length and the 24 bytes it counts.
constexpr int kNodeRecordSize = 28;

using TdxTLGetPreviewText = std::function<void(TObject* Sender, TdxTreeListNode* ANode, WideString& AText)>;
using TdxTLGetLineCount = std::function<void(TObject* Sender, TdxTreeListNode* ANode, int& LCount)>;
using TdxTLGetFooterCellText = std::function<void(TObject* Sender, TdxTreeListNode* ANode,
                                                  TdxTreeListColumn* AColumn, int AFooterIndex, WideString& AText)>;
using TdxTLIsExistRowFooterCell = std::function<void(TObject* Sender, TdxTreeListNode* ANode,
                                                     TdxTreeListColumn* AColumn, int AFooterIndex, bool& AExist)>;
using TdxTLIsLevelFooter = std::function<void(TObject* Sender, int ALevel, bool& AExist)>;

class TdxTreeList : public TCustomdxTreeListControl {
public:
  TVK_CLASS(TdxTreeList, TCustomdxTreeListControl)
  explicit TdxTreeList(TComponent* owner);
  ~TdxTreeList() override;

  // --- the node stream
  void SaveNodes(TStream& stream);
  // Clears the nodes, then reads them; a damaged stream raises EReadError with the nodes read so far kept.
  void LoadNodes(TStream& stream);
  void SaveToStream(TStream& stream) { SaveNodes(stream); }
  void LoadFromStream(TStream& stream);
  void SaveToFile(const WideString& fileName);
  void LoadFromFile(const WideString& fileName);
  void AssignNodes(const TPersistent& source);
  int StreamVersion() const { return FStreamVersion; }
  void DefineProperties(TFiler& filer) override;

  // --- selection, kept in the order of node identity (addresses)
  bool IsNodeSelected(const TdxTreeListNode* node) override;
  void SelectNode(TdxTreeListNode* node, bool value) override;
  int SelectedCount() override { return int(FSelectedNodes.size()); }
  TdxTreeListNode* GetSelectedItem(int index) override { return SelectedNodes(index); }
  TdxTreeListNode* SelectedNodes(int index) const;
  void GetSelectedNodes(TdxTreeListNodeList& nodes) override { nodes.assign(FSelectedNodes.begin(), FSelectedNodes.end()); }
  void ClearSelection() override;
  void DeleteSelection() override;
  void SelectAll() override;
  void SelectRange(TdxTreeListNode* node1, TdxTreeListNode* node2) override;

  // --- values, sorting and the row questions
  void GetNodeSortValue(TdxTreeListNode* node, int column, Variant& value) override;
  void ClearColumnsSorted() override;
  // The primary sort column: the first sorted column, or with aoMultiSort the
  // first of SortedColumns (the first sorted column joins an empty list).
  TdxTreeListColumn* SortedColumn();
  void RefreshSorting() override;
  void BeforeColumnSorted(TdxTreeListColumn* column) override;
  void AfterColumnSorted(TdxTreeListColumn* column) override;
  // A node's text, a new node or a deleted one asks for a re-sort: at once,
  // or after the update under way (NeededSortRefresh).
  void RequestSortRefresh();
  void SetNodeString(TdxTreeListNode* node, int column, const WideString& value) override;
  void NodeInserted(TdxTreeListNode* node) override;
  void LayoutRefreshing() override;
  // Stores an accepted editor value into the node (the focused column's cell).
  void SaveEditValue(TdxTreeListNode* node, int column, Variant& value, TdxInplaceEdit* editor) override;
  TdxGridIndicatorKind GetRowIndicatorKind(TdxTreeListNode* node, bool selected) override;
  void GetPreviewText(TdxTreeListNode* node, WideString& text) override;
  int GetRowLineCount(TdxTreeListNode* node, int& lineHeight) override;
  int GetPreviewLineCount(TdxTreeListNode* node) override;
  void GetFooterCellText(TdxTreeListNode* node, int column, int level, WideString& text) override;
  bool IsExistRowFooterCell(TdxTreeListNode* node, int column, int level) override;
  bool IsLevelFooter(int level) override;
  void NodeDeleted(TdxTreeListNode* node, TdxTreeListNode* priorParent, bool wasVisible, bool wasLast,
                   TdxTreeListNode* nextVisible) override;

  bool NeededSortRefresh = false;
  bool OneEditUpdateIsEnough = false;
  TdxTLGetFooterCellText OnGetFooterCellText;
  TdxTLGetLineCount OnGetPreviewLineCount, OnGetRowLineCount;
  TdxTLGetPreviewText OnGetPreviewText;
  TdxTLIsExistRowFooterCell OnIsExistRowFooterCell;
  TdxTLIsLevelFooter OnIsLevelFooter;

private:
  void WriteNodeRecord(TStream& stream, TdxTreeListNode* node);
  // Reads one record into Node; answers its child count.
  int32_t ReadNodeRecord(TStream& stream, TdxTreeListNode* node);
  void LoadNodeTree(TStream& stream, TdxTreeListNode* node);
  std::size_t SelectionPosition(const TdxTreeListNode* node) const;

  std::vector<TdxTreeListNode*> FSelectedNodes;  // ascending by address
  int FStreamVersion = 0;
};

}  // namespace tvk
