#include "Convert.h"

#include <charconv>
#include <limits>
#include <type_traits>

#include <windows.h>

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

namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf16(WideString& out, char32_t c) {
  if (c < 0x10000) {
    out += wchar_t(c);
  } else {
    c -= 0x10000;
    out += wchar_t(0xD800 + (c >> 10));
    out += wchar_t(0xDC00 + (c & 0x3FF));
  }
}

}  // namespace

WideString UTF8Decode(std::string_view utf8) {
  WideString out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    unsigned char lead = static_cast<unsigned char>(utf8[i]);
    int extra = lead < 0x80 ? 0 : lead >= 0xC2 && lead <= 0xDF ? 1 : lead >= 0xE0 && lead <= 0xEF ? 2
              : lead >= 0xF0 && lead <= 0xF4 ? 3 : -1;
    if (extra < 0) {
      out += wchar_t(kReplacement);
      ++i;
      continue;
    }
    char32_t c = extra == 0 ? lead : lead & (0x3F >> extra);
    // The shortest form only, no surrogates, nothing above U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (lead == 0xE0) low = 0xA0;
    else if (lead == 0xED) high = 0x9F;
    else if (lead == 0xF0) low = 0x90;
    else if (lead == 0xF4) high = 0x8F;
    std::size_t j = 1;
    for (; j <= std::size_t(extra); ++j) {
      if (i + j >= utf8.size()) break;
      unsigned char b = static_cast<unsigned char>(utf8[i + j]);
      if (b < (j == 1 ? low : 0x80) || b > (j == 1 ? high : 0xBF)) break;
      c = (c << 6) | (b & 0x3F);
    }
    if (j <= std::size_t(extra)) {
      out += wchar_t(kReplacement);  // the well-formed start of a sequence counts as one
      i += j;
      continue;
    }
    AppendUtf16(out, c);
    i += j;
  }
  return out;
}

std::string UTF8Encode(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = char16_t(text[i]);
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (char16_t(text[++i]) - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xF0 | (c >> 18));
      out += char(0x80 | ((c >> 12) & 0x3F));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

bool SameAsciiText(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

std::wstring_view TrimBlanks(std::wstring_view text) {
  while (!text.empty() && text.front() <= L' ') text.remove_prefix(1);
  while (!text.empty() && text.back() <= L' ') text.remove_suffix(1);
  return text;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
  if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 || msec > 999)
    throw EConvertError(L"Invalid argument to time encode");
  constexpr double kMillisecondsPerDay = 86400000.0;
  return ((hour * 3600 + min * 60 + sec) * 1000.0 + msec) / kMillisecondsPerDay;
}

std::string WideToAnsi(std::wstring_view text) {
  if (text.empty()) return {};
  int length = WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(std::size_t(length > 0 ? length : 0), '\0');
  if (length > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), out.data(), length, nullptr, nullptr);
  return out;
}

WideString AnsiToWide(std::string_view text) {
  if (text.empty()) return {};
  int length = MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0);
  WideString out(std::size_t(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), out.data(), length);
  return out;
}

}  // namespace tvk
