// The whole run stands between the in-place editors' start-up and shut-down,
// as the module does between loading and unloading.
#include "EditorSteps.h"
#include "ExEditorsTest.h"
#include "WindowClasses.h"
#include "support/FolderTests.h"

#include <array>

namespace {

constexpr std::array kExEditorSteps = {
    tvk::TInitStep{"Controls", nullptr, &tvk::UnregisterWindowClasses},
    TVK_EDITORS_CLASSIC_STEPS
};

class ExEditorsEnvironment : public ::testing::Environment {
public:
  void SetUp() override { ASSERT_TRUE(tvk::RunStartup(kExEditorSteps)); }
  void TearDown() override { tvk::RunShutdown(kExEditorSteps); }
};

TVK_FOLDER_ENVIRONMENT(ExEditorsEnvironment);

}  // namespace
