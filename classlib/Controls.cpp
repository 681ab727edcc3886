#include "Controls.h"

#include "Application.h"
#include "WindowClasses.h"

#include <algorithm>

namespace tvk {

namespace {

// The control whose window is being created: the first messages of a new
// window (before CreateWindowEx returns) belong to it.
thread_local TWinControl* gCreationControl = nullptr;

constexpr int kControlSlot = 0;  // window memory: the control's address

bool IsLibraryMessage(UINT msg) { return msg >= CM_BASE && msg < 0xC000; }

bool IsArrowKey(WORD key) { return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN; }

bool IsDialogKeyCode(WORD key) {
  return key == VK_TAB || IsArrowKey(key) || key == VK_RETURN || key == VK_ESCAPE || key == VK_EXECUTE ||
         key == VK_CANCEL;
}

}  // namespace

TShiftState KeyboardShiftState(LPARAM keyData) {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0 || (keyData & (LPARAM(1) << 29))) s |= ssAlt;
  return s;
}

LRESULT CALLBACK ControlWindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrW(window, kControlSlot));
  if (!control && gCreationControl) {
    control = std::exchange(gCreationControl, nullptr);
    control->FHandle = window;
    SetWindowLongPtrW(window, kControlSlot, reinterpret_cast<LONG_PTR>(control));
  }
  if (!control) return DefWindowProcW(window, msg, wParam, lParam);
  TMessage message{msg, wParam, lParam, 0};
  CallGuarded(control, [&] { control->WindowProc()(message); });
  if (msg == WM_NCDESTROY) {
    // The window is gone: the control keeps its state for the next one.
    SetWindowLongPtrW(window, kControlSlot, 0);
    if (control->FHandle == window) control->FHandle = nullptr;
  }
  return message.Result;
}

// ---- TControl

TMouse& Mouse() {
  static TMouse mouse;
  return mouse;
}

TControl::TControl(TComponent* owner) : TComponent(owner), FWindowProc(WndMethodOf<&TControl::WndProc>(this)) {
  FFont.OnChange = [this](TObject*) { Perform(CM_FONTCHANGED); };
}

TControl::~TControl() {
  FFont.OnChange = nullptr;
  if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == FParent) return;
  if (parent == this) throw EInvalidOperation(L"A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (parent) parent->InsertControl(this);
}

TControl* TControl::TopParent() {
  TControl* c = this;
  while (c->FParent) c = c->FParent;
  return c;
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  if (FParent) FParent->Invalidate();
  Resize();
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
}

bool TControl::Showing() { return FVisible && FParent && FParent->Showing(); }

void TControl::SetEnabled(bool enabled) {
  if (enabled == FEnabled) return;
  FEnabled = enabled;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetText(const WideString& text) {
  if (text == FText) return;
  SetTextValue(text);
}

void TControl::SetTextValue(const WideString& text) {
  FText = text;
  Perform(CM_TEXTCHANGED);
}

void TControl::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Perform(CM_COLORCHANGED);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  FWindowProc(message);
  return message.Result;
}

void TControl::WndProc(TMessage& message) { Dispatch(message); }

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMFontChanged(TMessage&) { Invalidate(); }

TVK_MESSAGE_MAP(TControl, {CM_COLORCHANGED, &TControl::CMColorChanged}, {CM_FONTCHANGED, &TControl::CMFontChanged})

// ---- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
  Destroying();
  if (Parent()) Parent()->RemoveControl(this);
  DestroyHandle();
  // A control placed in a parent is freed with it.
  while (!FControls.empty()) {
    TControl* child = FControls.back();
    RemoveControl(child);
    delete child;
  }
}

HWND TWinControl::Handle() {
  if (!FHandle) {
    if (Parent()) Parent()->HandleNeeded();  // may create this window too
    if (!FHandle) CreateHandle();
  }
  return FHandle;
}

void TWinControl::CreateParams(TCreateParams& params) {
  params.Caption = FText;
  params.Style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (FVisible) params.Style |= WS_VISIBLE;
  if (!FEnabled) params.Style |= WS_DISABLED;
  if (FTabStop) params.Style |= WS_TABSTOP;
  params.X = FLeft;
  params.Y = FTop;
  params.Width = FWidth;
  params.Height = FHeight;
  params.WndParent = Parent() ? Parent()->Handle() : FParentWindow;
  params.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & WS_CHILD) && !params.WndParent)
    throw EInvalidOperation(L"Control '" + Name() + L"' has no parent window");
  EnsureWindowClass(params.WinClassName, &ControlWindowProcedure, params.WindowClassStyle, nullptr,
                    int(sizeof(LONG_PTR)));
  CreateWindowHandle(params);
}

