#include "cxCustomEdit.h"

#include "Application.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Variants.h"
#include "cxEditConsts.h"

#include <algorithm>

namespace tvk {

namespace {

// Sets a flag for a scope and puts back what it held.
class TFlagScope {
public:
  TFlagScope(bool& AFlag, bool AValue) : FFlag(AFlag), FSaved(AFlag) { FFlag = AValue; }
  ~TFlagScope() { FFlag = FSaved; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

private:
  bool& FFlag;
  bool FSaved;
};

// A change-event lock for a scope; the unlock replays held-back events when asked.
class TChangeEventsLock {
public:
  TChangeEventsLock(TcxCustomEdit& AEdit, bool AReplay) : FEdit(AEdit), FReplay(AReplay) { FEdit.LockChangeEvents(true); }
  ~TChangeEventsLock() { FEdit.LockChangeEvents(false, FReplay); }
  TChangeEventsLock(const TChangeEventsLock&) = delete;
  TChangeEventsLock& operator=(const TChangeEventsLock&) = delete;

private:
  TcxCustomEdit& FEdit;
  bool FReplay;
};

// An object link for a scope: a handler that may free its editor checks it.
class TEditLink {
public:
  explicit TEditLink(TObject* AObject) : FLink(AddObjectLink(AObject)) {}
  ~TEditLink() { RemoveObjectLink(FLink); }
  TEditLink(const TEditLink&) = delete;
  TEditLink& operator=(const TEditLink&) = delete;
  bool Alive() const { return FLink && FLink->Ref; }

private:
  TcxObjectLink* FLink;
};

// ceil(n / 2): n div 2, plus 1 for an odd n.
// The part of a hint before "|".
WideString ShortHintOf(const WideString& AHint) { return AHint.substr(0, AHint.find(L'|')); }

int HalfUp(int N) { return N / 2 + (N % 2 != 0 ? 1 : 0); }

bool IsLoadingOrDestroying(const TComponent& AComponent) {
  return (AComponent.ComponentState() & (csLoading | csDestroying)) != 0;
}

TcxContainerStyleClass StyleClassOfProperties(TcxCustomEditPropertiesClass APropertiesClass) {
  std::unique_ptr<TcxCustomEditProperties> probe(APropertiesClass->Create(nullptr));
  return probe->GetStyleClass();
}

std::unique_ptr<TcxContainerViewInfo> ViewInfoOfProperties(TcxCustomEditPropertiesClass APropertiesClass) {
  std::unique_ptr<TcxCustomEditProperties> probe(APropertiesClass->Create(nullptr));
  return std::unique_ptr<TcxContainerViewInfo>(probe->GetViewInfoClass()->Create());
}

}  // namespace

TcxCustomEditClass TcxCustomEditProperties::ContainerClass() { return EditClassOf<TcxCustomEdit>(); }

// ---- TcxEditChangeEventsCatcher

void TcxEditChangeEventsCatcher::Lock(bool ALock, bool AInvokeChangedOnUnlock) {
  if (ALock) {
    if (FLockCount == 0) OnChangeEvent = OnEditValueChangedEvent = false;
    ++FLockCount;
    return;
  }
  if (FLockCount <= 0) return;
  if (--FLockCount != 0 || !AInvokeChangedOnUnlock || IsLoadingOrDestroying(*FEdit)) return;
  TEditLink link(FEdit);
  if (std::exchange(OnChangeEvent, false) && FEdit->HasChangeHandlers()) FEdit->FireOnChange();
  if (!link.Alive()) return;
  if (std::exchange(OnEditValueChangedEvent, false) && FEdit->HasEditValueChangedHandlers())
    FEdit->FireOnEditValueChanged();
}

// ---- TcxEditDataBinding

TcxEditDataBinding::TcxEditDataBinding(TcxCustomEdit* AEdit)
    : TcxEditDataBinding(AEdit, std::make_unique<TcxCustomEditDefaultValuesProvider>(nullptr)) {}

TcxEditDataBinding::TcxEditDataBinding(TcxCustomEdit* AEdit,
                                       std::unique_ptr<TcxCustomEditDefaultValuesProvider> AProvider)
    : FEdit(AEdit), FIDefaultValuesProvider(std::move(AProvider)) {}

TcxEditDataBinding::~TcxEditDataBinding() = default;

TPersistent* TcxEditDataBinding::GetOwner() const { return FEdit; }

void TcxEditDataBinding::ProvidersChangedNotify() {
  TcxCustomEditProperties* properties = FEdit->ActiveProperties();
  if (!FEdit->RepositoryItem()) {
    properties->Changed();
    return;
  }
  properties->BeginUpdate();
  properties->Changed();
  properties->EndUpdate(false);
  FEdit->PropertiesChanged(properties);
}

Variant TcxEditDataBinding::GetDisplayValue() { return Variant(FEdit->GetInnerEditText()); }
void TcxEditDataBinding::SetDisplayValue(const Variant& AValue) { FEdit->SetInnerEditValue(AValue); }
bool TcxEditDataBinding::IsDataAvailable() { return FIDefaultValuesProvider->IsDataAvailable(); }
bool TcxEditDataBinding::Editing() { return FEdit->ModifiedAfterEnter(); }
bool TcxEditDataBinding::Modified() { return FEdit->ModifiedAfterEnter(); }
Variant TcxEditDataBinding::GetStoredValue() { return FEdit->EditValue(); }
void TcxEditDataBinding::ResetEditor() { FEdit->ResetEditValue(); }

bool TcxEditDataBinding::EnterEditMode() {
  FEdit->SetModifiedAfterEnter(true);
  return true;
}

bool TcxEditDataBinding::CanCheckEditorValue() { return FEdit->IsDesigning() || !FEdit->ModifiedAfterEnter(); }

void TcxEditDataBinding::SetModified() {
  if (FEdit->Focused()) FEdit->SetModifiedAfterEnter(true);
}

void TcxEditDataBinding::UpdateDisplayValue() { FEdit->SynchronizeDisplayValue(); }

// ---- TcxCustomEditData

TcxCustomEditData::TcxCustomEditData(TcxCustomEdit* AEdit)
    : FEdit(AEdit), FFreeNotificator(std::make_unique<TcxFreeNotificator>(nullptr)) {
  FFreeNotificator->OnFreeNotification = [this](TComponent* AComponent) {
    if (AComponent == FEdit) FEdit = nullptr;
  };
  FFreeNotificator->AddSender(FEdit);
  Clear();
}

TcxCustomEditData::~TcxCustomEditData() {
  if (FEdit) FFreeNotificator->RemoveSender(FEdit);
}

void TcxCustomEditData::Clear() {
  FCleared = true;
  if (FEdit) FEdit->AttachEditData(this);
}

// ---- TcxCustomEdit: construction

TcxCustomEdit::TcxCustomEdit(TComponent* AOwner, bool AIsInplace)
    : TcxCustomEdit(AOwner, AIsInplace, EditPropertiesClassOf<TcxCustomEditProperties>()) {}

TcxCustomEdit::TcxCustomEdit(TComponent* AOwner, bool AIsInplace, TcxCustomEditPropertiesClass APropertiesClass)
    : TcxCustomEditContainer(AOwner, StyleClassOfProperties(APropertiesClass), ViewInfoOfProperties(APropertiesClass)),
      FIsInplace(AIsInplace) {
  SetControlStyle(ControlStyle() | csActionClient);
  FEditValue = Null();
}

void TcxCustomEdit::AfterConstruction() {
  TcxCustomEditContainer::AfterConstruction();
  if (FInitialized) return;
  FInitialized = true;
  InitializeEditor();
  if (HandleAllocated()) ShortRefreshContainer(false);
}

Variant TcxCustomEdit::GetClearValue() { return Null(); }

TcxCustomEditPropertiesClass TcxCustomEdit::GetPropertiesClass() const {
  return EditPropertiesClassOf<TcxCustomEditProperties>();
}

void TcxCustomEdit::InitializeEditor() {
  FChangeEventsCatcher = std::make_unique<TcxEditChangeEventsCatcher>(this);
  FProperties.reset(GetPropertiesClass()->Create(this));
  InitContentParams();
  SetControlStyle(ControlStyle() | csCaptureMouse | csSetCaption);
  SetTabStop(true);
  FInnerEdit = CreateInnerEdit();
  if (FInnerEdit) {
    InitInnerEdit();
    SetInnerControl(FInnerEdit->GetInnerControl());
  }
  MarkReplicatable(this);
  FDataBinding = CreateDataBinding();
  FAutoSize = !FIsInplace;
  FCaptureButtonVisibleIndex = -1;
  FEditValue = GetClearValue();
  FLockValidate = 0;
  FUpdate = false;
  FProperties->OnPropertiesChanged = [this](TObject* Sender) { PropertiesChanged(Sender); };
  if (FIsInplace) SetKeys(Keys() | kAll | kArrows | (HasInnerEditClass() ? 0u : unsigned(kTab)));
  FDblClickTimer = CreateTimerWithHandler(GetSystemDoubleClickTime(), false,
                                          [this](TObject* Sender) { DoubleClickTimerFired(Sender); });
  if (!FIsInplace) FProperties->SetIDefaultValuesProvider(FDataBinding->IDefaultValuesProvider());
  ViewInfo().Edit = this;
  FIsJustCreated = true;
}

void TcxCustomEdit::InitContentParams() {
  std::unique_ptr<TcxCustomEditViewData> viewData = CreateEditViewData();
  ContentParams.Offsets = viewData->ContentOffset;
  ContentParams.SizeCorrection = viewData->GetEditContentSizeCorrection();
  FIsContentParamsInitialized = true;
}

void TcxCustomEdit::MarkReplicatable(TControl* AControl) {
  AControl->SetControlStyle(AControl->ControlStyle() | csReplicatable);
  if (auto* windowed = dynamic_cast<TWinControl*>(AControl))
    for (int i = 0; i < windowed->ControlCount(); ++i) MarkReplicatable(windowed->Controls(i));
  if (AControl == this) {
    if (HScrollBar()) MarkReplicatable(HScrollBar());
    if (VScrollBar()) MarkReplicatable(VScrollBar());
    if (SizeGrip()) MarkReplicatable(SizeGrip());
  }
}

IcxCustomInnerEdit* TcxCustomEdit::CreateInnerEdit() {
  TWinControl* control = CreateInnerControl();
  if (!control) return nullptr;
  if (auto* query = Supports<IcxInnerEditAdapterQuery>(control, IID_IcxInnerEditAdapterQuery))
    return query->GetAdapter();
  return Supports<IcxCustomInnerEdit>(control, IID_IcxCustomInnerEdit);
}

void TcxCustomEdit::InitInnerEdit() {
  FInnerEdit->SetParent(this);
  if (ActiveProperties()->InnerEditNotifiesChange())
    FInnerEdit->SetOnChange([this](TObject* Sender) { InnerEditChanged(Sender); });
}

std::unique_ptr<TcxEditDataBinding> TcxCustomEdit::CreateDataBinding() {
  return std::make_unique<TcxEditDataBinding>(this);
}

TcxCustomEdit::~TcxCustomEdit() {
  FDblClickTimer.reset();
  if (FRepositoryItem) FRepositoryItem->RemoveListener(this);
  UnsubclassInnerEdit();
  FInnerEdit = nullptr;
  if (FProperties) {
    FProperties->OnPropertiesChanged = nullptr;
    if (!FIsInplace) FProperties->SetIDefaultValuesProvider(nullptr);
  }
  FDataBinding.reset();
  FPrevModifiedList.clear();
  FProperties.reset();
  FChangeEventsCatcher.reset();
}

bool TcxCustomEdit::GetInterface(const GUID& iid, void** obj) {
  if (IsEqualGUID(iid, IID_IcxEditRepositoryItemListener)) {
    *obj = static_cast<IcxEditRepositoryItemListener*>(this);
    return true;
  }
  if (IsEqualGUID(iid, IID_IcxSpellCheckedEdit)) {
    *obj = static_cast<IcxSpellCheckedEdit*>(this);
    return true;
  }
  return TcxCustomEditContainer::GetInterface(iid, obj);
}

// ---- Values

TcxCustomEditProperties* TcxCustomEdit::ActiveProperties() {
  if (!FRepositoryItem) return FProperties.get();
  TcxCustomEditProperties& properties = FRepositoryItem->Properties();
  properties.SetIDefaultValuesProvider(FDataBinding->IDefaultValuesProvider());
  return &properties;
}

void TcxCustomEdit::AssignEditValue(const Variant& AValue) {
  if (FEditValueChangingLockCount > 0) return;
  LockClick(true);
  struct TUnlock {
    TcxCustomEdit* Edit;
    ~TUnlock() { Edit->LockClick(false); }
  } unlock{this};
  if (!FKeyboardAction || DoEditing()) InternalSetEditValue(AValue, true);
}

void TcxCustomEdit::AssignInternalEditValue(const Variant& AValue) {
  if (FEditValueChangingLockCount > 0) return;
  if (!FKeyboardAction || DoEditing()) InternalSetEditValue(AValue, true);
}

void TcxCustomEdit::InternalSetEditValue(const Variant& AValue, bool) {
  if (FKeyboardAction && !DoEditing()) return;
  bool changed = false;
  TcxCustomEditProperties* properties = ActiveProperties();
  if (properties->CanCompareEditValue()) changed = !VarEqualsEx(AValue, FEditValue);
  FEditValue = AValue;
  SynchronizeDisplayValue();
  if (FKeyboardAction)
    SetModifiedAfterEnter(true);
  else
    SetEditModified(false);
  if (!changed) return;
  TEditLink link(this);
  EditValueChanged();
  if (link.Alive() && !ActiveProperties()->InnerEditNotifiesChange()) DoChangeEvent();
}

Variant TcxCustomEdit::ReadEditingValue() {
  if (Focused() && !FIsEditValidated && FModifiedAfterEnter) return GetEditorTextValue();
  return EditValue();
}

void TcxCustomEdit::SetEditModified(bool AValue) {
  FModified = AValue;
  if (!AValue) FModifiedAfterEnter = false;
}

void TcxCustomEdit::SetModifiedAfterEnter(bool AValue) {
  FModifiedAfterEnter = AValue;
  if (AValue) {
    FIsEditValidated = false;
    FModified = true;
  }
}

void TcxCustomEdit::Clear() { SetEditValue(GetClearValue()); }
void TcxCustomEdit::Reset() { FDataBinding->ResetEditor(); }

void TcxCustomEdit::SetValidatableEditValue(const Variant& AEditValue) {
  TFlagScope keyboard(FKeyboardAction, true);
  SetEditValue(AEditValue);
}

void TcxCustomEdit::PostEditValue() {
  if (CanPostEditValue())
    InternalPostEditValue(true);
  else if (Focused())
    PostOnImmediateEditing();
}

bool TcxCustomEdit::CanPostEditValue() { return !IsDesigning() && FDataBinding->CanPostEditorValue(); }

void TcxCustomEdit::LockClick(bool ALock) {
  if (ALock)
    ++FClickLockCount;
  else if (FClickLockCount > 0)
    --FClickLockCount;
}

void TcxCustomEdit::LockEditValueChanging(bool ALock) {
  if (ALock)
    ++FEditValueChangingLockCount;
  else if (FEditValueChangingLockCount > 0)
    --FEditValueChangingLockCount;
}

bool TcxCustomEdit::InternalFocused() { return !ActiveProperties()->FocusDependentState() || Focused(); }

bool TcxCustomEdit::Focused() const { return TcxCustomEditContainer::Focused(); }

bool TcxCustomEdit::IsRepositoryItemAcceptable(TcxEditRepositoryItem* AItem) {
  return !AItem || AItem->Properties().PropertiesClass()->InheritsFrom(GetPropertiesClass()->Info());
}

bool TcxCustomEdit::IsChildWindow(HWND AWnd) {
  return HandleAllocated() && AWnd && (AWnd == Handle() || ::IsChild(Handle(), AWnd));
}

void TcxCustomEdit::DoOnValidate(Variant& ADisplayValue, TCaption& AErrorText, bool& AError) {
  if (FProperties->OnValidate) FProperties->OnValidate(this, ADisplayValue, AErrorText, AError);
  if (FRepositoryItem && FRepositoryItem->Properties().OnValidate)
    FRepositoryItem->Properties().OnValidate(this, ADisplayValue, AErrorText, AError);
}

// ---- Change events

bool TcxCustomEdit::HasChangeHandlers() {
  return bool(FProperties->OnChange) || bool(ActiveProperties()->OnChange);
}

bool TcxCustomEdit::HasEditValueChangedHandlers() {
  return bool(FProperties->OnEditValueChanged) || bool(ActiveProperties()->OnEditValueChanged);
}

void TcxCustomEdit::PushModifiedState() { FPrevModifiedList.push_back({FModified, FModifiedAfterEnter}); }

void TcxCustomEdit::PopModifiedState() {
  if (FPrevModifiedList.empty()) return;
  const TcxEditModifiedState state = FPrevModifiedList.back();
  FPrevModifiedList.pop_back();
  FModified = state.Modified;
  FModifiedAfterEnter = state.ModifiedAfterEnter;
}

void TcxCustomEdit::FireOnChange() {
  TEditLink link(this);
  if (FProperties->OnChange) FProperties->OnChange(this);
  if (link.Alive() && FRepositoryItem && FRepositoryItem->Properties().OnChange)
    FRepositoryItem->Properties().OnChange(this);
}

void TcxCustomEdit::FireOnEditValueChanged() {
  TEditLink link(this);
  if (FProperties->OnEditValueChanged) FProperties->OnEditValueChanged(this);
  if (link.Alive() && FRepositoryItem && FRepositoryItem->Properties().OnEditValueChanged)
    FRepositoryItem->Properties().OnEditValueChanged(this);
}

void TcxCustomEdit::DoChangeEvent() {
  if (IsLoadingOrDestroying(*this)) return;
  TEditLink link(this);
  if (HasChangeHandlers()) {
    if (FChangeEventsCatcher->IsLocked()) {
      FChangeEventsCatcher->OnChangeEvent = true;
    } else if (FIsInplace) {
      PushModifiedState();
      FModified = FModifiedAfterEnter = true;
      try {
        FireOnChange();
      } catch (...) {
        if (link.Alive()) PopModifiedState();
        throw;
      }
      if (!link.Alive()) return;
      PopModifiedState();
    } else {
      FireOnChange();
      if (!link.Alive()) return;
    }
  }
  TcxCustomEditProperties* properties = ActiveProperties();
  if (!properties->InnerEditNotifiesChange() && !properties->CanCompareEditValue()) EditValueChanged();
}

void TcxCustomEdit::EditValueChanged() {
  if (IsLoadingOrDestroying(*this) || !HasEditValueChangedHandlers()) return;
  if (FChangeEventsCatcher->IsLocked()) {
    FChangeEventsCatcher->OnEditValueChangedEvent = true;
    return;
  }
  if (!FIsInplace) {
    FireOnEditValueChanged();
    return;
  }
  TEditLink link(this);
  PushModifiedState();
  FModified = FModifiedAfterEnter = true;
  try {
    FireOnEditValueChanged();
  } catch (...) {
    if (link.Alive()) PopModifiedState();
    throw;
  }
  if (link.Alive()) PopModifiedState();
}

void TcxCustomEdit::InnerEditChanged(TObject*) {
  if (Focused())
    SetModifiedAfterEnter(true);
  else if (!ActiveProperties()->IsChanging())
    FDataBinding->SetModified();
  DoChangeEvent();
}

// ---- Editing and validation

bool TcxCustomEdit::DoEditing() {
  if (!AllowsEditing()) return false;
  if (FDataBinding->Modified()) return true;
  bool result = CanModifyEditValue();
  if (!result) return false;
  TFlagScope setting(FEditModeSetting, true);
  if (FIsInplace) {
    LockEditValueChanging(true);
    struct TUnlock {
      TcxCustomEdit* Edit;
      ~TUnlock() { Edit->LockEditValueChanging(false); }
    } unlock{this};
    if (OnEditing) OnEditing(this, result);
    return result;
  }
  const bool wasEditing = FDataBinding->Editing();
  if (OnEditing) OnEditing(this, result);
  if (!result) return false;
  if (wasEditing) {
    FDataBinding->SetModified();
    return true;
  }
  LockEditValueChanging(true);
  struct TUnlock {
    TcxCustomEdit* Edit;
    ~TUnlock() { Edit->LockEditValueChanging(false); }
  } unlock{this};
  return FDataBinding->EnterEditMode();
}

bool TcxCustomEdit::CanModifyEditValue() {
  TcxCustomEditProperties* properties = ActiveProperties();
  if (FIsInplace) return properties->CanModify();
  if (properties->IsReadOnlyAssigned()) return !properties->ReadOnly();
  IcxEditDefaultValuesProvider* provider = FDataBinding->IDefaultValuesProvider();
  return provider->DefaultCanModify() && provider->CanSetEditMode();
}

void TcxCustomEdit::DoValidateDisplayValue(Variant& ADisplayValue, TCaption& AErrorText, bool& AError) {
  ActiveProperties()->ValidateDisplayValue(ADisplayValue, AErrorText, AError, this);
}

bool TcxCustomEdit::ValidateEdit(bool ARaiseExceptionOnError) {
  if (!FModifiedAfterEnter || FIsEditValidated || FLockValidate > 0) return true;
  TFlagScope validating(FIsEditValidating, true);
  Variant displayValue(GetInnerEditText());
  TCaption errorText;
  bool error = false;
  DoValidateDisplayValue(displayValue, errorText, error);
  if (error) {
    // Whatever the handler left is shown, also while its error passes.
    struct TShowHandlersValue {
      TcxCustomEdit* Edit;
      const Variant& DisplayValue;
      ~TShowHandlersValue() {
        const WideString shown = VarToStr(DisplayValue);
        if (shown == Edit->GetInnerEditText()) return;
        Edit->SetInnerEditValue(DisplayValue);
        if (!Edit->Visible()) return;
        Edit->SelectAll();
        if (!Edit->IsEditClass()) Edit->UpdateDrawValue();
      }
    } show{this, displayValue};
    if (ARaiseExceptionOnError) {
      HandleValidationError(errorText, true);
      Application().ProcessMessages();
    }
    return false;
  }
  if (FKeyboardAction && !DoEditing()) return true;
  AssignDisplayValue(displayValue);
  if (!FIsInplace && !Focused()) SetModifiedAfterEnter(false);
  FIsEditValidated = true;
  return true;
}

void TcxCustomEdit::AssignDisplayValue(const Variant& ADisplayValue) {
  PushModifiedState();
  struct TPop {
    TcxCustomEdit* Edit;
    ~TPop() { Edit->PopModifiedState(); }
  } pop{this};
  SetInternalDisplayValue(ADisplayValue);
}

void TcxCustomEdit::HandleValidationError(const TCaption& AErrorText, bool ARaise) {
  if (!CanFocusEx()) {
    FIsEditValidated = true;
  } else if (Visible()) {
    if (!Focused()) {
      TFlagScope processing(FValidateErrorProcessing, true);
      if (FInnerEdit && HasInnerControlHandle())
        InnerControl()->SetFocus();
      else if (HandleAllocated())
        ::SetFocus(Handle());
    }
    SelectAll();
  }
  RaiseValidationError(AErrorText, ARaise);
}

void TcxCustomEdit::RaiseValidationError(const TCaption& AErrorText, bool ARaise) {
  if (ActiveProperties()->BeepOnError()) RunMessageBeep(0);
  if (!AErrorText.empty()) throw EcxEditValidationError(AErrorText);
  if (ARaise) throw EAbort();
}

void TcxCustomEdit::InternalPostEditValue(bool AValidate) {
  if (AValidate) {
    bool valid;
    {
      TFlagScope keyboard(FKeyboardAction, false);
      valid = ValidateEdit(true);
    }
    if (!valid) return;
  }
  TEditLink link(this);
  try {
    BeginPosting();
    struct TEnd {
      TcxCustomEdit* Edit;
      TEditLink& Link;
      ~TEnd() {
        if (Link.Alive()) Edit->EndPosting();
      }
    } end{this, link};
    if (FIsInplace) {
      if (OnPostEditValue) OnPostEditValue(this);
      if (link.Alive()) SetEditModified(false);
    } else if (FDataBinding->Modified()) {
      FDataBinding->SetStoredValue(EditValue());
    }
  } catch (...) {
    if (!link.Alive() || !ShowsPostErrors()) return;  // in place: swallowed
    HandleValidationError(TCaption(), false);
    throw;
  }
}

void TcxCustomEdit::PostOnImmediateEditing() {
  if (!DoEditing()) return;
  SetModifiedAfterEnter(true);
  FIsEditValidated = true;
  struct TReset {
    TcxCustomEdit* Edit;
    ~TReset() { Edit->SetModifiedAfterEnter(false); }
  } reset{this};
  InternalPostEditValue(false);
}

// ---- Focus

void TcxCustomEdit::DoEnter() {
  if (FValidateErrorProcessing) return;
  EnterEditor();
  ShortRefreshContainer(false);
}

void TcxCustomEdit::EnterEditor() {
  PushModifiedState();
  struct TPop {
    TcxCustomEdit* Edit;
    ~TPop() {
      Edit->PopModifiedState();
      Edit->FModifiedAfterEnter = false;
    }
  } pop{this};
  TcxCustomEditContainer::DoEnter();
  if (RefreshDisplayOnFocusChange()) FDataBinding->UpdateDisplayValue();
  if (ActiveProperties()->IsResetEditClass()) FPrevEditValue = EditValue();
  if (RefreshDisplayOnFocusChange()) SynchronizeDisplayValue();
}

void TcxCustomEdit::DoExit() {
  TFlagScope keyboard(FKeyboardAction, false);
  HandleFocusExit(true);
}

void TcxCustomEdit::HandleFocusExit(bool AExit) {
  if ((ComponentState() & csDestroying) || FValidateErrorProcessing) return;
  PushModifiedState();
  FIsHiding = true;
  struct TFinally {
    TcxCustomEdit* Edit;
    ~TFinally() {
      Edit->FIsHiding = false;
      Edit->PopModifiedState();
    }
  } finally{this};
  {
    // A validation error leaves here with the lock released (events replayed).
    TChangeEventsLock lock(*this, true);
    if (!ValidateEdit(true)) return;
    if (!FIsInplace && CanPostEditValue()) InternalPostEditValue(false);
  }
  if (RefreshDisplayOnFocusChange()) FDataBinding->UpdateDisplayValue();
  UpdateDrawValue();
  ShortRefreshContainer(false);
  PopModifiedState();
  if (AExit) {
    struct TAfterExit {
      TcxCustomEdit* Edit;
      ~TAfterExit() {
        Edit->SetModifiedAfterEnter(false);
        Edit->PushModifiedState();
      }
    } after{this};
    TcxCustomEditContainer::DoExit();
  } else {
    PushModifiedState();
  }
}

void TcxCustomEdit::FocusChanged() {
  if ((ComponentState() & csDestroying) || FValidateErrorProcessing) return;
  const bool focused = Focused() && Application().Active();
  if (focused == FFocused) return;
  FFocused = focused;
  TEditLink link(this);
  TcxCustomEditContainer::FocusChanged();
  if (link.Alive()) AfterFocusChange();
}

void TcxCustomEdit::AfterFocusChange() {
  UpdateDrawValue();
  if (ModalCloseValidates()) ValidateEdit(false);
}

bool TcxCustomEdit::ModalCloseValidates() {
  TCustomForm* form = GetParentForm(this);
  return form && Application().ModalLevel() > 0 && !form->Visible() && form->ModalResult() != mrNone &&
         form->ModalResult() != mrCancel;
}

bool TcxCustomEdit::IsFocusedInForm() {
  if (Focused()) return true;
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  if (form->ActiveControl() == this) return true;
  return FInnerEdit && form->ActiveControl() == FInnerEdit->GetInnerControl();
}

void TcxCustomEdit::ResetEditValue() {
  if (!FModifiedAfterEnter || !ActiveProperties()->IsResetEditClass()) return;
  TChangeEventsLock lock(*this, true);
  FModifiedAfterEnter = false;
  if (FDataBinding->IDefaultValuesProvider()->IsDataStorage())
    InternalSetEditValue(FDataBinding->GetStoredValue(), false);
  else
    InternalSetEditValue(FPrevEditValue, false);
  SetEditModified(true);
  SelectAll();
  if (ActiveProperties()->ImmediatePost() && CanPostEditValue()) InternalPostEditValue(false);
}

// ---- Properties and the repository item

void TcxCustomEdit::PropertiesChanged(TObject*) {
  FIsEditValidated = false;
  ReadOnlyChanged();
  if (FModifiedAfterEnter && IsEffectivelyReadOnly()) SetModifiedAfterEnter(false);
  if (ActiveProperties()->Transparent()) ApplyTransparent(true);
  UpdateAnchors();
  ShortRefreshContainer(false);
}

void TcxCustomEdit::ReadOnlyChanged() {
  if (FInnerEdit) FInnerEdit->SetReadOnly(IsEffectivelyReadOnly());
}

bool TcxCustomEdit::IsEffectivelyReadOnly() {
  return ActiveProperties()->ReadOnly() || FDataBinding->IsDataUnavailable();
}

void TcxCustomEdit::ApplyTransparent(bool AValue) {
  if (FTransparent == AValue) return;
  FTransparent = AValue;
  SetControlStyle(AValue ? ControlStyle() & ~csOpaque : ControlStyle() | csOpaque);
  ShortRefreshContainer(false);
}

void TcxCustomEdit::SetRepositoryItem(TcxEditRepositoryItem* AValue) {
  if (AValue == FRepositoryItem) return;
  if (!IsRepositoryItemAcceptable(AValue)) throw EcxEditError(cxGetResourceString(&cxSEditInvalidRepositoryItem));
  RepositoryItemChanging();
  if (FRepositoryItem) {
    FRepositoryItem->RemoveListener(this);
    FRepositoryItem->RemoveFreeNotification(this);
  }
  FRepositoryItem = AValue;
  if (FRepositoryItem) {
    FRepositoryItem->AddListener(this);
    FRepositoryItem->FreeNotification(this);
    FProperties->SetIDefaultValuesProvider(nullptr);
    RepositoryItemPropertiesChanged(FRepositoryItem);
    FProperties->OnPropertiesChanged = nullptr;
  } else {
    if (!IsLoadingOrDestroying(*this))
      FProperties->OnPropertiesChanged = [this](TObject* Sender) { PropertiesChanged(Sender); };
    FProperties->SetIDefaultValuesProvider(FDataBinding->IDefaultValuesProvider());
  }
  RepositoryItemChanged();
}

void TcxCustomEdit::RepositoryItemRemoved(TcxEditRepositoryItem*) { FRepositoryItem = nullptr; }

void TcxCustomEdit::RepositoryItemPropertiesChanged(TcxEditRepositoryItem* Sender) {
  if (!IsLoadingOrDestroying(*this)) PropertiesChanged(&Sender->Properties());
}

void TcxCustomEdit::Notification(TComponent* AComponent, TOperation AOperation) {
  TcxCustomEditContainer::Notification(AComponent, AOperation);
  if (AOperation == TOperation::opRemove && AComponent == FRepositoryItem) SetRepositoryItem(nullptr);
}

// ---- Loading and parenting

void TcxCustomEdit::Loaded() {
  FIsFirstSetSize = true;
  TcxCustomEditContainer::Loaded();
  TChangeEventsLock lock(*this, false);
  LockClick(true);
  struct TUnlock {
    TcxCustomEdit* Edit;
    ~TUnlock() { Edit->LockClick(false); }
  } unlock{this};
  FDataBinding->UpdateNotConnectedDBEditDisplayValue();
  ShortRefreshContainer(false);
  if (!FRepositoryItem) FProperties->OnPropertiesChanged = [this](TObject* Sender) { PropertiesChanged(Sender); };
  PropertiesChanged(ActiveProperties());
  ViewInfo().Shadow = false;
  ContainerStyleChanged(Style());
}

void TcxCustomEdit::SetParent(TWinControl* AParent) {
  if (FIsJustCreated && AParent) {
    FIsJustCreated = false;
    FDataBinding->UpdateNotConnectedDBEditDisplayValue();
    PropertiesChanged(FProperties.get());
    FDataBinding->UpdateDisplayValue();
  }
  TcxCustomEditContainer::SetParent(AParent);
}

void TcxCustomEdit::GetTabOrderList(std::vector<TWinControl*>& AList) const {
  TcxCustomEditContainer::GetTabOrderList(AList);
  if (FIsInplace && Visible() && Parent()) std::erase(AList, Parent());
}

bool TcxCustomEdit::InnerControlMenuHandler(TMessage& Message) {
  if (TcxCustomEditContainer::InnerControlMenuHandler(Message)) return true;
  if (Message.Msg != WM_CONTEXTMENU || !HandleAllocated()) return false;
  SetFocus();
  Message.Result = Perform(WM_CONTEXTMENU, WPARAM(Handle()), Message.LParam);
  return Message.Result != 0;
}

// ---- In place

void TcxCustomEdit::AttachEditData(TcxCustomEditData* AEditData) {
  if (AEditData != FEditData || !AEditData || !AEditData->FCleared) return;
  ApplyFreshEditData();
  AEditData->FCleared = false;
}

void TcxCustomEdit::Activate(TcxCustomEditData*& AEditData, bool ANeedSetFocus) {
  if (!AEditData && EditDataClass()) AEditData = EditDataClass()(this);
  FEditData = AEditData;
  AttachEditData(AEditData);
  SetVisible(true);
  SynchronizeDisplayValue();
  SetEditModified(false);
  InplaceParams.MultiRowParent = true;
  if (HandleAllocated() && CanFocusEx() && ANeedSetFocus) ActivateInnerEdit();
}

void TcxCustomEdit::ActivateInnerEdit() {
  SetFocus();
  if (ActiveProperties()->AutoSelect()) SelectAll();
}

void TcxCustomEdit::ActivateByKey(wchar_t AKey, TcxCustomEditData*& AEditData) {
  SubclassInnerEdit();
  struct TUnsubclass {
    TcxCustomEdit* Edit;
    ~TUnsubclass() { Edit->UnsubclassInnerEdit(); }
  } unsubclass{this};
  Activate(AEditData, true);
  if (ForwardsActivationKey(AKey)) {
    FIsKeyPressHandled = false;
    PostCharToControl(Handle(), AKey);
  }
}

void TcxCustomEdit::ActivateByMouse(TShiftState AShift, int X, int Y, TcxCustomEditData*& AEditData) {
  Activate(AEditData, FNeedFocusOnClick);
  POINT p{X, Y};
  if (Parent() && Parent()->HandleAllocated()) ::ClientToScreen(Parent()->Handle(), &p);
  ::ScreenToClient(Handle(), &p);
  if (AShift & ssLeft) {
    SendMouseMessageToEdit(Handle(), WM_MOUSEMOVE, 0, p);
    SendMouseMessageToEdit(Handle(), WM_LBUTTONDOWN, AShift, p);
    if (::GetCapture() == Handle() && KeyState(VK_LBUTTON) >= 0) ::ReleaseCapture();
  } else {
    SendMouseMessageToEdit(Handle(), WM_LBUTTONUP, AShift, p);
  }
  FDblClickTimer->SetEnabled(true);
}

bool TcxCustomEdit::Deactivate() {
  FDblClickTimer->SetEnabled(false);
  FKeyboardAction = false;
  const bool valid = ValidateEdit(true);
  if (valid) {
    SynchronizeDisplayValue();
    FIsEditValidated = true;
  }
  return valid;
}

void TcxCustomEdit::DoubleClickTimerFired(TObject*) { FDblClickTimer->SetEnabled(false); }

void TcxCustomEdit::SubclassInnerEdit() {
  if (!FInnerEdit || FWindowProcObject) return;
  if (TcxWindowProcController* controller = GetWindowProcController())
    FWindowProcObject =
        controller->Add(FInnerEdit->GetInnerControl(), WndMethodOf<&TcxCustomEdit::InnerWindowProcHook>(this));
}

void TcxCustomEdit::UnsubclassInnerEdit() {
  if (!FWindowProcObject) return;
  if (TcxWindowProcController* controller = GetWindowProcController()) controller->Remove(FWindowProcObject);
  FWindowProcObject = nullptr;
}

void TcxCustomEdit::InnerWindowProcHook(TMessage& Message) {
  if (FWindowProcObject) FWindowProcObject->DefaultProc(Message);
}

// ---- Keys

bool TcxCustomEdit::IsClickKey(WORD AKey, TShiftState AShift) {
  if (ShortCut(AKey, AShift) != ActiveProperties()->ClickKey()) return false;
  for (auto& button : ViewInfo().ButtonsInfo)
    if (button->Data.Default) return button->Data.State != ebsDisabled;
  return false;
}

void TcxCustomEdit::KeyDown(WORD& Key, TShiftState Shift) {
  FIsKeyPressHandled = false;
  TEditLink link(this);
  if (!IsClickKey(Key, Shift)) TcxCustomEditContainer::KeyDown(Key, Shift);
  if (!link.Alive() || Key == 0) return;
  DoEditKeyDown(Key, Shift);
  if (!link.Alive() || Key == 0) return;
  if (WantsAfterKeyDown(Key, Shift) && OnAfterKeyDown) OnAfterKeyDown(this, Key, Shift);
  if (!link.Alive() || Key == 0) return;
  if (ComRef<IcxKeyboardHookService>& hook = KeyboardHookService()) hook->KeyDown(Key, Shift);
}

void TcxCustomEdit::KeyPress(wchar_t& Key) {
  if (FIsKeyPressHandled) {
    FIsKeyPressHandled = false;
    Key = 0;
    return;
  }
  TEditLink link(this);
  TcxCustomEditContainer::KeyPress(Key);
  if (link.Alive() && Key != 0) DoEditKeyPress(Key);
}

void TcxCustomEdit::DoEditKeyPress(wchar_t& Key) {
  if (!CheckEditingChar(Key)) Key = 0;
}

void TcxCustomEdit::DoEditKeyDown(WORD& Key, TShiftState Shift) {
  if (Key == 0) return;
  TEditLink link(this);
  auto afterKeyDown = [&] {
    if (OnAfterKeyDown) OnAfterKeyDown(this, Key, Shift);
  };
  const TShortCut shortCut = ShortCut(Key, Shift);
  TcxCustomEditProperties* properties = ActiveProperties();
  if (properties->ClearKey() != 0 && shortCut == properties->ClearKey()) {
    {
      TChangeEventsLock lock(*this, true);
      TFlagScope keyboard(FKeyboardAction, true);
      SetInternalEditValue(GetClearValue());
      if (ActiveProperties()->ImmediatePost() && CanPostEditValue()) InternalPostEditValue(false);
    }
    if (link.Alive()) FIsEditValidated = true;
    Key = 0;
    return;
  }
  if (shortCut == properties->ClickKey()) {
    if (HandleAllocated())
      if (TdxMessagesController* messages = GetMessagesController()) messages->KillMessages(Handle(), WM_CHAR);
    if (FInnerEdit && HasInnerControlHandle())
      if (TdxMessagesController* messages = GetMessagesController())
        messages->KillMessages(InnerControl()->Handle(), WM_CHAR);
    ClickDefaultButton();
    Key = 0;
    return;
  }
  if (!CheckEditingKey(Key, Shift)) {
    afterKeyDown();
    Key = 0;
    return;
  }
  switch (Key) {
    case VK_TAB:
      if (Focused() && !(Shift & (ssCtrl | ssAlt)) && !properties->WantsTabKey()) {
        TabNavigating(Shift);
        afterKeyDown();
        if (!link.Alive() || Key == 0) return;
        Key = 0;
        if (TCustomForm* form = GetParentForm(this)) {
          TWinControl* current = form->ActiveControl() ? form->ActiveControl() : this;
          form->SelectNext(current, !(Shift & ssShift), true);
        }
        if (link.Alive() && HandleAllocated() && FInnerEdit && ::GetFocus() == Handle()) FInnerEdit->SafelySetFocus();
      }
      return;
    case VK_RETURN:
      if (properties->ValidateOnEnter()) {
        Key = 0;
        TChangeEventsLock lock(*this, true);
        if (ValidateEdit(true) && CanPostEditValue()) InternalPostEditValue(false);
      }
      return;
    case VK_ESCAPE:
      if (FModifiedAfterEnter && CanResetValue()) {
        {
          TChangeEventsLock lock(*this, true);
          FDataBinding->ResetEditor();
          SetEditModified(true);
        }
        FIsKeyPressHandled = true;
        Key = 0;
      }
      return;
    default:
      break;
  }
  if (!WantsNavigationKeys() && Key >= VK_PRIOR && Key <= VK_DOWN) {
    afterKeyDown();
    Key = 0;
  }
}

bool TcxCustomEdit::CanResetValue() {
  return FDataBinding->IDefaultValuesProvider()->IsDataStorage() || ActiveProperties()->IsResetEditClass();
}

bool TcxCustomEdit::CheckEditingKey(WORD Key, TShiftState Shift) {
  return FDataBinding->Modified() || !CanKeyDownModifyEdit(Key, Shift) || DoEditing();
}

bool TcxCustomEdit::IsValidChar(wchar_t AChar) {
  IcxEditDefaultValuesProvider* provider = FDataBinding->IDefaultValuesProvider();
  return provider->IsValidChar(AChar) || provider->IsOnSetTextAssigned();
}

bool TcxCustomEdit::CheckEditingChar(wchar_t& Key) {
  if (IsNonControlChar(Key) && !IsValidChar(Key)) {
    Key = 0;
    RunMessageBeep(0);
    return false;
  }
  if (!FDataBinding->Modified() && CanKeyPressModifyEdit(Key) && !DoEditing()) Key = 0;
  return Key != 0;
}

// ---- Clipboard and dialog characters

void TcxCustomEdit::WMCopy(TMessage&) { CopyToClipboard(); }

void TcxCustomEdit::WMCut(TMessage&) {
  TFlagScope keyboard(FKeyboardAction, true);
  if (!ActiveProperties()->ReadOnly() && FDataBinding->IsDataAvailable())
    CutToClipboard();
  else
    CopyToClipboard();
}

void TcxCustomEdit::WMPaste(TMessage&) {
  if (ActiveProperties()->ReadOnly() || !FDataBinding->IsDataAvailable()) return;
  TFlagScope keyboard(FKeyboardAction, true);
  PasteFromClipboard();
}

bool TcxCustomEdit::DoInnerControlDefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CUT:
      if (FInnerEdit->CanProcessClipboardMessages()) return false;
      {
        TFlagScope keyboard(FKeyboardAction, true);
        if (DoEditing())
          CutToClipboard();
        else
          CopyToClipboard();
      }
      return true;
    case WM_PASTE:
      if (FInnerEdit->CanProcessClipboardMessages() || !DoEditing()) return false;
      {
        TFlagScope keyboard(FKeyboardAction, true);
        PasteFromClipboard();
      }
      return true;
    case WM_CLEAR:
      DoEditing();
      return false;
    default:
      return false;
  }
}

