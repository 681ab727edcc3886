// Keys and presses reaching the custom-drawn control base through its window:
// key-down offered as a notification first (menu short cuts, ending a library
// drag), cancelling mouse operations, the control's own automatic-drag press,
// and the inner list box handing its keys to the container.
#include "Forms.h"
#include "Menus.h"
#include "cxContainer.h"
#include "cxControls.h"
#include "cxInnerListBox.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace tvk;

namespace {

bool KeyDeliveryCtrlUp() { return false; }

// Holds the given keys down in the thread's key state for the scope.
class TKeyDeliveryKeysHeld {
public:
  explicit TKeyDeliveryKeysHeld(std::initializer_list<int> AKeys) {
    GetKeyboardState(FSaved);
    BYTE state[256];
    GetKeyboardState(state);
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU}) state[key] = 0;
    for (int key : AKeys) state[key] = 0x80;
    SetKeyboardState(state);
  }
  ~TKeyDeliveryKeysHeld() { SetKeyboardState(FSaved); }
  TKeyDeliveryKeysHeld(const TKeyDeliveryKeysHeld&) = delete;
  TKeyDeliveryKeysHeld& operator=(const TKeyDeliveryKeysHeld&) = delete;

private:
  BYTE FSaved[256]{};
};

class TKeyDeliveryDragObject : public TcxDragAndDropObject {
public:
  using TcxDragAndDropObject::TcxDragAndDropObject;
};

// Counts what reaches the control's own handlers; may start a library drag.
class TKeyDeliveryControl : public TcxControl {
public:
  using TcxControl::TcxControl;
  bool StartsDrag = false;
  int MouseDowns = 0;
  bool FocusedAfterDown = false;

protected:
  TcxDragAndDropObject* CreateDragAndDropObject() override { return new TKeyDeliveryDragObject(this); }
  bool StartDragAndDrop(POINT) override { return StartsDrag; }
  void MouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) override {
    ++MouseDowns;
    TcxControl::MouseDown(AButton, AShift, X, Y);
    FocusedAfterDown = Focused();
  }
};

class KeyDelivery : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    laf_test::LookAndFeel::SetUp();
    FSavedQueries = cxControlSystemQueries();
    cxControlSystemQueries().CtrlDown = &KeyDeliveryCtrlUp;
    FHost = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr, nullptr,
                            nullptr);
    FControl = std::make_unique<TKeyDeliveryControl>(nullptr);
    FControl->SetBounds(20, 30, 100, 60);
    FControl->SetParentWindow(FHost);
    FControl->HandleNeeded();
    FControl->OnKeyDown = [this](TObject*, WORD&, TShiftState) { ++FKeyDowns; };
  }
  void TearDown() override {
    FControl.reset();
    DestroyWindow(FHost);
    cxControlSystemQueries() = FSavedQueries;
    laf_test::LookAndFeel::TearDown();
  }

  HWND FHost = nullptr;
  std::unique_ptr<TKeyDeliveryControl> FControl;
  int FKeyDowns = 0;

private:
  TcxControlSystemQueries FSavedQueries{};
};

}  // namespace

TEST_F(KeyDelivery, AKeyDownAtTheWindowEndsALibraryDragNotDropped) {
  FControl->StartsDrag = true;
  FControl->SetFocusOnClick(false);
  FControl->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  FControl->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 10));
  ASSERT_EQ(ddsInProcess, FControl->DragAndDropState());
  SendMessageW(FControl->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(ddsNone, FControl->DragAndDropState());
  EXPECT_EQ(0, FKeyDowns) << "the key that ended the drag goes no further";
  SendMessageW(FControl->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(1, FKeyDowns) << "without a drag the key is the control's";
}

TEST_F(KeyDelivery, PopupMenuShortCutsAreTakenBeforeTheControlSeesTheKey) {
  TPopupMenu menu(nullptr);
  std::vector<WideString> clicked;
  auto addItem = [&](TMenuItem& AParent, const wchar_t* ACaption, TShortCut AShortCut, bool AEnabled) {
    auto* item = new TMenuItem(nullptr);
    item->SetCaption(ACaption);
    item->SetShortCut(AShortCut);
    item->SetEnabled(AEnabled);
    item->OnClick = [&clicked, item](TObject*) { clicked.push_back(item->Caption()); };
    AParent.Add(item);
    return item;
  };
  addItem(menu.Items(), L"Copy", scCtrl | 'C', true);
  addItem(menu.Items(), L"Off", scCtrl | 'D', false);
  TMenuItem* sub = addItem(menu.Items(), L"More", scNone, true);
  addItem(*sub, L"Deep", scAlt | 'X', true);
  FControl->SetPopupMenu(&menu);

  constexpr LPARAM kAltBit = LPARAM(1) << 29;
  struct Case {
    const char* Name;
    UINT Msg;
    WPARAM Key;
    std::initializer_list<int> Held;
    LPARAM Data;
    const wchar_t* Clicked;  // null: no item, the control gets the key
  };
  const Case cases[] = {
      {"Ctrl+C", WM_KEYDOWN, 'C', {VK_CONTROL}, 0, L"Copy"},
      {"plain C", WM_KEYDOWN, 'C', {}, 0, nullptr},
      {"Shift+Ctrl+C", WM_KEYDOWN, 'C', {VK_SHIFT, VK_CONTROL}, 0, nullptr},
      {"disabled Ctrl+D", WM_KEYDOWN, 'D', {VK_CONTROL}, 0, nullptr},
      {"Alt+X in a sub-menu", WM_SYSKEYDOWN, 'X', {}, kAltBit, L"Deep"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    clicked.clear();
    FKeyDowns = 0;
    TKeyDeliveryKeysHeld held(c.Held);
    SendMessageW(FControl->Handle(), c.Msg, c.Key, c.Data);
    if (c.Clicked) {
      EXPECT_EQ(std::vector<WideString>{c.Clicked}, clicked);
      EXPECT_EQ(0, FKeyDowns);
    } else {
      EXPECT_TRUE(clicked.empty());
      EXPECT_EQ(1, FKeyDowns);
    }
  }
  FControl->SetPopupMenu(nullptr);
}

TEST_F(KeyDelivery, CancelModeLetsTheCaptureObjectGo) {
  TComponent holder(nullptr);
  FControl->SetMouseCaptureObject(&holder);
  ASSERT_EQ(FControl->Handle(), GetCapture());
  SendMessageW(FControl->Handle(), WM_CANCELMODE, 0, 0);
  EXPECT_EQ(nullptr, FControl->MouseCaptureObject());
  EXPECT_NE(FControl->Handle(), GetCapture());
  EXPECT_FALSE(FControl->MouseButtonPressed());
}

TEST_F(KeyDelivery, LettingTheCaptureGoBeforeADragStartsCancelsIt) {
  FControl->StartsDrag = true;
  FControl->SetFocusOnClick(false);
  FControl->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  ASSERT_EQ(ddsStarting, FControl->DragAndDropState());
  TComponent holder(nullptr);
  FControl->SetMouseCaptureObject(&holder);
  FControl->SetMouseCaptureObject(nullptr);
  EXPECT_EQ(ddsNone, FControl->DragAndDropState());
  FControl->Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 10));
  EXPECT_EQ(ddsNone, FControl->DragAndDropState()) << "a later move starts nothing";
}

