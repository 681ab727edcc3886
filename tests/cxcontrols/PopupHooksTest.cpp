// The popup-closing hooks, called with the structures the system would hand
// them: a click outside a popup closes it (swallowed when the popup asks), a
// press on the owner's button reaches the owner only while it stays visible,
// hiding an owner closes its popup and the newer ones, deactivating the
// application closes what is not an active own-activation popup, and with no
// popup open the hooks only block locked messages.
#include "cxContainerHooks.h"
#include "cxContainer.h"
#include "cxControls.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tvk;

namespace {

std::vector<TcxCustomPopupWindow*> gPopupCloses;

// A popup in the list while shown, following the hooks' contract.
class TTestPopup : public TcxCustomPopupWindow {
public:
  using TcxCustomPopupWindow::TcxCustomPopupWindow;
  RECT OwnerButton{};
  bool Swallow = false;
  bool Active = false;
  bool HideOwnerOnClose = false;

  void Popup(TWinControl* AOwner) {
    SetOwnerControl(AOwner);
    SetBorderStyle(TFormBorderStyle::bsNone);
    SetBounds(300, 300, 80, 60);
    Show();
    PopupWindowListAdd(this);
  }
  void ClosePopup() override {
    gPopupCloses.push_back(this);
    PopupWindowListRemove(this);
    Hide();
    if (HideOwnerOnClose && OwnerControl()) OwnerControl()->Hide();
  }
  bool IsActive() override { return Active; }
  // A popup closed like a form leaves the list too.
  void DoClose(TCloseAction& AAction) override {
    PopupWindowListRemove(this);
    TcxCustomPopupWindow::DoClose(AAction);
  }
  RECT GetOwnerClickBounds() override { return OwnerButton; }
  bool SwallowsClosingClick(HWND, UINT, POINT, TShiftState) override {
    ++Asked;
    return Swallow;
  }
  int Asked = 0;
  bool PassesSysKey(WORD AKey) override { return AKey != VK_F4; }
};

class PopupHooks : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    laf_test::LookAndFeel::SetUp();
    // The tests call the hook procedures themselves; the system's hooks would
    // also hand them what other programs on the desktop do (an activation).
    RemoveContainerHooks();
    gPopupCloses.clear();
    FForm = std::make_unique<TForm>(nullptr, kCreateNew);
    FForm->SetBounds(0, 0, 400, 200);
    for (int i = 0; i < 3; ++i) {
      auto& owner = FOwners[i];
      owner = std::make_unique<TWinControl>(nullptr);
      owner->SetBounds(10, 10 + 40 * i, 100, 30);
      owner->SetParent(FForm.get());
    }
    FForm->Show();
  }
  void TearDown() override {
    for (auto& popup : FPopups) PopupWindowListRemove(popup.get());
    FPopups.clear();
    for (auto& owner : FOwners) owner.reset();
    FForm.reset();
    InstallContainerHooks();
    laf_test::LookAndFeel::TearDown();
  }
  TTestPopup& Open(int AOwner) {
    FPopups.push_back(std::make_unique<TTestPopup>(nullptr));
    FPopups.back()->Popup(FOwners[AOwner].get());
    return *FPopups.back();
  }
  static LRESULT Mouse(UINT AMsg, HWND AWnd, POINT P) {
    MOUSEHOOKSTRUCT data{};
    data.pt = P;
    data.hwnd = AWnd;
    LRESULT result = 0;
    ContainerMouseHook(HC_ACTION, AMsg, reinterpret_cast<LPARAM>(&data), result);
    return result;
  }
  static void Sent(HWND AWnd, UINT AMsg, WPARAM wParam = 0) {
    CWPSTRUCT data{0, wParam, AMsg, AWnd};
    LRESULT result = 0;
    ContainerWndProcHook(HC_ACTION, 0, reinterpret_cast<LPARAM>(&data), result);
  }
  static POINT ScreenPoint(TWinControl& AControl, int X, int Y) {
    POINT p{X, Y};
    ClientToScreen(AControl.Handle(), &p);
    return p;
  }
  std::size_t OpenCount() const { return PopupWindowList()->size(); }

  std::unique_ptr<TForm> FForm;
  std::unique_ptr<TWinControl> FOwners[3];
  std::vector<std::unique_ptr<TTestPopup>> FPopups;
};

}  // namespace

