#include "Graphics.h"

#include <cstddef>
#include <cstring>

namespace tvk {

namespace {

int ScreenPixelsPerInch() {
  HDC dc = GetDC(nullptr);
  int ppi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(nullptr, dc);
  return ppi > 0 ? ppi : 96;
}

}  // namespace

COLORREF ColorToRGB(TColor color) {
  if ((color & kSystemColor) == kSystemColor) return GetSysColor(color & 0xFF);
  return COLORREF(color) & 0xFFFFFF;
}

// ---- Font, pen, brush

TGraphicsObject::~TGraphicsObject() {
  if (FHandle) DeleteObject(FHandle);
}

void TGraphicsObject::Changed() {
  // Users first (a canvas deselects the old handle), then the handle goes.
  if (OnChange) OnChange(this);
  if (FHandle) DeleteObject(std::exchange(FHandle, nullptr));
}

TFont::TFont() : FName(L"Tahoma"), FHeight(-MulDiv(8, ScreenPixelsPerInch(), 72)) {}

void TFont::SetName(const WideString& name) {
  if (name == FName || name.empty()) return;
  FName = name;
  Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, ScreenPixelsPerInch()); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, ScreenPixelsPerInch(), 72)); }

void TFont::SetHeight(int height) {
  if (height == FHeight) return;
  FHeight = height;
  Changed();
}

void TFont::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  if (OnChange) OnChange(this);  // the handle does not carry the colour
}

