#pragma once
// Text <-> number conversions of the class library, and the case-blind
// comparison of ASCII names. They never consult the
// user's locale: the decimal separator is always "." and no digit grouping is
// read or written, so texts stored by one user read back for any other.
#include <cstdint>
#include <string>
#include <string_view>

#include "Exception.h"

namespace tvk {

// Raised by conversions that report a bad text as an error.
class EConvertError : public Exception {
public:
  using Exception::Exception;
};

// Integer text: leading blanks, an optional "-" or "+", then decimal digits or
// hexadecimal digits after "$", "x", "X", "0x" or "0X". Hexadecimal gives the
// bit pattern (up to the type's width), decimal must lie in the type's range.
// False, Value unchanged, on an empty text, a character left over or overflow.
bool TryStrToInt(std::wstring_view text, std::int32_t& value);
bool TryStrToInt64(std::wstring_view text, std::int64_t& value);

// Decimal number: [sign] digits [. digits] [E [sign] digits], "." only;
// blanks around it are ignored. False, Value unchanged, when the text is not
// such a number or does not fit a double.
bool TryStrToFloat(std::wstring_view text, double& value);

// The upper case of an ASCII letter; every other character as it is.
constexpr wchar_t AsciiUpper(wchar_t c) { return (c >= L'a' && c <= L'z') ? wchar_t(c - (L'a' - L'A')) : c; }
// Whole texts equal with only the ASCII letters folded: the rule of names
// (services, parameters, actions) that must match alike for every user.
bool SameAsciiText(std::wstring_view a, std::wstring_view b);

// The text without the blanks and control characters at either end.
std::wstring_view TrimBlanks(std::wstring_view text);

// Decimal text of an integer ("-" for negatives, no leading zeros).
WideString IntToStr(std::int64_t value);
// The shortest general form with up to 15 significant digits, "." as separator,
// exponent form for very large or very small magnitudes.
WideString FloatToStr(double value);

// UTF-8 and UTF-16 both ways, the library's own (for platforms whose code-page
// conversions know no UTF-8): an ill-formed byte, and an unpaired surrogate,
// becomes U+FFFD.
WideString UTF8Decode(std::string_view utf8);
std::string UTF8Encode(std::wstring_view text);
// Text in the system's ANSI code page and back: characters the code page
// cannot hold come out as the code page's default character.
std::string WideToAnsi(std::wstring_view text);
WideString AnsiToWide(std::string_view text);

// A date and time: days since 30 December 1899, the time of day as the fraction.
using TDateTime = double;
// The time of day as a fraction of a day; EConvertError "Invalid argument to
// time encode" outside 0:00:00.000 to 23:59:59.999.
TDateTime EncodeTime(int hour, int min, int sec, int msec);

}  // namespace tvk
