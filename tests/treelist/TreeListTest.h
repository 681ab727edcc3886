#pragma once
// A tree list that answers its band, column and value questions from arrays.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <stdexcept>
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
  // Fixed bands (visible indexes), -1 for none.
  int FixedLeft = -1;
  int FixedRight = -1;
  bool StatusPanel = false;
  bool StatusCloseButton = false;
  int PaintFocus = -1;  // 1 or 0 stands in for the input focus; -1 asks the window
  // The selection, when a test keeps one (else Selected counts).
  bool KeepSelection = false;
  std::set<const tvk::TdxTreeListNode*> SelectedNodes;
  std::map<const tvk::TdxTreeListNode*, int> ImageIndexes;
  std::map<int, tvk::TColor> ColumnColors;
  // Painting hooks: the cells handed on, the node brackets, a custom draw.
  struct TDrawnCell {
    const tvk::TdxTreeListNode* Node;
    int Column;
    RECT Rect;
    tvk::TColor BkColor;
    tvk::TColor TextColor;
    bool Selected;
  };
  std::vector<TDrawnCell> DrawnCells;
  int BeginDrawNodes = 0;
  int EndDrawNodes = 0;
  std::function<void(int column, tvk::TColor& color, bool& done)> CustomDrawCell;
  bool ThrowInDrawCellValue = false;
  std::function<void(int level, tvk::TColor& color)> LevelColor;

  void Invalidate() override {
    ++Invalidations;
    TCustomdxTreeList::Invalidate();
  }
  void ClearSelection() override {
    ++ClearSelections;
    SelectedNodes.clear();
  }
  int SelectedCount() override { return KeepSelection ? int(SelectedNodes.size()) : Selected; }
  bool IsNodeSelected(const tvk::TdxTreeListNode* node) override { return SelectedNodes.count(node) != 0; }
  void SelectNode(tvk::TdxTreeListNode* node, bool value) override {
    if (value)
      SelectedNodes.insert(node);
    else
      SelectedNodes.erase(node);
  }
  void GetSelectedNodes(tvk::TdxTreeListNodeList& nodes) override {
    for (const tvk::TdxTreeListNode* node : SelectedNodes) nodes.push_back(const_cast<tvk::TdxTreeListNode*>(node));
  }
  int GetNodeImageIndex(const tvk::TdxTreeListNode* node) override {
    auto it = ImageIndexes.find(node);
    return it == ImageIndexes.end() ? -1 : it->second;
  }
  int GetNodeSelectedIndex(const tvk::TdxTreeListNode* node) override { return GetNodeImageIndex(node); }
  int GetNodeStateIndex(const tvk::TdxTreeListNode*) override { return -1; }
  int GetFixedLeftBandIndex() override { return FixedLeft; }
  int GetFixedRightBandIndex() override { return FixedRight; }
  bool IsStatusPanel() override { return StatusPanel; }
  bool IsStatusCloseButton() override { return StatusCloseButton; }
  bool IsPaintFocused() override { return PaintFocus == -1 ? TCustomdxTreeList::IsPaintFocused() : PaintFocus == 1; }
  int GetColumnColIndex(int column) override {
    const TColumn& c = Columns.at(std::size_t(column));
    const auto& row = Bands.at(std::size_t(c.Band)).Rows.at(std::size_t(c.Row));
    for (std::size_t i = 0; i < row.size(); ++i)
      if (row[i] == column) return int(i);
    return 0;
  }
  tvk::TColor GetColumnColor(int column) override {
    auto it = ColumnColors.find(column);
    return it == ColumnColors.end() ? Color() : it->second;
  }
  tvk::TdxGridIndicatorKind GetRowIndicatorKind(tvk::TdxTreeListNode* node, bool selected) override {
    return node == FocusedNode() ? tvk::ikArrow : selected ? tvk::ikMultiDot : tvk::ikNone;
  }
  void DrawCellValue(HDC dc, const RECT& rect, tvk::TdxTreeListCellViewData& cell, int column) override {
    if (ThrowInDrawCellValue) throw std::runtime_error("cell");
    DrawnCells.push_back({cell.Cell_Node, column, rect, cell.Cell_BkColor, cell.Cell_TextColor, cell.Cell_Selected});
    FillRect(dc, &rect, cell.Cell_Brush);
  }
  void BeginDrawNode(tvk::TdxTreeListNode*) override { ++BeginDrawNodes; }
  void EndDrawNode(tvk::TdxTreeListNode*) override { ++EndDrawNodes; }
  bool IsCustomDrawCell(tvk::TdxTreeListNode*, int) override { return bool(CustomDrawCell); }
  void DoCustomDrawCell(tvk::TCanvas&, const RECT&, bool& done, tvk::TAlignment&, tvk::TFont&, tvk::TColor& color,
                        std::wstring&, HBRUSH, bool, bool, bool, bool, bool, int column, tvk::TdxTreeListNode*) override {
    if (CustomDrawCell) CustomDrawCell(column, color, done);
  }
  bool IsLevelColor() override { return bool(LevelColor); }
  void GetLevelColor(int level, tvk::TColor& color) override {
    if (LevelColor) LevelColor(level, color);
  }

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
