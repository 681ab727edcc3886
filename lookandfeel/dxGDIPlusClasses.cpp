#include "dxGDIPlusClasses.h"

#include "ClassRegistry.h"
#include "ComRef.h"
#include "Streams.h"

#include <objidl.h>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace tvk {

namespace gdip_classes {

// The flat API's types as this unit calls them.
using GpStatus = int;
struct GpPointI {
  INT X, Y;
};
constexpr int kUnitPixel = 2;
constexpr int kFillModeAlternate = 0, kFillModeWinding = 1;
constexpr int kColorAdjustTypeBitmap = 1;
constexpr INT kPixelFormat32bppPARGB = 0x000E200B;

// Calls entry `name` of the given signature with the arguments that follow and checks its status.
template <class... Params, class... Args>
void GpCall(TGdipEntry AEntry, Args... AArgs) {
  auto entry = GdipEntry<GpStatus(WINAPI*)(Params...)>(AEntry);
  CheckGdipCondition(entry != nullptr);
  CheckGdipStatus(TdxGpStatus(entry(AArgs...)));
}

TdxGPAlphaBlendAttributes* gAlphaBlendAttributes = nullptr;
TdxGPPaintCanvas* gSharedPaintCanvas = nullptr;

// The raw-format identifiers share all but their first part.
constexpr GUID kRawFormatBase = {0, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
enum : unsigned long {
  kRawMemoryBMP = 0xB96B3CAA, kRawBMP = 0xB96B3CAB, kRawEMF = 0xB96B3CAC, kRawWMF = 0xB96B3CAD, kRawJPEG = 0xB96B3CAE,
  kRawPNG = 0xB96B3CAF, kRawGIF = 0xB96B3CB0, kRawTIFF = 0xB96B3CB1, kRawIcon = 0xB96B3CB5
};

TdxImageDataFormat FormatOfRawGuid(const GUID& AGuid) {
  if (AGuid.Data2 != kRawFormatBase.Data2 || AGuid.Data3 != kRawFormatBase.Data3 ||
      std::memcmp(AGuid.Data4, kRawFormatBase.Data4, 8) != 0)
    return dxImageUnknown;
  switch (AGuid.Data1) {
    case kRawMemoryBMP: case kRawBMP: case kRawEMF: case kRawWMF: case kRawIcon: return dxImageBitmap;
    case kRawJPEG: return dxImageJpeg;
    case kRawPNG: return dxImagePng;
    case kRawTIFF: return dxImageTiff;
    case kRawGIF: return dxImageGif;
    default: return dxImageUnknown;
  }
}

// A solid brush of the colour with its alpha (null for clNone); deleted by the caller.
void* GpCreateSolidBrush(TColor AColor, uint8_t AAlpha) {
  if (AColor == clNone) return nullptr;
  void* brush = nullptr;
  GpCall<uint32_t, void**>(gpGdipCreateSolidFill, ColorToGdipARGB(AColor, AAlpha), &brush);
  return brush;
}

struct TGpBrushHolder {
  void* Handle;
  ~TGpBrushHolder() {
    if (Handle) GdipEntry<GpStatus(WINAPI*)(void*)>(gpGdipDeleteBrush)(Handle);
  }
};
struct TGpPenHolder {
  void* Handle;
  ~TGpPenHolder() {
    if (Handle) GdipEntry<GpStatus(WINAPI*)(void*)>(gpGdipDeletePen)(Handle);
  }
};
struct TGpPathHolder {
  void* Handle;
  ~TGpPathHolder() {
    if (Handle) GdipEntry<GpStatus(WINAPI*)(void*)>(gpGdipDeletePath)(Handle);
  }
};

std::vector<GpPointI> ToGpPointArray(std::span<const POINT> APoints) {
  std::vector<GpPointI> points;
  points.reserve(APoints.size());
  for (const POINT& p : APoints) points.push_back(GpPointI{p.x, p.y});
  return points;
}

void GpDisposeImage(void* AImage) {
  if (AImage) GdipEntry<GpStatus(WINAPI*)(void*)>(gpGdipDisposeImage)(AImage);
}

}  // namespace gdip_classes

using namespace gdip_classes;

TdxGPDashStyle GdipDashStyleOf(TPenStyle AStyle) {
  static constexpr TdxGPDashStyle kStyles[] = {gpdsSolid, gpdsDash, gpdsDot, gpdsDashDot, gpdsDashDotDot,
                                               gpdsCustom, gpdsCustom};
  return kStyles[int(AStyle)];
}

// ---- TdxGPCanvas

TdxGPCanvas::TdxGPCanvas(HDC DC) : FOwnsHandle(true) {
  CheckGdipCondition(CheckGdiPlusAvailable(false));
  GpCall<HDC, void**>(gpGdipCreateFromHDC, DC, &FHandle);
}

TdxGPCanvas::~TdxGPCanvas() {
  if (FOwnsHandle && FHandle) GdipEntry<GpStatus(WINAPI*)(void*)>(gpGdipDeleteGraphics)(FHandle);
}

HDC TdxGPCanvas::GetHDC() {
  HDC dc = nullptr;
  GpCall<void*, HDC*>(gpGdipGetDC, FHandle, &dc);
  return dc;
}

void TdxGPCanvas::ReleaseHDC(HDC DC) { GpCall<void*, HDC>(gpGdipReleaseDC, FHandle, DC); }

int TdxGPCanvas::InterpolationMode() const {
  int mode = 0;
  GpCall<void*, int*>(gpGdipGetInterpolationMode, FHandle, &mode);
  return mode;
}

void TdxGPCanvas::SetInterpolationMode(int AValue) { GpCall<void*, int>(gpGdipSetInterpolationMode, FHandle, AValue); }

int TdxGPCanvas::SmoothingMode() const {
  int mode = 0;
  GpCall<void*, int*>(gpGdipGetSmoothingMode, FHandle, &mode);
  return mode;
}

void TdxGPCanvas::SetSmoothingMode(int AValue) { GpCall<void*, int>(gpGdipSetSmoothingMode, FHandle, AValue); }

void TdxGPCanvas::Clear(TColor AColor) {
  GpCall<void*, uint32_t>(gpGdipGraphicsClear, FHandle, ColorToGdipARGB(AColor, 255));
}

void TdxGPCanvas::Draw(TdxGPImage& AGraphic, const RECT& R, uint8_t AAlpha) {
  Draw(AGraphic, R, AGraphic.ClientRect(), AAlpha);
}

void TdxGPCanvas::Draw(TdxGPImage& AGraphic, const RECT& ADestRect, const RECT& ASourceRect, uint8_t AAlpha) {
  if (AGraphic.Handle()) DrawGdipImage(FHandle, ADestRect, ASourceRect, AAlpha, AGraphic.Handle());
}

void TdxGPCanvas::DrawBitmap(TBitmap& ABitmap, const RECT& R, uint8_t AAlpha) {
  if (ABitmap.Empty()) return;
  std::unique_ptr<TdxGPImage> image = TdxGPImage::CreateFromBitmap(ABitmap);
  Draw(*image, R, AAlpha);
}

void* TdxGPCanvas::CreateGdipPen(TColor AColor, TPenStyle APenStyle, uint8_t AAlpha, float AWidth) {
  void* pen = nullptr;
  GpCall<uint32_t, float, int, void**>(gpGdipCreatePen1, ColorToGdipARGB(AColor, AAlpha), AWidth, kUnitPixel, &pen);
  TGpPenHolder guard{pen};
  GpCall<void*, int>(gpGdipSetPenDashStyle, pen, int(GdipDashStyleOf(APenStyle)));
  guard.Handle = nullptr;
  return pen;
}

void TdxGPCanvas::Ellipse(const RECT& R, TColor APenColor, TColor ABrushColor, float APenWidth, TPenStyle APenStyle,
                          uint8_t APenColorAlpha, uint8_t ABrushColorAlpha) {
  const INT x = R.left, y = R.top, w = R.right - R.left, h = R.bottom - R.top;
  if (ABrushColor != clNone) {
    TGpBrushHolder brush{GpCreateSolidBrush(ABrushColor, ABrushColorAlpha)};
    GpCall<void*, void*, INT, INT, INT, INT>(gpGdipFillEllipseI, FHandle, brush.Handle, x, y, w, h);
  }
  if (APenColor != clNone) {
    TGpPenHolder pen{CreateGdipPen(APenColor, APenStyle, APenColorAlpha, APenWidth)};
    GpCall<void*, void*, INT, INT, INT, INT>(gpGdipDrawEllipseI, FHandle, pen.Handle, x, y, w, h);
  }
}

void TdxGPCanvas::Rectangle(const RECT& R, TColor APenColor, TColor ABrushColor, float APenWidth,
                            TPenStyle APenStyle, uint8_t APenColorAlpha, uint8_t ABrushColorAlpha) {
  const INT x = R.left, y = R.top, w = R.right - R.left, h = R.bottom - R.top;
  if (ABrushColor != clNone) {
    TGpBrushHolder brush{GpCreateSolidBrush(ABrushColor, ABrushColorAlpha)};
    GpCall<void*, void*, INT, INT, INT, INT>(gpGdipFillRectangleI, FHandle, brush.Handle, x, y, w, h);
  }
  if (APenColor != clNone) {
    TGpPenHolder pen{CreateGdipPen(APenColor, APenStyle, APenColorAlpha, APenWidth)};
    GpCall<void*, void*, INT, INT, INT, INT>(gpGdipDrawRectangleI, FHandle, pen.Handle, x, y, w, h);
  }
}

void TdxGPCanvas::Pie(const RECT& R, int AStartAngle, int ASweepAngle, TColor APenColor, TColor ABrushColor,
                      float APenWidth, TPenStyle APenStyle, uint8_t APenColorAlpha, uint8_t ABrushColorAlpha) {
  const INT x = R.left, y = R.top, w = R.right - R.left, h = R.bottom - R.top;
  // Counter-clockwise degrees become GDI+'s clockwise ones.
  const float start = float(-AStartAngle), sweep = float(-ASweepAngle);
  if (ABrushColor != clNone) {
    TGpBrushHolder brush{GpCreateSolidBrush(ABrushColor, ABrushColorAlpha)};
    GpCall<void*, void*, INT, INT, INT, INT, float, float>(gpGdipFillPieI, FHandle, brush.Handle, x, y, w, h, start,
                                                          sweep);
  }
  if (APenColor != clNone) {
    TGpPenHolder pen{CreateGdipPen(APenColor, APenStyle, APenColorAlpha, APenWidth)};
    GpCall<void*, void*, INT, INT, INT, INT, float, float>(gpGdipDrawPieI, FHandle, pen.Handle, x, y, w, h, start,
                                                          sweep);
  }
}

void TdxGPCanvas::Polygon(std::span<const POINT> APoints, TColor APenColor, TColor ABrushColor, float APenWidth,
                          TPenStyle APenStyle, uint8_t APenColorAlpha, uint8_t ABrushColorAlpha) {
  const std::vector<GpPointI> points = ToGpPointArray(APoints);
  if (points.empty()) return;
  if (ABrushColor != clNone) {
    TGpBrushHolder brush{GpCreateSolidBrush(ABrushColor, ABrushColorAlpha)};
    GpCall<void*, void*, const GpPointI*, INT, int>(gpGdipFillPolygonI, FHandle, brush.Handle, points.data(),
                                                   INT(points.size()), kFillModeWinding);
  }
  if (APenColor != clNone) {
    TGpPenHolder pen{CreateGdipPen(APenColor, APenStyle, APenColorAlpha, APenWidth)};
    GpCall<void*, void*, const GpPointI*, INT>(gpGdipDrawPolygonI, FHandle, pen.Handle, points.data(),
                                              INT(points.size()));
  }
}

void TdxGPCanvas::RoundRect(const RECT& R, TColor APenColor, TColor ABrushColor, int ARadiusX, int ARadiusY,
                            int APenWidth, uint8_t APenColorAlpha, uint8_t ABrushColorAlpha) {
  TGpPathHolder path{CreateRoundRectPath(R, ARadiusX, ARadiusY)};
  if (ABrushColor != clNone) {
    TGpBrushHolder brush{GpCreateSolidBrush(ABrushColor, ABrushColorAlpha)};
    GpCall<void*, void*, void*>(gpGdipFillPath, FHandle, brush.Handle, path.Handle);
  }
  if (APenColor != clNone) {
    void* pen = nullptr;
    GpCall<uint32_t, float, int, void**>(gpGdipCreatePen1, ColorToGdipARGB(APenColor, APenColorAlpha), float(APenWidth),
                                        kUnitPixel, &pen);
    TGpPenHolder guard{pen};
    GpCall<void*, void*, void*>(gpGdipDrawPath, FHandle, pen, path.Handle);
  }
}

void TdxGPCanvas::Line(int X1, int Y1, int X2, int Y2, TColor APenColor, float APenWidth, TPenStyle APenStyle,
                       uint8_t APenColorAlpha) {
  if (APenColor == clNone) return;
  TGpPenHolder pen{CreateGdipPen(APenColor, APenStyle, APenColorAlpha, APenWidth)};
  GpCall<void*, void*, INT, INT, INT, INT>(gpGdipDrawLineI, FHandle, pen.Handle, X1, Y1, X2, Y2);
}

void TdxGPCanvas::Polyline(std::span<const POINT> APoints, TColor APenColor, float APenWidth, TPenStyle APenStyle,
                           uint8_t APenColorAlpha) {
  const std::vector<GpPointI> points = ToGpPointArray(APoints);
  if (APenColor == clNone || points.empty()) return;
  TGpPenHolder pen{CreateGdipPen(APenColor, APenStyle, APenColorAlpha, APenWidth)};
  GpCall<void*, void*, const GpPointI*, INT>(gpGdipDrawLinesI, FHandle, pen.Handle, points.data(), INT(points.size()));
}

void* CreateRoundRectPath(const RECT& R, int ARadiusX, int ARadiusY) {
  const int rx = std::min<int>(ARadiusX, (R.right - R.left) / 3), ry = std::min<int>(ARadiusY, (R.bottom - R.top) / 3);
  const float l = float(R.left), t = float(R.top), r = float(R.right), b = float(R.bottom);
  const float x = float(rx), y = float(ry);
  void* path = nullptr;
  GpCall<int, void**>(gpGdipCreatePath, kFillModeAlternate, &path);
  TGpPathHolder guard{path};
  auto line = [&](float x1, float y1, float x2, float y2) {
    GpCall<void*, float, float, float, float>(gpGdipAddPathLine, path, x1, y1, x2, y2);
  };
  auto arc = [&](float ax, float ay, float aw, float ah, float start) {
    GpCall<void*, float, float, float, float, float, float>(gpGdipAddPathArc, path, ax, ay, aw, ah, start, 90.0f);
  };
  GpCall<void*>(gpGdipStartPathFigure, path);
  line(l + x, t, r - 2 * x, t);
  arc(r - 2 * x, t, 2 * x, 2 * y, 270);
  line(r, t + y, r, b - 2 * y);
  arc(r - 2 * x, b - 2 * y, 2 * x, 2 * y, 0);
  line(r - 2 * x, b, l + x, b);
  arc(l, b - 2 * y, 2 * x, 2 * y, 90);
  line(l, b - 2 * y, l, t + y);
  arc(l, t, 2 * x, 2 * y, 180);
  GpCall<void*>(gpGdipClosePathFigure, path);
  guard.Handle = nullptr;
  return path;
}

SIZE GdipSourceSizeForDraw(const RECT& ADest, const RECT& ASource) {
  LONG sw = ASource.right - ASource.left, sh = ASource.bottom - ASource.top;
  // Enlarging reads one pixel less, so that the last row and column are not blended with nothing.
  if (sw > 1 && sw < ADest.right - ADest.left) --sw;
  if (sh > 1 && sh < ADest.bottom - ADest.top) --sh;
  return SIZE{sw, sh};
}

void DrawGdipImage(void* AGraphics, const RECT& ADest, const RECT& ASource, uint8_t AAlpha, void* AImage) {
  const int dw = ADest.right - ADest.left, dh = ADest.bottom - ADest.top;
  if (ASource.right - ASource.left < 1 || ASource.bottom - ASource.top < 1 || dw < 1) return;
  const SIZE source = GdipSourceSizeForDraw(ADest, ASource);
  const int sw = source.cx, sh = source.cy;
  if (dh <= 0) return;
  BOOL visible = FALSE;
  GpCall<void*, INT, INT, INT, INT, BOOL*>(gpGdipIsVisibleRectI, AGraphics, ADest.left, ADest.top, dw, dh, &visible);
  if (!visible) return;
  void* attributes = AAlpha == 255 ? nullptr : GetAlphaBlendAttributes(AAlpha)->Handle();
  GpCall<void*, void*, INT, INT, INT, INT, INT, INT, INT, INT, int, void*, void*, void*>(
      gpGdipDrawImageRectRectI, AGraphics, AImage, ADest.left, ADest.top, dw, dh, ASource.left, ASource.top, sw, sh,
      kUnitPixel, attributes, nullptr, nullptr);
}

// ---- Paint canvases

bool GdipNeedsDoubleBuffer(HDC DC) {
  // A memory context is as deep as the bitmap selected into it.
  BITMAP selected{};
  const int depth = GetObjectType(DC) == OBJ_MEMDC && GetObjectW(GetCurrentObject(DC, OBJ_BITMAP), sizeof selected, &selected)
                        ? selected.bmBitsPixel * selected.bmPlanes
                        : GetDeviceCaps(DC, BITSPIXEL) * GetDeviceCaps(DC, PLANES);
  if (depth <= 16) return true;
  if (GetDeviceCaps(DC, TECHNOLOGY) == DT_RASPRINTER) return true;
  return (GetDeviceCaps(DC, RASTERCAPS) & RC_PALETTE) != 0 && GetDeviceCaps(DC, SIZEPALETTE) > 1;
}

TdxGPCustomPaintCanvas::~TdxGPCustomPaintCanvas() {
  if (FOwnsHandle && FHandle) GdipEntry<GpStatus(WINAPI*)(void*)>(gpGdipDeleteGraphics)(FHandle);
  FHandle = nullptr;
}

void TdxGPCustomPaintCanvas::BeginPaint(HDC DC, const RECT& R) {
  CheckGdipCondition(CheckGdiPlusAvailable(false));
  SaveState();
  FDrawRect = R;
  FDrawDC = DC;
  HDC target = DC;
  if (GdipNeedsDoubleBuffer(DC)) {
    FBuffer = std::make_unique<TBitmap>();
    FBuffer->SetPixelFormat(TPixelFormat::pf32bit);
    FBuffer->SetSize(R.right - R.left, R.bottom - R.top);
    FBuffer->Canvas().Lock();
    target = FBuffer->Canvas().Handle();
    BitBlt(target, 0, 0, R.right - R.left, R.bottom - R.top, DC, R.left, R.top, SRCCOPY);
    SetWindowOrgEx(target, R.left, R.top, nullptr);
  }
  FHandle = nullptr;
  GpCall<HDC, void**>(gpGdipCreateFromHDC, target, &FHandle);
  FOwnsHandle = true;
}

void TdxGPCustomPaintCanvas::BeginPaint(void* AHandle) {
  SaveState();
  FDrawRect = RECT{};
  FDrawDC = nullptr;
  FHandle = AHandle;
  FOwnsHandle = false;
}

void TdxGPCustomPaintCanvas::EndPaint() {
  if (FDrawDC && FHandle) GdipEntry<GpStatus(WINAPI*)(void*)>(gpGdipDeleteGraphics)(FHandle);
  FHandle = nullptr;
  if (FBuffer) {
    HDC buffer = FBuffer->Canvas().Handle();
    SetWindowOrgEx(buffer, 0, 0, nullptr);
    const int saved = ::SaveDC(FDrawDC);
    BitBlt(FDrawDC, FDrawRect.left, FDrawRect.top, FBuffer->Width(), FBuffer->Height(), buffer, 0, 0, SRCCOPY);
    ::RestoreDC(FDrawDC, saved);
    FBuffer->Canvas().Unlock();
    FBuffer.reset();
  }
  RestoreState();
}

void TdxGPPaintCanvas::SaveState() {
  ++FCounter;
  FSavedStates.push_back(TdxGPPaintCanvasState{FHandle, FOwnsHandle, std::move(FBuffer), FDrawRect, FDrawDC});
}

void TdxGPPaintCanvas::RestoreState() {
  if (FSavedStates.empty()) return;
  --FCounter;
  TdxGPPaintCanvasState& state = FSavedStates.back();
  FHandle = state.Handle;
  FOwnsHandle = state.OwnsHandle;
  FBuffer = std::move(state.Buffer);
  FDrawRect = state.DrawRect;
  FDrawDC = state.DC;
  FSavedStates.pop_back();
}

std::unique_ptr<TdxGPCustomPaintCanvas> BeginGdipPaint(HDC DC, const RECT& R) {
  auto canvas = std::make_unique<TdxGPCustomPaintCanvas>();
  canvas->BeginPaint(DC, R);
  return canvas;
}

void EndGdipPaint(std::unique_ptr<TdxGPCustomPaintCanvas>& ACanvas) {
  if (!ACanvas) return;
  ACanvas->EndPaint();
  ACanvas.reset();
}

// ---- Alpha-blend attributes

TdxGPAlphaBlendAttributes::TdxGPAlphaBlendAttributes() {
  for (int i = 0; i < 5; ++i) FColorMatrix[std::size_t(i)][std::size_t(i)] = 1.0f;
  GpCall<void**>(gpGdipCreateImageAttributes, &FHandle);
  SetAlpha(255);
}

TdxGPAlphaBlendAttributes::~TdxGPAlphaBlendAttributes() {
  if (FHandle) GdipEntry<GpStatus(WINAPI*)(void*)>(gpGdipDisposeImageAttributes)(FHandle);
}

void TdxGPAlphaBlendAttributes::SetAlpha(uint8_t AValue) {
  if (AValue == FAlpha) return;
  FAlpha = AValue;
  FColorMatrix[3][3] = float(AValue) / 255.0f;
  Apply();
}

void TdxGPAlphaBlendAttributes::Apply() {
  GpCall<void*, int, BOOL, const void*, const void*, int>(gpGdipSetImageAttributesColorMatrix, FHandle,
                                                         kColorAdjustTypeBitmap, TRUE, FColorMatrix.data(), nullptr,
                                                         0);
}

TdxGPAlphaBlendAttributes* GetAlphaBlendAttributes(uint8_t AAlpha) {
  if (!gAlphaBlendAttributes) gAlphaBlendAttributes = new TdxGPAlphaBlendAttributes();
  gAlphaBlendAttributes->SetAlpha(AAlpha);
  return gAlphaBlendAttributes;
}

TdxGPPaintCanvas* GetSharedGdipPaintCanvas() {
  if (!gSharedPaintCanvas) gSharedPaintCanvas = new TdxGPPaintCanvas();
  return gSharedPaintCanvas;
}

// ---- Images

void TdxGPImageData::Clear() {
  FBits.clear();
  if (FData) GlobalFree(FData);
  FData = nullptr;
}

TdxGPImage::TdxGPImage() = default;

TdxGPImage::~TdxGPImage() { FreeHandle(); }

std::unique_ptr<TdxGPImage> TdxGPImage::CreateFromBitmap(TBitmap& ABitmap) {
  auto image = std::make_unique<TdxGPImage>();
  image->SetBitmap(ABitmap);
  return image;
}

std::unique_ptr<TdxGPImage> TdxGPImage::CreateFromBits(int AWidth, int AHeight, const TRGBColors& ABits,
                                                       bool AHasAlphaChannel) {
  auto image = std::make_unique<TdxGPImage>();
  image->LoadFromBits(AWidth, AHeight, ABits, AHasAlphaChannel);
  return image;
}

std::unique_ptr<TdxGPImage> TdxGPImage::CreateFromStream(TStream& AStream) {
  auto image = std::make_unique<TdxGPImage>();
  image->LoadFromStream(AStream);
  return image;
}

void TdxGPImage::FreeHandle() {
  GpDisposeImage(std::exchange(FHandle, nullptr));
  FImageData.Clear();
  FImageDataFormat = dxImageUnknown;
}

void TdxGPImage::SetHandle(void* AHandle) {
  FHandle = AHandle;
  DetectImageDataFormat();
  Changed();
}

void TdxGPImage::Changed() {
  FIsAlphaUsedAssigned = false;
  TGraphic::Changed();
}

void TdxGPImage::DetectImageDataFormat() {
  FImageDataFormat = dxImageUnknown;
  if (!FHandle) return;
  GUID raw{};
  GpCall<void*, GUID*>(gpGdipGetImageRawFormat, FHandle, &raw);
  FImageDataFormat = FormatOfRawGuid(raw);
}

bool TdxGPImage::Empty() const { return Width() < 1 || Height() < 1; }

int TdxGPImage::Width() const {
  if (!FHandle) return 0;
  float w = 0, h = 0;
  GpCall<void*, float*, float*>(gpGdipGetImageDimension, FHandle, &w, &h);
  return int(w);
}

int TdxGPImage::Height() const {
  if (!FHandle) return 0;
  float w = 0, h = 0;
  GpCall<void*, float*, float*>(gpGdipGetImageDimension, FHandle, &w, &h);
  return int(h);
}

void TdxGPImage::LoadFromBits(int AWidth, int AHeight, const TRGBColors& ABits, bool AHasAlphaChannel) {
  FreeHandle();
  FImageData.FBits = ABits;
  if (!AHasAlphaChannel)
    for (RGBQUAD& p : FImageData.FBits) p.rgbReserved = 255;
  void* bitmap = nullptr;
  if (AWidth > 0 && AHeight > 0 && FImageData.FBits.size() >= std::size_t(AWidth) * std::size_t(AHeight))
    GpCall<INT, INT, INT, INT, BYTE*, void**>(gpGdipCreateBitmapFromScan0, AWidth, AHeight, AWidth * 4,
                                              kPixelFormat32bppPARGB,
                                              reinterpret_cast<BYTE*>(FImageData.FBits.data()), &bitmap);
  SetHandle(bitmap);
}

void TdxGPImage::SetBitmap(TBitmap& ABitmap) {
  TRGBColors colors;
  if (!ReadBitmapPixels(ABitmap, colors, true)) colors.clear();
  LoadFromBits(ABitmap.Width(), ABitmap.Height(), colors, GetBitmapBitsPerPixel(ABitmap) == 32);
}

void TdxGPImage::LoadFromStream(TStream& AStream) {
  FreeHandle();
  const int64_t size = std::max<int64_t>(0, AStream.Size() - AStream.Position());
  void* bitmap = nullptr;
  if (size > 0) {
    FImageData.FData = GlobalAlloc(GMEM_MOVEABLE, SIZE_T(size));
    CheckGdipCondition(FImageData.FData != nullptr);
    void* memory = GlobalLock(FImageData.FData);
    AStream.ReadBuffer(memory, std::size_t(size));
    GlobalUnlock(FImageData.FData);
    IStream* stream = nullptr;
    CheckGdipCondition(SUCCEEDED(CreateStreamOnHGlobal(FImageData.FData, FALSE, &stream)) && stream);
    const GpStatus status = GdipEntry<GpStatus(WINAPI*)(IStream*, void**)>(gpGdipCreateBitmapFromStream)(stream, &bitmap);
    stream->Release();
    CheckGdipStatus(TdxGpStatus(status));
  }
  SetHandle(bitmap);
}

void TdxGPImage::LoadFromResource(HINSTANCE AInstance, const WideString& AResName, const wchar_t* AResType) {
  TResourceStream stream(AInstance, AResName, AResType);
  LoadFromStream(stream);
}

void TdxGPImage::SaveToStream(TStream& AStream) { SaveToStreamByCodec(AStream, FImageDataFormat); }

void TdxGPImage::LoadFromClipboardFormat(UINT AFormat, HANDLE AData) {
  TBitmap bitmap;
  bitmap.LoadFromClipboardFormat(AFormat, AData);
  bitmap.SetPixelFormat(TPixelFormat::pf32bit);
  // A clipboard bitmap without alpha is opaque, not invisible.
  TRGBColors colors;
  if (!ReadBitmapPixels(bitmap, colors, true)) colors.clear();
  LoadFromBits(bitmap.Width(), bitmap.Height(), colors, BitmapHasAlpha(bitmap));
}

void TdxGPImage::SaveToClipboardFormat(UINT& AFormat, HANDLE& AData) {
  TBitmap bitmap;  // 24 bits: nothing on the clipboard claims alpha
  bitmap.SetSize(Width(), Height());
  bitmap.Canvas().Brush().SetColor(clWhite);
  bitmap.Canvas().FillRect(ClientRect());
  StretchDraw(bitmap.Canvas().Handle(), ClientRect());
  bitmap.SaveToClipboardFormat(AFormat, AData);
}

void TdxGPImage::SaveToStreamByCodec(TStream& AStream, TdxImageDataFormat AImageFormat) {
  if (!FHandle) return;
  CLSID* encoder = nullptr;
  const wchar_t* mime = nullptr;
  switch (AImageFormat) {
    case dxImageBitmap: encoder = &BMPEncoder, mime = L"image/bmp"; break;
    case dxImageJpeg: encoder = &JPEGEncoder, mime = L"image/jpeg"; break;
    case dxImagePng: encoder = &PNGEncoder, mime = L"image/png"; break;
    case dxImageTiff: encoder = &TIFFEncoder, mime = L"image/tiff"; break;
    case dxImageGif: encoder = &GIFEncoder, mime = L"image/gif"; break;
    default: throw EdxException(L"dxGetImageEncoder fails");
  }
  EnsureImageEncoder(mime, *encoder);
  TMemoryStream memory;
  {
    auto adapter = ComRef<IStream>::Adopt(TStreamAdapter::Create(memory));
    GpCall<void*, IStream*, const CLSID*, const void*>(gpGdipSaveImageToStream, FHandle, adapter.Get(), encoder,
                                                       nullptr);
  }
  memory.SetPosition(0);
  AStream.CopyFrom(memory, 0);
}

bool TdxGPImage::IsAlphaUsed() {
  if (!FIsAlphaUsedAssigned) {
    const TRGBColors bits = GetBitmapBits();
    FIsAlphaUsed = std::any_of(bits.begin(), bits.end(), [](const RGBQUAD& p) { return p.rgbReserved != 255; });
    FIsAlphaUsedAssigned = true;
  }
  return FIsAlphaUsed;
}

void TdxGPImage::Draw(TCanvas& ACanvas, const RECT& R) { StretchDraw(ACanvas.Handle(), R, 255); }

void TdxGPImage::StretchDraw(HDC DC, const RECT& ADest, uint8_t AAlpha) { StretchDraw(DC, ADest, ClientRect(), AAlpha); }

void TdxGPImage::StretchDraw(HDC DC, const RECT& ADest, const RECT& ASource, uint8_t AAlpha) {
  if (!FHandle) return;
  TdxGPPaintCanvas* canvas = GetSharedGdipPaintCanvas();
  canvas->BeginPaint(DC, ADest);
  try {
    canvas->Draw(*this, ADest, ASource, AAlpha);
  } catch (...) {
    canvas->EndPaint();
    throw;
  }
  canvas->EndPaint();
}

std::unique_ptr<TBitmap> TdxGPImage::GetAsBitmap() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::pf32bit);
  if (!FHandle) return bitmap;
  HBITMAP handle = nullptr;
  GpCall<void*, HBITMAP*, uint32_t>(gpGdipCreateHBITMAPFromBitmap, FHandle, &handle, 0);
  bitmap->SetHandle(handle);
  bitmap->SetPixelFormat(TPixelFormat::pf32bit);
  return bitmap;
}

