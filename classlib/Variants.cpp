#include "Variants.h"

#include <cstring>

namespace tvk {

namespace {

[[noreturn]] void InvalidVarCast() { throw EVariantError(L"Invalid variant type conversion"); }

// The array of an array variant (held or referenced), else null.
SAFEARRAY* ArrayOf(const Variant& v) {
  const VARIANT* p = v.Ptr();
  if (!(p->vt & VT_ARRAY)) return nullptr;
  if (p->vt & VT_BYREF) return p->pparray ? *p->pparray : nullptr;
  return p->parray;
}

SAFEARRAY* CheckedArray(const Variant& v) {
  SAFEARRAY* array = ArrayOf(v);
  if (!array) throw EVariantError(L"Variant is not an array");
  return array;
}

int Bound(const Variant& v, int dim, HRESULT(STDAPICALLTYPE* get)(SAFEARRAY*, UINT, LONG*)) {
  LONG bound = 0;
  if (dim < 1 || FAILED(get(CheckedArray(v), UINT(dim), &bound))) throw EVariantError(L"Variant array bounds error");
  return int(bound);
}

}  // namespace

Variant Null() {
  Variant v;
  v.Ptr()->vt = VT_NULL;
  return v;
}

Variant Unassigned() { return Variant(); }

Variant VarFromDateTime(double dateTime) {
  Variant v;
  v.Ptr()->vt = VT_DATE;
  v.Ptr()->date = dateTime;
  return v;
}

Variant VarFromCurrency(double amount) { return VarAsType(Variant(amount), VT_CY); }

bool TryVarToDateTime(const Variant& v, double& date) {
  if (VarIsStr(v)) return TryVarStrToDateTime(VarToStr(v), date);
  if (VarIsNull(v) || VarIsEmpty(v) || VarIsArray(v)) return false;
  Variant converted;
  if (FAILED(VariantChangeType(converted.Ptr(), const_cast<VARIANT*>(v.Ptr()), 0, VT_DATE))) return false;
  date = converted.Ptr()->date;
  return true;
}

VARTYPE VarType(const Variant& v) { return v.Type(); }
bool VarIsNull(const Variant& v) { return v.Type() == VT_NULL; }
bool VarIsEmpty(const Variant& v) { return v.Type() == VT_EMPTY; }
bool VarIsStr(const Variant& v) { return (v.Type() & ~VT_BYREF) == VT_BSTR; }
bool VarIsArray(const Variant& v) { return ArrayOf(v) != nullptr; }

Variant VarAsType(const Variant& v, VARTYPE type) {
  Variant r;
  if (FAILED(VariantChangeType(r.Ptr(), const_cast<VARIANT*>(v.Ptr()), VARIANT_ALPHABOOL, type))) InvalidVarCast();
  return r;
}

bool TryVarStrToDateTime(const WideString& text, double& date) {
  DATE result = 0;
  if (FAILED(VarDateFromStr(const_cast<OLECHAR*>(text.c_str()), GetThreadLocale(), 0, &result))) return false;
  date = result;
  return true;
}

WideString VarToStr(const Variant& v) {
  VARTYPE type = VARTYPE(v.Type() & ~VT_BYREF);
  if (type == VT_EMPTY || type == VT_NULL) return {};
  if (type == VT_BSTR) {
    const VARIANT* p = v.Ptr();
    BSTR b = (p->vt & VT_BYREF) ? (p->pbstrVal ? *p->pbstrVal : nullptr) : p->bstrVal;
    return b ? WideString(b, SysStringLen(b)) : WideString();
  }
  Variant text = VarAsType(v, VT_BSTR);
  BSTR b = text.Ptr()->bstrVal;
  return b ? WideString(b, SysStringLen(b)) : WideString();
}

Variant VarArrayCreate(int low, int high, VARTYPE elementType) {
  if (high < low - 1) throw EVariantError(L"Variant array bounds error");
  SAFEARRAYBOUND bound{ULONG(high - low + 1), LONG(low)};
  SAFEARRAY* array = SafeArrayCreate(elementType, 1, &bound);
  if (!array) throw EVariantError(L"Variant array cannot be created");
  Variant v;
  v.Ptr()->vt = VARTYPE(VT_ARRAY | elementType);
  v.Ptr()->parray = array;
  return v;
}

int VarArrayDimCount(const Variant& v) {
  SAFEARRAY* array = ArrayOf(v);
  return array ? int(SafeArrayGetDim(array)) : 0;
}

int VarArrayLowBound(const Variant& v, int dim) { return Bound(v, dim, &SafeArrayGetLBound); }
int VarArrayHighBound(const Variant& v, int dim) { return Bound(v, dim, &SafeArrayGetUBound); }

void* VarArrayLock(const Variant& v) {
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(CheckedArray(v), &data))) throw EVariantError(L"Variant or safe array is locked");
  return data;
}

void VarArrayUnlock(const Variant& v) {
  if (SAFEARRAY* array = ArrayOf(v)) SafeArrayUnaccessData(array);
}

Variant VarArrayOfBytes(const void* data, std::size_t size) {
  if (size > std::size_t(0x7FFFFFFF)) throw EVariantError(L"Variant array bounds error");
  Variant v = VarArrayCreate(0, int(size) - 1, VT_UI1);
  if (size) {
    TVarArrayLock lock(v);
    std::memcpy(lock.Data(), data, size);
  }
  return v;
}

std::string VarArrayBytes(const Variant& v) {
  SAFEARRAY* array = ArrayOf(v);
  VARTYPE type = VT_EMPTY;
  if (!array || SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetVartype(array, &type)) || type != VT_UI1) return {};
  const int count = VarArrayHighBound(v, 1) - VarArrayLowBound(v, 1) + 1;
  if (count <= 0) return {};
  TVarArrayLock lock(v);
  return std::string(static_cast<const char*>(lock.Data()), std::size_t(count));
}

}  // namespace tvk
