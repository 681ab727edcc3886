// Glyph drawing over the shared alpha bitmaps (draw modes, masks, the hook)
// and the library's image list: the system list and the collection in step,
// additions of every kind, moves, sizes and the stored form.
#include "LookAndFeelTest.h"
#include "Streams.h"
#include "cxImageList.h"
#include "support/TestFolder.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

using namespace tvk;

namespace {

// A 32-bit top-down DIB on a memory DC, filled with one colour (0x00RRGGBB).
class GlyphSurface {
public:
  GlyphSurface(int AWidth, int AHeight, uint32_t AFill) : FWidth(AWidth) {
    BITMAPINFO info{};
    InitBitmapInfoHeader32(info.bmiHeader, AWidth, AHeight, true);
    FBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&FBits), nullptr, 0);
    FDC = CreateCompatibleDC(nullptr);
    FOld = SelectObject(FDC, FBitmap);
    std::fill(FBits, FBits + std::size_t(AWidth) * std::size_t(AHeight), AFill);
  }
  ~GlyphSurface() {
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
    DeleteObject(FBitmap);
  }
  HDC DC() const { return FDC; }
  uint32_t Pixel(int X, int Y) const {
    GdiFlush();
    return FBits[std::size_t(Y) * std::size_t(FWidth) + std::size_t(X)] & 0xFFFFFF;
  }

private:
  int FWidth;
  HBITMAP FBitmap = nullptr;
  uint32_t* FBits = nullptr;
  HDC FDC = nullptr;
  HGDIOBJ FOld = nullptr;
};

// A bitmap of one colour (a TColor); 32-bit ones get AAlpha.
std::unique_ptr<TBitmap> SolidBitmap(int AWidth, int AHeight, TColor AColor, TPixelFormat AFormat,
                                     uint8_t AAlpha = 255) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(AFormat);
  bitmap->SetSize(AWidth, AHeight);
  if (AFormat == TPixelFormat::pf32bit) {
    TRGBColors colors(std::size_t(AWidth) * std::size_t(AHeight));
    const uint32_t quad = ColorToQuad(AColor, AAlpha);
    std::fill(colors.begin(), colors.end(), std::bit_cast<RGBQUAD>(quad));
    WriteBitmapPixels(*bitmap, colors, true);
  } else {
    bitmap->Canvas().Brush().SetColor(AColor);
    bitmap->Canvas().FillRect(RECT{0, 0, AWidth, AHeight});
  }
  return bitmap;
}

bool Near(uint32_t APixel, int AChannelValue) {
  for (int shift : {0, 8, 16})
    if (std::abs(int((APixel >> shift) & 0xFF) - AChannelValue) > 1) return false;
  return true;
}

int gHookMode = -1;
bool RecordingHook(TcxCanvas&, TCustomImageList*, int, int ADrawMode, const RECT&, TBitmap*) {
  gHookMode = ADrawMode;
  return true;
}

class GlyphDrawing : public laf_test::LookAndFeel {
protected:
  void TearDown() override {
    DrawImageHook = nullptr;
    LookAndFeel::TearDown();
  }
};

// The colour (0x00RRGGBB) of the centre of image AIndex as the system list holds it.
uint32_t SystemImageColour(TcxImageList& AList, int AIndex) {
  TcxBitmap32 image;
  TcxImageList::GetImageInfo(AList.Handle(), AIndex, &image, nullptr);
  TRGBColors colors;
  image.GetBitmapColors(colors);
  uint32_t value = 0;
  std::memcpy(&value, &colors.at(colors.size() / 2), 4);
  return value & 0xFFFFFF;
}

uint32_t StoredImageColour(TcxImageList& AList, int AIndex) {
  TcxBitmap32 image;
  AList.GetImage(AIndex, &image);
  TRGBColors colors;
  image.GetBitmapColors(colors);
  uint32_t value = 0;
  std::memcpy(&value, &colors.at(colors.size() / 2), 4);
  return value & 0xFFFFFF;
}

}  // namespace

