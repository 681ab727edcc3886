#include "dxInspRw.h"

#include <cmath>

#include "ClassRegistry.h"
#include "Clipbrd.h"
#include "Convert.h"
#include "LocaleFormats.h"
#include "ResStrings.h"
#include "TreeListResources.h"
#include "dxExUtils.h"
#include "dxValueText.h"

namespace tvk {

namespace {

const TResStringRec kCheckTrueText(IDS_dxTreeListCheckTrue);
const TResStringRec kCheckFalseText(IDS_dxTreeListCheckFalse);
// What new check rows take for their checked and unchecked texts (loaded at start-up).
WideString gDefaultValueChecked, gDefaultValueUnchecked;
int gRowsStartCount = 0;

// Holds a row's inspector's update lock while its settings are copied.
struct TKindUpdate {
  TCustomdxInspector* Inspector;
  explicit TKindUpdate(TCustomdxInspector* inspector) : Inspector(inspector) {
    if (Inspector) Inspector->BeginUpdate();
  }
  ~TKindUpdate() {
    if (Inspector) Inspector->EndUpdate();
  }
  TKindUpdate(const TKindUpdate&) = delete;
  TKindUpdate& operator=(const TKindUpdate&) = delete;
};

// A number from a value's text; false for a text that is not one.
bool NumberOf(const Variant& value, double& number) {
  const WideString text = EditValueText(value);
  if (text.empty()) {
    number = 0;
    return true;
  }
  return TryStrToFloat(text, number);
}

// Halves to even, as the spin row writes integers.
WideString RoundedText(double value) { return std::to_wstring(static_cast<long long>(std::nearbyint(value))); }

}  // namespace

bool IsRowUnicodeMode(const TdxInspectorRow& row) {
  if (row.Inspector()) return row.Inspector()->EnableUnicodeSupport;
  auto* owner = dynamic_cast<TCustomdxInspector*>(row.Owner());
  return owner && owner->EnableUnicodeSupport;
}

// ---- mask

void TdxInspectorMaskRow::Assign(const TPersistent& source) {
  const auto* row = dynamic_cast<const TdxInspectorMaskRow*>(&source);
  if (!row) {
    TdxInspectorRow::Assign(source);
    return;
  }
  TKindUpdate lock(Inspector());
  TdxInspectorRow::Assign(source);
  if (row->FAssignedEditMask) SetEditMask(row->FEditMask);
  FIgnoreMaskBlank = row->FIgnoreMaskBlank;
}

void TdxInspectorMaskRow::RestoreDefaults() {
  TdxInspectorRow::RestoreDefaults();
  SetEditMask(DefaultEditMask());
  FIgnoreMaskBlank = false;
  FAssignedEditMask = false;
}

void TdxInspectorMaskRow::SetEditMask(const WideString& value) {
  if (value == FEditMask) return;
  FEditMask = value;
  FAssignedEditMask = true;
}

TdxInplaceEditClassType TdxInspectorMaskRow::GetEditorClass() const {
  return IsRowUnicodeMode(*this) ? EditorClassOf<TXPDXEdit>() : EditorClassOf<TdxInspectorMaskEdit>();
}

void TdxInspectorMaskRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorRow::AssignEditorProperties(editor);
  if (auto* mask = dynamic_cast<TdxInplaceMaskEdit*>(editor)) {
    mask->SetEditMask(EditMask());
    mask->SetIgnoreMaskBlank(FIgnoreMaskBlank);
  }
}

void TdxInspectorMaskRow::WriteEditorValue(TdxInplaceEdit* editor, Variant& value) {
  if (auto* unicode = dynamic_cast<TXPDXEdit*>(editor)) {
    unicode->SetUnicodeText(EditText());
    value = Variant(unicode->GetUnicodeText());
  } else if (auto* mask = dynamic_cast<TdxInplaceMaskEdit*>(editor)) {
    mask->SetText(EditText());
    value = Variant(mask->GetText());
  } else {
    TdxInspectorRow::WriteEditorValue(editor, value);
  }
}

void TdxInspectorMaskRow::ReadEditorValue(TdxInplaceEdit* editor, Variant& value) {
  if (auto* unicode = dynamic_cast<TXPDXEdit*>(editor)) {
    SetEditText(unicode->GetUnicodeText());
    value = Variant(EditText());
  } else if (auto* mask = dynamic_cast<TdxInplaceMaskEdit*>(editor)) {
    SetEditText(mask->GetText());
    value = Variant(EditText());
  } else {
    TdxInspectorRow::ReadEditorValue(editor, value);
  }
}

// ---- check

TdxInspectorCheckRow::TdxInspectorCheckRow(TComponent* owner)
    : TdxInspectorRow(owner), FValueChecked(gDefaultValueChecked), FValueUnchecked(gDefaultValueUnchecked) {}

void TdxInspectorCheckRow::Assign(const TPersistent& source) {
  const auto* row = dynamic_cast<const TdxInspectorCheckRow*>(&source);
  if (!row) {
    TdxInspectorRow::Assign(source);
    return;
  }
  TKindUpdate lock(Inspector());
  TdxInspectorRow::Assign(source);
  FAllowGrayed = row->FAllowGrayed;
  SetBorder3D(row->FBorder3D);
  if (row->FGlyph) SetGlyph(row->FGlyph.get());
  SetGlyphCount(row->FGlyphCount);
  SetShowNullFieldStyle(row->FShowNullFieldStyle);
  SetValueChecked(row->FValueChecked);
  SetValueGrayed(row->FValueGrayed);
  SetValueUnchecked(row->FValueUnchecked);
}

void TdxInspectorCheckRow::RestoreDefaults() {
  TdxInspectorRow::RestoreDefaults();
  FAllowGrayed = false;
  FBorder3D = false;
  FGlyph.reset();
  FGlyphCount = 6;
  FShowNullFieldStyle = nsUnchecked;
  FValueChecked = gDefaultValueChecked;
  FValueGrayed.clear();
  FValueUnchecked = gDefaultValueUnchecked;
}

TdxCheckBoxState TdxInspectorCheckRow::GetCheckBoxState(const WideString& text) const {
  if (SameTextIgnoringCase(text, FValueChecked)) return cbsChecked;
  if (SameTextIgnoringCase(text, FValueUnchecked)) return cbsUnchecked;
  return cbsGrayed;
}

WideString TdxInspectorCheckRow::GetCheckBoxValue(TdxCheckBoxState state) const {
  switch (state) {
    case cbsUnchecked: return FValueUnchecked;
    case cbsChecked: return FValueChecked;
    default: return FValueGrayed;
  }
}

void TdxInspectorCheckRow::SetBorder3D(bool value) {
  if (value == FBorder3D) return;
  FBorder3D = value;
  Changed();
}

TBitmap* TdxInspectorCheckRow::Glyph() {
  if (!FGlyph) FGlyph = std::make_unique<TBitmap>();
  return FGlyph.get();
}

void TdxInspectorCheckRow::SetGlyph(const TBitmap* value) {
  if (!value) {
    FGlyph.reset();
  } else {
    Glyph()->Assign(*value);
  }
  Changed();
}

void TdxInspectorCheckRow::SetGlyphCount(int value) {
  if (value == FGlyphCount) return;
  FGlyphCount = value;
  if (FGlyph) Changed();
}

void TdxInspectorCheckRow::SetShowNullFieldStyle(TdxShowNullFieldStyle value) {
  if (value == FShowNullFieldStyle) return;
  FShowNullFieldStyle = value;
  Changed();
}

void TdxInspectorCheckRow::SetString(WideString& field, const WideString& value) {
  if (value == field) return;
  field = value;
  Changed();
}
void TdxInspectorCheckRow::SetValueChecked(const WideString& value) { SetString(FValueChecked, value); }
void TdxInspectorCheckRow::SetValueGrayed(const WideString& value) { SetString(FValueGrayed, value); }
void TdxInspectorCheckRow::SetValueUnchecked(const WideString& value) { SetString(FValueUnchecked, value); }

void TdxInspectorCheckRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorRow::AssignEditorProperties(editor);
  auto* check = dynamic_cast<TdxInplaceCheckEdit*>(editor);
  if (!check) return;
  check->SetAlignment(TAlignment::taLeftJustify);
  check->FAllowGrayed = FAllowGrayed;
  check->Style().SetButtonStyle(FBorder3D ? bts3D : btsSimple);
  check->SetGlyph(Glyph());
  check->SetGlyphCount(FGlyphCount);
  check->SetNullStyle(FShowNullFieldStyle);
}

void TdxInspectorCheckRow::WriteEditorValue(TdxInplaceEdit* editor, Variant& value) {
  if (auto* check = dynamic_cast<TdxInplaceCheckEdit*>(editor)) {
    value = Variant(EditText());
    check->SetState(GetCheckBoxState(EditValueText(value)));
    return;
  }
  TdxInspectorRow::WriteEditorValue(editor, value);
}

void TdxInspectorCheckRow::ReadEditorValue(TdxInplaceEdit* editor, Variant& value) {
  if (auto* check = dynamic_cast<TdxInplaceCheckEdit*>(editor)) SetEditText(GetCheckBoxValue(check->State()));
  value = Variant(EditText());
}

void TdxInspectorCheckRow::EditChange(TObject* sender) {
  TdxInspectorRow::EditChange(sender);
  auto* check = dynamic_cast<TdxInplaceCheckEdit*>(sender);
  if (!IsInitializingEditor() && check && OnToggleClick)
    OnToggleClick(this, GetCheckBoxValue(check->State()), check->State());
}

int TdxInspectorCheckRow::CalcMinHeight(TCanvas& canvas) {
  (void)canvas;
  int width = 0, height = 0;
  if (FGlyph && TdxInplaceCheckEditClass::CalcCheckSize(FGlyph.get(), FGlyphCount, width, height)) return height;
  return StandardCheckHeight() + 2;
}

bool TdxInspectorCheckRow::IsTextCut(bool forValue, const RECT& rect, WideString& text) {
  return !forValue && TdxInspectorRow::IsTextCut(forValue, rect, text);
}

void TdxInspectorCheckRow::PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) {
  TdxInspectorRow::PrepareViewData(viewData, cell);
  auto* check = dynamic_cast<TdxCheckEditViewData*>(&viewData);
  if (!check) return;
  check->Caption.clear();
  check->Data = Variant(int(GetCheckBoxState(cell.Cell_Text)));
  check->Alignment = TAlignment::taLeftJustify;
  check->ButtonStyle = FBorder3D ? bts3D : btsSimple;
  check->Glyph = Glyph();
  check->GlyphCount = FGlyphCount;
  check->NullStyle = FShowNullFieldStyle;
}

// ---- spin

void TdxInspectorSpinRow::Assign(const TPersistent& source) {
  const auto* row = dynamic_cast<const TdxInspectorSpinRow*>(&source);
  TdxInspectorRow::Assign(source);
  if (!row) return;
  FEditorEnabled = row->FEditorEnabled;
  FIncrement = row->FIncrement;
  if (row->FAssignedValues & Bit(srMinValue)) SetMinValue(row->FMinValue);
  if (row->FAssignedValues & Bit(srMaxValue)) SetMaxValue(row->FMaxValue);
  FUseCtrlIncrement = row->FUseCtrlIncrement;
}

void TdxInspectorSpinRow::RestoreDefaults() {
  TdxInspectorRow::RestoreDefaults();
  FAssignedValues = 0;
  FEditorEnabled = true;
  FIncrement = 1.0;
  FMinValue = FMaxValue = 0;
  FUseCtrlIncrement = true;
}

void TdxInspectorSpinRow::SetMinValue(double value) {
  if ((FAssignedValues & Bit(srMinValue)) && value == FMinValue) return;
  FMinValue = value;
  FAssignedValues |= Bit(srMinValue);
}

void TdxInspectorSpinRow::SetMaxValue(double value) {
  if ((FAssignedValues & Bit(srMaxValue)) && value == FMaxValue) return;
  FMaxValue = value;
  FAssignedValues |= Bit(srMaxValue);
}

void TdxInspectorSpinRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorRow::AssignEditorProperties(editor);
  auto* spin = dynamic_cast<TdxInplaceSpinEdit*>(editor);
  if (!spin) return;
  spin->FEditorEnabled = FEditorEnabled;
  spin->FIncrement = FIncrement;
  spin->SetMinMaxValues(MinValue(), MaxValue());
  spin->FUseCtrlIncrement = FUseCtrlIncrement;
  spin->SetValueType(GetValueType());
}

void TdxInspectorSpinRow::WriteEditorValue(TdxInplaceEdit* editor, Variant& value) {
  TdxInspectorRow::WriteEditorValue(editor, value);
  auto* spin = dynamic_cast<TdxInplaceSpinEdit*>(editor);
  if (!spin) return;
  double number = 0;
  if (NumberOf(value, number)) {
    spin->SetValue(number);
    value = Variant(spin->GetValue());
  } else {
    spin->SetValue(0);  // a text that is no number: the value stays the text
  }
}

void TdxInspectorSpinRow::ReadEditorValue(TdxInplaceEdit* editor, Variant& value) {
  if (auto* spin = dynamic_cast<TdxInplaceSpinEdit*>(editor)) {
    const double number = spin->GetValue();
    SetEditText(GetValueType() == vtFloat ? FloatToStrF(number, TFloatFormat::ffGeneral, 15, 0)
                                          : RoundedText(number));
    value = Variant(EditText());
    return;
  }
  TdxInspectorRow::ReadEditorValue(editor, value);
}

void TdxInspectorSpinRow::PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) {
  TdxInspectorRow::PrepareViewData(viewData, cell);
  if (auto* spin = dynamic_cast<TdxSpinEditViewData*>(&viewData)) spin->ShowButton = false;
}

void TdxInspectorTextSpinRow::Assign(const TPersistent& source) {
  TdxInspectorTextSpinRowBase::Assign(source);
  if (const auto* row = dynamic_cast<const TdxInspectorTextSpinRow*>(&source)) FValueType = row->FValueType;
}

void TdxInspectorTextSpinRow::RestoreDefaults() {
  TdxInspectorTextSpinRowBase::RestoreDefaults();
  FValueType = vtInt;
}

// ---- time

void TdxInspectorTimeRow::Assign(const TPersistent& source) {
  TdxInspectorRow::Assign(source);
  if (const auto* row = dynamic_cast<const TdxInspectorTimeRow*>(&source)) {
    FTimeEditFormat = row->FTimeEditFormat;
    FUseCtrlIncrement = row->FUseCtrlIncrement;
  }
}

void TdxInspectorTimeRow::RestoreDefaults() {
  TdxInspectorRow::RestoreDefaults();
  FTimeEditFormat = tfHourMinSec;
  FUseCtrlIncrement = true;
}

void TdxInspectorTimeRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorRow::AssignEditorProperties(editor);
  if (auto* time = dynamic_cast<TdxInplaceTimeEdit*>(editor)) {
    time->SetTimeEditFormat(FTimeEditFormat);
    time->FUseCtrlIncrement = FUseCtrlIncrement;
  }
}

void TdxInspectorTimeRow::ReadEditorValue(TdxInplaceEdit* editor, Variant& value) {
  if (auto* time = dynamic_cast<TdxInplaceTimeEdit*>(editor)) {
    SetEditText(time->Time() != 0 ? time->EditText() : WideString());
    value = Variant(EditText());
    return;
  }
  TdxInspectorRow::ReadEditorValue(editor, value);
}

// ---- currency

TdxInspectorCurrencyRow::TdxInspectorCurrencyRow(TComponent* owner)
    : TdxInspectorRow(owner), FDisplayFormat(BuildCurrencyDisplayFormat()) {}

