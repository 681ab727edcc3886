#pragma once
// Look-and-feel painters: the stateless objects that give every custom-drawn
// element of the library its default colours, its sizes and its drawing, one
// instance per style for the whole process, kept in the painter registry.
// The base painter fixes the composition of every element; the style
// painters override borders, sizes and colours.
#include "ImageLists.h"
#include "cxClasses.h"
#include "cxGraphics.h"
#include "dxCore.h"
#include "dxThemeManager.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace tvk {

enum TcxLookAndFeelKind : uint8_t { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };
enum TcxLookAndFeelStyle { lfsFlat, lfsStandard, lfsUltraFlat, lfsNative, lfsOffice11, lfsSkin };

enum TcxButtonState { cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled };
enum TcxArrowDirection : unsigned { adUp, adDown, adLeft, adRight };
using TcxArrowDirections = unsigned;  // bit 1 << direction
enum TcxNeighbor : unsigned { nLeft = 1, nTop = 2, nRight = 4, nBottom = 8 };
using TcxNeighbors = unsigned;
enum TcxScrollBarPart { sbpNone, sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp, sbpPageDown };
enum TcxCheckBoxState { cbsUnchecked, cbsChecked, cbsGrayed };
enum TcxEditBtnKind {
  cxbkCloseBtn, cxbkComboBtn, cxbkEditorBtn, cxbkEllipsisBtn, cxbkSpinUpBtn, cxbkSpinDownBtn, cxbkSpinLeftBtn,
  cxbkSpinRightBtn
};
enum TcxEditBtnPosition { cxbpLeft, cxbpRight };
enum TcxEditStateColorKind { esckNormal, esckDisabled, esckInactive, esckReadOnly };
enum TcxIndicatorKind { ikNone, ikArrow, ikEdit, ikInsert, ikMultiDot, ikMultiArrow, ikFilter };
enum TcxGroupBoxCaptionPosition { cxgpTop, cxgpBottom, cxgpLeft, cxgpRight, cxgpCenter };
enum TcxTrackBarTicksAlign { tbtaUp, tbtaDown, tbtaBoth };
enum TcxLayoutElement {
  leGroup, leGroupWithoutBorders, leTabbedGroup, leRootGroup, leRootGroupWithoutBorders, leItem
};
enum TcxFilterSmartTagState { fstsNormal, fstsHot, fstsPressed, fstsParentHot };
enum TcxContainerBorderStyle { cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11 };
enum TcxEditPopupBorderStyle { epbsDefault, epbsSingle, epbsFrame3D, epbsFlat };
enum TcxPopupBorderStyle { pbsNone, pbsUltraFlat, pbsFlat, pbs3D };
enum TcxCalcButtonKind {
  cbBack, cbCancel, cbClear, cbMC, cbMR, cbMS, cbMP, cbNum0, cbNum1, cbNum2, cbNum3, cbNum4, cbNum5, cbNum6,
  cbNum7, cbNum8, cbNum9, cbSign, cbDecimal, cbDiv, cbMul, cbSub, cbAdd, cbSqrt, cbPercent, cbRev, cbEqual, cbNone
};
enum TdxBevelShape {
  dxbsNone, dxbsBox, dxbsFrame, dxbsLineTop, dxbsLineBottom, dxbsLineLeft, dxbsLineRight, dxbsLineCenteredHorz,
  dxbsLineCenteredVert
};
enum TdxBevelStyle { dxbsLowered, dxbsRaised };
enum TdxBreadcrumbEditButtonState { dxbcbsNormal, dxbcbsFocused, dxbcbsHot, dxbcbsPressed, dxbcbsDisabled };
enum TdxBreadcrumbEditState { dxbcsNormal, dxbcsFocused, dxbcsHot, dxbcsDisabled };
enum TdxGalleryItemViewState {
  gisNormal, gisHot, gisActive, gisPressed, gisDisabled, gisCheckedNormal, gisCheckedHot, gisCheckedActive,
  gisCheckedPressed, gisCheckedDisabled
};
enum TdxAlertWindowButtonKind { awbkClose, awbkPin, awbkDropDown, awbkPrevious, awbkNext, awbkCustom };

using TcxArrowPoints = std::array<POINT, 3>;
using TPointArray = std::vector<POINT>;
using TDateTime = double;
using TImageIndex = int;
// Answers true when it painted the element's background itself.
using TcxDrawBackgroundEvent = std::function<bool(TcxCanvas& ACanvas, const RECT& ABounds)>;

// The registered painters' look-and-feel kind (lfsNative draws as lfStandard, lfsSkin as lfUltraFlat).
TcxLookAndFeelKind PainterStyleToKind(TcxLookAndFeelStyle AStyle);

// Default colours without arguments: name, base answer.
#define TVK_PAINTER_DEFAULT_COLORS_1(X)                                                                       \
  X(DefaultContentColor, clWindow) X(DefaultContentEvenColor, DefaultContentColor())                         \
  X(DefaultContentOddColor, DefaultContentColor()) X(DefaultContentTextColor, clWindowText)
#define TVK_PAINTER_DEFAULT_COLORS_2(X)                                                                       \
  X(DefaultFilterBoxColor, clBtnShadow) X(DefaultFilterBoxTextColor, clBtnHighlight)                         \
  X(DefaultFixedSeparatorColor, clBtnText) X(DefaultFooterColor, clBtnFace) X(DefaultFooterTextColor, clBtnText) \
  X(DefaultGridDetailsSiteColor, clBtnFace) X(DefaultGridLineColor, clBtnShadow)                             \
  X(DefaultGroupByBoxColor, clBtnShadow) X(DefaultGroupByBoxTextColor, clBtnFace) X(DefaultGroupColor, clBtnFace) \
  X(DefaultGroupTextColor, clBtnText) X(DefaultHeaderBackgroundColor, clBtnShadow)                           \
  X(DefaultHeaderBackgroundTextColor, clBtnFace) X(DefaultHeaderColor, clBtnFace)                            \
  X(DefaultHeaderTextColor, clBtnText) X(DefaultHyperlinkTextColor, clBlue) X(DefaultInactiveColor, clBtnFace) \
  X(DefaultInactiveTextColor, clBtnText) X(DefaultPreviewTextColor, clBlue)                                  \
  X(DefaultRecordSeparatorColor, DefaultGridLineColor()) X(DefaultSizeGripAreaColor, clBtnFace)              \
  X(DefaultTreeListGridLineColor, DefaultGridLineColor()) X(DefaultTreeListTreeLineColor, DefaultGridLineColor()) \
  X(DefaultVGridBandLineColor, DefaultVGridLineColor()) X(DefaultVGridCategoryColor, DefaultHeaderColor())   \
  X(DefaultVGridCategoryTextColor, clDefault) X(DefaultVGridHeaderColor, DefaultHeaderColor())               \
  X(DefaultVGridHeaderTextColor, DefaultHeaderTextColor()) X(DefaultVGridLineColor, clBlack)                 \
  X(DefaultDateNavigatorContentColor, DateNavigatorContentColorOf(DefaultEditorBackgroundColor(false)))      \
  X(DefaultDateNavigatorHeaderColor, clBtnFace)
#define TVK_PAINTER_DEFAULT_COLORS_3(X)                                                                       \
  X(DefaultDateNavigatorHolydayTextColor, clRed) X(DefaultDateNavigatorInactiveTextColor, clGrayText)        \
  X(DefaultDateNavigatorSelectionColor, clHighlight) X(DefaultDateNavigatorSelectionTextColor, clHighlightText) \
  X(DefaultDateNavigatorSeparator1Color, clBtnShadow) X(DefaultDateNavigatorSeparator2Color, clWindow)       \
  X(DefaultDateNavigatorTextColor, clWindowText) X(DefaultDateNavigatorTodayFrameColor, clMaroon)            \
  X(DefaultDateNavigatorTodayTextColor, clNavy) X(DefaultSchedulerBackgroundColor, clWindow)                 \
  X(DefaultSchedulerBorderColor, 0x9D9DA1)
#define TVK_PAINTER_DEFAULT_COLORS_4(X)                                                                       \
  X(DefaultSchedulerControlColor, clBtnFace) X(DefaultSchedulerNavigatorColor, clBtnFace)                    \
  X(DefaultSchedulerTextColor, clWindowText) X(DefaultSchedulerTimeRulerColor, DefaultHeaderColor())         \
  X(DefaultSchedulerTimeRulerTextColor, DefaultHeaderTextColor()) X(DefaultSchedulerViewContentColor, 0xD5FFFF) \
  X(DefaultSchedulerViewSelectedTextColor, DefaultSelectionTextColor())                                       \
  X(DefaultSchedulerViewTextColor, clWindowText)
#define TVK_PAINTER_DEFAULT_COLORS_5(X)                                                                       \
  X(DefaultSelectionColor, clHighlight) X(DefaultSelectionTextColor, clHighlightText)                        \
  X(DefaultSeparatorColor, clBtnFace) X(DefaultTabColor, clBtnFace) X(DefaultTabTextColor, clBtnText)        \
  X(DefaultTabsBackgroundColor, clWindow) X(DefaultRootTabsBackgroundColor, clBtnFace)                       \
  X(DefaultTimeGridMajorScaleColor, clWhite) X(DefaultTimeGridMajorScaleTextColor, clBlack)                  \
  X(DefaultTimeGridMinorScaleColor, clBtnFace) X(DefaultTimeGridMinorScaleTextColor, clBtnText)              \
  X(DefaultTimeGridSelectionBarColor, clWhite) X(DefaultChartDiagramValueBorderColor, clBlack)               \
  X(DefaultChartDiagramValueCaptionTextColor, clBlack) X(DefaultChartHistogramAxisColor, clBlack)            \
  X(DefaultChartHistogramGridLineColor, 0xCFCFCF) X(DefaultChartHistogramPlotColor, clWhite)                 \
  X(DefaultChartPieDiagramSeriesSiteBorderColor, clBtnShadow)                                                 \
  X(DefaultChartPieDiagramSeriesSiteCaptionColor, 0xF0CAA6)                                                   \
  X(DefaultChartPieDiagramSeriesSiteCaptionTextColor, clNavy)                                                 \
  X(DefaultChartToolBoxDataLevelInfoBorderColor, clBtnShadow)                                                 \
  X(DefaultChartToolBoxItemSeparatorColor, clBtnShadow) X(DefaultLayoutViewContentColor, DefaultContentColor()) \
  X(DefaultLayoutViewContentTextColor, DefaultContentTextColor()) X(DefaultLayoutViewSelectionTextColor, clDefault)

#define TVK_PAINTER_DECLARE_COLOR(name, value) \
  virtual TColor name() { return value; }

class TcxCustomLookAndFeelPainter : public TPersistent {
public:
  TVK_CLASS(TcxCustomLookAndFeelPainter, TPersistent)
  TcxCustomLookAndFeelPainter() = default;

protected:
  // ---- Used by the painter's own drawing
  virtual TColor DefaultHighlightedHeaderTextColor();
  virtual void DrawBoxBackground(TcxCanvas& ACanvas, const RECT& R, bool ATransparent, TColor AColor, TBitmap* ABitmap);
  virtual void DrawDropDownArrow(TcxCanvas& ACanvas, const RECT& R, TColor AColor);
  virtual void DrawContent(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds, TcxButtonState AState,
                           TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                           bool AShowEndEllipsis, const WideString& AText, TFont* AFont, TColor ATextColor,
                           TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsFooter);
  virtual void DrawFilterSmartTagGlyph(TcxCanvas& ACanvas, const RECT& R, TcxFilterSmartTagState AState,
                                       bool AIsFilterActive);
  virtual void DrawSchedulerNavigationButtonContent(TcxCanvas& ACanvas, const RECT& ARect, const RECT& AArrowRect,
                                                    bool AIsNextButton, TcxButtonState AState);
  virtual RECT FooterCellContentBounds(const RECT& ABounds);
  virtual RECT FooterCellTextAreaBounds(const RECT& ABounds);
  virtual TColor FilterSmartTagGlyphColor(TcxFilterSmartTagState AState, bool AIsFilterActive);
  virtual RECT SeparatorBounds(const RECT& R, int ASize, bool AIsVertical);
  // Where DrawButton puts its caption.
  RECT ButtonTextRect(const RECT& R, TcxButtonState AState, bool ADrawBorder);

public:
  // ---- Identity
  virtual bool GetPainterData(void* AData) { (void)AData; return false; }
  virtual bool GetPainterDetails(void* ADetails) { (void)ADetails; return false; }
  virtual bool IsInternalPainter() { return false; }
  virtual WideString LookAndFeelName() { return {}; }
  virtual TcxLookAndFeelStyle LookAndFeelStyle() { return lfsStandard; }
  virtual bool NeedRedrawOnResize() { return false; }

