#pragma once
// Shared helpers of the in-place editor tests.
#include <gtest/gtest.h>

#include "support/CellHost.h"
#include "Forms.h"
#include "Graphics.h"
#include "dxCntner.h"
#include "dxEditor.h"
#include "dxUtils.h"

namespace inplace_test {

// A 32-bit bitmap of Width x Height filled with Color.
inline void MakeBitmap(tvk::TBitmap& bitmap, int width, int height, tvk::TColor color) {
  bitmap.SetPixelFormat(tvk::TPixelFormat::pf32bit);
  bitmap.SetSize(width, height);
  HBRUSH brush = CreateSolidBrush(tvk::ColorToRGB(color));
  RECT r{0, 0, width, height};
  FillRect(bitmap.Canvas().Handle(), &r, brush);
  DeleteObject(brush);
}

inline COLORREF Pixel(tvk::TBitmap& bitmap, int x, int y) { return GetPixel(bitmap.Canvas().Handle(), x, y); }

// Whether any pixel of R differs from Background.
inline bool HasInk(tvk::TBitmap& bitmap, const RECT& r, COLORREF background) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (Pixel(bitmap, x, y) != background) return true;
  return false;
}

// The first row of R holding a pixel other than Background, or -1.
inline int FirstInkRow(tvk::TBitmap& bitmap, const RECT& r, COLORREF background) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (Pixel(bitmap, x, y) != background) return y;
  return -1;
}

// A form holding a cell host of 100 x 200 pixels with five text cells and a text editor.
struct HostFixture : ::testing::Test {
  std::unique_ptr<tvk::TForm> Form{tvk::CreateComponent<tvk::TForm>(nullptr, tvk::kCreateNew)};
  tvk_test::TCellHost* Host = nullptr;

  void SetUp() override {
    Form->SetBounds(0, 0, 300, 300);
    Host = new tvk_test::TCellHost(Form.get());
    Host->SetParent(Form.get());
    Host->SetBounds(0, 0, 100, 200);
    Host->Cells = {L"alpha", L"beta", L"gamma", L"delta", L"epsilon"};
  }
};

}  // namespace inplace_test
