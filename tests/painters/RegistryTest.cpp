// The painter registry after start-up: the five styles in name order, lookups
// by name and style, refused duplicates, the order of what a removal tells,
// and the base painter's answers for every metric and default colour.
#include "PaintersTest.h"

#include <functional>
#include <string>
#include <vector>

using namespace tvk;
using painters_test::LookAndFeel;
using laf_test::StopSteps;

namespace {

// Records what it is told, with the name the painter still answers.
class TRecordingPainterListener : public IcxLookAndFeelPainterListener {
public:
  TRecordingPainterListener(std::vector<std::wstring>& ALog, std::wstring AName) : FLog(ALog), FName(std::move(AName)) {}
  void PainterRegistered(TcxCustomLookAndFeelPainter* APainter) override {
    FLog.push_back(FName + L" registered " + APainter->LookAndFeelName());
  }
  void PainterUnregistering(TcxCustomLookAndFeelPainter* APainter) override {
    FLog.push_back(FName + L" unregistering " + APainter->LookAndFeelName());
  }

private:
  std::vector<std::wstring>& FLog;
  std::wstring FName;
};

// A painter that says when it is freed.
class TProbePainter : public TcxCustomLookAndFeelPainter {
public:
  TProbePainter(std::wstring AName, bool& AFreed) : FName(std::move(AName)), FFreed(AFreed) {}
  ~TProbePainter() override { FFreed = true; }
  WideString LookAndFeelName() override { return FName; }

private:
  std::wstring FName;
  bool& FFreed;
};

using PainterRegistry = LookAndFeel;

TEST_F(PainterRegistry, HoldsTheFiveStylesInNameOrder) {
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  ASSERT_NE(nullptr, manager);
  std::vector<std::wstring> names;
  for (int i = 0; i < manager->Count(); ++i) names.push_back(manager->Items(i)->LookAndFeelName());
  EXPECT_EQ((std::vector<std::wstring>{L"Flat", L"Native", L"Office11", L"Standard", L"UltraFlat"}), names);
}

TEST_F(PainterRegistry, EachStyleHasItsIdentityAndDerivation) {
  struct TRow {
    TcxLookAndFeelStyle Style;
    const wchar_t* Name;
    TClass Class;
    TClass Parent;
  };
  const TRow rows[] = {
      {lfsFlat, L"Flat", &TcxFlatLookAndFeelPainter::StaticClassInfo(), &TcxCustomLookAndFeelPainter::StaticClassInfo()},
      {lfsStandard, L"Standard", &TcxStandardLookAndFeelPainter::StaticClassInfo(),
       &TcxCustomLookAndFeelPainter::StaticClassInfo()},
      {lfsUltraFlat, L"UltraFlat", &TcxUltraFlatLookAndFeelPainter::StaticClassInfo(),
       &TcxCustomLookAndFeelPainter::StaticClassInfo()},
      {lfsNative, L"Native", &TcxWinXPLookAndFeelPainter::StaticClassInfo(),
       &TcxStandardLookAndFeelPainter::StaticClassInfo()},
      {lfsOffice11, L"Office11", &TcxOffice11LookAndFeelPainter::StaticClassInfo(),
       &TcxUltraFlatLookAndFeelPainter::StaticClassInfo()},
  };
  for (const TRow& row : rows) {
    TcxCustomLookAndFeelPainter* painter = cxLookAndFeelPaintersManager()->GetPainter(row.Style);
    ASSERT_NE(nullptr, painter) << row.Name;
    EXPECT_EQ(row.Name, painter->LookAndFeelName());
    EXPECT_EQ(row.Class, painter->ClassType()) << row.Name;
    EXPECT_TRUE(painter->InheritsFrom(row.Parent)) << row.Name;
  }
  EXPECT_TRUE(cxLookAndFeelPaintersManager()->GetPainter(lfsOffice11)->NeedRedrawOnResize());
  EXPECT_FALSE(cxLookAndFeelPaintersManager()->GetPainter(lfsFlat)->NeedRedrawOnResize());
  EXPECT_EQ(AreThemesAvailable(), cxLookAndFeelPaintersManager()->GetPainter(lfsNative)->NeedRedrawOnResize());
  TcxCustomLookAndFeelPainter base;
  EXPECT_EQ(L"", base.LookAndFeelName());
  EXPECT_EQ(lfsStandard, base.LookAndFeelStyle());
}

TEST_F(PainterRegistry, FindsByNameIgnoringAsciiCaseAndByStyle) {
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  TcxCustomLookAndFeelPainter* painter = nullptr;
  ASSERT_TRUE(manager->GetPainter(L"office11", painter));
  EXPECT_EQ(L"Office11", painter->LookAndFeelName());
  ASSERT_TRUE(manager->GetPainter(L"NATIVE", painter));
  EXPECT_EQ(manager->GetPainter(lfsNative), painter);
  EXPECT_FALSE(manager->GetPainter(L"Office", painter));
  EXPECT_EQ(nullptr, painter);
  EXPECT_FALSE(manager->GetPainter(lfsSkin, painter));
  EXPECT_EQ(nullptr, manager->GetPainter(lfsSkin));
}

TEST_F(PainterRegistry, RefusesAndFreesADuplicateWithoutTellingAnyone) {
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  std::vector<std::wstring> log;
  TRecordingPainterListener listener(log, L"L");
  manager->AddListener(&listener);
  int rootChanges = 0;
  GetRootLookAndFeel()->OnChanged = [&](TcxLookAndFeel*, TcxLookAndFeelValues) { ++rootChanges; };
  bool freed = false;
  EXPECT_FALSE(manager->Register(new TProbePainter(L"flat", freed)));
  EXPECT_TRUE(freed);
  EXPECT_EQ(5, manager->Count());
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(0, rootChanges);
  GetRootLookAndFeel()->OnChanged = nullptr;
  manager->RemoveListener(&listener);
}

TEST_F(PainterRegistry, RemovalRefreshesTheRootThenTellsListenersLastFirstWhileThePainterLives) {
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  std::vector<std::wstring> log;
  TRecordingPainterListener first(log, L"L1"), second(log, L"L2");
  manager->AddListener(&first);
  manager->AddListener(&second);
  manager->AddListener(&first);  // kept once
  EXPECT_EQ(2, manager->ListenerCount());
  GetRootLookAndFeel()->OnChanged = [&](TcxLookAndFeel*, TcxLookAndFeelValues AValues) {
    log.push_back(L"root refreshed " + std::to_wstring(AValues));
  };
  EXPECT_TRUE(manager->Unregister(L"Office11"));
  EXPECT_EQ((std::vector<std::wstring>{L"root refreshed 7", L"L2 unregistering Office11", L"L1 unregistering Office11"}),
            log);
  EXPECT_EQ(4, manager->Count());
  EXPECT_EQ(nullptr, manager->GetPainter(lfsOffice11));
  EXPECT_FALSE(manager->Unregister(L"Office11"));

  log.clear();
  bool freed = false;
  EXPECT_TRUE(manager->Register(new TProbePainter(L"Probe", freed)));
  EXPECT_EQ((std::vector<std::wstring>{L"root refreshed 7", L"L2 registered Probe", L"L1 registered Probe"}), log);
  EXPECT_EQ(L"Probe", manager->Items(2)->LookAndFeelName()) << "sorted between Native and Standard";
  EXPECT_TRUE(manager->Unregister(L"PROBE"));
  EXPECT_TRUE(freed);
  GetRootLookAndFeel()->OnChanged = nullptr;
  manager->RemoveListener(&first);
  manager->RemoveListener(&second);
  EXPECT_EQ(0, manager->ListenerCount());
}

TEST_F(PainterRegistry, ShutDownFreesEveryPainterAndStartUpRegistersThemAgain) {
  StopSteps(LookAndFeelSteps());
  FStarted = false;
  EXPECT_EQ(nullptr, cxLookAndFeelPaintersManager());
  EXPECT_EQ(nullptr, GetRootLookAndFeel());
  EXPECT_EQ(nullptr, GetRadioButtonImageList()) << "no cache is made after shut-down";
  EXPECT_EQ(0, SystemPaletteListenerRefCount());
  for (const TInitStep& step : LookAndFeelSteps()) ASSERT_TRUE(step.Startup());
  FStarted = true;
  EXPECT_EQ(5, cxLookAndFeelPaintersManager()->Count());
  EXPECT_NE(nullptr, GetRootLookAndFeel());
}

// ---- The base painter's plain answers

struct TAnswerRow {
  const char* Name;
  std::function<long long(TcxCustomLookAndFeelPainter&)> Answer;
  long long Expected;
};

#define TVK_ANSWER(expr, expected) \
  TAnswerRow { #expr, [](TcxCustomLookAndFeelPainter& P) -> long long { return (long long)(P.expr); }, (long long)(expected) }

TEST_F(PainterRegistry, BasePainterAnswersEveryMetricAndDefaultColour) {
  const TAnswerRow rows[] = {
      TVK_ANSWER(DefaultContentColor(), clWindow), TVK_ANSWER(DefaultContentEvenColor(), clWindow),
      TVK_ANSWER(DefaultContentOddColor(), clWindow), TVK_ANSWER(DefaultContentTextColor(), clWindowText),
      TVK_ANSWER(DefaultEditorBackgroundColor(true), clDefault), TVK_ANSWER(DefaultEditorTextColor(false), clDefault),
      TVK_ANSWER(DefaultFilterBoxColor(), clBtnShadow), TVK_ANSWER(DefaultFilterBoxTextColor(), clBtnHighlight),
      TVK_ANSWER(DefaultFixedSeparatorColor(), clBtnText), TVK_ANSWER(DefaultFooterColor(), clBtnFace),
      TVK_ANSWER(DefaultGroupByBoxTextColor(), clBtnFace), TVK_ANSWER(DefaultHeaderBackgroundColor(), clBtnShadow),
      TVK_ANSWER(DefaultHyperlinkTextColor(), clBlue), TVK_ANSWER(DefaultRecordSeparatorColor(), clBtnShadow),
      TVK_ANSWER(DefaultVGridBandLineColor(), clBlack), TVK_ANSWER(DefaultVGridCategoryColor(), clBtnFace),
      TVK_ANSWER(DefaultVGridCategoryTextColor(), clDefault), TVK_ANSWER(DefaultVGridHeaderTextColor(), clBtnText),
      TVK_ANSWER(DefaultDateNavigatorContentColor(), clWindow),
      TVK_ANSWER(DefaultDateNavigatorHeaderTextColor(false), clBtnText),
      TVK_ANSWER(DefaultDateNavigatorHeaderTextColor(true), IsWinVistaOrLater ? 0xCC6600 : clHighlightText),
      TVK_ANSWER(DefaultDateNavigatorHolydayTextColor(), clRed),
      TVK_ANSWER(DefaultDateNavigatorTodayFrameColor(), clMaroon), TVK_ANSWER(DefaultSchedulerBorderColor(), 0x9D9DA1),
      TVK_ANSWER(DefaultSchedulerContentColor(3), clDefault), TVK_ANSWER(DefaultSchedulerTimeRulerTextColor(), clBtnText),
      TVK_ANSWER(DefaultSchedulerViewContentColor(), 0xD5FFFF),
      TVK_ANSWER(DefaultSchedulerViewSelectedTextColor(), clHighlightText),
      TVK_ANSWER(DefaultSchedulerYearViewUnusedContentColor(true), clDefault),
      TVK_ANSWER(DefaultRootTabsBackgroundColor(), clBtnFace), TVK_ANSWER(DefaultTimeGridMajorScaleColor(), clWhite),
      TVK_ANSWER(DefaultChartHistogramGridLineColor(), 0xCFCFCF),
      TVK_ANSWER(DefaultChartPieDiagramSeriesSiteCaptionColor(), 0xF0CAA6),
      TVK_ANSWER(DefaultLayoutViewContentTextColor(), clWindowText),
      TVK_ANSWER(DefaultLayoutViewSelectionTextColor(), clDefault),
      TVK_ANSWER(DefaultGridOptionsTreeViewCategoryColor(true), clHighlight),
      TVK_ANSWER(DefaultGridOptionsTreeViewCategoryTextColor(false), clBtnText),
      TVK_ANSWER(BorderSize(), 0), TVK_ANSWER(SeparatorSize(), 0), TVK_ANSWER(ButtonColor(cxbsHot), clBtnFace),
      TVK_ANSWER(ButtonSymbolColor(cxbsDisabled, clRed), clBtnShadow),
      TVK_ANSWER(ButtonSymbolColor(cxbsNormal, clDefault), clBtnText),
      TVK_ANSWER(ButtonSymbolColor(cxbsHot, clRed), clRed), TVK_ANSWER(ButtonSymbolState(cxbsHot), cxbsHot),
      TVK_ANSWER(GroupExpandButtonSize(), 15), TVK_ANSWER(SmallExpandButtonSize(), 9),
      TVK_ANSWER(HeaderBorders(nLeft), cxBordersAll), TVK_ANSWER(HeaderHeight(13), 17),
      TVK_ANSWER(HeaderControlSectionBorderSize(cxbsNormal), 1), TVK_ANSWER(SortingMarkAreaSize().x, 16),
      TVK_ANSWER(GridGroupRowStyleOffice11ContentColor(true), clWindow),
      TVK_ANSWER(PivotGridHeadersAreaTextColor(), clBtnFace), TVK_ANSWER(ChartToolBoxDataLevelInfoBorderSize(), 1),
      TVK_ANSWER(FooterSeparatorColor(), clBtnShadow), TVK_ANSWER(FooterSeparatorSize(), 1),
      TVK_ANSWER(FilterActivateButtonSize().x, 13), TVK_ANSWER(FilterCloseButtonSize().x, 16),
      TVK_ANSWER(FilterCloseButtonSize().y, 14), TVK_ANSWER(FilterDropDownButtonSize().x, 15),
      TVK_ANSWER(FilterSmartTagSize().cx, 10), TVK_ANSWER(GetEditPopupWindowBorderWidth(epbsFrame3D), 4),
      TVK_ANSWER(GetEditPopupWindowBorderWidth(epbsFlat), 2), TVK_ANSWER(GetEditPopupWindowClientEdgeWidth(epbsSingle), 2),
      TVK_ANSWER(GetEditPopupWindowClientEdgeWidth(epbsFlat), 1), TVK_ANSWER(PopupBorderStyle(), pbsUltraFlat),
      TVK_ANSWER(ScreenTipGetFooterLineSize(), 3), TVK_ANSWER(ScrollBarMinimalThumbSize(true), 8),
      TVK_ANSWER(SizeGripSize().cx, GetSystemMetrics(SM_CXVSCROLL)), TVK_ANSWER(SmallCloseButtonSize().cy, 15),
      TVK_ANSWER(SchedulerEventProgressOffsets().right, 2),
      TVK_ANSWER(SchedulerNavigationButtonTextColor(true, cxbsDisabled, clRed), clBtnShadow),
      TVK_ANSWER(GetContainerBorderColor(true), clBtnText), TVK_ANSWER(GetContainerBorderWidth(cbsThick), 2),
      TVK_ANSWER(GetContainerBorderWidth(cbsOffice11), 1), TVK_ANSWER(ClockSize().cx, 130),
      TVK_ANSWER(NavigatorButtonGlyphPadding().top, 4), TVK_ANSWER(NavigatorButtonMinSize().cy, 19),
      TVK_ANSWER(ProgressBarTextColor(), clWindowText), TVK_ANSWER(ProgressBarTextColorEx(true), clDefault),
      TVK_ANSWER(GroupBoxTextColor(false, cxgpTop), clBtnShadow), TVK_ANSWER(PanelTextColor(), clWindowText),
      TVK_ANSWER(CheckBorderSize(), 2), TVK_ANSWER(CheckButtonColor(cxbsDefault), clWindow),
      TVK_ANSWER(CheckButtonColor(cxbsPressed), clBtnFace), TVK_ANSWER(RadioButtonBodyColor(cxbsDisabled), clBtnFace),
      TVK_ANSWER(RadioButtonBodyColor(cxbsHot), clWindow), TVK_ANSWER(LabelLineHeight(), 2),
      TVK_ANSWER(GetSplitterSize(true).cx, 17), TVK_ANSWER(GetSplitterSize(false).cx, 2),
      TVK_ANSWER(GetSplitterInnerColor(true), clWhite), TVK_ANSWER(PrintPreviewPageBordersWidth().right, 4),
      TVK_ANSWER(BreadcrumbEditButtonAreaSeparatorSize(), 2),
      TVK_ANSWER(BreadcrumbEditDropDownButtonWidth(), GetSystemMetrics(SM_CXHSCROLL)),
      TVK_ANSWER(BreadcrumbEditNodeDelimiterSize(), MulDiv(16, GetScreenDPI(), 96)),
      TVK_ANSWER(BreadcrumbEditNodeTextColor(dxbcbsDisabled), clBtnShadow),
      TVK_ANSWER(BreadcrumbEditNodeTextColor(dxbcbsHot), clBtnText), TVK_ANSWER(DropDownListBoxBordersSize(), 3),
      TVK_ANSWER(DropDownListBoxItemTextColor(true), clHighlightText),
      TVK_ANSWER(AlertWindowButtonGlyphSize(awbkClose).cx, 10), TVK_ANSWER(AlertWindowButtonGlyphSize(awbkCustom).cx, 0),
      TVK_ANSWER(AlertWindowContentOffsets().left, 4), TVK_ANSWER(AlertWindowNavigationPanelTextColor(), clBtnText),
      TVK_ANSWER(GetColorGalleryGlyphFrameColor(), 0xE2E4E6), TVK_ANSWER(GetBevelMinimalShapeSize(dxbsBox).cy, 2),
      TVK_ANSWER(DefaultEditorBackgroundColorEx(esckReadOnly), clDefault),
      TVK_ANSWER(DefaultEditorTextColorEx(esckInactive), clDefault),
      TVK_ANSWER(DefaultFooterTextColor(), clBtnText),
      TVK_ANSWER(DefaultGridDetailsSiteColor(), clBtnFace),
      TVK_ANSWER(DefaultGridLineColor(), clBtnShadow),
      TVK_ANSWER(DefaultGroupByBoxColor(), clBtnShadow),
      TVK_ANSWER(DefaultGroupColor(), clBtnFace),
      TVK_ANSWER(DefaultGroupTextColor(), clBtnText),
      TVK_ANSWER(DefaultHeaderBackgroundTextColor(), clBtnFace),
      TVK_ANSWER(DefaultHeaderColor(), clBtnFace),
      TVK_ANSWER(DefaultHeaderTextColor(), clBtnText),
      TVK_ANSWER(DefaultInactiveColor(), clBtnFace),
      TVK_ANSWER(DefaultInactiveTextColor(), clBtnText),
      TVK_ANSWER(DefaultPreviewTextColor(), clBlue),
      TVK_ANSWER(DefaultSizeGripAreaColor(), clBtnFace),
      TVK_ANSWER(DefaultTreeListGridLineColor(), clBtnShadow),
      TVK_ANSWER(DefaultTreeListTreeLineColor(), clBtnShadow),
      TVK_ANSWER(DefaultVGridHeaderColor(), clBtnFace),
      TVK_ANSWER(DefaultVGridLineColor(), clBlack),
      TVK_ANSWER(DefaultDateNavigatorHeaderColor(), clBtnFace),
      TVK_ANSWER(DefaultDateNavigatorInactiveTextColor(), clGrayText),
      TVK_ANSWER(DefaultDateNavigatorSelectionColor(), clHighlight),
      TVK_ANSWER(DefaultDateNavigatorSelectionTextColor(), clHighlightText),
      TVK_ANSWER(DefaultDateNavigatorSeparator1Color(), clBtnShadow),
      TVK_ANSWER(DefaultDateNavigatorSeparator2Color(), clWindow),
      TVK_ANSWER(DefaultDateNavigatorTextColor(), clWindowText),
      TVK_ANSWER(DefaultDateNavigatorTodayTextColor(), clNavy),
      TVK_ANSWER(DefaultSchedulerBackgroundColor(), clWindow),
      TVK_ANSWER(DefaultSchedulerControlColor(), clBtnFace),
      TVK_ANSWER(DefaultSchedulerNavigatorColor(), clBtnFace),
      TVK_ANSWER(DefaultSchedulerTextColor(), clWindowText),
      TVK_ANSWER(DefaultSchedulerTimeRulerColor(), clBtnFace),
      TVK_ANSWER(DefaultSchedulerViewTextColor(), clWindowText),
      TVK_ANSWER(DefaultSelectionColor(), clHighlight),
      TVK_ANSWER(DefaultSelectionTextColor(), clHighlightText),
      TVK_ANSWER(DefaultSeparatorColor(), clBtnFace),
      TVK_ANSWER(DefaultTabColor(), clBtnFace),
      TVK_ANSWER(DefaultTabTextColor(), clBtnText),
      TVK_ANSWER(DefaultTabsBackgroundColor(), clWindow),
      TVK_ANSWER(DefaultTimeGridMajorScaleTextColor(), clBlack),
      TVK_ANSWER(DefaultTimeGridMinorScaleColor(), clBtnFace),
      TVK_ANSWER(DefaultTimeGridMinorScaleTextColor(), clBtnText),
      TVK_ANSWER(DefaultTimeGridSelectionBarColor(), clWhite),
      TVK_ANSWER(DefaultChartDiagramValueBorderColor(), clBlack),
      TVK_ANSWER(DefaultChartDiagramValueCaptionTextColor(), clBlack),
      TVK_ANSWER(DefaultChartHistogramAxisColor(), clBlack),
      TVK_ANSWER(DefaultChartHistogramPlotColor(), clWhite),
      TVK_ANSWER(DefaultChartPieDiagramSeriesSiteBorderColor(), clBtnShadow),
      TVK_ANSWER(DefaultChartPieDiagramSeriesSiteCaptionTextColor(), clNavy),
      TVK_ANSWER(DefaultChartToolBoxDataLevelInfoBorderColor(), clBtnShadow),
      TVK_ANSWER(DefaultChartToolBoxItemSeparatorColor(), clBtnShadow),
      TVK_ANSWER(DefaultLayoutViewContentColor(), clWindow),
      TVK_ANSWER(DefaultGridOptionsTreeViewCategoryColor(false), clBtnShadow),
      TVK_ANSWER(DefaultGridOptionsTreeViewCategoryTextColor(true), clHighlightText),
      TVK_ANSWER(ButtonBorderSize(cxbsPressed), 0),
      TVK_ANSWER(ButtonTextOffset(), 0),
      TVK_ANSWER(ButtonTextShift(), 0),
      TVK_ANSWER(ExpandButtonSize(), 0),
      TVK_ANSWER(DrawExpandButtonFirst(), true),
      TVK_ANSWER(IsButtonHotTrack(), false),
      TVK_ANSWER(HeaderBorderSize(), 0),
      TVK_ANSWER(HeaderDrawCellsFirst(), true),
      TVK_ANSWER(IsHeaderHotTrack(), false),
      TVK_ANSWER(SortingMarkSize().x, 0),
      TVK_ANSWER(SummarySortingMarkSize().y, 0),
      TVK_ANSWER(GridBordersOverlapSize(), 0),
      TVK_ANSWER(GridDrawHeaderCellsFirst(), true),
      TVK_ANSWER(PivotGridHeadersAreaColor(), clBtnShadow),
      TVK_ANSWER(LayoutViewGetPadding(leItem).right, 0),
      TVK_ANSWER(LayoutViewRecordCaptionTailSize(cxgpTop), 0),
      TVK_ANSWER(FooterBorders(), cxBordersAll),
      TVK_ANSWER(FooterBorderSize(), 0),
      TVK_ANSWER(FooterCellBorderSize(), 0),
      TVK_ANSWER(FooterCellOffset(), 0),
      TVK_ANSWER(FooterDrawCellsFirst(), true),
      TVK_ANSWER(GetHintBorderColor(), clDefault),
      TVK_ANSWER(ScreenTipGetDescriptionTextColor(), clDefault),
      TVK_ANSWER(ScreenTipGetTitleTextColor(), clDefault),
      TVK_ANSWER(IsDrawTabImplemented(true), false),
      TVK_ANSWER(IsTabHotTrack(false), false),
      TVK_ANSWER(TabBorderSize(true), 0),
      TVK_ANSWER(IndicatorDrawItemsFirst(), true),
      TVK_ANSWER(EditButtonTextOffset(), 0),
      TVK_ANSWER(EditButtonSize().cx, 0),
      TVK_ANSWER(EditButtonTextColor(), clDefault),
      TVK_ANSWER(GetContainerBorderWidth(cbsNone), 0),
      TVK_ANSWER(GetContainerBorderWidth(cbsSingle), 1),
      TVK_ANSWER(GetContainerBorderWidth(cbsFlat), 2),
      TVK_ANSWER(GetContainerBorderWidth(cbs3D), 2),
      TVK_ANSWER(GetContainerBorderWidth(cbsUltraFlat), 1),
      TVK_ANSWER(NavigatorBorderOverlap(), false),
      TVK_ANSWER(NavigatorBorderSize(), 0),
      TVK_ANSWER(NavigatorButtonGlyphSize().cy, 11),
      TVK_ANSWER(NavigatorButtonPressedGlyphOffset().x, 1),
      TVK_ANSWER(NavigatorButtonMinSize().cx, 17),
      TVK_ANSWER(ProgressBarBorderSize(true).left, 0),
      TVK_ANSWER(ProgressBarTextColorEx(false), clWindowText),
      TVK_ANSWER(GroupBoxBorderSize(true, cxgpTop).top, 0),
      TVK_ANSWER(GroupBoxCaptionTailSize(cxgpLeft), 0),
      TVK_ANSWER(GroupBoxTextColor(true, cxgpTop), clWindowText),
      TVK_ANSWER(IsGroupBoxTransparent(true, cxgpTop), false),
      TVK_ANSWER(PanelBorderSize().bottom, 0),
      TVK_ANSWER(TrackBarThumbSize(true).cx, 0),
      TVK_ANSWER(TrackBarTicksColor(true), clDefault),
      TVK_ANSWER(TrackBarTrackSize(), 0),
      TVK_ANSWER(GetSplitterOuterColor(false), clBtnShadow),
      TVK_ANSWER(GetSplitterSize(false).cy, 17),
      TVK_ANSWER(LayoutControlEmptyAreaColor(), clBtnFace),
      TVK_ANSWER(PrintPreviewPageBordersWidth().left, 2),
      TVK_ANSWER(GetCustomizationFormListBackgroundColor(), clBtnFace),
      TVK_ANSWER(BreadcrumbEditBackgroundColor(dxbcsHot), clBtnFace),
      TVK_ANSWER(BreadcrumbEditBordersSize().top, 1),
      TVK_ANSWER(BreadcrumbEditIsFadingSupports(), false),
      TVK_ANSWER(BreadcrumbEditProgressChunkOverlaySize().cx, 0),
      TVK_ANSWER(BreadcrumbEditProgressChunkPadding().right, 1),
      TVK_ANSWER(BreadcrumbEditButtonContentOffsets(true, false).left, MulDiv(3, GetScreenDPI(), 96)),
      TVK_ANSWER(BreadcrumbEditNodeTextOffsets().top, MulDiv(4, GetScreenDPI(), 96)),
      TVK_ANSWER(DropDownListBoxSeparatorSize(), MulDiv(8, GetScreenDPI(), 96)),
      TVK_ANSWER(DropDownListBoxItemImageOffsets().left, MulDiv(5, GetScreenDPI(), 96)),
      TVK_ANSWER(DropDownListBoxItemTextOffsets().top, MulDiv(2, GetScreenDPI(), 96)),
      TVK_ANSWER(DropDownListBoxItemTextColor(false), kSystemColor | COLOR_MENUTEXT),
      TVK_ANSWER(AlertWindowButtonContentOffsets(awbkPin).bottom, 3),
      TVK_ANSWER(AlertWindowCornerRadius(), 0),
      TVK_ANSWER(AlertWindowTextColor(), clBtnText),
      TVK_ANSWER(GetGalleryItemImageFrameColor(), clBtnShadow),
      TVK_ANSWER(ChartToolBoxDataLevelInfoBorderSize(), 1),
      TVK_ANSWER(IsInternalPainter(), false),
      TVK_ANSWER(NeedRedrawOnResize(), false),
      TVK_ANSWER(GetPainterData(nullptr), false),
      TVK_ANSWER(GetPainterDetails(nullptr), false),
      TVK_ANSWER(IsPointOverGroupExpandButton(RECT{0, 0, 10, 10}, POINT{9, 9}), true),
      TVK_ANSWER(IsPointOverGroupExpandButton(RECT{0, 0, 10, 10}, POINT{10, 5}), false),
  };
  TcxCustomLookAndFeelPainter painter;
  for (const TAnswerRow& row : rows) EXPECT_EQ(row.Expected, row.Answer(painter)) << row.Name;
}

}  // namespace
