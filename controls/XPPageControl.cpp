#include "XPPageControl.h"

#include "Application.h"
#include "Forms.h"
#include "SmoothText.h"
#include "XPControls.h"
#include "XPGraphics.h"

#include <uxtheme.h>
#include <vssym32.h>

#include <algorithm>

namespace tvk {

namespace {

enum TPageSkinIndex : std::size_t { kPaneSkin, kTabBothSkin, kTabSkin, kTabLeftSkin, kTabRightSkin };
constexpr TSkinRow kPageSkins[] = {
    {L"TABPANEEDGE", TSkinKind::skAlphaImage},     {L"TABITEMTOPBOTH", TSkinKind::skAlphaImage},
    {L"TABITEMTOP", TSkinKind::skAlphaImage},      {L"TABITEMTOPLEFT", TSkinKind::skAlphaImage},
    {L"TABITEMTOPRIGHT", TSkinKind::skAlphaImage},
};
TSkinCache gPageSkins(kPageSkins);
std::unique_ptr<TThemePageControlData> gPageData;

// The kinds of tab picture: by whether a shown tab comes before or after it.
enum TTabKind { kTabPlain, kTabLeftEdge, kTabRightEdge, kTabBothEdges };
// Picture states: the skin cell and, plus one, the theme state.
enum TTabPictureState { kTabNormal, kTabHot, kTabSelected };

// The theme's "TAB" class of Window, closed when the scope ends; null without visual styles.
class TTabTheme {
public:
  explicit TTabTheme(HWND window) : FTheme(OpenThemeData(window, L"TAB")) {}
  ~TTabTheme() {
    if (FTheme) CloseThemeData(FTheme);
  }
  TTabTheme(const TTabTheme&) = delete;
  TTabTheme& operator=(const TTabTheme&) = delete;
  HTHEME Get() const { return FTheme; }

private:
  HTHEME FTheme;
};

// The margins of the theme's pane content (left, top, right, bottom) for a 20 x 20 pane.
RECT PaneContentMargins(HWND window) {
  RECT margins{3, 3, 3, 3};
  TTabTheme theme(window);
  if (!theme.Get()) return margins;
  const RECT box{0, 0, 20, 20};
  RECT content = box;
  HDC dc = GetDC(nullptr);
  if (SUCCEEDED(GetThemeBackgroundContentRect(theme.Get(), dc, TABP_PANE, 0, &box, &content)))
    margins = RECT{content.left, content.top, 20 - content.right, 20 - content.bottom};
  ReleaseDC(nullptr, dc);
  return margins;
}

void ThemedTabPart(HWND window, HDC dc, int part, int state, const RECT& rect, const RECT& clip) {
  TTabTheme theme(window);
  if (theme.Get()) DrawThemeBackground(theme.Get(), dc, part, state, &rect, &clip);
}

}  // namespace

// ---- Tab captions

void TTabControlStrings::Changed() {
  TStringList::Changed();
  if (UpdateCount() == 0) FTabControl->UpdateTabs();
}

// ---- Skin data

TThemePageControlData::TThemePageControlData()
    : FPaneImage(gPageSkins.AlphaImage(kPaneSkin)),
      FTabBothEdgeImage(gPageSkins.AlphaImage(kTabBothSkin)),
      FTabLeftEdgeImage(gPageSkins.AlphaImage(kTabLeftSkin)),
      FTabImage(gPageSkins.AlphaImage(kTabSkin)),
      FTabRightEdgeImage(gPageSkins.AlphaImage(kTabRightSkin)) {}

TThemePageControlData& TThemePageControlData::Instance() {
  if (!gPageData) gPageData = std::make_unique<TThemePageControlData>();
  return *gPageData;
}

int TThemePageControlData::NCCalcSizeDelta() { return GetThemeMode() == 1 ? 4 : 3; }
int TThemePageControlData::NCCalcSizeTopDelta() { return GetThemeMode() == 1 ? 2 : 3; }

void TThemePageControlData::DrawPane(HDC dc, const RECT& rect, const RECT& clipRect) {
  TClipRect clip(dc, clipRect);
  switch (GetThemeMode()) {
    case 0: {
      RECT r = rect;
      DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT);
      break;
    }
    case 1:
      DrawSkinBitmap(rect, RECT{2, 2, 43, 43}, RECT{0, 0, int(FPaneImage.Width()), int(FPaneImage.Height())}, dc,
                     FPaneImage.Handle(), true);
      break;
    default:
      break;
  }
}

void TThemePageControlData::DrawTabImage(TAlphaImage& image, HDC dc, const RECT& rect, int state,
                                         const RECT& clipRect) {
  TClipRect clip(dc, clipRect);
  const int cell = int(image.Height()) / 5;
  DrawSkinBitmap(rect, RECT{5, 5, 12, 12}, RECT{0, cell * state, int(image.Width()), cell * state + cell}, dc,
                 image.Handle(), true);
}

void TThemePageControlData::DrawTab(HDC dc, const RECT& rect, int state, const RECT& clipRect) {
  DrawTabImage(FTabImage, dc, rect, state, clipRect);
}
void TThemePageControlData::DrawTabLeftEdge(HDC dc, const RECT& rect, int state, const RECT& clipRect) {
  DrawTabImage(FTabLeftEdgeImage, dc, rect, state, clipRect);
}
void TThemePageControlData::DrawTabRightEdge(HDC dc, const RECT& rect, int state, const RECT& clipRect) {
  DrawTabImage(FTabRightEdgeImage, dc, rect, state, clipRect);
}
void TThemePageControlData::DrawTabBothEdge(HDC dc, const RECT& rect, int state, const RECT& clipRect) {
  DrawTabImage(FTabBothEdgeImage, dc, rect, state, clipRect);
}

