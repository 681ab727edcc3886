// Galleries of the look-and-feel library's drawing, one PNG file each: frames,
// edges and tiling; bitmap rotations and pixel transformations; glyphs in the
// six draw modes; rotated and laid-out text with highlight and ellipsis; the
// Office 2003 gradients and the 49 colours of the current scheme.
#include "ScreenshotProgram.h"
#include "Forms.h"
#include "LookAndFeelSteps.h"
#include "PngImage.h"
#include "cxDrawTextUtils.h"
#include "cxGraphics.h"
#include "dxCore.h"
#include "dxOffice11.h"
#include "ScreenshotImages.h"

#include <cstdio>
#include <functional>
#include <string>

using namespace tvk;

namespace {

std::string gFolder;

void Label(HDC ADC, int X, int Y, const std::wstring& AText) {
  SetBkMode(ADC, TRANSPARENT);
  SetTextColor(ADC, RGB(0, 0, 0));
  TextOutW(ADC, X, Y, AText.c_str(), int(AText.size()));
}

// A gallery of AWidth x AHeight on light grey, drawn by ADraw and saved as ANAME.png.
void Gallery(const char* AName, int AWidth, int AHeight, const std::function<void(TcxCanvas&, HDC)>& ADraw) {
  TcxBitmap32 shot(AWidth, AHeight, true);
  shot.Canvas().Brush().SetColor(TColor(0xE0E0E0));
  shot.Canvas().FillRect(shot.ClientRect());
  ADraw(shot.cxCanvas(), shot.Canvas().Handle());
  shot.MakeOpaque();
  const std::string file = "lookandfeel_" + std::string(AName) + ".png";
  SavePng(shot, gFolder, file.c_str(), "drawing");
}

std::unique_ptr<TcxBitmap32> Sample(int AWidth, int AHeight, bool AAlpha) {
  auto bitmap = std::make_unique<TcxBitmap32>(AWidth, AHeight, true);
  TRGBColors colors(std::size_t(AWidth) * std::size_t(AHeight));
  for (int y = 0; y < AHeight; ++y)
    for (int x = 0; x < AWidth; ++x) {
      RGBQUAD& p = colors[std::size_t(y * AWidth + x)];  // bottom-up
      p = RGBQUAD{BYTE(40 + 200 * x / AWidth), BYTE(60 + 180 * y / AHeight), BYTE(200 - 150 * x / AWidth), 255};
      if (AAlpha) {
        const int dx = 2 * x - AWidth + 1, dy = 2 * y - AHeight + 1;
        if (dx * dx + dy * dy > AWidth * AWidth) p = RGBQUAD{};
      }
    }
  bitmap->SetBitmapColors(colors);
  return bitmap;
}

void Frames(TcxCanvas& C, HDC DC) {
  static const wchar_t* const kBorders[] = {L"all", L"left+top", L"right+bottom", L"top"};
  const TcxBorders borders[] = {cxBordersAll, bLeft | bTop, bRight | bBottom, bTop};
  for (int i = 0; i < 4; ++i) {
    const RECT r{10 + i * 90, 30, 90 + i * 90, 90};
    C.FrameRect(r, clNavy, 3, borders[i]);
    Label(DC, r.left, 10, kBorders[i]);
  }
  for (int i = 0; i < 4; ++i) {
    const RECT r{10 + i * 90, 120, 90 + i * 90, 180};
    C.DrawEdge(r, i % 2 == 1, i >= 2);
    Label(DC, r.left, 100, std::wstring(i % 2 ? L"sunken" : L"raised") + (i >= 2 ? L" outer" : L" inner"));
  }
  C.DrawComplexFrame(RECT{370, 120, 450, 180}, clWhite, clGray, cxBordersAll, 2);
  // Tiling stays anchored at (0, 0), also left of and above it.
  TBitmap tile;
  tile.SetSize(6, 6);
  tile.Canvas().Brush().SetColor(clYellow);
  tile.Canvas().FillRect(RECT{0, 0, 6, 6});
  tile.Canvas().Brush().SetColor(clRed);
  tile.Canvas().FillRect(RECT{0, 0, 3, 3});
  C.FillRect(RECT{10, 210, 130, 290}, &tile);
  Label(DC, 10, 192, L"tiled from (0, 0)");
  C.SaveDC();
  C.SetWindowOrg(POINT{-200, -210});
  C.FillRect(RECT{-5, -5, 70, 70}, &tile);
  C.RestoreDC();
  Label(DC, 200, 192, L"tiled from (-5, -5)");
}

void Transformations(TcxCanvas&, HDC DC) {
  static const wchar_t* const kAngles[] = {L"0", L"+90", L"-90", L"180"};
  for (int flip = 0; flip < 2; ++flip)
    for (int a = 0; a < 4; ++a) {
      auto bitmap = Sample(36, 24, false);
      TcxCanvas::RotateBitmap(*bitmap, TcxRotationAngle(a), flip == 1);
      const int x = 10 + a * 60, y = 30 + flip * 70;
      BitBlt(DC, x, y, bitmap->Width(), bitmap->Height(), bitmap->Canvas().Handle(), 0, 0, SRCCOPY);
      Label(DC, x, y - 18, std::wstring(kAngles[a]) + (flip ? L" flip" : L""));
    }
  static const struct {
    TcxBitmapTransformationMode Mode;
    const wchar_t* Name;
  } kModes[] = {{btmDingy, L"dingy"}, {btmDirty, L"dirty"}, {btmGrayScale, L"grey"},
                {btmFade, L"fade"},   {btmDisable, L"disable"}, {btmHatch, L"hatch"}};
  for (int i = 0; i < 6; ++i) {
    auto source = Sample(40, 40, false);
    TcxAlphaBitmap bitmap(40, 40);
    BitBlt(bitmap.Canvas().Handle(), 0, 0, 40, 40, source->Canvas().Handle(), 0, 0, SRCCOPY);
    if (kModes[i].Mode == btmHatch) bitmap.DrawHatch(clWhite, clBlack, 4, 160, 160);
    else bitmap.TransformBitmap(kModes[i].Mode);
    bitmap.MakeOpaque();
    const int x = 10 + i * 60;
    BitBlt(DC, x, 190, 40, 40, bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
    Label(DC, x, 172, kModes[i].Name);
  }
}

void Glyphs(TcxCanvas&, HDC DC) {
  static const wchar_t* const kModes[] = {L"normal", L"disabled", L"faded", L"grey", L"dingy", L"shadowed"};
  auto alpha = Sample(32, 32, true);
  TBitmap plain;  // 24 bits: the lower-left colour counts as transparent
  plain.Assign(*Sample(32, 32, false));
  plain.SetPixelFormat(TPixelFormat::pf24bit);
  plain.Canvas().Brush().SetColor(clFuchsia);
  plain.Canvas().FillRect(RECT{0, 24, 8, 32});
  for (int m = 0; m < 6; ++m) {
    const int x = 10 + m * 70;
    Label(DC, x, 8, kModes[m]);
    DrawGlyphOrImage(DC, RECT{x + 10, 40, x + 42, 72}, RECT{x, 30, x + 60, 82}, alpha.get(), nullptr, -1, m);
    DrawGlyphOrImage(DC, RECT{x + 10, 110, x + 42, 142}, RECT{x, 100, x + 60, 152}, &plain, nullptr, -1, m);
  }
  Label(DC, 10, 160, L"upper row: alpha glyph; lower row: glyph with a transparent colour");
}

void Text(TcxCanvas& C, HDC DC) {
  static const wchar_t* const kAngles[] = {L"ra0", L"raPlus90", L"raMinus90", L"ra180"};
  for (int a = 0; a < 4; ++a) {
    const RECT r = a == 0 || a == 3 ? RECT{10 + a * 100, 30, 100 + a * 100, 60} : RECT{30 + a * 100, 20, 60 + a * 100, 110};
    C.FrameRect(r, clGray);
    DrawRotatedText(C, kAngles[a], r, TcxRotationAngle(a), clBlack, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  const std::wstring text =
      L"The library lays out its own rows: words wrap, over-wide words break into characters, and the last "
      L"visible row ends with an ellipsis when the text does not fit.";
  static const struct {
    UINT Format;
    const wchar_t* Name;
  } kLayouts[] = {{CXTO_WORDBREAK, L"left"},
                  {CXTO_WORDBREAK | CXTO_CENTER_HORIZONTALLY, L"centre"},
                  {CXTO_WORDBREAK | CXTO_RIGHT, L"right"},
                  {CXTO_WORDBREAK | CXTO_JUSTIFY_HORIZONTALLY, L"justified"},
                  {CXTO_WORDBREAK | CXTO_END_ELLIPSIS, L"end ellipsis"}};
  for (int i = 0; i < 5; ++i) {
    // The ellipsis box ends just below the fourth row's base line.
    RECT r{10 + i * 130, 150, 130 + i * 130, i == 4 ? 197 : 300};
    C.FrameRect(r, clGray);
    Label(DC, r.left, 130, kLayouts[i].Name);
    DrawTextInRect(DC, text, r, kLayouts[i].Format, i == 0 ? 4 : 0, i == 0 ? 17 : 0);
  }
}

void Office11(TcxCanvas&, HDC DC) {
  FillGradientRect(DC, RECT{10, 10, 310, 40}, Office11SchemeColor(1), Office11SchemeColor(2), true);
  FillGradientByBands(DC, RECT{10, 50, 310, 80}, clWhite, clNavy, true);
  FillGradientByBands(DC, RECT{320, 10, 350, 80}, clWhite, clMaroon, false);
  FillOffice11Gradient(DC, RECT{10, 90, 310, 120}, Office11SchemeColor(1), Office11SchemeColor(3), true);
  DrawOffice11Dots(DC, RECT{360, 10, 366, 80}, true, nullptr, nullptr);
  DrawOffice11SizeGrip(DC, RECT{380, 60, 400, 80});
  Label(DC, 10, 128, L"scheme " + std::to_wstring(GetOffice11ColorScheme()) + L": colours 1 to 49");
  for (int k = 1; k <= 49; ++k) {
    const int column = (k - 1) % 10, row = (k - 1) / 10;
    const RECT r{10 + column * 40, 150 + row * 40, 44 + column * 40, 184 + row * 40};
    FillRectByColor(DC, r, Office11SchemeColor(k));
    Label(DC, r.left + 2, r.top + 2, std::to_wstring(k));
  }
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "laf_drawing_screens", LookAndFeelSteps(), [](const std::string& folder) {
    gFolder = folder;
    Gallery("frames", 460, 300, Frames);
    Gallery("transformations", 380, 240, Transformations);
    Gallery("glyphs", 440, 180, Glyphs);
    Gallery("text", 670, 310, Text);
    Gallery("office11", 420, 360, Office11);
  }, {}, [] {
    ScreenUnitShutdown();
    DxCoreUnitShutdown();
  });
}
