// The themed combo box: type-ahead in both kinds of style, the style and
// text rules, keys, the wheel, both buttons, the open list and what runs
// while it is open.
#include "CommonUtils.h"
#include "DxEditsTest.h"
#include "XPDXCombos.h"

using namespace tvk;
namespace dxedits_test {

namespace {

DWORD gDxComboNow = 0;
DWORD DxComboClock() { return gDxComboNow; }

struct DxCombo : DxFixture {
  DxCombo() { TXPDXCustomComboBox::TickCount = &DxComboClock; }
  ~DxCombo() override { TXPDXCustomComboBox::TickCount = [] { return DWORD(GetTickCount()); }; }
  TXPDXCombobox* MakeCombo(std::initializer_list<const wchar_t*> items,
                           TXPComboBoxStyle style = TXPComboBoxStyle::csDropDown) {
    auto* combo = Make<TXPDXCombobox>();
    for (const wchar_t* item : items) combo->Items().Add(item);
    combo->SetStyle(style);
    return combo;
  }
  static void Char(TWinControl& control, wchar_t c) { SendMessageW(control.Handle(), WM_CHAR, c, 1); }
};

TEST_F(DxCombo, DropDownListTypesAheadWithinAPauseAndIgnoresLetterCase) {
  auto* combo = MakeCombo({L"alpha", L"beta", L"bravo", L"charlie"}, TXPComboBoxStyle::csDropDownList);
  ASSERT_TRUE(combo->CaseSensitive());
  combo->SetFocus();
  struct {
    DWORD Now;
    wchar_t Key;
    const wchar_t* Text;
  } steps[] = {
      {1000, L'B', L"beta"},     // letter case does not matter
      {1200, L'r', L"bravo"},    // within the pause: "br"
      {1900, L'c', L"charlie"},  // after a pause: "c" alone
      {2000, L'z', L"charlie"},  // "cz" matches nothing: dropped
      {2600, L'a', L"alpha"},
  };
  for (const auto& s : steps) {
    gDxComboNow = s.Now;
    Char(*combo, s.Key);
    EXPECT_EQ(WideString(s.Text), combo->Text()) << "at " << s.Now;
    EXPECT_EQ(combo->Items().IndexOf(s.Text), combo->ItemIndex());
  }
  combo->SetDroppedDown(false);
}

TEST_F(DxCombo, DropDownCompletesTheTypedLetterAndSelectsTheRest) {
  auto* combo = MakeCombo({L"Alpha", L"Beta"});
  combo->SetFocus();
  Char(*combo, L'b');
  EXPECT_EQ(L"beta", combo->Text());  // the typed part keeps its case
  EXPECT_EQ(1, combo->SelStart());
  EXPECT_EQ(3, combo->SelLength());
  EXPECT_EQ(1, combo->ItemIndex());
  Char(*combo, 8);
  EXPECT_EQ(L"b", combo->Text());
  EXPECT_EQ(-1, combo->ItemIndex());
  Char(*combo, L'x');  // no match: typed as it is
  EXPECT_EQ(L"bx", combo->Text());
}

TEST_F(DxCombo, TypeAheadTriesTheFirstItemFirstUnlessItIsTheTextAlready) {
  auto* combo = MakeCombo({L"ab", L"abc"});
  ASSERT_EQ(0, combo->ItemIndex());  // the list selects its first item, the text is still empty
  combo->SetFocus();
  Char(*combo, L'a');
  EXPECT_EQ(L"ab", combo->Text());
  EXPECT_EQ(0, combo->ItemIndex());
  combo->SetText(L"ab");
  combo->SetItemIndex(0);
  combo->SetSelStart(2);
  Char(*combo, L'c');  // "abc" from after the first item
  EXPECT_EQ(L"abc", combo->Text());
  EXPECT_EQ(1, combo->ItemIndex());
}

TEST_F(DxCombo, ListStylesTakeOnlyItemsAsText) {
  auto* combo = MakeCombo({L"one", L"two"});
  combo->SetText(L"free text");
  combo->SetStyle(TXPComboBoxStyle::csDropDownList);
  EXPECT_EQ(L"", combo->Text());
  EXPECT_EQ(-1, combo->ItemIndex());
  EXPECT_EQ(1, SendMessageW(combo->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"three")));
  EXPECT_EQ(L"", combo->Text());
  SendMessageW(combo->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"two"));
  EXPECT_EQ(L"two", combo->Text());
  EXPECT_EQ(1, combo->ItemIndex());
  combo->SetItemIndex(7);  // beyond the items: the last
  EXPECT_EQ(L"two", combo->Text());
  combo->SetItemIndex(-1);
  EXPECT_EQ(L"", combo->Text());
}

