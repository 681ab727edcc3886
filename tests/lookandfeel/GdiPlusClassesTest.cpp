// The GDI+ canvas and images: enlarged sources read one pixel less, pies by
// counter-clockwise angles, pen dash styles, paint canvases (a 32-bit buffer
// on a 16-bit device, nesting), alpha attributes, PNG and JPEG streams, the
// picture classes that start-up only queues, and the blend through GDI+.
#include "Clipbrd.h"
#include "LookAndFeelTest.h"
#include "Streams.h"
#include "cxGraphics.h"
#include "dxGDIPlusClasses.h"

#include <algorithm>

using namespace tvk;

namespace {

// A DIB section of AWidth x AHeight and ABitsPerPixel on a memory DC, filled with AFill.
class GpSurface {
public:
  GpSurface(int AWidth, int AHeight, int ABitsPerPixel = 32, COLORREF AFill = RGB(255, 255, 255)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = AWidth;
    info.bmiHeader.biHeight = -AHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = WORD(ABitsPerPixel);
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    FBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    FDC = CreateCompatibleDC(nullptr);
    FOld = SelectObject(FDC, FBitmap);
    HBRUSH brush = CreateSolidBrush(AFill);
    RECT all{0, 0, AWidth, AHeight};
    FillRect(FDC, &all, brush);
    DeleteObject(brush);
  }
  ~GpSurface() {
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
    DeleteObject(FBitmap);
  }
  HDC DC() const { return FDC; }
  COLORREF Pixel(int X, int Y) const {
    GdiFlush();
    return GetPixel(FDC, X, Y);
  }

private:
  HBITMAP FBitmap = nullptr;
  HDC FDC = nullptr;
  HGDIOBJ FOld = nullptr;
};

// AWidth x AHeight opaque pixels of AColour (a TColor), the last column ALastColumn.
TRGBColors ColumnBits(int AWidth, int AHeight, TColor AColour, TColor ALastColumn) {
  TRGBColors bits(std::size_t(AWidth) * std::size_t(AHeight));
  for (int y = 0; y < AHeight; ++y)
    for (int x = 0; x < AWidth; ++x)
      bits[std::size_t(y * AWidth + x)] = std::bit_cast<RGBQUAD>(ColorToQuad(x == AWidth - 1 ? ALastColumn : AColour, 255));
  return bits;
}

class GdiPlusClasses : public laf_test::LookAndFeel {
protected:
  void SetUp() override {
    LookAndFeel::SetUp();
    if (!CheckGdiPlusAvailable(false)) GTEST_SKIP() << "no GDI+: " << GdiPlusMissingEntry();
  }
  void TearDown() override {
    GraphicsPlatform() = FPlatform;
    UnregisterGdiPlusGraphicClasses();
    LookAndFeel::TearDown();
  }
  TcxGraphicsPlatform FPlatform = GraphicsPlatform();
};

}  // namespace

TEST_F(GdiPlusClasses, EnlargedSourceReadsOnePixelLess) {
  struct {
    RECT Dest, Source;
    SIZE Expected;
  } const cases[] = {
      {{0, 0, 32, 32}, {0, 0, 16, 16}, {15, 15}},  // enlarged both ways
      {{0, 0, 16, 16}, {0, 0, 16, 16}, {16, 16}},  // 1:1
      {{0, 0, 32, 8}, {0, 0, 16, 16}, {15, 16}},   // enlarged across only
      {{0, 0, 32, 32}, {0, 0, 1, 1}, {1, 1}},      // a single pixel stays
  };
  for (const auto& c : cases) {
    const SIZE size = GdipSourceSizeForDraw(c.Dest, c.Source);
    EXPECT_EQ(c.Expected.cx, size.cx);
    EXPECT_EQ(c.Expected.cy, size.cy);
  }
  // Drawn 1:1 the last column shows.
  auto image = TdxGPImage::CreateFromBits(16, 16, ColumnBits(16, 16, clBlue, clRed), false);
  GpSurface same(16, 16);
  {
    TdxGPCanvas canvas(same.DC());
    canvas.SetInterpolationMode(5);
    canvas.Draw(*image, RECT{0, 0, 16, 16});
  }
  EXPECT_EQ(RGB(255, 0, 0), same.Pixel(15, 8));
  EXPECT_EQ(RGB(0, 0, 255), same.Pixel(3, 8));
}

