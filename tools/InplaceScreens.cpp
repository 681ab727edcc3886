// Renders windowless in-place cells (each border style; hot, disabled, with a
// shadow, with partial edges; plain, password and masked texts) and the
// pop-up frames in each border style into one PNG file, and live text and
// masked editors over the stand-in host, with the host's hint, into another.
#include "ScreenshotImages.h"
#include "ScreenshotProgram.h"
#include "../tests/support/CellHost.h"
#include "Application.h"
#include "EditorSteps.h"
#include "Forms.h"
#include "PngImage.h"

#include <array>
#include <cstdio>
#include <string>

using namespace tvk;

namespace {

constexpr std::array kScreenSteps = {TVK_EDITORS_CLASSIC_STEPS};

struct CellLook {
  const wchar_t* Caption;
  TdxEditBorderStyle Border;
  TdxEditEdges Edges;
  bool Shadow;
  bool Enabled;
  bool Hot;
};

const CellLook kLooks[] = {
    {L"none", xbsNone, kAllEdges, false, true, false},     {L"single", xbsSingle, kAllEdges, false, true, false},
    {L"thick", xbsThick, kAllEdges, false, true, false},   {L"flat", xbsFlat, kAllEdges, false, true, false},
    {L"3D", xbs3D, kAllEdges, false, true, false},         {L"hot single", xbsSingle, kAllEdges, false, true, true},
    {L"disabled", xbs3D, kAllEdges, false, false, false},  {L"shadow", xbs3D, kAllEdges, true, true, false},
    {L"bottom edge", xbsSingle, edgBottom, false, true, false},
    {L"left top", xbsThick, edgLeft | edgTop, true, true, false},
};

void DrawLiveEditors(const std::string& folder) {
  std::unique_ptr<TForm> form(CreateComponent<TForm>(nullptr, kCreateNew));
  form->SetBorderStyle(TFormBorderStyle::bsNone);
  form->SetBounds(40, 40, 380, 130);
  auto* textHost = new tvk_test::TCellHost(form.get());
  textHost->SetParent(form.get());
  textHost->SetBounds(10, 10, 170, 100);
  textHost->SetColor(clWindow);
  textHost->Cells = {L"first cell", L"edited in place", L"third cell", L"fourth cell", L"fifth cell"};
  auto* text = new TdxInplaceTextEdit(textHost);
  text->SetParent(textHost);
  text->SetColor(textHost->GetInplaceEditColor());
  textHost->Editor = text;
  auto* maskHost = new tvk_test::TCellHost(form.get());
  maskHost->SetParent(form.get());
  maskHost->SetBounds(200, 10, 170, 100);
  maskHost->SetColor(clWindow);
  maskHost->Cells = {L"5551234567", L"5559876543", L"555", L"", L"5550000000"};
  auto* masked = new TdxInplaceMaskEdit(maskHost);
  masked->SetParent(maskHost);
  masked->SetEditMask(L"(999)000-0000;0;_");
  masked->SetColor(maskHost->GetInplaceEditColor());
  maskHost->Editor = masked;
  form->Show();
  textHost->EditCell(1);
  text->SetSelection(0, 6);
  maskHost->EditCell(2);
  ::SetFocus(masked->Handle());
  masked->PlaceCaret(6);
  TdxContainerHintWindow hint(nullptr);
  hint.ActivateHint(POINT{60, 200}, L"A cell text too long for its column", textHost->Font());
  Application().ProcessMessages();

  TBitmap shot;
  shot.SetPixelFormat(TPixelFormat::pf32bit);
  shot.SetSize(400, 200);
  shot.Canvas().Brush().SetColor(TColor(0xE0E0E0));
  shot.Canvas().FillRect(RECT{0, 0, shot.Width(), shot.Height()});
  CopyWindow(form->Handle(), shot.Canvas(), 10, 10);
  CopyWindow(hint.Handle(), shot.Canvas(), 10, 150);
  hint.HideHint();
  SavePng(shot, folder, "inplace_live_editors.png", "live editors and the hint");
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "inplace_screens", kScreenSteps, [](const std::string& folder) {
    TBitmap shot;
    shot.SetPixelFormat(TPixelFormat::pf32bit);
    shot.SetSize(560, 40 * static_cast<int>(std::size(kLooks)) + 100);
    TCanvas& c = shot.Canvas();
    c.Brush().SetColor(TColor(0xE0E0E0));
    c.FillRect(RECT{0, 0, shot.Width(), shot.Height()});
    HDC dc = c.Handle();
    TFont font;
    font.SetName(L"Tahoma");
    font.SetHeight(-12);
    const TdxInplaceTextEditClass& text = TdxInplaceTextEditClass::Instance();
    const wchar_t* values[] = {L"Plain cell text", L"secret", L"(555)123-4567"};
    int y = 8;
    for (const CellLook& look : kLooks) {
      SetBkMode(dc, TRANSPARENT);
      TextOutW(dc, 8, y + 4, look.Caption, static_cast<int>(wcslen(look.Caption)));
      for (int column = 0; column < 3; ++column) {
        auto vd = text.CreateViewDataObject();
        auto* tv = static_cast<TdxTextEditViewData*>(vd.get());
        tv->Enabled = look.Enabled;
        tv->BorderStyle = look.Hot && look.Border == xbsNone ? xbsFlat : look.Border;
        tv->BorderColor = look.Hot ? kHotSingleBorderColor : clBlack;
        tv->Edges = look.Edges;
        tv->Shadow = look.Shadow;
        tv->ViewBounds = RECT{100 + column * 150, y, 240 + column * 150, y + 24};
        tv->Brush = GetSysColorBrush(look.Enabled ? COLOR_WINDOW : COLOR_BTNFACE);
        tv->BkColor = GetSysColor(look.Enabled ? COLOR_WINDOW : COLOR_BTNFACE);
        tv->TextColor = GetSysColor(look.Enabled ? COLOR_WINDOWTEXT : COLOR_BTNSHADOW);
        tv->Font = font.Handle();
        tv->Data = values[column];
        if (column == 1) tv->PasswordChar = L'*';
        text.Draw(dc, tv->ViewBounds, *tv, nullptr);
      }
      y += 40;
    }
    const TdxPopupBorderStyle frames[] = {pbDefault, pbSingle, pbFrame3D, pbFlat};
    for (int i = 0; i < 4; ++i) {
      RECT r{100 + i * 110, y, 200 + i * 110, y + 80};
      HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
      FillRect(dc, &r, face);
      DrawPopupFrame(dc, r, frames[i], 2, true, false);
    }
    SavePng(shot, folder, "inplace_cells.png", "cells and pop-up frames");
    DrawLiveEditors(folder);
  });
}