TEST_F(GlyphDrawing, ModesBlendWithTheirConstantAlpha) {
  // A white opaque 32-bit glyph over black: normal, faded (64) and disabled (151).
  struct {
    int Mode;
    int Expected;
  } const cases[] = {{idmNormal, 255}, {idmFaded, 64}, {idmDisabled, 151}, {idmGrayScale, 255}};
  auto glyph = SolidBitmap(8, 8, clWhite, TPixelFormat::pf32bit);
  for (const auto& c : cases) {
    GlyphSurface surface(16, 16, 0);
    DrawGlyphOrImage(surface.DC(), RECT{4, 4, 12, 12}, RECT{0, 0, 16, 16}, glyph.get(), nullptr, -1, c.Mode);
    EXPECT_TRUE(Near(surface.Pixel(8, 8), c.Expected)) << c.Mode << " " << std::hex << surface.Pixel(8, 8);
    EXPECT_EQ(0u, surface.Pixel(1, 1)) << "outside the glyph the background stays";
  }
}

TEST_F(GlyphDrawing, GlyphWithoutAlphaLeavesItsTransparentColourOut) {
  // Fuchsia (the lower-left pixel, the glyph's transparent colour) around a red square.
  auto glyph = SolidBitmap(8, 8, clFuchsia, TPixelFormat::pf24bit);
  glyph->Canvas().Brush().SetColor(clRed);
  glyph->Canvas().FillRect(RECT{2, 2, 6, 6});
  GlyphSurface surface(8, 8, 0x00FF00);
  DrawGlyphOrImage(surface.DC(), RECT{0, 0, 8, 8}, RECT{0, 0, 8, 8}, glyph.get(), nullptr, -1, idmNormal);
  EXPECT_EQ(0xFF0000u, surface.Pixel(3, 3));
  EXPECT_EQ(0x00FF00u, surface.Pixel(0, 0));
  // Without the glyph's own colour, but with a brush for the background.
  GlyphSurface brushed(8, 8, 0x00FF00);
  HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
  DrawGlyphOrImage(brushed.DC(), RECT{0, 0, 8, 8}, RECT{0, 0, 8, 8}, glyph.get(), nullptr, -1, idmNormal, false, blue,
                   clNone, false);
  DeleteObject(blue);
  EXPECT_EQ(0xFF00FFu, brushed.Pixel(0, 0)) << "fuchsia kept";

  // Shadows from the mask: disabled one pixel of the highlight colour, shadowed two of the shadow colour.
  const auto rgbOf = [](TColor c) {
    const COLORREF v = ColorToRGB(c);
    return uint32_t(GetRValue(v)) << 16 | uint32_t(GetGValue(v)) << 8 | GetBValue(v);
  };
  GlyphSurface disabled(8, 8, 0x00FF00);
  DrawGlyphOrImage(disabled.DC(), RECT{0, 0, 8, 8}, RECT{0, 0, 8, 8}, glyph.get(), nullptr, -1, idmDisabled);
  EXPECT_EQ(rgbOf(clBtnHighlight), disabled.Pixel(6, 6));
  EXPECT_EQ(0x00FF00u, disabled.Pixel(7, 7));
  GlyphSurface shadowed(10, 10, 0x00FF00);
  DrawGlyphOrImage(shadowed.DC(), RECT{0, 0, 8, 8}, RECT{0, 0, 10, 10}, glyph.get(), nullptr, -1, idmShadowed);
  EXPECT_EQ(rgbOf(clBtnShadow), shadowed.Pixel(7, 7));
  EXPECT_EQ(0x00FF00u, shadowed.Pixel(8, 8));
}

TEST_F(GlyphDrawing, SharedBitmapsAreReusedAndTheHookComesFirst) {
  auto glyph = SolidBitmap(8, 8, clWhite, TPixelFormat::pf32bit);
  GlyphSurface surface(32, 32, 0);
  DrawGlyphOrImage(surface.DC(), RECT{0, 0, 8, 8}, RECT{0, 0, 8, 8}, glyph.get(), nullptr, -1, idmNormal);
  const TcxSharedAlphaBitmaps first = SharedAlphaBitmaps();
  ASSERT_NE(nullptr, first.Draw);
  DrawGlyphOrImage(surface.DC(), RECT{0, 0, 8, 8}, RECT{0, 0, 20, 20}, glyph.get(), nullptr, -1, idmNormal);
  const TcxSharedAlphaBitmaps second = SharedAlphaBitmaps();
  EXPECT_EQ(first.Draw, second.Draw);
  EXPECT_EQ(first.Image, second.Image);
  EXPECT_EQ(first.Mask, second.Mask);
  EXPECT_EQ(20, second.Draw->Width());

  GlyphSurface hooked(16, 16, 0x123456);
  DrawImageHook = &RecordingHook;
  DrawGlyphOrImage(hooked.DC(), RECT{0, 0, 8, 8}, RECT{0, 0, 16, 16}, glyph.get(), nullptr, -1, idmDingy);
  EXPECT_EQ(idmDingy, gHookMode);
  EXPECT_EQ(0x123456u, hooked.Pixel(4, 4)) << "the hook drew (nothing): no glyph";
  // Neither a glyph nor a valid index: nothing at all.
  gHookMode = -1;
  DrawGlyphOrImage(hooked.DC(), RECT{0, 0, 8, 8}, RECT{0, 0, 16, 16}, nullptr, nullptr, 0, idmNormal);
  EXPECT_EQ(-1, gHookMode);
}

