#pragma once
// Helpers of the styled-control tests: the controls' start-up steps around
// the whole run (as the module runs them), 32-bit bitmaps read pixel by pixel,
// and the bounding box of what was drawn.
#include "ControlSteps.h"
#include "Graphics.h"
#include "ModuleInit.h"
#include "support/Rects.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <span>


namespace styled_test {

// The module's styled-control steps, in the module's order.
inline constexpr tvk::TInitStep kSteps[] = {
    {"XPGraphics", &tvk::XPGraphicsStartup, &tvk::XPGraphicsShutdown},
    {"XPImages", &tvk::XPImagesStartup, &tvk::XPImagesShutdown},
    {"AlphaImage", &tvk::AlphaImageStartup, &tvk::AlphaImageShutdown},
    {"SmoothText", &tvk::SmoothTextStartup, &tvk::SmoothTextShutdown},
    {"XPControlUtils", &tvk::XPControlUtilsStartup, &tvk::XPControlUtilsShutdown},
    {"XPControls", &tvk::XPControlsStartup, &tvk::XPControlsShutdown},
};

// The first five bytes of GetWindowDC, where the frame detour is written.
inline std::array<std::uint8_t, 5> EntryBytes() {
  std::array<std::uint8_t, 5> bytes;
  std::memcpy(bytes.data(), reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetWindowDC")),
              5);
  return bytes;
}

// A 32-bit bitmap of Width x Height filled with Fill.
inline void MakeCanvas(tvk::TBitmap& bitmap, int width, int height, tvk::TColor fill) {
  bitmap.SetPixelFormat(tvk::TPixelFormat::pf32bit);
  bitmap.SetSize(width, height);
  bitmap.Canvas().Brush().SetColor(fill);
  bitmap.Canvas().FillRect(RECT{0, 0, width, height});
}

// The colour (0x00BBGGRR) of a 32-bit bitmap's pixel, read from its memory.
inline tvk::TColor PixelAt(tvk::TBitmap& bitmap, int x, int y) {
  auto* p = static_cast<const std::uint8_t*>(bitmap.ScanLine(y)) + x * 4;
  return tvk::TColor(p[2] | (p[1] << 8) | (p[0] << 16));
}

inline std::uint8_t AlphaAt(tvk::TBitmap& bitmap, int x, int y) {
  return static_cast<const std::uint8_t*>(bitmap.ScanLine(y))[x * 4 + 3];
}

// The smallest rectangle holding every pixel that is not Background; empty when none.
inline RECT InkBox(tvk::TBitmap& bitmap, tvk::TColor background) {
  RECT box{bitmap.Width(), bitmap.Height(), 0, 0};
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x)
      if (PixelAt(bitmap, x, y) != background) {
        box.left = std::min<LONG>(box.left, x);
        box.top = std::min<LONG>(box.top, y);
        box.right = std::max<LONG>(box.right, x + 1);
        box.bottom = std::max<LONG>(box.bottom, y + 1);
      }
  if (box.right <= box.left) box = RECT{0, 0, 0, 0};
  return box;
}

// How many pixels of the rectangle are not Background.
inline int InkIn(tvk::TBitmap& bitmap, tvk::TColor background, const RECT& r) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += PixelAt(bitmap, x, y) != background;
  return n;
}

}  // namespace styled_test
