// Renders the tree list's drawing routines into one PNG file: header cells in
// the three looks (plain, pushed, with sort marks, with a drop-down button in
// its three states), the tree buttons of both kinds, and the indicator glyphs.
#include <array>
#include <string>

#include "EditorSteps.h"
#include "ScreenshotImages.h"
#include "ScreenshotProgram.h"
#include "TreeListSteps.h"

using namespace tvk;

namespace {

constexpr std::array kScreenSteps = {TVK_EDITORS_CLASSIC_STEPS TVK_TREELIST_STEPS};

struct THeaderLook {
  const wchar_t* Caption;
  bool Pushed;
  TdxTreeListColumnSort Sorted;
  int DropDownState;
};

const THeaderLook kHeaders[] = {
    {L"Name", false, csNone, 0},   {L"Pushed", true, csNone, 0},  {L"Sort up", false, csUp, 0},
    {L"Sort down", false, csDown, 0}, {L"Normal", false, csNone, 1}, {L"Hot", false, csNone, 3},
    {L"Pressed", false, csNone, 7},
};

constexpr int kCellWidth = 96, kCellHeight = 20;

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "treelist_screens", kScreenSteps, [](const std::string& folder) {
    TBitmap shot;
    shot.SetPixelFormat(TPixelFormat::pf32bit);
    shot.SetSize(20 + 7 * (kCellWidth + 4), 200);
    TCanvas& canvas = shot.Canvas();
    canvas.Brush().SetColor(clWindow);
    canvas.FillRect(RECT{0, 0, shot.Width(), shot.Height()});
    HDC dc = canvas.Handle();
    SelectObject(dc, canvas.Font().Handle());
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    const TdxLookAndFeel looks[] = {lfStandard, lfFlat, lfUltraFlat};
    for (int row = 0; row < 3; ++row)
      for (int i = 0; i < 7; ++i) {
        const THeaderLook& h = kHeaders[i];
        int x = 10 + i * (kCellWidth + 4), y = 10 + row * (kCellHeight + 6);
        DrawHeaderCell(dc, RECT{x, y, x + kCellWidth, y + kCellHeight}, face, h.DropDownState, looks[row], 0,
                       nullptr, h.Sorted, TAlignment::taLeftJustify, false, h.Pushed, h.Caption);
      }
    // Tree buttons, expanded and collapsed, and the flat buttons.
    for (int i = 0; i < 2; ++i) {
      int x = 10 + i * 24;
      DrawTreeButton(canvas, RECT{x, 100, x + 20, 120}, 110, nullptr, i == 1);
      DrawFlatTreeButton(dc, RECT{x + 60, 100, x + 80, 120}, i == 1);
    }
    // The indicator glyphs, centred in cells of the indicator's width.
    TImageList* images = GetIndicatorImages();
    for (int i = 0; i < images->Count(); ++i) {
      RECT cell{150 + i * 16, 100, 150 + i * 16 + 12, 120};
      DrawHeaderFrame(dc, cell, face, lfStandard, 0, false);
      DrawImageCentered(canvas, RECT{150 + i * 16, 100, 150 + i * 16 + 12, 120}, images, i);
    }
    RECT focus{300, 100, 400, 120};
    DrawFocusFrame(dc, focus);
    InvertFrame(dc, RECT{420, 100, 520, 120});
    SavePng(shot, folder, "treelist_drawing.png", "header cells, tree buttons and indicator glyphs");
  });
}