void TThemePageControlData::DrawClassicTab(HDC dc, const RECT& rect, bool top, const RECT& clipRect) {
  RECT r = rect;
  r.right = clipRect.right;
  DrawEdge(dc, &r, EDGE_RAISED, BF_SOFT | BF_MIDDLE | BF_LEFT | BF_RIGHT | (top ? BF_TOP : BF_BOTTOM));
  const COLORREF face = ColorToRGB(clBtnFace), light = ColorToRGB(clBtnHighlight), dark = ColorToRGB(cl3DDkShadow);
  const int l = r.left, rr = r.right;
  // The outer corners rounded by single pixels; a bottom tab's on its bottom rows.
  const int t = top ? r.top : r.bottom - 1, dy = top ? 1 : -1;
  for (POINT p : {POINT{l, t}, POINT{l, t + dy}, POINT{l + 1, t}, POINT{rr - 1, t}, POINT{rr - 1, t + dy},
                  POINT{rr - 2, t}})
    SetPixel(dc, p.x, p.y, face);
  SetPixel(dc, l + 1, t + dy, light);
  SetPixel(dc, rr - 2, t + dy, dark);
}

void TThemePageControlData::DrawRoot(HDC dc, const RECT& rect, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void XPPageControlShutdown() {
  gPageData.reset();
  gPageSkins.Release();
}

// ---- Tab control

TWinXPCustomTabControl::TWinXPCustomTabControl(TComponent* owner) : TXPCustomControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls | csDoubleClicks);
  FImageChangeLink = std::make_unique<TChangeLink>();
  FImageChangeLink->OnChange = [this](TObject* sender) { ImageListChange(sender); };
  FTabs = CreateTabs();
  FScrollBtns = new TXPUpDown(nullptr);
  FScrollBtns->SetControlStyle(FScrollBtns->ControlStyle() | csNoDesignVisible);
  FScrollBtns->SetControl(this);
  FScrollBtns->SetVisible(false);
  FScrollBtns->SetParent(this);
  FScrollBtns->OnUpClick = [this](TObject*) {
    FShowActiveTab = false;
    ScrollTabs(-1);
  };
  FScrollBtns->OnDownClick = [this](TObject*) {
    FShowActiveTab = false;
    ScrollTabs(1);
  };
  SetBounds(Left(), Top(), 289, 193);
  SetTabStop(true);
}

TWinXPCustomTabControl::~TWinXPCustomTabControl() {
  delete FScrollBtns;
  FScrollBtns = nullptr;
  FTabs.reset();
  FImageChangeLink.reset();
}

std::unique_ptr<TStrings> TWinXPCustomTabControl::CreateTabs() { return std::make_unique<TTabControlStrings>(this); }

bool TWinXPCustomTabControl::CanShowTab(int index) { return index >= 0 && index < FTabs->Count(); }
bool TWinXPCustomTabControl::TabVisible(int index) { return index >= 0 && index < FTabs->Count(); }
bool TWinXPCustomTabControl::TabHasNoImage(int index) { return index >= 0 && index < FTabs->Count(); }
int TWinXPCustomTabControl::TabImageIndex(int) { return -1; }

void TWinXPCustomTabControl::SetActivePageIndex(int index) { SetCurrentTab(index); }

bool TWinXPCustomTabControl::CanChange() {
  bool allow = true;
  if (OnChanging) OnChanging(this, allow);
  return allow;
}

bool TWinXPCustomTabControl::CanChangeTab(int) { return CanChange(); }

void TWinXPCustomTabControl::Change() {
  if (Loading()) return;
  if (OnChange) OnChange(this);
}

void TWinXPCustomTabControl::SetImages(TCustomImageList* value) {
  if (value == FImages) return;
  if (FImages) {
    FImages->UnRegisterChanges(FImageChangeLink.get());
    FImages->RemoveFreeNotification(this);
  }
  FImages = value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink.get());
    FImages->FreeNotification(this);
  }
  ImageListChange(FImages);
}

void TWinXPCustomTabControl::ImageListChange(TObject* sender) {
  if (!HandleAllocated() || sender != FImages) return;
  UpdateLayout();
  ScrollToShowActive();
  InvalidateTabArea();
}

void TWinXPCustomTabControl::Notification(TComponent* component, TOperation operation) {
  TXPCustomControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FImages) {
    FImages = nullptr;
    if (HandleAllocated() && !IsDestroying()) {
      UpdateLayout();
      InvalidateTabArea();
    }
  }
}

void TWinXPCustomTabControl::SetTabPosition(TWinXPTabPosition value) {
  if (value == FTabPosition) return;
  FTabPosition = value;
  UpdateScrollButtons();
  Invalidate();
}

int TWinXPCustomTabControl::GetTabIndex() {
  if (FCurrentTabIndex < 0 || FCurrentTabIndex >= FTabs->Count() || !TabVisible(FCurrentTabIndex)) return -1;
  int n = 0;
  for (int i = 0; i < FCurrentTabIndex; ++i) n += TabVisible(i) ? 1 : 0;
  return n;
}

void TWinXPCustomTabControl::SetTabIndex(int value) {
  if (value < 0) {
    SetCurrentTab(-1);
    return;
  }
  for (int i = 0, n = 0; i < FTabs->Count(); ++i)
    if (TabVisible(i) && n++ == value) {
      SetCurrentTab(i);
      return;
    }
}

void TWinXPCustomTabControl::SetCurrentTab(int index) {
  if (Loading()) {
    if (FSavedTabIndex == -2) FSavedTabIndex = index;
    return;
  }
  if (FUpdatingTabIndex) return;
  FUpdatingTabIndex = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FUpdatingTabIndex};
  if (index < 0) index = -1;
  else if (index >= FTabs->Count()) index = FTabs->Count() - 1;
  if (index == FCurrentTabIndex) return;
  const bool streamed = index == FSavedTabIndex;
  if (!streamed && !CanChangeTab(index)) return;
  FCurrentTabIndex = index;
  SetActivePageIndex(index);
  ScrollToShowActive();
  if (!streamed) Change();
  InvalidateTabArea();
}

void TWinXPCustomTabControl::Loaded() {
  TXPCustomControl::Loaded();
  if (FSavedTabIndex != -2) SetCurrentTab(FSavedTabIndex);
  FSavedTabIndex = -2;
}

