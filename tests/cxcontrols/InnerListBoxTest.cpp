// The inner list box: incremental search on a clock the test moves, the keys
// it leaves to the container, and its dialog code with and without Ctrl.
#include "cxContainer.h"
#include "cxControls.h"
#include "Forms.h"
#include "cxInnerListBox.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

#include <memory>

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
    FList->MultiSelect = AMultiSelect;
    FList->SetBounds(0, 0, 150, 200);
    FList->SetParentWindow(FHost);
    for (const wchar_t* item : {L"apple", L"apricot", L"banana", L"berry", L"b\U0001F600x", L"b\U0001F600y"})
      FList->AddItem(item);
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
  for (int i = 0; i < 40; ++i) list.AddItem(L"more");
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
  list.OwnerDraw = true;
  list.SetBounds(0, 0, 150, 200);
  list.SetParent(&form);
  form.Show();
  for (const wchar_t* item : {L"one", L"two", L"three"}) list.AddItem(item);
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
