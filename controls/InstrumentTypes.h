#pragma once
// What the instrument widgets share: their enumerations, the four small
// interfaces through which a front plate talks to the widgets on it, the
// colour schemes, the rendering of display windows and push-button faces,
// the ancestor lookups; and general drawing helpers of the extended
// controls (counted GDI+ start-up, screen animations, the design-time
// frame, grip dots, hatch fills).
#include "Controls.h"

#include <cstdint>
#include <functional>

namespace tvk {

enum class TDisplayStyle { dsWhite, dsGray, dsCream, dsRed, dsOrange, dsLilac, dsBlue, dsGreen, dsPaleGreen, dsBronze, dsRedLed };
enum class TInstrumentPanelStyle {
  ipsMidGray, ipsLightGray, ipsDarkGray, ipsDarkRed, ipsOliveGreen, ipsBlueGreen, ipsBronze,
  ipsBlueGray, ipsGreen, ipsBlue, ipsGrayLilac, ipsGrayOrange, ipsGrayBlue
};
enum class TInstrumentCheckStyle {
  icsMixed, icsRed, icsGreen, icsButton, icsRectAmber, icsRectBlue, icsRectGreen, icsRectPurple,
  icsRectRed, icsRectYellow, icsAmber, icsBlue, icsPurple, icsYellow, icsWhite
};
constexpr int kInstrumentPanelStyleCount = 13;

// The names the values are streamed by in forms.
const wchar_t* DisplayStyleName(TDisplayStyle style);
const wchar_t* InstrumentPanelStyleName(TInstrumentPanelStyle style);
const wchar_t* InstrumentCheckStyleName(TInstrumentCheckStyle style);
// By name; false when the name is none of the type's.
bool DisplayStyleFromName(std::wstring_view name, TDisplayStyle& style);
bool InstrumentPanelStyleFromName(std::wstring_view name, TInstrumentPanelStyle& style);
bool InstrumentCheckStyleFromName(std::wstring_view name, TInstrumentCheckStyle& style);

class TCustomInstrumentBackgroundPanel;
class TCustomInstrumentPanel;

// The widget interfaces. A widget answers them without lifetime control:
// its AddRef and Release count nothing, the component's owner frees it.
struct IInstrumentPrePaint : IUnknown {
  static constexpr GUID Iid{0xC9A1D2C0, 0x7292, 0x4454, {0xB9, 0x12, 0x7D, 0xEA, 0x14, 0xE0, 0x2D, 0xC5}};
  // Draws the widget into the plate's picture before texture and grooves.
  virtual void PaintToBackground(TCustomInstrumentBackgroundPanel* plate) = 0;
};
struct IInstrumentPostPaint : IUnknown {
  static constexpr GUID Iid{0x14304C1D, 0x33C3, 0x4B90, {0xAE, 0x64, 0x2F, 0x5B, 0xAD, 0x37, 0x00, 0x91}};
  // Draws the widget into the plate's picture after texture and grooves.
  virtual void PaintToBackground(TCustomInstrumentBackgroundPanel* plate) = 0;
};
struct IInstrumentStyleClient : IUnknown {
  static constexpr GUID Iid{0xCEE6EA34, 0xBFDF, 0x4481, {0x94, 0x01, 0xDD, 0x58, 0x08, 0x28, 0x1A, 0x99}};
  virtual void PanelStyleChanged(TInstrumentPanelStyle style) = 0;
};
struct IInstrumentDisplayClient : IUnknown {
  static constexpr GUID Iid{0x715EBD12, 0x8230, 0x4B1E, {0x8D, 0xCB, 0x94, 0x1B, 0xC4, 0x24, 0x6E, 0xEF}};
  virtual void DisplayStyleChanged(TDisplayStyle style) = 0;
};

// Answers the interfaces I... of Self (GetInterface of a widget).
template <class... I, class T>
bool AnswerInterfaces(T* self, const GUID& iid, void** obj) {
  return ((IsEqualGUID(iid, I::Iid) ? (*obj = static_cast<I*>(self), true) : false) || ...);
}

// IUnknown of a widget: the query goes through GetInterface, nothing is counted.
#define TVK_UNCOUNTED_IUNKNOWN()                                                        \
  HRESULT STDMETHODCALLTYPE QueryInterface(const GUID& iid, void** obj) override {           \
    return GetInterface(iid, obj) ? S_OK : E_NOINTERFACE;                                \
  }                                                                                     \
  ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(-1); }                       \
  ULONG STDMETHODCALLTYPE Release() override { return ULONG(-1); }

// ---- Colour schemes

TColor InstrumentStyleColor(TInstrumentPanelStyle style);
TColor InstrumentButtonColor(TInstrumentPanelStyle style);
TDisplayStyle DisplayStyleForPanelStyle(TInstrumentPanelStyle style);
TColor InstrumentLabelColor(TDisplayStyle style);
TColor InstrumentDisplayColor(TDisplayStyle style, bool lit);

// ---- Display windows and button faces

