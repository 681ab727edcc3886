#pragma once
// Controls: TControl (parent, bounds, visibility, enabled state, text, colour,
// font) and TWinControl, a control on a real window whose window procedure
// hands every message to WndProc, which dispatches it by message number
// through the class's message table; state changes travel as CM_* messages,
// and WM_COMMAND / WM_NOTIFY / WM_DRAWITEM come back to the child control as CN_*.
// TCustomControl adds a canvas and Paint.
#include "Graphics.h"

#include <memory>
#include <optional>
#include <vector>

namespace tvk {

class TWinControl;
class TPopupMenu;
class TBasicAction;
class TControlActionLink;
class TControl;
class TDragObject;
class TDragControlObject;
class TDragImageList;

// Shift state of a key or mouse event.
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;
// The shift keys held now (Alt also from a key message's data).
TShiftState KeyboardShiftState(LPARAM keyData = 0);

using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, wchar_t& Key)>;
// Whether Key is the accelerator of Caption (the character after a single
// "&"), letters compared without case.
bool IsAccel(wchar_t key, const WideString& caption);

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

// Scroll bars: their orientation and the scroll codes (the system's SB_ values).
enum TScrollBarKind { sbHorizontal, sbVertical };
enum TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using TScrollEvent = std::function<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// Dragging a control onto another: how a drag starts, the steps a target
// is told of, and the events of both ends.
enum class TDragMode { dmManual, dmAutomatic };
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using TDragOverEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
// A drag's start at its source: the handler may supply the drag object (it
// stays the handler's; the library makes one of its own when none comes).
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
// Makes the drag object a control's drag carries when nothing else supplies one.
using TDragControlObjectClass = TDragControlObject* (*)(TControl* control);

// Where a control keeps itself inside its parent's client area.
enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
// The edges of its parent's client area a control keeps its distance to when
// the parent resizes (a set of these flags).
enum TAnchorKind : unsigned { akLeft = 1u << 0, akTop = 1u << 1, akRight = 1u << 2, akBottom = 1u << 3 };
using TAnchors = unsigned;
constexpr TAnchors kDefaultAnchors = akLeft | akTop;
// What a windowed control asks of the input method while it has the focus:
// imDisable takes the input context from its window, imClose and imOpen
// close and open the context, imDontCare leaves it as it is; the other
// conversion modes are kept for the input method but change nothing here.
enum class TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
                      imSHanguel, imHanguel };
// How text sits across the width it is given.
enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// Mouse cursors: the library's numbers, mapped to system cursors when shown.
using TCursor = int;
constexpr TCursor crDefault = 0, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNS = -7, crSizeWE = -9,
                  crHourGlass = -11,
                  crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15, crMultiDrag = -16, crNo = -18,
                  crHandPoint = -21;
// The system cursor shown for Cursor (null for crDefault: the window's own).
HCURSOR CursorHandle(TCursor cursor);
// A window method: the code that handles a message and the object it runs on.
// Two are equal when both are, so a replaced method can be put back exactly.
class TWndMethod {
public:
  using TCode = void (*)(void* data, TMessage& message);
  constexpr TWndMethod() = default;
  constexpr TWndMethod(void* data, TCode code) : FData(data), FCode(code) {}
  void operator()(TMessage& message) const { FCode(FData, message); }
  explicit operator bool() const { return FCode != nullptr; }
  bool operator==(const TWndMethod&) const = default;
  void* Data() const { return FData; }

private:
  void* FData = nullptr;
  TCode FCode = nullptr;
};

// The window method Method of Object: WndMethodOf<&TMyControl::MyWndProc>(this).
template <auto Method, class C>
TWndMethod WndMethodOf(C* object) {
  return TWndMethod(object, [](void* data, TMessage& message) { (static_cast<C*>(data)->*Method)(message); });
}

