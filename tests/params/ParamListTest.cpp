#include <gtest/gtest.h>

#include "Convert.h"
#include "ZUL.Param.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>

using namespace tvk;

// Every allocation of this test program (the module's code linked into it
// too) is counted, so that a test can see whether a call allocated at all.
std::size_t gAllocations = 0;

void* operator new(std::size_t size) {
  ++gAllocations;
  if (void* block = std::malloc(size ? size : 1)) return block;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace {

WideString Canonical(std::wstring_view text) {
  TParameterList list;
  list.SetState(text);
  return list.GetState();
}

}  // namespace

TEST(ParameterList, ParsesAndWritesCanonicalForm) {
  struct Case {
    std::wstring_view Text;
    const wchar_t* Written;
  } const cases[] = {
      {L"A=1|B=2", L"A=1|B=2"},
      {L"A=x=y", L"A=x=y"},                 // only the first "=" splits
      {L"  A = 1 |\tB=2\r\n", L"A=1|B=2"},  // blanks and control characters trimmed
      {L"A=a b", L"A=a b"},                 // inner blanks kept
      {L"A|B=2", L"B=2"},                   // no "=": dropped
      {L"=5|B=2", L"B=2"},                  // empty name: dropped
      {L"  =5|B", L""},
      {L"|||", L""},
      {L"", L""},
      {L"A=", L"A= "},  // empty value written as one blank
      {L"A=1|", L"A=1"},
      {L"A=1|a=2", L"A=1|a=2"},  // duplicates kept in order
      {L"A=x|y=z", L"A=x|y=z"},  // "|" ends the pair: no quoting
      {std::wstring_view(L"A=1\0B=2", 7), L"A=1"},  // a zero character ends the text
  };
  for (const auto& c : cases) EXPECT_EQ(Canonical(c.Text), c.Written) << WideString(c.Text);
}

TEST(ParameterList, WrittenFormReadsBackUnchanged) {
  TParameterList list;
  list.SetState_AddParameter(L"Name", L"a=b");
  list.SetState_AddParameter(L"Empty", L"");
  list.SetState_AddParameter(L"name", L"second");
  const WideString written = list.GetState_ToString();

  TParameterList again;
  again.SetState_FromString(written);
  EXPECT_EQ(again.GetState(), written);
  WideString value = L"stale";
  EXPECT_TRUE(again.GetState_ParameterAsString(L"Empty", value));
  EXPECT_EQ(value, L"");
  EXPECT_TRUE(again.GetState_ParameterAsString(L"NAME", value));
  EXPECT_EQ(value, L"a=b");
}

TEST(ParameterList, SetStateReplacesPreviousItems) {
  TParameterList list;
  list.SetState(L"A=1|B=2");
  list.SetState(L"C=3");
  EXPECT_EQ(list.GetState(), L"C=3");
  list.ClearAllParameters();
  EXPECT_EQ(list.GetState(), L"");
}

TEST(ParameterList, LookupFoldsOnlyAsciiAndTakesFirstMatch) {
  TParameterList list;
  list.SetState(L"A=1|a=2|\u00C4=3");
  WideString value;
  EXPECT_TRUE(list.GetState_ParameterAsString(L"a", value));
  EXPECT_EQ(value, L"1");
  EXPECT_TRUE(list.GetState_ParameterAsString(L"  a\t", value));
  EXPECT_EQ(value, L"1");
  EXPECT_TRUE(list.GetState_ParameterAsString(L"\u00C4", value));
  EXPECT_EQ(value, L"3");
  value = L"stale";
  EXPECT_FALSE(list.GetState_ParameterAsString(L"\u00E4", value));  // no locale folding
  EXPECT_EQ(value, L"");
  EXPECT_EQ(list.GetState_ParameterByName(L"AA"), nullptr);
}

TEST(ParameterList, RemoveByNameRemovesFirstMatchOnly) {
  TParameterList list;
  list.SetState(L"A=1|B=2|a=3");
  EXPECT_TRUE(list.SetState_RemoveByName(L"a"));
  EXPECT_EQ(list.GetState(), L"B=2|a=3");
  EXPECT_FALSE(list.SetState_RemoveByName(L"X"));
  EXPECT_EQ(list.GetState(), L"B=2|a=3");
}

TEST(ParameterList, AddersWriteCanonicalText) {
  TParameterList list;
  list.SetState_AddParameter(L"  ", L"dropped");
  list.SetState_AddParameter(L" S ", L" text ");
  list.SetState_AddParameterAsString(L"S2", L"x");
  list.SetState_AddParameterAsBoolean(L"T", true);
  list.SetState_AddParameterAsBoolean(L"F", false);
  list.SetState_AddParameterAsInteger(L"I", -42);
  list.SetState_AddParameterAsInteger(L"Min", INT32_MIN);
  list.SetState_AddParameterAsInt64(L"L", 1234567890123456789LL);
  EXPECT_EQ(list.GetState(), L"S=text|S2=x|T=True|F=False|I=-42|Min=-2147483648|L=1234567890123456789");
}

TEST(ParameterList, DoubleWriterUsesShortestFormWithFifteenDigits) {
  struct Case {
    double Value;
    const wchar_t* Text;
  } const cases[] = {
      {0.5, L"0.5"},          {-2.25, L"-2.25"}, {100.0, L"100"},
      {0.1, L"0.1"},          {1234567.5, L"1234567.5"},
      {1.0 / 3, L"0.333333333333333"},
      {123456789012345678.0, L"1.23456789012346e+17"},
      {1e-10, L"1e-10"},
  };
  for (const auto& c : cases) {
    TParameterList list;
    list.SetState_AddParameterAsDouble(L"D", c.Value);
    EXPECT_EQ(list.GetState(), WideString(L"D=") + c.Text);
    double back = 0;
    ASSERT_TRUE(list.GetState_ParameterAsDouble(L"D", back));
    EXPECT_DOUBLE_EQ(back, std::stod(c.Text)) << c.Text;
  }
}

TEST(ParameterList, IntegerGetters) {
  struct Case {
    const wchar_t* Text;
    bool Ok;
    std::int32_t Value;
  } const cases[] = {
      {L"31", true, 31},           {L"0x1F", true, 31},         {L"0X1f", true, 31},
      {L"$1F", true, 31},          {L"x1F", true, 31},          {L"X1f", true, 31},
      {L"-5", true, -5},           {L"+7", true, 7},            {L"-0x10", true, -16},
      {L"2147483647", true, INT32_MAX}, {L"-2147483648", true, INT32_MIN},
      {L"0xFFFFFFFF", true, -1},   // hexadecimal is the bit pattern
      {L"2147483648", false, 0},   {L"0x100000000", false, 0},
      {L"12abc", false, 0},        {L"1 2", false, 0},          {L"0x", false, 0},
      {L"$", false, 0},            {L"-", false, 0},            {L"1.0", false, 0},
      {L"", false, 0},
  };
  for (const auto& c : cases) {
    TParameterList list;
    list.SetState_AddParameter(L"N", c.Text);
    std::int32_t a = 12345, b = 12345;
    EXPECT_EQ(list.GetState_ParameterAsInteger(L"N", a), c.Ok) << c.Text;
    EXPECT_EQ(list.GetState_ParameterAsLongInt(L"N", b), c.Ok) << c.Text;
    EXPECT_EQ(a, c.Ok ? c.Value : 12345) << c.Text;
    EXPECT_EQ(b, a);
  }
  TParameterList list;
  std::int32_t untouched = 7;
  EXPECT_FALSE(list.GetState_ParameterAsInteger(L"Missing", untouched));
  EXPECT_EQ(untouched, 7);
}

TEST(ParameterList, NarrowIntegerGettersCutWithoutRangeCheck) {
  TParameterList list;
  list.SetState(L"B=300|W=70000|M=-1|S=40000|Bad=12abc");
  std::uint8_t byte = 1;
  std::uint16_t word = 1;
  std::int16_t small = 1;
  EXPECT_TRUE(list.GetState_ParameterAsByte(L"B", byte));
  EXPECT_EQ(byte, 44);
  EXPECT_TRUE(list.GetState_ParameterAsWord(L"W", word));
  EXPECT_EQ(word, 4464);
  EXPECT_TRUE(list.GetState_ParameterAsWord(L"M", word));
  EXPECT_EQ(word, 65535);
  EXPECT_TRUE(list.GetState_ParameterAsSmallInt(L"S", small));
  EXPECT_EQ(small, -25536);
  byte = 9;
  word = 9;
  small = 9;
  EXPECT_FALSE(list.GetState_ParameterAsByte(L"Bad", byte));
  EXPECT_FALSE(list.GetState_ParameterAsWord(L"Bad", word));
  EXPECT_FALSE(list.GetState_ParameterAsSmallInt(L"Missing", small));
  EXPECT_EQ(byte, 9);
  EXPECT_EQ(word, 9);
  EXPECT_EQ(small, 9);
}

TEST(ParameterList, Int64Getter) {
  struct Case {
    const wchar_t* Text;
    bool Ok;
    std::int64_t Value;
  } const cases[] = {
      {L"9223372036854775807", true, INT64_MAX},
      {L"-9223372036854775808", true, INT64_MIN},
      {L"0x123456789", true, 0x123456789LL},
      {L"$FFFFFFFFFFFFFFFF", true, -1},
      {L"9223372036854775808", false, 0},
      {L"0x10000000000000000", false, 0},
      {L"5k", false, 0},
  };
  for (const auto& c : cases) {
    TParameterList list;
    list.SetState_AddParameter(L"N", c.Text);
    std::int64_t v = 77;
    EXPECT_EQ(list.GetState_ParameterAsInt64(L"N", v), c.Ok) << c.Text;
    EXPECT_EQ(v, c.Ok ? c.Value : 77) << c.Text;
  }
}

TEST(ParameterList, RealGetterReportsBadNumbersAsFalse) {
  struct Case {
    const wchar_t* Text;
    bool Ok;
    float Value;
  } const cases[] = {
      {L"1.5", true, 1.5f}, {L"-.25", true, -0.25f}, {L"3.", true, 3.0f}, {L"2E3", true, 2000.0f},
      {L"1,5", false, 0},   {L"abc", false, 0},      {L"", false, 0},     {L"1e39", false, 0},
      {L"inf", false, 0},   {L"0x10", false, 0},     {L"1e", false, 0},   {L".", false, 0},
  };
  for (const auto& c : cases) {
    TParameterList list;
    list.SetState_AddParameter(L"R", c.Text);
    float v = 42.0f;
    EXPECT_EQ(list.GetState_ParameterAsReal(L"R", v), c.Ok) << c.Text;
    EXPECT_EQ(v, c.Ok ? c.Value : 42.0f) << c.Text;
  }
}

TEST(ParameterList, DoubleGetterRaisesOnBadNumber) {
  TParameterList list;
  list.SetState(L"D=2.5|E=1e3|Bad=1,5|Empty=");
  double v = 0;
  EXPECT_TRUE(list.GetState_ParameterAsDouble(L"D", v));
  EXPECT_EQ(v, 2.5);
  EXPECT_TRUE(list.GetState_ParameterAsDouble(L"E", v));
  EXPECT_EQ(v, 1000.0);
  v = 9;
  EXPECT_FALSE(list.GetState_ParameterAsDouble(L"Missing", v));
  EXPECT_EQ(v, 9);
  try {
    list.GetState_ParameterAsDouble(L"Bad", v);
    ADD_FAILURE() << "no error for 1,5";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), L"'1,5' is not a valid floating point value");
  }
  EXPECT_THROW(list.GetState_ParameterAsDouble(L"Empty", v), EConvertError);
  EXPECT_EQ(v, 9);
}

