#pragma once
// Helpers of the themed edit and combo tests: the styled controls' and the
// in-place editors' steps, a shown form with a cell host that owns the
// editors, and the styled edit tests' keys and characters.
#include "EditorSteps.h"
#include "XPDXEdits.h"
#include "support/CellHost.h"
#include "xpedit/XPEditTest.h"

#include <array>

namespace dxedits_test {

using xpedit_test::HoldKeys;
using xpedit_test::Key;
using xpedit_test::Type;

inline constexpr auto kSteps = [] {
  constexpr tvk::TInitStep editors[] = {TVK_EDITORS_CLASSIC_STEPS};
  std::array<tvk::TInitStep, std::size(xpedit_test::kSteps) + std::size(editors)> steps{};
  auto end = std::copy(std::begin(xpedit_test::kSteps), std::end(xpedit_test::kSteps), steps.begin());
  std::copy(std::begin(editors), std::end(editors), end);
  return steps;
}();

// A shown form with a cell host of 400 x 200 that owns the editors made on it.
struct DxFixture : ::testing::Test {
  DxFixture() {
    form = instrument_test::MakeForm();
    host = new tvk_test::TCellHost(form.get());
    host->SetParent(form.get());
    host->SetBounds(0, 0, 400, 200);
  }
  ~DxFixture() override {
    HoldKeys(0);
    form.reset();
    tvk::ThemeServices().SetThemesSwitchedOff(false);
    tvk::ClearWin32VersionOverride();
    tvk::UpdateSubstColors();
  }
  template <class T = tvk::TXPDXEdit>
  T* Make(int left = 10, int top = 10) {
    auto* control = new T(host);
    control->SetParent(host);
    control->SetBounds(left, top, 160, 21);
    control->HandleNeeded();
    host->Editor = control;
    return control;
  }
  static void Look(int mode) { xpedit_test::EditFixture::Look(mode); }
  std::unique_ptr<tvk::TForm> form;
  tvk_test::TCellHost* host = nullptr;
};

}  // namespace dxedits_test
