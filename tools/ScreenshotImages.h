#pragma once
// Pictures the screenshot programs share: a bitmap written as a PNG file into
// the output folder, and a shown window copied off the screen.
#include "Graphics.h"
#include "PngImage.h"

#include <windows.h>

#include <cstdio>
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

}  // namespace tvk
