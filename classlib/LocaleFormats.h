#pragma once
// The user's number, currency and date conventions (read from the locale at
// start-up and again on a settings change; tests put their own in place) and
// the texts of numbers that follow them: general and fixed formats, pattern
// formatting with sections, quoted literals and digit grouping, and reading a
// number with the locale's decimal separator into an 80-bit long double.
#include "Convert.h"

#include <windows.h>

#include <array>

namespace tvk {

struct TFormatSettings {
  wchar_t DecimalSeparator = L'.';
  wchar_t ThousandSeparator = L',';
  wchar_t DateSeparator = L'/';
  wchar_t TimeSeparator = L':';
  WideString ShortDateFormat = L"M/d/yyyy";
  WideString LongDateFormat = L"dddd, MMMM d, yyyy";
  WideString ShortTimeFormat = L"h:mm AMPM";
  WideString LongTimeFormat = L"h:mm:ss AMPM";
  WideString TimeAMString = L"AM";
  WideString TimePMString = L"PM";
  WideString CurrencyString = L"$";
  int CurrencyFormat = 0;  // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
  int CurrencyDecimals = 2;
  int NegCurrFormat = 0;  // the system's 16 negative currency patterns, 0 "($1)")
  std::array<WideString, 12> ShortMonthNames{L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                             L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
  std::array<WideString, 12> LongMonthNames{L"January", L"February", L"March",     L"April",
                                            L"May",     L"June",     L"July",      L"August",
                                            L"September", L"October", L"November", L"December"};
  // Sunday first.
  std::array<WideString, 7> ShortDayNames{L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
  std::array<WideString, 7> LongDayNames{L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                         L"Thursday", L"Friday", L"Saturday"};
};

// The settings every locale-aware conversion reads (user-interface thread only).
TFormatSettings& FormatSettings();
// The settings of Locale as the system describes them.
TFormatSettings LocaleFormatSettings(LCID locale);
// Reads the user's settings into FormatSettings() (at start-up and on CM_WININICHANGE).
void ReadLocaleFormatSettings();
// The application's switch: whether the format settings follow a change of
// the user's settings (on unless the application turns it off).
bool& UpdateFormatSettings();

// Puts Settings in place for one scope and the previous ones back after it.
class TFormatSettingsScope {
public:
  explicit TFormatSettingsScope(const TFormatSettings& settings) : FSaved(FormatSettings()) {
    FormatSettings() = settings;
  }
  ~TFormatSettingsScope() { FormatSettings() = FSaved; }
  TFormatSettingsScope(const TFormatSettingsScope&) = delete;
  TFormatSettingsScope& operator=(const TFormatSettingsScope&) = delete;

private:
  TFormatSettings FSaved;
};

enum class TFloatFormat { ffGeneral, ffFixed };

// General: the shortest text with up to Precision significant digits, in
// exponent form ("1.5E20", at least Digits exponent digits) when the integer
// part has more than Precision digits or the magnitude is below 0.00001.
// Fixed: Digits decimals. The settings' decimal separator.
WideString FloatToStrF(long double value, TFloatFormat format, int precision, int digits,
                       const TFormatSettings& settings = FormatSettings());

// A pattern of up to three sections (positive;negative;zero): "0" a digit that
// is always written, "#" one written only when needed, "." the decimal
// separator, "," anywhere in the digits groups the integer part by thousands,
// text in single or double quotes and other characters as they stand. A
// negative value without a section of its own gets a leading "-".
WideString FormatFloat(const WideString& format, long double value,
                       const TFormatSettings& settings = FormatSettings());

// [blanks] [sign] digits [separator digits] [E [sign] digits] [blanks] with
// the settings' decimal separator. False, Value unchanged, for anything else.
bool TryStrToFloat(std::wstring_view text, long double& value, const TFormatSettings& settings);
// The same, raising EConvertError ("'x' is not a valid floating point value").
long double StrToFloat(std::wstring_view text, const TFormatSettings& settings = FormatSettings());

// Text in upper or lower case by the user's locale (its linguistic rules,
// not only the invariant table).
WideString LocaleUpperCase(std::wstring_view text);
WideString LocaleLowerCase(std::wstring_view text);

}  // namespace tvk