  // ---- Default colours
  TVK_PAINTER_DEFAULT_COLORS_1(TVK_PAINTER_DECLARE_COLOR)
  virtual TColor DefaultEditorBackgroundColor(bool AIsDisabled);
  virtual TColor DefaultEditorBackgroundColorEx(TcxEditStateColorKind AKind) { (void)AKind; return clDefault; }
  virtual TColor DefaultEditorTextColor(bool AIsDisabled);
  virtual TColor DefaultEditorTextColorEx(TcxEditStateColorKind AKind) { (void)AKind; return clDefault; }
  TVK_PAINTER_DEFAULT_COLORS_2(TVK_PAINTER_DECLARE_COLOR)
  virtual TColor DefaultDateNavigatorHeaderTextColor(bool AIsHighlight);
  TVK_PAINTER_DEFAULT_COLORS_3(TVK_PAINTER_DECLARE_COLOR)
  virtual TColor DefaultSchedulerContentColor(int AResourceIndex) { (void)AResourceIndex; return clDefault; }
  TVK_PAINTER_DEFAULT_COLORS_4(TVK_PAINTER_DECLARE_COLOR)
  virtual TColor DefaultSchedulerYearViewUnusedContentColor(bool AIsWorkTime) { (void)AIsWorkTime; return clDefault; }
  TVK_PAINTER_DEFAULT_COLORS_5(TVK_PAINTER_DECLARE_COLOR)
  virtual TColor DefaultGridOptionsTreeViewCategoryColor(bool ASelected) { return ASelected ? clHighlight : clBtnShadow; }
  virtual TColor DefaultGridOptionsTreeViewCategoryTextColor(bool ASelected) {
    return ASelected ? clHighlightText : clBtnText;
  }

