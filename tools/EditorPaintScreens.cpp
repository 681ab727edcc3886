// The editors' paint services as one PNG file: one-pixel edge lines for every
// set of sides, the frame and highlight colours of ultra-flat and Office 2003
// buttons, fills from the solid-brush cache, and a frame filled around an
// inner rectangle.
#include "LookAndFeelEditorsSteps.h"
#include "LookAndFeelSteps.h"
#include "ScreenshotImages.h"
#include "ScreenshotProgram.h"
#include "cxEditPaintUtils.h"
#include "cxEditViewInfo.h"
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
  TcxCanvas& canvas = shot.cxCanvas();
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

const wchar_t* const kBorderNames[] = {L"None", L"Single", L"Thick", L"Flat", L"3D", L"UltraFlat", L"Office11"};
const wchar_t* const kButtonStyleNames[] = {L"Default", L"3D", L"Flat", L"Simple", L"HotFlat", L"UltraFlat", L"Office11"};
const wchar_t* const kStateNames[] = {L"normal", L"hot", L"pressed", L"disabled", L"shadow"};

// One windowless editor with an ellipsis, a down arrow and a text button.
void PaintEditor(TcxCanvas& ACanvas, const RECT& R, TcxEditBorderStyle ABorder, TcxEditButtonStyle AButtonStyle,
                 int AState, bool ANative) {
  TcxCustomEditProperties properties(nullptr);
  TcxContainerStyles styles(nullptr, ContainerStyleClassOf<TcxEditStyle>());
  auto& style = *static_cast<TcxEditStyle*>(styles.Style());
  style.LookAndFeel()->SetNativeStyle(ANative);
  style.SetTransparentBorder(false);
  style.SetBorderStyle(ABorder);
  style.SetButtonStyle(AButtonStyle);
  style.SetShadow(AState == 4);
  properties.Buttons().Add()->SetKind(bkEllipsis);
  TcxEditButton* text = properties.Buttons().Add();
  text->SetKind(bkText);
  text->SetCaption(L"&Go");
  properties.Buttons().Add()->SetKind(bkDown);
  TcxCustomEditViewData data(properties, style, false);
  data.Enabled = AState != 3;
  TcxCustomEditViewInfo viewInfo;
  const POINT over{R.right - 6, (R.top + R.bottom) / 2};
  const bool pressed = AState == 2;
  data.CalculateEx(ACanvas, R, AState == 1 || pressed ? over : POINT{-1, -1}, pressed ? cxmbLeft : cxmbNone,
                   pressed ? TShiftState(ssLeft) : 0, viewInfo, true);
  viewInfo.PaintEx(ACanvas);
}

void DrawEditors(const std::string& AFolder) {
  constexpr int kCellW = 150, kCellH = 24, kWidth = 90 + 5 * (kCellW + 10), kHeight = 40 + 15 * (kCellH + 8) + 30;
  TcxBitmap32 shot(kWidth, kHeight, true);
  TcxCanvas& canvas = shot.cxCanvas();
  canvas.Brush().SetColor(TColor(0xE0E0E0));
  canvas.FillRect(shot.ClientRect());
  HDC dc = canvas.Handle();
  Label(dc, 10, 4, L"Windowless editors: border styles (default buttons), then button styles (Single border)");
  for (int state = 0; state < 5; ++state) Label(dc, 90 + state * (kCellW + 10), 22, kStateNames[state]);
  int y = 40;
  for (int border = ebsNone; border <= ebsOffice11; ++border, y += kCellH + 8) {
    Label(dc, 10, y + 4, kBorderNames[border]);
    for (int state = 0; state < 5; ++state) {
      const int x = 90 + state * (kCellW + 10);
      PaintEditor(canvas, RECT{x, y, x + kCellW, y + kCellH}, TcxEditBorderStyle(border), btsDefault, state, false);
    }
  }
  for (int button = bts3D; button <= btsOffice11; ++button, y += kCellH + 8) {
    Label(dc, 10, y + 4, kButtonStyleNames[button]);
    for (int state = 0; state < 5; ++state) {
      const int x = 90 + state * (kCellW + 10);
      PaintEditor(canvas, RECT{x, y, x + kCellW, y + kCellH}, ebsSingle, TcxEditButtonStyle(button), state, false);
    }
  }
  Label(dc, 10, y + 4, L"native");
  for (int state = 0; state < 4; ++state) {
    const int x = 90 + state * (kCellW + 10);
    PaintEditor(canvas, RECT{x, y, x + kCellW, y + kCellH}, ebs3D, btsDefault, state, true);
  }
  shot.MakeOpaque();
  SavePng(shot, AFolder, "editor_view_infos.png", "windowless editors");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<TInitStep> steps(LookAndFeelSteps().begin(), LookAndFeelSteps().end());
  steps.insert(steps.end(), LookAndFeelEditorsSteps().begin(), LookAndFeelEditorsSteps().end());
  return RunScreenshotProgram(argc, argv, "editor_screens", steps,
                              [](const std::string& AFolder) {
                                DrawPaintServices(AFolder);
                                DrawEditors(AFolder);
                              },
                              {},
                              [] { DxCoreUnitShutdown(); });
}
