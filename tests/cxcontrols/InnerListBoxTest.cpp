// The inner list box: incremental search on a clock the test moves, the keys
// it leaves to the container, and its dialog code with and without Ctrl.
#include "cxContainer.h"
#include "cxControls.h"
#include "Forms.h"
#include "cxInnerListBox.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace tvk;

namespace {

DWORD gListBoxNow = 100000;
DWORD ListBoxTestTicks() { return gListBoxNow; }
bool gListBoxCtrl = false;
bool ListBoxTestCtrl() { return gListBoxCtrl; }

class InnerListBox : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    laf_test::LookAndFeel::SetUp();
    FSavedTicks = TcxCustomInnerListBox::TickCount;
    TcxCustomInnerListBox::TickCount = &ListBoxTestTicks;
    FSavedQueries = cxControlSystemQueries();
    cxControlSystemQueries().CtrlDown = &ListBoxTestCtrl;
    gListBoxCtrl = false;
    FHost = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr, nullptr,
                            nullptr);
  }
  void TearDown() override {
    FList.reset();
    DestroyWindow(FHost);
    cxControlSystemQueries() = FSavedQueries;
    TcxCustomInnerListBox::TickCount = FSavedTicks;
    laf_test::LookAndFeel::TearDown();
  }
  TcxCustomInnerListBox& Make(bool AMultiSelect) {
    FList = std::make_unique<TcxCustomInnerListBox>(nullptr);
    FList->SetMultiSelect(AMultiSelect);
    FList->SetBounds(0, 0, 150, 200);
    FList->SetParentWindow(FHost);
    for (const wchar_t* item : {L"apple", L"apricot", L"banana", L"berry", L"b\U0001F600x", L"b\U0001F600y"})
      FList->Items().Add(item);
    FList->OnClick = [this](TObject*) { ++FClicks; };
    return *FList;
  }
  wchar_t Type(wchar_t AKey, DWORD AAfter = 10) {
    gListBoxNow += AAfter;
    FList->KeyPress(AKey);
    return AKey;
  }

  HWND FHost = nullptr;
  std::unique_ptr<TcxCustomInnerListBox> FList;
  DWORD (*FSavedTicks)() = nullptr;
  TcxControlSystemQueries FSavedQueries{};
  int FClicks = 0;
};

}  // namespace

TEST_F(InnerListBox, TypedLettersSearchUntilAPauseStartsAnew) {
  for (bool multi : {false, true}) {
    SCOPED_TRACE(multi);
    TcxCustomInnerListBox& list = Make(multi);
    EXPECT_EQ(0, Type(L'a', 1000));
    EXPECT_EQ(0, Type(L'p'));
    EXPECT_EQ(0, Type(L'r'));
    EXPECT_EQ(1, list.ItemIndex()) << "apricot";
    EXPECT_EQ(L"apr", list.AutoCompleteFilter());
    // Just under the delay the prefix grows; at the delay it starts anew.
    Type(L'x', list.AutoCompleteDelay - 1);
    EXPECT_EQ(L"aprx", list.AutoCompleteFilter());
    EXPECT_EQ(1, list.ItemIndex()) << "no match keeps the selection";
    Type(L'b', list.AutoCompleteDelay);
    EXPECT_EQ(L"b", list.AutoCompleteFilter());
    EXPECT_EQ(2, list.ItemIndex());
    Type(L'e');
    EXPECT_EQ(3, list.ItemIndex());
    EXPECT_EQ(L'\b', Type(L'\b')) << "Backspace is not consumed";
    EXPECT_EQ(L"b", list.AutoCompleteFilter());
    EXPECT_EQ(2, list.ItemIndex());
    if (multi) {
      EXPECT_EQ(1, SendMessageW(list.Handle(), LB_GETSELCOUNT, 0, 0)) << "the found item alone is selected";
      EXPECT_GT(SendMessageW(list.Handle(), LB_GETSEL, 2, 0), 0);
    }
    EXPECT_GE(FClicks, 5);
    FClicks = 0;
  }
}

