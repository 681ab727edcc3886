#include "dxOffice11.h"

#include "Files.h"
#include "WindowClasses.h"
#include "Themes.h"
#include "dxThemeManager.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <type_traits>

namespace tvk {

namespace {

// How the classic column derives a colour from the system colours.
enum class TClassic { Color, Blend, Light, NearestLight, Nearest, As, Caption };
struct TClassicRule {
  TClassic Kind;
  TColor A = 0, B = 0;
  int P1 = 0, P2 = 0, P3 = 0;  // percentages, or the entry for As, or the start flag
};
constexpr TClassicRule C(TColor c) { return {TClassic::Color, c}; }
constexpr TClassicRule Blend(TColor a, TColor b, int p) { return {TClassic::Blend, a, b, p}; }
constexpr TClassicRule NearestLight(int p1, int p2, int p3) { return {TClassic::NearestLight, 0, 0, p1, p2, p3}; }
constexpr TClassicRule Light(int p1, int p2, int p3) { return {TClassic::Light, 0, 0, p1, p2, p3}; }
constexpr TClassicRule Nearest(TColor c) { return {TClassic::Nearest, c}; }
constexpr TClassicRule As(int k) { return {TClassic::As, 0, 0, k}; }
constexpr TClassicRule Caption(bool start) { return {TClassic::Caption, 0, 0, start ? 1 : 0}; }

struct TSchemeRow {
  uint32_t Blue, Olive, Silver;  // BBGGRR
  TClassicRule Classic;
};

// Colours 1 to 49 of the three schemes and of the classic look.
constexpr TSchemeRow kRows[49] = {
    {0xFEECDD, 0xDEF7F4, 0xFAF4F3, Blend(clBtnFace, clWindow, 22)},
    {0xE2A981, 0x91C6B7, 0xB59799, Blend(clBtnFace, clWindow, 96)},
    {0xF5BE9E, 0xA7D9D9, 0xE5D7D7, C(clBtnFace)},
    {0xF9DAC3, 0xE4F0F2, 0xF7F3F3, Blend(clBtnFace, clWindow, 20)},
    {0x913500, 0x6B7760, 0x927476, C(clBtnShadow)},
    {0xF1A675, 0x8CC2B0, 0xC8B2B3, Blend(clBtnShadow, clWindow, 74)},
    {0x76C1FF, 0x76C1FF, 0x76C1FF, NearestLight(-15, 29, 86)},
    {0xD3F8FF, 0xD3F8FF, 0xD3F8FF, As(7)},
    {0x98DDFF, 0x98DDFF, 0x98DDFF, NearestLight(42, 11, 47)},
    {0x5295FE, 0x5295FE, 0x5295FE, As(9)},
    {0x9C613B, 0x588060, 0x947C7C, Blend(clBtnFace, clWindow, 85)},
    {0xE0A47B, 0x8FC4B5, 0xB09193, C(clBtnFace)},
    {0x764127, 0x335E51, 0x755454, Blend(clBtnShadow, clWindow, 76)},
    {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, C(clWindow)},
    {0xCB8C6A, 0x588060, 0x8F6D6E, Blend(clBtnShadow, clWindow, 70)},
    {0xFFF9F1, 0xDEF7F4, 0xFFFFFF, C(clWhite)},
    {0xC9662A, 0x5E8674, 0x99797A, C(clBtnShadow)},
    {0xF9DBC4, 0xADDEE1, 0xE4DADB, As(2)},
    {0x962D00, 0x5E8D75, 0x947C7C, C(clBtnShadow)},
    {0xF6F6F6, 0xEEF4F4, 0xFFFAFD, C(clWindow)},
    {0xC2EEFF, 0xC2EEFF, 0xC2EEFF, NearestLight(-2, 30, 72)},
    {0x800000, 0x385D3F, 0x6F4B4B, C(clHighlight)},
    {0xCCF4FF, 0xCCF4FF, 0xCCF4FF, As(21)},
    {0x91D0FF, 0x91D0FF, 0x91D0FF, As(21)},
    {0x8ED3FF, 0x8ED3FF, 0x8ED3FF, NearestLight(14, 44, 40)},
    {0x4E91FE, 0x4E91FE, 0x4E91FE, As(25)},
    {0xFCE1CB, 0xB6E3D8, 0xE7D3D6, As(2)},
    {0x6FC0FF, 0x6FC0FF, 0x6FC0FF, Light(41, 11, 48)},
    {0x3E80FE, 0x3E80FE, 0x3E80FE, As(25)},
    {0xF0C7A9, 0x9FD4C5, 0xD3C0C0, As(2)},
    {0x000000, 0x000000, 0x000000, C(clBtnText)},
    {0x8D8D8D, 0x8D8D8D, 0x8D8D8D, C(clGrayText)},
    {0xFBDABE, 0x91BAAF, 0xEBE5E5, C(clBtnFace)},
    {0x94E6FB, 0x94E6FB, 0x94E6FB, As(28)},
    {0xFADAC4, 0xE4F1F2, 0xF7F3F3, As(3)},
    {0x962D00, 0x588060, 0x947C7C, As(19)},
    {0xB96837, 0x548973, 0x916F70, C(clBtnShadow)},
    {0x962D00, 0x5E8D75, 0x947C7C, Nearest(clBtnShadow)},
    {0xFBE5D3, 0xDBF5F2, 0xF8F1F0, Caption(true)},
    {0xE4AE88, 0x97C9BC, 0xBA9EA0, Caption(false)},
    {0xDCFFFF, 0xDCFFFF, 0xDCFFFF, As(23)},
    {0x5BC0F7, 0x5BC0F7, 0x5BC0F7, As(24)},
    {0x94E6FB, 0x94E6FB, 0x94E6FB, As(28)},
    {0x1595EE, 0x1595EE, 0x1595EE, As(28)},
    {0x087FE8, 0x087FE8, 0x087FE8, As(29)},
    {0x7CDAF7, 0x7CDAF7, 0x7CDAF7, As(29)},
    {0xD68759, 0x82C0AF, 0xBFA7A8, As(38)},
    {0x933803, 0x447A63, 0x916F70, As(38)},
    {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, C(clHighlightText)},
};

constexpr int kMidPercent[4] = {75, 41, 125, 40};

using GradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

HMODULE gOffice11MsImg32 = nullptr;
GradientFillProc gGradientFill = nullptr;
bool gGradientFillUsed = true;
bool gCalculated = false;
int gScheme = 0;
bool gThemed = false;
std::array<TColor, 49> gColors{};
std::array<TColor, 6> gBlendColors{};

int Red(COLORREF c) { return GetRValue(c); }
int Green(COLORREF c) { return GetGValue(c); }
int Blue(COLORREF c) { return GetBValue(c); }
TColor Pack(int r, int g, int b) {
  auto clamp = [](int v) { return std::clamp(v, 0, 255); };
  return TColor(RGB(clamp(r), clamp(g), clamp(b)));
}

template <class F>
TColor PerChannel(COLORREF c, F&& f) {
  return Pack(f(Red(c)), f(Green(c)), f(Blue(c)));
}

int CurrentScheme() {
  if (!AreThemesAvailable()) return 0;
  wchar_t file[1024] = {}, color[1024] = {}, size[1024] = {};
  if (FAILED(GetCurrentThemeName(file, 1024, color, 1024, size, 1024))) return 0;
  return DetectOffice11Scheme(file, color, Win32MajorVersion());
}

void EnsureCalculated() {
  if (!gCalculated) CalculateOffice11Colors();
}

}  // namespace

int DetectOffice11Scheme(const WideString& AFileName, const WideString& AColorName, int AMajorVersion) {
  if (UpperCaseText(ExtractFileName(AFileName)) != L"LUNA.MSSTYLES" && AMajorVersion < 6) return 0;
  const WideString color = UpperCaseText(AColorName);
  if (color == L"NORMALCOLOR") return 1;
  if (color == L"HOMESTEAD") return 2;
  if (color == L"METALLIC") return 3;
  return 0;
}

void CalculateOffice11Colors() {
  gCalculated = true;
  gScheme = CurrentScheme();
  gThemed = gScheme != 0;
  for (int k = 0; k < 49; ++k) {
    const TSchemeRow& row = kRows[k];
    if (gThemed) {
      const uint32_t value = gScheme == 1 ? row.Blue : gScheme == 2 ? row.Olive : row.Silver;
      gColors[std::size_t(k)] = TColor(value);
      continue;
    }
    const TClassicRule& rule = row.Classic;
    TColor color = 0;
    switch (rule.Kind) {
      case TClassic::Color: color = rule.A; break;
      case TClassic::Blend: color = BlendColorsByPercent(rule.A, rule.B, rule.P1); break;
      case TClassic::Light: color = GetLightColor(rule.P1, rule.P2, rule.P3); break;
      case TClassic::NearestLight: color = GetNearestScreenColor(GetLightColor(rule.P1, rule.P2, rule.P3)); break;
      case TClassic::Nearest: color = GetNearestScreenColor(rule.A); break;
      case TClassic::As: color = gColors[std::size_t(rule.P1 - 1)]; break;
      case TClassic::Caption: color = GetNavPaneGroupCaptionColor(rule.P1 != 0); break;
    }
    gColors[std::size_t(k)] = color;
  }
  for (int i = 0; i < 3; ++i)
    gBlendColors[std::size_t(i)] = gThemed ? BlendColorsByPercent(gColors[std::size_t(5 + 2 * i)], gColors[0], 90)
                                           : BlendColorsByPercent(gColors[std::size_t(4 + 2 * i)], clWindow, 50);
  for (int i = 0; i < 3; ++i)
    gBlendColors[std::size_t(3 + i)] = BlendColorsByPercent(gColors[std::size_t(4 + 2 * i)], gColors[11], 50);
}

int GetOffice11ColorScheme() {
  EnsureCalculated();
  return gScheme;
}

bool IsOffice11Themed() {
  EnsureCalculated();
  return gThemed;
}

TColor Office11SchemeColor(int K) {
  EnsureCalculated();
  return gColors.at(std::size_t(K - 1));
}

TColor Office11BlendColor(int AIndex) {
  EnsureCalculated();
  return gBlendColors.at(std::size_t(AIndex));
}

int Office11GradientMidPercent() { return kMidPercent[GetOffice11ColorScheme()]; }

TColor GetNearestScreenColor(TColor AColor) {
  HDC dc = GetDC(nullptr);
  COLORREF nearest = GetNearestColor(dc, ColorToRGB(AColor));
  ReleaseDC(nullptr, dc);
  return nearest == CLR_INVALID ? TColor(ColorToRGB(AColor)) : TColor(nearest);
}

TColor BlendColorsByPercent(TColor AColor1, TColor AColor2, int APercent) {
  const COLORREF a = ColorToRGB(AColor1), b = ColorToRGB(AColor2);
  auto mix = [APercent](int x, int y) { return std::min(MulDiv(y, 100 - APercent, 100) + MulDiv(x, APercent, 100), 255); };
  return GetNearestScreenColor(Pack(mix(Red(a), Red(b)), mix(Green(a), Green(b)), mix(Blue(a), Blue(b))));
}

TColor ScaleColorByPercent(TColor AColor, int APercent) {
  return PerChannel(ColorToRGB(AColor), [APercent](int c) { return int(std::nearbyint(c * APercent / 100.0)); });
}

TColor GetLightColor(int ABtnFacePercent, int AHighlightPercent, int AWindowPercent) {
  const COLORREF f = GetSysColor(COLOR_BTNFACE), h = GetSysColor(COLOR_HIGHLIGHT), w = GetSysColor(COLOR_WINDOW);
  if (f == 0 || f == 0xFFFFFF) return TColor(h);
  auto mix = [&](int cf, int ch, int cw) {
    return MulDiv(cf, ABtnFacePercent, 100) + MulDiv(ch, AHighlightPercent, 100) + MulDiv(cw, AWindowPercent, 100);
  };
  return Pack(mix(Red(f), Red(h), Red(w)), mix(Green(f), Green(h), Green(w)), mix(Blue(f), Blue(h), Blue(w)));
}

TColor GetNavPaneGroupCaptionColor(bool AStart) {
  const COLORREF face = ColorToRGB(clBtnFace);
  return GetNearestScreenColor(
      PerChannel(face, [AStart](int c) { return AStart ? c * 127 / 255 + 128 : c - c * 4 / 255 + 4; }));
}

void FillRectByColor(HDC DC, const RECT& R, TColor AColor) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(AColor));
  ::FillRect(DC, &R, brush);
  DeleteObject(brush);
}