// The mouse settings the controls share.
struct TMouse {
  // How far (in pixels, both ways) the mouse moves before a press becomes a drag.
  int DragThreshold = 5;
  // Lines one notch of the wheel scrolls: the system's setting, unless set here (tests).
  std::optional<int> WheelScrollLinesOverride;
  int WheelScrollLines() const;
};
TMouse& Mouse();

// What a kind of control is (set by its constructor) and what it is doing now.
enum TControlStyleFlag : unsigned {
  csAcceptsControls = 1u << 0,
  csCaptureMouse = 1u << 1,      // holds the mouse while a button is down on it
  csClickEvents = 1u << 3,       // a press and release on it is a click
  csFramed = 1u << 4,            // has a frame of its own
  csSetCaption = 1u << 5,        // its name becomes its caption in the designer
  csDoubleClicks = 1u << 7,      // hears double clicks (else a second press)
  csNoDesignVisible = 1u << 11,  // invisible in the designer
  csOpaque = 1u << 6,            // paints every pixel of its client area
  csDisplayDragImage = 1u << 13, // shows the drag image while something is dragged over it
  csReplicatable = 1u << 14,     // may be painted as a copy of itself
  csActionClient = 1u << 15,     // takes part in action updates
};
using TControlStyle = unsigned;
enum TControlStateFlag : unsigned {
  csLButtonDown = 1u << 0,
  csClicked = 1u << 1,     // a press that a release inside makes a click
  csFocusing = 1u << 5,
  csCreating = 1u << 6,
  csPaintCopy = 1u << 7,  // painting a copy of itself (a print), not its window
};
using TControlState = unsigned;
// Which of a control's values a scaling may change while the control is
// loading: those its design set (when it is not loading, all of them).
enum TScalingFlag : unsigned {
  sfLeft = 1u << 0,
  sfTop = 1u << 1,
  sfWidth = 1u << 2,
  sfHeight = 1u << 3,
  sfFont = 1u << 4,
};
using TScalingFlags = unsigned;
constexpr TScalingFlags sfAll = sfLeft | sfTop | sfWidth | sfHeight | sfFont;

class TControl : public TComponent {
public:
  TVK_CLASS(TControl, TComponent)
  explicit TControl(TComponent* owner);
  ~TControl() override;  // leaves its parent

