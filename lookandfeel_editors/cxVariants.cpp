#include "cxVariants.h"

#include "FMTBcd.h"
#include "SqlTimSt.h"

#include "cxClasses.h"
#include "cxDataConsts.h"
#include "dxCore.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace tvk {

namespace {

// The component-streaming value tags.
enum TValueTag : uint8_t {
  vaNull = 0, vaList = 1, vaInt8 = 2, vaInt16 = 3, vaInt32 = 4, vaExtended = 5, vaString = 6, vaFalse = 8,
  vaTrue = 9, vaLString = 12, vaNil = 13, vaSingle = 15, vaCurrency = 16, vaDate = 17, vaWString = 18, vaInt64 = 19
};

[[noreturn]] void RaiseReadError() { throw EReadError(GetLocalizedResString(&cxSDataReadError)); }
[[noreturn]] void RaiseWriteError() { throw EWriteError(GetLocalizedResString(&cxSDataWriteError)); }

template <class T>
T ReadRaw(TStream& AStream) {
  T value{};
  AStream.ReadBuffer(&value, sizeof value);
  return value;
}

template <class T>
void WriteRaw(TStream& AStream, const T& AValue) {
  AStream.WriteBuffer(&AValue, sizeof AValue);
}

void WriteTag(TStream& AStream, TValueTag ATag) { WriteRaw<uint8_t>(AStream, ATag); }

// The smallest tagged form of an integer.
void WriteTaggedInteger(TStream& AStream, int64_t AValue) {
  if (AValue >= -128 && AValue <= 127) {
    WriteTag(AStream, vaInt8);
    WriteRaw(AStream, int8_t(AValue));
  } else if (AValue >= -32768 && AValue <= 32767) {
    WriteTag(AStream, vaInt16);
    WriteRaw(AStream, int16_t(AValue));
  } else if (AValue < std::numeric_limits<int32_t>::min() || AValue > std::numeric_limits<int32_t>::max()) {
    WriteTag(AStream, vaInt64);
    WriteRaw(AStream, AValue);
  } else {
    WriteTag(AStream, vaInt32);
    WriteRaw(AStream, int32_t(AValue));
  }
}

void WriteTaggedString(TStream& AStream, const std::string& AText) {
  if (AText.size() < 256) {
    WriteTag(AStream, vaString);
    WriteRaw(AStream, uint8_t(AText.size()));
  } else {
    if (AText.size() > std::numeric_limits<uint32_t>::max()) RaiseWriteError();
    WriteTag(AStream, vaLString);
    WriteRaw(AStream, uint32_t(AText.size()));
  }
  AStream.WriteBuffer(AText.data(), AText.size());
}

std::string ReadBytes(TStream& AStream, uint64_t ALength) {
  // Refused before allocating when the stream cannot hold that much.
  if (ALength > uint64_t(std::max<int64_t>(AStream.Size() - AStream.Position(), 0))) RaiseReadError();
  std::string text(std::size_t(ALength), '\0');
  AStream.ReadBuffer(text.data(), text.size());
  return text;
}

Variant MakeVariant(VARTYPE AType, const void* AValue, std::size_t ASize) {
  Variant v;
  std::memcpy(&v.Ptr()->llVal, AValue, ASize);
  v.Ptr()->vt = AType;
  return v;
}

template <class T>
Variant ReadScalar(TStream& AStream, VARTYPE AType) {
  const T value = ReadRaw<T>(AStream);
  return MakeVariant(AType, &value, sizeof value);
}

void ReadVariantAtDepth(TStream& AStream, Variant& V, int ADepth) {
  V = Null();
  const uint8_t tag = ReadRaw<uint8_t>(AStream);
  switch (tag) {
    case vaList: {
      if (ADepth >= kMaxStreamedListDepth) RaiseReadError();
      int64_t count;
      switch (ReadRaw<uint8_t>(AStream)) {
        case vaInt8: count = ReadRaw<int8_t>(AStream); break;
        case vaInt16: count = ReadRaw<int16_t>(AStream); break;
        case vaInt32: count = ReadRaw<int32_t>(AStream); break;
        default: count = ReadRaw<int64_t>(AStream); break;
      }
      // Every element takes its tag byte at least: a larger count is damage.
      const int64_t left = AStream.Size() - AStream.Position();
      if (count < 0 || count > left || count > std::numeric_limits<int32_t>::max()) RaiseReadError();
      V = VarArrayCreate(0, int(count) - 1, varVariant);
      for (int i = 0; i < int(count); ++i) {
        Variant element;
        ReadVariantAtDepth(AStream, element, ADepth + 1);
        VarArrayPut(V, i, element);
      }
      return;
    }
    case vaNull: return;
    case vaInt8: V = ReadScalar<int8_t>(AStream, varShortInt); return;
    case vaInt16: V = ReadScalar<int16_t>(AStream, varSmallint); return;
    case vaInt32: V = ReadScalar<int32_t>(AStream, varInteger); return;
    case vaInt64: V = ReadScalar<int64_t>(AStream, varInt64); return;
    case vaExtended: V = Variant(ReadExtendedFrom(AStream)); return;
    case vaSingle: V = ReadScalar<float>(AStream, varSingle); return;
    case vaCurrency: V = ReadScalar<int64_t>(AStream, varCurrency); return;
    case vaDate: V = ReadScalar<double>(AStream, varDate); return;
    case vaFalse: V = Variant(false); return;
    case vaTrue: V = Variant(true); return;
    case vaNil: V = Unassigned(); return;
    case vaString: V = Variant::FromAnsi(ReadBytes(AStream, ReadRaw<uint8_t>(AStream))); return;
    case vaLString: V = Variant::FromAnsi(ReadBytes(AStream, ReadRaw<uint32_t>(AStream))); return;
    case vaWString: V = Variant(ReadWideStringFrom(AStream)); return;
    default: RaiseReadError();
  }
}

}  // namespace

