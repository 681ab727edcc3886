// The 32-bit pixel routines on the class library's bitmaps, and the bitmaps'
// pixel formats.
#include "CoreServicesTest.h"

#include <cstring>
#include <utility>

using namespace tvk;

namespace {

RGBQUAD Quad(uint32_t value) {
  RGBQUAD q;
  std::memcpy(&q, &value, sizeof q);
  return q;
}

uint32_t Value(const RGBQUAD& q) {
  uint32_t value;
  std::memcpy(&value, &q, sizeof value);
  return value;
}

std::vector<uint32_t> Values(const TRGBColors& colors) {
  std::vector<uint32_t> values;
  for (const RGBQUAD& q : colors) values.push_back(Value(q));
  return values;
}

TRGBColors Quads(const std::vector<uint32_t>& values) {
  TRGBColors colors;
  for (uint32_t v : values) colors.push_back(Quad(v));
  return colors;
}

// The pixel at (x, y), row 0 the top, of a 32-bit section, as stored.
uint32_t StoredPixel(TBitmap& bitmap, int x, int y) {
  uint32_t value;
  std::memcpy(&value, static_cast<const char*>(bitmap.ScanLine(y)) + x * 4, sizeof value);
  return value;
}

TEST(ColorToQuad, LaysColoursOutBlueFirst) {
  uint32_t red = ColorToQuad(clRed, 255);
  uint8_t bytes[4];
  std::memcpy(bytes, &red, 4);
  EXPECT_EQ(0, bytes[0]);
  EXPECT_EQ(0, bytes[1]);
  EXPECT_EQ(255, bytes[2]);
  EXPECT_EQ(255, bytes[3]);
  EXPECT_EQ(0x00563412u, ColorToQuad(0x123456));
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(uint32_t(GetBValue(face)) | uint32_t(GetGValue(face)) << 8 | uint32_t(GetRValue(face)) << 16 | 7u << 24,
            ColorToQuad(clBtnFace, 7));
}

TEST(Bitmap, EveryPixelFormatMakesItsSection) {
  struct Row {
    TPixelFormat Format;
    int Bits;  // GetBitmapBitsPerPixel and the section's own
  };
  const Row rows[] = {{TPixelFormat::pf1bit, 1},   {TPixelFormat::pf4bit, 4},   {TPixelFormat::pf8bit, 8},
                      {TPixelFormat::pf15bit, 16}, {TPixelFormat::pf16bit, 16}, {TPixelFormat::pf24bit, 24},
                      {TPixelFormat::pf32bit, 32}};
  for (const Row& row : rows) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(row.Format);
    bitmap.SetSize(5, 3);
    EXPECT_EQ(row.Bits, GetBitmapBitsPerPixel(bitmap));
    bitmap.Canvas().Brush().SetColor(clWhite);
    bitmap.Canvas().FillRect(RECT{0, 0, 5, 3});
    bitmap.Canvas().SetPixel(1, 1, clBlack);
    EXPECT_EQ(clWhite, bitmap.Canvas().Pixel(0, 0)) << row.Bits;
    EXPECT_EQ(clBlack, bitmap.Canvas().Pixel(1, 1)) << row.Bits;
    DIBSECTION ds{};
    ASSERT_EQ(int(sizeof ds), GetObjectW(bitmap.Handle(), sizeof ds, &ds));
    EXPECT_EQ(row.Bits, ds.dsBm.bmBitsPixel);
    if (row.Format == TPixelFormat::pf16bit) {
      EXPECT_EQ(DWORD(BI_BITFIELDS), ds.dsBmih.biCompression);
      EXPECT_EQ(0x07E0u, ds.dsBitfields[1]);
    }
  }
  TBitmap bitmap;
  EXPECT_THROW(bitmap.SetPixelFormat(TPixelFormat::pfCustom), EInvalidOperation);
  EXPECT_EQ(TPixelFormat::pf24bit, bitmap.PixelFormat());
}

