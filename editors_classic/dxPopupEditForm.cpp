#include "dxPopupEditForm.h"

#include "Application.h"
#include "dxCntner.h"
#include "dxExUtils.h"
#include "dxPopupEdits.h"

#include <algorithm>
#include <array>
#include <memory>

namespace tvk {

namespace {

std::unique_ptr<std::vector<TdxPopupEditForm*>> gOpenPopupForms;

// The mouse presses that may land outside an open form.
constexpr std::array<UINT, 4> kPopupClickMessages{WM_NCLBUTTONDOWN, WM_NCLBUTTONDBLCLK, WM_LBUTTONDOWN,
                                                  WM_LBUTTONDBLCLK};

bool IsSizingCode(int code) { return code >= HTLEFT && code <= HTBOTTOMRIGHT; }

// The sizing codes and sizing edges each grip corner allows.
struct TCornerSizing {
  TdxCorner Corner;
  std::array<int, 3> HitTests;
  std::array<WPARAM, 3> Edges;
};
constexpr std::array<TCornerSizing, 4> kCornerSizing{{
    {coTopLeft, {HTLEFT, HTTOP, HTTOPLEFT}, {WMSZ_LEFT, WMSZ_TOP, WMSZ_TOPLEFT}},
    {coTopRight, {HTRIGHT, HTTOP, HTTOPRIGHT}, {WMSZ_RIGHT, WMSZ_TOP, WMSZ_TOPRIGHT}},
    {coBottomLeft, {HTLEFT, HTBOTTOM, HTBOTTOMLEFT}, {WMSZ_LEFT, WMSZ_BOTTOM, WMSZ_BOTTOMLEFT}},
    {coBottomRight, {HTRIGHT, HTBOTTOM, HTBOTTOMRIGHT}, {WMSZ_RIGHT, WMSZ_BOTTOM, WMSZ_BOTTOMRIGHT}},
}};

const TCornerSizing& SizingOf(TdxCorner corner) {
  for (const TCornerSizing& row : kCornerSizing)
    if (row.Corner == corner) return row;
  return kCornerSizing.back();
}

bool PointIn(const RECT& r, POINT p) { return PtInRect(&r, p) != FALSE; }

}  // namespace

std::vector<TdxPopupEditForm*>* OpenPopupForms() { return gOpenPopupForms.get(); }
void FreeOpenPopupForms() { gOpenPopupForms.reset(); }

bool IsPickListWindow(HWND window) {
  for (HWND w = window; w; w = GetParent(w))
    if (dynamic_cast<TdxPopupPickListBox*>(TWinControl::FindControl(w))) return true;
  return false;
}

TdxPopupEditForm::TdxPopupEditForm(TComponent* owner) : TCustomForm(owner, kCreateNew) {
  SetBorderStyle(TFormBorderStyle::bsDialog);
  SetVisible(false);
}

TdxPopupEditForm::~TdxPopupEditForm() {
  RemoveFromOpenForms();
  RemoveFreeNotifications();
}

void TdxPopupEditForm::SetOwnerControl(TdxPopupEditFormOwner* owner) {
  if (FOwnerComponent) RemoveFreeNotification(FOwnerComponent);
  FOwner = owner;
  FOwnerComponent = owner ? &owner->PopupOwnerEdit() : nullptr;
  if (FOwnerComponent) FreeNotification(FOwnerComponent);
}

void TdxPopupEditForm::Notification(TComponent* component, TOperation operation) {
  TCustomForm::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FOwnerComponent) {
    FOwner = nullptr;
    FOwnerComponent = nullptr;
  }
}

void TdxPopupEditForm::RemoveFromOpenForms() {
  if (!gOpenPopupForms) return;
  auto& forms = *gOpenPopupForms;
  forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
}

