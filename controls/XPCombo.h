#pragma once
// The styled combo box: a button edit whose button drops down a styled list
// box. The list is a top-most tool window that never takes the activation,
// so the combo keeps the focus and the caret while the list navigates; a
// replaced window procedure of the combo hands it the keys, and a thread
// mouse hook and a hook on the application window close it.
#include "Application.h"
#include "XPEdits.h"
#include "XPLists.h"

namespace tvk {

class TXPCustomComboBox;

// The drop-down list of a combo box (its owner and parent control).
class TXPPopupListBox : public TCustomXPListBox {
public:
  TVK_CLASS(TXPPopupListBox, TCustomXPListBox)
  explicit TXPPopupListBox(TComponent* owner);
  ~TXPPopupListBox() override;

  // Shows the list with its top-left corner at the screen point (X, Y),
  // kept on the monitor.
  void Popup(int x, int y);
  // Hides it; Success takes the current item over into the combo.
  void Close(bool success);
  void Click() override;
  // The keys the list navigates with while it is open.
  virtual bool IsListKey(WORD key);
  TXPCustomComboBox* Combo() const { return FCombo; }

  // The list open in the process, null when none is.
  static TXPPopupListBox* ActiveList();
  bool ComboProcedureReplaced() const { return FComboSubclass.Installed(); }
  bool MouseHooked() const { return FMouseHook != nullptr; }
  bool MainWindowHooked() const { return FMainWindowHook != 0; }
  // What the mouse hook does with one message at a screen point; it never
  // swallows the message, so the hooks installed before it see it too.
  void MouseHookMessage(UINT message, POINT screenPoint);

protected:
  TColor GetBackgroundColor() override;
  void AdjustNCRect(TMessage& message) override;
  bool PaintNCBorder() override;
  void FirstItemMadeCurrent() override;
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void DestroyWindowHandle() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;

  TVK_MESSAGES();
  void WMKeyDown(TMessage& message);
  void WMSysKeyDown(TMessage& message);
  void WMChar(TMessage& message);
  void WMMouseMove(TMessage& message);
  void WMLButtonDown(TMessage& message);
  void CMFontChanged(TMessage& message);
  void CMWantSpecialKey(TMessage& message);

private:
  bool ComboMessage(TMessage& message);
  void RemoveHooks();

  TXPCustomComboBox* FCombo;
  TWindowSubclass FComboSubclass;
  std::unique_ptr<TThreadMouseHook> FMouseHook;
  int FMainWindowHook = 0;
  int FClosingFlag = 0;
  bool FSavedShowHint = false;
};

// Draws the edit part before the combo does: Done stops the combo's own drawing.
using TDrawEvent = std::function<void(TWinControl* Control, RECT& Rect, TOwnerDrawState& State, bool& Done)>;

class TXPCustomComboBox : public TXPCustomButtonEdit {
  friend class TXPPopupListBox;

public:
  TVK_CLASS(TXPCustomComboBox, TXPCustomButtonEdit)
  explicit TXPCustomComboBox(TComponent* owner);
  ~TXPCustomComboBox() override;

