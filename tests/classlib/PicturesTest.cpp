// Streams and pictures: the IStream adapter, zlib streams, binary
// properties, BMP and PNG files, icons, the picture-format registry, and the
// theme switch with the version override.
#include <gtest/gtest.h>

#include "ComRef.h"
#include "ImageLists.h"
#include "PngImage.h"
#include "Themes.h"
#include "ZStreams.h"
#include "support/PictureStrip.h"
#include "support/TestFolder.h"

#include <cstring>

using namespace tvk;

namespace {

std::vector<std::uint8_t> Bytes(const std::string& s) { return std::vector<std::uint8_t>(s.begin(), s.end()); }

std::vector<std::uint8_t> Compress(const std::string& text, TCompressionLevel level = TCompressionLevel::clMax) {
  TMemoryStream out;
  {
    TCompressionStream zip(level, out);
    zip.WriteBuffer(text.data(), text.size());
  }
  return out.Bytes();
}

TEST(Streams, TheAdapterReadsWritesAndSeeksAStream) {
  TMemoryStream stream;
  auto adapter = ComRef<IStream>::Adopt(TStreamAdapter::Create(stream));
  ULONG n = 0;
  EXPECT_EQ(S_OK, adapter->Write("abcdef", 6, &n));
  EXPECT_EQ(6u, n);
  LARGE_INTEGER to{};
  to.QuadPart = 2;
  ULARGE_INTEGER at{};
  EXPECT_EQ(S_OK, adapter->Seek(to, STREAM_SEEK_SET, &at));
  EXPECT_EQ(2u, at.QuadPart);
  char buffer[8] = {};
  EXPECT_EQ(S_FALSE, adapter->Read(buffer, 8, &n));  // fewer bytes than asked
  EXPECT_EQ(4u, n);
  EXPECT_STREQ("cdef", buffer);
  STATSTG stat{};
  EXPECT_EQ(S_OK, adapter->Stat(&stat, STATFLAG_NONAME));
  EXPECT_EQ(6u, stat.cbSize.QuadPart);
  // A stream that raises answers a failure code, nothing is thrown across.
  TResourceStream* none = nullptr;
  EXPECT_THROW(none = new TResourceStream(GetModuleHandleW(nullptr), L"NO_SUCH_DATA", RT_RCDATA), EResNotFound);
  EXPECT_EQ(nullptr, none);
}

TEST(ZLibStreams, TheHighestLevelWritesHeader78DAAndReadsBackLeavingTheSourceAfterIt) {
  std::string text(5000, 'x');
  text += "the end";
  std::vector<std::uint8_t> packed = Compress(text);
  ASSERT_GE(packed.size(), 2u);
  EXPECT_EQ(0x78, packed[0]);
  EXPECT_EQ(0xDA, packed[1]);
  EXPECT_LT(packed.size(), 100u);
  EXPECT_EQ(0x9C, Compress(text, TCompressionLevel::clDefault)[1]);

  packed.push_back('!');  // data after the zlib stream
  TMemoryStream source(packed);
  TDecompressionStream unzip(source);
  std::string back(text.size(), '\0');
  unzip.ReadBuffer(back.data(), back.size());
  EXPECT_EQ(text, back);
  char extra = 0;
  EXPECT_EQ(0u, unzip.Read(&extra, 1));
  EXPECT_EQ(std::int64_t(packed.size()) - 1, source.Position());  // stands on the "!"
}

TEST(ZLibStreams, DataThatIsNoZlibStreamOrEndsEarlyRaises) {
  TMemoryStream notZlib(Bytes("BM this is a bitmap"));
  TDecompressionStream a(notZlib);
  char c;
  try {
    a.Read(&c, 1);
    FAIL() << "no error";
  } catch (const EDecompressionError& e) {
    EXPECT_EQ(-3, e.Code());  // Z_DATA_ERROR: not a zlib stream
  }
  std::vector<std::uint8_t> packed = Compress(std::string(3000, 'q'));
  packed.resize(packed.size() / 2);
  TMemoryStream cut(packed);
  TDecompressionStream b(cut);
  std::string out(3000, '\0');
  EXPECT_THROW(b.ReadBuffer(out.data(), out.size()), EDecompressionError);
}

// A 32-bit bitmap of 3 x 2 with distinct pixels, alpha bytes included.
void FillPattern(TBitmap& b) {
  b.SetPixelFormat(TPixelFormat::pf32bit);
  b.SetSize(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) static_cast<std::uint32_t*>(b.ScanLine(y))[x] = 0x10203040u * (y * 3 + x + 1);
}

TEST(Bitmap, BmpFilesAndFormDataRoundTripKeepingAlphaBytes) {
  TBitmap original;
  FillPattern(original);
  TMemoryStream file;
  original.SaveToStream(file);
  EXPECT_EQ('B', file.Bytes()[0]);
  file.SetPosition(0);
  TBitmap copy;
  copy.LoadFromStream(file);
  ASSERT_EQ(3, copy.Width());
  EXPECT_EQ(TPixelFormat::pf32bit, copy.PixelFormat());
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      EXPECT_EQ(static_cast<std::uint32_t*>(original.ScanLine(y))[x], static_cast<std::uint32_t*>(copy.ScanLine(y))[x]);

  // Form data: a 32-bit length, then the file; through the binary properties.
  TMemoryStream form;
  WriteBinaryProperties(original, form);
  form.SetPosition(0);
  EXPECT_EQ(std::vector<WideString>{L"Data"}, BinaryPropertyNames(form));
  form.SetPosition(0);
  TBitmap fromForm;
  ReadBinaryProperties(fromForm, form);
  EXPECT_EQ(static_cast<std::uint32_t*>(original.ScanLine(1))[2], static_cast<std::uint32_t*>(fromForm.ScanLine(1))[2]);
}

TEST(Bitmap, DamagedFilesRaiseInsteadOfReadingOutsideTheirData) {
  TBitmap original;
  FillPattern(original);
  TMemoryStream good;
  original.SaveToStream(good);
  auto damaged = [&](auto change) {
    std::vector<std::uint8_t> bytes = good.Bytes();
    change(bytes);
    TMemoryStream s(bytes);
    TBitmap b;
    b.LoadFromStream(s);
  };
  auto put32 = [](std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) { std::memcpy(&b[at], &v, 4); };
  EXPECT_THROW(damaged([](auto& b) { b[0] = 'X'; }), EInvalidGraphic);
  EXPECT_THROW(damaged([&](auto& b) { put32(b, 14 + 4, 100000); }), EInvalidGraphic);   // width beyond the bits
  EXPECT_THROW(damaged([&](auto& b) { put32(b, 14 + 8, 0); }), EInvalidGraphic);        // no rows
  EXPECT_THROW(damaged([&](auto& b) { put32(b, 2, 0x7FFFFFFF); }), EInvalidGraphic);    // a size past any limit
  EXPECT_THROW(damaged([&](auto& b) { put32(b, 10, 4000); }), EInvalidGraphic);         // bits past the end
  EXPECT_THROW(damaged([](auto& b) { b.resize(30); }), EReadError);                     // cut short
}

TEST(Bitmap, ThirtyTwoBitConversionKeepsThePictureWithAlphaZero) {
  TBitmap b;
  b.SetSize(4, 4);  // 24-bit
  b.Canvas().Brush().SetColor(clRed);
  b.Canvas().FillRect(RECT{0, 0, 4, 4});
  b.Canvas().SetPixel(1, 2, clBlue);
  b.SetPixelFormat(TPixelFormat::pf32bit);
  auto* row = static_cast<std::uint8_t*>(b.ScanLine(2));
  EXPECT_EQ((std::vector<int>{255, 0, 0, 0}), (std::vector<int>{row[4], row[5], row[6], row[7]}));  // blue, alpha 0
  EXPECT_EQ((std::vector<int>{0, 0, 255, 0}), (std::vector<int>{row[0], row[1], row[2], row[3]}));
  EXPECT_EQ(TBitmapHandleType::bmDIB, b.HandleType());
}

TEST(Bitmap, ADormantBitmapGivesItsHandleBackAndComesBackWithItsPixels) {
  // Each format keeps its own bytes: alpha of a section, a palette index, the screen's layout.
  struct {
    TPixelFormat Format;
    TColor Colour;
  } const cases[] = {{TPixelFormat::pf32bit, clBlue}, {TPixelFormat::pf24bit, 0x123456},
                     {TPixelFormat::pf8bit, clRed}, {TPixelFormat::pfDevice, clLime}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.Format));
    TBitmap b;
    b.SetPixelFormat(c.Format);
    b.SetSize(5, 3);
    b.Canvas().Brush().SetColor(clWhite);
    b.Canvas().FillRect(RECT{0, 0, 5, 3});
    b.Canvas().SetPixel(4, 0, c.Colour);  // top right: a flipped row would show
    if (c.Format == TPixelFormat::pf32bit) static_cast<std::uint8_t*>(b.ScanLine(2))[3] = 0x7F;
    b.Dormant();
    EXPECT_FALSE(b.HandleAllocated());
    EXPECT_EQ(5, b.Width());
    EXPECT_EQ(3, b.Height());
    EXPECT_EQ(c.Format, b.PixelFormat());
    EXPECT_EQ(c.Colour, b.Canvas().Pixel(4, 0)) << "live again on use";
    EXPECT_TRUE(b.HandleAllocated());
    EXPECT_EQ(clWhite, b.Canvas().Pixel(4, 2));
    if (c.Format == TPixelFormat::pf32bit) {
      EXPECT_EQ(0x7F, static_cast<std::uint8_t*>(b.ScanLine(2))[3]);
    }
  }
  TBitmap b;
  b.SetSize(2, 2);
  b.Canvas().SetPixel(0, 1, clRed);
  b.Dormant();
  b.SetPixelFormat(TPixelFormat::pf32bit);
  EXPECT_EQ(clRed, b.Canvas().Pixel(0, 1)) << "converted with its pixels";
  b.Dormant();
  b.SetSize(3, 3);
  EXPECT_EQ(clBlack, b.Canvas().Pixel(0, 1)) << "a new size starts blank";
  TBitmap empty;
  empty.Dormant();
  EXPECT_TRUE(empty.Empty());
}