int TWinXPCustomTabControl::FindNextTab(int start, bool goForward, bool checkTabVisible) {
  const int count = FTabs->Count();
  if (count == 0) return -1;
  if (start < -1 || start >= count) start = -1;
  int i = start;
  if (start == -1) i = goForward ? count - 1 : 0;
  // Count steps: the walk ends where it began, so Start is the last candidate.
  for (int step = 0; step < count; ++step) {
    i = goForward ? (i + 1) % count : (i + count - 1) % count;
    if (!checkTabVisible || TabVisible(i)) return i;
  }
  return -1;
}

void TWinXPCustomTabControl::SelectNextPage(bool goForward) {
  const int t = FindNextTab(FCurrentTabIndex, goForward, true);
  if (t >= 0 && t != FCurrentTabIndex && CanChange()) SetCurrentTab(t);
}

void TWinXPCustomTabControl::ScrollTabs(int delta) { SetStartTab(FStartTab + delta); }

int TWinXPCustomTabControl::IndexOfTabAt(int x, int y) {
  const POINT p{x, y};
  for (int i = 0; i < FTabs->Count(); ++i) {
    RECT r = TabRect(i);
    if (PtInRect(&r, p)) return i;
  }
  return -1;
}

int TWinXPCustomTabControl::TabAtPoint(int x, int y) {
  if (x == 0 && y >= FTabArea.top && y < FTabArea.bottom) return FStartTab - 1;
  return IndexOfTabAt(x, y);
}

// ---- Geometry

int TWinXPCustomTabControl::FontHeight() {
  TMeasureCanvas measure;
  measure.Font().Assign(Font());
  TEXTMETRICW tm{};
  GetTextMetricsW(measure.StateHandle(), &tm);
  return tm.tmHeight;
}

int TWinXPCustomTabControl::CaptionWidth(const WideString& caption) {
  TMeasureCanvas measure;
  TCanvas& c = measure;
  c.Font().Assign(Font());
  if (SmoothDraw()) return SmoothTextWidth(c, caption, RECT{0, 0, 10000, 10000}, dcfSmoothText);
  return c.TextWidth(RemoveAmpersands(caption));
}

int TWinXPCustomTabControl::GetTabWidth(int index) {
  if (!TabVisible(index)) return 0;
  int w = CaptionWidth(FTabs->Get(index));
  if (FImages && !TabHasNoImage(index)) w += FImages->Width() + 2;
  return std::max(w, 30) + 12;
}

int TWinXPCustomTabControl::GetTabHeight(int index) {
  if (!TabVisible(index)) return 0;
  const int h = std::max(FontHeight(), FImages ? FImages->Height() : 0) + 6;
  return index == FCurrentTabIndex ? h + 2 : h;
}

int TWinXPCustomTabControl::GetTabTop(int index) {
  return FTabPosition == TWinXPTabPosition::tpTop && TabVisible(index) && index != FCurrentTabIndex ? 2 : 0;
}

int TWinXPCustomTabControl::GetTabsWidthBefore(int count) {
  if (count < 0 || count > FTabs->Count()) return 0;
  int w = 0;
  for (int i = 0; i < count; ++i) w += GetTabWidth(i);
  return w;
}

int TWinXPCustomTabControl::GetPaneTopDelta() {
  if (GetThemeMode() == 2 && HandleAllocated()) return PaneContentMargins(Handle()).top - 1;
  return TThemePageControlData::NCCalcSizeTopDelta() - 1;
}

int TWinXPCustomTabControl::GetPaneBottomDelta() {
  if (GetThemeMode() == 2 && HandleAllocated()) return PaneContentMargins(Handle()).bottom - 1;
  return TThemePageControlData::NCCalcSizeDelta() - 1;
}

void TWinXPCustomTabControl::UpdateLayout() {
  if (!HandleAllocated()) return;
  if (FWidth == 0 && FHeight == 0) {
    FWidth = Width();
    FHeight = Height();
  }
  FDisplayRect = RECT{0, 0, FWidth, FHeight};
  int h = 2;
  if (FTabs->Count() > 0) {
    h = 0;
    for (int i = 0; i < FTabs->Count(); ++i) h = std::max(h, GetTabTop(i) + GetTabHeight(i));
  }
  if (FTabPosition == TWinXPTabPosition::tpTop) {
    FTabArea = RECT{0, 0, FWidth, h};
    FDisplayRect.top = FTabArea.bottom - GetPaneTopDelta();
  } else {
    FTabArea = RECT{0, FDisplayRect.bottom - h - 1, FWidth, FDisplayRect.bottom};
    FDisplayRect.bottom = FTabArea.top + GetPaneBottomDelta();
  }
}

void TWinXPCustomTabControl::AdjustClientRect(RECT& rect) {
  if (HandleAllocated()) rect = FDisplayRect;
  InflateRect(&rect, -4, -4);
  TXPCustomControl::AdjustClientRect(rect);
}

RECT TWinXPCustomTabControl::TabRect(int index) {
  if (index < FStartTab || index < 0 || index >= FTabs->Count()) return RECT{0, 0, 0, 0};
  const bool current = index == FCurrentTabIndex;
  const int x = GetTabsWidthBefore(index) - GetTabsWidthBefore(FStartTab) + (current ? 0 : 2);
  RECT r{x, FTabArea.top + GetTabTop(index), x + GetTabWidth(index), FTabArea.bottom};
  if (current) {
    r.right += 6;
  } else if (FTabPosition == TWinXPTabPosition::tpTop) {
    r.bottom = FDisplayRect.top;
  } else {
    r.top = FDisplayRect.bottom;
    r.bottom -= 2;
  }
  return r;
}

// ---- Scrolling the strip

int TWinXPCustomTabControl::GetTabsRightLimit() {
  return FScrollBtns && FScrollBtns->Visible() ? FScrollBtns->Left() : Width();
}

void TWinXPCustomTabControl::UpdateScrollButtons() {
  if (!HandleAllocated() || !FScrollBtns) return;
  UpdateLayout();
  const int a = (FTabArea.bottom - FTabArea.top) - 4;
  FScrollBtns->SetBounds(Width() - 2 * a, FTabArea.top + 1, 2 * a, a);
  if (FLockTabsChangesCount > 0) return;
  const bool show = FTabs->Count() > 0 && GetTabsWidthBefore(FTabs->Count()) > Width() - 6;
  FScrollBtns->SetVisible(show);
  if (!show) SetStartTab(0);
}