  TWinControl* Parent() const { return FParent; }
  // Moves the control into Parent's children (null: out of any).
  virtual void SetParent(TWinControl* parent);
  // The outermost parent (the control itself without one).
  TControl* TopParent();

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  virtual void SetBounds(int left, int top, int width, int height);
  void SetLeft(int v) { SetBounds(v, FTop, FWidth, FHeight); }
  void SetTop(int v) { SetBounds(FLeft, v, FWidth, FHeight); }
  void SetWidth(int v) { SetBounds(FLeft, FTop, v, FHeight); }
  void SetHeight(int v) { SetBounds(FLeft, FTop, FWidth, v); }
  virtual int ClientWidth() { return FWidth; }
  virtual int ClientHeight() { return FHeight; }

  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible on screen: visible itself and inside a shown parent.
  virtual bool Showing();
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);

  // The caption or text (the same value).
  const WideString& Text() const { return FText; }
  void SetText(const WideString& text);
  const WideString& Caption() const { return FText; }
  void SetCaption(const WideString& text) { SetText(text); }

  TColor Color() const { return FColor; }
  // Sets the control's own colour: ParentColor goes off.
  void SetColor(TColor color);
  // A change of the font (through Font()) makes it the control's own: ParentFont goes off.
  TFont& Font() { return FFont; }
  // The control takes its parent's colour (font) when it is placed and at
  // every change of the parent's, until a colour (font) is set on it.
  // ParentFont starts on, ParentColor off.
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle style) { FControlStyle = style; }

  // Scaling by M/D (MulDiv, each value rounded): the bounds and, unless
  // ParentFont is on, the font size; while the control is loading only what
  // ScalingFlags names. The flags are cleared afterwards. Nothing happens
  // unless M and D are positive and differ.
  virtual void ScaleControl(int M, int D);
  // Scales the control's size and its children (their bounds and fonts);
  // the control stays where it is.
  void ScaleBy(int M, int D);
  TScalingFlags ScalingFlags() const { return FScalingFlags; }
  void SetScalingFlags(TScalingFlags flags) { FScalingFlags = flags; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState state) { FControlState = state; }

  RECT ClientRect() { return RECT{0, 0, ClientWidth(), ClientHeight()}; }
  // Aligned controls are placed by their parent (AlignControls) at every change;
  // the parent hears of every other child's move, resize, insertion or showing too.
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign value);
  // Anchors: when the parent resizes, a control anchored on one side of a
  // direction keeps its distance to that edge, on both sides it stretches,
  // on neither its centre keeps its place in proportion. The distances are
  // taken whenever the control is placed, moved or anchored other than by
  // its parent's resize (while it loads: at Loaded, once the design is whole).
  // Aligned controls follow their alignment instead.
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors value);
  // Client coordinates to the screen's and back; to the coordinates of
  // Parent (an ancestor; null: the direct parent).
  POINT ClientToScreen(POINT point);
  POINT ScreenToClient(POINT point);
  POINT ClientToParent(POINT point, TWinControl* parent = nullptr);

  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor cursor);
  // The menu a right click or the menu key opens over the control (not owned).
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* menu);
  const WideString& Hint() const { return FHint; }
  void SetHint(const WideString& hint) { FHint = hint; }
  bool ShowHint() const { return FShowHint; }
  // A change is CM_SHOWHINTCHANGED to the control.
  void SetShowHint(bool value);

  // The mouse is captured by this control (its window, or its parent's for it).
  bool MouseCapture();
  void SetMouseCapture(bool value);

  // The action whose caption, state and execution the control follows (not owned).
  TBasicAction* Action() const;
  void SetAction(TBasicAction* action);
  TControlActionLink* ActionLink() const { return FActionLink.get(); }

  // Runs a message through WindowProc now; answers its result.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // The method every message of the control goes to: WndProc unless replaced
  // (a subclassing chain keeps the previous one and passes messages on to it).
  const TWndMethod& WindowProc() const { return FWindowProc; }
  void SetWindowProc(const TWndMethod& method) { FWindowProc = method; }
  // Every message of the control passes here: dispatch by number.
  virtual void WndProc(TMessage& message);
  virtual void Invalidate() {}
  // Paints now what is invalid (the parent's window for a control without one).
  virtual void Update();

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;

  // Dragging: dmAutomatic starts a drag from a left-button press (the
  // control's own code may start one itself with BeginDrag). A drag holds
  // the mouse; targets are told through DragOver, the drop through DragDrop
  // on the target under the mouse at release, Escape or a lost capture
  // cancels it, and the source hears the end in OnEndDrag (target null when
  // nothing took it).
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode value) { AssignDragMode(value); }
  // The cursor a drag of this control shows over a target that accepts it.
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor value) { FDragCursor = value; }
  // Immediate: the drag starts now; otherwise once the mouse has moved
  // Threshold pixels (negative: Mouse().DragThreshold) with the button down.
  void BeginDrag(bool immediate, int threshold = -1);
  void EndDrag(bool drop);
  bool Dragging() const;
  // A drag over the control (Accept starts false: OnDragOver decides) and a drop on it.
  virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
  virtual void DragDrop(TObject* source, int x, int y);
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;
  TStartDragEvent OnStartDrag;
  // The picture a drag of this control shows (null: none).
  virtual TDragImageList* GetDragImages() { return nullptr; }
  // The end of a drag at its source (OnEndDrag here); Target null when nothing took it.
  virtual void DoEndDrag(TObject* target, int x, int y);
  // A drag of this control ended without a drop, before DoEndDrag.
  virtual void HandleDragCancel() {}

