#pragma once
// The text editor's unit: the properties of every text editor (letter case,
// password echo, length limit, number formats, lookup items, the null text)
// with the rules that turn an edit value into the text shown or edited, and
// the text view data and view info that lay that text out and paint it
// without a window.
#include "StdCtrls.h"
#include "cxDrawTextUtils.h"
#include "cxEdit.h"
#include "cxEditViewInfo.h"
#include "cxFormats.h"

#include <bitset>

namespace tvk {

enum TcxEditEchoMode { eemNormal, eemPassword };
enum TcxTextEditViewStyle { vsNormal, vsHideCursor, vsButtonsOnly, vsButtonsAutoWidth };
// Characters a text editor accepts besides what its provider allows (by the low byte).
using TcxTextEditChars = std::bitset<256>;
using TcxNewLookupDisplayTextEvent = std::function<void(TObject* Sender, const TCaption& AText)>;

// ---- Lookup data: the text editor's model of its lookup items

enum TcxEditLookupDataGoDirection { egdBegin, egdEnd, egdNext, egdPrev };

// {F49C5F08-7758-4362-A360-1DF02354E708}
inline constexpr GUID IID_IcxTextEditLookupData = {
    0xF49C5F08, 0x7758, 0x4362, {0xA3, 0x60, 0x1D, 0xF0, 0x23, 0x54, 0xE7, 0x08}};
struct IcxTextEditLookupData {
  virtual bool CanResizeVisualArea(SIZE& NewSize, int AMaxHeight, int AMaxWidth) = 0;
  virtual void CloseUp() = 0;
  virtual void Deinitialize() = 0;
  virtual void DropDown() = 0;
  virtual void DroppedDown(const WideString& AFindStr) = 0;
  virtual bool Find(const WideString& AText) = 0;
  virtual TControl* GetActiveControl() = 0;
  virtual Variant GetCurrentKey() = 0;
  virtual WideString GetDisplayText(const Variant& AKey) = 0;
  virtual TNotifyEvent GetOnCurrentKeyChanged() = 0;
  virtual TNotifyEvent GetOnSelectItem() = 0;
  virtual int GetListItemIndex() = 0;
  virtual SIZE GetVisualAreaPreferredSize(int AMaxHeight, int AWidth) = 0;
  virtual void Go(TcxEditLookupDataGoDirection ADirection, bool ACircular) = 0;
  virtual void Initialize(TWinControl* AVisualControlsParent) = 0;
  virtual bool IsEmpty() = 0;
  virtual bool IsMouseOverList(POINT P) = 0;
  virtual bool Locate(WideString& AText, WideString& ATail, bool ANext) = 0;
  virtual void PositionVisualArea(const RECT& AClientRect) = 0;
  virtual void PropertiesChanged() = 0;
  virtual void SelectItem() = 0;
  virtual void SetCurrentKey(const Variant& AKey) = 0;
  virtual void SetOnCurrentKeyChanged(const TNotifyEvent& AValue) = 0;
  virtual void SetOnSelectItem(const TNotifyEvent& AValue) = 0;
  virtual void SetListItemIndex(int AIndex) = 0;
  virtual void TextChanged() = 0;

protected:
  ~IcxTextEditLookupData() = default;
};

// The class of a text editor's lookup data (null: the editor keeps none).
struct TcxTextEditLookupDataClassRef {
  TClass Info;
  TcxInterfacedPersistent* (*Create)(TPersistent* AOwner);
};
using TcxTextEditLookupDataClass = const TcxTextEditLookupDataClassRef*;

// ---- Properties

class TcxCustomTextEditProperties;

// The format, edit-format and length flags beside the base ones.
class TcxTextEditPropertiesValues : public TcxCustomEditPropertiesValues {
public:
  TVK_CLASS(TcxTextEditPropertiesValues, TcxCustomEditPropertiesValues)
  explicit TcxTextEditPropertiesValues(TcxCustomTextEditProperties* AOwner);
  void Assign(const TPersistent& Source) override;
  void DefineProperties(TFiler& AFiler) override;
  // The base flags and these three cleared, in one bracket.
  void RestoreTextDefaults();

  bool DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(bool AValue);
  bool EditFormat() const { return FEditFormat; }
  void SetEditFormat(bool AValue);
  bool MaxLength() const { return FMaxLength; }
  void SetMaxLength(bool AValue);

private:
  friend class TcxCustomTextEditProperties;  // the read-only stream property sets the flag directly
  bool IsFormatStored(bool AFlag, const WideString& AOwnerFormat, const wchar_t* AName) const;

