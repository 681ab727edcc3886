#pragma once
// Filters on the pixels of 32-bit bitmaps, in place: softening, blur, noise,
// brushed shading, grey levels, a soft colour key, premultiplied alpha, the
// disabled look, and the silhouette of a picture.
#include "AlphaImage.h"
#include "Graphics.h"

#include <memory>

namespace tvk {

// A filter's precondition failed (a bitmap that is not 32-bit): an error of
// the caller, raised, never an abort of the host.
class EAssertionFailed : public Exception {
public:
  EAssertionFailed() : Exception(L"Assertion failure") {}
};

// Softens the inside of the rectangle (its outermost rows and columns stay):
// each pixel moves towards its 3 x 3 average by at most Threshold per channel.
void SmoothBitmapRect(TBitmap& bitmap, int left, int top, int right, int bottom, int threshold);
// Separable Gaussian blur of all four channels; nothing for Radius <= 0.
void GaussianBlur(TBitmap& bitmap, double radius);
// Lightens each pixel of the rectangle (right and bottom edges excluded) by
// Random(Amount); its alpha byte becomes 0.
void AddNoise(TBitmap& bitmap, int left, int top, int right, int bottom, int amount);
// A random walk of brightness along the rows (a brushed look); alpha bytes become 0.
void RandomShadeFilter(TBitmap& bitmap, int maxSteps, int averageRun, double step);
void GrayscaleBitmap(TBitmap& bitmap);
// Alpha from the distance to Color: Color itself becomes fully transparent;
// the result is premultiplied.
void AlphaFromColorDistance(TBitmap& bitmap, TColor color);
void PremultiplyAlpha(TAlphaBitmap& graphic);
// Grey and lightened; each pixel's word is read as a colour, so callers pass
// bitmaps whose alpha bytes are 0.
void DisabledGrayBitmap(TBitmap& bitmap);
void ClipRectToBitmap(TBitmap& bitmap, int& left, int& top, int& right, int& bottom);
// The picture's silhouette in Color: 32-bit, alpha from the picture.
std::unique_ptr<TBitmap> CreateShadowBitmap(TGraphic& graphic, TColor color);

}  // namespace tvk
