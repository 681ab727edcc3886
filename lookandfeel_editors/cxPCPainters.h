#pragma once
// The nine tab painter styles that the painters unit registers, with their
// class-level answers (identifier, name, standard style, look-and-feel
// binding), on the two unregistered bases that answer per standard style.
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "cxPCCustomPainter.h"
#include "dxThemeManager.h"

#include <initializer_list>
#include <memory>
#include <vector>

namespace tvk {

// What a navigator glyph is drawn with.
struct TcxPCNavigatorGlyphParams {
  TColor FillColor = clDefault;
  TColor LineColor = clDefault;
  bool Enabled = true;
  bool Thin = false;  // the close cross in its one-pixel form
};

// The platform answers the painters branch on; tests replace them.
struct TcxPCPlatformQueries {
  bool (*VistaOrLater)() = nullptr;
  bool (*Win7OrLater)() = nullptr;
};
TcxPCPlatformQueries& cxPCPlatformQueries();

// The button face with each channel raised by 20 (236 and above give 255),
// taken once when the painters unit starts.
TColor LightButtonFaceColor();
// The four OneNote colours, read again on every system palette change.
struct TcxOneNoteColors {
  TColor Frame, InactiveOutline, HotOutline, InactiveTint;
};
const TcxOneNoteColors& OneNoteColors();
void PrepareOneNoteColors();
// How many times the OneNote colours were read since the process started.
int OneNoteColorsPreparedCount();
// Whether the painters unit's palette notifier exists (between start and stop).
bool IsPCPaletteNotifierPresent();

// Hue (0..360), saturation and brightness (0..100) in extended precision.
struct TcxHSB {
  long double H, S, B;
};
TcxHSB ColorToHSB(TColor AColor);
TColor HSBToColor(const TcxHSB& AHSB);
TColor RaiseColorBrightness(TColor AColor, int APercent);

// Keeps the OneNote colours current.
class TcxPaletteChangedNotifier : public TcxSystemPaletteChangedNotifier {
public:
  TVK_CLASS(TcxPaletteChangedNotifier, TcxSystemPaletteChangedNotifier)
  using Inherited::Inherited;
  void NotifyPaletteChange() override;
};

// The base of the nine styles: navigator buttons, close buttons, the page
// frame, the tab metrics by standard style and buffered tab painting.
class TcxPCStandardPainter : public TcxPCCustomPainter {
public:
  TVK_PC_PAINTER(TcxPCStandardPainter, TcxPCCustomPainter)
  static bool IsStandardStyle(TcxPCPainterClass) { return true; }
  static bool IsMainTabBoundWithClient(TcxPCPainterClass Self) { return Self->GetStandardStyle() == tsTabs; }
  static bool IsMultiSelectionAccepted(TcxPCPainterClass Self) { return Self->GetStandardStyle() != tsTabs; }
  static bool IsTabPressable(TcxPCPainterClass Self) { return Self->GetStandardStyle() != tsTabs; }

  // ---- New operations, in order
  virtual int MeasureTabWidthFromContent(int ATab);
  virtual void GetNavigatorGlyphParams(TcxPCNavigatorButton AKind, TcxPCNavigatorButtonState AState,
                                       TcxPCNavigatorGlyphParams& AParams);
  virtual void CalculateNavigatorArea(TcxPCNavigatorButtons AButtons);
  virtual void PlaceNavigatorButtons(TcxPCNavigatorButtons AButtons);
  virtual int GetNavigatorAreaLength(TcxPCNavigatorButtons AButtons);
  virtual TColor GetNavigatorButtonColor(TcxPCNavigatorButtonState AState);
  virtual TColor GetNavigatorGlyphColor(TcxPCNavigatorButtonState AState);
  virtual void GetNavigatorGlyphPosition(const RECT& R, TcxPCNavigatorButton AKind, POINT& APoint,
                                         TcxPCNavigatorButtonState AState);
  virtual int GetNavigatorButtonThickness() { return 20; }
  virtual int GetNavigatorButtonLength(TcxPCNavigatorButton AKind);
  virtual int GetStandardTabHeight();
  virtual int GetTabIndent();
  virtual int GetDefaultMinTabWidth() { return 42; }
  virtual void GetFrameBounds(RECT& R);
  virtual int GetMinFrameSize() { return 2 * GetFrameWidth(); }
  virtual int GetTabInnerMargin(int ATab);
  virtual int GetTabImageAreaLength(int ATab);
  virtual int GetTabWidthWithoutText(int ATab);
  virtual void GetTabsBoundsOffsets(RECT& R) { R = {}; }
  virtual int MeasureTabCaptionWidth(int ATab);
  virtual int MeasureTabContentHeight();
  virtual void PaintTabFocusFrame(TcxCanvas& ACanvas, int ATab, const RECT& R);
  virtual void PaintTabBuffered(TcxCanvas& ACanvas, int ATab);
  virtual void FillNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxPCNavigatorButtonState AState);
  virtual void PaintNavigatorButtonFrame(TcxCanvas& ACanvas, RECT& R, TcxPCNavigatorButtonState AState);
  virtual void DrawFrameInRect(TcxCanvas& ACanvas, const RECT& R);
  virtual void PaintTabShape(TcxCanvas& ACanvas, int ATab) = 0;

