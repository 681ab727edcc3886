#include "AlphaImage.h"

#include "PngImage.h"
#include "WindowClasses.h"
#include "XPColors.h"
#include "XPGraphics.h"
#include "ZStreams.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace tvk {

namespace {

constexpr std::uint8_t kZLibMaxHeader[2] = {0x78, 0xDA};  // zlib at the highest level
constexpr std::uint32_t kOpaqueBlack = 0xFF000000;
// Larger alpha-image data than this is taken as damaged rather than allocated.
constexpr std::uint32_t kMaxAlphaImageBytes = 1u << 28;

[[noreturn]] void InvalidAlphaImage() { throw EInvalidGraphic(L"Alpha image is not valid"); }

// The system's text for the last error (at most 256 characters), else the
// library's "Out of system resources".
[[noreturn]] void RaiseOutOfResources() {
  DWORD code = GetLastError();
  wchar_t text[256] = L"";
  DWORD length = code ? FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), text, 256, nullptr)
                      : 0;
  while (length > 0 && text[length - 1] <= L' ') --length;
  throw EOutOfResources(length ? WideString(text, length) : WideString(L"Out of system resources"));
}

BITMAPINFO SectionInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = DWORD(width) * DWORD(height) * 4;
  return info;
}

// A new 32-bit section filled with Fill.
TAlphaImageData NewSection(int width, int height, std::uint32_t fill) {
  TAlphaImageData data;
  BITMAPINFO info = SectionInfo(width, height);
  HDC screen = GetDC(nullptr);
  data.Handle = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &data.Bits, nullptr, 0);
  ReleaseDC(nullptr, screen);
  if (!data.Handle) RaiseOutOfResources();
  data.Width = width;
  data.Height = height;
  std::fill_n(static_cast<std::uint32_t*>(data.Bits), std::size_t(width) * std::size_t(height), fill);
  return data;
}

std::size_t PixelCount(int width, int height) { return std::size_t(width) * std::size_t(height); }

}  // namespace

TAlphaImageData ReadAlphaImageData(TStream& stream) {
  auto n = stream.ReadValue<std::int32_t>();
  if (n < std::int32_t(sizeof(BITMAPINFOHEADER)) || std::uint32_t(n) > kMaxAlphaImageBytes) InvalidAlphaImage();
  std::vector<std::uint8_t> buffer(static_cast<std::size_t>(n));
  stream.ReadBuffer(buffer.data(), buffer.size());
  BITMAPINFOHEADER header;
  std::memcpy(&header, buffer.data(), sizeof header);
  // Nothing outside the buffer is read, whatever the header claims.
  if (header.biSize < sizeof header || header.biSize > std::uint32_t(n) || header.biBitCount != 32 ||
      header.biWidth <= 0 || header.biHeight <= 0)
    InvalidAlphaImage();
  std::uint64_t pixelBytes = std::uint64_t(header.biWidth) * std::uint64_t(header.biHeight) * 4;
  if (std::uint64_t(header.biSize) + pixelBytes > std::uint64_t(n)) InvalidAlphaImage();

  TAlphaImageData data = NewSection(header.biWidth, header.biHeight, 0);
  const std::uint8_t* in = buffer.data() + header.biSize;
  auto* out = static_cast<std::uint8_t*>(data.Bits);
  for (std::size_t i = 0; i < PixelCount(data.Width, data.Height); ++i, in += 4, out += 4) {
    std::uint8_t a = in[3];
    for (int ch = 0; ch < 3; ++ch) out[ch] = std::uint8_t(a * in[ch] / 255);
    out[3] = a;
  }
  return data;
}

// ---- TAlphaImage

TAlphaImage::TAlphaImage(const WideString& resName) { LoadFromResource(resName); }

TAlphaImage::~TAlphaImage() { Free(); }

void TAlphaImage::Free() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
  FBits = nullptr;
  FWidth = FHeight = 0;
}

void TAlphaImage::LoadFromResource(const WideString& resName) {
  TResourceStream stream(ClassLibraryInstance(), resName, RT_RCDATA);
  FResName = resName;
  LoadFromStream(stream);
}

