#include "DateTimes.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace tvk {

namespace {

constexpr int kDaysTo1970 = 25569;  // 30 December 1899 to 1 January 1970
constexpr double kMSecsPerDay = 86400000.0;

std::optional<TDateTime>& ClockOverride() {
  static std::optional<TDateTime> moment;
  return moment;
}

// Days since 1 January 1970 of a proleptic Gregorian date.
long long DaysFromCivil(long long y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(long long z, int& year, int& month, int& day) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

WideString Padded(int value, std::size_t width) {
  WideString text = IntToStr(value);
  while (text.size() < width) text.insert(text.begin(), L'0');
  return text;
}

bool StartsWithNoCase(std::wstring_view text, std::size_t at, std::wstring_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::towlower(text[at + i]) != std::towlower(prefix[i])) return false;
  return true;
}

bool UsesTwelveHours(const WideString& format) {
  wchar_t quote = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const wchar_t c = format[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == L'\'' || c == L'"') {
      quote = c;
    } else if (StartsWithNoCase(format, i, L"am/pm") || StartsWithNoCase(format, i, L"a/p") ||
               StartsWithNoCase(format, i, L"ampm")) {
      return true;
    }
  }
  return false;
}

void AppendFormatted(WideString& out, const WideString& format, TDateTime value, const TFormatSettings& s,
                     int depth) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, msec);
  const bool twelve = UsesTwelveHours(format);
  bool afterHour = false;
  std::size_t i = 0;
  while (i < format.size()) {
    const wchar_t c = format[i];
    const wchar_t lower = static_cast<wchar_t>(std::towlower(c));
    std::size_t run = 1;
    while (i + run < format.size() && std::towlower(format[i + run]) == lower) ++run;
    if (c == L'\'' || c == L'"') {
      const std::size_t end = format.find(c, i + 1);
      out += format.substr(i + 1, (end == WideString::npos ? format.size() : end) - i - 1);
      i = end == WideString::npos ? format.size() : end + 1;
      continue;
    }
    if (lower == L'a') {
      const bool pm = hour >= 12;
      if (StartsWithNoCase(format, i, L"am/pm")) {
        out += pm ? L"pm" : L"am";
        i += 5;
      } else if (StartsWithNoCase(format, i, L"a/p")) {
        out += pm ? L"p" : L"a";
        i += 3;
      } else if (StartsWithNoCase(format, i, L"ampm")) {
        out += pm ? s.TimePMString : s.TimeAMString;
        i += 4;
      } else {
        out += c;
        ++i;
      }
      continue;
    }
    switch (lower) {
      case L'd':
        if (run >= 5 && depth == 0)
          AppendFormatted(out, s.ShortDateFormat, value, s, depth + 1);
        else if (run == 4)
          out += s.LongDayNames[static_cast<std::size_t>(DayOfWeek(value) - 1)];
        else if (run == 3)
          out += s.ShortDayNames[static_cast<std::size_t>(DayOfWeek(value) - 1)];
        else
          out += Padded(day, run);
        break;
      case L'm':
        if (afterHour && run <= 2)
          out += Padded(minute, run);
        else if (run >= 4)
          out += s.LongMonthNames[static_cast<std::size_t>(month - 1)];
        else if (run == 3)
          out += s.ShortMonthNames[static_cast<std::size_t>(month - 1)];
        else
          out += Padded(month, run);
        break;
      case L'y':
        out += run <= 2 ? Padded(year % 100, 2) : Padded(year, 4);
        break;
      case L'h': {
        int h = hour;
        if (twelve) {
          h %= 12;
          if (h == 0) h = 12;
        }
        out += Padded(h, std::min<std::size_t>(run, 2));
        break;
      }
      case L'n':
        out += Padded(minute, std::min<std::size_t>(run, 2));
        break;
      case L's':
        out += Padded(second, std::min<std::size_t>(run, 2));
        break;
      case L'z':
        out += Padded(msec, run >= 3 ? 3 : 1);
        break;
      case L't':
        if (depth == 0) AppendFormatted(out, s.LongTimeFormat, value, s, depth + 1);
        break;
      case L'/':
        out.append(run, s.DateSeparator);
        break;
      case L':':
        out.append(run, s.TimeSeparator);
        break;
      default:
        out.append(run, c);
        break;
    }
    if (lower == L'h')
      afterHour = true;
    else if (lower != L':' && lower != L' ' && lower != L'/')
      afterHour = false;
    i += run;
  }
}

