#include "cxControls.h"

#include "Forms.h"
#include "Themes.h"
#include "Threads.h"
#include "dxCore.h"

#include <algorithm>
#include <cstdlib>

namespace tvk {

const wchar_t* const kcxMessageName1 = L"{B2CE3777-44D8-4998-9701-47BBBC10B656}";
const wchar_t* const kcxMessageName2 = L"{B2CE3777-44D8-1321-4656-12C54AA613BB}";

namespace {

// The cursors of the screen's table, in the order they are loaded: the
// module's cursor resources and, between the drag cursor and the colour
// picker, the system's hand.
struct TCursorRow {
  int Id;
  const wchar_t* ResourceName;  // null: the system's hand cursor
};
constexpr TCursorRow kCursors[] = {
    {2100, L"CX_DRAGCOPYCURSOR"},   {2101, L"CX_FULLSCROLLCURSOR"}, {2102, L"CX_HORSCROLLCURSOR"},
    {2103, L"CX_VERSCROLLCURSOR"},  {2104, L"CX_UPSCROLLCURSOR"},   {2105, L"CX_RIGHTSCROLLCURSOR"},
    {2106, L"CX_DOWNSCROLLCURSOR"}, {2107, L"CX_LEFTSCROLLCURSOR"}, {2108, L"CX_REMOVECURSOR"},
    {2109, L"CX_VERTSIZECURSOR"},   {2110, L"CX_HORZSIZECURSOR"},   {2111, L"CX_MULTIDRAGCURSOR"},
    {2112, L"CX_NODROPCURSOR"},     {2113, L"CX_DRAGCURSOR"},       {-2099, nullptr},
    {2114, L"CX_COLORPICKERCURSOR"}, {2115, L"CX_MULTIDRAGCOPYCURSOR"}};

bool gControlsFinalizing = false;  // the unit's shut-down began: the getters make nothing new
uint16_t gMessage1 = 0, gMessage2 = 0;
TcxSystemController* gSystemController = nullptr;
TdxMessagesController* gMessagesController = nullptr;
TcxWindowProcController* gWindowProcController = nullptr;
TcxSettingsController* gSettingsController = nullptr;
TcxObjectList* gMouseTrackingTimers = nullptr;

constexpr const wchar_t* kChainProperty = L"TvkWindowProcChain";

HCURSOR LoadLibraryCursor(const TCursorRow& row) {
  // Copies that the screen's table owns and destroys at shut-down.
  if (!row.ResourceName) return CopyCursor(LoadCursorW(nullptr, IDC_HAND));
  return static_cast<HCURSOR>(LoadImageW(ClassLibraryInstance(), row.ResourceName, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
}

TMouseTrackingTimer* FindTrackingTimer(IcxMouseTrackingCaller* ACaller) {
  if (!gMouseTrackingTimers) return nullptr;
  for (int i = 0; i < gMouseTrackingTimers->Count(); ++i) {
    auto* timer = static_cast<TMouseTrackingTimer*>(gMouseTrackingTimers->Items(i));
    if (timer->Caller == ACaller) return timer;
  }
  return nullptr;
}

}  // namespace

uint16_t cxRegisteredMessage1() { return gMessage1; }
uint16_t cxRegisteredMessage2() { return gMessage2; }

// ---- TcxSystemController

TcxSystemController::TcxSystemController() {
  if (IsUnitLoadingDeferred()) InstallWakeHook();
}

TcxSystemController::~TcxSystemController() {
  if (FWakeHookInstalled) RemoveWakeHook();
}

void TcxSystemController::InstallWakeHook() {
  FPrevWakeMainThread = WakeMainThread();
  SetWakeMainThread([this](TObject*) { PostWakeMessage(); });
  FWakeHookInstalled = true;
}

void TcxSystemController::RemoveWakeHook() {
  SetWakeMainThread(FPrevWakeMainThread);
  FWakeHookInstalled = false;
}

void TcxSystemController::PostWakeMessage() { PostMessageW(Handle(), WM_CX_WAKEMAINTHREAD, 0, 0); }

void TcxSystemController::HandleMessage(TMessage& Message) {
  if (Message.Msg == WM_CX_WAKEMAINTHREAD) {
    CheckSynchronize();
    Message.Result = 0;
  } else {
    TcxMessageWindow::HandleMessage(Message);
  }
}

TcxSystemController* SystemController() { return gSystemController; }

// ---- TdxMessagesController

TdxMessagesController::~TdxMessagesController() {
  // A block still pending would leave the window on a procedure of this module.
  if (FOldWndProc && IsWindow(FBlockedWindow)) SetWindowProcOf(FBlockedWindow, FOldWndProc);
}

bool TdxMessagesController::IsMessageInQueue(HWND AWnd, UINT AMessage) const {
  MSG msg;
  return PeekMessageW(&msg, AWnd, AMessage, AMessage, PM_NOREMOVE) && msg.hwnd == AWnd;
}

bool TdxMessagesController::KillMessages(HWND AWnd, UINT AMsgFilterMin, UINT AMsgFilterMax, bool AKillAllMessages) {
  if (AMsgFilterMax == 0) AMsgFilterMax = AMsgFilterMin;
  bool removed = false;
  MSG msg;
  while (PeekMessageW(&msg, AWnd, AMsgFilterMin, AMsgFilterMax, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    removed = true;
    if (!AKillAllMessages) break;
  }
  return removed;
}

bool TdxMessagesController::IsMessageLocked(UINT AMessage) const {
  return std::find(FLockedMessages.begin(), FLockedMessages.end(), AMessage) != FLockedMessages.end();
}

void TdxMessagesController::LockMessages(std::initializer_list<UINT> AMessages) {
  FLockedMessages.insert(FLockedMessages.end(), AMessages.begin(), AMessages.end());
}

void TdxMessagesController::UnlockMessages(std::initializer_list<UINT> AMessages) {
  for (UINT message : AMessages) {
    auto it = std::find(FLockedMessages.begin(), FLockedMessages.end(), message);
    if (it != FLockedMessages.end()) FLockedMessages.erase(it);
  }
}

void TdxMessagesController::BlockMessage(HWND AHandle) {
  if (FOldWndProc) throw EdxException(L"dxLockMessage fails");
  FBlockedWindow = AHandle;
  FOldWndProc = SetWindowProcOf(AHandle, &BlockNextMessageProc);
}

void TdxMessagesController::BlockLockedMessage(HWND AHandle, UINT& AMessage) {
  if (!IsMessageLocked(AMessage)) return;
  BlockMessage(AHandle);
  AMessage = 0;
}

LRESULT CALLBACK TdxMessagesController::BlockNextMessageProc(HWND AWnd, UINT, WPARAM, LPARAM) {
  if (TdxMessagesController* controller = gMessagesController; controller && controller->FOldWndProc) {
    SetWindowProcOf(AWnd, controller->FOldWndProc);
    controller->FOldWndProc = nullptr;
    controller->FBlockedWindow = nullptr;
  }
  return 1;
}

TdxMessagesController* GetMessagesController() {
  if (!gMessagesController && !gControlsFinalizing) gMessagesController = new TdxMessagesController();
  return gMessagesController;
}

// ---- Window-procedure chains

void TcxWindowProcLinkedObject::DefaultProc(TMessage& Message) const {
  if (auto* previous = static_cast<TcxWindowProcLinkedObject*>(Prev()); previous && previous->FWindowProc)
    previous->FWindowProc(Message);
}

void TcxVCLSubclassingHelper::StoreAndReplaceDefaultProc(TcxWindowProcLinkedObjectList* AList) {
  FDefaultWindowProc = FControl->WindowProc();
  FControl->SetWindowProc(WndMethodOf<&TcxWindowProcLinkedObjectList::WndProc>(AList));
}

void TcxVCLSubclassingHelper::RestoreDefaultProc() { FControl->SetWindowProc(FDefaultWindowProc); }

void TcxWin32SubclassingHelper::StoreAndReplaceDefaultProc(TcxWindowProcLinkedObjectList* AList) {
  FDefaultWindowProc = WndMethodOf<&TcxWin32SubclassingHelper::CallDefault>(this);
  SetPropW(FHandle, kChainProperty, AList);
  FAPIDefaultWndProc = SetWindowProcOf(FHandle, &ChainProcedure);
}

void TcxWin32SubclassingHelper::RestoreDefaultProc() {
  if (!IsWindow(FHandle)) return;
  SetWindowProcOf(FHandle, FAPIDefaultWndProc);
  RemovePropW(FHandle, kChainProperty);
}

void TcxWin32SubclassingHelper::CallDefault(TMessage& Message) {
  Message.Result = CallWindowProcW(FAPIDefaultWndProc, FHandle, Message.Msg, Message.WParam, Message.LParam);
}

LRESULT CALLBACK TcxWin32SubclassingHelper::ChainProcedure(HWND AWnd, UINT AMsg, WPARAM wParam, LPARAM lParam) {
  auto* list = static_cast<TcxWindowProcLinkedObjectList*>(GetPropW(AWnd, kChainProperty));
  if (!list) return DefWindowProcW(AWnd, AMsg, wParam, lParam);
  TMessage message{AMsg, wParam, lParam, 0};
  CallGuarded(list, [&] { list->WndProc(message); });
  return message.Result;
}

TcxWindowProcLinkedObjectList::TcxWindowProcLinkedObjectList(TControl* AControl, HWND AHandle)
    : FControl(AControl), FHandle(AHandle) {
  if (AControl) FHelper = std::make_unique<TcxVCLSubclassingHelper>(AControl);
  else FHelper = std::make_unique<TcxWin32SubclassingHelper>(AHandle);
  FHelper->StoreAndReplaceDefaultProc(this);
  auto* first = static_cast<TcxWindowProcLinkedObject*>(Add());
  first->FControl = AControl;
  first->FHandle = AHandle;
  first->FWindowProc = FHelper->DefaultWindowProc();
}

TcxWindowProcLinkedObjectList::~TcxWindowProcLinkedObjectList() {
  FHelper->RestoreDefaultProc();
  Clear();
}

void TcxWindowProcLinkedObjectList::WndProc(TMessage& Message) {
  if (auto* last = static_cast<TcxWindowProcLinkedObject*>(Last()); last && last->FWindowProc)
    last->FWindowProc(Message);
}

TcxWindowProcLinkedObjectList* TcxWindowProcController::FindList(TControl* AControl, HWND AHandle) const {
  for (int i = 0; i < FWindowProcObjects.Count(); ++i) {
    auto* list = static_cast<TcxWindowProcLinkedObjectList*>(FWindowProcObjects.Items(i));
    if (AControl ? list->Control() == AControl : !list->Control() && list->Handle() == AHandle) return list;
  }
  return nullptr;
}

TcxWindowProcLinkedObject* TcxWindowProcController::AddLink(TcxWindowProcLinkedObjectList* AList,
                                                            const TWndMethod& AWndProc) {
  auto* link = static_cast<TcxWindowProcLinkedObject*>(AList->Add());
  link->FControl = AList->Control();
  link->FHandle = AList->Handle();
  link->FWindowProc = AWndProc;
  return link;
}

TcxWindowProcLinkedObject* TcxWindowProcController::Add(TControl* AControl, const TWndMethod& AWndProc) {
  if (!AControl) return nullptr;
  TcxWindowProcLinkedObjectList* list = FindList(AControl, nullptr);
  if (!list) {
    list = new TcxWindowProcLinkedObjectList(AControl, nullptr);
    FWindowProcObjects.Add(list);
  }
  return AddLink(list, AWndProc);
}

TcxWindowProcLinkedObject* TcxWindowProcController::Add(HWND AHandle, const TWndMethod& AWndProc) {
  if (!AHandle) return nullptr;
  TcxWindowProcLinkedObjectList* list = FindList(nullptr, AHandle);
  if (!list) {
    list = new TcxWindowProcLinkedObjectList(nullptr, AHandle);
    FWindowProcObjects.Add(list);
  }
  return AddLink(list, AWndProc);
}

void TcxWindowProcController::Remove(TcxWindowProcLinkedObject*& AWndProcObject) {
  if (!AWndProcObject) return;
  TcxWindowProcLinkedObjectList* list = FindList(AWndProcObject->Control(), AWndProcObject->Handle());
  if (!list) return;
  TcxDoublyLinkedObject* link = AWndProcObject;
  list->Remove(link);
  AWndProcObject = nullptr;
  if (list->Count() == 1) FWindowProcObjects.FreeAndRemove(list);
}

TcxWindowProcController* GetWindowProcController() {
  if (!gWindowProcController && !gControlsFinalizing) gWindowProcController = new TcxWindowProcController();
  return gWindowProcController;
}

// ---- TcxSettingsController

void TcxSettingsController::AddListener(TWinControl* AControl) {
  if (std::find(FList.begin(), FList.end(), AControl) != FList.end()) return;
  FList.push_back(AControl);
  if (!FWindow)
    FWindow = std::make_unique<TMessageWindow>(
        this,
        [this](TMessage& message) {
          if (message.Msg != WM_SETTINGCHANGE || message.WParam != SPI_SETNONCLIENTMETRICS) return false;
          NotifyListeners();
          message.Result = 0;
          return true;
        },
        true);
}

void TcxSettingsController::RemoveListener(TWinControl* AControl) {
  std::erase(FList, AControl);
  if (FList.empty()) FWindow.reset();
}

void TcxSettingsController::NotifyListeners() {
  for (TWinControl* control : std::vector<TWinControl*>(FList))
    if (control->HandleAllocated()) SendNotifyMessageW(control->Handle(), WM_CX_NCSIZECHANGED, 0, 0);
}

TcxSettingsController* GetSettingsController() {
  if (!gSettingsController && !gControlsFinalizing) gSettingsController = new TcxSettingsController();
  return gSettingsController;
}

// ---- Mouse tracking

TMouseTrackingTimer::TMouseTrackingTimer() : TcxTimer(nullptr) {
  SetInterval(10);
  // The handler is DoTimer itself; an assigned event only lets the timer start.
  SetOnTimer([](TObject*) {});
}

void TMouseTrackingTimer::DoTimer() {
  // Ending the tracking frees this timer: nothing of it is touched after the
  // first outside call, only these copies.
  IcxMouseTrackingCaller* caller = Caller;
  TWinControl* control = Control;
  const RECT bounds = Bounds;
  const POINT cursor = SafeGetCursorPos();
  const bool hasWindow = control && control->HandleAllocated();
  const HWND window = hasWindow ? control->Handle() : nullptr;

  bool inside;
  if (auto* region = dynamic_cast<IcxMouseTrackingRegion*>(caller); control && region) {
    POINT p = cursor;
    inside = hasWindow && ScreenToClient(window, &p) && region->ContainsPoint(p);
  } else {
    inside = IsPointInRect(bounds, cursor.x, cursor.y);
  }
  const bool disabled = control && (!hasWindow || !IsWindowEnabledWithParents(window));
  if (inside && !disabled) return;

  if (hasWindow) {
    POINT p = cursor;
    RECT client = GetWindowClientRect(window);
    const bool outsideClient = !ScreenToClient(window, &p) || !IsPointInRect(client, p.x, p.y);
    if (outsideClient || disabled) SendMessageW(window, CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(control));
  }
  if (caller) caller->MouseLeave();
  EndMouseTracking(caller);
}

void BeginMouseTracking(TWinControl* AControl, const RECT& ABounds, IcxMouseTrackingCaller* ACaller) {
  if (gControlsFinalizing || FindTrackingTimer(ACaller)) return;
  TcxObjectList* list = GetMouseTrackingTimerList();
  if (!list) return;
  auto* timer = new TMouseTrackingTimer();
  timer->Control = AControl;
  timer->Caller = ACaller;
  RECT bounds = ABounds;
  if (AControl && AControl->HandleAllocated()) MapRectPoints(AControl->Handle(), nullptr, bounds);
  timer->Bounds = bounds;
  list->Add(timer);
}

void EndMouseTracking(IcxMouseTrackingCaller* ACaller) {
  if (TMouseTrackingTimer* timer = FindTrackingTimer(ACaller)) gMouseTrackingTimers->FreeAndRemove(timer);
}

bool IsMouseTracking(IcxMouseTrackingCaller* ACaller) { return !gControlsFinalizing && FindTrackingTimer(ACaller); }

TcxObjectList* GetMouseTrackingTimerList() {
  if (!gMouseTrackingTimers && !gControlsFinalizing) gMouseTrackingTimers = new TcxObjectList(true);
  return gMouseTrackingTimers;
}

// ---- Free routines

bool CanControlHaveHandle(TWinControl* AControl) {
  if (!AControl) return false;
  if (AControl->HandleAllocated()) return true;
  if (AControl->IsDestroying()) return false;
  if (AControl->ParentWindow()) return true;
  if (AControl->Parent()) return CanControlHaveHandle(AControl->Parent());
  return AControl->Is<TCustomForm>() && Application().Handle() != nullptr;
}

bool AreThemeServicesEnabled() { return ThemeServices().ThemesEnabled(); }

UINT GetSystemDoubleClickTime() { return GetDoubleClickTime(); }

POINT SafeGetCursorPos() {
  POINT p;
  return GetCursorPos(&p) ? p : POINT{-1, -1};
}

bool IsPlainMouseMove(TShiftState Shift) {
  return (Shift & (ssShift | ssAlt | ssCtrl | ssLeft | ssRight | ssMiddle | ssDouble)) == 0;
}

bool IsLeftButtonOnly(TShiftState Shift, bool ACanIncludeDoubleClick) {
  TShiftState allowed = ssLeft | (ACanIncludeDoubleClick ? ssDouble : 0u);
  return (Shift & ssLeft) && (Shift & ~allowed) == 0;
}

bool IsChildStyleWindow(HWND AWnd) { return (GetWindowLongPtrW(AWnd, GWL_STYLE) & WS_CHILD) != 0; }

bool IsWindowOrChild(HWND AParent, HWND AWnd) { return AParent && (AWnd == AParent || IsChild(AParent, AWnd)); }

bool IsCtrlKeyDown() { return GetAsyncKeyState(VK_CONTROL) < 0; }

bool IsWindowEnabledWithParents(HWND AWnd) {
  for (HWND window = AWnd;; window = GetParent(window)) {
    if (!window || !IsWindowEnabled(window)) return false;
    if (!IsChildStyleWindow(window)) return true;
  }
}

bool IsPointInDragArea(POINT ADownPos, int X, int Y) {
  const int threshold = Mouse().DragThreshold;
  return std::abs(ADownPos.x - X) < threshold && std::abs(ADownPos.y - Y) < threshold;
}

bool IsNonControlChar(wchar_t AChar) { return (GetCharTypeFlags(AChar) & C1_CNTRL) == 0; }

void MapRectPoints(HWND AFrom, HWND ATo, RECT& R) { MapWindowPoints(AFrom, ATo, reinterpret_cast<POINT*>(&R), 2); }

RECT MapWindowRect(HWND AFrom, HWND ATo, const RECT& R, bool AClient) {
  RECT result = R;
  if (AClient) {
    MapRectPoints(AFrom, ATo, result);
  } else {
    RECT from = GetWindowRectSafe(AFrom), to = GetWindowRectSafe(ATo);
    result = OffsetRectBy(OffsetRectBy(result, from.left, from.top), to.left, to.top, false);
  }
  return result;
}

POINT ClientToScreenPoint(HWND AWnd, POINT P) { return ClientToScreen(AWnd, &P) ? P : POINT{}; }

RECT GetWindowClientRect(HWND AWnd) {
  RECT r;
  return GetClientRect(AWnd, &r) ? r : RECT{};
}

RECT GetWindowRectSafe(HWND AWnd) {
  RECT r;
  return GetWindowRect(AWnd, &r) ? r : RECT{};
}

POINT GetWindowClientOffset(HWND AWnd) {
  POINT client = ClientToScreenPoint(AWnd, POINT{0, 0});
  RECT window = GetWindowRectSafe(AWnd);
  return {client.x - window.left, client.y - window.top};
}

RECT GetControlWindowRect(TWinControl* AControl) {
  return AControl && AControl->HandleAllocated() ? GetWindowRectSafe(AControl->Handle()) : RECT{};
}

RECT GetControlWindowBounds(TWinControl* AControl) {
  RECT r = GetControlWindowRect(AControl);
  return OffsetRectBy(r, r.left, r.top, false);
}

RECT GetWindowBoundsAtOrigin(HWND AWnd) {
  RECT r = GetWindowRectSafe(AWnd);
  return OffsetRectBy(r, r.left, r.top, false);
}

WideString RemoveAcceleratorPrefixes(const WideString& ACaption, bool AReplaceLast) {
  WideString result;
  result.reserve(ACaption.size());
  for (std::size_t i = 0; i < ACaption.size(); ++i) {
    if (ACaption[i] != L'&') {
      result += ACaption[i];
    } else if (i + 1 < ACaption.size()) {
      result += ACaption[++i];
    } else if (AReplaceLast) {
      result += L'_';
    }
  }
  return result;
}

bool IsComponentReady(TComponent* AComponent) {
  return AComponent && (AComponent->ComponentState() & (csLoading | csReading | csDestroying)) == 0;
}

bool IsControlChainReady(TControl* AControl) {
  for (TControl* control = AControl; control; control = control->Parent())
    if (!IsComponentReady(control)) return false;
  return AControl != nullptr;
}

WPARAM ShiftStateToMouseKeyFlags(TShiftState Shift) {
  WPARAM flags = 0;
  if (Shift & ssShift) flags |= MK_SHIFT;
  if (Shift & ssCtrl) flags |= MK_CONTROL;
  if (Shift & ssLeft) flags |= MK_LBUTTON;
  if (Shift & ssRight) flags |= MK_RBUTTON;
  if (Shift & ssMiddle) flags |= MK_MBUTTON;
  return flags;
}

WORD NormalizeEditKey(WORD AKey) { return AKey; }

bool IsSelfEraseMessage(const TMessage& Message) {
  return Message.Msg == WM_ERASEBKGND && Message.WParam == WPARAM(Message.LParam);
}

WNDPROC SetWindowProcOf(HWND AWnd, WNDPROC AProc) {
  return reinterpret_cast<WNDPROC>(SetWindowLongPtrW(AWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AProc)));
}

// ---- Unit start-up and shut-down

void cxControlsUnitStart() {
  gControlsFinalizing = false;
  for (const TCursorRow& row : kCursors) Screen().SetCursors(row.Id, LoadLibraryCursor(row));
  gMessage1 = uint16_t(RegisterWindowMessageW(kcxMessageName1));
  gMessage2 = uint16_t(RegisterWindowMessageW(kcxMessageName2));
  gSystemController = new TcxSystemController();
}

void cxControlsUnitStop() {
  gControlsFinalizing = true;
  delete std::exchange(gSystemController, nullptr);
  // Timers still running are freed with the list, so that nothing of the
  // module outlives it; that any were left is a fault of their owners.
  TcxObjectList* timers = std::exchange(gMouseTrackingTimers, nullptr);
  const bool timersLeft = timers && timers->Count() != 0;
  delete timers;
  delete std::exchange(gSettingsController, nullptr);
  delete std::exchange(gWindowProcController, nullptr);
  delete std::exchange(gMessagesController, nullptr);
  if (timersLeft) throw EdxException(L"MouseTrackingTimerList.Count <> 0");
}

}  // namespace tvk
