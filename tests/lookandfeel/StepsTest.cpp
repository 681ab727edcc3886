// The library's start-up and shut-down: the order of its units, their
// counters, what start-up leaves in the process and that shut-down takes all
// of it away again, twice in one process.
#include "ClassRegistry.h"
#include "Forms.h"
#include "LookAndFeelTest.h"
#include "Threads.h"
#include "cxContainerHooks.h"
#include "cxControls.h"
#include "cxGeometry.h"
#include "cxGraphics.h"
#include "cxLibraryStrs.h"
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "dxHooks.h"
#include "dxThemeManager.h"

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

using namespace tvk;
using laf_test::LookAndFeel;
using laf_test::StopSteps;

namespace {

constexpr int kCursorIds[] = {2100, 2101, 2102, 2103, 2104, 2105, 2106, 2107, 2108,
                              2109, 2110, 2111, 2112, 2113, -2099, 2114, 2115};

bool IsCursorAlive(HCURSOR cursor) {
  ICONINFO info{};
  if (!GetIconInfo(cursor, &info)) return false;
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return true;
}

// A hidden top-level window of this thread (it hears the system's broadcasts).
bool IsHiddenTopLevel(HWND window) {
  return IsWindow(window) && !IsWindowVisible(window) && GetAncestor(window, GA_PARENT) == GetDesktopWindow() &&
         GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

// What start-up leaves behind, as handles a test can look at after shut-down.
struct TPresence {
  std::vector<HCURSOR> Cursors;
  HWND SystemController = nullptr;
  HWND ThemeReceiver = nullptr;
  HWND PaletteListener = nullptr;
};

TPresence TakePresence() {
  TPresence p;
  for (int id : kCursorIds) p.Cursors.push_back(Screen().Cursors(id));
  p.SystemController = SystemController() ? SystemController()->Handle() : nullptr;
  p.ThemeReceiver = ThemeChangedReceiverHandle();
  p.PaletteListener = SystemPaletteListener() ? SystemPaletteListener()->Handle() : nullptr;
  return p;
}

void ExpectStarted(const TPresence& p) {
  EXPECT_EQ(std::vector<int>(std::begin(kCursorIds), std::end(kCursorIds)), Screen().CursorIndexes())
      << "the hand cursor comes between the drag and the colour-picker cursors";
  for (std::size_t i = 0; i < p.Cursors.size(); ++i)
    EXPECT_TRUE(IsCursorAlive(p.Cursors[i])) << "cursor " << kCursorIds[i];
  EXPECT_NE(p.Cursors[0], p.Cursors[1]);

  EXPECT_NE(0, cxRegisteredMessage1());
  EXPECT_EQ(RegisterWindowMessageW(kcxMessageName1) & 0xFFFF, cxRegisteredMessage1());
  EXPECT_EQ(RegisterWindowMessageW(kcxMessageName2) & 0xFFFF, cxRegisteredMessage2());
  EXPECT_NE(cxRegisteredMessage1(), cxRegisteredMessage2());

  EXPECT_TRUE(IsHiddenTopLevel(p.SystemController));
  // Wine's prefixes carry the visual-styles library.
  EXPECT_TRUE(IsUxThemeLoaded());
  EXPECT_TRUE(IsHiddenTopLevel(p.ThemeReceiver));
  EXPECT_TRUE(IsHiddenTopLevel(p.PaletteListener)) << "the root look and feel listens to the palette";
  ASSERT_NE(nullptr, cxLookAndFeelPaintersManager());
  EXPECT_EQ(5, cxLookAndFeelPaintersManager()->Count());

  ASSERT_NE(nullptr, HookController());
  // The popup-closing hooks are the library's only ones.
  for (int kind = 0; kind < kHookTypeCount; ++kind) {
    const bool popupHook = kind == htWndProc || kind == htGetMessage || kind == htMouse;
    EXPECT_EQ(popupHook, HookController()->SystemHook(TdxHookType(kind)).Handle() != nullptr) << kind;
    EXPECT_EQ(popupHook ? 1 : 0, HookController()->SystemHook(TdxHookType(kind)).Count()) << kind;
  }
  ASSERT_NE(nullptr, PopupWindowList());
  EXPECT_TRUE(PopupWindowList()->empty());

  EXPECT_EQ(&TcxRect::StaticClassInfo(), GetClass(L"TcxRect"));
  EXPECT_EQ(&TcxBitmap32::StaticClassInfo(), GetClass(L"TcxBitmap32"));
  EXPECT_EQ(&TControl::StaticClassInfo(), ClassGroupOf(&TcxComponent::StaticClassInfo()));
  EXPECT_EQ(&TControl::StaticClassInfo(), ClassGroupOf(&TcxLookAndFeelController::StaticClassInfo()))
      << "streamed with the forms";
  EXPECT_EQ(L"Button", ThemeClassNames(totButton));
  EXPECT_EQ(L"TreeView", ThemeClassNames(totTreeview));
}

// After the library's shut-down and the class library's (which owns the cursor table).
void ExpectStopped(const TPresence& p) {
  EXPECT_TRUE(Screen().CursorIndexes().empty());
  for (HCURSOR cursor : p.Cursors) EXPECT_FALSE(IsCursorAlive(cursor));
  EXPECT_FALSE(IsWindow(p.SystemController));
  EXPECT_FALSE(IsWindow(p.ThemeReceiver));
  EXPECT_FALSE(IsWindow(p.PaletteListener));
  EXPECT_EQ(nullptr, SystemController());
  EXPECT_EQ(nullptr, SystemPaletteListener());
  EXPECT_EQ(nullptr, cxLookAndFeelPaintersManager());
  EXPECT_EQ(nullptr, HookController());
  EXPECT_EQ(nullptr, PopupWindowList());
  EXPECT_EQ(nullptr, GetClass(L"TcxRect"));
  EXPECT_EQ(nullptr, GetClass(L"TcxBitmap"));
  EXPECT_EQ(-1, GetResourceStringsRepository().GetProductIndexByName(kcxLibraryProductName));
  EXPECT_FALSE(IsUxThemeLoaded());
  EXPECT_TRUE(ThemeClassNames(totButton).empty());
  // The lazily made objects are refused during and after unload.
  EXPECT_EQ(nullptr, GetTimerList());
  EXPECT_EQ(nullptr, GetTimerWindow());
  EXPECT_EQ(nullptr, GetMessagesController());
  EXPECT_EQ(nullptr, GetWindowProcController());
  EXPECT_EQ(nullptr, GetSettingsController());
  EXPECT_EQ(nullptr, GetMouseTrackingTimerList());
  EXPECT_EQ(nullptr, GetScreenCanvas());
  EXPECT_EQ(nullptr, GetPaintCanvas());
}

}  // namespace

TEST(LookAndFeelSteps, UnitsInTheirStartUpOrderEachWithACounter) {
  const std::vector<std::string> expected = {
      "dxUxTheme",  "dxThemeManager", "dxOffice11",   "cxGeometry",       "cxDrawTextUtils", "cxLookAndFeelPainters",
      "cxLookAndFeels", "cxLibraryStrs", "cxDWMApi", "cxControls", "cxClasses", "dxGDIPlusAPI", "dxGDIPlusClasses",
      "cxGraphics", "dxHooks", "cxContainer"};
  std::vector<std::string> names;
  for (const TInitStep& step : LookAndFeelSteps()) names.push_back(step.Name);
  EXPECT_EQ(expected, names);

  auto steps = LookAndFeelSteps();
  ASSERT_TRUE(RunStartup(steps));
  HWND controller = SystemController()->Handle();
  // A second initialisation only counts: nothing is made again.
  for (const TInitStep& step : steps) ASSERT_TRUE(step.Startup());
  for (int unit = 0; unit < int(steps.size()); ++unit) EXPECT_EQ(2, LookAndFeelUnitCounter(unit)) << unit;
  EXPECT_EQ(controller, SystemController()->Handle());
  StopSteps(steps);
  EXPECT_TRUE(IsWindow(controller)) << "only the last finalisation stops a unit";
  RunShutdown(steps);
  for (int unit = 0; unit < int(steps.size()); ++unit) EXPECT_EQ(0, LookAndFeelUnitCounter(unit)) << unit;
  EXPECT_FALSE(IsWindow(controller));
  StopSteps(steps);  // a finalisation too many does nothing
  EXPECT_EQ(0, LookAndFeelUnitCounter(0));
  DxCoreUnitShutdown();
}

TEST(LookAndFeelSteps, StartUpLeavesItsPresenceAndShutDownTakesItAwayTwice) {
  auto steps = LookAndFeelSteps();
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    ASSERT_TRUE(RunStartup(steps));
    TPresence presence = TakePresence();
    ExpectStarted(presence);
    RunShutdown(steps);
    EXPECT_FALSE(IsWindow(presence.SystemController));
    ScreenUnitShutdown();
    ExpectStopped(presence);
    DxCoreUnitShutdown();
  }
}

