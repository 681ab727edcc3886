// Windowless cell painting: 10,000 text cells (plain and masked texts, every
// border style, with and without a shadow) painted by the text editor's class
// functions into a bitmap, against ExtTextOutW of the same strings alone.
#include "dxCntner.h"
#include "dxEditor.h"

#include <chrono>
#include <cstdio>
#include <vector>

using namespace tvk;

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

int main() {
  DxCntnerUnitStartup();
  TBitmap target;
  target.SetPixelFormat(TPixelFormat::pf32bit);
  target.SetSize(400, 400);
  HDC dc = target.Canvas().Handle();
  TFont font;
  font.SetName(L"Tahoma");
  font.SetHeight(-12);
  HFONT fontHandle = font.Handle();

  const int cells = 10000;
  std::vector<WideString> texts;
  texts.reserve(cells);
  for (int i = 0; i < cells; ++i)
    texts.push_back(i % 2 ? FormatTextByMask(L"(999)000-0000;1;_", std::to_wstring(5550000 + i), L'_')
                          : L"Cell text number " + std::to_wstring(i));

  const TdxInplaceTextEditClass& cls = TdxInplaceTextEditClass::Instance();
  Clock::time_point start = Clock::now();
  for (int i = 0; i < cells; ++i) {
    auto vd = cls.CreateViewDataObject();
    vd->Enabled = true;
    vd->BorderStyle = static_cast<TdxEditBorderStyle>(i % 5);
    vd->BorderColor = clBlack;
    vd->Edges = kAllEdges;
    vd->Shadow = (i / 5) % 2 == 0;
    const int row = i % 20;
    vd->ViewBounds = RECT{0, row * 20, 200, row * 20 + 20};
    vd->Brush = GetSysColorBrush(COLOR_WINDOW);
    vd->BkColor = GetSysColor(COLOR_WINDOW);
    vd->TextColor = GetSysColor(COLOR_WINDOWTEXT);
    vd->Font = fontHandle;
    vd->Data = texts[static_cast<std::size_t>(i)];
    cls.Draw(dc, vd->ViewBounds, *vd, nullptr);
  }
  const double painted = MillisecondsSince(start);

  HGDIOBJ old = SelectObject(dc, fontHandle);
  start = Clock::now();
  for (int i = 0; i < cells; ++i) {
    const int row = i % 20;
    const RECT r{0, row * 20, 200, row * 20 + 20};
    const WideString& text = texts[static_cast<std::size_t>(i)];
    ExtTextOutW(dc, 3, row * 20 + 3, ETO_CLIPPED | ETO_OPAQUE, &r, text.c_str(), static_cast<UINT>(text.size()),
                nullptr);
  }
  const double plain = MillisecondsSince(start);
  SelectObject(dc, old);

  std::printf("%d cells painted windowlessly: %8.1f ms (%6.2f us per cell)\n", cells, painted,
              painted * 1000.0 / cells);
  std::printf("ExtTextOutW of the same strings: %8.1f ms (%6.2f us per string), ratio %.1f\n", plain,
              plain * 1000.0 / cells, plain > 0 ? painted / plain : 0.0);
  DxCntnerUnitShutdown();
  return 0;
}
