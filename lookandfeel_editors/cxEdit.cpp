#include "cxEdit.h"

#include "Convert.h"
#include "Forms.h"
#include "Streams.h"
#include "Variants.h"
#include "WindowClasses.h"
#include "cxEditConsts.h"
#include "cxEditViewInfo.h"

#include <algorithm>
#include <map>

namespace tvk {

namespace {

// Null outside the unit's run: properties made then are not listed.
std::vector<TcxCustomEditProperties*>* gEditPropertiesList = nullptr;
std::vector<TcxInplaceEditListLink*> gInplaceEditLists;
std::unique_ptr<TcxRegisteredClasses> gRegisteredEditProperties;
bool gEditUnitFinalized = false;
TcxEditResourceStringGetter gEditResourceStringGetter = nullptr;

std::map<TClass, TcxCustomEditPropertiesClass>& PropertiesClassMap() {
  static std::map<TClass, TcxCustomEditPropertiesClass> map;
  return map;
}

// Closes a properties update bracket for a scope, also on failure.
class TPropertiesUpdate {
public:
  explicit TPropertiesUpdate(TcxCustomEditProperties& AProperties) : FProperties(AProperties) {
    FProperties.BeginUpdate();
  }
  ~TPropertiesUpdate() { FProperties.EndUpdate(); }
  TPropertiesUpdate(const TPropertiesUpdate&) = delete;
  TPropertiesUpdate& operator=(const TPropertiesUpdate&) = delete;

private:
  TcxCustomEditProperties& FProperties;
};

}  // namespace

void RegisterEditPropertiesClassRef(TcxCustomEditPropertiesClass AClassRef) {
  PropertiesClassMap().emplace(AClassRef->Info(), AClassRef);
}

TcxCustomEditPropertiesClass FindEditPropertiesClass(TClass AClass) {
  auto found = PropertiesClassMap().find(AClass);
  return found == PropertiesClassMap().end() ? nullptr : found->second;
}

std::vector<TcxInplaceEditListLink*>& InplaceEditLists() { return gInplaceEditLists; }

const std::vector<TcxCustomEditProperties*>& EditPropertiesList() {
  static const std::vector<TcxCustomEditProperties*> empty;
  return gEditPropertiesList ? *gEditPropertiesList : empty;
}

TcxRegisteredClasses* RegisteredEditProperties() {
  if (!gRegisteredEditProperties && !gEditUnitFinalized) {
    gRegisteredEditProperties = std::make_unique<TcxRegisteredClasses>();
    gRegisteredEditProperties->SetSorted(true);
  }
  return gRegisteredEditProperties.get();
}

TcxEditResourceStringGetter cxEditResourceStringGetter() { return gEditResourceStringGetter; }

WideString cxGetResourceString(const TResStringRec* AResString) {
  return gEditResourceStringGetter ? gEditResourceStringGetter(AResString) : LoadResString(AResString);
}

// ---- TcxEditAlignment

void TcxEditAlignment::DoChanged() {
  if (OnChanged) OnChanged(this);
}

void TcxEditAlignment::SetHorz(TAlignment AValue) {
  if (FIsHorzAssigned && FHorz == AValue) return;
  FIsHorzAssigned = true;
  FHorz = AValue;
  DoChanged();
}

void TcxEditAlignment::SetVert(TcxEditVertAlignment AValue) {
  if (FVert == AValue) return;
  FVert = AValue;
  DoChanged();
}

void TcxEditAlignment::Reset() {
  FIsHorzAssigned = false;
  DoChanged();
}

void TcxEditAlignment::Assign(const TPersistent& Source) {
  const auto* source = dynamic_cast<const TcxEditAlignment*>(&Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  FVert = source->FVert;
  FHorz = source->FHorz;
  FIsHorzAssigned = source->FIsHorzAssigned;
  DoChanged();
}

void TcxEditAlignment::DefineProperties(TFiler& AFiler) {
  AFiler.DefineProperty(
      L"Horz",
      [this](TReader& AReader) {
        const int32_t value = AReader.ReadInteger();
        if (value >= int32_t(TAlignment::taLeftJustify) && value <= int32_t(TAlignment::taCenter))
          SetHorz(TAlignment(value));
      },
      [this](TWriter& AWriter) { AWriter.WriteInteger(int32_t(FHorz)); }, IsHorzStored());
  AFiler.DefineProperty(
      L"Vert",
      [this](TReader& AReader) {
        const int32_t value = AReader.ReadInteger();
        if (value >= taTopJustify && value <= taVCenter) SetVert(TcxEditVertAlignment(value));
      },
      [this](TWriter& AWriter) { AWriter.WriteInteger(FVert); }, IsVertStored());
}

// ---- TcxCustomEditPropertiesValues

TPersistent* TcxCustomEditPropertiesValues::GetOwner() const { return FOwner; }

void TcxCustomEditPropertiesValues::BeginUpdate() { FOwner->BeginUpdate(); }
void TcxCustomEditPropertiesValues::EndUpdate() { FOwner->EndUpdate(true); }

void TcxCustomEditPropertiesValues::SetFlag(bool& AField, bool AValue) {
  if (AField == AValue) return;
  AField = AValue;
  FOwner->Changed();
}

void TcxCustomEditPropertiesValues::Assign(const TPersistent& Source) {
  const auto* source = dynamic_cast<const TcxCustomEditPropertiesValues*>(&Source);
  if (!source) {
    TPersistent::Assign(Source);
    return;
  }
  TPropertiesUpdate update(*FOwner);
  SetMaxValue(source->FMaxValue);
  SetMinValue(source->FMinValue);
  SetReadOnly(source->FReadOnly);
}

void TcxCustomEditPropertiesValues::RestoreDefaults() {
  TPropertiesUpdate update(*FOwner);
  SetMaxValue(false);
  SetMinValue(false);
  SetReadOnly(false);
}

bool TcxCustomEditPropertiesValues::IsBoundStored(bool AFlag, const wchar_t* AName) const {
  if (!AFlag || !FOwner->IsPublishedProperty(AName)) return false;
  return (AName == std::wstring_view(L"MaxValue") ? FOwner->MaxValue() : FOwner->MinValue()) == 0;
}

bool TcxCustomEditPropertiesValues::IsMaxValueStored() const { return IsBoundStored(FMaxValue, L"MaxValue"); }
bool TcxCustomEditPropertiesValues::IsMinValueStored() const { return IsBoundStored(FMinValue, L"MinValue"); }

void TcxCustomEditPropertiesValues::DefineProperties(TFiler& AFiler) {
  struct TFlag {
    const wchar_t* Name;
    bool TcxCustomEditPropertiesValues::*Field;
  };
  static constexpr TFlag kFlags[] = {{L"MaxValue", &TcxCustomEditPropertiesValues::FMaxValue},
                                     {L"MinValue", &TcxCustomEditPropertiesValues::FMinValue},
                                     {L"ReadOnly", &TcxCustomEditPropertiesValues::FReadOnly}};
  for (const TFlag& flag : kFlags) {
    const bool stored = flag.Field == &TcxCustomEditPropertiesValues::FReadOnly ? FReadOnly
                        : flag.Field == &TcxCustomEditPropertiesValues::FMaxValue ? IsMaxValueStored()
                                                                                  : IsMinValueStored();
    AFiler.DefineProperty(
        flag.Name, [this, &flag](TReader& AReader) { SetFlag(this->*flag.Field, AReader.ReadBoolean()); },
        [this, &flag](TWriter& AWriter) { AWriter.WriteBoolean(this->*flag.Field); }, stored);
  }
}

// ---- TcxCustomEditDefaultValuesProvider

TcxCustomEditDefaultValuesProvider::~TcxCustomEditDefaultValuesProvider() { ClearUsers(); }

void TcxCustomEditDefaultValuesProvider::ClearUsers() {
  for (TcxCustomEditProperties* properties : EditPropertiesList())
    if (properties->FIDefaultValuesProvider && properties->FIDefaultValuesProvider->GetInstance() == this)
      properties->ClearDefaultValuesProvider();
}

bool TcxCustomEditDefaultValuesProvider::GetInterface(REFIID AIid, void** AObject) {
  if (IsEqualGUID(AIid, IID_IcxEditDefaultValuesProvider)) {
    *AObject = static_cast<IcxEditDefaultValuesProvider*>(this);
    return true;
  }
  return TcxInterfacedPersistent::GetInterface(AIid, AObject);
}

// ---- TcxCustomEditProperties

TcxCustomEditProperties::TcxCustomEditProperties(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner) {
  if (gEditPropertiesList) gEditPropertiesList->push_back(this);
  FFreeNotificator = std::make_unique<TcxFreeNotificator>(nullptr);
  FFreeNotificator->OnFreeNotification = [this](TComponent* AComponent) {
    // The list is going: no withdrawal from it.
    if (AComponent == FImages) {
      FImages = nullptr;
      Changed();
    }
  };
  FAlignment = std::make_unique<TcxEditAlignment>(this);
  FAlignment->OnChanged = [this](TObject*) { AlignmentChanged(); };
  FAssignedValues.reset(new TcxCustomEditPropertiesValues(this));
  FButtons = std::make_unique<TcxEditButtons>(this);
  FButtons->OnChange = [this](TObject*) { ButtonsChanged(); };
  FImageChangeLink = std::make_unique<TChangeLink>();
  FImageChangeLink->OnChange = [this](TObject* ASender) {
    if (ASender == FImages) Changed();
  };
  FInnerAlignment = std::make_unique<TcxEditAlignment>(this);
}

TcxCustomEditProperties::~TcxCustomEditProperties() {
  for (TcxInplaceEditListLink* list : std::vector<TcxInplaceEditListLink*>(gInplaceEditLists))
    list->DisconnectProperties(*this);
  FIDefaultValuesProvider = nullptr;
  // The list's link goes before the list can tell it anything more.
  if (FImages) {
    FImages->UnRegisterChanges(FImageChangeLink.get());
    FFreeNotificator->RemoveSender(FImages);
  }
  FButtons.reset();
  FInnerAlignment.reset();
  FAssignedValues.reset();
  FAlignment.reset();
  FFreeNotificator.reset();
  FImageChangeLink.reset();
  if (gEditPropertiesList) std::erase(*gEditPropertiesList, this);
}

TcxCustomEditPropertiesClass TcxCustomEditProperties::PropertiesClass() const {
  return EditPropertiesClassOf<TcxCustomEditProperties>();
}

TcxCustomEditPropertiesValues* TcxCustomEditProperties::CreateAssignedValues() {
  return new TcxCustomEditPropertiesValues(this);
}

TcxCustomEditViewDataClass TcxCustomEditProperties::ViewDataClass() const {
  return EditViewDataClassOf<TcxCustomEditViewData>();
}

TcxCustomEditViewInfoClass TcxCustomEditProperties::GetViewInfoClass() const {
  return EditViewInfoClassOf<TcxCustomEditViewInfo>();
}

TcxContainerStyleClass TcxCustomEditProperties::GetStyleClass() const { return ContainerStyleClassOf<TcxEditStyle>(); }

bool TcxCustomEditProperties::IsPublishedProperty(std::wstring_view) const { return false; }

void TcxCustomEditProperties::BeginUpdate() {
  if (FUpdateCount == 0) FChangedOccurred = false;
  ++FUpdateCount;
}

void TcxCustomEditProperties::EndUpdate(bool AInvokeChanged) {
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount == 0 && AInvokeChanged && FChangedOccurred) Changed();
}

bool TcxCustomEditProperties::OwnerIsBeingDestroyed() const {
  auto* owner = dynamic_cast<TComponent*>(Owner());
  return owner && owner->IsDestroying();
}

void TcxCustomEditProperties::Changed() {
  if (!ChangedLocked() && !OwnerIsBeingDestroyed())
    RaisePropertiesChanged();
  else
    FChangedOccurred = true;
}

void TcxCustomEditProperties::RaisePropertiesChanged() {
  if (!OnPropertiesChanged) return;
  ++FIsChangingCount;
  struct TDone {
    int& Count;
    ~TDone() { --Count; }
  } done{FIsChangingCount};
  OnPropertiesChanged(this);
}

void TcxCustomEditProperties::Assign(const TPersistent& Source) {
  auto* source = const_cast<TcxCustomEditProperties*>(dynamic_cast<const TcxCustomEditProperties*>(&Source));
  if (!source) {
    TcxInterfacedPersistent::Assign(Source);
    return;
  }
  TPropertiesUpdate update(*this);
  SetImages(source->FImages);
  SetAutoSelect(source->FAutoSelect);
  FButtons->Assign(*source->FButtons);
  SetButtonsViewStyle(source->FButtonsViewStyle);
  FBeepOnError = source->FBeepOnError;
  FClearKey = source->FClearKey;
  FClickKey = source->FClickKey;
  SetUseLeftAlignmentOnEditing(source->FUseLeftAlignmentOnEditing);
  SetIDefaultValuesProvider(source->FIDefaultValuesProvider);
  AssignAlignment(source->Alignment());
  TcxCustomEditPropertiesValues& values = *FAssignedValues;
  values.SetMaxValue(false);
  if (source->FAssignedValues->MaxValue()) SetMaxValue(source->ReadMaxValue());
  values.SetMinValue(false);
  if (source->FAssignedValues->MinValue()) SetMinValue(source->ReadMinValue());
  values.SetReadOnly(false);
  if (source->FAssignedValues->ReadOnly()) SetReadOnly(source->ReadOnly());
  FImmediatePost = source->FImmediatePost;
  SetTransparent(source->FTransparent);
  FUseMouseWheel = source->FUseMouseWheel;
  FValidateOnEnter = source->FValidateOnEnter;
  OnButtonClick = source->OnButtonClick;
  OnChange = source->OnChange;
  OnEditValueChanged = source->OnEditValueChanged;
  OnValidate = source->OnValidate;
}

std::unique_ptr<TcxCustomEditProperties> TcxCustomEditProperties::Clone(TPersistent* AOwner) const {
  std::unique_ptr<TcxCustomEditProperties> clone(PropertiesClass()->Create(AOwner));
  clone->Assign(*this);
  return clone;
}

std::unique_ptr<TcxCustomEditProperties> TcxCustomEditProperties::CreatePreviewProperties() const {
  return std::unique_ptr<TcxCustomEditProperties>(PropertiesClass()->Create(nullptr));
}

std::unique_ptr<TcxCustomEditViewData> TcxCustomEditProperties::CreateViewData(TcxCustomEditStyle& AStyle,
                                                                              bool AIsInplace, bool APreviewMode) {
  std::unique_ptr<TcxCustomEditViewData> viewData(ViewDataClass()->Create(*this, AStyle, AIsInplace));
  viewData->PreviewMode = APreviewMode;
  return viewData;
}

SIZE TcxCustomEditProperties::GetEditConstantPartSize(TcxCanvas& ACanvas, TcxCustomEditStyle& AEditStyle,
                                                      bool AIsInplace, const TcxEditSizeProperties& AEditSizeProperties,
                                                      SIZE& MinContentSize) {
  return CreateViewData(AEditStyle, AIsInplace)->GetEditConstantPartSize(ACanvas, AEditSizeProperties, MinContentSize);
}

SIZE TcxCustomEditProperties::GetEditContentSize(TcxCanvas& ACanvas, TcxCustomEditStyle& AEditStyle, bool AIsInplace,
                                                 const Variant& AEditValue,
                                                 const TcxEditSizeProperties& AEditSizeProperties) {
  return CreateViewData(AEditStyle, AIsInplace)->GetEditContentSize(ACanvas, AEditValue, AEditSizeProperties);
}

SIZE TcxCustomEditProperties::GetEditSize(TcxCanvas& ACanvas, TcxCustomEditStyle& AEditStyle, bool AIsInplace,
                                          const Variant& AEditValue, TcxEditSizeProperties AEditSizeProperties) {
  return CreateViewData(AEditStyle, AIsInplace)->GetEditSize(ACanvas, AEditValue, AEditSizeProperties);
}

WideString TcxCustomEditProperties::GetDisplayText(const Variant&, bool, bool) { return {}; }

void TcxCustomEditProperties::PrepareDisplayValue(const Variant& AEditValue, Variant& DisplayValue, bool) {
  DisplayValue = AEditValue;
}

bool TcxCustomEditProperties::CompareDisplayValues(const Variant& AEditValue1, const Variant& AEditValue2) {
  Variant value1, value2;
  PrepareDisplayValue(AEditValue1, value1, false);
  PrepareDisplayValue(AEditValue2, value2, false);
  return VarEqualsEx(value1, value2);
}

bool TcxCustomEditProperties::IsEditValueValid(Variant&, bool) { return true; }

bool TcxCustomEditProperties::IsValueFormattedByProvider() {
  const unsigned flags = DisplayFormatFlags();
  return !IsValueFormattedByProperties() && (flags & 1) != 0 && GetEditValueSource(true) == evsValue &&
         GetEditValueSource(false) == evsText && FIDefaultValuesProvider &&
         FIDefaultValuesProvider->IsDisplayFormatDefined((flags & 2) == 0);
}

bool TcxCustomEditProperties::HasProviderDisplayFormat(bool AEditing) {
  const unsigned flags = DisplayFormatFlags();
  if (AEditing || (flags & 1) == 0 || !FIDefaultValuesProvider) return false;
  return FIDefaultValuesProvider->IsDisplayFormatDefined((flags & 2) == 0);
}

TcxEditSupportedOperations TcxCustomEditProperties::GetSupportedOperations() {
  return FButtons->Count() > 0 ? cxOperationBit(esoHotTrack) : 0;
}

void TcxCustomEditProperties::RestoreDefaults() {
  FInnerAlignment->Reset();
  TPropertiesUpdate update(*this);
  FAssignedValues->RestoreDefaults();
}

void TcxCustomEditProperties::UpdateButtonActions() { FButtons->UpdateFromActions(); }

TCaption TcxCustomEditProperties::DefaultValidateErrorText(int) {
  return cxGetResourceString(&cxSEditValidateErrorText);
}

void TcxCustomEditProperties::ValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError,
                                                   TcxEditPropertiesHost* AEdit) {
  if (!CanValidate()) return;
  if (AErrorText.empty()) AErrorText = DefaultValidateErrorText(0);
  bool displayValueChanged = false;
  RunValidateEvent(ADisplayValue, AErrorText, displayValueChanged, AEdit, AError);
}

