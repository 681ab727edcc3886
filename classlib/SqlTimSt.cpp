#include "SqlTimSt.h"

#include "DateTimes.h"
#include "Variants.h"

#include <cmath>

namespace tvk {

Variant VarSQLTimeStampCreate(const TSQLTimeStamp& value) { return Variant::FromRecord(varSQLTimeStamp, &value); }

bool VarIsSQLTimeStamp(const Variant& v) { return v.Type() == varSQLTimeStamp; }

TSQLTimeStamp VarToSQLTimeStamp(const Variant& v) {
  return *static_cast<const TSQLTimeStamp*>(VarAsType(v, varSQLTimeStamp).Record(varSQLTimeStamp));
}

TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime value) {
  int year, month, day, hour, minute, second, msec;
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, msec);
  TSQLTimeStamp stamp;
  stamp.Year = int16_t(year);
  stamp.Month = uint16_t(month);
  stamp.Day = uint16_t(day);
  stamp.Hour = uint16_t(hour);
  stamp.Minute = uint16_t(minute);
  stamp.Second = uint16_t(second);
  stamp.Fractions = uint32_t(msec);
  return stamp;
}

TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& value) {
  if (value.Year == 0 && value.Month == 0 && value.Day == 0 && value.Hour == 0 && value.Minute == 0 &&
      value.Second == 0 && value.Fractions == 0)
    return 0;
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(value.Year, value.Month, value.Day, date) ||
      !TryEncodeTime(value.Hour, value.Minute, value.Second, int(value.Fractions), time))
    throw EConvertError(L"Invalid SQL time stamp");
  // Before the epoch the time of day counts away from zero.
  return date < 0 ? date - time : date + time;
}

}  // namespace tvk
