// The whole run stands between the styled controls' start-up and shut-down,
// the scroll bar's step included, as in the module.
#include <gtest/gtest.h>

#include "XPListsTest.h"
#include "support/FolderTests.h"

#include <objbase.h>

namespace {

class XPListsEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(tvk::RunStartup(xplists_test::kSteps));
    FailOnException();
  }
  void TearDown() override {
    tvk::RunShutdown(xplists_test::kSteps);
    CoUninitialize();
  }
};

TVK_FOLDER_ENVIRONMENT(XPListsEnvironment);

}  // namespace
