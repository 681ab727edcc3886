#include "Controls.h"

#include <imm.h>

#include "ActnList.h"

#include "Application.h"
#include "Forms.h"
#include "ImageLists.h"
#include "Menus.h"
#include "WindowClasses.h"

#include <algorithm>
#include <cstdlib>
#include <cstdint>
#include <utility>

namespace tvk {

namespace {

// The control whose window is being created: the first messages of a new
// window (before CreateWindowEx returns) belong to it.
thread_local TWinControl* gCreationControl = nullptr;

// The control's address is the last pointer of the window memory: behind
// the memory of a system class that a window class is made from.
int ControlSlot(HWND window) {
  const ULONG_PTR extra = GetClassLongPtrW(window, GCL_CBWNDEXTRA);
  return extra >= sizeof(LONG_PTR) ? static_cast<int>(extra - sizeof(LONG_PTR)) : 0;
}

bool IsLibraryMessage(UINT msg) { return msg >= CM_BASE && msg < 0xC000; }

// The control that holds the capture, graphic controls included.
TControl* gCaptureControl = nullptr;

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK; }

// The one drag in progress: its source, whether the mouse has moved far
// enough to make it a drag, the target last told, what the drag carries and
// the picture that follows the mouse.
struct TDragObjectState {
  TControl* Source = nullptr;
  bool Started = false;
  POINT Start{};
  int Threshold = 0;
  TControl* Target = nullptr;
  bool Accepted = false;
  TDragObject* Object = nullptr;
  std::unique_ptr<TDragObject> OwnObject;  // the library's own object, when none was supplied
  TDragImageList* Images = nullptr;        // while its image drag runs
};
TDragObjectState gDrag;
void DragTo(POINT pos);
void StartDragImage();
bool DragMessage(HWND window, TMessage& message);

POINT MessagePoint(LPARAM lParam) {
  return POINT{short(LOWORD(lParam)), short(HIWORD(lParam))};
}

LPARAM PointParam(POINT p) { return MAKELPARAM(WORD(short(p.x)), WORD(short(p.y))); }

// Paint runs on Canvas lent Dc, with the control's font and colour; the
// context is taken back whatever happens.
template <class F>
void PaintWithCanvas(TCanvas& canvas, HDC dc, TControl& control, F&& paint) {
  canvas.SetHandle(dc);
  struct TGiveBack {
    TCanvas& Canvas;
    ~TGiveBack() { Canvas.SetHandle(nullptr); }
  } giveBack{canvas};
  canvas.Font().Assign(control.Font());
  canvas.Brush().SetColor(control.Color());
  paint();
}

TShiftState MouseShiftState(WPARAM keys) {
  TShiftState s = 0;
  if (keys & MK_SHIFT) s |= ssShift;
  if (keys & MK_CONTROL) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  // The buttons held during the message belong to its shift state too.
  if (keys & MK_LBUTTON) s |= ssLeft;
  if (keys & MK_RBUTTON) s |= ssRight;
  if (keys & MK_MBUTTON) s |= ssMiddle;
  return s;
}

bool IsArrowKey(WORD key) { return key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN; }

bool IsDialogKeyCode(WORD key) {
  return key == VK_TAB || IsArrowKey(key) || key == VK_RETURN || key == VK_ESCAPE || key == VK_EXECUTE ||
         key == VK_CANCEL;
}

}  // namespace

// The library's side of a drag object: where the drag is and how it ended.
struct TDragObjectAccess {
  static void Place(TDragObject& object, POINT pos, TControl* target, POINT targetPos) {
    object.FDragPos = pos;
    object.FDragTarget = target;
    object.FDragTargetPos = targetPos;
  }
  static void SetDropped(TDragObject& object, bool dropped) { object.FDropped = dropped; }
};

TShiftState KeyboardShiftState(LPARAM keyData) {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (GetKeyState(VK_MENU) < 0 || (keyData & (LPARAM(1) << 29))) s |= ssAlt;
  return s;
}

namespace {

// A component query (ComponentQueryMessage) for Control's window: its own
// name, then its windowless children's.
LRESULT AnswerComponentQuery(TWinControl& control, WPARAM wParam) noexcept {
  auto* query = reinterpret_cast<TComponentQuery*>(wParam);
  if (!query || !query->Name) return 0;
  const std::wstring_view name(query->Name);
  if (name.empty()) return 0;
  if (SameAsciiText(control.Name(), name)) {
    query->Bounds = control.ClientRect();
    return 1;
  }
  for (int i = 0; i < control.ControlCount(); ++i) {
    TControl* child = control.Controls(i);
    if (!dynamic_cast<TWinControl*>(child) && SameAsciiText(child->Name(), name)) {
      query->Bounds = child->BoundsRect();
      return 1;
    }
  }
  return 0;
}

}  // namespace

LRESULT CALLBACK ControlWindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  const int slot = ControlSlot(window);
  auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrW(window, slot));
  if (!control && gCreationControl) {
    control = std::exchange(gCreationControl, nullptr);
    control->FHandle = window;
    SetWindowLongPtrW(window, slot, reinterpret_cast<LONG_PTR>(control));
  }
  if (!control) return DefWindowProcW(window, msg, wParam, lParam);
  if (msg == ComponentQueryMessage()) return AnswerComponentQuery(*control, wParam);
  TMessage message{msg, wParam, lParam, 0};
  // While a drag runs, the mouse and Escape belong to it.
  if (gDrag.Source && CallGuarded(control, false, [&] { return DragMessage(window, message); }))
    return message.Result;
  CallGuarded(control, [&] { control->WindowProc()(message); });
  if (msg == WM_NCDESTROY) {
    // The window is gone: the control keeps its state for the next one.
    SetWindowLongPtrW(window, slot, 0);
    if (control->FHandle == window) control->FHandle = nullptr;
  }
  return message.Result;
}

// ---- Cursors, capture and drag targets

HCURSOR CursorHandle(TCursor cursor) {
  const wchar_t* id = nullptr;
  switch (cursor) {
    case crArrow: id = IDC_ARROW; break;
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNS: case crVSplit: id = IDC_SIZENS; break;
    case crSizeWE: case crHSplit: id = IDC_SIZEWE; break;
    case crNo: id = IDC_NO; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crHandPoint: id = IDC_HAND; break;
    default: return nullptr;
  }
  return LoadCursorW(nullptr, id);
}

TControl* GetCaptureControl() {
  HWND capture = GetCapture();
  if (gCaptureControl) {
    auto* w = dynamic_cast<TWinControl*>(gCaptureControl);
    TWinControl* holder = w ? w : gCaptureControl->Parent();
    if (holder && holder->HandleAllocated() && holder->Handle() == capture) return gCaptureControl;
    gCaptureControl = nullptr;
  }
  return TWinControl::FindControl(capture);
}

void SetCaptureControl(TControl* control) {
  gCaptureControl = nullptr;
  if (!control) {
    if (GetCapture()) ReleaseCapture();
    return;
  }
  auto* w = dynamic_cast<TWinControl*>(control);
  TWinControl* holder = w ? w : control->Parent();
  if (!holder) return;
  SetCapture(holder->Handle());
  gCaptureControl = control;
}

