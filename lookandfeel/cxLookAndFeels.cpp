#include "cxLookAndFeels.h"

#include "ClassRegistry.h"
#include "Forms.h"
#include "Streams.h"
#include "dxOffice11.h"

namespace tvk {

namespace {

TcxLookAndFeel* gRootLookAndFeel = nullptr;
int gControllerCount = 0;
TcxSystemPaletteChangedListener* gSystemPaletteListener = nullptr;
int gSystemPaletteListenerRefCount = 0;
TcxSkinSupportQuery gSkinSupportQuery = nullptr;

IcxLookAndFeelListener* LafListenerOf(TObject* AObject) {
  return AObject ? Supports<IcxLookAndFeelListener>(AObject, IID_IcxLookAndFeelListener) : nullptr;
}

bool IsControllerListener(IcxLookAndFeelListener* AListener) {
  TObject* object = AListener->GetListenerObject();
  return object && object->Is<TcxLookAndFeelController>();
}

}  // namespace

// ===================================================================== system colour changes

TcxSystemPaletteChangedNotifier::TcxSystemPaletteChangedNotifier(bool AIsPrimary) : FIsPrimary(AIsPrimary) {
  AddSystemPaletteListenerRef();
  gSystemPaletteListener->AddNotifier(this, FIsPrimary);
}

TcxSystemPaletteChangedNotifier::~TcxSystemPaletteChangedNotifier() {
  if (gSystemPaletteListener) gSystemPaletteListener->RemoveNotifier(this, FIsPrimary);
  ReleaseSystemPaletteListenerRef();
}

void TcxSystemPaletteChangedNotifier::NotifyPaletteChange() {
  if (OnSystemPaletteChanged) OnSystemPaletteChanged();
}

TcxSystemPaletteChangedListener::TcxSystemPaletteChangedListener() { CalculateOffice11Colors(); }

TcxSystemPaletteChangedListener::~TcxSystemPaletteChangedListener() = default;

void TcxSystemPaletteChangedListener::AddNotifier(TcxSystemPaletteChangedNotifier* ANotifier, bool AIsPrimary) {
  (AIsPrimary ? FPrimaryNotifierList : FNotifierList).Add(ANotifier);
}

void TcxSystemPaletteChangedListener::RemoveNotifier(TcxSystemPaletteChangedNotifier* ANotifier, bool AIsPrimary) {
  (AIsPrimary ? FPrimaryNotifierList : FNotifierList).Remove(ANotifier);
}

void TcxSystemPaletteChangedListener::DoChange() {
  // The painters' colours are current before any look and feel reacts.
  RefreshOffice11Colors();
  for (TList* list : {&FPrimaryNotifierList, &FNotifierList})
    for (int i = list->Count(); i-- > 0;)
      if (i < list->Count()) static_cast<TcxSystemPaletteChangedNotifier*>(list->Items(i))->NotifyPaletteChange();
}

void TcxSystemPaletteChangedListener::HandleMessage(TMessage& Message) {
  if (Message.Msg == WM_SYSCOLORCHANGE) {
    try {
      DoChange();
    } catch (...) {
      TcxMessageWindow::HandleMessage(Message);
      throw;
    }
  }
  TcxMessageWindow::HandleMessage(Message);
}

void AddSystemPaletteListenerRef() {
  if (gSystemPaletteListenerRefCount == 0) gSystemPaletteListener = new TcxSystemPaletteChangedListener();
  ++gSystemPaletteListenerRefCount;
}

void ReleaseSystemPaletteListenerRef() {
  if (gSystemPaletteListenerRefCount == 0) return;
  if (--gSystemPaletteListenerRefCount == 0) delete std::exchange(gSystemPaletteListener, nullptr);
}

TcxSystemPaletteChangedListener* SystemPaletteListener() { return gSystemPaletteListener; }

int SystemPaletteListenerRefCount() { return gSystemPaletteListenerRefCount; }

// ===================================================================== look and feel

TcxLookAndFeel::TcxLookAndFeel(TPersistent* AOwner) : TcxInterfacedPersistent(AOwner) {
  FCurrentState = FData;
  FSystemPaletteChangedNotifier = std::make_unique<TcxSystemPaletteChangedNotifier>(false);
  FSystemPaletteChangedNotifier->OnSystemPaletteChanged = [this] { SystemPaletteChanged(); };
  if (gRootLookAndFeel) {
    gRootLookAndFeel->AddChangeListener(this);
    UpdateCurrentState();
  }
  UpdatePainter();
}

TcxLookAndFeel::~TcxLookAndFeel() {
  FSystemPaletteChangedNotifier.reset();
  NotifyDestroying();
  FChangeListenerList.Clear();
  if (TcxLookAndFeel* master = MasterLookAndFeel()) master->RemoveChangeListener(this);
  if (FIsRootLookAndFeel) {
    gRootLookAndFeel = nullptr;
    FIsRootLookAndFeel = false;
  }
}

bool TcxLookAndFeel::GetInterface(REFIID iid, void** object) {
  if (IsEqualGUID(iid, IID_IcxLookAndFeelListener)) {
    *object = static_cast<IcxLookAndFeelListener*>(this);
    return true;
  }
  return TcxInterfacedPersistent::GetInterface(iid, object);
}

void TcxLookAndFeel::AddChangeListener(TObject* AListener) {
  IcxLookAndFeelListener* listener = LafListenerOf(AListener);
  if (!listener) return;
  const bool controller = IsControllerListener(listener);
  if (controller && !FIsRootLookAndFeel) return;
  if (FChangeListenerList.IndexOf(AListener) >= 0) return;
  FChangeListenerList.Add(AListener);
  if (controller) ++gControllerCount;
}

void TcxLookAndFeel::RemoveChangeListener(TObject* AListener) {
  IcxLookAndFeelListener* listener = LafListenerOf(AListener);
  if (!listener || FChangeListenerList.IndexOf(AListener) < 0) return;
  if (!FIsDestruction) FChangeListenerList.Remove(AListener);
  if (FIsRootLookAndFeel && IsControllerListener(listener)) {
    --gControllerCount;
    // The last controller leaving returns the root to its defaults.
    if (gControllerCount == 0) Reset();
  }
}

void TcxLookAndFeel::Assign(const TPersistent& Source) {
  const auto* source = dynamic_cast<const TcxLookAndFeel*>(&Source);
  if (!source) {
    TcxInterfacedPersistent::Assign(Source);
    return;
  }
  SaveState();
  FData = source->FData;
  FAssignedValues = source->FAssignedValues;
  SetMasterLookAndFeel(source->MasterLookAndFeel());
  ReportChangedValues();
}

void TcxLookAndFeel::DefineProperties(TFiler& Filer) {
  TcxInterfacedPersistent::DefineProperties(Filer);
  // Only what is assigned here is stored; the rest comes from the master.
  Filer.DefineProperty(
      L"Kind",
      [this](TReader& AReader) {
        const int32_t kind = AReader.ReadInteger();
        if (kind < lfFlat || kind > lfOffice11) throw EReadError(L"Invalid property value");
        SetKind(TcxLookAndFeelKind(kind));
      },
      [this](TWriter& AWriter) { AWriter.WriteInteger(FData.Kind); }, (FAssignedValues & lfvKind) != 0);
  Filer.DefineProperty(
      L"NativeStyle", [this](TReader& AReader) { SetNativeStyle(AReader.ReadBoolean()); },
      [this](TWriter& AWriter) { AWriter.WriteBoolean(FData.NativeStyle); }, (FAssignedValues & lfvNativeStyle) != 0);
  // Every assigned name survives streaming, an assigned empty one included.
  Filer.DefineBinaryProperty(
      L"SkinName",
      [this](TStream& AStream) {
        uint32_t length = 0;
        AStream.ReadBuffer(&length, sizeof(length));
        if (length > 0x100000) throw EReadError(L"Invalid skin name");
        WideString name(length, L'\0');
        if (length) AStream.ReadBuffer(name.data(), length * sizeof(wchar_t));
        SetSkinName(name);
      },
      [this](TStream& AStream) {
        const uint32_t length = uint32_t(FData.SkinName.size());
        AStream.WriteBuffer(&length, sizeof(length));
        if (length) AStream.WriteBuffer(FData.SkinName.data(), length * sizeof(wchar_t));
      },
      (FAssignedValues & lfvSkinName) != 0);
}

void TcxLookAndFeel::EndUpdate() {
  if (FUpdateLockCount == 0) return;
  if (--FUpdateLockCount == 0) {
    const TcxLookAndFeelValues changed = FChangedValues;
    Changed(changed);
    FChangedValues = 0;
  }
}

void TcxLookAndFeel::SetStyle(TcxLookAndFeelStyle Value) {
  SetNativeStyle(Value == lfsNative);
  if (!NativeStyle()) SetKind(StyleToKind[Value]);
}

TcxCustomLookAndFeelPainter* TcxLookAndFeel::GetAvailablePainter(TdxThemedObjectType ANeededThemedObjectType) {
  return GetAvailablePainter(ThemedTypes({ANeededThemedObjectType}));
}

TcxCustomLookAndFeelPainter* TcxLookAndFeel::GetAvailablePainter(TdxThemedObjectTypes ANeededThemedObjectTypes) {
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  if (!manager) return nullptr;
  if (FCurrentState.NativeStyle && AreThemesAvailable(ANeededThemedObjectTypes)) return manager->GetPainter(lfsNative);
  if (FSkinPainter) return FSkinPainter;
  // With native style on and a needed theme type missing this is still the
  // native painter, which falls back per element.
  return manager->GetPainter(ActiveStyle());
}

void TcxLookAndFeel::SetAssignedValues(TcxLookAndFeelValues Value) {
  if (Value == FAssignedValues) return;
  SaveState();
  FAssignedValues = Value;
  ReportChangedValues();
}

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind Value) {
  const TcxLookAndFeelKind old = Kind();
  FAssignedValues |= lfvKind;
  FData.Kind = Value;
  if (GetEffectiveKind() != old) Changed(lfvKind);
}