TEST_F(GdiPlusClasses, ShapesPiePenStylesAndRoundRects) {
  GpSurface surface(40, 40);
  {
    TdxGPCanvas canvas(surface.DC());
    canvas.Pie(RECT{0, 0, 40, 40}, 0, 90, clNone, clRed);
  }
  EXPECT_EQ(RGB(255, 0, 0), surface.Pixel(30, 10)) << "upper right";
  EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(10, 10));
  EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(30, 30));

  struct {
    TPenStyle Style;
    TdxGPDashStyle Expected;
  } const styles[] = {{TPenStyle::psSolid, gpdsSolid},       {TPenStyle::psDash, gpdsDash},
                      {TPenStyle::psDot, gpdsDot},           {TPenStyle::psDashDot, gpdsDashDot},
                      {TPenStyle::psDashDotDot, gpdsDashDotDot}, {TPenStyle::psClear, gpdsCustom},
                      {TPenStyle::psInsideFrame, gpdsCustom}};
  for (const auto& s : styles) {
    EXPECT_EQ(s.Expected, GdipDashStyleOf(s.Style)) << int(s.Style);
    void* pen = TdxGPCanvas::CreateGdipPen(clBlack, s.Style, 255, 1);
    int style = -1;
    GdipEntry<int(WINAPI*)(void*, int*)>(gpGdipGetPenDashStyle)(pen, &style);
    GdipEntry<int(WINAPI*)(void*)>(gpGdipDeletePen)(pen);
    EXPECT_EQ(int(s.Expected), style) << int(s.Style);
  }

  // Radii beyond a third of the sides are cut to a third: the corner stays free, the inside is filled.
  GpSurface rounded(30, 30);
  {
    TdxGPCanvas canvas(rounded.DC());
    canvas.RoundRect(RECT{0, 0, 30, 30}, clNone, clLime, 100, 100);
  }
  EXPECT_EQ(RGB(255, 255, 255), rounded.Pixel(0, 0));
  EXPECT_EQ(RGB(0, 255, 0), rounded.Pixel(15, 15));
  EXPECT_EQ(RGB(0, 255, 0), rounded.Pixel(15, 1));
}

TEST_F(GdiPlusClasses, PaintCanvasBuffersA16BitDeviceAndNests) {
  GpSurface low(20, 20, 16);
  ASSERT_TRUE(GdipNeedsDoubleBuffer(low.DC()));
  TdxGPPaintCanvas* canvas = GetSharedGdipPaintCanvas();
  canvas->BeginPaint(low.DC(), RECT{5, 5, 15, 15});
  ASSERT_NE(nullptr, canvas->Buffer());
  EXPECT_EQ(32, GetBitmapBitsPerPixel(*canvas->Buffer()));
  canvas->Rectangle(RECT{5, 5, 15, 15}, clNone, clRed);
  GpSurface high(20, 20, 32);
  canvas->BeginPaint(high.DC(), RECT{0, 0, 20, 20});
  EXPECT_EQ(nullptr, canvas->Buffer()) << "a 32-bit device is drawn on directly";
  EXPECT_EQ(2, canvas->SavedStateCount());
  canvas->EndPaint();
  EXPECT_NE(nullptr, canvas->Buffer()) << "the outer paint's buffer is back";
  EXPECT_EQ(RGB(255, 255, 255), low.Pixel(10, 10)) << "not before EndPaint";
  canvas->EndPaint();
  EXPECT_EQ(0, canvas->SavedStateCount());
  EXPECT_EQ(RGB(255, 0, 0), low.Pixel(10, 10)) << "the buffer is copied back";
  EXPECT_EQ(RGB(255, 255, 255), low.Pixel(2, 2));
}