protected:
  // The drag is starting: OnStartDrag may supply its object.
  virtual void HandleDragStart(TDragObject*& dragObject);
  // The object a drag carries when HandleDragStart supplied none.
  virtual TDragControlObjectClass GetDragObjectClass();
  virtual void AssignDragMode(TDragMode value) { FDragMode = value; }
  // The link a new action gets; descendants answer their own kind.
  virtual std::unique_ptr<TControlActionLink> CreateActionLink();
  // The action (Sender) changed: caption, enabled state, hint, visibility and
  // click handler follow it (with CheckDefaults only where still default).
  virtual void ActionChange(TObject* sender, bool checkDefaults);
  friend class TControlActionLink;
  void Notification(TComponent* component, TOperation operation) override;
  // Takes the anchor distances once the design is read.
  void Loaded() override;
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void DblClick();
  // Asks the parent to place the aligned controls again.
  virtual void RequestAlign();
  // Raises when the control may not be placed in Container (before it is).
  virtual void ValidateContainer(TWinControl* container) { (void)container; }
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void WMLButtonDown(TMessage& message);
  void WMLButtonUp(TMessage& message);
  void WMLButtonDblClk(TMessage& message);
  void WMRButtonDown(TMessage& message);
  void WMRButtonUp(TMessage& message);
  void WMMouseMoveEvent(TMessage& message);

  // Stores the text; a windowed control with a window sets its window text.
  virtual void SetTextValue(const WideString& text);
  virtual void Click();
  virtual void Resize();

  // Takes a colour (font) the control derives rather than one set on it:
  // ParentColor (ParentFont) stays as it is. Children hear of the change.
  void ApplyColor(TColor color);
  void ApplyFont(const TFont& font);

  TVK_MESSAGES();
  void CMColorChanged(TMessage& message);
  void CMFontChanged(TMessage& message);
  // The parent's colour (font) changed: taken over while ParentColor (ParentFont) is on.
  void CMParentColorChanged(TMessage& message);
  void CMParentFontChanged(TMessage& message);

  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TControlStyle FControlStyle = 0;
  TControlState FControlState = 0;
  bool FVisible = true;
  bool FEnabled = true;
  WideString FText;

private:
  friend class TWinControl;
  TPopupMenu* FPopupMenu = nullptr;
  void DoMouseDown(TMessage& message, TMouseButton button, TShiftState extra);
  void DoMouseUp(TMessage& message, TMouseButton button);
  TWinControl* FParent = nullptr;
  TCursor FCursor = crDefault;
  TAlign FAlign = TAlign::alNone;
  WideString FHint;
  bool FShowHint = false;
  std::unique_ptr<TControlActionLink> FActionLink;
  TWndMethod FWindowProc;
  TDragMode FDragMode = TDragMode::dmManual;
  TCursor FDragCursor = crDrag;
  TColor FColor = clBtnFace;
  TFont FFont;
  bool FParentColor = false;
  bool FParentFont = true;
  bool FApplyingFont = false;  // a derived font is being taken: ParentFont stays
  TScalingFlags FScalingFlags = 0;
  TAnchors FAnchors = kDefaultAnchors;
  RECT FAnchorBounds{};      // the bounds the anchor distances are taken from
  SIZE FAnchorParentSize{};  // the parent's size then (outer: its frame is no resize)
  bool FAnchorMove = false;  // the parent is moving it by its anchors
  // Takes the distances to the parent's edges the anchors keep.
  void UpdateAnchorRules();
  // Where the anchors put the control in its parent now.
  RECT AnchoredBounds() const;
  // Sends Msg to every child control (a windowed control's).
  void NotifyChildren(UINT msg);
};

// The parameters a windowed control's window is created with.
struct TCreateParams {
  WideString Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  UINT WindowClassStyle = CS_DBLCLKS;
  WideString WinClassName;  // the control's class name unless a descendant says otherwise
  WideString SubClassName;  // a system class the window class is made from (cut to 63 characters)
  UINT SubClassStyle = 0;   // that window class's style; 0 keeps the system class's
};