TEST_F(GlyphDrawing, ImageListAddsCellsOfAStripAsImagesOfTheirOwn) {
  TcxImageList list;
  auto strip = SolidBitmap(48, 16, clRed, TPixelFormat::pf32bit);
  EXPECT_EQ(0, list.Add(strip.get(), nullptr));
  EXPECT_EQ(3, list.Count());
  EXPECT_EQ(3, list.ImageInfos().Count());
  EXPECT_EQ(16, list.ImageInfos().Items(2)->ImageInfo().Image().Width());
  EXPECT_EQ(3, GetBitmapImageCount(strip.get(), 16, 16));
  EXPECT_EQ(1, GetBitmapImageCount(strip.get(), 20, 16));
}

TEST_F(GlyphDrawing, StoredImagesStayDormantBetweenUsesAndComeBackWhole) {
  TcxImageList list;
  TBitmap strip;
  strip.SetPixelFormat(TPixelFormat::pf32bit);
  strip.SetSize(32, 16);
  strip.Canvas().Brush().SetColor(clRed);
  strip.Canvas().FillRect(RECT{0, 0, 16, 16});
  strip.Canvas().Brush().SetColor(clBlue);
  strip.Canvas().FillRect(RECT{16, 0, 32, 16});
  strip.Canvas().SetPixel(17, 15, clLime);
  auto mask = SolidBitmap(16, 16, clBlack, TPixelFormat::pf1bit);
  mask->Canvas().SetPixel(0, 0, clWhite);
  ASSERT_EQ(0, list.Add(&strip, nullptr));
  ASSERT_EQ(2, list.Add(SolidBitmap(16, 16, clGreen, TPixelFormat::pf32bit).get(), mask.get()));
  auto dormant = [&](int i) {
    TcxImageInfo& info = list.ImageInfos().Items(i)->ImageInfo();
    return !info.Image().HandleAllocated() && (info.Mask().Empty() || !info.Mask().HandleAllocated());
  };
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(dormant(i)) << i;
  TBitmap image, imageMask;
  list.GetImageInfo(1, &image, nullptr);
  EXPECT_EQ(clBlue, image.Canvas().Pixel(8, 8));
  EXPECT_EQ(clLime, image.Canvas().Pixel(1, 15)) << "the cell's own pixels, rows in place";
  EXPECT_TRUE(dormant(1)) << "dormant again after the read";
  list.GetImageInfo(2, nullptr, &imageMask);
  EXPECT_EQ(clWhite, imageMask.Canvas().Pixel(0, 0));
  EXPECT_EQ(clBlack, imageMask.Canvas().Pixel(1, 0));

  // Read back from the stored form, the rebuilt list keeps its items dormant too.
  TMemoryStream stream;
  WriteBinaryProperties(list, stream);
  TcxImageList read;
  stream.SetPosition(0);
  ReadBinaryProperties(read, stream);
  ASSERT_EQ(3, read.ImageInfos().Count());
  EXPECT_FALSE(read.ImageInfos().Items(0)->ImageInfo().Image().HandleAllocated());
  read.GetImage(0, &image);
  EXPECT_EQ(clRed, image.Canvas().Pixel(8, 8));
}

