// Look-and-feel drawing: 10,000 glyph draws in every draw mode keep the
// process's GDI object count level and reuse the shared alpha bitmaps; the
// measuring calls per broken row of a long word stay near log2 of its length.
#include "LookAndFeelSteps.h"
#include "cxDrawTextUtils.h"
#include "cxGraphics.h"
#include "dxCore.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>

using namespace tvk;

namespace {

using Clock = std::chrono::steady_clock;

DWORD GdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

void CountingMeasure(HDC, const wchar_t*, int ALength, SIZE& ASize, void* AUserData, bool) {
  ASize = SIZE{ALength * 10, 16};
  ++*static_cast<int*>(AUserData);
}

void GlyphDraws() {
  TBitmap target;
  target.SetPixelFormat(TPixelFormat::pf32bit);
  target.SetSize(64, 64);
  TBitmap glyph;
  glyph.SetPixelFormat(TPixelFormat::pf32bit);
  glyph.SetSize(16, 16);
  glyph.Canvas().Brush().SetColor(clRed);
  glyph.Canvas().FillRect(RECT{2, 2, 14, 14});
  HDC dc = target.Canvas().Handle();
  DrawGlyphOrImage(dc, RECT{8, 8, 24, 24}, RECT{0, 0, 32, 32}, &glyph, nullptr, -1, idmNormal);
  const TcxSharedAlphaBitmaps first = SharedAlphaBitmaps();
  const DWORD before = GdiObjects();
  const Clock::time_point start = Clock::now();
  constexpr int kDraws = 10000;
  for (int i = 0; i < kDraws; ++i)
    DrawGlyphOrImage(dc, RECT{8, 8, 24, 24}, RECT{0, 0, 32, 32}, &glyph, nullptr, -1, i % 6);
  const double us = std::chrono::duration<double, std::micro>(Clock::now() - start).count();
  const DWORD after = GdiObjects();
  const TcxSharedAlphaBitmaps last = SharedAlphaBitmaps();
  const bool reused = first.Draw == last.Draw && first.Image == last.Image && first.Mask == last.Mask;
  std::printf("glyph draws: %d in six modes, %.1f us each\n", kDraws, us / kDraws);
  if (before == 0) std::printf("  GDI objects: the system reports no count\n");
  else
    std::printf("  GDI objects after the first draw %lu, after all %lu (%s)\n", static_cast<unsigned long>(before),
                static_cast<unsigned long>(after), before == after ? "level" : "CHANGED");
  std::printf("  shared alpha bitmaps %s\n", reused ? "reused" : "REALLOCATED");
}

void BrokenRows() {
  HDC dc = CreateCompatibleDC(nullptr);
  std::printf("measuring calls per broken row of one long word (10 px per character, 8 characters per row)\n");
  for (int length : {64, 512, 4096, 32768}) {
    const std::wstring word(std::size_t(length), L'x');
    TcxTextParams params;
    FillTextParamsFromDC(dc, CXTO_WORDBREAK | CXTO_CHARBREAK, params);
    params.RowHeight = params.FullRowHeight = 16;
    TcxTextRows rows;
    int count = 0, calls = 0;
    SplitTextIntoRows(dc, word.c_str(), length, &CountingMeasure, &calls, 0, count, rows, params,
                      RECT{0, 0, 85, 1 << 30});
    std::printf("  length %6d: %5d rows, %.2f calls per row (log2 of the length %.1f)\n", length, count,
                double(calls) / count, std::log2(double(length)));
  }
  DeleteDC(dc);
}

}  // namespace

int main() {
  DxCoreUnitStartup();
  for (const TInitStep& step : LookAndFeelSteps())
    if (!step.Startup()) {
      std::printf("start-up step %s failed\n", step.Name);
      return 1;
    }
  GlyphDraws();
  BrokenRows();
  auto steps = LookAndFeelSteps();
  for (std::size_t i = steps.size(); i-- > 0;)
    if (steps[i].Shutdown) steps[i].Shutdown();
  DxCoreUnitShutdown();
  return 0;
}
