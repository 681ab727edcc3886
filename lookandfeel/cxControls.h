#pragma once
// The library's process-wide objects that live outside any control: the
// system controller (which runs other threads' synchronised calls through a
// message of its own), the messages controller, window-procedure chains on a
// control's window method or a raw window's procedure, the settings
// controller, 10 ms mouse tracking, and free routines for windows,
// rectangles, shift states and captions.
#include "Controls.h"
#include "ImageLists.h"
#include "StdCtrls.h"
#include "cxClasses.h"
#include "cxGeometry.h"
#include "cxGraphics.h"
#include "cxLookAndFeels.h"
#include "cxScrollBar.h"
#include "dxCore.h"

#include <initializer_list>
#include <vector>

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
// The class-library drag over a TcxControl now (null: none, or over another control).
TDragObject* GetCurrentDragObject();
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
// Whether a repaint of AControl's parent shows through it: its
// IcxTransparentControl answer, else a windowed control that is not opaque.
bool IsControlTransparent(TControl* AControl);
// The window's previous procedure.
WNDPROC SetWindowProcOf(HWND AWnd, WNDPROC AProc);

// ---- The custom-drawn control base

class TPopupMenu;

// {61EEDA7D-88CC-45BF-8A00-5C25174D6501}
inline constexpr GUID IID_IcxPopupMenu = {0x61EEDA7D, 0x88CC, 0x45BF, {0x8A, 0x00, 0x5C, 0x25, 0x17, 0x4D, 0x65, 0x01}};
struct IcxPopupMenu {
  virtual bool IsShortCut(TMessage& Message) = 0;
  virtual void Popup(int X, int Y) = 0;

protected:
  ~IcxPopupMenu() = default;
};

// {ACB73657-6066-4564-9A3D-D4D0273AA82F}
inline constexpr GUID IID_IcxMouseCaptureObject = {
    0xACB73657, 0x6066, 0x4564, {0x9A, 0x3D, 0xD4, 0xD0, 0x27, 0x3A, 0xA8, 0x2F}};
struct IcxMouseCaptureObject {
  // The object is no longer the control's capture object.
  virtual void DoCancelMode() = 0;

protected:
  ~IcxMouseCaptureObject() = default;
};

// {825BFA90-77C6-4725-BE95-B0A1EA8F934D}
inline constexpr GUID IID_IcxControlFontSink = {
    0x825BFA90, 0x77C6, 0x4725, {0xBE, 0x95, 0xB0, 0xA1, 0xEA, 0x8F, 0x93, 0x4D}};
struct IcxControlFontSink {
  virtual void HandleFontChange(TFont* AFont) = 0;

protected:
  ~IcxControlFontSink() = default;
};

// {F4980C69-029E-4B14-B3AD-953DA5C18BE7}
inline constexpr GUID IID_IcxTransparentControl = {
    0xF4980C69, 0x029E, 0x4B14, {0xB3, 0xAD, 0x95, 0x3D, 0xA5, 0xC1, 0x8B, 0xE7}};
struct IcxTransparentControl {
  virtual bool IsTransparent() = 0;

protected:
  ~IcxTransparentControl() = default;
};

// {B144DD7E-0B27-439A-B908-FC3ACFE6A2D3}
inline constexpr GUID IID_IcxFontListener = {
    0xB144DD7E, 0x0B27, 0x439A, {0xB9, 0x08, 0xFC, 0x3A, 0xCF, 0xE6, 0xA2, 0xD3}};
struct IcxFontListener {
  virtual void Changed(TObject* Sender, TFont* AFont) = 0;

protected:
  ~IcxFontListener() = default;
};

// {EB45AB76-3681-4838-BDA8-7D0081B4C184}
inline constexpr GUID IID_IcxFrozenImageProvider = {
    0xEB45AB76, 0x3681, 0x4838, {0xBD, 0xA8, 0x7D, 0x00, 0x81, 0xB4, 0xC1, 0x84}};
// A control that shows a still picture instead of painting itself (while its
// content is being rebuilt): of its own client area, or of a control it lies in.
struct IcxFrozenImageProvider {
  // The picture, or null while nothing is frozen.
  virtual TcxBitmap* GetFrozenImage() = 0;
  // The control whose client area the picture shows.
  virtual TWinControl* GetFrozenControl() = 0;

protected:
  ~IcxFrozenImageProvider() = default;
};