void TWinControl::CreateWindowHandle(const TCreateParams& params) {
  gCreationControl = this;
  HWND window = CreateWindowExW(params.ExStyle, params.WinClassName.c_str(), params.Caption.c_str(), params.Style,
                                params.X, params.Y, params.Width, params.Height, params.WndParent, nullptr,
                                ClassLibraryInstance(), nullptr);
  gCreationControl = nullptr;
  if (!window) RaiseLastOSError(L"Cannot create window");
  FHandle = window;
  UpdateBounds();  // the system may have adjusted the size
}

void TWinControl::CreateHandle() {
  if (!FHandle) CreateWnd();
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->FVisible && !w->FHandle) w->CreateHandle();
}

void TWinControl::DestroyWindowHandle() {
  HWND window = FHandle;
  DestroyWindow(window);
  if (FHandle == window) {
    // Not destroyed through our procedure (another thread's window): forget it.
    SetWindowLongPtrW(window, kControlSlot, 0);
    FHandle = nullptr;
  }
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TControl* c : FControls)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyHandle();
  DestroyWindowHandle();
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  FRecreating = true;
  try {
    DestroyHandle();
  } catch (...) {
    FRecreating = false;
    throw;
  }
  FRecreating = false;
  UpdateControlState();
}

void TWinControl::SetParentWindow(HWND window) {
  if (Parent() || window == FParentWindow) return;
  if (FHandle && FParentWindow && window) {
    FParentWindow = window;
    ::SetParent(FHandle, window);
  } else {
    DestroyHandle();
    FParentWindow = window;
  }
  UpdateControlState();
}

void TWinControl::UpdateControlState() {
  if (FVisible && (!Parent() || Parent()->HandleAllocated())) HandleNeeded();
  if (FHandle) Perform(CM_SHOWINGCHANGED);
}

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount())
    throw EListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
  return FControls[std::size_t(index)];
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->Parent())
    if (c == this) return true;
  return false;
}

void TWinControl::InsertControl(TControl* control) {
  control->FParent = this;
  FControls.push_back(control);
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    FTabList.push_back(w);
    if (FHandle) w->UpdateControlState();
  }
  Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(FControls.begin(), FControls.end(), control);
  if (it == FControls.end()) return;
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    w->DestroyHandle();  // made anew when it is put somewhere again
    std::erase(FTabList, w);
  }
  FControls.erase(std::find(FControls.begin(), FControls.end(), control));
  control->FParent = nullptr;
  Invalidate();
}

TWinControl* TWinControl::FindControl(HWND window) {
  if (!window) return nullptr;
  // Only windows of our procedure carry a control address in their memory.
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) != &ControlWindowProcedure) return nullptr;
  return reinterpret_cast<TWinControl*>(GetWindowLongPtrW(window, kControlSlot));
}

int TWinControl::TabOrder() const {
  if (!Parent()) return -1;
  const auto& list = Parent()->FTabList;
  auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : int(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  if (!Parent()) return;
  auto& list = Parent()->FTabList;
  std::erase(list, this);
  order = std::clamp(order, 0, int(list.size()));
  list.insert(list.begin() + order, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* c : FTabList) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool forward, bool checkTabStop,
                                          bool checkParent) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  int n = int(list.size());
  if (n == 0) return nullptr;
  auto found = std::find(list.begin(), list.end(), current);
  int index = found == list.end() ? (forward ? n - 1 : 0) : int(found - list.begin());
  for (int step = 0; step < n; ++step) {
    index = forward ? (index + 1) % n : (index + n - 1) % n;
    TWinControl* c = list[std::size_t(index)];
    if (c == current) break;
    if ((!checkTabStop || c->FTabStop) && (!checkParent || c->Parent() == this) && c->CanFocus()) return c;
  }
  return nullptr;
}

bool TWinControl::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
  TWinControl* next = FindNextControl(current, forward, checkTabStop, false);
  if (!next) return false;
  next->SetFocus();
  return true;
}

