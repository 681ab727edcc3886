#pragma once
// The drawing surface of the look-and-feel library: TcxRegion, and TcxCanvas
// over a class-library canvas with three independent stacks (device-context
// states, clip regions, font/brush/pen states), fills and frames that know
// the no-colour and default-colour values, the library's text flags and text
// output, rotation and mirroring of 32-bit bitmaps, and the shared screen and
// paint canvases.
#include "Controls.h"
#include "Graphics.h"
#include "ImageLists.h"
#include "cxGeometry.h"
#include "dxCore.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace tvk {

// ---- Regions

enum TcxRegionOperation { roSet, roAdd, roSubtract, roIntersect };

class TcxRegion : public TObject {
public:
  TVK_CLASS(TcxRegion, TObject)
  // Takes over AHandle.
  explicit TcxRegion(HRGN AHandle);
  explicit TcxRegion(const RECT& ABounds);
  TcxRegion(int ALeft, int ATop, int ARight, int ABottom);
  TcxRegion() : TcxRegion(0, 0, 0, 0) {}
  ~TcxRegion() override;
  // A rounded rectangle whose left and top are moved in by one pixel.
  static std::unique_ptr<TcxRegion> CreateRoundCorners(const RECT& ABounds, int AWidthEllipse, int AHeightEllipse);

  HRGN Handle() const { return FHandle; }
  // The region's box; (0, 0, 0, 0) when it is empty.
  RECT BoundsRect() const;
  bool IsEmpty() const;

  // roSet: a copy of ARegion; else this one with ARegion added, subtracted or
  // intersected. With ADestroyRegion, ARegion is freed afterwards.
  void Combine(TcxRegion* ARegion, TcxRegionOperation AOperation, bool ADestroyRegion = true);
  // False for null; true when both are empty or equal.
  bool IsEqual(const TcxRegion* ARegion) const;
  bool IsEqual(HRGN ARegionHandle) const;
  void Offset(int DX, int DY);
  bool PtInRegion(int X, int Y) const;
  // Any part of R is inside.
  bool RectInRegion(const RECT& R) const;

private:
  HRGN FHandle;
};

// ---- Canvas

enum TcxBorder : unsigned { bLeft = 1, bTop = 2, bRight = 4, bBottom = 8 };
using TcxBorders = unsigned;
constexpr TcxBorders cxBordersAll = bLeft | bTop | bRight | bBottom;
enum TcxRotationAngle { ra0, raPlus90, raMinus90, ra180 };
enum class TcxAlignmentVert { vaTop, vaBottom, vaCenter };

// The library's text flags.
constexpr int cxTextAlignLeft = 0x0001, cxTextAlignRight = 0x0002, cxTextAlignHCenter = 0x0004,
              cxTextAlignTop = 0x0008, cxTextAlignBottom = 0x0010, cxTextAlignVCenter = 0x0020,
              cxTextSingleLine = 0x0040, cxTextDontClip = 0x0080, cxTextExpandTabs = 0x0100,
              cxTextShowPrefix = 0x0200, cxTextWordBreak = 0x0400, cxTextShowEndEllipsis = 0x0800,
              cxTextCalcRect = 0x1000, cxTextShowPathEllipsis = 0x2000, cxTextDontBreakChars = 0x4000,
              cxTextNoFullWidthCharBreak = 0x8000;
// The DrawText flags of library text flags (always from DT_NOPREFIX).
UINT TextFlagsToDrawTextFlags(int AFlags);

// The colours of one painted element.
struct TcxViewParams {
  TBitmap* Bitmap = nullptr;
  TColor Color = clNone;
  TFont* Font = nullptr;
  TColor TextColor = clNone;
};

class TcxCanvas : public TObject {
public:
  TVK_CLASS(TcxCanvas, TObject)
  // Wraps ACanvas (not owned).
  explicit TcxCanvas(TCanvas* ACanvas) : FCanvas(ACanvas) {}
  // Frees the regions still saved.
  ~TcxCanvas() override;

