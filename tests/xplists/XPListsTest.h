#pragma once
// Helpers of the list and scroll-bar tests: the styled controls' steps with
// the scroll bar's own, a shown form and look-mode switches.
#include "Application.h"
#include "Convert.h"
#include "Themes.h"
#include "XPControlUtils.h"
#include "XPEdits.h"
#include "XPScrolls.h"
#include "WinXPButtons.h"
#include "instruments/InstrumentTest.h"
#include "support/WindowErrors.h"

#include <gtest/gtest.h>

namespace xplists_test {

inline constexpr auto kSteps = [] {
  std::array<tvk::TInitStep, std::size(styled_test::kSteps) + 3> steps{};
  std::copy(std::begin(styled_test::kSteps), std::end(styled_test::kSteps), steps.begin());
  steps[std::size(styled_test::kSteps)] = {"XPEdits", &tvk::XPEditsStartup, &tvk::XPEditsShutdown};
  steps[std::size(styled_test::kSteps) + 1] = {"WinXPButtons", &tvk::WinXPButtonsStartup,
                                               &tvk::WinXPButtonsShutdown};
  steps.back() = {"XPScrolls", &tvk::XPScrollsStartup, &tvk::XPScrollsShutdown};
  return steps;
}();

struct ListsFixture : ::testing::Test {
  ListsFixture() { form = instrument_test::MakeForm(); }
  ~ListsFixture() override {
    form.reset();
    tvk::ThemeServices().SetThemesSwitchedOff(false);
    tvk::ClearWin32VersionOverride();
    tvk::UpdateSubstColors();
  }
  template <class T>
  T* Make(int left, int top, int width, int height) {
    auto* control = new T(form.get());
    control->SetParent(form.get());
    control->SetBounds(left, top, width, height);
    control->HandleNeeded();
    return control;
  }
  static void Look(int mode) {
    tvk::ThemeServices().SetThemesSwitchedOff(mode != 2);
    if (mode == 1) tvk::OverrideWin32Version(5, 0);
    else tvk::ClearWin32VersionOverride();
    tvk::UpdateSubstColors();
  }
  std::unique_ptr<tvk::TForm> form;
};

}  // namespace xplists_test
