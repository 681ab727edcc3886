#pragma once
// Objects over the GDI+ flat API: a canvas over a GDI+ Graphics (shapes with
// their own pen and brush colours and alpha values, images with a constant
// alpha), paint canvases that open GDI+ on a rectangle of a device context
// (through a 32-bit buffer where GDI+ would draw poorly on the device), the
// alpha-blend image attributes and TdxGPImage, a graphic over a GDI+ image.
#include "Graphics.h"
#include "dxCore.h"
#include "dxGDIPlusAPI.h"

#include <array>
#include <memory>
#include <span>
#include <vector>

namespace tvk {

// GDI+ dash styles.
enum TdxGPDashStyle { gpdsSolid, gpdsDash, gpdsDot, gpdsDashDot, gpdsDashDotDot, gpdsCustom };
TdxGPDashStyle GdipDashStyleOf(TPenStyle AStyle);

class TdxGPImage;

class TdxGPCanvas : public TObject {
public:
  TVK_CLASS(TdxGPCanvas, TObject)
  // Wraps an existing Graphics (not owned).
  explicit TdxGPCanvas(void* AHandle) : FHandle(AHandle) {}
  // A Graphics of its own on DC.
  explicit TdxGPCanvas(HDC DC);
  ~TdxGPCanvas() override;

  void* Handle() const { return FHandle; }
  HDC GetHDC();
  void ReleaseHDC(HDC DC);
  int InterpolationMode() const;
  void SetInterpolationMode(int AValue);
  int SmoothingMode() const;
  void SetSmoothingMode(int AValue);

  void Clear(TColor AColor);
  void Draw(TdxGPImage& AGraphic, const RECT& R, uint8_t AAlpha = 255);
  void Draw(TdxGPImage& AGraphic, const RECT& ADestRect, const RECT& ASourceRect, uint8_t AAlpha = 255);
  // Nothing for an empty bitmap.
  void DrawBitmap(TBitmap& ABitmap, const RECT& R, uint8_t AAlpha = 255);

  // Filled first (brush colour not clNone), outlined second (pen colour not clNone).
  void Ellipse(const RECT& R, TColor APenColor, TColor ABrushColor, float APenWidth = 1,
               TPenStyle APenStyle = TPenStyle::psSolid, uint8_t APenColorAlpha = 255, uint8_t ABrushColorAlpha = 255);
  void Rectangle(const RECT& R, TColor APenColor, TColor ABrushColor, float APenWidth = 1,
                 TPenStyle APenStyle = TPenStyle::psSolid, uint8_t APenColorAlpha = 255,
                 uint8_t ABrushColorAlpha = 255);
  // Degrees counter-clockwise from three o'clock.
  void Pie(const RECT& R, int AStartAngle, int ASweepAngle, TColor APenColor, TColor ABrushColor, float APenWidth = 1,
           TPenStyle APenStyle = TPenStyle::psSolid, uint8_t APenColorAlpha = 255, uint8_t ABrushColorAlpha = 255);
  void Polygon(std::span<const POINT> APoints, TColor APenColor, TColor ABrushColor, float APenWidth = 1,
               TPenStyle APenStyle = TPenStyle::psSolid, uint8_t APenColorAlpha = 255,
               uint8_t ABrushColorAlpha = 255);
  void RoundRect(const RECT& R, TColor APenColor, TColor ABrushColor, int ARadiusX, int ARadiusY, int APenWidth = 1,
                 uint8_t APenColorAlpha = 255, uint8_t ABrushColorAlpha = 255);
  void Line(int X1, int Y1, int X2, int Y2, TColor APenColor, float APenWidth = 1,
            TPenStyle APenStyle = TPenStyle::psSolid, uint8_t APenColorAlpha = 255);
  void Polyline(std::span<const POINT> APoints, TColor APenColor, float APenWidth = 1,
                TPenStyle APenStyle = TPenStyle::psSolid, uint8_t APenColorAlpha = 255);