void TAlphaImage::LoadFromFile(const WideString& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TAlphaImage::LoadFromStream(TStream& stream) {
  Free();
  TDecompressionStream unzip(stream);
  TAlphaImageData data = ReadAlphaImageData(unzip);
  FHandle = data.Handle;
  FBits = data.Bits;
  FWidth = unsigned(data.Width);
  FHeight = unsigned(data.Height);
}

void TAlphaImage::ReplaceColor(TColor src, TColor dst) {
  if (!FBits) return;
  GdiFlush();
  COLORREF from = ColorToRGB(src), to = ColorToRGB(dst);
  auto* p = static_cast<std::uint8_t*>(FBits);
  for (std::size_t i = 0; i < PixelCount(int(FWidth), int(FHeight)); ++i, p += 4)
    if (p[0] == GetBValue(from) && p[1] == GetGValue(from) && p[2] == GetRValue(from)) {
      p[0] = GetBValue(to);
      p[1] = GetGValue(to);
      p[2] = GetRValue(to);
    }
}

// ---- TAlphaBitmapImage and its canvas

void TAlphaBitmapImage::FreeHandle() {
  if (FHandle) DeleteObject(FHandle);
  FHandle = nullptr;
  FBits = nullptr;
}

void TAlphaBitmapCanvas::FreeContext() {
  HDC dc = HandleAllocated() ? Handle() : nullptr;
  if (!dc) return;
  Lock();
  DeselectHandles();
  if (FOldBitmap) SelectObject(dc, FOldBitmap);
  FOldBitmap = nullptr;
  DeleteDC(dc);
  Unlock();
}

void TAlphaBitmapCanvas::CreateHandle() {
  if (!FBitmap) return;
  Lock();
  FreeContext();
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) {
    Unlock();
    RaiseLastOSError(L"Cannot create a memory context");
  }
  FOldBitmap = FBitmap->FImage->FHandle ? SelectObject(dc, FBitmap->FImage->FHandle) : nullptr;
  SetHandle(dc);
  Unlock();
}

// ---- TAlphaBitmap

TAlphaBitmap::TAlphaBitmap() : FImage(std::make_shared<TAlphaBitmapImage>(nullptr, nullptr, 0, 0)) {}

TAlphaBitmap::~TAlphaBitmap() {
  FreeContext();
  FCanvas.reset();
}

void TAlphaBitmap::FreeContext() {
  if (FCanvas) FCanvas->FreeContext();
}

bool TAlphaBitmap::Empty() const { return !FImage->FHandle || FImage->FWidth == 0 || FImage->FHeight == 0; }

TCanvas& TAlphaBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TAlphaBitmapCanvas>(this);
    FCanvas->OnChange = [this](TObject*) { Changed(); };
  }
  return *FCanvas;
}

HBITMAP TAlphaBitmap::Handle() {
  FreeContext();
  return FImage->FHandle;
}

void TAlphaBitmap::SetHandle(HBITMAP bitmap) {
  if (!bitmap) return Clear();
  DIBSECTION ds{};
  bool section = GetObjectW(bitmap, sizeof ds, &ds) == int(sizeof ds) && ds.dsBm.bmBits &&
                 ds.dsBm.bmBitsPixel == 32 && ds.dsBmih.biHeight > 0;
  if (section) {
    SetImage(bitmap, ds.dsBm.bmWidth, true, ds.dsBm.bmBits, ds.dsBm.bmHeight);
  } else {
    // Another kind of bitmap: its picture, opaque, in a section of our own.
    BITMAP bm{};
    if (!GetObjectW(bitmap, sizeof bm, &bm)) throw EInvalidGraphic(L"Invalid bitmap");
    int height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    TAlphaImageData data = NewSection(bm.bmWidth, height, 0);
    HDC src = CreateCompatibleDC(nullptr), dst = CreateCompatibleDC(nullptr);
    HGDIOBJ oldSrc = SelectObject(src, bitmap), oldDst = SelectObject(dst, data.Handle);
    BitBlt(dst, 0, 0, bm.bmWidth, height, src, 0, 0, SRCCOPY);
    SelectObject(src, oldSrc);
    SelectObject(dst, oldDst);
    DeleteDC(src);
    DeleteDC(dst);
    GdiFlush();
    auto* p = static_cast<std::uint32_t*>(data.Bits);
    for (std::size_t i = 0; i < PixelCount(data.Width, data.Height); ++i) p[i] |= kOpaqueBlack;
    DeleteObject(bitmap);
    SetImage(data.Handle, data.Width, true, data.Bits, data.Height);
  }
  Changed();
}