void TcxCustomEditProperties::RunValidateEvent(Variant& ADisplayValue, TCaption& AErrorText,
                                               bool& ADisplayValueChanged, TcxEditPropertiesHost* AEdit,
                                               bool& AError) {
  ADisplayValueChanged = false;
  if (!AEdit) return;
  TcxCustomEditProperties* own = AEdit->GetProperties();
  TcxCustomEditProperties* active = AEdit->GetActiveProperties();
  if (!(own && own->OnValidate) && !(active && active->OnValidate)) return;
  const Variant saved = ADisplayValue;
  AEdit->DoOnValidate(ADisplayValue, AErrorText, AError);
  if (!AError) return;
  ADisplayValueChanged = !CompareStringsCase(VarToStr(ADisplayValue), VarToStr(saved), true);
  if (!ADisplayValueChanged) ADisplayValue = Variant(AEdit->GetInnerEditText());
}

bool TcxCustomEditProperties::CanModify() {
  if (FAssignedValues->ReadOnly() && !FReadOnly) return true;
  if (ReadOnly()) return false;
  if (!FIDefaultValuesProvider) return true;
  return FIDefaultValuesProvider->DefaultCanModify() && FIDefaultValuesProvider->CanSetEditMode();
}

TcxEditAlignment& TcxCustomEditProperties::Alignment() {
  FAlignment->OnChanged = nullptr;
  FAlignment->Assign(*FInnerAlignment);
  TComponent* owner = OwnerComponentOf(this);
  const bool writing = IsAlignmentStored() && owner && (owner->ComponentState() & csWriting) != 0;
  if (!writing && !FInnerAlignment->IsHorzAssigned()) {
    // The default shows without counting as set.
    const TAlignment horz = DefaultHorzAlignment();
    FAlignment->FHorz = horz;
  }
  FAlignment->OnChanged = [this](TObject*) { AlignmentChanged(); };
  return *FAlignment;
}

