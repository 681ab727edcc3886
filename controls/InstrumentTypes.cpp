#include "InstrumentTypes.h"

#include "ControlSteps.h"
#include "InstrumentChecks.h"
#include "InstrumentLabels.h"
#include "InstrumentPanels.h"
#include "XPExtCtrls.h"
#include "XPPageControl.h"
#include "Maths.h"
#include "XPBitmapUtils.h"
#include "XPColors.h"
#include "XPGraphics.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace tvk {

namespace {

// Enumeration names in declaration order.
constexpr std::array<const wchar_t*, 11> kDisplayNames = {
    L"dsWhite", L"dsGray", L"dsCream", L"dsRed", L"dsOrange", L"dsLilac",
    L"dsBlue", L"dsGreen", L"dsPaleGreen", L"dsBronze", L"dsRedLed"};
constexpr std::array<const wchar_t*, 13> kPanelNames = {
    L"ipsMidGray", L"ipsLightGray", L"ipsDarkGray", L"ipsDarkRed", L"ipsOliveGreen", L"ipsBlueGreen", L"ipsBronze",
    L"ipsBlueGray", L"ipsGreen", L"ipsBlue", L"ipsGrayLilac", L"ipsGrayOrange", L"ipsGrayBlue"};
constexpr std::array<const wchar_t*, 15> kCheckNames = {
    L"icsMixed", L"icsRed", L"icsGreen", L"icsButton", L"icsRectAmber", L"icsRectBlue", L"icsRectGreen",
    L"icsRectPurple", L"icsRectRed", L"icsRectYellow", L"icsAmber", L"icsBlue", L"icsPurple", L"icsYellow",
    L"icsWhite"};

template <class E, std::size_t N>
const wchar_t* NameOf(const std::array<const wchar_t*, N>& names, E value) {
  auto i = std::size_t(value);
  return i < N ? names[i] : L"";
}

template <class E, std::size_t N>
bool ValueOf(const std::array<const wchar_t*, N>& names, std::wstring_view name, E& value) {
  for (std::size_t i = 0; i < N; ++i)
    if (name == names[i]) {
      value = E(i);
      return true;
    }
  return false;
}

constexpr TColor kBaseColor = 0xA59B9B;

// Channel factors (red, green, blue) and the overall factor of a scheme.
struct TSchemeFactors {
  double R, G, B, Overall;
};
constexpr std::array<TSchemeFactors, 13> kPlateFactors = {{
    {1, 1, 1, 1},               // ipsMidGray
    {1.6, 1.65, 1.5, 0.7},      // ipsLightGray
    {1, 1, 1, 0.8},             // ipsDarkGray
    {1, 0.25, 0.25, 1},         // ipsDarkRed
    {1, 1.2, 0.8, 0.75},        // ipsOliveGreen
    {0.6, 0.87, 0.82, 0.8},     // ipsBlueGreen
    {1.2, 1, 0.8, 0.8},         // ipsBronze
    {0.85, 0.9, 1.05, 0.8},     // ipsBlueGray
    {0.75, 1.18, 0.65, 0.75},   // ipsGreen
    {0, 0.8, 1.2, 1},           // ipsBlue
    {1.6, 1.65, 1.5, 0.75},     // ipsGrayLilac
    {1.6, 1.65, 1.5, 0.75},     // ipsGrayOrange
    {1.6, 1.65, 1.5, 0.75},     // ipsGrayBlue
}};
constexpr std::array<TSchemeFactors, 13> kButtonFactors = {{
    {0.9, 0.9, 0.9, 1.05},      // ipsMidGray
    {1, 1.03, 0.95, 1.05},      // ipsLightGray
    {0.9, 0.9, 0.9, 1.05},      // ipsDarkGray
    {1.1, 0.7, 0.7, 1.05},      // ipsDarkRed
    {0.95, 1.05, 0.95, 1.05},   // ipsOliveGreen
    {0.9, 1.05, 1.05, 1.05},    // ipsBlueGreen
    {1.05, 0.9, 0.85, 1.05},    // ipsBronze
    {1, 1, 1.05, 1.05},         // ipsBlueGray
    {0.95, 1.1, 0.95, 1.05},    // ipsGreen
    {0.5, 0.8, 1.1, 1.05},      // ipsBlue
    {0.9, 0.9, 0.9, 1.05},      // ipsGrayLilac
    {0.9, 0.9, 0.9, 1.05},      // ipsGrayOrange
    {0.9, 0.9, 0.9, 1.05},      // ipsGrayBlue
}};

constexpr std::array<TDisplayStyle, 13> kDisplayForPanel = {
    TDisplayStyle::dsCream, TDisplayStyle::dsWhite, TDisplayStyle::dsGray,   TDisplayStyle::dsGray,
    TDisplayStyle::dsCream, TDisplayStyle::dsWhite, TDisplayStyle::dsCream,  TDisplayStyle::dsGray,
    TDisplayStyle::dsBronze, TDisplayStyle::dsWhite, TDisplayStyle::dsLilac, TDisplayStyle::dsOrange,
    TDisplayStyle::dsBlue};

// Per display style: label text colour and window background (not lit).
struct TDisplayColors {
  TColor Label, Background;
};
constexpr std::array<TDisplayColors, 11> kDisplayColors = {{
    {0x464646, 0xFFFFFF},  // dsWhite
    {0x3C3C3C, 0xDCDCDC},  // dsGray
    {0x5A3830, 0},         // dsCream: background computed
    {0x19193C, 0x6E6EFF},  // dsRed
    {0x142846, 0x46AAFF},  // dsOrange
    {0x321E32, 0xFFA0FF},  // dsLilac
    {0x503200, 0xFFC500},  // dsBlue
    {0x1E3214, 0x96B4A0},  // dsGreen
    {0x1E3214, 0xD2EBA0},  // dsPaleGreen
    {0x1E283C, 0xA0BEE6},  // dsBronze
    {0x0000FF, 0x323264},  // dsRedLed
}};

TColor Scheme(const TSchemeFactors& f, TColor base) {
  return ScaleColor(ScaleColorChannels(base, f.R, f.G, f.B), f.Overall);
}

// One pixel of a 32-bit row scaled in place; alpha stays.
void ScalePixel(std::uint8_t* p, double f) {
  for (int c = 0; c < 3; ++c) {
    auto v = Round((p[c] + 1) * f - 1);
    p[c] = std::uint8_t(std::clamp<std::int64_t>(v, 0, 255));
  }
}

// Row Y from X1 to X2 (inclusive) scaled by F, clipped to the bitmap.
void ScaleRow(TBitmap& bitmap, int y, int x1, int x2, double f) {
  if (y < 0 || y >= bitmap.Height()) return;
  x1 = std::max(x1, 0);
  x2 = std::min(x2, bitmap.Width() - 1);
  auto* row = static_cast<std::uint8_t*>(bitmap.ScanLine(y));
  for (int x = x1; x <= x2; ++x) ScalePixel(row + x * 4, f);
}

// Column X from Y1 to Y2 (inclusive) scaled by F, clipped to the bitmap.
void ScaleColumn(TBitmap& bitmap, int x, int y1, int y2, double f) {
  if (x < 0 || x >= bitmap.Width()) return;
  y1 = std::max(y1, 0);
  y2 = std::min(y2, bitmap.Height() - 1);
  for (int y = y1; y <= y2; ++y) ScalePixel(static_cast<std::uint8_t*>(bitmap.ScanLine(y)) + x * 4, f);
}

void DrawDisplayBackground(TBitmap& bitmap, RECT r, TDisplayStyle style, TColor color) {
  r.left = std::max<LONG>(r.left, 0);
  r.top = std::max<LONG>(r.top, 0);
  r.right = std::min<LONG>(r.right, bitmap.Width());
  r.bottom = std::min<LONG>(r.bottom, bitmap.Height());
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  if (style == TDisplayStyle::dsRedLed) {
    DrawGradientBands(bitmap.Canvas(), r, color, 0.5, 0.5, 0.7, 0.9, 1.3, 0.3, 0.6, 0.8, true);
    return;
  }
  COLORREF rgb = ColorToRGB(color);
  const int red = GetRValue(rgb), green = GetGValue(rgb), blue = GetBValue(rgb);
  for (int i = 0; i < h; ++i) {
    auto* row = static_cast<std::uint8_t*>(bitmap.ScanLine(r.top + i));
    for (int j = 0; j < w; ++j) {
      double f = ((1 - 0.3 * j / w) + (1 - 0.3 * double(i) / h)) / 2;
      auto scale = [f](int c) { return int(std::clamp<std::int64_t>(Round((c + 1) * f - 1), 0, 255)); };
      int light = Random(8);
      std::uint8_t* p = row + (r.left + j) * 4;
      p[0] = std::uint8_t(std::min(scale(blue) + light, 255));
      p[1] = std::uint8_t(std::min(scale(green) + light, 255));
      p[2] = std::uint8_t(std::min(scale(red) + light, 255));
      p[3] = 0;
    }
  }
}

void DrawDisplayBevel(TBitmap& bitmap, const RECT& r, TDisplayStyle style, bool inner) {
  const int L = r.left, T = r.top, R = r.right, B = r.bottom;
  if (R - L - 1 < 30 || B - T - 1 < 30) {
    for (int k = 0; k < 3; ++k) {
      double f = 1 - 0.03 * (3 - k);
      ScaleRow(bitmap, T + k, L + k, R, f);
      ScaleColumn(bitmap, L + k, T + k + 1, B - 1, f);
    }
    if (!inner) {
      double d = style == TDisplayStyle::dsRedLed ? 0.5 : 0.55;
      double l = style == TDisplayStyle::dsRedLed ? 1.2 : 0.6;
      ScaleRow(bitmap, T - 1, L - 1, R, d);
      ScaleRow(bitmap, B, L - 1, R, l);
      ScaleColumn(bitmap, L - 1, T, B - 1, d);
      ScaleColumn(bitmap, R, T, B - 1, l);
    }
    return;
  }
  for (int k = 0; k < 6; ++k) {
    double f = 1 - 0.03 * (6 - k);
    ScaleRow(bitmap, T + k + 1, L + k + 1, R - 1, f);
    ScaleColumn(bitmap, L + k + 1, T + k + 2, B - 1, f);
  }
  ScaleRow(bitmap, T, L, R - 1, 0.55);
  ScaleRow(bitmap, B - 1, L, R - 1, 0.6);
  ScaleColumn(bitmap, L, T + 1, B - 2, 0.55);
  ScaleColumn(bitmap, R - 1, T + 1, B - 2, 0.6);
  if (!inner) {
    ScaleRow(bitmap, T - 1, L - 1, R - 1, 0.45);
    ScaleColumn(bitmap, L - 1, T, B - 1, 0.45);
  }
}

}  // namespace

