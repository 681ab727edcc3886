// The process-wide controllers: messages, window-procedure chains, settings,
// mouse tracking, the mended shut-down of their unit, and the free routines.
#include "LookAndFeelTest.h"
#include "cxControls.h"

#include <string>
#include <vector>

using namespace tvk;
using laf_test::LookAndFeel;
using laf_test::PumpUntil;
using laf_test::StopSteps;

namespace {

constexpr UINT kProbe = WM_USER + 2;

// A control that notes the messages its own window method gets.
class TProbeControl : public TWinControl {
public:
  TVK_CLASS(TProbeControl, TWinControl)
  explicit TProbeControl(std::vector<std::string>* log) : TWinControl(nullptr), FLog(log) {}
  void WndProc(TMessage& message) override {
    if (message.Msg == kProbe) FLog->push_back("control");
    if (message.Msg == CM_MOUSELEAVE) MouseLeaves.push_back(message.LParam);
    if (message.Msg == WM_CX_NCSIZECHANGED) ++NcSizeChanges;
    TWinControl::WndProc(message);
  }
  std::vector<LPARAM> MouseLeaves;
  int NcSizeChanges = 0;

private:
  std::vector<std::string>* FLog;
};

// One window method of a chain: notes itself and passes the message on.
struct TChainMember {
  std::vector<std::string>* Log;
  std::string Name;
  TcxWindowProcLinkedObject* Link = nullptr;
  void Proc(TMessage& message) {
    if (message.Msg == kProbe) Log->push_back(Name);
    Link->DefaultProc(message);
  }
  void Attach(TControl* control) {
    Link = GetWindowProcController()->Add(control, WndMethodOf<&TChainMember::Proc>(this));
  }
  void Attach(HWND window) { Link = GetWindowProcController()->Add(window, WndMethodOf<&TChainMember::Proc>(this)); }
  void Detach() { GetWindowProcController()->Remove(Link); }
};

// A raw window whose own procedure notes what reaches it.
std::vector<UINT> gRawMessages;
LRESULT CALLBACK RawProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg >= WM_USER) {
    gRawMessages.push_back(msg);
    return 42;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

class TRawWindow {
public:
  TRawWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &RawProcedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LafTestRawWindow";
    RegisterClassW(&wc);
    FHandle = CreateWindowExW(0, L"LafTestRawWindow", L"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    gRawMessages.clear();
  }
  ~TRawWindow() { DestroyWindow(FHandle); }
  HWND Handle() const { return FHandle; }

private:
  HWND FHandle;
};

// A hidden host window for windowed controls.
class THostWindow {
public:
  THostWindow()
      : FHandle(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr, nullptr, nullptr)) {}
  ~THostWindow() { DestroyWindow(FHandle); }
  HWND Handle() const { return FHandle; }

private:
  HWND FHandle;
};

struct TCaller : IcxMouseTrackingCaller {
  int Left = 0;
  void MouseLeave() override { ++Left; }
};

}  // namespace

TEST_F(LookAndFeel, KillMessagesRemovesOneOrAllAndPutsWmQuitBack) {
  TRawWindow window;
  TdxMessagesController& messages = *GetMessagesController();
  for (int i = 0; i < 3; ++i) PostMessageW(window.Handle(), kProbe, i, 0);
  EXPECT_TRUE(messages.IsMessageInQueue(window.Handle(), kProbe));
  EXPECT_TRUE(messages.KillMessages(window.Handle(), kProbe, 0, false));
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, window.Handle(), kProbe, kProbe, PM_NOREMOVE));
  EXPECT_EQ(1u, msg.wParam) << "exactly one was removed";
  EXPECT_TRUE(messages.KillMessages(window.Handle(), kProbe));
  EXPECT_FALSE(messages.IsMessageInQueue(window.Handle(), kProbe));
  EXPECT_FALSE(messages.KillMessages(window.Handle(), kProbe));

  PostMessageW(window.Handle(), kProbe, 10, 0);
  PostMessageW(window.Handle(), WM_QUIT, 7, 0);
  PostMessageW(window.Handle(), kProbe, 11, 0);
  EXPECT_TRUE(messages.KillMessages(window.Handle(), WM_QUIT, kProbe));
  ASSERT_TRUE(PeekMessageW(&msg, window.Handle(), kProbe, kProbe, PM_REMOVE));
  EXPECT_EQ(11u, msg.wParam) << "the removal stopped at the WM_QUIT";
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the WM_QUIT is back";
  EXPECT_EQ(7u, msg.wParam);
  EXPECT_FALSE(messages.IsMessageInQueue(window.Handle(), WM_QUIT));
}