void TAlphaBitmap::Changed() {
  if (FUpdateCount == 0) TGraphic::Changed();
}

void TAlphaBitmap::BeginUpdate() {
  if (FUpdateCount == 0) CopyImage();
  ++FUpdateCount;
}

void TAlphaBitmap::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) Changed();
}

void TAlphaBitmap::Draw(TCanvas& canvas, const RECT& rect) {
  DrawSourceRect(canvas, RECT{0, 0, Width(), Height()}, rect);
}

void TAlphaBitmap::DrawBit(TCanvas& canvas, int left, int top) {
  DrawSourceRect(canvas, RECT{0, 0, Width(), Height()}, RECT{left, top, left + Width(), top + Height()});
}

void TAlphaBitmap::DrawStretch(TCanvas& canvas, const RECT& rect) {
  DrawSourceRect(canvas, RECT{0, 0, Width(), Height()}, rect);
}

void TAlphaBitmap::DrawSourceRect(TCanvas& canvas, const RECT& source, const RECT& dest) {
  if (Empty()) return;
  HDC target = canvas.Handle();
  SetStretchBltMode(target, HALFTONE);
  HDC own = Canvas().Handle();
  const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  const int sw = source.right - source.left, sh = source.bottom - source.top;
  if (FIsAlpha) {
    AlphaStretchBlit(target, dest.left, dest.top, dw, dh, own, source.left, source.top, sw, sh);
  } else {
    TColor transparent = Canvas().Pixel(0, Height() - 1);
    StretchTransparentBlit(target, dest.left, dest.top, dw, dh, own, source.left, source.top, sw, sh, transparent);
  }
}

void* TAlphaBitmap::ScanLine(int row) {
  if (row < 0 || row >= Height() || !FImage->FBits) throw EInvalidOperation(L"Scan line index out of range");
  GdiFlush();
  return static_cast<std::uint8_t*>(FImage->FBits) + std::size_t(row) * std::size_t(Width()) * 4;
}

void TAlphaBitmap::SetImage(HBITMAP handle, int width, bool isAlpha, void* bits, int height) {
  FreeContext();
  FCanvas.reset();
  FImage = std::make_shared<TAlphaBitmapImage>(handle, bits, width, height);
  FIsAlpha = isAlpha;
}

void TAlphaBitmap::CopyImage() {
  if (!FImage->FHandle) return;
  GdiFlush();
  TAlphaImageData copy = NewSection(Width(), Height(), 0);
  std::memcpy(copy.Bits, FImage->FBits, PixelCount(Width(), Height()) * 4);
  bool monochrome = FImage->FMonochrome;
  SetImage(copy.Handle, copy.Width, FIsAlpha, copy.Bits, copy.Height);
  FImage->FMonochrome = monochrome;
}

void TAlphaBitmap::Resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == Width() && height == Height()) return;
  if (width == 0 || height == 0) {
    SetImage(nullptr, width, FIsAlpha, nullptr, height);
    Changed();
    return;
  }
  TAlphaImageData data = NewSection(width, height, kOpaqueBlack);
  if (FImage->FBits) {
    GdiFlush();
    // Memory rows from the first stored (the bottom one): the bottom-left part stays.
    const int rows = std::min(height, Height()), columns = std::min(width, Width());
    for (int r = 0; r < rows; ++r)
      std::memcpy(static_cast<std::uint8_t*>(data.Bits) + std::size_t(r) * std::size_t(width) * 4,
                  static_cast<const std::uint8_t*>(FImage->FBits) + std::size_t(r) * std::size_t(Width()) * 4,
                  std::size_t(columns) * 4);
  }
  SetImage(data.Handle, width, FIsAlpha, data.Bits, height);
  Changed();
}