TEST_F(GdiPlusClasses, AlphaAttributesScaleTheAlphaOnly) {
  TdxGPAlphaBlendAttributes* attributes = GetAlphaBlendAttributes(128);
  EXPECT_FLOAT_EQ(128.0f / 255.0f, attributes->ColorMatrix()[3][3]);
  EXPECT_FLOAT_EQ(1.0f, attributes->ColorMatrix()[0][0]);
  EXPECT_EQ(attributes, GetAlphaBlendAttributes(255));
  EXPECT_FLOAT_EQ(1.0f, attributes->ColorMatrix()[3][3]);
  // Half-transparent white over black.
  auto image = TdxGPImage::CreateFromBits(4, 4, ColumnBits(4, 4, clWhite, clWhite), false);
  GpSurface surface(4, 4, 32, RGB(0, 0, 0));
  image->StretchDraw(surface.DC(), RECT{0, 0, 4, 4}, 128);
  EXPECT_NEAR(128, GetRValue(surface.Pixel(1, 1)), 2);
}

TEST_F(GdiPlusClasses, PngRoundTripAndThePngClassAlwaysSavesPng) {
  auto image = TdxGPImage::CreateFromBits(8, 6, ColumnBits(8, 6, clBlue, clRed), false);
  EXPECT_EQ(8, image->Width());
  EXPECT_EQ(6, image->Height());
  EXPECT_FALSE(image->IsAlphaUsed());
  TMemoryStream png;
  image->SaveToStreamByCodec(png, dxImagePng);
  ASSERT_GT(png.Size(), 8);
  const uint8_t signature[] = {0x89, 'P', 'N', 'G'};
  EXPECT_TRUE(std::equal(std::begin(signature), std::end(signature), png.Memory()));

  TdxGPImage loaded;
  png.SetPosition(0);
  loaded.LoadFromStream(png);
  EXPECT_EQ(dxImagePng, loaded.ImageDataFormat());
  EXPECT_EQ(8, loaded.Width());
  const TRGBColors bits = loaded.GetBitmapBits();
  ASSERT_EQ(48u, bits.size());
  EXPECT_EQ(255, bits[7].rgbRed);
  EXPECT_EQ(255, bits[0].rgbBlue);
  TMemoryStream again;
  loaded.SaveToStream(again);
  EXPECT_TRUE(std::equal(std::begin(signature), std::end(signature), again.Memory())) << "saved back as PNG";

  TMemoryStream jpeg;
  image->SaveToStreamByCodec(jpeg, dxImageJpeg);
  jpeg.SetPosition(0);
  TdxPNGImage fromJpeg;
  fromJpeg.LoadFromStream(jpeg);
  EXPECT_EQ(dxImageJpeg, fromJpeg.ImageDataFormat());
  TMemoryStream saved;
  fromJpeg.SaveToStream(saved);
  EXPECT_TRUE(std::equal(std::begin(signature), std::end(signature), saved.Memory()));

  // No encoder for an unknown format; an empty stream gives an empty image.
  TdxGPImage empty;
  TMemoryStream nothing;
  empty.LoadFromStream(nothing);
  EXPECT_TRUE(empty.Empty());
  EXPECT_EQ(dxImageUnknown, empty.ImageDataFormat());
  auto clone = image->Clone();
  EXPECT_TRUE(clone->Compare(*image));
  clone->Scale(2, 1);
  EXPECT_EQ(16, clone->Width());
  EXPECT_FALSE(clone->Compare(*image));
}

TEST_F(GdiPlusClasses, StartUpOnlyQueuesThePictureClasses) {
  EXPECT_EQ(nullptr, TPicture::FileFormatClass(L"PNG")) << "queued, never run";
  RegisterGdiPlusGraphicClasses();
  EXPECT_EQ(GraphicClassOf<TdxPNGImage>(), TPicture::FileFormatClass(L"PNG"));
  UnregisterGdiPlusGraphicClasses();
  EXPECT_EQ(nullptr, TPicture::FileFormatClass(L"PNG"));
}

