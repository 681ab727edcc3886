#pragma once
// The list box a container hosts as its inner control, over the system's
// LISTBOX window: typed letters select the first item starting with them
// (a pause starts the search anew), and Tab and Enter stay with the container.
// Two look-and-feel scroll bars of its own lie over the window's native ones
// on its parent, follow them and scroll the list; the mouse, the wheel, the
// focus and drag starts reach the container too.
#include "Controls.h"
#include "StdCtrls.h"
#include "cxContainer.h"
#include "cxGraphics.h"
#include "cxLookAndFeels.h"
#include "cxScrollBar.h"

#include <functional>
#include <memory>

namespace tvk {

class TcxContainer;

class TcxCustomInnerListBox : public TListBox, public IcxContainerInnerControl {
public:
  TVK_CLASS(TcxCustomInnerListBox, TListBox)
  explicit TcxCustomInnerListBox(TComponent* AOwner);
  ~TcxCustomInnerListBox() override;
  TWinControl* GetInnerControl() override { return this; }
  TcxContainer* GetOwnerContainer() override { return FContainer; }
  bool GetInterface(const GUID& iid, void** obj) override;

  // The container hosting the list box (not owned).
  TcxContainer* Container() const { return FContainer; }
  void SetContainer(TcxContainer* AContainer) { FContainer = AContainer; }

  bool AutoComplete = true;
  DWORD AutoCompleteDelay = 500;  // milliseconds
  // At least one corner of the item lies in the list box.
  bool ItemVisible(int AIndex);
  const WideString& AutoCompleteFilter() const { return FAutoCompleteFilter; }
  TNotifyEvent OnClick;
  // Draws one item of an owner-drawn style on Canvas, whose brush and font are set for its state.
  std::function<void(TcxCustomInnerListBox* Sender, int Index, const RECT& Rect, TOwnerDrawState State)> OnDrawItem;
  // The height of one item of the variable owner-drawn style.
  TMeasureItemEvent OnMeasureItem;
  TcxCanvas& Canvas() { return *FCanvas; }

  // The clock of the search (tests move time).
  static DWORD (*TickCount)();

  virtual void HandleIncrementalSearchKey(wchar_t& AKey);
  void KeyPress(wchar_t& AKey) override;
  // The container sees a key first; a key it clears goes no further.
  void KeyDown(WORD& AKey, TShiftState AShift) override;

  // The look and feel of the list box's own scroll bars.
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  // The bars over the native ones (null once freed with their parent).
  TcxScrollBar* HScrollBar() const { return FHScrollBar; }
  TcxScrollBar* VScrollBar() const { return FVScrollBar; }
  // Places and sets the own bars from the window's native ones.
  void SetExternalScrollBarsParameters();
  // How often the own bars were set from the native ones.
  int ExternalScrollBarsUpdateCount() const { return FExternalUpdateCount; }
  // The corner between both bars in window coordinates (empty unless both show).
  RECT GetSizeGripRect();
  // A press at P (client coordinates) on an item already selected in a
  // multi-select list, not with Shift alone.
  bool IsClickOnSelectedItem(POINT P, TShiftState AShift);
  // A hosted list box hands drags over it and drops on it to its container,
  // at the container's coordinates.
  void DragOver(TObject* ASource, int X, int Y, TDragState AState, bool& AAccept) override;
  void DragDrop(TObject* ASource, int X, int Y) override;
  // The menu a context request on the list box opens: the container's when hosted.
  TComponent* PopupMenuToShow() const;

protected:
  void CreateParams(TCreateParams& AParams) override;
  void WndProc(TMessage& Message) override;
  void DestroyWindowHandle() override;
  void Notification(TComponent* AComponent, TOperation AOperation) override;
  void MouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) override;
  void MouseMove(TShiftState AShift, int X, int Y) override;
  void MouseUp(TMouseButton AButton, TShiftState AShift, int X, int Y) override;
  void DblClick() override;
  virtual int FindItemByPrefix(const WideString& APrefix);
  virtual void Click();
  void DrawItem(int AIndex, const RECT& ARect, TOwnerDrawState AState) override;
  void MeasureItem(int AIndex, int& AHeight) override;
  virtual bool DrawsOwnFocusRect() { return true; }

private:
  void CNDrawItem(const DRAWITEMSTRUCT& AItem);
  TcxScrollBar* CreateExternalScrollBar(TScrollBarKind AKind);
  void SetExternalScrollBar(TcxScrollBar* ABar, LONG AObjectId, int ANativeBar);
  void HScrollBarScroll(TScrollCode AScrollCode, int& AScrollPos);
  void VScrollBarScroll(TScrollCode AScrollCode, int& AScrollPos);
  void PaintSizeGrip(HDC ADC);
  void WMLButtonDown(TMessage& Message);
  bool ClickStartsDrag(TShiftState AShift) const;
  bool IsHostedDragAutomatic();
  bool NeedsExternalBarsAfter(const TMessage& Message) const;

  std::unique_ptr<TcxCanvas> FCanvas = std::make_unique<TcxCanvas>(&TListBox::Canvas());
  TcxContainer* FContainer = nullptr;
  WideString FAutoCompleteFilter;
  DWORD FPrevKeyPressTime = 0;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  TcxScrollBar* FHScrollBar = nullptr;  // owned as components
  TcxScrollBar* FVScrollBar = nullptr;
  int FScrollBarsLockCount = 0;
  bool FScrollBarsCalculating = false;
  bool FIsRedrawLocked = false;
  int FExternalUpdateCount = 0;
};

}  // namespace tvk
