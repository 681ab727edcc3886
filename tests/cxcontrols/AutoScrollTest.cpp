// The middle-button scroll loop: what ends it (and what it swallows), its
// round anchor window while it runs, and the scrolling towards the mouse.
#include "cxControls.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using namespace tvk;

namespace {

// Content larger than the control both ways, so both bars show.
class TAutoScrollingControl : public TcxControl {
public:
  using TcxControl::TcxControl;
  struct TScrollCall {
    TScrollBarKind Kind;
    TScrollCode Code;
  };
  std::vector<TScrollCall> Scrolls;
  int MouseDowns = 0;
  int MouseUps = 0;  // middle-button releases
  bool ContentWide = true;
  std::function<void()> OnScrolled;

protected:
  void InitScrollBarsParameters() override {
    const RECT r = ClientBounds();
    SetScrollBarInfo(sbHorizontal, 0, ContentWide ? 999 : 0, 1, r.right - r.left, 0, true, true);
    SetScrollBarInfo(sbVertical, 0, 999, 1, r.bottom - r.top, 0, true, true);
  }
  void Scroll(TScrollBarKind AKind, TScrollCode ACode, int&) override {
    Scrolls.push_back({AKind, ACode});
    if (OnScrolled) OnScrolled();
  }
  void MouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) override {
    ++MouseDowns;
    TcxControl::MouseDown(AButton, AShift, X, Y);
  }

public:
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_MBUTTONUP) ++MouseUps;
    TcxControl::WndProc(Message);
  }
};

struct TAnchorSeen {
  HWND Wnd = nullptr;
  RECT Rect{};
};

BOOL CALLBACK FindAutoScrollAnchor(HWND AWnd, LPARAM AData) {
  wchar_t name[16]{};
  GetClassNameW(AWnd, name, 16);
  if (IsWindowVisible(AWnd) && (GetWindowLongPtrW(AWnd, GWL_EXSTYLE) & WS_EX_TOPMOST) && lstrcmpiW(name, L"Static") == 0) {
    auto* seen = reinterpret_cast<TAnchorSeen*>(AData);
    seen->Wnd = AWnd;
    GetWindowRect(AWnd, &seen->Rect);
  }
  return TRUE;
}

HWND gAutoScrollTarget = nullptr;
void CALLBACK PressRightButtonLater(HWND, UINT, UINT_PTR AId, DWORD) {
  KillTimer(nullptr, AId);
  PostMessageW(gAutoScrollTarget, WM_RBUTTONDOWN, MK_RBUTTON, 0);
}

class AutoScrollLoop : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    laf_test::LookAndFeel::SetUp();
    FHost = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 300, nullptr, nullptr, nullptr,
                            nullptr);
    FControl = std::make_unique<TAutoScrollingControl>(nullptr);
    // Sized before it is placed: its bars wait for its window.
    FControl->SetBounds(0, 0, 200, 150);
    FControl->SetParentWindow(FHost);
    FControl->HandleNeeded();
    FControl->CheckUpdateScrollBars();
    laf_test::PumpWaiting();
  }
  void TearDown() override {
    FControl.reset();
    DestroyWindow(FHost);
    laf_test::LookAndFeel::TearDown();
  }
  // A client point of the control DX, DY away from where the loop starts.
  LPARAM AwayFromStart(int DX, int DY) {
    POINT p = SafeGetCursorPos();
    p.x += DX;
    p.y += DY;
    ::ScreenToClient(FControl->Handle(), &p);
    return MAKELPARAM(p.x, p.y);
  }
  void Post(UINT AMsg, WPARAM wParam = 0, LPARAM lParam = 0) { PostMessageW(FControl->Handle(), AMsg, wParam, lParam); }
  void RunAndCheckItEnded() {
    FControl->RunContentAutoScroll();
    EXPECT_FALSE(FControl->IsScrollingContent());
    EXPECT_NE(FControl->Handle(), GetCapture());
    TAnchorSeen seen;
    EnumThreadWindows(GetCurrentThreadId(), &FindAutoScrollAnchor, reinterpret_cast<LPARAM>(&seen));
    EXPECT_EQ(nullptr, seen.Wnd) << "the anchor went with the loop";
  }

  HWND FHost = nullptr;
  std::unique_ptr<TAutoScrollingControl> FControl;
};

}  // namespace

