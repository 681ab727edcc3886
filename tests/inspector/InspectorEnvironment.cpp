// The whole run stands between the in-place editors' and the inspector's
// start-up and shut-down, as the module does between loading and unloading.
#include <array>

#include "EditorSteps.h"
#include "InspectorSteps.h"
#include "InspectorTest.h"
#include "WindowClasses.h"
#include "support/FolderTests.h"

namespace inspector_test {
namespace {

constexpr std::array kInspectorSteps = {
    tvk::TInitStep{"Controls", nullptr, &tvk::UnregisterWindowClasses},
    TVK_EDITORS_CLASSIC_STEPS
    TVK_INSPECTOR_STEPS
};

class InspectorEnvironment : public ::testing::Environment {
public:
  void SetUp() override { ASSERT_TRUE(tvk::RunStartup(kInspectorSteps)); }
  void TearDown() override { tvk::RunShutdown(kInspectorSteps); }
};

TVK_FOLDER_ENVIRONMENT(InspectorEnvironment);

TEST(InspectorUnit, StartUpLoadsTheCursorsAndTheDragBitmapOnceAndShutDownFreesThem) {
  for (tvk::TCursor id : {tvk::crdxInspectorInsert, tvk::crdxInspectorAddChild, tvk::crdxInspectorAdd,
                          tvk::crdxInspectorHide, tvk::crdxInspectorNoDrag})
    EXPECT_TRUE(tvk::Screen().HasCursor(id)) << id;
  tvk::TBitmap* bitmap = tvk::TCustomdxInspector::DragBitmap();
  ASSERT_NE(nullptr, bitmap);
  EXPECT_TRUE(tvk::InspectorUnitStartup());
  EXPECT_EQ(bitmap, tvk::TCustomdxInspector::DragBitmap());  // entered again: nothing new
  tvk::InspectorUnitShutdown();
  EXPECT_EQ(nullptr, tvk::TCustomdxInspector::DragBitmap());
  EXPECT_FALSE(tvk::Screen().HasCursor(tvk::crdxInspectorInsert));
  ASSERT_TRUE(tvk::InspectorUnitStartup());
  EXPECT_NE(nullptr, tvk::TCustomdxInspector::DragBitmap());
}

}  // namespace
}  // namespace inspector_test