void TdxInspectorCurrencyRow::Assign(const TPersistent& source) {
  TdxInspectorRow::Assign(source);
  const auto* row = dynamic_cast<const TdxInspectorCurrencyRow*>(&source);
  if (!row) return;
  FDecimalPlaces = row->FDecimalPlaces;
  if (row->FDisplayFormatStored) SetDisplayFormat(row->FDisplayFormat);
  if (row->FAssignedSpin & Bit(srMinValue)) SetMinValue(row->FMinValue);
  if (row->FAssignedSpin & Bit(srMaxValue)) SetMaxValue(row->FMaxValue);
  SetNullable(row->FNullable);
  SetNullString(row->FNullString);
  FUseThousandSeparator = row->FUseThousandSeparator;
}

void TdxInspectorCurrencyRow::RestoreDefaults() {
  TdxInspectorRow::RestoreDefaults();
  FAssignedSpin = 0;
  FDisplayFormatStored = false;
  FDecimalPlaces = 2;
  FDisplayFormat = BuildCurrencyDisplayFormat();
  FMinValue = FMaxValue = 0;
  FNullable = false;
  FNullString.clear();
  FUseThousandSeparator = false;
}

void TdxInspectorCurrencyRow::SettingsChanged() {
  if (!FDisplayFormatStored) FDisplayFormat = BuildCurrencyDisplayFormat();
}

void TdxInspectorCurrencyRow::SetDisplayFormat(const WideString& value) {
  if (value == FDisplayFormat) return;
  FDisplayFormat = value;
  FDisplayFormatStored = true;
  Changed();
}

void TdxInspectorCurrencyRow::SetMinValue(double value) {
  if ((FAssignedSpin & Bit(srMinValue)) && value == FMinValue) return;
  FMinValue = value;
  FAssignedSpin |= Bit(srMinValue);
}

void TdxInspectorCurrencyRow::SetMaxValue(double value) {
  if ((FAssignedSpin & Bit(srMaxValue)) && value == FMaxValue) return;
  FMaxValue = value;
  FAssignedSpin |= Bit(srMaxValue);
}

void TdxInspectorCurrencyRow::SetNullable(bool value) {
  if (value == FNullable) return;
  FNullable = value;
  Changed();
}

void TdxInspectorCurrencyRow::SetNullString(const WideString& value) {
  if (value == FNullString) return;
  FNullString = value;
  Changed();
}

Variant TdxInspectorCurrencyRow::GetNumericValue() {
  const WideString text = EditText();
  if (text.empty()) return Null();
  double number = 0;
  if (!TryStrToFloat(text, number)) throw EConvertError(L"'" + text + L"' is not a valid floating point value");
  return Variant(number);
}

void TdxInspectorCurrencyRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorRow::AssignEditorProperties(editor);
  auto* currency = dynamic_cast<TdxInplaceCurrencyEdit*>(editor);
  if (!currency) return;
  currency->FDecimalPlaces = int(FDecimalPlaces);
  currency->SetDisplayFormat(WideString());
  currency->SetMinMaxValues(MinValue(), MaxValue());
  currency->SetNullable(FNullable);
  currency->SetNullString(FNullString);
  currency->FUseThousandSeparator = FUseThousandSeparator;
}

void TdxInspectorCurrencyRow::WriteEditorValue(TdxInplaceEdit* editor, Variant& value) {
  TdxInspectorRow::WriteEditorValue(editor, value);
  auto* currency = dynamic_cast<TdxInplaceCurrencyEdit*>(editor);
  if (!currency) return;
  currency->SetText(WideString());
  const WideString text = EditValueText(value);
  double number = 0;
  if (text.empty()) {
    currency->SetValue(0);
    if (FNullable) currency->SetText(WideString());
  } else if (TryStrToFloat(text, number)) {
    currency->SetValue(number);
  } else {
    currency->SetValue(0);
  }
  value = Variant(currency->GetValue());
}

void TdxInspectorCurrencyRow::ReadEditorValue(TdxInplaceEdit* editor, Variant& value) {
  if (auto* currency = dynamic_cast<TdxInplaceCurrencyEdit*>(editor)) {
    if (VarIsNull(currency->GetEditValue()))
      SetEditText(WideString());
    else
      SetEditText(currency->GetValue() != 0 ? currency->EditText() : WideString(L"0"));
    value = Variant(EditText());
    return;
  }
  TdxInspectorRow::ReadEditorValue(editor, value);
}

void TdxInspectorCurrencyRow::PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) {
  TdxInspectorRow::PrepareViewData(viewData, cell);
  if (FDisplayFormat.empty()) return;
  try {
    const Variant number = GetNumericValue();
    if (VarIsNull(number))
      viewData.Data = Variant(FNullable ? FNullString : WideString());
    else
    {
      double amount = 0;
      TryStrToFloat(EditText(), amount);
      viewData.Data = Variant(FormatFloat(FDisplayFormat, amount));
    }
  } catch (const EConvertError&) {
    // The cell keeps its text.
  }
}

// ---- memo

void TdxInspectorMemoRow::Assign(const TPersistent& source) {
  const auto* row = dynamic_cast<const TdxInspectorMemoRow*>(&source);
  if (!row) {
    TdxInspectorRow::Assign(source);
    return;
  }
  TKindUpdate lock(Inspector());
  TdxInspectorRow::Assign(source);
  FHideScrollBars = row->FHideScrollBars;
  FScrollBars = row->FScrollBars;
  SetSelectionBar(row->FSelectionBar);
  FWantReturns = row->FWantReturns;
  FWantTabs = row->FWantTabs;
  FWordWrap = row->FWordWrap;
}

void TdxInspectorMemoRow::RestoreDefaults() {
  TdxInspectorRow::RestoreDefaults();
  FHideScrollBars = true;
  FScrollBars = TScrollStyle::ssNone;
  FSelectionBar = false;
  FWantReturns = true;
  FWantTabs = false;
  FWordWrap = true;
}

void TdxInspectorMemoRow::SetSelectionBar(bool value) {
  if (value == FSelectionBar) return;
  FSelectionBar = value;
  Changed();
}

void TdxInspectorMemoRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorRow::AssignEditorProperties(editor);
  auto* memo = dynamic_cast<TdxInplaceMemoEdit*>(editor);
  if (!memo) return;
  memo->SetHideScrollBars(FHideScrollBars);
  memo->SetScrollBars(FScrollBars);
  memo->SetSelectionBar(FSelectionBar);
  memo->FWantReturns = FWantReturns;
  memo->FWantTabs = FWantTabs;
  memo->SetWordWrap(FWordWrap);
}

void TdxInspectorMemoRow::PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) {
  TdxInspectorRow::PrepareViewData(viewData, cell);
  viewData.DrawAlignment = daMultiLine;
  viewData.Data = Variant(GetMemoText());
  if (auto* text = dynamic_cast<TdxTextEditViewData*>(&viewData)) text->SelectionBar = FSelectionBar;
}

// ---- drop-down base and its kinds

void TdxInspectorDropDownRow::Assign(const TPersistent& source) {
  const auto* row = dynamic_cast<const TdxInspectorDropDownRow*>(&source);
  if (!row) {
    TdxInspectorRow::Assign(source);
    return;
  }
  TKindUpdate lock(Inspector());
  TdxInspectorRow::Assign(source);
  FDropDownRows = row->FDropDownRows;
  FDropDownWidth = row->FDropDownWidth;
  FImmediateDropDown = row->FImmediateDropDown;
  FImmediatePopup = row->FImmediatePopup;
  FPopupAlignment = row->FPopupAlignment;
  FPopupBorder = row->FPopupBorder;
}

void TdxInspectorDropDownRow::RestoreDefaults() {
  TdxInspectorRow::RestoreDefaults();
  FDropDownRows = 7;
  FDropDownWidth = 0;
  FImmediateDropDown = false;
  FImmediatePopup = false;
  FPopupAlignment = TAlignment::taLeftJustify;
  FPopupBorder = pbDefault;
}

TBitmap* TdxInspectorDropDownRow::ButtonGlyph() {
  if (!FButtonGlyph) FButtonGlyph = std::make_unique<TBitmap>();
  return FButtonGlyph.get();
}

void TdxInspectorDropDownRow::SetButtonGlyph(const TBitmap* value) {
  if (!value || value->Empty())
    FButtonGlyph.reset();
  else
    ButtonGlyph()->Assign(*value);
  Changed();
}