TEST(Png, SavesAndLoadsPixelsWithStraightAlpha) {
  TPngImage png;
  std::vector<std::uint32_t> pixels = {0xFF0000FFu, 0x80FF0000u, 0x00000000u, 0xFF123456u};
  png.SetPixels(2, 2, pixels);
  EXPECT_TRUE(png.HasAlpha());
  TMemoryStream file;
  png.SaveToStream(file);
  EXPECT_EQ(0x89, file.Bytes()[0]);
  file.WriteBuffer("trailing", 8);  // whatever follows the file is not read
  file.SetPosition(0);
  TPngImage back;
  back.LoadFromStream(file);
  ASSERT_EQ(2, back.Width());
  EXPECT_EQ(0x80FF0000u, back.ScanLine(0)[1]);
  EXPECT_EQ(0xFF123456u, back.ScanLine(1)[1]);
  EXPECT_EQ(0, back.Alpha(0, 1));
  EXPECT_EQ(std::int64_t(file.Size()) - 8, file.Position());

  TMemoryStream junk(Bytes("\x89PNG\r\n\x1a\n garbage"));
  EXPECT_ANY_THROW(back.LoadFromStream(junk));
  TMemoryStream plain(Bytes("not a png at all"));
  EXPECT_THROW(back.LoadFromStream(plain), EInvalidGraphic);
}

