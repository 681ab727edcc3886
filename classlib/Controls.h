#pragma once
// Controls: TControl (parent, bounds, visibility, enabled state, text, colour,
// font) and TWinControl, a control on a real window whose window procedure
// hands every message to WndProc, which dispatches it by message number
// through the class's message table; state changes travel as CM_* messages,
// and WM_COMMAND / WM_NOTIFY come back to the child control as CN_*.
// TCustomControl adds a canvas and Paint.
#include "Graphics.h"

#include <vector>

namespace tvk {

class TWinControl;

// Shift state of a key or mouse event.
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64 };
using TShiftState = unsigned;
// The shift keys held now (Alt also from a key message's data).
TShiftState KeyboardShiftState(LPARAM keyData = 0);

using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;

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
};
TMouse& Mouse();

// What a kind of control is (set by its constructor) and what it is doing now.
enum TControlStyleFlag : unsigned {
  csAcceptsControls = 1u << 0,
  csOpaque = 1u << 6,            // paints every pixel of its client area
  csDisplayDragImage = 1u << 13, // shows the drag image while something is dragged over it
};
using TControlStyle = unsigned;
enum TControlStateFlag : unsigned {
  csFocusing = 1u << 5,
  csCreating = 1u << 6,
  csPaintCopy = 1u << 7,  // painting a copy of itself (a print), not its window
};
using TControlState = unsigned;

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
  void SetColor(TColor color);
  TFont& Font() { return FFont; }

  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle style) { FControlStyle = style; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState state) { FControlState = state; }

  // Runs a message through WindowProc now; answers its result.
  LRESULT Perform(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
  // The method every message of the control goes to: WndProc unless replaced
  // (a subclassing chain keeps the previous one and passes messages on to it).
  const TWndMethod& WindowProc() const { return FWindowProc; }
  void SetWindowProc(const TWndMethod& method) { FWindowProc = method; }
  // Every message of the control passes here: dispatch by number.
  virtual void WndProc(TMessage& message);
  virtual void Invalidate() {}

  TNotifyEvent OnClick;
  TNotifyEvent OnResize;

protected:
  // Stores the text; a windowed control with a window sets its window text.
  virtual void SetTextValue(const WideString& text);
  virtual void Click();
  virtual void Resize();

  TVK_MESSAGES();
  void CMColorChanged(TMessage& message);
  void CMFontChanged(TMessage& message);

  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TControlStyle FControlStyle = 0;
  TControlState FControlState = 0;
  bool FVisible = true;
  bool FEnabled = true;
  WideString FText;

private:
  friend class TWinControl;
  TWinControl* FParent = nullptr;
  TWndMethod FWindowProc;
  TColor FColor = clBtnFace;
  TFont FFont;
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

  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value) { FTabStop = value; }
  int TabOrder() const;
  void SetTabOrder(int order);
  // Windowed descendants in tab order, depth first.
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  // The next (or previous) focusable control after Current in tab order; null if none.
  TWinControl* FindNextControl(TWinControl* current, bool forward, bool checkTabStop, bool checkParent) const;
  // Focuses the next control; false when there is none.
  bool SelectNext(TWinControl* current, bool forward, bool checkTabStop);

  // Visible and enabled up to the outermost parent (which is not asked).
  bool CanFocus() const;
  bool Focused() const;
  // Raises "Cannot focus a disabled or invisible window" when it cannot.
  virtual void SetFocus();

  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool value) { FDoubleBuffered = value; }

  bool Showing() override;
  void SetBounds(int left, int top, int width, int height) override;
  int ClientWidth() override;
  int ClientHeight() override;
  void Invalidate() override;
  void DefaultHandler(TMessage& message) override;

  TKeyEvent OnKeyDown;

protected:
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

  TVK_MESSAGES();
  void WMWindowPosChanged(TMessage& message);
  void WMSize(TMessage& message);
  void WMSetText(TMessage& message);
  void WMKeyDown(TMessage& message);
  void WMSetFocus(TMessage& message);
  void WMEraseBkgnd(TMessage& message);
  void WMCommand(TMessage& message);
  void WMNotify(TMessage& message);
  void CMShowingChanged(TMessage& message);
  void CMVisibleChanged(TMessage& message);
  void CMEnabledChanged(TMessage& message);
  void CMDialogKey(TMessage& message);
  void CMRecreateWnd(TMessage& message);
  // The mouse's first move over the window sends CM_MOUSEENTER, its leaving CM_MOUSELEAVE.
  void WMMouseMove(TMessage& message);
  void WMMouseLeave(TMessage& message);

private:
  friend LRESULT CALLBACK ControlWindowProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND FHandle = nullptr;
  HWND FParentWindow = nullptr;
  std::vector<TControl*> FControls;    // children, in insertion order
  std::vector<TWinControl*> FTabList;  // windowed children, in tab order
  bool FTabStop = false;
  bool FDoubleBuffered = false;
  bool FRecreating = false;
  bool FMouseInControl = false;
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

// Paints Control's parent (background, then content) into Dc, shifted so that
// the parent's pixels under Control land where Control is: a see-through control.
void DrawParentBackground(TWinControl& control, HDC dc);

}  // namespace tvk
