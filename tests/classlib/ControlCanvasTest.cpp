// The canvas bound to a control, the plain speed button and the system push
// button's font.
#include <gtest/gtest.h>

#include "Buttons.h"
#include "Forms.h"
#include "StdCtrls.h"

#include <functional>

using namespace tvk;

namespace {

TEST(ControlCanvas, TakesTheWindowsContextAtTheControlsCornerAndGivesItBack) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  form->SetBounds(0, 0, 200, 100);
  auto* button = new TSpeedButton(form.get());
  button->SetParent(form.get());
  button->SetBounds(10, 20, 30, 15);
  TControlCanvas canvas;
  canvas.SetControl(button);
  EXPECT_FALSE(canvas.HandleAllocated());
  form->HandleNeeded();
  HDC dc = canvas.Handle();
  ASSERT_NE(nullptr, dc);
  EXPECT_EQ(form->Handle(), WindowFromDC(dc));
  POINT origin{};
  GetWindowOrgEx(dc, &origin);
  EXPECT_EQ(-10, origin.x);
  EXPECT_EQ(-20, origin.y);
  canvas.FreeHandle();
  EXPECT_FALSE(canvas.HandleAllocated());
}

TEST(SpeedButton, IsDownWhilePressedAndClicksOnReleaseOverIt) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  form->SetBounds(0, 0, 200, 100);
  auto* button = new TSpeedButton(form.get());
  button->SetParent(form.get());
  button->SetBounds(10, 10, 30, 20);
  form->HandleNeeded();
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(TButtonState::bsDown, button->State());
  button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(TButtonState::bsUp, button->State());
  EXPECT_EQ(1, clicks);
  button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(50, 50));  // released elsewhere
  EXPECT_EQ(1, clicks);
  button->SetEnabled(false);
  EXPECT_EQ(TButtonState::bsDisabled, button->State());
}

// Without the font handed over the system button draws its caption in the
// system font; a changed font must reach the window, as a live handle.
TEST(PushButton, TheWindowDrawsInTheButtonsFontAndTakesEveryChange) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  auto* button = new TButton(form.get());
  button->SetParent(form.get());
  form->HandleNeeded();
  ASSERT_TRUE(button->HandleAllocated());
  auto windowFont = [&] {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(SendMessageW(button->Handle(), WM_GETFONT, 0, 0));
    EXPECT_EQ(int(sizeof font), GetObjectW(handle, sizeof font, &font)) << "a live font";
    return font;
  };
  struct Change {
    const char* What;
    std::function<void()> Apply;
  } changes[] = {{"as made", [] {}},
                 {"the parent's size", [&] { form->Font().SetSize(14); }},
                 {"its own style", [&] { button->Font().SetStyle(fsBold); }}};
  for (const Change& change : changes) {
    change.Apply();
    const LOGFONTW font = windowFont();
    EXPECT_EQ(button->Font().Height(), font.lfHeight) << change.What;
    EXPECT_EQ(button->Font().Name(), WideString(font.lfFaceName)) << change.What;
    EXPECT_EQ((button->Font().Style() & fsBold) != 0, font.lfWeight >= FW_BOLD) << change.What;
  }
}

}  // namespace
