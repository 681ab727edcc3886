#pragma once
// Flat scroll bars of the common controls, bound by name: where the library
// lacks them, the plain scroll-bar functions stand in (the bars are then
// drawn as usual and the style properties are ignored).
#include <windows.h>
#include <commctrl.h>

namespace tvk {

struct TFlatScrollBarApi {
  BOOL(WINAPI* InitializeFlatSB)(HWND) = nullptr;
  BOOL(WINAPI* UninitializeFlatSB)(HWND) = nullptr;
  BOOL(WINAPI* FlatSB_GetScrollInfo)(HWND, int, LPSCROLLINFO) = nullptr;
  int(WINAPI* FlatSB_SetScrollInfo)(HWND, int, LPSCROLLINFO, BOOL) = nullptr;
  BOOL(WINAPI* FlatSB_SetScrollProp)(HWND, UINT, INT_PTR, BOOL) = nullptr;
  bool Flat = false;  // the library's own functions are bound
};

// The functions of Library (null: the common controls), with the fallbacks
// filled in for what it lacks.
TFlatScrollBarApi BindFlatScrollBars(HMODULE library);
// The binding of the common controls, made on first use.
const TFlatScrollBarApi& FlatScrollBars();

}  // namespace tvk
