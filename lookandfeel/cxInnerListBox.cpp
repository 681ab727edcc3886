#include "cxInnerListBox.h"

#include "cxClasses.h"
#include "cxContainer.h"
#include "cxControls.h"
#include "Menus.h"
#include "Messages.h"

#include <algorithm>
#include <utility>

namespace tvk {

namespace {

DWORD SystemTickCount() { return GetTickCount(); }

bool IsHighSurrogate(wchar_t C) { return C >= 0xD800 && C <= 0xDBFF; }
bool IsLowSurrogate(wchar_t C) { return C >= 0xDC00 && C <= 0xDFFF; }

TShiftState ListBoxMouseShift(WPARAM AKeys) {
  TShiftState shift = 0;
  if (AKeys & MK_SHIFT) shift |= ssShift;
  if (AKeys & MK_CONTROL) shift |= ssCtrl;
  if (AKeys & MK_LBUTTON) shift |= ssLeft;
  if (AKeys & MK_RBUTTON) shift |= ssRight;
  if (AKeys & MK_MBUTTON) shift |= ssMiddle;
  return shift;
}

}  // namespace

DWORD (*TcxCustomInnerListBox::TickCount)() = &SystemTickCount;

TcxCustomInnerListBox::TcxCustomInnerListBox(TComponent* AOwner) : TListBox(AOwner) {
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = [this](TcxLookAndFeel*, TcxLookAndFeelValues) {
    if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, TRUE);
  };
  FHScrollBar = CreateExternalScrollBar(sbHorizontal);
  FVScrollBar = CreateExternalScrollBar(sbVertical);
  SetControlStyle((ControlStyle() & ~csOpaque) | csDoubleClicks);
  SetParentColor(false);
  SetParentFont(true);
}

TcxCustomInnerListBox::~TcxCustomInnerListBox() {
  ClearObjectLinks(this);
  // The bars may sit on another control: they go before the list box they scroll.
  ++FScrollBarsLockCount;
  delete std::exchange(FHScrollBar, nullptr);
  delete std::exchange(FVScrollBar, nullptr);
}

TcxScrollBar* TcxCustomInnerListBox::CreateExternalScrollBar(TScrollBarKind AKind) {
  auto* bar = new TcxScrollBar(this);
  bar->FreeNotification(this);
  bar->SetKind(AKind);
  bar->SetSmallChange(1);
  bar->SetVisible(false);
  bar->LookAndFeel()->SetMasterLookAndFeel(FLookAndFeel.get());
  if (AKind == sbHorizontal)
    bar->OnScroll = [this](TObject*, TScrollCode ACode, int& APos) { HScrollBarScroll(ACode, APos); };
  else
    bar->OnScroll = [this](TObject*, TScrollCode ACode, int& APos) { VScrollBarScroll(ACode, APos); };
  return bar;
}

void TcxCustomInnerListBox::Notification(TComponent* AComponent, TOperation AOperation) {
  TListBox::Notification(AComponent, AOperation);
  if (AOperation != TOperation::opRemove) return;
  if (AComponent == FHScrollBar) FHScrollBar = nullptr;
  if (AComponent == FVScrollBar) FVScrollBar = nullptr;
}

void TcxCustomInnerListBox::CreateParams(TCreateParams& AParams) {
  TListBox::CreateParams(AParams);
  // No border of its own (the container draws one), and a horizontal bar to mirror.
  AParams.Style = (AParams.Style & ~DWORD(WS_BORDER)) | WS_HSCROLL;
  AParams.ExStyle &= ~DWORD(WS_EX_CLIENTEDGE);
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
  // A virtual list keeps no strings for the window to search.
  if (IsVirtual()) return DoFindData(APrefix);
  const LRESULT found = SendMessageW(Handle(), LB_FINDSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(APrefix.c_str()));
  return found == LB_ERR ? -1 : int(found);
}

void TcxCustomInnerListBox::Click() {
  if (OnClick) OnClick(this);
  if (FVScrollBar && HandleAllocated()) FVScrollBar->SetPosition(TopIndex());
  if (FContainer) FContainer->InnerControlClick();
}