TRGBColors TdxGPImage::GetBitmapBits() {
  TRGBColors colors;
  if (!FHandle) return colors;
  std::unique_ptr<TBitmap> bitmap = GetAsBitmap();
  if (!ReadBitmapPixels(*bitmap, colors, true)) colors.clear();
  return colors;
}

void TdxGPImage::Assign(const TPersistent& ASource) {
  if (auto* bitmap = dynamic_cast<const TBitmap*>(&ASource)) {
    SetBitmap(const_cast<TBitmap&>(*bitmap));
  } else if (auto* image = dynamic_cast<const TdxGPImage*>(&ASource)) {
    if (image != this) AssignFromImage(const_cast<TdxGPImage&>(*image));
  } else {
    TGraphic::Assign(ASource);
  }
}

void TdxGPImage::AssignTo(TPersistent& ADest) const {
  auto& self = const_cast<TdxGPImage&>(*this);
  if (auto* image = dynamic_cast<TdxGPImage*>(&ADest)) {
    image->AssignFromImage(self);
  } else if (auto* bitmap = dynamic_cast<TBitmap*>(&ADest)) {
    std::unique_ptr<TBitmap> copy = self.GetAsBitmap();
    bitmap->Assign(*copy);
  } else {
    TGraphic::AssignTo(ADest);
  }
}