// Paints AControl from AProvider's frozen picture: the picture itself when it
// shows AControl, else the part that lies under AControl. False (nothing
// painted) when AProvider has no picture, or no control or window to place it by.
bool PaintFrozenImage(TObject* AProvider, TWinControl* AControl, TcxCanvas& ACanvas);

// The window that owns a popup opened from AWnd. The container unit's
// start-up installs the rule that hands a window on a popup window over to
// the popup's owner control; without a rule, AWnd itself.
using TcxPopupOwnerWindowProc = HWND (*)(HWND AWnd);
extern TcxPopupOwnerWindowProc cxPopupOwnerWindowProc;
HWND cxGetPopupOwnerWindow(HWND AWnd);

// Optional services an application may install; the library itself never
// does, so they stay empty unless one is put in. Every caller checks first.
// The unit's shut-down releases them.
// A spell checker may take a control's context-menu request (true: taken).
struct IcxSpellCheckerService : public IUnknown {
  virtual bool STDMETHODCALLTYPE QueryPopup(TComponent* APopupMenu, POINT AScreenPoint) = 0;
};
// Hears the key-downs an editor leaves over after its own handling, and the key-ups.
struct IcxKeyboardHookService : public IUnknown {
  virtual void STDMETHODCALLTYPE KeyDown(WORD AKey, TShiftState AShift) = 0;
  virtual void STDMETHODCALLTYPE KeyUp(WORD AKey, TShiftState AShift) = 0;
};
ComRef<IcxSpellCheckerService>& SpellCheckerService();
ComRef<IcxKeyboardHookService>& KeyboardHookService();

enum TcxControlBorderStyle { cxcbsNone, cxcbsDefault };
enum TcxKey : unsigned { kAll = 1, kArrows = 2, kChars = 4, kTab = 8 };
using TcxKeys = unsigned;
enum TcxDragAndDropState { ddsNone, ddsStarting, ddsInProcess };

// What the control base reads of the system; tests replace them.
struct TcxControlSystemQueries {
  bool (*CompositionOn)();  // desktop composition is on
  bool (*Win7OrLater)();
  bool (*CtrlDown)();
  int (*WheelScrollLines)();  // lines one wheel notch scrolls
};
TcxControlSystemQueries& cxControlSystemQueries();

// Captures the mouse to AWnd and waits: 1 when the mouse leaves the drag
// square around P (screen point), 0 on a button release, 2 on Escape, on the
// loss of capture or on WM_QUIT (which is posted again).
int DetectDragStart(HWND AWnd, POINT P);

// The pending parameters of one of a control's own scroll bars.
struct TcxScrollBarData {
  int Min = 0;
  int Max = 0;
  int Position = 0;
  int PageSize = 0;
  uint16_t SmallChange = 1;
  uint16_t LargeChange = 1;
  bool Enabled = true;
  bool Visible = false;
  bool AllowShow = false;
  bool AllowHide = false;
};

// One of the two bars a TcxControl places inside its client area.
class TcxControlScrollBar : public TcxScrollBar {
public:
  TVK_CLASS(TcxControlScrollBar, TcxScrollBar)
  explicit TcxControlScrollBar(TComponent* AOwner);
  ~TcxControlScrollBar() override;
  // Moves the pending parameters onto the bar.
  void ApplyData();
  TcxScrollBarData Data;
  void WndProc(TMessage& Message) override;

protected:
  // The part of the parent's frozen picture under the bar, while there is one.
  void Paint() override;

private:
  friend class TcxControl;  // refreshes the bar's showing state after painting
};

// Fills the corner between a control's two scroll bars.
class TcxSizeGrip : public TCustomControl {
public:
  TVK_CLASS(TcxSizeGrip, TCustomControl)
  explicit TcxSizeGrip(TComponent* AOwner);
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }

protected:
  void Paint() override;
  TVK_MESSAGES();
  void WMEraseBkgnd(TMessage& Message);

private:
  friend class TcxControl;  // refreshes the grip's showing state after painting
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
};