  TcxCustomTextEditProperties* FTextOwner;
  bool FDisplayFormat = false;
  bool FEditFormat = false;
  bool FMaxLength = false;
};

class TcxCustomTextEditProperties : public TcxCustomEditProperties, public IcxFormatControllerListener {
public:
  TVK_CLASS(TcxCustomTextEditProperties, TcxCustomEditProperties)
  TVK_EDIT_PROPERTIES_CLASS(TcxCustomTextEditProperties)
  explicit TcxCustomTextEditProperties(TPersistent* AOwner);
  // Leaves the format controller before anything is freed.
  ~TcxCustomTextEditProperties() override;

  void Assign(const TPersistent& Source) override;
  void DefineProperties(TFiler& AFiler) override;
  void RestoreDefaults() override;

  TcxCustomEditViewDataClass ViewDataClass() const override;
  TcxCustomEditViewInfoClass GetViewInfoClass() const override;
  TcxCustomEditPropertiesValues* CreateAssignedValues() override;
  bool CanCompareEditValue() override { return true; }
  bool InnerEditNotifiesChange() override { return true; }
  TcxDataEditValueSource GetEditValueSource(bool) override { return evsText; }
  bool IsResetEditClass() override { return GetEditingStyle() != esNoEdit; }
  TcxEditSupportedOperations GetSupportedOperations() override;
  TCaption DefaultValidateErrorText(int AErrorKind) override;

  // The text an editor shows for a value (the full text and in-place flags as a grid asks).
  WideString GetDisplayText(const Variant& AEditValue, bool AFullText = false, bool AIsInplace = true) override;
  void PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused) override;
  // Equal when their full in-place display texts are equal, case-sensitively.
  bool CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) override;
  bool IsEditValueValid(Variant& EditValue, bool AEditFocused) override;
  void ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                            TcxEditPropertiesHost* AEdit) override;

  // The format controller's call: every editor of these properties hears a change.
  void STDMETHODCALLTYPE FormatChanged() override;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID AIID, void** AObject) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  virtual WideString GetInvalidDisplayValue() { return {}; }
  // True when some lookup item equals AText ignoring case.
  virtual bool FindLookupText(const WideString& AText);
  virtual int GetDropDownRowCount() { return 8; }
  virtual TcxEditEditingStyle GetEditingStyle();
  virtual TcxTextEditLookupDataClass GetLookupDataClass() { return nullptr; }
  // Whether a display value gets thousand separators (ASynchronizing: the
  // display value is being rebuilt from the edit value).
  virtual bool UseThousandSeparators(bool ASynchronizing) {
    (void)ASynchronizing;
    return false;
  }
  // The format while editing, with whether the value is a currency and
  // whether the provider has a text handler (AInplaceEditor: asked for an
  // in-place editor).
  virtual WideString GetEditFormatEx(bool& AIsCurrency, bool& AIsOnGetTextAssigned, bool AInplaceEditor = false);
  virtual bool UseLookupData() { return GetLookupDataClass() != nullptr; }
  virtual bool IsValueNull(const Variant& AValue) { return VarIsNull(AValue); }
  virtual bool IsEditValueNumeric() { return false; }
  virtual bool IsMultiLine() { return false; }
  virtual bool IsLookupListKey(WORD AKey, TShiftState AShift) {
    (void)AKey;
    (void)AShift;
    return false;
  }
  // ABound 0: the minimum, 1: the maximum.
  virtual bool IsValueBoundDefined(int ABound);
  virtual bool IsValueBoundsDefined();
  // The text shown for a display value: masked for a password, else in the letter case.
  virtual WideString DisplayValueToDisplayText(const WideString& ADisplayValue);
  // An empty text, or (in a list style with lookup data) a lookup item;
  // a valid text is written back in the letter case.
  virtual bool IsDisplayValueValid(Variant& DisplayValue, bool AEditFocused);
  bool CanIncrementalSearch();

  // Property accessors.
  TEditCharCase CharCase() const { return FCharCase; }
  virtual void SetCharCase(TEditCharCase AValue);
  WideString DisplayFormat();
  void SetDisplayFormat(const WideString& AValue);
  TcxEditEchoMode EchoMode() const { return FEchoMode; }
  void SetEchoMode(TcxEditEchoMode AValue) { SetChanging(FEchoMode, AValue); }
  WideString EditFormat();
  void SetEditFormat(const WideString& AValue);
  bool FixedListSelection() const { return FFixedListSelection; }
  void SetFixedListSelection(bool AValue);
  bool FormatChanging() const { return FFormatChanging; }
  bool HideCursor() const { return FHideCursor; }
  void SetHideCursor(bool AValue) { SetChanging(FHideCursor, AValue); }
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool AValue) { SetChanging(FHideSelection, AValue); }
  TImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode AValue) { SetChanging(FImeMode, AValue); }
  const WideString& ImeName() const { return FImeName; }
  void SetImeName(const WideString& AValue) { SetChanging(FImeName, AValue); }
  bool ImmediateUpdateText() const { return FImmediateUpdateText; }
  void SetImmediateUpdateText(bool AValue) { FImmediateUpdateText = AValue; }
  bool IncrementalSearch() const { return FIncrementalSearch; }
  void SetIncrementalSearch(bool AValue) { SetChanging(FIncrementalSearch, AValue); }
  TStringList& LookupItems() { return *FLookupItems; }
  void SetLookupItems(const TStrings& AValue) { FLookupItems->Assign(AValue); }
  bool LookupItemsSorted() const { return FLookupItems->Sorted(); }
  void SetLookupItemsSorted(bool AValue) { FLookupItems->SetSorted(AValue); }
  int MaxLength();
  void SetMaxLength(int AValue);
  bool MRUMode() const { return FMRUMode; }
  void SetMRUMode(bool AValue) { SetChanging(FMRUMode, AValue); }
  const WideString& Nullstring() const { return FNullstring; }
  void SetNullstring(const WideString& AValue) { SetChanging(FNullstring, AValue); }
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool AValue) { SetChanging(FOEMConvert, AValue); }
  wchar_t PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(wchar_t AValue) { SetChanging(FPasswordChar, AValue); }
  bool UseDisplayFormatWhenEditing() const { return FUseDisplayFormatWhenEditing; }
  void SetUseDisplayFormatWhenEditing(bool AValue) { SetChanging(FUseDisplayFormatWhenEditing, AValue); }
  bool UseNullString() const { return FUseNullString; }
  void SetUseNullString(bool AValue) { SetChanging(FUseNullString, AValue); }
  const TcxTextEditChars& ValidChars() const { return FValidChars; }
  void SetValidChars(const TcxTextEditChars& AValue) { FValidChars = AValue; }
  TcxTextEditViewStyle ViewStyle() const;
  void SetViewStyle(TcxTextEditViewStyle AValue);
  TcxTextEditPropertiesValues& AssignedValues() {
    return static_cast<TcxTextEditPropertiesValues&>(TcxCustomEditProperties::AssignedValues());
  }

  TcxNewLookupDisplayTextEvent OnNewLookupDisplayText;

