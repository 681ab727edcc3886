#pragma once
// A stand-in owner of the tab control's layout: a window that answers the
// owner interfaces (component state, tab control, pop-up owner), keeps the
// properties, the layout, a painter of the style the layout selects and a
// controller around the layout's hit test, and records what the layout asks
// of it. TTestTabPainter lays tabs out with fixed metrics under a style of
// its own and outlines what it paints, so that layouts can be checked and
// looked at.
#include "cxLookAndFeels.h"
#include "cxPCCustomPainter.h"
#include "cxPCViewInfo.h"

#include <functional>
#include <memory>
#include <vector>

namespace tvk_test {

// Fixed metrics: tab height, a width per tab (or the caption's width plus
// margins), navigator buttons of 16 pixels at the row's end or start.
class TTestTabPainter : public tvk::TcxPCCustomPainter {
public:
  TVK_PC_PAINTER(TTestTabPainter, tvk::TcxPCCustomPainter)
  static constexpr tvk::TcxPCStyleID kStyleID = 100;
  static tvk::TcxPCStyleID GetStyleID(tvk::TcxPCPainterClass) { return kStyleID; }
  static tvk::WideString GetStyleName(tvk::TcxPCPainterClass) { return L"TestOutline"; }
  static bool IsStandardStyle(tvk::TcxPCPainterClass) { return false; }

  // The metrics the tests set (shared by every painter of the class).
  struct TMetrics {
    int TabHeight = 20;
    std::vector<int> Widths;  // by visible index; empty: caption width + 2 x 6
    int MinWidth = 10;
    int ButtonSize = 16;
    tvk::TcxPCDistance Gap{0, 0};
    tvk::TcxPCDistance ContentOffsets{6, 6};
    tvk::TcxPCDistance LongTextOffsets{2, 2};
    RECT ImageOffsets{0, 2, 0, 2};
    RECT TextOffsets{0, 2, 0, 2};
    tvk::TcxPCDistance ImageOnlyOffsets{2, 2};
    int ImageTextDistance = 3;
    bool Pressable = false;  // the class answer IsTabPressable stays false; tests read ActiveLook
  };
  static TMetrics& Metrics() {
    static TMetrics metrics;
    return metrics;
  }
  // Every RepaintTab call: (visible index, code).
  std::vector<std::pair<int, int>> Repaints;
  // The painting steps in order ("tabs", "page", "frame", "background").
  std::vector<const char*> Steps;

  int MeasureTabNormalWidth(tvk::TcxTabViewInfo* ATab) override {
    const TMetrics& m = Metrics();
    const int index = ATab->VisibleIndex();
    if (index < int(m.Widths.size())) return m.Widths[std::size_t(index)];
    if (ATab->GetDefinedWidth() > 0) return ATab->GetDefinedWidth();
    return tvk::MeasureTabText(ATab, ATab->Caption()).cx + m.ContentOffsets.First + m.ContentOffsets.Second;
  }
  int CalculateTabNormalHeight() override { return Metrics().TabHeight; }
  void GetTabsGap(tvk::TcxPCDistance& AGap) override { AGap = Metrics().Gap; }
  int GetTabMinWidth(int) override { return Metrics().MinWidth; }
  void GetTabContentOffsets(int, tvk::TcxPCDistance& AOffsets) override { AOffsets = Metrics().ContentOffsets; }
  void GetTabContentOffsetsLongText(int, tvk::TcxPCDistance& AOffsets) override {
    AOffsets = Metrics().LongTextOffsets;
  }
  void GetTabImageOffsets(int, RECT& AOffsets) override { AOffsets = Metrics().ImageOffsets; }
  void GetTabImageOnlyOffsets(int, tvk::TcxPCDistance& AOffsets) override { AOffsets = Metrics().ImageOnlyOffsets; }
  void GetTabTextOffsets(int, RECT& AOffsets) override { AOffsets = Metrics().TextOffsets; }
  int GetImageTextDistance(int) override { return Metrics().ImageTextDistance; }
  void GetOwnerSizeMetric(tvk::TcxPCDistance& AMetric) override { AMetric = {0, 0}; }
  void GetGoDialogPopupPosition(SIZE, POINT& ATopLeft) override { ATopLeft = {0, 0}; }
  tvk::TColor GetTabColor(int ATab) override {
    return GetTabViewInfo(ATab)->IsMainTab() ? tvk::TColor(0xFFFFFF) : tvk::TColor(0xE8E8E8);
  }
  bool IsTabActiveLook(int ATab) override { return GetTabViewInfo(ATab)->IsMainTab(); }
  void RepaintTab(int ATab, int AType) override { Repaints.emplace_back(ATab, AType); }

