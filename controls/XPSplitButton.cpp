#include "XPSplitButton.h"

#include "CommonUtils.h"

namespace tvk {

// ---- TPopupContainer

TPopupContainer::TPopupContainer(TComponent* owner, HWND ownerHandle)
    : TForm(owner, kCreateNew), FOwnerHandle(ownerHandle) {}

void TPopupContainer::CreateParams(TCreateParams& params) {
  TForm::CreateParams(params);
  // A pop-up window: an overlapped one would get a caption and the
  // system's smallest tracking size.
  params.Style = WS_POPUP;
  params.ExStyle |= WS_EX_TOPMOST;
  params.WndParent = FOwnerHandle;
}

void TPopupContainer::WndProc(TMessage& message) {
  TForm::WndProc(message);
  // Losing the activation (a click elsewhere) closes the pop-up.
  if (message.Msg == WM_NCACTIVATE && message.WParam == 0) {
    if (auto* button = dynamic_cast<TWinControl*>(Owner()); button && button->HandleAllocated())
      PostMessageW(button->Handle(), TXPSplitButton::WM_HIDEPOPUP, 0, 0);
  }
}

// ---- TXPSplitButton

TXPSplitButton::TXPSplitButton(TComponent* owner) : TXPBitBtn(owner) {
  SetControlStyle(ControlStyle() & ~TControlStyle(csDoubleClicks));
}

TXPSplitButton::~TXPSplitButton() {
  // The top-level window must not keep a procedure that leads here: hide
  // first, which gives the window its own procedure back.
  HidePopup();
  FMainFormSubclass.Remove();
}

void TXPSplitButton::SetDropDownMenu(TPopupMenu* value) {
  if (value == FDropDownMenu) return;
  FDropDownMenu = value;
  if (value) value->FreeNotification(this);
}

void TXPSplitButton::SetPopupControl(TWinControl* value) {
  FPopupControl = value;
  if (!value) return;
  value->FreeNotification(this);
  if (!(ComponentState() & csDesigning)) {
    // The control designed on the form is shown only in the pop-up.
    value->SetParent(nullptr);
    value->SetVisible(false);
  }
}

void TXPSplitButton::Notification(TComponent* component, TOperation operation) {
  TXPBitBtn::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == FDropDownMenu) FDropDownMenu = nullptr;
  if (component == FPopupControl) {
    if (FPopupHolder) HidePopup();
    FPopupControl = nullptr;
  }
}

void TXPSplitButton::DoAfterHidePopup() {
  if (FPopupControl && FPopupControl->OnExit) FPopupControl->OnExit(FPopupControl);
  if (OnAfterHidePopup) OnAfterHidePopup(this);
}

void TXPSplitButton::DoBeforeShowPopup() {
  if (OnBeforeShowPopup) OnBeforeShowPopup(this);
  if (FPopupControl && FPopupControl->OnEnter) FPopupControl->OnEnter(FPopupControl);
}

void TXPSplitButton::PostToSelf(UINT message) {
  if (HandleAllocated()) PostMessageW(Handle(), message, 0, 0);
}

void TXPSplitButton::SetArrowPressed(bool value) {
  if (value == FArrowButtonPressed) return;
  FArrowButtonPressed = value;
  Invalidate();
}

void TXPSplitButton::MouseDownAction(int x, int y) {
  RECT arrow = GetArrowRect();
  if (!PtInRect(&arrow, POINT{x, y})) {
    TXPBitBtn::MouseDownAction(x, y);
    return;
  }
  SetArrowPressed(!FArrowButtonPressed);
  if (FArrowButtonPressed) {
    FArrowMouseDown = true;
    PostToSelf(WM_SHOWPOPUP);
  } else {
    PostToSelf(WM_HIDEPOPUP);
  }
}

void TXPSplitButton::MouseUpAction() {
  FArrowMouseDown = false;
  TXPBitBtn::MouseUpAction();
}

void TXPSplitButton::WMLButtonUp(TMessage& message) {
  RECT arrow = GetArrowRect();
  POINT p{short(LOWORD(message.LParam)), short(HIWORD(message.LParam))};
  if (PtInRect(&arrow, p)) {
    // The arrow part never clicks.
    FArrowMouseDown = false;
    if (GetCapture() == Handle()) ReleaseCapture();
    return;
  }
  TVK_INHERITED(message);
}

