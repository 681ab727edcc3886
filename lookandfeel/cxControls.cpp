#include "cxControls.h"

#include "ClassRegistry.h"
#include "Forms.h"
#include "Menus.h"
#include "cxDWMApi.h"
#include "dxUxTheme.h"
#include "Themes.h"
#include "Threads.h"
#include "dxCore.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

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

bool IsControlTransparent(TControl* AControl) {
  if (auto* transparent = Supports<IcxTransparentControl>(AControl, IID_IcxTransparentControl))
    return transparent->IsTransparent();
  return dynamic_cast<TWinControl*>(AControl) && !(AControl->ControlStyle() & csOpaque);
}

WNDPROC SetWindowProcOf(HWND AWnd, WNDPROC AProc) {
  return reinterpret_cast<WNDPROC>(SetWindowLongPtrW(AWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AProc)));
}

// ---- Unit start-up and shut-down

// ---- TcxDragImage

TcxDragImage::TcxDragImage(TComponent* AOwner) : TCustomControl(AOwner), FImage(std::make_unique<TcxBitmap>()) {
  FVisible = false;
}

TcxDragImage::~TcxDragImage() = default;

void TcxDragImage::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED;
  Params.WndParent = nullptr;
}

void TcxDragImage::CreateWnd() {
  TCustomControl::CreateWnd();
  UpdateColorKey();
}

void TcxDragImage::UpdateColorKey() {
  if (!HandleAllocated()) return;
  // A layered window shows nothing until its attributes are set: fully opaque
  // without transparency, the colour key with it.
  if (FTransparent && FTransparentColor != clNone)
    SetLayeredWindowAttributes(Handle(), ColorToRGB(FTransparentColor), 255, LWA_COLORKEY);
  else
    SetLayeredWindowAttributes(Handle(), 0, 255, LWA_ALPHA);
}

void TcxDragImage::SetTransparent(bool AValue) {
  if (FTransparent == AValue) return;
  FTransparent = AValue;
  UpdateColorKey();
}

void TcxDragImage::SetTransparentColor(TColor AValue) {
  if (FTransparentColor == AValue) return;
  FTransparentColor = AValue;
  UpdateColorKey();
}

void TcxDragImage::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  FImage->SetSize(AWidth, AHeight);
}

void TcxDragImage::ShowImage() {
  FVisible = true;
  SetWindowPos(Handle(), HWND_TOPMOST, Left(), Top(), Width(), Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
  Invalidate();
}

void TcxDragImage::HideImage() {
  FVisible = false;
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}

void TcxDragImage::MoveTo(POINT APosition) { SetBounds(APosition.x, APosition.y, Width(), Height()); }

bool TcxDragImage::Showing() const { return HandleAllocated() && IsWindowVisible(const_cast<TcxDragImage*>(this)->Handle()); }

void TcxDragImage::Paint() { Canvas().Draw(0, 0, *FImage); }

TcxCanvas& GetDragImageCanvas(TcxDragImage& AForm) { return AForm.Image().cxCanvas(); }

void cxControlsUnitStart() {
  gControlsFinalizing = false;
  for (const TCursorRow& row : kCursors) Screen().SetCursors(row.Id, LoadLibraryCursor(row));
  gMessage1 = uint16_t(RegisterWindowMessageW(kcxMessageName1));
  gMessage2 = uint16_t(RegisterWindowMessageW(kcxMessageName2));
  GroupDescendentsWith(&TcxControlChildComponent::StaticClassInfo(), &TControl::StaticClassInfo());
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
  SpellCheckerService().Reset();
  KeyboardHookService().Reset();
  if (timersLeft) throw EdxException(L"MouseTrackingTimerList.Count <> 0");
}

}  // namespace tvk

// ---- The custom-drawn control base

