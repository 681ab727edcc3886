// The theme binding and the theme manager. Exact checks run on a counting
// stand-in entry table; the real library (Wine's, with its visual style
// active) is used where only its presence matters.
#include "LookAndFeelTest.h"
#include "Themes.h"
#include "cxDWMApi.h"
#include "cxGeometry.h"
#include "dxThemeManager.h"

#include <string>
#include <vector>

using namespace tvk;
using laf_test::ExceptionRecorder;
using laf_test::LookAndFeel;

namespace {

// What the stand-in entries were asked, and how they answer.
struct TStandIn {
  std::vector<std::wstring> Opened;  // class lists
  std::vector<HTHEME> Closed;
  int NextHandle = 0x100;
  bool FailNextOpen = false;
  BOOL Active = TRUE;
  std::wstring ThemeFile;
};
TStandIn gStandIn;

HTHEME WINAPI StandInOpen(HWND, LPCWSTR classList) {
  gStandIn.Opened.push_back(classList);
  if (std::exchange(gStandIn.FailNextOpen, false)) return nullptr;
  return reinterpret_cast<HTHEME>(INT_PTR(gStandIn.NextHandle++));
}
HRESULT WINAPI StandInClose(HTHEME theme) {
  gStandIn.Closed.push_back(theme);
  return S_OK;
}
BOOL WINAPI StandInActive() { return gStandIn.Active; }
HRESULT WINAPI StandInThemeFileName(LPWSTR file, int fileChars, LPWSTR, int, LPWSTR, int) {
  if (gStandIn.ThemeFile.empty()) return E_FAIL;
  lstrcpynW(file, gStandIn.ThemeFile.c_str(), fileChars);
  return S_OK;
}

template <class F>
FARPROC AsEntry(F f) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(f));
}

class ThemeManager : public LookAndFeel {
protected:
  void SetUp() override {
    LookAndFeel::SetUp();
    if (HasFatalFailure()) return;
    FReal = UxThemeEntries();
    gStandIn = TStandIn{};
    auto& e = UxThemeEntries().Entry;
    e[uxOpenThemeData] = AsEntry(&StandInOpen);
    e[uxCloseThemeData] = AsEntry(&StandInClose);
    e[uxIsThemeActive] = AsEntry(&StandInActive);
    e[uxGetCurrentThemeName] = AsEntry(&StandInThemeFileName);
    ThemeChanged();
    gStandIn.Closed.clear();
  }
  void TearDown() override {
    CloseAllThemeHandles();  // the stand-in's handles never reach the real library
    UxThemeEntries() = FReal;
    LookAndFeel::TearDown();
  }
  static void ThemeChanged(UINT message = WM_THEMECHANGED) {
    EXPECT_EQ(0, SendMessageW(ThemeChangedReceiverHandle(), message, 0, 0));
  }
  TUxThemeEntries FReal;
};

}  // namespace

TEST_F(ThemeManager, AnEmptySetOpensNothing) {
  EXPECT_TRUE(AreThemesAvailable());
  EXPECT_TRUE(gStandIn.Opened.empty());
  EXPECT_TRUE(AreThemesAvailable(ThemedTypes({totButton, totEdit})));
  EXPECT_EQ((std::vector<std::wstring>{L"Button", L"Edit"}), gStandIn.Opened);
}

TEST_F(ThemeManager, ClassListsMatchIgnoringCaseAnotherListReopens) {
  HTHEME first = GetThemeHandleForType(totScrollBar);
  ASSERT_NE(nullptr, first);
  EXPECT_EQ(first, GetThemeHandleForType(totScrollBar, L"scrollbar"));
  EXPECT_EQ(first, GetThemeHandleForType(totScrollBar));
  EXPECT_EQ(1u, gStandIn.Opened.size());
  HTHEME second = GetThemeHandleForType(totScrollBar, L"Explorer::ScrollBar");
  EXPECT_NE(first, second);
  EXPECT_EQ((std::vector<HTHEME>{first}), gStandIn.Closed);
  EXPECT_EQ(L"Explorer::ScrollBar", ThemeClassListOf(totScrollBar));
}

