#include "PngImage.h"

#include "ComRef.h"

#include <wincodec.h>

#include <algorithm>
#include <cstring>

namespace tvk {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// Larger PNG data than this is taken as damaged rather than allocated.
constexpr std::size_t kMaxPngBytes = std::size_t(1) << 28;
constexpr int kMaxSide = 0x8000;

[[noreturn]] void InvalidPng() { throw EInvalidGraphic(L"PNG image is not valid"); }

void Check(HRESULT hr, const wchar_t* what) {
  if (FAILED(hr)) throw EInvalidGraphic(WideString(what) + L": " + SysErrorMessage(hr));
}

std::uint32_t BigEndian(const std::uint8_t* p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

// COM for the codecs: joined when the thread has it, else held for one call
// (every codec object is released before it ends).
class ComScope {
public:
  ComScope() : FResult(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(FResult)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

private:
  HRESULT FResult;
};

ComRef<IWICImagingFactory> ImagingFactory() {
  ComRef<IWICImagingFactory> factory;
  Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                         reinterpret_cast<void**>(factory.Receive())),
        L"The imaging codecs are not available");
  return factory;
}

// An IStream over a memory stream, released with it.
ComRef<IStream> StreamOn(TStream& stream) { return ComRef<IStream>::Adopt(TStreamAdapter::Create(stream)); }

}  // namespace

const std::uint32_t* TPngImage::ScanLine(int y) const {
  if (y < 0 || y >= FHeight) throw EInvalidOperation(L"Scan line index out of range");
  return FPixels.data() + std::size_t(y) * std::size_t(FWidth);
}

void TPngImage::SetPixels(int width, int height, std::vector<std::uint32_t> pixels) {
  if (width < 0 || height < 0 || pixels.size() != std::size_t(width) * std::size_t(height))
    throw EInvalidGraphicOperation(L"Pixel count does not match the size");
  FWidth = width;
  FHeight = height;
  FPixels = std::move(pixels);
  FHasAlpha = std::any_of(FPixels.begin(), FPixels.end(), [](std::uint32_t p) { return (p >> 24) != 0xFF; });
  Changed();
}

void TPngImage::Resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == FWidth && height == FHeight) return;
  std::vector<std::uint32_t> pixels(std::size_t(width) * std::size_t(height), 0);
  for (int y = 0; y < std::min(height, FHeight); ++y)
    std::copy_n(ScanLine(y), std::min(width, FWidth), pixels.data() + std::size_t(y) * std::size_t(width));
  SetPixels(width, height, std::move(pixels));
}

void TPngImage::Draw(TCanvas& canvas, const RECT& rect) {
  if (Empty()) return;
  void* bits = nullptr;
  HBITMAP section = CreateSection(FWidth, -FHeight, 32, bits);
  auto* out = static_cast<std::uint8_t*>(bits);
  // AlphaBlend takes premultiplied pixels.
  for (std::size_t i = 0; i < FPixels.size(); ++i) {
    std::uint32_t p = FPixels[i];
    std::uint8_t a = std::uint8_t(p >> 24);
    for (int c = 0; c < 3; ++c) out[i * 4 + c] = std::uint8_t(MulDiv(int((p >> (8 * c)) & 0xFF), a, 255));
    out[i * 4 + 3] = a;
  }
  HDC dc = canvas.Handle();
  HDC src = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(src, section);
  int w = rect.right - rect.left, h = rect.bottom - rect.top;
  if (FHasAlpha) {
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    AlphaBlend(dc, rect.left, rect.top, w, h, src, 0, 0, FWidth, FHeight, blend);
  } else {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, rect.left, rect.top, w, h, src, 0, 0, FWidth, FHeight, SRCCOPY);
  }
  SelectObject(src, old);
  DeleteDC(src);
  DeleteObject(section);
}