TControl* FindDragTarget(POINT pos, bool allowDisabled) {
  TWinControl* window = TWinControl::FindControl(WindowFromPoint(pos));
  if (!window) return nullptr;
  POINT client = pos;
  ScreenToClient(window->Handle(), &client);
  if (TControl* c = window->ControlAtPos(client, allowDisabled)) return c;
  return window;
}

// ---- TControl

TMouse& Mouse() {
  static TMouse mouse;
  return mouse;
}

int TMouse::WheelScrollLines() const {
  if (WheelScrollLinesOverride) return *WheelScrollLinesOverride;
  UINT lines = 3;
  SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  return static_cast<int>(lines);
}

TControl::TControl(TComponent* owner) : TComponent(owner), FWindowProc(WndMethodOf<&TControl::WndProc>(this)) {
  FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  FFont.OnChange = [this](TObject*) {
    if (!FApplyingFont) FParentFont = false;
    Perform(CM_FONTCHANGED);
    NotifyChildren(CM_PARENTFONTCHANGED);
  };
}

TControl::~TControl() {
  if (gDrag.Target == this) gDrag.Target = nullptr;
  if (gDrag.Source == this) {
    // Nothing is told: the source is half gone. The library's own object goes with the state.
    TDragObjectState drag = std::exchange(gDrag, TDragObjectState{});
    if (drag.Images) drag.Images->EndDrag();
    SetCaptureControl(nullptr);
    Screen().SetCursor(crDefault);
  }
  FFont.OnChange = nullptr;
  FActionLink.reset();
  if (gCaptureControl == this) gCaptureControl = nullptr;
  if (FParent) FParent->RemoveControl(this);
}

POINT TControl::ClientToScreen(POINT point) {
  if (auto* w = dynamic_cast<TWinControl*>(this)) {
    ::ClientToScreen(w->Handle(), &point);
    return point;
  }
  if (!FParent) return point;
  return FParent->ClientToScreen(POINT{point.x + FLeft, point.y + FTop});
}

POINT TControl::ScreenToClient(POINT point) {
  POINT origin = ClientToScreen(POINT{0, 0});
  return POINT{point.x - origin.x, point.y - origin.y};
}

POINT TControl::ClientToParent(POINT point, TWinControl* parent) {
  if (!parent) parent = FParent;
  if (!parent) throw EInvalidOperation(L"Control '" + Name() + L"' has no parent window");
  // Bounds are relative to the parent's client area: add them up the chain.
  TControl* c = this;
  while (c && c != parent) {
    point.x += c->FLeft;
    point.y += c->FTop;
    c = c->FParent;
  }
  if (!c) throw EInvalidOperation(L"Control '" + parent->Name() + L"' is not a parent of '" + Name() + L"'");
  return point;
}

void TControl::Update() {
  if (TWinControl* parent = Parent()) parent->Update();
}

void TControl::SetShowHint(bool value) {
  if (value == FShowHint) return;
  FShowHint = value;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetCursor(TCursor cursor) {
  if (cursor == FCursor) return;
  FCursor = cursor;
  Perform(CM_CURSORCHANGED);
}

bool TControl::MouseCapture() { return GetCaptureControl() == this; }

void TControl::SetMouseCapture(bool value) {
  if (value == MouseCapture()) return;
  SetCaptureControl(value ? this : nullptr);
}

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TControl::SetAction(TBasicAction* action) {
  if (!action) {
    if (FActionLink) {
      if (TBasicAction* old = FActionLink->Action()) old->RemoveFreeNotification(this);
      FActionLink.reset();
    }
    return;
  }
  if (!FActionLink) FActionLink = CreateActionLink();
  if (TBasicAction* old = FActionLink->Action()) old->RemoveFreeNotification(this);
  FActionLink->SetAction(action);
  action->FreeNotification(this);
  ActionChange(action, Loading());
}

std::unique_ptr<TControlActionLink> TControl::CreateActionLink() {
  return std::make_unique<TControlActionLink>(this);
}

void TControl::ActionChange(TObject* sender, bool checkDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  if (!checkDefaults || FText.empty()) SetCaption(action->Caption());
  if (!checkDefaults || FEnabled) SetEnabled(action->Enabled());
  if (!checkDefaults || FHint.empty()) SetHint(action->Hint());
  if (!checkDefaults || FVisible) SetVisible(action->Visible());
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
  if (menu == FPopupMenu) return;
  if (FPopupMenu) RemoveFreeNotification(FPopupMenu);
  FPopupMenu = menu;
  if (menu) FreeNotification(menu);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FPopupMenu) FPopupMenu = nullptr;
  if (operation == TOperation::opRemove && gDrag.Source == this && component == gDrag.Images) gDrag.Images = nullptr;
  if (operation == TOperation::opRemove && FActionLink && component == FActionLink->Action()) FActionLink.reset();
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::DoMouseDown(TMessage& message, TMouseButton button, TShiftState extra) {
  POINT p = MessagePoint(message.LParam);
  MouseDown(button, MouseShiftState(message.WParam) | extra, p.x, p.y);
}

void TControl::DoMouseUp(TMessage& message, TMouseButton button) {
  POINT p = MessagePoint(message.LParam);
  MouseUp(button, MouseShiftState(message.WParam), p.x, p.y);
}

void TControl::CMMouseEnter(TMessage&) {
  if (OnMouseEnter) OnMouseEnter(this);
}

void TControl::CMMouseLeave(TMessage&) {
  if (OnMouseLeave) OnMouseLeave(this);
}

// The window's own handling of a button goes first (a system control's press,
// release and context menu), then the library's state and events.
void TControl::WMLButtonDown(TMessage& message) {
  TVK_INHERITED(message);
  if (FControlStyle & csCaptureMouse) SetMouseCapture(true);
  if (FControlStyle & csClickEvents) FControlState |= csClicked;
  DoMouseDown(message, TMouseButton::mbLeft, 0);
}

void TControl::WMLButtonUp(TMessage& message) {
  TVK_INHERITED(message);
  if (FControlStyle & csCaptureMouse) SetMouseCapture(false);
  if (FControlState & csClicked) {
    FControlState &= ~csClicked;
    POINT p = MessagePoint(message.LParam);
    RECT r = ClientRect();
    if (PtInRect(&r, p)) Click();
  }
  DoMouseUp(message, TMouseButton::mbLeft);
}

void TControl::WMLButtonDblClk(TMessage& message) {
  TVK_INHERITED(message);
  if (FControlStyle & csCaptureMouse) SetMouseCapture(true);
  if (FControlStyle & csClickEvents) DblClick();
  DoMouseDown(message, TMouseButton::mbLeft, ssDouble);
}

void TControl::WMRButtonDown(TMessage& message) {
  TVK_INHERITED(message);
  DoMouseDown(message, TMouseButton::mbRight, 0);
}

void TControl::WMRButtonUp(TMessage& message) {
  TVK_INHERITED(message);
  DoMouseUp(message, TMouseButton::mbRight);
}

void TControl::WMMouseMoveEvent(TMessage& message) {
  POINT p = MessagePoint(message.LParam);
  MouseMove(MouseShiftState(message.WParam), p.x, p.y);
  if (dynamic_cast<TWinControl*>(this)) TVK_INHERITED(message);
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
  UpdateAnchorRules();
  if (FParent) FParent->Invalidate();
  Resize();
  RequestAlign();
}

void TControl::SetAnchors(TAnchors value) {
  if (value == FAnchors) return;
  FAnchors = value;
  UpdateAnchorRules();
}

void TControl::UpdateAnchorRules() {
  if (FAnchorMove || (ComponentState() & csLoading)) return;
  FAnchorBounds = BoundsRect();
  FAnchorParentSize = FParent ? SIZE{FParent->Width(), FParent->Height()} : SIZE{};
}

void TControl::Loaded() {
  TComponent::Loaded();
  UpdateAnchorRules();
}

RECT TControl::AnchoredBounds() const {
  // One direction at a time: the near edge, the far edge, or both.
  auto place = [](bool nearEdge, bool farEdge, LONG from, LONG to, LONG oldSize, LONG newSize) {
    const LONG size = to - from;
    if (nearEdge && farEdge) return std::pair{from, size + newSize - oldSize};
    if (farEdge) return std::pair{from + newSize - oldSize, size};
    if (nearEdge || oldSize <= 0) return std::pair{from, size};
    return std::pair{LONG(MulDiv(from + size / 2, newSize, oldSize) - size / 2), size};
  };
  const auto [left, width] = place(FAnchors & akLeft, FAnchors & akRight, FAnchorBounds.left, FAnchorBounds.right,
                                   FAnchorParentSize.cx, FParent->Width());
  const auto [top, height] = place(FAnchors & akTop, FAnchors & akBottom, FAnchorBounds.top, FAnchorBounds.bottom,
                                   FAnchorParentSize.cy, FParent->Height());
  return RECT{left, top, left + width, top + height};
}

void TControl::SetAlign(TAlign value) {
  if (value == FAlign) return;
  FAlign = value;
  RequestAlign();
}

void TControl::RequestAlign() {
  // Every change of a child is the parent's to see (it may shape or clip the
  // child); its own alignment moves only the aligned ones.
  if (FParent) FParent->AlignControl(this);
}

void TControl::SetVisible(bool visible) {
  if (visible == FVisible) return;
  FVisible = visible;
  Perform(CM_VISIBLECHANGED, visible ? 1 : 0);
  RequestAlign();
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
  FParentColor = false;
  ApplyColor(color);
}

void TControl::ApplyColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Perform(CM_COLORCHANGED);
  NotifyChildren(CM_PARENTCOLORCHANGED);
}