namespace tvk {

namespace {

bool ControlBaseCompositionOn() { return IsDwmCompositionOn(); }
bool ControlBaseWin7OrLater() { return IsWin7OrLater; }
bool ControlBaseCtrlDown() { return GetKeyState(VK_CONTROL) < 0; }
int ControlBaseWheelScrollLines() {
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return int(lines);
}

// Releases what the object link guards when the handler ends.
struct TControlBaseLink {
  explicit TControlBaseLink(TObject* AObject) : Link(AddObjectLink(AObject)) {}
  ~TControlBaseLink() { RemoveObjectLink(Link); }
  TControlBaseLink(const TControlBaseLink&) = delete;
  TControlBaseLink& operator=(const TControlBaseLink&) = delete;
  bool Alive() const { return Link && Link->Ref; }
  TcxObjectLink* Link;
};

POINT ControlBaseMessagePoint(TControl* AControl, LPARAM lParam) {
  if (AControl->Width() > 32768 || AControl->Height() > 32768) return AControl->ScreenToClient(SafeGetCursorPos());
  return {short(LOWORD(lParam)), short(HIWORD(lParam))};
}

}  // namespace

TcxControlSystemQueries& cxControlSystemQueries() {
  static TcxControlSystemQueries queries{&ControlBaseCompositionOn, &ControlBaseWin7OrLater, &ControlBaseCtrlDown,
                                         &ControlBaseWheelScrollLines};
  return queries;
}

int DetectDragStart(HWND AWnd, POINT P) {
  const int threshold = Mouse().DragThreshold;
  const RECT square{P.x - threshold, P.y - threshold, P.x + threshold + 1, P.y + threshold + 1};
  SetCapture(AWnd);
  int result = 2;
  bool done = false;
  while (!done && GetCapture() == AWnd) {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (msg.message == WM_QUIT) {
      PostQuitMessage(int(msg.wParam));
      break;
    }
    switch (msg.message) {
      case WM_KEYDOWN:
      case WM_KEYUP:
        if (msg.wParam == VK_ESCAPE) done = true;
        break;
      case WM_MOUSEMOVE:
        if (msg.hwnd == AWnd) {
          POINT pt{short(LOWORD(msg.lParam)), short(HIWORD(msg.lParam))};
          ClientToScreen(AWnd, &pt);
          if (!PtInRect(&square, pt)) {
            result = 1;
            done = true;
          }
        }
        break;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        result = 0;
        done = true;
        break;
      default: break;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (GetCapture() == AWnd) ReleaseCapture();
  return result;
}

// ---- Library drag and drop

void TcxDragAndDropObject::CursorClientPosition(POINT& P) { P = FControl->GetMouseCursorClientPos(); }

void TcxDragAndDropObject::SetDirty(bool AValue) {
  if (FDirty == AValue) return;
  FDirty = AValue;
  DirtyFlagChanged();
}

void TcxDragAndDropObject::DoBeginDragAndDrop() {
  POINT p{};
  CursorClientPosition(p);
  CurMousePos = PrevMousePos = p;
  BeginDragAndDrop();
}

void TcxDragAndDropObject::DoDragAndDrop(POINT P, bool& Accepted) {
  UpdateMousePositions(P);
  DragAndDrop(P, Accepted);
}

void TcxDragAndDropObject::DragAndDrop(POINT, bool& Accepted) {
  SetDirty(false);
  Screen().SetCursor(DragAndDropCursorFor(Accepted));
}

void TcxDragAndDropObject::DoEndDragAndDrop(bool Accepted) {
  EndDragAndDrop(Accepted);
  DragAndDropEnded(Accepted);
}

TcxDragAndDropObject* TcxControl::DragAndDropObject() {
  if (!FDragAndDropObject) FDragAndDropObject.reset(CreateDragAndDropObject());
  return FDragAndDropObject.get();
}

void TcxControl::SetDragAndDropState(TcxDragAndDropState AValue) {
  if (FDragAndDropState == AValue) return;
  FDragAndDropState = AValue;
  if (AValue == ddsNone && !FFinishingDragAndDrop) CancelMouseOperations();
}

void TcxControl::BeginDragAndDrop() {
  DragAndDropObject()->DoBeginDragAndDrop();
  SetMouseCapture(true);
  FSavedScreenCursor = Screen().Cursor();
  FDragAndDropState = ddsInProcess;
}

void TcxControl::DragAndDrop(POINT P, bool& Accepted) { DragAndDropObject()->DoDragAndDrop(P, Accepted); }

void TcxControl::EndDragAndDrop(bool Accepted) {
  FDragAndDropState = ddsNone;
  Screen().SetCursor(FSavedScreenCursor);
  SetMouseCapture(false);
  SetMouseCaptureObject(nullptr);
  DragAndDropObject()->DoEndDragAndDrop(Accepted);
}

void TcxControl::FinishDragAndDrop(bool Accepted) {
  if (FFinishingDragAndDrop) return;
  FFinishingDragAndDrop = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FFinishingDragAndDrop};
  if (FDragAndDropState == ddsInProcess)
    EndDragAndDrop(Accepted);
  else
    FDragAndDropState = ddsNone;
  FDragAndDropObject.reset();
}

// ---- Class-library drag

TCursor TcxDragControlObject::DragCursorFor(bool Accepted, int X, int Y) {
  auto* control = dynamic_cast<TcxControl*>(Control());
  if (Accepted && control && control->IsCopyDragDrop()) return crcxDragCopy;
  return TDragControlObject::DragCursorFor(Accepted, X, Y);
}

void TcxDragControlObject::Finished(TObject* Target, int X, int Y, bool Accepted) {
  std::unique_ptr<TcxDragControlObject> self(this);
  TDragControlObject::Finished(Target, X, Y, Accepted);
}

void TcxControl::HandleDragStart(TDragObject*& ADragObject) {
  // What waits to be painted is painted before the drag's picture locks the screen.
  if (HandleAllocated()) UpdateWindow(Handle());
  TCustomControl::HandleDragStart(ADragObject);
  if (!ADragObject) ADragObject = GetDragObjectClass()(this);
  if (!StartDrag(ADragObject)) {
    delete std::exchange(ADragObject, nullptr);
    CancelDrag();
  }
}

TDragObject* TcxControl::DragObjectOver() const {
  // A drop leaves no dsDragLeave behind: only the drag still running counts.
  return FDragObject && FDragObject == tvk::DragObject() ? FDragObject : nullptr;
}

namespace {
// The TcxControl the class-library drag was last over (null once it left).
TcxControl* gcxDragOverControl = nullptr;
}  // namespace

TDragObject* GetCurrentDragObject() {
  return gcxDragOverControl ? gcxDragOverControl->DragObjectOver() : nullptr;
}

void TcxControl::DragOver(TObject* ASource, int X, int Y, TDragState AState, bool& AAccept) {
  TCustomControl::DragOver(ASource, X, Y, AState, AAccept);
  FDragObject = AState == TDragState::dsDragLeave ? nullptr : tvk::DragObject();
  if (FDragObject) gcxDragOverControl = this;
  else if (gcxDragOverControl == this) gcxDragOverControl = nullptr;
}

void TcxControl::DragDrop(TObject* ASource, int X, int Y) {
  FDragObject = nullptr;
  if (gcxDragOverControl == this) gcxDragOverControl = nullptr;
  TCustomControl::DragDrop(ASource, X, Y);
}

void TcxControl::DoEndDrag(TObject* ATarget, int X, int Y) {
  TCustomControl::DoEndDrag(ATarget, X, Y);
  FDragImages.reset();
}

TDragImageList* TcxControl::GetDragImages() {
  if (!HasDragImages()) return nullptr;
  if (!FDragImages) {
    FDragImages.reset(GetDragImagesClass()());
    InitDragImages(FDragImages.get());
  }
  return FDragImages->Count() > 0 ? FDragImages.get() : nullptr;
}

void TcxControl::InitDragImages(TcxDragImageList* AImages) {
  const SIZE size = GetDragImagesSize();
  if (size.cx <= 0 || size.cy <= 0) return;
  AImages->SetSize(size.cx, size.cy);
  TcxBitmap bitmap(size.cx, size.cy);
  DrawDragImage(bitmap.cxCanvas(), RECT{0, 0, size.cx, size.cy});
  AImages->AddMasked(bitmap, bitmap.TransparentColor());
}

void TcxControl::AfterConstruction() {
  TCustomControl::AfterConstruction();
  ApplyDragImageStyle();
}

// Needs the descendant's HasDragImages, so it runs after construction, or
// with the first window for a control made without CreateComponent.
void TcxControl::ApplyDragImageStyle() {
  if (std::exchange(FDragImageStyleApplied, true)) return;
  if (HasDragImages()) SetControlStyle(ControlStyle() | csDisplayDragImage);
}

namespace {

// Takes the picture of the class-library drag over a control away while the
// control paints or scrolls under it. Only a control that shows the picture
// (csDisplayDragImage) has it over itself.
class TcxDragImageHider {
public:
  explicit TcxDragImageHider(TcxControl& AControl)
      : FDragObject((AControl.ControlStyle() & csDisplayDragImage) ? AControl.DragObjectOver() : nullptr) {
    if (FDragObject) FDragObject->HideDragImage();
  }
  ~TcxDragImageHider() {
    if (FDragObject && FDragObject == DragObject()) FDragObject->ShowDragImage();
  }
  TcxDragImageHider(const TcxDragImageHider&) = delete;
  TcxDragImageHider& operator=(const TcxDragImageHider&) = delete;

private:
  TDragObject* FDragObject;
};

}  // namespace

TcxControl::TcxControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FCanvas = std::make_unique<TcxCanvas>(&TCustomControl::Canvas());
  FDefaultCursor = Cursor();
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = [this](TcxLookAndFeel* ASender, TcxLookAndFeelValues AValues) {
    if (!(ComponentState() & csDestroying)) LookAndFeelChanged(ASender, AValues);
  };
  CreateInternalControls();
  SetTabStop(MayFocus());
  GetResourceStringsRepository().AddListener(this);
}

TcxControl::~TcxControl() {
  // Not through the getter: a control outliving the core services' shut-down
  // must not make a new repository.
  if (TdxResourceStringsRepository* repository = FindResourceStringsRepository()) repository->RemoveListener(this);
  // Children belong to their owner; they only lose their control.
  for (TcxControlChildComponent* child : std::exchange(FChildComponents, {})) child->FControl = nullptr;
  // A class-library drag of the control ends here, not dropped, while the control is whole.
  EndDrag(false);
  if (gcxDragOverControl == this) gcxDragOverControl = nullptr;
  if (FDragAndDropState == ddsInProcess) FinishDragAndDrop(false);
  FDragAndDropObject.reset();
  DestroyInternalControls();
  FFontListenerList.clear();
  SetPopupMenu(nullptr);
  FScreenCanvas.reset();
  FLookAndFeel.reset();
  ClearObjectLinks(this);
}

HRESULT STDMETHODCALLTYPE TcxControl::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  return GetInterface(iid, object) ? S_OK : E_NOINTERFACE;
}

bool TcxControl::GetInterface(const GUID& iid, void** obj) {
  if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IdxLocalizerListener)) {
    *obj = static_cast<IdxLocalizerListener*>(this);
    return true;
  }
  return TCustomControl::GetInterface(iid, obj);
}