void TdxPopupEditForm::SetClientEdge(bool value) {
  if (FClientEdge == value) return;
  FClientEdge = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxPopupEditForm::SetFlatBorder(bool value) {
  if (FFlatBorder == value) return;
  FFlatBorder = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxPopupEditForm::SetSizeable(bool value) {
  if (FSizeable == value) return;
  FSizeable = value;
  if (HandleAllocated()) RecreateWnd();
}

void TdxPopupEditForm::SetPopupFormBorderStyle(TdxPopupEditFormBorderStyle value) {
  if (FPopupFormBorderStyle == value) return;
  FPopupFormBorderStyle = value;
  const bool dialog = value == pbsDialog || value == pbsDialogHelp;
  SetBorderStyle(dialog ? TFormBorderStyle::bsDialog : TFormBorderStyle::bsNone);
  SetBorderIcons(value == pbsDialogHelp ? BorderIcons() | biHelp : BorderIcons() & ~TBorderIcons(biHelp));
  if (HandleAllocated()) RecreateWnd();
}

// --- the loop

void TdxPopupEditForm::ShowPopup() {
  if (!gOpenPopupForms) gOpenPopupForms = std::make_unique<std::vector<TdxPopupEditForm*>>();
  gOpenPopupForms->push_back(this);
  Show();
  SetModalResult(mrNone);
  MSG quit;
  while (Visible() && OwnerAlive() && !Application().Terminated()) {
    // The host's WM_QUIT ends the loop and stays queued for the host's own loop.
    if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) break;
    PeekClick();
    if (PeekMessageW(&quit, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_NOREMOVE) && quit.wParam == VK_RETURN)
      PeekMessageW(&quit, quit.hwnd, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
    if (!ApplicationActive())
      ClosePopup(false);
    else if (ModalResult() != mrNone)
      ClosePopup(ModalResult() == mrOk);
    // A closed form must not wait for a message that may never come.
    if (!Visible()) break;
    Application().HandleMessage();
  }
  if (Visible()) {
    if (OwnerAlive())
      ClosePopup(false);
    else
      Hide();
  }
  RemoveFromOpenForms();
}

void TdxPopupEditForm::PeekClick() {
  MSG msg{};
  bool found = false;
  for (UINT number : kPopupClickMessages)
    if (PeekMessageW(&msg, nullptr, number, number, PM_NOREMOVE)) {
      found = true;
      break;
    }
  if (!found) return;
  // The editor concerned: the owner of the newest form whose editor was clicked, else this form's.
  TdxPopupEditForm* editorForm = this;
  if (gOpenPopupForms)
    for (auto it = gOpenPopupForms->rbegin(); it != gOpenPopupForms->rend(); ++it) {
      TdxPopupEditForm* form = *it;
      if (form->FOwner && form->FOwner->PopupOwnerEdit().HandleAllocated() &&
          form->FOwner->PopupOwnerEdit().Handle() == msg.hwnd) {
        editorForm = form;
        break;
      }
    }
  if (TdxPopupEditFormOwner* owner = editorForm->FOwner) {
    TdxInplaceMaskEdit& edit = owner->PopupOwnerEdit();
    if (edit.HandleAllocated() && edit.Handle() == msg.hwnd && editorForm->Visible() && owner->SwallowsOwnClick()) {
      MSG removed;
      PeekMessageW(&removed, msg.hwnd, msg.message, msg.message, PM_REMOVE);
    }
  }
  CheckOutsideClick(msg.hwnd);
}

void TdxPopupEditForm::CheckOutsideClick(HWND target) {
  if (IsPickListWindow(target)) return;
  if (!HandleAllocated()) return;
  if (target != Handle() && !IsChild(Handle(), target)) SetModalResult(mrCancel);
}

void TdxPopupEditForm::ClosePopup(bool accept) {
  if (FClosePopup) return;
  FClosePopup = true;
  struct TGuard {
    bool& Flag;
    ~TGuard() { Flag = false; }
  } guard{FClosePopup};

  if (accept && FOwner && !FOwner->DoCloseQuery()) {
    SetModalResult(mrNone);
    return;
  }
  // Forms opened after this one close first, newest first.
  if (gOpenPopupForms) {
    auto& forms = *gOpenPopupForms;
    while (!forms.empty() && forms.back() != this &&
           std::find(forms.begin(), forms.end(), this) != forms.end()) {
      TdxPopupEditForm* newer = forms.back();
      if (newer->HandleAllocated() && IsWindowEnabled(newer->Handle()))
        newer->ClosePopup(false);
      else
        newer->RemoveFromOpenForms();
    }
  }
  Hide();
  RemoveFromOpenForms();
  if (!FOwner) return;
  TdxInplaceMaskEdit& edit = FOwner->PopupOwnerEdit();
  WideString text = edit.Text();
  FOwner->DoCloseUp(*this, text, accept);
  if (!FOwner) return;
  if (accept && edit.CanModify() && text != edit.Text() && edit.CanEditValue()) {
    edit.SetText(text);
    edit.SetEditModified(true);
  }
}

void TdxPopupEditForm::Deactivate(HWND activated) {
  if (FClosePopup || !Visible() || !gOpenPopupForms) return;
  // Activation that leaves this thread means another application: the loop
  // closes the forms when it sees the application inactive.
  if (!activated || GetWindowThreadProcessId(activated, nullptr) != GetCurrentThreadId()) return;
  std::vector<TdxPopupEditForm*> forms = *gOpenPopupForms;
  for (TdxPopupEditForm* form : forms)
    if (form->HandleAllocated() && form->Handle() == activated) return;
  for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
    TdxPopupEditForm* form = *it;
    if (!gOpenPopupForms) break;
    const auto& open = *gOpenPopupForms;
    if (std::find(open.begin(), open.end(), form) == open.end()) continue;
    if (form->HandleAllocated() && IsWindowEnabled(form->Handle())) form->ClosePopup(false);
  }
  if (gOpenPopupForms && !gOpenPopupForms->empty()) ClosePopup(false);
}

// --- messages

TVK_MESSAGE_MAP(TdxPopupEditForm, {WM_ACTIVATE, &TdxPopupEditForm::WMActivate},
                {WM_CLOSE, &TdxPopupEditForm::WMClose}, {WM_QUERYENDSESSION, &TdxPopupEditForm::WMQueryEndSession},
                {WM_SYSCOMMAND, &TdxPopupEditForm::WMSysCommand}, {WM_SYSKEYDOWN, &TdxPopupEditForm::WMSysKeyDown},
                {WM_NCCREATE, &TdxPopupEditForm::WMNCCreate}, {WM_NCCALCSIZE, &TdxPopupEditForm::WMNCCalcSize},
                {WM_GETMINMAXINFO, &TdxPopupEditForm::WMGetMinMaxInfo},
                {WM_NCHITTEST, &TdxPopupEditForm::WMNCHitTest}, {WM_SIZING, &TdxPopupEditForm::WMSizing},
                {WM_NCLBUTTONDOWN, &TdxPopupEditForm::WMNCLButtonDown},
                {WM_LBUTTONUP, &TdxPopupEditForm::WMLButtonUp},
                {WM_CAPTURECHANGED, &TdxPopupEditForm::WMCaptureChanged},
                {CM_MOUSELEAVE, &TdxPopupEditForm::CMMouseLeave}, {WM_NCPAINT, &TdxPopupEditForm::WMNCPaint})

void TdxPopupEditForm::CreateParams(TCreateParams& params) {
  TCustomForm::CreateParams(params);
  switch (FPopupFormBorderStyle) {
    case pbsDialog:
    case pbsDialogHelp:
      if (FClientEdge) params.ExStyle |= WS_EX_CLIENTEDGE;
      if (FSizeable) params.Style |= WS_THICKFRAME;
      break;
    case pbsSimple:
    case pbsSysPanel:
      if (!(FClientEdge && FFlatBorder)) {
        if (FFlatBorder) {
          params.Style |= WS_BORDER;
        } else {
          params.ExStyle |= WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME;
          params.Style |= WS_THICKFRAME;
        }
      }
      break;
  }
  params.WindowClassStyle |= CS_SAVEBITS;
}

void TdxPopupEditForm::WMActivate(TMessage& message) {
  TVK_INHERITED(message);
  const bool active = LOWORD(message.WParam) != WA_INACTIVE;
  if (gOpenPopupForms) {
    const std::vector<TdxPopupEditForm*> forms = *gOpenPopupForms;
    for (TdxPopupEditForm* form : forms) {
      if (!form->FOwner) continue;
      TdxInplaceMaskEdit& edit = form->FOwner->PopupOwnerEdit();
      if (TCustomForm* hostForm = GetParentForm(&edit); hostForm && hostForm->HandleAllocated())
        SendMessageW(hostForm->Handle(), WM_NCACTIVATE, active ? TRUE : FALSE, 0);
      if (TCustomdxContainer* container = edit.Container()) container->InplaceEditFocusChanged();
    }
  }
  if (!active) Deactivate(reinterpret_cast<HWND>(message.LParam));
}

void TdxPopupEditForm::WMClose(TMessage& message) {
  message.Result = 0;
  if (FOwner && !FOwner->DoCloseQuery()) return;
  ClosePopup(false);
}

void TdxPopupEditForm::WMQueryEndSession(TMessage& message) {
  message.Result = !FOwner || FOwner->DoCloseQuery() ? TRUE : FALSE;
}

void TdxPopupEditForm::WMSysCommand(TMessage& message) {
  if ((message.WParam & 0xFFF0) == SC_KEYMENU) {
    message.Result = 0;
    return;
  }
  TVK_INHERITED(message);
}

void TdxPopupEditForm::WMSysKeyDown(TMessage& message) {
  if (message.WParam == VK_RETURN || message.WParam == VK_MENU) {
    message.Result = 0;
    return;
  }
  TVK_INHERITED(message);
}

void TdxPopupEditForm::WMNCCreate(TMessage& message) {
  TVK_INHERITED(message);
  if (FSizeable) {
    if (HMENU menu = GetSystemMenu(Handle(), FALSE)) {
      DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
      if (GetMenuState(menu, SC_SIZE, MF_BYCOMMAND) == UINT(-1))
        InsertMenuW(menu, 0, MF_BYPOSITION | MF_STRING, SC_SIZE, L"&Size");
    }
  }
  FSysPanelHeight = 0;
  FSysPanelBorder = 0;
  if (FPopupFormBorderStyle == pbsSysPanel) {
    FSysPanelHeight = std::max(GetSystemMetrics(SM_CYHSCROLL) + 2, GetPopupCaptionHeight() - 1);
    if (FFlatBorder && !FClientEdge) {
      ++FSysPanelHeight;
      FSysPanelBorder = 1;
    }
  }
}

void TdxPopupEditForm::WMNCCalcSize(TMessage& message) {
  TVK_INHERITED(message);
  if (FPopupFormBorderStyle != pbsSimple && FPopupFormBorderStyle != pbsSysPanel) return;
  RECT& r = *reinterpret_cast<RECT*>(message.LParam);
  if (FClientEdge) {
    const int edge = FFlatBorder ? 3 : 2;
    InflateRect(&r, -edge, -edge);
  }
  if (FPopupFormBorderStyle == pbsSysPanel) {
    if (IsBottomCorner(FSizingCorner))
      r.bottom -= FSysPanelHeight;
    else
      r.top += FSysPanelHeight;
    if (r.bottom < r.top) r.bottom = r.top;
  }
}

void TdxPopupEditForm::WMGetMinMaxInfo(TMessage& message) {
  auto& info = *reinterpret_cast<MINMAXINFO*>(message.LParam);
  info.ptMinTrackSize = POINT{FPopupMinWidth, FPopupMinHeight};
  TVK_INHERITED(message);
}

int TdxPopupEditForm::HitTestFrame(POINT p) {
  RECT w;
  GetWindowRect(Handle(), &w);
  const int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  const struct {
    RECT Area;
    int Code;
  } rows[] = {
      {{w.left, w.top, w.left + cx, w.top + cy}, HTTOPLEFT},
      {{w.right - cx, w.top, w.right, w.top + cy}, HTTOPRIGHT},
      {{w.left, w.top, w.right, w.top + cy}, HTTOP},
      {{w.right - cx, w.bottom - cy, w.right, w.bottom}, HTBOTTOMRIGHT},
      {{w.right - cx, w.top, w.right, w.bottom}, HTRIGHT},
      {{w.left, w.bottom - cy, w.left + cx, w.bottom}, HTBOTTOMLEFT},
      {{w.left, w.bottom - cy, w.right, w.bottom}, HTBOTTOM},
      {{w.left, w.top, w.left + cx, w.bottom}, HTLEFT},
  };
  for (const auto& row : rows)
    if (PointIn(row.Area, p)) return row.Code;
  return HTNOWHERE;
}

bool TdxPopupEditForm::CornerAllows(int hitTest) const {
  const auto& allowed = SizingOf(FSizingCorner).HitTests;
  return std::find(allowed.begin(), allowed.end(), hitTest) != allowed.end();
}

void TdxPopupEditForm::WMNCHitTest(TMessage& message) {
  TVK_INHERITED(message);
  const POINT p{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  int code = int(message.Result);
  if (FSizeable && (code == HTNOWHERE || code == HTBORDER)) code = HitTestFrame(p);
  if (IsSizingCode(code) && (!FSizeable || !CornerAllows(code))) code = HTNOWHERE;
  if (FPopupFormBorderStyle == pbsSysPanel) {
    if (FSizeable && PointIn(FGripRect, p)) {
      code = CornerToHitTest(FSizingCorner);
    } else if (!GetCapture() || FCloseButtonIsTracking) {
      const bool above = PointIn(FCloseButtonRect, p);
      if (above) code = HTBORDER;
      if (above != FMouseAboveCloseButton) {
        FMouseAboveCloseButton = above;
        RepaintFrame();
      }
    }
  }
  message.Result = code;
}

void TdxPopupEditForm::WMSizing(TMessage& message) {
  TVK_INHERITED(message);
  const auto& edges = SizingOf(FSizingCorner).Edges;
  const bool allowed = FSizeable && std::find(edges.begin(), edges.end(), message.WParam) != edges.end();
  if (!allowed) {
    RECT current;
    GetWindowRect(Handle(), &current);
    *reinterpret_cast<RECT*>(message.LParam) = current;
  }
  message.Result = TRUE;
}

void TdxPopupEditForm::WMNCLButtonDown(TMessage& message) {
  const POINT p{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  if (FPopupFormBorderStyle == pbsSysPanel && PointIn(FCloseButtonRect, p)) {
    FCloseButtonIsTracking = true;
    SetCapture(Handle());
    RepaintFrame();
    message.Result = 0;
    return;
  }
  TVK_INHERITED(message);
}

void TdxPopupEditForm::WMLButtonUp(TMessage& message) {
  if (!FCloseButtonIsTracking) {
    TVK_INHERITED(message);
    return;
  }
  FCloseButtonIsTracking = false;
  ReleaseCapture();
  POINT p{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  ::ClientToScreen(Handle(), &p);
  if (PointIn(FCloseButtonRect, p)) PostMessageW(Handle(), WM_CLOSE, 0, 0);
  RepaintFrame();
  message.Result = 0;
}

void TdxPopupEditForm::WMCaptureChanged(TMessage& message) {
  TVK_INHERITED(message);
  if (FCloseButtonIsTracking) {
    FCloseButtonIsTracking = false;
    FMouseAboveCloseButton = false;
    RepaintFrame();
  }
}

void TdxPopupEditForm::CMMouseLeave(TMessage& message) {
  TVK_INHERITED(message);
  if (FMouseAboveCloseButton) {
    FMouseAboveCloseButton = false;
    RepaintFrame();
  }
}

void TdxPopupEditForm::RepaintFrame() {
  if (HandleAllocated())
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void TdxPopupEditForm::WMNCPaint(TMessage& message) {
  TVK_INHERITED(message);
  if (FPopupFormBorderStyle != pbsSimple && FPopupFormBorderStyle != pbsSysPanel) return;
  HWND wnd = Handle();
  HDC dc = GetWindowDC(wnd);
  if (!dc) return;
  RECT windowRect;
  GetWindowRect(wnd, &windowRect);
  RECT w{0, 0, windowRect.right - windowRect.left, windowRect.bottom - windowRect.top};
  int frame = 0;
  const LONG style = GetWindowLongW(wnd, GWL_STYLE);
  if (style & WS_THICKFRAME)
    frame = GetSystemMetrics(SM_CXFRAME);
  else if (style & WS_BORDER)
    frame = GetSystemMetrics(SM_CXBORDER);
  InflateRect(&w, -frame, -frame);
  const bool bottom = IsBottomCorner(FSizingCorner);
  const int panel = FPopupFormBorderStyle == pbsSysPanel ? FSysPanelHeight : 0;
  auto cutPanel = [&](RECT r) {
    if (bottom)
      r.bottom -= panel;
    else
      r.top += panel;
    return r;
  };
  if (FClientEdge) {
    if (FFlatBorder) {
      RECT outer = w;
      InflateRect(&outer, frame, frame);
      DrawEdge(dc, &outer, EDGE_RAISED, BF_RECT);
      RECT inner = outer;
      InflateRect(&inner, -2, -2);
      inner = cutPanel(inner);
      DrawEdge(dc, &inner, BDR_SUNKENOUTER, BF_RECT);
    } else {
      RECT sunken = w;
      InflateRect(&sunken, 2, 2);
      sunken = cutPanel(sunken);
      DrawEdge(dc, &sunken, EDGE_SUNKEN, BF_RECT);
    }
  }
  if (FPopupFormBorderStyle == pbsSysPanel) {
    if (FClientEdge) {
      const int grow = FFlatBorder ? 1 : 2;
      InflateRect(&w, grow, 0);
      if (bottom)
        w.bottom += grow;
      else
        w.top -= grow;
    }
    RECT strip = w;
    const int stripHeight = FSysPanelHeight - FSysPanelBorder;
    if (bottom)
      strip.top = strip.bottom - stripHeight;
    else
      strip.bottom = strip.top + stripHeight;
    if (FSysPanelBorder > 0 && !(FFlatBorder && FClientEdge)) {
      RECT line = strip;
      if (bottom) {
        line.bottom = strip.top;
        line.top = line.bottom - FSysPanelBorder;
      } else {
        line.top = strip.bottom;
        line.bottom = line.top + FSysPanelBorder;
      }
      FillRect(dc, &line, GetSysColorBrush(FFlatBorder ? COLOR_WINDOWFRAME : COLOR_BTNFACE));
    }
    RECT work = strip;
    if (!FFlatBorder) OffsetRect(&work, IsRightCorner(FSizingCorner) ? 1 : -1, bottom ? 1 : -1);
    const int saved = SaveDC(dc);
    const POINT origin{windowRect.left, windowRect.top};
    if (FSizeable) {
      RECT grip = work;
      DrawCornerSizeGrip(dc, grip, FSizingCorner);
      ExcludeClipRect(dc, grip.left, grip.top, grip.right, grip.bottom);
      InflateRect(&grip, 2, 2);
      IntersectRect(&grip, &grip, &strip);
      FGripRect = grip;
      OffsetRect(&FGripRect, origin.x, origin.y);
    } else {
      FGripRect = RECT{};
    }
    RECT button = work;
    DrawPopupCloseButton(dc, button, FMouseAboveCloseButton || FCloseButtonIsTracking, FSizingCorner,
                         FMouseAboveCloseButton && FCloseButtonIsTracking ? 1 : 0);
    ExcludeClipRect(dc, button.left, button.top, button.right, button.bottom);
    FCloseButtonRect = button;
    OffsetRect(&FCloseButtonRect, origin.x, origin.y);
    FillRect(dc, &strip, GetSysColorBrush(COLOR_BTNFACE));
    RestoreDC(dc, saved);
  }
  ReleaseDC(wnd, dc);
}

}  // namespace tvk