const wchar_t* DisplayStyleName(TDisplayStyle style) { return NameOf(kDisplayNames, style); }
const wchar_t* InstrumentPanelStyleName(TInstrumentPanelStyle style) { return NameOf(kPanelNames, style); }
const wchar_t* InstrumentCheckStyleName(TInstrumentCheckStyle style) { return NameOf(kCheckNames, style); }
bool DisplayStyleFromName(std::wstring_view name, TDisplayStyle& style) { return ValueOf(kDisplayNames, name, style); }
bool InstrumentPanelStyleFromName(std::wstring_view name, TInstrumentPanelStyle& style) {
  return ValueOf(kPanelNames, name, style);
}
bool InstrumentCheckStyleFromName(std::wstring_view name, TInstrumentCheckStyle& style) {
  return ValueOf(kCheckNames, name, style);
}

TColor InstrumentStyleColor(TInstrumentPanelStyle style) {
  auto i = std::size_t(style);
  return Scheme(kPlateFactors[i < kPlateFactors.size() ? i : 0], kBaseColor);
}

TColor InstrumentButtonColor(TInstrumentPanelStyle style) {
  auto i = std::size_t(style);
  if (i >= kButtonFactors.size()) return ScaleColor(kBaseColor, 1.05);
  return Scheme(kButtonFactors[i], kBaseColor);
}