TEST(ParameterList, BooleanGetters) {
  struct Case {
    const wchar_t* Text;
    bool Value;
  } const cases[] = {
      {L"True", true},  {L"TRUE", true},   {L"tRuE", true},
      {L"1", false},    {L"yes", false},   {L"False", false},
      {L"", false},     {L"True1", false}, {L"Tru\u0435", false},  // Cyrillic e: no locale folding
  };
  for (const auto& c : cases) {
    TParameterList list;
    list.SetState_AddParameter(L"B", c.Text);
    bool b = !c.Value;
    std::int16_t w = 5;
    EXPECT_TRUE(list.GetState_ParameterAsBoolean(L"B", b)) << c.Text;
    EXPECT_EQ(b, c.Value) << c.Text;
    EXPECT_TRUE(list.GetState_ParameterAsWordBool(L"B", w)) << c.Text;
    EXPECT_EQ(w, c.Value ? -1 : 0) << c.Text;
  }
  TParameterList list;
  bool b = true;
  std::int16_t w = 5;
  EXPECT_FALSE(list.GetState_ParameterAsBoolean(L"Missing", b));
  EXPECT_FALSE(list.GetState_ParameterAsWordBool(L"Missing", w));
  EXPECT_TRUE(b);
  EXPECT_EQ(w, 5);
}

