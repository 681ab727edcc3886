// Drawing: the canvas on a bitmap's context, bitmap rows and the transparent
// colour, bitmap files, 32-bit image lists with masks, and a panel painted
// into a context handed to it.
#include <gtest/gtest.h>

#include "Forms.h"
#include "ImageLists.h"
#include "Panels.h"
#include "support/TestFolder.h"

#include <cstdint>

using namespace tvk;

namespace {

TEST(Canvas, DrawsOnABitmapWithItsBrushPenAndFont) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::pf32bit);
  bitmap.SetSize(20, 10);
  TCanvas& c = bitmap.Canvas();
  c.Brush().SetColor(clRed);
  c.FillRect(RECT{0, 0, 20, 10});
  c.Pen().SetColor(clBlue);
  c.MoveTo(0, 5);
  c.LineTo(20, 5);
  c.Font().SetSize(12);  // a font changed while selected is swapped cleanly
  c.Font().SetStyle(fsBold);
  EXPECT_GT(c.TextWidth(L"WWW"), c.TextWidth(L"i"));
  EXPECT_EQ(clRed, c.Pixel(3, 2));
  EXPECT_EQ(clBlue, c.Pixel(3, 5));
  // Rows: row 0 is the top; 32-bit pixels are B, G, R, A in memory.
  auto* top = static_cast<const uint8_t*>(bitmap.ScanLine(0));
  EXPECT_EQ((std::vector<int>{0, 0, 255}), (std::vector<int>{top[0], top[1], top[2]}));
  auto* line = static_cast<const uint8_t*>(bitmap.ScanLine(5));
  EXPECT_EQ(255, line[0]);
  EXPECT_THROW(bitmap.ScanLine(10), EInvalidOperation);
}

TEST(Canvas, APenDrawsInItsRasterModeSetAgainWhenTheModeChanges) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::pf32bit);
  bitmap.SetSize(8, 8);
  TCanvas& c = bitmap.Canvas();
  struct {
    TPenMode Mode;
    TColor Pen, Expected;
  } const cases[] = {
      {TPenMode::pmNot, clBlack, 0xCC9966},  {TPenMode::pmXor, 0x0000FF, 0x336666},
      {TPenMode::pmCopy, 0x0000FF, 0x0000FF}, {TPenMode::pmNop, 0x0000FF, 0x336699},
      {TPenMode::pmMask, 0x00FF0F, 0x006609},
  };
  for (const auto& k : cases) {
    c.Brush().SetColor(0x336699);
    c.FillRect(RECT{0, 0, 8, 8});
    c.Pen().SetColor(k.Pen);
    c.Pen().SetMode(k.Mode);
    c.MoveTo(0, 3);
    c.LineTo(8, 3);
    EXPECT_EQ(k.Expected, c.Pixel(4, 3)) << int(k.Mode);
    EXPECT_EQ(0x336699, c.Pixel(4, 4));
    EXPECT_EQ(PenModeToRop2(k.Mode), GetROP2(c.Handle()));
  }
  EXPECT_EQ(TPenMode::pmCopy, PenModeOfRop2(0)) << "no such mode";
  EXPECT_EQ(TPenMode::pmNotXor, PenModeOfRop2(R2_NOTXORPEN));
  TPen copy;
  copy.Assign(c.Pen());
  EXPECT_EQ(TPenMode::pmMask, copy.Mode());
}

TEST(Font, AnAdoptedHandleKeepsItsWholeDescriptionUntilAPropertyChanges) {
  LOGFONTW lf{};
  lf.lfHeight = -17;
  lf.lfEscapement = 450;
  lf.lfItalic = 1;
  lf.lfWeight = FW_BOLD;
  lf.lfPitchAndFamily = FIXED_PITCH;
  lstrcpyW(lf.lfFaceName, L"Courier New");
  TFont font;
  HFONT handle = CreateFontIndirectW(&lf);
  font.SetHandle(handle);
  EXPECT_EQ(handle, font.Handle());
  EXPECT_EQ(-17, font.Height());
  EXPECT_EQ(fsBold | fsItalic, font.Style());
  EXPECT_EQ(TFontPitch::fpFixed, font.Pitch());
  EXPECT_EQ(L"Courier New", font.Name());
  auto escapement = [](TFont& f) {
    LOGFONTW got{};
    GetObjectW(f.Handle(), sizeof got, &got);
    return got.lfEscapement;
  };
  TFont copy;
  copy.Assign(font);
  EXPECT_NE(handle, copy.Handle()) << "a handle of its own";
  EXPECT_EQ(450, escapement(copy));
  copy.SetColor(clRed);
  EXPECT_EQ(450, escapement(copy)) << "the colour is no part of the handle";
  copy.SetHeight(-20);
  EXPECT_EQ(0, escapement(copy)) << "a plain font again";
  EXPECT_EQ(450, escapement(font));
  EXPECT_THROW(font.SetHandle(nullptr), EInvalidOperation);
}