// Where the middle-button scroll goes for a cursor at P around the anchor
// centre: the direction and a speed of 1 to 12 (0 inside the dead zone).
struct TcxAutoScrollStep {
  TcxDirection Direction = dirNone;
  int Speed = 0;
  bool LeftAnchor = false;  // the cursor is outside the dead zone
};
TcxAutoScrollStep CalculateAutoScrollStep(POINT ACentre, int AAnchorWidth, bool ACanScrollHorz, bool ACanScrollVert,
                                          POINT P);
// The anchor's bitmap resource for the directions that can scroll.
const wchar_t* GetAutoScrollAnchorBitmapName(bool ACanScrollHorz, bool ACanScrollVert);
// The screen cursor of the middle-button scroll: one per direction, else by
// what can scroll.
TCursor GetAutoScrollCursor(TcxDirection ADirection, bool ACanScrollHorz, bool ACanScrollVert);
// The round top-most window marking where the middle-button scroll started:
// ABitmapName's picture centred on ACentre (screen point), owned by AOwner.
class TcxAutoScrollAnchor {
public:
  TcxAutoScrollAnchor(HWND AOwner, const wchar_t* ABitmapName, POINT ACentre);
  ~TcxAutoScrollAnchor();
  TcxAutoScrollAnchor(const TcxAutoScrollAnchor&) = delete;
  TcxAutoScrollAnchor& operator=(const TcxAutoScrollAnchor&) = delete;
  HWND Handle() const { return FWnd; }
  int Width() const { return FSize.cx; }
  int Height() const { return FSize.cy; }
  void Paint();

private:
  HWND FWnd = nullptr;
  HBITMAP FBitmap = nullptr;
  SIZE FSize{};
};

class TcxControl;

// The library's own drag and drop: follows the mouse from the start of a
// drag to its end; descendants draw the feedback.
class TcxDragAndDropObject : public TObject {
public:
  TVK_CLASS(TcxDragAndDropObject, TObject)
  explicit TcxDragAndDropObject(TcxControl* AControl) : FControl(AControl) {}
  void DoBeginDragAndDrop();
  void DoDragAndDrop(POINT P, bool& Accepted);
  void DoEndDragAndDrop(bool Accepted);
  bool Dirty() const { return FDirty; }
  void SetDirty(bool AValue);
  bool ImmediateStart() { return GetImmediateStart(); }
  TcxControl* Control() const { return FControl; }
  POINT CurMousePos{-1, -1};
  POINT PrevMousePos{-1, -1};

protected:
  virtual void DirtyFlagChanged() {}
  virtual void CursorClientPosition(POINT& P);
  virtual TCursor DragAndDropCursorFor(bool Accepted) { return Accepted ? crDrag : crNoDrop; }
  virtual bool GetImmediateStart() { return false; }
  virtual void DragAndDropEnded(bool Accepted) { (void)Accepted; }
  virtual void BeginDragAndDrop() { DirtyFlagChanged(); }
  virtual void DragAndDrop(POINT P, bool& Accepted);
  virtual void EndDragAndDrop(bool Accepted) { (void)Accepted; SetDirty(true); }
  void UpdateMousePositions(POINT P) {
    PrevMousePos = CurMousePos;
    CurMousePos = P;
  }

private:
  TcxControl* FControl;
  bool FDirty = false;
};

// A non-visual component that belongs to a control: the control keeps a list
// of its children but never frees them (their owner does); a child leaves
// its control when it is freed, and a control that goes first lets its
// children go.
class TcxControlChildComponent : public TcxComponent {
public:
  TVK_CLASS(TcxControlChildComponent, TcxComponent)
  explicit TcxControlChildComponent(TComponent* AOwner);
  // Made for AControl, owned by AControl's owner when AAssignOwner, else by nobody.
  TcxControlChildComponent(TcxControl* AControl, bool AAssignOwner);
  ~TcxControlChildComponent() override;

  TcxControl* Control() const { return FControl; }
  virtual void SetControl(TcxControl* AValue);
  bool IsDestroying() const { return (ComponentState() & csDestroying) != 0; }
  bool IsLoading() const { return (ComponentState() & csLoading) != 0; }
  // A reader's parent: a control takes the component as its child.
  void SetParentComponent(TComponent* AValue) override;
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return FControl != nullptr; }

