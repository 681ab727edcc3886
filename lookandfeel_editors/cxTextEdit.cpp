#include "cxTextEdit.h"

#include "DateTimes.h"
#include "FMTBcd.h"
#include "LocaleFormats.h"
#include "Variants.h"
#include "cxDrawTextUtils.h"
#include "cxEditConsts.h"
#include "cxGraphics.h"
#include "cxVariants.h"
#include "dxCore.h"

#include <algorithm>
#include <cmath>

namespace tvk {

namespace {

// One bracket of a properties object's changes.
class TTextPropertiesUpdate {
public:
  explicit TTextPropertiesUpdate(TcxCustomEditProperties& AProperties) : FProperties(AProperties) {
    FProperties.BeginUpdate();
  }
  ~TTextPropertiesUpdate() { FProperties.EndUpdate(); }
  TTextPropertiesUpdate(const TTextPropertiesUpdate&) = delete;
  TTextPropertiesUpdate& operator=(const TTextPropertiesUpdate&) = delete;

private:
  TcxCustomEditProperties& FProperties;
};

// A number's value for the float formats: numbers as they are, texts read
// with the locale's separator.
long double ValueAsExtended(const Variant& AValue) {
  if (VarIsStr(AValue)) return StrToFloat(VarToStr(AValue));
  if (VarIsFMTBcd(AValue)) return BcdToDouble(VarToBcd(AValue));
  return VarAsType(AValue, VT_R8).Ptr()->dblVal;
}

// The text of a value that is not valid for the editor: a date's default
// date-and-time text, anything else's string form.
WideString InvalidValueText(const Variant& AValue) {
  double date = 0;
  if (!IsDateVariant(AValue) || !TryVarToDateTime(AValue, date)) return VarToStr(AValue);
  return FormatDateTime(FormatSettings().ShortDateFormat + L" " + FormatSettings().LongTimeFormat, date);
}

bool IsDigit(wchar_t C) { return C >= L'0' && C <= L'9'; }

}  // namespace

WideString InsertThousandSeparators(const WideString& AText) {
  const TFormatSettings& settings = FormatSettings();
  // Blanks around the number and its exponent are set aside and put back.
  const std::size_t first = AText.find_first_not_of(L' ');
  if (first == WideString::npos) return AText;
  const std::size_t last = AText.find_last_not_of(L' ');
  const WideString leading = AText.substr(0, first), trailing = AText.substr(last + 1);
  WideString number = AText.substr(first, last - first + 1);
  WideString exponent;
  const std::size_t e = LocaleUpperCase(number).find(L'E');
  if (e != WideString::npos) {
    exponent = number.substr(e);
    number.erase(e);
  }
  std::erase(number, settings.ThousandSeparator);
  const std::size_t decimal = number.find(settings.DecimalSeparator);
  std::size_t end = decimal == WideString::npos ? number.size() : decimal;
  int digits = 0;
  for (std::size_t i = end; i > 0 && IsDigit(number[i - 1]); --i)
    if (++digits % 3 == 0 && i > 1 && IsDigit(number[i - 2])) number.insert(i - 1, 1, settings.ThousandSeparator);
  return leading + number + exponent + trailing;
}

// ---- TcxTextEditPropertiesValues

TcxTextEditPropertiesValues::TcxTextEditPropertiesValues(TcxCustomTextEditProperties* AOwner)
    : TcxCustomEditPropertiesValues(AOwner), FTextOwner(AOwner) {}

void TcxTextEditPropertiesValues::SetDisplayFormat(bool AValue) {
  if (FDisplayFormat == AValue) return;
  FDisplayFormat = AValue;
  FTextOwner->Changed();
}

void TcxTextEditPropertiesValues::SetEditFormat(bool AValue) {
  if (FEditFormat == AValue) return;
  FEditFormat = AValue;
  FTextOwner->Changed();
}

void TcxTextEditPropertiesValues::SetMaxLength(bool AValue) {
  if (FMaxLength == AValue) return;
  FMaxLength = AValue;
  FTextOwner->MaxLengthChanged();
}

void TcxTextEditPropertiesValues::Assign(const TPersistent& Source) {
  const auto* source = dynamic_cast<const TcxTextEditPropertiesValues*>(&Source);
  if (!source) {
    TcxCustomEditPropertiesValues::Assign(Source);
    return;
  }
  TTextPropertiesUpdate update(*FTextOwner);
  TcxCustomEditPropertiesValues::Assign(Source);
  SetDisplayFormat(source->FDisplayFormat);
  SetEditFormat(source->FEditFormat);
  SetMaxLength(source->FMaxLength);
}

void TcxTextEditPropertiesValues::RestoreTextDefaults() {
  TTextPropertiesUpdate update(*FTextOwner);
  RestoreDefaults();
  SetDisplayFormat(false);
  SetEditFormat(false);
  SetMaxLength(false);
}

bool TcxTextEditPropertiesValues::IsFormatStored(bool AFlag, const WideString& AOwnerFormat,
                                                 const wchar_t* AName) const {
  return AFlag && AOwnerFormat.empty() && FTextOwner->IsPublishedProperty(AName);
}

void TcxTextEditPropertiesValues::DefineProperties(TFiler& AFiler) {
  TcxCustomEditPropertiesValues::DefineProperties(AFiler);
  AFiler.DefineProperty(
      L"DisplayFormat", [this](TReader& AReader) { SetDisplayFormat(AReader.ReadBoolean()); },
      [this](TWriter& AWriter) { AWriter.WriteBoolean(FDisplayFormat); },
      IsFormatStored(FDisplayFormat, FTextOwner->FDisplayFormat, L"DisplayFormat"));
  AFiler.DefineProperty(
      L"EditFormat", [this](TReader& AReader) { SetEditFormat(AReader.ReadBoolean()); },
      [this](TWriter& AWriter) { AWriter.WriteBoolean(FEditFormat); },
      IsFormatStored(FEditFormat, FTextOwner->FEditFormat, L"EditFormat"));
  // The flag comes back with the stored MaxLength itself.
  AFiler.DefineProperty(
      L"MaxLength", [this](TReader& AReader) { SetMaxLength(AReader.ReadBoolean()); },
      [this](TWriter& AWriter) { AWriter.WriteBoolean(FMaxLength); }, false);
}

// ---- TcxCustomTextEditProperties

TcxCustomTextEditProperties::TcxCustomTextEditProperties(TPersistent* AOwner) : TcxCustomEditProperties(AOwner) {
  ReplaceAssignedValues();
  FLookupItems = std::make_unique<TStringList>();
  FLookupItems->SetDuplicates(TDuplicates::dupAccept);
  FLookupItems->OnChange = [this](TObject*) { Changed(); };
  if (TcxFormatController* controller = GetFormatController()) controller->AddListener(this);
}

TcxCustomTextEditProperties::~TcxCustomTextEditProperties() {
  if (TcxFormatController* controller = GetFormatController()) controller->RemoveListener(this);
  FLookupItems->OnChange = nullptr;
}

TcxCustomEditPropertiesValues* TcxCustomTextEditProperties::CreateAssignedValues() {
  return new TcxTextEditPropertiesValues(this);
}

HRESULT STDMETHODCALLTYPE TcxCustomTextEditProperties::QueryInterface(REFIID AIID, void** AObject) {
  if (!AObject) return E_POINTER;
  if (IsEqualGUID(AIID, IID_IUnknown) || IsEqualGUID(AIID, IID_IcxFormatControllerListener)) {
    *AObject = static_cast<IcxFormatControllerListener*>(this);
    return S_OK;
  }
  *AObject = nullptr;
  return E_NOINTERFACE;
}

void STDMETHODCALLTYPE TcxCustomTextEditProperties::FormatChanged() {
  FFormatChanging = true;
  struct TDone {
    bool& Flag;
    ~TDone() { Flag = false; }
  } done{FFormatChanging};
  Changed();
}

void TcxCustomTextEditProperties::Assign(const TPersistent& Source) {
  const auto* source = dynamic_cast<const TcxCustomTextEditProperties*>(&Source);
  if (!source) {
    TcxCustomEditProperties::Assign(Source);
    return;
  }
  auto& from = const_cast<TcxCustomTextEditProperties&>(*source);
  TTextPropertiesUpdate update(*this);
  TcxCustomEditProperties::Assign(Source);
  SetCharCase(from.FCharCase);
  SetEchoMode(from.FEchoMode);
  SetFixedListSelection(from.FFixedListSelection);
  SetHideCursor(from.FHideCursor);
  SetHideSelection(from.FHideSelection);
  FImmediateUpdateText = from.FImmediateUpdateText;
  SetIncrementalSearch(from.FIncrementalSearch);
  SetMRUMode(from.FMRUMode);
  SetUseNullString(from.FUseNullString);
  SetNullstring(from.FNullstring);
  FValidChars = from.FValidChars;
  // The source's order is copied before any sorting.
  SetLookupItemsSorted(false);
  FLookupItems->Assign(*from.FLookupItems);
  SetLookupItemsSorted(from.LookupItemsSorted());
  TcxTextEditPropertiesValues& values = AssignedValues();
  values.SetDisplayFormat(false);
  if (from.AssignedValues().DisplayFormat()) SetDisplayFormat(from.FDisplayFormat);
  values.SetEditFormat(false);
  if (from.AssignedValues().EditFormat()) SetEditFormat(from.FEditFormat);
  values.SetMaxLength(false);
  if (from.AssignedValues().MaxLength()) SetMaxLength(from.FMaxLength);
  SetOEMConvert(from.FOEMConvert);
  SetImeMode(from.FImeMode);
  SetImeName(from.FImeName);
  SetPasswordChar(from.FPasswordChar);
  SetUseDisplayFormatWhenEditing(from.FUseDisplayFormatWhenEditing);
  OnNewLookupDisplayText = from.OnNewLookupDisplayText;
}

void TcxCustomTextEditProperties::RestoreDefaults() {
  TTextPropertiesUpdate update(*this);
  TcxCustomEditProperties::RestoreDefaults();
  AssignedValues().RestoreTextDefaults();
}

void TcxCustomTextEditProperties::DefineProperties(TFiler& AFiler) {
  TcxCustomEditProperties::DefineProperties(AFiler);
  // Read only: older streams said so; it is never written.
  AFiler.DefineProperty(
      L"IsDisplayFormatAssigned", [this](TReader& AReader) { AssignedValues().FDisplayFormat = AReader.ReadBoolean(); },
      [](TWriter&) {}, false);
  enum TKind { kBoolean, kInteger, kString };
  struct TRow {
    const wchar_t* Name;
    TKind Kind;
    bool (*Stored)(TcxCustomTextEditProperties&);
    int32_t (*Get)(TcxCustomTextEditProperties&);
    void (*Set)(TcxCustomTextEditProperties&, int32_t);
    WideString (*GetText)(TcxCustomTextEditProperties&);
    void (*SetText)(TcxCustomTextEditProperties&, const WideString&);
  };
  using P = TcxCustomTextEditProperties;
  static const TRow kRows[] = {
      {L"CharCase", kInteger, [](P& p) { return p.FCharCase != TEditCharCase::ecNormal; },
       [](P& p) { return int32_t(p.FCharCase); },
       [](P& p, int32_t v) {
         if (v >= 0 && v <= 2) p.SetCharCase(TEditCharCase(v));
       },
       nullptr, nullptr},
      {L"EchoMode", kInteger, [](P& p) { return p.FEchoMode != eemNormal; }, [](P& p) { return int32_t(p.FEchoMode); },
       [](P& p, int32_t v) {
         if (v == eemNormal || v == eemPassword) p.SetEchoMode(TcxEditEchoMode(v));
       },
       nullptr, nullptr},
      {L"HideSelection", kBoolean, [](P& p) { return !p.FHideSelection; },
       [](P& p) { return int32_t(p.FHideSelection); }, [](P& p, int32_t v) { p.SetHideSelection(v != 0); }, nullptr,
       nullptr},
      {L"ImeMode", kInteger, [](P& p) { return p.FImeMode != TImeMode::imDontCare; },
       [](P& p) { return int32_t(p.FImeMode); },
       [](P& p, int32_t v) {
         if (v >= 0 && v <= int32_t(TImeMode::imHanguel)) p.SetImeMode(TImeMode(v));
       },
       nullptr, nullptr},
      {L"ImeName", kString, [](P& p) { return !p.FImeName.empty(); }, nullptr, nullptr,
       [](P& p) { return p.FImeName; }, [](P& p, const WideString& v) { p.SetImeName(v); }},
      {L"IncrementalSearch", kBoolean, [](P& p) { return !p.FIncrementalSearch; },
       [](P& p) { return int32_t(p.FIncrementalSearch); }, [](P& p, int32_t v) { p.SetIncrementalSearch(v != 0); },
       nullptr, nullptr},
      {L"LookupItems", kString, [](P& p) { return p.FLookupItems->Count() > 0; }, nullptr, nullptr,
       [](P& p) { return p.FLookupItems->Text(); }, [](P& p, const WideString& v) { p.FLookupItems->SetText(v); }},
      {L"LookupItemsSorted", kBoolean, [](P& p) { return p.LookupItemsSorted(); },
       [](P& p) { return int32_t(p.LookupItemsSorted()); }, [](P& p, int32_t v) { p.SetLookupItemsSorted(v != 0); },
       nullptr, nullptr},
      {L"MaxLength", kInteger, [](P& p) { return p.AssignedValues().MaxLength(); },
       [](P& p) { return int32_t(p.FMaxLength); }, [](P& p, int32_t v) { p.SetMaxLength(v); }, nullptr, nullptr},
      {L"Nullstring", kString, [](P& p) { return !p.FNullstring.empty(); }, nullptr, nullptr,
       [](P& p) { return p.FNullstring; }, [](P& p, const WideString& v) { p.SetNullstring(v); }},
      {L"OEMConvert", kBoolean, [](P& p) { return p.FOEMConvert; }, [](P& p) { return int32_t(p.FOEMConvert); },
       [](P& p, int32_t v) { p.SetOEMConvert(v != 0); }, nullptr, nullptr},
      {L"PasswordChar", kInteger, [](P& p) { return p.FPasswordChar != 0; },
       [](P& p) { return int32_t(p.FPasswordChar); },
       [](P& p, int32_t v) {
         if (v >= 0 && v <= 0xFFFF) p.SetPasswordChar(wchar_t(v));
       },
       nullptr, nullptr},
      {L"UseNullString", kBoolean, [](P& p) { return p.FUseNullString; },
       [](P& p) { return int32_t(p.FUseNullString); }, [](P& p, int32_t v) { p.SetUseNullString(v != 0); }, nullptr,
       nullptr},
  };
  for (const TRow& row : kRows) {
    if (!IsPublishedProperty(row.Name)) continue;
    TReaderProc read;
    TWriterProc write;
    switch (row.Kind) {
      case kBoolean:
        read = [this, &row](TReader& AReader) { row.Set(*this, AReader.ReadBoolean()); };
        write = [this, &row](TWriter& AWriter) { AWriter.WriteBoolean(row.Get(*this) != 0); };
        break;
      case kInteger:
        read = [this, &row](TReader& AReader) { row.Set(*this, AReader.ReadInteger()); };
        write = [this, &row](TWriter& AWriter) { AWriter.WriteInteger(row.Get(*this)); };
        break;
      case kString:
        read = [this, &row](TReader& AReader) { row.SetText(*this, AReader.ReadString()); };
        write = [this, &row](TWriter& AWriter) { AWriter.WriteString(row.GetText(*this)); };
        break;
    }
    AFiler.DefineProperty(row.Name, read, write, row.Stored(*this));
  }
}

void TcxCustomTextEditProperties::AlignmentChanged() {
  TTextPropertiesUpdate update(*this);
  TcxCustomEditProperties::AlignmentChanged();
}

void TcxCustomTextEditProperties::AssignAlignment(const TcxEditAlignment& AValue) {
  TTextPropertiesUpdate update(*this);
  TcxCustomEditProperties::AssignAlignment(AValue);
}

TcxEditSupportedOperations TcxCustomTextEditProperties::GetSupportedOperations() {
  TcxEditSupportedOperations result = TcxCustomEditProperties::GetSupportedOperations() |
                                      cxOperationBit(esoAutoHeight) | cxOperationBit(esoEditing) |
                                      cxOperationBit(esoFiltering) | cxOperationBit(esoHorzAlignment) |
                                      cxOperationBit(esoIncSearch) | cxOperationBit(esoSorting);
  if (Buttons().Count() == 0) result |= cxOperationBit(esoEditingAutoHeight);
  return result;
}

TCaption TcxCustomTextEditProperties::DefaultValidateErrorText(int AErrorKind) {
  if (AErrorKind == 1) return cxGetResourceString(&cxSEditValueOutOfBounds);
  return TcxCustomEditProperties::DefaultValidateErrorText(AErrorKind);
}

TcxEditEditingStyle TcxCustomTextEditProperties::GetEditingStyle() { return FHideCursor ? esNoEdit : esEdit; }

bool TcxCustomTextEditProperties::CanIncrementalSearch() {
  const TcxEditEditingStyle style = GetEditingStyle();
  return style == esEditList || style == esFixedList || (style == esEdit && FIncrementalSearch);
}

bool TcxCustomTextEditProperties::FindLookupText(const WideString& AText) {
  const WideString text = LocaleUpperCase(AText);
  for (int i = 0; i < FLookupItems->Count(); ++i)
    if (LocaleUpperCase(FLookupItems->Get(i)) == text) return true;
  return false;
}

int TcxCustomTextEditProperties::GetDefaultMaxLength() {
  return IDefaultValuesProvider() ? IDefaultValuesProvider()->DefaultMaxLength() : 0;
}

void TcxCustomTextEditProperties::SetCharCase(TEditCharCase AValue) { SetChanging(FCharCase, AValue); }

void TcxCustomTextEditProperties::SetFixedListSelection(bool AValue) {
  if (FFixedListSelection == AValue) return;
  FFixedListSelection = AValue;
  if (GetEditingStyle() == esFixedList) Changed();
}

WideString TcxCustomTextEditProperties::DisplayFormat() {
  if (AssignedValues().DisplayFormat()) return FDisplayFormat;
  if (IDefaultValuesProvider()) {
    WideString format = IDefaultValuesProvider()->DefaultDisplayFormat();
    if (!format.empty()) return format;
  }
  return GetDefaultDisplayFormat();
}

void TcxCustomTextEditProperties::SetDisplayFormat(const WideString& AValue) {
  if (AssignedValues().DisplayFormat() && FDisplayFormat == AValue) return;
  TTextPropertiesUpdate update(*this);
  AssignedValues().SetDisplayFormat(true);
  FDisplayFormat = AValue;
  Changed();
}

WideString TcxCustomTextEditProperties::EditFormat() {
  bool currency = false, onGetText = false;
  return GetEditFormatEx(currency, onGetText);
}

void TcxCustomTextEditProperties::SetEditFormat(const WideString& AValue) {
  if (AssignedValues().EditFormat() && FEditFormat == AValue) return;
  TTextPropertiesUpdate update(*this);
  AssignedValues().SetEditFormat(true);
  FEditFormat = AValue;
  Changed();
}

int TcxCustomTextEditProperties::MaxLength() {
  return AssignedValues().MaxLength() ? FMaxLength : GetDefaultMaxLength();
}

void TcxCustomTextEditProperties::SetMaxLength(int AValue) {
  AValue = std::max(AValue, 0);
  if (AssignedValues().MaxLength() && FMaxLength == AValue) return;
  TTextPropertiesUpdate update(*this);
  AssignedValues().FMaxLength = true;
  FMaxLength = AValue;
  MaxLengthChanged();
}

TcxTextEditViewStyle TcxCustomTextEditProperties::ViewStyle() const {
  switch (ButtonsViewStyle()) {
    case bvsButtonsOnly: return vsButtonsOnly;
    case bvsButtonsAutoWidth: return vsButtonsAutoWidth;
    default: return FHideCursor ? vsHideCursor : vsNormal;
  }
}

void TcxCustomTextEditProperties::SetViewStyle(TcxTextEditViewStyle AValue) {
  if (ViewStyle() == AValue) return;
  TTextPropertiesUpdate update(*this);
  static constexpr TcxEditButtonsViewStyle kButtons[] = {bvsNormal, bvsNormal, bvsButtonsOnly, bvsButtonsAutoWidth};
  SetButtonsViewStyle(kButtons[AValue]);
  SetHideCursor(AValue != vsNormal);
}

WideString TcxCustomTextEditProperties::GetEditFormatEx(bool& AIsCurrency, bool& AIsOnGetTextAssigned,
                                                        bool AInplaceEditor) {
  AIsCurrency = false;
  AIsOnGetTextAssigned = false;
  if (AssignedValues().EditFormat()) return FEditFormat;
  IcxEditDefaultValuesProvider* provider = IDefaultValuesProvider();
  if (!AInplaceEditor && provider) AIsOnGetTextAssigned = provider->IsOnGetTextAssigned();
  if (provider) {
    WideString format = provider->DefaultEditFormat();
    if (!format.empty()) return format;
  }
  WideString format;
  if (AssignedValues().DisplayFormat()) {
    format = FDisplayFormat;
  } else if (provider && !provider->DefaultDisplayFormat().empty()) {
    format = provider->DefaultDisplayFormat();
  } else if (!GetDefaultDisplayFormat().empty()) {
    format = GetDefaultDisplayFormat();
  } else if (provider) {
    AIsCurrency = (DisplayFormatFlags() & 2) == 0 && provider->IsCurrency();
  }
  if (!FUseDisplayFormatWhenEditing) format.clear();
  return format;
}

bool TcxCustomTextEditProperties::IsValueBoundDefined(int ABound) {
  const bool min = AssignedValues().MinValue(), max = AssignedValues().MaxValue();
  if (min != max) return ABound == 0 ? min : max;
  return MaxValue() > MinValue();
}

bool TcxCustomTextEditProperties::IsValueBoundsDefined() { return IsValueBoundDefined(0) || IsValueBoundDefined(1); }

WideString TcxCustomTextEditProperties::DisplayValueToDisplayText(const WideString& ADisplayValue) {
  if (FEchoMode == eemPassword) return WideString(ADisplayValue.size(), FPasswordChar ? FPasswordChar : L'*');
  switch (FCharCase) {
    case TEditCharCase::ecUpperCase: return LocaleUpperCase(ADisplayValue);
    case TEditCharCase::ecLowerCase: return LocaleLowerCase(ADisplayValue);
    default: return ADisplayValue;
  }
}

bool TcxCustomTextEditProperties::IsDisplayValueValid(Variant& DisplayValue, bool) {
  WideString text = VarToStr(DisplayValue);
  if (text.empty()) return true;
  const TcxEditEditingStyle style = GetEditingStyle();
  if ((style == esEditList || style == esFixedList) && UseLookupData() && !FindLookupText(text)) return false;
  if (FCharCase == TEditCharCase::ecUpperCase) text = LocaleUpperCase(text);
  if (FCharCase == TEditCharCase::ecLowerCase) text = LocaleLowerCase(text);
  DisplayValue = Variant(text);
  return true;
}

bool TcxCustomTextEditProperties::IsEditValueValid(Variant& EditValue, bool AEditFocused) {
  if (VarIsNull(EditValue) || !VarIsStr(EditValue)) return true;
  return IsDisplayValueValid(EditValue, AEditFocused);
}

WideString TcxCustomTextEditProperties::GetDisplayText(const Variant& AEditValue, bool, bool AIsInplace) {
  if (IsValueFormattedByProvider()) return DisplayValueToDisplayText(VarToStr(AEditValue));
  const bool focused = !AIsInplace && !FocusDependentState();
  // The test may convert the copy (its letter case), which is then shown.
  Variant value = AEditValue;
  Variant displayValue;
  if (IsEditValueValid(value, focused))
    PrepareDisplayValue(value, displayValue, focused);
  else
    displayValue = Variant(InvalidValueText(AEditValue));
  return DisplayValueToDisplayText(VarToStr(displayValue));
}

void TcxCustomTextEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                      bool AEditFocused) {
  if (IsValueNull(AEditValue) && FUseNullString && !AEditFocused)
    DisplayValue = Variant(FNullstring);
  else
    InternalPrepareDisplayValue(AEditValue, DisplayValue, AEditFocused);
}