TEST_F(ThemeManager, AFailedOpenIsTriedAgain) {
  gStandIn.FailNextOpen = true;
  EXPECT_EQ(nullptr, GetThemeHandleForType(totHeader));
  EXPECT_TRUE(ThemeClassListOf(totHeader).empty());
  EXPECT_TRUE(AreThemesAvailable(ThemedTypes({totHeader}))) << "the failure was not remembered: this one opens";
  EXPECT_NE(nullptr, GetThemeHandleForType(totHeader));
  EXPECT_EQ(2u, gStandIn.Opened.size());
  gStandIn.FailNextOpen = true;
  EXPECT_FALSE(AreThemesAvailable(ThemedTypes({totTab, totTrackBar})));
  EXPECT_EQ((std::vector<std::wstring>{L"Header", L"Header", L"Tab"}), gStandIn.Opened)
      << "the first failure ends the test";
}

TEST_F(ThemeManager, ThemeChangeClosesEveryHandleAndNotifiesInListOrder) {
  HTHEME button = GetThemeHandleForType(totButton);
  HTHEME window = GetThemeHandleForType(totWindow, L"Window;Edit");
  std::vector<int> told;
  {
    TdxThemeChangedNotificator a, b, c;
    a.OnThemeChanged = [&] { told.push_back(1); };
    b.OnThemeChanged = [&] { told.push_back(2); };
    c.OnThemeChanged = [&] { told.push_back(3); };
    EXPECT_EQ(3, ThemeChangedNotificatorCount());
    ThemeChanged();
    EXPECT_EQ((std::vector<int>{1, 2, 3}), told);
    EXPECT_EQ((std::vector<HTHEME>{button, window}), gStandIn.Closed);
    ThemeChanged(WM_SYSCOLORCHANGE);
    EXPECT_EQ(6u, told.size());
  }
  EXPECT_EQ(0, ThemeChangedNotificatorCount());
  gStandIn.Opened.clear();
  GetThemeHandleForType(totWindow);
  EXPECT_EQ((std::vector<std::wstring>{L"Window;Edit"}), gStandIn.Opened) << "reopened with the list it had";

  // An error of a notificator goes to the application; the message is still handled.
  ExceptionRecorder errors;
  TdxThemeChangedNotificator failing;
  failing.OnThemeChanged = [] { throw Exception(L"notificator failed"); };
  ThemeChanged();
  EXPECT_EQ((std::vector<std::wstring>{L"notificator failed"}), errors.Messages);
}

TEST_F(ThemeManager, WithoutActiveThemesNothingOpensAndClosingAnswersOne) {
  gStandIn.Active = FALSE;
  ThemeChanged();
  EXPECT_FALSE(ThemesActiveFlag());
  EXPECT_FALSE(AreThemesAvailable());
  EXPECT_EQ(nullptr, GetThemeHandleForType(totButton));
  EXPECT_EQ(1, CloseThemeHandleForType(totButton));
  EXPECT_FALSE(IsXPStandardVisualStyle());
  EXPECT_TRUE(gStandIn.Opened.empty());
  gStandIn.Active = TRUE;
  ThemeChanged();
  EXPECT_EQ(0, CloseThemeHandleForType(totButton)) << "no handle";
  HTHEME handle = GetThemeHandleForType(totButton);
  EXPECT_EQ(S_OK, CloseThemeHandleForType(totButton));
  EXPECT_EQ((std::vector<HTHEME>{handle}), gStandIn.Closed);
}

TEST_F(ThemeManager, StandardVisualStyleIsTheFileNameInAnyCaseAndFolder) {
  struct {
    const wchar_t* File;
    bool Standard;
  } const cases[] = {
      {L"C:\\windows\\Resources\\Themes\\Luna\\Luna.msstyles", true},
      {L"D:\\elsewhere\\ROYALE.MSSTYLES", true},
      {L"luna.msstyles", true},
      {L"C:\\windows\\Resources\\Themes\\light\\light.msstyles", false},
      {L"C:\\Luna.msstyles\\other.msstyles", false},
      {L"", false},
  };
  for (const auto& c : cases) {
    gStandIn.ThemeFile = c.File;
    EXPECT_EQ(c.Standard, IsXPStandardVisualStyle()) << c.File;
  }
}

