// Editor background fills through the solid-brush cache: 10,000 fills over 20
// colours make 20 brushes, and every other fill finds its brush in the cache.
#include "LookAndFeelEditorsSteps.h"
#include "LookAndFeelSteps.h"
#include "cxEditPaintUtils.h"
#include "dxCore.h"

#include <chrono>
#include <cstdio>

using namespace tvk;

int main() {
  for (const TInitStep& step : LookAndFeelSteps()) step.Startup();
  for (const TInitStep& step : LookAndFeelEditorsSteps()) step.Startup();
  {
    TBitmap target;
    target.SetPixelFormat(TPixelFormat::pf32bit);
    target.SetSize(32, 32);
    HDC dc = target.Canvas().Handle();
    const DWORD before = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    constexpr int kFills = 10000, kColors = 20;
    const RECT r{0, 0, 32, 32};
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kFills; ++i) FillRect(dc, &r, GetSolidBrush(TColor(0x010203 * (i % kColors + 1))));
    const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
    TcxSolidBrushCache& cache = *SolidBrushCache();
    long long finds = 0;
    for (int i = 0; i < cache.Depth(); ++i) finds += cache.CountAt(i);
    std::printf("background fills: %d over %d colours, %.2f us each\n", kFills, kColors, us / kFills);
    std::printf("  brushes created %d, cache finds %lld\n", cache.CreatedCount(), finds);
    const DWORD after = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (before == 0) std::printf("  GDI objects: the system reports no count\n");
    else std::printf("  GDI objects before %lu, after %lu\n", static_cast<unsigned long>(before), static_cast<unsigned long>(after));
  }
  auto editors = LookAndFeelEditorsSteps();
  for (std::size_t i = editors.size(); i-- > 0;) editors[i].Shutdown();
  auto library = LookAndFeelSteps();
  for (std::size_t i = library.size(); i-- > 0;) library[i].Shutdown();
  DxCoreUnitShutdown();
  return 0;
}
