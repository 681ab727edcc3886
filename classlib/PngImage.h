#pragma once
// PNG pictures: decoded and encoded by the system's imaging codecs, kept as
// 32-bit pixels with straight (not premultiplied) alpha.
#include "Graphics.h"

#include <cstdint>
#include <vector>

namespace tvk {

class TPngImage : public TGraphic {
public:
  TVK_CLASS(TPngImage, TGraphic)
  bool Empty() const override { return FWidth == 0 || FHeight == 0; }
  int Width() const override { return FWidth; }
  int Height() const override { return FHeight; }
  // New pixels are transparent black; the top-left part is kept.
  void SetWidth(int width) override { Resize(width, FHeight); }
  void SetHeight(int height) override { Resize(FWidth, height); }

  // Whether any pixel is less than opaque.
  bool HasAlpha() const { return FHasAlpha; }
  // Row Y (0 is the top): Width pixels of blue, green, red, alpha (straight).
  const std::uint32_t* ScanLine(int y) const;
  std::uint8_t Alpha(int x, int y) const { return std::uint8_t(ScanLine(y)[x] >> 24); }
  // Takes over Width x Height pixels, top row first, as ScanLine gives them.
  void SetPixels(int width, int height, std::vector<std::uint32_t> pixels);

  // Alpha-blended where the picture has alpha, copied where it has none.
  void Draw(TCanvas& canvas, const RECT& rect) override;
  // A PNG file: exactly its chunks up to IEND are read. EInvalidGraphic
  // "PNG image is not valid" for anything else.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  // From another PNG picture or from a bitmap (opaque).
  void Assign(const TPersistent& source) override;

private:
  void Resize(int width, int height);
  int FWidth = 0, FHeight = 0;
  bool FHasAlpha = false;
  std::vector<std::uint32_t> FPixels;
};

}  // namespace tvk
