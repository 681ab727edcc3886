// The class library's variants: kinds, text, conversion and arrays.
#include <gtest/gtest.h>

#include "Variants.h"

#include <cstdint>
#include <utility>

using namespace tvk;

namespace {

TEST(Variant, KindsAndTheirText) {
  struct Row {
    Variant Value;
    VARTYPE Type;
    const wchar_t* Text;
  };
  const Row rows[] = {
      {Unassigned(), varEmpty, L""},
      {Null(), varNull, L""},
      {Variant(42), varInteger, L"42"},
      {Variant(std::int64_t(-9000000000)), varInt64, L"-9000000000"},
      {Variant(true), varBoolean, L"True"},
      {Variant(false), varBoolean, L"False"},
      {Variant(L"text"), varOleStr, L"text"},
      {VarAsType(Variant(3), varCurrency), varCurrency, L"3"},
      {VarAsType(Variant(L"17"), varInteger), varInteger, L"17"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.Type, VarType(row.Value));
    EXPECT_EQ(row.Text, VarToStr(row.Value));
  }
  EXPECT_EQ(std::wstring(L"a\0b", 3), VarToStr(Variant(std::wstring(L"a\0b", 3)))) << "the whole string, nulls too";
  EXPECT_TRUE(VarIsNull(Null()));
  EXPECT_FALSE(VarIsNull(Unassigned()));
  EXPECT_TRUE(VarIsEmpty(Unassigned()));
  EXPECT_TRUE(VarIsStr(Variant(L"")));
  EXPECT_FALSE(VarIsStr(Variant(1)));
  EXPECT_FALSE(VarIsStr(Null()));
}

TEST(Variant, DatesAndNumbersGoThroughTheSystem) {
  Variant date = VarFromDateTime(2.5);
  EXPECT_EQ(varDate, VarType(date));
  EXPECT_DOUBLE_EQ(2.5, VarAsType(date, varDouble).Ptr()->dblVal);
  Variant money = VarAsType(Variant(1.23456), varCurrency);
  EXPECT_EQ(12346, money.Ptr()->cyVal.int64) << "currency keeps four places";
  EXPECT_THROW(VarAsType(Variant(L"not a number"), varInteger), EVariantError);
}

TEST(Variant, MovesLeaveTheSourceEmpty) {
  Variant a(L"moved");
  Variant b(std::move(a));
  EXPECT_TRUE(VarIsEmpty(a));
  EXPECT_EQ(L"moved", VarToStr(b));
  a = Variant(5);
  b = std::move(a);
  EXPECT_EQ(L"5", VarToStr(b));
  Variant c = b;  // copies stay apart
  b = Variant(6);
  EXPECT_EQ(L"5", VarToStr(c));
}

TEST(VariantArray, OneDimensionWithBoundsLockAndUnlock) {
  Variant array = VarArrayCreate(-1, 2, varInteger);
  EXPECT_TRUE(VarIsArray(array));
  EXPECT_EQ(VT_ARRAY | VT_I4, VarType(array));
  EXPECT_EQ(1, VarArrayDimCount(array));
  EXPECT_EQ(-1, VarArrayLowBound(array, 1));
  EXPECT_EQ(2, VarArrayHighBound(array, 1));
  auto* data = static_cast<std::int32_t*>(VarArrayLock(array));
  EXPECT_EQ(0, data[0] | data[1] | data[2] | data[3]) << "elements start at zero";
  data[3] = 77;
  VarArrayUnlock(array);
  LONG index = 2, value = 0;
  ASSERT_EQ(S_OK, SafeArrayGetElement(array.Ptr()->parray, &index, &value));
  EXPECT_EQ(77, value);

  {
    TVarArrayLock lock(array);
    // Locked: the array cannot be freed or resized meanwhile.
    EXPECT_EQ(DISP_E_ARRAYISLOCKED, SafeArrayDestroy(array.Ptr()->parray));
  }
  EXPECT_EQ(0, VarArrayDimCount(Variant(1)));
  EXPECT_FALSE(VarIsArray(Variant(1)));
  EXPECT_EQ(0, VarArrayHighBound(VarArrayCreate(1, 0, varByte), 1));
  EXPECT_THROW(VarArrayCreate(3, 1, varByte), EVariantError);
  EXPECT_THROW(VarArrayLowBound(Variant(1), 1), EVariantError);
  EXPECT_THROW(VarArrayHighBound(array, 2), EVariantError);
  EXPECT_THROW(VarArrayLock(Null()), EVariantError);
  EXPECT_THROW(VarToStr(array), EVariantError);
}

}  // namespace