void TcxControl::DesignerModified() {
  TControl* root = nullptr;
  for (TControl* control = this; control; control = control->Parent()) {
    auto* cx = dynamic_cast<TcxControl*>(control);
    const bool designing = cx ? cx->IsDesigning() : (control->ComponentState() & csDesigning) != 0;
    if (!designing || !IsComponentReady(control)) return;
    root = control;
  }
  if (auto* form = dynamic_cast<TCustomForm*>(root); form && form->Designer()) form->Designer()->Modified();
}

void TcxControl::AddChildComponent(TcxControlChildComponent* AComponent) {
  if (!AComponent || AComponent->FControl == this) return;
  if (AComponent->FControl) AComponent->FControl->RemoveChildComponent(AComponent);
  FChildComponents.push_back(AComponent);
  AComponent->FControl = this;
}

void TcxControl::RemoveChildComponent(TcxControlChildComponent* AComponent) {
  if (!AComponent || AComponent->FControl != this) return;
  std::erase(FChildComponents, AComponent);
  AComponent->FControl = nullptr;
}

// ---- The popup-owner rule

TcxPopupOwnerWindowProc cxPopupOwnerWindowProc = nullptr;

HWND cxGetPopupOwnerWindow(HWND AWnd) { return cxPopupOwnerWindowProc ? cxPopupOwnerWindowProc(AWnd) : AWnd; }

ComRef<IcxSpellCheckerService>& SpellCheckerService() {
  static ComRef<IcxSpellCheckerService> service;
  return service;
}

ComRef<IcxKeyboardHookService>& KeyboardHookService() {
  static ComRef<IcxKeyboardHookService> service;
  return service;
}

// ---- TcxControlChildComponent

TcxControlChildComponent::TcxControlChildComponent(TComponent* AOwner) : TcxComponent(AOwner) { Initialize(); }

TcxControlChildComponent::TcxControlChildComponent(TcxControl* AControl, bool AAssignOwner)
    : TcxControlChildComponent(AAssignOwner && AControl ? AControl->Owner() : nullptr) {
  SetControl(AControl);
}

TcxControlChildComponent::~TcxControlChildComponent() {
  if (FControl) FControl->RemoveChildComponent(this);
}

void TcxControlChildComponent::SetControl(TcxControl* AValue) {
  if (AValue == FControl) return;
  if (FControl) FControl->RemoveChildComponent(this);
  if (AValue) AValue->AddChildComponent(this);
}

void TcxControlChildComponent::SetParentComponent(TComponent* AValue) {
  if (auto* control = dynamic_cast<TcxControl*>(AValue)) control->AddChildComponent(this);
}

TComponent* TcxControlChildComponent::GetParentComponent() const { return FControl; }

TcxCanvas* TcxControl::ActiveCanvas() {
  if (HandleAllocated()) {
    FScreenCanvas.reset();
    return FCanvas.get();
  }
  if (!FScreenCanvas) FScreenCanvas = std::make_unique<TcxScreenCanvas>();
  return FScreenCanvas.get();
}

void TcxControl::SetBorderStyle(TcxControlBorderStyle AValue) {
  if (FBorderStyle == AValue) return;
  FBorderStyle = AValue;
  Invalidate();
}

void TcxControl::SetPopupMenu(TComponent* AValue) {
  if (AValue && !dynamic_cast<TPopupMenu*>(AValue) && !Supports(AValue, IID_IcxPopupMenu)) AValue = nullptr;
  if (FPopupMenu == AValue) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = AValue;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TcxControl::Notification(TComponent* AComponent, TOperation AOperation) {
  TCustomControl::Notification(AComponent, AOperation);
  if (AOperation == TOperation::opRemove && AComponent == FPopupMenu) FPopupMenu = nullptr;
}

void TcxControl::SetMouseCaptureObject(TObject* AValue) {
  if (FMouseCaptureObject == AValue) return;
  if (auto* old = FMouseCaptureObject ? Supports<IcxMouseCaptureObject>(FMouseCaptureObject, IID_IcxMouseCaptureObject)
                                      : nullptr)
    old->DoCancelMode();
  FMouseCaptureObject = AValue;
  const bool wasCaptured = MouseCapture();
  SetMouseCapture(AValue != nullptr);
  // A press waiting to become a library drag is over once the mouse is let go.
  if (wasCaptured && !MouseCapture() && FDragAndDropState == ddsStarting && CancelModeOnCaptureRelease() &&
      HandleAllocated())
    SendMessageW(Handle(), WM_CANCELMODE, 0, 0);
}

RECT TcxControl::Bounds() {
  if (FBounds.right > FBounds.left && FBounds.bottom > FBounds.top) return FBounds;
  if (HandleAllocated()) return ClientRect();
  return {0, 0, Width(), Height()};
}

int TcxControl::BorderSize() { return FBorderStyle == cxcbsNone ? 0 : LookAndFeelPainter()->BorderSize(); }

RECT TcxControl::ClientBounds() {
  RECT r = Bounds();
  const int border = BorderSize();
  InflateRect(&r, -border, -border);
  if (IsScrollBarShown(sbHorizontal)) r.bottom -= FHScrollBar->Height();
  if (IsScrollBarShown(sbVertical)) r.right -= FVScrollBar->Width();
  return r;
}

// ---- Own scroll bars

TcxControlScrollBar::TcxControlScrollBar(TComponent* AOwner) : TcxScrollBar(AOwner) {
  SetColor(clBtnFace);
  SetControlStyle((ControlStyle() & ~csFramed) | csNoDesignVisible);
  SetTabStop(false);
  SetVisible(false);
}

TcxControlScrollBar::~TcxControlScrollBar() { ClearObjectLinks(this); }

void TcxControlScrollBar::ApplyData() {
  if (Data.Visible) {
    SetScrollParams(Data.Min, Data.Max, Data.Position, Data.PageSize, true);
    SetSmallChange(Data.SmallChange);
    SetLargeChange(Data.LargeChange);
  }
  SetEnabled(Data.Enabled);
  if (Visible() != Data.Visible) {
    SetVisible(Data.Visible);
    Perform(CM_SHOWINGCHANGED);
  }
}

void TcxControlScrollBar::WndProc(TMessage& Message) {
  TControlBaseLink link(this);
  if (Message.Msg == WM_LBUTTONDOWN && Parent()) {
    auto* control = dynamic_cast<TcxControl*>(Parent());
    if (control ? control->FocusOnChildClick() : Parent()->CanFocus()) Parent()->SetFocus();
    if (!link.Alive()) return;
  }
  TcxScrollBar::WndProc(Message);
}

void TcxControlScrollBar::Paint() {
  TcxCanvas canvas(&Canvas());
  if (!PaintFrozenImage(Parent(), this, canvas)) TcxScrollBar::Paint();
}

TcxAutoScrollStep CalculateAutoScrollStep(POINT ACentre, int AAnchorWidth, bool ACanScrollHorz, bool ACanScrollVert,
                                          POINT P) {
  const int half = AAnchorWidth / 2;
  RECT dead{ACentre.x - half, ACentre.y - half, ACentre.x - half + AAnchorWidth, ACentre.y - half + AAnchorWidth};
  if (!ACanScrollHorz) {
    dead.left = LONG_MIN / 2;
    dead.right = LONG_MAX / 2;
  }
  if (!ACanScrollVert) {
    dead.top = LONG_MIN / 2;
    dead.bottom = LONG_MAX / 2;
  }
  TcxAutoScrollStep step;
  if (PtInRect(&dead, P)) return step;
  step.LeftAnchor = true;
  const int dx = std::abs(P.x - ACentre.x), dy = std::abs(P.y - ACentre.y);
  const bool vertical = !ACanScrollHorz || (ACanScrollVert && dy >= dx);
  step.Direction = vertical ? (P.y < ACentre.y ? dirUp : dirDown) : (P.x < ACentre.x ? dirLeft : dirRight);
  step.Speed = std::min((std::max(vertical ? dy : dx, half) - half) / 5 + 1, 12);
  return step;
}

TcxSizeGrip::TcxSizeGrip(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clBtnFace);
  SetControlStyle(ControlStyle() | csNoDesignVisible);
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->OnChanged = [this](TcxLookAndFeel*, TcxLookAndFeelValues) { Invalidate(); };
  SetVisible(false);
}