void FrameRectByColor(HDC DC, const RECT& R, TColor AColor) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(AColor));
  ::FrameRect(DC, &R, brush);
  DeleteObject(brush);
}

bool IsBlackButtonFace() { return ColorToRGB(clBtnFace) == 0; }

bool IsBlackFaceScheme() { return IsBlackButtonFace() && ColorToRGB(clBtnText) != 0xFFFFFF; }

void FrameOffice11Rect(HDC DC, const RECT& R) {
  FrameRectByColor(DC, R, IsBlackButtonFace() || IsBlackFaceScheme() ? clHighlightText : Office11SchemeColor(22));
}

void FillGradientByBands(HDC DC, const RECT& R, TColor AColor1, TColor AColor2, bool AHorizontal) {
  const COLORREF c1 = ColorToRGB(AColor1), c2 = ColorToRGB(AColor2);
  const int start = AHorizontal ? R.left : R.top;
  const int extent = AHorizontal ? R.right - R.left : R.bottom - R.top;
  if (extent <= 0) return;
  const int bands = std::min(extent, 256);
  int from = start;
  for (int i = 0; i < bands; ++i) {
    const int to = start + MulDiv(i + 1, extent, bands);
    // One band is the first colour (a divisor of 0 would shift every channel by one).
    auto channel = [&](int a, int b) { return bands == 1 ? a : a + MulDiv(i, b - a, bands - 1); };
    const TColor color = Pack(channel(Red(c1), Red(c2)), channel(Green(c1), Green(c2)), channel(Blue(c1), Blue(c2)));
    const RECT band = AHorizontal ? RECT{from, R.top, to, R.bottom} : RECT{R.left, from, R.right, to};
    if (!IsRectEmpty(&band)) FillRectByColor(DC, band, color);
    from = to;
  }
}