TEST_F(DxCombo, AnOwnerDrawnComboDrawsItsListRowsAtTheItemHeight) {
  auto* combo = MakeCombo({L"one", L"two", L"three"}, TXPComboBoxStyle::csOwnerDrawFixed);
  combo->SetItemHeight(27);
  TXPDXPopupListBox& list = combo->PopupListBox();
  std::vector<int> heights;
  list.OnDrawItem = [&](TWinControl*, int, RECT r, TOwnerDrawState) { heights.push_back(r.bottom - r.top); };
  combo->SetDroppedDown(true);
  UpdateWindow(list.Handle());
  combo->SetDroppedDown(false);
  EXPECT_EQ(TListBoxStyle::lbOwnerDrawFixed, list.Style());
  EXPECT_EQ(27, combo->GetItemHeight());
  EXPECT_EQ(std::vector<int>(3, 27), heights);

  combo->SetStyle(TXPComboBoxStyle::csDropDown);
  EXPECT_EQ(TListBoxStyle::lbStandard, list.Style());
  EXPECT_NE(27, combo->GetItemHeight());  // a standard list's rows follow its font
}

TEST_F(DxCombo, NewComboMatchesItemsWithLetterCaseUntilToldOtherwise) {
  auto* combo = MakeCombo({L"Alpha"});
  EXPECT_EQ(-1, combo->Items().IndexOf(L"alpha"));
  combo->SetCaseSensitive(false);
  EXPECT_EQ(0, combo->Items().IndexOf(L"alpha"));
}

TEST_F(DxCombo, ListStyleKeysMoveThroughTheItems) {
  auto* combo = MakeCombo({L"a", L"b", L"c"}, TXPComboBoxStyle::csDropDownList);
  combo->SetFocus();
  struct {
    WORD Key;
    int Index;
  } steps[] = {{VK_END, 2}, {VK_LEFT, 1}, {VK_HOME, 0}, {VK_UP, 0}, {VK_RIGHT, 1}, {VK_DOWN, 2}, {VK_DOWN, 2}};
  for (const auto& s : steps) {
    Key(combo->Handle(), s.Key);
    EXPECT_EQ(s.Index, combo->ItemIndex()) << "key " << s.Key;
  }
  EXPECT_EQ(L"c", combo->Text());
}

TEST_F(DxCombo, WheelMovesTheItemAndNeverAboveTheFirst) {
  auto* combo = MakeCombo({L"a", L"b", L"c"});
  combo->SetItemIndex(-1);
  auto wheel = [&](int delta) {
    SendMessageW(combo->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(delta))), 0);
  };
  wheel(-WHEEL_DELTA);
  EXPECT_EQ(0, combo->ItemIndex());
  wheel(-WHEEL_DELTA);
  EXPECT_EQ(1, combo->ItemIndex());
  EXPECT_EQ(L"b", combo->Text());
  EXPECT_EQ(1, combo->SelLength());
  wheel(WHEEL_DELTA);
  wheel(WHEEL_DELTA);
  EXPECT_EQ(0, combo->ItemIndex());
}

TEST_F(DxCombo, SecondButtonSitsOutermostAndCtrlEnterClicksIt) {
  auto* combo = new TXPDXCombobox(form.get());
  combo->SetParent(form.get());
  combo->SetBounds(10, 60, 200, 21);
  combo->HandleNeeded();
  combo->SetShowButton2(true);
  int first = 0, second = 0;
  combo->OnButtonClick = [&](TObject*) { ++first; };
  combo->OnButton2Click = [&](TObject*) { ++second; };
  EXPECT_EQ(GetScrollBarSize(), combo->Button().Width());
  EXPECT_EQ(GetScrollBarSize(), combo->Button2().Width());
  EXPECT_EQ(combo->ClientWidth(), combo->Button2().Left() + combo->Button2().Width());
  EXPECT_EQ(combo->Button2().Left(), combo->Button().Left() + combo->Button().Width());
  RECT text;
  combo->GetTextRect(text);
  EXPECT_LE(text.right, combo->Button().Left());
  combo->SetFocus();
  Key(combo->Handle(), VK_RETURN, ssCtrl);
  EXPECT_EQ(0, first);
  EXPECT_EQ(1, second);
}

