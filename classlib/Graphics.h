#pragma once
// Drawing: colours, the font, pen and brush a canvas draws with, the canvas on
// a device context, and bitmaps (device-independent sections with a canvas of
// their own). Every GDI handle is owned by exactly one object here and freed
// with it.
#include "Classes.h"

#include <cstdint>

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
                 cl3DLight = kSystemColor | COLOR_3DLIGHT;

// The RGB value of a colour (system colours looked up now).
COLORREF ColorToRGB(TColor color);

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

class TFont : public TGraphicsObject {
public:
  TVK_CLASS(TFont, TGraphicsObject)
  TFont();
  const WideString& Name() const { return FName; }
  void SetName(const WideString& name);
  // Size in points; Height in pixels (negative: character height) at the screen's resolution.
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
  HFONT Handle();
  void Assign(const TPersistent& source) override;

private:
  WideString FName;
  int FHeight;
  TColor FColor = clWindowText;
  TFontStyles FStyle = 0;
  BYTE FCharset = DEFAULT_CHARSET;
};

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };

class TPen : public TGraphicsObject {
public:
  TVK_CLASS(TPen, TGraphicsObject)
  TColor Color() const { return FColor; }
  void SetColor(TColor color);
  int Width() const { return FWidth; }
  void SetWidth(int width);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle style);
  HPEN Handle();
  void Assign(const TPersistent& source) override;

private:
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = TPenStyle::psSolid;
};

enum class TBrushStyle { bsSolid, bsClear };

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

class TBitmap;

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
  void Draw(int x, int y, TBitmap& bitmap);
  void StretchDraw(const RECT& rect, TBitmap& bitmap);
  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor color);

protected:
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
};

// How a bitmap keeps its pixels: compatible with the screen (pfDevice), a
// device-independent section of 1 to 32 bits per pixel (pf15bit is 5-5-5 and
// pf16bit 5-6-5 in 16 bits), or a layout none of these names (pfCustom: it
// cannot be asked for, only met).
enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

class TBitmapCanvas;

// A bitmap: a device-independent section (pf1bit to pf32bit) or a bitmap
// compatible with the screen (pfDevice), with its own memory-context canvas.
// Sections of 8 bits or fewer get a fixed palette: black and white, the 16
// standard colours, or a 6 x 6 x 6 colour cube with a grey ramp.
class TBitmap : public TPersistent {
public:
  TVK_CLASS(TBitmap, TPersistent)
  TBitmap();
  ~TBitmap() override;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetSize(int width, int height);  // contents are not kept
  void SetWidth(int width) { SetSize(width, FHeight); }
  void SetHeight(int height) { SetSize(FWidth, height); }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }
  TPixelFormat PixelFormat() const { return FPixelFormat; }
  // Contents are not kept; pfCustom raises EInvalidOperation.
  void SetPixelFormat(TPixelFormat format);

  // The bitmap handle (still owned), taken out of the canvas's context first
  // so that it may be handed to the system.
  HBITMAP Handle();
  // Takes over Bitmap (a section or device bitmap); its size and format follow it.
  void SetHandle(HBITMAP bitmap);
  // Gives the handle up to the caller.
  HBITMAP ReleaseHandle();
  TCanvas& Canvas();

  // The address of row Y of a section (row 0 is the top); raises for pfDevice.
  void* ScanLine(int y);
  // The colour of the lower-left pixel: the colour that counts as transparent.
  TColor TransparentColor();

  // A bitmap resource of Instance, or a ".bmp" file; raise when missing.
  void LoadFromResourceName(HINSTANCE instance, const WideString& name);
  void LoadFromFile(const WideString& fileName);

  void Assign(const TPersistent& source) override;

private:
  friend class TBitmapCanvas;
  void FreeContext();
  void FreeImage();
  void Create();

  HBITMAP FHandle = nullptr;
  void* FBits = nullptr;
  int FStride = 0;
  int FWidth = 0, FHeight = 0;
  TPixelFormat FPixelFormat = TPixelFormat::pf24bit;
  std::unique_ptr<TBitmapCanvas> FCanvas;
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

}  // namespace tvk
