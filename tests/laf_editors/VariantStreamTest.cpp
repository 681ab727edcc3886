// The variant stream form byte for byte, reading it back, refused and damaged
// streams, and the comparisons of variants.
#include "EditorsTest.h"
#include "cxVariants.h"

#include <cmath>
#include <limits>
#include <vector>

using namespace tvk;

namespace laf_editors_test {

namespace {

using TBytes = std::vector<uint8_t>;

TBytes Written(const Variant& V) {
  TMemoryStream stream;
  WriteVariantToStream(stream, V);
  return stream.Bytes();
}

Variant ReadBack(const TBytes& ABytes) {
  TMemoryStream stream(ABytes);
  Variant v;
  ReadVariantFromStream(stream, v);
  return v;
}

TBytes Concat(std::initializer_list<TBytes> AParts) {
  TBytes all;
  for (const TBytes& part : AParts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

Variant Typed(VARTYPE AType, int64_t AValue) {
  Variant v;
  v.Ptr()->llVal = AValue;
  v.Ptr()->vt = AType;
  return v;
}

Variant Array(std::initializer_list<Variant> AItems) {
  Variant a = VarArrayCreate(0, int(AItems.size()) - 1, varVariant);
  int i = 0;
  for (const Variant& item : AItems) VarArrayPut(a, i++, item);
  return a;
}

}  // namespace

// The stream texts come from the data controller's strings.
using VariantStream = EditorsUnits;

TEST_F(VariantStream, EachKindWritesItsSmallestTaggedForm) {
  const std::string s255(255, 'a'), s256(256, 'b');
  struct TCase {
    const char* Name;
    Variant Value;
    TBytes Expected;
  };
  const TCase cases[] = {
      {"127", Variant(int32_t(127)), {2, 127}},
      {"128", Variant(int32_t(128)), {3, 128, 0}},
      {"-129", Variant(int32_t(-129)), {3, 0x7F, 0xFF}},
      {"40000", Variant(int32_t(40000)), {4, 0x40, 0x9C, 0, 0}},
      {"2^31", Variant(int64_t(1) << 31), {19, 0, 0, 0, 0x80, 0, 0, 0, 0}},
      {"byte 200", Typed(varByte, 200), {3, 200, 0}},
      {"null", Null(), {0}},
      {"empty", Unassigned(), {13}},
      {"true", Variant(true), {9}},
      {"false", Variant(false), {8}},
      {"currency", Typed(varCurrency, 15000), {16, 0x98, 0x3A, 0, 0, 0, 0, 0, 0}},
      {"wide", Variant(L"h\x00e9"), {18, 2, 0, 0, 0, 'h', 0, 0xE9, 0}},
      {"ustring", Variant::FromUString(L"h"), {18, 1, 0, 0, 0, 'h', 0}},
      {"ansi", Variant::FromAnsi("ab"), {6, 2, 'a', 'b'}},
      {"255 bytes", Variant::FromAnsi(s255), Concat({{6, 255}, TBytes(s255.begin(), s255.end())})},
      {"256 bytes", Variant::FromAnsi(s256), Concat({{12, 0, 1, 0, 0}, TBytes(s256.begin(), s256.end())})},
      {"empty array", VarArrayCreate(0, -1, varVariant), {1, 2, 0}},
      {"list", Array({Variant(int32_t(1)), Null()}), {1, 2, 2, 2, 1, 0}},
      {"1.5", Variant(1.5), {5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}},
      {"-2", Variant(-2.0), {5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0}},
  };
  for (const TCase& c : cases) EXPECT_EQ(c.Expected, Written(c.Value)) << c.Name;
}

TEST_F(VariantStream, ValuesReadBackWithTheirTagsType) {
  struct TCase {
    const char* Name;
    Variant Value;
    VARTYPE ReadType;
  };
  const TCase cases[] = {
      {"byte", Typed(varByte, 7), varShortInt},  // the integer kind is not kept
      {"word", Typed(varWord, 40000), varInteger},
      {"int64", Variant(int64_t(1) << 40), varInt64},
      {"double", Variant(0.1), varDouble},
      {"single", Typed(varSingle, 0x3FC00000), varSingle},
      {"date", VarFromDateTime(45000.25), varDate},
      {"currency", Typed(varCurrency, -5), varCurrency},
      {"wide", Variant(L"x"), varOleStr},
      {"ansi", Variant::FromAnsi("abc"), varString},
      {"null", Null(), varNull},
      {"empty", Unassigned(), varEmpty},
  };
  for (const TCase& c : cases) {
    const Variant back = ReadBack(Written(c.Value));
    EXPECT_EQ(c.ReadType, back.Type()) << c.Name;
    EXPECT_EQ(0, CompareVariants(c.Value, back)) << c.Name;
  }
  // A double survives the 10-byte form exactly, the extremes too.
  for (double d : {0.1, -1e-310, 1.7976931348623157e308, 5e-324, -0.0}) {
    const Variant back = ReadBack(Written(Variant(d)));
    EXPECT_EQ(std::signbit(d), std::signbit(back.Ptr()->dblVal)) << d;
    EXPECT_EQ(d, back.Ptr()->dblVal) << d;
  }
  EXPECT_TRUE(std::isinf(ExtendedToDouble(DoubleToExtended(std::numeric_limits<double>::infinity()))));
  EXPECT_TRUE(std::isnan(ExtendedToDouble(DoubleToExtended(std::numeric_limits<double>::quiet_NaN()))));
  // Beyond the double's range an extended value becomes infinite.
  EXPECT_TRUE(std::isinf(ReadBack({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F - 1}).Ptr()->dblVal));

  const Variant empty = ReadBack({1, 2, 0});
  ASSERT_TRUE(VarIsArray(empty));
  EXPECT_EQ(-1, VarArrayHighBound(empty, 1));
  const Variant list = ReadBack(Written(Array({Variant(int32_t(300)), Variant::FromAnsi("t"), Array({Null()})})));
  ASSERT_EQ(2, VarArrayHighBound(list, 1));
  EXPECT_EQ(300, VarArrayGet(list, 0).Ptr()->lVal);
  EXPECT_EQ(L"t", VarToStr(VarArrayGet(list, 1)));
  EXPECT_TRUE(VarIsArray(VarArrayGet(list, 2)));
}

TEST_F(VariantStream, RefusesWhatItCannotWriteOrRead) {
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  VARIANT raw;
  VariantInit(&raw);
  raw.vt = VT_ARRAY | VT_VARIANT;
  raw.parray = SafeArrayCreate(VT_VARIANT, 2, bounds);
  const Variant twoDimensions = Variant::Adopt(raw);
  TMemoryStream out;
  try {
    WriteVariantToStream(out, twoDimensions);
    ADD_FAILURE() << "two dimensions written";
  } catch (const EWriteError& e) {
    EXPECT_EQ(L"Stream write error", e.Message());
  }
  for (uint8_t tag : {7, 10, 11, 14, 20, 21, 22, 255}) {
    try {
      ReadBack({tag, 0, 0, 0, 0});
      ADD_FAILURE() << "tag " << int(tag) << " read";
    } catch (const EReadError& e) {
      EXPECT_EQ(L"Stream read error", e.Message()) << int(tag);
    }
  }
}

TEST_F(VariantStream, ADamagedListIsRefusedBeforeAnythingIsMade) {
  TBytes deep;
  for (int i = 0; i <= kMaxStreamedListDepth; ++i) deep.insert(deep.end(), {1, 2, 1});
  deep.push_back(0);
  TBytes deepEnough;
  for (int i = 0; i < kMaxStreamedListDepth; ++i) deepEnough.insert(deepEnough.end(), {1, 2, 1});
  deepEnough.push_back(0);
  struct TCase {
    const char* Name;
    TBytes Bytes;
  };
  const TCase refused[] = {
      {"negative count", {1, 2, 0xFF, 0}},
      {"count above the bytes left", {1, 4, 0, 0, 0, 0x40, 0, 0}},
      {"huge 64-bit count", {1, 19, 0, 0, 0, 0, 0, 0, 0, 0x7F}},
      {"string longer than the stream", {12, 0xFF, 0xFF, 0xFF, 0x7F, 'a'}},
      {"wide string longer than the stream", {18, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 0}},
      {"lists nested too deep", deep},
  };
  for (const TCase& c : refused) {
    Variant v = Variant(int32_t(5));
    TMemoryStream stream(c.Bytes);
    try {
      ReadVariantFromStream(stream, v);
      ADD_FAILURE() << c.Name;
    } catch (const EReadError& e) {
      EXPECT_EQ(GetLocalizedResString(&cxSDataReadError), e.Message()) << c.Name;
    }
  }
  EXPECT_TRUE(VarIsArray(ReadBack(deepEnough))) << "a thousand lists are fine";

  // A sane count on a stream that ends early: the stream's own error, the
  // elements read so far kept.
  TMemoryStream truncated(TBytes{1, 2, 3, 2, 7, 2});
  Variant v;
  EXPECT_THROW(ReadVariantFromStream(truncated, v), EReadError);
  ASSERT_TRUE(VarIsArray(v));
  EXPECT_EQ(2, VarArrayHighBound(v, 1));
  EXPECT_EQ(7, VarArrayGet(v, 0).Ptr()->cVal);
  EXPECT_EQ(VT_EMPTY, VarArrayGet(v, 2).Type());
  TMemoryStream cut(TBytes{4, 1, 2});
  EXPECT_THROW(ReadVariantFromStream(cut, v), EReadError);
  EXPECT_TRUE(VarIsNull(v));
}

TEST(VariantCompare, OrdersAndEqualities) {
  struct TCase {
    const char* Name;
    Variant A, B;
    int Expected;
  };
  const TCase cases[] = {
      {"empty, null", Unassigned(), Null(), -1},
      {"empty, empty", Unassigned(), Unassigned(), 0},
      {"5, empty", Variant(int32_t(5)), Unassigned(), 1},
      {"null, 5", Null(), Variant(int32_t(5)), -1},
      {"5, null", Variant(int32_t(5)), Null(), 1},
      {"null, null", Null(), Null(), 0},
      {"5, 3", Variant(int32_t(5)), Variant(int32_t(3)), 1},
      {"3, 5", Variant(int32_t(3)), Variant(int32_t(5)), -1},
      {"int64 extremes", Variant(int64_t(-9000000000000000000)), Variant(int64_t(9000000000000000000)), -1},
      {"text against number", Variant(L"12"), Variant(int32_t(12)), 0},
      {"conversion error", Variant(L"x"), Variant(int32_t(1)), -1},
      {"conversion error reversed", Variant(int32_t(1)), Variant(L"x"), -1},
      {"ansi and wide text", Variant::FromAnsi("abc"), Variant(L"abc"), 0},
      {"texts", Variant(L"abd"), Variant::FromUString(L"abc"), 1},
      {"[1,2] [1,2,3]", Array({Variant(int32_t(1)), Variant(int32_t(2))}),
       Array({Variant(int32_t(1)), Variant(int32_t(2)), Variant(int32_t(3))}), -1},
      {"[1,3] [1,2]", Array({Variant(int32_t(1)), Variant(int32_t(3))}),
       Array({Variant(int32_t(1)), Variant(int32_t(2))}), 1},
      {"[] []", VarArrayCreate(0, -1, varVariant), VarArrayCreate(0, -1, varVariant), 0},
      {"array, scalar", Array({Null()}), Variant(int32_t(1)), 1},
      {"scalar, array", Variant(int32_t(1)), Array({Null()}), -1},
  };
  for (const TCase& c : cases) EXPECT_EQ(c.Expected, CompareVariants(c.A, c.B)) << c.Name;

  // A by-reference value is compared by what it refers to.
  LONG referred = 5;
  Variant byRef;
  byRef.Ptr()->vt = VT_I4 | VT_BYREF;
  byRef.Ptr()->plVal = &referred;
  EXPECT_EQ(0, CompareVariants(byRef, Variant(int32_t(5))));
  EXPECT_TRUE(IsDateVariant(VarFromDateTime(1)));
  EXPECT_FALSE(IsDateVariant(Variant(1.0)));

  EXPECT_TRUE(VariantsEqualAsText(Variant(true), Variant(L"True")));
  EXPECT_FALSE(VariantsEqualAsText(Variant(true), Variant(L"-1")));
  EXPECT_FALSE(VariantsEqualAsText(Variant(true), Null()));
  EXPECT_TRUE(VariantsEqualAsText(Variant(int32_t(2)), Variant(L"2")));
  EXPECT_TRUE(IsNullOrEmptyText(Null()));
  EXPECT_TRUE(IsNullOrEmptyText(Variant::FromAnsi("")));
  EXPECT_FALSE(IsNullOrEmptyText(Unassigned()));
  EXPECT_FALSE(IsNullOrEmptyText(Variant(L" ")));
  EXPECT_TRUE(IsNumericOrBcdVariant(Typed(varCurrency, 1)));
  EXPECT_FALSE(IsNumericOrBcdVariant(VarFromDateTime(1)));
}

}  // namespace laf_editors_test
