// The container's refresh cycle: the mouse button a refresh comes with, and
// the hook that runs after a refresh a mouse event caused, never inside itself.
#include "cxContainer.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

#include <vector>

using namespace tvk;

namespace {

class TRefreshRecorder : public TcxContainer {
public:
  using TcxContainer::TcxContainer;
  using TcxContainer::ShortRefreshContainer;
  std::vector<TcxMouseButton> Buttons;
  int AfterRuns = 0;
  bool RefreshAgainAfter = false;

protected:
  bool RefreshContainerView(POINT P, TcxMouseButton AButton, bool AIsMouseEvent, TShiftState AShift) override {
    Buttons.push_back(AButton);
    return TcxContainer::RefreshContainerView(P, AButton, AIsMouseEvent, AShift);
  }
  void AfterMouseRefresh() override {
    ++AfterRuns;
    if (RefreshAgainAfter) ShortRefreshContainer(true);
  }
};

class ContainerRefresh : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    laf_test::LookAndFeel::SetUp();
    FHost = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                            nullptr);
    FContainer = std::make_unique<TRefreshRecorder>(nullptr);
    FContainer->SetBounds(10, 10, 120, 40);
    FContainer->SetParentWindow(FHost);
    FContainer->HandleNeeded();
  }
  void TearDown() override {
    FContainer.reset();
    DestroyWindow(FHost);
    laf_test::LookAndFeel::TearDown();
  }
  HWND FHost = nullptr;
  std::unique_ptr<TRefreshRecorder> FContainer;
};

}  // namespace

TEST_F(ContainerRefresh, ButtonsReachTheRefreshAndOnlyMouseRefreshesRunTheHookOnce) {
  FContainer->Buttons.clear();
  FContainer->AfterRuns = 0;
  FContainer->Perform(WM_RBUTTONUP, MK_RBUTTON, MAKELPARAM(5, 5));
  FContainer->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(6, 5));
  ASSERT_GE(FContainer->Buttons.size(), 2u);
  EXPECT_EQ(cxmbRight, FContainer->Buttons[0]);
  EXPECT_EQ(cxmbNone, FContainer->Buttons.back());
  const int afterMouse = FContainer->AfterRuns;
  EXPECT_GE(afterMouse, 2);
  FContainer->ShortRefreshContainer(false);
  EXPECT_EQ(afterMouse, FContainer->AfterRuns) << "a refresh without the mouse";
  FContainer->RefreshAgainAfter = true;
  FContainer->ShortRefreshContainer(true);
  EXPECT_EQ(afterMouse + 1, FContainer->AfterRuns) << "a refresh from inside the hook does not run it again";
}

TEST(ContainerRefreshButtons, MouseButtonsMapOneToOne) {
  EXPECT_EQ(cxmbLeft, MapMouseButton(TMouseButton::mbLeft));
  EXPECT_EQ(cxmbRight, MapMouseButton(TMouseButton::mbRight));
  EXPECT_EQ(cxmbMiddle, MapMouseButton(TMouseButton::mbMiddle));
}
