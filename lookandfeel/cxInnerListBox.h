#pragma once
// The list box a container hosts as its inner control, over the system's
// LISTBOX window: typed letters select the first item starting with them
// (a pause starts the search anew), and Tab and Enter stay with the container.
#include "Controls.h"
#include "cxGraphics.h"

#include <functional>
#include <memory>

namespace tvk {

class TcxContainer;

class TcxCustomInnerListBox : public TWinControl {
public:
  TVK_CLASS(TcxCustomInnerListBox, TWinControl)
  explicit TcxCustomInnerListBox(TComponent* AOwner);

  // The container hosting the list box (not owned).
  TcxContainer* Container() const { return FContainer; }
  void SetContainer(TcxContainer* AContainer) { FContainer = AContainer; }

  int AddItem(const WideString& AText);
  int Count();
  int ItemIndex();
  void SetItemIndex(int AIndex);
  bool MultiSelect = false;  // takes effect when the window is made
  bool AutoComplete = true;
  DWORD AutoCompleteDelay = 500;  // milliseconds
  // At least one corner of the item lies in the list box.
  bool ItemVisible(int AIndex);
  const WideString& AutoCompleteFilter() const { return FAutoCompleteFilter; }
  bool OwnerDraw = false;  // items drawn by DrawItem; takes effect when the window is made
  TNotifyEvent OnClick;
  // Draws one item on Canvas, whose brush and font are set for its state.
  std::function<void(TcxCustomInnerListBox* Sender, int Index, const RECT& Rect, UINT State)> OnDrawItem;
  TcxCanvas& Canvas() { return *FCanvas; }

  // The clock of the search (tests move time).
  static DWORD (*TickCount)();

  virtual void HandleIncrementalSearchKey(wchar_t& AKey);
  void KeyPress(wchar_t& AKey) override;

protected:
  void CreateParams(TCreateParams& AParams) override;
  void WndProc(TMessage& Message) override;
  virtual int FindItemByPrefix(const WideString& APrefix);
  virtual void Click();
  virtual void DrawItem(int AIndex, const RECT& ARect, UINT AState);
  virtual bool DrawsOwnFocusRect() { return true; }

private:
  void CNDrawItem(const DRAWITEMSTRUCT& AItem);

  std::unique_ptr<TCanvas> FListCanvas = std::make_unique<TCanvas>();
  std::unique_ptr<TcxCanvas> FCanvas = std::make_unique<TcxCanvas>(FListCanvas.get());
  TcxContainer* FContainer = nullptr;
  WideString FAutoCompleteFilter;
  DWORD FPrevKeyPressTime = 0;
};

}  // namespace tvk
