#pragma once
// Drop-down value editors: the pick-list editor (typing completes from its
// items, the list follows), the calculator editor (a pocket calculator whose
// display is the editor's text) and the date editor (a month calendar).
#include "dxCalc.h"
#include "dxDropDownEdit.h"
#include "dxExEdtr.h"
#include "dxGrDate.h"
#include "dxPopupListBox.h"
#include "dxValueText.h"

namespace tvk {

// The pick list: type-ahead over the items while it has the focus.
class TCustomdxPopupPickListBox : public TCustomdxPopupListBox {
public:
  TVK_CLASS(TCustomdxPopupPickListBox, TCustomdxPopupListBox)
  using TCustomdxPopupListBox::TCustomdxPopupListBox;
  const WideString& SearchText() const { return FSearchText; }
  // The millisecond clock of the search pauses (tests put their own in place; null: the system's).
  static void SetTickSource(DWORD (*source)());

protected:
  void KeyPress(wchar_t& key) override;

private:
  WideString FSearchText;
  DWORD FSearchTickCount = 0;
};

class TdxPopupPickListBox : public TCustomdxPopupPickListBox {
public:
  TVK_CLASS(TdxPopupPickListBox, TCustomdxPopupPickListBox)
  using TCustomdxPopupPickListBox::TCustomdxPopupPickListBox;

protected:
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
};

class TdxInplacePickEdit : public TdxInplaceDropDownEdit {
public:
  TVK_CLASS(TdxInplacePickEdit, TdxInplaceDropDownEdit)
  explicit TdxInplacePickEdit(TComponent* owner);

  TStrings& Items() { return *FItems; }
  void SetItems(const TStrings& value) { FItems->Assign(value); }
  bool Sorted() const { return FSorted; }
  void SetSorted(bool value);
  void SetCaseSensitive(bool value) { FItems->SetCaseSensitive(value); }
  bool DropDownListStyle() const { return FDropDownListStyle; }
  void SetDropDownListStyle(bool value);
  TCustomdxPopupListBox& PickList() { return *FPickList; }
  // The first item equal to the text (-1: none); setting one shows it.
  int ItemIndex();
  void SetItemIndex(int index);
  // The first item that begins with S (-1: none).
  int FindItem(const WideString& s);
  const WideString& FindStr() const { return FFindStr; }

  virtual void ClearText();
  // The text set to Value (marked modified when it changed).
  virtual void SetPickText(const WideString& value);
  virtual void PreparePickList();

  bool CanModify() override;
  void SetEditValue(const Variant& value) override;
  void SetActive(bool value) override;
  void ApplyReadOnly(bool value) override;
  void CloseUp(bool accept) override;
  void SelectNext(int delta, bool wrapAtEnd) override;
  void DropDown() override;
  void SearchList(const WideString& text) override;

  bool FCanDeleteText = false;
  bool FRevertable = false;
  bool PostEditorOnCloseUp = false;

protected:
  bool IsResetTextClass() override { return true; }
  virtual TCustomdxPopupListBox* CreatePickList();
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

private:
  void ResetFind();
  bool AutoComplete();
  bool WholeTextSelected();
  void SelectTail(int from);
  void DeleteBack();