void TControl::ApplyFont(const TFont& font) {
  const bool wasApplying = std::exchange(FApplyingFont, true);
  struct TRestore {
    bool& Flag;
    bool Value;
    ~TRestore() { Flag = Value; }
  } restore{FApplyingFont, wasApplying};
  FFont.Assign(font);
}

void TControl::SetParentColor(bool value) {
  if (value == FParentColor) return;
  FParentColor = value;
  if (FParent && !(ComponentState() & csLoading)) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::SetParentFont(bool value) {
  if (value == FParentFont) return;
  FParentFont = value;
  if (FParent && !(ComponentState() & csLoading)) Perform(CM_PARENTFONTCHANGED);
}

void TControl::ScaleControl(int M, int D) {
  // Left alone while loading, a value the design did not set keeps what the design gave.
  const TScalingFlags flags = (ComponentState() & csLoading) ? FScalingFlags : sfAll;
  FScalingFlags = 0;
  if (M <= 0 || D <= 0 || M == D) return;
  const auto scaled = [&](TScalingFlag flag, int value) { return (flags & flag) ? ::MulDiv(value, M, D) : value; };
  SetBounds(scaled(sfLeft, FLeft), scaled(sfTop, FTop), scaled(sfWidth, FWidth), scaled(sfHeight, FHeight));
  if (!FParentFont && (flags & sfFont)) FFont.SetSize(::MulDiv(FFont.Size(), M, D));
}

void TControl::ScaleBy(int M, int D) {
  const int left = FLeft, top = FTop;
  ScaleControl(M, D);
  SetBounds(left, top, FWidth, FHeight);
}

void TControl::NotifyChildren(UINT msg) {
  auto* self = dynamic_cast<TWinControl*>(this);
  if (!self || self->ControlCount() == 0) return;
  // A child may leave while it is told.
  std::vector<TControl*> children;
  for (int i = 0; i < self->ControlCount(); ++i) children.push_back(self->Controls(i));
  const auto stillChild = [self](TControl* child) {
    for (int i = 0; i < self->ControlCount(); ++i)
      if (self->Controls(i) == child) return true;
    return false;
  };
  for (TControl* child : children)
    if (stillChild(child)) child->Perform(msg);
}

LRESULT TControl::Perform(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  FWindowProc(message);
  return message.Result;
}

void TControl::WndProc(TMessage& message) {
  // An automatic drag takes the press instead of the control.
  if ((message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) && FDragMode == TDragMode::dmAutomatic &&
      !(ComponentState() & csDesigning) && !Dragging()) {
    BeginDrag(false);
    return;
  }
  Dispatch(message);
}

void TControl::Click() {
  // An own handler wins over the action's; without one the action runs.
  if (OnClick) OnClick(this);
  else if (FActionLink && !(ComponentState() & csDesigning)) FActionLink->Execute(this);
}

void TControl::Resize() {
  if (OnResize) OnResize(this);
}

void TControl::CMColorChanged(TMessage&) { Invalidate(); }
void TControl::CMFontChanged(TMessage&) { Invalidate(); }

// What the control does on the colour (font) it takes may set one of its own
// on the way: the flag stays on all the same.
void TControl::CMParentColorChanged(TMessage&) {
  if (!FParentColor || !FParent) return;
  ApplyColor(FParent->Color());
  FParentColor = true;
}

void TControl::CMParentFontChanged(TMessage&) {
  if (!FParentFont || !FParent) return;
  ApplyFont(FParent->Font());
  FParentFont = true;
}

TVK_MESSAGE_MAP(TControl, {CM_COLORCHANGED, &TControl::CMColorChanged}, {CM_FONTCHANGED, &TControl::CMFontChanged},
                {CM_PARENTCOLORCHANGED, &TControl::CMParentColorChanged},
                {CM_PARENTFONTCHANGED, &TControl::CMParentFontChanged},
                {CM_MOUSEENTER, &TControl::CMMouseEnter}, {CM_MOUSELEAVE, &TControl::CMMouseLeave},
                {WM_LBUTTONDOWN, &TControl::WMLButtonDown}, {WM_LBUTTONUP, &TControl::WMLButtonUp},
                {WM_LBUTTONDBLCLK, &TControl::WMLButtonDblClk}, {WM_RBUTTONDOWN, &TControl::WMRButtonDown},
                {WM_RBUTTONUP, &TControl::WMRButtonUp}, {WM_MOUSEMOVE, &TControl::WMMouseMoveEvent})

// ---- Dragging

void TControl::BeginDrag(bool immediate, int threshold) {
  if (gDrag.Source) return;
  gDrag = {};
  gDrag.Source = this;
  GetCursorPos(&gDrag.Start);
  gDrag.Threshold = threshold < 0 ? Mouse().DragThreshold : threshold;
  SetCaptureControl(this);
  TDragObject* object = nullptr;
  try {
    HandleDragStart(object);
    // The start may have cancelled the drag (or begun another).
    if (gDrag.Source != this) return;
    if (!object) {
      gDrag.OwnObject.reset(GetDragObjectClass()(this));
      object = gDrag.OwnObject.get();
    }
  } catch (...) {
    // A failed start leaves no half drag holding the mouse.
    if (gDrag.Source == this) {
      gDrag = {};
      SetCaptureControl(nullptr);
    }
    throw;
  }
  gDrag.Object = object;
  if (immediate) {
    gDrag.Started = true;
    StartDragImage();
    DragTo(gDrag.Start);
  }
}

bool TControl::Dragging() const { return gDrag.Source == this; }

void TControl::EndDrag(bool drop) {
  if (gDrag.Source != this) return;
  TDragObjectState drag = std::exchange(gDrag, TDragObjectState{});
  if (drag.Images) {
    drag.Images->EndDrag();
    RemoveFreeNotification(drag.Images);
  }
  SetCaptureControl(nullptr);
  Screen().SetCursor(crDefault);
  POINT pos{};
  GetCursorPos(&pos);
  TControl* target = drag.Started ? drag.Target : nullptr;
  POINT at{};
  if (target) at = target->ScreenToClient(pos);
  if (target && !(drop && drag.Accepted)) {
    bool ignored = false;
    target->DragOver(this, at.x, at.y, TDragState::dsDragLeave, ignored);
    target = nullptr;
  }
  if (target) target->DragDrop(this, at.x, at.y);
  if (drag.Object) {
    TDragObjectAccess::Place(*drag.Object, pos, target, at);
    TDragObjectAccess::SetDropped(*drag.Object, target != nullptr);
    // The last call: the object may free itself here (the library's own goes with Drag).
    drag.Object->Finished(target, at.x, at.y, target != nullptr);
  } else {
    DoEndDrag(target, at.x, at.y);
  }
}

void TControl::HandleDragStart(TDragObject*& dragObject) {
  if (OnStartDrag) OnStartDrag(this, dragObject);
}

TDragControlObjectClass TControl::GetDragObjectClass() { return &MakeDragObject<TDragControlObject>; }

void TControl::DragOver(TObject* source, int x, int y, TDragState state, bool& accept) {
  accept = false;
  if (OnDragOver) {
    accept = true;
    OnDragOver(this, source, x, y, state, accept);
  }
}

void TControl::DragDrop(TObject* source, int x, int y) {
  if (OnDragDrop) OnDragDrop(this, source, x, y);
}

void TControl::DoEndDrag(TObject* target, int x, int y) {
  if (OnEndDrag) OnEndDrag(this, target, x, y);
}

// ---- Drag objects

void TDragObject::Finished(TObject*, int, int, bool) {}

TCursor TDragObject::DragCursorFor(bool accepted, int, int) { return accepted ? crDrag : crNoDrop; }

// Only the picture of this object's running drag is shown or hidden: asking
// GetDragImages here could make a list that no drag shows.
void TDragObject::ShowDragImage() {
  if (gDrag.Source && gDrag.Object == this && gDrag.Images) gDrag.Images->ShowDragImage();
}

void TDragObject::HideDragImage() {
  if (gDrag.Source && gDrag.Object == this && gDrag.Images) gDrag.Images->HideDragImage();
}

void TDragControlObject::Finished(TObject* target, int x, int y, bool accepted) {
  if (!accepted) FControl->HandleDragCancel();
  FControl->DoEndDrag(target, x, y);
}

TDragImageList* TDragControlObject::GetDragImages() { return FControl->GetDragImages(); }

TCursor TDragControlObject::DragCursorFor(bool accepted, int, int) {
  return accepted ? FControl->DragCursor() : crNoDrop;
}

TDragObject* DragObject() { return gDrag.Source ? gDrag.Object : nullptr; }

void CancelDrag() {
  if (gDrag.Source) gDrag.Source->EndDrag(false);
}

namespace {

// The drag has become one: the drag object's picture, when it has one,
// starts following the mouse over the whole screen.
void StartDragImage() {
  if (!gDrag.Object) return;
  TDragImageList* images = gDrag.Object->GetDragImages();
  if (!images || !images->BeginDrag(GetDesktopWindow(), gDrag.Start.x, gDrag.Start.y)) return;
  gDrag.Images = images;
  // A list freed during the drag is forgotten (TControl::Notification).
  gDrag.Source->FreeNotification(images);
}

// Moves the drag to a screen point: the targets left and entered are told,
// the picture shows over a target that displays it, and the cursor is the
// drag object's.
void DragTo(POINT pos) {
  TControl* target = FindDragTarget(pos, false);
  TControl* source = gDrag.Source;
  if (target != gDrag.Target && gDrag.Target) {
    POINT at = gDrag.Target->ScreenToClient(pos);
    bool ignored = false;
    gDrag.Target->DragOver(source, at.x, at.y, TDragState::dsDragLeave, ignored);
    if (gDrag.Source != source) return;
  }
  const TDragState state = target == gDrag.Target ? TDragState::dsDragMove : TDragState::dsDragEnter;
  gDrag.Target = target;
  gDrag.Accepted = false;
  POINT at{};
  if (target) at = target->ScreenToClient(pos);
  if (gDrag.Object) TDragObjectAccess::Place(*gDrag.Object, pos, target, at);
  if (TDragImageList* images = gDrag.Images) {
    const bool display = target && (target->ControlStyle() & csDisplayDragImage);
    if (!display) images->HideDragImage();
    images->DragMove(pos.x, pos.y);
    if (display) images->ShowDragImage();
  }
  if (target) target->DragOver(source, at.x, at.y, state, gDrag.Accepted);
  if (gDrag.Source == source && gDrag.Object)
    Screen().SetCursor(gDrag.Object->DragCursor(gDrag.Accepted, at.x, at.y));
}

bool DragMessage(HWND window, TMessage& message) {
  TControl* source = gDrag.Source;
  switch (message.Msg) {
    case WM_MOUSEMOVE: {
      POINT pos = MessagePoint(message.LParam);
      ClientToScreen(window, &pos);
      if (!gDrag.Started) {
        if (std::abs(pos.x - gDrag.Start.x) < gDrag.Threshold && std::abs(pos.y - gDrag.Start.y) < gDrag.Threshold)
          return false;
        gDrag.Started = true;
        StartDragImage();
      }
      DragTo(pos);
      return true;
    }
    case WM_LBUTTONUP:
      if (!gDrag.Started) {
        // Released before it became a drag: an ordinary click.
        source->EndDrag(false);
        return false;
      }
      source->EndDrag(true);
      return true;
    case WM_KEYDOWN:
      if (message.WParam != VK_ESCAPE) return false;
      source->EndDrag(false);
      return true;
    case WM_CAPTURECHANGED: {
      // Taking the capture for the drag tells the previous holder; only a
      // capture taken from the drag ends it.
      auto* holder = dynamic_cast<TWinControl*>(source);
      if (!holder) holder = source->Parent();
      if (!holder || !holder->HandleAllocated() || window != holder->Handle() ||
          reinterpret_cast<HWND>(message.LParam) == window)
        return false;
      source->EndDrag(false);
      return false;
    }
    case WM_CANCELMODE:
      source->EndDrag(false);
      return false;
    default:
      return false;
  }
}

}  // namespace

// ---- TWinControl

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TBrush& TWinControl::Brush() {
  if (FBrush.Color() != Color()) FBrush.SetColor(Color());
  return FBrush;
}

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
  if (!params.SubClassName.empty()) {
    // A system control under our own name: its procedure gets what ours leaves.
    params.WinClassName = params.WinClassName.substr(0, 63);
    FDefWndProc =
        EnsureSuperclass(params.WinClassName, params.SubClassName, &ControlWindowProcedure, params.SubClassStyle);
  } else {
    EnsureWindowClass(params.WinClassName, &ControlWindowProcedure, params.WindowClassStyle, nullptr,
                      int(sizeof(LONG_PTR)));
  }
  CreateWindowHandle(params);
  ApplyImeMode();
}