void TdxInspectorDropDownRow::DoEditButtonClick(TObject* sender) {
  (void)sender;
  if (OnEditButtonClick) OnEditButtonClick(this);
}

void TdxInspectorDropDownRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorRow::AssignEditorProperties(editor);
  auto* dropDown = dynamic_cast<TdxInplaceDropDownEdit*>(editor);
  if (!dropDown) return;
  dropDown->SetButtonGlyph(FButtonGlyph.get());
  dropDown->FImmediateDropDown = FImmediateDropDown;
  dropDown->FDropDownRows = FDropDownRows;
  dropDown->FDropDownWidth = FDropDownWidth;
  dropDown->FImmediatePopup = FImmediatePopup;
  dropDown->FPopupAlignment = FPopupAlignment;
  dropDown->FPopupBorder = FPopupBorder;
  dropDown->FOnCloseUp = [this](TObject* sender, WideString& value, bool& accept) { DoCloseUp(sender, value, accept); };
  dropDown->FOnEditButtonClick = [this](TObject* sender) { DoEditButtonClick(sender); };
}

void TdxInspectorDropDownRow::PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) {
  TdxInspectorRow::PrepareViewData(viewData, cell);
  if (auto* dropDown = dynamic_cast<TdxDropDownEditViewData*>(&viewData)) {
    dropDown->ButtonGlyph = FButtonGlyph.get();
    dropDown->HideButtons = true;
    dropDown->ActiveButtonIndex = -1;
    dropDown->PressedButtonIndex = -1;
  }
}

void TdxInspectorDateRow::Assign(const TPersistent& source) {
  const auto* row = dynamic_cast<const TdxInspectorDateRow*>(&source);
  if (!row) {
    TdxInspectorDropDownRow::Assign(source);
    return;
  }
  TKindUpdate lock(Inspector());
  TdxInspectorDropDownRow::Assign(source);
  FDateButtons = row->FDateButtons;
  FDateOnError = row->FDateOnError;
  FDateValidation = row->FDateValidation;
  FSaveTime = row->FSaveTime;
  FUseEditMask = row->FUseEditMask;
}

void TdxInspectorDateRow::RestoreDefaults() {
  TdxInspectorDropDownRow::RestoreDefaults();
  FDateButtons = btnToday | btnClear;
  FDateOnError = deToday;
  FDateValidation = false;
  FSaveTime = true;
  FUseEditMask = false;
}

void TdxInspectorDateRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorDropDownRow::AssignEditorProperties(editor);
  auto* date = dynamic_cast<TdxInplaceDateEdit*>(editor);
  if (!date) return;
  date->FDateButtons = HidesClearButton() ? (FDateButtons & ~TDateButtons(btnClear)) : FDateButtons;
  date->FDateOnError = FDateOnError;
  date->FDateValidation = FDateValidation;
  date->FSaveTime = FSaveTime;
  date->SetUseEditMask(FUseEditMask);
  date->FOnDateValidateInput = [this](TObject*, const WideString& text, TDateTime& value, WideString& message,
                                      bool& error) {
    if (OnDateValidateInput) OnDateValidateInput(this, text, value, message, error);
  };
}

void TdxInspectorCalcRow::Assign(const TPersistent& source) {
  TdxInspectorDropDownRow::Assign(source);
  if (const auto* row = dynamic_cast<const TdxInspectorCalcRow*>(&source)) {
    FBeepOnError = row->FBeepOnError;
    FButtonStyle = row->FButtonStyle;
    FPrecision = row->FPrecision;
    FQuickClose = row->FQuickClose;
    FShowButtonFrame = row->FShowButtonFrame;
  }
}

void TdxInspectorCalcRow::RestoreDefaults() {
  TdxInspectorDropDownRow::RestoreDefaults();
  FBeepOnError = true;
  FButtonStyle = bsStandard;
  FPrecision = 13;
  FQuickClose = false;
  FShowButtonFrame = false;
}

void TdxInspectorCalcRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorDropDownRow::AssignEditorProperties(editor);
  if (auto* calc = dynamic_cast<TdxInplaceCalcEdit*>(editor)) {
    calc->FBeepOnError = FBeepOnError;
    calc->FButtonStyle = FButtonStyle;
    calc->FPrecision = FPrecision;
    calc->FQuickClose = FQuickClose;
    calc->FShowButtonFrame = FShowButtonFrame;
  }
}

TdxInspectorPickRow::TdxInspectorPickRow(TComponent* owner) : TdxInspectorDropDownRow(owner) {
  FImmediateDropDown = true;
}

void TdxInspectorPickRow::Assign(const TPersistent& source) {
  TdxInspectorDropDownRow::Assign(source);
  if (const auto* row = dynamic_cast<const TdxInspectorPickRow*>(&source)) {
    FDropDownListStyle = row->FDropDownListStyle;
    SetItems(*row->FItems);
    FCanDeleteText = row->FCanDeleteText;
    FRevertable = row->FRevertable;
    FSorted = row->FSorted;
  }
}

void TdxInspectorPickRow::RestoreDefaults() {
  TdxInspectorDropDownRow::RestoreDefaults();
  FImmediateDropDown = true;
  FDropDownListStyle = false;
  FCanDeleteText = false;
  FRevertable = true;
  FSorted = false;
}

void TdxInspectorPickRow::SetItems(const TStrings& value) {
  FItems->Assign(value);
  Changed();
}

void TdxInspectorPickRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorDropDownRow::AssignEditorProperties(editor);
  auto* pick = dynamic_cast<TdxInplacePickEdit*>(editor);
  if (!pick) return;
  pick->SetDropDownListStyle(FDropDownListStyle);
  pick->SetItems(*FItems);
  pick->FCanDeleteText = FCanDeleteText;
  pick->FRevertable = FRevertable;
  pick->SetSorted(FSorted);
  pick->PostEditorOnCloseUp = PostEditorOnCloseUp;
}

void TdxInspectorPickRow::DoCloseUp(TObject* sender, WideString& value, bool& accept) {
  (void)sender;
  Variant text(value);
  if (OnCloseUp) OnCloseUp(this, text, accept);
  value = EditValueText(text);
}

void TdxInspectorPopupRow::Assign(const TPersistent& source) {
  TdxInspectorDropDownRow::Assign(source);
  if (const auto* row = dynamic_cast<const TdxInspectorPopupRow*>(&source)) {
    FHideEditCursor = row->FHideEditCursor;
    FPopupAutoSize = row->FPopupAutoSize;
    SetPopupHeight(row->FPopupHeight);
    SetPopupWidth(row->FPopupWidth);
    FPopupFormCaption = row->FPopupFormCaption;
    FPopupFormClientEdge = row->FPopupFormClientEdge;
    FPopupFormFlatBorder = row->FPopupFormFlatBorder;
    FPopupFormSizeable = row->FPopupFormSizeable;
    FPopupFormBorderStyle = row->FPopupFormBorderStyle;
    SetPopupMinHeight(row->FPopupMinHeight);
    SetPopupMinWidth(row->FPopupMinWidth);
    SetPopupControl(row->FPopupControl);
  }
}

void TdxInspectorPopupRow::SetPopupControl(TControl* value) {
  if (value == FPopupControl) return;
  if (FPopupControl) FPopupControl->RemoveFreeNotification(this);
  FPopupControl = value;
  if (value) value->FreeNotification(this);
}

void TdxInspectorPopupRow::Notification(TComponent* component, TOperation operation) {
  TdxInspectorDropDownRow::Notification(component, operation);
  // The control is going: only let go of it.
  if (operation == TOperation::opRemove && component == FPopupControl) FPopupControl = nullptr;
}

void TdxInspectorPopupRow::DoCloseQuery(TObject* sender, bool& canClose) {
  (void)sender;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
}

void TdxInspectorPopupRow::DoPopupCloseUp(TObject* sender, WideString& text, bool& accept) {
  (void)sender;
  if (OnCloseUp) OnCloseUp(this, text, accept);
}

void TdxInspectorPopupRow::DoInitPopup(TObject* sender) {
  (void)sender;
  if (OnInitPopup) OnInitPopup(this);
}