  TCanvas* Canvas() const { return FCanvas; }
  void SetCanvas(TCanvas* ACanvas) { FCanvas = ACanvas; }
  HDC Handle() const { return FCanvas->Handle(); }
  TBrush& Brush() const { return FCanvas->Brush(); }
  TFont& Font() const { return FCanvas->Font(); }
  TPen& Pen() const { return FCanvas->Pen(); }
  DWORD CopyMode() const { return FCanvas->CopyMode; }
  void SetCopyMode(DWORD AValue) { FCanvas->CopyMode = AValue; }
  POINT ViewportOrg() const;
  void SetViewportOrg(POINT P);
  POINT WindowOrg() const;
  void SetWindowOrg(POINT P);
  // Viewport origin minus window origin.
  POINT DCOrigin() const;

  // The three stacks; popping an empty one does nothing.
  void SaveDC();
  void RestoreDC();
  void SaveClipRegion();
  void RestoreClipRegion();
  void SaveState();
  void RestoreState();
  int SavedDCCount() const { return int(FSavedDCs.size()); }
  int SavedClipRegionCount() const { return int(FSavedRegions.size()); }
  int SavedStateCount() const { return int(FSavedStates.size()); }

  // The font, brush and pen selected into ADC (and its raster mode) become
  // ACanvas's; one that is ACanvas's own already stays as it is.
  static void AdoptDCObjects(TCanvas& ACanvas, HDC ADC);

  void GetParams(TcxViewParams& AParams) const;
  void SetParams(const TcxViewParams& AParams);
  void SetBrushColor(TColor AValue);
  // Text turned AValue degrees counter-clockwise (TrueType fonts only when turned).
  void SetFontAngle(int AValue);
  void SetPixel(int X, int Y, TColor AColor);

  void BeginPath();
  void EndPath();
  void WidenPath();
  // The path as a new region, in logical coordinates when asked; empty when there is no path.
  std::unique_ptr<TcxRegion> PathToRegion(bool AConsiderOrigin = true);

  void CopyRect(const RECT& ADest, TCanvas& ACanvas, const RECT& ASource) { FCanvas->CopyRect(ADest, ACanvas, ASource); }
  void Draw(int X, int Y, TGraphic& AGraphic) { FCanvas->Draw(X, Y, AGraphic); }
  void LineTo(int X, int Y) { FCanvas->LineTo(X, Y); }
  void MoveTo(int X, int Y) { FCanvas->MoveTo(X, Y); }
  void Polygon(std::span<const POINT> APoints) { FCanvas->Polygon(APoints); }
  void Polyline(std::span<const POINT> APoints) { FCanvas->Polyline(APoints); }
  void Rectangle(const RECT& R) { FCanvas->Rectangle(R.left, R.top, R.right, R.bottom); }
  void Rectangle(int X1, int Y1, int X2, int Y2) { FCanvas->Rectangle(X1, Y1, X2, Y2); }
  // From the radial through ARadial1 counter-clockwise to the one through ARadial2.
  void Pie(const RECT& R, POINT ARadial1, POINT ARadial2) {
    FCanvas->Pie(R.left, R.top, R.right, R.bottom, ARadial1.x, ARadial1.y, ARadial2.x, ARadial2.y);
  }

  // AGlyph at (X, Y) with its transparent colour replaced by ABackgroundColor
  // (clNone: what the canvas shows); disabled, the image list's disabled look.
  void DrawGlyph(int X, int Y, TBitmap& AGlyph, bool AEnabled = true, TColor ABackgroundColor = clNone);
  // Nothing for an index outside the list.
  void DrawImage(TCustomImageList* AImages, int X, int Y, int AIndex, bool AEnabled = true);

  // The DC's clip region (0, 0, 30000, 30000 without one), in logical
  // coordinates when asked. The caller owns it.
  std::unique_ptr<TcxRegion> GetClipRegion(bool AConsiderOrigin = true);
  void SetClipRegion(TcxRegion* ARegion, TcxRegionOperation AOperation, bool ADestroyRegion = true,
                     bool AConsiderOrigin = true);
  void ExcludeClipRect(const RECT& R);
  void IntersectClipRect(const RECT& R);
  bool RectVisible(const RECT& R);
  bool RectFullyVisible(const RECT& R);