void TWinControl::SetImeMode(TImeMode value) {
  if (value == FImeMode) return;
  FImeMode = value;
  if (FHandle) ApplyImeMode();
}

void TWinControl::ApplyImeMode() {
  if (FImeMode == TImeMode::imDontCare) return;
  if (FImeMode == TImeMode::imDisable) {
    ImmAssociateContextEx(FHandle, nullptr, 0);
    return;
  }
  // A window that had its context taken gets the thread's default one back.
  ImmAssociateContextEx(FHandle, nullptr, IACE_DEFAULT);
  if (FImeMode != TImeMode::imOpen && FImeMode != TImeMode::imClose) return;
  if (HIMC context = ImmGetContext(FHandle)) {
    ImmSetOpenStatus(context, FImeMode == TImeMode::imOpen);
    ImmReleaseContext(FHandle, context);
  }
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
    SetWindowLongPtrW(window, ControlSlot(window), 0);
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
  // Refused before anything changes.
  control->ValidateContainer(this);
  ValidateInsert(control);
  control->FParent = this;
  FControls.push_back(control);
  control->UpdateAnchorRules();
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    FTabList.push_back(w);
    // A window made under a host window (ParentWindow) moves into this one, or
    // is made anew once this one exists: left there, it would take the focus
    // and the keys away from this control's form.
    if (w->FHandle && ::GetParent(w->FHandle) != FHandle) {
      if (FHandle)
        ::SetParent(w->FHandle, FHandle);
      else
        w->DestroyHandle();
    }
    if (FHandle) w->UpdateControlState();
  }
  control->Perform(CM_PARENTCOLORCHANGED);
  control->Perform(CM_PARENTFONTCHANGED);
  control->Perform(CM_PARENTCTL3DCHANGED);
  AlignControl(control);
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 1);
  Invalidate();
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(FControls.begin(), FControls.end(), control);
  if (it == FControls.end()) return;
  Perform(CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(control), 0);
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    w->DestroyHandle();  // made anew when it is put somewhere again
    std::erase(FTabList, w);
  }
  FControls.erase(std::find(FControls.begin(), FControls.end(), control));
  if (FMouseControl == control) FMouseControl = nullptr;
  control->FParent = nullptr;
  if (control->Align() != TAlign::alNone) Realign();
  Invalidate();
}