  // ---- Overrides
  int MeasureTabNormalWidth(TcxTabViewInfo* ATabViewInfo) override;
  void ApplyMinTabWidth(int& AWidth) override;
  void DrawCloseButtonGlyph(TcxCanvas& ACanvas, const RECT& R, TcxPCNavigatorButtonState AState) override;
  void GetCloseButtonSize(SIZE& ASize) override;
  void GetFrameRect(RECT& R) override;
  void GetTabImageOffsets(int ATab, RECT& AOffsets) override;
  void GetTabTextOffsets(int ATab, RECT& AOffsets) override;
  void GetTabContentOffsets(int ATab, TcxPCDistance& AOffsets) override;
  void GetTabContentOffsetsLongText(int ATab, TcxPCDistance& AOffsets) override;
  void GetTabImageOnlyOffsets(int ATab, TcxPCDistance& AOffsets) override;
  int GetFrameWidth() override { return 2; }
  void GetGoDialogPopupPosition(SIZE AMenuSize, POINT& APoint) override;
  int GetImageTextDistance(int) override { return 6; }
  int GetTabMinWidth(int ATab) override;
  void GetOwnerSizeMetric(TcxPCDistance& AMetric) override { AMetric = {4, 4}; }
  void GetTabsGap(TcxPCDistance& AGap) override;
  void CalculateTabsPosition(TcxPCNavigatorButtons AButtons, TcxPCTabsPosition& APosition) override;
  void DrawTab(TcxCanvas& ACanvas, int ATab) override;
  bool IsTabActiveLook(int ATab) override;
  void PaintNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxPCNavigatorButton AKind,
                            TcxPCNavigatorButtonState AState) override;
  void PaintNavigatorButtons(TcxCanvas& ACanvas) override;
  void PaintFrame(TcxCanvas& ACanvas) override;
  void PaintTab(TcxCanvas& ACanvas, int ATab) override;
  void PaintTabs(TcxCanvas& ACanvas) override;
  void InvalidateNavigatorButtons() override;
  void RepaintTab(int ATab, int AChange) override;
  int CalculateTabNormalHeight() override;

  // ---- Shared services
  int GetNavigatorButtonsLength();
  void GetCenteredGlyphPosition(const RECT& R, TcxPCNavigatorButton AKind, POINT& APoint,
                                TcxPCNavigatorButtonState AState);
  void GetFixedGlyphPosition(TcxPCNavigatorButton AKind, POINT& APoint, TcxPCNavigatorButtonState AState);
  SIZE GetGlyphSize(TcxPCNavigatorButton AKind) const;
  TcxArrowDirection GetArrowDirection(TcxPCNavigatorButton AKind) const;
  void DrawNavigatorGlyph(TcxCanvas& ACanvas, TcxPCNavigatorButton AKind, POINT ACorner,
                          const TcxPCNavigatorGlyphParams& AParams);
  static void Draw3DFrame(TcxCanvas& ACanvas, const RECT& R, bool AFlat, bool APressed);
  // One-pixel lines on the four sides: left and top, right and bottom.
  static void DrawFrameSides(TcxCanvas& ACanvas, const RECT& R, TColor ALeftTop, TColor ARightBottom);
  bool IsHorizontalTabs() const;
  TcxTabPosition Position() const;
  bool HasGradientOption() const;
  const RECT& ButtonsRect() const { return FButtonsRect; }

private:
  void DrawArrowGlyph(TcxCanvas& ACanvas, TcxPCNavigatorButton AKind, POINT ACorner);
  void DrawCloseGlyph(TcxCanvas& ACanvas, POINT ACorner, bool AThin);
  RECT FButtonsRect{};
};

// The base of the two button styles.
class TcxPCButtonedPainter : public TcxPCStandardPainter {
public:
  TVK_PC_PAINTER(TcxPCButtonedPainter, TcxPCStandardPainter)
  explicit TcxPCButtonedPainter(TcxCustomTabControlViewInfo* AViewInfo);
  ~TcxPCButtonedPainter() override;
  TBitmap* MainTabBrushBitmap() const { return FMainTabBrushBitmap.get(); }

