#pragma once
// Drawing: colours, the font, pen and brush a canvas draws with, the canvas on
// a device context, graphics (bitmaps: device-independent sections with a
// canvas of their own; icons), and pictures with the registry of picture file
// formats. Every GDI handle is owned by exactly one object here and freed with
// it.
#include "Classes.h"
#include "Streams.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The canvas's own TextOut and DrawText; the system's are called by their W names.
#undef TextOut
#undef DrawText

namespace tvk {

// A colour: 0x00BBGGRR, or a system colour (kSystemColor | COLOR_xxx), or clNone / clDefault.
using TColor = int32_t;
constexpr TColor kSystemColor = int32_t(0xFF000000);
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clNavy = 0x800000,
                 clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00,
                 clYellow = 0x00FFFF, clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                 clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;
constexpr TColor clScrollBar = kSystemColor | COLOR_SCROLLBAR, clBackground = kSystemColor | COLOR_BACKGROUND,
                 clWindow = kSystemColor | COLOR_WINDOW, clWindowText = kSystemColor | COLOR_WINDOWTEXT,
                 clBtnFace = kSystemColor | COLOR_BTNFACE, clBtnShadow = kSystemColor | COLOR_BTNSHADOW,
                 clBtnText = kSystemColor | COLOR_BTNTEXT, clBtnHighlight = kSystemColor | COLOR_BTNHIGHLIGHT,
                 clHighlight = kSystemColor | COLOR_HIGHLIGHT, clHighlightText = kSystemColor | COLOR_HIGHLIGHTTEXT,
                 clGrayText = kSystemColor | COLOR_GRAYTEXT, cl3DDkShadow = kSystemColor | COLOR_3DDKSHADOW,
                 cl3DLight = kSystemColor | COLOR_3DLIGHT, clHotLight = kSystemColor | COLOR_HOTLIGHT;
constexpr TColor clWindowFrame = kSystemColor | COLOR_WINDOWFRAME;

// The RGB value of a colour (system colours looked up now).
COLORREF ColorToRGB(TColor color);

// Text placement across lines, shortening of texts too long for their place,
// and the glyph's side of a button's caption.
enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TEllipsisPosition { epNone, epPathEllipsis, epEndEllipsis, epWordEllipsis };
enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Moves the window origin of Dc by (Dx, Dy): what is drawn at (0, 0) then
// lands at (Dx, Dy) of the device.
void MoveWindowOrg(HDC dc, int dx, int dy);

// The one count of GDI objects the library and its painters hold. Each brush,
// pen, font, region and bitmap they make passes through GdiTrack and goes
// through GdiFree (or a TGdiObject), so a paint can be checked for leaks even
// where the system keeps no count of its own.
void GdiTrackCreated(HGDIOBJ handle);
template <class H>
H GdiTrack(H handle) {
  GdiTrackCreated(handle);
  return handle;
}
void GdiFree(HGDIOBJ handle);  // deletes a tracked object; null is ignored
long GdiObjectsAlive();

// A tracked GDI object freed with its holder.
template <class H>
class TGdiObject {
public:
  explicit TGdiObject(H handle = nullptr) : FHandle(GdiTrack(handle)) {}
  ~TGdiObject() { GdiFree(FHandle); }
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;
  H Get() const { return FHandle; }
  operator H() const { return FHandle; }

private:
  H FHandle;
};

// Font, pen and brush: their values, a handle made on demand, OnChange after
// every change (a canvas that uses them selects the new handle).
class TGraphicsObject : public TPersistent {
public:
  TVK_CLASS(TGraphicsObject, TPersistent)
  ~TGraphicsObject() override;
  TNotifyEvent OnChange;

protected:
  void Changed();  // drops the handle, then OnChange
  HGDIOBJ FHandle = nullptr;
};

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };

class TFont : public TGraphicsObject {
public:
  TVK_CLASS(TFont, TGraphicsObject)
  TFont();
  const WideString& Name() const { return FName; }
  void SetName(const WideString& name);
  // Size in points; Height in pixels (negative: character height) at PixelsPerInch.
  int Size() const;
  void SetSize(int points);
  int Height() const { return FHeight; }
  void SetHeight(int height);
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles style);
  BYTE Charset() const { return FCharset; }
  void SetCharset(BYTE charset);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch pitch);
  // The resolution Size is counted in (the screen's when made).
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int ppi);
  // How closely the system must match the font (OUT_*_PRECIS; OUT_TT_ONLY_PRECIS takes TrueType only).
  BYTE OutputPrecision() const { return FOutputPrecision; }
  void SetOutputPrecision(BYTE value);
  HFONT Handle();
  // Takes Font over: the properties follow its description, which later
  // handles keep whole (escapement and all) until a property changes.
  void SetHandle(HFONT font);
  void Assign(const TPersistent& source) override;
  // Charset, Color, Height, Name, Pitch and Style as named properties.
  void DefineProperties(TFiler& filer) override;