TWinControl* TWinControl::FindControl(HWND window) {
  if (!window) return nullptr;
  // Only windows of our procedure carry a control address in their memory.
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)) != &ControlWindowProcedure) return nullptr;
  return reinterpret_cast<TWinControl*>(GetWindowLongPtrW(window, ControlSlot(window)));
}

TControl* TWinControl::ControlAtPos(POINT point, bool allowDisabled, bool allowWinControls) const {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (!allowWinControls && dynamic_cast<TWinControl*>(c)) continue;
    bool designVisible = !(c->ComponentState() & csDesigning) || !(c->ControlStyle() & csNoDesignVisible);
    if (!c->Visible() || !designVisible || (!allowDisabled && !c->Enabled())) continue;
    RECT r = c->BoundsRect();
    if (PtInRect(&r, point)) return c;
  }
  return nullptr;
}

void TWinControl::PaintControls(HDC dc) {
  RECT clip;
  bool clipped = GetClipBox(dc, &clip) != NULLREGION;
  for (std::size_t i = 0; i < FControls.size(); ++i) {
    auto* g = dynamic_cast<TGraphicControl*>(FControls[i]);
    if (!g || !g->Visible()) continue;
    if ((g->ComponentState() & csDesigning) && (g->ControlStyle() & csNoDesignVisible)) continue;
    RECT bounds = g->BoundsRect(), overlap;
    if (!clipped || !IntersectRect(&overlap, &bounds, &clip)) continue;
    int saved = SaveDC(dc);
    MoveWindowOrg(dc, g->Left(), g->Top());
    IntersectClipRect(dc, 0, 0, g->Width(), g->Height());
    try {
      g->PaintTo(dc);
    } catch (...) {
      RestoreDC(dc, saved);
      throw;
    }
    RestoreDC(dc, saved);
  }
}

void TWinControl::WndProc(TMessage& message) {
  if (IsMouseMessage(message.Msg) && message.Msg != WM_MOUSEWHEEL && IsControlMouseMsg(message)) return;
  // A key going down is offered to the control as a notification first
  // (menu short cuts, ending a drag); a non-zero answer takes it.
  if ((message.Msg == WM_KEYDOWN || message.Msg == WM_SYSKEYDOWN) &&
      Perform(CN_BASE + message.Msg, message.WParam, message.LParam) != 0) {
    message.Result = 0;
    return;
  }
  // Without double clicks a second press is a press.
  if (message.Msg == WM_LBUTTONDBLCLK && !(ControlStyle() & csDoubleClicks)) message.Msg = WM_LBUTTONDOWN;
  TControl::WndProc(message);
}

