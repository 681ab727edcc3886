#pragma once
// Calls a served object as the host does: IDispatch::Invoke by identifier,
// arguments given in the host's order (argument 1 first).
#include "ComRef.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace catalogue_test {

inline VARIANT Str(const wchar_t* s) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(s);
  return v;
}

inline VARIANT I4(long x) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = x;
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
  IDispatch* Dispatch() const { return Result.Ptr()->vt == VT_DISPATCH ? Result.Ptr()->pdispVal : nullptr; }
};

// Takes over Args (they are cleared after the call).
inline TCall Call(IDispatch* object, DISPID id, std::initializer_list<VARIANT> args = {}) {
  std::vector<VARIANT> reversed(args.begin(), args.end());
  std::vector<VARIANT> rgvarg(reversed.rbegin(), reversed.rend());
  DISPPARAMS params{rgvarg.empty() ? nullptr : rgvarg.data(), nullptr, UINT(rgvarg.size()), 0};
  TCall call{S_OK, {}};
  call.Hr = object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, call.Result.Ptr(),
                           nullptr, nullptr);
  for (VARIANT& v : rgvarg) VariantClear(&v);
  return call;
}

}  // namespace catalogue_test
