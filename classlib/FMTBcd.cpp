#include "FMTBcd.h"

#include "Convert.h"
#include "Variants.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tvk {

namespace {

constexpr int kMaxBcdDigits = 64;

// A number as its digits without leading zeros ("" is zero), the places
// among them, and the sign.
struct TDecimal {
  bool Negative = false;
  std::string Digits;
  int Places = 0;
};

TDecimal Unpack(const TBcd& value) {
  TDecimal d;
  const int precision = std::clamp(int(value.Precision), 0, kMaxBcdDigits);
  d.Places = std::min(int(value.SignSpecialPlaces & 0x3F), precision);
  d.Negative = (value.SignSpecialPlaces & 0x80) != 0;
  for (int i = 0; i < precision; ++i) {
    const uint8_t byte = value.Fraction[i / 2];
    d.Digits += char('0' + std::min((i % 2 ? byte : byte >> 4) & 0x0F, 9));
  }
  // Trailing fraction zeros and leading zeros say nothing.
  while (d.Places > 0 && !d.Digits.empty() && d.Digits.back() == '0') {
    d.Digits.pop_back();
    --d.Places;
  }
  const std::size_t first = d.Digits.find_first_not_of('0');
  d.Digits.erase(0, first == std::string::npos ? d.Digits.size() : first);
  if (d.Digits.empty()) d = {};
  return d;
}

TBcd Pack(TDecimal d) {
  if (int(d.Digits.size()) > kMaxBcdDigits) throw EConvertError(L"BCD overflow");
  // At least one digit left of the point.
  while (int(d.Digits.size()) <= d.Places) d.Digits.insert(d.Digits.begin(), '0');
  TBcd value;
  value.Precision = uint8_t(d.Digits.size());
  value.SignSpecialPlaces = uint8_t((d.Negative && d.Digits.find_first_not_of('0') != std::string::npos ? 0x80 : 0) | d.Places);
  for (std::size_t i = 0; i < d.Digits.size(); ++i)
    value.Fraction[i / 2] |= uint8_t((d.Digits[i] - '0') << (i % 2 ? 0 : 4));
  return value;
}

int CompareMagnitude(const TDecimal& a, const TDecimal& b) {
  if (a.Digits.empty() || b.Digits.empty()) return int(!a.Digits.empty()) - int(!b.Digits.empty());
  const int intA = int(a.Digits.size()) - a.Places, intB = int(b.Digits.size()) - b.Places;
  if (intA != intB) return intA < intB ? -1 : 1;
  const std::size_t length = std::max(a.Digits.size(), b.Digits.size());
  for (std::size_t i = 0; i < length; ++i) {
    const char x = i < a.Digits.size() ? a.Digits[i] : '0', y = i < b.Digits.size() ? b.Digits[i] : '0';
    if (x != y) return x < y ? -1 : 1;
  }
  return 0;
}

// Rounds to keep Places places, half away from zero.
// Places may be negative: the integer digits below are then zeros.
TDecimal RoundTo(TDecimal d, int places) {
  if (d.Places <= places) return d;
  while (int(d.Digits.size()) <= d.Places) d.Digits.insert(d.Digits.begin(), '0');
  const std::size_t keep = d.Digits.size() - std::size_t(d.Places - places);
  const bool up = d.Digits[keep] >= '5';
  d.Digits.resize(keep);
  d.Places = places;
  if (up) {
    int i = int(d.Digits.size()) - 1;
    for (; i >= 0 && d.Digits[std::size_t(i)] == '9'; --i) d.Digits[std::size_t(i)] = '0';
    if (i >= 0)
      ++d.Digits[std::size_t(i)];
    else
      d.Digits.insert(d.Digits.begin(), '1');
  }
  if (d.Places < 0) {
    d.Digits.append(std::size_t(-d.Places), '0');
    d.Places = 0;
  }
  return d;
}

WideString Text(const TDecimal& d, int minPlaces) {
  std::string digits = d.Digits;
  int places = d.Places;
  for (; places < minPlaces; ++places) digits += '0';
  while (int(digits.size()) <= places) digits.insert(digits.begin(), '0');
  WideString text;
  if (d.Negative && digits.find_first_not_of('0') != std::string::npos) text += L'-';
  const std::size_t point = digits.size() - std::size_t(places);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i == point) text += FormatSettings().DecimalSeparator;
    text += wchar_t(digits[i]);
  }
  return text;
}