bool TWinControl::IsControlMouseMsg(TMessage& message) {
  TControl* target = nullptr;
  TControl* capture = GetCaptureControl();
  POINT p = MessagePoint(message.LParam);
  if (capture && capture != this) {
    if (capture->Parent() == this && !dynamic_cast<TWinControl*>(capture)) target = capture;
  } else if (!capture) {
    target = ControlAtPos(p, false);
  }
  if (message.Msg == WM_MOUSEMOVE && !capture) {
    // Enter and leave for the graphic children the mouse crosses.
    if (FHandle && !FMouseInControl) {
      FMouseInControl = true;
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
      TrackMouseEvent(&track);
      Perform(CM_MOUSEENTER);
    }
    TrackMouseControl(target);
  }
  if (!target) return false;
  POINT local{p.x - target->Left(), p.y - target->Top()};
  TMessage forwarded{message.Msg, message.WParam, PointParam(local), 0};
  target->WindowProc()(forwarded);
  message.Result = forwarded.Result;
  return true;
}

void TWinControl::TrackMouseControl(TControl* control) {
  if (control == FMouseControl) return;
  TControl* old = std::exchange(FMouseControl, control);
  if (old) old->Perform(CM_MOUSELEAVE);
  if (control) control->Perform(CM_MOUSEENTER);
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
  UpdateAnchorRules();
  if (FHandle) SetWindowPos(FHandle, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  else {
    Resize();
    Realign();  // a window's own size change realigns through WM_SIZE
  }
  RequestAlign();
}

void TWinControl::ScaleControl(int M, int D) {
  // The children's new bounds are aligned once, at the end.
  DisableAlign();
  try {
    ScaleControls(M, D);
    TControl::ScaleControl(M, D);
    // The children were scaled with this control: no anchor moves them again.
    for (TControl* child : FControls) child->UpdateAnchorRules();
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
}

void TWinControl::ScaleControls(int M, int D) {
  const std::vector<TControl*> children = FControls;
  for (TControl* child : children)
    if (std::find(FControls.begin(), FControls.end(), child) != FControls.end()) child->ScaleControl(M, D);
}

void TWinControl::SetCtl3D(bool value) {
  FParentCtl3D = false;
  ApplyCtl3D(value);
}

void TWinControl::ApplyCtl3D(bool value) {
  if (value == FCtl3D) return;
  FCtl3D = value;
  Perform(CM_CTL3DCHANGED);
  NotifyChildren(CM_PARENTCTL3DCHANGED);
}

void TWinControl::SetParentCtl3D(bool value) {
  if (value == FParentCtl3D) return;
  FParentCtl3D = value;
  if (Parent() && !(ComponentState() & csLoading)) Perform(CM_PARENTCTL3DCHANGED);
}

void TWinControl::CMCtl3DChanged(TMessage&) { Invalidate(); }

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }

void TWinControl::CMParentCtl3DChanged(TMessage&) {
  if (!FParentCtl3D || !Parent()) return;
  ApplyCtl3D(Parent()->Ctl3D());
  FParentCtl3D = true;
}

void TWinControl::EnableAlign() {
  if (FAlignLevel > 0 && --FAlignLevel == 0 && FAlignPending) Realign();
}

void TWinControl::AlignControl(TControl* control) {
  if (IsDestroying()) return;
  if (FAlignLevel > 0) {
    FAlignPending = true;
    return;
  }
  FAlignPending = false;
  // A child moved by this pass (or by an override of AlignControls) asks
  // again: one pass at a time.
  if (FAlignRequested) return;
  FAlignRequested = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FAlignRequested};
  RECT rect = ClientRect();
  AdjustClientRect(rect);
  AlignControls(control, rect);
}

