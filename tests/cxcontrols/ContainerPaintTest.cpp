// The container's themed painting and skin colours: the theme's content
// rectangle and frame colour (list box under composition, combo box otherwise,
// clBtnShadow without one), the theme's fill colour for a disabled container,
// and a skin's colours giving way to what the styles assign.
#include "cxContainer.h"
#include "dxUxTheme.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace tvk;

namespace {

constexpr COLORREF kEditFill = 0x00102030;
constexpr COLORREF kComboFrame = 0x00405060;
constexpr COLORREF kListFrame = 0x00708090;

// A visual style with an Edit, a ComboBox and a ListBox class.
struct TContainerThemeStandIn {
  std::map<std::wstring, HTHEME> Handles;
  std::map<HTHEME, std::wstring> Classes;
  bool NoColours = false;
  int FillPart = 0, FillState = 0;
};
TContainerThemeStandIn gContainerTheme;

HTHEME WINAPI ContainerThemeOpen(HWND, LPCWSTR AClassList) {
  auto [it, added] =
      gContainerTheme.Handles.emplace(AClassList, reinterpret_cast<HTHEME>(INT_PTR(0x300 + gContainerTheme.Handles.size())));
  gContainerTheme.Classes[it->second] = AClassList;
  return it->second;
}
HRESULT WINAPI ContainerThemeClose(HTHEME) { return S_OK; }
BOOL WINAPI ContainerThemeActive() { return TRUE; }
HRESULT WINAPI ContainerThemeContent(HTHEME, HDC, int, int, const RECT* ABounds, RECT* AContent) {
  *AContent = {ABounds->left + 2, ABounds->top + 2, ABounds->right - 2, ABounds->bottom - 2};
  return S_OK;
}
HRESULT WINAPI ContainerThemeColor(HTHEME ATheme, int APart, int AState, int AProp, COLORREF* AColor) {
  if (gContainerTheme.NoColours) return E_FAIL;
  const std::wstring& name = gContainerTheme.Classes[ATheme];
  if (AProp == 3802 && name == L"Edit") {
    gContainerTheme.FillPart = APart;
    gContainerTheme.FillState = AState;
    *AColor = kEditFill;
  } else if (AProp == 3801 && name == L"ComboBox" && APart == 1 && AState == 1) {
    *AColor = kComboFrame;
  } else if (AProp == 3801 && name == L"ListBox" && APart == 3 && AState == 1) {
    *AColor = kListFrame;
  } else {
    return E_FAIL;
  }
  return S_OK;
}
template <class F>
FARPROC ContainerThemeEntry(F f) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(f));
}

bool gContainerComposition = false;
bool ContainerPaintComposition() { return gContainerComposition; }

