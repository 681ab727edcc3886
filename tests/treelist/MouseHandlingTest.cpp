// The tree list under the mouse, through real window messages: clicks and
// selection, expanding, editing after a click, sizing and header clicks,
// node drags onto another control and outside drags over the list, hot
// tracking with tooltips, and the middle-button scroll mode.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Forms.h"
#include "TreeListMouse.h"
#include "TreeListPublished.h"
#include "TreeListRoutines.h"
#include "TreeListScrolling.h"
#include "TreeListWindow.h"
#include "dxTLClms.h"

namespace treelist_test {
namespace {

using namespace tvk;

class TMouseTree : public TdxTreeList {
public:
  TVK_CLASS(TMouseTree, TdxTreeList)
  explicit TMouseTree(TComponent* owner) : TdxTreeList(owner) {}
  ~TMouseTree() override { PrepareDestroy(); }
  int BestFits = -1;
  void ApplyColumnBestFit(int column) override { BestFits = column; }
};

// A drop target beside the list.
class TDropPanel : public TCustomControl {
public:
  explicit TDropPanel(TComponent* owner) : TCustomControl(owner) {}
};

LPARAM At(POINT p) { return MAKELPARAM(WORD(short(p.x)), WORD(short(p.y))); }

// A shown, top-most form with a 300 x 200 list of two 100-pixel columns and
// Rows nodes ("n0", ...), node 1 with a collapsed child; a panel to its right.
struct TMouseForm {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  TMouseTree* Tree;
  TDropPanel* Panel;
  TdxTreeListColumn* Columns[2];
  std::vector<TdxTreeListNode*> Nodes;
  TdxTreeListNode* Child;
  int Downs = 0, DblClicks = 0;

