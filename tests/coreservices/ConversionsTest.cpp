// Code-page and variant-to-text conversions, character types, the library's
// own UTF-8 codec, and the small memory routines.
#include "CoreServicesTest.h"

#include "Convert.h"

#include <algorithm>
#include <cstring>
#include <string>

using namespace tvk;
using namespace std::string_literals;

namespace {

class Conversions : public ::testing::Test {
protected:
  void SetUp() override { InitOSVersionFlags(); }
};

TEST_F(Conversions, MultiByteToWideTextTakesTheLengthAsked) {
  struct Row {
    std::string Text;
    UINT CodePage;
    int Length;
    std::wstring Expected;
  };
  const Row rows[] = {
      {"abc", 1252, -1, L"abc"},
      {"abc", 1252, 2, L"ab"},
      {"abc", 1252, 3, L"abc"},            // the null left out: none in the result
      {"abc", 1252, 4, L"abc\0"s},         // taken in: one in the result
      {"abc", 1252, 100, L"abc\0"s},       // nothing past the text's own null is read
      {"abc", 1252, 0, L""},
      {"", 1252, -1, L""},
      {"\xE9t\xE9", 1252, -1, L"\u00E9t\u00E9"},
      {"A\xC3\xA9\xE2\x82\xAC", CP_UTF8, -1, L"A\u00E9\u20AC"},
      {"A\xC3\xA9\xE2\x82\xAC", CP_UTF8, 3, L"A\u00E9"},
      {"A\xC3\xA9\xE2\x82\xAC", CP_UTF8, 7, L"A\u00E9\u20AC\0"s},
      {"\xF0\x9F\x98\x80", CP_UTF8, -1, L"\xD83D\xDE00"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.Expected, MultiByteToWideText(row.Text, row.CodePage, row.Length))
        << row.Text << " " << row.CodePage << " " << row.Length;
}

TEST_F(Conversions, WideToMultiByteTextTakesTheLengthAsked) {
  struct Row {
    std::wstring Text;
    UINT CodePage;
    int Length;
    std::string Expected;
  };
  const Row rows[] = {
      {L"abc", 1252, -1, "abc"},
      {L"abc", 1252, 1, "a"},
      {L"abc", 1252, 3, "abc"},
      {L"abc", 1252, 4, "abc\0"s},
      {L"abc", 1252, 50, "abc\0"s},
      {L"", 1252, -1, ""},
      {L"\u00E9t\u00E9", 1252, -1, "\xE9t\xE9"},
      {L"A\u00E9\u20AC", CP_UTF8, -1, "A\xC3\xA9\xE2\x82\xAC"},
      {L"A\u00E9\u20AC", CP_UTF8, 2, "A\xC3\xA9"},
      {L"A\u00E9\u20AC", CP_UTF8, 4, "A\xC3\xA9\xE2\x82\xAC\0"s},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.Expected, WideToMultiByteText(row.Text, row.CodePage, row.Length))
        << row.CodePage << " " << row.Length;
}

// The library's own codec (the UTF-8 path where code pages lack UTF-8) agrees
// with the system's on well-formed text and replaces what is ill-formed.
TEST(UTF8Codec, AgreesWithTheSystemAndReplacesIllFormedInput) {
  const std::wstring texts[] = {L"", L"plain", L"\u00E9\u00FC\u00DF", L"\u20AC\u4E2D\uFFFD", L"\xD83D\xDE00!",
                                L"\u007F\u0080\u07FF\u0800\uFFFF"};
  for (const std::wstring& text : texts) {
    std::string system(text.size() * 4 + 1, '\0');
    system.resize(std::size_t(WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), system.data(),
                                                  int(system.size()), nullptr, nullptr)));
    EXPECT_EQ(system, UTF8Encode(text));
    EXPECT_EQ(text, UTF8Decode(system));
  }
  struct Row {
    std::string Bytes;
    std::wstring Expected;
  };
  const Row illFormed[] = {
      {"a\xC3", L"a\uFFFD"},                       // cut short
      {"\xC3(", L"\uFFFD("},                       // a lead without its follower
      {"\xC0\xAF", L"\uFFFD\uFFFD"},               // overlong
      {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},     // an encoded surrogate
      {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},  // above U+10FFFF
      {"\xE2\x82x", L"\uFFFDx"},                   // the valid start counts once
      {"\xFF", L"\uFFFD"},
  };
  for (const Row& row : illFormed) EXPECT_EQ(row.Expected, UTF8Decode(row.Bytes));
  EXPECT_EQ("\xEF\xBF\xBD" "a\xEF\xBF\xBD", UTF8Encode(L"\xD800" L"a\xDC00"));  // unpaired surrogates
}

