#pragma once
// Comparison and classification of variants, and their self-describing
// stream form (a one-byte tag of the component-streaming value kinds, then
// the payload, little-endian), with the typed primitives the value types use.
#include "Streams.h"
#include "Variants.h"

#include <array>
#include <cstdint>
#include <string>

namespace tvk {

// Negative, 0 or positive. Empty comes before everything, null before every
// value; a value that cannot be compared with the other gives -1. These are
// no strict weak order: never hand them to a sorting algorithm.
int CompareVariants(const Variant& V1, const Variant& V2);
int CompareScalarVariants(const Variant& V1, const Variant& V2);
int CompareVariantArrays(const Variant& V1, const Variant& V2);
bool VariantsEqual(const Variant& V1, const Variant& V2);
// A Boolean against a non-null value: both compared as texts.
bool VariantsEqualAsText(const Variant& V1, const Variant& V2);
bool IsDateVarType(VARTYPE AType);
bool IsDateVariant(const Variant& V);
bool IsNumericOrBcdVariant(const Variant& V);
bool IsNullOrEmptyText(const Variant& V);

// Nesting of lists a stream may hold; deeper is refused as damaged.
constexpr int kMaxStreamedListDepth = 1000;
// V is null first; raises EReadError for an unknown tag or a damaged list,
// the stream's read error when it ends early.
void ReadVariantFromStream(TStream& AStream, Variant& V);
// Raises EWriteError for an array of more than one dimension or a value
// without a text.
void WriteVariantToStream(TStream& AStream, const Variant& V);

// An 80-bit extended value as its ten bytes, by hand: long double differs in
// size between the builds.
using TExtended10 = std::array<uint8_t, 10>;
TExtended10 DoubleToExtended(double AValue);
double ExtendedToDouble(const TExtended10& AValue);

bool ReadBooleanFrom(TStream& AStream);
void WriteBooleanTo(TStream& AStream, bool AValue);
int16_t ReadSmallIntFrom(TStream& AStream);
void WriteSmallIntTo(TStream& AStream, int16_t AValue);
uint16_t ReadWordFrom(TStream& AStream);
void WriteWordTo(TStream& AStream, uint16_t AValue);
int32_t ReadIntegerFrom(TStream& AStream);
void WriteIntegerTo(TStream& AStream, int32_t AValue);
int64_t ReadLargeIntFrom(TStream& AStream);
void WriteLargeIntTo(TStream& AStream, int64_t AValue);
// The currency's scaled integer (units of 1/10000).
int64_t ReadCurrencyFrom(TStream& AStream);
void WriteCurrencyTo(TStream& AStream, int64_t AValue);
double ReadDateTimeFrom(TStream& AStream);
void WriteDateTimeTo(TStream& AStream, double AValue);
double ReadExtendedFrom(TStream& AStream);
void WriteExtendedTo(TStream& AStream, double AValue);
// A 32-bit byte length, then the bytes.
std::string ReadAnsiStringFrom(TStream& AStream);
void WriteAnsiStringTo(TStream& AStream, const std::string& AValue);
// A UTF-16 text goes out in the system code page.
void WriteAnsiStringTo(TStream& AStream, const std::wstring& AValue);
// A 32-bit length in characters, then the UTF-16 characters.
std::wstring ReadWideStringFrom(TStream& AStream);
void WriteWideStringTo(TStream& AStream, const std::wstring& AValue);

}  // namespace tvk
