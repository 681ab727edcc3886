#include "ZUL.Types.h"

namespace tvk {

const IID IID_ISupportService = {0x1DEBA58E, 0x0DF5, 0x4081, {0x93, 0xE9, 0x0C, 0x17, 0x32, 0xE7, 0xDF, 0xAE}};

// The count is held at one while the object is constructed, so that a
// reference taken and dropped by a constructor cannot free it.
TAbstractSupportService::TAbstractSupportService() : FRefCount(1) {}

TAbstractSupportService::~TAbstractSupportService() = default;

void TAbstractSupportService::AfterConstruction() { InterlockedDecrement(&FRefCount); }

HRESULT STDMETHODCALLTYPE TAbstractSupportService::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch))
    *out = static_cast<IDispatch*>(this);
  else if (IsEqualIID(iid, IID_ISupportService))
    *out = static_cast<ISupportService*>(this);
  else {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE TAbstractSupportService::AddRef() { return ULONG(InterlockedIncrement(&FRefCount)); }

ULONG STDMETHODCALLTYPE TAbstractSupportService::Release() {
  LONG n = InterlockedDecrement(&FRefCount);
  if (n == 0) delete this;
  return ULONG(n);
}

HRESULT STDMETHODCALLTYPE TAbstractSupportService::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params,
                                                          VARIANT* result, EXCEPINFO*, UINT*) {
  if (id != kDispSupportsService) return kE_NOTIMPL;
  try {
    Bstr name(ServedArgString(TServedArgs(params).Arg(1)));
    ByteBool supported = 0;
    HRESULT hr = SupportsService(name.Get(), &supported);  // virtual: the object's own levels answer
    if (FAILED(hr)) return hr;
    ServedResultBool(result, supported != 0);
    return S_OK;
  } catch (...) {
    return kE_UNEXPECTED;
  }
}

HRESULT STDMETHODCALLTYPE TAbstractSupportService::SupportsService(BSTR, ByteBool* Supported) {
  if (Supported) *Supported = 0;
  return S_OK;
}

bool InstanceSupportsService(IUnknown* instance, const WideString& serviceName) {
  if (!instance) return false;
  ComRef<ISupportService> ss;
  if (FAILED(instance->QueryInterface(IID_ISupportService, reinterpret_cast<void**>(ss.Receive()))) || !ss)
    return false;
  Bstr name(serviceName);
  ByteBool supported = 0;
  CheckResult(ss->SupportsService(name.Get(), &supported));
  return supported != 0;
}

bool GetSupportedService(IUnknown* instance, const WideString& serviceName, ComRef<IUnknown>& service) {
  service.Reset();
  if (!InstanceSupportsService(instance, serviceName)) return false;
  service = ComRef<IUnknown>(instance);
  return true;
}

}  // namespace tvk