  // clNone draws nothing; clDefault keeps the brush colour.
  void FillRect(const RECT& R, TColor AColor);
  // Tiles ABitmap on a grid anchored at (0, 0) (the brush without one).
  void FillRect(const RECT& R, TBitmap* ABitmap = nullptr, bool AExcludeRect = false);
  // Frame, then the rest filled with the parameters' colour and bitmap.
  void FillRect(RECT& R, const TcxViewParams& AParams, TcxBorders ABorders, TColor ABorderColor, int ALineWidth,
                bool AExcludeRect = false);
  // The sides' strips left, right, top, bottom, each clipped to R.
  void FrameRect(const RECT& R, TColor AColor = clDefault, int ALineWidth = 1, TcxBorders ABorders = cxBordersAll,
                 bool AExcludeFrame = false);
  void ExcludeFrameRect(const RECT& R, int ALineWidth = 1, TcxBorders ABorders = cxBordersAll);
  void DrawComplexFrame(const RECT& R, TColor ALeftTopColor, TColor ARightBottomColor,
                        TcxBorders ABorders = cxBordersAll, int ABorderWidth = 1);
  void DrawEdge(const RECT& R, bool ASunken, bool AOuter, TcxBorders ABorders = cxBordersAll);
  void InvertRect(const RECT& R);
  void InvertFrame(const RECT& R, int ABorderSize);
  void FillRegion(TcxRegion* ARegion, TColor AColor);
  void FrameRegion(TcxRegion* ARegion, TColor AColor, int ABorderWidth = 1, int ABorderHeight = 1);
  void DrawRegion(TcxRegion* ARegion, TColor AContentColor, TColor ABorderColor, int ABorderWidth = 1,
                  int ABorderHeight = 1);
  // White brush, black font, the system's focus rectangle.
  void DrawFocusRect(const RECT& R);
  // The focus rectangle only on ABorders' sides; with AExclude those sides are then excluded.
  void DrawFocusRectEx(const RECT& R, TcxBorders ABorders, bool AExclude = false);
  // AWidth focus rectangles, each one pixel inside the previous.
  void DrawDesignSelection(RECT& ARect, int AWidth);
  // ABitmap over the canvas area at (X, Y) (or over ABackground) with constant opacity AAlpha.
  void TransparentDraw(int X, int Y, TBitmap& ABitmap, uint8_t AAlpha, TBitmap* ABackground = nullptr);
  // The text height of AFont on this canvas (the font becomes the canvas's).
  int FontHeight(TFont& AFont);
  // Pie by angles in degrees, counter-clockwise from three o'clock.
  void Pie(const RECT& R, int AStartAngle, int ASweepAngle);

  SIZE TextExtent(const WideString& AText);
  int TextWidth(const WideString& AText) { return TextExtent(AText).cx; }
  int TextHeight(const WideString& AText) { return TextExtent(AText).cy; }
  // The rectangle AText takes laid out in R with AFlags, placed in R by its alignment.
  void TextExtent(const WideString& AText, RECT& R, int AFlags);
  void DrawTexT(const WideString& AText, RECT R, int AFlags, bool AEnabled = true,
                TcxRotationAngle ARotationAngle = ra0);
  void DrawTexT(const WideString& AText, RECT R, TAlignment AAlignmentHorz, TcxAlignmentVert AAlignmentVert,
                bool AMultiLine, bool AShowEndEllipsis);
  void AlignMultiLineTextRectVertically(RECT& R, const WideString& AText, TcxAlignmentVert AAlignmentVert,
                                        bool AWordBreak, bool AShowPrefix, bool AEnabled = true,
                                        bool ADontBreakChars = false, bool AEndEllipsis = false);

  // The rectangle of every output line of AText laid out in R (appended to ABounds).
  void GetTextStringsBounds(WideString AText, RECT R, int AFlags, bool AEnabled, std::vector<RECT>& ABounds);

  // 32-bit pixels turned (and flipped) in place.
  static void RotateBitmap(TBitmap& ABitmap, TcxRotationAngle ARotationAngle, bool AFlipVertically = false);
  static void FlipHorizontally(TBitmap& ABitmap);

private:
  struct TDCState {
    HDC Handle;
    int State;
  };
  struct TCanvasState {
    std::unique_ptr<TFont> Font;
    std::unique_ptr<TBrush> Brush;
    std::unique_ptr<TPen> Pen;
  };
  void DrawTextPass(const WideString& AText, RECT R, int AFlags, bool ATextOut, TcxRotationAngle ARotationAngle);