void TWinXPCustomTabControl::SetStartTab(int value) {
  if (!HandleAllocated()) return;
  const int count = FTabs->Count();
  value = std::clamp(value, 0, std::max(count - 1, 0));
  const int old = FStartTab;
  const int limit = GetTabsRightLimit();
  // The right end of tab Index laid out from Start.
  auto rightOf = [this](int index, int start) { return GetTabsWidthBefore(index + 1) - GetTabsWidthBefore(start); };
  if (FShowActiveTab && FCurrentTabIndex >= 0 && FCurrentTabIndex < FStartTab) {
    FStartTab = FCurrentTabIndex;
  } else {
    FStartTab = value;
    // Back while the last tab still ends within the limit from one tab earlier.
    while (FStartTab > 0 && count > 0 && rightOf(count - 1, FStartTab - 1) <= limit) --FStartTab;
    if (FShowActiveTab && FCurrentTabIndex >= 0 && FCurrentTabIndex < count) {
      while (FStartTab < FCurrentTabIndex && rightOf(FCurrentTabIndex, FStartTab) > limit &&
             GetTabWidth(FCurrentTabIndex) <= limit)
        ++FStartTab;
    }
  }
  if (FStartTab != old) InvalidateTabArea();
}

void TWinXPCustomTabControl::ScrollToShowActive() {
  FShowActiveTab = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FShowActiveTab};
  SetStartTab(FStartTab);
}

void TWinXPCustomTabControl::UpdateTabs() {
  if (!HandleAllocated()) return;
  if (GetTabIndex() < 0) SetTabIndex(0);
  UpdateLayout();
  UpdateScrollButtons();
  UpdateActivePage();
  Realign();
  InvalidateTabArea();
}

void TWinXPCustomTabControl::EndTabsChange() {
  if (FLockTabsChangesCount > 0 && --FLockTabsChangesCount == 0) UpdateTabs();
}

void TWinXPCustomTabControl::InvalidateTabArea() {
  if (!HandleAllocated()) return;
  InvalidateRect(Handle(), &FTabArea, FALSE);
}

// ---- Painting

void TWinXPCustomTabControl::DrawBackground(HDC dc, const RECT& rect, const RECT& clip) {
  if (GetThemeMode() == 2) {
    TTabTheme theme(Handle());
    if (theme.Get()) DrawThemeBackground(theme.Get(), dc, TABP_PANE, 0, &rect, &clip);
    return;
  }
  TThemePageControlData::Instance().DrawPane(dc, rect, clip);
}

void TWinXPCustomTabControl::WMEraseBkgnd(TMessage& message) {
  auto dc = reinterpret_cast<HDC>(message.WParam);
  // The pane without the part that the strip paints.
  RECT clip = FDisplayRect;
  if (FTabPosition == TWinXPTabPosition::tpTop) clip.top += GetPaneTopDelta();
  else clip.bottom -= GetPaneBottomDelta();
  DrawBackground(dc, FDisplayRect, clip);
  message.Result = 1;
}

void TWinXPCustomTabControl::Paint() {
  const int w = Width(), h = FTabArea.bottom - FTabArea.top;
  if (w <= 0 || h <= 0) return;
  HDC target = Canvas().Handle();
  HDC memDC = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, w, h);
  HGDIOBJ oldBitmap = SelectObject(memDC, bitmap);
  SetWindowOrgEx(memDC, FTabArea.left, FTabArea.top, nullptr);
  {
    TCanvas canvas;
    canvas.SetHandle(memDC);
    canvas.Font().Assign(Font());
    FDrawCanvas = &canvas;
    struct TReset {
      TCanvas*& Canvas;
      ~TReset() { Canvas = nullptr; }
    } reset{FDrawCanvas};
    DrawTabs();
    canvas.SetHandle(nullptr);
  }
  SetWindowOrgEx(memDC, 0, 0, nullptr);
  BitBlt(target, FTabArea.left, FTabArea.top, w, h, memDC, 0, 0, SRCCOPY);
  SelectObject(memDC, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memDC);
}

void TWinXPCustomTabControl::DrawTabs() {
  HDC dc = FDrawCanvas->Handle();
  // The strip outside the pane shows the parent; the pane's edge inside it is the pane's.
  {
    HRGN saved = nullptr;
    BeginClipRect(dc, FDisplayRect, saved, true);
    DrawParentBackground(*this, dc, &FTabArea);
    EndClipRect(dc, saved);
  }
  DrawBackground(dc, FDisplayRect, FTabArea);
  HRGN saved = nullptr;
  const bool buttons = FScrollBtns && FScrollBtns->Visible();
  BeginClipRect(dc, buttons ? FScrollBtns->BoundsRect() : RECT{0, 0, 0, 0}, saved, true);
  for (int i = 0; i < FTabs->Count(); ++i)
    if (i != FCurrentTabIndex) DrawTab(i, TabRect(i), false);
  if (FCurrentTabIndex >= 0 && FCurrentTabIndex < FTabs->Count())
    DrawTab(FCurrentTabIndex, TabRect(FCurrentTabIndex), true);
  EndClipRect(dc, saved);
  if (buttons) FScrollBtns->Invalidate();
}