TEST_F(PopupHooks, WithNoPopupOpenOnlyLockedMessagesAreBlocked) {
  ASSERT_TRUE(PopupWindowList()->empty());
  HWND window = FOwners[0]->Handle();
  EXPECT_EQ(0, Mouse(WM_LBUTTONDOWN, FForm->Handle(), POINT{5, 5}));

  MSG key{window, WM_SYSKEYDOWN, VK_F4, 0, 0, {}};
  LRESULT result = 0;
  ContainerGetMessageHook(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&key), result);
  EXPECT_EQ(UINT(WM_SYSKEYDOWN), key.message);

  for (UINT message : {UINT(WM_CLOSE), UINT(WM_ACTIVATEAPP), UINT(WM_NCACTIVATE), UINT(WM_SHOWWINDOW)}) {
    CWPSTRUCT data{0, 0, message, window};
    ContainerWndProcHook(HC_ACTION, 0, reinterpret_cast<LPARAM>(&data), result);
    EXPECT_EQ(message, data.message);
  }
  EXPECT_FALSE(GetMessagesController()->BlockPending());
  EXPECT_TRUE(IsWindowVisible(FForm->Handle()));

  // A locked message: the window's next message is swallowed and answers 1.
  constexpr UINT kLocked = WM_USER + 51;
  GetMessagesController()->LockMessages({kLocked});
  CWPSTRUCT locked{0, 0, kLocked, window};
  ContainerWndProcHook(HC_ACTION, 0, reinterpret_cast<LPARAM>(&locked), result);
  EXPECT_EQ(0u, locked.message);
  EXPECT_TRUE(GetMessagesController()->BlockPending());
  EXPECT_EQ(1, SendMessageW(window, WM_USER + 52, 0, 0));
  EXPECT_FALSE(GetMessagesController()->BlockPending());
  GetMessagesController()->UnlockMessages({kLocked});
  EXPECT_TRUE(gPopupCloses.empty());
}

TEST_F(PopupHooks, AClickOutsideClosesThePopupAndIsSwallowedOnlyWhenThePopupAsks) {
  for (bool swallow : {false, true}) {
    SCOPED_TRACE(swallow);
    gPopupCloses.clear();
    TTestPopup& popup = Open(0);
    popup.Swallow = swallow;
    // Inside the popup, or not a press: it stays open.
    EXPECT_EQ(0, Mouse(WM_LBUTTONDOWN, popup.Handle(), POINT{310, 310}));
    EXPECT_EQ(0, Mouse(WM_MOUSEMOVE, FForm->Handle(), POINT{5, 5}));
    EXPECT_EQ(1u, OpenCount());

    EXPECT_EQ(swallow ? 1 : 0, Mouse(WM_RBUTTONDOWN, FOwners[1]->Handle(), ScreenPoint(*FOwners[1], 5, 5)));
    EXPECT_EQ(0u, OpenCount());
    EXPECT_EQ(std::vector<TcxCustomPopupWindow*>{&popup}, gPopupCloses);
    EXPECT_EQ(0, popup.CloseLockCount) << "the lock is raised only around the close";
    EXPECT_FALSE(PopupHookBusy());
  }
}

TEST_F(PopupHooks, AnOwnerPressReachesTheOwnerOnlyWhileItStaysVisible) {
  struct Case {
    bool HideOwner;
    bool Swallow;
    LRESULT Result;
  };
  for (const Case c : {Case{false, false, 0}, Case{false, true, 0}, Case{true, false, 1}}) {
    SCOPED_TRACE(testing::Message() << c.HideOwner << c.Swallow);
    FOwners[0]->Show();
    TTestPopup& popup = Open(0);
    popup.HideOwnerOnClose = c.HideOwner;
    popup.Swallow = c.Swallow;
    POINT topLeft = ScreenPoint(*FOwners[0], 0, 0);
    popup.OwnerButton = RECT{topLeft.x + 80, topLeft.y, topLeft.x + 100, topLeft.y + 30};
    EXPECT_EQ(c.Result, Mouse(WM_LBUTTONDOWN, FOwners[0]->Handle(), ScreenPoint(*FOwners[0], 90, 5)));
    EXPECT_EQ(0u, OpenCount());
    EXPECT_EQ(c.Swallow, popup.OwnerRectClicked) << "an owner press records the popup's answer";
  }
}