protected:
  virtual void Initialize() {}

private:
  friend class TcxControl;
  TcxControl* FControl = nullptr;
};

// The drag-copy cursor of the class-library drag over a control.
constexpr TCursor crcxDragCopy = 2100;

// The class-library drag of a TcxControl: the copy cursor while Ctrl is held
// over a target that accepts; it frees itself when the drag is over.
class TcxDragControlObject : public TDragControlObject {
public:
  TVK_CLASS(TcxDragControlObject, TDragControlObject)
  using TDragControlObject::TDragControlObject;
  // The class library's end, then the object is freed: nothing may touch it afterwards.
  void Finished(TObject* Target, int X, int Y, bool Accepted) override;

protected:
  TCursor DragCursorFor(bool Accepted, int X, int Y) override;
};

// The picture of a TcxControl's class-library drag.
class TcxDragImageList : public TDragImageList {
public:
  TVK_CLASS(TcxDragImageList, TDragImageList)
  using TDragImageList::TDragImageList;
};
// Makes a control's drag image list (no owner).
using TcxDragImageListClass = TcxDragImageList* (*)();
template <class T>
TcxDragImageList* MakeDragImages() {
  return new T(nullptr);
}

// A control listens to the resource-string translations for its whole life
// (TranslationChanged is the descendants' hook). The interface is not
// counted: the control's owner frees it.
class TcxControl : public TCustomControl, public IdxLocalizerListener {
public:
  TVK_CLASS(TcxControl, TCustomControl)
  explicit TcxControl(TComponent* AOwner);
  ~TcxControl() override;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(-1); }
  ULONG STDMETHODCALLTYPE Release() override { return ULONG(-1); }
  // The translations of the resource strings changed: nothing at this level.
  void STDMETHODCALLTYPE TranslationChanged() override {}
  bool GetInterface(const GUID& iid, void** obj) override;

  virtual bool IsDesigning() const { return (ComponentState() & csDesigning) != 0; }
  // Tells the designer of the control's form that something changed, when the
  // control and every parent up to that form are designed and ready (not
  // loading, reading or being destroyed).
  virtual void DesignerModified();

  TcxCanvas* ActiveCanvas();
  TcxCanvas& Canvas() { return *FCanvas; }
  // The child components attached to the control, in the order they came.
  void AddChildComponent(TcxControlChildComponent* AComponent);
  void RemoveChildComponent(TcxControlChildComponent* AComponent);
  int ChildComponentCount() const { return static_cast<int>(FChildComponents.size()); }
  TcxControlChildComponent* ChildComponents(int AIndex) const { return FChildComponents.at(static_cast<std::size_t>(AIndex)); }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  TcxCustomLookAndFeelPainter* LookAndFeelPainter() { return FLookAndFeel->GetAvailablePainter(); }
  TcxControlBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TcxControlBorderStyle AValue);
  TcxKeys Keys() const { return FKeys; }
  void SetKeys(TcxKeys AValue) { FKeys = AValue; }
  TComponent* PopupMenu() const { return FPopupMenu; }
  // Only a TPopupMenu or a component with IcxPopupMenu is kept; anything else clears it.
  void SetPopupMenu(TComponent* AValue);
  bool FocusOnClick() const { return FFocusOnClick; }
  void SetFocusOnClick(bool AValue) { FFocusOnClick = AValue; }
  TObject* MouseCaptureObject() const { return FMouseCaptureObject; }
  void SetMouseCaptureObject(TObject* AValue);
  POINT MouseDownPos() const { return FMouseDownPos; }
  bool MouseButtonPressed() const { return FMouseButtonPressed; }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetBoundsRect(const RECT& R) { FBounds = R; }
  RECT Bounds();
  RECT ClientBounds();
  int BorderSize();

  POINT GetMouseCursorClientPos();
  void InvalidateRect(const RECT& R, bool AEraseBackground);
  void InvalidateRgn(TcxRegion* ARegion, bool AEraseBackground);
  void InvalidateWithChildren();
  void UpdateWithChildren();
  void PostMouseMove();
  void PostMouseMove(POINT AMousePos);
  void ScrollWindow(int DX, int DY, const RECT& AScrollRect);
  bool IsMouseInPressedArea(int X, int Y) const;
  bool AcceptMousePosForClick(int X, int Y) const;
  bool CanFocusEx() const;
  void AddFontListener(IcxFontListener* AListener);
  void RemoveFontListener(IcxFontListener* AListener);
  bool IsPopupMenuShortCut(TMessage& Message);
  // The control took or lost the focus.
  TNotifyEvent OnFocusChanged;
  TCursor DefaultCursor() const { return FDefaultCursor; }

  // Library drag and drop.
  TcxDragAndDropObject* DragAndDropObject();
  bool HasDragAndDropObject() const { return FDragAndDropObject != nullptr; }
  TcxDragAndDropState DragAndDropState() const { return FDragAndDropState; }
  void SetDragAndDropState(TcxDragAndDropState AValue);
  void BeginDragAndDrop();
  void FinishDragAndDrop(bool Accepted);
  // Ctrl held: a class-library drag over the control copies.
  virtual bool IsCopyDragDrop() { return cxControlSystemQueries().CtrlDown(); }
  // The class-library drag's picture: null unless HasDragImages; made once a
  // drag (InitDragImages) and answered only while it holds a picture.
  TDragImageList* GetDragImages() override;
  bool HasDragImageList() const { return FDragImages != nullptr; }
  // The class-library drag over the control (recorded by DragOver; null when none).
  TDragObject* DragObjectOver() const;
  void DragOver(TObject* ASource, int X, int Y, TDragState AState, bool& AAccept) override;
  void DragDrop(TObject* ASource, int X, int Y) override;
  void DoEndDrag(TObject* ATarget, int X, int Y) override;
  // Whether a click on a child control (its own scroll bars) focuses the control.
  virtual bool FocusOnChildClick() { return CanFocusOnClick(); }

  // Own scroll bars (null without them).
  TcxControlScrollBar* HScrollBar() const { return FHScrollBar.get(); }
  TcxControlScrollBar* VScrollBar() const { return FVScrollBar.get(); }
  TcxSizeGrip* SizeGrip() const { return FSizeGrip.get(); }
  RECT GetSizeGripBounds();
  void SetScrollBars(TScrollStyle AValue);
  // Writes the pending parameters of one bar; an unusable range hides it
  // (with AAllowHide) or shows it disabled.
  void SetScrollBarInfo(TScrollBarKind AScrollBarKind, int AMin, int AMax, int AStep, int APage, int APos,
                        bool AAllowShow, bool AAllowHide);
  void LockScrollBars();
  void UnlockScrollBars();
  int ScrollBarsLockCount() const { return FScrollBarsLockCount; }
  void ScrollContent(TcxDirection ADirection);
  // The middle-button scroll: a message loop under capture that scrolls
  // towards where the mouse moves from the press, faster farther away; it ends
  // at another button, Escape, a move-and-release of the middle button, the
  // loss of capture or WM_QUIT (posted again).
  void RunContentAutoScroll();
  bool IsScrollingContent() const { return FIsScrollingContent; }
  virtual void CheckUpdateScrollBars();
  void UpdateScrollBarSizes();
  // The bars' rectangles in client coordinates.
  RECT GetHScrollBarBounds();
  RECT GetVScrollBarBounds();

  // The control's invalidate notification: its parent hears it too.
  void Invalidate() override;
  void WndProc(TMessage& Message) override;
  void AfterConstruction() override;

