#include <gtest/gtest.h>
#include <windows.h>

#include "Extension.Util.h"
#include "XPTypes.h"

#include <cfenv>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>

using namespace tvk;

TEST(BinaryText, IntToBinary32) {
  EXPECT_EQ(IntToBinary32(0), WideString(32, L'0'));
  EXPECT_EQ(IntToBinary32(0x80000001u), L"1" + WideString(30, L'0') + L"1");
  EXPECT_EQ(IntToBinary32(0xA5u), WideString(24, L'0') + L"10100101");
}

TEST(BinaryText, FormatBinary) {
  struct Case {
    std::uint32_t Value;
    int Bits;
    WideString Text;
  } const cases[] = {
      {5, 3, L"101"},
      {5, 0, WideString(29, L'0') + L"101"},
      {5, -1, WideString(29, L'0') + L"101"},
      {5, 33, WideString(29, L'0') + L"101"},
      {0, 32, WideString(32, L'0')},  // only blanks are trimmed, not zeros
      {0xFF, 4, L"1111"},
      {0x80000000u, 1, L"0"},
      {0x80000000u, 32, L"1" + WideString(31, L'0')},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatBinary(c.Value, c.Bits), c.Text) << c.Value << "/" << c.Bits;
}

TEST(BinaryText, FormatBinaryGrouped) {
  struct Case {
    std::uint32_t Value;
    int Bits;
    const wchar_t* Text;
  } const cases[] = {
      {0xF, 4, L"1111"},
      {0x1F, 5, L"1-1111"},
      {0x2B, 6, L"10-1011"},
      {0x1FF, 8, L"1111-1111"},
      {0x1FF, 9, L"1-1111-1111"},
      {0x12345678, 32, L"0001-0010-0011-0100-0101-0110-0111-1000"},
      {0x12345678, 40, L"0001-0010-0011-0100-0101-0110-0111-1000"},
      {0x1, 1, L"1"},
      {0xFFFFFFFF, 0, L""},
      {0xFFFFFFFF, -3, L""},  // would blank more than the word: nothing
  };
  for (const auto& c : cases) {
    WideString text = L"stale";
    FormatBinaryGrouped(c.Value, c.Bits, text);
    EXPECT_EQ(text, c.Text) << c.Value << "/" << c.Bits;
  }
}

TEST(HexText, FormatHex0x) {
  EXPECT_EQ(FormatHex0x(255, 4), L"0x00FF");
  EXPECT_EQ(FormatHex0x(0x12345, 2), L"0x12345");
  EXPECT_EQ(FormatHex0x(0, 0), L"0x0");
  EXPECT_EQ(FormatHex0x(0xABCDEF, 8), L"0x00ABCDEF");
  EXPECT_EQ(FormatHex0x(-1, 1), L"0xFFFFFFFFFFFFFFFF");
  EXPECT_EQ(FormatHex0x(0x123456789ALL, 0), L"0x123456789A");
}

TEST(HexText, TryParseHex) {
  struct Case {
    const wchar_t* Text;
    bool Ok;
    std::uint32_t Value;
  } const cases[] = {
      {L"$FF", true, 255},
      {L"0x 1F", true, 31},
      {L"0X1f", true, 31},
      {L" 1F ", true, 31},
      {L"0x$10", true, 16},
      {L"FFFFFFFF", true, 0xFFFFFFFFu},
      {L"0x000000001F", true, 31},  // leading zeros do not count against 32 bits
      {L"", true, 0},
      {L"0x", true, 0},
      {L"1Z", false, 0},
      {L"-1", false, 0},
      {L"$0x1", false, 0},
      {L"100000000", false, 0},  // nine significant digits do not fit
      {L"0x123456789", false, 0},
  };
  for (const auto& c : cases) {
    std::uint32_t v = 0xDEAD;
    EXPECT_EQ(TryParseHex(c.Text, v), c.Ok) << c.Text;
    EXPECT_EQ(v, c.Value) << c.Text;
  }
}

TEST(HexText, ParseLeadingHex) {
  EXPECT_EQ(ParseLeadingHex(L"1A:XY"), 26u);
  EXPECT_EQ(ParseLeadingHex(L"ff"), 255u);
  EXPECT_EQ(ParseLeadingHex(L""), 0u);
  EXPECT_EQ(ParseLeadingHex(L"XY"), 0u);
  EXPECT_EQ(ParseLeadingHex(L"0x10"), 0u);  // no prefix: stops at the x
  EXPECT_EQ(ParseLeadingHex(L"123456789"), 0x23456789u);  // fixed-width fields: wraps
}

TEST(IntegerText, TryParseInt) {
  struct Case {
    const wchar_t* Text;
    bool Ok;
    std::int32_t Value;
  } const cases[] = {
      {L"", true, 0},           {L"42", true, 42},        {L"  42", true, 42},
      {L"$1F", true, 31},       {L"x1F", true, 31},       {L"0X1F", true, 31},
      {L"-0x10", true, -16},    {L"+5", true, 5},         {L"-2147483648", true, INT32_MIN},
      {L"42 ", false, 0},       {L"2147483648", false, 0}, {L"abc", false, 0},
      {L" ", false, 0},         {L"0x", false, 0},
  };
  for (const auto& c : cases) {
    std::int32_t v = 99;
    EXPECT_EQ(TryParseInt(c.Text, v), c.Ok) << c.Text;
    EXPECT_EQ(v, c.Ok ? c.Value : 99) << c.Text;
  }
}