TEST_F(InnerListBox, ASurrogatePairIsOneCharacterOfThePrefix) {
  TcxCustomInnerListBox& list = Make(false);
  Type(L'b', 1000);
  // The high half arrives first; the low half waits in the queue as WM_CHAR.
  PostMessageW(list.Handle(), WM_CHAR, 0xDE00, 0);
  EXPECT_EQ(0, Type(0xD83D));
  EXPECT_EQ(L"b\U0001F600", list.AutoCompleteFilter());
  EXPECT_EQ(4, list.ItemIndex());
  Type(L'y');
  EXPECT_EQ(5, list.ItemIndex());
  Type(L'\b');
  Type(L'\b');
  EXPECT_EQ(L"b", list.AutoCompleteFilter()) << "Backspace removes both halves";
  Type(L'\b');
  EXPECT_EQ(L"", list.AutoCompleteFilter());
  EXPECT_EQ(0, list.ItemIndex()) << "an empty prefix goes to the first item";
}

TEST_F(InnerListBox, TabAndEnterStayWithTheContainerAndCtrlLeavesTabToTheDialog) {
  TcxCustomInnerListBox& list = Make(false);
  TcxContainer container(nullptr);
  std::vector<wchar_t> seen;
  container.OnKeyPress = [&](TObject*, wchar_t& Key) { seen.push_back(Key); };
  EXPECT_EQ(0, Type(L'\t'));
  EXPECT_EQ(0, Type(L'\r'));
  EXPECT_TRUE(seen.empty()) << "without a container";
  list.SetContainer(&container);
  EXPECT_EQ(0, Type(L'\t'));
  EXPECT_EQ(0, Type(L'\r'));
  EXPECT_EQ(L"", list.AutoCompleteFilter()) << "neither reaches the search";
  EXPECT_EQ(std::vector<wchar_t>{L'\r'}, seen) << "the container sees Enter, never Tab";

  for (bool ctrl : {false, true}) {
    gListBoxCtrl = ctrl;
    const LRESULT code = SendMessageW(list.Handle(), WM_GETDLGCODE, 0, 0);
    EXPECT_EQ(!ctrl, (code & DLGC_WANTTAB) != 0) << ctrl;
    EXPECT_NE(0, code & DLGC_WANTCHARS);
    EXPECT_NE(0, code & DLGC_WANTARROWS) << "the system list box wants arrows";
  }
  list.SetContainer(nullptr);
}

TEST_F(InnerListBox, AnItemIsVisibleWhileACornerOfItLiesInTheListBox) {
  TcxCustomInnerListBox& list = Make(false);
  for (int i = 0; i < 40; ++i) list.Items().Add(L"more");
  const int itemHeight = int(SendMessageW(list.Handle(), LB_GETITEMHEIGHT, 0, 0));
  ASSERT_GT(itemHeight, 0);
  const int partlyShown = list.ClientHeight() / itemHeight;  // its top lies inside
  EXPECT_TRUE(list.ItemVisible(0));
  EXPECT_TRUE(list.ItemVisible(partlyShown - 1));
  EXPECT_FALSE(list.ItemVisible(partlyShown + 1));
  EXPECT_FALSE(list.ItemVisible(1000)) << "no such item";
  SendMessageW(list.Handle(), LB_SETTOPINDEX, 10, 0);
  EXPECT_FALSE(list.ItemVisible(0)) << "scrolled out above";
  EXPECT_TRUE(list.ItemVisible(10));
}

TEST_F(InnerListBox, OwnerDrawnItemsGetTheHighlightForTheSelectedOne) {
  TForm form(nullptr, kCreateNew);
  form.SetBounds(0, 0, 300, 300);
  TcxCustomInnerListBox list(nullptr);
  list.SetStyle(TListBoxStyle::lbOwnerDrawFixed);
  list.SetBounds(0, 0, 150, 200);
  list.SetParent(&form);
  form.Show();
  for (const wchar_t* item : {L"one", L"two", L"three"}) list.Items().Add(item);
  struct TDrawn {
    int Index;
    TColor Brush, Font;
    bool HasDC;
  };
  std::vector<TDrawn> drawn;
  list.OnDrawItem = [&](TcxCustomInnerListBox* Sender, int Index, const RECT&, UINT) {
    drawn.push_back({Index, Sender->Canvas().Brush().Color(), Sender->Canvas().Font().Color(),
                     Sender->Canvas().Canvas()->HandleAllocated()});
  };
  list.SetItemIndex(1);
  drawn.clear();
  InvalidateRect(list.Handle(), nullptr, TRUE);
  UpdateWindow(list.Handle());
  ASSERT_GE(drawn.size(), 3u);
  for (const TDrawn& d : drawn) {
    SCOPED_TRACE(d.Index);
    EXPECT_TRUE(d.HasDC);
    EXPECT_EQ(d.Index == 1 ? clHighlight : list.Color(), d.Brush);
    if (d.Index == 1) {
      EXPECT_EQ(clHighlightText, d.Font);
    }
  }
  EXPECT_FALSE(list.Canvas().Canvas()->HandleAllocated()) << "the item's context is released";
  list.SetParent(nullptr);
}