void TAlphaBitmap::SetWidth(int width) { Resize(width, Height()); }
void TAlphaBitmap::SetHeight(int height) { Resize(Width(), height); }

void TAlphaBitmap::SetTransparent(bool value) {
  TGraphic::SetTransparent(value);
  UpdateAlphaFromTransparency();
}

void TAlphaBitmap::UpdateAlphaFromTransparency() {
  if (FIsAlpha || Empty()) return;
  GdiFlush();
  auto* pixels = static_cast<std::uint32_t*>(FImage->FBits);
  const std::size_t count = PixelCount(Width(), Height());
  if (!Transparent()) {
    for (std::size_t i = 0; i < count; ++i) pixels[i] |= kOpaqueBlack;
    return;
  }
  COLORREF key = ColorToRGB(Canvas().Pixel(0, Height() - 1));
  std::uint32_t keyPixel = GetBValue(key) | (GetGValue(key) << 8) | (GetRValue(key) << 16);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t colour = pixels[i] & 0xFFFFFF;
    pixels[i] = colour | (colour == keyPixel ? 0 : kOpaqueBlack);
  }
}

void TAlphaBitmap::SetMonochrome(bool value) {
  if (!value) {
    FImage->FMonochrome = false;
    return;
  }
  CopyImage();
  FImage->FMonochrome = true;
  MakeMonochrome();
}

void TAlphaBitmap::MakeMonochrome() {
  if (Empty()) return Changed();
  auto* p = static_cast<std::uint8_t*>(FImage->FBits);
  for (std::size_t i = 0; i < PixelCount(Width(), Height()); ++i, p += 4) {
    if (p[3] == 0) continue;
    std::uint8_t grey = GrayLevel(p[2], p[1], p[0]);
    std::uint8_t h = 0, s = 0, l = 0;
    ColorToHSL(TColor(grey * 0x010101), h, s, l);
    COLORREF c = ColorToRGB(HSLToColor(h, s, std::uint8_t(255 - ((255 - l) >> 1))));  // halfway to white
    p[0] = GetBValue(c);
    p[1] = GetGValue(c);
    p[2] = GetRValue(c);
  }
  Changed();
}

void TAlphaBitmap::Clear() {
  SetImage(nullptr, 0, true, nullptr, 0);
  Changed();
}

void TAlphaBitmap::Assign(const TPersistent& source) {
  if (auto* picture = dynamic_cast<const TPicture*>(&source)) {
    if (!picture->Graphic()) return Clear();
    return Assign(*picture->Graphic());
  }
  if (auto* alpha = dynamic_cast<const TAlphaBitmap*>(&source)) {
    if (alpha == this) return;
    FreeContext();
    FImage = alpha->FImage;  // shared, then made private
    FIsAlpha = alpha->FIsAlpha;
    CopyImage();
    Changed();
    return;
  }
  if (auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
    auto& b = const_cast<TBitmap&>(*bitmap);  // reading its pixels needs its context
    TAlphaImageData data = NewSection(b.Width(), b.Height(), kOpaqueBlack);
    SetImage(data.Handle, data.Width, false, data.Bits, data.Height);
    if (!b.Empty()) Canvas().CopyRect(RECT{0, 0, Width(), Height()}, b.Canvas(), RECT{0, 0, b.Width(), b.Height()});
    SetTransparent(true);
    Changed();
    return;
  }
  if (auto* graphic = dynamic_cast<const TGraphic*>(&source)) {
    auto& g = const_cast<TGraphic&>(*graphic);
    TAlphaImageData data = NewSection(g.Width(), g.Height(), 0);
    SetImage(data.Handle, data.Width, false, data.Bits, data.Height);
    if (auto* png = dynamic_cast<TPngImage*>(&g)) {
      // The picture's colours, premultiplied once by its alpha; memory row r is picture row H - 1 - r.
      for (int r = 0; r < Height(); ++r) {
        const std::uint32_t* in = png->ScanLine(Height() - 1 - r);
        auto* out = static_cast<std::uint8_t*>(FImage->FBits) + std::size_t(r) * std::size_t(Width()) * 4;
        for (int x = 0; x < Width(); ++x, out += 4) {
          std::uint8_t a = png->HasAlpha() ? std::uint8_t(in[x] >> 24) : 255;
          for (int ch = 0; ch < 3; ++ch) out[ch] = std::uint8_t(MulDiv(int((in[x] >> (8 * ch)) & 0xFF), a, 255));
          out[3] = a;
        }
      }
      FIsAlpha = png->HasAlpha();
    } else if (!Empty()) {
      Canvas().Brush().SetColor(FBackgroundColor);
      Canvas().FillRect(RECT{0, 0, Width(), Height()});
      Canvas().Draw(0, 0, g);
    }
    SetTransparent(true);
    Changed();
    return;
  }
  TGraphic::Assign(source);
}

