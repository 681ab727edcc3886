#pragma once
// The visual-styles library, loaded by name and bound entry by entry, so the
// module runs where it is missing. The wrappers call the bound entries; an
// entry that is not bound answers as a failed call: a failure code, zeroed
// outputs, nothing drawn.
#include <windows.h>

#include <uxtheme.h>

#include <span>
#include <string>

namespace tvk {

// Every entry point that is bound, in the order they are looked up.
#define TVK_UXTHEME_ENTRIES(X)                                                                                       \
  X(CloseThemeData) X(DrawThemeBackground) X(DrawThemeEdge) X(DrawThemeIcon) X(DrawThemeParentBackground)            \
  X(DrawThemeText) X(DrawThemeTextEx) X(EnableThemeDialogTexture) X(GetCurrentThemeName) X(GetThemeAppProperties)    \
  X(GetThemeBackgroundContentRect) X(GetThemeBackgroundRegion) X(GetThemeBackgroundExtent) X(GetThemeBool)           \
  X(GetThemeColor) X(GetThemeDocumentationProperty) X(GetThemeEnumValue) X(GetThemeFilename) X(GetThemeFont)         \
  X(GetThemeInt) X(GetThemeIntList) X(GetThemeMargins) X(GetThemeMetric) X(GetThemePartSize) X(GetThemePosition)     \
  X(GetThemePropertyOrigin) X(GetThemeRect) X(GetThemeString) X(GetThemeSysBool) X(GetThemeSysColor)                 \
  X(GetThemeSysColorBrush) X(GetThemeSysFont) X(GetThemeSysInt) X(GetThemeSysSize) X(GetThemeSysString)              \
  X(GetThemeTextExtent) X(GetThemeTextMetrics) X(GetWindowTheme) X(HitTestThemeBackground) X(IsAppThemed)            \
  X(IsThemeActive) X(IsThemePartDefined) X(IsThemeBackgroundPartiallyTransparent) X(IsThemeDialogTextureEnabled)     \
  X(OpenThemeData) X(SetThemeAppProperties) X(SetWindowTheme) X(BufferedPaintInit) X(BufferedPaintUnInit)            \
  X(BeginBufferedPaint) X(EndBufferedPaint) X(BufferedPaintSetAlpha)

enum TUxThemeEntry : int {
#define TVK_UXTHEME_ENUM(name) ux##name,
  TVK_UXTHEME_ENTRIES(TVK_UXTHEME_ENUM)
#undef TVK_UXTHEME_ENUM
  uxEntryCount
};

// The bound entry points by TUxThemeEntry (null: not bound). Tests put
// stand-ins of their own here to count and steer the calls.
struct TUxThemeEntries {
  FARPROC Entry[uxEntryCount] = {};
};
TUxThemeEntries& UxThemeEntries();
// The exported name of an entry.
const char* UxThemeEntryName(TUxThemeEntry AEntry);

// Looks each of ANames up in AModule into AEntries (null when missing, all
// null without a module).
void BindEntriesByName(HMODULE AModule, std::span<const char* const> ANames, FARPROC* AEntries);

// Whether the library is loaded.
bool IsUxThemeLoaded();

// ---- Wrappers (the system's argument order)

HTHEME OpenThemeData(HWND AWnd, LPCWSTR AClassList);
HRESULT CloseThemeData(HTHEME ATheme);
HRESULT DrawThemeBackground(HTHEME ATheme, HDC DC, int APartId, int AStateId, const RECT& ARect,
                            const RECT* AClipRect = nullptr);
HRESULT DrawThemeBackground(HTHEME ATheme, HDC DC, int APartId, int AStateId, RECT ARect, RECT AClipRect);
HRESULT DrawThemeEdge(HTHEME ATheme, HDC DC, int APartId, int AStateId, const RECT& ADestRect, UINT AEdge,
                      UINT AFlags, RECT* AContentRect);
HRESULT DrawThemeText(HTHEME ATheme, HDC DC, int APartId, int AStateId, LPCWSTR AText, int ACharCount,
                      DWORD ATextFlags, DWORD ATextFlags2, const RECT& ARect);
HRESULT DrawThemeText(HTHEME ATheme, HDC DC, int APartId, int AStateId, const std::string& AText,
                      DWORD ATextFlags, DWORD ATextFlags2, const RECT& ARect);
HRESULT GetThemeBackgroundContentRect(HTHEME ATheme, HDC DC, int APartId, int AStateId, const RECT& ABoundingRect,
                                      RECT& AContentRect);
HRESULT GetThemePartSize(HTHEME ATheme, HDC DC, int APartId, int AStateId, const RECT* ARect, THEMESIZE ASizeKind,
                         SIZE& ASize);
HRESULT GetThemePartSize(HTHEME ATheme, HDC DC, int APartId, int AStateId, THEMESIZE ASizeKind, SIZE& ASize);
HRESULT GetThemeBackgroundRegion(HTHEME ATheme, HDC DC, int APartId, int AStateId, const RECT& ARect,
                                 HRGN& ARegion);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME ATheme, int APartId, int AStateId);
// The font selected into DC before the call is selected again after it.
HRESULT DrawThemeParentBackground(HWND AWnd, HDC DC, const RECT* ARect);
HRESULT GetThemeColor(HTHEME ATheme, int APartId, int AStateId, int APropId, COLORREF& AColor);
HRESULT GetThemeMargins(HTHEME ATheme, HDC DC, int APartId, int AStateId, int APropId, const RECT* ARect,
                        MARGINS& AMargins);
// 0 when the entry is not bound.
BOOL IsThemeActive();
HRESULT GetCurrentThemeName(LPWSTR AFileName, int AFileNameChars, LPWSTR AColor, int AColorChars, LPWSTR ASize,
                            int ASizeChars);
HPAINTBUFFER BeginBufferedPaint(HDC ATargetDC, const RECT& ATargetRect, BP_BUFFERFORMAT AFormat,
                                BP_PAINTPARAMS* APaintParams, HDC& ADC);
HRESULT EndBufferedPaint(HPAINTBUFFER ABufferedPaint, BOOL AUpdateTarget);
HRESULT BufferedPaintSetAlpha(HPAINTBUFFER ABufferedPaint, const RECT* ARect, BYTE AAlpha);

// ---- Unit start-up and shut-down

// InitCommonControls, then the library loaded and its entries bound.
void dxUxThemeUnitStart();
void dxUxThemeUnitStop();

}  // namespace tvk