  TCanvas* FCanvas;
  std::vector<TDCState> FSavedDCs;
  std::vector<std::unique_ptr<TcxRegion>> FSavedRegions;
  std::vector<TCanvasState> FSavedStates;
};

// A canvas on the desktop's device context, for measuring.
class TcxScreenCanvas : public TcxCanvas {
public:
  TVK_CLASS(TcxScreenCanvas, TcxCanvas)
  TcxScreenCanvas();
  ~TcxScreenCanvas() override;
  // Releases the desktop context (taken again on next use).
  void Dormant();

private:
  std::unique_ptr<TCanvas> FScreen;
};

// A canvas re-pointed at whatever device context is being painted; nests.
class TcxPaintCanvas : public TcxCanvas {
public:
  TVK_CLASS(TcxPaintCanvas, TcxCanvas)
  TcxPaintCanvas() : TcxCanvas(nullptr) {}
  ~TcxPaintCanvas() override;
  void BeginPaint(HDC ADC);
  void BeginPaint(TCanvas* ACanvas);
  void EndPaint();
  int Counter() const { return int(FStates.size()); }

private:
  struct TPaintState {
    TCanvas* PrevCanvas;
    int SaveDC;
    std::unique_ptr<TCanvas> Own;
  };
  std::vector<TPaintState> FStates;
};

// ---- Bitmaps

// The compressed form of a bitmap's form data: a 10-byte header (size of what
// follows, the signature 58 44 42 4D, version 2), element size and remainder,
// the remainder's bytes, then repeat and literal runs of at most 125 elements.
std::vector<uint8_t> CompressBitmapData(std::span<const uint8_t> APlain, int AElementSize);
// Expands compressed data at the stream's position into APlain (versions 1
// and 2; another version gives nothing). False, with the stream back where it
// was, when the data does not start with the signature. Never reads past the
// data's end or the stream's.
bool DecompressBitmapData(TStream& AStream, std::vector<uint8_t>& APlain);

// A bitmap with a library canvas, batched change notifications and form data
// that can be stored compressed.
class TcxBitmap : public TBitmap {
public:
  TVK_CLASS(TcxBitmap, TBitmap)
  TcxBitmap() : TcxBitmap(0, 0) {}
  TcxBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat = TPixelFormat::pf24bit);
  explicit TcxBitmap(const RECT& ARect, TPixelFormat APixelFormat = TPixelFormat::pf24bit)
      : TcxBitmap(ARect.right - ARect.left, ARect.bottom - ARect.top, APixelFormat) {}

  TcxCanvas& cxCanvas() { return *FcxCanvas; }
  RECT ClientRect() const { return {0, 0, Width(), Height()}; }
  bool CompressData() const { return FCompressData; }
  void SetCompressData(bool AValue) { FCompressData = AValue; }

  void BeginUpdate() { ++FLockCount; }
  void CancelUpdate() { --FLockCount; }
  // The notification runs at the outermost end when forced or a change came meanwhile.
  void EndUpdate(bool AForceUpdate = true);
  // Negative sides become 0; an unchanged size changes nothing.
  void SetSize(int AWidth, int AHeight);
  void SetSize(const RECT& ARect) { SetSize(ARect.right - ARect.left, ARect.bottom - ARect.top); }
  void CopyBitmap(TBitmap& ASrcBitmap, DWORD ACopyMode = SRCCOPY);
  void CopyBitmap(TBitmap& ASrcBitmap, const RECT& ADestRect, POINT ASrcTopLeft, DWORD ACopyMode = SRCCOPY);
  void Rotate(TcxRotationAngle ARotationAngle, bool AFlipVertically = false);

  void ReadData(TStream& AStream) override;
  void WriteData(TStream& AStream) override;

protected:
  void Changed() override;
  // After every notification; nothing here.
  virtual void BitmapChanged() {}

private:
  bool FCompressData = false;
  std::unique_ptr<TcxCanvas> FcxCanvas;
  int FLockCount = 0;
  bool FModified = false;
};

// Always 32 bits per pixel.
class TcxBitmap32 : public TcxBitmap {
public:
  TVK_CLASS(TcxBitmap32, TcxBitmap)
  TcxBitmap32() : TcxBitmap32(0, 0) {}
  TcxBitmap32(int AWidth, int AHeight, bool AClear = false);
  TcxBitmap32(const RECT& ARect, bool AClear) : TcxBitmap32(ARect.right - ARect.left, ARect.bottom - ARect.top, AClear) {}

