// The whole run stands between the in-place editors' start-up and shut-down,
// as the module does between loading and unloading.
#include <array>

#include "EditorSteps.h"
#include "TreeListSteps.h"
#include "TreeListTest.h"
#include "WindowClasses.h"
#include "support/FolderTests.h"

namespace treelist_test {
namespace {

constexpr std::array kTreeListSteps = {
    tvk::TInitStep{"Controls", nullptr, &tvk::UnregisterWindowClasses},
    TVK_EDITORS_CLASSIC_STEPS
    TVK_TREELIST_STEPS
};

class TreeListEnvironment : public ::testing::Environment {
public:
  void SetUp() override { ASSERT_TRUE(tvk::RunStartup(kTreeListSteps)); }
  void TearDown() override { tvk::RunShutdown(kTreeListSteps); }
};

TVK_FOLDER_ENVIRONMENT(TreeListEnvironment);

}  // namespace
}  // namespace treelist_test