void TcxSizeGrip::Paint() {
  RECT r = ClientRect();
  TcxCanvas canvas(&Canvas());
  if (PaintFrozenImage(Parent(), this, canvas)) return;
  canvas.FillRect(r, FLookAndFeel->GetAvailablePainter()->DefaultSizeGripAreaColor());
}

void TcxSizeGrip::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

TVK_MESSAGE_MAP(TcxSizeGrip, {WM_ERASEBKGND, &TcxSizeGrip::WMEraseBkgnd})

RECT TcxControl::GetSizeGripBounds() {
  const RECT h = GetHScrollBarBounds(), v = GetVScrollBarBounds();
  return {v.left, h.top, v.right, h.bottom};
}

void TcxControl::CreateInternalControls() {
  if (!HasScrollBars() || FHScrollBar) return;
  FHScrollBar = std::make_unique<TcxControlScrollBar>(nullptr);
  FHScrollBar->SetKind(sbHorizontal);
  FVScrollBar = std::make_unique<TcxControlScrollBar>(nullptr);
  FVScrollBar->SetKind(sbVertical);
  FSizeGrip = std::make_unique<TcxSizeGrip>(nullptr);
  FSizeGrip->LookAndFeel()->SetMasterLookAndFeel(FLookAndFeel.get());
  // Placed in the control at once: a bar shown before the control has a
  // window must not try to make a window of its own without a parent.
  FHScrollBar->SetParent(this);
  FVScrollBar->SetParent(this);
  FSizeGrip->SetParent(this);
  for (TcxControlScrollBar* bar : {FHScrollBar.get(), FVScrollBar.get()}) {
    bar->LookAndFeel()->SetMasterLookAndFeel(FLookAndFeel.get());
    bar->OnScroll = [this](TObject* ASender, TScrollCode ACode, int& APos) {
      Scroll(static_cast<TcxScrollBar*>(ASender)->Kind(), ACode, APos);
    };
  }
  // The bars follow the system's scroll-bar size when the user changes it.
  if (TcxSettingsController* settings = GetSettingsController()) settings->AddListener(this);
}

void TcxControl::DestroyInternalControls() {
  if (!FSizeGrip) return;
  // Not through the getter: after the unit's shut-down there is none to leave.
  if (gSettingsController) gSettingsController->RemoveListener(this);
  FSizeGrip.reset();
  FVScrollBar.reset();
  FHScrollBar.reset();
}

void TcxControl::SetScrollBars(TScrollStyle AValue) {
  if (FScrollBars == AValue) return;
  FScrollBars = AValue;
  BoundsChanged();
}

bool TcxControl::IsScrollBarShown(TScrollBarKind AKind) const {
  const TcxControlScrollBar* bar = AKind == sbHorizontal ? FHScrollBar.get() : FVScrollBar.get();
  if (!bar) return false;
  return FCalculatingScrollBarsParams ? bar->Data.Visible : bar->Visible();
}

void TcxControl::SetScrollBarInfo(TScrollBarKind AScrollBarKind, int AMin, int AMax, int AStep, int APage, int APos,
                                  bool AAllowShow, bool AAllowHide) {
  TcxControlScrollBar* bar = AScrollBarKind == sbHorizontal ? FHScrollBar.get() : FVScrollBar.get();
  if (!bar) return;
  TcxScrollBarData& data = bar->Data;
  const TScrollStyle own = AScrollBarKind == sbHorizontal ? TScrollStyle::ssHorizontal : TScrollStyle::ssVertical;
  data.AllowShow = AAllowShow && (FScrollBars == own || FScrollBars == TScrollStyle::ssBoth);
  data.AllowHide = AAllowHide;
  if (!data.AllowShow) {
    data.Visible = false;
  } else if (AMax < AMin || APage >= AMax - AMin + 1 || APos < AMin) {
    data.Visible = !AAllowHide;
    if (!AAllowHide) data.Enabled = false;
  } else {
    data.Min = AMin;
    data.Max = AMax;
    data.Position = APos;
    data.PageSize = APage;
    data.SmallChange = uint16_t(AStep);
    data.LargeChange = uint16_t(APage);
    data.Visible = true;
    data.Enabled = true;
  }
}

void TcxControl::CalculateScrollBarsParams() {
  if (FCalculatingScrollBarsParams) return;
  FCalculatingScrollBarsParams = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FCalculatingScrollBarsParams};
  FHScrollBar->Data.Visible = false;
  FVScrollBar->Data.Visible = false;
  // Showing one bar narrows the client area, which may need the other one:
  // repeat until the visibilities settle.
  for (;;) {
    const bool h = FHScrollBar->Data.Visible, v = FVScrollBar->Data.Visible;
    InitScrollBarsParameters();
    if (h == FHScrollBar->Data.Visible && v == FVScrollBar->Data.Visible) break;
  }
  CorrectScrollBarPages();
}

void TcxControl::CorrectScrollBarPages() {
  TcxScrollBarData& h = FHScrollBar->Data;
  TcxScrollBarData& v = FVScrollBar->Data;
  auto usable = [](const TcxScrollBarData& d) { return d.Visible && d.Enabled && d.AllowHide; };
  if (!usable(h) || !usable(v)) return;
  const int hExtra = FVScrollBar->Width(), vExtra = FHScrollBar->Height();
  const bool hMarked = AllowScrollBarPageCorrection(sbHorizontal) && h.PageSize + hExtra >= h.Max - h.Min + 1;
  const bool vMarked = AllowScrollBarPageCorrection(sbVertical) && v.PageSize + vExtra >= v.Max - v.Min + 1;
  if (!hMarked || !vMarked) return;
  SetScrollBarInfo(sbHorizontal, h.Min, h.Max, h.SmallChange, h.PageSize + hExtra, h.Position, h.AllowShow, h.AllowHide);
  SetScrollBarInfo(sbVertical, v.Min, v.Max, v.SmallChange, v.PageSize + vExtra, v.Position, v.AllowShow, v.AllowHide);
}

void TcxControl::UpdateScrollBars() {
  if (!FHScrollBar) return;
  if (!FUpdatingScrollBars) {
    FInitialHScrollBarVisible = FHScrollBar->Visible();
    FInitialVScrollBarVisible = FVScrollBar->Visible();
  }
  const bool outer = !FUpdatingScrollBars;
  FUpdatingScrollBars = true;
  struct TRestore {
    TcxControl& Control;
    bool Outer;
    ~TRestore() {
      Control.FUpdatingScrollBars = !Outer;
      if (Outer) Control.FIsInitialScrollBarsParams = false;
    }
  } restore{*this, outer};
  const bool hWas = FHScrollBar->Visible(), vWas = FVScrollBar->Visible();
  if (!FIsInitialScrollBarsParams) {
    CalculateScrollBarsParams();
    if (!outer && FHScrollBar->Data.Visible == FInitialHScrollBarVisible &&
        FVScrollBar->Data.Visible == FInitialVScrollBarVisible) {
      // A nested update that would flip a bar back: keep it shown, disabled.
      FIsInitialScrollBarsParams = true;
      for (TcxControlScrollBar* bar : {FHScrollBar.get(), FVScrollBar.get()}) {
        const bool initial = bar == FHScrollBar.get() ? FInitialHScrollBarVisible : FInitialVScrollBarVisible;
        if (bar->Visible() != initial) {
          bar->Data.Enabled = false;
          bar->Data.Visible = true;
          bar->ApplyData();
        }
      }
    } else {
      FHScrollBar->ApplyData();
      FVScrollBar->ApplyData();
    }
  }
  if (hWas != FHScrollBar->Visible() || vWas != FVScrollBar->Visible()) {
    BoundsChanged();
    return;
  }
  SetInternalControlsBounds();
  if (NeedsInternalControlsOnTop()) BringInternalControlsToFront();
}

