// The styled list box: item-list rules, index and top-row clamping, keys,
// mouse selection, the text messages and repainting by rows.
#include "XPLists.h"
#include "XPListsTest.h"

#include <string>

namespace {

using tvk::TXPListBox;

struct ListBoxTest : xplists_test::ListsFixture {
  // A list showing exactly Rows whole rows, filled with Count items "item0"...
  TXPListBox* MakeList(int count, int rows = 4) {
    auto* list = Make<TXPListBox>(10, 10, 200, 100);
    list->OnClick = [this](tvk::TObject*) { ++clicks; };
    int frame = list->Height() - list->ClientHeight();
    list->SetBounds(10, 10, 200, frame + rows * list->GetRowHeight(0));
    list->Items().BeginUpdate();
    for (int i = 0; i < count; ++i) list->Items().Add(L"item" + std::to_wstring(i));
    list->Items().EndUpdate();
    clicks = 0;
    return list;
  }
  static LPARAM At(TXPListBox* list, int row) {
    int y = row * list->GetRowHeight(0) + 1;
    return MAKELPARAM(5, y);
  }
  int clicks = 0;
};

TEST_F(ListBoxTest, ItemListRulesKeepTheCurrentItem) {
  auto* list = Make<TXPListBox>(10, 10, 200, 100);
  list->OnClick = [this](tvk::TObject*) { ++clicks; };
  EXPECT_EQ(list->ItemIndex(), -1);
  list->Items().Insert(0, L"inserted");
  EXPECT_EQ(list->ItemIndex(), -1) << "Insert leaves no current item";
  list->Items().Add(L"added");
  EXPECT_EQ(list->ItemIndex(), 0) << "Add makes the first item current";
  EXPECT_EQ(clicks, 0) << "without a click";

  list->SetSorted(true);
  list->SetItemIndex(1);  // "inserted" (sorted: added, inserted)
  ASSERT_EQ(list->Items()[1], L"inserted");
  clicks = 0;
  list->Items().Add(L"aardvark");
  EXPECT_EQ(list->ItemIndex(), 2) << "a sorted insert keeps the same item current";
  EXPECT_EQ(list->Items()[list->ItemIndex()], L"inserted");
  EXPECT_EQ(clicks, 0);

  list->Clear();
  list->SetSorted(false);
  list->Items().BeginUpdate();
  list->Items().Add(L"a");
  list->Items().Add(L"b");
  EXPECT_EQ(list->ItemIndex(), -1) << "inside an update nothing is made current";
  list->Items().EndUpdate();
  EXPECT_EQ(list->ItemIndex(), 0) << "the end of an update makes item 0 current";
  EXPECT_EQ(clicks, 0);
}

TEST_F(ListBoxTest, RecordsKeepTheUsersObjectAndMoveDropsTheMark) {
  auto* list = MakeList(3);
  tvk::TObject user;
  list->Items().PutObject(1, &user);
  EXPECT_EQ(list->Items().Objects(1), &user);
  list->SetMultiSelect(true);
  list->SetSelected(1, true);
  list->Items().Move(1, 2);
  EXPECT_EQ(list->Items().Objects(2), &user) << "the object travels with its string";
  EXPECT_FALSE(list->Selected(2)) << "the moved item gets a fresh record";
  list->Items().Delete(2);  // must not free the user's object
  EXPECT_EQ(list->Items().IndexOfObject(&user), -1);
  EXPECT_FALSE(list->Selected(7));
  EXPECT_EQ(list->State(-1), tvk::TCheckBoxState::cbUnchecked);
  list->SetSelected(9, true);  // ignored
  EXPECT_EQ(list->SelCount(), 1) << "only item 0, marked while it was current";
}

TEST_F(ListBoxTest, ItemIndexIsClamped) {
  struct Case {
    int count, value;
    bool mouseDown;
    int expected;
  } const cases[] = {
      {10, -5, false, -1}, {10, -5, true, 0}, {10, 13, false, 9}, {10, 10, false, 9},
      {10, 3, false, 3},   {0, 0, false, -1}, {0, 5, false, -1},  {0, -5, true, -1},
  };
  for (const Case& c : cases) {
    auto* list = MakeList(c.count);
    list->SetItemIndex(c.count > 1 ? 1 : -1);
    if (c.mouseDown) SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(list, 20));
    list->SetItemIndex(c.value);
    EXPECT_EQ(list->ItemIndex(), c.expected) << c.count << " items, value " << c.value << ", mouse " << c.mouseDown;
    if (c.mouseDown) SendMessageW(list->Handle(), WM_LBUTTONUP, 0, At(list, 20));
    delete list;
  }
}