  // The rows take the whole client area; the navigator buttons take the
  // row's end (or start) across the first row.
  void CalculateTabsPosition(tvk::TcxPCNavigatorButtons AButtons, tvk::TcxPCTabsPosition& APosition) override {
    tvk::TcxCustomTabControlViewInfo* viewInfo = ViewInfo();
    const RECT client = viewInfo->ControlBounds();
    const bool horizontal = viewInfo->TabPosition() == tvk::tpTop || viewInfo->TabPosition() == tvk::tpBottom;
    const int size = Metrics().ButtonSize;
    int count = 0;
    for (int b = 0; b < 4; ++b) count += (AButtons >> b) & 1;
    const tvk::TcxPCNavigatorPosition np = viewInfo->NavigatorPosition();
    const bool atStart = horizontal ? (np == tvk::npLeftTop || np == tvk::npLeftBottom)
                                    : (np == tvk::npLeftTop || np == tvk::npRightTop);
    APosition = {};
    APosition.ExtendedTabsRect = client;
    APosition.NormalTabsRect = client;
    const int reserved = count * size;
    if (horizontal) {
      (atStart ? APosition.NormalTabsRect.left : APosition.NormalTabsRect.right) += atStart ? reserved : -reserved;
      APosition.NormalRowWidth = APosition.NormalTabsRect.right - APosition.NormalTabsRect.left;
    } else {
      (atStart ? APosition.NormalTabsRect.top : APosition.NormalTabsRect.bottom) += atStart ? reserved : -reserved;
      APosition.NormalRowWidth = APosition.NormalTabsRect.bottom - APosition.NormalTabsRect.top;
    }
    APosition.ExtendedTabsRect = APosition.NormalTabsRect;  // the buttons clip the rows
    const bool nearSide = viewInfo->TabPosition() == tvk::tpTop || viewInfo->TabPosition() == tvk::tpLeft;
    const int across = Metrics().TabHeight;
    int along = atStart ? (horizontal ? client.left : client.top)
                        : (horizontal ? client.right : client.bottom) - reserved;
    for (int i = 0; i < viewInfo->NavigatorButtonCount(); ++i) {
      RECT r;
      if (horizontal)
        r = nearSide ? RECT{along, client.top, along + size, client.top + across}
                     : RECT{along, client.bottom - across, along + size, client.bottom};
      else
        r = nearSide ? RECT{client.left, along, client.left + across, along + size}
                     : RECT{client.right - across, along, client.right, along + size};
      viewInfo->NavigatorButtonInfos(i)->SetBounds(r);
      along += size;
    }
  }