  void PaintTabFocusRect(TcxCanvas& ACanvas, int ATab) override;
  int GetNavigatorEdgeOffset() override;
  int GetNavigatorEndOffset() override;
  void GetTabImageOnlyOffsets(int ATab, TcxPCDistance& AOffsets) override;
  TcxCustomLookAndFeelPainter* GetLookAndFeelPainter() override;
  TColor GetTabColor(int ATab) override;
  void GetTabContentOffsets(int ATab, TcxPCDistance& AOffsets) override;
  void GetTabContentOffsetsLongText(int ATab, TcxPCDistance& AOffsets) override { GetTabContentOffsets(ATab, AOffsets); }
  void GetTabsContainerMargins(RECT& AMargins) override { AMargins = {2, 2, 2, 0}; }
  void CalculateTabsAreaMargins(RECT& AMargins) override;
  bool IsTabActiveLook(int ATab) override;
  bool UsesLookAndFeelCloseButton() override { return true; }
  void GetNavigatorGlyphPosition(const RECT& R, TcxPCNavigatorButton AKind, POINT& APoint,
                                 TcxPCNavigatorButtonState AState) override;

protected:
  void AdjustPressedContentOffsets(int ATab, TcxPCDistance& AOffsets);

private:
  std::unique_ptr<TBitmap> FMainTabBrushBitmap;
};

// The identifier, name and standard style of a registered style.
#define TVK_PC_STYLE(Id, Name, Standard)                                              \
  static TcxPCStyleID GetStyleID(TcxPCPainterClass) { return Id; }                    \
  static WideString GetStyleName(TcxPCPainterClass) { return Name; }                  \
  static TcxPCStandardStyle GetStandardStyle(TcxPCPainterClass) { return Standard; }

class TcxPCTabsPainter : public TcxPCStandardPainter {
public:
  TVK_PC_PAINTER(TcxPCTabsPainter, TcxPCStandardPainter)
  TVK_PC_STYLE(1, L"Tabs", tsTabs)
  static bool HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel);
  static bool IsDefault(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel);

  // ---- New operations, in order
  virtual int GetNativeNavigatorButtonThickness();
  virtual void CalculateTabFocusRect(const RECT& ABounds, RECT& AResult);
  virtual void DrawNativeTab(HDC DC, int ATab, const RECT& R);
  virtual void PaintNativeTabBitmap(TcxBitmap& ABitmap, int ATab);
  virtual void PaintNativeTabBackground(TcxBitmap& ABitmap, const RECT& R, int ATab);
  virtual int GetNativeNavigatorButtonsDistance(TcxPCNavigatorButton AKind, TcxPCNavigatorButton AOtherKind);
  virtual void GetTabCornerColors(int ATab, TColor& AColor1, TColor& AColor2);
  virtual void PaintTabCorners(TcxCanvas& ACanvas, int ATab);
  virtual void PaintTabOutline(TcxCanvas& ACanvas, int ATab);
  virtual void PaintNativePage(TcxCanvas& ACanvas);

  // ---- Overrides
  bool UseNativePainting() override;
  TcxCustomLookAndFeelPainter* GetLookAndFeelPainter() override;
  void GetTabRectExtension(int ATab, RECT& AOffsets) override;
  void PaintTabFocusRect(TcxCanvas& ACanvas, int ATab) override;
  void PaintNativePageBackground(HDC DC) override;
  int GetNavigatorButtonsDistance(TcxPCNavigatorButton AKind, TcxPCNavigatorButton AOtherKind) override;
  int GetNavigatorEdgeOffset() override;
  int GetNavigatorEndOffset() override;
  void GetCloseButtonMargins(int ATab, RECT& AMargins) override;
  void GetPageClientRectOffset(RECT& AOffsets) override;
  void GetTabImageOffsets(int ATab, RECT& AOffsets) override;
  void GetTabTextOffsets(int ATab, RECT& AOffsets) override;
  void GetTabImageOnlyOffsets(int ATab, TcxPCDistance& AOffsets) override;
  void GetFrameWidths(RECT& AWidths) override;
  TColor GetTabColor(int ATab) override;
  std::unique_ptr<TcxRegion> GetTabClipRegion(TcxCanvas& ACanvas, int ATab) override;
  TcxRegionOperation GetTabClipOperation(int ATab) override;
  void GetTabContentOffsets(int ATab, TcxPCDistance& AOffsets) override;
  void GetTabContentOffsetsLongText(int ATab, TcxPCDistance& AOffsets) override { GetTabContentOffsets(ATab, AOffsets); }
  void GetTabNativePartAndState(int ATab, int& APart, int& AState) override;
  void GetTabsContainerMargins(RECT& AMargins) override { AMargins = {2, 2, 2, 0}; }
  void CalculateTabsPosition(TcxPCNavigatorButtons AButtons, TcxPCTabsPosition& APosition) override;
  void CalculateTabsAreaMargins(RECT& AMargins) override;
  void InvalidateTab(int ATab) override;
  bool IsPointInTab(int, int, int) override { return true; }
  bool HasFrame() override { return true; }
  void PaintNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxPCNavigatorButton AKind,
                            TcxPCNavigatorButtonState AState) override;
  void PaintFrame(TcxCanvas& ACanvas) override;
  void PaintTabs(TcxCanvas& ACanvas) override;
  void RepaintTab(int ATab, int AChange) override;
  bool UsesLookAndFeelCloseButton() override { return true; }
  void PaintPageClientArea(TcxCanvas& ACanvas) override;
  void GetNavigatorGlyphPosition(const RECT& R, TcxPCNavigatorButton AKind, POINT& APoint,
                                 TcxPCNavigatorButtonState AState) override;
  int GetNavigatorButtonThickness() override;
  int GetNavigatorButtonLength(TcxPCNavigatorButton AKind) override;
  int GetMinFrameSize() override;
  int MeasureTabContentHeight() override;
  void PaintTabBuffered(TcxCanvas& ACanvas, int ATab) override;
  void PaintTabShape(TcxCanvas& ACanvas, int ATab) override;

  // The theme part and state of a navigator button; the themed type goes to AType.
  void GetNativeButtonPart(TcxPCNavigatorButton AKind, TcxPCNavigatorButtonState AState, TdxThemedObjectType& AType,
                           int& APart, int& AState2);
  void DrawNativeNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxPCNavigatorButton AKind,
                                 TcxPCNavigatorButtonState AState);
};

