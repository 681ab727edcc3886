#pragma once
// A tree list that answers its band, column and value questions from arrays.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "TreeList.h"

namespace treelist_test {

struct TBand {
  int Width = 100;     // stored width
  int MinWidth = 20;   // stored minimum width
  bool Sizable = true;
  std::vector<std::vector<int>> Rows;  // absolute column indexes per header row
};

struct TColumn {
  int Width = 50;
  int MinWidth = 10;
  bool Sizable = true;
  int Band = 0;
  int Row = 0;
  int MaxLineCount = 1;
  std::wstring Caption;
};

inline TBand Band(int width, int minWidth, bool sizable = true, std::vector<std::vector<int>> rows = {}) {
  TBand band;
  band.Width = width;
  band.MinWidth = minWidth;
  band.Sizable = sizable;
  band.Rows = std::move(rows);
  return band;
}

inline TColumn Column(int width, int minWidth, int row = 0, int maxLineCount = 1) {
  TColumn column;
  column.Width = width;
  column.MinWidth = minWidth;
  column.Row = row;
  column.MaxLineCount = maxLineCount;
  return column;
}

class TTestTreeList : public tvk::TCustomdxTreeList {
public:
  explicit TTestTreeList(tvk::TComponent* owner = nullptr) : TCustomdxTreeList(owner) {}
  ~TTestTreeList() override { PrepareDestroy(); }

  std::vector<TBand> Bands;
  std::vector<TColumn> Columns;
  std::map<const tvk::TdxTreeListNode*, std::vector<std::wstring>> Texts;
  // Lines a cell's text wraps into (by its text), for the auto-height measure.
  std::map<std::wstring, int> WrappedLines;
  int PanelRows = 1;
  tvk::TImageList* NodeImages = nullptr;
  int Invalidations = 0;
  int ClearSelections = 0;
  int Selected = 0;

  void Invalidate() override {
    ++Invalidations;
    TCustomdxTreeList::Invalidate();
  }
  void ClearSelection() override { ++ClearSelections; }
  int SelectedCount() override { return Selected; }

  tvk::TdxTreeListNode* CreateNode() override { return new tvk::TdxTreeListNode(this); }
  std::wstring GetNodeString(const tvk::TdxTreeListNode* node, int column) override {
    auto it = Texts.find(node);
    if (it == Texts.end() || column >= int(it->second.size())) return {};
    return it->second[std::size_t(column)];
  }
  void SetNodeString(tvk::TdxTreeListNode* node, int column, const std::wstring& value) override {
    auto& texts = Texts[node];
    if (int(texts.size()) <= column) texts.resize(std::size_t(column) + 1);
    texts[std::size_t(column)] = value;
  }
  void GetCellText(tvk::TdxTreeListNode* node, int column, std::wstring& text) override {
    text = GetNodeString(node, column);
  }
  void NodeDeleted(tvk::TdxTreeListNode* node, tvk::TdxTreeListNode* priorParent, bool wasVisible, bool wasLast,
                   tvk::TdxTreeListNode* nextVisible) override {
    Texts.erase(node);
    TCustomdxTreeList::NodeDeleted(node, priorParent, wasVisible, wasLast, nextVisible);
  }

  int GetHeaderPanelRowCount() override { return PanelRows; }
  tvk::TImageList* GetNodeImages(tvk::TdxTreeListNode*) override { return NodeImages; }
  int GetValueCount() override { return int(Columns.size()); }
  int GetVisibleBandCount() override { return int(Bands.size()); }
  int GetBandCount() override { return int(Bands.size()); }
  int GetBandWidthStored(int band) override { return Bands.at(std::size_t(band)).Width; }
  int GetBandMinWidthStored(int band) override { return Bands.at(std::size_t(band)).MinWidth; }
  bool IsBandSizing(int band) override { return Bands.at(std::size_t(band)).Sizable; }
  int GetHeaderRowCount(int band) override { return int(Bands.at(std::size_t(band)).Rows.size()); }
  int GetHeaderColCount(int band, int row) override {
    return int(Bands.at(std::size_t(band)).Rows.at(std::size_t(row)).size());
  }
  int GetHeaderAbsoluteIndex(int band, int row, int col) override {
    return Bands.at(std::size_t(band)).Rows.at(std::size_t(row)).at(std::size_t(col));
  }
  int GetColumnWidth(int column) override { return Columns.at(std::size_t(column)).Width; }
  int GetColumnMinWidth(int column) override { return Columns.at(std::size_t(column)).MinWidth; }
  bool GetColumnSizing(int column) override { return Columns.at(std::size_t(column)).Sizable; }
  int GetColumnBandIndex(int column) override { return Columns.at(std::size_t(column)).Band; }
  int GetColumnRowIndex(int column) override { return Columns.at(std::size_t(column)).Row; }
  int GetHeaderMaxLineCount(int column) override { return Columns.at(std::size_t(column)).MaxLineCount; }
  void GetHeaderCaption(int column, std::wstring& text) override { text = Columns.at(std::size_t(column)).Caption; }
  bool ColumnCalcLineCount(tvk::TdxTreeListNode*, int, int&, int& lineCount, bool, bool, int, int, int,
                           const std::wstring& text) override {
    auto it = WrappedLines.find(text);
    lineCount = it == WrappedLines.end() ? 1 : it->second;
    return true;
  }
};

}  // namespace treelist_test
