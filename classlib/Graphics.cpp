#include "Graphics.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

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

namespace {
std::atomic<long> gGdiObjectsAlive{0};
}  // namespace

void GdiTrackCreated(HGDIOBJ handle) {
  if (handle) ++gGdiObjectsAlive;
}

void GdiFree(HGDIOBJ handle) {
  if (handle && DeleteObject(handle)) --gGdiObjectsAlive;
}

long GdiObjectsAlive() { return gGdiObjectsAlive; }

void MoveWindowOrg(HDC dc, int dx, int dy) {
  POINT origin;
  GetWindowOrgEx(dc, &origin);
  SetWindowOrgEx(dc, origin.x - dx, origin.y - dy, nullptr);
}

// ---- Font, pen, brush

TGraphicsObject::~TGraphicsObject() {
  GdiFree(FHandle);
}

void TGraphicsObject::Changed() {
  // Users first (a canvas deselects the old handle), then the handle goes.
  if (OnChange) OnChange(this);
  GdiFree(std::exchange(FHandle, nullptr));
}

TFont::TFont() : FName(kDefaultFontName), FPixelsPerInch(ScreenPixelsPerInch()), FHeight(-MulDiv(8, FPixelsPerInch, 72)) {}

void TFont::SetOutputPrecision(BYTE value) {
  if (value == FOutputPrecision) return;
  FOutputPrecision = value;
  Changed();
}

void TFont::SetName(const WideString& name) {
  if (name == FName || name.empty()) return;
  FName = name;
  Changed();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, FPixelsPerInch, 72)); }

void TFont::SetPitch(TFontPitch pitch) {
  if (pitch == FPitch) return;
  FPitch = pitch;
  Changed();
}

void TFont::SetPixelsPerInch(int ppi) {
  if (ppi <= 0 || ppi == FPixelsPerInch) return;
  FPixelsPerInch = ppi;
  Changed();
}

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

void TFont::Changed() {
  FLogFont.reset();
  TGraphicsObject::Changed();
}