TDisplayStyle DisplayStyleForPanelStyle(TInstrumentPanelStyle style) {
  auto i = std::size_t(style);
  return i < kDisplayForPanel.size() ? kDisplayForPanel[i] : TDisplayStyle::dsCream;
}

TColor InstrumentLabelColor(TDisplayStyle style) {
  auto i = std::size_t(style);
  return i < kDisplayColors.size() ? kDisplayColors[i].Label : 0x5A3830;
}

TColor InstrumentDisplayColor(TDisplayStyle style, bool lit) {
  if (style == TDisplayStyle::dsRedLed) return lit ? ScaleColor(0x323264, 1.3) : 0x323264;
  auto i = std::size_t(style);
  if (style == TDisplayStyle::dsCream || i >= kDisplayColors.size()) return ScaleColor(0xC9E4EB, 1.05);
  return kDisplayColors[i].Background;
}

void DrawInstrumentDisplay(TBitmap& bitmap, const RECT& rect, bool lit, TDisplayStyle style, bool inner) {
  TColor color = InstrumentDisplayColor(style, lit);
  DrawDisplayBackground(bitmap, rect, style, color);
  DrawDisplayBevel(bitmap, rect, style, inner);
}

void DrawGradientBands(TCanvas& canvas, const RECT& rect, TColor color, double f0, double f1, double f2, double f3,
                       double f4, double p1, double p2, double p3, bool horizontal) {
  const TColor c[5] = {ScaleColor(color, f0), ScaleColor(color, f1), ScaleColor(color, f2), ScaleColor(color, f3),
                       ScaleColor(color, f4)};
  const int start = horizontal ? rect.left : rect.top, end = horizontal ? rect.right : rect.bottom;
  const int extent = end - start;
  const int cut[5] = {start, start + int(Round(extent * p1)), start + int(Round(extent * p2)),
                      start + int(Round(extent * p3)), end};
  HDC dc = canvas.Handle();
  for (int band = 0; band < 4; ++band) {
    RECT r = horizontal ? RECT{cut[band], rect.top, cut[band + 1], rect.bottom}
                        : RECT{rect.left, cut[band], rect.right, cut[band + 1]};
    if (r.right > r.left && r.bottom > r.top) DrawGradientRect(dc, r, c[band], c[band + 1], horizontal);
  }
}