class TWinControl : public TControl {
public:
  TVK_CLASS(TWinControl, TControl)
  explicit TWinControl(TComponent* owner);
  // Destroys its window, then frees its child controls.
  ~TWinControl() override;

  // The window, created (with its parents' windows) when there is none.
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded() { Handle(); }
  // The window to sit in when the control has no parent control (a host window).
  HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND window);
  // Destroys the window (the children's first); the control keeps its state for the next one.
  void DestroyHandle();
  void RecreateWnd();

  int ControlCount() const { return int(FControls.size()); }
  TControl* Controls(int index) const;
  bool ContainsControl(const TControl* control) const;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);

  // The control under Window, when it is one of the library's.
  static TWinControl* FindControl(HWND window);
  // The child control at Point (client coordinates), the last placed first;
  // windowed children only with AllowWinControls. Null when none.
  TControl* ControlAtPos(POINT point, bool allowDisabled, bool allowWinControls = false) const;
  // Paints the graphic children that are visible into Dc (the control's client coordinates).
  void PaintControls(HDC dc);
  // Aligning is put off while disabled (nesting); enabling runs what was put off.
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();
  bool AlignDisabled() const { return FAlignLevel > 0; }
  // Places the aligned children; Control (may be null) goes first among equals.
  void AlignControl(TControl* control);
  void Realign() { AlignControl(nullptr); }
  // The area the aligned children share: the client area, less what a descendant keeps.
  virtual void AdjustClientRect(RECT& rect) { (void)rect; }
  // The children scaled first, then the control itself, with aligning put off.
  void ScaleControl(int M, int D) override;
  // Scales every child control (ScaleControl).
  void ScaleControls(int M, int D);

  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value) { FTabStop = value; }
  int TabOrder() const;
  void SetTabOrder(int order);
  // Windowed descendants in tab order, depth first.
  virtual void GetTabOrderList(std::vector<TWinControl*>& list) const;
  // The next (or previous) focusable control after Current in tab order; null if none.
  TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop, bool checkParent) const;
  // Focuses the next control; false when there is none.
  bool SelectNext(TWinControl* current, bool forward, bool checkTabStop);
  // Focuses the first focusable child in tab order (an accelerator of a container).
  void SelectFirst();

  // Visible and enabled up to the outermost parent (which is not asked).
  bool CanFocus() const;
  // A control made of several windows may answer for all of them.
  virtual bool Focused() const;
  // Raises "Cannot focus a disabled or invisible window" when it cannot.
  virtual void SetFocus();

  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool value) { FDoubleBuffered = value; }
  // Whether the control draws its frame sunken (3-D); it follows the parent's
  // (CM_PARENTCTL3DCHANGED) while ParentCtl3D is on, which setting Ctl3D
  // turns off. A change is CM_CTL3DCHANGED to the control. Both start on.
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool value);
  bool ParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool value);
  // The input method's mode, applied to the window's input context when the
  // window is made and at every change; the input method's name is kept.
  TImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode value);
  const WideString& ImeName() const { return FImeName; }
  void SetImeName(const WideString& value) { FImeName = value; }
  // A brush in the control's colour, kept in step with it; its handle stays
  // the control's until the colour changes.
  TBrush& Brush();

  bool Showing() override;
  void SetBounds(int left, int top, int width, int height) override;
  int ClientWidth() override;
  int ClientHeight() override;
  void Invalidate() override;
  void Update() override;
  void DefaultHandler(TMessage& message) override;
  // Mouse messages for a graphic child (captured or under the mouse) go to it.
  void WndProc(TMessage& message) override;

  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  // The control took the focus (CM_ENTER) or lost it to another of its form (CM_EXIT).
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

