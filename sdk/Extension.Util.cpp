#include "Extension.Util.h"

#include "Convert.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

namespace tvk {

namespace {

constexpr wchar_t kDigits[] = L"0123456789ABCDEF";

int HexDigit(wchar_t c) {
  if (c >= L'0' && c <= L'9') return c - L'0';
  if (c >= L'A' && c <= L'F') return c - L'A' + 10;
  if (c >= L'a' && c <= L'f') return c - L'a' + 10;
  return -1;
}

bool StartsWith0x(std::wstring_view s) { return s.size() >= 2 && s[0] == L'0' && (s[1] == L'x' || s[1] == L'X'); }

// The text with its first 32 - BitCount characters blanked.
WideString BlankedBinary(std::uint32_t value, int bitCount) {
  WideString text = IntToBinary32(value);
  const int blanks = std::clamp(32 - bitCount, 0, 32);
  std::fill_n(text.begin(), blanks, L' ');
  return text;
}

// Half to even whatever rounding mode the host left the FPU in.
double RoundHalfEven(double v) {
  const double down = std::floor(v);
  const double rest = v - down;
  if (rest > 0.5) return down + 1;
  if (rest < 0.5) return down;
  return std::fmod(down, 2.0) == 0 ? down : down + 1;
}

}  // namespace

WideString IntToBinary32(std::uint32_t value) {
  WideString text(32, kDigits[0]);
  for (int i = 0; i < 32; ++i) text[31 - i] = kDigits[(value >> i) & 1];
  return text;
}

WideString FormatBinary(std::uint32_t value, int bitCount) {
  if (bitCount <= 0) bitCount = 32;
  return WideString(TrimBlanks(BlankedBinary(value, bitCount)));
}

void FormatBinaryGrouped(std::uint32_t value, int bitCount, WideString& text) {
  const WideString bits = BlankedBinary(value, bitCount);
  WideString grouped;
  for (int g = 0; g < 8; ++g) {
    if (g > 0) {
      // A separator next to a blanked bit is blanked too.
      const bool blank = bits[4 * g - 1] == L' ' || bits[4 * g] == L' ';
      grouped += blank ? L' ' : L'-';
    }
    grouped.append(bits, 4 * g, 4);
  }
  text = TrimBlanks(grouped);
}

WideString FormatHex0x(std::int64_t value, int digits) {
  std::uint64_t v = std::uint64_t(value);
  WideString hex;
  do {
    hex.insert(hex.begin(), kDigits[v & 0xF]);
    v >>= 4;
  } while (v != 0);
  if (int(hex.size()) < digits) hex.insert(0, std::size_t(digits) - hex.size(), L'0');
  return L"0x" + hex;
}

bool TryParseHex(std::wstring_view text, std::uint32_t& value) {
  value = 0;
  if (StartsWith0x(text)) text.remove_prefix(2);
  if (!text.empty() && text.front() == L'$') text.remove_prefix(1);
  text = TrimBlanks(text);
  // Leading zeros are fine; a value past 32 bits would silently become
  // another, plausible address, so it fails.
  std::uint64_t result = 0;
  for (wchar_t c : text) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    result = result << 4 | std::uint64_t(d);
    if (result > 0xFFFFFFFFu) return false;
  }
  value = std::uint32_t(result);
  return true;
}

std::uint32_t ParseLeadingHex(std::wstring_view text) {
  // Fixed-width record fields: the wrap past eight digits is kept.
  std::uint32_t result = 0;
  for (wchar_t c : text) {
    const int d = HexDigit(c);
    if (d < 0) break;
    result = result << 4 | std::uint32_t(d);
  }
  return result;
}

bool TryParseInt(std::wstring_view text, std::int32_t& value) {
  if (text.empty()) {
    value = 0;
    return true;
  }
  return TryStrToInt(text, value);
}

bool TryParseInt64(std::wstring_view text, std::int64_t& value) {
  if (text.empty()) {
    value = 0;
    return true;
  }
  return TryStrToInt64(text, value);
}

bool TryParseSizeValue(std::wstring_view text, std::int64_t& value) {
  value = 0;
  WideString s(text);
  std::erase(s, L'_');
  std::uint64_t multiplier = 1;
  if (!s.empty() && (s.back() == L'k' || s.back() == L'K')) {
    multiplier = 1024;
    s.pop_back();
  }
  // An "m" replaces a "k" that stood before it.
  if (!s.empty() && (s.back() == L'm' || s.back() == L'M')) {
    multiplier = 1048576;
    s.pop_back();
  }
  if (StartsWith0x(s)) {
    std::uint32_t n = 0;
    if (!TryParseHex(s, n)) return false;
    value = std::int64_t(std::uint64_t(n) * multiplier);
    return true;
  }
  std::int64_t n = 0;
  if (!TryParseInt64(s, n)) return false;
  value = std::int64_t(std::uint64_t(n) * multiplier);
  return true;
}

std::uint32_t ParseSizeValue(std::wstring_view text) {
  std::int64_t value = 0;
  return TryParseSizeValue(text, value) ? std::uint32_t(std::uint64_t(value)) : 0;
}

std::uint32_t ScaleColorByFactor(std::uint32_t color, double factor) {
  if (color & 0x80000000u) color = GetSysColor(int(color & 0xFF));
  std::uint32_t result = 0;
  for (int shift : {0, 8, 16}) {
    const double scaled = RoundHalfEven(double((color >> shift) & 0xFF) * factor);
    // NaN fails the first test and becomes 0.
    const std::uint32_t channel = !(scaled > 0) ? 0u : scaled >= 255 ? 255u : std::uint32_t(scaled);
    result |= channel << shift;
  }
  return result;
}

std::uint32_t* AllocZeroedLongArray(std::size_t count) { return new std::uint32_t[count](); }

void FreeLongArray(std::uint32_t* block) { delete[] block; }

std::uint32_t ShiftRightByBytes(unsigned n, std::uint32_t value) { return n < 4 ? value >> (8 * n) : 0; }

}  // namespace tvk
