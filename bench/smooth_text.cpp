// Smooth text: glyph renderings and time per character for a first draw (every
// glyph rendered) and for repeated draws (none rendered); the cost of a font
// that drew only ASCII; and eviction once the masks pass 1,000,000 bytes.
#include "SmoothText.h"

#include <chrono>
#include <cstdio>

using namespace tvk;

namespace {

using Clock = std::chrono::steady_clock;

double MicrosecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

const WideString kText = L"The quick brown fox jumps over the lazy dog 0123456789 &Reset";

}  // namespace

int main() {
  SmoothTextStartup();
  TBitmap target;
  target.SetPixelFormat(TPixelFormat::pf32bit);
  target.SetSize(600, 60);
  TFont font;
  font.SetName(L"Tahoma");
  font.SetHeight(-13);
  const RECT rect{0, 0, 600, 60};
  const int chars = int(kText.size());

  auto draw = [&] {
    SmoothTextOut(target.Canvas(), rect, kText, font, clBlack, TAlignment::taLeftJustify, TTextLayout::tlTop, 0,
                  TEllipsisPosition::epNone, 100);
  };
  Clock::time_point start = Clock::now();
  draw();
  double first = MicrosecondsSince(start);
  TSmoothTextStats afterFirst = SmoothTextStats();
  std::printf("first draw:    %3llu glyph renderings, %8.1f us per character\n",
              static_cast<unsigned long long>(afterFirst.GlyphRenderings), first / chars);

  const int repeats = 200;
  start = Clock::now();
  for (int i = 0; i < repeats; ++i) draw();
  double repeated = MicrosecondsSince(start) / repeats;
  TSmoothTextStats afterRepeats = SmoothTextStats();
  std::printf("repeated draw: %3llu glyph renderings, %8.1f us per character (%d draws)\n",
              static_cast<unsigned long long>(afterRepeats.GlyphRenderings - afterFirst.GlyphRenderings),
              repeated / chars, repeats);
  std::printf("an ASCII font: %zu bytes of glyph records, %zu bytes of masks, %d symbol sets\n",
              afterRepeats.RecordBytes / std::size_t(afterRepeats.SymbolSets), afterRepeats.MaskBytes,
              afterRepeats.SymbolSets);

  // Ever larger fonts until the masks pass the limit; then each new font evicts one set.
  int height = 40;
  while (SmoothTextStats().MaskBytes <= kSmoothTextMaskLimit) {
    font.SetHeight(-(height += 20));
    draw();
  }
  TSmoothTextStats full = SmoothTextStats();
  std::printf("limit passed:  %d symbol sets, %zu bytes of masks, %llu evictions\n", full.SymbolSets,
              full.MaskBytes, static_cast<unsigned long long>(full.Evictions));
  for (int i = 1; i <= 3; ++i) {
    font.SetHeight(-(10 + i));
    draw();
    TSmoothTextStats now = SmoothTextStats();
    std::printf("new font %d:    %d symbol sets, %zu bytes of masks, %llu evictions\n", i, now.SymbolSets,
                now.MaskBytes, static_cast<unsigned long long>(now.Evictions));
  }
  SmoothTextShutdown();
  return 0;
}