TEST_F(ListBoxTest, TopIndexKeepsTheLastPageFullAndFollowsTheCurrentItem) {
  auto* list = MakeList(10);
  ASSERT_EQ(list->VisibleCount(), 4);
  struct Case {
    int value, expected;
  } const tops[] = {{9, 6}, {6, 6}, {3, 3}, {-2, 0}, {100, 6}};
  for (const Case& c : tops) {
    list->SetTopIndex(c.value);
    EXPECT_EQ(list->TopIndex(), c.expected) << "SetTopIndex(" << c.value << ")";
    EXPECT_EQ(list->VertScrollBar().Position(), c.expected);
  }
  EXPECT_TRUE(list->VertScrollBar().Visible());

  list->SetTopIndex(0);
  list->SetItemIndex(0);
  struct Move {
    int index, top;
  } const moves[] = {{7, 4}, {5, 4}, {2, 2}, {9, 6}, {0, 0}};
  for (const Move& m : moves) {
    list->SetItemIndex(m.index);
    EXPECT_EQ(list->TopIndex(), m.top) << "current item " << m.index;
  }
  list->VertScrollBar().SetPosition(3);
  EXPECT_EQ(list->TopIndex(), 3) << "the bar scrolls the rows";
}

TEST_F(ListBoxTest, KeysMoveTheCurrentItem) {
  auto* list = MakeList(10);
  struct Case {
    WORD key;
    int from, expected;
  } const cases[] = {
      {VK_DOWN, 0, 1}, {VK_DOWN, 9, 9}, {VK_UP, 0, 0},  {VK_UP, 5, 4},     {VK_HOME, 6, 0},
      {VK_END, 2, 9},  {VK_NEXT, 0, 3}, {VK_NEXT, 8, 9}, {VK_PRIOR, 5, 2}, {VK_PRIOR, 1, 0},
  };
  for (const Case& c : cases) {
    list->SetItemIndex(c.from);
    clicks = 0;
    SendMessageW(list->Handle(), WM_KEYDOWN, c.key, 0);
    EXPECT_EQ(list->ItemIndex(), c.expected) << "key " << c.key << " from " << c.from;
    EXPECT_EQ(clicks, c.from != c.expected ? 1 : 0);
    EXPECT_TRUE(list->Selected(c.expected));
  }
  EXPECT_EQ(SendMessageW(list->Handle(), WM_GETDLGCODE, 0, 0) & (DLGC_WANTARROWS | DLGC_WANTCHARS),
            DLGC_WANTARROWS | DLGC_WANTCHARS);
}