TEST_F(LookAndFeel, UnboundEntriesAnswerAsFailedCalls) {
  const TUxThemeEntries real = UxThemeEntries();
  UxThemeEntries() = TUxThemeEntries{};
  HDC dc = CreateCompatibleDC(nullptr);
  const RECT r{0, 0, 10, 10};
  EXPECT_EQ(nullptr, tvk::OpenThemeData(nullptr, L"Button"));
  EXPECT_FALSE(tvk::IsThemeActive());
  COLORREF color = 0xFFFFFF;
  EXPECT_TRUE(FAILED(tvk::GetThemeColor(nullptr, 1, 1, 0, color)));
  EXPECT_EQ(0u, color);
  SIZE size{5, 5};
  EXPECT_TRUE(FAILED(tvk::GetThemePartSize(nullptr, dc, 1, 1, TS_TRUE, size)));
  EXPECT_EQ(0, size.cx);
  RECT content{1, 1, 1, 1};
  EXPECT_TRUE(FAILED(tvk::GetThemeBackgroundContentRect(nullptr, dc, 1, 1, r, content)));
  EXPECT_TRUE(AreRectsEqual(RECT{}, content));
  HRGN region = reinterpret_cast<HRGN>(1);
  EXPECT_TRUE(FAILED(tvk::GetThemeBackgroundRegion(nullptr, dc, 1, 1, r, region)));
  EXPECT_EQ(nullptr, region);
  EXPECT_TRUE(FAILED(tvk::DrawThemeBackground(nullptr, dc, 1, 1, r)));
  EXPECT_TRUE(FAILED(tvk::DrawThemeText(nullptr, dc, 1, 1, std::string("text"), 0, 0, r)));
  EXPECT_TRUE(FAILED(tvk::DrawThemeParentBackground(nullptr, dc, &r)));
  EXPECT_FALSE(tvk::IsThemeBackgroundPartiallyTransparent(nullptr, 1, 1));
  wchar_t name[8] = L"xyz";
  EXPECT_TRUE(FAILED(tvk::GetCurrentThemeName(name, 8, nullptr, 0, nullptr, 0)));
  EXPECT_EQ(L'\0', name[0]);
  HDC buffered = dc;
  EXPECT_EQ(nullptr, tvk::BeginBufferedPaint(dc, r, BPBF_TOPDOWNDIB, nullptr, buffered));
  EXPECT_EQ(nullptr, buffered);
  MARGINS margins{1, 1, 1, 1};
  EXPECT_TRUE(FAILED(tvk::GetThemeMargins(nullptr, dc, 1, 1, 0, nullptr, margins)));
  EXPECT_EQ(0, margins.cxLeftWidth);
  DeleteDC(dc);
  UxThemeEntries() = real;
}

TEST_F(LookAndFeel, TheRealLibraryIsBoundByNameAndItsStyleIsLive) {
  for (TUxThemeEntry e : {uxOpenThemeData, uxCloseThemeData, uxDrawThemeBackground, uxIsThemeActive,
                          uxGetCurrentThemeName, uxGetThemePartSize})
    EXPECT_NE(nullptr, UxThemeEntries().Entry[e]) << UxThemeEntryName(e);
  EXPECT_STREQ("BufferedPaintSetAlpha", UxThemeEntryName(uxBufferedPaintSetAlpha));
  EXPECT_TRUE(ThemesActiveFlag());
  EXPECT_NE(nullptr, GetThemeHandleForType(totButton));
}

TEST(DwmApi, LoadedAboveMajorVersionFiveOnly) {
  cxDWMApiUnitStart();
  EXPECT_TRUE(IsDwmAvailable());
  EXPECT_NE(nullptr, DwmEntries().Entry[dwmDwmIsCompositionEnabled]);
  (void)IsDwmCompositionOn();
  cxDWMApiUnitStop();
  EXPECT_FALSE(IsDwmAvailable());
  EXPECT_FALSE(IsDwmCompositionOn());
  OverrideWin32Version(5, 1);
  cxDWMApiUnitStart();
  EXPECT_FALSE(IsDwmAvailable());
  EXPECT_EQ(nullptr, DwmEntries().Entry[dwmDwmIsCompositionEnabled]);
  cxDWMApiUnitStop();
  ClearWin32VersionOverride();
}

TEST(ThemeManagerWithoutLibrary, NoReceiverNoListAndNoThemes) {
  // The manager started while the visual-styles library is not loaded: what a
  // system without it sees.
  ASSERT_FALSE(IsUxThemeLoaded());
  dxThemeManagerUnitStart();
  EXPECT_EQ(nullptr, ThemeChangedReceiverHandle());
  EXPECT_FALSE(ThemesActiveFlag());
  EXPECT_FALSE(AreThemesAvailable());
  EXPECT_EQ(nullptr, GetThemeHandleForType(totButton));
  EXPECT_FALSE(IsXPStandardVisualStyle());
  EXPECT_EQ(L"Button", ThemeClassNames(totButton));
  {
    TdxThemeChangedNotificator notificator;
    EXPECT_EQ(0, ThemeChangedNotificatorCount());
  }
  dxThemeManagerUnitStop();
  EXPECT_TRUE(ThemeClassNames(totButton).empty());
}