TEST(Png, DrawsBlendedOverWhatIsThere) {
  TPngImage png;
  png.SetPixels(2, 1, {0x800000FFu, 0x00000000u});  // half-transparent blue, fully transparent
  TBitmap target;
  target.SetPixelFormat(TPixelFormat::pf32bit);
  target.SetSize(2, 1);
  target.Canvas().Brush().SetColor(clRed);
  target.Canvas().FillRect(RECT{0, 0, 2, 1});
  target.Canvas().Draw(0, 0, png);
  auto* p = static_cast<const std::uint8_t*>(target.ScanLine(0));
  EXPECT_NEAR(128, p[0], 2);  // blue half over red
  EXPECT_NEAR(127, p[2], 2);
  EXPECT_EQ(255, p[6]);        // the transparent pixel left red alone
  EXPECT_EQ(0, p[4]);
}

TEST(Icon, SavesAndLoadsAnIconFile) {
  TIcon icon;
  icon.SetHandle(static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(32512), IMAGE_ICON, 32, 32, LR_SHARED)));
  ASSERT_FALSE(icon.Empty());
  EXPECT_EQ(32, icon.Width());
  TMemoryStream file;
  icon.SaveToStream(file);
  file.SetPosition(0);
  TIcon back;
  back.LoadFromStream(file);
  EXPECT_EQ(32, back.Width());
  EXPECT_EQ(32, back.Height());
  EXPECT_THROW(back.SetWidth(10), EInvalidGraphicOperation);
  icon.ReleaseHandle();  // a shared system icon is not ours to destroy
}