namespace {

TColor FaceTextColor(std::uint8_t flags, std::uint8_t textMode, TFont& font, TColor textColor) {
  const bool lit = flags & iffLit;
  if (flags & iffDisabled) return textMode == itmAuto && lit ? 0x625B66 : 0xAFAFAF;
  if (textMode == itmFont) return font.Color();
  if (textMode == itmGlow) return textColor;
  return lit ? 0x625B66 : 0xFFFFFF;
}

// The glow behind a caption: a blurred rounded patch blended onto the face.
void DrawCaptionGlow(TBitmap& bitmap, TColor color, const RECT& textRect, const WideString& caption, TFont& font,
                     TColor textColor, std::uint8_t glowLevel) {
  TBitmap work;
  work.SetPixelFormat(TPixelFormat::pf32bit);
  work.SetSize(bitmap.Width(), bitmap.Height());
  TCanvas& wc = work.Canvas();
  wc.Brush().SetColor(color);
  wc.FillRect(RECT{0, 0, work.Width(), work.Height()});
  POINT size{};
  MeasureXPCaption(wc, textRect, caption, font, dcfSmoothText | dcfNoPrefix, TEllipsisPosition::epNone, 100, size);
  int x = (textRect.left + textRect.right - size.x) / 2, y = (textRect.top + textRect.bottom - size.y) / 2;
  int widen = int(caption.size()) / 2;
  RECT glow{x - widen, y + 1, x + size.x + widen, y + size.y + 1};
  wc.Brush().SetColor(ScaleColor(textColor, 0.85));
  wc.Pen().SetStyle(TPenStyle::psClear);
  HDC wdc = wc.Handle();
  SelectObject(wdc, wc.Brush().Handle());
  SelectObject(wdc, wc.Pen().Handle());
  RoundRect(wdc, glow.left, glow.top, glow.right, glow.bottom, 2, 2);
  GaussianBlur(work, 4);
  AlphaFromColorDistance(work, color);
  AlphaBlitConst(bitmap.Canvas().Handle(), 0, 0, work.Width(), work.Height(), work.Canvas().Handle(), 0, 0,
                 std::uint8_t((glowLevel * 24 + 15) % 256), AC_SRC_ALPHA);
}

}  // namespace