// Once one popup swallows the click, the others close without being asked;
// an owner press only ever raises OwnerRectClicked.
TEST_F(PopupHooks, AClickSwallowedByOnePopupClosesTheOthersUnasked) {
  TTestPopup& first = Open(0);
  TTestPopup& second = Open(1);
  first.Swallow = true;
  EXPECT_EQ(1, Mouse(WM_RBUTTONDOWN, FOwners[2]->Handle(), ScreenPoint(*FOwners[2], 5, 5)));
  EXPECT_EQ((std::vector<TcxCustomPopupWindow*>{&first, &second}), gPopupCloses);
  EXPECT_EQ(1, first.Asked);
  EXPECT_EQ(0, second.Asked);

  TTestPopup& third = Open(0);
  third.OwnerRectClicked = true;
  POINT topLeft = ScreenPoint(*FOwners[0], 0, 0);
  third.OwnerButton = RECT{topLeft.x + 80, topLeft.y, topLeft.x + 100, topLeft.y + 30};
  EXPECT_EQ(0, Mouse(WM_LBUTTONDOWN, FOwners[0]->Handle(), ScreenPoint(*FOwners[0], 90, 5)));
  EXPECT_EQ(1, third.Asked);
  EXPECT_TRUE(third.OwnerRectClicked) << "a press the popup does not swallow leaves it as it was";
}

TEST_F(PopupHooks, HidingAnOwnerClosesItsPopupAndTheNewerOnesNewestFirst) {
  TTestPopup& first = Open(0);
  TTestPopup& second = Open(1);
  TTestPopup& third = Open(2);
  Sent(FOwners[1]->Handle(), WM_SHOWWINDOW, 1);  // shown: nothing
  EXPECT_EQ(3u, OpenCount());
  Sent(FOwners[1]->Handle(), WM_SHOWWINDOW, 0);
  EXPECT_EQ((std::vector<TcxCustomPopupWindow*>{&third, &second}), gPopupCloses);
  ASSERT_EQ(1u, OpenCount());
  EXPECT_EQ(&first, PopupWindowList()->front());
}

TEST_F(PopupHooks, DeactivatingTheApplicationKeepsOnlyActiveOwnActivationPopups) {
  TTestPopup& plain = Open(0);
  TTestPopup& activeOwn = Open(1);
  activeOwn.OwnActivation = true;
  activeOwn.Active = true;
  TTestPopup& inactiveOwn = Open(2);
  inactiveOwn.OwnActivation = true;
  laf_test::PumpWaiting();

  Sent(FForm->Handle(), WM_ACTIVATEAPP, 1);  // activation: nothing
  EXPECT_EQ(3u, OpenCount());
  Sent(FForm->Handle(), WM_ACTIVATEAPP, 0);
  EXPECT_EQ((std::vector<TcxCustomPopupWindow*>{&plain, &inactiveOwn}), gPopupCloses);
  ASSERT_EQ(1u, OpenCount());
  EXPECT_EQ(&activeOwn, PopupWindowList()->front());
  MSG posted;
  EXPECT_TRUE(PeekMessageW(&posted, FForm->Handle(), WM_NCACTIVATE, WM_NCACTIVATE, PM_REMOVE))
      << "the owner form hears it is no longer active";
  EXPECT_EQ(0u, posted.wParam);

  // The owner form keeps its active caption while a popup of it is open.
  Sent(FForm->Handle(), WM_NCACTIVATE, 0);
  EXPECT_TRUE(GetMessagesController()->BlockPending());
  EXPECT_EQ(1, SendMessageW(FForm->Handle(), WM_USER + 53, 0, 0));
  EXPECT_FALSE(GetMessagesController()->BlockPending());
}

TEST_F(PopupHooks, TheNewestPopupDecidesOnSystemKeysItHasNotOptedOutOf) {
  TTestPopup& popup = Open(0);
  struct Case {
    WPARAM Removal;
    WORD Key;
    bool Ignores;
    UINT Expected;
  };
  for (const Case c : {Case{PM_REMOVE, VK_F4, false, WM_NULL}, Case{PM_REMOVE, 'X', false, WM_SYSKEYDOWN},
                       Case{PM_NOREMOVE, VK_F4, false, WM_SYSKEYDOWN}, Case{PM_REMOVE, VK_F4, true, WM_SYSKEYDOWN}}) {
    popup.OwnActivation = c.Ignores;
    popup.IgnoresSysKeys = c.Ignores;
    MSG msg{FForm->Handle(), WM_SYSKEYDOWN, c.Key, 0, 0, {}};
    LRESULT result = 0;
    ContainerGetMessageHook(HC_ACTION, c.Removal, reinterpret_cast<LPARAM>(&msg), result);
    EXPECT_EQ(c.Expected, msg.message) << c.Key << ' ' << c.Ignores;
  }
}