TEST_F(GlyphDrawing, ImageListMaskedAndUnmaskedAdditions) {
  TcxImageList list;
  auto bitmap = SolidBitmap(16, 16, clBlue, TPixelFormat::pf24bit);
  ASSERT_EQ(0, list.AddMasked(bitmap.get(), clNone));
  TcxBitmap mask;
  mask.SetPixelFormat(TPixelFormat::pf24bit);
  TcxImageList::GetImageInfo(list.Handle(), 0, nullptr, &mask);
  EXPECT_EQ(clBlack, TColor(ColorToRGB(mask.Canvas().Pixel(8, 8)))) << "a fully opaque mask";
  // Drawn through the glyph path the blue shows.
  GlyphSurface surface(16, 16, 0x00FF00);
  TCanvas canvas;
  canvas.SetHandle(surface.DC());
  list.Draw(canvas, RECT{0, 0, 16, 16}, 0);
  EXPECT_EQ(0x0000FFu, surface.Pixel(8, 8));
  // A masked addition: the mask colour's pixels become the background.
  auto masked = SolidBitmap(16, 16, clFuchsia, TPixelFormat::pf24bit);
  masked->Canvas().Brush().SetColor(clRed);
  masked->Canvas().FillRect(RECT{4, 4, 12, 12});
  ASSERT_EQ(1, list.AddMasked(masked.get(), clFuchsia));
  EXPECT_EQ(clFuchsia, list.ImageInfos().Items(1)->ImageInfo().MaskColor());
  GlyphSurface second(16, 16, 0x00FF00);
  canvas.SetHandle(second.DC());
  list.Draw(canvas, RECT{0, 0, 16, 16}, 1);
  canvas.SetHandle(nullptr);
  EXPECT_EQ(0xFF0000u, second.Pixel(8, 8));
  EXPECT_EQ(0x00FF00u, second.Pixel(1, 1));
  // Out of range: nothing.
  EXPECT_EQ(-1, list.AddImage(&list, 5));
  EXPECT_EQ(-1, list.Add(nullptr, nullptr));
  list.Insert(7, bitmap.get(), nullptr);
  EXPECT_EQ(2, list.Count());
}

TEST_F(GlyphDrawing, ImageListMovesByNeighbourSwaps) {
  TcxImageList list;
  const TColor colours[] = {clRed, clLime, clBlue, clYellow};
  for (TColor c : colours) list.Add(SolidBitmap(16, 16, c, TPixelFormat::pf32bit).get(), nullptr);
  list.Move(0, 3);
  const uint32_t expected[] = {0x00FF00, 0x0000FF, 0xFFFF00, 0xFF0000};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(expected[i], SystemImageColour(list, i)) << i;
    EXPECT_EQ(expected[i], StoredImageColour(list, i)) << i;
  }
  list.Insert(1, SolidBitmap(16, 16, clWhite, TPixelFormat::pf32bit).get(), nullptr);
  EXPECT_EQ(0xFFFFFFu, SystemImageColour(list, 1));
  EXPECT_EQ(0xFFFFFFu, StoredImageColour(list, 1));
  EXPECT_EQ(0x0000FFu, StoredImageColour(list, 2));
  list.Delete(1);
  EXPECT_EQ(4, list.ImageInfos().Count());
  EXPECT_EQ(0x0000FFu, StoredImageColour(list, 1));

  list.SetSize(0, 0);
  EXPECT_EQ(1, list.Width());
  EXPECT_EQ(1, list.Height());
  EXPECT_EQ(0, list.Count());
  EXPECT_EQ(0, list.ImageInfos().Count());
}

TEST_F(GlyphDrawing, ImageListStoredFormRoundTrips) {
  TcxImageList list;
  list.Add(SolidBitmap(16, 16, clRed, TPixelFormat::pf32bit, 128).get(), nullptr);
  list.AddMasked(SolidBitmap(16, 16, clBlue, TPixelFormat::pf24bit).get(), clFuchsia);
  TMemoryStream stream;
  WriteBinaryProperties(list, stream);
  stream.SetPosition(0);
  const std::vector<WideString> names = BinaryPropertyNames(stream);
  EXPECT_NE(names.end(), std::find(names.begin(), names.end(), L"FormatVersion"));
  EXPECT_NE(names.end(), std::find(names.begin(), names.end(), L"ImageInfo"));
  EXPECT_EQ(names.end(), std::find(names.begin(), names.end(), L"Bitmap"));

  TcxImageList copy;
  stream.SetPosition(0);
  ReadBinaryProperties(copy, stream);
  EXPECT_EQ(1, copy.FormatVersion());
  ASSERT_EQ(2, copy.Count());
  ASSERT_EQ(2, copy.ImageInfos().Count());
  EXPECT_EQ(clFuchsia, copy.ImageInfos().Items(1)->ImageInfo().MaskColor());
  EXPECT_EQ(clNone, copy.ImageInfos().Items(0)->ImageInfo().MaskColor());
  TcxBitmap32 image;
  copy.GetImage(0, &image);
  TRGBColors colors;
  image.GetBitmapColors(colors);
  EXPECT_EQ(128, colors.at(0).rgbReserved) << "alpha survives";
  EXPECT_EQ(255, colors.at(0).rgbRed);

  // An empty list writes no images; the class library's image data is still read.
  TcxImageList empty;
  TMemoryStream none;
  WriteBinaryProperties(empty, none);
  none.SetPosition(0);
  const std::vector<WideString> emptyNames = BinaryPropertyNames(none);
  EXPECT_EQ(emptyNames.end(), std::find(emptyNames.begin(), emptyNames.end(), L"ImageInfo"));

  TImageList plain(nullptr);
  plain.Add(*SolidBitmap(16, 16, clLime, TPixelFormat::pf32bit), nullptr);
  TMemoryStream legacy;
  WriteBinaryProperties(plain, legacy);
  legacy.SetPosition(0);
  TcxImageList fromLegacy;
  ReadBinaryProperties(fromLegacy, legacy);
  EXPECT_EQ(1, fromLegacy.Count());
  EXPECT_EQ(1, fromLegacy.ImageInfos().Count());
}

