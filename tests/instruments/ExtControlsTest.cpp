// The up-down control and the speed buttons through real mouse messages and
// a pumped message loop: repeat timing, halves, groups, the drop-down part
// with its menu, and the fade ticks.
#include <gtest/gtest.h>

#include "InstrumentTest.h"
#include "XPExtCtrls.h"

using namespace tvk;
namespace instrument_test {

namespace {

struct UpDown : ::testing::Test {
  std::unique_ptr<TForm> Form = MakeForm();
  TXPUpDown* U = new TXPUpDown(Form.get());
  int Ups = 0, Downs = 0;
  UpDown() {
    U->SetParent(Form.get());
    U->OnUpClick = [this](TObject*) { ++Ups; };
    U->OnDownClick = [this](TObject*) { ++Downs; };
  }
};

TEST_F(UpDown, SizesAndHalves) {
  EXPECT_EQ(U->Width(), 32);
  EXPECT_EQ(U->Height(), 16);
  U->SetBounds(0, 0, 33, 20);
  EXPECT_EQ(U->UpRect(), (RECT{0, 0, 16, 20}));
  EXPECT_EQ(U->DownRect(), (RECT{16, 0, 33, 20}));  // the down half is the larger
  U->SetFlat(true);
  EXPECT_EQ(U->Width(), 32);
  U->SetKind(TUpDownKind::udkVertical);
  EXPECT_EQ(U->Width(), 16);
  EXPECT_EQ(U->Height(), 32);
}

TEST_F(UpDown, OneClickOnReleaseInsideAHalf) {
  HWND w = U->Handle();
  ClickAt(w, 4, 8, 4, 8);
  EXPECT_EQ(Ups, 1);
  ClickAt(w, 28, 8, 28, 8);
  EXPECT_EQ(Downs, 1);
  // Released outside the control: nothing.
  ClickAt(w, 4, 8, 60, 60);
  EXPECT_EQ(Ups, 1);
  // A disabled half fires nothing; the other keeps working.
  U->SetUpEnabled(false);
  ClickAt(w, 4, 8, 4, 8);
  ClickAt(w, 28, 8, 28, 8);
  EXPECT_EQ(Ups, 1);
  EXPECT_EQ(Downs, 2);
}

TEST_F(UpDown, HeldHalfRepeatsAfter500ThenEvery100) {
  HWND w = U->Handle();
  // The system's own mouse moves (on capture) come from where the cursor is.
  POINT p = U->ClientToScreen(POINT{4, 8});
  SetCursorPos(p.x, p.y);
  SendMessageW(w, WM_MOUSEMOVE, 0, At(4, 8));
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, At(4, 8));
  EXPECT_TRUE(U->UpPressed());
  Pump(420);
  EXPECT_EQ(Ups, 0);
  Pump(630);  // about 1050 ms held: ticks at 500 .. 1000
  EXPECT_GE(Ups, 4);
  EXPECT_LE(Ups, 7);
  // Dragged off the held half the repetition stops.
  const int held = Ups;
  SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, At(28, 8));
  EXPECT_FALSE(U->RepeatTimer()->Enabled());
  Pump(350);
  EXPECT_EQ(Ups, held);
  SendMessageW(w, WM_MOUSEMOVE, MK_LBUTTON, At(4, 8));
  EXPECT_TRUE(U->RepeatTimer()->Enabled());
  SendMessageW(w, WM_LBUTTONUP, 0, At(4, 8));
  EXPECT_EQ(Ups, held + 1);  // the release itself clicks
  EXPECT_FALSE(U->RepeatTimer()->Enabled());
}

struct SpeedButtons : ::testing::Test {
  std::unique_ptr<TForm> Form = MakeForm();
  TXPCustomSpeedButton* A = Make(10);
  TXPCustomSpeedButton* B = Make(40);
  int Clicks = 0;
  TXPCustomSpeedButton* Make(int left) {
    auto* b = new TXPCustomSpeedButton(Form.get());
    b->SetBounds(left, 10, 24, 24);
    b->SetParent(Form.get());
    b->OnClick = [this](TObject*) { ++Clicks; };
    return b;
  }
};