TEST(ParameterList, PCharCopyIsOwnedOnlyOnSuccess) {
  TParameterList list;
  list.SetState(L"A= hello |E=");
  wchar_t* a = nullptr;
  ASSERT_TRUE(list.GetState_ParameterAsPChar(L"a", a));
  EXPECT_STREQ(a, L"hello");
  wchar_t* a2 = nullptr;
  ASSERT_TRUE(list.GetState_ParameterAsPChar(L"A", a2));
  EXPECT_NE(a, a2);  // a fresh copy every time
  a[0] = L'J';       // the copy is the caller's own
  WideString stored;
  list.GetState_ParameterAsString(L"A", stored);
  EXPECT_EQ(stored, L"hello");
  delete[] a;
  delete[] a2;

  wchar_t* e = nullptr;
  ASSERT_TRUE(list.GetState_ParameterAsPChar(L"E", e));  // present but empty: still a copy
  EXPECT_STREQ(e, L"");
  wchar_t* m1 = nullptr;
  wchar_t* m2 = nullptr;
  EXPECT_FALSE(list.GetState_ParameterAsPChar(L"Missing", m1));
  EXPECT_FALSE(list.GetState_ParameterAsPChar(L"Other", m2));
  ASSERT_NE(m1, nullptr);
  EXPECT_STREQ(m1, L"");
  EXPECT_EQ(m1, m2);  // the shared empty text, not to be freed
  EXPECT_NE(e, m1);
  delete[] e;
}

