#pragma once
// Helpers of the painter tests: the look-and-feel library started around each
// test, and a small 32-bit drawing surface filled with a sentinel colour, so
// that a test sees exactly which pixels an element touched.
#include "cxLookAndFeelPainters.h"
#include "cxLookAndFeels.h"
#include "lookandfeel/LookAndFeelTest.h"

#include <gtest/gtest.h>

#include <array>

namespace painters_test {

using laf_test::LookAndFeel;

inline constexpr tvk::TColor kSentinel = 0x123456;

// The RGB value a colour has on screen now (system colours resolved).
inline tvk::TColor Rgb(tvk::TColor AColor) { return tvk::TColor(tvk::ColorToRGB(AColor)); }

struct TDib {
  TDib(int AWidth, int AHeight) : Bitmap(AWidth, AHeight) { Fill(kSentinel); }
  void Fill(tvk::TColor AColor) { Canvas().FillRect(Bitmap.ClientRect(), AColor); }
  tvk::TcxCanvas& Canvas() { return Bitmap.cxCanvas(); }
  tvk::TColor At(int X, int Y) { return Bitmap.Canvas().Pixel(X, Y); }
  int Width() const { return Bitmap.Width(); }
  int Height() const { return Bitmap.Height(); }
  // The box of every pixel of AColor (empty when none).
  RECT BoundsOf(tvk::TColor AColor) {
    RECT r{Width(), Height(), 0, 0};
    const tvk::TColor rgb = Rgb(AColor);
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x)
        if (At(x, y) == rgb) r = {std::min<LONG>(r.left, x), std::min<LONG>(r.top, y), std::max<LONG>(r.right, x + 1),
                                  std::max<LONG>(r.bottom, y + 1)};
    return r.right > r.left ? r : RECT{};
  }
  int CountOf(tvk::TColor AColor) {
    int n = 0;
    const tvk::TColor rgb = Rgb(AColor);
    for (int y = 0; y < Height(); ++y)
      for (int x = 0; x < Width(); ++x) n += At(x, y) == rgb;
    return n;
  }
  bool Untouched() { return CountOf(kSentinel) == Width() * Height(); }
  tvk::TcxBitmap32 Bitmap;
};

// A rectangle as left, top, right, bottom, for comparisons.
using TBox = std::array<LONG, 4>;
inline TBox Box(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace painters_test