TEST_F(ListBoxTest, MouseSelection) {
  auto* list = MakeList(10, 8);
  list->SetMultiSelect(true);
  auto click = [&](int row, WPARAM keys) {
    SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON | keys, At(list, row));
    SendMessageW(list->Handle(), WM_LBUTTONUP, keys, At(list, row));
  };
  auto marked = [&] {
    std::wstring s;
    for (int i = 0; i < list->Count(); ++i) s += list->Selected(i) ? L'x' : L'.';
    return s;
  };
  click(2, 0);
  EXPECT_EQ(list->ItemIndex(), 2);
  click(5, MK_SHIFT);
  EXPECT_EQ(marked(), L"..xxxx....");
  click(3, MK_CONTROL);
  EXPECT_EQ(marked(), L"..x.xx....");
  EXPECT_EQ(list->SelCount(), 3);

  list->SetExtendedSelect(false);
  click(7, 0);
  click(2, 0);
  EXPECT_EQ(marked(), L"....xx.x..") << "each click inverts the clicked item";

  list->SetMultiSelect(false);
  list->SetExtendedSelect(true);
  SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(list, 1));
  SendMessageW(list->Handle(), WM_MOUSEMOVE, MK_LBUTTON, At(list, 4));
  SendMessageW(list->Handle(), WM_LBUTTONUP, 0, At(list, 4));
  EXPECT_EQ(list->ItemIndex(), 4) << "the selection follows a drag";
  EXPECT_EQ(marked(), L"....x.....");
}

TEST_F(ListBoxTest, TextIsTheCurrentItem) {
  auto* list = MakeList(3);
  list->SetItemIndex(1);
  HWND wnd = list->Handle();
  EXPECT_EQ(SendMessageW(wnd, WM_GETTEXTLENGTH, 0, 0), 5);

  wchar_t buffer[8];
  std::fill(std::begin(buffer), std::end(buffer), L'#');
  EXPECT_EQ(SendMessageW(wnd, WM_GETTEXT, 0, LPARAM(buffer)), 0) << "no room: nothing copied";
  EXPECT_EQ(buffer[0], L'#') << "and nothing written";
  EXPECT_EQ(SendMessageW(wnd, WM_GETTEXT, 3, LPARAM(buffer)), 2);
  EXPECT_EQ(std::wstring(buffer), L"it");
  EXPECT_EQ(buffer[3], L'#');
  EXPECT_EQ(SendMessageW(wnd, WM_GETTEXT, 8, LPARAM(buffer)), 5);
  EXPECT_EQ(std::wstring(buffer), L"item1");

  EXPECT_EQ(SendMessageW(wnd, WM_SETTEXT, 0, LPARAM(L"ITEM2")), 1);
  EXPECT_EQ(list->ItemIndex(), 2) << "compared as IndexOf compares";
  SendMessageW(wnd, WM_SETTEXT, 0, LPARAM(L"none"));
  EXPECT_EQ(list->ItemIndex(), -1);
  EXPECT_EQ(SendMessageW(wnd, WM_GETTEXT, 8, LPARAM(buffer)), 0);
  EXPECT_EQ(std::wstring(buffer), L"");
}

TEST_F(ListBoxTest, SelectionMoveRepaintsTwoRows) {
  auto* list = MakeList(10);
  list->SetItemIndex(1);
  UpdateWindow(list->Handle());
  list->SetItemIndex(2);
  HRGN dirty = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(list->Handle(), dirty, FALSE);
  int rh = list->GetRowHeight(0);
  int width = list->ClientWidth() - list->VertScrollBar().Width();
  HRGN rows = CreateRectRgn(0, rh, width, 3 * rh);
  EXPECT_TRUE(EqualRgn(dirty, rows)) << "rows 1 and 2 only";
  DeleteObject(dirty);
  DeleteObject(rows);
}

