// The styled combo box: the index the driver's forms set, the text rules of
// the styles, auto-complete, the drop-down list's size and place, and what
// opening and closing it does to the combo's procedure and the hooks.
#include "XPCombo.h"
#include "XPListsTest.h"

#include <string>

namespace {

using tvk::TComboBoxStyle;
using tvk::TXPComboBox;

// Type-ahead on a clock the test moves.
class ClockedCombo : public TXPComboBox {
public:
  explicit ClockedCombo(tvk::TComponent* owner) : TXPComboBox(owner) {}
  DWORD now = 100000;

protected:
  DWORD TickNow() override { return now; }
};

struct ComboTest : xplists_test::ListsFixture {
  ClockedCombo* MakeCombo(std::initializer_list<const wchar_t*> items, TComboBoxStyle style = TComboBoxStyle::csDropDown,
                          int left = 10, int top = 10) {
    auto* combo = Make<ClockedCombo>(left, top, 150, 21);
    combo->SetStyle(style);
    for (const wchar_t* item : items) combo->Items().Add(item);
    combo->OnSelect = [this](tvk::TObject*) { ++selects; };
    combo->OnChange = [this](tvk::TObject*) { ++changes; };
    return combo;
  }
  static void Type(tvk::TWinControl* control, const wchar_t* text) {
    for (const wchar_t* c = text; *c; ++c) SendMessageW(control->Handle(), WM_CHAR, *c, 0);
  }
  static RECT ScreenRect(tvk::TWinControl& control) {
    RECT r;
    GetWindowRect(control.Handle(), &r);
    return r;
  }
  int selects = 0;
  int changes = 0;
};

TEST_F(ComboTest, ItemIndexIsClampedAndShownInTheText) {
  auto* combo = MakeCombo({L"one", L"two", L"three"});
  EXPECT_EQ(combo->ItemIndex(), 0) << "the first item added became current";
  EXPECT_EQ(combo->Text(), L"one") << "and its text the combo's";
  selects = 0;
  combo->SetItemIndex(5);
  EXPECT_EQ(combo->ItemIndex(), 2);
  EXPECT_EQ(combo->Text(), L"three");
  EXPECT_EQ(selects, 1);
  combo->SetItemIndex(2);
  EXPECT_EQ(selects, 1) << "the same index runs no selection";
  combo->SetItemIndex(-7);
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), L"");
}

TEST_F(ComboTest, ListStylesRefuseTextThatIsNoItem) {
  auto* combo = MakeCombo({L"alpha", L"beta"}, TComboBoxStyle::csDropDownList);
  EXPECT_EQ(SendMessageW(combo->Handle(), WM_SETTEXT, 0, LPARAM(L"gamma")), 1);
  EXPECT_EQ(combo->Text(), L"alpha");
  SendMessageW(combo->Handle(), WM_SETTEXT, 0, LPARAM(L"beta"));
  EXPECT_EQ(combo->ItemIndex(), 1);
  combo->SetText(L"nothing");
  EXPECT_EQ(combo->ItemIndex(), -1);
  EXPECT_EQ(combo->Text(), L"");

  auto* editable = MakeCombo({L"alpha", L"beta"});
  SendMessageW(editable->Handle(), WM_SETTEXT, 0, LPARAM(L"BETA"));
  EXPECT_EQ(editable->Text(), L"BETA") << "an editable combo takes any text";
  EXPECT_EQ(editable->ItemIndex(), 1) << "and its list follows, without case";
}

TEST_F(ComboTest, AutoCompleteInTheEditableStyle) {
  auto* combo = MakeCombo({L"alpha", L"bravo", L"Brick"});
  combo->SetText(L"");
  combo->SetFocus();
  Type(combo, L"bR");
  EXPECT_EQ(combo->Text(), L"bRavo") << "the typed part keeps its case";
  EXPECT_EQ(combo->ItemIndex(), 1);
  EXPECT_EQ(combo->SelStart(), 2);
  EXPECT_EQ(combo->SelLength(), 3);
  Type(combo, L"i");
  EXPECT_EQ(combo->Text(), L"bRick");
  EXPECT_EQ(combo->ItemIndex(), 2);
  SendMessageW(combo->Handle(), WM_CHAR, VK_BACK, 0);
  EXPECT_EQ(combo->Text(), L"bRi") << "the completed rest goes";
  EXPECT_EQ(combo->ItemIndex(), -1);
  combo->SetSelLength(0);
  SendMessageW(combo->Handle(), WM_CHAR, VK_BACK, 0);
  EXPECT_EQ(combo->Text(), L"bR") << "then the character before the caret";
  Type(combo, L"x");
  EXPECT_EQ(combo->Text(), L"bRx") << "no item: the edit takes it";
}

