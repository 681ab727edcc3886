#pragma once
// Helpers of the instrument-widget tests: the module's styled-control steps
// with the widgets' own, a form to place widgets on, a message pump that runs
// for a while, mouse messages as the system sends them, and a control's
// painting into a 32-bit bitmap.
#include "ControlSteps.h"
#include "Forms.h"
#include "InstrumentTypes.h"
#include "ModuleInit.h"
#include "styled/StyledTest.h"

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace instrument_test {

// The styled controls' steps, then the instrument widgets' own.
inline constexpr auto kSteps = [] {
  std::array<tvk::TInitStep, std::size(styled_test::kSteps) + 1> steps{};
  std::copy(std::begin(styled_test::kSteps), std::end(styled_test::kSteps), steps.begin());
  steps.back() = {"Instruments", &tvk::InstrumentWidgetsStartup, &tvk::InstrumentWidgetsShutdown};
  return steps;
}();

// A shown form of 800 x 300 to place controls on.
inline std::unique_ptr<tvk::TForm> MakeForm() {
  std::unique_ptr<tvk::TForm> form(tvk::CreateComponent<tvk::TForm>(nullptr, tvk::kCreateNew));
  form->SetBounds(0, 0, 800, 300);
  form->Show();
  return form;
}

// Dispatches messages for Ms milliseconds (timers fire meanwhile).
inline void Pump(DWORD ms) {
  DWORD start = GetTickCount();
  MSG msg;
  while (GetTickCount() - start < ms) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(1);
  }
}

// The red channel of an RGB colour.
inline int Red(tvk::TColor c) { return c & 0xFF; }

inline LPARAM At(int x, int y) { return MAKELPARAM(WORD(short(x)), WORD(short(y))); }

// A press and a release of the left button at (X, Y) and (UpX, UpY) of Window.
inline void ClickAt(HWND window, int x, int y, int upX, int upY) {
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
  SendMessageW(window, WM_LBUTTONUP, 0, At(upX, upY));
}

// The screen animations drawn onto Screen (a 32-bit bitmap whose pixels are
// screen coordinates) while it lives, with every pixel of one chosen frame.
class TAnimationCapture {
public:
  explicit TAnimationCapture(tvk::TBitmap& screen) : FScreen(screen) {
    tvk::SetAnimationScreen(screen.Canvas().Handle());
  }
  ~TAnimationCapture() {
    tvk::SetAnimationFrameHook(nullptr);
    tvk::SetAnimationScreen(nullptr);
  }
  TAnimationCapture(const TAnimationCapture&) = delete;
  TAnimationCapture& operator=(const TAnimationCapture&) = delete;
  std::vector<tvk::TColor> Shot() {
    GdiFlush();
    std::vector<tvk::TColor> pixels;
    for (int y = 0; y < FScreen.Height(); ++y)
      for (int x = 0; x < FScreen.Width(); ++x) pixels.push_back(styled_test::PixelAt(FScreen, x, y));
    return pixels;
  }
  // Runs Animation, keeping the screen as frame Frame showed it.
  void Run(const std::function<void()>& animation, int frame) {
    Frames = 0;
    Middle.clear();
    tvk::SetAnimationFrameHook([&](int shown) {
      ++Frames;
      if (shown == frame) Middle = Shot();
    });
    animation();
    tvk::SetAnimationFrameHook(nullptr);
  }
  int Frames = 0;
  std::vector<tvk::TColor> Middle;

private:
  tvk::TBitmap& FScreen;
};

// What Control paints, as a 32-bit bitmap of its size.
inline void PaintInto(tvk::TWinControl& control, tvk::TBitmap& bitmap) {
  styled_test::MakeCanvas(bitmap, control.Width(), control.Height(), tvk::clBlack);
  control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(bitmap.Canvas().Handle()));
}

}  // namespace instrument_test
