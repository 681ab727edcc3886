// Date/time format parsing, masks and display formats, the currency format,
// and the format controller's assigned values, brackets and messages.
#include "EditorsTest.h"
#include "LocaleFormats.h"
#include "cxFormats.h"

#include <string>
#include <vector>

using namespace tvk;

namespace laf_editors_test {

namespace {

TFormatSettings UsSettings() {
  TFormatSettings s;  // the defaults are the US conventions
  s.ShortDateFormat = L"M/d/yyyy";
  s.CurrencyString = L"$";
  s.CurrencyDecimals = 2;
  return s;
}

// Puts a system time format in place for one scope.
struct TTimeFormatScope {
  explicit TTimeFormatScope(const wchar_t* AFormat) { SetLocaleTimeFormatOverride(WideString(AFormat)); }
  ~TTimeFormatScope() { SetLocaleTimeFormatOverride(std::nullopt); }
};

std::wstring Items(const TcxDateTimeFormatInfo& AInfo) {
  std::wstring text;
  for (int i = 0; i < AInfo.ItemCount(); ++i) text += std::to_wstring(AInfo.Items(i).Kind) + L":" + AInfo.Items(i).Data + L" ";
  return text;
}

class TRecordingListener : public IcxFormatControllerListener, public IcxFormatControllerTimeListener {
public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID AIID, void** AObject) override {
    if (IsEqualIID(AIID, IID_IcxFormatControllerTimeListener) && FOffersTime) {
      *AObject = static_cast<IcxFormatControllerTimeListener*>(this);
      return S_OK;
    }
    *AObject = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  void STDMETHODCALLTYPE FormatChanged() override { ++Formats; }
  void STDMETHODCALLTYPE TimeChanged() override { ++Times; }
  bool FOffersTime = true;
  int Formats = 0, Times = 0;
};

}  // namespace

using Formats = EditorsUnits;

TEST_F(Formats, ParsedFormatsGiveTheirMasksAndDisplayFormats) {
  TFormatSettingsScope settings(UsSettings());
  TTimeFormatScope time(L"h:mm:ss tt");
  struct TCase {
    const wchar_t* Format;
    const wchar_t* Items;
    const wchar_t* StandardMask;
    const wchar_t* Display;
  };
  const TCase cases[] = {
      {L"M/d/yyyy", L"2:M 9:/ 3:D 9:/ 1:YYYY ", L"!99/99/9999;1; ", L"mm/dd/yyyy"},
      {L"dd MMM yyyy", L"3:DD 0:  2:MMM 0:  1:YYYY ", L"!99\\ lll\\ 9999;1; ", L"dd' 'mmm' 'yyyy"},
      {L"h:mm:ss AMPM", L"4:12H 10:: 5:NN 10:: 6:SS 0:  8:AMPM ", L"!99:99:99\\ cc;1; ", L"hh:nn:ss' 'ampm"},
      {L"HH:mm", L"4:24HH 10:: 5:NN ", L"!99:99;1; ", L"hh:nn"},
      {L"hh:mm AM/PM", L"4:12HH 10:: 5:NN 0:  8:AM/PM ", L"!99:99\\ cc;1; ", L"hh:nn' 'am/pm"},
      {L"yy 'at' g", L"", L"", L""},  // an era: nothing
      {L"AMPM", L"", L"", L""},       // a suffix without an hour goes
      {L"dddd aaaa", L"3:DDDD 0:  ", L"!lll\\ ;1; ", L"ddd' '"},
      {L"ddddd", L"2:M 9:/ 3:D 9:/ 1:YYYY ", L"!99/99/9999;1; ", L"mm/dd/yyyy"},
      // The time format of the system, its t run read as a suffix.
      {L"tt", L"4:12H 10:: 5:NN 10:: 6:SS 0:  8:AMPM ", L"!99:99:99\\ cc;1; ", L"hh:nn:ss' 'ampm"},
  };
  for (const TCase& c : cases) {
    TcxDateTimeFormatInfo info;
    ParseDateTimeFormat(c.Format, info);
    EXPECT_EQ(std::wstring(c.Items), Items(info)) << c.Format;
    EXPECT_EQ(std::wstring(c.StandardMask), StandardMaskOf(info, TcxMaskKind::mkDate)) << c.Format;
    EXPECT_EQ(std::wstring(c.Display), DisplayFormatOf(info)) << c.Format;
  }
  TcxDateTimeFormatInfo t;
  ParseDateTimeFormat(L"HH:mm", t);
  EXPECT_EQ(L"00:00;1;0", StandardMaskOf(t, TcxMaskKind::mkTime));
  EXPECT_EQ(L"([01]?\\d|2[0-3])\\:[0-5]?\\d", RegExprTimeMaskOf(t));
  ParseDateTimeFormat(L"h:mm:ss AMPM", t);
  EXPECT_EQ(L"(0?[1-9]|1[012])\\:[0-5]?\\d\\:[0-5]?\\d' '('AM'|'PM')?", RegExprTimeMaskOf(t));
  ParseDateTimeFormat(L"dd MMM yyyy", t);
  EXPECT_EQ(L"([012]?[1-9]|[123]0|31)' '((0?[1-9]|1[012])|('Jan'|'Feb'|'Mar'|'Apr'|'May'|'Jun'|'Jul'|'Aug'|'Sep'|'Oct'|"
            L"'Nov'|'Dec'))' '\\d\\d\\d\\d",
            RegExprDateMaskOf(t));
}

TEST_F(Formats, MaskPositionsFindTheirItemZones) {
  TFormatSettingsScope settings(UsSettings());
  TcxDateTimeFormatInfo info;
  ParseDateTimeFormat(L"M/d/yyyy hh:mm AM/PM", info);
  EXPECT_EQ(2 + 1 + 2 + 1 + 4 + 1 + 2 + 1 + 2 + 1 + 2, GetDateTimeStandardMaskStringLength(info));
  struct TCase {
    int Position;
    bool Found;
    TcxDateTimeFormatItemKind Kind;
    int Start, Length;
  };
  const TCase cases[] = {{0, false, dtikString, 0, 0},   {1, true, dtikMonth, 1, 2},  {2, true, dtikMonth, 1, 2},
                         {3, true, dtikDateSeparator, 3, 1}, {7, true, dtikYear, 7, 4}, {18, true, dtikTimeSuffix, 18, 2},
                         {20, false, dtikString, 0, 0}};
  for (const TCase& c : cases) {
    TcxDateTimeFormatItemInfo item{};
    ASSERT_EQ(c.Found, GetDateTimeFormatItemStandardMaskInfo(info, c.Position, item)) << c.Position;
    if (!c.Found) continue;
    EXPECT_EQ(c.Kind, item.Kind) << c.Position;
    EXPECT_EQ(c.Start, item.ItemZoneStart) << c.Position;
    EXPECT_EQ(c.Length, item.ItemZoneLength) << c.Position;
  }
  TcxDateTimeFormatItemInfo suffix{};
  ASSERT_TRUE(GetDateTimeFormatItemStandardMaskInfo(info, 19, suffix));
  EXPECT_EQ(tskAMPM, suffix.TimeSuffixKind);
  TcxDateTimeFormatInfo empty;
  EXPECT_FALSE(GetDateTimeFormatItemStandardMaskInfo(empty, 1, suffix));
}

TEST(FormatsCurrency, EveryPatternBuildsItsFormat) {
  TFormatSettings s = UsSettings();
  s.CurrencyFormat = 1;
  s.NegCurrFormat = 8;
  {
    TFormatSettingsScope scope(s);
    EXPECT_EQ(L",0.00$;-,0.00 $", BuildCurrencyFormat());
  }
  const wchar_t* const negatives[] = {L"($,0.00)",  L"-$,0.00",  L"$-,0.00",  L"$,0.00-",  L"(,0.00$)",  L"-,0.00$",
                                      L",0.00-$",   L",0.00$-",  L"-,0.00 $", L"-$ ,0.00", L",0.00 $-", L"$ ,0.00-",
                                      L"$ -,0.00",  L",0.00- $", L"($ ,0.00)", L"(,0.00 $)", L""};
  for (int m = 0; m <= 16; ++m) {
    s.CurrencyFormat = 0;
    s.NegCurrFormat = m;
    TFormatSettingsScope scope(s);
    EXPECT_EQ(std::wstring(L"$,0.00;") + negatives[m], BuildCurrencyFormat()) << m;
  }
  s.CurrencyString = L"Kč.";
  s.CurrencyFormat = 3;
  s.CurrencyDecimals = 0;
  s.NegCurrFormat = 1;
  TFormatSettingsScope scope(s);
  EXPECT_EQ(L",0. Kč'.';-Kč'.',0.", BuildCurrencyFormat());
  EXPECT_EQ(L"MM/dd/yyyy", DateEditFormatOf(L"M/d/yyyy"));
  EXPECT_EQ(L"dd.MM.yy", DateEditFormatOf(L"dd.M.yy"));
}

TEST_F(Formats, TheControllerDerivesKeepsAssignedValuesAndBatchesNotices) {
  TFormatSettingsScope settings(UsSettings());
  TTimeFormatScope time(L"h:mm:ss tt");
  TcxFormatController* controller = GetFormatController();
  ASSERT_NE(nullptr, controller);
  controller->GetFormats();
  EXPECT_EQ(L"MM/dd/yyyy", controller->DateEditFormat());
  EXPECT_EQ(L"!99/99/9999;1; ", controller->StandardDateEditMask());
  EXPECT_EQ(L"mm/dd/yyyy", controller->MaskedDateEditFormat());
  EXPECT_EQ(L"!99/99/9999\\ 99:99:99\\ cc;1; ", controller->StandardDateTimeEditMask());
  const std::wstring dateMask = controller->RegExprDateEditMask();
  EXPECT_TRUE(dateMask.starts_with(L"(((0?[1-9]|1[012])|('Jan'")) << dateMask;
  EXPECT_TRUE(dateMask.ends_with(L"|'eom')((\\+|-)\\d(\\d(\\d\\d?)?)?)?")) << dateMask;
  EXPECT_NE(std::wstring::npos, controller->RegExprDateTimeEditMask().find(L"|'now')")) << "date-times add now";
  EXPECT_EQ(std::wstring::npos, dateMask.find(L"'now'"));

  TRecordingListener listener;
  controller->AddListener(&listener);
  controller->AddListener(&listener);
  controller->SetRegExprDateEditMask(L"\\d+");
  EXPECT_EQ(1, listener.Formats);
  controller->SetRegExprDateEditMask(L"\\d+");
  EXPECT_EQ(1, listener.Formats) << "the same value: no notice";
  EXPECT_TRUE(controller->AssignedRegExprDateEditMask());

  controller->BeginUpdate();
  controller->BeginUpdate();
  controller->SetCurrencyFormat(L"x");
  controller->SetStandardDateEditMask(L"y");
  controller->EndUpdate();
  EXPECT_EQ(1, listener.Formats);
  controller->EndUpdate();
  EXPECT_EQ(2, listener.Formats) << "one notice per outer bracket";

  // A real settings change re-reads the formats; assigned values stay.
  SendMessageW(controller->Handle(), WM_WININICHANGE, 0, LPARAM(L"intl"));
  EXPECT_EQ(3, listener.Formats);
  EXPECT_EQ(L"\\d+", controller->RegExprDateEditMask());
  EXPECT_EQ(L"x", controller->CurrencyFormat());
  UpdateFormatSettings() = false;
  SendMessageW(controller->Handle(), WM_WININICHANGE, 0, LPARAM(L"intl"));
  UpdateFormatSettings() = true;
  EXPECT_EQ(3, listener.Formats) << "the application keeps its settings";
  SendMessageW(controller->Handle(), WM_WININICHANGE, 0, LPARAM(L"windows"));
  EXPECT_EQ(3, listener.Formats);

  TRecordingListener formatsOnly;
  formatsOnly.FOffersTime = false;
  controller->AddListener(&formatsOnly);
  SendMessageW(controller->Handle(), WM_TIMECHANGE, 0, 0);
  EXPECT_EQ(1, listener.Times);
  EXPECT_EQ(0, formatsOnly.Times);
  controller->RemoveListener(&listener);
  controller->RemoveListener(&formatsOnly);
  GetResourceStringsRepository().NotifyListeners();
  EXPECT_EQ(3, listener.Formats) << "a removed listener hears nothing";
}

TEST_F(Formats, AListenerThatFailsDoesNotLeaveTheWindowProcedure) {
  struct TThrowingListener : TRecordingListener {
    void STDMETHODCALLTYPE FormatChanged() override { throw EVariantError(L"listener failed"); }
    void STDMETHODCALLTYPE TimeChanged() override { throw EVariantError(L"listener failed"); }
  } failing;
  TcxFormatController* controller = GetFormatController();
  controller->AddListener(&failing);
  EXPECT_EQ(0, SendMessageW(controller->Handle(), WM_WININICHANGE, 0, LPARAM(L"intl")));
  EXPECT_EQ(0, SendMessageW(controller->Handle(), WM_TIMECHANGE, 0, 0));
  controller->RemoveListener(&failing);
  EXPECT_FALSE(controller->DateEditFormat().empty()) << "the formats were derived before the listener failed";
}

TEST_F(Formats, TheControllerGoesWithItsUnitAndIsNotMadeAgain) {
  TcxFormatController* controller = GetFormatController();
  ASSERT_NE(nullptr, controller);
  EXPECT_EQ(controller, GetFormatController());
  const int listeners = GetResourceStringsRepository().ListenersCount();
  StopSteps(LookAndFeelEditorsSteps());
  EXPECT_EQ(nullptr, GetFormatController());
  EXPECT_EQ(listeners - 1, GetResourceStringsRepository().ListenersCount());
  for (const TInitStep& step : LookAndFeelEditorsSteps()) ASSERT_TRUE(step.Startup());
  EXPECT_NE(nullptr, GetFormatController());
}

}  // namespace laf_editors_test
