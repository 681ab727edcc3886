#pragma once
// Dates and times as the toolkit keeps them: a double counting days since
// 30 December 1899, the fraction the time of day. Calendar arithmetic
// (Gregorian), the clock (which tests can stop at a moment of their choice),
// formatting by pattern and reading a time of day, after the user's settings.
#include "LocaleFormats.h"

#include <optional>

namespace tvk {

// Gregorian: divisible by 4, and not by 100 unless by 400.
bool IsLeapYear(int year);
// Days of Month (1..12) in Year.
int DaysInAMonth(int year, int month);

bool TryEncodeDate(int year, int month, int day, TDateTime& date);
// Raises EConvertError for a day that does not exist.
TDateTime EncodeDate(int year, int month, int day);
void DecodeDate(TDateTime date, int& year, int& month, int& day);
// EncodeTime (raising) is the conversions unit's.
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time);
// The time of day of Date (its fraction, the sign ignored), to the millisecond.
void DecodeTime(TDateTime date, int& hour, int& minute, int& second, int& msec);
// 1 for Sunday to 7 for Saturday.
int DayOfWeek(TDateTime date);

// The current moment, and its day without time.
TDateTime Now();
TDateTime Date();
// A stopped clock (tests); nullopt lets it run again.
void SetClockOverride(std::optional<TDateTime> moment);

// Pattern letters, case-blind: d dd (day), ddd dddd (day names), ddddd (short
// date format), m mm (month, or minutes right after an hour), mmm mmmm (month
// names), yy yyyy, h hh, n nn, s ss, z zzz, t (short time) tt (long time),
// am/pm, a/p, ampm (12-hour clock), "/" and ":" the settings' separators,
// quoted text as it stands.
WideString FormatDateTime(const WideString& format, TDateTime value,
                          const TFormatSettings& settings = FormatSettings());

// "h[:m[:s[.zzz]]]" with the settings' time separator and an optional AM or
// PM marker; raises EConvertError ("'x' is not a valid time") for anything else.
bool TryStrToTime(std::wstring_view text, TDateTime& time, const TFormatSettings& settings = FormatSettings());
TDateTime StrToTime(std::wstring_view text, const TFormatSettings& settings = FormatSettings());

}  // namespace tvk
