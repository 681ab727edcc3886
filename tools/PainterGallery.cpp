// Renders every element of the base look-and-feel painter and of each
// registered style in every button state into PNG galleries, one row per
// element and one column per state.
#include "ScreenshotProgram.h"
#include "Forms.h"
#include "LookAndFeelSteps.h"
#include "PngImage.h"
#include "cxLookAndFeelPainters.h"
#include "dxCore.h"
#include "dxThemeManager.h"
#include "dxUxTheme.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace tvk;

namespace {

using TDrawCell = std::function<void(TcxCustomLookAndFeelPainter& P, TcxCanvas& C, const RECT& R, TcxButtonState S)>;

struct TGalleryRow {
  const wchar_t* Name;
  TDrawCell Draw;
};

RECT Inset(const RECT& R, int N) { return {R.left + N, R.top + N, R.right - N, R.bottom - N}; }
TdxBreadcrumbEditButtonState Crumb(TcxButtonState S) {
  static constexpr TdxBreadcrumbEditButtonState k[] = {dxbcbsNormal, dxbcbsNormal, dxbcbsHot, dxbcbsPressed,
                                                       dxbcbsDisabled};
  return k[S];
}

const std::vector<TGalleryRow>& Controls() {
  static const std::vector<TGalleryRow> rows = {
      {L"Button", [](auto& P, auto& C, auto& R, auto S) { P.DrawButton(C, Inset(R, 2), L"&Caption", S); }},
      {L"Arrow", [](auto& P, auto& C, auto& R, auto S) { P.DrawArrow(C, Inset(R, 4), S, adDown, true); }},
      {L"ScrollBarArrow", [](auto& P, auto& C, auto& R, auto S) { P.DrawScrollBarArrow(C, Inset(R, 4), S, adRight); }},
      {L"CollapseArrow", [](auto& P, auto& C, auto& R, auto) { P.DrawCollapseArrow(C, Inset(R, 4), clBtnText, 2); }},
      {L"Check", [](auto& P, auto& C, auto& R, auto S) {
         P.DrawCheckButton(C, RECT{R.left + 4, R.top + 4, R.left + 21, R.top + 21}, S, cbsChecked);
         P.DrawCheckButton(C, RECT{R.left + 30, R.top + 4, R.left + 47, R.top + 21}, S, cbsGrayed);
       }},
      {L"Radio", [](auto& P, auto& C, auto& R, auto S) {
         P.DrawRadioButton(C, R.left + 4, R.top + 4, S, false, false, clDefault);
         P.DrawRadioButton(C, R.left + 24, R.top + 4, S, true, false, clDefault);
         P.DrawRadioButton(C, R.left + 44, R.top + 4, S, true, true, clDefault);
       }},
      {L"GroupExpand", [](auto& P, auto& C, auto& R, auto S) {
         P.DrawGroupExpandButton(C, RECT{R.left + 4, R.top + 4, R.left + 19, R.top + 19}, true, S);
         P.DrawGroupExpandButton(C, RECT{R.left + 24, R.top + 4, R.left + 39, R.top + 19}, false, S);
         P.DrawExpandButtonEx(C, RECT{R.left + 44, R.top + 4, R.left + 59, R.top + 19}, S, true, raPlus90);
       }},
      {L"SmallExpand", [](auto& P, auto& C, auto& R, auto) {
         P.DrawSmallExpandButton(C, RECT{R.left + 4, R.top + 4, R.left + 13, R.top + 13}, false, clBtnShadow);
         P.DrawSmallExpandButton(C, RECT{R.left + 20, R.top + 4, R.left + 29, R.top + 13}, true, clBtnShadow, clWindow);
       }},
      {L"FilterClose", [](auto& P, auto& C, auto& R, auto S) {
         P.DrawFilterCloseButton(C, RECT{R.left + 4, R.top + 4, R.left + 20, R.top + 18}, S);
       }},
      {L"SmartTag", [](auto& P, auto& C, auto& R, auto S) {
         P.DrawFilterSmartTag(C, RECT{R.left + 4, R.top + 4, R.left + 14, R.top + 14}, TcxFilterSmartTagState(S % 4),
                              true);
       }},
      {L"NavButton", [](auto& P, auto& C, auto& R, auto S) { P.DrawNavigatorButton(C, Inset(R, 4), S, clDefault); }},
      {L"AlertButtons", [](auto& P, auto& C, auto& R, auto S) {
         for (int k = 0; k < 5; ++k)
           P.DrawAlertWindowButton(C, RECT{R.left + 2 + 16 * k, R.top + 4, R.left + 17 + 16 * k, R.top + 19}, S,
                                   TdxAlertWindowButtonKind(k), S == cxbsPressed);
       }},
      {L"Breadcrumb", [](auto& P, auto& C, auto& R, auto S) {
         P.DrawBreadcrumbEditButton(C, Inset(R, 4), Crumb(S), false, false);
         P.DrawBreadcrumbEditDropDownButtonGlyph(C, Inset(R, 4), Crumb(S), true);
       }},
      {L"TrackThumb", [](auto& P, auto& C, auto& R, auto S) {
         P.DrawTrackBarTrack(C, RECT{R.left + 4, R.top + 14, R.right - 4, R.top + 18}, {}, false, true, true, clBtnShadow);
         P.DrawTrackBarThumb(C, RECT{R.left + 20, R.top + 4, R.left + 31, R.top + 24}, S, true, tbtaUp, clWindow);
         P.DrawTrackBarThumb(C, RECT{R.left + 40, R.top + 4, R.left + 51, R.top + 24}, S, true, tbtaDown, clWindow);
       }},
      {L"Splitter", [](auto& P, auto& C, auto& R, auto S) {
         P.DrawSplitter(C, Inset(R, 4), S == cxbsHot, S == cxbsPressed, true);
       }},
  };
  return rows;
}

const std::vector<TGalleryRow>& GridElements() {
  static const std::vector<TGalleryRow> rows = {
      {L"Header", [](auto& P, auto& C, auto& R, auto S) {
         P.DrawHeader(C, Inset(R, 2), Inset(R, 4), 0, cxBordersAll, S, TAlignment::taCenter, TcxAlignmentVert::vaCenter,
                      false, true, L"Header", nullptr, clBtnText, clBtnFace);
       }},
      {L"HeaderSection", [](auto& P, auto& C, auto& R, auto S) {
         P.DrawHeaderControlSection(C, Inset(R, 2), Inset(R, 4), 0, cxBordersAll, S, TAlignment::taLeftJustify,
                                    TcxAlignmentVert::vaCenter, false, true, L"Section", nullptr, clBtnText, clBtnFace);
       }},
      {L"Footer", [](auto& P, auto& C, auto& R, auto) {
         TcxViewParams params;
         params.Color = clBtnFace;
         P.DrawFooterPanel(C, Inset(R, 2), params, cxBordersAll);
         P.DrawFooterCell(C, Inset(R, 6), TAlignment::taRightJustify, TcxAlignmentVert::vaCenter, false, L"42",
                          nullptr, clBtnText, clWindow);
       }},
      {L"Indicator", [](auto& P, auto& C, auto& R, auto S) {
         P.DrawIndicatorItem(C, RECT{R.left + 4, R.top + 2, R.left + 16, R.bottom - 2}, TcxIndicatorKind(S + 1), clBtnFace);
         P.DrawIndicatorItemEx(C, RECT{R.left + 20, R.top + 2, R.left + 32, R.bottom - 2}, ikFilter, clBtnFace);
         P.DrawIndicatorCustomizationMark(C, RECT{R.left + 36, R.top + 2, R.left + 52, R.bottom - 2}, clBtnText);
       }},
      {L"LayoutRecord", [](auto& P, auto& C, auto& R, auto S) {
         C.SaveClipRegion();
         P.LayoutViewDrawRecordContent(C, Inset(R, 3), cxgpTop, S);
         C.RestoreClipRegion();
       }},
      {L"SizeGrips", [](auto& P, auto& C, auto& R, auto S) {
         P.DrawSizeGrip(C, RECT{R.left + 4, R.top + 4, R.left + 20, R.top + 20}, clBtnFace, TdxCorner(S % 4));
       }},
      {L"PopupBorder", [](auto& P, auto& C, auto& R, auto S) {
         RECT r = Inset(R, 2);
         P.DrawEditPopupWindowBorder(C, r, TcxEditPopupBorderStyle(S % 4), S >= cxbsPressed);
       }},
      {L"ScreenTip", [](auto& P, auto& C, auto& R, auto) {
         P.ScreenTipDrawBackground(C, Inset(R, 2));
         P.ScreenTipDrawFooterLine(C, RECT{R.left + 4, R.bottom - 8, R.right - 4, R.bottom - 4});
       }},
      {L"ProgressText", [](auto& P, auto& C, auto& R, auto S) {
         const RECT chunk{R.left + 2, R.top + 4, R.left + 2 + 12 * int(S), R.bottom - 4};
         C.FillRect(chunk, clHighlight);
         P.DrawProgressBarText(C, false, false, L"50 %", Inset(R, 6), Inset(R, 2), chunk);
       }},
      {L"Clock", [](auto& P, auto& C, auto& R, auto S) {
         P.DrawClock(C, RECT{R.left + 16, R.top, R.left + 48, R.top + 32}, (1.0 + 2.5 * int(S)) / 24, clWindow);
       }},
      {L"Scheduler", [](auto& P, auto& C, auto& R, auto S) {
         P.DrawSchedulerNavigationButtonArrow(C, RECT{R.left + 4, R.top + 4, R.left + 11, R.top + 11}, S % 2, clBtnText);
         P.DrawSchedulerMilestone(C, RECT{R.left + 20, R.top + 4, R.left + 32, R.top + 16});
         P.DrawSchedulerGroup(C, RECT{R.left + 36, R.top + 4, R.left + 60, R.top + 20}, clBtnShadow);
       }},
      {L"Bevel", [](auto& P, auto& C, auto& R, auto S) {
         P.DrawBevelShape(C, RECT{R.left + 4, R.top + 4, R.left + 28, R.top + 28}, TdxBevelShape(1 + 2 * (S % 4)),
                          dxbsLowered);
         P.DrawBevelShape(C, RECT{R.left + 34, R.top + 4, R.left + 58, R.top + 28}, TdxBevelShape(2 + 2 * (S % 4)),
                          dxbsRaised);
       }},
      {L"Gallery", [](auto& P, auto& C, auto& R, auto S) {
         C.FillRect(Inset(R, 2), clWindow);
         static constexpr TdxGalleryItemViewState kShown[] = {gisNormal, gisHot, gisPressed, gisCheckedNormal,
                                                              gisCheckedPressed};
         P.DrawGalleryItemSelection(C, Inset(R, 4), kShown[S]);
       }},
      {L"Pin", [](auto& P, auto& C, auto& R, auto) {
         P.DrawPin(C, RECT{R.left + 4, R.top + 4, R.left + 24, R.top + 24}, clBtnText, true);
         P.DrawPin(C, RECT{R.left + 30, R.top + 4, R.left + 50, R.top + 24}, clBtnText, false);
       }},
  };
  return rows;
}

void RenderGallery(TcxCustomLookAndFeelPainter& APainter, const std::vector<TGalleryRow>& ARows,
                   const std::string& AFileName) {
  constexpr int kLabel = 110, kCell = 96, kRow = 34;
  static constexpr const wchar_t* kStates[] = {L"Default", L"Normal", L"Hot", L"Pressed", L"Disabled"};
  TcxBitmap32 shot(kLabel + kCell * 5, kRow * (int(ARows.size()) + 1));
  TcxCanvas& canvas = shot.cxCanvas();
  canvas.FillRect(shot.ClientRect(), clWindow);
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  for (int s = 0; s < 5; ++s) canvas.Canvas()->TextOut(kLabel + s * kCell + 4, 8, kStates[s]);
  for (std::size_t i = 0; i < ARows.size(); ++i) {
    const int top = kRow * int(i + 1);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.Font().SetColor(clWindowText);
    canvas.Canvas()->TextOut(4, top + 8, ARows[i].Name);
    for (int s = 0; s < 5; ++s) {
      const RECT cell{kLabel + s * kCell, top, kLabel + (s + 1) * kCell, top + kRow};
      canvas.SaveClipRegion();
      canvas.IntersectClipRect(cell);
      canvas.FillRect(cell, clBtnFace);
      ARows[i].Draw(APainter, canvas, cell, TcxButtonState(s));
      canvas.RestoreClipRegion();
    }
  }
  TPngImage png;
  png.Assign(shot);
  png.SaveToFile(WideString(AFileName.begin(), AFileName.end()));
  std::printf("%zu elements: %s\n", ARows.size(), AFileName.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "painter_gallery", LookAndFeelSteps(), [](const std::string& folder) {
    TcxCustomLookAndFeelPainter base;
    RenderGallery(base, Controls(), folder + "\\painter_controls.png");
    RenderGallery(base, GridElements(), folder + "\\painter_grid.png");
    // Each registered style; the native one twice: with the prefix's visual
    // style and with the theme library's entries absent.
    for (const char* name : {"Standard", "Flat", "UltraFlat", "Office11", "Native"}) {
      TcxCustomLookAndFeelPainter* painter = cxLookAndFeelPaintersManager()->GetPainter(WideString(name, name + std::strlen(name)));
      if (!painter) continue;
      RenderGallery(*painter, Controls(), folder + "\\painter_" + name + "_controls.png");
      RenderGallery(*painter, GridElements(), folder + "\\painter_" + name + "_grid.png");
    }
    if (TcxCustomLookAndFeelPainter* native = cxLookAndFeelPaintersManager()->GetPainter(lfsNative)) {
      const TUxThemeEntries real = UxThemeEntries();
      CloseAllThemeHandles();
      UxThemeEntries() = TUxThemeEntries{};
      RenderGallery(*native, Controls(), folder + "\\painter_Native_unthemed_controls.png");
      RenderGallery(*native, GridElements(), folder + "\\painter_Native_unthemed_grid.png");
      UxThemeEntries() = real;
    }
  }, {}, [] {
    ScreenUnitShutdown();
    DxCoreUnitShutdown();
  });
}