void TdxGPImage::AssignFromImage(TdxGPImage& AImage) {
  if (&AImage == this) return;
  if (AImage.Empty()) {
    Clear();
  } else if (!AImage.FImageData.FBits.empty()) {
    const TRGBColors bits = AImage.FImageData.FBits;
    LoadFromBits(AImage.Width(), AImage.Height(), bits, true);
  } else if (AImage.FImageDataFormat == dxImageBitmap) {
    std::unique_ptr<TBitmap> bitmap = AImage.GetAsBitmap();
    SetBitmap(*bitmap);
  } else {
    TMemoryStream stream;
    AImage.SaveToStreamByCodec(stream, AImage.FImageDataFormat);
    stream.SetPosition(0);
    LoadFromStream(stream);
  }
}

std::unique_ptr<TdxGPImage> TdxGPImage::Clone() {
  std::unique_ptr<TdxGPImage> copy = NewInstance();
  copy->Assign(*this);
  return copy;
}

bool TdxGPImage::Compare(TdxGPImage& AImage) {
  if (Width() != AImage.Width() || Height() != AImage.Height()) return false;
  if (!FImageData.FBits.empty() && !AImage.FImageData.FBits.empty()) {
    return FImageData.FBits.size() == AImage.FImageData.FBits.size() &&
           std::memcmp(FImageData.FBits.data(), AImage.FImageData.FBits.data(),
                       FImageData.FBits.size() * sizeof(RGBQUAD)) == 0;
  }
  return true;
}