void TcxCustomEditProperties::AlignmentChanged() {
  FInnerAlignment->Assign(*FAlignment);
  Changed();
}

void TcxCustomEditProperties::AssignAlignment(const TcxEditAlignment& AValue) {
  FInnerAlignment->Assign(AValue);
  Changed();
}

TAlignment TcxCustomEditProperties::DefaultHorzAlignment() {
  return FIDefaultValuesProvider ? FIDefaultValuesProvider->DefaultAlignment() : FAlignment->Horz();
}

bool TcxCustomEditProperties::IsAlignmentStored() const {
  return FInnerAlignment->IsHorzAssigned() || FInnerAlignment->IsVertStored();
}

bool TcxCustomEditProperties::ReadOnly() {
  if (FAssignedValues->ReadOnly()) return FReadOnly;
  return FIDefaultValuesProvider && FIDefaultValuesProvider->DefaultReadOnly();
}

double TcxCustomEditProperties::ReadMaxValue() {
  if (FAssignedValues->MaxValue()) return FMaxValue;
  return FIDefaultValuesProvider ? FIDefaultValuesProvider->DefaultMaxValue() : 0;
}

double TcxCustomEditProperties::ReadMinValue() {
  if (FAssignedValues->MinValue()) return FMinValue;
  return FIDefaultValuesProvider ? FIDefaultValuesProvider->DefaultMinValue() : 0;
}

