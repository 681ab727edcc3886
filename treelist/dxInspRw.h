#pragma once
// The inspector's row types: each pairs an in-place editor with a row, carries
// the editor's settings, converts the value between the row's text and the
// editor, and prepares the view data so that a value cell paints as the editor
// shows it. Each kind has a text variant that keeps its value as a text, and
// an editor class of its own so the inspector keeps its editors apart.
#include "XPDXEdits.h"
#include "dxBlobEdit.h"
#include "dxCheckEdit.h"
#include "dxEditor.h"
#include "dxGraphicEdit.h"
#include "Menus.h"
#include "dxDropDownEdit.h"
#include "dxImageEdit.h"
#include "dxInspct.h"
#include "dxMRUEdit.h"
#include "dxMemoEdit.h"
#include "dxPopupEdit.h"
#include "dxPopupEdits.h"
#include "dxValueEdits.h"

namespace tvk {

// An inspector's editor class: the library editor under a class of its own.
#define TVK_INSPECTOR_EDITOR(Name, Base) \
  class Name : public Base {             \
  public:                                \
    TVK_CLASS(Name, Base)                \
    using Base::Base;                    \
  };

TVK_INSPECTOR_EDITOR(TdxInspectorMaskEdit, TdxInplaceMaskEdit)
TVK_INSPECTOR_EDITOR(TdxInspectorDropDownEdit, TdxInplaceDropDownEdit)
TVK_INSPECTOR_EDITOR(TdxInspectorCheckEdit, TdxInplaceCheckEdit)
TVK_INSPECTOR_EDITOR(TdxInspectorSpinEdit, TdxInplaceSpinEdit)
TVK_INSPECTOR_EDITOR(TdxInspectorTimeEdit, TdxInplaceTimeEdit)
TVK_INSPECTOR_EDITOR(TdxInspectorCurrencyEdit, TdxInplaceCurrencyEdit)
TVK_INSPECTOR_EDITOR(TdxInspectorMemoEdit, TdxInplaceMemoEdit)
TVK_INSPECTOR_EDITOR(TdxInspectorDateEdit, TdxInplaceDateEdit)
TVK_INSPECTOR_EDITOR(TdxInspectorCalcEdit, TdxInplaceCalcEdit)
TVK_INSPECTOR_EDITOR(TdxInspectorPickEdit, TdxInplacePickEdit)
TVK_INSPECTOR_EDITOR(TdxInspectorButtonEdit, TdxInplaceButtonEdit)
TVK_INSPECTOR_EDITOR(TdxInspectorMRUEdit, TdxInplaceMRUEdit)
TVK_INSPECTOR_EDITOR(TdxInspectorImageEdit, TdxInplaceImageEdit)
TVK_INSPECTOR_EDITOR(TdxInspectorHyperLinkEdit, TdxInplaceHyperLinkEdit)
TVK_INSPECTOR_EDITOR(TdxInspectorBlobEdit, TdxInplaceBlobEdit)
TVK_INSPECTOR_EDITOR(TdxInspectorGraphicEdit, TdxInplaceGraphicEdit)
// TdxInspectorPopupEdit is the editor library's own.

// Whether a row's editors edit Unicode text (its inspector's, or while it has none, its owner's setting).
bool IsRowUnicodeMode(const TdxInspectorRow& row);

class TdxInspectorMaskRow : public TdxInspectorRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorMaskRow, TdxInspectorRow)
  using TdxInspectorRow::TdxInspectorRow;
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override;
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  void WriteEditorValue(TdxInplaceEdit* editor, Variant& value) override;
  void ReadEditorValue(TdxInplaceEdit* editor, Variant& value) override;
  virtual WideString DefaultEditMask() const { return {}; }
  WideString EditMask() const { return FAssignedEditMask ? FEditMask : DefaultEditMask(); }
  void SetEditMask(const WideString& value);
  bool EditMaskAssigned() const { return FAssignedEditMask; }
  bool EditMaskStored() const { return FAssignedEditMask && FEditMask != DefaultEditMask(); }
  bool IgnoreMaskBlank() const { return FIgnoreMaskBlank; }
  void SetIgnoreMaskBlank(bool value) { FIgnoreMaskBlank = value; }

private:
  bool FAssignedEditMask = false;
  WideString FEditMask;
  bool FIgnoreMaskBlank = false;
};

using TdxToggleEvent = std::function<void(TObject* Sender, const WideString& Text, TdxCheckBoxState State)>;

