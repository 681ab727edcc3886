// The container's hint window and the pop-up control base.
#include "CommonUtils.h"
#include "InplaceTest.h"

using namespace tvk;
namespace inplace_test {

namespace {

struct Popups : HostFixture {
  TdxInplaceEdit* Edit = nullptr;
  void SetUp() override {
    HostFixture::SetUp();
    Edit = new TdxInplaceEdit(Host);
    Edit->SetParent(Host);
    Host->Editor = Edit;
    Form->Show();
    Host->EditCell(0);
  }
  bool ClosedPosted() {
    MSG m{};
    return PeekMessageW(&m, Edit->Handle(), WM_POPUPCLOSED, WM_POPUPCLOSED, PM_REMOVE) != FALSE;
  }
};

}  // namespace

TEST_F(Popups, HintNearTheRightEdgeEndsAtTheMonitorsEdge) {
  TdxContainerHintWindow hint(nullptr);
  MONITORINFO info{};
  GetMonitorInfoAtPoint(POINT{10, 10}, info);
  const RECT& m = info.rcMonitor;
  POINT p{m.right - 20, m.top + 50};
  hint.ActivateHintEx(p, 200, L"a hint long enough to wrap within two hundred pixels of width", Host->Font(), false);
  RECT r{};
  GetWindowRect(hint.Handle(), &r);
  EXPECT_EQ(m.right, r.right);
  EXPECT_EQ(p.y, r.top);
  EXPECT_LE(r.right - r.left, 206);
  EXPECT_TRUE(IsWindowVisible(hint.Handle()));
  EXPECT_EQ(HTTRANSPARENT, SendMessageW(hint.Handle(), WM_NCHITTEST, 0, 0));
  EXPECT_EQ(WS_EX_TOOLWINDOW, GetWindowLongW(hint.Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  hint.HideHint();
  EXPECT_FALSE(IsWindowVisible(hint.Handle()));
}

TEST_F(Popups, HintAtAPointWithNoMonitorEndsAtTheOrigin) {
  TdxContainerHintWindow hint(nullptr);
  hint.MonitorInfoAtPoint = [](const POINT&, MONITORINFO& info) { info = MONITORINFO{}; };
  hint.ActivateHint(POINT{500, 400}, L"nowhere", Host->Font());
  RECT r{};
  GetWindowRect(hint.Handle(), &r);
  EXPECT_EQ(0, r.left);
  EXPECT_EQ(0, r.top);
  EXPECT_GT(r.right, 0);
}

TEST_F(Popups, Frame3DWithShadowGivesATenPixelSmallerClientAndCutsTwoCorners) {
  auto* popup = new TdxInplacePopupControl(Form.get());
  popup->OwnerControl = Edit;
  popup->SetIsPopupControl(true);
  popup->SetPopupBorderStyle(pbFrame3D);
  popup->SetShadow(true);
  popup->SetShadowSize(0);  // never below 1
  EXPECT_EQ(1, popup->ShadowSize());
  popup->SetShadowSize(2);
  popup->SetBounds(10, 10, 100, 60);
  popup->HandleNeeded();
  RECT client{};
  GetClientRect(popup->Handle(), &client);
  EXPECT_EQ(90, client.right);
  EXPECT_EQ(50, client.bottom);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(ERROR, GetWindowRgn(popup->Handle(), rgn));
  EXPECT_FALSE(PtInRegion(rgn, 99, 0));   // top-right corner
  EXPECT_FALSE(PtInRegion(rgn, 0, 59));   // bottom-left corner
  EXPECT_TRUE(PtInRegion(rgn, 99, 59));   // the shadow
  EXPECT_TRUE(PtInRegion(rgn, 0, 0));
  DeleteObject(rgn);
  EXPECT_EQ(MA_NOACTIVATE, SendMessageW(popup->Handle(), WM_MOUSEACTIVATE, 0, 0));
}

TEST_F(Popups, LosingTheFocusHidesThePopupAndTellsTheEditor) {
  auto* popup = new TdxInplacePopupControl(Form.get());
  popup->OwnerControl = Edit;
  popup->SetIsPopupControl(true);
  popup->SetBounds(10, 40, 80, 40);
  popup->ShowPopup();
  EXPECT_TRUE(IsWindowVisible(popup->Handle()));
  SetApplicationActiveOverride(false);
  const int focusChanges = Host->FocusChanges;
  SendMessageW(popup->Handle(), WM_KILLFOCUS, 0, 0);  // the focus goes to no window of the host
  SetApplicationActiveOverride(std::nullopt);
  EXPECT_FALSE(IsWindowVisible(popup->Handle()));
  EXPECT_TRUE(ClosedPosted());
  EXPECT_EQ(focusChanges + 1, Host->FocusChanges);  // the editor's focus loss reached the host
  // A plain control (not serving as a drop-down) stays a plain control.
  auto* plain = new TdxInplacePopupControl(Form.get());
  plain->SetParent(Form.get());
  plain->SetBounds(0, 0, 20, 20);
  EXPECT_NE(MA_NOACTIVATE, SendMessageW(plain->Handle(), WM_MOUSEACTIVATE, 0, 0));
}

}  // namespace inplace_test