class TcxPCButtonsPainter : public TcxPCButtonedPainter {
public:
  TVK_PC_PAINTER(TcxPCButtonsPainter, TcxPCButtonedPainter)
  TVK_PC_STYLE(2, L"Buttons", tsButtons)
  bool IsTabActiveLook(int ATab) override;
  void PaintTabShape(TcxCanvas& ACanvas, int ATab) override;
};

class TcxPCFlatButtonsPainter : public TcxPCButtonedPainter {
public:
  TVK_PC_PAINTER(TcxPCFlatButtonsPainter, TcxPCButtonedPainter)
  TVK_PC_STYLE(3, L"FlatButtons", tsFlatButtons)
  void PaintTab(TcxCanvas& ACanvas, int ATab) override;
  void PaintTabShape(TcxCanvas& ACanvas, int ATab) override;
  bool NeedsTabSeparator(int ATab);
  void PaintTabSeparator(TcxCanvas& ACanvas, int ATab);
};

class TcxPCExtraFlatPainter : public TcxPCStandardPainter {
public:
  TVK_PC_PAINTER(TcxPCExtraFlatPainter, TcxPCStandardPainter)
  TVK_PC_STYLE(5, L"ExtraFlat", tsTabs)
  static bool IsMainTabBoundWithClient(TcxPCPainterClass) { return true; }
  static bool IsMultiSelectionAccepted(TcxPCPainterClass) { return false; }
  static bool IsTabPressable(TcxPCPainterClass) { return false; }

  // ---- New operations, in order
  virtual int GetRowEdgeWidth() { return 3; }
  virtual void CalculateFocusedTabFocusRect(RECT& R);
  virtual void GetTabSeparatorMargins(TcxPCDistance& AMargins) { AMargins = {2, 2}; }
  virtual void PaintTabBody(TcxCanvas& ACanvas, const RECT& R, int ATab);
  virtual void AdjustPageClientTop(RECT& AOffsets);
  virtual TColor GetActiveTabColor();
  virtual void GetTabsPageStripRect(RECT& R);
  virtual void GetTabBandRect(int ATab, bool ARow, RECT& R);
  virtual int GetTabSeparatorWidth() { return 1; }
  virtual TColor GetTabsAreaColor();
  virtual bool IsTabsAreaFramed() { return false; }
  virtual void PaintActiveTabEdges(TcxCanvas& ACanvas, const RECT& R);
  virtual void DrawTabSeparatorBar(TcxCanvas& ACanvas, const RECT& R);
  virtual void PaintRowEdge(TcxCanvas& ACanvas, RECT& R, int ARow);