private:
  void Changed();  // a property changed: the adopted description is dropped
  std::optional<LOGFONTW> FLogFont;
  WideString FName;
  int FPixelsPerInch;
  int FHeight;
  TColor FColor = clWindowText;
  TFontStyles FStyle = 0;
  BYTE FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = TFontPitch::fpDefault;
  BYTE FOutputPrecision = OUT_DEFAULT_PRECIS;
};

// The name a new font takes.
inline constexpr const wchar_t* kDefaultFontName = L"Tahoma";

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
// The raster operations a pen draws with: R2_BLACK to R2_NOTXORPEN in this order.
enum class TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen, pmMaskNotPen,
  pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
// The R2_* value of a mode, and the mode of an R2_* value (pmCopy for none).
int PenModeToRop2(TPenMode mode);
TPenMode PenModeOfRop2(int rop2);

class TPen : public TGraphicsObject {
public:
  TVK_CLASS(TPen, TGraphicsObject)
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  int Width() const { return FWidth; }
  void SetWidth(int width);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle style);
  // Set on the context whenever a canvas selects the pen.
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode mode);
  HPEN Handle();
  void Assign(const TPersistent& source) override;

private:
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = TPenStyle::psSolid;
  TPenMode FMode = TPenMode::pmCopy;
};

enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
public:
  TVK_CLASS(TBrush, TGraphicsObject)
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle style);
  HBRUSH Handle();  // the null brush for bsClear
  void Assign(const TPersistent& source) override;

private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = TBrushStyle::bsSolid;
};

class TGraphic;

// Drawing on a device context with the canvas's font, pen and brush, which it
// selects before each operation and deselects when its context goes.
class TCanvas : public TPersistent {
public:
  TVK_CLASS(TCanvas, TPersistent)
  TCanvas();
  ~TCanvas() override;

  // The context, asked of CreateHandle when there is none; raises when none can be had.
  HDC Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Uses Dc (not owned); null releases the one in use.
  void SetHandle(HDC dc);

  TFont& Font() { return FFont; }
  TPen& Pen() { return FPen; }
  TBrush& Brush() { return FBrush; }

  void FillRect(const RECT& rect);    // with the brush
  void FrameRect(const RECT& rect);   // one pixel, with the brush's colour
  void Rectangle(int left, int top, int right, int bottom);  // pen outline, brush inside
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void TextOut(int x, int y, const WideString& text);  // brush style clear: transparent
  void TextRect(const RECT& rect, int x, int y, const WideString& text);  // clipped to Rect
  // DrawTextW with the canvas's font (DT_* Format).
  void DrawText(RECT& rect, const WideString& text, UINT format);
  SIZE TextExtent(const WideString& text);
  int TextWidth(const WideString& text) { return TextExtent(text).cx; }
  int TextHeight(const WideString& text) { return TextExtent(text).cy; }
  void Draw(int x, int y, TGraphic& graphic);
  void StretchDraw(const RECT& rect, TGraphic& graphic);
  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor color);
  void Polygon(std::span<const POINT> points);
  void Polyline(std::span<const POINT> points);
  // The pie of the ellipse in Rect from the radial through (X3, Y3) counter-clockwise to (X4, Y4).
  void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  // The context with the canvas's font, pen and brush selected: for drawing
  // on it directly (call Changed-worthy operations through the canvas).
  HDC StateHandle() {
    RequireState();
    return FHandle;
  }
  // Source's Src rectangle into Dest, stretched (raster operation CopyMode).
  void CopyRect(const RECT& dest, TCanvas& source, const RECT& src);
  DWORD CopyMode = SRCCOPY;
  // ExtTextOut options added to every text call (ETO_RTLREADING: right to left).
  UINT TextFlags = 0;

  // Held while other code draws on the context directly; nests.
  void Lock() { ++FLockCount; }
  void Unlock() { --FLockCount; }
  int LockCount() const { return FLockCount; }

  // After every drawing operation (a bitmap's canvas tells its bitmap).
  TNotifyEvent OnChange;

