#pragma once
// Calls a served object as the host does (IDispatch::Invoke by identifier,
// arguments in the host's order), and the argument variants the host sends.
#include "ComRef.h"

#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

namespace procdrv_test {

inline VARIANT Str(const std::wstring& s) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(s.data(), UINT(s.size()));
  return v;
}

inline VARIANT I4(long x) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = x;
  return v;
}

inline VARIANT Bool(bool b) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BOOL;
  v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

// A reference the variant owns (cleared after the call).
inline VARIANT Obj(IDispatch* object) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = object;
  if (object) object->AddRef();
  return v;
}

struct TCall {
  HRESULT Hr;
  tvk::Variant Result;

  VARTYPE Type() const { return Result.Type(); }
  std::wstring Text() const {
    const VARIANT* v = Result.Ptr();
    return v->vt == VT_BSTR && v->bstrVal ? std::wstring(v->bstrVal, SysStringLen(v->bstrVal)) : std::wstring();
  }
  long Int() const { return Result.Ptr()->lVal; }
  bool Bool() const { return Result.Ptr()->vt == VT_BOOL && Result.Ptr()->boolVal != VARIANT_FALSE; }
  IDispatch* Dispatch() const { return Result.Ptr()->vt == VT_DISPATCH ? Result.Ptr()->pdispVal : nullptr; }
};

// Takes over Args (they are cleared after the call).
inline TCall Call(IDispatch* object, DISPID id, std::initializer_list<VARIANT> args = {}) {
  std::vector<VARIANT> rgvarg(std::rbegin(args), std::rend(args));
  DISPPARAMS params{rgvarg.empty() ? nullptr : rgvarg.data(), nullptr, UINT(rgvarg.size()), 0};
  TCall call{S_OK, {}};
  call.Hr = object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, call.Result.Ptr(),
                           nullptr, nullptr);
  for (VARIANT& v : rgvarg) VariantClear(&v);
  return call;
}

inline bool Supports(IDispatch* object, const std::wstring& name) {
  TCall c = Call(object, 1023, {Str(name)});
  return c.Hr == S_OK && c.Bool();
}

// The same object, whatever interface pointer each side gives.
inline bool SameObject(IUnknown* a, IUnknown* b) {
  if (!a || !b) return a == b;
  tvk::ComRef<IUnknown> ua, ub;
  a->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(ua.Receive()));
  b->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(ub.Receive()));
  return ua.Get() == ub.Get();
}

}  // namespace procdrv_test