TEST_F(ListBoxTest, CheckBoxClicksCycleTheState) {
  using tvk::TCheckBoxState;
  constexpr auto U = TCheckBoxState::cbUnchecked, C = TCheckBoxState::cbChecked, G = TCheckBoxState::cbGrayed;
  struct Case {
    bool allowGrayed;
    TCheckBoxState states[3];
  } const cases[] = {{false, {C, U, C}}, {true, {G, C, U}}};
  for (const Case& c : cases) {
    auto* list = MakeList(5);
    list->SetUseCheckBoxes(true);
    list->SetAllowGrayed(c.allowGrayed);
    list->SetItemIndex(0);
    int checks = 0;
    list->OnClickCheck = [&](tvk::TObject*) { ++checks; };
    LPARAM onBox = MAKELPARAM(3, 2 * list->GetRowHeight(0) + 2);
    for (int step = 0; step < 3; ++step) {
      SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, onBox);
      EXPECT_EQ(list->State(2), step == 0 ? U : c.states[step - 1]) << "a press alone changes nothing";
      SendMessageW(list->Handle(), WM_LBUTTONUP, 0, onBox);
      EXPECT_EQ(list->State(2), c.states[step]) << "grayed " << c.allowGrayed << ", step " << step;
      EXPECT_EQ(checks, step + 1);
    }
    EXPECT_EQ(list->ItemIndex(), 0) << "a check-box click leaves the current item";
    delete list;
  }

  auto* list = MakeList(3);
  list->SetUseCheckBoxes(true);
  int checks = 0;
  list->OnClickCheck = [&](tvk::TObject*) { ++checks; };
  list->SetState(1, G);
  list->SetChecked(1, false);
  EXPECT_EQ(list->State(1), G) << "false written to a grayed item leaves it grayed";
  EXPECT_EQ(checks, 1);
  SendMessageW(list->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(list->Checked(0)) << "space checks the current item";
  list->SetChecked(9, true);
  EXPECT_EQ(checks, 2);
}

TEST_F(ListBoxTest, WheelScrollsBySystemLinesOrByAPage) {
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  auto* list = MakeList(20);
  struct Case {
    short delta;
    WPARAM keys;
    int expected;
  } const cases[] = {
      {120, 0, 10 - int(lines)}, {-120, 0, std::min(16, 10 + int(lines))}, {60, 0, 10},
      {120, MK_CONTROL, 7},      {-240, MK_CONTROL, 16},                 {120, MK_CONTROL | MK_SHIFT, 10 - int(lines)},
  };
  for (const Case& c : cases) {
    list->SetTopIndex(10);
    POINT screen{15, 15};
    ClientToScreen(list->Handle(), &screen);
    LRESULT result = SendMessageW(list->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(c.keys, WORD(c.delta)),
                                  MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(result, 1);
    EXPECT_EQ(list->TopIndex(), c.expected) << "delta " << c.delta << ", keys " << c.keys;
  }
}

// Type-ahead on a clock the test moves.
class ClockedListBox : public TXPListBox {
public:
  explicit ClockedListBox(tvk::TComponent* owner) : TXPListBox(owner) {}
  DWORD now = 100000;

protected:
  DWORD TickNow() override { return now; }
};

TEST_F(ListBoxTest, TypeAheadSearchesFromTheCurrentItem) {
  auto* list = Make<ClockedListBox>(10, 10, 200, 100);
  for (const wchar_t* item : {L"alpha", L"beta", L"bravo", L"Brick", L"charlie", L"bread", L"\u00e9t\u00e9"})
    list->Items().Add(item);
  struct Step {
    wchar_t key;
    DWORD pause;
    int expected;
  } const steps[] = {
      {L'b', 0, 1},    {L'R', 100, 2},   // two letters quickly, any case
      {L'x', 100, 3},                    // no item begins "brx": "br" again, from the current item
      {L'r', 100, 5},  {L'r', 100, 2},   // "brr" falls back to "br" and wraps round
      {L'c', 600, 4},                    // a pause starts a new text
      {L'\b', 100, 0},                   // back to nothing: item 0
      {L'\u00e9', 100, 6},               // a character past ASCII stands alone
      {L'z', 700, 6},                    // nothing begins with "z": stays
  };
  for (const Step& s : steps) {
    list->now += s.pause;
    SendMessageW(list->Handle(), WM_CHAR, s.key, 0);
    EXPECT_EQ(list->ItemIndex(), s.expected) << "after " << int(s.key);
  }
  EXPECT_EQ(list->FindItemByPrefix(L"BRE", false, 5), 5) << "ending with the start item";
  EXPECT_EQ(list->FindItemByPrefix(L"brx", false, 0), -1);
  EXPECT_EQ(list->FindItemByPrefix(L"", true, 0), -1);
}

}  // namespace