void TcxCustomEditProperties::SetBound(bool (TcxCustomEditPropertiesValues::*AFlag)() const,
                                       void (TcxCustomEditPropertiesValues::*ASetFlag)(bool), double& AField,
                                       double AValue) {
  if ((FAssignedValues.get()->*AFlag)() && AField == AValue) return;
  // The flag and the value make one change.
  TPropertiesUpdate update(*this);
  (FAssignedValues.get()->*ASetFlag)(true);
  AField = AValue;
  Changed();
}

void TcxCustomEditProperties::SetMaxValue(double AValue) {
  SetBound(&TcxCustomEditPropertiesValues::MaxValue, &TcxCustomEditPropertiesValues::SetMaxValue, FMaxValue, AValue);
}

void TcxCustomEditProperties::SetMinValue(double AValue) {
  SetBound(&TcxCustomEditPropertiesValues::MinValue, &TcxCustomEditPropertiesValues::SetMinValue, FMinValue, AValue);
}

void TcxCustomEditProperties::SetMinMaxValuesRaw(double AMaxValue, double AMinValue) {
  if (FAssignedValues->MaxValue() && FAssignedValues->MinValue() && FMaxValue == AMaxValue && FMinValue == AMinValue)
    return;
  TPropertiesUpdate update(*this);
  FAssignedValues->SetMaxValue(true);
  FAssignedValues->SetMinValue(true);
  FMaxValue = AMaxValue;
  FMinValue = AMinValue;
  Changed();
}