class TdxInspectorCheckRow : public TdxInspectorRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorCheckRow, TdxInspectorRow)
  explicit TdxInspectorCheckRow(TComponent* owner);
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInspectorCheckEdit>(); }
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  void WriteEditorValue(TdxInplaceEdit* editor, Variant& value) override;
  void ReadEditorValue(TdxInplaceEdit* editor, Variant& value) override;
  void EditChange(TObject* sender) override;
  int CalcMinHeight(TCanvas& canvas) override;
  bool IsTextCut(bool forValue, const RECT& rect, WideString& text) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) override;

  TdxCheckBoxState GetCheckBoxState(const WideString& text) const;
  WideString GetCheckBoxValue(TdxCheckBoxState state) const;
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool value) { FAllowGrayed = value; }
  bool Border3D() const { return FBorder3D; }
  void SetBorder3D(bool value);
  TBitmap* Glyph();  // made on first read
  void SetGlyph(const TBitmap* value);
  int GlyphCount() const { return FGlyphCount; }
  void SetGlyphCount(int value);
  TdxShowNullFieldStyle ShowNullFieldStyle() const { return FShowNullFieldStyle; }
  void SetShowNullFieldStyle(TdxShowNullFieldStyle value);
  const WideString& ValueChecked() const { return FValueChecked; }
  void SetValueChecked(const WideString& value);
  const WideString& ValueGrayed() const { return FValueGrayed; }
  void SetValueGrayed(const WideString& value);
  const WideString& ValueUnchecked() const { return FValueUnchecked; }
  void SetValueUnchecked(const WideString& value);
  TdxToggleEvent OnToggleClick;

private:
  void SetString(WideString& field, const WideString& value);
  bool FAllowGrayed = false;
  bool FBorder3D = false;
  std::unique_ptr<TBitmap> FGlyph;
  int32_t FGlyphCount = 6;
  TdxShowNullFieldStyle FShowNullFieldStyle = nsUnchecked;
  WideString FValueChecked, FValueGrayed, FValueUnchecked;
};

enum TdxSpinRowValue { srMinValue, srMaxValue };
using TdxSpinRowValues = unsigned;  // bit n: value n

// A limit is written when it was assigned and differs from the kind's default.
inline bool SpinRowValueStored(TdxSpinRowValues assigned, TdxSpinRowValue which, double value, double byDefault) {
  return (assigned & Bit(which)) && value != byDefault;
}

class TdxInspectorSpinRow : public TdxInspectorRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorSpinRow, TdxInspectorRow)
  using TdxInspectorRow::TdxInspectorRow;
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInspectorSpinEdit>(); }
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  void WriteEditorValue(TdxInplaceEdit* editor, Variant& value) override;
  void ReadEditorValue(TdxInplaceEdit* editor, Variant& value) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) override;
  virtual double DefaultMinValue() const { return 0; }
  virtual double DefaultMaxValue() const { return 0; }
  virtual TdxValueType GetValueType() const { return vtInt; }

  TdxSpinRowValues AssignedSpinValues() const { return FAssignedValues; }
  bool EditorEnabled() const { return FEditorEnabled; }
  void SetEditorEnabled(bool value) { FEditorEnabled = value; }
  double Increment() const { return FIncrement; }
  void SetIncrement(double value) { FIncrement = value; }
  bool IncrementStored() const { return FIncrement != 1.0; }
  bool MinValueStored() const { return SpinRowValueStored(FAssignedValues, srMinValue, FMinValue, DefaultMinValue()); }
  bool MaxValueStored() const { return SpinRowValueStored(FAssignedValues, srMaxValue, FMaxValue, DefaultMaxValue()); }
  double MinValue() const { return (FAssignedValues & Bit(srMinValue)) ? FMinValue : DefaultMinValue(); }
  void SetMinValue(double value);
  double MaxValue() const { return (FAssignedValues & Bit(srMaxValue)) ? FMaxValue : DefaultMaxValue(); }
  void SetMaxValue(double value);
  bool UseCtrlIncrement() const { return FUseCtrlIncrement; }
  void SetUseCtrlIncrement(bool value) { FUseCtrlIncrement = value; }
  TdxValueType ValueType() const { return GetValueType(); }

private:
  TdxSpinRowValues FAssignedValues = 0;
  bool FEditorEnabled = true;
  double FIncrement = 1.0, FMinValue = 0, FMaxValue = 0;
  bool FUseCtrlIncrement = true;
};

class TdxInspectorTimeRow : public TdxInspectorRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorTimeRow, TdxInspectorRow)
  using TdxInspectorRow::TdxInspectorRow;
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInspectorTimeEdit>(); }
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  void ReadEditorValue(TdxInplaceEdit* editor, Variant& value) override;
  TdxTimeEditFormat TimeEditFormat() const { return FTimeEditFormat; }
  void SetTimeEditFormat(TdxTimeEditFormat value) { FTimeEditFormat = value; }
  bool UseCtrlIncrement() const { return FUseCtrlIncrement; }
  void SetUseCtrlIncrement(bool value) { FUseCtrlIncrement = value; }

