#include "ServedCall.h"

#include <utility>

#include "ZUL.DispatchFix.h"

#include <cstring>

namespace tvk {

namespace {

// A variant converted to one type, cleared when it goes. A host object where
// a value is expected fails the call: its value would be asked of the host.
class Converted {
public:
  Converted(const VARIANT& v, VARTYPE to) {
    VariantInit(&FVar);
    if (FAILED(ChangeValueType(FVar, v, to))) throw EServedCall();
  }
  ~Converted() { VariantClear(&FVar); }
  const VARIANT& Get() const { return FVar; }

private:
  VARIANT FVar;
};

void PrepareResult(VARIANT* result) { VariantClear(result); }

}  // namespace

WideString ServedArgString(const VARIANT& v) {
  if (v.vt == VT_BSTR) return v.bstrVal ? WideString(v.bstrVal, SysStringLen(v.bstrVal)) : WideString();
  if (v.vt == (VT_BYREF | VT_BSTR)) {
    if (!v.pbstrVal) throw EServedCall();
    BSTR s = *v.pbstrVal;
    return s ? WideString(s, SysStringLen(s)) : WideString();
  }
  Converted c(v, VT_BSTR);
  BSTR s = c.Get().bstrVal;
  return s ? WideString(s, SysStringLen(s)) : WideString();
}

int32_t ServedArgInt(const VARIANT& v) {
  if (v.vt == VT_I4) return v.lVal;
  return Converted(v, VT_I4).Get().lVal;
}

int64_t ServedArgInt64(const VARIANT& v) {
  if (v.vt == VT_I8) return v.llVal;
  if (v.vt == VT_I4) return v.lVal;
  return Converted(v, VT_I8).Get().llVal;
}

uint32_t ServedArgUInt(const VARIANT& v) { return uint32_t(ServedArgInt64(v)); }

bool ServedArgBool(const VARIANT& v) {
  switch (v.vt) {
    case VT_BOOL: return v.boolVal != 0;  // only 16 bits are set
    case VT_BYREF | VT_BOOL:
      if (!v.pboolVal) throw EServedCall();
      return *v.pboolVal != 0;
    case VT_EMPTY: return false;
    default: return v.lVal != 0;  // the first 32 bits of the value, unconverted
  }
}

ComRef<IDispatch> ServedArgDispatch(const VARIANT& v) {
  switch (v.vt) {
    case VT_EMPTY:
    case VT_NULL: return {};
    case VT_DISPATCH: return ComRef<IDispatch>(v.pdispVal);  // unchanged: identity matters
    case VT_BYREF | VT_DISPATCH: return ComRef<IDispatch>(v.ppdispVal ? *v.ppdispVal : nullptr);
    case VT_UNKNOWN:
    case VT_BYREF | VT_UNKNOWN: {
      IUnknown* unk = v.vt == VT_UNKNOWN ? v.punkVal : (v.ppunkVal ? *v.ppunkVal : nullptr);
      if (!unk) return {};
      // The answer's own reference is the one kept: the object may hand out
      // an interface that lives only as long as references to it do.
      ComRef<IDispatch> disp;
      if (FAILED(unk->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(disp.Receive()))) || !disp)
        throw EServedCall();
      return disp;
    }
    default: throw EServedCall();
  }
}

uint32_t ServedArgRaw(const VARIANT& v) {
  uint32_t raw = 0;
  std::memcpy(&raw, &v.lVal, sizeof raw);
  return raw;
}

void* ServedArgRef(const VARIANT& v, unsigned width, bool booleanOnly) {
  if (!(v.vt & VT_BYREF) || !v.byref) throw EServedCall();
  VARTYPE base = VARTYPE(v.vt & ~VT_BYREF);
  if (booleanOnly) {
    if (base != VT_BOOL) throw EServedCall();
    return v.byref;
  }
  unsigned size = 0;
  switch (base) {
    case VT_I4: case VT_UI4: case VT_INT: case VT_UINT: case VT_R4: size = 4; break;
    case VT_I2: case VT_UI2: case VT_BOOL: size = 2; break;
    case VT_I1: case VT_UI1: size = 1; break;
    case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE: size = 8; break;
    default: size = 0;
  }
  if (size != width) throw EServedCall();
  return v.byref;
}

TServedStringRef ServedArgStringRef(const VARIANT& v) {
  if (v.vt != (VT_BYREF | VT_BSTR) || !v.pbstrVal) throw EServedCall();
  return TServedStringRef(v.pbstrVal);
}

void TServedStringRef::Set(const WideString& value) const {
  BSTR text = AllocBstr(value);
  SysFreeString(std::exchange(*FTarget, text));
}

void ServedResultString(VARIANT* result, const WideString& value) {
  if (!result) return;
  BSTR s = AllocBstr(value);
  PrepareResult(result);
  result->vt = VT_BSTR;
  result->bstrVal = s;
}

void ServedResultBool(VARIANT* result, bool value) {
  if (!result) return;
  PrepareResult(result);
  result->vt = VT_BOOL;
  result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

void ServedResultInt(VARIANT* result, int32_t value) {
  if (!result) return;
  PrepareResult(result);
  result->vt = VT_I4;
  result->lVal = value;
}

void ServedResultInt64(VARIANT* result, int64_t value) {
  if (!result) return;
  PrepareResult(result);
  result->vt = VT_I8;
  result->llVal = value;
}

void ServedResultDouble(VARIANT* result, double value) {
  if (!result) return;
  PrepareResult(result);
  result->vt = VT_R8;
  result->dblVal = value;
}

void ServedResultDispatch(VARIANT* result, const TRecordBase& value) {
  if (!result) return;
  ComRef<IDispatch> disp;
  if (value.ToPointer()) {
    if (FAILED(value.ToPointer()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(disp.Receive()))) || !disp)
      throw EServedCall();
  }
  PrepareResult(result);
  result->vt = VT_DISPATCH;
  result->pdispVal = disp.Detach();
}

}  // namespace tvk