void TcxLookAndFeel::SetNativeStyle(bool Value) {
  const bool old = NativeStyle();
  FAssignedValues |= lfvNativeStyle;
  FData.NativeStyle = Value;
  if (GetEffectiveNativeStyle() != old) Changed(lfvNativeStyle);
}

void TcxLookAndFeel::SetSkinName(const TdxSkinName& Value) {
  const TdxSkinName old = SkinName();
  FAssignedValues |= lfvSkinName;
  FData.SkinName = Value;
  if (GetEffectiveSkinName() != old) Changed(lfvSkinName);
}

TcxLookAndFeelStyle TcxLookAndFeel::ActiveStyle() const {
  if (FCurrentState.NativeStyle && AreThemesAvailable()) return lfsNative;
  if (FSkinPainter) return lfsSkin;
  return KindToStyle[FCurrentState.Kind];
}

TcxLookAndFeel* TcxLookAndFeel::MasterLookAndFeel() const {
  if (FIsRootLookAndFeel) return nullptr;
  return FMasterLookAndFeel ? FMasterLookAndFeel : gRootLookAndFeel;
}

void TcxLookAndFeel::SetMasterLookAndFeel(TcxLookAndFeel* Value) {
  if (FIsRootLookAndFeel || Value == this) return;
  if ((Value ? Value : gRootLookAndFeel) == MasterLookAndFeel()) return;
  SaveState();
  if (TcxLookAndFeel* master = MasterLookAndFeel()) master->RemoveChangeListener(this);
  FMasterLookAndFeel = Value;
  if (TcxLookAndFeel* master = MasterLookAndFeel()) master->AddChangeListener(this);
  ReportChangedValues();
}