void TcxCustomInnerListBox::DblClick() {
  TListBox::DblClick();
  if (FContainer) FContainer->InnerControlDblClick();
}

void TcxCustomInnerListBox::MouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) {
  TListBox::MouseDown(AButton, AShift, X, Y);
  if (FContainer) FContainer->InnerControlMouseDown(AButton, AShift, X + Left(), Y + Top());
}

void TcxCustomInnerListBox::MouseMove(TShiftState AShift, int X, int Y) {
  TListBox::MouseMove(AShift, X, Y);
  if (FContainer) FContainer->InnerControlMouseMove(AShift, X + Left(), Y + Top());
}

void TcxCustomInnerListBox::MouseUp(TMouseButton AButton, TShiftState AShift, int X, int Y) {
  TListBox::MouseUp(AButton, AShift, X, Y);
  if (FContainer) FContainer->InnerControlMouseUp(AButton, AShift, X + Left(), Y + Top());
}

// ---- The own scroll bars

void TcxCustomInnerListBox::SetExternalScrollBar(TcxScrollBar* ABar, LONG AObjectId, int ANativeBar) {
  if (!ABar) return;
  HWND parentWnd = GetParent(Handle());
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  bool shown = parentWnd && QueryScrollBarInfo(Handle(), AObjectId, info) &&
               !(info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN));
  RECT r{};
  if (shown) {
    POINT topLeft{info.rcScrollBar.left, info.rcScrollBar.top};
    ::ScreenToClient(parentWnd, &topLeft);
    const int width = info.rcScrollBar.right - info.rcScrollBar.left;
    const int height = info.rcScrollBar.bottom - info.rcScrollBar.top;
    r = {topLeft.x, topLeft.y, topLeft.x + width, topLeft.y + height};
    shown = topLeft.x >= 0 && topLeft.y >= 0 && width > 0 && height > 0 && width <= Width() && height <= Height();
  }
  if (shown) {
    ++FScrollBarsLockCount;
    {
      struct TUnlock {
        int& Count;
        ~TUnlock() { --Count; }
      } unlock{FScrollBarsLockCount};
      if (Parent()) {
        if (ABar->Parent() != Parent()) ABar->SetParent(Parent());
      } else if (ABar->ParentWindow() != parentWnd) {
        ABar->SetParentWindow(parentWnd);
      }
    }
    ABar->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
    ABar->SetCtl3D(false);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    if (GetScrollInfo(Handle(), ANativeBar, &si)) {
      const int page = std::clamp(int(si.nPage), 0, std::max(0, si.nMax - si.nMin));
      ABar->SetScrollParams(si.nMin, std::max(si.nMin, si.nMax), si.nPos, page, true);
    }
    ABar->SetEnabled(!(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) && IsWindowEnabled(parentWnd));
    ABar->SetVisible(true);
    if (ABar->HandleAllocated())
      SetWindowPos(ABar->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else {
    ABar->SetBounds(0, 0, 0, 0);
    ABar->SetVisible(false);
  }
}

void TcxCustomInnerListBox::SetExternalScrollBarsParameters() {
  if ((ComponentState() & csDestroying) || FScrollBarsLockCount > 0 || FIsRedrawLocked || !HandleAllocated() ||
      !IsScrollBarInfoAvailable())
    return;
  ++FExternalUpdateCount;
  FScrollBarsCalculating = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FScrollBarsCalculating};
  SetExternalScrollBar(FHScrollBar, OBJID_HSCROLL, SB_HORZ);
  SetExternalScrollBar(FVScrollBar, OBJID_VSCROLL, SB_VERT);
}

void TcxCustomInnerListBox::HScrollBarScroll(TScrollCode AScrollCode, int& AScrollPos) {
  if (!FHScrollBar || !FHScrollBar->HandleAllocated() || !HandleAllocated()) return;
  TMessage m{WM_HSCROLL, MAKEWPARAM(WORD(AScrollCode), WORD(AScrollPos)),
             reinterpret_cast<LPARAM>(FHScrollBar->Handle()), 0};
  DefaultHandler(m);
  AScrollPos = GetScrollPos(Handle(), SB_HORZ);
}