TEST(ParameterValue, CacheParsesEachTextOnce) {
  // A parse allocates the list and its parameters; a look-up in the text
  // already parsed allocates nothing (the short values fit their strings).
  auto parses = [](std::wstring_view text, std::wstring_view name, WideString& value) {
    const std::size_t before = gAllocations;
    const bool found = GetParameterValue(text, name, value);
    return std::pair{found, gAllocations != before};
  };
  ParamUnitShutdown();
  WideString value;
  EXPECT_EQ(std::pair(true, true), parses(L"A=1|B=2", L"b", value));
  EXPECT_EQ(value, L"2");
  EXPECT_EQ(std::pair(true, false), parses(L"A=1|B=2", L"A", value));
  EXPECT_EQ(value, L"1");

  value = L"stale";
  EXPECT_EQ(std::pair(false, false), parses(L"A=1|B=2", L"C", value));
  EXPECT_EQ(value, L"");

  // An empty text is answered without touching the cache.
  value = L"stale";
  EXPECT_EQ(std::pair(false, false), parses(L"", L"A", value));
  EXPECT_EQ(value, L"");
  EXPECT_EQ(std::pair(true, false), parses(L"A=1|B=2", L"A", value));

  // The comparison is exact: a text differing only in case is parsed anew.
  EXPECT_EQ(std::pair(true, true), parses(L"a=1|B=2", L"A", value));
  EXPECT_EQ(std::pair(true, false), parses(L"a=1|B=2", L"B", value));

  // Shut-down drops the cache; the next call fills it again.
  ParamUnitShutdown();
  EXPECT_EQ(std::pair(true, true), parses(L"a=1|B=2", L"B", value));
  EXPECT_EQ(value, L"2");
}

TEST(ParameterValue, SetRewritesWholeTextCanonically) {
  struct Case {
    const wchar_t* Text;
    const wchar_t* Name;
    const wchar_t* Value;
    const wchar_t* Result;
  } const cases[] = {
      {L"A=1|junk|B=", L"C", L"3", L"A=1|B= |C=3"},
      {L"A=1|B=2", L" b ", L" 9 ", L"A=1|B=9"},
      {L"A=1|a=2", L"a", L"x", L"A=x|a=2"},  // first match only
      {L"", L"A", L"1", L"A=1"},
      {L" A = 1 |=7", L"  ", L"x", L"A=1"},  // empty name: only the rewrite
      {L"A=1", L"A", L"", L"A= "},
      {L"A=1", L"B", L"x=y", L"A=1|B=x=y"},
  };
  for (const auto& c : cases) {
    WideString text = c.Text;
    SetParameterValue(text, c.Name, c.Value);
    EXPECT_EQ(text, c.Result) << c.Text << L" / " << c.Name;
  }
}