void TcxCustomEditProperties::SetReadOnly(bool AValue) {
  if (FAssignedValues->ReadOnly() && FReadOnly == AValue) return;
  TPropertiesUpdate update(*this);
  FAssignedValues->SetReadOnly(true);
  FReadOnly = AValue;
  Changed();
}

void TcxCustomEditProperties::SetIDefaultValuesProvider(IcxEditDefaultValuesProvider* AValue) {
  FIDefaultValuesProvider = AValue;
  if (dynamic_cast<TcxEditPropertiesHost*>(Owner())) Changed();
}

void TcxCustomEditProperties::SetImages(TCustomImageList* AValue) {
  if (FImages == AValue) return;
  ReplaceImageListLink(AValue, FImages, FImageChangeLink.get(), FFreeNotificator.get());
  Changed();
}

void TcxCustomEditProperties::DefineProperties(TFiler& AFiler) {
  TcxInterfacedPersistent::DefineProperties(AFiler);
  // One row per property a class may publish: its kind, value and storage rule.
  enum TKind { kBoolean, kInteger, kFloat, kPersistent };
  struct TRow {
    const wchar_t* Name;
    TKind Kind;
    bool (*Stored)(TcxCustomEditProperties&);
    int32_t (*Get)(TcxCustomEditProperties&);
    void (*Set)(TcxCustomEditProperties&, int32_t);
  };
  using P = TcxCustomEditProperties;
  static constexpr TRow kRows[] = {
      {L"Alignment", kPersistent, [](P& p) { return p.IsAlignmentStored(); }, nullptr, nullptr},
      {L"AssignedValues", kPersistent, [](P& p) { return p.FAssignedValues->ReadOnly() || p.FAssignedValues->IsMaxValueStored() || p.FAssignedValues->IsMinValueStored(); }, nullptr, nullptr},
      {L"AutoSelect", kBoolean, [](P& p) { return !p.FAutoSelect; }, [](P& p) { return int32_t(p.FAutoSelect); },
       [](P& p, int32_t v) { p.SetAutoSelect(v != 0); }},
      {L"BeepOnError", kBoolean, [](P& p) { return p.FBeepOnError; }, [](P& p) { return int32_t(p.FBeepOnError); },
       [](P& p, int32_t v) { p.FBeepOnError = v != 0; }},
      {L"ButtonsViewStyle", kInteger, [](P& p) { return p.FButtonsViewStyle != bvsNormal; },
       [](P& p) { return int32_t(p.FButtonsViewStyle); },
       [](P& p, int32_t v) {
         if (v >= bvsNormal && v <= bvsButtonsAutoWidth) p.SetButtonsViewStyle(TcxEditButtonsViewStyle(v));
       }},
      {L"ClearKey", kInteger, [](P& p) { return p.FClearKey != 0; }, [](P& p) { return int32_t(p.FClearKey); },
       [](P& p, int32_t v) { p.FClearKey = TShortCut(v); }},
      {L"ClickKey", kInteger, [](P& p) { return p.FClickKey != 16397; }, [](P& p) { return int32_t(p.FClickKey); },
       [](P& p, int32_t v) { p.FClickKey = TShortCut(v); }},
      {L"ImmediatePost", kBoolean, [](P& p) { return p.FImmediatePost; },
       [](P& p) { return int32_t(p.FImmediatePost); }, [](P& p, int32_t v) { p.FImmediatePost = v != 0; }},
      {L"MaxValue", kFloat, [](P& p) { return p.IsMaxValueStored(); }, nullptr, nullptr},
      {L"MinValue", kFloat, [](P& p) { return p.IsMinValueStored(); }, nullptr, nullptr},
      {L"ReadOnly", kBoolean, [](P& p) { return p.IsReadOnlyStored(); }, [](P& p) { return int32_t(p.FReadOnly); },
       [](P& p, int32_t v) { p.SetReadOnly(v != 0); }},
      {L"Transparent", kBoolean, [](P& p) { return p.FTransparent; }, [](P& p) { return int32_t(p.FTransparent); },
       [](P& p, int32_t v) { p.SetTransparent(v != 0); }},
      {L"UseLeftAlignmentOnEditing", kBoolean, [](P& p) { return p.IsUseLeftAlignmentOnEditingStored(); },
       [](P& p) { return int32_t(p.FUseLeftAlignmentOnEditing); },
       [](P& p, int32_t v) { p.SetUseLeftAlignmentOnEditing(v != 0); }},
      {L"UseMouseWheel", kBoolean, [](P& p) { return !p.FUseMouseWheel; },
       [](P& p) { return int32_t(p.FUseMouseWheel); }, [](P& p, int32_t v) { p.FUseMouseWheel = v != 0; }},
      {L"ValidateOnEnter", kBoolean, [](P& p) { return p.FValidateOnEnter; },
       [](P& p) { return int32_t(p.FValidateOnEnter); }, [](P& p, int32_t v) { p.FValidateOnEnter = v != 0; }},
  };
  for (const TRow& row : kRows) {
    if (!IsPublishedProperty(row.Name)) continue;
    const bool stored = row.Stored(*this);
    const std::wstring_view name = row.Name;
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
      case kFloat: {
        // Floating bounds as locale-free text.
        const bool isMax = name == L"MaxValue";
        read = [this, isMax](TReader& AReader) {
          double value = 0;
          if (!TryStrToFloat(AReader.ReadString(), value)) throw EReadError(L"Invalid property value");
          isMax ? SetMaxValue(value) : SetMinValue(value);
        };
        write = [this, isMax](TWriter& AWriter) { AWriter.WriteString(FloatToStr(isMax ? FMaxValue : FMinValue)); };
        break;
      }
      case kPersistent:
        if (name == L"Alignment") {
          read = [this](TReader& AReader) {
            AReader.ReadPersistent(*FInnerAlignment);
            Changed();
          };
          write = [this](TWriter& AWriter) { AWriter.WritePersistent(Alignment()); };
        } else {
          read = [this](TReader& AReader) { AReader.ReadPersistent(*FAssignedValues); };
          write = [this](TWriter& AWriter) { AWriter.WritePersistent(*FAssignedValues); };
        }
        break;
    }
    AFiler.DefineProperty(row.Name, read, write, stored);
  }
}