  explicit TMouseForm(int rows = 4) {
    Form->SetBounds(100, 100, 520, 320);
    Tree = CreateComponent<TMouseTree>(Form.get());
    Tree->SetParent(Form.get());
    Tree->SetBounds(0, 0, 300, 200);
    Panel = new TDropPanel(Form.get());
    Panel->SetParent(Form.get());
    Panel->SetBounds(350, 0, 100, 100);
    for (TdxTreeListColumn*& c : Columns) {
      c = Tree->CreateColumn(ComponentClassOf<TdxTreeListColumn>());
      c->SetWidth(100);
    }
    for (int i = 0; i < rows; ++i) {
      TdxTreeListNode* node = Tree->Add();
      node->SetString(0, L"n" + std::to_wstring(i));
      node->SetString(1, L"v" + std::to_wstring(i));
      Nodes.push_back(node);
    }
    Child = Nodes[1]->AddChild();
    Child->SetString(0, L"child");
    Tree->SetOptions((Tree->Options() & ~OptionBit(aoRowSelect)) | OptionBit(aoMultiSelect));
    Tree->OnMouseDown = [this](TObject*, TMouseButton, TShiftState, int, int) { ++Downs; };
    Tree->OnDblClick = [this](TObject*) { ++DblClicks; };
    Form->HandleNeeded();
    SetWindowPos(Form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Form->Show();
    Tree->SetFocus();
    Screen().SetCursor(crDefault);
  }
  ~TMouseForm() {
    if (Tree->Dragging()) Tree->EndDrag(false);
    Form->Hide();
  }
  void Send(UINT msg, POINT p, WPARAM keys = 0) {
    const POINT screen = Tree->ClientToScreen(p);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(Tree->Handle(), msg, keys, At(p));
  }
  void Click(POINT p, WPARAM keys = 0) {
    Send(WM_LBUTTONDOWN, p, MK_LBUTTON | keys);
    Send(WM_LBUTTONUP, p, keys);
  }
  POINT Cell(TdxTreeListNode* node, int column) {
    RECT r = Tree->CellRect(node, column);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  // The first point of the node's row that hits the kind (fails the test when none does).
  POINT Find(TdxTreeListNode* node, TdxTreeListHitTest kind) {
    RECT r;
    Tree->GetNodeRowRect(node, r);
    const int y = (r.top + r.bottom) / 2;
    for (int x = 0; x < 300; ++x)
      if (Tree->GetHitInfo(POINT{x, y}).hitType == kind) return POINT{x, y};
    ADD_FAILURE() << "no such part in the row";
    return POINT{0, y};
  }
  TdxGridHeaderDrawInfo Header(int column) {
    TdxGridDrawInfo info;
    Tree->CalcDrawInfo(info);
    for (const TdxGridHeaderDrawInfo& h : info.HeadersInfo)
      if (h.AbsoluteIndex == column) return h;
    ADD_FAILURE() << "no header " << column;
    return {};
  }
};

int SelectedOf(TMouseForm& f) { return f.Tree->SelectedCount(); }

TEST(TreeListMouse, ClicksFocusAndSelectWithShiftAndCtrlWithoutAMouseDownEventForModifiedClicks) {
  TMouseForm f;
  f.Click(f.Cell(f.Nodes[0], 1));
  EXPECT_EQ(f.Nodes[0], f.Tree->FocusedNode());
  EXPECT_EQ(1, f.Tree->FocusedColumn());
  EXPECT_EQ(1, SelectedOf(f));
  EXPECT_EQ(1, f.Downs);
  f.Click(f.Cell(f.Nodes[2], 0), MK_SHIFT);
  EXPECT_EQ(3, SelectedOf(f)) << "the range from the anchor";
  EXPECT_EQ(f.Nodes[0], f.Tree->SelectionAnchor());
  f.Click(f.Cell(f.Nodes[3], 0), MK_CONTROL);
  EXPECT_EQ(4, SelectedOf(f));
  EXPECT_EQ(f.Nodes[3], f.Tree->SelectionAnchor()) << "Ctrl moves the anchor";
  f.Click(f.Cell(f.Nodes[3], 0), MK_CONTROL);
  EXPECT_FALSE(f.Nodes[3]->Selected());
  EXPECT_EQ(1, f.Downs) << "modified clicks fire no mouse-down event";
  // A plain press on a selected node keeps the selection until the release.
  f.Send(WM_LBUTTONDOWN, f.Cell(f.Nodes[1], 0), MK_LBUTTON);
  EXPECT_EQ(3, SelectedOf(f));
  f.Send(WM_LBUTTONUP, f.Cell(f.Nodes[1], 0));
  EXPECT_EQ(1, SelectedOf(f));
  EXPECT_TRUE(f.Nodes[1]->Selected());
  EXPECT_EQ(tsNormal, f.Tree->State());
}

TEST(TreeListMouse, TheButtonTogglesWithoutEventsAndADoubleClickTogglesOnlyWithDblClkExpanding) {
  TMouseForm f;
  const POINT button = f.Find(f.Nodes[1], htButton);
  f.Click(button);
  EXPECT_TRUE(f.Nodes[1]->Expanded());
  EXPECT_EQ(0, f.Downs) << "a press on the button ends there";
  f.Click(button);
  EXPECT_FALSE(f.Nodes[1]->Expanded());
  const POINT cell = f.Cell(f.Nodes[1], 0);
  f.Send(WM_LBUTTONDBLCLK, cell, MK_LBUTTON);
  f.Send(WM_LBUTTONUP, cell);
  EXPECT_TRUE(f.Nodes[1]->Expanded());
  EXPECT_EQ(1, f.DblClicks);
  f.Tree->FDblClkExpanding = false;
  f.Send(WM_LBUTTONDBLCLK, cell, MK_LBUTTON);
  f.Send(WM_LBUTTONUP, cell);
  EXPECT_TRUE(f.Nodes[1]->Expanded());
  EXPECT_EQ(2, f.DblClicks);
  f.Send(WM_LBUTTONDBLCLK, button, MK_LBUTTON);
  f.Send(WM_LBUTTONUP, button);
  EXPECT_FALSE(f.Nodes[1]->Expanded()) << "the button toggles a double click too";
  EXPECT_EQ(2, f.DblClicks) << "but it is no double click of the list";
}

TEST(TreeListMouse, ClickingTheFocusedCellEditsAfterTheClickHoverTimer) {
  TMouseForm f;
  f.Click(f.Cell(f.Nodes[2], 0));
  EXPECT_FALSE(f.Tree->ClickHoverEditTimerActive()) << "the first click only focuses";
  f.Click(f.Cell(f.Nodes[2], 1));
  EXPECT_FALSE(f.Tree->ClickHoverEditTimerActive()) << "the column changed";
  f.Click(f.Cell(f.Nodes[2], 1));
  ASSERT_TRUE(f.Tree->ClickHoverEditTimerActive());
  EXPECT_EQ(tsNormal, f.Tree->State());
  f.Tree->Perform(WM_TIMER, kClickHoverEditTimer, 0);
  EXPECT_EQ(tsEditing, f.Tree->State());
  EXPECT_EQ(1, f.Tree->InplaceColumnIndex());
  f.Tree->CloseEditor();
}

TEST(TreeListMouse, SingleClickCheckEditTogglesOnlyWhereTheEditorClassSaysAtTheTruePoint) {
  TMouseForm f;
  auto* check = static_cast<TdxTreeListCheckColumn*>(f.Tree->CreateColumn(ComponentClassOf<TdxTreeListCheckColumn>()));
  check->SetWidth(60);
  f.Tree->FSingleClickCheckEdit = true;
  f.Tree->SetOptions(f.Tree->Options() & ~OptionBit(aoMultiSelect));
  const int column = check->Index();
  f.Nodes[0]->SetString(column, check->ValueUnchecked());
  f.Tree->SetFocusedNode(f.Nodes[0]);
  f.Tree->SetFocusedColumn(column);
  const RECT cell = f.Tree->CellRect(f.Nodes[0], column);
  const int y = (cell.top + cell.bottom) / 2;
  POINT on{-1, y}, off{-1, y};
  int first = -1, last = -1;
  for (int x = cell.left; x < cell.right; ++x) {
    const bool box = f.Tree->IsClickEdit(column, f.Nodes[0], x, y);
    if (box && first < 0) first = x;
    if (box) last = x;
    if (!box) off.x = x;
  }
  if (first >= 0) on.x = (first + last) / 2;
  ASSERT_GE(on.x, 0) << "the check box lies in the cell";
  ASSERT_GE(off.x, 0) << "and not all over it";
  f.Click(off);
  EXPECT_NE(tsEditing, f.Tree->State());
  EXPECT_EQ(check->ValueUnchecked(), f.Nodes[0]->GetString(column));
  f.Click(on);
  ASSERT_EQ(tsEditing, f.Tree->State()) << "the click opens the check editor";
  f.Tree->CancelEditor();
}

TEST(TreeListMouse, AColumnEdgeSizesWithinItsLimitsAndADoubleClickBestFitsInstead) {
  TMouseForm f;
  const TdxGridHeaderDrawInfo h = f.Header(0);
  const POINT edge{h.HeaderRect.right - 1, (h.HeaderRect.top + h.HeaderRect.bottom) / 2};
  ASSERT_EQ(htColumnEdge, f.Tree->GetHitInfo(edge).hitType);
  f.Send(WM_LBUTTONDOWN, edge, MK_LBUTTON);
  EXPECT_EQ(tsColumnSizing, f.Tree->State());
  EXPECT_EQ(0, f.Downs) << "a sizing start fires no mouse-down event";
  f.Send(WM_MOUSEMOVE, POINT{edge.x + 30, edge.y}, MK_LBUTTON);
  EXPECT_EQ(edge.x + 30, f.Tree->SizingPos());
  f.Send(WM_LBUTTONUP, POINT{edge.x + 30, edge.y});
  EXPECT_EQ(tsNormal, f.Tree->State());
  EXPECT_EQ(130, f.Columns[0]->Width());
  // The line stops at the minimum width.
  f.Columns[0]->SetMinWidth(40);
  const TdxGridHeaderDrawInfo h2 = f.Header(0);
  const POINT edge2{h2.HeaderRect.right - 1, edge.y};
  f.Send(WM_LBUTTONDOWN, edge2, MK_LBUTTON);
  f.Send(WM_MOUSEMOVE, POINT{h2.HeaderRect.left + 5, edge.y}, MK_LBUTTON);
  EXPECT_EQ(h2.HeaderRect.left + 40, f.Tree->SizingPos());
  // A right press cancels without a change.
  f.Send(WM_RBUTTONDOWN, POINT{h2.HeaderRect.left + 5, edge.y}, MK_RBUTTON);
  EXPECT_EQ(tsNormal, f.Tree->State());
  f.Send(WM_RBUTTONUP, POINT{h2.HeaderRect.left + 5, edge.y});
  EXPECT_EQ(130, f.Columns[0]->Width());
  f.Send(WM_LBUTTONDBLCLK, edge2, MK_LBUTTON);
  f.Send(WM_LBUTTONUP, edge2);
  EXPECT_EQ(0, f.Tree->BestFits);
  EXPECT_EQ(tsNormal, f.Tree->State());
  EXPECT_EQ(130, f.Columns[0]->Width());
}

TEST(TreeListMouse, AHeaderClickFiresOnlyWhenReleasedOverTheSameHeader) {
  TMouseForm f;
  std::vector<TdxTreeListColumn*> clicked;
  f.Tree->OnColumnClick = [&](TObject*, TdxTreeListColumn* c) { clicked.push_back(c); };
  const TdxGridHeaderDrawInfo a = f.Header(0), b = f.Header(1);
  const POINT pa{(a.HeaderRect.left + a.HeaderRect.right) / 2, (a.HeaderRect.top + a.HeaderRect.bottom) / 2};
  const POINT pb{(b.HeaderRect.left + b.HeaderRect.right) / 2, pa.y};
  f.Send(WM_LBUTTONDOWN, pa, MK_LBUTTON);
  EXPECT_EQ(tsColumnDown, f.Tree->State());
  f.Send(WM_LBUTTONUP, pb);
  EXPECT_TRUE(clicked.empty());
  EXPECT_EQ(tsNormal, f.Tree->State());
  f.Click(pa);
  ASSERT_EQ(1u, clicked.size());
  EXPECT_EQ(f.Columns[0], clicked[0]);
}

TEST(TreeListMouse, AColumnDraggedOutOfTheHeaderPanelHidesOnlyWithExtendedCustomizing) {
  for (bool ext : {false, true}) {
    TMouseForm f;
    if (ext) f.Tree->SetOptions(f.Tree->Options() | OptionBit(aoExtCustomizing));
    const TdxGridHeaderDrawInfo a = f.Header(0);
    const POINT pa{(a.HeaderRect.left + a.HeaderRect.right) / 2, (a.HeaderRect.top + a.HeaderRect.bottom) / 2};
    f.Send(WM_LBUTTONDOWN, pa, MK_LBUTTON);
    f.Send(WM_MOUSEMOVE, POINT{pa.x + 3, pa.y}, MK_LBUTTON);
    EXPECT_EQ(tsColumnDown, f.Tree->State()) << "not past 5 pixels";
    f.Send(WM_MOUSEMOVE, POINT{pa.x, pa.y + 10}, MK_LBUTTON);
    ASSERT_EQ(tsColumnDragging, f.Tree->State());
    f.Send(WM_MOUSEMOVE, POINT{pa.x, 150}, MK_LBUTTON);
    EXPECT_EQ(crdxTreeListDeleteCursor, f.Tree->MoveCursor()) << "below the panel: the remove cursor";
    f.Send(WM_LBUTTONUP, POINT{pa.x, 150});
    EXPECT_EQ(tsNormal, f.Tree->State());
    EXPECT_EQ(nullptr, f.Tree->DragImageList());
    EXPECT_FALSE(f.Tree->ArrowsShown());
    EXPECT_EQ(!ext, f.Columns[0]->Visible()) << "extended customizing " << ext;
  }
}

TEST(TreeListMouse, AHeaderDroppedOnTheRightHalfOfAnotherMovesAfterIt) {
  TMouseForm f;
  const TdxGridHeaderDrawInfo a = f.Header(0), b = f.Header(1);
  const POINT pa{(a.HeaderRect.left + a.HeaderRect.right) / 2, (a.HeaderRect.top + a.HeaderRect.bottom) / 2};
  const POINT after{b.HeaderRect.right - 10, pa.y};
  int moved = 0;
  f.Tree->OnHeaderMoved = [&](TObject*, TdxTreeListColumn*) { ++moved; };
  f.Send(WM_LBUTTONDOWN, pa, MK_LBUTTON);
  f.Send(WM_MOUSEMOVE, POINT{pa.x + 20, pa.y}, MK_LBUTTON);
  f.Send(WM_MOUSEMOVE, after, MK_LBUTTON);
  EXPECT_TRUE(f.Tree->ArrowsShown());
  f.Send(WM_LBUTTONUP, after);
  EXPECT_EQ(1, moved);
  EXPECT_EQ(1, f.Columns[0]->ColIndex());
  EXPECT_EQ(0, f.Columns[1]->ColIndex());
}

// A tree list of the test kind whose column widths are stored.
class TSizedTree : public TTestTreeList {
public:
  using TTestTreeList::TTestTreeList;
  void SetHeaderWidth(int column, int width) override { Columns.at(std::size_t(column)).Width = width; }
  void SetBandWidth(int band, int width) override { Bands.at(std::size_t(band)).Width = width; }
};

// A form with a sized tree of one band per entry, each band's header row holding columns of the given widths.
struct TSizedWindow {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  TSizedTree* Tree;
  explicit TSizedWindow(std::vector<std::vector<int>> bands) {
    Form->SetBounds(0, 0, 500, 300);
    Tree = new TSizedTree(Form.get());
    Tree->FBorderStyle = TdxBorderStyle::bsNone;
    Tree->SetParent(Form.get());
    Tree->SetBounds(0, 0, 400, 200);
    for (const std::vector<int>& widths : bands) {
      TBand b = Band(0, 10);
      std::vector<int> row;
      for (int width : widths) {
        b.Width += width;
        TColumn c = Column(width, 5);
        c.Band = int(Tree->Bands.size());
        row.push_back(int(Tree->Columns.size()));
        Tree->Columns.push_back(c);
      }
      b.Rows = {row};
      Tree->Bands.push_back(b);
    }
    Tree->SetOptionsEx(Tree->OptionsEx() & ~OptionBit(aoBandHeaderWidth));
    Tree->LayoutChanged();
  }
};

// The widths the headers of one row take when one of them is set.
TEST(TreeListMouse, WidthDistributionsShareByMulDivAndTheLastTakesTheRest) {
  struct TCase {
    const char* Name;
    int Column, Width;
    std::vector<int> Expected;
  };
  const TCase cases[] = {
      {"the right neighbours absorb", 0, 150, {150, 25, 25}},
      {"the last one: the left ones absorb", 2, 70, {87, 43, 70}},
      {"the middle one", 1, 20, {100, 20, 80}},
  };
  for (const TCase& c : cases) {
    TSizedWindow w({{100, 50, 50}});
    w.Tree->SetHeaderWidthAuto(0, c.Column, c.Width);
    std::vector<int> widths;
    for (const TColumn& col : w.Tree->Columns) widths.push_back(col.Width);
    EXPECT_EQ(c.Expected, widths) << c.Name;
  }
}

TEST(TreeListMouse, WideningTheLastBandUnderAutoWidthNarrowsTheBandsLeftOfItInProportion) {
  TSizedWindow w({{100}, {50}, {100}});
  TSizedTree* tree = w.Tree;
  tree->SetOptions(tree->Options() | OptionBit(aoAutoWidth));
  tree->LayoutChanged();
  std::vector<int> before;
  for (int j = 0; j < 3; ++j) before.push_back(tree->GetBandWidth(j));
  tree->SetBandWidthAuto(2, before[2] + 30);
  const int d = before[0] + before[1], n = d - 30;
  EXPECT_EQ(MulDiv(before[0], n, d), tree->Bands[0].Width);
  EXPECT_EQ(n - MulDiv(before[0], n, d), tree->Bands[1].Width) << "the rest goes to the band next to it";
  EXPECT_EQ(before[2] + 30, tree->Bands[2].Width);
}

TEST(TreeListMouse, BandAndHeaderPanelSizingSnapsToWholeRows) {
  TTreeWindow w(400, 300);
  w.AddBand({{100}});
  w->FShowBands = true;
  w->LayoutChanged();
  TdxGridDrawInfo info;
  w->CalcRectInfo(info, false);
  const int top = info.BandRect.top;
  int pos = 0, pos2 = 0;
  w->SnapBandPanelSizing(top + w->GetBandPanelHeight(2) + 1, pos, pos2);
  EXPECT_EQ(top + w->GetBandPanelHeight(2), pos);
  w->SnapBandPanelSizing(top + 1000, pos, pos2);
  EXPECT_EQ(top + w->GetBandPanelHeight(5), pos) << "at most 5 band rows";
  EXPECT_EQ(5, w->GetBandRowCountAt(top + 1000));
  const int htop = info.HeaderRect.top, rh = w->FHeaderRowHeight;
  w->SnapHeaderPanelSizing(htop + 2 * rh + rh / 2 - 1, pos, pos2);
  EXPECT_EQ(htop + 2 * rh, pos);
  w->SnapHeaderPanelSizing(htop + 1000, pos, pos2);
  EXPECT_EQ(htop + 4 * rh, pos) << "at most 4 header rows";
  EXPECT_EQ(1, w->GetHeaderRowCountAt(htop));
}

TEST(TreeListMouse, HeaderSizingStopsAtTheBandUnlessFullOrBandSizing) {
  TTreeWindow w(400, 200);
  w.AddBand({{100, 100}});
  w->LayoutChanged();
  int max = 0, min = 0, left = 0;
  w->GetHeaderSizingLimits(0, 50, max, min, left);
  EXPECT_EQ(0, left);
  EXPECT_EQ(10, min);
  EXPECT_EQ(200, max) << "the band's right edge";
  w->SetOptions(w->Options() | OptionBit(aoHeaderBandSizing));
  w->GetHeaderSizingLimits(0, 50, max, min, left);
  EXPECT_EQ(399, max) << "the client's right";
  w->SetOptionsEx(w->OptionsEx() | OptionBit(aoFullSizing));
  w->GetHeaderSizingLimits(0, 50, max, min, left);
  EXPECT_EQ(100000, max);
}

// ---- drags

TEST(TreeListMouse, ANodeDraggedOntoAnotherControlIsDroppedThereWithTheCursorOfTheSelection) {
  for (int selected : {1, 2}) {
    TMouseForm f;
    f.Tree->SetDragMode(TDragMode::dmAutomatic);
    std::vector<TObject*> dropped;
    TdxTreeListNode* begun = nullptr;
    int ended = 0;
    f.Panel->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; };
    f.Panel->OnDragDrop = [&](TObject*, TObject* source, int, int) { dropped.push_back(source); };
    f.Tree->OnBeginDragNode = [&](TObject*, TdxTreeListNode* node) { begun = node; };
    f.Tree->OnEndDrag = [&](TObject*, TObject*, int, int) { ++ended; };
    if (selected == 2) {
      f.Click(f.Cell(f.Nodes[0], 0));
      f.Click(f.Cell(f.Nodes[2], 0), MK_CONTROL);
    }
    const POINT start = f.Cell(f.Nodes[2], 0);
    f.Send(WM_LBUTTONDOWN, start, MK_LBUTTON);
    EXPECT_EQ(tsNodeDown, f.Tree->State());
    f.Send(WM_MOUSEMOVE, POINT{start.x + 10, start.y}, MK_LBUTTON);
    ASSERT_TRUE(f.Tree->Dragging());
    f.Send(WM_MOUSEMOVE, POINT{start.x + 20, start.y}, MK_LBUTTON);
    EXPECT_EQ(tsNodeDragging, f.Tree->State());
    EXPECT_EQ(f.Nodes[2], begun);
    EXPECT_EQ(f.Nodes[2], f.Tree->DragNode());
    EXPECT_NE(nullptr, f.Tree->DragImageList()) << "the node's drag image";
    const POINT over = f.Tree->ScreenToClient(f.Panel->ClientToScreen(POINT{20, 20}));
    f.Send(WM_MOUSEMOVE, over, MK_LBUTTON);
    EXPECT_EQ(selected == 2 ? crMultiDrag : crDrag, Screen().Cursor()) << selected << " selected";
    EXPECT_EQ(selected, f.Tree->SelectedCount()) << "a drag keeps the selection";
    f.Send(WM_LBUTTONUP, over);
    ASSERT_EQ(1u, dropped.size());
    EXPECT_EQ(f.Tree, dropped[0]);
    EXPECT_EQ(1, ended);
    EXPECT_EQ(tsNormal, f.Tree->State());
    EXPECT_EQ(nullptr, f.Tree->DragNode());
    EXPECT_EQ(nullptr, f.Tree->DragImageList());
  }
}

TEST(TreeListMouse, EscapeCancelsANodeDragAndNumpadPlusExpandsTheNodeUnderTheCursor) {
  TMouseForm f;
  f.Tree->SetDragMode(TDragMode::dmAutomatic);
  const POINT start = f.Cell(f.Nodes[2], 0);
  f.Send(WM_LBUTTONDOWN, start, MK_LBUTTON);
  f.Send(WM_MOUSEMOVE, POINT{start.x + 10, start.y}, MK_LBUTTON);
  f.Send(WM_MOUSEMOVE, f.Cell(f.Nodes[1], 0), MK_LBUTTON);
  ASSERT_TRUE(f.Tree->Dragging());
  f.Tree->Perform(WM_KEYDOWN, VK_ADD, 0);
  EXPECT_TRUE(f.Nodes[1]->Expanded());
  f.Tree->Perform(WM_KEYDOWN, VK_SUBTRACT, 0);
  EXPECT_FALSE(f.Nodes[1]->Expanded());
  f.Tree->Perform(WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(f.Tree->Dragging());
  EXPECT_EQ(tsNormal, f.Tree->State());
}

// An outside drag: the panel is dragged over the list.
struct TOutsideDrag {
  TMouseForm F;
  void Begin() {
    const POINT p = F.Panel->ClientToScreen(POINT{5, 5});
    SetCursorPos(p.x, p.y);
    F.Panel->BeginDrag(true);
  }
  void MoveTo(POINT client) {
    const POINT screen = F.Tree->ClientToScreen(client);
    SetCursorPos(screen.x, screen.y);
    const POINT at = F.Panel->ScreenToClient(screen);
    SendMessageW(F.Panel->Handle(), WM_MOUSEMOVE, MK_LBUTTON, At(at));
  }
};

TEST(TreeListMouse, AnOutsideDragTracksTheFocusOnlyWithAnOnDragOverHandler) {
  for (bool handler : {false, true}) {
    TOutsideDrag d;
    if (handler) d.F.Tree->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; };
    d.F.Tree->SetFocusedNode(d.F.Nodes[0]);
    d.Begin();
    d.MoveTo(d.F.Cell(d.F.Nodes[2], 0));
    d.MoveTo(d.F.Cell(d.F.Nodes[3], 1));
    EXPECT_EQ(handler ? static_cast<TObject*>(DragObject()) : nullptr, d.F.Tree->DragTargetObject());
    EXPECT_EQ(handler ? d.F.Nodes[3] : d.F.Nodes[0], d.F.Tree->FocusedNode()) << "handler " << handler;
    d.F.Panel->EndDrag(true);
    EXPECT_EQ(nullptr, d.F.Tree->DragTargetObject());
  }
}

TEST(TreeListMouse, RestingOnAButtonExpandsByTimer101AndTogglesWithDragCollapse) {
  TOutsideDrag d;
  d.F.Tree->OnDragOver = [](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; };
  d.Begin();
  const POINT button = d.F.Find(d.F.Nodes[1], htButton);
  d.MoveTo(button);
  EXPECT_EQ(d.F.Nodes[1], d.F.Tree->DragExpandNode());
  d.F.Tree->Perform(WM_TIMER, kDragExpandTimer, 0);
  EXPECT_TRUE(d.F.Nodes[1]->Expanded());
  d.F.Tree->Perform(WM_TIMER, kDragExpandTimer, 0);
  EXPECT_TRUE(d.F.Nodes[1]->Expanded()) << "without aoDragCollapse it stays open";
  d.F.Tree->SetOptionsEx(d.F.Tree->OptionsEx() | OptionBit(aoDragCollapse));
  d.MoveTo(POINT{button.x, button.y + 1});
  d.F.Tree->Perform(WM_TIMER, kDragExpandTimer, 0);
  EXPECT_FALSE(d.F.Nodes[1]->Expanded());
  d.F.Tree->Perform(WM_TIMER, kDragExpandTimer, 0);
  EXPECT_TRUE(d.F.Nodes[1]->Expanded()) << "toggling while the cursor rests there";
  // Off the button the timer does nothing.
  d.MoveTo(d.F.Cell(d.F.Nodes[0], 1));
  d.F.Tree->Perform(WM_TIMER, kDragExpandTimer, 0);
  EXPECT_TRUE(d.F.Nodes[1]->Expanded());
  d.F.Panel->EndDrag(false);
}

TEST(TreeListMouse, DrawingTheArrowsTwiceLeavesTheScreenAsItWas) {
  TMouseForm f;
  HDC screen = GetDC(nullptr);
  ASSERT_NE(nullptr, screen);
  const POINT at = f.Tree->ClientToScreen(POINT{40, 40});
  auto grab = [&] {
    std::vector<COLORREF> pixels;
    for (int y = 0; y < 36; ++y)
      for (int x = 0; x < 11; ++x) pixels.push_back(GetPixel(screen, at.x + x, at.y + y));
    return pixels;
  };
  const std::vector<COLORREF> before = grab();
  if (before.front() == CLR_INVALID) {
    ReleaseDC(nullptr, screen);
    GTEST_SKIP() << "the screen cannot be read here";
  }
  f.Tree->SetArrowsPos(at);
  f.Tree->DrawArrows(false);
  EXPECT_TRUE(f.Tree->ArrowsShown());
  EXPECT_EQ(RGB(0, 255, 0), GetPixel(screen, at.x + 5, at.y + 4)) << "the downward arrow's fill";
  f.Tree->DrawArrows(false);
  EXPECT_FALSE(f.Tree->ArrowsShown());
  EXPECT_EQ(before, grab());
  ReleaseDC(nullptr, screen);
}

TEST(TreeListMouse, DraggingBelowTheRowsMovesTheFocusByTheSelectionTimer) {
  TMouseForm f(30);
  f.Tree->SetOptions(f.Tree->Options() & ~OptionBit(aoEditing));
  f.Tree->SetOptionsEx(f.Tree->OptionsEx() | OptionBit(aoMouseScroll));
  f.Send(WM_LBUTTONDOWN, f.Cell(f.Nodes[0], 0), MK_LBUTTON);
  f.Send(WM_MOUSEMOVE, POINT{50, 260}, MK_LBUTTON);
  const int last = f.Tree->TopIndex() + f.Tree->RowCount() - 1;
  EXPECT_EQ(last, f.Tree->FocusedNumber()) << "the last row in view";
  EXPECT_NE(-1, TreeListUnitState().VertScrollTimerId);
  MouseSelectScrollTimer(f.Tree->Handle(), WM_TIMER, kAutoScrollTimer, 0);
  EXPECT_EQ(last + 1, f.Tree->FocusedNumber());
  f.Send(WM_MOUSEMOVE, f.Cell(f.Tree->FocusedNode(), 0), MK_LBUTTON);
  EXPECT_EQ(-1, TreeListUnitState().VertScrollTimerId) << "back in the rows the timer stops";
  f.Send(WM_LBUTTONUP, f.Cell(f.Tree->FocusedNode(), 0));
}

// ---- hot tracking

TEST(TreeListMouse, HotTrackingFiresOncePerCellAndTooltipsShowOnlyCutText) {
  TMouseForm f;
  f.Tree->SetOptionsEx(f.Tree->OptionsEx() | OptionBit(aoHotTrack));
  f.Tree->SetOptions(f.Tree->Options() | OptionBit(aoShowTooltips));
  f.Nodes[1]->SetString(1, L"a text far too long for a cell of a hundred pixels");
  std::vector<std::pair<TdxTreeListNode*, int>> tracked;
  f.Tree->OnHotTrackNode = [&](TObject*, const TCustomdxTreeList::TdxTreeListHotTrackInfo& info, TCursor&) {
    tracked.emplace_back(info.Node, info.Column);
  };
  const POINT a = f.Cell(f.Nodes[0], 0);
  f.Send(WM_MOUSEMOVE, a);
  f.Send(WM_MOUSEMOVE, POINT{a.x + 2, a.y});
  f.Send(WM_MOUSEMOVE, f.Cell(f.Nodes[0], 1));
  ASSERT_EQ(2u, tracked.size());
  EXPECT_EQ(std::make_pair(f.Nodes[0], 0), tracked[0]);
  EXPECT_EQ(std::make_pair(f.Nodes[0], 1), tracked[1]);
  EXPECT_TRUE(f.Tree->IsHotTrackedCell(f.Nodes[0], 1));
  EXPECT_EQ(nullptr, f.Tree->TooltipWindow()) << "the text fits";
  f.Send(WM_MOUSEMOVE, f.Cell(f.Nodes[1], 1));
  EXPECT_NE(nullptr, f.Tree->TooltipWindow()) << "cut text";
  // The header's right 15 pixels are its drop-down part.
  const TdxGridHeaderDrawInfo h = f.Header(0);
  const int hy = (h.HeaderRect.top + h.HeaderRect.bottom) / 2;
  f.Send(WM_MOUSEMOVE, POINT{h.HeaderRect.right - 10, hy});
  EXPECT_EQ(hhtDropDownButton, f.Tree->HotTrackInfo().HeaderHotTrack);
  f.Send(WM_MOUSEMOVE, POINT{h.HeaderRect.left + 20, hy});
  EXPECT_EQ(hhtBody, f.Tree->HotTrackInfo().HeaderHotTrack);
  EXPECT_EQ(nullptr, f.Tree->HotTrackInfo().Node);
  f.Tree->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(-1, f.Tree->HotTrackInfo().Column);
  EXPECT_EQ(nullptr, f.Tree->TooltipWindow());
}

TEST(TreeListMouse, HotTrackingOffStillShowsTooltips) {
  TMouseForm f;
  f.Tree->SetOptions(f.Tree->Options() | OptionBit(aoShowTooltips));
  f.Nodes[1]->SetString(1, L"a text far too long for a cell of a hundred pixels");
  int tracked = 0;
  f.Tree->OnHotTrackNode = [&](TObject*, const TCustomdxTreeList::TdxTreeListHotTrackInfo&, TCursor&) { ++tracked; };
  bool asked = false;
  f.Tree->OnGetTooltipInfo = [&](TObject*, TdxTreeListNode*, int, RECT&, WideString&, bool& show, bool&) {
    asked = true;
    EXPECT_FALSE(show) << "the handler starts from false";
  };
  f.Send(WM_MOUSEMOVE, f.Cell(f.Nodes[1], 1));
  EXPECT_EQ(0, tracked);
  EXPECT_TRUE(asked);
  EXPECT_NE(nullptr, f.Tree->TooltipWindow());
}

TEST(TreeListMouse, TheStatusCloseButtonHintShowsByTimer110AndHidesByTimer111) {
  TTreeWindow w(400, 200);
  w.AddBand({{100}});
  w->StatusPanel = true;
  w->StatusCloseButton = true;
  w->LayoutChanged();
  RECT close{};
  w->GetStatusCloseButtonRect(close);
  ASSERT_LT(close.left, close.right) << "the fixture has a status area";
  SendMessageW(w->Handle(), WM_MOUSEMOVE, 0, At(POINT{close.left + 2, close.top + 2}));
  EXPECT_TRUE(w->StatusHintTimersRunning());
  EXPECT_EQ(nullptr, w->StatusHintWindow());
  w->Perform(WM_TIMER, kShowStatusHintTimer, 0);
  EXPECT_NE(nullptr, w->StatusHintWindow());
  EXPECT_TRUE(w->StatusHintTimersRunning()) << "the hide timer runs";
  w->Perform(WM_TIMER, kHideStatusHintTimer, 0);
  EXPECT_EQ(nullptr, w->StatusHintWindow());
  EXPECT_FALSE(w->StatusHintTimersRunning());
}

// ---- the mouse-scroll mode

TEST(TreeListMouse, MouseScrollSpeedAndDirectionFollowTheDistanceFromTheStart) {
  struct TCase {
    POINT P;
    int Width;
    bool Horz, Vert;
    TMouseScrollDirection Direction;
    int Speed;
  };
  const TCase cases[] = {
      {{0, 40}, 32, true, true, TMouseScrollDirection::Down, 5},
      {{0, -40}, 32, true, true, TMouseScrollDirection::Up, 5},
      {{10, 10}, 32, true, true, TMouseScrollDirection::None, 0},
      {{-50, 20}, 32, true, true, TMouseScrollDirection::Left, 7},
      {{500, 0}, 32, true, true, TMouseScrollDirection::Right, 12},
      {{0, 40}, 29, true, true, TMouseScrollDirection::Down, 6},
      // Only a vertical bar: sideways movement is the neutral zone.
      {{300, 5}, 29, false, true, TMouseScrollDirection::None, 0},
      {{300, 30}, 29, false, true, TMouseScrollDirection::Down, 4},
      // Only a horizontal bar: every movement is sideways.
      {{5, 300}, 29, true, false, TMouseScrollDirection::None, 0},
  };
  for (const TCase& c : cases) {
    const TMouseScrollMotion m = MouseScrollMotion(POINT{0, 0}, c.P, c.Width, c.Horz, c.Vert);
    EXPECT_EQ(c.Direction, m.Direction) << c.P.x << "," << c.P.y;
    EXPECT_EQ(c.Speed, m.Speed) << c.P.x << "," << c.P.y;
  }
  EXPECT_TRUE(IsMouseScrollStep(8, 5));
  EXPECT_FALSE(IsMouseScrollStep(7, 5));
  EXPECT_TRUE(IsMouseScrollStep(1, 12)) << "every tick at speed 12";
  EXPECT_EQ(crdxTreeListVerScroll, MouseScrollCursor(TMouseScrollDirection::None, false, true));
  EXPECT_EQ(crdxTreeListFullScroll, MouseScrollCursor(TMouseScrollDirection::None, true, true));
  EXPECT_EQ(crdxTreeListDownScroll, MouseScrollCursor(TMouseScrollDirection::Down, false, true));
}

// Popup "STATIC" windows owned by the list: the mode's marker.
struct TMarkerSearch {
  HWND Owner;
  int Count = 0;
};

BOOL CALLBACK CountMarker(HWND wnd, LPARAM param) {
  auto* search = reinterpret_cast<TMarkerSearch*>(param);
  wchar_t name[16]{};
  GetClassNameW(wnd, name, 16);
  if (GetWindow(wnd, GW_OWNER) == search->Owner && std::wstring(name) == L"Static") ++search->Count;
  return TRUE;
}

int MarkerCount(HWND owner) {
  TMarkerSearch search{owner};
  EnumThreadWindows(GetCurrentThreadId(), &CountMarker, reinterpret_cast<LPARAM>(&search));
  return search.Count;
}

TEST(TreeListMouse, TheMouseScrollModeRunsOnPostedMessagesAndGivesEverythingBack) {
  TMouseForm f(40);
  const HWND tree = f.Tree->Handle();
  const POINT start{150, 100};
  const POINT screen = f.Tree->ClientToScreen(start);
  SetCursorPos(screen.x, screen.y);
  int keys = 0;
  f.Tree->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++keys; };
  // A middle release without moving keeps the mode; other keys are dropped; Escape ends it.
  PostMessageW(tree, WM_MBUTTONUP, 0, At(start));
  PostMessageW(tree, WM_KEYDOWN, 'A', 0);
  PostMessageW(tree, WM_KEYDOWN, VK_ESCAPE, 0);
  f.Tree->MouseScroll();
  EXPECT_EQ(0, keys);
  EXPECT_NE(tree, GetCapture());
  EXPECT_EQ(0, MarkerCount(tree));
  EXPECT_EQ(29, f.Tree->MouseScrollMarkerSize().cx) << "the module's marker bitmap";
  // Moving away and releasing the middle button ends it, with the cursor of the direction.
  PostMessageW(tree, WM_MOUSEMOVE, 0, At(POINT{start.x, start.y + 60}));
  PostMessageW(tree, WM_MBUTTONUP, 0, At(POINT{start.x, start.y + 60}));
  f.Tree->MouseScroll();
  EXPECT_EQ(crdxTreeListDownScroll, Screen().Cursor());
  EXPECT_NE(tree, GetCapture());
  // A quit request ends the mode and stays for the outer loop.
  PostQuitMessage(7);
  f.Tree->MouseScroll();
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(7u, msg.wParam);
  EXPECT_EQ(0, MarkerCount(tree));
}

TEST(TreeListMouse, TheMouseScrollModeScrollsOnItsTicksWhileTheCursorIsAway) {
  TMouseForm f(40);
  const HWND tree = f.Tree->Handle();
  const POINT start{150, 100};
  const POINT screen = f.Tree->ClientToScreen(start);
  SetCursorPos(screen.x, screen.y);
  PostMessageW(tree, WM_MOUSEMOVE, 0, At(POINT{start.x, start.y + 80}));
  // Ended from another thread after some ticks.
  const POINT away{screen.x, screen.y + 80};
  std::thread stopper([tree, away] {
    Sleep(50);
    SetCursorPos(away.x, away.y);
    Sleep(300);
    PostMessageW(tree, WM_LBUTTONDOWN, 0, 0);
  });
  f.Tree->MouseScroll();
  stopper.join();
  EXPECT_GT(f.Tree->TopIndex(), 0);
  EXPECT_EQ(0, MarkerCount(tree));
}

}  // namespace
}  // namespace treelist_test
