// The library's bitmaps: batched notifications, sizes, the 32-bit pixel
// operations and transformations, and the compressed form data.
#include "LookAndFeelTest.h"
#include "cxGraphics.h"

#include <cstring>
#include <vector>

using namespace tvk;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Expand(const Bytes& packed, bool* compressed = nullptr, std::int64_t* position = nullptr) {
  TMemoryStream stream{Bytes(packed)};
  Bytes plain;
  bool ok = DecompressBitmapData(stream, plain);
  if (compressed) *compressed = ok;
  if (position) *position = stream.Position();
  return plain;
}

uint32_t Value(const RGBQUAD& q) {
  uint32_t v;
  std::memcpy(&v, &q, 4);
  return v;
}

}  // namespace

TEST(CompressedBitmapData, GoldenBytesOfRepeatAndLiteralRuns) {
  const Bytes plain = {0x09, 1, 2, 3, 1, 2, 3, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  const Bytes expected = {0x0E, 0, 0, 0, 0x58, 0x44, 0x42, 0x4D, 2, 0,  // header
                          3, 1, 0x09,                                  // element size, remainder and its byte
                          0x03, 1, 2, 3,                               // three copies
                          0x82, 4, 5, 6, 7, 8, 9};                     // two as they are
  EXPECT_EQ(expected, CompressBitmapData(plain, 3));
  EXPECT_EQ(plain, Expand(expected));

  // A literal run that meets two equal neighbours gives the last one to the repeat run.
  const Bytes mixed = {5, 6, 7, 7};
  const Bytes packed = CompressBitmapData(mixed, 1);
  EXPECT_EQ((Bytes{1, 0, 0x82, 5, 6, 0x02, 7}), Bytes(packed.begin() + 10, packed.end()));
  EXPECT_EQ(7, packed[0]);
  EXPECT_EQ(mixed, Expand(packed));

  const Bytes single = {42};
  const Bytes one = CompressBitmapData(single, 1);
  EXPECT_EQ((Bytes{1, 0, 0x81, 42}), Bytes(one.begin() + 10, one.end()));
}

TEST(CompressedBitmapData, RunsOfAtMost125AndRoundTrips) {
  const Bytes same(300, 0xAB);
  const Bytes packed = CompressBitmapData(same, 1);
  EXPECT_EQ((Bytes{1, 0, 125, 0xAB, 125, 0xAB, 50, 0xAB}), Bytes(packed.begin() + 10, packed.end()));
  EXPECT_EQ(same, Expand(packed));
  Bytes varied;
  for (int i = 0; i < 400; ++i) varied.push_back(uint8_t(i * 7 / 3));
  for (int e : {1, 2, 3, 4}) EXPECT_EQ(varied, Expand(CompressBitmapData(varied, e))) << e;
  EXPECT_EQ(Bytes{}, Expand(CompressBitmapData(Bytes{}, 4)));
}

TEST(CompressedBitmapData, VersionOnePlainDataAndTruncatedStreams) {
  const Bytes version1 = {4, 0, 0, 0, 0x58, 0x44, 0x42, 0x4D, 1, 0, 0x83, 1, 2, 3, 0xEE};
  std::int64_t position = 0;
  EXPECT_EQ((Bytes{1, 2, 3}), Expand(version1, nullptr, &position));
  EXPECT_EQ(14, position) << "the data ends where its size says";

  bool compressed = true;
  EXPECT_TRUE(Expand(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, &compressed, &position).empty());
  EXPECT_FALSE(compressed);
  EXPECT_EQ(0, position) << "plain data is read from where it starts";

  Bytes version3 = CompressBitmapData(Bytes{1, 2, 3}, 1);
  version3[8] = 3;
  EXPECT_TRUE(Expand(version3, &compressed).empty());
  EXPECT_TRUE(compressed);

  // Cut off inside a literal run and inside a repeat element: nothing is read past the end.
  const Bytes packed = CompressBitmapData(Bytes{1, 2, 3, 4, 5, 6, 6, 6}, 2);
  for (std::size_t cut = 10; cut < packed.size(); ++cut) {
    Bytes truncated(packed.begin(), packed.begin() + std::ptrdiff_t(cut));
    EXPECT_LE(Expand(truncated).size(), 8u) << cut;
  }
}

TEST(cxBitmap, UpdatesFoldNotificationsAndSizesAreNeverNegative) {
  TcxBitmap bitmap(4, 4);
  int changes = 0;
  bitmap.OnChange = [&](TObject*) { ++changes; };
  bitmap.BeginUpdate();
  bitmap.SetSize(8, 8);
  bitmap.SetPixelFormat(TPixelFormat::pf32bit);
  bitmap.SetSize(9, 8);
  EXPECT_EQ(0, changes);
  bitmap.EndUpdate(false);
  EXPECT_EQ(1, changes) << "three changes, one notification";
  bitmap.BeginUpdate();
  bitmap.EndUpdate(false);
  EXPECT_EQ(1, changes);
  bitmap.BeginUpdate();
  bitmap.EndUpdate(true);
  EXPECT_EQ(2, changes) << "forced without a change";
  bitmap.SetSize(-5, 10);
  EXPECT_EQ(0, bitmap.Width());
  EXPECT_EQ(10, bitmap.Height());
  const int before = changes;
  bitmap.SetSize(-1, 10);
  EXPECT_EQ(before, changes) << "the same size again";
  EXPECT_TRUE(AreRectsEqual(RECT{0, 0, 0, 10}, bitmap.ClientRect()));
}

TEST(cxBitmap, CompressedFormDataRoundTripsAndPlainDataIsStillRead) {
  TcxBitmap source(40, 20);
  source.Canvas().Brush().SetColor(0x336699);
  source.Canvas().FillRect(RECT{0, 0, 40, 20});
  source.Canvas().SetPixel(3, 4, clRed);
  source.SetCompressData(true);
  TMemoryStream stream;
  source.WriteData(stream);
  ASSERT_GT(stream.Size(), 12);
  EXPECT_EQ(0, std::memcmp(stream.Memory() + 4, "XDBM", 4));
  EXPECT_EQ(3, stream.Memory()[10]) << "24 bits: elements of three bytes";
  TMemoryStream plain;
  source.SetCompressData(false);
  source.WriteData(plain);
  EXPECT_LT(stream.Size(), plain.Size() / 4);

  for (TMemoryStream* data : {&stream, &plain}) {
    data->SetPosition(0);
    TcxBitmap copy;
    copy.ReadData(*data);
    EXPECT_EQ(40, copy.Width());
    EXPECT_EQ(20, copy.Height());
    EXPECT_EQ(clRed, copy.Canvas().Pixel(3, 4));
    EXPECT_EQ(0x336699, copy.Canvas().Pixel(30, 10));
    EXPECT_EQ(data->Size(), data->Position());
  }
}

TEST(cxBitmap32, StaysThirtyTwoBitsAndWorksOnItsPixels) {
  TcxBitmap32 bitmap(2, 2, true);
  EXPECT_THROW(
      {
        try {
          bitmap.SetPixelFormat(TPixelFormat::pf24bit);
        } catch (const EdxException& e) {
          EXPECT_EQ(L"Wrong PixelFormat", e.Message());
          throw;
        }
      },
      EdxException);
  bitmap.SetPixelFormat(TPixelFormat::pf32bit);
  TRGBColors colors;
  bitmap.GetBitmapColors(colors);
  ASSERT_EQ(4u, colors.size());
  EXPECT_EQ(0u, Value(colors[0])) << "cleared black";
  EXPECT_FALSE(bitmap.IsAlphaUsed());
  colors[0] = RGBQUAD{200, 100, 50, 0};  // the bottom-left pixel
  colors[3] = RGBQUAD{10, 20, 30, 7};    // top right
  bitmap.SetBitmapColors(colors);
  EXPECT_EQ(TColor(0xC86432), bitmap.Canvas().Pixel(0, 1)) << "the array starts with the bottom row";
  EXPECT_TRUE(bitmap.IsAlphaUsed());
  bitmap.Darken(50);
  bitmap.GetBitmapColors(colors);
  EXPECT_EQ(100, colors[0].rgbBlue);
  EXPECT_EQ(25, colors[0].rgbRed);
  EXPECT_EQ(7, colors[3].rgbReserved) << "alpha stays";
  bitmap.Lighten(50);
  bitmap.GetBitmapColors(colors);
  EXPECT_EQ(177, colors[0].rgbBlue);  // 255 - 0.5 * 155, truncated
  bitmap.MakeOpaque();
  bitmap.GetBitmapColors(colors);
  EXPECT_EQ(255, colors[1].rgbReserved);
  bitmap.RecoverTransparency(TColor(RGB(colors[0].rgbRed, colors[0].rgbGreen, colors[0].rgbBlue)));
  bitmap.GetBitmapColors(colors);
  EXPECT_EQ(0u, Value(colors[0])) << "the transparent colour becomes transparent black";
  EXPECT_EQ(255, colors[1].rgbReserved);
}

TEST(cxAlphaBitmap, TransformationsPixelByPixel) {
  TcxAlphaBitmap bitmap(2, 1);
  bitmap.AddTransparentColor(clFuchsia);
  auto set = [&](RGBQUAD a, RGBQUAD b) { bitmap.SetBitmapColors(TRGBColors{a, b}); };
  auto get = [&] {
    TRGBColors colors;
    bitmap.GetBitmapColors(colors);
    return colors;
  };
  const RGBQUAD fuchsia{255, 0, 255, 255}, some{30, 60, 90, 255};

  set(fuchsia, some);
  bitmap.TransformBitmap(btmMakeMask);
  EXPECT_EQ(0xFFFFFFFFu, Value(get()[0]));
  EXPECT_EQ(0u, Value(get()[1]));

  set(fuchsia, some);
  bitmap.TransformBitmap(btmGrayScale);
  EXPECT_EQ(Value(fuchsia), Value(get()[0])) << "transparent pixels stay";
  EXPECT_EQ((RGBQUAD{60, 60, 60, 255}).rgbBlue, get()[1].rgbBlue);
  EXPECT_EQ(60, get()[1].rgbRed);

  set(fuchsia, some);
  bitmap.TransformBitmap(btmFade);
  EXPECT_EQ(66, get()[1].rgbGreen);  // 0.299 * 90 + 0.587 * 60 + 0.114 * 30 = 65.6
  set(fuchsia, some);
  bitmap.TransformBitmap(btmDisable);
  EXPECT_EQ(56, get()[1].rgbGreen);  // 0.0729 * 90 + 0.7146 * 60 + 0.2125 * 30 = 55.9

  set(fuchsia, RGBQUAD{100, 200, 0, 255});
  bitmap.TransformBitmap(btmDingy);
  EXPECT_EQ(147, get()[1].rgbBlue);  // 100 + MulDiv(155, 3, 10), 46.5 rounded away from zero
  EXPECT_EQ(217, get()[1].rgbGreen);
  set(fuchsia, RGBQUAD{100, 200, 0, 128});
  bitmap.TransformBitmap(btmDingy);
  EXPECT_EQ(78, get()[1].rgbBlue);  // MulDiv(100, 200, 255)
  EXPECT_EQ(100, get()[1].rgbReserved);

  set(RGBQUAD{255, 0, 255, 0}, RGBQUAD{1, 2, 3, 0});
  bitmap.TransformBitmap(btmCorrectBlend);
  EXPECT_EQ(0, get()[0].rgbReserved);
  EXPECT_EQ(255, get()[1].rgbReserved);
  bitmap.TransformBitmap(btmResetAlpha);
  EXPECT_EQ(0, get()[1].rgbReserved);
  bitmap.TransformBitmap(btmSetOpaque);
  EXPECT_EQ(255, get()[0].rgbReserved);

  TcxAlphaBitmap background(2, 2, RGBQUAD{1, 2, 3, 4});
  background.Clear();
  TRGBColors colors;
  background.GetBitmapColors(colors);
  for (const RGBQUAD& q : colors) EXPECT_EQ(Value(RGBQUAD{1, 2, 3, 4}), Value(q));
  background.RecoverAlphaChannel(clLime);
  EXPECT_TRUE(background.IsTransparentPixel(RGBQUAD{0, 255, 0, 77}));
}

namespace {

// Pixel (X, Y) counted from the top-left, as 0xAARRGGBB.
uint32_t PixelAt(TcxBitmap32& bitmap, int x, int y) {
  TRGBColors colors;
  bitmap.GetBitmapColors(colors);
  return Value(colors[std::size_t((bitmap.Height() - 1 - y) * bitmap.Width() + x)]);
}

// Every pixel from Paint(X, Y), X and Y counted from the top-left.
template <class F>
void PaintPixels(TcxBitmap32& bitmap, F paint) {
  TRGBColors colors(std::size_t(bitmap.Width() * bitmap.Height()));
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      const uint32_t v = paint(x, y);
      std::memcpy(&colors[std::size_t((bitmap.Height() - 1 - y) * bitmap.Width() + x)], &v, 4);
    }
  bitmap.SetBitmapColors(colors);
}

constexpr uint32_t kOpaqueRed = 0xFFFF0000u;

}  // namespace