TEST_F(LookAndFeel, LibraryStringsAreRegisteredUnderTheProductWithTheirTexts) {
  auto& repository = GetResourceStringsRepository();
  int index = repository.GetProductIndexByName(kcxLibraryProductName);
  ASSERT_GE(index, 0);
  TdxProductResourceStrings* product = repository.ProductAt(index);
  ASSERT_EQ(25, product->ResStringsCount());
  struct {
    const wchar_t* Name;
    const wchar_t* Text;
  } const cases[] = {
      {L"scxCantCreateRegistryKey", L"Can't create the registry key: \\%s"},
      {L"scxErrorStoreObject", L"Error store %s object"},
      {L"scxLockedStateText", L"Please wait..."},
      {L"cxSDateToday", L"today"},
      {L"cxSDateWednesday", L"Wednesday"},
      {L"cxSDateSeventh", L"seventh"},
      {L"cxSDateBOM", L"bom"},
      {L"cxSDateNow", L"now"},
  };
  for (const auto& c : cases) {
    int at = product->GetIndexByName(c.Name);
    ASSERT_GE(at, 0) << c.Name;
    EXPECT_EQ(c.Text, product->TextAt(at)) << c.Name;
  }
  EXPECT_EQ(L"eom", LoadResString(&cxSDateEOM));
}

