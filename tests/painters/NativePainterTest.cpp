// The native painter. Exact checks of class, part, state, rectangles and text
// flags run on a counting stand-in entry table; the prefix's own visual style
// only has to draw every element without failing.
#include "PaintersTest.h"
#include "dxOffice11.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace tvk;
using painters_test::Box;
using painters_test::kSentinel;
using painters_test::LookAndFeel;
using painters_test::Rgb;
using painters_test::TBox;
using painters_test::TDib;

namespace {

struct TNativeCall {
  std::wstring Class;
  int Part, State;
  RECT R;
  bool Clipped;
  RECT Clip;
};

// The stand-in visual style: one handle per class, classes that can be made
// missing, and every drawing call recorded.
struct TNativeStandIn {
  std::map<std::wstring, HTHEME> Handles;
  std::map<HTHEME, std::wstring> Classes;
  std::set<std::wstring> Missing;
  std::vector<TNativeCall> Drawn;
  std::vector<std::pair<DWORD, RECT>> Texts;
  std::wstring ColorName;
  SIZE PartSize{13, 11};
  bool SizeFails = false, ColorFails = false;
  COLORREF Color = 0x00ABCDEF;
};
TNativeStandIn gNative;

HTHEME WINAPI NativeOpen(HWND, LPCWSTR AClassList) {
  const std::wstring name = AClassList;
  if (gNative.Missing.count(name)) return nullptr;
  auto [it, added] = gNative.Handles.emplace(name, reinterpret_cast<HTHEME>(INT_PTR(0x200 + gNative.Handles.size())));
  gNative.Classes[it->second] = name;
  return it->second;
}
HRESULT WINAPI NativeClose(HTHEME) { return S_OK; }
BOOL WINAPI NativeActive() { return TRUE; }
HRESULT WINAPI NativeThemeName(LPWSTR AFile, int AFileChars, LPWSTR AColor, int AColorChars, LPWSTR, int) {
  lstrcpynW(AFile, L"luna.msstyles", AFileChars);
  lstrcpynW(AColor, gNative.ColorName.c_str(), AColorChars);
  return S_OK;
}
HRESULT WINAPI NativeBackground(HTHEME ATheme, HDC, int APart, int AState, const RECT* R, const RECT* AClip) {
  gNative.Drawn.push_back({gNative.Classes[ATheme], APart, AState, *R, AClip != nullptr, AClip ? *AClip : RECT{}});
  return ATheme ? S_OK : E_HANDLE;
}
HRESULT WINAPI NativeText(HTHEME ATheme, HDC, int, int, LPCWSTR, int, DWORD AFlags, DWORD, const RECT* R) {
  gNative.Texts.push_back({AFlags, *R});
  return ATheme ? S_OK : E_HANDLE;
}
HRESULT WINAPI NativePartSize(HTHEME ATheme, HDC, int, int, RECT*, THEMESIZE, SIZE* ASize) {
  if (!ATheme || gNative.SizeFails) return E_FAIL;
  *ASize = gNative.PartSize;
  return S_OK;
}
HRESULT WINAPI NativeColor(HTHEME ATheme, int, int, int, COLORREF* AColor) {
  if (!ATheme || gNative.ColorFails) return E_FAIL;
  *AColor = gNative.Color;
  return S_OK;
}
HRESULT WINAPI NativeContent(HTHEME ATheme, HDC, int, int, const RECT* ABounds, RECT* AContent) {
  if (!ATheme) return E_FAIL;
  *AContent = {ABounds->left + 3, ABounds->top + 2, ABounds->right - 3, ABounds->bottom - 2};
  return S_OK;
}
HRESULT WINAPI NativeMargins(HTHEME ATheme, HDC, int, int, int, LPCRECT, MARGINS* AMargins) {
  if (!ATheme) return E_FAIL;
  *AMargins = {2, 2, 3, 3};
  return S_OK;
}
HRESULT WINAPI NativeEdge(HTHEME ATheme, HDC, int APart, int AState, LPCRECT R, UINT, UINT, LPRECT) {
  gNative.Drawn.push_back({gNative.Classes[ATheme], APart, AState, *R, false, RECT{}});
  return S_OK;
}

template <class F>
FARPROC NativeEntry(F f) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(f));
}

