#include "LocaleFormats.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace tvk {

namespace {

WideString LocaleText(LCID locale, LCTYPE type, const WideString& fallback) {
  wchar_t buffer[128]{};
  const int n = GetLocaleInfoW(locale, type, buffer, 128);
  return n > 1 ? WideString(buffer) : fallback;
}

wchar_t LocaleChar(LCID locale, LCTYPE type, wchar_t fallback) {
  const WideString text = LocaleText(locale, type, WideString());
  return text.empty() ? fallback : text[0];
}

int LocaleNumber(LCID locale, LCTYPE type, int fallback) {
  const WideString text = LocaleText(locale, type, WideString());
  std::int32_t value = 0;
  return TryStrToInt(text, value) ? value : fallback;
}

// The system's time pattern in the library's letters: its "tt" / "t" marker
// becomes "AMPM" so that the hour follows the 12-hour clock.
WideString LibraryTimeFormat(const WideString& pattern) {
  WideString out;
  bool marker = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] == L't') {
      if (!marker) out += L"AMPM";
      marker = true;
      continue;
    }
    out += pattern[i];
  }
  return out;
}

// Decimal digits of |Value| rounded to Count significant digits, without
// trailing zeros, and the power of ten of the first digit.
struct TDecimalDigits {
  std::string Digits;
  int Exponent = 0;
};

TDecimalDigits SignificantDigits(long double value, int count) {
  char buffer[80];
  __mingw_snprintf(buffer, sizeof buffer, "%.*Le", count - 1, static_cast<long double>(std::fabs(value)));
  TDecimalDigits d;
  const char* p = buffer;
  for (; *p && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') d.Digits += *p;
  if (*p == 'e') d.Exponent = std::atoi(p + 1);
  while (d.Digits.size() > 1 && d.Digits.back() == '0') d.Digits.pop_back();
  return d;
}

WideString Widen(const std::string& s) { return WideString(s.begin(), s.end()); }

// |Value| with Decimals decimals as "int.frac" (no sign, "." separator).
std::string FixedDigits(long double value, int decimals) {
  char buffer[128];
  const int n = __mingw_snprintf(buffer, sizeof buffer, "%.*Lf", decimals, static_cast<long double>(std::fabs(value)));
  if (n < 0 || n >= static_cast<int>(sizeof buffer)) return std::string();
  return buffer;
}

WideString GroupThousands(const std::string& integer, wchar_t separator) {
  WideString out;
  const std::size_t n = integer.size();
  for (std::size_t i = 0; i < n; ++i) {
    out += static_cast<wchar_t>(integer[i]);
    const std::size_t left = n - i - 1;
    if (left > 0 && left % 3 == 0) out += separator;
  }
  return out;
}

// Splits Format at ";" outside quotes.
std::vector<WideString> FormatSections(const WideString& format) {
  std::vector<WideString> sections(1);
  wchar_t quote = 0;
  for (wchar_t c : format) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == L'\'' || c == L'"') {
      quote = c;
    } else if (c == L';') {
      sections.emplace_back();
      continue;
    }
    sections.back() += c;
  }
  return sections;
}

bool IsDigitPlaceholder(wchar_t c) { return c == L'0' || c == L'#' || c == L'.' || c == L','; }

// One section applied to |Value|.
WideString FormatSection(const WideString& section, long double value, const TFormatSettings& settings) {
  WideString prefix, suffix;
  int intMin = 0, decMin = 0, decMax = 0;
  bool thousands = false, seenPoint = false, inNumber = false, afterNumber = false;
  wchar_t quote = 0;
  for (wchar_t c : section) {
    WideString& literal = inNumber || afterNumber ? suffix : prefix;
    if (quote) {
      if (c == quote)
        quote = 0;
      else
        literal += c;
      continue;
    }
    if (c == L'\'' || c == L'"') {
      if (inNumber) {
        inNumber = false;
        afterNumber = true;
      }
      quote = c;
      continue;
    }
    if (!afterNumber && IsDigitPlaceholder(c)) {
      inNumber = true;
      if (c == L'.') {
        seenPoint = true;
      } else if (c == L',') {
        if (!seenPoint) thousands = true;
      } else if (seenPoint) {
        ++decMax;
        if (c == L'0') decMin = decMax;
      } else if (c == L'0' || intMin > 0) {
        ++intMin;
      }
      continue;
    }
    if (inNumber) {
      inNumber = false;
      afterNumber = true;
    }
    (inNumber || afterNumber ? suffix : prefix) += c;
  }
  const std::string fixed = FixedDigits(value, decMax);
  const std::size_t point = fixed.find('.');
  std::string integer = fixed.substr(0, point);
  std::string fraction = point == std::string::npos ? std::string() : fixed.substr(point + 1);
  while (static_cast<int>(fraction.size()) > decMin && !fraction.empty() && fraction.back() == '0') fraction.pop_back();
  if (integer == "0" && intMin == 0) integer.clear();
  while (static_cast<int>(integer.size()) < intMin) integer.insert(integer.begin(), '0');
  WideString number = thousands ? GroupThousands(integer, settings.ThousandSeparator) : Widen(integer);
  if (!fraction.empty()) number += settings.DecimalSeparator + Widen(fraction);
  return prefix + number + suffix;
}