void TcxControl::BringInternalControlsToFront() {
  if (!FHScrollBar) return;
  for (TWinControl* child : {static_cast<TWinControl*>(FHScrollBar.get()), static_cast<TWinControl*>(FVScrollBar.get()),
                             static_cast<TWinControl*>(FSizeGrip.get())})
    if (child->HandleAllocated())
      SetWindowPos(child->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_DEFERERASE);
}

void TcxControl::UpdateInternalControlsState() {
  if (!FHScrollBar) return;
  if (FHScrollBar->Visible()) FHScrollBar->UpdateControlState();
  if (FVScrollBar->Visible()) FVScrollBar->UpdateControlState();
  if (FSizeGrip->Visible()) FSizeGrip->UpdateControlState();
}

void TcxControl::BoundsChanged() {
  CheckUpdateScrollBars();
  // What shows through the control moved with it.
  if (HasTransparency()) Invalidate();
}

void TcxControl::Resize() {
  TCustomControl::Resize();
  BoundsChanged();
}

void TcxControl::CheckUpdateScrollBars() {
  if (!HasScrollBars() || !FHScrollBar) return;
  if (FScrollBarsLockCount > 0)
    FScrollBarsUpdateNeeded = true;
  else
    UpdateScrollBars();
}

void TcxControl::LockScrollBars() {
  if (FScrollBarsLockCount++ == 0) FScrollBarsUpdateNeeded = false;
}

void TcxControl::UnlockScrollBars() {
  if (FScrollBarsLockCount == 0) return;
  if (--FScrollBarsLockCount == 0 && FScrollBarsUpdateNeeded) CheckUpdateScrollBars();
}

RECT TcxControl::GetHScrollBarBounds() {
  RECT r = ClientBounds();
  r.top = r.bottom;
  r.bottom = r.top + FHScrollBar->Height();
  return r;
}

RECT TcxControl::GetVScrollBarBounds() {
  RECT r = ClientBounds();
  r.left = r.right;
  r.right = r.left + FVScrollBar->Width();
  return r;
}

