// Texts of values: date keywords and conversions, the date mask and display
// builders, the currency pattern and amounts, and the class library's
// locale-aware number and time texts under them.
#include "ValueEditorsTest.h"
#include "dxGrDate.h"
#include "dxValueText.h"

using namespace tvk;
namespace valueeditors_test {

TEST(DateKeywords, FirstMatchingKeywordWithAnOptionalSignedOffset) {
  struct Row {
    TDateTime Clock;
    const wchar_t* Text;
    TDateTime Expected;
  };
  const TDateTime monday = EncodeDate(2025, 1, 6), tuesday = monday + 1, wednesday = monday + 2;
  const Row rows[] = {
      {wednesday, L"today", wednesday},
      {wednesday, L"today+3", wednesday + 3},
      {wednesday, L"TODAY + 3", wednesday + 3},
      {wednesday, L"today-1", wednesday - 1},
      {wednesday, L"Yesterday", wednesday - 1},
      {wednesday, L"todayx", wednesday},
      {wednesday, L"today+x", wednesday},
      {wednesday, L"today+", wednesday},
      {wednesday, L"today 3", wednesday},
      {wednesday, L"tomorrow", wednesday + 1},
      {monday, L"MONDAY", monday},
      {tuesday, L"monday", monday + 7},
      {tuesday, L"sunday", EncodeDate(2025, 1, 12)},
      {wednesday, L"FIRST", EncodeDate(2025, 1, 5)},
      {wednesday, L"seventh", EncodeDate(2025, 1, 11)},
      {EncodeDate(2024, 2, 10), L"EOM", EncodeDate(2024, 2, 29)},
      {EncodeDate(2023, 2, 10), L"eom", EncodeDate(2023, 2, 28)},
      {EncodeDate(2024, 2, 10), L"bom+1", EncodeDate(2024, 2, 2)},
  };
  for (const Row& row : rows) {
    FixedClock clock(row.Clock + 0.25);
    TDateTime date = 0;
    ASSERT_TRUE(ParseDateKeyword(row.Text, date)) << UTF8Encode(row.Text);
    EXPECT_EQ(row.Expected, date) << UTF8Encode(row.Text);
  }
  TDateTime untouched = 7;
  EXPECT_FALSE(ParseDateKeyword(L"tod", untouched));
  EXPECT_FALSE(ParseDateKeyword(L"", untouched));
  EXPECT_EQ(7, untouched);
}

TEST(DateKeywords, NowKeepsTheTimeAndShowsItAfterTheDate) {
  const TDateTime moment = EncodeDate(2025, 1, 8) + EncodeTime(13, 45, 0, 0);
  FixedClock clock(moment);
  TDateTime date = 0;
  ASSERT_TRUE(ParseDateKeyword(L"now", date));
  EXPECT_EQ(moment, date);
  const WideString day = DateToText(DatePart(moment));
  const WideString full = DateToText(moment);
  ASSERT_FALSE(day.empty());
  ASSERT_GT(full.size(), day.size() + 1);
  EXPECT_EQ(day + L" ", full.substr(0, day.size() + 1));
  EXPECT_EQ(L"", DateToText(NullDate));
}

TEST(DateTexts, DotSeparatedDatesReachTheSystemParserWithBlanks) {
  TFormatSettingsScope locale(Settings(L',', L'.', L"dd.MM.yyyy", L'.'));
  TDateTime date = 0;
  ASSERT_TRUE(TextToDate(L" 24.12.2014 ", date));
  EXPECT_EQ(EncodeDate(2014, 12, 24), date);
  TDateTime untouched = 5;
  EXPECT_FALSE(TextToDate(L"   ", untouched));
  EXPECT_FALSE(TextToDate(L"abc", untouched));
  EXPECT_EQ(5, untouched);
}

TEST(DateTexts, MaskAndDisplayFormatFollowTheShortDateFormat) {
  struct Row {
    const wchar_t* ShortDate;
    const wchar_t* Mask;
    const wchar_t* Display;
    const wchar_t* Shown;  // 5 March 2024 in the display format
  };
  const Row rows[] = {
      {L"M/d/yyyy", L"!99/99/9999;1; ", L"MM/dd/yyyy", L"03/05/2024"},
      {L"dd.MM.yy", L"!99.99.99;1; ", L"dd.MM.yy", L"05.03.24"},
      {L"d-MMM-yyyy", L"!99-lll-9999;1; ", L"dd-MMM-yyyy", L"05-Mar-2024"},
  };
  for (const Row& row : rows) {
    TFormatSettingsScope locale(Settings(L'.', L',', row.ShortDate));
    EXPECT_EQ(row.Mask, BuildDateEditMask()) << UTF8Encode(row.ShortDate);
    EXPECT_EQ(row.Display, BuildDateDisplayFormat()) << UTF8Encode(row.ShortDate);
    EXPECT_EQ(row.Shown, DateToEditText(true, EncodeDate(2024, 3, 5))) << UTF8Encode(row.ShortDate);
    EXPECT_EQ(L"", DateToEditText(true, NullDate));
  }
}

TEST(CurrencyTexts, DisplayFormatQuotesSeparatorsOfTheCurrencyAndFormatsAmounts) {
  struct Row {
    const wchar_t* Currency;
    int Format, Decimals;
    const wchar_t* Pattern;
    long double Amount;
    const wchar_t* Painted;
  };
  const Row rows[] = {
      {L"$", 0, 2, L"$,0.00;-$,0.00", -1234.5L, L"-$1,234.50"},
      {L"$", 0, 2, L"$,0.00;-$,0.00", 0.004L, L"$0.00"},
      {L"Fr.", 2, 2, L"Fr'.' ,0.00;-Fr'.' ,0.00", 1234567.891L, L"Fr. 1,234,567.89"},
      {L"kr", 3, 0, L",0. kr;-,0. kr", -12.0L, L"-12 kr"},
      {L"", 1, 1, L",0.0;-,0.0", 5.26L, L"5.3"},
  };
  for (const Row& row : rows) {
    TFormatSettings s = Settings();
    s.CurrencyString = row.Currency;
    s.CurrencyFormat = row.Format;
    s.CurrencyDecimals = row.Decimals;
    TFormatSettingsScope locale(s);
    EXPECT_EQ(row.Pattern, BuildCurrencyDisplayFormat());
    EXPECT_EQ(row.Painted, FormatFloat(row.Pattern, row.Amount));
  }
}

TEST(CurrencyTexts, AmountsReadWithoutThousandSeparatorsAndWithinRange) {
  TFormatSettingsScope locale(Settings(L',', L'.'));
  struct Row {
    const wchar_t* Text;
    bool Ok;
    long double Value;
  };
  const Row rows[] = {
      {L"1.234,5", true, 1234.5L}, {L"1E5", true, 100000.0L}, {L"-0", true, 0.0L},
      {L"1,5E-3", true, 0.0015L},  {L"1E400", false, 0.0L},   {L"1E-400", false, 0.0L},
      {L"1,2,3", false, 0.0L},    {L"abc", false, 0.0L},     {L"", false, 0.0L},
  };
  for (const Row& row : rows) {
    long double value = 99;
    EXPECT_EQ(row.Ok, TextToAmount(row.Text, value)) << UTF8Encode(row.Text);
    EXPECT_EQ(row.Value, value) << UTF8Encode(row.Text);
  }
}

TEST(LocaleNumbers, GeneralFormatSwitchesToExponentsAndUsesTheSeparator) {
  const TFormatSettings comma = Settings(L',', L'.');
  struct Row {
    long double Value;
    int Precision;
    const wchar_t* Text;
  };
  const Row rows[] = {
      {20, 15, L"20"},         {0.1L, 15, L"0,1"},       {-2.5L, 2, L"-2,5"},       {1e20L, 15, L"1E20"},
      {1.5e-6L, 15, L"1,5E-6"}, {0.00012L, 15, L"0,00012"}, {123456.0L, 5, L"1,2346E5"}, {2.0L / 3, 13, L"0,6666666666667"},
      {-0.0L, 15, L"0"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.Text, FloatToStrF(row.Value, TFloatFormat::ffGeneral, row.Precision, 0, comma));
  EXPECT_EQ(L"3,14", FloatToStrF(3.14159L, TFloatFormat::ffFixed, 15, 2, comma));
}

TEST(LocaleNumbers, PatternsWithSectionsOptionalDigitsAndLiterals) {
  const TFormatSettings us = Settings();
  struct Row {
    const wchar_t* Pattern;
    long double Value;
    const wchar_t* Text;
  };
  const Row rows[] = {
      {L"#,##0.00", 1234567.891L, L"1,234,567.89"}, {L"0.###", 2.5L, L"2.5"},   {L"#.##", 0.5L, L".5"},
      {L"000", 7, L"007"},                           {L"0;(0);zero", -5, L"(5)"}, {L"0;(0);zero", 0, L"zero"},
      {L"0.0", -0.04L, L"0.0"},                     {L"'#'0", 3, L"#3"},         {L"\"a;b\" 0", 4, L"a;b 4"},
  };
  for (const Row& row : rows) EXPECT_EQ(row.Text, FormatFloat(row.Pattern, row.Value, us)) << UTF8Encode(row.Pattern);
  long double value = 0;
  EXPECT_TRUE(TryStrToFloat(L" -1,5e2 ", value, Settings(L',', L'.')));
  EXPECT_EQ(-150.0L, value);
  EXPECT_FALSE(TryStrToFloat(L"1.5", value, Settings(L',', L'.')));
  EXPECT_THROW(StrToFloat(L"", us), EConvertError);
}

TEST(LocaleDates, FormattingAndReadingTimes) {
  const TFormatSettings us = Settings();
  const TDateTime moment = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
  EXPECT_EQ(L"05.03.2024 14:07:09", FormatDateTime(L"dd.mm.yyyy hh:nn:ss", moment, us));
  EXPECT_EQ(L"Tuesday, March 5 02:07 PM", FormatDateTime(L"dddd, mmmm d hh:mm AMPM", moment, us));
  EXPECT_EQ(L"3/5/24 'x'", FormatDateTime(L"m/d/yy \"'x'\"", moment, us));
  EXPECT_EQ(3, DayOfWeek(moment));
  struct Row {
    const wchar_t* Text;
    bool Ok;
    TDateTime Time;
  };
  const Row rows[] = {
      {L"13:45:10", true, EncodeTime(13, 45, 10, 0)}, {L"1:05 PM", true, EncodeTime(13, 5, 0, 0)},
      {L"12:00 am", true, 0},                         {L"7", true, EncodeTime(7, 0, 0, 0)},
      {L"25:00", false, 0},                           {L"10:60", false, 0},
      {L"10:", false, 0},                             {L"", false, 0},
  };
  for (const Row& row : rows) {
    TDateTime time = -1;
    EXPECT_EQ(row.Ok, TryStrToTime(row.Text, time, us)) << UTF8Encode(row.Text);
    if (row.Ok) {
      EXPECT_NEAR(row.Time, time, 1e-9) << UTF8Encode(row.Text);
    }
  }
  EXPECT_THROW(StrToTime(L"x", us), EConvertError);
}

}  // namespace valueeditors_test