  // ---- Arrows
  virtual void DrawArrow(TcxCanvas& ACanvas, const RECT& R, TcxArrowDirection AArrowDirection, TColor AColor);
  virtual void DrawArrow(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState, TcxArrowDirection AArrowDirection,
                         bool ADrawBorder = true);
  virtual void DrawArrowBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState);
  virtual void DrawCollapseArrow(TcxCanvas& ACanvas, const RECT& R, TColor AColor, int ALineWidth = 1);
  virtual void DrawScrollBarArrow(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                  TcxArrowDirection AArrowDirection);

  // ---- Borders and separators
  virtual int BorderSize() { return 0; }
  virtual int SeparatorSize() { return BorderSize(); }
  virtual void DrawBorder(TcxCanvas& ACanvas, const RECT& R) { (void)ACanvas, (void)R; }
  virtual void DrawContainerBorder(TcxCanvas& ACanvas, const RECT& R, TcxContainerBorderStyle AStyle, int AWidth,
                                   TColor AColor, TcxBorders ABorders);
  virtual void DoDrawSeparator(TcxCanvas& ACanvas, const RECT& R, bool AIsVertical);

  // ---- Buttons
  virtual int ButtonBorderSize(TcxButtonState AState = cxbsNormal) { (void)AState; return 0; }
  virtual TColor ButtonColor(TcxButtonState AState) { (void)AState; return clBtnFace; }
  virtual RECT ButtonFocusRect(TcxCanvas& ACanvas, const RECT& R);
  virtual int ButtonTextOffset() { return 0; }
  virtual int ButtonTextShift() { return 0; }
  virtual TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor = clDefault);
  virtual TcxButtonState ButtonSymbolState(TcxButtonState AState) { return AState; }
  virtual void DrawButton(TcxCanvas& ACanvas, const RECT& R, const WideString& ACaption, TcxButtonState AState,
                          bool ADrawBorder = true, TColor AColor = clDefault, TColor ATextColor = clDefault,
                          bool AWordWrap = false, bool AIsToolButton = false);
  virtual void DrawButtonBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
    (void)ACanvas, (void)R, (void)AState;
  }

  // ---- Expand buttons
  virtual void DrawExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TColor AColor = clDefault) {
    (void)ACanvas, (void)R, (void)AExpanded, (void)AColor;
  }
  virtual void DrawExpandButtonEx(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState, bool AExpanded,
                                  TcxRotationAngle ARotationAngle = ra0);
  virtual bool DrawExpandButtonFirst() { return true; }
  virtual void DrawGroupExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TcxButtonState AState);
  virtual void DrawSmallExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TColor ABorderColor,
                                     TColor AColor = clDefault);
  virtual int ExpandButtonSize() { return 0; }
  virtual int GroupExpandButtonSize() { return 15; }
  virtual bool IsButtonHotTrack() { return false; }
  virtual bool IsPointOverGroupExpandButton(const RECT& R, POINT P);
  virtual int SmallExpandButtonSize() { return 9; }

  // ---- Headers
  virtual void DrawHeader(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds, TcxNeighbors ANeighbors,
                          TcxBorders ABorders, TcxButtonState AState, TAlignment AAlignmentHorz,
                          TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
                          const WideString& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
                          const TcxDrawBackgroundEvent& AOnDrawBackground = {}, bool AIsLast = false,
                          bool AIsGroup = false);
  virtual void DrawHeaderEx(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds,
                            TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                            TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                            bool AShowEndEllipsis, const WideString& AText, TFont* AFont, TColor ATextColor,
                            TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground = {});
  virtual void DrawHeaderBorder(TcxCanvas& ACanvas, const RECT& R, TcxNeighbors ANeighbors, TcxBorders ABorders) {
    (void)ACanvas, (void)R, (void)ANeighbors, (void)ABorders;
  }
  virtual void DrawHeaderPressed(TcxCanvas& ACanvas, const RECT& ABounds);
  virtual void DrawHeaderControlSection(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds,
                                        TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                        TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                        bool AShowEndEllipsis, const WideString& AText, TFont* AFont,
                                        TColor ATextColor, TColor ABkColor);
  virtual void DrawHeaderControlSectionBorder(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders,
                                              TcxButtonState AState) {
    (void)ACanvas, (void)R, (void)ABorders, (void)AState;
  }
  virtual void DrawHeaderControlSectionContent(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds,
                                               TcxButtonState AState, TAlignment AAlignmentHorz,
                                               TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                               bool AShowEndEllipsis, const WideString& AText, TFont* AFont,
                                               TColor ATextColor, TColor ABkColor);
  virtual void DrawHeaderControlSectionText(TcxCanvas& ACanvas, const RECT& ATextAreaBounds, TcxButtonState AState,
                                            TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                                            bool AMultiLine, bool AShowEndEllipsis, const WideString& AText,
                                            TFont* AFont, TColor ATextColor);
  virtual void DrawHeaderSeparator(TcxCanvas& ACanvas, const RECT& ABounds, int AIndentSize, TColor AColor,
                                   const TcxViewParams& AViewParams);
  virtual void DrawSortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) {
    (void)ACanvas, (void)R, (void)AAscendingSorting;
  }
  virtual void DrawSummarySortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) {
    (void)ACanvas, (void)R, (void)AAscendingSorting;
  }
  virtual TcxBorders HeaderBorders(TcxNeighbors ANeighbors) { (void)ANeighbors; return cxBordersAll; }
  virtual int HeaderBorderSize() { return 0; }
  virtual RECT HeaderBounds(const RECT& ABounds, TcxNeighbors ANeighbors, TcxBorders ABorders = cxBordersAll);
  virtual RECT HeaderContentBounds(const RECT& ABounds, TcxBorders ABorders);
  virtual bool HeaderDrawCellsFirst() { return true; }
  virtual int HeaderHeight(int AFontHeight) { return AFontHeight + 2 * (HeaderBorderSize() + 2); }
  virtual int HeaderControlSectionBorderSize(TcxButtonState AState = cxbsNormal) { (void)AState; return 1; }
  virtual RECT HeaderControlSectionTextAreaBounds(const RECT& ABounds, TcxButtonState AState);
  virtual RECT HeaderControlSectionContentBounds(const RECT& ABounds, TcxButtonState AState);
  virtual int HeaderWidth(TcxCanvas& ACanvas, TcxBorders ABorders, const WideString& AText, TFont* AFont);
  virtual bool IsHeaderHotTrack() { return false; }
  virtual POINT SortingMarkAreaSize() { return {16, SortingMarkSize().y}; }
  virtual POINT SortingMarkSize() { return {0, 0}; }
  virtual POINT SummarySortingMarkSize() { return {0, 0}; }

  // ---- Grid
  virtual void DrawGroupByBox(TcxCanvas& ACanvas, const RECT& ARect, bool ATransparent, TColor ABackgroundColor,
                              TBitmap* ABackgroundBitmap) {
    DrawBoxBackground(ACanvas, ARect, ATransparent, ABackgroundColor, ABackgroundBitmap);
  }
  virtual int GridBordersOverlapSize() { return 0; }
  virtual TColor GridGroupRowStyleOffice11ContentColor(bool AHasData);
  virtual TColor GridGroupRowStyleOffice11SeparatorColor();
  virtual TColor GridGroupRowStyleOffice11TextColor();
  virtual bool GridDrawHeaderCellsFirst() { return HeaderDrawCellsFirst(); }
  virtual TColor PivotGridHeadersAreaColor() { return DefaultHeaderBackgroundColor(); }
  virtual TColor PivotGridHeadersAreaTextColor() { return DefaultHeaderBackgroundTextColor(); }

  // ---- Layout view
  virtual void LayoutViewDrawItem(TcxCanvas& ACanvas, const RECT& ABounds, TcxButtonState AState, TcxBorders ABorders);
  virtual void LayoutViewDrawRecordCaption(TcxCanvas& ACanvas, const RECT& ABounds, TcxGroupBoxCaptionPosition APosition,
                                           TcxButtonState AState);
  virtual void LayoutViewDrawRecordBorder(TcxCanvas& ACanvas, const RECT& ABounds, TcxButtonState AState,
                                          TcxBorders ABorders);
  virtual void LayoutViewDrawRecordContent(TcxCanvas& ACanvas, const RECT& ABounds,
                                           TcxGroupBoxCaptionPosition ACaptionPosition, TcxButtonState AState,
                                           TcxBorders ABorders = cxBordersAll);
  virtual void LayoutViewDrawRecordExpandButton(TcxCanvas& ACanvas, const RECT& ABounds, TcxButtonState AState,
                                                bool AExpanded) {
    DrawGroupExpandButton(ACanvas, ABounds, AExpanded, AState);
  }
  virtual RECT LayoutViewGetPadding(TcxLayoutElement AElement) { (void)AElement; return {}; }
  virtual RECT LayoutViewGetSpacing(TcxLayoutElement AElement) { (void)AElement; return {}; }
  virtual int LayoutViewRecordCaptionTailSize(TcxGroupBoxCaptionPosition ACaptionPosition) {
    (void)ACaptionPosition;
    return 0;
  }

  // ---- Chart
  virtual int ChartToolBoxDataLevelInfoBorderSize() { return 1; }

  // ---- Footers
  virtual TcxBorders FooterBorders() { return cxBordersAll; }
  virtual int FooterBorderSize() { return 0; }
  virtual int FooterCellBorderSize() { return 0; }
  virtual int FooterCellOffset() { return 0; }
  virtual bool FooterDrawCellsFirst() { return true; }
  virtual TColor FooterSeparatorColor() { return clBtnShadow; }
  virtual int FooterSeparatorSize() { return 1; }
  virtual void DrawFooterCell(TcxCanvas& ACanvas, const RECT& ABounds, TAlignment AAlignmentHorz,
                              TcxAlignmentVert AAlignmentVert, bool AMultiLine, const WideString& AText, TFont* AFont,
                              TColor ATextColor, TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground = {});
  virtual void DrawFooterCellContent(TcxCanvas& ACanvas, const RECT& ABounds, TAlignment AAlignmentHorz,
                                     TcxAlignmentVert AAlignmentVert, bool AMultiLine, const WideString& AText,
                                     TFont* AFont, TColor ATextColor, TColor ABkColor,
                                     const TcxDrawBackgroundEvent& AOnDrawBackground = {});
  virtual void DrawFooterBorder(TcxCanvas& ACanvas, const RECT& R) { (void)ACanvas, (void)R; }
  virtual void DrawFooterBorderEx(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders);
  virtual void DrawFooterCellBorder(TcxCanvas& ACanvas, const RECT& R) { (void)ACanvas, (void)R; }
  virtual void DrawFooterContent(TcxCanvas& ACanvas, const RECT& ARect, const TcxViewParams& AViewParams);
  virtual void DrawFooterSeparator(TcxCanvas& ACanvas, const RECT& R);

  // ---- Filter elements
  virtual void DrawFilterActivateButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState, bool AChecked);
  virtual void DrawFilterCloseButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState);
  virtual void DrawFilterDropDownButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                        bool AIsFilterActive) {
    (void)ACanvas, (void)R, (void)AState, (void)AIsFilterActive;
  }
  virtual void DrawFilterPanel(TcxCanvas& ACanvas, const RECT& ARect, bool ATransparent, TColor ABackgroundColor,
                               TBitmap* ABackgroundBitmap) {
    DrawBoxBackground(ACanvas, ARect, ATransparent, ABackgroundColor, ABackgroundBitmap);
  }
  virtual void DrawFilterSmartTag(TcxCanvas& ACanvas, const RECT& R, TcxFilterSmartTagState AState,
                                  bool AIsFilterActive);
  virtual POINT FilterActivateButtonSize() { return {13, 13}; }
  virtual POINT FilterCloseButtonSize() { return {16, 14}; }
  virtual POINT FilterDropDownButtonSize() { return {15, 0}; }
  virtual SIZE FilterSmartTagSize() { return {10, 10}; }

  // ---- Popup windows
  virtual void DrawEditPopupWindowBorder(TcxCanvas& ACanvas, RECT& R, TcxEditPopupBorderStyle ABorderStyle,
                                         bool AClientEdge);
  virtual void DrawWindowContent(TcxCanvas& ACanvas, const RECT& ARect) { ACanvas.FillRect(ARect, clBtnFace); }
  virtual int GetEditPopupWindowBorderWidth(TcxEditPopupBorderStyle AStyle);
  virtual int GetEditPopupWindowClientEdgeWidth(TcxEditPopupBorderStyle AStyle);
  virtual TcxPopupBorderStyle PopupBorderStyle() { return pbsUltraFlat; }

  // ---- Hints and screen tips
  virtual TColor GetHintBorderColor() { return clDefault; }
  virtual void DrawHintBackground(TcxCanvas& ACanvas, const RECT& ARect, TColor AColor = clDefault);
  virtual TColor ScreenTipGetDescriptionTextColor() { return clDefault; }
  virtual TColor ScreenTipGetTitleTextColor() { return clDefault; }
  virtual int ScreenTipGetFooterLineSize() { return 3; }
  virtual void ScreenTipDrawBackground(TcxCanvas& ACanvas, const RECT& ARect);
  virtual void ScreenTipDrawFooterLine(TcxCanvas& ACanvas, const RECT& ARect);

  // ---- Tabs
  virtual void DrawTab(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders, const WideString& AText,
                       TcxButtonState AState, bool AVertical, TFont* AFont, TColor ATextColor, TColor ABkColor,
                       bool AShowPrefix = false) {
    (void)ACanvas, (void)R, (void)ABorders, (void)AText, (void)AState, (void)AVertical, (void)AFont,
        (void)ATextColor, (void)ABkColor, (void)AShowPrefix;
  }
  virtual void DrawTabBorder(TcxCanvas& ACanvas, const RECT& R, TcxBorder ABorder, TcxBorders ABorders,
                             bool AVertical) {
    (void)ACanvas, (void)R, (void)ABorder, (void)ABorders, (void)AVertical;
  }
  virtual void DrawTabsRoot(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders, bool AVertical) {
    (void)ACanvas, (void)R, (void)ABorders, (void)AVertical;
  }
  virtual bool IsDrawTabImplemented(bool AVertical) { (void)AVertical; return false; }
  virtual bool IsTabHotTrack(bool AVertical) { (void)AVertical; return false; }
  virtual int TabBorderSize(bool AVertical) { (void)AVertical; return 0; }

  // ---- Indicators
  virtual void DrawIndicatorCustomizationMark(TcxCanvas& ACanvas, const RECT& R, TColor AColor);
  virtual void DrawIndicatorImage(TcxCanvas& ACanvas, const RECT& R, TcxIndicatorKind AKind);
  virtual void DrawIndicatorItem(TcxCanvas& ACanvas, const RECT& R, TcxIndicatorKind AKind, TColor AColor,
                                 const TcxDrawBackgroundEvent& AOnDrawBackground = {});
  virtual void DrawIndicatorItemEx(TcxCanvas& ACanvas, const RECT& R, TcxIndicatorKind AKind, TColor AColor,
                                   const TcxDrawBackgroundEvent& AOnDrawBackground = {});
  virtual bool IndicatorDrawItemsFirst() { return true; }

  // ---- Scroll bars
  virtual int ScrollBarMinimalThumbSize(bool AVertical) { (void)AVertical; return 8; }
  virtual void DrawScrollBarBackground(TcxCanvas& ACanvas, const RECT& R, bool AHorizontal) {
    DrawScrollBarPart(ACanvas, AHorizontal, R, sbpPageUp, cxbsNormal);
  }
  virtual void DrawScrollBarPart(TcxCanvas& ACanvas, bool AHorizontal, const RECT& R, TcxScrollBarPart APart,
                                 TcxButtonState AState) {
    (void)ACanvas, (void)AHorizontal, (void)R, (void)APart, (void)AState;
  }

  // ---- Size grip
  virtual SIZE SizeGripSize();
  virtual void DoDrawSizeGrip(TcxCanvas& ACanvas, const RECT& ARect);
  virtual void DrawSizeGrip(TcxCanvas& ACanvas, const RECT& ARect, TColor ABackgroundColor = clDefault,
                            TdxCorner ACorner = coBottomRight);

  // ---- Small close button
  virtual SIZE SmallCloseButtonSize() { return {14, 15}; }
  virtual void DrawSmallCloseButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
    DrawFilterCloseButton(ACanvas, R, AState);
  }

  // ---- Scheduler
  virtual void CalculateSchedulerNavigationButtonRects(bool AIsNextButton, bool ACollapsed, SIZE APrevButtonTextSize,
                                                       SIZE ANextButtonTextSize, RECT& ABounds, RECT& ATextRect,
                                                       RECT& AArrowRect);
  virtual void DrawMonthHeader(TcxCanvas& ACanvas, const RECT& ABounds, const WideString& AText,
                               TcxNeighbors ANeighbors, const TcxViewParams& AViewParams, TcxArrowDirections AArrows,
                               int ASideWidth, const TcxDrawBackgroundEvent& AOnDrawBackground = {});
  virtual void DrawSchedulerBorder(TcxCanvas& ACanvas, const RECT& R) { DrawBorder(ACanvas, R); }
  virtual void DrawSchedulerEventProgress(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& AProgress,
                                          const TcxViewParams& AViewParams, bool ATransparent);
  virtual void DrawSchedulerGroup(TcxCanvas& ACanvas, const RECT& R, TColor AColor);
  virtual void DrawSchedulerMilestone(TcxCanvas& ACanvas, const RECT& R);
  virtual void DrawSchedulerNavigationButton(TcxCanvas& ACanvas, const RECT& ARect, bool AIsNextButton,
                                             TcxButtonState AState, const WideString& AText, const RECT& ATextRect,
                                             const RECT& AArrowRect);
  virtual void DrawSchedulerNavigationButtonArrow(TcxCanvas& ACanvas, const RECT& ARect, bool AIsNextButton,
                                                  TColor AColor);
  virtual void DrawSchedulerNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
    DrawButton(ACanvas, R, {}, AState);
  }
  virtual void DrawSchedulerSplitterBorder(TcxCanvas& ACanvas, const RECT& R, const TcxViewParams& AViewParams,
                                           bool AIsHorizontal) {
    (void)ACanvas, (void)R, (void)AViewParams, (void)AIsHorizontal;
  }
  virtual RECT SchedulerEventProgressOffsets() { return {2, 2, 2, 2}; }
  virtual TColor SchedulerNavigationButtonTextColor(bool AIsNextButton, TcxButtonState AState,
                                                    TColor ADefaultColor = clDefault) {
    (void)AIsNextButton;
    return ButtonSymbolColor(AState, ADefaultColor);
  }
  virtual void SchedulerNavigationButtonSizes(bool AIsNextButton, RECT& ABorders, SIZE& AArrowSize,
                                              bool& AHasTextArea);

  // ---- Editor buttons and container borders
  virtual void DrawEditorButton(TcxCanvas& ACanvas, const RECT& ARect, TcxEditBtnKind AButtonKind,
                                TcxButtonState AState, TcxEditBtnPosition APosition = cxbpRight) {
    (void)ACanvas, (void)ARect, (void)AButtonKind, (void)AState, (void)APosition;
  }
  virtual int EditButtonTextOffset() { return 0; }
  virtual SIZE EditButtonSize() { return {0, 0}; }
  virtual TColor EditButtonTextColor() { return clDefault; }
  virtual TColor GetContainerBorderColor(bool AIsHighlightBorder) { (void)AIsHighlightBorder; return clBtnText; }
  virtual int GetContainerBorderWidth(TcxContainerBorderStyle ABorderStyle);

  // ---- Clock and date navigator
  virtual SIZE ClockSize() { return {130, 130}; }
  virtual void DrawClock(TcxCanvas& ACanvas, const RECT& ARect, TDateTime ADateTime, TColor ABackgroundColor);
  virtual void DrawDateNavigatorDateHeader(TcxCanvas& ACanvas, RECT& R);

  // ---- Navigator
  virtual void DrawNavigatorBorder(TcxCanvas& ACanvas, const RECT& R, bool ASelected) {
    (void)ACanvas, (void)R, (void)ASelected;
  }
  virtual void DrawNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                   TColor ABackgroundColor) {
    (void)ABackgroundColor;
    DrawButton(ACanvas, R, {}, AState);
  }
  virtual void DrawNavigatorButtonGlyph(TcxCanvas& ACanvas, TCustomImageList* AImageList, TImageIndex AImageIndex,
                                        const RECT& AGlyphRect, bool AEnabled, bool AUserGlyphs);
  virtual bool NavigatorBorderOverlap() { return false; }
  virtual int NavigatorBorderSize() { return 0; }
  virtual RECT NavigatorButtonGlyphPadding() { return {3, 4, 3, 4}; }
  virtual SIZE NavigatorButtonGlyphSize() { return {11, 11}; }
  virtual POINT NavigatorButtonPressedGlyphOffset() { return {1, 1}; }
  virtual SIZE NavigatorButtonMinSize() { return {17, 19}; }

  // ---- Progress bar
  virtual void DrawProgressBarBorder(TcxCanvas& ACanvas, const RECT& ARect, bool AVertical) {
    (void)ACanvas, (void)ARect, (void)AVertical;
  }
  virtual void DrawProgressBarChunk(TcxCanvas& ACanvas, const RECT& ARect, bool AVertical) {
    (void)ACanvas, (void)ARect, (void)AVertical;
  }
  virtual void DrawProgressBarText(TcxCanvas& ACanvas, bool AVertical, bool ASolid, const WideString& AText,
                                   const RECT& ATextRect, const RECT& AProgressBarRect, const RECT& AProgressChunkRect,
                                   TColor ATextColor = clDefault);
  virtual RECT ProgressBarBorderSize(bool AVertical) { (void)AVertical; return {}; }
  virtual TColor ProgressBarTextColor() { return ProgressBarTextColorEx(false); }
  virtual TColor ProgressBarTextColorEx(bool AIsFilledArea) { return AIsFilledArea ? clDefault : clWindowText; }

  // ---- Group box
  virtual void DrawGroupBoxBackground(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ARect) {
    (void)ACanvas, (void)ABounds, (void)ARect;
  }
  virtual void DrawGroupBoxCaption(TcxCanvas& ACanvas, const RECT& ACaptionRect,
                                   TcxGroupBoxCaptionPosition ACaptionPosition) {
    (void)ACanvas, (void)ACaptionRect, (void)ACaptionPosition;
  }
  virtual void DrawGroupBoxContent(TcxCanvas& ACanvas, const RECT& ABorderRect,
                                   TcxGroupBoxCaptionPosition ACaptionPosition, TcxBorders ABorders = cxBordersAll) {
    (void)ACanvas, (void)ABorderRect, (void)ACaptionPosition, (void)ABorders;
  }
  virtual void DrawGroupBoxExpandButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState, bool AExpanded,
                                        TcxRotationAngle ARotationAngle = ra0) {
    DrawExpandButtonEx(ACanvas, R, AState, AExpanded, ARotationAngle);
  }
  virtual void DrawGroupBoxFrame(TcxCanvas& ACanvas, const RECT& R, bool AEnabled,
                                 TcxGroupBoxCaptionPosition ACaptionPosition, TcxBorders ABorders = cxBordersAll) {
    (void)ACanvas, (void)R, (void)AEnabled, (void)ACaptionPosition, (void)ABorders;
  }
  virtual RECT GroupBoxBorderSize(bool ACaption, TcxGroupBoxCaptionPosition ACaptionPosition) {
    (void)ACaption, (void)ACaptionPosition;
    return {};
  }
  virtual int GroupBoxCaptionTailSize(TcxGroupBoxCaptionPosition ACaptionPosition) {
    (void)ACaptionPosition;
    return 0;
  }
  virtual TColor GroupBoxTextColor(bool AEnabled, TcxGroupBoxCaptionPosition ACaptionPosition) {
    (void)ACaptionPosition;
    return AEnabled ? clWindowText : clBtnShadow;
  }
  virtual bool IsGroupBoxTransparent(bool AIsCaption, TcxGroupBoxCaptionPosition ACaptionPosition) {
    (void)AIsCaption, (void)ACaptionPosition;
    return false;
  }

  // ---- Check boxes and radio buttons
  virtual int CheckBorderSize() { return 2; }
  virtual TColor CheckButtonColor(TcxButtonState AState);
  virtual SIZE CheckButtonSize();
  virtual void DrawCheck(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState, bool AChecked, TColor AColor);
  virtual void DrawCheckBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) {
    (void)ACanvas, (void)R, (void)AState;
  }
  virtual void DrawCheckButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState, bool AChecked);
  virtual void DrawCheckButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                               TcxCheckBoxState ACheckState);
  virtual void DrawRadioButton(TcxCanvas& ACanvas, int X, int Y, TcxButtonState AButtonState, bool AChecked,
                               bool AFocused, TColor ABrushColor, bool AIsDesigning = false);
  virtual TColor RadioButtonBodyColor(TcxButtonState AState);
  virtual SIZE RadioButtonSize();

  // ---- Label line
  virtual void DrawLabelLine(TcxCanvas& ACanvas, const RECT& R, TColor AOuterColor, TColor AInnerColor,
                             bool AIsVertical);
  virtual int LabelLineHeight() { return 2; }

  // ---- Panel
  virtual void DrawPanelBackground(TcxCanvas& ACanvas, TWinControl* AControl, const RECT& ABounds,
                                   TColor AColorFrom = clDefault, TColor AColorTo = clDefault) {
    (void)AControl, (void)AColorFrom, (void)AColorTo;
    DrawGroupBoxBackground(ACanvas, ABounds, ABounds);
  }
  virtual void DrawPanelBorders(TcxCanvas& ACanvas, const RECT& ABorderRect) { (void)ACanvas, (void)ABorderRect; }
  virtual void DrawPanelCaption(TcxCanvas& ACanvas, const RECT& ACaptionRect,
                                TcxGroupBoxCaptionPosition ACaptionPosition) {
    DrawGroupBoxCaption(ACanvas, ACaptionRect, ACaptionPosition);
  }
  virtual void DrawPanelContent(TcxCanvas& ACanvas, const RECT& ABorderRect, bool ABorder) {
    (void)ABorder;
    ACanvas.FillRect(ABorderRect, clBtnFace);
  }
  virtual RECT PanelBorderSize() { return {}; }
  virtual TColor PanelTextColor() { return GroupBoxTextColor(true, cxgpTop); }

  // ---- Track bar
  virtual void CorrectThumbRect(TcxCanvas& ACanvas, RECT& ARect, bool AHorizontal, TcxTrackBarTicksAlign ATicks);
  virtual void DrawTrackBarTrack(TcxCanvas& ACanvas, const RECT& ARect, const RECT& ASelection, bool AShowSelection,
                                 bool AEnabled, bool AHorizontal, TColor ATrackColor);
  virtual void DrawTrackBarTrackBounds(TcxCanvas& ACanvas, const RECT& ARect) { (void)ACanvas, (void)ARect; }
  virtual void DrawTrackBarThumb(TcxCanvas& ACanvas, const RECT& ARect, TcxButtonState AState, bool AHorizontal,
                                 TcxTrackBarTicksAlign ATicks, TColor AThumbColor);
  virtual void DrawTrackBarThumbBorderUpDown(TcxCanvas& ACanvas, const TPointArray& ALightPolyLine,
                                             const TPointArray& AShadowPolyLine, const TPointArray& ADarkPolyLine) {
    (void)ACanvas, (void)ALightPolyLine, (void)AShadowPolyLine, (void)ADarkPolyLine;
  }
  virtual void DrawTrackBarThumbBorderBoth(TcxCanvas& ACanvas, const RECT& ARect) { (void)ACanvas, (void)ARect; }
  virtual SIZE TrackBarThumbSize(bool AHorizontal) { (void)AHorizontal; return {0, 0}; }
  virtual TColor TrackBarTicksColor(bool AText) { (void)AText; return clDefault; }
  virtual int TrackBarTrackSize() { return 0; }

  // ---- Splitter
  virtual TColor GetSplitterInnerColor(bool AHighlighted) { (void)AHighlighted; return clWhite; }
  virtual TColor GetSplitterOuterColor(bool AHighlighted) { (void)AHighlighted; return clBtnShadow; }
  virtual void DrawSplitter(TcxCanvas& ACanvas, const RECT& ARect, bool AHighlighted, bool AClicked,
                            bool AHorizontal);
  virtual SIZE GetSplitterSize(bool AHorizontal) { return AHorizontal ? SIZE{17, 2} : SIZE{2, 17}; }

  // ---- Other areas
  virtual TColor LayoutControlEmptyAreaColor() { return clBtnFace; }
  virtual void DrawLayoutControlBackground(TcxCanvas& ACanvas, const RECT& R) {
    ACanvas.FillRect(R, LayoutControlEmptyAreaColor());
  }
  virtual void DrawScrollBoxBackground(TcxCanvas& ACanvas, const RECT& R, TColor AColor) { ACanvas.FillRect(R, AColor); }
  virtual RECT PrintPreviewPageBordersWidth() { return {2, 2, 4, 4}; }
  virtual void DrawPrintPreviewBackground(TcxCanvas& ACanvas, const RECT& R) { ACanvas.FillRect(R, clBtnShadow); }
  virtual void DrawPrintPreviewPageBackground(TcxCanvas& ACanvas, const RECT& ABorderRect, const RECT& AContentRect,
                                              bool ASelected, bool ADrawContent);
  virtual TColor CalcEditButtonTextColor(TcxCalcButtonKind AButtonKind);
  virtual TColor GetCustomizationFormListBackgroundColor() { return clBtnFace; }
  virtual void DrawMessageBox(TcxCanvas& ACanvas, const RECT& ABounds, const WideString& AMessage,
                              TFont* AFont = nullptr, TColor AColor = clNone);

  // ---- Breadcrumb edit
  virtual TColor BreadcrumbEditBackgroundColor(TdxBreadcrumbEditState AState) { (void)AState; return clBtnFace; }
  virtual RECT BreadcrumbEditBordersSize() { return {1, 1, 1, 1}; }
  virtual int BreadcrumbEditButtonAreaSeparatorSize() { return 2; }
  virtual RECT BreadcrumbEditButtonContentOffsets(bool AIsFirst, bool AIsLast);
  virtual int BreadcrumbEditDropDownButtonWidth() { return GetSystemMetrics(SM_CXHSCROLL); }
  virtual bool BreadcrumbEditIsFadingSupports() { return false; }
  virtual int BreadcrumbEditNodeDelimiterSize() { return ScaleByScreenDPI(16); }
  virtual TColor BreadcrumbEditNodeTextColor(TdxBreadcrumbEditButtonState AState) {
    return ButtonSymbolColor(AState == dxbcbsDisabled ? cxbsDisabled : cxbsNormal, clDefault);
  }
  virtual RECT BreadcrumbEditNodeTextOffsets();
  virtual SIZE BreadcrumbEditProgressChunkOverlaySize() { return {0, 0}; }
  virtual RECT BreadcrumbEditProgressChunkPadding() { return {1, 1, 1, 1}; }
  virtual void DrawBreadcrumbEditBorders(TcxCanvas& ACanvas, const RECT& ARect, TcxBorders ABorders,
                                         TdxBreadcrumbEditState AState) {
    (void)AState;
    ACanvas.DrawComplexFrame(ARect, clBtnShadow, clBtnHighlight, ABorders, 1);
  }
  virtual void DrawBreadcrumbEditButtonAreaSeparator(TcxCanvas& ACanvas, const RECT& ARect,
                                                     TdxBreadcrumbEditState AState) {
    (void)ACanvas, (void)ARect, (void)AState;
  }
  virtual void DrawBreadcrumbEditButton(TcxCanvas& ACanvas, const RECT& ARect, TdxBreadcrumbEditButtonState AState,
                                        bool AIsFirst, bool AIsLast);
  virtual void DrawBreadcrumbEditDropDownButton(TcxCanvas& ACanvas, const RECT& ARect,
                                                TdxBreadcrumbEditButtonState AState, bool AIsInEditor);
  virtual void DrawBreadcrumbEditDropDownButtonGlyph(TcxCanvas& ACanvas, const RECT& ARect,
                                                     TdxBreadcrumbEditButtonState AState, bool AIsInEditor);
  virtual void DrawBreadcrumbEditNode(TcxCanvas& ACanvas, const RECT& R, TdxBreadcrumbEditButtonState AState,
                                      bool AHasDelimiter) {
    DrawBreadcrumbEditButton(ACanvas, R, AState, false, AHasDelimiter);
  }
  virtual void DrawBreadcrumbEditNodeDelimiter(TcxCanvas& ACanvas, const RECT& R,
                                               TdxBreadcrumbEditButtonState AState) {
    DrawBreadcrumbEditButton(ACanvas, R, AState, false, false);
  }
  virtual void DrawBreadcrumbEditNodeDelimiterGlyph(TcxCanvas& ACanvas, const RECT& R,
                                                    TdxBreadcrumbEditButtonState AState) {
    DrawArrow(ACanvas, R, adDown, BreadcrumbEditNodeTextColor(AState));
  }
  virtual void DrawBreadcrumbEditNodeMoreButtonGlyph(TcxCanvas& ACanvas, const RECT& R,
                                                     TdxBreadcrumbEditButtonState AState) {
    DrawBreadcrumbEditNodeDelimiterGlyph(ACanvas, R, AState);
  }
  virtual void DrawBreadcrumbEditProgressChunk(TcxCanvas& ACanvas, const RECT& R) { ACanvas.FillRect(R, 0xAAA8A4); }
  virtual void DrawBreadcrumbEditProgressChunkOverlay(TcxCanvas& ACanvas, const RECT& R) { (void)ACanvas, (void)R; }

  // ---- Drop-down list box
  virtual void DrawDropDownListBoxBackground(TcxCanvas& ACanvas, const RECT& ARect, bool AHasBorders);
  virtual void DrawDropDownListBoxGutterBackground(TcxCanvas& ACanvas, const RECT& ARect) { (void)ACanvas, (void)ARect; }
  virtual void DrawDropDownListBoxSelection(TcxCanvas& ACanvas, const RECT& ARect, const RECT& AGutterRect) {
    (void)AGutterRect;
    ACanvas.FillRect(ARect, kSystemColor | COLOR_MENUHILIGHT);
  }
  virtual void DrawDropDownListBoxSeparator(TcxCanvas& ACanvas, const RECT& ARect, const RECT& AGutterRect);
  virtual int DropDownListBoxBordersSize() { return 3; }
  virtual RECT DropDownListBoxItemImageOffsets();
  virtual TColor DropDownListBoxItemTextColor(bool ASelected) {
    return ASelected ? clHighlightText : kSystemColor | COLOR_MENUTEXT;
  }
  virtual RECT DropDownListBoxItemTextOffsets();
  virtual int DropDownListBoxSeparatorSize() { return ScaleByScreenDPI(8); }

  // ---- Alert window
  virtual RECT AlertWindowButtonContentOffsets(TdxAlertWindowButtonKind AKind) { (void)AKind; return {3, 3, 3, 3}; }
  virtual SIZE AlertWindowButtonGlyphSize(TdxAlertWindowButtonKind AKind) {
    return AKind == awbkCustom ? SIZE{0, 0} : SIZE{10, 10};
  }
  virtual RECT AlertWindowContentOffsets() { return {4, 4, 4, 4}; }
  virtual int AlertWindowCornerRadius() { return 0; }
  virtual TColor AlertWindowNavigationPanelTextColor() { return AlertWindowTextColor(); }
  virtual TColor AlertWindowTextColor() { return clBtnText; }
  virtual void DrawAlertWindowBackground(TcxCanvas& ACanvas, const RECT& ABounds);
  virtual void DrawAlertWindowButton(TcxCanvas& ACanvas, const RECT& ABounds, TcxButtonState AState,
                                     TdxAlertWindowButtonKind AKind, bool ADown = false);
  virtual void DrawAlertWindowNavigationPanel(TcxCanvas& ACanvas, const RECT& ABounds) {
    ACanvas.FrameRect(ABounds, clBtnShadow, 1, cxBordersAll);
  }

  // ---- Gallery
  virtual TColor GetGalleryItemImageFrameColor() { return clBtnShadow; }
  virtual void DrawGalleryBackground(TcxCanvas& ACanvas, const RECT& ABounds) { ACanvas.FillRect(ABounds, clWhite); }
  virtual void DrawGalleryGroupHeader(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds,
                                      const WideString& AText, TFont* AFont, TColor ATextColor);
  virtual void DrawGalleryItemSelection(TcxCanvas& ACanvas, const RECT& R, TdxGalleryItemViewState AViewState);
  virtual void DrawGalleryItemImageFrame(TcxCanvas& ACanvas, const RECT& R) {
    ACanvas.FrameRect(R, GetGalleryItemImageFrameColor());
  }
  virtual TColor GetColorGalleryGlyphFrameColor() { return 0xE2E4E6; }

  // ---- Bevel
  virtual SIZE GetBevelMinimalShapeSize(TdxBevelShape AShape) { (void)AShape; return {2, 2}; }
  virtual void GetBevelShapeColors(TColor& AColor1, TColor& AColor2) {
    AColor1 = clBtnShadow;
    AColor2 = clBtnHighlight;
  }
  virtual void DrawBevelFrame(TcxCanvas& ACanvas, const RECT& R, TColor AColor1, TColor AColor2, bool ABoxStyle);
  virtual void DrawBevelLine(TcxCanvas& ACanvas, const RECT& R, TColor AColor1, TColor AColor2, bool AIsVertical);
  virtual void DrawBevelShape(TcxCanvas& ACanvas, const RECT& R, TdxBevelShape AShape, TdxBevelStyle AStyle);

  // ---- Operations every style inherits
  void CalculateArrowPoints(const RECT& R, TcxArrowPoints& P, TcxArrowDirection AArrowDirection, bool AProportional,
                            int AArrowSize = 0);
  void DrawSeparator(TcxCanvas& ACanvas, const RECT& R, bool AIsVertical) {
    DoDrawSeparator(ACanvas, SeparatorBounds(R, SeparatorSize(), AIsVertical), AIsVertical);
  }
  void DrawButtonCross(TcxCanvas& ACanvas, const RECT& R, TColor AColor, TcxButtonState AState);
  void DrawPin(TcxCanvas& ACanvas, const RECT& ABounds, TColor AColor, bool APinned);
  void DrawFooterPanel(TcxCanvas& ACanvas, const RECT& ABounds, const TcxViewParams& AViewParams,
                       TcxBorders ABorders);
  int PopupPanelSize();
  void CalculatePopupPanelClientRect(RECT& AClientRect, RECT& APanelRect, RECT& AGripRect, RECT& ACloseButtonRect,
                                     TdxCorner ACorner, const RECT& ABorders, const RECT& APanelBorders,
                                     int APanelHeight = 0, bool AShowCloseButton = true, bool AShowGripSize = true);
  void DrawPopupNCPanel(HWND AHandle, bool AMouseAboveCloseButton, bool ACloseButtonIsTracking, TdxCorner ACorner,
                        const RECT& ACloseButtonRect, const RECT& AGripRect, TColor ABorderColor);
  void DrawPopupPanelBand(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& AGripRect,
                          const RECT& ACloseButtonRect, TdxCorner AGripCorner, TcxButtonState ACloseButtonState,
                          const RECT& ABorders, TColor ABorderColor, bool AShowGripSize = true,
                          bool AShowCloseButton = true);

  // Shared with the style painters.
  void DrawPlusMinusSign(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TColor AColor);
  void DrawGroupExpandGlyph(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TcxButtonState AState);
  void DrawSortingArrow(TcxCanvas& ACanvas, const RECT& R, TColor ADarkColor, TColor ALightColor, bool AAscending);
  void DrawSummarySortingArrow(TcxCanvas& ACanvas, const RECT& R, TColor ADarkColor, TColor ALightColor,
                               bool AAscending);
  static TcxArrowDirection ScrollBarArrowDirection(bool AHorizontal, TcxScrollBarPart APart);