void TWinXPCustomTabControl::DrawTabBackground(const RECT& rect, const RECT& clip, int kind, int state) {
  HDC dc = FDrawCanvas->Handle();
  const std::uint8_t mode = GetThemeMode();
  if (mode == 0) {
    TThemePageControlData::Instance().DrawClassicTab(dc, rect, FTabPosition == TWinXPTabPosition::tpTop, clip);
    return;
  }
  auto drawPicture = [&](HDC target, const RECT& r, const RECT& c) {
    if (mode == 2) {
      ThemedTabPart(Handle(), target, TABP_TOPTABITEM + kind, state + 1, r, c);
      return;
    }
    auto& data = TThemePageControlData::Instance();
    switch (kind) {
      case kTabLeftEdge: data.DrawTabLeftEdge(target, r, state, c); break;
      case kTabRightEdge: data.DrawTabRightEdge(target, r, state, c); break;
      case kTabBothEdges: data.DrawTabBothEdge(target, r, state, c); break;
      default: data.DrawTab(target, r, state, c); break;
    }
  };
  if (FTabPosition == TWinXPTabPosition::tpTop) {
    drawPicture(dc, rect, clip);
    return;
  }
  // Bottom tabs: the top picture drawn upside down over what is there (so
  // its see-through parts show the strip), then turned back into place.
  const int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (w <= 0 || h <= 0) return;
  HDC memDC = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
  HGDIOBJ oldBitmap = SelectObject(memDC, bitmap);
  StretchBlt(memDC, 0, h - 1, w, -h, dc, rect.left, rect.top, w, h, SRCCOPY);
  const RECT local{0, 0, w, h};
  RECT localClip = clip;
  OffsetRect(&localClip, -rect.left, -rect.top);
  // The clip mirrored too, so that what it cuts off stays at the same side of the picture.
  localClip = RECT{localClip.left, h - localClip.bottom, localClip.right, h - localClip.top};
  drawPicture(memDC, local, localClip);
  {
    TClipRect clipped(dc, clip);
    StretchBlt(dc, rect.left, rect.top + h - 1, w, -h, memDC, 0, 0, w, h, SRCCOPY);
  }
  SelectObject(memDC, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(memDC);
}

void TWinXPCustomTabControl::DrawTab(int index, RECT rect, bool current) {
  if (!TabVisible(index) || index < FStartTab) return;
  TCanvas& canvas = *FDrawCanvas;
  HDC dc = canvas.Handle();
  bool first = true, last = true;
  for (int i = 0; i < index; ++i) first = first && !TabVisible(i);
  for (int i = index + 1; i < FTabs->Count(); ++i) last = last && !TabVisible(i);
  const int kind = first && last ? kTabBothEdges : first ? kTabLeftEdge : last ? kTabRightEdge : kTabPlain;
  const int state = current ? kTabSelected : index == FHighlightedIndex ? kTabHot : kTabNormal;
  RECT clip = rect, focus = rect;
  const bool top = FTabPosition == TWinXPTabPosition::tpTop;
  if (current && last && !first) {
    focus.right -= 2;
    if (rect.right < Width() - 2) clip.right -= 2;
  }
  if (current) {
    if (top) ++rect.bottom;
    else --rect.top;
  }
  DrawTabBackground(rect, clip, kind, state);
  RECT text = rect;
  text.left += 6;
  if (current) {
    text.left += 2;
    text.bottom -= 2;
    focus.left += 3;
    focus.right -= 3;
    if (top) {
      focus.top += 3;
      focus.bottom -= 2;
    } else {
      focus.top += 2;
      focus.bottom -= 3;
    }
  }
  const WideString caption = FTabs->Get(index);
  {
    TClipRect clipped(dc, clip);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    DrawXPCaption(canvas, text, caption, canvas.Font(), clBtnText, TAlignment::taLeftJustify, TTextLayout::tlCenter,
                  SmoothDraw() ? TXPDrawCaptionFlags(dcfSmoothText) : 0, TEllipsisPosition::epNone, 100);
  }
  if (current && Focused()) DrawFocusRect(dc, &focus);
  // The image only where its room was reserved.
  const int image = TabImageIndex(index);
  if (FImages && FImages->Count() > 0 && !TabHasNoImage(index) && image >= 0 && image < FImages->Count()) {
    const int x = text.left + CaptionWidth(caption) + 2;
    const int y = (current ? focus.top : text.top) + 2;
    FImages->Draw(canvas, x, y, image, Enabled());
  }
}

// ---- Window

void TWinXPCustomTabControl::CreateParams(TCreateParams& params) {
  TXPCustomControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
}

void TWinXPCustomTabControl::CreateHandle() {
  TXPCustomControl::CreateHandle();
  if (FWidth == 0 && FHeight == 0) {
    FWidth = Width();
    FHeight = Height();
  }
  UpdateTabs();
  UpdateScrollButtons();
}

void TWinXPCustomTabControl::SetBounds(int left, int top, int width, int height) {
  TXPCustomControl::SetBounds(left, top, width, height);
  if (!HandleAllocated()) {
    FWidth = width;
    FHeight = height;
  }
  UpdateScrollButtons();
}

void TWinXPCustomTabControl::Resize() {
  UpdateLayout();
  TXPCustomControl::Resize();
  ScrollToShowActive();
}

void TWinXPCustomTabControl::SmoothDrawChanged() {
  TXPCustomControl::SmoothDrawChanged();
  Resize();
  Invalidate();
}

void TWinXPCustomTabControl::WMNCCalcSize(TMessage& message) {
  if (!message.WParam) {
    const auto* r = reinterpret_cast<const RECT*>(message.LParam);
    FWidth = r->right - r->left;
    FHeight = r->bottom - r->top;
    UpdateLayout();
    TVK_INHERITED(message);
    return;
  }
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(message.LParam);
  const RECT proposed = params->rgrc[0], oldWindow = params->rgrc[1];
  FWidth = proposed.right - proposed.left;
  FHeight = proposed.bottom - proposed.top;
  UpdateLayout();
  int dx = TThemePageControlData::NCCalcSizeDelta(), dy = dx;
  if (GetThemeMode() == 2) {
    const RECT margins = PaneContentMargins(Handle());
    dx = margins.right;
    dy = margins.bottom;
  }
  // No frame; the pane's right and bottom borders are painted again rather than copied.
  RECT dest = proposed;
  if (proposed.right - proposed.left != oldWindow.right - oldWindow.left)
    dest.right = dest.left + std::min(proposed.right - proposed.left, oldWindow.right - oldWindow.left) - dx;
  if (proposed.bottom - proposed.top != oldWindow.bottom - oldWindow.top)
    dest.bottom = dest.top + std::min(proposed.bottom - proposed.top, oldWindow.bottom - oldWindow.top) - dy;
  RECT source = dest;
  OffsetRect(&source, oldWindow.left - proposed.left, oldWindow.top - proposed.top);
  params->rgrc[0] = proposed;
  params->rgrc[1] = dest;
  params->rgrc[2] = source;
  message.Result = WVR_VALIDRECTS;
}

void TWinXPCustomTabControl::WMGetDlgCode(TMessage& message) {
  TVK_INHERITED(message);
  message.Result |= DLGC_WANTARROWS;
}

void TWinXPCustomTabControl::WMSetFocus(TMessage& message) {
  TVK_INHERITED(message);
  InvalidateTabArea();
}

void TWinXPCustomTabControl::WMKillFocus(TMessage& message) {
  TVK_INHERITED(message);
  InvalidateTabArea();
}

void TWinXPCustomTabControl::SetHighlightedIndex(int index) {
  if (index == FHighlightedIndex) return;
  FHighlightedIndex = index;
  if (ComponentState() & csDesigning) return;
  InvalidateTabArea();
  if (FScrollBtns && FScrollBtns->Visible()) FScrollBtns->Invalidate();
}

void TWinXPCustomTabControl::WMMouseMove(TMessage& message) {
  TVK_INHERITED(message);
  SetHighlightedIndex(IndexOfTabAt(short(LOWORD(message.LParam)), short(HIWORD(message.LParam))));
}

void TWinXPCustomTabControl::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  SetHighlightedIndex(-1);
}

