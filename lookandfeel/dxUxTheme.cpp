#include "dxUxTheme.h"

#include <commctrl.h>

#include <iterator>
#include <utility>

namespace tvk {

namespace {

HMODULE gUxTheme = nullptr;

constexpr const char* kUxThemeEntryNames[] = {
#define TVK_UXTHEME_NAME(name) #name,
    TVK_UXTHEME_ENTRIES(TVK_UXTHEME_NAME)
#undef TVK_UXTHEME_NAME
};
static_assert(std::size(kUxThemeEntryNames) == uxEntryCount);

// The bound entry of the system's declaration Name, typed as the system declares it.
template <class F>
F Bound(TUxThemeEntry AEntry) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(UxThemeEntries().Entry[AEntry]));
}
#define TVK_UX(name) Bound<decltype(&::name)>(ux##name)

}  // namespace

TUxThemeEntries& UxThemeEntries() {
  static TUxThemeEntries entries;
  return entries;
}

const char* UxThemeEntryName(TUxThemeEntry AEntry) { return kUxThemeEntryNames[AEntry]; }

void BindEntriesByName(HMODULE AModule, std::span<const char* const> ANames, FARPROC* AEntries) {
  for (std::size_t i = 0; i < ANames.size(); ++i) AEntries[i] = AModule ? GetProcAddress(AModule, ANames[i]) : nullptr;
}

bool IsUxThemeLoaded() { return gUxTheme != nullptr; }

HTHEME OpenThemeData(HWND AWnd, LPCWSTR AClassList) {
  auto entry = TVK_UX(OpenThemeData);
  return entry ? entry(AWnd, AClassList) : nullptr;
}

HRESULT CloseThemeData(HTHEME ATheme) {
  auto entry = TVK_UX(CloseThemeData);
  return entry ? entry(ATheme) : E_FAIL;
}

HRESULT DrawThemeBackground(HTHEME ATheme, HDC DC, int APartId, int AStateId, const RECT& ARect,
                            const RECT* AClipRect) {
  auto entry = TVK_UX(DrawThemeBackground);
  return entry ? entry(ATheme, DC, APartId, AStateId, &ARect, AClipRect) : E_FAIL;
}

HRESULT DrawThemeBackground(HTHEME ATheme, HDC DC, int APartId, int AStateId, RECT ARect, RECT AClipRect) {
  return DrawThemeBackground(ATheme, DC, APartId, AStateId, ARect, &AClipRect);
}

HRESULT DrawThemeEdge(HTHEME ATheme, HDC DC, int APartId, int AStateId, const RECT& ADestRect, UINT AEdge,
                      UINT AFlags, RECT* AContentRect) {
  auto entry = TVK_UX(DrawThemeEdge);
  if (entry) return entry(ATheme, DC, APartId, AStateId, &ADestRect, AEdge, AFlags, AContentRect);
  if (AContentRect) *AContentRect = RECT{};
  return E_FAIL;
}

HRESULT DrawThemeText(HTHEME ATheme, HDC DC, int APartId, int AStateId, LPCWSTR AText, int ACharCount,
                      DWORD ATextFlags, DWORD ATextFlags2, const RECT& ARect) {
  auto entry = TVK_UX(DrawThemeText);
  return entry ? entry(ATheme, DC, APartId, AStateId, AText, ACharCount, ATextFlags, ATextFlags2, &ARect) : E_FAIL;
}

HRESULT DrawThemeText(HTHEME ATheme, HDC DC, int APartId, int AStateId, const std::string& AText,
                      DWORD ATextFlags, DWORD ATextFlags2, const RECT& ARect) {
  std::wstring wide;
  if (!AText.empty()) {
    int length = MultiByteToWideChar(CP_ACP, 0, AText.data(), int(AText.size()), nullptr, 0);
    wide.resize(std::size_t(length > 0 ? length : 0));
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, AText.data(), int(AText.size()), wide.data(), length);
  }
  return DrawThemeText(ATheme, DC, APartId, AStateId, wide.c_str(), int(wide.size()), ATextFlags, ATextFlags2, ARect);
}

HRESULT GetThemeBackgroundContentRect(HTHEME ATheme, HDC DC, int APartId, int AStateId, const RECT& ABoundingRect,
                                      RECT& AContentRect) {
  auto entry = TVK_UX(GetThemeBackgroundContentRect);
  if (entry) return entry(ATheme, DC, APartId, AStateId, &ABoundingRect, &AContentRect);
  AContentRect = RECT{};
  return E_FAIL;
}