TEST_F(LookAndFeel, SystemControllerRunsAnotherThreadsCallOnlyWhenItsMessageIsDelivered) {
  HWND window = SystemController()->Handle();
  laf_test::PumpWaiting();
  bool ran = false;
  DWORD ranOn = 0;
  std::thread worker([&] {
    Synchronize([&] {
      ran = true;
      ranOn = GetCurrentThreadId();
    });
  });
  // The worker only queues and posts; nothing runs until the loop delivers the message.
  DWORD start = GetTickCount();
  while (PendingSynchronizedCalls() == 0 && GetTickCount() - start < 3000) Sleep(1);
  ASSERT_EQ(1, PendingSynchronizedCalls());
  Sleep(20);
  EXPECT_FALSE(ran);
  MSG msg;
  start = GetTickCount();
  while (!PeekMessageW(&msg, window, WM_CX_WAKEMAINTHREAD, WM_CX_WAKEMAINTHREAD, PM_NOREMOVE) &&
         GetTickCount() - start < 3000)
    Sleep(1);
  EXPECT_TRUE(GetMessagesController()->IsMessageInQueue(window, WM_CX_WAKEMAINTHREAD));
  EXPECT_FALSE(ran);
  laf_test::PumpWaiting();
  worker.join();
  EXPECT_TRUE(ran);
  EXPECT_EQ(GetCurrentThreadId(), ranOn);
}

// An installed service that counts its references.
class TCountedSpellChecker : public IcxSpellCheckerService {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(++References); }
  ULONG STDMETHODCALLTYPE Release() override { return ULONG(--References); }
  bool STDMETHODCALLTYPE QueryPopup(TComponent*, POINT) override { return false; }
  int References = 0;
};

TEST(LookAndFeelSteps, ShutDownReleasesAnInstalledService) {
  auto steps = LookAndFeelSteps();
  ASSERT_TRUE(RunStartup(steps));
  EXPECT_FALSE(SpellCheckerService()) << "the library installs none itself";
  EXPECT_FALSE(KeyboardHookService());
  TCountedSpellChecker checker;
  SpellCheckerService() = ComRef<IcxSpellCheckerService>(&checker);
  EXPECT_EQ(1, checker.References);
  RunShutdown(steps);
  EXPECT_EQ(0, checker.References);
  EXPECT_FALSE(SpellCheckerService());
  DxCoreUnitShutdown();
}

TEST(LookAndFeelSteps, TheSystemControllerGivesTheWakeHandlerBack) {
  int previousCalls = 0;
  SetWakeMainThread([&](TObject*) { ++previousCalls; });
  auto steps = LookAndFeelSteps();
  ASSERT_TRUE(RunStartup(steps));
  TNotifyEvent during = WakeMainThread();
  ASSERT_TRUE(during);
  during(nullptr);
  EXPECT_EQ(0, previousCalls) << "the controller's handler replaced it";
  RunShutdown(steps);
  WakeMainThread()(nullptr);
  EXPECT_EQ(1, previousCalls);
  SetWakeMainThread(nullptr);
  laf_test::PumpWaiting();
  DxCoreUnitShutdown();
}