void TPngImage::LoadFromStream(TStream& stream) {
  // The file's own bytes: the signature and every chunk up to IEND.
  TMemoryStream file;
  std::uint8_t signature[8];
  stream.ReadBuffer(signature, sizeof signature);
  if (std::memcmp(signature, kSignature, sizeof kSignature) != 0) InvalidPng();
  file.WriteBuffer(signature, sizeof signature);
  for (bool end = false; !end;) {
    std::uint8_t head[8];
    stream.ReadBuffer(head, sizeof head);
    std::uint32_t length = BigEndian(head);
    if (length > 0x7FFFFFFF || std::size_t(file.Size()) + length > kMaxPngBytes) InvalidPng();
    std::vector<std::uint8_t> body(std::size_t(length) + 4);  // data and CRC
    stream.ReadBuffer(body.data(), body.size());
    file.WriteBuffer(head, sizeof head);
    file.WriteBuffer(body.data(), body.size());
    end = std::memcmp(head + 4, "IEND", 4) == 0;
  }
  file.SetPosition(0);

  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  {
    ComScope com;
    ComRef<IWICImagingFactory> factory = ImagingFactory();
    ComRef<IStream> input = StreamOn(file);
    ComRef<IWICBitmapDecoder> decoder;
    Check(factory->CreateDecoderFromStream(input.Get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.Receive()),
          L"PNG image is not valid");
    ComRef<IWICBitmapFrameDecode> frame;
    Check(decoder->GetFrame(0, frame.Receive()), L"PNG image is not valid");
    ComRef<IWICFormatConverter> converter;
    Check(factory->CreateFormatConverter(converter.Receive()), L"PNG image is not valid");
    Check(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                WICBitmapPaletteTypeCustom),
          L"PNG image is not valid");
    UINT w = 0, h = 0;
    Check(converter->GetSize(&w, &h), L"PNG image is not valid");
    if (w == 0 || h == 0 || w > UINT(kMaxSide) || h > UINT(kMaxSide)) InvalidPng();
    width = int(w);
    height = int(h);
    pixels.resize(std::size_t(w) * h);
    Check(converter->CopyPixels(nullptr, w * 4, UINT(pixels.size() * 4), reinterpret_cast<BYTE*>(pixels.data())),
          L"PNG image is not valid");
  }
  SetPixels(width, height, std::move(pixels));
}

void TPngImage::SaveToStream(TStream& stream) {
  if (Empty()) throw EInvalidGraphicOperation(L"Cannot save an empty PNG image");
  TMemoryStream file;
  {
    ComScope com;
    ComRef<IWICImagingFactory> factory = ImagingFactory();
    ComRef<IStream> output = StreamOn(file);
    ComRef<IWICBitmapEncoder> encoder;
    Check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Receive()), L"Cannot write PNG image");
    Check(encoder->Initialize(output.Get(), WICBitmapEncoderNoCache), L"Cannot write PNG image");
    ComRef<IWICBitmapFrameEncode> frame;
    Check(encoder->CreateNewFrame(frame.Receive(), nullptr), L"Cannot write PNG image");
    Check(frame->Initialize(nullptr), L"Cannot write PNG image");
    Check(frame->SetSize(UINT(FWidth), UINT(FHeight)), L"Cannot write PNG image");
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    Check(frame->SetPixelFormat(&format), L"Cannot write PNG image");
    if (format != GUID_WICPixelFormat32bppBGRA) throw EInvalidGraphic(L"Cannot write PNG image");
    Check(frame->WritePixels(UINT(FHeight), UINT(FWidth) * 4, UINT(FPixels.size() * 4),
                             reinterpret_cast<BYTE*>(FPixels.data())),
          L"Cannot write PNG image");
    Check(frame->Commit(), L"Cannot write PNG image");
    Check(encoder->Commit(), L"Cannot write PNG image");
  }
  file.SaveToStream(stream);
}

void TPngImage::Assign(const TPersistent& source) {
  if (auto* png = dynamic_cast<const TPngImage*>(&source)) {
    if (png != this) SetPixels(png->FWidth, png->FHeight, png->FPixels);
    return;
  }
  if (auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
    auto& b = const_cast<TBitmap&>(*bitmap);  // reading its pixels needs its context
    TBitmap copy;
    copy.Assign(b);
    copy.SetPixelFormat(TPixelFormat::pf32bit);
    std::vector<std::uint32_t> pixels(std::size_t(copy.Width()) * std::size_t(copy.Height()));
    for (int y = 0; y < copy.Height(); ++y) {
      auto* row = static_cast<const std::uint32_t*>(copy.ScanLine(y));
      for (int x = 0; x < copy.Width(); ++x) pixels[std::size_t(y) * std::size_t(copy.Width()) + x] = row[x] | 0xFF000000u;
    }
    SetPixels(copy.Width(), copy.Height(), std::move(pixels));
    return;
  }
  TGraphic::Assign(source);
}

}  // namespace tvk