TEST_F(ComboTest, TypeAheadInTheListStyle) {
  auto* combo = MakeCombo({L"alpha", L"beta", L"bravo", L"charlie", L"\u00e9t\u00e9"}, TComboBoxStyle::csDropDownList);
  combo->SetFocus();
  struct Step {
    wchar_t key;
    DWORD pause;
    int expected;
  } const steps[] = {
      {L'b', 0, 1}, {L'r', 100, 2}, {L'c', 600, 3}, {L'z', 700, 3}, {L'\u00e9', 700, 4},
  };
  for (const Step& s : steps) {
    combo->now += s.pause;
    SendMessageW(combo->Handle(), WM_CHAR, s.key, 0);
    EXPECT_EQ(combo->ItemIndex(), s.expected) << "after " << int(s.key);
    EXPECT_EQ(combo->Text(), combo->Items()[combo->ItemIndex()]) << "only items can stand in the text";
  }
}

TEST_F(ComboTest, ListSizeFollowsItemsAndDropDownCount) {
  auto* combo = MakeCombo({});
  for (int i = 0; i < 20; ++i) combo->Items().Add(L"item " + std::to_wstring(i));
  combo->SetDroppedDown(true);
  auto& list = combo->PopupListBox();
  ASSERT_TRUE(IsWindowVisible(list.Handle()));
  EXPECT_EQ(list.ClientHeight() / list.GetRowHeight(0), 8);
  EXPECT_EQ(list.Width(), combo->Width()) << "never narrower than the combo";
  combo->SetDroppedDown(false);

  combo->Items().Add(std::wstring(150, L'W'));
  combo->SetDroppedDown(true);
  EXPECT_EQ(list.Width(), 400) << "the widest item, at most 400";
  const RECT r = ScreenRect(list);
  POINT below{0, combo->Height()};
  ClientToScreen(combo->Handle(), &below);
  EXPECT_EQ(r.top, below.y) << "right below the combo";
  combo->SetDroppedDown(false);
}

TEST_F(ComboTest, TheOpenListFollowsTheCombosFontWithoutTheHotUnderline) {
  auto* combo = MakeCombo({L"one", L"two"});
  auto& list = combo->PopupListBox();
  combo->Font().SetName(L"Courier New");
  combo->SetDroppedDown(true);
  EXPECT_TRUE(list.ParentFont());
  EXPECT_EQ(L"Courier New", list.Font().Name());
  combo->Font().SetSize(14);
  EXPECT_EQ(14, list.Font().Size()) << "a change while open reaches the list";
  combo->SetDroppedDown(false);

  combo->SetHotTrack(true);
  combo->Font().SetStyle(tvk::TFontStyles(tvk::fsUnderline | tvk::fsBold));
  combo->SetDroppedDown(true);
  EXPECT_EQ(tvk::TFontStyles(tvk::fsBold), list.Font().Style());
  EXPECT_EQ(14, list.Font().Size());
  combo->SetDroppedDown(false);
}

TEST_F(ComboTest, ListNearTheMonitorBottomMovesUp) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
  form->SetBounds(0, monitor.rcMonitor.bottom - 80, 400, 80);
  auto* combo = MakeCombo({L"a", L"b", L"c", L"d", L"e", L"f"}, TComboBoxStyle::csDropDown, 10, 10);
  combo->SetDroppedDown(true);
  const RECT list = ScreenRect(combo->PopupListBox());
  EXPECT_EQ(list.bottom, monitor.rcMonitor.bottom);
  EXPECT_LT(list.top, ScreenRect(*combo).bottom) << "over the combo";
  combo->SetDroppedDown(false);
}

