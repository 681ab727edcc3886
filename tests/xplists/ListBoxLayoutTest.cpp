// The styled list box beyond one column: columns, hot tracking, the
// auto-scroll pace, owner drawing, automatic dragging, check glyphs and the
// border in every look.
#include "XPLists.h"
#include "XPListsTest.h"

#include <string>

namespace {

using tvk::TXPListBox;

struct ListLayoutTest : xplists_test::ListsFixture {
  // A list of Count items with exactly Rows whole rows in its view.
  TXPListBox* MakeRows(int count, int rows, int columns = 0) {
    auto* list = Make<TXPListBox>(10, 10, 300, 100);
    list->SetColumns(columns);
    const int frame = list->Height() - list->ClientHeight();
    list->SetBounds(10, 10, 300, frame + rows * list->GetRowHeight(0));
    list->Items().BeginUpdate();
    for (int i = 0; i < count; ++i) list->Items().Add(L"item" + std::to_wstring(i));
    list->Items().EndUpdate();
    return list;
  }
  static LPARAM Point(int x, int y) { return MAKELPARAM(WORD(short(x)), WORD(short(y))); }
};

TEST_F(ListLayoutTest, ColumnsScrollByWholeColumns) {
  auto* list = MakeRows(32, 5, 3);
  // The horizontal bar takes room below the rows: five rows still fit.
  const int frame = list->Height() - list->ClientHeight();
  list->SetBounds(10, 10, 300, frame + 5 * list->GetRowHeight(0) + list->HorzScrollBar().Height());
  ASSERT_EQ(list->ColumnCount(), 5);
  EXPECT_EQ(list->VisibleCount(), 15);
  EXPECT_EQ(list->GetNeededColumns(), 7);
  EXPECT_FALSE(list->VertScrollBar().Visible()) << "columns scroll sideways";
  EXPECT_TRUE(list->HorzScrollBar().Visible());

  list->SetTopIndex(30);
  EXPECT_EQ(list->TopIndex(), 20) << "at most 7 x 5 - 15, on a column's first item";
  EXPECT_EQ(list->HorzScrollBar().Min(), 0);
  EXPECT_EQ(list->HorzScrollBar().Max(), 6);
  EXPECT_EQ(list->HorzScrollBar().Position(), 4);
  list->SetTopIndex(7);
  EXPECT_EQ(list->TopIndex(), 5);

  list->SetItemIndex(6);
  SendMessageW(list->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(list->ItemIndex(), 11) << "one column right";
  SendMessageW(list->Handle(), WM_KEYDOWN, VK_LEFT, 0);
  SendMessageW(list->Handle(), WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(list->ItemIndex(), 1);

  // The item under a point: column by x, row by y, from the top item.
  const int width = (list->ClientWidth()) / 3;
  const int row = list->GetRowHeight(0);
  list->SetTopIndex(5);
  EXPECT_EQ(list->ItemAtPos(POINT{width + 3, 2 * row + 1}, true), 5 + 5 + 2);
  RECT r = list->ItemRect(12);
  EXPECT_EQ(r.left, width);
  EXPECT_EQ(r.top, 2 * row);

  // The wheel moves whole columns.
  SendMessageW(list->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(-120))), 0);
  EXPECT_EQ(list->TopIndex(), 10);
}

TEST_F(ListLayoutTest, ADragOutsideTheRowsScrollsFasterTheFartherAway) {
  auto* list = MakeRows(50, 4);
  SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Point(5, 2));
  struct Case {
    int y;  // below the client area by (y - height + 1)
    bool running;
    unsigned interval;
  };
  const int h = list->ClientHeight();
  const Case cases[] = {{h + 9, true, 300}, {h + 49, true, 300}, {h + 50, true, 75},
                        {h + 99, true, 75}, {h + 100, true, 25}, {-120, true, 25},
                        {-30, true, 300},   {h / 2, false, 300}};
  for (const Case& c : cases) {
    SendMessageW(list->Handle(), WM_MOUSEMOVE, MK_LBUTTON, Point(5, c.y));
    EXPECT_EQ(list->ScrollTimer().Enabled(), c.running) << "at " << c.y;
    if (c.running) {
      EXPECT_EQ(list->ScrollTimer().Interval(), c.interval) << "at " << c.y;
    }
  }
  SendMessageW(list->Handle(), WM_MOUSEMOVE, MK_LBUTTON, Point(5, h + 200));
  SendMessageW(list->Handle(), WM_LBUTTONUP, 0, Point(5, h + 200));
  EXPECT_FALSE(list->ScrollTimer().Enabled()) << "the release stops it";
  SendMessageW(list->Handle(), WM_MOUSEMOVE, 0, Point(5, h + 200));
  EXPECT_FALSE(list->ScrollTimer().Enabled()) << "without the button nothing scrolls";
}