private:
  TdxTimeEditFormat FTimeEditFormat = tfHourMinSec;
  bool FUseCtrlIncrement = true;
};

class TdxInspectorCurrencyRow : public TdxInspectorRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorCurrencyRow, TdxInspectorRow)
  explicit TdxInspectorCurrencyRow(TComponent* owner);
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInspectorCurrencyEdit>(); }
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  void WriteEditorValue(TdxInplaceEdit* editor, Variant& value) override;
  void ReadEditorValue(TdxInplaceEdit* editor, Variant& value) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) override;
  virtual Variant GetNumericValue();
  virtual double DefaultMinValue() const { return 0; }
  virtual double DefaultMaxValue() const { return 0; }
  // The system's currency settings changed: a format never set follows them.
  void SettingsChanged() override;

  int DecimalPlaces() const { return int(FDecimalPlaces); }
  void SetDecimalPlaces(int value) { FDecimalPlaces = uint32_t(value); }
  const WideString& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const WideString& value);
  bool DisplayFormatStored() const { return FDisplayFormatStored; }
  bool MinValueStored() const { return SpinRowValueStored(FAssignedSpin, srMinValue, FMinValue, DefaultMinValue()); }
  bool MaxValueStored() const { return SpinRowValueStored(FAssignedSpin, srMaxValue, FMaxValue, DefaultMaxValue()); }
  double MinValue() const { return (FAssignedSpin & Bit(srMinValue)) ? FMinValue : DefaultMinValue(); }
  void SetMinValue(double value);
  double MaxValue() const { return (FAssignedSpin & Bit(srMaxValue)) ? FMaxValue : DefaultMaxValue(); }
  void SetMaxValue(double value);
  bool Nullable() const { return FNullable; }
  void SetNullable(bool value);
  const WideString& NullString() const { return FNullString; }
  void SetNullString(const WideString& value);
  bool UseThousandSeparator() const { return FUseThousandSeparator; }
  void SetUseThousandSeparator(bool value) { FUseThousandSeparator = value; }

private:
  TdxSpinRowValues FAssignedSpin = 0;
  uint32_t FDecimalPlaces = 2;
  WideString FDisplayFormat;
  bool FDisplayFormatStored = false;
  double FMaxValue = 0, FMinValue = 0;
  bool FNullable = false;
  WideString FNullString;
  bool FUseThousandSeparator = false;
};

class TdxInspectorMemoRow : public TdxInspectorRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorMemoRow, TdxInspectorRow)
  using TdxInspectorRow::TdxInspectorRow;
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInspectorMemoEdit>(); }
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) override;
  virtual WideString GetMemoText() { return EditText(); }
  bool HideScrollBars() const { return FHideScrollBars; }
  void SetHideScrollBars(bool value) { FHideScrollBars = value; }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value) { FScrollBars = value; }
  bool SelectionBar() const { return FSelectionBar; }
  void SetSelectionBar(bool value);
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool value) { FWantReturns = value; }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool value) { FWantTabs = value; }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value) { FWordWrap = value; }

private:
  bool FHideScrollBars = true;
  TScrollStyle FScrollBars = TScrollStyle::ssNone;
  bool FSelectionBar = false, FWantReturns = true, FWantTabs = false, FWordWrap = true;
};

// The drop-down base: the settings every drop-down kind shares; cells never show its button.
class TdxInspectorDropDownRow : public TdxInspectorRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorDropDownRow, TdxInspectorRow)
  using TdxInspectorRow::TdxInspectorRow;
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInspectorDropDownEdit>(); }
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) override;
  virtual void DoCloseUp(TObject* sender, WideString& value, bool& accept) {
    (void)sender; (void)value; (void)accept;
  }
  virtual void DoEditButtonClick(TObject* sender);

  TBitmap* ButtonGlyph();  // made on first read
  void SetButtonGlyph(const TBitmap* value);
  bool ButtonGlyphMade() const { return FButtonGlyph != nullptr; }
  int DropDownRows() const { return FDropDownRows; }
  void SetDropDownRows(int value) { FDropDownRows = value; }
  int DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(int value) { FDropDownWidth = value; }
  bool ImmediateDropDown() const { return FImmediateDropDown; }
  void SetImmediateDropDown(bool value) { FImmediateDropDown = value; }
  bool ImmediatePopup() const { return FImmediatePopup; }
  void SetImmediatePopup(bool value) { FImmediatePopup = value; }
  TAlignment PopupAlignment() const { return FPopupAlignment; }
  void SetPopupAlignment(TAlignment value) { FPopupAlignment = value; }
  TdxPopupBorderStyle PopupBorder() const { return FPopupBorder; }
  void SetPopupBorder(TdxPopupBorderStyle value) { FPopupBorder = value; }
  TNotifyEvent OnEditButtonClick;