TEST(Picture, TheExtensionChoosesTheClassAndFormDataNamesIt) {
  testsupport::TestFolder folder;
  TBitmap b;
  FillPattern(b);
  b.SaveToFile(folder / L"p.bmp");
  TPicture picture;
  picture.LoadFromFile(folder / L"p.BMP");
  ASSERT_NE(nullptr, picture.Graphic());
  EXPECT_EQ(L"TBitmap", picture.Graphic()->ClassName());
  EXPECT_EQ(3, picture.Width());
  EXPECT_THROW(picture.LoadFromFile(folder / L"p.xyz"), EInvalidGraphic);

  // A format registered later is found by extension and by class name.
  TPicture::RegisterFileFormat(L".PNG", L"Portable Network Graphics", GraphicClassOf<TPngImage>());
  EXPECT_EQ(GraphicClassOf<TPngImage>(), TPicture::FileFormatClass(L"png"));
  TPngImage png;
  png.SetPixels(1, 1, {0xFF00FF00u});
  picture.Assign(png);
  TMemoryStream form;
  WriteBinaryProperties(picture, form);
  form.SetPosition(0);
  TPicture read;
  ReadBinaryProperties(read, form);
  ASSERT_NE(nullptr, read.Graphic());
  EXPECT_EQ(L"TPngImage", read.Graphic()->ClassName());
  TPicture::UnregisterGraphicClass(GraphicClassOf<TPngImage>());
  EXPECT_EQ(nullptr, TPicture::FileFormatClass(L"png"));
  form.SetPosition(0);
  EXPECT_THROW(ReadBinaryProperties(read, form), EReadError);  // the class is unknown now
  EXPECT_EQ(GraphicClassOf<TBitmap>(), TPicture::FileFormatClass(L"bmp"));
}

TEST(ImageListData, RoundTripsThroughTheImageListStream) {
  testsupport::ExpectImageListFormData<TImageList>(L"Bitmap");
  TImageList list(nullptr);
  TMemoryStream garbage(Bytes("not an image list"));
  EXPECT_THROW(list.ReadData(garbage), EReadError);
}

TEST(Themes, TheSwitchTurnsThemesOffAndTheVersionCanBeOverridden) {
  TThemeServices& themes = ThemeServices();
  bool system = themes.ThemesEnabled();
  themes.SetThemesSwitchedOff(true);
  EXPECT_FALSE(themes.ThemesEnabled());
  themes.SetThemesSwitchedOff(false);
  EXPECT_EQ(system, themes.ThemesEnabled());
  int major = Win32MajorVersion(), minor = Win32MinorVersion();
  OverrideWin32Version(5, 0);
  EXPECT_EQ(5, Win32MajorVersion());
  EXPECT_EQ(0, Win32MinorVersion());
  ClearWin32VersionOverride();
  EXPECT_EQ(major, Win32MajorVersion());
  EXPECT_EQ(minor, Win32MinorVersion());
}

}  // namespace