void TWinXPCustomTabControl::WMLButtonDown(TMessage& message) {
  TVK_INHERITED(message);
  const int tab = TabAtPoint(short(LOWORD(message.LParam)), short(HIWORD(message.LParam)));
  if (tab >= 0) SetCurrentTab(tab);
  if (!(ComponentState() & csDesigning) && TabStop() && CanFocus()) FocusAfterTabClick();
}

bool TWinXPCustomTabControl::DoKeyDown(TMessage& message) {
  if (message.Msg == WM_KEYDOWN) {
    if (message.WParam == VK_LEFT && TabIndex() > 0) SelectNextPage(false);
    else if (message.WParam == VK_RIGHT && TabIndex() < FTabs->Count() - 1) SelectNextPage(true);
  }
  return TXPCustomControl::DoKeyDown(message);
}

void TWinXPCustomTabControl::CMDialogKey(TMessage& message) {
  const HWND focus = GetFocus();
  const bool inside = HandleAllocated() && focus && (focus == Handle() || IsChild(Handle(), focus));
  if (inside && message.WParam == VK_TAB && (KeyboardShiftState(message.LParam) & ssCtrl)) {
    SelectNextPage(!(KeyboardShiftState(message.LParam) & ssShift));
    message.Result = 1;
    return;
  }
  TVK_INHERITED(message);
}

void TWinXPCustomTabControl::CMDialogChar(TMessage& message) {
  for (int i = 0; i < FTabs->Count(); ++i)
    if (IsAccel(wchar_t(message.WParam), FTabs->Get(i)) && CanShowTab(i) && CanFocus()) {
      message.Result = 1;
      if (CanChange()) SetCurrentTab(i);
      return;
    }
  TVK_INHERITED(message);
}

void TWinXPCustomTabControl::CMEnabledChanged(TMessage& message) {
  TVK_INHERITED(message);
  Invalidate();
  for (int i = 0; i < ControlCount(); ++i) {
    TMessage copy = message;
    Controls(i)->WindowProc()(copy);
  }
}

void TWinXPCustomTabControl::CMFontChanged(TMessage& message) {
  TVK_INHERITED(message);
  UpdateLayout();
  ScrollToShowActive();
  Invalidate();
}

void TWinXPCustomTabControl::ValidateInsert(TControl* control) {
  TXPCustomControl::ValidateInsert(control);
  if (control->Is<TWinXPTabSheet>() || (FScrollBtns && control == FScrollBtns)) return;
  throw Exception(control->ClassName() + L" can't be inserted into " + ClassName() + L".");
}

TVK_MESSAGE_MAP(TWinXPCustomTabControl, {WM_SETFOCUS, &TWinXPCustomTabControl::WMSetFocus},
                {WM_KILLFOCUS, &TWinXPCustomTabControl::WMKillFocus},
                {WM_ERASEBKGND, &TWinXPCustomTabControl::WMEraseBkgnd},
                {WM_NCCALCSIZE, &TWinXPCustomTabControl::WMNCCalcSize},
                {WM_GETDLGCODE, &TWinXPCustomTabControl::WMGetDlgCode},
                {WM_MOUSEMOVE, &TWinXPCustomTabControl::WMMouseMove},
                {WM_LBUTTONDOWN, &TWinXPCustomTabControl::WMLButtonDown},
                {CM_DIALOGKEY, &TWinXPCustomTabControl::CMDialogKey},
                {CM_DIALOGCHAR, &TWinXPCustomTabControl::CMDialogChar},
                {CM_ENABLEDCHANGED, &TWinXPCustomTabControl::CMEnabledChanged},
                {CM_FONTCHANGED, &TWinXPCustomTabControl::CMFontChanged},
                {CM_MOUSELEAVE, &TWinXPCustomTabControl::CMMouseLeave})

// ---- Tab sheet

TWinXPTabSheet::TWinXPTabSheet(TComponent* owner) : TXPCustomControl(owner) {
  SetAlign(TAlign::alClient);
  SetControlStyle(ControlStyle() | csAcceptsControls | csDoubleClicks | csNoDesignVisible);
  SetVisible(false);
  SetTabStop(false);
}

TWinXPTabSheet::~TWinXPTabSheet() {
  if (FPageControl) FPageControl->RemovePage(this);
}

void TWinXPTabSheet::SetPageControl(TWinXPPageControl* value) {
  if (value == FPageControl) return;
  if (FPageControl) FPageControl->RemovePage(this);
  SetParent(value);
  if (value) value->InsertPage(this);
}

int TWinXPTabSheet::PageIndex() const { return FPageControl ? FPageControl->IndexOfPage(this) : -1; }

