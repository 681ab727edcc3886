// The Tabs and Flat styles: outlines at each position, the active tab's
// joining line, and the native path through a stand-in
// theme (tab parts by place, navigator parts, distances and lengths).
#include "StyleTest.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"
#include "laf_editors/EditorsTest.h"

#include <map>
#include <string>

namespace tabcontrol_test {
namespace {

using namespace tvk;

TEST_F(TabStyle, ClassicAndFlatOutlinesTakeTheirColoursAtEachPosition) {
  struct TRow {
    TcxPCStyleID Style;
    TcxTabPosition Position;
    POINT Light, Dark;  // offsets from the tab's left-top (negative: from right-bottom)
    TColor LightColor, DarkColor;
  };
  // The inactive third tab: its light side and its dark side (across the row for tabs on the
  // left or right, so the control is tall enough to show all three).
  const TRow rows[] = {{1, tpTop, {0, 5}, {-1, 5}, clBtnHighlight, cl3DDkShadow},
                       {1, tpBottom, {0, 2}, {-1, 2}, clBtnHighlight, cl3DDkShadow},
                       {1, tpLeft, {5, 0}, {5, -1}, clBtnHighlight, cl3DDkShadow},
                       {1, tpRight, {5, 0}, {5, -1}, clBtnHighlight, cl3DDkShadow},
                       {7, tpTop, {0, 5}, {-1, 5}, clBtnHighlight, clBtnShadow},
                       {7, tpBottom, {0, 2}, {-1, 2}, clBtnHighlight, clBtnShadow},
                       {7, tpLeft, {5, 0}, {5, -1}, clBtnHighlight, clBtnShadow},
                       {7, tpRight, {5, 0}, {5, -1}, clBtnHighlight, clBtnShadow}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(&row - rows);
    StyleOwner(row.Style, 3, 300, 200, [&](TTabOwner& o) { o.Properties().SetTabPosition(row.Position); });
    Paint();
    const RECT r = Tab(2)->FullRect();
    ASSERT_TRUE(r.top >= 0 && r.bottom <= 200);
    auto at = [&](POINT d) { return POINT{d.x < 0 ? r.right + d.x : r.left + d.x, d.y < 0 ? r.bottom + d.y : r.top + d.y}; };
    EXPECT_EQ(Rgb(row.LightColor), Pixel(at(row.Light)));
    EXPECT_EQ(Rgb(row.DarkColor), Pixel(at(row.Dark)));
  }
  // Flat's inner line is the tab colour made brighter.
  StyleOwner(7, 3);
  Paint();
  const RECT r = Tab(2)->FullRect();
  EXPECT_EQ(Rgb(RaiseColorBrightness(clBtnFace, 85)), Pixel(r.left + 1, r.top + 5));
}

TEST_F(TabStyle, TheActiveTabJoinsThePageAndEndsDarkAtTheControlsEdge) {
  // A tab as wide as the row reaches the control's right edge once active (2 + 296 + 2).
  for (bool atEdge : {false, true}) {
    SCOPED_TRACE(atEdge);
    StyleOwner(1, 2, 300, 120, [&](TTabOwner& o) {
      if (atEdge) o.Properties().SetTabWidth(296);
    });
    Paint();
    const RECT r = Tab(0)->FullRect();
    const int y = r.bottom;  // one pixel beyond the page side
    if (atEdge) {
      ASSERT_EQ(300, r.right);
      EXPECT_EQ(Rgb(cl3DDkShadow), Pixel(r.right - 1, y));
      EXPECT_EQ(Rgb(clBtnShadow), Pixel(r.right - 2, y));
    } else {
      ASSERT_LT(r.right, 300);
      EXPECT_EQ(Rgb(clBtnFace), Pixel(r.right - 1, y));
    }
    EXPECT_EQ(Rgb(r.left == 0 ? clBtnHighlight : cl3DLight), Pixel(r.left, y));
    EXPECT_EQ(Rgb(clBtnFace), Pixel((r.left + r.right) / 2, y));
  }
}

TEST_F(TabStyle, NativeTabPartsFollowThePlaceInTheRow) {
  struct TRow {
    int Active;
    int Parts[3];
  };
  // Single line: the first tab is the left-edge item (2), the last the right-edge item (3);
  // the active tab takes the top-item variants (6, 5, 7) and never the right edge.
  const TRow rows[] = {{1, {2, 5, 3}}, {0, {6, 1, 3}}, {2, {2, 1, 5}}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(row.Active);
    StyleOwner(1, 3, 300, 120, [&](TTabOwner& o) { o.Properties().SetTabIndex(row.Active); });
    for (int i = 0; i < 3; ++i) {
      int part = 0, state = 0;
      Painter<TcxPCTabsPainter>().GetTabNativePartAndState(i, part, state);
      EXPECT_EQ(row.Parts[i], part) << i;
      EXPECT_EQ(i == row.Active ? 3 : 1, state) << i;
    }
  }
}

// ---- A stand-in visual style through the theme entry table

struct TTabThemeStandIn {
  std::map<std::wstring, HTHEME> Handles;
  std::map<HTHEME, std::wstring> Classes;
  SIZE ComboButton{0, 0};  // 0 x 0: the part size fails
  bool MarkTabs = false;  // tab items drawn blue with a red top-left corner: asymmetric under every turn
  struct TCall {
    std::wstring Class;
    int Part, State;
    RECT Rect;
  };
  std::vector<TCall> Drawn;
};
TTabThemeStandIn gTabTheme;

void FillRectColor(HDC ADC, const RECT& R, COLORREF AColor) {
  HBRUSH brush = CreateSolidBrush(AColor);
  FillRect(ADC, &R, brush);
  DeleteObject(brush);
}

HTHEME WINAPI TabThemeOpen(HWND, LPCWSTR AClassList) {
  auto [it, added] = gTabTheme.Handles.emplace(AClassList, reinterpret_cast<HTHEME>(INT_PTR(0x500 + gTabTheme.Handles.size())));
  gTabTheme.Classes[it->second] = AClassList;
  return it->second;
}
HRESULT WINAPI TabThemeClose(HTHEME) { return S_OK; }
BOOL WINAPI TabThemeActive() { return TRUE; }
HRESULT WINAPI TabThemeDraw(HTHEME ATheme, HDC ADC, int APart, int AState, const RECT* ARect, const RECT*) {
  gTabTheme.Drawn.push_back({gTabTheme.Classes[ATheme], APart, AState, *ARect});
  if (gTabTheme.MarkTabs && gTabTheme.Classes[ATheme] == L"Tab" && APart != 9) {
    FillRectColor(ADC, *ARect, RGB(0, 0, 200));
    FillRectColor(ADC, {ARect->left, ARect->top, ARect->left + 2, ARect->top + 2}, RGB(200, 0, 0));
  }
  return S_OK;
}
HRESULT WINAPI TabThemePartSize(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE* ASize) {
  if (gTabTheme.ComboButton.cx == 0) return E_FAIL;
  *ASize = gTabTheme.ComboButton;
  return S_OK;
}
template <class F>
FARPROC TabThemeEntry(F f) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(f));
}