HRESULT GetThemePartSize(HTHEME ATheme, HDC DC, int APartId, int AStateId, const RECT* ARect, THEMESIZE ASizeKind,
                         SIZE& ASize) {
  auto entry = TVK_UX(GetThemePartSize);
  // The system's declaration takes the rectangle as a writable pointer; it only reads it.
  if (entry) return entry(ATheme, DC, APartId, AStateId, const_cast<RECT*>(ARect), ASizeKind, &ASize);
  ASize = SIZE{};
  return E_FAIL;
}

HRESULT GetThemePartSize(HTHEME ATheme, HDC DC, int APartId, int AStateId, THEMESIZE ASizeKind, SIZE& ASize) {
  return GetThemePartSize(ATheme, DC, APartId, AStateId, nullptr, ASizeKind, ASize);
}

HRESULT GetThemeBackgroundRegion(HTHEME ATheme, HDC DC, int APartId, int AStateId, const RECT& ARect,
                                 HRGN& ARegion) {
  auto entry = TVK_UX(GetThemeBackgroundRegion);
  if (entry) return entry(ATheme, DC, APartId, AStateId, &ARect, &ARegion);
  ARegion = nullptr;
  return E_FAIL;
}

BOOL IsThemeBackgroundPartiallyTransparent(HTHEME ATheme, int APartId, int AStateId) {
  auto entry = TVK_UX(IsThemeBackgroundPartiallyTransparent);
  return entry ? entry(ATheme, APartId, AStateId) : FALSE;
}

HRESULT DrawThemeParentBackground(HWND AWnd, HDC DC, const RECT* ARect) {
  auto entry = TVK_UX(DrawThemeParentBackground);
  if (!entry) return E_FAIL;
  // The parent's painting may leave its own font selected.
  HGDIOBJ font = GetCurrentObject(DC, OBJ_FONT);
  HRESULT result = entry(AWnd, DC, const_cast<RECT*>(ARect));
  SelectObject(DC, font);
  return result;
}

HRESULT GetThemeColor(HTHEME ATheme, int APartId, int AStateId, int APropId, COLORREF& AColor) {
  auto entry = TVK_UX(GetThemeColor);
  if (entry) return entry(ATheme, APartId, AStateId, APropId, &AColor);
  AColor = 0;
  return E_FAIL;
}

HRESULT GetThemeMargins(HTHEME ATheme, HDC DC, int APartId, int AStateId, int APropId, const RECT* ARect,
                        MARGINS& AMargins) {
  auto entry = TVK_UX(GetThemeMargins);
  if (entry) return entry(ATheme, DC, APartId, AStateId, APropId, const_cast<RECT*>(ARect), &AMargins);
  AMargins = MARGINS{};
  return E_FAIL;
}

BOOL IsThemeActive() {
  auto entry = TVK_UX(IsThemeActive);
  return entry ? entry() : FALSE;
}

HRESULT GetCurrentThemeName(LPWSTR AFileName, int AFileNameChars, LPWSTR AColor, int AColorChars, LPWSTR ASize,
                            int ASizeChars) {
  auto entry = TVK_UX(GetCurrentThemeName);
  if (entry) return entry(AFileName, AFileNameChars, AColor, AColorChars, ASize, ASizeChars);
  for (auto [text, chars] : {std::pair{AFileName, AFileNameChars}, {AColor, AColorChars}, {ASize, ASizeChars}})
    if (text && chars > 0) *text = L'\0';
  return E_FAIL;
}

HPAINTBUFFER BeginBufferedPaint(HDC ATargetDC, const RECT& ATargetRect, BP_BUFFERFORMAT AFormat,
                                BP_PAINTPARAMS* APaintParams, HDC& ADC) {
  auto entry = TVK_UX(BeginBufferedPaint);
  ADC = nullptr;
  return entry ? entry(ATargetDC, &ATargetRect, AFormat, APaintParams, &ADC) : nullptr;
}

HRESULT EndBufferedPaint(HPAINTBUFFER ABufferedPaint, BOOL AUpdateTarget) {
  auto entry = TVK_UX(EndBufferedPaint);
  return entry ? entry(ABufferedPaint, AUpdateTarget) : E_FAIL;
}

HRESULT BufferedPaintSetAlpha(HPAINTBUFFER ABufferedPaint, const RECT* ARect, BYTE AAlpha) {
  auto entry = TVK_UX(BufferedPaintSetAlpha);
  return entry ? entry(ABufferedPaint, ARect, AAlpha) : E_FAIL;
}

void dxUxThemeUnitStart() {
  InitCommonControls();
  gUxTheme = LoadLibraryW(L"UxTheme.dll");
  BindEntriesByName(gUxTheme, kUxThemeEntryNames, UxThemeEntries().Entry);
}

void dxUxThemeUnitStop() {
  UxThemeEntries() = TUxThemeEntries{};
  if (gUxTheme) FreeLibrary(gUxTheme);
  gUxTheme = nullptr;
}

}  // namespace tvk