void TcxCustomEdit::CMDialogChar(TMessage& Message) {
  TcxCustomEditProperties* properties = ActiveProperties();
  TcxCustomEditViewInfo& viewInfo = ViewInfo();
  for (int i = 0; i < viewInfo.ButtonCount(); ++i) {
    TcxEditButtonViewInfo& button = viewInfo.Button(i);
    const int index = button.ButtonIndex;
    if (index < 0 || index >= properties->Buttons().Count()) continue;
    if (button.Data.State == ebsDisabled) continue;
    if (!IsAccel(wchar_t(Message.WParam), properties->Buttons().Items(index)->Caption())) continue;
    DoButtonClick(i);
    Message.Result = 1;
    return;
  }
  TVK_INHERITED(Message);
}

// ---- Hints

void TcxCustomEdit::CMHintShow(TMessage& Message) {
  auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
  const POINT p = GetMouseCursorClientPos();
  const int part = ViewInfo().GetPartIndexAt(p);
  if (part == -2) {
    Message.Result = -1;
    return;
  }
  WideString text;
  if (part >= 0) text = ViewInfo().Button(part).Data.Hint;
  if (text.empty() && ShowHint()) text = Hint();
  info->HintStr = ShortHintOf(text);
  info->CursorRect = ViewInfo().GetPartBounds(part);
  Message.Result = 0;
}

