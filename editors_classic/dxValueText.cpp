#include "dxValueText.h"

#include "Variants.h"
#include "dxGrDate.h"

#include <windows.h>

#include <array>
#include <cmath>

namespace tvk {

namespace {

enum : int { kwToday, kwYesterday, kwTomorrow, kwSunday, kwSaturday = kwSunday + 6, kwFirst, kwSeventh = kwFirst + 6,
             kwBom, kwEom, kwNow };

bool SamePrefixNoCase(const WideString& text, const WideString& keyword) {
  if (keyword.empty() || text.size() < keyword.size()) return false;
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, text.c_str(), static_cast<int>(keyword.size()),
                        keyword.c_str(), static_cast<int>(keyword.size())) == CSTR_EQUAL;
}

TDateTime KeywordDate(int index) {
  const TDateTime today = Date();
  const int weekday = DayOfWeek(today);
  int year = 0, month = 0, day = 0;
  DecodeDate(today, year, month, day);
  if (index == kwToday) return today;
  if (index == kwYesterday) return today - 1;
  if (index == kwTomorrow) return today + 1;
  if (index >= kwSunday && index <= kwSaturday) {
    int diff = (index - kwSunday + 1) - weekday;
    if (diff < 0) diff += 7;
    return today + diff;
  }
  if (index >= kwFirst && index <= kwSeventh) return today - (weekday - (index - kwFirst + 1));
  if (index == kwBom) return EncodeDate(year, month, 1);
  if (index == kwEom) return EncodeDate(year, month, DaysInAMonth(year, month));
  return Now();
}

SYSTEMTIME ToSystemTime(TDateTime date) {
  SYSTEMTIME t{};
  int y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, ms = 0;
  DecodeDate(date, y, m, d);
  DecodeTime(date, h, n, s, ms);
  t.wYear = static_cast<WORD>(y);
  t.wMonth = static_cast<WORD>(m);
  t.wDay = static_cast<WORD>(d);
  t.wDayOfWeek = static_cast<WORD>(DayOfWeek(date) - 1);
  t.wHour = static_cast<WORD>(h);
  t.wMinute = static_cast<WORD>(n);
  t.wSecond = static_cast<WORD>(s);
  t.wMilliseconds = static_cast<WORD>(ms);
  return t;
}

bool IsDateLetter(wchar_t c) { return c == L'd' || c == L'M' || c == L'y'; }

}  // namespace

bool ParseDateKeyword(const WideString& text, TDateTime& date) {
  for (int i = 0; i < kDateKeywordCount; ++i) {
    const WideString& keyword = DateKeyword(i);
    if (!SamePrefixNoCase(text, keyword)) continue;
    TDateTime result = KeywordDate(i);
    const std::wstring_view rest = TrimBlanks(std::wstring_view(text).substr(keyword.size()));
    if (rest.size() >= 2 && (rest[0] == L'+' || rest[0] == L'-')) {
      std::int32_t days = 0;
      if (TryStrToInt(TrimBlanks(rest.substr(1)), days)) result += rest[0] == L'+' ? days : -days;
    }
    date = result;
    return true;
  }
  return false;
}

bool TextToDate(WideString text, TDateTime& date) {
  text = WideString(TrimBlanks(text));
  if (text.empty()) return false;
  if (FormatSettings().DateSeparator == L'.') {
    int replaced = 0;
    for (wchar_t& c : text)
      if (c == L'.' && replaced < 2) {
        c = L' ';
        ++replaced;
      }
  }
  if (ParseDateKeyword(text, date)) return true;
  return TryVarStrToDateTime(text, date);
}

WideString DateToText(TDateTime date) {
  if (date == NullDate) return WideString();
  const SYSTEMTIME t = ToSystemTime(date);
  wchar_t buffer[100]{};
  if (GetDateFormatW(GetThreadLocale(), 0, &t, nullptr, buffer, 100) == 0) return WideString();
  WideString text = buffer;
  if (TimeOfDay(date) != 0) {
    wchar_t time[100]{};
    if (GetTimeFormatW(GetThreadLocale(), 0, &t, nullptr, time, 100) != 0) text += L" " + WideString(time);
  }
  return text;
}

WideString DateToEditText(bool masked, TDateTime date) {
  if (date == NullDate) return WideString();
  return masked ? FormatDateTime(BuildDateDisplayFormat(), date) : DateToText(date);
}

WideString BuildDateEditMask() {
  const WideString& format = FormatSettings().ShortDateFormat;
  WideString mask = L"!";
  for (std::size_t i = 0; i < format.size();) {
    const wchar_t c = format[i];
    if (!IsDateLetter(c)) {
      mask += c;
      ++i;
      continue;
    }
    std::size_t run = 1;
    while (i + run < format.size() && format[i + run] == c) ++run;
    if (run <= 2)
      mask += L"99";
    else
      mask += c == L'y' ? L"9999" : L"lll";
    i += run;
  }
  return mask + L";1; ";
}

WideString BuildDateDisplayFormat() {
  const WideString& format = FormatSettings().ShortDateFormat;
  WideString out;
  for (std::size_t i = 0; i < format.size(); ++i) {
    const wchar_t c = format[i];
    out += c;
    if (c != L'd' && c != L'M') continue;
    const bool before = i > 0 && format[i - 1] == c;
    const bool after = i + 1 < format.size() && format[i + 1] == c;
    if (!before && !after) out += c;
  }
  return out;
}

WideString BuildCurrencyDisplayFormat() {
  const TFormatSettings& s = FormatSettings();
  WideString number = L",0.";
  number.append(static_cast<std::size_t>(std::max(s.CurrencyDecimals, 0)), L'0');
  WideString currency;
  for (wchar_t c : s.CurrencyString) {
    if (c == L'.' || c == L',')
      currency += WideString(L"'") + c + L"'";
    else
      currency += c;
  }
  WideString pattern = number;
  if (!currency.empty()) {
    switch (s.CurrencyFormat) {
      case 0: pattern = currency + number; break;
      case 1: pattern = number + currency; break;
      case 2: pattern = currency + L" " + number; break;
      case 3: pattern = number + L" " + currency; break;
      default: break;
    }
  }
  return pattern + L";-" + pattern;
}

bool TextToAmount(const WideString& text, long double& value) {
  WideString plain;
  for (wchar_t c : text)
    if (c != FormatSettings().ThousandSeparator) plain += c;
  long double result = 0;
  if (TryStrToFloat(plain, result, FormatSettings())) {
    const long double magnitude = std::fabs(result);
    if (result == 0 || (magnitude >= 5e-324L && magnitude <= 1.7e308L)) {
      value = result;
      return true;
    }
  }
  value = 0;
  return false;
}

}  // namespace tvk