void TdxInspectorPopupRow::DoPopup(TObject* sender, const WideString& editText) {
  (void)sender;
  if (OnPopup) OnPopup(this, editText);
}

void TdxInspectorPopupRow::RestoreDefaults() {
  TdxInspectorDropDownRow::RestoreDefaults();
  FHideEditCursor = false;
  FPopupAutoSize = true;
  FPopupFormBorderStyle = pbsDialog;
  FPopupFormCaption.clear();
  FPopupFormClientEdge = false;
  FPopupFormFlatBorder = true;
  FPopupFormSizeable = true;
  FPopupMinHeight = FPopupMinWidth = 100;
  FPopupHeight = 200;
  FPopupWidth = 250;
}

void TdxInspectorPopupRow::SetPopupMinHeight(int value) {
  FPopupMinHeight = std::max(value, 0);
  SetPopupHeight(FPopupHeight);
}

void TdxInspectorPopupRow::SetPopupMinWidth(int value) {
  FPopupMinWidth = std::max(value, 0);
  SetPopupWidth(FPopupWidth);
}

void TdxInspectorPopupRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorDropDownRow::AssignEditorProperties(editor);
  auto* popup = dynamic_cast<TdxInplacePopupEdit*>(editor);
  if (!popup) return;
  popup->SetHideEditCursor(FHideEditCursor);
  popup->FPopupAutoSize = FPopupAutoSize;
  popup->SetPopupControl(FPopupControl);
  popup->FPopupFormBorderStyle = FPopupFormBorderStyle;
  popup->FPopupFormCaption = FPopupFormCaption;
  popup->FPopupClientEdge = FPopupFormClientEdge;
  popup->FPopupFlatBorder = FPopupFormFlatBorder;
  popup->FPopupSizeable = FPopupFormSizeable;
  popup->SetPopupMinHeight(FPopupMinHeight);
  popup->SetPopupMinWidth(FPopupMinWidth);
  popup->SetPopupHeight(FPopupHeight);
  popup->SetPopupWidth(FPopupWidth);
  popup->FOnCloseQuery = [this](TObject* sender, bool& canClose) { DoCloseQuery(sender, canClose); };
  popup->FOnCloseUp = [this](TObject* sender, WideString& text, bool& accept) { DoPopupCloseUp(sender, text, accept); };
  popup->FOnInitPopup = [this](TObject* sender) { DoInitPopup(sender); };
  popup->FOnPopup = [this](TObject* sender, const WideString& text) { DoPopup(sender, text); };
}

// ---- button, MRU and hyperlink

void TdxRowEditButtons::Update(TCollectionItem* item) {
  TdxEditButtons::Update(item);
  if (auto* row = dynamic_cast<TdxInspectorButtonRow*>(Owner())) row->RowChanged();
}

TdxInspectorButtonRow::TdxInspectorButtonRow(TComponent* owner)
    : TdxInspectorDropDownRow(owner), FButtons(std::make_unique<TdxRowEditButtons>(this)) {
  FButtons->Add();
}

TdxInplaceEditClassType TdxInspectorButtonRow::GetEditorClass() const {
  return IsRowUnicodeMode(*this) ? EditorClassOf<TXPDXButtonEdit>() : EditorClassOf<TdxInspectorButtonEdit>();
}

void TdxInspectorButtonRow::Assign(const TPersistent& source) {
  TdxInspectorDropDownRow::Assign(source);
  if (const auto* row = dynamic_cast<const TdxInspectorButtonRow*>(&source)) {
    SetButtonOnly(row->FButtonOnly);
    FButtons->Assign(*row->FButtons);
    FEditButtonStyle = row->FEditButtonStyle;
    FClickKey = row->FClickKey;
    SetGlyph(*row->FGlyph);
    SetHideEditCursor(row->FHideEditCursor);
  }
}

void TdxInspectorButtonRow::RestoreDefaults() {
  TdxInspectorDropDownRow::RestoreDefaults();
  FButtonOnly = false;
  FButtons->RestoreDefaults();
  FButtons->Clear();
  FButtons->Add();
  FEditButtonStyle = ebsEllipsis;
  FClickKey = scCtrl | VK_RETURN;
  FGlyph = std::make_unique<TBitmap>();
  FHideEditCursor = false;
}

void TdxInspectorButtonRow::SetButtonOnly(bool value) {
  if (value == FButtonOnly) return;
  FButtonOnly = value;
  Changed();
}

void TdxInspectorButtonRow::SetHideEditCursor(bool value) {
  if (value == FHideEditCursor) return;
  FHideEditCursor = value;
  Changed();
}

void TdxInspectorButtonRow::SetGlyph(const TBitmap& value) {
  FGlyph->Assign(value);
  if (FButtons->Count() > 0) FButtons->GetItem(0)->Glyph().Assign(value);
}

void TdxInspectorButtonRow::SetEditButtonStyle(TdxEditButtonStyle value) {
  if (value == FEditButtonStyle) return;
  FEditButtonStyle = value;
  if (value == ebsSimple) {
    FButtons->Clear();
  } else {
    if (FButtons->Count() == 0) FButtons->Add();
    FButtons->GetItem(0)->SetKind(value == ebsDown ? bkDown : value == ebsGlyph ? bkGlyph : bkEllipsis);
  }
  Changed();
}

void TdxInspectorButtonRow::DoButtonClick(TObject* sender, int absoluteIndex) {
  (void)sender;
  if (OnButtonClick) OnButtonClick(this, absoluteIndex);
}

void TdxInspectorButtonRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorDropDownRow::AssignEditorProperties(editor);
  if (auto* button = dynamic_cast<TdxInplaceButtonEdit*>(editor)) {
    button->SetButtons(*FButtons);
    button->FClickKey = FClickKey;
    button->SetViewStyle(FButtonOnly ? vsButtonOnly : FHideEditCursor ? vsHideCursor : vsStandard);
    button->FOnButtonClick = [this](TObject* sender, int index) { DoButtonClick(sender, index); };
  } else if (auto* unicode = dynamic_cast<TXPDXButtonEdit*>(editor)) {
    unicode->OnButtonClick = [this](TObject* sender) { DoEditButtonClick(sender); };
  }
}

void TdxInspectorButtonRow::WriteEditorValue(TdxInplaceEdit* editor, Variant& value) {
  if (auto* unicode = dynamic_cast<TXPDXButtonEdit*>(editor)) {
    unicode->SetUnicodeText(EditText());
    value = Variant(unicode->GetUnicodeText());
    return;
  }
  TdxInspectorDropDownRow::WriteEditorValue(editor, value);
}

void TdxInspectorButtonRow::PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) {
  TdxInspectorDropDownRow::PrepareViewData(viewData, cell);
  if (auto* button = dynamic_cast<TdxButtonEditViewData*>(&viewData)) {
    button->ButtonOnly = false;
    button->EditButtons = nullptr;
    button->HideEditCursor = FHideEditCursor;
  }
}

TdxInspectorMRURow::TdxInspectorMRURow(TComponent* owner) : TdxInspectorPickRow(owner) {
  FImmediateDropDown = false;
}

void TdxInspectorMRURow::Assign(const TPersistent& source) {
  const auto* row = dynamic_cast<const TdxInspectorMRURow*>(&source);
  if (!row) {
    TdxInspectorPickRow::Assign(source);
    return;
  }
  TKindUpdate lock(Inspector());
  TdxInspectorPickRow::Assign(source);
  FMaxItemCount = row->FMaxItemCount;
  SetShowEllipsis(row->FShowEllipsis);
}

void TdxInspectorMRURow::RestoreDefaults() {
  TdxInspectorPickRow::RestoreDefaults();
  FImmediateDropDown = false;
  FMaxItemCount = 7;
  FShowEllipsis = true;
}

void TdxInspectorMRURow::SetShowEllipsis(bool value) {
  if (value == FShowEllipsis) return;
  FShowEllipsis = value;
  Changed();
}

void TdxInspectorMRURow::DoButtonClick(TObject* sender) {
  (void)sender;
  if (OnButtonClick) OnButtonClick(this);
}