void TcxCustomEdit::CMShowingChanged(TMessage& Message) {
  TVK_INHERITED(Message);
  if (Showing()) ShortRefreshContainer(false);
}

// ---- Mouse and buttons

int TcxCustomEdit::ButtonIndexAt(POINT P) {
  TcxCustomEditViewInfo& viewInfo = ViewInfo();
  for (int i = 0; i < viewInfo.ButtonCount(); ++i)
    if (PtInRect(&viewInfo.Button(i).Bounds, P)) return i;
  return -1;
}

void TcxCustomEdit::MouseDown(TMouseButton AButton, TShiftState AShift, int X, int Y) {
  TEditLink link(this);
  if (AButton == TMouseButton::mbLeft && IsDblClickTimerEnabled()) {
    FDblClickTimer->SetEnabled(false);
    if (ButtonIndexAt({X, Y}) == -1) DblClick();
    if (!link.Alive()) return;
  }
  TcxCustomEditContainer::MouseDown(AButton, AShift, X, Y);
  if (!link.Alive() || AButton != TMouseButton::mbLeft || !HandleAllocated() || ::GetCapture() != Handle()) return;
  const int index = ButtonIndexAt({X, Y});
  if (index != -1 && ViewInfo().Button(index).Data.State == ebsPressed) FCaptureButtonVisibleIndex = index;
}