void TcxCustomTextEditProperties::InternalPrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue,
                                                              bool AEditFocused) {
  if (!IsEditValueNumeric()) {
    if (VarIsArray(AEditValue) && VarArrayDimCount(AEditValue) != 1)
      DisplayValue = Variant(L"");
    else
      DisplayValue = Variant(VariantToText(AEditValue));
    return;
  }
  if (IsNullOrEmptyText(AEditValue)) {
    DisplayValue = Variant(L"");
    return;
  }
  if (!VarIsNumeric(AEditValue) && !VarIsStr(AEditValue) && !VarIsFMTBcd(AEditValue))
    throw EConvertError(cxGetResourceString(&cxSEditNumericValueConvertError));
  const int precision = IDefaultValuesProvider() ? IDefaultValuesProvider()->DefaultPrecision() : 15;
  const WideString plain = VarToStr(AEditValue);
  WideString text = plain;
  if (AEditFocused) {
    bool currency = false, onGetText = false;
    const WideString format = GetEditFormatEx(currency, onGetText);
    TBcd bcd{};
    if (currency) {
      if (TryStrToBcd(plain, bcd))
        text = BcdToStrF(bcd, TFloatFormat::ffFixed, precision, FormatSettings().CurrencyDecimals);
    } else if (format.empty()) {
      // A text that is not a number keeps its own form.
      if (TryStrToBcd(plain, bcd)) text = BcdToStrF(bcd, TFloatFormat::ffGeneral, precision, 0);
      if (UseThousandSeparators(false)) text = InsertThousandSeparators(text);
    } else {
      text = FormatFloat(format, ValueAsExtended(AEditValue));
    }
  } else {
    const WideString format = DisplayFormat();
    if (!format.empty()) text = FormatFloat(format, ValueAsExtended(AEditValue));
  }
  DisplayValue = Variant(text);
}

