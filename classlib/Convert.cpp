#include "Convert.h"

#include <charconv>
#include <limits>
#include <type_traits>

namespace tvk {

namespace {

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

template <class Int>
bool ParseInteger(std::wstring_view s, Int& value) {
  using U = std::make_unsigned_t<Int>;
  std::size_t i = 0;
  const std::size_t n = s.size();
  while (i < n && s[i] == L' ') ++i;
  bool negative = false;
  if (i < n && (s[i] == L'-' || s[i] == L'+')) negative = s[i++] == L'-';
  bool hex = false;
  if (i < n && (s[i] == L'$' || s[i] == L'x' || s[i] == L'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && s[i] == L'0' && (s[i + 1] == L'x' || s[i + 1] == L'X')) {
    hex = true;
    i += 2;
  }
  if (i == n) return false;

  U magnitude = 0;
  if (hex) {
    for (; i < n; ++i) {
      const int d = HexDigit(s[i]);
      if (d < 0 || magnitude > (std::numeric_limits<U>::max() >> 4)) return false;
      magnitude = U(magnitude << 4 | U(d));
    }
  } else {
    // The negative range reaches one further than the positive.
    const U limit = U(std::numeric_limits<Int>::max()) + (negative ? 1u : 0u);
    for (; i < n; ++i) {
      if (!IsDigit(s[i])) return false;
      const U d = U(s[i] - L'0');
      if (magnitude > (limit - d) / 10) return false;
      magnitude = U(magnitude * 10 + d);
    }
  }
  value = Int(negative ? U(U(0) - magnitude) : magnitude);
  return true;
}

}  // namespace

bool TryStrToInt(std::wstring_view text, std::int32_t& value) { return ParseInteger(text, value); }

bool TryStrToInt64(std::wstring_view text, std::int64_t& value) { return ParseInteger(text, value); }

bool TryStrToFloat(std::wstring_view text, double& value) {
  while (!text.empty() && text.front() <= L' ') text.remove_prefix(1);
  while (!text.empty() && text.back() <= L' ') text.remove_suffix(1);

  // Checked here rather than left to from_chars, which would also take
  // "inf", "nan" and other forms that are not decimal numbers.
  std::string ascii;
  std::size_t i = 0;
  const std::size_t n = text.size();
  if (i < n && (text[i] == L'-' || text[i] == L'+')) {
    if (text[i] == L'-') ascii += '-';
    ++i;
  }
  std::size_t digits = 0;
  for (; i < n && IsDigit(text[i]); ++i, ++digits) ascii += char(text[i]);
  if (i < n && text[i] == L'.') {
    ascii += '.';
    for (++i; i < n && IsDigit(text[i]); ++i, ++digits) ascii += char(text[i]);
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == L'e' || text[i] == L'E')) {
    ascii += 'e';
    ++i;
    if (i < n && (text[i] == L'-' || text[i] == L'+')) ascii += char(text[i++]);
    std::size_t expDigits = 0;
    for (; i < n && IsDigit(text[i]); ++i, ++expDigits) ascii += char(text[i]);
    if (expDigits == 0) return false;
  }
  if (i != n) return false;

  double result = 0;
  const char* end = ascii.data() + ascii.size();
  const auto [ptr, ec] = std::from_chars(ascii.data(), end, result, std::chars_format::general);
  if (ec != std::errc() || ptr != end) return false;
  value = result;
  return true;
}

static WideString Widen(const char* first, const char* last) { return WideString(first, last); }

WideString IntToStr(std::int64_t value) {
  char buffer[24];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return Widen(buffer, end);
}

WideString FloatToStr(double value) {
  char buffer[40];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
  return Widen(buffer, end);
}

bool SameAsciiText(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

}  // namespace tvk