// A recessed display window into Rect of a 32-bit bitmap: shaded background
// with noise, then the bevel; the lines outside Rect only when not Inner.
void DrawInstrumentDisplay(TBitmap& bitmap, const RECT& rect, bool lit, TDisplayStyle style, bool inner);
// Four abutting gradients C0..C4 (Color scaled by F0..F4) cut at P1..P3 of the extent.
void DrawGradientBands(TCanvas& canvas, const RECT& rect, TColor color, double f0, double f1, double f2, double f3,
                       double f4, double p1, double p2, double p3, bool horizontal);

// Face flags and caption modes.
enum TInstrumentFaceFlag : std::uint8_t { iffPressed = 1, iffLit = 2, iffDisabled = 4, iffNoise = 8, iffHorizontal = 16 };
enum TInstrumentTextMode : std::uint8_t { itmNone = 0, itmAuto = 1, itmFont = 2, itmGlow = 3 };
void DrawInstrumentButtonFace(TBitmap& bitmap, TColor color, TColor frameColor, const RECT& rect,
                              const WideString& caption, TFont& font, TColor textColor, std::uint8_t flags,
                              std::uint8_t textMode, std::uint8_t glowLevel);

// ---- Ancestor lookups

TCustomInstrumentPanel* FindInstrumentPanel(TControl* control);
// With ThroughPanels false the walk stops (null) at a display panel.
TCustomInstrumentBackgroundPanel* FindInstrumentBackgroundPanel(TControl* control, bool throughPanels);
// The plate rebuilds its picture: something baked into it changed.
void InvalidateInstrumentBackground(TControl* control);

// ---- GDI+ by count

// The flat API, bound by name from gdiplus.dll; null members when missing.
struct TGdiPlusApi {
  using GpStatus = int;
  GpStatus(WINAPI* CreateFromHDC)(HDC, void**) = nullptr;
  GpStatus(WINAPI* DeleteGraphics)(void*) = nullptr;
  GpStatus(WINAPI* SetSmoothingMode)(void*, int) = nullptr;
  GpStatus(WINAPI* CreatePath)(int, void**) = nullptr;
  GpStatus(WINAPI* DeletePath)(void*) = nullptr;
  GpStatus(WINAPI* AddPathArcI)(void*, int, int, int, int, float, float) = nullptr;
  GpStatus(WINAPI* AddPathLineI)(void*, int, int, int, int) = nullptr;
  GpStatus(WINAPI* ClosePathFigure)(void*) = nullptr;
  GpStatus(WINAPI* CreatePen1)(std::uint32_t, float, int, void**) = nullptr;
  GpStatus(WINAPI* DeletePen)(void*) = nullptr;
  GpStatus(WINAPI* DrawPath)(void*, void*, void*) = nullptr;
  bool Complete() const;
};
// The bound API (loaded at the first call), or null without gdiplus.dll.
const TGdiPlusApi* GdiPlus();
// Starts GDI+ at the first reference; the count rises even when start-up
// failed, so every user checks each call's status.
void GdiPlusAddRef();
void GdiPlusRelease();
int GdiPlusUseCount();
bool GdiPlusRunning();
// The pair as a scope.
class TGdiPlusUse {
public:
  TGdiPlusUse() { GdiPlusAddRef(); }
  ~TGdiPlusUse() { GdiPlusRelease(); }
  TGdiPlusUse(const TGdiPlusUse&) = delete;
  TGdiPlusUse& operator=(const TGdiPlusUse&) = delete;
};

// ---- Screen animations and helpers

// Called with each frame's number while the frame is on the screen (a test
// seam: it sees what the animations draw, which they leave no trace of).
using TAnimationFrameHook = std::function<void(int frame)>;
void SetAnimationFrameHook(TAnimationFrameHook hook);
// Where the animations draw in place of the screen (null: the screen again),
// in screen coordinates; a test reads back what the system's screen may not give.
void SetAnimationScreen(HDC dc);
// The system's sliding of a window (AnimateWindow), replaceable so a test can
// follow a slide the system may show without frames.
using TWindowSlider = std::function<bool(HWND window, DWORD durationMs, DWORD flags)>;
bool SlideWindow(HWND window, DWORD durationMs, DWORD flags);
void SetWindowSlider(TWindowSlider slider);  // null: the system's again
// A zooming XOR focus rectangle on the screen; two passes, the second erases the first.
void AnimateFocusRects(const RECT& fromRect, const RECT& toRect, int steps, int delayMs);
// A fading, moving, stretching image of Control (or of Image) on the screen,
// which is left as it was.
void AnimateSlide(TWinControl& control, bool fadeOut, const RECT& fromRect, const RECT& toRect, int steps,
                  int delayMs);
void AnimateSlideBitmap(TBitmap& image, bool fadeOut, const RECT& fromRect, const RECT& toRect, int steps,
                        int delayMs);
// The dashed frame that marks an otherwise invisible control in the designer.
void DrawDesignFrame(TControl& control);
// A centred row (or column) of Count embossed grip dots.
void DrawGripDots(TCanvas& canvas, int width, int height, bool vertical, int count);
// A transparent hatch over Rect (nothing for solid and clear brushes).
void FillHatch(HDC dc, const RECT& rect, TBrushStyle style, TColor color);

// Ends a GDI+ still running.
void InstrumentTypesShutdown();

}  // namespace tvk