TEST(Bitmap, ColoursOfThePalettedSections) {
  for (TPixelFormat format : {TPixelFormat::pf4bit, TPixelFormat::pf8bit}) {
    TBitmap bitmap;
    bitmap.SetPixelFormat(format);
    bitmap.SetSize(2, 2);
    for (TColor color : {clRed, clLime, clBlue, clYellow, clWhite}) {
      bitmap.Canvas().SetPixel(0, 0, color);
      EXPECT_EQ(color, bitmap.Canvas().Pixel(0, 0));
    }
  }
}

TEST(BitsPerPixel, OfADeviceBitmapIsTheScreens) {
  HDC screen = GetDC(nullptr);
  int screenBits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  TBitmap device;
  device.SetPixelFormat(TPixelFormat::pfDevice);
  EXPECT_EQ(screenBits, GetBitmapBitsPerPixel(device));
  device.SetSize(4, 4);
  EXPECT_EQ(screenBits, GetBitmapBitsPerPixel(device));
}

TEST(InitBitmapInfoHeader32, DescribesA32BitDIBInEitherRowOrder) {
  BITMAPINFOHEADER header;
  std::memset(&header, 0xFF, sizeof header);
  InitBitmapInfoHeader32(header, 3, 2, true);
  EXPECT_EQ(40u, header.biSize);
  EXPECT_EQ(3, header.biWidth);
  EXPECT_EQ(-2, header.biHeight);
  EXPECT_EQ(1, header.biPlanes);
  EXPECT_EQ(32, header.biBitCount);
  EXPECT_EQ(DWORD(BI_RGB), header.biCompression);
  EXPECT_EQ(0u, header.biSizeImage);
  EXPECT_EQ(0, header.biXPelsPerMeter);
  EXPECT_EQ(0, header.biYPelsPerMeter);
  EXPECT_EQ(0u, header.biClrUsed);
  EXPECT_EQ(0u, header.biClrImportant);
  InitBitmapInfoHeader32(header, 3, 2, false);
  EXPECT_EQ(2, header.biHeight);
}

class BitmapPixels : public ::testing::Test {
protected:
  void SetUp() override {
    Bitmap.SetPixelFormat(TPixelFormat::pf32bit);
    Bitmap.SetSize(3, 2);
  }
  TBitmap Bitmap;
  // Top row, then bottom row.
  const std::vector<uint32_t> TopDown = {0x01000001, 0x02000002, 0x03000003,
                                         0x04000004, 0x05000005, 0x06000006};
  const std::vector<uint32_t> BottomUp = {0x04000004, 0x05000005, 0x06000006,
                                          0x01000001, 0x02000002, 0x03000003};
};

TEST_F(BitmapPixels, RoundTripInEitherRowOrder) {
  WriteBitmapPixels(Bitmap, Quads(TopDown), true);
  EXPECT_EQ(0x01000001u, StoredPixel(Bitmap, 0, 0)) << "element 0 is the top-left pixel";
  EXPECT_EQ(0x04000004u, StoredPixel(Bitmap, 0, 1));
  TRGBColors colors;
  ASSERT_TRUE(ReadBitmapPixels(Bitmap, colors, true));
  EXPECT_EQ(TopDown, Values(colors));
  ASSERT_TRUE(ReadBitmapPixels(Bitmap, colors, false));
  EXPECT_EQ(BottomUp, Values(colors)) << "element 0 is the bottom-left pixel";

  WriteBitmapPixels(Bitmap, Quads(TopDown), false);
  EXPECT_EQ(0x01000001u, StoredPixel(Bitmap, 0, 1)) << "element 0 is the bottom-left pixel";
  ASSERT_TRUE(ReadBitmapPixels(Bitmap, colors, false));
  EXPECT_EQ(TopDown, Values(colors));
}