protected:
  // OnEnter and OnExit here.
  virtual void DoEnter();
  virtual void DoExit();
  // A key went down (OnKeyDown here); clearing Key ends its handling.
  virtual void KeyDown(WORD& key, TShiftState shift);
  // A typed character (OnKeyPress here); clearing Key ends its handling.
  virtual void KeyPress(wchar_t& key);
  virtual void CreateParams(TCreateParams& params);
  virtual void CreateWindowHandle(const TCreateParams& params);
  virtual void CreateWnd();
  // Makes the window and the windows of visible windowed children.
  virtual void CreateHandle();
  virtual void DestroyWindowHandle();
  void SetTextValue(const WideString& text) override;
  // Reads the window's position back into the bounds.
  void UpdateBounds();
  // Shows, hides or creates the window after Visible or the parent changed.
  void UpdateControlState();
  // Key handling before the window's own: the form's child-key and dialog-key
  // messages and OnKeyDown; true when the key is taken.
  virtual bool DoKeyDown(TMessage& message);
  // Sends Message to every child control until one answers non-zero.
  void Broadcast(TMessage& message);
  bool Recreating() const { return FRecreating; }
  // Moves the children that anchors place, then the aligned ones.
  virtual void AlignControls(TControl* control, RECT& rect);
  // Raises when Control may not be placed in this one (before it is).
  virtual void ValidateInsert(TControl* control) { (void)control; }
  // Takes a Ctl3D the control derives rather than one set on it: ParentCtl3D
  // stays as it is. Children hear of the change.
  void ApplyCtl3D(bool value);

  TVK_MESSAGES();
  void WMWindowPosChanged(TMessage& message);
  void WMSize(TMessage& message);
  void WMSetText(TMessage& message);
  void WMKeyDown(TMessage& message);
  // KeyPress, then a character that the control does not take goes to the
  // form as CM_DIALOGCHAR (buttons' accelerators without Alt).
  void WMChar(TMessage& message);
  // Alt with a character: the form's CM_DIALOGCHAR first.
  void WMSysChar(TMessage& message);
  void CMDialogChar(TMessage& message);
  // Passed on to the children (default buttons follow the focus).
  void CMFocusChanged(TMessage& message);
  void WMSetFocus(TMessage& message);
  // Opens the control's PopupMenu (or the nearest parent's) at the point, or at the control for the menu key.
  void WMContextMenu(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMCommand(TMessage& message);
  void WMDrawItem(TMessage& message);
  void WMNotify(TMessage& message);
  // A scroll-bar child's WM_HSCROLL or WM_VSCROLL goes back to it as CN_HSCROLL or CN_VSCROLL.
  void WMScroll(TMessage& message);
  // An edit's or static child's colours are asked of it as CN_CTLCOLOREDIT / CN_CTLCOLORSTATIC;
  // unanswered there, its font colour on its own colour.
  void WMCtlColor(TMessage& message);
  void CMShowingChanged(TMessage& message);
  void CMVisibleChanged(TMessage& message);
  void CMEnabledChanged(TMessage& message);
  void CMDialogKey(TMessage& message);
  void CMRecreateWnd(TMessage& message);
  void CMCtl3DChanged(TMessage& message);
  void CMEnter(TMessage& message);
  void CMExit(TMessage& message);
  // The system tells top-level windows only: a window's controls hear it as
  // CM_SYSCOLORCHANGE, passed on down to every child.
  void WMSysColorChange(TMessage& message);
  void CMSysColorChange(TMessage& message);
  // The same for a change of the user's settings: CM_WININICHANGE, passed on down.
  void WMWinIniChange(TMessage& message);
  void CMWinIniChange(TMessage& message);
  // The parent's Ctl3D changed: taken over while ParentCtl3D is on.
  void CMParentCtl3DChanged(TMessage& message);
  // The mouse's first move over the window sends CM_MOUSEENTER, its leaving CM_MOUSELEAVE.
  void WMMouseMove(TMessage& message);
  void WMMouseLeave(TMessage& message);
  void WMSetCursor(TMessage& message);

protected:
  // A mouse message for a windowless child under the point (or holding the
  // mouse) goes to it; true when it went.
  bool IsControlMouseMsg(TMessage& message);

private:
  void TrackMouseControl(TControl* control);
  friend LRESULT CALLBACK ControlWindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND FHandle = nullptr;
  HWND FParentWindow = nullptr;
  WNDPROC FDefWndProc = nullptr;  // the system class's procedure of a superclassed window
  std::vector<TControl*> FControls;    // children, in insertion order
  std::vector<TWinControl*> FTabList;  // windowed children, in tab order
  bool FTabStop = false;
  bool FDoubleBuffered = false;
  bool FCtl3D = true;
  bool FParentCtl3D = true;
  TImeMode FImeMode = TImeMode::imDontCare;
  WideString FImeName;
  // ImeMode on the window's input context.
  void ApplyImeMode();
  TBrush FBrush;
  bool FRecreating = false;
  bool FMouseInControl = false;
  TControl* FMouseControl = nullptr;  // the graphic child the mouse is over
  int FAlignLevel = 0;
  bool FAlignPending = false;
  bool FAligning = false;
  bool FAlignRequested = false;  // inside AlignControl: what the pass moves does not ask again
};

