#pragma once
// Pictures with per-pixel alpha: TAlphaImage, a plain holder of one 32-bit
// image (the skins, loaded from the module's resources), and TAlphaBitmap, a
// full graphic registered for the picture extension "img".
//
// Alpha-image data, after zlib decompression: N (32-bit) = 40 + W*H*4, a
// BITMAPINFOHEADER (40 bytes, W, H > 0 bottom row first, 32 bits), then W*H
// pixels of blue, green, red and straight alpha, rows bottom to top. In
// memory the pixels are premultiplied, as AlphaBlend takes them.
#include "Graphics.h"

#include <cstdint>
#include <memory>

namespace tvk {

// A 32-bit section with its pixels (premultiplied alpha).
struct TAlphaImageData {
  HBITMAP Handle = nullptr;
  void* Bits = nullptr;
  int Width = 0, Height = 0;
};

// Reads alpha-image data (already decompressed) and makes its section. Raises
// EInvalidGraphic "Alpha image is not valid" unless N >= 40, 40 <= biSize <= N,
// 32 bits per pixel, W and H > 0 and biSize + W*H*4 <= N; EOutOfResources
// when the section cannot be made.
TAlphaImageData ReadAlphaImageData(TStream& stream);

class TAlphaImage : public TObject {
public:
  TVK_CLASS(TAlphaImage, TObject)
  TAlphaImage() = default;
  // Loads the module's RCDATA resource ResName at once.
  explicit TAlphaImage(const WideString& resName);
  ~TAlphaImage() override;

  // EResNotFound "Resource X not found" when the module has none.
  void LoadFromResource(const WideString& resName);
  void LoadFromFile(const WideString& fileName);
  // zlib-compressed alpha-image data.
  void LoadFromStream(TStream& stream);
  // Pixels of Src's red, green and blue take Dst's; alpha stays.
  void ReplaceColor(TColor src, TColor dst);

  HBITMAP Handle() const { return FHandle; }
  void* Bits() const { return FBits; }
  unsigned Width() const { return FWidth; }
  unsigned Height() const { return FHeight; }
  // The resource the image was last loaded from.
  const WideString& ResName() const { return FResName; }

private:
  void Free();
  void* FBits = nullptr;
  HBITMAP FHandle = nullptr;
  unsigned FHeight = 0, FWidth = 0;
  WideString FResName;
};

// The pixels an alpha bitmap shares with its copies until one changes them.
class TAlphaBitmapImage {
public:
  TAlphaBitmapImage(HBITMAP handle, void* bits, int width, int height)
      : FBits(bits), FHandle(handle), FHeight(height), FWidth(width) {}
  ~TAlphaBitmapImage() { FreeHandle(); }
  TAlphaBitmapImage(const TAlphaBitmapImage&) = delete;
  TAlphaBitmapImage& operator=(const TAlphaBitmapImage&) = delete;
  void FreeHandle();

  void* FBits;
  HBITMAP FHandle;
  int FHeight, FWidth;
  bool FMonochrome = false;
};

class TAlphaBitmap;

// The canvas of an alpha bitmap: a memory context with its section selected.
class TAlphaBitmapCanvas : public TCanvas {
public:
  TVK_CLASS(TAlphaBitmapCanvas, TCanvas)
  explicit TAlphaBitmapCanvas(TAlphaBitmap* bitmap) : FBitmap(bitmap) {}
  ~TAlphaBitmapCanvas() override { FreeContext(); }
  void FreeContext();

protected:
  void CreateHandle() override;

private:
  TAlphaBitmap* FBitmap;
  HGDIOBJ FOldBitmap = nullptr;
};

class TAlphaBitmap : public TGraphic {
public:
  TVK_CLASS(TAlphaBitmap, TGraphic)
  TAlphaBitmap();
  ~TAlphaBitmap() override;

  // From another alpha bitmap, a bitmap (transparent where it has the colour
  // of its bottom-left pixel), a PNG picture (its alpha), any other graphic
  // (over BackgroundColor) or a picture's graphic.
  void Assign(const TPersistent& source) override;
  // The image becomes empty.
  void Clear();
  void Draw(TCanvas& canvas, const RECT& rect) override;
  bool Empty() const override;
  int Width() const override { return FImage->FWidth; }
  int Height() const override { return FImage->FHeight; }
  // Rows are kept by memory order (bottom row first): growing keeps the
  // bottom rows; new pixels are opaque black.
  void SetWidth(int width) override;
  void SetHeight(int height) override;
  void SetTransparent(bool value) override;
  // zlib data beginning 0x78 0xDA is alpha-image data; anything else a plain
  // bitmap (a BMP file, or its form data: a length and a BMP file).
  void LoadFromStream(TStream& stream) override;
  // Alpha-image data compressed at the highest level, alpha written straight
  // so that reading it back gives every pixel back.
  void SaveToStream(TStream& stream) override;
  // EInvalidGraphicOperation "Clipboard does not support alpha images".
  void LoadFromClipboardFormat(UINT format, HANDLE data) override;
  void SaveToClipboardFormat(UINT& format, HANDLE& data) override;

  // Part of the picture into Dest.
  virtual void DrawSourceRect(TCanvas& canvas, const RECT& source, const RECT& dest);
  // Decompressed alpha-image data replaces the image.
  virtual void ReadImageData(TStream& stream);

  void BeginUpdate();
  void EndUpdate();
  void DrawBit(TCanvas& canvas, int left, int top);
  void DrawStretch(TCanvas& canvas, const RECT& rect);
  bool HandleAllocated() const { return FImage->FHandle != nullptr; }
  void LoadFromResource(const WideString& resName);
  TCanvas& Canvas();
  // The section (out of the canvas's context first).
  HBITMAP Handle();
  // Takes over a section: size and pixels come from it (a bitmap that is no
  // 32-bit section is converted).
  void SetHandle(HBITMAP bitmap);
  bool Monochrome() const { return FImage->FMonochrome; }
  void SetMonochrome(bool value);
  // Whether the pixels carry real alpha (else transparency comes from a colour).
  bool IsAlpha() const { return FIsAlpha; }
  TColor BackgroundColor() const { return FBackgroundColor; }
  void SetBackgroundColor(TColor color) { FBackgroundColor = color; }
  // Memory row Row (0 is the bottom row), 4 bytes per pixel.
  void* ScanLine(int row);

protected:
  // Passed on only while no update is open.
  void Changed() override;

private:
  friend class TAlphaBitmapCanvas;
  void SetImage(HBITMAP handle, int width, bool isAlpha, void* bits, int height);
  void CopyImage();
  void Resize(int width, int height);
  void UpdateAlphaFromTransparency();
  void MakeMonochrome();
  void FreeContext();

  std::shared_ptr<TAlphaBitmapImage> FImage;
  std::unique_ptr<TAlphaBitmapCanvas> FCanvas;
  bool FIsAlpha = true;
  int FUpdateCount = 0;
  TColor FBackgroundColor = 0xFF00FF;
};

// Picture formats "img" (alpha bitmaps) and "png".
bool AlphaImageStartup();
void AlphaImageShutdown();

}  // namespace tvk
