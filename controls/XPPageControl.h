#pragma once
// The themed tab control (a strip of tabs along the top or bottom edge, a
// pane for its children, arrow buttons that scroll tabs which do not fit;
// painted through the system's tab theme, from the emulated XP look's skins,
// or with classic edges) and the page control built on it, whose tabs are its
// tab sheets.
#include "ImageLists.h"
#include "Lists.h"
#include "XPControls.h"
#include "XPExtCtrls.h"

#include <functional>
#include <memory>

namespace tvk {

enum class TWinXPTabPosition { tpTop, tpBottom };

using TTabChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;
using TTabGetImageEvent = std::function<void(TObject* Sender, int TabIndex, int& ImageIndex)>;

class TWinXPCustomTabControl;

// The tab captions of a plain tab control: every change re-lays the tabs.
class TTabControlStrings : public TStringList {
public:
  TVK_CLASS(TTabControlStrings, TStringList)
  explicit TTabControlStrings(TWinXPCustomTabControl* tabControl) : FTabControl(tabControl) {}

protected:
  void Changed() override;

private:
  TWinXPCustomTabControl* FTabControl;
};

// The emulated XP look's pane and tab pictures, and the classic tab; one for
// the process, made on first use.
class TThemePageControlData {
public:
  TThemePageControlData();
  static TThemePageControlData& Instance();
  // 4 in the emulated XP look, else 3.
  static int NCCalcSizeDelta();
  // 2 in the emulated XP look, else 3.
  static int NCCalcSizeTopDelta();

  void DrawPane(HDC dc, const RECT& rect, const RECT& clipRect);
  // Cell State (0 normal, 1 hot, 2 selected, 3 disabled, 4 focused) of a tab picture.
  void DrawTab(HDC dc, const RECT& rect, int state, const RECT& clipRect);
  void DrawTabLeftEdge(HDC dc, const RECT& rect, int state, const RECT& clipRect);
  void DrawTabRightEdge(HDC dc, const RECT& rect, int state, const RECT& clipRect);
  void DrawTabBothEdge(HDC dc, const RECT& rect, int state, const RECT& clipRect);
  void DrawClassicTab(HDC dc, const RECT& rect, bool top, const RECT& clipRect);
  void DrawRoot(HDC dc, const RECT& rect, TColor color);

private:
  void DrawTabImage(TAlphaImage& image, HDC dc, const RECT& rect, int state, const RECT& clipRect);
  TAlphaImage& FPaneImage;
  TAlphaImage& FTabBothEdgeImage;
  TAlphaImage& FTabLeftEdgeImage;
  TAlphaImage& FTabImage;
  TAlphaImage& FTabRightEdgeImage;
};

class TWinXPCustomTabControl : public TXPCustomControl {
public:
  TVK_CLASS(TWinXPCustomTabControl, TXPCustomControl)
  explicit TWinXPCustomTabControl(TComponent* owner);
  ~TWinXPCustomTabControl() override;

  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* value);
  bool PassFocusOnChange() const { return FPassFocusOnChange; }
  void SetPassFocusOnChange(bool value) { FPassFocusOnChange = value; }
  TWinXPTabPosition TabPosition() const { return FTabPosition; }
  void SetTabPosition(TWinXPTabPosition value);
  TStrings& Tabs() { return *FTabs; }
  void SetTabs(const TStrings& value) { FTabs->Assign(value); }

  // The current tab counted among the tabs shown (-1: none); setting picks
  // the Value-th tab shown.
  int TabIndex() { return GetTabIndex(); }
  void SetTabIndex(int value);
  // The current tab's index in the tab list (-1: none).
  int CurrentTab() const { return FCurrentTabIndex; }
  int StartTab() const { return FStartTab; }
  int HighlightedIndex() const { return FHighlightedIndex; }
  TXPUpDown& ScrollButtons() { return *FScrollBtns; }
  const RECT& DisplayRect() const { return FDisplayRect; }
  const RECT& TabArea() const { return FTabArea; }

  int IndexOfTabAt(int x, int y);
  RECT TabRect(int index);
  void ScrollTabs(int delta);
  void SelectNextPage(bool goForward);
  // The next tab from Start (-1: before the first), wrapping; -1 when none qualifies.
  int FindNextTab(int start, bool goForward, bool checkTabVisible);
  int GetTabWidth(int index);
  int GetTabHeight(int index);
  int GetTabTop(int index);