TEST_F(InnerListBox, VariableOwnerDrawnItemsTakeTheirMeasuredHeights) {
  TcxCustomInnerListBox& list = Make(false);
  list.OnMeasureItem = [](TWinControl*, int Index, int& Height) { Height = 10 + 3 * Index; };
  list.SetStyle(TListBoxStyle::lbOwnerDrawVariable);
  list.Items().Add(L"added later");
  // The window made anew for the style keeps every item, each with its own height.
  ASSERT_EQ(7, SendMessageW(list.Handle(), LB_GETCOUNT, 0, 0));
  for (int i = 0; i < 7; ++i) EXPECT_EQ(10 + 3 * i, SendMessageW(list.Handle(), LB_GETITEMHEIGHT, WPARAM(i), 0)) << i;
  Type(L'b', 1000);
  Type(L'e');
  EXPECT_EQ(3, list.ItemIndex()) << "the search still finds the strings";
}

TEST_F(InnerListBox, AVirtualListSearchesThroughItsDataFindEvent) {
  for (TListBoxStyle style : {TListBoxStyle::lbVirtual, TListBoxStyle::lbVirtualOwnerDraw}) {
    SCOPED_TRACE(int(style));
    TcxCustomInnerListBox& list = Make(false);
    list.Items().Clear();
    list.SetStyle(style);
    list.SetCount(500);
    std::vector<WideString> asked;
    list.OnDataFind = [&](TWinControl* Sender, const WideString& Prefix) {
      EXPECT_EQ(&list, Sender);
      asked.push_back(Prefix);
      return Prefix == L"4" ? -1 : 100 + int(Prefix.size());
    };
    ASSERT_EQ(500, SendMessageW(list.Handle(), LB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, Type(L'1', 1000));
    EXPECT_EQ(101, list.ItemIndex());
    Type(L'2');
    EXPECT_EQ(102, list.ItemIndex());
    EXPECT_EQ((std::vector<WideString>{L"1", L"12"}), asked);
    Type(L'4', list.AutoCompleteDelay);
    EXPECT_EQ(102, list.ItemIndex()) << "not found keeps the selection";
    EXPECT_EQ(2, FClicks);
    FClicks = 0;
  }
}

namespace {

// The native bar's scroll information and its rectangle in Parent's client area.
struct TNativeBar {
  SCROLLINFO Info{};
  RECT Rect{};
};
TNativeBar ReadNativeBar(HWND AList, HWND AParent, int ABar, LONG AObjectId) {
  TNativeBar bar;
  bar.Info.cbSize = sizeof bar.Info;
  bar.Info.fMask = SIF_ALL;
  GetScrollInfo(AList, ABar, &bar.Info);
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  GetScrollBarInfo(AList, AObjectId, &info);
  bar.Rect = info.rcScrollBar;
  MapWindowPoints(nullptr, AParent, reinterpret_cast<POINT*>(&bar.Rect), 2);
  return bar;
}

}  // namespace

TEST_F(InnerListBox, OwnBarsLieOverTheNativeOnesAndFollowThem) {
  TcxCustomInnerListBox& list = Make(false);
  ASSERT_TRUE(IsScrollBarInfoAvailable());
  TcxScrollBar* vbar = list.VScrollBar();
  TcxScrollBar* hbar = list.HScrollBar();
  ASSERT_NE(nullptr, vbar);
  EXPECT_FALSE(vbar->Visible()) << "six items fit";
  for (int i = 0; i < 60; ++i) list.Items().Add(L"item");
  const TNativeBar native = ReadNativeBar(list.Handle(), FHost, SB_VERT, OBJID_VSCROLL);
  ASSERT_TRUE(vbar->Visible());
  EXPECT_EQ(native.Rect.left, vbar->Left());
  EXPECT_EQ(native.Rect.top, vbar->Top());
  EXPECT_EQ(native.Rect.bottom - native.Rect.top, vbar->Height());
  EXPECT_EQ(FHost, GetParent(vbar->Handle())) << "a sibling of the list box";
  EXPECT_EQ(native.Info.nMax, vbar->Max());
  EXPECT_EQ(int(native.Info.nPage), vbar->PageSize());
  EXPECT_FALSE(hbar->Visible());
  const RECT noGrip = list.GetSizeGripRect();
  EXPECT_TRUE(IsRectEmpty(&noGrip)) << "no grip with one bar";

  list.SetTopIndex(30);
  EXPECT_EQ(30, vbar->Position());
  SendMessageW(list.Handle(), LB_SETHORIZONTALEXTENT, 1000, 0);
  ASSERT_TRUE(hbar->Visible());
  const RECT grip = list.GetSizeGripRect();
  EXPECT_EQ(vbar->Width(), grip.right - grip.left);
  EXPECT_EQ(hbar->Height(), grip.bottom - grip.top);
  RECT window{};
  GetWindowRect(list.Handle(), &window);
  EXPECT_EQ(window.right - window.left, grip.right) << "the grip closes the list box's corner";
}

TEST_F(InnerListBox, OwnVerticalBarScrollsTheListAndReadsItsPositionBack) {
  TcxCustomInnerListBox& list = Make(false);
  for (int i = 0; i < 60; ++i) list.Items().Add(L"item");
  TcxScrollBar* vbar = list.VScrollBar();
  ASSERT_TRUE(vbar->Visible());
  vbar->DoScroll(scLineDown);
  EXPECT_EQ(1, list.TopIndex());
  EXPECT_EQ(1, vbar->Position());
  vbar->DoScroll(scPageDown);
  EXPECT_GT(list.TopIndex(), 2);
  EXPECT_EQ(list.TopIndex(), vbar->Position()) << "a page goes through the list box and is read back";
  vbar->DoScroll(scBottom);
  EXPECT_EQ(GetScrollPos(list.Handle(), SB_VERT), vbar->Position());
  EXPECT_LE(vbar->Position(), vbar->Max());
  vbar->DoScroll(scTop);
  EXPECT_EQ(0, list.TopIndex());
}

TEST_F(InnerListBox, LockedRedrawLeavesTheOwnBarsUntilDrawingResumes) {
  TcxCustomInnerListBox& list = Make(false);
  const int before = list.ExternalScrollBarsUpdateCount();
  SendMessageW(list.Handle(), WM_SETREDRAW, FALSE, 0);
  for (int i = 0; i < 60; ++i) list.Items().Add(L"item");
  EXPECT_EQ(before, list.ExternalScrollBarsUpdateCount());
  EXPECT_FALSE(list.VScrollBar()->Visible());
  SendMessageW(list.Handle(), WM_SETREDRAW, TRUE, 0);
  EXPECT_TRUE(list.VScrollBar()->Visible());
}

TEST_F(InnerListBox, ARemadeWindowIsNoLongerRedrawLocked) {
  TcxCustomInnerListBox& list = Make(false);
  SendMessageW(list.Handle(), WM_SETREDRAW, FALSE, 0);
  list.RecreateWnd();
  ASSERT_TRUE(list.HandleAllocated());
  const int before = list.ExternalScrollBarsUpdateCount();
  for (int i = 0; i < 60; ++i) list.Items().Add(L"item");
  EXPECT_GT(list.ExternalScrollBarsUpdateCount(), before) << "the new window draws: its bars follow";
  EXPECT_TRUE(list.VScrollBar()->Visible());
}

TEST_F(InnerListBox, AChangeOfTheUsersSettingsReachesTheListBoxThroughItsParent) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 200, 220);
  parent.SetParentWindow(FHost);
  parent.HandleNeeded();
  TcxCustomInnerListBox& list = Make(false);
  list.SetParent(&parent);
  list.HandleNeeded();
  int before = list.ExternalScrollBarsUpdateCount();
  SendMessageW(parent.Handle(), WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(before + 1, list.ExternalScrollBarsUpdateCount()) << "the parent passes it on";
  before = list.ExternalScrollBarsUpdateCount();
  SendMessageW(list.Handle(), WM_SETTINGCHANGE, 0, 0);
  EXPECT_EQ(before + 1, list.ExternalScrollBarsUpdateCount()) << "heard directly, once";
  FList.reset();  // its bars live in the parent: the list box goes first
}

