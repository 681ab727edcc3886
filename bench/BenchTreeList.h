// The least tree list the benchmarks lay out and paint: one band of Columns
// equal columns, nodes without images.
#pragma once

#include "TreeList.h"

namespace tvk {

template <int Columns>
class TBenchTreeList : public TCustomdxTreeList {
public:
  explicit TBenchTreeList(TComponent* owner = nullptr) : TCustomdxTreeList(owner) {}
  ~TBenchTreeList() override { PrepareDestroy(); }
  TdxTreeListNode* CreateNode() override { return new TdxTreeListNode(this); }
  int GetNodeStateIndex(const TdxTreeListNode*) override { return -1; }
  int GetNodeImageIndex(const TdxTreeListNode*) override { return -1; }
  int GetNodeSelectedIndex(const TdxTreeListNode*) override { return -1; }
  int GetValueCount() override { return Columns; }
  int GetVisibleBandCount() override { return 1; }
  int GetBandCount() override { return 1; }
  int GetHeaderRowCount(int) override { return 1; }
  int GetHeaderColCount(int, int) override { return Columns; }
  int GetHeaderAbsoluteIndex(int, int, int col) override { return col; }
  int GetColumnWidth(int) override { return 80; }
  int GetColumnMinWidth(int) override { return 20; }
  int GetColumnColIndex(int column) override { return column; }
};

}  // namespace tvk