  bool FDropDownListStyle = false;
  bool FFindSelection = false;
  WideString FFindStr;
  int FItemIndex = -1;
  std::unique_ptr<TStringList> FItems;
  TCustomdxPopupListBox* FPickList = nullptr;  // owned by the editor as a component
  bool FSorted = false;
  int FDisableRefresh = 0;
};

class TdxInplaceCalcEdit;

// The calculator as the calculator editor's drop-down: its display is the editor's text.
class TdxPopupCalculator : public TCustomdxCalculator {
public:
  TVK_CLASS(TdxPopupCalculator, TCustomdxCalculator)
  explicit TdxPopupCalculator(TComponent* owner);
  TdxInplaceCalcEdit* Edit() const { return FEdit; }
  void SetEdit(TdxInplaceCalcEdit* value) { FEdit = value; }
  bool IsFlat() const { return FFlat; }
  void SetIsFlat(bool value);
  bool IsQuickClose() const { return FQuickClose; }
  void SetIsQuickClose(bool value) { FQuickClose = value; }
  // Hides; an error left on the display becomes 0 in the editor.
  void HidePopup(bool byMouse) override;

protected:
  void ReadDisplayText(WideString& text) override;
  void WriteDisplayText(const WideString& text) override;
  void CreateParams(TCreateParams& params) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(wchar_t& key) override;

private:
  TdxInplaceCalcEdit* FEdit = nullptr;  // not owned
  bool FFlat = false;
  bool FQuickClose = false;
};

class TdxInplaceCalcEdit : public TdxInplaceDropDownEdit {
public:
  TVK_CLASS(TdxInplaceCalcEdit, TdxInplaceDropDownEdit)
  explicit TdxInplaceCalcEdit(TComponent* owner);
  ~TdxInplaceCalcEdit() override;
  void DropDown() override;
  TdxPopupCalculator* PopupCalculator() const { return FPopupCalculator.get(); }

  bool FBeepOnError = true;
  TdxButtonStyle FButtonStyle = bsStandard;
  bool FQuickClose = false;
  std::uint8_t FPrecision = 13;
  bool FShowButtonFrame = false;

private:
  std::unique_ptr<TdxPopupCalculator> FPopupCalculator;
};

enum TDateButton : unsigned { btnToday = 1, btnClear = 2 };
using TDateButtons = unsigned;
enum TDateOnError { deToday, deNull };
using TdxDateValidateInput = std::function<void(TObject* Sender, const WideString& AText, TDateTime& ADate,
                                                WideString& AMessage, bool& AError)>;

class TdxInplaceDateEdit : public TdxInplaceDropDownEdit {
public:
  TVK_CLASS(TdxInplaceDateEdit, TdxInplaceDropDownEdit)
  explicit TdxInplaceDateEdit(TComponent* owner);
  ~TdxInplaceDateEdit() override;

  TDateTime Date() const { return FDate; }
  bool UseEditMask() const { return FUseEditMask; }
  void SetUseEditMask(bool value);
  void ApplyDateMask();
  void ShowDate(TDateTime date);
  void CommitDate(TDateTime date);
  TdxGridDatePopup* DateNavigator() const { return FDateNavigator.get(); }
  TDateTime DateDropDown() const { return FDateDropDown; }
  virtual void DoDateValidateInput(const WideString& text, TDateTime& date, WideString& message, bool& error);

  WideString GetEditingText() override;
  bool IsEnterValidate() override { return true; }
  bool IsCloseEditorDisabled() override { return false; }
  void ValidateEdit() override;
  // Null, Unassigned or an empty text give the null date; a text reads by the
  // editor's date rules, any other value by the variant conversion.
  void SetEditValue(const Variant& value) override;
  // Null for the null date, else a date variant.
  Variant GetEditValue() override;
  void DropDown() override;

  TDateButtons FDateButtons = btnToday | btnClear;
  TDateOnError FDateOnError = deNull;
  bool FDateValidation = false;
  bool FSaveTime = true;
  TNotifyEvent FOnDateChange;
  TdxDateValidateInput FOnDateValidateInput;

  bool TextChanged() const { return FTextChanged; }

protected:
  void DoChange() override;
  TVK_MESSAGES();
  void CMWinIniChange(TMessage& message);

private:
  void CalendarDateChanged(TObject* sender);
  bool FTextChanged = false;  // the user changed the text since a date was shown
  WideString BlankText();
  TDateTime FDate = NullDate;
  TDateTime FDateDropDown = NullDate;
  std::unique_ptr<TdxGridDatePopup> FDateNavigator;
  bool FUseEditMask = false;
  int FInternalChanging = 0;
};

}  // namespace tvk