protected:
  void Changed();
  // Gets a context for a canvas that makes its own; nothing here.
  virtual void CreateHandle() {}
  // Selects the current font, pen and brush handles.
  void RequireState();
  // Puts the original objects back and forgets the context.
  void DeselectHandles();

private:
  HDC FHandle = nullptr;
  TFont FFont;
  TPen FPen;
  TBrush FBrush;
  HGDIOBJ FOldFont = nullptr, FOldPen = nullptr, FOldBrush = nullptr;
  HGDIOBJ FSelFont = nullptr, FSelPen = nullptr, FSelBrush = nullptr;
  int FLockCount = 0;
};

class EInvalidGraphic : public Exception { public: using Exception::Exception; };
class EInvalidGraphicOperation : public Exception { public: using Exception::Exception; };

// A class of graphic that a picture can make by name or file extension.
struct TGraphicClassRef {
  TClass Info;
  std::unique_ptr<TGraphic> (*Create)();
};
using TGraphicClass = const TGraphicClassRef*;
template <class T>
TGraphicClass GraphicClassOf() {
  static const TGraphicClassRef ref{&T::StaticClassInfo(), []() -> std::unique_ptr<TGraphic> { return std::make_unique<T>(); }};
  return &ref;
}

// A picture of some format: size, drawing, streaming and the form data of its
// kind (ReadData / WriteData, the property "Data").
class TGraphic : public TPersistent {
public:
  TVK_CLASS(TGraphic, TPersistent)
  virtual bool Empty() const = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual void SetWidth(int width) = 0;
  virtual void SetHeight(int height) = 0;
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool value);
  bool Modified() const { return FModified; }
  void SetModified(bool value) { FModified = value; }

  // The whole picture into Rect of Canvas.
  virtual void Draw(TCanvas& canvas, const RECT& rect) = 0;
  virtual void LoadFromStream(TStream& stream) = 0;
  virtual void SaveToStream(TStream& stream) = 0;
  void LoadFromFile(const WideString& fileName);
  void SaveToFile(const WideString& fileName);
  // Raise EInvalidGraphicOperation unless a kind supports the clipboard.
  virtual void LoadFromClipboardFormat(UINT format, HANDLE data);
  virtual void SaveToClipboardFormat(UINT& format, HANDLE& data);

  void DefineProperties(TFiler& filer) override;
  // The form data of this kind of graphic.
  virtual void ReadData(TStream& stream);
  virtual void WriteData(TStream& stream);

  TNotifyEvent OnChange;

protected:
  // Marks the graphic modified and tells OnChange.
  virtual void Changed();

private:
  bool FTransparent = false;
  bool FModified = false;
};

// How a bitmap keeps its pixels: compatible with the screen (pfDevice), a
// device-independent section of 1 to 32 bits per pixel (pf15bit is 5-5-5 and
// pf16bit 5-6-5 in 16 bits), or a layout none of these names (pfCustom: it
// cannot be asked for, only met).
enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum class TBitmapHandleType { bmDIB, bmDDB };

class TBitmapCanvas;

// A bitmap: a device-independent section (pf1bit to pf32bit) or a bitmap
// compatible with the screen (pfDevice), with its own memory-context canvas.
// Sections of 8 bits or fewer get a fixed palette: black and white, the 16
// standard colours, or a 6 x 6 x 6 colour cube with a grey ramp.
// Its file format is a BMP file; its form data a 32-bit length and a BMP file.
class TBitmap : public TGraphic {
public:
  TVK_CLASS(TBitmap, TGraphic)
  TBitmap();
  ~TBitmap() override;

  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  void SetSize(int width, int height);  // contents are not kept
  void SetWidth(int width) override { SetSize(width, FHeight); }
  void SetHeight(int height) override { SetSize(FWidth, height); }
  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  // Converts the pixels (24 to 32 bits leaves every alpha byte 0; into 8 bits
  // or fewer they take the nearest colour of the palette); pfCustom raises
  // EInvalidOperation.
  void SetPixelFormat(TPixelFormat format);
  TBitmapHandleType HandleType() const {
    return FPixelFormat == TPixelFormat::pfDevice ? TBitmapHandleType::bmDDB : TBitmapHandleType::bmDIB;
  }