private:
  TColor DateNavigatorContentColorOf(TColor AEditorColor) {
    return AEditorColor == clDefault ? DefaultContentColor() : AEditorColor;
  }
};

#undef TVK_PAINTER_DECLARE_COLOR

// The classic three-dimensional style: two-pixel bevels in the system button colours.
class TcxStandardLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  TVK_CLASS(TcxStandardLookAndFeelPainter, TcxCustomLookAndFeelPainter)
  WideString LookAndFeelName() override { return L"Standard"; }
  TcxLookAndFeelStyle LookAndFeelStyle() override { return lfsStandard; }
  TColor DefaultSchedulerViewContentColor() override { return clWindow; }
  int BorderSize() override { return 2; }
  void DrawBorder(TcxCanvas& ACanvas, const RECT& R) override;
  int ButtonBorderSize(TcxButtonState AState = cxbsNormal) override { return AState == cxbsDefault ? 3 : 2; }
  int ButtonTextOffset() override { return 1; }
  int ButtonTextShift() override { return 1; }
  void DrawButtonBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) override;
  void DrawExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TColor AColor = clDefault) override;
  void DrawGroupExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TcxButtonState AState) override;
  int ExpandButtonSize() override { return 12; }
  void DrawHeaderBorder(TcxCanvas& ACanvas, const RECT& R, TcxNeighbors ANeighbors, TcxBorders ABorders) override;
  void DrawHeaderControlSectionBorder(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders,
                                      TcxButtonState AState) override;
  void DrawSortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) override;
  void DrawSummarySortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) override;
  int HeaderBorderSize() override { return 1; }
  int HeaderControlSectionBorderSize(TcxButtonState AState = cxbsNormal) override {
    return AState == cxbsPressed ? 1 : 2;
  }
  POINT SortingMarkSize() override { return {8, 7}; }
  POINT SummarySortingMarkSize() override { return {8, 8}; }
  int FooterBorderSize() override { return 1; }
  int FooterCellBorderSize() override { return 1; }
  int FooterCellOffset() override { return 1; }
  void DrawFooterBorder(TcxCanvas& ACanvas, const RECT& R) override { ACanvas.DrawEdge(R, false, false); }
  void DrawFooterCellBorder(TcxCanvas& ACanvas, const RECT& R) override { ACanvas.DrawEdge(R, true, true); }
  void DrawFilterDropDownButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                bool AIsFilterActive) override;
  void DrawTabBorder(TcxCanvas& ACanvas, const RECT& R, TcxBorder ABorder, TcxBorders ABorders,
                     bool AVertical) override;
  void DrawTabsRoot(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders, bool AVertical) override {
    (void)AVertical;
    ACanvas.DrawEdge(R, false, false, ABorders);
  }
  int TabBorderSize(bool AVertical) override { (void)AVertical; return 1; }
  void DrawScrollBarPart(TcxCanvas& ACanvas, bool AHorizontal, const RECT& R, TcxScrollBarPart APart,
                         TcxButtonState AState) override;
  void DrawMonthHeader(TcxCanvas& ACanvas, const RECT& ABounds, const WideString& AText, TcxNeighbors ANeighbors,
                       const TcxViewParams& AViewParams, TcxArrowDirections AArrows, int ASideWidth,
                       const TcxDrawBackgroundEvent& AOnDrawBackground = {}) override;
  void DrawSchedulerSplitterBorder(TcxCanvas& ACanvas, const RECT& R, const TcxViewParams& AViewParams,
                                   bool AIsHorizontal) override;
  void DrawGroupBoxFrame(TcxCanvas& ACanvas, const RECT& R, bool AEnabled, TcxGroupBoxCaptionPosition ACaptionPosition,
                         TcxBorders ABorders = cxBordersAll) override;
  void DrawTrackBarTrackBounds(TcxCanvas& ACanvas, const RECT& ARect) override;
  void DrawTrackBarThumbBorderUpDown(TcxCanvas& ACanvas, const TPointArray& ALightPolyLine,
                                     const TPointArray& AShadowPolyLine, const TPointArray& ADarkPolyLine) override;
  void DrawTrackBarThumbBorderBoth(TcxCanvas& ACanvas, const RECT& ARect) override;
  void DrawBreadcrumbEditButton(TcxCanvas& ACanvas, const RECT& ARect, TdxBreadcrumbEditButtonState AState,
                                bool AIsFirst, bool AIsLast) override;
  void DrawCheckBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) override;