// ---- Comparison and classification

int CompareScalarVariants(const Variant& V1, const Variant& V2) {
  try {
    const Variant a = VarResolveRef(V1), b = VarResolveRef(V2);
    if (VarIsEmpty(a)) return VarIsEmpty(b) ? 0 : -1;
    if (VarIsEmpty(b)) return 1;
    if (VarSameValue(a, b)) return 0;
    if (VarIsNull(a)) return -1;
    if (VarIsNull(b)) return 1;
    return VarCompareValue(a, b) < 0 ? -1 : 1;
  } catch (const EVariantTypeCastError&) {
    return -1;
  }
}

int CompareVariantArrays(const Variant& V1, const Variant& V2) {
  const bool array1 = VarIsArray(V1), array2 = VarIsArray(V2);
  if (!array2) return 1;
  if (!array1) return -1;
  const int high1 = VarArrayHighBound(V1, 1), high2 = VarArrayHighBound(V2, 1);
  if (high1 != high2) return high1 - high2;
  for (int i = 0; i <= high1; ++i)
    if (const int result = CompareVariants(VarArrayGet(V1, i), VarArrayGet(V2, i))) return result;
  return 0;
}

int CompareVariants(const Variant& V1, const Variant& V2) {
  if (VarIsArray(V1) || VarIsArray(V2)) return CompareVariantArrays(V1, V2);
  return CompareScalarVariants(V1, V2);
}

bool VariantsEqual(const Variant& V1, const Variant& V2) { return CompareVariants(V1, V2) == 0; }

bool VariantsEqualAsText(const Variant& V1, const Variant& V2) {
  const Variant a = VarResolveRef(V1), b = VarResolveRef(V2);
  if (!VarIsNull(a) && !VarIsNull(b) && (a.Type() == varBoolean || b.Type() == varBoolean)) {
    try {
      return *VarAsType(a, varUString).UString() == *VarAsType(b, varUString).UString();
    } catch (const EVariantTypeCastError&) {
      return false;
    }
  }
  return VariantsEqual(a, b);
}

