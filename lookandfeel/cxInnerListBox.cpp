#include "cxInnerListBox.h"

#include "cxContainer.h"
#include "cxControls.h"
#include "Messages.h"

namespace tvk {

namespace {

DWORD SystemTickCount() { return GetTickCount(); }

bool IsHighSurrogate(wchar_t C) { return C >= 0xD800 && C <= 0xDBFF; }
bool IsLowSurrogate(wchar_t C) { return C >= 0xDC00 && C <= 0xDFFF; }

}  // namespace

DWORD (*TcxCustomInnerListBox::TickCount)() = &SystemTickCount;

TcxCustomInnerListBox::TcxCustomInnerListBox(TComponent* AOwner) : TWinControl(AOwner) {}

void TcxCustomInnerListBox::CreateParams(TCreateParams& AParams) {
  TWinControl::CreateParams(AParams);
  AParams.SubClassName = L"LISTBOX";
  AParams.Style |= WS_VSCROLL | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
  if (MultiSelect) AParams.Style |= LBS_EXTENDEDSEL;
  if (OwnerDraw) AParams.Style |= LBS_OWNERDRAWFIXED;
}

int TcxCustomInnerListBox::AddItem(const WideString& AText) {
  return int(SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(AText.c_str())));
}

int TcxCustomInnerListBox::Count() { return int(SendMessageW(Handle(), LB_GETCOUNT, 0, 0)); }

int TcxCustomInnerListBox::ItemIndex() {
  if (MultiSelect) return int(SendMessageW(Handle(), LB_GETCARETINDEX, 0, 0));
  return int(SendMessageW(Handle(), LB_GETCURSEL, 0, 0));
}

void TcxCustomInnerListBox::SetItemIndex(int AIndex) {
  if (MultiSelect)
    SendMessageW(Handle(), LB_SETCARETINDEX, WPARAM(AIndex), 0);
  else
    SendMessageW(Handle(), LB_SETCURSEL, WPARAM(AIndex), 0);
}

bool TcxCustomInnerListBox::ItemVisible(int AIndex) {
  RECT r{};
  if (SendMessageW(Handle(), LB_GETITEMRECT, WPARAM(AIndex), reinterpret_cast<LPARAM>(&r)) == LB_ERR) return false;
  const RECT bounds{0, 0, Width(), Height()};
  for (POINT corner : {POINT{r.left, r.top}, POINT{r.right - 1, r.top}, POINT{r.left, r.bottom - 1},
                       POINT{r.right - 1, r.bottom - 1}})
    if (PtInRect(&bounds, corner)) return true;
  return false;
}

int TcxCustomInnerListBox::FindItemByPrefix(const WideString& APrefix) {
  return int(SendMessageW(Handle(), LB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(APrefix.c_str())));
}

void TcxCustomInnerListBox::Click() {
  if (OnClick) OnClick(this);
}

void TcxCustomInnerListBox::HandleIncrementalSearchKey(wchar_t& AKey) {
  if (!AutoComplete) return;
  const DWORD now = TickCount();
  if (now - FPrevKeyPressTime >= AutoCompleteDelay) FAutoCompleteFilter.clear();
  FPrevKeyPressTime = now;
  if (AKey == L'\b') {
    // A surrogate pair is one character: both halves go.
    if (!FAutoCompleteFilter.empty()) {
      const bool pair = FAutoCompleteFilter.size() >= 2 && IsLowSurrogate(FAutoCompleteFilter.back()) &&
                        IsHighSurrogate(FAutoCompleteFilter[FAutoCompleteFilter.size() - 2]);
      FAutoCompleteFilter.resize(FAutoCompleteFilter.size() - (pair ? 2 : 1));
    }
  } else if (IsHighSurrogate(AKey)) {
    FAutoCompleteFilter += AKey;
    MSG next;
    if (HandleAllocated() && PeekMessageW(&next, Handle(), WM_CHAR, WM_CHAR, PM_REMOVE))
      FAutoCompleteFilter += wchar_t(next.wParam);
    AKey = 0;
  } else {
    FAutoCompleteFilter += AKey;
  }
  if (FAutoCompleteFilter.empty()) {
    SetItemIndex(0);
    Click();
  } else if (int item = FindItemByPrefix(FAutoCompleteFilter); item >= 0) {
    if (MultiSelect) {
      SendMessageW(Handle(), LB_SETSEL, FALSE, LPARAM(-1));
      SendMessageW(Handle(), LB_SELITEMRANGE, TRUE, MAKELPARAM(item, item));
    }
    SetItemIndex(item);
    Click();
  }
  if (AKey != L'\b' && AKey != L'\r' && AKey != 27) AKey = 0;
}

void TcxCustomInnerListBox::KeyPress(wchar_t& AKey) {
  if (AKey == L'\t') AKey = 0;
  if (AKey != 0 && FContainer) FContainer->InnerControlKeyPress(AKey);
  if (AKey == L'\r') AKey = 0;
  if (AKey != 0) TWinControl::KeyPress(AKey);
  if (AKey != 0) HandleIncrementalSearchKey(AKey);
}

void TcxCustomInnerListBox::DrawItem(int AIndex, const RECT& ARect, UINT AState) {
  if (OnDrawItem) {
    OnDrawItem(this, AIndex, ARect, AState);
    return;
  }
  FListCanvas->FillRect(ARect);
  const auto length = SendMessageW(Handle(), LB_GETTEXTLEN, WPARAM(AIndex), 0);
  if (length <= 0) return;
  WideString text(std::size_t(length), L'\0');
  SendMessageW(Handle(), LB_GETTEXT, WPARAM(AIndex), reinterpret_cast<LPARAM>(text.data()));
  FListCanvas->TextOut(ARect.left + 2, ARect.top, text);
}

void TcxCustomInnerListBox::CNDrawItem(const DRAWITEMSTRUCT& AItem) {
  FListCanvas->SetHandle(AItem.hDC);
  FListCanvas->Font().Assign(Font());
  FListCanvas->Brush().SetColor(Color());
  const int index = int(AItem.itemID);
  if (index >= 0 && (AItem.itemState & ODS_SELECTED)) {
    FListCanvas->Brush().SetColor(clHighlight);
    FListCanvas->Font().SetColor(clHighlightText);
  }
  if (index < 0)
    FListCanvas->FillRect(AItem.rcItem);
  else
    DrawItem(index, AItem.rcItem, AItem.itemState);
  if ((AItem.itemState & ODS_FOCUS) && DrawsOwnFocusRect()) ::DrawFocusRect(AItem.hDC, &AItem.rcItem);
}

void TcxCustomInnerListBox::WndProc(TMessage& Message) {
  if (Message.Msg == CN_DRAWITEM) {
    // The handle is released even when drawing fails.
    struct TRelease {
      TCanvas& Canvas;
      ~TRelease() { Canvas.SetHandle(nullptr); }
    } release{*FListCanvas};
    CNDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam));
    Message.Result = 1;
    return;
  }
  TWinControl::WndProc(Message);
  if (Message.Msg == WM_GETDLGCODE) {
    if (FContainer) Message.Result |= DLGC_WANTCHARS;
    // Tab goes on to the container, which moves the focus, unless Ctrl is held.
    if (!cxControlSystemQueries().CtrlDown()) Message.Result |= DLGC_WANTTAB;
  }
}

}  // namespace tvk
