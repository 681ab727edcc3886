#include "FlatSB.h"

namespace tvk {

namespace {

BOOL WINAPI PlainInitialize(HWND) { return FALSE; }
BOOL WINAPI PlainGetScrollInfo(HWND wnd, int bar, LPSCROLLINFO info) { return GetScrollInfo(wnd, bar, info); }
int WINAPI PlainSetScrollInfo(HWND wnd, int bar, LPSCROLLINFO info, BOOL redraw) {
  return SetScrollInfo(wnd, bar, info, redraw);
}
BOOL WINAPI PlainSetScrollProp(HWND, UINT, INT_PTR, BOOL) { return FALSE; }

template <class F>
void Bind(HMODULE library, const char* name, F& function, F fallback, bool& found) {
  FARPROC address = library ? GetProcAddress(library, name) : nullptr;
  if (address) {
    function = reinterpret_cast<F>(reinterpret_cast<void*>(address));
  } else {
    function = fallback;
    found = false;
  }
}

}  // namespace

TFlatScrollBarApi BindFlatScrollBars(HMODULE library) {
  TFlatScrollBarApi api;
  bool found = true;
  Bind(library, "InitializeFlatSB", api.InitializeFlatSB, &PlainInitialize, found);
  Bind(library, "UninitializeFlatSB", api.UninitializeFlatSB, &PlainInitialize, found);
  Bind(library, "FlatSB_GetScrollInfo", api.FlatSB_GetScrollInfo, &PlainGetScrollInfo, found);
  Bind(library, "FlatSB_SetScrollInfo", api.FlatSB_SetScrollInfo, &PlainSetScrollInfo, found);
  Bind(library, "FlatSB_SetScrollProp", api.FlatSB_SetScrollProp, &PlainSetScrollProp, found);
  api.Flat = found;
  return api;
}

const TFlatScrollBarApi& FlatScrollBars() {
  // The common controls stay loaded for the process: the module imports them.
  static const TFlatScrollBarApi api = BindFlatScrollBars(GetModuleHandleW(L"comctl32.dll"));
  return api;
}

}  // namespace tvk