  // A GDI+ pen (the caller deletes it).
  static void* CreateGdipPen(TColor AColor, TPenStyle APenStyle, uint8_t AAlpha, float AWidth);

protected:
  void* FHandle = nullptr;
  bool FOwnsHandle = false;
};

class TdxGPGraphics : public TdxGPCanvas {
public:
  TVK_CLASS(TdxGPGraphics, TdxGPCanvas)
  using TdxGPCanvas::TdxGPCanvas;
};

// 16 bits per pixel or fewer (a memory context: its bitmap's), a raster printer, or a palette device.
bool GdipNeedsDoubleBuffer(HDC DC);

class TdxGPCustomPaintCanvas : public TdxGPGraphics {
public:
  TVK_CLASS(TdxGPCustomPaintCanvas, TdxGPGraphics)
  TdxGPCustomPaintCanvas() : TdxGPGraphics(static_cast<void*>(nullptr)) {}
  ~TdxGPCustomPaintCanvas() override;
  void BeginPaint(HDC DC, const RECT& R);
  void BeginPaint(void* AHandle);
  void EndPaint();
  TBitmap* Buffer() const { return FBuffer.get(); }

protected:
  virtual void SaveState() {}
  virtual void RestoreState() {}
  std::unique_ptr<TBitmap> FBuffer;
  RECT FDrawRect{};
  HDC FDrawDC = nullptr;
};

// Nests: every BeginPaint keeps the previous Graphics, buffer, rectangle and DC.
class TdxGPPaintCanvas : public TdxGPCustomPaintCanvas {
public:
  TVK_CLASS(TdxGPPaintCanvas, TdxGPCustomPaintCanvas)
  int SavedStateCount() const { return FCounter; }

protected:
  void SaveState() override;
  void RestoreState() override;

private:
  struct TdxGPPaintCanvasState {
    void* Handle;
    bool OwnsHandle;
    std::unique_ptr<TBitmap> Buffer;
    RECT DrawRect;
    HDC DC;
  };
  int FCounter = 0;
  std::vector<TdxGPPaintCanvasState> FSavedStates;
};

std::unique_ptr<TdxGPCustomPaintCanvas> BeginGdipPaint(HDC DC, const RECT& R);
void EndGdipPaint(std::unique_ptr<TdxGPCustomPaintCanvas>& ACanvas);

using TdxGPColorMatrix = std::array<std::array<float, 5>, 5>;

class TdxGPAlphaBlendAttributes : public TObject {
public:
  TVK_CLASS(TdxGPAlphaBlendAttributes, TObject)
  TdxGPAlphaBlendAttributes();
  ~TdxGPAlphaBlendAttributes() override;
  uint8_t Alpha() const { return FAlpha; }
  void SetAlpha(uint8_t AValue);
  void* Handle() const { return FHandle; }
  const TdxGPColorMatrix& ColorMatrix() const { return FColorMatrix; }

private:
  void Apply();
  uint8_t FAlpha = 0;
  TdxGPColorMatrix FColorMatrix{};
  void* FHandle = nullptr;
};

// The shared attributes set to AAlpha, and the shared paint canvas (none
// once the classes are unregistered... until the next use).
TdxGPAlphaBlendAttributes* GetAlphaBlendAttributes(uint8_t AAlpha);
TdxGPPaintCanvas* GetSharedGdipPaintCanvas();

enum TdxImageDataFormat { dxImageUnknown, dxImageBitmap, dxImageJpeg, dxImagePng, dxImageTiff, dxImageGif };

// What GDI+ keeps reading while an image lives: the pixels it was made from
// or the stream's bytes in a movable memory block.
class TdxGPImageData : public TObject {
public:
  TVK_CLASS(TdxGPImageData, TObject)
  ~TdxGPImageData() override { Clear(); }
  bool Empty() const { return FBits.empty() && !FData; }
  void Clear();
  TRGBColors FBits;
  HGLOBAL FData = nullptr;
};

class TdxGPImage : public TGraphic {
public:
  TVK_CLASS(TdxGPImage, TGraphic)
  TdxGPImage();
  ~TdxGPImage() override;
  static std::unique_ptr<TdxGPImage> CreateFromBitmap(TBitmap& ABitmap);
  static std::unique_ptr<TdxGPImage> CreateFromBits(int AWidth, int AHeight, const TRGBColors& ABits,
                                                    bool AHasAlphaChannel);
  static std::unique_ptr<TdxGPImage> CreateFromStream(TStream& AStream);

  void* Handle() const { return FHandle; }
  TdxImageDataFormat ImageDataFormat() const { return FImageDataFormat; }
  RECT ClientRect() const { return {0, 0, Width(), Height()}; }
  bool IsAlphaUsed();
  const TRGBColors& Bits() const { return FImageData.FBits; }