TEST_F(AutoScrollLoop, AnotherButtonEndsItAndIsSwallowedAPlainMiddleReleaseDoesNot) {
  ASSERT_TRUE(FControl->HScrollBar()->Visible());
  Post(WM_MBUTTONUP);
  Post(WM_RBUTTONDOWN, MK_RBUTTON);
  Post(WM_LBUTTONDOWN, MK_LBUTTON);
  RunAndCheckItEnded();
  EXPECT_EQ(1, FControl->MouseUps) << "the release without a move was dispatched and the loop went on";
  EXPECT_EQ(0, FControl->MouseDowns) << "the ending press never reached the control";
  MSG left;
  EXPECT_TRUE(PeekMessageW(&left, FControl->Handle(), WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE))
      << "what followed stays queued";
  EXPECT_TRUE(FControl->Scrolls.empty());
}

TEST_F(AutoScrollLoop, EscapeAMovedMiddleReleaseCaptureLossAndQuitEndIt) {
  Post(WM_KEYDOWN, VK_ESCAPE);
  RunAndCheckItEnded();

  Post(WM_MOUSEMOVE, 0, AwayFromStart(0, 100));
  Post(WM_MBUTTONUP);
  RunAndCheckItEnded();
  EXPECT_EQ(1, FControl->MouseUps);

  Post(WM_CANCELMODE);
  Post(WM_NULL);
  RunAndCheckItEnded();

  PostQuitMessage(3);
  RunAndCheckItEnded();
  MSG quit;
  ASSERT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT is put back";
  EXPECT_EQ(3u, quit.wParam);
}

TEST_F(AutoScrollLoop, TheAnchorIsRoundAtTheStartAndTheContentScrollsTowardsTheMouse) {
  const POINT start = SafeGetCursorPos();
  TAnchorSeen seen;
  FControl->OnMouseMove = [&](TObject*, TShiftState, int, int) {
    EnumThreadWindows(GetCurrentThreadId(), &FindAutoScrollAnchor, reinterpret_cast<LPARAM>(&seen));
  };
  Post(WM_MOUSEMOVE, 0, AwayFromStart(0, 200));
  // The loop is ended by another button once the content has scrolled a few
  // ticks (a loaded machine may be slow to tick), or after a generous wait.
  FControl->OnScrolled = [&] {
    if (FControl->Scrolls.size() == 3) PostMessageW(FControl->Handle(), WM_RBUTTONDOWN, MK_RBUTTON, 0);
  };
  gAutoScrollTarget = FControl->Handle();
  const UINT_PTR fallback = SetTimer(nullptr, 0, 5000, &PressRightButtonLater);
  RunAndCheckItEnded();
  KillTimer(nullptr, fallback);
  ASSERT_NE(nullptr, seen.Wnd);
  EXPECT_EQ(start.x, (seen.Rect.left + seen.Rect.right) / 2);
  EXPECT_EQ(start.y, (seen.Rect.top + seen.Rect.bottom) / 2);
  EXPECT_GT(seen.Rect.right - seen.Rect.left, 0);
  ASSERT_FALSE(FControl->Scrolls.empty()) << "far away the content scrolls every tick";
  for (const auto& call : FControl->Scrolls) {
    EXPECT_EQ(sbVertical, call.Kind);
    EXPECT_EQ(scLineDown, call.Code);
  }
}

TEST(AutoScroll, AnchorBitmapAndCursorByWhatCanScroll) {
  EXPECT_STREQ(L"CX_FULLSCROLLBITMAP", GetAutoScrollAnchorBitmapName(true, true));
  EXPECT_STREQ(L"CX_HORSCROLLBITMAP", GetAutoScrollAnchorBitmapName(true, false));
  EXPECT_STREQ(L"CX_VERSCROLLBITMAP", GetAutoScrollAnchorBitmapName(false, true));
  struct Case {
    TcxDirection Direction;
    bool Horz, Vert;
    TCursor Cursor;
  };
  for (const Case c : {Case{dirNone, true, true, 2101}, Case{dirNone, true, false, 2102},
                       Case{dirNone, false, true, 2103}, Case{dirUp, true, true, 2104},
                       Case{dirRight, true, false, 2105}, Case{dirDown, false, true, 2106},
                       Case{dirLeft, true, true, 2107}})
    EXPECT_EQ(c.Cursor, GetAutoScrollCursor(c.Direction, c.Horz, c.Vert)) << c.Direction;
}
