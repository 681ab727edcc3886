#include "ComCtrls.h"

#include "Convert.h"

#include <commctrl.h>

#include <algorithm>

namespace tvk {

// ---- TTabSheet

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
  SetAlign(TAlign::alClient);
  SetVisible(false);
}

TTabSheet::~TTabSheet() {
  if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* control) {
  if (control == FPageControl) return;
  if (FPageControl) FPageControl->RemovePage(this);
  SetParent(control);
  if (control) control->InsertPage(this);
}

int TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  const auto& pages = FPageControl->FPages;
  return int(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int index) {
  if (FPageControl) FPageControl->MovePage(this, index);
}

void TTabSheet::CMTextChanged(TMessage& message) {
  (void)message;
  if (FPageControl) FPageControl->UpdateTabs();
}

TVK_MESSAGE_MAP(TTabSheet, {CM_TEXTCHANGED, &TTabSheet::CMTextChanged})

// ---- TPageControl

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
}

TPageControl::~TPageControl() {
  // The sheets still placed in the control are freed with it and must not reach back.
  for (TTabSheet* page : FPages) page->FPageControl = nullptr;
  FPages.clear();
}

TTabSheet* TPageControl::Pages(int index) const {
  if (index < 0 || index >= PageCount()) throw EListError(L"Page index out of bounds (" + IntToStr(index) + L")");
  return FPages[size_t(index)];
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->FPageControl != this) return;
  FActivePage = page;
  ShowActivePage();
  if (HandleAllocated()) SendMessageW(Handle(), TCM_SETCURSEL, WPARAM(ActivePageIndex()), 0);
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? FPages[size_t(index)] : nullptr);
}

void TPageControl::SetHotTrack(bool value) {
  if (value == FHotTrack) return;
  FHotTrack = value;
  if (HandleAllocated()) RecreateWnd();
}

void TPageControl::CreateParams(TCreateParams& params) {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX), ICC_TAB_CLASSES};
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)registered;
  TWinControl::CreateParams(params);
  params.SubClassName = WC_TABCONTROLW;
  if (FHotTrack) params.Style |= TCS_HOTTRACK;
}

void TPageControl::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(Handle(), WM_SETFONT, WPARAM(GetStockObject(DEFAULT_GUI_FONT)), 0);
  UpdateTabs();
}

void TPageControl::AdjustClientRect(RECT& rect) {
  if (HandleAllocated()) SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, LPARAM(&rect));
}

void TPageControl::CNNotify(TMessage& message) {
  const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
  if (header->code != TCN_SELCHANGE) return;
  const int chosen = int(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0));
  SetActivePageIndex(chosen);
  if (OnChange) OnChange(this);
}

TVK_MESSAGE_MAP(TPageControl, {CN_NOTIFY, &TPageControl::CNNotify})

void TPageControl::InsertPage(TTabSheet* page) {
  FPages.push_back(page);
  page->FPageControl = this;
  if (!FActivePage) FActivePage = page;
  UpdateTabs();
  ShowActivePage();
}

void TPageControl::RemovePage(TTabSheet* page) {
  const int index = page->PageIndex();
  FPages.erase(FPages.begin() + index);
  page->FPageControl = nullptr;
  page->SetVisible(false);
  if (page == FActivePage) FActivePage = FPages.empty() ? nullptr : FPages[size_t(std::min(index, PageCount() - 1))];
  UpdateTabs();
  ShowActivePage();
}

void TPageControl::MovePage(TTabSheet* page, int index) {
  index = std::clamp(index, 0, PageCount() - 1);
  FPages.erase(FPages.begin() + page->PageIndex());
  FPages.insert(FPages.begin() + index, page);
  UpdateTabs();
}

void TPageControl::UpdateTabs() {
  if (!HandleAllocated() || IsDestroying()) return;
  const HWND window = Handle();
  SendMessageW(window, TCM_DELETEALLITEMS, 0, 0);
  for (int i = 0; i < PageCount(); ++i) {
    WideString caption = FPages[size_t(i)]->Text();
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageW(window, TCM_INSERTITEMW, WPARAM(i), LPARAM(&item));
  }
  SendMessageW(window, TCM_SETCURSEL, WPARAM(ActivePageIndex()), 0);
  // The tabs may have taken another number of rows.
  Realign();
}

void TPageControl::ShowActivePage() {
  for (TTabSheet* page : FPages) page->SetVisible(page == FActivePage);
}

}  // namespace tvk
