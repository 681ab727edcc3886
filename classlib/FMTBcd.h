#pragma once
// Binary-coded decimal numbers: a 34-byte record of up to 64 digits with a
// sign and a number of decimal places, exact where a double is not, and its
// variant kind (owned by Variant).
#include "ComRef.h"
#include "LocaleFormats.h"

#include <cstdint>
#include <string>

namespace tvk {

#pragma pack(push, 1)
struct TBcd {
  uint8_t Precision = 1;          // digits held, 1..64
  uint8_t SignSpecialPlaces = 0;  // bit 7 negative, bit 6 special, bits 0-5 decimal places
  uint8_t Fraction[32] = {};      // the digits, two to a byte, the first in the high nibble
};
#pragma pack(pop)
static_assert(sizeof(TBcd) == 34);

constexpr VARTYPE varFMTBcd = Variant::kFMTBcd;

Variant VarFMTBcdCreate(const TBcd& value);
bool VarIsFMTBcd(const Variant& v);
// Any value read as a BCD number; raises EVariantTypeCastError when it reads
// as none.
TBcd VarToBcd(const Variant& v);

// -1, 0 or 1 by value (zeros of either sign and trailing zeros compare equal).
int BcdCompare(const TBcd& a, const TBcd& b);
// Plain text of the number: an optional '-', the digits with the locale's
// decimal separator, no exponent, no trailing fraction zeros.
WideString BcdToStr(const TBcd& value);
// General: at most Precision significant digits; fixed: Digits places.
WideString BcdToStrF(const TBcd& value, TFloatFormat format, int precision, int digits);
// An optional sign, digits with one decimal separator (the locale's, or '.');
// false for anything else or more than 64 digits.
bool TryStrToBcd(const WideString& text, TBcd& value);
// Raises EConvertError for a text TryStrToBcd refuses.
TBcd StrToBcd(const WideString& text);
// Raises EConvertError for NaN and infinities.
TBcd DoubleToBcd(double value);
double BcdToDouble(const TBcd& value);

}  // namespace tvk
