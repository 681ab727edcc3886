#include "Classes.h"

#include "Convert.h"

#include <windows.h>

#include <algorithm>
#include <map>

namespace tvk {

bool TClassInfo::InheritsFrom(const TClassInfo* other) const {
  for (const TClassInfo* c = this; c; c = c->Parent)
    if (c == other) return true;
  return false;
}

const TClassInfo& TObject::StaticClassInfo() {
  static const TClassInfo info{L"TObject", nullptr};
  return info;
}

bool TObject::GetInterface(const GUID&, void** obj) {
  if (obj) *obj = nullptr;
  return false;
}

bool Supports(TObject* instance, const GUID& iid, void** intf) {
  void* p = nullptr;
  bool found = instance && instance->GetInterface(iid, &p) && p;
  if (intf) *intf = found ? p : nullptr;
  return found;
}

void TObject::Dispatch(TMessage& message) {
  if (!DispatchByNumber(message)) DefaultHandler(message);
}

void TObject::DefaultHandler(TMessage&) {}

bool TObject::DispatchByNumber(TMessage&) { return false; }

void RaiseLastOSError(const wchar_t* what) {
  DWORD code = GetLastError();
  WideString text = SysErrorMessage(long(HRESULT_FROM_WIN32(code)));
  throw EOutOfResources(WideString(what) + (text.empty() ? WideString() : L": " + text));
}

void AbstractError() { throw EAbstractError(L"Abstract Error"); }
void InvalidCastError() { throw EInvalidCast(L"Invalid class typecast"); }

// ---- TPersistent

void TPersistent::Assign(const TPersistent& source) { source.AssignTo(*this); }

void TPersistent::DefineProperties(TFiler&) {}

HRESULT STDMETHODCALLTYPE TInterfacedPersistent::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  return GetInterface(iid, object) ? S_OK : E_NOINTERFACE;
}

bool TInterfacedPersistent::GetInterface(REFIID iid, void** object) {
  if (!IsEqualGUID(iid, IID_IUnknown)) return false;
  *object = static_cast<IUnknown*>(this);
  return true;
}

void TPersistent::AssignTo(TPersistent& dest) const {
  throw EConvertError(L"Cannot assign a " + ClassName() + L" to a " + dest.ClassName());
}

// ---- TComponent

namespace {

// The components made while a design is read, in the order they were made.
thread_local std::vector<TComponent*>* gLoadingList = nullptr;

bool IsIdentifier(const WideString& name) {
  auto alpha = [](wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || c == L'_'; };
  if (name.empty() || !alpha(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(), [&](wchar_t c) { return alpha(c) || (c >= L'0' && c <= L'9'); });
}

}  // namespace

TComponent::TComponent(TComponent* owner) {
  if (owner) {
    owner->InsertComponent(this);
    // A component made while its owner's design is read is part of that design.
    if (owner->Loading()) {
      FComponentState |= csLoading;
      if (gLoadingList) gLoadingList->push_back(this);
    }
  }
}

TComponent::~TComponent() {
  Destroying();
  if (gLoadingList) std::erase(*gLoadingList, this);
  // Partners that asked to hear of this one going.
  RemoveFreeNotifications();
  while (!FComponents.empty()) {
    TComponent* child = FComponents.back();
    delete child;  // its destructor leaves this owner
  }
  if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount()) throw EListError(L"List index out of bounds (" + std::to_wstring(index) + L")");
  return FComponents[std::size_t(index)];
}

TComponent* TComponent::FindComponent(std::wstring_view name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameTextIgnoringCase(c->FName, name)) return c;
  return nullptr;
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto it = std::find(FOwner->FComponents.begin(), FOwner->FComponents.end(), this);
  return int(it - FOwner->FComponents.begin());
}

void TComponent::ValidateRename(const WideString& name) const {
  if (!name.empty() && !IsIdentifier(name)) throw EComponentError(L"'" + name + L"' is not a valid component name");
  if (FOwner && !name.empty()) {
    TComponent* other = FOwner->FindComponent(name);
    if (other && other != this) throw EComponentError(L"A component named " + name + L" already exists");
  }
}

void TComponent::SetName(const WideString& name) {
  if (name == FName) return;
  ValidateRename(name);
  ChangeName(name);
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end())
    FFreeNotifies.push_back(component);
  if (std::find(component->FFreeNotifies.begin(), component->FFreeNotifies.end(), this) ==
      component->FFreeNotifies.end())
    component->FFreeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  std::erase(FFreeNotifies, component);
  std::erase(component->FFreeNotifies, this);
}

void TComponent::RemoveFreeNotifications() {
  while (!FFreeNotifies.empty()) {
    TComponent* partner = FFreeNotifies.back();
    FFreeNotifies.pop_back();
    std::erase(partner->FFreeNotifies, this);
    partner->Notification(this, TOperation::opRemove);
  }
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->FOwner == this) return;
  if (component->FOwner) component->FOwner->RemoveComponent(component);
  if (!component->FName.empty() && FindComponent(component->FName))
    throw EComponentError(L"A component named " + component->FName + L" already exists");
  FComponents.push_back(component);
  component->FOwner = this;
  Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->FOwner != this) return;
  Notification(component, TOperation::opRemove);
  std::erase(FComponents, component);
  component->FOwner = nullptr;
}

void TComponent::Destroying() {
  if (IsDestroying()) return;
  FComponentState |= csDestroying;
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::Loaded() { FComponentState &= ~TComponentState(csLoading); }

void TComponent::Notification(TComponent*, TOperation) {}

void TComponent::SetComponentState(TComponentState flags, bool on) {
  if (on) FComponentState |= flags;
  else FComponentState &= ~flags;
}

TComponentWriting::TComponentWriting(TPersistent& instance) {
  auto* component = dynamic_cast<TComponent*>(&instance);
  if (!component || (component->ComponentState() & csWriting) != 0) return;
  FComponent = component;
  FComponent->SetComponentState(csWriting, true);
}

TComponentWriting::~TComponentWriting() {
  if (FComponent) FComponent->SetComponentState(csWriting, false);
}

// ---- Designs

namespace {

std::map<WideString, TDesignBuilder>& Designs() {
  static std::map<WideString, TDesignBuilder> designs;  // made on first use: order of start-up does not matter
  return designs;
}

}  // namespace

void RegisterDesign(std::wstring_view resourceName, TDesignBuilder builder) {
  Designs()[UpperCaseText(resourceName)] = builder;
}

TDesignBuilder FindDesign(std::wstring_view resourceName) {
  auto it = Designs().find(UpperCaseText(resourceName));
  return it == Designs().end() ? nullptr : it->second;
}

void ReadDesign(TComponent& root) {
  WideString name = UpperCaseText(root.ClassName());
  TDesignBuilder builder = FindDesign(name);
  if (!builder) throw EResNotFound(L"Resource " + name + L" not found");
  std::vector<TComponent*> made;
  std::vector<TComponent*>* outer = std::exchange(gLoadingList, &made);
  root.SetComponentState(csLoading, true);
  try {
    builder(root);
  } catch (...) {
    gLoadingList = outer;
    root.SetComponentState(csLoading, false);
    throw;
  }
  gLoadingList = outer;
  for (std::size_t i = 0; i < made.size(); ++i) made[i]->Loaded();
  root.Loaded();
}

}  // namespace tvk