void TcxCustomEdit::DblClick() {
  const POINT p = GetMouseCursorClientPos();
  if (ButtonIndexAt(p) == -1) {
    TcxCustomEditContainer::DblClick();
    return;
  }
  TEditLink link(this);
  MouseDown(TMouseButton::mbLeft, KeyboardShiftState() | ssLeft, p.x, p.y);
  if (link.Alive()) Click();
}

void TcxCustomEdit::Click() {
  if ((ComponentState() & csDestroying) || FClickLockCount != 0) return;
  if ((ComponentState() & csLoading) && !ClickWhileLoading()) return;
  TcxCustomEditContainer::Click();
}

bool TcxCustomEdit::CanFocusOnClick() { return TcxCustomEditContainer::CanFocusOnClick() && FNeedFocusOnClick; }

void TcxCustomEdit::CalculateViewInfoAt(POINT P, TcxMouseButton AButton, TShiftState AShift, bool AIsMouseEvent) {
  std::unique_ptr<TcxCustomEditViewData> viewData = CreateEditViewData();
  // Measured on the screen: the control's canvas draws only while it paints.
  TcxScreenCanvas canvas;
  viewData->CalculateEx(canvas, RECT{0, 0, Width(), Height()}, P, AButton, AShift, ViewInfo(), AIsMouseEvent);
}