bool RoundsToZero(const WideString& text) {
  for (wchar_t c : text)
    if (c >= L'1' && c <= L'9') return false;
  return true;
}

}  // namespace

TFormatSettings& FormatSettings() {
  static TFormatSettings settings;
  return settings;
}

TFormatSettings LocaleFormatSettings(LCID locale) {
  TFormatSettings s;
  s.DecimalSeparator = LocaleChar(locale, LOCALE_SDECIMAL, s.DecimalSeparator);
  s.ThousandSeparator = LocaleChar(locale, LOCALE_STHOUSAND, s.ThousandSeparator);
  s.DateSeparator = LocaleChar(locale, LOCALE_SDATE, s.DateSeparator);
  s.TimeSeparator = LocaleChar(locale, LOCALE_STIME, s.TimeSeparator);
  s.ShortDateFormat = LocaleText(locale, LOCALE_SSHORTDATE, s.ShortDateFormat);
  s.LongDateFormat = LocaleText(locale, LOCALE_SLONGDATE, s.LongDateFormat);
  s.ShortTimeFormat = LibraryTimeFormat(LocaleText(locale, LOCALE_SSHORTTIME, L"h:mm tt"));
  s.LongTimeFormat = LibraryTimeFormat(LocaleText(locale, LOCALE_STIMEFORMAT, L"h:mm:ss tt"));
  s.TimeAMString = LocaleText(locale, LOCALE_S1159, s.TimeAMString);
  s.TimePMString = LocaleText(locale, LOCALE_S2359, s.TimePMString);
  s.CurrencyString = LocaleText(locale, LOCALE_SCURRENCY, s.CurrencyString);
  s.CurrencyFormat = LocaleNumber(locale, LOCALE_ICURRENCY, s.CurrencyFormat);
  s.CurrencyDecimals = LocaleNumber(locale, LOCALE_ICURRDIGITS, s.CurrencyDecimals);
  s.NegCurrFormat = LocaleNumber(locale, LOCALE_INEGCURR, s.NegCurrFormat);
  for (int m = 0; m < 12; ++m) {
    const auto i = static_cast<std::size_t>(m);
    s.LongMonthNames[i] = LocaleText(locale, static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + m), s.LongMonthNames[i]);
    s.ShortMonthNames[i] =
        LocaleText(locale, static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + m), s.ShortMonthNames[i]);
  }
  // The system counts its day names from Monday.
  for (int d = 0; d < 7; ++d) {
    const auto i = static_cast<std::size_t>((d + 1) % 7);
    s.LongDayNames[i] = LocaleText(locale, static_cast<LCTYPE>(LOCALE_SDAYNAME1 + d), s.LongDayNames[i]);
    s.ShortDayNames[i] = LocaleText(locale, static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + d), s.ShortDayNames[i]);
  }
  return s;
}

void ReadLocaleFormatSettings() { FormatSettings() = LocaleFormatSettings(LOCALE_USER_DEFAULT); }

bool& UpdateFormatSettings() {
  static bool update = true;
  return update;
}

