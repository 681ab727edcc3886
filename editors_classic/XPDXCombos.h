#pragma once
// The themed combo box of the in-place editors: the themed button edit whose
// button drops down a styled list under it. The list floats on the desktop
// without taking the activation while the combo keeps the focus; while it is
// open the combo's keys go to it, and a mouse press elsewhere, the
// application's deactivation or the combo losing the focus closes it. The
// combo types ahead against the items and may show a second button.
#include "Application.h"
#include "WindowClasses.h"
#include "XPDXEdits.h"
#include "XPLists.h"

#include <memory>

namespace tvk {

class TXPDXCustomComboBox;

enum class TXPComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed };

class TXPDXPopupListBox : public TXPListBox {
public:
  TVK_CLASS(TXPDXPopupListBox, TXPListBox)
  explicit TXPDXPopupListBox(TComponent* owner);
  ~TXPDXPopupListBox() override;

  // Shows the list with its top-left corner at the screen point (X, Y).
  void Popup(int x, int y);
  // Hides the list and ends everything that ran while it was open; with
  // Success the selected item becomes the combo's text.
  void Close(bool success);
  // A selection made by keyboard or by a click (never by hovering).
  void Click() override;
  TXPDXCustomComboBox* Combo() const;
  bool ParentHooked() const { return fParentHooked; }
  // Selects Index as the program does: the combo hears nothing.
  void SetItemIndexQuietly(int index);

  // The open list of the process, if any.
  static TXPDXPopupListBox* OpenList();

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateHandle() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DestroyWindowHandle() override;
  TVK_MESSAGES();
  void WMKeyDown(TMessage& message);
  void WMSysKeyDown(TMessage& message);
  void WMChar(TMessage& message);
  void WMLButtonDown(TMessage& message);
  void WMMouseMove(TMessage& message);
  void CMWantSpecialKey(TMessage& message);
  void CMFontChanged(TMessage& message);

private:
  friend class TXPDXCustomComboBox;
  void HookCombo();
  void UnhookCombo();
  void InstallHooks();
  void RemoveHooks();
  bool ParentWndProcHook(TMessage& message);
  bool MouseHook(int code, UINT message, const MOUSEHOOKSTRUCT& info);
  bool MainWindowHook(TMessage& message);

  // The combo's window procedure, replaced while the list is open.
  TWindowSubclass fComboProc;
  bool fParentHooked = false;
  std::unique_ptr<TThreadMouseHook> FMouseHook;
  int FMainWindowHookKey = 0;
  // Set while the list's item changes without the user choosing it: no Click.
  bool FQuiet = false;
};

class TXPDXCustomComboBox : public TXPDXCustomButtonEdit {
public:
  TVK_CLASS(TXPDXCustomComboBox, TXPDXCustomButtonEdit)
  explicit TXPDXCustomComboBox(TComponent* owner);
  ~TXPDXCustomComboBox() override;

  TStrings& GetItems();
  TStrings& Items() { return GetItems(); }
  void SetItems(const TStrings& value);
  bool GetSorted() const;
  void SetSorted(bool value);
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool value);
  bool AlphaNumericSorting() const;
  void SetAlphaNumericSorting(bool value);
  int GetItemIndex() const;
  int ItemIndex() const { return GetItemIndex(); }
  void SetItemIndex(int value);
  int GetItemHeight() const;
  void SetItemHeight(int value);
  TXPComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TXPComboBoxStyle value);
  void SetText(const WideString& value) override;
  bool DroppedDown() const { return FDroppedDown; }
  void SetDroppedDown(bool value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int value) { FDropDownCount = std::max(value, 1); }
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool value) { FAutoComplete = value; }
  bool AutoDropDown() const { return FAutoDropDown; }
  void SetAutoDropDown(bool value) { FAutoDropDown = value; }
  bool AutoDropWidth() const { return FAutoDropWidth; }
  void SetAutoDropWidth(bool value) { FAutoDropWidth = value; }
  bool ShowButton2() const { return FShowButton2; }
  void SetShowButton2(bool value);
  TXPDXEditButton& Button2() { return *FButton2; }
  TXPDXPopupListBox& PopupListBox() { return *FPopupListBox; }

  void Clear() override;
  void ClearSelection() override;
  void SelectAll() override;
  int GetAutoWidth() override;
  void GetButtonRect(RECT& rect) override;
  void GetTextRect(RECT& rect) override;
  void MoveCaret(int pos) override;
  void PaintButton(TXPDXEditButton& button) override;
  void ClickButton() override;
  void UpdateButtonVisibility() override;
  void Invalidate() override;

  // The clock of type-ahead pauses; tests put their own in.
  static DWORD (*TickCount)();

  // The list was just closed by a press on the combo; the next drop-down request is ignored.
  bool Flag1 = false;
  bool Flag2 = false;

  TNotifyEvent OnButton2Click;
  TNotifyEvent OnCloseUp;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnSelect;

protected:
  virtual void DropDown();
  virtual void CloseUp();
  virtual void Select();
  virtual void DoButton2Click() {}
  void DoButtonClick() override;
  void ShowTextCaret() override;
  void HideTextCaret() override;
  void HotChanged(bool hot) override;
  void PaintText(const RECT& rect, TColor backColor, TColor borderColor, TColor selTextColor, TColor selBackColor,
                 TColor textColor) override;
  void UpdateCursor() override;
  void DrawButtonGlyph(TXPDXEditButton& button, const RECT& rect) override;
  TBitmap* GetButtonGlyph(TXPDXEditButton&) override { return nullptr; }
  TPopupMenu* GetPopupMenu() override;
  void CreateHandle() override;
  void Click() override;
  void DblClick() override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  // The wheel steps the value rather than scrolling the host.
  bool IsMouseWheelHandled() override { return true; }
  TVK_MESSAGES();
  void WMSetFocus(TMessage& message);
  void WMKillFocus(TMessage& message);
  void WMSetText(TMessage& message);
  void WMMouseWheel(TMessage& message);
  void CMEnabledChanged(TMessage& message);
  void CMWantSpecialKey(TMessage& message);

private:
  friend class TXPDXPopupListBox;
  bool IsListStyle() const { return FStyle != TXPComboBoxStyle::csDropDown; }
  bool AutoCompleteText(const WideString& text);
  void Button2Click(TObject* sender);
  void ReplaceText(const WideString& text, int selStart, int selLength);

  int FIgnoreSetText = 0;
  TXPDXPopupListBox* FPopupListBox = nullptr;
  TXPComboBoxStyle FStyle = TXPComboBoxStyle::csDropDown;
  int FDropDownCount = 8;
  bool FDroppedDown = false;
  bool FAutoDropWidth = true;
  bool FAutoComplete = true;
  WideString FFilter;
  DWORD FLastTime = 0;
  bool FShowButton2 = false;
  bool FAutoDropDown = false;
  bool FCaseSensitive = true;
  TXPDXEditButton* FButton2 = nullptr;
};

class TXPDXCombobox : public TXPDXCustomComboBox {
public:
  TVK_CLASS(TXPDXCombobox, TXPDXCustomComboBox)
  using TXPDXCustomComboBox::TXPDXCustomComboBox;
};

}  // namespace tvk
