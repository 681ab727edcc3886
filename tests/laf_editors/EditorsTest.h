#pragma once
// Helpers of the editors' data-layer tests: a fixture that starts the
// look-and-feel library and the editors' units as the module does and stops
// them after each test.
#include "LookAndFeelEditorsSteps.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

namespace laf_editors_test {

using laf_test::PumpWaiting;
using laf_test::StopSteps;

class EditorsUnits : public ::testing::Test {
protected:
  void SetUp() override {
    for (const tvk::TInitStep& step : tvk::LookAndFeelSteps()) ASSERT_TRUE(step.Startup()) << step.Name;
    FLibraryStarted = true;
    for (const tvk::TInitStep& step : tvk::LookAndFeelEditorsSteps()) ASSERT_TRUE(step.Startup()) << step.Name;
    FEditorsStarted = true;
  }
  void TearDown() override {
    if (FEditorsStarted) StopSteps(tvk::LookAndFeelEditorsSteps());
    if (FLibraryStarted) StopSteps(tvk::LookAndFeelSteps());
    tvk::DxCoreUnitShutdown();
  }
  bool FLibraryStarted = false;
  bool FEditorsStarted = false;
};

}  // namespace laf_editors_test