  bool Empty() const override;
  int Width() const override;
  int Height() const override;
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  void Draw(TCanvas& ACanvas, const RECT& R) override;
  void StretchDraw(HDC DC, const RECT& ADest, uint8_t AAlpha = 255);
  void StretchDraw(HDC DC, const RECT& ADest, const RECT& ASource, uint8_t AAlpha = 255);

  void LoadFromBits(int AWidth, int AHeight, const TRGBColors& ABits, bool AHasAlphaChannel);
  void SetBitmap(TBitmap& ABitmap);
  void LoadFromStream(TStream& AStream) override;
  void LoadFromResource(HINSTANCE AInstance, const WideString& AResName, const wchar_t* AResType);
  void SaveToStream(TStream& AStream) override;
  void SaveToStreamByCodec(TStream& AStream, TdxImageDataFormat AImageFormat);
  // A bitmap format read through a 32-bit bitmap (opaque unless it carries alpha).
  void LoadFromClipboardFormat(UINT AFormat, HANDLE AData) override;
  // CF_BITMAP: the image drawn over white.
  void SaveToClipboardFormat(UINT& AFormat, HANDLE& AData) override;

  // A new 32-bit bitmap made by GDI+ from the image (background 0).
  std::unique_ptr<TBitmap> GetAsBitmap();
  TRGBColors GetBitmapBits();
  void Assign(const TPersistent& ASource) override;
  void AssignTo(TPersistent& ADest) const override;
  void AssignFromImage(TdxGPImage& AImage);
  std::unique_ptr<TdxGPImage> Clone();
  bool Compare(TdxGPImage& AImage);
  void Clear();
  void Resize(int AWidth, int AHeight);
  void Scale(int M, int D);
  // A new image of this one's size: this image (ASourceAlpha) under the overlay (AOverlayAlpha).
  std::unique_ptr<TdxGPImage> MakeComposition(TdxGPImage& AOverlayImage, uint8_t AOverlayAlpha,
                                              uint8_t ASourceAlpha = 255);

protected:
  void Changed() override;
  virtual std::unique_ptr<TdxGPImage> NewInstance() const { return std::make_unique<TdxGPImage>(); }
  void FreeHandle();
  void DetectImageDataFormat();
  // Takes over AHandle (a GDI+ bitmap) as the image.
  void SetHandle(void* AHandle);

  void* FHandle = nullptr;
  TdxGPImageData FImageData;
  TdxImageDataFormat FImageDataFormat = dxImageUnknown;
  bool FIsAlphaUsed = false, FIsAlphaUsedAssigned = false;
};

// Always saved as PNG.
class TdxPNGImage : public TdxGPImage {
public:
  TVK_CLASS(TdxPNGImage, TdxGPImage)
  void SaveToStream(TStream& AStream) override { SaveToStreamByCodec(AStream, dxImagePng); }

protected:
  std::unique_ptr<TdxGPImage> NewInstance() const override { return std::make_unique<TdxPNGImage>(); }
};

class TdxSmartImage : public TdxGPImage {
public:
  TVK_CLASS(TdxSmartImage, TdxGPImage)

protected:
  std::unique_ptr<TdxGPImage> NewInstance() const override { return std::make_unique<TdxSmartImage>(); }
};

// The source size DrawGdipImage reads: a side being enlarged loses a pixel.
SIZE GdipSourceSizeForDraw(const RECT& ADest, const RECT& ASource);
// Draws part ASource of AImage into ADest of a Graphics.
void DrawGdipImage(void* AGraphics, const RECT& ADest, const RECT& ASource, uint8_t AAlpha, void* AImage);
// One figure of lines and quarter arcs, radii at most a third of the sides (the caller deletes it).
void* CreateRoundRectPath(const RECT& R, int ARadiusX, int ARadiusY);

// Only with GDI+: the encoders looked up, the two picture classes registered.
void RegisterGdiPlusGraphicClasses();
// Frees the shared objects and takes the classes back.
void UnregisterGdiPlusGraphicClasses();

// Hands the two procedures above to the units loader (queued, not run).
void dxGDIPlusClassesUnitStart();
// Removes the stop procedure from the loader, which runs it.
void dxGDIPlusClassesUnitStop();

}  // namespace tvk