void TcxLookAndFeel::MasterChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
  (void)Sender;
  Changed(AChangedValues & ~FAssignedValues);
}

void TcxLookAndFeel::MasterDestroying(TcxLookAndFeel* Sender) {
  SetMasterLookAndFeel(nullptr);
  // The root itself going: nothing to fall back to, and no pointer may stay behind.
  if (FMasterLookAndFeel == Sender) FMasterLookAndFeel = nullptr;
}

TcxCustomLookAndFeelPainter* TcxLookAndFeel::GetSkinPainterByName(const TdxSkinName& AName) const {
  if (!UseSkins || AName.empty()) return nullptr;
  TcxLookAndFeelPaintersManager* manager = cxLookAndFeelPaintersManager();
  return manager ? manager->GetPainter(AName) : nullptr;
}

void TcxLookAndFeel::UpdateCurrentState() {
  FCurrentState.Kind = GetEffectiveKind();
  FCurrentState.NativeStyle = GetEffectiveNativeStyle();
  FCurrentState.SkinName = GetEffectiveSkinName();
  FCurrentState.UseSkins = UseSkins;
  FSkinPainter = FCurrentState.NativeStyle ? nullptr : GetEffectiveSkinPainter();
}

void TcxLookAndFeel::UpdatePainter() { FPainter = GetAvailablePainter(TdxThemedObjectTypes(0)); }

