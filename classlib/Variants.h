#pragma once
// The toolkit's variants on the automation VARIANT: Null and empty, type
// tests, conversion to text and between kinds (the system's conversions, so
// numbers and dates read as the user's settings say), and one-dimensional
// arrays with lock and unlock.
#include "ComRef.h"
#include "Exception.h"

#include <cstddef>
#include <string>

namespace tvk {

// The kinds, by the toolkit's names.
enum : VARTYPE {
  varEmpty = VT_EMPTY, varNull = VT_NULL, varSmallint = VT_I2, varInteger = VT_I4, varSingle = VT_R4,
  varDouble = VT_R8, varCurrency = VT_CY, varDate = VT_DATE, varOleStr = VT_BSTR, varBoolean = VT_BOOL,
  varVariant = VT_VARIANT, varShortInt = VT_I1, varByte = VT_UI1, varWord = VT_UI2, varLongWord = VT_UI4,
  varInt64 = VT_I8, varArray = VT_ARRAY, varByRef = VT_BYREF, varTypeMask = VT_TYPEMASK,
  // Owned by Variant itself (the system's routines know neither).
  varString = Variant::kAnsiString, varUString = Variant::kUString
};
// The record kinds (varFMTBcd, varSQLTimeStamp) are named by their units,
// FMTBcd and SqlTimSt; VarAsType converts to and from them.

// A variant that cannot be converted or used as asked.
class EVariantError : public Exception {
public:
  using Exception::Exception;
};
// A value that cannot be converted to the kind asked for; the only variant
// error that callers which try a conversion catch.
class EVariantTypeCastError : public EVariantError {
public:
  using EVariantError::EVariantError;
};

Variant Null();
Variant Unassigned();
// A date (days since 30 December 1899, the fraction the time of day).
Variant VarFromDateTime(double dateTime);
// A currency amount (four decimal places kept).
Variant VarFromCurrency(double amount);
// V read as a date: a string by TryVarStrToDateTime, any other value by the
// system's conversion; false, Date unchanged, for Null, Unassigned and a
// value that reads as no date.
bool TryVarToDateTime(const Variant& v, double& date);

VARTYPE VarType(const Variant& v);  // with varArray / varByRef bits
bool VarIsNull(const Variant& v);
bool VarIsEmpty(const Variant& v);
bool VarIsStr(const Variant& v);
bool VarIsArray(const Variant& v);
// Integer kinds and Boolean / those with single, double and currency too.
bool VarIsOrdinal(const Variant& v);
bool VarIsNumeric(const Variant& v);
// The value a by-reference variant refers to; any other variant as it is.
Variant VarResolveRef(const Variant& v);
// Equality and order of two values: nulls equal each other and nothing else
// and come first; a text against a number is read as a number; texts compare
// ordinally. -1, 0 or 1; raises EVariantTypeCastError when a value cannot be
// read as the other's kind, EVariantError for arrays and other kinds.
int VarCompareValue(const Variant& a, const Variant& b);
bool VarSameValue(const Variant& a, const Variant& b);

// V converted to kind AType by the system (the own text kinds through the
// automation string, by-reference variants resolved); raises
// EVariantTypeCastError when it cannot be.
Variant VarAsType(const Variant& v, VARTYPE type);
// Text read as a date and time by the system's variant conversion for the
// thread's locale; false, Date unchanged, when the system reads no date in it.
bool TryVarStrToDateTime(const WideString& text, double& date);
// The text of V: empty for Null and empty variants, "True"/"False" for
// Booleans; raises EVariantError for a value without a text (an array).
WideString VarToStr(const Variant& v);

// A one-dimensional array of Low..High (High = Low - 1: no elements) whose
// elements are of kind ElementType, each empty or zero.
Variant VarArrayCreate(int low, int high, VARTYPE elementType);
// Dimensions of an array variant, 0 for anything else.
int VarArrayDimCount(const Variant& v);
// Bounds of dimension Dim (1 is the first); raise EVariantError for a variant
// that is not an array or a dimension it lacks.
int VarArrayLowBound(const Variant& v, int dim);
int VarArrayHighBound(const Variant& v, int dim);
// The elements' memory, kept in place until the matching unlock.
void* VarArrayLock(const Variant& v);
void VarArrayUnlock(const Variant& v);
// Element Index of a one-dimensional array (Put: of variants). The system's
// arrays hold only its own kinds, so an own text kind goes in as an automation string.
void VarArrayPut(Variant& array, int index, const Variant& value);
Variant VarArrayGet(const Variant& array, int index);

// A byte array of Low 0 holding a copy of Size bytes at Data.
Variant VarArrayOfBytes(const void* data, std::size_t size);
// The bytes of a one-dimensional byte array; empty for any other value.
std::string VarArrayBytes(const Variant& v);

// Lock and unlock of an array variant's elements for one scope.
class TVarArrayLock {
public:
  explicit TVarArrayLock(const Variant& v) : FArray(v), FData(VarArrayLock(v)) {}
  ~TVarArrayLock() { VarArrayUnlock(FArray); }
  TVarArrayLock(const TVarArrayLock&) = delete;
  TVarArrayLock& operator=(const TVarArrayLock&) = delete;
  void* Data() const { return FData; }

private:
  const Variant& FArray;
  void* FData;
};

}  // namespace tvk