TEST_F(PopupHooks, ClosingADestroyedPopupEndsTheApplicationOnlyWhenItAsks) {
  for (bool terminate : {false, true}) {
    TTestPopup& popup = Open(0);
    popup.TerminateOnDestroy = terminate;
    Sent(popup.Handle(), WM_DESTROY);
    EXPECT_EQ(0u, OpenCount()) << "closed on the way out";
    MSG quit;
    EXPECT_EQ(terminate, PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0) << terminate;
  }
}

namespace {

class TFocusCountingContainer : public TcxContainer {
public:
  using TcxContainer::TcxContainer;
  int FocusChanges = 0;

protected:
  void FocusChanged() override {
    ++FocusChanges;
    TcxContainer::FocusChanged();
  }
};

}  // namespace

TEST_F(PopupHooks, AContainerOwnerRedrawsItsFocusWhenDeactivationClosesItsPopup) {
  TFocusCountingContainer container(nullptr);
  container.SetBounds(150, 10, 100, 30);
  container.SetParent(FForm.get());
  container.HandleNeeded();
  auto popup = std::make_unique<TTestPopup>(nullptr);
  popup->Popup(&container);
  Sent(FForm->Handle(), WM_ACTIVATEAPP, 0);
  EXPECT_EQ(0u, OpenCount());
  EXPECT_EQ(1, container.FocusChanges);
  popup.reset();
  laf_test::PumpWaiting();
}

TEST_F(PopupHooks, WindowsOfAControlItsFormAndItsPopups) {
  TTestPopup& popup = Open(1);
  TWinControl inner(nullptr);
  inner.SetBounds(5, 5, 20, 20);
  inner.SetParent(&popup);
  inner.HandleNeeded();
  HWND owner = FOwners[1]->Handle();
  EXPECT_EQ(owner, ResolvePopupOwnerWindow(inner.Handle())) << "a window on the popup stands for its owner";
  EXPECT_EQ(owner, ResolvePopupOwnerWindow(popup.Handle()));
  EXPECT_EQ(FOwners[0]->Handle(), ResolvePopupOwnerWindow(FOwners[0]->Handle()));
  popup.SetOwnerControl(nullptr);
  EXPECT_EQ(inner.Handle(), ResolvePopupOwnerWindow(inner.Handle())) << "no owner: the window itself";
  popup.SetOwnerControl(FOwners[1].get());

  EXPECT_TRUE(IsWindowInsideControl(FOwners[1].get(), inner.Handle())) << "inside the popup it opened";
  EXPECT_FALSE(IsWindowInsideControl(FOwners[0].get(), inner.Handle()));
  EXPECT_FALSE(IsWindowInsideControl(FOwners[1].get(), owner)) << "its own window is not inside it";
  EXPECT_TRUE(IsWindowInsideControl(FForm.get(), owner));
  EXPECT_TRUE(OwnsWindowHandle(FOwners[1].get(), owner, false));
  EXPECT_FALSE(OwnsWindowHandle(FOwners[1].get(), inner.Handle(), false));
  EXPECT_TRUE(OwnsWindowHandle(FOwners[1].get(), inner.Handle(), true));

  EXPECT_TRUE(IsWindowOnControlForm(FOwners[2].get(), FForm->Handle()));
  EXPECT_TRUE(IsWindowOnControlForm(FOwners[2].get(), owner));
  EXPECT_FALSE(IsWindowOnControlForm(FOwners[2].get(), inner.Handle())) << "the popup is a form of its own";
  EXPECT_FALSE(IsWindowOnControlForm(nullptr, owner));
  inner.SetParent(nullptr);
}

namespace {

// A class-library form made an MDI child of an MDI client window.
class TMdiChildTestForm : public TForm {
public:
  explicit TMdiChildTestForm(HWND AClient) : TForm(nullptr, kCreateNew) { SetParentWindow(AClient); }

protected:
  void CreateParams(TCreateParams& AParams) override {
    TForm::CreateParams(AParams);
    AParams.ExStyle |= WS_EX_MDICHILD;
  }
};

LRESULT CALLBACK RawMdiChildProc(HWND AWnd, UINT AMsg, WPARAM wParam, LPARAM lParam) {
  return DefMDIChildProcW(AWnd, AMsg, wParam, lParam);
}

}  // namespace

