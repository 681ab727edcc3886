#pragma once
// Shared helpers of the picture, blob and pop-up-form editor tests.
#include <gtest/gtest.h>

#include "Graphics.h"
#include "support/Rects.h"

namespace picture_test {

// A 32-bit bitmap of Width x Height filled with Color.
inline void FillBitmap(tvk::TBitmap& bitmap, int width, int height, tvk::TColor color) {
  bitmap.SetPixelFormat(tvk::TPixelFormat::pf32bit);
  bitmap.SetSize(width, height);
  HBRUSH brush = CreateSolidBrush(tvk::ColorToRGB(color));
  RECT r{0, 0, width, height};
  FillRect(bitmap.Canvas().Handle(), &r, brush);
  DeleteObject(brush);
}

inline COLORREF PixelAt(tvk::TBitmap& bitmap, int x, int y) { return GetPixel(bitmap.Canvas().Handle(), x, y); }

inline ::testing::AssertionResult SameRect(const RECT& expected, const RECT& actual) {
  if (expected == actual) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "expected (" << expected.left << ", " << expected.top << ", "
                                       << expected.right << ", " << expected.bottom << ") got (" << actual.left
                                       << ", " << actual.top << ", " << actual.right << ", " << actual.bottom << ")";
}

}  // namespace picture_test