TEST(Bitmap, TransparentColourIsTheLowerLeftPixelAndSurvivesHandingOut) {
  TBitmap bitmap;
  bitmap.SetSize(4, 4);
  bitmap.Canvas().Brush().SetColor(clWhite);
  bitmap.Canvas().FillRect(RECT{0, 0, 4, 4});
  bitmap.Canvas().SetPixel(0, 3, clFuchsia);
  bitmap.Canvas().SetPixel(0, 0, clLime);
  EXPECT_EQ(clFuchsia, bitmap.TransparentColor());
  HBITMAP h = bitmap.Handle();  // out of the context, still the bitmap's
  BITMAP bm{};
  ASSERT_TRUE(GetObjectW(h, sizeof bm, &bm));
  EXPECT_EQ(4, bm.bmWidth);
  EXPECT_EQ(clLime, bitmap.Canvas().Pixel(0, 0));  // the context comes back with the picture
}

// A 24-bit bitmap file of 2 x 2 pixels: bottom row blue, green; top row red, white.
std::string TinyBitmapFile() {
  std::string f;
  auto u16 = [&](uint16_t v) { f.append(reinterpret_cast<const char*>(&v), 2); };
  auto u32 = [&](uint32_t v) { f.append(reinterpret_cast<const char*>(&v), 4); };
  f += "BM";
  u32(54 + 16);
  u32(0);
  u32(54);
  u32(40);
  u32(2);
  u32(2);
  u16(1);
  u16(24);
  u32(0);
  u32(16);
  u32(2835);
  u32(2835);
  u32(0);
  u32(0);
  f += std::string("\xFF\x00\x00" "\x00\xFF\x00" "\x00\x00", 8);      // blue, green, padding
  f += std::string("\x00\x00\xFF" "\xFF\xFF\xFF" "\x00\x00", 8);      // red, white, padding
  return f;
}

TEST(Bitmap, LoadsABitmapFileAndReportsAMissingResource) {
  testsupport::TestFolder folder;
  std::wstring file = folder.Write(L"tiny.bmp", TinyBitmapFile());
  TBitmap bitmap;
  bitmap.LoadFromFile(file);
  EXPECT_EQ(2, bitmap.Width());
  EXPECT_EQ(TPixelFormat::pf24bit, bitmap.PixelFormat());
  EXPECT_EQ(clRed, bitmap.Canvas().Pixel(0, 0));
  EXPECT_EQ(clBlue, bitmap.TransparentColor());
  EXPECT_THROW(bitmap.LoadFromResourceName(GetModuleHandleW(nullptr), L"NO_SUCH_PICTURE"), EResNotFound);
}

TEST(ImageList, AStripAddsOnePicturePerWidthAndItsMaskColourIsTransparent) {
  TImageList list(nullptr);
  TBitmap strip;
  strip.SetSize(48, 16);
  TCanvas& c = strip.Canvas();
  c.Brush().SetColor(clFuchsia);
  c.FillRect(RECT{0, 0, 48, 16});
  c.Brush().SetColor(clBlue);
  c.FillRect(RECT{20, 4, 28, 12});  // a square in the middle picture only
  EXPECT_EQ(0, list.AddMasked(strip, strip.TransparentColor()));
  EXPECT_EQ(3, list.Count());
  TBitmap out;
  list.GetBitmap(1, out, clLime);
  EXPECT_EQ(clLime, out.Canvas().Pixel(0, 0));   // masked: the background shows
  EXPECT_EQ(clBlue, out.Canvas().Pixel(6, 6));
  list.GetBitmap(0, out, clYellow);
  EXPECT_EQ(clYellow, out.Canvas().Pixel(6, 6));
  EXPECT_THROW(list.GetBitmap(3, out), EInvalidOperation);
  list.Delete(0);
  EXPECT_EQ(2, list.Count());
}

TEST(Panel, PaintsBevelAndBackgroundIntoAContextPassedToIt) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  auto* panel = new TPanel(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 0, 30, 20);
  panel->SetColor(clYellow);
  panel->HandleNeeded();
  TBitmap target;
  target.SetSize(30, 20);
  SendMessageW(panel->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(target.Canvas().Handle()), 0);
  EXPECT_EQ(TColor(ColorToRGB(clBtnHighlight)), target.Canvas().Pixel(0, 5));   // raised: light left edge
  EXPECT_EQ(TColor(ColorToRGB(clBtnShadow)), target.Canvas().Pixel(29, 5));     // dark right edge
  EXPECT_EQ(clYellow, target.Canvas().Pixel(15, 10));
}

}  // namespace
