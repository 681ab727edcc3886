// The split button: the arrow part, the pop-up container's size and place,
// Escape, and freeing the button while its pop-up is open.
#include "XPListsTest.h"
#include "XPSplitButton.h"

namespace {

using tvk::TXPSplitButton;

struct SplitTest : xplists_test::ListsFixture {
  TXPSplitButton* MakeButton(int left = 10) {
    auto* button = Make<TXPSplitButton>(left, 10, 100, 25);
    button->SetCaption(L"Details");
    return button;
  }
  tvk::TPanel* MakePanel(int width, int height) {
    auto* panel = new tvk::TPanel(form.get());
    panel->SetBounds(0, 0, width, height);
    return panel;
  }
  static LPARAM OnArrow(TXPSplitButton* button) { return MAKELPARAM(button->Width() - 5, 10); }
  static void Pump() { instrument_test::Pump(30); }
};

TEST_F(SplitTest, AnArrowWithNothingToShowTogglesOnly) {
  auto* button = MakeButton();
  int clicks = 0, shown = 0;
  button->OnClick = [&](tvk::TObject*) { ++clicks; };
  button->OnBeforeShowPopup = [&](tvk::TObject*) { ++shown; };
  SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, OnArrow(button));
  SendMessageW(button->Handle(), WM_LBUTTONUP, 0, OnArrow(button));
  Pump();
  EXPECT_TRUE(button->ArrowButtonPressed());
  EXPECT_EQ(clicks, 0) << "the arrow part never clicks";
  EXPECT_EQ(shown, 0);
  SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, OnArrow(button));
  SendMessageW(button->Handle(), WM_LBUTTONUP, 0, OnArrow(button));
  Pump();
  EXPECT_FALSE(button->ArrowButtonPressed());
  SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(clicks, 1) << "the main part is a button";
  EXPECT_FALSE(button->ControlStyle() & tvk::csDoubleClicks);
}

TEST_F(SplitTest, TheContainerMakesRoomForTheCloseButton) {
  auto* button = MakeButton();
  auto* panel = MakePanel(60, 40);
  button->SetPopupControl(panel);
  EXPECT_EQ(panel->Parent(), nullptr) << "taken off the form";
  SendMessageW(button->Handle(), TXPSplitButton::WM_SHOWPOPUP, 0, 0);
  tvk::TForm* holder = button->PopupHolder();
  ASSERT_NE(holder, nullptr);
  EXPECT_EQ(holder->ClientWidth(), 91);
  EXPECT_EQ(holder->ClientHeight(), 73);
  EXPECT_EQ(panel->Parent(), holder);
  tvk::TControl* close = nullptr;
  for (int i = 0; i < holder->ControlCount(); ++i)
    if (holder->Controls(i) != panel) close = holder->Controls(i);
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->Left(), 91 - 83);
  EXPECT_EQ(close->Top(), 73 - 33);
  POINT below{1, button->Height() - 1};
  ClientToScreen(button->Handle(), &below);
  EXPECT_EQ(holder->Top(), below.y);
  EXPECT_TRUE(button->MainFormProcedureReplaced());
  EXPECT_EQ(SendMessageW(form->Handle(), WM_NCACTIVATE, FALSE, 0), 1) << "the form keeps its active caption";
  SendMessageW(button->Handle(), TXPSplitButton::WM_HIDEPOPUP, 0, 0);
  EXPECT_EQ(button->PopupHolder(), nullptr);
  EXPECT_FALSE(button->MainFormProcedureReplaced());
  EXPECT_EQ(panel->Parent(), nullptr) << "kept for the next showing";
}

