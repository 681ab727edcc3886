// The whole run stands between the in-place editors' start-up and shut-down,
// as the module does between loading and unloading.
#include "EditorSteps.h"
#include "InplaceTest.h"
#include "WindowClasses.h"
#include "support/FolderTests.h"

#include <array>

namespace {

constexpr std::array kInplaceSteps = {
    tvk::TInitStep{"Controls", nullptr, &tvk::UnregisterWindowClasses},
    TVK_EDITORS_CLASSIC_STEPS
};

class InplaceEnvironment : public ::testing::Environment {
public:
  void SetUp() override { ASSERT_TRUE(tvk::RunStartup(kInplaceSteps)); }
  void TearDown() override { tvk::RunShutdown(kInplaceSteps); }
};

TVK_FOLDER_ENVIRONMENT(InplaceEnvironment);

}  // namespace

TEST(EditorSteps, StartUpLoadsTheRichEditLibraryAndTheMenuCaptions) {
  EXPECT_NE(nullptr, tvk::RichEditLibrary());
  EXPECT_EQ(L"&Undo", tvk::EditMenuCaption(0));
  EXPECT_EQ(L"Select &All", tvk::EditMenuCaption(6));
  EXPECT_NE(nullptr, tvk::DefaultEditStyleController());
}

TEST(EditorSteps, ShutDownFreesTheDefaultControllerAndTheCaptionsAndStartUpMakesThemAgain) {
  tvk::DxEditorUnitShutdown();
  tvk::DxCntnerUnitShutdown();
  EXPECT_EQ(nullptr, tvk::DefaultEditStyleController());
  EXPECT_EQ(nullptr, tvk::RichEditLibrary());
  EXPECT_TRUE(tvk::EditMenuCaption(0).empty());
  ASSERT_TRUE(tvk::DxCntnerUnitStartup());
  ASSERT_TRUE(tvk::DxEditorUnitStartup());
  EXPECT_NE(nullptr, tvk::DefaultEditStyleController());
  EXPECT_EQ(L"Cu&t", tvk::EditMenuCaption(2));
}
