#pragma once
// Calls a served object as the host does: IDispatch::Invoke by identifier,
// arguments given in the host's order (argument 1 first) and placed in
// reverse in the parameter array; and the argument variants the host sends.
#include "ComRef.h"

#include <cstddef>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// ---- Arguments: each builder answers a variant the call takes over

// An empty variant of type Vt; the builders fill in its value.
inline VARIANT Typed(VARTYPE vt) {
  VARIANT v;
  VariantInit(&v);
  v.vt = vt;
  return v;
}

inline VARIANT Str(std::wstring_view s) {
  VARIANT v = Typed(VT_BSTR);
  v.bstrVal = SysAllocStringLen(s.data(), UINT(s.size()));
  return v;
}
inline VARIANT I4(long x) {
  VARIANT v = Typed(VT_I4);
  v.lVal = x;
  return v;
}
inline VARIANT I8(long long x) {
  VARIANT v = Typed(VT_I8);
  v.llVal = x;
  return v;
}
inline VARIANT Bool(bool b) {
  VARIANT v = Typed(VT_BOOL);
  v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}
// A reference the variant owns (released with it); null gives an empty object.
inline VARIANT Obj(IDispatch* object) {
  VARIANT v = Typed(VT_DISPATCH);
  v.pdispVal = object;
  if (object) object->AddRef();
  return v;
}
// By reference: the callee writes through Target.
inline VARIANT RefI4(long* target) {
  VARIANT v = Typed(VT_BYREF | VT_I4);
  v.plVal = target;
  return v;
}
inline VARIANT RefBool(VARIANT_BOOL* target) {
  VARIANT v = Typed(VT_BYREF | VT_BOOL);
  v.pboolVal = target;
  return v;
}

// ---- Calls

// Invokes Id with the Count variants at Args; takes them over (cleared after
// the call). Result may be null.
inline HRESULT Invoke(IDispatch* object, DISPID id, const VARIANT* args, std::size_t count, VARIANT* result,
                      WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET) {
  std::vector<VARIANT> reversed(std::make_reverse_iterator(args + count), std::make_reverse_iterator(args));
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, UINT(reversed.size()), 0};
  const HRESULT hr = object->Invoke(id, IID_NULL, 0, flags, &params, result, nullptr, nullptr);
  for (VARIANT& v : reversed) VariantClear(&v);
  return hr;
}

inline HRESULT Invoke(IDispatch* object, DISPID id, std::initializer_list<VARIANT> args, VARIANT* result,
                      WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET) {
  return Invoke(object, id, args.begin(), args.size(), result, flags);
}

// A call's outcome and its result variant.
struct TCall {
  HRESULT Hr;
  tvk::Variant Result;

  VARTYPE Type() const { return Result.Type(); }
  std::wstring Text() const {
    const VARIANT* v = Result.Ptr();
    return v->vt == VT_BSTR && v->bstrVal ? std::wstring(v->bstrVal, SysStringLen(v->bstrVal)) : std::wstring();
  }
  long Int() const { return Result.Ptr()->lVal; }
  long long Int64() const { return Result.Ptr()->llVal; }
  bool Bool() const { return Result.Ptr()->vt == VT_BOOL && Result.Ptr()->boolVal != VARIANT_FALSE; }
  // The object (no reference of its own), null unless the result is one.
  IDispatch* Dispatch() const { return Result.Ptr()->vt == VT_DISPATCH ? Result.Ptr()->pdispVal : nullptr; }
};

// Takes over Args (they are cleared after the call).
inline TCall Call(IDispatch* object, DISPID id, std::initializer_list<VARIANT> args = {}) {
  TCall call{S_OK, {}};
  call.Hr = Invoke(object, id, args, call.Result.Ptr());
  return call;
}

// The same with the arguments in a vector (taken over: cleared after the call).
inline TCall CallWith(IDispatch* object, DISPID id, std::vector<VARIANT>& args) {
  TCall call{S_OK, {}};
  call.Hr = Invoke(object, id, args.data(), args.size(), call.Result.Ptr());
  for (VARIANT& v : args) VariantInit(&v);  // cleared through the copies
  return call;
}

// SupportsService (identifier 1023) answered true.
inline bool Supports(IDispatch* object, std::wstring_view name) {
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

}  // namespace testsupport