TEST_F(ListLayoutTest, HotItemFollowsTheMouseAndRepaintsOnlyCheckBoxes) {
  auto* list = MakeRows(10, 4);
  list->SetUseCheckBoxes(true);
  const int row = list->GetRowHeight(0);
  SendMessageW(list->Handle(), WM_MOUSEMOVE, 0, Point(40, row + 2));
  EXPECT_EQ(list->HotIndex(), 1);
  UpdateWindow(list->Handle());
  SendMessageW(list->Handle(), WM_MOUSEMOVE, 0, Point(40, 2 * row + 2));
  EXPECT_EQ(list->HotIndex(), 2);
  RECT dirty{};
  GetUpdateRect(list->Handle(), &dirty, FALSE);
  EXPECT_EQ(dirty.top, row);
  EXPECT_EQ(dirty.bottom, 3 * row);
  EXPECT_LE(dirty.right, 20) << "check-box areas only";
  SendMessageW(list->Handle(), tvk::CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(list->HotIndex(), -1);
}

TEST_F(ListLayoutTest, OwnerDrawnRowsGetTheirStateAndHeight) {
  auto* list = MakeRows(5, 4);
  list->SetStyle(tvk::TListBoxStyle::lbOwnerDrawFixed);
  list->SetItemHeight(21);
  EXPECT_EQ(list->GetRowHeight(0), 21) << "the owner's height, not the font's";
  list->SetMultiSelect(true);
  list->SetUseCheckBoxes(true);
  list->SetChecked(2, true);
  list->SetItemIndex(1);
  list->SetSelected(3, true);
  struct Drawn {
    int index;
    RECT rect;
    tvk::TOwnerDrawState state;
  };
  std::vector<Drawn> drawn;
  list->OnDrawItem = [&](tvk::TWinControl* control, int index, RECT rect, tvk::TOwnerDrawState state) {
    EXPECT_EQ(control, list);
    drawn.push_back({index, rect, state});
  };
  SendMessageW(list->Handle(), WM_MOUSEMOVE, 0, Point(40, 2 * 21 + 3));
  tvk::TBitmap target;
  target.SetSize(list->ClientWidth(), list->ClientHeight());
  SendMessageW(list->Handle(), WM_PRINT, WPARAM(target.Canvas().Handle()), PRF_CLIENT);
  ASSERT_GE(drawn.size(), 4u);
  EXPECT_EQ(drawn[1].state, tvk::odFocused);
  EXPECT_EQ(drawn[2].state, tvk::odChecked | tvk::odHotLight);
  EXPECT_EQ(drawn[3].state, tvk::odSelected);
  EXPECT_EQ(drawn[2].rect.top, 42);
  EXPECT_EQ(drawn[2].rect.left, 0) << "the check-box area belongs to the owner too";
  list->SetEnabled(false);
  drawn.clear();
  SendMessageW(list->Handle(), WM_PRINT, WPARAM(target.Canvas().Handle()), PRF_CLIENT);
  ASSERT_FALSE(drawn.empty());
  EXPECT_TRUE(drawn[0].state & tvk::odDisabled);
}

TEST_F(ListLayoutTest, AutomaticDragStartsFromAMoveAfterThePressSelected) {
  auto* list = MakeRows(10, 4);
  list->SetDragMode(tvk::TDragMode::dmAutomatic);
  const int row = list->GetRowHeight(0);
  POINT start{5, 2 * row + 2};
  ClientToScreen(list->Handle(), &start);
  SetCursorPos(start.x, start.y);
  SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Point(5, 2 * row + 2));
  EXPECT_EQ(list->ItemIndex(), 2) << "the press still selects";
  EXPECT_FALSE(list->Dragging());
  SendMessageW(list->Handle(), WM_MOUSEMOVE, MK_LBUTTON, Point(5, 2 * row + 3));
  EXPECT_TRUE(list->Dragging());
  SendMessageW(list->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_FALSE(list->Dragging());
}

// Every look draws its check glyphs and keeps a 2-pixel frame.
TEST_F(ListLayoutTest, CheckGlyphsAndBorderInEveryLook) {
  for (int mode : {0, 1, 2}) {
    Look(mode);
    auto* list = MakeRows(3, 4);
    list->RecreateWnd();
    list->HandleNeeded();
    list->SetUseCheckBoxes(true);
    list->SetChecked(0, true);
    tvk::TBitmap target;
    target.SetSize(list->ClientWidth(), list->ClientHeight());
    target.Canvas().Brush().SetColor(tvk::clFuchsia);
    target.Canvas().FillRect(RECT{0, 0, target.Width(), target.Height()});
    SendMessageW(list->Handle(), WM_PRINT, WPARAM(target.Canvas().Handle()), PRF_CLIENT);
    const int row = list->GetRowHeight(0);
    int differing = 0;
    const tvk::TColor back = target.Canvas().Pixel(1, 1);
    for (int y = 0; y < row; ++y)
      for (int x = 0; x < 16; ++x) differing += target.Canvas().Pixel(x, y) != back ? 1 : 0;
    EXPECT_GT(differing, 10) << "a glyph in look " << mode;
    EXPECT_EQ(list->Width() - list->ClientWidth(), 4) << "a 2-pixel frame in look " << mode;
    delete list;
  }
}

}  // namespace