TEST_F(Conversions, VariantsToText) {
  // A byte array: its bytes, as many as it has elements, null bytes too.
  Variant bytes = VarArrayCreate(5, 7, varByte);
  {
    TVarArrayLock lock(bytes);
    std::memcpy(lock.Data(), "A\0\xFF", 3);
  }
  EXPECT_EQ("A\0\xFF"s, VariantToAnsiText(bytes));
  EXPECT_EQ(L"A\0\u00FF"s, MultiByteToWideText(VariantToAnsiText(bytes), 1252, -1));

  // Any one-dimensional array is taken as bytes: one per element.
  Variant words = VarArrayCreate(0, 1, varInteger);
  {
    TVarArrayLock lock(words);
    const std::int32_t values[] = {0x44434241, 0x48474645};
    std::memcpy(lock.Data(), values, sizeof values);
  }
  EXPECT_EQ("AB", VariantToAnsiText(words));
  EXPECT_EQ("", VariantToAnsiText(VarArrayCreate(0, -1, varByte)));

  Variant text(L"text \u20AC");
  EXPECT_EQ(L"text \u20AC", VariantToWideText(text)) << "a string variant keeps every character";
  EXPECT_EQ(L"text \u20AC", VariantToText(text));
  EXPECT_EQ("plain", VariantToAnsiText(Variant(L"plain")));

  EXPECT_EQ("42", VariantToAnsiText(Variant(42)));
  EXPECT_EQ(L"-7", VariantToText(Variant(-7)));
  EXPECT_EQ(L"12345678901", VariantToText(Variant(std::int64_t(12345678901))));
  EXPECT_EQ(L"", VariantToText(Null()));
  EXPECT_EQ(L"", VariantToText(Unassigned()));

  Variant square;
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  square.Ptr()->vt = VT_ARRAY | VT_UI1;
  square.Ptr()->parray = SafeArrayCreate(VT_UI1, 2, bounds);
  EXPECT_THROW(VariantToAnsiText(square), EVariantError) << "two dimensions have no text";
}

TEST(CharTypes, OfALetterAndADigit) {
  uint16_t letter = GetCharTypeFlags(L'A'), digit = GetCharTypeFlags(L'1');
  EXPECT_EQ(C1_UPPER | C1_ALPHA | C1_XDIGIT, letter & (C1_UPPER | C1_LOWER | C1_ALPHA | C1_DIGIT | C1_XDIGIT));
  EXPECT_EQ(C1_DIGIT | C1_XDIGIT, digit & (C1_UPPER | C1_LOWER | C1_ALPHA | C1_DIGIT | C1_XDIGIT));
  EXPECT_NE(0, GetCharTypeFlags(L' ') & C1_SPACE);
}

TEST(SmallRoutines, MoveTakesTheSourceFirstAndAllowsOverlap) {
  struct Row {
    int From, To, Count;
    const char* Expected;
  };
  const Row rows[] = {
      {0, 2, 4, "ababcd"},  // forwards over itself
      {2, 0, 4, "cdefef"},  // backwards over itself
      {0, 3, 3, "abcabc"},
      {0, 2, 0, "abcdef"},
      {0, 2, -3, "abcdef"},
  };
  for (const Row& row : rows) {
    char buffer[] = "abcdef";
    MoveMemoryBlock(buffer + row.From, buffer + row.To, row.Count);
    EXPECT_STREQ(row.Expected, buffer) << row.From << " -> " << row.To;
  }
}

TEST(SmallRoutines, ZeroedBlocksSwapsAndEvents) {
  auto* block = static_cast<unsigned char*>(AllocZeroedBlock(64));
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(64, std::count(block, block + 64, 0));
  std::memset(block, 0xAB, 64);
  ZeroMemoryBlock(block + 8, 16);
  EXPECT_EQ(16, std::count(block, block + 64, 0));
  EXPECT_EQ(0xAB, block[7]);
  EXPECT_EQ(0xAB, block[24]);
  FreeMemoryBlock(block);
  EXPECT_EQ(nullptr, AllocZeroedBlock(0));
  FreeMemoryBlock(nullptr);

  int a = 1, b = -2;
  SwapIntegers(a, b);
  EXPECT_EQ(-2, a);
  EXPECT_EQ(1, b);

  TObject sender;
  TObject* seen = nullptr;
  CallNotifyEvent(&sender, TNotifyEvent());  // unassigned: nothing
  CallNotifyEvent(&sender, [&](TObject* s) { seen = s; });
  EXPECT_EQ(&sender, seen);
}

}  // namespace