protected:
  // The frame of a standard scroll-bar button (arrow or thumb).
  void DrawScrollBarButtonFrame(TcxCanvas& ACanvas, const RECT& R, bool APressedArrow);
};

// The same elements with one-pixel bevels.
class TcxFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  TVK_CLASS(TcxFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter)
  WideString LookAndFeelName() override { return L"Flat"; }
  TcxLookAndFeelStyle LookAndFeelStyle() override { return lfsFlat; }
  int BorderSize() override { return 1; }
  int SeparatorSize() override { return 2; }
  void DrawBorder(TcxCanvas& ACanvas, const RECT& R) override { ACanvas.DrawEdge(R, true, true); }
  int ButtonBorderSize(TcxButtonState AState = cxbsNormal) override { return AState == cxbsDefault ? 2 : 1; }
  int ButtonTextOffset() override { return 1; }
  int ButtonTextShift() override { return 1; }
  void DrawButtonBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) override;
  void DrawExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TColor AColor = clDefault) override;
  int ExpandButtonSize() override { return 11; }
  void DrawCheckBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) override;
  void DrawHeaderBorder(TcxCanvas& ACanvas, const RECT& R, TcxNeighbors ANeighbors, TcxBorders ABorders) override;
  void DrawHeaderControlSectionBorder(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders,
                                      TcxButtonState AState) override;
  void DrawSortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) override;
  void DrawSummarySortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) override;
  int HeaderBorderSize() override { return 1; }
  POINT SortingMarkSize() override { return {8, 7}; }
  POINT SummarySortingMarkSize() override { return {8, 8}; }
  int FooterBorderSize() override { return 1; }
  int FooterCellBorderSize() override { return 1; }
  int FooterCellOffset() override { return 1; }
  void DrawFooterBorder(TcxCanvas& ACanvas, const RECT& R) override { ACanvas.DrawEdge(R, false, false); }
  void DrawFooterCellBorder(TcxCanvas& ACanvas, const RECT& R) override { ACanvas.DrawEdge(R, true, true); }
  void DrawFilterDropDownButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                bool AIsFilterActive) override;
  void DrawTabBorder(TcxCanvas& ACanvas, const RECT& R, TcxBorder ABorder, TcxBorders ABorders,
                     bool AVertical) override;
  void DrawTabsRoot(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders, bool AVertical) override {
    (void)AVertical;
    ACanvas.DrawEdge(R, false, false, ABorders);
  }
  int TabBorderSize(bool AVertical) override { (void)AVertical; return 1; }
  void DrawScrollBarPart(TcxCanvas& ACanvas, bool AHorizontal, const RECT& R, TcxScrollBarPart APart,
                         TcxButtonState AState) override;
  void DrawSchedulerSplitterBorder(TcxCanvas& ACanvas, const RECT& R, const TcxViewParams& AViewParams,
                                   bool AIsHorizontal) override;
  void DrawGroupBoxFrame(TcxCanvas& ACanvas, const RECT& R, bool AEnabled, TcxGroupBoxCaptionPosition ACaptionPosition,
                         TcxBorders ABorders = cxBordersAll) override;
  void DrawTrackBarTrackBounds(TcxCanvas& ACanvas, const RECT& ARect) override;
  void DrawTrackBarThumbBorderUpDown(TcxCanvas& ACanvas, const TPointArray& ALightPolyLine,
                                     const TPointArray& AShadowPolyLine, const TPointArray& ADarkPolyLine) override;
  void DrawTrackBarThumbBorderBoth(TcxCanvas& ACanvas, const RECT& ARect) override {
    ACanvas.DrawComplexFrame(ARect, clBtnHighlight, clBtnShadow);
  }
  void DrawDateNavigatorDateHeader(TcxCanvas& ACanvas, RECT& R) override;
  TColor GetSplitterOuterColor(bool AHighlighted) override {
    return AHighlighted ? cl3DDkShadow : TcxCustomLookAndFeelPainter::GetSplitterOuterColor(false);
  }
};

