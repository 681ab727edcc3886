// The whole run stands between the styled controls' start-up and shut-down,
// as the module does between loading and unloading; COM is there for the
// imaging codecs, as on the host's user-interface thread.
#include <gtest/gtest.h>

#include "StyledTest.h"
#include "support/FolderTests.h"

#include <objbase.h>

namespace {

class StyledEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(tvk::RunStartup(styled_test::kSteps));
  }
  void TearDown() override {
    tvk::RunShutdown(styled_test::kSteps);
    CoUninitialize();
  }
};

TVK_FOLDER_ENVIRONMENT(StyledEnvironment);

}  // namespace
