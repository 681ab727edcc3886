#pragma once
// A stand-in host of in-place editors: a container with switchable answers
// that records the keys, characters, neighbour moves and focus calls its
// editor passes on, keeps one live editor over one cell of a column of text
// cells and paints the other cells without a window, through the editor
// class's class functions.
#include "VariantValues.h"
#include "dxCntner.h"
#include "dxEditor.h"

#include <memory>
#include <vector>

namespace tvk_test {

class TCellHost : public tvk::TCustomdxContainer {
public:
  TVK_CLASS(TCellHost, tvk::TCustomdxContainer)
  explicit TCellHost(tvk::TComponent* owner) : tvk::TCustomdxContainer(owner) {}

  // Answers
  bool EditModify = true;
  bool AcceptKey = true;
  bool KeyBlocked = false;
  bool WantTabsAnswer = false;
  bool ShowButtonAlways = false;
  // Records
  std::vector<WORD> KeysDown;
  std::vector<wchar_t> CharsSeen;
  std::vector<bool> NeighbourMoves;  // true: left
  int FocusChanges = 0;
  std::vector<HWND> KillFocusTargets;
  std::vector<int> LineScrolls;  // lines per call, negative upwards

  bool CanEditModify() override { return EditModify; }
  bool CanEditAcceptKey(wchar_t key) override {
    (void)key;
    return AcceptKey;
  }
  bool IsEditorKeyBlocked() override { return KeyBlocked; }
  bool InplaceEditWantTabs() override { return WantTabsAnswer; }
  bool IsShowButtonAlways() override { return ShowButtonAlways; }
  void MoveToNeighbourCell(bool left) override { NeighbourMoves.push_back(left); }
  void InplaceEditFocusChanged() override { ++FocusChanges; }
  void InplaceEditKillFocus(HWND focused) override { KillFocusTargets.push_back(focused); }
  void KeyDown(WORD& key, tvk::TShiftState shift) override {
    (void)shift;
    KeysDown.push_back(key);
  }
  void KeyPress(wchar_t& key) override { CharsSeen.push_back(key); }
  void ScrollByLines(bool up, int count) override {
    LineScrolls.push_back(up ? -count : count);
    tvk::TCustomdxContainer::ScrollByLines(up, count);
  }

  // Cells: one column of values, CellHeight pixels each, the host's width.
  std::vector<tvk::Variant> Cells;
  int CellHeight = 20;
  int EditingCell = -1;
  tvk::TdxInplaceEdit* Editor = nullptr;  // owned by the host (a component it owns)

  RECT CellRect(int index) { return RECT{0, index * CellHeight, Width(), (index + 1) * CellHeight}; }

  // Loads the cell's text into the editor and lays the editor over it.
  void EditCell(int index, bool activate = true) {
    EditingCell = index;
    BeginInitEdit();
    Editor->SetEditValue(Cells[static_cast<std::size_t>(index)]);
    Editor->SetEditModified(false);
    Editor->SetActive(true);
    EndInitEdit();
    if (!activate) Editor->LockActivate();
    Editor->Move(CellRect(index));
    if (!activate) Editor->UnLockActivate();
  }

  // Takes the value back and hides the editor.
  void CloseEditor() {
    if (EditingCell >= 0) Cells[static_cast<std::size_t>(EditingCell)] = Editor->GetEditValue();
    Editor->Hide();
    EditingCell = -1;
  }

  // Paints every cell but the edited one into Dc.
  void PaintCells(HDC dc, tvk::TdxEditBorderStyle border = tvk::xbsSingle) {
    const tvk::TdxInplaceEditClass& cls = Editor ? Editor->EditClass() : tvk::TdxInplaceTextEditClass::Instance();
    for (int i = 0; i < static_cast<int>(Cells.size()); ++i) {
      if (i == EditingCell) continue;
      auto vd = cls.CreateViewDataObject();
      vd->Enabled = true;
      vd->BorderStyle = border;
      vd->BorderColor = tvk::clBlack;
      vd->Edges = tvk::kAllEdges;
      vd->ViewBounds = CellRect(i);
      vd->Brush = GetSysColorBrush(COLOR_WINDOW);
      vd->BkColor = GetSysColor(COLOR_WINDOW);
      vd->TextColor = GetSysColor(COLOR_WINDOWTEXT);
      vd->Font = Font().Handle();
      vd->Data = Cells[static_cast<std::size_t>(i)];
      cls.Draw(dc, vd->ViewBounds, *vd, nullptr);
    }
  }

protected:
  void Paint() override { PaintCells(Canvas().Handle()); }
};

}  // namespace tvk_test