class NativePainter : public LookAndFeel {
protected:
  void SetUp() override {
    LookAndFeel::SetUp();
    if (HasFatalFailure()) return;
    FReal = UxThemeEntries();
    gNative = TNativeStandIn{};
    auto& e = UxThemeEntries().Entry;
    e[uxOpenThemeData] = NativeEntry(&NativeOpen);
    e[uxCloseThemeData] = NativeEntry(&NativeClose);
    e[uxIsThemeActive] = NativeEntry(&NativeActive);
    e[uxGetCurrentThemeName] = NativeEntry(&NativeThemeName);
    e[uxDrawThemeBackground] = NativeEntry(&NativeBackground);
    e[uxDrawThemeText] = NativeEntry(&NativeText);
    e[uxGetThemePartSize] = NativeEntry(&NativePartSize);
    e[uxGetThemeColor] = NativeEntry(&NativeColor);
    e[uxGetThemeBackgroundContentRect] = NativeEntry(&NativeContent);
    e[uxGetThemeMargins] = NativeEntry(&NativeMargins);
    e[uxDrawThemeEdge] = NativeEntry(&NativeEdge);
    SendMessageW(ThemeChangedReceiverHandle(), WM_THEMECHANGED, 0, 0);
    CloseAllThemeHandles();
    CalculateOffice11Colors();
  }
  void TearDown() override {
    CloseAllThemeHandles();  // the stand-in's handles never reach the real library
    UxThemeEntries() = FReal;
    SendMessageW(ThemeChangedReceiverHandle(), WM_THEMECHANGED, 0, 0);
    CalculateOffice11Colors();
    LookAndFeel::TearDown();
  }
  // Every class missing from now on (handle 0).
  static void LoseAllClasses() {
    for (int t = 0; t < kThemedObjectTypeCount; ++t)
      gNative.Missing.insert(ThemeClassNames(TdxThemedObjectType(t)));
    CloseAllThemeHandles();
  }
  TcxWinXPLookAndFeelPainter Native;
  TcxStandardLookAndFeelPainter Standard;
  TUxThemeEntries FReal;
};

using TDraw = std::function<void(TcxCustomLookAndFeelPainter&, TcxCanvas&)>;

struct TThemedRow {
  const char* Name;
  TDraw Draw;
  const wchar_t* Class;
  int Part, State;
};