bool TcxCustomEdit::RefreshContainerView(POINT P, TcxMouseButton AButton, bool AIsMouseEvent, TShiftState AShift) {
  if (FCaptureButtonVisibleIndex != -1 && (!HandleAllocated() || ::GetCapture() != Handle()))
    FCaptureButtonVisibleIndex = -1;
  TcxCustomEditViewInfo& viewInfo = ViewInfo();
  std::unique_ptr<TcxCustomEditViewInfo> snapshot;
  if (AIsMouseEvent) {
    snapshot.reset(ActiveProperties()->GetViewInfoClass()->Create());
    snapshot->Assign(&viewInfo);
  }
  viewInfo.LastPressedButton = viewInfo.PressedButton;
  viewInfo.LastSelectedButton = viewInfo.SelectedButton;
  CalculateViewInfoAt(P, AButton, AShift, AIsMouseEvent);
  RECT exclusion{0, 0, Width(), Height()};
  if (FInnerEdit && IsEditClass()) exclusion = InnerControl()->BoundsRect();
  const bool full = HandleAllocated() && viewInfo.Repaint(Handle(), exclusion, snapshot.get());
  if (full || !snapshot) {
    PlaceInnerControl();
    SyncInnerControlAppearance();
    CalculateViewInfoAt(P, AButton, AShift, AIsMouseEvent);
    UpdateWindowRegion();
    if (HandleAllocated()) ::InvalidateRect(Handle(), nullptr, FALSE);
  }
  return true;
}

