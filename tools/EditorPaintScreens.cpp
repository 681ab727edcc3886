// The editors' paint services as one PNG file: one-pixel edge lines for every
// set of sides, the frame and highlight colours of ultra-flat and Office 2003
// buttons, fills from the solid-brush cache, and a frame filled around an
// inner rectangle.
#include "LookAndFeelEditorsSteps.h"
#include "LookAndFeelSteps.h"
#include "ScreenshotImages.h"
#include "ScreenshotProgram.h"
#include "cxEditPaintUtils.h"
#include "dxCore.h"

#include <string>
#include <vector>

using namespace tvk;

namespace {

void Label(HDC ADC, int X, int Y, const std::wstring& AText) {
  SetBkMode(ADC, TRANSPARENT);
  SetTextColor(ADC, RGB(0, 0, 0));
  TextOutW(ADC, X, Y, AText.c_str(), int(AText.size()));
}

std::wstring EdgeName(TcxBorders AEdges) {
  std::wstring name;
  for (auto [edge, letter] : {std::pair{bLeft, L'L'}, {bTop, L'T'}, {bRight, L'R'}, {bBottom, L'B'}})
    if (AEdges & edge) name += letter;
  return name.empty() ? L"-" : name;
}

void DrawPaintServices(const std::string& AFolder) {
  constexpr int kWidth = 760, kHeight = 330;
  TcxBitmap32 shot(kWidth, kHeight, true);
  TcxCanvas& canvas = shot.Canvas();
  canvas.Brush().SetColor(TColor(0xE0E0E0));
  canvas.FillRect(shot.ClientRect());
  HDC dc = canvas.Handle();

  Label(dc, 10, 8, L"Edge lines by sides (red), what is left filled white");
  for (TcxBorders edges = 0; edges <= cxBordersAll; ++edges) {
    const int x = 10 + int(edges) * 46;
    Label(dc, x, 28, EdgeName(edges));
    RECT r{x, 48, x + 36, 84};
    DrawEdgeLines(canvas, r, edges, clRed);
    FillRectWithColor(canvas, r, clWindow);
  }

  Label(dc, 10, 100, L"Button frames and highlights: ultra-flat, Office 2003 (normal, hot, pressed)");
  for (int office = 0; office < 2; ++office) {
    for (int state = 0; state < 3; ++state) {
      const int x = 10 + (office * 3 + state) * 90;
      const TColor fill = state == 0 ? clBtnFace : GetEditButtonHighlightColor(state == 2, office != 0);
      RECT r{x, 124, x + 70, 150};
      FillRectWithColor(canvas, r, fill);
      const TColor frame = state == 0 ? clBtnFace : GetEditButtonFrameColor(office != 0);
      DrawEdgeLines(canvas, r, cxBordersAll, frame);
    }
  }

  Label(dc, 10, 166, L"Twenty colours from the solid-brush cache");
  for (int i = 0; i < 20; ++i) {
    const TColor color = TColor(RGB(40 + i * 10, 200 - i * 8, (i * 37) % 256));
    const RECT r{10 + i * 36, 190, 10 + i * 36 + 32, 222};
    FillRect(dc, &r, GetSolidBrush(canvas, color));
  }
  if (const TcxSolidBrushCache* cache = SolidBrushCache())
    Label(dc, 10, 228, L"brushes made: " + std::to_wstring(cache->CreatedCount()));

  Label(dc, 10, 252, L"A frame filled around an inner rectangle");
  const RECT outer{10, 274, 210, 320}, inner{30, 284, 190, 310};
  FillRectFrameWithBrush(canvas, outer, inner, GetSolidBrush(canvas, clHighlight));

  shot.MakeOpaque();
  SavePng(shot, AFolder, "editor_paint_services.png", "editor paint services");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<TInitStep> steps(LookAndFeelSteps().begin(), LookAndFeelSteps().end());
  steps.insert(steps.end(), LookAndFeelEditorsSteps().begin(), LookAndFeelEditorsSteps().end());
  return RunScreenshotProgram(argc, argv, "editor_screens", steps, &DrawPaintServices, {},
                              [] { DxCoreUnitShutdown(); });
}