TEST_F(ComboTest, OpenListHooksAndClosingGivesEverythingBack) {
  HWND savedMain = tvk::Application().Handle();
  tvk::Application().SetHandle(form->Handle());
  auto* combo = MakeCombo({L"a", L"b", L"c", L"d"});
  combo->SetItemIndex(1);
  combo->SetDroppedDown(true);
  auto& list = combo->PopupListBox();
  EXPECT_EQ(tvk::TXPPopupListBox::ActiveList(), &list);
  EXPECT_TRUE(list.ComboProcedureReplaced());
  EXPECT_TRUE(list.MouseHooked());
  EXPECT_TRUE(list.MainWindowHooked());
  EXPECT_EQ(GetWindowLongPtrW(list.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, WS_EX_TOPMOST);

  // Keys typed in the combo move the list; the mouse only lights items.
  SendMessageW(combo->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(list.ItemIndex(), 2);
  SendMessageW(list.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 3 * list.GetRowHeight(0) + 1));
  EXPECT_EQ(list.ItemIndex(), 3);
  const std::wstring shown = combo->Text();

  // Another application's activation closes it without taking the item.
  SendMessageW(form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_FALSE(IsWindowVisible(list.Handle()));
  EXPECT_EQ(combo->Text(), shown);
  EXPECT_EQ(list.ItemIndex(), combo->Items().IndexOf(shown));
  EXPECT_EQ(tvk::TXPPopupListBox::ActiveList(), nullptr);
  EXPECT_FALSE(list.ComboProcedureReplaced());
  EXPECT_FALSE(list.MouseHooked());
  EXPECT_FALSE(list.MainWindowHooked());

  // Enter takes the item over.
  combo->SetDroppedDown(true);
  SendMessageW(combo->Handle(), WM_KEYDOWN, VK_HOME, 0);
  SendMessageW(combo->Handle(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(combo->Text(), L"a");
  SendMessageW(combo->Handle(), WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(combo->CaretPos(), 1) << "keys are the combo's again";
  tvk::Application().SetHandle(savedMain);
}

// What the hook hands on: every message, the ones outside the list too.
std::vector<UINT>* gComboPassedOn = nullptr;
LRESULT WINAPI RecordComboPassedOn(HHOOK, int, WPARAM wParam, LPARAM) {
  if (gComboPassedOn) gComboPassedOn->push_back(UINT(wParam));
  return 0;
}

TEST_F(ComboTest, APressOnTheButtonClosesAndTheClickDoesNotReopen) {
  auto* combo = MakeCombo({L"a", L"b"});
  std::vector<UINT> passed;
  gComboPassedOn = &passed;
  auto saved = std::exchange(tvk::TThreadMouseHook::CallNext, &RecordComboPassedOn);
  combo->SetDroppedDown(true);
  RECT button = combo->Button().BoundsRect();
  POINT onButton{(button.left + button.right) / 2, (button.top + button.bottom) / 2};
  ClientToScreen(combo->Handle(), &onButton);
  MOUSEHOOKSTRUCT info{};
  info.pt = POINT{onButton.x, onButton.y + 200};
  tvk::TThreadMouseHook::Procedure(HC_ACTION, WM_MOUSEMOVE, LPARAM(&info));
  EXPECT_TRUE(combo->DroppedDown()) << "a move closes nothing";
  info.pt = onButton;
  tvk::TThreadMouseHook::Procedure(HC_ACTION, WM_LBUTTONDOWN, LPARAM(&info));
  tvk::TThreadMouseHook::CallNext = saved;
  gComboPassedOn = nullptr;
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_TRUE(combo->Flag1());
  EXPECT_EQ((std::vector<UINT>{WM_MOUSEMOVE, WM_LBUTTONDOWN}), passed) << "the host's hooks see them";
  combo->Button().Click();
  EXPECT_FALSE(combo->DroppedDown()) << "the click of that press";
  combo->Button().Click();
  EXPECT_TRUE(combo->DroppedDown()) << "the next one opens";
  combo->SetDroppedDown(false);
}

TEST_F(ComboTest, FreeingAnOpenComboTakesItsHooksAlong) {
  auto* combo = MakeCombo({L"a", L"b"});
  combo->SetDroppedDown(true);
  delete combo;
  EXPECT_EQ(tvk::TXPPopupListBox::ActiveList(), nullptr);
  MOUSEHOOKSTRUCT info{};
  EXPECT_EQ(0, tvk::TThreadMouseHook::Procedure(HC_ACTION, WM_LBUTTONDOWN, LPARAM(&info)));
}

TEST_F(ComboTest, NoItemTextStandsSixPixelsIn) {
  auto* combo = MakeCombo({L"a"}, TComboBoxStyle::csDropDownList);
  combo->SetItemIndex(-1);
  combo->SetNoItemText(L"IIII");
  tvk::TBitmap target;
  target.SetSize(combo->ClientWidth(), combo->ClientHeight());
  SendMessageW(combo->Handle(), WM_PRINT, WPARAM(target.Canvas().Handle()), PRF_CLIENT);
  const COLORREF gray = tvk::ColorToRGB(tvk::clGrayText);
  int first = -1, top = -1, bottom = -1;
  for (int x = 0; x < 40 && first < 0; ++x)
    for (int y = 0; y < target.Height(); ++y)
      if (tvk::ColorToRGB(target.Canvas().Pixel(x, y)) == gray) {
        first = x;
        break;
      }
  for (int y = 0; y < target.Height(); ++y)
    if (tvk::ColorToRGB(target.Canvas().Pixel(first, y)) == gray) {
      if (top < 0) top = y;
      bottom = y;
    }
  ASSERT_GE(first, 0) << "grey text painted";
  EXPECT_GE(first, 6);
  EXPECT_LE(first, 8) << "6 pixels in, plus the letter's side bearing";
  EXPECT_LE(std::abs((top + bottom) - target.Height()), 4) << "vertically centred";
}

}  // namespace
