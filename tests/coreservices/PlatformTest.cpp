// OS version flags from the version numbers, the running system's flags under
// both names, the first day of the week and the locale's items.
#include "CoreServicesTest.h"

#include <string>
#include <vector>

using namespace tvk;
using coreservices_test::CoreServices;

namespace {

// The names of the flags that are set, in declaration order.
std::string SetFlags(const TdxOSVersionFlags& f) {
  const std::pair<bool, const char*> flags[] = {
      {f.OsIsWindows9x, "9x"},
      {f.OsIsWindows95, "95"},
      {f.OsIsWindows98, "98"},
      {f.OsIsWindowsMe, "Me"},
      {f.OsIsWindowsNT, "NT"},
      {f.OsIsWindows2000, "2000"},
      {f.OsIsWindows2000OrNewer, "2000+"},
      {f.OsIsWindowsXP, "XP"},
      {f.OsIsWindowsXPOrNewer, "XP+"},
      {f.OsIsWindows2000OrXP, "2000|XP"},
      {f.OsIsWindowsVista, "Vista"},
      {f.OsIsWindowsVistaOrNewer, "Vista+"},
      {f.OsIsWindows7OrNewer, "7+"},
      {f.OsIsWow64, "Wow64"},
  };
  std::string names;
  for (const auto& [set, name] : flags)
    if (set) names += names.empty() ? name : std::string(" ") + name;
  return names;
}

TEST(OSVersionFlags, FollowThePlatformAndVersion) {
  struct Row {
    DWORD Platform, Major, Minor;
    const char* Set;
  };
  constexpr DWORD k9x = VER_PLATFORM_WIN32_WINDOWS, kNT = VER_PLATFORM_WIN32_NT;
  const Row rows[] = {
      {VER_PLATFORM_WIN32s, 3, 10, ""},
      {k9x, 4, 0, "9x 95"},
      {k9x, 4, 10, "9x 98"},
      {k9x, 4, 90, "9x Me"},
      {kNT, 4, 0, "NT"},
      {kNT, 5, 0, "NT 2000 2000+ 2000|XP"},
      {kNT, 5, 1, "NT 2000+ XP XP+ 2000|XP"},
      {kNT, 5, 2, "NT 2000+ XP XP+ 2000|XP"},
      {kNT, 6, 0, "NT 2000+ XP+ Vista Vista+"},
      {kNT, 6, 1, "NT 2000+ XP+ Vista Vista+ 7+"},  // Vista holds on 6.1 too
      {kNT, 6, 2, "NT 2000+ XP+ Vista Vista+ 7+"},
      {kNT, 10, 0, "NT 2000+ XP+ Vista+ 7+"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(row.Set, SetFlags(CalcOSVersionFlags(row.Platform, row.Major, row.Minor, false)))
        << row.Platform << " " << row.Major << "." << row.Minor;
  EXPECT_EQ("NT 2000+ XP XP+ 2000|XP Wow64", SetFlags(CalcOSVersionFlags(kNT, 5, 1, true)));
}

TEST(OSVersionFlags, OfTheRunningSystemUnderBothNames) {
  InitOSVersionFlags();
  BOOL wow64 = FALSE;
  ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
  EXPECT_EQ(wow64 != FALSE, OsIsWow64);
  EXPECT_EQ(wow64 != FALSE, QueryIsWow64());
  EXPECT_TRUE(OsIsWindowsNT);
  EXPECT_FALSE(OsIsWindows9x);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  ASSERT_TRUE(GetVersionExW(&info));
  EXPECT_EQ(SetFlags(CalcOSVersionFlags(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, wow64 != FALSE)),
            SetFlags(TdxOSVersionFlags{OsIsWindows9x, OsIsWindows95, OsIsWindows98, OsIsWindowsMe, OsIsWindowsNT,
                                       OsIsWindows2000, OsIsWindows2000OrNewer, OsIsWindowsXP, OsIsWindowsXPOrNewer,
                                       OsIsWindows2000OrXP, OsIsWindowsVista, OsIsWindowsVistaOrNewer,
                                       OsIsWindows7OrNewer, OsIsWow64}));
  // The look-and-feel library's names are the same values.
  EXPECT_EQ(&OsIsWindows9x, &RunsOnWin9x);
  EXPECT_EQ(&OsIsWindowsNT, &RunsOnWinNT);
  EXPECT_EQ(&OsIsWow64, &RunsUnderWow64);
  EXPECT_EQ(&OsIsWindowsVistaOrNewer, &IsWinVistaOrLater);
  EXPECT_EQ(&OsIsWindows7OrNewer, &IsWin7OrLater);
}

// Runs the test under Locale as the thread's locale.
class ThreadLocale {
public:
  explicit ThreadLocale(LCID locale) : FOld(GetThreadLocale()) { SetThreadLocale(locale); }
  ~ThreadLocale() { SetThreadLocale(FOld); }

private:
  LCID FOld;
};

constexpr LCID kGerman = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
constexpr LCID kEnglishUS = MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT);

class WeekStart : public CoreServices {
protected:
  void TearDown() override {
    ResetWeekStartDay();
    CoreServices::TearDown();
  }
};

TEST_F(WeekStart, FollowsTheLocaleUntilADayIsAssigned) {
  ThreadLocale german(kGerman);
  ASSERT_TRUE(DxCoreUnitStartup());
  EXPECT_FALSE(IsWeekStartDayAssigned()) << "start-up stores the locale's day without assigning it";
  EXPECT_EQ(L"0", ReadLocaleInfo(kGerman, LOCALE_IFIRSTDAYOFWEEK, L"x"));
  EXPECT_EQ(1, GetLocaleWeekStartDay()) << "Monday";
  EXPECT_EQ(1, GetWeekStartDay());
  {
    ThreadLocale english(kEnglishUS);  // asked afresh on every call
    EXPECT_EQ(0, GetWeekStartDay()) << "Sunday";
  }
  for (uint16_t day = 0; day <= 6; ++day) {
    AssignWeekStartDay(day);
    EXPECT_TRUE(IsWeekStartDayAssigned());
    EXPECT_EQ(day, GetWeekStartDay());
  }
  AssignWeekStartDay(7);
  AssignWeekStartDay(0xFFFF);
  EXPECT_EQ(6, GetWeekStartDay());
  ResetWeekStartDay();
  EXPECT_FALSE(IsWeekStartDayAssigned());
  EXPECT_EQ(1, GetWeekStartDay());
  AssignWeekStartDay(7);  // ignored: still not assigned
  EXPECT_FALSE(IsWeekStartDayAssigned());
}

TEST(LocaleInfo, TextWithoutItsNullOrTheDefault) {
  std::wstring name = ReadLocaleInfo(kEnglishUS, LOCALE_SENGLANGUAGE, L"?");
  EXPECT_EQ(L"English", name);
  EXPECT_EQ(7u, name.size());
  EXPECT_EQ(L"fallback", ReadLocaleInfo(kEnglishUS, 0x7FFF, L"fallback"));
  EXPECT_EQ(L"fallback", ReadLocaleInfo(0x7FFF0000, LOCALE_SENGLANGUAGE, L"fallback"));
}

}  // namespace