TEST_F(GlyphDrawing, ImageListDrawsDisabledThroughTheDisabledMode) {
  TcxImageList list;
  list.Add(SolidBitmap(16, 16, clRed, TPixelFormat::pf32bit).get(), nullptr);
  GlyphSurface surface(16, 16, 0);
  TCanvas canvas;
  canvas.SetHandle(surface.DC());
  DrawImageHook = &RecordingHook;
  list.Draw(canvas, RECT{0, 0, 16, 16}, 0, false, false, false);
  EXPECT_EQ(idmDisabled, gHookMode);
  canvas.SetHandle(nullptr);
}

TEST_F(GlyphDrawing, LibraryBitmapsAreInTheResources) {
  TBitmap arrow;
  arrow.LoadFromResourceName(GetModuleHandleW(nullptr), L"DXSUBMENUEXPAND");
  ASSERT_FALSE(arrow.Empty());
  arrow.SetPixelFormat(TPixelFormat::pf32bit);
  TRGBColors colors;
  ASSERT_TRUE(ReadBitmapPixels(arrow, colors, true));
  std::vector<int> reds;
  for (const RGBQUAD& p : colors)
    if (p.rgbRed | p.rgbGreen | p.rgbBlue) reds.push_back(p.rgbRed);
  std::sort(reds.begin(), reds.end());
  reds.erase(std::unique(reds.begin(), reds.end()), reds.end());
  EXPECT_GE(reds.size(), 2u) << "shaded";
  for (const wchar_t* name : {L"DXEXPANDBUTTON_MINUS", L"DXEXPANDBUTTON_PLUS"}) {
    TBitmap button;
    button.LoadFromResourceName(GetModuleHandleW(nullptr), name);
    EXPECT_EQ(11, button.Width()) << name;
    EXPECT_EQ(11, button.Height()) << name;
  }
}

TEST_F(GlyphDrawing, ImageListLinkMovesWithTheField) {
  TComponent owner(nullptr);
  auto* first = new TcxImageList(&owner);
  auto* second = new TcxImageList(&owner);
  TComponent watcher(nullptr);
  TChangeLink link;
  int changes = 0;
  link.OnChange = [&](TObject*) { ++changes; };
  TCustomImageList* field = nullptr;
  ReplaceImageListLink(first, field, &link, &watcher);
  EXPECT_EQ(first, field);
  EXPECT_EQ(first, link.Sender());
  EXPECT_EQ(1, changes) << "told once when replaced";
  ReplaceImageListLink(first, field, &link, &watcher);
  EXPECT_EQ(1, changes) << "unchanged: nothing";
  first->Add(SolidBitmap(16, 16, clRed, TPixelFormat::pf32bit).get(), nullptr);
  EXPECT_EQ(2, changes) << "the list's change reaches the link";
  ReplaceImageListLink(second, field, &link, &watcher);
  EXPECT_EQ(second, link.Sender());
  EXPECT_EQ(3, changes);
  first->Add(SolidBitmap(16, 16, clRed, TPixelFormat::pf32bit).get(), nullptr);
  EXPECT_EQ(3, changes) << "the old list no longer tells it";
  delete second;
  EXPECT_EQ(nullptr, link.Sender()) << "a freed list is forgotten";

  TFont font;
  const TFont defaults;
  font.SetName(L"Courier New");
  font.SetHeight(-30);
  ResetFontToDefault(font);
  EXPECT_EQ(defaults.Name(), font.Name());
  EXPECT_EQ(defaults.Height(), font.Height());
}

