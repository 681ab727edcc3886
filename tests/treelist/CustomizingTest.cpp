// The columns customizing form: where it opens, its lists of hidden bands and
// headers, its system menu, its layer and owner, the drag threshold of its
// lists, refreshes, and the tree list going while it is open.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ComCtrls.h"
#include "Forms.h"
#include "PublishedTreeList.h"
#include "TreeListCustomize.h"

namespace treelist_test {
namespace {

using namespace tvk;

void PumpCustomizing() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A shown form with a tree list of the columns named, those starting with "-" hidden.
struct TCustomizingForm {
  std::unique_ptr<TForm> Form{CreateComponent<TForm>(nullptr, kCreateNew)};
  TCountingTreeList* Tree = CreateComponent<TCountingTreeList>(Form.get());
  int Ends = 0;

  explicit TCustomizingForm(std::vector<std::wstring> columns) {
    Form->SetBounds(100, 80, 500, 400);
    Tree->SetParent(Form.get());
    Tree->SetBounds(0, 0, 300, 200);
    for (const std::wstring& name : columns) {
      TdxTreeListColumn* column = Tree->CreateColumnEx(ComponentClassOf<TdxTreeListColumn>(), Form.get());
      const bool hidden = name[0] == L'-';
      column->SetCaption(hidden ? name.substr(1) : name);
      column->SetVisible(!hidden);
    }
    Tree->OnEndColumnsCustomizing = [this](TObject*) { ++Ends; };
    Form->Show();
  }
  ~TCustomizingForm() {
    Tree->EndColumnsCustomizing();
    PumpCustomizing();
  }
  TCustomizeForm* Window() { return Tree->CustomizingForm(); }
  static std::vector<std::wstring> ItemsOf(TdxCustomizingListBox* list) {
    std::vector<std::wstring> items;
    for (int i = 0; i < list->Items().Count(); ++i) items.push_back(list->Items().Get(i));
    return items;
  }
};

int ZeroWidth(TFont& font) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  SIZE size{};
  GetTextExtentPoint32W(dc, L"0", 1, &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size.cx;
}

TEST(TreeListCustomizing, OpensAtTheParentFormsCornerAsASingleSortedListAndLaterWhereItWasClosed) {
  TCustomizingForm f({L"Pin", L"-net", L"-Bank", L"-Alias"});
  f.Tree->ColumnsCustomizing();
  TCustomizeForm* window = f.Window();
  ASSERT_NE(nullptr, window);
  EXPECT_TRUE(f.Tree->IsCustomizing());
  EXPECT_TRUE(IsWindowVisible(window->Handle()));
  EXPECT_EQ(nullptr, window->FindComponent(L"PageControl")) << "one band, no band panel: no tabs";
  EXPECT_EQ(nullptr, f.Tree->CustomizingBandListBox());
  TdxHeadersListBox* headers = f.Tree->CustomizingHeaderListBox();
  ASSERT_NE(nullptr, headers);
  EXPECT_EQ((std::vector<std::wstring>{L"Alias", L"Bank", L"net"}), f.ItemsOf(headers));
  EXPECT_EQ(L"Customize", window->Caption());

  RECT parent{}, own{};
  GetWindowRect(f.Form->Handle(), &parent);
  GetWindowRect(window->Handle(), &own);
  EXPECT_EQ(parent.right, own.right);
  EXPECT_EQ(parent.bottom, own.bottom);
  EXPECT_EQ(f.Form->Handle(), GetWindow(window->Handle(), GW_OWNER));
  EXPECT_TRUE(GetWindowLongPtrW(window->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(GetWindowLongPtrW(window->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  HMENU menu = GetSystemMenu(window->Handle(), FALSE);
  for (UINT command : {SC_MAXIMIZE, SC_MINIMIZE, SC_SIZE, SC_RESTORE})
    EXPECT_EQ(UINT(-1), GetMenuState(menu, command, MF_BYCOMMAND)) << command;
  const RECT client = headers->ClientRect();
  EXPECT_EQ(28 * ZeroWidth(headers->Font()), client.right);
  EXPECT_EQ(f.Tree->CustomizingRowCount() * (f.Tree->FTextHeight + 6), client.bottom);

  POINT inside{own.left + (own.right - own.left) / 2, own.top + (own.bottom - own.top) / 2};
  EXPECT_TRUE(f.Tree->PointInCustomizingForm(inside));
  EXPECT_FALSE(f.Tree->PointInCustomizingForm(POINT{own.right + 5, own.top}));

  headers->SetItemIndex(1);
  window->SetBounds(40, 30, window->Width(), window->Height());  // the user moves it
  f.Tree->EndColumnsCustomizing();
  EXPECT_EQ(nullptr, f.Window());
  EXPECT_FALSE(f.Tree->IsCustomizing());
  EXPECT_EQ(1, f.Ends);
  EXPECT_FALSE(f.Tree->PointInCustomizingForm(inside));
  PumpCustomizing();
  f.Tree->ColumnsCustomizing();
  ASSERT_NE(nullptr, f.Window());
  EXPECT_EQ(40, f.Window()->Left());
  EXPECT_EQ(30, f.Window()->Top());
  EXPECT_EQ(1, f.Tree->CustomizingHeaderListBox()->ItemIndex()) << "the last selection comes back";
}

TEST(TreeListCustomizing, WithBandsShownTwoTabsListTheHiddenBandsAndHeaders) {
  TCustomizingForm f({L"Pin", L"-Net"});
  f.Tree->SetShowBands(true);
  f.Tree->Bands().Add()->SetCaption(L"Main");
  TdxTreeListBand* hidden = f.Tree->Bands().Add();
  hidden->SetCaption(L"Extra");
  hidden->SetVisible(false);
  f.Tree->ColumnsCustomizing();
  ASSERT_NE(nullptr, f.Window());
  auto* pages = dynamic_cast<TPageControl*>(f.Window()->FindComponent(L"PageControl"));
  ASSERT_NE(nullptr, pages);
  EXPECT_EQ(L"tsBands", pages->ActivePage()->Name());
  EXPECT_NE(nullptr, f.Window()->FindComponent(L"tsHeaders"));
  EXPECT_EQ((std::vector<std::wstring>{L"Extra"}), f.ItemsOf(f.Tree->CustomizingBandListBox()));
  EXPECT_EQ((std::vector<std::wstring>{L"Net"}), f.ItemsOf(f.Tree->CustomizingHeaderListBox()));

  f.Tree->FSimpleCustomizeBox = true;
  f.Tree->ColumnsCustomizing();
  EXPECT_EQ(nullptr, f.Window()->FindComponent(L"PageControl")) << "SimpleCustomizeBox: one list";
}

TEST(TreeListCustomizing, WithoutBandsAndHeadersNothingOpensAndAnOpenFormCloses) {
  TCustomizingForm f({L"Pin"});
  f.Tree->ColumnsCustomizing();
  ASSERT_NE(nullptr, f.Window());
  f.Tree->SetShowHeader(false);
  f.Tree->ColumnsCustomizing();
  EXPECT_EQ(nullptr, f.Window());
  EXPECT_EQ(1, f.Ends);
}

TEST(TreeListCustomizing, ARefreshThatRemovesTheSelectedLastItemSelectsTheNewLastOne) {
  TCustomizingForm f({L"Pin", L"-a", L"-b", L"-c"});
  f.Tree->ColumnsCustomizing();
  TdxHeadersListBox* list = f.Tree->CustomizingHeaderListBox();
  list->SetItemIndex(2);
  f.Tree->Columns(3)->SetVisible(true);  // "c" shown again
  EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), f.ItemsOf(list));
  EXPECT_EQ(1, list->ItemIndex());
}

TEST(TreeListCustomizing, AFlatLookGivesTheListsAThinSunkenEdge) {
  TCustomizingForm f({L"Pin", L"-a"});
  f.Tree->SetLookAndFeel(lfFlat);
  f.Tree->ColumnsCustomizing();
  TdxHeadersListBox* list = f.Tree->CustomizingHeaderListBox();
  ASSERT_TRUE(list->Flat());
  RECT outer{}, inner{};
  GetWindowRect(list->Handle(), &outer);
  GetClientRect(list->Handle(), &inner);
  EXPECT_EQ(2, (outer.right - outer.left) - inner.right);
  EXPECT_EQ(2, (outer.bottom - outer.top) - inner.bottom);
  EXPECT_FALSE(GetWindowLongPtrW(list->Handle(), GWL_STYLE) & WS_BORDER);

  f.Tree->SetLookAndFeel(lfStandard);
  EXPECT_FALSE(list->Flat()) << "the lists follow the look";
}

TEST(TreeListCustomizing, ADragStartsOnlyFromTheSelectedItemAfterMoreThanThreePixels) {
  TCustomizingForm f({L"Pin", L"-a", L"-b"});
  f.Tree->ColumnsCustomizing();
  TdxHeadersListBox* list = f.Tree->CustomizingHeaderListBox();
  list->SetItemIndex(0);
  const RECT second = list->ItemRect(1);
  auto press = [&](const RECT& r, int dx, int dy, UINT message, WPARAM keys) {
    SendMessageW(list->Handle(), message, keys, MAKELPARAM(r.left + 10 + dx, r.top + 2 + dy));
  };
  press(second, 0, 0, WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_FALSE(list->DragFlag()) << "a press on another item only selects it";
  press(second, 0, 0, WM_LBUTTONUP, 0);
  EXPECT_EQ(1, list->ItemIndex());
  press(second, 0, 0, WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_TRUE(list->DragFlag());
  EXPECT_EQ(1, list->DragItemIndex());
  press(second, 3, 0, WM_MOUSEMOVE, MK_LBUTTON);
  EXPECT_TRUE(list->DragFlag()) << "3 pixels: no drag yet";
  press(second, 3, 4, WM_MOUSEMOVE, MK_LBUTTON);
  EXPECT_FALSE(list->DragFlag()) << "4 pixels: the drag starts";
  EXPECT_EQ(1, list->DragItemIndex());
  SendMessageW(list->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_EQ(-1, list->DragItemIndex()) << "Escape cancels";
}

// A hidden header dragged out of the list and released over the header row is shown; the
// list holds the capture, so the moves it hears run the tree list's own header move.
TEST(TreeListCustomizing, AHiddenHeaderDraggedOntoTheHeaderRowIsShownAndEscapeLeavesItHidden) {
  for (bool escape : {true, false}) {
    TCustomizingForm f({L"Pin", L"-a", L"-b"});
    f.Tree->ColumnsCustomizing();
    TdxHeadersListBox* list = f.Tree->CustomizingHeaderListBox();
    list->SetItemIndex(1);
    const RECT item = list->ItemRect(1);
    const LPARAM at = MAKELPARAM(item.left + 10, item.top + 2);
    SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(item.left + 10, item.top + 8));
    ASSERT_EQ(tsColumnDragging, f.Tree->State());
    TdxGridDrawInfo info;
    f.Tree->CalcDrawInfo(info);
    ASSERT_FALSE(info.HeadersInfo.empty());
    const RECT pin = info.HeadersInfo[0].HeaderRect;
    const POINT header = f.Tree->ClientToScreen(
        POINT{pin.right - 5, (pin.top + pin.bottom) / 2});
    SetCursorPos(header.x, header.y);
    SendMessageW(list->Handle(), WM_MOUSEMOVE, MK_LBUTTON, at);
    EXPECT_EQ(tsColumnDragging, f.Tree->State()) << "a move over the header row keeps the drag";
    ASSERT_FALSE(f.Tree->PointInCustomizingForm(header));
    EXPECT_EQ(f.Tree->Cursor(), f.Tree->MoveCursor());
    if (escape)
      SendMessageW(list->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
    else
      SendMessageW(list->Handle(), WM_LBUTTONUP, 0, at);
    EXPECT_EQ(tsNormal, f.Tree->State());
    EXPECT_EQ(nullptr, f.Tree->DragImageList());
    EXPECT_EQ(!escape, f.Tree->Columns(2)->Visible()) << (escape ? "Escape" : "drop");
  }
}

TEST(TreeListCustomizing, TheTreeListGoingFreesAnOpenForm) {
  TCustomizingForm f({L"Pin", L"-a"});
  f.Tree->ColumnsCustomizing();
  HWND window = f.Window()->Handle();
  delete f.Tree;
  f.Tree = nullptr;
  EXPECT_FALSE(IsWindow(window));
  f.Tree = CreateComponent<TCountingTreeList>(f.Form.get());  // for the fixture's end
}

}  // namespace
}  // namespace treelist_test
