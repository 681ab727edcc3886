#include "XPBitmapUtils.h"

#include "Maths.h"
#include "PngImage.h"
#include "XPColors.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tvk {

namespace {

void CheckBitmap(TBitmap& bitmap, bool needSection = false) {
  if (bitmap.PixelFormat() != TPixelFormat::pf32bit) throw EAssertionFailed();
  if (needSection && bitmap.HandleType() != TBitmapHandleType::bmDIB) throw EAssertionFailed();
}

std::uint8_t* Row(TBitmap& bitmap, int y) { return static_cast<std::uint8_t*>(bitmap.ScanLine(y)); }

// A pixel's colour (blue, green, red bytes) as a TColor.
TColor PixelColor(const std::uint8_t* p) { return TColor(p[2] | (p[1] << 8) | (p[0] << 16)); }

void SetPixelColor(std::uint8_t* p, TColor color, std::uint8_t alpha) {
  p[0] = std::uint8_t(color >> 16);
  p[1] = std::uint8_t(color >> 8);
  p[2] = std::uint8_t(color);
  p[3] = alpha;
}

constexpr int kKernelReach = 100;

struct TKernel {
  std::vector<float> Weights;  // offsets -Size..Size
  int Size;
};

TKernel MakeKernel(double radius) {
  std::vector<double> w(2 * kKernelReach + 1);
  double sum = 0;
  for (int i = -kKernelReach; i <= kKernelReach; ++i) {
    double x = i / radius;
    w[std::size_t(i + kKernelReach)] = std::exp(-x * x / 2);
    sum += w[std::size_t(i + kKernelReach)];
  }
  for (double& v : w) v /= sum;
  int size = kKernelReach;
  double removed = 0;
  while (size > 1 && removed + 2 * w[std::size_t(size + kKernelReach)] < 1.0 / 510) {
    removed += 2 * w[std::size_t(size + kKernelReach)];
    --size;
  }
  TKernel kernel{std::vector<float>(std::size_t(2 * size + 1)), size};
  double kept = 0;
  for (int i = -size; i <= size; ++i) kept += w[std::size_t(i + kKernelReach)];
  for (int i = -size; i <= size; ++i)
    kernel.Weights[std::size_t(i + size)] = float(w[std::size_t(i + kKernelReach)] / kept);
  return kernel;
}

// Blurs Count pixels of 4 bytes into Out.
void BlurLine(const TKernel& k, const std::uint8_t* in, std::uint8_t* out, int count) {
  for (int j = 0; j < count; ++j)
    for (int ch = 0; ch < 4; ++ch) {
      float sum = 0;
      for (int n = -k.Size; n <= k.Size; ++n) {
        int at = std::clamp(j - n, 0, count - 1);
        sum += k.Weights[std::size_t(n + k.Size)] * in[std::size_t(at) * 4 + std::size_t(ch)];
      }
      out[std::size_t(j) * 4 + std::size_t(ch)] = sum >= 255 ? 255 : sum < 0 ? 0 : std::uint8_t(sum);
    }
}

}  // namespace

void ClipRectToBitmap(TBitmap& bitmap, int& left, int& top, int& right, int& bottom) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, bitmap.Width() - 1);
  bottom = std::min(bottom, bitmap.Height() - 1);
}

void SmoothBitmapRect(TBitmap& bitmap, int left, int top, int right, int bottom, int threshold) {
  CheckBitmap(bitmap);
  ClipRectToBitmap(bitmap, left, top, right, bottom);
  threshold = std::max(threshold, 0);
  const int w = bitmap.Width(), h = bitmap.Height();
  for (int y = top + 1; y <= bottom - 1; ++y)
    for (int x = left + 1; x <= right - 1; ++x) {
      int sum[4] = {0, 0, 0, 0};
      for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, h - 1); ++ny) {
        const std::uint8_t* row = Row(bitmap, ny);
        for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, w - 1); ++nx)
          for (int ch = 0; ch < 4; ++ch) sum[ch] += row[nx * 4 + ch];
      }
      std::uint8_t* p = Row(bitmap, y) + x * 4;
      for (int ch = 0; ch < 4; ++ch) {
        int average = sum[ch] / 9;
        p[ch] = std::uint8_t(std::clamp(average, p[ch] - threshold, p[ch] + threshold));
      }
    }
}

void GaussianBlur(TBitmap& bitmap, double radius) {
  CheckBitmap(bitmap, true);
  if (radius <= 0 || bitmap.Empty()) return;
  const TKernel kernel = MakeKernel(radius);
  const int w = bitmap.Width(), h = bitmap.Height();
  std::vector<std::uint8_t> line(std::size_t(std::max(w, h)) * 4), out(line.size());
  for (int y = 0; y < h; ++y) {
    std::uint8_t* row = Row(bitmap, y);
    std::memcpy(line.data(), row, std::size_t(w) * 4);
    BlurLine(kernel, line.data(), out.data(), w);
    std::memcpy(row, out.data(), std::size_t(w) * 4);
  }
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y) std::memcpy(&line[std::size_t(y) * 4], Row(bitmap, y) + x * 4, 4);
    BlurLine(kernel, line.data(), out.data(), h);
    for (int y = 0; y < h; ++y) std::memcpy(Row(bitmap, y) + x * 4, &out[std::size_t(y) * 4], 4);
  }
}