// A windowed control that paints itself on a canvas.
class TCustomControl : public TWinControl {
public:
  TVK_CLASS(TCustomControl, TWinControl)
  explicit TCustomControl(TComponent* owner) : TWinControl(owner) {}
  // The canvas while a paint message is served.
  TCanvas& Canvas() { return FCanvas; }
  std::function<void(TObject* Sender)> OnPaint;

protected:
  virtual void Paint();
  TVK_MESSAGES();
  // WM_PAINT into the context in WParam when one is given, else the window's;
  // double-buffered controls paint into a memory bitmap first.
  void WMPaint(TMessage& message);
  // A print of the client area: painted as WM_PAINT into the given context.
  void WMPrintClient(TMessage& message);

private:
  void PaintOn(HDC dc);
  TCanvas FCanvas;
};

// A control without a window of its own: painted by its parent on the
// parent's context, its mouse messages passed on by the parent.
class TGraphicControl : public TControl {
public:
  TVK_CLASS(TGraphicControl, TControl)
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  // The canvas while it paints.
  TCanvas& Canvas() { return FCanvas; }
  void Invalidate() override;
  void SetBounds(int left, int top, int width, int height) override;
  // Paints the control into Dc, whose origin is the control's top-left.
  void PaintTo(HDC dc);

protected:
  virtual void Paint() {}
  TVK_MESSAGES();
  void CMVisibleChanged(TMessage& message);
  void CMTextChanged(TMessage& message);
  void CMEnabledChanged(TMessage& message);

private:
  TCanvas FCanvas;
};

// A canvas bound to a control: asked for a context outside painting, it takes
// one of the control's window (its parent's for a control without a window,
// moved to the control's corner) and gives it back at FreeHandle and when it goes.
class TControlCanvas : public TCanvas {
public:
  TVK_CLASS(TControlCanvas, TCanvas)
  TControlCanvas() = default;
  ~TControlCanvas() override { FreeHandle(); }
  TControlCanvas(const TControlCanvas&) = delete;
  TControlCanvas& operator=(const TControlCanvas&) = delete;
  TControl* Control() const { return FControl; }
  void SetControl(TControl* control);
  // Gives back the context this canvas took (a context lent by SetHandle is only forgotten).
  void FreeHandle();

protected:
  void CreateHandle() override;

private:
  TControl* FControl = nullptr;
  HWND FWindow = nullptr;
  HDC FOwnDC = nullptr;
};

// The result string of the input method's composition in Window (empty
// without an input context or a result). One reader serves every control;
// tests put their own in (null puts the system's back).
using TImeResultReader = WideString (*)(HWND window);
WideString ImeResultString(HWND window);
void SetImeResultReader(TImeResultReader reader);

// The state of a virtual key as the thread's input saw it (GetKeyState: the
// high bit set while it is down). One reader serves every caller; tests put
// their own in (null puts the system's back).
using TKeyStateReader = SHORT (*)(int virtualKey);
SHORT KeyState(int virtualKey);
void SetKeyStateReader(TKeyStateReader reader);