void TcxControl::SetInternalControlsBounds() {
  if (!FHScrollBar) return;
  if (FHScrollBar->Visible()) {
    const RECT r = GetHScrollBarBounds();
    FHScrollBar->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  if (FVScrollBar->Visible()) {
    const RECT r = GetVScrollBarBounds();
    FVScrollBar->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  FSizeGrip->SetVisible(FHScrollBar->Visible() && FVScrollBar->Visible());
  if (FSizeGrip->Visible()) {
    const RECT r = GetSizeGripBounds();
    FSizeGrip->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
}

void TcxControl::UpdateScrollBarSizes() {
  if (!HasScrollBars() || !FHScrollBar) return;
  const TScrollStyle sized = GetSystemSizedScrollBars();
  bool changed = false;
  if (sized == TScrollStyle::ssHorizontal || sized == TScrollStyle::ssBoth) {
    const int height = GetSystemMetrics(SM_CYHSCROLL);
    changed |= FHScrollBar->Height() != height;
    FHScrollBar->SetHeight(height);
  }
  if (sized == TScrollStyle::ssVertical || sized == TScrollStyle::ssBoth) {
    const int width = GetSystemMetrics(SM_CXVSCROLL);
    changed |= FVScrollBar->Width() != width;
    FVScrollBar->SetWidth(width);
  }
  if (changed) BoundsChanged();
}

void TcxControl::CMNCSizeChanged(TMessage&) { UpdateScrollBarSizes(); }

void TcxControl::ScrollContent(TcxDirection ADirection) {
  if (ADirection == dirNone) return;
  if (!FHScrollBar && !AllowScrollWithoutScrollBars(ADirection)) return;
  const TScrollBarKind kind = ADirection == dirLeft || ADirection == dirRight ? sbHorizontal : sbVertical;
  int pos = 0;
  if (FHScrollBar) pos = (kind == sbHorizontal ? FHScrollBar : FVScrollBar)->Position();
  Scroll(kind, ADirection == dirLeft || ADirection == dirUp ? scLineUp : scLineDown, pos);
  if (HandleAllocated()) UpdateWindow(Handle());
}

int TcxControl::GetWheelScrollKind() { return FVScrollBar && FVScrollBar->Visible() ? 2 : 0; }

bool TcxControl::HandleMouseWheel(int ADelta) {
  const int kind = GetWheelScrollKind();
  if (kind == 0) return false;
  const bool positive = ADelta > 0;
  const TcxDirection direction = kind == 2 ? (positive ? dirUp : dirDown) : (positive ? dirLeft : dirRight);
  const int lines = cxControlSystemQueries().WheelScrollLines();
  for (int i = 0; i < lines; ++i) ScrollContent(direction);
  return true;
}

void TcxControl::WMMouseWheel(TMessage& Message) {
  if (!HandleMouseWheel(short(HIWORD(Message.WParam)))) {
    TVK_INHERITED(Message);
    return;
  }
  Message.Result = 1;
}

POINT TcxControl::GetMouseCursorClientPos() { return ScreenToClient(SafeGetCursorPos()); }

void TcxControl::InvalidateRect(const RECT& R, bool AEraseBackground) {
  if (HandleAllocated()) ::InvalidateRect(Handle(), &R, AEraseBackground);
}

void TcxControl::InvalidateRgn(TcxRegion* ARegion, bool AEraseBackground) {
  if (HandleAllocated() && ARegion && !ARegion->IsEmpty()) ::InvalidateRgn(Handle(), ARegion->Handle(), AEraseBackground);
}

void TcxControl::InvalidateWithChildren() {
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_NOERASE);
}

void TcxControl::UpdateWithChildren() {
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TcxControl::PostMouseMove() { PostMouseMove(GetMouseCursorClientPos()); }

void TcxControl::PostMouseMove(POINT AMousePos) {
  if (HandleAllocated() && !GetCapture())
    PostMessageW(Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(WORD(short(AMousePos.x)), WORD(short(AMousePos.y))));
}

void TcxControl::ScrollWindow(int DX, int DY, const RECT& AScrollRect) {
  TcxDragImageHider hider(*this);
  if (HandleAllocated())
    ScrollWindowEx(Handle(), DX, DY, &AScrollRect, nullptr, nullptr, nullptr, SW_INVALIDATE | SW_ERASE);
}

bool TcxControl::IsMouseInPressedArea(int X, int Y) const {
  const int threshold = Mouse().DragThreshold;
  return std::abs(X - FMouseDownPos.x) < threshold && std::abs(Y - FMouseDownPos.y) < threshold;
}

bool TcxControl::AcceptMousePosForClick(int X, int Y) const { return IsMouseInPressedArea(X, Y); }

bool TcxControl::CanFocusEx() const {
  if (!CanFocus()) return false;
  TCustomForm* form = GetParentForm(const_cast<TcxControl*>(this));
  return !form || (form->CanFocus() && form->Enabled() && form->Visible());
}

bool TcxControl::CanFocusOnClick() {
  return !(ComponentState() & csDesigning) && FFocusOnClick && MayFocus() && CanFocus();
}

void TcxControl::AddFontListener(IcxFontListener* AListener) { FFontListenerList.push_back(AListener); }

void TcxControl::RemoveFontListener(IcxFontListener* AListener) {
  std::erase(FFontListenerList, AListener);
}

bool TcxControl::IsPopupMenuShortCut(TMessage& Message) {
  if (ComponentState() & csDesigning) return false;
  for (TControl* control = this; control; control = control->Parent()) {
    auto* cx = dynamic_cast<TcxControl*>(control);
    if (!cx || !cx->FPopupMenu) continue;
    if (auto* menu = Supports<IcxPopupMenu>(cx->FPopupMenu, IID_IcxPopupMenu)) {
      if (menu->IsShortCut(Message)) return true;
    } else if (auto* popup = dynamic_cast<TPopupMenu*>(cx->FPopupMenu)) {
      if (popup->IsShortCut(Message)) return true;
    }
  }
  return false;
}

bool TcxControl::DoShowPopupMenu(TComponent* AMenu, int X, int Y) {
  if (!AMenu) return false;
  if (auto* menu = Supports<IcxPopupMenu>(AMenu, IID_IcxPopupMenu)) {
    menu->Popup(X, Y);
    return true;
  }
  if (auto* menu = dynamic_cast<TPopupMenu*>(AMenu)) {
    menu->SetPopupComponent(this);
    menu->Popup(X, Y);
    return true;
  }
  return false;
}

void TcxControl::WMContextMenu(TMessage& Message) {
  POINT p{short(LOWORD(Message.LParam)), short(HIWORD(Message.LParam))};
  const bool fromKeyboard = p.x == -1 && p.y == -1;
  bool handled = false;
  HandleContextPopup(fromKeyboard ? p : ScreenToClient(p), handled);
  if (handled)
    Message.Result = 1;
  else
    TVK_INHERITED(Message);
}

void TcxControl::HandleContextPopup(POINT AMousePos, bool& AHandled) {
  // A keyboard request carries (-1, -1): the menu opens at the client origin.
  const bool fromKeyboard = AMousePos.x == -1 && AMousePos.y == -1;
  const POINT p = ClientToScreen(fromKeyboard ? POINT{0, 0} : AMousePos);
  if (const auto& checker = SpellCheckerService(); checker && checker->QueryPopup(FPopupMenu, p)) {
    AHandled = true;
    return;
  }
  AHandled = DoShowPopupMenu(FPopupMenu, p.x, p.y);
}

void TcxControl::WMGetDlgCode(TMessage& Message) {
  LRESULT code = 0;
  if (FKeys & kAll) code |= DLGC_WANTALLKEYS;
  if (FKeys & kArrows) code |= DLGC_WANTARROWS;
  if (FKeys & kChars) code |= DLGC_WANTCHARS;
  if ((FKeys & kTab) && !cxControlSystemQueries().CtrlDown()) code |= DLGC_WANTTAB;
  Message.Result = code;
}

void TcxControl::CNKeyDown(TMessage& Message) {
  if (IsPopupMenuShortCut(Message)) {
    Message.Result = 1;
  } else if (FDragAndDropState != ddsNone) {
    // Any key ends a library drag, not dropped.
    FinishDragAndDrop(false);
    Message.Result = 1;
  } else {
    TVK_INHERITED(Message);
  }
}

void TcxControl::CNSysKeyDown(TMessage& Message) {
  if (IsPopupMenuShortCut(Message))
    Message.Result = 1;
  else
    TVK_INHERITED(Message);
}

void TcxControl::CancelMouseOperations() {
  FMouseButtonPressed = false;
  SetMouseCaptureObject(nullptr);
}

void TcxControl::WMNCCalcSize(TMessage& Message) {
  TVK_INHERITED(Message);
  if (HandleAllocated()) PostMessageW(Handle(), WM_CX_NCSIZECHANGED, 0, 0);
}

void TcxControl::WMCancelMode(TMessage& Message) {
  TVK_INHERITED(Message);
  FinishDragAndDrop(false);
  CancelMouseOperations();
}

void TcxControl::CMFontChanged(TMessage& Message) {
  TVK_INHERITED(Message);
  if (auto* sink = Supports<IcxControlFontSink>(this, IID_IcxControlFontSink)) sink->HandleFontChange(&Font());
  const std::vector<IcxFontListener*> listeners = FFontListenerList;
  for (IcxFontListener* listener : listeners) listener->Changed(this, &Font());
  Invalidate();
}

void TcxControl::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {}

void TcxControl::FocusChanged() { CallNotifyEventIfAssigned(OnFocusChanged, this); }

void TcxControl::CursorChanged() {
  if (!FShowingCurrentCursor) FDefaultCursor = Cursor();
}

void TcxControl::Invalidate() { Perform(CM_INVALIDATE, 0, 0); }

void TcxControl::CMInvalidate(TMessage& Message) {
  if (!HandleAllocated() || (ComponentState() & csDestroying)) return;
  if (TWinControl* parent = Parent()) parent->Perform(CM_INVALIDATE, 1, 0);
  if (Message.WParam != 0) return;
  ::InvalidateRect(Handle(), nullptr, !(ControlStyle() & csOpaque));
  if (!HasTransparency()) return;
  for (int i = 0; i < ControlCount(); ++i)
    if (TControl* child = Controls(i); IsControlTransparent(child)) child->Invalidate();
}

void TcxControl::CMCursorChanged(TMessage& Message) {
  CursorChanged();
  TVK_INHERITED(Message);
}

void TcxControl::CreateWnd() {
  ApplyDragImageStyle();
  TCustomControl::CreateWnd();
  if (FHScrollBar) {
    for (TCustomControl* child : {static_cast<TCustomControl*>(FHScrollBar.get()),
                                  static_cast<TCustomControl*>(FVScrollBar.get()),
                                  static_cast<TCustomControl*>(FSizeGrip.get())}) {
      child->SetParent(this);
      child->HandleNeeded();
    }
  }
  InitControl();
}

void TcxControl::WndProc(TMessage& Message) {
  TControlBaseLink link(this);
  if (Message.Msg == WM_RBUTTONUP) FMouseRightButtonReleased = true;
  if (IsOwnAutomaticDragPress(Message)) {
    // The control takes the press itself (focus, MouseDown, its own drag
    // detection) instead of the class library's automatic drag start.
    if (Message.Msg == WM_LBUTTONDBLCLK && !(ControlStyle() & csDoubleClicks)) Message.Msg = WM_LBUTTONDOWN;
    SetControlState(ControlState() | csLButtonDown);
    struct TClearLButtonDown {
      TControlBaseLink& Link;
      TcxControl* Control;
      ~TClearLButtonDown() {
        if (Link.Alive()) Control->SetControlState(Control->ControlState() & ~csLButtonDown);
      }
    } clear{link, this};
    Dispatch(Message);
  } else {
    TCustomControl::WndProc(Message);
  }
  if (!link.Alive() || (ComponentState() & csDestroying)) return;
  switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS: FocusChanged(); break;
    case WM_RBUTTONUP: FMouseRightButtonReleased = false; break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      const POINT p = ControlBaseMessagePoint(this, Message.LParam);
      const TMouseButton button = Message.Msg == WM_LBUTTONDOWN   ? TMouseButton::mbLeft
                                  : Message.Msg == WM_RBUTTONDOWN ? TMouseButton::mbRight
                                                                  : TMouseButton::mbMiddle;
      AfterMouseDown(button, p.x, p.y);
      break;
    }
    default: break;
  }
}

bool TcxControl::IsOwnAutomaticDragPress(TMessage& Message) {
  if (Message.Msg != WM_LBUTTONDOWN && Message.Msg != WM_LBUTTONDBLCLK) return false;
  if (DragMode() != TDragMode::dmAutomatic || (ComponentState() & csDesigning) || Dragging()) return false;
  // A press on a child graphic control stays that child's.
  const POINT p = ControlBaseMessagePoint(this, Message.LParam);
  return ControlAtPos(p, false) == nullptr;
}

void TcxControl::AfterMouseDown(TMouseButton AButton, int X, int Y) {
  if (AButton == TMouseButton::mbMiddle) {
    RunContentAutoScroll();
    return;
  }
  if (AButton != TMouseButton::mbLeft || DragMode() != TDragMode::dmAutomatic || !MouseCapture() || !HandleAllocated()) return;
  if ((ComponentState() & csDesigning) || !CanDrag(X, Y)) return;
  if (DetectDragStart(Handle(), ClientToScreen(POINT{X, Y})) == 1) BeginDrag(true);
}

const wchar_t* GetAutoScrollAnchorBitmapName(bool ACanScrollHorz, bool ACanScrollVert) {
  if (ACanScrollHorz && ACanScrollVert) return L"CX_FULLSCROLLBITMAP";
  return ACanScrollVert ? L"CX_VERSCROLLBITMAP" : L"CX_HORSCROLLBITMAP";
}

TCursor GetAutoScrollCursor(TcxDirection ADirection, bool ACanScrollHorz, bool ACanScrollVert) {
  switch (ADirection) {
    case dirLeft: return 2107;
    case dirRight: return 2105;
    case dirUp: return 2104;
    case dirDown: return 2106;
    default: break;
  }
  if (ACanScrollHorz && ACanScrollVert) return 2101;
  return ACanScrollHorz ? 2102 : 2103;
}

TcxAutoScrollAnchor::TcxAutoScrollAnchor(HWND AOwner, const wchar_t* ABitmapName, POINT ACentre) {
  FBitmap = static_cast<HBITMAP>(LoadImageW(ClassLibraryInstance(), ABitmapName, IMAGE_BITMAP, 0, 0, 0));
  BITMAP info{};
  if (FBitmap && GetObjectW(FBitmap, sizeof info, &info)) FSize = {info.bmWidth, info.bmHeight};
  FWnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, ACentre.x - FSize.cx / 2,
                         ACentre.y - FSize.cy / 2, FSize.cx, FSize.cy, AOwner, nullptr, nullptr, nullptr);
  if (!FWnd) return;
  SetWindowRgn(FWnd, CreateEllipticRgn(0, 0, FSize.cx + 1, FSize.cy + 1), FALSE);  // the window owns the region
  SetWindowPos(FWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  Paint();
}

TcxAutoScrollAnchor::~TcxAutoScrollAnchor() {
  if (FWnd) DestroyWindow(FWnd);
  if (FBitmap) DeleteObject(FBitmap);
}

void TcxAutoScrollAnchor::Paint() {
  if (!FWnd) return;
  HDC dc = GetWindowDC(FWnd);
  if (!dc) return;
  if (FBitmap) {
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, FBitmap);
    BitBlt(dc, 0, 0, FSize.cx, FSize.cy, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  }
  HRGN ellipse = CreateEllipticRgn(0, 0, FSize.cx + 1, FSize.cy + 1);
  FrameRgn(dc, ellipse, GetSysColorBrush(COLOR_WINDOWTEXT), 1, 1);
  DeleteObject(ellipse);
  ReleaseDC(FWnd, dc);
}

namespace {

bool IsAutoScrollEndingButton(UINT AMsg) {
  return (AMsg >= WM_LBUTTONDOWN && AMsg <= WM_MBUTTONDOWN) || (AMsg >= WM_MBUTTONDBLCLK && AMsg <= WM_MOUSEHWHEEL);
}

}  // namespace

void TcxControl::RunContentAutoScroll() {
  const bool horz = FHScrollBar && FHScrollBar->Visible();
  const bool vert = FVScrollBar && FVScrollBar->Visible();
  if ((!horz && !vert) || !HandleAllocated() || FIsScrollingContent) return;
  TControlBaseLink link(this);
  FIsScrollingContent = true;
  const HWND wnd = Handle();
  const POINT centre = SafeGetCursorPos();
  // Capture, timer, cursor and flag are given back however the loop ends.
  struct TAutoScrollEnd {
    TControlBaseLink& Link;
    TcxControl* Control;
    HWND Wnd;
    UINT_PTR Timer = 0;
    TCursor Cursor = Screen().Cursor();
    ~TAutoScrollEnd() {
      if (GetCapture() == Wnd) ReleaseCapture();
      if (Timer) KillTimer(nullptr, Timer);
      Screen().SetCursor(Cursor);
      if (Link.Alive()) Control->FIsScrollingContent = false;
    }
  } end{link, this, wnd};
  UINT_PTR& timer = end.Timer;
  {
    // On a popup window the anchor belongs to the popup's owner, not to the popup.
    TcxAutoScrollAnchor anchor(cxGetPopupOwnerWindow(wnd), GetAutoScrollAnchorBitmapName(horz, vert), centre);
    TcxDirection direction = dirNone;
    int speed = 1, counter = 0;
    bool leftAnchor = false;
    POINT last = centre;
    Screen().SetCursor(GetAutoScrollCursor(direction, horz, vert));
    timer = SetTimer(nullptr, 0, 20, nullptr);
    SetCapture(wnd);
    MSG msg;
    for (bool running = true; running && link.Alive() && GetCapture() == wnd;) {
      const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
      if (got == -1) break;
      if (got == 0) {
        PostQuitMessage(int(msg.wParam));
        break;
      }
      if (msg.message == WM_PAINT && msg.hwnd == anchor.Handle()) {
        ValidateRect(anchor.Handle(), nullptr);
        continue;
      }
      if (IsAutoScrollEndingButton(msg.message)) break;  // dropped
      switch (msg.message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
          if (msg.wParam == VK_ESCAPE) running = false;
          break;
        case WM_TIMER:
          if (msg.hwnd == nullptr && msg.wParam == timer && ++counter % (13 - speed) == 0 && link.Alive())
            ScrollContent(direction);
          break;
        case WM_MOUSEMOVE: {
          POINT p{short(LOWORD(msg.lParam)), short(HIWORD(msg.lParam))};
          if (msg.hwnd) ::ClientToScreen(msg.hwnd, &p);
          if (p.x == last.x && p.y == last.y) break;
          last = p;
          const TcxAutoScrollStep step = CalculateAutoScrollStep(centre, anchor.Width(), horz, vert, p);
          direction = step.Direction;
          speed = step.Speed;
          leftAnchor = leftAnchor || step.LeftAnchor;
          Screen().SetCursor(GetAutoScrollCursor(direction, horz, vert));
          break;
        }
        case WM_MBUTTONUP: running = !leftAnchor; break;
        default: break;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

void TcxControl::MouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) {
  FMouseDownPos = {X, Y};
  TControlBaseLink link(this);
  if (CanFocusOnClickAt(X, Y) && !(AShift & ssDouble)) {
    const RECT before = BoundsRect();
    if (!Focused() && CanFocus()) SetFocus();
    if (!link.Alive()) return;
    TCustomForm* form = GetParentForm(this);
    if (form && form->ActiveControl() == this && !Focused() && HandleAllocated()) ::SetFocus(Handle());
    if (!Focused() && !AllowUnfocusedMouseDown()) {
      SetMouseCapture(false);
      return;
    }
    if (IsMousePosCorrectionNeeded()) {
      X += before.left - Left();
      Y += before.top - Top();
      FMouseDownPos = {X, Y};
    }
  }
  if (AButton == TMouseButton::mbLeft && !(AShift & ssDouble)) {
    if (StartDragAndDrop({X, Y})) {
      if (DragAndDropObject()->ImmediateStart())
        BeginDragAndDrop();
      else
        FDragAndDropState = ddsStarting;
      return;
    }
    FinishDragAndDrop(false);
  }
  BeforeMouseDown(AButton, AShift, X, Y);
  if (!link.Alive()) return;
  TCustomControl::MouseDown(AButton, AShift, X, Y);
  if (link.Alive() && MouseCapture()) FMouseButtonPressed = true;
}

void TcxControl::MouseMove(TShiftState AShift, int X, int Y) {
  {
    FShowingCurrentCursor = true;
    struct TReset {
      bool& Flag;
      ~TReset() { Flag = false; }
    } reset{FShowingCurrentCursor};
    SetCursor(GetCurrentCursor(X, Y));
  }
  TCustomControl::MouseMove(AShift, X, Y);
  if (FDragAndDropState == ddsStarting && !IsMouseInPressedArea(X, Y)) BeginDragAndDrop();
  if (FDragAndDropState == ddsInProcess) {
    bool accepted = false;
    DragAndDrop({X, Y}, accepted);
  }
}

void TcxControl::MouseUp(TMouseButton AButton, TShiftState AShift, int X, int Y) {
  FMouseButtonPressed = false;
  FinishDragAndDrop(true);
  SetMouseCaptureObject(nullptr);
  TCustomControl::MouseUp(AButton, AShift, X, Y);
}

// ---- Painting

void TcxControl::WMPaint(TMessage& Message) {
  const TcxControlSystemQueries& system = cxControlSystemQueries();
  if ((!DoubleBuffered() && !system.Win7OrLater()) || Message.WParam)
    PaintNormal(Message);
  else if (system.CompositionOn() && IsBufferedPaintAllowed())
    PaintBuffered(Message);
  else if (UseInheritedPaint())
    TVK_INHERITED(Message);
  else
    PaintOffScreen(Message);
}

void TcxControl::PaintNormal(TMessage& Message) {
  TcxDragImageHider hider(*this);
  TVK_INHERITED(Message);
}

void TcxControl::PaintBuffered(TMessage& Message) {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(Handle(), &ps);
  struct TEndPaint {
    HWND Window;
    PAINTSTRUCT* Ps;
    ~TEndPaint() { ::EndPaint(Window, Ps); }
  } endPaint{Handle(), &ps};
  HDC bufferDC = nullptr;
  HPAINTBUFFER buffer = tvk::BeginBufferedPaint(dc, ps.rcPaint, BPBF_TOPDOWNDIB, nullptr, bufferDC);
  if (!buffer) return;
  struct TEndBuffer {
    HPAINTBUFFER Buffer;
    ~TEndBuffer() { tvk::EndBufferedPaint(Buffer, TRUE); }
  } endBuffer{buffer};
  Perform(WM_ERASEBKGND, WPARAM(bufferDC), LPARAM(bufferDC));
  Perform(WM_PRINTCLIENT, WPARAM(bufferDC), PRF_CLIENT);
  if (!KeepsPaintAlpha()) tvk::BufferedPaintSetAlpha(buffer, &ps.rcPaint, 255);
  Message.Result = 0;
}

void TcxControl::PaintOffScreen(TMessage& Message) {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(Handle(), &ps);
  struct TEndPaint {
    HWND Window;
    PAINTSTRUCT* Ps;
    ~TEndPaint() { ::EndPaint(Window, Ps); }
  } endPaint{Handle(), &ps};
  const RECT r = ps.rcPaint;
  const int width = r.right - r.left, height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return;
  HDC memDC = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, width, height);
  struct TFreeBuffer {
    HDC DC;
    HBITMAP Bitmap;
    HGDIOBJ Old;
    ~TFreeBuffer() {
      SelectObject(DC, Old);
      DeleteObject(Bitmap);
      DeleteDC(DC);
    }
  } freeBuffer{memDC, bitmap, SelectObject(memDC, bitmap)};
  SetWindowOrgEx(memDC, r.left, r.top, nullptr);
  Perform(WM_ERASEBKGND, WPARAM(memDC), LPARAM(memDC));
  TMessage inner{WM_PAINT, WPARAM(memDC), 0, 0};
  PaintNormal(inner);
  BitBlt(dc, r.left, r.top, width, height, memDC, r.left, r.top, SRCCOPY);
  Message.Result = 0;
}

void TcxControl::WMEraseBkgnd(TMessage& Message) {
  const bool own = Message.WParam == WPARAM(Message.LParam);
  if (own || NeedsEraseBackground()) {
    if (!(DoubleBuffered() && !own)) {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      const int state = ::SaveDC(dc);
      EraseBackground(dc);
      ::RestoreDC(dc, state);
    }
    Message.Result = 1;
  } else {
    Message.Result = 0;
  }
}

void TcxControl::EraseBackground(HDC DC) {
  RECT r = ClientRect();
  if (ThemeServices().ThemesEnabled() && Parent()) {
    TcxPaintCanvas* canvas = GetPaintCanvas();
    if (canvas) {
      canvas->BeginPaint(DC);
      DrawControlParentBackground(this, *canvas, r);
      canvas->EndPaint();
      return;
    }
  }
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
  FillRect(DC, &r, brush);
  DeleteObject(brush);
}

void TcxControl::Paint() {
  if (!PaintFrozenImage(this, this, *ActiveCanvas())) DoPaint();
}

bool PaintFrozenImage(TObject* AProvider, TWinControl* AControl, TcxCanvas& ACanvas) {
  auto* provider = AProvider ? Supports<IcxFrozenImageProvider>(AProvider, IID_IcxFrozenImageProvider) : nullptr;
  TcxBitmap* image = provider ? provider->GetFrozenImage() : nullptr;
  TWinControl* frozen = image ? provider->GetFrozenControl() : nullptr;
  if (!frozen || !AControl) return false;
  POINT origin{0, 0};
  // Another control's picture: the part under AControl, by their windows' positions.
  if (frozen != AControl) {
    if (!frozen->HandleAllocated() || !AControl->HandleAllocated()) return false;
    origin = frozen->ScreenToClient(AControl->ClientToScreen(POINT{0, 0}));
  }
  BitBlt(ACanvas.Handle(), 0, 0, AControl->Width(), AControl->Height(), image->cxCanvas().Handle(), origin.x,
         origin.y, SRCCOPY);
  return true;
}

void TcxControl::DoPaint() {
  if (FBorderStyle == cxcbsDefault) {
    LookAndFeelPainter()->DrawBorder(*FCanvas, Bounds());
    FCanvas->IntersectClipRect(ClientBounds());
  }
  UpdateInternalControlsState();
}

TVK_MESSAGE_MAP(TcxControl, {WM_PAINT, &TcxControl::WMPaint}, {WM_ERASEBKGND, &TcxControl::WMEraseBkgnd},
                {CM_CURSORCHANGED, &TcxControl::CMCursorChanged}, {CM_INVALIDATE, &TcxControl::CMInvalidate},
                {WM_GETDLGCODE, &TcxControl::WMGetDlgCode}, {WM_CONTEXTMENU, &TcxControl::WMContextMenu},
                {WM_NCCALCSIZE, &TcxControl::WMNCCalcSize}, {WM_CANCELMODE, &TcxControl::WMCancelMode},
                {CM_FONTCHANGED, &TcxControl::CMFontChanged}, {CN_KEYDOWN, &TcxControl::CNKeyDown},
                {CN_SYSKEYDOWN, &TcxControl::CNSysKeyDown},
                {WM_MOUSEWHEEL, &TcxControl::WMMouseWheel}, {WM_CX_NCSIZECHANGED, &TcxControl::CMNCSizeChanged})

}  // namespace tvk