// Elements that draw one theme part with the painter's state tables.
const std::vector<TThemedRow>& ThemedRows() {
  const RECT r{0, 0, 16, 16};
  static const std::vector<TThemedRow> rows = {
      {"arrow hot down", [r](auto& p, auto& c) { p.DrawArrow(c, r, cxbsHot, adDown, true); }, L"ScrollBar", 1, 6},
      {"arrow disabled right", [r](auto& p, auto& c) { p.DrawArrow(c, r, cxbsDisabled, adRight); }, L"ScrollBar", 1, 16},
      {"arrow border default", [r](auto& p, auto& c) { p.DrawArrowBorder(c, r, cxbsDefault); }, L"Button", 1, 5},
      {"vertical separator", [r](auto& p, auto& c) { p.DoDrawSeparator(c, r, true); }, L"ToolBar", 5, 1},
      {"button pressed", [r](auto& p, auto& c) { p.DrawButton(c, r, L"", cxbsPressed); }, L"Button", 1, 3},
      {"tool button hot", [r](auto& p, auto& c) { p.DrawButton(c, r, L"", cxbsHot, true, clDefault, clDefault, false, true); },
       L"ToolBar", 1, 2},
      {"expand expanded", [r](auto& p, auto& c) { p.DrawExpandButton(c, r, true); }, L"TreeView", 2, 2},
      {"group expand collapsed default", [r](auto& p, auto& c) { p.DrawGroupExpandButton(c, r, false, cxbsDefault); },
       L"ExplorerBar", 7, 1},
      {"group expand expanded pressed", [r](auto& p, auto& c) { p.DrawGroupExpandButton(c, r, true, cxbsPressed); },
       L"ExplorerBar", 6, 3},
      {"check checked hot", [r](auto& p, auto& c) { p.DrawCheck(c, r, cxbsHot, true, clRed); }, L"Button", 3, 6},
      {"radio checked disabled", [](auto& p, auto& c) { p.DrawRadioButton(c, 0, 0, cxbsDisabled, true, false, clRed); },
       L"Button", 2, 8},
      {"filter close hot", [r](auto& p, auto& c) { p.DrawFilterCloseButton(c, r, cxbsHot); }, L"Window", 19, 2},
      {"filter drop-down default", [r](auto& p, auto& c) { p.DrawFilterDropDownButton(c, r, cxbsDefault, true); },
       L"ComboBox", 1, 1},
      {"size grip", [r](auto& p, auto& c) { p.DoDrawSizeGrip(c, r); }, L"ScrollBar", 10, 1},
      {"page up vertical pressed", [r](auto& p, auto& c) { p.DrawScrollBarPart(c, false, r, sbpPageUp, cxbsPressed); },
       L"ScrollBar", 6, 3},
      {"page down horizontal", [r](auto& p, auto& c) { p.DrawScrollBarPart(c, true, r, sbpPageDown, cxbsDefault); },
       L"ScrollBar", 5, 1},
      {"navigator button hot", [r](auto& p, auto& c) { p.DrawSchedulerNavigatorButton(c, r, cxbsHot); }, L"ToolBar", 1, 5},
      {"group box disabled", [r](auto& p, auto& c) { p.DrawGroupBoxFrame(c, r, false, cxgpTop); }, L"Button", 4, 2},
      {"track vertical", [r](auto& p, auto& c) { p.DrawTrackBarTrack(c, r, r, false, true, false, clRed); },
       L"TrackBar", 2, 1},
      {"thumb up horizontal default",
       [r](auto& p, auto& c) { p.DrawTrackBarThumb(c, r, cxbsDefault, true, tbtaUp, clRed); }, L"TrackBar", 5, 2},
      {"thumb both vertical disabled",
       [r](auto& p, auto& c) { p.DrawTrackBarThumb(c, r, cxbsDisabled, false, tbtaBoth, clRed); }, L"TrackBar", 6, 5},
      {"date header", [r](auto& p, auto& c) { RECT q = r; p.DrawDateNavigatorDateHeader(c, q); }, L"Header", 2, 1},
      {"list gutter", [r](auto& p, auto& c) { p.DrawDropDownListBoxGutterBackground(c, r); }, L"Menu", 13, 0},
      {"list selection", [r](auto& p, auto& c) { p.DrawDropDownListBoxSelection(c, r, r); }, L"Menu", 14, 2},
      {"progress chunk", [r](auto& p, auto& c) { p.DrawBreadcrumbEditProgressChunk(c, r); }, L"Progress", 3, 1},
      {"bevel line", [r](auto& p, auto& c) { p.DrawBevelLine(c, r, clRed, clRed, false); }, L"ToolBar", 6, 1},
      {"bevel frame", [r](auto& p, auto& c) { p.DrawBevelFrame(c, r, clRed, clRed, true); }, L"Button", 4, 1},
      {"hint", [r](auto& p, auto& c) { p.DrawHintBackground(c, r); }, L"ToolTip", 1, 1},
      {"tab hot", [r](auto& p, auto& c) { p.DrawTab(c, r, cxBordersAll, L"", cxbsHot, false, nullptr, clDefault, clDefault); },
       L"Tab", 1, 2},
  };
  return rows;
}

TEST_F(NativePainter, ClassPartAndStatePerElement) {
  for (const TThemedRow& row : ThemedRows()) {
    gNative.Drawn.clear();
    TDib dib(16, 16);
    row.Draw(Native, dib.Canvas());
    ASSERT_FALSE(gNative.Drawn.empty()) << row.Name;
    const TNativeCall& call = gNative.Drawn.front();
    EXPECT_EQ(row.Class, call.Class) << row.Name;
    EXPECT_EQ(row.Part, call.Part) << row.Name;
    EXPECT_EQ(row.State, call.State) << row.Name;
  }
}

