#include "Variants.h"

#include "FMTBcd.h"
#include "SqlTimSt.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace tvk {

namespace {

[[noreturn]] void InvalidVarCast() { throw EVariantTypeCastError(L"Invalid variant type conversion"); }

std::wstring AnsiToWide(const std::string& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  std::wstring result(std::size_t(std::max(length, 0)), L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), result.data(), length);
  return result;
}

std::string WideToAnsi(const std::wstring& text) {
  if (text.empty()) return {};
  const int length = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string result(std::size_t(std::max(length, 0)), '\0');
  if (length > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), result.data(), length, nullptr, nullptr);
  return result;
}

// An own text kind as an automation string, a BCD number as a double, a
// time stamp as a date; anything else as it is.
Variant AsSystemKind(const Variant& v) {
  if (const std::string* a = v.Ansi()) return Variant(AnsiToWide(*a));
  if (const std::wstring* w = v.UString()) return Variant(*w);
  if (const void* bcd = v.Record(varFMTBcd)) return Variant(BcdToDouble(*static_cast<const TBcd*>(bcd)));
  if (const void* stamp = v.Record(varSQLTimeStamp)) {
    try {
      return VarFromDateTime(SQLTimeStampToDateTime(*static_cast<const TSQLTimeStamp*>(stamp)));
    } catch (const EConvertError&) {
      InvalidVarCast();
    }
  }
  return VarResolveRef(v);
}

Variant ToBcd(const Variant& v) {
  if (v.Record(varFMTBcd)) return v;
  TBcd value;
  if (VarIsStr(v)) {
    if (!TryStrToBcd(VarToStr(v), value)) InvalidVarCast();
  } else {
    try {
      value = DoubleToBcd(VarAsType(v, VT_R8).Ptr()->dblVal);
    } catch (const EConvertError&) {
      InvalidVarCast();
    }
  }
  return VarFMTBcdCreate(value);
}

Variant ToSQLTimeStamp(const Variant& v) {
  if (v.Record(varSQLTimeStamp)) return v;
  double date = 0;
  if (!TryVarToDateTime(v, date)) InvalidVarCast();
  return VarSQLTimeStampCreate(DateTimeToSQLTimeStamp(date));
}

bool IsIntegerKind(VARTYPE t) {
  switch (t) {
    case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_I8: case VT_UI8:
    case VT_INT: case VT_UINT: case VT_BOOL:
      return true;
    default:
      return false;
  }
}

template <class T>
int Order(T a, T b) { return a < b ? -1 : (b < a ? 1 : 0); }

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
  Variant source, converted;
  try {
    source = AsSystemKind(v);
  } catch (const EVariantTypeCastError&) {
    return false;
  }
  if (FAILED(VariantChangeType(converted.Ptr(), source.Ptr(), 0, VT_DATE))) return false;
  date = converted.Ptr()->date;
  return true;
}

VARTYPE VarType(const Variant& v) { return v.Type(); }
bool VarIsNull(const Variant& v) { return v.Type() == VT_NULL; }
bool VarIsEmpty(const Variant& v) { return v.Type() == VT_EMPTY; }
bool VarIsStr(const Variant& v) {
  const VARTYPE t = VARTYPE(v.Type() & ~VT_BYREF);
  return t == VT_BSTR || t == varString || t == varUString;
}
bool VarIsArray(const Variant& v) { return ArrayOf(v) != nullptr; }

bool VarIsOrdinal(const Variant& v) { return IsIntegerKind(VARTYPE(v.Type() & ~VT_BYREF)); }

bool VarIsNumeric(const Variant& v) {
  const VARTYPE t = VARTYPE(v.Type() & ~VT_BYREF);
  return IsIntegerKind(t) || t == VT_R4 || t == VT_R8 || t == VT_CY;
}

Variant VarResolveRef(const Variant& v) {
  if (!(v.Type() & VT_BYREF)) return v;
  Variant r;
  if (FAILED(VariantCopyInd(r.Ptr(), const_cast<VARIANT*>(v.Ptr())))) InvalidVarCast();
  return r;
}