  // The pixels, the bottom row first.
  void GetBitmapColors(TRGBColors& AColors);
  void SetBitmapColors(const TRGBColors& AColors);
  // Black.
  virtual void Clear();
  bool IsAlphaUsed() { return BitmapHasAlpha(*this); }
  void Darken(int APercent);
  void Lighten(int APercent);
  // This bitmap blended into ARect of ADestBitmap.
  void AlphaBlend(TcxBitmap32& ADestBitmap, const RECT& ARect, bool ASmoothImage, uint8_t AConstantAlpha = 255);
  // Pixels set in the mask are cleared.
  void Filter(TBitmap& AMaskBitmap);
  void Invert();
  void MakeOpaque() { SetAlphaChannel(255); }
  void SetAlphaChannel(uint8_t AAlpha);
  // Pixels of that colour become transparent black; other pixels of alpha 0 opaque.
  void RecoverTransparency(TColor ATransparentColor);
  void LoadFromStream(TStream& AStream) override;

protected:
  // Raises "Wrong PixelFormat" for anything but 32 bits per pixel.
  void BitmapChanged() override;
  template <class F>
  void ForEachPixel(F&& f);
};

enum TcxBitmapTransformationMode {
  btmDingy, btmDirty, btmGrayScale, btmSetOpaque, btmMakeMask, btmFade, btmDisable, btmCorrectBlend, btmHatch,
  btmClear, btmResetAlpha
};

// A 32-bit bitmap that knows its transparent colours and transforms its pixels.
class TcxAlphaBitmap : public TcxBitmap32 {
public:
  TVK_CLASS(TcxAlphaBitmap, TcxBitmap32)
  TcxAlphaBitmap(int AWidth, int AHeight, RGBQUAD ATransparentBkColor = {});
  // With a background of non-zero alpha: every pixel that colour; else black.
  void Clear() override;
  void RefreshImage(int AWidth, int AHeight);
  void RecoverAlphaChannel(TColor ATransparentColor);
  // Colours (RGB, alpha ignored) that count as transparent.
  void AddTransparentColor(TColor AColor);
  void ClearTransparentColors() { FTransparentPixels.clear(); }
  // Columns outer, rows (bottom-up) inner.
  void TransformBitmap(TcxBitmapTransformationMode AMode);
  bool IsTransparentPixel(RGBQUAD APixel) const;
  // Squares of AStep pixels counted from the bottom-left: AColor1 with AAlpha1, then AColor2 with AAlpha2.
  void DrawHatch(TColor AColor1, TColor AColor2, uint8_t AStep, uint8_t AAlpha1, uint8_t AAlpha2);
  // The shape of AMaskBitmap (black on white) as a shadow of AShadowColor
  // moved AShadowSize down and right, behind this bitmap's picture; with
  // AInflateSize the bitmap grows by AShadowSize to hold it.
  void DrawShadow(TcxAlphaBitmap& AMaskBitmap, int AShadowSize, TColor AShadowColor, bool AInflateSize);
  // The embossed look of a disabled image: the mask (inverted in place) one
  // pixel down and right, and the button shadow colour where it was white.
  void Shade(TcxAlphaBitmap& AMaskBitmap);

private:
  struct THatchData {
    RGBQUAD Color1{}, Color2{};
    uint8_t Alpha1 = 0, Alpha2 = 0, Step = 1;
  };
  THatchData FHatchData;
  RGBQUAD FTransparentBkColor;
  std::vector<uint32_t> FTransparentPixels;
};

// ---- Colour and drawing routines

// The platform flags the blend dispatch reads (the core services' values from
// the unit's start-up; tests set them to reach every path).
struct TcxGraphicsPlatform {
  bool Win9x = false, WinNT = true, Wow64 = false;
  bool SystemAlphaBlend = true;  // the system's AlphaBlend may be used (when bound)
};
TcxGraphicsPlatform& GraphicsPlatform();

int GetScreenPixelsPerInch();
// The vertical screen resolution.
int GetScreenDPI();
int ScaleByScreenDPI(int AValue);
RECT ScaleRectByScreenDPI(const RECT& R);