bool TcxCustomTextEditProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) {
  return GetDisplayText(AEditValue1, true, true) == GetDisplayText(AEditValue2, true, true);
}

void TcxCustomTextEditProperties::ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                       TcxEditPropertiesHost* AEdit) {
  if (IsEditValueNumeric() && IsValueBoundsDefined()) ValidateValueBounds(ADisplayValue, AErrorText, AError, AEdit);
  TcxCustomEditProperties::ValidateDisplayValue(ADisplayValue, AErrorText, AError, AEdit);
}

Variant TcxCustomTextEditProperties::PrepareEditValueForBounds(const Variant& ADisplayValue, TcxEditPropertiesHost*) {
  return ADisplayValue;
}

void TcxCustomTextEditProperties::ValidateValueBounds(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                      TcxEditPropertiesHost* AEdit) {
  const Variant value = PrepareEditValueForBounds(ADisplayValue, AEdit);
  double number = 0;
  if (IsDateVariant(value)) {
    if (!TryVarToDateTime(value, number)) return;
  } else if (IsNumericOrBcdVariant(value)) {
    number = double(ValueAsExtended(value));
  } else {
    return;
  }
  if ((IsValueBoundDefined(0) && MinValue() > number) || (IsValueBoundDefined(1) && MaxValue() < number)) {
    AError = true;
    AErrorText = DefaultValidateErrorText(1);
  }
}

