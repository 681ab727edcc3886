// Renders the look-and-feel library's 17 cursors, as its start-up puts them
// into the screen's cursor table, into one PNG file with their numbers.
#include "ScreenshotProgram.h"
#include "Forms.h"
#include "LookAndFeelSteps.h"
#include "PngImage.h"
#include "dxCore.h"
#include "ScreenshotImages.h"

#include <cstdio>
#include <string>

using namespace tvk;

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "laf_cursor_screens", LookAndFeelSteps(), [](const std::string& folder) {
    const std::vector<int> ids = Screen().CursorIndexes();
    constexpr int kCell = 64;
    TBitmap shot;
    shot.SetPixelFormat(TPixelFormat::pf32bit);
    shot.SetSize(kCell * int(ids.size()), kCell);
    TCanvas& c = shot.Canvas();
    c.Brush().SetColor(TColor(0xC0C0C0));
    c.FillRect(RECT{0, 0, shot.Width(), shot.Height()});
    HDC dc = c.Handle();
    SetBkMode(dc, TRANSPARENT);
    for (std::size_t i = 0; i < ids.size(); ++i) {
      const int x = int(i) * kCell;
      DrawIconEx(dc, x + 16, 4, Screen().Cursors(ids[i]), 32, 32, 0, nullptr, DI_NORMAL);
      std::wstring label = std::to_wstring(ids[i]);
      TextOutW(dc, x + 8, 44, label.c_str(), int(label.size()));
    }
    SavePng(shot, folder, "lookandfeel_cursors.png", (std::to_string(ids.size()) + " cursors").c_str());
  }, {}, [] {
    ScreenUnitShutdown();
    DxCoreUnitShutdown();
  });
}