HFONT TFont::Handle() {
  if (!FHandle && FLogFont) {
    FHandle = GdiTrack(CreateFontIndirectW(&*FLogFont));
    if (!FHandle) RaiseLastOSError(L"Cannot create font");
  }
  if (!FHandle) {
    LOGFONTW lf{};
    lf.lfHeight = FHeight;
    lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (FStyle & fsItalic) ? 1 : 0;
    lf.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = FCharset;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfOutPrecision = FOutputPrecision;
    static constexpr BYTE kPitches[] = {DEFAULT_PITCH, VARIABLE_PITCH, FIXED_PITCH};
    lf.lfPitchAndFamily = kPitches[int(FPitch)];
    lstrcpynW(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
    FHandle = GdiTrack(CreateFontIndirectW(&lf));
    if (!FHandle) RaiseLastOSError(L"Cannot create font");
  }
  return static_cast<HFONT>(FHandle);
}

namespace {

// A font's integer properties with the range a stream may hold for each.
struct TFontIntegerProperty {
  const wchar_t* Name;
  std::int32_t Min, Max;
  std::int32_t (*Get)(const TFont&);
  void (*Set)(TFont&, std::int32_t);
};

constexpr TFontIntegerProperty kFontIntegerProperties[] = {
    {L"Charset", 0, 255, [](const TFont& f) { return std::int32_t(f.Charset()); },
     [](TFont& f, std::int32_t v) { f.SetCharset(BYTE(v)); }},
    {L"Color", std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
     [](const TFont& f) { return std::int32_t(f.Color()); }, [](TFont& f, std::int32_t v) { f.SetColor(TColor(v)); }},
    {L"Height", std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(),
     [](const TFont& f) { return std::int32_t(f.Height()); }, [](TFont& f, std::int32_t v) { f.SetHeight(v); }},
    {L"Pitch", 0, int(TFontPitch::fpFixed), [](const TFont& f) { return std::int32_t(f.Pitch()); },
     [](TFont& f, std::int32_t v) { f.SetPitch(TFontPitch(v)); }},
    {L"Style", 0, fsBold | fsItalic | fsUnderline | fsStrikeOut, [](const TFont& f) { return std::int32_t(f.Style()); },
     [](TFont& f, std::int32_t v) { f.SetStyle(TFontStyles(v)); }},
};

}  // namespace

void TFont::DefineProperties(TFiler& filer) {
  TGraphicsObject::DefineProperties(filer);
  for (const TFontIntegerProperty& p : kFontIntegerProperties)
    filer.DefineProperty(
        p.Name,
        [this, &p](TReader& reader) {
          const std::int32_t value = reader.ReadInteger();
          if (value < p.Min || value > p.Max) throw EReadError(L"Invalid property value");
          p.Set(*this, value);
        },
        [this, &p](TWriter& writer) { writer.WriteInteger(p.Get(*this)); }, true);
  filer.DefineProperty(
      L"Name", [this](TReader& reader) { SetName(reader.ReadString()); },
      [this](TWriter& writer) { writer.WriteString(FName); }, true);
}

void TFont::Assign(const TPersistent& source) {
  if (const auto* f = dynamic_cast<const TFont*>(&source)) {
    FName = f->FName;
    FHeight = f->FHeight;
    FColor = f->FColor;
    FStyle = f->FStyle;
    FCharset = f->FCharset;
    FPitch = f->FPitch;
    FPixelsPerInch = f->FPixelsPerInch;
    const std::optional<LOGFONTW> description = f->FLogFont;
    FOutputPrecision = f->FOutputPrecision;
    Changed();
    FLogFont = description;
    return;
  }
  TGraphicsObject::Assign(source);
}

void TFont::SetHandle(HFONT font) {
  LOGFONTW lf{};
  if (!font || GetObjectW(font, sizeof lf, &lf) != int(sizeof lf)) throw EInvalidOperation(L"Invalid font");
  FName = lf.lfFaceName;
  FHeight = lf.lfHeight;
  FStyle = (lf.lfWeight >= FW_BOLD ? TFontStyles(fsBold) : 0) | (lf.lfItalic ? TFontStyles(fsItalic) : 0) |
           (lf.lfUnderline ? TFontStyles(fsUnderline) : 0) | (lf.lfStrikeOut ? TFontStyles(fsStrikeOut) : 0);
  FCharset = lf.lfCharSet;
  static constexpr TFontPitch kPitches[] = {TFontPitch::fpDefault, TFontPitch::fpFixed, TFontPitch::fpVariable,
                                            TFontPitch::fpDefault};
  FPitch = kPitches[lf.lfPitchAndFamily & 3];
  if (font != FHandle) {
    // Users let go of the old handle before it is deleted.
    if (OnChange) OnChange(this);
    GdiFree(std::exchange(FHandle, GdiTrack(font)));
  }
  FLogFont = lf;
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

namespace {
constexpr int kPenModeRop2[] = {R2_BLACK,      R2_WHITE,     R2_NOP,        R2_NOT,      R2_COPYPEN,    R2_NOTCOPYPEN,
                                R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                                R2_MASKPEN,    R2_NOTMASKPEN, R2_XORPEN,     R2_NOTXORPEN};
}  // namespace

int PenModeToRop2(TPenMode mode) { return kPenModeRop2[int(mode)]; }

TPenMode PenModeOfRop2(int rop2) {
  const int* found = std::find(std::begin(kPenModeRop2), std::end(kPenModeRop2), rop2);
  return found == std::end(kPenModeRop2) ? TPenMode::pmCopy : TPenMode(found - std::begin(kPenModeRop2));
}

void TPen::SetMode(TPenMode mode) {
  if (mode == FMode) return;
  FMode = mode;
  if (OnChange) OnChange(this);  // the handle does not carry the mode
}

HPEN TPen::Handle() {
  if (!FHandle) {
    static constexpr int kStyles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    FHandle = GdiTrack(CreatePen(kStyles[int(FStyle)], FWidth, ColorToRGB(FColor)));
    if (!FHandle) RaiseLastOSError(L"Cannot create pen");
  }
  return static_cast<HPEN>(FHandle);
}

void TPen::Assign(const TPersistent& source) {
  if (const auto* p = dynamic_cast<const TPen*>(&source)) {
    FColor = p->FColor;
    FWidth = p->FWidth;
    FStyle = p->FStyle;
    FMode = p->FMode;
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
    if (FStyle == TBrushStyle::bsClear) FHandle = GdiTrack(GetStockObject(NULL_BRUSH));  // freed like the rest
    else if (FStyle == TBrushStyle::bsSolid) FHandle = GdiTrack(CreateSolidBrush(ColorToRGB(FColor)));
    // The hatches in their order: HS_HORIZONTAL to HS_DIAGCROSS.
    else FHandle = GdiTrack(CreateHatchBrush(int(FStyle) - int(TBrushStyle::bsHorizontal), ColorToRGB(FColor)));
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
    if (selected == want) return false;
    HGDIOBJ previous = SelectObject(dc, want);
    if (!old) old = previous;
    selected = want;
    return true;
  };
  select(FFont.Handle(), FSelFont, FOldFont);
  if (select(FPen.Handle(), FSelPen, FOldPen)) SetROP2(dc, PenModeToRop2(FPen.Mode()));
  select(FBrush.Handle(), FSelBrush, FOldBrush);
  SetTextColor(dc, ColorToRGB(FFont.Color()));
  if (FBrush.Style() == TBrushStyle::bsClear) {
    SetBkMode(dc, TRANSPARENT);
  } else {
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ColorToRGB(FBrush.Color()));
  }
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

void TCanvas::FillRect(const RECT& rect) {
  RequireState();
  ::FillRect(FHandle, &rect, FBrush.Handle());
  Changed();
}

void TCanvas::FrameRect(const RECT& rect) {
  RequireState();
  ::FrameRect(FHandle, &rect, FBrush.Handle());
  Changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  RequireState();
  ::Rectangle(FHandle, left, top, right, bottom);
  Changed();
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
  RequireState();
  ::LineTo(FHandle, x, y);
  Changed();
}

void TCanvas::Polygon(std::span<const POINT> points) {
  RequireState();
  ::Polygon(FHandle, points.data(), int(points.size()));
  Changed();
}

void TCanvas::Polyline(std::span<const POINT> points) {
  RequireState();
  ::Polyline(FHandle, points.data(), int(points.size()));
  Changed();
}

void TCanvas::Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  RequireState();
  ::Pie(FHandle, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}

void TCanvas::TextOut(int x, int y, const WideString& text) {
  RequireState();
  ExtTextOutW(FHandle, x, y, TextFlags, nullptr, text.c_str(), UINT(text.size()), nullptr);
  Changed();
}

void TCanvas::TextRect(const RECT& rect, int x, int y, const WideString& text) {
  RequireState();
  UINT options = ETO_CLIPPED | TextFlags | (FBrush.Style() == TBrushStyle::bsClear ? 0 : ETO_OPAQUE);
  ExtTextOutW(FHandle, x, y, options, &rect, text.c_str(), UINT(text.size()), nullptr);
  Changed();
}

void TCanvas::DrawText(RECT& rect, const WideString& text, UINT format) {
  RequireState();
  DrawTextW(FHandle, text.c_str(), int(text.size()), &rect, format);
  Changed();
}

SIZE TCanvas::TextExtent(const WideString& text) {
  RequireState();
  SIZE size{};
  GetTextExtentPoint32W(FHandle, text.c_str(), int(text.size()), &size);
  return size;
}

void TCanvas::Draw(int x, int y, TGraphic& graphic) {
  if (graphic.Empty()) return;
  RequireState();
  graphic.Draw(*this, RECT{x, y, x + graphic.Width(), y + graphic.Height()});
  Changed();
}

void TCanvas::StretchDraw(const RECT& rect, TGraphic& graphic) {
  if (graphic.Empty()) return;
  RequireState();
  graphic.Draw(*this, rect);
  Changed();
}

TColor TCanvas::Pixel(int x, int y) {
  COLORREF c = GetPixel(Handle(), x, y);
  return c == CLR_INVALID ? clNone : TColor(c);
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  ::SetPixel(Handle(), x, y, ColorToRGB(color));
  Changed();
}

void TCanvas::CopyRect(const RECT& dest, TCanvas& source, const RECT& src) {
  RequireState();
  HDC from = source.Handle();
  StretchBlt(FHandle, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, from, src.left, src.top,
             src.right - src.left, src.bottom - src.top, CopyMode);
  Changed();
}

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

HBITMAP CreateSection(int width, int height, int bitsPerPixel, void*& bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = WORD(bitsPerPixel);
  info.bmiHeader.biCompression = BI_RGB;
  bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!section) RaiseLastOSError(L"Cannot create bitmap");
  return section;
}

// ---- TGraphic

void TGraphic::SetTransparent(bool value) {
  if (value == FTransparent) return;
  FTransparent = value;
  Changed();
}

void TGraphic::Changed() {
  FModified = true;
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const WideString& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TGraphic::SaveToFile(const WideString& fileName) {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(stream);
}

void TGraphic::LoadFromClipboardFormat(UINT, HANDLE) {
  throw EInvalidGraphicOperation(L"Unsupported clipboard format");
}

void TGraphic::SaveToClipboardFormat(UINT&, HANDLE&) {
  throw EInvalidGraphicOperation(L"Unsupported clipboard format");
}

void TGraphic::DefineProperties(TFiler& filer) {
  filer.DefineBinaryProperty(L"Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); },
                             !Empty());
}

void TGraphic::ReadData(TStream& stream) { LoadFromStream(stream); }
void TGraphic::WriteData(TStream& stream) { SaveToStream(stream); }

// ---- TBitmap

namespace {

constexpr std::uint16_t kBitmapFileType = 0x4D42;  // "BM"
// Larger bitmap data than this is taken as damaged rather than allocated.
constexpr std::size_t kMaxBitmapBytes = std::size_t(1) << 28;

[[noreturn]] void InvalidBitmap() { throw EInvalidGraphic(L"Bitmap image is not valid"); }

int StrideOf(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

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
  FTopDown = false;
  FDormantPixels = {};
}

namespace {

// A device bitmap's pixels as 32-bit rows, top row first.
BITMAPINFO DevicePixelsInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

void TBitmap::Create() {
  if (Empty()) return;
  if (FPixelFormat == TPixelFormat::pfDevice) {
    HDC screen = GetDC(nullptr);
    FHandle = CreateCompatibleBitmap(screen, FWidth, FHeight);
    if (FHandle && !FDormantPixels.empty()) {
      BITMAPINFO info = DevicePixelsInfo(FWidth, FHeight);
      SetDIBits(screen, FHandle, 0, UINT(FHeight), FDormantPixels.data(), &info, DIB_RGB_COLORS);
    }
    ReleaseDC(nullptr, screen);
  } else {
    SectionInfo info(FPixelFormat, FWidth, FHeight);  // bottom-up, as bitmap files are
    int bits = info.Header.biBitCount;
    FHandle = CreateDIBSection(nullptr, info.Info(), DIB_RGB_COLORS, &FBits, nullptr, 0);
    FStride = StrideOf(FWidth, bits);
    FTopDown = false;
    const std::size_t stride = std::size_t(FStride);
    if (FBits && FDormantPixels.size() == stride * std::size_t(FHeight)) {
      for (int y = 0; y < FHeight; ++y)
        std::memcpy(static_cast<BYTE*>(FBits) + std::size_t(FHeight - 1 - y) * stride,
                    FDormantPixels.data() + std::size_t(y) * stride, stride);
    } else if (FBits) {
      std::memset(FBits, 0, stride * std::size_t(FHeight));
    }
  }
  if (!FHandle) RaiseLastOSError(L"Cannot create bitmap");
  FDormantPixels = {};
}

void TBitmap::Dormant() {
  if (!FHandle || Empty()) return;
  std::vector<std::uint8_t> pixels;
  if (FBits) {
    const std::size_t stride = std::size_t(FStride);
    pixels.resize(stride * std::size_t(FHeight));
    for (int y = 0; y < FHeight; ++y) std::memcpy(pixels.data() + std::size_t(y) * stride, ScanLine(y), stride);
  } else {
    FreeContext();
    pixels.resize(std::size_t(FWidth) * std::size_t(FHeight) * 4);
    BITMAPINFO info = DevicePixelsInfo(FWidth, FHeight);
    HDC screen = GetDC(nullptr);
    const int rows = GetDIBits(screen, FHandle, 0, UINT(FHeight), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != FHeight) return;  // stays live rather than lose its pixels
  }
  FreeImage();
  FDormantPixels = std::move(pixels);
}

void TBitmap::SetSize(int width, int height) {
  width = width < 0 ? 0 : width;
  height = height < 0 ? 0 : height;
  if (width == FWidth && height == FHeight) return;
  FreeImage();
  FWidth = width;
  FHeight = height;
  Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
  if (format == TPixelFormat::pfCustom) throw EInvalidOperation(L"Invalid pixel format");
  if (format == FPixelFormat) return;
  if (!FHandle && !FDormantPixels.empty()) Create();  // a dormant bitmap's pixels are converted too
  if (!FHandle || Empty()) {
    FreeImage();
    FPixelFormat = format;
    Changed();
    return;
  }
  TBitmap target;
  target.FPixelFormat = format;
  target.FWidth = FWidth;
  target.FHeight = FHeight;
  target.Create();
  auto isTrueColour = [](TPixelFormat f) { return f == TPixelFormat::pf24bit || f == TPixelFormat::pf32bit; };
  if (isTrueColour(FPixelFormat) && isTrueColour(format)) {
    // Between 24 and 32 bits the channels are copied, so a new alpha byte stays 0.
    int fromBytes = FPixelFormat == TPixelFormat::pf32bit ? 4 : 3;
    int toBytes = format == TPixelFormat::pf32bit ? 4 : 3;
    for (int y = 0; y < FHeight; ++y) {
      auto* from = static_cast<const std::uint8_t*>(ScanLine(y));
      auto* to = static_cast<std::uint8_t*>(target.ScanLine(y));
      for (int x = 0; x < FWidth; ++x) std::memcpy(to + x * toBytes, from + x * fromBytes, 3);
    }
  } else {
    // The system maps every other pair: palettes, 5-5-5 and 5-6-5, the screen's format.
    BitBlt(target.Canvas().Handle(), 0, 0, FWidth, FHeight, Canvas().Handle(), 0, 0, SRCCOPY);
    target.FreeContext();
  }
  FreeImage();
  FPixelFormat = format;
  FHandle = std::exchange(target.FHandle, nullptr);
  FBits = std::exchange(target.FBits, nullptr);
  FStride = target.FStride;
  FTopDown = target.FTopDown;
  Changed();
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
    Changed();
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
    FTopDown = ds.dsBmih.biHeight < 0;
    FHeight = ds.dsBm.bmHeight < 0 ? -ds.dsBm.bmHeight : ds.dsBm.bmHeight;
    FPixelFormat = PixelFormatOfBits(ds.dsBm.bmBitsPixel);
    Changed();
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
  Changed();
}

HBITMAP TBitmap::ReleaseHandle() {
  HBITMAP h = Handle();
  FHandle = nullptr;
  FBits = nullptr;
  FWidth = FHeight = 0;
  return h;
}

TCanvas& TBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TBitmapCanvas>(*this);
    FCanvas->OnChange = [this](TObject*) { Changed(); };
  }
  return *FCanvas;
}

void* TBitmap::ScanLine(int y) {
  if (y < 0 || y >= FHeight) throw EInvalidOperation(L"Scan line index out of range");
  if (!FHandle) Create();
  if (!FBits) throw EInvalidOperation(L"Scan line of a device bitmap");
  GdiFlush();  // pending drawing reaches the bits first
  int row = FTopDown ? y : FHeight - 1 - y;
  return static_cast<BYTE*>(FBits) + std::size_t(row) * std::size_t(FStride);
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

void TBitmap::LoadFromStream(TStream& stream) {
  BITMAPFILEHEADER file{};
  stream.ReadBuffer(&file, sizeof file);
  if (file.bfType != kBitmapFileType || file.bfSize < sizeof file + sizeof(BITMAPINFOHEADER) ||
      file.bfSize > kMaxBitmapBytes || file.bfOffBits < sizeof file || file.bfOffBits > file.bfSize)
    InvalidBitmap();
  std::vector<std::uint8_t> rest(file.bfSize - sizeof file);
  stream.ReadBuffer(rest.data(), rest.size());
  LoadDib(rest.data(), rest.size(), file.bfOffBits - sizeof file);
}

void TBitmap::LoadDib(const std::uint8_t* info, std::size_t size, std::size_t bitsOffset) {
  BITMAPINFOHEADER h{};
  if (size < sizeof h) InvalidBitmap();
  std::memcpy(&h, info, sizeof h);
  static constexpr WORD kDepths[] = {1, 4, 8, 16, 24, 32};
  bool knownDepth = std::find(std::begin(kDepths), std::end(kDepths), h.biBitCount) != std::end(kDepths);
  if (h.biSize < sizeof h || h.biSize > bitsOffset || h.biWidth <= 0 || h.biHeight == 0 || h.biPlanes != 1 ||
      !knownDepth || h.biWidth > 0x10000 || h.biHeight > 0x10000 || h.biHeight < -0x10000)
    InvalidBitmap();
  int width = h.biWidth, height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
  std::size_t stride = std::size_t(StrideOf(width, h.biBitCount));
  std::size_t available = size - std::min(size, bitsOffset);
  bool compressed = h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4;
  std::size_t needed = compressed ? h.biSizeImage : stride * std::size_t(height);
  if (bitsOffset > size || needed > available || needed == 0) InvalidBitmap();
  if (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS && !compressed) InvalidBitmap();
  // A colour table (and the bit-field masks) must lie between the header and the bits.
  std::size_t colours = h.biBitCount <= 8 && !h.biClrUsed ? (std::size_t(1) << h.biBitCount) : h.biClrUsed;
  if (colours > 256) InvalidBitmap();
  std::size_t tableBytes =
      colours * sizeof(RGBQUAD) + (h.biCompression == BI_BITFIELDS && h.biSize == sizeof h ? 12 : 0);
  if (h.biSize + tableBytes > bitsOffset) InvalidBitmap();

  FreeImage();
  FWidth = width;
  FHeight = height;
  FPixelFormat = h.biBitCount == 32 ? TPixelFormat::pf32bit : TPixelFormat::pf24bit;
  Create();
  const std::uint8_t* bits = info + bitsOffset;
  if (h.biBitCount == 32 && h.biCompression == BI_RGB) {
    // Copied as they are, so that the alpha bytes survive.
    for (int y = 0; y < height; ++y) {
      int fileRow = h.biHeight < 0 ? y : height - 1 - y;
      std::memcpy(ScanLine(y), bits + std::size_t(fileRow) * stride, std::size_t(width) * 4);
    }
  } else {
    HDC screen = GetDC(nullptr);
    SetDIBits(screen, FHandle, 0, UINT(height), bits, reinterpret_cast<const BITMAPINFO*>(info), DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
  }
  Changed();
}

void TBitmap::SaveToStream(TStream& stream) {
  if (Empty()) return;
  int bits = FPixelFormat == TPixelFormat::pf32bit ? 32 : 24;
  std::size_t stride = std::size_t(StrideOf(FWidth, bits));
  std::size_t imageBytes = stride * std::size_t(FHeight);
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = FWidth;
  h.biHeight = FHeight;
  h.biPlanes = 1;
  h.biBitCount = WORD(bits);
  h.biCompression = BI_RGB;
  h.biSizeImage = DWORD(imageBytes);
  std::vector<std::uint8_t> pixels(imageBytes);
  // 24- and 32-bit sections are written as they are (alpha bytes kept); every
  // other format is written as 24 bits, read back by the system.
  if (FPixelFormat != TPixelFormat::pf24bit && FPixelFormat != TPixelFormat::pf32bit) {
    HDC screen = GetDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = h;
    GetDIBits(screen, Handle(), 0, UINT(FHeight), pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
  } else {
    for (int y = 0; y < FHeight; ++y)
      std::memcpy(pixels.data() + std::size_t(FHeight - 1 - y) * stride, ScanLine(y), stride);
  }
  BITMAPFILEHEADER file{};
  file.bfType = kBitmapFileType;
  file.bfOffBits = DWORD(sizeof file + sizeof h);
  file.bfSize = DWORD(file.bfOffBits + imageBytes);
  stream.WriteBuffer(&file, sizeof file);
  stream.WriteBuffer(&h, sizeof h);
  stream.WriteBuffer(pixels.data(), pixels.size());
}

void TBitmap::Draw(TCanvas& canvas, const RECT& rect) {
  if (Empty()) return;
  HDC dc = canvas.Handle();
  int w = rect.right - rect.left, h = rect.bottom - rect.top;
  HDC src = Canvas().Handle();
  if (Transparent()) {
    TransparentBlt(dc, rect.left, rect.top, w, h, src, 0, 0, FWidth, FHeight, ColorToRGB(TransparentColor()));
  } else if (w == FWidth && h == FHeight) {
    BitBlt(dc, rect.left, rect.top, w, h, src, 0, 0, SRCCOPY);
  } else {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, rect.left, rect.top, w, h, src, 0, 0, FWidth, FHeight, SRCCOPY);
  }
}

void TBitmap::LoadFromClipboardFormat(UINT format, HANDLE data) {
  if (format != CF_BITMAP || !data) throw EInvalidGraphic(L"Unsupported clipboard format");
  // The clipboard keeps its bitmap: a copy is taken over.
  HANDLE copy = CopyImage(data, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
  if (!copy) RaiseLastOSError(L"Cannot copy the clipboard bitmap");
  SetHandle(static_cast<HBITMAP>(copy));
}

void TBitmap::SaveToClipboardFormat(UINT& format, HANDLE& data) {
  format = CF_BITMAP;
  data = CopyImage(Handle(), IMAGE_BITMAP, 0, 0, 0);
  if (!data) RaiseLastOSError(L"Cannot copy the bitmap");
}

void TBitmap::ReadData(TStream& stream) {
  auto size = stream.ReadValue<std::uint32_t>();
  if (size == 0) {
    SetSize(0, 0);
    return;
  }
  if (size > kMaxBitmapBytes) InvalidBitmap();
  std::vector<std::uint8_t> bytes(size);
  stream.ReadBuffer(bytes.data(), bytes.size());
  TMemoryStream file(std::move(bytes));
  LoadFromStream(file);
}

void TBitmap::WriteData(TStream& stream) {
  TMemoryStream file;
  SaveToStream(file);
  stream.WriteValue(std::uint32_t(file.Size()));
  file.SaveToStream(stream);
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
    SetTransparent(src.Transparent());
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

// ---- TIcon

namespace {

#pragma pack(push, 1)
struct IconDirectory {
  std::uint16_t Reserved, Type, Count;
};
struct IconDirectoryEntry {
  std::uint8_t Width, Height, ColorCount, Reserved;
  std::uint16_t Planes, BitCount;
  std::uint32_t BytesInRes, ImageOffset;
};
#pragma pack(pop)

constexpr std::size_t kMaxIconBytes = std::size_t(1) << 24;

[[noreturn]] void InvalidIcon() { throw EInvalidGraphic(L"Icon image is not valid"); }

}  // namespace

TIcon::~TIcon() {
  if (FHandle) DestroyIcon(FHandle);
}

void TIcon::SetWidth(int) { throw EInvalidGraphicOperation(L"Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation(L"Cannot change the size of an icon"); }

void TIcon::SetHandle(HICON icon) {
  if (icon == FHandle) return;
  if (FHandle) DestroyIcon(FHandle);
  FHandle = icon;
  FWidth = FHeight = 0;
  ICONINFO info{};
  if (icon && GetIconInfo(icon, &info)) {
    BITMAP bm{};
    HBITMAP sized = info.hbmColor ? info.hbmColor : info.hbmMask;
    if (GetObjectW(sized, sizeof bm, &bm)) {
      FWidth = bm.bmWidth;
      // A monochrome icon's mask holds the AND and XOR halves one above the other.
      FHeight = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
  }
  Changed();
}

HICON TIcon::ReleaseHandle() {
  FWidth = FHeight = 0;
  return std::exchange(FHandle, nullptr);
}

void TIcon::Draw(TCanvas& canvas, const RECT& rect) {
  if (!FHandle) return;
  DrawIconEx(canvas.Handle(), rect.left, rect.top, FHandle, rect.right - rect.left, rect.bottom - rect.top, 0,
             nullptr, DI_NORMAL);
}

void TIcon::LoadFromStream(TStream& stream) {
  std::int64_t start = stream.Position();
  auto dir = stream.ReadValue<IconDirectory>();
  if (dir.Reserved != 0 || (dir.Type != 1 && dir.Type != 2) || dir.Count == 0) InvalidIcon();
  auto entry = stream.ReadValue<IconDirectoryEntry>();
  std::size_t headers = sizeof dir + std::size_t(dir.Count) * sizeof entry;
  if (entry.BytesInRes < sizeof(BITMAPINFOHEADER) || entry.BytesInRes > kMaxIconBytes || entry.ImageOffset < headers)
    InvalidIcon();
  stream.SetPosition(start + entry.ImageOffset);
  std::vector<std::uint8_t> image(entry.BytesInRes);
  stream.ReadBuffer(image.data(), image.size());
  HICON icon = CreateIconFromResourceEx(image.data(), DWORD(image.size()), dir.Type == 1, 0x00030000, 0, 0,
                                        LR_DEFAULTCOLOR);
  if (!icon) InvalidIcon();
  SetHandle(icon);
}

void TIcon::SaveToStream(TStream& stream) {
  if (!FHandle) return;
  ICONINFO info{};
  if (!GetIconInfo(FHandle, &info)) RaiseLastOSError(L"Cannot read the icon");
  struct Bitmaps {
    ICONINFO& Info;
    ~Bitmaps() {
      if (Info.hbmColor) DeleteObject(Info.hbmColor);
      if (Info.hbmMask) DeleteObject(Info.hbmMask);
    }
  } owner{info};
  int w = FWidth, h = FHeight;
  std::size_t colourBytes = std::size_t(w) * std::size_t(h) * 4;
  std::size_t maskStride = std::size_t(StrideOf(w, 1));
  std::size_t maskBytes = maskStride * std::size_t(h);
  std::vector<std::uint8_t> colour(colourBytes, 0), mask(maskBytes, 0);
  HDC screen = GetDC(nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  if (info.hbmColor) GetDIBits(screen, info.hbmColor, 0, UINT(h), colour.data(), &bi, DIB_RGB_COLORS);
  struct {
    BITMAPINFOHEADER Header;
    RGBQUAD Colors[2];
  } monochrome{};
  monochrome.Header = bi.bmiHeader;
  monochrome.Header.biBitCount = 1;
  // A monochrome icon's mask: the AND half is the lower (first stored) one.
  GetDIBits(screen, info.hbmMask, 0, UINT(h), mask.data(), reinterpret_cast<BITMAPINFO*>(&monochrome),
            DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);

  BITMAPINFOHEADER header = bi.bmiHeader;
  header.biHeight = h * 2;  // colour and mask, as icon resources hold them
  header.biSizeImage = DWORD(colourBytes + maskBytes);
  IconDirectory dir{0, 1, 1};
  IconDirectoryEntry entry{std::uint8_t(w >= 256 ? 0 : w), std::uint8_t(h >= 256 ? 0 : h), 0, 0, 1, 32,
                           std::uint32_t(sizeof header + colourBytes + maskBytes),
                           std::uint32_t(sizeof dir + sizeof entry)};
  stream.WriteValue(dir);
  stream.WriteValue(entry);
  stream.WriteValue(header);
  stream.WriteBuffer(colour.data(), colour.size());
  stream.WriteBuffer(mask.data(), mask.size());
}

void TIcon::Assign(const TPersistent& source) {
  if (auto* icon = dynamic_cast<const TIcon*>(&source)) {
    if (icon == this) return;
    SetHandle(icon->FHandle ? CopyIcon(icon->FHandle) : nullptr);
    return;
  }
  TGraphic::Assign(source);
}

// ---- TPicture and the picture-format registry

namespace {

std::vector<TPictureFormat>& Formats() {
  static std::vector<TPictureFormat> formats{{L"bmp", kBitmapsDescription, GraphicClassOf<TBitmap>()},
                                             {L"ico", L"Icons", GraphicClassOf<TIcon>()}};
  return formats;
}

WideString LowerExtension(WideString extension) {
  if (!extension.empty() && extension[0] == L'.') extension.erase(0, 1);
  if (!extension.empty()) CharLowerBuffW(extension.data(), DWORD(extension.size()));
  return extension;
}

WideString ExtensionOf(const WideString& fileName) {
  WideString name = ExtractFileName(fileName);
  std::size_t dot = name.rfind(L'.');
  return dot == WideString::npos ? WideString() : LowerExtension(name.substr(dot + 1));
}

}  // namespace

void TPicture::RegisterFileFormat(const WideString& extension, const WideString& description,
                                  TGraphicClass graphicClass) {
  Formats().push_back({LowerExtension(extension), description, graphicClass});
}

void TPicture::UnregisterGraphicClass(TGraphicClass graphicClass) {
  std::erase_if(Formats(), [&](const TPictureFormat& f) { return f.GraphicClass->Info == graphicClass->Info; });
}

TGraphicClass TPicture::FileFormatClass(const WideString& extension) {
  WideString wanted = LowerExtension(extension);
  for (const TPictureFormat& f : Formats())
    if (f.Extension == wanted) return f.GraphicClass;
  return nullptr;
}

std::vector<TPictureFormat> TPicture::FileFormats() { return Formats(); }

TGraphicClass TPicture::FindGraphicClass(const WideString& className) {
  for (const TPictureFormat& f : Formats())
    if (SameTextIgnoringCase(f.GraphicClass->Info->Name, className)) return f.GraphicClass;
  for (TGraphicClass builtIn : {GraphicClassOf<TBitmap>(), GraphicClassOf<TIcon>()})
    if (SameTextIgnoringCase(builtIn->Info->Name, className)) return builtIn;
  return nullptr;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::GraphicChanged() {
  if (OnChange) OnChange(this);
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
  FGraphic = std::move(graphic);
  if (FGraphic) FGraphic->OnChange = [this](TObject*) { GraphicChanged(); };
  GraphicChanged();
}

TBitmap& TPicture::Bitmap() {
  if (!dynamic_cast<TBitmap*>(FGraphic.get())) SetGraphic(std::make_unique<TBitmap>());
  return static_cast<TBitmap&>(*FGraphic);
}

void TPicture::LoadFromFile(const WideString& fileName) {
  WideString extension = ExtensionOf(fileName);
  TGraphicClass graphicClass = FileFormatClass(extension);
  if (!graphicClass) throw EInvalidGraphic(L"Unknown picture file extension (." + extension + L")");
  std::unique_ptr<TGraphic> graphic = graphicClass->Create();
  graphic->LoadFromFile(fileName);
  SetGraphic(std::move(graphic));
}

void TPicture::SaveToFile(const WideString& fileName) {
  if (FGraphic) FGraphic->SaveToFile(fileName);
}

void TPicture::Assign(const TPersistent& source) {
  const TGraphic* graphic = nullptr;
  if (auto* picture = dynamic_cast<const TPicture*>(&source)) graphic = picture->FGraphic.get();
  else if (!(graphic = dynamic_cast<const TGraphic*>(&source))) return TPersistent::Assign(source);
  if (!graphic) return SetGraphic(nullptr);
  TGraphicClass graphicClass = FindGraphicClass(graphic->ClassName());
  if (!graphicClass) throw EInvalidGraphic(L"Unknown picture class " + graphic->ClassName());
  std::unique_ptr<TGraphic> copy = graphicClass->Create();
  copy->Assign(*graphic);
  SetGraphic(std::move(copy));
}

void TPicture::DefineProperties(TFiler& filer) {
  filer.DefineBinaryProperty(L"Data", [this](TStream& s) { ReadData(s); }, [this](TStream& s) { WriteData(s); },
                             FGraphic != nullptr);
}

// Form data: the graphic's class name (a length byte and its characters),
// then the graphic's own form data.
void TPicture::ReadData(TStream& stream) {
  auto length = stream.ReadValue<std::uint8_t>();
  std::string name(length, '\0');
  if (length) stream.ReadBuffer(name.data(), length);
  WideString className(name.begin(), name.end());
  TGraphicClass graphicClass = FindGraphicClass(className);
  if (!graphicClass) throw EReadError(L"Unknown picture class " + className);
  std::unique_ptr<TGraphic> graphic = graphicClass->Create();
  graphic->ReadData(stream);
  SetGraphic(std::move(graphic));
}

void TPicture::WriteData(TStream& stream) {
  WideString className = FGraphic->ClassName();
  std::string name(className.begin(), className.end());
  stream.WriteValue(std::uint8_t(name.size()));
  stream.WriteBuffer(name.data(), name.size());
  FGraphic->WriteData(stream);
}

// ---- TMetafile

TMetafile::~TMetafile() {
  if (FHandle) DeleteEnhMetaFile(FHandle);
}

void TMetafile::SetHandle(HENHMETAFILE metafile) {
  if (FHandle && FHandle != metafile) DeleteEnhMetaFile(FHandle);
  FHandle = metafile;
  ENHMETAHEADER header{};
  if (metafile && GetEnhMetaFileHeader(metafile, sizeof header, &header)) {
    if (FWidth == 0) FWidth = int(header.rclBounds.right - header.rclBounds.left + 1);
    if (FHeight == 0) FHeight = int(header.rclBounds.bottom - header.rclBounds.top + 1);
  }
  SetModified(true);
}

HENHMETAFILE TMetafile::ReleaseHandle() { return std::exchange(FHandle, nullptr); }

void TMetafile::Draw(TCanvas& canvas, const RECT& rect) {
  if (FHandle) PlayEnhMetaFile(canvas.Handle(), FHandle, &rect);
}

void TMetafile::LoadFromStream(TStream& stream) {
  std::vector<std::uint8_t> bytes(std::size_t(stream.Size() - stream.Position()));
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), bytes.size());
  HENHMETAFILE metafile = SetEnhMetaFileBits(UINT(bytes.size()), bytes.data());
  if (!metafile) throw EInvalidGraphic(L"Invalid metafile");
  FWidth = FHeight = 0;
  SetHandle(metafile);
}

void TMetafile::SaveToStream(TStream& stream) {
  if (!FHandle) return;
  std::vector<std::uint8_t> bytes(GetEnhMetaFileBits(FHandle, 0, nullptr));
  GetEnhMetaFileBits(FHandle, UINT(bytes.size()), bytes.data());
  stream.WriteBuffer(bytes.data(), bytes.size());
}

void TMetafile::Assign(const TPersistent& source) {
  if (const auto* m = dynamic_cast<const TMetafile*>(&source)) {
    if (m == this) return;
    SetHandle(m->FHandle ? CopyEnhMetaFileW(m->FHandle, nullptr) : nullptr);
    FWidth = m->FWidth;
    FHeight = m->FHeight;
    FEnhanced = m->FEnhanced;
    return;
  }
  TGraphic::Assign(source);
}

// ---- TMetafileCanvas

TMetafileCanvas::TMetafileCanvas(TMetafile& metafile, HDC referenceDevice) : FMetafile(metafile) {
  HDC screen = referenceDevice ? nullptr : GetDC(nullptr);
  HDC reference = referenceDevice ? referenceDevice : screen;
  // The frame in 0.01 mm from the reference device's pixel size.
  const int mmWide = GetDeviceCaps(reference, HORZSIZE), mmHigh = GetDeviceCaps(reference, VERTSIZE);
  const int pxWide = GetDeviceCaps(reference, HORZRES), pxHigh = GetDeviceCaps(reference, VERTRES);
  RECT frame{0, 0, MulDiv(metafile.Width(), mmWide * 100, pxWide), MulDiv(metafile.Height(), mmHigh * 100, pxHigh)};
  const bool sized = metafile.Width() > 0 && metafile.Height() > 0;
  FRecording = CreateEnhMetaFileW(reference, nullptr, sized ? &frame : nullptr, nullptr);
  if (screen) ReleaseDC(nullptr, screen);
  if (!FRecording) RaiseLastOSError(L"Cannot create metafile");
  SetHandle(FRecording);
}

TMetafileCanvas::~TMetafileCanvas() {
  SetHandle(nullptr);
  const int width = FMetafile.Width(), height = FMetafile.Height();
  FMetafile.SetHandle(CloseEnhMetaFile(FRecording));
  FMetafile.SetWidth(width);
  FMetafile.SetHeight(height);
}

}  // namespace tvk