  // ---- Overrides
  int MeasureTabNormalWidth(TcxTabViewInfo* ATabViewInfo) override;
  void ApplyMinTabWidth(int& AWidth) override { AWidth += 12; }
  void GetTabRectExtension(int ATab, RECT& AOffsets) override;
  void PaintTabFocusRect(TcxCanvas& ACanvas, int ATab) override;
  int GetNavigatorButtonsDistance(TcxPCNavigatorButton AKind, TcxPCNavigatorButton AOtherKind) override;
  int GetNavigatorEdgeOffset() override { return 6; }
  int GetNavigatorEndOffset() override;
  void GetCloseButtonMargins(int ATab, RECT& AMargins) override;
  TColor GetBackgroundColor() override { return clBtnFace; }
  void GetPageClientRectOffset(RECT& AOffsets) override;
  TColor GetDefaultPageClientColor() override;
  void GetTabImageOffsets(int ATab, RECT& AOffsets) override;
  void GetTabTextOffsets(int ATab, RECT& AOffsets) override;
  int GetFrameWidth() override { return 1; }
  int GetTabMinWidth(int ATab) override { return GetTabWidthWithoutText(ATab); }
  TColor GetTabColor(int ATab) override;
  void GetTabContentOffsets(int ATab, TcxPCDistance& AOffsets) override;
  void GetTabContentOffsetsLongText(int ATab, TcxPCDistance& AOffsets) override { GetTabContentOffsets(ATab, AOffsets); }
  void GetTabsGap(TcxPCDistance& AGap) override;
  void CalculateTabsPosition(TcxPCNavigatorButtons AButtons, TcxPCTabsPosition& APosition) override;
  void CalculateTabsAreaMargins(RECT& AMargins) override;
  bool PaintTabsFirst() override { return false; }
  bool IsTabsAreaVisible(TcxCanvas&) override { return true; }
  void PaintFrame(TcxCanvas& ACanvas) override;
  void PaintTabs(TcxCanvas& ACanvas) override;
  void RepaintTab(int ATab, int AChange) override;
  void PaintPageClientArea(TcxCanvas& ACanvas) override;
  int CalculateTabNormalHeight() override;
  void GetNavigatorGlyphParams(TcxPCNavigatorButton AKind, TcxPCNavigatorButtonState AState,
                               TcxPCNavigatorGlyphParams& AParams) override;
  TColor GetNavigatorButtonColor(TcxPCNavigatorButtonState AState) override;
  TColor GetNavigatorGlyphColor(TcxPCNavigatorButtonState AState) override;
  void GetNavigatorGlyphPosition(const RECT& R, TcxPCNavigatorButton AKind, POINT& APoint,
                                 TcxPCNavigatorButtonState AState) override;
  int GetNavigatorButtonThickness() override { return 13; }
  int GetNavigatorButtonLength(TcxPCNavigatorButton) override { return 13; }
  int GetStandardTabHeight() override { return 17; }
  int GetTabIndent() override { return 2; }
  int GetTabInnerMargin(int) override { return 0; }
  int GetTabImageAreaLength(int) override { return GetImageAreaWidth() + 4; }
  int MeasureTabCaptionWidth(int ATab) override { return TcxPCStandardPainter::MeasureTabCaptionWidth(ATab) - 3; }
  int MeasureTabContentHeight() override { return TcxPCStandardPainter::MeasureTabContentHeight() - 3; }
  void PaintNavigatorButtonFrame(TcxCanvas& ACanvas, RECT& R, TcxPCNavigatorButtonState AState) override;
  void PaintTabShape(TcxCanvas& ACanvas, int ATab) override;

  // ---- Shared services
  // Each colour a one-pixel line along its side of R, the side then moving in;
  // with AClip the band drawn leaves the clip.
  static void DrawSideLines(TcxCanvas& ACanvas, RECT& R, std::initializer_list<std::pair<int, TColor>> ALines,
                            bool AClip = false);
  void PaintFrameSides(TcxCanvas& ACanvas, TColor ALeftTopColor, TColor ARightBottomColor);
  void DrawEdgeLinesForPosition(TcxCanvas& ACanvas, const RECT& R, TColor ALight, TColor ADark);
  void DrawRowEdgeLines(TcxCanvas& ACanvas, RECT& R, std::initializer_list<TColor> AColors);
  RECT GetTabRowRect(int ARow);
  bool IsActiveTabRow(int ARow) const;
  bool NeedsTabSeparatorBar(int ATab);

protected:
  // The painting position of the row being painted.
  TcxTabPosition FRowPosition = tpTop;
};