TEST_F(SplitTest, ThePopupControlHearsEnterAndExitAndIsAnchoredInItsContainer) {
  auto* button = MakeButton();
  auto* panel = MakePanel(60, 40);
  button->SetPopupControl(panel);
  std::vector<std::string> events;
  button->OnBeforeShowPopup = [&](tvk::TObject*) { events.push_back("before show"); };
  button->OnAfterHidePopup = [&](tvk::TObject*) { events.push_back("after hide"); };
  panel->OnEnter = [&](tvk::TObject* sender) { events.push_back(sender == panel ? "panel enter" : "enter"); };
  panel->OnExit = [&](tvk::TObject* sender) { events.push_back(sender == panel ? "panel exit" : "exit"); };
  SendMessageW(button->Handle(), TXPSplitButton::WM_SHOWPOPUP, 0, 0);
  tvk::TForm* holder = button->PopupHolder();
  ASSERT_NE(holder, nullptr);
  EXPECT_EQ((std::vector<std::string>{"before show", "panel enter"}), events);
  tvk::TControl* close = nullptr;
  for (int i = 0; i < holder->ControlCount(); ++i)
    if (holder->Controls(i) != panel) close = holder->Controls(i);
  ASSERT_NE(close, nullptr);
  // The container grows: the control with it, the close button keeps its corner.
  const int closeRight = holder->ClientWidth() - close->Left(), closeBottom = holder->ClientHeight() - close->Top();
  SetWindowPos(holder->Handle(), nullptr, 0, 0, holder->Width() + 40, holder->Height() + 20,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(100, panel->Width());
  EXPECT_EQ(60, panel->Height());
  EXPECT_EQ(closeRight, holder->ClientWidth() - close->Left());
  EXPECT_EQ(closeBottom, holder->ClientHeight() - close->Top());
  SendMessageW(button->Handle(), TXPSplitButton::WM_HIDEPOPUP, 0, 0);
  EXPECT_EQ((std::vector<std::string>{"before show", "panel enter", "panel exit", "after hide"}), events);
  EXPECT_EQ(0u, panel->Anchors()) << "no anchors while it waits off screen";
}

TEST_F(SplitTest, EscapeClosesWithOrWithoutTheVisibleCloseButton) {
  for (bool visibleClose : {true, false}) {
    auto* button = MakeButton();
    button->SetAutoAddCloseButton(visibleClose);
    auto* panel = MakePanel(120, 40);
    button->SetPopupControl(panel);
    int hidden = 0;
    button->OnAfterHidePopup = [&](tvk::TObject*) { ++hidden; };
    SendMessageW(button->Handle(), TXPSplitButton::WM_SHOWPOPUP, 0, 0);
    ASSERT_NE(button->PopupHolder(), nullptr);
    tvk::TForm* holder = button->PopupHolder();
    tvk::TMessage escape{tvk::CM_DIALOGKEY, VK_ESCAPE, 0, 0};
    holder->WindowProc()(escape);
    Pump();
    EXPECT_EQ(button->PopupHolder(), nullptr) << "close button shown: " << visibleClose;
    EXPECT_EQ(hidden, 1);
    delete button;
    delete panel;
  }
}

TEST_F(SplitTest, AContainerNearTheRightEdgeEndsAtIt) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
  form->SetBounds(monitor.rcMonitor.right - 150, 0, 150, 100);
  auto* button = MakeButton(20);
  button->SetPopupControl(MakePanel(200, 50));
  SendMessageW(button->Handle(), TXPSplitButton::WM_SHOWPOPUP, 0, 0);
  ASSERT_NE(button->PopupHolder(), nullptr);
  RECT r;
  GetWindowRect(button->PopupHolder()->Handle(), &r);
  EXPECT_EQ(r.right, monitor.rcMonitor.right);
  SendMessageW(button->Handle(), TXPSplitButton::WM_HIDEPOPUP, 0, 0);
}

// A later replacement of the form's procedure (the host's, say) stays when
// the button goes, and the form answers as it did before the pop-up.
TEST_F(SplitTest, FreeingTheButtonWhileOpenLeavesTheFormWhole) {
  const LRESULT before = SendMessageW(form->Handle(), WM_NCACTIVATE, FALSE, 0);
  auto* button = MakeButton();
  auto* panel = MakePanel(60, 40);
  button->SetPopupControl(panel);
  SendMessageW(button->Handle(), TXPSplitButton::WM_SHOWPOPUP, 0, 0);
  ASSERT_TRUE(button->MainFormProcedureReplaced());
  int later = 0;
  tvk::TWindowSubclass host;
  host.Install(form->Handle(), [&](tvk::TMessage& message) {
    if (message.Msg == WM_APP + 3) ++later;
    return false;
  });
  delete button;
  EXPECT_EQ(panel->Parent(), nullptr);
  EXPECT_EQ(SendMessageW(form->Handle(), WM_NCACTIVATE, FALSE, 0), before);
  SendMessageW(form->Handle(), WM_APP + 3, 0, 0);
  EXPECT_EQ(later, 1);
  Pump();  // a posted hide finds no button
}

}  // namespace