TEST_F(GdiPlusClasses, APictureCrossesTheClipboardWholeAndAsABitmapOverWhite) {
  RegisterGdiPlusGraphicClasses();  // the picture format names the class
  // A PNG of blue with a transparent last column.
  TRGBColors bits = ColumnBits(4, 2, clBlue, clRed);
  bits[3].rgbReserved = bits[7].rgbReserved = 0;
  bits[3].rgbRed = bits[7].rgbRed = 0;
  TMemoryStream png;
  TdxGPImage::CreateFromBits(4, 2, bits, true)->SaveToStreamByCodec(png, dxImagePng);
  png.SetPosition(0);
  auto image = std::make_unique<TdxSmartImage>();
  image->LoadFromStream(png);
  TPicture picture;
  picture.SetGraphic(std::move(image));
  Clipboard().Assign(picture);
  EXPECT_TRUE(Clipboard().HasFormat(PictureClipFormat()));
  ASSERT_TRUE(Clipboard().HasFormat(CF_BITMAP));

  TPicture back;
  Clipboard().AssignTo(back);
  auto* whole = dynamic_cast<TdxSmartImage*>(back.Graphic());
  ASSERT_NE(nullptr, whole);
  EXPECT_EQ(dxImagePng, whole->ImageDataFormat());
  TRGBColors got = whole->GetBitmapBits();
  ASSERT_EQ(8u, got.size());
  EXPECT_EQ((std::vector<int>{255, 0, 0, 255}), (std::vector<int>{got[0].rgbBlue, got[0].rgbGreen, got[0].rgbRed, got[0].rgbReserved}));
  EXPECT_EQ(0, got[7].rgbReserved) << "the transparent column stays transparent";

  // Other programs get the picture over white, which reads back opaque.
  Clipboard().Open();
  TdxGPImage flat;
  flat.LoadFromClipboardFormat(CF_BITMAP, GetClipboardData(CF_BITMAP));
  EXPECT_THROW(flat.LoadFromClipboardFormat(CF_DIB, GetClipboardData(CF_BITMAP)), EInvalidGraphic);
  Clipboard().Close();
  EXPECT_EQ(4, flat.Width());
  EXPECT_FALSE(flat.IsAlphaUsed()) << "a bitmap without alpha is opaque, not invisible";
  got = flat.GetBitmapBits();
  ASSERT_EQ(8u, got.size());
  EXPECT_EQ((std::vector<int>{255, 0, 0}), (std::vector<int>{got[4].rgbBlue, got[4].rgbGreen, got[4].rgbRed}));
  EXPECT_EQ((std::vector<int>{255, 255, 255}), (std::vector<int>{got[7].rgbBlue, got[7].rgbGreen, got[7].rgbRed}));
  Clipboard().Clear();
}

TEST_F(GdiPlusClasses, BlendUnderWow64GoesThroughGdiPlus) {
  GraphicsPlatform().Wow64 = true;
  GpSurface source(8, 8, 32, RGB(255, 0, 0));
  // Opaque source pixels (the fill leaves alpha 0 on a DIB): set alpha through the bits.
  TcxBitmap32 opaque(8, 8, true);
  BitBlt(opaque.Canvas().Handle(), 0, 0, 8, 8, source.DC(), 0, 0, SRCCOPY);
  opaque.MakeOpaque();
  GpSurface dest(16, 16, 32, RGB(0, 0, 255));
  AlphaBlendDC(dest.DC(), opaque.Canvas().Handle(), RECT{0, 0, 16, 16}, RECT{0, 0, 8, 8}, true, 255);
  EXPECT_EQ(RGB(255, 0, 0), dest.Pixel(8, 8));
  EXPECT_EQ(0, GetSharedGdipPaintCanvas()->SavedStateCount());
}