protected:
  std::unique_ptr<TBitmap> FButtonGlyph;
  int32_t FDropDownRows = 7, FDropDownWidth = 0;
  bool FImmediateDropDown = false, FImmediatePopup = false;
  TAlignment FPopupAlignment = TAlignment::taLeftJustify;
  TdxPopupBorderStyle FPopupBorder = pbDefault;
};

class TdxInspectorDateRow : public TdxInspectorDropDownRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorDateRow, TdxInspectorDropDownRow)
  using TdxInspectorDropDownRow::TdxInspectorDropDownRow;
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInspectorDateEdit>(); }
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  virtual bool HidesClearButton() const { return false; }
  TDateButtons DateButtons() const { return FDateButtons; }
  void SetDateButtons(TDateButtons value) { FDateButtons = value; }
  TDateOnError DateOnError() const { return FDateOnError; }
  void SetDateOnError(TDateOnError value) { FDateOnError = value; }
  bool DateValidation() const { return FDateValidation; }
  void SetDateValidation(bool value) { FDateValidation = value; }
  bool SaveTime() const { return FSaveTime; }
  void SetSaveTime(bool value) { FSaveTime = value; }
  bool UseEditMask() const { return FUseEditMask; }
  void SetUseEditMask(bool value) { FUseEditMask = value; }
  TdxDateValidateInput OnDateValidateInput;

private:
  TDateButtons FDateButtons = btnToday | btnClear;
  TDateOnError FDateOnError = deToday;
  bool FDateValidation = false, FSaveTime = true, FUseEditMask = false;
};

class TdxInspectorCalcRow : public TdxInspectorDropDownRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorCalcRow, TdxInspectorDropDownRow)
  using TdxInspectorDropDownRow::TdxInspectorDropDownRow;
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInspectorCalcEdit>(); }
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  bool BeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool value) { FBeepOnError = value; }
  TdxButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TdxButtonStyle value) { FButtonStyle = value; }
  int Precision() const { return FPrecision; }
  void SetPrecision(int value) { FPrecision = uint8_t(value); }
  bool QuickClose() const { return FQuickClose; }
  void SetQuickClose(bool value) { FQuickClose = value; }
  bool ShowButtonFrame() const { return FShowButtonFrame; }
  void SetShowButtonFrame(bool value) { FShowButtonFrame = value; }

private:
  bool FBeepOnError = true;
  TdxButtonStyle FButtonStyle = bsStandard;
  uint8_t FPrecision = 13;
  bool FQuickClose = false, FShowButtonFrame = false;
};

using TdxInspectorPickColumnCloseUp = std::function<void(TObject* Sender, Variant& Value, bool& Accept)>;

class TdxInspectorPickRow : public TdxInspectorDropDownRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorPickRow, TdxInspectorDropDownRow)
  explicit TdxInspectorPickRow(TComponent* owner);
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInspectorPickEdit>(); }
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  void DoCloseUp(TObject* sender, WideString& value, bool& accept) override;
  bool DropDownListStyle() const { return FDropDownListStyle; }
  void SetDropDownListStyle(bool value) { FDropDownListStyle = value; }
  TStringList& Items() { return *FItems; }
  void SetItems(const TStrings& value);
  bool CanDeleteText() const { return FCanDeleteText; }
  void SetCanDeleteText(bool value) { FCanDeleteText = value; }
  bool Revertable() const { return FRevertable; }
  void SetRevertable(bool value) { FRevertable = value; }
  bool Sorted() const { return FSorted; }
  void SetSorted(bool value) { FSorted = value; }
  bool PostEditorOnCloseUp = false;
  TdxInspectorPickColumnCloseUp OnCloseUp;

private:
  bool FDropDownListStyle = false;
  std::unique_ptr<TStringList> FItems = std::make_unique<TStringList>();
  bool FCanDeleteText = false, FRevertable = true, FSorted = false;
};