void DeflateRectByMargins(RECT& R, const RECT& AMargins);
bool IsBitmapNonEmpty(TBitmap* ABitmap);
bool RectSizesEqual(const RECT& R1, const RECT& R2);
void BitBltRect(HDC ADestDC, HDC ASrcDC, const RECT& ADestRect, DWORD ARop, POINT ASrcTopLeft = {0, 0});
uint8_t ClampToByte(int AValue);
// To the nearest, ties to even, then clamped.
uint8_t RoundToByte(float AValue);
bool SameColorValue(TColor A, TColor B);

// Per channel the signed percentages of the button face, highlight and window
// colours; a black or white face gives the highlight colour (unless it is black).
TColor MixSystemColors(int ABtnFacePercent, int AHighlightPercent, int AWindowPercent);
TColor GetLightPressedColor();
TColor GetLightHotColor();

// The system's AlphaBlend (bound by name at the unit's start-up).
bool IsSystemAlphaBlendAvailable();
bool SystemAlphaBlend(HDC ADestDC, HDC ASrcDC, const RECT& ADestRect, const RECT& ASrcRect, uint8_t AConstantAlpha = 255);
// The system's blend when it can serve, else the library's own (resampled when smoothing).
void AlphaBlendDC(HDC ADestDC, HDC ASrcDC, const RECT& ADestRect, const RECT& ASrcRect, bool ASmoothImage = false,
                  uint8_t AConstantAlpha = 255);
// One pixel of ASource over ADest with a constant alpha (premultiplied, single precision).
void BlendPixelPremultiplied(RGBQUAD& ADest, const RGBQUAD& ASource, uint8_t AAlpha);
void BlendBitmaps32(TcxBitmap32& ADest, TcxBitmap32& ASource, uint8_t AConstantAlpha = 255);
void AlphaBlendBitmaps(TBitmap& ADestBitmap, TBitmap& ASrcBitmap, const RECT& ADestRect, const RECT& ASrcRect,
                       bool ASmoothImage = false, uint8_t AConstantAlpha = 255);
// Lanczos-3 with integer weights (HALFTONE stretching on NT without high quality).
void ResampleBitmapLanczos(TBitmap& ASource, TBitmap& ADest, bool AHighQuality);
void StretchBitmapPlain(TBitmap& ADest, TBitmap& ASource);

// Whole text with ALength -1.
bool GetTextExtentOnDC(HDC ADC, const WideString& AText, SIZE& ASize, int ALength = -1);
int DrawTextOnDC(HDC ADC, const WideString& AText, RECT& R, int ABkMode, TColor ATextColor, int ALength, UINT AFormat);
bool TextOutOnDC(HDC ADC, const WideString& AText, POINT AOrigin, int ALength, UINT AOptions, const RECT* AClipRect);
int GetDCTextHeight(HDC ADC);
// DrawTextOnDC with a transparent background on a copy of R.
int DrawTextOnCanvas(TCanvas& ACanvas, const WideString& AText, RECT R, TColor ATextColor, UINT AFormat);
// Upright text drawn into a copy of the area turned upright, then turned by the
// angle and copied back (ra0: straight onto the canvas). clDefault: the font's colour.
int DrawRotatedText(TcxCanvas& ACanvas, const WideString& AText, const RECT& ADestRect,
                    TcxRotationAngle ARotationAngle, TColor ATextColor, UINT AFormat);
// The narrowest rectangle the text fits in with at most ARowCount rows (0 or
// less: 32000 pixels high), found by bisection.
RECT GetTextRectForRowCount(HDC ADC, const WideString& AText, int ARowCount, bool AReturnMaxRectHeight = false);
SIZE GetTextSizeOnDC(HDC ADC, const WideString& AText);
SIZE GetCurrentCursorSize();
// A control's parent painted under it: through the themes' parent background,
// or (double-buffered parent, no theme library) by printing the parent.
void DrawControlParentBackground(TWinControl* AControl, TcxCanvas& ACanvas, const RECT& R);
// R of AControl's client area filled with what its parent shows there; a
// parent already being painted this way is skipped (no re-entry).
void PaintParentIntoCanvas(TWinControl* AControl, TcxCanvas& ACanvas, const RECT& R, bool APaintChildren);
// AControl printed at AOrigin of the canvas, clipped to ABounds (its own
// coordinates), optionally with its non-client part and windowed children.
void PaintControlTo(TWinControl* AControl, TcxCanvas& ACanvas, POINT AOrigin, TWinControl* AExcludedControl,
                    bool ANonClient, bool APaintChildren, const RECT& ABounds);

