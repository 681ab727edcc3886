#include "FakeHostObject.h"

#include <memory>

namespace hostsim {

const IID IID_HostSupportService = {0x1DEBA58E, 0x0DF5, 0x4081, {0x93, 0xE9, 0x0C, 0x17, 0x32, 0xE7, 0xDF, 0xAE}};

// The log records an object argument by identity only: no reference, and
// never a call on it. The caller may free the object before the log goes (a
// dialog frees its own uncounted callback with itself).
static bool IsObject(const VARIANT& v) { return v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN; }

static void LogCopy(VARIANT& to, const VARIANT& from) {
  VariantInit(&to);
  if (IsObject(from)) to = from;
  else VariantCopy(&to, const_cast<VARIANT*>(&from));
}

static void LogClear(VARIANT& v) {
  if (IsObject(v)) VariantInit(&v);
  else VariantClear(&v);
}

static void ClearVariants(std::vector<VARIANT>& vs) {
  for (auto& v : vs) LogClear(v);
  vs.clear();
}

static void CopyVariants(std::vector<VARIANT>& to, const std::vector<VARIANT>& from) {
  ClearVariants(to);
  to.assign(from.size(), VARIANT{});
  for (std::size_t i = 0; i < from.size(); ++i) LogCopy(to[i], from[i]);
}

LoggedCall::LoggedCall(const LoggedCall& o)
    : Serial(o.Serial),
      Id(o.Id),
      Flags(o.Flags),
      ArgCount(o.ArgCount),
      NullArgArray(o.NullArgArray),
      NamedArgs(o.NamedArgs) {
  CopyVariants(Args, o.Args);
  CopyVariants(Values, o.Values);
}

LoggedCall& LoggedCall::operator=(const LoggedCall& o) {
  if (this != &o) {
    Serial = o.Serial;
    Id = o.Id;
    Flags = o.Flags;
    ArgCount = o.ArgCount;
    NullArgArray = o.NullArgArray;
    NamedArgs = o.NamedArgs;
    CopyVariants(Args, o.Args);
    CopyVariants(Values, o.Values);
  }
  return *this;
}

LoggedCall::~LoggedCall() {
  ClearVariants(Args);
  ClearVariants(Values);
}

long LoggedCall::Int(std::size_t k) const {
  VARIANT v;
  VariantInit(&v);
  VariantChangeType(&v, const_cast<VARIANT*>(&Values.at(k)), 0, VT_I4);
  return v.lVal;
}

long long LoggedCall::Int64(std::size_t k) const {
  VARIANT v;
  VariantInit(&v);
  VariantChangeType(&v, const_cast<VARIANT*>(&Values.at(k)), 0, VT_I8);
  return v.llVal;
}

std::wstring LoggedCall::Str(std::size_t k) const {
  const VARIANT& a = Values.at(k);
  if (a.vt == VT_BSTR) return a.bstrVal ? std::wstring(a.bstrVal, SysStringLen(a.bstrVal)) : std::wstring();
  VARIANT v;
  VariantInit(&v);
  if (FAILED(VariantChangeType(&v, const_cast<VARIANT*>(&a), 0, VT_BSTR))) return L"<?>";
  std::wstring s = v.bstrVal ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : std::wstring();
  VariantClear(&v);
  return s;
}

FakeHostObject::FakeHostObject() = default;
FakeHostObject::~FakeHostObject() = default;

namespace {
// Plain values: they must still be there while other modules detach at process exit.
std::size_t gCallsAfterTearDown = 0;
FakeHostObject::TearDownHook gTearDownHook = nullptr;
}  // namespace

std::size_t FakeHostObject::CallsAfterTearDown() { return gCallsAfterTearDown; }

void FakeHostObject::SetTearDownHook(TearDownHook hook) { gTearDownHook = hook; }

bool FakeHostObject::CalledAfterTearDown(const char* entry) const {
  if (!FTornDown) return false;
  ++gCallsAfterTearDown;
  if (gTearDownHook) gTearDownHook(entry);
  return true;
}

HRESULT STDMETHODCALLTYPE FakeHostObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (CalledAfterTearDown("QueryInterface")) {
    *out = nullptr;
    return RPC_E_DISCONNECTED;
  }
  ++FQueryInterfaces;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown)) *out = static_cast<IDispatch*>(this);
  else if (IsEqualIID(iid, IID_IDispatch) && FOffersDispatch) *out = static_cast<IDispatch*>(this);
  else if (IsEqualIID(iid, IID_HostSupportService) && FOffersSupport) *out = static_cast<IHostSupportService*>(this);
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE FakeHostObject::AddRef() {
  if (CalledAfterTearDown("AddRef")) return 0;
  ++FAddRefs;
  return ULONG(InterlockedIncrement(&FRefCount));
}