bool TcxTextEditProperties::IsPublishedProperty(std::wstring_view AName) const {
  static constexpr std::wstring_view kNames[] = {
      L"Alignment",     L"AssignedValues", L"AutoSelect",        L"BeepOnError",  L"CharCase",
      L"ClearKey",      L"EchoMode",       L"HideSelection",     L"ImeMode",      L"ImeName",
      L"IncrementalSearch", L"LookupItems", L"LookupItemsSorted", L"MaxLength",   L"Nullstring",
      L"OEMConvert",    L"PasswordChar",   L"ReadOnly",          L"UseLeftAlignmentOnEditing",
      L"UseNullString", L"ValidateOnEnter"};
  return std::find(std::begin(kNames), std::end(kNames), AName) != std::end(kNames);
}

TcxCustomEditViewDataClass TcxCustomTextEditProperties::ViewDataClass() const {
  return EditViewDataClassOf<TcxCustomTextEditViewData>();
}

TcxCustomEditViewInfoClass TcxCustomTextEditProperties::GetViewInfoClass() const {
  return EditViewInfoClassOf<TcxCustomTextEditViewInfo>();
}

// ---- TcxCustomTextEditViewInfo

namespace {

constexpr unsigned kAlignXMask = CXTO_CENTER_HORIZONTALLY | CXTO_RIGHT;
constexpr unsigned kAlignYMask = CXTO_CENTER_VERTICALLY | CXTO_BOTTOM;

// The colour with all 24 colour bits inverted.
TColor InverseColor(TColor AColor) { return TColor(ColorToRGB(AColor) ^ 0xFFFFFF); }

int RectHeight(const RECT& R) { return R.bottom - R.top; }
int RectWidth(const RECT& R) { return R.right - R.left; }

}  // namespace

