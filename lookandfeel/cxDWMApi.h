#pragma once
// Desktop composition: "dwmapi.dll" loaded by name above major version 5 and
// bound entry by entry.
#include <windows.h>

namespace tvk {

#define TVK_DWM_ENTRIES(X)                                                                                  \
  X(DwmDefWindowProc) X(DwmEnableBlurBehindWindow) X(DwmEnableComposition) X(DwmEnableMMCSS)              \
  X(DwmExtendFrameIntoClientArea) X(DwmGetColorizationColor) X(DwmGetWindowAttribute)                     \
  X(DwmIsCompositionEnabled) X(DwmSetWindowAttribute) X(DwmSetIconicThumbnail)                            \
  X(DwmSetIconicLivePreviewBitmap) X(DwmInvalidateIconicBitmaps)

enum TDwmEntry : int {
#define TVK_DWM_ENUM(name) dwm##name,
  TVK_DWM_ENTRIES(TVK_DWM_ENUM)
#undef TVK_DWM_ENUM
  dwmEntryCount
};

// The bound entries (null: not bound).
struct TDwmEntries {
  FARPROC Entry[dwmEntryCount] = {};
};
TDwmEntries& DwmEntries();

// The library was loaded.
bool IsDwmAvailable();
// Composition is on (false without the library).
bool IsDwmCompositionOn();

void cxDWMApiUnitStart();
void cxDWMApiUnitStop();

}  // namespace tvk
