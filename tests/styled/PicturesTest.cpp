// Picture formats: alpha bitmaps read from every kind of data they accept,
// saved and read back, damaged data refused; compressed bitmaps and image
// lists in form data; the picture-format registration and its undoing.
#include <gtest/gtest.h>

#include "AlphaImage.h"
#include "PngImage.h"
#include "StyledTest.h"
#include "XPImages.h"
#include "ZStreams.h"
#include "support/PictureStrip.h"
#include "support/TestFolder.h"

#include <cstring>

using namespace tvk;
namespace styled_test {

namespace {

// Alpha-image data before compression: N, a header, straight pixels bottom row first.
struct AlphaData {
  std::int32_t N;
  BITMAPINFOHEADER Header{};
  std::vector<std::uint32_t> Pixels;

  AlphaData(int width, int height, std::vector<std::uint32_t> pixels) : Pixels(std::move(pixels)) {
    Header.biSize = 40;
    Header.biWidth = width;
    Header.biHeight = height;
    Header.biPlanes = 1;
    Header.biBitCount = 32;
    Header.biSizeImage = DWORD(Pixels.size() * 4);
    N = std::int32_t(40 + Pixels.size() * 4);
  }
  std::vector<std::uint8_t> Compressed(TCompressionLevel level = TCompressionLevel::clMax) const {
    TMemoryStream out;
    {
      TCompressionStream zip(level, out);
      zip.WriteValue(N);
      zip.WriteValue(Header);
      zip.WriteBuffer(Pixels.data(), Pixels.size() * 4);
    }
    return out.Bytes();
  }
};

std::uint32_t Memory(TAlphaBitmap& b, int x, int row) { return static_cast<std::uint32_t*>(b.ScanLine(row))[x]; }

// A 24-bit 2 x 2 plain bitmap: bottom-left fuchsia, the rest blue.
void PlainBitmap(TBitmap& b) {
  b.SetSize(2, 2);
  b.Canvas().Brush().SetColor(clBlue);
  b.Canvas().FillRect(RECT{0, 0, 2, 2});
  b.Canvas().SetPixel(0, 1, clFuchsia);
}

TEST(AlphaBitmap, ReadsAlphaDataPremultiplyingItsPixels) {
  // Rows bottom first: the bottom row is opaque red and half-transparent white.
  AlphaData data(2, 2, {0xFFFF0000u, 0x80FFFFFFu, 0x00000000u, 0xFF0000FFu});
  TMemoryStream s(data.Compressed());
  TAlphaBitmap b;
  b.LoadFromStream(s);
  ASSERT_EQ(2, b.Width());
  EXPECT_TRUE(b.IsAlpha());
  EXPECT_EQ(0xFFFF0000u, Memory(b, 0, 0));
  EXPECT_EQ(0x80808080u, Memory(b, 1, 0));  // 128 * 255 div 255
  EXPECT_EQ(0x00000000u, Memory(b, 0, 1));
}

TEST(AlphaBitmap, AcceptsPlainAndLengthPrefixedBitmapsButNoOtherZlibHeader) {
  TBitmap plain;
  PlainBitmap(plain);
  TMemoryStream file;
  plain.SaveToStream(file);
  TMemoryStream form;
  plain.WriteData(form);  // a length, then the file
  for (TMemoryStream* s : {&file, &form}) {
    s->SetPosition(0);
    TAlphaBitmap b;
    b.LoadFromStream(*s);
    ASSERT_EQ(2, b.Width());
    EXPECT_FALSE(b.IsAlpha());
    EXPECT_EQ(0u, Memory(b, 0, 0) >> 24);  // the bottom-left colour is transparent
    EXPECT_EQ(0xFFu, Memory(b, 1, 0) >> 24);
  }
  // Zlib data at the default level (0x78 0x9C) is no alpha-image data.
  AlphaData data(1, 1, {0xFF00FF00u});
  std::vector<std::uint8_t> bytes = data.Compressed(TCompressionLevel::clDefault);
  ASSERT_EQ(0x9C, bytes[1]);
  TMemoryStream s(bytes);
  TAlphaBitmap b;
  EXPECT_ANY_THROW(b.LoadFromStream(s));
  EXPECT_TRUE(b.Empty());
}

TEST(AlphaBitmap, SavedAndReadBackEveryPixelComesBackWhateverItsAlpha) {
  // Straight colours at alpha 0, 128 and 255 and some in between.
  std::vector<std::uint32_t> pixels;
  for (std::uint32_t a : {0u, 1u, 64u, 128u, 200u, 254u, 255u})
    for (std::uint32_t c : {0x000000u, 0x123456u, 0xFF8001u, 0xFFFFFFu}) pixels.push_back(a << 24 | (a ? c : 0));
  AlphaData data(4, 7, pixels);
  TMemoryStream in(data.Compressed());
  TAlphaBitmap original;
  original.LoadFromStream(in);
  TAlphaBitmap copy;
  for (int round = 0; round < 3; ++round) {  // no loss builds up
    TMemoryStream saved;
    (round == 0 ? original : copy).SaveToStream(saved);
    EXPECT_EQ(0x78, saved.Bytes()[0]);
    EXPECT_EQ(0xDA, saved.Bytes()[1]);
    saved.SetPosition(0);
    copy.LoadFromStream(saved);
  }
  // Partly transparent pixels are not darkened by the reader premultiplying again.
  for (int row = 0; row < 7; ++row)
    for (int x = 0; x < 4; ++x) ASSERT_EQ(Memory(original, x, row), Memory(copy, x, row)) << row << "," << x;
  EXPECT_EQ(0x80091A2Bu, Memory(original, 1, 3));  // 0x123456 at alpha 128, premultiplied
}

TEST(AlphaBitmap, DamagedHeadersRaiseInsteadOfReadingOutsideTheData) {
  auto load = [](const AlphaData& d) {
    TMemoryStream s(d.Compressed());
    TAlphaBitmap b;
    b.LoadFromStream(s);
  };
  AlphaData good(2, 2, {1, 2, 3, 4});
  EXPECT_NO_THROW(load(good));
  std::vector<std::function<void(AlphaData&)>> damages = {
      [](AlphaData& d) { d.N = 39; },
      [](AlphaData& d) { d.Header.biSize = 39; },
      [](AlphaData& d) { d.Header.biSize = 1000; },                    // beyond N
      [](AlphaData& d) { d.Header.biBitCount = 24; },
      [](AlphaData& d) { d.Header.biWidth = 0; },
      [](AlphaData& d) { d.Header.biHeight = 0; },
      [](AlphaData& d) { d.Header.biHeight = -2; },
      [](AlphaData& d) { d.Header.biWidth = 3; },                      // pixels past N
      [](AlphaData& d) { d.Header.biWidth = 0x10000, d.Header.biHeight = 0x10000; },  // 2^34 bytes
      [](AlphaData& d) { d.Header.biWidth = 0x40000000, d.Header.biHeight = 4; },     // wraps in 32 bits
      [](AlphaData& d) { d.N = 0x7FFFFFFF; },                           // more than there is
  };
  for (std::size_t i = 0; i < damages.size(); ++i) {
    AlphaData d = good;
    damages[i](d);
    EXPECT_ANY_THROW(load(d)) << "damage " << i;
  }
}

TEST(AlphaBitmap, GrowingKeepsTheBottomRowsAndFillsTheTopWithOpaqueBlack) {
  AlphaData data(2, 2, {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0x80404040u});
  TMemoryStream s(data.Compressed());
  TAlphaBitmap b;
  b.LoadFromStream(s);
  b.SetHeight(4);
  EXPECT_EQ(4, b.Height());
  EXPECT_EQ(0xFF0000FFu, Memory(b, 0, 0));  // bottom rows stay where memory keeps them
  EXPECT_EQ(0x80202020u, Memory(b, 1, 1));  // premultiplied
  EXPECT_EQ(0xFF000000u, Memory(b, 0, 3));
  b.SetWidth(3);
  EXPECT_EQ(0xFF000000u, Memory(b, 2, 0));
  EXPECT_EQ(0xFF00FF00u, Memory(b, 1, 0));
}

TEST(AlphaBitmap, APlainBitmapAssignedIsTransparentWhereItHasItsBottomLeftColour) {
  TBitmap plain;
  PlainBitmap(plain);
  TAlphaBitmap b;
  b.Assign(plain);
  EXPECT_FALSE(b.IsAlpha());
  EXPECT_TRUE(b.Transparent());
  TBitmap target;
  MakeCanvas(target, 2, 2, clLime);
  b.Draw(target.Canvas(), RECT{0, 0, 2, 2});
  EXPECT_EQ(clLime, PixelAt(target, 0, 1));  // fuchsia left out
  EXPECT_EQ(clBlue, PixelAt(target, 1, 1));
  EXPECT_EQ(clBlue, PixelAt(target, 0, 0));
}

TEST(AlphaBitmap, ASharedImageIsMadePrivateBeforeAnyChange) {
  AlphaData data(1, 1, {0xFF808080u});
  TMemoryStream s(data.Compressed());
  TAlphaBitmap a;
  a.LoadFromStream(s);
  TAlphaBitmap b;
  b.Assign(a);
  b.BeginUpdate();
  *static_cast<std::uint32_t*>(b.ScanLine(0)) = 0xFF0000FFu;
  b.EndUpdate();
  EXPECT_EQ(0xFF808080u, Memory(a, 0, 0));
  b.SetMonochrome(true);  // lightened halfway to white, alpha kept
  EXPECT_TRUE(b.Monochrome());
  std::uint32_t grey = Memory(b, 0, 0);
  EXPECT_EQ(0xFFu, grey >> 24);
  EXPECT_EQ((grey >> 16) & 0xFF, grey & 0xFF);
  EXPECT_GT(int(grey & 0xFF), 128);
}

TEST(AlphaBitmap, TheHandleSetterTakesSizeAndPixelsFromTheSection) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 3, 2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::fill_n(static_cast<std::uint32_t*>(bits), 6, 0xFF00FF00u);
  TAlphaBitmap b;
  b.SetHandle(section);
  EXPECT_EQ(3, b.Width());
  EXPECT_EQ(2, b.Height());
  EXPECT_FALSE(b.Empty());
  TBitmap target;
  MakeCanvas(target, 3, 2, clRed);
  b.Draw(target.Canvas(), RECT{0, 0, 3, 2});
  EXPECT_EQ(clLime, PixelAt(target, 2, 1));
}

TEST(AlphaBitmap, APngPictureKeepsItsAlphaPremultipliedOnce) {
  TPngImage png;
  png.SetPixels(1, 2, {0x80FF0000u, 0xFF00FF00u});  // top: half-transparent red
  TAlphaBitmap b;
  b.Assign(png);
  EXPECT_TRUE(b.IsAlpha());
  EXPECT_EQ(0x80800000u, Memory(b, 0, 1));  // picture row 0 is memory row 1
  EXPECT_EQ(0xFF00FF00u, Memory(b, 0, 0));
  UINT format;
  HANDLE handle;
  EXPECT_THROW(b.SaveToClipboardFormat(format, handle), EInvalidGraphicOperation);
}

TEST(AlphaImage, LoadsASkinFromTheModuleAndRecoloursIt) {
  TAlphaImage image(L"STDSCROLLPATTERN");
  EXPECT_EQ(8u, image.Width());
  EXPECT_EQ(L"STDSCROLLPATTERN", image.ResName());
  auto* p = static_cast<std::uint32_t*>(image.Bits());
  EXPECT_EQ(0xFFC0C0C0u, p[0]);  // a checkerboard of silver and white
  EXPECT_EQ(0xFFFFFFFFu, p[1]);
  image.ReplaceColor(clWhite, 0x123456);
  EXPECT_EQ(0xFF563412u, p[1]);  // red 0x56, green 0x34, blue 0x12; alpha kept
  EXPECT_EQ(0xFFC0C0C0u, p[0]);  // silver untouched
  EXPECT_THROW(TAlphaImage(L"NO_SUCH_SKIN"), EResNotFound);
}

TEST(CompressedBitmap, FormDataIsCompressedAndPlainFormDataStillReads) {
  TCompressedBitmap b;
  PlainBitmap(b);
  TMemoryStream packed;
  b.WriteData(packed);
  EXPECT_EQ(0x78, packed.Bytes()[0]);
  EXPECT_EQ(0xDA, packed.Bytes()[1]);
  packed.SetPosition(0);
  TCompressedBitmap back;
  back.ReadData(packed);
  EXPECT_EQ(clFuchsia, back.TransparentColor());
  TMemoryStream plain;
  b.TBitmap::WriteData(plain);  // an older form's plain data
  plain.SetPosition(0);
  TCompressedBitmap old;
  old.ReadData(plain);
  EXPECT_EQ(2, old.Width());
  EXPECT_EQ(clBlue, old.Canvas().Pixel(1, 0));
}

TEST(XPImageList, RoundTripsCompressedAndWritesNothingWhenEmpty) {
  testsupport::ExpectImageListFormData<TXPImageList>(L"CompressedBitmap");
  TXPImageList empty(nullptr);
  // An inherited form whose ancestor is no image list writes the property even so.
  TBitmap notAList;
  TMemoryStream inherited;
  WriteBinaryProperties(empty, inherited, &notAList);
  inherited.SetPosition(0);
  EXPECT_EQ(std::vector<WideString>{L"CompressedBitmap"}, BinaryPropertyNames(inherited));
}

TEST(PictureFormats, BmpFilesBecomeCompressedBitmapsAndTheRegistrationIsUndoneAtShutDown) {
  testsupport::TestFolder folder;
  TBitmap plain;
  PlainBitmap(plain);
  plain.SaveToFile(folder / L"p.bmp");
  TPicture picture;
  picture.LoadFromFile(folder / L"p.bmp");
  EXPECT_EQ(L"TCompressedBitmap", picture.Graphic()->ClassName());
  picture.SaveToFile(folder / L"q.bmp");
  EXPECT_EQ("BM", testsupport::ReadAll(folder / L"q.bmp").substr(0, 2));  // files stay plain
  EXPECT_EQ(GraphicClassOf<TBitmap>(), TPicture::FileFormatClass(L"bmpx"));
  EXPECT_EQ(GraphicClassOf<TAlphaBitmap>(), TPicture::FileFormatClass(L"img"));
  EXPECT_EQ(GraphicClassOf<TPngImage>(), TPicture::FileFormatClass(L"png"));
  // A form naming the plain bitmap class still loads.
  EXPECT_EQ(GraphicClassOf<TBitmap>(), TPicture::FindGraphicClass(L"TBitmap"));

  std::vector<TPictureFormat> before;
  tvk::XPImagesShutdown();
  tvk::AlphaImageShutdown();
  EXPECT_EQ(GraphicClassOf<TBitmap>(), TPicture::FileFormatClass(L"bmp"));
  for (const wchar_t* gone : {L"bmpx", L"img", L"png"}) EXPECT_EQ(nullptr, TPicture::FileFormatClass(gone)) << gone;
  int bitmaps = 0;
  for (const TPictureFormat& f : TPicture::FileFormats()) bitmaps += f.GraphicClass == GraphicClassOf<TBitmap>();
  EXPECT_EQ(1, bitmaps);
  tvk::XPImagesStartup();
  tvk::AlphaImageStartup();
  EXPECT_EQ(GraphicClassOf<TCompressedBitmap>(), TPicture::FileFormatClass(L"bmp"));
}

}  // namespace

}  // namespace styled_test