TcxCustomTextEditViewInfo::~TcxCustomTextEditViewInfo() { SetTextRowCount(TextOutData.TextRows, 0); }

void TcxCustomTextEditViewInfo::Offset(int DX, int DY) {
  TcxCustomEditViewInfo::Offset(DX, DY);
  OffsetRect(&TextRect, DX, DY);
  if (!TextOutData.Initialized) return;
  OffsetRect(&TextOutData.TextRect, DX, DY);
  for (int i = 0; i < TextOutData.RowCount; ++i) {
    TcxTextRow& row = TextOutData.TextRows.Row(i);
    row.TextOriginX += DX;
    row.TextOriginY += DY;
  }
}

void TcxCustomTextEditViewInfo::DrawText(TcxCanvas& ACanvas) {
  if (Text.empty()) return;
  if (Font) ACanvas.Font().Assign(*Font);
  ACanvas.Font().SetColor(DrawSelectionBar ? clHighlightText : TextColor);
  PrepareCanvasFont(ACanvas);
  TcxTextOutData& data = TextOutData;
  if (!data.Initialized) {
    data.Initialized = true;
    FillTextParamsFromDC(ACanvas.Handle(), DrawTextFlags, data.TextParams);
    data.TextRect = ApplyTextIndents(TextRect, data.TextParams, 0, 0);
    data.RowCount = 0;
    if (IsRectEmpty(&data.TextRect)) return;
    data.ForceEndEllipsis =
        !SplitTextIntoRows(ACanvas.Handle(), Text.c_str(), int(Text.size()), &CalcTextExtentsEx, nullptr, MaxLineCount,
                           data.RowCount, data.TextRows, data.TextParams, data.TextRect);
    if (data.RowCount > 0) PositionTextRows(ACanvas.Handle(), data.TextRect, data.TextParams, data.RowCount, data.TextRows);
    const int length = int(Text.size());
    data.SelStart = SelStart;
    data.SelLength = SelStart < 0 || SelStart > length ? 0 : std::min(SelLength, length - SelStart);
    data.SelBackgroundColor = SelBackgroundColor;
    data.SelTextColor = SelTextColor;
  }
  if (data.RowCount == 0) return;
  OutputTextRowsHighlighted(ACanvas.Handle(), data.TextRect, data.TextParams, data.ForceEndEllipsis,
                            data.SelTextColor, data.SelBackgroundColor, data.SelLength, data.SelStart, data.RowCount,
                            data.TextRows);
}