TEST_F(KeyDelivery, AutomaticDragModePressReachesTheControlAndItsOwnDragDetection) {
  FControl->SetDragMode(TDragMode::dmAutomatic);
  const HWND wnd = FControl->Handle();
  // The release is waiting when the press looks for a drag start: a click.
  PostMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(1, FControl->MouseDowns);
  EXPECT_TRUE(FControl->FocusedAfterDown) << "the press focuses the control";
  EXPECT_FALSE(FControl->Dragging());
  EXPECT_EQ(0u, FControl->ControlState() & csLButtonDown);

  // A move past the threshold is waiting: the drag starts at once.
  PostMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(60, 40));
  SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  EXPECT_EQ(2, FControl->MouseDowns);
  EXPECT_TRUE(FControl->Dragging());
  FControl->EndDrag(false);
  EXPECT_FALSE(FControl->Dragging());
}

namespace {

class KeyDeliveryListBox : public KeyDelivery {
protected:
  void SetUp() override {
    KeyDelivery::SetUp();
    FForm = std::make_unique<TForm>(nullptr, kCreateNew);
    FForm->SetBounds(0, 0, 300, 300);
    FBefore = MakeStop(10);
    FContainer = std::make_unique<TcxContainer>(nullptr);
    FContainer->SetBounds(10, 40, 200, 150);
    FContainer->SetParent(FForm.get());
    FList = std::make_unique<TcxCustomInnerListBox>(nullptr);
    FList->SetParent(FContainer.get());
    FList->SetContainer(FContainer.get());
    FContainer->SetInnerControl(FList.get());
    FAfter = MakeStop(200);
    FForm->Show();
    for (const wchar_t* item : {L"one", L"two", L"three"}) FList->Items().Add(item);
  }
  void TearDown() override {
    FContainer->SetInnerControl(nullptr);
    FList.reset();
    FAfter.reset();
    FContainer.reset();
    FBefore.reset();
    FForm.reset();
    KeyDelivery::TearDown();
  }
  std::unique_ptr<TWinControl> MakeStop(int ATop) {
    auto stop = std::make_unique<TWinControl>(nullptr);
    stop->SetParent(FForm.get());
    stop->SetBounds(10, ATop, 50, 20);
    stop->SetTabStop(true);
    return stop;
  }

  std::unique_ptr<TForm> FForm;
  std::unique_ptr<TWinControl> FBefore;
  std::unique_ptr<TcxContainer> FContainer;
  std::unique_ptr<TcxCustomInnerListBox> FList;
  std::unique_ptr<TWinControl> FAfter;
};

}  // namespace

TEST_F(KeyDeliveryListBox, TabFromAFocusedInnerListBoxMovesTheFocusBothWays) {
  struct Case {
    const char* Way;
    std::initializer_list<int> Held;
    TWinControl* Expected;
  };
  for (const Case& c : {Case{"Tab", {}, FAfter.get()}, Case{"Shift+Tab", {VK_SHIFT}, FBefore.get()}}) {
    SCOPED_TRACE(c.Way);
    FList->SetFocus();
    ASSERT_EQ(FList->Handle(), GetFocus());
    ASSERT_NE(0, SendMessageW(FList->Handle(), WM_GETDLGCODE, VK_TAB, 0) & DLGC_WANTTAB);
    TKeyDeliveryKeysHeld held(c.Held);
    SendMessageW(FList->Handle(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(c.Expected->Handle(), GetFocus());
    EXPECT_EQ(c.Expected, FForm->ActiveControl());
  }
}

TEST_F(KeyDeliveryListBox, TheContainerSeesTheListBoxKeysFirstAndMayClearThem) {
  FList->SetFocus();
  FList->SetItemIndex(0);
  std::vector<WORD> seen;
  bool clear = true;
  FContainer->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) {
    seen.push_back(Key);
    if (clear) Key = 0;
  };
  SendMessageW(FList->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(0, FList->ItemIndex()) << "a key the container cleared does not move the list";
  clear = false;
  SendMessageW(FList->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(1, FList->ItemIndex());
  EXPECT_EQ((std::vector<WORD>{VK_DOWN, VK_DOWN}), seen);
}