void AddNoise(TBitmap& bitmap, int left, int top, int right, int bottom, int amount) {
  CheckBitmap(bitmap);
  ClipRectToBitmap(bitmap, left, top, right, bottom);
  for (int y = top; y < bottom; ++y) {
    std::uint8_t* row = Row(bitmap, y);
    for (int x = left; x < right; ++x) {
      std::uint8_t* p = row + x * 4;
      SetPixelColor(p, LightenColor(PixelColor(p), std::uint8_t(Random(amount))), 0);
    }
  }
}

void RandomShadeFilter(TBitmap& bitmap, int maxSteps, int averageRun, double step) {
  CheckBitmap(bitmap);
  double offset = 0, direction = 1;
  const double flipChance = averageRun != 0 ? 1 - 1.0 / averageRun : 1;
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::uint8_t* row = Row(bitmap, y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      if (Random() > flipChance || std::fabs(offset) >= maxSteps * step) direction = -direction;
      offset += direction * step;
      std::uint8_t* p = row + x * 4;
      SetPixelColor(p, ScaleColor(PixelColor(p), 1 - offset), 0);
    }
  }
}

void GrayscaleBitmap(TBitmap& bitmap) {
  CheckBitmap(bitmap);
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::uint8_t* row = Row(bitmap, y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      std::uint8_t* p = row + x * 4;
      std::uint8_t g = GrayLevel(p[2], p[1], p[0]);
      p[0] = p[1] = p[2] = g;
    }
  }
}

void AlphaFromColorDistance(TBitmap& bitmap, TColor color) {
  CheckBitmap(bitmap);
  COLORREF key = ColorToRGB(color);
  const int kr = GetRValue(key), kg = GetGValue(key), kb = GetBValue(key);
  for (int y = 0; y < bitmap.Height(); ++y) {
    std::uint8_t* row = Row(bitmap, y);
    for (int x = 0; x < bitmap.Width(); ++x) {
      std::uint8_t* p = row + x * 4;
      int alpha = std::min(255, std::abs(p[2] - kr) + std::abs(p[1] - kg) + std::abs(p[0] - kb));
      if (alpha < 255)
        for (int ch = 0; ch < 3; ++ch) p[ch] = std::uint8_t(MulDiv(p[ch], alpha, 255));
      p[3] = std::uint8_t(alpha);
    }
  }
}

void PremultiplyAlpha(TAlphaBitmap& graphic) {
  for (int r = 0; r < graphic.Height(); ++r) {
    auto* row = static_cast<std::uint8_t*>(graphic.ScanLine(r));
    for (int x = 0; x < graphic.Width(); ++x) {
      std::uint8_t* p = row + x * 4;
      if (p[3] == 255) continue;
      for (int ch = 0; ch < 3; ++ch) p[ch] = std::uint8_t(MulDiv(p[ch], p[3], 255));
    }
  }
}

void DisabledGrayBitmap(TBitmap& bitmap) {
  CheckBitmap(bitmap);
  for (int y = 0; y < bitmap.Height(); ++y) {
    auto* row = static_cast<std::uint32_t*>(bitmap.ScanLine(y));
    for (int x = 0; x < bitmap.Width(); ++x) {
      std::uint8_t h = 0, s = 0, l = 0;
      ColorToHSL(GrayColor(TColor(row[x])), h, s, l);
      row[x] = std::uint32_t(HSLToColor(h, s, std::uint8_t(255 - (255 - l) * 3 / 5)));
    }
  }
}

std::unique_ptr<TBitmap> CreateShadowBitmap(TGraphic& graphic, TColor color) {
  auto shadow = std::make_unique<TBitmap>();
  shadow->SetPixelFormat(TPixelFormat::pf32bit);
  const int w = graphic.Width(), h = graphic.Height();
  shadow->SetSize(w, h);
  if (shadow->Empty()) return shadow;
  shadow->Canvas().Brush().SetColor(color);
  shadow->Canvas().FillRect(RECT{0, 0, w, h});
  auto setAlpha = [](std::uint8_t* p, std::uint8_t a) {
    for (int ch = 0; ch < 3; ++ch) p[ch] = std::uint8_t(MulDiv(p[ch], a, 255));
    p[3] = a;
  };
  if (auto* png = dynamic_cast<TPngImage*>(&graphic)) {
    for (int y = 0; y < h; ++y) {
      std::uint8_t* row = Row(*shadow, y);
      for (int x = 0; x < w; ++x) setAlpha(row + x * 4, png->Alpha(x, y));
    }
  } else if (auto* alpha = dynamic_cast<TAlphaBitmap*>(&graphic)) {
    for (int y = 0; y < h; ++y) {
      std::uint8_t* row = Row(*shadow, y);
      auto* source = static_cast<const std::uint8_t*>(alpha->ScanLine(h - 1 - y));
      for (int x = 0; x < w; ++x) setAlpha(row + x * 4, source[x * 4 + 3]);
    }
  } else if (auto* plain = dynamic_cast<TBitmap*>(&graphic)) {
    COLORREF transparent = COLORREF(plain->TransparentColor()) & 0xFFFFFF;
    for (int y = 0; y < h; ++y) {
      std::uint8_t* row = Row(*shadow, y);
      for (int x = 0; x < w; ++x) {
        std::uint8_t* p = row + x * 4;
        if ((COLORREF(plain->Canvas().Pixel(x, y)) & 0xFFFFFF) != transparent) p[3] = 255;
        else std::memset(p, 0, 4);
      }
    }
  }
  return shadow;
}

}  // namespace tvk