bool gVista = false, gWin7 = false;
bool StandInVista() { return gVista; }
bool StandInWin7() { return gWin7; }

class NativeTabs : public TabStyle {
protected:
  void SetUp() override {
    TabStyle::SetUp();
    FRealTheme = UxThemeEntries();
    FRealQueries = cxPCPlatformQueries();
    gTabTheme = TTabThemeStandIn{};
    gVista = gWin7 = false;
    cxPCPlatformQueries() = {&StandInVista, &StandInWin7};
    // Entries left empty answer failure, so no real theme call sees a stand-in handle.
    UxThemeEntries() = TUxThemeEntries{};
    auto& e = UxThemeEntries().Entry;
    e[uxOpenThemeData] = TabThemeEntry(&TabThemeOpen);
    e[uxCloseThemeData] = TabThemeEntry(&TabThemeClose);
    e[uxIsThemeActive] = TabThemeEntry(&TabThemeActive);
    e[uxDrawThemeBackground] = TabThemeEntry(&TabThemeDraw);
    e[uxGetThemePartSize] = TabThemeEntry(&TabThemePartSize);
    SendMessageW(ThemeChangedReceiverHandle(), WM_THEMECHANGED, 0, 0);
  }
  void TearDown() override {
    FOwner.reset();
    CloseAllThemeHandles();  // the stand-in's handles never reach the real library
    UxThemeEntries() = FRealTheme;
    cxPCPlatformQueries() = FRealQueries;
    SendMessageW(ThemeChangedReceiverHandle(), WM_THEMECHANGED, 0, 0);
    TabStyle::TearDown();
  }
  TTabOwner& NativeOwner(TcxPCStyleID AStyle, int ACount, const std::function<void(TTabOwner&)>& ASetup = {}) {
    TTabOwner& owner = StyleOwner(AStyle, ACount, 300, 120, ASetup);
    owner.OwnLookAndFeel().SetNativeStyle(true);
    owner.Relayout();
    return owner;
  }
  TUxThemeEntries FRealTheme;
  TcxPCPlatformQueries FRealQueries{};
};

TEST_F(NativeTabs, TabsPaintThemePartsAndFlatNeverDoes) {
  NativeOwner(1, 3, [](TTabOwner& o) { o.Properties().SetTabIndex(1); });
  ASSERT_TRUE(Painter<TcxPCTabsPainter>().UseNativePainting());
  Paint();
  std::vector<std::pair<int, int>> tabParts;
  bool pane = false;
  for (const auto& call : gTabTheme.Drawn) {
    if (call.Class != L"Tab") continue;
    if (call.Part == 9) pane = true;
    else tabParts.emplace_back(call.Part, call.State);
  }
  EXPECT_TRUE(pane);
  // The active tab first (its top item, active state), then the left-edge and right-edge items.
  EXPECT_EQ((std::vector<std::pair<int, int>>{{5, 3}, {2, 1}, {3, 1}}), tabParts);
  // The active tab's bitmap is one pixel longer toward the page.
  const RECT full = Tab(1)->FullRect();
  for (const auto& call : gTabTheme.Drawn)
    if (call.Class == L"Tab" && call.Part == 5) {
      EXPECT_EQ((TBox{0, 0, full.right - full.left, full.bottom - full.top + 1}), Box(call.Rect));
    }
  gTabTheme.Drawn.clear();
  NativeOwner(7, 3);
  EXPECT_FALSE(Painter<TcxPCFlatPainter>().UseNativePainting());
  Paint();
  EXPECT_TRUE(gTabTheme.Drawn.empty());
}