void TcxCustomInnerListBox::VScrollBarScroll(TScrollCode AScrollCode, int& AScrollPos) {
  if (!HandleAllocated()) return;
  switch (AScrollCode) {
    case scLineUp:
    case scLineDown: SetTopIndex(AScrollPos); break;
    case scPosition:
    case scTrack:
      SetTopIndex(AScrollPos);
      AScrollPos = GetScrollPos(Handle(), SB_VERT);
      break;
    default: {
      TMessage m{WM_VSCROLL, MAKEWPARAM(WORD(AScrollCode), WORD(AScrollPos)), 0, 0};
      DefaultHandler(m);
      AScrollPos = GetScrollPos(Handle(), SB_VERT);
      break;
    }
  }
}

bool TcxCustomInnerListBox::GetInterface(const GUID& iid, void** obj) {
  if (IsEqualGUID(iid, IID_IcxContainerInnerControl)) {
    *obj = static_cast<IcxContainerInnerControl*>(this);
    return true;
  }
  return TListBox::GetInterface(iid, obj);
}

RECT TcxCustomInnerListBox::GetSizeGripRect() {
  if (!FHScrollBar || !FVScrollBar || !FHScrollBar->Visible() || !FVScrollBar->Visible() || !HandleAllocated())
    return RECT{};
  // The bars' coordinates are their parent's client ones; the grip is wanted in the list box's window.
  HWND parentWnd = GetParent(Handle());
  POINT corner{FVScrollBar->Left(), FHScrollBar->Top()};
  ::ClientToScreen(parentWnd, &corner);
  RECT window{};
  GetWindowRect(Handle(), &window);
  const int left = corner.x - window.left, top = corner.y - window.top;
  return RECT{left, top, left + FVScrollBar->Width(), top + FHScrollBar->Height()};
}

void TcxCustomInnerListBox::PaintSizeGrip(HDC ADC) {
  if (!FContainer || !IsScrollBarInfoAvailable()) return;
  const RECT grip = GetSizeGripRect();
  if (IsRectEmpty(&grip)) return;
  TCanvas canvas;
  canvas.SetHandle(ADC);
  TcxCanvas cx(&canvas);
  FContainer->FillSizeGripArea(cx, grip);
  canvas.SetHandle(nullptr);
}

// ---- Mouse presses and drag starts

bool TcxCustomInnerListBox::IsClickOnSelectedItem(POINT P, TShiftState AShift) {
  if (!MultiSelect() || (AShift & (ssShift | ssCtrl)) == ssShift || !HandleAllocated()) return false;
  const LRESULT hit = SendMessageW(Handle(), LB_ITEMFROMPOINT, 0, MAKELPARAM(P.x, P.y));
  if (HIWORD(hit) != 0) return false;  // below the last item
  return Selected(LOWORD(hit));
}

bool TcxCustomInnerListBox::ClickStartsDrag(TShiftState AShift) const {
  return !(MultiSelect() && (AShift & (ssCtrl | ssShift)));
}

bool TcxCustomInnerListBox::IsHostedDragAutomatic() {
  return FContainer && FContainer->DragMode() == TDragMode::dmAutomatic && !(FContainer->ComponentState() & csDesigning);
}

void TcxCustomInnerListBox::WMLButtonDown(TMessage& Message) {
  const POINT p{short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam))};
  const TShiftState shift = ListBoxMouseShift(Message.WParam);
  if (!IsHostedDragAutomatic()) {
    TListBox::WndProc(Message);
    return;
  }
  // The list box's own drag mode stays manual while the container drags;
  // a handler on the way may free the list box, so it is touched only while linked.
  const TDragMode saved = DragMode();
  SetDragMode(TDragMode::dmManual);
  struct TRestore {
    TcxCustomInnerListBox* Self;
    TDragMode Mode;
    TcxObjectLink* Link;
    ~TRestore() {
      if (Link && Link->Ref) Self->SetDragMode(Mode);
      RemoveObjectLink(Link);
    }
  } restore{this, saved, AddObjectLink(this)};
  if (IsClickOnSelectedItem(p, shift)) {
    FContainer->BeginDrag(false, -1);
    return;
  }
  TListBox::WndProc(Message);
  if (restore.Link && restore.Link->Ref && FContainer && ClickStartsDrag(shift)) FContainer->BeginDrag(false, -1);
}