// A 4 x 4 picture with a 4 x 4 black mask and a shadow of 2: the shadow is
// the mask moved by 2 where it leaves the picture, the rest transparent.
TEST(cxAlphaBitmap, DrawShadowPutsTheMovedMaskBehindThePicture) {
  const uint32_t shade = 0xFF405060u;
  for (bool inflate : {true, false}) {
    SCOPED_TRACE(inflate);
    TcxAlphaBitmap bitmap(4, 4), mask(4, 4);
    PaintPixels(bitmap, [](int, int) { return kOpaqueRed; });
    PaintPixels(mask, [](int, int) { return 0xFF000000u; });
    bitmap.DrawShadow(mask, 2, TColor(RGB(0x40, 0x50, 0x60)), inflate);
    ASSERT_EQ(inflate ? 6 : 4, bitmap.Width());
    ASSERT_EQ(inflate ? 6 : 4, bitmap.Height());
    const struct {
      int X, Y;
      uint32_t Want;
    } cases[] = {{0, 0, kOpaqueRed}, {3, 3, kOpaqueRed}, {5, 5, shade}, {2, 5, shade}, {5, 2, shade},
                 {4, 3, shade},      {1, 5, 0},          {5, 1, 0},     {0, 4, 0}};
    for (const auto& c : cases) {
      if (c.X >= bitmap.Width() || c.Y >= bitmap.Height()) continue;
      EXPECT_EQ(c.Want, PixelAt(bitmap, c.X, c.Y)) << c.X << "," << c.Y;
    }
  }
}