void FillGradientRect(HDC DC, const RECT& R, TColor AColor1, TColor AColor2, bool AHorizontal) {
  const COLORREF c1 = ColorToRGB(AColor1), c2 = ColorToRGB(AColor2);
  if (c1 == c2) {
    FillRectByColor(DC, R, AColor1);
    return;
  }
  if (!gGradientFill || !gGradientFillUsed) {
    FillGradientByBands(DC, R, AColor1, AColor2, AHorizontal);
    return;
  }
  TRIVERTEX vertices[2] = {
      {R.left, R.top, COLOR16(Red(c1) << 8), COLOR16(Green(c1) << 8), COLOR16(Blue(c1) << 8), 0},
      {R.right, R.bottom, COLOR16(Red(c2) << 8), COLOR16(Green(c2) << 8), COLOR16(Blue(c2) << 8), 0}};
  GRADIENT_RECT rect{0, 1};
  gGradientFill(DC, vertices, 2, &rect, 1, AHorizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

void FillOffice11Gradient(HDC DC, const RECT& R, TColor AColor1, TColor AColor2, bool AHorizontal) {
  const COLORREF c1 = ColorToRGB(AColor1), c2 = ColorToRGB(AColor2);
  if (c1 == c2) {
    FillRectByColor(DC, R, AColor1);
    return;
  }
  const int n = AHorizontal ? R.right - R.left : R.bottom - R.top;
  if (n <= 0) return;
  const int h = n / 2, d = n - 1, mid = Office11GradientMidPercent();
  auto lineColor = [&](int i, int a, int b) {
    const int m = a - MulDiv(a - b, mid, 200);
    if (i == h) return m;
    if (i < h) {
      const int s = a - MulDiv(a - m, n, h);
      return a + MulDiv(i, s - a, d);
    }
    const int t = b + MulDiv(m - b, n, h);
    return t + MulDiv(i, b - t, d);
  };
  for (int i = 0; i < n; ++i) {
    const TColor color = Pack(lineColor(i, Red(c1), Red(c2)), lineColor(i, Green(c1), Green(c2)), lineColor(i, Blue(c1), Blue(c2)));
    const RECT line = AHorizontal ? RECT{R.left + i, R.top, R.left + i + 1, R.bottom}
                                  : RECT{R.left, R.top + i, R.right, R.top + i + 1};
    FillRectByColor(DC, line, color);
  }
}

void DrawOffice11Dots(HDC DC, const RECT& R, bool AVertical, HBRUSH ADarkBrush, HBRUSH ALightBrush) {
  HBRUSH dark = ADarkBrush, light = ALightBrush;
  HBRUSH ownDark = nullptr, ownLight = nullptr;
  if (!dark) dark = ownDark = CreateSolidBrush(ColorToRGB(Office11SchemeColor(13)));
  if (!light) light = ownLight = CreateSolidBrush(ColorToRGB(Office11SchemeColor(14)));
  const int extent = AVertical ? R.bottom - R.top : R.right - R.left;
  const int rest = ((extent % 4) + 4) % 4;
  const int shift = rest < 2 ? rest : rest / 2;
  int x = R.left + (AVertical ? 0 : shift), y = R.top + (AVertical ? shift : 0);
  for (bool first = true;; first = false) {
    if (!first && (AVertical ? y + 4 > R.bottom : x + 4 > R.right)) break;
    RECT lightDot{x + 1, y + 1, x + 3, y + 3}, darkDot{x, y, x + 2, y + 2};
    ::FillRect(DC, &lightDot, light);
    ::FillRect(DC, &darkDot, dark);
    (AVertical ? y : x) += 4;
  }
  if (ownDark) DeleteObject(ownDark);
  if (ownLight) DeleteObject(ownLight);
}

void DrawOffice11SizeGrip(HDC DC, const RECT& R, TColor AColor1, TColor AColor2) {
  HBRUSH dark = AColor1 == clDefault ? nullptr : CreateSolidBrush(ColorToRGB(AColor1));
  HBRUSH light = AColor2 == clDefault ? nullptr : CreateSolidBrush(ColorToRGB(AColor2));
  RECT row{R.right - 12, R.bottom - 3, R.right, R.bottom};
  for (int i = 0; i < 3; ++i) {
    DrawOffice11Dots(DC, row, false, dark, light);
    row.left += 4;
    row.top -= 4;
    row.bottom -= 4;
  }
  if (dark) DeleteObject(dark);
  if (light) DeleteObject(light);
}

bool IsGradientFillBound() { return gGradientFill != nullptr && gGradientFillUsed; }

void SetGradientFillBound(bool AValue) { gGradientFillUsed = AValue; }

// ---- The colours' users, brushes and bitmaps

namespace {

constexpr int kBrushColors[] = {13, 14, 15, 16, 19, 20, 22, 27, 28, 29, 30, 21};

struct TOffice11Resources {
  struct TBrushDeleter {
    void operator()(HBRUSH brush) const { DeleteObject(brush); }
  };
  using TBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, TBrushDeleter>;
  std::array<TBrush, std::size(kBrushColors)> SchemeBrushes;
  TBrush BlendBrush;
  std::unique_ptr<TBitmap> SubMenuExpand, ExpandMinus, ExpandPlus;
};

int gOffice11ColorsRefCount = 0;
std::unique_ptr<TOffice11Resources> gOffice11Resources;

std::unique_ptr<TBitmap> Office11ModuleBitmap(const wchar_t* AName) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->LoadFromResourceName(ClassLibraryInstance(), AName);
  return bitmap;
}

void CreateOffice11Resources() {
  auto resources = std::make_unique<TOffice11Resources>();
  for (std::size_t i = 0; i < std::size(kBrushColors); ++i)
    resources->SchemeBrushes[i].reset(CreateSolidBrush(ColorToRGB(Office11SchemeColor(kBrushColors[i]))));
  resources->BlendBrush.reset(CreateSolidBrush(ColorToRGB(Office11BlendColor(3))));
  resources->SubMenuExpand = Office11ModuleBitmap(L"DXSUBMENUEXPAND");
  RecolorOffice11Bitmap(*resources->SubMenuExpand);
  resources->ExpandMinus = Office11ModuleBitmap(L"DXEXPANDBUTTON_MINUS");
  resources->ExpandPlus = Office11ModuleBitmap(L"DXEXPANDBUTTON_PLUS");
  gOffice11Resources = std::move(resources);
}

}  // namespace

void AddOffice11ColorsRef() {
  if (gOffice11ColorsRefCount == 0) {
    CalculateOffice11Colors();
    CreateOffice11Resources();
  }
  ++gOffice11ColorsRefCount;
}

void ReleaseOffice11ColorsRef() {
  if (gOffice11ColorsRefCount == 0) return;
  if (--gOffice11ColorsRefCount == 0) gOffice11Resources.reset();
}

void RefreshOffice11Colors() {
  CalculateOffice11Colors();
  if (gOffice11ColorsRefCount > 0) CreateOffice11Resources();
}

int Office11ColorsRefCount() { return gOffice11ColorsRefCount; }

HBRUSH Office11SchemeBrush(int K) {
  if (!gOffice11Resources) return nullptr;
  const auto* at = std::find(std::begin(kBrushColors), std::end(kBrushColors), K);
  return at == std::end(kBrushColors) ? nullptr
                                      : gOffice11Resources->SchemeBrushes[std::size_t(at - kBrushColors)].get();
}

HBRUSH Office11BlendBrush() { return gOffice11Resources ? gOffice11Resources->BlendBrush.get() : nullptr; }

TBitmap* Office11SubMenuExpandBitmap() { return gOffice11Resources ? gOffice11Resources->SubMenuExpand.get() : nullptr; }

TBitmap* Office11ExpandButtonBitmap(bool AExpanded) {
  if (!gOffice11Resources) return nullptr;
  return (AExpanded ? gOffice11Resources->ExpandMinus : gOffice11Resources->ExpandPlus).get();
}

void RecolorOffice11Bitmap(TBitmap& ABitmap) {
  if (ABitmap.Empty()) return;
  TCanvas& canvas = ABitmap.Canvas();
  const COLORREF background = canvas.Pixel(0, 0);
  const TColor first = Office11SchemeColor(1);
  TColor second = Office11SchemeColor(2);
  if (ColorToRGB(first) == ColorToRGB(second)) second = ColorToRGB(first) == 0 ? clWhite : clBlack;
  const auto shaded = [&](COLORREF c) { return c != background && c != 0; };
  int smallest = 255, largest = 1;
  for (int y = 0; y < ABitmap.Height(); ++y)
    for (int x = 0; x < ABitmap.Width(); ++x)
      if (const COLORREF c = canvas.Pixel(x, y); shaded(c)) {
        smallest = std::min(smallest, Red(c));
        largest = std::max(largest, Red(c));
      }
  // One red value throughout: every such pixel takes the second colour.
  const int range = largest - smallest;
  for (int y = 0; y < ABitmap.Height(); ++y)
    for (int x = 0; x < ABitmap.Width(); ++x)
      if (const COLORREF c = canvas.Pixel(x, y); shaded(c)) {
        const int percent = range > 0 ? MulDiv(Red(c) - smallest, 100, range) : 0;
        canvas.SetPixel(x, y, BlendColorsByPercent(first, second, percent));
      }
}

void dxOffice11UnitStart() {
  gOffice11MsImg32 = LoadLibraryW(L"msimg32.dll");
  gGradientFill =
      gOffice11MsImg32 ? reinterpret_cast<GradientFillProc>(reinterpret_cast<void*>(GetProcAddress(gOffice11MsImg32, "GradientFill")))
               : nullptr;
  gGradientFillUsed = true;
  gCalculated = false;
}

void dxOffice11UnitStop() {
  gOffice11Resources.reset();
  gOffice11ColorsRefCount = 0;
  gGradientFill = nullptr;
  if (gOffice11MsImg32) FreeLibrary(gOffice11MsImg32);
  gOffice11MsImg32 = nullptr;
  gCalculated = false;
}

}  // namespace tvk