void TdxGPImage::Clear() {
  if (Empty() && !FHandle) return;
  FreeHandle();
  Changed();
}

void TdxGPImage::Resize(int AWidth, int AHeight) {
  void* bitmap = CreateGdipBitmap(AWidth, AHeight);
  {
    void* graphics = nullptr;
    GpCall<void*, void**>(gpGdipGetImageGraphicsContext, bitmap, &graphics);
    if (FHandle) DrawGdipImage(graphics, RECT{0, 0, AWidth, AHeight}, ClientRect(), 255, FHandle);
    GdipEntry<GpStatus(WINAPI*)(void*)>(gpGdipDeleteGraphics)(graphics);
  }
  FreeHandle();
  SetHandle(bitmap);
}

void TdxGPImage::Scale(int M, int D) { Resize(MulDiv(Width(), M, D), MulDiv(Height(), M, D)); }

std::unique_ptr<TdxGPImage> TdxGPImage::MakeComposition(TdxGPImage& AOverlayImage, uint8_t AOverlayAlpha,
                                                        uint8_t ASourceAlpha) {
  auto result = std::make_unique<TdxGPImage>();
  void* bitmap = CreateGdipBitmap(Width(), Height());
  result->SetHandle(bitmap);
  void* graphics = nullptr;
  GpCall<void*, void**>(gpGdipGetImageGraphicsContext, bitmap, &graphics);
  TdxGPPaintCanvas* canvas = GetSharedGdipPaintCanvas();
  canvas->BeginPaint(graphics);
  try {
    canvas->Draw(*this, ClientRect(), ASourceAlpha);
    canvas->Draw(AOverlayImage, ClientRect(), AOverlayImage.ClientRect(), AOverlayAlpha);
  } catch (...) {
    canvas->EndPaint();
    GdipEntry<GpStatus(WINAPI*)(void*)>(gpGdipDeleteGraphics)(graphics);
    throw;
  }
  canvas->EndPaint();
  GdipEntry<GpStatus(WINAPI*)(void*)>(gpGdipDeleteGraphics)(graphics);
  return result;
}