// The single-line style: one-pixel frames, hot tracking in light selection colours.
class TcxUltraFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  TVK_CLASS(TcxUltraFlatLookAndFeelPainter, TcxCustomLookAndFeelPainter)
  WideString LookAndFeelName() override { return L"UltraFlat"; }
  TcxLookAndFeelStyle LookAndFeelStyle() override { return lfsUltraFlat; }
  TColor DefaultSchedulerBorderColor() override { return clBtnShadow; }
  int BorderSize() override { return 1; }
  void DrawBorder(TcxCanvas& ACanvas, const RECT& R) override { ACanvas.FrameRect(R, clBtnShadow); }
  void DoDrawSeparator(TcxCanvas& ACanvas, const RECT& R, bool AIsVertical) override {
    (void)AIsVertical;
    ACanvas.FillRect(R, clBtnShadow);
  }
  int ButtonBorderSize(TcxButtonState AState = cxbsNormal) override { return AState == cxbsDefault ? 2 : 1; }
  TColor ButtonColor(TcxButtonState AState) override;
  RECT ButtonFocusRect(TcxCanvas& ACanvas, const RECT& R) override;
  int ButtonTextOffset() override { return 2; }
  int ButtonTextShift() override { return 0; }
  TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor = clDefault) override;
  // A pressed symbol does not move.
  TcxButtonState ButtonSymbolState(TcxButtonState AState) override { (void)AState; return cxbsNormal; }
  void DrawButtonBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) override;
  void DrawExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TColor AColor = clDefault) override;
  int ExpandButtonSize() override { return 11; }
  bool IsButtonHotTrack() override { return true; }
  void DrawHeaderEx(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds, TcxNeighbors ANeighbors,
                    TcxBorders ABorders, TcxButtonState AState, TAlignment AAlignmentHorz,
                    TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis, const WideString& AText,
                    TFont* AFont, TColor ATextColor, TColor ABkColor,
                    const TcxDrawBackgroundEvent& AOnDrawBackground = {}) override;
  void DrawHeaderBorder(TcxCanvas& ACanvas, const RECT& R, TcxNeighbors ANeighbors, TcxBorders ABorders) override;
  void DrawHeaderControlSectionBorder(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders,
                                      TcxButtonState AState) override;
  void DrawHeaderControlSectionContent(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds,
                                       TcxButtonState AState, TAlignment AAlignmentHorz,
                                       TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
                                       const WideString& AText, TFont* AFont, TColor ATextColor,
                                       TColor ABkColor) override;
  void DrawSortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) override;
  void DrawSummarySortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) override;
  TcxBorders HeaderBorders(TcxNeighbors ANeighbors) override;
  int HeaderBorderSize() override { return 1; }
  POINT SortingMarkSize() override { return {7, 8}; }
  POINT SummarySortingMarkSize() override { return {7, 9}; }
  int GridBordersOverlapSize() override { return 1; }
  TcxBorders FooterBorders() override { return bRight | bBottom; }
  int FooterBorderSize() override { return 1; }
  int FooterCellBorderSize() override { return 1; }
  int FooterCellOffset() override { return 2; }
  void DrawFooterBorder(TcxCanvas& ACanvas, const RECT& R) override { DrawFooterBorderEx(ACanvas, R, bRight | bBottom); }
  void DrawFooterBorderEx(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders) override {
    ACanvas.FrameRect(R, FooterSeparatorColor(), FooterSeparatorSize(), ABorders);
  }
  void DrawFooterCellBorder(TcxCanvas& ACanvas, const RECT& R) override {
    ACanvas.FrameRect(R, FooterSeparatorColor());
  }
  void DrawFilterDropDownButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                bool AIsFilterActive) override;
  POINT FilterCloseButtonSize() override {
    const POINT p = TcxCustomLookAndFeelPainter::FilterCloseButtonSize();
    return {p.x, p.y + 1};
  }
  void DrawTabBorder(TcxCanvas& ACanvas, const RECT& R, TcxBorder ABorder, TcxBorders ABorders,
                     bool AVertical) override;
  void DrawTabsRoot(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders, bool AVertical) override {
    ACanvas.DrawComplexFrame(R, MutedFrameColor(), MutedFrameColor(), ABorders, TabBorderSize(AVertical));
  }
  int TabBorderSize(bool AVertical) override { (void)AVertical; return 1; }
  void DrawScrollBarPart(TcxCanvas& ACanvas, bool AHorizontal, const RECT& R, TcxScrollBarPart APart,
                         TcxButtonState AState) override;
  void DrawCheckBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) override;
  TColor RadioButtonBodyColor(TcxButtonState AState) override;
  void DrawSchedulerNavigationButtonContent(TcxCanvas& ACanvas, const RECT& ARect, const RECT& AArrowRect,
                                            bool AIsNextButton, TcxButtonState AState) override;
  void DrawSchedulerNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) override {
    DrawButton(ACanvas, R, {}, AState, AState == cxbsHot || AState == cxbsPressed);
  }
  void DrawSchedulerSplitterBorder(TcxCanvas& ACanvas, const RECT& R, const TcxViewParams& AViewParams,
                                   bool AIsHorizontal) override;
  void DrawNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                           TColor ABackgroundColor) override;
  void DrawNavigatorBorder(TcxCanvas& ACanvas, const RECT& R, bool ASelected) override {
    ACanvas.FrameRect(R, ASelected ? BorderHighlightColor() : clBtnShadow, 1, cxBordersAll, true);
  }
  bool NavigatorBorderOverlap() override { return true; }
  int NavigatorBorderSize() override { return BorderSize(); }
  void DrawGroupBoxFrame(TcxCanvas& ACanvas, const RECT& R, bool AEnabled, TcxGroupBoxCaptionPosition ACaptionPosition,
                         TcxBorders ABorders = cxBordersAll) override {
    (void)ACaptionPosition;
    ACanvas.FrameRect(R, AEnabled ? clHighlight : clBtnShadow, 1, ABorders, true);
  }
  void DrawTrackBarTrackBounds(TcxCanvas& ACanvas, const RECT& ARect) override { ACanvas.FrameRect(ARect, clWindowText); }
  void DrawTrackBarThumbBorderUpDown(TcxCanvas& ACanvas, const TPointArray& ALightPolyLine,
                                     const TPointArray& AShadowPolyLine, const TPointArray& ADarkPolyLine) override;
  void DrawTrackBarThumbBorderBoth(TcxCanvas& ACanvas, const RECT& ARect) override {
    ACanvas.FrameRect(ARect, clWindowText);
  }
  SIZE GetSplitterSize(bool AHorizontal) override {
    const SIZE s = TcxCustomLookAndFeelPainter::GetSplitterSize(AHorizontal);
    return AHorizontal ? SIZE{s.cx, 1} : SIZE{1, s.cy};
  }
  TColor GetSplitterOuterColor(bool AHighlighted) override {
    return AHighlighted ? clHighlight : TcxCustomLookAndFeelPainter::GetSplitterOuterColor(false);
  }
  void DrawPrintPreviewBackground(TcxCanvas& ACanvas, const RECT& R) override;
  void DrawDropDownListBoxBackground(TcxCanvas& ACanvas, const RECT& ARect, bool AHasBorders) override;
  void DrawDropDownListBoxSelection(TcxCanvas& ACanvas, const RECT& ARect, const RECT& AGutterRect) override {
    (void)AGutterRect;
    ACanvas.FillRect(ARect, GetLightHotColor());
    ACanvas.FrameRect(ARect, clHighlight);
  }
  void DrawDropDownListBoxGutterBackground(TcxCanvas& ACanvas, const RECT& ARect) override {
    ACanvas.FillRect(ARect, clBtnFace);
  }
  void DrawDropDownListBoxSeparator(TcxCanvas& ACanvas, const RECT& ARect, const RECT& AGutterRect) override;
  TColor DropDownListBoxItemTextColor(bool ASelected) override { (void)ASelected; return kSystemColor | COLOR_MENUTEXT; }
  int BreadcrumbEditButtonAreaSeparatorSize() override { return 1; }
  RECT BreadcrumbEditButtonContentOffsets(bool AIsFirst, bool AIsLast) override;
  void DrawBreadcrumbEditBorders(TcxCanvas& ACanvas, const RECT& ARect, TcxBorders ABorders,
                                 TdxBreadcrumbEditState AState) override;
  void DrawBreadcrumbEditButtonAreaSeparator(TcxCanvas& ACanvas, const RECT& ARect,
                                             TdxBreadcrumbEditState AState) override {
    DrawBreadcrumbEditBorders(ACanvas, ARect, bLeft, AState);
  }
  void DrawBreadcrumbEditButton(TcxCanvas& ACanvas, const RECT& ARect, TdxBreadcrumbEditButtonState AState,
                                bool AIsFirst, bool AIsLast) override;
  void DrawBreadcrumbEditDropDownButton(TcxCanvas& ACanvas, const RECT& ARect, TdxBreadcrumbEditButtonState AState,
                                        bool AIsInEditor) override;
  SIZE GetBevelMinimalShapeSize(TdxBevelShape AShape) override { (void)AShape; return {1, 1}; }
  void GetBevelShapeColors(TColor& AColor1, TColor& AColor2) override {
    AColor1 = clBtnShadow;
    AColor2 = clNone;
  }
  // Appended by this style.
  virtual TColor FilterDropDownButtonBorderColor(TcxButtonState AState) {
    return AState == cxbsNormal ? clBtnShadow : clHighlight;
  }
  virtual void DrawBreadcrumbEditButtonArea(TcxCanvas& ACanvas, const RECT& R, TdxBreadcrumbEditButtonState AState,
                                            TcxBorders ABorders);
  virtual TColor MutedFrameColor() { return clBtnShadow; }
  virtual TColor StrongFrameColor() { return clBtnText; }
  virtual TColor BorderHighlightColor() { return clHighlight; }
};

// The Office 2003 style: scheme colours and vertical gradients on the
// single-line geometry; scroll bars and a few other elements borrowed from
// the native painter while it is registered.
class TcxOffice11LookAndFeelPainter : public TcxUltraFlatLookAndFeelPainter {
public:
  TVK_CLASS(TcxOffice11LookAndFeelPainter, TcxUltraFlatLookAndFeelPainter)
  // The scheme colours this style draws with.
  enum TRole {
    rFace, rLightFace, rBand1, rBand2, rSeparatorDark, rSeparatorLight, rFilterBox, rFilterBoxText,
    rListBackground, rBorder, rHighlightFrame, rSelected1, rSelected2, rPressed, rPressedStart, rText,
    rDisabledText, rGroupByBox, rGroup, rDateNavigatorSelection, rSchedulerBorder, rSchedulerControl
  };
  static TColor RoleColor(TRole ARole);

  WideString LookAndFeelName() override { return L"Office11"; }
  TcxLookAndFeelStyle LookAndFeelStyle() override { return lfsOffice11; }
  bool NeedRedrawOnResize() override { return true; }
  TColor DefaultHighlightedHeaderTextColor() override { return clHighlightText; }
  TColor DefaultDateNavigatorHeaderColor() override { return RoleColor(rFace); }
  TColor DefaultFooterColor() override { return RoleColor(rFace); }
  TColor DefaultTimeGridMinorScaleColor() override { return RoleColor(rFace); }
  TColor DefaultDateNavigatorSelectionColor() override { return RoleColor(rDateNavigatorSelection); }
  TColor DefaultDateNavigatorSelectionTextColor() override { return clWindowText; }
  TColor DefaultFilterBoxColor() override { return RoleColor(rFilterBox); }
  TColor DefaultFilterBoxTextColor() override { return RoleColor(rFilterBoxText); }
  TColor DefaultFooterTextColor() override { return DefaultHeaderTextColor(); }
  TColor DefaultGroupColor() override { return RoleColor(rGroup); }
  TColor DefaultGroupByBoxColor() override { return RoleColor(rGroupByBox); }
  TColor DefaultGroupByBoxTextColor() override { return RoleColor(rBand1); }
  TColor DefaultHeaderColor() override { return HeaderGradientStartColor(); }
  TColor DefaultHeaderBackgroundColor() override { return DefaultGroupByBoxColor(); }
  TColor DefaultSchedulerBorderColor() override { return RoleColor(rSchedulerBorder); }
  TColor DefaultSchedulerControlColor() override { return RoleColor(rSchedulerControl); }
  TColor DefaultTimeGridSelectionBarColor() override { return DefaultSchedulerControlColor(); }
  TColor DefaultTabColor() override { return RoleColor(rLightFace); }
  TColor DefaultTabsBackgroundColor() override { return DefaultTabColor(); }
  TColor FooterSeparatorColor() override { return HeaderShadowLineColor(); }
  TColor GetSplitterInnerColor(bool AHighlighted) override { (void)AHighlighted; return RoleColor(rSeparatorLight); }
  TColor GetSplitterOuterColor(bool AHighlighted) override {
    return RoleColor(AHighlighted ? rHighlightFrame : rSeparatorDark);
  }
  TColor BreadcrumbEditBackgroundColor(TdxBreadcrumbEditState AState) override {
    (void)AState;
    return HeaderGradientStartColor();
  }
  void GetBevelShapeColors(TColor& AColor1, TColor& AColor2) override {
    AColor1 = RoleColor(rSeparatorDark);
    AColor2 = RoleColor(rSeparatorLight);
  }
  SIZE GetBevelMinimalShapeSize(TdxBevelShape AShape) override { (void)AShape; return {2, 2}; }
  int SeparatorSize() override { return 2; }
  int SmallExpandButtonSize() override { return ExpandButtonSize(); }
  bool DrawExpandButtonFirst() override { return false; }
  TcxBorders HeaderBorders(TcxNeighbors ANeighbors) override { (void)ANeighbors; return cxBordersAll; }
  bool IsHeaderHotTrack() override { return true; }
  int GridBordersOverlapSize() override { return 0; }
  int NavigatorBorderSize() override { return 1; }

