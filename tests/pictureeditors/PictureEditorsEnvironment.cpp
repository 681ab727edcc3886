// The whole run stands between the in-place editors' start-up and shut-down,
// as the module does between loading and unloading.
#include "EditorSteps.h"
#include "WindowClasses.h"
#include "support/WindowErrors.h"
#include "support/FolderTests.h"

#include <gtest/gtest.h>

#include <array>

namespace {

constexpr std::array kPictureEditorSteps = {
    tvk::TInitStep{"Controls", nullptr, &tvk::UnregisterWindowClasses},
    TVK_EDITORS_CLASSIC_STEPS
};

class PictureEditorsEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    ASSERT_TRUE(tvk::RunStartup(kPictureEditorSteps));
    FailOnException();
  }
  void TearDown() override { tvk::RunShutdown(kPictureEditorSteps); }
};

TVK_FOLDER_ENVIRONMENT(PictureEditorsEnvironment);

}  // namespace

TEST(PictureEditorsStep, ShutDownFreesTheGlyphListsAndTheOpenFormList) {
  tvk::GetToolbarImages();
  tvk::GetBlobGlyphImages();
  {
    tvk::TdxPopupEditForm form(nullptr);
    tvk::SetApplicationActiveOverride(false);  // the loop closes the form at once
    form.ShowPopup();
    tvk::SetApplicationActiveOverride(std::nullopt);
  }
  ASSERT_NE(nullptr, tvk::OpenPopupForms());
  EXPECT_EQ(8, tvk::GetBlobGlyphImages().Count());
  tvk::DxExPicturesUnitShutdown();
  EXPECT_FALSE(tvk::ToolbarImagesCreated());
  EXPECT_FALSE(tvk::BlobGlyphImagesCreated());
  EXPECT_EQ(nullptr, tvk::OpenPopupForms());
  // Nothing made, nothing to free.
  tvk::DxExPicturesUnitShutdown();
  EXPECT_TRUE(tvk::DxExPicturesUnitStartup());
}