void TXPSplitButton::WMShowPopup(TMessage&) {
  const POINT p = ClientToScreen(POINT{1, Height() - 1});
  if (!FPopupControl && !FDropDownMenu) return;
  if (FPopupHolder) return;
  DoBeforeShowPopup();
  if (FPopupControl) {
    HWND top = Handle();
    while (HWND parent = GetParent(top)) top = parent;
    FMainFormHandle = top;
    auto* holder = new TPopupContainer(this, top);
    FPopupHolder = holder;
    holder->SetPosition(TPosition::poDesigned);
    holder->SetLeft(p.x);
    holder->SetTop(p.y);
    // The form keeps its active caption while the pop-up has the focus.
    FMainFormSubclass.Install(top, [](TMessage& message) {
      if (message.Msg != WM_NCACTIVATE) return false;
      message.Result = 1;
      return true;
    }, this);
    holder->HandleNeeded();
    ::SetParent(holder->Handle(), nullptr);
    const LONG_PTR style = GetWindowLongPtrW(holder->Handle(), GWL_STYLE);
    SetWindowLongPtrW(holder->Handle(), GWL_STYLE, (style & ~LONG_PTR(WS_CAPTION)) | WS_BORDER);
    SetWindowPos(holder->Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    holder->SetWidth(FPopupControl->Width());
    holder->SetHeight(FPopupControl->Height());
    if (FAutoAddCloseButton) {
      // Room for the close button below the control.
      const int frameX = holder->Width() - holder->ClientWidth();
      const int frameY = holder->Height() - holder->ClientHeight();
      holder->SetBounds(holder->Left(), holder->Top(), std::max(holder->ClientWidth(), 91) + frameX,
                        FPopupControl->Height() + 33 + frameY);
    }
    FPopupControl->SetParent(holder);
    FPopupControl->SetAlign(TAlign::alNone);
    FPopupControl->SetBounds(0, 0, FPopupControl->Width(), FPopupControl->Height());
    FPopupControl->SetAnchors(akLeft | akTop | akRight | akBottom);
    FPopupControl->SetVisible(true);
    auto* close = new TXPBitBtn(holder);
    close->SetBounds(holder->ClientWidth() - 83, holder->ClientHeight() - 33, close->Width(), close->Height());
    close->SetDefault(true);
    close->SetCancel(true);
    close->SetCaption(L"&Close");
    close->SetParent(holder);
    close->SetAnchors(akRight | akBottom);
    close->OnClick = [this](TObject*) { PostToSelf(WM_HIDEPOPUP); };
    if (!FAutoAddCloseButton) {
      // Out of sight, but still the default and cancel button.
      close->SetLeft(holder->ClientWidth() + 10);
      close->SetTabStop(false);
    }
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoAtPoint(POINT{holder->Left(), holder->Top()}, monitor);
    const int overhang = holder->Left() + holder->Width() - monitor.rcMonitor.right;
    if (overhang > 0) holder->SetLeft(holder->Left() - overhang);
    holder->Show();
    holder->SetFocus();
  } else if (FDropDownMenu) {
    FDropDownMenu->Popup(p.x - 1, p.y);
    PostToSelf(WM_HIDEPOPUP);
  }
}

void TXPSplitButton::HidePopup() {
  if (TForm* holder = std::exchange(FPopupHolder, nullptr)) {
    if (FPopupControl) {
      FPopupControl->SetAnchors(0);
      FPopupControl->SetParent(nullptr);
    }
    // Only a procedure that is still ours is taken away; one put in above
    // it later stays in the chain.
    FMainFormSubclass.Remove();
    FMainFormHandle = nullptr;
    delete holder;
  }
}

void TXPSplitButton::WMHidePopup(TMessage&) {
  const bool wasOpen = FPopupHolder != nullptr || FArrowButtonPressed;
  HidePopup();
  SetArrowPressed(false);
  if (wasOpen) DoAfterHidePopup();
}

void TXPSplitButton::DrawContent(const RECT& rect, TColor color) {
  RECT main = rect;
  main.right -= kArrowWidth;
  TXPBitBtn::DrawContent(main, color);
}

void TXPSplitButton::DrawButton(TColor textColor, RECT rect, bool withContent, bool hot, bool pressed, bool enabled,
                                const RECT* clipRect) {
  RECT main = rect;
  main.right -= kArrowWidth;
  if (clipRect) IntersectRect(&main, &main, clipRect);
  TXPBitBtn::DrawButton(textColor, rect, withContent, hot, pressed, enabled, &main);
  RECT arrow = GetArrowRect();
  const bool arrowPressed = pressed || FArrowButtonPressed;
  const bool saved = FPressed;
  FPressed = arrowPressed;  // the face's state follows the arrow part
  TXPBitBtn::DrawButton(textColor, rect, false, hot, arrowPressed, enabled, &arrow);
  FPressed = saved;
  HDC dc = Canvas().Handle();
  HPEN shadow = CreatePen(PS_SOLID, 1, ColorToRGB(clBtnShadow));
  HPEN light = CreatePen(PS_SOLID, 1, ColorToRGB(clBtnHighlight));
  HGDIOBJ old = SelectObject(dc, shadow);
  MoveToEx(dc, arrow.left, arrow.top + 4, nullptr);
  LineTo(dc, arrow.left, arrow.bottom - 4);
  SelectObject(dc, light);
  MoveToEx(dc, arrow.left + 1, arrow.top + 4, nullptr);
  LineTo(dc, arrow.left + 1, arrow.bottom - 4);
  SelectObject(dc, old);
  DeleteObject(shadow);
  DeleteObject(light);
}

void TXPSplitButton::Paint() {
  TXPBitBtn::Paint();
  const RECT arrow = GetArrowRect();
  const int l = arrow.left;
  const int m = (arrow.bottom - arrow.top) / 2;
  HDC dc = Canvas().Handle();
  HPEN black = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  HGDIOBJ old = SelectObject(dc, black);
  static constexpr struct {
    int From, To, Dy;
  } kRows[] = {{3, 8, -2}, {4, 7, -1}, {5, 6, 0}};
  for (const auto& row : kRows) {
    MoveToEx(dc, l + row.From, m + row.Dy, nullptr);
    LineTo(dc, l + row.To, m + row.Dy);
  }
  SelectObject(dc, old);
  DeleteObject(black);
}

TVK_MESSAGE_MAP(TXPSplitButton, {WM_LBUTTONUP, &TXPSplitButton::WMLButtonUp},
                {TXPSplitButton::WM_SHOWPOPUP, &TXPSplitButton::WMShowPopup},
                {TXPSplitButton::WM_HIDEPOPUP, &TXPSplitButton::WMHidePopup})

}  // namespace tvk