// A whole read that fails; line 1 (the top row, counted from the bottom)
// fails as often as Line1Failures says, its first failure scribbling on the
// colours it was given.
struct FailingReads {
  static inline int Line1Failures = 0;
  static inline bool Scribbled = false;
  static inline std::vector<std::pair<UINT, UINT>> Calls;
  static int Read(HDC dc, HBITMAP bitmap, UINT start, UINT lines, LPVOID bits, LPBITMAPINFO info, UINT usage) {
    Calls.emplace_back(start, lines);
    if (lines > 1) return 0;
    if (start == 1 && Line1Failures > 0) {
      --Line1Failures;
      if (!std::exchange(Scribbled, true)) std::memset(bits, 0xEE, std::size_t(info->bmiHeader.biWidth) * 4);
      return 0;
    }
    return GetDIBits(dc, bitmap, start, lines, bits, info, usage);
  }
};

TEST_F(BitmapPixels, AFailedReadIsMadeLineByLineAndALostLineReadsAsZeros) {
  WriteBitmapPixels(Bitmap, Quads(TopDown), true);
  const TDIBitsReader saved = SetDIBitsReader(&FailingReads::Read);
  struct TRestore {
    TDIBitsReader Reader;
    ~TRestore() { SetDIBitsReader(Reader); }
  } restore{saved};
  struct Case {
    int Line1Failures;
    bool Result;
    std::vector<uint32_t> Colors;
    std::vector<std::pair<UINT, UINT>> Calls;  // first line and count of each read
  };
  const Case cases[] = {
      {1, true, TopDown, {{0, 2}, {0, 1}, {1, 1}, {1, 1}}},  // the second read of line 1 goes through a clean buffer
      {2, false, {0, 0, 0, 0x04000004, 0x05000005, 0x06000006}, {{0, 2}, {0, 1}, {1, 1}, {1, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Line1Failures);
    FailingReads::Line1Failures = c.Line1Failures;
    FailingReads::Scribbled = false;
    FailingReads::Calls.clear();
    TRGBColors colors;
    EXPECT_EQ(c.Result, ReadBitmapPixels(Bitmap, colors, true));
    EXPECT_EQ(c.Colors, Values(colors));
    EXPECT_EQ(c.Calls, FailingReads::Calls);
  }
}

TEST_F(BitmapPixels, TooFewColoursWriteNothing) {
  WriteBitmapPixels(Bitmap, Quads(TopDown), true);
  std::vector<uint32_t> shorter(5, 0xFFFFFFFF);
  WriteBitmapPixels(Bitmap, Quads(shorter), true);
  TRGBColors colors;
  ASSERT_TRUE(ReadBitmapPixels(Bitmap, colors, true));
  EXPECT_EQ(TopDown, Values(colors));
}

TEST_F(BitmapPixels, AnEmptyBitmapReadsAsFalseAndEmpty) {
  TBitmap empty;
  empty.SetPixelFormat(TPixelFormat::pf32bit);
  empty.SetSize(4, 0);
  TRGBColors colors = Quads({1, 2, 3});
  EXPECT_FALSE(ReadBitmapPixels(empty, colors, true));
  EXPECT_TRUE(colors.empty());
  WriteBitmapPixels(empty, Quads({1, 2, 3}), true);  // nothing to write to
  EXPECT_FALSE(BitmapHasAlpha(empty));
}

TEST_F(BitmapPixels, AlphaIsSomeReservedByteSetInA32BitBitmap) {
  WriteBitmapPixels(Bitmap, Quads({0x00FFFFFF, 0x00123456, 0, 0, 0, 0x00000001}), true);
  EXPECT_FALSE(BitmapHasAlpha(Bitmap));
  WriteBitmapPixels(Bitmap, Quads({0, 0, 0, 0, 0x01000000, 0}), true);
  EXPECT_TRUE(BitmapHasAlpha(Bitmap));

  TBitmap rgb;
  rgb.SetPixelFormat(TPixelFormat::pf24bit);
  rgb.SetSize(3, 2);
  rgb.Canvas().Brush().SetColor(clWhite);
  rgb.Canvas().FillRect(RECT{0, 0, 3, 2});
  EXPECT_FALSE(BitmapHasAlpha(rgb));
}

}  // namespace