class TcxPCUltraFlatPainter : public TcxPCExtraFlatPainter {
public:
  TVK_PC_PAINTER(TcxPCUltraFlatPainter, TcxPCExtraFlatPainter)
  TVK_PC_STYLE(6, L"UltraFlat", tsTabs)
  static bool HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel);

  void GetNavigatorGlyphParams(TcxPCNavigatorButton AKind, TcxPCNavigatorButtonState AState,
                               TcxPCNavigatorGlyphParams& AParams) override;
  TColor GetNavigatorButtonColor(TcxPCNavigatorButtonState AState) override;
  void GetNavigatorGlyphPosition(const RECT& R, TcxPCNavigatorButton AKind, POINT& APoint,
                                 TcxPCNavigatorButtonState AState) override;
  int GetNavigatorButtonThickness() override { return 15; }
  int GetNavigatorButtonLength(TcxPCNavigatorButton AKind) override;
  int GetNavigatorButtonsDistance(TcxPCNavigatorButton AKind, TcxPCNavigatorButton AOtherKind) override;
  int GetNavigatorEdgeOffset() override { return 3; }
  void PaintNavigatorButtonFrame(TcxCanvas& ACanvas, RECT& R, TcxPCNavigatorButtonState AState) override;
  void CalculateFocusedTabFocusRect(RECT& R) override;
  void PaintFrame(TcxCanvas& ACanvas) override;
  void PaintActiveTabEdges(TcxCanvas& ACanvas, const RECT& R) override;
  void PaintRowEdge(TcxCanvas& ACanvas, RECT& R, int ARow) override;
};

class TcxPCFlatPainter : public TcxPCTabsPainter {
public:
  TVK_PC_PAINTER(TcxPCFlatPainter, TcxPCTabsPainter)
  TVK_PC_STYLE(7, L"Flat", tsTabs)
  static bool HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel);

  TcxCustomLookAndFeelPainter* GetLookAndFeelPainter() override;
  int GetFrameWidth() override { return 1; }
  std::unique_ptr<TcxRegion> GetTabClipRegion(TcxCanvas& ACanvas, int ATab) override;
  TcxRegionOperation GetTabClipOperation(int) override { return roIntersect; }
  bool UseNativePainting() override { return false; }
  void GetNavigatorGlyphPosition(const RECT& R, TcxPCNavigatorButton AKind, POINT& APoint,
                                 TcxPCNavigatorButtonState AState) override;
  int GetNavigatorButtonThickness() override { return TcxPCTabsPainter::GetNavigatorButtonThickness() - 2; }
  int GetNavigatorButtonLength(TcxPCNavigatorButton AKind) override {
    return TcxPCTabsPainter::GetNavigatorButtonLength(AKind) - 2;
  }
  void PaintNavigatorButtonFrame(TcxCanvas& ACanvas, RECT& R, TcxPCNavigatorButtonState AState) override;
  void DrawFrameInRect(TcxCanvas& ACanvas, const RECT& R) override;
  void PaintTabOutline(TcxCanvas& ACanvas, int ATab) override;
};

class TcxPCOffice11Painter : public TcxPCUltraFlatPainter {
public:
  TVK_PC_PAINTER(TcxPCOffice11Painter, TcxPCUltraFlatPainter)
  TVK_PC_STYLE(8, L"Office11", tsTabs)
  static bool HasLookAndFeel(TcxPCPainterClass, TcxLookAndFeel* ALookAndFeel);

  virtual TColor GetOffice11FrameColor();

  TColor GetBackgroundColor() override { return GetOffice11FrameColor(); }
  TColor GetDefaultPageClientColor() override;
  void GetPageClientRectOffset(RECT& AOffsets) override;
  void PaintPageClientBackground(TcxCanvas& ACanvas) override;
  TcxCustomLookAndFeelPainter* GetLookAndFeelPainter() override;
  TColor GetTabColor(int ATab) override;
  bool IsTabTransparent(int ATab) override;
  bool UseOwnerNativePainting() override { return IsClientAreaGradient(); }
  void PaintTabBackground(TcxCanvas& ACanvas, const RECT& R, int ATab, TColor AColor) override;
  bool UsesLookAndFeelCloseButton() override { return true; }
  void PaintPageClientArea(TcxCanvas& ACanvas) override;
  TColor GetNavigatorGlyphColor(TcxPCNavigatorButtonState AState) override;
  void FillNavigatorButton(TcxCanvas& ACanvas, const RECT& R, TcxPCNavigatorButtonState AState) override;
  void PaintNavigatorButtonFrame(TcxCanvas& ACanvas, RECT& R, TcxPCNavigatorButtonState AState) override;
  void PaintFrame(TcxCanvas& ACanvas) override;
  int GetRowEdgeWidth() override { return 1; }
  void CalculateFocusedTabFocusRect(RECT& R) override;
  void GetTabSeparatorMargins(TcxPCDistance& AMargins) override;
  void PaintTabBody(TcxCanvas& ACanvas, const RECT& R, int ATab) override;
  void AdjustPageClientTop(RECT&) override {}
  TColor GetActiveTabColor() override;
  void GetTabsPageStripRect(RECT& R) override;
  int GetTabSeparatorWidth() override { return 2; }
  bool IsTabsAreaFramed() override { return HasFrame(); }
  void PaintActiveTabEdges(TcxCanvas& ACanvas, const RECT& R) override;
  void DrawTabSeparatorBar(TcxCanvas& ACanvas, const RECT& R) override;
  void PaintRowEdge(TcxCanvas& ACanvas, RECT& R, int ARow) override;