  // Tab-list changes between the two lay the tabs out once, at the end.
  void BeginTabsChange() { ++FLockTabsChangesCount; }
  void EndTabsChange();

  void SetBounds(int left, int top, int width, int height) override;
  void Loaded() override;
  void AdjustClientRect(RECT& rect) override;
  void SmoothDrawChanged() override;

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
  // Declared for designs that set it; nothing fires it.
  TTabGetImageEvent OnGetImageIndex;

protected:
  virtual bool CanShowTab(int index);
  virtual std::unique_ptr<TStrings> CreateTabs();
  virtual void DrawTab(int index, RECT rect, bool current);
  virtual int GetTabIndex();
  virtual bool TabVisible(int index);
  virtual bool TabHasNoImage(int index);
  // The image a tab shows where its room is reserved (-1: none).
  virtual int TabImageIndex(int index);
  virtual void SetActivePageIndex(int index);
  virtual void UpdateActivePage() { SetActivePageIndex(FCurrentTabIndex); }
  virtual void FocusAfterTabClick() { SetFocus(); }
  virtual bool CanChange();
  virtual bool CanChangeTab(int index);
  virtual void Change();

  void SetCurrentTab(int index);
  void UpdateTabs();
  void UpdateLayout();
  void UpdateScrollButtons();
  void SetStartTab(int value);
  void ScrollToShowActive();
  void ImageListChange(TObject* sender);
  void InvalidateTabArea();
  int GetPaneTopDelta();
  int GetPaneBottomDelta();
  int GetTabsWidthBefore(int count);
  int GetTabsRightLimit();
  int TabAtPoint(int x, int y);
  // A tab picture (Kind 0 plain, 1 left edge, 2 right edge, 3 both; State 0
  // normal, 1 hot, 2 selected) on the strip's canvas; bottom tabs show the top picture upside down.
  void DrawTabBackground(const RECT& rect, const RECT& clip, int kind, int state);
  // The canvas DrawTab and DrawTabBackground paint on (the strip's buffer while it paints).
  TCanvas* DrawCanvas() const { return FDrawCanvas; }
  void SetDrawCanvas(TCanvas* canvas) { FDrawCanvas = canvas; }

  void Notification(TComponent* component, TOperation operation) override;
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void Paint() override;
  void Resize() override;
  bool DoKeyDown(TMessage& message) override;
  // Only tab sheets and the control's own arrow buttons may be placed in it.
  void ValidateInsert(TControl* control) override;

  TVK_MESSAGES();
  void WMSetFocus(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMNCCalcSize(TMessage& message);
  void WMGetDlgCode(TMessage& message);
  void WMMouseMove(TMessage& message);
  void WMLButtonDown(TMessage& message);
  void CMDialogKey(TMessage& message);
  void CMDialogChar(TMessage& message);
  void CMEnabledChanged(TMessage& message);
  void CMFontChanged(TMessage& message);
  void CMMouseLeave(TMessage& message);

  std::unique_ptr<TStrings> FTabs;
  int FCurrentTabIndex = -1;

private:
  friend class TTabControlStrings;
  friend class TPageControlStrings;
  // The pane (the theme's, or the skin's or classic one) into Dc, clipped to Clip.
  void DrawBackground(HDC dc, const RECT& rect, const RECT& clip);
  void DrawTabs();
  void SetHighlightedIndex(int index);
  // The width of the caption as drawn (measured on the screen with the control's font).
  int CaptionWidth(const WideString& caption);
  int FontHeight();

  TCustomImageList* FImages = nullptr;
  std::unique_ptr<TChangeLink> FImageChangeLink;
  int FHeight = 0;
  RECT FDisplayRect{};
  RECT FTabArea{};
  TXPUpDown* FScrollBtns = nullptr;
  int FLockTabsChangesCount = 0;
  int FStartTab = 0;
  bool FShowActiveTab = false;
  int FSavedTabIndex = -2;
  TWinXPTabPosition FTabPosition = TWinXPTabPosition::tpTop;
  int FHighlightedIndex = -1;
  bool FUpdatingTabIndex = false;
  int FWidth = 0;
  bool FPassFocusOnChange = false;
  TCanvas* FDrawCanvas = nullptr;  // the strip's buffer while it paints
};

class TWinXPPageControl;

class TWinXPTabSheet : public TXPCustomControl {
public:
  TVK_CLASS(TWinXPTabSheet, TXPCustomControl)
  explicit TWinXPTabSheet(TComponent* owner);
  ~TWinXPTabSheet() override;

  TWinXPPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TWinXPPageControl* value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  // Its place in its page control's list (-1 without one); setting moves it there and makes it current.
  int PageIndex() const;
  void SetPageIndex(int value);
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool value);
  bool TabShowing() const { return FTabShowing; }
  // The number of pages with a tab before it; -1 without a tab.
  int TabIndex() const;
  // The object kept with its entry in the page control's tab list.
  TObject* Data() const { return FData; }

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

protected:
  virtual void DoShow();
  virtual void DoHide();
  void CreateParams(TCreateParams& params) override;
  // A sheet with an owner only goes into a page control.
  void ValidateContainer(TWinControl* container) override;
  TVK_MESSAGES();
  void WMEraseBkgnd(TMessage& message);
  void CMShowingChanged(TMessage& message);
  void CMEnabledChanged(TMessage& message);

private:
  friend class TWinXPPageControl;
  friend class TPageControlStrings;
  void UpdateTabShowing();

  TObject* FData = nullptr;
  TWinXPPageControl* FPageControl = nullptr;
  int FImageIndex = -1;
  int FPageIndex = -1;
  bool FTabVisible = true;
  bool FTabShowing = false;
  bool FWasShowing = false;
};

// The tab list of a page control: a live view of its pages.
class TPageControlStrings : public TStrings {
public:
  TVK_CLASS(TPageControlStrings, TStrings)
  explicit TPageControlStrings(TWinXPPageControl* tabControl) : FTabControl(tabControl) {}

  int Count() const override;
  WideString Get(int index) const override;
  void Put(int index, const WideString& s) override;
  TObject* Objects(int index) const override;
  void PutObject(int index, TObject* object) override;
  void Insert(int index, const WideString& s) override;
  // Frees the page.
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int a, int b) override;
  void Move(int from, int to) override;

private:
  TWinXPTabSheet* Page(int index) const;
  TWinXPPageControl* FTabControl;
};

class TWinXPPageControl : public TWinXPCustomTabControl {
public:
  TVK_CLASS(TWinXPPageControl, TWinXPCustomTabControl)
  explicit TWinXPPageControl(TComponent* owner);
  ~TWinXPPageControl() override;

  TWinXPTabSheet* ActivePage() const { return FActivePage; }
  void SetActivePage(TWinXPTabSheet* page);
  int ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }
  int PageCount() const { return FPages.Count(); }
  TWinXPTabSheet* Pages(int index) const { return static_cast<TWinXPTabSheet*>(FPages.Items(index)); }
  int IndexOfPage(const TWinXPTabSheet* page) const { return FPages.IndexOf(page); }

  void InsertPage(TWinXPTabSheet* page);
  void InsertPageAt(int index, TWinXPTabSheet* page);
  void RemovePage(TWinXPTabSheet* page);
  TWinXPTabSheet* FindNextPage(TWinXPTabSheet* curPage, bool goForward, bool checkTabVisible);
  // The pages in page order, then the other children owned by Root.
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

protected:
  bool CanShowTab(int index) override;
  std::unique_ptr<TStrings> CreateTabs() override;
  bool TabVisible(int index) override;
  bool TabHasNoImage(int index) override;
  int TabImageIndex(int index) override;
  void SetActivePageIndex(int index) override;
  void FocusAfterTabClick() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TWinXPTabSheet;
  friend class TPageControlStrings;
  void AttachPage(TWinXPTabSheet* page);
  void ChangeActivePage(TWinXPTabSheet* page);
  void TabRemoved(TWinXPTabSheet* page, int index);
  void MovePage(TWinXPTabSheet* page, int newIndex);
  // The current tab index follows the active page after the list changed.
  void FollowActivePage();

  TWinXPTabSheet* FActivePage = nullptr;
  TList FPages;
};

// The skins and the pane data are freed.
void XPPageControlShutdown();

}  // namespace tvk
