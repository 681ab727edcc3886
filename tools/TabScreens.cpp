// The tab control's layouts, outlined by the test painter, one PNG each: tabs
// on every side, several rows, rotated tabs, a scrolled row with navigator
// buttons, close buttons and the new-tab button.
#include "ScreenshotProgram.h"
#include "LookAndFeelEditorsSteps.h"
#include "LookAndFeelSteps.h"
#include "ScreenshotImages.h"
#include "dxCore.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"
#include "support/TabOwner.h"

#include "cxPCPainters.h"

#include <functional>
#include <vector>

using namespace tvk;
using tvk_test::TTabOwner;
using tvk_test::TTestTabPainter;

namespace {

std::vector<TInitStep> AllSteps() {
  std::vector<TInitStep> steps(LookAndFeelSteps().begin(), LookAndFeelSteps().end());
  steps.insert(steps.end(), LookAndFeelEditorsSteps().begin(), LookAndFeelEditorsSteps().end());
  return steps;
}

const wchar_t* const kCaptions[] = {L"General", L"Memory", L"Registers", L"Breakpoints", L"Flash", L"Pins",
                                    L"Trace", L"Options", L"Log", L"Scripts", L"Help", L"About"};

// A control of AWidth x AHeight with ACount tabs, set up by ASetup, painted and saved.
void Shot(const std::string& AFolder, const char* AName, int AWidth, int AHeight, int ACount,
          const std::function<void(TTabOwner&)>& ASetup) {
  TTestTabPainter::Metrics() = {};
  TTabOwner owner(AWidth, AHeight);
  TcxCustomTabControlProperties& p = owner.Properties();
  p.BeginUpdate();
  p.SetStyle(TTestTabPainter::kStyleID);
  p.SetShowFrame(true);
  for (int i = 0; i < ACount; ++i) p.Tabs().Add(kCaptions[i % 12]);
  p.EndUpdate();
  ASetup(owner);
  owner.Relayout();
  owner.PaintSurface();
  owner.Surface().MakeOpaque();
  const std::string file = std::string("tabs_") + AName + ".png";
  SavePng(owner.Surface(), AFolder, file.c_str(), "tab layout");
}

// ---- The nine styles: one sheet per style, six controls on it.

// Tab 0 normal with an image, 1 active, 2 hot, 3 disabled, 4 highlighted, 5 coloured.
void SetUpStates(TTabOwner& AOwner, TImageList& AImages) {
  TcxCustomTabControlProperties& p = AOwner.Properties();
  p.Images().SetBaseImages(&AImages);
  p.Tabs().Tabs(0)->SetImageIndex(0);
  p.Tabs().Tabs(3)->SetEnabled(false);
  p.Tabs().Tabs(4)->SetHighlighted(true);
  p.Tabs().Tabs(5)->SetColor(TColor(0xB0E0F0));
  p.SetTabIndex(1);
}

void PaintStyle(TTabOwner& AOwner, TcxPCStyleID AStyle, const std::function<void(TTabOwner&)>& ASetup, int AHot) {
  AOwner.Properties().SetStyle(AStyle);
  ASetup(AOwner);
  AOwner.Relayout();
  if (AHot >= 0) AOwner.ViewInfo().SetHotTrackTabVisibleIndex(AHot);
  if (AOwner.ViewInfo().NavigatorButtonCount() > 1) {
    AOwner.ViewInfo().SetHotTrackNavigatorButton(AOwner.ViewInfo().NavigatorButtonInfos(1));
  }
  AOwner.PaintSurface();
}

TImageList& SheetImages() {
  static TImageList images(nullptr);
  if (images.Count() == 0) {
    images.SetSize(16, 16);
    TBitmap picture;
    picture.SetPixelFormat(TPixelFormat::pf24bit);
    picture.SetSize(16, 16);
    picture.Canvas().Brush().SetColor(TColor(0x3070D0));
    picture.Canvas().FillRect({0, 0, 16, 16});
    picture.Canvas().Brush().SetColor(TColor(0x40C040));
    picture.Canvas().FillRect({3, 3, 10, 13});
    images.Add(picture, nullptr);
  }
  return images;
}

struct TCell {
  const char* Name;
  std::function<void(TTabOwner&)> Setup;
};

// Six controls of one style drawn into one picture.
void StyleSheet(const std::string& AFolder, const std::string& AFile, TcxPCStyleID AStyle,
                const std::function<void(TTabOwner&)>& ACommon) {
  constexpr int kCellW = 330, kCellH = 200;
  TcxBitmap32 sheet(kCellW * 3, kCellH * 2);
  sheet.cxCanvas().FillRect(sheet.ClientRect(), clWhite);
  const std::vector<TCell> cells = {
      {"top", [](TTabOwner& o) { SetUpStates(o, SheetImages()); }},
      {"bottom", [](TTabOwner& o) { SetUpStates(o, SheetImages()); o.Properties().SetTabPosition(tpBottom); }},
      {"left", [](TTabOwner& o) { SetUpStates(o, SheetImages()); o.Properties().SetTabPosition(tpLeft); }},
      {"right", [](TTabOwner& o) { SetUpStates(o, SheetImages()); o.Properties().SetTabPosition(tpRight); }},
      {"multiline rotated",
       [](TTabOwner& o) {
         o.Properties().SetMultiLine(true);
         o.Properties().SetRotate(true);
         o.Properties().SetTabPosition(tpLeft);
         o.Properties().SetTabIndex(4);
       }},
      {"navigator and close buttons", [](TTabOwner& o) {
         TcxCustomTabControlProperties& p = o.Properties();
         p.SetOptions(TcxPCOptions(p.Options() | PCOptions({pcoGoDialog, pcoCloseButton})));
         p.SetCloseButtonMode(cbmEveryTab);
         p.SetTabIndex(6);
       }}};
  for (std::size_t i = 0; i < cells.size(); ++i) {
    TTestTabPainter::Metrics() = {};
    TTabOwner owner(kCellW - 10, kCellH - 10);
    owner.OwnLookAndFeel().SetNativeStyle(false);
    TcxCustomTabControlProperties& p = owner.Properties();
    p.BeginUpdate();
    p.SetShowFrame(true);
    const int count = i < 4 ? 6 : (i == 4 ? 12 : 10);
    for (int t = 0; t < count; ++t) p.Tabs().Add(kCaptions[t % 12]);
    p.EndUpdate();
    ACommon(owner);
    PaintStyle(owner, AStyle, cells[i].Setup, i < 4 ? 2 : -1);
    const int x = int(i % 3) * kCellW + 5, y = int(i / 3) * kCellH + 5;
    BitBlt(sheet.Canvas().Handle(), x, y, kCellW - 10, kCellH - 10, owner.Surface().Canvas().Handle(), 0, 0, SRCCOPY);
  }
  sheet.MakeOpaque();
  SavePng(sheet, AFolder, AFile.c_str(), "tab style");
}

void DrawStyles(const std::string& folder) {
  static const char* const kStyleFiles[] = {"", "tabs", "buttons", "flatbuttons", "", "extraflat", "ultraflat",
                                            "flat", "office11", "slanted", "onenote"};
  for (TcxPCStyleID style : {1, 2, 3, 5, 6, 7, 8, 9, 10})
    StyleSheet(folder, std::string("tabstyle_") + kStyleFiles[style] + ".png", style, [](TTabOwner&) {});
  // Gradients, cut corners and both slants.
  StyleSheet(folder, "tabstyle_office11_gradient.png", 8, [](TTabOwner& o) {
    o.Properties().SetOptions(TcxPCOptions(o.Properties().Options() | PCOptions({pcoGradient, pcoGradientClientArea})));
  });
  StyleSheet(folder, "tabstyle_slanted_gradient_cutcorner.png", 9, [](TTabOwner& o) {
    TcxCustomTabControlProperties& p = o.Properties();
    p.SetOptions(TcxPCOptions(p.Options() | PCOptions({pcoGradient})));
    p.TabSlants().SetKind(skCutCorner);
    p.TabSlants().SetPositions((1u << spLeft) | (1u << spRight));
  });
  StyleSheet(folder, "tabstyle_slanted_both.png", 9, [](TTabOwner& o) {
    o.Properties().TabSlants().SetPositions((1u << spLeft) | (1u << spRight));
  });
  StyleSheet(folder, "tabstyle_onenote_gradient.png", 10, [](TTabOwner& o) {
    o.Properties().SetOptions(TcxPCOptions(o.Properties().Options() | PCOptions({pcoGradient})));
  });
  // The style each look-and-feel kind resolves to (style 0: the look and feel decides).
  struct TKind {
    const char* Name;
    TcxLookAndFeelKind Kind;
    bool Native;
  };
  for (const TKind& kind : {TKind{"flat", lfFlat, false}, TKind{"standard", lfStandard, false},
                            TKind{"ultraflat", lfUltraFlat, false}, TKind{"office11", lfOffice11, false},
                            TKind{"native", lfStandard, true}})
    StyleSheet(folder, std::string("tabstyle_lookandfeel_") + kind.Name + ".png", 0, [kind](TTabOwner& o) {
      o.OwnLookAndFeel().SetKind(kind.Kind);
      o.OwnLookAndFeel().SetNativeStyle(kind.Native);
    });
  // Native Tabs with the prefix's visual style, then with the theme library absent (classic drawing).
  StyleSheet(folder, "tabstyle_native.png", 1, [](TTabOwner& o) { o.OwnLookAndFeel().SetNativeStyle(true); });
  const TUxThemeEntries theme = UxThemeEntries();
  CloseAllThemeHandles();
  UxThemeEntries() = TUxThemeEntries{};
  SendMessageW(ThemeChangedReceiverHandle(), WM_THEMECHANGED, 0, 0);
  StyleSheet(folder, "tabstyle_native_no_theme_library.png", 1, [](TTabOwner& o) { o.OwnLookAndFeel().SetNativeStyle(true); });
  UxThemeEntries() = theme;
  SendMessageW(ThemeChangedReceiverHandle(), WM_THEMECHANGED, 0, 0);
}

void DrawTabs(const std::string& folder) {
  RegisterPainterClass(TTestTabPainter::Class());
  for (TcxTabPosition position : {tpTop, tpBottom, tpLeft, tpRight}) {
    static const char* const kNames[] = {"top", "bottom", "left", "right"};
    Shot(folder, kNames[position], 360, 220, 5, [position](TTabOwner& o) {
      o.Properties().SetTabPosition(position);
      o.Properties().SetTabIndex(1);
    });
  }
  Shot(folder, "multiline", 360, 220, 12, [](TTabOwner& o) {
    o.Properties().SetMultiLine(true);
    o.Properties().SetTabIndex(6);
  });
  Shot(folder, "multiline_opposite", 360, 220, 12, [](TTabOwner& o) {
    o.Properties().SetMultiLine(true);
    o.Properties().SetScrollOpposite(true);
    o.Properties().SetTabIndex(5);
  });
  Shot(folder, "rotated", 360, 220, 5, [](TTabOwner& o) {
    o.Properties().SetRotate(true);
    o.Properties().SetTabIndex(2);
  });
  Shot(folder, "rotated_left", 360, 220, 5, [](TTabOwner& o) {
    o.Properties().SetTabPosition(tpLeft);
    o.Properties().SetRotate(true);
  });
  Shot(folder, "scrolled_navigator", 360, 160, 12, [](TTabOwner& o) {
    TcxCustomTabControlProperties& p = o.Properties();
    p.SetOptions(TcxPCOptions(p.Options() | PCOptions({pcoGoDialog, pcoCloseButton})));
    p.SetTabIndex(7);
  });
  Shot(folder, "close_and_new", 420, 160, 4, [](TTabOwner& o) {
    TcxCustomTabControlProperties& p = o.Properties();
    p.SetCloseButtonMode(cbmEveryTab);
    p.Tabs().NewButton()->SetWidth(24);
    p.SetNewButtonMode(1);
  });
  UnregisterPainterClass(TTestTabPainter::Class());
  DrawStyles(folder);
}

}  // namespace

int main(int argc, char** argv) {
  static const std::vector<TInitStep> steps = AllSteps();
  return RunScreenshotProgram(argc, argv, "tab_screens", steps, &DrawTabs, {}, [] { DxCoreUnitShutdown(); });
}
