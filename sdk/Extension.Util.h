#pragma once
// Numbers as text: the '0'/'1' strings of JTAG data registers, hexadecimal
// with and without prefixes, sizes with "k"/"m" suffixes; and a few small
// helpers on colours and word arrays. All pure functions.
#include "Exception.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tvk {

// 32 characters, bit 31 first.
WideString IntToBinary32(std::uint32_t value);
// The low BitCount bits, most significant first; BitCount <= 0 or > 32 gives all 32.
WideString FormatBinary(std::uint32_t value, int bitCount);
// The low BitCount bits in groups of four joined by "-", the groups aligned to
// the 32-bit word ("11-0101" for 6 bits). 0 or less gives an empty text, more
// than 32 all bits.
void FormatBinaryGrouped(std::uint32_t value, int bitCount, WideString& text);

// "0x" and upper-case hexadecimal, zero-padded to at least Digits digits.
WideString FormatHex0x(std::int64_t value, int digits);
// Hexadecimal with an optional "0x" or "$" prefix; blanks after the prefix
// are ignored; an empty text is 0. False (and 0) for any other character or
// for a value that does not fit 32 bits.
bool TryParseHex(std::wstring_view text, std::uint32_t& value);
// The hexadecimal digits at the start of Text, no prefix; wraps beyond 32 bits.
std::uint32_t ParseLeadingHex(std::wstring_view text);
// Decimal or "$"/"x"/"0x" hexadecimal with an optional sign; an empty text
// is 0. False, Value unchanged, for anything else or a value out of range.
bool TryParseInt(std::wstring_view text, std::int32_t& value);
bool TryParseInt64(std::wstring_view text, std::int64_t& value);
// A size or address as users and memory-map files write it: "_" ignored,
// "0x" hexadecimal or decimal, "k" (x1024) and "m" (x1048576) suffixes.
// False (and 0) when the text is not such a value.
bool TryParseSizeValue(std::wstring_view text, std::int64_t& value);
// The low 32 bits of TryParseSizeValue; 0 for an invalid text.
std::uint32_t ParseSizeValue(std::wstring_view text);

// Each channel times Factor, rounded half to even and clamped to 0..255.
// A system colour (bit 31 set) is resolved to its RGB value first.
std::uint32_t ScaleColorByFactor(std::uint32_t color, double factor);

// Count zeroed 32-bit words; free with FreeLongArray.
std::uint32_t* AllocZeroedLongArray(std::size_t count);
void FreeLongArray(std::uint32_t* block);

// Byte N of Value (N = 0 the least significant) in the low bits; 0 for N > 3.
std::uint32_t ShiftRightByBytes(unsigned n, std::uint32_t value);

}  // namespace tvk