void TdxInspectorMRURow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorPickRow::AssignEditorProperties(editor);
  if (auto* mru = dynamic_cast<TdxInplaceMRUEdit*>(editor)) {
    mru->SetMaxItemCount(FMaxItemCount);
    mru->SetShowEllipsis(FShowEllipsis);
    mru->FOnButtonClick = [this](TObject* sender) { DoButtonClick(sender); };
  }
}

void TdxInspectorMRURow::ReadEditorValue(TdxInplaceEdit* editor, Variant& value) {
  // The texts gathered while editing.
  if (auto* mru = dynamic_cast<TdxInplaceMRUEdit*>(editor)) Items().Assign(mru->Items());
  TdxInspectorPickRow::ReadEditorValue(editor, value);
}

void TdxInspectorMRURow::PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) {
  TdxInspectorPickRow::PrepareViewData(viewData, cell);
  if (auto* mru = dynamic_cast<TdxMRUEditViewData*>(&viewData)) mru->ShowEllipsis = FShowEllipsis;
}

TdxInspectorHyperLinkRow::TdxInspectorHyperLinkRow(TComponent* owner) : TdxInspectorRow(owner) { RefreshLinkFont(); }

void TdxInspectorHyperLinkRow::RefreshLinkFont() {
  FLinkFont->SetStyle(TFontStyles(fsUnderline));
  FLinkFont->SetColor(FSingleClick ? FEditFontColor : clDefault);
}

void TdxInspectorHyperLinkRow::Assign(const TPersistent& source) {
  const auto* row = dynamic_cast<const TdxInspectorHyperLinkRow*>(&source);
  if (!row) {
    TdxInspectorRow::Assign(source);
    return;
  }
  TKindUpdate lock(Inspector());
  TdxInspectorRow::Assign(source);
  SetEditBackgroundColor(row->FEditBackgroundColor);
  SetEditFontColor(row->FEditFontColor);
  SetSingleClick(row->FSingleClick);
  FStartKey = row->FStartKey;
}

void TdxInspectorHyperLinkRow::RestoreDefaults() {
  TdxInspectorRow::RestoreDefaults();
  FEditBackgroundColor = 0xFFFFFF;
  FEditFontColor = 0xFF0000;
  FSingleClick = false;
  FStartKey = scCtrl | VK_RETURN;
  RefreshLinkFont();
}

void TdxInspectorHyperLinkRow::SetEditBackgroundColor(TColor value) {
  if (value == FEditBackgroundColor) return;
  FEditBackgroundColor = value;
  RefreshLinkFont();
  Changed();
}

void TdxInspectorHyperLinkRow::SetEditFontColor(TColor value) {
  if (value == FEditFontColor) return;
  FEditFontColor = value;
  RefreshLinkFont();
  Changed();
}

void TdxInspectorHyperLinkRow::SetSingleClick(bool value) {
  if (value == FSingleClick) return;
  FSingleClick = value;
  RefreshLinkFont();
  Changed();
}

void TdxInspectorHyperLinkRow::DoStartClick(TObject* sender) {
  (void)sender;
  if (OnStartClick) OnStartClick(this);
}

void TdxInspectorHyperLinkRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorRow::AssignEditorProperties(editor);
  auto* link = dynamic_cast<TdxInplaceHyperLinkEdit*>(editor);
  if (!link) return;
  link->SetColor(FEditBackgroundColor);
  link->SetLinkColor(FEditFontColor);
  link->FSingleClick = FSingleClick;
  link->FStartKey = FStartKey;
  if (OnStartClick)
    link->OnStartClick = [this](TObject* sender) { DoStartClick(sender); };
  else
    link->OnStartClick = nullptr;
}

void TdxInspectorHyperLinkRow::PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) {
  TdxInspectorRow::PrepareViewData(viewData, cell);
  viewData.Font = FLinkFont->Handle();
  if (!cell.Cell_Selected && FLinkFont->Color() != clDefault) viewData.TextColor = ColorToRGB(FLinkFont->Color());
}

// ---- image

TdxInspectorImageRow::TdxInspectorImageRow(TComponent* owner) : TdxInspectorDropDownRow(owner) {
  FAlignment = TAlignment::taLeftJustify;
  FImageChangeLink->OnChange = [this](TObject*) { Changed(); };
}

TdxInspectorImageRow::~TdxInspectorImageRow() {
  SetList(FImages, *FImageChangeLink, nullptr, false);
  SetList(FLargeImages, *FLargeImageChangeLink, nullptr, false);
}

void TdxInspectorImageRow::SetList(TCustomImageList*& field, TChangeLink& link, TCustomImageList* value, bool notify) {
  if (field) field->UnRegisterChanges(&link);
  field = value;
  if (value) {
    value->RegisterChanges(&link);
    value->FreeNotification(this);
  }
  if (notify) Changed();
}

void TdxInspectorImageRow::SetImages(TCustomImageList* value) { SetList(FImages, *FImageChangeLink, value, true); }
void TdxInspectorImageRow::SetLargeImages(TCustomImageList* value) {
  SetList(FLargeImages, *FLargeImageChangeLink, value, true);
}

void TdxInspectorImageRow::Notification(TComponent* component, TOperation operation) {
  TdxInspectorDropDownRow::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  // The list is going: only let go of it.
  if (component == FImages) FImages = nullptr;
  if (component == FLargeImages) FLargeImages = nullptr;
}

void TdxInspectorImageRow::SetFlag(bool& field, bool value) {
  if (value == field) return;
  field = value;
  Changed();
}
void TdxInspectorImageRow::SetDefaultImages(bool value) { SetFlag(FDefaultImages, value); }
void TdxInspectorImageRow::SetMultiLineText(bool value) { SetFlag(FMultiLineText, value); }
void TdxInspectorImageRow::SetShowDescription(bool value) { SetFlag(FShowDescription, value); }

void TdxInspectorImageRow::SetDescriptions(const TStrings& value) {
  FDescriptions->Assign(value);
  Changed();
}
void TdxInspectorImageRow::SetImageIndexes(const TStrings& value) {
  FImageIndexes->Assign(value);
  Changed();
}
void TdxInspectorImageRow::SetValues(const TStrings& value) {
  FValues->Assign(value);
  Changed();
}

void TdxInspectorImageRow::Assign(const TPersistent& source) {
  const auto* row = dynamic_cast<const TdxInspectorImageRow*>(&source);
  if (!row) {
    TdxInspectorDropDownRow::Assign(source);
    return;
  }
  TKindUpdate lock(Inspector());
  TdxInspectorDropDownRow::Assign(source);
  SetDefaultImages(row->FDefaultImages);
  SetDescriptions(*row->FDescriptions);
  SetImageIndexes(*row->FImageIndexes);
  SetValues(*row->FValues);
  SetImages(row->FImages);
  SetLargeImages(row->FLargeImages);
  SetMultiLineText(row->FMultiLineText);
  SetShowDescription(row->FShowDescription);
}

void TdxInspectorImageRow::RestoreDefaults() {
  TdxInspectorDropDownRow::RestoreDefaults();
  FDefaultImages = true;
  FMultiLineText = false;
  FShowDescription = false;
}

void TdxInspectorImageRow::GetIndexes(const WideString& text, int& imageIndex, int& descIndex) const {
  TdxInplaceImageEditClass::CalcViewIndexes(text, FImageIndexes.get(), FDescriptions.get(), FValues.get(),
                                            FDefaultImages, imageIndex, descIndex);
}

int TdxInspectorImageRow::GetImageIndex(const WideString& text) const {
  int imageIndex = -1, descIndex = -1;
  GetIndexes(text, imageIndex, descIndex);
  return imageIndex;
}

int TdxInspectorImageRow::CalcMinHeight(TCanvas& canvas) {
  const int height = TdxInspectorDropDownRow::CalcMinHeight(canvas);
  return FImages ? std::max(height, FImages->Height()) : height;
}

