#pragma once
// The library's process-wide objects that live outside any control: the
// system controller (which runs other threads' synchronised calls through a
// message of its own), the messages controller, window-procedure chains on a
// control's window method or a raw window's procedure, the settings
// controller, 10 ms mouse tracking, and free routines for windows,
// rectangles, shift states and captions.
#include "Controls.h"
#include "cxClasses.h"
#include "cxGeometry.h"

#include <initializer_list>

namespace tvk {

// Posted to the system controller's window when another thread queued a
// synchronised call.
constexpr UINT WM_CX_WAKEMAINTHREAD = WM_APP + 102;  // 0x8066
// Sent to the settings controller's listeners when the non-client metrics changed.
constexpr UINT WM_CX_NCSIZECHANGED = WM_APP + 101;  // 0x8065

// The names of the two registered window messages (nothing posts them).
extern const wchar_t* const kcxMessageName1;
extern const wchar_t* const kcxMessageName2;
// Their identifiers, kept as 16-bit values (0 before start-up).
uint16_t cxRegisteredMessage1();
uint16_t cxRegisteredMessage2();

// ---- The system controller

class TcxSystemController : public TcxMessageWindow {
public:
  TVK_CLASS(TcxSystemController, TcxMessageWindow)
  // In a library: takes over the class library's wake-main-thread handler.
  TcxSystemController();
  // Gives the previous handler back.
  ~TcxSystemController() override;

protected:
  void HandleMessage(TMessage& Message) override;

private:
  void InstallWakeHook();
  void RemoveWakeHook();
  // Runs on whatever thread queued a call: only posts a message.
  void PostWakeMessage();

  TNotifyEvent FPrevWakeMainThread;
  bool FWakeHookInstalled = false;
};

// The controller (null before start-up and after shut-down).
TcxSystemController* SystemController();

// ---- The messages controller

class TdxMessagesController : public TObject {
public:
  TVK_CLASS(TdxMessagesController, TObject)
  TdxMessagesController() = default;
  ~TdxMessagesController() override;