void TcxCustomEdit::AfterMouseRefresh() {
  TcxCustomEditViewInfo& viewInfo = ViewInfo();
  const int lastPressed = viewInfo.LastPressedButton;
  const int pressed = viewInfo.PressedButton;
  if (lastPressed == pressed && viewInfo.LastSelectedButton == viewInfo.SelectedButton) return;
  TEditLink link(this);
  if (lastPressed != -1) {
    DoButtonUp(lastPressed);
    if (link.Alive() && lastPressed == ViewInfo().SelectedButton && pressed == -1) DoButtonClick(lastPressed);
  }
  if (link.Alive() && pressed != -1 && lastPressed == -1) DoButtonDown(pressed);
}

void TcxCustomEdit::DoButtonClick(int AButtonVisibleIndex) {
  TcxCustomEditViewInfo& viewInfo = ViewInfo();
  if (AButtonVisibleIndex < 0 || AButtonVisibleIndex >= viewInfo.ButtonCount()) return;
  const int buttonIndex = viewInfo.Button(AButtonVisibleIndex).ButtonIndex;
  TEditLink link(this);
  if (TcxEditButtonActionLink* action = viewInfo.Button(AButtonVisibleIndex).Data.ActionLink) action->Execute(this);
  if (!link.Alive()) return;
  if (FProperties->OnButtonClick) FProperties->OnButtonClick(this, buttonIndex);
  if (link.Alive() && FRepositoryItem && FRepositoryItem->Properties().OnButtonClick)
    FRepositoryItem->Properties().OnButtonClick(this, buttonIndex);
}

