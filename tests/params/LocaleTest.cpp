// Numbers in parameter strings must read and write the same for every user:
// these run with a comma-decimal locale in force on the thread and in the C
// runtime, the two places a conversion could pick one up from.
#include <gtest/gtest.h>
#include <windows.h>

#include "Convert.h"
#include "Extension.Util.h"
#include "ServedCall.h"
#include "ZUL.Param.h"

#include <clocale>
#include <cstdio>
#include <string>

using namespace tvk;

namespace {

class CommaDecimalLocale : public ::testing::Test {
protected:
  // Both set explicitly, and the test fails when either cannot be: without
  // them in force it would pass proving nothing. Wine carries the locale data.
  void SetUp() override {
    FOldThreadLocale = GetThreadLocale();
    FOldCrtLocale = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT)))
        << "the thread locale cannot be set to German (Germany)";
    const char* crt = nullptr;
    for (const char* name : {"German_Germany.1252", "de-DE", "German", "de_DE"})
      if ((crt = std::setlocale(LC_ALL, name))) break;
    ASSERT_NE(nullptr, crt) << "the C runtime has no German locale";
    ASSERT_TRUE(CommaInForce()) << "a comma-decimal locale was set but is not in force";
  }
  void TearDown() override {
    std::setlocale(LC_ALL, FOldCrtLocale.c_str());
    SetThreadLocale(FOldThreadLocale);
  }
  // The comma as the decimal separator of the C runtime's formatting and of the thread's locale.
  static bool CommaInForce() {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", 0.5);
    wchar_t separator[4] = {};
    GetLocaleInfoW(GetThreadLocale(), LOCALE_SDECIMAL, separator, 4);
    return std::string(text) == "0,5" && std::wstring(separator) == L",";
  }

private:
  LCID FOldThreadLocale = 0;
  std::string FOldCrtLocale;
};

}  // namespace

TEST_F(CommaDecimalLocale, NumbersStayLocaleIndependent) {
  TParameterList list;
  list.SetState_AddParameterAsDouble(L"Half", 0.5);
  list.SetState_AddParameterAsDouble(L"Big", 1234567.25);
  list.SetState_AddParameterAsInteger(L"Int", 1234567);
  list.SetState_AddParameterAsInt64(L"Long", -9876543210LL);
  EXPECT_EQ(list.GetState(), L"Half=0.5|Big=1234567.25|Int=1234567|Long=-9876543210");

  double d = 0;
  float f = 0;
  EXPECT_TRUE(list.GetState_ParameterAsDouble(L"Half", d));
  EXPECT_EQ(d, 0.5);
  EXPECT_TRUE(list.GetState_ParameterAsReal(L"Big", f));
  EXPECT_EQ(f, 1234567.25f);

  list.SetState(L"Comma=0,5");
  f = 3;
  EXPECT_FALSE(list.GetState_ParameterAsReal(L"Comma", f));
  EXPECT_EQ(f, 3);
  EXPECT_THROW(list.GetState_ParameterAsDouble(L"Comma", d), EConvertError);

  std::int64_t size = 0;
  EXPECT_TRUE(TryParseSizeValue(L"1_000k", size));
  EXPECT_EQ(size, 1024000);

  // The host boundary's conversions of served-call arguments.
  VARIANT half;
  VariantInit(&half);
  half.vt = VT_R8;
  half.dblVal = 1234.5;
  EXPECT_EQ(L"1234.5", ServedArgString(half));
  Bstr text(std::wstring(L"1234.75"));
  VARIANT number;
  VariantInit(&number);
  number.vt = VT_BSTR;
  number.bstrVal = text.Get();
  EXPECT_EQ(1235, ServedArgInt(number));  // the "." read as the decimal point, then rounded
}