  // The bitmap handle (still owned), taken out of the canvas's context first
  // so that it may be handed to the system.
  HBITMAP Handle();
  // Takes over Bitmap (a section or device bitmap); its size and format follow it.
  void SetHandle(HBITMAP bitmap);
  // Gives the handle up to the caller.
  HBITMAP ReleaseHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Gives the GDI handles back and keeps the pixels in memory; the next use
  // makes the bitmap live again with the same size, format and pixels.
  void Dormant();
  TCanvas& Canvas();

  // The address of row Y of a section (row 0 is the top); raises for pfDevice.
  void* ScanLine(int y);
  // The colour of the lower-left pixel: the colour that counts as transparent.
  TColor TransparentColor();
  // Drawing may skip palette realisation (quick drawing); sections carry their colours anyway.
  bool IgnorePalette = false;

  // A bitmap resource of Instance; raises EResNotFound when missing.
  void LoadFromResourceName(HINSTANCE instance, const WideString& name);
  // A BMP file (EInvalidGraphic "Bitmap image is not valid" for anything else).
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  // Transparent: the pixels of TransparentColor are left out.
  void Draw(TCanvas& canvas, const RECT& rect) override;
  void LoadFromClipboardFormat(UINT format, HANDLE data) override;  // CF_BITMAP
  void SaveToClipboardFormat(UINT& format, HANDLE& data) override;

  void Assign(const TPersistent& source) override;
  void ReadData(TStream& stream) override;
  void WriteData(TStream& stream) override;

private:
  friend class TBitmapCanvas;
  void FreeContext();
  void FreeImage();
  void Create();
  void LoadDib(const std::uint8_t* info, std::size_t size, std::size_t bitsOffset);

  HBITMAP FHandle = nullptr;
  void* FBits = nullptr;
  int FStride = 0;
  bool FTopDown = false;  // a section given by SetHandle may store its top row first
  int FWidth = 0, FHeight = 0;
  TPixelFormat FPixelFormat = TPixelFormat::pf24bit;
  std::unique_ptr<TBitmapCanvas> FCanvas;
  // A dormant bitmap's rows, top row first: a section's own bytes, a device bitmap's as 32 bits.
  std::vector<std::uint8_t> FDormantPixels;
};

// An icon (or cursor) handle, owned; its file format is an ICO file.
class TIcon : public TGraphic {
public:
  TVK_CLASS(TIcon, TGraphic)
  TIcon() = default;
  ~TIcon() override;
  bool Empty() const override { return FHandle == nullptr; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // An icon's size is its picture's: EInvalidGraphicOperation.
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  HICON Handle() const { return FHandle; }
  // Takes Icon over (the old one is destroyed).
  void SetHandle(HICON icon);
  HICON ReleaseHandle();
  void Draw(TCanvas& canvas, const RECT& rect) override;
  // The first picture of an ICO file.
  void LoadFromStream(TStream& stream) override;
  // A one-picture ICO file of 32-bit colour with its mask.
  void SaveToStream(TStream& stream) override;
  void Assign(const TPersistent& source) override;

private:
  HICON FHandle = nullptr;
  int FWidth = 0, FHeight = 0;
};

// An enhanced metafile, owned; Width and Height (pixels) are its playing size.
// Its file format is an enhanced-metafile file.
class TMetafile : public TGraphic {
public:
  TVK_CLASS(TMetafile, TGraphic)
  TMetafile() = default;
  ~TMetafile() override;
  bool Empty() const override { return FHandle == nullptr; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  void SetWidth(int width) override { FWidth = width; }
  void SetHeight(int height) override { FHeight = height; }
  // Only enhanced metafiles are made; the flag is kept for callers that set it.
  bool Enhanced() const { return FEnhanced; }
  void SetEnhanced(bool value) { FEnhanced = value; }
  HENHMETAFILE Handle() const { return FHandle; }
  // Takes Metafile over (the old one is deleted); a size not set is taken from its bounds.
  void SetHandle(HENHMETAFILE metafile);
  HENHMETAFILE ReleaseHandle();
  void Draw(TCanvas& canvas, const RECT& rect) override;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void Assign(const TPersistent& source) override;

private:
  HENHMETAFILE FHandle = nullptr;
  int FWidth = 0, FHeight = 0;
  bool FEnhanced = true;
};

// Drawing that is recorded into a metafile: the picture is complete, and
// handed to the metafile, when the canvas goes. Its frame is the metafile's
// Width and Height measured on the reference device (null: the screen).
class TMetafileCanvas : public TCanvas {
public:
  TVK_CLASS(TMetafileCanvas, TCanvas)
  TMetafileCanvas(TMetafile& metafile, HDC referenceDevice);
  ~TMetafileCanvas() override;
  TMetafileCanvas(const TMetafileCanvas&) = delete;
  TMetafileCanvas& operator=(const TMetafileCanvas&) = delete;

private:
  TMetafile& FMetafile;
  HDC FRecording = nullptr;
};

// The description of the bitmap formats in the picture-format registry.
inline constexpr const wchar_t* kBitmapsDescription = L"Bitmaps";

// One row of the picture-format registry.
struct TPictureFormat {
  WideString Extension;  // without the dot, lower case
  WideString Description;
  TGraphicClass GraphicClass;
};

// A picture of any registered kind: what a file's extension or form data
// names decides the graphic class.
class TPicture : public TPersistent {
public:
  TVK_CLASS(TPicture, TPersistent)
  TPicture();
  ~TPicture() override;
  TGraphic* Graphic() const { return FGraphic.get(); }
  void SetGraphic(std::unique_ptr<TGraphic> graphic);
  // The graphic as a bitmap; any other kind is replaced by an empty bitmap.
  TBitmap& Bitmap();
  int Width() const { return FGraphic ? FGraphic->Width() : 0; }
  int Height() const { return FGraphic ? FGraphic->Height() : 0; }
  // By the extension's registered class; EInvalidGraphic for an unknown one.
  void LoadFromFile(const WideString& fileName);
  void SaveToFile(const WideString& fileName);
  // A copy of another picture's or a graphic's picture (null: empty).
  void Assign(const TPersistent& source) override;
  void DefineProperties(TFiler& filer) override;
  TNotifyEvent OnChange;