// ---- Registration

void RegisterGdiPlusGraphicClasses() {
  if (!CheckGdiPlusAvailable(false)) return;
  InitImageEncoders();
  RegisterClass(&TdxPNGImage::StaticClassInfo());
  RegisterClass(&TdxSmartImage::StaticClassInfo());
  TPicture::RegisterFileFormat(L"PNG", L"Component library PNG graphics", GraphicClassOf<TdxPNGImage>());
  TPicture::RegisterFileFormat(L"TIF;*.GIF;*.PNG", L"All graphics", GraphicClassOf<TdxSmartImage>());
}

void UnregisterGdiPlusGraphicClasses() {
  delete std::exchange(gAlphaBlendAttributes, nullptr);
  delete std::exchange(gSharedPaintCanvas, nullptr);
  TPicture::UnregisterGraphicClass(GraphicClassOf<TdxPNGImage>());
  TPicture::UnregisterGraphicClass(GraphicClassOf<TdxSmartImage>());
  UnRegisterClass(&TdxPNGImage::StaticClassInfo());
  UnRegisterClass(&TdxSmartImage::StaticClassInfo());
}

void dxGDIPlusClassesUnitStart() {
  GetUnitsLoader().AddUnit(&RegisterGdiPlusGraphicClasses, &UnregisterGdiPlusGraphicClasses);
}

void dxGDIPlusClassesUnitStop() { GetUnitsLoader().RemoveUnit(&UnregisterGdiPlusGraphicClasses); }

}  // namespace tvk
