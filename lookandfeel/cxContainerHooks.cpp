#include "cxContainerHooks.h"

#include "Application.h"
#include "ClassRegistry.h"
#include "cxContainer.h"
#include "cxControls.h"
#include "dxHooks.h"

#include <algorithm>
#include <memory>

namespace tvk {

namespace {

std::vector<TcxCustomPopupWindow*>* gPopupWindowList = nullptr;
bool gPopupHookBusy = false;

bool IsPopupDestroying(TcxCustomPopupWindow* APopup) { return APopup->IsDestroying(); }

TWinControl* PopupOwner(TcxCustomPopupWindow* APopup) { return APopup->OwnerControl(); }

bool IsOwnerDestroying(TcxCustomPopupWindow* APopup) {
  TWinControl* owner = PopupOwner(APopup);
  return !owner || owner->IsDestroying();
}

TCustomForm* OwnerForm(TcxCustomPopupWindow* APopup) {
  TWinControl* owner = PopupOwner(APopup);
  return owner ? GetParentForm(owner) : nullptr;
}

bool IsInPopupList(TcxCustomPopupWindow* APopup) {
  return gPopupWindowList &&
         std::find(gPopupWindowList->begin(), gPopupWindowList->end(), APopup) != gPopupWindowList->end();
}

bool IsWindowOrChildOf(HWND AParent, HWND AWnd) { return AParent && AWnd && (AParent == AWnd || IsChild(AParent, AWnd)); }

// Raises a counter for the scope (restored also when a close fails).
class TScopedRaise {
public:
  explicit TScopedRaise(int& ACounter) : FCounter(ACounter) { ++FCounter; }
  ~TScopedRaise() { --FCounter; }
  TScopedRaise(const TScopedRaise&) = delete;
  TScopedRaise& operator=(const TScopedRaise&) = delete;

private:
  int& FCounter;
};

class TScopedFlag {
public:
  explicit TScopedFlag(bool& AFlag) : FFlag(AFlag), FPrev(AFlag) { FFlag = true; }
  ~TScopedFlag() { FFlag = FPrev; }
  TScopedFlag(const TScopedFlag&) = delete;
  TScopedFlag& operator=(const TScopedFlag&) = delete;

private:
  bool& FFlag;
  bool FPrev;
};

// The popups now open; closing one changes the list, so scans work on copies.
std::vector<TcxCustomPopupWindow*> PopupsNow() { return gPopupWindowList ? *gPopupWindowList : std::vector<TcxCustomPopupWindow*>{}; }

void HandleDestroy(HWND AWnd) {
  for (TcxCustomPopupWindow* popup : PopupsNow()) {
    if (IsPopupDestroying(popup) || !popup->HandleAllocated() || popup->Handle() != AWnd) continue;
    popup->Close();
    if (!IsInPopupList(popup) && !IsPopupDestroying(popup) && popup->TerminateOnDestroy) Application().Terminate();
    return;
  }
}

void HandleClose(HWND AWnd) {
  for (TcxCustomPopupWindow* popup : PopupsNow()) {
    if (IsPopupDestroying(popup) || !popup->HandleAllocated() || popup->Handle() != AWnd) continue;
    HWND topLevel = nullptr;
    if (popup->OwnActivation && !IsOwnerDestroying(popup) && PopupOwner(popup)->HandleAllocated())
      topLevel = GetTopLevelAncestor(PopupOwner(popup)->Handle());
    if (popup->CloseQuery()) popup->ClosePopup();
    if (topLevel && !IsInPopupList(popup)) SendMessageW(topLevel, WM_CLOSE, 0, 0);
    return;
  }
  for (TcxCustomPopupWindow* popup : PopupsNow()) {
    if (popup->OwnActivation || IsOwnerDestroying(popup)) continue;
    TCustomForm* form = OwnerForm(popup);
    if (!form || !form->HandleAllocated() || form->Handle() == AWnd) popup->ClosePopup();
    return;
  }
}

// The owner hides: its popup and every newer one close, newest first.
void HandleHide(HWND AWnd) {
  std::vector<TcxCustomPopupWindow*> popups = PopupsNow();
  for (std::size_t i = popups.size(); i-- > 0;) {
    TcxCustomPopupWindow* popup = popups[i];
    if (IsPopupDestroying(popup) || IsOwnerDestroying(popup)) continue;
    if (!PopupOwner(popup)->HandleAllocated() || PopupOwner(popup)->Handle() != AWnd) continue;
    for (std::size_t j = popups.size(); j-- > i;)
      if (IsInPopupList(popups[j])) popups[j]->ClosePopup();
    return;
  }
}

void HandleOwnerPosChanged(HWND AWnd) {
  for (bool closed = true; closed;) {
    closed = false;
    for (TcxCustomPopupWindow* popup : PopupsNow()) {
      if (IsPopupDestroying(popup) || !popup->HandleAllocated() || IsOwnerDestroying(popup)) continue;
      TWinControl* owner = PopupOwner(popup);
      if (!owner->HandleAllocated() || owner->Handle() != AWnd || IsWindowVisible(AWnd)) continue;
      popup->ClosePopup();
      closed = true;
      break;
    }
  }
}

void HandleDeactivateApp() {
  for (bool closed = true; closed;) {
    closed = false;
    for (TcxCustomPopupWindow* popup : PopupsNow()) {
      if (TCustomForm* form = OwnerForm(popup); form && form->HandleAllocated())
        PostMessageW(form->Handle(), WM_NCACTIVATE, 0, 0);
      if (popup->OwnActivation && popup->IsActive()) continue;
      if (popup->HandleAllocated() && !IsWindowEnabled(popup->Handle())) continue;
      TWinControl* owner = PopupOwner(popup);
      popup->ClosePopup();
      // The owner drew itself focused while its popup was open.
      if (auto* container = dynamic_cast<TcxContainer*>(owner); container && !container->IsDestroying())
        container->InnerControlFocusChanged();
      closed = true;
      break;
    }
  }
}

// The owner form keeps its active caption while its popup is open.
void HandleNCDeactivate(HWND AWnd) {
  TdxMessagesController* controller = GetMessagesController();
  if (!controller || controller->BlockPending()) return;
  if (gPopupHookBusy) {
    controller->BlockMessage(AWnd);
    return;
  }
  for (TcxCustomPopupWindow* popup : PopupsNow()) {
    if (IsPopupDestroying(popup)) continue;
    TCustomForm* form = OwnerForm(popup);
    if (form && form->HandleAllocated() && form->Handle() == AWnd) {
      controller->BlockMessage(AWnd);
      return;
    }
  }
}

bool IsMouseDownMessage(WPARAM AMsg) {
  switch (AMsg) {
    case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK: case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK: case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

// The click closes APopup. AResult is the answer so far (false: the click is
// already swallowed, and the popup is not asked again); answers the new one.
bool ClosePopupByClick(TcxCustomPopupWindow* APopup, HWND AWnd, UINT AMsg, POINT P, bool AResult) {
  TWinControl* owner = PopupOwner(APopup);
  bool result = AResult;
  bool ask = true;
  bool ownerPress = false;
  if (owner && owner->HandleAllocated() && IsWindowOrChildOf(owner->Handle(), AWnd) &&
      (AMsg == WM_LBUTTONDOWN || AMsg == WM_LBUTTONDBLCLK)) {
    RECT bounds = APopup->GetOwnerClickBounds();
    if (PtInRect(&bounds, P)) {
      ownerPress = true;
      // Only raised here; clearing it is the popup's own business.
      if (APopup->SwallowsClosingClick(AWnd, AMsg, P, KeyboardShiftState())) APopup->OwnerRectClicked = true;
      ask = false;
    }
  }
  TScopedFlag busy(gPopupHookBusy);
  TScopedRaise lock(APopup->CloseLockCount);
  if (result && ask) result = !APopup->SwallowsClosingClick(AWnd, AMsg, P, KeyboardShiftState());
  APopup->ClosePopup();
  // A press on the owner's button reaches the owner only while it can take it.
  if (ownerPress && (!owner || owner->IsDestroying() || !owner->Visible() ||
                     (owner->HandleAllocated() && !IsWindowVisible(owner->Handle()))))
    result = false;
  return result;
}

}  // namespace

// ---- TcxCustomPopupWindow

void TcxCustomPopupWindow::SetOwnerControl(TWinControl* AControl) {
  if (FOwnerControl == AControl) return;
  if (FOwnerControl) FOwnerControl->RemoveFreeNotification(this);
  FOwnerControl = AControl;
  if (FOwnerControl) FOwnerControl->FreeNotification(this);
}

bool TcxCustomPopupWindow::IsActive() { return HandleAllocated() && GetActiveWindow() == Handle(); }

void TcxCustomPopupWindow::Notification(TComponent* AComponent, TOperation AOperation) {
  TForm::Notification(AComponent, AOperation);
  if (AOperation == TOperation::opRemove && AComponent == FOwnerControl) FOwnerControl = nullptr;
}

// ---- Windows of controls and popups

bool IsWindowOnControlForm(TComponent* AComponent, HWND AWnd) {
  auto* control = dynamic_cast<TControl*>(AComponent);
  TCustomForm* form = control ? GetParentForm(control) : nullptr;
  if (!form || !form->HandleAllocated() || !AWnd) return false;
  if (IsWindowOrChildOf(form->Handle(), AWnd)) return true;
  if (form->Parent()) return false;
  // A form placed in a window of another owner: that window's outermost host counts too.
  HWND host = GetAncestor(form->Handle(), GA_ROOT);
  return host && host != form->Handle() && IsWindowOrChildOf(host, AWnd);
}

bool IsWindowInsideControl(TWinControl* AControl, HWND AWnd) {
  if (!AControl || !AWnd || !AControl->HandleAllocated() || AWnd == AControl->Handle()) return false;
  if (IsChild(AControl->Handle(), AWnd)) return true;
  for (int i = 0; i < AControl->ControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(AControl->Controls(i));
    if (child && child->HandleAllocated() && (child->Handle() == AWnd || IsWindowInsideControl(child, AWnd)))
      return true;
  }
  auto* asPopup = dynamic_cast<TcxCustomPopupWindow*>(AControl);
  for (TcxCustomPopupWindow* popup : PopupsNow()) {
    if (!popup->HandleAllocated() || !IsWindowOrChildOf(popup->Handle(), AWnd)) continue;
    TWinControl* owner = popup->OwnerControl();
    if (owner == AControl) return true;
    if (asPopup && owner && GetParentForm(owner) == asPopup) return true;
  }
  return false;
}

bool OwnsWindowHandle(TWinControl* AControl, HWND AWnd, bool ACheckChildren) {
  if (!AControl || !AControl->HandleAllocated()) return false;
  return AControl->Handle() == AWnd || (ACheckChildren && IsWindowInsideControl(AControl, AWnd));
}

HWND ResolvePopupOwnerWindow(HWND AWnd) {
  for (HWND wnd = AWnd; wnd; wnd = GetParent(wnd)) {
    auto* popup = dynamic_cast<TcxCustomPopupWindow*>(TWinControl::FindControl(wnd));
    if (!popup) continue;
    TWinControl* owner = popup->OwnerControl();
    return owner && owner->HandleAllocated() ? owner->Handle() : AWnd;
  }
  return AWnd;
}

// ---- The list

std::vector<TcxCustomPopupWindow*>* PopupWindowList() { return gPopupWindowList; }

void PopupWindowListAdd(TcxCustomPopupWindow* APopup) {
  if (gPopupWindowList && !IsInPopupList(APopup)) gPopupWindowList->push_back(APopup);
}

void PopupWindowListRemove(TcxCustomPopupWindow* APopup) {
  if (gPopupWindowList) std::erase(*gPopupWindowList, APopup);
}

bool PopupHookBusy() { return gPopupHookBusy; }

bool IsOpenPopupWindow(TCustomForm* AForm) {
  return gPopupWindowList && std::ranges::find(*gPopupWindowList, AForm) != gPopupWindowList->end();
}

void ChangePopupCloseLock(TcxCustomPopupWindow* APopup, bool ALock) { APopup->CloseLockCount += ALock ? 1 : -1; }

// ---- The hooks

void ContainerWndProcHook(int Code, WPARAM, LPARAM lParam, LRESULT&) {
  if (Code != HC_ACTION) return;
  auto& call = *reinterpret_cast<CWPSTRUCT*>(lParam);
  // One block at a time: a locked message while one is pending goes through.
  if (TdxMessagesController* controller = GetMessagesController(); controller && !controller->BlockPending())
    controller->BlockLockedMessage(call.hwnd, call.message);
  if (!gPopupWindowList || gPopupWindowList->empty()) return;
  switch (call.message) {
    case WM_DESTROY: HandleDestroy(call.hwnd); break;
    case WM_CLOSE: HandleClose(call.hwnd); break;
    case WM_SHOWWINDOW: if (call.wParam == 0) HandleHide(call.hwnd); break;
    case WM_WINDOWPOSCHANGED: HandleOwnerPosChanged(call.hwnd); break;
    case WM_ACTIVATEAPP: if (call.wParam == 0) HandleDeactivateApp(); break;
    case WM_NCACTIVATE: if (call.wParam == 0) HandleNCDeactivate(call.hwnd); break;
    default: break;
  }
}

void ContainerGetMessageHook(int Code, WPARAM wParam, LPARAM lParam, LRESULT&) {
  if (Code != HC_ACTION || wParam != PM_REMOVE || !gPopupWindowList || gPopupWindowList->empty()) return;
  auto& msg = *reinterpret_cast<MSG*>(lParam);
  if (msg.message != WM_SYSKEYDOWN) return;
  TcxCustomPopupWindow* newest = gPopupWindowList->back();
  if (newest->OwnActivation && newest->IgnoresSysKeys) return;
  if (!newest->PassesSysKey(LOWORD(msg.wParam))) msg.message = WM_NULL;
}

void ContainerMouseHook(int Code, WPARAM wParam, LPARAM lParam, LRESULT& HookResult) {
  if (Code != HC_ACTION || !IsMouseDownMessage(wParam)) return;
  if (!gPopupWindowList || gPopupWindowList->empty()) return;
  const auto& mouse = *reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
  if (!HandleOutsideMouseClick(mouse.hwnd, UINT(wParam), mouse.pt)) HookResult = 1;
}

bool IsWindowInMDIFamily(TcxCustomPopupWindow* APopup, HWND AWnd) {
  TCustomForm* form = APopup ? OwnerForm(APopup) : nullptr;
  if (!form || !form->HandleAllocated() || !AWnd) return false;
  const HWND child = form->Handle();
  if (!(GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_MDICHILD)) return false;
  const HWND client = GetParent(child);
  if (!client) return false;
  if (AWnd == client) return true;
  // The frame is the client's parent when it is one of this library's forms.
  if (auto* frame = dynamic_cast<TCustomForm*>(TWinControl::FindControl(GetParent(client)));
      frame && IsWindowOrChildOf(frame->Handle(), AWnd))
    return true;
  for (HWND other = GetWindow(client, GW_CHILD); other; other = GetWindow(other, GW_HWNDNEXT))
    if (other != child && (GetWindowLongPtrW(other, GWL_EXSTYLE) & WS_EX_MDICHILD) && IsWindowOrChildOf(other, AWnd))
      return true;
  return false;
}

bool HandleOutsideMouseClick(HWND AWnd, UINT AMsg, POINT P) {
  bool result = true;
  for (bool closed = true; closed;) {
    closed = false;
    for (TcxCustomPopupWindow* popup : PopupsNow()) {
      if (popup->OwnActivation && !popup->IsActive()) continue;
      if (popup->HandleAllocated() && IsWindowOrChildOf(popup->Handle(), AWnd)) continue;
      TWinControl* owner = PopupOwner(popup);
      if (!owner) continue;
      auto* ownerPopup = dynamic_cast<TcxCustomPopupWindow*>(GetParentForm(owner));
      if (IsWindowOnControlForm(owner, AWnd) || (ownerPopup && !IsInPopupList(ownerPopup))) {
        result = ClosePopupByClick(popup, AWnd, AMsg, P, result);
      } else if (IsWindowInMDIFamily(popup, AWnd)) {
        // A click elsewhere in the owner's MDI frame closes the popup too.
        result = result && !popup->SwallowsClosingClick(AWnd, AMsg, P, KeyboardShiftState());
        popup->ClosePopup();
      } else {
        continue;
      }
      closed = true;
      break;
    }
  }
  return result;
}

void InstallContainerHooks() {
  dxSetHook(htWndProc, &ContainerWndProcHook);
  dxSetHook(htGetMessage, &ContainerGetMessageHook);
  dxSetHook(htMouse, &ContainerMouseHook);
}

void RemoveContainerHooks() {
  dxReleaseHook(&ContainerMouseHook);
  dxReleaseHook(&ContainerGetMessageHook);
  dxReleaseHook(&ContainerWndProcHook);
}

void cxContainerUnitStart() {
  IsScrollBarInfoAvailable();  // binds GetScrollBarInfo once
  StartClassGroup(&TControl::StaticClassInfo());
  GroupDescendentsWith(&TcxStyleController::StaticClassInfo(), &TControl::StaticClassInfo());
  gPopupWindowList = new std::vector<TcxCustomPopupWindow*>();
  InstallContainerHooks();
  cxPopupOwnerWindowProc = &ResolvePopupOwnerWindow;
}

void cxContainerUnitStop() {
  cxPopupOwnerWindowProc = nullptr;
  RemoveContainerHooks();
  delete gPopupWindowList;
  gPopupWindowList = nullptr;
}

}  // namespace tvk