TEST_F(NativeTabs, ATabDrawnAsATopTabIsTurnedAndMirroredToItsPosition) {
  // The theme draws every tab as a top tab, marked at its top-left corner; the mark must end
  // on the side away from the page, at the end where the row starts.
  gTabTheme.MarkTabs = true;
  struct TRow {
    TcxTabPosition Position;
    int MarkedCorner;  // of the tab's full rectangle: 0 left-top, 1 right-top, 2 left-bottom, 3 right-bottom
  };
  const TRow rows[] = {{tpTop, 0}, {tpBottom, 2}, {tpLeft, 0}, {tpRight, 1}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(int(row.Position));
    TTabOwner& owner = StyleOwner(1, 3, 300, 200, [&](TTabOwner& o) { o.Properties().SetTabPosition(row.Position); });
    owner.OwnLookAndFeel().SetNativeStyle(true);
    owner.Relayout();
    ASSERT_TRUE(Painter<TcxPCTabsPainter>().UseNativePainting());
    Paint();
    const RECT r = Tab(2)->FullRect();  // an inactive tab, wholly in view
    ASSERT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= 300 && r.bottom <= 200);
    const POINT corners[4] = {{r.left, r.top}, {r.right - 1, r.top}, {r.left, r.bottom - 1}, {r.right - 1, r.bottom - 1}};
    for (int c = 0; c < 4; ++c)
      EXPECT_EQ(c == row.MarkedCorner ? RGB(200, 0, 0) : RGB(0, 0, 200), Pixel(corners[c])) << c;
  }
}

TEST_F(NativeTabs, NavigatorPartsStatesAndSpacingFollowTheSystemVersion) {
  NativeOwner(1, 12, [](TTabOwner& o) {
    TcxCustomTabControlProperties& p = o.Properties();
    p.SetOptions(TcxPCOptions(p.Options() | PCOptions({pcoGoDialog, pcoCloseButton})));
  });
  TcxPCTabsPainter& painter = Painter<TcxPCTabsPainter>();
  struct TRow {
    bool Vista;
    TcxPCNavigatorButton Kind;
    TcxPCNavigatorButtonState State;
    TdxThemedObjectType Type;
    int Part, StateId;
  };
  const TRow rows[] = {{false, nbClose, nbsHotTrack, totWindow, 19, 2},
                       {true, nbGoDialog, nbsPressed, totComboBox, 1, 3},
                       {true, nbTopLeft, nbsNormal, totScrollBar, 1, 9},       // left arrow
                       {true, nbBottomRight, nbsDisabled, totScrollBar, 1, 16},  // right arrow
                       {false, nbTopLeft, nbsPressed, totSpin, 4, 3},
                       {false, nbBottomRight, nbsNormal, totSpin, 3, 1}};
  for (const TRow& row : rows) {
    SCOPED_TRACE(&row - rows);
    gVista = row.Vista;
    TdxThemedObjectType type = totTab;
    int part = 0, state = 0;
    painter.GetNativeButtonPart(row.Kind, row.State, type, part, state);
    EXPECT_EQ(row.Type, type);
    EXPECT_EQ(row.Part, part);
    EXPECT_EQ(row.StateId, state);
  }
  // One pixel between the go-dialog and close buttons from Vista on, in either order; none before.
  gVista = true;
  EXPECT_EQ(1, painter.GetNavigatorButtonsDistance(nbGoDialog, nbClose));
  EXPECT_EQ(1, painter.GetNavigatorButtonsDistance(nbClose, nbGoDialog));
  EXPECT_EQ(0, painter.GetNavigatorButtonsDistance(nbTopLeft, nbBottomRight));
  EXPECT_EQ(21, painter.GetNavigatorButtonThickness());
  gVista = false;
  EXPECT_EQ(0, painter.GetNavigatorButtonsDistance(nbGoDialog, nbClose));
  EXPECT_EQ(17, painter.GetNavigatorButtonThickness());
  // The go-dialog's length: the combo-box button's width, 17 without one, the scroll-bar height from Windows 7.
  EXPECT_EQ(17, painter.GetNavigatorButtonLength(nbGoDialog));
  gTabTheme.ComboButton = {15, 19};
  EXPECT_EQ(15, painter.GetNavigatorButtonLength(nbGoDialog));
  gWin7 = true;
  EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), painter.GetNavigatorButtonLength(nbGoDialog));
  EXPECT_EQ(17, painter.GetNavigatorButtonLength(nbClose));
}

}  // namespace
}  // namespace tabcontrol_test
