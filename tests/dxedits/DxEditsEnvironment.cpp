// The whole run stands between the styled controls' and the in-place
// editors' start-up and shut-down, as in the module.
#include "DxEditsTest.h"
#include "support/FolderTests.h"

#include <objbase.h>

namespace {

class DxEditsEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(tvk::RunStartup(dxedits_test::kSteps));
    FailOnException();
  }
  void TearDown() override {
    tvk::RunShutdown(dxedits_test::kSteps);
    CoUninitialize();
  }
};

TVK_FOLDER_ENVIRONMENT(DxEditsEnvironment);

}  // namespace