void TFont::SetStyle(TFontStyles style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

void TFont::SetCharset(BYTE charset) {
  if (charset == FCharset) return;
  FCharset = charset;
  Changed();
}

HFONT TFont::Handle() {
  if (!FHandle) {
    LOGFONTW lf{};
    lf.lfHeight = FHeight;
    lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (FStyle & fsItalic) ? 1 : 0;
    lf.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = FCharset;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
    FHandle = CreateFontIndirectW(&lf);
    if (!FHandle) RaiseLastOSError(L"Cannot create font");
  }
  return static_cast<HFONT>(FHandle);
}

void TFont::Assign(const TPersistent& source) {
  if (const auto* f = dynamic_cast<const TFont*>(&source)) {
    FName = f->FName;
    FHeight = f->FHeight;
    FColor = f->FColor;
    FStyle = f->FStyle;
    FCharset = f->FCharset;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TPen::SetColor(TColor color) {
  if (color == FColor) return;
  FColor = color;
  Changed();
}

void TPen::SetWidth(int width) {
  if (width == FWidth || width < 0) return;
  FWidth = width;
  Changed();
}

void TPen::SetStyle(TPenStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

HPEN TPen::Handle() {
  if (!FHandle) {
    static constexpr int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    FHandle = CreatePen(kStyles[int(FStyle)], FWidth, ColorToRGB(FColor));
    if (!FHandle) RaiseLastOSError(L"Cannot create pen");
  }
  return static_cast<HPEN>(FHandle);
}

void TPen::Assign(const TPersistent& source) {
  if (const auto* p = dynamic_cast<const TPen*>(&source)) {
    FColor = p->FColor;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TBrush::SetColor(TColor color) {
  if (color == FColor && FStyle == TBrushStyle::bsSolid) return;
  FColor = color;
  FStyle = TBrushStyle::bsSolid;  // a colour given means a solid brush
  Changed();
}

void TBrush::SetStyle(TBrushStyle style) {
  if (style == FStyle) return;
  FStyle = style;
  Changed();
}

HBRUSH TBrush::Handle() {
  if (!FHandle) {
    FHandle = FStyle == TBrushStyle::bsClear ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(ColorToRGB(FColor));
    if (!FHandle) RaiseLastOSError(L"Cannot create brush");
  }
  return static_cast<HBRUSH>(FHandle);
}

void TBrush::Assign(const TPersistent& source) {
  if (const auto* b = dynamic_cast<const TBrush*>(&source)) {
    FColor = b->FColor;
    FStyle = b->FStyle;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

// ---- TCanvas

TCanvas::TCanvas() {
  // A changed object's old handle must leave the context before it is deleted.
  auto restore = [this](HGDIOBJ& old, HGDIOBJ& selected) {
    if (FHandle && old && selected) SelectObject(FHandle, old);
    selected = nullptr;
  };
  FFont.OnChange = [this, restore](TObject*) { restore(FOldFont, FSelFont); };
  FPen.OnChange = [this, restore](TObject*) { restore(FOldPen, FSelPen); };
  FBrush.OnChange = [this, restore](TObject*) { restore(FOldBrush, FSelBrush); };
}

TCanvas::~TCanvas() { DeselectHandles(); }

HDC TCanvas::Handle() {
  if (!FHandle) CreateHandle();
  if (!FHandle) throw EInvalidOperation(L"Canvas does not allow drawing");
  return FHandle;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == FHandle) return;
  DeselectHandles();
  FHandle = dc;
}

void TCanvas::DeselectHandles() {
  if (FHandle) {
    if (FOldFont) SelectObject(FHandle, FOldFont);
    if (FOldPen) SelectObject(FHandle, FOldPen);
    if (FOldBrush) SelectObject(FHandle, FOldBrush);
  }
  FOldFont = FOldPen = FOldBrush = nullptr;
  FSelFont = FSelPen = FSelBrush = nullptr;
  FHandle = nullptr;
}

void TCanvas::RequireState() {
  HDC dc = Handle();
  auto select = [dc](HGDIOBJ want, HGDIOBJ& selected, HGDIOBJ& old) {
    if (selected == want) return;
    HGDIOBJ previous = SelectObject(dc, want);
    if (!old) old = previous;
    selected = want;
  };
  select(FFont.Handle(), FSelFont, FOldFont);
  select(FPen.Handle(), FSelPen, FOldPen);
  select(FBrush.Handle(), FSelBrush, FOldBrush);
  SetTextColor(dc, ColorToRGB(FFont.Color()));
  if (FBrush.Style() == TBrushStyle::bsClear) {
    SetBkMode(dc, TRANSPARENT);
  } else {
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ColorToRGB(FBrush.Color()));
  }
}

void TCanvas::FillRect(const RECT& rect) {
  RequireState();
  ::FillRect(FHandle, &rect, FBrush.Handle());
}

void TCanvas::FrameRect(const RECT& rect) {
  RequireState();
  ::FrameRect(FHandle, &rect, FBrush.Handle());
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  RequireState();
  ::Rectangle(FHandle, left, top, right, bottom);
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  RequireState();
  ::LineTo(FHandle, x, y);
}

void TCanvas::TextOut(int x, int y, const WideString& text) {
  RequireState();
  ExtTextOutW(FHandle, x, y, 0, nullptr, text.c_str(), UINT(text.size()), nullptr);
}

void TCanvas::TextRect(const RECT& rect, int x, int y, const WideString& text) {
  RequireState();
  UINT options = ETO_CLIPPED | (FBrush.Style() == TBrushStyle::bsClear ? 0 : ETO_OPAQUE);
  ExtTextOutW(FHandle, x, y, options, &rect, text.c_str(), UINT(text.size()), nullptr);
}

void TCanvas::DrawText(RECT& rect, const WideString& text, UINT format) {
  RequireState();
  DrawTextW(FHandle, text.c_str(), int(text.size()), &rect, format);
}

SIZE TCanvas::TextExtent(const WideString& text) {
  RequireState();
  SIZE size{};
  GetTextExtentPoint32W(FHandle, text.c_str(), int(text.size()), &size);
  return size;
}

void TCanvas::Draw(int x, int y, TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  RequireState();
  BitBlt(FHandle, x, y, bitmap.Width(), bitmap.Height(), bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TCanvas::StretchDraw(const RECT& rect, TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  RequireState();
  SetStretchBltMode(FHandle, COLORONCOLOR);
  StretchBlt(FHandle, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, bitmap.Canvas().Handle(),
             0, 0, bitmap.Width(), bitmap.Height(), SRCCOPY);
}

TColor TCanvas::Pixel(int x, int y) {
  COLORREF c = GetPixel(Handle(), x, y);
  return c == CLR_INVALID ? clNone : TColor(c);
}

void TCanvas::SetPixel(int x, int y, TColor color) { ::SetPixel(Handle(), x, y, ColorToRGB(color)); }

// ---- TBitmap

// The canvas of a bitmap: its own memory context with the bitmap selected.
class TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap& bitmap) : FBitmap(bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }

  void FreeContext() {
    HDC dc = HandleAllocated() ? Handle() : nullptr;
    if (!dc) return;
    DeselectHandles();
    if (FOldBitmap) SelectObject(dc, FOldBitmap);
    FOldBitmap = nullptr;
    DeleteDC(dc);
  }

protected:
  void CreateHandle() override {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) RaiseLastOSError(L"Cannot create a memory context");
    if (!FBitmap.FHandle && !FBitmap.Empty()) FBitmap.Create();
    if (FBitmap.FHandle) FOldBitmap = SelectObject(dc, FBitmap.FHandle);
    SetHandle(dc);
  }

private:
  TBitmap& FBitmap;
  HGDIOBJ FOldBitmap = nullptr;
};

TMemoryContext::TMemoryContext(HDC dc, int width, int height)
    : FDC(CreateCompatibleDC(dc)), FBitmap(CreateCompatibleBitmap(dc, width > 0 ? width : 1, height > 0 ? height : 1)) {
  if (!FDC || !FBitmap) {
    if (FDC) DeleteDC(FDC);
    if (FBitmap) DeleteObject(FBitmap);
    RaiseLastOSError(L"Cannot create a memory context");
  }
  FOld = SelectObject(FDC, FBitmap);
}

TMemoryContext::~TMemoryContext() {
  SelectObject(FDC, FOld);
  DeleteObject(FBitmap);
  DeleteDC(FDC);
}

TPixelFormat PixelFormatOfBits(int bitsPerPixel) {
  return bitsPerPixel == 32 ? TPixelFormat::pf32bit : TPixelFormat::pf24bit;
}

namespace {

// The header of a bottom-up section (as bitmap files are) with its colour
// table or, for 5-6-5, its three colour masks.
struct SectionInfo {
  BITMAPINFOHEADER Header{};
  RGBQUAD Colors[256]{};

  SectionInfo(TPixelFormat format, int width, int height) {
    Header.biSize = sizeof Header;
    Header.biWidth = width;
    Header.biHeight = height;
    Header.biPlanes = 1;
    Header.biCompression = BI_RGB;
    switch (format) {
      case TPixelFormat::pf1bit: Header.biBitCount = 1; break;
      case TPixelFormat::pf4bit: Header.biBitCount = 4; break;
      case TPixelFormat::pf8bit: Header.biBitCount = 8; break;
      case TPixelFormat::pf15bit: Header.biBitCount = 16; break;
      case TPixelFormat::pf16bit: Header.biBitCount = 16; Header.biCompression = BI_BITFIELDS; break;
      case TPixelFormat::pf32bit: Header.biBitCount = 32; break;
      default: Header.biBitCount = 24; break;
    }
    if (Header.biCompression == BI_BITFIELDS) {
      static constexpr DWORD kMasks565[] = {0xF800, 0x07E0, 0x001F};
      std::memcpy(Colors, kMasks565, sizeof kMasks565);
    } else if (Header.biBitCount <= 8) {
      FillPalette();
    }
  }

  const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(this); }

private:
  void Put(int index, BYTE red, BYTE green, BYTE blue) { Colors[index] = RGBQUAD{blue, green, red, 0}; }

  void FillPalette() {
    switch (Header.biBitCount) {
      case 1:
        Put(1, 255, 255, 255);
        break;
      case 4: {
        // The 16 standard colours: the dark eight, then the light eight.
        static constexpr TColor kStandard[16] = {clBlack, clMaroon, clGreen, 0x008080, clNavy, 0x800080,
                                                 0x808000, clGray, clSilver, clRed, clLime, clYellow,
                                                 clBlue, clFuchsia, clAqua, clWhite};
        for (int i = 0; i < 16; ++i)
          Put(i, GetRValue(kStandard[i]), GetGValue(kStandard[i]), GetBValue(kStandard[i]));
        break;
      }
      default: {
        int i = 0;
        for (int r = 0; r < 6; ++r)
          for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b) Put(i++, BYTE(r * 51), BYTE(g * 51), BYTE(b * 51));
        for (int grey = 1; i < 256; ++i, ++grey) Put(i, BYTE(grey * 6), BYTE(grey * 6), BYTE(grey * 6));
        break;
      }
    }
  }
};
static_assert(offsetof(SectionInfo, Colors) == sizeof(BITMAPINFOHEADER), "a colour table follows the header");

}  // namespace

TBitmap::TBitmap() = default;

TBitmap::~TBitmap() {
  FCanvas.reset();
  FreeImage();
}

void TBitmap::FreeContext() {
  if (FCanvas) FCanvas->FreeContext();
}

void TBitmap::FreeImage() {
  FreeContext();
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
  FBits = nullptr;
  FStride = 0;
}

void TBitmap::Create() {
  if (Empty()) return;
  if (FPixelFormat == TPixelFormat::pfDevice) {
    HDC screen = GetDC(nullptr);
    FHandle = CreateCompatibleBitmap(screen, FWidth, FHeight);
    ReleaseDC(nullptr, screen);
  } else {
    SectionInfo info(FPixelFormat, FWidth, FHeight);
    int bits = info.Header.biBitCount;
    FHandle = CreateDIBSection(nullptr, info.Info(), DIB_RGB_COLORS, &FBits, nullptr, 0);
    FStride = ((FWidth * bits + 31) / 32) * 4;
    if (FBits) std::memset(FBits, 0, std::size_t(FStride) * std::size_t(FHeight));
  }
  if (!FHandle) RaiseLastOSError(L"Cannot create bitmap");
}

void TBitmap::SetSize(int width, int height) {
  width = width < 0 ? 0 : width;
  height = height < 0 ? 0 : height;
  if (width == FWidth && height == FHeight) return;
  FreeImage();
  FWidth = width;
  FHeight = height;
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == TPixelFormat::pfCustom) throw EInvalidOperation(L"Invalid pixel format");
  if (format == FPixelFormat) return;
  FreeImage();
  FPixelFormat = format;
}

HBITMAP TBitmap::Handle() {
  FreeContext();
  if (!FHandle) Create();
  return FHandle;
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  FreeImage();
  if (!bitmap) {
    FWidth = FHeight = 0;
    return;
  }
  DIBSECTION ds{};
  int size = GetObjectW(bitmap, sizeof ds, &ds);
  bool section = size == int(sizeof ds) && ds.dsBm.bmBits;
  if (section && (ds.dsBm.bmBitsPixel == 24 || ds.dsBm.bmBitsPixel == 32)) {
    FHandle = bitmap;
    FBits = ds.dsBm.bmBits;
    FStride = ds.dsBm.bmWidthBytes;
    FWidth = ds.dsBm.bmWidth;
    FHeight = ds.dsBm.bmHeight < 0 ? -ds.dsBm.bmHeight : ds.dsBm.bmHeight;
    FPixelFormat = PixelFormatOfBits(ds.dsBm.bmBitsPixel);
    return;
  }
  BITMAP bm{};
  if (!GetObjectW(bitmap, sizeof bm, &bm)) {
    DeleteObject(bitmap);
    throw EInvalidOperation(L"Invalid bitmap");
  }
  // Other depths (palettes, device bitmaps) become a 24-bit section.
  FPixelFormat = TPixelFormat::pf24bit;
  FWidth = bm.bmWidth;
  FHeight = bm.bmHeight;
  Create();
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, bitmap);
  BitBlt(Canvas().Handle(), 0, 0, FWidth, FHeight, src, 0, 0, SRCCOPY);
  SelectObject(src, old);
  DeleteDC(src);
  DeleteObject(bitmap);
  FreeContext();
}

HBITMAP TBitmap::ReleaseHandle() {
  HBITMAP h = Handle();
  FHandle = nullptr;
  FBits = nullptr;
  FWidth = FHeight = 0;
  return h;
}

TCanvas& TBitmap::Canvas() {
  if (!FCanvas) FCanvas = std::make_unique<TBitmapCanvas>(*this);
  return *FCanvas;
}

void* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= FHeight) throw EInvalidOperation(L"Scan line index out of range");
  if (!FHandle) Create();
  if (!FBits) throw EInvalidOperation(L"Scan line of a device bitmap");
  GdiFlush();  // pending drawing reaches the bits first
  return static_cast<BYTE*>(FBits) + std::size_t(FHeight - 1 - y) * std::size_t(FStride);
}

TColor TBitmap::TransparentColor() {
  if (Empty()) return clNone;
  return Canvas().Pixel(0, FHeight - 1);
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const WideString& name) {
  HANDLE image = LoadImageW(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!image) throw EResNotFound(L"Resource " + name + L" not found");
  SetHandle(static_cast<HBITMAP>(image));
}

void TBitmap::LoadFromFile(const WideString& fileName) {
  HANDLE image = LoadImageW(nullptr, fileName.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  if (!image) throw EInvalidOperation(L"Cannot load bitmap " + fileName);
  SetHandle(static_cast<HBITMAP>(image));
}

void TBitmap::Assign(const TPersistent& source) {
  if (auto* b = dynamic_cast<const TBitmap*>(&source)) {
    if (b == this) return;
    auto& src = const_cast<TBitmap&>(*b);  // reading its pixels needs its context
    FreeImage();
    FPixelFormat = src.FPixelFormat;
    FWidth = src.FWidth;
    FHeight = src.FHeight;
    if (!Empty()) BitBlt(Canvas().Handle(), 0, 0, FWidth, FHeight, src.Canvas().Handle(), 0, 0, SRCCOPY);
    return;
  }
  TPersistent::Assign(source);
}

}  // namespace tvk