class TdxInspectorPopupRow : public TdxInspectorDropDownRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorPopupRow, TdxInspectorDropDownRow)
  using TdxInspectorDropDownRow::TdxInspectorDropDownRow;
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInspectorPopupEdit>(); }
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  bool HideEditCursor() const { return FHideEditCursor; }
  void SetHideEditCursor(bool value) { FHideEditCursor = value; }
  bool PopupAutoSize() const { return FPopupAutoSize; }
  void SetPopupAutoSize(bool value) { FPopupAutoSize = value; }
  int PopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(int value) { FPopupHeight = std::max(value, int(FPopupMinHeight)); }
  int PopupMinHeight() const { return FPopupMinHeight; }
  void SetPopupMinHeight(int value);
  int PopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(int value) { FPopupWidth = std::max(value, int(FPopupMinWidth)); }
  int PopupMinWidth() const { return FPopupMinWidth; }
  void SetPopupMinWidth(int value);
  const WideString& PopupFormCaption() const { return FPopupFormCaption; }
  void SetPopupFormCaption(const WideString& value) { FPopupFormCaption = value; }
  bool PopupFormClientEdge() const { return FPopupFormClientEdge; }
  void SetPopupFormClientEdge(bool value) { FPopupFormClientEdge = value; }
  bool PopupFormFlatBorder() const { return FPopupFormFlatBorder; }
  void SetPopupFormFlatBorder(bool value) { FPopupFormFlatBorder = value; }
  bool PopupFormSizeable() const { return FPopupFormSizeable; }
  void SetPopupFormSizeable(bool value) { FPopupFormSizeable = value; }
  TdxPopupEditFormBorderStyle PopupFormBorderStyle() const { return FPopupFormBorderStyle; }
  void SetPopupFormBorderStyle(TdxPopupEditFormBorderStyle value) { FPopupFormBorderStyle = value; }
  TControl* PopupControl() const { return FPopupControl; }
  void SetPopupControl(TControl* value);
  // The editor's pop-up events, answered with the row as sender.
  virtual void DoCloseQuery(TObject* sender, bool& canClose);
  virtual void DoPopupCloseUp(TObject* sender, WideString& text, bool& accept);
  virtual void DoInitPopup(TObject* sender);
  virtual void DoPopup(TObject* sender, const WideString& editText);
  TdxPopupEditCloseQueryEvent OnCloseQuery;
  TdxPopupEditCloseUpEvent OnCloseUp;
  TNotifyEvent OnInitPopup;
  TdxPopupEditPopupEvent OnPopup;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  TControl* FPopupControl = nullptr;
  TdxPopupEditFormBorderStyle FPopupFormBorderStyle = pbsDialog;
  bool FHideEditCursor = false, FPopupAutoSize = true;
  WideString FPopupFormCaption;
  bool FPopupFormClientEdge = false, FPopupFormFlatBorder = true, FPopupFormSizeable = true;
  int32_t FPopupHeight = 200, FPopupMinHeight = 100, FPopupMinWidth = 100, FPopupWidth = 250;
};


// The button row's buttons: a change also reaches the row.
class TdxRowEditButtons : public TdxEditButtons {
public:
  TVK_CLASS(TdxRowEditButtons, TdxEditButtons)
  explicit TdxRowEditButtons(TComponent* owner) : TdxEditButtons(owner, CollectionItemClassOf<TdxEditButton>()) {}
  void Update(TCollectionItem* item) override;
};

class TdxInspectorButtonRow : public TdxInspectorDropDownRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorButtonRow, TdxInspectorDropDownRow)
  explicit TdxInspectorButtonRow(TComponent* owner);
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override;
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  void WriteEditorValue(TdxInplaceEdit* editor, Variant& value) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) override;
  virtual void DoButtonClick(TObject* sender, int absoluteIndex);
  void RowChanged() { Changed(); }

  bool ButtonOnly() const { return FButtonOnly; }
  void SetButtonOnly(bool value);
  TdxEditButtons& Buttons() { return *FButtons; }
  void SetButtons(const TdxEditButtons& value) { FButtons->Assign(value); }
  TdxEditButtonStyle EditButtonStyle() const { return FEditButtonStyle; }
  void SetEditButtonStyle(TdxEditButtonStyle value);
  TShortCut ClickKey() const { return FClickKey; }
  void SetClickKey(TShortCut value) { FClickKey = value; }
  TBitmap& Glyph() { return *FGlyph; }
  void SetGlyph(const TBitmap& value);
  bool HideEditCursor() const { return FHideEditCursor; }
  void SetHideEditCursor(bool value);
  TdxEditButtonClickEvent OnButtonClick;

private:
  bool FButtonOnly = false;
  std::unique_ptr<TdxRowEditButtons> FButtons;
  TdxEditButtonStyle FEditButtonStyle = ebsEllipsis;
  TShortCut FClickKey = scCtrl | VK_RETURN;
  std::unique_ptr<TBitmap> FGlyph = std::make_unique<TBitmap>();
  bool FHideEditCursor = false;
};

