// The container unit's small free routines that the editors use: the size
// rectangle, text comparison by letter case, window visibility and the open
// popups' bookkeeping.
#include "cxContainer.h"
#include "cxContainerHooks.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

using namespace tvk;

namespace {

class TBookkeptPopup : public TcxCustomPopupWindow {
public:
  using TcxCustomPopupWindow::TcxCustomPopupWindow;
  void ClosePopup() override { PopupWindowListRemove(this); }
};

}  // namespace

TEST(ContainerFreeRoutines, TextsCompareByLetterCaseOnlyWhenAsked) {
  struct Case {
    const wchar_t *S1, *S2;
    bool CaseSensitive, Equal;
  };
  for (const Case c : {Case{L"abc", L"abc", true, true}, Case{L"abc", L"ABC", true, false},
                       Case{L"abc", L"ABC", false, true}, Case{L"\u00e4rger", L"\u00c4RGER", false, true},
                       Case{L"abc", L"abd", false, false}, Case{L"", L"", true, true},
                       Case{L"ab", L"abc", false, false}}) {
    EXPECT_EQ(c.Equal, CompareStringsCase(c.S1, c.S2, c.CaseSensitive))
        << testing::PrintToString(std::wstring(c.S1)) << " " << testing::PrintToString(std::wstring(c.S2));
  }
}

class ContainerFreeRoutinesStarted : public laf_test::LookAndFeel {};

TEST_F(ContainerFreeRoutinesStarted, SizeRectAndVisibleWindow) {
  TWinControl control(nullptr);
  control.SetBounds(30, 40, 120, 50);
  const RECT size = GetControlSizeRect(&control), expected{0, 0, 120, 50};
  EXPECT_TRUE(EqualRect(&expected, &size));
  EXPECT_FALSE(IsWindowVisibleControl(&control)) << "no window yet";
  HWND host = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                              nullptr);
  control.SetVisible(false);
  control.SetParentWindow(host);
  control.HandleNeeded();
  EXPECT_FALSE(IsWindowVisibleControl(&control)) << "a hidden window";
  control.SetVisible(true);
  EXPECT_TRUE(IsWindowVisibleControl(&control));
  control.DestroyHandle();
  DestroyWindow(host);
}

TEST_F(ContainerFreeRoutinesStarted, OpenPopupsAndTheirCloseLock) {
  TBookkeptPopup popup(nullptr);
  EXPECT_FALSE(IsOpenPopupWindow(&popup));
  PopupWindowListAdd(&popup);
  EXPECT_TRUE(IsOpenPopupWindow(&popup));
  ChangePopupCloseLock(&popup, true);
  ChangePopupCloseLock(&popup, true);
  ChangePopupCloseLock(&popup, false);
  EXPECT_EQ(1, popup.CloseLockCount);
  popup.ClosePopup();
  EXPECT_FALSE(IsOpenPopupWindow(&popup));
}

TEST(ContainerViewInfo, AssignTakesOnlyTheClientRectAndTheUpdateRegionIsEmpty) {
  TcxContainerViewInfo source, target;
  source.ClientRect = {1, 2, 30, 40};
  source.Bounds = {0, 0, 50, 60};
  source.BorderStyle = cbsFlat;
  target.Assign(&source);
  EXPECT_TRUE(EqualRect(&source.ClientRect, &target.ClientRect));
  const RECT empty{};
  EXPECT_TRUE(EqualRect(&empty, &target.Bounds)) << "nothing but the client rectangle";
  EXPECT_EQ(cbsNone, target.GetBorderStyleForPainting());
  TObject other;
  target.Assign(&other);  // any other source is ignored
  EXPECT_TRUE(EqualRect(&source.ClientRect, &target.ClientRect));
  EXPECT_TRUE(target.GetUpdateRegion(&source)->IsEmpty());
}