TEST_F(LookAndFeel, LockedMessagesAndABlockedNextMessage) {
  TRawWindow window;
  TdxMessagesController& messages = *GetMessagesController();
  messages.LockMessages({kProbe, kProbe, WM_USER + 9});
  messages.UnlockMessages({kProbe});
  EXPECT_TRUE(messages.IsMessageLocked(kProbe)) << "duplicates stay duplicates";
  messages.UnlockMessages({kProbe});
  EXPECT_FALSE(messages.IsMessageLocked(kProbe));

  const auto original = GetWindowLongPtrW(window.Handle(), GWLP_WNDPROC);
  UINT message = WM_USER + 9;
  messages.BlockLockedMessage(window.Handle(), message);
  EXPECT_EQ(0u, message);
  EXPECT_THROW(
      {
        try {
          messages.BlockMessage(window.Handle());
        } catch (const EdxException& e) {
          EXPECT_EQ(L"dxLockMessage fails", e.Message());
          throw;
        }
      },
      EdxException);
  EXPECT_EQ(1, SendMessageW(window.Handle(), WM_USER + 5, 0, 0)) << "the next message is swallowed";
  EXPECT_TRUE(gRawMessages.empty());
  EXPECT_EQ(original, GetWindowLongPtrW(window.Handle(), GWLP_WNDPROC));
  EXPECT_EQ(42, SendMessageW(window.Handle(), WM_USER + 5, 0, 0));
  EXPECT_EQ(1u, gRawMessages.size());
  UINT unlocked = WM_USER + 3;
  messages.BlockLockedMessage(window.Handle(), unlocked);
  EXPECT_EQ(WM_USER + 3, unlocked);
  EXPECT_FALSE(messages.BlockPending());
}

TEST_F(LookAndFeel, WindowMethodsOnAControlRemovedInEitherOrder) {
  for (bool olderFirst : {true, false}) {
    SCOPED_TRACE(olderFirst);
    std::vector<std::string> log;
    TProbeControl control(&log);
    const TWndMethod original = control.WindowProc();
    TChainMember a{&log, "A"}, b{&log, "B"};
    a.Attach(&control);
    b.Attach(&control);
    EXPECT_EQ(1, GetWindowProcController()->ChainCount());
    control.Perform(kProbe);
    EXPECT_EQ((std::vector<std::string>{"B", "A", "control"}), log);
    log.clear();
    (olderFirst ? a : b).Detach();
    control.Perform(kProbe);
    EXPECT_EQ((std::vector<std::string>{olderFirst ? "B" : "A", "control"}), log);
    EXPECT_FALSE(control.WindowProc() == original);
    (olderFirst ? b : a).Detach();
    EXPECT_TRUE(control.WindowProc() == original) << "the control's own method exactly";
    EXPECT_EQ(0, GetWindowProcController()->ChainCount());
    TcxWindowProcLinkedObject* none = nullptr;
    GetWindowProcController()->Remove(none);
    EXPECT_EQ(nullptr, GetWindowProcController()->Add(static_cast<TControl*>(nullptr), original));
  }
}

TEST_F(LookAndFeel, WindowMethodsOnARawWindowReachItsProcedureAndPutItBack) {
  TRawWindow window;
  const auto original = GetWindowLongPtrW(window.Handle(), GWLP_WNDPROC);
  std::vector<std::string> log;
  TChainMember a{&log, "A"}, b{&log, "B"};
  a.Attach(window.Handle());
  b.Attach(window.Handle());
  EXPECT_NE(original, GetWindowLongPtrW(window.Handle(), GWLP_WNDPROC));
  EXPECT_EQ(42, SendMessageW(window.Handle(), kProbe, 0, 0)) << "the old procedure's result comes back";
  EXPECT_EQ((std::vector<std::string>{"B", "A"}), log);
  EXPECT_EQ((std::vector<UINT>{kProbe}), gRawMessages);
  a.Detach();
  log.clear();
  EXPECT_EQ(42, SendMessageW(window.Handle(), kProbe, 0, 0));
  EXPECT_EQ((std::vector<std::string>{"B"}), log);
  b.Detach();
  EXPECT_EQ(original, GetWindowLongPtrW(window.Handle(), GWLP_WNDPROC));
  EXPECT_EQ(nullptr, GetPropW(window.Handle(), L"TvkWindowProcChain"));
}