  // ---- Outlines
  void DrawCloseButtonGlyph(tvk::TcxCanvas& ACanvas, const RECT& R, tvk::TcxPCNavigatorButtonState AState) override {
    ACanvas.FrameRect(R, AState == tvk::nbsHotTrack ? tvk::TColor(0x0000FF) : tvk::TColor(0x404040));
    HDC dc = ACanvas.Handle();
    MoveToEx(dc, R.left + 3, R.top + 3, nullptr);
    LineTo(dc, R.right - 3, R.bottom - 3);
    MoveToEx(dc, R.right - 4, R.top + 3, nullptr);
    LineTo(dc, R.left + 2, R.bottom - 3);
  }
  void PaintNavigatorButton(tvk::TcxCanvas& ACanvas, const RECT& R, tvk::TcxPCNavigatorButton AButton,
                            tvk::TcxPCNavigatorButtonState AState) override {
    static constexpr const wchar_t* kGlyphs[] = {L"<", L">", L"v", L"x"};
    ACanvas.FillRect(R, AState == tvk::nbsDisabled ? tvk::TColor(0xC0C0C0) : tvk::TColor(0xF0D0A0));
    ACanvas.FrameRect(R, tvk::TColor(0x806040));
    RECT r = R;
    SetBkMode(ACanvas.Handle(), TRANSPARENT);
    DrawTextW(ACanvas.Handle(), kGlyphs[AButton], -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  void PaintNavigatorButtons(tvk::TcxCanvas& ACanvas) override {
    for (int i = 0; i < ViewInfo()->NavigatorButtonCount(); ++i) {
      tvk::TcxPCNavigatorButtonViewInfo* button = ViewInfo()->NavigatorButtonInfos(i);
      PaintNavigatorButton(ACanvas, button->Bounds(), button->ButtonType(), button->State());
      ACanvas.ExcludeClipRect(button->Bounds());
    }
  }
  void DrawTab(tvk::TcxCanvas& ACanvas, int ATab) override {
    tvk::TcxTabViewInfo* tab = GetTabViewInfo(ATab);
    const RECT full = tab->FullRect();
    ACanvas.FillRect(full, GetTabColor(ATab));
    ACanvas.FrameRect(full, tab->IsMainTab() ? tvk::TColor(0xC00000) : tvk::TColor(0x707070));
    if (!::IsRectEmpty(&tab->ContentRect())) ACanvas.FrameRect(tab->ContentRect(), tvk::TColor(0xD0D0D0));
    PaintTabContent(ACanvas, ATab);
  }
  void PaintTabs(tvk::TcxCanvas& ACanvas) override {
    Steps.push_back("tabs");
    for (int i = 0; i < ViewInfo()->TabViewInfoCount(); ++i)
      if (tvk::TcxTabViewInfo* tab = GetTabViewInfo(i); tab->ActuallyVisible()) {
        DrawTab(ACanvas, i);
        ExcludeTabFromClip(ACanvas, i);
      }
  }
  void PaintPageClientBackground(tvk::TcxCanvas& ACanvas) override {
    Steps.push_back("page");
    TcxPCCustomPainter::PaintPageClientBackground(ACanvas);
  }
  void PaintFrame(tvk::TcxCanvas& ACanvas) override {
    Steps.push_back("frame");
    RECT r;
    GetFrameRect(r);
    ACanvas.FrameRect(r, tvk::TColor(0x000000));
  }
  int GetFrameWidth() override { return 1; }
  tvk::TColor GetDefaultPageClientColor() override { return tvk::TColor(0xFFFFFF); }
  void FillBackgroundRect(tvk::TcxCanvas& ACanvas, const RECT& R) override {
    Steps.push_back("background");
    TcxPCCustomPainter::FillBackgroundRect(ACanvas, R);
  }
  bool PaintTabsFirst() override { return TabsFirst; }
  bool TabsFirst = true;
};

// The layout with the owner's answers a test can switch.
class TTestTabViewInfo : public tvk::TcxCustomTabControlViewInfo {
public:
  TVK_CLASS(TTestTabViewInfo, tvk::TcxCustomTabControlViewInfo)
  using tvk::TcxCustomTabControlViewInfo::TcxCustomTabControlViewInfo;
  bool FullFrame = true;
  bool HasFullFrame() const override { return FullFrame; }
  // Every after-paint notice: the tab and its image and text rectangles.
  std::vector<std::pair<tvk::TcxTab*, tvk::TcxPCOutTabImageAndTextData>> AfterPaint;
  void NotifyAfterPaintTab(tvk::TcxCanvas&, tvk::TcxTab* ATab, const tvk::TcxPCOutTabImageAndTextData& AData) override {
    AfterPaint.emplace_back(ATab, AData);
  }
};

class TTabOwner;

class TTabController : public tvk::TcxCustomTabControlController {
public:
  TVK_CLASS(TTabController, tvk::TcxCustomTabControlController)
  explicit TTabController(TTabOwner* AOwner) : FOwner(AOwner), FHitTest(this) {}
  tvk::TcxPCHitTest& HitTest() override { return FHitTest; }
  bool IsGoDialogShowing() const override { return GoDialogShowing; }
  void SetGoDialogShowing(bool AValue) override { GoDialogShowing = AValue; }
  POINT MousePos() const override { return Mouse; }
  void TabClick(int AVisibleIndex, tvk::TShiftState AShift) override { Clicks.emplace_back(AVisibleIndex, AShift); }
  void DoTabAction(int AVisibleIndex, int AAction) override { Actions.emplace_back(AVisibleIndex, AAction); }
  void ShowGoDialog() override { ++GoDialogs; }
  tvk::IcxTabControl* Control() const override;

  bool GoDialogShowing = false;
  POINT Mouse{-1, -1};
  std::vector<std::pair<int, tvk::TShiftState>> Clicks;
  std::vector<std::pair<int, int>> Actions;
  int GoDialogs = 0;

private:
  TTabOwner* FOwner;
  tvk::TcxPCHitTest FHitTest;
};

class TTabOwner : public tvk::TCustomControl,
                  public tvk::IcxTabControl,
                  public tvk::IcxTabControlPopupOwner {
public:
  TVK_CLASS(TTabOwner, tvk::TCustomControl)
  explicit TTabOwner(int AWidth = 300, int AHeight = 200, tvk::TComponent* AOwner = nullptr)
      : tvk::TCustomControl(AOwner),
        FSurface(std::make_unique<tvk::TcxBitmap32>(AWidth, AHeight)),
        FLookAndFeel(std::make_unique<tvk::TcxLookAndFeel>(nullptr)) {
    SetBounds(0, 0, AWidth, AHeight);
    FProperties = std::make_unique<tvk::TcxCustomTabControlProperties>(this);
    FProperties->OnChanged = [this](tvk::TObject*, tvk::TcxCustomTabControlPropertiesChangedType AType) {
      ChangeKinds.push_back(AType);
      if (AType == tvk::pctHard) Relayout();
    };
    FProperties->OnStyleChanged = [this](tvk::TObject*) {
      ++StyleChanges;
      RecreatePainter();
    };
    FController = std::make_unique<TTabController>(this);
    FViewInfo = std::make_unique<TTestTabViewInfo>(static_cast<tvk::TObject*>(this));
    FFont.SetName(L"Tahoma");
    FFont.SetHeight(-11);
  }
  ~TTabOwner() override {
    FDestroying = true;
    FPainter.reset();
    FViewInfo.reset();
    FProperties.reset();
  }

  tvk::TcxCustomTabControlProperties& Properties() { return *FProperties; }
  TTestTabViewInfo& ViewInfo() { return *FViewInfo; }
  TTabController& Controller() { return *FController; }
  TTestTabPainter* TestPainter() { return dynamic_cast<TTestTabPainter*>(FPainter.get()); }
  tvk::TcxLookAndFeel& OwnLookAndFeel() { return *FLookAndFeel; }
  tvk::TcxBitmap32& Surface() { return *FSurface; }
  tvk::TFont& OwnFont() { return FFont; }

  // The painter of the style the layout selects (made again when it changes).
  void RecreatePainter() {
    tvk::TcxPCPainterClass painterClass = FViewInfo->GetPainterClass();
    if (FPainter && FPainter->PainterClass() == painterClass) return;
    FPainter.reset();
    // A style without drawing of its own yet makes no painter.
    if (painterClass) try {
        FPainter = painterClass->Create(FViewInfo.get());
      } catch (const tvk::EAbstractError&) {
      }
  }
  void Relayout() {
    ++Layouts;
    RecreatePainter();
    FViewInfo->Calculate();
  }
  // Sizes the surface too.
  void Resize(int AWidth, int AHeight) {
    SetBounds(Left(), Top(), AWidth, AHeight);
    FSurface->SetSize(AWidth, AHeight);
    Relayout();
  }
  // Paints the control on its surface.
  void PaintSurface() {
    FSurface->cxCanvas().FillRect(FSurface->ClientRect(), tvk::TColor(0x123456));
    FSurface->cxCanvas().SaveClipRegion();
    FPainter->Paint(FSurface->cxCanvas());
    FSurface->cxCanvas().RestoreClipRegion();
  }

  // Answers the tests set.
  bool Designing = false, Loading = false, Enabled = true, HotTrackSuppressed = false;
  tvk::TColor OwnColor = tvk::clBtnFace;
  // Records.
  std::vector<tvk::TcxCustomTabControlPropertiesChangedType> ChangeKinds;
  std::vector<RECT> Invalidated;
  int Layouts = 0, LayoutRequests = 0, Modified = 0, StyleChanges = 0;

  // ---- Interfaces
  bool GetInterface(const GUID& iid, void** obj) override {
    if (iid == tvk::IID_IcxControlComponentState || iid == tvk::IID_IcxTabControl) {
      *obj = static_cast<tvk::IcxTabControl*>(this);
      return true;
    }
    if (iid == tvk::IID_IcxTabControlPopupOwner) {
      *obj = static_cast<tvk::IcxTabControlPopupOwner*>(this);
      return true;
    }
    return tvk::TCustomControl::GetInterface(iid, obj);
  }
  bool QueryDesigning() override { return Designing; }
  bool QueryDestroying() override { return FDestroying; }
  bool QueryLoading() override { return Loading; }
  tvk::TcxCustomTabControlController* QueryController() override { return FController.get(); }
  tvk::TcxPCCustomPainter* QueryPainter() override { return FPainter.get(); }
  tvk::TcxCustomTabControlProperties* QueryProperties() override { return FProperties.get(); }
  tvk::TcxCustomTabControlViewInfo* QueryViewInfo() override { return FViewInfo.get(); }
  bool QueryCanDrawParentBackground() override { return false; }
  void QueryBoundsRect(RECT& ABounds) override { ABounds = {Left(), Top(), Left() + Width(), Top() + Height()}; }
  tvk::TcxCanvas* QueryCanvas() override { return &FSurface->cxCanvas(); }
  tvk::TWinControl* QueryControl() override { return this; }
  tvk::TColor QueryColor() override { return OwnColor; }
  void Reserved() override {}
  bool QueryHotTrackSuppressed() override { return HotTrackSuppressed; }
  tvk::TFont* QueryFont() override { return &FFont; }
  tvk::TcxLookAndFeel* QueryLookAndFeel() override { return FLookAndFeel.get(); }
  void RequestInvalidateRect(const RECT& ARect, bool) override { Invalidated.push_back(ARect); }
  void NotifyModified() override { ++Modified; }
  bool QueryEnabled() override { return Enabled; }
  bool QueryFocused() override { return false; }
  bool QueryParentBackground() override { return false; }
  void RequestLayout() override {
    ++LayoutRequests;
    if (!FDestroying) FViewInfo->Calculate();
  }
  tvk::TObject* GetPopupOwnerObject() override { return this; }

private:
  bool FDestroying = false;
  std::unique_ptr<tvk::TcxBitmap32> FSurface;
  std::unique_ptr<tvk::TcxLookAndFeel> FLookAndFeel;
  tvk::TFont FFont;
  std::unique_ptr<tvk::TcxCustomTabControlProperties> FProperties;
  std::unique_ptr<TTabController> FController;
  std::unique_ptr<TTestTabViewInfo> FViewInfo;
  std::unique_ptr<tvk::TcxPCCustomPainter> FPainter;
};

inline tvk::IcxTabControl* TTabController::Control() const { return FOwner; }

}  // namespace tvk_test