class TdxInspectorMRURow : public TdxInspectorPickRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorMRURow, TdxInspectorPickRow)
  explicit TdxInspectorMRURow(TComponent* owner);
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInspectorMRUEdit>(); }
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  void ReadEditorValue(TdxInplaceEdit* editor, Variant& value) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) override;
  virtual void DoButtonClick(TObject* sender);
  int MaxItemCount() const { return FMaxItemCount; }
  void SetMaxItemCount(int value) { FMaxItemCount = value; }
  bool ShowEllipsis() const { return FShowEllipsis; }
  void SetShowEllipsis(bool value);
  TNotifyEvent OnButtonClick;

private:
  int32_t FMaxItemCount = 7;
  bool FShowEllipsis = true;
};

class TdxInspectorHyperLinkRow : public TdxInspectorRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorHyperLinkRow, TdxInspectorRow)
  explicit TdxInspectorHyperLinkRow(TComponent* owner);
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInspectorHyperLinkEdit>(); }
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) override;
  virtual void DoStartClick(TObject* sender);
  TColor EditBackgroundColor() const { return FEditBackgroundColor; }
  void SetEditBackgroundColor(TColor value);
  TColor EditFontColor() const { return FEditFontColor; }
  void SetEditFontColor(TColor value);
  bool SingleClick() const { return FSingleClick; }
  void SetSingleClick(bool value);
  TShortCut StartKey() const { return FStartKey; }
  void SetStartKey(TShortCut value) { FStartKey = value; }
  TFont& LinkFont() { return *FLinkFont; }
  TNotifyEvent OnStartClick;

private:
  void RefreshLinkFont();
  TColor FEditBackgroundColor = 0xFFFFFF, FEditFontColor = 0xFF0000;
  std::unique_ptr<TFont> FLinkFont = std::make_unique<TFont>();
  bool FSingleClick = false;
  TShortCut FStartKey = scCtrl | VK_RETURN;
};

using TdxInspectorImageColumnCloseUp = std::function<void(TObject* Sender, WideString& Value, bool& Accept)>;

class TdxInspectorImageRow : public TdxInspectorDropDownRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorImageRow, TdxInspectorDropDownRow)
  explicit TdxInspectorImageRow(TComponent* owner);
  ~TdxInspectorImageRow() override;
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInspectorImageEdit>(); }
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) override;
  void DoCloseUp(TObject* sender, WideString& value, bool& accept) override;
  int CalcMinHeight(TCanvas& canvas) override;
  bool IsTextCut(bool forValue, const RECT& rect, WideString& text) override;
  int GetImageIndex(const WideString& text) const;
  void GetIndexes(const WideString& text, int& imageIndex, int& descIndex) const;

  bool DefaultImages() const { return FDefaultImages; }
  void SetDefaultImages(bool value);
  TStringList& Descriptions() { return *FDescriptions; }
  void SetDescriptions(const TStrings& value);
  TStringList& ImageIndexes() { return *FImageIndexes; }
  void SetImageIndexes(const TStrings& value);
  TStringList& Values() { return *FValues; }
  void SetValues(const TStrings& value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* value);
  TCustomImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* value);
  int ListWidth() const { return DropDownWidth(); }
  void SetListWidth(int value) { SetDropDownWidth(value); }
  bool MultiLineText() const { return FMultiLineText; }
  void SetMultiLineText(bool value);
  bool ShowDescription() const { return FShowDescription; }
  void SetShowDescription(bool value);
  TdxInspectorImageColumnCloseUp OnCloseUp;

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  void SetList(TCustomImageList*& field, TChangeLink& link, TCustomImageList* value, bool notify);
  void SetFlag(bool& field, bool value);
  bool FDefaultImages = true;
  std::unique_ptr<TStringList> FDescriptions = std::make_unique<TStringList>();
  std::unique_ptr<TChangeLink> FImageChangeLink = std::make_unique<TChangeLink>();
  std::unique_ptr<TStringList> FImageIndexes = std::make_unique<TStringList>();
  TCustomImageList* FImages = nullptr;
  std::unique_ptr<TChangeLink> FLargeImageChangeLink = std::make_unique<TChangeLink>();
  TCustomImageList* FLargeImages = nullptr;
  bool FMultiLineText = false, FShowDescription = false;
  std::unique_ptr<TStringList> FValues = std::make_unique<TStringList>();
};