void TcxCustomTextEditViewInfo::InternalDrawBackground(TcxCanvas& ACanvas) {
  TcxCustomEditViewInfo::InternalDrawBackground(ACanvas);
  RECT rect = ClientRect;
  if (!IsInplace) {
    // A frame in the background colour keeps the text off the border.
    if (!(NativeStyle && !DrawSelectionBar) && !Transparent && EditingStyle != esNoEdit)
      ACanvas.FrameRect(rect, BackgroundColor());
    InflateRect(&rect, -1, -1);
  }
  if (IsOwnerDrawing && CustomDrawHandler) {
    CustomDrawHandler(ACanvas, this);
  } else {
    if (DrawSelectionBar) ACanvas.FillRect(rect, clHighlight);
    if (!IsEditClass || PaintingCopy) DrawText(ACanvas);
  }
  if (!IsEditClass && Focused && !IsInplace && !HasPopupWindow) {
    ACanvas.Font().SetColor(DrawSelectionBar ? clHighlightText : clBtnText);
    ACanvas.Brush().SetColor(DrawSelectionBar ? clHighlight : BackgroundColor());
    ACanvas.DrawFocusRect(rect);
  }
}

int TcxCustomTextEditViewInfo::GetTextBaseLine() {
  TcxScreenCanvas* canvas = GetScreenCanvas();
  if (Font) canvas->Font().Assign(*Font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(canvas->Handle(), &metrics);
  if (DrawTextFlags & CXTO_BOTTOM) return TextRect.bottom - metrics.tmDescent + 1;
  if (DrawTextFlags & CXTO_CENTER_VERTICALLY)
    return TextRect.top + (RectHeight(TextRect) - metrics.tmHeight) / 2 + metrics.tmAscent + 1;
  return TextRect.top + metrics.tmAscent + 1;
}

bool TcxCustomTextEditViewInfo::NeedShowHint(TcxCanvas& ACanvas, POINT P, const RECT& AVisibleBounds,
                                             RECT& ATextRect, bool& AIsMultiLine, WideString& AText) {
  RECT test = TextRect;
  if (!IsRectEmpty(&AVisibleBounds)) {
    RECT visible = AVisibleBounds;
    OffsetRect(&visible, -Left, -Top);
    IntersectRect(&test, &visible, &TextRect);
  }
  bool needed = false;
  if (PtInRect(&test, P)) {
    if (Font) ACanvas.Font().Assign(*Font);
    RECT measured = test;
    const UINT flags = (DrawTextFlags & ~(kAlignXMask | kAlignYMask | CXTO_SINGLELINE)) | CXTO_CALCRECT;
    DrawTextInRect(ACanvas.Handle(), Text, measured, flags);
    needed = RectHeight(measured) > RectHeight(test) || RectWidth(measured) > RectWidth(test);
  }
  if (!needed) needed = TcxCustomEditViewInfo::NeedShowHint(ACanvas, P, AVisibleBounds, ATextRect, AIsMultiLine, AText);
  AIsMultiLine = (DrawTextFlags & CXTO_WORDBREAK) && !(DrawTextFlags & CXTO_SINGLELINE);
  AText = Text;
  ATextRect = TextRect;
  OffsetRect(&ATextRect, Left, Top);
  return needed;
}

// ---- TcxCustomTextEditViewData

TcxCustomTextEditViewData::TcxCustomTextEditViewData(TcxCustomEditProperties& AProperties,
                                                     TcxCustomEditStyle& AStyle, bool AIsInplace)
    : TcxCustomEditViewData(AProperties, AStyle, AIsInplace) {
  FIsValueFormatted = AProperties.IsValueFormattedByProvider();
}

unsigned TcxCustomTextEditViewData::GetDrawTextFlags() {
  static constexpr unsigned kHorz[] = {CXTO_LEFT, CXTO_RIGHT, CXTO_CENTER_HORIZONTALLY};
  static constexpr unsigned kVert[] = {CXTO_TOP, CXTO_BOTTOM, CXTO_CENTER_VERTICALLY};
  return kHorz[int(HorzAlignment)] | kVert[VertAlignment] | CXTO_SINGLELINE | CXTO_PREVENT_LEFT_EXCEED |
         CXTO_PREVENT_TOP_EXCEED;
}

RECT TcxCustomTextEditViewData::GetDrawTextOffset() {
  RECT offset = ContentParamsOffsets;
  const TcxEditEditingStyle style = TextProperties().GetEditingStyle();
  if (!IsInplace() && (style == esFixedList || style == esNoEdit)) {
    ++offset.top;
    --offset.bottom;
    if (HorzAlignment == TAlignment::taRightJustify)
      ++offset.right;
    else
      ++offset.left;
  }
  return offset;
}

RECT TcxCustomTextEditViewData::GetClientExtent(TcxCanvas& ACanvas, TcxCustomEditViewInfo& AViewInfo) {
  RECT extent = TcxCustomEditViewData::GetClientExtent(ACanvas, AViewInfo);
  if (!IsInplace() && IsComboBoxStyle() && NativeStyle) ++extent.right;
  return extent;
}

void TcxCustomTextEditViewData::Calculate(TcxCanvas& ACanvas, const RECT& ABounds, POINT P, TcxMouseButton AButton,
                                          TShiftState AShift, TcxCustomEditViewInfo& AViewInfo, bool AIsMouseEvent) {
  TcxCustomEditViewData::Calculate(ACanvas, ABounds, P, AButton, AShift, AViewInfo, AIsMouseEvent);
  auto& info = static_cast<TcxCustomTextEditViewInfo&>(AViewInfo);
  info.DrawSelectionBar = false;
  info.EditingStyle = TextProperties().GetEditingStyle();
  info.IsEditClass = IsInnerEditShown();
  info.HasPopupWindow = false;
  const RECT offset = GetDrawTextOffset();
  info.TextRect = RECT{info.ClientRect.left + offset.left, info.ClientRect.top + offset.top,
                       info.ClientRect.right - offset.right, info.ClientRect.bottom - offset.bottom};
  if (!IsInplace()) {
    const int rowHeight = GetDCTextHeight(ACanvas.Handle());
    if (RectHeight(info.TextRect) < rowHeight)
      info.TextRect.bottom = std::min(info.ClientRect.bottom, info.TextRect.top + rowHeight);
  }
  info.MaxLineCount = GetMaxLineCount();
  info.TextOutData.Initialized = false;
  PrepareDrawTextFlags(ACanvas, info);
}

void TcxCustomTextEditViewData::PrepareDrawTextFlags(TcxCanvas& ACanvas, TcxCustomTextEditViewInfo& AViewInfo) {
  AViewInfo.DrawTextFlags = GetDrawTextFlags();
  const bool wrapTest = !TextProperties().IsMultiLine() &&
                        (TextProperties().GetSupportedOperations() & cxOperationBit(esoAutoHeight)) &&
                        (PaintOptions & epoAutoHeight);
  if (wrapTest && !AViewInfo.Text.empty()) {
    // An auto-height single-line editor wraps a text that does not fit one row.
    if (AViewInfo.Font) ACanvas.Font().Assign(*AViewInfo.Font);
    const RECT offset = GetDrawTextOffset();
    const SIZE correction = GetEditContentSizeCorrection();
    int width = RectWidth(AViewInfo.TextRect) + offset.left + offset.right - correction.cx - ContentParamsOffsets.left -
                ContentParamsOffsets.right;
    if (HorzAlignment == TAlignment::taRightJustify) ++width;
    const unsigned flags = (AViewInfo.DrawTextFlags & ~CXTO_SINGLELINE) | CXTO_WORDBREAK | CXTO_EDITCONTROL |
                           CXTO_CALCROWCOUNT;
    TcxTextParams params{};
    FillTextParamsFromDC(ACanvas.Handle(), flags, params);
    const int rowHeight = std::max(params.FullRowHeight, 1);
    const int maxRows = (RectHeight(AViewInfo.TextRect) + rowHeight - 1) / rowHeight + 1;
    RECT layout{0, 0, std::max(width, 0), 0x3FFFFFFF};
    TcxTextRows rows;
    int count = 0;
    SplitTextIntoRows(ACanvas.Handle(), AViewInfo.Text.c_str(), int(AViewInfo.Text.size()), &CalcTextExtentsEx,
                      nullptr, maxRows, count, rows, params, layout);
    if (count > 1) {
      AViewInfo.DrawTextFlags = (AViewInfo.DrawTextFlags & ~CXTO_SINGLELINE) | CXTO_WORDBREAK | CXTO_EDITCONTROL;
      if (count * rowHeight > RectHeight(AViewInfo.TextRect)) AViewInfo.DrawTextFlags &= ~kAlignYMask;
    }
    SetTextRowCount(rows, 0);
  }
  if (PaintOptions & epoShowEndEllipsis) AViewInfo.DrawTextFlags |= CXTO_END_ELLIPSIS;
  AViewInfo.ComboBoxStyle = IsComboBoxStyle();
}

WideString TcxCustomTextEditViewData::ValueToDisplayText(const Variant& AEditValue) {
  WideString text;
  if (FIsValueFormatted) {
    text = VarToStr(AEditValue);
  } else {
    Variant displayValue;
    TextProperties().PrepareDisplayValue(AEditValue, displayValue, Focused);
    text = VarToStr(displayValue);
  }
  return TextProperties().DisplayValueToDisplayText(text);
}

void TcxCustomTextEditViewData::DisplayValueToDrawValue(const Variant& ADisplayValue,
                                                        TcxCustomEditViewInfo& AViewInfo) {
  auto& info = static_cast<TcxCustomTextEditViewInfo&>(AViewInfo);
  info.Text = TextProperties().DisplayValueToDisplayText(VarToStr(ADisplayValue));
  info.TextOutData.Initialized = false;
}

void TcxCustomTextEditViewData::EditValueToDrawValue(const Variant& AEditValue, TcxCustomEditViewInfo& AViewInfo) {
  auto& info = static_cast<TcxCustomTextEditViewInfo&>(AViewInfo);
  info.Text = PreviewMode ? WideString() : TextProperties().GetDisplayText(AEditValue, false, IsInplace());
  info.TextOutData.Initialized = false;
  PrepareSelection(info);
}

void TcxCustomTextEditViewData::PrepareSelection(TcxCustomTextEditViewInfo& AViewInfo) {
  AViewInfo.SelStart = SelStart;
  AViewInfo.SelLength = SelLength;
  if (SelLength == 0) return;
  if (SelBackgroundColor == clDefault) {
    if (SelTextColor != clDefault) {
      AViewInfo.SelTextColor = SelTextColor;
      AViewInfo.SelBackgroundColor = InverseColor(SelTextColor);
    } else if (StyleColor == clHighlight) {
      AViewInfo.SelBackgroundColor = clBlack;
      AViewInfo.SelTextColor = clWhite;
    } else {
      AViewInfo.SelBackgroundColor = clHighlight;
      AViewInfo.SelTextColor = clHighlightText;
    }
  } else {
    AViewInfo.SelBackgroundColor = SelBackgroundColor;
    AViewInfo.SelTextColor = SelTextColor != clDefault ? SelTextColor : InverseColor(SelBackgroundColor);
  }
}

void TcxCustomTextEditViewData::CalculateButtonNativeInfo(TcxEditButtonViewInfo& AButton) {
  TcxCustomEditViewData::CalculateButtonNativeInfo(AButton);
  // A stand-alone fixed list shows its enabled combo button unpressed and unhot.
  if (NativeStyle && IsWinVistaOrLater && !IsInplace() && TextProperties().GetEditingStyle() == esFixedList &&
      AButton.Data.Kind == bkDown && AButton.Data.State != ebsDisabled)
    AButton.Data.State = ebsNormal;
}

SIZE TcxCustomTextEditViewData::CalcContentSize(TcxCanvas& ACanvas, const Variant& AEditValue,
                                                const TcxEditSizeProperties& ASizeProperties) {
  return CalculateTextContentSize(ACanvas, ValueToDisplayText(AEditValue), ASizeProperties, GetDrawTextFlags(), 0,
                                  true);
}

SIZE TcxCustomTextEditViewData::CalculateTextContentSize(TcxCanvas& ACanvas, const WideString& AText,
                                                         const TcxEditSizeProperties& ASizeProperties,
                                                         unsigned ADrawTextFlags, int AFixedRowCount,
                                                         bool AAddCorrectionWidth) {
  if (TFont* font = Style().GetVisibleFont()) ACanvas.Font().Assign(*font);
  const SIZE correction = GetEditContentSizeCorrection();
  const TcxEditEditingStyle style = TextProperties().GetEditingStyle();
  const int extraPixel =
      !IsInplace() && (style == esFixedList || style == esNoEdit) && !(IsComboBoxStyle() && NativeStyle) ? 1 : 0;
  const int textHeight = GetDCTextHeight(ACanvas.Handle());
  const int maxLines = AFixedRowCount > 0 ? AFixedRowCount : ASizeProperties.MaxLineCount;
  const bool multiLine = (ADrawTextFlags & CXTO_WORDBREAK) && !(ADrawTextFlags & CXTO_SINGLELINE);
  const bool autoHeight = (PaintOptions & epoAutoHeight) &&
                          (TextProperties().GetSupportedOperations() & cxOperationBit(esoAutoHeight));
  const unsigned wrapFlags = (ADrawTextFlags & ~CXTO_SINGLELINE) | CXTO_WORDBREAK | CXTO_EDITCONTROL;
  // Rows of the text laid out in AWidth (unlimited height).
  const auto rowsIn = [&](int AWidth, int& AWidest) {
    TcxTextParams params{};
    FillTextParamsFromDC(ACanvas.Handle(), wrapFlags | CXTO_CALCROWCOUNT, params);
    RECT layout{0, 0, AWidth, 0x3FFFFFFF};
    TcxTextRows rows;
    int count = 0;
    SplitTextIntoRows(ACanvas.Handle(), AText.c_str(), int(AText.size()), &CalcTextExtentsEx, nullptr, maxLines,
                      count, rows, params, layout);
    AWidest = GetWidestTextRowWidth(rows, count);
    SetTextRowCount(rows, 0);
    return std::max(count, 1);
  };
  SIZE size{0, textHeight};
  if (ASizeProperties.Width < 0) {
    if (multiLine || autoHeight) {
      int widest = 0;
      rowsIn(0x3FFFFFFF, widest);
      size.cx = widest;
      size.cy = AFixedRowCount > 0 ? AFixedRowCount * textHeight : textHeight;
    } else {
      size.cx = AText.empty() ? 0 : ACanvas.TextExtent(AText).cx;
    }
    size.cx += extraPixel;
    if (AAddCorrectionWidth) size.cx += correction.cx;
  } else if (AFixedRowCount > 0) {
    size = SIZE{ASizeProperties.Width, AFixedRowCount * textHeight};
  } else {
    const int usable = ASizeProperties.Width + (IsInplace() ? 0 : 2) + (extraPixel ? 0 : 1) - 3;
    const bool zero = AText.empty() && (PaintOptions & epoAllowZeroHeight);
    if (usable > 0) {
      size.cx = ASizeProperties.Width;
      if (AText.empty()) {
        size.cy = zero ? 0 : textHeight;
      } else {
        int widest = 0;
        size.cy = rowsIn(usable, widest) * textHeight;
      }
    } else {
      size = SIZE{0, zero ? 0 : textHeight};
    }
  }
  if (size.cy > 0) size.cy += correction.cy;
  return size;
}

void cxTextEditUnitStart() {
  if (TcxRegisteredClasses* registered = RegisteredEditProperties())
    registered->Register(&TcxTextEditProperties::StaticClassInfo(),
                         cxGetResourceString(&scxSEditRepositoryTextItem));
}

void cxTextEditUnitStop() {}

}  // namespace tvk