void TcxCustomInnerListBox::DestroyWindowHandle() {
  // A remade window draws again: the own bars must not stay frozen.
  FIsRedrawLocked = false;
  TWinControl::DestroyWindowHandle();
}

bool TcxCustomInnerListBox::NeedsExternalBarsAfter(const TMessage& Message) const {
  switch (Message.Msg) {
    case WM_SETREDRAW: return Message.WParam != 0;
    case WM_WINDOWPOSCHANGED:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
    case LB_SETCURSEL:
    case LB_SETHORIZONTALEXTENT:
    case LB_SETTOPINDEX:
    case LB_SETCARETINDEX:
    case WM_MOUSEWHEEL:
    case CM_WININICHANGE: return true;
    case WM_NCCALCSIZE: return !FScrollBarsCalculating;
    default: return false;
  }
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
    if (MultiSelect()) {
      SendMessageW(Handle(), LB_SETSEL, FALSE, LPARAM(-1));
      SendMessageW(Handle(), LB_SELITEMRANGE, TRUE, MAKELPARAM(item, item));
    }
    SetItemIndex(item);
    Click();
  }
  if (AKey != L'\b' && AKey != L'\r' && AKey != 27) AKey = 0;
}

void TcxCustomInnerListBox::KeyDown(WORD& AKey, TShiftState AShift) {
  if (FContainer) FContainer->InnerControlKeyDown(AKey, AShift);
  if (AKey != 0) TWinControl::KeyDown(AKey, AShift);
}

void TcxCustomInnerListBox::KeyPress(wchar_t& AKey) {
  if (AKey == L'\t') AKey = 0;
  if (AKey != 0 && FContainer) FContainer->InnerControlKeyPress(AKey);
  if (AKey == L'\r') AKey = 0;
  if (AKey != 0) TListBox::KeyPress(AKey);
  if (AKey != 0) HandleIncrementalSearchKey(AKey);
}

void TcxCustomInnerListBox::DrawItem(int AIndex, const RECT& ARect, TOwnerDrawState AState) {
  if (OnDrawItem)
    OnDrawItem(this, AIndex, ARect, AState);
  else
    TListBox::DrawItem(AIndex, ARect, AState);
}

void TcxCustomInnerListBox::MeasureItem(int AIndex, int& AHeight) {
  if (OnMeasureItem) OnMeasureItem(this, AIndex, AHeight);
}

void TcxCustomInnerListBox::CNDrawItem(const DRAWITEMSTRUCT& AItem) {
  TCanvas& canvas = TListBox::Canvas();
  canvas.SetHandle(AItem.hDC);
  canvas.Font().Assign(Font());
  canvas.Brush().SetColor(Color());
  const int index = int(AItem.itemID);
  if (index >= 0 && (AItem.itemState & ODS_SELECTED)) {
    canvas.Brush().SetColor(clHighlight);
    canvas.Font().SetColor(clHighlightText);
  }
  if (index < 0)
    canvas.FillRect(AItem.rcItem);
  else
    DrawItem(index, AItem.rcItem, OwnerDrawStateOf(AItem.itemState));
  if ((AItem.itemState & ODS_FOCUS) && DrawsOwnFocusRect()) ::DrawFocusRect(AItem.hDC, &AItem.rcItem);
}

void TcxCustomInnerListBox::DragOver(TObject* ASource, int X, int Y, TDragState AState, bool& AAccept) {
  if (FContainer)
    FContainer->DragOver(ASource, X + Left(), Y + Top(), AState, AAccept);
  else
    TListBox::DragOver(ASource, X, Y, AState, AAccept);
}

void TcxCustomInnerListBox::DragDrop(TObject* ASource, int X, int Y) {
  if (FContainer)
    FContainer->DragDrop(ASource, X + Left(), Y + Top());
  else
    TListBox::DragDrop(ASource, X, Y);
}

TComponent* TcxCustomInnerListBox::PopupMenuToShow() const {
  if (FContainer) return FContainer->PopupMenu();
  return PopupMenu();
}