namespace {

// A container that takes the wheel and records what reaches its mouse handlers.
class TListHostContainer : public TcxContainer {
public:
  using TcxContainer::TcxContainer;
  bool TakesWheel = false;
  int Wheels = 0;
  std::vector<POINT> Downs;
  std::vector<bool> DownsFromInner;

protected:
  bool HandleMouseWheel(int) override {
    ++Wheels;
    return TakesWheel;
  }
  void MouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) override {
    Downs.push_back({X, Y});
    DownsFromInner.push_back(IsInnerControlMouseDown());
    TcxContainer::MouseDown(AButton, AShift, X, Y);
  }
};

class HostedInnerListBox : public InnerListBox {
protected:
  void SetUp() override {
    InnerListBox::SetUp();
    FForm = std::make_unique<TForm>(nullptr, kCreateNew);
    FForm->SetBounds(0, 0, 300, 300);
    FHosting = std::make_unique<TListHostContainer>(nullptr);
    FHosting->SetBounds(10, 10, 200, 220);
    FHosting->SetParent(FForm.get());
    FListBox = std::make_unique<TcxCustomInnerListBox>(nullptr);
    FListBox->SetMultiSelect(true);
    FListBox->SetParent(FHosting.get());
    FListBox->SetContainer(FHosting.get());
    FHosting->SetInnerControl(FListBox.get());
    FForm->Show();
    for (int i = 0; i < 40; ++i) FListBox->Items().Add(L"item");
  }
  void TearDown() override {
    FHosting->SetInnerControl(nullptr);
    FListBox.reset();
    FHosting.reset();
    FForm.reset();
    InnerListBox::TearDown();
  }
  LPARAM ItemPoint(int AIndex) {
    RECT r{};
    SendMessageW(FListBox->Handle(), LB_GETITEMRECT, WPARAM(AIndex), reinterpret_cast<LPARAM>(&r));
    return MAKELPARAM(r.left + 5, r.top + 2);
  }
  void Press(int AIndex, WPARAM AKeys = 0) {
    SendMessageW(FListBox->Handle(), WM_LBUTTONDOWN, MK_LBUTTON | AKeys, ItemPoint(AIndex));
  }
  std::vector<int> SelectedItems() {
    std::vector<int> result;
    for (int i = 0; i < FListBox->Count(); ++i)
      if (FListBox->Selected(i)) result.push_back(i);
    return result;
  }