bool TdxInspectorImageRow::IsTextCut(bool forValue, const RECT& rect, WideString& text) {
  if (!forValue) return TdxInspectorDropDownRow::IsTextCut(forValue, rect, text);
  if (!Inspector() || !Inspector()->HandleAllocated()) return false;
  int imageIndex = -1, descIndex = -1;
  GetIndexes(EditText(), imageIndex, descIndex);
  if (descIndex < 0 || descIndex >= FDescriptions->Count()) return false;
  text = FDescriptions->Get(descIndex);
  if (text.empty()) return false;
  TCanvas& canvas = Inspector()->Canvas();
  canvas.Font().Assign(Inspector()->Font());
  const int width = canvas.TextWidth(text) + (FImages ? FImages->Width() : 0);
  return width > rect.right - rect.left;
}

void TdxInspectorImageRow::DoCloseUp(TObject* sender, WideString& value, bool& accept) {
  (void)sender;
  if (OnCloseUp) OnCloseUp(this, value, accept);
}

void TdxInspectorImageRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorDropDownRow::AssignEditorProperties(editor);
  auto* image = dynamic_cast<TdxInplaceImageEdit*>(editor);
  if (!image) return;
  image->SetDefaultImages(FDefaultImages);
  image->SetDescriptions(*FDescriptions);
  image->SetImages(FImages);
  image->SetImageIndexes(*FImageIndexes);
  image->SetLargeImages(FLargeImages);
  image->SetMultiLineText(FMultiLineText);
  image->SetShowDescription(FShowDescription);
  image->SetValues(*FValues);
}

void TdxInspectorImageRow::PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) {
  TdxInspectorDropDownRow::PrepareViewData(viewData, cell);
  if (FMultiLineText) viewData.DrawAlignment = daMultiLine;
  if (auto* image = dynamic_cast<TdxImageEditViewData*>(&viewData)) {
    image->DefaultImages = FDefaultImages;
    image->Descriptions = FDescriptions.get();
    image->ImageIndexes = FImageIndexes.get();
    image->Images = FImages;
    image->ShowDescription = FShowDescription;
    image->Values = FValues.get();
  }
}

// ---- blob

TdxInspectorCustomBlobRow::TdxInspectorCustomBlobRow(TComponent* owner)
    : TdxInspectorDropDownRow(owner), PictureClipboardFormat(PictureClipFormat()) {}

void TdxInspectorCustomBlobRow::Assign(const TPersistent& source) {
  const auto* row = dynamic_cast<const TdxInspectorCustomBlobRow*>(&source);
  if (!row) {
    TdxInspectorDropDownRow::Assign(source);
    return;
  }
  TKindUpdate lock(Inspector());
  TdxInspectorDropDownRow::Assign(source);
  Settings = row->Settings;
  SetBlobPaintStyle(row->FBlobPaintStyle);
  FPictureFilter = row->FPictureFilter;
  FBlobEditKind = row->FBlobEditKind;
  SetBlobKind(row->FBlobKind);
}

void TdxInspectorCustomBlobRow::RestoreDefaults() {
  TdxInspectorDropDownRow::RestoreDefaults();
  Settings = {};
  FBlobPaintStyle = bpsIcon;
  FBlobEditKind = bekMemo;
  FBlobKind = bkAuto;
}

void TdxInspectorCustomBlobRow::SetBlobKind(TdxBlobKind value) {
  if (value == FBlobKind) return;
  FBlobKind = value;
  Changed();
}

void TdxInspectorCustomBlobRow::SetBlobPaintStyle(TdxBlobPaintStyle value) {
  if (value == FBlobPaintStyle) return;
  FBlobPaintStyle = value;
  Changed();
}

void TdxInspectorTextBlobRow::SetBlobEditKind(TdxBlobEditKind value) {
  if (value == FBlobEditKind) return;
  FBlobEditKind = value;
  Changed();
}

TGraphicClass TdxInspectorCustomBlobRow::GetGraphicClass() {
  TGraphicClass graphicClass = PictureGraphicClass;
  if (OnGetGraphicClass) OnGetGraphicClass(this, graphicClass);
  return graphicClass;
}

void TdxInspectorCustomBlobRow::DoAssignPicture(TObject* sender, TPicture*& picture) {
  (void)sender;
  if (OnAssignPicture) OnAssignPicture(this, picture);
}

void TdxInspectorCustomBlobRow::DoGetGraphicClass(TObject* sender, TGraphicClass& graphicClass) {
  (void)sender;
  graphicClass = GetGraphicClass();
}

void TdxInspectorCustomBlobRow::DoSavePopupSize(TObject* sender) {
  if (auto* blob = dynamic_cast<TdxInspectorBlobEdit*>(sender)) {
    Settings.PopupWidth = blob->FPopupWidth;
    Settings.PopupHeight = blob->FPopupHeight;
  }
}

void TdxInspectorCustomBlobRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorDropDownRow::AssignEditorProperties(editor);
  auto* blob = dynamic_cast<TdxInplaceBlobEdit*>(editor);
  if (!blob) return;
  const TdxInspectorBlobSettings& s = Settings;
  blob->FAlwaysSaveText = s.AlwaysSaveText;
  blob->SetBlobEditKind(GetBlobEditKind());
  blob->SetBlobPaintStyle(FBlobPaintStyle);
  blob->FMemoCharCase = s.MemoCharCase;
  blob->FMemoHideScrollBars = s.MemoHideScrollBars;
  blob->FMemoMaxLength = s.MemoMaxLength;
  blob->FMemoOEMConvert = s.MemoOEMConvert;
  blob->FMemoScrollBars = s.MemoScrollBars;
  blob->FMemoSelectionBar = s.MemoSelectionBar;
  blob->FMemoWantReturns = s.MemoWantReturns;
  blob->FMemoWantTabs = s.MemoWantTabs;
  blob->FMemoWordWrap = s.MemoWordWrap;
  blob->FPictureAutoSize = s.PictureAutoSize;
  blob->FPictureClipboardFormat = PictureClipboardFormat;
  blob->FPictureFilter = FPictureFilter;
  blob->FPictureGraphicClass = PictureGraphicClass;
  blob->FPictureTransparency = s.PictureTransparency;
  blob->FPopupHeight = s.PopupHeight;
  blob->FPopupWidth = s.PopupWidth;
  blob->FShowExPopupItems = s.ShowExPopupItems;
  blob->FShowPicturePopup = s.ShowPicturePopup;
  blob->FSizeablePopup = s.SizeablePopup;
  blob->FOnAssignPicture = [this](TObject* sender, TPicture*& picture) { DoAssignPicture(sender, picture); };
  blob->FOnGetGraphicClass = [this](TObject* sender, TGraphicClass& c) { DoGetGraphicClass(sender, c); };
  blob->FOnSavePopupSize = [this](TObject* sender) { DoSavePopupSize(sender); };
}

void TdxInspectorCustomBlobRow::WriteEditorValue(TdxInplaceEdit* editor, Variant& value) {
  Variant scratch;
  TdxInspectorDropDownRow::WriteEditorValue(editor, scratch);
  value = Variant(EditText());
  if (auto* blob = dynamic_cast<TdxInplaceBlobEdit*>(editor)) blob->SetBlobText(EditText());
}

void TdxInspectorCustomBlobRow::ReadEditorValue(TdxInplaceEdit* editor, Variant& value) {
  if (auto* blob = dynamic_cast<TdxInplaceBlobEdit*>(editor)) SetEditText(blob->BlobData());
  value = Variant(EditText());
}

void TdxInspectorCustomBlobRow::PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) {
  TdxInspectorDropDownRow::PrepareViewData(viewData, cell);
  auto* blob = dynamic_cast<TdxBlobEditViewData*>(&viewData);
  if (!blob) return;
  Variant value;
  GetBlobValue(value);
  blob->BlobEditKind = GetBlobEditKind();
  blob->BlobPaintStyle = FBlobPaintStyle;
  blob->Images = &GetBlobGlyphImages();
  blob->IsNull = VarIsNull(value) || EditValueText(value).empty();
  if (FBlobPaintStyle == bpsText) {
    blob->Data = Variant(EditValueText(value));
  } else {
    WideString text;
    GetBlobDisplayText(text);
    blob->Data = Variant(text);
  }
}