bool IsDateVarType(VARTYPE AType) { return AType == varDate || AType == varSQLTimeStamp; }
bool IsDateVariant(const Variant& V) { return IsDateVarType(VARTYPE(V.Type() & ~varByRef)); }
bool IsNumericOrBcdVariant(const Variant& V) { return VarIsNumeric(V) || VarIsFMTBcd(VarResolveRef(V)); }

bool IsNullOrEmptyText(const Variant& V) { return VarIsNull(V) || (VarIsStr(V) && VarToStr(V).empty()); }

// ---- The variant stream

void ReadVariantFromStream(TStream& AStream, Variant& V) { ReadVariantAtDepth(AStream, V, 0); }

void WriteVariantToStream(TStream& AStream, const Variant& V) {
  if (VarIsArray(V)) {
    if (VarArrayDimCount(V) != 1) RaiseWriteError();
    const int low = VarArrayLowBound(V, 1), high = VarArrayHighBound(V, 1);
    WriteTag(AStream, vaList);
    WriteTaggedInteger(AStream, int64_t(high) - low + 1);
    for (int i = low; i <= high; ++i) WriteVariantToStream(AStream, VarArrayGet(V, i));
    return;
  }
  const Variant value = VarResolveRef(V);
  const VARIANT& raw = *value.Ptr();
  switch (value.Type()) {
    case varEmpty: WriteTag(AStream, vaNil); return;
    case varNull: WriteTag(AStream, vaNull); return;
    case varSmallint: WriteTaggedInteger(AStream, raw.iVal); return;
    case varInteger: WriteTaggedInteger(AStream, raw.lVal); return;
    case varShortInt: WriteTaggedInteger(AStream, raw.cVal); return;
    case varByte: WriteTaggedInteger(AStream, raw.bVal); return;
    case varWord: WriteTaggedInteger(AStream, raw.uiVal); return;
    case varLongWord: WriteTaggedInteger(AStream, raw.ulVal); return;
    case varInt64: WriteTaggedInteger(AStream, raw.llVal); return;
    case varSingle: WriteTag(AStream, vaSingle); WriteRaw(AStream, raw.fltVal); return;
    case varDouble: WriteTag(AStream, vaExtended); WriteExtendedTo(AStream, raw.dblVal); return;
    case varCurrency: WriteTag(AStream, vaCurrency); WriteRaw(AStream, raw.cyVal.int64); return;
    case varDate: WriteTag(AStream, vaDate); WriteRaw(AStream, raw.date); return;
    case varOleStr:
    case varUString: WriteTag(AStream, vaWString); WriteWideStringTo(AStream, VarToStr(value)); return;
    case varBoolean: WriteTag(AStream, raw.boolVal ? vaTrue : vaFalse); return;
    case varString: WriteTaggedString(AStream, VariantToAnsiText(value)); return;
    case varSQLTimeStamp: WriteTag(AStream, vaDate); WriteRaw(AStream, VarAsType(value, varDate).Ptr()->date); return;
    default: break;  // a BCD number goes as its text
  }
  std::string text;
  try {
    text = WideToMultiByteText(VarToStr(value), CP_ACP, -1);
  } catch (const EVariantError&) {
    RaiseWriteError();
  }
  WriteTaggedString(AStream, text);
}

// ---- Extended values

TExtended10 DoubleToExtended(double AValue) {
  TExtended10 bytes{};
  uint16_t signExponent = std::signbit(AValue) ? 0x8000 : 0;
  uint64_t mantissa = 0;
  if (std::isnan(AValue) || std::isinf(AValue)) {
    uint64_t bits;
    std::memcpy(&bits, &AValue, sizeof bits);
    signExponent |= 0x7FFF;
    mantissa = 0x8000000000000000ull | ((bits & 0x000FFFFFFFFFFFFFull) << 11);
  } else if (AValue != 0) {
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(AValue), &exponent);  // [0.5, 1): exact in 64 bits
    mantissa = uint64_t(std::ldexp(fraction, 64));
    signExponent |= uint16_t(exponent - 1 + 16383);
  }
  std::memcpy(bytes.data(), &mantissa, 8);
  std::memcpy(bytes.data() + 8, &signExponent, 2);
  return bytes;
}

