#pragma once
// GDI+ without importing it: "gdiplus.dll" is loaded by name on first demand,
// every flat entry point looked up by name (all of them or GDI+ counts as
// missing), started with its background thread suppressed, and stopped at
// the unit's shut-down. Also the error type, the ARGB conversion, bitmap
// creation and the encoder lookup.
#include "Graphics.h"
#include "dxCore.h"

#include <cstdint>
#include <string>

namespace tvk {

#define TVK_GDIPLUS_ENTRIES(X)                                                                                      \
  X(GdipAlloc) X(GdipFree) X(GdiplusStartup) X(GdiplusShutdown) X(GdipCloneBrush) X(GdipDeleteBrush)              \
  X(GdipGetBrushType) X(GdipCreateSolidFill) X(GdipSetSolidFillColor) X(GdipGetSolidFillColor)                    \
  X(GdipCreateLineBrushFromRectI) X(GdipGetLineRectI) X(GdipSetLineColors) X(GdipGetLineColors)                   \
  X(GdipSetLineWrapMode) X(GdipGetLineWrapMode) X(GdipCreateHatchBrush) X(GdipGetHatchStyle)                      \
  X(GdipGetHatchForegroundColor) X(GdipGetHatchBackgroundColor) X(GdipCreatePen1) X(GdipCreatePen2)               \
  X(GdipClonePen) X(GdipDeletePen) X(GdipGetPenFillType) X(GdipSetPenBrushFill) X(GdipGetPenBrushFill)            \
  X(GdipSetPenColor) X(GdipGetPenColor) X(GdipSetPenMode) X(GdipGetPenMode) X(GdipSetPenWidth) X(GdipGetPenWidth) \
  X(GdipGetPenDashStyle) X(GdipSetPenDashStyle) X(GdipCreateFromHDC) X(GdipDeleteGraphics) X(GdipGetDC)           \
  X(GdipReleaseDC) X(GdipGraphicsClear) X(GdipDrawLineI) X(GdipDrawLinesI) X(GdipFillRectangleI) X(GdipDrawArcI)  \
  X(GdipDrawBezierI) X(GdipDrawRectangleI) X(GdipDrawEllipseI) X(GdipDrawPieI) X(GdipDrawPolygonI)               \
  X(GdipDrawCurve2I) X(GdipDrawClosedCurve2I) X(GdipFillPolygonI) X(GdipFillEllipseI) X(GdipFillPieI)             \
  X(GdipFillClosedCurveI) X(GdipLoadImageFromStream) X(GdipCreateBitmapFromFile) X(GdipCreateBitmapFromStream)    \
  X(GdipCreateBitmapFromStreamICM) X(GdipCreateHBITMAPFromBitmap) X(GdipLoadImageFromFile)                        \
  X(GdipGetImageDimension) X(GdipDrawImageRectI) X(GdipDisposeImage) X(GdipGetImageEncodersSize)                  \
  X(GdipGetImageEncoders) X(GdipSaveImageToStream) X(GdipCreateBitmapFromHBITMAP) X(GdipIsVisibleRect)            \
  X(GdipIsVisibleRectI) X(GdipGetEncoderParameterListSize) X(GdipGetEncoderParameterList)                        \
  X(GdipCreateBitmapFromGdiDib) X(GdipCreateBitmapFromScan0) X(GdipBitmapLockBits) X(GdipBitmapUnlockBits)        \
  X(GdipDrawImageRectRectI) X(GdipDrawImageRectRect) X(GdipDrawImagePointRect) X(GdipCloneImage)                  \
  X(GdipCreateTexture2I) X(GdipCreateImageAttributes) X(GdipDisposeImageAttributes)                               \
  X(GdipSetImageAttributesColorMatrix) X(GdipAddPathArc) X(GdipAddPathLine) X(GdipClosePathFigure)                \
  X(GdipCreatePath) X(GdipDeletePath) X(GdipDrawPath) X(GdipFillPath) X(GdipStartPathFigure)                      \
  X(GdipSetInterpolationMode) X(GdipGetInterpolationMode) X(GdipCreateCachedBitmap) X(GdipDeleteCachedBitmap)     \
  X(GdipDrawCachedBitmap) X(GdipCreateBitmapFromGraphics) X(GdipGetImageGraphicsContext) X(GdipGetImageWidth)     \
  X(GdipGetImageHeight) X(GdipSetCompositingMode) X(GdipGetCompositingMode) X(GdipSetCompositingQuality)          \
  X(GdipGetCompositingQuality) X(GdipSetSmoothingMode) X(GdipGetSmoothingMode) X(GdipCloneBitmapAreaI)            \
  X(GdipGetImageRawFormat)

enum TGdipEntry : int {
#define TVK_GDIP_ENUM(name) gp##name,
  TVK_GDIPLUS_ENTRIES(TVK_GDIP_ENUM)
#undef TVK_GDIP_ENUM
  gpEntryCount
};

// The GDI+ status codes, in order.
enum TdxGpStatus : int {
  Ok, GenericError, InvalidParameter, OutOfMemory, ObjectBusy, InsufficientBuffer, NotImplemented, Win32Error,
  WrongState, Aborted, FileNotFound, ValueOverflow, AccessDenied, UnknownImageFormat, FontFamilyNotFound,
  FontStyleNotFound, NotTrueTypeFont, UnsupportedGdiplusVersion, GdiplusNotInitialized, PropertyNotFound,
  PropertyNotSupported
};

// A failed GDI+ call: "Invalid operation in GDI+ (Code: N)".
class EdxGdipException : public EdxException {
public:
  explicit EdxGdipException(TdxGpStatus AStatus);
  TdxGpStatus Status() const { return FStatus; }

private:
  TdxGpStatus FStatus;
};

// The resolved entry points (null: not resolved).
struct TGdiPlusEntries {
  FARPROC Entry[gpEntryCount] = {};
};
const TGdiPlusEntries& GdiPlusEntries();
const char* GdiPlusEntryName(TGdipEntry AEntry);
// The entry of the system's declaration, typed by the caller.
template <class F>
F GdipEntry(TGdipEntry AEntry) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GdiPlusEntries().Entry[AEntry]));
}