class ContainerPaint : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    laf_test::LookAndFeel::SetUp();
    if (HasFatalFailure()) return;
    FRealTheme = UxThemeEntries();
    FRealQueries = cxControlSystemQueries();
    gContainerTheme = TContainerThemeStandIn{};
    gContainerComposition = false;
    cxControlSystemQueries().CompositionOn = &ContainerPaintComposition;
    // Entries left empty answer failure, so no real theme call sees a stand-in handle.
    UxThemeEntries() = TUxThemeEntries{};
    auto& e = UxThemeEntries().Entry;
    e[uxOpenThemeData] = ContainerThemeEntry(&ContainerThemeOpen);
    e[uxCloseThemeData] = ContainerThemeEntry(&ContainerThemeClose);
    e[uxIsThemeActive] = ContainerThemeEntry(&ContainerThemeActive);
    e[uxGetThemeBackgroundContentRect] = ContainerThemeEntry(&ContainerThemeContent);
    e[uxGetThemeColor] = ContainerThemeEntry(&ContainerThemeColor);
    SendMessageW(ThemeChangedReceiverHandle(), WM_THEMECHANGED, 0, 0);
    FHost = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr,
                            nullptr);
    FContainer = std::make_unique<TcxContainer>(nullptr);
    FContainer->SetBounds(10, 10, 60, 30);
    FContainer->SetParentWindow(FHost);
    FContainer->Style()->LookAndFeel()->SetNativeStyle(true);
    FContainer->HandleNeeded();
  }
  void TearDown() override {
    FContainer.reset();
    if (FHost) DestroyWindow(FHost);
    CloseAllThemeHandles();  // the stand-in's handles never reach the real library
    UxThemeEntries() = FRealTheme;
    cxControlSystemQueries() = FRealQueries;
    laf_test::LookAndFeel::TearDown();
  }
  void Refresh() { FContainer->UpdateHotTrackState({-1, -1}, cxmbNone, false, 0); }
  // The container's view painted into a bitmap of its size.
  std::unique_ptr<TcxBitmap32> Painted() {
    auto bitmap = std::make_unique<TcxBitmap32>(FContainer->Width(), FContainer->Height(), true);
    FContainer->ViewInfo().Paint(bitmap->cxCanvas());
    return bitmap;
  }
  static COLORREF Pixel(TcxBitmap32& ABitmap, int X, int Y) { return ColorToRGB(ABitmap.Canvas().Pixel(X, Y)); }

  TUxThemeEntries FRealTheme;
  TcxControlSystemQueries FRealQueries{};
  HWND FHost = nullptr;
  std::unique_ptr<TcxContainer> FContainer;
};

}  // namespace

TEST_F(ContainerPaint, ThemedBackgroundFramesTheContentInTheThemeBorderColour) {
  const TColor background = TColor(0x00C0FFEE);
  FContainer->Style()->SetColor(background);
  struct Case {
    bool Composition, NoColours;
    TcxContainerBorderStyle Border;
    TColor Frame;
  };
  for (const Case c : {Case{false, false, cbsSingle, TColor(kComboFrame)}, Case{true, false, cbs3D, TColor(kListFrame)},
                       Case{false, true, cbsSingle, clBtnShadow}, Case{false, false, cbsNone, background}}) {
    gContainerComposition = c.Composition;
    gContainerTheme.NoColours = c.NoColours;
    FContainer->Style()->SetBorderStyle(c.Border);
    Refresh();
    ASSERT_TRUE(FContainer->ViewInfo().NativeStyle);
    auto bitmap = Painted();
    const int w = FContainer->Width(), h = FContainer->Height();
    SCOPED_TRACE(int(c.Border) * 10 + c.Composition);
    EXPECT_EQ(ColorToRGB(c.Frame), Pixel(*bitmap, 0, 0));
    EXPECT_EQ(ColorToRGB(c.Frame), Pixel(*bitmap, 1, h / 2));
    EXPECT_EQ(ColorToRGB(c.Frame), Pixel(*bitmap, w - 1, h - 1));
    EXPECT_EQ(ColorToRGB(background), Pixel(*bitmap, 2, 2)) << "the theme's content rectangle takes the background";
    EXPECT_EQ(ColorToRGB(background), Pixel(*bitmap, w / 2, h / 2));
  }
}

TEST_F(ContainerPaint, DisabledThemedContainerTakesTheThemeFillUnlessItsStyleHasAColour) {
  FContainer->SetEnabled(false);
  Refresh();
  ASSERT_TRUE(FContainer->ViewInfo().NativeStyle);
  EXPECT_EQ(4, FContainer->ViewInfo().NativeState);
  EXPECT_EQ(TColor(kEditFill), FContainer->ViewInfo().BackgroundColor());
  EXPECT_EQ(FContainer->ViewInfo().NativePart, gContainerTheme.FillPart);
  EXPECT_EQ(4, gContainerTheme.FillState);
  FContainer->StyleDisabled()->SetColor(clYellow);
  Refresh();
  EXPECT_EQ(clYellow, FContainer->ViewInfo().BackgroundColor());
  FContainer->SetEnabled(true);
  Refresh();
  EXPECT_EQ(1, FContainer->ViewInfo().NativeState);
  EXPECT_NE(TColor(kEditFill), FContainer->ViewInfo().BackgroundColor()) << "only a disabled container takes the fill";
}