bool IsImageIndexValid(TCustomImageList* AImages, int AIndex);
// AValue into AField: the change link and the free notification move from the
// old list to the new one, and the link is told (nothing when unchanged).
void ReplaceImageListLink(TCustomImageList* AValue, TCustomImageList*& AField, TChangeLink* AChangeLink,
                          TComponent* ANotifyComponent);
// Charset, name, height, pitch and style of a new font.
void ResetFontToDefault(TFont& AFont);
// Pixel format first, then width, then height.
void SetBitmapFormatAndSize(TBitmap& ABitmap, int AWidth, int AHeight, TPixelFormat APixelFormat);
std::unique_ptr<TBitmap> CreateBitmapOfSize(int AWidth, int AHeight, TPixelFormat APixelFormat = TPixelFormat::pf24bit);
std::unique_ptr<TBitmap> CreateBitmapOfSize(const RECT& ARect, TPixelFormat APixelFormat = TPixelFormat::pf24bit);
// GetObject with the structures' own sizes; true on success.
bool GetBitmapObjectData(HBITMAP AHandle, BITMAP& AData);
bool GetBrushObjectData(HBRUSH AHandle, LOGBRUSH& AData);
bool GetFontObjectData(HFONT AHandle, LOGFONTW& AData);
bool GetPenObjectData(HPEN AHandle, LOGPEN& AData);
void InvalidateWindowRect(HWND AWnd, const RECT& R, bool AEraseBackground = false);
void InvalidateWindow(HWND AWnd, bool AEraseBackground = false);
// Measured on the shared screen canvas, which is made dormant afterwards.
int GetFontTextHeight(TFont& AFont);

// A plain copy, except on Windows 9x from a bitmap below 32 bits to a 32-bit
// device: through an alpha bitmap whose alpha is reset.
void CopyBitmapToDC(HDC ADC, TBitmap& ABitmap, const RECT& ADestRect, DWORD ARop = SRCCOPY,
                    POINT ASrcTopLeft = {0, 0});

// The draw modes of DrawGlyphOrImage.
enum TcxImageDrawMode { idmNormal, idmDisabled, idmFaded, idmGrayScale, idmDingy, idmShadowed };
// Consulted first by DrawGlyphOrImage with the draw bitmap's canvas; true: it has drawn.
using TcxDrawImageHook = bool (*)(TcxCanvas& ACanvas, TCustomImageList* AImages, int AImageIndex, int ADrawMode,
                                  const RECT& AGlyphRect, TBitmap* AGlyph);
extern TcxDrawImageHook DrawImageHook;
// AGlyph (before the list) or image AImageIndex of AImages drawn in AGlyphRect
// over ADrawRect's background (ABrush, or what ADC shows), in a draw mode,
// through the three shared alpha bitmaps.
void DrawGlyphOrImage(HDC ADC, const RECT& AGlyphRect, const RECT& ADrawRect, TBitmap* AGlyph,
                      TCustomImageList* AImages, int AImageIndex, int ADrawMode, bool ASmoothImage = false,
                      HBRUSH ABrush = nullptr, TColor ATransparentColor = clNone,
                      bool AUseGlyphTransparentColor = true);
// The draw, image and mask bitmaps (null before the first draw).
struct TcxSharedAlphaBitmaps {
  TcxAlphaBitmap *Draw, *Image, *Mask;
};
TcxSharedAlphaBitmaps SharedAlphaBitmaps();

// The 50 % checker pattern brush and the system colours' brushes (index 0..30).
HBRUSH CheckerPatternBrush();
HBRUSH SystemColorBrush(int AIndex);

// The shared canvases: made on first use, none once the unit's shut-down began.
TcxScreenCanvas* GetScreenCanvas();
TcxPaintCanvas* GetPaintCanvas();

// Clears the shut-down flag.
void cxGraphicsUnitStart();
// Sets it and frees the shared canvases.
void cxGraphicsUnitStop();

}  // namespace tvk