  TColor ButtonColor(TcxButtonState AState) override;
  TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor = clDefault) override;
  TColor CheckButtonColor(TcxButtonState AState) override;
  TColor RadioButtonBodyColor(TcxButtonState AState) override;
  void DrawBorder(TcxCanvas& ACanvas, const RECT& R) override { ACanvas.FrameRect(R, RoleColor(rBorder)); }
  void DoDrawSeparator(TcxCanvas& ACanvas, const RECT& R, bool AIsVertical) override;
  void DrawButtonBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) override;
  void DrawSortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) override;
  void DrawSummarySortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) override;
  // The scheme's 11 x 11 glyph with its corners tinted toward the background; AColor is not used.
  void DrawExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TColor AColor = clDefault) override;
  void DrawSmallExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TColor ABorderColor,
                             TColor AColor = clDefault) override {
    (void)ABorderColor;
    DrawExpandButton(ACanvas, R, AExpanded, AColor);
  }
  void DrawHeader(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds, TcxNeighbors ANeighbors,
                  TcxBorders ABorders, TcxButtonState AState, TAlignment AAlignmentHorz,
                  TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis, const WideString& AText,
                  TFont* AFont, TColor ATextColor, TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground = {},
                  bool AIsLast = false, bool AIsGroup = false) override;
  void DrawHeaderBorder(TcxCanvas& ACanvas, const RECT& R, TcxNeighbors ANeighbors, TcxBorders ABorders) override;
  void DrawHeaderControlSection(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds,
                                TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                bool AShowEndEllipsis, const WideString& AText, TFont* AFont, TColor ATextColor,
                                TColor ABkColor) override;
  void LayoutViewDrawRecordCaption(TcxCanvas& ACanvas, const RECT& ABounds, TcxGroupBoxCaptionPosition APosition,
                                   TcxButtonState AState) override;
  int ScrollBarMinimalThumbSize(bool AVertical) override;
  void DrawScrollBarPart(TcxCanvas& ACanvas, bool AHorizontal, const RECT& R, TcxScrollBarPart APart,
                         TcxButtonState AState) override;
  void DrawSchedulerNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) override;
  void DrawGroupBoxFrame(TcxCanvas& ACanvas, const RECT& R, bool AEnabled, TcxGroupBoxCaptionPosition ACaptionPosition,
                         TcxBorders ABorders = cxBordersAll) override;
  TColor GroupBoxTextColor(bool AEnabled, TcxGroupBoxCaptionPosition ACaptionPosition) override;
  void DrawSchedulerNavigationButtonContent(TcxCanvas& ACanvas, const RECT& ARect, const RECT& AArrowRect,
                                            bool AIsNextButton, TcxButtonState AState) override;
  void DrawSchedulerBorder(TcxCanvas& ACanvas, const RECT& R) override {
    ACanvas.FrameRect(R, DefaultSchedulerBorderColor());
  }
  void DrawMonthHeader(TcxCanvas& ACanvas, const RECT& ABounds, const WideString& AText, TcxNeighbors ANeighbors,
                       const TcxViewParams& AViewParams, TcxArrowDirections AArrows, int ASideWidth,
                       const TcxDrawBackgroundEvent& AOnDrawBackground = {}) override;
  void DrawDateNavigatorDateHeader(TcxCanvas& ACanvas, RECT& R) override {
    ACanvas.FillRect(R, DefaultDateNavigatorHeaderColor());
  }
  void DoDrawSizeGrip(TcxCanvas& ACanvas, const RECT& ARect) override;
  void DrawPanelBackground(TcxCanvas& ACanvas, TWinControl* AControl, const RECT& ABounds,
                           TColor AColorFrom = clDefault, TColor AColorTo = clDefault) override;
  void DrawLayoutControlBackground(TcxCanvas& ACanvas, const RECT& R) override;
  void DrawAlertWindowBackground(TcxCanvas& ACanvas, const RECT& ABounds) override;
  void DrawTrackBarTrackBounds(TcxCanvas& ACanvas, const RECT& ARect) override { ACanvas.FrameRect(ARect, clBtnText); }
  void DrawTrackBarThumbBorderBoth(TcxCanvas& ACanvas, const RECT& ARect) override {
    ACanvas.FrameRect(ARect, clBtnText);
  }
  void DrawTrackBarThumbBorderUpDown(TcxCanvas& ACanvas, const TPointArray& ALightPolyLine,
                                     const TPointArray& AShadowPolyLine, const TPointArray& ADarkPolyLine) override;
  void DrawBreadcrumbEditBorders(TcxCanvas& ACanvas, const RECT& ARect, TcxBorders ABorders,
                                 TdxBreadcrumbEditState AState) override {
    (void)AState;
    ACanvas.FrameRect(ARect, RoleColor(rBorder), 1, ABorders);
  }
  void DrawDropDownListBoxBackground(TcxCanvas& ACanvas, const RECT& ARect, bool AHasBorders) override;
  void DrawDropDownListBoxSelection(TcxCanvas& ACanvas, const RECT& ARect, const RECT& AGutterRect) override;
  void DrawDropDownListBoxSeparator(TcxCanvas& ACanvas, const RECT& ARect, const RECT& AGutterRect) override;
  void DrawDropDownListBoxGutterBackground(TcxCanvas& ACanvas, const RECT& ARect) override;

  // Redefined additions of the ultra-flat style.
  TColor FilterDropDownButtonBorderColor(TcxButtonState AState) override {
    return AState == cxbsNormal ? HeaderShadowLineColor() : RoleColor(rHighlightFrame);
  }
  void DrawBreadcrumbEditButtonArea(TcxCanvas& ACanvas, const RECT& R, TdxBreadcrumbEditButtonState AState,
                                    TcxBorders ABorders) override;
  TColor MutedFrameColor() override { return HeaderShadowLineColor(); }
  TColor StrongFrameColor() override { return clBtnText; }
  TColor BorderHighlightColor() override { return RoleColor(rHighlightFrame); }
  // Appended by this style.
  virtual TColor HeaderGradientEndColor() { return RoleColor(rBand2); }
  virtual TColor HeaderShadowLineColor() { return RoleColor(rSeparatorDark); }
  virtual TColor HeaderHighlightLineColor() { return RoleColor(rSeparatorLight); }
  virtual TColor HeaderGradientStartColor();

protected:
  void DrawContent(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds, TcxButtonState AState,
                   TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
                   const WideString& AText, TFont* AFont, TColor ATextColor, TColor ABkColor,
                   const TcxDrawBackgroundEvent& AOnDrawBackground, bool AIsFooter) override;
  // The registered native painter (null when there is none).
  TcxCustomLookAndFeelPainter* NativePainter();
};

// Draws through the system's visual styles; an element whose theme class the
// current style lacks (handle 0) is drawn as by the standard painter.
class TcxWinXPLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
  using inherited = TcxStandardLookAndFeelPainter;

public:
  TVK_CLASS(TcxWinXPLookAndFeelPainter, TcxStandardLookAndFeelPainter)
  WideString LookAndFeelName() override { return L"Native"; }
  TcxLookAndFeelStyle LookAndFeelStyle() override { return lfsNative; }
  bool NeedRedrawOnResize() override { return AreThemesAvailable(); }

  TColor DefaultSchedulerBorderColor() override;
  TColor DefaultSchedulerViewContentColor() override { return 0xD5FFFF; }
  void DrawArrow(TcxCanvas& ACanvas, const RECT& R, TcxArrowDirection AArrowDirection, TColor AColor) override {
    TcxCustomLookAndFeelPainter::DrawArrow(ACanvas, R, AArrowDirection, AColor);
  }
  void DrawArrow(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState, TcxArrowDirection AArrowDirection,
                 bool ADrawBorder = true) override;
  void DrawArrowBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) override;
  int BorderSize() override;
  void DrawBorder(TcxCanvas& ACanvas, const RECT& R) override;
  int SeparatorSize() override { return 6; }
  void DoDrawSeparator(TcxCanvas& ACanvas, const RECT& R, bool AIsVertical) override;
  int ButtonBorderSize(TcxButtonState AState = cxbsNormal) override;
  TColor ButtonColor(TcxButtonState AState) override;
  RECT ButtonFocusRect(TcxCanvas& ACanvas, const RECT& R) override;
  TColor ButtonSymbolColor(TcxButtonState AState, TColor ADefaultColor = clDefault) override;
  int ButtonTextOffset() override { return 2; }
  int ButtonTextShift() override { return 0; }
  void DrawButton(TcxCanvas& ACanvas, const RECT& R, const WideString& ACaption, TcxButtonState AState,
                  bool ADrawBorder = true, TColor AColor = clDefault, TColor ATextColor = clDefault,
                  bool AWordWrap = false, bool AIsToolButton = false) override;
  bool IsButtonHotTrack() override { return true; }
  void DrawExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TColor AColor = clDefault) override;
  bool DrawExpandButtonFirst() override { return false; }
  void DrawGroupExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TcxButtonState AState) override;
  void DrawSmallExpandButton(TcxCanvas& ACanvas, const RECT& R, bool AExpanded, TColor ABorderColor,
                             TColor AColor = clDefault) override;
  int ExpandButtonSize() override;
  int GroupExpandButtonSize() override;
  int SmallExpandButtonSize() override;
  bool IsPointOverGroupExpandButton(const RECT& R, POINT P) override;
  int CheckBorderSize() override;
  SIZE CheckButtonSize() override;
  void DrawCheck(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState, bool AChecked, TColor AColor) override;
  void DrawCheckBorder(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) override;
  void DrawRadioButton(TcxCanvas& ACanvas, int X, int Y, TcxButtonState AButtonState, bool AChecked, bool AFocused,
                       TColor ABrushColor, bool AIsDesigning = false) override;
  SIZE RadioButtonSize() override;

  void DrawHeader(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds, TcxNeighbors ANeighbors,
                  TcxBorders ABorders, TcxButtonState AState, TAlignment AAlignmentHorz,
                  TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis, const WideString& AText,
                  TFont* AFont, TColor ATextColor, TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground = {},
                  bool AIsLast = false, bool AIsGroup = false) override;
  void DrawHeaderPressed(TcxCanvas& ACanvas, const RECT& ABounds) override { (void)ACanvas, (void)ABounds; }
  void DrawHeaderControlSection(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& ATextAreaBounds,
                                TcxNeighbors ANeighbors, TcxBorders ABorders, TcxButtonState AState,
                                TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert, bool AMultiLine,
                                bool AShowEndEllipsis, const WideString& AText, TFont* AFont, TColor ATextColor,
                                TColor ABkColor) override;
  int HeaderBorderSize() override;
  int HeaderControlSectionBorderSize(TcxButtonState AState = cxbsNormal) override {
    (void)AState;
    return HeaderBorderSize();
  }
  RECT HeaderControlSectionContentBounds(const RECT& ABounds, TcxButtonState AState) override;
  bool IsHeaderHotTrack() override { return true; }
  POINT SortingMarkSize() override { return {7, 8}; }
  void DrawSortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) override {
    DrawSortingArrow(ACanvas, R, clBtnShadow, clBtnShadow, AAscendingSorting);
  }
  void DrawSummarySortingMark(TcxCanvas& ACanvas, const RECT& R, bool AAscendingSorting) override {
    DrawSummarySortingArrow(ACanvas, R, clBtnShadow, clBtnShadow, AAscendingSorting);
  }
  void DrawMonthHeader(TcxCanvas& ACanvas, const RECT& ABounds, const WideString& AText, TcxNeighbors ANeighbors,
                       const TcxViewParams& AViewParams, TcxArrowDirections AArrows, int ASideWidth,
                       const TcxDrawBackgroundEvent& AOnDrawBackground = {}) override;
  void DrawFooterBorder(TcxCanvas& ACanvas, const RECT& R) override;
  void DrawFooterCell(TcxCanvas& ACanvas, const RECT& ABounds, TAlignment AAlignmentHorz,
                      TcxAlignmentVert AAlignmentVert, bool AMultiLine, const WideString& AText, TFont* AFont,
                      TColor ATextColor, TColor ABkColor, const TcxDrawBackgroundEvent& AOnDrawBackground = {}) override;
  int FooterBorderSize() override;
  int FooterCellBorderSize() override;
  int FooterCellOffset() override;
  bool FooterDrawCellsFirst() override { return false; }

  void DrawFilterCloseButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) override;
  void DrawFilterDropDownButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState,
                                bool AIsFilterActive) override;
  POINT FilterActivateButtonSize() override;
  POINT FilterCloseButtonSize() override;
  void LayoutViewDrawRecordCaption(TcxCanvas& ACanvas, const RECT& ABounds, TcxGroupBoxCaptionPosition APosition,
                                   TcxButtonState AState) override;
  void DrawTab(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders, const WideString& AText, TcxButtonState AState,
               bool AVertical, TFont* AFont, TColor ATextColor, TColor ABkColor, bool AShowPrefix = false) override;
  void DrawTabBorder(TcxCanvas& ACanvas, const RECT& R, TcxBorder ABorder, TcxBorders ABorders,
                     bool AVertical) override;
  void DrawTabsRoot(TcxCanvas& ACanvas, const RECT& R, TcxBorders ABorders, bool AVertical) override;
  bool IsDrawTabImplemented(bool AVertical) override;
  bool IsTabHotTrack(bool AVertical) override;
  int TabBorderSize(bool AVertical) override;
  void DrawSplitter(TcxCanvas& ACanvas, const RECT& ARect, bool AHighlighted, bool AClicked,
                    bool AHorizontal) override {
    (void)ACanvas, (void)ARect, (void)AHighlighted, (void)AClicked, (void)AHorizontal;
  }
  void DrawIndicatorItem(TcxCanvas& ACanvas, const RECT& R, TcxIndicatorKind AKind, TColor AColor,
                         const TcxDrawBackgroundEvent& AOnDrawBackground = {}) override;
  int ScrollBarMinimalThumbSize(bool AVertical) override;
  void DrawScrollBarPart(TcxCanvas& ACanvas, bool AHorizontal, const RECT& R, TcxScrollBarPart APart,
                         TcxButtonState AState) override;
  SIZE SizeGripSize() override;
  void DoDrawSizeGrip(TcxCanvas& ACanvas, const RECT& ARect) override;
  SIZE SmallCloseButtonSize() override;

  void DrawSchedulerNavigationButtonContent(TcxCanvas& ACanvas, const RECT& ARect, const RECT& AArrowRect,
                                            bool AIsNextButton, TcxButtonState AState) override;
  void DrawSchedulerEventProgress(TcxCanvas& ACanvas, const RECT& ABounds, const RECT& AProgress,
                                  const TcxViewParams& AViewParams, bool ATransparent) override;
  RECT SchedulerEventProgressOffsets() override { return {3, 3, 3, 3}; }
  void DrawSchedulerNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxButtonState AState) override;
  void DrawSchedulerSplitterBorder(TcxCanvas& ACanvas, const RECT& R, const TcxViewParams& AViewParams,
                                   bool AIsHorizontal) override;
  void DrawGroupBoxFrame(TcxCanvas& ACanvas, const RECT& R, bool AEnabled, TcxGroupBoxCaptionPosition ACaptionPosition,
                         TcxBorders ABorders = cxBordersAll) override;
  TColor GroupBoxTextColor(bool AEnabled, TcxGroupBoxCaptionPosition ACaptionPosition) override;
  void DrawPanelBackground(TcxCanvas& ACanvas, TWinControl* AControl, const RECT& ABounds,
                           TColor AColorFrom = clDefault, TColor AColorTo = clDefault) override;
  void DrawEditPopupWindowBorder(TcxCanvas& ACanvas, RECT& R, TcxEditPopupBorderStyle ABorderStyle,
                                 bool AClientEdge) override;
  int GetEditPopupWindowBorderWidth(TcxEditPopupBorderStyle AStyle) override { (void)AStyle; return 1; }
  int GetEditPopupWindowClientEdgeWidth(TcxEditPopupBorderStyle AStyle) override { (void)AStyle; return 2; }
  TColor GetHintBorderColor() override;
  void DrawHintBackground(TcxCanvas& ACanvas, const RECT& ARect, TColor AColor = clDefault) override;
  TColor ScreenTipGetDescriptionTextColor() override;
  TColor ScreenTipGetTitleTextColor() override { return ScreenTipGetDescriptionTextColor(); }
  void CorrectThumbRect(TcxCanvas& ACanvas, RECT& ARect, bool AHorizontal, TcxTrackBarTicksAlign ATicks) override;
  void DrawTrackBarTrack(TcxCanvas& ACanvas, const RECT& ARect, const RECT& ASelection, bool AShowSelection,
                         bool AEnabled, bool AHorizontal, TColor ATrackColor) override;
  void DrawTrackBarThumb(TcxCanvas& ACanvas, const RECT& ARect, TcxButtonState AState, bool AHorizontal,
                         TcxTrackBarTicksAlign ATicks, TColor AThumbColor) override;

  void DrawDateNavigatorDateHeader(TcxCanvas& ACanvas, RECT& R) override;
  POINT NavigatorButtonPressedGlyphOffset() override { return {0, 0}; }
  SIZE NavigatorButtonMinSize() override { return {18, 19}; }
  TColor DropDownListBoxItemTextColor(bool ASelected) override;
  int DropDownListBoxSeparatorSize() override;
  void DrawDropDownListBoxBackground(TcxCanvas& ACanvas, const RECT& ARect, bool AHasBorders) override;
  void DrawDropDownListBoxGutterBackground(TcxCanvas& ACanvas, const RECT& ARect) override;
  void DrawDropDownListBoxSelection(TcxCanvas& ACanvas, const RECT& ARect, const RECT& AGutterRect) override;
  void DrawDropDownListBoxSeparator(TcxCanvas& ACanvas, const RECT& ARect, const RECT& AGutterRect) override;
  TColor BreadcrumbEditBackgroundColor(TdxBreadcrumbEditState AState) override {
    (void)AState;
    return DefaultContentColor();
  }
  RECT BreadcrumbEditBordersSize() override { return {1, 1, 1, 1}; }
  RECT BreadcrumbEditButtonContentOffsets(bool AIsFirst, bool AIsLast) override;
  bool BreadcrumbEditIsFadingSupports() override { return true; }
  SIZE BreadcrumbEditProgressChunkOverlaySize() override;
  RECT BreadcrumbEditProgressChunkPadding() override { return {0, 0, 0, 0}; }
  void DrawBreadcrumbEditBorders(TcxCanvas& ACanvas, const RECT& ARect, TcxBorders ABorders,
                                 TdxBreadcrumbEditState AState) override;
  void DrawBreadcrumbEditButtonAreaSeparator(TcxCanvas& ACanvas, const RECT& ARect,
                                             TdxBreadcrumbEditState AState) override {
    (void)ACanvas, (void)ARect, (void)AState;
  }
  void DrawBreadcrumbEditButton(TcxCanvas& ACanvas, const RECT& ARect, TdxBreadcrumbEditButtonState AState,
                                bool AIsFirst, bool AIsLast) override;
  void DrawBreadcrumbEditDropDownButton(TcxCanvas& ACanvas, const RECT& ARect, TdxBreadcrumbEditButtonState AState,
                                        bool AIsInEditor) override {
    (void)AIsInEditor;
    DrawBreadcrumbEditButton(ACanvas, ARect, AState, true, true);
  }
  void DrawBreadcrumbEditNode(TcxCanvas& ACanvas, const RECT& R, TdxBreadcrumbEditButtonState AState,
                              bool AHasDelimiter) override;
  void DrawBreadcrumbEditNodeDelimiter(TcxCanvas& ACanvas, const RECT& R,
                                       TdxBreadcrumbEditButtonState AState) override;
  void DrawBreadcrumbEditNodeDelimiterGlyph(TcxCanvas& ACanvas, const RECT& R,
                                            TdxBreadcrumbEditButtonState AState) override;
  void DrawBreadcrumbEditNodeMoreButtonGlyph(TcxCanvas& ACanvas, const RECT& R,
                                             TdxBreadcrumbEditButtonState AState) override {
    DrawCollapseArrow(ACanvas, R, BreadcrumbEditNodeTextColor(AState), ScaleByScreenDPI(2));
  }
  void DrawBreadcrumbEditProgressChunk(TcxCanvas& ACanvas, const RECT& R) override;
  void DrawBreadcrumbEditProgressChunkOverlay(TcxCanvas& ACanvas, const RECT& R) override;
  int AlertWindowCornerRadius() override { return 5; }
  SIZE GetBevelMinimalShapeSize(TdxBevelShape AShape) override { (void)AShape; return {6, 6}; }
  void DrawBevelFrame(TcxCanvas& ACanvas, const RECT& R, TColor AColor1, TColor AColor2, bool ABoxStyle) override;
  void DrawBevelLine(TcxCanvas& ACanvas, const RECT& R, TColor AColor1, TColor AColor2, bool AIsVertical) override;

  // Appended by this style.
  virtual void DrawBreadcrumbEditThemedButton(TcxCanvas& ACanvas, const RECT& R, TdxBreadcrumbEditButtonState AState,
                                              TcxBorders ABorders);
  virtual void DrawThemedContentText(TcxCanvas& ACanvas, HTHEME ATheme, int APartId, int AStateId,
                                     const RECT& AClipRect, const RECT& ATextRect, TAlignment AAlignmentHorz,
                                     TcxAlignmentVert AAlignmentVert, bool AMultiLine, bool AShowEndEllipsis,
                                     bool AShowPrefix, const WideString& AText, TFont* AFont, TColor ATextColor,
                                     TColor ABkColor);

  // A colour of the theme: false without a handle or when the query fails.
  static bool TryGetThemeColor(TdxThemedObjectType AType, int APartId, int AStateId, int APropId, TColor& AColor);
  // The native state of a button state (default 5, normal 1, hot 2, pressed 3, disabled 4).
  static int ButtonStateToNativeState(TcxButtonState AState);
};