// Reads a run of decimal digits at I; false when there is none.
bool ReadNumber(std::wstring_view text, std::size_t& i, int& value) {
  const std::size_t start = i;
  value = 0;
  while (i < text.size() && text[i] >= L'0' && text[i] <= L'9' && i - start < 4) value = value * 10 + (text[i++] - L'0');
  return i > start;
}

void SkipBlanks(std::wstring_view text, std::size_t& i) {
  while (i < text.size() && text[i] == L' ') ++i;
}

// 0 none, 1 AM, 2 PM.
int ReadMarker(std::wstring_view text, std::size_t& i, const TFormatSettings& s) {
  const std::wstring_view am[] = {s.TimeAMString, L"AM"};
  const std::wstring_view pm[] = {s.TimePMString, L"PM"};
  for (std::wstring_view m : pm)
    if (!m.empty() && StartsWithNoCase(text, i, m)) return i += m.size(), 2;
  for (std::wstring_view m : am)
    if (!m.empty() && StartsWithNoCase(text, i, m)) return i += m.size(), 1;
  return 0;
}

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month)) return false;
  date = static_cast<double>(DaysFromCivil(year, month, day) + kDaysTo1970);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime date = 0;
  if (!TryEncodeDate(year, month, day, date)) throw EConvertError(L"Invalid argument to date encode");
  return date;
}

void DecodeDate(TDateTime date, int& year, int& month, int& day) {
  CivilFromDays(static_cast<long long>(std::trunc(date)) - kDaysTo1970, year, month, day);
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
    return false;
  time = (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + msec) / kMSecsPerDay;
  return true;
}

void DecodeTime(TDateTime date, int& hour, int& minute, int& second, int& msec) {
  double whole = 0;
  long long ms = std::llround(std::fabs(std::modf(date, &whole)) * kMSecsPerDay);
  ms = std::min<long long>(ms, 86399999);
  msec = static_cast<int>(ms % 1000);
  second = static_cast<int>(ms / 1000 % 60);
  minute = static_cast<int>(ms / 60000 % 60);
  hour = static_cast<int>(ms / 3600000);
}

int DayOfWeek(TDateTime date) {
  const long long days = static_cast<long long>(std::trunc(date)) + 693594;
  return static_cast<int>(((days % 7) + 7) % 7) + 1;
}

TDateTime Now() {
  if (ClockOverride()) return *ClockOverride();
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return EncodeDate(t.wYear, t.wMonth, t.wDay) + EncodeTime(t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
}

TDateTime Date() { return std::trunc(Now()); }

void SetClockOverride(std::optional<TDateTime> moment) { ClockOverride() = moment; }

WideString FormatDateTime(const WideString& format, TDateTime value, const TFormatSettings& settings) {
  WideString out;
  AppendFormatted(out, format.empty() ? WideString(L"ddddd tt") : format, value, settings, 0);
  return out;
}

bool TryStrToTime(std::wstring_view text, TDateTime& time, const TFormatSettings& settings) {
  text = TrimBlanks(text);
  std::size_t i = 0;
  int marker = ReadMarker(text, i, settings);
  SkipBlanks(text, i);
  int parts[3] = {0, 0, 0};
  int msec = 0, count = 0;
  while (count < 3) {
    if (!ReadNumber(text, i, parts[count])) return false;
    ++count;
    if (i < text.size() && text[i] == settings.TimeSeparator)
      ++i;
    else
      break;
  }
  if (count == 3 && i < text.size() && text[i] == settings.DecimalSeparator) {
    ++i;
    if (!ReadNumber(text, i, msec)) return false;
  }
  SkipBlanks(text, i);
  if (marker == 0) marker = ReadMarker(text, i, settings);
  SkipBlanks(text, i);
  if (i != text.size()) return false;
  int hour = parts[0];
  if (marker != 0) {
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + (marker == 2 ? 12 : 0);
  }
  return TryEncodeTime(hour, parts[1], parts[2], msec, time);
}

TDateTime StrToTime(std::wstring_view text, const TFormatSettings& settings) {
  TDateTime time = 0;
  if (!TryStrToTime(text, time, settings)) throw EConvertError(L"'" + WideString(text) + L"' is not a valid time");
  return time;
}

}  // namespace tvk