TcxLookAndFeel* TcxLookAndFeel::InheritedSource() const {
  if (FIsRootLookAndFeel) return nullptr;
  return FMasterLookAndFeel ? FMasterLookAndFeel : gRootLookAndFeel;
}

TcxLookAndFeelKind TcxLookAndFeel::GetEffectiveKind() const {
  if (FAssignedValues & lfvKind) return FData.Kind;
  const TcxLookAndFeel* source = InheritedSource();
  return source ? source->Kind() : lfUltraFlat;
}

bool TcxLookAndFeel::GetEffectiveNativeStyle() const {
  if (FAssignedValues & lfvNativeStyle) return FData.NativeStyle;
  const TcxLookAndFeel* source = InheritedSource();
  return source ? source->NativeStyle() : true;
}

TdxSkinName TcxLookAndFeel::GetEffectiveSkinName() const {
  if (FAssignedValues & lfvSkinName) return FData.SkinName;
  const TcxLookAndFeel* source = InheritedSource();
  return source ? source->SkinName() : TdxSkinName();
}

TcxCustomLookAndFeelPainter* TcxLookAndFeel::GetEffectiveSkinPainter() const {
  if (FAssignedValues & lfvSkinName) return GetSkinPainterByName(FData.SkinName);
  const TcxLookAndFeel* source = InheritedSource();
  return source ? source->GetSkinPainterByName(source->SkinName()) : nullptr;
}

void TcxLookAndFeel::Changed(TcxLookAndFeelValues AChangedValues) {
  if (FIsDestruction) return;
  if (FCurrentState.UseSkins != UseSkins) AChangedValues |= lfvSkinName;
  if (AChangedValues == 0) return;
  UpdateCurrentState();
  UpdatePainter();
  if (FUpdateLockCount > 0) {
    FChangedValues |= AChangedValues;
    return;
  }
  NotifyListeners(AChangedValues);
  if (OnChanged) OnChanged(this, AChangedValues);
}

void TcxLookAndFeel::NotifyListeners(TcxLookAndFeelValues AChangedValues) {
  // A listener that removes itself must not make the walk skip its successor.
  int i = 0;
  while (i < FChangeListenerList.Count()) {
    const int count = FChangeListenerList.Count();
    if (IcxLookAndFeelListener* listener = LafListenerOf(FChangeListenerList.Items(i)))
      listener->MasterChanged(this, AChangedValues);
    if (FChangeListenerList.Count() == count) ++i;
  }
}

void TcxLookAndFeel::NotifyDestroying() {
  FIsDestruction = true;
  for (int i = 0; i < FChangeListenerList.Count(); ++i)
    if (IcxLookAndFeelListener* listener = LafListenerOf(FChangeListenerList.Items(i)))
      listener->MasterDestroying(this);
  FIsDestruction = false;
}

void TcxLookAndFeel::SaveState() {
  FPrevState.Kind = Kind();
  FPrevState.NativeStyle = NativeStyle();
  FPrevState.SkinName = SkinName();
}

void TcxLookAndFeel::ReportChangedValues() {
  TcxLookAndFeelValues changed = 0;
  if (GetEffectiveKind() != FPrevState.Kind) changed |= lfvKind;
  if (GetEffectiveNativeStyle() != FPrevState.NativeStyle) changed |= lfvNativeStyle;
  if (GetEffectiveSkinName() != FPrevState.SkinName) changed |= lfvSkinName;
  Changed(changed);
}

TcxLookAndFeel* GetRootLookAndFeel() { return gRootLookAndFeel; }

void CreateRootLookAndFeel() {
  auto* root = new TcxLookAndFeel(nullptr);
  root->FIsRootLookAndFeel = true;
  gRootLookAndFeel = root;
}

// ===================================================================== controller