  // A message of that number for AWnd waits in the thread's queue.
  bool IsMessageInQueue(HWND AWnd, UINT AMessage) const;
  // Removes AWnd's messages in the range (AMsgFilterMax 0: AMsgFilterMin
  // alone), all of them or only the first. A removed WM_QUIT is posted again
  // and ends the removal. True when anything other than WM_QUIT was removed.
  bool KillMessages(HWND AWnd, UINT AMsgFilterMin, UINT AMsgFilterMax = 0, bool AKillAllMessages = true);
  bool IsMessageLocked(UINT AMessage) const;
  // Duplicates stay duplicates; an unlock removes one occurrence.
  void LockMessages(std::initializer_list<UINT> AMessages);
  void UnlockMessages(std::initializer_list<UINT> AMessages);
  // The next message that reaches AHandle is swallowed (result 1) and the
  // window's procedure put back; a second block before that raises EdxException.
  void BlockMessage(HWND AHandle);
  // A locked AMessage blocks AHandle's next message and becomes 0.
  void BlockLockedMessage(HWND AHandle, UINT& AMessage);
  bool BlockPending() const { return FOldWndProc != nullptr; }

private:
  static LRESULT CALLBACK BlockNextMessageProc(HWND AWnd, UINT AMsg, WPARAM wParam, LPARAM lParam);
  std::vector<UINT> FLockedMessages;
  WNDPROC FOldWndProc = nullptr;
  HWND FBlockedWindow = nullptr;
};

// Made on first use; null once the unit's shut-down began.
TdxMessagesController* GetMessagesController();

// ---- Window-procedure chains

class TcxWindowProcLinkedObjectList;

// One window method in a chain.
class TcxWindowProcLinkedObject : public TcxDoublyLinkedObject {
public:
  TVK_CLASS(TcxWindowProcLinkedObject, TcxDoublyLinkedObject)
  TcxWindowProcLinkedObject() = default;
  // Passes the message on to the method added before this one.
  void DefaultProc(TMessage& Message) const;
  TControl* Control() const { return FControl; }
  HWND Handle() const { return FHandle; }
  const TWndMethod& WindowProc() const { return FWindowProc; }

private:
  friend class TcxWindowProcLinkedObjectList;
  friend class TcxWindowProcController;
  TControl* FControl = nullptr;
  HWND FHandle = nullptr;
  TWndMethod FWindowProc;
};

// Puts a chain in place of a window's procedure and back.
class TcxSubclassingHelper : public TObject {
public:
  TVK_CLASS(TcxSubclassingHelper, TObject)
  // The method that runs the previous procedure (the chain's first link).
  const TWndMethod& DefaultWindowProc() const { return FDefaultWindowProc; }
  // Keeps the window's procedure and installs the chain's.
  virtual void StoreAndReplaceDefaultProc(TcxWindowProcLinkedObjectList* AList) = 0;
  virtual void RestoreDefaultProc() = 0;

protected:
  TWndMethod FDefaultWindowProc;
};

// On a control's replaceable window method.
class TcxVCLSubclassingHelper : public TcxSubclassingHelper {
public:
  TVK_CLASS(TcxVCLSubclassingHelper, TcxSubclassingHelper)
  explicit TcxVCLSubclassingHelper(TControl* AControl) : FControl(AControl) {}
  void StoreAndReplaceDefaultProc(TcxWindowProcLinkedObjectList* AList) override;
  void RestoreDefaultProc() override;

private:
  TControl* FControl;
};

// On a raw window's procedure: the chain is found through a window property.
class TcxWin32SubclassingHelper : public TcxSubclassingHelper {
public:
  TVK_CLASS(TcxWin32SubclassingHelper, TcxSubclassingHelper)
  explicit TcxWin32SubclassingHelper(HWND AHandle) : FHandle(AHandle) {}
  void StoreAndReplaceDefaultProc(TcxWindowProcLinkedObjectList* AList) override;
  void RestoreDefaultProc() override;
  WNDPROC APIDefaultWndProc() const { return FAPIDefaultWndProc; }

private:
  static LRESULT CALLBACK ChainProcedure(HWND AWnd, UINT AMsg, WPARAM wParam, LPARAM lParam);
  void CallDefault(TMessage& Message);
  HWND FHandle;
  WNDPROC FAPIDefaultWndProc = nullptr;
};

// The chain of one control or window: the newest link gets every message.
class TcxWindowProcLinkedObjectList : public TcxDoublyLinkedObjectList {
public:
  TVK_CLASS(TcxWindowProcLinkedObjectList, TcxDoublyLinkedObjectList)
  TcxWindowProcLinkedObjectList(TControl* AControl, HWND AHandle);
  // Frees the links and puts the previous procedure back.
  ~TcxWindowProcLinkedObjectList() override;
  void WndProc(TMessage& Message);
  TControl* Control() const { return FControl; }
  HWND Handle() const { return FHandle; }

protected:
  TcxDoublyLinkedObject* CreateLinkedObject() override { return new TcxWindowProcLinkedObject(); }

private:
  TControl* FControl;
  HWND FHandle;
  std::unique_ptr<TcxSubclassingHelper> FHelper;
};

class TcxWindowProcController : public TObject {
public:
  TVK_CLASS(TcxWindowProcController, TObject)
  TcxWindowProcController() = default;
  // The new link (null for no control or window).
  TcxWindowProcLinkedObject* Add(TControl* AControl, const TWndMethod& AWndProc);
  TcxWindowProcLinkedObject* Add(HWND AHandle, const TWndMethod& AWndProc);
  // Unlinks and frees the link and clears the variable; when only the
  // chain's first link is left, the previous procedure is put back.
  void Remove(TcxWindowProcLinkedObject*& AWndProcObject);
  int ChainCount() const { return FWindowProcObjects.Count(); }

private:
  TcxWindowProcLinkedObjectList* FindList(TControl* AControl, HWND AHandle) const;
  TcxWindowProcLinkedObject* AddLink(TcxWindowProcLinkedObjectList* AList, const TWndMethod& AWndProc);
  TcxObjectList FWindowProcObjects;  // one chain per control or window, owned
};

// Made on first use; null once the unit's shut-down began.
TcxWindowProcController* GetWindowProcController();

// ---- The settings controller

class TcxSettingsController : public TObject {
public:
  TVK_CLASS(TcxSettingsController, TObject)
  TcxSettingsController() = default;
  // The first listener makes the hidden window.
  void AddListener(TWinControl* AControl);
  // The last one leaving destroys it.
  void RemoveListener(TWinControl* AControl);
  // WM_CX_NCSIZECHANGED to every listener that has a window, in list order.
  void NotifyListeners();
  HWND WindowHandle() const { return FWindow ? FWindow->Handle() : nullptr; }
  int ListenerCount() const { return int(FList.size()); }

private:
  std::vector<TWinControl*> FList;
  std::unique_ptr<TMessageWindow> FWindow;
};

// Made on first use; null once the unit's shut-down began.
TcxSettingsController* GetSettingsController();

// ---- Mouse tracking

// Told when the mouse has left what it tracked.
struct IcxMouseTrackingCaller {
  virtual void MouseLeave() = 0;

protected:
  ~IcxMouseTrackingCaller() = default;
};
// A caller that also answers whether a point (client coordinates of the
// tracked control) is inside the tracked region.
struct IcxMouseTrackingRegion {
  virtual bool ContainsPoint(POINT P) = 0;

protected:
  ~IcxMouseTrackingRegion() = default;
};

class TMouseTrackingTimer : public TcxTimer {
public:
  TVK_CLASS(TMouseTrackingTimer, TcxTimer)
  TMouseTrackingTimer();
  IcxMouseTrackingCaller* Caller = nullptr;
  TWinControl* Control = nullptr;
  RECT Bounds{};  // screen coordinates
  void DoTimer() override;
};

// Checks every 10 ms whether the mouse left ABounds (AControl's client
// coordinates; screen ones without a control). Nothing when ACaller already
// tracks or the unit's shut-down began.
void BeginMouseTracking(TWinControl* AControl, const RECT& ABounds, IcxMouseTrackingCaller* ACaller);
void EndMouseTracking(IcxMouseTrackingCaller* ACaller);
bool IsMouseTracking(IcxMouseTrackingCaller* ACaller);
// The running tracking timers; null once the unit's shut-down began.
TcxObjectList* GetMouseTrackingTimerList();

// ---- Free routines

bool CanControlHaveHandle(TWinControl* AControl);
bool AreThemeServicesEnabled();
UINT GetSystemDoubleClickTime();
// (-1, -1) when the position cannot be read.
POINT SafeGetCursorPos();
bool IsPlainMouseMove(TShiftState Shift);
bool IsLeftButtonOnly(TShiftState Shift, bool ACanIncludeDoubleClick);
bool IsChildStyleWindow(HWND AWnd);
bool IsWindowOrChild(HWND AParent, HWND AWnd);
bool IsCtrlKeyDown();
// For a child window also every parent up to the first non-child.
bool IsWindowEnabledWithParents(HWND AWnd);
bool IsPointInDragArea(POINT ADownPos, int X, int Y);
bool IsNonControlChar(wchar_t AChar);
void MapRectPoints(HWND AFrom, HWND ATo, RECT& R);
// Client coordinates through the system; window coordinates by the windows' origins.
RECT MapWindowRect(HWND AFrom, HWND ATo, const RECT& R, bool AClient);
POINT ClientToScreenPoint(HWND AWnd, POINT P);
RECT GetWindowClientRect(HWND AWnd);
RECT GetWindowRectSafe(HWND AWnd);
// The client origin minus the window origin, both on the screen.
POINT GetWindowClientOffset(HWND AWnd);
RECT GetControlWindowRect(TWinControl* AControl);
RECT GetControlWindowBounds(TWinControl* AControl);
RECT GetWindowBoundsAtOrigin(HWND AWnd);
// Each "&" removed, the character after it kept ("&&" gives "&"); a final
// lone "&" becomes "_" with AReplaceLast, else it is dropped.
WideString RemoveAcceleratorPrefixes(const WideString& ACaption, bool AReplaceLast = true);
bool IsComponentReady(TComponent* AComponent);
bool IsControlChainReady(TControl* AControl);
WPARAM ShiftStateToMouseKeyFlags(TShiftState Shift);
WORD NormalizeEditKey(WORD AKey);
bool IsSelfEraseMessage(const TMessage& Message);
// The window's previous procedure.
WNDPROC SetWindowProcOf(HWND AWnd, WNDPROC AProc);

// ---- Unit start-up and shut-down

// Cursors, the two messages, the system controller.
void cxControlsUnitStart();
// Frees the controllers; live mouse-tracking timers are freed too and then
// reported as EdxException "MouseTrackingTimerList.Count <> 0".
void cxControlsUnitStop();

}  // namespace tvk