TEST_F(NativePainter, WithoutTheClassEveryElementIsTheStandardOne) {
  LoseAllClasses();
  for (const TThemedRow& row : ThemedRows()) {
    if (std::string(row.Name).starts_with("radio") || std::string(row.Name) == "date header") continue;
    TDib native(16, 16), standard(16, 16);
    row.Draw(Native, native.Canvas());
    row.Draw(Standard, standard.Canvas());
    bool same = true;
    for (int y = 0; y < 16 && same; ++y)
      for (int x = 0; x < 16 && same; ++x) same = native.At(x, y) == standard.At(x, y);
    EXPECT_TRUE(same) << row.Name;
  }
  EXPECT_TRUE(gNative.Drawn.empty());
  // Sizes and colours fall back as well.
  EXPECT_EQ(Standard.ExpandButtonSize(), Native.ExpandButtonSize());
  EXPECT_EQ(Standard.BorderSize(), Native.BorderSize());
  EXPECT_EQ(Standard.ButtonBorderSize(cxbsNormal), Native.ButtonBorderSize(cxbsDefault));
  EXPECT_EQ(Standard.RadioButtonSize().cx, Native.RadioButtonSize().cx);
  EXPECT_EQ(Standard.SizeGripSize().cx, Native.SizeGripSize().cx);
  EXPECT_EQ(Standard.SmallCloseButtonSize().cy, Native.SmallCloseButtonSize().cy);
  EXPECT_EQ(Standard.DropDownListBoxItemTextColor(true), Native.DropDownListBoxItemTextColor(true));
  EXPECT_EQ(6, Native.SeparatorSize());
  EXPECT_EQ(TColor(0xD5FFFF), Native.DefaultSchedulerViewContentColor());
}

TEST_F(NativePainter, RadioButtonAndDateHeaderDoNotFallBack) {
  LoseAllClasses();
  TDib dib(16, 16);
  Native.DrawRadioButton(dib.Canvas(), 0, 0, cxbsNormal, true, false, clRed);
  RECT r{0, 0, 16, 16};
  Native.DrawDateNavigatorDateHeader(dib.Canvas(), r);
  EXPECT_TRUE(dib.Untouched());
  EXPECT_EQ(16, r.bottom) << "R unchanged";
}

TEST_F(NativePainter, SizesAndColoursFromTheTheme) {
  EXPECT_EQ(13, Native.ExpandButtonSize());
  EXPECT_EQ(13, Native.SmallExpandButtonSize());
  EXPECT_EQ(3, Native.ButtonBorderSize(cxbsNormal)) << "the content rectangle's left";
  EXPECT_EQ(2, Native.HeaderBorderSize()) << "(3 + 2) div 2";
  EXPECT_EQ(1, Native.BorderSize());
  EXPECT_EQ(0, Native.CheckBorderSize());
  EXPECT_EQ(17, Native.FilterCloseButtonSize().x);
  EXPECT_EQ(15, Native.FilterCloseButtonSize().y);
  EXPECT_EQ(13, Native.SmallCloseButtonSize().cx);
  EXPECT_EQ(TColor(0xABCDEF), Native.ButtonColor(cxbsNormal));
  EXPECT_EQ(TColor(0xABCDEF), Native.DefaultSchedulerBorderColor());
  gNative.ColorFails = true;
  EXPECT_EQ(Standard.ButtonColor(cxbsHot), Native.ButtonColor(cxbsHot)) << "also when the colour is missing";
  EXPECT_EQ(Standard.DefaultSchedulerBorderColor(), Native.DefaultSchedulerBorderColor());
  EXPECT_EQ(Standard.ButtonSymbolColor(cxbsNormal), Native.ButtonSymbolColor(cxbsNormal));
  gNative.SizeFails = true;
  EXPECT_EQ(Standard.RadioButtonSize().cx, Native.RadioButtonSize().cx) << "a failed query answers the standard size";
  EXPECT_EQ(Standard.SizeGripSize().cy, Native.SizeGripSize().cy);
  EXPECT_EQ(Standard.SmallCloseButtonSize().cx, Native.SmallCloseButtonSize().cx);
  EXPECT_EQ(Standard.ScrollBarMinimalThumbSize(true), Native.ScrollBarMinimalThumbSize(true));
}

TEST_F(NativePainter, HeaderPartFollowsTheScheme) {
  struct TRow {
    const wchar_t* ColorName;
    TcxButtonState State;
    bool Last;
    int Part;
  };
  const TRow rows[] = {
      {L"", cxbsNormal, true, 1},          {L"NormalColor", cxbsNormal, true, 3}, {L"HomeStead", cxbsDisabled, true, 3},
      {L"Metallic", cxbsNormal, true, 1},  {L"NormalColor", cxbsHot, true, 1},    {L"NormalColor", cxbsNormal, false, 1},
      {L"NormalColor", cxbsPressed, true, 1},
  };
  for (const TRow& row : rows) {
    gNative.ColorName = row.ColorName;
    CalculateOffice11Colors();
    gNative.Drawn.clear();
    gNative.Texts.clear();
    TDib dib(20, 10);
    Native.DrawHeader(dib.Canvas(), RECT{0, 0, 20, 10}, RECT{2, 2, 18, 8}, 0, cxBordersAll, row.State,
                      TAlignment::taLeftJustify, TcxAlignmentVert::vaCenter, false, false, L"H", nullptr, clBlack,
                      clRed, {}, row.Last);
    ASSERT_EQ(1u, gNative.Drawn.size());
    EXPECT_EQ(row.Part, gNative.Drawn[0].Part) << GetOffice11ColorScheme() << " " << row.State << row.Last;
    ASSERT_EQ(1u, gNative.Texts.size());
    const TBox text = row.State == cxbsPressed ? TBox{3, 3, 19, 9} : TBox{2, 2, 18, 8};
    EXPECT_EQ(text, Box(gNative.Texts[0].second)) << "a pressed header's text moves by (1, 1)";
  }
}

