#pragma once
// Pictures the screenshot programs share: a bitmap written as a PNG file into
// the output folder, a shown window copied off the screen, and a control
// painted with its children into a device context.
#include "Controls.h"
#include "Graphics.h"
#include "PngImage.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

namespace tvk {

// Writes Shot as Folder\File and says so, naming What.
inline void SavePng(TBitmap& shot, const std::string& folder, const char* file, const char* what) {
  TPngImage png;
  png.Assign(shot);
  std::string name = folder + "\\" + file;
  png.SaveToFile(WideString(name.begin(), name.end()));
  std::printf("%s: %s\n", what, name.c_str());
}

// Copies what a shown window holds on screen into the canvas at (X, Y).
inline void CopyWindow(HWND window, TCanvas& canvas, int x, int y) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT r{};
  GetWindowRect(window, &r);
  HDC source = GetWindowDC(window);
  BitBlt(canvas.Handle(), x, y, r.right - r.left, r.bottom - r.top, source, 0, 0, SRCCOPY);
  ReleaseDC(window, source);
}

// Paints Control and the children Draws accepts (by default the visible
// ones), windowed and windowless, into Dc at (X, Y).
inline void RenderControl(TWinControl& control, HDC dc, int x, int y,
                          const std::function<bool(TControl*)>& draws = [](TControl* child) {
                            return child->Visible();
                          }) {
  int saved = SaveDC(dc);
  MoveWindowOrg(dc, x, y);
  IntersectClipRect(dc, 0, 0, control.Width(), control.Height());
  control.Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(dc));
  control.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc));
  RestoreDC(dc, saved);
  for (int i = 0; i < control.ControlCount(); ++i) {
    TControl* child = control.Controls(i);
    if (!draws(child)) continue;
    if (auto* windowed = dynamic_cast<TWinControl*>(child)) {
      RenderControl(*windowed, dc, x + child->Left(), y + child->Top(), draws);
    } else if (auto* graphic = dynamic_cast<TGraphicControl*>(child)) {
      int inner = SaveDC(dc);
      MoveWindowOrg(dc, x + child->Left(), y + child->Top());
      IntersectClipRect(dc, 0, 0, child->Width(), child->Height());
      graphic->PaintTo(dc);
      RestoreDC(dc, inner);
    }
  }
}

}  // namespace tvk