TEST_F(ContainerPaint, NativeStyleNeedsTheLookAndFeelsFlagAndATheme) {
  Refresh();
  EXPECT_TRUE(FContainer->ViewInfo().NativeStyle);
  FContainer->Style()->LookAndFeel()->SetNativeStyle(false);
  Refresh();
  EXPECT_FALSE(FContainer->ViewInfo().NativeStyle);
  FContainer->Style()->LookAndFeel()->SetNativeStyle(true);
  UxThemeEntries().Entry[uxIsThemeActive] = nullptr;
  SendMessageW(ThemeChangedReceiverHandle(), WM_THEMECHANGED, 0, 0);
  Refresh();
  EXPECT_FALSE(FContainer->ViewInfo().NativeStyle) << "without a visual style the plain border is drawn";
}

namespace {

// A skin whose editor and border colours depend on the state asked for.
class TContainerTestSkin : public TcxStandardLookAndFeelPainter {
public:
  WideString LookAndFeelName() override { return L"ContainerTestSkin"; }
  TColor DefaultEditorBackgroundColorEx(TcxEditStateColorKind AKind) override { return TColor(0x00010100 + AKind); }
  TColor DefaultEditorTextColorEx(TcxEditStateColorKind AKind) override { return TColor(0x00020200 + AKind); }
  TColor GetContainerBorderColor(bool AHot) override { return AHot ? TColor(0x00030301) : TColor(0x00030300); }
};

class ContainerSkin : public ContainerPaint {
protected:
  void SetUp() override {
    ContainerPaint::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(cxLookAndFeelPaintersManager()->Register(std::make_unique<TContainerTestSkin>()));
    FContainer->Style()->LookAndFeel()->SetNativeStyle(false);
    FContainer->Style()->LookAndFeel()->SetSkinName(L"ContainerTestSkin");
    FInner = std::make_unique<TWinControl>(nullptr);
    FInner->SetParent(FContainer.get());
    FContainer->SetInnerControl(FInner.get());
  }
  void TearDown() override {
    if (FContainer) FContainer->SetInnerControl(nullptr);
    FInner.reset();
    if (FContainer) FContainer->Style()->LookAndFeel()->SetSkinName(L"");
    cxLookAndFeelPaintersManager()->Unregister(L"ContainerTestSkin");
    ContainerPaint::TearDown();
  }
  std::unique_ptr<TWinControl> FInner;
};

}  // namespace

TEST_F(ContainerSkin, SkinColoursGiveWayToAssignedStyleValues) {
  Refresh();
  const TcxContainerViewInfo& vi = FContainer->ViewInfo();
  ASSERT_TRUE(vi.UseSkins);
  EXPECT_EQ(TColor(0x00010100 + esckInactive), vi.BackgroundColor());
  EXPECT_EQ(TColor(0x00030300), vi.BorderColor);
  EXPECT_EQ(TColor(0x00020200 + esckInactive), FInner->Font().Color()) << "the inner control writes in the skin's colour";

  FContainer->SetEnabled(false);
  Refresh();
  EXPECT_EQ(TColor(0x00010100 + esckDisabled), vi.BackgroundColor());
  FContainer->SetEnabled(true);

  FContainer->Style()->SetColor(clAqua);
  FContainer->Style()->SetBorderColor(clFuchsia);
  FContainer->Style()->SetTextColor(clMaroon);
  Refresh();
  EXPECT_EQ(clAqua, vi.BackgroundColor());
  EXPECT_EQ(clFuchsia, vi.BorderColor);
  EXPECT_EQ(clMaroon, FInner->Font().Color());
}

TEST_F(ContainerSkin, ParentColourKeepsTheSkinBackgroundOut) {
  FContainer->SetParentColor(true);
  Refresh();
  EXPECT_NE(TColor(0x00010100 + esckInactive), FContainer->ViewInfo().BackgroundColor());
}
