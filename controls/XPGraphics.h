#pragma once
// What every styled control draws with: gradients (through the system's
// GradientFill when msimg32.dll has it, else a built-in fallback), nine-grid
// skins, transparent and alpha blits, the global look mode, caption drawing
// and measuring, a parent's image behind a transparent control, and the
// glyph-and-caption layout of buttons.
#include "Controls.h"
#include "Panels.h"
#include "XPTypes.h"

namespace tvk {

// ---- Gradients

// The gradient implementation chosen at start-up: GradientFill when the
// system exports it, else the fallback.
class TImgLibManager {
public:
  using TDrawGradient = void (*)(HDC dc, const RECT& rect, TColor startColor, TColor endColor, bool horizontal);
  using TDrawBiGradient = void (*)(HDC dc, const RECT& rect, TColor lightColor, TColor darkColor, float coef11,
                                   float coef12, float coef21, float coef22);
  // Start colour at the left (horizontal) or top edge, end colour at the other.
  static TDrawGradient DrawGradient;
  // Blended from Light (0) to Dark (1) by one coefficient per corner:
  // 11 top-left, 12 top-right, 21 bottom-left, 22 bottom-right.
  static TDrawBiGradient DrawBiGradient;

  // The two implementations of each, callable directly.
  static void GradientFillGradient(HDC dc, const RECT& rect, TColor startColor, TColor endColor, bool horizontal);
  static void FallbackGradient(HDC dc, const RECT& rect, TColor startColor, TColor endColor, bool horizontal);
  static void GradientFillBiGradient(HDC dc, const RECT& rect, TColor lightColor, TColor darkColor, float coef11,
                                     float coef12, float coef21, float coef22);
  static void FallbackBiGradient(HDC dc, const RECT& rect, TColor lightColor, TColor darkColor, float coef11,
                                 float coef12, float coef21, float coef22);
  // Whether the GradientFill implementations are in use.
  static bool UsesGradientFill();
};

void DrawGradientRect(HDC dc, const RECT& rect, TColor startColor, TColor endColor, bool horizontal);

// ---- Skins and blits

// Nine-grid: Source is the part of Bitmap to draw, Inner its stretchable
// centre relative to Source's top-left. Corners are copied unscaled, edges
// stretched along, the centre both ways, to fill Dest; with Alpha through
// per-pixel alpha blending.
void DrawSkinBitmap(const RECT& dest, const RECT& inner, const RECT& source, HDC dc, HBITMAP bitmap, bool alpha);
// A block of Src into Dest without the pixels of TransparentColor.
void TransparentBlit(HDC destDC, int x, int y, int width, int height, HDC srcDC, int srcX, int srcY,
                     TColor transparentColor);
void StretchTransparentBlit(HDC destDC, int x, int y, int destWidth, int destHeight, HDC srcDC, int srcX, int srcY,
                            int srcWidth, int srcHeight, TColor transparentColor);
// AlphaBlend with AC_SRC_OVER: per-pixel alpha (constant 255), or a given
// constant alpha and format.
void AlphaBlit(HDC destDC, int x, int y, int width, int height, HDC srcDC, int srcX, int srcY);
void AlphaStretchBlit(HDC destDC, int x, int y, int destWidth, int destHeight, HDC srcDC, int srcX, int srcY,
                      int srcWidth, int srcHeight);
void AlphaBlitConst(HDC destDC, int x, int y, int width, int height, HDC srcDC, int srcX, int srcY,
                    std::uint8_t constantAlpha, std::uint8_t alphaFormat);
void AlphaStretchBlitConst(HDC destDC, int x, int y, int destWidth, int destHeight, HDC srcDC, int srcX, int srcY,
                           int srcWidth, int srcHeight, std::uint8_t constantAlpha, std::uint8_t alphaFormat);

// ---- Look mode

// Allows look mode 1 (nothing in the system turns it off).
inline constexpr bool EmulateXPLook = true;
// 2: the system's visual styles are active; 1: the emulated XP look (a
// Windows older than XP); 0: classic. Asked afresh at every call.
std::uint8_t GetThemeMode();

// ---- Graphics and parent background

bool IsGraphicEmpty(const TGraphic* graphic);
// The parent's colour, or the control's own without a parent.
TColor ParentOrOwnColor(TControl& control);
// Paints what Control's parent shows behind it into Dc (clipped to Rect when
// given): the parent's background and, for a windowed control, its painting.
void DrawParentBackground(TControl& control, HDC dc, const RECT* rect);
// Bitmap becomes a 32-bit picture of Control's client area, printed by the control itself.
void CaptureControlImage(TWinControl& control, TBitmap& bitmap);

// ---- Captions

// Through the smooth text renderer with dcfSmoothText, else plain GDI text.
// clDefault as colour takes the font's.
void DrawXPCaption(TCanvas& canvas, const RECT& rect, const WideString& text, TFont& font, TColor color,
                   TAlignment alignment, TTextLayout layout, TXPDrawCaptionFlags flags, TEllipsisPosition ellipsis,
                   int lineSpacing);
void DrawXPCaptionDC(HDC dc, const RECT& rect, const WideString& text, TFont& font, TColor color,
                     TAlignment alignment, TTextLayout layout, TXPDrawCaptionFlags flags, TEllipsisPosition ellipsis);
// The caption's width and height (swapped for vertical text).
void MeasureXPCaption(TCanvas& canvas, const RECT& rect, const WideString& text, TFont& font,
                      TXPDrawCaptionFlags flags, TEllipsisPosition ellipsis, int lineSpacing, POINT& size);

// Where a button's glyph and caption go: GlyphPos gets the glyph's
// top-left, TextBounds the caption's rectangle. Margin and Spacing -1 centre.
void CalcGlyphCaptionLayout(TCanvas& canvas, const RECT& client, TFont& font, const WideString& caption,
                            POINT glyphSize, TButtonLayout layout, int margin, int spacing,
                            TXPDrawCaptionFlags flags, POINT& glyphPos, RECT& textBounds);
// The same with the caption's size given.
void CalcGlyphCaptionLayoutSized(const RECT& client, POINT captionSize, POINT glyphSize, TButtonLayout layout,
                                 int margin, int spacing, POINT& glyphPos, RECT& textBounds);

// ---- Unit start-up

// Selects the gradient implementation (loads msimg32.dll for GradientFill).
bool XPGraphicsStartup();
void XPGraphicsShutdown();

}  // namespace tvk
