// BCD numbers and SQL time stamps: text both ways, order, conversions, and
// their variants copied and cleared by the variant itself.
#include <gtest/gtest.h>

#include "DateTimes.h"
#include "FMTBcd.h"
#include "LocaleFormats.h"
#include "SqlTimSt.h"
#include "Variants.h"

using namespace tvk;

namespace classlib_test {

namespace {

// Text with '.' for the locale's separator, so the table reads the same anywhere.
std::wstring Dotted(std::wstring text) {
  for (wchar_t& c : text)
    if (c == FormatSettings().DecimalSeparator) c = L'.';
  return text;
}

}  // namespace

TEST(Bcd, TextReadsAndWritesExactly) {
  const struct {
    const wchar_t* Text;
    const wchar_t* Plain;  // BcdToStr
    const wchar_t* Fixed2;  // BcdToStrF fixed, 2 places
    const wchar_t* General4;  // BcdToStrF general, 4 digits
  } cases[] = {
      {L"0", L"0", L"0.00", L"0"},
      {L"-0.000", L"0", L"0.00", L"0"},
      {L"12.5", L"12.5", L"12.50", L"12.5"},
      {L"+007.250", L"7.25", L"7.25", L"7.25"},
      {L"-1.005", L"-1.005", L"-1.01", L"-1.005"},
      {L"0.0001", L"0.0001", L"0.00", L"0.0001"},
      {L"99.995", L"99.995", L"100.00", L"100"},
      {L"123456", L"123456", L"123456.00", L"123500"},
      {L"12345678901234567890.0123456789", L"12345678901234567890.0123456789", L"12345678901234567890.01",
       L"12350000000000000000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    const TBcd value = StrToBcd(c.Text);
    EXPECT_EQ(c.Plain, Dotted(BcdToStr(value)));
    EXPECT_EQ(c.Fixed2, Dotted(BcdToStrF(value, TFloatFormat::ffFixed, 18, 2)));
    EXPECT_EQ(c.General4, Dotted(BcdToStrF(value, TFloatFormat::ffGeneral, 4, 0)));
    EXPECT_EQ(0, BcdCompare(value, StrToBcd(BcdToStr(value)))) << "reads back";
  }
  TBcd refused;
  for (const wchar_t* text : {L"", L"-", L".", L"1.2.3", L"1e5", L"12a", L" 1"}) EXPECT_FALSE(TryStrToBcd(text, refused)) << text;
  EXPECT_FALSE(TryStrToBcd(std::wstring(65, L'9'), refused)) << "more digits than the record holds";
  EXPECT_TRUE(TryStrToBcd(std::wstring(64, L'9'), refused));
  EXPECT_THROW(StrToBcd(L"x"), EConvertError);
}

TEST(Bcd, OrdersBySignAndMagnitudeAndMeetsDoubles) {
  const wchar_t* ascending[] = {L"-100", L"-99.99", L"-0.001", L"0", L"0.001", L"0.01", L"1", L"9.999", L"10", L"1000000"};
  for (std::size_t i = 0; i + 1 < std::size(ascending); ++i) {
    EXPECT_EQ(-1, BcdCompare(StrToBcd(ascending[i]), StrToBcd(ascending[i + 1]))) << ascending[i];
    EXPECT_EQ(1, BcdCompare(StrToBcd(ascending[i + 1]), StrToBcd(ascending[i]))) << ascending[i];
  }
  EXPECT_EQ(0, BcdCompare(StrToBcd(L"-0"), StrToBcd(L"0.00")));
  for (double d : {0.1, -2.5, 1e20, 123456.789, 1e-10}) EXPECT_EQ(d, BcdToDouble(DoubleToBcd(d))) << d;
  EXPECT_EQ(L"0.1", Dotted(BcdToStr(DoubleToBcd(0.1)))) << "the shortest text of the double";
  EXPECT_THROW(DoubleToBcd(1e300), EConvertError);
}

TEST(Bcd, VariantsOwnTheRecordAndConvert) {
  Variant a = VarFMTBcdCreate(StrToBcd(L"2.50"));
  Variant copy = a;
  a = Null();
  ASSERT_TRUE(VarIsFMTBcd(copy));
  EXPECT_EQ(L"2.5", Dotted(VarToStr(copy)));
  EXPECT_EQ(2.5, VarAsType(copy, varDouble).Ptr()->dblVal);
  EXPECT_EQ(2, VarAsType(copy, varInteger).Ptr()->lVal) << "halves go to the even neighbour, as for doubles";
  EXPECT_EQ(0, BcdCompare(StrToBcd(L"42"), VarToBcd(Variant(int32_t(42)))));
  EXPECT_THROW(VarToBcd(Variant(L"many")), EVariantTypeCastError);
  EXPECT_EQ(-1, VarCompareValue(VarFMTBcdCreate(StrToBcd(L"10000000000000000.1")),
                                VarFMTBcdCreate(StrToBcd(L"10000000000000000.2"))))
      << "two BCD numbers compare exactly";
  EXPECT_TRUE(VarSameValue(copy, Variant(2.5)));
}

TEST(SqlTimeStamp, DateTimeBothWaysAndAsVariant) {
  const TDateTime when = EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 59, 999);
  const TSQLTimeStamp stamp = DateTimeToSQLTimeStamp(when);
  EXPECT_EQ(1999, stamp.Year);
  EXPECT_EQ(12, stamp.Month);
  EXPECT_EQ(31, stamp.Day);
  EXPECT_EQ(23, stamp.Hour);
  EXPECT_EQ(59, stamp.Second);
  EXPECT_EQ(999u, stamp.Fractions);
  EXPECT_NEAR(when, SQLTimeStampToDateTime(stamp), 1e-9);
  EXPECT_EQ(0, SQLTimeStampToDateTime(TSQLTimeStamp{}));
  EXPECT_THROW(SQLTimeStampToDateTime(TSQLTimeStamp{2023, 2, 29, 0, 0, 0, 0}), EConvertError);

  const Variant v = VarSQLTimeStampCreate(stamp);
  const Variant copy = v;
  ASSERT_TRUE(VarIsSQLTimeStamp(copy));
  double date = 0;
  EXPECT_TRUE(TryVarToDateTime(copy, date));
  EXPECT_NEAR(when, date, 1e-9);
  EXPECT_EQ(VarToStr(VarFromDateTime(SQLTimeStampToDateTime(stamp))), VarToStr(copy));
  EXPECT_FALSE(TryVarToDateTime(VarSQLTimeStampCreate({2023, 13, 1, 0, 0, 0, 0}), date)) << "no such month";
  EXPECT_EQ(2000, VarToSQLTimeStamp(VarFromDateTime(EncodeDate(2000, 1, 2))).Year);
  EXPECT_THROW(VarToSQLTimeStamp(Variant(L"never")), EVariantTypeCastError);
}

}  // namespace classlib_test