WideString FloatToStrF(long double value, TFloatFormat format, int precision, int digits,
                       const TFormatSettings& settings) {
  if (std::isnan(value)) return L"NAN";
  if (std::isinf(value)) return value < 0 ? L"-INF" : L"INF";
  precision = std::clamp(precision, 1, 18);
  const WideString sign = std::signbit(value) && value != 0 ? L"-" : L"";
  if (format == TFloatFormat::ffFixed) {
    const std::string fixed = FixedDigits(value, std::clamp(digits, 0, 18));
    WideString text = Widen(fixed);
    for (wchar_t& c : text)
      if (c == L'.') c = settings.DecimalSeparator;
    return RoundsToZero(text) ? text : sign + text;
  }
  if (value == 0) return L"0";
  const TDecimalDigits d = SignificantDigits(value, precision);
  const WideString digitsText = Widen(d.Digits);
  if (d.Exponent >= precision || std::fabs(value) < 1e-5L) {
    WideString text = sign + digitsText.substr(0, 1);
    if (digitsText.size() > 1) text += settings.DecimalSeparator + digitsText.substr(1);
    WideString exponent = IntToStr(std::abs(d.Exponent));
    while (static_cast<int>(exponent.size()) < std::min(digits, 4)) exponent.insert(exponent.begin(), L'0');
    return text + L"E" + (d.Exponent < 0 ? L"-" : L"") + exponent;
  }
  if (d.Exponent < 0)
    return sign + L"0" + settings.DecimalSeparator + WideString(static_cast<std::size_t>(-d.Exponent - 1), L'0') +
           digitsText;
  const auto intLength = static_cast<std::size_t>(d.Exponent + 1);
  WideString integer = digitsText.substr(0, std::min(intLength, digitsText.size()));
  integer.append(intLength - integer.size(), L'0');
  const WideString fraction = digitsText.size() > intLength ? digitsText.substr(intLength) : WideString();
  return sign + integer + (fraction.empty() ? WideString() : settings.DecimalSeparator + fraction);
}

WideString FormatFloat(const WideString& format, long double value, const TFormatSettings& settings) {
  if (format.empty()) return FloatToStrF(value, TFloatFormat::ffGeneral, 15, 0, settings);
  const std::vector<WideString> sections = FormatSections(format);
  if (value < 0 && sections.size() >= 2 && !sections[1].empty()) return FormatSection(sections[1], value, settings);
  if (value == 0 && sections.size() >= 3 && !sections[2].empty()) return FormatSection(sections[2], value, settings);
  const WideString text = FormatSection(sections[0], value, settings);
  return value < 0 && !RoundsToZero(text) ? L"-" + text : text;
}

bool TryStrToFloat(std::wstring_view text, long double& value, const TFormatSettings& settings) {
  text = TrimBlanks(text);
  std::string ascii;
  std::size_t i = 0;
  auto digitsRun = [&] {
    const std::size_t start = i;
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') ascii += static_cast<char>(text[i++]);
    return i - start;
  };
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ascii += static_cast<char>(text[i++]);
  std::size_t mantissa = digitsRun();
  if (i < text.size() && text[i] == settings.DecimalSeparator) {
    ++i;
    ascii += '.';
    mantissa += digitsRun();
  }
  if (mantissa == 0) return false;
  if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
    ascii += 'e';
    ++i;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) ascii += static_cast<char>(text[i++]);
    if (digitsRun() == 0) return false;
  }
  if (i != text.size()) return false;
  errno = 0;
  const long double result = std::strtold(ascii.c_str(), nullptr);
  if (errno == ERANGE && std::isinf(result)) return false;
  value = result;
  return true;
}

long double StrToFloat(std::wstring_view text, const TFormatSettings& settings) {
  long double value = 0;
  if (!TryStrToFloat(text, value, settings))
    throw EConvertError(L"'" + WideString(text) + L"' is not a valid floating point value");
  return value;
}

namespace {

WideString LocaleMapCase(std::wstring_view text, DWORD flags) {
  if (text.empty()) return {};
  const int size = LCMapStringW(LOCALE_USER_DEFAULT, flags | LCMAP_LINGUISTIC_CASING, text.data(), int(text.size()),
                                nullptr, 0);
  WideString result(std::size_t(std::max(size, 0)), L'\0');
  if (size > 0)
    LCMapStringW(LOCALE_USER_DEFAULT, flags | LCMAP_LINGUISTIC_CASING, text.data(), int(text.size()), result.data(),
                 size);
  return result;
}

}  // namespace

WideString LocaleUpperCase(std::wstring_view text) { return LocaleMapCase(text, LCMAP_UPPERCASE); }
WideString LocaleLowerCase(std::wstring_view text) { return LocaleMapCase(text, LCMAP_LOWERCASE); }

}  // namespace tvk