// The blob row's plain settings: copied whole by Assign, reset whole by RestoreDefaults.
struct TdxInspectorBlobSettings {
  bool AlwaysSaveText = false;
  bool ImmediatePopup = false;
  int32_t MaxDisplayLength = 255;
  TEditCharCase MemoCharCase = TEditCharCase::ecNormal;
  bool MemoHideScrollBars = true;
  int32_t MemoMaxLength = 0;
  bool MemoOEMConvert = false;
  TScrollStyle MemoScrollBars = TScrollStyle::ssBoth;
  bool MemoSelectionBar = false, MemoWantReturns = true, MemoWantTabs = true, MemoWordWrap = true;
  bool PictureAutoSize = true;
  TdxGraphicEditTransparency PictureTransparency = gtDefault;
  int32_t PopupHeight = 140, PopupWidth = 200;
  bool ShowExPopupItems = false, ShowPicturePopup = false, SizeablePopup = true;
};

using TdxInspectorBlobRowAssignPictureEvent = std::function<void(TObject* Sender, TPicture*& Picture)>;
using TdxInspectorBlobRowGetGraphicClassEvent = std::function<void(TObject* Sender, TGraphicClass& GraphicClass)>;

class TdxInspectorCustomBlobRow : public TdxInspectorDropDownRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorCustomBlobRow, TdxInspectorDropDownRow)
  explicit TdxInspectorCustomBlobRow(TComponent* owner);
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInspectorBlobEdit>(); }
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  void WriteEditorValue(TdxInplaceEdit* editor, Variant& value) override;
  void ReadEditorValue(TdxInplaceEdit* editor, Variant& value) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) override;
  virtual void DoAssignPicture(TObject* sender, TPicture*& picture);
  virtual void DoGetGraphicClass(TObject* sender, TGraphicClass& graphicClass);
  virtual void DoSavePopupSize(TObject* sender);
  virtual void GetBlobValue(Variant& value) { value = Variant(EditText()); }
  virtual TdxBlobEditKind GetBlobEditKind() const { return FBlobEditKind; }
  virtual void GetBlobDisplayText(WideString& text) { text = DisplayText(); }
  virtual TGraphicClass GetGraphicClass();

  TdxInspectorBlobSettings Settings;  // plain stores, no notification
  TdxBlobKind BlobKind() const { return FBlobKind; }
  void SetBlobKind(TdxBlobKind value);
  TdxBlobPaintStyle BlobPaintStyle() const { return FBlobPaintStyle; }
  void SetBlobPaintStyle(TdxBlobPaintStyle value);
  const WideString& PictureFilter() const { return FPictureFilter; }
  void SetPictureFilter(const WideString& value) { FPictureFilter = value; }
  UINT PictureClipboardFormat;
  TGraphicClass PictureGraphicClass = nullptr;
  TdxInspectorBlobRowAssignPictureEvent OnAssignPicture;
  TdxInspectorBlobRowGetGraphicClassEvent OnGetGraphicClass;

protected:
  TdxBlobEditKind FBlobEditKind = bekMemo;

private:
  TdxBlobKind FBlobKind = bkAuto;
  TdxBlobPaintStyle FBlobPaintStyle = bpsIcon;
  WideString FPictureFilter;
};

class TdxInspectorGraphicRow : public TdxInspectorRow {
public:
  TVK_INSPECTOR_ROW(TdxInspectorGraphicRow, TdxInspectorRow)
  explicit TdxInspectorGraphicRow(TComponent* owner);
  ~TdxInspectorGraphicRow() override;
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxInplaceEditClassType GetEditorClass() const override { return EditorClassOf<TdxInspectorGraphicEdit>(); }
  void AssignEditorProperties(TdxInplaceEdit* editor) override;
  void WriteEditorValue(TdxInplaceEdit* editor, Variant& value) override;
  void ReadEditorValue(TdxInplaceEdit* editor, Variant& value) override;
  void PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) override;
  virtual void DoAssignPicture(TObject* sender, TPicture*& picture);
  virtual void DoCustomClick(TObject* sender);
  virtual void DoGetGraphicClass(TObject* sender, TGraphicClass& graphicClass);
  virtual TGraphicClass GetGraphicClass();
  virtual Variant GetPictureValue() { return Variant(EditText()); }

  bool Center() const { return FCenter; }
  void SetCenter(bool value) { SetFlag(FCenter, value); }
  bool CustomGraphic() const { return FCustomGraphic; }
  void SetCustomGraphic(bool value) { SetFlag(FCustomGraphic, value); }
  bool QuickDraw() const { return FQuickDraw; }
  void SetQuickDraw(bool value) { SetFlag(FQuickDraw, value); }
  bool Stretch() const { return FStretch; }
  void SetStretch(bool value) { SetFlag(FStretch, value); }
  TdxGraphicEditTransparency GraphicTransparency() const { return FGraphicTransparency; }
  void SetGraphicTransparency(TdxGraphicEditTransparency value);
  bool PopupToolbarPosStored() const { return FPopupToolbarPosStored; }
  void SetPopupToolbarPosStored(bool value);
  TdxPopupToolBarWindow& PopupToolBar() { return *FPopupToolBar; }
  void SetPopupToolBar(const TdxPopupToolBarWindow& value) { FPopupToolBar->Assign(value); }
  TPicture& Picture() { return *FPicture; }
  UINT ClipboardFormat;
  WideString CustomFilter;
  bool DblClickActivate = true;
  POINT PopupToolbarPos = kNoToolbarPos;
  TdxGraphicEditAssignPictureEvent OnAssignPicture;
  TNotifyEvent OnCustomClick;
  TdxGraphicEditGraphicClassEvent OnGetGraphicClass;

