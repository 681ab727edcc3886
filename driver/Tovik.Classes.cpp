#include "Tovik.Classes.h"

#include "Tovik.Types.h"

#include <span>

namespace tvk {

// ---- TReferencedObject

void* TReferencedObject::InterfaceFor(REFIID iid) {
  return IsEqualIID(iid, IID_IUnknown) ? static_cast<IUnknown*>(this) : nullptr;
}

HRESULT STDMETHODCALLTYPE TReferencedObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = InterfaceFor(iid);
  if (!*out) return E_NOINTERFACE;
  static_cast<IUnknown*>(*out)->AddRef();  // the interface's own AddRef: it may not count
  return S_OK;
}

ULONG STDMETHODCALLTYPE TReferencedObject::AddRef() { return ULONG(InterlockedIncrement(&FRefCount)); }

ULONG STDMETHODCALLTYPE TReferencedObject::Release() {
  LONG n = InterlockedDecrement(&FRefCount);
  if (n == 0) delete this;
  return ULONG(n);
}

void TReferencedObject::Free() {
  if (FRefCount != 0) throw Exception(L"Invalid Pointer");
  delete this;
}

// ---- TDispatchObject

void* TDispatchObject::InterfaceFor(REFIID iid) {
  if (IsEqualIID(iid, IID_IDispatch)) return static_cast<IDispatch*>(this);
  return TReferencedObject::InterfaceFor(iid);
}

// ---- TTovikAbstractDevicePin

namespace {

using PinQuery = HRESULT (TAbstractDevicePin::*)(bool&);

// True when one of Queries answers true, asked in order until one does.
bool AnyOf(TAbstractDevicePin& pin, std::initializer_list<PinQuery> queries) {
  for (PinQuery q : queries) {
    bool answer = false;
    CheckResult((pin.*q)(answer));
    if (answer) return true;
  }
  return false;
}

}  // namespace

HRESULT TTovikAbstractDevicePin::GetIsPosPinOfDiffPair(bool& Result) {
  try {
    Result = AnyOf(*this, {&TAbstractDevicePin::GetIsDiffP_Pin, &TAbstractDevicePin::GetIsHDiffP_Pin,
                           &TAbstractDevicePin::GetIsDCIP_Pin, &TAbstractDevicePin::GetIsClkDiffP_Pin});
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

HRESULT TTovikAbstractDevicePin::GetIsNegPinOfDiffPair(bool& Result) {
  try {
    Result = AnyOf(*this, {&TAbstractDevicePin::GetIsDiffN_Pin, &TAbstractDevicePin::GetIsHDiffN_Pin,
                           &TAbstractDevicePin::GetIsDCIN_Pin, &TAbstractDevicePin::GetIsClkDiffN_Pin});
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

HRESULT TTovikAbstractDevicePin::GetUniqueDifferentialID(WideString& Result) {
  Result.clear();
  try {
    WideString bank, diff, clkDiff;
    CheckResult(GetIOBank(bank));
    CheckResult(GetDifferentialId(diff));
    CheckResult(GetClkDifferentialId(clkDiff));
    Result = bank + L"|" + diff + L"|" + clkDiff;
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

// ---- TTovikAbstractDeviceIOStandard

namespace {

template <std::size_t N>
std::wstring_view Entry(const std::array<std::wstring_view, N>& table, int32_t index) {
  if (index < 0 || std::size_t(index) >= N) throw Exception(L"I/O standard index out of range");
  return table[std::size_t(index)];
}

}  // namespace

HRESULT TTovikAbstractDeviceIOStandard::GetDisplayName(WideString& Result) {
  Result.clear();
  try {
    Result = Entry(kIOStandardDisplayNames, GetIOStandardIndex());
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

HRESULT TTovikAbstractDeviceIOStandard::GetParamName(WideString& Result) {
  Result.clear();
  try {
    Result = Entry(kIOStandardParameterNames, GetIOStandardIndex());
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

HRESULT TTovikAbstractDeviceIOStandard::GetSlewCount(int32_t& Result) {
  Result = 0;
  return S_OK;
}

HRESULT TTovikAbstractDeviceIOStandard::GetSlewValue(int32_t, WideString& Result) {
  Result.clear();
  return S_OK;
}

HRESULT TTovikAbstractDeviceIOStandard::GetDriveCount(int32_t& Result) {
  Result = 0;
  return S_OK;
}

HRESULT TTovikAbstractDeviceIOStandard::GetDriveStrength(int32_t, WideString& Result) {
  Result.clear();
  return S_OK;
}

}  // namespace tvk