TEST_F(SpeedButtons, WithoutGroupSpringsBack) {
  ClickAt(A->Handle(), 5, 5, 5, 5);
  EXPECT_EQ(Clicks, 1);
  EXPECT_FALSE(A->Down());
  EXPECT_EQ(A->State(), TButtonState::bsUp);
  A->SetDown(true);  // without a group a button cannot stay down
  EXPECT_FALSE(A->Down());
}

TEST_F(SpeedButtons, GroupsAndAllowAllUp) {
  A->SetGroupIndex(1);
  B->SetGroupIndex(1);
  ClickAt(A->Handle(), 5, 5, 5, 5);
  EXPECT_TRUE(A->Down());
  ClickAt(B->Handle(), 5, 5, 5, 5);
  EXPECT_TRUE(B->Down());
  EXPECT_FALSE(A->Down());
  EXPECT_EQ(A->State(), TButtonState::bsUp);
  // A second press on the down button keeps it down, unless all may be up.
  ClickAt(B->Handle(), 5, 5, 5, 5);
  EXPECT_TRUE(B->Down());
  B->SetAllowAllUp(true);
  ClickAt(B->Handle(), 5, 5, 5, 5);
  EXPECT_FALSE(B->Down());
  EXPECT_EQ(Clicks, 4);
}

TEST_F(SpeedButtons, ReleaseOutsideFiresNothing) {
  ClickAt(A->Handle(), 5, 5, 100, 100);
  EXPECT_EQ(Clicks, 0);
  EXPECT_EQ(A->State(), TButtonState::bsUp);
}

TEST_F(SpeedButtons, DropDownPartShowsItsMenuBelow) {
  TPopupMenu menu(nullptr);
  auto* item = new TMenuItem(nullptr);
  item->SetCaption(L"Item");
  menu.Items().Add(item);
  A->SetStyle(TXPSpeedStyle::xssDropDown);
  A->SetBounds(10, 10, 40, 24);
  A->SetDropdownMenu(&menu);
  bool wasOpen = false;
  // The menu runs its own loop: a timer closes it.
  TTimer closer(nullptr);
  closer.SetInterval(150);
  closer.SetOnTimer([&](TObject*) {
    wasOpen = ActivePopupMenu() == &menu;
    EndMenu();
    closer.SetEnabled(false);
  });
  SendMessageW(A->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(35, 5));
  SendMessageW(A->Handle(), WM_LBUTTONUP, 0, At(35, 5));
  EXPECT_TRUE(wasOpen);
  EXPECT_EQ(menu.PopupComponent(), A);
  EXPECT_FALSE(A->DropdownDown());
  EXPECT_EQ(Clicks, 0);
  // The main part still clicks.
  ClickAt(A->Handle(), 5, 5, 5, 5);
  EXPECT_EQ(Clicks, 1);
}

TEST_F(SpeedButtons, FadeRunsEightTicks) {
  A->SetKind(TXPSpeedKind::xskFading);
  A->Perform(CM_MOUSEENTER);
  ASSERT_NE(A->FadeTimer(), nullptr);
  EXPECT_EQ(A->FadeMode(), TXPFadeMode::xfmFadeIn);
  Pump(400);
  EXPECT_EQ(A->FadeStep(), 8);
  EXPECT_EQ(A->FadeTimer(), nullptr);
  // The synthetic messages of the hot-state check start no fade.
  A->Perform(CM_MOUSELEAVE, kSyntheticMouseMessage);
  EXPECT_EQ(A->FadeTimer(), nullptr);
  A->Perform(CM_MOUSEENTER);
  A->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(A->FadeMode(), TXPFadeMode::xfmFadeOut);
  EXPECT_EQ(A->FadeStep(), 0);
}

TEST_F(SpeedButtons, ActionLinkFollowsCheckedAndGroup) {
  TActionList list(nullptr);
  TAction action(nullptr);
  action.SetActionList(&list);
  action.SetGroupIndex(3);
  action.SetCaption(L"Run");
  A->SetAllowAllUp(true);
  A->SetAction(&action);
  EXPECT_EQ(A->GroupIndex(), 3);
  EXPECT_EQ(A->Caption(), L"Run");
  action.SetChecked(true);
  EXPECT_TRUE(A->Down());
  A->OnClick = nullptr;
  int executed = 0;
  action.OnExecute = [&](TObject*) { ++executed; };
  ClickAt(A->Handle(), 5, 5, 5, 5);
  EXPECT_EQ(executed, 1);
}

}  // namespace

}  // namespace instrument_test
