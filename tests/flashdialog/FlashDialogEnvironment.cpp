// The whole run stands between the styled controls' start-up and shut-down,
// as in the module; message dialogs are answered by the tests.
#include <gtest/gtest.h>

#include "ControlSteps.h"
#include "ModuleInit.h"
#include "support/FolderTests.h"
#include "support/WindowErrors.h"

#include <objbase.h>

namespace flashdialog_test {

constexpr tvk::TInitStep kSteps[] = {TVK_STYLED_CONTROLS_STEPS};

class FlashDialogEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_TRUE(tvk::RunStartup(kSteps));
    FailOnException();
  }
  void TearDown() override {
    tvk::RunShutdown(kSteps);
    CoUninitialize();
  }
};

TVK_FOLDER_ENVIRONMENT(FlashDialogEnvironment);

}  // namespace flashdialog_test