TEST_F(LookAndFeel, TheSettingsWindowLivesWhileThereAreListeners) {
  std::vector<std::string> log;
  THostWindow host;
  TProbeControl first(&log), second(&log), windowless(&log);
  for (TProbeControl* c : {&first, &second}) {
    c->SetParentWindow(host.Handle());
    c->HandleNeeded();
  }
  TcxSettingsController& settings = *GetSettingsController();
  EXPECT_EQ(nullptr, settings.WindowHandle());
  settings.AddListener(&first);
  HWND window = settings.WindowHandle();
  ASSERT_TRUE(IsWindow(window));
  EXPECT_EQ(GetDesktopWindow(), GetAncestor(window, GA_PARENT)) << "top-level: it hears broadcasts";
  settings.AddListener(&first);
  settings.AddListener(&windowless);
  settings.AddListener(&second);
  EXPECT_EQ(3, settings.ListenerCount());

  SendMessageW(window, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_EQ(0, first.NcSizeChanges) << "other settings are ignored";
  SendMessageW(window, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  EXPECT_EQ(1, first.NcSizeChanges);
  EXPECT_EQ(1, second.NcSizeChanges);
  EXPECT_EQ(0, windowless.NcSizeChanges);
  EXPECT_FALSE(windowless.HandleAllocated()) << "no window is made for it";

  settings.RemoveListener(&first);
  settings.RemoveListener(&windowless);
  EXPECT_TRUE(IsWindow(window));
  settings.RemoveListener(&second);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(nullptr, settings.WindowHandle());
}

TEST_F(LookAndFeel, ADisabledTrackedControlEndsTheTrackingAndHearsTheMouseLeave) {
  std::vector<std::string> log;
  THostWindow host;
  TProbeControl control(&log);
  control.SetBounds(0, 0, 50, 50);
  control.SetParentWindow(host.Handle());
  control.HandleNeeded();
  TCaller caller;
  BeginMouseTracking(&control, RECT{0, 0, 50, 50}, &caller);
  EXPECT_TRUE(IsMouseTracking(&caller));
  BeginMouseTracking(&control, RECT{0, 0, 50, 50}, &caller);
  EXPECT_EQ(1, GetMouseTrackingTimerList()->Count()) << "one timer per caller";
  auto* timer = static_cast<TMouseTrackingTimer*>(GetMouseTrackingTimerList()->Items(0));
  EXPECT_EQ(10u, timer->Interval());
  EnableWindow(control.Handle(), FALSE);
  EXPECT_TRUE(PumpUntil([&] { return caller.Left > 0; }));
  EXPECT_EQ(1, caller.Left);
  EXPECT_EQ((std::vector<LPARAM>{reinterpret_cast<LPARAM>(&control)}), control.MouseLeaves);
  EXPECT_FALSE(IsMouseTracking(&caller));
  EXPECT_EQ(0, GetMouseTrackingTimerList()->Count());
}

TEST_F(LookAndFeel, TrackingWithoutAControlEndsWhenTheCursorIsOutsideTheBounds) {
  TCaller inside, outside;
  POINT cursor = SafeGetCursorPos();
  BeginMouseTracking(nullptr, RECT{cursor.x - 5, cursor.y - 5, cursor.x + 5, cursor.y + 5}, &inside);
  BeginMouseTracking(nullptr, RECT{cursor.x + 100, cursor.y + 100, cursor.x + 110, cursor.y + 110}, &outside);
  EXPECT_TRUE(PumpUntil([&] { return outside.Left > 0; }));
  Sleep(30);
  laf_test::PumpWaiting();
  EXPECT_EQ(0, inside.Left);
  EXPECT_TRUE(IsMouseTracking(&inside));
  EndMouseTracking(&inside);
  EXPECT_FALSE(IsMouseTracking(&inside));
}

// The controllers' unit frees everything it made, also when tracking timers
// were left running, and only then reports them.
TEST(ControllersShutDown, LeftTimersAreFreedWithEverythingElseThenReported) {
  auto steps = LookAndFeelSteps();
  ASSERT_TRUE(RunStartup(steps));
  std::vector<std::string> log;
  THostWindow host;
  TProbeControl control(&log);
  control.SetParentWindow(host.Handle());
  control.HandleNeeded();
  const TWndMethod original = control.WindowProc();
  TChainMember member{&log, "A"};
  member.Attach(&control);
  GetSettingsController()->AddListener(&control);
  HWND settingsWindow = GetSettingsController()->WindowHandle();
  HWND controllerWindow = SystemController()->Handle();
  TCaller caller;
  BeginMouseTracking(nullptr, RECT{-10000, -10000, -9990, -9990}, &caller);

  StopSteps(steps.subspan(10));  // the units after the controllers' stop first
  try {
    steps[9].Shutdown();
    ADD_FAILURE() << "the left timer is reported";
  } catch (const EdxException& e) {
    EXPECT_EQ(L"MouseTrackingTimerList.Count <> 0", e.Message());
  }
  EXPECT_TRUE(control.WindowProc() == original) << "the chain was taken down";
  EXPECT_FALSE(IsWindow(settingsWindow));
  EXPECT_FALSE(IsWindow(controllerWindow));
  EXPECT_FALSE(IsMouseTracking(&caller));
  EXPECT_EQ(nullptr, GetMouseTrackingTimerList());
  Sleep(30);
  laf_test::PumpWaiting();
  EXPECT_EQ(0, caller.Left) << "no timer runs after the unit stopped";
  StopSteps(steps.first(9));
  DxCoreUnitShutdown();
  // A later start counts from nothing again.
  ASSERT_TRUE(RunStartup(steps));
  EXPECT_NE(nullptr, GetMouseTrackingTimerList());
  RunShutdown(steps);
  DxCoreUnitShutdown();
}

TEST(FreeRoutines, AcceleratorPrefixes) {
  struct {
    const wchar_t* Caption;
    bool ReplaceLast;
    const wchar_t* Result;
  } const cases[] = {
      {L"&File", true, L"File"},         {L"Save && Exit", true, L"Save & Exit"}, {L"Tail&", true, L"Tail_"},
      {L"Tail&", false, L"Tail"},        {L"&&&x", true, L"&x"},                  {L"", true, L""},
      {L"a&&", false, L"a&"},            {L"&", true, L"_"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.Result, RemoveAcceleratorPrefixes(c.Caption, c.ReplaceLast)) << c.Caption << " " << c.ReplaceLast;
}

TEST(FreeRoutines, ShiftStatesMessagesAndWindows) {
  EXPECT_TRUE(IsPlainMouseMove(0));
  EXPECT_FALSE(IsPlainMouseMove(ssLeft));
  EXPECT_FALSE(IsPlainMouseMove(ssDouble));
  EXPECT_TRUE(IsLeftButtonOnly(ssLeft, false));
  EXPECT_FALSE(IsLeftButtonOnly(ssLeft | ssDouble, false));
  EXPECT_TRUE(IsLeftButtonOnly(ssLeft | ssDouble, true));
  EXPECT_FALSE(IsLeftButtonOnly(ssLeft | ssShift, true));
  EXPECT_FALSE(IsLeftButtonOnly(ssDouble, true));
  EXPECT_EQ(WPARAM(MK_LBUTTON | MK_SHIFT | MK_MBUTTON), ShiftStateToMouseKeyFlags(ssLeft | ssShift | ssMiddle));
  EXPECT_TRUE(IsSelfEraseMessage(TMessage{WM_ERASEBKGND, 5, 5, 0}));
  EXPECT_FALSE(IsSelfEraseMessage(TMessage{WM_ERASEBKGND, 5, 6, 0}));
  EXPECT_TRUE(IsPointInDragArea(POINT{10, 10}, 14, 6));
  EXPECT_FALSE(IsPointInDragArea(POINT{10, 10}, 15, 10));
  EXPECT_TRUE(IsNonControlChar(L'a'));
  EXPECT_FALSE(IsNonControlChar(L'\t'));
  EXPECT_EQ(WORD(VK_F4), NormalizeEditKey(VK_F4));

  THostWindow parent;
  HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 5, 6, 20, 20, parent.Handle(), nullptr, nullptr, nullptr);
  EXPECT_TRUE(IsChildStyleWindow(child));
  EXPECT_FALSE(IsChildStyleWindow(parent.Handle()));
  EXPECT_TRUE(IsWindowOrChild(parent.Handle(), child));
  EXPECT_TRUE(IsWindowOrChild(parent.Handle(), parent.Handle()));
  EXPECT_FALSE(IsWindowOrChild(nullptr, child));
  EXPECT_TRUE(IsWindowEnabledWithParents(child));
  EnableWindow(parent.Handle(), FALSE);
  EXPECT_FALSE(IsWindowEnabledWithParents(child)) << "a disabled parent disables its child";
  EnableWindow(parent.Handle(), TRUE);
  RECT r{0, 0, 1, 1};
  MapRectPoints(child, parent.Handle(), r);
  EXPECT_EQ(5, r.left);
  EXPECT_EQ(7, r.bottom);
  RECT bounds = GetWindowBoundsAtOrigin(child);
  EXPECT_TRUE(AreRectsEqual(RECT{0, 0, 20, 20}, bounds));
  EXPECT_TRUE(AreRectsEqual(RECT{}, GetWindowRectSafe(nullptr)));
  EXPECT_TRUE(AreRectsEqual(RECT{}, GetControlWindowRect(nullptr)));
  DestroyWindow(child);
}