TEST_F(NativePainter, TabRectangles) {
  struct TRow {
    TcxButtonState State;
    TcxBorders Borders;
    TBox Drawn, Clip, Text;
  };
  const TRow rows[] = {
      {cxbsPressed, cxBordersAll, {10, 5, 40, 21}, {10, 5, 40, 20}, {10, 5, 40, 19}},
      {cxbsNormal, cxBordersAll, {10, 5, 40, 20}, {10, 5, 40, 19}, {10, 5, 40, 20}},
      {cxbsNormal, bTop | bBottom, {8, 5, 42, 20}, {10, 5, 40, 19}, {8, 5, 42, 20}},
  };
  for (const TRow& row : rows) {
    gNative.Drawn.clear();
    gNative.Texts.clear();
    TDib dib(50, 30);
    Native.DrawTab(dib.Canvas(), RECT{10, 5, 40, 20}, row.Borders, L"Tab", row.State, false, nullptr, clBlack,
                   clDefault);
    ASSERT_EQ(1u, gNative.Drawn.size());
    EXPECT_EQ(row.Drawn, Box(gNative.Drawn[0].R)) << row.State;
    ASSERT_TRUE(gNative.Drawn[0].Clipped);
    EXPECT_EQ(row.Clip, Box(gNative.Drawn[0].Clip));
    ASSERT_EQ(1u, gNative.Texts.size());
    EXPECT_EQ(row.Text, Box(gNative.Texts[0].second));
  }
  // A vertical tab is drawn lying down into a bitmap of the turned size.
  gNative.Drawn.clear();
  TDib dib(50, 50);
  Native.DrawTab(dib.Canvas(), RECT{10, 5, 30, 45}, cxBordersAll, L"", cxbsNormal, true, nullptr, clBlack, clDefault);
  ASSERT_EQ(1u, gNative.Drawn.size());
  EXPECT_EQ((TBox{0, 0, 40, 20}), Box(gNative.Drawn[0].R));
  EXPECT_EQ((TBox{0, 0, 40, 19}), Box(gNative.Drawn[0].Clip));
}

TEST_F(NativePainter, ThemedTextFlags) {
  struct TRow {
    TAlignment Horz;
    TcxAlignmentVert Vert;
    bool MultiLine, Ellipsis, Prefix;
    DWORD Flags;
  };
  const TRow rows[] = {
      {TAlignment::taLeftJustify, TcxAlignmentVert::vaTop, false, false, false, 0x2000 | 0x800 | 0x20},
      {TAlignment::taRightJustify, TcxAlignmentVert::vaBottom, false, true, true, 0x2 | 0x8 | 0x2000 | 0x8000 | 0x20},
      {TAlignment::taCenter, TcxAlignmentVert::vaCenter, true, false, true, 0x1 | 0x4 | 0x2000 | 0x10},
  };
  HTHEME theme = GetThemeHandleForType(totHeader);
  for (const TRow& row : rows) {
    gNative.Texts.clear();
    TDib dib(40, 20);
    Native.DrawThemedContentText(dib.Canvas(), theme, 1, 1, RECT{0, 0, 40, 20}, RECT{0, 0, 40, 20}, row.Horz, row.Vert,
                                 row.MultiLine, row.Ellipsis, row.Prefix, L"Text", nullptr, clBlack, clDefault);
    ASSERT_EQ(1u, gNative.Texts.size());
    EXPECT_EQ(row.Flags, gNative.Texts[0].first);
  }
  // Empty text: nothing drawn and the canvas font untouched.
  TDib dib(40, 20);
  TFont font;
  font.SetColor(clRed);
  dib.Canvas().Font().SetColor(clGreen);
  gNative.Texts.clear();
  Native.DrawThemedContentText(dib.Canvas(), theme, 1, 1, RECT{0, 0, 40, 20}, RECT{0, 0, 40, 20},
                               TAlignment::taCenter, TcxAlignmentVert::vaCenter, false, false, false, L"", &font, clBlue,
                               clDefault);
  EXPECT_TRUE(gNative.Texts.empty());
  EXPECT_EQ(TColor(clGreen), dib.Canvas().Font().Color());
}