// ---- The registry

// {76678442-2C4B-48B9-E4E3-B60A4128EB23}
inline constexpr GUID IID_IcxLookAndFeelPainterListener = {
    0x76678442, 0x2C4B, 0x48B9, {0xE4, 0xE3, 0xB6, 0x0A, 0x41, 0x28, 0xEB, 0x23}};
struct IcxLookAndFeelPainterListener {
  virtual void PainterRegistered(TcxCustomLookAndFeelPainter* APainter) = 0;
  virtual void PainterUnregistering(TcxCustomLookAndFeelPainter* APainter) = 0;

protected:
  ~IcxLookAndFeelPainterListener() = default;
};

// Owns the registered painters, kept sorted by name.
class TcxLookAndFeelPaintersManager : public TObject {
public:
  TVK_CLASS(TcxLookAndFeelPaintersManager, TObject)
  TcxLookAndFeelPaintersManager();
  ~TcxLookAndFeelPaintersManager() override;

  // Takes APainter over. A name already registered (ignoring ASCII case)
  // frees it and answers false: the caller must not use it afterwards.
  bool Register(TcxCustomLookAndFeelPainter* APainter);
  bool Register(std::unique_ptr<TcxCustomLookAndFeelPainter> APainter) { return Register(APainter.release()); }
  // Announces the removal while the painter still lives, then frees it.
  bool Unregister(const WideString& AName);
  // The first in name order.
  bool GetPainter(TcxLookAndFeelStyle AStyle, TcxCustomLookAndFeelPainter*& APainter) const;
  TcxCustomLookAndFeelPainter* GetPainter(TcxLookAndFeelStyle AStyle) const;
  bool GetPainter(const WideString& AName, TcxCustomLookAndFeelPainter*& APainter) const;
  TcxCustomLookAndFeelPainter* GetPainter(const WideString& AName) const;
  void AddListener(IcxLookAndFeelPainterListener* AListener);
  void RemoveListener(IcxLookAndFeelPainterListener* AListener);
  int Count() const { return FPainters->Count(); }
  TcxCustomLookAndFeelPainter* Items(int AIndex) const {
    return static_cast<TcxCustomLookAndFeelPainter*>(FPainters->Items(AIndex));
  }
  int ListenerCount() const { return int(FListeners.size()); }

private:
  void Sort();
  void NotifyAdded(TcxCustomLookAndFeelPainter* APainter);
  void NotifyRemoving(TcxCustomLookAndFeelPainter* APainter);

  std::unique_ptr<TcxObjectList> FPainters;
  std::vector<IcxLookAndFeelPainterListener*> FListeners;
};

// The process's registry (null before the unit's start and after its stop).
TcxLookAndFeelPaintersManager* cxLookAndFeelPaintersManager();
// The locale-aware, case-sensitive comparison the registry sorts by.
int ComparePaintersByName(TcxCustomLookAndFeelPainter* AItem1, TcxCustomLookAndFeelPainter* AItem2);

// ---- Glyph caches

// The radio-button images of every style, state and flag, built from a
// pattern measured on the system's own radio button.
class TcxRadioButtonImageList : public TObject {
public:
  TVK_CLASS(TcxRadioButtonImageList, TObject)
  TcxRadioButtonImageList();
  ~TcxRadioButtonImageList() override;
  void Prepare();
  void Reset();
  SIZE GetSize() const { return {FList->Width(), FList->Height()}; }
  void Draw(TcxCanvas& ACanvas, int X, int Y, TColor ABrushColor, TcxLookAndFeelKind ALookAndFeelKind,
            TcxButtonState AButtonState, bool AChecked, bool AFocused, bool AIsDesigning);
  int ImageCount() { return FList->Count(); }
  // The pattern code of a pixel (0 outside, 1..4 rings, 5 body, 6 dot).
  int PatternCode(int ARow, int AColumn) const { return FRadioButtonPattern[ARow][AColumn]; }
  const RECT& RadioButtonRect() const { return FRadioButtonRect; }
  const RECT& RadioButtonCheckRect() const { return FRadioButtonCheckRect; }
  TBitmap& ButtonMask() { return *FButtonMask; }
  // The image's position in the list (cxbsDefault takes cxbsNormal's).
  static int ImageIndex(TcxButtonState AState, bool AChecked, TcxLookAndFeelKind AKind, bool AIsDesigning,
                        bool AFocused);
  // The colour of each pattern code for one combination.
  static std::array<TColor, 7> RadioButtonImageColors(TcxLookAndFeelKind AKind, TcxButtonState AState, bool AChecked,
                                                     bool AFocused, bool AIsDesigning);

private:
  void MeasureRadioButtonGlyph();
  void CreateRadioButtonMask();
  void BuildRadioButtonPattern();

  std::unique_ptr<TBitmap> FButtonMask;
  std::unique_ptr<TImageList> FList;
  RECT FRadioButtonCheckRect{};
  std::vector<std::vector<uint8_t>> FRadioButtonPattern;
  RECT FRadioButtonRect{};
};

// Created and prepared on first use; null once the unit's stop began.
TcxRadioButtonImageList* GetRadioButtonImageList();
// The image-index map (empty until the images are prepared).
const std::vector<int>& RadioButtonImageIndexMap();
// The check-box glyph size measured at start-up.
SIZE CheckBoxGlyphSize();
// The six indicator images (null before start-up or when none could be loaded).
TImageList* IndicatorImages();
// The scroll-bar track patterns, 8 x 8 (index 0: face and highlight; 1: black and dark shadow).
TBitmap* ScrollBarPatternBitmap(int AIndex);
// Creates them when missing and paints them with the current system colours.
void PaintScrollBarPatternBitmaps();
// The unit's primary palette notifier (null outside start-up and shut-down).
TObject* PaintersPaletteNotifier();

void cxLookAndFeelPaintersUnitStart();
void cxLookAndFeelPaintersUnitStop();

}  // namespace tvk
