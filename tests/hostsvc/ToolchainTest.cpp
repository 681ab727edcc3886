// Supports requests, binary scan text, the number formatters and the device
// picture overlay.
#include <gtest/gtest.h>

#include "Tovik.Utils.h"

#include <string>
#include <vector>

using namespace tvk;

namespace {

TEST(Toolchain, NameFromTheRequest) {
  WideString value = L"stale";
  EXPECT_TRUE(GetToolchainName(L"Action=CompileProgram|ToolchainName=ARM GCC", value));
  EXPECT_EQ(L"ARM GCC", value);
  EXPECT_FALSE(GetToolchainName(L"Action=CompileProgram", value));
  EXPECT_EQ(L"", value);
}

TEST(Toolchain, FlowActionIndex) {
  struct Case {
    const wchar_t* Request;
    std::int32_t Index;
  } const cases[] = {
      {L"Action=verifyprogram", 31},
      {L"PauseProcessor", 1},
      {L"pauseprocessor", 1},
      {L"Action=Flash_DownloadDevice|ToolchainName=x", 19},
      {L"Action=Erase", 0},
      {L"Erase", 0},
      {L"", 0},
      {L"Action= ", 0},  // the unused slot has no name
  };
  for (const auto& c : cases) EXPECT_EQ(c.Index, GetFlowActionIndex(c.Request)) << c.Request;
}

TEST(Toolchain, ParseBinaryText) {
  const std::wstring digits35 = L"1111" + std::wstring(30, L'0') + L"1";  // the leading "111" fall out
  struct Case {
    std::wstring Text;
    bool Ok;
    std::uint32_t Value;
  } const cases[] = {
      {L"B1010", true, 10}, {L"b 1010", true, 10},  {L"1 0-1", true, 5},  {L"102", false, 0},
      {L"", true, 0},       {L"B", true, 0},         {L"BB1", false, 0},   {digits35, true, 0x80000001u},
      {L"1x1", false, 0},   {L"11111111111111111111111111111111", true, 0xFFFFFFFFu},
  };
  for (const auto& c : cases) {
    std::uint32_t value = 12345;
    EXPECT_EQ(c.Ok, ParseBinaryText(c.Text, value)) << std::string(c.Text.begin(), c.Text.end());
    EXPECT_EQ(c.Value, value) << std::string(c.Text.begin(), c.Text.end());
  }
}

TEST(Toolchain, Formatters) {
  struct HexCase {
    std::uint32_t Value;
    std::int32_t Bits;
    const wchar_t* Text;
  } const hex[] = {
      {0x5, 8, L"05"}, {0x12345, 8, L"12345"}, {0, 0, L""}, {0xABC, 32, L"00000ABC"}, {0xABC, 12, L"ABC"},
      {0xABC, 13, L"0ABC"}, {0xFFFFFFFF, 1, L"FFFFFFFF"},
  };
  for (const auto& c : hex) {
    WideString text;
    IntToHexMinDigits(c.Value, c.Bits, text);
    EXPECT_EQ(c.Text, text) << c.Value << "/" << c.Bits;
  }
  struct FixedCase {
    double X;
    const wchar_t* Text;
  } const fixed[] = {{3.14159, L"3.14"}, {1234.5, L"1234.50"}, {0, L"0.00"}, {-2.5, L"-2.50"}, {0.005, L"0.01"}};
  for (const auto& c : fixed) {
    WideString text;
    FloatToFixed2(c.X, text);
    EXPECT_EQ(c.Text, text) << c.X;
  }
}

// ---- Overlay

// A 24-bit bitmap whose pixel (x, y) has the colour Paint(x, y).
class Picture {
public:
  template <class F>
  Picture(int width, int height, F paint) : FWidth(width), FHeight(height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    FBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::size_t stride = (std::size_t(width) * 3 + 3) & ~std::size_t(3);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        COLORREF c = paint(x, y);
        BYTE* p = static_cast<BYTE*>(bits) + std::size_t(y) * stride + std::size_t(x) * 3;
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
      }
    GdiFlush();
  }
  ~Picture() { DeleteObject(FBitmap); }
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  HBITMAP Handle() const { return FBitmap; }
  COLORREF At(int x, int y) const {
    GdiFlush();
    DIBSECTION d{};
    GetObjectW(FBitmap, sizeof d, &d);
    const BYTE* p = static_cast<const BYTE*>(d.dsBm.bmBits) + std::size_t(y) * d.dsBm.bmWidthBytes + std::size_t(x) * 3;
    return RGB(p[2], p[1], p[0]);
  }

private:
  int FWidth, FHeight;
  HBITMAP FBitmap = nullptr;
};

constexpr COLORREF kBase = RGB(0, 0, 200);
COLORREF Marked(int x, int y) { return RGB(x + 1, y + 1, 7); }

TEST(Overlay, CentredWithAndWithoutCorners) {
  for (bool skipCorners : {false, true}) {
    Picture base(32, 32, [](int, int) { return kBase; });
    Picture chip(10, 10, Marked);
    CenterOverlayBitmap(chip.Handle(), base.Handle(), skipCorners);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        bool inside = x >= 11 && x < 21 && y >= 11 && y < 21;
        bool corner = (x == 11 || x == 20) && (y == 11 || y == 20);
        COLORREF want = inside && !(skipCorners && corner) ? Marked(x - 11, y - 11) : kBase;
        ASSERT_EQ(want, base.At(x, y)) << x << "," << y << " skip " << skipCorners;
      }
  }
}

TEST(Overlay, ALargerPictureIsClippedToTheTarget) {
  struct Case {
    int SourceW, SourceH, X, Y;
  } const cases[] = {
      {40, 40, -4, -4},   // centred, larger on every side
      {10, 10, 28, 27},   // hangs over the right and bottom edges
      {10, 10, -6, -9},   // hangs over the left and top edges
      {10, 10, 32, 0},    // entirely outside
      {10, 10, -10, 5},   // entirely outside
  };
  for (const auto& c : cases) {
    Picture base(32, 32, [](int, int) { return kBase; });
    Picture chip(c.SourceW, c.SourceH, Marked);
    OverlayBitmap(chip.Handle(), base.Handle(), c.X, false, c.Y);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        int sx = x - c.X, sy = y - c.Y;
        bool covered = sx >= 0 && sx < c.SourceW && sy >= 0 && sy < c.SourceH;
        ASSERT_EQ(covered ? Marked(sx, sy) : kBase, base.At(x, y)) << x << "," << y << " at " << c.X << "," << c.Y;
      }
  }
  Picture base(32, 32, [](int, int) { return kBase; });
  Picture big(40, 40, Marked);
  CenterOverlayBitmap(big.Handle(), base.Handle(), true);  // (32 - 40) / 2 = -4
  EXPECT_EQ(Marked(4, 4), base.At(0, 0));
  EXPECT_EQ(Marked(35, 35), base.At(31, 31));
}

TEST(Overlay, EmptyPicturesChangeNothing) {
  Picture base(4, 4, [](int, int) { return kBase; });
  OverlayBitmap(nullptr, base.Handle(), 0, false, 0);
  Picture chip(2, 2, Marked);
  OverlayBitmap(chip.Handle(), nullptr, 0, false, 0);
  EXPECT_EQ(kBase, base.At(0, 0));
}

}  // namespace