void TcxCustomInnerListBox::WndProc(TMessage& Message) {
  if (Message.Msg == CN_DRAWITEM) {
    // The handle is released even when drawing fails.
    struct TRelease {
      TCanvas& Canvas;
      ~TRelease() { Canvas.SetHandle(nullptr); }
    } release{TListBox::Canvas()};
    CNDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam));
    Message.Result = 1;
    return;
  }
  if (FContainer && FContainer->InnerControlMenuHandler(Message)) return;
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      WMLButtonDown(Message);
      return;
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      // The class library passes them to the system list box before the control's events.
      TListBox::WndProc(Message);
      return;
    case WM_MOUSEWHEEL:
      if (FContainer && FContainer->InnerControlMouseWheel(short(HIWORD(Message.WParam)))) {
        Message.Result = 1;
        return;
      }
      break;
    case WM_SETREDRAW: FIsRedrawLocked = Message.WParam == 0; break;
    case WM_KEYUP:
      // Tab belongs to the container's focus moving, not to the list.
      if (Message.WParam == VK_TAB) {
        Message.Result = 0;
        return;
      }
      break;
    case WM_CONTEXTMENU:
      if (FContainer && FContainer->HandleAllocated() && PopupMenuToShow()) {
        LPARAM at = Message.LParam;
        // A keyboard request opens the container's menu at the list box.
        if (at == LPARAM(-1) || (LOWORD(at) == 0xFFFF && HIWORD(at) == 0xFFFF)) {
          const POINT origin = ClientToScreen({0, 0});
          at = MAKELPARAM(origin.x, origin.y);
        }
        Message.Result = FContainer->Perform(WM_CONTEXTMENU, WPARAM(FContainer->Handle()), at);
        return;
      }
      break;
    case WM_SETFOCUS:
      TListBox::WndProc(Message);
      if (FContainer && !(FContainer->ComponentState() & csDestroying) && !(ComponentState() & csDestroying) &&
          !(FContainer->HandleAllocated() && HWND(Message.WParam) == FContainer->Handle()))
        FContainer->InnerControlFocusChanged();
      return;
    case WM_KILLFOCUS:
      TListBox::WndProc(Message);
      if (FContainer && !(FContainer->ComponentState() & csDestroying)) FContainer->InnerControlFocusChanged();
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      TListBox::WndProc(Message);
      auto* control = Message.LParam ? reinterpret_cast<TControl*>(Message.LParam) : static_cast<TControl*>(this);
      if (FContainer) {
        if (Message.Msg == CM_MOUSEENTER)
          FContainer->InnerMouseEnter(control);
        else
          FContainer->InnerMouseLeave(control);
      }
      return;
    }
    case WM_NCPAINT:
      TListBox::WndProc(Message);
      if (HandleAllocated()) {
        HDC dc = GetWindowDC(Handle());
        PaintSizeGrip(dc);
        ReleaseDC(Handle(), dc);
      }
      return;
    case WM_PRINT:
      Message.LParam &= ~LPARAM(PRF_NONCLIENT);
      PaintSizeGrip(HDC(Message.WParam));
      DefaultHandler(Message);
      return;
    case WM_PRINTCLIENT:
      DefaultHandler(Message);
      return;
    default: break;
  }
  TListBox::WndProc(Message);
  if (NeedsExternalBarsAfter(Message)) SetExternalScrollBarsParameters();
  if (Message.Msg == WM_WINDOWPOSCHANGED && HandleAllocated()) {
    const RECT grip = GetSizeGripRect();
    if (!IsRectEmpty(&grip)) {
      RECT window{};
      GetWindowRect(Handle(), &window);
      HRGN region = CreateRectRgn(window.left + grip.left, window.top + grip.top, window.left + grip.right,
                                  window.top + grip.bottom);
      SendMessageW(Handle(), WM_NCPAINT, WPARAM(region), 0);
      DeleteObject(region);
    }
  }
  if (Message.Msg == WM_GETDLGCODE) {
    if (FContainer) Message.Result |= DLGC_WANTCHARS;
    // Tab goes on to the container, which moves the focus, unless Ctrl is held.
    if (!cxControlSystemQueries().CtrlDown()) Message.Result |= DLGC_WANTTAB;
  }
}

}  // namespace tvk
