#include "cxFilterControlUtils.h"

#include <memory>

namespace tvk {

namespace {

TcxFilterEditsController* gFilterEditsController = nullptr;

}  // namespace

// ---- TcxCustomFilterEditHelper

void TcxCustomFilterEditHelper::ClearPropertiesEvents(TcxCustomEditProperties* AProperties) const {
  if (!AProperties) return;
  AProperties->OnButtonClick = nullptr;
  AProperties->OnChange = nullptr;
  AProperties->OnEditValueChanged = nullptr;
  AProperties->OnValidate = nullptr;
}

void TcxCustomFilterEditHelper::InitializeEdit(TcxCustomEdit& AEdit, TcxCustomEditProperties& AEditProperties) const {
  InitializeProperties(*AEdit.ActiveProperties(), AEditProperties, EditPropertiesHasButtons());
}

void TcxCustomFilterEditHelper::GetFilterValue(TcxCustomEdit& AEdit, TcxCustomEditProperties& AEditProperties,
                                               Variant& V, WideString& S) const {
  V = AEdit.EditValue();
  S = AEditProperties.GetDisplayText(V, false, true);
}

TcxFilterControlOperators TcxCustomFilterEditHelper::GetSupportedFilterOperators(TcxCustomEditProperties*,
                                                                                 TcxValueTypeClass AValueTypeClass,
                                                                                 bool AExtendedSet) const {
  TcxFilterControlOperators result =
      cxFilterOperatorRange(fcoEqual, AExtendedSet ? fcoNotInList : fcoNonBlanks);
  if (!AValueTypeClass || !AValueTypeClass->IsString())
    result &= ~(cxFilterOperatorBit(fcoLike) | cxFilterOperatorBit(fcoNotLike));
  return result;
}

void TcxCustomFilterEditHelper::InitializeProperties(TcxCustomEditProperties& AProperties,
                                                     TcxCustomEditProperties& AEditProperties,
                                                     bool AHasButtons) const {
  AProperties.Assign(AEditProperties);
  AProperties.Alignment().SetHorz(TAlignment::taLeftJustify);
  AProperties.Alignment().SetVert(taTopJustify);
  AProperties.SetBeepOnError(false);
  if (!AHasButtons) AProperties.Buttons().Clear();
  AProperties.SetReadOnly(false);
  AProperties.SetValidateOnEnter(true);
  if (!KeepsDefaultValuesProvider(AEditProperties)) AProperties.SetIDefaultValuesProvider(nullptr);
  ClearPropertiesEvents(&AProperties);
}

bool TcxCustomFilterEditHelper::IsValueValid(TcxValueTypeClass AValueTypeClass, Variant& AValue) const {
  return AValueTypeClass->IsValueValid(AValue);
}

TcxCustomEdit* TcxCustomFilterEditHelper::GetFilterEdit(TcxCustomEditProperties& AEditProperties,
                                                        TcxInplaceEditList* AInplaceEditList) const {
  const TcxCustomEditClass editClass = GetFilterEditClass();
  if (!editClass) throw EcxEditError(L"The filter helper names no editor class");
  TcxCustomEdit* edit = nullptr;
  std::unique_ptr<TcxCustomEdit> owned;
  if (AInplaceEditList) {
    std::unique_ptr<TcxCustomEdit> probe(editClass->Create(nullptr, true));
    edit = AInplaceEditList->GetEdit(probe->GetPropertiesClass());
  } else {
    owned.reset(editClass->Create(nullptr, false));
    edit = owned.get();
  }
  InitializeEdit(*edit, AEditProperties);
  owned.release();
  return edit;
}

// ---- TcxFilterEditsController

void TcxFilterEditsController::Register(TcxCustomEditPropertiesClass AItemClass,
                                        TcxCustomFilterEditHelperClass AHelper) {
  FHelpers[AHelper->ClassType()] = AHelper;
  TcxRegisteredClassList::Register(AItemClass->Info()->Parent, AHelper->ClassType());
}

void TcxFilterEditsController::Unregister(TcxCustomEditPropertiesClass AItemClass,
                                          TcxCustomFilterEditHelperClass AHelper) {
  TcxRegisteredClassList::Unregister(AItemClass->Info()->Parent, AHelper->ClassType());
  if (Count() != 0 || this != gFilterEditsController) return;
  // The reference goes first: the destructor may not find itself still in place.
  std::unique_ptr<TcxFilterEditsController> self(std::exchange(gFilterEditsController, nullptr));
}

TcxCustomFilterEditHelperClass TcxFilterEditsController::FindHelper(
    TcxCustomEditPropertiesClass APropertiesClass) const {
  const TClass helperClass = FindClass(APropertiesClass->Info()->Parent);
  if (!helperClass) return nullptr;
  const auto found = FHelpers.find(helperClass);
  return found == FHelpers.end() ? nullptr : found->second;
}

TcxFilterEditsController* FilterEditsController() {
  if (!gFilterEditsController) gFilterEditsController = new TcxFilterEditsController();
  return gFilterEditsController;
}

TcxFilterEditsController* FindFilterEditsController() { return gFilterEditsController; }

}  // namespace tvk