protected:
  void AlignmentChanged() override;
  void AssignAlignment(const TcxEditAlignment& AValue) override;
  bool CanValidate() override { return true; }
  unsigned DisplayFormatFlags() override { return 1; }
  virtual void ValidateValueBounds(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                   TcxEditPropertiesHost* AEdit);
  virtual void InternalPrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool AEditFocused);
  virtual WideString GetDefaultDisplayFormat() { return {}; }
  virtual int GetDefaultMaxLength();
  virtual void MaxLengthChanged() { Changed(); }
  // What an editor makes of a display value when it checks bounds (the
  // text editor passes it on unchanged).
  virtual Variant PrepareEditValueForBounds(const Variant& ADisplayValue, TcxEditPropertiesHost* AEdit);

private:
  friend class TcxTextEditPropertiesValues;
  template <class T>
  void SetChanging(T& AField, const T& AValue) {
    if (AField == AValue) return;
    AField = AValue;
    Changed();
  }

  TEditCharCase FCharCase = TEditCharCase::ecNormal;
  WideString FDisplayFormat;
  TcxEditEchoMode FEchoMode = eemNormal;
  WideString FEditFormat;
  bool FFixedListSelection = true;
  bool FFormatChanging = false;
  bool FHideCursor = false;
  bool FHideSelection = true;
  TImeMode FImeMode = TImeMode::imDontCare;
  WideString FImeName;
  bool FImmediateUpdateText = false;
  bool FIncrementalSearch = true;
  std::unique_ptr<TStringList> FLookupItems;
  int FMaxLength = 0;
  bool FMRUMode = false;
  WideString FNullstring;
  bool FOEMConvert = false;
  wchar_t FPasswordChar = 0;
  bool FUseDisplayFormatWhenEditing = false;
  bool FUseNullString = false;
  TcxTextEditChars FValidChars;
};

// The published form.
class TcxTextEditProperties : public TcxCustomTextEditProperties {
public:
  TVK_CLASS(TcxTextEditProperties, TcxCustomTextEditProperties)
  TVK_EDIT_PROPERTIES_CLASS(TcxTextEditProperties)
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
  bool IsPublishedProperty(std::wstring_view AName) const override;
};

// Thousand separators put into a number's text (its blanks and exponent kept).
WideString InsertThousandSeparators(const WideString& AText);

// ---- View data and view info

class TcxCustomTextEditViewInfo;
using TcxTextEditCustomDrawHandler = std::function<void(TcxCanvas& ACanvas, TcxCustomTextEditViewInfo* AViewInfo)>;