void DrawInstrumentButtonFace(TBitmap& bitmap, TColor color, TColor frameColor, const RECT& rect,
                              const WideString& caption, TFont& font, TColor textColor, std::uint8_t flags,
                              std::uint8_t textMode, std::uint8_t glowLevel) {
  TCanvas& canvas = bitmap.Canvas();
  const bool pressed = flags & iffPressed, lit = flags & iffLit;
  canvas.Brush().SetColor(frameColor);
  canvas.FrameRect(rect);
  RECT inner = rect;
  InflateRect(&inner, -1, -1);
  TColor text = FaceTextColor(flags, textMode, font, textColor);
  if (pressed) {
    canvas.Brush().SetColor(frameColor);
    canvas.FillRect(rect);
    OffsetRect(&inner, 1, 1);
  }
  const bool horizontal = flags & iffHorizontal;
  if (lit)
    DrawGradientBands(canvas, inner, ScaleColor(0x7BFFFF, 1.2), 1.0, 0.95, 0.9, 0.75, 0.8, 0.25, 0.5, 0.8, horizontal);
  else
    DrawGradientBands(canvas, inner, ScaleColor(color, 1.1), 1.0, 0.8, 0.8, 0.7, 0.5, 0.1, 0.5, 0.95, horizontal);
  if (!caption.empty() && textMode != itmNone) {
    RECT textRect = rect;
    OffsetRect(&textRect, 1, 0);
    if (pressed) OffsetRect(&textRect, 1, 1);
    if (textMode == itmGlow) DrawCaptionGlow(bitmap, color, textRect, caption, font, text, glowLevel);
    DrawXPCaption(canvas, textRect, caption, font, text, TAlignment::taCenter, TTextLayout::tlCenter, dcfSmoothText,
                  TEllipsisPosition::epNone, 100);
  }
  if (pressed) {
    canvas.Brush().SetColor(ScaleColor(frameColor, 1.2));
    canvas.FrameRect(rect);
    canvas.Pen().SetStyle(TPenStyle::psSolid);
    canvas.Pen().SetColor(ScaleColor(frameColor, 1.3));
    canvas.MoveTo(rect.left, rect.bottom - 1);
    canvas.LineTo(rect.right - 1, rect.bottom - 1);
    canvas.LineTo(rect.right - 1, rect.top);
    canvas.Pen().SetColor(lit ? ScaleColor(0x7BFFFF, 0.7) : ScaleColor(frameColor, 1.1));
    canvas.MoveTo(rect.left + 1, rect.bottom - 2);
    canvas.LineTo(rect.right - 2, rect.bottom - 2);
    canvas.LineTo(rect.right - 2, rect.top);
  }
  if (flags & iffNoise)
    AddNoise(bitmap, rect.left, rect.top, rect.right, rect.bottom, (flags & iffHorizontal) ? 20 : 10);
}

// ---- Ancestor lookups