  TStrings& Items() { return FPopupListBox->Items(); }
  int ItemIndex() const { return FPopupListBox->ItemIndex(); }
  // Any integer: clamped by the list (negative: no item).
  void SetItemIndex(int value);
  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int value) { FDropDownCount = std::max(1, value); }
  bool DroppedDown() const { return FDroppedDown; }
  void SetDroppedDown(bool value);
  bool AutoDropWidth() const { return FAutoDropWidth; }
  void SetAutoDropWidth(bool value) { FAutoDropWidth = value; }
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool value) { FAutoComplete = value; }
  unsigned AutoCompleteDelay() const { return FAutoCompleteDelay; }
  void SetAutoCompleteDelay(unsigned value) { FAutoCompleteDelay = value; }
  bool AutoDropDown() const { return FAutoDropDown; }
  void SetAutoDropDown(bool value) { FAutoDropDown = value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool value);
  const WideString& NoItemText() const { return FNoItemText; }
  void SetNoItemText(const WideString& value);
  bool ShowButton2() const { return FShowButton2; }
  void SetShowButton2(bool value);
  bool Sorted() const { return FPopupListBox->Sorted(); }
  void SetSorted(bool value) { FPopupListBox->SetSorted(value); }
  bool AlphaNumericSorting() const { return FPopupListBox->AlphaNumericSorting(); }
  void SetAlphaNumericSorting(bool value) { FPopupListBox->SetAlphaNumericSorting(value); }
  int ItemHeight() const { return FPopupListBox->ItemHeight(); }
  void SetItemHeight(int value) { FPopupListBox->SetItemHeight(value); }
  TXPPopupListBox& PopupListBox() { return *FPopupListBox; }
  TXPEditButton& Button2() { return *FButton2; }
  // A press on the combo closed its list; the next drop-down request is ignored.
  bool Flag1() const { return FFlag1; }
  bool Flag2() const { return FFlag2; }

  void SetText(const WideString& value) override;
  void Clear() override;
  void ClearSelection() override;
  HRESULT STDMETHODCALLTYPE SelectAll() override;
  int GetAutoWidth() override;
  void GetTextRect(RECT& rect) override;
  void GetButtonRect(RECT& rect) override { rect = RECT{}; }
  TThemedEditState GetEditState() override;
  void GetThemedDetails(TThemedDetails& details) override;
  void PaintButton(TXPEditButton& button) override;
  void ClickButton() override;
  void UpdateButtonVisibility() override;
  void Invalidate() override;
  TPopupMenu* GetPopupMenu() override;
  void MoveCaret(int pos) override;
  // The width of an item's text on the combo's canvas; 0 without a window.
  virtual int GetItemTextWidth(int index);

  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TNotifyEvent OnSelect;
  TNotifyEvent OnButton2Click;
  TDrawEvent OnDraw;
  // Owner drawing of the list's rows (with csOwnerDrawFixed).
  TDrawItemEvent& OnDrawItem() { return FPopupListBox->OnDrawItem; }

protected:
  void ShowTextCaret() override;
  void HideTextCaret() override;
  void HotChanged(bool hot) override;
  void PaintText(const RECT& rect, TColor backColor, TColor textColor, TColor selBackColor, TColor selTextColor,
                 TColor frameColor) override;
  void UpdateCursor() override;
  void DeflateButtonArea(RECT& rect) override;
  void DrawButtonGlyph(TXPEditButton& button, const RECT& rect) override;
  void GetButtonDetails(TXPEditButton& button, TThemedDetails& details) override;
  void DoButtonClick() override;
  TGraphic* GetButtonGlyph(TXPEditButton& button) override;

  virtual void DoButton2Click() {}
  virtual bool AllowAltArrowDropDown() { return true; }
  virtual void CloseUp();
  virtual void DropDown();
  virtual void Select();
  // The clock of type-ahead pauses.
  virtual DWORD TickNow() { return GetTickCount(); }

  void CreateHandle() override;
  void Click() override;
  void DblClick() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  bool IsListStyle() const {
    return FStyle == TComboBoxStyle::csDropDownList || FStyle == TComboBoxStyle::csOwnerDrawFixed;
  }
  // Selects the first item after the current one that begins with S.
  bool AutoCompleteText(const WideString& s);
  // Runs Change as a change made from outside the typing.
  void OutsideChange();

  TVK_MESSAGES();
  void WMSetFocus(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMSetText(TMessage& message);
  void WMMouseWheel(TMessage& message);
  void CMEnabledChanged(TMessage& message);
  void CMMouseEnter(TMessage& message);
  void CMMouseLeave(TMessage& message);
  void CMWantSpecialKey(TMessage& message);

  int FIgnoreSetText = 0;

private:
  void Button2Click(TObject* sender);
  void ListClicked();

  TXPPopupListBox* FPopupListBox = nullptr;
  TComboBoxStyle FStyle = TComboBoxStyle::csDropDown;
  int FDropDownCount = 8;
  bool FDroppedDown = false;
  bool FFlag1 = false;
  bool FFlag2 = false;
  bool FAutoDropWidth = true;
  bool FAutoComplete = true;
  unsigned FAutoCompleteDelay = 500;
  WideString FFilter;
  DWORD FLastTime = 0;
  bool FShowButton2 = false;
  bool FAutoDropDown = false;
  bool FCaseSensitive = true;
  WideString FNoItemText;
  TXPEditButton* FButton2 = nullptr;
};

class TXPComboBox : public TXPCustomComboBox {
public:
  TVK_CLASS(TXPComboBox, TXPCustomComboBox)
  using TXPCustomComboBox::TXPCustomComboBox;
};

}  // namespace tvk