void TWinXPTabSheet::SetPageIndex(int value) {
  if (!FPageControl) return;
  FPageControl->MovePage(this, value);
}

int TWinXPTabSheet::TabIndex() const {
  if (!FTabShowing) return -1;
  int n = 0;
  for (int i = 0; i < FPageControl->PageCount(); ++i) {
    TWinXPTabSheet* page = FPageControl->Pages(i);
    if (page == this) break;
    n += page->FTabShowing ? 1 : 0;
  }
  return n;
}

void TWinXPTabSheet::SetTabVisible(bool value) {
  if (value == FTabVisible) return;
  FTabVisible = value;
  UpdateTabShowing();
}

void TWinXPTabSheet::SetImageIndex(int value) {
  if (value == FImageIndex) return;
  FImageIndex = value;
  if (FTabShowing) FPageControl->ImageListChange(FPageControl->Images());
}

void TWinXPTabSheet::UpdateTabShowing() {
  const bool showing = FPageControl && FTabVisible;
  if (showing == FTabShowing) return;
  const int index = PageIndex();
  FTabShowing = showing;
  if (showing) FPageControl->UpdateTabs();
  else if (FPageControl) FPageControl->TabRemoved(this, index);
}

void TWinXPTabSheet::DoShow() {
  if (OnShow) OnShow(this);
}

void TWinXPTabSheet::DoHide() {
  if (OnHide) OnHide(this);
}

void TWinXPTabSheet::CreateParams(TCreateParams& params) {
  TXPCustomControl::CreateParams(params);
  params.Style |= WS_CLIPCHILDREN;
  params.WindowClassStyle &= ~UINT(CS_HREDRAW | CS_VREDRAW);
}

void TWinXPTabSheet::ValidateContainer(TWinControl* container) {
  TXPCustomControl::ValidateContainer(container);
  if (Owner() && container && !container->Is<TWinXPPageControl>())
    throw Exception(ClassName() + L" can be inserted only in TWinXPPageControl.");
}

void TWinXPTabSheet::WMEraseBkgnd(TMessage& message) {
  auto dc = reinterpret_cast<HDC>(message.WParam);
  if (GetThemeMode() == 2) {
    RECT r = ClientRect();
    DrawThemeParentBackground(Handle(), dc, &r);
  } else if (Parent()) {
    MoveWindowOrg(dc, -Left(), -Top());
    Parent()->Perform(WM_ERASEBKGND, message.WParam, message.WParam);
    MoveWindowOrg(dc, Left(), Top());
  }
  message.Result = 1;
}

void TWinXPTabSheet::CMShowingChanged(TMessage& message) {
  TVK_INHERITED(message);
  const bool showing = Showing();
  if (showing == FWasShowing) return;
  FWasShowing = showing;
  // The handlers' failures are the application's to report; the page still changes.
  try {
    if (showing) DoShow();
    else DoHide();
  } catch (...) {
    Application().HandleException(this);
  }
}

void TWinXPTabSheet::CMEnabledChanged(TMessage& message) {
  TVK_INHERITED(message);
  for (int i = 0; i < ControlCount(); ++i) {
    TMessage copy = message;
    Controls(i)->WindowProc()(copy);
  }
}

TVK_MESSAGE_MAP(TWinXPTabSheet, {WM_ERASEBKGND, &TWinXPTabSheet::WMEraseBkgnd},
                {CM_SHOWINGCHANGED, &TWinXPTabSheet::CMShowingChanged},
                {CM_ENABLEDCHANGED, &TWinXPTabSheet::CMEnabledChanged})

// ---- The page control's tab list

TWinXPTabSheet* TPageControlStrings::Page(int index) const {
  if (index < 0 || index >= FTabControl->PageCount())
    throw EStringListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
  return FTabControl->Pages(index);
}

int TPageControlStrings::Count() const { return FTabControl->PageCount(); }
WideString TPageControlStrings::Get(int index) const { return Page(index)->Caption(); }
TObject* TPageControlStrings::Objects(int index) const { return Page(index)->FData; }

// Every change between the two brackets: the tabs are laid out once at the end.
namespace {
struct TTabsChange {
  TWinXPPageControl* Control;
  explicit TTabsChange(TWinXPPageControl* control) : Control(control) { Control->BeginTabsChange(); }
  ~TTabsChange() { Control->EndTabsChange(); }
};
}  // namespace

void TPageControlStrings::Put(int index, const WideString& s) {
  TTabsChange change(FTabControl);
  Page(index)->SetCaption(s);
}

void TPageControlStrings::PutObject(int index, TObject* object) {
  TTabsChange change(FTabControl);
  Page(index)->FData = object;
}

void TPageControlStrings::Insert(int index, const WideString& s) {
  TTabsChange change(FTabControl);
  auto* sheet = new TWinXPTabSheet(FTabControl->Owner());
  sheet->SetCaption(s);
  FTabControl->InsertPageAt(index, sheet);
}

void TPageControlStrings::Delete(int index) {
  TTabsChange change(FTabControl);
  delete Page(index);
}

void TPageControlStrings::Clear() {
  TTabsChange change(FTabControl);
  for (int i = FTabControl->PageCount() - 1; i >= 0; --i) delete FTabControl->Pages(i);
}

void TPageControlStrings::Exchange(int a, int b) {
  TTabsChange change(FTabControl);
  Page(a);
  Page(b);
  FTabControl->FPages.Exchange(a, b);
  FTabControl->FollowActivePage();
}

void TPageControlStrings::Move(int from, int to) {
  TTabsChange change(FTabControl);
  Page(from);
  Page(to);
  FTabControl->FPages.Move(from, to);
  FTabControl->FollowActivePage();
}

// ---- Page control

TWinXPPageControl::TWinXPPageControl(TComponent* owner) : TWinXPCustomTabControl(owner) {
  SetControlStyle(ControlStyle() & ~TControlStyle(csAcceptsControls));
  // The tab list is a view of the pages, which only now exist.
  FTabs = CreateTabs();
}

TWinXPPageControl::~TWinXPPageControl() {
  for (int i = 0; i < FPages.Count(); ++i) Pages(i)->FPageControl = nullptr;
  FPages.Clear();
  FActivePage = nullptr;
}