TEST_F(GlyphDrawing, ImageListLoadsABitmapResourceAndTakesAHandle) {
  TcxImageList list;
  list.SetSize(11, 11);
  EXPECT_TRUE(list.LoadImage(GetModuleHandleW(nullptr), L"DXEXPANDBUTTON_PLUS", clNone, 11, 0));
  EXPECT_EQ(1, list.Count());
  EXPECT_EQ(1, list.ImageInfos().Count());
  EXPECT_FALSE(list.LoadImage(GetModuleHandleW(nullptr), L"NO_SUCH_BITMAP", clNone, 11, 0));
  EXPECT_EQ(1, list.Count());

  HIMAGELIST given = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2);
  auto bitmap = SolidBitmap(32, 16, clBlue, TPixelFormat::pf32bit);
  ImageList_Add(given, bitmap->Handle(), nullptr);
  TcxImageList taken;
  taken.SetHandle(given);
  EXPECT_EQ(2, taken.Count());
  EXPECT_EQ(2, taken.ImageInfos().Count());
  EXPECT_EQ(16, taken.Width());
}

TEST_F(GlyphDrawing, ImageListAddBitmapCentresOrStretchesToTheListSize) {
  TcxImageList list;
  auto small = SolidBitmap(8, 8, clRed, TPixelFormat::pf24bit);
  ASSERT_EQ(0, list.AddBitmap(small.get(), nullptr, clFuchsia, false, false));
  ASSERT_EQ(1, list.AddBitmap(small.get(), nullptr, clNone, true, true));
  struct {
    int Index, X, Y;
    uint32_t Expected;
  } const cases[] = {
      {0, 8, 8, 0xFF0000}, {0, 1, 1, 0x00FF00},  // centred; the new area takes the mask colour
      {1, 8, 8, 0xFF0000}, {1, 1, 1, 0xFF0000},  // stretched over the whole image
  };
  for (const auto& c : cases) {
    GlyphSurface surface(16, 16, 0x00FF00);
    TCanvas canvas;
    canvas.SetHandle(surface.DC());
    list.Draw(canvas, RECT{0, 0, 16, 16}, c.Index);
    canvas.SetHandle(nullptr);
    EXPECT_EQ(c.Expected, surface.Pixel(c.X, c.Y)) << c.Index << " at " << c.X << "," << c.Y;
  }
}

// The class library's file and resource loads replace the images, and the
// collection follows; a load that finds nothing keeps what there was.
TEST_F(GlyphDrawing, ImageListLoadsFromAFileAndFromTheModulesResources) {
  testsupport::TestFolder folder;
  TBitmap strip;
  strip.SetPixelFormat(TPixelFormat::pf24bit);
  strip.SetSize(32, 16);
  strip.Canvas().Brush().SetColor(clRed);
  strip.Canvas().FillRect(RECT{0, 0, 16, 16});
  strip.Canvas().Brush().SetColor(clBlue);
  strip.Canvas().FillRect(RECT{16, 0, 32, 16});
  const std::wstring file = folder / L"strip.bmp";
  strip.SaveToFile(file);

  TcxImageList list;
  list.SetSize(16, 16);
  ASSERT_TRUE(list.FileLoad(TImageResType::rtBitmap, file, clNone));
  ASSERT_EQ(2, list.Count());
  EXPECT_EQ(2, list.ImageInfos().Count());
  for (int i = 0; i < 2; ++i) {
    TBitmap image;
    list.GetImage(i, &image);
    ASSERT_EQ(16, image.Width());
    EXPECT_EQ(i == 0 ? clRed : clBlue, TColor(ColorToRGB(image.Canvas().Pixel(8, 8)) & 0xFFFFFF)) << i;
  }
  EXPECT_FALSE(list.FileLoad(TImageResType::rtBitmap, folder / L"missing.bmp", clNone));
  EXPECT_EQ(2, list.Count());
  EXPECT_EQ(2, list.ImageInfos().Count());

  list.SetSize(11, 11);
  ASSERT_TRUE(list.ResourceLoad(TImageResType::rtBitmap, L"DXEXPANDBUTTON_PLUS", clNone));
  EXPECT_EQ(1, list.Count());
  EXPECT_EQ(1, list.ImageInfos().Count());
  EXPECT_FALSE(list.ResInstLoad(GetModuleHandleW(nullptr), TImageResType::rtBitmap, L"NO_SUCH_BITMAP", clNone));
  EXPECT_EQ(1, list.ImageInfos().Count());
}