  std::unique_ptr<TForm> FForm;
  std::unique_ptr<TListHostContainer> FHosting;
  std::unique_ptr<TcxCustomInnerListBox> FListBox;
};

}  // namespace

TEST_F(HostedInnerListBox, APressOnASelectedItemDragsTheContainerWithoutTouchingTheSelection) {
  FHosting->SetDragMode(TDragMode::dmAutomatic);
  SendMessageW(FListBox->Handle(), LB_SELITEMRANGE, TRUE, MAKELPARAM(1, 2));
  Press(2);
  EXPECT_TRUE(FHosting->Dragging());
  EXPECT_EQ((std::vector<int>{1, 2}), SelectedItems());
  EXPECT_TRUE(FHosting->Downs.empty()) << "the list box did not process the press";
  EXPECT_FALSE(FListBox->Dragging()) << "the container drags, not the list box";
  EXPECT_EQ(TDragMode::dmAutomatic, FListBox->DragMode()) << "the container's mode, back after the press";
  FHosting->EndDrag(false);

  Press(5, MK_CONTROL);
  EXPECT_FALSE(FHosting->Dragging()) << "Ctrl extends the selection instead";
  SendMessageW(FListBox->Handle(), WM_LBUTTONUP, 0, ItemPoint(5));
  EXPECT_EQ((std::vector<int>{1, 2, 5}), SelectedItems());

  Press(8);
  EXPECT_EQ((std::vector<int>{8}), SelectedItems()) << "a plain press on another item selects it";
  EXPECT_TRUE(FHosting->Dragging()) << "and then the container starts dragging past the threshold";
  TObject* dropTarget = FHosting.get();
  FHosting->OnEndDrag = [&](TObject*, TObject* Target, int, int) { dropTarget = Target; };
  SendMessageW(FHosting->Handle(), WM_LBUTTONUP, 0, 0);
  EXPECT_FALSE(FHosting->Dragging());
  EXPECT_EQ(nullptr, dropTarget) << "released before it moved: nothing dropped";
}