struct TcxTextOutData {
  bool ForceEndEllipsis = false;
  bool Initialized = false;
  int RowCount = 0;
  int SelStart = 0;
  int SelLength = 0;
  TColor SelBackgroundColor = clDefault;
  TColor SelTextColor = clDefault;
  TcxTextParams TextParams{};
  RECT TextRect{};
  TcxTextRows TextRows;
};

class TcxCustomTextEditViewInfo : public TcxCustomEditViewInfo {
public:
  TVK_CLASS(TcxCustomTextEditViewInfo, TcxCustomEditViewInfo)
  TcxCustomTextEditViewInfo() = default;
  ~TcxCustomTextEditViewInfo() override;

  void Offset(int DX, int DY);
  bool NeedShowHint(TcxCanvas& ACanvas, POINT P, const RECT& AVisibleBounds, RECT& ATextRect, bool& AIsMultiLine,
                    WideString& AText) override;
  using TcxCustomEditViewInfo::NeedShowHint;
  virtual void DrawText(TcxCanvas& ACanvas);
  virtual int GetTextBaseLine();

  bool ComboBoxStyle = false;
  TcxTextEditCustomDrawHandler CustomDrawHandler;
  bool DrawSelectionBar = false;
  unsigned DrawTextFlags = 0;
  TcxEditEditingStyle EditingStyle = esEdit;
  bool HasPopupWindow = false;
  bool IsEditClass = false;
  bool IsOwnerDrawing = false;
  int MaxLineCount = 0;
  int SelStart = 0;
  int SelLength = 0;
  TColor SelTextColor = clDefault;
  TColor SelBackgroundColor = clDefault;
  WideString Text;
  TcxTextOutData TextOutData;
  RECT TextRect{};
  // Painting a copy of the editor (its window's text is then painted here too).
  bool PaintingCopy = false;

protected:
  void InternalDrawBackground(TcxCanvas& ACanvas) override;
};

class TcxCustomTextEditViewData : public TcxCustomEditViewData {
public:
  TVK_CLASS(TcxCustomTextEditViewData, TcxCustomEditViewData)
  TcxCustomTextEditViewData(TcxCustomEditProperties& AProperties, TcxCustomEditStyle& AStyle, bool AIsInplace);

  void Calculate(TcxCanvas& ACanvas, const RECT& ABounds, POINT P, TcxMouseButton AButton, TShiftState AShift,
                 TcxCustomEditViewInfo& AViewInfo, bool AIsMouseEvent) override;
  RECT GetClientExtent(TcxCanvas& ACanvas, TcxCustomEditViewInfo& AViewInfo) override;
  WideString ValueToDisplayText(const Variant& AEditValue) override;
  virtual void EditValueToDrawValue(const Variant& AEditValue, TcxCustomEditViewInfo& AViewInfo);
  virtual void DisplayValueToDrawValue(const Variant& ADisplayValue, TcxCustomEditViewInfo& AViewInfo);
  virtual bool IsInnerEditShown() { return false; }
  virtual int GetMaxLineCount() { return MaxLineCount; }
  virtual bool IsComboBoxStyle() { return false; }
  virtual unsigned GetDrawTextFlags();
  virtual RECT GetDrawTextOffset();
  // The selection colours of the view info from this view data's selection.
  void PrepareSelection(TcxCustomTextEditViewInfo& AViewInfo);
  // The size the text of a display text needs (see the properties' sizes).
  SIZE CalculateTextContentSize(TcxCanvas& ACanvas, const WideString& AText,
                                const TcxEditSizeProperties& ASizeProperties, unsigned ADrawTextFlags,
                                int AFixedRowCount, bool AAddCorrectionWidth);

  TcxCustomTextEditProperties& TextProperties() { return static_cast<TcxCustomTextEditProperties&>(Properties()); }

  int MaxLineCount = 0;
  int SelStart = 0;
  int SelLength = 0;
  TColor SelTextColor = clDefault;
  TColor SelBackgroundColor = clDefault;
  // The style colour the selection colours are derived from.
  TColor StyleColor = clWindow;

protected:
  SIZE CalcContentSize(TcxCanvas& ACanvas, const Variant& AEditValue,
                       const TcxEditSizeProperties& ASizeProperties) override;
  void CalculateButtonNativeInfo(TcxEditButtonViewInfo& AButton) override;
  virtual void PrepareDrawTextFlags(TcxCanvas& ACanvas, TcxCustomTextEditViewInfo& AViewInfo);

private:
  bool FIsValueFormatted = false;
};

// The unit's start (registers the text properties) and stop.
void cxTextEditUnitStart();
void cxTextEditUnitStop();

}  // namespace tvk