// ---- TcxEditRepositoryItem

TcxEditRepositoryItem::TcxEditRepositoryItem(TComponent* AOwner) : TComponent(AOwner) { CreateProperties(); }

void TcxEditRepositoryItem::CreateProperties() {
  FProperties.reset(GetEditPropertiesClass()->Create(this));
  FProperties->OnPropertiesChanged = [this](TObject* ASender) { NotifyPropertiesChanged(ASender); };
}

TcxEditRepositoryItem::~TcxEditRepositoryItem() {
  while (!FListenerList.empty()) {
    IcxEditRepositoryItemListener* listener = FListenerList.front();
    listener->RepositoryItemRemoved(this);
    RemoveListener(listener);
  }
  SetRepository(nullptr);
  FProperties.reset();
}

TcxCustomEditPropertiesClass TcxEditRepositoryItem::GetEditPropertiesClass() const {
  return EditPropertiesClassOf<TcxCustomEditProperties>();
}

void TcxEditRepositoryItem::AddListener(IcxEditRepositoryItemListener* AListener) {
  if (AListener && std::find(FListenerList.begin(), FListenerList.end(), AListener) == FListenerList.end())
    FListenerList.push_back(AListener);
}

void TcxEditRepositoryItem::RemoveListener(IcxEditRepositoryItemListener* AListener) {
  std::erase(FListenerList, AListener);
}

