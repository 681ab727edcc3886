// The page control over the system tab control: tabs follow the pages, a
// click on a tab shows its page, and sheets leave cleanly whichever goes first.
#include <gtest/gtest.h>

#include "ComCtrls.h"
#include "Forms.h"

#include <commctrl.h>

using namespace tvk;

namespace classlib_test {

struct PageControlFixture : ::testing::Test {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  TPageControl* Pages = new TPageControl(Form.get());
  TTabSheet* First = new TTabSheet(Form.get());
  TTabSheet* Second = new TTabSheet(Form.get());
  PageControlFixture() {
    Form->SetBounds(0, 0, 400, 300);
    Pages->SetParent(Form.get());
    Pages->SetBounds(10, 10, 300, 200);
    First->SetText(L"Bands");
    Second->SetText(L"Headers");
    First->SetPageControl(Pages);
    Second->SetPageControl(Pages);
    Pages->HandleNeeded();
  }
  HWND Tabs() { return Pages->Handle(); }
  int TabCount() { return int(SendMessageW(Tabs(), TCM_GETITEMCOUNT, 0, 0)); }
  std::wstring TabText(int index) {
    wchar_t text[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(Tabs(), TCM_GETITEMW, WPARAM(index), LPARAM(&item));
    return text;
  }
  void ClickTab(int index) {
    RECT rect{};
    SendMessageW(Tabs(), TCM_GETITEMRECT, WPARAM(index), LPARAM(&rect));
    const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    SendMessageW(Tabs(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(Tabs(), WM_LBUTTONUP, 0, at);
  }
};

TEST_F(PageControlFixture, TabsFollowThePagesAndTheirCaptions) {
  ASSERT_EQ(2, TabCount());
  EXPECT_EQ(L"Bands", TabText(0));
  EXPECT_EQ(L"Headers", TabText(1));
  Second->SetPageIndex(0);
  EXPECT_EQ(Second, Pages->Pages(0));
  EXPECT_EQ(L"Headers", TabText(0));
  First->SetText(L"Columns");
  EXPECT_EQ(L"Columns", TabText(1));
  EXPECT_THROW(Pages->Pages(2), EListError);
}

TEST_F(PageControlFixture, AClickOnATabShowsItsPageBelowTheTabs) {
  int changes = 0;
  Pages->OnChange = [&](TObject*) { ++changes; };
  EXPECT_EQ(First, Pages->ActivePage());
  EXPECT_TRUE(First->Visible());
  ClickTab(1);
  EXPECT_EQ(1, changes);
  EXPECT_EQ(Second, Pages->ActivePage());
  EXPECT_TRUE(Second->Visible());
  EXPECT_FALSE(First->Visible());
  RECT tab{};
  SendMessageW(Tabs(), TCM_GETITEMRECT, 1, LPARAM(&tab));
  EXPECT_GE(Second->Top(), tab.bottom);
  EXPECT_GT(Second->Height(), 100);
  // Chosen in code: the tab follows, and no change is announced.
  Pages->SetActivePageIndex(0);
  EXPECT_EQ(0, int(SendMessageW(Tabs(), TCM_GETCURSEL, 0, 0)));
  EXPECT_EQ(1, changes);
}

TEST_F(PageControlFixture, HotTrackingRecreatesTheTabsWithTheirPages) {
  Pages->SetActivePage(Second);
  Pages->SetHotTrack(true);
  EXPECT_TRUE(GetWindowLongW(Tabs(), GWL_STYLE) & TCS_HOTTRACK);
  EXPECT_EQ(2, TabCount());
  EXPECT_EQ(1, int(SendMessageW(Tabs(), TCM_GETCURSEL, 0, 0)));
}

TEST_F(PageControlFixture, SheetsLeaveWhicheverGoesFirst) {
  Pages->SetActivePage(Second);
  delete Second;
  EXPECT_EQ(1, Pages->PageCount());
  EXPECT_EQ(First, Pages->ActivePage());
  EXPECT_TRUE(First->Visible());
  EXPECT_EQ(1, TabCount());
  First->SetPageControl(nullptr);
  EXPECT_EQ(nullptr, Pages->ActivePage());
  EXPECT_EQ(-1, First->PageIndex());
  First->SetPageControl(Pages);
  // The control goes first: the sheet placed in it goes with it, without reaching back.
  delete Pages;
  EXPECT_EQ(0, Form->ControlCount());
}

}  // namespace classlib_test