TEST_F(NativePainter, ScrollBarPartsAndTheGripper) {
  TDib dib(40, 40);
  gNative.PartSize = {17, 17};
  Native.DrawScrollBarPart(dib.Canvas(), true, RECT{0, 0, 30, 17}, sbpThumbnail, cxbsHot);
  ASSERT_EQ(2u, gNative.Drawn.size()) << "wider than the part: thumb and gripper";
  EXPECT_EQ(2, gNative.Drawn[0].Part);
  EXPECT_EQ(2, gNative.Drawn[0].State);
  EXPECT_EQ(8, gNative.Drawn[1].Part);
  gNative.Drawn.clear();
  Native.DrawScrollBarPart(dib.Canvas(), false, RECT{0, 0, 17, 12}, sbpThumbnail, cxbsNormal);
  ASSERT_EQ(1u, gNative.Drawn.size()) << "no taller than the part: no gripper";
  EXPECT_EQ(3, gNative.Drawn[0].Part);
  gNative.Drawn.clear();
  Native.DrawScrollBarPart(dib.Canvas(), false, RECT{0, 0, 0, 12}, sbpThumbnail, cxbsNormal);
  Native.DrawScrollBarPart(dib.Canvas(), false, RECT{0, 0, 17, 12}, sbpNone, cxbsNormal);
  EXPECT_TRUE(gNative.Drawn.empty());
  LoseAllClasses();
  Native.DrawScrollBarPart(dib.Canvas(), false, RECT{0, 0, 0, 12}, sbpLineUp, cxbsNormal);
  EXPECT_TRUE(dib.Untouched()) << "an empty rectangle draws nothing without the class too";
}

TEST_F(NativePainter, BreadcrumbButtonsRestoreTheClip) {
  auto& p = Native;
  TDib dib(30, 20);
  for (TdxBreadcrumbEditButtonState s : {dxbcbsNormal, dxbcbsDisabled}) {
    p.DrawBreadcrumbEditThemedButton(dib.Canvas(), RECT{0, 0, 20, 10}, s, bLeft);
    p.DrawBreadcrumbEditButton(dib.Canvas(), RECT{0, 0, 20, 10}, s, false, false);
  }
  p.DrawBreadcrumbEditThemedButton(dib.Canvas(), RECT{5, 0, 5, 10}, dxbcbsHot, bLeft);
  EXPECT_TRUE(gNative.Drawn.empty());
  p.DrawBreadcrumbEditThemedButton(dib.Canvas(), RECT{4, 4, 20, 14}, dxbcbsHot, bLeft | bTop);
  ASSERT_EQ(1u, gNative.Drawn.size());
  EXPECT_EQ((TBox{3, 3, 22, 17}), Box(gNative.Drawn[0].R)) << "bordered sides grow by 1, the others by the margins";
  EXPECT_EQ(2, gNative.Drawn[0].State);
  EXPECT_EQ(0, dib.Canvas().SavedClipRegionCount());
}