TEST_F(PopupHooks, AClickElsewhereInTheOwnersMDIFrameClosesThePopup) {
  TForm frame(nullptr, kCreateNew);
  frame.SetBounds(0, 0, 600, 400);
  TWinControl toolbar(nullptr);
  toolbar.SetParent(&frame);
  toolbar.SetBounds(0, 0, 600, 30);
  frame.Show();
  CLIENTCREATESTRUCT clientData{nullptr, 0xFF00};
  HWND client = CreateWindowExW(0, L"MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 40, 600, 340,
                                frame.Handle(), nullptr, GetModuleHandleW(nullptr), &clientData);
  ASSERT_NE(nullptr, client);
  WNDCLASSW rawClass{};
  rawClass.lpfnWndProc = &RawMdiChildProc;
  rawClass.hInstance = GetModuleHandleW(nullptr);
  rawClass.lpszClassName = L"TvkTestRawMdiChild";
  RegisterClassW(&rawClass);
  MDICREATESTRUCTW rawData{L"TvkTestRawMdiChild", L"other", GetModuleHandleW(nullptr), 0, 0, 200, 150, 0, 0};
  HWND other = reinterpret_cast<HWND>(SendMessageW(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&rawData)));
  ASSERT_NE(nullptr, other);
  TMdiChildTestForm child(client);
  child.SetBounds(250, 0, 300, 200);
  TWinControl owner(nullptr);
  owner.SetBounds(10, 10, 100, 30);
  owner.SetParent(&child);
  child.Show();
  ASSERT_TRUE(GetWindowLongPtrW(child.Handle(), GWL_EXSTYLE) & WS_EX_MDICHILD);
  ASSERT_EQ(client, GetParent(child.Handle()));

  FPopups.push_back(std::make_unique<TTestPopup>(nullptr));
  TTestPopup& popup = *FPopups.back();
  popup.Popup(&owner);
  struct Case {
    const char* Name;
    HWND Wnd;
    bool InFamily;
  };
  for (const Case c : {Case{"the MDI client", client, true}, Case{"the frame", frame.Handle(), true},
                       Case{"a control of the frame", toolbar.Handle(), true}, Case{"another MDI child", other, true},
                       Case{"another form", FForm->Handle(), false}, Case{"the popup", popup.Handle(), false}})
    EXPECT_EQ(c.InFamily, IsWindowInMDIFamily(&popup, c.Wnd)) << c.Name;
  TTestPopup& outside = Open(0);
  EXPECT_FALSE(IsWindowInMDIFamily(&outside, client)) << "its owner's form is no MDI child";
  outside.ClosePopup();

  // Through the mouse hook: each click in the family closes the popup, and
  // is swallowed when the popup asks.
  for (HWND target : {client, other, toolbar.Handle()}) {
    for (bool swallow : {false, true}) {
      SCOPED_TRACE(testing::Message() << target << ' ' << swallow);
      popup.Popup(&owner);
      popup.Swallow = swallow;
      EXPECT_EQ(swallow ? 1 : 0, Mouse(WM_LBUTTONDOWN, target, POINT{5, 5}));
      EXPECT_EQ(0u, OpenCount());
    }
  }
  popup.Popup(&owner);
  EXPECT_EQ(0, Mouse(WM_LBUTTONDOWN, FForm->Handle(), ScreenPoint(*FForm, 5, 5)));
  EXPECT_EQ(1u, OpenCount()) << "a click outside the MDI frame leaves it open";
  popup.ClosePopup();
  owner.SetParent(nullptr);
}

TEST_F(PopupHooks, ALockedMessageWhileAnotherWindowsBlockIsPendingPassesWithoutAnError) {
  laf_test::ExceptionRecorder errors;
  TdxMessagesController& controller = *GetMessagesController();
  constexpr UINT kLocked = WM_USER + 54;
  controller.LockMessages({kLocked});
  HWND first = FOwners[0]->Handle();
  Sent(first, kLocked);
  ASSERT_TRUE(controller.BlockPending());
  // Sent to another window before the first one's block was used (a window
  // told something while the hook works).
  CWPSTRUCT toSecond{0, 0, kLocked, FOwners[1]->Handle()};
  LRESULT result = 0;
  ContainerWndProcHook(HC_ACTION, 0, reinterpret_cast<LPARAM>(&toSecond), result);
  EXPECT_EQ(kLocked, toSecond.message) << "it passes";
  EXPECT_TRUE(errors.Messages.empty()) << "no error reaches the user from inside the hook";
  EXPECT_EQ(1, SendMessageW(first, WM_USER + 55, 0, 0)) << "the first window's block still stands";
  EXPECT_FALSE(controller.BlockPending());
  controller.UnlockMessages({kLocked});
}