void TcxEditRepositoryItem::NotifyPropertiesChanged(TObject*) {
  // A listener may leave while it is told.
  for (std::size_t i = FListenerList.size(); i-- > 0;)
    if (i < FListenerList.size()) FListenerList[i]->RepositoryItemPropertiesChanged(this);
}

WideString TcxEditRepositoryItem::GetBaseName() const {
  const WideString repositoryName = FRepository ? FRepository->Name() : WideString();
  const WideString className = ClassName();
  constexpr std::wstring_view kPrefix = L"TcxEditRepository";
  const std::size_t at = className.find(kPrefix);
  if (at == WideString::npos) return repositoryName;
  return repositoryName + className.substr(at + kPrefix.size());
}

TComponent* TcxEditRepositoryItem::GetParentComponent() const { return FRepository; }

void TcxEditRepositoryItem::SetParentComponent(TComponent* AParent) {
  if (Loading()) return;
  auto* repository = dynamic_cast<TcxEditRepository*>(AParent);
  if (AParent && !repository) InvalidCastError();
  SetRepository(repository);
}

void TcxEditRepositoryItem::SetRepository(TcxEditRepository* AValue) {
  if (FRepository == AValue) return;
  if (FRepository) std::erase(FRepository->FItems, this);
  FRepository = AValue;
  if (FRepository) FRepository->FItems.push_back(this);
}

// ---- TcxEditRepository

TcxEditRepository::~TcxEditRepository() { Clear(); }

void TcxEditRepository::Clear() {
  while (!FItems.empty()) delete FItems.back();
}

TcxEditRepositoryItem* TcxEditRepository::CreateItem(TcxEditRepositoryItemClass ARepositoryItemClass) {
  return CreateItemEx(ARepositoryItemClass, this);
}

TcxEditRepositoryItem* TcxEditRepository::CreateItemEx(TcxEditRepositoryItemClass ARepositoryItemClass,
                                                       TComponent* AOwner) {
  TcxEditRepositoryItem* item = ARepositoryItemClass->Create(AOwner);
  item->SetRepository(this);
  return item;
}