TEST(IntegerText, TryParseInt64) {
  struct Case {
    const wchar_t* Text;
    bool Ok;
    std::int64_t Value;
  } const cases[] = {
      {L"", true, 0},
      {L"9223372036854775807", true, INT64_MAX},
      {L"-9223372036854775808", true, INT64_MIN},
      {L"$123456789", true, 0x123456789LL},
      {L"9223372036854775808", false, 0},
      {L"12q", false, 0},
  };
  for (const auto& c : cases) {
    std::int64_t v = 99;
    EXPECT_EQ(TryParseInt64(c.Text, v), c.Ok) << c.Text;
    EXPECT_EQ(v, c.Ok ? c.Value : 99) << c.Text;
  }
}

TEST(SizeText, TryParseSizeValue) {
  struct Case {
    const wchar_t* Text;
    bool Ok;
    std::int64_t Value;
  } const cases[] = {
      {L"4k", true, 4096},
      {L"4K", true, 4096},
      {L"0x10k", true, 16384},
      {L"1_000", true, 1000},
      {L"2M", true, 2097152},
      {L"1mk", true, 1048576},  // "m" after removing "k" replaces it
      {L"0X10", true, 16},
      {L"$10", true, 16},
      {L"-2k", true, -2048},
      {L"0xFFFFFFFFk", true, 0xFFFFFFFFLL * 1024},
      {L"0x8000_0000", true, 0x80000000LL},
      {L"", true, 0},
      {L"12q", false, 0},
      {L"1km", false, 0},
      {L"0x1Zk", false, 0},
      {L"0x123456789", false, 0},  // past 32 bits: not another address
  };
  for (const auto& c : cases) {
    std::int64_t v = 99;
    EXPECT_EQ(TryParseSizeValue(c.Text, v), c.Ok) << c.Text;
    EXPECT_EQ(v, c.Value) << c.Text;
  }
}

TEST(SizeText, ParseSizeValueKeepsLow32Bits) {
  EXPECT_EQ(ParseSizeValue(L"8m"), 8388608u);
  EXPECT_EQ(ParseSizeValue(L"0x2000_0000"), 0x20000000u);
  EXPECT_EQ(ParseSizeValue(L"-1"), 0xFFFFFFFFu);
  EXPECT_EQ(ParseSizeValue(L"0xFFFFFFFFk"), 0xFFFFFC00u);
  EXPECT_EQ(ParseSizeValue(L"4G"), 0u);
}

TEST(Colour, ScaleColorByFactorRoundsHalfToEven) {
  struct Case {
    std::uint32_t Color;
    double Factor;
    std::uint32_t Result;
  } const cases[] = {
      {0x0000FF, 0.5, 0x000080},    // 127.5 -> 128
      {0x030201, 0.5, 0x020100},    // 0.5 -> 0, 1 -> 1, 1.5 -> 2
      {0x0000FF, 3.0, 0x0000FF},    // clamped
      {0x102030, -1.0, 0x000000},   // negative gives black
      {0x405060, 1.0, 0x405060},
      {0x02112233, 1.0, 0x112233},  // only the three channels come back
      {0x0000FF, std::numeric_limits<double>::quiet_NaN(), 0},
      {0x010101, std::numeric_limits<double>::infinity(), 0xFFFFFF},
  };
  for (const auto& c : cases) EXPECT_EQ(ScaleColorByFactor(c.Color, c.Factor), c.Result) << std::hex << c.Color;
}

TEST(Colour, ScaleColorByFactorIgnoresRoundingMode) {
  const int old = std::fegetround();
  std::fesetround(FE_UPWARD);
  const std::uint32_t up = ScaleColorByFactor(0x030201, 0.5);
  std::fesetround(FE_DOWNWARD);
  const std::uint32_t down = ScaleColorByFactor(0x0000FF, 0.5);
  std::fesetround(old);
  EXPECT_EQ(up, 0x020100u);
  EXPECT_EQ(down, 0x000080u);
}

TEST(Colour, ScaleColorByFactorResolvesSystemColours) {
  const std::uint32_t window = GetSysColor(COLOR_WINDOW) & 0xFFFFFF;
  EXPECT_EQ(ScaleColorByFactor(0xFF000000u | COLOR_WINDOW, 1.0), window);
  EXPECT_EQ(ScaleColorByFactor(0xFF000000u | COLOR_WINDOW, 0.0), 0u);
}

TEST(WordArrays, AllocZeroedLongArray) {
  std::uint32_t* block = AllocZeroedLongArray(4096);
  ASSERT_NE(block, nullptr);
  for (std::size_t i = 0; i < 4096; ++i) ASSERT_EQ(block[i], 0u) << i;
  block[4095] = 0xFFFFFFFF;
  FreeLongArray(block);
  FreeLongArray(nullptr);
}

TEST(WordArrays, ShiftRightByBytes) {
  const std::uint32_t v = 0x12345678;
  EXPECT_EQ(ShiftRightByBytes(0, v), 0x12345678u);
  EXPECT_EQ(ShiftRightByBytes(1, v) & 0xFF, 0x56u);
  EXPECT_EQ(ShiftRightByBytes(2, v), 0x1234u);
  EXPECT_EQ(ShiftRightByBytes(3, v), 0x12u);
  EXPECT_EQ(ShiftRightByBytes(4, v), 0u);
}

TEST(Paths, AddTrailingBackslash) {
  struct Case {
    const wchar_t* Path;
    const wchar_t* Result;
  } const cases[] = {
      {L"", L""},
      {L"C:", L"C:\\"},
      {L"C:\\dir\\", L"C:\\dir\\"},
      {L"dir", L"dir\\"},
      {L"a/", L"a/\\"},  // only a backslash counts
      {L"\\\\", L"\\\\"},
  };
  for (const auto& c : cases) EXPECT_EQ(AddTrailingBackslash(c.Path), c.Result) << c.Path;
}