bool Parse(const WideString& text, wchar_t separator, TDecimal& d) {
  d = {};
  std::size_t i = 0;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) d.Negative = text[i++] == L'-';
  bool point = false, anyDigit = false;
  for (; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c >= L'0' && c <= L'9') {
      d.Digits += char(c);
      anyDigit = true;
      if (point) ++d.Places;
    } else if (c == separator && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return anyDigit;
}

}  // namespace

Variant VarFMTBcdCreate(const TBcd& value) { return Variant::FromRecord(varFMTBcd, &value); }

bool VarIsFMTBcd(const Variant& v) { return v.Type() == varFMTBcd; }

TBcd VarToBcd(const Variant& v) { return *static_cast<const TBcd*>(VarAsType(v, varFMTBcd).Record(varFMTBcd)); }

int BcdCompare(const TBcd& a, const TBcd& b) {
  const TDecimal x = Unpack(a), y = Unpack(b);
  if (x.Negative != y.Negative) return x.Negative ? -1 : 1;
  const int order = CompareMagnitude(x, y);
  return x.Negative ? -order : order;
}

WideString BcdToStr(const TBcd& value) { return Text(Unpack(value), 0); }

WideString BcdToStrF(const TBcd& value, TFloatFormat format, int precision, int digits) {
  TDecimal d = Unpack(value);
  if (format == TFloatFormat::ffFixed) return Text(RoundTo(d, std::max(digits, 0)), std::max(digits, 0));
  // General: Precision significant digits, then no trailing zeros.
  const int significant = std::clamp(precision, 1, kMaxBcdDigits);
  if (int(d.Digits.size()) > significant) d = Unpack(Pack(RoundTo(d, d.Places - (int(d.Digits.size()) - significant))));
  return Text(d, 0);
}

bool TryStrToBcd(const WideString& text, TBcd& value) {
  TDecimal d;
  if (!Parse(text, FormatSettings().DecimalSeparator, d) && !Parse(text, L'.', d)) return false;
  const std::size_t first = d.Digits.find_first_not_of('0');
  d.Digits.erase(0, std::min(first == std::string::npos ? d.Digits.size() : first, d.Digits.size() - std::size_t(d.Places)));
  if (int(d.Digits.size()) > kMaxBcdDigits) return false;
  value = Pack(d);
  return true;
}

TBcd StrToBcd(const WideString& text) {
  TBcd value;
  if (!TryStrToBcd(text, value)) throw EConvertError(L"'" + text + L"' is not a valid BCD value");
  return value;
}

TBcd DoubleToBcd(double value) {
  if (!std::isfinite(value)) throw EConvertError(L"Invalid BCD value");
  // The shortest text that reads back as the same double.
  char buffer[64];
  for (int precision = 1; precision <= 17; ++precision) {
    std::snprintf(buffer, sizeof buffer, "%.*e", precision - 1, value);
    if (std::strtod(buffer, nullptr) == value) break;
  }
  // Mantissa digits and a decimal exponent.
  const std::string text = buffer;
  const std::size_t e = text.find('e');
  TDecimal d;
  d.Negative = text[0] == '-';
  for (char c : text.substr(0, e))
    if (c >= '0' && c <= '9') d.Digits += c;
  const int exponent = std::atoi(text.c_str() + e + 1);
  d.Places = int(d.Digits.size()) - 1 - exponent;
  if (d.Places < 0) {
    d.Digits.append(std::size_t(-d.Places), '0');
    d.Places = 0;
  }
  if (d.Places > 63) d = RoundTo(d, 63);
  return Pack(Unpack(Pack(d)));
}

double BcdToDouble(const TBcd& value) {
  const TDecimal d = Unpack(value);
  std::string text = d.Negative ? "-" : "";
  text += d.Digits.empty() ? "0" : d.Digits;
  text += "e-" + std::to_string(d.Places);
  return std::strtod(text.c_str(), nullptr);
}

}  // namespace tvk
