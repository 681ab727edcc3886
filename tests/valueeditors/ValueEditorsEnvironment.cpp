// The whole run stands between the in-place editors' start-up and shut-down.
#include "EditorSteps.h"
#include "ValueEditorsTest.h"
#include "WindowClasses.h"
#include "support/FolderTests.h"

#include <array>

namespace {

constexpr std::array kValueEditorSteps = {
    tvk::TInitStep{"Controls", nullptr, &tvk::UnregisterWindowClasses},
    TVK_EDITORS_CLASSIC_STEPS
};

class ValueEditorsEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    ASSERT_TRUE(tvk::RunStartup(kValueEditorSteps));
    FailOnException();
  }
  void TearDown() override { tvk::RunShutdown(kValueEditorSteps); }
};

TVK_FOLDER_ENVIRONMENT(ValueEditorsEnvironment);

}  // namespace

TEST(ValueEditorSteps, StartUpLoadsTheCalculatorAndCalendarTextsAndCountedShutDownKeepsThemUntilTheLast) {
  EXPECT_EQ(L"Error", tvk::CalcErrorText());
  EXPECT_EQ(L"Today", tvk::CalendarTodayCaption());
  EXPECT_EQ(L"Clear", tvk::CalendarClearCaption());
  ASSERT_TRUE(tvk::DxCalcUnitStartup());
  ASSERT_TRUE(tvk::DxGrDateUnitStartup());
  tvk::DxCalcUnitShutdown();
  tvk::DxGrDateUnitShutdown();
  EXPECT_EQ(L"Error", tvk::CalcErrorText());
  EXPECT_EQ(L"Clear", tvk::CalendarClearCaption());
}