void TcxCustomEdit::ClickDefaultButton() {
  TcxCustomEditViewInfo& viewInfo = ViewInfo();
  for (int i = 0; i < viewInfo.ButtonCount(); ++i)
    if (viewInfo.Button(i).Data.Default) {
      DoButtonClick(i);
      return;
    }
}

// ---- Size and anchors

bool TcxCustomEdit::IsButtonsAutoWidth() { return ActiveProperties()->ButtonsViewStyle() == bvsButtonsAutoWidth; }

bool TcxCustomEdit::IsAutoWidthActive() {
  const TAlign align = Align();
  return IsAutoSizeActive() && IsButtonsAutoWidth() &&
         (align == TAlign::alNone || align == TAlign::alLeft || align == TAlign::alRight);
}

TcxEditSizeProperties TcxCustomEdit::GetEditSizeProperties() {
  TcxEditSizeProperties result;
  result.Height = -1;
  result.MaxLineCount = 1;
  result.Width = IsAutoWidthActive() && !AutoSizeKeepsWidth() ? 2147483647 : Width();
  return result;
}

void TcxCustomEdit::CalculateAutoSize(int& AWidth, int& AHeight) {
  if (!IsAutoSizeActive()) return;
  TcxEditSizeProperties sizeProperties = GetEditSizeProperties();
  sizeProperties.Height = AHeight;
  sizeProperties.Width = AWidth;
  std::unique_ptr<TcxCustomEditViewData> viewData = CreateEditViewData();
  TcxScreenCanvas canvas;
  const SIZE size = viewData->GetEditSize(canvas, EditValue(), sizeProperties, &ViewInfo());
  canvas.Dormant();
  if (IsAutoWidthActive()) AWidth = size.cx;
  const TAlign align = Align();
  if (align == TAlign::alNone || align == TAlign::alTop || align == TAlign::alBottom) AHeight = size.cy;
}

void TcxCustomEdit::PlaceInnerControl() {
  if (!HandleAllocated() || (ComponentState() & csDestroying)) return;
  int w = Width(), h = Height();
  CalculateAutoSize(w, h);
  int left = Left(), top = Top();
  if (UsesAnchors() && IsAutoWidthActive() && !IsFixedWidthAutoSize()) {
    if (!std::exchange(FIsFirstSetSize, false)) UpdateAnchors();
    const TcxCustomEditProperties* properties = ActiveProperties();
    if (UsesAnchorX() && FAnchorX != cxEditAnchorNotSet)
      left = const_cast<TcxCustomEditProperties*>(properties)->Alignment().Horz() == TAlignment::taCenter
                 ? FAnchorX - HalfUp(w)
                 : FAnchorX - w;
    if (UsesAnchorY() && FAnchorY != cxEditAnchorNotSet)
      top = const_cast<TcxCustomEditProperties*>(properties)->Alignment().Vert() == taVCenter ? FAnchorY - HalfUp(h)
                                                                                              : FAnchorY - h;
  }
  if (left != Left() || top != Top() || w != Width() || h != Height())
    TcxCustomEditContainer::SetBounds(left, top, w, h);
  AdjustInnerEditPosition();
}