TCustomInstrumentPanel* FindInstrumentPanel(TControl* control) {
  for (TControl* c = control ? control->Parent() : nullptr; c; c = c->Parent())
    if (auto* p = dynamic_cast<TCustomInstrumentPanel*>(c)) return p;
  return nullptr;
}

TCustomInstrumentBackgroundPanel* FindInstrumentBackgroundPanel(TControl* control, bool throughPanels) {
  for (TControl* c = control ? control->Parent() : nullptr; c; c = c->Parent()) {
    if (auto* plate = dynamic_cast<TCustomInstrumentBackgroundPanel*>(c)) return plate;
    if (!throughPanels && dynamic_cast<TCustomInstrumentPanel*>(c)) return nullptr;
  }
  return nullptr;
}

void InvalidateInstrumentBackground(TControl* control) {
  if (!control || (control->ComponentState() & (csLoading | csReading))) return;
  if (auto* plate = FindInstrumentBackgroundPanel(control, false)) plate->UpdateBackgroundImage();
}

// ---- GDI+

namespace {

struct TGdiPlusState {
  HMODULE Library = nullptr;
  bool Bound = false;
  TGdiPlusApi Api;
  int(WINAPI* Startup)(ULONG_PTR*, const void*, void*) = nullptr;
  void(WINAPI* Shutdown)(ULONG_PTR) = nullptr;
  ULONG_PTR Token = 0;
  int UseCount = 0;
};
TGdiPlusState gGdiPlus;

struct TGdiplusStartupInput {
  UINT32 GdiplusVersion = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};

template <class F>
void Bind(HMODULE library, F& slot, const char* name) {
  slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

void BindGdiPlus() {
  if (gGdiPlus.Bound) return;
  gGdiPlus.Bound = true;
  gGdiPlus.Library = LoadLibraryW(L"gdiplus.dll");
  if (!gGdiPlus.Library) return;
  HMODULE l = gGdiPlus.Library;
  Bind(l, gGdiPlus.Startup, "GdiplusStartup");
  Bind(l, gGdiPlus.Shutdown, "GdiplusShutdown");
  TGdiPlusApi& a = gGdiPlus.Api;
  Bind(l, a.CreateFromHDC, "GdipCreateFromHDC");
  Bind(l, a.DeleteGraphics, "GdipDeleteGraphics");
  Bind(l, a.SetSmoothingMode, "GdipSetSmoothingMode");
  Bind(l, a.CreatePath, "GdipCreatePath");
  Bind(l, a.DeletePath, "GdipDeletePath");
  Bind(l, a.AddPathArcI, "GdipAddPathArcI");
  Bind(l, a.AddPathLineI, "GdipAddPathLineI");
  Bind(l, a.ClosePathFigure, "GdipClosePathFigure");
  Bind(l, a.CreatePen1, "GdipCreatePen1");
  Bind(l, a.DeletePen, "GdipDeletePen");
  Bind(l, a.DrawPath, "GdipDrawPath");
}

}  // namespace

bool TGdiPlusApi::Complete() const {
  return CreateFromHDC && DeleteGraphics && SetSmoothingMode && CreatePath && DeletePath && AddPathArcI &&
         AddPathLineI && ClosePathFigure && CreatePen1 && DeletePen && DrawPath;
}

const TGdiPlusApi* GdiPlus() {
  BindGdiPlus();
  return gGdiPlus.Library ? &gGdiPlus.Api : nullptr;
}

void GdiPlusAddRef() {
  if (gGdiPlus.UseCount == 0 && gGdiPlus.Token == 0) {
    BindGdiPlus();
    if (gGdiPlus.Startup) {
      TGdiplusStartupInput input;
      ULONG_PTR token = 0;
      if (gGdiPlus.Startup(&token, &input, nullptr) == 0) gGdiPlus.Token = token;
    }
  }
  ++gGdiPlus.UseCount;
}

void GdiPlusRelease() {
  if (gGdiPlus.UseCount <= 0) return;
  if (--gGdiPlus.UseCount == 0 && gGdiPlus.Token != 0) {
    if (gGdiPlus.Shutdown) gGdiPlus.Shutdown(gGdiPlus.Token);
    gGdiPlus.Token = 0;
  }
}

int GdiPlusUseCount() { return gGdiPlus.UseCount; }
bool GdiPlusRunning() { return gGdiPlus.Token != 0; }

// ---- Screen animations

namespace {

HDC gAnimationScreen = nullptr;

class TScreenDC {
public:
  TScreenDC() : FDC(gAnimationScreen ? gAnimationScreen : GetDC(nullptr)), FOwned(!gAnimationScreen) {}
  ~TScreenDC() {
    if (FOwned) ReleaseDC(nullptr, FDC);
  }
  TScreenDC(const TScreenDC&) = delete;
  TScreenDC& operator=(const TScreenDC&) = delete;
  HDC Handle() const { return FDC; }

private:
  HDC FDC;
  bool FOwned;
};

struct TRectF {
  double L, T, R, B;
  RECT Rounded() const { return RECT{int(Round(L)), int(Round(T)), int(Round(R)), int(Round(B))}; }
};

TAnimationFrameHook gAnimationFrameHook;

// Shows the frame just drawn for the animation's delay.
void HoldFrame(int frame, int delayMs) {
  GdiFlush();
  if (gAnimationFrameHook) gAnimationFrameHook(frame);
  Sleep(DWORD(std::max(delayMs, 0)));
}

}  // namespace

void SetAnimationFrameHook(TAnimationFrameHook hook) { gAnimationFrameHook = std::move(hook); }

void SetAnimationScreen(HDC dc) { gAnimationScreen = dc; }

namespace {
TWindowSlider gWindowSlider;
}  // namespace

bool SlideWindow(HWND window, DWORD durationMs, DWORD flags) {
  if (gWindowSlider) return gWindowSlider(window, durationMs, flags);
  return AnimateWindow(window, durationMs, flags) != FALSE;
}

void SetWindowSlider(TWindowSlider slider) { gWindowSlider = std::move(slider); }

void AnimateFocusRects(const RECT& fromRect, const RECT& toRect, int steps, int delayMs) {
  if (steps <= 0) return;
  TScreenDC screen;
  const double dl = double(toRect.left - fromRect.left) / steps, dt = double(toRect.top - fromRect.top) / steps,
               dr = double(toRect.right - fromRect.right) / steps,
               db = double(toRect.bottom - fromRect.bottom) / steps;
  // The second pass inverts the same rectangles back.
  for (int pass = 0; pass < 2; ++pass) {
    TRectF r{double(fromRect.left), double(fromRect.top), double(fromRect.right), double(fromRect.bottom)};
    for (int i = 0; i < steps; ++i) {
      RECT rr = r.Rounded();
      DrawFocusRect(screen.Handle(), &rr);
      HoldFrame(pass * steps + i, delayMs);
      r.L += dl;
      r.T += dt;
      r.R += dr;
      r.B += db;
    }
  }
}

void AnimateSlide(TWinControl& control, bool fadeOut, const RECT& fromRect, const RECT& toRect, int steps,
                  int delayMs) {
  TBitmap image;
  CaptureControlImage(control, image);
  AnimateSlideBitmap(image, fadeOut, fromRect, toRect, steps, delayMs);
}

void AnimateSlideBitmap(TBitmap& image, bool fadeOut, const RECT& fromRect, const RECT& toRect, int steps,
                        int delayMs) {
  if (steps <= 0 || image.Empty()) return;
  TScreenDC screen;
  TBitmap save;
  save.SetPixelFormat(TPixelFormat::pf32bit);
  const double dl = double(toRect.left - fromRect.left) / steps, dt = double(toRect.top - fromRect.top) / steps,
               dr = double(toRect.right - fromRect.right) / steps,
               db = double(toRect.bottom - fromRect.bottom) / steps;
  TRectF r{double(fromRect.left), double(fromRect.top), double(fromRect.right), double(fromRect.bottom)};
  HDC sdc = screen.Handle();
  for (int i = 0; i < steps; ++i) {
    RECT rr = r.Rounded();
    int w = std::max<int>(rr.right - rr.left, 1), h = std::max<int>(rr.bottom - rr.top, 1);
    save.SetSize(w, h);
    BitBlt(save.Canvas().Handle(), 0, 0, w, h, sdc, rr.left, rr.top, SRCCOPY);
    int a = int(Round((i * 255.0 + 255) / (steps + 1)));
    if (fadeOut) a = 255 - a;
    AlphaStretchBlitConst(sdc, rr.left, rr.top, w, h, image.Canvas().Handle(), 0, 0, image.Width(), image.Height(),
                          std::uint8_t(std::clamp(a, 0, 255)), 0);
    HoldFrame(i, delayMs);
    BitBlt(sdc, rr.left, rr.top, w, h, save.Canvas().Handle(), 0, 0, SRCCOPY);
    r.L += dl;
    r.T += dt;
    r.R += dr;
    r.B += db;
  }
}

void DrawDesignFrame(TControl& control) {
  if (!(control.ComponentState() & csDesigning)) return;
  TCanvas* canvas = nullptr;
  if (auto* c = dynamic_cast<TCustomControl*>(&control)) canvas = &c->Canvas();
  else if (auto* g = dynamic_cast<TGraphicControl*>(&control)) canvas = &g->Canvas();
  if (!canvas || !canvas->HandleAllocated()) return;
  canvas->Pen().SetColor(clBtnText);
  canvas->Pen().SetStyle(TPenStyle::psDash);
  canvas->Brush().SetStyle(TBrushStyle::bsClear);
  canvas->Rectangle(0, 0, control.ClientWidth(), control.ClientHeight());
}

void DrawGripDots(TCanvas& canvas, int width, int height, bool vertical, int count) {
  if (count <= 0) return;
  int x = vertical ? (width - 3) / 2 : (width - 4 * count) / 2;
  int y = vertical ? (height - 4 * count) / 2 : (height - 3) / 2;
  for (int i = 0; i < count; ++i) {
    canvas.SetPixel(x, y, 0x404020);
    canvas.SetPixel(x + 1, y, 0x404020);
    canvas.SetPixel(x, y + 1, 0x404020);
    canvas.SetPixel(x + 1, y + 1, 0x808060);
    canvas.SetPixel(x + 2, y + 1, clWhite);
    canvas.SetPixel(x + 1, y + 2, clWhite);
    canvas.SetPixel(x + 2, y + 2, clWhite);
    if (vertical) y += 4;
    else x += 4;
  }
}

void FillHatch(HDC dc, const RECT& rect, TBrushStyle style, TColor color) {
  if (style == TBrushStyle::bsSolid || style == TBrushStyle::bsClear) return;
  HBRUSH brush = CreateHatchBrush(int(style) - int(TBrushStyle::bsHorizontal), ColorToRGB(color));
  HPEN pen = CreatePen(PS_NULL, 0, 0);
  HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
  int oldMode = SetBkMode(dc, TRANSPARENT);
  Rectangle(dc, rect.left, rect.top, rect.right + 1, rect.bottom + 1);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

bool InstrumentWidgetsStartup() { return true; }

void InstrumentWidgetsShutdown() {
  InstrumentPanelsShutdown();
  InstrumentLabelsShutdown();
  InstrumentChecksShutdown();
  XPPageControlShutdown();
  XPExtCtrlsShutdown();
  InstrumentTypesShutdown();
}

void InstrumentTypesShutdown() {
  // A user that never released leaves GDI+ running: end it with the module.
  if (gGdiPlus.Token && gGdiPlus.Shutdown) gGdiPlus.Shutdown(gGdiPlus.Token);
  gGdiPlus.Token = 0;
  gGdiPlus.UseCount = 0;
}

}  // namespace tvk