  bool IsClientAreaGradient();
  void GetOffice11GradientColors(int ATab, bool AReverse, TColor& AColor1, TColor& AColor2);
  void PaintGradientTabBody(TcxCanvas& ACanvas, const RECT& R, bool AReverse, int ATab);
  bool HasUnframedSecondTabPart();
};

class TcxPCSlantedPainter : public TcxPCStandardPainter {
public:
  TVK_PC_PAINTER(TcxPCSlantedPainter, TcxPCStandardPainter)
  TVK_PC_STYLE(9, L"Slanted", tsTabs)

  // ---- New operations, in order
  virtual bool IsTabSlantTowardContent(int ATab);
  virtual bool IsActiveTabHotGradient() { return false; }
  virtual void FillTabBody(TcxCanvas& ACanvas, const RECT& R, bool AReverse, bool AAcrossRows, int ATab);
  virtual void PaintActiveTabBase(TcxCanvas& ACanvas, int ATab);
  virtual void GetTabGradientColors(int ATab, TColor& AColor1, TColor& AColor2);
  virtual int SlantMinTabWidth();
  virtual TColor GetSlantFrameColor() { return clBtnShadow; }
  virtual TcxTabSlantPositions OverlapSlantSides();
  virtual void GetTabImageAreaSize(SIZE& ASize);
  virtual bool GetSlantedStyleFlag() { return false; }
  virtual int GetCutValue();
  virtual std::unique_ptr<TcxRegion> CreateTabRegion(TcxCanvas& ACanvas, int ATab, bool AForPaint);
  virtual void PaintTabOutlineLines(TcxCanvas& ACanvas, int ATab, const RECT& R);
  virtual void PaintTabAccent(TcxCanvas& ACanvas, int ATab);

  // ---- Overrides
  int MeasureTabNormalWidth(TcxTabViewInfo* ATabViewInfo) override;
  void ApplyMinTabWidth(int&) override {}
  void PaintTabFocusRect(TcxCanvas& ACanvas, int ATab) override;
  int GetNavigatorButtonsDistance(TcxPCNavigatorButton AKind, TcxPCNavigatorButton AOtherKind) override;
  int GetNavigatorTabsGap() override { return 1; }
  int GetNavigatorEdgeOffset() override;
  int GetNavigatorEndOffset() override;
  TColor GetPageClientColor() override;
  void GetCloseButtonSize(SIZE& ASize) override { ASize = {14, 15}; }
  void GetPageClientBackgroundRect(RECT& R) override;
  void GetPageClientRectOffset(RECT& AOffsets) override;
  void GetTabImageOffsets(int ATab, RECT& AOffsets) override;
  void GetTabTextOffsets(int ATab, RECT& AOffsets) override;
  int GetFrameWidth() override { return 1; }
  bool IsTabShapeSlanted() override { return true; }
  int GetImageTextDistance(int) override { return 3; }
  int GetTabMinWidth(int ATab) override { return GetTabWidthWithoutText(ATab); }
  TColor GetTabColor(int ATab) override;
  std::unique_ptr<TcxRegion> GetTabClipRegion(TcxCanvas& ACanvas, int ATab) override;
  void GetTabContentOffsets(int ATab, TcxPCDistance& AOffsets) override;
  void GetTabContentOffsetsLongText(int ATab, TcxPCDistance& AOffsets) override { GetTabContentOffsets(ATab, AOffsets); }
  void GetTabsContainerMargins(RECT& AMargins) override;
  void GetTabsGap(TcxPCDistance& AGap) override;
  void PrepareLayout() override;
  bool IsPointInTab(int ATab, int X, int Y) override;
  bool IsTabActiveLook(int) override { return false; }
  void PaintFrame(TcxCanvas& ACanvas) override;
  void PaintTabs(TcxCanvas& ACanvas) override;
  void PaintTabBackground(TcxCanvas& ACanvas, const RECT& R, int ATab, TColor AColor) override;
  void GetNavigatorGlyphParams(TcxPCNavigatorButton AKind, TcxPCNavigatorButtonState AState,
                               TcxPCNavigatorGlyphParams& AParams) override;
  TColor GetNavigatorButtonColor(TcxPCNavigatorButtonState AState) override;
  TColor GetNavigatorGlyphColor(TcxPCNavigatorButtonState AState) override;
  int GetNavigatorButtonThickness() override { return 17; }
  int GetNavigatorButtonLength(TcxPCNavigatorButton AKind) override;
  int GetStandardTabHeight() override { return 0; }
  int GetTabInnerMargin(int ATab) override;
  int GetTabImageAreaLength(int) override;
  int GetTabWidthWithoutText(int ATab) override;
  void GetTabsBoundsOffsets(RECT& R) override;
  int MeasureTabCaptionWidth(int ATab) override;
  int MeasureTabContentHeight() override;
  void PaintNavigatorButtonFrame(TcxCanvas& ACanvas, RECT& R, TcxPCNavigatorButtonState AState) override;
  void PaintTabShape(TcxCanvas& ACanvas, int ATab) override;

