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