// A white mask with one black pixel at (0, 0): inverted in place, copied one
// pixel down and right, and the button shadow colour where it is now white.
TEST(cxAlphaBitmap, ShadeEmbossesTheMask) {
  TcxAlphaBitmap bitmap(3, 3), mask(3, 3);
  PaintPixels(bitmap, [](int, int) { return kOpaqueRed; });
  PaintPixels(mask, [](int x, int y) { return x == 0 && y == 0 ? 0xFF000000u : 0xFFFFFFFFu; });
  bitmap.Shade(mask);
  EXPECT_EQ(0xFFFFFFu, PixelAt(mask, 0, 0) & 0x00FFFFFFu) << "the mask is inverted in place";
  EXPECT_EQ(0u, PixelAt(mask, 1, 1) & 0x00FFFFFFu);
  const COLORREF shadow = ColorToRGB(clBtnShadow);
  const uint32_t shadowQuad = 0xFF000000u | uint32_t(GetRValue(shadow)) << 16 | uint32_t(GetGValue(shadow)) << 8 |
                              GetBValue(shadow);
  const struct {
    int X, Y;
    uint32_t Rgb;
  } cases[] = {{0, 0, shadowQuad & 0xFFFFFF}, {1, 1, 0xFFFFFF}, {2, 2, 0}, {1, 2, 0}, {2, 0, 0xFF0000}, {0, 2, 0xFF0000}};
  for (const auto& c : cases) EXPECT_EQ(c.Rgb, PixelAt(bitmap, c.X, c.Y) & 0x00FFFFFFu) << c.X << "," << c.Y;
  EXPECT_EQ(shadowQuad, PixelAt(bitmap, 0, 0)) << "made opaque";
  EXPECT_EQ(0xFF000000u, PixelAt(bitmap, 0, 1) & 0xFF000000u);
}