ULONG STDMETHODCALLTYPE FakeHostObject::Release() {
  if (CalledAfterTearDown("Release")) return 0;
  ++FReleases;
  LONG n = InterlockedDecrement(&FRefCount);
  if (n == 0) delete this;
  return ULONG(n);
}

HRESULT STDMETHODCALLTYPE FakeHostObject::GetTypeInfoCount(UINT*) {
  return CalledAfterTearDown("GetTypeInfoCount") ? RPC_E_DISCONNECTED : E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeHostObject::GetTypeInfo(UINT, LCID, ITypeInfo**) {
  return CalledAfterTearDown("GetTypeInfo") ? RPC_E_DISCONNECTED : E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE FakeHostObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return CalledAfterTearDown("GetIDsOfNames") ? RPC_E_DISCONNECTED : E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE FakeHostObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                                  VARIANT* result, EXCEPINFO* excep, UINT*) {
  if (CalledAfterTearDown("Invoke")) return RPC_E_DISCONNECTED;
  ++FInvokes;
  const unsigned argCount = params && params->rgvarg ? params->cArgs : 0;
  std::vector<VARIANT*> live;
  live.reserve(argCount);
  for (unsigned k = 1; k <= argCount; ++k) live.push_back(&params->rgvarg[argCount - k]);
  if (FLogging) {
    static std::uint64_t serial = 0;
    LoggedCall call;
    call.Serial = ++serial;
    call.Id = id;
    call.Flags = flags;
    call.ArgCount = params ? params->cArgs : 0;
    call.NullArgArray = !params || !params->rgvarg;
    if (params && params->rgdispidNamedArgs)
      call.NamedArgs.assign(params->rgdispidNamedArgs, params->rgdispidNamedArgs + params->cNamedArgs);
    for (VARIANT* v : live) {
      VARIANT copy;
      LogCopy(copy, *v);
      call.Args.push_back(copy);
      // Referenced objects and variants stay out of the values: their
      // referents are the caller's and gone after the call.
      VariantInit(&copy);
      const VARTYPE base = VARTYPE(v->vt & VT_TYPEMASK);
      if (!(v->vt & VT_BYREF)) LogCopy(copy, *v);
      else if (base != VT_DISPATCH && base != VT_UNKNOWN && base != VT_VARIANT) VariantCopyInd(&copy, v);
      call.Values.push_back(copy);
    }
    FCalls.push_back(std::move(call));
  }

  if (auto f = FFaults.find(id); f != FFaults.end()) {
    const Fault& fault = f->second;
    if (fault.Result == DISP_E_EXCEPTION && excep) {
      *excep = EXCEPINFO{};
      excep->bstrDescription = SysAllocString(fault.Description.c_str());
      excep->bstrSource = SysAllocString(fault.Source.c_str());
      excep->bstrHelpFile = SysAllocString(fault.HelpFile.c_str());
      excep->dwHelpContext = fault.HelpContext;
      excep->scode = fault.Scode;
    }
    return fault.Result;
  }
  auto h = FHandlers.find(id);
  if (h == FHandlers.end()) return FUnknownResult;
  VARIANT scratch;
  VariantInit(&scratch);
  HRESULT hr = h->second(live, result ? result : &scratch);
  VariantClear(&scratch);
  return hr;
}

HRESULT STDMETHODCALLTYPE FakeHostObject::SupportsService(BSTR ServiceName, unsigned char* Supported) {
  if (CalledAfterTearDown("SupportsService")) return RPC_E_DISCONNECTED;
  std::wstring name = ServiceName ? std::wstring(ServiceName, SysStringLen(ServiceName)) : std::wstring();
  bool match = false;
  for (const auto& s : FServices) match = match || (_wcsicmp(s.c_str(), name.c_str()) == 0);
  if (Supported) *Supported = match ? 1 : 0;
  return S_OK;
}

static VARTYPE KindType(char kind) {
  switch (kind) {
    case 'i': return VT_I4;
    case 'L': return VT_I8;
    case 's': return VT_BSTR;
    case 'b': return VT_BOOL;
    case 'o': return VT_DISPATCH;
    default: return VT_EMPTY;
  }
}

void FakeHostObject::Serve(DISPID id, std::string_view argKinds, Handler handler) {
  On(id, [this, id, kinds = std::string(argKinds), handler = std::move(handler)](std::vector<VARIANT*>& args,
                                                                                   VARIANT* result) -> HRESULT {
    if (args.size() != kinds.size()) {
      FKindErrors.push_back(L"DispID " + std::to_wstring(id) + L": " + std::to_wstring(args.size()) +
                            L" arguments, expected " + std::to_wstring(kinds.size()));
      return DISP_E_BADPARAMCOUNT;
    }
    for (std::size_t k = 0; k < kinds.size(); ++k) {
      if (args[k]->vt != KindType(kinds[k])) {
        FKindErrors.push_back(L"DispID " + std::to_wstring(id) + L": argument " + std::to_wstring(k + 1) +
                              L" has type " + std::to_wstring(args[k]->vt) + L", expected " +
                              std::to_wstring(KindType(kinds[k])));
        return DISP_E_TYPEMISMATCH;
      }
    }
    return handler(args, result);
  });
}

void SetResultInt(VARIANT* r, long value) {
  VariantClear(r);
  r->vt = VT_I4;
  r->lVal = value;
}

void SetResultBool(VARIANT* r, bool value) {
  VariantClear(r);
  r->vt = VT_BOOL;
  r->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void SetResultString(VARIANT* r, std::wstring_view value) {
  VariantClear(r);
  r->vt = VT_BSTR;
  r->bstrVal = SysAllocStringLen(value.data(), UINT(value.size()));
}

void SetResultObject(VARIANT* r, IDispatch* object) {
  VariantClear(r);
  r->vt = VT_DISPATCH;
  r->pdispVal = object;
  if (object) object->AddRef();
}

std::wstring ArgString(const VARIANT* arg) {
  if (!arg || arg->vt != VT_BSTR || !arg->bstrVal) return {};
  return std::wstring(arg->bstrVal, SysStringLen(arg->bstrVal));
}

void FakeHostObject::ReturnInt(DISPID id, long value) {
  On(id, [value](std::vector<VARIANT*>&, VARIANT* r) { SetResultInt(r, value); return S_OK; });
}

void FakeHostObject::ReturnInt64(DISPID id, long long value) {
  On(id, [value](std::vector<VARIANT*>&, VARIANT* r) { VariantClear(r); r->vt = VT_I8; r->llVal = value; return S_OK; });
}

void FakeHostObject::ReturnBool(DISPID id, bool value) {
  On(id, [value](std::vector<VARIANT*>&, VARIANT* r) { SetResultBool(r, value); return S_OK; });
}

void FakeHostObject::ReturnString(DISPID id, const std::wstring& value) {
  On(id, [value](std::vector<VARIANT*>&, VARIANT* r) { SetResultString(r, value); return S_OK; });
}

void FakeHostObject::ReturnDouble(DISPID id, double value) {
  On(id, [value](std::vector<VARIANT*>&, VARIANT* r) { VariantClear(r); r->vt = VT_R8; r->dblVal = value; return S_OK; });
}

void FakeHostObject::ReturnVariant(DISPID id, const VARIANT& value) {
  std::shared_ptr<VARIANT> held(new VARIANT, [](VARIANT* v) {
    VariantClear(v);
    delete v;
  });
  VariantInit(held.get());
  VariantCopy(held.get(), const_cast<VARIANT*>(&value));
  On(id, [held](std::vector<VARIANT*>&, VARIANT* r) {
    VariantClear(r);
    return VariantCopy(r, held.get());
  });
}

void FakeHostObject::Accept(DISPID id) {
  On(id, [](std::vector<VARIANT*>&, VARIANT*) { return S_OK; });
}

void FakeHostObject::ReturnObject(DISPID id, IDispatch* object) {
  On(id, [object](std::vector<VARIANT*>&, VARIANT* r) { SetResultObject(r, object); return S_OK; });
}

std::size_t FakeHostObject::CallCount(DISPID id) const {
  std::size_t n = 0;
  for (const auto& c : FCalls) n += c.Id == id;
  return n;
}

}  // namespace hostsim