TEST_F(NativePainter, PanesSeparatorsAndSplitters) {
  TDib dib(60, 40);
  Native.DrawTabsRoot(dib.Canvas(), RECT{0, 0, 50, 30}, cxBordersAll, false);
  Native.DrawTabsRoot(dib.Canvas(), RECT{0, 0, 50, 30}, 0, true);
  Native.DrawDropDownListBoxSeparator(dib.Canvas(), RECT{0, 0, 60, 20}, RECT{0, 0, 10, 20});
  ASSERT_EQ(3u, gNative.Drawn.size());
  // The pane's far border lies outside R (content margins 3 and 2 on both sides).
  EXPECT_EQ((TBox{0, 0, 50, 40}), Box(gNative.Drawn[0].R));
  EXPECT_EQ((TBox{0, 0, 50, 30}), Box(gNative.Drawn[0].Clip));
  EXPECT_EQ(9, gNative.Drawn[0].Part);
  EXPECT_EQ((TBox{0, 0, 60, 30}), Box(gNative.Drawn[1].R));
  // Height 11 centred: 0 + 20 - 11 = 9, odd, so 8 and row 4.
  EXPECT_EQ((TBox{12, 4, 60, 15}), Box(gNative.Drawn[2].R));
  EXPECT_EQ(15, gNative.Drawn[2].Part);
  EXPECT_EQ(11, Native.DropDownListBoxSeparatorSize());

  TDib splitter(20, 6);
  TcxViewParams params{};
  params.Color = clRed;
  Native.DrawSchedulerSplitterBorder(splitter.Canvas(), RECT{0, 0, 20, 6}, params, true);
  EXPECT_EQ(TColor(0xABCDEF), splitter.At(5, 0));
  EXPECT_EQ(TColor(0xABCDEF), splitter.At(5, 5));
  EXPECT_EQ(Rgb(clRed), splitter.At(5, 2));
  gNative.ColorFails = true;
  TDib standard(20, 6), fallback(20, 6);
  Standard.DrawSchedulerSplitterBorder(standard.Canvas(), RECT{0, 0, 20, 6}, params, true);
  Native.DrawSchedulerSplitterBorder(fallback.Canvas(), RECT{0, 0, 20, 6}, params, true);
  for (int y = 0; y < 6; ++y) EXPECT_EQ(standard.At(5, y), fallback.At(5, y)) << "no border colour: standard";
}

TEST_F(NativePainter, RealStyleDrawsEveryElement) {
  // The prefix's own visual style (missing classes draw the standard way).
  CloseAllThemeHandles();
  UxThemeEntries() = FReal;
  SendMessageW(ThemeChangedReceiverHandle(), WM_THEMECHANGED, 0, 0);
  for (const TThemedRow& row : ThemedRows()) {
    TDib dib(16, 16);
    row.Draw(Native, dib.Canvas());
  }
  TDib dib(60, 40);
  Native.DrawHeader(dib.Canvas(), RECT{0, 0, 60, 20}, RECT{2, 2, 58, 18}, 0, cxBordersAll, cxbsPressed,
                    TAlignment::taCenter, TcxAlignmentVert::vaCenter, true, true, L"Header", nullptr, clBlack, clRed);
  Native.DrawTab(dib.Canvas(), RECT{0, 0, 20, 40}, cxBordersAll, L"T", cxbsPressed, true, nullptr, clBlack, clDefault);
  Native.DrawTabsRoot(dib.Canvas(), RECT{0, 0, 60, 40}, cxBordersAll, false);
  Native.DrawSchedulerNavigationButtonContent(dib.Canvas(), RECT{0, 0, 20, 40}, RECT{5, 10, 10, 20}, true, cxbsHot);
  Native.DrawFooterCell(dib.Canvas(), RECT{0, 0, 60, 20}, TAlignment::taLeftJustify, TcxAlignmentVert::vaTop, false,
                        L"Sum", nullptr, clBlack, clWhite);
  Native.DrawDropDownListBoxBackground(dib.Canvas(), RECT{0, 0, 60, 40}, true);
  Native.DrawDropDownListBoxSeparator(dib.Canvas(), RECT{0, 0, 60, 10}, RECT{0, 0, 10, 10});
  Native.DrawBreadcrumbEditBorders(dib.Canvas(), RECT{0, 0, 60, 20}, bLeft | bTop, dxbcsHot);
  Native.DrawBreadcrumbEditNode(dib.Canvas(), RECT{0, 0, 30, 20}, dxbcbsPressed, true);
  Native.DrawSchedulerSplitterBorder(dib.Canvas(), RECT{0, 0, 60, 6}, TcxViewParams{}, true);
  RECT popup{0, 0, 60, 40};
  Native.DrawEditPopupWindowBorder(dib.Canvas(), popup, epbsDefault, false);
  EXPECT_EQ((TBox{1, 1, 59, 39}), Box(popup));
  EXPECT_GT(Native.ScrollBarMinimalThumbSize(true), 0);
  EXPECT_GT(Native.CheckButtonSize().cx, 0);
  EXPECT_EQ(0, dib.Canvas().SavedClipRegionCount());
  EXPECT_FALSE(dib.Untouched());
}

}  // namespace
