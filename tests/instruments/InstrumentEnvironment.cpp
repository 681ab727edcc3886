// The whole run stands between the styled controls' start-up and shut-down,
// the instrument widgets' step included, as in the module.
#include <gtest/gtest.h>

#include "InstrumentTest.h"
#include "support/FolderTests.h"

#include <objbase.h>

namespace {

class InstrumentEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(tvk::RunStartup(instrument_test::kSteps));
  }
  void TearDown() override {
    tvk::RunShutdown(instrument_test::kSteps);
    CoUninitialize();
  }
};

TVK_FOLDER_ENVIRONMENT(InstrumentEnvironment);

}  // namespace