protected:
  virtual void AfterMouseDown(TMouseButton AButton, int X, int Y);
  // The class-library drag: repaints at once, then the drag object is the
  // inherited handler's or one of GetDragObjectClass; StartDrag false drops it
  // and cancels the drag.
  void HandleDragStart(TDragObject*& ADragObject) override;
  TDragControlObjectClass GetDragObjectClass() override { return &MakeDragObject<TcxDragControlObject>; }
  virtual bool StartDrag(TDragObject* ADragObject) { (void)ADragObject; return true; }
  virtual bool HasDragImages() { return false; }
  virtual TcxDragImageListClass GetDragImagesClass() { return &MakeDragImages<TcxDragImageList>; }
  virtual SIZE GetDragImagesSize() { return SIZE{0, 0}; }
  virtual void DrawDragImage(TcxCanvas& ACanvas, const RECT& R) { (void)ACanvas, (void)R; }
  virtual void InitDragImages(TcxDragImageList* AImages);
  virtual TcxDragAndDropObject* CreateDragAndDropObject() { return new TcxDragAndDropObject(this); }
  virtual bool StartDragAndDrop(POINT P) { (void)P; return false; }
  virtual void DragAndDrop(POINT P, bool& Accepted);
  virtual void EndDragAndDrop(bool Accepted);
  virtual bool AllowUnfocusedMouseDown() { return false; }
  virtual void BeforeMouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) {
    (void)AButton, (void)AShift, (void)X, (void)Y;
  }
  virtual bool CanDrag(int X, int Y) { (void)X, (void)Y; return true; }
  virtual bool CanFocusOnClick();
  virtual bool CanFocusOnClickAt(int X, int Y) { (void)X, (void)Y; return CanFocusOnClick(); }
  virtual void CancelMouseOperations();
  // Whether losing the capture before a library drag started cancels the press.
  virtual bool CancelModeOnCaptureRelease() { return true; }
  virtual bool DoShowPopupMenu(TComponent* AMenu, int X, int Y);
  // A context-menu request at AMousePos (client coordinates; (-1, -1) from
  // the keyboard): the spell checker first, then the control's own menu.
  virtual void HandleContextPopup(POINT AMousePos, bool& AHandled);
  virtual void DoPaint();
  virtual void EraseBackground(HDC DC);
  virtual void FocusChanged();
  // The cursor shown over (X, Y) while the mouse moves: the control's own by default.
  virtual TCursor GetCurrentCursor(int X, int Y) { (void)X, (void)Y; return FDefaultCursor; }
  // The control's own cursor follows Cursor, except while MouseMove shows another.
  virtual void CursorChanged();
  virtual bool HasTransparency() { return false; }
  virtual void InitControl() {}
  virtual bool IsBufferedPaintAllowed() { return true; }
  virtual bool IsMousePosCorrectionNeeded() { return true; }
  virtual bool KeepsPaintAlpha() { return false; }
  virtual void LookAndFeelChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues);
  virtual bool MayFocus() { return true; }
  virtual bool NeedsEraseBackground() { return false; }
  virtual bool UseInheritedPaint() { return false; }
  virtual bool HasScrollBars() { return true; }
  virtual void InitScrollBarsParameters() {}
  virtual void Scroll(TScrollBarKind AScrollBarKind, TScrollCode AScrollCode, int& AScrollPos) {
    (void)AScrollBarKind, (void)AScrollCode, (void)AScrollPos;
  }
  virtual void UpdateScrollBars();
  virtual void BoundsChanged();
  virtual bool AllowScrollBarPageCorrection(TScrollBarKind AKind) { (void)AKind; return true; }
  virtual bool AllowScrollWithoutScrollBars(TcxDirection ADirection) { (void)ADirection; return false; }
  // 2: the wheel scrolls vertically; 1: horizontally; 0: not at all.
  virtual int GetWheelScrollKind();
  // Scrolls the content by the wheel's lines; false when the control does not.
  virtual bool HandleMouseWheel(int ADelta);
  virtual TScrollStyle GetSystemSizedScrollBars() { return TScrollStyle::ssBoth; }
  virtual void SetInternalControlsBounds();
  // Bars and grip stay above other children, except at design time.
  virtual bool NeedsInternalControlsOnTop() { return !IsDesigning(); }
  virtual void BringInternalControlsToFront();
  // After painting: the visible bars and grip repaint their showing state.
  virtual void UpdateInternalControlsState();
  void Resize() override;

  void CreateWnd() override;
  void Paint() override;
  void MouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) override;
  void MouseMove(TShiftState AShift, int X, int Y) override;
  void MouseUp(TMouseButton AButton, TShiftState AShift, int X, int Y) override;
  void Notification(TComponent* AComponent, TOperation AOperation) override;

  TVK_MESSAGES();
  void WMPaint(TMessage& Message);
  void WMEraseBkgnd(TMessage& Message);
  void WMGetDlgCode(TMessage& Message);
  void WMContextMenu(TMessage& Message);
  void WMNCCalcSize(TMessage& Message);
  void WMCancelMode(TMessage& Message);
  void CMFontChanged(TMessage& Message);
  void CNKeyDown(TMessage& Message);
  void CNSysKeyDown(TMessage& Message);
  // A left press that dmAutomatic would hand to the class library's drag start.
  bool IsOwnAutomaticDragPress(TMessage& Message);
  void WMMouseWheel(TMessage& Message);
  void CMNCSizeChanged(TMessage& Message);
  void CMCursorChanged(TMessage& Message);
  void CMInvalidate(TMessage& Message);