void TcxCustomEdit::AdjustInnerEditPosition() {
  if (!FInnerEdit) return;
  const RECT& r = ViewInfo().ClientRect;
  TWinControl* control = FInnerEdit->GetInnerControl();
  const RECT now = control->BoundsRect();
  if (!EqualRect(&now, &r)) control->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TcxCustomEdit::UpdateAnchors() {
  if (ComponentState() & (csLoading | csReading)) return;
  TcxCustomEditProperties* properties = ActiveProperties();
  if (UsesAnchorX())
    FAnchorX = properties->Alignment().Horz() == TAlignment::taCenter ? Left() + HalfUp(Width()) : Left() + Width();
  if (UsesAnchorY())
    FAnchorY = properties->Alignment().Vert() == taVCenter ? Top() + HalfUp(Height()) : Top() + Height();
}

void TcxCustomEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (!(ComponentState() & csLoading) && HandleAllocated()) CalculateAutoSize(AWidth, AHeight);
  TcxCustomEditContainer::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TcxCustomEdit::ScaleControl(int M, int D) {
  if (M != D && (!(ComponentState() & csLoading) || FAnchorScalingFlags != 0)) {
    if ((FAnchorScalingFlags & sfLeft) && FAnchorX != cxEditAnchorNotSet) FAnchorX = MulDiv(FAnchorX, M, D);
    if ((FAnchorScalingFlags & sfTop) && FAnchorY != cxEditAnchorNotSet) FAnchorY = MulDiv(FAnchorY, M, D);
    FAnchorScalingFlags = 0;
  }
  TcxCustomEditContainer::ScaleControl(M, D);
}

void TcxCustomEdit::AssignAutoSize(bool AValue) {
  if (FAutoSize == AValue || FIsInplace) return;
  FAutoSize = AValue;
  AutoSizeChanged();
  if (!AValue) return;
  EnsureHandleForSize();
  ShortRefreshContainer(false);
}

void TcxCustomEdit::EnsureHandleForSize() {
  if (FHandleAllocating || (ComponentState() & csDestroying) || HandleAllocated() || !Parent()) return;
  TFlagScope allocating(FHandleAllocating, true);
  HandleNeeded();
}

int TcxCustomEdit::ReadHeight() {
  EnsureHandleForSize();
  return Height();
}

void TcxCustomEdit::DefineProperties(TFiler& AFiler) {
  TcxCustomEditContainer::DefineProperties(AFiler);
  auto* ancestor = dynamic_cast<TcxCustomEdit*>(AFiler.Ancestor());
  const bool writeHeight = !IsAutoSizeActive() && (!ancestor || ancestor->Height() != Height());
  AFiler.DefineProperty(
      L"Height", [this](TReader& AReader) { TcxCustomEditContainer::SetBounds(Left(), Top(), Width(), AReader.ReadInteger()); },
      [this](TWriter& AWriter) { AWriter.WriteInteger(Height()); }, writeHeight);
  const bool widthFollowsContent = IsAutoSizeActive() && IsButtonsAutoWidth() && !AutoSizeKeepsWidth();
  const bool writeWidth = !widthFollowsContent && (!ancestor || ancestor->Width() != Width());
  AFiler.DefineProperty(
      L"Width", [this](TReader& AReader) { TcxCustomEditContainer::SetBounds(Left(), Top(), AReader.ReadInteger(), Height()); },
      [this](TWriter& AWriter) { AWriter.WriteInteger(Width()); }, writeWidth);
  AFiler.DefineProperty(
      L"AnchorX",
      [this](TReader& AReader) {
        FAnchorX = AReader.ReadInteger();
        FAnchorScalingFlags |= sfLeft;
      },
      [this](TWriter& AWriter) {
        UpdateAnchors();
        AWriter.WriteInteger(FAnchorX);
      },
      UsesAnchorX());
  AFiler.DefineProperty(
      L"AnchorY",
      [this](TReader& AReader) {
        FAnchorY = AReader.ReadInteger();
        FAnchorScalingFlags |= sfTop;
      },
      [this](TWriter& AWriter) {
        UpdateAnchors();
        AWriter.WriteInteger(FAnchorY);
      },
      UsesAnchorY());
}

// ---- Painting, view data and the rest of the container's hooks

std::unique_ptr<TcxCustomEditViewData> TcxCustomEdit::CreateEditViewData() {
  TcxCustomEditProperties* properties = ActiveProperties();
  auto* style = static_cast<TcxCustomEditStyle*>(GetActiveStyle());
  std::unique_ptr<TcxCustomEditViewData> viewData = properties->CreateViewData(*style, FIsInplace, false);
  if (FIsInplace && FIsContentParamsInitialized) {
    viewData->ContentParamsOffsets = ContentParams.Offsets;
    viewData->ContentParamsSizeCorrection = ContentParams.SizeCorrection;
  }
  viewData->Edit = this;
  InitViewData(*viewData);
  return viewData;
}

void TcxCustomEdit::InitViewData(TcxCustomEditViewData& AViewData) {
  AViewData.Enabled = Enabled();
  AViewData.Focused = Focused();
  AViewData.IsDesigning = IsDesigning();
}

int TcxCustomEdit::GetFocusStateIndex() {
  if (Enabled() && FProperties && ActiveProperties()->ReadOnly()) return 3;
  return TcxCustomEditContainer::GetFocusStateIndex();
}

bool TcxCustomEdit::IsNativeStyle() { return TcxCustomEditViewData::IsNativeStyle(Style()->LookAndFeel()); }

void TcxCustomEdit::FocusInnerControl() {
  if (FInnerEdit)
    FInnerEdit->SafelySetFocus();
  else
    TcxCustomEditContainer::FocusInnerControl();
}

void TcxCustomEdit::CreateWindowHandle(const TCreateParams& AParams) {
  TcxCustomEditContainer::CreateWindowHandle(AParams);
  if (FInnerEdit && IsContainerFocused()) FInnerEdit->SafelySetFocus();
}

bool TcxCustomEdit::WheelAllowed(WPARAM AKeyState) {
  return !FIsInplace || ActiveProperties()->UseMouseWheel() || (LOWORD(AKeyState) & 4) != 0;
}

TVK_MESSAGE_MAP(TcxCustomEdit, {WM_COPY, &TcxCustomEdit::WMCopy}, {WM_CUT, &TcxCustomEdit::WMCut},
                {WM_PASTE, &TcxCustomEdit::WMPaste}, {CM_DIALOGCHAR, &TcxCustomEdit::CMDialogChar},
                {CM_HINTSHOW, &TcxCustomEdit::CMHintShow}, {CM_SHOWINGCHANGED, &TcxCustomEdit::CMShowingChanged})

// ---- TcxInplaceEditList

TcxInplaceEditList::TcxInplaceEditList(TComponent* AEditorOwner) : FEditorOwner(AEditorOwner) {
  InplaceEditLists().push_back(this);
}

TcxInplaceEditList::~TcxInplaceEditList() {
  Clear();
  std::erase(InplaceEditLists(), static_cast<TcxInplaceEditListLink*>(this));
}

int TcxInplaceEditList::IndexOfFreeClassItem(TcxCustomEditPropertiesClass APropertiesClass) {
  const TcxCustomEditClass editClass = APropertiesClass->GetContainerClass();
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (!FItems[i].Properties && FItems[i].Edit->ClassType() == editClass->Info) return int(i);
  return -1;
}

int TcxInplaceEditList::IndexOfProperties(TcxCustomEditProperties* AProperties, bool ABindFree) {
  for (std::size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i].Properties == AProperties) return int(i);
  if (!ABindFree) return -1;
  const int index = IndexOfFreeClassItem(AProperties->PropertiesClass());
  if (index != -1) FItems[std::size_t(index)].Properties = AProperties;
  return index;
}

TcxCustomEdit* TcxInplaceEditList::FindEdit(TcxCustomEditProperties* AProperties) {
  const int index = IndexOfProperties(AProperties, true);
  return index == -1 ? nullptr : FItems[std::size_t(index)].Edit;
}

TcxCustomEdit* TcxInplaceEditList::FindEdit(TcxCustomEditPropertiesClass APropertiesClass) {
  const int index = IndexOfFreeClassItem(APropertiesClass);
  return index == -1 ? nullptr : FItems[std::size_t(index)].Edit;
}

TcxCustomEdit* TcxInplaceEditList::CreateEdit(TcxCustomEditPropertiesClass APropertiesClass) {
  TcxCustomEdit* edit = APropertiesClass->GetContainerClass()->Create(FEditorOwner, true);
  edit->SetVisible(false);
  return edit;
}

void TcxInplaceEditList::InitEdit(TcxCustomEdit* AEdit, TcxCustomEditProperties* AProperties) {
  AEdit->LockChangeEvents(true, true);
  struct TUnlock {
    TcxCustomEdit* Edit;
    ~TUnlock() { Edit->LockChangeEvents(false, false); }
  } unlock{AEdit};
  AEdit->InternalProperties()->Assign(*AProperties);
}

TcxCustomEdit* TcxInplaceEditList::GetEdit(TcxCustomEditProperties* AProperties) {
  TcxCustomEdit* edit = FindEdit(AProperties);
  if (!edit) {
    edit = CreateEdit(AProperties->PropertiesClass());
    FItems.push_back({edit, AProperties});
  }
  InitEdit(edit, AProperties);
  return edit;
}

TcxCustomEdit* TcxInplaceEditList::GetEdit(TcxCustomEditPropertiesClass APropertiesClass) {
  if (TcxCustomEdit* edit = FindEdit(APropertiesClass)) return edit;
  TcxCustomEdit* edit = CreateEdit(APropertiesClass);
  FItems.push_back({edit, nullptr});
  return edit;
}

void TcxInplaceEditList::RemoveAt(int AIndex) {
  if (AIndex < 0) return;
  TcxCustomEdit* edit = FItems[std::size_t(AIndex)].Edit;
  FItems.erase(FItems.begin() + AIndex);
  edit->SetParent(nullptr);
  delete edit;
}

void TcxInplaceEditList::RemoveItem(TcxCustomEditProperties* AProperties) {
  RemoveAt(IndexOfProperties(AProperties, false));
}

void TcxInplaceEditList::RemoveItem(TcxCustomEditPropertiesClass APropertiesClass) {
  for (int index = IndexOfFreeClassItem(APropertiesClass); index != -1; index = IndexOfFreeClassItem(APropertiesClass))
    RemoveAt(index);
}

void TcxInplaceEditList::Clear() {
  while (!FItems.empty()) RemoveAt(0);
}

void TcxInplaceEditList::DisconnectProperties(TcxCustomEditProperties& AProperties) {
  const int index = IndexOfProperties(&AProperties, false);
  if (index != -1) FItems[std::size_t(index)].Properties = nullptr;
}

}  // namespace tvk
