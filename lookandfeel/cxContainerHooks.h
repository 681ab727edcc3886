#pragma once
// Closing of popup windows: the popups that are open, and three thread hooks
// that close them when the user clicks elsewhere, hides or closes their owner,
// or switches to another application. While no popup is open the hooks only
// block the messages the messages controller locked.
#include "Forms.h"

#include <vector>

namespace tvk {

// What the hooks require of a popup window. A popup is in PopupWindowList
// while it is shown (the popup class adds and removes itself).
class TcxCustomPopupWindow : public TForm {
public:
  TVK_CLASS(TcxCustomPopupWindow, TForm)
  explicit TcxCustomPopupWindow(TComponent* AOwner) : TForm(AOwner, kCreateNew) {}

  // The control that opened the popup (forgotten when it is freed).
  TWinControl* OwnerControl() const { return FOwnerControl; }
  void SetOwnerControl(TWinControl* AControl);

  bool OwnActivation = false;       // the popup may be the active window itself
  bool IgnoresSysKeys = false;
  bool TerminateOnDestroy = false;
  bool OwnerRectClicked = false;    // set by the hooks
  int CloseLockCount = 0;           // raised by the hooks around a close

  virtual bool IsActive();
  // The screen rectangle of the owner that counts as the owner's own button.
  virtual RECT GetOwnerClickBounds() { return RECT{}; }
  // Closes the popup; a closed popup is no longer in PopupWindowList.
  virtual void ClosePopup() = 0;
  // False drops the system key message.
  virtual bool PassesSysKey(WORD /*AKey*/) { return true; }
  // True: the mouse message that closes the popup must not reach its target.
  virtual bool SwallowsClosingClick(HWND /*AWnd*/, UINT /*AMsg*/, POINT /*P*/, TShiftState /*AShift*/) {
    return false;
  }

protected:
  void Notification(TComponent* AComponent, TOperation AOperation) override;

private:
  TWinControl* FOwnerControl = nullptr;
};

// The open popups in opening order (the newest last); null outside the
// unit's start-up and shut-down.
std::vector<TcxCustomPopupWindow*>* PopupWindowList();
void PopupWindowListAdd(TcxCustomPopupWindow* APopup);
void PopupWindowListRemove(TcxCustomPopupWindow* APopup);
// Raised while the mouse hook closes a popup.
bool PopupHookBusy();
// AForm is an open popup (the list exists and holds it).
bool IsOpenPopupWindow(TCustomForm* AForm);
// Raises (ALock) or lowers APopup's close lock by one.
void ChangePopupCloseLock(TcxCustomPopupWindow* APopup, bool ALock);

// The hook procedures (the system's hooks call them through the hook controller).
void ContainerWndProcHook(int Code, WPARAM wParam, LPARAM lParam, LRESULT& HookResult);
void ContainerGetMessageHook(int Code, WPARAM wParam, LPARAM lParam, LRESULT& HookResult);
void ContainerMouseHook(int Code, WPARAM wParam, LPARAM lParam, LRESULT& HookResult);
// Mouse down on AWnd with the cursor at P: closes the popups the click is
// outside of; false when the click must be swallowed.
bool HandleOutsideMouseClick(HWND AWnd, UINT AMsg, POINT P);

// The owner of APopup lies on an MDI child form, and AWnd is that form's MDI
// client, lies in the MDI frame (when the frame is one of this library's
// forms) or in another MDI child of the client.
bool IsWindowInMDIFamily(TcxCustomPopupWindow* APopup, HWND AWnd);
// AWnd is the parent form of AComponent or lies in it; a form without a
// parent control also counts the outermost window hosting it.
bool IsWindowOnControlForm(TComponent* AComponent, HWND AWnd);
// AWnd lies in AControl (not its own window): a child window, a windowed
// child control's, or an open popup owned by AControl (or, for a popup, by a
// control on it).
bool IsWindowInsideControl(TWinControl* AControl, HWND AWnd);
bool OwnsWindowHandle(TWinControl* AControl, HWND AWnd, bool ACheckChildren);
// For a window on a popup (or the popup itself): the popup's owner control's
// window when it has one; any other window is answered unchanged.
HWND ResolvePopupOwnerWindow(HWND AWnd);

void InstallContainerHooks();
void RemoveContainerHooks();

// The container unit's start-up and shut-down.
void cxContainerUnitStart();
void cxContainerUnitStop();

}  // namespace tvk