  int CutValue() const { return FCutValue; }
  int GetSlantOffset() const;
  // The outline of a tab written as for top tabs, with one line position per segment.
  void BuildTabOutline(int ATab, std::vector<POINT>& APoints, std::vector<int>& ALinePositions);
  RECT GetPageSideStripRect(int ATab);

protected:
  int FCutValue = 0;

private:
  void PaintRowTabs(TcxCanvas& ACanvas, int ARow, int AFirst, int ALast);
};

class TcxPCOneNotePainter : public TcxPCSlantedPainter {
public:
  TVK_PC_PAINTER(TcxPCOneNotePainter, TcxPCSlantedPainter)
  TVK_PC_STYLE(10, L"OneNote", tsTabs)
  static bool IsRotationSupported(TcxPCPainterClass) { return false; }

  int GetNavigatorEdgeOffset() override;
  void GetTabImageOffsets(int, RECT& AOffsets) override { AOffsets = {0, 3, 0, 1}; }
  void GetTabTextOffsets(int, RECT& AOffsets) override { AOffsets = {0, 4, 0, 1}; }
  void GetTabContentOffsets(int ATab, TcxPCDistance& AOffsets) override;
  void GetTabsContainerMargins(RECT& AMargins) override;
  void GetTabsGap(TcxPCDistance& AGap) override;
  void GetTabsBoundsOffsets(RECT& R) override;
  bool IsTabSlantTowardContent(int ATab) override;
  bool IsActiveTabHotGradient() override { return true; }
  void PaintActiveTabBase(TcxCanvas& ACanvas, int ATab) override;
  int SlantMinTabWidth() override { return FCutValue + 4; }
  TColor GetSlantFrameColor() override { return OneNoteColors().Frame; }
  TcxTabSlantPositions OverlapSlantSides() override { return 1u << spLeft; }
  int GetCutValue() override { return CalculateTabNormalHeight() + 2; }
  std::unique_ptr<TcxRegion> CreateTabRegion(TcxCanvas& ACanvas, int ATab, bool AForPaint) override;
  void PaintTabOutlineLines(TcxCanvas& ACanvas, int ATab, const RECT& R) override;
  void PaintTabAccent(TcxCanvas&, int) override {}

  TColor GetColorBehindPoint(int ATab, POINT P);
};

#undef TVK_PC_STYLE

// The nine registered classes in their registration order.
inline TcxPCPainterClass const* RegisteredPCPainterClasses() {
  static const TcxPCPainterClass classes[] = {
      TcxPCTabsPainter::Class(),      TcxPCButtonsPainter::Class(), TcxPCFlatButtonsPainter::Class(),
      TcxPCExtraFlatPainter::Class(), TcxPCUltraFlatPainter::Class(), TcxPCFlatPainter::Class(),
      TcxPCOffice11Painter::Class(),  TcxPCSlantedPainter::Class(),   TcxPCOneNotePainter::Class()};
  return classes;
}
constexpr int cxPCRegisteredPainterCount = 9;

// The painter style of the painter that ALookAndFeel offers for tabs.
TcxLookAndFeelStyle GetTabPainterStyle(TcxLookAndFeel* ALookAndFeel);

void cxPCPaintersUnitStart();
void cxPCPaintersUnitStop();

}  // namespace tvk