void TAlphaBitmap::LoadFromResource(const WideString& resName) {
  TResourceStream stream(ClassLibraryInstance(), resName, RT_RCDATA);
  LoadFromStream(stream);
}

void TAlphaBitmap::ReadImageData(TStream& stream) {
  TAlphaImageData data = ReadAlphaImageData(stream);
  SetImage(data.Handle, data.Width, true, data.Bits, data.Height);
  Changed();
}

void TAlphaBitmap::LoadFromStream(TStream& stream) {
  std::int64_t start = stream.Position();
  std::uint8_t head[2] = {0, 0};
  stream.ReadBuffer(head, sizeof head);
  stream.SetPosition(start);
  if (head[0] == kZLibMaxHeader[0] && head[1] == kZLibMaxHeader[1]) {
    TDecompressionStream unzip(stream);
    ReadImageData(unzip);
    return;
  }
  // A plain bitmap: a BMP file, or a bitmap's form data (a length first).
  if (head[0] != 'B' || head[1] != 'M') stream.Seek(4, TSeekOrigin::soCurrent);
  TBitmap bitmap;
  bitmap.LoadFromStream(stream);
  Assign(bitmap);
}

void TAlphaBitmap::SaveToStream(TStream& stream) {
  const int w = Empty() ? 0 : Width(), h = Empty() ? 0 : Height();
  TCompressionStream zip(TCompressionLevel::clMax, stream);
  std::int32_t n = std::int32_t(sizeof(BITMAPINFOHEADER) + PixelCount(w, h) * 4);
  zip.WriteValue(n);
  BITMAPINFOHEADER header = SectionInfo(w, h).bmiHeader;
  zip.WriteValue(header);
  if (w > 0) {
    GdiFlush();
    // Straight alpha, divided rounding up: the reader's a * c div 255 then
    // gives every premultiplied channel back exactly, however often it is saved.
    std::vector<std::uint8_t> pixels(PixelCount(w, h) * 4);
    const auto* in = static_cast<const std::uint8_t*>(FImage->FBits);
    for (std::size_t i = 0; i < pixels.size(); i += 4) {
      const int a = in[i + 3];
      for (std::size_t ch = 0; ch < 3; ++ch)
        pixels[i + ch] = a == 0 || a == 255 ? in[i + ch] : std::uint8_t(std::min(255, (in[i + ch] * 255 + a - 1) / a));
      pixels[i + 3] = std::uint8_t(a);
    }
    zip.WriteBuffer(pixels.data(), pixels.size());
  }
  zip.Finish();
}

void TAlphaBitmap::LoadFromClipboardFormat(UINT, HANDLE) {
  throw EInvalidGraphicOperation(L"Clipboard does not support alpha images");
}

void TAlphaBitmap::SaveToClipboardFormat(UINT&, HANDLE&) {
  throw EInvalidGraphicOperation(L"Clipboard does not support alpha images");
}

// ---- Picture formats

bool AlphaImageStartup() {
  TPicture::RegisterFileFormat(L"img", L"Compressed bitmaps with alpha channel", GraphicClassOf<TAlphaBitmap>());
  TPicture::RegisterFileFormat(L"png", L"Portable Network Graphics", GraphicClassOf<TPngImage>());
  return true;
}

void AlphaImageShutdown() {
  TPicture::UnregisterGraphicClass(GraphicClassOf<TAlphaBitmap>());
  TPicture::UnregisterGraphicClass(GraphicClassOf<TPngImage>());
}

}  // namespace tvk
