// Containers of the look-and-feel library on one form, as one PNG file: every
// border style in the normal, hot, focused and disabled state, with and
// without a shadow; a control with both of its own scroll bars and the grip
// between them; the middle-button scroll's round anchor; and an inner list
// box with its own bars over the native ones.
#include "ScreenshotProgram.h"
#include "Forms.h"
#include "LookAndFeelSteps.h"
#include "PngImage.h"
#include "cxContainer.h"
#include "cxControls.h"
#include "cxInnerListBox.h"
#include "dxCore.h"
#include "ScreenshotImages.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace tvk;

namespace {

void Label(HDC ADC, int X, int Y, const std::wstring& AText) {
  SetBkMode(ADC, TRANSPARENT);
  SetTextColor(ADC, RGB(0, 0, 0));
  TextOutW(ADC, X, Y, AText.c_str(), int(AText.size()));
}

// Paints AControl's window into ADC at its place on the form.
void PaintAt(HDC ADC, TWinControl& AControl, int X, int Y) {
  SaveDC(ADC);
  MoveWindowOrg(ADC, X, Y);
  SendMessageW(AControl.Handle(), WM_PAINT, reinterpret_cast<WPARAM>(ADC), 0);
  RestoreDC(ADC, -1);
}

// Content of 800 x 600 pixels in a smaller control: both bars and the grip show.
class TScrolledSample : public TcxControl {
public:
  using TcxControl::TcxControl;

protected:
  void InitScrollBarsParameters() override {
    const RECT r = ClientBounds();
    SetScrollBarInfo(sbHorizontal, 0, 799, 8, r.right - r.left, 120, true, true);
    SetScrollBarInfo(sbVertical, 0, 599, 8, r.bottom - r.top, 300, true, true);
  }
  void DoPaint() override {
    const RECT r = ClientBounds();
    Canvas().FillRect(r, clWindow);
    for (int x = r.left; x < r.right; x += 16) Canvas().FillRect(RECT{x, r.top, x + 1, r.bottom}, clBtnFace);
  }
};

const wchar_t* const kBorderNames[] = {L"None", L"Single", L"Thick", L"Flat", L"3D", L"UltraFlat", L"Office11"};
const wchar_t* const kStateNames[] = {L"normal", L"hot", L"focused", L"disabled", L"shadow"};

void DrawContainers(const std::string& AFolder) {
  constexpr int kWidth = 700, kHeight = 600, kCellW = 96, kCellH = 44;
  TForm form(nullptr, kCreateNew);
  form.SetBounds(0, 0, kWidth, kHeight);
  form.Show();
  TcxBitmap32 shot(kWidth, kHeight, true);
  shot.Canvas().Brush().SetColor(TColor(0xE0E0E0));
  shot.Canvas().FillRect(shot.ClientRect());
  HDC dc = shot.Canvas().Handle();

  Label(dc, 10, 8, L"Container border styles by state");
  for (int state = 0; state < 5; ++state) Label(dc, 110 + state * (kCellW + 16), 28, kStateNames[state]);
  std::vector<std::unique_ptr<TcxContainer>> containers;
  for (int style = cbsNone; style <= cbsOffice11; ++style) {
    const int y = 48 + style * (kCellH + 12);
    Label(dc, 10, y + 12, kBorderNames[style]);
    for (int state = 0; state < 5; ++state) {
      auto container = std::make_unique<TcxContainer>(nullptr);
      const int x = 110 + state * (kCellW + 16);
      container->SetBounds(x, y, kCellW, kCellH);
      container->SetParent(&form);
      container->Style()->SetBorderStyle(TcxContainerBorderStyle(style));
      container->Style()->SetTransparentBorder(false);
      container->Style()->SetShadow(state == 4);
      container->HandleNeeded();
      if (state == 3) container->SetEnabled(false);
      if (state == 2) {
        SetActiveWindow(form.Handle());
        container->SetFocus();
      }
      container->UpdateHotTrackState(state == 1 ? POINT{kCellW / 2, kCellH / 2} : POINT{-1, -1}, cxmbNone, true, 0);
      PaintAt(dc, *container, x, y);
      containers.push_back(std::move(container));
    }
  }

  const int lowerY = 48 + 7 * (kCellH + 12);
  Label(dc, 10, lowerY, L"Own scroll bars and grip");
  TScrolledSample scrolled(nullptr);
  scrolled.SetBounds(10, lowerY + 20, 180, 100);
  scrolled.SetParent(&form);
  scrolled.HandleNeeded();
  scrolled.CheckUpdateScrollBars();
  PaintAt(dc, scrolled, 10, lowerY + 20);
  for (TWinControl* part : {static_cast<TWinControl*>(scrolled.HScrollBar()),
                            static_cast<TWinControl*>(scrolled.VScrollBar()),
                            static_cast<TWinControl*>(scrolled.SizeGrip())})
    if (part && part->Visible()) PaintAt(dc, *part, 10 + part->Left(), lowerY + 20 + part->Top());

  Label(dc, 220, lowerY, L"Auto-scroll anchor");
  HBITMAP full = static_cast<HBITMAP>(
      LoadImageW(ClassLibraryInstance(), GetAutoScrollAnchorBitmapName(true, true), IMAGE_BITMAP, 0, 0, 0));
  if (full) {
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, full);
    BitBlt(dc, 250, lowerY + 40, 28, 28, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(full);
    HRGN ellipse = CreateEllipticRgn(250, lowerY + 40, 279, lowerY + 69);
    FrameRgn(dc, ellipse, GetSysColorBrush(COLOR_WINDOWTEXT), 1, 1);
    DeleteObject(ellipse);
  }

  Label(dc, 340, lowerY, L"Inner list box in a container");
  TcxContainer host(nullptr);
  host.SetBounds(340, lowerY + 20, 200, 110);
  host.SetParent(&form);
  host.Style()->SetBorderStyle(cbsSingle);
  auto list = std::make_unique<TcxCustomInnerListBox>(nullptr);
  list->SetParent(&host);
  list->SetContainer(&host);
  host.SetInnerControl(list.get());
  host.HandleNeeded();
  for (int i = 0; i < 30; ++i) list->Items().Add(L"Item number " + std::to_wstring(i + 1) + L" of a long list");
  SendMessageW(list->Handle(), LB_SETHORIZONTALEXTENT, 400, 0);
  list->SetTopIndex(4);
  PaintAt(dc, host, 340, lowerY + 20);
  SaveDC(dc);
  MoveWindowOrg(dc, 340 + list->Left(), lowerY + 20 + list->Top());
  SendMessageW(list->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  RestoreDC(dc, -1);
  for (TcxScrollBar* bar : {list->HScrollBar(), list->VScrollBar()})
    if (bar && bar->Visible()) PaintAt(dc, *bar, 340 + bar->Left(), lowerY + 20 + bar->Top());

  shot.MakeOpaque();
  SavePng(shot, AFolder, "lookandfeel_containers.png", "containers");
  host.SetInnerControl(nullptr);
  list.reset();
}

}  // namespace

int main(int argc, char** argv) {
  return RunScreenshotProgram(argc, argv, "container_screens", LookAndFeelSteps(), &DrawContainers, {}, [] {
    ScreenUnitShutdown();
    DxCoreUnitShutdown();
  });
}