TEST_F(HostedInnerListBox, PressesReachTheContainerAtItsOwnCoordinatesWithoutAutomaticDrag) {
  Press(3);
  EXPECT_FALSE(FHosting->Dragging());
  ASSERT_EQ(1u, FHosting->Downs.size());
  const LPARAM at = ItemPoint(3);
  EXPECT_EQ(short(LOWORD(at)) + FListBox->Left(), FHosting->Downs[0].x);
  EXPECT_EQ(short(HIWORD(at)) + FListBox->Top(), FHosting->Downs[0].y);
  EXPECT_TRUE(FHosting->DownsFromInner[0]);
  EXPECT_FALSE(FHosting->IsInnerControlMouseDown());
  EXPECT_EQ((std::vector<int>{3}), SelectedItems());
}

TEST_F(HostedInnerListBox, TheWheelGoesToTheContainerFirst) {
  FHosting->TakesWheel = true;
  SendMessageW(FListBox->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), 0);
  EXPECT_EQ(1, FHosting->Wheels);
  EXPECT_EQ(0, FListBox->TopIndex()) << "the container took it";
  FHosting->TakesWheel = false;
  SendMessageW(FListBox->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-WHEEL_DELTA)), 0);
  EXPECT_EQ(2, FHosting->Wheels);
  EXPECT_GT(FListBox->TopIndex(), 0) << "the list box scrolls itself";
  EXPECT_EQ(FListBox->TopIndex(), FListBox->VScrollBar()->Position());
}

TEST_F(HostedInnerListBox, DragsOverTheListBoxAndDropsOnItReachTheContainerAtItsCoordinates) {
  std::vector<POINT> overs, drops;
  FHosting->OnDragOver = [&](TObject*, TObject*, int X, int Y, TDragState, bool& Accept) {
    overs.push_back({X, Y});
    Accept = true;
  };
  FHosting->OnDragDrop = [&](TObject*, TObject*, int X, int Y) { drops.push_back({X, Y}); };
  bool listBoxHeard = false;
  FListBox->OnDragOver = [&](TObject*, TObject*, int, int, TDragState, bool&) { listBoxHeard = true; };
  FListBox->OnDragDrop = [&](TObject*, TObject*, int, int) { listBoxHeard = true; };
  bool accept = false;
  FListBox->DragOver(FListBox.get(), 5, 6, TDragState::dsDragMove, accept);
  FListBox->DragDrop(FListBox.get(), 7, 8);
  EXPECT_TRUE(accept) << "the container's answer";
  ASSERT_EQ(1u, overs.size());
  ASSERT_EQ(1u, drops.size());
  EXPECT_EQ(5 + FListBox->Left(), overs[0].x);
  EXPECT_EQ(6 + FListBox->Top(), overs[0].y);
  EXPECT_EQ(7 + FListBox->Left(), drops[0].x);
  EXPECT_EQ(8 + FListBox->Top(), drops[0].y);
  EXPECT_FALSE(listBoxHeard) << "handed to the container only";
}

namespace {

class TListBoxTestPopup : public TComponent, public IcxPopupMenu {
public:
  using TComponent::TComponent;
  bool IsShortCut(TMessage&) override { return false; }
  void Popup(int X, int Y) override { At.push_back({X, Y}); }
  std::vector<POINT> At;

protected:
  bool GetInterface(REFIID iid, void** object) override {
    if (IsEqualGUID(iid, IID_IcxPopupMenu)) {
      *object = static_cast<IcxPopupMenu*>(this);
      return true;
    }
    return TComponent::GetInterface(iid, object);
  }
};

}  // namespace

TEST_F(HostedInnerListBox, AContextRequestOnTheListBoxOpensTheContainersMenu) {
  TListBoxTestPopup popup(nullptr);
  EXPECT_EQ(nullptr, FListBox->PopupMenuToShow());
  FHosting->SetPopupMenu(&popup);
  EXPECT_EQ(&popup, FListBox->PopupMenuToShow());
  SendMessageW(FListBox->Handle(), WM_CONTEXTMENU, WPARAM(FListBox->Handle()), MAKELPARAM(70, 80));
  SendMessageW(FListBox->Handle(), WM_CONTEXTMENU, WPARAM(FListBox->Handle()), MAKELPARAM(0xFFFF, 0xFFFF));
  ASSERT_EQ(2u, popup.At.size());
  EXPECT_EQ(70, popup.At[0].x);
  EXPECT_EQ(80, popup.At[0].y);
  const POINT origin = FListBox->ClientToScreen({0, 0});
  EXPECT_EQ(origin.x, popup.At[1].x) << "a keyboard request opens it at the list box";
  EXPECT_EQ(origin.y, popup.At[1].y);
  FHosting->SetPopupMenu(nullptr);
}
