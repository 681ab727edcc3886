#pragma once
// Pages over the common controls' tab control: a page control shows one of
// its tab sheets at a time, the one whose tab is chosen (ActivePage), in the
// area left below the tabs.
#include "Controls.h"

#include <vector>

namespace tvk {

class TPageControl;

// One page: a windowed control placed in a page control, its caption the tab's text.
class TTabSheet : public TWinControl {
public:
  TVK_CLASS(TTabSheet, TWinControl)
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return FPageControl; }
  // Moves the sheet into Control's pages (last) and makes Control its parent; null takes it out.
  void SetPageControl(TPageControl* control);
  // The sheet's place among its page control's pages; -1 outside one.
  int PageIndex() const;
  void SetPageIndex(int index);

protected:
  TVK_MESSAGES();
  void CMTextChanged(TMessage& message);

private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
};

class TPageControl : public TWinControl {
public:
  TVK_CLASS(TPageControl, TWinControl)
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;

  int PageCount() const { return int(FPages.size()); }
  TTabSheet* Pages(int index) const;
  // The page shown; null only without pages. Choosing another page shows it and hides the rest.
  TTabSheet* ActivePage() const { return FActivePage; }
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  // Tabs lit under the mouse (the tab control's hot tracking).
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool value);
  // The active page changed through a click on a tab.
  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWnd() override;
  // The pages take the area left inside the tabs' frame.
  void AdjustClientRect(RECT& rect) override;
  TVK_MESSAGES();
  void CNNotify(TMessage& message);

private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void MovePage(TTabSheet* page, int index);
  // The window's tabs made anew from the pages, the active one selected.
  void UpdateTabs();
  void ShowActivePage();

  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
  bool FHotTrack = false;
};

}  // namespace tvk