private:
  std::vector<TcxControlChildComponent*> FChildComponents;
  void CreateInternalControls();
  void DestroyInternalControls();
  void CalculateScrollBarsParams();
  void CorrectScrollBarPages();
  bool IsScrollBarShown(TScrollBarKind AKind) const;
  void PaintBuffered(TMessage& Message);
  void PaintOffScreen(TMessage& Message);
  void PaintNormal(TMessage& Message);
  void ApplyDragImageStyle();

  TcxControlBorderStyle FBorderStyle = cxcbsNone;
  RECT FBounds{};
  std::unique_ptr<TcxCanvas> FCanvas;
  std::unique_ptr<TcxScreenCanvas> FScreenCanvas;
  TCursor FDefaultCursor = 0;
  bool FShowingCurrentCursor = false;  // MouseMove sets Cursor: FDefaultCursor stays
  bool FFocusOnClick = true;
  std::vector<IcxFontListener*> FFontListenerList;
  TcxKeys FKeys = 0;
  bool FLastParentBackground = true;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  bool FMouseButtonPressed = false;
  TObject* FMouseCaptureObject = nullptr;
  POINT FMouseDownPos{};
  bool FMouseRightButtonReleased = false;
  TComponent* FPopupMenu = nullptr;
  TScrollStyle FScrollBars = TScrollStyle::ssBoth;
  std::unique_ptr<TcxDragAndDropObject> FDragAndDropObject;
  TcxDragAndDropState FDragAndDropState = ddsNone;
  bool FFinishingDragAndDrop = false;
  TCursor FSavedScreenCursor = crDefault;
  std::unique_ptr<TcxDragImageList> FDragImages;
  TDragObject* FDragObject = nullptr;  // the class-library drag over the control
  bool FDragImageStyleApplied = false;
  std::unique_ptr<TcxControlScrollBar> FHScrollBar;
  std::unique_ptr<TcxControlScrollBar> FVScrollBar;
  std::unique_ptr<TcxSizeGrip> FSizeGrip;
  bool FCalculatingScrollBarsParams = false;
  bool FUpdatingScrollBars = false;
  bool FInitialHScrollBarVisible = false;
  bool FInitialVScrollBarVisible = false;
  bool FIsInitialScrollBarsParams = false;
  int FScrollBarsLockCount = 0;
  bool FScrollBarsUpdateNeeded = false;
  bool FIsScrollingContent = false;
};