  // The registry (process-wide): "bmp" for TBitmap and "ico" for TIcon at start.
  static void RegisterFileFormat(const WideString& extension, const WideString& description,
                                 TGraphicClass graphicClass);
  // Removes every format of GraphicClass.
  static void UnregisterGraphicClass(TGraphicClass graphicClass);
  static TGraphicClass FileFormatClass(const WideString& extension);  // null when unknown
  static std::vector<TPictureFormat> FileFormats();
  // A registered class (or a built-in one) by its class name; null when unknown.
  static TGraphicClass FindGraphicClass(const WideString& className);

private:
  void GraphicChanged();
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);
  std::unique_ptr<TGraphic> FGraphic;
};

// Lends Canvas the screen's context while it lives (for measuring text);
// with no canvas given, one of its own.
class TScreenCanvas {
public:
  explicit TScreenCanvas(TCanvas* canvas = nullptr)
      : FCanvas(canvas ? canvas : &FOwn), FDC(GetDC(nullptr)) {
    FCanvas->SetHandle(FDC);
  }
  ~TScreenCanvas() {
    FCanvas->SetHandle(nullptr);
    ReleaseDC(nullptr, FDC);
  }
  TScreenCanvas(const TScreenCanvas&) = delete;
  TScreenCanvas& operator=(const TScreenCanvas&) = delete;
  TCanvas& Canvas() { return *FCanvas; }
  HDC Handle() const { return FDC; }

private:
  TCanvas FOwn;
  TCanvas* FCanvas;
  HDC FDC;
};

// A memory context with a bitmap compatible with Dc selected: for drawing
// off screen (double buffering); both are freed with it.
class TMemoryContext {
public:
  TMemoryContext(HDC dc, int width, int height);
  ~TMemoryContext();
  TMemoryContext(const TMemoryContext&) = delete;
  TMemoryContext& operator=(const TMemoryContext&) = delete;
  HDC Handle() const { return FDC; }

private:
  HDC FDC;
  HBITMAP FBitmap;
  HGDIOBJ FOld;
};

// The pixel format of a DIB section's bits per pixel (24 and 32 only).
TPixelFormat PixelFormatOfBits(int bitsPerPixel);

// A device-independent section of BitsPerPixel (BI_RGB): bottom row first
// for a positive Height, top row first for a negative one. Bits gets its
// pixels; raises EOutOfResources when the system refuses.
HBITMAP CreateSection(int width, int height, int bitsPerPixel, void*& bits);

}  // namespace tvk
