#pragma once
// Helpers of the look-and-feel library's tests: a fixture that runs the
// library's start-up before each test and its shut-down after it, as the
// module does, and frees the shared core services afterwards.
#include "LookAndFeelSteps.h"
#include "classlib/ClassLibTest.h"
#include "dxCore.h"

#include <gtest/gtest.h>

namespace laf_test {

using classlib_test::ExceptionRecorder;
using classlib_test::PumpUntil;

// Runs the shut-down steps of Steps from the last to the first; an error of a
// step is kept for the caller (the module's frame drops it).
inline void StopSteps(std::span<const tvk::TInitStep> steps) {
  for (std::size_t i = steps.size(); i-- > 0;)
    if (steps[i].Shutdown) steps[i].Shutdown();
}

class LookAndFeel : public ::testing::Test {
protected:
  void SetUp() override {
    for (const tvk::TInitStep& step : tvk::LookAndFeelSteps()) ASSERT_TRUE(step.Startup()) << step.Name;
    FStarted = true;
  }
  void TearDown() override {
    if (FStarted) StopSteps(tvk::LookAndFeelSteps());
    tvk::DxCoreUnitShutdown();
  }
  bool FStarted = false;
};

// Processes the messages waiting now (those of every window of the thread).
inline void PumpWaiting() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace laf_test
