// The whole run stands between the styled controls' start-up and shut-down,
// the edit's, buttons' and progress bar's steps included, as in the module.
#include <gtest/gtest.h>

#include "XPEditTest.h"
#include "support/FolderTests.h"

#include <objbase.h>

namespace {

class XPEditEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(tvk::RunStartup(xpedit_test::kSteps));
    FailOnException();
  }
  void TearDown() override {
    tvk::RunShutdown(xpedit_test::kSteps);
    CoUninitialize();
  }
};

TVK_FOLDER_ENVIRONMENT(XPEditEnvironment);

}  // namespace