TEST_F(DxCombo, ListSitsUnderTheComboAndStaysOnTheMonitor) {
  auto* combo = MakeCombo({L"one", L"two", L"three"});
  combo->SetDroppedDown(true);
  ASSERT_TRUE(combo->DroppedDown());
  TXPDXPopupListBox& list = combo->PopupListBox();
  HWND window = list.Handle();
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(GetDesktopWindow(), GetAncestor(window, GA_PARENT));
  EXPECT_EQ(DWORD(WS_EX_TOOLWINDOW), DWORD(GetWindowLongW(window, GWL_EXSTYLE)) & ~DWORD(WS_EX_TOPMOST));
  RECT listRect;
  GetWindowRect(window, &listRect);
  POINT corner = combo->ClientToScreen(POINT{0, combo->Height()});
  EXPECT_EQ(corner.x, listRect.left);
  EXPECT_EQ(corner.y - GetSystemMetrics(SM_CYEDGE) - 1, listRect.top);
  combo->SetDroppedDown(false);
  EXPECT_FALSE(IsWindowVisible(window));

  MONITORINFO monitor{};
  GetMonitorInfoAtPoint(POINT{0, 0}, monitor);
  const RECT& screen = monitor.rcMonitor;
  list.Popup(screen.right - 10, screen.bottom - 5);
  GetWindowRect(window, &listRect);
  EXPECT_EQ(screen.right, listRect.right);
  EXPECT_EQ(screen.bottom, listRect.bottom);
  list.Close(false);
}

TEST_F(DxCombo, KeysInTheOpenListChangeTheTextAtOnceAndEscapeKeepsIt) {
  auto* combo = MakeCombo({L"one", L"two", L"three"});
  combo->SetText(L"one");
  int changes = 0, selects = 0, closes = 0;
  combo->OnChange = [&](TObject*) { ++changes; };
  combo->OnSelect = [&](TObject*) { ++selects; };
  combo->OnCloseUp = [&](TObject*) { ++closes; };
  combo->SetFocus();
  Key(combo->Handle(), VK_DOWN, ssAlt);  // the main button: the list opens
  ASSERT_TRUE(combo->DroppedDown());
  EXPECT_EQ(0, combo->ItemIndex());
  TXPDXPopupListBox& list = combo->PopupListBox();
  // Keys typed into the combo are the open list's.
  Key(combo->Handle(), VK_DOWN);
  EXPECT_EQ(L"two", combo->Text());
  EXPECT_EQ(1, changes);
  EXPECT_EQ(1, selects);
  EXPECT_TRUE(combo->DroppedDown());
  Key(combo->Handle(), VK_ESCAPE);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_FALSE(IsWindowVisible(list.Handle()));
  EXPECT_EQ(L"two", combo->Text());
  EXPECT_EQ(1, list.ItemIndex());
  EXPECT_EQ(1, closes);
  EXPECT_EQ(combo->Handle(), GetFocus());
}

TEST_F(DxCombo, TypingOpensTheListWithAutoDropDownAndEnterTakesTheItem) {
  auto* combo = MakeCombo({L"red", L"green"});
  combo->SetAutoDropDown(true);
  combo->SetFocus();
  Char(*combo, L'g');
  EXPECT_TRUE(combo->DroppedDown());
  EXPECT_EQ(L"green", combo->Text());
  EXPECT_EQ(1, combo->PopupListBox().ItemIndex());
  Key(combo->Handle(), VK_UP);
  Key(combo->Handle(), VK_RETURN);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(L"red", combo->Text());
  EXPECT_EQ(3, combo->SelLength());
}

// A message given to the thread's mouse hooks as Windows gives it.
LRESULT DxMouseHook(UINT message, POINT pt) {
  MOUSEHOOKSTRUCT info{};
  info.pt = pt;
  return TThreadMouseHook::Procedure(HC_ACTION, message, reinterpret_cast<LPARAM>(&info));
}