private:
  void SetFlag(bool& field, bool value);
  bool FCenter = true, FCustomGraphic = false;
  TdxGraphicEditTransparency FGraphicTransparency = gtDefault;
  std::unique_ptr<TPicture> FPicture;
  std::unique_ptr<TdxPopupToolBarWindow> FPopupToolBar;
  bool FPopupToolbarPosStored = true, FQuickDraw = false, FStretch = true;
};

// A kind's text variant: it keeps its value as a text of its own.
#define TVK_INSPECTOR_TEXT_ROW(Name, Kind)                             \
  class Name : public Kind {                                           \
  public:                                                              \
    TVK_INSPECTOR_ROW(Name, Kind)                                      \
    using Kind::Kind;                                                  \
    WideString GetDisplayText() override { return FText; }             \
    WideString GetEditText() override { return FText; }                \
    void SetEditText(const WideString& value) override {               \
      if (value == FText) return;                                      \
      FText = value;                                                   \
      Changed();                                                       \
    }                                                                  \
    const WideString& Text() const { return FText; }                   \
    void SetText(const WideString& value) {                            \
      FText = value;                                                   \
      Changed();                                                       \
    }                                                                  \
                                                                       \
  private:                                                             \
    WideString FText;                                                  \
  };

TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextMaskRow, TdxInspectorMaskRow)
TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextDateRow, TdxInspectorDateRow)
TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextCheckRow, TdxInspectorCheckRow)
TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextCalcRow, TdxInspectorCalcRow)
TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextSpinRowBase, TdxInspectorSpinRow)
TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextPickRow, TdxInspectorPickRow)
TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextTimeRow, TdxInspectorTimeRow)
TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextCurrencyRow, TdxInspectorCurrencyRow)
TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextPopupRow, TdxInspectorPopupRow)
TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextMemoRow, TdxInspectorMemoRow)
TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextButtonRow, TdxInspectorButtonRow)
TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextMRURow, TdxInspectorMRURow)
TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextImageRow, TdxInspectorImageRow)
TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextHyperLinkRow, TdxInspectorHyperLinkRow)
TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextBlobRowBase, TdxInspectorCustomBlobRow)
TVK_INSPECTOR_TEXT_ROW(TdxInspectorTextGraphicRow, TdxInspectorGraphicRow)

// The spin text variant also keeps its value type.
class TdxInspectorTextSpinRow : public TdxInspectorTextSpinRowBase {
public:
  TVK_INSPECTOR_ROW(TdxInspectorTextSpinRow, TdxInspectorTextSpinRowBase)
  using TdxInspectorTextSpinRowBase::TdxInspectorTextSpinRowBase;
  void Assign(const TPersistent& source) override;
  void RestoreDefaults() override;
  TdxValueType GetValueType() const override { return FValueType; }
  void SetValueType(TdxValueType value) { FValueType = value; }

private:
  TdxValueType FValueType = vtInt;
};

// The blob text variant also chooses what its pop-up edits.
class TdxInspectorTextBlobRow : public TdxInspectorTextBlobRowBase {
public:
  TVK_INSPECTOR_ROW(TdxInspectorTextBlobRow, TdxInspectorTextBlobRowBase)
  using TdxInspectorTextBlobRowBase::TdxInspectorTextBlobRowBase;
  TdxBlobEditKind BlobEditKind() const { return FBlobEditKind; }
  void SetBlobEditKind(TdxBlobEditKind value);
};

// The row-type unit's start-up: the check texts, the text variants registered for forms.
bool InspectorRowsUnitStartup();
void InspectorRowsUnitShutdown();

}  // namespace tvk