// The control that holds the mouse capture now (null: none of the library's).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* control);
// The control under the screen point Pos, down to graphic controls; disabled
// ones too with AllowDisabled.
TControl* FindDragTarget(POINT pos, bool allowDisabled);

// What a drag carries from its source to its targets. The library tells it
// where the drag is and asks it for the cursor and the picture; Finished is
// its last call (the object may free itself there).
class TDragObject : public TObject {
public:
  TVK_CLASS(TDragObject, TObject)
  TDragObject() = default;
  TDragObject(const TDragObject&) = delete;
  TDragObject& operator=(const TDragObject&) = delete;
  // The screen point the drag is at, the target under it and whether it was dropped there.
  POINT DragPos() const { return FDragPos; }
  TControl* DragTarget() const { return FDragTarget; }
  // The target point in the target's client coordinates.
  POINT DragTargetPos() const { return FDragTargetPos; }
  bool Dropped() const { return FDropped; }
  // The cursor over a target at X, Y (its client point).
  TCursor DragCursor(bool accepted, int x, int y) { return DragCursorFor(accepted, x, y); }
  // The drag ended on Target (null: nowhere) at X, Y.
  virtual void Finished(TObject* target, int x, int y, bool accepted);
  // The picture that follows the mouse (null: none).
  virtual TDragImageList* GetDragImages() { return nullptr; }
  // Show or hide the picture of this object's drag while it runs (around painting under it).
  void ShowDragImage();
  void HideDragImage();

protected:
  virtual TCursor DragCursorFor(bool accepted, int x, int y);

private:
  friend struct TDragObjectAccess;
  POINT FDragPos{};
  POINT FDragTargetPos{};
  TControl* FDragTarget = nullptr;
  bool FDropped = false;
};

// A drag of a control: its cursor and picture are the control's, and its end
// is the control's DoEndDrag.
class TDragControlObject : public TDragObject {
public:
  TVK_CLASS(TDragControlObject, TDragObject)
  explicit TDragControlObject(TControl* control) : FControl(control) {}
  TControl* Control() const { return FControl; }
  void Finished(TObject* target, int x, int y, bool accepted) override;
  TDragImageList* GetDragImages() override;

protected:
  TCursor DragCursorFor(bool accepted, int x, int y) override;

private:
  TControl* FControl;
};

// Makes a drag object of class T for Control (a TDragControlObjectClass).
template <class T>
TDragControlObject* MakeDragObject(TControl* control) {
  return new T(control);
}

// The object of the drag in progress (null: none).
TDragObject* DragObject();
// Ends the drag in progress without a drop.
void CancelDrag();

// Paints Control's parent (background, then content) into Dc, shifted so that
// the parent's pixels under Control land where Control is: a see-through control.
void DrawParentBackground(TWinControl& control, HDC dc);

// Sent to a control before its hint shows: LParam a THintInfo whose HintStr
// the control may change.
constexpr UINT CM_HINTSHOW = CM_BASE + 48;
struct THintInfo {
  TControl* HintControl = nullptr;
  WideString HintStr;
  RECT CursorRect{};  // the part of the control the hint is for (client coordinates)
};

// Finding a control by its component name from outside the module, so that a
// host program drives the module's windows with real messages. Every window
// of the library answers ComponentQueryMessage() (WParam: a TComponentQuery*,
// valid within the process): 1 when the window's own control, or one of its
// windowless children, has that name (case-blind), with Bounds set to where
// it lies in the window's client area; 0 otherwise.
struct TComponentQuery {
  const wchar_t* Name;
  RECT Bounds;
};
// The registered message "Tovik.ComponentQuery".
UINT ComponentQueryMessage();
// Root or a window under it whose control (or windowless child) is named Name;
// Bounds (may be null) gets the control's rectangle in that window's client
// coordinates. Null when none answers.
HWND FindComponentWindow(HWND root, std::wstring_view name, RECT* bounds = nullptr);

}  // namespace tvk