TcxEditRepositoryItem* TcxEditRepository::ItemByName(std::wstring_view AName) const {
  for (TcxEditRepositoryItem* item : FItems)
    if (SameTextIgnoringCase(item->Name(), AName)) return item;
  return nullptr;
}

void TcxEditRepository::GetChildren(const std::function<void(TComponent*)>& AProc, TComponent* ARoot) {
  for (TcxEditRepositoryItem* item : FItems)
    if (item->Owner() == ARoot) AProc(item);
}

// ---- Unit routines

TShiftState MouseButtonShiftFlag(TMouseButton AButton) {
  switch (AButton) {
    case TMouseButton::mbLeft: return ssLeft;
    case TMouseButton::mbRight: return ssRight;
    case TMouseButton::mbMiddle: return ssMiddle;
  }
  return 0;
}

void EnlargeSize(SIZE& ASize, const SIZE& ASize2) {
  ASize.cx = std::max(ASize.cx, ASize2.cx);
  ASize.cy = std::max(ASize.cy, ASize2.cy);
}

LRESULT SendMouseMessageToEdit(HWND AWnd, UINT AMsg, TShiftState AShift, POINT P) {
  WPARAM keys = 0;
  if (AShift & ssShift) keys |= MK_SHIFT;
  if (AShift & ssCtrl) keys |= MK_CONTROL;
  if (AShift & ssLeft) keys |= MK_LBUTTON;
  if (AShift & ssRight) keys |= MK_RBUTTON;
  if (AShift & ssMiddle) keys |= MK_MBUTTON;
  return SendMessageW(AWnd, AMsg, keys, MAKELPARAM(WORD(P.x), WORD(P.y)));
}

void PostCharToControl(HWND AWnd, wchar_t AChar) { SendMessageW(AWnd, WM_CHAR, WPARAM(AChar), 0); }

void UniteRegionsInto(HRGN ADestRgn, HRGN ASrcRgn) { CombineRgn(ADestRgn, ADestRgn, ASrcRgn, RGN_OR); }

bool RegionIsEmpty(HRGN ARegion) {
  RECT box;
  return GetRgnBox(ARegion, &box) == NULLREGION;
}

void DrawEditFrameComplex(TcxCanvas& ACanvas, RECT& R, TColor ALeftTopColor, TColor ARightBottomColor) {
  ACanvas.DrawComplexFrame(R, ALeftTopColor, ARightBottomColor);
  InflateRect(&R, -1, -1);
}

void DrawEditFrameSingle(TcxCanvas& ACanvas, RECT& R, TColor AColor) {
  ACanvas.FrameRect(R, AColor);
  InflateRect(&R, -1, -1);
}

bool VarEqualsEx(const Variant& V1, const Variant& V2) {
  const bool comparable = (VarIsNumeric(V1) && VarIsNumeric(V2)) || VarType(V1) == VarType(V2) ||
                          (VarIsStr(V1) && VarIsStr(V2));
  return comparable && VarSameValue(V1, V2);
}

bool VarSameTypeEquals(const Variant& V1, const Variant& V2) {
  return VarType(V1) == VarType(V2) && VarSameValue(V1, V2);
}

TComponent* OwnerComponentOf(TPersistent* APersistent) {
  while (APersistent && !dynamic_cast<TComponent*>(APersistent)) APersistent = APersistent->GetOwner();
  return static_cast<TComponent*>(APersistent);
}

// ---- The unit

void cxEditUnitStart() {
  gEditUnitFinalized = false;
  Screen().SetCursors(crcxEditMouseWheel, static_cast<HCURSOR>(LoadImageW(ClassLibraryInstance(), L"CXEDIT_MOUSEWHEEL",
                                                                          IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE)));
  auto controller = std::make_unique<TcxEditStyleController>(nullptr);
  SetcxDefaultEditStyleController(controller.get());
  ContainerDefaultStyleController = controller.release();
  gEditPropertiesList = new std::vector<TcxCustomEditProperties*>;
  gEditResourceStringGetter = &GetLocalizedResString;
  ResetEditViewInfoCache();
}

void cxEditUnitStop() {
  gEditUnitFinalized = true;
  gRegisteredEditProperties.reset();
  delete std::exchange(gEditPropertiesList, nullptr);
  // The variables first: nothing may find the controller while it goes.
  TcxEditStyleController* controller = cxDefaultEditStyleController();
  SetcxDefaultEditStyleController(nullptr);
  if (ContainerDefaultStyleController == controller) ContainerDefaultStyleController = nullptr;
  delete controller;
  FreeEditViewInfoCache();
  gEditResourceStringGetter = nullptr;
  Screen().SetCursors(crcxEditMouseWheel, nullptr);
}

}  // namespace tvk