std::unique_ptr<TStrings> TWinXPPageControl::CreateTabs() { return std::make_unique<TPageControlStrings>(this); }

bool TWinXPPageControl::CanShowTab(int index) {
  return index >= 0 && index < FPages.Count() && Pages(index)->Enabled();
}

bool TWinXPPageControl::TabVisible(int index) {
  return index >= 0 && index < FPages.Count() && Pages(index)->TabVisible();
}

bool TWinXPPageControl::TabHasNoImage(int index) {
  if (index < 0 || index >= FPages.Count()) return false;
  const int image = Pages(index)->ImageIndex();
  return image < 0 || !Images() || image > Images()->Count();
}

int TWinXPPageControl::TabImageIndex(int index) {
  return index >= 0 && index < FPages.Count() ? Pages(index)->ImageIndex() : -1;
}

void TWinXPPageControl::InsertPage(TWinXPTabSheet* page) { InsertPageAt(FPages.Count(), page); }

void TWinXPPageControl::InsertPageAt(int index, TWinXPTabSheet* page) {
  if (!page || FPages.IndexOf(page) >= 0) return;
  if (page->FPageControl) page->FPageControl->RemovePage(page);
  page->SetParent(this);
  FPages.Insert(std::clamp(index, 0, FPages.Count()), page);
  FollowActivePage();
  page->FPageControl = this;
  page->SetAlign(TAlign::alClient);
  page->SetVisible(false);
  page->UpdateTabShowing();
  if (Loading()) page->HandleNeeded();
}

void TWinXPPageControl::RemovePage(TWinXPTabSheet* page) {
  const int index = FPages.IndexOf(page);
  if (index < 0) return;
  TWinXPTabSheet* next = FindNextPage(page, true, !(ComponentState() & csDesigning));
  if (next == page) next = nullptr;
  FPages.Delete(index);
  if (page->FTabShowing) {
    page->FTabShowing = false;
    TabRemoved(page, index);
  }
  page->FPageControl = nullptr;
  SetActivePage(next);
}

void TWinXPPageControl::TabRemoved(TWinXPTabSheet* page, int index) {
  BeginTabsChange();
  struct TEnd {
    TWinXPPageControl* Control;
    ~TEnd() { Control->EndTabsChange(); }
  } end{this};
  InvalidateTabArea();
  if (page == FActivePage) {
    if (FPages.IndexOf(page) < 0) {
      SetCurrentTab(std::min(index, Tabs().Count() - 1));
    } else {
      // Still a page, without a tab: the current tab moves on to the next tab shown.
      const int next = FindNextTab(index, true, true);
      SetCurrentTab(next == index ? -1 : next);
    }
  } else {
    FollowActivePage();
  }
  UpdateActivePage();
}

void TWinXPPageControl::FollowActivePage() {
  if (FActivePage && FPages.IndexOf(FActivePage) >= 0) FCurrentTabIndex = FPages.IndexOf(FActivePage);
}

void TWinXPPageControl::MovePage(TWinXPTabSheet* page, int newIndex) {
  const int from = FPages.IndexOf(page);
  if (from < 0) return;
  newIndex = std::clamp(newIndex, 0, FPages.Count() - 1);
  BeginTabsChange();
  FPages.Move(from, newIndex);
  FollowActivePage();
  EndTabsChange();
  SetCurrentTab(newIndex);
}

TWinXPTabSheet* TWinXPPageControl::FindNextPage(TWinXPTabSheet* curPage, bool goForward, bool checkTabVisible) {
  const int i = FindNextTab(FPages.IndexOf(curPage), goForward, checkTabVisible);
  return i < 0 ? nullptr : Pages(i);
}

void TWinXPPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < FPages.Count() ? Pages(index) : nullptr);
}

void TWinXPPageControl::SetActivePage(TWinXPTabSheet* page) {
  if (page && page->FPageControl != this) return;
  ChangeActivePage(page);
  if (!page) {
    if (!Loading()) SetCurrentTab(-1);
  } else if (page == FActivePage) {
    SetCurrentTab(page->PageIndex());
  }
}

void TWinXPPageControl::ChangeActivePage(TWinXPTabSheet* page) {
  if (page == FActivePage) return;
  TCustomForm* form = GetParentForm(this);
  if (form && FActivePage && form->ActiveControl() && FActivePage->ContainsControl(form->ActiveControl())) {
    form->SetActiveControl(FActivePage);
    if (form->ActiveControl() != FActivePage) {
      // The focused control kept the focus: the tab goes back.
      FollowActivePage();
      InvalidateTabArea();
      return;
    }
  }
  if (page) {
    RECT area = ClientRect();
    AdjustClientRect(area);
    page->SetBounds(area.left, area.top, area.right - area.left, area.bottom - area.top);
    if (page->HandleAllocated())
      SetWindowPos(page->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    page->SetVisible(true);
    if (form && FActivePage && form->ActiveControl() == FActivePage)
      form->SetActiveControl(page->CanFocus() ? static_cast<TWinControl*>(page) : this);
  }
  if (FActivePage) FActivePage->SetVisible(false);
  FActivePage = page;
  if (form && page && form->ActiveControl() == page) page->SelectNext(nullptr, true, true);
}

void TWinXPPageControl::FocusAfterTabClick() {
  if (PassFocusOnChange() && FActivePage) {
    for (int i = 0; i < FActivePage->ControlCount(); ++i)
      if (auto* child = dynamic_cast<TWinControl*>(FActivePage->Controls(i)); child && child->CanFocus()) {
        child->SetFocus();
        return;
      }
    if (FActivePage->CanFocus()) FActivePage->SetFocus();
    return;
  }
  if (CanFocus()) SetFocus();
}

void TWinXPPageControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  for (int i = 0; i < FPages.Count(); ++i) proc(Pages(i));
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Owner() == root && FPages.IndexOf(c) < 0) proc(c);
  }
}

void TWinXPPageControl::Notification(TComponent* component, TOperation operation) {
  TWinXPCustomTabControl::Notification(component, operation);
}

}  // namespace tvk