// ---- graphic

TdxInspectorGraphicRow::TdxInspectorGraphicRow(TComponent* owner)
    : TdxInspectorRow(owner),
      ClipboardFormat(PictureClipFormat()),
      FPicture(std::make_unique<TPicture>()),
      FPopupToolBar(std::make_unique<TdxPopupToolBarWindow>(nullptr)) {}

TdxInspectorGraphicRow::~TdxInspectorGraphicRow() = default;

void TdxInspectorGraphicRow::SetFlag(bool& field, bool value) {
  if (value == field) return;
  field = value;
  Changed();
}

void TdxInspectorGraphicRow::SetGraphicTransparency(TdxGraphicEditTransparency value) {
  if (value == FGraphicTransparency) return;
  FGraphicTransparency = value;
  Changed();
}

void TdxInspectorGraphicRow::SetPopupToolbarPosStored(bool value) {
  FPopupToolbarPosStored = value;
  if (!value) PopupToolbarPos = kNoToolbarPos;
}

void TdxInspectorGraphicRow::Assign(const TPersistent& source) {
  const auto* row = dynamic_cast<const TdxInspectorGraphicRow*>(&source);
  if (!row) {
    TdxInspectorRow::Assign(source);
    return;
  }
  TKindUpdate lock(Inspector());
  TdxInspectorRow::Assign(source);
  SetCenter(row->FCenter);
  ClipboardFormat = row->ClipboardFormat;
  CustomFilter = row->CustomFilter;
  SetCustomGraphic(row->FCustomGraphic);
  DblClickActivate = row->DblClickActivate;
  SetGraphicTransparency(row->FGraphicTransparency);
  FPopupToolBar->Assign(*row->FPopupToolBar);
  PopupToolbarPos = row->PopupToolbarPos;
  FPopupToolbarPosStored = row->FPopupToolbarPosStored;
  SetQuickDraw(row->FQuickDraw);
  SetStretch(row->FStretch);
}

void TdxInspectorGraphicRow::RestoreDefaults() {
  TdxInspectorRow::RestoreDefaults();
  FCenter = true;
  FCustomGraphic = false;
  DblClickActivate = true;
  FGraphicTransparency = gtDefault;
  FPopupToolbarPosStored = true;
  FQuickDraw = false;
  FStretch = true;
}

TGraphicClass TdxInspectorGraphicRow::GetGraphicClass() {
  TGraphicClass graphicClass = nullptr;
  if (OnGetGraphicClass) OnGetGraphicClass(this, graphicClass);
  return graphicClass;
}

void TdxInspectorGraphicRow::DoAssignPicture(TObject* sender, TPicture*& picture) {
  (void)sender;
  if (OnAssignPicture) OnAssignPicture(this, picture);
}

void TdxInspectorGraphicRow::DoCustomClick(TObject* sender) {
  (void)sender;
  if (OnCustomClick) OnCustomClick(this);
}

void TdxInspectorGraphicRow::DoGetGraphicClass(TObject* sender, TGraphicClass& graphicClass) {
  (void)sender;
  graphicClass = GetGraphicClass();
}

void TdxInspectorGraphicRow::AssignEditorProperties(TdxInplaceEdit* editor) {
  TdxInspectorRow::AssignEditorProperties(editor);
  auto* graphic = dynamic_cast<TdxInplaceGraphicEdit*>(editor);
  if (!graphic) return;
  graphic->SetCenter(FCenter);
  graphic->FClipboardFormat = ClipboardFormat;
  graphic->FCustomFilter = CustomFilter;
  graphic->FDblClickActivate = DblClickActivate;
  graphic->SetGraphicTransparency(FGraphicTransparency);
  graphic->ToolbarLayout().Assign(*FPopupToolBar);
  graphic->FToolbarPos = PopupToolbarPos;
  graphic->SetToolbarPosStored(FPopupToolbarPosStored);
  graphic->FQuickDraw = FQuickDraw;
  graphic->SetStretch(FStretch);
  graphic->FOnAssignPicture = [this](TObject* sender, TPicture*& picture) { DoAssignPicture(sender, picture); };
  graphic->FOnCustomClick = [this](TObject* sender) { DoCustomClick(sender); };
  graphic->FOnGetGraphicClass = [this](TObject* sender, TGraphicClass& c) { DoGetGraphicClass(sender, c); };
}

void TdxInspectorGraphicRow::WriteEditorValue(TdxInplaceEdit* editor, Variant& value) {
  Variant scratch;
  TdxInspectorRow::WriteEditorValue(editor, scratch);
  value = GetPictureValue();
  auto* graphic = dynamic_cast<TdxInplaceGraphicEdit*>(editor);
  if (!graphic) return;
  graphic->SetBounds(0, 0, 0, 0);
  graphic->SetText(WideString());
  LoadPictureFromValue(graphic->Picture(), GetGraphicClass(), value);
}

void TdxInspectorGraphicRow::ReadEditorValue(TdxInplaceEdit* editor, Variant& value) {
  if (auto* graphic = dynamic_cast<TdxInplaceGraphicEdit*>(editor)) SetEditText(SavePictureToText(&graphic->Picture()));
  value = Variant(EditText());
}

void TdxInspectorGraphicRow::PrepareViewData(TdxEditViewData& viewData, const TdxInspectorCellViewData& cell) {
  TdxInspectorRow::PrepareViewData(viewData, cell);
  auto* graphic = dynamic_cast<TdxGraphicEditViewData*>(&viewData);
  if (!graphic) return;
  if (FCustomGraphic && (ComponentState() & csDesigning))
    FPicture->Assign(TPicture());
  else
    LoadPictureFromValue(*FPicture, GetGraphicClass(), GetPictureValue());
  if (FGraphicTransparency != gtDefault && FPicture->Graphic())
    FPicture->Graphic()->SetTransparent(FGraphicTransparency == gtTransparent);
  graphic->Picture = FPicture.get();
  graphic->Data = Variant();
  graphic->Center = FCenter;
  graphic->QuickDraw = FQuickDraw;
  graphic->Stretch = FStretch;
  graphic->TempTransparentBitmap = nullptr;
  graphic->OffsetSize = RECT{};
}

// ---- the unit's start-up

namespace {
const TClass kTextRowClasses[] = {
    &TdxInspectorTextMaskRow::StaticClassInfo(),     &TdxInspectorTextDateRow::StaticClassInfo(),
    &TdxInspectorTextCheckRow::StaticClassInfo(),    &TdxInspectorTextCalcRow::StaticClassInfo(),
    &TdxInspectorTextButtonRow::StaticClassInfo(),   &TdxInspectorTextSpinRow::StaticClassInfo(),
    &TdxInspectorTextPickRow::StaticClassInfo(),     &TdxInspectorTextImageRow::StaticClassInfo(),
    &TdxInspectorTextTimeRow::StaticClassInfo(),     &TdxInspectorTextCurrencyRow::StaticClassInfo(),
    &TdxInspectorTextHyperLinkRow::StaticClassInfo(), &TdxInspectorTextBlobRow::StaticClassInfo(),
    &TdxInspectorTextMRURow::StaticClassInfo(),      &TdxInspectorTextPopupRow::StaticClassInfo(),
    &TdxInspectorTextMemoRow::StaticClassInfo(),     &TdxInspectorTextGraphicRow::StaticClassInfo(),
};
}  // namespace

bool InspectorRowsUnitStartup() {
  if (gRowsStartCount++ > 0) return true;
  gDefaultValueChecked = LoadResString(&kCheckTrueText);
  gDefaultValueUnchecked = LoadResString(&kCheckFalseText);
  for (TClass c : kTextRowClasses) RegisterClass(c);
  return true;
}

void InspectorRowsUnitShutdown() {
  if (gRowsStartCount == 0) return;
  gRowsStartCount = 0;
  for (auto it = std::rbegin(kTextRowClasses); it != std::rend(kTextRowClasses); ++it) UnRegisterClass(*it);
  gDefaultValueChecked.clear();
  gDefaultValueUnchecked.clear();
}

}  // namespace tvk