double ExtendedToDouble(const TExtended10& AValue) {
  uint64_t mantissa;
  uint16_t signExponent;
  std::memcpy(&mantissa, AValue.data(), 8);
  std::memcpy(&signExponent, AValue.data() + 8, 2);
  const bool negative = signExponent & 0x8000;
  const int exponent = signExponent & 0x7FFF;
  double result;
  if (exponent == 0x7FFF) {
    result = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity() : std::numeric_limits<double>::quiet_NaN();
  } else {
    // One rounding to 53 bits, then an exact scaling (or overflow to infinity).
    result = std::ldexp(double(mantissa), (exponent == 0 ? 1 : exponent) - 16383 - 63);
  }
  return negative ? -result : result;
}

// ---- Typed primitives

bool ReadBooleanFrom(TStream& AStream) { return ReadRaw<uint8_t>(AStream) != 0; }
void WriteBooleanTo(TStream& AStream, bool AValue) { WriteRaw<uint8_t>(AStream, AValue ? 1 : 0); }
int16_t ReadSmallIntFrom(TStream& AStream) { return ReadRaw<int16_t>(AStream); }
void WriteSmallIntTo(TStream& AStream, int16_t AValue) { WriteRaw(AStream, AValue); }
uint16_t ReadWordFrom(TStream& AStream) { return ReadRaw<uint16_t>(AStream); }
void WriteWordTo(TStream& AStream, uint16_t AValue) { WriteRaw(AStream, AValue); }
int32_t ReadIntegerFrom(TStream& AStream) { return ReadRaw<int32_t>(AStream); }
void WriteIntegerTo(TStream& AStream, int32_t AValue) { WriteRaw(AStream, AValue); }
int64_t ReadLargeIntFrom(TStream& AStream) { return ReadRaw<int64_t>(AStream); }
void WriteLargeIntTo(TStream& AStream, int64_t AValue) { WriteRaw(AStream, AValue); }
int64_t ReadCurrencyFrom(TStream& AStream) { return ReadRaw<int64_t>(AStream); }
void WriteCurrencyTo(TStream& AStream, int64_t AValue) { WriteRaw(AStream, AValue); }
double ReadDateTimeFrom(TStream& AStream) { return ReadRaw<double>(AStream); }
void WriteDateTimeTo(TStream& AStream, double AValue) { WriteRaw(AStream, AValue); }
double ReadExtendedFrom(TStream& AStream) { return ExtendedToDouble(ReadRaw<TExtended10>(AStream)); }
void WriteExtendedTo(TStream& AStream, double AValue) { WriteRaw(AStream, DoubleToExtended(AValue)); }

std::string ReadAnsiStringFrom(TStream& AStream) { return ReadBytes(AStream, ReadRaw<uint32_t>(AStream)); }

void WriteAnsiStringTo(TStream& AStream, const std::string& AValue) {
  if (AValue.size() > std::numeric_limits<uint32_t>::max()) RaiseWriteError();
  WriteRaw(AStream, uint32_t(AValue.size()));
  AStream.WriteBuffer(AValue.data(), AValue.size());
}

void WriteAnsiStringTo(TStream& AStream, const std::wstring& AValue) {
  WriteAnsiStringTo(AStream, WideToMultiByteText(AValue, CP_ACP, -1));
}

std::wstring ReadWideStringFrom(TStream& AStream) {
  const uint32_t length = ReadRaw<uint32_t>(AStream);
  if (uint64_t(length) * 2 > uint64_t(std::max<int64_t>(AStream.Size() - AStream.Position(), 0))) RaiseReadError();
  std::wstring text(length, L'\0');
  AStream.ReadBuffer(text.data(), std::size_t(length) * 2);
  return text;
}

void WriteWideStringTo(TStream& AStream, const std::wstring& AValue) {
  if (AValue.size() > std::numeric_limits<uint32_t>::max() / 2) RaiseWriteError();
  WriteRaw(AStream, uint32_t(AValue.size()));
  AStream.WriteBuffer(AValue.data(), AValue.size() * 2);
}

}  // namespace tvk