Variant VarAsType(const Variant& v, VARTYPE type) {
  if (type == varString) return Variant::FromAnsi(WideToAnsi(VarToStr(v)));
  if (type == varUString) return Variant::FromUString(VarToStr(v));
  if (type == varFMTBcd) return ToBcd(v);
  if (type == varSQLTimeStamp) return ToSQLTimeStamp(v);
  const Variant source = AsSystemKind(v);
  Variant r;
  if (FAILED(VariantChangeType(r.Ptr(), const_cast<VARIANT*>(source.Ptr()), VARIANT_ALPHABOOL, type))) InvalidVarCast();
  return r;
}

int VarCompareValue(const Variant& a, const Variant& b) {
  // Two BCD numbers exactly, not as doubles.
  if (a.Record(varFMTBcd) && b.Record(varFMTBcd)) return BcdCompare(VarToBcd(a), VarToBcd(b));
  const Variant x = AsSystemKind(a), y = AsSystemKind(b);
  const VARTYPE tx = x.Type(), ty = y.Type();
  if (tx == VT_NULL || ty == VT_NULL) return Order(tx != VT_NULL, ty != VT_NULL);
  if ((tx | ty) & VT_ARRAY) throw EVariantError(L"Invalid variant operation");
  if (tx == VT_BSTR && ty == VT_BSTR) return Order(VarToStr(x).compare(VarToStr(y)), 0);
  if (IsIntegerKind(tx) && IsIntegerKind(ty))
    return Order(VarAsType(x, VT_I8).Ptr()->llVal, VarAsType(y, VT_I8).Ptr()->llVal);
  // Everything else (a text against a number too) as a double.
  return Order(VarAsType(x, VT_R8).Ptr()->dblVal, VarAsType(y, VT_R8).Ptr()->dblVal);
}

bool VarSameValue(const Variant& a, const Variant& b) { return VarCompareValue(a, b) == 0; }

bool TryVarStrToDateTime(const WideString& text, double& date) {
  DATE result = 0;
  if (FAILED(VarDateFromStr(const_cast<OLECHAR*>(text.c_str()), GetThreadLocale(), 0, &result))) return false;
  date = result;
  return true;
}

WideString VarToStr(const Variant& v) {
  VARTYPE type = VARTYPE(v.Type() & ~VT_BYREF);
  if (type == VT_EMPTY || type == VT_NULL) return {};
  if (const std::string* a = v.Ansi()) return AnsiToWide(*a);
  if (const std::wstring* w = v.UString()) return *w;
  if (const void* bcd = v.Record(varFMTBcd)) return BcdToStr(*static_cast<const TBcd*>(bcd));
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

void VarArrayPut(Variant& array, int index, const Variant& value) {
  Variant element = AsSystemKind(value);
  LONG at = index;
  if (FAILED(SafeArrayPutElement(CheckedArray(array), &at, element.Ptr())))
    throw EVariantError(L"Variant array bounds error");
}

Variant VarArrayGet(const Variant& array, int index) {
  SAFEARRAY* data = CheckedArray(array);
  VARTYPE type = VT_EMPTY;
  if (FAILED(SafeArrayGetVartype(data, &type))) throw EVariantError(L"Invalid variant operation");
  VARIANT element;
  VariantInit(&element);
  LONG at = index;
  // A variant element is copied whole; any other lands in the value union.
  void* target = type == VT_VARIANT ? static_cast<void*>(&element) : static_cast<void*>(&element.llVal);
  if (type != VT_VARIANT && (type == VT_DECIMAL || type == VT_RECORD)) throw EVariantError(L"Invalid variant operation");
  if (FAILED(SafeArrayGetElement(data, &at, target))) throw EVariantError(L"Variant array bounds error");
  if (type != VT_VARIANT) element.vt = type;
  return Variant::Adopt(element);
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
