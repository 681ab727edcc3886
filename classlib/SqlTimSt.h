#pragma once
// The SQL time stamp: a date and time as separate 16-bit fields and the
// milliseconds, and its variant kind (owned by Variant), read as a date-time.
#include "ComRef.h"
#include "Convert.h"

#include <cstdint>

namespace tvk {

#pragma pack(push, 1)
struct TSQLTimeStamp {
  int16_t Year = 0;
  uint16_t Month = 0;
  uint16_t Day = 0;
  uint16_t Hour = 0;
  uint16_t Minute = 0;
  uint16_t Second = 0;
  uint32_t Fractions = 0;  // milliseconds
};
#pragma pack(pop)
static_assert(sizeof(TSQLTimeStamp) == 16);

constexpr VARTYPE varSQLTimeStamp = Variant::kSQLTimeStamp;

Variant VarSQLTimeStampCreate(const TSQLTimeStamp& value);
bool VarIsSQLTimeStamp(const Variant& v);
// Any value read as a date-time; raises EVariantTypeCastError when it reads
// as none.
TSQLTimeStamp VarToSQLTimeStamp(const Variant& v);

TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime value);
// The all-zero stamp is 0; raises EConvertError for fields out of range.
TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& value);

}  // namespace tvk