// ---- The drag-image form

// A borderless, top-most pop-up that shows a picture under the mouse during
// a drag without taking the activation; its pixels of the transparent colour
// are left out (a layered window's colour key) while transparency is on.
class TcxDragImage : public TCustomControl {
public:
  TVK_CLASS(TcxDragImage, TCustomControl)
  explicit TcxDragImage(TComponent* AOwner = nullptr);
  ~TcxDragImage() override;

  // The picture; it follows the form's size.
  TcxBitmap& Image() { return *FImage; }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool AValue);
  TColor TransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(TColor AValue);
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // Shown at its place without activation; hidden; moved to a screen point.
  void ShowImage();
  void HideImage();
  void MoveTo(POINT APosition);
  bool Showing() const;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Paint() override;

private:
  void UpdateColorKey();
  std::unique_ptr<TcxBitmap> FImage;
  bool FTransparent = false;
  TColor FTransparentColor = clNone;
};

// The canvas of the picture a drag-image form holds.
TcxCanvas& GetDragImageCanvas(TcxDragImage& AForm);

// ---- Unit start-up and shut-down

// Cursors, the two messages, the system controller.
void cxControlsUnitStart();
// Frees the controllers; live mouse-tracking timers are freed too and then
// reported as EdxException "MouseTrackingTimerList.Count <> 0".
void cxControlsUnitStop();

}  // namespace tvk