TcxLookAndFeelController::TcxLookAndFeelController(TComponent* AOwner) : TComponent(AOwner) {
  if (gRootLookAndFeel) gRootLookAndFeel->AddChangeListener(this);
}

TcxLookAndFeelController::~TcxLookAndFeelController() {
  if (gRootLookAndFeel) gRootLookAndFeel->RemoveChangeListener(this);
}

bool TcxLookAndFeelController::GetInterface(const GUID& iid, void** obj) {
  if (IsEqualGUID(iid, IID_IcxLookAndFeelListener)) {
    *obj = static_cast<IcxLookAndFeelListener*>(this);
    return true;
  }
  return TComponent::GetInterface(iid, obj);
}

void TcxLookAndFeelController::BeginUpdate() {
  if (gRootLookAndFeel) gRootLookAndFeel->BeginUpdate();
}

void TcxLookAndFeelController::EndUpdate() {
  if (gRootLookAndFeel) gRootLookAndFeel->EndUpdate();
}

void TcxLookAndFeelController::Reset() {
  if (!gRootLookAndFeel) return;
  gRootLookAndFeel->SetKind(lfUltraFlat);
  gRootLookAndFeel->SetNativeStyle(true);
  gRootLookAndFeel->SetSkinName({});
}

TcxLookAndFeelKind TcxLookAndFeelController::Kind() const {
  return gRootLookAndFeel ? gRootLookAndFeel->Kind() : lfUltraFlat;
}

void TcxLookAndFeelController::SetKind(TcxLookAndFeelKind Value) {
  if (gRootLookAndFeel) gRootLookAndFeel->SetKind(Value);
}

bool TcxLookAndFeelController::NativeStyle() const {
  return gRootLookAndFeel ? gRootLookAndFeel->NativeStyle() : true;
}

void TcxLookAndFeelController::SetNativeStyle(bool Value) {
  if (gRootLookAndFeel) gRootLookAndFeel->SetNativeStyle(Value);
}

TdxSkinName TcxLookAndFeelController::SkinName() const {
  return gRootLookAndFeel ? gRootLookAndFeel->SkinName() : TdxSkinName();
}

void TcxLookAndFeelController::SetSkinName(const TdxSkinName& Value) {
  if (gRootLookAndFeel) gRootLookAndFeel->SetSkinName(Value);
}

void TcxLookAndFeelController::MasterChanged(TcxLookAndFeel* Sender, TcxLookAndFeelValues AChangedValues) {
  (void)Sender, (void)AChangedValues;
  if (ComponentState() & csDesigning) Modified();
}

void TcxLookAndFeelController::MasterDestroying(TcxLookAndFeel* Sender) {
  (void)Sender;
  // Forms of this library carry no designer to tell of the change.
  (void)GetOwnerForm();
}

TComponent* TcxLookAndFeelController::GetOwnerForm() const {
  TComponent* owner = Owner();
  if (!owner) return nullptr;
  if (owner->Is<TCustomForm>()) return owner;
  if (owner->Owner() && owner->Owner()->Is<TCustomForm>() && owner->Is<TWinControl>()) return owner->Owner();
  return nullptr;
}

int LookAndFeelControllerCount() { return gControllerCount; }

// ===================================================================== skin support

bool IsSkinSupportedBy(TObject* AObject) {
  if (!AObject) return false;
  if (auto* support = Supports<IcxSkinSupport>(AObject, IID_IcxSkinSupport)) return support->IsSkinSupported();
  return Supports(AObject, IID_IcxSkinSupportMarker);
}

TcxSkinSupportQuery SkinSupportQuery() { return gSkinSupportQuery; }

// ===================================================================== unit

void cxLookAndFeelsUnitStart() {
  // Streamed with the forms that hold it.
  GroupDescendentsWith(&TcxLookAndFeelController::StaticClassInfo(), &TForm::StaticClassInfo());
  gSkinSupportQuery = &IsSkinSupportedBy;
  CreateRootLookAndFeel();
}

void cxLookAndFeelsUnitStop() {
  delete gRootLookAndFeel;  // its destructor clears the reference
  gRootLookAndFeel = nullptr;
  gControllerCount = 0;
  gSkinSupportQuery = nullptr;
}

}  // namespace tvk