void TWinControl::AlignControls(TControl* control, RECT& rect) {
  // Placing a child asks again: one pass at a time.
  if (FAligning) return;
  FAligning = true;
  struct TReset {
    bool& Flag;
    ~TReset() { Flag = false; }
  } reset{FAligning};
  for (TControl* c : std::vector<TControl*>(FControls)) {
    // A child whose design is being read takes its distances at Loaded.
    if (c->Align() != TAlign::alNone || c->Anchors() == kDefaultAnchors || (c->ComponentState() & csLoading)) continue;
    const RECT r = c->AnchoredBounds();
    const bool saved = std::exchange(c->FAnchorMove, true);
    struct TRestore {
      bool& Flag;
      bool Value;
      ~TRestore() { Flag = Value; }
    } restore{c->FAnchorMove, saved};
    c->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  if (std::none_of(FControls.begin(), FControls.end(), [](TControl* c) { return c->Align() != TAlign::alNone; })) return;
  for (TAlign align : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    std::vector<TControl*> list;
    for (TControl* c : FControls)
      if (c->Align() == align && c->Visible()) list.push_back(c);
    // In their order along the edge; the control that moved goes first among equals.
    auto key = [align](TControl* c) {
      switch (align) {
        case TAlign::alBottom: return -(c->Top() + c->Height());
        case TAlign::alLeft: return c->Left();
        case TAlign::alRight: return -(c->Left() + c->Width());
        default: return c->Top();
      }
    };
    std::stable_sort(list.begin(), list.end(), [&](TControl* a, TControl* b) {
      return key(a) < key(b) || (key(a) == key(b) && a == control && b != control);
    });
    for (TControl* c : list) {
      const int w = rect.right - rect.left, h = rect.bottom - rect.top;
      switch (align) {
        case TAlign::alTop:
          c->SetBounds(rect.left, rect.top, w, c->Height());
          rect.top += c->Height();
          break;
        case TAlign::alBottom:
          c->SetBounds(rect.left, rect.bottom - c->Height(), w, c->Height());
          rect.bottom -= c->Height();
          break;
        case TAlign::alLeft:
          c->SetBounds(rect.left, rect.top, c->Width(), h);
          rect.left += c->Width();
          break;
        case TAlign::alRight:
          c->SetBounds(rect.right - c->Width(), rect.top, c->Width(), h);
          rect.right -= c->Width();
          break;
        default:
          c->SetBounds(rect.left, rect.top, w, h);
          break;
      }
    }
  }
}

void TWinControl::UpdateBounds() {
  if (!FHandle) return;
  RECT r;
  GetWindowRect(FHandle, &r);
  if (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_CHILD)
    MapWindowPoints(HWND_DESKTOP, GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
  const RECT old = BoundsRect();
  FLeft = r.left;
  FTop = r.top;
  FWidth = r.right - r.left;
  FHeight = r.bottom - r.top;
  if (!EqualRect(&old, &r) || !FParent) UpdateAnchorRules();
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

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

void TWinControl::SetTextValue(const WideString& text) {
  if (FHandle) SetWindowTextW(FHandle, text.c_str());  // WM_SETTEXT stores it
  else TControl::SetTextValue(text);
}

void TWinControl::DefaultHandler(TMessage& message) {
  if (message.Msg == CN_CTLCOLOREDIT || message.Msg == CN_CTLCOLORSTATIC) {
    HDC dc = reinterpret_cast<HDC>(message.WParam);
    SetTextColor(dc, ColorToRGB(Font().Color()));
    SetBkColor(dc, ColorToRGB(Color()));
    message.Result = reinterpret_cast<LRESULT>(Brush().Handle());
    return;
  }
  if (IsLibraryMessage(message.Msg) || !FHandle) {
    message.Result = 0;
    return;
  }
  message.Result = FDefWndProc ? CallWindowProcW(FDefWndProc, FHandle, message.Msg, message.WParam, message.LParam)
                               : DefWindowProcW(FHandle, message.Msg, message.WParam, message.LParam);
}

bool TWinControl::DoKeyDown(TMessage& message) {
  WORD key = WORD(message.WParam);
  TShiftState shift = KeyboardShiftState(message.LParam);
  TControl* top = TopParent();
  if (top != this && top->Perform(CM_CHILDKEY, key, reinterpret_cast<LPARAM>(this)) != 0) return true;
  KeyDown(key, shift);
  if (key == 0) return true;
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
  Realign();
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
  // The form tells the controls the focus leaves and enters; a control that
  // refuses to be left cancels the change, and this window hears no more of it.
  if (TCustomForm* form = GetParentForm(this)) {
    if (!form->SetFocusedControl(this)) {
      message.Result = 0;
      return;
    }
    TVK_INHERITED(message);
    return;
  }
  TVK_INHERITED(message);
  TControl* top = TopParent();
  if (top != this) top->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
  Perform(CM_ENTER);
}

void TWinControl::WMContextMenu(TMessage& message) {
  TControl* owner = this;
  while (owner && !owner->PopupMenu()) owner = owner->Parent();
  if (!owner) {
    TVK_INHERITED(message);
    return;
  }
  POINT p{static_cast<short>(LOWORD(message.LParam)), static_cast<short>(HIWORD(message.LParam))};
  if (p.x == -1 && p.y == -1) p = ClientToScreen(POINT{0, 0});
  owner->PopupMenu()->SetPopupComponent(this);
  owner->PopupMenu()->Popup(p.x, p.y);
  message.Result = 1;
}

void TWinControl::KeyDown(WORD& key, TShiftState shift) {
  if (OnKeyDown) OnKeyDown(this, key, shift);
}

void TWinControl::KeyPress(wchar_t& key) {
  if (OnKeyPress) OnKeyPress(this, key);
}

void TWinControl::WMChar(TMessage& message) {
  auto key = wchar_t(message.WParam);
  KeyPress(key);
  if (key == 0) {
    message.Result = 0;
    return;
  }
  TControl* top = TopParent();
  if (top != this && !(Perform(WM_GETDLGCODE, key) & (DLGC_WANTCHARS | DLGC_WANTALLKEYS)) &&
      top->Perform(CM_DIALOGCHAR, key, message.LParam) != 0) {
    message.Result = 0;
    return;
  }
  TVK_INHERITED(message);
}

void TWinControl::WMSysChar(TMessage& message) {
  TControl* top = TopParent();
  if (top->Perform(CM_DIALOGCHAR, message.WParam, message.LParam) != 0) {
    message.Result = 0;
    return;
  }
  TVK_INHERITED(message);
}

void TWinControl::CMDialogChar(TMessage& message) { Broadcast(message); }

void TWinControl::CMFocusChanged(TMessage& message) { Broadcast(message); }

void TWinControl::WMSysColorChange(TMessage& message) {
  Perform(CM_SYSCOLORCHANGE);
  TVK_INHERITED(message);
}

void TWinControl::CMSysColorChange(TMessage& message) {
  // Every child hears it, whatever one of them answers.
  for (std::size_t i = 0; i < FControls.size(); ++i) {
    TMessage copy = message;
    FControls[i]->WindowProc()(copy);
  }
}

void TWinControl::WMWinIniChange(TMessage& message) {
  Perform(CM_WININICHANGE, message.WParam, message.LParam);
  TVK_INHERITED(message);
}

void TWinControl::CMWinIniChange(TMessage& message) {
  for (std::size_t i = 0; i < FControls.size(); ++i) {
    TMessage copy = message;
    FControls[i]->WindowProc()(copy);
  }
}

void TWinControl::SelectFirst() {
  if (TWinControl* first = FindNextControl(nullptr, true, true, false)) first->SetFocus();
}

bool IsAccel(wchar_t key, const WideString& caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] == L'&') {
      ++i;  // "&&" is a plain ampersand
      continue;
    }
    return CharUpperW(reinterpret_cast<LPWSTR>(std::uintptr_t(key))) ==
           CharUpperW(reinterpret_cast<LPWSTR>(std::uintptr_t(caption[i + 1])));
  }
  return false;
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

void TWinControl::WMDrawItem(TMessage& message) {
  const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(message.LParam);
  TWinControl* child = item ? FindControl(item->hwndItem) : nullptr;
  if (child && child != this) {
    message.Result = child->Perform(CN_DRAWITEM, message.WParam, message.LParam);
    return;
  }
  TVK_INHERITED(message);
}

void TWinControl::WMScroll(TMessage& message) {
  TWinControl* child = message.LParam ? FindControl(reinterpret_cast<HWND>(message.LParam)) : nullptr;
  if (child && child != this) {
    message.Result = child->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
    return;
  }
  TVK_INHERITED(message);
}

void TWinControl::WMCtlColor(TMessage& message) {
  TWinControl* child = FindControl(reinterpret_cast<HWND>(message.LParam));
  if (child && child != this) {
    message.Result = child->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
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
  TrackMouseControl(nullptr);
  if (FMouseInControl) {
    FMouseInControl = false;
    Perform(CM_MOUSELEAVE);
  }
  TVK_INHERITED(message);
}

void TWinControl::WMSetCursor(TMessage& message) {
  if (reinterpret_cast<HWND>(message.WParam) == FHandle && LOWORD(message.LParam) == HTCLIENT) {
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(FHandle, &p);
    TControl* c = ControlAtPos(p, false);
    if (HCURSOR cursor = CursorHandle(c ? c->Cursor() : Cursor())) {
      ::SetCursor(cursor);
      message.Result = 1;
      return;
    }
  }
  TVK_INHERITED(message);
}

TVK_MESSAGE_MAP(TWinControl, {WM_WINDOWPOSCHANGED, &TWinControl::WMWindowPosChanged},
                {WM_SIZE, &TWinControl::WMSize}, {WM_SETTEXT, &TWinControl::WMSetText},
                {WM_KEYDOWN, &TWinControl::WMKeyDown}, {WM_SYSKEYDOWN, &TWinControl::WMKeyDown},
                {WM_CHAR, &TWinControl::WMChar}, {WM_SYSCHAR, &TWinControl::WMSysChar},
                {CM_DIALOGCHAR, &TWinControl::CMDialogChar}, {CM_FOCUSCHANGED, &TWinControl::CMFocusChanged},
                {WM_SETFOCUS, &TWinControl::WMSetFocus}, {WM_CONTEXTMENU, &TWinControl::WMContextMenu}, {WM_ERASEBKGND, &TWinControl::WMEraseBkgnd},
                {WM_COMMAND, &TWinControl::WMCommand}, {WM_NOTIFY, &TWinControl::WMNotify},
                {WM_DRAWITEM, &TWinControl::WMDrawItem},
                {WM_HSCROLL, &TWinControl::WMScroll}, {WM_VSCROLL, &TWinControl::WMScroll},
                {WM_CTLCOLOREDIT, &TWinControl::WMCtlColor}, {WM_CTLCOLORSTATIC, &TWinControl::WMCtlColor},
                {CM_SHOWINGCHANGED, &TWinControl::CMShowingChanged},
                {CM_VISIBLECHANGED, &TWinControl::CMVisibleChanged},
                {CM_ENABLEDCHANGED, &TWinControl::CMEnabledChanged}, {CM_DIALOGKEY, &TWinControl::CMDialogKey},
                {CM_RECREATEWND, &TWinControl::CMRecreateWnd}, {WM_MOUSEMOVE, &TWinControl::WMMouseMove},
                {CM_ENTER, &TWinControl::CMEnter}, {CM_EXIT, &TWinControl::CMExit},
                {CM_CTL3DCHANGED, &TWinControl::CMCtl3DChanged},
                {CM_PARENTCTL3DCHANGED, &TWinControl::CMParentCtl3DChanged},
                {WM_SYSCOLORCHANGE, &TWinControl::WMSysColorChange},
                {CM_SYSCOLORCHANGE, &TWinControl::CMSysColorChange},
                {WM_WININICHANGE, &TWinControl::WMWinIniChange}, {CM_WININICHANGE, &TWinControl::CMWinIniChange},
                {WM_MOUSELEAVE, &TWinControl::WMMouseLeave}, {WM_SETCURSOR, &TWinControl::WMSetCursor})

// ---- TCustomControl

void TCustomControl::Paint() {
  if (OnPaint) OnPaint(this);
}

void TCustomControl::PaintOn(HDC dc) {
  PaintWithCanvas(FCanvas, dc, *this, [this] { Paint(); });
  PaintControls(dc);
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

// ---- TGraphicControl

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}

TGraphicControl::~TGraphicControl() {
  // Its pixels go with it.
  if (Parent() && Visible()) Invalidate();
}

void TGraphicControl::Invalidate() {
  TWinControl* parent = Parent();
  if (!parent || !parent->HandleAllocated()) return;
  RECT r = BoundsRect();
  InvalidateRect(parent->Handle(), &r, TRUE);
}

void TGraphicControl::SetBounds(int left, int top, int width, int height) {
  if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
  Invalidate();  // where it was
  TControl::SetBounds(left, top, width, height);
  Invalidate();
}

void TGraphicControl::PaintTo(HDC dc) {
  PaintWithCanvas(FCanvas, dc, *this, [this] { Paint(); });
}

void TGraphicControl::CMVisibleChanged(TMessage&) {
  TWinControl* parent = Parent();
  if (parent && parent->HandleAllocated()) {
    RECT r = BoundsRect();
    InvalidateRect(parent->Handle(), &r, TRUE);
  }
}

void TGraphicControl::CMTextChanged(TMessage&) { Invalidate(); }
void TGraphicControl::CMEnabledChanged(TMessage&) { Invalidate(); }

TVK_MESSAGE_MAP(TGraphicControl, {CM_VISIBLECHANGED, &TGraphicControl::CMVisibleChanged},
                {CM_TEXTCHANGED, &TGraphicControl::CMTextChanged},
                {CM_ENABLEDCHANGED, &TGraphicControl::CMEnabledChanged})

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

// ---- TControlCanvas and the input method's result

void TControlCanvas::SetControl(TControl* control) {
  if (control == FControl) return;
  FreeHandle();
  FControl = control;
}

void TControlCanvas::FreeHandle() {
  if (!FOwnDC) return;
  SetHandle(nullptr);
  ReleaseDC(FWindow, FOwnDC);
  FOwnDC = nullptr;
  FWindow = nullptr;
}

void TControlCanvas::CreateHandle() {
  if (!FControl) return;
  POINT origin{0, 0};
  TControl* windowed = FControl;
  while (windowed && !dynamic_cast<TWinControl*>(windowed)) {
    origin.x += windowed->Left();
    origin.y += windowed->Top();
    windowed = windowed->Parent();
  }
  auto* control = dynamic_cast<TWinControl*>(windowed);
  if (!control || !control->HandleAllocated()) return;
  FWindow = control->Handle();
  FOwnDC = GetDC(FWindow);
  if (!FOwnDC) return;
  SetWindowOrgEx(FOwnDC, -origin.x, -origin.y, nullptr);
  SetHandle(FOwnDC);
}

namespace {

WideString SystemImeResultString(HWND window) {
  WideString result;
  if (HIMC context = ImmGetContext(window)) {
    LONG bytes = ImmGetCompositionStringW(context, GCS_RESULTSTR, nullptr, 0);
    if (bytes > 0) {
      result.assign(std::size_t(bytes) / sizeof(wchar_t), L'\0');
      ImmGetCompositionStringW(context, GCS_RESULTSTR, result.data(), DWORD(bytes));
    }
    ImmReleaseContext(window, context);
  }
  return result;
}

TImeResultReader gImeResultReader = &SystemImeResultString;

}  // namespace

WideString ImeResultString(HWND window) { return gImeResultReader(window); }

void SetImeResultReader(TImeResultReader reader) { gImeResultReader = reader ? reader : &SystemImeResultString; }

namespace {
SHORT SystemKeyState(int virtualKey) { return GetKeyState(virtualKey); }
TKeyStateReader gKeyStateReader = &SystemKeyState;
}  // namespace

SHORT KeyState(int virtualKey) { return gKeyStateReader(virtualKey); }

void SetKeyStateReader(TKeyStateReader reader) { gKeyStateReader = reader ? reader : &SystemKeyState; }

// ---- Components found by name from outside

UINT ComponentQueryMessage() {
  static const UINT message = RegisterWindowMessageW(L"Tovik.ComponentQuery");
  return message;
}

namespace {

struct TComponentSearch {
  std::wstring Name;
  TComponentQuery Query{};
  HWND Found = nullptr;
  bool Ask(HWND window) {
    Query = TComponentQuery{Name.c_str(), RECT{}};
    if (SendMessageW(window, ComponentQueryMessage(), reinterpret_cast<WPARAM>(&Query), 0) != 1) return false;
    Found = window;
    return true;
  }
};

// A window procedure's calling convention, which a lambda lacks on i686.
BOOL CALLBACK AskComponentWindow(HWND window, LPARAM data) {
  return reinterpret_cast<TComponentSearch*>(data)->Ask(window) ? FALSE : TRUE;
}

}  // namespace

HWND FindComponentWindow(HWND root, std::wstring_view name, RECT* bounds) {
  if (!root || name.empty()) return nullptr;
  TComponentSearch search{std::wstring(name)};
  if (!search.Ask(root)) EnumChildWindows(root, &AskComponentWindow, reinterpret_cast<LPARAM>(&search));
  if (search.Found && bounds) *bounds = search.Query.Bounds;
  return search.Found;
}

}  // namespace tvk
