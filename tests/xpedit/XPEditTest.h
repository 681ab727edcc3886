#pragma once
// Helpers of the styled edit and button tests: the styled controls' steps
// with the edit's, buttons' and progress bar's own, a shown form, keys held
// through the thread's keyboard state (Shift also for the edit's caret), key
// and character messages as the system sends them, and look-mode switches.
#include "Application.h"
#include "Convert.h"
#include "Forms.h"
#include "Themes.h"
#include "XPControlUtils.h"
#include "XPEdits.h"
#include "instruments/InstrumentTest.h"
#include "support/WindowErrors.h"

#include <gtest/gtest.h>

namespace xpedit_test {

inline constexpr auto kSteps = [] {
  std::array<tvk::TInitStep, std::size(styled_test::kSteps) + 3> steps{};
  std::copy(std::begin(styled_test::kSteps), std::end(styled_test::kSteps), steps.begin());
  steps[std::size(styled_test::kSteps)] = {"XPEdits", &tvk::XPEditsStartup, &tvk::XPEditsShutdown};
  steps[std::size(styled_test::kSteps) + 1] = {"WinXPButtons", &tvk::WinXPButtonsStartup,
                                                &tvk::WinXPButtonsShutdown};
  steps[std::size(styled_test::kSteps) + 2] = {"XPProgress", &tvk::XPProgressStartup, &tvk::XPProgressShutdown};
  return steps;
}();

// Shift, Ctrl and Alt as held now in the thread's keyboard state.
inline void HoldKeys(tvk::TShiftState shift) {
  BYTE keys[256];
  GetKeyboardState(keys);
  auto set = [&](int vk, bool down) { keys[vk] = down ? 0x80 : 0; };
  set(VK_SHIFT, shift & tvk::ssShift);
  set(VK_CONTROL, shift & tvk::ssCtrl);
  set(VK_MENU, shift & tvk::ssAlt);
  SetKeyboardState(keys);
}

// A key pressed and released on Window with Shift held as given.
inline void Key(HWND window, WORD key, tvk::TShiftState shift = 0) {
  HoldKeys(shift);
  LPARAM data = (shift & tvk::ssAlt) ? (LPARAM(1) << 29) : 0;
  SendMessageW(window, (shift & tvk::ssAlt) ? WM_SYSKEYDOWN : WM_KEYDOWN, key, data);
  SendMessageW(window, (shift & tvk::ssAlt) ? WM_SYSKEYUP : WM_KEYUP, key, data | (LPARAM(3) << 30));
  HoldKeys(0);
}

inline void Type(HWND window, const wchar_t* text) {
  for (; *text; ++text) SendMessageW(window, WM_CHAR, *text, 1);
}

// The edit reads Shift from the thread's state (what HoldKeys sets).
struct EditFixture : ::testing::Test {
  EditFixture() {
    tvk::TCustomXPEdit::ShiftKeyDown = [] { return GetKeyState(VK_SHIFT) < 0; };
    form = instrument_test::MakeForm();
  }
  ~EditFixture() override {
    HoldKeys(0);
    form.reset();
    tvk::ThemeServices().SetThemesSwitchedOff(false);
    tvk::ClearWin32VersionOverride();
    tvk::UpdateSubstColors();
  }
  template <class T = tvk::TXPEdit>
  T* Make(int left = 10, int top = 10) {
    auto* control = new T(form.get());
    control->SetParent(form.get());
    control->SetLeft(left);
    control->SetTop(top);
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

}  // namespace xpedit_test