// How an entry is looked up (GetProcAddress); replaceable so that an
// incomplete library can be tried.
using TGdipEntryLookup = FARPROC (*)(HMODULE AModule, const char* AName);
extern TGdipEntryLookup GdipEntryLookup;
// What a missing GDI+ shows when the caller asks, and how it then stops the
// process (a message box and the process's exit, replaceable).
using TGdipMissingMessage = void (*)(const WideString& AText, const WideString& ACaption, UINT AFlags);
using TGdipHalt = void (*)();
extern TGdipMissingMessage GdipMissingMessage;
extern TGdipHalt GdipHalt;

// Loads and starts GDI+ when it is not (again on every call while that fails).
// Missing, and AShowMessageWhenMissing: the message, then the halt.
bool CheckGdiPlusAvailable(bool AShowMessageWhenMissing = false);
// Stops GDI+ and frees the library when it was loaded.
void ShutdownGdiPlus();
// The first entry that could not be resolved at the last load (empty when none).
const std::string& GdiPlusMissingEntry();

void CheckGdipStatus(TdxGpStatus AStatus);
void CheckGdipCondition(bool ACondition);
// 0 for clNone, else the colour as an RGB quad with AAlpha on top.
uint32_t ColorToGdipARGB(TColor AColor, uint8_t AAlpha = 255);
// A 32-bit premultiplied ARGB GDI+ bitmap (its handle); raises on failure.
void* CreateGdipBitmap(int AWidth, int AHeight);
void* CreateGdipBitmap(const RECT& ARect);
// The class identifier of the encoder of a MIME type (case-insensitive).
TdxGpStatus FindImageEncoder(const WideString& AMimeType, CLSID& AClsid);
// Looks up only when AClsid is empty; raises on failure.
void EnsureImageEncoder(const WideString& AMimeType, CLSID& AClsid);
// bmp, png, jpeg, tiff, gif.
void InitImageEncoders();
extern CLSID BMPEncoder, PNGEncoder, JPEGEncoder, TIFFEncoder, GIFEncoder;

// Hands GdiPlusUnitStart / GdiPlusUnitStop to the units loader (queued, not run).
void dxGDIPlusAPIUnitStart();
// Removes the stop procedure from the loader, which runs it.
void dxGDIPlusAPIUnitStop();

}  // namespace tvk
