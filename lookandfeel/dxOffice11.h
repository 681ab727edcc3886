#pragma once
// The Office 2003 colour scheme: one of three schemes (blue, olive, silver)
// chosen from the current visual style, or the same 49 colours derived from the
// system colours; colour mixing, gradients and grip dots for the Office11 look.
#include "Graphics.h"

namespace tvk {

// 0 none (classic), 1 blue, 2 olive, 3 silver.
int GetOffice11ColorScheme();
bool IsOffice11Themed();
// Recomputes the scheme and the colours.
void CalculateOffice11Colors();
// The users of the colours: the first computes them and makes the brushes
// and bitmaps, the last frees those. Refreshing recomputes the colours and,
// while there are users, remakes the brushes and bitmaps.
void AddOffice11ColorsRef();
void ReleaseOffice11ColorsRef();
void RefreshOffice11Colors();
int Office11ColorsRefCount();
// The solid brush of scheme colour K (13, 14, 15, 16, 19, 20, 21, 22, 27, 28,
// 29 or 30) or of Office11BlendColors[3]; null for another colour or while
// nothing uses the colours.
HBRUSH Office11SchemeBrush(int K);
HBRUSH Office11BlendBrush();
// The module's bitmaps that go with the colours (null while unused): the
// submenu arrow recoloured with the scheme, and the two expand buttons.
TBitmap* Office11SubMenuExpandBitmap();
TBitmap* Office11ExpandButtonBitmap(bool AExpanded);
// The two fixed colours set with the bitmaps.
inline constexpr TColor kOffice11ExpandButtonColor1 = TColor(0xBFAE9E), kOffice11ExpandButtonColor2 = TColor(0x5F462E);
// Shades the pixels that are neither the background (the pixel at (0, 0))
// nor black from colour 1 to colour 2 by their red value.
void RecolorOffice11Bitmap(TBitmap& ABitmap);
// The scheme colour K (1..49), red in the low byte.
TColor Office11SchemeColor(int K);
// Office11BlendColors[0..5].
TColor Office11BlendColor(int AIndex);
int Office11GradientMidPercent();
// The scheme of a visual style: its file name, colour name and the system's major version.
int DetectOffice11Scheme(const WideString& AFileName, const WideString& AColorName, int AMajorVersion);

// Per channel MulDiv(B, 100 - P, 100) + MulDiv(A, P, 100), capped at 255, then the nearest screen colour.
TColor BlendColorsByPercent(TColor AColor1, TColor AColor2, int APercent);
TColor ScaleColorByPercent(TColor AColor, int APercent);
TColor GetLightColor(int ABtnFacePercent, int AHighlightPercent, int AWindowPercent);
TColor GetNearestScreenColor(TColor AColor);
TColor GetNavPaneGroupCaptionColor(bool AStart);

void FillRectByColor(HDC DC, const RECT& R, TColor AColor);
// A one-pixel frame of the colour.
void FrameRectByColor(HDC DC, const RECT& R, TColor AColor);
// The button face is black.
bool IsBlackButtonFace();
// A black button face with button text that is not white.
bool IsBlackFaceScheme();
// The Office frame: the highlight text colour on a black face, else colour 22.
void FrameOffice11Rect(HDC DC, const RECT& R);
// With "GradientFill" when bound, else in bands of at most 256.
void FillGradientRect(HDC DC, const RECT& R, TColor AColor1, TColor AColor2, bool AHorizontal);
void FillGradientByBands(HDC DC, const RECT& R, TColor AColor1, TColor AColor2, bool AHorizontal);
// The two-part Office gradient through the scheme's middle colour.
void FillOffice11Gradient(HDC DC, const RECT& R, TColor AColor1, TColor AColor2, bool AHorizontal);
// Dots in 4-pixel cells along R (null brushes: those of colours 13 and 14).
void DrawOffice11Dots(HDC DC, const RECT& R, bool AVertical, HBRUSH ADarkBrush, HBRUSH ALightBrush);
// Three rows of 3, 2 and 1 dots in R's bottom-right corner (clDefault: the default brush).
void DrawOffice11SizeGrip(HDC DC, const RECT& R, TColor AColor1 = clDefault, TColor AColor2 = clDefault);
// Whether "GradientFill" is bound; tests may unbind it to get the bands.
bool IsGradientFillBound();
void SetGradientFillBound(bool AValue);

// "msimg32.dll" loaded by name and "GradientFill" bound; the colours computed.
void dxOffice11UnitStart();
void dxOffice11UnitStop();

}  // namespace tvk