// What reaches the hooks installed before the combo's (a host's own).
std::vector<UINT>* gDxPassedOn = nullptr;
LRESULT WINAPI DxRecordPassedOn(HHOOK, int, WPARAM wParam, LPARAM) {
  if (gDxPassedOn) gDxPassedOn->push_back(UINT(wParam));
  return 0;
}

TEST_F(DxCombo, OpenListLeavesOtherHooksTheirMessagesAndCloseGivesEverythingBack) {
  auto* combo = MakeCombo({L"one", L"two"});
  const LONG_PTR ownProc = GetWindowLongPtrW(combo->Handle(), GWLP_WNDPROC);
  std::vector<UINT> passed;
  gDxPassedOn = &passed;
  auto saved = std::exchange(TThreadMouseHook::CallNext, &DxRecordPassedOn);
  combo->SetDroppedDown(true);
  ASSERT_TRUE(combo->PopupListBox().ParentHooked());
  EXPECT_NE(ownProc, GetWindowLongPtrW(combo->Handle(), GWLP_WNDPROC));
  RECT listRect;
  GetWindowRect(combo->PopupListBox().Handle(), &listRect);
  EXPECT_EQ(0, DxMouseHook(WM_MOUSEMOVE, POINT{listRect.right + 40, listRect.bottom + 40}));
  EXPECT_EQ(0, DxMouseHook(WM_MOUSEMOVE, POINT{listRect.left + 2, listRect.top + 2}));
  EXPECT_TRUE(combo->DroppedDown());
  combo->SetDroppedDown(false);
  TThreadMouseHook::CallNext = saved;
  gDxPassedOn = nullptr;
  EXPECT_EQ((std::vector<UINT>{WM_MOUSEMOVE, WM_MOUSEMOVE}), passed);
  EXPECT_FALSE(combo->PopupListBox().ParentHooked());
  EXPECT_EQ(ownProc, GetWindowLongPtrW(combo->Handle(), GWLP_WNDPROC));
  EXPECT_EQ(nullptr, TXPDXPopupListBox::OpenList());
  // Keys go to the combo itself again.
  combo->SetText(L"");
  combo->SetFocus();
  Char(*combo, L't');
  EXPECT_EQ(L"two", combo->Text());
}

TEST_F(DxCombo, PressOnTheOwnButtonWhileOpenClosesWithoutReopening) {
  auto* combo = MakeCombo({L"one", L"two"});
  int closes = 0;
  combo->OnCloseUp = [&](TObject*) { ++closes; };
  combo->Button().Click();
  ASSERT_TRUE(combo->DroppedDown());
  RECT button;
  combo->GetButtonRect(button);
  POINT onButton = combo->ClientToScreen(POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
  DxMouseHook(WM_LBUTTONDOWN, onButton);  // the hook closes the list first
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_TRUE(combo->Flag1);
  combo->Button().Click();  // the same press's click
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(1, closes);
  combo->Button().Click();  // the next press opens it again
  EXPECT_TRUE(combo->DroppedDown());
  // A press elsewhere closes it too, without marking the combo.
  DxMouseHook(WM_LBUTTONDOWN, POINT{5000, 5000});
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_FALSE(combo->Flag1);
}

TEST_F(DxCombo, DeactivationClosesTheListWithoutTakingAnItem) {
  HWND saved = Application().Handle();
  Application().SetHandle(form->Handle());
  auto* combo = MakeCombo({L"one", L"two", L"three"});
  combo->SetText(L"one");
  combo->SetDroppedDown(true);
  combo->PopupListBox().SetItemIndexQuietly(2);  // hovered, not chosen
  SendMessageW(form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  Application().SetHandle(saved);
  EXPECT_FALSE(combo->DroppedDown());
  EXPECT_EQ(L"one", combo->Text());
  EXPECT_EQ(0, combo->ItemIndex());
}

TEST_F(DxCombo, WheelOverTheOpenListScrollsTheList) {
  auto* combo = MakeCombo({L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"10", L"11", L"12"});
  combo->SetItemIndex(0);
  combo->SetDroppedDown(true);
  SendMessageW(combo->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(-WHEEL_DELTA))), 0);
  EXPECT_GT(combo->PopupListBox().TopIndex(), 0);
  EXPECT_EQ(0, combo->ItemIndex());
  combo->SetDroppedDown(false);
}

}  // namespace

}  // namespace dxedits_test