bool TWinControl::CanFocus() const {
  // The outermost parent (a form, shown or not) is not asked.
  for (const TControl* c = this; c->Parent(); c = c->Parent())
    if (!c->FVisible || !c->FEnabled) return false;
  return true;
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation(L"Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}

bool TWinControl::Showing() { return FHandle && IsWindowVisible(FHandle); }

void TWinControl::SetBounds(int left, int top, int width, int height) {
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  FLeft = left;
  FTop = top;
  FWidth = width;
  FHeight = height;
  if (FHandle) SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  else Resize();
}

void TWinControl::UpdateBounds() {
  if (!FHandle) return;
  RECT r;
  GetWindowRect(FHandle, &r);
  if (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_CHILD)
    MapWindowPoints(HWND_DESKTOP, GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
  FLeft = r.left;
  FTop = r.top;
  FWidth = r.right - r.left;
  FHeight = r.bottom - r.top;
}

int TWinControl::ClientWidth() {
  if (!FHandle) return Width();
  RECT r;
  GetClientRect(FHandle, &r);
  return r.right;
}

int TWinControl::ClientHeight() {
  if (!FHandle) return Height();
  RECT r;
  GetClientRect(FHandle, &r);
  return r.bottom;
}

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

void TWinControl::SetTextValue(const WideString& text) {
  if (FHandle) SetWindowTextW(FHandle, text.c_str());  // WM_SETTEXT stores it
  else TControl::SetTextValue(text);
}

void TWinControl::DefaultHandler(TMessage& message) {
  if (IsLibraryMessage(message.Msg) || !FHandle) {
    message.Result = 0;
    return;
  }
  message.Result = DefWindowProcW(FHandle, message.Msg, message.WParam, message.LParam);
}

bool TWinControl::DoKeyDown(TMessage& message) {
  WORD key = WORD(message.WParam);
  TShiftState shift = KeyboardShiftState(message.LParam);
  TControl* top = TopParent();
  if (top != this && top->Perform(CM_CHILDKEY, key, reinterpret_cast<LPARAM>(this)) != 0) return true;
  if (OnKeyDown) {
    OnKeyDown(this, key, shift);
    if (key == 0) return true;
  }
  if (message.Msg == WM_KEYDOWN && IsDialogKeyCode(key)) {
    LRESULT code = Perform(WM_GETDLGCODE, key);
    bool wanted = (code & DLGC_WANTALLKEYS) || (key == VK_TAB && (code & DLGC_WANTTAB)) ||
                  (IsArrowKey(key) && (code & DLGC_WANTARROWS)) || Perform(CM_WANTSPECIALKEY, key) != 0;
    if (!wanted && top->Perform(CM_DIALOGKEY, key, message.LParam) != 0) return true;
  }
  return false;
}

void TWinControl::Broadcast(TMessage& message) {
  for (std::size_t i = 0; i < FControls.size(); ++i) {
    FControls[i]->WindowProc()(message);
    if (message.Result != 0) return;
  }
}

void TWinControl::WMWindowPosChanged(TMessage& message) {
  UpdateBounds();  // before WM_SIZE reaches Resize
  TVK_INHERITED(message);
}

void TWinControl::WMSize(TMessage& message) {
  TVK_INHERITED(message);
  Resize();
}

void TWinControl::WMSetText(TMessage& message) {
  TVK_INHERITED(message);
  const auto* text = reinterpret_cast<const wchar_t*>(message.LParam);
  FText = text ? text : L"";
  Perform(CM_TEXTCHANGED);
}

void TWinControl::WMKeyDown(TMessage& message) {
  if (DoKeyDown(message)) {
    message.Result = 0;
    return;
  }
  TVK_INHERITED(message);
}

void TWinControl::WMSetFocus(TMessage& message) {
  TVK_INHERITED(message);
  TControl* top = TopParent();
  if (top != this) top->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
}

void TWinControl::WMEraseBkgnd(TMessage& message) {
  auto dc = reinterpret_cast<HDC>(message.WParam);
  // A double-buffered control paints its background into the buffer only.
  if (FDoubleBuffered && message.WParam != WPARAM(message.LParam)) {
    message.Result = 1;
    return;
  }
  RECT r;
  GetClientRect(FHandle, &r);
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  message.Result = 1;
}

void TWinControl::WMCommand(TMessage& message) {
  TWinControl* child = FindControl(reinterpret_cast<HWND>(message.LParam));
  if (child && child != this) {
    message.Result = child->Perform(CN_COMMAND, message.WParam, message.LParam);
    return;
  }
  TVK_INHERITED(message);
}

void TWinControl::WMNotify(TMessage& message) {
  const auto* header = reinterpret_cast<const NMHDR*>(message.LParam);
  TWinControl* child = header ? FindControl(header->hwndFrom) : nullptr;
  if (child && child != this) {
    message.Result = child->Perform(CN_NOTIFY, message.WParam, message.LParam);
    return;
  }
  TVK_INHERITED(message);
}

void TWinControl::CMShowingChanged(TMessage&) {
  if (!FHandle) return;
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                   (FVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::CMVisibleChanged(TMessage&) { UpdateControlState(); }

void TWinControl::CMEnabledChanged(TMessage&) {
  if (FHandle) EnableWindow(FHandle, FEnabled);
  Invalidate();
}

void TWinControl::CMDialogKey(TMessage& message) { Broadcast(message); }

void TWinControl::CMRecreateWnd(TMessage&) { RecreateWnd(); }

void TWinControl::WMMouseMove(TMessage& message) {
  if (!FMouseInControl && FHandle) {
    FMouseInControl = true;
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
    TrackMouseEvent(&track);
    Perform(CM_MOUSEENTER);
  }
  TVK_INHERITED(message);
}

void TWinControl::WMMouseLeave(TMessage& message) {
  if (FMouseInControl) {
    FMouseInControl = false;
    Perform(CM_MOUSELEAVE);
  }
  TVK_INHERITED(message);
}

TVK_MESSAGE_MAP(TWinControl, {WM_WINDOWPOSCHANGED, &TWinControl::WMWindowPosChanged},
                {WM_SIZE, &TWinControl::WMSize}, {WM_SETTEXT, &TWinControl::WMSetText},
                {WM_KEYDOWN, &TWinControl::WMKeyDown}, {WM_SYSKEYDOWN, &TWinControl::WMKeyDown},
                {WM_SETFOCUS, &TWinControl::WMSetFocus}, {WM_ERASEBKGND, &TWinControl::WMEraseBkgnd},
                {WM_COMMAND, &TWinControl::WMCommand}, {WM_NOTIFY, &TWinControl::WMNotify},
                {CM_SHOWINGCHANGED, &TWinControl::CMShowingChanged},
                {CM_VISIBLECHANGED, &TWinControl::CMVisibleChanged},
                {CM_ENABLEDCHANGED, &TWinControl::CMEnabledChanged}, {CM_DIALOGKEY, &TWinControl::CMDialogKey},
                {CM_RECREATEWND, &TWinControl::CMRecreateWnd}, {WM_MOUSEMOVE, &TWinControl::WMMouseMove},
                {WM_MOUSELEAVE, &TWinControl::WMMouseLeave})

// ---- TCustomControl

void TCustomControl::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomControl::PaintOn(HDC dc) {
  FCanvas.SetHandle(dc);
  FCanvas.Font().Assign(Font());
  FCanvas.Brush().SetColor(Color());
  try {
    Paint();
  } catch (...) {
    FCanvas.SetHandle(nullptr);
    throw;
  }
  FCanvas.SetHandle(nullptr);
}

void TCustomControl::WMPaint(TMessage& message) {
  message.Result = 0;
  if (auto given = reinterpret_cast<HDC>(message.WParam)) {
    PaintOn(given);
    return;
  }
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(Handle(), &ps);
  struct EndPaintGuard {
    HWND Window;
    PAINTSTRUCT* Ps;
    ~EndPaintGuard() { EndPaint(Window, Ps); }
  } guard{Handle(), &ps};
  if (!DoubleBuffered()) {
    PaintOn(dc);
    return;
  }
  int width = ClientWidth(), height = ClientHeight();
  TMemoryContext buffer(dc, width, height);
  HDC mem = buffer.Handle();
  Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), reinterpret_cast<LPARAM>(mem));
  PaintOn(mem);
  BitBlt(dc, 0, 0, width, height, mem, 0, 0, SRCCOPY);
}

void TCustomControl::WMPrintClient(TMessage& message) {
  if (message.WParam) message.Result = Perform(WM_PAINT, message.WParam);
}

TVK_MESSAGE_MAP(TCustomControl, {WM_PAINT, &TCustomControl::WMPaint},
                {WM_PRINTCLIENT, &TCustomControl::WMPrintClient})

void DrawParentBackground(TWinControl& control, HDC dc) {
  HWND parent = control.HandleAllocated() ? GetParent(control.Handle()) : nullptr;
  if (!parent || !dc) return;
  int saved = SaveDC(dc);
  POINT origin;
  OffsetViewportOrgEx(dc, -control.Left(), -control.Top(), &origin);
  SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessageW(parent, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
  RestoreDC(dc, saved);
}

}  // namespace tvk
